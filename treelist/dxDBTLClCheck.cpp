// The check and image column kinds.
#include "dxDBTLCl.h"

#include "SysUtils.h"

// ---------------------------------------------------------------------------------------------
// Check

TdxDBTreeListCheckColumn::TdxDBTreeListCheckColumn(TComponent* AOwner)
    : TdxDBTreeListColumn(AOwner), FValueChecked(DefaultValueChecked()), FValueUnchecked(DefaultValueUnchecked()) {
    SetMinWidth(16);
}

TdxDBTreeListCheckColumn::~TdxDBTreeListCheckColumn() { FreeObject(FGlyph); }

void TdxDBTreeListCheckColumn::DefineClass(TClassBuilder<TdxDBTreeListCheckColumn>& B) {
    using C = TdxDBTreeListCheckColumn;
    B.Property("AllowGrayed", &C::AllowGrayed, &C::AllowGrayed).Default(false);
    B.Property("Border3D", [](C* X) { return X->Border3D; }, [](C* X, bool V) { X->Border3D = V; X->NotifyChange(true); })
        .Default(false);
    B.Property("GlyphCount", &C::GlyphCount, &C::SetGlyphCount).Default(6);
    B.Property("ShowNullFieldStyle", [](C* X) { return X->ShowNullFieldStyle; },
               [](C* X, TdxShowNullFieldStyle V) { X->ShowNullFieldStyle = V; X->NotifyChange(true); })
        .Default(nsUnchecked);
    B.Property("ValueChecked", &C::ValueChecked, &C::SetValueChecked);
    B.Property("ValueGrayed", &C::ValueGrayed, &C::SetValueGrayed);
    B.Property("ValueUnchecked", &C::ValueUnchecked, &C::SetValueUnchecked);
    B.Property("OnToggleClick", &C::OnToggleClick, &C::OnToggleClick);
}

TBitmap* TdxDBTreeListCheckColumn::Glyph() {
    if (!FGlyph)
        FGlyph = Create<TBitmap>();
    return FGlyph;
}

void TdxDBTreeListCheckColumn::SetGlyph(TBitmap* Value) {
    if (!Value)
        FreeAndNil(FGlyph);
    else
        Glyph()->Assign(Value);
    NotifyChange(true);
}

void TdxDBTreeListCheckColumn::SetGlyphCount(int Value) {
    FGlyphCount = Value;
    if (FGlyph)
        NotifyChange(true);
}

void TdxDBTreeListCheckColumn::SetValueChecked(const std::string& Value) {
    if (Value != FValueChecked) {
        FValueChecked = Value;
        NotifyChange(true);
    }
}

void TdxDBTreeListCheckColumn::SetValueGrayed(const std::string& Value) {
    if (Value != FValueGrayed) {
        FValueGrayed = Value;
        NotifyChange(true);
    }
}

void TdxDBTreeListCheckColumn::SetValueUnchecked(const std::string& Value) {
    if (Value != FValueUnchecked) {
        FValueUnchecked = Value;
        NotifyChange(true);
    }
}

void TdxDBTreeListCheckColumn::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TdxDBTreeListCheckColumn*>(Source);
    if (!S) {
        TdxDBTreeListColumn::Assign(Source);
        return;
    }
    InTreeListUpdate(TreeList(), [&] {
        TdxDBTreeListColumn::Assign(Source);
        AllowGrayed = S->AllowGrayed;
        Border3D = S->Border3D;
        if (S->FGlyph)
            SetGlyph(S->FGlyph);
        SetGlyphCount(S->FGlyphCount);
        ShowNullFieldStyle = S->ShowNullFieldStyle;
        SetValueChecked(S->FValueChecked);
        SetValueGrayed(S->FValueGrayed);
        SetValueUnchecked(S->FValueUnchecked);
    });
}

void TdxDBTreeListCheckColumn::RestoreDefaults() {
    TdxDBTreeListColumn::RestoreDefaults();
    SetMinWidth(16);
    AllowGrayed = Border3D = false;
    FreeAndNil(FGlyph);
    FGlyphCount = 6;
    ShowNullFieldStyle = nsUnchecked;
    FValueChecked = DefaultValueChecked();
    FValueUnchecked = DefaultValueUnchecked();
    FValueGrayed.clear();
}

