#include "sEdit.h"

#include "sEditParts.h"
#include "TypInfo.h"
#include "sMessages.h"
#include "sPaintServices.h"
#include "sVclUtils.h"

namespace {
// The framework's windowed controls do not carry bevels yet: the platform's defaults stand in until
// a published property of that name exists (inner raised, outer lowered, no bevel kind).
int BevelValue(TObject* Control, const char* Name, int Default) {
    return IsPublishedProp(Control, Name) ? static_cast<int>(GetOrdProp(Control, Name)) : Default;
}
constexpr int bvNoneValue = 0, bvLoweredValue = 1, bvRaisedValue = 2, bkNoneValue = 0;

// Both corners of Inner in Outer, Outer's right and bottom edges included.
bool RectContainsRect(const TRect& Outer, const TRect& Inner) {
    auto In = [&](LONG X, LONG Y) { return X >= Outer.Left && X <= Outer.Right && Y >= Outer.Top && Y <= Outer.Bottom; };
    return In(Inner.Left, Inner.Top) && In(Inner.Right, Inner.Bottom);
}

// Runs its clean-up on every way out of a painting routine.
template <class F>
struct TCleanup {
    F Fn;
    ~TCleanup() { Fn(); }
};
template <class F>
TCleanup(F) -> TCleanup<F>;
}  // namespace

TsEdit::TsEdit(TComponent* AOwner) : TEdit(AOwner) {
    MakeSkinParts(this, 3, nullptr, FCommonData, FBoundLabel);
}

TsEdit::~TsEdit() { FreeAndNil(FCommonData); }

void TsEdit::AfterConstruction() {
    TEdit::AfterConstruction();
    FCommonData->AfterOwnerLoaded();
}

void TsEdit::BeforeDestruction() {
    // The label control is owned by this edit: it goes with the bound label, before the owned
    // components are freed.
    FreeAndNil(FBoundLabel);
    TEdit::BeforeDestruction();
}

void TsEdit::DefineClass(TClassBuilder<TsEdit>& B) {
    B.Property("BoundLabel", &TsEdit::BoundLabel, &TsEdit::SetBoundLabel);
    B.Property("DisabledKind", &TsEdit::DisabledKind, &TsEdit::SetDisabledKind).Default(TsDisabledKind{dkBlended});
    B.Property("SkinData", &TsEdit::SkinData, &TsEdit::SetSkinData);
}

void TsEdit::SetSkinData(TsCommonData* Value) { AssignSkinData(FCommonData, Value); }
void TsEdit::SetBoundLabel(TsBoundLabel* Value) { AssignBoundLabel(FBoundLabel, Value); }
void TsEdit::SetDisabledKind(TsDisabledKind Value) { ChangeDisabledKind(FDisabledKind, Value, FCommonData); }

void TsEdit::Loaded() {
    TEdit::Loaded();
    FCommonData->AfterOwnerLoaded();
}

void TsEdit::CreateParams(TCreateParams& Params) { TEdit::CreateParams(Params); }

int TsEdit::BorderWidthOf(bool WithBevels) {
    int B = (BorderStyle() != bsNone ? 1 : 0) * ((Ctl3D() ? 1 : 0) + 1);
    if (WithBevels && B == 0) {
        B += BevelValue(this, "BevelInner", bvRaisedValue) != bvNoneValue ? 1 : 0;
        B += BevelValue(this, "BevelOuter", bvLoweredValue) != bvNoneValue ? 1 : 0;
    }
    return B;
}

int TsEdit::TextInset() {
    int Frame = BorderStyle() != bsNone ? (Ctl3D() ? 1 : 0) + 1 : 0;
    int Bevels = (BevelValue(this, "BevelOuter", bvLoweredValue) != bvNoneValue ? 1 : 0) +
                 (BevelValue(this, "BevelInner", bvRaisedValue) != bvNoneValue ? 1 : 0);
    return Frame + Bevels * (BevelValue(this, "BevelKind", bkNoneValue) != bkNoneValue ? 1 : 0);
}

// ---------------------------------------------------------------------------------------------
// Window procedure

