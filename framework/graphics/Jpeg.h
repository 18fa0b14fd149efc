// TJPEGImage: a JPEG picture as a graphic, decoded into a 24-bit (or 8-bit grey) bitmap for
// drawing and encoded again from a bitmap when saved.
#pragma once

#include "Bitmaps.h"

#include <string>

DECLARE_EXCEPTION(EJPEG, EInvalidGraphic);

DECLARE_ENUM(TJPEGScale, jsFullSize, jsHalf, jsQuarter, jsEighth)

class TJPEGImage : public TGraphic {
    DECLARE_CLASS(TJPEGImage, TGraphic)
public:
    TJPEGImage();
    ~TJPEGImage() override;

    // From another JPEG image (data and settings), from a bitmap (encoded when saved), nil empties.
    void Assign(TPersistent* Source) override;
    void Draw(TCanvas* ACanvas, const TRect& R) override;
    bool Empty() override;
    // The size of the decoded image, that is after Scale.
    int Width() override;
    int Height() override;
    // A JPEG image keeps its size: EInvalidGraphicOperation.
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;

    // Takes the rest of the stream as JPEG data and decodes it at once: bad or cut-short data raises
    // EJPEG ("JPEG error #%d", an EInvalidGraphic) and leaves the image as it was.
    void LoadFromStream(TStream* Stream) override;
    // The JPEG data: as loaded, or the bitmap encoded with CompressionQuality and Grayscale.
    void SaveToStream(TStream* Stream) override;

    // Encodes the bitmap now; DIBNeeded decodes now; JPEGNeeded makes sure there is JPEG data.
    void Compress();
    void DIBNeeded();
    void JPEGNeeded();

    // 1..100 for the next encoding.
    int CompressionQuality() const { return FQuality; }
    void SetCompressionQuality(int Value);
    // Decodes to and encodes as grey levels.
    bool Grayscale() const { return FGrayscale; }
    void SetGrayscale(bool Value);
    // Decoding at 1/1, 1/2, 1/4 or 1/8 of the size.
    TJPEGScale Scale() const { return FScale; }
    void SetScale(TJPEGScale Value);

    // The "Data" property: a 32-bit byte count, then the JPEG data.
    void ReadData(TStream* Stream) override;
    void WriteData(TStream* Stream) override;

protected:
    // Copies the decoded image into a bitmap.
    void AssignTo(TPersistent* Dest) override;

private:
    void FreeBitmap();
    // The bitmap of Data decoded with the current settings; raises EJPEG.
    TBitmap* Decode(const std::string& Data);
    // Decodes Data and keeps both, or raises and changes nothing.
    void TakeData(std::string Data);
    std::string FData;            // JPEG data, empty when only a bitmap is held
    TBitmap* FBitmap = nullptr;   // the decoded (or assigned) image
    int FQuality = 90;
    bool FGrayscale = false;
    TJPEGScale FScale = jsFullSize;
};

// Registers ".jpg" and ".jpeg" with TPicture (the JPEG unit's start-up); safe to call twice.
void JpegInitialization();
void JpegFinalization();
