// The grid column kinds and the unit's start-up.
#include "dxGrClms.h"

void TdxDBGridCheckColumn::DefineClass(TClassBuilder<TdxDBGridCheckColumn>& B) {
    using C = TdxDBGridCheckColumn;
    DefineGridColumnProperties(B);
    B.Property("DisplayChecked", &C::DisplayChecked, &C::SetDisplayChecked);
    B.Property("DisplayUnChecked", &C::DisplayUnChecked, &C::SetDisplayUnChecked);
    B.Property("DisplayNull", &C::DisplayNull, &C::SetDisplayNull);
}

void TdxDBGridCheckColumn::SetDisplayChecked(const std::string& Value) {
    if (Value != FDisplayChecked) {
        FDisplayChecked = Value;
        NotifyChange(true);
    }
}

void TdxDBGridCheckColumn::SetDisplayUnChecked(const std::string& Value) {
    if (Value != FDisplayUnChecked) {
        FDisplayUnChecked = Value;
        NotifyChange(true);
    }
}

void TdxDBGridCheckColumn::SetDisplayNull(const std::string& Value) {
    if (Value != FDisplayNull) {
        FDisplayNull = Value;
        NotifyChange(true);
    }
}

void TdxDBGridCheckColumn::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TdxDBGridCheckColumn*>(Source);
    if (!S) {
        TdxDBTreeListCheckColumn::Assign(Source);
        return;
    }
    InColumnUpdate(this, [&] {
        TdxDBTreeListCheckColumn::Assign(Source);
        SetDisplayChecked(S->FDisplayChecked);
        SetDisplayUnChecked(S->FDisplayUnChecked);
        SetDisplayNull(S->FDisplayNull);
    });
}

void TdxDBGridCheckColumn::RestoreDefaults() {
    TdxDBTreeListCheckColumn::RestoreDefaults();
    FDisplayChecked.clear();
    FDisplayUnChecked.clear();
    FDisplayNull.clear();
}

void TdxDBGridCheckColumn::GetFilterText(const std::string& Data, std::string& Text) {
    Text = Data;
    const TdxCheckBoxState S = StateOfText(Data);
    const std::string& Shown = S == cbsUnchecked ? FDisplayUnChecked : S == cbsChecked ? FDisplayChecked : FDisplayNull;
    if (!Shown.empty())
        Text = Shown;
}

void TdxDBGridCheckColumn::InitFilterEditor(TdxInplaceEdit* Editor) {
    TdxDBTreeListCheckColumn::InitFilterEditor(Editor);
    auto* E = dynamic_cast<TCustomdxFilterImageEdit*>(Editor);
    if (!E || (FDisplayChecked.empty() && FDisplayUnChecked.empty() && FDisplayNull.empty()))
        return;
    TOwned<TStringList> L(Create<TStringList>());
    L->Add(FDisplayNull);
    L->Add(FDisplayUnChecked);
    L->Add(FDisplayChecked);
    E->SetDescriptions(L.get());
}

void ProposeGridColumnClass(TFieldType FieldType, TFieldKind FieldKind, TdxColumnClassEntry& Entry) {
    Entry.Priority = 1;
    if (FieldKind == fkLookup) {
        Entry.ColumnClass = TdxDBGridLookupColumn::StaticClass();
        return;
    }
    switch (FieldType) {
    case ftBoolean: Entry.ColumnClass = TdxDBGridCheckColumn::StaticClass(); break;
    case ftCurrency:
    case ftBCD: Entry.ColumnClass = TdxDBGridCurrencyColumn::StaticClass(); break;
    case ftDate:
    case ftDateTime: Entry.ColumnClass = TdxDBGridDateColumn::StaticClass(); break;
    case ftTime: Entry.ColumnClass = TdxDBGridTimeColumn::StaticClass(); break;
    case ftMemo: Entry.ColumnClass = TdxDBGridMemoColumn::StaticClass(); break;
    // The graphic and blob kinds are not in the library yet: their types keep the plain column.
    case ftBytes:
    case ftVarBytes:
    case ftBlob:
    case ftGraphic:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary: Entry.ColumnClass = TdxDBGridColumn::StaticClass(); break;
    default: Entry.ColumnClass = TdxDBGridMaskColumn::StaticClass(); break;
    }
}

namespace {
int StartCount = 0;
}  // namespace

void dxGrClmsInitialization() {
    if (StartCount++ > 0)
        return;
    RegisterClasses({TdxDBGridButtonColumn::StaticClass(), TdxDBGridDateColumn::StaticClass(),
                     TdxDBGridCheckColumn::StaticClass(), TdxDBGridImageColumn::StaticClass(),
                     TdxDBGridSpinColumn::StaticClass(), TdxDBGridLookupColumn::StaticClass(),
                     TdxDBGridPickColumn::StaticClass(), TdxDBGridCalcColumn::StaticClass(),
                     TdxDBGridHyperLinkColumn::StaticClass(), TdxDBGridTimeColumn::StaticClass(),
                     TdxDBGridCurrencyColumn::StaticClass(), TdxDBGridMemoColumn::StaticClass(),
                     TdxDBGridMRUColumn::StaticClass(), TdxDBGridWrapperColumn::StaticClass()});
    RegisterDefaultGridColumnClasses(&ProposeGridColumnClass);
}

void dxGrClmsFinalization() {
    if (--StartCount > 0)
        return;
    ResetDefaultGridColumnClasses();
}
