// The grids under Xvfb: the draw grid's cells, keys, mouse and sizing; the data grid over the test
// table showing rows, scrolling, keeping its row across a refresh, owner drawing, clicks, columns,
// deletion with confirmation and the selected rows.
#include "ControlTestSupport.h"
#include "DBGrids.h"
#include "DataSetTestTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace controltests;

namespace {

// Holds Ctrl (or Shift) down for the keyboard state the next key and mouse messages read.
class THeldKey {
public:
    explicit THeldKey(int VKey) : FKey(VKey) { Set(0x80); }
    ~THeldKey() { Set(0); }

private:
    void Set(BYTE Value) {
        BYTE State[256];
        GetKeyboardState(State);
        State[FKey] = Value;
        SetKeyboardState(State);
    }
    int FKey;
};

void Press(TWinControl* C, Word Key) {
    C->Perform(WM_KEYDOWN, Key, 0);
    C->Perform(WM_KEYUP, Key, 0);
}

// A press and release a little inside a cell (Keys: MK_CONTROL, MK_SHIFT as the mouse reports them).
void Click(TWinControl* C, const TRect& Cell, WPARAM Keys = 0, bool Double = false) {
    LPARAM P = MAKELPARAM(Cell.Left + 4, Cell.Top + 4);
    C->Perform(Double ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, MK_LBUTTON | Keys, P);
    C->Perform(WM_LBUTTONUP, Keys, P);
}

// Types text into a control as the keyboard would.
void Type(TWinControl* C, const std::string& Text) {
    for (char Ch : Text)
        C->Perform(WM_CHAR, static_cast<Byte>(Ch), 0);
}

// ---------------------------------------------------------------------------------------------
// The draw grid

class DrawGrid : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        Form = TForm::CreateNew(nullptr);
        Form->SetBounds(10, 10, 400, 300);
        Grid = new TDrawGrid(Form);
        Grid->SetParent(Form);
        Grid->SetBounds(0, 0, 300, 200);
        Grid->SetColCount(8);
        Grid->SetRowCount(30);
        Grid->OnDrawCell = TDrawCellEvent::FromFunction([this](TObject*, int C, int R, TRect, TGridDrawState S) {
            Drawn.push_back({C, R});
            if (S.Contains(gdFocused))
                Focused = {C, R};
        });
        Form->Show();
        Pump();
    }
    TForm* Form = nullptr;
    TDrawGrid* Grid = nullptr;
    std::vector<TGridCoord> Drawn;
    TGridCoord Focused{-1, -1};
};

TEST_F(DrawGrid, CellsAndCoordinatesAgree) {
    TRect R = Grid->CellRect(2, 3);
    ASSERT_FALSE(R.IsEmpty());
    EXPECT_EQ(R.Width(), 64);
    EXPECT_EQ(R.Height(), 24);
    EXPECT_EQ(R.Left, 2 * 65);
    EXPECT_EQ(Grid->MouseCoord(R.Left + 1, R.Top + 1), (TGridCoord{2, 3}));
    EXPECT_EQ(Grid->MouseCoord(-1, 5), (TGridCoord{-1, -1}));
    Grid->SetColWidths(1, 100);
    EXPECT_EQ(Grid->CellRect(2, 3).Left, 65 + 101);
    EXPECT_TRUE(Grid->CellRect(7, 29).IsEmpty()) << "a cell out of view has no rectangle";
    Drawn.clear();
    Grid->Repaint();
    EXPECT_FALSE(Drawn.empty());
    for (const TGridCoord& C : Drawn)
        EXPECT_FALSE(Grid->CellRect(C.X, C.Y).IsEmpty()) << C.X << "," << C.Y << " drawn but not visible";
}

