// TField (the value access shared by every kind) and TFields.
#include "DB.h"

#include <algorithm>

using namespace DBConsts;

// ---------------------------------------------------------------------------------------------
// TField

TField::TField(TComponent* AOwner) : TComponent(AOwner) {}

TField::~TField() {
    if (FParentField) {
        FParentField->Fields()->Remove(this);
        FParentField = nullptr;
        FDataSet = nullptr;
    } else if (FDataSet) {
        FDataSet->FFields->Remove(this);
        FDataSet = nullptr;
    }
}

void TField::DefineClass(TClassBuilder<TField>& B) {
    B.Property("Alignment", &TField::Alignment, &TField::SetAlignment).Default(taLeftJustify);
    B.Property("DisplayLabel", &TField::DisplayLabel, &TField::SetDisplayLabel).Stored(&TField::IsDisplayLabelStored);
    B.Property("DisplayWidth", &TField::DisplayWidth, &TField::SetDisplayWidth).Stored(&TField::IsDisplayWidthStored);
    B.Property("EditMask", &TField::EditMask, &TField::SetEditMask);
    B.Property("FieldKind", &TField::FieldKind, &TField::SetFieldKind).Default(fkData);
    B.Property("FieldName", &TField::FieldName, &TField::SetFieldName);
    B.Property("Index", &TField::Index, &TField::SetIndex).Stored(false);
    B.Property("KeyFields", &TField::KeyFields, &TField::SetKeyFields);
    B.Property("LookupDataSet", &TField::LookupDataSet, &TField::SetLookupDataSet);
    B.Property("LookupKeyFields", &TField::LookupKeyFields, &TField::SetLookupKeyFields);
    B.Property("LookupResultField", &TField::LookupResultField, &TField::SetLookupResultField);
    B.Property("ReadOnly", &TField::ReadOnly, &TField::SetReadOnly).Default(false);
    B.Property("Required", &TField::Required, &TField::SetRequired).Default(false);
    B.Property("Size", &TField::Size, &TField::SetSize).Stored(&TField::IsSizeStored);
    B.Property("Visible", &TField::Visible, &TField::SetVisible).Default(true);
    B.Property("OnChange", &TField::OnChange, &TField::OnChange);
    B.Property("OnGetText", &TField::OnGetText, &TField::OnGetText);
    B.Property("OnSetText", &TField::OnSetText, &TField::OnSetText);
    B.Property("OnValidate", &TField::OnValidate, &TField::OnValidate);
}

void TField::Assign(TPersistent* Source) {
    if (!Source) {
        Clear();
        return;
    }
    if (auto* F = DynCast<TField>(Source)) {
        SetAsVariant(F->AsVariant());
        return;
    }
    TComponent::Assign(Source);
}

TComponent* TField::GetParentComponent() const { return FDataSet; }

std::string TField::FullName() const {
    return FParentField ? FParentField->FullName() + "." + FFieldName : FFieldName;
}

void TField::SetParentComponent(TComponent* Value) {
    if (!FComponentState.Contains(csLoading) || Value)
        SetDataSet(DynCast<TDataSet>(Value));
}

void TField::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FLookupDataSet)
        FLookupDataSet = nullptr;
}

void TField::CheckInactive() const {
    if (FDataSet)
        FDataSet->CheckInactive();
}

void TField::SetDataSet(TDataSet* Value) {
    if (Value == FDataSet)
        return;
    CheckInactive();
    if (Value) {
        Value->CheckInactive();
        if (!FFieldName.empty() && Value->FindField(FFieldName))
            DatabaseErrorFmt(SDuplicateFieldName, {DisplayName()}, Value);
    }
    if (FDataSet)
        FDataSet->FFields->Remove(this);
    FDataSet = Value;
    if (Value)
        Value->FFields->Add(this);
}

void TField::SetFieldName(const std::string& Value) {
    if (Value == FFieldName)
        return;
    CheckInactive();
    if (FDataSet && !Value.empty()) {
        TField* Other = FDataSet->FindField(Value);
        if (Other && Other != this)
            DatabaseErrorFmt(SDuplicateFieldName, {Value}, FDataSet);
    }
    FFieldName = Value;
}

void TField::SetFieldKind(TFieldKind Value) {
    if (Value == FFieldKind)
        return;
    CheckInactive();
    FFieldKind = Value;
}

void TField::SetSize(int Value) {
    CheckInactive();
    CheckTypeSize(Value);
    FSize = Value;
}

void TField::CheckTypeSize(int Value) {
    if (Value != 0 && !IsBlob())
        DatabaseError(SInvalidFieldSize);
}

