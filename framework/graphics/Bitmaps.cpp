#include "Bitmaps.h"

#include "BitmapCodec.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

using namespace GraphicsDetail;

// ---------------------------------------------------------------------------------------------
// The canvas of a bitmap: a memory DC with the bitmap selected, made when drawing needs it and
// given up when the bitmap's handle changes or goes elsewhere (FreeMemoryContexts, Handle()).

class TBitmapCanvas : public TCanvas {
    DECLARE_CLASS(TBitmapCanvas, TCanvas)
public:
    explicit TBitmapCanvas(TBitmap* Bitmap) : FBitmap(Bitmap) {}
    ~TBitmapCanvas() override { FreeContext(); }
    void FreeContext();

protected:
    void CreateHandle() override;

private:
    TBitmap* FBitmap;
    HDC FDC = nullptr;
    HGDIOBJ FOldBitmap = nullptr;
    HPALETTE FOldPalette = nullptr;
};

namespace {
std::mutex& ContextsLock() {
    static std::mutex M;
    return M;
}
std::vector<TBitmapCanvas*>& Contexts() {
    static std::vector<TBitmapCanvas*> V;
    return V;
}
}  // namespace

void TBitmapCanvas::CreateHandle() {
    FBitmap->HandleNeeded();
    HDC DC = CreateCompatibleDC(nullptr);
    FOldBitmap = FBitmap->FHandle ? SelectObject(DC, FBitmap->FHandle) : nullptr;
    HPALETTE Pal = FBitmap->FBitCount > 0 && FBitmap->FBitCount <= 8 ? FBitmap->Palette() : nullptr;
    if (Pal) {
        FOldPalette = SelectPalette(DC, Pal, TRUE);
        RealizePalette(DC);
    }
    SetHandle(DC);
    FDC = DC;
    std::lock_guard<std::mutex> Lock(ContextsLock());
    Contexts().push_back(this);
}

void TBitmapCanvas::FreeContext() {
    if (!FDC)
        return;
    HDC DC = FDC;
    FDC = nullptr;
    SetHandle(nullptr);
    if (FOldBitmap)
        SelectObject(DC, FOldBitmap);
    if (FOldPalette)
        SelectPalette(DC, FOldPalette, TRUE);
    FOldBitmap = nullptr;
    FOldPalette = nullptr;
    DeleteDC(DC);
    std::lock_guard<std::mutex> Lock(ContextsLock());
    auto& V = Contexts();
    V.erase(std::remove(V.begin(), V.end(), this), V.end());
}

void FreeMemoryContexts() {
    std::vector<TBitmapCanvas*> Canvases;
    {
        std::lock_guard<std::mutex> Lock(ContextsLock());
        Canvases = Contexts();
    }
    for (TBitmapCanvas* C : Canvases)
        if (C->TryLock()) {
            C->FreeContext();
            C->Unlock();
        }
}

// ---------------------------------------------------------------------------------------------
// Formats