TEST_F(DrawGrid, KeysMoveTheCurrentCellAndScroll) {
    struct Case {
        Word Key;
        bool Ctrl;
        TGridCoord Expected;
    };
    const Case Cases[] = {
        {VK_RIGHT, false, {2, 1}}, {VK_DOWN, false, {2, 2}}, {VK_END, false, {7, 2}}, {VK_HOME, false, {1, 2}},
        {VK_END, true, {1, 29}},   {VK_UP, false, {1, 28}},  {VK_HOME, true, {1, 1}}, {VK_LEFT, false, {1, 1}},
    };
    for (const Case& C : Cases) {
        if (C.Ctrl) {
            THeldKey Ctrl(VK_CONTROL);
            Press(Grid, C.Key);
        } else
            Press(Grid, C.Key);
        EXPECT_EQ((TGridCoord{Grid->Col(), Grid->Row()}), C.Expected) << "key " << C.Key;
        EXPECT_FALSE(Grid->CellRect(Grid->Col(), Grid->Row()).IsEmpty()) << "the current cell stays in view";
    }
    Press(Grid, VK_NEXT);
    EXPECT_EQ(Grid->Row(), 1 + Grid->VisibleRowCount()) << "a page down";
    Press(Grid, VK_END);
    EXPECT_GT(Grid->LeftCol(), 1) << "the last column scrolled into view";
}

TEST_F(DrawGrid, SelectCellMayRefuse) {
    Grid->OnSelectCell = TSelectCellEvent::FromFunction([](TObject*, int C, int, bool& Can) { Can = C != 3; });
    Press(Grid, VK_RIGHT);
    Press(Grid, VK_RIGHT);
    EXPECT_EQ(Grid->Col(), 2) << "column 3 refuses the focus";
    Click(Grid, Grid->CellRect(4, 2));
    EXPECT_EQ((TGridCoord{Grid->Col(), Grid->Row()}), (TGridCoord{4, 2}));
}

TEST_F(DrawGrid, ColumnsSizeByDraggingTheirTitleLine) {
    Grid->SetOptions(Grid->Options() + TGridOptions{goColSizing});
    TRect Title = Grid->CellRect(2, 0);
    int Y = Title.Top + 5;
    Grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(Title.Right, Y));
    EXPECT_EQ(Grid->GridState(), gsColSizing);
    Grid->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(Title.Right + 30, Y));
    Grid->Perform(WM_LBUTTONUP, 0, MAKELPARAM(Title.Right + 30, Y));
    EXPECT_EQ(Grid->ColWidths(2), 94);
    EXPECT_EQ(Grid->GridState(), gsNormal);
    // Dragged left past the cell's own edge the width stops at 0.
    Title = Grid->CellRect(2, 0);
    Grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(Title.Right, Y));
    Grid->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(Title.Left - 40, Y));
    Grid->Perform(WM_LBUTTONUP, 0, MAKELPARAM(Title.Left - 40, Y));
    EXPECT_EQ(Grid->ColWidths(2), 0);
}

TEST_F(DrawGrid, ColumnsMoveByDraggingTheirTitleWhenMovable) {
    std::vector<std::pair<int, int>> Moves;
    Grid->OnColumnMoved = TMovedEvent::FromFunction([&](TObject*, int From, int To) { Moves.push_back({From, To}); });
    Grid->SetColWidths(2, 40);
    auto Drag = [&](int FromCol, int ToCol) {
        int Y = Grid->CellRect(FromCol, 0).Top + 5;
        Grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(Grid->CellRect(FromCol, 0).Left + 10, Y));
        TGridState During = Grid->GridState();
        int X = Grid->CellRect(ToCol, 0).Left + 10;
        Grid->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(X, Y));
        Grid->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(X, Y + 400));  // below the grid: same column
        Grid->Perform(WM_LBUTTONUP, 0, MAKELPARAM(X, Y + 400));
        return During;
    };
    EXPECT_EQ(Drag(2, 4), gsNormal) << "columns are fixed in place without goColMoving";
    EXPECT_TRUE(Moves.empty());
    Grid->SetOptions(Grid->Options() + TGridOptions{goColMoving});
    EXPECT_EQ(Drag(0, 3), gsNormal) << "a fixed column stays";
    EXPECT_EQ(Drag(2, 4), gsColMoving);
    EXPECT_EQ(Grid->GridState(), gsNormal);
    EXPECT_EQ(Moves, (std::vector<std::pair<int, int>>{{2, 4}}));
    EXPECT_EQ(Grid->ColWidths(4), 40) << "the width goes with the column";
    EXPECT_EQ(Grid->ColWidths(2), 64);
    Drag(3, 3);
    EXPECT_EQ(Moves.size(), 1u) << "dropped where it was: no move";
}

