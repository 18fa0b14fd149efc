// Containers of the second component library: components that keep bitmaps, string lists and waves
// as items, store them in streams (plainly or packed) and container files, and fetch bitmaps lazily
// from a container file, the program's resources or single files. One TLMDContainer exists from
// start-up to shut-down.
#pragma once

#include "Bitmaps.h"
#include "Canvas.h"
#include "LMDCustomComponent.h"
#include "Lists.h"
#include "lmdprocs.h"
#include "lmdwave.h"

#include <vector>

DECLARE_ENUM(TLMDSavePixelFormat, spfDefault, spfMono, spf4bit, spf8bit)

class TLMDCustomContainer;

// One item of a container, stored as a flags byte, an optional description and ident, and its data.
class TLMDListItem : public TLMDCustomComponent {
    DECLARE_CLASS(TLMDListItem, TLMDCustomComponent)
public:
    enum : Byte {
        hfCompressed = 0x01, hfDescription = 0x02, hfIdent = 0x04, hfData = 0x08,
        hfMono = 0x10, hf4bit = 0x20, hf8bit = 0x40
    };
    explicit TLMDListItem(TComponent* AOwner) : TLMDCustomComponent(AOwner) {}
    static void DefineClass(TClassBuilder<TLMDListItem>& B);
    void DefineProperties(TFiler& Filer) override;

    virtual void ClearData() {}
    virtual bool IsEmpty() { return true; }
    virtual void ReadFromStream(TStream* Stream);
    virtual void WriteToStream(TStream* Stream);
    virtual Byte HeaderFlags();
    void NotifyChange() override;

    const std::string& Description() const { return FDescription; }
    void SetDescription(const std::string& Value) { FDescription = Value; }
    Word Ident() const { return FIdent; }
    void SetIdent(Word Value) { FIdent = Value; }
    bool Compressed = false;
    TLMDSavePixelFormat PixelFormat = spfDefault;
    TLMDCustomContainer* Container() const;

protected:
    virtual void ReadData(TStream*) {}
    virtual void WriteData(TStream*) {}
    // Items whose data follows the header whether or not they hold any.
    virtual bool DataAlways() const { return false; }

private:
    std::string FDescription;
    Word FIdent = 0;
};

class TLMDBitmapListItem : public TLMDListItem {
    DECLARE_CLASS(TLMDBitmapListItem, TLMDListItem)
public:
    explicit TLMDBitmapListItem(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TLMDBitmapListItem>& B);
    // Fetched from the container's source when still empty (not while designed or loading).
    TBitmap* Bitmap();
    void SetBitmap(TBitmap* Value);
    void ClearData() override;
    bool IsEmpty() override { return FBitmap->Empty(); }
    Byte HeaderFlags() override;

protected:
    void ReadData(TStream* Stream) override;
    void WriteData(TStream* Stream) override;

private:
    void FetchBitmap();
    TOwned<TBitmap> FBitmap;
};

// A strip of equally sized images side by side, with a monochrome mask strip while Masked.
class TLMDImageListItem : public TLMDListItem {
    DECLARE_CLASS(TLMDImageListItem, TLMDListItem)
public:
    static constexpr int MaxStripWidth = 32768;
    explicit TLMDImageListItem(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TLMDImageListItem>& B);
    void ClearData() override { ClearImages(); }
    bool IsEmpty() override { return FCells.empty(); }
    Byte HeaderFlags() override;

    // Appends the source's cells behind the used part. Another cell size raises "Invalid image size"
    // and a strip wider than 32,768 pixels "Too many images"; the strip is then untouched.
    void AppendImagesFrom(TLMDImageListItem* Source);
    void ClearImages();
    int ImageCount() const { return static_cast<int>(FCells.size()); }
    // The cell's rectangle in the strip.
    TRect CellRect(int Cell) const;
    TBitmap* Strip() const { return FStrip.get(); }
    TBitmap* MaskStrip() const { return FMask.get(); }

