#include "ImgList.h"

#include <algorithm>
#include <cstring>

namespace {

using namespace ImgListConsts;

[[noreturn]] void RaiseInvalidOperation(const char* Msg) { throw EInvalidOperation(Msg); }

// A DC of the screen's kind that gives back what was selected into it.
class TMemDC {
public:
    TMemDC() : FDC(CreateCompatibleDC(nullptr)) {}
    ~TMemDC() {
        if (FOld)
            SelectObject(FDC, FOld);
        DeleteDC(FDC);
    }
    void Select(HGDIOBJ Obj) {
        HGDIOBJ Prev = SelectObject(FDC, Obj);
        if (!FOld)
            FOld = Prev;
    }
    operator HDC() const { return FDC; }

private:
    HDC FDC;
    HGDIOBJ FOld = nullptr;
};

// A 32-bit top-down DIB section; Bits points at its pixels (blue, green, red, unused).
HBITMAP CreateDib32(int Width, int Height, DWORD** Bits) {
    BITMAPINFO Info{};
    Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    Info.bmiHeader.biWidth = Width;
    Info.bmiHeader.biHeight = -Height;
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = 32;
    Info.bmiHeader.biCompression = BI_RGB;
    void* P = nullptr;
    HBITMAP B = CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &P, nullptr, 0);
    if (!B)
        throw EOutOfResources(GraphicsConsts::SOutOfResources);
    *Bits = static_cast<DWORD*>(P);
    return B;
}

// A bitmap's pixels copied into a DIB section that no DC holds (the system list takes bitmaps
// only when they are selected nowhere, and AddMasked would otherwise blacken the caller's pixels).
HBITMAP CopyBitmap(TBitmap* Source, DWORD** Bits) {
    int W = Source->Width(), H = Source->Height();
    HBITMAP B = CreateDib32(W, H, Bits);
    TMemDC DC;
    DC.Select(B);
    BitBlt(DC, 0, 0, W, H, Source->Canvas()->Handle(), 0, 0, SRCCOPY);
    GdiFlush();
    return B;
}

// A monochrome mask: 1 (transparent) where Transparent(pixel) holds.
template <class F>
HBITMAP MakeMask(int Width, int Height, F Transparent) {
    int Stride = ((Width + 15) / 16) * 2;  // monochrome DDB rows are word aligned
    std::vector<BYTE> Rows(static_cast<std::size_t>(Stride) * Height, 0);
    for (int Y = 0; Y < Height; ++Y)
        for (int X = 0; X < Width; ++X)
            if (Transparent(X, Y))
                Rows[static_cast<std::size_t>(Y) * Stride + X / 8] |= static_cast<BYTE>(0x80 >> (X % 8));
    return CreateBitmap(Width, Height, 1, 1, Rows.data());
}

COLORREF ImageColor(TColor Color) {
    if (Color == clNone)
        return CLR_NONE;
    if (Color == clDefault)
        return CLR_DEFAULT;
    return static_cast<COLORREF>(ColorToRGB(Color));
}

// The stream header of the image data ("Bitmap").
struct TImageDataHeader {
    char Magic[4];
    LongInt Count;
    LongInt Width;
    LongInt Height;
    LongInt Masked;
};
constexpr char ImageDataMagic[4] = {'Q', 'I', 'L', '1'};
// Large enough for any list the program keeps, small enough that bad data cannot ask for gigabytes.
constexpr LongInt MaxStreamedImages = 4096;
constexpr LongInt MaxStreamedSide = 1024;

}  // namespace

// ---------------------------------------------------------------------------------------------
// TChangeLink

TChangeLink::~TChangeLink() {
    if (FSender)
        FSender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
    if (FSender)
        OnChange(FSender);
}

// ---------------------------------------------------------------------------------------------
// TCustomImageList

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::~TCustomImageList() {
    for (TChangeLink* Link : FClients)
        Link->SetSender(nullptr);
    FClients.clear();
    FreeHandle();
}

