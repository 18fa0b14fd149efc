// An image list whose images are PNG or ICO files with full alpha. The files live in the Items
// collection, which is stored with the form (each item's "ImgData" holds the file's bytes as they
// are); the 32-bit system list is generated from them when the list is loaded. PNG images draw
// blended by their alpha over what the canvas holds; other parts of the library ask for an image as
// a 32-bit bitmap (GetBitmap32) or for one state frame of a glyph strip (DrawFrame).
//
//   auto* List = Create<TsAlphaImageList>(Owner);
//   List->SetSize(16, 16);
//   auto* Item = List->Items()->Add();
//   Item->ImageData()->LoadFromFile("open.png");
//   List->GenerateImages();                        // lists made in code generate when told
//   List->Draw(Canvas, 4, 4, 0);
//
// Start-up: acAlphaImageListInitialization() registers the list's classes for form files.
#pragma once

#include "ImgList.h"
#include "Streams.h"

#include <windows.h>

class TsAlphaImageList;
class TsImgListItems;

DECLARE_ENUM(TsImageFormat, ifPNG, ifICO)

class TsImgListItem : public TCollectionItem {
    DECLARE_CLASS(TsImgListItem, TCollectionItem)
public:
    explicit TsImgListItem(TCollection* ACollection);
    ~TsImgListItem() override;
    static void DefineClass(TClassBuilder<TsImgListItem>& B);

    // Format, pixel format and the file's bytes of another item.
    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler& Filer) override;

    TsImageFormat ImageFormat() const { return FImageFormat; }
    void SetImageFormat(TsImageFormat Value) { FImageFormat = Value; }
    TPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat Value) { FPixelFormat = Value; }
    // The complete image file.
    TMemoryStream* ImageData() const { return FImageData; }

protected:
    void AssignTo(TPersistent* Dest) override;

private:
    void ReadImgData(TStream& Stream);
    void WriteImgData(TStream& Stream);

    TsImageFormat FImageFormat = ifPNG;
    TPixelFormat FPixelFormat = pf32bit;
    TMemoryStream* FImageData = nullptr;
};

class TsImgListItems : public TOwnedCollection {
    DECLARE_CLASS(TsImgListItems, TOwnedCollection)
public:
    explicit TsImgListItems(TsAlphaImageList* AOwner);
    TsImgListItem* Add() { return static_cast<TsImgListItem*>(TCollection::Add()); }
    TsImgListItem* Items(int Index) const { return static_cast<TsImgListItem*>(TCollection::Items(Index)); }
};

class TsAlphaImageList : public TImageList {
    DECLARE_CLASS(TsAlphaImageList, TImageList)
public:
    explicit TsAlphaImageList(TComponent* AOwner);
    ~TsAlphaImageList() override;
    static void DefineClass(TClassBuilder<TsAlphaImageList>& B);
    void AfterConstruction() override;

    TsImgListItems* Items() const { return FItems; }
    void SetItems(TsImgListItems* Value);
    bool Generated() const { return FGenerated; }
    bool KeepItems() const { return FKeepItems; }
    void SetKeepItems(bool Value) { FKeepItems = Value; }
    // The items stay after generation (always at design time).
    bool KeepsItems() const;

    // Another alpha image list is copied whole, items included; nil releases the system list; any
    // other image list is copied as the framework copies it and the items go with the old images.
    void Assign(TPersistent* Source) override;
    // The empty image data: the items carry the images.
    void ReadData(TStream& Stream) override;
    void WriteData(TStream& Stream) override;

    // The system list made again from the items (a 32-bit one is made when there is none).
    void GenerateImages();
    // Image Index as a 32-bit bitmap with alpha: a kept PNG item from its file (resampled to
    // Bitmap's size when the file has another size than the list), otherwise from the system list.
    // False without a system list, without Bitmap or for an index outside the images.
    bool GetBitmap32(int Index, TBitmap* Bitmap);
    // A 32-bit bitmap without any alpha: the bottom-left pixel's colour becomes transparent and
    // every other pixel opaque. Bitmaps with some alpha are left alone.
    static void FixAlphaChannel(TBitmap* Bitmap);

    // Frame State (0 based; past the last frame the last) of image ImageIndex of List, a strip of
    // NumGlyphs frames, drawn into Dst at (X, Y); Size receives the frame's size. Alpha lists blend
    // by alpha with Blend percent and Tint (NoTint: none) and the mirrored copy below when
    // Reflected; other lists draw through their own drawing.
    static void DrawFrame(TCustomImageList* List, TBitmap* Dst, int X, int Y, int ImageIndex, int Blend, TColor Tint,
                          int State, int NumGlyphs, bool Reflected, TSize& Size);
    // The same onto a device context.
    static void DrawFrameToDC(TCustomImageList* List, HDC DC, int X, int Y, int ImageIndex, int Blend, TColor Tint,
                              int State, int NumGlyphs, bool Reflected);
    // Dst's images made from Src's: Dst's items become copies of Src's (and are generated) when Dst
    // keeps items, otherwise Src's icons are appended to Dst's emptied system list.
    static void CopyAlphaImages(TsAlphaImageList* Dst, TCustomImageList* Src);

protected:
    void AssignTo(TPersistent* Dest) override;
    void Loaded() override;
    void DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled) override;
    void Change() override;

private:
    // A 32-bit system list of the list's size (masked when Masked); the background colour stays.
    void CreateHandle32();
    void ReleaseHandle();
    void TakeIconSize(TCustomImageList* Source);
    void AssignFromAlphaList(TsAlphaImageList* Src);
    // Images kept without alpha get it from their colours (every pixel but the key colour opaque).
    void AddAlphaToPlainImages();

    TsImgListItems* FItems = nullptr;
    bool FGenerated = false;
    bool FChanging = false;
    bool FKeepItems = true;
};

// CLR_DEFAULT and CLR_NONE of a system list as the colours clDefault and clNone.
TColor ImageListColorToColor(COLORREF Value);

void acAlphaImageListInitialization();
