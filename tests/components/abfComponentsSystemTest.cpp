// Autorun entries kept by the component, the shutdown request refused by its handler, the start
// button's properties without a taskbar button, and the colour picker.
#include "abfTestSupport.h"

#include "Registry.h"

using namespace abftests;

namespace {

bool RunValueExists(HKEY Root, const std::string& Name) {
    TOwned<TRegistry> Reg(Create<TRegistry>(KEY_READ));
    Reg->SetRootKey(Root);
    return Reg->OpenKey("Software\\Microsoft\\Windows\\CurrentVersion\\Run", false) && Reg->ValueExists(Name);
}

class abfComponentsAutoRun : public ::testing::Test {
protected:
    const std::string File = "C:\\Programs\\quarnel autorun component.exe";
    const std::string Name = "quarnel autorun component.exe";
    void TearDown() override {
        UnregisterAutoExec(aekUserRun, File);
        UnregisterAutoExec(aekMachineRun, File);
    }
};

TEST_F(abfComponentsAutoRun, RunTimeDefaultsNameTheProgram) {
    TOwned<TabfAutoRun> A(Create<TabfAutoRun>(nullptr));
    EXPECT_FALSE(A->AutoRun());
    EXPECT_EQ(A->Kind(), aekMachineRun);
    EXPECT_EQ(A->FileName(), ProgramFileName());
}

TEST_F(abfComponentsAutoRun, LoadingWithAutoRunOffRemovesAnExistingEntry) {
    ASSERT_TRUE(RegisterAutoExec(aekUserRun, File));
    TOwned<TabfAutoRun> A(Create<TabfAutoRun>(nullptr));
    A->IncludeState(csLoading);
    A->SetKind(aekUserRun);
    A->SetFileName(File);
    EXPECT_TRUE(RunValueExists(HKEY_CURRENT_USER, Name)) << "nothing happens while the form is read";
    A->Loaded();
    EXPECT_FALSE(RunValueExists(HKEY_CURRENT_USER, Name));
}

TEST_F(abfComponentsAutoRun, ChangingKindMovesTheEntry) {
    TOwned<TabfAutoRun> A(Create<TabfAutoRun>(nullptr));
    A->SetKind(aekUserRun);
    A->SetFileName(File);
    A->SetAutoRun(true);
    EXPECT_TRUE(RunValueExists(HKEY_CURRENT_USER, Name));
    A->SetKind(aekMachineRun);
    EXPECT_FALSE(RunValueExists(HKEY_CURRENT_USER, Name));
    EXPECT_TRUE(RunValueExists(HKEY_LOCAL_MACHINE, Name));
    A->SetAutoRun(false);
    EXPECT_FALSE(RunValueExists(HKEY_LOCAL_MACHINE, Name));
}

TEST(abfComponentsShutdown, RefusedByTheHandlerNothingHappens) {
    // The machine is never really shut down here: only the refusal path runs.
    TOwned<TabfShutdown> S(Create<TabfShutdown>(nullptr));
    EXPECT_EQ(S->ActionType(), aatPowerOff);
    EXPECT_FALSE(S->Force());
    int Asked = 0;
    S->OnQueryShutdown = TabfQueryShutdownEvent::FromFunction([&](TObject*, bool& Can) {
        ++Asked;
        Can = false;
    });
    EXPECT_FALSE(S->Execute());
    EXPECT_EQ(Asked, 1) << "asked after the privilege was enabled";
}

TEST(abfComponentsStartButton, WithoutATaskbarButtonEverythingIsZero) {
    // Wine's taskbar window has no start button.
    TOwned<TabfStartButtonProperties> B(Create<TabfStartButtonProperties>(nullptr));
    EXPECT_EQ(B->Handle(), nullptr);
    EXPECT_EQ(B->ButtonLeft(), 0);
    EXPECT_EQ(B->ButtonTop(), 0);
    EXPECT_EQ(B->ButtonWidth(), 0);
    EXPECT_EQ(B->ButtonHeight(), 0);
    EXPECT_FALSE(B->Visible());
    B->SetButtonLeft(50);
    B->SetVisible(false);
    EXPECT_EQ(B->ButtonLeft(), 0);
}

TEST(abfComponentsColorPicker, ReportsTheColourUnderTheMouseOnEachTick) {
    TForm* F = TForm::CreateNew(nullptr);
    F->SetBounds(300, 300, 150, 150);
    F->SetColor(RGB(48, 104, 255));
    F->SetFormStyle(fsStayOnTop);
    F->Show();
    F->Update();
    POINT P = {0, 0};
    ClientToScreen(F->Handle(), &P);
    SetCursorPos(P.x + 40, P.y + 40);
    TOwned<TabfColorPicker> Picker(Create<TabfColorPicker>(nullptr));
    EXPECT_EQ(Picker->Interval(), 100u);
    std::vector<TColor> Seen;
    Picker->SetOnTimer(TNotifyEvent::FromFunction([&](TObject*) { Seen.push_back(Picker->GetColor()); }));
    ASSERT_TRUE(PumpUntil([&] { return Seen.size() >= 3 && Seen.back() == LongInt(RGB(48, 104, 255)); }, 3000));
    F->Free();
}

}  // namespace
