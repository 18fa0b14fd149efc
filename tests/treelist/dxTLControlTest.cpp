#include "ComCtrls.h"
#include "IniFiles.h"
#include "StdCtrls.h"
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
    TPoint HeaderCenter(int Column, int Dx = 0) { return HeaderCellCenter(Tree, Column, Dx); }
    // Button messages carry the left button but the release.
    void Mouse(UINT Msg, TPoint P, WPARAM Keys = 0) {
        SendMouse(Tree, Msg, P, (Msg == WM_LBUTTONUP ? 0 : MK_LBUTTON) | Keys);
    }
    // The form written out, freed, and read back into a new form; its tree list.
    TCustomdxTreeListControl* StreamBack(TForm*& Back) {
        TMemoryStream M;
        M.WriteComponent(Form);
        Form->Free();
        Form = nullptr;
        Back = TForm::CreateNew(Application);
        M.SetPosition(0);
        M.ReadComponent(Back);
        return dynamic_cast<TCustomdxTreeListControl*>(Back->FindComponent("Tree"));
    }
    void ClickHeader(int Column, WPARAM Keys = 0) {
        Mouse(WM_LBUTTONDOWN, HeaderCenter(Column), Keys);
        Mouse(WM_LBUTTONUP, HeaderCenter(Column), Keys);
    }
    std::string ColumnTexts(int Column) {
        std::string S;
        for (int I = 0; I < Tree->GetRowCount(); ++I)
            S += Tree->GetNodeAtRow(I)->Strings(Column);
        return S;
    }
    TOwned<TBitmap> Render() {
        TOwned<TBitmap> B(SolidBitmap(Tree->Width(), Tree->Height(), clBlack));
        Tree->PaintTo(B->Canvas()->Handle(), 0, 0);
        return B;
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
    TForm* Back = nullptr;
    TCustomdxTreeListControl* T = StreamBack(Back);
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
    TdxTreeListColumn* First = Tree->Columns(0);
    std::vector<std::string> Moved;
    Tree->OnColumnMoved = TdxTLColumnEvent::FromFunction(
        [&](TObject*, TdxTreeListColumn* C) { Moved.push_back(C->Caption() + "@" + std::to_string(C->BandIndex())); });
    const TPoint Target = HeaderCenter(3, 5);
    Mouse(WM_LBUTTONDOWN, HeaderCenter(0));
    Mouse(WM_MOUSEMOVE, HeaderCenter(0, 10));
    ASSERT_EQ(tsColumnDragging, Tree->State());
    Mouse(WM_MOUSEMOVE, Target);
    Mouse(WM_LBUTTONUP, Target);
    EXPECT_EQ(tsIdle, Tree->State());
    EXPECT_EQ(1, First->BandIndex()) << "moved into the second band";
    EXPECT_EQ(2, First->ColIndex()) << "after the last column there";
    EXPECT_EQ(std::vector<std::string>{"C0@1"}, Moved) << "the event follows the move";
}

TEST_F(ControlTest, AHeaderDraggedOntoTheCustomizingFormHidesAndComesBackFromItsList) {
    TwoBandsFourColumns();
    Row({"a", "b", "c", "d"});
    std::vector<std::string> Events;
    Tree->OnHideColumn = TdxTLColumnEvent::FromFunction([&](TObject*, TdxTreeListColumn* C) {
        Events.push_back("hide " + C->Caption() + (C->Visible() ? " visible" : ""));
    });
    Tree->OnShowColumn = TdxTLShowColumnEvent::FromFunction([&](TObject*, TdxTreeListColumn* C, int B, int R, int Col) {
        Events.push_back("show " + C->Caption() + " " + std::to_string(B) + std::to_string(R) + std::to_string(Col));
    });
    Tree->SetFocus();
    Tree->ColumnsCustomizing();
    TForm* F = Tree->CustomizeForm();
    ASSERT_NE(nullptr, F);
    F->SetBounds(500, 380, 180, 240);  // clear of the tree
    Pump();
    EXPECT_EQ("Customize", F->Caption());
    auto* Pages = dynamic_cast<TPageControl*>(F->FindComponent("PageControl"));
    ASSERT_NE(nullptr, Pages);
    ASSERT_EQ(2, Pages->PageCount());
    EXPECT_EQ("    Bands    ", Pages->Pages(0)->Caption());
    EXPECT_EQ("   Headers   ", Pages->Pages(1)->Caption());
    TListBox* Hidden = Tree->CustomizeColumnList();
    EXPECT_EQ(0, Hidden->Items()->Count()) << "every column is shown";

    // Out of the header onto the form.
    Mouse(WM_LBUTTONDOWN, HeaderCenter(1));
    Mouse(WM_MOUSEMOVE, HeaderCenter(1, 10));
    ASSERT_EQ(tsColumnDragging, Tree->State());
    RECT FR;
    GetWindowRect(F->Handle(), &FR);
    const TPoint OnForm = Tree->ScreenToClient(TPoint{(FR.left + FR.right) / 2, (FR.top + FR.bottom) / 2});
    Mouse(WM_MOUSEMOVE, OnForm);
    Mouse(WM_LBUTTONUP, OnForm);
    EXPECT_EQ(tsIdle, Tree->State());
    EXPECT_FALSE(Tree->Columns(1)->Visible());
    ASSERT_EQ(1, Hidden->Items()->Count());
    EXPECT_EQ("C1", Hidden->Items()->Strings(0));
    EXPECT_EQ(1, Pages->ActivePageIndex()) << "a column drag shows the page of the headers";

    // Out of the list onto the header, before the first column of the second band.
    const TRect Item = Hidden->ItemRect(0);
    const int IX = (Item.Left + Item.Right) / 2, IY = (Item.Top + Item.Bottom) / 2;
    Hidden->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(IX, IY));
    ASSERT_EQ(tsColumnDragging, Tree->State());
    EXPECT_EQ(Tree->Handle(), GetCapture()) << "the drop comes to the tree";
    const TPoint Target = HeaderCenter(2, -5);
    Mouse(WM_MOUSEMOVE, Target);
    Mouse(WM_LBUTTONUP, Target);
    EXPECT_EQ(tsIdle, Tree->State());
    EXPECT_TRUE(Tree->Columns(1)->Visible());
    EXPECT_EQ(1, Tree->Columns(1)->BandIndex());
    EXPECT_EQ(0, Tree->Columns(1)->ColIndex());
    EXPECT_EQ(0, Hidden->Items()->Count());
    EXPECT_EQ((std::vector<std::string>{"hide C1", "show C1 100"}), Events);

    Tree->EndColumnsCustomizing();
    Pump();
    EXPECT_EQ(nullptr, Tree->CustomizeForm());
}

