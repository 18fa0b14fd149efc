#include "JclCompression.h"

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

std::wstring Widen(const std::string& S) {
    if (S.empty())
        return std::wstring();
    int N = MultiByteToWideChar(CP_ACP, 0, S.data(), static_cast<int>(S.size()), nullptr, 0);
    std::wstring R(static_cast<size_t>(N), L'\0');
    MultiByteToWideChar(CP_ACP, 0, S.data(), static_cast<int>(S.size()), &R[0], N);
    return R;
}

std::string Narrow(const std::wstring& S) {
    if (S.empty())
        return std::string();
    int N = WideCharToMultiByte(CP_ACP, 0, S.data(), static_cast<int>(S.size()), nullptr, 0, nullptr, nullptr);
    std::string R(static_cast<size_t>(N), '\0');
    WideCharToMultiByte(CP_ACP, 0, S.data(), static_cast<int>(S.size()), &R[0], N, nullptr, nullptr);
    return R;
}

// The list-index error of the framework's lists.
[[noreturn]] void RaiseListIndex(LongInt Index) { throw EListError(ClassesConsts::SListIndexError, {Index}); }

[[noreturn]] void RaiseCompression(const std::string& Message) { throw EJclCompressionError(Message); }

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
// Writing archives

void TJclCompressArchive::DefineClass(TClassBuilder<TJclCompressArchive>& B) {
    auto& R = static_cast<TJclCompressionArchiveClassRecord&>(B.Record());
    R.VolumeAccessMode = samWrite;
    R.ItemAccessMode = samRead;
}

TJclCompressArchive::~TJclCompressArchive() = default;

void TJclCompressArchive::CheckNotCompressing() const {
    if (FCompressing)
        RaiseCompression(RsCompressionCompressingError);
}

bool TJclCompressArchive::EnterName(const std::wstring& Name, TJclCompressionItem* Item, int* Position) {
    int P = 0;
    const bool Found = FNameList->Find(Name, P);
    if (Position)
        *Position = P;
    if (Found)
        return false;
    FNameList->InsertObject(P, Name, Item);
    return true;
}

void TJclCompressArchive::EnsureNameList() {
    if (FNameList)
        return;
    FNameList.reset(Create<TJclWideStringList>());
    FNameList->SetSorted(true);
    FNameList->SetDuplicates(dupIgnore);
    // From the last entry to the first: of two entries with one name the later one is kept.
    for (size_t I = FItems.size(); I-- > 0;)
        FNameList->AddObject(FItems[I]->GetPackedName(), FItems[I]);
    FNameList->SetDuplicates(dupError);
}

void TJclCompressArchive::RemoveFromNameList(TJclCompressionItem* Item) {
    if (!FNameList)
        return;
    const int I = FNameList->IndexOfObject(Item);
    if (I >= 0)
        FNameList->Delete(I);
}

void TJclCompressArchive::ForgetNameList() { FNameList.reset(); }

bool TJclCompressArchive::RenameInNameList(TJclCompressionItem* Item, const std::wstring& OldName,
                                           const std::wstring& NewName) {
    if (!FNameList)
        return true;
    int Old = 0;
    if (!FNameList->Find(OldName, Old) || FNameList->Objects(Old) != Item)
        return true;  // the list does not hold this entry's name: nothing to move
    int New = 0;
    if (FNameList->Find(NewName, New) && New != Old)
        return false;
    FNameList->Delete(Old);
    EnterName(NewName, Item);
    return true;
}

LongInt TJclCompressArchive::AddItem(TJclCompressionItem* Item) {
    if (DuplicateCheck == dcNone)
        return AppendItem(Item);
    EnsureNameList();
    const std::wstring Name = Item->GetPackedName();
    int Position = 0;
    if (DuplicateCheck == dcAll) {
        if (EnterName(Name, Item, &Position))
            return AppendItem(Item);
    } else if (!FNameList->Find(Name, Position)) {
        return AppendItem(Item);
    }
    switch (DuplicateAction) {
    case daOverwrite: {
        auto* Old = static_cast<TJclCompressionItem*>(FNameList->Objects(Position));
        LongInt OldIndex = IndexOfItem(Old);
        if (OldIndex >= 0)
            RemoveItemAt(OldIndex);
        LongInt Result = AppendItem(Item);
        if (DuplicateCheck == dcAll)
            FNameList->SetObjects(Position, Item);
        else
            FNameList->Delete(Position);
        return Result;
    }
    case daError: {
        FreeObject(Item);
        RaiseCompression(Format(RsCompressionDuplicate, {Narrow(Name)}));
    }
    default:
        FreeObject(Item);
        return -1;
    }
}

std::wstring TJclCompressArchive::PackedNameOf(const std::string& Path) const {
    const std::string Relative = RelativePath(FBaseDirName, Path);
    return Widen(CanonicalPath(PathWithDelimiter(Narrow(FBasePackedName)) + Relative));
}

LongInt TJclCompressArchive::AddFile(const std::wstring& PackedName, const std::string& FileName) {
    CheckNotCompressing();
    TOwned<TJclCompressionItem> Item(CreateItem());
    Item->SetPackedName(PackedName);
    Item->SetFileName(FileName);
    return AddItem(Item.release());
}

LongInt TJclCompressArchive::AddStream(const std::wstring& PackedName, TStream* Stream, bool OwnsStream) {
    CheckNotCompressing();
    TOwned<TJclCompressionItem> Item(CreateItem());
    Item->SetPackedName(PackedName);
    Item->SetStream(Stream);
    Item->SetOwnsStream(OwnsStream);
    Item->SetFileSize(Stream->Size() - Stream->Position());
    Item->SetAttributes(0);
    const FILETIME Now = CurrentUtcFileTime();
    Item->SetCreationTime(Now);
    Item->SetLastAccessTime(Now);
    Item->SetLastWriteTime(Now);
    Item->SetHostOS(L"Windows");
    return AddItem(Item.release());
}

LongInt TJclCompressArchive::AddDirectory(const std::wstring& PackedName, const std::string& DirName, bool Recurse,
                                          bool AddFiles) {
    CheckNotCompressing();
    if (!DirName.empty()) {
        FBasePackedName = PackedName;
        FBaseDirName = PathWithoutDelimiter(DirName);
        FAddFilesInDir = AddFiles;
        if (Recurse) {
            const LongInt Count = GetItemCount();
            WalkDirectoryTree(DirName, true, "", nullptr, [this](const std::string& Folder) {
                AddDirectory(PackedNameOf(Folder), Folder, false, FAddFilesInDir);
            });
            return Count;
        }
    }
    TOwned<TJclCompressionItem> Item(CreateItem());
    Item->SetPackedName(PackedName);
    Item->SetFileName(DirName);
    const LongInt Result = AddItem(Item.release());
    if (!DirName.empty() && AddFiles) {
        EnumerateDirectoryEntries(PathWithDelimiter(DirName) + "*", FILE_ATTRIBUTE_DIRECTORY, 0, nullptr,
                                  [this](const std::string& Folder, const TJclSearchEntry& Entry) {
                                      const std::string Path = PathWithDelimiter(Folder) + Entry.Name;
                                      TOwned<TJclCompressionItem> File(CreateItem());
                                      File->SetPackedName(PackedNameOf(Path));
                                      File->SetFileName(Path);
                                      AddItem(File.release());
                                  });
    }
    return Result;
}

// ---------------------------------------------------------------------------------------------
// Reading archives

void TJclDecompressArchive::DefineClass(TClassBuilder<TJclDecompressArchive>& B) {
    auto& R = static_cast<TJclCompressionArchiveClassRecord&>(B.Record());
    R.VolumeAccessMode = samRead;
    R.ItemAccessMode = samCreate;
}

void TJclDecompressArchive::CheckNotDecompressing() const {
    if (FExtract.Decompressing)
        RaiseCompression(RsCompressionDecompressingError);
}

namespace {
// Whether an extraction target stays within the destination folder; for an empty destination (the
// current folder) the target must be a plain relative path that does not climb out.
bool TargetWithinDestination(const std::string& Destination, const std::string& Target) {
    if (Target.empty())
        return false;
    if (!Destination.empty())
        return PathIsInside(Destination, Target);
    if (!PathDrivePart(Target).empty() || Target[0] == '\\')
        return false;
    const std::string C = CanonicalPath(Target);
    return C != "." && C != ".." && C.compare(0, 3, "..\\") != 0;
}
}  // namespace

