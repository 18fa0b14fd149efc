// The data-aware grid over the in-memory dataset: columns made from the fields by the default
// column table, rows in data-set order, the cursor and the focused row kept together, editing
// posted or cancelled, and an untouched insert cancelled on leaving.
#include "dxDBGridTestSupport.h"
#include "dxTLTestSupport.h"

using namespace treelist_tests;

namespace {
struct DBGridTest : DataGridTest {
    TdxInplaceEdit* Editor() { return Grid->InplaceEditor(); }
    bool EditorShown() { return treelist_tests::EditorShown(Editor()); }
    void TypeIntoEditor(const std::string& Text) { treelist_tests::TypeIntoEditor(Editor(), Text); }
    void KeyToEditor(WPARAM Key) { treelist_tests::KeyToEditor(Editor(), Key); }
    // An edit control on the form to move the focus to, with the focus in the grid meanwhile.
    TEdit* FocusGridBesideAnEdit() {
        auto* Other = Create<TEdit>(Form);
        Other->SetParent(Form);
        Other->SetBounds(0, 210, 100, 20);
        Grid->SetFocus();
        Pump();
        return Other;
    }
    // Opens the editor on the Owner cell of the focused row with the text selected.
    void EditOwner() {
        Grid->SetFocus();
        Grid->SetFocusedColumn(Grid->GetColumnNavigationIndex(ColumnOf("Owner")));
        Grid->ShowEditor();
        ASSERT_TRUE(EditorShown());
    }
};
}  // namespace

TEST_F(DBGridTest, OneColumnPerVisibleFieldOfTheDefaultTablesClass) {
    Bind();
    struct Case {
        const char* Field;
        const char* Class;
    };
    const Case Cases[] = {
        {"No", "TdxDBGridMaskColumn"},       {"Owner", "TdxDBGridMaskColumn"},  {"Count", "TdxDBGridMaskColumn"},
        {"Paid", "TdxDBGridCheckColumn"},    {"Packed", "TdxDBGridDateColumn"}, {"Fruit", "TdxDBGridLookupColumn"},
    };
    ASSERT_EQ(Grid->ColumnCount(), 6) << "the hidden key field gets no column";
    for (int I = 0; I < 6; ++I) {
        SCOPED_TRACE(Cases[I].Field);
        TdxDBTreeListColumn* C = Grid->DBColumns(I);
        EXPECT_EQ(C->FieldName(), Cases[I].Field) << "columns in field order";
        EXPECT_EQ(C->ClassName(), Cases[I].Class);
        EXPECT_EQ(C->Field(), Baskets->FieldByName(Cases[I].Field));
        EXPECT_EQ(C->Caption(), Baskets->FieldByName(Cases[I].Field)->DisplayLabel());
    }
    EXPECT_EQ(Grid->ColumnByFieldName("OWNER")->Caption(), "Owner's name");
}

TEST_F(DBGridTest, WidthsComeFromTheFieldsDisplayWidths) {
    Bind();
    HDC DC = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Grid->Font()->Handle());
    SIZE Zero{};
    GetTextExtentPoint32A(DC, "0", 1, &Zero);
    TEXTMETRICA TM{};
    GetTextMetricsA(DC, &TM);
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
    auto Expected = [&](int DisplayWidth) { return (Zero.cx - TM.tmOverhang) * DisplayWidth + TM.tmOverhang + 4; };
    TdxDBTreeListColumn* Owner = Grid->ColumnByFieldName("Owner");
    EXPECT_EQ(Owner->Width(), Expected(30)) << "a 30-character field is wider than its caption";
    EXPECT_FALSE(Owner->IsWidthAssigned()) << "a width from the field is not stored";
    TdxDBTreeListColumn* Count = Grid->ColumnByFieldName("Count");
    EXPECT_GE(Count->Width(), Expected(4));
    EXPECT_GT(Owner->Width(), Count->Width());
    Owner->SetWidth(50);
    EXPECT_EQ(Owner->Width(), 50);
}