TEST_F(ControlTest, HeaderClicksSortTheNodesByTheColumn) {
    TwoBandsFourColumns();
    Tree->SetOptions(Tree->Options() + TdxTreeListOptions{toColumnSorting});
    for (const char* S : {"b", "c", "a"})
        Row({S, "x"});
    int Clicks = 0;
    Tree->OnColumnClick = TdxTLColumnEvent::FromFunction([&](TObject*, TdxTreeListColumn*) { ++Clicks; });
    struct Case {
        WPARAM Keys;
        TdxTreeListColumnSort Sorted;
        const char* Order;
    };
    // A click sorts ascending, the next descending; Ctrl+click unsorts and leaves the order.
    for (const Case& C : {Case{0, csUp, "abc"}, Case{0, csDown, "cba"}, Case{MK_CONTROL, csNone, "cba"}}) {
        ClickHeader(0, C.Keys);
        EXPECT_EQ(C.Sorted, Tree->Columns(0)->Sorted()) << C.Order;
        EXPECT_EQ(C.Order, ColumnTexts(0));
    }
    EXPECT_EQ(3, Clicks);
    Tree->OnColumnSorting =
        TdxTLColumnAllowEvent::FromFunction([](TObject*, TdxTreeListColumn*, bool& Allow) { Allow = false; });
    ClickHeader(0);
    EXPECT_EQ(csNone, Tree->Columns(0)->Sorted()) << "the handler refused";
    EXPECT_EQ("cba", ColumnTexts(0));
    Tree->OnColumnSorting = nullptr;
    Tree->Columns(0)->SetSorted(csUp);
    EXPECT_EQ("abc", ColumnTexts(0)) << "setting the property sorts too";
}

TEST_F(ControlTest, CellsArePaintedThroughTheColumnsEditorClass) {
    Tree->SetBorderStyle(0);
    Tree->SetColor(clWhite);
    Tree->SetShowLines(false);
    Tree->SetShowRoot(false);
    for (int I = 0; I < 2; ++I)
        Tree->CreateColumn(TdxTreeListColumn::StaticClass(), Form)->SetWidth(80);
    struct Case {
        const char* Shown;
        const char* Stored;
        char PasswordChar;
        TEditCharCase CharCase;
    };
    for (const Case& C : {Case{"***", "abc", '*', ecNormal}, Case{"WIDE", "wide", 0, ecUpperCase}}) {
        Tree->ClearNodes();
        Row({"x", "x"});
        TdxTreeListNode* N = Row({C.Shown, C.Stored});
        Tree->Columns(1)->PasswordChar = C.PasswordChar;
        Tree->Columns(1)->CharCase = C.CharCase;
        Tree->SetFocused(Tree->GetFirstRootNode());
        TOwned<TBitmap> B = Render();
        TRect A, E;
        Tree->GetCellRect(N, 0, A);
        Tree->GetCellRect(N, 1, E);
        int Ink = 0, Differ = 0;
        for (int Y = A.Top; Y < A.Bottom; ++Y)
            for (int X = 2; X < 70; ++X) {
                const COLORREF P = PixelAt(B.get(), E.Left + X, Y);
                Ink += P != RGB(255, 255, 255);
                Differ += P != PixelAt(B.get(), A.Left + X, Y);
            }
        EXPECT_GT(Ink, 10) << C.Shown << ": the cell shows text";
        EXPECT_EQ(0, Differ) << C.Shown << ": the column's editor class shows the stored text this way";
    }
}

