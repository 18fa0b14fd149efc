#include "dxTLTestSupport.h"

#include <functional>

using namespace treelist_tests;

namespace {
using NodesTest = TreeListEngineTest;

// Every row answers its own index both ways, and the rows are the expanded depth-first order.
void ExpectRowCacheConsistent(TTestTreeList* Tree) {
    int R = 0;
    for (TdxTreeListNode* N = Tree->GetFirstRootNode(); N; N = N->GetNext()) {
        if (!N->IsVisible())
            continue;
        EXPECT_EQ(R, Tree->GetRowIndex(N)) << N->Strings(0);
        EXPECT_EQ(N, Tree->GetNodeAtRow(R));
        ++R;
    }
    EXPECT_EQ(R, Tree->GetRowCount());
    EXPECT_EQ(nullptr, Tree->GetNodeAtRow(R));
}
}  // namespace

TEST_F(NodesTest, NodeWithoutOwnerIsRefused) {
    try {
        Create<TdxTreeListNode>(static_cast<TCustomdxTreeList*>(nullptr));
        FAIL() << "no exception";
    } catch (const EInvaliddxTreeListOperation& E) {
        EXPECT_EQ("Invalid Owner TdxTreeListNode", E.Message());
    }
}

TEST_F(NodesTest, StructureQueries) {
    TdxTreeListNode* A = AddRoot("a", 2);
    TdxTreeListNode* B = AddRoot("b");
    TdxTreeListNode* Z = Tree->AddFirst();
    Z->SetStrings(0, "z");
    TdxTreeListNode* A0 = A->Items(0);
    TdxTreeListNode* A1 = A->Items(1);
    TdxTreeListNode* A00 = A0->AddChild();
    TdxTreeListNode* Mid = A->InsertChild(A1);
    Mid->SetStrings(0, "a.m");

    EXPECT_EQ(3, A->Count());
    EXPECT_EQ(nullptr, A->Items(3));
    EXPECT_EQ(nullptr, A->Items(-1));
    EXPECT_EQ(-1, B->IndexOf(A0));
    EXPECT_EQ(1, A->Index());
    EXPECT_EQ(0, Z->Index());
    EXPECT_EQ(2, A00->Level());
    EXPECT_TRUE(A00->HasAsParent(A));
    EXPECT_FALSE(A->HasAsParent(A));
    EXPECT_TRUE(A1->IsLast());
    EXPECT_TRUE(B->IsLast());
    EXPECT_EQ(A1, Mid->GetNextSibling());
    EXPECT_EQ(nullptr, A0->GetPrevSibling());
    EXPECT_EQ(A, A0->GetPriorNode());
    EXPECT_EQ(A0, Mid->GetPriorNode());
    EXPECT_EQ(nullptr, Z->GetPriorNode());
    EXPECT_THROW(A->InsertChild(B), EInvaliddxTreeListOperation);

    // Depth-first order ignores expansion; rows skip collapsed subtrees.
    std::string All;
    for (TdxTreeListNode* N = Z; N; N = N->GetNext())
        All += N->Strings(0) + " ";
    EXPECT_EQ("z a a.0  a.m a.1 b ", All);
    EXPECT_EQ("z a b", Rows());
    EXPECT_EQ(A, A0->GetPrev());
    EXPECT_EQ(A00, Mid->GetPrev());
    EXPECT_EQ(nullptr, Z->GetPrevVisible());
    EXPECT_EQ(A, B->GetPrevVisible());
    EXPECT_EQ(-1, Tree->GetRowIndex(A0));

    A->Expand(true);
    EXPECT_EQ("z a a.0  a.m a.1 b", Rows());
    EXPECT_EQ(A1, B->GetPrevVisible());
    EXPECT_EQ(5, A1->GetAbsoluteIndex());
    ExpectRowCacheConsistent(Tree);
}

