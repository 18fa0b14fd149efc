// The component library's painting: grid cell text on its direct and its off-screen path, keyed
// bitmap drawing, and the data-aware grid over the log table (1,000 lines newest first) repainted
// plain, with multi-selection, and with title buttons. Prints microseconds per call or per paint.
#include "BenchClock.h"
#include "../tests/components/MemoryDataTables.h"
#include "Forms.h"
#include "RXDBCtrl.h"
#include "VCLUtils.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

template <class F>
double PerCall(int Count, F Work) {
    double Start = BenchNow();
    for (int I = 0; I < Count; ++I)
        Work(I);
    return (BenchNow() - Start) * 1000.0 / Count;
}

}  // namespace

int main(int argc, char** argv) {
    const int Lines = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int Calls = 2000;
    GraphicsInitialization();
    InitControls();

    TOwned<TBitmap> Surface(Create<TBitmap>());
    Surface->SetPixelFormat(pf24bit);
    Surface->SetSize(400, 40);
    TCanvas* C = Surface->Canvas();
    C->Brush()->SetColor(clWhite);
    TRect Cell{0, 0, 200, 20};
    std::printf("cell text, direct path: %.2f us/call\n",
                PerCall(Calls, [&](int) { PaintCellText(C, Cell, 2, 2, "Succesfull", taLeftJustify, false, false); }));
    std::printf("cell text, off-screen (word wrap): %.2f us/call\n",
                PerCall(Calls, [&](int) { PaintCellText(C, Cell, 2, 2, "Succesfull", taCenter, true, false); }));
    std::printf("cell text, off-screen (line break): %.2f us/call\n",
                PerCall(Calls, [&](int) { PaintCellText(C, Cell, 2, 2, "a\r\nb", taLeftJustify, false, false); }));
    TOwned<TBitmap> Glyph(Create<TBitmap>());
    Glyph->SetPixelFormat(pf24bit);
    Glyph->SetSize(16, 12);
    std::printf("keyed 16x12 bitmap: %.2f us/call\n",
                PerCall(Calls, [&](int I) { DrawBitmapKeyed(C, I % 300, 4, Glyph.get(), clOlive); }));
    std::printf("shortened text: %.2f us/call\n",
                PerCall(Calls, [&](int) { ShortenTextToWidth("D:\\Backup\\SRV_master_2024_01_01.bak", C, 60); }));

    TOwned<TRxMemoryData> Table(memory_data_tests::LogTable());
    Table->SetName("rxMem");
    Table->Open();
    double Start = BenchNow();
    for (int Line = Lines; Line >= 1; --Line)
        Table->AppendRecord({Line, 45000.0 + Line, "Succesfull", "SRV", "db" + IntToStr(Line), "D:\\b.bak"});
    std::printf("log table of %d lines, newest first: %.1f ms\n", Lines, BenchNow() - Start);
    Table->First();
    TForm* Form = TForm::CreateNew(nullptr);
    Form->SetBounds(0, 0, 800, 600);
    auto* Source = new TDataSource(Form);
    Source->SetDataSet(Table.get());
    auto* Grid = new TRxDBGrid(Form);
    Grid->SetParent(Form);
    Grid->SetBounds(0, 0, 780, 560);
    Grid->SetDataSource(Source);
    Grid->SetReadOnly(true);
    Form->Show();
    Application->ProcessMessages();
    const int Paints = 50;
    std::printf("grid repaint, plain: %.0f us/paint\n", PerCall(Paints, [&](int) { Grid->Repaint(); }));
    Grid->SetMultiSelect(true);
    for (int I = 0; I < 10; ++I) {
        Grid->SelectedRows()->SetCurrentRowSelected(true);
        Table->Next();
    }
    std::printf("grid repaint, 10 rows selected: %.0f us/paint\n", PerCall(Paints, [&](int) { Grid->Repaint(); }));
    Grid->SetTitleButtons(true);
    std::printf("grid repaint, title buttons: %.0f us/paint\n", PerCall(Paints, [&](int) { Grid->Repaint(); }));
    std::printf("scroll through the log one record at a time: %.1f us/record\n", PerCall(Lines - 20, [&](int) {
                    Table->Next();
                    Application->ProcessMessages();
                }));
    Form->Free();
    DoneControls();
    return 0;
}
