#include "lmdcont.h"

#include "Filer.h"
#include "lmddraw.h"
#include "lmdstreams.h"

#include <algorithm>

TLMDContainer* GlobalContainer = nullptr;

namespace {
[[noreturn]] void CannotOpen(const std::string& FileName) {
    throw Exception(Format("%s: %s", {"Cannot open file %s", FileName}));
}

int ColoursOf(TLMDSavePixelFormat F) {
    switch (F) {
        case spfMono: return 2;
        case spf4bit: return 16;
        case spf8bit: return 256;
        default: return -1;
    }
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Items

void TLMDListItem::DefineClass(TClassBuilder<TLMDListItem>& B) {
    B.Property("Description", &TLMDListItem::Description, &TLMDListItem::SetDescription);
    B.Property("Ident", &TLMDListItem::Ident, &TLMDListItem::SetIdent).Default(0);
}

void TLMDListItem::DefineProperties(TFiler& Filer) {
    TLMDCustomComponent::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "Internal", [this](TStream& S) { ReadFromStream(&S); }, [this](TStream& S) { WriteToStream(&S); }, true);
}

TLMDCustomContainer* TLMDListItem::Container() const { return DynCast<TLMDCustomContainer>(Owner()); }

void TLMDListItem::NotifyChange() {
    TLMDCustomComponent::NotifyChange();
    if (!ChangeLocked())
        if (TLMDCustomContainer* C = Container())
            C->ItemChanged(this);
}

Byte TLMDListItem::HeaderFlags() {
    Byte Flags = 0;
    if (Compressed)
        Flags |= hfCompressed;
    if (!FDescription.empty())
        Flags |= hfDescription;
    if (FIdent != 0)
        Flags |= hfIdent;
    if (!IsEmpty())
        Flags |= hfData;
    return Flags;
}

void TLMDListItem::WriteToStream(TStream* Stream) {
    const Byte Flags = HeaderFlags();
    lmdstreams::WriteByteValue(Stream, Flags);
    if (Flags & hfDescription)
        lmdstreams::WriteShortText(Stream, FDescription);
    if (Flags & hfIdent)
        lmdstreams::WriteLongInt(Stream, FIdent);
    if (Flags & hfData || DataAlways())
        WriteData(Stream);
}

void TLMDListItem::ReadFromStream(TStream* Stream) {
    const Byte Flags = lmdstreams::ReadByteValue(Stream);
    Compressed = Flags & hfCompressed;
    FDescription = Flags & hfDescription ? lmdstreams::ReadShortText(Stream) : std::string();
    FIdent = Flags & hfIdent ? static_cast<Word>(lmdstreams::ReadLongInt(Stream)) : 0;
    PixelFormat = Flags & hfMono ? spfMono : Flags & hf4bit ? spf4bit : Flags & hf8bit ? spf8bit : spfDefault;
    BeginChangeLock();
    try {
        ClearData();
        if (Flags & hfData || DataAlways())
            ReadData(Stream);
    } catch (...) {
        EndChangeLock(false);
        throw;
    }
    EndChangeLock(true);
}

TLMDBitmapListItem::TLMDBitmapListItem(TComponent* AOwner) : TLMDListItem(AOwner), FBitmap(Create<TBitmap>()) {}

void TLMDBitmapListItem::DefineClass(TClassBuilder<TLMDBitmapListItem>& B) {
    B.Property("Bitmap", &TLMDBitmapListItem::Bitmap, &TLMDBitmapListItem::SetBitmap).Stored(false);
}

void TLMDBitmapListItem::SetBitmap(TBitmap* Value) {
    FBitmap->Assign(Value);
    NotifyChange();
}

void TLMDBitmapListItem::ClearData() { FBitmap->Assign(nullptr); }

Byte TLMDBitmapListItem::HeaderFlags() {
    static const Byte FormatFlags[] = {0, hfMono, hf4bit, hf8bit};
    return TLMDListItem::HeaderFlags() | FormatFlags[PixelFormat];
}

void TLMDBitmapListItem::WriteData(TStream* Stream) {
    lmdstreams::WriteBitmapData(Stream, FBitmap.get(), Compressed, ColoursOf(PixelFormat));
}
void TLMDBitmapListItem::ReadData(TStream* Stream) { lmdstreams::ReadBitmapData(Stream, FBitmap.get(), Compressed); }

TBitmap* TLMDBitmapListItem::Bitmap() {
    if (FBitmap->Empty() && !ComponentState().Contains(csDesigning) && !ComponentState().Contains(csLoading))
        FetchBitmap();
    return FBitmap.get();
}

void TLMDBitmapListItem::FetchBitmap() {
    TLMDCustomContainer* C = Container();
    if (!C)
        return;
    BeginChangeLock();
    try {
        switch (C->SourceKind) {
            case csContainerFile:
                ReadItemFromContainerFile(lmdprocs::PathForPrefix(C->PathPrefix, true) + C->FileName, 1, this, Ident());
                break;
            case csResources: FBitmap->LoadFromResourceID(GetModuleHandleA(nullptr), Ident()); break;
            case csSingleFiles: {
                const std::string Dir = C->PathPrefix == ppFixed ? lmdprocs::WithTrailingBackslash(ExtractFilePath(C->FileName))
                                                                 : lmdprocs::PathForPrefix(C->PathPrefix, true);
                FBitmap->LoadFromFile(Dir + ExtractFileName(C->FileName).substr(0, 3) + IntToStr(Ident()) + ".bmp");
                break;
            }
            default: break;  // the form holds the bitmaps; a resource library is never read
        }
    } catch (...) {
        EndChangeLock(false);
        throw;
    }
    EndChangeLock(false);
}

TLMDImageListItem::TLMDImageListItem(TComponent* AOwner)
    : TLMDListItem(AOwner), FStrip(Create<TBitmap>()), FMask(Create<TBitmap>()) {}

void TLMDImageListItem::DefineClass(TClassBuilder<TLMDImageListItem>& B) {
    using C = TLMDImageListItem;
    B.Property("AllocBy", &C::AllocBy, &C::SetAllocBy).Default(4);
    B.Property("Masked", &C::Masked, &C::SetMasked).Default(false);
    B.Property("Height", &C::Height, &C::SetHeight).Default(16);
    B.Property("Width", &C::Width, &C::SetWidth).Default(16);
}

Byte TLMDImageListItem::HeaderFlags() {
    static const Byte FormatFlags[] = {0, hfMono, hf4bit, hf8bit};
    return TLMDListItem::HeaderFlags() | FormatFlags[PixelFormat];
}

void TLMDImageListItem::RebuildCells(int Count) {
    FCells.clear();
    for (int I = 0; I < Count; ++I)
        FCells.push_back(static_cast<LongWord>(I * FWidth) | (FMasked ? 0x10000u : 0u));
}

void TLMDImageListItem::ClearImages() {
    FCells.clear();
    FUsedWidth = 0;
    FStrip->SetSize(0, 0);
    FMask->SetSize(0, 0);
}

void TLMDImageListItem::SetWidth(int Value) {
    if (Value <= 0 || Value == FWidth)
        return;
    FWidth = Value;
    ClearImages();
    NotifyChange();
}

void TLMDImageListItem::SetHeight(int Value) {
    if (Value <= 0 || Value == FHeight)
        return;
    FHeight = Value;
    ClearImages();
    NotifyChange();
}

void TLMDImageListItem::SetMasked(bool Value) {
    if (Value == FMasked)
        return;
    FMasked = Value;
    if (Value) {
        FMask->SetMonochrome(true);
        FMask->SetSize(FStrip->Width(), FStrip->Height());
    } else {
        FMask->SetSize(0, 0);
    }
    RebuildCells(ImageCount());
    NotifyChange();
}

TRect TLMDImageListItem::CellRect(int Cell) const {
    const LONG X = static_cast<LONG>(FCells.at(static_cast<size_t>(Cell)) & 0xFFFF);
    return TRect{X, 0, X + FWidth, FHeight};
}

void TLMDImageListItem::AppendImagesFrom(TLMDImageListItem* Source) {
    if (Source->FWidth != FWidth || Source->FHeight != FHeight)
        throw EInvalidGraphicOperation("Invalid image size");
    if (Source->FCells.empty())
        return;
    const int Added = Source->ImageCount() * FWidth;
    if (FUsedWidth + Added > MaxStripWidth)
        throw EInvalidGraphicOperation("Too many images");
    if (FStrip->Width() < FUsedWidth + Added) {
        FStrip->SetSize(FUsedWidth + Added, FHeight);
        if (FMasked) {
            FMask->SetMonochrome(true);
            FMask->SetSize(FUsedWidth + Added, FHeight);
        }
    }
    const TRect From{0, 0, Added, FHeight}, To{FUsedWidth, 0, FUsedWidth + Added, FHeight};
    FStrip->Canvas()->CopyRect(To, Source->FStrip->Canvas(), From);
    if (FMasked && Source->FMasked)
        FMask->Canvas()->CopyRect(To, Source->FMask->Canvas(), From);
    for (int I = 0; I < Source->ImageCount(); ++I)
        FCells.push_back(static_cast<LongWord>(ImageCount() * FWidth) | (FMasked ? 0x10000u : 0u));
    FUsedWidth += Added;
    NotifyChange();
}

// ---------------------------------------------------------------------------------------------
// Drawing cells

namespace {
// A cell-sized copy of what lies at (X, Y) of Canvas, or a fill of Background when it is a colour.
void FillBehind(TBitmap* Cell, TCanvas* Canvas, int X, int Y, TColor Background) {
    const TRect R{0, 0, Cell->Width(), Cell->Height()};
    if (Background != clNone) {
        Cell->Canvas()->Brush()->SetColor(Background);
        Cell->Canvas()->FillRect(R);
    } else {
        Cell->Canvas()->CopyRect(R, Canvas, TRect{X, Y, X + R.Right, Y + R.Bottom});
    }
}

// The cell through its mask: the mask with AND, then the image with OR.
void DrawMasked(HDC Dest, int X, int Y, HDC Strip, HDC Mask, const TRect& Cell) {
    const int W = Cell.Right - Cell.Left, H = Cell.Bottom - Cell.Top;
    const COLORREF OldBk = SetBkColor(Dest, RGB(255, 255, 255)), OldText = SetTextColor(Dest, RGB(0, 0, 0));
    BitBlt(Dest, X, Y, W, H, Mask, Cell.Left, Cell.Top, SRCAND);
    BitBlt(Dest, X, Y, W, H, Strip, Cell.Left, Cell.Top, SRCPAINT);
    SetTextColor(Dest, OldText);
    SetBkColor(Dest, OldBk);
}
}  // namespace

TColor TLMDImageListItem::CellKeyColour(int Cell) {
    const TRect R = CellRect(Cell);
    return FStrip->Canvas()->Pixels(R.Left, R.Bottom - 1);
}

void TLMDImageListItem::DrawCell(TCanvas* Canvas, int X, int Y, int Cell) {
    if (Cell < 0 || Cell >= ImageCount())
        return;
    const TRect R = CellRect(Cell);
    if (!FMasked || ImageType == 1) {
        TBitmap* From = ImageType == 1 && FMasked ? FMask.get() : FStrip.get();
        Canvas->CopyRect(TRect{X, Y, X + FWidth, Y + FHeight}, From->Canvas(), R);
        return;
    }
    if (DrawingStyle == 3 || (DrawingStyle == 2 && BkColor == clNone)) {
        DrawMasked(Canvas->Handle(), X, Y, FStrip->Canvas()->Handle(), FMask->Canvas()->Handle(), R);
        return;
    }
    TOwned<TBitmap> Work(Create<TBitmap>());
    Work->SetSize(FWidth, FHeight);
    FillBehind(Work.get(), Canvas, X, Y, BkColor);
    DrawMasked(Work->Canvas()->Handle(), 0, 0, FStrip->Canvas()->Handle(), FMask->Canvas()->Handle(), R);
    if ((DrawingStyle == 0 || DrawingStyle == 1) && BlendColor != clNone)
        for (int PY = 0; PY < FHeight; ++PY)
            for (int PX = 0; PX < FWidth; ++PX) {
                const bool Blend = DrawingStyle == 1 ? (PX % 2) != (PY % 2) : !(PX % 2 == 1 && PY % 2 == 1);
                if (Blend)
                    Work->Canvas()->SetPixels(PX, PY, BlendColor);
            }
    Canvas->CopyRect(TRect{X, Y, X + FWidth, Y + FHeight}, Work->Canvas(), TRect{0, 0, FWidth, FHeight});
}

void TLMDImageListItem::DrawCellInRect(TCanvas* Canvas, const TRect& Target, TRect& Drawn, int Cell, int Flags) {
    Drawn = TRect{Target.Left, Target.Top, Target.Left, Target.Top};
    if (Cell < 0 || Cell >= ImageCount())
        return;
    const TRect R = CellRect(Cell);
    if (FMasked)
        DrawLayout(Canvas->Handle(), Target, FStrip->Canvas()->Handle(), Drawn, FMask->Handle(), nullptr, 0,
                   Flags | LayoutFlags::WithMask, R);
    else
        DrawLayout(Canvas->Handle(), Target, FStrip->Canvas()->Handle(), Drawn, nullptr, FStrip->Palette(),
                   static_cast<COLORREF>(ColorToRGB(CellKeyColour(Cell))), Flags, R);
}

void TLMDImageListItem::DrawCellClipped(TCanvas* Canvas, const TRect& Target, int Cell, HPALETTE, LongWord Offset,
                                        int Flags) {
    DrawClipped(Canvas->Handle(), Target, Offset, Flags, [&] {
        TRect Drawn;
        DrawCellInRect(Canvas, Target, Drawn, Cell, Flags);
    });
}

void TLMDImageListItem::WriteData(TStream* Stream) {
    lmdstreams::WriteLongInt(Stream, FHeight);
    lmdstreams::WriteLongInt(Stream, FWidth);
    lmdstreams::WriteLongInt(Stream, FAllocBy);
    lmdstreams::WriteByteValue(Stream, FMasked);
    lmdstreams::WriteLongInt(Stream, ImageCount());
    if (FCells.empty())
        return;
    // The strip as far as cells use it.
    TOwned<TBitmap> Used(Create<TBitmap>());
    Used->SetSize(ImageCount() * FWidth, FHeight);
    const TRect Part{0, 0, ImageCount() * FWidth, FHeight};
    Used->Canvas()->CopyRect(Part, FStrip->Canvas(), Part);
    lmdstreams::WriteBitmapData(Stream, Used.get(), Compressed, ColoursOf(PixelFormat));
    if (FMasked)
        lmdstreams::WriteBitmapData(Stream, FMask.get(), Compressed, 2);
}

void TLMDImageListItem::ReadData(TStream* Stream) {
    ClearImages();
    FHeight = lmdstreams::ReadLongInt(Stream);
    FWidth = lmdstreams::ReadLongInt(Stream);
    FAllocBy = lmdstreams::ReadLongInt(Stream);
    FMasked = lmdstreams::ReadByteValue(Stream) != 0;
    const LongInt Count = lmdstreams::ReadLongInt(Stream);
    if (FHeight <= 0 || FWidth <= 0 || Count < 0 || Int64(Count) * FWidth > MaxStripWidth)
        throw EReadError("Stream read error");
    if (Count > 0) {
        lmdstreams::ReadBitmapData(Stream, FStrip.get(), Compressed);
        if (FMasked)
            lmdstreams::ReadBitmapData(Stream, FMask.get(), Compressed);
    }
    if (!FMasked)
        FMask->SetSize(0, 0);
    FUsedWidth = Count > 0 ? FStrip->Width() : 0;
    RebuildCells(Count);
}

TLMDStringListItem::TLMDStringListItem(TComponent* AOwner) : TLMDListItem(AOwner), FItems(Create<TStringList>()) {}
void TLMDStringListItem::DefineClass(TClassBuilder<TLMDStringListItem>& B) {
    B.Property("Items", &TLMDStringListItem::Items, &TLMDStringListItem::SetItems).Stored(false);
}
void TLMDStringListItem::WriteData(TStream* Stream) { lmdstreams::WriteStringsData(Stream, FItems.get(), Compressed); }
void TLMDStringListItem::ReadData(TStream* Stream) { lmdstreams::ReadStringsData(Stream, FItems.get(), Compressed); }

TLMDWaveListItem::TLMDWaveListItem(TComponent* AOwner) : TLMDListItem(AOwner), FWave(Create<TLMDWave>()) {}
void TLMDWaveListItem::DefineClass(TClassBuilder<TLMDWaveListItem>& B) {
    B.Property("Wave", &TLMDWaveListItem::Wave, &TLMDWaveListItem::SetWave).Stored(false);
}
void TLMDWaveListItem::WriteData(TStream* Stream) { WriteWaveData(Stream, FWave.get(), Compressed); }
void TLMDWaveListItem::ReadData(TStream* Stream) { ReadWaveData(Stream, FWave.get(), Compressed); }

// ---------------------------------------------------------------------------------------------
// Containers

void TLMDBaseContainer::BeforeDestruction() {
    const std::vector<TLMDContainerClient*> Clients = std::move(FClients);
    FClients.clear();
    for (TLMDContainerClient* Client : Clients)
        Client->DetachContainer(this);
    TLMDCustomComponent::BeforeDestruction();
}

void TLMDBaseContainer::NotifyChange() {
    if (ChangeLocked())
        return;
    for (TLMDContainerClient* Client : std::vector<TLMDContainerClient*>(FClients))
        Client->ContainerChanged(this);
    TLMDCustomComponent::NotifyChange();
}

void TLMDBaseContainer::RegisterClient(TLMDContainerClient* Client) {
    if (Client && std::find(FClients.begin(), FClients.end(), Client) == FClients.end())
        FClients.push_back(Client);
}

void TLMDBaseContainer::UnregisterClient(TLMDContainerClient* Client) {
    FClients.erase(std::remove(FClients.begin(), FClients.end(), Client), FClients.end());
}

void TLMDCustomContainer::DefineClass(TClassBuilder<TLMDCustomContainer>& B) {
    B.Property("About", &TLMDCustomContainer::About, &TLMDCustomContainer::SetAbout).Stored(false);
}

TLMDCustomContainer::TLMDCustomContainer(TComponent* AOwner, TClass ItemClass, int ListKind)
    : TLMDBaseContainer(AOwner), FItemClass(ItemClass), FListKind(ListKind) {
    // Form files name the items by class: the first list of a kind makes its item class known.
    if (!GetClass(ItemClass->ClassName()))
        RegisterClass(ItemClass);
}

TLMDCustomContainer::~TLMDCustomContainer() = default;

void TLMDCustomContainer::BeforeDestruction() {
    OnChange = {};
    ClearItems();
    TLMDBaseContainer::BeforeDestruction();
}

int TLMDCustomContainer::AddItem(TLMDListItem* Item) {
    if (!Item)
        Item = As<TLMDListItem>(FItemClass->CreateInstance(this));
    FItems.push_back(Item);
    NotifyChange();
    return Count() - 1;
}

void TLMDCustomContainer::Notification(TComponent* AComponent, TOperation Operation) {
    TLMDBaseContainer::Notification(AComponent, Operation);
    if (Operation == opRemove)
        if (auto* Item = DynCast<TLMDListItem>(AComponent))
            ItemGone(Item);
}

void TLMDCustomContainer::ItemGone(TLMDListItem* Item) {
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    if (It != FItems.end())
        FItems.erase(It);
}

void TLMDCustomContainer::ClearItems() {
    std::vector<TLMDListItem*> Items;
    Items.swap(FItems);
    for (TLMDListItem* Item : Items)
        Item->Free();
    NotifyChange();
}

void TLMDCustomContainer::ItemChanged(TLMDListItem* Item) {
    if (!ChangeLocked())
        OnChange(Item);
}

void TLMDCustomContainer::Assign(TPersistent* Source) {
    auto* From = DynCast<TLMDCustomContainer>(Source);
    if (!From || From->ClassType() != ClassType())
        return TLMDBaseContainer::Assign(Source);
    BeginChangeLock();
    try {
        ClearItems();
        DefaultCompressed = From->DefaultCompressed;
        for (TLMDListItem* Item : From->FItems) {
            TMemoryStream Copy;
            Item->WriteToStream(&Copy);
            Copy.SetPosition(0);
            ItemAt(AddItem())->ReadFromStream(&Copy);
        }
    } catch (...) {
        EndChangeLock(false);
        throw;
    }
    EndChangeLock(true);
}

void TLMDCustomContainer::WriteToStream(TStream* Stream, bool WithOffsets) {
    const LongInt N = Count();
    lmdstreams::WriteLongInt(Stream, N);
    // Items are written apart first, so that the offset table goes in front without seeking back.
    TMemoryStream Items;
    std::vector<LongInt> Offsets;
    const Int64 Base = Stream->Position() + (WithOffsets ? 4 * N : 0);
    for (TLMDListItem* Item : FItems) {
        Offsets.push_back(static_cast<LongInt>(Base + Items.Position()));
        Item->WriteToStream(&Items);
    }
    if (WithOffsets)
        for (LongInt Offset : Offsets)
            lmdstreams::WriteLongInt(Stream, Offset);
    if (Items.Size() > 0)
        Stream->CopyFrom(&Items, 0);
}

void TLMDCustomContainer::ReadFromStream(TStream* Stream, bool WithOffsets) {
    BeginChangeLock();
    try {
        ClearItems();
        const LongInt N = lmdstreams::ReadLongInt(Stream);
        if (N < 0 || Int64(N) * (WithOffsets ? 5 : 1) > Stream->Size() - Stream->Position())
            throw EReadError("Stream read error");
        if (WithOffsets)
            Stream->Seek(Int64(4) * N, soCurrent);
        for (LongInt I = 0; I < N; ++I)
            ItemAt(AddItem())->ReadFromStream(Stream);
    } catch (...) {
        EndChangeLock(false);
        throw;
    }
    EndChangeLock(true);
}

TLMDBitmapList::TLMDBitmapList(TComponent* AOwner)
    : TLMDCustomImageList(AOwner, TLMDBitmapListItem::StaticClass(), 1) {}
TLMDImageList::TLMDImageList(TComponent* AOwner) : TLMDCustomImageList(AOwner, TLMDImageListItem::StaticClass(), 0) {}
TLMDStringList::TLMDStringList(TComponent* AOwner)
    : TLMDCustomContainer(AOwner, TLMDStringListItem::StaticClass(), 3) {}
TLMDWaveList::TLMDWaveList(TComponent* AOwner) : TLMDCustomContainer(AOwner, TLMDWaveListItem::StaticClass(), 2) {}

void TLMDBitmapList::DefineClass(TClassBuilder<TLMDBitmapList>& B) {
    B.Property("DefaultCompressed", &TLMDBitmapList::DefaultCompressed, &TLMDBitmapList::DefaultCompressed).Default(false);
    B.Property("DefaultPixelFormat", &TLMDBitmapList::DefaultPixelFormat, &TLMDBitmapList::DefaultPixelFormat).Default(spfDefault);
}
void TLMDImageList::DefineClass(TClassBuilder<TLMDImageList>& B) {
    B.Property("DefaultCompressed", &TLMDImageList::DefaultCompressed, &TLMDImageList::DefaultCompressed).Default(false);
    B.Property("DefaultPixelFormat", &TLMDImageList::DefaultPixelFormat, &TLMDImageList::DefaultPixelFormat).Default(spfDefault);
}
void TLMDStringList::DefineClass(TClassBuilder<TLMDStringList>& B) {
    B.Property("DefaultCompressed", &TLMDStringList::DefaultCompressed, &TLMDStringList::DefaultCompressed).Default(false);
}
void TLMDWaveList::DefineClass(TClassBuilder<TLMDWaveList>& B) {
    B.Property("DefaultCompressed", &TLMDWaveList::DefaultCompressed, &TLMDWaveList::DefaultCompressed).Default(false);
}

// ---------------------------------------------------------------------------------------------
// Image operations

void TLMDCustomImageList::Assign(TPersistent* Source) {
    TLMDCustomContainer::Assign(Source);
    if (auto* From = DynCast<TLMDCustomImageList>(Source); From && From->ClassType() == ClassType())
        DefaultPixelFormat = From->DefaultPixelFormat;
}

TBitmap* TLMDBitmapList::BitmapOf(int Item) { return Item >= 0 && Item < Count() ? Items(Item)->Bitmap() : nullptr; }
TCanvas* TLMDBitmapList::ItemCanvas(int Item) {
    TBitmap* B = BitmapOf(Item);
    return B ? B->Canvas() : nullptr;
}
TRect TLMDBitmapList::ImageBounds(int Item, int) {
    TBitmap* B = BitmapOf(Item);
    return B ? TRect{0, 0, B->Width(), B->Height()} : TRect{};
}
int TLMDBitmapList::ImageExtent(int Item, int Selector) {
    TBitmap* B = BitmapOf(Item);
    return !B ? 0 : Selector == 0 ? B->Width() : Selector == 1 ? B->Height() : 0;
}
int TLMDBitmapList::ImageCount(int Item) {
    TBitmap* B = BitmapOf(Item);
    return B && !B->Empty() ? 1 : 0;
}
bool TLMDBitmapList::IsValidImage(int Item, int) { return ImageCount(Item) == 1; }
void TLMDBitmapList::CopyToBitmap(int Item, int, TBitmap* Target) {
    if (TBitmap* B = BitmapOf(Item))
        Target->Assign(B);
}
HPALETTE TLMDBitmapList::ItemPalette(int Item) {
    TBitmap* B = BitmapOf(Item);
    return B ? B->Palette() : nullptr;
}
TColor TLMDBitmapList::TransparentColour(int Item, int) {
    TBitmap* B = BitmapOf(Item);
    return B ? B->TransparentColor() : clWhite;
}
TColor TLMDBitmapList::ImagePixel(const TPoint& Point, int Item, int) {
    TBitmap* B = BitmapOf(Item);
    return B ? B->Canvas()->Pixels(Point.X, Point.Y) : clWhite;
}
void TLMDBitmapList::DrawAt(TCanvas* Canvas, int X, int Y, int Item, int) {
    TBitmap* B = BitmapOf(Item);
    if (!B)
        return;
    TRect Drawn;
    DrawBitmapInRect(Canvas, TRect{X, Y, X + B->Width(), Y + B->Height()}, B, Drawn, 0, 0);
}
void TLMDBitmapList::DrawInRect(TCanvas* Canvas, const TRect& Target, TRect& Drawn, int Item, int, int Flags) {
    Drawn = TRect{Target.Left, Target.Top, Target.Left, Target.Top};
    if (TBitmap* B = BitmapOf(Item))
        DrawBitmapInRect(Canvas, Target, B, Drawn, static_cast<COLORREF>(ColorToRGB(B->TransparentColor())), Flags);
}
void TLMDBitmapList::DrawClippedImage(TCanvas* Canvas, const TRect& Target, int Item, int, HPALETTE, LongWord Offset,
                                      int Flags) {
    DrawBitmapWithFlags(Canvas, Target, BitmapOf(Item), Offset, Flags);
}

TLMDImageListItem* TLMDImageList::ItemOf(int Item) { return Item >= 0 && Item < Count() ? Items(Item) : nullptr; }
TCanvas* TLMDImageList::ItemCanvas(int Item) {
    TLMDImageListItem* I = ItemOf(Item);
    return I ? I->Strip()->Canvas() : nullptr;
}
TRect TLMDImageList::ImageBounds(int Item, int Cell) { return IsValidImage(Item, Cell) ? Items(Item)->CellRect(Cell) : TRect{}; }
int TLMDImageList::ImageExtent(int Item, int Selector) {
    TLMDImageListItem* I = ItemOf(Item);
    return !I ? 0 : Selector == 0 ? I->Width() : Selector == 1 ? I->Height() : 0;
}
int TLMDImageList::ImageCount(int Item) {
    TLMDImageListItem* I = ItemOf(Item);
    return I ? I->ImageCount() : -1;
}
bool TLMDImageList::IsValidImage(int Item, int Cell) {
    TLMDImageListItem* I = ItemOf(Item);
    return I && Cell >= 0 && Cell < I->ImageCount();
}
void TLMDImageList::CopyToBitmap(int Item, int Cell, TBitmap* Target) {
    TLMDImageListItem* I = ItemOf(Item);
    if (!I)
        return;
    Target->SetSize(I->Width(), I->Height());
    if (IsValidImage(Item, Cell))
        Target->Canvas()->CopyRect(TRect{0, 0, I->Width(), I->Height()}, I->Strip()->Canvas(), I->CellRect(Cell));
}
bool TLMDImageList::ItemMasked(int Item) {
    TLMDImageListItem* I = ItemOf(Item);
    return I && I->Masked();
}
HPALETTE TLMDImageList::ItemPalette(int Item) {
    TLMDImageListItem* I = ItemOf(Item);
    return I ? I->Strip()->Palette() : nullptr;
}
TColor TLMDImageList::TransparentColour(int Item, int Cell) {
    return IsValidImage(Item, Cell) ? Items(Item)->CellKeyColour(Cell) : clWhite;
}
TColor TLMDImageList::ImagePixel(const TPoint& Point, int Item, int Cell) {
    if (!IsValidImage(Item, Cell))
        return clWhite;
    const TRect R = Items(Item)->CellRect(Cell);
    return Items(Item)->Strip()->Canvas()->Pixels(R.Left + Point.X, Point.Y);
}
void TLMDImageList::DrawAt(TCanvas* Canvas, int X, int Y, int Item, int Cell) {
    if (TLMDImageListItem* I = ItemOf(Item))
        I->DrawCell(Canvas, X, Y, Cell);
}
void TLMDImageList::DrawInRect(TCanvas* Canvas, const TRect& Target, TRect& Drawn, int Item, int Cell, int Flags) {
    Drawn = TRect{Target.Left, Target.Top, Target.Left, Target.Top};
    if (TLMDImageListItem* I = ItemOf(Item))
        I->DrawCellInRect(Canvas, Target, Drawn, Cell, Flags);
}
void TLMDImageList::DrawClippedImage(TCanvas* Canvas, const TRect& Target, int Item, int Cell, HPALETTE Palette,
                                     LongWord Offset, int Flags) {
    if (TLMDImageListItem* I = ItemOf(Item))
        I->DrawCellClipped(Canvas, Target, Cell, Palette, Offset, Flags);
}

TLMDContainer::TLMDContainer(TComponent* AOwner)
    : TLMDBaseContainer(AOwner),
      FBitmaps(Create<TLMDBitmapList>(nullptr)),
      FImages(Create<TLMDImageList>(nullptr)),
      FStrings(Create<TLMDStringList>(nullptr)),
      FWaves(Create<TLMDWaveList>(nullptr)) {
    for (TLMDCustomContainer* L : std::initializer_list<TLMDCustomContainer*>{FBitmaps, FImages, FStrings, FWaves})
        L->OnChange = TNotifyEvent::Bind<&TLMDContainer::ListChanged>(this);
}

TLMDContainer::~TLMDContainer() {
    for (TLMDCustomContainer* L : std::initializer_list<TLMDCustomContainer*>{FBitmaps, FImages, FStrings, FWaves}) {
        L->OnChange = {};
        L->Free();
    }
}

void TLMDContainer::ListChanged(TObject* Sender) {
    // While designed, the global container mirrors the lists of the one being edited.
    if (ComponentState().Contains(csDesigning) && GlobalContainer && GlobalContainer != this) {
        auto* List = DynCast<TLMDCustomContainer>(Sender);
        for (TLMDCustomContainer* Mine : std::initializer_list<TLMDCustomContainer*>{
                 GlobalContainer->Bitmaps(), GlobalContainer->Images(), GlobalContainer->Strings(),
                 GlobalContainer->Waves()})
            if (List && Mine->ClassType() == List->ClassType())
                Mine->Assign(List);
    }
    OnChange(Sender);
}

// ---------------------------------------------------------------------------------------------
// Container files

namespace {
const char* const Signatures[] = {"LMDIML30", "LMDBML30", "LMDWVL30", "LMDSLL30", "LMDGLL50", "LMDRTL50"};
const char* const Extensions[] = {"iml", "bmp", "wav", "txt", "*", "rtf"};
constexpr int KnownKinds = 6;
}  // namespace

std::string ContainerSignature(int Kind) {
    return Kind >= 0 && Kind < KnownKinds ? std::string(1, '\x08') + Signatures[Kind] : std::string();
}

std::string ContainerFileExtension(int Kind, bool WithDot) {
    if (Kind < 0 || Kind >= KnownKinds)
        return {};
    return (WithDot ? "." : "") + std::string(Extensions[Kind]);
}

namespace {
int ReadDirectory(TStream* Stream, int& Count, std::vector<LongInt>& Offsets) {
    std::string Signature(9, '\0');
    Count = 0;
    Offsets.clear();
    if (Stream->Read(Signature.data(), 9) != 9)
        return KnownKinds;
    int Kind = 0;
    while (Kind < KnownKinds && Signature != ContainerSignature(Kind))
        ++Kind;
    if (Kind == KnownKinds)
        return Kind;
    const LongInt N = lmdstreams::ReadLongInt(Stream);
    // The table must fit the file before it is read.
    if (N < 0 || Int64(N) * 4 > Stream->Size() - Stream->Position())
        throw EReadError("Stream read error");
    Count = N;
    for (LongInt I = 0; I < N; ++I)
        Offsets.push_back(lmdstreams::ReadLongInt(Stream));
    return Kind;
}
}  // namespace

int ReadContainerDirectory(const std::string& FileName, int& Count, std::vector<LongInt>& Offsets) {
    TFileStream File(FileName, fmOpenRead | fmShareDenyWrite);
    return ReadDirectory(&File, Count, Offsets);
}

void ReadItemFromContainerFile(const std::string& FileName, int Kind, TLMDListItem* Item, int Index) {
    TFileStream File(FileName, fmOpenRead | fmShareDenyWrite);
    int Count = 0;
    std::vector<LongInt> Offsets;
    int Found;
    try {
        Found = ReadDirectory(&File, Count, Offsets);
    } catch (const EReadError&) {
        CannotOpen(FileName);
    }
    if (Found != Kind || Index < 0 || Index >= Count || Offsets[static_cast<size_t>(Index)] < 0 ||
        Offsets[static_cast<size_t>(Index)] >= File.Size())
        CannotOpen(FileName);
    File.SetPosition(Offsets[static_cast<size_t>(Index)]);
    Item->ReadFromStream(&File);
}

void lmdcontInitialization() {
    if (!GlobalContainer)
        GlobalContainer = Create<TLMDContainer>(nullptr);
}

void lmdcontFinalization() { FreeAndNil(GlobalContainer); }
