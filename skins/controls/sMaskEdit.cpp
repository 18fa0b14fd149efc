#include "sMaskEdit.h"

#include "sEditParts.h"
#include "acntUtils.h"
#include "sMemo.h"
#include "sMessages.h"
#include "sPaintServices.h"
#include "sVclUtils.h"

namespace {
// Both corners of Inner in Outer, Outer's right and bottom edges included.
bool RectHolds(const TRect& Outer, const TRect& Inner) {
    auto In = [&](LONG X, LONG Y) { return X >= Outer.Left && X <= Outer.Right && Y >= Outer.Top && Y <= Outer.Bottom; };
    return In(Inner.Left, Inner.Top) && In(Inner.Right, Inner.Bottom);
}
}  // namespace

TsMaskEdit::TsMaskEdit(TComponent* AOwner) : TMaskEdit(AOwner) {
    SetControlStyle(ControlStyle() - TControlStyle{csSetCaption});
    MakeSkinParts(this, 3, "EDIT", FCommonData, FBoundLabel);
}

TsMaskEdit::~TsMaskEdit() { FreeAndNil(FCommonData); }

void TsMaskEdit::AfterConstruction() {
    TMaskEdit::AfterConstruction();
    FCommonData->AfterOwnerLoaded();
}

void TsMaskEdit::BeforeDestruction() {
    FreeAndNil(FBoundLabel);
    TMaskEdit::BeforeDestruction();
}

void TsMaskEdit::Loaded() {
    TMaskEdit::Loaded();
    FCommonData->AfterOwnerLoaded();
}

void TsMaskEdit::DefineClass(TClassBuilder<TsMaskEdit>& B) {
    B.Property("BoundLabel", &TsMaskEdit::BoundLabel, &TsMaskEdit::SetBoundLabel);
    B.Property("DisabledKind", &TsMaskEdit::DisabledKind, &TsMaskEdit::SetDisabledKind)
        .Default(TsDisabledKind{dkBlended});
    B.Property("SkinData", &TsMaskEdit::SkinData, &TsMaskEdit::SetSkinData);
}

void TsMaskEdit::SetSkinData(TsCommonData* Value) { AssignSkinData(FCommonData, Value); }
void TsMaskEdit::SetBoundLabel(TsBoundLabel* Value) { AssignBoundLabel(FBoundLabel, Value); }
void TsMaskEdit::SetDisabledKind(TsDisabledKind Value) { ChangeDisabledKind(FDisabledKind, Value, FCommonData); }

void TsMaskEdit::Change() {
    if (!ComponentState().Contains(csLoading))
        TMaskEdit::Change();
}

bool TsMaskEdit::GetHotState() { return FCommonData->IsHotState(); }

int TsMaskEdit::TextMargin() { return (BorderStyle() != bsNone ? 1 : 0) * ((Ctl3D() ? 1 : 0) + 2); }

// ---------------------------------------------------------------------------------------------
// Painting

void TsMaskEdit::PrepareCache() {
    FCommonData->PrepareCacheBitmap();
    TBitmap* Cache = FCommonData->CacheBitmap;
    if (!FCommonData->IsSkinned(false)) {
        FillRectSolid(Cache->Canvas()->Handle(), Rect(0, 0, Cache->Width(), Cache->Height()), Color());
        PaintText();
        return;
    }
    BackgroundSource Background;
    FCommonData->GetParentBackgroundSource(Background);
    if (BorderStyle() == bsSingle)
        PaintControlSkin(FCommonData, Background, true, false, GetHotState() ? 1 : 0, Cache, Point(Left(), Top()),
                         Rect(0, 0, Width(), Height()));
    else
        PaintControlBackground(FCommonData, Background, 0, Cache, Point(Left(), Top()), Rect(0, 0, Width(), Height()));
    PaintText();
    if (!Enabled())
        PaintDisabledLook(Cache, FDisabledKind, Parent(), Background, Point(Left(), Top()));
    FCommonData->BackgroundStale = false;
}

void TsMaskEdit::PaintText() {
    std::string S = EditText();
    if (S.empty())
        return;
    TCanvas* C = FCommonData->CacheBitmap->Canvas();
    C->SetFont(Font());
    int M = TextMargin();
    int H = CanvasTextHeight(C, S);
    TRect R = Rect(M, M, Width() - M, M + H + 2);
    if (PasswordChar() == '\0') {
        WriteControlText(C, S, true, GetHotState(), FCommonData, DT_NOPREFIX | DT_EXTERNALLEADING, R);
        return;
    }
    // One password character for every character shown, literals included.
    FillStringWithChar(S, static_cast<int>(S.size()), PasswordChar());
    WriteControlText(C, S, true, GetHotState(), FCommonData, AlignmentTextFlags(this, taLeftJustify) | DT_NOPREFIX,
                     R);
}

