// The second component library's settings component, platform flags, application object and timer
// pool: setter rules, the flag table by platform, the log name and mutex, and ticks that keep coming
// after a handler failed.
#include "LMDIniCtrl.h"
#include "LMDSysIn.h"
#include "LMDXPThemeManager.h"
#include "lmdclass.h"
#include "lmdthemes.h"

#include "Forms.h"

#include <gtest/gtest.h>

namespace {

TEST(LibraryIniCtrl, Setters) {
    TOwned<TLMDIniCtrl> C(Create<TLMDIniCtrl>(nullptr));
    C->SetIniFile("settings");
    EXPECT_EQ(C->IniFile(), "settings.INI");
    C->SetIniFile("a.cfg");
    EXPECT_EQ(C->IniFile(), "a.cfg");
    C->SetMaxEntries(40);
    C->SetAlphaCounter(true);
    EXPECT_EQ(C->MaxEntries(), 26);
    C->SetMaxEntries(30);
    EXPECT_EQ(C->MaxEntries(), 26) << "above 26 is refused while counting in letters";
    EXPECT_EQ(C->EffectiveTarget(), itRegistry);
    C->SetTarget(itIniFile);
    EXPECT_EQ(C->EffectiveTarget(), itIniFile);
    C->SetNetUser(true);
    EXPECT_EQ(C->User(), CurrentUserName());
    EXPECT_NE(C->EncKey(), 0);
}

TEST(LibrarySystemFlags, ByPlatform) {
    SetSysFlags({1, 4, 90, 0, true});
    EXPECT_TRUE(SysIs9x && SysIs98OrLater && SysIsMe && SysHasExtension);
    EXPECT_FALSE(SysIsNT);
    SetSysFlags({2, 5, 1, 3, false});
    EXPECT_TRUE(SysIsNT && SysIsNT51 && SysIsNT51Suite3 && SysHasExtension);
    EXPECT_FALSE(SysIs9x || SysIsNT50 || SysIsNT51NotSuite3 || SysIsNT51Suite2);
    SetSysFlags({2, 5, 0, 2, false});
    EXPECT_TRUE(SysIsNT50 && SysIsNT50Suite2);
    EXPECT_FALSE(SysIsNT51);
    LMDSysInInitialization();
    EXPECT_TRUE(SysIsNT) << "the platform the tests run on";
    EXPECT_EQ(MajorVersionWord(), VersionInfoField(0) & 0xFFFF);
    EXPECT_EQ(VersionInfoField(99), 0u);
    EXPECT_GT(ScreenColourDepth(), 0);
}

TEST(LibraryApplication, LogNameAndMutex) {
    TOwned<TLMDApplication> First(Create<TLMDApplication>(nullptr));
    EXPECT_FALSE(First->AlreadyRunning());
    EXPECT_EQ(First->LogFileName(), ChangeFileExt(ParamStr(0), ".LOG"));
    First->SetLogFileName("trace");
    EXPECT_EQ(First->LogFileName(), lmdprocs::ProgramDirectory() + "trace.LOG");
    First->LogPrefix = ppFixed;
    First->SetLogFileName("logs\\trace.txt");
    EXPECT_EQ(First->LogFileName(), "logs\\trace.txt");
    EXPECT_GT(First->CheckWidth(), 0);
    TOwned<TLMDApplication> Second(Create<TLMDApplication>(nullptr));
    EXPECT_TRUE(Second->AlreadyRunning()) << "the same program's mutex exists";
    EXPECT_EQ(TLMDApplication::MutexName(), AnsiUpperCase(ExtractFileName(ParamStr(0))));
}

struct TPoolRecorder {
    std::vector<std::pair<Word, int>> Fired;
    bool Raise = false;
    void OnTimer(TObject*, Word Ident, int Counter) {
        Fired.emplace_back(Ident, Counter);
        if (Raise)
            throw Exception("handler failed");
    }
};

TEST(LibraryTimerPool, EntriesFireAtTheirMultiples) {
    TOwned<TLMDTimerPool> Pool(Create<TLMDTimerPool>(nullptr, Word(50)));
    TPoolRecorder R;
    Pool->OnTimer = TMethodOf<TObject*, Word, int>::FromFunction([&](TObject* S, Word I, int C) { R.OnTimer(S, I, C); });
    Pool->AddEntry(1, 2);
    Pool->AddEntry(2, 0, 2);  // every tick, twice
    Pool->UpdateTimer(true);
    EXPECT_TRUE(Pool->Active());
    for (int I = 0; I < 4; ++I)
        Pool->HandleTick();
    EXPECT_EQ(R.Fired, (std::vector<std::pair<Word, int>>{{2, 1}, {1, 1}, {2, 2}, {1, 2}}));
    EXPECT_EQ(Pool->ActiveEntryCount(), 1);
    Pool->ClearEntries();
    EXPECT_FALSE(Pool->Active());
}

TEST(LibraryTimerPool, AFailedHandlerGoesToTheApplicationAndThePoolTicksOn) {
    TOwned<TLMDTimerPool> Pool(Create<TLMDTimerPool>(nullptr, Word(50)));
    TPoolRecorder R;
    R.Raise = true;
    Pool->OnTimer = TMethodOf<TObject*, Word, int>::FromFunction([&](TObject* S, Word I, int C) { R.OnTimer(S, I, C); });
    Pool->AddEntry(7, 1);
    Pool->UpdateTimer(true);
    std::vector<std::string> Errors;
    TExceptionEvent Saved = Application->OnException;
    Application->OnException = TExceptionEvent::FromFunction([&](TObject*, Exception& E) { Errors.push_back(E.Message()); });
    SendMessageA(Pool->WindowHandle(), WM_TIMER, 1, 0);
    R.Raise = false;
    SendMessageA(Pool->WindowHandle(), WM_TIMER, 1, 0);
    Application->OnException = Saved;
    EXPECT_EQ(Errors, (std::vector<std::string>{"handler failed"}));
    EXPECT_EQ(R.Fired.size(), 2u);
}

TEST(LibraryWindowHook, PassesMessagesAndStepsOutOnDestroy) {
    TForm* Form = TForm::CreateNew(nullptr);
    auto* Hook = Create<TLMDWndProcComponent>(Form);
    HWND Window = Form->Handle();
    const LONG_PTR Own = GetWindowLongPtrA(Window, GWLP_WNDPROC);
    ASSERT_TRUE(Hook->InstallHook());
    EXPECT_FALSE(Hook->InstallHook()) << "one hook at a time";
    EXPECT_NE(GetWindowLongPtrA(Window, GWLP_WNDPROC), Own);
    SetWindowTextA(Window, "through the hook");
    EXPECT_EQ(Form->Caption(), "through the hook") << "the form's own procedure still sees its messages";
    DestroyWindow(Window);
    EXPECT_FALSE(Hook->Hooked());
    Form->Free();

    TOwned<TLMDWndProcComponent> Ownerless(Create<TLMDWndProcComponent>(nullptr));
    EXPECT_FALSE(Ownerless->InstallHook());
}

TEST(LibraryUnits, StartUpAndShutDown) {
    ThemeLibraryUnitInitialization();
    EXPECT_EQ(ThemeLibraryLoaded, ThemeLibraryHandle != nullptr);
    if (ThemeLibraryLoaded) {
        EXPECT_NE(IsThemeActiveFunction(), nullptr);
    }
    LMDXPThemeManagerInitialization();
    lmdclassInitialization();
    ASSERT_NE(GlobalApplication, nullptr);
    EXPECT_FALSE(GlobalThemeManager->Hooked()) << "without an owner nothing is hooked";
    GlobalApplication->SetThemeUse(false);
    EXPECT_FALSE(GlobalApplication->ThemesInUse());
    lmdclassFinalization();
    LMDXPThemeManagerFinalization();
    ThemeLibraryUnitFinalization();
    EXPECT_EQ(GlobalApplication, nullptr);
    EXPECT_EQ(GlobalThemeManager, nullptr);
    EXPECT_FALSE(ThemeLibraryLoaded);
}

}  // namespace
