// The drawing surface over a device context: a pen, a brush and a font selected on demand, and the
// drawing operations. A plain TCanvas draws on whatever DC is attached with SetHandle; a bitmap's
// canvas makes a memory DC for its bitmap, and a control's canvas asks its control (both override
// CreateHandle, which runs whenever drawing needs a DC and none is attached).
#pragma once

#include "GraphicsObjects.h"
#include "Types.h"

#include <initializer_list>
#include <span>
#include <string>

// windows.h maps TextOut to TextOutA; the canvas method of that name must stay itself. Call
// TextOutA for the platform's.
#undef TextOut

class TGraphic;
class TBitmap;

DECLARE_ENUM(TCanvasStates, csHandleValid, csFontValid, csPenValid, csBrushValid)
DECLARE_SET(TCanvasState, TCanvasStates)
inline constexpr TCanvasState csAllValid{csHandleValid, csFontValid, csPenValid, csBrushValid};
DECLARE_ENUM(TCanvasOrientation, coLeftToRight, coRightToLeft)

// Raster operations for CopyRect and the drawing of graphics.
using TCopyMode = LongInt;
constexpr TCopyMode cmBlackness = BLACKNESS;
constexpr TCopyMode cmDstInvert = DSTINVERT;
constexpr TCopyMode cmMergeCopy = MERGECOPY;
constexpr TCopyMode cmMergePaint = MERGEPAINT;
constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
constexpr TCopyMode cmPatCopy = PATCOPY;
constexpr TCopyMode cmPatInvert = PATINVERT;
constexpr TCopyMode cmPatPaint = PATPAINT;
constexpr TCopyMode cmSrcAnd = SRCAND;
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcErase = SRCERASE;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmSrcPaint = SRCPAINT;
constexpr TCopyMode cmWhiteness = WHITENESS;

class TCanvas : public TPersistent {
    DECLARE_CLASS(TCanvas, TPersistent)
public:
    TCanvas();
    ~TCanvas() override;

    // The DC, made by CreateHandle when none is attached. Attaching another DC (or 0) first puts
    // the stock objects back into the old one and keeps the pen position for the next.
    HDC Handle();
    void SetHandle(HDC Value);
    bool HandleAllocated() const { return FHandle != nullptr; }

    TFont* Font() const { return FFont; }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TPen* Pen() const { return FPen; }
    void SetPen(TPen* Value) { FPen->Assign(Value); }
    TBrush* Brush() const { return FBrush; }
    void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
    TCopyMode CopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode Value) { FCopyMode = Value; }
    TPoint PenPos();
    void SetPenPos(const TPoint& Value) { MoveTo(Value.X, Value.Y); }
    TCanvasOrientation CanvasOrientation();
    // ETO_* options of TextOut and TextRect.
    int TextFlags() const { return FTextFlags; }
    void SetTextFlags(int Value) { FTextFlags = Value; }
    TCanvasState State() const { return FState; }

    // Serialises use of a canvas shared between threads or callers (recursive).
    void Lock();
    bool TryLock();
    void Unlock();
    int LockCount() const { return FLockCount; }

    // Drawing. Rectangles exclude their right and bottom edges as GDI's do.
    void FillRect(const TRect& R);
    void FrameRect(const TRect& R);
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
    void Polygon(std::span<const TPoint> Points);
    void Polygon(std::initializer_list<TPoint> Points) { Polygon(std::span<const TPoint>(Points.begin(), Points.size())); }
    void Polyline(std::span<const TPoint> Points);
    void Polyline(std::initializer_list<TPoint> Points) { Polyline(std::span<const TPoint>(Points.begin(), Points.size())); }
    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);
    void DrawFocusRect(const TRect& R);
    TColor Pixels(int X, int Y);
    void SetPixels(int X, int Y, TColor Value);

    // Text in the font's colour; with a solid brush the text's cell is filled with the brush colour,
    // with bsClear the background shows through. TextOut leaves the pen after the text.
    void TextOut(int X, int Y, const std::string& Text);
    // The same clipped to R (and R filled first unless the brush is clear).
    void TextRect(const TRect& R, int X, int Y, const std::string& Text);
    TSize TextExtent(const std::string& Text);
    int TextWidth(const std::string& Text) { return TextExtent(Text).cx; }
    int TextHeight(const std::string& Text) { return TextExtent(Text).cy; }

    // A graphic at its own size, or stretched into R; a transparent graphic lets the canvas show
    // through its transparent colour.
    void Draw(int X, int Y, TGraphic* Graphic);
    void StretchDraw(const TRect& R, TGraphic* Graphic);
    // Source of another canvas stretched onto Dest with CopyMode.
    void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);
    // Source of Bitmap onto Dest with the pixels of Color replaced by the brush (or left out when
    // the brush is clear).
    void BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color);

    // The clipping box of the DC in logical coordinates.
    TRect ClipRect();
    // Deselects pen, brush and font so that the next drawing selects them again (after someone
    // else used the DC directly).
    void Refresh();

    // Fired before and after every drawing operation.
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    // Selects into the DC what the next operation needs (and makes the DC when missing); raises
    // EInvalidOperation "Canvas does not allow drawing" when there is still no DC.
    void RequiredState(TCanvasState ReqState);

protected:
    virtual void Changed();
    virtual void Changing();
    // Makes and attaches a DC through SetHandle when drawing needs one; the base has none to make.
    virtual void CreateHandle() {}
    // Puts the stock pen, brush and font back into the DC.
    void DeselectHandles();

private:
    void FontChanged(TObject* Sender);
    void PenChanged(TObject* Sender);
    void BrushChanged(TObject* Sender);
    void SelectFont();
    void SelectPen();
    void SelectBrush();

    HDC FHandle = nullptr;
    TCanvasState FState;
    TFont* FFont;
    TPen* FPen;
    TBrush* FBrush;
    TPoint FPenPos;
    TCopyMode FCopyMode = cmSrcCopy;
    int FTextFlags = 0;
    CRITICAL_SECTION FLock;
    int FLockCount = 0;
};

namespace GraphicsDetail {
// Draws Source of SrcDC stretched onto Dest of DstDC leaving out the pixels whose bit in the
// monochrome mask (selected into MaskDC, set = transparent) is set.
void TransparentStretchBlt(HDC DstDC, const TRect& Dest, HDC SrcDC, const TRect& Source, HDC MaskDC, int MaskX,
                           int MaskY);
}  // namespace GraphicsDetail
