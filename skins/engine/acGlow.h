// Glow windows around screen rectangles (hot title-bar buttons, skinned controls), kept in one
// global list and addressed by index.
#pragma once

#include "Graphics.h"

#include <windows.h>

#include <string>

class TsSkinManager;

// Shows a glow window around Rect (screen coordinates); its index, or -1 when none is shown.
int AddGlowEffect(TRect Rect, TRect VisibleRect, const std::string& SectionName, TsSkinManager* Manager,
                  HWND ParentWnd, int Alpha, int Inset, const std::string& MaskName);
// Frees the effect at Index; nothing for an index out of range or an empty slot.
void RemoveGlowEffect(int Index);
// Frees every effect.
void ClearGlowEffects();
