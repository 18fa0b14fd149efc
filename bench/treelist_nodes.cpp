// Building, expanding, scrolling, painting and clearing a large tree in the tree list engine, with
// its window shown; keyboard paging through it; saving and loading the layout of a 20-column
// control; a data-aware grid over 100,000 records of the in-memory dataset (opening, walking to
// the end, sorting by a column). Prints milliseconds per phase.
#include "BenchClock.h"
#include "Forms.h"
#include "IniFiles.h"
#include "RxMemDS.h"
#include "dxDBGrid.h"
#include "dxDBTLCl.h"
#include "dxFilter.h"
#include "dxGrClms.h"
#include "dxTL.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

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

}  // namespace

int main(int argc, char** argv) {
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

    // A data-aware grid over the in-memory dataset.
    const int Records = argc > 3 ? std::atoi(argv[3]) : 100000;
    dxFilterInitialization();
    dxDBCtrlInitialization();
    dxDBTLClInitialization();
    dxDBGridInitialization();
    dxGrClmsInitialization();
    auto* Data = Create<TRxMemoryData>(Form);
    auto AddField = [&](auto* F, const char* Name, int Size) {
        F->SetFieldName(Name);
        if (Size)
            F->SetSize(Size);
        F->SetDataSet(Data);
    };
    AddField(Create<TAutoIncField>(Data), "No", 0);
    AddField(Create<TStringField>(Data), "Name", 30);
    AddField(Create<TIntegerField>(Data), "Amount", 0);
    AddField(Create<TBooleanField>(Data), "Done", 0);
    AddField(Create<TDateTimeField>(Data), "Stamp", 0);
    Data->Open();
    const double Fill = BenchTime([&] {
        for (int I = 0; I < Records; ++I)
            Data->AppendRecord({Variant(), "name " + std::to_string((I * 7919) % Records), (I * 104729) % 100003,
                                I % 3 == 0, Variant::FromDateTime(45000.0 + I / 1000.0)});
        Data->First();
    });
    std::printf("append %d records to the in-memory dataset: %.1f ms\n", Records, Fill);
    auto* Source = Create<TDataSource>(Form);
    Source->SetDataSet(Data);
    auto* DBGrid = Create<TdxDBGrid>(Form);
    DBGrid->SetName("DBGrid");
    DBGrid->SetParent(Form);
    DBGrid->SetBounds(0, 0, 380, 460);
    Grid->SetVisible(false);
    Tree->SetVisible(false);
    const double Open = BenchTime([&] {
        DBGrid->SetDataSource(Source);
        DBGrid->Update();
    });
    std::printf("open a data-aware grid over %d records (%d columns, %d rows): %.1f ms\n", Records,
                DBGrid->ColumnCount(), DBGrid->GetRowCount(), Open);
    int Steps = 0;
    const double Walk = BenchTime([&] {
        for (Data->First(); !Data->Eof(); Data->Next())
            ++Steps;
    });
    std::printf("walk the data set to the end, the focused row following: %d steps, %.1f ms (%.2f us/step)\n",
                Steps, Walk, Walk * 1000.0 / (Steps ? Steps : 1));
    if (DBGrid->FocusedNode() != DBGrid->GetNodeAtRow(DBGrid->GetRowCount() - 1))
        std::printf("the focused row did not follow the data set\n");
    Steps = 0;
    const double Quiet = BenchTime([&] {
        Data->DisableControls();
        for (Data->First(); !Data->Eof(); Data->Next())
            ++Steps;
        Data->EnableControls();
        DBGrid->Update();
    });
    std::printf("the same walk with the data set's controls disabled (the grid follows once): %.1f ms\n", Quiet);
    const double Sort = BenchTime([&] {
        DBGrid->ColumnByFieldName("Amount")->SetSorted(csUp);
        DBGrid->Update();
    });
    std::printf("sort the grid by an integer column: %.1f ms\n", Sort);
    const double SortText = BenchTime([&] {
        DBGrid->ColumnByFieldName("Amount")->SetSorted(csNone);
        DBGrid->ColumnByFieldName("Name")->SetSorted(csUp);
        DBGrid->Update();
    });
    std::printf("back to data-set order, then sort by a text column: %.1f ms\n", SortText);
    Form->Free();
    dxGrClmsFinalization();
    dxDBGridFinalization();
    dxDBTLClFinalization();
    dxDBCtrlFinalization();
    dxFilterFinalization();
    dxTLFinalization();
    return 0;
}
