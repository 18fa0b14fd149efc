#include "dxCntner.h"

namespace {
// The seven values from anything that answers them, set in their order.
template <class T, class S>
void CopyStyleValues(T* Target, const S& Source) {
    Target->SetBorderColor(Source.BorderColor());
    Target->SetBorderStyle(Source.BorderStyle());
    Target->SetButtonStyle(Source.ButtonStyle());
    Target->SetButtonTransparence(Source.ButtonTransparence());
    Target->SetEdges(Source.Edges());
    Target->SetHotTrack(Source.HotTrack());
    Target->SetShadow(Source.Shadow());
}

struct TFixedStyleDefaults {
    TColor BorderColor() const { return clWindowFrame; }
    TdxEditBorderStyle BorderStyle() const { return xbs3D; }
    TdxEditButtonViewStyle ButtonStyle() const { return btsDefault; }
    TdxEditButtonTransparence ButtonTransparence() const { return ebtNone; }
    TdxEditEdges Edges() const { return dxAllEdges; }
    bool HotTrack() const { return false; }
    bool Shadow() const { return false; }
};
}  // namespace

// ---------------------------------------------------------------------------------------------
// TdxStyleController

void TdxStyleController::DefineClass(TClassBuilder<TdxStyleController>&) {}

void TdxStyleController::AddLink(TObject* Link) { FLinks.push_back(Link); }

void TdxStyleController::RemoveLink(TObject* Link) {
    for (auto It = FLinks.begin(); It != FLinks.end(); ++It)
        if (*It == Link) {
            FLinks.erase(It);
            return;
        }
}

void TdxStyleController::NotifyLink(TObject* Link) { OnStyleChanged(this, Link); }

void TdxStyleController::EndUpdate() {
    --FLockCount;
    NotifyAll();
}

void TdxStyleController::NotifyAll() {
    if (FLockCount > 0 || ComponentState().Contains(csLoading))
        return;
    // A link that goes away while the others are told shortens the list: never read past its end.
    std::size_t Count = FLinks.size();
    for (std::size_t I = 0; I < Count && I < FLinks.size(); ++I)
        NotifyLink(FLinks[I]);
}

void TdxStyleController::Loaded() {
    TComponent::Loaded();
    Changed();
}

// ---------------------------------------------------------------------------------------------
// TdxEditStyleController

void TdxEditStyleController::DefineClass(TClassBuilder<TdxEditStyleController>& B) {
    B.Property("BorderColor", &TdxEditStyleController::BorderColor, &TdxEditStyleController::SetBorderColor)
        .TypeName("TColor")
        .Default(clWindowFrame);
    B.Property("BorderStyle", &TdxEditStyleController::BorderStyle, &TdxEditStyleController::SetBorderStyle)
        .Default(xbs3D);
    B.Property("ButtonStyle", &TdxEditStyleController::ButtonStyle, &TdxEditStyleController::SetButtonStyle)
        .Default(btsDefault);
    B.Property("ButtonTransparence", &TdxEditStyleController::ButtonTransparence,
               &TdxEditStyleController::SetButtonTransparence)
        .Default(ebtNone);
    B.Property("Edges", &TdxEditStyleController::Edges, &TdxEditStyleController::SetEdges).Default(dxAllEdges);
    B.Property("HotTrack", &TdxEditStyleController::HotTrack, &TdxEditStyleController::SetHotTrack).Default(false);
    B.Property("Shadow", &TdxEditStyleController::Shadow, &TdxEditStyleController::SetShadow).Default(false);
    B.Property("OnStyleChanged", [](TdxEditStyleController* C) { return C->OnStyleChanged; },
               [](TdxEditStyleController* C, TdxStyleChangedEvent E) { C->OnStyleChanged = E; });
}

