#include "dxTLTestSupport.h"

using namespace treelist_tests;

namespace {
// A tree list keeping the band index of each of its columns, as the column control does.
class TBandedTreeList : public TTestTreeList {
    DECLARE_CLASS(TBandedTreeList, TTestTreeList)
public:
    using TTestTreeList::TTestTreeList;
    std::vector<int> ColumnBands;
    int Changes = 0;
    bool DefaultLayout = true;
    void RemapColumnBands(const std::function<int(int)>& Map) override {
        for (int& B : ColumnBands)
            B = Map(B);
    }
    void BandsChanged() override { ++Changes; }
    void DisableDefaultLayout() override { DefaultLayout = false; }
};

struct BandsTest : TreeListTest {
    TBandedTreeList* Tree = nullptr;
    TOwned<TdxTreeListBands> Bands;
    void SetUp() override {
        TreeListTest::SetUp();
        Tree = Create<TBandedTreeList>(nullptr);
        Bands.reset(Create<TdxTreeListBands>(Tree));
    }
    void TearDown() override {
        Bands.reset();
        Tree->Free();
        TreeListTest::TearDown();
    }
    // Three bands "a", "b", "c" with two columns each (columns 2k and 2k + 1 in band k).
    void ThreeBands() {
        for (const char* C : {"a", "b", "c"})
            Bands->Add()->SetCaption(C);
        Tree->ColumnBands = {0, 0, 1, 1, 2, 2};
    }
    std::string Order() {
        std::string S;
        for (int I = 0; I < Bands->Count(); ++I)
            S += Bands->Items(I)->Caption();
        return S;
    }
};
}  // namespace

TEST_F(BandsTest, FixingMovesTheBandToItsSideWithItsColumns) {
    ThreeBands();
    Bands->Items(0)->SetFixed(bfLeft);
    Bands->Items(2)->SetFixed(bfLeft);
    EXPECT_EQ("cab", Order());
    EXPECT_EQ(bfLeft, Bands->Items(0)->Fixed());
    EXPECT_EQ(bfNone, Bands->Items(1)->Fixed());
    EXPECT_EQ((std::vector<int>{1, 1, 2, 2, 0, 0}), Tree->ColumnBands);

    // A fixed band stays where it is.
    Bands->Items(0)->SetIndex(2);
    EXPECT_EQ("cab", Order());

    // Only a visible band is fixed; hiding one unfixes it.
    Bands->Items(1)->SetVisible(false);
    Bands->Items(1)->SetFixed(bfRight);
    EXPECT_EQ(bfNone, Bands->Items(2)->Fixed());
    Bands->Items(0)->SetVisible(false);
    EXPECT_EQ(bfNone, Bands->Items(0)->Fixed());
}

TEST_F(BandsTest, MovingAndDeletingRenumberTheColumns) {
    ThreeBands();
    Bands->Items(2)->SetIndex(0);
    EXPECT_EQ("cab", Order());
    EXPECT_EQ((std::vector<int>{1, 1, 2, 2, 0, 0}), Tree->ColumnBands);
    Bands->Items(0)->SetIndex(99);  // clamped to the last place
    EXPECT_EQ("abc", Order());
    EXPECT_EQ((std::vector<int>{0, 0, 1, 1, 2, 2}), Tree->ColumnBands);

    Bands->Items(1)->Free();
    EXPECT_EQ("ac", Order());
    EXPECT_EQ((std::vector<int>{0, 0, -1, -1, 1, 1}), Tree->ColumnBands);
    EXPECT_GT(Tree->Changes, 0);
}

TEST_F(BandsTest, WidthLimits) {
    TdxTreeListBand* B = Bands->Add();
    EXPECT_EQ(250, B->Width());
    B->SetMinWidth(300);
    EXPECT_EQ(300, B->Width());
    B->SetMinWidth(-5);
    EXPECT_EQ(0, B->MinWidth());
    B->SetWidth(10);
    EXPECT_EQ(10, B->Width());
    EXPECT_TRUE(Tree->DefaultLayout);
    Bands->Add();
    EXPECT_FALSE(Tree->DefaultLayout);  // a second band ends the default layout
}

TEST_F(BandsTest, VisibleIndexes) {
    ThreeBands();
    Bands->Items(1)->SetVisible(false);
    EXPECT_EQ(2, Bands->VisibleCount());
    EXPECT_EQ(-1, Bands->GetVisibleIndex(1));
    EXPECT_EQ(1, Bands->GetVisibleIndex(2));
    EXPECT_EQ(2, Bands->GetAbsoluteIndex(1));
    EXPECT_EQ(-1, Bands->GetAbsoluteIndex(5));
    EXPECT_EQ(Bands->Items(2), Bands->VisibleItems(1));
    EXPECT_EQ(nullptr, Bands->VisibleItems(2));
    EXPECT_EQ(Tree, Bands->GetOwner());

    // Assigning copies the look but not the customizing flags.
    Bands->Items(0)->SetDisableCustomizing(true);
    Bands->Items(0)->SetWidth(77);
    TdxTreeListBand* Copy = Bands->Add();
    Copy->Assign(Bands->Items(0));
    EXPECT_EQ(77, Copy->Width());
    EXPECT_EQ("a", Copy->Caption());
    EXPECT_FALSE(Copy->DisableCustomizing());
}
