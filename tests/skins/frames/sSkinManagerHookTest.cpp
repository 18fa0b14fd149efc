// The skin manager's hook of the application window as a program really ends: this test program
// starts itself once more as a child that shows a skinned main form, ends its message loop with
// Application->Terminate() and then hides its application window as the program does when it goes.
// The hook plays the main form's hide animation to its last frame before it returns (nothing would
// run a timer any more); the child's assertions are its report, its exit code 0 only when all hold.
#include "../engine/SkinPixelSupport.h"

#include "TestSupport.h"

#include "sGraphUtils.h"
#include "sSkinProvider.h"

#include <cstdlib>

using namespace skintests;

namespace {

constexpr const char* ChildVariable = "QUARNEL_ENDING_PROGRAM_CHILD";

VOID CALLBACK EndTheProgram(HWND, UINT, UINT_PTR Id, DWORD) {
    KillTimer(nullptr, Id);
    Application->Terminate();
}

TEST(sSkinManagerHookChild, TheMainFormHidesAnimatedAsTheProgramEnds) {
    if (!std::getenv(ChildVariable))
        GTEST_SKIP() << "runs only as the child of the test below";
    EnsureSkinUnits();
    sGraphUtilsInitialization();
    // The test program does not run the manager's start-up, which finds the platform.
    IsNTPlatform = true;
    TsSkinManager* Manager = Create<TsSkinManager>(nullptr);
    Manager->SkinDirectory = testing_support::SourceDir() + "tests\\skins\\frames\\skin";
    Manager->SetSkinName("FrameTest");
    ASSERT_TRUE(Manager->SkinData->SkinActive);
    Manager->AnimEffects->FormHide->Active = true;
    Manager->AnimEffects->FormHide->Time = 40;
    Manager->AnimEffects->FormHide->Mode = atFading;
    TCustomForm* Main = Application->MainForm();
    ASSERT_TRUE(Main);
    Main->SetBounds(60, 60, 320, 200);
    Main->SetCaption("Ending");
    Create<TsSkinProvider>(Main);
    SetTimer(nullptr, 0, 50, EndTheProgram);
    Application->Run();
    ASSERT_TRUE(Application->Terminated());
    ASSERT_TRUE(IsWindowVisible(Main->Handle())) << "the main form showed until the end";
    HideAnimationTimer = nullptr;
    ShowWindow(Application->Handle(), SW_HIDE);
    TacHideTimer* T = HideAnimationTimer;
    ASSERT_TRUE(T) << "hiding the application window of an ending program played the main form's hide";
    EXPECT_EQ(T->StepCount, 4);
    EXPECT_GT(T->StepIndex, T->StepCount) << "every frame was shown before the hook returned";
    EXPECT_FALSE(T->Form) << "the animation window is gone";
    EXPECT_FALSE(T->Snapshot);
    EXPECT_FALSE(T->Enabled()) << "no timer is left running";
    EXPECT_EQ(LibraryForms(), 0);
    EXPECT_FALSE(AnimationInProgress);
    EXPECT_FALSE(GetWindowLongA(Main->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED) << "the form's layering went again";
    FreeAndNil(Manager);
}

TEST(sSkinManagerHookTest, AProgramThatEndsHidesItsMainFormAnimated) {
    if (std::getenv(ChildVariable))
        GTEST_SKIP() << "the child runs only the test above";
    std::string Output;
    const int Code = testing_support::RunProcess(
        "\"" + testing_support::BinDir() + "test_skins_frames.exe\" --gtest_filter=sSkinManagerHookChild.*", 120000,
        {std::string(ChildVariable) + "=1"}, &Output);
    EXPECT_EQ(Code, 0) << Output;
    EXPECT_NE(Output.find("[       OK ] sSkinManagerHookChild.TheMainFormHidesAnimatedAsTheProgramEnds"),
              std::string::npos)
        << "the child ran its test to the end:\n"
        << Output;
}

}  // namespace
