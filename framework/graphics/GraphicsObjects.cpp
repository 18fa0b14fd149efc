#include "GraphicsObjects.h"

#include "Bitmaps.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

int ScreenLogPixels = 96;
TFontDefaults DefFontData;

namespace {
struct TMeasureDC {
    HDC DC = nullptr;
    ~TMeasureDC() {
        if (DC)
            DeleteDC(DC);
    }
};
}  // namespace

HDC TextMeasureDC() {
    thread_local TMeasureDC Holder;
    if (!Holder.DC)
        Holder.DC = CreateCompatibleDC(nullptr);
    return Holder.DC;
}

int FontTextHeight(TFont* Font) {
    HDC DC = TextMeasureDC();
    HGDIOBJ Old = SelectObject(DC, Font->Handle());
    TEXTMETRICA TM{};
    GetTextMetricsA(DC, &TM);
    SelectObject(DC, Old);
    return TM.tmHeight;
}

// ---------------------------------------------------------------------------------------------
// The shared resources: one record per distinct description, counted by the objects using it.
// Descriptions are plain records without padding, compared byte by byte; a handle adopted through
// SetHandle is part of the description, so adopted handles are never shared by accident.

namespace GraphicsDetail {

struct TResource {
    int Kind = 0;
    int RefCount = 1;
    HGDIOBJ Handle = nullptr;
    std::size_t Hash = 0;
    virtual ~TResource() = default;
    virtual const void* Bytes() const = 0;
    virtual std::size_t Length() const = 0;
};

namespace {

struct TFontData {
    static constexpr int Kind = 1;
    HFONT Handle;
    LongInt Height;
    LongInt Pitch;
    LongWord Style;
    LongInt Charset;
    char Name[LF_FACESIZE];
};

struct TPenData {
    static constexpr int Kind = 2;
    HPEN Handle;
    TColor Color;
    LongInt Width;
    LongInt Style;
};

struct TBrushData {
    static constexpr int Kind = 3;
    HBRUSH Handle;
    TColor Color;
    TBitmap* Bitmap;
    LongInt Style;
};

template <class D>
struct TResourceOf final : TResource {
    D Data;
    const void* Bytes() const override { return &Data; }
    std::size_t Length() const override { return sizeof(D); }
};

template <class D>
D Zeroed() {
    D Data;
    std::memset(&Data, 0, sizeof Data);
    return Data;
}

std::size_t HashBytes(const void* P, std::size_t N) {
    auto* B = static_cast<const unsigned char*>(P);
    std::size_t H = 2166136261u;
    for (std::size_t I = 0; I < N; ++I)
        H = (H ^ B[I]) * 16777619u;
    return H;
}

// Fonts, pens and brushes may be made on worker threads too (bitmaps painted off the GUI thread).
class TResourceCache {
public:
    template <class D>
    TResource* Acquire(const D& Data) {
        std::size_t H = HashBytes(&Data, sizeof Data);
        std::lock_guard<std::mutex> Lock(FLock);
        for (TResource* R : FItems)
            if (R->Kind == D::Kind && R->Hash == H && std::memcmp(R->Bytes(), &Data, sizeof Data) == 0) {
                ++R->RefCount;
                return R;
            }
        auto* R = new TResourceOf<D>;
        R->Kind = D::Kind;
        R->Hash = H;
        R->Data = Data;
        R->Handle = Data.Handle;
        FItems.push_back(R);
        return R;
    }

    void AddRef(TResource* R) {
        std::lock_guard<std::mutex> Lock(FLock);
        ++R->RefCount;
    }

    void Release(TResource* R) {
        if (!R)
            return;
        std::lock_guard<std::mutex> Lock(FLock);
        if (--R->RefCount > 0)
            return;
        FItems.erase(std::find(FItems.begin(), FItems.end(), R));
        if (R->Handle)
            DeleteObject(R->Handle);
        delete R;
    }

    template <class D, class Make>
    HGDIOBJ HandleOf(TResource* R, Make MakeHandle) {
        std::lock_guard<std::mutex> Lock(FLock);
        if (!R->Handle)
            R->Handle = MakeHandle(static_cast<TResourceOf<D>*>(R)->Data);
        return R->Handle;
    }

