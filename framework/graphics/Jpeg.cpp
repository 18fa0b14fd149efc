#include "Jpeg.h"

#include "BitmapCodec.h"
#include "Picture.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

#include <jerror.h>

namespace {

// The library reports errors by calling error_exit, which must not return: it jumps back to the
// call that started the work, which raises EJPEG after cleaning up. Only plain C data lives in the
// frames between the jump and its target.
struct TJpegError {
    jpeg_error_mgr Pub;
    std::jmp_buf Jump;
};

void ErrorExit(j_common_ptr C) { std::longjmp(reinterpret_cast<TJpegError*>(C->err)->Jump, 1); }
void SilentMessage(j_common_ptr) {}

jpeg_error_mgr* InitError(TJpegError& E) {
    jpeg_std_error(&E.Pub);
    E.Pub.error_exit = ErrorExit;
    E.Pub.output_message = SilentMessage;
    return &E.Pub;
}

[[noreturn]] void RaiseJpeg(int Code) { throw EJPEG("JPEG error #%d", {Code}); }

// A source over memory that treats running out as an error: data cut short must not pass for a
// picture whose missing rows are grey.
void InitSource(j_decompress_ptr) {}
boolean FillInput(j_decompress_ptr C) {
    ERREXIT(C, JERR_INPUT_EOF);
    return FALSE;
}
void SkipInput(j_decompress_ptr C, long Count) {
    if (Count <= 0)
        return;
    if (static_cast<size_t>(Count) > C->src->bytes_in_buffer)
        FillInput(C);
    C->src->next_input_byte += Count;
    C->src->bytes_in_buffer -= static_cast<size_t>(Count);
}
void TermSource(j_decompress_ptr) {}

struct TDecodeJob {
    const std::string* Data;
    int ScaleDenom;
    bool Gray;
    // Results
    int Width = 0;
    int Height = 0;
    int Components = 0;  // of the rows handed out: 1 grey, 3 RGB
    bool InvertedInks = false;  // the colour-transform marker's files store inverted inks
    bool Cmyk = false;
    std::vector<JSAMPLE>* Rows;  // top-down, Width * (Cmyk ? 4 : Components) samples each
};

// Returns 0, or the library's error code.
int RunDecode(jpeg_decompress_struct* C, jpeg_source_mgr* Src, TJpegError* Err, TDecodeJob* Job) {
    C->err = InitError(*Err);
    if (setjmp(Err->Jump)) {
        int Code = Err->Pub.msg_code ? Err->Pub.msg_code : -1;
        jpeg_destroy_decompress(C);
        return Code;
    }
    jpeg_create_decompress(C);
    Src->init_source = InitSource;
    Src->fill_input_buffer = FillInput;
    Src->skip_input_data = SkipInput;
    Src->resync_to_restart = jpeg_resync_to_restart;
    Src->term_source = TermSource;
    Src->next_input_byte = reinterpret_cast<const JOCTET*>(Job->Data->data());
    Src->bytes_in_buffer = Job->Data->size();
    C->src = Src;
    jpeg_read_header(C, TRUE);
    C->scale_num = 1;
    C->scale_denom = static_cast<unsigned>(Job->ScaleDenom);
    Job->Cmyk = C->jpeg_color_space == JCS_CMYK || C->jpeg_color_space == JCS_YCCK;
    Job->InvertedInks = C->saw_Adobe_marker;
    if (Job->Cmyk)
        C->out_color_space = JCS_CMYK;
    else if (Job->Gray || C->jpeg_color_space == JCS_GRAYSCALE)
        C->out_color_space = JCS_GRAYSCALE;
    else
        C->out_color_space = JCS_RGB;
    jpeg_start_decompress(C);
    Job->Width = static_cast<int>(C->output_width);
    Job->Height = static_cast<int>(C->output_height);
    Job->Components = C->out_color_space == JCS_GRAYSCALE ? 1 : 3;
    size_t Stride = size_t(C->output_width) * size_t(C->output_components);
    if (std::uint64_t(Stride) * C->output_height > GraphicsDetail::MaxImageBytes)
        ERREXIT(C, JERR_WIDTH_OVERFLOW);
    Job->Rows->resize(Stride * C->output_height);
    while (C->output_scanline < C->output_height) {
        JSAMPROW Row = Job->Rows->data() + Stride * C->output_scanline;
        jpeg_read_scanlines(C, &Row, 1);
    }
    // Everything the picture needs has been read; what follows the last row (the end marker) may
    // be missing without harm, so the decoder is dropped instead of finished.
    jpeg_destroy_decompress(C);
    return 0;
}

struct TEncodeJob {
    int Width;
    int Height;
    int Quality;
    bool Gray;
    const std::vector<JSAMPLE>* Rows;  // top-down RGB
    unsigned char* Out = nullptr;
    unsigned long OutSize = 0;
};

int RunEncode(jpeg_compress_struct* C, TJpegError* Err, TEncodeJob* Job) {
    C->err = InitError(*Err);
    if (setjmp(Err->Jump)) {
        int Code = Err->Pub.msg_code ? Err->Pub.msg_code : -1;
        jpeg_destroy_compress(C);
        return Code;
    }
    jpeg_create_compress(C);
    jpeg_mem_dest(C, &Job->Out, &Job->OutSize);
    C->image_width = static_cast<JDIMENSION>(Job->Width);
    C->image_height = static_cast<JDIMENSION>(Job->Height);
    C->input_components = 3;
    C->in_color_space = JCS_RGB;
    jpeg_set_defaults(C);
    if (Job->Gray)
        jpeg_set_colorspace(C, JCS_GRAYSCALE);
    jpeg_set_quality(C, Job->Quality, TRUE);
    jpeg_start_compress(C, TRUE);
    size_t Stride = size_t(Job->Width) * 3;
    while (C->next_scanline < C->image_height) {
        JSAMPROW Row = const_cast<JSAMPLE*>(Job->Rows->data()) + Stride * C->next_scanline;
        jpeg_write_scanlines(C, &Row, 1);
    }
    jpeg_finish_compress(C);
    jpeg_destroy_compress(C);
    return 0;
}

}  // namespace

