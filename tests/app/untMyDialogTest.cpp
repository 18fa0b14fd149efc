// The message window read from its form resource, shown without waiting (log viewer, task grid) and
// modally (the main window's messages), its placement under "frmMyDialog"; the question dialog with
// the program's own yes and no texts; the placement rules every dialog shares.
#include "untMyDialogTestSupport.h"

using namespace app_tests;

namespace {

class MyDialog : public TDialogFixture {};

TEST_F(MyDialog, ShownWithoutWaitingItKeepsTheResourceLookAndCanBeTypedInto) {
    ShowMyDialogText("first", "caption 1");
    ASSERT_NE(frmMyDialog, nullptr);
    TfrmMyDialog* W = frmMyDialog;
    EXPECT_TRUE(W->Visible());
    EXPECT_FALSE(W->FormState().Contains(fsModal));
    EXPECT_EQ(W->reMyDialog->Text(), "first");
    EXPECT_EQ(W->Caption(), "caption 1");
    EXPECT_EQ(W->reMyDialog->Color(), clWhite);
    EXPECT_FALSE(W->reMyDialog->ReadOnly());
    EXPECT_EQ(W->FormStyle(), fsStayOnTop);
    EXPECT_EQ(W->Constraints()->MinWidth(), 200);
    EXPECT_EQ(W->Constraints()->MinHeight(), 100);
    EXPECT_EQ(W->Font()->Name(), "Verdana");
    EXPECT_EQ(W->bbRestore->Caption(), "Ok");
    Pump();
    EXPECT_EQ(Screen->ActiveControl(), W->bbRestore) << "the Ok button has the focus";

    // Typing changes the box; the next text replaces it in the same window.
    SendMessageA(W->reMyDialog->Handle(), WM_CHAR, 'x', 0);
    EXPECT_NE(W->reMyDialog->Text(), "first");
    ShowMyDialogText("second", "caption 2");
    EXPECT_EQ(frmMyDialog, W);
    EXPECT_EQ(W->reMyDialog->Text(), "second");

    W->SetBounds(31, 42, 333, 222);
    W->bbRestoreClick(nullptr);
    EXPECT_EQ(frmMyDialog, nullptr) << "closing empties the unit's variable at once";
    EXPECT_EQ(ReadSetting("Left", "frmMyDialog"), "31");
    EXPECT_EQ(ReadSetting("Top", "frmMyDialog"), "42");
    EXPECT_EQ(ReadSetting("Width", "frmMyDialog"), "333");
    EXPECT_EQ(ReadSetting("Height", "frmMyDialog"), "222");
    Pump();
    EXPECT_EQ(Screen->FormCount(), 1) << "only the main window is left";
    EXPECT_TRUE(Recorder.Shown.empty());
}

TEST_F(MyDialog, ModalMessagesAreReadOnlyOnTheButtonFaceEachInAFreshWindowAtTheStoredPlace) {
    int Opened = 0;
    Watcher.Action = [&](TCustomForm* F) {
        auto* W = DynCast<TfrmMyDialog>(F);
        if (!W)
            return false;
        ++Opened;
        EXPECT_EQ(frmMyDialog, W);
        EXPECT_TRUE(W->reMyDialog->ReadOnly());
        EXPECT_EQ(W->reMyDialog->Color(), clBtnFace);
        if (Opened == 1) {
            EXPECT_EQ(W->reMyDialog->Text(), "one");
            EXPECT_EQ(W->Caption(), "first caption");
            W->SetBounds(120, 70, 300, 180);  // the user moves and sizes it
        } else {
            EXPECT_EQ(W->reMyDialog->Text(), "two");
            EXPECT_EQ(W->BoundsRect(), (TRect{120, 70, 420, 250})) << "the second opens where the first closed";
        }
        W->bbRestoreClick(nullptr);
        return true;
    };
    ShowMyDialogModal("one", "first caption");
    EXPECT_EQ(frmMyDialog, nullptr);
    ShowMyDialogModal("two", "second caption");
    EXPECT_EQ(Opened, 2);
}

TEST_F(MyDialog, AModalMessageClosesTheWindowOpenWithoutWaitingFirst) {
    ShowMyDialogText("cell text", "More");
    TfrmMyDialog* Modeless = frmMyDialog;
    Modeless->SetBounds(10, 20, 300, 200);
    ShowMyDialogModal("error text", "Warning");
    ASSERT_EQ(Recorder.Shown.size(), 1u);
    EXPECT_EQ(Recorder.Shown[0].Text, "error text");
    EXPECT_EQ(Watcher.MessageWindows[0].Bounds, (TRect{10, 20, 310, 220})) << "it took over the closed one's place";
    EXPECT_EQ(frmMyDialog, nullptr);
    Pump();
    EXPECT_EQ(Screen->FormCount(), 1);
}

TEST_F(MyDialog, ResourceTextsFollowTheLanguage) {
    SwitchLanguage();
    ShowMyDialogText("text", "");
    EXPECT_EQ(frmMyDialog->bbRestore->Caption(), "Ok");
    frmMyDialog->Free();
    TOwned<TfrmMyDialog> W(Create<TfrmMyDialog>(nullptr));
    EXPECT_EQ(W->Caption(), "message");
    SwitchLanguage();
    EXPECT_EQ(W->Caption(), Ru(L"итог"));
}

// ---------------------------------------------------------------------------------------------
// The placement every dialog keeps

class DialogPlacement : public TDialogFixture {};

TEST_F(DialogPlacement, StoredValuesApplyOnlyWhenTopAndLeftBothReadAsNumbers) {
    struct Case {
        const char *Top, *Left, *Width, *Height;  // nullptr = no value
        bool Applied;
        TRect Expected;  // when applied
    };
    const Case Cases[] = {
        {"40", "50", "300", "200", true, {50, 40, 350, 240}},
        {"40", "50", "abc", "200", true, {50, 40, 50 + 450, 240}},
        {"40", "50", nullptr, nullptr, true, {50, 40, 50 + 450, 40 + 260}},
        {"40", nullptr, "300", "200", false, {}},
        {"x", "50", "300", "200", false, {}},
        {nullptr, nullptr, "300", "200", false, {}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(std::string(C.Top ? C.Top : "-") + "/" + (C.Left ? C.Left : "-") + "/" + (C.Width ? C.Width : "-"));
        DeleteSettingsKey();
        for (auto [Name, Value] : {std::pair{"Top", C.Top}, {"Left", C.Left}, {"Width", C.Width}, {"Height", C.Height}})
            if (Value)
                WriteSetting(Name, Value, "frmMyDialog");
        TOwned<TfrmMyDialog> W(Create<TfrmMyDialog>(nullptr));
        W->SetBounds(7, 8, 450, 260);
        LoadDialogPlacement(W.get(), "frmMyDialog", true);
        if (C.Applied) {
            EXPECT_EQ(W->BoundsRect(), C.Expected);
            EXPECT_EQ(W->Position(), poDesigned) << "no centring moves it again";
        } else {
            EXPECT_EQ(W->BoundsRect(), (TRect{7, 8, 457, 268}));
            EXPECT_EQ(W->Position(), poScreenCenter);
        }
    }
}

TEST_F(DialogPlacement, AValueOfAnotherTypeCountsAsNoNumberAndSizeIsOnlyForSizedDialogs) {
    WriteIntSetting("Top", 40, "frmX");
    WriteSetting("Left", "50", "frmX");
    TOwned<TForm> F(TForm::CreateNew(nullptr));
    F->SetBounds(1, 2, 100, 100);
    LoadDialogPlacement(F.get(), "frmX", false);
    EXPECT_EQ(F->Left(), 1);

    WriteSetting("Top", "40", "frmX");
    WriteSetting("Width", "300", "frmX");
    LoadDialogPlacement(F.get(), "frmX", false);
    EXPECT_EQ(F->BoundsRect(), (TRect{50, 40, 150, 140}));

    F->SetBounds(5, 6, 70, 80);
    SaveDialogPlacement(F.get(), "frmY", false);
    EXPECT_EQ(ReadSetting("Left", "frmY"), "5");
    EXPECT_EQ(ReadSetting("Top", "frmY"), "6");
    EXPECT_EQ(ReadSetting("Width", "frmY"), "<none>");
}

// ---------------------------------------------------------------------------------------------
// The question dialog

class QuestionDialog : public TDialogFixture {};

TEST_F(QuestionDialog, OwnYesAndNoOnTopWithoutIconsAndTheTitleWhenNoCaption) {
    struct Case {
        const char* Caption;
        int Answer;
    };
    for (const Case& C : {Case{"Delete the task", mrOk}, Case{"", mrCancel}}) {
        Recorder.Shown.clear();
        Recorder.Answer = C.Answer;
        EXPECT_EQ(MessageDialog("Delete?", mtConfirmation, C.Caption, mbOKCancel, "Da", "Net"), C.Answer);
        ASSERT_EQ(Recorder.Shown.size(), 1u);
        const TMessageRecorder::TShown& S = Recorder.Shown[0];
        EXPECT_EQ(S.Text, "Delete?");
        EXPECT_EQ(S.Caption, *C.Caption ? C.Caption : Application->Title());
        EXPECT_EQ(S.Buttons, (std::vector<std::string>{"Da", "Net"}));
        EXPECT_TRUE(S.StayOnTop);
        EXPECT_TRUE(S.NoBorderIcons);
    }
}

}  // namespace
