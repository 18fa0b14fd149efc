// The about box read from its form resource: product name, description and button in the active
// language, the focus on the title, and the box freeing itself on close.
#include "untMyDialogTestSupport.h"

using namespace app_tests;

namespace {

class About : public TDialogFixture {};

TEST_F(About, TextsOfBothLanguagesAndTheBoxFreesItselfOnClose) {
    struct Case {
        bool English;
        std::string Caption, Button, Supported;
    };
    const Case Cases[] = {
        {false, Ru(L"О программе"), Ru(L"Ок"), Ru(L"Поддерживаемые серверы: Microsoft SQL Server 2000")},
        {true, "About", "Ok", "Supported servers: Microsoft SQL Server 2000"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Caption);
        if (C.English)
            SwitchLanguage();
        frmAbout = Create<TfrmAbout>(Application);
        TfrmAbout* A = frmAbout;
        A->Show();
        Pump();
        EXPECT_EQ(A->Caption(), C.Caption);
        EXPECT_EQ(A->bbCloseType1->Caption(), C.Button);
        EXPECT_EQ(A->pnlTop->Caption(), "Quarnel Backup for MS SQL Server");
        EXPECT_TRUE(A->pnlTop->Font()->Style().Contains(fsBold));
        EXPECT_EQ(A->meAbout->Lines()->Count(), 3);
        EXPECT_EQ(A->meAbout->Lines()->Strings(2).rfind(C.Supported, 0), 0u) << A->meAbout->Lines()->Strings(2);
        EXPECT_TRUE(A->meAbout->ReadOnly());
        EXPECT_EQ(A->Position(), poDesktopCenter);
        EXPECT_EQ(A->BorderStyle(), bsDialog);
        EXPECT_EQ(Screen->ActiveControl(), A->pnlTop);
        A->bbCloseType1Click(nullptr);
        EXPECT_EQ(frmAbout, nullptr);
        Pump();
        EXPECT_EQ(Screen->FormCount(), 1);
    }
}

}  // namespace