TEST_F(DBGridTest, RowsShowTheDisplayTextsInDataSetOrder) {
    Bind();
    ASSERT_EQ(Grid->GetRowCount(), 3);
    EXPECT_EQ(ColumnTexts(ColumnOf("No")), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(ColumnTexts(ColumnOf("Owner")), (std::vector<std::string>{"Ann", "Bob", "Cy"}));
    EXPECT_EQ(ColumnTexts(ColumnOf("Count")), (std::vector<std::string>{"3", "12", "7"}));
    EXPECT_EQ(ColumnTexts(ColumnOf("Paid")), (std::vector<std::string>{"True", "False", "True"}));
    EXPECT_EQ(ColumnTexts(ColumnOf("Packed")),
              (std::vector<std::string>{DateToStr(45000), DateToStr(45001), DateToStr(45002)}));
    EXPECT_EQ(ColumnTexts(ColumnOf("Fruit")), (std::vector<std::string>{"Apple", "Cherry", "Banana"}));
    // The lookup cell keeps the key it shows the text of.
    Variant Key;
    Grid->DBColumns(ColumnOf("Fruit"))->GetNodeValue(Grid->GetNodeAtRow(1), Key);
    EXPECT_EQ(Key, Variant(3));
}

TEST_F(DBGridTest, TheCursorAndTheFocusedRowFollowEachOther) {
    Bind();
    EXPECT_EQ(Grid->FocusedNode(), Grid->GetNodeAtRow(0));
    Baskets->Next();
    Pump();
    EXPECT_EQ(Grid->FocusedNode(), Grid->GetNodeAtRow(1));
    Baskets->Last();
    EXPECT_EQ(Grid->FocusedNode(), Grid->GetNodeAtRow(2));

    Grid->SetFocused(Grid->GetNodeAtRow(0));
    EXPECT_EQ(Baskets->FieldByName("Owner")->AsString(), "Ann");
    Grid->SetFocus();
    PostMessageA(Grid->Handle(), WM_KEYDOWN, VK_DOWN, 1);
    Pump();
    EXPECT_EQ(Grid->FocusedNode(), Grid->GetNodeAtRow(1));
    EXPECT_EQ(Baskets->FieldByName("Owner")->AsString(), "Bob");
}

TEST_F(DBGridTest, EnterPostsTheEditedCell) {
    Bind();
    Baskets->Next();
    EditOwner();
    TypeIntoEditor("Dan");
    EXPECT_EQ(Baskets->State(), dsEdit) << "typing puts the record into editing";
    KeyToEditor(VK_RETURN);
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(Baskets->State(), dsBrowse);
    EXPECT_EQ(Baskets->FieldByName("Owner")->AsString(), "Dan");
    EXPECT_EQ(ColumnTexts(ColumnOf("Owner")), (std::vector<std::string>{"Ann", "Dan", "Cy"}));
    EXPECT_EQ(Grid->FocusedNode(), Grid->GetNodeAtRow(1));
}

TEST_F(DBGridTest, EscapeCancelsTheEdit) {
    Bind();
    EditOwner();
    TypeIntoEditor("Eve");
    KeyToEditor(VK_ESCAPE);
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(Baskets->State(), dsBrowse);
    EXPECT_EQ(Baskets->FieldByName("Owner")->AsString(), "Ann");
    EXPECT_EQ(ColumnTexts(ColumnOf("Owner")), (std::vector<std::string>{"Ann", "Bob", "Cy"}));
}

TEST_F(DBGridTest, AnUntouchedInsertIsCancelledOnLeaving) {
    Bind();
    TEdit* Other = FocusGridBesideAnEdit();
    Baskets->Insert();
    Pump();
    EXPECT_EQ(Grid->GetRowCount(), 4) << "the inserted record shows as a row";
    EXPECT_EQ(Grid->GetRowTag(Grid->FocusedNode(), false), 3);
    Other->SetFocus();
    Pump();
    EXPECT_EQ(Baskets->State(), dsBrowse);
    EXPECT_EQ(Baskets->RecordCount(), 3);
    EXPECT_EQ(Grid->GetRowCount(), 3);
}

TEST_F(DBGridTest, AModifiedInsertIsKeptOnLeaving) {
    Bind();
    TEdit* Other = FocusGridBesideAnEdit();
    Baskets->Insert();
    Baskets->FieldByName("Owner")->SetAsString("Flo");
    Other->SetFocus();
    Pump();
    EXPECT_EQ(Baskets->State(), dsInsert);
    EXPECT_EQ(Baskets->FieldByName("Owner")->AsString(), "Flo");
    Baskets->Post();
    EXPECT_EQ(Baskets->RecordCount(), 4);
    EXPECT_EQ(Grid->GetRowCount(), 4);
}

TEST_F(DBGridTest, ColumnsFollowTheFieldsUnlessTheGridKeepsItsOwn) {
    Bind();
    EXPECT_THROW(Grid->DestroyFieldColumns(), Exception);
    EXPECT_EQ(Grid->ColumnCount(), 6);
    Grid->SetDefaultFields(false);
    Grid->DestroyFieldColumns();
    EXPECT_EQ(Grid->ColumnCount(), 0);
    TdxDBTreeListColumn* C = Grid->CreateFieldColumn(TdxDBGridColumn::StaticClass(), Form);
    C->SetFieldName("count");
    EXPECT_EQ(C->Field(), Baskets->FieldByName("Count")) << "names bind in any case";
    C->SetFieldName("Nothing");
    EXPECT_EQ(C->Field(), nullptr);
    EXPECT_EQ(Grid->GetFocusedField(), nullptr);
}

TEST_F(DBGridTest, SortingAColumnOrdersByTheFieldValues) {
    Bind();
    Grid->ColumnByFieldName("Count")->SetSorted(csUp);
    EXPECT_EQ(ColumnTexts(ColumnOf("Count")), (std::vector<std::string>{"3", "7", "12"}))
        << "numbers sort as numbers, not as texts";
    Grid->SetFocused(Grid->GetNodeAtRow(2));
    EXPECT_EQ(Baskets->FieldByName("Owner")->AsString(), "Bob");
    Grid->ColumnByFieldName("Count")->SetSorted(csDown);
    EXPECT_EQ(ColumnTexts(ColumnOf("Count")), (std::vector<std::string>{"12", "7", "3"}));
    Grid->ColumnByFieldName("Count")->SetSorted(csNone);
    EXPECT_EQ(ColumnTexts(ColumnOf("Count")), (std::vector<std::string>{"3", "12", "7"})) << "data-set order again";
}

TEST_F(DBGridTest, IncrementalSearchMovesTheDataSet) {
    Bind();
    TdxTreeListNode* Node = nullptr;
    const int Owner = ColumnOf("Owner");
    EXPECT_TRUE(Grid->FindNodeByText(Owner, "c", Node, 0));
    EXPECT_EQ(Baskets->FieldByName("Owner")->AsString(), "Cy");
    EXPECT_EQ(Grid->FocusedNode(), Grid->GetNodeAtRow(2));
    EXPECT_TRUE(Grid->FindNodeByText(Owner, "a", Node, 2)) << "forwards from the last record wraps";
    EXPECT_EQ(Baskets->FieldByName("Owner")->AsString(), "Ann");
    EXPECT_FALSE(Grid->FindNodeByText(Owner, "zz", Node, 2)) << "a round without a match ends";
    EXPECT_EQ(Baskets->FieldByName("Owner")->AsString(), "Ann") << "and leaves the record where it began";
}

TEST_F(DBGridTest, TheLookupColumnEditsTheKeyThroughItsList) {
    Bind();
    Baskets->Next();
    Grid->SetFocus();
    Grid->SetFocusedColumn(Grid->GetColumnNavigationIndex(ColumnOf("Fruit")));
    Grid->ShowEditor();
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(Editor()->ClassType(), TdxInplaceDBTreeListLookupEdit::StaticClass());
    EXPECT_EQ(Editor()->Text(), "Cherry");
    TypeIntoEditor("ap");
    EXPECT_EQ(Editor()->Text(), "Apple");
    EXPECT_EQ(Baskets->State(), dsEdit);
    KeyToEditor(VK_RETURN);
    EXPECT_EQ(Baskets->State(), dsBrowse);
    EXPECT_EQ(Baskets->FieldByName("FruitID")->AsInteger(), 1) << "the key of the chosen list row";
    EXPECT_EQ(ColumnTexts(ColumnOf("Fruit")), (std::vector<std::string>{"Apple", "Apple", "Banana"}));
}

TEST_F(DBGridTest, AHeaderClickSortsByThatColumnAloneUnlessShiftAddsIt) {
    Bind();
    Grid->SetOptionsEx(Grid->OptionsEx() + TdxTreeListOptionsEx{txMultiSort});
    const int Count = ColumnOf("Count"), Owner = ColumnOf("Owner");
    auto Click = [&](int Column, WPARAM Keys) {
        const TPoint P = HeaderCellCenter(Grid, Column);
        SendMouse(Grid, WM_LBUTTONDOWN, P, MK_LBUTTON | Keys);
        SendMouse(Grid, WM_LBUTTONUP, P, Keys);
    };
    struct Case {
        int Column;
        WPARAM Keys;
        TdxTreeListColumnSort CountSorted, OwnerSorted;
    };
    const Case Cases[] = {
        {Count, 0, csUp, csNone},
        {Owner, 0, csNone, csUp},         // the other column's sort is cleared
        {Count, MK_SHIFT, csUp, csUp},    // Shift sorts by one more column
        {Owner, 0, csNone, csDown},
    };
    for (const Case& C : Cases) {
        Click(C.Column, C.Keys);
        EXPECT_EQ(Grid->Columns(Count)->Sorted(), C.CountSorted) << C.Column << " " << C.Keys;
        EXPECT_EQ(Grid->Columns(Owner)->Sorted(), C.OwnerSorted) << C.Column << " " << C.Keys;
    }
    EXPECT_EQ(ColumnTexts(Owner), (std::vector<std::string>{"Cy", "Bob", "Ann"}));
}

namespace {
// The user's currency symbol set for a while (the prefix's registry), given back however the test ends.
// The old symbol is kept wide: the prefix's own (a rouble sign) has no place in the ANSI code page.
struct TCurrencySymbolSet {
    wchar_t Old[16] = {};
    explicit TCurrencySymbolSet(const char* Symbol) {
        GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, Old, 16);
        SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, Symbol);
        SendMessageA(Application->Handle(), WM_WININICHANGE, 0, 0);
    }
    ~TCurrencySymbolSet() {
        SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, Old);
        SendMessageA(Application->Handle(), WM_WININICHANGE, 0, 0);
    }
};
}  // namespace

