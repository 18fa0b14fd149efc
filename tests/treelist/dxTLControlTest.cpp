#include "IniFiles.h"
#include "dxTLTestSupport.h"

using namespace treelist_tests;

namespace {
struct ControlTest : TreeListTest {
    TForm* Form = nullptr;
    TCustomdxTreeListControl* Tree = nullptr;
    void SetUp() override {
        TreeListTest::SetUp();
        Form = NewForm();
        Form->SetName("LayoutForm");
        Tree = Place(Form);
    }
    TCustomdxTreeListControl* Place(TForm* F) {
        auto* T = Create<TCustomdxTreeListControl>(F);
        T->SetName("Tree");
        T->SetParent(F);
        T->SetBounds(0, 0, 380, 250);
        return T;
    }
    // Two bands, four columns: two in each band, widths 60, 70, 80, 90.
    void TwoBandsFourColumns() {
        Tree->Bands()->Add();
        Tree->SetShowBands(true);
        for (int I = 0; I < 4; ++I) {
            TdxTreeListColumn* C = Tree->CreateColumn(TdxTreeListColumn::StaticClass(), Form);
            C->SetCaption("C" + std::to_string(I));
            C->SetBandIndex(I / 2);
            C->SetWidth(60 + 10 * I);
        }
    }
    TdxTreeListNode* Row(const std::vector<std::string>& Cells) {
        TdxTreeListNode* N = Tree->Add();
        for (size_t I = 0; I < Cells.size(); ++I)
            N->SetStrings(static_cast<int>(I), Cells[I]);
        return N;
    }
};
}  // namespace

TEST_F(ControlTest, StartUpLoadsTheCursorsAndRegistersTheColumnClasses) {
    for (int Id : {-1124, -1131, -1132, -1133, -1134, -1135, -1136, -1137, -1138, -1139}) {
        EXPECT_NE(nullptr, Screen->Cursors(Id)) << Id;
        EXPECT_NE(Screen->Cursors(crDefault), Screen->Cursors(Id)) << Id;
    }
    EXPECT_EQ(TdxTreeListColumn::StaticClass(), GetClass("TdxTreeListColumn"));
    EXPECT_EQ(TdxTreeListMaskColumn::StaticClass(), GetClass("TdxTreeListMaskColumn"));
    for (const char* Name : {"RODERA_FULLSCROLLBITMAP", "RODERA_HORSCROLLBITMAP", "RODERA_VERSCROLLBITMAP"}) {
        HBITMAP B = LoadBitmapA(MainInstance(), Name);
        EXPECT_NE(nullptr, B) << Name;
        DeleteObject(B);
    }
}

TEST_F(ControlTest, NewColumnsTakeDefaultsThatAreNotAssigned) {
    TdxTreeListColumn* C = Tree->CreateColumn(TdxTreeListColumn::StaticClass(), Form);
    EXPECT_EQ("TreeColumn1", C->Name());
    EXPECT_EQ(100, C->Width());
    EXPECT_EQ("", C->Caption());
    C->SetWidth(100);
    EXPECT_FALSE(C->IsWidthAssigned());
    C->SetWidth(10);
    EXPECT_EQ(20, C->Width()) << "raised to the minimum width";
    C->SetBandIndex(7);
    EXPECT_EQ(0, C->BandIndex()) << "one band";
    C->SetBandIndex(-3);
    EXPECT_EQ(-1, C->BandIndex());
}

