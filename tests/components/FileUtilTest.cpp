// The directory test, the date-format flag and the two cursors of the library's start-up.
#include "DateUtil.h"
#include "FileUtil.h"
#include "RXConst.h"

#include "RxTestSupport.h"
#include "SysUtils.h"
#include "TestSupport.h"

using namespace rx_tests;

namespace {

TEST(FileUtil, DirectoryPathExistsTable) {
    testing_support::TempDir Dir;
    testing_support::WriteFileText(Dir / "file.txt", "x");
    CreateDirectoryA((Dir / "sub").c_str(), nullptr);
    struct Case {
        std::string Path;
        bool Expected;
    };
    const Case Cases[] = {
        {"", false},
        {Dir.Path(), true},
        {Dir / "sub", true},
        {Dir / "sub\\", true},
        {Dir / "file.txt", false},
        {Dir / "missing", false},
        {Dir / "missing\\deeper", false},
        {"\x01:\\bad", false},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(DirectoryPathExists(C.Path), C.Expected) << C.Path;
}

TEST(DateUtilLocale, LongYearFlagFollowsTheShortDateFormat) {
    std::string Saved = ShortDateFormat;
    DateUtilInitialization();
    EXPECT_TRUE(LongYearInShortDate) << "both system locales of the tests show four-digit years: " << Saved;
    ShortDateFormat = "dd.MM.yy";
    DateUtilInitialization();
    EXPECT_FALSE(LongYearInShortDate);
    ShortDateFormat = "d/m/yyyy";  // the test is made on the upper-cased format
    DateUtilInitialization();
    EXPECT_TRUE(LongYearInShortDate);
    ShortDateFormat = Saved;
}

TEST_F(WindowTest, CursorsOfTheProgramsResourcesAtTheirIdentifiers) {
    RXConstInitialization();
    HCURSOR Hand = Screen->Cursors(crHand), Drag = Screen->Cursors(crDragHand);
    EXPECT_NE(Hand, nullptr);
    EXPECT_NE(Drag, nullptr);
    EXPECT_NE(Hand, Drag);
    EXPECT_NE(Hand, Screen->Cursors(crDefault));
    EXPECT_NE(Screen->Cursors(14002), Hand);
}

}  // namespace
