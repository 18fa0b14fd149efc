// The skinned check box: the standard check box with its skin data, a read-only mode, custom glyphs
// (two bitmaps or two images of an image list), a margin and a text indent, fades on mouse events
// and its own automatic size.
//
// While skinned (an active skin with a "CHECKBOX" section) the control paints its whole image into
// its cache bitmap and the system check box never paints. Otherwise the system check box paints and
// handles the control; the check box only adds the read-only behaviour, its automatic size and the
// answers to the library command message.
//
// Start-up: sCheckBoxInitialization() registers TsCheckBox for form files.
#pragma once

#include "ImgList.h"
#include "StdCtrls.h"
#include "sCommonData.h"
#include "sConst.h"
#include "sFade.h"

class TsCheckBox : public TCustomCheckBox {
    DECLARE_CLASS(TsCheckBox, TCustomCheckBox)
public:
    explicit TsCheckBox(TComponent* AOwner);
    ~TsCheckBox() override;
    void AfterConstruction() override;
    static void DefineClass(TClassBuilder<TsCheckBox>& B);

    TsCommonData* SkinData() const { return FCommonData; }
    void SetSkinData(TsCommonData* Value);
    TsDisabledKind DisabledKind() const { return FDisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);
    TBitmap* GlyphChecked() const { return FGlyphChecked; }
    void SetGlyphChecked(TBitmap* Value);
    TBitmap* GlyphUnChecked() const { return FGlyphUnChecked; }
    void SetGlyphUnChecked(TBitmap* Value);
    int TextIndent() const { return FTextIndent; }
    void SetTextIndent(int Value);
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    int ImgChecked() const { return FImgChecked; }
    void SetImgChecked(int Value);
    int ImgUnchecked() const { return FImgUnchecked; }
    void SetImgUnchecked(int Value);
    TacAnimatEvents AnimatEvents() const { return FAnimatEvents; }
    void SetAnimatEvents(TacAnimatEvents Value) { FAnimatEvents = Value; }
    bool ReadOnly() { return GetReadOnly(); }
    void SetReadOnly(bool Value) { FReadOnly = Value; }

    // Automatic size: while on, the control takes the size CanAutoSize gives whenever its bounds,
    // caption, font, glyphs or margins change.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    void AdjustSize();
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // Outside loading: a change marks the image stale, and the control repaints.
    void SetChecked(bool Value) override;
    void WndProc(TMessage& Message) override;

    // The alignment as painted: right-to-left reading swaps left and right.
    TAlignment GetControlsAlignment() const;
    // Where the glyph stands, and the glyph's size.
    TRect CheckRect();
    TRect SkinCheckRect(int Mask);
    int GlyphWidth();
    int GlyphHeight();
    int SkinGlyphWidth(int Mask);
    int SkinGlyphHeight(int Mask);
    // The custom bitmap for the present state; null when that bitmap is empty.
    TBitmap* CurrentGlyph() const;
    // The skin's check-box image for a state (-1 when the skin has none).
    int GlyphMaskIndex(TCheckBoxState AState);

    // Paints the whole skinned image into the cache bitmap, and the cache to a DC.
    void PrepareCache();
    void PaintToDC(HDC DC);

    bool Pressed = false;  // the left button or a key is held down on the control
    TsFadeTimer* FadeTimer = nullptr;  // owned

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual bool CanAutoSize(int& NewWidth, int& NewHeight);
    virtual bool GetReadOnly() { return FReadOnly; }

private:
    bool ImageListMode() const { return FImages && FImgChecked >= 0 && FImgUnchecked >= 0; }
    // 2 pressed, 1 hot, 0 normal, limited to the frames a strip has.
    int FrameIndex(int FrameCount) const;
    void PaintCaption();
    void PaintGlyph();
    void DrawGlyphFrame(TBitmap* Bitmap, int Frame);
    void PaintSkinGlyph(int Mask);
    void WMPaint(TMessage& Message);
    void SizeChanged();
    void TakeFocus();

    bool LibraryCommand(TMessage& Message);
    bool SkinnedFocusAndMouse(TMessage& Message);
    void SkinnedMessage(TMessage& Message);
    void StandardMessage(TMessage& Message);

    TsCommonData* FCommonData = nullptr;
    TsDisabledKind FDisabledKind{dkBlended};
    TBitmap* FGlyphUnChecked = nullptr;
    TBitmap* FGlyphChecked = nullptr;
    int FTextIndent = 0;
    bool FShowFocus = true;
    int FMargin = 2;
    TCustomImageList* FImages = nullptr;
    int FImgChecked = 0;
    int FImgUnchecked = 0;
    TacAnimatEvents FAnimatEvents{aeGlobalDef};
    bool FReadOnly = false;
    bool FAutoSize = false;
};

void sCheckBoxInitialization();
