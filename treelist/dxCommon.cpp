#include "dxCommon.h"

void DrawGripCorner(HDC DC, TRect& R, int Corner) {
    const int W = GetSystemMetrics(SM_CXVSCROLL), H = GetSystemMetrics(SM_CYHSCROLL);
    const bool Left = Corner == 0 || Corner == 2, Top = Corner == 0 || Corner == 1;
    if (Left)
        R.Right = R.Left + W;
    else
        R.Left = R.Right - W;
    if (Top)
        R.Bottom = R.Top + H;
    else
        R.Top = R.Bottom - H;
    // The outer 2 columns and rows of the box take the face colour; the grip fills the rest.
    HBRUSH Face = GetSysColorBrush(COLOR_BTNFACE);
    TRect G = R;
    TRect Column = Left ? TRect{R.Left, R.Top, R.Left + 2, R.Bottom} : TRect{R.Right - 2, R.Top, R.Right, R.Bottom};
    TRect Row = Top ? TRect{R.Left, R.Top, R.Right, R.Top + 2} : TRect{R.Left, R.Bottom - 2, R.Right, R.Bottom};
    FillRect(DC, Column, Face);
    FillRect(DC, Row, Face);
    if (Left)
        G.Left += 2;
    else
        G.Right -= 2;
    if (Top)
        G.Top += 2;
    else
        G.Bottom -= 2;
    const int GW = G.Width(), GH = G.Height();
    if (GW <= 0 || GH <= 0)
        return;
    HDC Mem = CreateCompatibleDC(DC);
    HBITMAP Bmp = CreateCompatibleBitmap(DC, GW, GH);
    HGDIOBJ Old = SelectObject(Mem, Bmp);
    RECT Box{0, 0, GW, GH};
    DrawFrameControl(Mem, &Box, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    StretchBlt(DC, G.Left, G.Top, GW, GH, Mem, Left ? GW - 1 : 0, Top ? GH - 1 : 0, Left ? -GW : GW, Top ? -GH : GH,
               SRCCOPY);
    SelectObject(Mem, Old);
    DeleteObject(Bmp);
    DeleteDC(Mem);
}