TEST_F(DBGridTest, ACurrencyColumnTakesTheSystemsNewCurrencyFormatUnlessItsOwnIsSet) {
    Bind();
    Grid->SetDefaultFields(false);
    auto NewColumn = [&] {
        return static_cast<TdxDBTreeListCurrencyColumn*>(
            Grid->CreateColumnOfClass(TdxDBGridCurrencyColumn::StaticClass()));
    };
    TdxDBTreeListCurrencyColumn* System = NewColumn();
    TdxDBTreeListCurrencyColumn* Own = NewColumn();
    Own->SetDisplayFormat("0.0");
    {
        TCurrencySymbolSet Set("Qz");
        EXPECT_NE(System->DisplayFormat().find("Qz"), std::string::npos) << System->DisplayFormat();
        EXPECT_EQ(Own->DisplayFormat(), "0.0");
    }
    EXPECT_EQ(System->DisplayFormat().find("Qz"), std::string::npos) << "the old symbol is back";
}

TEST_F(DBGridTest, HorizontalScrollingStepsFromColumnEdgeToColumnEdge) {
    Bind();
    Grid->SetBounds(0, 0, 160, 200);
    Pump();
    std::vector<int> Edges{0};
    for (int I = 0; I + 1 < Grid->ColumnCount(); ++I)
        Edges.push_back(Edges.back() + Grid->Columns(I)->Width());
    const int Max = Grid->GetMaxLeftCoord();
    ASSERT_GT(Max, Edges[2]) << "the grid must be narrower than its columns";
    auto Scroll = [&](int Code, int Pos = 0) {
        Grid->Perform(WM_HSCROLL, MAKEWPARAM(Code, Pos), 0);
        return Grid->LeftCoord();
    };
    EXPECT_EQ(Scroll(SB_LINERIGHT), Edges[1]);
    EXPECT_EQ(Scroll(SB_LINERIGHT), Edges[2]);
    EXPECT_EQ(Scroll(SB_LINELEFT), Edges[1]);
    EXPECT_EQ(Scroll(SB_LINELEFT), Edges[0]);
    EXPECT_EQ(Scroll(SB_LINELEFT), 0) << "no step before the first column";
    EXPECT_EQ(Scroll(SB_THUMBPOSITION, Max + 5), Max);
    EXPECT_EQ(Scroll(SB_THUMBPOSITION, 0), 0);
    // Inside a column: the edge on its left in the first half of the range.
    EXPECT_EQ(Scroll(SB_THUMBPOSITION, Edges[1] + 3), Edges[1]);
    for (int I = 0; I < 20; ++I)
        Scroll(SB_LINERIGHT);
    EXPECT_EQ(Grid->LeftCoord(), Max) << "the steps end at the greatest position";
}

