// The Dialogs unit: message dialogs (CreateMessageDialog, MessageDlg, ShowMessage) and the one
// presenter through which every message box and message dialog of the program is shown.
//
// The presenter is the program's only seam for tests: a test installs a recorder with
// SetMessagePresenter, which sees each box or dialog (text, caption, flags; the dialog form with its
// buttons) and answers it without showing anything.
#pragma once

#include "Forms.h"

#include <string>

DECLARE_ENUM(TMsgDlgType, mtWarning, mtError, mtInformation, mtConfirmation, mtCustom)
DECLARE_ENUM(TMsgDlgBtn, mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp)
DECLARE_SET(TMsgDlgButtons, TMsgDlgBtn)
inline constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline constexpr TMsgDlgButtons mbYesAllNoAllCancel{mbYes, mbYesToAll, mbNo, mbNoToAll, mbCancel};
inline constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};
inline constexpr TMsgDlgButtons mbAbortIgnore{mbAbort, mbIgnore};

class TMessageForm;
class TOpenDialog;

// Shows message boxes and message dialogs. The default one shows them on screen.
class TMessagePresenter {
public:
    virtual ~TMessagePresenter() = default;
    // A system message box: gives IDOK, IDCANCEL, IDYES ... as MessageBox does.
    virtual int MessageBox(HWND Owner, const std::string& Text, const std::string& Caption, UINT Flags);
    // A message dialog shown modally: gives its modal result.
    virtual int ShowMessageForm(TMessageForm* Dialog);
    // A file dialog (open or save, ExtDlgs.h): true when a file was chosen, its name then in the
    // dialog's FileName. The default one runs the system's common dialog.
    virtual bool ExecuteFileDialog(TOpenDialog* Dialog);
};

// Installs a presenter (null puts the default one back) and gives the one installed before.
TMessagePresenter* SetMessagePresenter(TMessagePresenter* Presenter);
TMessagePresenter& MessagePresenter();

// The form of a message dialog: icon and text painted by the form, one button per requested kind,
// named "Yes", "No", "OK", "Cancel" ... so that callers can find and change them before showing.
class TMessageForm : public TForm {
    DECLARE_CLASS(TMessageForm, TForm)
public:
    explicit TMessageForm(TComponent* AOwner);
    // Shown through the presenter.
    int ShowModal() override;
    // The modal loop itself (the default presenter's way of showing).
    int ExecuteModal() { return TForm::ShowModal(); }

    const std::string& MessageText() const { return FMessageText; }
    TMsgDlgType DlgType() const { return FDlgType; }
    // The buttons in their order, by name (null when the dialog has no such button).
    TControl* FindButton(const std::string& Name) const { return FindChildControl(Name); }

protected:
    void Paint() override;

private:
    friend TMessageForm* CreateMessageDialog(const std::string&, TMsgDlgType, TMsgDlgButtons);
    void Layout(TMsgDlgButtons Buttons);
    TRect TextRect();

    std::string FMessageText;
    TMsgDlgType FDlgType = mtCustom;
    HICON FIcon = nullptr;
};

// A dialog for the text, kind and buttons: caption by kind ("Warning", "Error", "Information",
// "Confirm"; the application's title for mtCustom), centred on the screen, bsDialog. The caller
// shows it with ShowModal and frees it.
TMessageForm* CreateMessageDialog(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);
int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx = 0);
void ShowMessage(const std::string& Msg);
