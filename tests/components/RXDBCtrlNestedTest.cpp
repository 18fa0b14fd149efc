// The data-aware grid over a table with an object field: the field's children as nested columns
// in object view, the expand button drawn in its title and pressed with the mouse, the title rows
// that grow with the nesting; and the docking drag that starts from the indicator's title cell.
#include "DragDrop.h"
#include "ExtCtrls.h"
#include "RXDBCtrl.h"
#include "RxMemDS.h"
#include "RxTestSupport.h"

using namespace rx_tests;

namespace {

// Grid columns: 0 indicator, 1 ID, 2 Addr, 3 Addr.City, 4 Addr.Street.
constexpr int AddrCol = 2, CityCol = 3, StreetCol = 4;

class RxGridNested : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        Form = TForm::CreateNew(nullptr);
        Form->SetBounds(0, 0, 640, 300);
        Table = new TRxMemoryData(Form);
        Table->FieldDefs()->Add("ID", ftInteger);
        TFieldDef* Addr = Table->FieldDefs()->Add("Addr", ftADT);
        Addr->ChildDefs()->Add("City", ftString, 20);
        Addr->ChildDefs()->Add("Street", ftString, 20);
        Table->SetObjectView(true);
        Table->Open();
        for (int I = 1; I <= 3; ++I) {
            Table->Append();
            Table->FieldByName("ID")->SetAsInteger(I);
            Table->FieldByName("Addr.City")->SetAsString("City" + IntToStr(I));
            Table->FieldByName("Addr.Street")->SetAsString("Street" + IntToStr(I));
            Table->Post();
        }
        Table->First();
        Source = new TDataSource(Form);
        Source->SetDataSet(Table);
        Grid = new TRxDBGrid(Form);
        Grid->SetParent(Form);
        Grid->SetBounds(0, 0, 600, 260);
        Grid->SetDataSource(Source);
        Form->Show();
        Grid->SetFocus();
        Pump();
    }
    void TearDown() override {
        Form->Free();
        WindowTest::TearDown();
    }
    TColumn* Column(const std::string& FieldName) {
        for (int I = 0; I < Grid->Columns()->Count(); ++I)
            if (Grid->Columns()->Items(I)->FieldName() == FieldName)
                return Grid->Columns()->Items(I);
        return nullptr;
    }
    // Where the expand button of the title over a cell is, as the grid lays it out.
    bool ButtonOver(int Col, int Row, TRect& Button) {
        TRect Span;
        TColumn* Title = Grid->TitleColumn(Col, Row, Span);
        return Title && Grid->ExpandButtonRect(Title, Span, Button);
    }
    void Press(const TRect& R) {
        const LPARAM At = MAKELPARAM((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2);
        Grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At);
        Grid->Perform(WM_LBUTTONUP, 0, At);
        Pump();
    }
    // Which way the dark glyph in a rectangle points: its broad end is where its pixels crowd, so
    // their mean lies left of the glyph's middle when it points right. +1 right, -1 left, 0 none.
    int ArrowDirection(const TRect& R) {
        Grid->Repaint();
        int Count = 0, Sum = 0, MinX = R.Right, MaxX = R.Left;
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            for (int X = R.Left; X < R.Right; ++X) {
                const TColor P = Grid->Canvas()->Pixels(X, Y);
                if (GetRValue(P) + GetGValue(P) + GetBValue(P) < 200) {
                    ++Count, Sum += X;
                    MinX = std::min(MinX, X), MaxX = std::max(MaxX, X);
                }
            }
        if (Count == 0 || MinX == MaxX)
            return 0;
        return 2 * Sum < Count * (MinX + MaxX) ? 1 : -1;
    }
    TForm* Form = nullptr;
    TRxMemoryData* Table = nullptr;
    TDataSource* Source = nullptr;
    TRxDBGrid* Grid = nullptr;
};

