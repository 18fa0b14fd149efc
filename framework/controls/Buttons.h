// The Buttons unit: speed buttons and buttons with glyphs.
//
// A glyph is a bitmap of NumGlyphs images side by side: up, disabled, down, and down and held (an
// exclusive button of a group). Its bottom-left pixel's colour is transparent. A button without a
// disabled image shows its up image embossed while disabled.
//
// Start-up: ButtonsInitialization() registers the unit's classes for form files.
#pragma once

#include "StdCtrls.h"

DECLARE_ENUM(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom)
DECLARE_ENUM(TButtonState, bsUp, bsDisabled, bsDown, bsExclusive)
DECLARE_ENUM(TBitBtnKind, bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll)
using TNumGlyphs = int;

// Where a button's glyph and caption go inside Client, as both kinds of button place them.
// Margin -1 centres the pair; Spacing -1 spreads them evenly.
struct TButtonFaceLayout {
    TRect GlyphRect;
    TRect TextRect;
};
TButtonFaceLayout CalcButtonLayout(HDC DC, const TRect& Client, TSize GlyphSize, const std::string& Caption,
                                   TButtonLayout Layout, int Margin, int Spacing);
// Draws image Index of a glyph of NumGlyphs images at (X, Y), its transparent colour left out;
// Embossed draws its shape in the disabled look instead.
void DrawGlyph(HDC DC, TBitmap* Glyph, int NumGlyphs, int Index, int X, int Y, bool Embossed);

// A windowless button: pressed while the mouse holds it, or kept down in a group (GroupIndex not 0:
// pressing one button of a group releases the others of its parent through CM_BUTTONPRESSED).
class TSpeedButton : public TGraphicControl {
    DECLARE_CLASS(TSpeedButton, TGraphicControl)
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;
    static void DefineClass(TClassBuilder<TSpeedButton>& B);

    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    TBitmap* Glyph() const { return FGlyph; }
    void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    // 1 to 4; other values are ignored.
    TNumGlyphs NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(TNumGlyphs Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);

    // What descendants and hooks read: the state the button shows and whether the mouse is over it.
    TButtonState State() const { return FState; }
    bool MouseInControl() const { return FMouseInControl; }
    void Click() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Loaded() override;
    // The glyph changed (its OnChange): a glyph of whole squares tells how many images it holds.
    virtual void GlyphChanged(TObject* Sender);
    void UpdateExclusive();
    void CMButtonPressed(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void CMTextChanged(TMessage& Message);
    void CMDialogChar(TMessage& Message);

    TButtonState FState = bsUp;
    bool FMouseInControl = false;
    bool FDragging = false;

private:
    void UpdateTransparency();
    TBitmap* FGlyph = nullptr;
    int FGroupIndex = 0;
    int FMargin = -1;
    int FSpacing = 4;
    TNumGlyphs FNumGlyphs = 1;
    TButtonLayout FLayout = blGlyphLeft;
    bool FAllowAllUp = false;
    bool FDown = false;
    bool FFlat = false;
    bool FTransparent = true;
};

// A push button that draws a glyph beside its caption (an owner-drawn system button). Kind gives
// the usual buttons their caption and modal result; bkCustom leaves both to the program.
class TBitBtn : public TButton {
    DECLARE_CLASS(TBitBtn, TButton)
public:
    explicit TBitBtn(TComponent* AOwner);
    ~TBitBtn() override;
    static void DefineClass(TClassBuilder<TBitBtn>& B);

    TBitmap* Glyph() const { return FGlyph; }
    void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
    TBitBtnKind Kind() const { return FKind; }
    void SetKind(TBitBtnKind Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    TNumGlyphs NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(TNumGlyphs Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void SetButtonStyle(bool ADefault) override;
    void CNDrawItem(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMTextChanged(TMessage& Message);
    void GlyphChanged(TObject* Sender);

private:
    TBitmap* FGlyph = nullptr;
    TBitBtnKind FKind = bkCustom;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    TNumGlyphs FNumGlyphs = 1;
    bool FIsFocused = false;
};

void ButtonsInitialization();