TdxCheckBoxState TdxDBTreeListCheckColumn::StateOfText(const std::string& Text) const {
    if (AnsiCompareText(Text, FValueChecked) == 0)
        return cbsChecked;
    if (AnsiCompareText(Text, FValueUnchecked) == 0)
        return cbsUnchecked;
    return cbsGrayed;
}

const std::string& TdxDBTreeListCheckColumn::TextOfState(TdxCheckBoxState State) const {
    return State == cbsUnchecked ? FValueUnchecked : State == cbsChecked ? FValueChecked : FValueGrayed;
}

void TdxDBTreeListCheckColumn::CheckEditChanged(TObject* Editor) {
    EditChanged(Editor);
    TCustomdxTreeListControl* T = TreeList();
    if (T && T->InitializingEditor())
        return;
    if (auto* E = dynamic_cast<TdxInplaceCheckEdit*>(Editor); E && OnToggleClick)
        OnToggleClick(this, TextOfState(E->CheckState()), E->CheckState());
}

void TdxDBTreeListCheckColumn::PrepareViewData(TdxEditViewData* ViewData, const TdxTreeListCellViewData& Cell) {
    TdxDBTreeListColumn::PrepareViewData(ViewData, Cell);
    auto* V = DynCast<TdxCheckEditViewData>(ViewData);
    if (!V)
        return;
    V->Caption.clear();
    V->Value = static_cast<int>(StateOfText(Cell.Text));
    V->Alignment = taCenter;
    V->ButtonStyle = Border3D ? bts3D : btsSimple;
    V->Glyph = FGlyph;
    V->GlyphCount = FGlyphCount;
    V->NullLook = ShowNullFieldStyle;
}

void TdxDBTreeListCheckColumn::InitEditProperties(TdxInplaceEdit* Editor) {
    TdxTreeListColumn::InitEditProperties(Editor);
    if (auto* E = dynamic_cast<TdxInplaceCheckEdit*>(Editor)) {
        E->SetStoredAlignment(taCenter);
        E->AllowGrayed = AllowGrayed;
        E->SetGlyph(FGlyph);
        E->SetGlyphCount(FGlyphCount);
        E->SetNullLook(ShowNullFieldStyle);
        E->OnChange = TNotifyEvent::FromFunction([this](TObject* S) { CheckEditChanged(S); });
    }
}

void TdxDBTreeListCheckColumn::InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    auto* E = dynamic_cast<TdxInplaceCheckEdit*>(Editor);
    if (!Field() || !E) {
        TdxDBTreeListColumn::InitEditValue(Node, Editor, Value);
        return;
    }
    E->SetCheckState(StateOfText(Field()->EditText()));
    Value = static_cast<int>(E->CheckState());
}

void TdxDBTreeListCheckColumn::AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    auto* E = dynamic_cast<TdxInplaceCheckEdit*>(Editor);
    if (!Field() || !E) {
        TdxDBTreeListColumn::AssignEditValue(Node, Editor, Value);
        return;
    }
    Field()->SetEditText(TextOfState(E->CheckState()));
    GetNodeValue(Node, Value);
}

bool TdxDBTreeListCheckColumn::FieldValueEquals(const Variant& Value) {
    if (Field() && (Value.VType() == varInteger || Value.VType() == varSmallint || Value.VType() == varByte))
        return VarEqualsSafe(static_cast<int>(StateOfText(Field()->EditText())), Value);
    return TdxDBTreeListColumn::FieldValueEquals(Value);
}

void TdxDBTreeListCheckColumn::InitFilterEditor(TdxInplaceEdit* Editor) {
    TdxDBTreeListColumn::InitFilterEditor(Editor);
    if (auto* E = dynamic_cast<TdxInplaceImageEdit*>(Editor)) {
        TOwned<TStringList> L(Create<TStringList>());
        L->Add(FValueGrayed);
        L->Add(FValueUnchecked);
        L->Add(FValueChecked);
        E->SetValues(L.get());
        E->SetDescriptions(L.get());
        E->SetShowDescription(true);
    }
}

