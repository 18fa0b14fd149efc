// The data-aware grid under Xvfb over the log table filled newest first, as the log viewer fills
// it: rows and the indicator, multi-selection by keys and its indicator images, deletion with its
// questions, the read-only grid of the log viewer, field images, title buttons, owner drawing,
// fixed columns, row height, the wheel, and column layouts stored and restored under "t2"-style
// keys of the registry and of INI files, directly and through the placement link.
#include "RXDBCtrl.h"

#include "IniFiles.h"
#include "MemoryDataTables.h"
#include "Registry.h"
#include "RxAppUtils.h"
#include "RxTestSupport.h"
#include "TestSupport.h"

using namespace rx_tests;
using namespace memory_data_tests;

namespace {

const char* const LayoutKey = "Software\\QuarnelTests\\h17Grid";

class RxGrid : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        Table.reset(LogTable());
        Table->SetName("rxMem");
        Table->Open();
        // The log viewer walks the file from its last line to its first.
        for (int Line = 5; Line >= 1; --Line)
            Table->AppendRecord({Line, 45000.0 + Line, Line % 2 ? "Succesfull" : "Error " + IntToStr(Line),
                                 "SRV", "db" + IntToStr(Line), "D:\\b" + IntToStr(Line) + ".bak"});
        Table->First();
        Form = TForm::CreateNew(nullptr);
        Form->SetBounds(0, 0, 640, 300);
        Source = new TDataSource(Form);
        Source->SetDataSet(Table.get());
        Grid = new TRxDBGrid(Form);
        Grid->SetName("DBGridRes");
        Grid->SetParent(Form);
        Grid->SetBounds(0, 0, 620, 260);
        Grid->SetDataSource(Source);
        Form->Show();
        Grid->SetFocus();
        Pump();
    }
    void TearDown() override {
        Form->Free();
        Table.reset();
        WindowTest::TearDown();
        TRegistry R;
        R.DeleteKey(std::string("\\") + LayoutKey);
    }
    int ID() { return Table->FieldByName("memID")->AsInteger(); }
    void Key(Word K, std::initializer_list<int> Held = {}) {
        std::vector<std::unique_ptr<THeldKey>> Keys;
        for (int H : Held)
            Keys.push_back(std::make_unique<THeldKey>(H));
        Grid->Perform(WM_KEYDOWN, K, 0);
        Grid->Perform(WM_KEYUP, K, 0);
    }
    std::vector<int> SelectedIDs() {
        std::vector<int> R;
        TBookmark Here = Table->GetBookmark();
        for (int I = 0; I < Grid->SelectedRows()->Count(); ++I) {
            Table->GotoBookmark(Grid->SelectedRows()->Items(I));
            R.push_back(ID());
        }
        Table->GotoBookmark(Here);
        return R;
    }
    LPARAM At(const TRect& R, int DX = 4, int DY = 4) { return MAKELPARAM(R.Left + DX, R.Top + DY); }
    // Whether a cell shows any pixel of the colour.
    bool CellShows(int Col, int Row, TColor Colour) {
        TRect R = Grid->CellRect(Col, Row);
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            for (int X = R.Left; X < R.Right; ++X)
                if ((Grid->Canvas()->Pixels(X, Y) & 0xFFFFFF) == Colour)
                    return true;
        return false;
    }
    TOwned<TRxMemoryData> Table;
    TForm* Form = nullptr;
    TDataSource* Source = nullptr;
    TRxDBGrid* Grid = nullptr;
};

TEST_F(RxGrid, DefaultsOfTheComponent) {
    TDBGridOptions O = Grid->Options();
    EXPECT_TRUE(O.Contains(dgEditing) && O.Contains(dgTitles) && O.Contains(dgIndicator) &&
                O.Contains(dgColumnResize) && O.Contains(dgConfirmDelete) && O.Contains(dgCancelOnExit));
    EXPECT_FALSE(O.Contains(dgTabs));
    EXPECT_FALSE(O.Contains(dgMultiSelect));
    EXPECT_TRUE(Grid->ClearSelection() && Grid->ShowGlyphs() && Grid->DefaultDrawing() && Grid->AutoAppend());
    EXPECT_FALSE(Grid->TCustomGrid::DefaultDrawing()) << "the platform grid's own drawing is off";
    Grid->SetOptions(O + TDBGridOptions{dgMultiSelect});
    EXPECT_TRUE(Grid->MultiSelect());
    EXPECT_TRUE(Grid->Options().Contains(dgMultiSelect));
    EXPECT_FALSE(Grid->TDBGrid::Options().Contains(dgMultiSelect)) << "the platform grid never selects itself";
    EXPECT_EQ(GetPropText(Grid, "MultiSelect"), "True");
}

