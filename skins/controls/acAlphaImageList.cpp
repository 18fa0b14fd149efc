#include "acAlphaImageList.h"

#include "Filer.h"
#include "Icons.h"
#include "SysUtils.h"
#include "acPNG.h"
#include "acResample.h"
#include "sConst.h"
#include "sGraphUtils.h"

#include <algorithm>
#include <vector>

namespace {

// Sets a flag for a scope and puts back what it was.
class TFlagScope {
public:
    explicit TFlagScope(bool& Flag) : FFlag(Flag), FOld(Flag) { FFlag = true; }
    ~TFlagScope() { FFlag = FOld; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
    bool FOld;
};

// The pixels of a GDI bitmap as 32-bit words (0xAARRGGBB), rows top down.
struct TPixels32 {
    int Width = 0;
    int Height = 0;
    std::vector<DWORD> Words;
};

bool ReadPixels32(HBITMAP Bitmap, TPixels32& Out) {
    BITMAP Info{};
    if (!Bitmap || !GetObjectA(Bitmap, sizeof Info, &Info) || Info.bmWidth <= 0 || Info.bmHeight <= 0)
        return false;
    Out.Width = Info.bmWidth;
    Out.Height = Info.bmHeight;
    Out.Words.assign(static_cast<std::size_t>(Out.Width) * Out.Height, 0);
    BITMAPINFO Bi{};
    Bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    Bi.bmiHeader.biWidth = Out.Width;
    Bi.bmiHeader.biHeight = -Out.Height;
    Bi.bmiHeader.biPlanes = 1;
    Bi.bmiHeader.biBitCount = 32;
    Bi.bmiHeader.biCompression = BI_RGB;
    HDC DC = GetDC(nullptr);
    int Lines = GetDIBits(DC, Bitmap, 0, static_cast<UINT>(Out.Height), Out.Words.data(), &Bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, DC);
    return Lines == Out.Height;
}

// A 32-bit top-down DIB section holding Pixels.
HBITMAP MakeDib32(const TPixels32& Pixels) {
    BITMAPINFO Bi{};
    Bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    Bi.bmiHeader.biWidth = Pixels.Width;
    Bi.bmiHeader.biHeight = -Pixels.Height;
    Bi.bmiHeader.biPlanes = 1;
    Bi.bmiHeader.biBitCount = 32;
    Bi.bmiHeader.biCompression = BI_RGB;
    void* Bits = nullptr;
    HBITMAP B = CreateDIBSection(nullptr, &Bi, DIB_RGB_COLORS, &Bits, nullptr, 0);
    if (B)
        std::copy(Pixels.Words.begin(), Pixels.Words.end(), static_cast<DWORD*>(Bits));
    return B;
}

bool HasAnyAlpha(const TPixels32& P) {
    return std::any_of(P.Words.begin(), P.Words.end(), [](DWORD W) { return (W >> 24) != 0; });
}

// The colour bitmap and mask of an icon, both owned.
struct TIconParts {
    ICONINFO Info{};
    bool Valid = false;
    explicit TIconParts(HICON Icon) { Valid = Icon && GetIconInfo(Icon, &Info); }
    ~TIconParts() {
        if (!Valid)
            return;
        if (Info.hbmColor)
            DeleteObject(Info.hbmColor);
        if (Info.hbmMask)
            DeleteObject(Info.hbmMask);
    }
    TIconParts(const TIconParts&) = delete;
    TIconParts& operator=(const TIconParts&) = delete;
};

void CopyWordsToBitmap(const TPixels32& P, TBitmap* Bitmap) {
    Bitmap->SetPixelFormat(pf32bit);
    Bitmap->SetSize(P.Width, P.Height);
    for (int Y = 0; Y < P.Height; ++Y)
        std::copy_n(P.Words.begin() + static_cast<std::ptrdiff_t>(Y) * P.Width, P.Width,
                    static_cast<DWORD*>(Bitmap->ScanLine(Y)));
}

// A 32-bit icon of the size with every pixel transparent: the place of an image that cannot be read,
// so that the images after it keep their indices.
HICON MakeEmptyIcon(int Width, int Height) {
    TPixels32 P{Width, Height, std::vector<DWORD>(static_cast<std::size_t>(Width) * Height, 0)};
    HBITMAP Color = MakeDib32(P);
    std::vector<BYTE> MaskRows(static_cast<std::size_t>((Width + 15) / 16 * 2) * Height, 0xFF);
    HBITMAP Mask = CreateBitmap(Width, Height, 1, 1, MaskRows.data());
    ICONINFO Info{TRUE, 0, 0, Mask, Color};
    HICON Icon = Color && Mask ? CreateIconIndirect(&Info) : nullptr;
    if (Color)
        DeleteObject(Color);
    if (Mask)
        DeleteObject(Mask);
    return Icon;
}

// The icon an item gives (0 when its data is no image of its format); the caller destroys it.
HICON ItemIcon(TsImgListItem* Item, COLORREF Background) {
    TMemoryStream* Data = Item->ImageData();
    Data->SetPosition(0);
    try {
        if (Item->ImageFormat() == ifICO) {
            TOwned<TIcon> Icon(Create<TIcon>());
            Icon->LoadFromStream(Data);
            return Icon->ReleaseHandle();
        }
        TOwned<TPNGGraphic> Png(Create<TPNGGraphic>());
        Png->LoadFromStream(Data);
        if (Win32Platform == VER_PLATFORM_WIN32_NT)
            return MakeIconFromPngOnColor(Png.get(), static_cast<TColor>(Background));
        return MakeIconFromPng(Png.get(), false);
    } catch (const Exception&) {
        return nullptr;
    }
}

int ScreenBitsPerPixel() {
    HDC DC = GetDC(nullptr);
    int Bits = GetDeviceCaps(DC, BITSPIXEL) * GetDeviceCaps(DC, PLANES);
    ReleaseDC(nullptr, DC);
    return Bits;
}

}  // namespace

TColor ImageListColorToColor(COLORREF Value) {
    if (Value == CLR_DEFAULT)
        return clDefault;
    if (Value == CLR_NONE)
        return clNone;
    return static_cast<TColor>(Value);
}

// ---------------------------------------------------------------------------------------------
// TsImgListItem

TsImgListItem::TsImgListItem(TCollection* ACollection) : TCollectionItem(ACollection) {
    FImageData = Create<TMemoryStream>();
}

TsImgListItem::~TsImgListItem() { FreeAndNil(FImageData); }

void TsImgListItem::DefineClass(TClassBuilder<TsImgListItem>& B) {
    // The format is always written: a reader must never guess what the bytes are.
    B.Property("ImageFormat", &TsImgListItem::ImageFormat, &TsImgListItem::SetImageFormat);
    B.Property("PixelFormat", &TsImgListItem::PixelFormat, &TsImgListItem::SetPixelFormat).Default(pf32bit);
}

void TsImgListItem::Assign(TPersistent* Source) {
    if (auto* S = DynCast<TsImgListItem>(Source)) {
        if (S == this)
            return;
        FImageFormat = S->FImageFormat;
        FPixelFormat = S->FPixelFormat;
        FImageData->Clear();
        S->FImageData->SaveToStream(FImageData);
        FImageData->SetPosition(0);
        return;
    }
    TCollectionItem::Assign(Source);
}

void TsImgListItem::AssignTo(TPersistent* Dest) {
    if (auto* D = DynCast<TsImgListItem>(Dest)) {
        D->Assign(this);
        return;
    }
    TCollectionItem::AssignTo(Dest);
}

void TsImgListItem::DefineProperties(TFiler& Filer) {
    TCollectionItem::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "ImgData", [this](TStream& S) { ReadImgData(S); }, [this](TStream& S) { WriteImgData(S); }, true);
}