// ---------------------------------------------------------------------------------------------
// The data grid

class DataGrid : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        Table.reset(Create<TTestTable>(nullptr));
        Table->FieldDefs()->Add("ID", ftInteger);
        Table->FieldDefs()->Add("Name", ftString, 20);
        Table->Open();
        for (int I = 1; I <= 50; ++I)
            Table->AppendRecord({I, "row " + IntToStr(I)});
        Table->First();
        Source.reset(Create<TDataSource>(nullptr));
        Source->SetDataSet(Table.get());
        Form = TForm::CreateNew(nullptr);
        Form->SetBounds(10, 10, 420, 320);
        Grid = new TDBGrid(Form);
        Grid->SetParent(Form);
        Grid->SetBounds(0, 0, 360, 220);
        Grid->SetDataSource(Source.get());
        Form->Show();
        Grid->SetFocus();
        Pump();
    }
    void TearDown() override {
        if (Form)
            Form->Free();
        Source.reset();
        Table.reset();
        ControlsTest::TearDown();
    }
    int ID() { return Table->FieldByName("ID")->AsInteger(); }
    // The IDs painted in the rows, top to bottom, as the grid draws them.
    std::vector<int> PaintedIDs() {
        std::vector<int> IDs;
        Grid->OnDrawColumnCell = TDrawColumnCellEvent::FromFunction(
            [&](TObject*, const TRect&, int, TColumn* Column, TGridDrawState) {
                if (Column->FieldName() == "ID")
                    IDs.push_back(Column->Field()->AsInteger());
            });
        Grid->Repaint();
        Grid->OnDrawColumnCell = nullptr;
        return IDs;
    }
    int DataRows() { return Grid->DataLink()->BufferCount(); }
    TRect DataCell(int Column, int DataRow) { return Grid->CellRect(Column + 1, DataRow + 1); }

    TOwned<TTestTable> Table;
    TOwned<TDataSource> Source;
    TForm* Form = nullptr;
    TDBGrid* Grid = nullptr;
};

TEST_F(DataGrid, ShowsTheRowsThatFit) {
    int Rows = DataRows();
    ASSERT_GE(Rows, 5);
    EXPECT_EQ(Grid->RowCount(), Rows + 1) << "the title row and the data rows";
    EXPECT_EQ(Grid->ColCount(), 3) << "the indicator and one column per field";
    std::vector<int> Expected;
    for (int I = 1; I <= Rows; ++I)
        Expected.push_back(I);
    EXPECT_EQ(PaintedIDs(), Expected);
    EXPECT_EQ(Grid->Columns()->Items(1)->Title()->Caption(), "Name");
    EXPECT_EQ(Grid->Columns()->State(), csDefault);
    EXPECT_EQ(Grid->Row(), 1);
    EXPECT_EQ(ID(), 1) << "drawing put the active record back";
}