TEST_F(RxGrid, NewestLineFirstInDrawingOrder) {
    std::vector<int> Drawn;
    Grid->OnDrawColumnCell = TDrawColumnCellEvent::FromFunction(
        [&](TObject*, const TRect&, int DataCol, TColumn* Column, TGridDrawState) {
            if (DataCol == 0)
                Drawn.push_back(Column->Field()->AsInteger());
        });
    Grid->Repaint();
    EXPECT_EQ(Drawn, (std::vector<int>{5, 4, 3, 2, 1}));
    EXPECT_EQ(Grid->Row(), 1);
    EXPECT_EQ(ID(), 5);
}

TEST_F(RxGrid, ShiftArrowsSelectARangeAndWalkBack) {
    Grid->SetMultiSelect(true);
    Key(VK_DOWN, {VK_SHIFT});
    Key(VK_DOWN, {VK_SHIFT});
    Key(VK_DOWN, {VK_SHIFT});
    EXPECT_EQ(SelectedIDs(), (std::vector<int>{5, 4, 3, 2}));
    Key(VK_UP, {VK_SHIFT});
    EXPECT_EQ(SelectedIDs(), (std::vector<int>{5, 4, 3}));
    EXPECT_EQ(ID(), 3);
    Key(VK_DOWN);  // a plain key ends the range and clears
    EXPECT_TRUE(SelectedIDs().empty());
    Grid->SetMultiSelect(false);
}

TEST_F(RxGrid, SelectedRowsShowTheirMarksInTheIndicator) {
    Grid->SetMultiSelect(true);
    Key(VK_DOWN, {VK_SHIFT});  // records 1 and 2 selected, record 2 current
    Grid->Repaint();
    EXPECT_TRUE(CellShows(0, 1, clBlack)) << "a selected record that is not current: the dot";
    EXPECT_TRUE(CellShows(0, 2, clBlack)) << "the selected current record: the arrow";
    EXPECT_FALSE(CellShows(0, 4, clBlack)) << "an unselected record shows nothing";
    EXPECT_TRUE(CellShows(1, 1, ColorToRGB(clHighlight))) << "selected rows are highlighted";
}

TEST_F(RxGrid, ClicksSelectToggleAndClear) {
    Grid->SetMultiSelect(true);
    Grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(Grid->CellRect(2, 2)));
    Grid->Perform(WM_LBUTTONUP, 0, At(Grid->CellRect(2, 2)));
    EXPECT_EQ(SelectedIDs(), (std::vector<int>{4}));
    {
        THeldKey Ctrl(VK_CONTROL);
        Grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, At(Grid->CellRect(2, 4)));
        Grid->Perform(WM_LBUTTONUP, MK_CONTROL, At(Grid->CellRect(2, 4)));
    }
    EXPECT_EQ(SelectedIDs(), (std::vector<int>{4, 2}));
    Grid->SetClearSelection(false);
    Grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(Grid->CellRect(2, 1)));
    Grid->Perform(WM_LBUTTONUP, 0, At(Grid->CellRect(2, 1)));
    EXPECT_TRUE(SelectedIDs().empty()) << "without ClearSelection a plain click only clears";
}

TEST_F(RxGrid, CtrlDeleteAsksAndDeletesTable) {
    struct Case {
        const char* Name;
        std::vector<int> Select;  // memIDs selected with Ctrl+click
        int Answer;
        const char* Question;
        std::vector<int> Left;
    };
    const Case Cases[] = {
        {"two selected", {4, 2}, mrYes, "Delete all selected records?", {5, 3, 1}},
        {"one selected", {3}, mrYes, "Delete record?", {5, 4, 2, 1}},
        {"none selected: the current record", {}, mrYes, "Delete record?", {4, 3, 2, 1}},
        {"No deletes nothing", {4, 2}, mrNo, "Delete all selected records?", {5, 4, 3, 2, 1}},
    };
    for (const Case& C : Cases) {
        SetUp();
        TRecorderScope Scope;
        Scope.Recorder.Answer = C.Answer;
        Grid->SetMultiSelect(true);
        for (int Wanted : C.Select) {
            ASSERT_TRUE(Table->Locate("memID", Wanted, {}));
            Grid->SelectedRows()->SetCurrentRowSelected(true);
        }
        Table->First();
        Key(VK_DELETE, {VK_CONTROL});
        EXPECT_EQ(Scope.Recorder.Texts, (std::vector<std::string>{C.Question})) << C.Name;
        std::vector<int> Left;
        for (Table->First(); !Table->Eof(); Table->Next())
            Left.push_back(ID());
        EXPECT_EQ(Left, C.Left) << C.Name;
        TearDown();
    }
    SetUp();
}