TEST_F(ControlTest, ColumnsLayOutInTheirBandsAndCarryTheirStringsWhenMoved) {
    TwoBandsFourColumns();
    EXPECT_EQ(2, Tree->GetVisibleBandCount());
    EXPECT_EQ(1, Tree->GetColumnAt(0, 0, 1));
    EXPECT_EQ(3, Tree->GetColumnAt(1, 0, 1));
    Tree->Columns(1)->SetVisible(false);
    EXPECT_EQ(-1, Tree->GetColumnAt(0, 0, 1));
    Tree->Columns(1)->SetVisible(true);
    TdxTreeListNode* N = Row({"a", "b", "c", "d"});
    TdxTreeListColumn* First = Tree->Columns(0);
    First->SetIndex(2);
    EXPECT_EQ(First, Tree->Columns(2));
    EXPECT_EQ("b", N->Strings(0));
    EXPECT_EQ("c", N->Strings(1));
    EXPECT_EQ("a", N->Strings(2));
    Tree->SetNodeString(N, 6, "g");
    EXPECT_EQ(7, static_cast<TdxTreeListTextNode*>(N)->Texts()->Count());
    EXPECT_EQ("", N->Strings(5));
}

TEST_F(ControlTest, TheEditorWritesTheFocusedColumnsCell) {
    TwoBandsFourColumns();
    Tree->SetOptions(TdxTreeListOptions{toEditing});
    TdxTreeListNode* N = Row({"a", "b", "c", "d"});
    Tree->SetFocus();
    Tree->SetFocused(N);
    Tree->SetFocusedColumn(2);
    Tree->ShowEditor();
    ASSERT_NE(nullptr, Tree->InplaceEditor());
    std::string S;
    Tree->InplaceEditor()->GetEditingText(S);
    EXPECT_EQ("c", S);
    PostMessageA(Tree->InplaceEditor()->Handle(), WM_CHAR, 'z', 1);
    Pump();
    PostMessageA(Tree->InplaceEditor()->Handle(), WM_KEYDOWN, VK_RETURN, 1);
    Pump();
    EXPECT_EQ("z", N->Strings(2));
    Tree->Columns(3)->DisableEditor = true;
    Tree->SetFocusedColumn(3);
    Tree->ShowEditor();
    EXPECT_EQ(tsIdle, Tree->State()) << "a column that disables its editor refuses editing";
}

TEST_F(ControlTest, AFormWithBandsAndColumnsStreamsOutAndBack) {
    TwoBandsFourColumns();
    Tree->Bands()->Items(1)->SetWidth(170);
    TMemoryStream M;
    M.WriteComponent(Form);
    Form->Free();
    Form = nullptr;
    TForm* Back = TForm::CreateNew(Application);
    M.SetPosition(0);
    M.ReadComponent(Back);
    auto* T = dynamic_cast<TCustomdxTreeListControl*>(Back->FindComponent("Tree"));
    ASSERT_NE(nullptr, T);
    ASSERT_EQ(2, T->Bands()->Count());
    EXPECT_EQ(170, T->Bands()->Items(1)->Width());
    ASSERT_EQ(4, T->ColumnCount());
    for (int I = 0; I < 4; ++I) {
        EXPECT_EQ(60 + 10 * I, T->Columns(I)->Width()) << I;
        EXPECT_EQ(I / 2, T->Columns(I)->BandIndex()) << I;
        EXPECT_EQ("C" + std::to_string(I), T->Columns(I)->Caption()) << I;
        EXPECT_EQ(Back, T->Columns(I)->Owner());
    }
    Back->Free();
}

