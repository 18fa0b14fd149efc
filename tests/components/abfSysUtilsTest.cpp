// The component set's system routines: platform flags, string and path rules, autorun keys and
// entries under HKEY_CURRENT_USER, registry change notification and safe class registration.
#include "abfTestSupport.h"

#include "Registry.h"
#include "TestSupport.h"

using namespace abftests;

namespace {

TEST(abfSysUtilsPlatform, FlagsFollowThePlatformAndMajorVersion) {
    struct Case {
        int Platform, Major;
        bool WinNT, NewShell;
    } Cases[] = {{VER_PLATFORM_WIN32_NT, 3, true, false},      {VER_PLATFORM_WIN32_NT, 4, true, false},
                 {VER_PLATFORM_WIN32_NT, 5, true, true},       {VER_PLATFORM_WIN32_NT, 6, true, true},
                 {VER_PLATFORM_WIN32_WINDOWS, 4, false, false}, {VER_PLATFORM_WIN32_WINDOWS, 5, false, false}};
    int SavedPlatform = Win32Platform, SavedMajor = Win32MajorVersion;
    for (const Case& C : Cases) {
        Win32Platform = C.Platform;
        Win32MajorVersion = C.Major;
        abfSysUtilsInitialization();
        EXPECT_EQ(IsWinNT, C.WinNT) << C.Platform << "/" << C.Major;
        EXPECT_EQ(IsNewShell, C.NewShell) << C.Platform << "/" << C.Major;
    }
    Win32Platform = SavedPlatform;
    Win32MajorVersion = SavedMajor;
    abfSysUtilsInitialization();
    EXPECT_TRUE(IsWinNT) << "Wine reports the NT platform";
    EXPECT_TRUE(IsNewShell);
}

TEST(abfSysUtilsRegistry, RootKeysStandForThePredefinedKeys) {
    struct Case {
        TabfRegRootKey Root;
        HKEY Key;
    } Cases[] = {{rrkClassesRoot, HKEY_CLASSES_ROOT}, {rrkCurrentUser, HKEY_CURRENT_USER},
                 {rrkLocalMachine, HKEY_LOCAL_MACHINE}, {rrkUsers, HKEY_USERS},
                 {rrkCurrentConfig, HKEY_CURRENT_CONFIG}, {rrkDynData, HKEY_DYN_DATA}};
    for (const Case& C : Cases)
        EXPECT_EQ(RegRootKeyToHKEY(C.Root), C.Key) << C.Root;
}

TEST(abfSysUtilsRegistry, AutoExecKeysByKind) {
    const std::string Base = "Software\\Microsoft\\Windows\\CurrentVersion\\";
    struct Case {
        TabfAutoExecKind Kind;
        HKEY Root;
        const char* Key;
    } Cases[] = {{aekMachineRun, HKEY_LOCAL_MACHINE, "Run"},      {aekMachineRunOnce, HKEY_LOCAL_MACHINE, "RunOnce"},
                 {aekUserRun, HKEY_CURRENT_USER, "Run"},          {aekUserRunOnce, HKEY_CURRENT_USER, "RunOnce"},
                 {aekServiceRun, HKEY_LOCAL_MACHINE, "RunServices"},
                 {aekServiceRunOnce, HKEY_LOCAL_MACHINE, "RunServicesOnce"}};
    for (const Case& C : Cases) {
        HKEY Root = nullptr;
        std::string Key;
        AutoExecKey(C.Kind, Root, Key);
        EXPECT_EQ(Root, C.Root) << C.Kind;
        EXPECT_EQ(Key, Base + C.Key) << C.Kind;
    }
}

std::string RunValue(const std::string& Name) {
    TOwned<TRegistry> Reg(Create<TRegistry>(KEY_READ));
    if (!Reg->OpenKey("Software\\Microsoft\\Windows\\CurrentVersion\\Run", false) || !Reg->ValueExists(Name))
        return "<none>";
    return Reg->ReadString(Name);
}

TEST(abfSysUtilsRegistry, AutoExecEntriesAreWrittenAndRemovedUnderTheUser) {
    const std::string File = "C:\\Programs\\quarnel autorun test.exe";
    ASSERT_TRUE(RegisterAutoExec(aekUserRun, File));
    EXPECT_EQ(RunValue("quarnel autorun test.exe"), File);
    EXPECT_TRUE(UnregisterAutoExec(aekUserRun, File));
    EXPECT_EQ(RunValue("quarnel autorun test.exe"), "<none>");
    EXPECT_TRUE(UnregisterAutoExec(aekUserRun, File)) << "no such value counts as removed";
}

TEST(abfSysUtilsRegistry, ServiceKindsDoNothingOnTheNtPlatform) {
    EXPECT_FALSE(RegisterAutoExec(aekServiceRun, "C:\\x\\svc.exe"));
    EXPECT_FALSE(UnregisterAutoExec(aekServiceRunOnce, "C:\\x\\svc.exe"));
    TOwned<TRegistry> Reg(Create<TRegistry>(KEY_READ));
    Reg->SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(Reg->OpenKey("Software\\Microsoft\\Windows\\CurrentVersion\\RunServices", false) &&
                 Reg->ValueExists("svc.exe"));
}

TEST(abfSysUtilsRegistry, WriteRegistryStringRaisesForAKeyThatCannotOpen) {
    try {
        WriteRegistryString(reinterpret_cast<HKEY>(0x1234), "Software\\x", "V", "x");
        FAIL() << "no error";
    } catch (ERegistryException& E) {
        EXPECT_EQ(E.Message(), "Unable to open the Software\\x key");
    }
}

TEST(abfSysUtilsRegistry, NotificationSignalsAChangeAndRearms) {
    HKEY Key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\quarnel notify test", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &Key, nullptr),
              ERROR_SUCCESS);
    TabfRegistryNotifyRequest Request;
    HANDLE Event = StartRegistryNotification(Key, false, REG_NOTIFY_CHANGE_LAST_SET, Request);
    ASSERT_NE(Event, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Request.Key, Key);
    EXPECT_EQ(Request.Filter, DWORD(REG_NOTIFY_CHANGE_LAST_SET));
    EXPECT_EQ(WaitForSingleObject(Event, 0), DWORD(WAIT_TIMEOUT));
    DWORD One = 1;
    RegSetValueExA(Key, "v", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&One), sizeof One);
    EXPECT_EQ(WaitForSingleObject(Event, 2000), DWORD(WAIT_OBJECT_0));
    ASSERT_TRUE(RearmRegistryNotification(Event, Request));
    EXPECT_EQ(WaitForSingleObject(Event, 0), DWORD(WAIT_TIMEOUT));
    RegSetValueExA(Key, "w", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&One), sizeof One);
    EXPECT_EQ(WaitForSingleObject(Event, 2000), DWORD(WAIT_OBJECT_0));
    CloseNotificationHandle(Event);
    RegCloseKey(Key);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\quarnel notify test");

    EXPECT_FALSE(RearmRegistryNotification(INVALID_HANDLE_VALUE, Request));
    TabfRegistryNotifyRequest Bad;
    EXPECT_EQ(StartRegistryNotification(reinterpret_cast<HKEY>(0x1234), false, 0, Bad), INVALID_HANDLE_VALUE);
    EXPECT_NE(GetLastError(), DWORD(ERROR_SUCCESS));
    CloseNotificationHandle(INVALID_HANDLE_VALUE);  // ignored
}

