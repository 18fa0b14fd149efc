// Common controls read from a form resource and checked against their live windows: status bar,
// tool bar, page control, tree view and list view.
#include "ComCtrlsTestForm.h"

#include <gtest/gtest.h>

using namespace comctltests;
using controltests::Pump;

namespace {

std::string WindowClass(HWND Wnd) {
    char Buf[64] = {};
    GetClassNameA(Wnd, Buf, sizeof(Buf));
    return Buf;
}

std::string StatusText(HWND Bar, int Part) {
    char Buf[256] = {};
    SendMessageA(Bar, SB_GETTEXTA, static_cast<WPARAM>(Part), reinterpret_cast<LPARAM>(Buf));
    return Buf;
}

// ---------------------------------------------------------------------------------------------

using StreamedControlsTest = ComCtlFormTest;

TEST_F(StreamedControlsTest, EachControlIsItsOwnSuperclassedWindow) {
    for (TWinControl* C : std::initializer_list<TWinControl*>{Form->sbBar, Form->tbMain, Form->pcPages, Form->tvTree,
                                                              Form->lvList, Form->tsFirst})
        EXPECT_EQ(WindowClass(C->Handle()), C->ClassName());
}

TEST_F(StreamedControlsTest, StatusPanelsReachTheWindow) {
    HWND Bar = Form->sbBar->Handle();
    int Edges[8] = {};
    ASSERT_EQ(SendMessageA(Bar, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(Edges)), 4);
    EXPECT_EQ(Edges[0], 120);
    EXPECT_EQ(Edges[2], 360);
    EXPECT_EQ(Edges[3], -1);  // the last panel runs to the end
    EXPECT_EQ(StatusText(Bar, 0), "Start");
    EXPECT_EQ(StatusText(Bar, 1), "\tTimer");  // centred
    // A text set at run time shows at once.
    Form->sbBar->Panels()->Items(2)->SetText("Server: (local)");
    EXPECT_EQ(StatusText(Bar, 2), "Server: (local)");
    EXPECT_EQ(GetPropText(Form, "sbBar.Panels[2].Text"), "Server: (local)");
}

TEST_F(StreamedControlsTest, NegativePanelWidthCountsAsNothing) {
    Form->sbBar->Panels()->Items(0)->SetWidth(-40);
    EXPECT_EQ(Form->sbBar->Panels()->Items(0)->Width(), 0);
    int Edges[8] = {};
    SendMessageA(Form->sbBar->Handle(), SB_GETPARTS, 8, reinterpret_cast<LPARAM>(Edges));
    EXPECT_EQ(Edges[0], 0);
    EXPECT_EQ(Edges[1], 120);
}

TEST_F(StreamedControlsTest, OwnerDrawnPanelIsDrawnWithItsRectangle) {
    Form->Show();
    HWND Bar = Form->sbBar->Handle();
    RedrawWindow(Bar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
    ASSERT_FALSE(Form->Drawn.empty());
    RECT Expected{};
    SendMessageA(Bar, SB_GETRECT, 3, reinterpret_cast<LPARAM>(&Expected));
    EXPECT_EQ(Form->Drawn.back().Panel, 3);
    EXPECT_EQ(Form->Drawn.back().Rect, TRect::From(Expected));
    // Only the owner-drawn panel asks.
    for (const auto& D : Form->Drawn)
        EXPECT_EQ(D.Panel, 3);
}

TEST_F(StreamedControlsTest, ToolButtonsBecomeTheBarsButtons) {
    HWND Bar = Form->tbMain->Handle();
    ASSERT_EQ(SendMessageA(Bar, TB_BUTTONCOUNT, 0, 0), 2);
    TBBUTTON B{};
    SendMessageA(Bar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&B));
    EXPECT_EQ(B.iBitmap, 1);
    EXPECT_EQ(B.idCommand, Form->tbPlus->CommandID());
    EXPECT_EQ(Form->tbMain->Caption(), "Tasks");
    EXPECT_EQ(Form->tbMain->ButtonCount(), 2);
    EXPECT_EQ(Form->tbEdit->Index(), 1);
}

TEST_F(StreamedControlsTest, ToolButtonClickArrivesThroughTheParent) {
    HWND Bar = Form->tbMain->Handle();
    SendMessageA(GetParent(Bar), WM_COMMAND, MAKEWPARAM(Form->tbPlus->CommandID(), BN_CLICKED), reinterpret_cast<LPARAM>(Bar));
    ASSERT_EQ(Form->Log.size(), 1u);
    EXPECT_EQ(Form->Log[0], "tbPlus");
}

TEST_F(StreamedControlsTest, ToolTipShowsTheShortHint) {
    HWND Bar = Form->tbMain->Handle();
    NMTTDISPINFOA Info{};
    Info.hdr.hwndFrom = nullptr;
    Info.hdr.idFrom = static_cast<UINT_PTR>(Form->tbPlus->CommandID());
    Info.hdr.code = TTN_GETDISPINFOA;
    SendMessageA(Bar, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&Info));
    ASSERT_NE(Info.lpszText, nullptr);
    EXPECT_STREQ(Info.lpszText, "Add a task");
}

