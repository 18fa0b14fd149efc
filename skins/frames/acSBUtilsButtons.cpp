#include "acSBUtilsButtons.h"

#include "Buttons.h"
#include "acGlow.h"
#include "sDCUtils.h"
#include "sGraphUtils.h"
#include "sMaskDraw.h"
#include "sMessages.h"
#include "sPaintServices.h"
#include "sVclUtils.h"

#include <commctrl.h>

#include <algorithm>

namespace {

bool CursorInside(HWND Wnd) {
    TPoint P;
    RECT R{};
    GetWindowRect(Wnd, &R);
    return ReadCursorPos(P) && PtInRect(&R, POINT{P.X, P.Y});
}

TsSkinManager* ManagerOf(TacMainWnd* W) { return W->SkinManager ? W->SkinManager : DefaultManager; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Icon and bitmap statics

TacIconWnd::TacIconWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                       TsCommonData* ASkinData)
    : TacStaticWnd(AHandle, Repaint, SkinSection, Manager, ASkinData) {
    IsBitmapStatic = (WindowStyleOf(Handle) & 3) != SS_ICON;
}

TacIconWnd::~TacIconWnd() { FreeAndNil(StaticBitmap); }

void TacIconWnd::PaintContent() {
    TBitmap* Cache = SkinData->CacheBitmap;
    HDC DC = Cache->Canvas()->Handle();
    if (!IsBitmapStatic) {
        if (HICON Icon = reinterpret_cast<HICON>(SendMessageA(Handle, STM_GETICON, 0, 0)))
            DrawIconEx(DC, 0, 0, Icon, 0, 0, 0, nullptr, DI_NORMAL);
        return;
    }
    if (!StaticBitmap) {
        StaticBitmap = Create<TBitmap>();
        if (HBITMAP B = reinterpret_cast<HBITMAP>(SendMessageA(Handle, STM_GETIMAGE, IMAGE_BITMAP, 0)))
            StaticBitmap->SetHandle(static_cast<HBITMAP>(CopyImage(B, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    }
    if (StaticBitmap->Width() > 0 && StaticBitmap->Height() > 0)
        BitBlt(DC, 0, 0, StaticBitmap->Width(), StaticBitmap->Height(), StaticBitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------------------------
// Push buttons

TacBtnWnd::TacBtnWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                     TsCommonData* ASkinData)
    : TacMainWnd(AHandle, Repaint, SectionOr(SkinSection, "BUTTON"), Manager, ASkinData) {}

bool TacBtnWnd::Pushed() { return (SendMessageA(Handle, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; }

int TacBtnWnd::CurrentState() {
    if (Pushed()) {
        ClearGlowEffects();
        return 2;
    }
    if (!IsWindowEnabled(Handle))
        return 0;
    TsSkinManager* M = ManagerOf(this);
    if (GetFocus() == Handle || (M && M->HotWindow == Handle))
        return 1;
    LONG_PTR Style = WindowStyleOf(Handle);
    bool Default = SkinData->HostControl ? (Style & BS_TYPEMASK) == BS_DEFPUSHBUTTON : (Style & 1) != 0;
    return Default ? 1 : 0;
}

UINT TacBtnWnd::WrapFlags() const { return (WindowStyleOf(Handle) & BS_MULTILINE) ? DT_WORDBREAK : 0; }

void TacBtnWnd::SelectCaptionFont(TCanvas* Canvas) {
    if (TControl* Host = SkinData->HostControl)
        Canvas->Font()->Assign(Host->Font());
    else if (HFONT Font = reinterpret_cast<HFONT>(SendMessageA(Handle, WM_GETFONT, 0, 0)))
        Canvas->Font()->SetHandle(Font);
}

TSize TacBtnWnd::TextSize() {
    TSize Size{};
    if (HookWndText.empty())
        return Size;
    TCanvas* C = SkinData->CacheBitmap->Canvas();
    SelectCaptionFont(C);
    RECT R{0, 0, std::max(0, MaxTextWidth()), 0};
    DrawTextA(C->Handle(), HookWndText.c_str(), static_cast<int>(HookWndText.size()), &R,
              DT_CALCRECT | DT_NOPREFIX | DT_CENTER | DT_EXPANDTABS | WrapFlags());
    Size.cx = R.right - R.left;
    Size.cy = R.bottom - R.top;
    return Size;
}

int TacBtnWnd::MaxTextWidth() {
    if (HookWndText.empty())
        return 0;
    TSize G = GlyphSize();
    return HookWndSize.cx - (G.cx > 0 ? G.cx + 2 : 0) - 2;
}

TRect TacBtnWnd::CaptionRect() {
    TSize T = TextSize();
    const int W = HookWndSize.cx, H = HookWndSize.cy;
    const int DX = (W - T.cx) / 2, DY = (H - T.cy) / 2;
    TRect R = Rect(DX - 1, DY, W - DX + 2, H - DY);
    if (Pushed())
        OffsetRect(R, 1, 1);
    return R;
}

void TacBtnWnd::WriteCaption(const TRect& R, UINT Flags) {
    TCanvas* C = SkinData->CacheBitmap->Canvas();
    C->Brush()->SetStyle(bsClear);
    WriteControlText(C, HookWndText, IsWindowEnabled(Handle) != FALSE, CurrentState() != 0, SkinData, Flags, R);
}

void TacBtnWnd::DrawCaption() {
    TCanvas* C = SkinData->CacheBitmap->Canvas();
    SelectCaptionFont(C);
    TRect R = CaptionRect();
    WriteCaption(R, DT_CENTER | DT_EXPANDTABS | WrapFlags());
    bool Focused = (SendMessageA(Handle, BM_GETSTATE, 0, 0) & BST_FOCUS) != 0;
    if (IsWindowEnabled(Handle) && Focused && !HookWndText.empty() && HookSkinned() && SkinData->Section().ShowFocus) {
        InflateRect(R, 1, 1);
        DrawDottedFrame(C, R);
    }
}

void TacBtnWnd::PrepareCache() {
    ReadGeometry();
    BackgroundSource Background;
    GetWindowParentBackgroundSource(Handle, Background);
    TBitmap* Cache = SizedCacheOf(SkinData, HookWndSize);
    const int S = CurrentState();
    const int P = S == 2 ? 1 : 0;
    PaintControlSkin(SkinData, Background, true, true, S, Cache, HookWndPos, Rect(0, 0, Cache->Width(), Cache->Height()),
                     P, P);
    PaintHookCorners(SkinData, S, this);
    DrawCaption();
    DrawGlyph();
    if (!IsWindowEnabled(Handle))
        BlendDisabledLook(Background);
    SkinData->BackgroundStale = false;
}

void TacBtnWnd::PaintNow(TMessage& Message) {
    ReadGeometry();
    PAINTSTRUCT PS;
    BeginPaint(Handle, &PS);
    if (!AnimationInProgress || AnimationSnapshotDC) {
        TsCommonData& D = *SkinData;
        D.InUpdate = D.IsUpdating() && !AnimationInProgress;
        if (!D.InUpdate) {
            D.BackgroundStale = true;
            PrepareCache();
            CopyCacheTo(reinterpret_cast<HDC>(Message.WParam));
        }
    }
    EndPaint(Handle, &PS);
}

void TacBtnWnd::WndProc(TMessage& Message) {
    if (!HookSkinned()) {
        TacMainWnd::WndProc(Message);
        return;
    }
    TsCommonData& D = *SkinData;
    TsSkinManager* M = ManagerOf(this);
    const bool Visible = IsWindowVisible(Handle) != FALSE;
    switch (Message.Msg) {
    case SM_ALPHACMD:
        switch (SkinCommandOf(Message.WParam)) {
        case SKIN_ENDUPDATE:
            if (EndSkinUpdate(D, Handle, RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_INVALIDATE))
                return;
            break;
        case SKIN_HOTWINDOWSET:
            if (!D.MouseOver && M && M->HotWindow == Handle && CursorInside(Handle)) {
                D.MouseOver = true;
                D.BackgroundStale = true;
                D.SetInUpdate(false);
                RepaintNow();
                D.RefreshGlow(false, Handle);
            }
            break;
        case SKIN_HOTWINDOWCLEARED:
            if (D.MouseOver) {
                ClearGlowEffects();
                D.MouseOver = false;
                D.SetInUpdate(false);
                D.BackgroundStale = true;
                RepaintNow();
            }
            break;
        default:
            break;
        }
        break;
    case WM_MOVE: {
        const TsGeneralData& S = D.Section();
        if (S.Transparency > 0 || (S.HotTransparency > 0 && CurrentState() != 0)) {
            D.BackgroundStale = true;
            RepaintNow();
        }
        break;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (!IsWindowEnabled(Handle)) {
            if (Message.Msg == WM_KILLFOCUS)
                TacMainWnd::WndProc(Message);
            return;
        }
        BaseWithoutRedraw(Message);
        D.HasFocus = Message.Msg == WM_SETFOCUS;
        D.BackgroundStale = true;
        RepaintNow();
        return;
    case WM_ENABLE:
    case WM_SETTEXT:
    case BM_SETSTATE:
        if (!Visible)
            break;
        BaseWithoutRedraw(Message);
        D.BackgroundStale = true;
        RepaintNow();
        return;
    case WM_PAINT:
        if (!SkinParamsApplied)
            SetSkinParams();
        PaintNow(Message);
        return;
    case WM_PRINT:
        PaintNow(Message);
        return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
    case WM_UPDATEUISTATE:
        Message.Result = 1;
        return;
    default:
        break;
    }
    TacMainWnd::WndProc(Message);
    if (Message.Msg == WM_MOUSEMOVE)
        TrackHotWindow();
}

// ---------------------------------------------------------------------------------------------
// Bitmap buttons

TBitBtn* TacBitBtnWnd::Host() const { return DynCast<TBitBtn>(SkinData->HostControl); }

TSize TacBitBtnWnd::GlyphSize() {
    if (TBitBtn* B = Host())
        return B->Glyph()->Empty() ? TSize{} : TSize{B->Glyph()->Width() / std::max(1, int(B->NumGlyphs())),
                                                   B->Glyph()->Height()};
    if (HBITMAP Bmp = reinterpret_cast<HBITMAP>(SendMessageA(Handle, BM_GETIMAGE, IMAGE_BITMAP, 0))) {
        BITMAP Info{};
        if (GetObjectA(Bmp, sizeof(Info), &Info))
            return TSize{Info.bmWidth, Info.bmHeight};
    }
    return TSize{};
}

int TacBitBtnWnd::MaxTextWidth() {
    TBitBtn* B = Host();
    if (!B)
        return TacBtnWnd::MaxTextWidth();
    if (B->Caption().empty())
        return 0;
    int W = B->Width() - 2 * std::max(0, B->Margin());
    TSize G = GlyphSize();
    if (G.cx > 0 && (B->Layout() == blGlyphLeft || B->Layout() == blGlyphRight))
        W -= G.cx + B->Spacing();
    return W;
}

TRect TacBitBtnWnd::CaptionRect() {
    TBitBtn* B = Host();
    if (!B) {
        TRect R = TacBtnWnd::CaptionRect();
        if (TSize G = GlyphSize(); G.cx > 0)
            OffsetRect(R, G.cx / 2 + 1, 0);
        return R;
    }
    TSize T = TextSize(), G = GlyphSize();
    TRect Text{};
    TPoint GlyphPos{};
    LayoutGlyphAndCaption(Rect(0, 0, HookWndSize.cx, HookWndSize.cy), Point(G.cx, G.cy), Point(T.cx, T.cy),
                          B->DrawTextBiDiModeFlags(0), Text, GlyphPos, B->Margin(), B->Spacing(), taCenter,
                          B->Layout());
    if (Pushed())
        OffsetRect(Text, 1, 1);
    return Text;
}

TRect TacBitBtnWnd::GlyphRect() {
    TSize G = GlyphSize(), T = TextSize();
    const int W = HookWndSize.cx, H = HookWndSize.cy;
    const int P = Pushed() ? 1 : 0;
    TBitBtn* B = Host();
    int X = 0, Y = 0;
    if (!B) {
        TRect C = CaptionRect();
        X = C.Left - 2 - G.cx;
        Y = (H - G.cy) / 2 + P;
        return Rect(X, Y, X + G.cx, Y + G.cy);
    }
    const int S = G.cx > 0 && !B->Caption().empty() ? B->Spacing() : 0;
    switch (B->Layout()) {
    case blGlyphLeft: X = (W - G.cx - T.cx - S) / 2; Y = (H - G.cy) / 2; break;
    case blGlyphRight: X = (W + S + T.cx - G.cx) / 2; Y = (H - G.cy) / 2; break;
    case blGlyphTop: X = (W - G.cx) / 2 + 1; Y = (H - G.cy - T.cy - S) / 2; break;
    case blGlyphBottom: X = (W - G.cx) / 2 + 1; Y = H - (H - G.cy - T.cy - S) / 2 - G.cy; break;
    }
    X += P;
    Y += P;
    return Rect(X, Y, X + G.cx, Y + G.cy);
}

void TacBitBtnWnd::DrawGlyph() {
    TSize G = GlyphSize();
    if (G.cx <= 0 || G.cy <= 0)
        return;
    TBitmap* Cache = SkinData->CacheBitmap;
    TRect R = GlyphRect();
    TBitBtn* B = Host();
    if (!B) {
        HBITMAP Bmp = reinterpret_cast<HBITMAP>(SendMessageA(Handle, BM_GETIMAGE, IMAGE_BITMAP, 0));
        HDC Src = CreateCompatibleDC(nullptr);
        HGDIOBJ Old = SelectObject(Src, Bmp);
        BitBlt(Cache->Canvas()->Handle(), R.Left, R.Top, G.cx, G.cy, Src, 0, 0, SRCCOPY);
        SelectObject(Src, Old);
        DeleteDC(Src);
        return;
    }
    TBitmap* Glyph = B->Glyph();
    if (Glyph->PixelFormat() == pfDevice)
        Glyph->SetHandleType(bmDIB);
    const int S = CurrentState();
    DrawStateGlyph(Glyph, Cache, R, false, S == 2, 0, S, TsDisabledGlyphKind{dgBlended}, IsWindowEnabled(Handle) != FALSE, B->NumGlyphs());
}

// ---------------------------------------------------------------------------------------------
// Check boxes and radio buttons

TacCheckBoxWnd::TacCheckBoxWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                               TsCommonData* ASkinData)
    : TacMainWnd(AHandle, Repaint, SectionOr(SkinSection, "CHECKBOX"), Manager, ASkinData) {}

int TacCheckBoxWnd::CheckState() {
    LRESULT C = SendMessageA(Handle, BM_GETCHECK, 0, 0);
    return C == BST_INDETERMINATE ? 2 : C == BST_CHECKED ? 1 : 0;
}

int TacCheckBoxWnd::CurrentState() {
    LRESULT S = SendMessageA(Handle, BM_GETSTATE, 0, 0);
    if (S & BST_PUSHED)
        return 2;
    TsSkinManager* M = ManagerOf(this);
    return (S & BST_FOCUS) || (M && M->HotWindow == Handle) ? 1 : 0;
}

int TacCheckBoxWnd::GlyphMaskIndex(int Check) {
    TsSkinManager* M = ManagerOf(this);
    if (!M)
        return -1;
    LONG_PTR Type = WindowStyleOf(Handle) & BS_TYPEMASK;
    bool Radio = Type == BS_RADIOBUTTON || Type == BS_AUTORADIOBUTTON;
    static const char* const Boxes[3] = {"BOXUNCHECKED", "BOXCHECKED", "BOXGRAYED"};
    static const char* const Radios[3] = {"RADIOUNCHECKED", "RADIOCHECKED", "BOXGRAYED"};
    Check = std::clamp(Check, 0, 2);
    return M->FindMaskIndex(M->FindSectionIndex("GLOBALINFO"), "GLOBALINFO", Radio ? Radios[Check] : Boxes[Check]);
}

TSize TacCheckBoxWnd::GlyphSize(int MaskIndex) {
    TsSkinManager* M = ManagerOf(this);
    if (!M || !M->MaskIndexInRange(MaskIndex))
        return TSize{};
    const TsMaskData& Mask = M->MaskList[MaskIndex];
    if (Mask.Bmp)
        return TSize{Mask.Bmp->Width() / 3, Mask.Bmp->Height() / 2};
    return TSize{Mask.R.Width() / std::max(1, int(Mask.ImageCount)), Mask.R.Height() / std::max(1, Mask.MaskType + 1)};
}

TRect TacCheckBoxWnd::GlyphRectFor(int MaskIndex) {
    TSize G = GlyphSize(MaskIndex);
    if (G.cx <= 0 || G.cy <= 0)
        return TRect{};
    const int Top = (HookWndSize.cy - G.cy) / 2;
    const int Left = (WindowStyleOf(Handle) & BS_LEFTTEXT) ? HookWndSize.cx - G.cx : 0;
    return Rect(Left, Top, Left + G.cx, Top + G.cy);
}

TRect TacCheckBoxWnd::CheckedGlyphRect() {
    TRect R = GlyphRectFor(GlyphMaskIndex(1));
    return R.IsEmpty() ? Rect(0, 0, 16, 16) : R;
}

void TacCheckBoxWnd::PaintGlyph(int MaskIndex) {
    TsSkinManager* M = ManagerOf(this);
    TRect R = GlyphRectFor(MaskIndex);
    if (!M || R.IsEmpty())
        return;
    TBitmap* Cache = SkinData->CacheBitmap;
    DrawSkinGlyph(Cache, R.TopLeft(), CurrentState(), 1, M->MaskList[MaskIndex], MakeBackgroundSource(Cache, 0, 0));
}

void TacCheckBoxWnd::PaintCaption() {
    if (HookWndText.empty())
        return;
    TCanvas* C = SkinData->CacheBitmap->Canvas();
    const bool Multi = (WindowStyleOf(Handle) & BS_MULTILINE) != 0;
    const int Avail = std::max<int>(0, HookWndSize.cx - CheckedGlyphRect().Width() - 2);
    RECT Calc{0, 0, Avail, 0};
    DrawTextA(C->Handle(), HookWndText.c_str(), static_cast<int>(HookWndText.size()), &Calc,
              DT_CALCRECT | (Multi ? DT_WORDBREAK : DT_SINGLELINE));
    const int TH = Calc.bottom - Calc.top, TW = std::min<int>(Calc.right - Calc.left, Avail);
    int Y = std::max<int>((HookWndSize.cy - TH) / 2, 0);
    int X = 2;
    if (!(WindowStyleOf(Handle) & BS_LEFTTEXT)) {
        X = HookWndSize.cx - Avail + 2;
        Y -= 1;
        if (Multi)
            X -= 1;
    }
    TRect R = Rect(X, Y, X + (Multi ? Avail : TW), Y + TH);
    C->Brush()->SetStyle(bsClear);
    WriteControlText(C, HookWndText, IsWindowEnabled(Handle) != FALSE, SkinData->IsHotState(), SkinData,
                     Multi ? DT_WORDBREAK | DT_CENTER : DT_SINGLELINE, R);
    if (SendMessageA(Handle, BM_GETSTATE, 0, 0) & BST_FOCUS) {
        InflateRect(R, 1, 0);
        DrawDottedFrame(C, R);
    }
}

void TacCheckBoxWnd::PrepareCache() {
    TBitmap* Cache = SizedCacheOf(SkinData, HookWndSize);
    if (HFONT Font = reinterpret_cast<HFONT>(SendMessageA(Handle, WM_GETFONT, 0, 0)))
        Cache->Canvas()->Font()->SetHandle(Font);
    BackgroundSource Background;
    GetWindowParentBackgroundSource(Handle, Background);
    PaintControlSkin(SkinData, Background, true, true, SkinData->IsHotState() ? 1 : 0, Cache, HookWndPos,
                     Rect(0, 0, Cache->Width(), Cache->Height()));
    PaintCaption();
    PaintGlyph(GlyphMaskIndex(CheckState()));
    if (!IsWindowEnabled(Handle))
        BlendDisabledLook(Background);
    SkinData->BackgroundStale = false;
}

void TacCheckBoxWnd::PaintNow(TMessage& Message) {
    ReadGeometry();
    PAINTSTRUCT PS;
    BeginPaint(Handle, &PS);
    HDC Given = reinterpret_cast<HDC>(Message.WParam);
    if (!SkinData->IsUpdating()) {
        if (HookParent)
            SendMessageA(HookParent, SM_ALPHACMD, SkinCommandParam(SKIN_BEFORECHILDPAINT), 0);
        if (IsWindowVisible(Handle) || Given) {
            PrepareCache();
            CopyCacheTo(Given);
        }
    }
    EndPaint(Handle, &PS);
}

void TacCheckBoxWnd::WndProc(TMessage& Message) {
    if (!HookSkinned()) {
        TacMainWnd::WndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_ENABLE:
    case BM_SETCHECK:
    case BM_SETSTATE:
    case CM_TEXTCHANGED:
        if (!IsWindowVisible(Handle))
            break;
        BaseWithoutRedraw(Message);
        RepaintNow();
        return;
    case WM_PAINT:
        PaintNow(Message);
        return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
        return;
    case SM_ALPHACMD:
        if (Word C = SkinCommandOf(Message.WParam); C == SKIN_HOTWINDOWSET || C == SKIN_HOTWINDOWCLEARED) {
            SkinData->SetInUpdate(false);
            RepaintNow();
        }
        break;
    default:
        break;
    }
    TacMainWnd::WndProc(Message);
    switch (Message.Msg) {
    case WM_KEYDOWN:
        if (Message.WParam != VK_SPACE)
            break;
        [[fallthrough]];
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        RepaintNow();
        break;
    case WM_NCHITTEST:
        if (TsSkinManager* M = DefaultManager; M && IsWindowEnabled(Handle) && M->HotWindow != Handle)
            M->SetHotWindow(Handle);
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Up-down controls

TacSpinWnd::TacSpinWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                       TsCommonData* ASkinData)
    : TacMainWnd(AHandle, Repaint, SkinSection, Manager, ASkinData) {
    TsSkinManager* M = SkinData->GetSkinManager();
    if (M && M->FindSectionIndex(SkinData->SkinSection()) < 0)
        SkinData->SetSkinSection("BUTTON");
}

bool TacSpinWnd::IsVertical() { return (WindowStyleOf(Handle) & UDS_HORZ) == 0; }

void TacSpinWnd::PrepareCache() {
    TsSkinManager* M = SkinData->GetSkinManager();
    TBitmap* Cache = SizedCacheOf(SkinData, HookWndSize);
    const int W = HookWndSize.cx, H = HookWndSize.cy;
    ParentBackgroundInfo Info;
    QueryWindowBackground(Info, HookParent, false);
    BackgroundSource Background;
    ToBackgroundSource(Info, Background);
    const bool Vertical = IsVertical();
    // First button, second button, and the index of each one's arrow among top, bottom, left, right.
    const TRect Buttons[2] = {Vertical ? Rect(SpinLeftOffset, 0, W, (H + 1) / 2) : Rect(0, 0, (W + 1) / 2, H),
                              Vertical ? Rect(SpinLeftOffset, H / 2, W, H) : Rect(W / 2, 0, W, H)};
    const int Arrows[2] = {Vertical ? 0 : 2, Vertical ? 1 : 3};
    const int States[2] = {UpButtonState, DownButtonState};
    for (int I = 0; I < 2; ++I) {
        const TRect& R = Buttons[I];
        if (R.IsEmpty())
            continue;
        TOwned<TBitmap> Button(NewBitmap24(R.Width(), R.Height()));
        PaintControlSkin(SkinData, Background, true, true, States[I], Button.get(),
                         Point(HookWndPos.X + R.Left, HookWndPos.Y + R.Top), Rect(0, 0, R.Width(), R.Height()));
        if (M)
            PaintScrollArrowGlyph(Button.get(), M->CommonIndexes.ScrollButtonGlyph[Arrows[I]], States[I],
                                  Rect(0, 0, R.Width(), R.Height()), M);
        BitBlt(Cache->Canvas()->Handle(), R.Left, R.Top, R.Width(), R.Height(), Button->Canvas()->Handle(), 0, 0,
               SRCCOPY);
    }
    SkinData->BackgroundStale = false;
}

void TacSpinWnd::PaintNow(TMessage& Message) {
    ReadGeometry();
    UpButtonState = DownButtonState = 0;
    TPoint P;
    if (ReadCursorPos(P) && PtInRect(HookWndRect, P)) {
        const bool First = IsVertical() ? P.Y - HookWndRect.Top < HookWndSize.cy / 2
                                        : P.X - HookWndRect.Left < HookWndSize.cx / 2;
        (First ? UpButtonState : DownButtonState) = SpinPressed + 1;
    }
    PAINTSTRUCT PS;
    BeginPaint(Handle, &PS);
    if (!SkinData->IsUpdating()) {
        HDC Given = reinterpret_cast<HDC>(Message.WParam);
        HDC DC = Given ? Given : GetDC(Handle);
        SkinData->BackgroundStale = true;
        PrepareCache();
        TBitmap* Cache = SkinData->CacheBitmap;
        const int X = IsVertical() ? SpinLeftOffset : 0;
        BitBlt(DC, X, 0, Cache->Width() - X, Cache->Height(), Cache->Canvas()->Handle(), X, 0, SRCCOPY);
        if (!Given)
            ReleaseDC(Handle, DC);
    }
    EndPaint(Handle, &PS);
}

void TacSpinWnd::WndProc(TMessage& Message) {
    if (!HookSkinned()) {
        TacMainWnd::WndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_PAINT:
        PaintNow(Message);
        return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
        return;
    case WM_LBUTTONDOWN:
        SpinPressed = 1;
        break;
    case WM_LBUTTONUP:
        SpinPressed = 0;
        break;
    case WM_MOUSELEAVE:
        InvalidateRect(Handle, nullptr, FALSE);
        break;
    default:
        break;
    }
    TacMainWnd::WndProc(Message);
    switch (Message.Msg) {
    case WM_MOUSEMOVE: {
        TsSkinManager* M = DefaultManager;
        if (!M || M->ComponentState().Contains(csDesigning) || !IsWindowEnabled(Handle))
            break;
        TPoint P;
        bool Inside = ReadCursorPos(P) && PtInRect(HookWndRect, P);
        if (Inside && M->HotWindow == Handle)
            RepaintNow();
        else
            TrackHotWindow();
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        RepaintNow();
        break;
    default:
        break;
    }
}