namespace {
constexpr DWORD Masks565[3] = {0xF800, 0x07E0, 0x001F};

int BitsOf(TPixelFormat F) {
    static const int Bits[] = {0, 1, 4, 8, 16, 16, 24, 32, 0};
    return Bits[F];
}

TPixelFormat FormatOf(int BitCount, const DWORD* Masks) {
    bool Plain = Masks[0] == 0 && Masks[1] == 0 && Masks[2] == 0;
    switch (BitCount) {
    case 1:
        return pf1bit;
    case 4:
        return pf4bit;
    case 8:
        return pf8bit;
    case 16:
        if (Plain || (Masks[0] == 0x7C00 && Masks[1] == 0x03E0 && Masks[2] == 0x001F))
            return pf15bit;
        return std::equal(Masks, Masks + 3, Masks565) ? pf16bit : pfCustom;
    case 24:
        return pf24bit;
    case 32:
        return Plain || (Masks[0] == 0xFF0000 && Masks[1] == 0xFF00 && Masks[2] == 0xFF) ? pf32bit : pfCustom;
    }
    return pfCustom;
}

// The rows of a new DIB section in Format; raises when the system refuses it.
HBITMAP NewDib(int W, int H, const TDibFormat& Format, BYTE** Bits) {
    std::vector<BYTE> Buf(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* BI = reinterpret_cast<BITMAPINFO*>(Buf.data());
    BI->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    BI->bmiHeader.biWidth = W;
    BI->bmiHeader.biHeight = H;
    BI->bmiHeader.biPlanes = 1;
    BI->bmiHeader.biBitCount = static_cast<WORD>(Format.BitCount);
    BI->bmiHeader.biCompression = BI_RGB;
    if (Format.BitCount <= 8) {
        BI->bmiHeader.biClrUsed = static_cast<DWORD>(Format.Table.size());
        std::copy(Format.Table.begin(), Format.Table.end(), BI->bmiColors);
    } else if (!Format.PlainMasks()) {
        BI->bmiHeader.biCompression = BI_BITFIELDS;
        std::memcpy(BI->bmiColors, Format.Masks, sizeof Format.Masks);
    }
    void* P = nullptr;
    HBITMAP Handle = CreateDIBSection(nullptr, BI, DIB_RGB_COLORS, &P, nullptr, 0);
    if (!Handle)
        throw EOutOfResources(GraphicsConsts::SOutOfResources);
    *Bits = static_cast<BYTE*>(P);
    return Handle;
}

BITMAPINFO Info32(int W, int H) {
    BITMAPINFO BI{};
    BI.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    BI.bmiHeader.biWidth = W;
    BI.bmiHeader.biHeight = H;
    BI.bmiHeader.biPlanes = 1;
    BI.bmiHeader.biBitCount = 32;
    BI.bmiHeader.biCompression = BI_RGB;
    return BI;
}

HBITMAP NewDdb(const TDibImage& Image) {
    HDC Screen = GetDC(nullptr);
    HBITMAP Handle = CreateCompatibleBitmap(Screen, Image.Width, Image.Height);
    if (Handle) {
        BITMAPINFO BI = Info32(Image.Width, Image.Height);
        SetDIBits(Screen, Handle, 0, static_cast<UINT>(Image.Height), Image.Bits.data(), &BI, DIB_RGB_COLORS);
    }
    ReleaseDC(nullptr, Screen);
    if (!Handle)
        throw EOutOfResources(GraphicsConsts::SOutOfResources);
    return Handle;
}

// Whether a DIB section keeps its top row first. The system reports the height of a top-down DIB
// as positive, so a pixel drawn at the top shows which memory row it lands in; both end rows are
// put back as they were.
bool StoredTopDown(HBITMAP Handle, BYTE* Bits, int Height, std::uint32_t Stride) {
    if (Height < 2 || !Bits || !Stride)
        return false;
    BYTE* Last = Bits + size_t(Height - 1) * Stride;
    std::vector<BYTE> First(Bits, Bits + Stride), Bottom(Last, Last + Stride);
    HDC DC = CreateCompatibleDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Handle);
    COLORREF Was = GetPixel(DC, 0, 0);
    int Light = GetRValue(Was) + GetGValue(Was) + GetBValue(Was);
    SetPixel(DC, 0, 0, Light > 382 ? RGB(0, 0, 0) : RGB(255, 255, 255));
    GdiFlush();
    bool TopDown = std::memcmp(First.data(), Bits, Stride) != 0;
    SelectObject(DC, Old);
    DeleteDC(DC);
    std::memcpy(Bits, First.data(), Stride);
    std::memcpy(Last, Bottom.data(), Stride);
    return TopDown;
}

void CheckSize(int W, int H, int BitCount) {
    if (W < 0 || H < 0)
        InvalidGraphicOperation(GraphicsConsts::SInvalidImageSize);
    if (W > 0 && H > 0) {
        std::uint32_t Stride = RowBytes(W, std::max(BitCount, 32));
        if (!Stride || std::uint64_t(Stride) * std::uint64_t(H) > MaxImageBytes)
            InvalidGraphicOperation(GraphicsConsts::SInvalidImageSize);
    }
}
}  // namespace

