#include "dxTLTestSupport.h"

#include "DateUtils.h"

using namespace treelist_tests;

namespace {
struct SortTest : TreeListEngineTest {
    // Sorting leaves the rows to the caller's update bracket.
    void Sort(int Level, int Column, bool Descending) {
        Tree->BeginUpdate();
        Tree->SortNodes(Level, Column, Descending);
        Tree->EndUpdate();
    }
};

struct VariantCase {
    const char* Name;
    Variant A, B;
    int Expected;
};
}  // namespace

TEST(dxTLCompareVariants, Table) {
    const VariantCase Cases[] = {
        {"both null", Null(), Null(), 0},
        {"null first", Null(), Variant(5), -1},
        {"null second", Variant(5), Null(), 1},
        {"numbers", Variant(2), Variant(10), -1},
        {"number and double", Variant(3.5), Variant(3), 1},
        {"equal strings", Variant("abc"), Variant("abc"), 0},
        {"strings in order", Variant("abc"), Variant("abd"), -1},
        {"strings in reverse", Variant("b"), Variant("a"), 1},
        {"equal arrays", VarArrayOf({Variant(1), Variant("x")}), VarArrayOf({Variant(1), Variant("x")}), 0},
        {"string and date", Variant("abc"), Variant::FromDateTime(45000.0), -1},
        {"date and string", Variant::FromDateTime(45000.0), Variant("abc"), 1},
    };
    for (const VariantCase& C : Cases)
        EXPECT_EQ(C.Expected, CompareVariants(C.A, C.B)) << C.Name;
}

TEST(dxTLCompareVariants, IncomparableValuesStillOrderStrictly) {
    const Variant Values[] = {Variant("x"), Variant(3), Variant::FromDateTime(1.5), Variant(), Variant("7"), Variant(true)};
    for (const Variant& A : Values)
        for (const Variant& B : Values) {
            const int AB = CompareVariants(A, B), BA = CompareVariants(B, A);
            EXPECT_EQ(AB > 0, BA < 0);
            EXPECT_EQ(AB == 0, BA == 0);
        }
}

TEST_F(SortTest, NullsLeadAscendingAndTrailDescending) {
    TdxTreeListNode* A = AddRoot("a");
    TdxTreeListNode* N = AddRoot("null");
    TdxTreeListNode* B = AddRoot("b");
    Tree->SortValues[A] = Variant(2);
    Tree->SortValues[N] = Null();
    Tree->SortValues[B] = Variant(1);
    Sort(-1, 0, false);
    EXPECT_EQ("null b a", Rows());
    Sort(-1, 0, true);
    EXPECT_EQ("a b null", Rows());
}

TEST_F(SortTest, MixedKindsSortWithoutFaultAndTiesFollowNodeOrder) {
    std::vector<TdxTreeListNode*> Nodes;
    const Variant Values[] = {Variant("pear"), Variant(3), Variant::FromDateTime(2.0), Variant("apple"),
                              Variant(3),      Variant(), Variant("3x")};
    for (int Round = 0; Round < 20; ++Round)
        for (const Variant& V : Values) {
            TdxTreeListNode* N = AddRoot("n");
            Tree->SortValues[N] = V;
            Nodes.push_back(N);
        }
    Sort(0, 0, false);
    // Every neighbouring pair is in order, ties by the engine's node order.
    for (int I = 1; I < Tree->GetRootCount(); ++I) {
        TdxTreeListNode* P = Tree->GetRootNode(I - 1);
        TdxTreeListNode* N = Tree->GetRootNode(I);
        const int C = CompareVariants(Tree->SortValues[P], Tree->SortValues[N]);
        EXPECT_LE(C, 0);
        if (C == 0) {
            EXPECT_LT(Tree->CompareNodes(P, N), 0);
        }
    }
    EXPECT_EQ(static_cast<int>(Nodes.size()), Tree->GetRootCount());
}

TEST_F(SortTest, ALevelSortsOnlyItsLists) {
    TdxTreeListNode* B = AddRoot("b", 0);
    TdxTreeListNode* A = AddRoot("a", 0);
    for (TdxTreeListNode* R : {B, A})
        for (const char* T : {"z", "y"}) {
            TdxTreeListNode* C = R->AddChild();
            C->SetStrings(0, R->Strings(0) + T);
            Tree->SortValues[C] = Variant(T);
        }
    Tree->SortValues[B] = Variant("b");
    Tree->SortValues[A] = Variant("a");
    B->Expand(false);
    A->Expand(false);
    Sort(1, 0, false);
    EXPECT_EQ("b by bz a ay az", Rows());
    // The event decides first; its zero falls back to the node order.
    Tree->OnCompareNodes = TdxTreeListCompareEvent::FromFunction(
        [](TObject*, TdxTreeListNode* X, TdxTreeListNode* Y, int& C) { C = -X->Strings(0).compare(Y->Strings(0)); });
    Sort(-1, 0, false);
    EXPECT_EQ("b bz by a az ay", Rows());
}

TEST_F(SortTest, TreeOrderOfNodes) {
    TdxTreeListNode* A = AddRoot("a", 2);
    TdxTreeListNode* B = AddRoot("b", 1);
    TdxTreeListNode* Deep = A->Items(1)->AddChild();
    EXPECT_LT(CompareTreeOrder(A, Deep), 0);
    EXPECT_GT(CompareTreeOrder(Deep, A), 0);
    EXPECT_LT(CompareTreeOrder(Deep, B->Items(0)), 0);
    EXPECT_GT(CompareTreeOrder(A->Items(1), A->Items(0)), 0);
    EXPECT_EQ(0, CompareTreeOrder(B, B));
}