void TdxDBTreeListCheckColumn::GetFilterEditorValue(TdxInplaceEdit* Editor, Variant& Value, std::string& Text) {
    TdxDBTreeListColumn::GetFilterEditorValue(Editor, Value, Text);
    if (VarIsStr(Value)) {
        const std::string S = VarToStr(Value);
        if (Field() && Field()->DataType() == ftBoolean)
            Value = S == FValueChecked ? Variant(true) : S == FValueUnchecked ? Variant(false) : Null();
        else if (S == FValueGrayed)
            Value = Null();
    }
    if (auto* E = dynamic_cast<TdxInplaceImageEdit*>(Editor)) {
        const int I = E->Values()->IndexOf(Text);
        if (I >= 0 && I < E->Descriptions()->Count())
            Text = E->Descriptions()->Strings(I);
    }
}

void TdxDBTreeListCheckColumn::SetFilterEditorValue(TdxInplaceEdit* Editor, const Variant& Value) {
    auto* E = dynamic_cast<TdxInplaceImageEdit*>(Editor);
    if (!E) {
        TdxDBTreeListColumn::SetFilterEditorValue(Editor, Value);
        return;
    }
    if (Value.IsNull())
        E->SetText(FValueGrayed);
    else if (Value.VType() == varBoolean)
        E->SetText(Value.AsBoolean() ? FValueChecked : FValueUnchecked);
    else
        E->SetText(VarToStr(Value));
}

// ---------------------------------------------------------------------------------------------
// Image

TdxDBTreeListImageColumn::TdxDBTreeListImageColumn(TComponent* AOwner)
    : TdxDBTreeListDropDownColumn(AOwner), FDescriptions(Create<TStringList>()), FImageIndexes(Create<TStringList>()),
      FValues(Create<TStringList>()) {
    SetMinWidth(16);
    SetAlignment(taLeftJustify);
}

TdxDBTreeListImageColumn::~TdxDBTreeListImageColumn() {
    FDescriptions->Free();
    FImageIndexes->Free();
    FValues->Free();
}

void TdxDBTreeListImageColumn::DefineClass(TClassBuilder<TdxDBTreeListImageColumn>& B) {
    using C = TdxDBTreeListImageColumn;
    B.Property("DefaultImages", &C::DefaultImages, &C::DefaultImages).Default(true);
    B.Property("Descriptions", [](C* X) { return static_cast<TStrings*>(X->FDescriptions); },
               [](C* X, TStrings* V) { X->FDescriptions->Assign(V); X->NotifyChange(false); });
    B.Property("ImageIndexes", [](C* X) { return static_cast<TStrings*>(X->FImageIndexes); },
               [](C* X, TStrings* V) { X->FImageIndexes->Assign(V); X->NotifyChange(false); });
    B.Property("Images", &C::Images, &C::SetImages);
    B.Property("Incremental", &C::Incremental, &C::Incremental).Default(false);
    B.Property("LargeImages", &C::LargeImages, &C::SetLargeImages);
    B.Property("MultiLineText", &C::MultiLineText, &C::MultiLineText).Default(false);
    B.Property("ShowDescription", &C::ShowDescription, &C::ShowDescription).Default(false);
    B.Property("Values", [](C* X) { return static_cast<TStrings*>(X->FValues); },
               [](C* X, TStrings* V) { X->FValues->Assign(V); X->NotifyChange(false); });
    B.Property("ListWidth", [](C* X) { return X->DropDownWidth; }, [](C* X, int V) { X->DropDownWidth = V; })
        .Default(0);
    B.Property("OnCloseUp", &C::OnCloseUp, &C::OnCloseUp);
}

void TdxDBTreeListImageColumn::SetImageList(TCustomImageList*& Field, TCustomImageList* Value) {
    if (Field)
        Field->RemoveFreeNotification(this);
    Field = Value;
    if (Value)
        Value->FreeNotification(this);
    NotifyChange(true);
}

void TdxDBTreeListImageColumn::SetImages(TCustomImageList* Value) { SetImageList(FImages, Value); }

void TdxDBTreeListImageColumn::SetLargeImages(TCustomImageList* Value) { SetImageList(FLargeImages, Value); }

void TdxDBTreeListImageColumn::Notification(TComponent* AComponent, TOperation Operation) {
    TdxDBTreeListDropDownColumn::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FImages)
        SetImages(nullptr);
    if (AComponent == FLargeImages)
        SetLargeImages(nullptr);
}

