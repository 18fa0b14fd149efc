#include "Icons.h"

#include "BitmapCodec.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace GraphicsDetail;

namespace {
[[noreturn]] void BadIcon() { InvalidGraphic(GraphicsConsts::SInvalidIcon); }

#pragma pack(push, 1)
struct TIconDir {
    WORD Reserved;
    WORD Type;
    WORD Count;
};
struct TIconDirEntry {
    BYTE Width;
    BYTE Height;
    BYTE Colors;
    BYTE Reserved;
    WORD Planes;
    WORD BitCount;
    DWORD Size;
    DWORD Offset;
};
#pragma pack(pop)

// The image of one entry must hold what its header promises: colour rows, table and mask rows.
bool EntryFits(const BYTE* P, DWORD Size) {
    static const BYTE Png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (Size >= 8 && std::memcmp(P, Png, 8) == 0)
        return true;
    if (Size < sizeof(BITMAPINFOHEADER))
        return false;
    BITMAPINFOHEADER H;
    std::memcpy(&H, P, sizeof H);
    if (H.biSize < sizeof H || H.biWidth <= 0 || H.biHeight <= 0 || H.biPlanes != 1 || H.biCompression != BI_RGB)
        return false;
    int Bits = H.biBitCount;
    if (Bits != 1 && Bits != 4 && Bits != 8 && Bits != 16 && Bits != 24 && Bits != 32)
        return false;
    std::uint64_t Rows = std::uint64_t(H.biHeight) / 2;
    std::uint64_t Colors = Bits <= 8 ? (H.biClrUsed ? H.biClrUsed : (1u << Bits)) : 0;
    std::uint64_t Need = H.biSize + Colors * 4 + Rows * RowBytes(H.biWidth, Bits) + Rows * RowBytes(H.biWidth, 1);
    return RowBytes(H.biWidth, Bits) != 0 && Need <= Size;
}

struct TIconInfoSize {
    int W = 0, H = 0;
};

TIconInfoSize IconSize(HICON Icon) {
    TIconInfoSize S;
    ICONINFO II{};
    if (!Icon || !GetIconInfo(Icon, &II))
        return S;
    BITMAP BM{};
    if (II.hbmColor && GetObjectA(II.hbmColor, sizeof BM, &BM)) {
        S.W = BM.bmWidth;
        S.H = BM.bmHeight;
    } else if (II.hbmMask && GetObjectA(II.hbmMask, sizeof BM, &BM)) {
        S.W = BM.bmWidth;
        S.H = BM.bmHeight / 2;
    }
    if (II.hbmColor)
        DeleteObject(II.hbmColor);
    if (II.hbmMask)
        DeleteObject(II.hbmMask);
    return S;
}

// Rows of a bitmap as a DIB of BitCount bits, bottom-up; Rows may be less than the bitmap's
// height (the first rows from the bottom).
std::vector<BYTE> DibRows(HBITMAP Bitmap, int W, int FirstRow, int Rows, int BitCount) {
    std::vector<BYTE> Buf(sizeof(BITMAPINFOHEADER) + 2 * sizeof(RGBQUAD));
    auto* BI = reinterpret_cast<BITMAPINFO*>(Buf.data());
    BITMAP BM{};
    GetObjectA(Bitmap, sizeof BM, &BM);
    BI->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    BI->bmiHeader.biWidth = W;
    BI->bmiHeader.biHeight = BM.bmHeight;
    BI->bmiHeader.biPlanes = 1;
    BI->bmiHeader.biBitCount = static_cast<WORD>(BitCount);
    BI->bmiHeader.biCompression = BI_RGB;
    std::vector<BYTE> Bits(size_t(RowBytes(W, BitCount)) * Rows);
    HDC Screen = GetDC(nullptr);
    GetDIBits(Screen, Bitmap, static_cast<UINT>(FirstRow), static_cast<UINT>(Rows), Bits.data(), BI, DIB_RGB_COLORS);
    ReleaseDC(nullptr, Screen);
    return Bits;
}
}  // namespace

TIcon::TIcon() { FTransparent = true; }

TIcon::~TIcon() { FreeHandle(); }

