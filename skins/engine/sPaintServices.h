// The engine's painting routines as the skinned controls, frames and window hooks call them: one
// set of signatures for every caller. The units that paint define them; all of them draw nothing
// (and raise nothing) without a manager, with an index out of range or with an empty rectangle.
#pragma once

#include "Buttons.h"
#include "Graphics.h"
#include "acFastPixels.h"
#include "sConst.h"
#include "sDCUtils.h"
#include "sGradient.h"
#include "sGraphUtils.h"
#include "sMaskDraw.h"
#include "sSkinManager.h"

#include <string>

class TsCommonData;
class TControl;
class TWinControl;

// ---------------------------------------------------------------------------------------------
// Skin sections

// The section's colour, gradient, texture and transparency over Background into Rect of Bitmap;
// CustomColor 0xFF00FF takes the section colour; Offset is Rect's origin inside the background.
void PaintSkinSection(int SectionIndex, const std::string& SectionName, BackgroundSource Background,
                      TColor CustomColor, int HotTextureIndex, int TextureIndex, TsSkinManager* Manager,
                      TBitmap* Bitmap, TPoint Offset, TRect Rect, int State);
// A control's complete skin: background, border mask (FillCentre draws its centre, UseBackground lets
// key-coloured mask pixels show the background), corner images. PushedX/PushedY move the content
// of a pressed control.
void PaintControlSkin(TsCommonData* SkinData, BackgroundSource Background, bool FillCentre, bool UseBackground,
                      int State, TBitmap* Bitmap, TPoint Offset, TRect Rect, int PushedX = 0, int PushedY = 0);
// PaintControlSkin over the background asked of Parent.
void PaintControlSkinOnParent(TsCommonData* SkinData, TControl* Parent, bool MaskState, bool UseBackground, int State,
                              TBitmap* Bitmap, TPoint Offset, TRect Rect);
// The control's section background alone (its own colour when the skin data's colour is custom).
void PaintControlBackground(TsCommonData* SkinData, BackgroundSource Background, int State, TBitmap* Bitmap,
                            TPoint Offset, TRect Rect);
// Any section as an item (background, corners, border mask) into a temporary bitmap, then to DC.
void PaintSkinItemToDC(int SectionIndex, const std::string& SectionName, BackgroundSource Background,
                       TsSkinManager* Manager, HDC DC, TPoint Offset, TRect Rect, int State, bool MaskState);
// A control's border mask into its cache; ClientRect becomes the area inside the border.
void PaintSkinBorder(HDC DC, TRect Rect, int MinBorder, TsCommonData* SkinData, int State, TRect& ClientRect);
// The cache bitmap to DstRect of DC, the visible child windows of Control left out.
void CopyCacheClipControls(TWinControl* Control, TsCommonData* SkinData, TPoint SrcPos, int DY, int DX,
                           bool UpdateCorners, HDC DC, TRect DstRect);