TEST(abfSysUtilsStrings, Positions) {
    struct Case {
        const char* Sub;
        const char* Text;
        int Arg;
        int PosFrom, BackPos;
    } Cases[] = {
        {",", "a,b,c", 1, 2, 0},   // BackPos(Last = 1): nothing at or before 1
        {",", "a,b,c", 3, 4, 2},   // the edge case: BackPos with Last = 3 finds 2
        {",", "a,b,c", 9, 0, 4},   // Last beyond the text counts as its length
        {"", "abc", 1, 0, 0},      {"abc", "", 1, 0, 0}, {"abcd", "abc", 1, 0, 0},
        {"bc", "abcabc", 3, 5, 2}, {"x", "abc", 1, 0, 0},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(PosFrom(C.Sub, C.Text, C.Arg), C.PosFrom) << C.Sub << " in " << C.Text << " from " << C.Arg;
        EXPECT_EQ(BackPos(C.Sub, C.Text, C.Arg), C.BackPos) << C.Sub << " in " << C.Text << " last " << C.Arg;
    }
    EXPECT_EQ(LastPos(",", "a,b,c"), 4);
}

TEST(abfSysUtilsStrings, Replacing) {
    struct Case {
        const char* Text;
        const char* Old;
        const char* New;
        const char* Result;
    } Cases[] = {{"a.b.c", ".", "..", "a..b..c"},  // the inserted text is not searched again
                 {"aaa", "a", "b", "bbb"},
                 {"abc", "", "x", "abc"},
                 {"abc", "x", "y", "abc"}};
    for (const Case& C : Cases) {
        std::string S = C.Text;
        ReplaceAll(S, C.Old, C.New);
        EXPECT_EQ(S, C.Result) << C.Text;
    }
    std::string S = "abcdef";
    ReplaceAt(S, 3, "cd", "XYZ");
    EXPECT_EQ(S, "abXYZef");
    ReplaceChar(S, 'X', '-');
    EXPECT_EQ(S, "ab-YZef");
    EXPECT_EQ(RemoveDoubleBackslashes("a\\\\\\\\b"), "a\\\\b") << "one pass from the left";
}