TEST_F(RxGrid, ReadOnlyLogViewerGridNeverDeletesAppendsOrEdits) {
    TRecorderScope Scope;
    Grid->SetReadOnly(true);
    Grid->SetAutoAppend(false);
    Key(VK_DELETE, {VK_CONTROL});
    EXPECT_TRUE(Scope.Recorder.Texts.empty());
    Table->Last();
    Key(VK_DOWN);
    EXPECT_EQ(Table->State(), dsBrowse);
    EXPECT_EQ(Table->RecordCount(), 5);
    Grid->SetEditorMode(true);
    EXPECT_FALSE(Grid->EditorMode());
    Key(VK_INSERT);
    EXPECT_EQ(Table->State(), dsBrowse);
}

TEST_F(RxGrid, DownOnTheLastRecordAppendsOnlyWhenEditable) {
    Table->Last();
    Key(VK_DOWN);
    EXPECT_EQ(Table->State(), dsInsert);
    Table->Cancel();
    Grid->SetAutoAppend(false);
    Table->Last();
    Key(VK_DOWN);
    EXPECT_EQ(Table->State(), dsBrowse);
}

TEST_F(RxGrid, FieldImagesByKindTable) {
    TOwned<TRxMemoryData> Kinds(ReadTable("object Kinds: TRxMemoryData\n  FieldDefs = <\n" +
                                          FieldDefItem("Notes", "ftMemo") + FieldDefItem("Data", "ftBlob") +
                                          FieldDefItem("Picture", "ftGraphic") + FieldDefItem("Name", "ftString", 20) +
                                          FieldDefItem("Count", "ftInteger") + "  >\nend\n"));
    Kinds->Open();
    struct Case {
        const char* Field;
        int Image;
    };
    const Case Cases[] = {{"Notes", gpMemo}, {"Data", gpBlob}, {"Picture", gpPicture}, {"Name", -1}, {"Count", -1}};
    for (const Case& C : Cases)
        EXPECT_EQ(Grid->GetImageIndex(Kinds->FieldByName(C.Field)), C.Image) << C.Field;
    Grid->SetShowGlyphs(false);
    EXPECT_EQ(Grid->GetImageIndex(Kinds->FieldByName("Notes")), -1);
    EXPECT_EQ(Grid->GetImageIndex(nullptr), -1);
}

TEST_F(RxGrid, MemoFieldShowsItsImageAndOpensNoEditor) {
    TOwned<TRxMemoryData> Notes(ReadTable("object Notes: TRxMemoryData\n  FieldDefs = <\n" +
                                          FieldDefItem("Title", "ftString", 20) + FieldDefItem("Body", "ftMemo") +
                                          "  >\nend\n"));
    Notes->Open();
    Notes->AppendRecord({"first", "a long text"});
    Source->SetDataSet(nullptr);  // the grid lays itself out again when its link becomes active
    Source->SetDataSet(Notes.get());
    ASSERT_EQ(Grid->Columns()->Count(), 2);
    int Asked = 0;
    Grid->OnShowEditor = TEditShowEvent::FromFunction([&](TObject*, TField*, bool&) { ++Asked; });
    Grid->SetCol(2);
    Grid->SetEditorMode(true);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Asked, 0);
    Grid->Repaint();
    EXPECT_TRUE(CellShows(2, 1, 0x000000)) << "the memo image's dark lines";
    EXPECT_FALSE(CellShows(2, 1, clOlive)) << "drawn with its olive background left out";
    Grid->SetCol(1);
    Grid->SetEditorMode(true);
    EXPECT_TRUE(Grid->EditorMode());
    EXPECT_EQ(Asked, 1) << "OnShowEditor has the last word on a text field";
    Grid->SetEditorMode(false);
    Source->SetDataSet(nullptr);
}

