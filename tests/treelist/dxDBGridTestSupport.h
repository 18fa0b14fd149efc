// A data-aware grid over the in-memory dataset: a table of fruits (the lookup list) and a table of
// baskets with an auto-increment number, a name, a count, a Boolean, a date and a lookup of the
// fruit's name by its key.
#pragma once

#include "RxMemDS.h"
#include "StdCtrls.h"
#include "TreeListTestSupport.h"
#include "dxDBCtrl.h"
#include "dxDBGrid.h"
#include "dxDBTLCl.h"
#include "dxFilter.h"
#include "dxGrClms.h"

#include <string>
#include <vector>

namespace treelist_tests {

inline void EnsureDataAwareUnits() {
    EnsureTreeList();
    static bool Started = false;
    if (!Started) {
        Started = true;
        dxFilterInitialization();
        dxDBCtrlInitialization();
        dxDBTLClInitialization();
        dxDBGridInitialization();
        dxGrClmsInitialization();
    }
}

template <class F>
F* AddField(TDataSet* D, const char* Name, int Size = 0) {
    auto* Field = Create<F>(D);
    Field->SetFieldName(Name);
    if (Size)
        Field->SetSize(Size);
    Field->SetDataSet(D);
    return Field;
}

class DataGridTest : public TreeListTest {
protected:
    void SetUp() override {
        TreeListTest::SetUp();
        EnsureDataAwareUnits();
        Fruits.reset(Create<TRxMemoryData>(nullptr));
        AddField<TIntegerField>(Fruits.get(), "ID");
        AddField<TStringField>(Fruits.get(), "Name", 20);
        Fruits->Open();
        const char* Names[] = {"Apple", "Banana", "Cherry"};
        for (int I = 0; I < 3; ++I)
            Fruits->AppendRecord({I + 1, Names[I]});

        Baskets.reset(Create<TRxMemoryData>(nullptr));
        AddField<TAutoIncField>(Baskets.get(), "No");
        AddField<TStringField>(Baskets.get(), "Owner", 30)->SetDisplayLabel("Owner's name");
        AddField<TIntegerField>(Baskets.get(), "Count")->SetDisplayWidth(4);
        AddField<TBooleanField>(Baskets.get(), "Paid");
        AddField<TDateField>(Baskets.get(), "Packed");
        AddField<TIntegerField>(Baskets.get(), "FruitID")->SetVisible(false);
        auto* Fruit = AddField<TStringField>(Baskets.get(), "Fruit", 20);
        Fruit->SetFieldKind(fkLookup);
        Fruit->SetLookupDataSet(Fruits.get());
        Fruit->SetKeyFields("FruitID");
        Fruit->SetLookupKeyFields("ID");
        Fruit->SetLookupResultField("Name");
        Baskets->Open();
        struct Row {
            const char* Owner;
            int Count;
            bool Paid;
            double Packed;
            int Fruit;
        };
        const Row Rows[] = {{"Ann", 3, true, 45000, 1}, {"Bob", 12, false, 45001, 3}, {"Cy", 7, true, 45002, 2}};
        for (const Row& R : Rows)
            Baskets->AppendRecord({Variant(), R.Owner, R.Count, R.Paid, Variant::FromDateTime(R.Packed), R.Fruit});
        Baskets->First();

        Source.reset(Create<TDataSource>(nullptr));
        Source->SetDataSet(Baskets.get());
        Form = NewForm();
        Grid = Create<TdxDBGrid>(Form);
        Grid->SetName("Grid");
        Grid->SetParent(Form);
        Grid->SetBounds(0, 0, 380, 200);
    }
    void TearDown() override {
        if (Form)
            Form->Free();
        Form = nullptr;
        Source.reset();
        Baskets.reset();
        Fruits.reset();
        TreeListTest::TearDown();
    }
    void Bind() {
        Grid->SetDataSource(Source.get());
        Pump();
    }
    // The rows' texts in one column, top to bottom.
    std::vector<std::string> ColumnTexts(int Column) {
        std::vector<std::string> R;
        for (int I = 0; I < Grid->GetRowCount(); ++I)
            R.push_back(Grid->GetCellText(Grid->GetNodeAtRow(I), Column));
        return R;
    }
    int ColumnOf(const char* FieldName) { return Grid->IndexOfColumn(Grid->ColumnByFieldName(FieldName)); }

    TOwned<TRxMemoryData> Fruits;
    TOwned<TRxMemoryData> Baskets;
    TOwned<TDataSource> Source;
    TForm* Form = nullptr;
    TdxDBGrid* Grid = nullptr;
};

}  // namespace treelist_tests
