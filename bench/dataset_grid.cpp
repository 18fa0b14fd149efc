// Navigating and painting 100,000 records: the data set's buffer ring under a data grid, over the
// tests' in-memory table. Prints milliseconds per phase and per record or page.
#include "BenchClock.h"
#include "../tests/framework/DataSetTestTable.h"
#include "DBGrids.h"
#include "Forms.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    // The record count: 100,000 unless given.
    const int Records = argc > 1 ? std::atoi(argv[1]) : 100000;
    GraphicsInitialization();
    InitControls();

    TOwned<TTestTable> Table(Create<TTestTable>(nullptr));
    Table->FieldDefs()->Add("ID", ftInteger);
    Table->FieldDefs()->Add("Name", ftString, 40);
    Table->FieldDefs()->Add("Stamp", ftDateTime);
    Table->FieldDefs()->Add("Amount", ftFloat);
    Table->Open();
    double Fill = BenchTime([&] {
        Table->DisableControls();
        for (int I = 1; I <= Records; ++I)
            Table->AppendRecord({I, "record number " + IntToStr(I), Variant::FromDateTime(45000.0 + I / 24.0), I * 0.25});
        Table->EnableControls();
    });
    std::printf("append %d records: %.1f ms (%.2f us/record)\n", Records, Fill, Fill * 1000.0 / Records);

    // Navigation without a grid: one buffer.
    double Walk = BenchTime([&] {
        for (Table->First(); !Table->Eof(); Table->Next()) {
        }
    });
    std::printf("First..Eof with Next, no links: %.1f ms (%.2f us/record)\n", Walk, Walk * 1000.0 / Records);

    TOwned<TDataSource> Source(Create<TDataSource>(nullptr));
    Source->SetDataSet(Table.get());
    TForm* Form = TForm::CreateNew(nullptr);
    Form->SetBounds(0, 0, 800, 600);
    auto* Grid = new TDBGrid(Form);
    Grid->SetParent(Form);
    Grid->SetBounds(0, 0, 780, 560);
    Grid->SetDataSource(Source.get());
    Form->Show();
    Application->ProcessMessages();
    int Rows = Grid->DataLink()->BufferCount();
    std::printf("grid: %d data rows visible\n", Rows);

    Table->First();
    double GridWalk = BenchTime([&] {
        for (; !Table->Eof(); Table->Next()) {
        }
    });
    std::printf("First..Eof with Next under the grid (no painting): %.1f ms (%.2f us/record)\n", GridWalk,
                GridWalk * 1000.0 / Records);

    // Painting page after page, the whole table.
    Table->First();
    int Pages = 0;
    double Paint = BenchTime([&] {
        while (!Table->Eof()) {
            Grid->Repaint();
            Table->MoveBy(Rows);
            ++Pages;
        }
    });
    std::printf("paint %d pages of %d rows (all records): %.1f ms (%.2f ms/page, %.2f us/record)\n", Pages, Rows, Paint,
                Paint / Pages, Paint * 1000.0 / Records);

    double Jumps = BenchTime([&] {
        for (int I = 0; I < 1000; ++I) {
            Table->SetRecNo(1 + (I * 7919) % Records);
            Grid->Repaint();
        }
    });
    std::printf("1000 jumps by RecNo with a repaint: %.1f ms (%.2f ms/jump)\n", Jumps, Jumps / 1000.0);

    double Locate = BenchTime([&] {
        for (int I = 0; I < 20; ++I)
            Table->Locate("ID", Variant(Records - I * 1000), {});
    });
    std::printf("20 Locate scans near the end: %.1f ms (%.1f ms/scan)\n", Locate, Locate / 20.0);

    Form->Free();
    return 0;
}
