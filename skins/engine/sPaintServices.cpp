// The painting routines the skinned edit and the skin data already call. The device-context and
// bitmap helpers are complete; the section, mask and text painters that follow are placeholders
// that draw nothing (the painting convention for "nothing to paint") until the units that paint
// skin sections, masks and skinned text define them here instead.
#include "sPaintServices.h"

#include "Controls.h"
#include "sCommonData.h"

void PaintControlSkin(TsCommonData*, BackgroundSource, bool, bool, int, TBitmap*, TPoint, TRect, int, int) {}
void PaintControlBackground(TsCommonData*, BackgroundSource, int, TBitmap*, TPoint, TRect) {}
void PaintSkinItemToDC(int, const std::string&, BackgroundSource, TsSkinManager*, HDC, TPoint, TRect, int, bool) {}
void PaintSkinBorder(HDC, TRect Rect, int, TsCommonData*, int, TRect& ClientRect) { ClientRect = Rect; }

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

