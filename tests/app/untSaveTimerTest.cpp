// The check-interval dialog read from its form resource: the scheduler's interval in the spin box, the
// saved interval on the main window's timer, in the registry and in the status bar, the placement
// under "frmSaveTimer", and the dialog freeing itself on close.
#include "untMyDialogTestSupport.h"

using namespace app_tests;

namespace {

class SaveTimer : public TDialogFixture {
protected:
    TfrmSaveTimer* Open() {
        frmSaveTimer = Create<TfrmSaveTimer>(Application);
        frmSaveTimer->Show();
        return frmSaveTimer;
    }
};

TEST_F(SaveTimer, ShowsTheIntervalInMinutesInTheResourceTexts) {
    Main->tmThreadTimerBackup->SetInterval(45 * 60000);
    TfrmSaveTimer* D = Open();
    EXPECT_EQ(D->seTimer->GetValue(), 45);
    EXPECT_EQ(D->seTimer->MinValue(), 0);
    EXPECT_EQ(D->seTimer->MaxValue(), 1440);
    EXPECT_EQ(D->Caption(), Ru(L"Частота проверок"));
    EXPECT_EQ(D->lblTimer->Caption(), Ru(L"Проверять каждые, мин"));
    EXPECT_EQ(D->btnSave->Caption(), Ru(L"Сохранить"));
    EXPECT_EQ(D->BitBtn1->Caption(), Ru(L"Отмена"));
    EXPECT_EQ(D->BorderStyle(), bsDialog);
}

TEST_F(SaveTimer, EnglishTexts) {
    SwitchLanguage();
    TfrmSaveTimer* D = Open();
    EXPECT_EQ(D->Caption(), "Frequencies of verifications");
    EXPECT_EQ(D->lblTimer->Caption(), "Check every, min.");
    EXPECT_EQ(D->btnSave->Caption(), "Save");
    EXPECT_EQ(D->BitBtn1->Caption(), "Cancel");
}

TEST_F(SaveTimer, SaveSetsTheTimerTheRegistryAndTheStatusBarThenCloses) {
    struct Case {
        const char* Typed;
        int Minutes;
    };
    // 0 and what is no number of minutes give the default; beyond the box's range the largest.
    const Case Cases[] = {{"30", 30}, {"0", 15}, {"1440", 1440}, {"1", 1}, {"", 15}, {"abc", 15}, {"-5", 15},
                          {"5000", 1440}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Typed);
        TfrmSaveTimer* D = Open();
        D->seTimer->SetText(C.Typed);
        Main->tmThreadTimerBackup->SetEnabled(false);
        D->btnSaveClick(nullptr);
        EXPECT_EQ(Main->tmThreadTimerBackup->Interval(), static_cast<Cardinal>(C.Minutes) * 60000);
        EXPECT_TRUE(Main->tmThreadTimerBackup->Enabled());
        EXPECT_EQ(ReadSetting("Interval"), std::to_string(C.Minutes));
        EXPECT_EQ(Main->sbBar->Panels()->Items(1)->Text(), "Timer: every " + std::to_string(C.Minutes) + " min");
        EXPECT_EQ(frmSaveTimer, nullptr);
        Pump();
    }
    EXPECT_EQ(Screen->FormCount(), 1) << "every dialog freed itself";
}

TEST_F(SaveTimer, CancelChangesNothingAndBothWaysKeepThePlacement) {
    Main->tmThreadTimerBackup->SetInterval(20 * 60000);
    TfrmSaveTimer* D = Open();
    D->seTimer->SetText("99");
    D->SetBounds(61, 72, D->Width(), D->Height());
    D->BitBtn1Click(nullptr);
    EXPECT_EQ(Main->tmThreadTimerBackup->Interval(), 20u * 60000);
    EXPECT_EQ(ReadSetting("Interval"), "<none>");
    EXPECT_EQ(ReadSetting("Left", "frmSaveTimer"), "61");
    EXPECT_EQ(ReadSetting("Top", "frmSaveTimer"), "72");
    EXPECT_EQ(ReadSetting("Width", "frmSaveTimer"), "<none>") << "a fixed-size dialog keeps no size";
    Pump();

    D = Open();
    EXPECT_EQ(D->Left(), 61);
    EXPECT_EQ(D->Top(), 72);
    EXPECT_EQ(D->seTimer->GetValue(), 20);
}

}  // namespace