TEST_F(RxGrid, TitleButtonClicksTable) {
    Grid->SetTitleButtons(true);
    std::vector<std::string> Clicks;
    Grid->OnTitleBtnClick = TTitleClickEvent::FromFunction([&](TObject*, int ACol, TField* F) {
        Clicks.push_back(IntToStr(ACol) + ":" + F->FieldName());
    });
    bool Enable = true;
    Grid->OnCheckButton = TCheckTitleBtnEvent::FromFunction([&](TObject*, int, TField*, bool& Enabled) { Enabled = Enable; });
    struct Case {
        const char* Name;
        bool Enabled;
        int PressCol, ReleaseCol, ReleaseRow;
        std::vector<std::string> Expected;
    };
    const Case Cases[] = {
        {"released on its own title", true, 2, 2, 0, {"1:memDateTime"}},
        {"released over a data row", true, 2, 2, 2, {}},
        {"released over another title", true, 2, 3, 0, {}},
        {"button refused by OnCheckButton", false, 2, 2, 0, {}},
    };
    for (const Case& C : Cases) {
        Clicks.clear();
        Enable = C.Enabled;
        Grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(Grid->CellRect(C.PressCol, 0), 10));
        EXPECT_EQ(Grid->PressedColumn() != nullptr, C.Enabled) << C.Name;
        if (C.Enabled) {
            EXPECT_TRUE(Grid->TitlePressed()) << C.Name;
        }
        Grid->Perform(WM_MOUSEMOVE, MK_LBUTTON, At(Grid->CellRect(C.ReleaseCol, C.ReleaseRow), 10));
        Grid->Perform(WM_LBUTTONUP, 0, At(Grid->CellRect(C.ReleaseCol, C.ReleaseRow), 10));
        EXPECT_EQ(Clicks, C.Expected) << C.Name;
        EXPECT_EQ(Grid->PressedColumn(), nullptr) << C.Name;
    }
}

TEST_F(RxGrid, CellParamsColourCellsAndSortMarkersDraw) {
    Grid->OnGetCellParams = TGetCellParamsEvent::FromFunction([](TObject*, TField* F, TFont*, TColor& Bg, bool Highlight) {
        if (F->FieldName() == "memRes" && F->AsString() == "Succesfull" && !Highlight)
            Bg = clLime;
    });
    Grid->SetTitleButtons(true);
    Grid->OnGetBtnParams = TGetBtnParamsEvent::FromFunction(
        [](TObject*, TField* F, TFont*, TColor& Bg, TSortMarker& Marker, bool) {
            if (F->FieldName() == "memID") {
                Marker = smDown;
                Bg = clYellow;
            }
        });
    Grid->Repaint();
    EXPECT_TRUE(CellShows(3, 3, clLime)) << "record 3 succeeded";
    EXPECT_FALSE(CellShows(3, 2, clLime)) << "record 4 failed";
    EXPECT_TRUE(CellShows(1, 0, clYellow)) << "the button's background";
    EXPECT_FALSE(CellShows(2, 0, clYellow));
}

TEST_F(RxGrid, CellPropsAloneColourTheFontOfHighlightedCells) {
    std::vector<bool> Seen;
    Grid->OnGetCellProps = TGetCellPropsEvent::FromFunction([&](TObject*, TField*, TFont* Font, TColor& Colour) {
        Seen.push_back(Colour == Font->Color());
        Colour = clRed;
    });
    // The current cell is highlighted whoever holds the keyboard focus of the display (another
    // program's window may take it at any time).
    Grid->SetOptions(Grid->Options() + TDBGridOptions{dgAlwaysShowSelection});
    Grid->Repaint();
    // Highlighted cells get the font colour to change, the others their background.
    EXPECT_TRUE(std::find(Seen.begin(), Seen.end(), true) != Seen.end());
    EXPECT_TRUE(std::find(Seen.begin(), Seen.end(), false) != Seen.end());
    EXPECT_TRUE(CellShows(2, 3, clRed));
}