TEST_F(DBGridTest, TheFooterShowsEachColumnsSummaryOfTheRecords) {
    Bind();
    Grid->SetShowFooter(true);
    auto* Count = Grid->ColumnByFieldName("Count");
    struct Case {
        TdxSummaryType Type;
        const char* Format;
        const char* Text;
    };
    const Case Cases[] = {{cstSum, "0", "22"}, {cstMin, "0", "3"}, {cstMax, "0", "12"},
                          {cstCount, "", "3"}, {cstAvg, "0.0", "7"}, {cstNone, "", ""}};
    for (const Case& C : Cases) {
        Count->SetSummaryFooterType(C.Type);
        Count->SummaryFooterFormat = C.Format;
        std::string Want = C.Text;
        if (C.Type == cstAvg)
            Want = FormatFloat("0.0", 22.0 / 3);
        EXPECT_EQ(Grid->GetGroupFooterText(nullptr, Grid->IndexOfColumn(Count), -1), Want) << C.Type;
        EXPECT_EQ(Grid->IsColumnFooterShown(Grid->IndexOfColumn(Count)), C.Type != cstNone);
    }
    // A posted change is summed again.
    Count->SetSummaryFooterType(cstSum);
    Count->SummaryFooterFormat = "0";
    EXPECT_EQ(Grid->GetGroupFooterText(nullptr, Grid->IndexOfColumn(Count), -1), "22");
    Baskets->Edit();
    Baskets->FieldByName("Count")->SetAsInteger(30);
    Baskets->Post();
    Pump();
    EXPECT_EQ(Grid->GetGroupFooterText(nullptr, Grid->IndexOfColumn(Count), -1), "49");
}

