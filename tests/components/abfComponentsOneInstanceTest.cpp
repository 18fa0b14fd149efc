// The single-instance guard with real second copies: the test program starts itself again as the
// second copy (the disabled child test below), which reports what it showed and did.
#include "abfTestSupport.h"

#include "TestSupport.h"

#include <cstdio>
#include <cstdlib>

using namespace abftests;

namespace {

// Message texts travel as hexadecimal, so that no code page stands between the copies.
std::string Hex(const std::string& S) {
    std::string R;
    char Buf[3];
    for (unsigned char Ch : S) {
        std::snprintf(Buf, sizeof Buf, "%02X", Ch);
        R += Buf;
    }
    return R;
}

std::string EnvText(const char* Name) {
    const char* V = std::getenv(Name);
    return V ? V : "";
}

// The second copy: a guard like the main window's, checked as its form loads.
TEST(DISABLED_OneInstanceChild, Run) {
    std::string Mode = EnvText("ABF_GUARD_MODE");
    Application->SetTitle(EnvText("ABF_GUARD_TITLE"));
    TBoxRecorderScope Boxes;
    TOwned<TabfOneInstance> Guard(Create<TabfOneInstance>(nullptr));
    Guard->SetActivatePrevInstance(false);
    Guard->SetShowMessage(true);
    if (Mode != "empty")
        Guard->SetMessage(Ansi("Одна версия программы уже запущена"));
    if (Mode == "keep")
        Guard->OnShowMessage = TMethodOf<TObject*, bool&>::FromFunction([](TObject*, bool& Terminate) { Terminate = false; });
    Guard->Loaded();
    Application->ProcessMessages();  // the first pass through the loop sees the request to terminate
    for (const auto& B : Boxes.Recorder.Boxes)
        std::printf("BOX[%s][%s][%u]\n", Hex(B.Text).c_str(), Hex(B.Caption).c_str(), B.Flags);
    std::printf("TERMINATED[%d] SHOWMAINFORM[%d]\n", Application->Terminated() ? 1 : 0, Application->ShowMainForm ? 1 : 0);
    std::fflush(stdout);
    if (Mode == "abandon")
        ExitProcess(0);  // dies holding the instance mutex
}

// Titles of their own, so that runs of the test program never meet.
std::string UniqueTitle(const char* What) { return std::string("quarnel guard ") + What + " " + std::to_string(GetCurrentProcessId()); }

class OneInstanceTest : public ::testing::Test {
protected:
    void SetUp() override { SavedTitle = Application->Title(); }
    void TearDown() override {
        Application->SetTitle(SavedTitle);
        // What the program's shut-down does: the copy that owns the instance mutex gives it up.
        abfComponentsFinalization();
        abfComponentsInitialization();
    }
    // Starts the second copy and gives its report.
    std::string RunCopy(const std::string& Title, const std::string& Mode) {
        char Exe[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, Exe, MAX_PATH);
        std::string Output;
        int Code = testing_support::RunProcess(
            "\"" + std::string(Exe) + "\" --gtest_also_run_disabled_tests --gtest_filter=DISABLED_OneInstanceChild.Run",
            60000, {"ABF_GUARD_TITLE=" + Title, "ABF_GUARD_MODE=" + Mode}, &Output);
        EXPECT_EQ(Code, 0) << Output;
        return Output;
    }
    // This process as the first copy.
    bool StartFirst(const std::string& Title) {
        Application->SetTitle(Title);
        TOwned<TabfOneInstance> Guard(Create<TabfOneInstance>(nullptr));
        return Guard->AnotherInstanceRunning();
    }
    std::string SavedTitle;
};

bool MutexExists(const std::string& Name) {
    HANDLE H = OpenMutexA(SYNCHRONIZE, FALSE, Name.c_str());
    if (H)
        CloseHandle(H);
    return H != nullptr;
}

TEST_F(OneInstanceTest, FirstCopyOwnsTheInstanceMutexUnderTheTitle) {
    std::string Title = UniqueTitle("first");
    EXPECT_FALSE(StartFirst(Title));
    EXPECT_TRUE(MutexExists(Title + ".OneInstance.Default"));
    EXPECT_FALSE(MutexExists(Title + ".OneInstance.CriticalSection")) << "released and closed after the test";
}

TEST_F(OneInstanceTest, SecondCopyShowsTheMessageAndAsksToTerminate) {
    std::string Title = UniqueTitle("second");
    ASSERT_FALSE(StartFirst(Title));
    std::string Report = RunCopy(Title, "message");
    std::string Box = "BOX[" + Hex(Ansi("Одна версия программы уже запущена")) + "][" + Hex(Title) + "][48]";
    EXPECT_NE(Report.find(Box), std::string::npos) << Report;
    EXPECT_NE(Report.find("TERMINATED[1] SHOWMAINFORM[0]"), std::string::npos) << Report;
}

TEST_F(OneInstanceTest, EmptyMessageNamesTheApplication) {
    std::string Title = UniqueTitle("empty");
    ASSERT_FALSE(StartFirst(Title));
    std::string Report = RunCopy(Title, "empty");
    EXPECT_NE(Report.find("BOX[" + Hex("Application \"" + Title + "\" is already running.") + "][" + Hex(Title) + "]"),
              std::string::npos)
        << Report;
}

TEST_F(OneInstanceTest, HandlerThatKeepsTheCopyRunningShowsNothing) {
    std::string Title = UniqueTitle("keep");
    ASSERT_FALSE(StartFirst(Title));
    std::string Report = RunCopy(Title, "keep");
    EXPECT_EQ(Report.find("BOX["), std::string::npos) << Report;
    EXPECT_NE(Report.find("TERMINATED[0] SHOWMAINFORM[1]"), std::string::npos) << Report;
}

TEST_F(OneInstanceTest, CopiesWithOtherTitlesDoNotSeeEachOther) {
    ASSERT_FALSE(StartFirst(UniqueTitle("one")));
    std::string Report = RunCopy(UniqueTitle("other"), "message");
    EXPECT_EQ(Report.find("BOX["), std::string::npos) << Report;
    EXPECT_NE(Report.find("TERMINATED[0]"), std::string::npos) << Report;
}

TEST_F(OneInstanceTest, ACopyThatDiedDoesNotBlockTheNext) {
    std::string Title = UniqueTitle("crashed");
    std::string Report = RunCopy(Title, "abandon");
    EXPECT_NE(Report.find("TERMINATED[0]"), std::string::npos) << Report;
    EXPECT_FALSE(StartFirst(Title)) << "the abandoned mutex is taken over";
}

TEST_F(OneInstanceTest, AnExistingCriticalSectionCountsAsAnotherCopy) {
    std::string Title = UniqueTitle("racing");
    HANDLE Racing = CreateMutexA(nullptr, TRUE, (Title + ".OneInstance.CriticalSection").c_str());
    ASSERT_NE(Racing, nullptr);
    EXPECT_TRUE(StartFirst(Title));
    CloseHandle(Racing);
}

TEST_F(OneInstanceTest, DesignedGuardChecksNothing) {
    TOwned<TabfOneInstance> Guard(Create<TabfOneInstance>(nullptr));
    Guard->SetDesigning(true);
    Application->SetTitle(UniqueTitle("designed"));
    EXPECT_FALSE(Guard->AnotherInstanceRunning());
    EXPECT_FALSE(MutexExists(Application->Title() + ".OneInstance.Default"));
}

TEST_F(OneInstanceTest, DefaultsOfTheComponent) {
    TOwned<TabfOneInstance> Guard(Create<TabfOneInstance>(nullptr));
    EXPECT_TRUE(Guard->ActivatePrevInstance());
    EXPECT_FALSE(Guard->ShowMessage());
    EXPECT_EQ(Guard->Message(), "");
}

}  // namespace
