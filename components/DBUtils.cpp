#include "DBUtils.h"

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
