#include "Classes.h"

#include <algorithm>
#include <map>
#include <mutex>

using namespace ClassesConsts;


void RaiseListIndexError(int Index) {
    throw EListError(Format(SListIndexError, {Index}));
}

// ---------------------------------------------------------------------------------------------
// TPersistent

void TPersistent::Assign(TPersistent* Source) {
    if (Source)
        Source->AssignTo(this);
    else
        throw EConvertError(Format(SAssignError, {"nil", ClassName()}));
}

void TPersistent::AssignTo(TPersistent* Dest) {
    // Dest->Assign(this) came here because this class cannot copy itself into Dest; the message
    // names the source and the target.
    throw EConvertError(Format(SAssignError, {ClassName(), Dest ? Dest->ClassName() : std::string("nil")}));
}

void TPersistent::DefineProperties(TFiler&) {}

std::string TPersistent::GetNamePath() {
    std::string S = ClassName();
    if (TPersistent* O = GetOwner()) {
        std::string P = O->GetNamePath();
        if (!P.empty())
            return P + "." + S;
    }
    return S;
}

// ---------------------------------------------------------------------------------------------
// TComponent

bool IsValidIdent(const std::string& Ident) {
    if (Ident.empty())
        return false;
    auto Alpha = [](char C) { return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || C == '_'; };
    if (!Alpha(Ident[0]))
        return false;
    for (char C : Ident)
        if (!Alpha(C) && !(C >= '0' && C <= '9'))
            return false;
    return true;
}

void TComponent::DefineClass(TClassBuilder<TComponent>& B) {
    B.Property("Name", &TComponent::FName, &TComponent::SetName).TypeName("TComponentName").Stored(false);
    B.Property("Tag", &TComponent::FTag, &TComponent::SetTag).Default(0);
}

void TBasicAction::DefineClass(TClassBuilder<TBasicAction>& B) {
    B.Property("OnExecute", &TBasicAction::OnExecute, &TBasicAction::OnExecute);
}

bool TBasicAction::Execute() {
    if (!OnExecute)
        return false;
    OnExecute(this);
    return true;
}

namespace ClassesDetail {
// Set by the reader while it constructs a component, so that csLoading is on before the
// constructor runs (as the platform's reader sets it on the new instance).
thread_local bool GConstructingLoaded = false;
void ForgetFixups(TComponent* Component);  // Filer.cpp
}  // namespace ClassesDetail

TComponent::TComponent(TComponent* AOwner) {
    // Only the component the reader is making: its base constructor runs first and takes the flag,
    // so components its own constructor creates are not marked.
    if (ClassesDetail::GConstructingLoaded) {
        ClassesDetail::GConstructingLoaded = false;
        FComponentState.Include(csLoading);
    }
    if (AOwner) {
        AOwner->Insert(this);
        if (AOwner->FComponentState.Contains(csDesigning))
            FComponentState.Include(csDesigning);
        FInsertPending = true;
    }
}

TComponent::~TComponent() {
    if (!FDestroyed)
        DestroySequence();
}

void TComponent::AfterConstruction() {
    if (FInsertPending) {
        FInsertPending = false;
        if (FOwner)
            FOwner->Notification(this, opInsert);
    }
}

void TComponent::BeforeDestruction() {
    if (!FDestroyed)
        DestroySequence();
}

void TComponent::DestroySequence() {
    FDestroyed = true;
    Destroying();
    // Partners are told first; each answers with RemoveFreeNotification (the base Notification),
    // which unlinks both ways. A partner that does not call the base is unlinked here.
    while (!FFreeNotifies.empty()) {
        TComponent* Partner = FFreeNotifies.back();
        Partner->Notification(this, opRemove);
        if (!FFreeNotifies.empty() && FFreeNotifies.back() == Partner) {
            FFreeNotifies.pop_back();
            Partner->RemoveNotification(this);
        }
    }
    DestroyComponents();
    if (FOwner)
        FOwner->RemoveComponent(this);
    UnRegisterGlobalRoot(this);
    ClassesDetail::ForgetFixups(this);
}

