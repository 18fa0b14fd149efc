// The message window: a longer text (an error, a task's last result, one cell of the log) in a
// resizable window with a rich-text box and one button. Also what every dialog of the program shares:
// the yes/no question on the standard message dialog with the program's own yes and no texts, and the
// placement each dialog keeps in its own subkey of the program's registry key.
#pragma once

#include "Buttons.h"
#include "DBGrids.h"
#include "Dialogs.h"
#include "Forms.h"
#include "sPanel.h"
#include "sRichEdit.h"
#include "siComp.h"

#include <string>

class TRegistry;
class TfrmMyDialog : public TForm {
    DECLARE_CLASS(TfrmMyDialog, TForm)
public:
    using TForm::TForm;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TfrmMyDialog>& B);

    TsRichEdit* reMyDialog = nullptr;
    TsPanel* pnlButtons = nullptr;
    TBitBtn* bbRestore = nullptr;
    TsiLang* siLang1 = nullptr;

    void FormShow(TObject* Sender);
    void FormResize(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void bbRestoreClick(TObject* Sender);
};

// The window that is open, or null; emptied when that window is freed.
extern TfrmMyDialog* frmMyDialog;

// The message window in `frmMyDialog`, created from its resource when there is none.
TfrmMyDialog* MyDialog();

// The log viewer's and the task grid's way: the text and caption in the window of `frmMyDialog`, shown
// without waiting; the box keeps the resource's colour and stays editable (nothing typed is kept).
void ShowMyDialogText(const std::string& Text, const std::string& Caption);

// The body of the main window's ShowMyDialog: the text read-only on the button-face colour, shown
// modally. An open window shown without waiting is closed first (it keeps its placement), so that a
// visible window is never asked to become modal; while one is already modal a second window serves.
void ShowMyDialogModal(const std::string& Text, const std::string& Caption);

// The question dialog the main window, the wizard and the restore each ask with: the standard message
// dialog without title-bar icons, in Verdana, on top of every window, centred on the desktop, titled
// Caption (the application's title when empty), its OK button showing YesText and its Cancel button
// NoText. Gives the modal result.
int MessageDialog(const std::string& Msg, TMsgDlgType DlgType, const std::string& Caption, TMsgDlgButtons Buttons,
                  const std::string& YesText, const std::string& NoText);

// A dialog's placement under the program's key, subkey SubKey (opened with create). Loading applies
// the stored values only when "Top" and "Left" both read as integers, and then each one ("Width" and
// "Height" first, when WithSize) only when it reads as an integer; the window then stays where it was
// put instead of being centred again. Saving writes the decimal strings; a key that cannot be opened
// is skipped.
void LoadDialogPlacement(TCustomForm* Form, const std::string& SubKey, bool WithSize);
void SaveDialogPlacement(TCustomForm* Form, const std::string& SubKey, bool WithSize);
// A registry string value read as an integer: false when it is missing, no string or no number.
bool ReadRegistryInt(TRegistry& R, const std::string& Name, LongInt& Value);

// A grid's column layout under the program's key, subkey SubKey (opened with create): for each column
// i, "Width" + i (an integer, applied when above 0), "FieldName" + i and "FieldTitle" + i (texts,
// applied when not empty; titles only when ApplyTitles). A value that cannot be read is skipped.
void LoadGridLayout(TCustomDBGrid* Grid, const std::string& SubKey, bool ApplyTitles);
void SaveGridLayout(TCustomDBGrid* Grid, const std::string& SubKey);