    int Width() const { return FWidth; }
    void SetWidth(int Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    bool Masked() const { return FMasked; }
    void SetMasked(bool Value);
    int AllocBy() const { return FAllocBy; }
    void SetAllocBy(int Value) { FAllocBy = Value; }

    // Cell drawing. DrawCell copies the cell to (X, Y) by the drawing style: an unmasked item (or
    // image type 1, which shows the mask) plainly; a masked one through its mask, onto the
    // background colour when one is set, and styles 0 and 1 then blend BlendColour over a pattern
    // of the cell's pixels.
    void DrawCell(TCanvas* Canvas, int X, int Y, int Cell);
    // The cell laid out in Target by the layout flags: through its mask when masked, else with the
    // strip pixel at the cell's bottom-left as key colour. Drawn is the placement.
    void DrawCellInRect(TCanvas* Canvas, const TRect& Target, TRect& Drawn, int Cell, int Flags);
    // DrawCellInRect inside Target's clip (moved by Offset) when Flags holds LayoutFlags::Clipped.
    void DrawCellClipped(TCanvas* Canvas, const TRect& Target, int Cell, HPALETTE Palette, LongWord Offset, int Flags);
    // The strip pixel at the cell's bottom-left: what an unmasked cell leaves out.
    TColor CellKeyColour(int Cell);

    TColor BkColor = clNone;
    TColor BlendColor = clNone;
    int DrawingStyle = 2;  // 0 blend most pixels, 1 blend a checkerboard, 2 on the background, 3 masked
    int ImageType = 0;     // 1 shows the mask strip

protected:
    // The item's data is always written: sizes, the mask flag, the cell count and the strips.
    void ReadData(TStream* Stream) override;
    void WriteData(TStream* Stream) override;
    bool DataAlways() const override { return true; }

private:
    void RebuildCells(int Count);
    TOwned<TBitmap> FStrip, FMask;
    std::vector<LongWord> FCells;  // x offset in the low 16 bits, the masked flag in bit 16
    int FUsedWidth = 0;
    int FWidth = 16, FHeight = 16, FAllocBy = 4;
    bool FMasked = false;
};

class TLMDStringListItem : public TLMDListItem {
    DECLARE_CLASS(TLMDStringListItem, TLMDListItem)
public:
    explicit TLMDStringListItem(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TLMDStringListItem>& B);
    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    void ClearData() override { FItems->Clear(); }
    bool IsEmpty() override { return FItems->Count() == 0; }

protected:
    void ReadData(TStream* Stream) override;
    void WriteData(TStream* Stream) override;

private:
    TOwned<TStringList> FItems;
};

class TLMDWaveListItem : public TLMDListItem {
    DECLARE_CLASS(TLMDWaveListItem, TLMDListItem)
public:
    explicit TLMDWaveListItem(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TLMDWaveListItem>& B);
    TLMDWave* Wave() const { return FWave.get(); }
    void SetWave(TLMDWave* Value) { FWave->Assign(Value); }
    void ClearData() override { FWave->Clear(); }
    bool IsEmpty() override { return FWave->IsEmpty(); }

protected:
    void ReadData(TStream* Stream) override;
    void WriteData(TStream* Stream) override;

private:
    TOwned<TLMDWave> FWave;
};

class TLMDBaseContainer;

// An object that refers to a container: told of every change and of the container's end.
class TLMDContainerClient {
public:
    virtual ~TLMDContainerClient() = default;
    virtual void ContainerChanged(TLMDBaseContainer* Container) = 0;
    // The container goes: the client forgets its reference.
    virtual void DetachContainer(TLMDBaseContainer* Container) = 0;
};

class TLMDBaseContainer : public TLMDCustomComponent {
    DECLARE_CLASS(TLMDBaseContainer, TLMDCustomComponent)
public:
    explicit TLMDBaseContainer(TComponent* AOwner) : TLMDCustomComponent(AOwner) {}
    // Every client is detached before the container goes.
    void BeforeDestruction() override;
    // The clients hear of a change first, then the change event fires.
    void NotifyChange() override;
    void RegisterClient(TLMDContainerClient* Client);
    void UnregisterClient(TLMDContainerClient* Client);
    int ClientCount() const { return static_cast<int>(FClients.size()); }

private:
    std::vector<TLMDContainerClient*> FClients;
};

// Where a container's items come from.
enum TLMDContainerSource : Byte { csForm = 0, csContainerFile = 1, csResources = 2, csResourceLibrary = 3, csSingleFiles = 4 };

class TLMDCustomContainer : public TLMDBaseContainer {
    DECLARE_CLASS(TLMDCustomContainer, TLMDBaseContainer)
public:
    TLMDCustomContainer(TComponent* AOwner, TClass ItemClass, int ListKind);
    static void DefineClass(TClassBuilder<TLMDCustomContainer>& B);
    // A design-time text; nothing is stored.
    std::string About() const { return {}; }
    void SetAbout(const std::string&) {}
    ~TLMDCustomContainer() override;
    // The items go before the framework frees the owned components, which it does without telling
    // the owner.
    void BeforeDestruction() override;
    void Assign(TPersistent* Source) override;
    // An item freed on its own leaves the list.
    void Notification(TComponent* AComponent, TOperation Operation) override;