TEST_F(NodesTest, RowCacheFollowsInsertionsDeletionsAndExpansion) {
    TdxTreeListNode* A = AddRoot("a", 3);
    AddRoot("b", 2)->Expand(false);
    ExpectRowCacheConsistent(Tree);
    A->Expand(false);
    ExpectRowCacheConsistent(Tree);
    A->InsertChild(A->Items(1))->SetStrings(0, "new");
    A->Items(0)->AddChild()->SetStrings(0, "hidden");
    Tree->Insert(A)->SetStrings(0, "first");
    ExpectRowCacheConsistent(Tree);
    EXPECT_EQ("first a a.0 new a.1 a.2 b b.0 b.1", Rows());
    A->Items(2)->Free();
    Tree->GetRootNode(2)->Items(0)->Free();
    ExpectRowCacheConsistent(Tree);
    A->SetExpanded(false);
    ExpectRowCacheConsistent(Tree);
    EXPECT_EQ("first a b b.1", Rows());
}

TEST_F(NodesTest, EveryNodeKnowsItsPlaceThroughChangesAndSorting) {
    TdxTreeListNode* A = AddRoot("a", 6);
    for (int I = 0; I < 4; ++I)
        AddRoot("r" + std::to_string(I));
    // Each node's index and next sibling agree with its list, asked between the changes.
    auto ExpectPlaces = [&](const std::string& Step) {
        auto Check = [&](int Count, const std::function<TdxTreeListNode*(int)>& At) {
            for (int I = 0; I < Count; ++I) {
                EXPECT_EQ(I, At(I)->Index()) << Step << ": " << At(I)->Strings(0);
                EXPECT_EQ(At(I + 1), At(I)->GetNextSibling()) << Step << ": " << At(I)->Strings(0);
            }
        };
        Check(A->Count(), [&](int I) { return A->Items(I); });
        Check(Tree->GetRootCount(), [&](int I) { return Tree->GetRootNode(I); });
    };
    struct Step {
        const char* Name;
        std::function<void()> Do;
    };
    const Step Steps[] = {
        {"a child before the first", [&] { A->InsertChild(A->Items(0)); }},
        {"a child in the middle", [&] { A->InsertChild(A->Items(3)); }},
        {"a child deleted in the middle", [&] { A->Items(2)->Free(); }},
        {"a root before the first", [&] { Tree->AddFirst(); }},
        {"a root deleted", [&] { Tree->GetRootNode(2)->Free(); }},
        {"children sorted backwards",
         [&] {
             for (int I = 0; I < A->Count(); ++I)
                 Tree->SortValues[A->Items(I)] = Variant(I);
             Tree->BeginUpdate();
             Tree->SortNodes(1, 0, true);
             Tree->EndUpdate();
             EXPECT_EQ(Variant(0), Tree->SortValues[A->GetLastChild()]);
         }},
    };
    ExpectPlaces("at the start");
    for (const Step& S : Steps) {
        S.Do();
        ExpectPlaces(S.Name);
    }
}

TEST_F(NodesTest, DeletingTheLastChildClearsTheButtonAndCollapses) {
    TdxTreeListNode* A = AddRoot("a", 1);
    A->Expand(false);
    ASSERT_TRUE(A->Expanded());
    A->Items(0)->Free();
    EXPECT_FALSE(A->HasChildren());
    EXPECT_FALSE(A->Expanded());
    EXPECT_EQ(nullptr, A->ChildList());
}

TEST_F(NodesTest, ExpandingAChildlessNodeWithAButtonAsksForChildren) {
    TdxTreeListNode* A = AddRoot("a");
    A->SetHasChildren(true);
    int Expanding = 0;
    Tree->OnExpanding = TdxTreeListNodeAllowEvent::FromFunction([&](TObject*, TdxTreeListNode* N, bool&) {
        ++Expanding;
        N->AddChild()->SetStrings(0, "loaded");
    });
    A->SetExpanded(true);
    EXPECT_EQ(1, Expanding);
    EXPECT_EQ("a loaded", Rows());

    // A refused collapse changes nothing.
    Tree->OnCollapsing = TdxTreeListNodeAllowEvent::FromFunction([](TObject*, TdxTreeListNode*, bool& Allow) {
        Allow = false;
    });
    A->SetExpanded(false);
    EXPECT_TRUE(A->Expanded());
}

TEST_F(NodesTest, CollapsingMovesFocusAndTopToTheCollapsedNode) {
    TdxTreeListNode* A = AddRoot("a", 3);
    AddRoot("b");
    A->Expand(false);
    TdxTreeListNode* Deep = A->Items(2);
    Tree->SetFocused(Deep);
    Tree->SetTopNode(A->Items(1));
    A->SetExpanded(false);
    EXPECT_EQ(A, Tree->FocusedNode());
    EXPECT_EQ(A, Tree->TopNode());
}