TJPEGImage::TJPEGImage() = default;

TJPEGImage::~TJPEGImage() { FreeBitmap(); }

void TJPEGImage::FreeBitmap() { FreeAndNil(FBitmap); }

TBitmap* TJPEGImage::Decode(const std::string& Data) {
    jpeg_decompress_struct C{};
    jpeg_source_mgr Src{};
    TJpegError Err{};
    std::vector<JSAMPLE> Rows;
    TDecodeJob Job;
    Job.Data = &Data;
    Job.ScaleDenom = 1 << FScale;
    Job.Gray = FGrayscale;
    Job.Rows = &Rows;
    if (int Code = RunDecode(&C, &Src, &Err, &Job))
        RaiseJpeg(Code);
    TOwned<TBitmap> B(Create<TBitmap>());
    // Grey pictures become 8-bit images over the grey ramp a new 8-bit bitmap starts with.
    B->SetPixelFormat(Job.Components == 1 ? pf8bit : pf24bit);
    B->SetSize(Job.Width, Job.Height);
    int InStep = Job.Cmyk ? 4 : Job.Components;
    for (int Y = 0; Y < Job.Height; ++Y) {
        const JSAMPLE* Src = Rows.data() + size_t(Y) * Job.Width * InStep;
        auto* Dst = static_cast<BYTE*>(B->ScanLine(Y));
        if (Job.Components == 1) {
            std::copy(Src, Src + Job.Width, Dst);
            continue;
        }
        for (int X = 0; X < Job.Width; ++X, Src += InStep, Dst += 3) {
            if (Job.Cmyk) {
                int K = Job.InvertedInks ? Src[3] : 255 - Src[3];
                auto Ink = [&](JSAMPLE V) { return static_cast<BYTE>((Job.InvertedInks ? V : 255 - V) * K / 255); };
                Dst[0] = Ink(Src[2]);
                Dst[1] = Ink(Src[1]);
                Dst[2] = Ink(Src[0]);
            } else {
                Dst[0] = Src[2];
                Dst[1] = Src[1];
                Dst[2] = Src[0];
            }
        }
    }
    return B.release();
}

bool TJPEGImage::Empty() { return FData.empty() && !FBitmap; }

void TJPEGImage::DIBNeeded() {
    if (!FBitmap && !FData.empty())
        FBitmap = Decode(FData);
}

void TJPEGImage::Compress() {
    if (!FBitmap)
        return;
    TOwned<TBitmap> Work(Create<TBitmap>());
    Work->Assign(FBitmap);
    Work->SetPixelFormat(pf24bit);
    std::vector<JSAMPLE> Rows(size_t(Work->Width()) * Work->Height() * 3);
    for (int Y = 0; Y < Work->Height(); ++Y) {
        auto* Src = static_cast<const BYTE*>(Work->ScanLine(Y));
        JSAMPLE* Dst = Rows.data() + size_t(Y) * Work->Width() * 3;
        for (int X = 0; X < Work->Width(); ++X, Src += 3, Dst += 3) {
            Dst[0] = Src[2];
            Dst[1] = Src[1];
            Dst[2] = Src[0];
        }
    }
    jpeg_compress_struct C{};
    TJpegError Err{};
    TEncodeJob Job{Work->Width(), Work->Height(), FQuality, FGrayscale, &Rows};
    int Code = RunEncode(&C, &Err, &Job);
    std::string Data;
    if (!Code)
        Data.assign(reinterpret_cast<const char*>(Job.Out), Job.OutSize);
    std::free(Job.Out);
    if (Code)
        RaiseJpeg(Code);
    FData = std::move(Data);
}

