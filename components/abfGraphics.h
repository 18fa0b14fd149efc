// abfGraphics: the component set's 21 extra colour identifiers (clBrown ... clLavender), which form
// streaming reads and writes once the unit has started, and the colour under the mouse.
#pragma once

#include "Graphics.h"

#include <string>

// Through the extra table first, then through the framework's own identifiers.
bool ColorToIdentEx(LongInt Color, std::string& Ident);
bool IdentToColorEx(const std::string& Ident, LongInt& Color);

// The screen pixel under the mouse cursor.
TColor PixelColorUnderCursor();

// Unit start-up: the two converters become the colour type's identifiers; shut-down removes them.
void abfGraphicsInitialization();
void abfGraphicsFinalization();
