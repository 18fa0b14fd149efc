// Gradients of skin sections: the text form ("Color1;Color2;Percent;Mode;unused;" per step) parsed
// into steps, and the steps painted into a rectangle of a 24-bit or 32-bit bitmap as vertical bands,
// horizontal bands or a four-corner blend.
//
// Start-up: sGradientInitialization() loads the platform's GradientFill for the four-corner mode;
// sGradientFinalization() frees its library. Without it the four-corner mode paints nothing.
#pragma once

#include "Bitmaps.h"
#include "sMaskData.h"

#include <string>

// Steps := the gradient of Text (five words per step, a trailing incomplete group ignored); empty
// for an empty Text. A word that is not an integer raises EConvertError.
void ParseGradientData(const std::string& Text, TsGradArray& Steps);
// Paints Steps into R of Bmp, R clipped to the bitmap first. The first step's Mode chooses: 0
// vertical bands (Offset moves the bands down), 1 horizontal bands, 2 four corners through
// GradientFill; any other mode, and bitmaps other than 24-bit and 32-bit in modes 0 and 1, paint
// nothing.
void PaintGradient(TBitmap* Bmp, TRect R, const TsGradArray& Steps, int Offset);

void sGradientInitialization();
void sGradientFinalization();