void TsImgListItem::ReadImgData(TStream& Stream) {
    FImageData->Clear();
    // A count of 0 would ask for the whole stream from its start.
    if (Int64 Left = Stream.Size() - Stream.Position(); Left > 0)
        FImageData->CopyFrom(&Stream, Left);
    FImageData->SetPosition(0);
}

void TsImgListItem::WriteImgData(TStream& Stream) { FImageData->SaveToStream(&Stream); }

// ---------------------------------------------------------------------------------------------
// TsImgListItems

TsImgListItems::TsImgListItems(TsAlphaImageList* AOwner) : TOwnedCollection(AOwner, TsImgListItem::StaticClass()) {}

// ---------------------------------------------------------------------------------------------
// TsAlphaImageList

TsAlphaImageList::TsAlphaImageList(TComponent* AOwner) : TImageList(AOwner) {
    FItems = Create<TsImgListItems>(this);
    FItems->SetPropName("Items");
}

TsAlphaImageList::~TsAlphaImageList() { FreeAndNil(FItems); }

void TsAlphaImageList::DefineClass(TClassBuilder<TsAlphaImageList>& B) {
    B.Property("Items", &TsAlphaImageList::Items, &TsAlphaImageList::SetItems);
}

void TsAlphaImageList::AfterConstruction() {
    TImageList::AfterConstruction();
    if (ComponentState().Contains(csLoading))
        return;
    if (!HandleAllocated())
        CreateHandle32();
    if (!FGenerated)
        GenerateImages();
}

