// Bands and their collection: width limits, fixing to a side, moving with their columns.
#include "dxTL.h"

#include <algorithm>

TdxTreeListBand::TdxTreeListBand(TCollection* ACollection) : TCollectionItem(ACollection) {}

TdxTreeListBand::~TdxTreeListBand() {
    TCustomdxTreeList* T = TreeList();
    const int I = Index();
    if (T && I >= 0 && !T->IsDestroying() && !T->ComponentState().Contains(csUpdating) &&
        !T->ComponentState().Contains(csLoading))
        T->RemapColumnBands([I](int B) { return B == I ? -1 : (B > I ? B - 1 : B); });
}

void TdxTreeListBand::DefineClass(TClassBuilder<TdxTreeListBand>& B) {
    B.Property("Alignment", &TdxTreeListBand::Alignment, &TdxTreeListBand::SetAlignment).Default(taCenter);
    B.Property("Caption", &TdxTreeListBand::Caption, &TdxTreeListBand::SetCaption);
    B.Property("DisableCustomizing", &TdxTreeListBand::DisableCustomizing, &TdxTreeListBand::SetDisableCustomizing)
        .Default(false);
    B.Property("DisableDragging", [](TdxTreeListBand* Band) { return Band->DisableDragging; },
               [](TdxTreeListBand* Band, bool V) { Band->DisableDragging = V; })
        .Default(false);
    B.Property("Fixed", &TdxTreeListBand::Fixed, &TdxTreeListBand::SetFixed).Default(bfNone);
    B.Property("MinWidth", &TdxTreeListBand::MinWidth, &TdxTreeListBand::SetMinWidth).Default(30);
    B.Property("OnlyOwnColumns", [](TdxTreeListBand* Band) { return Band->OnlyOwnColumns; },
               [](TdxTreeListBand* Band, bool V) { Band->OnlyOwnColumns = V; })
        .Default(false);
    B.Property("Sizing", &TdxTreeListBand::Sizing, &TdxTreeListBand::SetSizing).Default(true);
    B.Property("Visible", &TdxTreeListBand::Visible, &TdxTreeListBand::SetVisible).Default(true);
    B.Property("Width", &TdxTreeListBand::Width, &TdxTreeListBand::SetWidth).Default(250);
}

TCustomdxTreeList* TdxTreeListBand::TreeList() const {
    auto* Bands = DynCast<TdxTreeListBands>(Collection());
    return Bands ? Bands->TreeList() : nullptr;
}

int TdxTreeListBand::VisibleIndex() const {
    auto* Bands = DynCast<TdxTreeListBands>(Collection());
    return Bands ? Bands->GetVisibleIndex(Index()) : -1;
}

int TdxTreeListBand::RowCount() const {
    TCustomdxTreeList* T = TreeList();
    const int V = VisibleIndex();
    return T && V >= 0 ? T->GetBandRowCount(V) : 0;
}

int TdxTreeListBand::ColumnCountInRow(int Row) const {
    TCustomdxTreeList* T = TreeList();
    const int V = VisibleIndex();
    return T && V >= 0 ? T->GetColumnCountInRow(V, Row) : 0;
}

int TdxTreeListBand::ColumnAt(int Row, int Col) const {
    if (Row < 0 || Col < 0 || Row >= RowCount() || Col >= ColumnCountInRow(Row))
        return -1;
    return TreeList()->GetColumnAt(VisibleIndex(), Row, Col);
}

void TdxTreeListBand::RestoreDefaults() {
    FAlignment = taCenter;
    FFixed = bfNone;
    FMinWidth = 30;
    OnlyOwnColumns = false;
    FSizing = true;
    FWidth = 250;
}

void TdxTreeListBand::Assign(TPersistent* Source) {
    auto* S = DynCast<TdxTreeListBand>(Source);
    if (!S) {
        TCollectionItem::Assign(Source);
        return;
    }
    TCollection* C = Collection();
    if (C)
        C->BeginUpdate();
    try {
        RestoreDefaults();
        SetAlignment(S->Alignment());
        SetCaption(S->Caption());
        SetFixed(S->Fixed());
        SetMinWidth(S->MinWidth());
        OnlyOwnColumns = S->OnlyOwnColumns;
        SetSizing(S->Sizing());
        SetVisible(S->Visible());
        SetWidth(S->Width());
    } catch (...) {
        if (C)
            C->EndUpdate();
        throw;
    }
    if (C)
        C->EndUpdate();
}

void TdxTreeListBand::SetIndex(int Value) {
    const int Count = Collection() ? Collection()->Count() : 0;
    Value = std::clamp(Value, 0, std::max(Count - 1, 0));
    const int Old = Index();
    if (FFixed != bfNone || Value == Old || Old < 0)
        return;
    if (TCustomdxTreeList* T = TreeList())
        T->RemapColumnBands([Old, Value](int B) {
            if (B == Old)
                return Value;
            if (Value < Old && B >= Value && B < Old)
                return B + 1;
            if (Value > Old && B > Old && B <= Value)
                return B - 1;
            return B;
        });
    TCollectionItem::SetIndex(Value);
}