void TComponent::Destroying() {
    if (FComponentState.Contains(csDestroying))
        return;
    FComponentState.Include(csDestroying);
    for (TComponent* C : FComponents)
        C->Destroying();
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* Instance = FComponents.back();
        if (Instance->FComponentState.Contains(csFreeNotification) ||
            (FComponentState.Contains(csDesigning) && FComponentState.Contains(csInline)))
            RemoveComponent(Instance);
        else
            Remove(Instance);
        Instance->Free();
    }
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount())
        RaiseListIndexError(Index);
    return FComponents[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const {
    if (!FOwner)
        return -1;
    auto& L = FOwner->FComponents;
    auto It = std::find(L.begin(), L.end(), this);
    return It == L.end() ? -1 : static_cast<int>(It - L.begin());
}

void TComponent::SetComponentIndex(int Value) {
    if (!FOwner)
        return;
    int I = ComponentIndex();
    auto& L = FOwner->FComponents;
    if (Value < 0)
        Value = 0;
    if (Value >= static_cast<int>(L.size()))
        Value = static_cast<int>(L.size()) - 1;
    if (I < 0 || Value == I)
        return;
    L.erase(L.begin() + I);
    L.insert(L.begin() + Value, this);
}

void TComponent::SetName(const std::string& NewName) {
    if (FName == NewName)
        return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError(Format(SInvalidName, {NewName}));
    if (FOwner)
        FOwner->ValidateRename(this, FName, NewName);
    else
        ValidateRename(nullptr, FName, NewName);
    SetReference(false);
    ChangeName(NewName);
    SetReference(true);
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName) {
    if (AComponent && !SameText(CurName, NewName) && AComponent->FOwner == this && FindComponent(NewName))
        throw EComponentError(Format(SDuplicateName, {NewName}));
}

void TComponent::ValidateContainer(TComponent* AComponent) { AComponent->ValidateInsert(this); }
void TComponent::ValidateInsert(TComponent*) {}

TComponent* TComponent::FindComponent(const std::string& AName) const {
    if (AName.empty())
        return nullptr;
    for (TComponent* C : FComponents)
        if (SameText(C->FName, AName))
            return C;
    return nullptr;
}

void TComponent::Insert(TComponent* AComponent) {
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
    AComponent->FOwner = nullptr;
    auto It = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (It != FComponents.end())
        FComponents.erase(It);
}

void TComponent::InsertComponent(TComponent* AComponent) {
    AComponent->ValidateContainer(this);
    ValidateRename(AComponent, "", AComponent->FName);
    Insert(AComponent);
    AComponent->SetReference(true);
    if (FComponentState.Contains(csDesigning))
        AComponent->SetDesigning(true);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    Notification(AComponent, opRemove);
    AComponent->SetReference(false);
    Remove(AComponent);
}

// The owner's published field of this component's name follows it.
void TComponent::SetReference(bool Enable) {
    if (!FOwner || FName.empty())
        return;
    if (const TFieldEntry* F = FindPublishedField(FOwner->ClassType(), FName))
        if (!Enable || InheritsFrom(F->FieldClass))
            F->Set(FOwner, Enable ? this : nullptr);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent)
        RemoveFreeNotification(AComponent);
    // Components may leave the list while they are told: walk from the end, re-clamping.
    int I = ComponentCount() - 1;
    while (I >= 0) {
        FComponents[static_cast<size_t>(I)]->Notification(AComponent, Operation);
        --I;
        if (I >= ComponentCount())
            I = ComponentCount() - 1;
    }
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (!AComponent || AComponent == this)
        return;
    if (!FOwner || AComponent->FOwner != FOwner) {
        if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
            FFreeNotifies.push_back(AComponent);
            AComponent->FreeNotification(this);
        }
    }
    FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveNotification(TComponent* AComponent) {
    auto It = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
    if (It != FFreeNotifies.end())
        FFreeNotifies.erase(It);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    RemoveNotification(AComponent);
    AComponent->RemoveNotification(this);
}

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

void TComponent::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    if (Root != this)
        return;
    for (TComponent* C : std::vector<TComponent*>(FComponents))
        if (!C->HasParent())
            Proc(C);
}

void TComponent::SetChildOrder(TComponent*, int) {}
void TComponent::SetParentComponent(TComponent*) {}
void TComponent::Updating() { FComponentState.Include(csUpdating); }
void TComponent::Updated() { FComponentState.Exclude(csUpdating); }

std::string TComponent::GetNamePath() { return FName; }

void TComponent::SetDesigning(bool Value, bool SetChildren) {
    if (Value)
        FComponentState.Include(csDesigning);
    else
        FComponentState.Exclude(csDesigning);
    if (SetChildren)
        for (TComponent* C : FComponents)
            C->SetDesigning(Value, true);
}

