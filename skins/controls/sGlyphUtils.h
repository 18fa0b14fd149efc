// The glyph of a skinned speed button painted onto a canvas: from its Glyph bitmap (24-bit state
// strips or 32-bit images with alpha) or from Images/ImageIndex, with its blend, grey, disabled and
// reflected looks in its current state. Also the form classes that the dialog hook never skins.
//
// Start-up: sGlyphUtilsInitialization() fills SkipFormClasses; sGlyphUtilsFinalization() frees it.
#pragma once

#include "ComCtrls.h"
#include "Graphics.h"
#include "ImgList.h"
#include "Lists.h"

class TControl;

// Paints the glyph of a TsSpeedButton; a nil Canvas means the button's cache canvas. Nothing for
// any other control.
void PaintButtonGlyph(TControl* Button, TCanvas* Canvas);
// The list's image count, 0 for nil.
int ImageCount(TCustomImageList* ImageList);
// A 24-bit bitmap of the list's size filled with its background colour (0xFF00FF for clNone) that
// holds image Index; the caller owns it. Fill receives the colour.
TBitmap* FillImageListBitmap(TCustomImageList* ImageList, int Index, TColor& Fill);

// The image of a tool button drawn into Bitmap (the button's own image, origin at the button's
// top-left corner) for the custom-draw State: from the bar's HotImages when the button is lit and
// that list holds its index, else from Images, placed by the size of Images; pressed and checked
// looks move it by one pixel. The caller has made sure that the bar has Images and that the
// button's ImageIndex lies in it. Flag and Value come from the tool-bar hook and are not used.
void PaintToolButtonGlyph(TToolBar* ToolBar, TToolButton* ToolButton, TCustomDrawState State, bool Flag, int Value,
                          TBitmap* Bitmap);

// Sorted names of the form classes the dialog hook leaves alone.
extern TStringList* SkipFormClasses;

void sGlyphUtilsInitialization();
void sGlyphUtilsFinalization();