    virtual int Count() const { return static_cast<int>(FItems.size()); }
    virtual bool IsEmpty() const { return FItems.empty(); }
    virtual TLMDListItem* ItemAt(int Index) const { return FItems.at(static_cast<size_t>(Index)); }
    // Clears, then reads the count, skips the offset table when WithOffsets, and reads the items.
    virtual void ReadFromStream(TStream* Stream, bool WithOffsets);
    // The count, with WithOffsets a table of each item's absolute stream position, then the items.
    virtual void WriteToStream(TStream* Stream, bool WithOffsets);

    // The given item, or a new one of the item class owned by the container; returns its index.
    int AddItem(TLMDListItem* Item = nullptr);
    void ClearItems();
    void ItemChanged(TLMDListItem* Item);
    void ItemGone(TLMDListItem* Item);

    bool DefaultCompressed = false;
    TLMDContainerSource SourceKind = csForm;
    std::string FileName;
    TLMDPathPrefix PathPrefix = ppProgram;
    int ListKind() const { return FListKind; }
    TClass ItemClass() const { return FItemClass; }

private:
    std::vector<TLMDListItem*> FItems;
    TClass FItemClass;
    int FListKind;
};

// A container of images: one bitmap per item (TLMDBitmapList) or a strip of cells per item
// (TLMDImageList), reached through the same image operations. Item is an index into the list;
// Cell selects a cell of a strip and is ignored by a bitmap list.
class TLMDCustomImageList : public TLMDCustomContainer {
    DECLARE_CLASS(TLMDCustomImageList, TLMDCustomContainer)
public:
    using TLMDCustomContainer::TLMDCustomContainer;
    void Assign(TPersistent* Source) override;

    virtual TCanvas* ItemCanvas(int Item) = 0;
    virtual TRect ImageBounds(int Item, int Cell) = 0;
    // Selector 0 the width, 1 the height.
    virtual int ImageExtent(int Item, int Selector) = 0;
    virtual int ImageCount(int Item) = 0;
    virtual bool IsValidImage(int Item, int Cell) = 0;
    virtual void CopyToBitmap(int Item, int Cell, TBitmap* Target) = 0;
    virtual bool ItemMasked(int Item) = 0;
    virtual HPALETTE ItemPalette(int Item) = 0;
    virtual TColor TransparentColour(int Item, int Cell) = 0;
    virtual TColor ImagePixel(const TPoint& Point, int Item, int Cell) = 0;
    virtual void DrawAt(TCanvas* Canvas, int X, int Y, int Item, int Cell) = 0;
    virtual void DrawInRect(TCanvas* Canvas, const TRect& Target, TRect& Drawn, int Item, int Cell, int Flags) = 0;
    virtual void DrawClippedImage(TCanvas* Canvas, const TRect& Target, int Item, int Cell, HPALETTE Palette,
                                  LongWord Offset, int Flags) = 0;

    TLMDSavePixelFormat DefaultPixelFormat = spfDefault;
};

class TLMDBitmapList : public TLMDCustomImageList {
    DECLARE_CLASS(TLMDBitmapList, TLMDCustomImageList)
public:
    explicit TLMDBitmapList(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TLMDBitmapList>& B);
    TLMDBitmapListItem* Items(int Index) const { return static_cast<TLMDBitmapListItem*>(ItemAt(Index)); }