void TComponent::SetInline(bool Value) {
    if (Value)
        FComponentState.Include(csInline);
    else
        FComponentState.Exclude(csInline);
}

void TComponent::SetAncestor(bool Value) {
    if (Value)
        FComponentState.Include(csAncestor);
    else
        FComponentState.Exclude(csAncestor);
    for (TComponent* C : FComponents)
        C->SetAncestor(Value);
}

void TComponent::SetSubComponent(bool Value) {
    if (Value)
        FComponentStyle.Include(csSubComponent);
    else
        FComponentStyle.Exclude(csSubComponent);
}

// ---------------------------------------------------------------------------------------------
// Collections

TCollectionItem::TCollectionItem(TCollection* ACollection) { SetCollection(ACollection); }

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::SetCollection(TCollection* Value) {
    if (FCollection == Value)
        return;
    if (FCollection)
        FCollection->RemoveItem(this);
    if (Value)
        Value->InsertItem(this);
}

int TCollectionItem::Index() const {
    if (!FCollection)
        return -1;
    auto& L = FCollection->FItems;
    auto It = std::find(L.begin(), L.end(), this);
    return It == L.end() ? -1 : static_cast<int>(It - L.begin());
}

void TCollectionItem::SetIndex(int Value) {
    int Cur = Index();
    if (Cur >= 0 && Cur != Value) {
        FCollection->MoveItem(Cur, Value);
        Changed(true);
    }
}

std::string TCollectionItem::GetDisplayName() { return ClassName(); }
void TCollectionItem::SetDisplayName(const std::string&) { Changed(false); }

void TCollectionItem::Changed(bool AllItems) {
    if (FCollection && FCollection->FUpdateCount == 0)
        FCollection->Update(AllItems ? nullptr : this);
}

TPersistent* TCollectionItem::GetOwner() { return FCollection; }

std::string TCollectionItem::GetNamePath() {
    if (!FCollection)
        return ClassName();
    return FCollection->GetNamePath() + "[" + std::to_string(Index()) + "]";
}

TCollection::TCollection(TCollectionItemClass ItemClass) : FItemClass(ItemClass) {}

TCollection::~TCollection() {
    FUpdateCount = 1;  // no Update calls while dying
    while (!FItems.empty())
        FItems.back()->Free();
}

TCollectionItem* TCollection::Add() {
    auto* Item = static_cast<TCollectionItem*>(static_cast<TClass>(FItemClass)->CreateInstanceArg(this));
    Added(Item);
    Changed();
    return Item;
}

TCollectionItem* TCollection::Insert(int Index) {
    TCollectionItem* Item = Add();
    Item->SetIndex(Index);
    return Item;
}

TCollectionItem* TCollection::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        RaiseListIndexError(Index);
    return FItems[static_cast<size_t>(Index)];
}