TEST_F(RxGridNested, ObjectFieldHoldsItsChildrenInTheRecord) {
    TField* City = Table->FindField("Addr.City");
    ASSERT_NE(City, nullptr);
    auto* Addr = DynCast<TObjectField>(Table->FieldByName("Addr"));
    ASSERT_NE(Addr, nullptr);
    EXPECT_EQ(City->ParentField(), Addr);
    EXPECT_EQ(City->FieldName(), "City");
    EXPECT_EQ(City->FullName(), "Addr.City");
    EXPECT_EQ(Addr->FieldCount(), 2);
    EXPECT_EQ(Table->FieldCount(), 2) << "children are reached through their parent";
    Table->Last();
    EXPECT_EQ(City->AsString(), "City3");
    EXPECT_EQ(Addr->DisplayText(), "(ADT)");
    Table->Edit();
    City->Clear();
    Table->FieldByName("Addr.Street")->Clear();
    EXPECT_TRUE(Addr->IsNull()) << "an object field is null when every child is";
    Table->Cancel();
    EXPECT_EQ(City->AsString(), "City3");
}

TEST_F(RxGridNested, ColumnsNestOnlyInObjectView) {
    struct Case {
        bool ObjectView;
        std::vector<std::string> Columns;
        bool Expandable;
    };
    for (const Case& C : {Case{true, {"ID", "Addr", "Addr.City", "Addr.Street"}, true}, Case{false, {"ID", "Addr"}, false}}) {
        Table->Close();
        Table->SetObjectView(C.ObjectView);
        Table->Open();
        std::vector<std::string> Names;
        for (int I = 0; I < Grid->Columns()->Count(); ++I)
            Names.push_back(Grid->Columns()->Items(I)->FieldName());
        EXPECT_EQ(Names, C.Columns) << C.ObjectView;
        EXPECT_EQ(Column("Addr")->Expandable(), C.Expandable) << C.ObjectView;
        EXPECT_EQ(Grid->TitleOffset(), 1) << C.ObjectView;
        TRect Button;
        EXPECT_EQ(ButtonOver(AddrCol, 0, Button), C.Expandable) << C.ObjectView;
    }
    EXPECT_FALSE(Column("Addr")->Expanded());
}

TEST_F(RxGridNested, ExpandButtonOpensAndClosesTheColumnAndTheTitleRowsGrow) {
    // Default columns are made again at every layout: they are looked up afresh after each change.
    EXPECT_EQ(Column("Addr.City")->ParentColumn(), Column("Addr"));
    EXPECT_EQ(Column("Addr.City")->Depth(), 1);
    EXPECT_GT(Grid->ColWidths(AddrCol), 0);
    EXPECT_LT(Grid->ColWidths(CityCol), 0) << "collapsed: the children have no grid column";
    EXPECT_EQ(Grid->FixedRows(), 1);

    Grid->SetCol(AddrCol);
    TRect Button;
    ASSERT_TRUE(ButtonOver(AddrCol, 0, Button));
    Press(Button);
    EXPECT_TRUE(Column("Addr")->Expanded());
    EXPECT_EQ(Grid->Col(), CityCol) << "the cursor leaves the column that no longer shows";
    EXPECT_EQ(Grid->TitleOffset(), 2);
    EXPECT_EQ(Grid->FixedRows(), 2);
    EXPECT_EQ(Grid->RowHeights(1), Grid->RowHeights(0));
    EXPECT_EQ(Grid->Row(), 2) << "the current record sits under both title rows";
    EXPECT_LT(Grid->ColWidths(AddrCol), 0) << "expanded: the children take the column's place";
    EXPECT_GT(Grid->ColWidths(CityCol), 0);
    EXPECT_GT(Grid->ColWidths(StreetCol), 0);
    TRect Span;
    EXPECT_EQ(Grid->TitleColumn(CityCol, 1, Span), Column("Addr.City"));
    EXPECT_EQ(Grid->TitleColumn(CityCol, 0, Span), Column("Addr")) << "the parent's title spans its children";
    EXPECT_EQ(Span.Left, Grid->CellRect(CityCol, 0).Left);
    EXPECT_EQ(Span.Right, Grid->CellRect(StreetCol, 0).Right);
    EXPECT_EQ(Grid->TitleColumn(StreetCol, 0, Span), Column("Addr"));
    EXPECT_EQ(Span.Left, Grid->CellRect(CityCol, 0).Left);

    ASSERT_TRUE(ButtonOver(StreetCol, 0, Button)) << "the button sits at the right of the spanning title";
    Press(Button);
    EXPECT_FALSE(Column("Addr")->Expanded());
    EXPECT_EQ(Grid->TitleOffset(), 1);
    EXPECT_EQ(Grid->Row(), 1);
    EXPECT_GT(Grid->ColWidths(AddrCol), 0);
}

