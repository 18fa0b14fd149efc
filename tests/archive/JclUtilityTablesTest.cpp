// The tables that units of the utility library keep from start-up to shut-down without any routine
// of the system reading them: the registry root keys, the complex-number formats and the list of
// type information built at run time.
#include "ArchiveTestMain.h"
#include "JclMath.h"
#include "JclRTTI.h"
#include "JclRegistry.h"

#include <gtest/gtest.h>

namespace {
::testing::Environment* const Units = ::testing::AddGlobalTestEnvironment(new ArchiveUnitsEnvironment);

// A unit's shut-down withdraws all the program's banners, as the first unit to shut down does in the
// program; the units the tests run on register theirs again, in their order.
void StartTheTestsUnitsAgain() { ArchiveUnitsEnvironment().SetUp(); }
}  // namespace

TEST(UtilityTables, RootKeysWithTheirLongAndShortNames) {
    JclRegistryInitialization();
    const std::vector<TRootKey>& Keys = JclRootKeys();
    const std::pair<HKEY, const char*> Expected[] = {
        {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"}, {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
        {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"}, {HKEY_USERS, "HKEY_USERS"},
        {HKEY_PERFORMANCE_DATA, "HKEY_PERFORMANCE_DATA"}, {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"},
        {HKEY_DYN_DATA, "HKEY_DYN_DATA"}, {HKEY_CLASSES_ROOT, "HKCR"}, {HKEY_CURRENT_USER, "HKCU"},
        {HKEY_LOCAL_MACHINE, "HKLM"}, {HKEY_USERS, "HKUS"}, {HKEY_PERFORMANCE_DATA, "HKPD"},
        {HKEY_CURRENT_CONFIG, "HKCC"}, {HKEY_DYN_DATA, "HKDD"},
    };
    ASSERT_EQ(Keys.size(), std::size(Expected));
    for (size_t I = 0; I < Keys.size(); ++I) {
        SCOPED_TRACE(Expected[I].second);
        EXPECT_EQ(Keys[I].Key, Expected[I].first);
        EXPECT_EQ(Keys[I].AnsiName, Expected[I].second);
        EXPECT_EQ(Keys[I].WideName, std::wstring(Keys[I].AnsiName.begin(), Keys[I].AnsiName.end()));
    }
    JclRegistryFinalization();
    StartTheTestsUnitsAgain();
    EXPECT_TRUE(JclRootKeys().empty());
}

TEST(UtilityTables, ComplexNumberFormats) {
    JclMathInitialization();
    EXPECT_EQ(JclComplexRectangularFormat(), "%g + %gi");
    EXPECT_EQ(JclComplexPolarFormat(), "%g e^%gi");
    JclMathFinalization();
    StartTheTestsUnitsAgain();
    EXPECT_EQ(JclComplexRectangularFormat(), "");
}

TEST(UtilityTables, TypeInformationIsFreedWithWhatItNamesWhenItsLastUserGoes) {
    JclRTTIInitialization();
    EXPECT_EQ(DynamicTypeInfoCount(), 0);
    // A set over an enumeration that is its own base, and one that is shared by a second user.
    auto* Enumeration = new TJclDynamicTypeInfo{TJclDynamicTypeInfo::tkEnumeration, nullptr, 2};
    Enumeration->Related = Enumeration;
    auto* Set = new TJclDynamicTypeInfo{TJclDynamicTypeInfo::tkSet, Enumeration, 1};
    auto* Shared = new TJclDynamicTypeInfo{TJclDynamicTypeInfo::tkOther, nullptr, 2};
    AddDynamicTypeInfo(Enumeration);
    AddDynamicTypeInfo(Set);
    AddDynamicTypeInfo(Shared);
    RemoveDynamicTypeInfo(Set);  // frees the set and takes the enumeration with it (count 2 -> 1)
    EXPECT_EQ(DynamicTypeInfoCount(), 1) << "the shared one stays";
    EXPECT_EQ(Enumeration->RefCount, 1) << "an enumeration that is its own base is counted down once";
    JclRTTIFinalization();  // empties the list from the end: the shared record loses one user
    StartTheTestsUnitsAgain();
    EXPECT_EQ(DynamicTypeInfoCount(), 0);
    EXPECT_EQ(Shared->RefCount, 1);
    delete Shared;
    delete Enumeration;
}
