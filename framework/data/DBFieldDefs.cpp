// Field definitions: the collection the data sets stream as "FieldDefs", and its flattened list.
#include "DB.h"

using namespace DBConsts;

// ---------------------------------------------------------------------------------------------
// TNamedItem

void TNamedItem::DefineClass(TClassBuilder<TNamedItem>& B) {
    B.Property("Name", &TNamedItem::Name, &TNamedItem::SetName);
}

void TNamedItem::SetName(const std::string& Value) {
    if (FName == Value)
        return;
    FName = Value;
    Changed(false);
}

// ---------------------------------------------------------------------------------------------
// TFieldDef

TFieldDef::TFieldDef(TCollection* ACollection) : TNamedItem(ACollection) {}

TFieldDef::~TFieldDef() { delete FChildDefs; }

void TFieldDef::DefineClass(TClassBuilder<TFieldDef>& B) {
    B.Property("Attributes", &TFieldDef::Attributes, &TFieldDef::SetAttributes).Default(TFieldAttributes{});
    B.Property("ChildDefs", &TFieldDef::ChildDefs, &TFieldDef::SetChildDefs).Stored(&TFieldDef::ChildDefsStored);
    B.Property("DataType", &TFieldDef::DataType, &TFieldDef::SetDataType).Default(ftUnknown);
    B.Property("Precision", &TFieldDef::Precision, &TFieldDef::SetPrecision).Default(0);
    B.Property("Size", &TFieldDef::Size, &TFieldDef::SetSize).Default(0);
}

void TFieldDef::Assign(TPersistent* Source) {
    auto* S = DynCast<TFieldDef>(Source);
    if (!S) {
        TNamedItem::Assign(Source);
        return;
    }
    if (Collection())
        Collection()->BeginUpdate();
    SetName(S->Name());
    FDataType = S->FDataType;
    FSize = S->FSize;
    FPrecision = S->FPrecision;
    FAttributes = S->FAttributes;
    FInternalCalcField = S->FInternalCalcField;
    if (S->HasChildDefs())
        ChildDefs()->Assign(S->FChildDefs);
    else if (FChildDefs)
        FChildDefs->Clear();
    if (Collection())
        Collection()->EndUpdate();
}

void TFieldDef::SetDataType(TFieldType Value) {
    FDataType = Value;
    Changed(false);
}

void TFieldDef::SetSize(int Value) {
    if (Value < 0)
        DatabaseError(SInvalidFieldSize);
    FSize = Value;
    Changed(false);
}

void TFieldDef::SetPrecision(int Value) {
    FPrecision = Value;
    Changed(false);
}

void TFieldDef::SetAttributes(TFieldAttributes Value) {
    FAttributes = Value;
    Changed(false);
}

void TFieldDef::SetRequired(bool Value) {
    if (Value)
        FAttributes.Include(faRequired);
    else
        FAttributes.Exclude(faRequired);
    Changed(false);
}

TFieldDefs* TFieldDef::ChildDefs() {
    if (!FChildDefs) {
        FChildDefs = new TFieldDefs(this);
        FChildDefs->SetPropName("ChildDefs");
    }
    return FChildDefs;
}

void TFieldDef::SetChildDefs(TFieldDefs* Value) {
    if (Value != FChildDefs)
        ChildDefs()->Assign(Value);
}

bool TFieldDef::HasChildDefs() const { return FChildDefs && FChildDefs->Count() > 0; }

TFieldDef* TFieldDef::AddChild() { return ChildDefs()->AddFieldDef(); }

TFieldDefs* TFieldDef::FieldDefs() const { return static_cast<TFieldDefs*>(Collection()); }

TFieldDef* TFieldDef::ParentDef() const { return FieldDefs() ? FieldDefs()->ParentDef() : nullptr; }

TDataSet* TFieldDef::DataSet() const { return FieldDefs() ? FieldDefs()->DataSet() : nullptr; }

std::string TFieldDef::FullName() const {
    TFieldDef* Parent = ParentDef();
    return Parent ? Parent->FullName() + "." + Name() : Name();
}

int TFieldDef::FieldNo() const {
    if (FFieldNo > 0)
        return FFieldNo;
    if (TDataSet* DS = DataSet()) {
        int I = DS->FieldDefList().IndexOf(FullName());
        if (I >= 0)
            return I + 1;
    }
    return Index() + 1;
}

TFieldClass TFieldDef::FieldClass() const { return DefaultFieldClass(FDataType); }

