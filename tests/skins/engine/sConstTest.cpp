#include "SkinTestSupport.h"

#include "TypInfo.h"

using namespace skintests;

namespace {

class sConstStartup : public ::testing::Test {
protected:
    void SetUp() override { EnsureSkinUnits(); }
};

TEST_F(sConstStartup, SharedValuesAreSetAtStartup) {
    EXPECT_EQ(KeyColor, 0xFF00FF);
    EXPECT_EQ(EmptyBackgroundSource.Bmp, nullptr);
    EXPECT_EQ(EmptyBackgroundSource.OffsetX, -99);
    EXPECT_EQ(EmptyBackgroundSource.OffsetY, -99);
    EXPECT_EQ(EmptyBackgroundSource.Color, 0);
    EXPECT_FALSE(EmptyBackgroundSource.HasBitmap);
    EXPECT_EQ(ScrollBarArrowWidth, GetSystemMetrics(SM_CXHSCROLL));
    EXPECT_EQ(SM_ALPHACMD, 0xA100u);
    EXPECT_STREQ(BoolNames[0], "FALSE");
    EXPECT_STREQ(BoolNames[1], "TRUE");
}

TEST_F(sConstStartup, CaptionsComeFromTheLibraryStrings) {
    const std::pair<const std::string*, const char*> Cases[] = {
        {&SRestore, "Restore"},   {&SMove, "Move"},   {&SSize, "Size"},
        {&SMinimize, "Minimize"}, {&SMaximize, "Maximize"}, {&SClose, "Close"},
        {&SAvailSkins, "Available skins"}, {&SInternalSkin, "(internal)"},
        {&SFrameAdapterError, "TsFrameAdapter adapter must be placed on the handled frame"},
    };
    for (auto& [Loaded, Text] : Cases)
        EXPECT_EQ(*Loaded, Text);
    EXPECT_EQ(sConstRes::SRestore.Identifier, 58981u);
}

TEST(sConstBackground, BitmapSourceStandsForNoColour) {
    TBitmap* B = reinterpret_cast<TBitmap*>(0x1000);
    BackgroundSource S = MakeBackgroundSource(B, 3, -4);
    EXPECT_EQ(S.Bmp, B);
    EXPECT_EQ(S.OffsetX, 3);
    EXPECT_EQ(S.OffsetY, -4);
    EXPECT_EQ(S.Color, 0xFF00FF);
    EXPECT_TRUE(S.HasBitmap);
}

// Each published property reads and writes its own category, whatever its place in the list.
TEST(ThirdPartyListTest, PublishedNamesReachTheirCategories) {
    const std::pair<const char*, int> Cases[] = {
        {"ThirdEdits", 0},       {"ThirdButtons", 1},        {"ThirdBitBtns", 2},      {"ThirdCheckBoxes", 3},
        {"ThirdGroupBoxes", 6},  {"ThirdListViews", 7},      {"ThirdPanels", 8},       {"ThirdGrids", 5},
        {"ThirdTreeViews", 9},   {"ThirdComboBoxes", 4},     {"ThirdWWEdits", 10},     {"ThirdVirtualTrees", 12},
        {"ThirdGridEh", 11},     {"ThirdPageControl", 13},   {"ThirdTabControl", 14},  {"ThirdToolBar", 15},
        {"ThirdStatusBar", 16},  {"ThirdSpeedButton", 17},
    };
    TOwned<ThirdPartyList> L(Create<ThirdPartyList>());
    std::vector<PPropInfo> Props = GetPropList(L.get(), tkAny, false);
    ASSERT_EQ(Props.size(), std::size(Cases));
    for (std::size_t I = 0; I < std::size(Cases); ++I) {
        auto [Name, Index] = Cases[I];
        EXPECT_EQ(Props[I]->Name, Name) << "published order";
        SetStrProp(L.get(), Name, std::string("TMy") + Name);
        EXPECT_EQ(L->GetString(Index), std::string("TMy") + Name);
    }
}

TEST(ThirdPartyListTest, IndexOutsideTheCategoriesReadsAndWritesNothing) {
    TOwned<ThirdPartyList> L(Create<ThirdPartyList>());
    for (int Index : {-1, 18, 100}) {
        L->SetString(Index, "TFoo");
        EXPECT_EQ(L->GetString(Index), "");
    }
    for (int I = 0; I < ThirdPartyCategoryCount; ++I)
        EXPECT_EQ(L->GetString(I), "");
}

TEST(ThirdPartyListTest, OnlyTheButtonCategorySkinsAClassByDefault) {
    for (int I = 0; I < ThirdPartyCategoryCount; ++I)
        EXPECT_STREQ(ThirdPartyDefaults[I], I == 1 ? "TButton" : " ") << ThirdPartyCaptions[I];
    EXPECT_STREQ(ThirdPartyCaptions[10], "wwEdit");
    EXPECT_STREQ(ThirdPartyCaptions[17], "SpeedButton");
}

}  // namespace