TEST_F(StreamedControlsTest, DisabledToolButtonIsDisabledInTheBar) {
    Form->tbEdit->SetEnabled(false);
    HWND Bar = Form->tbMain->Handle();
    EXPECT_EQ(SendMessageA(Bar, TB_ISBUTTONENABLED, static_cast<WPARAM>(Form->tbEdit->CommandID()), 0), 0);
    EXPECT_NE(SendMessageA(Bar, TB_ISBUTTONENABLED, static_cast<WPARAM>(Form->tbPlus->CommandID()), 0), 0);
}

// ---------------------------------------------------------------------------------------------

using PageControlTest = ComCtlFormTest;

TEST_F(PageControlTest, StreamedActivePageIsShownAndSelected) {
    HWND Tabs = Form->pcPages->Handle();
    ASSERT_EQ(SendMessageA(Tabs, TCM_GETITEMCOUNT, 0, 0), 2);
    char Buf[32] = {};
    TCITEMA Item{};
    Item.mask = TCIF_TEXT;
    Item.pszText = Buf;
    Item.cchTextMax = sizeof(Buf);
    SendMessageA(Tabs, TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&Item));
    EXPECT_STREQ(Buf, "First");
    EXPECT_EQ(Form->pcPages->ActivePage(), Form->tsSecond);
    EXPECT_EQ(SendMessageA(Tabs, TCM_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(Form->tsSecond->Visible());
    EXPECT_FALSE(Form->tsFirst->Visible());
}

TEST_F(PageControlTest, OutOfRangeIndexLeavesNoPageActive) {
    for (int Bad : {-1, 2, 99}) {
        Form->pcPages->SetActivePageIndex(1);
        Form->pcPages->SetActivePageIndex(Bad);
        EXPECT_EQ(Form->pcPages->ActivePage(), nullptr) << Bad;
        EXPECT_EQ(Form->pcPages->ActivePageIndex(), -1) << Bad;
    }
}

TEST_F(PageControlTest, HiddenTabKeepsItsPage) {
    Form->tsFirst->SetTabVisible(false);
    EXPECT_EQ(SendMessageA(Form->pcPages->Handle(), TCM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(Form->tsFirst->TabIndex(), -1);
    EXPECT_EQ(Form->tsSecond->TabIndex(), 0);
    EXPECT_EQ(Form->pcPages->PageCount(), 2);
}

TEST_F(PageControlTest, ChangingHandlerCanRefuseATabClick) {
    NMHDR H{Form->pcPages->Handle(), 0, static_cast<UINT>(TCN_SELCHANGING)};
    Form->AllowPageChange = false;
    EXPECT_EQ(Form->pcPages->Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&H)), 1);
    Form->AllowPageChange = true;
    EXPECT_EQ(Form->pcPages->Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&H)), 0);
    EXPECT_EQ(Form->Log, (std::vector<std::string>{"changing", "changing"}));
}

// ---------------------------------------------------------------------------------------------

using TreeViewTest = ComCtlFormTest;

TEST_F(TreeViewTest, NodesSurviveARecreatedWindow) {
    TTreeNodes* Items = Form->tvTree->Items();
    TTreeNode* Root = Items->AddChild(nullptr, "Server");
    TTreeNode* Db = Items->AddChildObject(Root, "master", reinterpret_cast<void*>(7));
    Items->AddChild(Root, "model");
    Root->Expand(false);
    Form->tvTree->SetSelected(Db);
    HWND Old = Form->tvTree->Handle();
    EXPECT_EQ(SendMessageA(Old, TVM_GETCOUNT, 0, 0), 3);
    Form->tvTree->RecreateWnd();
    HWND New = Form->tvTree->Handle();
    EXPECT_EQ(SendMessageA(New, TVM_GETCOUNT, 0, 0), 3);
    EXPECT_TRUE(Root->Expanded());
    EXPECT_EQ(Form->tvTree->Selected(), Db);
    EXPECT_EQ(Db->Data(), reinterpret_cast<void*>(7));
    EXPECT_EQ(Items->Count(), 3);
    EXPECT_EQ(Items->Item(2)->Text(), "model");
    EXPECT_EQ(Db->Level(), 1);
}

TEST_F(TreeViewTest, DeletingANodeDeletesItsChildrenFirst) {
    std::vector<std::string> Deleted;
    Form->tvTree->OnDeletion = TTVChangedEvent::FromFunction([&](TObject*, TTreeNode* N) { Deleted.push_back(N->Text()); });
    TTreeNodes* Items = Form->tvTree->Items();
    TTreeNode* A = Items->AddChild(nullptr, "a");
    TTreeNode* B = Items->AddChild(A, "b");
    Items->AddChild(B, "c");
    Items->AddChild(nullptr, "d");
    Form->tvTree->Handle();
    A->Delete();
    EXPECT_EQ(Deleted, (std::vector<std::string>{"c", "b", "a"}));
    EXPECT_EQ(Items->Count(), 1);
    EXPECT_EQ(SendMessageA(Form->tvTree->Handle(), TVM_GETCOUNT, 0, 0), 1);
    EXPECT_THROW(Items->Item(1), EListError);
}