TEST_F(NodesTest, ExpandLocksOnceAndUnlocksWhenAnEventRaises) {
    TdxTreeListNode* A = AddRoot("a", 2);
    A->Items(1)->AddChild()->AddChild();
    std::vector<int> Locks;
    Tree->OnExpanded = TdxTreeListNodeEvent::FromFunction([&](TObject*, TdxTreeListNode*) {
        Locks.push_back(Tree->LockCount());
    });
    A->Expand(true);
    EXPECT_EQ((std::vector<int>{1, 1, 1}), Locks);
    EXPECT_EQ(0, Tree->LockCount());
    ExpectRowCacheConsistent(Tree);

    TdxTreeListNode* B = AddRoot("b", 1);
    Tree->OnExpanded = TdxTreeListNodeEvent::FromFunction([](TObject*, TdxTreeListNode*) {
        throw Exception("refused");
    });
    EXPECT_THROW(B->Expand(true), Exception);
    EXPECT_EQ(0, Tree->LockCount());
}

TEST_F(NodesTest, DeletionRepairsTopFocusAndAnchor) {
    TdxTreeListNode* A = AddRoot("a", 2);
    A->Expand(false);
    TdxTreeListNode* B = AddRoot("b");
    Tree->SetTopNode(B);
    Tree->SetFocused(B);
    Tree->SetSelectionAnchor(B);
    std::vector<std::string> Deleted;
    Tree->OnDeletion = TdxTreeListNodeEvent::FromFunction([&](TObject*, TdxTreeListNode* N) {
        Deleted.push_back(N->Strings(0));
    });
    B->Free();
    EXPECT_EQ(A, Tree->TopNode());
    EXPECT_EQ(A, Tree->FocusedNode());
    EXPECT_EQ(A, Tree->SelectionAnchor());
    // The first child falls back to its parent.
    Tree->SetFocused(A->Items(0));
    A->Items(0)->Free();
    EXPECT_EQ(A, Tree->FocusedNode());

    A->Free();
    EXPECT_EQ((std::vector<std::string>{"b", "a.0", "a.1", "a"}), Deleted);
    EXPECT_EQ(nullptr, Tree->TopNode());
    EXPECT_EQ(nullptr, Tree->FocusedNode());
    EXPECT_EQ(nullptr, Tree->SelectionAnchor());
    EXPECT_EQ(0, Tree->GetRowCount());
}

TEST_F(NodesTest, ClearNodesDropsEveryReference) {
    Tree->OneBand({60, 60}, 120);
    Tree->SetOptions(Tree->Options() - TdxTreeListOptions{toRowSelect});
    for (int I = 0; I < 300; ++I)
        AddRoot("r" + std::to_string(I), 5);
    Tree->SetFocusedColumn(1);
    Tree->SetFocused(Tree->GetRootNode(200));
    Tree->SetSelectionAnchor(Tree->GetRootNode(100));
    Tree->ClearNodes();
    EXPECT_EQ(0, Tree->GetRootCount());
    EXPECT_EQ(nullptr, Tree->FocusedNode());
    EXPECT_EQ(nullptr, Tree->TopNode());
    EXPECT_EQ(nullptr, Tree->SelectionAnchor());
    EXPECT_EQ(1, Tree->GetFocusedColumn());
    EXPECT_EQ(0, Tree->LockCount());
    // The tree takes new nodes afterwards.
    AddRoot("again");
    EXPECT_EQ("again", Rows());
}

TEST_F(NodesTest, FocusAndSelectedFollowTheOwner) {
    TdxTreeListNode* A = AddRoot("a");
    TdxTreeListNode* B = AddRoot("b");
    B->SetFocused(true);
    EXPECT_TRUE(B->Focused());
    EXPECT_TRUE(B->Selected());  // without multi-selection the focused node is the selected one
    EXPECT_FALSE(A->Selected());
    B->SetFocused(false);
    EXPECT_EQ(B, Tree->FocusedNode());  // nothing to focus instead
    Tree->SetOptions(Tree->Options() + TdxTreeListOptions{toMultiSelect});
    A->SetSelected(true);
    EXPECT_TRUE(A->Selected());
    EXPECT_FALSE(B->Selected());
}