void TCustomImageList::BeforeDestruction() {
    // Clients forget the list before it goes; their own free notifications follow.
    for (TChangeLink* Link : FClients)
        Link->SetSender(nullptr);
    FClients.clear();
    TComponent::BeforeDestruction();
}

void TCustomImageList::DefineClass(TClassBuilder<TCustomImageList>& B) {
    B.Property("AllocBy", &TCustomImageList::AllocBy, &TCustomImageList::SetAllocBy).Default(4);
    B.Property("BlendColor", &TCustomImageList::BlendColor, &TCustomImageList::SetBlendColor)
        .TypeName("TColor")
        .Default(clNone);
    B.Property("BkColor", &TCustomImageList::BkColor, &TCustomImageList::SetBkColor).TypeName("TColor").Default(clNone);
    B.Property("DrawingStyle", &TCustomImageList::DrawingStyle, &TCustomImageList::SetDrawingStyle).Default(dsNormal);
    B.Property("Height", &TCustomImageList::Height, &TCustomImageList::SetHeight).Default(16);
    B.Property("ImageType", &TCustomImageList::ImageType, &TCustomImageList::SetImageType).Default(itImage);
    B.Property("Masked", &TCustomImageList::Masked, &TCustomImageList::SetMasked).Default(true);
    B.Property("ShareImages", &TCustomImageList::ShareImages, &TCustomImageList::SetShareImages).Default(false);
    B.Property("Width", &TCustomImageList::Width, &TCustomImageList::SetWidth).Default(16);
    B.Property("OnChange", [](TCustomImageList* L) { return L->OnChange; },
               [](TCustomImageList* L, const TNotifyEvent& E) { L->OnChange = E; });
}

HIMAGELIST TCustomImageList::Handle() {
    if (!FHandle)
        CreateImageList();
    return FHandle;
}

void TCustomImageList::CreateImageList() {
    UINT Flags = ILC_COLOR24 | (FMasked ? ILC_MASK : 0);
    FHandle = ImageList_Create(FWidth, FHeight, Flags, FAllocBy, FAllocBy);
    if (!FHandle)
        RaiseInvalidOperation(SInvalidImageList);
    ImageList_SetBkColor(FHandle, ImageColor(FBkColor));
}

void TCustomImageList::SetHandle(HIMAGELIST Value) {
    if (Value == FHandle)
        return;
    FreeHandle();
    FHandle = Value;
    if (FHandle) {
        int W = 0, H = 0;
        if (ImageList_GetIconSize(FHandle, &W, &H)) {
            FWidth = W;
            FHeight = H;
        }
        COLORREF Bk = ImageList_GetBkColor(FHandle);
        FBkColor = Bk == CLR_NONE ? clNone : static_cast<TColor>(Bk);
    }
    Change();
}

void TCustomImageList::FreeHandle() {
    if (FHandle && !FShareImages)
        ImageList_Destroy(FHandle);
    FHandle = nullptr;
}

void TCustomImageList::SetSize(int AWidth, int AHeight) {
    if (AWidth < 1 || AHeight < 1)
        RaiseInvalidOperation(SInvalidImageSize);
    if (AWidth == FWidth && AHeight == FHeight)
        return;
    FWidth = AWidth;
    FHeight = AHeight;
    if (FHandle) {
        // The system list keeps one size: the images go, as the platform's list drops them.
        FreeHandle();
        Change();
    }
}

void TCustomImageList::SetMasked(bool Value) {
    if (Value == FMasked)
        return;
    FMasked = Value;
    if (FHandle) {
        FreeHandle();
        Change();
    }
}

void TCustomImageList::SetImageType(TImageType Value) {
    if (Value != FImageType) {
        FImageType = Value;
        Change();
    }
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle Value) {
    if (Value != FDrawingStyle) {
        FDrawingStyle = Value;
        Change();
    }
}

void TCustomImageList::SetBkColor(TColor Value) {
    if (Value == FBkColor)
        return;
    FBkColor = Value;
    if (FHandle)
        ImageList_SetBkColor(FHandle, ImageColor(Value));
    Change();
}

