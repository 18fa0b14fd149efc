// Message dialogs: the form CreateMessageDialog builds, the presenter they all go through, and a
// real dialog answering keys.
#include "ControlTestSupport.h"
#include "StdCtrls.h"

#include <gtest/gtest.h>

using namespace controltests;

namespace {

class DialogTest : public ControlsTest {};

struct TDialogCase {
    TMsgDlgType Type;
    TMsgDlgButtons Buttons;
    const char* Caption;  // null: the application's title
    std::vector<std::string> Expected;  // "Name=Caption"
    const char* Default;
    const char* Cancel;
};

TEST_F(DialogTest, CreateMessageDialogBuildsCaptionAndNamedButtonsInTheirOrder) {
    const TDialogCase Cases[] = {
        {mtWarning, {mbOK}, "Warning", {"OK=OK"}, "OK", "OK"},
        {mtError, {mbAbort, mbRetry, mbIgnore}, "Error", {"Abort=&Abort", "Retry=&Retry", "Ignore=&Ignore"}, "Abort", nullptr},
        {mtInformation, {mbCancel, mbOK}, "Information", {"OK=OK", "Cancel=Cancel"}, "OK", "Cancel"},
        {mtConfirmation, {mbNo, mbYes, mbYesToAll, mbNoToAll, mbAll}, "Confirm",
         {"Yes=&Yes", "No=&No", "All=&All", "NoToAll=N&o to All", "YesToAll=Yes to &All"}, "Yes", "No"},
        {mtCustom, {mbOK, mbHelp}, nullptr, {"OK=OK", "Help=&Help"}, "OK", "OK"},
    };
    const TModalResult Results[] = {mrYes, mrNo, mrOk, mrCancel, mrAbort, mrRetry, mrIgnore, mrAll, mrNoToAll, mrYesToAll, mrNone};
    const char* Names[] = {"Yes", "No", "OK", "Cancel", "Abort", "Retry", "Ignore", "All", "NoToAll", "YesToAll", "Help"};
    for (const TDialogCase& C : Cases) {
        TOwned<TMessageForm> F(CreateMessageDialog("Text", C.Type, C.Buttons));
        EXPECT_EQ(F->Caption(), C.Caption ? C.Caption : Application->Title());
        EXPECT_EQ(F->BorderStyle(), bsDialog);
        EXPECT_EQ(F->Position(), poScreenCenter);
        std::vector<std::string> Got;
        for (int I = 0; I < F->ControlCount(); ++I)
            Got.push_back(F->Controls(I)->Name() + "=" + F->Controls(I)->Caption());
        EXPECT_EQ(Got, C.Expected) << C.Caption;
        for (int I = 0; I < 11; ++I)
            if (auto* B = DynCast<TButton>(F->FindButton(Names[I]))) {
                EXPECT_EQ(B->ModalResult(), Results[I]) << Names[I];
                EXPECT_EQ(B->Default(), C.Default && std::string(C.Default) == Names[I]) << Names[I];
                EXPECT_EQ(B->Cancel(), C.Cancel && std::string(C.Cancel) == Names[I]) << Names[I];
            }
    }
}

TEST_F(DialogTest, ACallerCanRestyleTheDialogBeforeItIsShownThroughThePresenter) {
    TRecorderScope Rec;
    Rec.Recorder.Answer = mrCancel;
    TOwned<TMessageForm> F(CreateMessageDialog("Connect now?", mtConfirmation, mbOKCancel));
    F->SetBorderIcons({});
    F->Font()->SetName("Verdana");
    F->SetFormStyle(fsStayOnTop);
    F->SetCaption("");
    F->FindButton("OK")->SetCaption("Да");
    F->FindButton("Cancel")->SetCaption("Нет");
    EXPECT_EQ(F->ShowModal(), mrCancel);
    ASSERT_EQ(Rec.Recorder.Entries.size(), 1u);
    const auto& E = Rec.Recorder.Entries[0];
    EXPECT_EQ(E.Text, "Connect now?");
    EXPECT_EQ(E.DlgType, mtConfirmation);
    EXPECT_EQ(E.Buttons, (std::vector<std::string>{"OK=Да", "Cancel=Нет"}));
    EXPECT_TRUE(E.StayOnTop);
    EXPECT_TRUE(E.Icons.Empty());
    EXPECT_EQ(E.FontName, "Verdana");
}

TEST_F(DialogTest, MessageDlgShowMessageAndMessageBoxAllReachThePresenter) {
    TRecorderScope Rec;
    Rec.Recorder.Answer = mrYes;
    int Forms = Screen->FormCount();
    EXPECT_EQ(MessageDlg("Delete the task?", mtConfirmation, TMsgDlgButtons{mbYes, mbNo}), mrYes);
    ShowMessage("Saved");
    Rec.Recorder.Answer = IDNO;
    EXPECT_EQ(Application->MessageBox("Really?", "Title", MB_YESNO), IDNO);
    EXPECT_EQ(Screen->FormCount(), Forms);  // the dialogs were freed
    ASSERT_EQ(Rec.Recorder.Entries.size(), 3u);
    EXPECT_EQ(Rec.Recorder.Entries[0].Buttons, (std::vector<std::string>{"Yes=&Yes", "No=&No"}));
    EXPECT_EQ(Rec.Recorder.Entries[1].Caption, Application->Title());
    EXPECT_EQ(Rec.Recorder.Entries[1].Buttons, (std::vector<std::string>{"OK=OK"}));
    EXPECT_EQ(Rec.Recorder.Entries[2].Text, "Really?");
    EXPECT_EQ(Rec.Recorder.Entries[2].Flags, UINT(MB_YESNO));
}

struct TKeyCase {
    WPARAM Key;
    TModalResult Expected;
};

TEST_F(DialogTest, ARealDialogAnswersEnterWithItsDefaultAndEscWithItsCancelButton) {
    const TKeyCase Cases[] = {{VK_RETURN, mrOk}, {VK_ESCAPE, mrCancel}};
    TMessagePresenter* Old = SetMessagePresenter(nullptr);  // the real one, which shows the dialog
    for (const TKeyCase& C : Cases) {
        TOwned<TMessageForm> F(CreateMessageDialog("Continue?", mtConfirmation, mbOKCancel));
        F->OnShow = TNotifyEvent::FromFunction([&](TObject*) {
            PostMessageA(F->FindButton("OK") ? DynCast<TWinControl>(F->FindButton("OK"))->Handle() : F->Handle(),
                         WM_KEYDOWN, C.Key, 1);
        });
        EXPECT_EQ(F->ShowModal(), C.Expected) << C.Key;
    }
    SetMessagePresenter(Old);
}

}  // namespace
