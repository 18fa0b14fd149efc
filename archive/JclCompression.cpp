// The archive unit's base: entries, volumes, the class records and the archive root, and the
// check every library result passes.
#include "JclCompression.h"
#include "JclCompressionSevenzip.h"

#include "JclFileUtils.h"
#include "JclResources.h"
#include "JclStrings.h"
#include "JclWideStrings.h"
#include "Lists.h"

#include <algorithm>
#include <atomic>
#include <cstring>

using namespace JclResources;

namespace {

// Formats a volume name pattern: its integer placeholders ("%d", with optional flags, width and
// precision) take Number, "%%" stands for "%", and anything else stays as written, so that a
// pattern from a user can never read arguments that do not exist.
std::string FormatVolumeName(const std::string& Pattern, LongInt Number) {
    std::string R;
    for (size_t I = 0; I < Pattern.size(); ++I) {
        if (Pattern[I] != '%') {
            R += Pattern[I];
            continue;
        }
        if (I + 1 < Pattern.size() && Pattern[I + 1] == '%') {
            R += '%';
            ++I;
            continue;
        }
        size_t J = I + 1;
        while (J < Pattern.size() && std::strchr("-0123456789.", Pattern[J]))
            ++J;
        if (J < Pattern.size() && Pattern[J] == 'd' && J - I <= 8) {
            std::string Spec = Pattern.substr(I, J - I + 1);
            R += Format(Spec, {Number});
            I = J;
        } else {
            R += Pattern[I];
        }
    }
    return R;
}

bool FileTimeIsValid(const TJclCompressionItemProperties& Valid, TJclCompressionItemProperty P) {
    return Valid.Contains(P);
}

}  // namespace

std::string GUIDToRegistryString(const GUID& G) {
    return Format("{%.8x-%.4x-%.4x-%.2x%.2x-%.2x%.2x%.2x%.2x%.2x%.2x}",
                  {G.Data1, G.Data2, G.Data3, G.Data4[0], G.Data4[1], G.Data4[2], G.Data4[3], G.Data4[4], G.Data4[5],
                   G.Data4[6], G.Data4[7]});
}

// ---------------------------------------------------------------------------------------------
// Stream access

TStream* OpenItemFileStream(const std::string& FileName, TJclStreamAccessMode Mode) {
    switch (Mode) {
    case samCreate:
        return Create<TFileStream>(FileName, fmCreate);
    case samRead:
        return IsExistingFile(FileName) ? Create<TFileStream>(FileName, Word(fmOpenRead | fmShareDenyWrite)) : nullptr;
    case samReadShared:
        return IsExistingFile(FileName) ? Create<TFileStream>(FileName, Word(fmOpenRead | fmShareDenyNone)) : nullptr;
    case samWrite:
        if (FileName.empty())
            return nullptr;
        return IsExistingFile(FileName) ? Create<TFileStream>(FileName, Word(fmOpenWrite | fmShareDenyWrite))
                                        : Create<TFileStream>(FileName, fmCreate);
    case samReadWrite:
        if (FileName.empty())
            return nullptr;
        return IsExistingFile(FileName) ? Create<TFileStream>(FileName, Word(fmOpenReadWrite | fmShareDenyWrite))
                                        : Create<TFileStream>(FileName, fmCreate);
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Entries

TJclCompressionItem::TJclCompressionItem(TJclCompressionArchive* AArchive) : FArchive(AArchive) {}

TJclCompressionItem::~TJclCompressionItem() {
    CloseItemStream();
    DiscardTemporaryTarget();
}

void TJclCompressionItem::Changed(TJclCompressionItemProperty Index) {
    FValidProperties.Include(Index);
    FModifiedProperties.Include(Index);
}

#define ARCHIVE_ITEM_PROPERTY(Type, Name, Field, Index)      \
    Type TJclCompressionItem::Get##Name() {              \
        CheckGetProperty(Index);                         \
        return Field;                                    \
    }                                                    \
    void TJclCompressionItem::Set##Name(Type Value) {    \
        CheckSetProperty(Index);                         \
        Field = Value;                                   \
        Changed(Index);                                  \
    }