void TCustomImageList::SetBlendColor(TColor Value) {
    if (Value != FBlendColor) {
        FBlendColor = Value;
        Change();
    }
}

int TCustomImageList::Count() { return FHandle ? ImageList_GetImageCount(FHandle) : 0; }

void TCustomImageList::CheckIndex(int Index) {
    if (Index < 0 || Index >= Count())
        RaiseInvalidOperation(SImageIndexError);
}

namespace {
// The image and mask bitmaps a source bitmap and an optional mask bitmap give.
struct TImageBitmaps {
    HBITMAP Image = nullptr;
    HBITMAP Mask = nullptr;
    ~TImageBitmaps() {
        if (Image)
            DeleteObject(Image);
        if (Mask)
            DeleteObject(Mask);
    }
};

void MakeBitmaps(TBitmap* Image, TBitmap* Mask, bool Masked, TImageBitmaps& Out) {
    DWORD* Bits = nullptr;
    Out.Image = CopyBitmap(Image, &Bits);
    if (!Masked)
        return;
    int W = Image->Width(), H = Image->Height();
    if (!Mask || Mask->Empty()) {
        Out.Mask = MakeMask(W, H, [](int, int) { return false; });
        return;
    }
    DWORD* MaskBits = nullptr;
    HBITMAP MaskCopy = CopyBitmap(Mask, &MaskBits);
    int MW = Mask->Width(), MH = Mask->Height();
    Out.Mask = MakeMask(W, H, [&](int X, int Y) {
        return X < MW && Y < MH && (MaskBits[static_cast<std::size_t>(Y) * MW + X] & 0xFFFFFF) == 0xFFFFFF;
    });
    DeleteObject(MaskCopy);
}

void MakeMaskedBitmaps(TBitmap* Image, TColor MaskColor, TImageBitmaps& Out) {
    DWORD* Bits = nullptr;
    Out.Image = CopyBitmap(Image, &Bits);
    int W = Image->Width(), H = Image->Height();
    if (MaskColor == clDefault || MaskColor == clNone)
        MaskColor = Image->TransparentColor();
    COLORREF Key = static_cast<COLORREF>(ColorToRGB(MaskColor));
    // DIB words are 0x00RRGGBB, a COLORREF 0x00BBGGRR.
    DWORD KeyWord = (GetRValue(Key) << 16) | (GetGValue(Key) << 8) | GetBValue(Key);
    Out.Mask = MakeMask(W, H, [&](int X, int Y) { return (Bits[static_cast<std::size_t>(Y) * W + X] & 0xFFFFFF) == KeyWord; });
    // Transparent pixels are black in the image, as the system list keeps them, so that the
    // transparent draw (mask AND, image XOR) leaves the background alone.
    for (std::size_t I = 0, N = static_cast<std::size_t>(W) * H; I < N; ++I)
        if ((Bits[I] & 0xFFFFFF) == KeyWord)
            Bits[I] = 0;
}
}  // namespace

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
    if (!Image || Image->Empty())
        return -1;
    if (Image->Height() != FHeight)
        RaiseInvalidOperation(SInvalidImageSize);
    TImageBitmaps B;
    MakeBitmaps(Image, Mask, FMasked, B);
    int Result = ImageList_Add(Handle(), B.Image, B.Mask);
    if (Result < 0)
        RaiseInvalidOperation(SAddImage);
    Change();
    return Result;
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
    if (!Image || Image->Empty())
        return -1;
    if (Image->Height() != FHeight)
        RaiseInvalidOperation(SInvalidImageSize);
    if (!FMasked)
        return Add(Image, nullptr);
    TImageBitmaps B;
    MakeMaskedBitmaps(Image, MaskColor, B);
    int Result = ImageList_Add(Handle(), B.Image, B.Mask);
    if (Result < 0)
        RaiseInvalidOperation(SAddImage);
    Change();
    return Result;
}

