// What the hooks that paint their whole window share (part of the window-hooks unit, acSBUtils.h).
#include "acSBUtils.h"

#include "sGraphUtils.h"
#include "sVclUtils.h"

#include <algorithm>

bool TacMainWnd::HookSkinned() const { return !Unhooked && SkinData && SkinData->IsSkinned(false); }

void TacMainWnd::ReadGeometry() {
    GetWindowGeometry(Handle, HookParent, HookWndRect, 0, HookWndPos, HookWndSize, HookParentRect);
}

void TacMainWnd::BaseWithoutRedraw(TMessage& Message) {
    SendMessageA(Handle, WM_SETREDRAW, FALSE, 0);
    TacMainWnd::WndProc(Message);
    SendMessageA(Handle, WM_SETREDRAW, TRUE, 0);
}

void TacMainWnd::TrackHotWindow() {
    TsSkinManager* M = DefaultManager;
    if (!M || M->ComponentState().Contains(csDesigning) || !IsWindowEnabled(Handle))
        return;
    TPoint P;
    RECT R{};
    GetWindowRect(Handle, &R);
    bool Inside = ReadCursorPos(P) && PtInRect(&R, POINT{P.X, P.Y});
    if (Inside && M->HotWindow != Handle)
        M->SetHotWindow(Handle);
    else if (!Inside && M->HotWindow == Handle)
        M->SetHotWindow(nullptr);
}

void TacMainWnd::CopyCacheTo(HDC DC) {
    TBitmap* Cache = SkinData ? SkinData->CacheBitmap : nullptr;
    if (!Cache || Cache->Width() <= 0 || Cache->Height() <= 0)
        return;
    HDC Own = DC ? nullptr : GetDC(Handle);
    BitBlt(DC ? DC : Own, 0, 0, Cache->Width(), Cache->Height(), Cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    if (Own)
        ReleaseDC(Handle, Own);
}

void TacMainWnd::BlendDisabledLook(const BackgroundSource& Background) {
    TBitmap* Cache = SkinData ? SkinData->CacheBitmap : nullptr;
    if (!Cache || Cache->Width() <= 0 || Cache->Height() <= 0)
        return;
    if (Background.Bmp) {
        const int X = Background.OffsetX + HookWndPos.X, Y = Background.OffsetY + HookWndPos.Y;
        BlendBitmapRect(Cache, 0, 0, NoKeyColor, 0.4, Rect(X, Y, X + Cache->Width() - 1, Y + Cache->Height() - 1),
                        Background.Bmp);
    } else {
        TintBitmap(Cache, ColorToRGB(Background.Color), KeyColor, 0.4);
    }
}

TBitmap* SizedCacheOf(TsCommonData* SkinData, const TSize& Size) {
    PrepareCacheBitmapFor(SkinData);
    TBitmap* Cache = SkinData->CacheBitmap;
    if (Cache->Width() != Size.cx || Cache->Height() != Size.cy)
        Cache->SetSize(std::max<LONG>(0, Size.cx), std::max<LONG>(0, Size.cy));
    return Cache;
}

void TacMainWnd::ValidateWindow(bool Erase) {
    if (Erase)
        InvalidateRect(Handle, nullptr, TRUE);
    PAINTSTRUCT PS;
    BeginPaint(Handle, &PS);
    EndPaint(Handle, &PS);
}