TEST_F(TreeViewTest, ExpandingHandlerCanRefuse) {
    TTreeNode* Root = Form->tvTree->Items()->AddChild(nullptr, "r");
    Form->tvTree->Items()->AddChild(Root, "x");
    Form->tvTree->OnExpanding = TTVExpandingEvent::FromFunction([](TObject*, TTreeNode*, bool& Allow) { Allow = false; });
    Root->Expand(false);
    EXPECT_FALSE(Root->Expanded());
}

TEST_F(TreeViewTest, SortKeepsWindowAndNodesInOneOrder) {
    TTreeNodes* Items = Form->tvTree->Items();
    for (const char* S : {"tempdb", "Master", "model"})
        Items->AddChild(nullptr, S);
    Form->tvTree->AlphaSort(false);
    HWND Wnd = Form->tvTree->Handle();
    std::vector<std::string> Shown;
    for (auto Item = reinterpret_cast<HTREEITEM>(SendMessageA(Wnd, TVM_GETNEXTITEM, TVGN_ROOT, 0)); Item;
         Item = reinterpret_cast<HTREEITEM>(SendMessageA(Wnd, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(Item)))) {
        char Buf[32] = {};
        TVITEMA T{};
        T.mask = TVIF_TEXT;
        T.hItem = Item;
        T.pszText = Buf;
        T.cchTextMax = sizeof(Buf);
        SendMessageA(Wnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&T));
        Shown.push_back(Buf);
    }
    EXPECT_EQ(Shown, (std::vector<std::string>{"Master", "model", "tempdb"}));
    EXPECT_EQ(Items->GetFirstNode()->Text(), "Master");
}

// ---------------------------------------------------------------------------------------------

using ListViewTest = ComCtlFormTest;

std::string ItemText(HWND List, int Item, int Sub) {
    char Buf[64] = {};
    LVITEMA L{};
    L.iSubItem = Sub;
    L.pszText = Buf;
    L.cchTextMax = sizeof(Buf);
    SendMessageA(List, LVM_GETITEMTEXTA, static_cast<WPARAM>(Item), reinterpret_cast<LPARAM>(&L));
    return Buf;
}

TEST_F(ListViewTest, ColumnsAndItemsReachTheWindow) {
    HWND List = Form->lvList->Handle();
    HWND Header = Form->lvList->HeaderHandle();
    ASSERT_NE(Header, nullptr);
    EXPECT_EQ(SendMessageA(Header, HDM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(List, LVM_GETCOLUMNWIDTH, 0, 0), 90);
    TListItem* I = Form->lvList->Items()->Add();
    I->SetCaption("PC7");
    I->SubItems()->Add("120 MB");
    EXPECT_EQ(SendMessageA(List, LVM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(ItemText(List, 0, 0), "PC7");
    EXPECT_EQ(ItemText(List, 0, 1), "120 MB");
    EXPECT_EQ(ItemText(List, 0, 5), "");  // a column beyond the sub-items is empty
}

TEST_F(ListViewTest, ItemIndexOutsideTheItemsSelectsNothing) {
    for (const char* S : {"a", "b"})
        Form->lvList->Items()->Add()->SetCaption(S);
    Form->lvList->SetItemIndex(1);
    EXPECT_EQ(Form->lvList->ItemIndex(), 1);
    EXPECT_EQ(Form->lvList->Selected()->Caption(), "b");
    for (int Bad : {-1, 2, 1000}) {
        Form->lvList->SetItemIndex(Bad);
        EXPECT_EQ(Form->lvList->ItemIndex(), -1) << Bad;
    }
    EXPECT_THROW(Form->lvList->Items()->Delete(5), EListError);
}

TEST_F(ListViewTest, VirtualListAsksForItsItems) {
    Form->lvList->SetOwnerData(true);
    Form->lvList->OnData = TLVNotifyEvent::FromFunction([](TObject*, TListItem* Item) {
        int N = static_cast<int>(reinterpret_cast<INT_PTR>(Item->Data()));
        Item->SetCaption("row " + std::to_string(N));
    });
    Form->lvList->Items()->SetCount(1000);
    HWND List = Form->lvList->Handle();
    EXPECT_EQ(SendMessageA(List, LVM_GETITEMCOUNT, 0, 0), 1000);
    EXPECT_EQ(ItemText(List, 999, 0), "row 999");
    EXPECT_EQ(Form->lvList->Items()->Item(42)->Caption(), "row 42");
}

}  // namespace