void TsMaskEdit::PaintClient(HDC DC) {
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
    RefreshUpdateFlag();
    if (!FCommonData->InUpdate) {
        TsCommonData& D = *FCommonData;
        D.BackgroundStale = D.BackgroundStale || D.PartlyClipped ||
                            (AskSkinCommand(Parent(), SKIN_GETHIDDEN) & 0xFF) != 0;
        D.PartlyClipped = !RectHolds(Parent()->ClientRect(), BoundsRect());
        if (D.BackgroundStale)
            PrepareCache();
        PaintAllCacheCorners(FCommonData, 0);
        BitBlt(DC, 0, 0, Width(), Height(), D.CacheBitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
    }
    if (OwnDC) {
        RestoreDC(DC, -1);
        ReleaseDC(Wnd, DC);
    }
    if (Began)
        EndPaint(Wnd, &PS);
}

void TsMaskEdit::PaintBorder(HDC DC) {
    if (BorderStyle() != bsNone)
        PaintBorderStrips(DC);
}

void TsMaskEdit::PaintBorderStrips(HDC DC) {
    TWinControl* P = Parent();
    if (!P || !Visible() || !P->Visible() || ControlState().Contains(csCreating) || FCommonData->IsUpdating())
        return;
    HWND Wnd = Handle();
    bool OwnDC = DC == nullptr;
    if (OwnDC)
        DC = GetWindowDC(Wnd);
    int Saved = SaveDC(DC);
    if (FCommonData->BackgroundStale)
        PrepareCache();
    PaintAllCacheCorners(FCommonData, 0);
    CopyBorderStrips(DC, 0, 0, 2, FCommonData->CacheBitmap->Canvas()->Handle(), 0, 0, Width(), Height());
    RestoreDC(DC, Saved);
    if (OwnDC)
        ReleaseDC(Wnd, DC);
}

// ---------------------------------------------------------------------------------------------
// Messages

bool TsMaskEdit::LibraryCommand(TMessage& Message) {
    bool OwnManager = Message.LParam == reinterpret_cast<LPARAM>(FCommonData->GetSkinManager());
    switch (SkinCommandOf(Message.WParam)) {
    case SKIN_LOADED:
        if (!OwnManager)
            return false;
        HandleCommonMessage(Message, FCommonData);
        return true;
    case SKIN_REMOVED:
        if (!OwnManager)
            return false;
        HandleCommonMessage(Message, FCommonData);
        Invalidate();
        return true;
    case SKIN_REFRESH:
        if (!OwnManager)
            return false;
        HandleCommonMessage(Message, FCommonData);
        if (HandleAllocated())
            SendMessageA(Handle(), WM_NCPAINT, 0, 0);
        Repaint();
        return true;
    case SKIN_ENDUPDATE:
        if (!FCommonData->IsUpdating())
            return false;
        FCommonData->SetInUpdate(false);
        if (HandleAllocated()) {
            InvalidateRect(Handle(), nullptr, TRUE);
            SendMessageA(Handle(), WM_NCPAINT, 0, 0);
        }
        return true;
    case SKIN_ISSKINNED:
        Message.Result = 1;
        return true;
    case SKIN_GETAPPLICATION:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return true;
    default:
        return false;
    }
}

void TsMaskEdit::SkinnedMessage(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT:
        if (GetHotState()) {
            TMaskEdit::WndProc(Message);
            PaintBorder(nullptr);
        } else {
            PaintClient(reinterpret_cast<HDC>(Message.WParam));
        }
        return;
    case WM_ERASEBKGND:
    case CN_DRAWITEM:
        if (AnimationInProgress)
            return;
        RefreshUpdateFlag();
        if (!FCommonData->InUpdate)
            TMaskEdit::WndProc(Message);
        return;
    case WM_NCPAINT: {
        if (AnimationInProgress)
            return;
        RefreshUpdateFlag();
        if (FCommonData->InUpdate)
            return;
        HDC DC = GetWindowDC(Handle());
        int Saved = SaveDC(DC);
        PaintBorder(DC);
        RestoreDC(DC, Saved);
        ReleaseDC(Handle(), DC);
        return;
    }
    case WM_PRINT: {
        HDC DC = reinterpret_cast<HDC>(Message.WParam);
        FCommonData->SetInUpdate(false);
        if (FCommonData->BackgroundStale)
            PrepareCache();
        PaintAllCacheCorners(FCommonData, 0);
        PaintClient(DC);
        CopyBorderStrips(DC, 0, 0, TextMargin(), FCommonData->CacheBitmap->Canvas()->Handle(), 0, 0, Width(),
                         Height());
        return;
    }
    case WM_SETTEXT:
        if (ComponentState().Contains(csDesigning))
            FCommonData->BackgroundStale = true;
        break;
    case CM_COLORCHANGED:
    case CM_CHANGED:
        FCommonData->BackgroundStale = true;
        break;
    default:
        break;
    }
    HandleCommonMessage(Message, FCommonData);
    TMaskEdit::WndProc(Message);
    switch (Message.Msg) {
    case WM_SETFOCUS:
        Invalidate();
        break;
    case WM_SETFONT:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
        FCommonData->Invalidate();
        break;
    default:
        break;
    }
}

void TsMaskEdit::WndProc(TMessage& Message) {
    if (!FCommonData) {  // the skin data has gone with the control
        TMaskEdit::WndProc(Message);
        return;
    }
    if (Message.Msg == SM_ALPHACMD && LibraryCommand(Message))
        return;
    if (FCommonData->IsSkinned(false) && IsControlReady(this))
        SkinnedMessage(Message);
    else
        TMaskEdit::WndProc(Message);
    BoundLabelMessage(FBoundLabel, this, FDisabledKind, Message);
}

void sMaskEditInitialization() { RegisterClass(TsMaskEdit::StaticClass()); }