ARCHIVE_ITEM_PROPERTY(Int64, PackedSize, FPackedSize, ipPackedSize)
ARCHIVE_ITEM_PROPERTY(Int64, FileSize, FFileSize, ipFileSize)
ARCHIVE_ITEM_PROPERTY(DWORD, Attributes, FAttributes, ipAttributes)
ARCHIVE_ITEM_PROPERTY(FILETIME, CreationTime, FCreationTime, ipCreationTime)
ARCHIVE_ITEM_PROPERTY(FILETIME, LastAccessTime, FLastAccessTime, ipLastAccessTime)
ARCHIVE_ITEM_PROPERTY(FILETIME, LastWriteTime, FLastWriteTime, ipLastWriteTime)
ARCHIVE_ITEM_PROPERTY(Cardinal, CRC, FCRC, ipCRC)
ARCHIVE_ITEM_PROPERTY(bool, Encrypted, FEncrypted, ipEncrypted)
#undef ARCHIVE_ITEM_PROPERTY

#define ARCHIVE_ITEM_TEXT_PROPERTY(Name, Field, Index)                 \
    std::wstring TJclCompressionItem::Get##Name() {                \
        CheckGetProperty(Index);                                   \
        return Field;                                              \
    }                                                              \
    void TJclCompressionItem::Set##Name(const std::wstring& Value) { \
        CheckSetProperty(Index);                                   \
        Field = Value;                                             \
        Changed(Index);                                            \
    }
ARCHIVE_ITEM_TEXT_PROPERTY(Comment, FComment, ipComment)
ARCHIVE_ITEM_TEXT_PROPERTY(HostOS, FHostOS, ipHostOS)
ARCHIVE_ITEM_TEXT_PROPERTY(HostFS, FHostFS, ipHostFS)
ARCHIVE_ITEM_TEXT_PROPERTY(User, FUser, ipUser)
ARCHIVE_ITEM_TEXT_PROPERTY(Group, FGroup, ipGroup)
ARCHIVE_ITEM_TEXT_PROPERTY(Method, FMethod, ipMethod)
#undef ARCHIVE_ITEM_TEXT_PROPERTY

std::wstring TJclCompressionItem::GetPackedName() {
    CheckGetProperty(ipPackedName);
    return FPackedName;
}

void TJclCompressionItem::SetPackedName(const std::wstring& Value) {
    if (Value == FPackedName)
        return;
    CheckSetProperty(ipPackedName);
    if (auto* Writer = DynCast<TJclCompressArchive>(FArchive)) {
        if (Writer->NameListExists() && !Writer->RenameInNameList(this, FPackedName, Value))
            RaiseCompression(Format(RsCompressionDuplicate, {Narrow(Value)}));
    }
    FPackedName = Value;
    Changed(ipPackedName);
}

std::wstring TJclCompressionItem::GetPackedExtension() {
    CheckGetProperty(ipPackedExtension);
    if (FPackedName.empty())
        return FPackedExtension;
    for (size_t I = FPackedName.size(); I-- > 0;) {
        wchar_t C = FPackedName[I];
        if (C == L'.')
            return FPackedName.substr(I);
        if (C == L';' || C == L'\\')
            return std::wstring();
    }
    return std::wstring();
}

void TJclCompressionItem::SetPackedExtension(const std::wstring& Value) {
    CheckSetProperty(ipPackedExtension);
    FPackedExtension = (!Value.empty() && Value[0] != L'.') ? L"." + Value : Value;
    Changed(ipPackedExtension);
}

std::string TJclCompressionItem::GetFileName() {
    CheckGetProperty(ipFileName);
    return FFileName;
}

