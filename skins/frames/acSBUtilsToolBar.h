// Hooks of tool bars (part of the window-hooks unit, acSBUtils.h). A plain tool bar window is
// painted by its hook: the bar, each button, separators, icons and captions. A framework tool bar
// paints itself and lends its two advanced custom-draw events to the hook while the skin lasts; the
// handlers the program had set are given back when the skin goes and when the hook is freed.
#pragma once

#include "ComCtrls.h"
#include "acSBUtils.h"

class TacToolBarWnd : public TacMainWnd {
    DECLARE_CLASS(TacToolBarWnd, TacMainWnd)
public:
    using TacMainWnd::TacMainWnd;
    void WndProc(TMessage& Message) override;
    void PrepareCache();
    void PaintBorder();
    void WMPaint(TMessage& Message);
    void PaintClient(HDC DC);
    void PaintButtons(TBitmap* Target);
    void PaintButton(int Index, const TRect& R, HDC DC);

    TRect HookClientRect{};
    int HookBorderWidth = 0;

private:
    bool Updating();
};

class TacToolBarVCLWnd : public TacMainWnd {
    DECLARE_CLASS(TacToolBarVCLWnd, TacMainWnd)
public:
    TacToolBarVCLWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                     TsCommonData* ASkinData);
    ~TacToolBarVCLWnd() override;
    void WndProc(TMessage& Message) override;

    // The button under a client point, when it is a push, check or drop-down button; else -1.
    int ButtonAt(TPoint P);
    void RepaintButton(int Index);
    void PrepareCache();
    TRect ClientRectInWindow();
    void PaintBorder(HDC DC);
    void ToolBarAdvancedCustomDraw(TToolBar* Sender, const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw);
    void ToolBarAdvancedCustomDrawButton(TToolBar* Sender, TToolButton* Button, TCustomDrawState State,
                                         TCustomDrawStage Stage, TTBCustomDrawFlags& Flags, bool& DefaultDraw);

    TToolBar* ToolBar = nullptr;
    TToolButton* DroppedButton = nullptr;
    int HotIndex = -1;

private:
    void InstallEvents();
    void RestoreEvents();
    void CopyBands(HDC DC, const TRect& C);
    TRect CaptionRectOf(TToolButton* Button, TBitmap* B, int State);
    TTBAdvancedCustomDrawEvent SavedCustomDraw;
    TTBAdvancedCustomDrawBtnEvent SavedCustomDrawButton;
};

// The cache copied into PaintRect of DC from the client rectangle C of the cache, the visible child
// controls that cover their place left out.
void CopyCacheExceptControls(TWinControl* Control, TsCommonData* SkinData, const TRect& C, HDC DC,
                             const TRect& PaintRect);
