// Glow windows around screen rectangles (hot title-bar buttons, skinned controls): borderless,
// layered, click-through windows a little larger than the rectangle, whose per-pixel-alpha image is
// a skin mask stretched around it. They are kept in one global list and addressed by index, which
// the callers store; a removed effect leaves a nil slot so that the other indexes stay valid.
//
// Start-up: acGlowInitialization() (first use only) sets SharedBlend; acGlowFinalization() (last
// use only) frees every effect.
#pragma once

#include "Bitmaps.h"
#include "Forms.h"
#include "Graphics.h"

#include <windows.h>

#include <string>
#include <vector>

class TsSkinManager;

class TacGlowEffect : public TObject {
    DECLARE_CLASS(TacGlowEffect, TObject)
public:
    TacGlowEffect() = default;
    ~TacGlowEffect() override;
    // GlowImage := a new 32-bit Width x Height image, transparent black, with the glow mask drawn
    // over all of it when there is one.
    virtual void PrepareImage(int Width, int Height);
    // Makes and shows the glow window; nothing when it exists already.
    void Show(TRect Rect, TRect VisibleRect, HWND ParentWnd);

    TsSkinManager* Manager = nullptr;
    int Mask = -1;   // in the manager's mask list
    int Inset = 0;   // how far the window reaches inside the rectangle on every side
    TForm* GlowForm = nullptr;
    TBitmap* GlowImage = nullptr;  // only while the window is being shown
    TWndMethod SavedWindowProc;

private:
    void GlowWndProc(TMessage& Message);
};

using TacGlowEffects = std::vector<TacGlowEffect*>;
extern TacGlowEffects GlowEffects;
// Shared by every layered window of the library; each user sets SourceConstantAlpha first.
extern BLENDFUNCTION SharedBlend;

// Shows a glow window around Rect (screen coordinates) of which VisibleRect (in Rect's own
// coordinates) is visible; its index, or -1 without layered windows or without the mask
// MaskName + "0" in the section. Alpha is not used.
int AddGlowEffect(TRect Rect, TRect VisibleRect, const std::string& SectionName, TsSkinManager* Manager,
                  HWND ParentWnd, int Alpha, int Inset, const std::string& MaskName);
// Frees the effect at Index; nothing for an index out of range or an empty slot.
void RemoveGlowEffect(int Index);
// Frees every effect and empties the list.
void ClearGlowEffects();

void acGlowInitialization();
void acGlowFinalization();