void TJclCompressionItem::SetFileName(const std::string& Value) {
    CheckSetProperty(ipFileName);
    FFileName = Value;
    if (Value.empty()) {
        FValidProperties.Exclude(ipFileName);
        FModifiedProperties.Exclude(ipFileName);
        return;
    }
    Changed(ipFileName);
    if (!FArchive)
        return;
    WIN32_FILE_ATTRIBUTE_DATA Data;
    if (GetFileAttributesExA(Value.c_str(), GetFileExInfoStandard, &Data)) {
        SetFileSize((Int64(Data.nFileSizeHigh) << 32) | Data.nFileSizeLow);
        SetAttributes(Data.dwFileAttributes);
        SetCreationTime(Data.ftCreationTime);
        SetLastAccessTime(Data.ftLastAccessTime);
        SetLastWriteTime(Data.ftLastWriteTime);
        SetHostOS(L"Windows");
    }
}

TStream* TJclCompressionItem::GetStream() {
    CheckGetProperty(ipStream);
    return FStream;
}

void TJclCompressionItem::SetStream(TStream* Value) {
    CheckSetProperty(ipStream);
    CloseItemStream();
    FStream = Value;
    Changed(ipStream);
}

TStream* TJclCompressionItem::OpenItemStream() {
    if (!FStream) {
        const std::string& Target = FTemporaryTarget.empty() ? FFileName : FTemporaryTarget;
        if (!Target.empty()) {
            FStream = OpenItemFileStream(Target, FArchive->ItemAccessMode());
            FOpenedStream = FStream;
        }
    }
    return FStream;
}

void TJclCompressionItem::CloseItemStream() {
    // A file name alone does not make the stream the entry's: an extraction handler that hands
    // in its own stream leaves the default target name in place.
    if (FOwnsStream || (FStream && FStream == FOpenedStream)) {
        FreeObject(FStream);
        FStream = nullptr;
        FOpenedStream = nullptr;
    }
}

bool TJclCompressionItem::RemoveTargetFile() {
    if (!FFileName.empty() && IsExistingFile(FFileName))
        return DeleteFileA(FFileName.c_str()) != 0;
    return false;
}