namespace {
// The target of entry Index: the destination folder joined with the packed name, computed when
// the entry has no file name yet (and, unless AlsoWithStream, no stream); OnExtract may change it
// or veto it; the folder is made when asked to.
bool PrepareExtractTarget(TJclCompressionArchive* A, TJclExtractState& S, const TJclCompressionExtractEvent& OnExtract,
                          LongInt Index, std::string& FileName, bool& OwnsStream, TStream*& Stream,
                          bool AlsoWithStream) {
    if (S.Decompressing)
        S.CurrentExtractIndex = Index;
    TJclCompressionItem* Item = A->GetItem(Index);
    if (FileName.empty() && (AlsoWithStream || !Stream)) {
        std::string Name = Narrow(Item->GetPackedName());
        if (Name.empty() && A->GetVolumeCount() > 0) {
            const std::string Volume0 = FileNamePart(A->GetVolume(0)->FileName);
            const std::string Ext = FileNameExtension(Volume0);
            Name = Volume0.substr(0, Volume0.size() - Ext.size()) + Narrow(Item->GetPackedExtension());
        }
        FileName = RelativePath(S.DestinationDir, Name);
        // A packed name must not lead out of the destination ("..", a drive, a root, a share):
        // such an entry gets no target and fails as an entry error.
        if (!TargetWithinDestination(S.DestinationDir, FileName)) {
            FileName.clear();
            Item->SetTargetRefused(true);
            return true;
        }
        FileName = CanonicalPath(FileName);
    }
    bool Result = true;
    OnExtract(A, Index, FileName, OwnsStream, Stream, Result);
    if (Result && !Stream && S.AutoCreateSubDir && !FileName.empty()) {
        const bool IsFolder = (Item->GetAttributes() & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const std::string Folder = IsFolder ? FileName : FolderPart(FileName);
        // A target without a folder part lies in the current folder, which exists. A folder that
        // cannot be made is named here rather than as a file that could not be created in it.
        if (!Folder.empty() && !CreateDirectoryPath(Folder))
            throw EJclFileUtilsError(std::string(JclResources::RsCannotCreateDir) + " " + PathWithoutDelimiter(Folder));
    }
    return Result;
}
}  // namespace

bool TJclDecompressArchive::PrepareItemTarget(LongInt Index, std::string& FileName, bool& OwnsStream,
                                              TStream*& Stream) {
    return PrepareExtractTarget(this, FExtract, OnExtract, Index, FileName, OwnsStream, Stream, false);
}

// ---------------------------------------------------------------------------------------------
// Settings interfaces

const GUID IID_IArchiveLevelSetting = {0xA6A2F55F, 0x2860, 0x4E44, {0xBC, 0x20, 0x8C, 0x5D, 0x3E, 0x32, 0x2A, 0xB6}};
const GUID IID_IArchiveThreadsSetting = {0x9CFAB801, 0xE68E, 0x4A51, {0xAC, 0x49, 0x27, 0x7B, 0x29, 0x7F, 0x11, 0x41}};
const GUID IID_IArchiveDictionarySetting = {0xD3949834, 0x9F3B, 0x49BC, {0x84, 0x03, 0xFE, 0x3C, 0xE5, 0xFD, 0xCF, 0x35}};
const GUID IID_IArchiveRemoveSfxSetting = {0x852D050D, 0x734E, 0x4610, {0x90, 0x2A, 0x8F, 0xB8, 0x45, 0xDB, 0x32, 0xA9}};
const GUID IID_IArchiveHeaderCompressionSetting = {
    0x22C62A3B, 0xA58E, 0x4F88, {0x9D, 0x3F, 0x08, 0x58, 0x6B, 0x54, 0x26, 0x39}};
const GUID IID_IArchiveHeaderEncryptionSetting = {
    0x7DBA20A8, 0x48A1, 0x4CA2, {0xB9, 0xAC, 0x41, 0xC2, 0x19, 0xA0, 0x9A, 0x4A}};
const GUID IID_IArchiveCreationTimeSetting = {
    0x8B212BF9, 0xC13F, 0x4582, {0xA4, 0xFA, 0xA4, 0x0E, 0x53, 0x8E, 0xFF, 0x65}};
const GUID IID_IArchiveLastAccessTimeSetting = {
    0x1A4B2906, 0x9DD2, 0x4584, {0xB7, 0xA3, 0x36, 0x39, 0xDA, 0x92, 0xAF, 0xC5}};
const GUID IID_IArchiveLastWriteTimeSetting = {
    0x0C1729DC, 0x35E8, 0x43D4, {0x8E, 0xCA, 0x54, 0xF2, 0x0C, 0xDF, 0xF8, 0x7A}};
const GUID IID_IArchiveSolidSetting = {0x6902C54C, 0x1577, 0x422C, {0xB1, 0x8B, 0xE2, 0x79, 0x53, 0xA2, 0x86, 0x61}};
const GUID IID_IArchivePassesSetting = {0xC61B2814, 0x50CE, 0x4C3C, {0x84, 0xA5, 0xBA, 0xCF, 0x8A, 0x57, 0xE3, 0xBC}};
const GUID IID_IArchiveAlgorithmSetting = {0x53965F1F, 0x24CC, 0x4548, {0xB9, 0xEB, 0x5A, 0xE2, 0xEB, 0x7F, 0x14, 0x2D}};
const GUID IID_IArchiveEncryptionSetting = {0x643485B6, 0x66A1, 0x41C9, {0xA1, 0x3B, 0x0A, 0x84, 0x53, 0xE9, 0xD0, 0xC9}};
const GUID IID_IArchiveMethodSetting = {0x2818F8E8, 0x7D5F, 0x4C8C, {0x86, 0x5E, 0x9B, 0xA4, 0x51, 0x2B, 0xB7, 0x66}};

Cardinal SevenzipDictionaryForLevel(Cardinal Level) {
    return Level == 9 ? 67108864 : Level >= 7 ? 33554432 : Level >= 5 ? 16777216 : Level >= 3 ? 1048576 : 65536;
}

const wchar_t* EncryptionMethodName(TJclEncryptionMethod Method) {
    switch (Method) {
    case emAES128: return L"AES128";
    case emAES192: return L"AES192";
    case emAES256: return L"AES256";
    case emZipCrypto: return L"ZIPCRYPTO";
    default: return L"";
    }
}

// ---------------------------------------------------------------------------------------------
// Library results and settings

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

namespace {
template <class I>
I* Ask(IUnknown* Obj, const GUID& IID) {
    void* P = nullptr;
    if (Obj && SUCCEEDED(Obj->QueryInterface(IID, &P)) && P)
        return static_cast<I*>(P);
    return nullptr;
}

// Releases an interface that came from QueryInterface (the archives do not count, the library
// objects do).
template <class I>
struct TAsked {
    I* P;
    TAsked(IUnknown* Obj, const GUID& IID) : P(Ask<I>(Obj, IID)) {}
    ~TAsked() {
        if (P)
            P->Release();
    }
    explicit operator bool() const { return P != nullptr; }
    I* operator->() const { return P; }
};

PROPVARIANT UInt32Value(Cardinal V) {
    PROPVARIANT P;
    PropVariantInit(&P);
    P.vt = VT_UI4;
    P.ulVal = V;
    return P;
}

PROPVARIANT TextValue(const std::wstring& S) {
    PROPVARIANT P;
    PropVariantInit(&P);
    P.vt = VT_BSTR;
    P.bstrVal = SysAllocString(S.c_str());
    return P;
}

PROPVARIANT SwitchValue(bool On) { return TextValue(On ? L"ON" : L"OFF"); }
}  // namespace

std::vector<TJclArchiveProperty> BuildArchiveSettings(IUnknown* Archive, IUnknown* LibraryObject) {
    std::vector<TJclArchiveProperty> Props;
    auto Add = [&](const wchar_t* Name, PROPVARIANT Value) { Props.push_back(TJclArchiveProperty{Name, Value}); };
    TAsked<IUnknown> AsIn(LibraryObject, sevenzip::IID_IInArchive);
    TAsked<IUnknown> AsOut(LibraryObject, sevenzip::IID_IOutArchive);
    if (AsIn || AsOut) {
        if (auto* Threads = Ask<IArchiveThreadsSetting>(Archive, IID_IArchiveThreadsSetting))
            if (Threads->GetNumberOfThreads() > 1)
                Add(L"MT", UInt32Value(Threads->GetNumberOfThreads()));
    }
    if (!AsOut)
        return Props;
    if (auto* Level = Ask<IArchiveLevelSetting>(Archive, IID_IArchiveLevelSetting))
        Add(L"X", UInt32Value(Level->GetCompressionLevel()));
    // A Zip archive names its method, and sends only the coder properties that method takes: the
    // library refuses the whole archive otherwise (Deflate has no dictionary).
    static const wchar_t* const ZipMethods[] = {L"Copy", L"Deflate", L"Deflate64", L"BZip2", L"LZMA"};
    auto* Method = Ask<IArchiveMethodSetting>(Archive, IID_IArchiveMethodSetting);
    const bool ZipMethod = Method && Ask<IArchiveEncryptionSetting>(Archive, IID_IArchiveEncryptionSetting);
    const Cardinal MethodId = ZipMethod ? Method->GetCompressionMethod() : 0;
    if (ZipMethod && MethodId <= 4)
        Add(L"M", TextValue(ZipMethods[MethodId]));
    const bool TakesDictionary = !ZipMethod || MethodId == 3 || MethodId == 4;
    const bool TakesPasses = !ZipMethod || (MethodId >= 1 && MethodId <= 3);
    const bool TakesAlgorithm = !ZipMethod || MethodId == 1 || MethodId == 2 || MethodId == 4;
    if (auto* Encryption = Ask<IArchiveEncryptionSetting>(Archive, IID_IArchiveEncryptionSetting))
        if (Encryption->GetEncryptionMethod() != emNone)
            Add(L"EM", TextValue(EncryptionMethodName(Encryption->GetEncryptionMethod())));
    if (auto* Dictionary = Ask<IArchiveDictionarySetting>(Archive, IID_IArchiveDictionarySetting); Dictionary && TakesDictionary)
        Add(L"D", TextValue(std::to_wstring(Dictionary->GetDictionarySize()) + L"B"));
    if (auto* Passes = Ask<IArchivePassesSetting>(Archive, IID_IArchivePassesSetting); Passes && TakesPasses)
        Add(L"PASS", UInt32Value(Passes->GetNumberOfPasses()));
    if (auto* Sfx = Ask<IArchiveRemoveSfxSetting>(Archive, IID_IArchiveRemoveSfxSetting))
        Add(L"RSFX", SwitchValue(Sfx->GetRemoveSfxBlock()));
    if (auto* Header = Ask<IArchiveHeaderCompressionSetting>(Archive, IID_IArchiveHeaderCompressionSetting)) {
        Add(L"HC", SwitchValue(Header->GetCompressHeader()));
        if (Header->GetCompressHeaderFull())
            Add(L"HCF", SwitchValue(true));
    }
    if (auto* Encrypt = Ask<IArchiveHeaderEncryptionSetting>(Archive, IID_IArchiveHeaderEncryptionSetting))
        Add(L"HE", SwitchValue(Encrypt->GetEncryptHeader()));
    if (auto* C = Ask<IArchiveCreationTimeSetting>(Archive, IID_IArchiveCreationTimeSetting))
        Add(L"TC", SwitchValue(C->GetStoreCreationTime()));
    if (auto* A = Ask<IArchiveLastAccessTimeSetting>(Archive, IID_IArchiveLastAccessTimeSetting))
        Add(L"TA", SwitchValue(A->GetStoreLastAccessTime()));
    if (auto* M = Ask<IArchiveLastWriteTimeSetting>(Archive, IID_IArchiveLastWriteTimeSetting))
        Add(L"TM", SwitchValue(M->GetStoreLastWriteTime()));
    if (auto* Algorithm = Ask<IArchiveAlgorithmSetting>(Archive, IID_IArchiveAlgorithmSetting); Algorithm && TakesAlgorithm)
        Add(L"A", UInt32Value(Algorithm->GetAlgorithm()));
    if (auto* Solid = Ask<IArchiveSolidSetting>(Archive, IID_IArchiveSolidSetting)) {
        if (Solid->GetSolidExtension())
            Add(L"S", TextValue(L"E"));
        const Int64 Size = Solid->GetSolidBlockSize();
        Add(L"S", TextValue(Size > 0 ? std::to_wstring(Size) + L"B" : std::to_wstring(Size) + L"F"));
    }
    return Props;
}

void FreeArchiveSettings(std::vector<TJclArchiveProperty>& Properties) {
    for (auto& P : Properties)
        PropVariantClear(&P.Value);
    Properties.clear();
}

void SendArchiveSettings(IUnknown* Archive, IUnknown* LibraryObject) {
    TAsked<sevenzip::ISetProperties> Setter(LibraryObject, sevenzip::IID_ISetProperties);
    if (!Setter)
        return;
    std::vector<TJclArchiveProperty> Props = BuildArchiveSettings(Archive, LibraryObject);
    if (Props.empty())
        return;
    std::vector<const wchar_t*> Names;
    std::vector<PROPVARIANT> Values;
    for (auto& P : Props) {
        Names.push_back(P.Name.c_str());
        Values.push_back(P.Value);
    }
    HRESULT R = Setter->SetProperties(Names.data(), Values.data(), static_cast<UINT32>(Props.size()));
    FreeArchiveSettings(Props);
    SevenzipCheck(R);
}

// ---------------------------------------------------------------------------------------------
// Objects handed to the library: counted, freed at the last release

namespace {

// The counting half of the library's objects. The count starts at 1 for the creator, who hands
// the object over and then releases its own reference.
class TJclSevenzipCounted {
public:
    virtual ~TJclSevenzipCounted() = default;
    ULONG DoAddRef() { return static_cast<ULONG>(++FRefCount); }
    ULONG DoRelease() {
        LONG N = --FRefCount;
        if (N == 0)
            delete this;
        return static_cast<ULONG>(N);
    }

private:
    std::atomic<LONG> FRefCount{1};
};

#define SEVENZIP_COUNTED                                                          \
    ULONG STDMETHODCALLTYPE AddRef() override { return DoAddRef(); }                  \
    ULONG STDMETHODCALLTYPE Release() override { return DoRelease(); }                \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID IID, void** Obj) override {       \
        if (!Obj)                                                                     \
            return E_POINTER;                                                         \
        *Obj = Find(IID);                                                             \
        if (!*Obj)                                                                    \
            return E_NOINTERFACE;                                                     \
        DoAddRef();                                                                   \
        return S_OK;                                                                  \
    }

// Releases the creator's reference at the end of a scope.
template <class T>
struct TCreatorRef {
    T* P;
    explicit TCreatorRef(T* AP) : P(AP) {}
    ~TCreatorRef() {
        if (P)
            P->Release();
    }
    TCreatorRef(const TCreatorRef&) = delete;
    TCreatorRef& operator=(const TCreatorRef&) = delete;
};

BSTR PasswordCopy(const std::wstring& Password) { return SysAllocString(Password.c_str()); }

// Runs the body of a method the library calls. Whatever it raises stays on this side: the first
// exception is kept by the archive, a user's abort answers E_ABORT, anything else E_FAIL.
template <class F>
HRESULT Guarded(TJclCompressionArchive* Archive, F&& Body) noexcept {
    try {
        return Body();
    } catch (const EAbort&) {
        if (Archive)
            Archive->KeepLibraryError();
        return E_ABORT;
    } catch (...) {
        if (Archive)
            Archive->KeepLibraryError();
        return E_FAIL;
    }
}

TJclCompressionOperationSuccess SuccessOf(INT32 Result) {
    static const TJclCompressionOperationSuccess Known[] = {osOK, osUnsupportedMethod, osDataError, osCRCError,
                                                             osUnavailable, osUnexpectedEnd, osDataAfterEnd,
                                                             osIsNotArchive, osHeadersError, osWrongPassword};
    return Result >= 0 && Result < static_cast<INT32>(std::size(Known)) ? Known[Result] : osUnknownError;
}

}  // namespace

