// The form the common-control and menu tests read from its resource (forms/TComCtlTestForm.dfm),
// recording what its handlers saw.
#pragma once

#include "ComCtrls.h"
#include "ComCtrlsList.h"
#include "ComCtrlsTree.h"
#include "ControlTestSupport.h"
#include "Menus.h"

#include <string>
#include <vector>

namespace comctltests {

// Starts the framework and this unit's classes once per test program.
inline void EnsureComCtrls() {
    controltests::EnsureControls();
    static bool Started = [] {
        InitImgList();
        InitMenus();
        InitComCtrls();
        return true;
    }();
    (void)Started;
}

class TComCtlTestForm : public TForm {
    DECLARE_CLASS(TComCtlTestForm, TForm)
public:
    using TForm::TForm;
    static void DefineClass(TClassBuilder<TComCtlTestForm>& B) {
        B.Field("tbMain", &TComCtlTestForm::tbMain);
        B.Field("tbPlus", &TComCtlTestForm::tbPlus);
        B.Field("tbEdit", &TComCtlTestForm::tbEdit);
        B.Field("pcPages", &TComCtlTestForm::pcPages);
        B.Field("tsFirst", &TComCtlTestForm::tsFirst);
        B.Field("tsSecond", &TComCtlTestForm::tsSecond);
        B.Field("tvTree", &TComCtlTestForm::tvTree);
        B.Field("lvList", &TComCtlTestForm::lvList);
        B.Field("sbBar", &TComCtlTestForm::sbBar);
        B.Field("ilMain", &TComCtlTestForm::ilMain);
        B.Field("MainMenu1", &TComCtlTestForm::MainMenu1);
        B.Field("mH", &TComCtlTestForm::mH);
        B.Field("PopupMenu", &TComCtlTestForm::PopupMenu);
        B.Field("pmOpenProgram", &TComCtlTestForm::pmOpenProgram);
        B.Field("pmSettings", &TComCtlTestForm::pmSettings);
        B.Field("pmAutoRun", &TComCtlTestForm::pmAutoRun);
        B.Field("pmClose", &TComCtlTestForm::pmClose);
        B.Method<&TComCtlTestForm::tbPlusClick>("tbPlusClick");
        B.Method<&TComCtlTestForm::pcPagesChanging>("pcPagesChanging");
        B.Method<&TComCtlTestForm::sbBarDrawPanel>("sbBarDrawPanel");
        B.Method<&TComCtlTestForm::mHClick>("mHClick");
        B.Method<&TComCtlTestForm::PopupMenuPopup>("PopupMenuPopup");
        B.Method<&TComCtlTestForm::pmOpenProgramClick>("pmOpenProgramClick");
        B.Method<&TComCtlTestForm::pmAutoRunClick>("pmAutoRunClick");
        B.Method<&TComCtlTestForm::pmCloseClick>("pmCloseClick");
    }

    // The form's key path asks its main menu, as the platform's forms do with their Menu.
    bool IsShortCut(TWMKey& Message) override { return MenuIsShortCut(this, Message); }

    TToolBar* tbMain = nullptr;
    TToolButton* tbPlus = nullptr;
    TToolButton* tbEdit = nullptr;
    TPageControl* pcPages = nullptr;
    TTabSheet* tsFirst = nullptr;
    TTabSheet* tsSecond = nullptr;
    TTreeView* tvTree = nullptr;
    TListView* lvList = nullptr;
    TStatusBar* sbBar = nullptr;
    TImageList* ilMain = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* mH = nullptr;
    TPopupMenu* PopupMenu = nullptr;
    TMenuItem* pmOpenProgram = nullptr;
    TMenuItem* pmSettings = nullptr;
    TMenuItem* pmAutoRun = nullptr;
    TMenuItem* pmClose = nullptr;

    std::vector<std::string> Log;  // handler calls in order
    bool AllowPageChange = true;
    struct TDrawn {
        int Panel;
        TRect Rect;
    };
    std::vector<TDrawn> Drawn;

    void tbPlusClick(TObject*) { Log.push_back("tbPlus"); }
    void pcPagesChanging(TObject*, bool& Allow) {
        Log.push_back("changing");
        Allow = AllowPageChange;
    }
    void sbBarDrawPanel(TStatusBar* Bar, TStatusPanel* Panel, const TRect& R) {
        Drawn.push_back({Panel->Index(), R});
        Bar->Canvas()->Font()->SetColor(0x008000);
        Bar->Canvas()->TextOut(R.Left, R.Top, " Connected: true");
    }
    void mHClick(TObject*) { Log.push_back("help"); }
    void PopupMenuPopup(TObject*) {
        Log.push_back("popup");
        pmOpenProgram->SetCaption("Hide");
    }
    void pmOpenProgramClick(TObject*) { Log.push_back("open"); }
    void pmAutoRunClick(TObject*) { Log.push_back("autorun"); }
    void pmCloseClick(TObject*) { Log.push_back("close"); }
};

// A fixture with the form read from its resource; the form goes at the end of the test.
class ComCtlFormTest : public controltests::ControlsTest {
protected:
    void SetUp() override {
        controltests::ControlsTest::SetUp();
        EnsureComCtrls();
        Form = Create<TComCtlTestForm>(Application);
    }
    TComCtlTestForm* Form = nullptr;
};

}  // namespace comctltests