TEST_F(DataGrid, ScrollsWithTheDataSet) {
    int Rows = DataRows();
    Table->MoveBy(Rows + 2);  // record Rows + 3, on the last row
    std::vector<int> Painted = PaintedIDs();
    ASSERT_FALSE(Painted.empty());
    EXPECT_EQ(Painted.front(), 4);
    EXPECT_EQ(Painted.back(), Rows + 3);
    EXPECT_EQ(Grid->Row(), Rows);
    Press(Grid, VK_NEXT);
    EXPECT_EQ(ID(), 2 * Rows + 3);
    Table->Last();
    EXPECT_EQ(PaintedIDs().back(), 50);
    Grid->Perform(WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(ID(), 1);
    Grid->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(ID(), Rows + 1) << "a line down shows the record below the window";
    Press(Grid, VK_UP);
    EXPECT_EQ(ID(), Rows);
}

TEST_F(DataGrid, ResizingChangesTheRowsShown) {
    int Rows = DataRows();
    Table->MoveBy(10);
    Grid->SetHeight(Grid->Height() + 100);
    EXPECT_GT(DataRows(), Rows);
    EXPECT_EQ(ID(), 11);
    Grid->SetHeight(90);
    EXPECT_LT(DataRows(), Rows);
    EXPECT_EQ(ID(), 11);
    std::vector<int> Painted = PaintedIDs();
    EXPECT_NE(std::find(Painted.begin(), Painted.end(), 11), Painted.end()) << "the current record stays in view";
}

TEST_F(DataGrid, KeepsTheCurrentRowAcrossARefresh) {
    Table->MoveBy(20);
    int Row = Grid->Row();
    std::vector<int> Before = PaintedIDs();
    Table->Refresh();
    EXPECT_EQ(ID(), 21);
    EXPECT_EQ(Grid->Row(), Row);
    EXPECT_EQ(PaintedIDs(), Before);
    // A search for the record the grid shows keeps its row as well.
    ASSERT_TRUE(Table->Locate("id", Variant(21), {}));
    EXPECT_EQ(Grid->Row(), Row);
}

TEST_F(DataGrid, OwnerDrawnCellPaints) {
    Grid->OnDrawColumnCell = TDrawColumnCellEvent::FromFunction(
        [this](TObject*, const TRect& R, int, TColumn* Column, TGridDrawState) {
            if (Column->FieldName() == "Name" && Column->Field()->AsString() == "row 2") {
                Grid->Canvas()->Brush()->SetColor(clRed);
                Grid->Canvas()->FillRect(R);
            }
        });
    Grid->Repaint();
    TRect Painted = DataCell(1, 1);
    TRect Other = DataCell(1, 2);
    HDC DC = GetDC(Grid->Handle());
    COLORREF Inside = GetPixel(DC, Painted.Left + 5, Painted.Top + 5);
    COLORREF Outside = GetPixel(DC, Other.Left + 5, Other.Top + 5);
    ReleaseDC(Grid->Handle(), DC);
    EXPECT_EQ(Inside, COLORREF(0x0000FF));
    EXPECT_NE(Outside, COLORREF(0x0000FF));
}

TEST_F(DataGrid, ClicksMoveTheRecordAndReportTheColumn) {
    std::vector<std::string> Clicks;
    Grid->OnCellClick = TDBGridClickEvent::FromFunction([&](TColumn* C) { Clicks.push_back("cell " + C->FieldName()); });
    Grid->OnTitleClick = TDBGridClickEvent::FromFunction([&](TColumn* C) { Clicks.push_back("title " + C->FieldName()); });
    int DblClicks = 0;
    Grid->OnDblClick = TNotifyEvent::FromFunction([&](TObject*) { ++DblClicks; });
    Click(Grid, DataCell(1, 3));
    EXPECT_EQ(ID(), 4);
    EXPECT_EQ(Grid->SelectedField()->FieldName(), "Name");
    Click(Grid, Grid->CellRect(1, 0));
    EXPECT_EQ(Clicks, (std::vector<std::string>{"cell Name", "title ID"}));
    EXPECT_EQ(ID(), 4) << "a title click moves nothing";
    Click(Grid, DataCell(0, 0), 0, true);
    EXPECT_EQ(DblClicks, 1);
}

TEST_F(DataGrid, PersistentColumnsKeepTheirSettings) {
    TColumn* C = Grid->Columns()->Add();
    C->SetFieldName("Name");
    C->Title()->SetCaption("Title of names");
    C->SetWidth(150);
    EXPECT_EQ(Grid->Columns()->State(), csCustomized);
    EXPECT_EQ(Grid->ColCount(), 2);
    EXPECT_EQ(Grid->ColWidths(1), 150);
    EXPECT_EQ(C->Field(), Table->FieldByName("Name"));
    EXPECT_EQ(C->Title()->Caption(), "Title of names");
    Table->Close();
    Table->Open();
    EXPECT_EQ(Grid->Columns()->Count(), 1) << "reopening keeps persistent columns";
    EXPECT_EQ(C->Field(), Table->FieldByName("Name")) << "bound to the new field";
    Grid->Columns()->SetState(csDefault);
    EXPECT_EQ(Grid->Columns()->Count(), 2);
}

TEST_F(DataGrid, DeletionAsksFirst) {
    TRecorderScope Scope;
    Table->MoveBy(2);
    Scope.Recorder.Answer = mrCancel;
    {
        THeldKey Ctrl(VK_CONTROL);
        Press(Grid, VK_DELETE);
    }
    ASSERT_EQ(Scope.Recorder.Entries.size(), 1u);
    EXPECT_EQ(Scope.Recorder.Entries[0].Text, "Delete record?");
    EXPECT_EQ(Table->RecordCount(), 50);
    Scope.Recorder.Answer = mrOk;
    {
        THeldKey Ctrl(VK_CONTROL);
        Press(Grid, VK_DELETE);
    }
    EXPECT_EQ(Table->RecordCount(), 49);
    EXPECT_EQ(ID(), 4);
}

TEST_F(DataGrid, ReadOnlyGridNeitherEditsNorAppends) {
    Grid->SetReadOnly(true);
    Table->Last();
    Press(Grid, VK_DOWN);
    EXPECT_EQ(Table->State(), dsBrowse);
    EXPECT_EQ(Table->RecordCount(), 50);
    Grid->SetEditorMode(true);
    EXPECT_FALSE(Grid->EditorMode());
    Grid->SetReadOnly(false);
    Press(Grid, VK_DOWN);
    EXPECT_EQ(Table->State(), dsInsert) << "down on the last record appends";
    Press(Grid, VK_UP);
    EXPECT_EQ(Table->State(), dsBrowse) << "an untouched new record goes away";
    EXPECT_EQ(Table->RecordCount(), 50);
}

TEST_F(DataGrid, EditorWritesTheField) {
    Table->MoveBy(1);
    Press(Grid, VK_RIGHT);
    Press(Grid, VK_F2);
    ASSERT_TRUE(Grid->EditorMode());
    ASSERT_NE(Grid->InplaceEditor(), nullptr);
    EXPECT_EQ(Grid->InplaceEditor()->EditText(), "row 2");
    Grid->InplaceEditor()->SelectAll();
    Type(Grid->InplaceEditor(), "renamed");
    EXPECT_EQ(Table->State(), dsEdit) << "typing edits the record";
    Grid->InplaceEditor()->Perform(WM_CHAR, '\r', 0);
    EXPECT_EQ(Table->FieldByName("Name")->AsString(), "renamed");
    Press(Grid, VK_DOWN);
    EXPECT_EQ(Table->State(), dsBrowse);
    Table->Prior();
    EXPECT_EQ(Table->FieldByName("Name")->AsString(), "renamed") << "posted on leaving the record";
}

TEST_F(DataGrid, SelectedRowsByBookmark) {
    TRecorderScope Scope;
    Scope.Recorder.Answer = mrOk;
    Grid->SetOptions(Grid->Options() + TDBGridOptions{dgMultiSelect});
    Click(Grid, DataCell(0, 1));
    Click(Grid, DataCell(0, 3), MK_CONTROL);
    EXPECT_EQ(Grid->SelectedRows()->Count(), 2);
    EXPECT_TRUE(Grid->SelectedRows()->CurrentRowSelected());
    {
        THeldKey Ctrl(VK_CONTROL);
        Press(Grid, VK_DELETE);
    }
    ASSERT_EQ(Scope.Recorder.Entries.size(), 1u);
    EXPECT_EQ(Scope.Recorder.Entries[0].Text, "Delete all selected records?");
    EXPECT_EQ(Table->RecordCount(), 48);
    EXPECT_FALSE(Table->Locate("ID", Variant(2), {}));
    EXPECT_FALSE(Table->Locate("ID", Variant(4), {}));
    EXPECT_EQ(Grid->SelectedRows()->Count(), 0);
}

TEST_F(DataGrid, DraggingATitleMovesItsColumn) {
    std::vector<std::string> Titles;
    Grid->OnTitleClick = TDBGridClickEvent::FromFunction([&](TColumn* C) { Titles.push_back(C->FieldName()); });
    TRect From = Grid->CellRect(1, 0), To = Grid->CellRect(2, 0);
    Grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(From.Left + 5, From.Top + 5));
    EXPECT_EQ(Grid->GridState(), gsColMoving);
    Grid->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(To.Left + 5, To.Top + 5));
    Grid->Perform(WM_LBUTTONUP, 0, MAKELPARAM(To.Left + 5, To.Top + 5));
    EXPECT_EQ(Grid->Columns()->Items(0)->FieldName(), "Name");
    EXPECT_EQ(Grid->Columns()->Items(1)->FieldName(), "ID");
    EXPECT_TRUE(Titles.empty()) << "a move is no title click";
    Click(Grid, Grid->CellRect(1, 0));
    EXPECT_EQ(Titles, (std::vector<std::string>{"Name"}));
}

