// Fonts, pens and brushes: persistent descriptions of GDI objects whose handles are made on demand
// and shared between equal descriptions (two fonts with the same name, height, style, pitch and
// character set give the same HFONT). Every change fires OnChange, which is how a canvas reselects
// and how a control learns that its font changed.
#pragma once

#include "Classes.h"
#include "GraphicsColors.h"

#include <string>

class TBitmap;

DECLARE_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
DECLARE_SET(TFontStyles, TFontStyle)
DECLARE_ENUM(TFontPitch, fpDefault, fpVariable, fpFixed)
using TFontName = std::string;

DECLARE_ENUM(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame)
DECLARE_ENUM(TPenMode, pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
             pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor)
DECLARE_ENUM(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross)

namespace GraphicsDetail {
struct TResource;
}  // namespace GraphicsDetail

// The logical pixels per inch of the screen, read at start-up; new fonts convert sizes with it.
extern int ScreenLogPixels;

// A device context for measuring text as the screen shows it: a memory context compatible with the
// screen, made once per thread and kept. Taking the screen's own context costs a round trip to the
// window system each time; this one costs nothing. The caller selects its font and puts the old one
// back. Not for drawing or for asking the screen's colour depth (its bitmap is 1x1 monochrome).
HDC TextMeasureDC();

// What a new font starts as: "MS Sans Serif", 8 points at the screen's resolution.
struct TFontDefaults {
    std::string Name = "MS Sans Serif";
    int Height = -11;
    TFontPitch Pitch = fpDefault;
    TFontStyles Style;
    TFontCharset Charset = DEFAULT_CHARSET;
};
extern TFontDefaults DefFontData;

class TGraphicsObject : public TPersistent {
    DECLARE_CLASS(TGraphicsObject, TPersistent)
public:
    // Fired after every change, also when a setter stores the value already held (the font's colour
    // alone fires only on a real change).
    TNotifyEvent OnChange;

protected:
    virtual void Changed();
    // Points this object at the shared resource for Data (freeing the old one after OnChange, so
    // that a canvas holding the old handle has deselected it first).
    void SetResource(GraphicsDetail::TResource* Resource);
    GraphicsDetail::TResource* FResource = nullptr;

public:
    ~TGraphicsObject() override;
};

class TFont : public TGraphicsObject {
    DECLARE_CLASS(TFont, TGraphicsObject)
public:
    TFont();
    static void DefineClass(TClassBuilder<TFont>& B);

    // Copies a font and always fires OnChange, also from itself or when nothing differs (a control
    // writing its own font back announces the change). The point size is kept across resolutions.
    void Assign(TPersistent* Source) override;

    // The shared HFONT, made on first use; owned by the font manager, never delete it.
    HFONT Handle();
    // Adopts a font handle (the font then owns it); 0 goes back to a font made from the description.
    void SetHandle(HFONT Value);

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int Height() const;
    void SetHeight(int Value);
    TFontName Name() const;
    void SetName(const TFontName& Value);  // "" is ignored
    TFontPitch Pitch() const;
    void SetPitch(TFontPitch Value);
    // Points: -Height * 72 / PixelsPerInch, rounded.
    int Size() const;
    void SetSize(int Value);
    TFontStyles Style() const;
    void SetStyle(TFontStyles Value);
    TFontCharset Charset() const;
    void SetCharset(TFontCharset Value);
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value) { FPixelsPerInch = Value; }

private:
    template <class F>
    void ChangeData(F Change);
    TColor FColor = clWindowText;
    int FPixelsPerInch;
};

class TPen : public TGraphicsObject {
    DECLARE_CLASS(TPen, TGraphicsObject)
public:
    TPen();
    static void DefineClass(TClassBuilder<TPen>& B);
    void Assign(TPersistent* Source) override;

    HPEN Handle();
    void SetHandle(HPEN Value);
    TColor Color() const;
    void SetColor(TColor Value);
    // The raster operation of lines drawn with the pen (SetROP2); no part of the handle.
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode Value);
    TPenStyle Style() const;
    void SetStyle(TPenStyle Value);
    int Width() const;
    void SetWidth(int Value);  // below 0 is ignored

private:
    template <class F>
    void ChangeData(F Change);
    TPenMode FMode = pmCopy;
};

class TBrush : public TGraphicsObject {
    DECLARE_CLASS(TBrush, TGraphicsObject)
public:
    TBrush();
    static void DefineClass(TClassBuilder<TBrush>& B);
    void Assign(TPersistent* Source) override;

    HBRUSH Handle();
    void SetHandle(HBRUSH Value);
    TColor Color() const;
    // A colour also makes a cleared brush solid again.
    void SetColor(TColor Value);
    TBrushStyle Style() const;
    void SetStyle(TBrushStyle Value);
    // A pattern bitmap (not owned; it must outlive the brush's use of it), or null.
    TBitmap* Bitmap() const;
    void SetBitmap(TBitmap* Value);

private:
    template <class F>
    void ChangeData(F Change);
};

namespace GraphicsDetail {
// Number of distinct fonts, pens and brushes alive in the shared caches (tests, diagnostics).
int SharedResourceCount();
}  // namespace GraphicsDetail

// The height of a line of text in Font as the screen shows it (the font's tmHeight).
int FontTextHeight(TFont* Font);
