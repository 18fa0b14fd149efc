// The format classes and the registry that hands out the class for a file name.
#include "JclCompression.h"
#include "JclCompressionSevenzip.h"
#include "JclStrings.h"
#include "JclUnitVersioning.h"

using namespace JclResources;

// ---------------------------------------------------------------------------------------------
// Format classes

#define DEFINE_ARCHIVE_FORMAT_CLASS(Cls, Stem, Id, Several)                                   \
    void Cls::DefineClass(TClassBuilder<Cls>& B) {                                        \
        auto& R = static_cast<TJclCompressionArchiveClassRecord&>(B.Record());            \
        R.FormatName = RsCompression##Stem##Name;                                         \
        R.FileMasks = RsCompression##Stem##Extensions;                                    \
        R.FormatClassID = sevenzip::FormatClassID(Id);                                    \
        R.HasFormatClassID = true;                                                        \
        R.HoldsSeveralItems = Several;                                                    \
    }

DEFINE_ARCHIVE_FORMAT_CLASS(TJclZipCompressArchive, Zip, 0x01, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclBZ2CompressArchive, BZip2, 0x02, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclTarCompressArchive, Tar, 0xEE, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclGZipCompressArchive, GZip, 0xEF, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclXzCompressArchive, Xz, 0x0C, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclSwfcCompressArchive, Swfc, 0xD8, true)

DEFINE_ARCHIVE_FORMAT_CLASS(TJclZipDecompressArchive, Zip, 0x01, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclBZ2DecompressArchive, BZip2, 0x02, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclRarDecompressArchive, Rar, 0x03, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclArjDecompressArchive, Arj, 0x04, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclZDecompressArchive, Z, 0x05, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclLzhDecompressArchive, Lzh, 0x06, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclCabDecompressArchive, Cab, 0x08, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclNsisDecompressArchive, Nsis, 0x09, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclLzmaDecompressArchive, Lzma, 0x0A, false)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclLzma86DecompressArchive, Lzma86, 0x0B, false)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclPeDecompressArchive, Pe, 0xDD, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclElfDecompressArchive, Elf, 0xDE, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclMachoDecompressArchive, Macho, 0xDF, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclUdfDecompressArchive, Udf, 0xE0, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclXarDecompressArchive, Xar, 0xE1, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclMubDecompressArchive, Mub, 0xE2, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclHfsDecompressArchive, Hfs, 0xE3, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclDmgDecompressArchive, Dmg, 0xE4, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclCompoundDecompressArchive, Compound, 0xE5, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclWimDecompressArchive, Wim, 0xE6, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclIsoDecompressArchive, Iso, 0xE7, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclChmDecompressArchive, Chm, 0xE9, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclSplitDecompressArchive, Split, 0xEA, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclRpmDecompressArchive, Rpm, 0xEB, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclDebDecompressArchive, Deb, 0xEC, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclCpioDecompressArchive, Cpio, 0xED, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclTarDecompressArchive, Tar, 0xEE, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclGZipDecompressArchive, GZip, 0xEF, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclNtfsDecompressArchive, Ntfs, 0xD9, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclFatDecompressArchive, Fat, 0xDA, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclMbrDecompressArchive, Mbr, 0xDB, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclVhdDecompressArchive, Vhd, 0xDC, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclMslzDecompressArchive, Mslz, 0xD5, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclFlvDecompressArchive, Flv, 0xD6, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclSwfDecompressArchive, Swf, 0xD7, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclSwfcDecompressArchive, Swfc, 0xD8, true)

DEFINE_ARCHIVE_FORMAT_CLASS(TJclZipUpdateArchive, Zip, 0x01, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclBZ2UpdateArchive, BZip2, 0x02, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclTarUpdateArchive, Tar, 0xEE, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclGZipUpdateArchive, GZip, 0xEF, true)
DEFINE_ARCHIVE_FORMAT_CLASS(TJclSwfcUpdateArchive, Swfc, 0xD8, true)
#undef DEFINE_ARCHIVE_FORMAT_CLASS

// ---------------------------------------------------------------------------------------------
// Format registry

namespace {
TJclCompressionArchiveFormats* ArchiveFormats = nullptr;

TJclCompressionArchiveClass FindFormat(const std::vector<TJclCompressionArchiveClass>& Classes,
                                       const std::string& FileName) {
    TOwned<TStringList> Masks(Create<TStringList>());
    for (TJclCompressionArchiveClass Class : Classes) {
        SplitAtChar(Class->FileMasks, ';', Masks.get());
        for (int I = 0; I < Masks->Count(); ++I)
            if (FileNameMatchesMask(FileName, Masks->Strings(I), false))
                return Class;
    }
    return nullptr;
}

TJclCompressionArchiveClass ClassAt(const std::vector<TJclCompressionArchiveClass>& Classes, LongInt Index) {
    if (Index < 0 || static_cast<size_t>(Index) >= Classes.size())
        RaiseListIndex(Index);
    return Classes[static_cast<size_t>(Index)];
}
}  // namespace