TEST_F(ControlTest, CustomDrawingRunsTheControlsEventsBeforeTheColumnsUntilOneIsDone) {
    Tree->SetBorderStyle(0);
    Tree->SetColor(clWhite);
    for (int I = 0; I < 3; ++I)
        Tree->CreateColumn(TdxTreeListColumn::StaticClass(), Form)->SetWidth(80);
    TdxTreeListNode* N = Row({"", "", ""});
    Tree->Add();
    Tree->SetFocused(Tree->GetRootNode(1));
    std::vector<std::string> Calls;
    auto Name = [](TdxTreeListColumn* C) { return std::to_string(C->Index()); };
    // Column 0: OnCustomDraw is done. Column 1: OnCustomDrawCell colours it and is done.
    // Column 2: reaches the column's own event, which colours it.
    Tree->OnCustomDraw = TdxTLCustomDrawEvent::FromFunction(
        [&](TObject*, TCanvas*, TRect, TdxTreeListNode* Node, TdxTreeListColumn* C, const std::string&, TFont*,
            TColor&, bool, bool, bool& Done) {
            if (Node != N)
                return;
            Calls.push_back("draw" + Name(C));
            Done = C->Index() == 0;
        });
    Tree->OnCustomDrawCell = TdxTLCustomDrawCell::FromFunction(
        [&](TObject*, TCanvas*, TRect, TdxTreeListNode* Node, TdxTreeListColumn* C, bool, bool, bool, std::string&,
            TColor& Color, TFont*, TAlignment&, bool& Done) {
            if (Node != N)
                return;
            Calls.push_back("cell" + Name(C));
            if (C->Index() == 1) {
                Color = clLime;
                Done = false;
            }
        });
    for (int I = 0; I < 3; ++I)
        Tree->Columns(I)->OnCustomDrawCell = TdxTLCustomDrawCell::FromFunction(
            [&](TObject* Sender, TCanvas*, TRect, TdxTreeListNode* Node, TdxTreeListColumn* C, bool, bool, bool,
                std::string&, TColor& Color, TFont*, TAlignment&, bool& Done) {
                if (Node != N)
                    return;
                EXPECT_EQ(Sender, C);
                Calls.push_back("column" + Name(C));
                if (C->Index() == 1)
                    Done = true;
                else
                    Color = clBlue;
            });
    TOwned<TBitmap> B = Render();
    EXPECT_EQ((std::vector<std::string>{"draw0", "draw1", "cell1", "column1", "draw2", "cell2", "column2"}), Calls);
    TRect R1, R2;
    Tree->GetCellRect(N, 1, R1);
    Tree->GetCellRect(N, 2, R2);
    EXPECT_NE(RGB(0, 255, 0), PixelAt(B.get(), R1.Left + 40, (R1.Top + R1.Bottom) / 2))
        << "the column's event was done: the colour of the control's event is not painted";
    EXPECT_EQ(RGB(0, 0, 255), PixelAt(B.get(), R2.Left + 40, (R2.Top + R2.Bottom) / 2))
        << "the colour of the column's event paints the cell";
}

TEST_F(ControlTest, HeaderEventsAskOnlyWhereTheControlAllows) {
    TwoBandsFourColumns();
    Tree->Bands()->Items(0)->SetFixed(bfLeft);
    std::vector<std::string> Asked;
    Tree->OnCanDragBand = TdxTLBandAllowEvent::FromFunction(
        [&](TObject*, TdxTreeListBand* B, bool&) { Asked.push_back("band" + std::to_string(B->Index())); });
    Tree->OnColumnPositionChanged = TdxTLColumnPositionEvent::FromFunction(
        [&](TObject*, int From, int To) { Asked.push_back(std::to_string(From) + ">" + std::to_string(To)); });
    EXPECT_FALSE(Tree->CanDragBand(0)) << "a fixed band";
    EXPECT_TRUE(Tree->CanDragBand(1));
    TCustomdxTreeList::HeaderDropTarget T;
    T.Col = 0;
    bool Accept = true;
    Tree->DoEndDragColumn(TPoint{0, 0}, 1, Accept, T);
    Tree->Bands()->Items(1)->SetVisible(false);
    Tree->DoEndDragColumn(TPoint{0, 0}, 1, Accept, T);
    EXPECT_EQ((std::vector<std::string>{"band1", "1>0"}), Asked)
        << "no question for the fixed band; the position event only with one band shown";
}

TEST_F(ControlTest, AColumnFollowsTheControlsFontAndColourUntilItsOwnAreSet) {
    Tree->SetBorderStyle(0);
    Tree->SetColor(clWhite);
    TdxTreeListColumn* A = Tree->CreateColumn(TdxTreeListColumn::StaticClass(), Form);
    TdxTreeListColumn* B = Tree->CreateColumn(TdxTreeListColumn::StaticClass(), Form);
    TdxTreeListNode* N = Row({"", ""});
    Tree->Font()->SetSize(14);
    EXPECT_EQ(14, A->Font()->Size());
    EXPECT_FALSE(A->IsFontAssigned());
    A->Font()->SetSize(12);
    Tree->Font()->SetSize(9);
    EXPECT_EQ(12, A->Font()->Size()) << "its own font no longer follows";
    EXPECT_EQ(9, B->Font()->Size());
    EXPECT_EQ(clWhite, B->Color());
    B->SetColor(clYellow);
    TOwned<TBitmap> Shot = Render();
    TRect R;
    Tree->GetCellRect(N, 1, R);
    EXPECT_EQ(RGB(255, 255, 0), PixelAt(Shot.get(), R.Right - 5, (R.Top + R.Bottom) / 2));
    Tree->GetCellRect(N, 0, R);
    EXPECT_EQ(RGB(255, 255, 255), PixelAt(Shot.get(), R.Right - 5, (R.Top + R.Bottom) / 2));
    EXPECT_FALSE(Tree->ColumnHasHeaderGlyph(0));
    TMemoryStream M;
    M.WriteComponent(Form);
    EXPECT_FALSE(Tree->ColumnHasHeaderGlyph(0)) << "writing the form makes no glyph";
    TForm* Back = TForm::CreateNew(Application);
    M.SetPosition(0);
    Form->Free();
    Form = nullptr;
    M.ReadComponent(Back);
    auto* T = dynamic_cast<TCustomdxTreeListControl*>(Back->FindComponent("Tree"));
    ASSERT_NE(nullptr, T);
    EXPECT_EQ(12, T->Columns(0)->Font()->Size());
    EXPECT_TRUE(T->Columns(0)->IsFontAssigned());
    EXPECT_EQ(clYellow, T->Columns(1)->Color());
    EXPECT_FALSE(T->Columns(1)->IsFontAssigned());
    Back->Free();
}

