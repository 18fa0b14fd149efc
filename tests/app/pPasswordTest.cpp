// The archive password prompt read from its form resource: its texts in both languages, the masked
// edit, Apply keeping and Cancel emptying what was typed, closing that only hides it, and its placement
// with size under "frmPassword".
#include "untMyDialogTestSupport.h"

using namespace app_tests;

namespace {

class PasswordPrompt : public TDialogFixture {
protected:
    TfrmPassword* Prompt() {
        if (!frmPassword)
            frmPassword = Create<TfrmPassword>(Application);
        return frmPassword;
    }
};

TEST_F(PasswordPrompt, TextsFollowTheLanguageWhileItIsKept) {
    TfrmPassword* P = Prompt();
    struct Case {
        std::string Caption, Label, Ok, Cancel;
    };
    const Case Cases[] = {
        {Ru(L"Пароль"), Ru(L"Введите пароль:"), Ru(L"Применить"), Ru(L"Отмена")},
        {"Password", "Input password:", "Apply", "Cancel"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Caption);
        if (&C != Cases)
            SwitchLanguage();
        EXPECT_EQ(P->Caption(), C.Caption);
        EXPECT_EQ(P->lblPassword->Caption(), C.Label);
        EXPECT_EQ(P->btnOk->Caption(), C.Ok);
        EXPECT_EQ(P->btnClose->Caption(), C.Cancel);
    }
    EXPECT_EQ(P->edPassword->PasswordChar(), '*');
}

TEST_F(PasswordPrompt, ApplyKeepsTheTextCancelEmptiesItAndClosingOnlyHides) {
    TfrmPassword* P = Prompt();
    struct Case {
        bool Cancel;
        std::string Left;
    };
    for (const Case& C : {Case{false, "secret"}, Case{true, ""}}) {
        SCOPED_TRACE(C.Cancel ? "cancel" : "apply");
        P->Show();
        P->edPassword->SetText("secret");
        if (C.Cancel)
            P->btnCloseClick(nullptr);
        else
            P->btnOkClick(nullptr);
        Pump();
        EXPECT_EQ(frmPassword, P) << "the prompt is kept";
        EXPECT_FALSE(P->Visible());
        EXPECT_EQ(P->edPassword->Text(), C.Left);
    }
}

TEST_F(PasswordPrompt, KeepsItsPlaceAndSize) {
    TfrmPassword* P = Prompt();
    P->Show();
    P->SetBounds(33, 44, 310, 140);
    P->btnOkClick(nullptr);
    EXPECT_EQ(ReadSetting("Left", "frmPassword"), "33");
    EXPECT_EQ(ReadSetting("Top", "frmPassword"), "44");
    EXPECT_EQ(ReadSetting("Width", "frmPassword"), "310");
    EXPECT_EQ(ReadSetting("Height", "frmPassword"), "140");

    P->SetBounds(0, 0, 200, 90);
    P->Show();
    EXPECT_EQ(P->BoundsRect(), (TRect{33, 44, 343, 184}));
}

}  // namespace