// What the two stream wrappers share: the stream they carry, taken from an entry on first use
// (and asked again while the entry has none) or handed over at construction, and the archive
// that keeps what their stream raises.
class TJclSevenzipStreamBinding : public TJclSevenzipCounted {
public:
    TJclSevenzipStreamBinding(TJclCompressionArchive* AArchive, LongInt AItemIndex)
        : FArchive(AArchive), FItemIndex(AItemIndex) {}
    TJclSevenzipStreamBinding(TStream* AStream, bool AOwnsStream, TJclCompressionArchive* AArchive)
        : FStream(AStream), FArchive(AArchive), FOwnsStream(AOwnsStream) {}

protected:
    ~TJclSevenzipStreamBinding() override {
        try {
            if (Bound())
                FArchive->GetItem(FItemIndex)->CloseItemStream();
            else if (FOwnsStream)
                FreeObject(FStream);
        } catch (...) {
            // The library releases us from its own frames; the entry list may be gone already.
        }
    }
    bool Bound() const { return FArchive && FItemIndex >= 0; }
    TStream* Stream() {
        if (!FStream && Bound())
            FStream = FArchive->GetItem(FItemIndex)->OpenItemStream();
        return FStream;
    }
    HRESULT DoSeek(INT64 Offset, UINT32 Origin, UINT64* NewPosition) {
        return Guarded(FArchive, [&]() -> HRESULT {
            if (!Stream())
                return S_FALSE;
            Int64 R = FStream->Seek(Offset, TSeekOrigin(Origin));
            if (R < 0)
                throw EStreamError(RsStreamsSeekError);
            if (NewPosition)
                *NewPosition = static_cast<UINT64>(R);
            return S_OK;
        });
    }
    // The entry's file, for messages; empty for other streams.
    std::string ItemFileName() const { return Bound() ? FArchive->GetItem(FItemIndex)->GetFileName() : std::string(); }

    TStream* FStream = nullptr;
    TJclCompressionArchive* FArchive = nullptr;

private:
    LongInt FItemIndex = -1;
    bool FOwnsStream = false;
};

