#include "DBUtils.h"

#include "RxAppUtils.h"
#include "RxStrUtils.h"
#include "VCLUtils.h"

#include <vector>

namespace {

bool FieldMatchesValue(TField* Field, const Variant& Value, TLocateOptions Options) {
    // Only the plain string kind takes the text options: fixed-character, wide and memo fields
    // compare as values, like every other kind.
    if (Field->DataType() == ftString) {
        std::string Key = VarToStr(Value);
        std::string Text = Field->AsString();
        if (Options.Contains(loPartialKey) && Text.size() > Key.size())
            Text.resize(Key.size());
        int Diff = Options.Contains(loCaseInsensitive) ? AnsiCompareText(Text, Key) : AnsiCompareStr(Text, Key);
        return Diff == 0;
    }
    return Field->AsVariant() == Value;
}

bool RecordMatchesKeys(const std::vector<TField*>& Fields, const Variant& KeyValues, TLocateOptions Options) {
    if (Fields.size() == 1)
        return FieldMatchesValue(Fields[0], KeyValues, Options);
    for (std::size_t I = 0; I < Fields.size(); ++I)
        if (!FieldMatchesValue(Fields[I], KeyValues[static_cast<int>(I)], Options))
            return false;
    return true;
}

}  // namespace

bool LocateByScan(TDataSet* DataSet, const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options) {
    DataSet->CheckBrowseMode();
    if (DataSet->Bof() && DataSet->Eof())
        return false;
    std::vector<TField*> Fields;
    DataSet->GetFieldList(Fields, KeyFields);
    // Searching again for the record on screen must neither move nor repaint.
    if (RecordMatchesKeys(Fields, KeyValues, Options))
        return true;

    bool Found = false;
    TBookmark Saved;
    // The grid would repaint for every record passed.
    DataSet->DisableControls();
    auto Finish = [&] {
        if (!Found && DataSet->BookmarkValid(Saved))
            DataSet->GotoBookmark(Saved);
    };
    try {
        Saved = DataSet->GetBookmark();
        DataSet->First();
        while (!DataSet->Eof()) {
            if (RecordMatchesKeys(Fields, KeyValues, Options)) {
                Found = true;
                break;
            }
            DataSet->Next();
        }
    } catch (...) {
        try {
            Finish();
        } catch (...) {
            // The scan's own error is the one the caller needs to see.
        }
        DataSet->EnableControls();
        throw;
    }
    try {
        Finish();
    } catch (...) {
        DataSet->EnableControls();
        throw;
    }
    DataSet->EnableControls();
    return Found;
}

bool DataSetIsEmpty(TDataSet* DataSet) { return !DataSet->Active() || (DataSet->Bof() && DataSet->Eof()); }

std::string DataSetSectionName(TDataSet* DataSet) {
    TComponent* Owner = DataSet->Owner();
    if (Owner && Owner->Is<TCustomForm>())
        return DefaultSectionName(Owner);
    return DataSet->Name();
}

std::string SectionOrDataSetName(TDataSet* DataSet, const std::string& Section) {
    return Section.empty() ? DataSetSectionName(DataSet) : Section;
}

void StoreFieldLayout(TDataSet* DataSet, TObject* Storage, const std::string& Section) {
    std::string Target = SectionOrDataSetName(DataSet, Section);
    for (int I = 0; I < DataSet->FieldCount(); ++I) {
        TField* F = DataSet->Fields()->Fields(I);
        StorageWriteString(Storage, Target, DataSet->Name() + F->FieldName(),
                           Format("%d,%d,%d", {F->Index(), F->DisplayWidth(), F->Visible() ? 1 : 0}));
    }
}

namespace {
struct TFieldPosition {
    TField* Field;
    int Wanted;
};
}  // namespace

void LoadFieldLayout(TDataSet* DataSet, TObject* Storage, const std::string& Section, bool RestoreVisible) {
    const TCharSet Delimiters = MakeCharSet(" ,");
    std::string Source = SectionOrDataSetName(DataSet, Section);
    int Count = DataSet->FieldCount();
    void* Table = AllocZeroedGlobal(Count * static_cast<int>(sizeof(TFieldPosition)));
    auto* Pairs = static_cast<TFieldPosition*>(Table);
    try {
        for (int I = 0; I < Count; ++I) {
            TField* F = DataSet->Fields()->Fields(I);
            std::string S = StorageReadString(Storage, Source, DataSet->Name() + F->FieldName(), "");
            Pairs[I] = TFieldPosition{F, F->Index()};
            if (S.empty())
                continue;
            Pairs[I].Wanted = StrToIntDef(NthWord(1, S, Delimiters), F->Index());
            F->SetDisplayWidth(StrToIntDef(NthWord(2, S, Delimiters), F->DisplayWidth()));
            if (RestoreVisible)
                F->SetVisible(StrToIntDef(NthWord(3, S, Delimiters), F->Visible() ? 1 : 0) != 0);
        }
        for (int P = 0; P < Count; ++P)
            for (int I = 0; I < Count; ++I)
                if (Pairs[I].Wanted == P) {
                    Pairs[I].Field->SetIndex(P);
                    break;
                }
    } catch (...) {
        FreeGlobalAndClear(Table);
        throw;
    }
    FreeGlobalAndClear(Table);
}