TEST_F(RxGrid, FixedDataColumnsKeepTheCursorRight) {
    Grid->SetFixedCols(1);
    EXPECT_EQ(Grid->FixedCols(), 1);
    EXPECT_EQ(Grid->TCustomGrid::FixedCols(), 2);
    EXPECT_FALSE(Grid->TabStops(1));
    EXPECT_GE(Grid->Col(), 2);
    Grid->SetCol(4);
    Key(VK_HOME);
    EXPECT_EQ(Grid->Col(), 2);
    Key(VK_LEFT);
    EXPECT_EQ(Grid->Col(), 2) << "left stops at the first data column";
    Grid->SetCol(5);
    Key(VK_LEFT, {VK_CONTROL});
    EXPECT_EQ(Grid->Col(), 2);
    Grid->SetFixedCols(99);
    EXPECT_EQ(Grid->TCustomGrid::FixedCols(), Grid->ColCount() - 1) << "at most all but one column";
    Grid->SetFixedCols(-3);
    EXPECT_EQ(Grid->FixedCols(), 0);
}

TEST_F(RxGrid, SizingAFixedColumnLeftOfItsEdgeStopsAtZero) {
    Grid->SetFixedCols(1);
    TRect Cell = Grid->CellRect(1, 0);
    Grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(Cell.Right - 1, Cell.Top + 3));
    EXPECT_EQ(Grid->GridState(), gsColSizing);
    Grid->Perform(WM_LBUTTONUP, 0, MAKELPARAM(std::max(0, static_cast<int>(Cell.Left) - 40), Cell.Top + 3));
    EXPECT_EQ(Grid->GridState(), gsNormal);
    EXPECT_EQ(Grid->ColWidths(1), 0);
}

TEST_F(RxGrid, RowsHeightSurvivesALayout) {
    Grid->SetRowsHeight(30);
    EXPECT_EQ(Grid->RowsHeight(), 30);
    EXPECT_EQ(Grid->RowHeights(0), 32);
    Grid->TitleFont()->SetHeight(-20);  // lays the grid out again
    EXPECT_EQ(Grid->DefaultRowHeight(), 30);
    EXPECT_EQ(Grid->RowHeights(1), 30);
}

// The controls' wheel-direction events, where the framework has them.
template <class G>
bool ClaimWheelUp(G* Grid) {
    if constexpr (requires { Grid->OnMouseWheelUp; }) {
        Grid->OnMouseWheelUp = decltype(Grid->OnMouseWheelUp)::FromFunction([](TObject*, TShiftState, TPoint, bool& H) { H = true; });
        return true;
    } else {
        (void)Grid;
        return false;
    }
}

TEST_F(RxGrid, WheelMovesOneRecordUnlessItsEventHandlesIt) {
    Grid->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(20, 40));
    EXPECT_EQ(ID(), 4);
    Grid->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(20, 40));
    EXPECT_EQ(ID(), 5);
    if (ClaimWheelUp(Grid)) {
        Grid->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(20, 40));
        Table->Next();
        Grid->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(20, 40));
        EXPECT_EQ(ID(), 4) << "a handled turn moves nothing";
    }
}

// Column layouts: the log grid's columns (persistent, as its form declares them).
class RxGridLayout : public RxGrid {
protected:
    void SetUp() override {
        RxGrid::SetUp();
        const char* Fields[] = {"memID", "memDateTime", "memServer", "memDB", "memRes", "memPathFile"};
        const int Widths[] = {91, 95, 92, 101, 111, 146};
        for (int I = 0; I < 6; ++I) {
            TColumn* C = Grid->Columns()->Add();
            C->SetFieldName(Fields[I]);
            C->SetWidth(Widths[I]);
        }
        ASSERT_EQ(Grid->Columns()->State(), csCustomized);
    }
    std::string Layout() {
        std::string R;
        for (int I = 0; I < Grid->Columns()->Count(); ++I)
            R += (I ? " " : "") + Grid->Columns()->Items(I)->FieldName() + "=" + IntToStr(Grid->Columns()->Items(I)->Width());
        return R;
    }
};