// Data given to the library: an entry's stream or a stream of the archive's own.
class TJclSevenzipInStream : public TJclSevenzipStreamBinding,
                             public sevenzip::IInStream,
                             public sevenzip::IStreamGetSize {
public:
    using TJclSevenzipStreamBinding::TJclSevenzipStreamBinding;
    SEVENZIP_COUNTED

    HRESULT STDMETHODCALLTYPE Read(void* Data, UINT32 Size, UINT32* Processed) override {
        if (Processed)
            *Processed = 0;
        return Guarded(FArchive, [&]() -> HRESULT {
            if (!Stream())
                return S_FALSE;
            LongInt N = FStream->Read(Data, static_cast<LongInt>(Size));
            if (N < 0)
                N = 0;
            // A short read before the end is a failed read (the platform's stream answers 0 for
            // both); passed on as an end, it would cut the entry and still count as success.
            if (static_cast<UINT32>(N) < Size && FStream->Position() < FStream->Size()) {
                const std::string Name = ItemFileName();
                throw EReadError(Name.empty() ? std::string(ClassesConsts::SReadError)
                                              : std::string(ClassesConsts::SReadError) + ": " + Name);
            }
            if (Processed)
                *Processed = static_cast<UINT32>(N);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE Seek(INT64 Offset, UINT32 Origin, UINT64* NewPosition) override {
        return DoSeek(Offset, Origin, NewPosition);
    }
    HRESULT STDMETHODCALLTYPE GetSize(UINT64* Size) override {
        return Guarded(FArchive, [&]() -> HRESULT {
            if (!Stream())
                return S_FALSE;
            if (Size)
                *Size = static_cast<UINT64>(FStream->Size());
            return S_OK;
        });
    }

private:
    void* Find(REFIID IID) {
        if (IsEqualGUID(IID, IID_IUnknown) || IsEqualGUID(IID, sevenzip::IID_ISequentialInStream) ||
            IsEqualGUID(IID, sevenzip::IID_IInStream))
            return static_cast<sevenzip::IInStream*>(this);
        if (IsEqualGUID(IID, sevenzip::IID_IStreamGetSize))
            return static_cast<sevenzip::IStreamGetSize*>(this);
        return nullptr;
    }
};

// Data taken from the library: an entry's target or the archive's volumes.
class TJclSevenzipOutStream : public TJclSevenzipStreamBinding, public sevenzip::IOutStream {
public:
    TJclSevenzipOutStream(TJclCompressionArchive* AArchive, LongInt AItemIndex)
        : TJclSevenzipStreamBinding(AArchive, AItemIndex) {}
    TJclSevenzipOutStream(TStream* AStream, bool AOwnsStream, bool ATruncate, TJclCompressionArchive* AArchive)
        : TJclSevenzipStreamBinding(AStream, AOwnsStream, AArchive), FTruncate(ATruncate) {}
    ~TJclSevenzipOutStream() override {
        // Destructors must not throw; a stream that cannot be cut leaves the error to the
        // caller's check of the file. A stream nothing was written to is left as it was: an
        // older file of that name is still whole when the library failed before writing.
        try {
            if (FTruncate && FStream && FWritten)
                FStream->SetSize(FHighestPosition);
        } catch (...) {
        }
    }
    SEVENZIP_COUNTED

    bool Written() const { return FWritten; }

    HRESULT STDMETHODCALLTYPE Write(const void* Data, UINT32 Size, UINT32* Processed) override {
        if (Processed)
            *Processed = 0;
        return Guarded(FArchive, [&]() -> HRESULT {
            if (!Stream())
                return S_FALSE;
            FWritten = true;
            LongInt N = FStream->Write(Data, static_cast<LongInt>(Size));
            // A full disk or a failed write: the library would only see a count of 0.
            if (static_cast<UINT32>(N < 0 ? 0 : N) < Size) {
                const DWORD Code = GetLastError();
                const std::string System = Code ? SysErrorMessage(Code) : std::string();
                const std::string Name = ItemFileName();
                throw EWriteError(std::string(ClassesConsts::SWriteError) + (Name.empty() ? "" : ": " + Name) +
                                  (System.empty() ? "" : ". " + System));
            }
            if (Processed)
                *Processed = static_cast<UINT32>(N);
            if (FTruncate)
                FHighestPosition = std::max(FHighestPosition, FStream->Position());
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE Seek(INT64 Offset, UINT32 Origin, UINT64* NewPosition) override {
        return DoSeek(Offset, Origin, NewPosition);
    }
    HRESULT STDMETHODCALLTYPE SetSize(UINT64 NewSize) override {
        return Guarded(FArchive, [&]() -> HRESULT {
            if (!Stream())
                return S_FALSE;
            FWritten = true;
            FStream->SetSize(static_cast<Int64>(NewSize));
            if (FTruncate)
                FHighestPosition = std::max(FHighestPosition, static_cast<Int64>(NewSize));
            return S_OK;
        });
    }

private:
    void* Find(REFIID IID) {
        if (IsEqualGUID(IID, IID_IUnknown) || IsEqualGUID(IID, sevenzip::IID_ISequentialOutStream) ||
            IsEqualGUID(IID, sevenzip::IID_IOutStream))
            return static_cast<sevenzip::IOutStream*>(this);
        return nullptr;
    }

    bool FTruncate = false;
    bool FWritten = false;
    Int64 FHighestPosition = 0;
};

class TJclSevenzipUpdateCallback : public TJclSevenzipCounted,
                                   public sevenzip::IArchiveUpdateCallback2,
                                   public sevenzip::ICryptoGetTextPassword2 {
public:
    explicit TJclSevenzipUpdateCallback(TJclCompressionArchive* AArchive) : FArchive(AArchive) {}
    SEVENZIP_COUNTED

    HRESULT STDMETHODCALLTYPE SetTotal(UINT64 Total) override {
        return Guarded(FArchive, [&] {
            FArchive->SetProgressMax(static_cast<Int64>(Total));
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE SetCompleted(const UINT64* Completed) override {
        return Guarded(FArchive, [&] {
            if (Completed)
                FArchive->ReportProgress(static_cast<Int64>(*Completed), FArchive->ProgressMax());
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetUpdateItemInfo(UINT32 Index, INT32* NewData, INT32* NewProperties,
                                                UINT32* IndexInArchive) override {
        return Guarded(FArchive, [&] {
            TJclCompressionItem* Item = FArchive->GetItem(static_cast<LongInt>(Index));
            TJclCompressionItemProperties Modified = Item->ModifiedProperties();
            const bool Data = Modified.Contains(ipFileName) || Modified.Contains(ipStream);
            Modified.Exclude(ipFileName);
            Modified.Exclude(ipStream);
            if (NewData)
                *NewData = Data ? 1 : 0;
            if (NewProperties)
                *NewProperties = Modified.Empty() ? 0 : 1;
            if (IndexInArchive)
                *IndexInArchive = static_cast<UINT32>(Item->PackedIndex());
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetProperty(UINT32 Index, PROPID PropID, PROPVARIANT* Value) override {
        if (!Value)
            return E_POINTER;
        PropVariantInit(Value);
        return Guarded(FArchive, [&] {
            TJclCompressionItem* Item = FArchive->GetItem(static_cast<LongInt>(Index));
            using namespace sevenzip;
            switch (PropID) {
            case kpidNoProperty: Value->vt = VT_NULL; break;
            case kpidPath: *Value = TextValue(Item->GetPackedName()); break;
            case kpidIsDir:
                Value->vt = VT_BOOL;
                Value->boolVal = (Item->GetAttributes() & FILE_ATTRIBUTE_DIRECTORY) ? VARIANT_TRUE : VARIANT_FALSE;
                break;
            case kpidSize:
                Value->vt = VT_UI8;
                Value->uhVal.QuadPart = static_cast<ULONGLONG>(Item->GetFileSize());
                break;
            case kpidAttrib: *Value = UInt32Value(Item->GetAttributes()); break;
            case kpidCTime:
                Value->vt = VT_FILETIME;
                Value->filetime = Item->GetCreationTime();
                break;
            case kpidATime:
                Value->vt = VT_FILETIME;
                Value->filetime = Item->GetLastAccessTime();
                break;
            case kpidMTime:
                Value->vt = VT_FILETIME;
                Value->filetime = Item->GetLastWriteTime();
                break;
            case kpidSolid:
                Value->vt = VT_BOOL;
                Value->boolVal = VARIANT_TRUE;
                break;
            case kpidIsAnti:
                Value->vt = VT_BOOL;
                Value->boolVal = VARIANT_FALSE;
                break;
            case kpidUser: *Value = TextValue(Item->GetUser()); break;
            case kpidGroup: *Value = TextValue(Item->GetGroup()); break;
            case kpidTimeType: *Value = UInt32Value(0); break;
            default:
                // A property the archive does not keep is simply absent: the library then uses its
                // own default. (Answering with a failure makes some formats give up.)
                Value->vt = VT_EMPTY;
                break;
            }
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetStream(UINT32 Index, sevenzip::ISequentialInStream** Stream) override {
        if (!Stream)
            return E_POINTER;
        *Stream = nullptr;
        return Guarded(FArchive, [&] {
            FLastIndex = static_cast<LongInt>(Index);
            TJclCompressionItem* Item = FArchive->GetItem(FLastIndex);
            // The source is opened here, where a locked or vanished file can still be reported: a
            // missing stream would be read as an empty entry, and an update archive, which opens
            // its sources for writing too, would even leave an empty file in the vanished one's place.
            const std::string Source = Item->GetFileName();
            if (!Item->GetStream() && !Source.empty() && !(Item->GetAttributes() & FILE_ATTRIBUTE_DIRECTORY) &&
                !IsExistingFile(Source))
                throw EFOpenError(Format(ClassesConsts::SFOpenError, {Source}) + ". " +
                                  SysErrorMessage(ERROR_FILE_NOT_FOUND));
            Item->OpenItemStream();
            *Stream = new TJclSevenzipInStream(FArchive, FLastIndex);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE SetOperationResult(INT32 Result) override {
        return Guarded(FArchive, [&] {
            if (FLastIndex >= 0 && FLastIndex < FArchive->GetItemCount())
                FArchive->GetItem(FLastIndex)->SetOperationSuccess(SuccessOf(Result));
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetVolumeSize(UINT32, UINT64* Size) override {
        if (Size)
            *Size = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE GetVolumeStream(UINT32, sevenzip::ISequentialOutStream** Stream) override {
        if (Stream)
            *Stream = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE CryptoGetTextPassword2(INT32* PasswordIsDefined, BSTR* Password) override {
        return Guarded(FArchive, [&] {
            if (PasswordIsDefined)
                *PasswordIsDefined = FArchive->Password.empty() ? 0 : -1;
            if (Password)
                *Password = PasswordCopy(FArchive->Password);
            return S_OK;
        });
    }

private:
    void* Find(REFIID IID) {
        if (IsEqualGUID(IID, IID_IUnknown) || IsEqualGUID(IID, sevenzip::IID_IProgress) ||
            IsEqualGUID(IID, sevenzip::IID_IArchiveUpdateCallback) ||
            IsEqualGUID(IID, sevenzip::IID_IArchiveUpdateCallback2))
            return static_cast<sevenzip::IArchiveUpdateCallback2*>(this);
        if (IsEqualGUID(IID, sevenzip::IID_ICryptoGetTextPassword2))
            return static_cast<sevenzip::ICryptoGetTextPassword2*>(this);
        return nullptr;
    }

    TJclCompressionArchive* FArchive;
    LongInt FLastIndex = -1;
};

class TJclSevenzipOpenCallback : public TJclSevenzipCounted,
                                 public sevenzip::IArchiveOpenCallback,
                                 public sevenzip::ICryptoGetTextPassword {
public:
    explicit TJclSevenzipOpenCallback(TJclCompressionArchive* AArchive) : FArchive(AArchive) {}
    SEVENZIP_COUNTED

    HRESULT STDMETHODCALLTYPE SetTotal(const UINT64* Files, const UINT64*) override {
        return Guarded(FArchive, [&] {
            if (Files)
                FArchive->SetProgressMax(static_cast<Int64>(*Files));
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE SetCompleted(const UINT64* Files, const UINT64*) override {
        return Guarded(FArchive, [&] {
            if (Files)
                FArchive->ReportProgress(static_cast<Int64>(*Files), FArchive->ProgressMax());
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE CryptoGetTextPassword(BSTR* Password) override {
        FPasswordAsked = true;
        return Guarded(FArchive, [&] {
            if (Password)
                *Password = PasswordCopy(FArchive->Password);
            return S_OK;
        });
    }
    // Whether the library needed the password to open the archive: only encrypted names ask for it
    // so early.
    bool PasswordAsked() const { return FPasswordAsked; }

private:
    void* Find(REFIID IID) {
        if (IsEqualGUID(IID, IID_IUnknown) || IsEqualGUID(IID, sevenzip::IID_IArchiveOpenCallback))
            return static_cast<sevenzip::IArchiveOpenCallback*>(this);
        if (IsEqualGUID(IID, sevenzip::IID_ICryptoGetTextPassword))
            return static_cast<sevenzip::ICryptoGetTextPassword*>(this);
        return nullptr;
    }

    TJclCompressionArchive* FArchive;
    std::atomic<bool> FPasswordAsked{false};
};

class TJclSevenzipExtractCallback : public TJclSevenzipCounted,
                                    public sevenzip::IArchiveExtractCallback,
                                    public sevenzip::ICryptoGetTextPassword {
public:
    explicit TJclSevenzipExtractCallback(TJclCompressionArchive* AArchive) : FArchive(AArchive) {}
    SEVENZIP_COUNTED

    HRESULT STDMETHODCALLTYPE SetTotal(UINT64 Total) override {
        return Guarded(FArchive, [&] {
            FArchive->SetProgressMax(static_cast<Int64>(Total));
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE SetCompleted(const UINT64* Completed) override {
        return Guarded(FArchive, [&] {
            if (Completed)
                FArchive->ReportProgress(static_cast<Int64>(*Completed), FArchive->ProgressMax());
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetStream(UINT32 Index, sevenzip::ISequentialOutStream** Stream,
                                        INT32 AskExtractMode) override {
        if (!Stream)
            return E_POINTER;
        *Stream = nullptr;
        return Guarded(FArchive, [&] {
            FLastIndex = static_cast<LongInt>(Index);
            if (AskExtractMode == sevenzip::kTest || AskExtractMode == sevenzip::kSkip)
                return S_OK;
            TJclCompressionItem* Item = FArchive->GetItem(FLastIndex);
            if (!Item->PrepareOutput(FLastIndex))
                return S_FALSE;
            if (Item->TargetRefused())
                return S_OK;  // decoded into nowhere; reported as a failed entry afterwards
            const std::string Target = Item->GetFileName();
            if (!Item->GetStream() && !Target.empty() && !(Item->GetAttributes() & FILE_ATTRIBUTE_DIRECTORY)) {
                Item->SetTemporaryTarget(MakeUniqueFileName(Target + "~", ".tmp", "_"));
                // Created now, so that a target folder that refuses files is reported as such.
                Item->OpenItemStream();
            }
            *Stream = new TJclSevenzipOutStream(FArchive, FLastIndex);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE PrepareOperation(INT32) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetOperationResult(INT32 Result) override {
        return Guarded(FArchive, [&] {
            if (FLastIndex < 0 || FLastIndex >= FArchive->GetItemCount())
                return S_OK;
            TJclCompressionItem* Item = FArchive->GetItem(FLastIndex);
            if (Item->TargetRefused()) {
                Item->SetOperationSuccess(osUnknownError);
            } else if (Result == 0) {
                if (!Item->CommitTemporaryTarget()) {
                    const DWORD Code = GetLastError();
                    Item->SetOperationSuccess(osUnknownError);
                    throw EFCreateError(Format(ClassesConsts::SFCreateError, {Item->GetFileName()}) + ". " +
                                        SysErrorMessage(Code));
                }
                Item->SetOperationSuccess(osOK);
                Item->ApplyFileTimes();
            } else {
                Item->SetOperationSuccess(SuccessOf(Result));
                if (!Item->TemporaryTarget().empty())
                    Item->DiscardTemporaryTarget();  // an existing file of that name stays as it was
                else
                    Item->RemoveTargetFile();
            }
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE CryptoGetTextPassword(BSTR* Password) override {
        return Guarded(FArchive, [&] {
            if (Password)
                *Password = PasswordCopy(FArchive->Password);
            return S_OK;
        });
    }

private:
    void* Find(REFIID IID) {
        if (IsEqualGUID(IID, IID_IUnknown) || IsEqualGUID(IID, sevenzip::IID_IProgress) ||
            IsEqualGUID(IID, sevenzip::IID_IArchiveExtractCallback))
            return static_cast<sevenzip::IArchiveExtractCallback*>(this);
        if (IsEqualGUID(IID, sevenzip::IID_ICryptoGetTextPassword))
            return static_cast<sevenzip::ICryptoGetTextPassword*>(this);
        return nullptr;
    }

    TJclCompressionArchive* FArchive;
    LongInt FLastIndex = -1;
};
// ---------------------------------------------------------------------------------------------
// 7-Zip-backed writing

namespace {
template <class I>
I* CreateLibraryObject(const TJclCompressionArchiveClassRecord& Class, const GUID& IID, const char* FailureText) {
    if (!sevenzip::SevenZipLibraryLoaded() || !sevenzip::CreateObject) {
        if (!sevenzip::LoadSevenZipLibrary())
            RaiseCompression(RsCompressionSevenzipLoadError);
    }
    void* Obj = nullptr;
    HRESULT R = sevenzip::CreateObject(&Class.FormatClassID, &IID, &Obj);
    if (R != S_OK || !Obj)
        RaiseCompression(Format(FailureText, {GUIDToRegistryString(Class.FormatClassID)}));
    return static_cast<I*>(Obj);
}
}  // namespace

TJclSevenzipCompressArchive::~TJclSevenzipCompressArchive() {
    if (FOutArchive)
        FOutArchive->Release();
}

TJclCompressionItem* TJclSevenzipCompressArchive::CreateItem() { return Create<TJclCompressItem>(this); }

sevenzip::IOutArchive* TJclSevenzipCompressArchive::GetOutArchive() {
    if (!FOutArchive)
        FOutArchive = CreateLibraryObject<sevenzip::IOutArchive>(ArchiveClass(), sevenzip::IID_IOutArchive,
                                                                 RsCompressionSevenzipOutArchiveError);
    return FOutArchive;
}

void TJclSevenzipCompressArchive::Compress() {
    CheckNotCompressing();
    FCompressing = true;
    FOpenedVolumeFiles.clear();
    bool Written = false;
    try {
        ClearLibraryError();
        HRESULT R;
        {
            // The volume is opened without being emptied; the output wrapper cuts it to what was
            // written, so that an older, longer file of the same name leaves no tail behind.
            TCreatorRef<TJclSevenzipOutStream> Out(new TJclSevenzipOutStream(CreateSplitStream(false), true, true, this));
            TCreatorRef<TJclSevenzipUpdateCallback> Callback(new TJclSevenzipUpdateCallback(this));
            sevenzip::IOutArchive* Writer = GetOutArchive();
            SendArchiveSettings(static_cast<IUnknown*>(static_cast<TJclCompressionArchive*>(this)), Writer);
            R = Writer->UpdateItems(Out.P, static_cast<UINT32>(GetItemCount()), Callback.P);
            Written = Out.P->Written();
        }
        RaiseLibraryError();
        SevenzipCheck(R);
    } catch (...) {
        FCompressing = false;
        // A cut archive would pass for a whole one.
        RemoveOpenedVolumeFiles(Written);
        throw;
    }
    FCompressing = false;
}

void TJcl7zCompressArchive::DefineClass(TClassBuilder<TJcl7zCompressArchive>& B) {
    auto& R = static_cast<TJclCompressionArchiveClassRecord&>(B.Record());
    R.FormatName = RsCompression7zName;
    R.FileMasks = RsCompression7zExtensions;
    R.FormatClassID = sevenzip::FormatClassID(0x07);
    R.HasFormatClassID = true;
}

HRESULT TJcl7zCompressArchive::GetInterface(REFIID IID, void** Obj) {
    if (Obj && IsEqualGUID(IID, IID_IArchiveSolidSetting)) {
        *Obj = static_cast<IArchiveSolidSetting*>(this);
        return S_OK;
    }
    return TJcl7zSettingsArchive::GetInterface(IID, Obj);
}

void TJcl7zCompressArchive::SetDefaults() {
    TJcl7zSettingsArchive::SetDefaults();
    FSolidBlockSize = 4294967295LL;
    FSolidExtension = false;
}

// ---------------------------------------------------------------------------------------------
// 7-Zip-backed reading

namespace {

// Reads one entry property; gives true when the library supplied a value (then passed to Set).
template <class F>
bool ReadLibraryProperty(sevenzip::IInArchive* Reader, LongInt Index, PROPID PropID, F&& Set) {
    PROPVARIANT V;
    PropVariantInit(&V);
    SevenzipCheck(Reader->GetProperty(static_cast<UINT32>(Index), PropID, &V));
    if (V.vt == VT_EMPTY || V.vt == VT_NULL)
        return false;
    const bool Accepted = Set(V);
    const VARTYPE Type = V.vt;
    PropVariantClear(&V);
    if (!Accepted)
        RaiseCompression(Format(RsCompressionSevenzipUnknownValueType, {static_cast<int>(Type), static_cast<int>(PropID)}));
    return true;
}

// The integer in a value of one of the integer types, sign- or zero-extended as its type says.
bool IntegerOf(const PROPVARIANT& V, Int64& Out) {
    switch (V.vt) {
    case VT_I1: Out = V.cVal; return true;
    case VT_I2: Out = V.iVal; return true;
    case VT_I4: Out = V.lVal; return true;
    case VT_INT: Out = V.intVal; return true;
    case VT_UI1: Out = V.bVal; return true;
    case VT_UI2: Out = V.uiVal; return true;
    case VT_UI4: Out = V.ulVal; return true;
    case VT_UINT: Out = V.uintVal; return true;
    case VT_I8: Out = V.hVal.QuadPart; return true;
    case VT_UI8: Out = static_cast<Int64>(V.uhVal.QuadPart); return true;
    default: return false;
    }
}

template <class Setter>
bool ReadTextProperty(sevenzip::IInArchive* R, LongInt I, PROPID Id, Setter Set) {
    return ReadLibraryProperty(R, I, Id, [&](const PROPVARIANT& V) {
        Int64 N;
        if (IntegerOf(V, N)) {
            Set(std::to_wstring(N));
            return true;
        }
        switch (V.vt) {
        case VT_BSTR: Set(std::wstring(V.bstrVal ? V.bstrVal : L"")); return true;
        case VT_LPSTR: Set(Widen(V.pszVal ? V.pszVal : "")); return true;
        case VT_LPWSTR: Set(std::wstring(V.pwszVal ? V.pwszVal : L"")); return true;
        default: return false;
        }
    });
}

template <class Setter>
bool ReadCardinalProperty(sevenzip::IInArchive* R, LongInt I, PROPID Id, Setter Set) {
    return ReadLibraryProperty(R, I, Id, [&](const PROPVARIANT& V) {
        Int64 N;
        if (!IntegerOf(V, N))
            return false;
        Set(static_cast<Cardinal>(N));
        return true;
    });
}

template <class Setter>
bool ReadInt64Property(sevenzip::IInArchive* R, LongInt I, PROPID Id, Setter Set) {
    return ReadLibraryProperty(R, I, Id, [&](const PROPVARIANT& V) {
        Int64 N;
        if (!IntegerOf(V, N))
            return false;
        Set(N);
        return true;
    });
}

template <class Setter>
bool ReadFileTimeProperty(sevenzip::IInArchive* R, LongInt I, PROPID Id, Setter Set) {
    return ReadLibraryProperty(R, I, Id, [&](const PROPVARIANT& V) {
        if (V.vt != VT_FILETIME)
            return false;
        Set(V.filetime);
        return true;
    });
}

template <class Setter>
bool ReadBoolProperty(sevenzip::IInArchive* R, LongInt I, PROPID Id, Setter Set) {
    return ReadLibraryProperty(R, I, Id, [&](const PROPVARIANT& V) {
        if (V.vt != VT_BOOL)
            return false;
        Set(V.boolVal != 0);
        return true;
    });
}

void LoadItemFromArchive(sevenzip::IInArchive* R, LongInt I, TJclCompressionItem* Item) {
    using namespace sevenzip;
    Item->ClearValidProperties();
    Item->SetPackedIndex(I);
    Item->SetFileName("");
    Item->SetStream(nullptr);
    Item->SetOwnsStream(false);
    ReadTextProperty(R, I, kpidPath, [&](const std::wstring& V) { Item->SetPackedName(V); });
    ReadTextProperty(R, I, kpidExtension, [&](const std::wstring& V) { Item->SetPackedExtension(V); });
    ReadCardinalProperty(R, I, kpidAttrib, [&](Cardinal V) { Item->SetAttributes(V); });
    ReadInt64Property(R, I, kpidSize, [&](Int64 V) { Item->SetFileSize(V); });
    ReadInt64Property(R, I, kpidPackSize, [&](Int64 V) { Item->SetPackedSize(V); });
    ReadFileTimeProperty(R, I, kpidCTime, [&](FILETIME V) { Item->SetCreationTime(V); });
    ReadFileTimeProperty(R, I, kpidATime, [&](FILETIME V) { Item->SetLastAccessTime(V); });
    ReadFileTimeProperty(R, I, kpidMTime, [&](FILETIME V) { Item->SetLastWriteTime(V); });
    ReadTextProperty(R, I, kpidComment, [&](const std::wstring& V) { Item->SetComment(V); });
    ReadTextProperty(R, I, kpidHostOS, [&](const std::wstring& V) { Item->SetHostOS(V); });
    ReadTextProperty(R, I, kpidFileSystem, [&](const std::wstring& V) { Item->SetHostFS(V); });
    ReadTextProperty(R, I, kpidUser, [&](const std::wstring& V) { Item->SetUser(V); });
    ReadTextProperty(R, I, kpidGroup, [&](const std::wstring& V) { Item->SetGroup(V); });
    ReadCardinalProperty(R, I, kpidCRC, [&](Cardinal V) { Item->SetCRC(V); });
    ReadTextProperty(R, I, kpidMethod, [&](const std::wstring& V) { Item->SetMethod(V); });
    ReadBoolProperty(R, I, kpidEncrypted, [&](bool V) { Item->SetEncrypted(V); });
    Item->ClearModifiedProperties();
}

}  // namespace

TJclSevenzipDecompressArchive::~TJclSevenzipDecompressArchive() {
    if (FInArchive)
        FInArchive->Release();
}

TJclCompressionItem* TJclSevenzipDecompressArchive::CreateItem() { return Create<TJclDecompressItem>(this); }

sevenzip::IInArchive* TJclSevenzipDecompressArchive::GetInArchive() {
    if (!FInArchive) {
        FInArchive = CreateLibraryObject<sevenzip::IInArchive>(ArchiveClass(), sevenzip::IID_IInArchive,
                                                               RsCompressionSevenzipInArchiveError);
        FExtract.CurrentExtractIndex = -1;
    }
    return FInArchive;
}

// The reading half that reading and updating archives share: opening the library's reader once,
// listing the entries and extracting them.
struct TJclSevenzipReading {
    static void Open(TJclCompressionArchive* A, sevenzip::IInArchive* Reader, TJclSevenzipInStream* In) {
        TCreatorRef<TJclSevenzipInStream> InRef(In);
        TCreatorRef<TJclSevenzipOpenCallback> Callback(new TJclSevenzipOpenCallback(A));
        SendArchiveSettings(static_cast<IUnknown*>(A), Reader);
        const UINT64 MaxStart = 4194304;
        A->ClearLibraryError();
        const HRESULT R = Reader->Open(In, &MaxStart, Callback.P);
        A->RaiseLibraryError();
        // The library says no more than that it cannot open the archive; having asked for the
        // password first, it could not read the encrypted names with the one it got.
        if (R != S_OK && Callback.P->PasswordAsked())
            throw EJclCompressionPasswordError(A->Password.empty() ? RsCompressionNamesNeedPassword
                                                                   : RsCompressionNamesWrongPassword);
        SevenzipCheck(R);
    }

    static void List(TJclCompressionArchive* A, TJclExtractState& S, const std::function<sevenzip::IInArchive*()>& OpenReader) {
        S.Listing = true;
        try {
            A->ClearItems();
            sevenzip::IInArchive* Reader = OpenReader();
            UINT32 Count = 0;
            SevenzipCheck(Reader->GetNumberOfItems(&Count));
            for (UINT32 I = 0; I < Count; ++I) {
                TOwned<TJclCompressionItem> Item(A->CreateItem());
                LoadItemFromArchive(Reader, static_cast<LongInt>(I), Item.get());
                A->AppendItem(Item.release());
            }
        } catch (...) {
            S.Listing = false;
            throw;
        }
        S.Listing = false;
    }

    static void Extract(TJclCompressionArchive* A, TJclExtractState& S, const std::string& DestDir,
                        bool AutoCreateSubDir, bool All, const std::function<sevenzip::IInArchive*()>& OpenReader) {
        S.DestinationDir = DestDir.empty() ? DestDir : PathWithDelimiter(DestDir);
        S.AutoCreateSubDir = AutoCreateSubDir;
        S.Decompressing = true;
        S.CurrentExtractIndex = 0;
        TCreatorRef<TJclSevenzipExtractCallback> Callback(new TJclSevenzipExtractCallback(A));
        auto Finish = [&] {
            // An entry the library left half-way (it failed the whole call) keeps no temporary file.
            for (TJclCompressionItem* Item : A->FItems)
                Item->DiscardTemporaryTarget();
            S.DestinationDir.clear();
            S.Decompressing = false;
            S.CurrentExtractIndex = -1;
        };
        try {
            sevenzip::IInArchive* Reader = OpenReader();
            std::vector<UINT32> Indices;
            for (LongInt I = 0; I < A->GetItemCount(); ++I) {
                TJclCompressionItem* Item = A->FItems[static_cast<size_t>(I)];
                if (All)
                    Item->SetSelected(true);
                if (Item->Selected())
                    Indices.push_back(static_cast<UINT32>(I));
            }
            A->ClearLibraryError();
            const HRESULT R = Reader->Extract(Indices.data(), static_cast<UINT32>(Indices.size()), 0, Callback.P);
            A->RaiseLibraryError();
            SevenzipCheck(R);
            A->CheckOperationResults();
        } catch (...) {
            Finish();
            throw;
        }
        Finish();
    }
};

namespace {
// The name of the first volume of a numbered series (name.7z.001, name.7z.002, ...), as the
// library's own tool writes a split archive.
bool IsFirstVolumeName(const std::string& Name) {
    return Name.size() > 4 && Name.compare(Name.size() - 4, 4, ".001") == 0;
}

// The volume name pattern of the series that the first volume Name begins; a "%" of the name
// stays itself.
std::string SeriesPattern(const std::string& Name) {
    std::string Pattern;
    for (char C : Name.substr(0, Name.size() - 4))
        Pattern += C == '%' ? std::string("%%") : std::string(1, C);
    return Pattern + ".%.3d";
}
}  // namespace

void TJclSevenzipDecompressArchive::OpenArchive() {
    if (FOpened)
        return;
    if (FVolumeNamePattern.empty() && GetVolumeCount() == 1 && IsFirstVolumeName(GetVolume(0)->FileName))
        FVolumeNamePattern = SeriesPattern(GetVolume(0)->FileName);
    TJclSevenzipInStream* In;
    if (!FVolumeNamePattern.empty() || FVolumeMaxSize != 0 || GetVolumeCount() > 0) {
        TJclDynamicSplitStream* Split = CreateSplitStream(false);
        if (!FVolumeNamePattern.empty()) {
            // Read volumes are as long as their files: without a limit a seek past the end of one
            // volume would stay in it instead of reaching the next. The last one keeps no limit.
            Split->OnFetchVolumeMaxSize = TJclOnVolumeMaxSize::FromFunction([this](LongInt Index, Int64& Size) {
                Size = GetVolumeMaxSize(Index);
                if (Size != 0 || Index < 0 || Index >= GetVolumeCount())
                    return;
                TStream* Stream = GetVolume(Index)->Stream;
                const bool NextFollows = Index + 1 < GetVolumeCount() ? GetVolume(Index + 1)->Stream != nullptr
                                                                      : IsExistingFile(VolumeNameOf(Index + 1));
                if (Stream && NextFollows)
                    Size = Stream->Size();
            });
        }
        In = new TJclSevenzipInStream(Split, true, this);
    } else
        In = new TJclSevenzipInStream(GetVolumeStream(0), false, this);
    TJclSevenzipReading::Open(this, GetInArchive(), In);
    FOpened = true;
}

void TJclSevenzipDecompressArchive::ListFiles() {
    CheckNotDecompressing();
    TJclSevenzipReading::List(this, FExtract, [this] {
        OpenArchive();
        return GetInArchive();
    });
}

void TJclSevenzipDecompressArchive::ExtractAll(const std::string& DestDir, bool AutoCreateSubDir) {
    CheckNotDecompressing();
    TJclSevenzipReading::Extract(this, FExtract, DestDir, AutoCreateSubDir, true, [this] {
        OpenArchive();
        return GetInArchive();
    });
}

void TJclSevenzipDecompressArchive::ExtractSelected(const std::string& DestDir, bool AutoCreateSubDir) {
    CheckNotDecompressing();
    TJclSevenzipReading::Extract(this, FExtract, DestDir, AutoCreateSubDir, false, [this] {
        OpenArchive();
        return GetInArchive();
    });
}

void TJcl7zDecompressArchive::DefineClass(TClassBuilder<TJcl7zDecompressArchive>& B) {
    auto& R = static_cast<TJclCompressionArchiveClassRecord&>(B.Record());
    R.FormatName = RsCompression7zName;
    R.FileMasks = RsCompression7zExtensions;
    R.FormatClassID = sevenzip::FormatClassID(0x07);
    R.HasFormatClassID = true;
}

HRESULT TJcl7zDecompressArchive::GetInterface(REFIID IID, void** Obj) {
    if (Obj && IsEqualGUID(IID, IID_IArchiveThreadsSetting)) {
        *Obj = static_cast<IArchiveThreadsSetting*>(this);
        return S_OK;
    }
    return TJclSevenzipDecompressArchive::GetInterface(IID, Obj);
}

void TJcl7zDecompressArchive::SetNumberOfThreads(Cardinal Value) {
    CheckNotDecompressing();
    FNumberOfThreads = Value;
}

// ---------------------------------------------------------------------------------------------
// Update archives

void TJclUpdateArchive::DefineClass(TClassBuilder<TJclUpdateArchive>& B) {
    auto& R = static_cast<TJclCompressionArchiveClassRecord&>(B.Record());
    R.VolumeAccessMode = samRead;
    R.ItemAccessMode = samReadWrite;
}

void TJclUpdateArchive::CheckNotDecompressing() const {
    if (FExtract.Decompressing)
        RaiseCompression(RsCompressionDecompressingError);
}

bool TJclUpdateArchive::PrepareItemTarget(LongInt Index, std::string& FileName, bool& OwnsStream, TStream*& Stream) {
    return PrepareExtractTarget(this, FExtract, OnExtract, Index, FileName, OwnsStream, Stream, true);
}

void TJclOutOfPlaceUpdateArchive::DefineClass(TClassBuilder<TJclOutOfPlaceUpdateArchive>&) {}

TStream* TJclOutOfPlaceUpdateArchive::GetTmpVolumeStream(LongInt Index) {
    const bool Existing = Index >= 0 && Index < GetVolumeCount();
    if (Index == FCurrentTmpVolumeIndex) {
        if (!Existing)
            return nullptr;
        TStream* Current = FVolumes[static_cast<size_t>(Index)]->TmpStream;
        if (Current)
            Current->Seek(Int64(0), soBeginning);
        return Current;
    }
    std::string Name = VolumeNameOf(Index);
    std::string TmpName;
    TStream* TmpStream = nullptr;
    bool Owns = true;
    if (Existing) {
        TJclCompressionVolume* V = FVolumes[static_cast<size_t>(Index)].get();
        Name = V->FileName;
        TmpName = V->TmpFileName;
        TmpStream = V->TmpStream;
        Owns = V->OwnsTmpStream;
    }
    if (TmpName.empty() && !Name.empty())
        TmpName = MakeUniqueFileName(Name, ".tmp", "");
    OnTmpVolume(this, Index, TmpName, TmpStream, Owns);
    if (!TmpStream && !TmpName.empty())
        TmpStream = OpenItemFileStream(TmpName, TmpVolumeAccessMode());
    if (Index >= 0) {
        while (GetVolumeCount() <= Index)
            FVolumes.emplace_back(Create<TJclCompressionVolume>(nullptr, nullptr, false, false,
                                                                VolumeNameOf(GetVolumeCount()), "", FVolumeMaxSize));
        TJclCompressionVolume* V = FVolumes[static_cast<size_t>(Index)].get();
        V->TmpFileName = TmpName;
        V->TmpStream = TmpStream;
        V->OwnsTmpStream = Owns;
    }
    FCurrentTmpVolumeIndex = Index;
    return TmpStream;
}

TJclDynamicSplitStream* TJclOutOfPlaceUpdateArchive::CreateTmpSplitStream() {
    auto* Split = Create<TJclDynamicSplitStream>(true);
    Split->OnFetchVolume = TJclOnVolume::FromFunction([this](LongInt Index, TStream*& Stream) {
        Stream = GetTmpVolumeStream(Index);
    });
    Split->OnFetchVolumeMaxSize = TJclOnVolumeMaxSize::FromFunction([this](LongInt Index, Int64& Size) {
        Size = GetVolumeMaxSize(Index);
    });
    return Split;
}

void TJclOutOfPlaceUpdateArchive::DiscardTmpVolumes() {
    for (auto& V : FVolumes) {
        if (V->OwnsTmpStream)
            FreeObject(V->TmpStream);
        V->TmpStream = nullptr;
        if (!V->TmpFileName.empty())
            DeleteFileA(V->TmpFileName.c_str());
        V->TmpFileName.clear();
    }
    FCurrentTmpVolumeIndex = -1;
}

void TJclOutOfPlaceUpdateArchive::Compress() {
    if (!ReplaceVolumes)
        return;
    bool AllReplaced = true;
    for (auto& V : FVolumes) {
        std::string TmpFileName = V->TmpFileName, FileName = V->FileName;
        TStream* TmpStream = V->TmpStream;
        TStream* Stream = V->Stream;
        bool OwnsTmp = V->OwnsTmpStream, Owns = V->OwnsStream;
        bool Done = ReplaceVolumeHook && ReplaceVolumeHook(this, TmpFileName, FileName, TmpStream, Stream, OwnsTmp, Owns);
        if (!Done && !TmpFileName.empty() && !FileName.empty() && (OwnsTmp || !TmpStream) && (Owns || !Stream)) {
            if (OwnsTmp)
                FreeObject(TmpStream);
            TmpStream = nullptr;
            if (Owns)
                FreeObject(Stream);
            Stream = nullptr;
            Done = RelocateFile(TmpFileName, FileName, true);
        } else if (!Done && TmpFileName.empty() && FileName.empty() && TmpStream && Stream) {
            TmpStream->Seek(Int64(0), soBeginning);
            Stream->Seek(Int64(0), soBeginning);
            Stream->SetSize(CopyStreamData(TmpStream, Stream, 4096));
            Done = true;
        }
        V->TmpStream = TmpStream;
        V->Stream = Stream;
        V->OwnsTmpStream = OwnsTmp;
        V->OwnsStream = Owns;
        V->TmpFileName = TmpFileName;
        V->FileName = FileName;
        AllReplaced = AllReplaced && Done;
    }
    FCurrentVolumeIndex = -1;
    FCurrentTmpVolumeIndex = -1;
    if (!AllReplaced)
        RaiseCompression(RsCompressionReplaceError);
}

TJclSevenzipUpdateArchive::~TJclSevenzipUpdateArchive() {
    if (FOutArchive)
        FOutArchive->Release();
    if (FInArchive)
        FInArchive->Release();
}

TJclCompressionItem* TJclSevenzipUpdateArchive::CreateItem() { return Create<TJclUpdateItem>(this); }

sevenzip::IInArchive* TJclSevenzipUpdateArchive::GetInArchive() {
    if (!FInArchive)
        FInArchive = CreateLibraryObject<sevenzip::IInArchive>(ArchiveClass(), sevenzip::IID_IInArchive,
                                                               RsCompressionSevenzipInArchiveError);
    return FInArchive;
}

sevenzip::IOutArchive* TJclSevenzipUpdateArchive::GetOutArchive() {
    if (!FOutArchive) {
        void* Obj = nullptr;
        if (GetInArchive()->QueryInterface(sevenzip::IID_IOutArchive, &Obj) != S_OK || !Obj)
            RaiseCompression(Format(RsCompressionSevenzipOutArchiveError, {GUIDToRegistryString(ArchiveClass().FormatClassID)}));
        FOutArchive = static_cast<sevenzip::IOutArchive*>(Obj);
    }
    return FOutArchive;
}

void TJclSevenzipUpdateArchive::OpenArchive() {
    if (FOpened)
        return;
    TJclSevenzipReading::Open(this, GetInArchive(), new TJclSevenzipInStream(CreateSplitStream(true), true, this));
    FOpened = true;
}

void TJclSevenzipUpdateArchive::ListFiles() {
    CheckNotDecompressing();
    CheckNotCompressing();
    // The entries are made anew: names noted for the duplicate check would point at freed ones.
    ForgetNameList();
    TJclSevenzipReading::List(this, FExtract, [this] {
        OpenArchive();
        return GetInArchive();
    });
}

void TJclSevenzipUpdateArchive::ExtractAll(const std::string& DestDir, bool AutoCreateSubDir) {
    CheckNotDecompressing();
    CheckNotCompressing();
    TJclSevenzipReading::Extract(this, FExtract, DestDir, AutoCreateSubDir, true, [this] {
        OpenArchive();
        return GetInArchive();
    });
}

void TJclSevenzipUpdateArchive::ExtractSelected(const std::string& DestDir, bool AutoCreateSubDir) {
    CheckNotDecompressing();
    CheckNotCompressing();
    TJclSevenzipReading::Extract(this, FExtract, DestDir, AutoCreateSubDir, false, [this] {
        OpenArchive();
        return GetInArchive();
    });
}

void TJclSevenzipUpdateArchive::RemoveItemsUnder(const std::wstring& Prefix) {
    for (LongInt I = GetItemCount(); I-- > 0;) {
        TJclCompressionItem* Item = FItems[static_cast<size_t>(I)];
        const std::wstring Name = Item->GetPackedName();
        if (Name.size() >= Prefix.size() && SameTextFolded(Name.substr(0, Prefix.size()), Prefix)) {
            RemoveFromNameList(Item);
            RemoveItemAt(I);
        }
    }
}

void TJclSevenzipUpdateArchive::DeleteItem(LongInt Index) {
    TJclCompressionItem* Item = GetItem(Index);
    const bool IsFolder = (Item->GetAttributes() & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const std::wstring Prefix = Item->GetPackedName() + L"\\";
    // The name goes with the entry: a name list still holding it would lead a later add to a freed entry.
    RemoveFromNameList(Item);
    RemoveItemAt(Index);
    if (IsFolder)
        RemoveItemsUnder(Prefix);
}

void TJclSevenzipUpdateArchive::RemoveItem(const std::wstring& PackedName) {
    for (LongInt I = 0; I < GetItemCount(); ++I) {
        TJclCompressionItem* Item = FItems[static_cast<size_t>(I)];
        if (!SameTextFolded(Item->GetPackedName(), PackedName))
            continue;
        const bool IsFolder = (Item->GetAttributes() & FILE_ATTRIBUTE_DIRECTORY) != 0;
        RemoveFromNameList(Item);
        RemoveItemAt(I);
        if (IsFolder)
            RemoveItemsUnder(PackedName + L"\\");
        return;
    }
}

void TJclSevenzipUpdateArchive::Compress() {
    CheckNotCompressing();
    CheckNotDecompressing();
    FCompressing = true;
    try {
        ClearLibraryError();
        HRESULT R;
        {
            TCreatorRef<TJclSevenzipOutStream> Out(new TJclSevenzipOutStream(CreateTmpSplitStream(), true, true, this));
            TCreatorRef<TJclSevenzipUpdateCallback> Callback(new TJclSevenzipUpdateCallback(this));
            sevenzip::IOutArchive* Writer = GetOutArchive();
            SendArchiveSettings(static_cast<IUnknown*>(static_cast<TJclCompressionArchive*>(this)), Writer);
            R = Writer->UpdateItems(Out.P, static_cast<UINT32>(GetItemCount()), Callback.P);
        }
        RaiseLibraryError();
        SevenzipCheck(R);
    } catch (...) {
        FCompressing = false;
        // The volumes the archive was read from stay as they were.
        DiscardTmpVolumes();
        throw;
    }
    FCompressing = false;
    // The old volumes are about to be replaced: the reader lets go of them and opens the new ones
    // when it is asked again.
    if (FInArchive)
        FInArchive->Close();
    FOpened = false;
    TJclOutOfPlaceUpdateArchive::Compress();
}

void TJcl7zUpdateArchive::DefineClass(TClassBuilder<TJcl7zUpdateArchive>& B) {
    auto& R = static_cast<TJclCompressionArchiveClassRecord&>(B.Record());
    R.FormatName = RsCompression7zName;
    R.FileMasks = RsCompression7zExtensions;
    R.FormatClassID = sevenzip::FormatClassID(0x07);
    R.HasFormatClassID = true;
}

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

void JclCompressionFinalization() { FreeAndNil(ArchiveFormats); }