void TIcon::FreeHandle() {
    if (FHandle)
        DestroyIcon(FHandle);
    FHandle = nullptr;
}

bool TIcon::Empty() { return !FHandle && FData.empty(); }

int TIcon::Width() {
    Handle();
    return FWidth;
}

int TIcon::Height() {
    Handle();
    return FHeight;
}

void TIcon::SetWidth(int Value) {
    if (!Empty() && Value != Width())
        InvalidGraphicOperation(GraphicsConsts::SChangeIconSize);
    FRequestedWidth = Value;
}

void TIcon::SetHeight(int Value) {
    if (!Empty() && Value != Height())
        InvalidGraphicOperation(GraphicsConsts::SChangeIconSize);
    FRequestedHeight = Value;
}

void TIcon::ReadSize() {
    TIconInfoSize S = IconSize(FHandle);
    FWidth = S.W;
    FHeight = S.H;
}

HICON TIcon::Handle() {
    if (FHandle || FData.empty())
        return FHandle;
    auto* P = reinterpret_cast<const BYTE*>(FData.data());
    TIconDir Dir;
    std::memcpy(&Dir, P, sizeof Dir);
    int WantW = FRequestedWidth > 0 ? FRequestedWidth : GetSystemMetrics(SM_CXICON);
    int WantH = FRequestedHeight > 0 ? FRequestedHeight : GetSystemMetrics(SM_CYICON);
    const TIconDirEntry* Best = nullptr;
    long BestScore = 0;
    for (WORD I = 0; I < Dir.Count; ++I) {
        TIconDirEntry E;
        std::memcpy(&E, P + sizeof Dir + I * sizeof E, sizeof E);
        int W = E.Width ? E.Width : 256, H = E.Height ? E.Height : 256;
        // Nearest size first, then the most colours.
        long Score = (std::abs(W - WantW) + std::abs(H - WantH)) * 1000L - E.BitCount;
        if (!Best || Score < BestScore) {
            Best = reinterpret_cast<const TIconDirEntry*>(P + sizeof Dir + I * sizeof E);
            BestScore = Score;
        }
    }
    TIconDirEntry E;
    std::memcpy(&E, Best, sizeof E);
    int W = E.Width ? E.Width : 256, H = E.Height ? E.Height : 256;
    FHandle = CreateIconFromResourceEx(const_cast<BYTE*>(P + E.Offset), E.Size, TRUE, 0x00030000, W, H, LR_DEFAULTCOLOR);
    ReadSize();
    return FHandle;
}

void TIcon::SetHandle(HICON Value) {
    if (Value && Value == FHandle)
        return;
    FreeHandle();
    FData.clear();
    FHandle = Value;
    ReadSize();
    Changed(this);
}

HICON TIcon::ReleaseHandle() {
    HICON H = Handle();
    FHandle = nullptr;
    FData.clear();
    FWidth = FHeight = 0;
    return H;
}

void TIcon::Assign(TPersistent* Source) {
    if (!Source) {
        FreeHandle();
        FData.clear();
        FWidth = FHeight = 0;
        Changed(this);
        return;
    }
    auto* Src = DynCast<TIcon>(Source);
    if (!Src) {
        TGraphic::Assign(Source);
        return;
    }
    if (Src == this)
        return;
    FreeHandle();
    FData = Src->FData;
    FRequestedWidth = Src->FRequestedWidth;
    FRequestedHeight = Src->FRequestedHeight;
    if (FData.empty() && Src->FHandle) {
        FHandle = CopyIcon(Src->FHandle);
        ReadSize();
    }
    Changed(this);
}

void TIcon::Draw(TCanvas* ACanvas, const TRect& R) {
    if (HICON H = Handle())
        DrawIconEx(ACanvas->Handle(), R.Left, R.Top, H, R.Width(), R.Height(), 0, nullptr, DI_NORMAL);
}

