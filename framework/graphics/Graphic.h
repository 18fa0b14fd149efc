// The abstract picture: something with a size that loads from and saves to streams and files, draws
// itself on a canvas and tells about changes and loading progress. Bitmaps, icons and JPEG images
// are graphics; a picture (Picture.h) holds one of any registered class.
#pragma once

#include "Canvas.h"
#include "Classes.h"
#include "Types.h"

#include <string>

DECLARE_EXCEPTION(EInvalidGraphic, Exception);
DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception);

namespace GraphicsConsts {
inline constexpr const char* SInvalidBitmap = "Bitmap image is not valid";
inline constexpr const char* SInvalidIcon = "Icon image is not valid";
inline constexpr const char* SInvalidImage = "Invalid image";
inline constexpr const char* SInvalidImageSize = "Invalid image size";
inline constexpr const char* SInvalidPixelFormat = "Invalid pixel format";
inline constexpr const char* SScanLine = "Scan line index out of range";
inline constexpr const char* SChangeIconSize = "Cannot change the size of an icon";
inline constexpr const char* SUnknownExtension = "Unknown picture file extension (.%s)";
inline constexpr const char* SNoCanvas = "Canvas does not allow drawing";
inline constexpr const char* SUnknownClipboardFormat = "Unsupported clipboard format";
inline constexpr const char* SOutOfResources = "Out of system resources";
}  // namespace GraphicsConsts

DECLARE_ENUM(TProgressStage, psStarting, psRunning, psEnding)
using TProgressEvent =
    TMethodOf<TObject* /*Sender*/, TProgressStage, Byte /*PercentDone*/, bool /*RedrawNow*/, const TRect&, const std::string& /*Msg*/>;

class TGraphic : public TPersistent {
    DECLARE_CLASS(TGraphic, TPersistent)
public:
    // The virtual constructor is the class record's factory: TGraphicClass::Create().
    TGraphic() = default;

    virtual bool Empty() = 0;
    virtual int Width() = 0;
    virtual void SetWidth(int Value) = 0;
    virtual int Height() = 0;
    virtual void SetHeight(int Value) = 0;
    virtual bool Transparent() { return FTransparent; }
    virtual void SetTransparent(bool Value);
    virtual HPALETTE Palette() { return nullptr; }
    virtual void SetPalette(HPALETTE Value) { (void)Value; }
    bool Modified() const { return FModified; }
    void SetModified(bool Value);

    // Reads one image from the stream's position on; bad data raises EInvalidGraphic (or a
    // descendant) and never reads beyond what the stream holds.
    virtual void LoadFromStream(TStream* Stream) = 0;
    virtual void SaveToStream(TStream* Stream) = 0;
    virtual void LoadFromFile(const std::string& FileName);
    virtual void SaveToFile(const std::string& FileName);

    // Draws the whole image stretched into R of ACanvas (TCanvas::Draw and StretchDraw call it).
    virtual void Draw(TCanvas* ACanvas, const TRect& R) = 0;

    // True when both save the same bytes.
    virtual bool Equals(TGraphic* Graphic);

    // Clipboard data: Data is a handle of Format that the clipboard keeps; a class that cannot read
    // the format raises EInvalidGraphic. Saving gives a new handle (and its format) for the clipboard
    // to take over.
    virtual void LoadFromClipboardFormat(Word Format, HANDLE Data, HPALETTE Palette);
    virtual void SaveToClipboardFormat(Word& Format, HANDLE& Data, HPALETTE& Palette);

    TNotifyEvent OnChange;
    TProgressEvent OnProgress;

    // The streamed "Data" property of a graphic published by a component: its saved image.
    void DefineProperties(TFiler& Filer) override;

    // Reports loading progress through OnProgress.
    virtual void Progress(TObject* Sender, TProgressStage Stage, Byte PercentDone, bool RedrawNow, const TRect& R,
                          const std::string& Msg);

    // The data of the "Data" property (and of a picture's graphic): the image as the class saves it.
    virtual void ReadData(TStream* Stream) { LoadFromStream(Stream); }
    virtual void WriteData(TStream* Stream) { SaveToStream(Stream); }

protected:
    virtual void Changed(TObject* Sender);

    bool FTransparent = false;

private:
    bool FModified = false;
};

using TGraphicClass = TClassOf<TGraphic>;

// Raises EInvalidGraphic / EInvalidGraphicOperation with the given text.
[[noreturn]] void InvalidGraphic(const std::string& Msg);
[[noreturn]] void InvalidGraphicOperation(const std::string& Msg);
