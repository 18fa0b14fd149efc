// The ImgList unit: image lists over the system's image lists (HIMAGELIST), with masks, change
// links for the controls and components that show their images, and streamed image data.
//
//   auto* List = Create<TImageList>(Owner);        // 16 x 16, masked
//   List->AddMasked(Strip, clWhite);               // a strip N x Width wide gives N images
//   List->Draw(Canvas, X, Y, 3);                   // image 3, enabled
//   List->GetIcon(24, Icon);                       // the tray's picture
//
// Form files carry the images as the binary property "Bitmap" in a format of our own: a header
// ("QIL1", count, width, height, masked) and then per image its pixels as 32-bit words (blue,
// green, red, unused) and, when masked, one byte per pixel (1 = transparent). Descendants that keep
// their images elsewhere override ReadData and WriteData.
#pragma once

#include "Bitmaps.h"
#include "Classes.h"
#include "Icons.h"

#include <commctrl.h>

#include <vector>

class TCustomImageList;

DECLARE_ENUM(TDrawingStyle, dsFocus, dsSelected, dsNormal, dsTransparent)
DECLARE_ENUM(TImageType, itImage, itMask)

namespace ImgListConsts {
inline constexpr const char* SInvalidImageSize = "Invalid image size";
inline constexpr const char* SImageIndexError = "Invalid ImageList Index";
inline constexpr const char* SImageReadFail = "Failed to read ImageList data from stream";
inline constexpr const char* SImageWriteFail = "Failed to write ImageList data to stream";
inline constexpr const char* SReplaceImage = "Unable to Replace Image";
inline constexpr const char* SInvalidImageList = "Invalid ImageList";
inline constexpr const char* SAddImage = "Unable to add the image to the image list";
}  // namespace ImgListConsts

// Tells one client (a tray icon, a menu, a tool bar) that the list it shows changed.
class TChangeLink : public TObject {
    DECLARE_CLASS(TChangeLink, TObject)
public:
    TChangeLink() = default;
    // Unregisters itself from the list it is registered with.
    ~TChangeLink() override;
    TCustomImageList* Sender() const { return FSender; }
    void SetSender(TCustomImageList* Value) { FSender = Value; }
    virtual void Change();
    TNotifyEvent OnChange;

private:
    TCustomImageList* FSender = nullptr;
};

class TCustomImageList : public TComponent {
    DECLARE_CLASS(TCustomImageList, TComponent)
public:
    explicit TCustomImageList(TComponent* AOwner);
    ~TCustomImageList() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TCustomImageList>& B);
    // A list of another image size (the platform's CreateSize constructor).
    template <class T = TCustomImageList>
    static T* CreateSize(int AWidth, int AHeight, TComponent* AOwner = nullptr) {
        T* List = Create<T>(AOwner);
        List->SetSize(AWidth, AHeight);
        return List;
    }

    // The system list, made on first use. Setting one adopts it (its size becomes the list's); the
    // list destroys it later unless ShareImages.
    HIMAGELIST Handle();
    void SetHandle(HIMAGELIST Value);
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded() { Handle(); }

    int Width() const { return FWidth; }
    void SetWidth(int Value) { SetSize(Value, FHeight); }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { SetSize(FWidth, Value); }
    // Both at once; a size below 1 raises EInvalidOperation "Invalid image size". A new size empties
    // the list (the system list keeps one size).
    void SetSize(int AWidth, int AHeight);
    int AllocBy() const { return FAllocBy; }
    void SetAllocBy(int Value) { FAllocBy = Value < 1 ? 1 : Value; }
    bool Masked() const { return FMasked; }
    void SetMasked(bool Value);
    TImageType ImageType() const { return FImageType; }
    void SetImageType(TImageType Value);
    TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
    void SetDrawingStyle(TDrawingStyle Value);
    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor Value);
    TColor BlendColor() const { return FBlendColor; }
    void SetBlendColor(TColor Value);
    bool ShareImages() const { return FShareImages; }
    void SetShareImages(bool Value) { FShareImages = Value; }
    int Count();

    // Adding: a bitmap N x Width wide (Height high) gives N images; the result is the index of the
    // first. Mask: white = transparent (null for no mask). AddMasked makes the mask from MaskColor
    // (clDefault: the bitmap's bottom-left pixel). The source bitmaps are not changed.
    int Add(TBitmap* Image, TBitmap* Mask);
    int AddMasked(TBitmap* Image, TColor MaskColor);
    int AddIcon(TIcon* Image);
    void AddImages(TCustomImageList* Value);
    void Replace(int Index, TBitmap* Image, TBitmap* Mask);
    void ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor);
    void ReplaceIcon(int Index, TIcon* Image);
    void Insert(int Index, TBitmap* Image, TBitmap* Mask);
    void Move(int CurIndex, int NewIndex);
    void Delete(int Index);  // -1 deletes every image
    void Clear() { Delete(-1); }

    // The image drawn on a bitmap of the list's size (filled with BkColor first unless clNone);
    // false for a bad index.
    bool GetBitmap(int Index, TBitmap* Image);
    // The image as an icon (its mask giving transparency); false for a bad index.
    bool GetIcon(int Index, TIcon* Image);
    bool GetIcon(int Index, TIcon* Image, TDrawingStyle ADrawingStyle, TImageType AImageType);
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
    void Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
              bool Enabled = true);

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    void RegisterChanges(TChangeLink* Value);
    void UnRegisterChanges(TChangeLink* Value);

    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler& Filer) override;
    // The image data as the "Bitmap" property holds it.
    virtual void ReadData(TStream& Stream);
    virtual void WriteData(TStream& Stream);

    TNotifyEvent OnChange;

protected:
    // Runs OnChange and every change link, unless inside BeginUpdate/EndUpdate (then once at the end).
    virtual void Change();
    // Draws one image; the list's own drawing goes through here.
    virtual void DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled);
    void AssignTo(TPersistent* Dest) override;
    void Loaded() override;
    // Frees the system list (unless shared) and forgets it.
    void FreeHandle();
    // Raises EInvalidOperation for an index outside the images.
    void CheckIndex(int Index);

private:
    void CreateImageList();
    UINT DrawStyleFlags(TDrawingStyle ADrawingStyle, TImageType AImageType) const;
    bool HasImageData();

    HIMAGELIST FHandle = nullptr;
    int FWidth = 16;
    int FHeight = 16;
    int FAllocBy = 4;
    bool FMasked = true;
    TImageType FImageType = itImage;
    TDrawingStyle FDrawingStyle = dsNormal;
    TColor FBkColor = clNone;
    TColor FBlendColor = clNone;
    bool FShareImages = false;
    int FUpdateCount = 0;
    bool FChanged = false;
    std::vector<TChangeLink*> FClients;
};

class TImageList : public TCustomImageList {
    DECLARE_CLASS(TImageList, TCustomImageList)
public:
    using TCustomImageList::TCustomImageList;
};

// A client's image-list property: moves the change link and the free notification from the old
// list to Value and stores it; false when Value is the list already held.
bool SetImageListOf(TComponent* Client, TCustomImageList*& Field, TCustomImageList* Value, TChangeLink* Link);

// The unit's start-up: the class registrations form files need.
void InitImgList();
