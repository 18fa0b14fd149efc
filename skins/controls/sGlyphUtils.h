// The glyph of a skinned speed button painted onto a canvas: from its Glyph bitmap (24-bit state
// strips or 32-bit images with alpha) or from Images/ImageIndex, with its blend, grey, disabled and
// reflected looks in its current state. Also the form classes that the dialog hook never skins.
//
// Start-up: sGlyphUtilsInitialization() fills SkipFormClasses; sGlyphUtilsFinalization() frees it.
#pragma once

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

// Sorted names of the form classes the dialog hook leaves alone.
extern TStringList* SkipFormClasses;

void sGlyphUtilsInitialization();
void sGlyphUtilsFinalization();
