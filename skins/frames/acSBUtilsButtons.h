// Hooks of small windows painted whole from the skin (part of the window-hooks unit, acSBUtils.h):
// icon and bitmap statics, push buttons, bitmap buttons, check boxes and radio buttons, and
// up-down controls. Each paints into its skin data's cache and copies it to the window; the
// control's own painting is kept out.
#pragma once

#include "acSBUtils.h"

// Icon and bitmap statics: the skin behind the window's own image.
class TacIconWnd : public TacStaticWnd {
    DECLARE_CLASS(TacIconWnd, TacStaticWnd)
public:
    TacIconWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
               TsCommonData* ASkinData);
    ~TacIconWnd() override;
    void PaintContent() override;

    bool IsBitmapStatic = false;
    TBitmap* StaticBitmap = nullptr;  // owned; read from the window on first use
};

// Push buttons: section "BUTTON" unless one is given.
class TacBtnWnd : public TacMainWnd {
    DECLARE_CLASS(TacBtnWnd, TacMainWnd)
public:
    TacBtnWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
              TsCommonData* ASkinData);
    void WndProc(TMessage& Message) override;

    // 2 pushed, 1 focused, hot or default, else 0.
    int CurrentState();
    void PaintNow(TMessage& Message);

protected:
    virtual void DrawCaption();
    virtual void DrawGlyph() {}
    virtual TSize GlyphSize() { return TSize{}; }
    virtual void WriteCaption(const TRect& R, UINT Flags);
    virtual TRect CaptionRect();
    virtual int MaxTextWidth();
    virtual TSize TextSize();
    virtual void PrepareCache();
    // The caption's wrapping flags: only a multi-line button wraps its caption.
    UINT WrapFlags() const;
    bool Pushed();
    // The font the caption is written in: the control's, else the window's.
    void SelectCaptionFont(TCanvas* Canvas);
};

// Bitmap buttons: the framework's bitmap button lays out glyph and caption by its own settings;
// other bitmap buttons show their BM_GETIMAGE bitmap left of the caption.
class TacBitBtnWnd : public TacBtnWnd {
    DECLARE_CLASS(TacBitBtnWnd, TacBtnWnd)
public:
    using TacBtnWnd::TacBtnWnd;
    TRect GlyphRect();

protected:
    void DrawGlyph() override;
    TSize GlyphSize() override;
    TRect CaptionRect() override;
    int MaxTextWidth() override;

private:
    class TBitBtn* Host() const;
};

// Check boxes and radio buttons: section "CHECKBOX" unless one is given; the check images come
// from the skin's GLOBALINFO section.
class TacCheckBoxWnd : public TacMainWnd {
    DECLARE_CLASS(TacCheckBoxWnd, TacMainWnd)
public:
    TacCheckBoxWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                   TsCommonData* ASkinData);
    void WndProc(TMessage& Message) override;

    // 2 indeterminate, 1 checked, 0 unchecked.
    int CheckState();
    // 2 pushed, 1 focused or hot, else 0.
    int CurrentState();
    // The GLOBALINFO mask of the box or radio image for a check state; -1 when the skin has none.
    int GlyphMaskIndex(int Check);
    TSize GlyphSize(int MaskIndex);
    TRect GlyphRectFor(int MaskIndex);
    TRect CheckedGlyphRect();
    void PaintNow(TMessage& Message);
    void PrepareCache();
    void PaintCaption();
    void PaintGlyph(int MaskIndex);
};

// Up-down controls: both buttons from the section (from "BUTTON" when the skin lacks it) with the
// scroll buttons' arrows.
class TacSpinWnd : public TacMainWnd {
    DECLARE_CLASS(TacSpinWnd, TacMainWnd)
public:
    TacSpinWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
               TsCommonData* ASkinData);
    void WndProc(TMessage& Message) override;
    virtual bool IsVertical();
    void PaintNow(TMessage& Message);
    void PrepareCache();

    int SpinLeftOffset = 0;
    int SpinPressed = 0;
    int UpButtonState = 0;
    int DownButtonState = 0;
    // How the dialog hook made it (2: the spin of a dialog's edit).
    int SpinKind = 0;
};