namespace GraphicsDetail {
TPixelFormat DevicePixelFormat() {
    HDC Screen = GetDC(nullptr);
    int Bits = GetDeviceCaps(Screen, BITSPIXEL) * GetDeviceCaps(Screen, PLANES);
    ReleaseDC(nullptr, Screen);
    // A 16-bit screen is 5-6-5; the plain 16-bit DIB layout is 5-5-5.
    if (Bits == 16)
        return pf16bit;
    constexpr DWORD Plain[3] = {0, 0, 0};
    TPixelFormat F = FormatOf(Bits == 15 ? 16 : Bits, Plain);
    return F == pfCustom ? pf32bit : F;
}
}  // namespace GraphicsDetail

// ---------------------------------------------------------------------------------------------
// TBitmap

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
    FreeAndNil(FCanvas);
    FreeImageHandles();
    if (FMaskHandle)
        DeleteObject(FMaskHandle);
    if (FPalette)
        DeleteObject(FPalette);
}

TCanvas* TBitmap::Canvas() {
    if (!FCanvas) {
        FCanvas = Create<TBitmapCanvas>(this);
        FCanvas->OnChanging = TNotifyEvent::Bind<&TBitmap::CanvasChanging>(this);
        FCanvas->OnChange = TNotifyEvent::Bind<&TBitmap::CanvasChanged>(this);
    }
    return FCanvas;
}

void TBitmap::FreeContext() {
    if (FCanvas)
        FCanvas->FreeContext();
}

void TBitmap::FreeImageHandles() {
    FreeContext();
    if (FHandle)
        DeleteObject(FHandle);
    FHandle = nullptr;
    FBits = nullptr;
    FMaskValid = false;
}

bool TBitmap::Empty() { return !FHandle && FSaved.empty(); }

HBITMAP TBitmap::Handle() {
    FreeContext();
    HandleNeeded();
    Changing(this);
    return FHandle;
}

void TBitmap::HandleNeeded() {
    if (FHandle || FSaved.empty())
        return;
    std::string Saved = std::move(FSaved);
    FSaved.clear();
    TStringStream S(Saved);
    SetImage(ReadDib(&S, S.Size(), true), false);
}

TDibFormat TBitmap::CurrentFormat() const {
    TDibFormat F;
    F.BitCount = FHandleType == bmDDB ? 32 : FBitCount;
    if (FHandleType == bmDIB) {
        std::copy(FMasks, FMasks + 3, F.Masks);
        if (FBitCount <= 8)
            F.Table = FColorTable;
    }
    return F;
}

TDibImage TBitmap::Snapshot() {
    TDibImage Img;
    Img.Format = CurrentFormat();
    Img.Width = FWidth;
    Img.Height = FHeight;
    if (!FHandle)
        return Img;
    std::uint32_t Stride = RowBytes(FWidth, Img.Format.BitCount);
    Img.Bits.resize(size_t(Stride) * FHeight);
    if (FHandleType == bmDDB) {
        FreeContext();  // GetDIBits wants the bitmap selected nowhere
        BITMAPINFO BI = Info32(FWidth, FHeight);
        HDC Screen = GetDC(nullptr);
        GetDIBits(Screen, FHandle, 0, static_cast<UINT>(FHeight), Img.Bits.data(), &BI, DIB_RGB_COLORS);
        ReleaseDC(nullptr, Screen);
        return Img;
    }
    GdiFlush();
    for (int Y = 0; Y < FHeight; ++Y)
        std::memcpy(Img.Bits.data() + size_t(Y) * Stride,
                    FBits + size_t(FTopDown ? FHeight - 1 - Y : Y) * Stride, Stride);
    return Img;
}