    int Count() {
        std::lock_guard<std::mutex> Lock(FLock);
        return static_cast<int>(FItems.size());
    }

private:
    std::mutex FLock;
    std::vector<TResource*> FItems;
};

TResourceCache& Cache() {
    static TResourceCache* C = new TResourceCache;  // outlives every static graphics object
    return *C;
}

template <class D>
const D& DataOf(TResource* R) {
    return static_cast<TResourceOf<D>*>(R)->Data;
}

// The description of a resource with the adopted handle dropped: what a setter starts from.
template <class D>
D EditableData(TResource* R) {
    D Data = DataOf<D>(R);
    Data.Handle = nullptr;
    return Data;
}

}  // namespace

int SharedResourceCount() { return Cache().Count(); }

}  // namespace GraphicsDetail

using namespace GraphicsDetail;

// ---------------------------------------------------------------------------------------------
// TGraphicsObject

TGraphicsObject::~TGraphicsObject() { Cache().Release(FResource); }

void TGraphicsObject::Changed() {
    if (OnChange)
        OnChange(this);
}

void TGraphicsObject::SetResource(TResource* Resource) {
    TResource* Old = FResource;
    FResource = Resource;
    struct TReleaseOld {
        TResource* R;
        ~TReleaseOld() { Cache().Release(R); }
    } ReleaseOld{Old};
    Changed();
}

// ---------------------------------------------------------------------------------------------
// TFont

namespace {
TFontData DefaultFontData() {
    auto D = Zeroed<TFontData>();
    D.Height = DefFontData.Height;
    D.Pitch = DefFontData.Pitch;
    D.Style = DefFontData.Style.Bits();
    D.Charset = DefFontData.Charset;
    lstrcpynA(D.Name, DefFontData.Name.c_str(), LF_FACESIZE);
    return D;
}

HGDIOBJ MakeFont(const TFontData& D) {
    LOGFONTA F{};
    F.lfHeight = D.Height;
    TFontStyles Style = TFontStyles::FromBits(D.Style);
    F.lfWeight = Style.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    F.lfItalic = Style.Contains(fsItalic);
    F.lfUnderline = Style.Contains(fsUnderline);
    F.lfStrikeOut = Style.Contains(fsStrikeOut);
    F.lfCharSet = static_cast<BYTE>(D.Charset);
    F.lfOutPrecision = OUT_DEFAULT_PRECIS;
    F.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    F.lfQuality = DEFAULT_QUALITY;
    static const BYTE Pitches[] = {DEFAULT_PITCH, VARIABLE_PITCH, FIXED_PITCH};
    F.lfPitchAndFamily = Pitches[D.Pitch];
    // "Default" is the platform's name for the framework's default face.
    if (lstrcmpiA(D.Name, "Default") == 0)
        lstrcpynA(F.lfFaceName, DefFontData.Name.c_str(), LF_FACESIZE);
    else
        lstrcpynA(F.lfFaceName, D.Name, LF_FACESIZE);
    return CreateFontIndirectA(&F);
}
}  // namespace

TFont::TFont() : FPixelsPerInch(ScreenLogPixels) { FResource = Cache().Acquire(DefaultFontData()); }

void TFont::DefineClass(TClassBuilder<TFont>& B) {
    B.Property("Charset", &TFont::Charset, &TFont::SetCharset).TypeName("TFontCharset");
    B.Property("Color", &TFont::Color, &TFont::SetColor).TypeName("TColor");
    B.Property("Height", &TFont::Height, &TFont::SetHeight);
    B.Property("Name", &TFont::Name, &TFont::SetName).TypeName("TFontName");
    B.Property("Pitch", &TFont::Pitch, &TFont::SetPitch).Default(fpDefault);
    B.Property("Size", &TFont::Size, &TFont::SetSize).Stored(false);
    B.Property("Style", &TFont::Style, &TFont::SetStyle);
}

template <class F>
void TFont::ChangeData(F Change) {
    auto D = EditableData<TFontData>(FResource);
    Change(D);
    SetResource(Cache().Acquire(D));
}

void TFont::Assign(TPersistent* Source) {
    if (auto* Src = DynCast<TFont>(Source)) {
        if (Src != this) {
            Cache().AddRef(Src->FResource);
            TResource* Shared = Src->FResource;
            TColor SrcColor = Src->FColor;
            int SrcSize = Src->Size();
            bool OtherResolution = FPixelsPerInch != Src->FPixelsPerInch;
            SetResource(Shared);
            SetColor(SrcColor);
            if (OtherResolution)
                SetSize(SrcSize);
        } else {
            Changed();
        }
        return;
    }
    TGraphicsObject::Assign(Source);
}