TEST_F(DataGrid, SelectedRowsGoOnlyWhenMultiSelectionIsTurnedOff) {
    Grid->SelectedRows()->SetCurrentRowSelected(true);
    Grid->SetOptions(Grid->Options() - TDBGridOptions{dgTabs});
    EXPECT_EQ(Grid->SelectedRows()->Count(), 1) << "a descendant's own selection survives other options";
    Grid->SetOptions(Grid->Options() + TDBGridOptions{dgMultiSelect});
    EXPECT_EQ(Grid->SelectedRows()->Count(), 1);
    Grid->SetOptions(Grid->Options() - TDBGridOptions{dgMultiSelect});
    EXPECT_EQ(Grid->SelectedRows()->Count(), 0);
}

TEST_F(DataGrid, AnotherOpenDataSetBringsItsOwnColumnsAndRows) {
    TOwned<TTestTable> Other(Create<TTestTable>(nullptr));
    Other->FieldDefs()->Add("Code", ftString, 8);
    Other->FieldDefs()->Add("Price", ftInteger);
    Other->FieldDefs()->Add("Stock", ftInteger);
    Other->Open();
    for (int I = 1; I <= 3; ++I)
        Other->AppendRecord({"C" + IntToStr(I), I * 10, I});
    Other->First();
    Source->SetDataSet(Other.get());
    ASSERT_EQ(Grid->Columns()->Count(), 3);
    EXPECT_EQ(Grid->Columns()->Items(0)->Field(), Other->FieldByName("Code"));
    EXPECT_EQ(Grid->RowCount(), 1 + 3);
    std::vector<std::string> Codes;
    Grid->OnDrawColumnCell = TDrawColumnCellEvent::FromFunction(
        [&](TObject*, const TRect&, int, TColumn* Column, TGridDrawState) {
            if (Column->FieldName() == "Code")
                Codes.push_back(Column->Field()->AsString());
        });
    Grid->Repaint();
    EXPECT_EQ(Codes, (std::vector<std::string>{"C1", "C2", "C3"}));
    Source->SetDataSet(nullptr);  // the other table goes first
}