TEST_F(ControlTest, ADoubleClickOnAHeaderEdgeFitsTheColumnToItsWidestText) {
    Tree->SetShowRoot(false);
    for (int I = 0; I < 2; ++I)
        Tree->CreateColumn(TdxTreeListColumn::StaticClass(), Form)->SetWidth(40);
    Tree->Columns(1)->SetCaption("C");
    Tree->Columns(1)->DisableFilter = true;
    for (const char* S : {"ab", "a much longer text", "abc"})
        Row({"x", S});
    int Sized = 0;
    Tree->OnHeaderSized = TNotifyEvent::FromFunction([&](TObject*) { ++Sized; });
    TOwned<TBitmap> B(Create<TBitmap>());
    B->Canvas()->Font()->Assign(Tree->Font());
    const int Expected = B->Canvas()->TextWidth("a much longer text") + 2 * (B->Canvas()->TextWidth("0") / 2 + 1);
    Layout L;
    Tree->CalcLayout(L);
    TPoint Edge{-1, -1};
    for (const HeaderCell& C : L.HeaderCells)
        if (C.Column == 1)
            Edge = TPoint{static_cast<int>(C.Rect.Right) - 1, static_cast<int>(C.Rect.Top + C.Rect.Bottom) / 2};
    ASSERT_NE(-1, Edge.X);
    Mouse(WM_LBUTTONDOWN, Edge);
    Mouse(WM_LBUTTONUP, Edge);
    Mouse(WM_LBUTTONDBLCLK, Edge);
    Mouse(WM_LBUTTONUP, Edge);
    EXPECT_EQ(Expected, Tree->Columns(1)->Width());
    EXPECT_EQ(40, Tree->Columns(0)->Width());
    EXPECT_EQ(1, Sized);
    Tree->Columns(0)->SetSizing(false);
    Tree->ApplyBestFit(nullptr);
    EXPECT_EQ(40, Tree->Columns(0)->Width()) << "a column without sizing keeps its width";
}

TEST_F(ControlTest, TheSortOrderOfSeveralColumnsAndStoredHeaderRowsStreamWithTheForm) {
    TwoBandsFourColumns();
    Tree->SetOptionsEx(Tree->OptionsEx() + TdxTreeListOptionsEx{txMultiSort});
    Tree->Columns(2)->SetSorted(csDown);
    Tree->Columns(0)->SetSorted(csUp);
    Tree->SetHeaderPanelRowCountValue(2);
    Tree->Columns(3)->SetRowIndex(1);
    TForm* Back = nullptr;
    TCustomdxTreeListControl* T = StreamBack(Back);
    ASSERT_NE(nullptr, T);
    ASSERT_EQ(2, T->SortedColumnCount());
    EXPECT_EQ("C2", T->SortedColumns(0)->Caption()) << "sorted first";
    EXPECT_EQ("C0", T->SortedColumns(1)->Caption());
    EXPECT_EQ(1, T->Columns(3)->StoredRowIndex());
    EXPECT_EQ(1, T->Columns(3)->RowIndex());
    Back->Free();
}

namespace {
// A column kind whose defaults come from elsewhere (as a data-aware column's come from its field).
class TFieldLikeColumn : public TdxTreeListColumn {
    DECLARE_CLASS(TFieldLikeColumn, TdxTreeListColumn)
public:
    using TdxTreeListColumn::TdxTreeListColumn;
    int GetDefaultMaxLength() override { return 5; }
    bool GetDefaultReadOnly() override { return true; }
};

// A control that can refuse all editing, as a data-aware control does on a read-only data set.
class TLockableTreeList : public TCustomdxTreeListControl {
    DECLARE_CLASS(TLockableTreeList, TCustomdxTreeListControl)
public:
    using TCustomdxTreeListControl::TCustomdxTreeListControl;
    bool Locked = false;
    bool IsEditingReadOnly() override { return Locked; }
};

// "b0 b1|b2;..." : per visible band (";"), per header row ("|"), the columns by position.
std::string GridText(TCustomdxTreeListControl* T) {
    std::string S;
    for (int B = 0; B < T->GetVisibleBandCount(); ++B) {
        if (B > 0)
            S += ";";
        for (int R = 0; R < T->GetBandRowCount(B); ++R) {
            if (R > 0)
                S += "|";
            for (int P = 0; P < T->GetColumnCountInRow(B, R); ++P)
                S += (P > 0 ? " " : "") + std::to_string(T->GetColumnAt(B, R, P));
        }
    }
    return S;
}
}  // namespace

