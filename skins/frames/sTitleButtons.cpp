#include "sTitleButtons.h"

#include "Forms.h"
#include "acSBAnimation.h"
#include "sSkinProvider.h"

TsTitleButton::TsTitleButton(TCollection* ACollection) : TCollectionItem(nullptr) {
    FGlyph = Create<TBitmap>();
    FGlyph->OnChange = TNotifyEvent::Bind<&TsTitleButton::GlyphChanged>(this);
    SetCollection(ACollection);
    if (FName.empty())
        FName = ClassName();
}

TsTitleButton::~TsTitleButton() {
    if (Data.Animation)
        FreeAndNil(Data.Animation);
    FreeAndNil(FGlyph);
    FreeAndNil(HintWnd);
}

void TsTitleButton::DefineClass(TClassBuilder<TsTitleButton>& B) {
    using T = TsTitleButton;
    B.Property("Enabled", &T::Enabled, &T::Enabled).Default(true);
    B.Property("Glyph", &T::Glyph, &T::SetGlyph);
    B.Property("Hint", &T::Hint, &T::Hint);
    B.Property("Name", &T::Name, &T::SetName);
    B.Property("UseSkinData", &T::UseSkinData, &T::UseSkinData).Default(true);
    B.Property("Visible", &T::Visible, &T::SetVisible).Default(true);
    B.Property("OnMouseDown", &T::OnMouseDown, &T::OnMouseDown);
    B.Property("OnMouseUp", &T::OnMouseUp, &T::OnMouseUp);
}

TsSkinProvider* TsTitleButton::Provider() const {
    auto* Buttons = DynCast<TsTitleButtons>(Collection());
    return Buttons ? Buttons->FOwner : nullptr;
}

void TsTitleButton::SetName(const std::string& Value) {
    if (FName != Value)
        FName = Value;
}

void TsTitleButton::SetVisible(bool Value) {
    if (FVisible == Value)
        return;
    FVisible = Value;
    if (TsSkinProvider* P = Provider())
        P->RepaintFrame();
}

void TsTitleButton::GlyphChanged(TObject*) {
    if (Data.Animation)
        FreeAndNil(Data.Animation);
}

void TsTitleButton::DoMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TsTitleButton::DoMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TsTitleButton::AssignTo(TPersistent* Dest) {
    auto* D = DynCast<TsTitleButton>(Dest);
    if (!D) {
        TCollectionItem::AssignTo(Dest);
        return;
    }
    D->Enabled = Enabled;
    D->FGlyph->Assign(FGlyph);
    D->Hint = Hint;
    D->FName = FName;
    D->UseSkinData = UseSkinData;
    D->OnMouseDown = OnMouseDown;
    D->OnMouseUp = OnMouseUp;
}

void ShowTitleButtonHint(TsTitleButton* Item) {
    FreeAndNil(Item->HintWnd);
    if (Item->Hint.empty())
        return;
    auto* Hint = Create<THintWindow>(Application);
    Item->HintWnd = Hint;
    Hint->SetColor(clInfoBk);
    TRect R = Hint->CalcHintRect(800, Item->Hint);
    POINT Cursor{0, 0};
    GetCursorPos(&Cursor);
    OffsetRect(R, Cursor.x + 8, Cursor.y + 16);
    // Kept inside the work area of the form's monitor, where the cursor near an edge would push it out.
    TsSkinProvider* P = Item->Provider();
    HWND Owner = P && P->Form && P->Form->HandleAllocated() ? P->Form->Handle() : nullptr;
    MONITORINFO Info{};
    Info.cbSize = sizeof(Info);
    HMONITOR Monitor = Owner ? MonitorFromWindow(Owner, MONITOR_DEFAULTTONEAREST)
                             : MonitorFromPoint(Cursor, MONITOR_DEFAULTTONEAREST);
    if (GetMonitorInfoA(Monitor, &Info)) {
        if (R.Right > Info.rcWork.right)
            OffsetRect(R, Info.rcWork.right - R.Right, 0);
        if (R.Bottom > Info.rcWork.bottom)
            OffsetRect(R, 0, Info.rcWork.bottom - R.Bottom);
    }
    Hint->SetCaption(Item->Hint);
    R.Bottom += 4;
    Hint->SetBounds(R.Left, R.Top, R.Width(), R.Height());
    HWND H = Hint->Handle();
    SetWindowPos(H, HWND_TOPMOST, R.Left, R.Top, R.Width(), R.Height(), SWP_NOACTIVATE);
    BOOL Animation = FALSE, Fade = FALSE;
    SystemParametersInfoA(SPI_GETTOOLTIPANIMATION, 0, &Animation, 0);
    SystemParametersInfoA(SPI_GETTOOLTIPFADE, 0, &Fade, 0);
    if (Item->Hint.size() < 100 && Animation && Fade)
        AnimateWindow(H, 200, AW_BLEND);
    ShowWindow(H, SW_SHOWNOACTIVATE);
    InvalidateRect(H, nullptr, TRUE);
}

void HideTitleButtonHint(TsTitleButton* Item) { FreeAndNil(Item->HintWnd); }

TsTitleButtons::TsTitleButtons(TsSkinProvider* AOwner) : TCollection(TsTitleButton::StaticClass()), FOwner(AOwner) {}

TsTitleButtons::~TsTitleButtons() {
    // The items' repaints must not reach a provider that is going.
    FOwner = nullptr;
    Clear();
}

TPersistent* TsTitleButtons::GetOwner() { return FOwner; }

TsTitleIcon::TsTitleIcon() : FGlyph(Create<TBitmap>()) {}

TsTitleIcon::~TsTitleIcon() { FreeAndNil(FGlyph); }

void TsTitleIcon::DefineClass(TClassBuilder<TsTitleIcon>& B) {
    B.Property("Glyph", &TsTitleIcon::Glyph, &TsTitleIcon::SetGlyph);
    B.Property("Height", &TsTitleIcon::Height, &TsTitleIcon::Height).Default(0);
    B.Property("Width", &TsTitleIcon::Width, &TsTitleIcon::Width).Default(0);
}

TacAddedTitle::TacAddedTitle() : FFont(Create<TFont>()) { FFont->SetColor(clNone); }

TacAddedTitle::~TacAddedTitle() { FreeAndNil(FFont); }

void TacAddedTitle::DefineClass(TClassBuilder<TacAddedTitle>& B) {
    B.Property("Font", &TacAddedTitle::Font, &TacAddedTitle::SetFont);
    B.Property("Text", &TacAddedTitle::Text, &TacAddedTitle::SetText);
}

void TacAddedTitle::SetText(const std::string& Value) {
    FText = Value;
    Changed();
}

void TacAddedTitle::SetFont(TFont* Value) {
    FFont->Assign(Value);
    Changed();
}

void TacAddedTitle::Changed() {
    if (FOwner && !FOwner->ComponentState().Contains(csLoading))
        FOwner->RepaintFrame();
}