void TIcon::LoadFromStream(TStream* Stream) {
    Int64 Left = Stream->Size() - Stream->Position();
    TIconDir Dir;
    if (Left < Int64(sizeof Dir))
        BadIcon();
    Stream->ReadBuffer(&Dir, sizeof Dir);
    if (Dir.Reserved != 0 || Dir.Type != 1 || Dir.Count == 0)
        BadIcon();
    DWORD DirBytes = sizeof Dir + Dir.Count * sizeof(TIconDirEntry);
    if (Left < Int64(DirBytes))
        BadIcon();
    std::string Data(DirBytes, '\0');
    std::memcpy(Data.data(), &Dir, sizeof Dir);
    Stream->ReadBuffer(Data.data() + sizeof Dir, static_cast<LongInt>(DirBytes - sizeof Dir));
    std::uint64_t End = DirBytes;
    for (WORD I = 0; I < Dir.Count; ++I) {
        TIconDirEntry E;
        std::memcpy(&E, Data.data() + sizeof Dir + I * sizeof E, sizeof E);
        if (E.Size == 0 || E.Offset < DirBytes)
            BadIcon();
        End = std::max<std::uint64_t>(End, std::uint64_t(E.Offset) + E.Size);
    }
    if (End > std::uint64_t(Left) || End > MaxImageBytes)
        BadIcon();
    Data.resize(size_t(End));
    Stream->ReadBuffer(Data.data() + DirBytes, static_cast<LongInt>(End - DirBytes));
    for (WORD I = 0; I < Dir.Count; ++I) {
        TIconDirEntry E;
        std::memcpy(&E, Data.data() + sizeof Dir + I * sizeof E, sizeof E);
        if (!EntryFits(reinterpret_cast<const BYTE*>(Data.data()) + E.Offset, E.Size))
            BadIcon();
    }
    std::string Old = std::move(FData);
    HICON OldHandle = FHandle;
    FData = std::move(Data);
    FHandle = nullptr;
    if (!Handle()) {
        FData = std::move(Old);
        FHandle = OldHandle;
        ReadSize();
        BadIcon();
    }
    if (OldHandle)
        DestroyIcon(OldHandle);
    Changed(this);
}

void TIcon::SaveToStream(TStream* Stream) {
    if (!FData.empty()) {
        Stream->WriteBuffer(FData.data(), static_cast<LongInt>(FData.size()));
        return;
    }
    if (!FHandle)
        return;
    ICONINFO II{};
    if (!GetIconInfo(FHandle, &II))
        return;
    int W = FWidth, H = FHeight;
    std::vector<BYTE> Color, Mask;
    if (II.hbmColor) {
        Color = DibRows(II.hbmColor, W, 0, H, 32);
        Mask = DibRows(II.hbmMask, W, 0, H, 1);
    } else {
        // A monochrome icon: the mask bitmap holds the AND mask above the XOR image.
        Color = DibRows(II.hbmMask, W, 0, H, 32);
        Mask = DibRows(II.hbmMask, W, static_cast<UINT>(H), H, 1);
    }
    if (II.hbmColor)
        DeleteObject(II.hbmColor);
    if (II.hbmMask)
        DeleteObject(II.hbmMask);
    BITMAPINFOHEADER BH{};
    BH.biSize = sizeof BH;
    BH.biWidth = W;
    BH.biHeight = H * 2;
    BH.biPlanes = 1;
    BH.biBitCount = 32;
    BH.biCompression = BI_RGB;
    BH.biSizeImage = static_cast<DWORD>(Color.size() + Mask.size());
    TIconDir Dir{0, 1, 1};
    TIconDirEntry E{};
    E.Width = static_cast<BYTE>(W >= 256 ? 0 : W);
    E.Height = static_cast<BYTE>(H >= 256 ? 0 : H);
    E.Planes = 1;
    E.BitCount = 32;
    E.Size = sizeof BH + BH.biSizeImage;
    E.Offset = sizeof Dir + sizeof E;
    Stream->WriteBuffer(&Dir, sizeof Dir);
    Stream->WriteBuffer(&E, sizeof E);
    Stream->WriteBuffer(&BH, sizeof BH);
    Stream->WriteBuffer(Color.data(), static_cast<LongInt>(Color.size()));
    Stream->WriteBuffer(Mask.data(), static_cast<LongInt>(Mask.size()));
}