TEST_F(ControlTest, StartUpMakesAOnePixelImageList) {
    ASSERT_NE(nullptr, dxTLImageList);
    ASSERT_TRUE(dxTLImageList->HandleAllocated());
    int W = 0, H = 0;
    ASSERT_TRUE(ImageList_GetIconSize(dxTLImageList->Handle(), &W, &H));
    EXPECT_EQ(1, W);
    EXPECT_EQ(1, H);
    EXPECT_EQ(0, ImageList_GetImageCount(dxTLImageList->Handle()));
    // Start-up is counted: a second start and its shut-down keep the list of the first.
    TImageList* First = dxTLImageList;
    dxTLInitialization();
    dxTLFinalization();
    EXPECT_EQ(First, dxTLImageList);
}

TEST_F(ControlTest, TheLayoutListsAnswerAsTheBandsAndColumnsDo) {
    TwoBandsFourColumns();
    Pump();
    struct Case {
        const char* Step;
        std::function<void()> Change;
        const char* Grid;
    };
    const Case Cases[] = {
        {"two bands", [] {}, "0 1;2 3"},
        {"second hidden", [&] { Tree->Columns(1)->SetVisible(false); }, "0;2 3"},
        {"moved to band 0", [&] { Tree->Columns(3)->SetBandIndex(0); }, "0 3;2"},
        {"second row", [&] {
             Tree->SetHeaderPanelRowCountValue(2);
             Tree->Columns(0)->SetRowIndex(1);
         }, "3|0;2"},
        {"first band hidden", [&] { Tree->Bands()->Items(0)->SetVisible(false); }, "2"},
        {"band shown, column moved", [&] {
             Tree->Bands()->Items(0)->SetVisible(true);
             Tree->Columns(2)->SetIndex(0);
         }, "3|1;0"},
        {"band moved", [&] { Tree->Bands()->Items(1)->SetIndex(0); }, "0;3|1"},
    };
    for (const Case& C : Cases) {
        C.Change();
        EXPECT_TRUE(Tree->LayoutListsBuilt()) << C.Step << ": the answers come from the lists";
        EXPECT_EQ(C.Grid, GridText(Tree)) << C.Step;
        // The same questions with the lists gone are computed from the bands and columns.
        Tree->ClearRowCache();
        EXPECT_FALSE(Tree->LayoutListsBuilt());
        EXPECT_EQ(C.Grid, GridText(Tree)) << C.Step << " (computed)";
        Tree->LayoutChanged();
    }
    EXPECT_EQ(-1, Tree->GetColumnAt(0, 0, 5));
    EXPECT_EQ(-1, Tree->GetColumnAt(3, 0, 0));
    EXPECT_EQ(0, Tree->GetColumnCountInRow(-1, 0));
}

TEST_F(ControlTest, CachedColumnWidthsFollowTheControlsWidth) {
    Tree->SetOptions(Tree->Options() + TdxTreeListOptions{toAutoWidth});
    for (int I = 0; I < 3; ++I)
        Tree->CreateColumn(TdxTreeListColumn::StaticClass(), Form)->SetWidth(50 + 25 * I);
    Pump();
    auto Widths = [&] {
        std::vector<int> W;
        for (int I = 0; I < 3; ++I)
            W.push_back(Tree->GetColumnDisplayWidth(I));
        return W;
    };
    const std::vector<int> Before = Widths();
    Tree->SetBounds(0, 0, 500, 250);
    Pump();
    const std::vector<int> After = Widths();
    EXPECT_NE(Before, After) << "an automatic width follows the control";
    EXPECT_TRUE(Tree->LayoutListsBuilt());
    Tree->ClearRowCache();
    EXPECT_EQ(After, Widths()) << "the cached widths equal the computed ones";
    Tree->LayoutChanged();
    // A size set without a window still gives fresh widths.
    Tree->SetParent(nullptr);
    Tree->SetBounds(0, 0, 300, 250);
    const std::vector<int> Small = Widths();
    Tree->ClearRowCache();
    EXPECT_EQ(Small, Widths());
}