bool TJclCompressionItem::CommitTemporaryTarget() {
    CloseItemStream();
    if (FTemporaryTarget.empty())
        return true;
    const std::string Temp = FTemporaryTarget;
    FTemporaryTarget.clear();
    if (!IsExistingFile(Temp)) {
        // The library wrote nothing (an empty entry): the target is an empty file.
        HANDLE H = CreateFileA(FFileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
        if (H == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(H);
        return true;
    }
    if (MoveFileExA(Temp.c_str(), FFileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
        return true;
    // The caller reports why the target could not take the data.
    const DWORD Code = GetLastError();
    DeleteFileA(Temp.c_str());
    SetLastError(Code);
    return false;
}

void TJclCompressionItem::DiscardTemporaryTarget() {
    if (FTemporaryTarget.empty())
        return;
    CloseItemStream();
    if (IsExistingFile(FTemporaryTarget))
        DeleteFileA(FTemporaryTarget.c_str());
    FTemporaryTarget.clear();
}

bool TJclCompressionItem::ApplyFileTimes() {
    CloseItemStream();
    if (FFileName.empty())
        return false;
    HANDLE H = CreateFileA(FFileName.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (H == INVALID_HANDLE_VALUE)
        return false;
    const auto& V = FValidProperties;
    const FILETIME* Creation = FileTimeIsValid(V, ipCreationTime)     ? &FCreationTime
                               : FileTimeIsValid(V, ipLastWriteTime)  ? &FLastWriteTime
                               : FileTimeIsValid(V, ipLastAccessTime) ? &FLastAccessTime
                                                                      : nullptr;
    const FILETIME* Access = FileTimeIsValid(V, ipLastAccessTime) ? &FLastAccessTime : nullptr;
    const FILETIME* Write = FileTimeIsValid(V, ipLastWriteTime)    ? &FLastWriteTime
                            : FileTimeIsValid(V, ipCreationTime)   ? &FCreationTime
                            : FileTimeIsValid(V, ipLastAccessTime) ? &FLastAccessTime
                                                                   : nullptr;
    const bool Result = SetFileTime(H, Creation, Access, Write) != 0;
    CloseHandle(H);
    return Result;
}

bool TJclCompressionItem::PrepareOutput(LongInt) { return false; }

void TJclCompressItem::CheckGetProperty(TJclCompressionItemProperty) {}

void TJclCompressItem::CheckSetProperty(TJclCompressionItemProperty Index) {
    if (Index == ipMethod)
        RaiseCompression(RsCompressionWriteNotSupported);
    As<TJclCompressArchive>(Archive())->CheckNotCompressing();
}

void TJclDecompressItem::CheckGetProperty(TJclCompressionItemProperty) {}

void TJclDecompressItem::CheckSetProperty(TJclCompressionItemProperty) {
    As<TJclDecompressArchive>(Archive())->CheckNotDecompressing();
}

bool TJclDecompressItem::PrepareOutput(LongInt Index) {
    auto* Reader = As<TJclDecompressArchive>(Archive());
    SetTargetRefused(false);
    // The fields themselves are the target: the setters would refuse while decompressing.
    return Reader->PrepareItemTarget(Index, FileNameRef(), OwnsStreamRef(), StreamRef());
}

bool TJclUpdateItem::PrepareOutput(LongInt Index) {
    auto* Updater = As<TJclUpdateArchive>(Archive());
    return Updater->PrepareItemTarget(Index, FileNameRef(), OwnsStreamRef(), StreamRef());
}

void TJclUpdateItem::CheckGetProperty(TJclCompressionItemProperty) {}

void TJclUpdateItem::CheckSetProperty(TJclCompressionItemProperty) {
    auto* Updater = As<TJclUpdateArchive>(Archive());
    Updater->CheckNotCompressing();
    Updater->CheckNotDecompressing();
}

// ---------------------------------------------------------------------------------------------
// Volumes

TJclCompressionVolume::TJclCompressionVolume(TStream* AStream, TStream* ATmpStream, bool AOwnsStream,
                                             bool AOwnsTmpStream, const std::string& AFileName,
                                             const std::string& ATmpFileName, Int64 AVolumeMaxSize)
    : FileName(AFileName), TmpFileName(ATmpFileName), Stream(AStream), TmpStream(ATmpStream), OwnsStream(AOwnsStream),
      OwnsTmpStream(AOwnsTmpStream), VolumeMaxSize(AVolumeMaxSize) {}

TJclCompressionVolume::~TJclCompressionVolume() {
    if (OwnsStream)
        FreeObject(Stream);
    if (OwnsTmpStream)
        FreeObject(TmpStream);
}

// ---------------------------------------------------------------------------------------------
// Class records

TJclCompressionArchiveClassRecord::TJclCompressionArchiveClassRecord(const char* Name, TClass Parent, TFactory Factory)
    : TClassRecord(Name, Parent, Factory) {
    if (auto* P = dynamic_cast<const TJclCompressionArchiveClassRecord*>(Parent)) {
        FormatName = P->FormatName;
        FileMasks = P->FileMasks;
        FormatClassID = P->FormatClassID;
        HasFormatClassID = P->HasFormatClassID;
        HoldsSeveralItems = P->HoldsSeveralItems;
        VolumeAccessMode = P->VolumeAccessMode;
        ItemAccessMode = P->ItemAccessMode;
    }
}

TJclCompressionArchive* TJclCompressionArchiveClassRecord::CreateOnStream(TStream* Volume0, Int64 VolumeMaxSize,
                                                                          bool OwnsVolume0) const {
    TOwned<TObject> Obj(CreateInstance());
    auto* Archive = As<TJclCompressionArchive>(Obj.get());
    Archive->InitOnStream(Volume0, VolumeMaxSize, OwnsVolume0);
    Obj.release();
    return Archive;
}

TJclCompressionArchive* TJclCompressionArchiveClassRecord::CreateOnFile(const std::string& VolumeName,
                                                                        Int64 VolumeMaxSize,
                                                                        bool VolumeNameIsPattern) const {
    TOwned<TObject> Obj(CreateInstance());
    auto* Archive = As<TJclCompressionArchive>(Obj.get());
    Archive->InitOnFile(VolumeName, VolumeMaxSize, VolumeNameIsPattern);
    Obj.release();
    return Archive;
}

// ---------------------------------------------------------------------------------------------
// Archive root

TJclCompressionArchive::TJclCompressionArchive() = default;

TJclCompressionArchive::~TJclCompressionArchive() {
    ClearItems();
    FVolumes.clear();
}

HRESULT TJclCompressionArchive::GetInterface(REFIID IID, void** Obj) {
    if (!Obj)
        return E_POINTER;
    if (IsEqualGUID(IID, IID_IUnknown)) {
        *Obj = static_cast<IUnknown*>(this);
        return S_OK;
    }
    *Obj = nullptr;
    return E_NOINTERFACE;
}

const TJclCompressionArchiveClassRecord& TJclCompressionArchive::ArchiveClass() const {
    return *static_cast<const TJclCompressionArchiveClassRecord*>(ClassType());
}

void TJclCompressionArchive::InitOnStream(TStream* Volume0, Int64 VolumeMaxSize, bool OwnsVolume0) {
    FCurrentVolumeIndex = -1;
    FVolumeIndexOffset = 1;
    FVolumeMaxSize = VolumeMaxSize;
    if (Volume0)
        AddVolumeStream(Volume0, VolumeMaxSize, OwnsVolume0);
    SetDefaults();
}

void TJclCompressionArchive::InitOnFile(const std::string& VolumeName, Int64 VolumeMaxSize, bool VolumeNameIsPattern) {
    FCurrentVolumeIndex = -1;
    FVolumeIndexOffset = 1;
    FVolumeMaxSize = VolumeMaxSize;
    if (VolumeNameIsPattern)
        FVolumeNamePattern = VolumeName;
    else
        AddVolumeFile(VolumeName, VolumeMaxSize);
    SetDefaults();
}

LongInt TJclCompressionArchive::AddVolumeFile(const std::string& FileName, Int64 MaxSize) {
    FVolumes.emplace_back(Create<TJclCompressionVolume>(nullptr, nullptr, true, true, FileName, "", MaxSize));
    return static_cast<LongInt>(FVolumes.size()) - 1;
}

LongInt TJclCompressionArchive::AddVolumeFileWithTemp(const std::string& FileName, const std::string& TmpFileName,
                                                      Int64 MaxSize) {
    FVolumes.emplace_back(Create<TJclCompressionVolume>(nullptr, nullptr, true, true, FileName, TmpFileName, MaxSize));
    return static_cast<LongInt>(FVolumes.size()) - 1;
}

LongInt TJclCompressionArchive::AddVolumeStream(TStream* Stream, Int64 MaxSize, bool OwnsStream) {
    FVolumes.emplace_back(Create<TJclCompressionVolume>(Stream, nullptr, OwnsStream, false, "", "", MaxSize));
    return static_cast<LongInt>(FVolumes.size()) - 1;
}

LongInt TJclCompressionArchive::AddVolumeStreamWithTemp(TStream* Stream, TStream* TmpStream, bool OwnsStream,
                                                        bool OwnsTmpStream, Int64 MaxSize) {
    FVolumes.emplace_back(Create<TJclCompressionVolume>(Stream, TmpStream, OwnsStream, OwnsTmpStream, "", "", MaxSize));
    return static_cast<LongInt>(FVolumes.size()) - 1;
}

TJclCompressionItem* TJclCompressionArchive::GetItem(LongInt Index) const {
    if (Index < 0 || Index >= GetItemCount())
        RaiseListIndex(Index);
    return FItems[static_cast<size_t>(Index)];
}

TJclCompressionVolume* TJclCompressionArchive::GetVolume(LongInt Index) const {
    if (Index < 0 || Index >= GetVolumeCount())
        RaiseListIndex(Index);
    return FVolumes[static_cast<size_t>(Index)].get();
}

void TJclCompressionArchive::ClearItems() {
    std::vector<TJclCompressionItem*> Items;
    Items.swap(FItems);
    for (TJclCompressionItem* Item : Items)
        FreeObject(Item);
}

LongInt TJclCompressionArchive::AppendItem(TJclCompressionItem* Item) {
    FItems.push_back(Item);
    return static_cast<LongInt>(FItems.size()) - 1;
}

void TJclCompressionArchive::RemoveItemAt(LongInt Index) {
    TJclCompressionItem* Item = FItems[static_cast<size_t>(Index)];
    FItems.erase(FItems.begin() + Index);
    FreeObject(Item);
}

LongInt TJclCompressionArchive::IndexOfItem(TJclCompressionItem* Item) const {
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    return It == FItems.end() ? -1 : static_cast<LongInt>(It - FItems.begin());
}

void TJclCompressionArchive::CheckOperationResults() {
    for (TJclCompressionItem* Item : FItems) {
        switch (Item->OperationSuccess()) {
        case osNoOperation:
        case osOK: break;
        case osUnsupportedMethod: RaiseCompression(RsCompressionUnsupportedMethod);
        case osDataError: RaiseCompression(RsCompressionDataError);
        case osCRCError: RaiseCompression(RsCompressionCRCError);
        case osUnavailable: RaiseCompression(RsCompressionUnavailableData);
        case osUnexpectedEnd: RaiseCompression(RsCompressionUnexpectedEnd);
        case osDataAfterEnd: RaiseCompression(RsCompressionDataAfterEnd);
        case osIsNotArchive: RaiseCompression(RsCompressionIsNotArchive);
        case osHeadersError: RaiseCompression(RsCompressionHeadersError);
        case osWrongPassword: RaiseCompression(RsCompressionWrongPassword);
        default: RaiseCompression(RsCompressionUnknownError);
        }
    }
}

void TJclCompressionArchive::ReportProgress(Int64 Value, Int64 MaxValue) { OnProgress(this, Value, MaxValue); }

void TJclCompressionArchive::KeepLibraryError() noexcept {
    try {
        std::lock_guard<std::mutex> Lock(FLibraryErrorLock);
        if (!FLibraryError)
            FLibraryError = std::current_exception();
    } catch (...) {
    }
}

void TJclCompressionArchive::ClearLibraryError() noexcept {
    try {
        std::lock_guard<std::mutex> Lock(FLibraryErrorLock);
        FLibraryError = nullptr;
    } catch (...) {
    }
}

void TJclCompressionArchive::RaiseLibraryError() {
    std::exception_ptr Error;
    {
        std::lock_guard<std::mutex> Lock(FLibraryErrorLock);
        Error.swap(FLibraryError);
    }
    if (Error)
        std::rethrow_exception(Error);
}

void TJclCompressionArchive::RemoveOpenedVolumeFiles(bool Written) {
    for (const auto& [Name, Existed] : FOpenedVolumeFiles) {
        // An older file that was never written to is still whole: it stays.
        if (Existed && !Written)
            continue;
        for (auto& V : FVolumes)
            if (V->FileName == Name && V->Stream && V->OwnsStream) {
                FreeObject(V->Stream);
                V->Stream = nullptr;
            }
        DeleteFileA(Name.c_str());
    }
    FOpenedVolumeFiles.clear();
    FCurrentVolumeIndex = -1;
}

std::string TJclCompressionArchive::VolumeNameOf(LongInt Index) const {
    return FormatVolumeName(FVolumeNamePattern, Index + FVolumeIndexOffset);
}

TStream* TJclCompressionArchive::OpenVolumeFile(const std::string& FileName) {
    return OpenItemFileStream(FileName, VolumeAccessMode());
}

TStream* TJclCompressionArchive::GetVolumeStream(LongInt Index) {
    const bool Existing = Index >= 0 && Index < GetVolumeCount();
    if (Index == FCurrentVolumeIndex) {
        if (!Existing)
            return nullptr;
        TStream* Current = FVolumes[static_cast<size_t>(Index)]->Stream;
        if (Current)
            Current->Seek(Int64(0), soBeginning);
        return Current;
    }
    bool Owns = !FVolumeNamePattern.empty();
    std::string Name = VolumeNameOf(Index);
    TStream* Stream = nullptr;
    if (Existing) {
        TJclCompressionVolume* V = FVolumes[static_cast<size_t>(Index)].get();
        Stream = V->Stream;
        Owns = V->OwnsStream;
        Name = V->FileName;
    }
    OnVolume(this, Index, Name, Stream, Owns);
    auto OpenOwnFile = [this](const std::string& FileName) {
        const bool Existed = IsExistingFile(FileName);
        TStream* Opened = OpenVolumeFile(FileName);
        if (Opened)
            FOpenedVolumeFiles.emplace_back(FileName, Existed);
        return Opened;
    };
    if (Existing) {
        if (!Stream)
            Stream = OpenOwnFile(Name);
        TJclCompressionVolume* V = FVolumes[static_cast<size_t>(Index)].get();
        V->FileName = Name;
        V->Stream = Stream;
        V->OwnsStream = Owns;
    } else if (Index >= 0) {
        while (GetVolumeCount() < Index)
            FVolumes.emplace_back(Create<TJclCompressionVolume>(nullptr, nullptr, false, false, "", "", FVolumeMaxSize));
        if (!Stream)
            Stream = OpenOwnFile(Name);
        if (Stream)
            FVolumes.emplace_back(Create<TJclCompressionVolume>(Stream, nullptr, Owns, false, Name, "", FVolumeMaxSize));
    }
    FCurrentVolumeIndex = Index;
    return Stream;
}

Int64 TJclCompressionArchive::GetVolumeMaxSize(LongInt Index) {
    if (Index == FCurrentVolumeIndex)
        return FVolumeMaxSize;
    if (Index >= 0 && Index < GetVolumeCount())
        FVolumeMaxSize = FVolumes[static_cast<size_t>(Index)]->VolumeMaxSize;
    OnVolumeMaxSize(this, Index, FVolumeMaxSize);
    if (Index >= 0) {
        while (GetVolumeCount() < Index)
            FVolumes.emplace_back(Create<TJclCompressionVolume>(nullptr, nullptr, false, false, "", "", FVolumeMaxSize));
        if (GetVolumeCount() == Index)
            FVolumes.emplace_back(Create<TJclCompressionVolume>(nullptr, nullptr, !FVolumeNamePattern.empty(), false,
                                                                VolumeNameOf(Index), "", FVolumeMaxSize));
        FVolumes[static_cast<size_t>(Index)]->VolumeMaxSize = FVolumeMaxSize;
    }
    return FVolumeMaxSize;
}

TJclDynamicSplitStream* TJclCompressionArchive::CreateSplitStream(bool ReSeek) {
    auto* Split = Create<TJclDynamicSplitStream>(ReSeek);
    Split->OnFetchVolume = TJclOnVolume::FromFunction([this](LongInt Index, TStream*& Stream) {
        Stream = GetVolumeStream(Index);
    });
    Split->OnFetchVolumeMaxSize = TJclOnVolumeMaxSize::FromFunction([this](LongInt Index, Int64& Size) {
        Size = GetVolumeMaxSize(Index);
    });
    return Split;
}

// ---------------------------------------------------------------------------------------------
// Library results

std::string SevenzipResultText(HRESULT Value) {
    constexpr HRESULT WritingWasCut = 0x20000010;
    switch (Value) {
    case S_FALSE: return RsCompressionSevenzipCannotOpen;
    case E_ABORT: return RsCompressionSevenzipAborted;
    case E_NOTIMPL: return RsCompressionSevenzipNotImplemented;
    case WritingWasCut: return RsCompressionSevenzipWritingCut;
    default: break;
    }
    if (Value < 0 && HRESULT_FACILITY(Value) == FACILITY_WIN32)
        return SysErrorMessage(static_cast<DWORD>(HRESULT_CODE(Value)));
    return SysErrorMessage(static_cast<DWORD>(Value));
}

void SevenzipCheck(HRESULT Value) {
    if (Value == S_OK)
        return;
    const DWORD Code = static_cast<DWORD>(Value);
    RaiseCompression(Format(RsCompressionSevenzipReturnError, {static_cast<unsigned>(Code), SevenzipResultText(Value)}));
}
