// The painting routines the skinned edit and the skin data already call. The device-context and
// bitmap helpers are complete; the section, mask and text painters that follow are placeholders
// that draw nothing (the painting convention for "nothing to paint") until the units that paint
// skin sections, masks and skinned text define them here instead.
#include "sPaintServices.h"

#include "Controls.h"
#include "sCommonData.h"

void FillRectSolid(HDC DC, TRect Rect, TColor Color) {
    SaveDC(DC);
    HBRUSH Brush = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Color)));
    FillRect(DC, reinterpret_cast<const RECT*>(&Rect), Brush);
    DeleteObject(Brush);
    RestoreDC(DC, -1);
}

void CopyBorderStrips(HDC DstDC, int X, int Y, int B, HDC SrcDC, int SrcX, int SrcY, int W, int H) {
    BitBlt(DstDC, X, Y, B, H, SrcDC, SrcX, SrcY, SRCCOPY);
    BitBlt(DstDC, X, Y, W, B, SrcDC, SrcX, SrcY, SRCCOPY);
    BitBlt(DstDC, X + W - B, Y, B, H, SrcDC, SrcX + W - B, SrcY, SRCCOPY);
    BitBlt(DstDC, X, Y + H - B, W, B, SrcDC, SrcX, SrcY + H - B, SRCCOPY);
}

void PaintControlSkin(TsCommonData*, BackgroundSource, bool, bool, int, TBitmap*, TPoint, TRect, int, int) {}
void PaintControlBackground(TsCommonData*, BackgroundSource, int, TBitmap*, TPoint, TRect) {}
void PaintSkinItemToDC(int, const std::string&, BackgroundSource, TsSkinManager*, HDC, TPoint, TRect, int, bool) {}
void PaintSkinBorder(HDC, TRect Rect, int, TsCommonData*, int, TRect& ClientRect) { ClientRect = Rect; }
void DrawSkinGlyph(TBitmap*, TPoint, int, int, const TsMaskData&, BackgroundSource) {}
void PaintAllCacheCorners(TsCommonData*, int) {}
void PaintDisabledLook(TBitmap*, TsDisabledKind, TControl*, BackgroundSource, TPoint) {}
void WriteControlText(TCanvas*, const std::string&, bool, bool, TsCommonData*, UINT, TRect) {}

void PaintControlSkinOnParent(TsCommonData* SkinData, TControl* Parent, bool MaskState, bool UseBackground, int State,
                              TBitmap* Bitmap, TPoint Offset, TRect Rect) {
    ParentBackgroundInfo Info;
    QueryParentBackground(Info, Parent, false);
    BackgroundSource Background;
    ToBackgroundSource(Info, Background);
    PaintControlSkin(SkinData, Background, MaskState, UseBackground, State, Bitmap, Offset, Rect);
}

void CopyCacheClipControls(TWinControl* Control, TsCommonData* SkinData, TPoint SrcPos, int DY, int DX, bool UpdateCorners,
                           HDC DC, TRect DstRect) {
    if (!SkinData || !SkinData->CacheBitmap)
        return;
    if (UpdateCorners)
        PaintAllCacheCorners(SkinData, 0);
    int Saved = SaveDC(DC);
    for (int I = 0; I < Control->ControlCount(); ++I) {
        auto* Child = DynCast<TWinControl>(Control->Controls(I));
        if (Child && Child->Visible())
            ExcludeClipRect(DC, Child->Left() + DX, Child->Top() + DY, Child->Left() + Child->Width() + DX,
                            Child->Top() + Child->Height() + DY);
    }
    BitBlt(DC, DstRect.Left, DstRect.Top, DstRect.Width(), DstRect.Height(), SkinData->CacheBitmap->Canvas()->Handle(),
           SrcPos.X, SrcPos.Y, SRCCOPY);
    RestoreDC(DC, Saved);
}

void ExcludeGraphicChildren(HDC DC, TWinControl* Parent, int DY, int DX) {
    for (int I = 0; I < Parent->ControlCount(); ++I) {
        TControl* C = Parent->Controls(I);
        if (C->Visible() && DynCast<TGraphicControl>(C))
            ExcludeClipRect(DC, C->Left() + DX, C->Top() + DY, C->Left() + C->Width() + DX, C->Top() + C->Height() + DY);
    }
}

void DrawTextOnDC(HDC DC, const std::string& Text, TRect& Rect, UINT Format) {
    DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), Rect, Format);
}

int CanvasTextHeight(TCanvas* Canvas, const std::string& Text) { return Canvas->TextExtent(Text).cy; }

void TextSizeWithFont(HFONT FontHandle, const std::string& Text, TSize& Size) {
    HDC DC = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, FontHandle);
    if (!GetTextExtentPoint32A(DC, Text.c_str(), static_cast<int>(Text.size()), Size))
        Size = TSize{};
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
}

void DrawDottedFrame(TCanvas* Canvas, TRect Rect) { DrawFocusRect(Canvas->Handle(), Rect); }