int TField::Index() const { return FDataSet ? FDataSet->FFields->IndexOf(this) : -1; }

void TField::SetIndex(int Value) {
    if (FDataSet) {
        FDataSet->FFields->SetFieldIndex(this, Value);
        PropertyChanged(true);
    }
}

void TField::PropertyChanged(bool LayoutAffected) {
    if (FDataSet && FDataSet->Active())
        FDataSet->DataEvent(LayoutAffected ? deLayoutChange : deDataSetChange, 0);
}

void TField::SetDisplayLabel(const std::string& Value) {
    // A label equal to the name is no label of its own: it follows renames.
    std::string New = Value == FFieldName ? std::string() : Value;
    if (New == FDisplayLabel)
        return;
    FDisplayLabel = New;
    PropertyChanged(true);
}

void TField::SetDisplayWidth(int Value) {
    if (Value == FDisplayWidth)
        return;
    FDisplayWidth = Value;
    PropertyChanged(true);
}

void TField::SetAlignment(TAlignment Value) {
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    PropertyChanged(false);
}

void TField::SetVisible(bool Value) {
    if (Value == FVisible)
        return;
    FVisible = Value;
    PropertyChanged(true);
}

void TField::SetReadOnly(bool Value) {
    if (Value == FReadOnly)
        return;
    FReadOnly = Value;
    PropertyChanged(false);
}

bool TField::CanModify() const {
    if (FReadOnly || !FDataSet || (FFieldKind != fkData && FFieldKind != fkInternalCalc))
        return false;
    if (FDataSet->State() == dsSetKey)
        return FDataSet->GetIsIndexField(const_cast<TField*>(this));
    return FDataSet->CanModify();
}

