// TBitmap: an image kept as a DIB section (or, for pfDevice, a device-dependent bitmap) with a
// canvas to draw on and direct access to its rows.
//
//   TOwned<TBitmap> B(Create<TBitmap>());
//   B->SetPixelFormat(pf24bit);
//   B->SetSize(100, 50);
//   B->Canvas()->Brush()->SetColor(clRed);
//   B->Canvas()->FillRect(Rect(0, 0, 100, 50));
//   auto* Row = static_cast<BYTE*>(B->ScanLine(0));   // the top row: blue, green, red, ...
//   Canvas->Draw(10, 10, B.get());
//
// Rows are stored bottom-up as DIBs are, so ScanLine(1) - ScanLine(0) is a constant negative step.
#pragma once

#include "Graphic.h"

#include <string>
#include <vector>

DECLARE_ENUM(TPixelFormat, pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom)
DECLARE_ENUM(TBitmapHandleType, bmDIB, bmDDB)
DECLARE_ENUM(TTransparentMode, tmAuto, tmFixed)

class TBitmapCanvas;
class TBitmap;
namespace GraphicsDetail {
struct TDibImage;
struct TDibFormat;
// A new monochrome bitmap of Bitmap's size, set where the pixel is Color (RGB, alpha ignored); the
// caller owns it.
HBITMAP CreateMaskBitmap(TBitmap* Bitmap, TColor Color);
}  // namespace GraphicsDetail

class TBitmap : public TGraphic {
    DECLARE_CLASS(TBitmap, TGraphic)
public:
    TBitmap();
    ~TBitmap() override;

    // A bitmap copies another bitmap's image, format and transparency; nil empties it.
    void Assign(TPersistent* Source) override;
    void Draw(TCanvas* ACanvas, const TRect& R) override;
    bool Empty() override;
    // CF_BITMAP: the image is a copy of the clipboard's bitmap, and the clipboard gets a copy of ours.
    void LoadFromClipboardFormat(Word Format, HANDLE Data, HPALETTE Palette) override;
    void SaveToClipboardFormat(Word& Format, HANDLE& Data, HPALETTE& Palette) override;
    int Width() override { return FWidth; }
    void SetWidth(int Value) override { SetSize(Value, FHeight); }
    int Height() override { return FHeight; }
    void SetHeight(int Value) override { SetSize(FWidth, Value); }
    // Keeps the image's top-left part; new pixels are white. A negative size raises
    // EInvalidGraphicOperation "Invalid image size".
    virtual void SetSize(int AWidth, int AHeight);

    TCanvas* Canvas();
    // The bitmap handle. Taking it ends the canvas's hold on the bitmap (the canvas gets a new DC
    // when it draws next), so that the handle can be selected or copied elsewhere.
    HBITMAP Handle();
    // Adopts a bitmap (DIB section or not); 0 empties the bitmap.
    void SetHandle(HBITMAP Value);
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded();
    TBitmapHandleType HandleType() const { return FHandleType; }
    void SetHandleType(TBitmapHandleType Value);
    // pfDevice for device-dependent bitmaps; pfCustom for a DIB of a layout without a name.
    TPixelFormat PixelFormat() const { return FPixelFormat; }
    // Converts the image in place, keeping its colours as far as the format can hold them (into
    // up to 8 bits through the nearest entry of the colour table; 32 bits get alpha 0 from formats
    // without alpha). pfCustom raises EInvalidGraphic "Invalid pixel format".
    void SetPixelFormat(TPixelFormat Value);
    bool Monochrome() const { return FBitCount == 1; }
    void SetMonochrome(bool Value);
    // The palette of an image of up to 8 bits (its colour table); setting one recolours such an
    // image (the indexes stay) and is kept for one made later. The bitmap owns it.
    HPALETTE Palette() override;
    void SetPalette(HPALETTE Value) override;

    // The address of row Row (0 = top). A device-dependent bitmap becomes a DIB first; a row outside
    // the image raises EInvalidGraphicOperation "Scan line index out of range".
    void* ScanLine(int Row);

