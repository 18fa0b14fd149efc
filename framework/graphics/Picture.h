// TPicture: holds one graphic of any registered class, loads files by their extension and streams
// its graphic with the class name in form files. Picture formats are registered at start-up
// (BMP and ICO by the graphics unit, JPEG by its own unit, PNG by the skin engine).
#pragma once

#include "Bitmaps.h"
#include "Icons.h"

#include <string>

class TPicture : public TPersistent {
    DECLARE_CLASS(TPicture, TPersistent)
public:
    TPicture() = default;
    ~TPicture() override;

    // A picture copies the other's graphic, a graphic is copied in, nil empties the picture.
    void Assign(TPersistent* Source) override;
    // The graphic class registered for the file's extension (any case) reads it; an unknown
    // extension raises EInvalidGraphic "Unknown picture file extension (.%s)". On any error the
    // picture keeps what it had.
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName);

    TGraphic* Graphic() const { return FGraphic; }
    // Keeps a copy of Value (a new graphic of its class); nil empties the picture.
    void SetGraphic(TGraphic* Value);
    // The graphic as a bitmap or icon; a graphic of another class is replaced by an empty one.
    TBitmap* Bitmap();
    void SetBitmap(TBitmap* Value) { SetGraphic(Value); }
    TIcon* Icon();
    void SetIcon(TIcon* Value) { SetGraphic(Value); }
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }

    TNotifyEvent OnChange;
    TProgressEvent OnProgress;

    // "Data": the graphic's class name as a short string, then the graphic's own data.
    void DefineProperties(TFiler& Filer) override;

    // The formats, newest registration first: an extension registered again is served by the newer
    // class. The extension is given without the dot ("png").
    static void RegisterFileFormat(const std::string& Extension, const std::string& Description,
                                   TGraphicClass GraphicClass);
    // Drops every format of the class (and of its descendants).
    static void UnregisterGraphicClass(TGraphicClass AClass);
    // The registered class for an extension (with or without the dot), or null.
    static TGraphicClass FindExtension(const std::string& Extension);

    // Clipboard formats a graphic class reads (the graphics unit registers CF_BITMAP for bitmaps).
    static void RegisterClipboardFormat(Word Format, TGraphicClass GraphicClass);
    static bool SupportsClipboardFormat(Word Format);
    // A new graphic of the class registered for Format reads the handle; an unregistered format
    // raises EInvalidGraphic "Unsupported clipboard format". On any error the picture keeps what
    // it had.
    void LoadFromClipboardFormat(Word Format, HANDLE Data, HPALETTE Palette);
    // Format 0 and no data for an empty picture.
    void SaveToClipboardFormat(Word& Format, HANDLE& Data, HPALETTE& Palette);

protected:
    void AssignTo(TPersistent* Dest) override;
    virtual void Changed(TObject* Sender);
    virtual void Progress(TObject* Sender, TProgressStage Stage, Byte PercentDone, bool RedrawNow, const TRect& R,
                          const std::string& Msg);

private:
    void Replace(TGraphic* NewGraphic);
    void ReadData(TStream& Stream);
    void WriteData(TStream& Stream);
    TGraphic* FGraphic = nullptr;
};

// "All (*.bmp;*.ico)|*.bmp;*.ico|Bitmaps (*.bmp)|*.bmp|..." for the formats of GraphicClass and its
// descendants (the "All" entry only when there are several).
std::string GraphicFilter(TGraphicClass GraphicClass);
// The first extension registered for exactly that class ("bmp"), or "".
std::string GraphicExtension(TGraphicClass GraphicClass);
// "*.bmp;*.ico" for the formats of GraphicClass and its descendants.
std::string GraphicFileMask(TGraphicClass GraphicClass);