void TBitmap::SetImage(const TDibImage& Image, bool Device) {
    FreeImageHandles();
    FSaved.clear();
    FWidth = Image.Width;
    FHeight = Image.Height;
    FTopDown = false;
    if (Device) {
        FHandleType = bmDDB;
        FPixelFormat = pfDevice;
        if (FWidth > 0 && FHeight > 0) {
            FHandle = NewDdb(Image);
            BITMAP BM{};
            GetObjectA(FHandle, sizeof BM, &BM);
            FBitCount = BM.bmBitsPixel * BM.bmPlanes;
        }
        return;
    }
    const TDibFormat& F = Image.Format;
    FHandleType = bmDIB;
    FBitCount = F.BitCount;
    std::copy(F.Masks, F.Masks + 3, FMasks);
    FPixelFormat = FormatOf(F.BitCount, F.Masks);
    if (F.BitCount <= 8 && !(F.Table.size() == FColorTable.size() &&
                             std::equal(F.Table.begin(), F.Table.end(), FColorTable.begin(), [](RGBQUAD A, RGBQUAD B) {
                                 return std::memcmp(&A, &B, 3) == 0;
                             }))) {
        FColorTable = F.Table;
        if (FPalette)
            DeleteObject(FPalette);
        FPalette = nullptr;
    }
    if (FWidth > 0 && FHeight > 0) {
        FHandle = NewDib(FWidth, FHeight, F, &FBits);
        if (!Image.Bits.empty())
            std::memcpy(FBits, Image.Bits.data(), std::min(Image.Bits.size(), size_t(RowBytes(FWidth, F.BitCount)) * FHeight));
    }
}

void TBitmap::Rebuild(int NewWidth, int NewHeight, TPixelFormat NewFormat, bool KeepPixels) {
    bool Device = NewFormat == pfDevice;
    TDibFormat To;
    if (Device) {
        To.BitCount = 32;
    } else if (NewFormat == pfCustom) {
        To = CurrentFormat();
    } else {
        To.BitCount = BitsOf(NewFormat);
        if (NewFormat == pf16bit)
            std::copy(Masks565, Masks565 + 3, To.Masks);
        if (To.BitCount <= 8)
            To.Table = !FColorTable.empty() && FColorTable.size() <= (1u << To.BitCount) ? FColorTable
                                                                                       : DefaultTable(To.BitCount);
    }
    CheckSize(NewWidth, NewHeight, To.BitCount);
    TDibImage Old;
    if (KeepPixels) {
        HandleNeeded();
        Old = Snapshot();
    }
    TDibImage New;
    New.Format = To;
    New.Width = NewWidth;
    New.Height = NewHeight;
    std::uint32_t Stride = RowBytes(NewWidth, To.BitCount);
    if (NewWidth > 0 && NewHeight > 0) {
        New.Bits.resize(size_t(Stride) * NewHeight);
        std::uint32_t OldStride = RowBytes(Old.Width, Old.Format.BitCount);
        bool SameRows = !Old.Bits.empty() && Old.Format == To && Old.Width == NewWidth;
        TRowEncoder Encoder(New.Format);
        std::vector<RGBQUAD> Row(static_cast<size_t>(NewWidth));
        int Copied = std::min(NewWidth, Old.Width);
        for (int T = 0; T < NewHeight; ++T) {  // T counts from the top: the old image stays top-left
            BYTE* Dst = New.Bits.data() + size_t(NewHeight - 1 - T) * Stride;
            bool HasOld = !Old.Bits.empty() && T < Old.Height;
            const BYTE* Src = HasOld ? Old.Bits.data() + size_t(Old.Height - 1 - T) * OldStride : nullptr;
            if (SameRows && HasOld) {
                std::memcpy(Dst, Src, Stride);
                continue;
            }
            std::fill(Row.begin(), Row.end(), RGBQUAD{255, 255, 255, 0});
            if (HasOld)
                DecodeRow(Old.Format, Src, Copied, Row.data());
            Encoder.Encode(Row.data(), NewWidth, Dst);
        }
    }
    SetImage(New, Device);
}

