// Building, expanding, scrolling, painting and clearing a large tree in the tree list engine, with
// its window shown; keyboard paging through it; saving and loading the layout of a 20-column
// control; then a data-aware grid over the in-memory dataset: opening it, walking the data set to
// its end and sorting by an integer and a text column. Prints milliseconds per phase.
// "bench_treelist_nodes db [records]" runs only the data-aware part (100,000 records unless given).
#include "BenchClock.h"
#include "Forms.h"
#include "IniFiles.h"
#include "RxMemDS.h"
#include "dxDBGrid.h"
#include "dxTL.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// One band of one column; nodes carry no data.
class TBenchTreeList : public TCustomdxTreeList {
    DECLARE_CLASS(TBenchTreeList, TCustomdxTreeList)
public:
    using TCustomdxTreeList::TCustomdxTreeList;
    TdxTreeListNode* CreateNode() override { return Create<TdxTreeListNode>(this); }
    int GetNodeImageIndex(TdxTreeListNode*) override { return -1; }
    int GetNodeSelectedIndex(TdxTreeListNode*) override { return -1; }
    int GetNodeStateIndex(TdxTreeListNode*) override { return -1; }
    void GetNodeValue(TdxTreeListNode*, int, Variant& Value) override { Value = Variant(); }
    void GetNodeString(TdxTreeListNode*, int, std::string& Text) override { Text = "node"; }
    void SetNodeImageIndex(TdxTreeListNode*, int) override {}
    void SetNodeSelectedIndex(TdxTreeListNode*, int) override {}
    void SetNodeStateIndex(TdxTreeListNode*, int) override {}
    void SetNodeString(TdxTreeListNode*, int, const std::string&) override {}
    void SetNodeValue(TdxTreeListNode*, int, const Variant&) override {}
    int GetVisibleBandCount() override { return 1; }
    int GetBandWidth(int) override { return 300; }
    int GetBandRowCount(int) override { return 1; }
    int GetColumnCountInRow(int, int) override { return 1; }
    int GetColumnAt(int, int, int) override { return 0; }
    int GetColumnCount() override { return 1; }
    int GetColumnWidth(int) override { return 300; }
    std::string GetCellText(TdxTreeListNode*, int) override { return "node"; }
};