TEST(abfSysUtilsStrings, SplitToStringsAppendsThePieces) {
    TOwned<TStringList> L(Create<TStringList>());
    L->Add("kept");
    SplitToStrings("a;b\r\nc", ";", L.get());
    SplitToStrings("x<>y<>", "<>", L.get());
    EXPECT_EQ(L->CommaText(), "kept,a,b,c,x,y");
}

TEST(abfSysUtilsPaths, Pieces) {
    EXPECT_EQ(AddTrailingBackslash("C:\\x"), "C:\\x\\");
    EXPECT_EQ(AddTrailingBackslash("C:\\x\\"), "C:\\x\\");
    EXPECT_EQ(FileNameOf("C:\\x\\report.txt"), "report.txt");
    EXPECT_EQ(FileNameOf("C:report.txt"), "report.txt");
    EXPECT_EQ(FileNameOf("a/b.txt"), "b.txt");
    EXPECT_EQ(FolderOf("C:\\x\\report.txt"), "C:\\x\\");
    EXPECT_EQ(FileNameWithoutExt("C:\\x.d\\report.tar.gz"), "report.tar");
    EXPECT_EQ(SystemFolder().back(), '\\');
    EXPECT_TRUE(DirectoryExists(SystemFolder()));
}

TEST(abfSysUtilsPaths, FileNameMasks) {
    struct Case {
        const char* Mask;
        const char* Result;
    } Cases[] = {{"D:\\y\\*.bak", "D:\\y\\report.bak"}, {"new.*", "C:\\x\\new.txt"},
                 {"  ", "C:\\x\\report.txt"},          {"D:\\y\\", "D:\\y\\report.txt"},
                 {"r?.doc", "C:\\x\\report.doc"},       {"D:\\y\\copy", "D:\\y\\copy.txt"}};
    for (const Case& C : Cases)
        EXPECT_EQ(ApplyFileNameMask("C:\\x\\report.txt", C.Mask), C.Result) << C.Mask;
}

TEST(abfSysUtilsPaths, AbsolutePaths) {
    struct Case {
        const char* Base;
        const char* Path;
        const char* Result;
    } Cases[] = {{"C:\\base", "D:\\x", "D:\\x"},
                 {"C:\\base", "sub\\x", "C:\\base\\sub\\x"},
                 {"C:\\base\\", "\\\\sub\\x", "\\\\sub\\x"},          // a network path stays as it is
                 {"C:\\base", "\\x", "\\x"},                          // so does a root-relative one
                 {"\\\\server\\share", "a\\\\b", "\\\\server\\share\\a\\b"}};  // the network base keeps its "\\"
    for (const Case& C : Cases)
        EXPECT_EQ(MakeAbsolutePath(C.Base, C.Path), C.Result) << C.Base << " + " << C.Path;
}

TEST(abfSysUtilsPaths, CanCreateFile) {
    testing_support::TempDir Dir;
    testing_support::WriteFileText(Dir / "old.txt", "kept");
    EXPECT_FALSE(CanCreateFile(""));
    EXPECT_FALSE(CanCreateFile(Dir / "missing\\new.txt"));
    EXPECT_TRUE(CanCreateFile(Dir / "old.txt"));
    EXPECT_EQ(testing_support::ReadFileBytes(Dir / "old.txt").size(), 4u) << "an existing file is untouched";
    EXPECT_TRUE(CanCreateFile(Dir / "new.txt"));
    EXPECT_FALSE(FileExists(Dir / "new.txt")) << "the probe leaves nothing behind";
}

class TabfSafeTestClass : public TComponent {
    DECLARE_CLASS(TabfSafeTestClass, TComponent)
public:
    using TComponent::TComponent;
};

class TabfSafeTestOther : public TComponent {
    DECLARE_CLASS(TabfSafeTestOther, TComponent)
public:
    using TComponent::TComponent;
};

TEST(abfSysUtilsClasses, RegisterClassSafeSkipsTakenNamesAndNil) {
    RegisterClassAlias(TabfSafeTestOther::StaticClass(), "TabfSafeTestClass");
    RegisterClassesSafe({nullptr, TabfSafeTestClass::StaticClass()});
    EXPECT_EQ(GetClass("TabfSafeTestClass"), TabfSafeTestOther::StaticClass());
    UnRegisterClass(TabfSafeTestOther::StaticClass());
    RegisterClassSafe(TabfSafeTestClass::StaticClass());
    EXPECT_EQ(GetClass("TabfSafeTestClass"), TabfSafeTestClass::StaticClass());
    UnRegisterClass(TabfSafeTestClass::StaticClass());
}

}  // namespace