void TBitmap::SetSize(int AWidth, int AHeight) {
    if (AWidth < 0 || AHeight < 0)
        InvalidGraphicOperation(GraphicsConsts::SInvalidImageSize);
    if (AWidth == FWidth && AHeight == FHeight)
        return;
    Changing(this);
    Rebuild(AWidth, AHeight, FPixelFormat, true);
    Changed(this);
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
    if (Value == pfCustom)
        InvalidGraphic(GraphicsConsts::SInvalidPixelFormat);
    if (Value == FPixelFormat)
        return;
    Changing(this);
    if (Empty()) {
        FPixelFormat = Value;
        FHandleType = Value == pfDevice ? bmDDB : bmDIB;
        FBitCount = BitsOf(Value);
    } else {
        Rebuild(FWidth, FHeight, Value, true);
    }
    Changed(this);
}

void TBitmap::SetHandleType(TBitmapHandleType Value) {
    if (Value == FHandleType)
        return;
    SetPixelFormat(Value == bmDDB ? pfDevice : DevicePixelFormat());
}

void TBitmap::SetMonochrome(bool Value) {
    if (Value == Monochrome())
        return;
    if (Value) {
        FColorTable = DefaultTable(1);
        if (FPalette)
            DeleteObject(FPalette);
        FPalette = nullptr;
        SetPixelFormat(pf1bit);
    } else {
        SetPixelFormat(pfDevice);
    }
}

HPALETTE TBitmap::Palette() {
    if (!FPalette && FBitCount > 0 && FBitCount <= 8 && !FColorTable.empty())
        FPalette = CreatePaletteFrom(FColorTable);
    return FPalette;
}

void TBitmap::SetPalette(HPALETTE Value) {
    if (Value == FPalette)
        return;
    Changing(this);
    if (FPalette)
        DeleteObject(FPalette);
    FPalette = Value;
    if (Value) {
        FColorTable = PaletteEntries(Value);
        HandleNeeded();
        if (FHandle && FHandleType == bmDIB && FBitCount <= 8) {
            FreeContext();
            HDC DC = CreateCompatibleDC(nullptr);
            HGDIOBJ Old = SelectObject(DC, FHandle);
            UINT Count = static_cast<UINT>(std::min<size_t>(FColorTable.size(), size_t(1) << FBitCount));
            SetDIBColorTable(DC, 0, Count, FColorTable.data());
            SelectObject(DC, Old);
            DeleteDC(DC);
        }
    }
    Changed(this);
}

void* TBitmap::ScanLine(int Row) {
    HandleNeeded();
    if (FHandle && FHandleType == bmDDB)
        SetHandleType(bmDIB);
    Changing(this);
    if (!FBits || Row < 0 || Row >= FHeight)
        InvalidGraphicOperation(GraphicsConsts::SScanLine);
    GdiFlush();
    std::uint32_t Stride = RowBytes(FWidth, FBitCount);
    return FBits + size_t(FTopDown ? Row : FHeight - 1 - Row) * Stride;
}

TColor TBitmap::PixelAt(int X, int Y) {
    HandleNeeded();
    if (!FHandle || X < 0 || Y < 0 || X >= FWidth || Y >= FHeight)
        return clNone;
    if (FHandleType == bmDDB)
        return Canvas()->Pixels(X, Y);
    GdiFlush();
    RGBQUAD Row[8];
    std::uint32_t Stride = RowBytes(FWidth, FBitCount);
    const BYTE* Src = FBits + size_t(FTopDown ? Y : FHeight - 1 - Y) * Stride;
    // Decode from the byte holding pixel X; sub-byte layouts start at that byte's first pixel.
    int PerByte = FBitCount < 8 ? 8 / FBitCount : 1;
    int First = X - X % PerByte;
    DecodeRow(CurrentFormat(), Src + size_t(First) * FBitCount / 8, X - First + 1, Row);
    RGBQUAD C = Row[X - First];
    return C.rgbRed | (C.rgbGreen << 8) | (C.rgbBlue << 16);
}