HFONT TFont::Handle() { return static_cast<HFONT>(Cache().HandleOf<TFontData>(FResource, MakeFont)); }

void TFont::SetHandle(HFONT Value) {
    if (Value == Handle())
        return;
    auto D = Zeroed<TFontData>();
    LOGFONTA F{};
    if (Value && GetObjectA(Value, sizeof F, &F) == sizeof F) {
        D.Handle = Value;
        D.Height = F.lfHeight;
        TFontStyles Style;
        if (F.lfWeight >= FW_BOLD)
            Style.Include(fsBold);
        if (F.lfItalic)
            Style.Include(fsItalic);
        if (F.lfUnderline)
            Style.Include(fsUnderline);
        if (F.lfStrikeOut)
            Style.Include(fsStrikeOut);
        D.Style = Style.Bits();
        D.Charset = F.lfCharSet;
        D.Pitch = (F.lfPitchAndFamily & 3) == FIXED_PITCH      ? fpFixed
                  : (F.lfPitchAndFamily & 3) == VARIABLE_PITCH ? fpVariable
                                                               : fpDefault;
        lstrcpynA(D.Name, F.lfFaceName, LF_FACESIZE);
    } else {
        D = DefaultFontData();
    }
    SetResource(Cache().Acquire(D));
}

void TFont::SetColor(TColor Value) {
    if (FColor != Value) {
        FColor = Value;
        Changed();
    }
}

int TFont::Height() const { return DataOf<TFontData>(FResource).Height; }
void TFont::SetHeight(int Value) {
    ChangeData([&](TFontData& D) { D.Height = Value; });
}

TFontName TFont::Name() const { return DataOf<TFontData>(FResource).Name; }
void TFont::SetName(const TFontName& Value) {
    if (Value.empty())
        return;
    ChangeData([&](TFontData& D) {
        std::memset(D.Name, 0, sizeof D.Name);
        lstrcpynA(D.Name, Value.c_str(), LF_FACESIZE);
    });
}

TFontPitch TFont::Pitch() const { return static_cast<TFontPitch>(DataOf<TFontData>(FResource).Pitch); }
void TFont::SetPitch(TFontPitch Value) {
    ChangeData([&](TFontData& D) { D.Pitch = Value; });
}

int TFont::Size() const { return -MulDiv(Height(), 72, FPixelsPerInch); }
void TFont::SetSize(int Value) { SetHeight(-MulDiv(Value, FPixelsPerInch, 72)); }

TFontStyles TFont::Style() const { return TFontStyles::FromBits(DataOf<TFontData>(FResource).Style); }
void TFont::SetStyle(TFontStyles Value) {
    ChangeData([&](TFontData& D) { D.Style = Value.Bits(); });
}

TFontCharset TFont::Charset() const { return static_cast<TFontCharset>(DataOf<TFontData>(FResource).Charset); }
void TFont::SetCharset(TFontCharset Value) {
    ChangeData([&](TFontData& D) { D.Charset = Value; });
}

// ---------------------------------------------------------------------------------------------
// TPen

namespace {
HGDIOBJ MakePen(const TPenData& D) {
    static const UINT Styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    LOGPEN P{};
    P.lopnStyle = Styles[D.Style];
    P.lopnWidth.x = D.Width;
    P.lopnColor = static_cast<COLORREF>(ColorToRGB(D.Color));
    return CreatePenIndirect(&P);
}
}  // namespace

TPen::TPen() {
    auto D = Zeroed<TPenData>();
    D.Color = clBlack;
    D.Width = 1;
    D.Style = psSolid;
    FResource = Cache().Acquire(D);
}

void TPen::DefineClass(TClassBuilder<TPen>& B) {
    B.Property("Color", &TPen::Color, &TPen::SetColor).TypeName("TColor").Default(clBlack);
    B.Property("Mode", &TPen::Mode, &TPen::SetMode).Default(pmCopy);
    B.Property("Style", &TPen::Style, &TPen::SetStyle).Default(psSolid);
    B.Property("Width", &TPen::Width, &TPen::SetWidth).Default(1);
}

template <class F>
void TPen::ChangeData(F Change) {
    auto D = EditableData<TPenData>(FResource);
    Change(D);
    SetResource(Cache().Acquire(D));
}