TEST_F(RxGridLayout, StoredAndRestoredInTheRegistryAndInIniFiles) {
    const std::string Designed = "memID=91 memDateTime=95 memServer=92 memDB=101 memRes=111 memPathFile=146";
    testing_support::TempDir Dir;
    TRegIniFile Reg(LayoutKey);
    TIniFile Ini(Dir / "Layout.ini");
    for (TObject* Storage : std::initializer_list<TObject*>{&Reg, &Ini}) {
        Grid->StoreGridLayout(Storage, "t2");
        EXPECT_EQ(StorageReadString(Storage, "t2", "DBGridRes.memRes", ""), "4,111");
        Grid->Columns()->Items(0)->SetIndex(5);
        Grid->Columns()->Items(0)->SetWidth(10);
        Grid->LoadGridLayout(Storage, "t2");
        EXPECT_EQ(Layout(), Designed) << Storage->ClassName();
    }
    // Erased before writing: a column that is gone leaves no value behind.
    Reg.WriteString("t2", "DBGridRes.memOld", "9,9");
    Grid->StoreGridLayout(&Reg, "t2");
    EXPECT_EQ(Reg.ReadString("t2", "DBGridRes.memOld", "<gone>"), "<gone>");
}

TEST_F(RxGridLayout, StoredValuesTable) {
    struct Case {
        const char* Name;
        const char* Value;  // of memID
        std::string Expected;
    };
    const Case Cases[] = {
        {"position 2 and width 150", "2,150",
         "memDateTime=95 memServer=92 memID=150 memDB=101 memRes=111 memPathFile=146"},
        {"words that are not integers keep index and width", "x,y",
         "memID=91 memDateTime=95 memServer=92 memDB=101 memRes=111 memPathFile=146"},
        {"only a width", "0,77", "memID=77 memDateTime=95 memServer=92 memDB=101 memRes=111 memPathFile=146"},
        {"blank between the words", "1 60", "memDateTime=95 memID=60 memServer=92 memDB=101 memRes=111 memPathFile=146"},
    };
    for (const Case& C : Cases) {
        TMemIniFile Ini("");
        Grid->StoreGridLayout(&Ini, "t2");
        Ini.WriteString("t2", "DBGridRes.memID", C.Value);
        TMemIniFile Copy("");
        TStringList Lines;
        Ini.GetStrings(&Lines);
        Copy.SetStrings(&Lines);
        Grid->LoadGridLayout(&Copy, "t2");
        EXPECT_EQ(Layout(), C.Expected) << C.Name;
        // Back to the designed order for the next case.
        Ini.WriteString("t2", "DBGridRes.memID", "0,91");
        const char* Fields[] = {"memID", "memDateTime", "memServer", "memDB", "memRes", "memPathFile"};
        for (int I = 0; I < 6; ++I)
            for (int J = 0; J < Grid->Columns()->Count(); ++J)
                if (Grid->Columns()->Items(J)->FieldName() == Fields[I])
                    Grid->Columns()->Items(J)->SetIndex(I);
        Grid->Columns()->Items(0)->SetWidth(91);
    }
}

TEST_F(RxGridLayout, ThroughThePlacementLinkUnderItsSection) {
    auto* Placement = new TFormPlacement(Form);
    Placement->SetUseRegistry(true);
    Placement->SetIniFileName(LayoutKey);
    Placement->SetIniSection("t2");
    Placement->SetActive(false);
    Grid->SetIniStorage(Placement);
    Placement->StoreFormPlacement();
    TRegIniFile Reg(LayoutKey);
    EXPECT_EQ(Reg.ReadString("t2\\TFormDBGridRes", "DBGridRes.memDB", ""), "3,101");
    Reg.WriteString("t2\\TFormDBGridRes", "DBGridRes.memDB", "5,55");
    Placement->LoadFormPlacement();
    EXPECT_EQ(Grid->Columns()->Items(5)->FieldName(), "memDB");
    EXPECT_EQ(Grid->Columns()->Items(5)->Width(), 55);
    Placement->Free();
    EXPECT_EQ(Grid->IniStorage(), nullptr);
}

TEST_F(RxGrid, DefaultColumnsKeepTheFieldLayoutUnderTheDataSetsName) {
    TMemIniFile Ini("");
    Table->FieldByName("memPathFile")->SetIndex(0);
    Grid->StoreGridLayout(&Ini, "t1");
    EXPECT_EQ(Ini.ReadString("t1", "rxMemmemPathFile", ""), "0," + IntToStr(Table->FieldByName("memPathFile")->DisplayWidth()) + ",1");
    Table->FieldByName("memPathFile")->SetIndex(5);
    Grid->LoadGridLayout(&Ini, "t1");
    EXPECT_EQ(Table->Fields()->Fields(0)->FieldName(), "memPathFile");
    EXPECT_EQ(Grid->Columns()->Items(0)->FieldName(), "memPathFile");
}

}  // namespace