int TCustomImageList::AddIcon(TIcon* Image) {
    if (!Image || Image->Empty())
        return -1;
    int Result = ImageList_ReplaceIcon(Handle(), -1, Image->Handle());
    if (Result < 0)
        RaiseInvalidOperation(SAddImage);
    Change();
    return Result;
}

void TCustomImageList::AddImages(TCustomImageList* Value) {
    if (!Value || Value == this)
        return;
    BeginUpdate();
    try {
        for (int I = 0, N = Value->Count(); I < N; ++I) {
            HICON H = ImageList_GetIcon(Value->Handle(), I, ILD_NORMAL);
            if (!H)
                continue;
            ImageList_ReplaceIcon(Handle(), -1, H);
            DestroyIcon(H);
            FChanged = true;
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCustomImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask) {
    CheckIndex(Index);
    if (!Image || Image->Empty() || Image->Height() != FHeight || Image->Width() < FWidth)
        RaiseInvalidOperation(SInvalidImageSize);
    TImageBitmaps B;
    MakeBitmaps(Image, Mask, FMasked, B);
    if (!ImageList_Replace(FHandle, Index, B.Image, B.Mask))
        RaiseInvalidOperation(SReplaceImage);
    Change();
}

void TCustomImageList::ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor) {
    CheckIndex(Index);
    if (!NewImage || NewImage->Empty() || NewImage->Height() != FHeight || NewImage->Width() < FWidth)
        RaiseInvalidOperation(SInvalidImageSize);
    TImageBitmaps B;
    if (FMasked)
        MakeMaskedBitmaps(NewImage, MaskColor, B);
    else
        MakeBitmaps(NewImage, nullptr, false, B);
    if (!ImageList_Replace(FHandle, Index, B.Image, B.Mask))
        RaiseInvalidOperation(SReplaceImage);
    Change();
}

void TCustomImageList::ReplaceIcon(int Index, TIcon* Image) {
    CheckIndex(Index);
    if (!Image || Image->Empty())
        return;
    if (ImageList_ReplaceIcon(FHandle, Index, Image->Handle()) < 0)
        RaiseInvalidOperation(SReplaceImage);
    Change();
}

void TCustomImageList::Insert(int Index, TBitmap* Image, TBitmap* Mask) {
    int N = Count();
    if (Index < 0 || Index > N)
        RaiseInvalidOperation(SImageIndexError);
    BeginUpdate();
    try {
        int First = Add(Image, Mask);
        int Added = First < 0 ? 0 : Count() - N;
        for (int I = 0; I < Added; ++I)
            Move(N + I, Index + I);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCustomImageList::Move(int CurIndex, int NewIndex) {
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    if (CurIndex == NewIndex)
        return;
    // Neighbours change places one step at a time, so the images between shift by one.
    int Step = NewIndex > CurIndex ? 1 : -1;
    for (int I = CurIndex; I != NewIndex; I += Step)
        ImageList_Copy(FHandle, I + Step, FHandle, I, ILCF_SWAP);
    Change();
}

void TCustomImageList::Delete(int Index) {
    if (Index == -1) {
        if (FHandle && Count() > 0) {
            ImageList_Remove(FHandle, -1);
            Change();
        }
        return;
    }
    CheckIndex(Index);
    ImageList_Remove(FHandle, Index);
    Change();
}

UINT TCustomImageList::DrawStyleFlags(TDrawingStyle ADrawingStyle, TImageType AImageType) const {
    UINT Style = ILD_NORMAL;
    switch (ADrawingStyle) {
    case dsFocus: Style = ILD_FOCUS; break;
    case dsSelected: Style = ILD_SELECTED; break;
    case dsNormal: Style = ILD_NORMAL; break;
    case dsTransparent: Style = ILD_TRANSPARENT; break;
    }
    if (AImageType == itMask)
        Style |= ILD_MASK;
    return Style;
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) {
    Draw(Canvas, X, Y, Index, FDrawingStyle, FImageType, Enabled);
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle,
                            TImageType AImageType, bool Enabled) {
    if (!Canvas || !FHandle || Index < 0 || Index >= Count())
        return;
    DoDraw(Index, Canvas, X, Y, DrawStyleFlags(ADrawingStyle, AImageType), Enabled);
}

void TCustomImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled) {
    HDC DC = Canvas->Handle();
    if (Enabled) {
        ImageList_DrawEx(FHandle, Index, DC, X, Y, 0, 0, ImageColor(FBkColor), ImageColor(FBlendColor), Style);
        return;
    }
    // Disabled: the image's shape embossed, highlight one pixel down and right, shadow on top, as
    // the system draws disabled glyphs.
    HBITMAP Shape = CreateBitmap(FWidth, FHeight, 1, 1, nullptr);
    {
        TMemDC MaskDC;
        MaskDC.Select(Shape);
        PatBlt(MaskDC, 0, 0, FWidth, FHeight, WHITENESS);
        // Black where the image is opaque: its mask, or for an unmasked list every non-background pixel.
        ImageList_DrawEx(FHandle, Index, MaskDC, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_MASK);
        if (!FMasked) {
            HBITMAP Img = CreateCompatibleBitmap(DC, FWidth, FHeight);
            {
                TMemDC ColorDC;
                ColorDC.Select(Img);
                ImageList_DrawEx(FHandle, Index, ColorDC, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_NORMAL);
                // Colour to monochrome: the button face becomes white (background), the rest black.
                ::SetBkColor(ColorDC, static_cast<COLORREF>(ColorToRGB(clBtnFace)));
                BitBlt(MaskDC, 0, 0, FWidth, FHeight, ColorDC, 0, 0, SRCCOPY);
            }
            DeleteObject(Img);
        }
        COLORREF OldText = SetTextColor(DC, RGB(0, 0, 0));
        COLORREF OldBk = ::SetBkColor(DC, RGB(255, 255, 255));
        // PSDPxax: the brush where the source is black, the destination where it is white.
        constexpr DWORD RopBrushOnBlack = 0x00B8074A;
        HBRUSH Hi = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(clBtnHighlight)));
        HGDIOBJ OldBrush = SelectObject(DC, Hi);
        BitBlt(DC, X + 1, Y + 1, FWidth, FHeight, MaskDC, 0, 0, RopBrushOnBlack);
        HBRUSH Sh = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(clBtnShadow)));
        SelectObject(DC, Sh);
        BitBlt(DC, X, Y, FWidth, FHeight, MaskDC, 0, 0, RopBrushOnBlack);
        SelectObject(DC, OldBrush);
        DeleteObject(Hi);
        DeleteObject(Sh);
        SetTextColor(DC, OldText);
        ::SetBkColor(DC, OldBk);
    }
    DeleteObject(Shape);
}