void TdxTreeListBand::SetAlignment(TAlignment Value) {
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    Changed(false);
}

void TdxTreeListBand::SetCaption(const std::string& Value) {
    if (FCaption == Value)
        return;
    FCaption = Value;
    Changed(false);
}

void TdxTreeListBand::SetDisableCustomizing(bool Value) {
    if (FDisableCustomizing == Value)
        return;
    FDisableCustomizing = Value;
    Changed(false);
}

void TdxTreeListBand::SetFixed(TroDeraBandFixed Value) {
    if (FFixed == Value)
        return;
    FFixed = bfNone;
    if (Value != bfNone) {
        if (auto* Bands = DynCast<TdxTreeListBands>(Collection())) {
            for (int I = 0; I < Bands->Count(); ++I)
                if (Bands->Items(I)->FFixed == Value)
                    Bands->Items(I)->FFixed = bfNone;
            SetIndex(Value == bfLeft ? 0 : Bands->Count() - 1);
        }
    }
    if (FVisible)
        FFixed = Value;
    Changed(false);
}

void TdxTreeListBand::SetMinWidth(int Value) {
    FMinWidth = std::max(Value, 0);
    SetWidth(FWidth);
}

void TdxTreeListBand::SetSizing(bool Value) {
    if (FSizing == Value)
        return;
    FSizing = Value;
    Changed(false);
}

void TdxTreeListBand::SetVisible(bool Value) {
    if (FVisible == Value)
        return;
    FVisible = Value;
    if (!Value)
        FFixed = bfNone;
    Changed(true);
}

void TdxTreeListBand::SetWidth(int Value) {
    Value = std::max(Value, FMinWidth);
    TCustomdxTreeList* T = TreeList();
    if (Value == FWidth && !(T && T->IsProportionalBandColumns()))
        return;
    FWidth = Value;
    Changed(true);
}

// ---------------------------------------------------------------------------------------------
// The collection

TdxTreeListBands::TdxTreeListBands(TCustomdxTreeList* ATreeList, TCollectionItemClass ItemClass)
    : TCollection(ItemClass), FTreeList(ATreeList) {}

TPersistent* TdxTreeListBands::GetOwner() { return FTreeList; }

int TdxTreeListBands::GetAbsoluteIndex(int VisibleIndex) const {
    if (VisibleIndex < 0)
        return -1;
    for (int I = 0; I < Count(); ++I)
        if (Items(I)->Visible() && VisibleIndex-- == 0)
            return I;
    return -1;
}

int TdxTreeListBands::GetVisibleIndex(int Index) const {
    if (Index < 0 || Index >= Count() || !Items(Index)->Visible())
        return -1;
    int V = 0;
    for (int I = 0; I < Index; ++I)
        V += Items(I)->Visible() ? 1 : 0;
    return V;
}

int TdxTreeListBands::VisibleCount() const {
    int N = 0;
    for (int I = 0; I < Count(); ++I)
        N += Items(I)->Visible() ? 1 : 0;
    return N;
}

TdxTreeListBand* TdxTreeListBands::VisibleItems(int VisibleIndex) const {
    const int I = GetAbsoluteIndex(VisibleIndex);
    return I >= 0 ? Items(I) : nullptr;
}

void TdxTreeListBands::Update(TCollectionItem*) {
    if (!FTreeList)
        return;
    if (Count() != 1)
        FTreeList->DisableDefaultLayout();
    // The control's layout lists go stale also while the form is read.
    FTreeList->ClearRowCache();
    if (FTreeList->ComponentState().Contains(csLoading))
        return;
    RepairFixedBands();
    FTreeList->BandsChanged();
}

void TdxTreeListBands::RepairFixedBands() {
    bool Broken = false, LeftSeen = false, RightSeen = false;
    const int Visible = VisibleCount();
    for (int I = 0; I < Count(); ++I) {
        TdxTreeListBand* B = Items(I);
        if (B->FFixed == bfLeft) {
            Broken = Broken || LeftSeen || GetVisibleIndex(I) != 0;
            LeftSeen = true;
        } else if (B->FFixed == bfRight) {
            Broken = Broken || RightSeen || GetVisibleIndex(I) != Visible - 1;
            RightSeen = true;
        }
    }
    if (!Broken)
        return;
    TdxTreeListBand* Left = nullptr;
    TdxTreeListBand* Right = nullptr;
    for (int I = 0; I < Count(); ++I) {
        TdxTreeListBand* B = Items(I);
        if (B->FFixed == bfLeft && !Left)
            Left = B;
        if (B->FFixed == bfRight && !Right)
            Right = B;
        B->FFixed = bfNone;
    }
    BeginUpdate();
    try {
        if (Left)
            Left->SetFixed(bfLeft);
        if (Right)
            Right->SetFixed(bfRight);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}
