// Collections: items made by the item class, order and moves, IDs never reused, update brackets,
// name paths, assignment.
#include "TestComponents.h"

#include <gtest/gtest.h>

using namespace testforms;

namespace {
TTestColumn* Col(TCollection* C, int I) { return static_cast<TTestColumn*>(C->Items(I)); }
std::vector<int> Ids(TCollection* C) {
    std::vector<int> R;
    for (int I = 0; I < C->Count(); ++I)
        R.push_back(C->Items(I)->ID());
    return R;
}
}  // namespace

TEST(Collection, AddInsertDeleteAndIdsNeverReused) {
    TOwned<TTestGrid> Grid(Create<TTestGrid>(nullptr));
    TTestColumns* C = Grid->GetColumns();
    EXPECT_EQ(C->ItemClass(), TTestColumn::StaticClass());
    for (int I = 0; I < 3; ++I)
        EXPECT_EQ(C->Add()->ClassName(), "TTestColumn");
    EXPECT_EQ(Ids(C), (std::vector<int>{0, 1, 2}));
    C->Delete(1);
    EXPECT_EQ(Ids(C), (std::vector<int>{0, 2}));
    TCollectionItem* X = C->Insert(1);
    EXPECT_EQ(X->ID(), 3) << "an ID is never reused";
    EXPECT_EQ(X->Index(), 1);
    EXPECT_EQ(Ids(C), (std::vector<int>{0, 3, 2}));
    EXPECT_EQ(C->FindItemID(2), C->Items(2));
    EXPECT_EQ(C->FindItemID(1), nullptr);
    C->Items(0)->Free();  // freeing an item removes it
    EXPECT_EQ(Ids(C), (std::vector<int>{3, 2}));
    EXPECT_THROW(C->Items(2), EListError);
    EXPECT_THROW(C->Delete(-1), EListError);
    C->Clear();
    EXPECT_EQ(C->Count(), 0);
    EXPECT_EQ(C->Add()->ID(), 4);
}

TEST(Collection, IndexMovesTheItem) {
    TOwned<TTestGrid> Grid(Create<TTestGrid>(nullptr));
    TTestColumns* C = Grid->GetColumns();
    for (int I = 0; I < 4; ++I)
        C->Add();
    C->Items(0)->SetIndex(3);
    EXPECT_EQ(Ids(C), (std::vector<int>{1, 2, 3, 0}));
    C->Items(3)->SetIndex(1);
    EXPECT_EQ(Ids(C), (std::vector<int>{1, 0, 2, 3}));
    EXPECT_THROW(C->Items(0)->SetIndex(4), EListError);
}

TEST(Collection, UpdateRunsOutsideBracketsOnly) {
    TOwned<TTestGrid> Grid(Create<TTestGrid>(nullptr));
    TTestColumns* C = Grid->GetColumns();
    C->Add();
    EXPECT_EQ(C->Updates, (std::vector<int>{-1}));
    C->Updates.clear();
    C->BeginUpdate();
    C->BeginUpdate();
    C->Add();
    C->Add();
    C->EndUpdate();
    EXPECT_TRUE(C->Updates.empty()) << "nested brackets";
    C->EndUpdate();
    EXPECT_EQ(C->Updates, (std::vector<int>{-1})) << "once at the outer end";
    C->Updates.clear();
    C->Items(1)->SetDisplayName("x");
    EXPECT_EQ(C->Updates, (std::vector<int>{C->Items(1)->ID()})) << "an item's own change";
}

TEST(Collection, NamePathsAndDisplayNames) {
    TOwned<TComponent> Form(Create<TComponent>(nullptr));
    auto* Grid = Create<TTestGrid>(Form.get());
    Grid->SetName("DBGridMain");
    TTestColumns* C = Grid->GetColumns();
    C->Add();
    C->Add();
    EXPECT_EQ(C->GetNamePath(), "DBGridMain.Columns");
    EXPECT_EQ(C->Items(1)->GetNamePath(), "DBGridMain.Columns[1]");
    EXPECT_EQ(C->Items(0)->GetDisplayName(), "TTestColumn");
    Col(C, 0)->GetTitle()->Caption = "Server";
    EXPECT_EQ(C->Items(0)->DisplayName(), "Server");
    EXPECT_EQ(C->GetOwner(), Grid);
    EXPECT_EQ(C->Items(0)->GetOwner(), C);
}

TEST(Collection, AssignCopiesItemsInsideABracket) {
    TOwned<TTestGrid> A(Create<TTestGrid>(nullptr));
    TOwned<TTestGrid> B(Create<TTestGrid>(nullptr));
    A->GetColumns()->Add();
    Col(A->GetColumns(), 0)->GetTitle()->Caption = "First";
    Col(A->GetColumns(), 0)->Width = 5;
    B->GetColumns()->Add();
    B->GetColumns()->Add();
    B->GetColumns()->Updates.clear();
    B->GetColumns()->Assign(A->GetColumns());
    ASSERT_EQ(B->GetColumns()->Count(), 1);
    EXPECT_EQ(Col(B->GetColumns(), 0)->GetTitle()->Caption, "First");
    EXPECT_EQ(Col(B->GetColumns(), 0)->Width, 5);
    EXPECT_EQ(B->GetColumns()->Updates, (std::vector<int>{-1})) << "one update for the whole copy";
    TOwned<TTestFont> F(Create<TTestFont>());
    EXPECT_THROW(B->GetColumns()->Assign(F.get()), EConvertError);
    EXPECT_EQ(B->GetColumns()->UpdateCount(), 0);
}