TField* TFieldDef::CreateField(TComponent* Owner, TField* ParentField, const std::string& FieldName,
                               bool CreateChildren) {
    TFieldClass Class = FieldClass();
    if (!Class)
        DatabaseErrorFmt(SUnknownFieldType, {Name()}, DataSet());
    TField* Field = Class.Create(Owner);
    try {
        Field->SetSize(FSize);
        // A child is named by its own definition; its parent gives the full name.
        Field->SetFieldName(!FieldName.empty() ? FieldName : ParentField ? Name() : FullName());
        Field->SetRequired(FAttributes.Contains(faRequired));
        Field->SetReadOnly(FAttributes.Contains(faReadonly));
        if (auto* S = DynCast<TStringField>(Field); S && (FAttributes.Contains(faFixed) || FDataType == ftFixedChar))
            S->SetFixedChar(true);
        if (auto* B = DynCast<TBCDField>(Field))
            B->SetPrecision(FPrecision);
        if (auto* F = DynCast<TFloatField>(Field); F && FPrecision > 0)
            F->SetPrecision(FPrecision);
        if (FInternalCalcField)
            Field->SetFieldKind(fkInternalCalc);
        if (auto* Parent = DynCast<TObjectField>(ParentField))
            Parent->AddChild(Field);
        else
            Field->SetDataSet(DataSet());
        if (auto* Object = DynCast<TObjectField>(Field); Object && CreateChildren && HasChildDefs())
            for (int I = 0; I < FChildDefs->Count(); ++I)
                FChildDefs->Items(I)->CreateField(Owner, Object, "", true);
    } catch (...) {
        FreeObject(Field);
        throw;
    }
    return Field;
}

// ---------------------------------------------------------------------------------------------
// TFieldDefs

TFieldDefs::TFieldDefs(TPersistent* AOwner) : TOwnedCollection(AOwner, TFieldDef::StaticClass()) {
    if (auto* DS = DynCast<TDataSet>(AOwner))
        FDataSet = DS;
    else if (auto* Parent = DynCast<TFieldDef>(AOwner)) {
        FParentDef = Parent;
        FDataSet = Parent->DataSet();
    }
}

TFieldDef* TFieldDefs::Add(const std::string& Name, TFieldType DataType, int Size, bool Required) {
    if (Name.empty())
        DatabaseError(SFieldNameMissing, FDataSet);
    if (IndexOf(Name) >= 0)
        DatabaseErrorFmt(SDuplicateFieldName, {Name}, FDataSet);
    BeginUpdate();
    TFieldDef* Def;
    try {
        Def = AddFieldDef();
        Def->SetName(Name);
        Def->SetDataType(DataType);
        Def->SetSize(Size);
        Def->SetRequired(Required);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return Def;
}

int TFieldDefs::IndexOf(const std::string& Name) const {
    for (int I = 0; I < Count(); ++I)
        if (AnsiSameText(Items(I)->Name(), Name))
            return I;
    return -1;
}

TFieldDef* TFieldDefs::Find(const std::string& Name) const {
    int I = IndexOf(Name);
    if (I < 0)
        DatabaseErrorFmt(SFieldNotFound, {Name}, FDataSet);
    return Items(I);
}

void TFieldDefs::Update() {
    if (!FUpdated && FDataSet)
        FDataSet->InitFieldDefs();
}

void TFieldDefs::Update(TCollectionItem* Item) {
    (void)Item;
    // A change of children makes their parents and the data set's flattened list stale too.
    for (TFieldDefs* Defs = this; Defs;) {
        Defs->FUpdated = false;
        Defs = Defs->FParentDef ? Defs->FParentDef->FieldDefs() : nullptr;
    }
    if (FDataSet)
        FDataSet->FFieldDefListStale = true;
}

// ---------------------------------------------------------------------------------------------
// TFieldDefList

TFieldDef* TFieldDefList::FieldDefs(int Index) const {
    if (Index < 0 || Index >= Count())
        RaiseListIndexError(Index);
    return FItems[static_cast<std::size_t>(Index)];
}

int TFieldDefList::IndexOf(const std::string& FullName) const {
    for (int I = 0; I < Count(); ++I)
        if (AnsiSameText(FNames[static_cast<std::size_t>(I)], FullName))
            return I;
    return -1;
}

TFieldDef* TFieldDefList::Find(const std::string& FullName) const {
    int I = IndexOf(FullName);
    if (I < 0)
        DatabaseErrorFmt(SFieldNotFound, {FullName});
    return FItems[static_cast<std::size_t>(I)];
}

void TFieldDefList::Rebuild(TFieldDefs* Defs) {
    FItems.clear();
    FNames.clear();
    AddDefs(Defs, "");
}

void TFieldDefList::AddDefs(TFieldDefs* Defs, const std::string& Prefix) {
    for (int I = 0; I < Defs->Count(); ++I) {
        TFieldDef* Def = Defs->Items(I);
        std::string Name = Prefix + Def->Name();
        FItems.push_back(Def);
        FNames.push_back(Name);
        if (Def->HasChildDefs())
            AddDefs(Def->ChildDefs(), Name + ".");
    }
}
