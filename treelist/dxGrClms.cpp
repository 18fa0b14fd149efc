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
    InTreeListUpdate(TreeList(), [&] {
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
    // In the order of TdxDefaultColumnKind.
    const TClass Classes[] = {TdxDBGridMaskColumn::StaticClass(),     TdxDBGridCheckColumn::StaticClass(),
                              TdxDBGridCurrencyColumn::StaticClass(), TdxDBGridDateColumn::StaticClass(),
                              TdxDBGridTimeColumn::StaticClass(),     TdxDBGridMemoColumn::StaticClass(),
                              TdxDBGridGraphicColumn::StaticClass(),  TdxDBGridBlobColumn::StaticClass(),
                              TdxDBGridLookupColumn::StaticClass()};
    Entry = {Classes[static_cast<int>(DefaultColumnKindOf(FieldType, FieldKind))], 1};
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
                     TdxDBGridBlobColumn::StaticClass(), TdxDBGridHyperLinkColumn::StaticClass(),
                     TdxDBGridTimeColumn::StaticClass(), TdxDBGridCurrencyColumn::StaticClass(),
                     TdxDBGridMemoColumn::StaticClass(), TdxDBGridGraphicColumn::StaticClass(),
                     TdxDBGridMRUColumn::StaticClass(), TdxDBGridWrapperColumn::StaticClass()});
    RegisterDefaultGridColumnClasses(&ProposeGridColumnClass);
}

void dxGrClmsFinalization() {
    if (--StartCount > 0)
        return;
    ResetDefaultGridColumnClasses();
}