TColor TBitmap::TransparentColor() {
    if (FTransparentColor != clDefault)
        return ColorToRGB(FTransparentColor);
    if (Monochrome())
        return clWhite;
    if (Empty())
        return clDefault;
    return PixelAt(0, FHeight - 1);
}

void TBitmap::SetTransparentColor(TColor Value) {
    if (Value == FTransparentColor)
        return;
    FTransparentColor = Value;
    FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
    Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
    if (Value == FTransparentMode)
        return;
    SetTransparentColor(Value == tmAuto ? clDefault : TransparentColor());
}

HBITMAP TBitmap::MaskHandle() {
    if (!FMaskValid || !FMaskHandle) {
        HBITMAP M = Empty() ? nullptr : CreateMaskBitmap(this, TransparentColor());
        if (FMaskHandle)
            DeleteObject(FMaskHandle);
        FMaskHandle = M;
        FMaskValid = true;
    }
    return FMaskHandle;
}

void TBitmap::SetMaskHandle(HBITMAP Value) {
    if (FMaskHandle && FMaskHandle != Value)
        DeleteObject(FMaskHandle);
    FMaskHandle = Value;
    FMaskValid = Value != nullptr;
}

HBITMAP TBitmap::ReleaseMaskHandle() {
    HBITMAP M = MaskHandle();
    FMaskHandle = nullptr;
    FMaskValid = false;
    return M;
}

void TBitmap::Mask(TColor TransparentColor) {
    if (Empty())
        return;
    HBITMAP M = CreateMaskBitmap(this, ColorToRGB(TransparentColor));
    SetHandle(M);
}

HBITMAP GraphicsDetail::CreateMaskBitmap(TBitmap* Bitmap, TColor Color) {
    Bitmap->HandleNeeded();
    TDibImage Img = Bitmap->Snapshot();
    if (Img.Bits.empty())
        return nullptr;
    COLORREF Key = static_cast<COLORREF>(Color) & 0xFFFFFF;
    std::uint32_t Stride = RowBytes(Img.Width, Img.Format.BitCount);
    int MaskStride = (Img.Width + 15) / 16 * 2;  // CreateBitmap rows are word-aligned, top-down
    std::vector<BYTE> Bits(size_t(MaskStride) * Img.Height, 0);
    std::vector<RGBQUAD> Row(static_cast<size_t>(Img.Width));
    for (int T = 0; T < Img.Height; ++T) {
        DecodeRow(Img.Format, Img.Bits.data() + size_t(Img.Height - 1 - T) * Stride, Img.Width, Row.data());
        BYTE* Dst = Bits.data() + size_t(T) * MaskStride;
        for (int X = 0; X < Img.Width; ++X) {
            COLORREF C = Row[X].rgbRed | (Row[X].rgbGreen << 8) | (Row[X].rgbBlue << 16);
            if (C == Key)
                Dst[X >> 3] |= static_cast<BYTE>(0x80 >> (X & 7));
        }
    }
    return CreateBitmap(Img.Width, Img.Height, 1, 1, Bits.data());
}