TEST_F(RxGridNested, ArrowPointsRightWhenCollapsedAndLeftWhenExpanded) {
    // The platform's titles and the grid's own button titles draw the same arrow.
    for (bool Buttons : {false, true}) {
        Grid->SetTitleButtons(Buttons);
        Column("Addr")->SetExpanded(false);
        TRect Button;
        ASSERT_TRUE(ButtonOver(AddrCol, 0, Button)) << Buttons;
        EXPECT_EQ(ArrowDirection(Button), 1) << "collapsed; title buttons " << Buttons;
        Column("Addr")->SetExpanded(true);
        ASSERT_TRUE(ButtonOver(StreetCol, 0, Button)) << Buttons;
        EXPECT_EQ(ArrowDirection(Button), -1) << "expanded; title buttons " << Buttons;
    }
}

TEST_F(RxGridNested, PersistentColumnsGetTheirChildrenOnExpansion) {
    Grid->Columns()->Clear();
    Grid->Columns()->Add()->SetFieldName("ID");
    TColumn* Addr = Grid->Columns()->Add();
    Addr->SetFieldName("Addr");
    ASSERT_EQ(Grid->Columns()->State(), csCustomized);
    EXPECT_TRUE(Addr->Expandable());
    Addr->SetExpanded(true);
    ASSERT_EQ(Grid->Columns()->Count(), 4);
    EXPECT_EQ(Grid->Columns()->Items(2)->FieldName(), "Addr.City");
    EXPECT_EQ(Grid->Columns()->Items(3)->ParentColumn(), Addr);
    EXPECT_EQ(Grid->TitleOffset(), 2);
    Addr->SetExpanded(false);
    Addr->SetExpanded(true);
    EXPECT_EQ(Grid->Columns()->Count(), 4) << "a second expansion adds nothing";
}

class RxGridDock : public RxGridNested {
protected:
    void SetUp() override {
        RxGridNested::SetUp();
        Target = new TPanel(Form);
        Target->SetParent(Form);
        Target->SetBounds(604, 10, 24, 200);
        Target->OnDragOver = TDragOverEvent::FromFunction(
            [](TObject*, TObject*, int, int, TDragState, bool& Accept) { Accept = true; });
        Target->OnDragDrop = TDragDropEvent::FromFunction([this](TObject*, TObject* S, int, int) { Dropped = S; });
        Pump();
    }
    void PressAt(int Col, int Row) {
        const TRect R = Grid->CellRect(Col, Row);
        const TPoint P{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
        const TPoint S = Grid->ClientToScreen(P);
        SetCursorPos(S.X, S.Y);
        Grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(P.X, P.Y));
    }
    TPanel* Target = nullptr;
    TObject* Dropped = nullptr;
};

TEST_F(RxGridDock, DockingDragStartsOnlyFromTheIndicatorsTitleCell) {
    struct Case {
        const char* Name;
        TDragKind Kind;
        int Col, Row;
        bool Drags;
    };
    const Case Cases[] = {
        {"dock kind, indicator title", dkDock, 0, 0, true},
        {"plain drag kind", dkDrag, 0, 0, false},
        {"dock kind, a column's title", dkDock, 1, 0, false},
        {"dock kind, indicator of a record", dkDock, 0, 1, false},
    };
    for (const Case& C : Cases) {
        Grid->SetDragKind(C.Kind);
        PressAt(C.Col, C.Row);
        EXPECT_EQ(Grid->Dragging(), C.Drags) << C.Name;
        if (Grid->Dragging())
            Grid->EndDrag(false);
        Grid->Perform(WM_LBUTTONUP, 0, 0);
    }
}

TEST_F(RxGridDock, TheGridIsDroppedOnTheTarget) {
    Grid->SetDragKind(dkDock);
    PressAt(0, 0);
    ASSERT_TRUE(Grid->Dragging());
    const TPoint S = Target->ClientToScreen(TPoint{10, 50});
    SetCursorPos(S.X, S.Y);
    const TPoint L = Grid->ScreenToClient(S);
    Grid->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(L.X, L.Y));
    Grid->Perform(WM_LBUTTONUP, 0, MAKELPARAM(L.X, L.Y));
    EXPECT_EQ(Dropped, Grid);
    EXPECT_FALSE(Grid->Dragging());
}

}  // namespace