bool TCustomImageList::GetBitmap(int Index, TBitmap* Image) {
    if (!Image || !FHandle || Index < 0 || Index >= Count())
        return false;
    Image->SetSize(FWidth, FHeight);
    TCanvas* C = Image->Canvas();
    if (FBkColor != clNone) {
        C->Brush()->SetColor(FBkColor);
        C->FillRect(Rect(0, 0, FWidth, FHeight));
    }
    ImageList_DrawEx(FHandle, Index, C->Handle(), 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_NORMAL);
    return true;
}

bool TCustomImageList::GetIcon(int Index, TIcon* Image) { return GetIcon(Index, Image, FDrawingStyle, FImageType); }

bool TCustomImageList::GetIcon(int Index, TIcon* Image, TDrawingStyle ADrawingStyle, TImageType AImageType) {
    if (!Image || !FHandle || Index < 0 || Index >= Count())
        return false;
    HICON H = ImageList_GetIcon(FHandle, Index, DrawStyleFlags(ADrawingStyle, AImageType));
    if (!H)
        return false;
    Image->SetHandle(H);
    return true;
}

void TCustomImageList::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FChanged) {
        FChanged = false;
        Change();
    }
}

void TCustomImageList::Change() {
    if (FUpdateCount > 0) {
        FChanged = true;
        return;
    }
    if (FComponentState.Contains(csLoading) || FComponentState.Contains(csDestroying))
        return;
    // A client may unregister itself while being told: walk a copy.
    std::vector<TChangeLink*> Clients = FClients;
    for (TChangeLink* Link : Clients)
        if (std::find(FClients.begin(), FClients.end(), Link) != FClients.end())
            Link->Change();
    OnChange(this);
}

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
    if (!Value || std::find(FClients.begin(), FClients.end(), Value) != FClients.end())
        return;
    if (Value->Sender() && Value->Sender() != this)
        Value->Sender()->UnRegisterChanges(Value);
    Value->SetSender(this);
    FClients.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
    auto It = std::find(FClients.begin(), FClients.end(), Value);
    if (It == FClients.end())
        return;
    FClients.erase(It);
    Value->SetSender(nullptr);
}