void TBitmap::AdoptHandle(HBITMAP Value) {
    FreeImageHandles();
    FSaved.clear();
    FWidth = FHeight = 0;
    FTopDown = false;
    // No image: a fresh bitmap's device format (readers that pick a format for what they load
    // look for pfDevice).
    FPixelFormat = pfDevice;
    FHandleType = bmDDB;
    FBitCount = 0;
    std::fill(FMasks, FMasks + 3, 0);
    if (!Value)
        return;
    DIBSECTION DS{};
    if (GetObjectA(Value, sizeof DS, &DS) == sizeof DS) {
        FHandle = Value;
        FBits = static_cast<BYTE*>(DS.dsBm.bmBits);
        FWidth = DS.dsBm.bmWidth;
        FHeight = DS.dsBm.bmHeight;
        FTopDown = DS.dsBmih.biHeight < 0 || StoredTopDown(Value, FBits, FHeight, RowBytes(FWidth, DS.dsBmih.biBitCount));
        FBitCount = DS.dsBmih.biBitCount;
        std::fill(FMasks, FMasks + 3, 0);
        if (DS.dsBmih.biCompression == BI_BITFIELDS)
            std::copy(DS.dsBitfields, DS.dsBitfields + 3, FMasks);
        FHandleType = bmDIB;
        FPixelFormat = FormatOf(FBitCount, FMasks);
        if (FPixelFormat == pf15bit || FPixelFormat == pf32bit)
            std::fill(FMasks, FMasks + 3, 0);
        if (FBitCount <= 8) {
            HDC DC = CreateCompatibleDC(nullptr);
            HGDIOBJ Old = SelectObject(DC, Value);
            std::vector<RGBQUAD> T(size_t(1) << FBitCount);
            T.resize(GetDIBColorTable(DC, 0, static_cast<UINT>(T.size()), T.data()));
            SelectObject(DC, Old);
            DeleteDC(DC);
            FColorTable = T;
            if (FPalette)
                DeleteObject(FPalette);
            FPalette = nullptr;
        }
        return;
    }
    BITMAP BM{};
    if (GetObjectA(Value, sizeof BM, &BM) == sizeof BM) {
        FHandle = Value;
        FWidth = BM.bmWidth;
        FHeight = BM.bmHeight;
        FBitCount = BM.bmBitsPixel * BM.bmPlanes;
        FHandleType = bmDDB;
        FPixelFormat = pfDevice;
    }
}

void TBitmap::SetHandle(HBITMAP Value) {
    if (Value && Value == FHandle)
        return;
    Changing(this);
    AdoptHandle(Value);
    Changed(this);
}