TEST_F(ControlTest, AHotCellsCursorIsKeptUntilTheMouseLeavesAndTheUsersCursorComesBack) {
    TwoBandsFourColumns();
    Tree->SetOptionsEx(Tree->OptionsEx() + TdxTreeListOptionsEx{txHotTrack});
    TdxTreeListNode* N = Row({"a", "b", "c", "d"});
    Row({"e", "f", "g", "h"});
    Tree->OnGetHotCursor = TdxTreeListHotCursorEvent::FromFunction([](TObject*, HitInfo Info, TCursor& C) {
        if (Info.Node && Info.Column == 1)
            C = crHandPoint;
    });
    Pump();
    auto CellCenter = [&](int Column) {
        TRect R;
        Tree->GetCellRect(N, Column, R);
        return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
    };
    auto MoveTo = [&](int Column) { SendMouse(Tree, WM_MOUSEMOVE, CellCenter(Column), 0); };
    Tree->SetCursor(crCross);
    struct Case {
        int Column;
        TCursor Expected;
    };
    for (const Case& C : {Case{1, crHandPoint}, Case{0, crCross}, Case{1, crHandPoint}, Case{2, crCross}}) {
        MoveTo(C.Column);
        EXPECT_EQ(C.Expected, Tree->Cursor()) << C.Column;
        // The window shows the control's cursor on the next WM_SETCURSOR.
        const TPoint S = Tree->ClientToScreen(CellCenter(C.Column));
        Tree->Perform(WM_NCHITTEST, 0, MAKELPARAM(S.X, S.Y));
        Tree->Perform(WM_SETCURSOR, reinterpret_cast<WPARAM>(Tree->Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(Screen->Cursors(C.Expected), GetCursor()) << C.Column;
    }
    Tree->SetCursor(crIBeam);
    MoveTo(1);
    EXPECT_EQ(crHandPoint, Tree->Cursor());
    MoveTo(3);
    EXPECT_EQ(crIBeam, Tree->Cursor()) << "the cursor set by the user last";
}

TEST_F(ControlTest, MaxLengthAndReadOnlyAnswerTheirDefaultsUntilSetAndStreamOnlyWhenSetOtherwise) {
    auto* C = static_cast<TFieldLikeColumn*>(Tree->CreateColumn(TFieldLikeColumn::StaticClass(), Form));
    struct Case {
        const char* Step;
        std::function<void()> Change;
        int MaxLength;
        bool ReadOnly, MaxLengthStored, ReadOnlyStored;
    };
    const Case Cases[] = {
        {"new", [] {}, 5, true, false, false},
        {"set to the defaults", [&] { C->SetMaxLength(5); C->SetReadOnly(true); }, 5, true, false, false},
        {"set otherwise", [&] { C->SetMaxLength(0); C->SetReadOnly(false); }, 0, false, true, true},
        {"defaults restored", [&] { C->RestoreDefaults(); }, 5, true, false, false},
    };
    for (const Case& K : Cases) {
        K.Change();
        EXPECT_EQ(K.MaxLength, C->MaxLength()) << K.Step;
        EXPECT_EQ(K.ReadOnly, C->ReadOnly()) << K.Step;
        EXPECT_EQ(K.MaxLengthStored, C->IsMaxLengthStored()) << K.Step;
        EXPECT_EQ(K.ReadOnlyStored, C->IsReadOnlyStored()) << K.Step;
    }
    // Only what was set otherwise is written, and reads back.
    TdxTreeListColumn* P = Tree->CreateColumn(TdxTreeListColumn::StaticClass(), Form);
    P->SetMaxLength(8);
    P->SetOEMConvert(true);
    P->SetReadOnly(false);
    P->PasswordChar = '*';
    P->CharCase = ecUpperCase;
    C->SetReadOnly(false);
    RegisterClass(TFieldLikeColumn::StaticClass());
    TForm* Back = nullptr;
    TCustomdxTreeListControl* T = StreamBack(Back);
    ASSERT_NE(nullptr, T);
    ASSERT_EQ(2, T->ColumnCount());
    EXPECT_EQ(5, T->Columns(0)->MaxLength());
    EXPECT_FALSE(T->Columns(0)->ReadOnly()) << "set otherwise than the default";
    EXPECT_FALSE(T->Columns(0)->IsMaxLengthStored());
    EXPECT_EQ(8, T->Columns(1)->MaxLength());
    EXPECT_TRUE(T->Columns(1)->OEMConvert());
    EXPECT_FALSE(T->Columns(1)->IsReadOnlyStored()) << "false is the default";
    EXPECT_EQ('*', T->Columns(1)->PasswordChar);
    EXPECT_EQ(ecUpperCase, T->Columns(1)->CharCase);
    Back->Free();
}

TEST_F(ControlTest, TheEditorTakesTheColumnsLimitConversionAndReadOnlyState) {
    Form->Free();
    Form = NewForm();
    auto* L = Create<TLockableTreeList>(Form);
    L->SetName("Tree");
    L->SetParent(Form);
    L->SetBounds(0, 0, 380, 250);
    Tree = L;
    Tree->SetOptions(TdxTreeListOptions{toEditing});
    Tree->CreateColumn(TdxTreeListColumn::StaticClass(), Form)->SetMaxLength(3);
    Tree->Columns(0)->SetOEMConvert(true);
    TdxTreeListNode* N = Row({"x"});
    Tree->SetFocus();
    Tree->SetFocused(N);
    struct Case {
        const char* Step;
        bool Locked, ColumnReadOnly;
        const char* Typed;
        const char* Result;
    };
    for (const Case& C : {Case{"limited to 3", false, false, "abcdef", "abc"},
                          Case{"read-only column", false, true, "zz", "abc"},
                          Case{"control edits nothing", true, false, "zz", "abc"}}) {
        L->Locked = C.Locked;
        Tree->Columns(0)->SetReadOnly(C.ColumnReadOnly);
        EXPECT_EQ(C.Locked || C.ColumnReadOnly, Tree->Columns(0)->ReadOnly()) << C.Step;
        Tree->ShowEditor();
        auto* E = dynamic_cast<TdxInplaceTextEdit*>(Tree->InplaceEditor());
        ASSERT_NE(nullptr, E) << C.Step;
        EXPECT_EQ(3, E->MaxLength()) << C.Step;
        EXPECT_TRUE(E->OEMConvert()) << C.Step;
        for (const char* P = C.Typed; *P; ++P)
            PostMessageA(E->Handle(), WM_CHAR, static_cast<WPARAM>(*P), 1);
        Pump();
        PostMessageA(E->Handle(), WM_KEYDOWN, VK_RETURN, 1);
        Pump();
        EXPECT_EQ(C.Result, N->Strings(0)) << C.Step;
    }
}

TEST_F(ControlTest, AssignColumnsCopiesClassesSettingsAndNames) {
    TForm* Other = NewForm();
    Other->SetName("OtherForm");
    TCustomdxTreeListControl* Source = Place(Other);
    Source->CreateColumn(TdxTreeListColumn::StaticClass(), Other)->SetCaption("Name");
    auto* M = static_cast<TdxTreeListMaskColumn*>(Source->CreateColumn(TdxTreeListMaskColumn::StaticClass(), Other));
    M->SetWidth(140);
    M->EditMask = "000";
    M->SetReadOnly(true);
    M->SetMaxLength(3);
    M->SetVisible(false);
    Source->Columns(0)->SetName("NameColumn");
    TdxTreeListColumn* Old = Tree->CreateColumn(TdxTreeListColumn::StaticClass(), Form);
    Old->SetCaption("old");
    Tree->AssignColumns(Source);
    ASSERT_EQ(2, Tree->ColumnCount());
    EXPECT_EQ(TdxTreeListColumn::StaticClass(), Tree->Columns(0)->ClassType());
    EXPECT_EQ(TdxTreeListMaskColumn::StaticClass(), Tree->Columns(1)->ClassType());
    EXPECT_EQ("NameColumn", Tree->Columns(0)->Name());
    EXPECT_EQ(M->Name(), Tree->Columns(1)->Name());
    EXPECT_EQ("Name", Tree->Columns(0)->Caption());
    EXPECT_FALSE(Tree->Columns(0)->IsWidthAssigned()) << "an unset width stays unset";
    EXPECT_EQ(140, Tree->Columns(1)->Width());
    EXPECT_EQ("000", static_cast<TdxTreeListMaskColumn*>(Tree->Columns(1))->EditMask);
    EXPECT_TRUE(Tree->Columns(1)->ReadOnly());
    EXPECT_EQ(0, Tree->Columns(1)->MaxLength()) << "the text limit is not copied";
    EXPECT_FALSE(Tree->Columns(1)->Visible());
    for (int I = 0; I < 2; ++I)
        EXPECT_EQ(Form, Tree->Columns(I)->Owner()) << "owned as the first old column was";
    EXPECT_EQ(nullptr, Form->FindComponent("TreeColumn1")) << "the old column is gone";
    // Without columns of its own the control owns the copies.
    auto* Empty = Create<TCustomdxTreeListControl>(Other);
    Empty->SetName("Empty");
    Empty->SetParent(Other);
    Empty->AssignColumns(Tree);
    ASSERT_EQ(2, Empty->ColumnCount());
    EXPECT_EQ(Empty, Empty->Columns(0)->Owner());
    EXPECT_EQ("NameColumn", Empty->Columns(0)->Name());
    Other->Free();
}

TEST_F(ControlTest, EveryRenameOfAColumnIsReported) {
    std::vector<std::string> Names;
    TdxTreeListColumn* C = Tree->CreateColumn(TdxTreeListColumn::StaticClass(), Form);
    C->OnNameChanged = TNotifyEvent::FromFunction(
        [&](TObject* S) { Names.push_back(static_cast<TdxTreeListColumn*>(S)->Name()); });
    C->SetName("First");
    C->SetName("First");
    C->SetName("Second");
    EXPECT_EQ((std::vector<std::string>{"First", "Second"}), Names) << "an unchanged name is no rename";
    EXPECT_THROW(C->SetName("Tree"), EComponentError);
    EXPECT_EQ(2u, Names.size()) << "a refused name is no rename";
}

TEST_F(ControlTest, NodesTakeTheirPlaceWhenTheirSortedTextIsSetOrEdited) {
    TwoBandsFourColumns();
    Tree->SetOptions(TdxTreeListOptions{toEditing});
    for (const char* S : {"d", "b", "f"})
        Row({S, S});
    Tree->Columns(0)->SetSorted(csUp);
    ASSERT_EQ("bdf", ColumnTexts(0));
    TdxTreeListNode* Parent = Tree->GetNodeAtRow(1);
    struct Case {
        const char* Step;
        std::function<void()> Change;
        const char* Order;
    };
    TdxTreeListNode* Added = nullptr;
    const Case Cases[] = {
        {"added empty", [&] { Added = Tree->Add(); }, "bdf"},
        {"its text set", [&] { Added->SetStrings(0, "c"); }, "bcdf"},
        {"another text set", [&] { Tree->GetNodeAtRow(0)->SetStrings(0, "z"); }, "cdfz"},
        {"an unsorted column set", [&] { Tree->GetNodeAtRow(0)->SetStrings(1, "a"); }, "cdfz"},
        {"a value set", [&] { Tree->GetNodeAtRow(3)->SetValues(0, std::string("a")); }, "acdf"},
        {"children placed among themselves", [&] {
             for (const char* S : {"d2", "d1"})
                 Parent->AddChild()->SetStrings(0, S);
             Parent->SetExpanded(true);
         }, "acdd1d2f"},
        {"a parent with its children", [&] { Parent->SetStrings(0, "e"); }, "aced1d2f"},
        {"descending", [&] { Tree->Columns(0)->SetSorted(csDown); }, "fed2d1ca"},
        {"inside an update", [&] {
             Tree->BeginUpdate();
             Tree->GetNodeAtRow(0)->SetStrings(0, "b");
             EXPECT_EQ(Tree->GetRootNode(0)->Strings(0), "b") << "no move while updating";
             Tree->EndUpdate();
         }, "ed2d1cba"},
    };
    for (const Case& C : Cases) {
        C.Change();
        EXPECT_EQ(C.Order, ColumnTexts(0)) << C.Step;
    }
    // Editing the focused cell moves the row; the focus stays on it.
    TdxTreeListNode* N = Tree->GetNodeAtRow(0);
    Tree->SetFocus();
    Tree->SetFocused(N);
    Tree->SetFocusedColumn(0);
    Tree->ShowEditor();
    ASSERT_NE(nullptr, Tree->InplaceEditor());
    for (char K : {'b', 'b'})
        PostMessageA(Tree->InplaceEditor()->Handle(), WM_CHAR, static_cast<WPARAM>(K), 1);
    Pump();
    PostMessageA(Tree->InplaceEditor()->Handle(), WM_KEYDOWN, VK_RETURN, 1);
    Pump();
    EXPECT_EQ("cbbd2d1ba", ColumnTexts(0)) << "the row and its children moved down";
    EXPECT_EQ(N, Tree->FocusedNode());
    EXPECT_EQ(N, Tree->GetNodeAtRow(Tree->GetFocusedRowIndex()));
}

TEST_F(ControlTest, AnAutomaticHeaderRowCountFollowsTheColumnsRows) {
    for (int I = 0; I < 3; ++I)
        Tree->CreateColumn(TdxTreeListColumn::StaticClass(), Form);
    Tree->SetHeaderPanelRowCountValue(3);
    Tree->Columns(1)->SetRowIndex(1);
    Tree->Columns(2)->SetRowIndex(2);
    Tree->SetOptionsEx(Tree->OptionsEx() + TdxTreeListOptionsEx{txAutoHeaderPanelRowCount});
    Tree->Columns(2)->SetVisible(false);
    EXPECT_EQ(2, Tree->HeaderPanelRowCountValue()) << "the emptied row goes";
    EXPECT_EQ(1, Tree->Columns(2)->StoredRowIndex()) << "the hidden column moves up with it";
    EXPECT_TRUE(Tree->IsAutoHeaderPanelRowCount());
    EXPECT_FALSE(Tree->IsHeaderPanelRowCountStored()) << "the columns give the count";
    Tree->Columns(1)->SetVisible(false);
    EXPECT_EQ(1, Tree->HeaderPanelRowCountValue());
    Tree->SetHeaderPanelRowCountValue(4);
    EXPECT_FALSE(Tree->IsAutoHeaderPanelRowCount()) << "a count set from outside ends the automatic one";
    EXPECT_EQ(4, Tree->HeaderPanelRowCountValue());
    EXPECT_TRUE(Tree->IsHeaderPanelRowCountStored());
    struct Case {
        const char* Step;
        std::function<void()> Change;
        int BandMax, Bands, HeaderMax, Headers, HeaderMin;
    };
    const Case Cases[] = {
        {"header maximum lowered", [&] { Tree->SetHeaderPanelMaxRowCount(2); }, 5, 1, 2, 2, 1},
        {"below 1", [&] {
             Tree->SetHeaderPanelMaxRowCount(0);
             Tree->SetBandMaxRowCount(-4);
             Tree->SetHeaderMinRowCount(0);
         }, 1, 1, 1, 1, 1},
        {"raised", [&] {
             Tree->SetBandMaxRowCount(3);
             Tree->SetBandRowCountValue(9);
             Tree->SetHeaderMinRowCount(2);
         }, 3, 3, 1, 1, 2},
    };
    for (const Case& C : Cases) {
        C.Change();
        EXPECT_EQ(C.BandMax, Tree->BandMaxRowCount) << C.Step;
        EXPECT_EQ(C.Bands, Tree->BandRowCount()) << C.Step;
        EXPECT_EQ(C.HeaderMax, Tree->HeaderPanelMaxRowCount) << C.Step;
        EXPECT_EQ(C.Headers, Tree->HeaderPanelRowCountValue()) << C.Step;
        EXPECT_EQ(C.HeaderMin, Tree->GetHeaderMinRowCount()) << C.Step;
    }
}

TEST_F(ControlTest, ALoadedLayoutSortsTheNodesByItsStoredSortOrder) {
    TwoBandsFourColumns();
    Tree->SetOptionsEx(Tree->OptionsEx() + TdxTreeListOptionsEx{txMultiSort});
    for (const auto& R : std::vector<std::vector<std::string>>{{"1", "b"}, {"2", "a"}, {"1", "a"}})
        Row(R);
    Tree->Columns(1)->SetSorted(csUp);
    Tree->Columns(0)->SetSorted(csUp);
    ASSERT_EQ("121", ColumnTexts(0)) << "by the second column, then the first";
    testing_support::TempDir Dir;
    const std::string File = Dir / "layout.ini";
    Tree->SaveLayoutToIniFile(File);
    for (int C : {1, 0})
        Tree->Columns(C)->SetSorted(csNone);
    for (int C : {0, 1})
        Tree->Columns(C)->SetSorted(csUp);
    ASSERT_EQ("112", ColumnTexts(0)) << "by the first column, then the second";
    Tree->LoadLayoutFromIniFile(File);
    ASSERT_EQ(2, Tree->SortedColumnCount());
    EXPECT_EQ(Tree->Columns(1), Tree->SortedColumns(0));
    EXPECT_EQ("121", ColumnTexts(0)) << "the nodes follow the loaded order";
}
