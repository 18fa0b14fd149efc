// The registry class under HKEY_CURRENT_USER of the test prefix: keys, values and their errors.
#include "Registry.h"
#include "WinUtils.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
// A key of this test process under HKEY_CURRENT_USER, removed afterwards.
class RegistryKey : public ::testing::Test {
protected:
    std::string Path = "\\Software\\Quarnel Tests\\h2-" + std::to_string(GetCurrentProcessId());
    void TearDown() override {
        TRegistry R;
        R.DeleteKey(Path);
    }
};

std::vector<std::string> Sorted(TStrings& S) {
    std::vector<std::string> R;
    for (int I = 0; I < S.Count(); ++I)
        R.push_back(S[I]);
    std::sort(R.begin(), R.end());
    return R;
}

std::string RegistryError(const std::function<void()>& F) {
    try {
        F();
    } catch (const ERegistryException& E) {
        return E.Message();
    }
    return "no error";
}
}  // namespace

TEST_F(RegistryKey, OpenCreateAndRelativePaths) {
    TRegistry R;
    EXPECT_EQ(R.RootKey(), HKEY_CURRENT_USER);
    EXPECT_EQ(R.Access(), REGSAM(KEY_ALL_ACCESS));
    EXPECT_FALSE(R.OpenKey(Path, false)) << "missing, not created";
    EXPECT_FALSE(R.KeyExists(Path));
    ASSERT_TRUE(R.OpenKey(Path, true));
    EXPECT_EQ(R.CurrentPath(), Path.substr(1));
    EXPECT_TRUE(R.OpenKey("t1", true)) << "relative to the open key";
    EXPECT_EQ(R.CurrentPath(), Path.substr(1) + "\\t1");
    EXPECT_TRUE(R.OpenKey(Path, false)) << "\"\\\" starts at the root again";
    EXPECT_TRUE(R.CreateKey("t2"));
    EXPECT_TRUE(R.KeyExists("t2"));
    EXPECT_TRUE(R.HasSubKeys());
    TStringList Names;
    R.GetKeyNames(&Names);
    EXPECT_EQ(Sorted(Names), (std::vector<std::string>{"t1", "t2"}));
    R.CloseKey();
    EXPECT_EQ(R.CurrentKey(), nullptr);
    EXPECT_TRUE(R.KeyExists(Path + "\\t1"));
    EXPECT_TRUE(R.DeleteKey(Path)) << "with its subkeys";
    EXPECT_FALSE(R.KeyExists(Path));
    EXPECT_FALSE(R.DeleteKey(Path));
}

TEST_F(RegistryKey, ValuesRoundTripAndTypeErrors) {
    TRegistry R;
    ASSERT_TRUE(R.OpenKey(Path, true));
    R.WriteString("Server", "(local)\\SQL2005");
    R.WriteString("Name", "\xCF\xF0\xE8\xE2\xE5\xF2");
    R.WriteString("Empty", "");
    R.WriteInteger("Interval", 15);
    R.WriteInteger("Negative", -3);
    R.WriteBool("typeNT", true);
    EXPECT_EQ(R.ReadString("Server"), "(local)\\SQL2005");
    EXPECT_EQ(R.ReadString("Name"), "\xCF\xF0\xE8\xE2\xE5\xF2");
    EXPECT_EQ(R.ReadString("Empty"), "");
    EXPECT_EQ(R.ReadString("Missing"), "") << "a missing string reads as empty";
    EXPECT_EQ(R.ReadInteger("Interval"), 15);
    EXPECT_EQ(R.ReadInteger("Negative"), -3);
    EXPECT_TRUE(R.ReadBool("typeNT"));
    EXPECT_EQ(R.GetDataType("Interval"), rdInteger);
    EXPECT_EQ(R.GetDataType("Server"), rdString);
    EXPECT_EQ(RegistryError([&] { R.ReadInteger("Lang"); }), "Failed to get data for 'Lang'");
    EXPECT_EQ(RegistryError([&] { R.ReadInteger("Server"); }), "Invalid data type for 'Server'");
    EXPECT_EQ(RegistryError([&] { R.ReadString("Interval"); }), "Invalid data type for 'Interval'");
    EXPECT_TRUE(R.ValueExists("Server"));
    TStringList Names;
    R.GetValueNames(&Names);
    EXPECT_EQ(Sorted(Names), (std::vector<std::string>{"Empty", "Interval", "Name", "Negative", "Server", "typeNT"}));
    EXPECT_TRUE(R.DeleteValue("Server"));
    EXPECT_FALSE(R.ValueExists("Server"));
    EXPECT_FALSE(R.DeleteValue("Server"));
}

TEST_F(RegistryKey, ReadOnlyKeysRefuseWrites) {
    {
        TRegistry W;
        ASSERT_TRUE(W.OpenKey(Path, true));
        W.WriteString("Lang", "2");
    }
    TRegistry R;
    EXPECT_FALSE(R.OpenKeyReadOnly(Path + "\\missing"));
    ASSERT_TRUE(R.OpenKeyReadOnly(Path));
    EXPECT_EQ(R.Access(), REGSAM(KEY_READ));
    EXPECT_EQ(R.ReadString("Lang"), "2");
    EXPECT_EQ(RegistryError([&] { R.WriteString("Lang", "1"); }), "Failed to set data for 'Lang'");
}

TEST_F(RegistryKey, RootKeyChangeClosesTheKey) {
    TRegistry R;
    ASSERT_TRUE(R.OpenKey(Path, true));
    R.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_EQ(R.CurrentKey(), nullptr);
    EXPECT_EQ(R.CurrentPath(), "");
    EXPECT_FALSE(R.OpenKey(Path, false)) << "the key is under the current user, not the machine";
}

TEST(WinUtils, SafeLoadLibraryAndTheLanguageSeam) {
    UINT Before = SetErrorMode(0);
    SetErrorMode(Before);
    HMODULE M = SafeLoadLibrary("riched20.dll");
    EXPECT_NE(M, nullptr);
    EXPECT_EQ(SafeLoadLibrary("no-such-library-h2.dll"), nullptr);
    UINT After = SetErrorMode(Before);
    EXPECT_EQ(After, Before) << "the error mode is restored";
    if (M)
        FreeLibrary(M);
    EXPECT_EQ(SystemDefaultLangID(), GetSystemDefaultLangID());
    SetSystemDefaultLangIDOverride(1049);
    EXPECT_EQ(SystemDefaultLangID(), 1049);
    SetSystemDefaultLangIDOverride(0);
    EXPECT_EQ(SystemDefaultLangID(), GetSystemDefaultLangID());
}