TEST_F(DBGridTest, TheColumnsDrawingEventsPaintTheirCellsHeadersAndFooters) {
    Bind();
    Grid->SetShowFooter(true);
    auto* Owner = Grid->ColumnByFieldName("Owner");
    Owner->SetSummaryFooterType(cstCount);
    Owner->OnCustomDraw = TdxTLCustomDrawEvent::FromFunction(
        [&](TObject* Sender, TCanvas*, TRect, TdxTreeListNode* Node, TdxTreeListColumn* Column, const std::string&,
            TFont*, TColor& Color, bool, bool, bool&) {
            EXPECT_EQ(Sender, Owner);
            EXPECT_EQ(Column, Owner);
            if (Node == Grid->GetNodeAtRow(2))
                Color = clRed;
        });
    Owner->OnCustomDrawHeader = TCustomDrawHeaderEvent::FromFunction(
        [&](TObject* Sender, TCanvas* Canvas, TRect& Rect, TdxTreeListColumn*, bool& Done) {
            EXPECT_EQ(Sender, Grid);
            Canvas->Brush()->SetColor(clFuchsia);
            Canvas->FillRect(Rect);
            Done = true;
        });
    Owner->OnDrawSummaryFooter = TdxDrawSummaryFooter::FromFunction(
        [&](TObject*, TCanvas*, TRect, std::string& Text, TAlignment&, TFont*, TColor& Color, bool&) {
            Text.clear();
            Color = clBlue;
        });
    TOwned<TBitmap> B(SolidBitmap(Grid->Width(), Grid->Height(), clBlack));
    Grid->PaintTo(B->Canvas()->Handle(), 0, 0);
    Layout L;
    Grid->CalcLayout(L);
    const int Column = ColumnOf("Owner");
    TRect Cell;
    Grid->GetCellRect(Grid->GetNodeAtRow(2), Column, Cell);
    auto Share = [&](const TRect& R, COLORREF C) {
        int N = 0, All = 0;
        for (int Y = R.Top + 2; Y < R.Bottom - 2; ++Y)
            for (int X = R.Left + 2; X < R.Right - 2; ++X, ++All)
                N += PixelAt(B.get(), X, Y) == C;
        return All ? N * 100 / All : 0;
    };
    EXPECT_GT(Share(Cell, RGB(255, 0, 0)), 50) << "the cell's colour from the column's event";
    Grid->GetCellRect(Grid->GetNodeAtRow(1), Column, Cell);
    EXPECT_EQ(Share(Cell, RGB(255, 0, 0)), 0) << "only that row's";
    const HeaderCell* H = nullptr;
    for (const HeaderCell& C : L.HeaderCells)
        if (C.Column == Column)
            H = &C;
    ASSERT_TRUE(H);
    EXPECT_GT(Share(H->Rect, RGB(255, 0, 255)), 90) << "the header drawn by the column's event";
    ASSERT_FALSE(IsPointRect(L.FooterRect));
    const TRect Footer{H->ClipRect.Left, L.FooterRect.Top, H->ClipRect.Right, L.FooterRect.Bottom};
    EXPECT_GT(Share(Footer, RGB(0, 0, 255)), 40) << "the footer summary's colour from the column's event";
}