void TField::SetLookupDataSet(TDataSet* Value) {
    if (Value == FLookupDataSet)
        return;
    CheckInactive();
    if (FLookupDataSet)
        FLookupDataSet->RemoveFreeNotification(this);
    FLookupDataSet = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TField::Bind(bool Binding) {
    if (Binding && FFieldKind == fkLookup &&
        (!FLookupDataSet || FKeyFields.empty() || FLookupKeyFields.empty() || FLookupResultField.empty()))
        DatabaseErrorFmt(SLookupInfoError, {DisplayName()}, FDataSet);
}

void TField::CalcLookupValue() {
    if (!FLookupDataSet || !FLookupDataSet->Active()) {
        Clear();
        return;
    }
    Variant Keys = FDataSet->FieldValues(FKeyFields);
    SetAsVariant(FLookupDataSet->Lookup(FLookupKeyFields, Keys, FLookupResultField));
}

// ---------------------------------------------------------------------------------------------
// Native values

bool TField::GetData(void* Buffer) const {
    if (FValidating) {
        if (FValueBuffer && Buffer)
            std::memcpy(Buffer, FValueBuffer, static_cast<std::size_t>(DataSize()));
        return FValueBuffer != nullptr;
    }
    if (!FDataSet)
        DatabaseErrorFmt(SDataSetMissing, {DisplayName()});
    return FDataSet->GetFieldData(const_cast<TField*>(this), Buffer);
}

void TField::SetData(const void* Buffer) {
    if (!FDataSet)
        DatabaseErrorFmt(SDataSetMissing, {DisplayName()});
    FDataSet->SetFieldData(this, Buffer);
}

void TField::Validate(const void* Buffer) {
    if (!OnValidate)
        return;
    // The handler reads the new value through the field: GetData serves it from Buffer meanwhile.
    bool WasValidating = FValidating;
    const void* OldBuffer = FValueBuffer;
    FValidating = true;
    FValueBuffer = Buffer;
    try {
        OnValidate(this);
    } catch (...) {
        FValidating = WasValidating;
        FValueBuffer = OldBuffer;
        throw;
    }
    FValidating = WasValidating;
    FValueBuffer = OldBuffer;
}

void TField::Change() { OnChange(this); }

void TField::FocusControl() {
    if (!FDataSet || !FDataSet->Active())
        return;
    TField* Field = this;
    FDataSet->DataEvent(deFocusControl, reinterpret_cast<TDataEventInfo>(&Field));
}

void TField::Clear() { SetData(nullptr); }

// ---------------------------------------------------------------------------------------------
// Conversions the kinds do not support

std::string TField::GetClassDesc() const {
    // "TMemoField" -> "(MEMO)", "(memo)" when the field is null.
    std::string Name = ClassName();
    std::string Kind = Name.substr(1, Name.size() >= 6 ? Name.size() - 6 : 0);
    return "(" + (IsNull() ? LowerCase(Kind) : UpperCase(Kind)) + ")";
}

void TField::AccessError(const char* TypeName) const {
    DatabaseErrorFmt(SFieldAccessError, {DisplayName(), TypeName});
}

std::string TField::GetAsString() const { return GetClassDesc(); }
void TField::SetAsStringValue(const std::string&) { AccessError("String"); }
LongInt TField::GetAsInteger() const { AccessError("Integer"); }
void TField::SetAsIntegerValue(LongInt) { AccessError("Integer"); }
double TField::GetAsFloat() const { AccessError("Float"); }
void TField::SetAsFloatValue(double) { AccessError("Float"); }
bool TField::GetAsBoolean() const { AccessError("Boolean"); }
void TField::SetAsBooleanValue(bool) { AccessError("Boolean"); }
TDateTime TField::GetAsDateTime() const { AccessError("DateTime"); }
void TField::SetAsDateTimeValue(TDateTime) { AccessError("DateTime"); }
Int64 TField::GetAsLargeInt() const { AccessError("LargeInt"); }
void TField::SetAsLargeIntValue(Int64) { AccessError("LargeInt"); }
Int64 TField::GetAsCurrency() const { return static_cast<Int64>(Round(GetAsFloat() * 10000.0)); }
void TField::SetAsCurrencyValue(Int64 Value) { SetAsFloatValue(static_cast<double>(Value) / 10000.0); }
Variant TField::GetAsVariant() const { AccessError("Variant"); }
void TField::SetVarValue(const Variant&) { AccessError("Variant"); }

void TField::SetAsVariant(const Variant& Value) {
    if (VarIsNull(Value) || VarIsEmpty(Value))
        Clear();
    else
        SetVarValue(Value);
}

// ---------------------------------------------------------------------------------------------
// Text

void TField::GetText(std::string& Text, bool DisplayText) const {
    (void)DisplayText;
    Text = GetAsString();
}

void TField::SetTextValue(const std::string& Value) { SetAsStringValue(Value); }

std::string TField::GetTextOf(bool Display) const {
    std::string Text;
    if (OnGetText)
        OnGetText(const_cast<TField*>(this), Text, Display);
    else
        GetText(Text, Display);
    return Text;
}

void TField::SetText(const std::string& Value) {
    if (OnSetText)
        OnSetText(this, Value);
    else
        SetTextValue(Value);
}

// ---------------------------------------------------------------------------------------------
// TFields

TField* TFields::Fields(int Index) const {
    if (Index < 0 || Index >= Count())
        DatabaseError(SFieldIndexError, FDataSet);
    return FList[static_cast<std::size_t>(Index)];
}

TField* TFields::FindField(const std::string& FieldName) const {
    for (TField* F : FList)
        if (AnsiSameText(F->FieldName(), FieldName))
            return F;
    std::size_t Dot = FieldName.find('.');
    if (Dot == std::string::npos)
        return nullptr;
    auto* Parent = DynCast<TObjectField>(FindField(FieldName.substr(0, Dot)));
    return Parent ? Parent->Fields()->FindField(FieldName.substr(Dot + 1)) : nullptr;
}

TField* TFields::FieldByName(const std::string& FieldName) const {
    TField* F = FindField(FieldName);
    if (!F)
        DatabaseErrorFmt(SFieldNotFound, {FieldName}, FDataSet);
    return F;
}

TField* TFields::FieldByNumber(int FieldNo) const {
    for (TField* F : FList)
        if (F->FieldNo() == FieldNo)
            return F;
    return nullptr;
}

int TFields::IndexOf(const TField* Field) const {
    auto It = std::find(FList.begin(), FList.end(), Field);
    return It == FList.end() ? -1 : static_cast<int>(It - FList.begin());
}

void TFields::GetFieldNames(std::vector<std::string>& List) const {
    for (TField* F : FList)
        List.push_back(F->FieldName());
}

void TFields::Clear() {
    while (!FList.empty()) {
        TField* F = FList.back();
        FList.pop_back();
        F->FDataSet = nullptr;
        FreeObject(F);
    }
}

void TFields::Add(TField* Field) { FList.push_back(Field); }

void TFields::Remove(TField* Field) {
    auto It = std::find(FList.begin(), FList.end(), Field);
    if (It != FList.end())
        FList.erase(It);
}

void TFields::SetFieldIndex(TField* Field, int Value) {
    int Cur = IndexOf(Field);
    if (Cur < 0)
        return;
    Value = std::clamp(Value, 0, Count() - 1);
    if (Value == Cur)
        return;
    FList.erase(FList.begin() + Cur);
    FList.insert(FList.begin() + Value, Field);
}