void TdxEditStyleController::Assign(TPersistent* Source) {
    auto* S = DynCast<TdxEditStyleController>(Source);
    if (!S) {
        TdxStyleController::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        CopyStyleValues(this, *S);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TdxEditStyleController::NotifyLink(TObject* Link) {
    auto* Edit = DynCast<TdxInplaceEdit>(Link);
    // An editor with a controller of its own follows that one, not this (the default) one.
    if (Edit && Edit->StyleController() && Edit->StyleController() != this)
        return;
    if (Edit)
        Edit->StyleChanged();
    TdxStyleController::NotifyLink(Link);
}

void TdxEditStyleController::RestoreDefaults() {
    BeginUpdate();
    try {
        CopyStyleValues(this, TFixedStyleDefaults{});
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

// ---------------------------------------------------------------------------------------------
// TdxEditStyle

TdxEditStyle::TdxEditStyle(TdxInplaceEdit* AEdit, TDefaultControllerFn DefaultController)
    : FEdit(AEdit), FDefaultController(DefaultController) {
    if (TdxEditStyleController* C = FDefaultController())
        C->AddLink(FEdit);
}

TdxEditStyle::~TdxEditStyle() {
    if (TdxEditStyleController* C = FDefaultController())
        C->RemoveLink(FEdit);
}

void TdxEditStyle::DefineClass(TClassBuilder<TdxEditStyle>& B) {
    B.Property("AssignedValues", &TdxEditStyle::AssignedValues, &TdxEditStyle::SetAssignedValues)
        .Default(TdxEditStyleValues{});
    B.Property("BorderColor", &TdxEditStyle::BorderColor, &TdxEditStyle::SetBorderColor)
        .TypeName("TColor")
        .Stored(&TdxEditStyle::IsBorderColorStored);
    B.Property("BorderStyle", &TdxEditStyle::BorderStyle, &TdxEditStyle::SetBorderStyle)
        .Stored(&TdxEditStyle::IsBorderStyleStored);
    B.Property("ButtonStyle", &TdxEditStyle::ButtonStyle, &TdxEditStyle::SetButtonStyle)
        .Stored(&TdxEditStyle::IsButtonStyleStored);
    B.Property("ButtonTransparence", &TdxEditStyle::ButtonTransparence, &TdxEditStyle::SetButtonTransparence)
        .Stored(&TdxEditStyle::IsButtonTransparenceStored);
    B.Property("Edges", &TdxEditStyle::Edges, &TdxEditStyle::SetEdges).Stored(&TdxEditStyle::IsEdgesStored);
    B.Property("HotTrack", &TdxEditStyle::HotTrack, &TdxEditStyle::SetHotTrack).Stored(&TdxEditStyle::IsHotTrackStored);
    B.Property("Shadow", &TdxEditStyle::Shadow, &TdxEditStyle::SetShadow).Stored(&TdxEditStyle::IsShadowStored);
}

TdxEditStyleController* TdxEditStyle::GetDefaultStyleController() { return DefaultEditStyleController; }

void TdxEditStyle::Assign(TPersistent* Source) {
    auto* S = DynCast<TdxEditStyle>(Source);
    if (!S) {
        TPersistent::Assign(Source);
        return;
    }
    CopyStyleValues(this, *S);
}

void TdxEditStyle::Changed() {
    if (FEdit)
        FEdit->StyleChanged();
}

void TdxEditStyle::RestoreDefaults() {
    FAssignedValues = TdxEditStyleValues{};
    Changed();
}

void TdxEditStyle::SetAssignedValues(TdxEditStyleValues Value) {
    if (FAssignedValues == Value)
        return;
    FAssignedValues = Value;
    Changed();
}

TdxEditStyleController* TdxEditStyle::SourceController() const {
    if (FEdit && FEdit->StyleController())
        return FEdit->StyleController();
    return FDefaultController();
}

TColor TdxEditStyle::DefaultBorderColor() const {
    return FromController(&TdxEditStyleController::BorderColor, TColor(clWindowFrame));
}

TdxEditBorderStyle TdxEditStyle::DefaultBorderStyle() const {
    return FromController(&TdxEditStyleController::BorderStyle, xbs3D);
}

TdxEditButtonViewStyle TdxEditStyle::DefaultButtonStyle() const {
    return FromController(&TdxEditStyleController::ButtonStyle, btsDefault);
}

TdxEditButtonTransparence TdxEditStyle::DefaultButtonTransparence() const {
    return FromController(&TdxEditStyleController::ButtonTransparence, ebtNone);
}

TdxEditEdges TdxEditStyle::DefaultEdges() const { return FromController(&TdxEditStyleController::Edges, dxAllEdges); }

bool TdxEditStyle::DefaultHotTrack() const { return FromController(&TdxEditStyleController::HotTrack, false); }

bool TdxEditStyle::DefaultShadow() const { return FromController(&TdxEditStyleController::Shadow, false); }