void TCustomImageList::Loaded() {
    TComponent::Loaded();
    // Images read while loading announce themselves once, now that the clients are linked.
    Change();
}

void TCustomImageList::Assign(TPersistent* Source) {
    auto* Src = DynCast<TCustomImageList>(Source);
    if (!Source) {
        FreeHandle();
        Change();
        return;
    }
    if (!Src) {
        TComponent::Assign(Source);
        return;
    }
    if (Src == this)
        return;
    BeginUpdate();
    try {
        FreeHandle();
        FWidth = Src->FWidth;
        FHeight = Src->FHeight;
        FMasked = Src->FMasked;
        FImageType = Src->FImageType;
        FDrawingStyle = Src->FDrawingStyle;
        FBkColor = Src->FBkColor;
        FBlendColor = Src->FBlendColor;
        FAllocBy = Src->FAllocBy;
        if (Src->FHandle) {
            FHandle = ImageList_Duplicate(Src->FHandle);
            if (!FHandle)
                RaiseInvalidOperation(SInvalidImageList);
        }
        FChanged = true;
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCustomImageList::AssignTo(TPersistent* Dest) {
    if (auto* D = DynCast<TCustomImageList>(Dest)) {
        D->Assign(this);
        return;
    }
    TComponent::AssignTo(Dest);
}

bool TCustomImageList::HasImageData() { return Count() > 0; }

void TCustomImageList::DefineProperties(TFiler& Filer) {
    TComponent::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "Bitmap", [this](TStream& S) { ReadData(S); }, [this](TStream& S) { WriteData(S); }, HasImageData());
}

void TCustomImageList::ReadData(TStream& Stream) {
    TImageDataHeader H{};
    if (Stream.Read(&H, sizeof(H)) != static_cast<LongInt>(sizeof(H)) ||
        std::memcmp(H.Magic, ImageDataMagic, sizeof(H.Magic)) != 0 || H.Count < 0 || H.Count > MaxStreamedImages ||
        H.Width < 1 || H.Width > MaxStreamedSide || H.Height < 1 || H.Height > MaxStreamedSide)
        throw EReadError(SImageReadFail);
    std::size_t Pixels = static_cast<std::size_t>(H.Width) * H.Height;
    std::size_t PerImage = Pixels * 4 + (H.Masked ? Pixels : 0);
    if (Stream.Size() - Stream.Position() < static_cast<Int64>(PerImage * H.Count))
        throw EReadError(SImageReadFail);
    BeginUpdate();
    try {
        FreeHandle();
        FWidth = H.Width;
        FHeight = H.Height;
        FMasked = H.Masked != 0;
        CreateImageList();
        if (H.Count > 0) {
            // All images side by side in one strip that the system list takes in one call: a bitmap
            // and a mask per image made reading a form with a full list a noticeable part of its start.
            const std::size_t Row = static_cast<std::size_t>(FWidth);
            const std::size_t StripRow = Row * static_cast<std::size_t>(H.Count);
            DWORD* Bits = nullptr;
            HBITMAP Img = CreateDib32(FWidth * H.Count, FHeight, &Bits);
            std::vector<DWORD> Image(Pixels);
            std::vector<BYTE> Mask(FMasked ? Pixels * static_cast<std::size_t>(H.Count) : 0);
            try {
                for (LongInt I = 0; I < H.Count; ++I) {
                    Stream.ReadBuffer(Image.data(), static_cast<LongInt>(Pixels * 4));
                    for (int Y = 0; Y < FHeight; ++Y)
                        std::memcpy(Bits + static_cast<std::size_t>(Y) * StripRow + static_cast<std::size_t>(I) * Row,
                                    Image.data() + static_cast<std::size_t>(Y) * Row, Row * 4);
                    if (FMasked)
                        Stream.ReadBuffer(Mask.data() + static_cast<std::size_t>(I) * Pixels, static_cast<LongInt>(Pixels));
                }
            } catch (...) {
                DeleteObject(Img);
                throw;
            }
            HBITMAP MaskBmp = nullptr;
            if (FMasked)
                MaskBmp = MakeMask(FWidth * H.Count, FHeight, [&](int X, int Y) {
                    const std::size_t I = static_cast<std::size_t>(X / FWidth);
                    return Mask[I * Pixels + static_cast<std::size_t>(Y) * Row + static_cast<std::size_t>(X % FWidth)] != 0;
                });
            int R = ImageList_Add(FHandle, Img, MaskBmp);
            DeleteObject(Img);
            if (MaskBmp)
                DeleteObject(MaskBmp);
            if (R < 0 || ImageList_GetImageCount(FHandle) != H.Count)
                throw EReadError(SImageReadFail);
        }
        FChanged = true;
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCustomImageList::WriteData(TStream& Stream) {
    TImageDataHeader H{};
    std::memcpy(H.Magic, ImageDataMagic, sizeof(H.Magic));
    H.Count = Count();
    H.Width = FWidth;
    H.Height = FHeight;
    H.Masked = FMasked ? 1 : 0;
    Stream.WriteBuffer(&H, sizeof(H));
    std::size_t Pixels = static_cast<std::size_t>(FWidth) * FHeight;
    std::vector<BYTE> Mask(Pixels);
    for (int I = 0; I < H.Count; ++I) {
        DWORD* Bits = nullptr;
        HBITMAP Img = CreateDib32(FWidth, FHeight, &Bits);
        {
            TMemDC DC;
            DC.Select(Img);
            PatBlt(DC, 0, 0, FWidth, FHeight, BLACKNESS);
            // The colour bits as the list keeps them (transparent pixels black), without the mask.
            ImageList_DrawEx(FHandle, I, DC, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_NORMAL | ILD_IMAGE);
            GdiFlush();
        }
        if (FMasked) {
            DWORD* MaskBits = nullptr;
            HBITMAP M = CreateDib32(FWidth, FHeight, &MaskBits);
            {
                TMemDC DC;
                DC.Select(M);
                PatBlt(DC, 0, 0, FWidth, FHeight, WHITENESS);
                ImageList_DrawEx(FHandle, I, DC, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_MASK);
                GdiFlush();
            }
            for (std::size_t P = 0; P < Pixels; ++P)
                Mask[P] = (MaskBits[P] & 0xFFFFFF) != 0 ? 1 : 0;
            DeleteObject(M);
        }
        for (std::size_t P = 0; P < Pixels; ++P)
            Bits[P] &= 0xFFFFFF;
        Stream.WriteBuffer(Bits, static_cast<LongInt>(Pixels * 4));
        if (FMasked)
            Stream.WriteBuffer(Mask.data(), static_cast<LongInt>(Pixels));
        DeleteObject(Img);
    }
}

bool SetImageListOf(TComponent* Client, TCustomImageList*& Field, TCustomImageList* Value, TChangeLink* Link) {
    if (Value == Field)
        return false;
    if (Field) {
        Field->UnRegisterChanges(Link);
        Field->RemoveFreeNotification(Client);
    }
    Field = Value;
    if (Field) {
        Field->RegisterChanges(Link);
        Field->FreeNotification(Client);
    }
    return true;
}

void InitImgList() {
    InitCommonControls();
    RegisterClasses({TImageList::StaticClass()});
}