void TsEdit::WndProc(TMessage& Message) {
    if (!FCommonData) {  // the skin data has gone with the control
        TEdit::WndProc(Message);
        return;
    }
    if (Message.Msg == SM_ALPHACMD) {
        Word Code = SkinCommandOf(Message.WParam);
        switch (Code) {
        case SKIN_LOADED:
        case SKIN_REMOVED:
        case SKIN_REFRESH:
            if (Message.LParam != reinterpret_cast<LPARAM>(FCommonData->GetSkinManager()))
                break;
            HandleCommonMessage(Message, FCommonData);
            if (Code == SKIN_REFRESH && !AnimationInProgress && HandleAllocated())
                RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
            return;
        case SKIN_ISSKINNED:
            Message.Result = 1;
            return;
        case SKIN_GETNONUNIFORM:
            // An edit counts as a plain background.
            Message.LParam = 0;
            Message.Result = 0;
            return;
        case SKIN_GETBGCOLOR:
            if (!FCommonData->IsSkinned(false)) {
                Message.Result = ColorToRGB(Color());
                return;
            }
            break;
        case SKIN_GETAPPLICATION:
            Message.Result = reinterpret_cast<LRESULT>(Application);
            return;
        default:
            break;
        }
    }
    if (IsControlReady(this) && FCommonData->IsSkinned(false)) {
        SkinnedWndProc(Message);
        return;
    }
    TEdit::WndProc(Message);
    BoundLabelMessage(Message);
}

void TsEdit::RefreshUpdateFlag() { FCommonData->SetInUpdate(FCommonData->IsUpdating()); }

void TsEdit::TakeSectionColors() {
    const TsGeneralData& S = FCommonData->Section();
    bool Hot = FCommonData->IsHotState();
    TColor Back = Hot ? S.HotColor : S.Color;
    TColor Fore = Hot ? S.HotFontColor[0] : S.FontColor[0];
    if (!FCommonData->CustomColor() && Color() != Back)
        SetColor(Back);
    if (!FCommonData->CustomFont() && Font()->Color() != Fore)
        Font()->SetColor(Fore);
}

void TsEdit::SkinnedWndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT:
        RefreshUpdateFlag();
        if (AnimationInProgress || FCommonData->IsUpdating()) {
            PAINTSTRUCT PS;
            BeginPaint(Handle(), &PS);
            EndPaint(Handle(), &PS);
            return;
        }
        TakeSectionColors();
        if (Enabled())
            TEdit::WndProc(Message);
        else
            PaintClient(reinterpret_cast<HDC>(Message.WParam));
        return;
    case WM_ERASEBKGND:
    case CN_DRAWITEM:
        if (AnimationInProgress)
            return;
        RefreshUpdateFlag();
        // A disabled edit never erases: its whole image comes from the cache.
        if (!FCommonData->InUpdate && Enabled())
            TEdit::WndProc(Message);
        return;
    case WM_NCPAINT:
        if (!AnimationInProgress)
            PaintBorder();
        return;
    case WM_PRINT: {
        HDC DC = reinterpret_cast<HDC>(Message.WParam);
        FCommonData->SetInUpdate(false);
        PrepareCache();
        PaintAllCacheCorners(FCommonData, 0);
        TBitmap* Cache = FCommonData->CacheBitmap;
        int B = BorderWidthOf(false);
        CopyBorderStrips(DC, 0, 0, B, Cache->Canvas()->Handle(), 0, 0, Cache->Width(), Cache->Height());
        PaintClient(DC);
        MoveWindowOrg(DC, B, B);
        IntersectClipRect(DC, 0, 0, Cache->Width() - 2 * B, Cache->Height() - 2 * B);
        break;
    }
    case CM_COLORCHANGED:
        if (FCommonData->CustomColor())
            FCommonData->BackgroundStale = true;
        break;
    default:
        break;
    }
    if (HandleCommonMessage(Message, FCommonData))
        return;
    TEdit::WndProc(Message);
    AfterSkinnedMessage(Message);
    BoundLabelMessage(Message);
}

void TsEdit::AfterSkinnedMessage(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SIZE:
        SendMessageA(Handle(), WM_NCPAINT, 0, 0);
        break;
    case WM_KILLFOCUS:
    case CM_EXIT:
        FCommonData->HasFocus = false;
        FCommonData->MouseOver = false;
        FCommonData->BackgroundStale = true;
        if (Visible())
            Repaint();
        break;
    case WM_SETTEXT:
    case WM_SETFONT:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
        if (!ComponentState().Contains(csLoading) && !AnimationInProgress) {
            FCommonData->Invalidate();
            SendMessageA(Handle(), WM_NCPAINT, 0, 0);
        }
        break;
    case SM_ALPHACMD:
        if (SkinCommandOf(Message.WParam) == SKIN_ENDUPDATE && FCommonData->IsUpdating()) {
            FCommonData->SetInUpdate(false);
            Repaint();
            SendMessageA(Handle(), WM_NCPAINT, 0, 0);
        }
        break;
    default:
        break;
    }
}