void TsAlphaImageList::Loaded() {
    {
        TFlagScope Guard(FChanging);
        if (!HandleAllocated())
            CreateHandle32();
        if (!FGenerated)
            GenerateImages();
        FGenerated = true;
    }
    // The clients hear of the list once, with its images in place.
    TImageList::Loaded();
}

void TsAlphaImageList::SetItems(TsImgListItems* Value) { FItems->Assign(Value); }

bool TsAlphaImageList::KeepsItems() const { return FKeepItems || ComponentState().Contains(csDesigning); }

void TsAlphaImageList::CreateHandle32() {
    TFlagScope Guard(FChanging);
    TColor Background = BkColor();
    HIMAGELIST H = ImageList_Create(Width(), Height(), (Masked() ? ILC_MASK : 0) | ILC_COLOR32, 0, AllocBy());
    if (!H)
        throw EInvalidOperation(ImgListConsts::SInvalidImageList);
    SetHandle(H);
    // Adopting a handle takes its colour; the list's own colour goes to the new handle.
    SetBkColor(Background);
}

void TsAlphaImageList::ReleaseHandle() {
    FreeHandle();
    Change();
}

void TsAlphaImageList::GenerateImages() {
    TFlagScope Guard(FChanging);
    // A list made in code loses its handle with a new size; its images need one of 32 bits.
    if (!HandleAllocated())
        CreateHandle32();
    HIMAGELIST H = Handle();
    ImageList_Remove(H, -1);
    COLORREF Background = static_cast<COLORREF>(ColorToRGB(ImageListColorToColor(ImageList_GetBkColor(H))));
    for (int I = 0; I < FItems->Count(); ++I) {
        HICON Icon = ItemIcon(FItems->Items(I), Background);
        if (!Icon)
            Icon = MakeEmptyIcon(Width(), Height());
        if (Icon) {
            ImageList_ReplaceIcon(H, -1, Icon);
            DestroyIcon(Icon);
        }
    }
    if (FItems->Count() > 0) {
        FGenerated = true;
        if (!KeepsItems())
            FItems->Clear();
    }
}