    // tmAuto: the bottom-left pixel (white for monochrome images); tmFixed: the colour set.
    TColor TransparentColor();
    void SetTransparentColor(TColor Value);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode Value);
    // A monochrome bitmap, set where the pixel is the transparent colour; made on demand.
    HBITMAP MaskHandle();
    void SetMaskHandle(HBITMAP Value);
    // Turns the image itself into such a mask for TransparentColor.
    void Mask(TColor TransparentColor);

    // BMP files. An empty stream gives an empty bitmap; bad or short data raises EInvalidGraphic
    // "Bitmap image is not valid" and leaves the bitmap as it was.
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
    // A bitmap resource (RT_BITMAP) of a module; EResNotFound when there is none.
    void LoadFromResourceName(HINSTANCE Instance, const std::string& ResName);
    void LoadFromResourceID(HINSTANCE Instance, int ResID);

    // The handles pass to the caller, who frees them; the bitmap lets them go (and is empty after
    // ReleaseHandle).
    HBITMAP ReleaseHandle();
    HBITMAP ReleaseMaskHandle();
    HPALETTE ReleasePalette();
    // Keeps the image as BMP data in memory and frees the GDI objects until the image is used again.
    void Dormant();
    // Drops that memory copy once a handle exists again.
    void FreeImage();

    void ReadData(TStream* Stream) override;
    void WriteData(TStream* Stream) override;

protected:
    void Changed(TObject* Sender) override;
    // Before the image is changed through its canvas, its rows or its handle.
    virtual void Changing(TObject* Sender);

private:
    friend class TBitmapCanvas;
    friend HBITMAP GraphicsDetail::CreateMaskBitmap(TBitmap* Bitmap, TColor Color);
    void CanvasChanging(TObject* Sender) { Changing(Sender); }
    void CanvasChanged(TObject* Sender) { Changed(Sender); }
    void FreeContext();
    void FreeImageHandles();
    // Makes the image NewWidth x NewHeight in the format, the old pixels kept top-left when asked.
    void Rebuild(int NewWidth, int NewHeight, TPixelFormat NewFormat, bool KeepPixels);
    // The image as DIB rows (32 bits for a device-dependent bitmap).
    GraphicsDetail::TDibImage Snapshot();
    // Replaces the image by Image (a device-dependent bitmap when Device).
    void SetImage(const GraphicsDetail::TDibImage& Image, bool Device);
    void AdoptHandle(HBITMAP Value);
    // A BMP (or packed DIB) of at most Available bytes; none at all empties the bitmap.
    void ReadImage(TStream* Stream, Int64 Available, bool FileHeader);
    GraphicsDetail::TDibFormat CurrentFormat() const;
    TColor PixelAt(int X, int Y);

    HBITMAP FHandle = nullptr;
    BYTE* FBits = nullptr;  // DIB rows, null for device-dependent bitmaps
    bool FTopDown = false;  // an adopted top-down DIB
    int FWidth = 0;
    int FHeight = 0;
    int FBitCount = 0;
    TPixelFormat FPixelFormat = pfDevice;
    TBitmapHandleType FHandleType = bmDDB;
    DWORD FMasks[3] = {0, 0, 0};      // channel masks of a 16- or 32-bit DIB other than the plain ones
    std::vector<RGBQUAD> FColorTable;  // the colour table of images of up to 8 bits
    HPALETTE FPalette = nullptr;
    HBITMAP FMaskHandle = nullptr;
    bool FMaskValid = false;
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = tmAuto;
    TBitmapCanvas* FCanvas = nullptr;
    std::string FSaved;  // BMP data while dormant
};

// Frees the memory DCs of bitmap canvases that nobody has locked, so that a program with many
// bitmaps does not hold a DC for each between paints (the message loop calls it after each message).
void FreeMemoryContexts();

namespace GraphicsDetail {
// The pixel format of the screen's device-dependent bitmaps as a DIB format.
TPixelFormat DevicePixelFormat();
}  // namespace GraphicsDetail