void TsEdit::BoundLabelMessage(TMessage& Message) {
    if (!FBoundLabel || !FBoundLabel->TheLabel)
        return;
    TCustomLabel* L = FBoundLabel->TheLabel;
    switch (Message.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
        break;
    case CM_VISIBLECHANGED:
        L->SetVisible(Visible());
        break;
    case CM_ENABLEDCHANGED:
        // The label greys out with the edit only when the edit fades when disabled.
        L->SetEnabled(Enabled() || !FDisabledKind.Contains(dkBlended));
        break;
    case CM_BIDIMODECHANGED:
        break;
    default:
        return;
    }
    FBoundLabel->PlaceLabel();
}

// ---------------------------------------------------------------------------------------------
// Painting

void TsEdit::PrepareCache() {
    FCommonData->PrepareCacheBitmap();
    int State = FCommonData->IsHotState() ? 1 : 0;
    BackgroundSource Background;
    FCommonData->GetParentBackgroundSource(Background);
    TBitmap* Cache = FCommonData->CacheBitmap;
    PaintControlSkin(FCommonData, Background, true, false, State, Cache, Point(Left(), Top()),
                     Rect(0, 0, Width(), Height()), 0, 0);
    PaintText();
    if (!Enabled()) {
        FCommonData->GetParentBackgroundSource(Background);
        PaintDisabledLook(Cache, FDisabledKind, Parent(), Background, Point(Left(), Top()));
    }
    FCommonData->BackgroundStale = false;
}

void TsEdit::PaintText() {
    TCanvas* Canvas = FCommonData->CacheBitmap->Canvas();
    Canvas->Font()->Assign(Font());
    int T = TextInset();
    std::string S = Text();
    if (PasswordChar() != '\0')
        S.assign(S.size(), PasswordChar());
    WriteControlText(Canvas, S, true, FCommonData->IsHotState(), FCommonData, DT_SINGLELINE | DT_NOPREFIX,
                     Rect(T + 1, T + 1, Width() - T, Height() - T));
}

void TsEdit::PaintClient(HDC DC) {
    HWND Wnd = Handle();
    PAINTSTRUCT PS;
    bool Began = !AnimationInProgress;
    if (Began)
        BeginPaint(Wnd, &PS);
    bool OwnDC = DC == nullptr;
    if (OwnDC) {
        DC = GetWindowDC(Wnd);
        SaveDC(DC);
    }
    TCleanup Done{[&] {
        if (OwnDC) {
            RestoreDC(DC, -1);
            ReleaseDC(Wnd, DC);
        }
        if (Began)
            EndPaint(Wnd, &PS);
    }};
    RefreshUpdateFlag();
    if (FCommonData->InUpdate)
        return;
    TsCommonData& D = *FCommonData;
    D.BackgroundStale = D.BackgroundStale || D.PartlyClipped || (AskSkinCommand(Parent(), SKIN_GETHIDDEN) & 0xFF) != 0;
    D.PartlyClipped = !RectContainsRect(Parent()->ClientRect(), BoundsRect());
    if (D.BackgroundStale && !D.RepaintOnMove)
        PrepareCache();
    PaintAllCacheCorners(FCommonData, 0);
    BitBlt(DC, 0, 0, Width(), Height(), D.CacheBitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsEdit::PaintBorder() {
    if (AnimationInProgress)
        return;
    RefreshUpdateFlag();
    if (FCommonData->InUpdate)
        return;
    HWND Wnd = Handle();
    HDC DC = GetWindowDC(Wnd);
    SaveDC(DC);
    TCleanup Done{[&] {
        RestoreDC(DC, -1);
        ReleaseDC(Wnd, DC);
    }};
    if (FCommonData->BackgroundStale)
        PrepareCache();
    int B = BorderWidthOf(true);
    PaintAllCacheCorners(FCommonData, 0);
    CopyBorderStrips(DC, 0, 0, B, FCommonData->CacheBitmap->Canvas()->Handle(), 0, 0, Width(), Height());
}

void sEditInitialization() { RegisterClass(TsEdit::StaticClass()); }