void TJPEGImage::JPEGNeeded() {
    if (FData.empty() && FBitmap)
        Compress();
}

int TJPEGImage::Width() {
    DIBNeeded();
    return FBitmap ? FBitmap->Width() : 0;
}

int TJPEGImage::Height() {
    DIBNeeded();
    return FBitmap ? FBitmap->Height() : 0;
}

void TJPEGImage::SetWidth(int) { InvalidGraphicOperation("Cannot change the size of a JPEG image"); }
void TJPEGImage::SetHeight(int) { InvalidGraphicOperation("Cannot change the size of a JPEG image"); }

void TJPEGImage::SetCompressionQuality(int Value) { FQuality = std::clamp(Value, 1, 100); }

void TJPEGImage::SetGrayscale(bool Value) {
    if (Value == FGrayscale)
        return;
    FGrayscale = Value;
    if (!FData.empty())
        FreeBitmap();
    Changed(this);
}

void TJPEGImage::SetScale(TJPEGScale Value) {
    if (Value == FScale)
        return;
    FScale = Value;
    if (!FData.empty())
        FreeBitmap();
    Changed(this);
}

void TJPEGImage::Assign(TPersistent* Source) {
    if (!Source) {
        FData.clear();
        FreeBitmap();
        Changed(this);
    } else if (auto* J = DynCast<TJPEGImage>(Source)) {
        if (J == this)
            return;
        FData = J->FData;
        FQuality = J->FQuality;
        FGrayscale = J->FGrayscale;
        FScale = J->FScale;
        FreeBitmap();
        if (J->FBitmap) {
            FBitmap = Create<TBitmap>();
            FBitmap->Assign(J->FBitmap);
        }
        Changed(this);
    } else if (auto* B = DynCast<TBitmap>(Source)) {
        TOwned<TBitmap> Copy(Create<TBitmap>());
        Copy->Assign(B);
        FData.clear();
        FreeBitmap();
        FBitmap = Copy.release();
        Changed(this);
    } else {
        TGraphic::Assign(Source);
    }
}

void TJPEGImage::AssignTo(TPersistent* Dest) {
    if (auto* B = DynCast<TBitmap>(Dest)) {
        DIBNeeded();
        B->Assign(FBitmap);
        return;
    }
    TGraphic::AssignTo(Dest);
}

void TJPEGImage::Draw(TCanvas* ACanvas, const TRect& R) {
    DIBNeeded();
    if (FBitmap)
        FBitmap->Draw(ACanvas, R);
}

void TJPEGImage::LoadFromStream(TStream* Stream) {
    Int64 Left = Stream->Size() - Stream->Position();
    std::string Data(static_cast<size_t>(std::max<Int64>(Left, 0)), '\0');
    if (!Data.empty())
        Stream->ReadBuffer(Data.data(), static_cast<LongInt>(Data.size()));
    TakeData(std::move(Data));
}

void TJPEGImage::TakeData(std::string Data) {
    TBitmap* B = Decode(Data);
    FreeBitmap();
    FBitmap = B;
    FData = std::move(Data);
    Changed(this);
}

void TJPEGImage::SaveToStream(TStream* Stream) {
    JPEGNeeded();
    if (!FData.empty())
        Stream->WriteBuffer(FData.data(), static_cast<LongInt>(FData.size()));
}

void TJPEGImage::ReadData(TStream* Stream) {
    LongInt Size = 0;
    Stream->ReadBuffer(&Size, sizeof Size);
    if (Size < 0 || Size > Stream->Size() - Stream->Position())
        RaiseJpeg(JERR_INPUT_EOF);
    std::string Data(static_cast<size_t>(Size), '\0');
    if (Size)
        Stream->ReadBuffer(Data.data(), Size);
    TakeData(std::move(Data));
}

void TJPEGImage::WriteData(TStream* Stream) {
    JPEGNeeded();
    LongInt Size = static_cast<LongInt>(FData.size());
    Stream->WriteBuffer(&Size, sizeof Size);
    if (Size)
        Stream->WriteBuffer(FData.data(), Size);
}

namespace {
bool JpegStarted = false;
}  // namespace

void JpegInitialization() {
    if (JpegStarted)
        return;
    JpegStarted = true;
    RegisterClass(TJPEGImage::StaticClass());
    TPicture::RegisterFileFormat("jpeg", "JPEG Image File", TJPEGImage::StaticClass());
    TPicture::RegisterFileFormat("jpg", "JPEG Image File", TJPEGImage::StaticClass());
}

void JpegFinalization() {
    if (!JpegStarted)
        return;
    JpegStarted = false;
    TPicture::UnregisterGraphicClass(TJPEGImage::StaticClass());
}