void TdxDBTreeListImageColumn::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TdxDBTreeListImageColumn*>(Source);
    if (!S) {
        TdxDBTreeListDropDownColumn::Assign(Source);
        return;
    }
    InTreeListUpdate(TreeList(), [&] {
        TdxDBTreeListDropDownColumn::Assign(Source);
        DefaultImages = S->DefaultImages;
        FDescriptions->Assign(S->FDescriptions);
        SetImages(S->FImages);
        FImageIndexes->Assign(S->FImageIndexes);
        Incremental = S->Incremental;
        SetLargeImages(S->FLargeImages);
        MultiLineText = S->MultiLineText;
        ShowDescription = S->ShowDescription;
        FValues->Assign(S->FValues);
    });
}

void TdxDBTreeListImageColumn::RestoreDefaults() {
    TdxDBTreeListDropDownColumn::RestoreDefaults();
    SetMinWidth(16);
    DefaultImages = true;
    Incremental = MultiLineText = ShowDescription = false;
}

void TdxDBTreeListImageColumn::LookupValue(const std::string& Value, int& ImageIndex, int& DescriptionIndex) {
    const int I = FValues->IndexOf(Value);
    DescriptionIndex = I;
    if (I < 0)
        ImageIndex = -1;
    else if (DefaultImages)
        ImageIndex = I;
    else
        ImageIndex = I < FImageIndexes->Count() ? StrToIntDef(FImageIndexes->Strings(I), -1) : -1;
}

void TdxDBTreeListImageColumn::ValueToDisplayText(const std::string& Data, std::string& Text) {
    int Image = -1, Description = -1;
    LookupValue(Data, Image, Description);
    Text = Description >= 0 && Description < FDescriptions->Count() ? FDescriptions->Strings(Description) : Data;
}

bool TdxDBTreeListImageColumn::GetExportValue(Variant& Value) {
    std::string Text;
    ValueToDisplayText(Value.IsNull() ? std::string() : VarToStr(Value), Text);
    Value = Text;
    return true;
}

void TdxDBTreeListImageColumn::PrepareViewData(TdxEditViewData* ViewData, const TdxTreeListCellViewData& Cell) {
    TdxDBTreeListDropDownColumn::PrepareViewData(ViewData, Cell);
    auto* V = DynCast<TdxImageEditViewData>(ViewData);
    if (!V)
        return;
    if (MultiLineText)
        V->VertLayout = 3;
    V->DefaultImages = DefaultImages;
    V->Descriptions = FDescriptions;
    V->ImageIndexes = FImageIndexes;
    V->Images = FImages;
    V->ShowDescription = ShowDescription;
    V->Values = FValues;
}

void TdxDBTreeListImageColumn::InitEditProperties(TdxInplaceEdit* Editor) {
    TdxDBTreeListDropDownColumn::InitEditProperties(Editor);
    if (auto* E = dynamic_cast<TdxInplaceImageEdit*>(Editor)) {
        E->SetDefaultImages(DefaultImages);
        E->SetDescriptions(FDescriptions);
        E->SetImages(FImages);
        E->SetImageIndexes(FImageIndexes);
        E->Incremental = Incremental;
        E->SetLargeImages(FLargeImages);
        E->SetMultiLineText(MultiLineText);
        E->SetShowDescription(ShowDescription);
        E->SetValues(FValues);
    }
}

void TdxDBTreeListImageColumn::GetFilterEditorValue(TdxInplaceEdit* Editor, Variant& Value, std::string& Text) {
    auto* E = dynamic_cast<TdxInplaceImageEdit*>(Editor);
    if (!E) {
        TdxDBTreeListDropDownColumn::GetFilterEditorValue(Editor, Value, Text);
        return;
    }
    const std::string S = E->GetMaskedValue();
    ValueToDisplayText(S, Text);
    int Image = -1, Description = -1;
    LookupValue(S, Image, Description);
    Value = Image < 0 ? Null() : Variant(S);
}

void TdxDBTreeListImageColumn::SetFilterEditorValue(TdxInplaceEdit* Editor, const Variant& Value) {
    if (auto* E = dynamic_cast<TdxInplaceImageEdit*>(Editor))
        E->SetText(Value.IsNull() ? std::string() : VarToStr(Value));
    else
        TdxDBTreeListDropDownColumn::SetFilterEditorValue(Editor, Value);
}