// Tells when a component it watches is freed.
class TFreeWatcher : public TComponent {
    DECLARE_CLASS(TFreeWatcher, TComponent)
public:
    using TComponent::TComponent;
    std::function<void()> OnFreed;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove && OnFreed)
            OnFreed();
    }
};

TEST_F(DataGrid, FreeingTheGridLetsGoOfItsEditorBeforeFreeingIt) {
    Press(Grid, VK_RIGHT);
    Press(Grid, VK_F2);
    ASSERT_NE(Grid->InplaceEditor(), nullptr);
    Grid->InplaceEditor()->SelectAll();
    Type(Grid->InplaceEditor(), "half typed");
    TOwned<TFreeWatcher> Watcher(Create<TFreeWatcher>(nullptr));
    bool Freed = false, StillHeld = true;
    Watcher->OnFreed = [&] {
        Freed = true;
        StillHeld = Grid->InplaceEditor() != nullptr;
    };
    Grid->InplaceEditor()->FreeNotification(Watcher.get());
    FreeAndNil(Form);
    EXPECT_TRUE(Freed);
    EXPECT_FALSE(StillHeld) << "the grid would hide a freed editor when its data goes";
    EXPECT_EQ(Source->DataLinkCount(), 0);
    EXPECT_EQ(Table->FieldByName("Name")->AsString(), "half typed") << "the typed text reached the record first";
}

