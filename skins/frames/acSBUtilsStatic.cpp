// Hooks of text statics and size grips (part of the window-hooks unit, acSBUtils.h): both paint the
// whole window from the skin and keep the control's own painting out.
#include "acSBUtils.h"

#include "sDCUtils.h"
#include "sGraphUtils.h"
#include "sMaskDraw.h"
#include "sMessages.h"
#include "sVclUtils.h"

#include <algorithm>

namespace {

void RedrawNow(HWND Wnd) { RedrawWindow(Wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Text statics

void TacStaticWnd::WndProc(TMessage& Message) {
    LONG_PTR Style = GetWindowLongPtrA(Handle, GWL_STYLE);
    LONG_PTR ExStyle = GetWindowLongPtrA(Handle, GWL_EXSTYLE);
    if (Unhooked || !SkinData || (Style & WS_TABSTOP) || (ExStyle & WS_EX_STATICEDGE)) {
        TacMainWnd::WndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_MOVE:
    case WM_ENABLE:
        SkinData->BackgroundStale = true;
        PassOn(Message);
        RedrawNow(Handle);
        return;
    case WM_SETTEXT:
        PassOn(Message);
        HookWndText = ReadWindowText(Handle);
        SkinData->BackgroundStale = true;
        RedrawNow(Handle);
        return;
    case WM_PAINT:
        ValidateWindow(false);
        return;
    case WM_ERASEBKGND:
        if (!IsWindowVisible(Handle))
            break;
        PaintNow(Message);
        Message.Result = 1;
        return;
    case WM_NCPAINT:
        return;
    case WM_PRINT:
        PaintNow(Message);
        return;
    default:
        break;
    }
    TacMainWnd::WndProc(Message);
}

void TacStaticWnd::PaintNow(TMessage& Message) {
    GetWindowGeometry(Handle, HookParent, HookWndRect, 0, HookWndPos, HookWndSize, HookParentRect);
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    HDC Own = DC ? nullptr : GetDC(Handle);
    if (Own)
        DC = Own;
    int SaveIndex = SaveDC(DC);
    SkinData->BackgroundStale = true;
    PaintBorderCache(SkinData, Handle, false);
    if (TBitmap* Cache = SkinData->CacheBitmap; Cache && Cache->Width() > 0) {
        PaintContent();
        BitBlt(DC, 0, 0, Cache->Width(), Cache->Height(), Cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    }
    RestoreDC(DC, SaveIndex);
    if (Own)
        ReleaseDC(Handle, Own);
}

void TacStaticWnd::PaintContent() {
    TBitmap* Cache = SkinData->CacheBitmap;
    TCanvas* C = Cache->Canvas();
    C->Brush()->SetStyle(bsClear);
    if (HFONT Font = reinterpret_cast<HFONT>(SendMessageA(Handle, WM_GETFONT, 0, 0)))
        C->Font()->SetHandle(Font);
    UINT Format = DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP;
    if (GetWindowLongPtrA(Handle, GWL_EXSTYLE) & WS_EX_RIGHT)
        Format |= DT_RIGHT;
    WriteControlText(C, HookWndText, IsWindowEnabled(Handle) != FALSE, false, SkinData, Format,
                     Rect(0, 0, Cache->Width(), Cache->Height()));
}

// ---------------------------------------------------------------------------------------------
// Link labels

void TacLinkWnd::WndProc(TMessage& Message) {
    if (Unhooked || !SkinData || (GetWindowLongPtrA(Handle, GWL_EXSTYLE) & WS_EX_STATICEDGE)) {
        TacStaticWnd::WndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_MOVE:
        SkinData->BackgroundStale = true;
        PassOn(Message);
        RedrawNow(Handle);
        return;
    case WM_ENABLE:
        // A link keeps its look when enabled or disabled.
        TacMainWnd::WndProc(Message);
        return;
    default:
        TacStaticWnd::WndProc(Message);
        return;
    }
}

void TacLinkWnd::PaintContent() {
    TBitmap* Cache = SkinData->CacheBitmap;
    TCanvas* C = Cache->Canvas();
    C->Brush()->SetStyle(bsClear);
    NONCLIENTMETRICSW Metrics{};
    Metrics.cbSize = 500;  // the size every system version accepts
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, Metrics.cbSize, &Metrics, 0)) {
        const LOGFONTW& F = Metrics.lfMessageFont;
        char Name[LF_FACESIZE * 2] = {};
        WideCharToMultiByte(CP_ACP, 0, F.lfFaceName, -1, Name, sizeof(Name), nullptr, nullptr);
        C->Font()->SetName(Name);
        C->Font()->SetHeight(F.lfHeight);
        C->Font()->SetCharset(static_cast<TFontCharset>(F.lfCharSet));
    }
    C->Font()->SetStyle(TFontStyles{fsUnderline});
    std::string Text = StringReplace(HookWndText, "<A>", "", {rfReplaceAll});
    Text = StringReplace(Text, "</A>", "", {rfReplaceAll});
    WriteControlText(C, Text, IsWindowEnabled(Handle) != FALSE, false, SkinData, DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP,
                     Rect(0, 0, Cache->Width() + 4, Cache->Height()));
}

// ---------------------------------------------------------------------------------------------
// Size grips

void TacSizerWnd::WndProc(TMessage& Message) {
    if (Unhooked) {
        TacMainWnd::WndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_PAINT:
        PaintGrip();
        return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
        return;
    default:
        break;
    }
    TacMainWnd::WndProc(Message);
    if (Message.Msg == WM_NCHITTEST) {
        if (IsWindowEnabled(Handle) && DefaultManager && DefaultManager->HotWindow)
            DefaultManager->SetHotWindow(nullptr);
        Message.Result = HTBOTTOMRIGHT;
    }
}

void TacSizerWnd::PaintGrip() {
    GetWindowGeometry(Handle, HookParent, HookWndRect, 0, HookWndPos, HookWndSize, HookParentRect);
    PAINTSTRUCT PS;
    HDC DC = BeginPaint(Handle, &PS);
    const int W = HookWndSize.cx, H = HookWndSize.cy;
    if (W > 0 && H > 0) {
        TOwned<TBitmap> Image(NewBitmap24(W, H));
        ParentBackgroundInfo Info;
        Info.PaintNow = true;
        Info.DC = Image->Canvas()->Handle();
        Info.R = Rect(0, 0, W, H);
        Info.X = HookWndPos.X;
        Info.Y = HookWndPos.Y;
        if (HookParent)
            SendMessageA(HookParent, SM_ALPHACMD, SkinCommandParam(SKIN_GETBACKGROUND), reinterpret_cast<LPARAM>(&Info));
        TsSkinManager* M = SkinManager ? SkinManager : DefaultManager;
        if (M) {
            int Global = M->FindSectionIndex("GLOBALINFO");
            int Grip = M->FindMaskIndex(Global, "GLOBALINFO", "GRIPIMAGE");
            if (M->MaskIndexInRange(Grip)) {
                const TsMaskData& Mask = M->MaskList[Grip];
                TPoint At = Point(std::max(0, W - GetMaskImageWidth(Mask)), std::max(0, H - GetMaskImageHeight(Mask)));
                DrawSkinGlyph(Image.get(), At, 0, 1, Mask, MakeBackgroundSource(Image.get(), 0, 0));
            }
        }
        HDC Target = DC ? DC : GetDC(Handle);
        BitBlt(Target, 0, 0, W, H, Image->Canvas()->Handle(), 0, 0, SRCCOPY);
        if (!DC)
            ReleaseDC(Handle, Target);
    }
    EndPaint(Handle, &PS);
}
