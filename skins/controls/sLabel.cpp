#include "sLabel.h"

#include "sMessages.h"
#include "sPaintServices.h"
#include "sVclUtils.h"

bool LabelFontUpdating = false;

namespace {
// A default manager exists and its skin may be painted with.
bool SkinActive() {
    return DefaultManager && !DefaultManager->ComponentState().Contains(csDestroying) &&
           DefaultManager->SkinData->SkinActive;
}

TCustomLabel* MakeEditLabel(TControl* Host, TsBoundLabel* BoundLabel) { return Create<TsEditLabel>(Host, BoundLabel); }

// Sets a flag for the span of a scope, whatever way the scope is left.
class TFlagScope {
public:
    explicit TFlagScope(bool& Flag) : FFlag(Flag) { FFlag = true; }
    ~TFlagScope() { FFlag = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
};
}  // namespace

TColor MainFontColorOf(TsSkinManager* Manager) {
    if (!Manager)
        return 0xFF00FF;
    int I = Manager->FindSectionIndex("GLOBALINFO");
    return I >= 0 ? ColorToRGB(Manager->SectionList[I].FontColor[1]) : TColor(0xFF00FF);
}

// ---------------------------------------------------------------------------------------------
// TsCustomLabel

TsCustomLabel::TsCustomLabel(TComponent* AOwner) : TCustomLabel(AOwner) { SetTransparent(true); }

void TsCustomLabel::DefineClass(TClassBuilder<TsCustomLabel>& B) {
    B.Property("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent).Default(true);
    B.Property("SkinSection", &TsCustomLabel::SkinSection, &TsCustomLabel::SetSkinSection);
    B.Property("OnMouseEnter", &TsCustomLabel::OnMouseEnter, &TsCustomLabel::OnMouseEnter);
    B.Property("OnMouseLeave", &TsCustomLabel::OnMouseLeave, &TsCustomLabel::OnMouseLeave);
}

void TsCustomLabel::SetSkinSection(const std::string& Value) {
    if (Value == FSkinSection)
        return;
    FSkinSection = Value;
    Repaint();
}

TColor TsCustomLabel::SkinFontColor() {
    int Index = FindFontSectionIndex(this, -1, DefaultManager);
    if (Index >= 0 && Index < static_cast<int>(DefaultManager->SectionList.size()))
        return DefaultManager->SectionList[Index].FontColor[0];
    return MainFontColorOf(DefaultManager);
}

TFont* TsCustomLabel::GetCurrentFont() {
    if (!SkinActive())
        return Font();
    TColor C = SkinFontColor();
    if (C != TColor(0xFF00FF) && C != Font()->Color())
        Font()->SetColor(C);
    return Font();
}

void TsCustomLabel::Paint() {
    if (!IsDestroying()) {
        int Section = -1;
        if (!FSkinSection.empty() && SkinActive())
            Section = DefaultManager->FindSectionIndex(FSkinSection);
        if (!LabelFontUpdating) {
            TFlagScope Updating(LabelFontUpdating);
            TFont* F = GetCurrentFont();
            if (F != Font())
                Font()->Assign(F);
            if (Section >= 0 && DefaultManager->SectionList[Section].FontColor[0] != Font()->Color())
                Font()->SetColor(DefaultManager->SectionList[Section].FontColor[0]);
        }
        // The first section of a skin is never painted behind a label.
        if (Section > 0 && Parent()) {
            ParentBackgroundInfo Info;
            QueryParentBackground(Info, Parent(), false);
            BackgroundSource Background;
            ToBackgroundSource(Info, Background);
            PaintSkinItemToDC(Section, FSkinSection, Background, DefaultManager, Canvas()->Handle(),
                              Point(Left(), Top()), Rect(0, 0, Width(), Height()), 0, 1);
        }
    }
    TCustomLabel::Paint();
}

void TsCustomLabel::DoDrawText(TRect& Rect, UINT Flags) {
    if (Enabled() || !SkinActive()) {
        TCustomLabel::DoDrawText(Rect, Flags);
        return;
    }
    std::string Text = GetLabelText();
    if (Flags & DT_CALCRECT) {
        if (Text.empty())
            Text = " ";
        else if (ShowAccelChar() && Text == "&")
            Text = "& ";
    }
    UINT Format = DrawTextBiDiModeFlags(Flags) | (ShowAccelChar() ? 0 : DT_NOPREFIX);
    TCanvas* C = Canvas();
    C->SetFont(Font());
    // Disabled text under a skin: 40 % of the font colour over 60 % of what lies behind the label.
    C->Font()->SetColor(MixColors(ColorToRGB(Font()->Color()), GetControlBgColor(Parent()), 0.4));
    HDC DC = C->Handle();
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(C->Font()->Color())));
    RECT R = Rect;
    DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), &R, Format);
    Rect = TRect::From(R);
}

void TsCustomLabel::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_FONTCHANGED:
        if (IsDestroying())
            break;
        if (!LabelFontUpdating) {
            AdjustBounds();
            Invalidate();
        }
        return;
    case CM_MOUSEENTER:
        if (OnMouseEnter)
            OnMouseEnter(this);
        break;
    default:
        break;
    }
    TCustomLabel::WndProc(Message);
    if (Message.Msg == SM_ALPHACMD) {
        switch (SkinCommandOf(Message.WParam)) {
        case SKIN_REMOVED:
            if (!IsDestroying() && DefaultManager && Message.LParam == reinterpret_cast<LPARAM>(DefaultManager) &&
                Font()->Color() != clWindowText)
                Font()->SetColor(clWindowText);
            break;
        case SKIN_REFRESH:
            if (ComponentState().Contains(csDesigning) && !IsDestroying())
                Invalidate();
            break;
        default:
            break;
        }
    } else if (Message.Msg == CM_MOUSELEAVE && OnMouseLeave) {
        OnMouseLeave(this);
    }
}

// ---------------------------------------------------------------------------------------------
// TsLabel

TsLabel::TsLabel(TComponent* AOwner) : TsCustomLabel(AOwner) { FUseSkinColor = true; }

void TsLabel::DefineClass(TClassBuilder<TsLabel>& B) {
    B.Property("UseSkinColor", &TsLabel::UseSkinColor, &TsLabel::SetUseSkinColor).Default(true);
}

TFont* TsLabel::GetCurrentFont() {
    if (IsDestroying() || !FUseSkinColor)
        return Font();
    return TsCustomLabel::GetCurrentFont();
}

void TsLabel::WndProc(TMessage& Message) {
    if (Message.Msg == SM_ALPHACMD && SkinCommandOf(Message.WParam) == SKIN_REMOVED) {
        // A label that keeps its own colour keeps it when the skin goes.
        if (!IsDestroying() && DefaultManager && Message.LParam == reinterpret_cast<LPARAM>(DefaultManager) &&
            FUseSkinColor && Font()->Color() != clWindowText)
            Font()->SetColor(clWindowText);
        return;
    }
    TsCustomLabel::WndProc(Message);
}

// ---------------------------------------------------------------------------------------------
// TsEditLabel

TsEditLabel::TsEditLabel(TComponent* AOwner, TsBoundLabel* BoundLabel) : TsLabel(AOwner), FBoundLabel(BoundLabel) {}

void TsEditLabel::BeforeDestruction() {
    // The host's parent may free the label before the host does: the bound label must not keep it.
    if (FBoundLabel)
        FBoundLabel->LabelDestroyed(this);
    TsLabel::BeforeDestruction();
}

void sLabelInitialization() {
    RegisterClass(TsLabel::StaticClass());
    BoundLabelFactory = MakeEditLabel;
}