    TCanvas* ItemCanvas(int Item) override;
    TRect ImageBounds(int Item, int Cell) override;
    int ImageExtent(int Item, int Selector) override;
    int ImageCount(int Item) override;
    bool IsValidImage(int Item, int Cell) override;
    void CopyToBitmap(int Item, int Cell, TBitmap* Target) override;
    bool ItemMasked(int) override { return false; }
    HPALETTE ItemPalette(int Item) override;
    TColor TransparentColour(int Item, int Cell) override;
    TColor ImagePixel(const TPoint& Point, int Item, int Cell) override;
    void DrawAt(TCanvas* Canvas, int X, int Y, int Item, int Cell) override;
    void DrawInRect(TCanvas* Canvas, const TRect& Target, TRect& Drawn, int Item, int Cell, int Flags) override;
    void DrawClippedImage(TCanvas* Canvas, const TRect& Target, int Item, int Cell, HPALETTE Palette, LongWord Offset,
                          int Flags) override;

private:
    // The item's bitmap, null for an index out of range.
    TBitmap* BitmapOf(int Item);
};

class TLMDImageList : public TLMDCustomImageList {
    DECLARE_CLASS(TLMDImageList, TLMDCustomImageList)
public:
    explicit TLMDImageList(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TLMDImageList>& B);
    TLMDImageListItem* Items(int Index) const { return static_cast<TLMDImageListItem*>(ItemAt(Index)); }

    TCanvas* ItemCanvas(int Item) override;
    TRect ImageBounds(int Item, int Cell) override;
    int ImageExtent(int Item, int Selector) override;
    int ImageCount(int Item) override;
    bool IsValidImage(int Item, int Cell) override;
    void CopyToBitmap(int Item, int Cell, TBitmap* Target) override;
    bool ItemMasked(int Item) override;
    HPALETTE ItemPalette(int Item) override;
    TColor TransparentColour(int Item, int Cell) override;
    TColor ImagePixel(const TPoint& Point, int Item, int Cell) override;
    void DrawAt(TCanvas* Canvas, int X, int Y, int Item, int Cell) override;
    void DrawInRect(TCanvas* Canvas, const TRect& Target, TRect& Drawn, int Item, int Cell, int Flags) override;
    void DrawClippedImage(TCanvas* Canvas, const TRect& Target, int Item, int Cell, HPALETTE Palette, LongWord Offset,
                          int Flags) override;

private:
    // The item, null for an index out of range.
    TLMDImageListItem* ItemOf(int Item);
};

class TLMDStringList : public TLMDCustomContainer {
    DECLARE_CLASS(TLMDStringList, TLMDCustomContainer)
public:
    explicit TLMDStringList(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TLMDStringList>& B);
    TLMDStringListItem* Items(int Index) const { return static_cast<TLMDStringListItem*>(ItemAt(Index)); }
};

class TLMDWaveList : public TLMDCustomContainer {
    DECLARE_CLASS(TLMDWaveList, TLMDCustomContainer)
public:
    explicit TLMDWaveList(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TLMDWaveList>& B);
    TLMDWaveListItem* Items(int Index) const { return static_cast<TLMDWaveListItem*>(ItemAt(Index)); }
};

// The library's process-wide container of one list per kind.
class TLMDContainer : public TLMDBaseContainer {
    DECLARE_CLASS(TLMDContainer, TLMDBaseContainer)
public:
    explicit TLMDContainer(TComponent* AOwner);
    ~TLMDContainer() override;
    TLMDBitmapList* Bitmaps() const { return FBitmaps; }
    TLMDImageList* Images() const { return FImages; }
    TLMDStringList* Strings() const { return FStrings; }
    TLMDWaveList* Waves() const { return FWaves; }
    void ListChanged(TObject* Sender);

private:
    TLMDBitmapList* FBitmaps;
    TLMDImageList* FImages;
    TLMDStringList* FStrings;
    TLMDWaveList* FWaves;
};

// The 9-byte signature of a container file of list kind Kind (a length byte 8 and eight characters).
std::string ContainerSignature(int Kind);
std::string ContainerFileExtension(int Kind, bool WithDot);
// The file's list kind (6 when unknown) and, for a known kind, its item offsets.
int ReadContainerDirectory(const std::string& FileName, int& Count, std::vector<LongInt>& Offsets);
// Item number Index of a container file of list kind Kind; another kind, an index out of range or a
// directory that does not fit the file raises the "Cannot open file" error.
void ReadItemFromContainerFile(const std::string& FileName, int Kind, TLMDListItem* Item, int Index);

extern TLMDContainer* GlobalContainer;
void lmdcontInitialization();
void lmdcontFinalization();
