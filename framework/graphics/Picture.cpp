#include "Picture.h"

#include <algorithm>
#include <vector>

namespace {
struct TFileFormat {
    std::string Extension;  // lower case, no dot
    std::string Description;
    TGraphicClass GraphicClass;
};

struct TClipFormat {
    Word Format;
    TGraphicClass GraphicClass;
};

std::vector<TClipFormat>& ClipFormats() {
    static std::vector<TClipFormat> V;
    return V;
}

std::vector<TFileFormat>& Formats() {
    static std::vector<TFileFormat> V;
    return V;
}

std::string Normalised(std::string Ext) {
    if (!Ext.empty() && Ext[0] == '.')
        Ext.erase(0, 1);
    return LowerCase(Ext);
}

TGraphicClass FindClassName(const std::string& Name) {
    for (const TFileFormat& F : Formats())
        if (SameText(static_cast<TClass>(F.GraphicClass)->ClassName(), Name))
            return F.GraphicClass;
    TClass C = GetClass(Name);
    if (C && C->InheritsFrom(TGraphic::StaticClass()))
        return TGraphicClass(C);
    return nullptr;
}

// The formats of Class and its descendants: masks ("*.bmp") with their descriptions.
std::vector<const TFileFormat*> FormatsOf(TGraphicClass Class) {
    std::vector<const TFileFormat*> R;
    for (const TFileFormat& F : Formats())
        if (static_cast<TClass>(F.GraphicClass)->InheritsFrom(Class) && !F.Extension.empty())
            R.push_back(&F);
    return R;
}
}  // namespace

void TPicture::RegisterFileFormat(const std::string& Extension, const std::string& Description,
                                  TGraphicClass GraphicClass) {
    Formats().insert(Formats().begin(), TFileFormat{Normalised(Extension), Description, GraphicClass});
}

void TPicture::UnregisterGraphicClass(TGraphicClass AClass) {
    auto& V = Formats();
    V.erase(std::remove_if(V.begin(), V.end(),
                           [&](const TFileFormat& F) { return static_cast<TClass>(F.GraphicClass)->InheritsFrom(AClass); }),
            V.end());
    auto& C = ClipFormats();
    C.erase(std::remove_if(C.begin(), C.end(),
                           [&](const TClipFormat& F) { return static_cast<TClass>(F.GraphicClass)->InheritsFrom(AClass); }),
            C.end());
}

void TPicture::RegisterClipboardFormat(Word Format, TGraphicClass GraphicClass) {
    ClipFormats().insert(ClipFormats().begin(), TClipFormat{Format, GraphicClass});
}

bool TPicture::SupportsClipboardFormat(Word Format) {
    for (const TClipFormat& F : ClipFormats())
        if (F.Format == Format)
            return true;
    return false;
}

void TPicture::LoadFromClipboardFormat(Word Format, HANDLE Data, HPALETTE Palette) {
    TGraphicClass Class = nullptr;
    for (const TClipFormat& F : ClipFormats())
        if (F.Format == Format) {
            Class = F.GraphicClass;
            break;
        }
    if (!Class)
        InvalidGraphic(GraphicsConsts::SUnknownClipboardFormat);
    TGraphic* NewGraphic = Class.Create();
    try {
        NewGraphic->LoadFromClipboardFormat(Format, Data, Palette);
    } catch (...) {
        NewGraphic->Free();
        throw;
    }
    Replace(NewGraphic);
}

void TPicture::SaveToClipboardFormat(Word& Format, HANDLE& Data, HPALETTE& Palette) {
    Format = 0;
    Data = nullptr;
    Palette = nullptr;
    if (FGraphic && !FGraphic->Empty())
        FGraphic->SaveToClipboardFormat(Format, Data, Palette);
}

TGraphicClass TPicture::FindExtension(const std::string& Extension) {
    std::string Ext = Normalised(Extension);
    for (const TFileFormat& F : Formats())
        if (F.Extension == Ext)
            return F.GraphicClass;
    return nullptr;
}

std::string GraphicFilter(TGraphicClass GraphicClass) {
    std::string Filters, All;
    auto List = FormatsOf(GraphicClass);
    for (const TFileFormat* F : List) {
        std::string Mask = "*." + F->Extension;
        if (!Filters.empty())
            Filters += '|';
        Filters += F->Description + " (" + Mask + ")|" + Mask;
        if (!All.empty())
            All += ';';
        All += Mask;
    }
    if (List.size() > 1)
        Filters = "All (" + All + ")|" + All + "|" + Filters;
    return Filters;
}

std::string GraphicExtension(TGraphicClass GraphicClass) {
    for (const TFileFormat& F : Formats())
        if (F.GraphicClass == GraphicClass)
            return F.Extension;
    return "";
}