TEST_F(DataGrid, ClosingTheDataSetEmptiesTheGrid) {
    Table->Close();
    EXPECT_FALSE(Grid->DataLink()->Active());
    EXPECT_EQ(Grid->RowCount(), 2);
    EXPECT_TRUE(PaintedIDs().empty());
    Table->Open();
    Table->AppendRecord({7, "seven"});
    EXPECT_EQ(PaintedIDs(), (std::vector<int>{7}));
}

}  // namespace

namespace {

class DataSetUnderApplication : public ControlsTest {};

TEST_F(DataSetUnderApplication, FilterErrorsGoToTheApplicationAndTheScanGoesOn) {
    TRecorderScope Scope;
    TOwned<TTestTable> T(Create<TTestTable>(nullptr));
    T->FieldDefs()->Add("ID", ftInteger);
    T->Open();
    for (int I = 1; I <= 3; ++I)
        T->AppendRecord({I});
    T->SetOnFilterRecord(TFilterRecordEvent::FromFunction([](TDataSet* D, bool& Accept) {
        if (D->FieldByName("ID")->AsInteger() == 2)
            throw EDatabaseError("bad record");
        Accept = D->FieldByName("ID")->AsInteger() != 1;
    }));
    T->SetFiltered(true);
    ASSERT_FALSE(Scope.Recorder.Entries.empty());
    EXPECT_NE(Scope.Recorder.Entries[0].Text.find("bad record"), std::string::npos);
    EXPECT_EQ(T->FieldByName("ID")->AsInteger(), 2) << "a record whose test failed keeps the event's first answer";
    T->Next();
    EXPECT_EQ(T->FieldByName("ID")->AsInteger(), 3);
}

}  // namespace

namespace {

class DataGridForm : public ControlsTest {};

TEST_F(DataGridForm, ColumnsComeFromTheFormFile) {
    TForm* Form = TForm::CreateNew(nullptr);
    auto* Grid = new TDBGrid(Form);
    Grid->SetParent(Form);
    std::string Text =
        "object DBGridMain: TDBGrid\n"
        "  Options = [dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, dgConfirmDelete, dgCancelOnExit]\n"
        "  TitleFont.Height = -14\n"
        "  TitleFont.Name = 'Verdana'\n"
        "  Columns = <\n"
        "    item\n      Expanded = False\n      FieldName = 'Server'\n      Title.Caption = 'Server'\n"
        "      Width = 149\n      Visible = True\n    end\n"
        "    item\n      Expanded = False\n      FieldName = 'DBName'\n      Width = 122\n      Visible = True\n    end>\n"
        "end\n";
    TStringStream Src(Text);
    TMemoryStream Bin;
    ObjectTextToBinary(&Src, &Bin);
    Bin.SetPosition(0);
    Bin.ReadComponent(Grid);
    ASSERT_EQ(Grid->Columns()->Count(), 2);
    EXPECT_EQ(Grid->Columns()->State(), csCustomized);
    EXPECT_EQ(Grid->Columns()->Items(0)->Title()->Caption(), "Server");
    EXPECT_EQ(Grid->Columns()->Items(1)->Width(), 122);
    EXPECT_FALSE(Grid->Options().Contains(dgEditing));
    EXPECT_EQ(Grid->TitleFont()->Name(), "Verdana");
    EXPECT_EQ(Grid->Columns()->Items(0)->Title()->Font()->Name(), "Verdana") << "titles follow the title font";
    EXPECT_EQ(Grid->ColWidths(1), 149);
    Form->Free();
}

}  // namespace
