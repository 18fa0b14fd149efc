#include "Menus.h"
#include "dxExEdtr.h"

#include <algorithm>

namespace {
// Checked before the item joins its collection, so a refused button leaves the collection as it was.
TCollection* CollectionWithRoom(TCollection* C) {
    if (C && C->Count() >= dxMaxEditButtons)
        throw Exception(Format("Too many buttons ( >= %d)", {dxMaxEditButtons}));
    return C;
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Buttons

TdxEditButton::TdxEditButton(TCollection* ACollection) : TCollectionItem(CollectionWithRoom(ACollection)) {}

TdxEditButton::~TdxEditButton() { FreeAndNil(FGlyph); }

void TdxEditButton::DefineClass(TClassBuilder<TdxEditButton>& B) {
    B.Property("Default", &TdxEditButton::Default, &TdxEditButton::SetDefault).Default(false);
    B.Property("Glyph", &TdxEditButton::Glyph, &TdxEditButton::SetGlyph).Stored(&TdxEditButton::HasGlyph);
    B.Property("Kind", &TdxEditButton::Kind, &TdxEditButton::SetKind).Default(bkEllipsis);
    B.Property("LeftAlignment", &TdxEditButton::LeftAlignment, &TdxEditButton::SetLeftAlignment).Default(false);
    B.Property("Visible", &TdxEditButton::Visible, &TdxEditButton::SetVisible).Default(true);
    B.Property("Width", &TdxEditButton::Width, &TdxEditButton::SetWidth).Default(0);
}

void TdxEditButton::Assign(TPersistent* Source) {
    auto* S = DynCast<TdxEditButton>(Source);
    if (!S) {
        TCollectionItem::Assign(Source);
        return;
    }
    if (Collection())
        Collection()->BeginUpdate();
    try {
        ResetButton();
        SetDefault(S->FDefault);
        SetGlyph(S->FGlyph);
        SetKind(S->FKind);
        SetLeftAlignment(S->FLeftAlignment);
        SetVisible(S->FVisible);
        SetWidth(S->FWidth);
    } catch (...) {
        if (Collection())
            Collection()->EndUpdate();
        throw;
    }
    if (Collection())
        Collection()->EndUpdate();
}

void TdxEditButton::ResetButton() {
    FreeAndNil(FGlyph);
    FKind = bkEllipsis;
    FLeftAlignment = false;
    FVisible = true;
    FWidth = 0;
    Changed(true);
}

void TdxEditButton::SetDefault(bool Value) {
    if (Value)
        if (auto* Buttons = DynCast<TdxEditButtons>(Collection()))
            for (int I = 0; I < Buttons->Count(); ++I)
                Buttons->Items(I)->FDefault = false;
    FDefault = Value;
    Changed(true);
}

TBitmap* TdxEditButton::Glyph() {
    if (!FGlyph)
        FGlyph = Create<TBitmap>();
    return FGlyph;
}

void TdxEditButton::SetGlyph(TBitmap* Value) {
    if (!Value)
        FreeAndNil(FGlyph);
    else
        Glyph()->Assign(Value);
    Changed(true);
}

void TdxEditButton::SetKind(TdxEditButtonKind Value) {
    if (FKind != Value) {
        FKind = Value;
        Changed(true);
    }
}

void TdxEditButton::SetLeftAlignment(bool Value) {
    if (FLeftAlignment != Value) {
        FLeftAlignment = Value;
        Changed(true);
    }
}

void TdxEditButton::SetVisible(bool Value) {
    if (FVisible != Value) {
        FVisible = Value;
        Changed(true);
    }
}

void TdxEditButton::SetWidth(int Value) {
    if (FWidth != Value) {
        FWidth = Value;
        Changed(true);
    }
}

TdxEditButtons::TdxEditButtons(TComponent* AOwner, TCollectionItemClass ItemClass)
    : TCollection(ItemClass), FOwner(AOwner) {}

void TdxEditButtons::Update(TCollectionItem* Item) {
    TCollection::Update(Item);
    if (FOwner && !FOwner->ComponentState().Contains(csLoading) && Count() == 1)
        Items(0)->FDefault = true;
}

int TdxEditButtons::VisibleCount() const {
    int N = 0;
    for (int I = 0; I < Count(); ++I)
        if (Items(I)->Visible())
            ++N;
    return N;
}

TdxEditButton* TdxEditButtons::VisibleItems(int N, int* Index) const {
    for (int I = 0; I < Count(); ++I)
        if (Items(I)->Visible() && N-- == 0) {
            if (Index)
                *Index = I;
            return Items(I);
        }
    if (Index)
        *Index = -1;
    return nullptr;
}

void TdxEditButtons::ResetAllButtons() {
    BeginUpdate();
    try {
        for (int I = 0; I < Count(); ++I)
            Items(I)->ResetButton();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TdxInplaceEditButtons::Update(TCollectionItem* Item) {
    TdxEditButtons::Update(Item);
    if (auto* Edit = DynCast<TdxInplaceButtonEdit>(FOwner))
        Edit->StyleChanged();
}

// ---------------------------------------------------------------------------------------------
// Class level

TdxEditViewDataClass TdxInplaceButtonEdit::TMetaClass::GetViewDataClass() const {
    return TdxEditViewDataClass::Of<TdxButtonEditViewData>();
}

void TdxInplaceButtonEdit::TMetaClass::InitButtons(TdxDropDownEditViewData* ViewData) const {
    TdxInplaceDropDownEdit::TMetaClass::InitButtons(ViewData);
    auto* VD = DynCast<TdxButtonEditViewData>(ViewData);
    if (!VD || !VD->ButtonCollection || VD->ButtonCollection->Count() == 0 || ViewData->HideButtons)
        return;
    const int N = std::min(VD->ButtonCollection->VisibleCount(), dxMaxEditButtons);
    VD->ButtonCount = N;
    for (int B = 0; B < N; ++B) {
        TdxEditButton* Button = VD->ButtonCollection->VisibleItems(B);
        TdxEditButtonViewInfo& Info = VD->Buttons[B];
        Info = TdxEditButtonViewInfo{};
        Info.Glyph = Button->Glyph();
        Info.Index = B;
        Info.Kind = Button->Kind();
        Info.LeftAlignment = Button->LeftAlignment();
        Info.Width = Button->Width() ? Button->Width() : ButtonWidth(VD, Info);
    }
}

// The drop-down layout is done here rather than inherited: in buttons-only mode the last button
// takes what the text area leaves, which is known only before the buttons are taken out of it.
void TdxInplaceButtonEdit::TMetaClass::CalcViewInfo(TdxEditViewData* ViewData, bool AutoSize, ViewInfo& Info) const {
    TdxInplaceMaskEdit::TMetaClass::CalcViewInfo(ViewData, AutoSize, Info);
    auto* VD = DynCast<TdxDropDownEditViewData>(ViewData);
    if (!VD)
        return;
    InitButtons(VD);
    auto* BD = DynCast<TdxButtonEditViewData>(ViewData);
    const bool ButtonOnly = BD && BD->ButtonOnly && VD->ButtonCount > 0;
    if (ButtonOnly) {
        int Sum = 0;
        for (int I = 0; I < VD->ButtonCount; ++I)
            Sum += VD->Buttons[I].Width;
        if (Sum < Info.ClientBounds.Width())
            VD->Buttons[VD->ButtonCount - 1].Width += Info.ClientBounds.Width() - Sum;
    }
    for (int I = 0; I < VD->ButtonCount; ++I) {
        if (VD->Buttons[I].LeftAlignment)
            Info.ClientBounds.Left += VD->Buttons[I].Width;
        else
            Info.ClientBounds.Right -= VD->Buttons[I].Width;
    }
    if (ButtonOnly)
        Info.ClientBounds.Right = Info.ClientBounds.Left;
}

bool TdxInplaceButtonEdit::TMetaClass::DrawClient(HDC DC, const TRect& Rect, bool IsEditorPaint,
                                                 TdxEditViewData* ViewData) const {
    auto* VD = DynCast<TdxButtonEditViewData>(ViewData);
    return TdxInplaceDropDownEdit::TMetaClass::DrawClient(DC, Rect, IsEditorPaint && !(VD && VD->HideEditCursor),
                                                         ViewData);
}

// ---------------------------------------------------------------------------------------------
// The editor

TdxInplaceButtonEdit::TdxInplaceButtonEdit(TComponent* AOwner) : TdxInplaceDropDownEdit(AOwner) {
    FButtons = Create<TdxInplaceEditButtons>(this, TCollectionItemClass::Of<TdxEditButton>());
    FButtons->SetPropName("Buttons");
    FButtons->Add();
}

TdxInplaceButtonEdit::~TdxInplaceButtonEdit() { FreeAndNil(FButtons); }

void TdxInplaceButtonEdit::DefineClass(TClassBuilder<TdxInplaceButtonEdit>& B) {
    B.Message<&TdxInplaceButtonEdit::WMGetDlgCodeButton>(WM_GETDLGCODE);
    B.Property("Buttons", &TdxInplaceButtonEdit::Buttons, &TdxInplaceButtonEdit::SetButtons);
}

void TdxInplaceButtonEdit::DefineProperties(TFiler& Filer) {
    TdxInplaceDropDownEdit::DefineProperties(Filer);
    Filer.DefineProperty(
        "ExistButtons", [this](TReader& R) { FExistButtons = R.ReadBoolean(); },
        [this](TWriter& W) { W.WriteBoolean(FButtons->Count() > 0); }, FButtons->Count() > 0);
}

void TdxInplaceButtonEdit::Loaded() {
    TdxInplaceDropDownEdit::Loaded();
    // A stream of an editor without buttons says nothing of them: the button made by the
    // constructor must go.
    if (!FExistButtons)
        FButtons->Clear();
}

void TdxInplaceButtonEdit::SetEditViewMode(Byte Value) {
    if (FEditViewMode == Value)
        return;
    FEditViewMode = Value;
    RecreateWnd();
}

TdxEditViewData* TdxInplaceButtonEdit::CreateViewData(bool IsPaintCopy) {
    TdxEditViewData* VD = TdxInplaceDropDownEdit::CreateViewData(IsPaintCopy);
    if (auto* D = DynCast<TdxButtonEditViewData>(VD)) {
        D->ButtonCollection = FButtons;
        D->ButtonOnly = FEditViewMode == 2 && FButtons->Count() > 0;
        D->HideEditCursor = !HasEditWindow();
    }
    return VD;
}

void TdxInplaceButtonEdit::ButtonClick(int Index) {
    int Absolute = -1;
    if (OnButtonClick && Index >= 0 && FButtons->VisibleItems(Index, &Absolute))
        OnButtonClick(this, Absolute);
    DoOpenPopup();
}

void TdxInplaceButtonEdit::ClickDefaultButton() {
    for (int B = 0; TdxEditButton* Button = FButtons->VisibleItems(B); ++B)
        if (Button->Default()) {
            ButtonClick(B);
            return;
        }
}

void TdxInplaceButtonEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (!HasEditWindow()) {
        if (Key == VK_LEFT)
            FocusAdjacentCell(true);
        else if (Key == VK_RIGHT)
            FocusAdjacentCell(false);
    }
    if (FButtons->Count() > 0 && ShortCut(Key, Shift) == ClickKey) {
        if (HandleAllocated())
            RemovePendingMessage(FHandle, WM_CHAR);
        ClickDefaultButton();
        return;
    }
    TdxInplaceDropDownEdit::KeyDown(Key, Shift);
}

void TdxInplaceButtonEdit::WMGetDlgCodeButton(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (IsInplace())
        Message.Result |= DLGC_WANTARROWS;
}