std::string GraphicFileMask(TGraphicClass GraphicClass) {
    std::string Mask;
    for (const TFileFormat* F : FormatsOf(GraphicClass)) {
        if (!Mask.empty())
            Mask += ';';
        Mask += "*." + F->Extension;
    }
    return Mask;
}

TPicture::~TPicture() { FreeAndNil(FGraphic); }

void TPicture::Replace(TGraphic* NewGraphic) {
    TGraphic* Old = FGraphic;
    FGraphic = NewGraphic;
    FreeObject(Old);
    if (FGraphic) {
        FGraphic->OnChange = TNotifyEvent::Bind<&TPicture::Changed>(this);
        FGraphic->OnProgress = TProgressEvent::Bind<&TPicture::Progress>(this);
    }
    Changed(this);
}

void TPicture::Changed(TObject*) {
    if (OnChange)
        OnChange(this);
}

void TPicture::Progress(TObject* Sender, TProgressStage Stage, Byte PercentDone, bool RedrawNow, const TRect& R,
                        const std::string& Msg) {
    if (OnProgress)
        OnProgress(Sender, Stage, PercentDone, RedrawNow, R, Msg);
}

void TPicture::SetGraphic(TGraphic* Value) {
    if (Value == FGraphic)
        return;
    TGraphic* NewGraphic = nullptr;
    if (Value) {
        NewGraphic = TGraphicClass(Value->ClassType()).Create();
        try {
            NewGraphic->Assign(Value);
        } catch (...) {
            NewGraphic->Free();
            throw;
        }
    }
    Replace(NewGraphic);
}

void TPicture::Assign(TPersistent* Source) {
    if (!Source)
        SetGraphic(nullptr);
    else if (auto* P = DynCast<TPicture>(Source))
        SetGraphic(P->Graphic());
    else if (auto* G = DynCast<TGraphic>(Source))
        SetGraphic(G);
    else
        TPersistent::Assign(Source);
}

void TPicture::AssignTo(TPersistent* Dest) {
    if (auto* G = DynCast<TGraphic>(Dest); G && FGraphic) {
        G->Assign(FGraphic);
        return;
    }
    TPersistent::AssignTo(Dest);
}

TBitmap* TPicture::Bitmap() {
    if (!DynCast<TBitmap>(FGraphic))
        Replace(Create<TBitmap>());
    return static_cast<TBitmap*>(FGraphic);
}

TIcon* TPicture::Icon() {
    if (!DynCast<TIcon>(FGraphic))
        Replace(Create<TIcon>());
    return static_cast<TIcon*>(FGraphic);
}

void TPicture::LoadFromFile(const std::string& FileName) {
    std::string Ext = ExtractFileExt(FileName);
    TGraphicClass Class = FindExtension(Ext);
    if (!Class)
        throw EInvalidGraphic(GraphicsConsts::SUnknownExtension, {Normalised(Ext)});
    TGraphic* NewGraphic = Class.Create();
    try {
        NewGraphic->OnProgress = TProgressEvent::Bind<&TPicture::Progress>(this);
        NewGraphic->LoadFromFile(FileName);
    } catch (...) {
        NewGraphic->Free();
        throw;
    }
    Replace(NewGraphic);
}

void TPicture::SaveToFile(const std::string& FileName) {
    if (FGraphic)
        FGraphic->SaveToFile(FileName);
}

void TPicture::DefineProperties(TFiler& Filer) {
    bool HasData = FGraphic != nullptr;
    if (auto* Ancestor = DynCast<TPicture>(Filer.Ancestor()))
        HasData = !(Ancestor->FGraphic == FGraphic ||
                    (Ancestor->FGraphic && FGraphic && FGraphic->Equals(Ancestor->FGraphic)));
    Filer.DefineBinaryProperty(
        "Data", [this](TStream& S) { ReadData(S); }, [this](TStream& S) { WriteData(S); }, HasData);
}

void TPicture::ReadData(TStream& Stream) {
    Byte Len = 0;
    Stream.ReadBuffer(&Len, 1);
    std::string Name(Len, '\0');
    if (Len)
        Stream.ReadBuffer(Name.data(), Len);
    if (Name.empty()) {
        Replace(nullptr);
        return;
    }
    TGraphicClass Class = FindClassName(Name);
    if (!Class)
        throw EInvalidGraphic(GraphicsConsts::SInvalidImage);
    TGraphic* NewGraphic = Class.Create();
    try {
        NewGraphic->ReadData(&Stream);
    } catch (...) {
        NewGraphic->Free();
        throw;
    }
    Replace(NewGraphic);
}

void TPicture::WriteData(TStream& Stream) {
    std::string Name = FGraphic ? FGraphic->ClassName() : std::string();
    Byte Len = static_cast<Byte>(std::min<size_t>(Name.size(), 255));
    Stream.WriteBuffer(&Len, 1);
    if (Len)
        Stream.WriteBuffer(Name.data(), Len);
    if (FGraphic)
        FGraphic->WriteData(&Stream);
}