// The data-aware grid over Records records (a random integer, a random text and the record's
// number), its window shown; the same walk with the data set's controls disabled for comparison.
void DataAwareBench(TForm* Form, int Records) {
    auto* Table = Create<TRxMemoryData>(Form);
    Table->FieldDefs()->Add("Number", ftInteger);
    Table->FieldDefs()->Add("Name", ftString, 24);
    Table->FieldDefs()->Add("Row", ftInteger);
    Table->Open();
    TField* Number = Table->FieldByName("Number");
    TField* Name = Table->FieldByName("Name");
    TField* Row = Table->FieldByName("Row");
    unsigned Seed = 12345;
    auto Random = [&Seed] { return (Seed = Seed * 1103515245u + 12345u) >> 8; };
    const double Fill = BenchTime([&] {
        for (int I = 0; I < Records; ++I) {
            Table->Append();
            Number->SetAsInteger(static_cast<int>(Random() % 1000000));
            char Text[16];
            std::snprintf(Text, sizeof Text, "name %06u", Random() % 1000000);
            Name->SetAsString(Text);
            Row->SetAsInteger(I);
            Table->Post();
        }
        Table->First();
    });
    std::printf("data-aware: fill %d records: %.1f ms\n", Records, Fill);
    auto* Source = Create<TDataSource>(Form);
    Source->SetDataSet(Table);
    auto* Grid = Create<TdxDBGrid>(Form);
    Grid->SetParent(Form);
    Grid->SetBounds(0, 0, 380, 460);
    const double Open = BenchTime([&] {
        Grid->SetDataSource(Source);
        Grid->Update();
    });
    std::printf("data-aware: open the grid over %d records: %.1f ms (%.2f us/record)\n", Records, Open,
                Open * 1000.0 / Records);
    if (Grid->GetRootCount() != Records)
        std::printf("the grid shows %d rows\n", Grid->GetRootCount());
    int Steps = 0;
    const double Walk = BenchTime([&] {
        for (Table->First(); !Table->Eof(); Table->Next())
            ++Steps;
        Grid->Update();
    });
    std::printf("data-aware: walk to the end (%d steps): %.1f ms (%.2f us/step)\n", Steps, Walk,
                Walk * 1000.0 / Steps);
    if (Grid->FocusedNode() != Grid->GetRootNode(Records - 1))
        std::printf("the last row is not focused\n");
    const double Quiet = BenchTime([&] {
        Table->DisableControls();
        for (Table->First(); !Table->Eof(); Table->Next()) {
        }
        Table->EnableControls();
    });
    std::printf("data-aware: the same walk with the controls disabled: %.1f ms\n", Quiet);
    // The other way: the grid's focused row steps down with the Down key and moves the data set.
    Grid->SetFocus();
    Grid->SetFocused(Grid->GetRootNode(0));
    int Keys = 0;
    const double Down = BenchTime([&] {
        while (Grid->FocusedNode() != Grid->GetRootNode(Records - 1) && Keys < Records) {
            Grid->Perform(WM_KEYDOWN, VK_DOWN, 0);
            ++Keys;
        }
        Grid->Update();
    });
    std::printf("data-aware: Down through the rows (%d keys): %.1f ms (%.2f us/key)\n", Keys, Down,
                Down * 1000.0 / (Keys ? Keys : 1));
    if (Row->AsInteger() != Records - 1)
        std::printf("the data set stands on record %d\n", Row->AsInteger());
    const char* Sorts[] = {"Number", "Name"};
    for (const char* FieldName : Sorts) {
        TdxDBTreeListColumn* Column = Grid->ColumnByFieldName(FieldName);
        const double Sort = BenchTime([&] {
            Column->SetSorted(csUp);
            Grid->Update();
        });
        std::printf("data-aware: sort by %s: %.1f ms\n", FieldName, Sort);
        // Each sorted row must stand in order of the column's values.
        Variant Prior, Value;
        for (int I = 0; I < Grid->GetRootCount(); ++I) {
            Grid->GetNodeSortValue(Grid->GetRootNode(I), Column->GetDataIndex(), Value);
            if (I > 0 && CompareVariants(Prior, Value) > 0) {
                std::printf("row %d is out of order\n", I);
                break;
            }
            Prior = Value;
        }
    }
    const double Close = BenchTime([&] { Table->Close(); });
    std::printf("data-aware: close the data set: %.1f ms\n", Close);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "db") == 0) {
        GraphicsInitialization();
        InitControls();
        dxDBCtrlInitialization();
        dxDBGridInitialization();
        TForm* Form = TForm::CreateNew(Application);
        Form->SetBounds(0, 0, 400, 500);
        Form->Show();
        DataAwareBench(Form, argc > 2 ? std::atoi(argv[2]) : 100000);
        Form->Free();
        dxDBGridFinalization();
        dxDBCtrlFinalization();
        return 0;
    }
    // Roots and children per root: 200 x 100 unless given.
    const int Roots = argc > 1 ? std::atoi(argv[1]) : 200;
    const int Children = argc > 2 ? std::atoi(argv[2]) : 100;
    GraphicsInitialization();
    InitControls();
    TForm* Form = TForm::CreateNew(Application);
    Form->SetBounds(0, 0, 400, 500);
    Form->Show();
    auto* Tree = Create<TBenchTreeList>(Form);
    Tree->SetParent(Form);
    Tree->SetBounds(0, 0, 380, 460);

    const double Unlocked = BenchTime([&] {
        for (int I = 0; I < Roots; ++I)
            Tree->Add();
    });
    std::printf("add %d roots one by one, window shown: %.1f ms (%.1f us/node)\n", Roots, Unlocked,
                Unlocked * 1000.0 / Roots);
    const double Locked = BenchTime([&] {
        Tree->BeginUpdate();
        for (int I = 0; I < Roots; ++I)
            for (int J = 0; J < Children; ++J)
                Tree->GetRootNode(I)->AddChild();
        Tree->EndUpdate();
    });
    const int Nodes = Roots * Children;
    std::printf("add %d children inside an update bracket: %.1f ms (%.2f us/node)\n", Nodes, Locked,
                Locked * 1000.0 / Nodes);
    const double Expand = BenchTime([&] {
        for (int I = 0; I < Roots; ++I)
            Tree->GetRootNode(I)->Expand(false);
    });
    std::printf("expand %d roots one by one (%d rows): %.1f ms\n", Roots, Tree->GetRowCount(), Expand);
    const double Index = BenchTime([&] {
        for (int R = 0; R < Tree->GetRowCount(); R += 7)
            if (Tree->GetRowIndex(Tree->GetNodeAtRow(R)) != R)
                std::printf("row %d answers wrongly\n", R);
    });
    std::printf("row index round trips over every 7th row: %.1f ms\n", Index);
    const int Pages = 200;
    const double Scroll = BenchTime([&] {
        for (int I = 0; I < Pages; ++I) {
            Tree->Perform(WM_VSCROLL, SB_PAGEDOWN, 0);
            Tree->Update();
        }
    });
    std::printf("page down and paint %d times: %.1f ms (%.2f ms/page)\n", Pages, Scroll, Scroll / Pages);
    // Keyboard paging: PageDown key-downs from the first row until the last row is focused.
    Tree->SetFocus();
    Tree->SetFocused(Tree->GetFirstRootNode());
    int Keys = 0;
    const int Last = Tree->GetRowCount() - 1;
    const double Paging = BenchTime([&] {
        while (Tree->GetFocusedRowIndex() < Last && Keys < 1000000) {
            Tree->Perform(WM_KEYDOWN, VK_NEXT, 0);
            ++Keys;
        }
    });
    std::printf("PageDown to the end of %d rows: %d keys, %.1f ms (%.3f ms/key)\n", Last + 1, Keys, Paging,
                Paging / (Keys ? Keys : 1));
    const double Clear = BenchTime([&] { Tree->ClearNodes(); });
    std::printf("clear %d nodes: %.1f ms\n", Nodes + Roots, Clear);

    // Layout storage of a control with 20 columns in 4 bands, to and from an INI file.
    dxTLInitialization();
    auto* Grid = Create<TCustomdxTreeListControl>(Form);
    Grid->SetName("Grid");
    Grid->SetParent(Form);
    for (int B = 1; B < 4; ++B)
        Grid->Bands()->Add();
    for (int C = 0; C < 20; ++C)
        Grid->CreateColumn(TdxTreeListColumn::StaticClass(), Form)->SetBandIndex(C / 5);
    char Temp[MAX_PATH];
    GetTempPathA(MAX_PATH, Temp);
    const std::string File = std::string(Temp) + "treelist_layout_bench.ini";
    const int Rounds = 100;
    const double Save = BenchTime([&] {
        for (int I = 0; I < Rounds; ++I)
            Grid->SaveLayoutToIniFile(File);
    });
    const double Load = BenchTime([&] {
        for (int I = 0; I < Rounds; ++I)
            Grid->LoadLayoutFromIniFile(File);
    });
    std::printf("save a 20-column layout to an INI file: %.2f ms; load it: %.2f ms (each of %d rounds)\n",
                Save / Rounds, Load / Rounds, Rounds);
    DeleteFileA(File.c_str());
    // Painting it: every header and cell asks where its column is and how wide it is shown.
    Grid->SetBounds(0, 0, 380, 460);
    for (int I = 0; I < 200; ++I)
        Grid->Add()->SetStrings(0, "row " + std::to_string(I));
    TBitmap* Shot = Create<TBitmap>();
    Shot->SetWidth(Grid->Width());
    Shot->SetHeight(Grid->Height());
    const double GridPaint = BenchTime([&] {
        for (int I = 0; I < Rounds; ++I)
            Grid->PaintTo(Shot->Canvas()->Handle(), 0, 0);
    });
    Shot->Free();
    std::printf("paint the 20-column control with 200 rows: %.2f ms (each of %d rounds)\n", GridPaint / Rounds, Rounds);
    Form->Free();
    dxTLFinalization();
    return 0;
}
