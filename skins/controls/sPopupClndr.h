// The drop-down calendar of the date edit: a borderless form with one month calendar that hands
// the picked date to its edit (asking the edit's OnAcceptDate first) and closes. Enter accepts,
// Esc and losing the activation close it; "T" anywhere in it selects today.
//
// Start-up: sPopupClndrInitialization() registers TsPopupCalendar for form files;
// sPopupClndrFinalization() releases the region rectangles.
#pragma once

#include "Forms.h"
#include "sConst.h"

class TsMonthCalendar;
class TsCustomDateEdit;

// The transparent corners of the popup's window region, rebuilt before each use.
extern TAOR PopupRegionRects;

class TsPopupCalendar : public TForm {
    DECLARE_CLASS(TsPopupCalendar, TForm)
public:
    explicit TsPopupCalendar(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TsPopupCalendar>& B);
    // The popup owned by AOwner: read from its form resource "TSPOPUPCALENDAR" when the program
    // holds one, else made with the same settings in code.
    static TsPopupCalendar* CreatePopup(TComponent* AOwner);
    // The popup made in code with the settings of its form resource.
    static TsPopupCalendar* CreateInCode(TComponent* AOwner);

    TsMonthCalendar* sMonthCalendar1 = nullptr;
    TsCustomDateEdit* Editor = nullptr;
    TsMonthCalendar* Calendar() const { return sMonthCalendar1; }

    void CalendarClick(TObject* Sender);
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void FormShow(TObject* Sender);
    void FormDeactivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void BuildRegionRects();
    HRGN MakeRegion();

    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void KeyPress(char& Key) override;

private:
    void BuildInCode();
    // The edit takes the focus again, its text selected with AutoSelect.
    void FocusEditor();
    // The calendar's date given to the edit unless OnAcceptDate refuses it.
    bool AcceptDate();
};

void sPopupClndrInitialization();
void sPopupClndrFinalization();