void TBitmap::LoadFromClipboardFormat(Word Format, HANDLE Data, HPALETTE) {
    if (Format != CF_BITMAP || !Data)
        InvalidGraphic(GraphicsConsts::SUnknownClipboardFormat);
    // The clipboard keeps its bitmap: ours is a device-independent copy.
    auto* Copy = static_cast<HBITMAP>(CopyImage(Data, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!Copy)
        InvalidGraphic(GraphicsConsts::SInvalidBitmap);
    SetHandle(Copy);
}

void TBitmap::SaveToClipboardFormat(Word& Format, HANDLE& Data, HPALETTE& Palette) {
    Format = CF_BITMAP;
    Palette = nullptr;
    Data = CopyImage(Handle(), IMAGE_BITMAP, 0, 0, 0);
    if (!Data)
        InvalidGraphic(GraphicsConsts::SInvalidBitmap);
}

HBITMAP TBitmap::ReleaseHandle() {
    HandleNeeded();
    FreeContext();
    HBITMAP H = FHandle;
    FHandle = nullptr;
    FBits = nullptr;
    FWidth = FHeight = 0;
    FMaskValid = false;
    return H;
}

HPALETTE TBitmap::ReleasePalette() {
    HPALETTE P = Palette();
    FPalette = nullptr;
    return P;
}

void TBitmap::Dormant() {
    if (!FHandle)
        return;
    TStringStream S;
    SaveToStream(&S);
    int W = FWidth, H = FHeight;
    FreeImageHandles();
    FSaved = S.DataString();
    FWidth = W;
    FHeight = H;
}

void TBitmap::FreeImage() {
    if (FHandle)
        FSaved.clear();
}

void TBitmap::Changing(TObject*) {
    if (FHandle)
        FSaved.clear();
    FMaskValid = false;
}

void TBitmap::Changed(TObject* Sender) {
    FMaskValid = false;
    TGraphic::Changed(Sender);
}

void TBitmap::Assign(TPersistent* Source) {
    if (!Source) {
        SetHandle(nullptr);
        return;
    }
    auto* Src = DynCast<TBitmap>(Source);
    if (!Src) {
        TGraphic::Assign(Source);
        return;
    }
    if (Src == this)
        return;
    Changing(this);
    Src->HandleNeeded();
    FColorTable = Src->FColorTable;
    if (FPalette)
        DeleteObject(FPalette);
    FPalette = nullptr;
    FPixelFormat = Src->FPixelFormat;
    FHandleType = Src->FHandleType;
    FBitCount = Src->FBitCount;
    std::copy(Src->FMasks, Src->FMasks + 3, FMasks);
    if (Src->FHandle) {
        SetImage(Src->Snapshot(), Src->FHandleType == bmDDB);
    } else {
        FreeImageHandles();
        FSaved.clear();
        FWidth = Src->FWidth;
        FHeight = Src->FHeight;
    }
    FTransparent = Src->FTransparent;
    FTransparentColor = Src->FTransparentColor;
    FTransparentMode = Src->FTransparentMode;
    Changed(this);
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& R) {
    if (Empty())
        return;
    // The mask first: making it may take the bitmap out of its DC, which may be ACanvas's own.
    HBITMAP Mask = Transparent() ? MaskHandle() : nullptr;
    ACanvas->RequiredState(csAllValid);
    HDC Dst = ACanvas->Handle();
    HDC Src = Canvas()->Handle();
    bool Stretched = R.Width() != FWidth || R.Height() != FHeight;
    int OldMode = Stretched && !Monochrome() ? SetStretchBltMode(Dst, COLORONCOLOR) : 0;
    if (Mask) {
        HDC MaskDC = CreateCompatibleDC(nullptr);
        HGDIOBJ Old = SelectObject(MaskDC, Mask);
        TransparentStretchBlt(Dst, R, Src, Rect(0, 0, FWidth, FHeight), MaskDC, 0, 0);
        SelectObject(MaskDC, Old);
        DeleteDC(MaskDC);
    } else {
        StretchBlt(Dst, R.Left, R.Top, R.Width(), R.Height(), Src, 0, 0, FWidth, FHeight,
                   static_cast<DWORD>(ACanvas->CopyMode()));
    }
    if (OldMode)
        SetStretchBltMode(Dst, OldMode);
}

void TBitmap::ReadImage(TStream* Stream, Int64 Available, bool FileHeader) {
    if (Available <= 0) {
        Assign(nullptr);
        return;
    }
    TDibImage Img = ReadDib(Stream, Available, FileHeader);
    Changing(this);
    SetImage(Img, false);
    Changed(this);
}

void TBitmap::LoadFromStream(TStream* Stream) { ReadImage(Stream, Stream->Size() - Stream->Position(), true); }

void TBitmap::SaveToStream(TStream* Stream) {
    if (Empty())
        return;
    HandleNeeded();
    WriteBmp(Stream, Snapshot());
}

void TBitmap::LoadFromResourceName(HINSTANCE Instance, const std::string& ResName) {
    TResourceStream S(Instance, ResName, RT_BITMAP);
    ReadImage(&S, S.Size(), false);
}

void TBitmap::LoadFromResourceID(HINSTANCE Instance, int ResID) {
    TResourceStream S(Instance, ResID, RT_BITMAP);
    ReadImage(&S, S.Size(), false);
}

void TBitmap::ReadData(TStream* Stream) {
    LongInt Size = 0;
    Stream->ReadBuffer(&Size, sizeof Size);
    ReadImage(Stream, Size, true);
}

void TBitmap::WriteData(TStream* Stream) {
    TMemoryStream M;
    SaveToStream(&M);
    LongInt Size = static_cast<LongInt>(M.Size());
    Stream->WriteBuffer(&Size, sizeof Size);
    if (Size > 0)
        Stream->CopyFrom(&M, 0);
}
