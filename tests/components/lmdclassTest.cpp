// The second component library's settings component, platform flags, application object and timer
// pool: setter rules, the flag table by platform, the log name and mutex, and ticks that keep coming
// after a handler failed.
#include "LMDIniCtrl.h"
#include "LMDSysIn.h"
#include "LMDXPThemeManager.h"
#include "lmdclass.h"
#include "lmdthemes.h"

#include "ExtCtrls.h"
#include "Forms.h"

#include <commctrl.h>

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

// The upper-cased file name of the program, as the application object names its mutex.
std::string ProgramMutexName() {
    char Path[MAX_PATH];
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    std::string Name = AnsiUpperCase(Path);
    return Name.substr(Name.find_last_of("\\:") + 1);
}

bool MutexExists(const std::string& Name) {
    HANDLE H = OpenMutexA(SYNCHRONIZE, FALSE, Name.c_str());
    if (H)
        CloseHandle(H);
    return H != nullptr;
}

TEST(LibraryUnits, StartUpAndShutDown) {
    ASSERT_EQ(GlobalApplication, nullptr);
    ASSERT_FALSE(MutexExists(ProgramMutexName()));
    ThemeLibraryUnitInitialization();
    // The platform ships the visual-styles library: every name resolves to the library's own export.
    ASSERT_TRUE(ThemeLibraryLoaded);
    EXPECT_EQ(ThemeLibraryHandle, GetModuleHandleA("uxtheme.dll"));
    for (int I = 0; I < ThemeFunctionCount; ++I)
        EXPECT_EQ(ThemeFunctions[static_cast<size_t>(I)], GetProcAddress(ThemeLibraryHandle, ThemeFunctionNames[static_cast<size_t>(I)]))
            << ThemeFunctionNames[static_cast<size_t>(I)];
    EXPECT_EQ(reinterpret_cast<void*>(IsThemeActiveFunction()), reinterpret_cast<void*>(GetProcAddress(ThemeLibraryHandle, "IsThemeActive")));

    LMDXPThemeManagerInitialization();
    lmdclassInitialization();
    ASSERT_NE(GlobalApplication, nullptr);
    ASSERT_NE(GlobalThemeManager, nullptr);
    EXPECT_FALSE(GlobalThemeManager->Hooked()) << "without an owner nothing is hooked";
    EXPECT_TRUE(MutexExists(ProgramMutexName())) << ProgramMutexName();
    EXPECT_FALSE(GlobalApplication->AlreadyRunning());
    char Path[MAX_PATH];
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    EXPECT_EQ(GlobalApplication->LogFileName(), ChangeFileExt(Path, ".LOG"));
    EXPECT_EQ(GlobalApplication->TimerPool()->MinInterval(), 50);
    BITMAP Check{};
    HBITMAP Boxes = LoadBitmapA(nullptr, MAKEINTRESOURCEA(32759));
    GetObjectA(Boxes, sizeof Check, &Check);  // the platform's shared bitmap: not ours to delete
    EXPECT_EQ(GlobalApplication->CheckWidth(), Check.bmWidth / 4);
    EXPECT_EQ(GlobalApplication->CheckHeight(), Check.bmHeight / 3);

    lmdclassFinalization();
    LMDXPThemeManagerFinalization();
    ThemeLibraryUnitFinalization();
    EXPECT_EQ(GlobalApplication, nullptr);
    EXPECT_EQ(GlobalThemeManager, nullptr);
    EXPECT_FALSE(ThemeLibraryLoaded);
    EXPECT_EQ(ThemeLibraryHandle, nullptr);
    EXPECT_EQ(IsThemeActiveFunction(), nullptr);
    EXPECT_FALSE(MutexExists(ProgramMutexName())) << "the handle is closed with the object";
}

// A theme change heard on a hooked form switches theme use off and on, which tells every windowed
// control of the visible forms twice; the change the switch itself sends to the form is not taken
// for a new one.
BOOL WINAPI ThemeIsActive() { return TRUE; }

int PanelChanges;

LRESULT CALLBACK CountThemeChanges(HWND W, UINT M, WPARAM P, LPARAM L, UINT_PTR, DWORD_PTR) {
    if (M == WM_THEMECHANGED)
        ++PanelChanges;
    return DefSubclassProc(W, M, P, L);
}

TEST(LibraryThemeManager, ThemeChangeOnAHookedFormTellsTheControlsOnce) {
    ThemeLibraryUnitInitialization();
    ASSERT_TRUE(ThemeLibraryLoaded);
    lmdclassInitialization();
    size_t IsActive = 0;
    while (std::string(ThemeFunctionNames[IsActive]) != "IsThemeActive")
        ++IsActive;
    FARPROC Real = ThemeFunctions[IsActive];
    ThemeFunctions[IsActive] = reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&ThemeIsActive));
    GlobalApplication->RefreshThemeState();
    ASSERT_TRUE(GlobalApplication->ThemesInUse());

    TForm* Form = TForm::CreateNew(nullptr);
    auto* Panel = new TPanel(Form);
    Panel->SetParent(Form);
    Form->Show();
    auto* Manager = Create<TLMDXPThemeManager>(Form);
    ASSERT_TRUE(Manager->InstallHook());
    PanelChanges = 0;
    SetWindowSubclass(Panel->Handle(), CountThemeChanges, 1, 0);
    SendMessageA(Form->Handle(), WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(PanelChanges, 2) << "off and on, once each";
    EXPECT_TRUE(GlobalApplication->UseThemes());

    GlobalApplication->SetThemeUse(false);
    PanelChanges = 0;
    SendMessageA(Form->Handle(), WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(PanelChanges, 0) << "themes not in use: nothing to tell";

    Form->Free();
    ThemeFunctions[IsActive] = Real;
    lmdclassFinalization();
    ThemeLibraryUnitFinalization();
}

}  // namespace