void TPen::Assign(TPersistent* Source) {
    if (auto* Src = DynCast<TPen>(Source)) {
        Cache().AddRef(Src->FResource);
        FMode = Src->FMode;
        SetResource(Src->FResource);
        return;
    }
    TGraphicsObject::Assign(Source);
}

HPEN TPen::Handle() { return static_cast<HPEN>(Cache().HandleOf<TPenData>(FResource, MakePen)); }

void TPen::SetHandle(HPEN Value) {
    auto D = EditableData<TPenData>(FResource);
    D.Handle = Value;
    SetResource(Cache().Acquire(D));
}

TColor TPen::Color() const { return DataOf<TPenData>(FResource).Color; }
void TPen::SetColor(TColor Value) {
    ChangeData([&](TPenData& D) { D.Color = Value; });
}

void TPen::SetMode(TPenMode Value) {
    if (FMode != Value) {
        FMode = Value;
        Changed();
    }
}

TPenStyle TPen::Style() const { return static_cast<TPenStyle>(DataOf<TPenData>(FResource).Style); }
void TPen::SetStyle(TPenStyle Value) {
    ChangeData([&](TPenData& D) { D.Style = Value; });
}

int TPen::Width() const { return DataOf<TPenData>(FResource).Width; }
void TPen::SetWidth(int Value) {
    if (Value >= 0)
        ChangeData([&](TPenData& D) { D.Width = Value; });
}

// ---------------------------------------------------------------------------------------------
// TBrush

namespace {
HGDIOBJ MakeBrush(const TBrushData& D) {
    if (D.Bitmap)
        return CreatePatternBrush(D.Bitmap->Handle());
    LOGBRUSH B{};
    B.lbColor = static_cast<COLORREF>(ColorToRGB(D.Color));
    switch (D.Style) {
    case bsSolid:
        B.lbStyle = BS_SOLID;
        break;
    case bsClear:
        B.lbStyle = BS_HOLLOW;
        break;
    default:
        B.lbStyle = BS_HATCHED;
        B.lbHatch = static_cast<ULONG_PTR>(D.Style - bsHorizontal);  // HS_HORIZONTAL .. HS_DIAGCROSS
    }
    return CreateBrushIndirect(&B);
}
}  // namespace

TBrush::TBrush() {
    auto D = Zeroed<TBrushData>();
    D.Color = clWhite;
    D.Style = bsSolid;
    FResource = Cache().Acquire(D);
}

void TBrush::DefineClass(TClassBuilder<TBrush>& B) {
    B.Property("Color", &TBrush::Color, &TBrush::SetColor).TypeName("TColor").Default(clWhite);
    B.Property("Style", &TBrush::Style, &TBrush::SetStyle).Default(bsSolid);
}

template <class F>
void TBrush::ChangeData(F Change) {
    auto D = EditableData<TBrushData>(FResource);
    Change(D);
    SetResource(Cache().Acquire(D));
}

void TBrush::Assign(TPersistent* Source) {
    if (auto* Src = DynCast<TBrush>(Source)) {
        Cache().AddRef(Src->FResource);
        SetResource(Src->FResource);
        return;
    }
    TGraphicsObject::Assign(Source);
}

HBRUSH TBrush::Handle() { return static_cast<HBRUSH>(Cache().HandleOf<TBrushData>(FResource, MakeBrush)); }

void TBrush::SetHandle(HBRUSH Value) {
    auto D = EditableData<TBrushData>(FResource);
    D.Handle = Value;
    D.Bitmap = nullptr;
    SetResource(Cache().Acquire(D));
}

TColor TBrush::Color() const { return DataOf<TBrushData>(FResource).Color; }
void TBrush::SetColor(TColor Value) {
    ChangeData([&](TBrushData& D) {
        D.Color = Value;
        if (D.Style == bsClear)
            D.Style = bsSolid;
    });
}

TBrushStyle TBrush::Style() const { return static_cast<TBrushStyle>(DataOf<TBrushData>(FResource).Style); }
void TBrush::SetStyle(TBrushStyle Value) {
    ChangeData([&](TBrushData& D) {
        D.Style = Value;
        if (Value == bsClear)
            D.Bitmap = nullptr;
    });
}

TBitmap* TBrush::Bitmap() const { return DataOf<TBrushData>(FResource).Bitmap; }
void TBrush::SetBitmap(TBitmap* Value) {
    ChangeData([&](TBrushData& D) {
        D.Bitmap = Value;
        if (Value)
            D.Style = bsSolid;
    });
}