TEST_F(ControlTest, LayoutIsSavedToAnIniFileInItsOrderAndLoadedBack) {
    TwoBandsFourColumns();
    Tree->Columns(3)->SetSorted(csUp);
    testing_support::TempDir Dir;
    const std::string File = Dir / "layout.ini";
    Tree->SaveLayoutToIniFile(File);
    const auto Bytes = testing_support::ReadFileBytes(File);
    const std::string Text(Bytes.begin(), Bytes.end());
    const std::string Expected =
        "[\\LayoutForm_Tree]\r\nShowGrid=0\r\nShowPreviewGrid=1\r\nBandRowCount=1\r\nDefaultRowHeight=" +
        std::to_string(Tree->RowHeight()) + "\r\nHeaderPanelRowCount=1\r\n\r\n" +
        "[\\LayoutForm_Tree\\Band\\Band0]\r\nID=" + std::to_string(Tree->Bands()->Items(0)->ID()) +
        "\r\nVisible=1\r\nIndex=0\r\nWidth=250\r\n";
    EXPECT_EQ(Expected, Text.substr(0, Expected.size()));
    const std::string Column3 =
        "[\\LayoutForm_Tree\\Columns\\TreeColumn4]\r\nBandIndex=1\r\nRowIndex=0\r\nColIndex=1\r\nVisible=1\r\n"
        "Index=3\r\nWidth=90\r\nSorted=2\r\nSortedOrder=0\r\nStoredRowIndex=0\r\n";
    EXPECT_NE(std::string::npos, Text.find(Column3)) << Text;

    // Changed after saving; loading brings the stored layout back.
    Tree->Columns(0)->SetWidth(33);
    Tree->Columns(3)->SetSorted(csNone);
    Tree->Columns(0)->SetIndex(3);
    Tree->Bands()->Items(1)->SetWidth(111);
    Tree->LoadLayoutFromIniFile(File);
    EXPECT_EQ("TreeColumn1", Tree->Columns(0)->Name());
    EXPECT_EQ(60, Tree->Columns(0)->Width());
    EXPECT_EQ(csUp, Tree->Columns(3)->Sorted());
    EXPECT_EQ(250, Tree->Bands()->Items(1)->Width());
}

TEST_F(ControlTest, SavingOneControlLeavesAnotherWithALongerKey) {
    TwoBandsFourColumns();
    testing_support::TempDir Dir;
    const std::string File = Dir / "layout.ini";
    {
        TOwned<TMemIniFile> Ini(Create<TMemIniFile>(File));
        Tree->SaveToRegIni(Ini.get(), "List10\\\\");
        Tree->SaveToRegIni(Ini.get(), "List1");
        Tree->Columns(0)->SetWidth(44);
        Tree->SaveToRegIni(Ini.get(), "List1");
        EXPECT_EQ(60, Ini->ReadInteger("\\List10\\Columns\\TreeColumn1", "Width", 0));
        EXPECT_EQ(44, Ini->ReadInteger("\\List1\\Columns\\TreeColumn1", "Width", 0));
    }
    EXPECT_EQ("\\A\\B", NormalizeLayoutKey("A\\B\\\\"));
}

TEST_F(ControlTest, HeaderDragOfAColumnChangesTheColumnOrder) {
    TwoBandsFourColumns();
    Row({"a", "b", "c", "d"});
    Tree->SetFocus();
    Pump();
    Layout L;
    Tree->CalcLayout(L);
    auto Center = [&](int Column, int Dx) {
        for (const HeaderCell& C : L.HeaderCells)
            if (C.Column == Column)
                return TPoint{static_cast<int>(C.Rect.Left + C.Rect.Right) / 2 + Dx,
                              static_cast<int>(C.Rect.Top + C.Rect.Bottom) / 2};
        ADD_FAILURE() << Column;
        return TPoint{0, 0};
    };
    auto Mouse = [&](UINT Msg, TPoint P) {
        const TPoint S = Tree->ClientToScreen(P);
        SetCursorPos(S.X, S.Y);
        Tree->Perform(Msg, Msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(P.X, P.Y));
    };
    TdxTreeListColumn* First = Tree->Columns(0);
    Mouse(WM_LBUTTONDOWN, Center(0, 0));
    Mouse(WM_MOUSEMOVE, Center(0, 10));
    ASSERT_EQ(tsColumnDragging, Tree->State());
    Mouse(WM_MOUSEMOVE, Center(3, 5));
    Mouse(WM_LBUTTONUP, Center(3, 5));
    EXPECT_EQ(tsIdle, Tree->State());
    EXPECT_EQ(1, First->BandIndex()) << "moved into the second band";
    EXPECT_EQ(2, First->ColIndex()) << "after the last column there";
}