void TCollection::Clear() {
    if (FItems.empty())
        return;
    BeginUpdate();
    try {
        while (!FItems.empty())
            FItems.back()->Free();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::Delete(int Index) { Items(Index)->Free(); }

TCollectionItem* TCollection::FindItemID(int ID) const {
    for (TCollectionItem* I : FItems)
        if (I->FID == ID)
            return I;
    return nullptr;
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        Changed();
}

void TCollection::Changed() {
    if (FUpdateCount == 0)
        Update(nullptr);
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Assign(TPersistent* Source) {
    if (auto* S = DynCast<TCollection>(Source)) {
        BeginUpdate();
        try {
            Clear();
            for (TCollectionItem* I : S->FItems)
                Add()->Assign(I);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        return;
    }
    TPersistent::Assign(Source);
}

std::string TCollection::PropName() {
    if (!FPropName.empty())
        return FPropName;
    // The owner's published property that holds this collection.
    if (TPersistent* O = GetOwner())
        for (PPropInfo P : GetPropList(O, TTypeKinds{tkClass}, false))
            if (P->GetObj(O) == this)
                return FPropName = P->Name;
    return std::string();
}

std::string TCollection::GetNamePath() {
    TPersistent* O = GetOwner();
    if (!O)
        return ClassName();
    std::string S = O->GetNamePath();
    std::string P = PropName();
    if (S.empty() || P.empty())
        return ClassName();
    return S + "." + P;
}

void TCollection::InsertItem(TCollectionItem* Item) {
    // Runs from the item's base constructor: its class is not known yet (Add makes the item class).
    FItems.push_back(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
    SetItemName(Item);
}

void TCollection::RemoveItem(TCollectionItem* Item) {
    Deleting(Item);
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    if (It != FItems.end())
        FItems.erase(It);
    Item->FCollection = nullptr;
    Changed();
}

void TCollection::MoveItem(int From, int To) {
    if (To < 0 || To >= Count())
        RaiseListIndexError(To);
    TCollectionItem* Item = FItems[static_cast<size_t>(From)];
    FItems.erase(FItems.begin() + From);
    FItems.insert(FItems.begin() + To, Item);
}

// ---------------------------------------------------------------------------------------------
// Class registry

namespace {
struct TRegistry {
    std::mutex Lock;
    std::vector<std::pair<std::string, TClass>> Classes;  // registration order
    struct TGroup {
        TClass GroupClass;
        std::vector<TClass> Members;  // classes whose descendants join this group
    };
    std::vector<TGroup> Groups;
    TClass Active = nullptr;
};
TRegistry& Registry() {
    static TRegistry R;
    return R;
}
}  // namespace

void RegisterClassAlias(TClass AClass, const std::string& Alias) {
    TRegistry& R = Registry();
    std::lock_guard<std::mutex> L(R.Lock);
    for (auto& [Name, C] : R.Classes)
        if (SameText(Name, Alias)) {
            if (C == AClass)
                return;
            throw EFilerError(Format(SDuplicateClass, {Alias}));
        }
    R.Classes.emplace_back(Alias, AClass);
}

void RegisterClass(TClass AClass) {
    // Ancestors up to TPersistent become known too, as the platform registers them.
    for (TClass C = AClass; C && C != TPersistent::StaticClass() && C != TObject::StaticClass(); C = C->ClassParent()) {
        if (C != AClass && GetClass(C->ClassName()))
            break;
        if (C == AClass || !GetClass(C->ClassName()))
            RegisterClassAlias(C, C->ClassName());
    }
}

void RegisterClasses(std::initializer_list<TClass> Classes) {
    for (TClass C : Classes)
        RegisterClass(C);
}

void UnRegisterClass(TClass AClass) {
    TRegistry& R = Registry();
    std::lock_guard<std::mutex> L(R.Lock);
    R.Classes.erase(std::remove_if(R.Classes.begin(), R.Classes.end(), [&](auto& E) { return E.second == AClass; }),
                    R.Classes.end());
}

void UnRegisterClasses(std::initializer_list<TClass> Classes) {
    for (TClass C : Classes)
        UnRegisterClass(C);
}

TClass GetClass(const std::string& ClassName) {
    TRegistry& R = Registry();
    std::lock_guard<std::mutex> L(R.Lock);
    for (auto& [Name, C] : R.Classes)
        if (SameText(Name, ClassName))
            return C;
    return nullptr;
}

TClass FindClass(const std::string& ClassName) {
    TClass C = GetClass(ClassName);
    if (!C)
        throw EClassNotFound(Format(SClassNotFound, {ClassName}));
    return C;
}

void StartClassGroup(TClass AClass) {
    TRegistry& R = Registry();
    std::lock_guard<std::mutex> L(R.Lock);
    for (auto& G : R.Groups)
        if (G.GroupClass == AClass)
            return;
    R.Groups.push_back({AClass, {AClass}});
}

TClass ActivateClassGroup(TClass AClass) {
    TRegistry& R = Registry();
    std::lock_guard<std::mutex> L(R.Lock);
    TClass Old = R.Active;
    for (auto& G : R.Groups)
        for (TClass M : G.Members)
            if (M == AClass || AClass->InheritsFrom(M)) {
                R.Active = G.GroupClass;
                return Old;
            }
    throw EFilerError("Class group of " + AClass->ClassName() + " not found");
}

void GroupDescendentsWith(TClass AClass, TClass AClassGroup) {
    TRegistry& R = Registry();
    std::lock_guard<std::mutex> L(R.Lock);
    for (auto& G : R.Groups)
        for (TClass M : G.Members)
            if (AClassGroup == M || AClassGroup->InheritsFrom(M)) {
                if (std::find(G.Members.begin(), G.Members.end(), AClass) == G.Members.end())
                    G.Members.push_back(AClass);
                return;
            }
    throw EFilerError("Class group of " + AClassGroup->ClassName() + " not found");
}

TClass ClassGroupOf(TClass AClass) {
    TRegistry& R = Registry();
    std::lock_guard<std::mutex> L(R.Lock);
    // The most specific member wins: a class grouped on its own beats its ancestor's group.
    TClass Best = nullptr, BestMember = nullptr;
    for (auto& G : R.Groups)
        for (TClass M : G.Members)
            if (AClass->InheritsFrom(M) && (!BestMember || M->InheritsFrom(BestMember))) {
                Best = G.GroupClass;
                BestMember = M;
            }
    return Best;
}

// ---------------------------------------------------------------------------------------------
// Integer constants

namespace {
struct TIntConst {
    std::string TypeName;
    TIdentToInt IdentToInt;
    TIntToIdent IntToIdent;
};
std::vector<TIntConst>& IntConsts() {
    static std::vector<TIntConst> V;
    return V;
}
}  // namespace

void RegisterIntegerConsts(const std::string& TypeName, TIdentToInt IdentToInt, TIntToIdent IntToIdent) {
    IntConsts().push_back({TypeName, IdentToInt, IntToIdent});
}

void RegisterIntegerConsts(PTypeInfo IntegerType, TIdentToInt IdentToInt, TIntToIdent IntToIdent) {
    RegisterIntegerConsts(IntegerType->Name, IdentToInt, IntToIdent);
}

void UnRegisterIntegerConsts(const std::string& TypeName, TIdentToInt IdentToInt, TIntToIdent IntToIdent) {
    auto& V = IntConsts();
    for (size_t I = V.size(); I-- > 0;)
        if (SameText(V[I].TypeName, TypeName) && V[I].IdentToInt == IdentToInt && V[I].IntToIdent == IntToIdent) {
            V.erase(V.begin() + static_cast<std::ptrdiff_t>(I));
            return;
        }
}

bool IdentToIntOf(PTypeInfo IntegerType, const std::string& Ident, int& Value) {
    return IdentToIntOf(IntegerType->Name, Ident, Value);
}

bool IdentToIntOf(const std::string& TypeName, const std::string& Ident, int& Value) {
    auto& V = IntConsts();
    for (size_t I = V.size(); I-- > 0;)
        if (SameText(V[I].TypeName, TypeName) && V[I].IdentToInt) {
            LongInt X;
            if (V[I].IdentToInt(Ident, X)) {
                Value = X;
                return true;
            }
        }
    return false;
}

bool IntToIdentOf(PTypeInfo IntegerType, LongInt Value, std::string& Ident) {
    auto& V = IntConsts();
    for (size_t I = V.size(); I-- > 0;)
        if (SameText(V[I].TypeName, IntegerType->Name) && V[I].IntToIdent && V[I].IntToIdent(Value, Ident))
            return true;
    return false;
}

bool IdentToIntMap(const std::string& Ident, LongInt& Int, const TIdentMapEntry* Map, int Count) {
    for (int I = 0; I < Count; ++I)
        if (SameText(Map[I].Name, Ident)) {
            Int = Map[I].Value;
            return true;
        }
    return false;
}

bool IntToIdentMap(LongInt Int, std::string& Ident, const TIdentMapEntry* Map, int Count) {
    for (int I = 0; I < Count; ++I)
        if (Map[I].Value == Int) {
            Ident = Map[I].Name;
            return true;
        }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Global roots

namespace {
std::vector<TComponent*>& GlobalRoots() {
    static std::vector<TComponent*> V;
    return V;
}
std::vector<TFindGlobalComponent>& FindProcs() {
    static std::vector<TFindGlobalComponent> V;
    return V;
}
}  // namespace

void RegisterGlobalRoot(TComponent* Root) {
    auto& V = GlobalRoots();
    if (std::find(V.begin(), V.end(), Root) == V.end())
        V.push_back(Root);
}

void UnRegisterGlobalRoot(TComponent* Root) {
    auto& V = GlobalRoots();
    auto It = std::find(V.begin(), V.end(), Root);
    if (It != V.end())
        V.erase(It);
}

void RegisterFindGlobalComponentProc(TFindGlobalComponent Proc) { FindProcs().push_back(Proc); }

void UnRegisterFindGlobalComponentProc(TFindGlobalComponent Proc) {
    auto& V = FindProcs();
    V.erase(std::remove(V.begin(), V.end(), Proc), V.end());
}

TComponent* FindGlobalComponent(const std::string& Name) {
    if (Name.empty())
        return nullptr;
    for (TComponent* C : GlobalRoots())
        if (SameText(C->Name(), Name))
            return C;
    for (auto Proc : FindProcs())
        if (TComponent* C = Proc(Name))
            return C;
    return nullptr;
}
