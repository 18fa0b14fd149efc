// The skinned speed button: the framework's speed button with skin data (section "SPEEDBUTTON"),
// glyphs from an image list, the tool-button styles (button, check, drop-down with an arrow part and
// a popup menu, separator, divider), caption alignment and offset, blended, grey or reflected glyphs
// and a fade between its states. Skinned, it paints its whole image into its cache bitmap and copies
// it; unskinned it paints itself in the standard speed-button manner (StdPaint). The base of the
// edit buttons of the combo edits and of the spin buttons.
//
// Start-up: sSpeedButtonInitialization() registers TsSpeedButton for form files.
#pragma once

#include "Buttons.h"
#include "ComCtrls.h"
#include "ImgList.h"
#include "Menus.h"
#include "sCommonData.h"
#include "sConst.h"
#include "sFade.h"

class TsSpeedButton : public TSpeedButton {
    DECLARE_CLASS(TsSpeedButton, TSpeedButton)
public:
    explicit TsSpeedButton(TComponent* AOwner);
    ~TsSpeedButton() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TsSpeedButton>& B);

    // Published
    TsCommonData* SkinData() const { return FCommonData; }
    void SetSkinData(TsCommonData* Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    int Blend() const { return FBlend; }
    void SetBlend(int Value);
    TToolButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TToolButtonStyle Value);
    TsDisabledGlyphKind DisabledGlyphKind() const { return FDisabledGlyphKind; }
    void SetDisabledGlyphKind(TsDisabledGlyphKind Value);
    TsDisabledKind DisabledKind() const { return FDisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);
    TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
    void SetDropdownMenu(TPopupMenu* Value);
    bool Grayed() const { return FGrayed; }
    void SetGrayed(bool Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    bool Reflected() const { return FReflected; }
    void SetReflected(bool Value);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);
    bool DrawOverBorder() const { return FDrawOverBorder; }
    void SetDrawOverBorder(bool Value);
    int TextOffset() const { return FTextOffset; }
    void SetTextOffset(int Value);
    TAlignment TextAlignment() const { return FTextAlignment; }
    void SetTextAlignment(TAlignment Value);
    TacAnimatEvents AnimatEvents() const { return FAnimatEvents; }
    void SetAnimatEvents(TacAnimatEvents Value) { FAnimatEvents = Value; }

    TBmpPaintEvent OnPaint;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    void WndProc(TMessage& Message) override;
    void Invalidate() override;

    // Writes the caption into Rect: skinned into the cache, else on the button's canvas.
    virtual void DrawCaption(TRect Rect, UINT Flags);
    virtual void PaintCaption();
    virtual void CalcCaptionSize(TSize& Size);
    virtual void PaintGlyph();
    virtual int GlyphWidth();
    virtual int GlyphHeight();
    // The whole skinned image into the cache bitmap.
    virtual void PrepareCache();
    // The standard look on the button's canvas; PaintBorders False paints only caption and glyph.
    virtual void StdPaint(bool PaintBorders);
    // 0 normal, 1 hot, 2 pressed.
    virtual int CurrentState();
    virtual void GetCaptionRect(TRect& Rect);
    virtual void GetGlyphRect(TRect& Rect);

    int ArrowWidth() const { return FButtonStyle == tbsDropDown ? 16 : 0; }
    int MarginOffset() const { return Margin() < 0 ? 0 : Margin() + 3; }
    int CaptionMaxWidth();
    bool UsesImageList();
    // Rebuilds a stale cache and copies the image onto the canvas (skinned), or repaints.
    void Redraw();
    void UpdateCaption();
    void AnimateStateChange(bool Fast, bool Allowed);
    void StartAnimation(bool Fast);
    void StopAnimation();
    bool MenuShown() const { return FMenuShown; }
    TsAnimTimer* AnimTimer() const { return FAnimTimer; }
    // The caption as the button keeps it while ShowCaption is off.
    const std::string& SavedCaption() const { return FSavedCaption; }

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void GlyphChanged(TObject* Sender) override;
    void PaintOverlappingSiblings(TCanvas* ACanvas);
    bool CanChangeState() const { return true; }
    void DoMouseEnter();
    void DoMouseLeave();

    int LastNumGlyphs = 0;
    int LastSpacing = 0;
    bool LastDown = false;
    TButtonLayout LastLayout = blGlyphLeft;

private:
    // The frame, the group-down fill and the drop-down part: with visual styles, or classic.
    void StdPaintThemedBorders(bool Pressed, bool ArrowDown);
    void StdPaintClassicBorders(bool Pressed, bool ArrowDown);
    void Changed(bool UnlessUpdating);
    void DropDown();
    void SkinnedWndProc(TMessage& Message);
    void AfterSkinnedMessage(TMessage& Message);

    TsCommonData* FCommonData = nullptr;
    TsDisabledKind FDisabledKind{dkBlended};
    TsAnimTimer* FAnimTimer = nullptr;
    TsDisabledGlyphKind FDisabledGlyphKind{dgBlended};
    bool FGrayed = false;
    int FBlend = 0;
    int FTextOffset = 0;
    int FImageIndex = -1;
    TCustomImageList* FImages = nullptr;
    bool FShowCaption = true;
    TAlignment FAlignment = taCenter;
    TToolButtonStyle FButtonStyle = tbsButton;
    TPopupMenu* FDropdownMenu = nullptr;
    bool FDrawOverBorder = true;
    TAlignment FTextAlignment = taCenter;
    TacAnimatEvents FAnimatEvents{aeGlobalDef};
    bool FReflected = false;
    bool FMenuShown = false;
    std::string FSavedCaption;
};

// A drop-down menu of a speed button is showing.
extern bool DropDownRunning;
// Hints are off from a speed-button press until the next release; the application's setting before.
extern bool SpeedButtonHintsOff;
extern bool SpeedButtonSavedShowHint;

// The navigation buttons of the calendar: a speed button as wide as its height less 4.
class TsTimerSpeedButton : public TsSpeedButton {
    DECLARE_CLASS(TsTimerSpeedButton, TsSpeedButton)
public:
    explicit TsTimerSpeedButton(TComponent* AOwner);
};

void sSpeedButtonInitialization();