void TsAlphaImageList::FixAlphaChannel(TBitmap* Bitmap) {
    if (!Bitmap || Bitmap->PixelFormat() != pf32bit || Bitmap->Width() <= 0 || Bitmap->Height() <= 0)
        return;
    const int W = Bitmap->Width(), H = Bitmap->Height();
    for (int Y = 0; Y < H; ++Y) {
        const DWORD* Row = static_cast<const DWORD*>(Bitmap->ScanLine(Y));
        if (std::any_of(Row, Row + W, [](DWORD P) { return (P >> 24) != 0; }))
            return;
    }
    const DWORD Key = static_cast<const DWORD*>(Bitmap->ScanLine(H - 1))[0] & 0xFFFFFF;
    for (int Y = 0; Y < H; ++Y) {
        DWORD* Row = static_cast<DWORD*>(Bitmap->ScanLine(Y));
        for (int X = 0; X < W; ++X)
            if ((Row[X] & 0xFFFFFF) != Key)
                Row[X] |= 0xFF000000u;
    }
}

bool TsAlphaImageList::GetBitmap32(int Index, TBitmap* Bitmap) {
    if (!HandleAllocated() || !Bitmap || Index < 0 || Index >= Count())
        return false;
    if (KeepsItems() && Index < FItems->Count()) {
        TsImgListItem* Item = FItems->Items(Index);
        if (Item->ImageFormat() == ifPNG && Item->ImageData()->Size() > 0) {
            try {
                TOwned<TPNGGraphic> Png(Create<TPNGGraphic>());
                Item->ImageData()->SetPosition(0);
                Png->LoadFromStream(Item->ImageData());
                if (Png->Width() == Width() && Png->Height() == Height()) {
                    Bitmap->Assign(Png.get());
                } else {
                    if (Bitmap->Width() <= 0 || Bitmap->Height() <= 0)
                        Bitmap->SetSize(Width(), Height());
                    Bitmap->SetPixelFormat(pf32bit);
                    if (Png->PixelFormat() != pf32bit)
                        Png->SetPixelFormat(pf32bit);
                    ResampleBitmap(Png.get(), Bitmap, Bitmap->Width(), Bitmap->Height(), 6);
                }
                if (Bitmap->PixelFormat() != pf32bit) {
                    Bitmap->SetPixelFormat(pf32bit);
                    FixAlphaChannel(Bitmap);
                }
                return true;
            } catch (const Exception&) {
                // An image the file cannot give comes from the system list, as generated.
            }
        }
    }
    HICON Icon = ImageList_GetIcon(Handle(), Index, ILD_NORMAL);
    if (!Icon)
        return false;
    bool Result = false;
    {
        TIconParts Parts(Icon);
        TPixels32 P;
        if (Parts.Valid && ReadPixels32(Parts.Info.hbmColor, P)) {
            CopyWordsToBitmap(P, Bitmap);
            if (Win32MajorVersion < 6 && ScreenBitsPerPixel() < 32)
                FixAlphaChannel(Bitmap);
            Result = true;
        }
    }
    DestroyIcon(Icon);
    return Result;
}

void TsAlphaImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT, bool) {
    if (!HandleAllocated() || !Canvas)
        return;
    if (Index >= FItems->Count() || FItems->Items(Index)->ImageFormat() == ifICO) {
        ImageList_SetBkColor(Handle(), CLR_NONE);
        HICON Icon = ImageList_GetIcon(Handle(), Index, ILD_TRANSPARENT);
        if (Icon) {
            DrawIconEx(Canvas->Handle(), X, Y, Icon, Width(), Height(), 0, nullptr, DI_NORMAL);
            DestroyIcon(Icon);
        }
        return;
    }
    TOwned<TBitmap> Image(NewBitmap32(Width(), Height()));
    if (!GetBitmap32(Index, Image.get()))
        return;
    const int W = Width(), H = Height();
    TOwned<TBitmap> Behind(NewBitmap24(W, H));
    BitBlt(Behind->Canvas()->Handle(), 0, 0, W, H, Canvas->Handle(), X, Y, SRCCOPY);
    DrawAlphaImage(Rect(0, 0, W, H), Rect(0, 0, Image->Width(), Image->Height()), Behind.get(), false, 0, NoTint,
                   true, MakeBackgroundSource(Behind.get(), 0, 0), Image.get());
    BitBlt(Canvas->Handle(), X, Y, W, H, Behind->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsAlphaImageList::DrawFrame(TCustomImageList* List, TBitmap* Dst, int X, int Y, int ImageIndex, int Blend,
                                 TColor Tint, int State, int NumGlyphs, bool Reflected, TSize& Size) {
    if (!List || !Dst || Dst->Width() == 0 || !List->HandleAllocated())
        return;
    NumGlyphs = std::max(NumGlyphs, 1);
    const int FrameWidth = List->Width() / NumGlyphs, H = List->Height();
    const TRect D = Rect(X, Y, X + FrameWidth, Y + H);
    const int SrcLeft = FrameWidth * std::clamp(State, 0, NumGlyphs - 1);
    const TRect S = Rect(SrcLeft, 0, SrcLeft + FrameWidth, H);
    Size = TSize{FrameWidth, H};
    if (auto* Alpha = DynCast<TsAlphaImageList>(List)) {
        TOwned<TBitmap> Image(NewBitmap32(List->Width(), H));
        if (Alpha->GetBitmap32(ImageIndex, Image.get()))
            DrawAlphaImage(D, S, Dst, Reflected, Blend, Tint, false, EmptyBackgroundSource, Image.get());
        return;
    }
    TOwned<TBitmap> Image(NewBitmap24(List->Width(), H));
    HDC ImageDC = Image->Canvas()->Handle();
    BitBlt(ImageDC, S.Left, 0, FrameWidth, H, Dst->Canvas()->Handle(), X, Y, SRCCOPY);
    List->Draw(Image->Canvas(), 0, 0, ImageIndex, true);
    BitBlt(Dst->Canvas()->Handle(), X, Y, FrameWidth, H, ImageDC, S.Left, 0, SRCCOPY);
}

void TsAlphaImageList::DrawFrameToDC(TCustomImageList* List, HDC DC, int X, int Y, int ImageIndex, int Blend,
                                     TColor Tint, int State, int NumGlyphs, bool Reflected) {
    if (!List || !DC || !List->HandleAllocated())
        return;
    const int W = List->Width(), H = List->Height() + (Reflected ? List->Height() / 2 : 0);
    TOwned<TBitmap> Buffer(NewBitmap24(W, H));
    BitBlt(Buffer->Canvas()->Handle(), 0, 0, W, H, DC, X, Y, SRCCOPY);
    TSize Size;
    DrawFrame(List, Buffer.get(), 0, 0, ImageIndex, Blend, Tint, State, NumGlyphs, Reflected, Size);
    BitBlt(DC, X, Y, W, H, Buffer->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsAlphaImageList::Change() {
    if (FChanging)
        return;
    TImageList::Change();
    if (!HandleAllocated() || ComponentState().Contains(csLoading) || !FGenerated ||
        ComponentState().Contains(csDesigning))
        return;
    TFlagScope Guard(FChanging);
    const int Images = Count();
    if (KeepsItems() && FItems->Count() >= Images) {
        if (Images < FItems->Count())
            GenerateImages();
        return;
    }
    AddAlphaToPlainImages();
}

void TsAlphaImageList::AddAlphaToPlainImages() {
    HIMAGELIST H = Handle();
    const DWORD Key = ((KeyColor & 0xFF) << 16) | (KeyColor & 0xFF00) | ((KeyColor >> 16) & 0xFF);
    for (int I = 0, N = Count(); I < N; ++I) {
        HICON Icon = ImageList_GetIcon(H, I, ILD_NORMAL);
        if (!Icon)
            continue;
        {
            TIconParts Parts(Icon);
            TPixels32 Color, Mask;
            if (Parts.Valid && ReadPixels32(Parts.Info.hbmColor, Color) && !HasAnyAlpha(Color)) {
                // Pixels the mask leaves transparent stay so: their colour bits are black, not the key.
                bool HaveMask = ReadPixels32(Parts.Info.hbmMask, Mask) && Mask.Words.size() == Color.Words.size();
                for (std::size_t P = 0; P < Color.Words.size(); ++P) {
                    bool Transparent = HaveMask && (Mask.Words[P] & 0xFFFFFF) != 0;
                    if ((Color.Words[P] & 0xFFFFFF) != Key && !Transparent)
                        Color.Words[P] |= 0xFF000000u;
                }
                HBITMAP NewColor = MakeDib32(Color);
                ICONINFO Info{TRUE, 0, 0, Parts.Info.hbmMask, NewColor};
                HICON NewIcon = NewColor ? CreateIconIndirect(&Info) : nullptr;
                if (NewIcon) {
                    ImageList_ReplaceIcon(H, I, NewIcon);
                    DestroyIcon(NewIcon);
                }
                if (NewColor)
                    DeleteObject(NewColor);
            }
        }
        DestroyIcon(Icon);
    }
}

void TsAlphaImageList::TakeIconSize(TCustomImageList* Source) {
    int W = Source->Width(), H = Source->Height();
    if (Source->HandleAllocated())
        ImageList_GetIconSize(Source->Handle(), &W, &H);
    SetSize(W, H);
}

void TsAlphaImageList::AssignFromAlphaList(TsAlphaImageList* Src) {
    TFlagScope Guard(FChanging);
    Clear();
    SetMasked(Src->Masked());
    SetImageType(Src->ImageType());
    SetDrawingStyle(Src->DrawingStyle());
    TakeIconSize(Src);
    ReleaseHandle();
    // Only after the old handle went: whether it was ours to destroy is this list's own setting.
    SetShareImages(Src->ShareImages());
    CreateHandle32();
    SetBkColor(Src->HandleAllocated() ? ImageListColorToColor(ImageList_GetBkColor(Src->Handle())) : Src->BkColor());
    SetBlendColor(Src->BlendColor());
    CopyAlphaImages(this, Src);
}

void TsAlphaImageList::Assign(TPersistent* Source) {
    if (!Source) {
        ReleaseHandle();
        return;
    }
    if (auto* Src = DynCast<TsAlphaImageList>(Source)) {
        if (Src != this)
            AssignFromAlphaList(Src);
        return;
    }
    if (DynCast<TCustomImageList>(Source)) {
        // The items would otherwise stand for images the list no longer has.
        TFlagScope Guard(FChanging);
        FItems->Clear();
    }
    TImageList::Assign(Source);
}

void TsAlphaImageList::AssignTo(TPersistent* Dest) {
    if (auto* D = DynCast<TsAlphaImageList>(Dest)) {
        D->Assign(this);
        return;
    }
    TImageList::AssignTo(Dest);
}

void TsAlphaImageList::CopyAlphaImages(TsAlphaImageList* Dst, TCustomImageList* Src) {
    if (!Dst || !Src || !Dst->HandleAllocated())
        return;
    if (Src->HandleAllocated())
        ImageList_SetBkColor(Src->Handle(), CLR_NONE);
    auto* AlphaSrc = DynCast<TsAlphaImageList>(Src);
    if (AlphaSrc && Dst->KeepsItems()) {
        Dst->FItems->Assign(AlphaSrc->FItems);
        Dst->GenerateImages();
        return;
    }
    TFlagScope Guard(Dst->FChanging);
    HIMAGELIST H = Dst->Handle();
    ImageList_Remove(H, -1);
    ImageList_SetBkColor(H, CLR_NONE);
    for (int I = 0, N = Src->Count(); I < N; ++I) {
        HICON Icon = ImageList_GetIcon(Src->Handle(), I, ILD_TRANSPARENT);
        if (!Icon)
            continue;
        ImageList_ReplaceIcon(H, -1, Icon);
        DestroyIcon(Icon);
    }
}

void TsAlphaImageList::ReadData(TStream&) {}

void TsAlphaImageList::WriteData(TStream&) {}

void acAlphaImageListInitialization() {
    RegisterClasses({TsAlphaImageList::StaticClass(), TsImgListItem::StaticClass(), TsImgListItems::StaticClass()});
}