TJclCompressionArchiveFormats::TJclCompressionArchiveFormats() {
    for (TClass C : {TJclZipCompressArchive::StaticClass(), TJclBZ2CompressArchive::StaticClass(),
                     TJcl7zCompressArchive::StaticClass(), TJclTarCompressArchive::StaticClass(),
                     TJclGZipCompressArchive::StaticClass(), TJclXzCompressArchive::StaticClass(),
                     TJclSwfcCompressArchive::StaticClass()})
        RegisterFormat(C);
    for (TClass C :
         {TJclZipDecompressArchive::StaticClass(),    TJclBZ2DecompressArchive::StaticClass(),
          TJclRarDecompressArchive::StaticClass(),    TJclArjDecompressArchive::StaticClass(),
          TJclZDecompressArchive::StaticClass(),      TJclLzhDecompressArchive::StaticClass(),
          TJcl7zDecompressArchive::StaticClass(),     TJclCabDecompressArchive::StaticClass(),
          TJclNsisDecompressArchive::StaticClass(),   TJclLzmaDecompressArchive::StaticClass(),
          TJclLzma86DecompressArchive::StaticClass(), TJclPeDecompressArchive::StaticClass(),
          TJclElfDecompressArchive::StaticClass(),    TJclMachoDecompressArchive::StaticClass(),
          TJclUdfDecompressArchive::StaticClass(),    TJclXarDecompressArchive::StaticClass(),
          TJclMubDecompressArchive::StaticClass(),    TJclHfsDecompressArchive::StaticClass(),
          TJclDmgDecompressArchive::StaticClass(),    TJclCompoundDecompressArchive::StaticClass(),
          TJclWimDecompressArchive::StaticClass(),    TJclIsoDecompressArchive::StaticClass(),
          TJclChmDecompressArchive::StaticClass(),    TJclSplitDecompressArchive::StaticClass(),
          TJclRpmDecompressArchive::StaticClass(),    TJclDebDecompressArchive::StaticClass(),
          TJclCpioDecompressArchive::StaticClass(),   TJclTarDecompressArchive::StaticClass(),
          TJclGZipDecompressArchive::StaticClass(),   TJclNtfsDecompressArchive::StaticClass(),
          TJclFatDecompressArchive::StaticClass(),    TJclMbrDecompressArchive::StaticClass(),
          TJclVhdDecompressArchive::StaticClass(),    TJclMslzDecompressArchive::StaticClass(),
          TJclFlvDecompressArchive::StaticClass(),    TJclSwfDecompressArchive::StaticClass(),
          TJclSwfcDecompressArchive::StaticClass()})
        RegisterFormat(C);
    for (TClass C : {TJclZipUpdateArchive::StaticClass(), TJclBZ2UpdateArchive::StaticClass(),
                     TJcl7zUpdateArchive::StaticClass(), TJclTarUpdateArchive::StaticClass(),
                     TJclGZipUpdateArchive::StaticClass(), TJclSwfcUpdateArchive::StaticClass()})
        RegisterFormat(C);
}

void TJclCompressionArchiveFormats::RegisterFormat(TClass AClass) {
    auto* Class = dynamic_cast<TJclCompressionArchiveClass>(AClass);
    if (!Class)
        return;
    if (Class->InheritsFrom(TJclUpdateArchive::StaticClass()))
        FUpdateFormats.push_back(Class);
    else if (Class->InheritsFrom(TJclDecompressArchive::StaticClass()))
        FDecompressFormats.push_back(Class);
    else if (Class->InheritsFrom(TJclCompressArchive::StaticClass()))
        FCompressFormats.push_back(Class);
}

TJclCompressionArchiveClass TJclCompressionArchiveFormats::FindCompressFormat(const std::string& FileName) const {
    return FindFormat(FCompressFormats, FileName);
}

TJclCompressionArchiveClass TJclCompressionArchiveFormats::FindDecompressFormat(const std::string& FileName) const {
    return FindFormat(FDecompressFormats, FileName);
}

TJclCompressionArchiveClass TJclCompressionArchiveFormats::GetCompressClass(LongInt Index) const {
    return ClassAt(FCompressFormats, Index);
}

TJclCompressionArchiveClass TJclCompressionArchiveFormats::GetDecompressClass(LongInt Index) const {
    return ClassAt(FDecompressFormats, Index);
}

TJclCompressionArchiveClass TJclCompressionArchiveFormats::GetUpdateClass(LongInt Index) const {
    return ClassAt(FUpdateFormats, Index);
}

TJclCompressionArchiveFormats* GetArchiveFormats() {
    if (!ArchiveFormats)
        ArchiveFormats = Create<TJclCompressionArchiveFormats>();
    return ArchiveFormats;
}

namespace {
const TUnitVersionInfo Banner = UnitBanner("JclCompression", 3320, "common");
}

void JclCompressionInitialization() { RegisterProgramUnitBanner(Banner); }

void JclCompressionFinalization() {
    FreeAndNil(ArchiveFormats);
    UnregisterProgramUnitBanners();
}
