// The graphics layer of the framework: colours, fonts, pens, brushes, canvases, bitmaps, icons and
// pictures over GDI. Include this header; the units behind it are split by concern.
//
// Start-up: GraphicsInitialization() (in the program's unit table, and in test programs before the
// first use) reads the screen's resolution, enters the colour and character-set identifiers for
// form streaming and registers the picture formats BMP and ICO. JPEG has its own start-up
// (Jpeg.h).
#pragma once

#include "Bitmaps.h"
#include "Canvas.h"
#include "Graphic.h"
#include "GraphicsColors.h"
#include "GraphicsObjects.h"
#include "Icons.h"
#include "Picture.h"
#include "Themes.h"
#include "Types.h"

// Safe to call more than once; the second call does nothing until GraphicsFinalization.
void GraphicsInitialization();
void GraphicsFinalization();
