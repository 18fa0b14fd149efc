// The archive layer: entries, volumes and the archive root; the writing and reading branches; the
// 7-Zip-backed classes with their settings, callbacks and stream wrappers; and the format registry
// that hands out the class for a file name.
#pragma once

#include "Classes.h"
#include "JclBase.h"
#include "JclResources.h"
#include "JclStreams.h"
#include "JclWideStrings.h"
#include "sevenzip.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <type_traits>
#include <string>
#include <utility>
#include <vector>

DECLARE_EXCEPTION(EJclCompressionError, EJclError);
// The archive's names are encrypted and the archive's password (none, or a wrong one) cannot read them.
DECLARE_EXCEPTION(EJclCompressionPasswordError, EJclCompressionError);

class TJclCompressionArchive;

class TJclCompressArchive;
class TJclDecompressArchive;

// ---------------------------------------------------------------------------------------------
// Stream access and entry properties

enum TJclStreamAccessMode : Byte { samCreate, samRead, samReadShared, samWrite, samReadWrite };

// Opens a file stream by the rules of Mode; null where the mode gives no stream.
TStream* OpenItemFileStream(const std::string& FileName, TJclStreamAccessMode Mode);

enum TJclCompressionItemProperty : Byte {
    ipPackedName, ipPackedSize, ipPackedExtension, ipFileSize, ipFileName, ipAttributes, ipCreationTime,
    ipLastAccessTime, ipLastWriteTime, ipComment, ipHostOS, ipHostFS, ipUser, ipGroup, ipCRC, ipStream,
    ipMethod, ipEncrypted
};

// A set over TJclCompressionItemProperty.
class TJclCompressionItemProperties {
public:
    bool Contains(TJclCompressionItemProperty P) const { return (FBits >> P) & 1u; }
    void Include(TJclCompressionItemProperty P) { FBits |= 1u << P; }
    void Exclude(TJclCompressionItemProperty P) { FBits &= ~(1u << P); }
    void Clear() { FBits = 0; }
    bool Empty() const { return FBits == 0; }
    std::uint32_t Bits() const { return FBits; }
    bool operator==(const TJclCompressionItemProperties&) const = default;

private:
    std::uint32_t FBits = 0;
};

// The library reports more entry results than its first four; each keeps its own message.
enum TJclCompressionOperationSuccess : Byte { osNoOperation, osOK, osUnsupportedMethod, osDataError, osCRCError,
                                              osUnknownError, osUnavailable, osUnexpectedEnd, osDataAfterEnd,
                                              osIsNotArchive, osHeadersError, osWrongPassword };

// ---------------------------------------------------------------------------------------------
// Entries

class TJclCompressionItem : public TObject {
    DECLARE_CLASS(TJclCompressionItem, TObject)
public:
    explicit TJclCompressionItem(TJclCompressionArchive* AArchive);
    ~TJclCompressionItem() override;

    TJclCompressionArchive* Archive() const { return FArchive; }

    std::wstring GetPackedName();
    void SetPackedName(const std::wstring& Value);
    Int64 GetPackedSize();
    void SetPackedSize(Int64 Value);
    std::wstring GetPackedExtension();
    void SetPackedExtension(const std::wstring& Value);
    Int64 GetFileSize();
    void SetFileSize(Int64 Value);
    std::string GetFileName();
    void SetFileName(const std::string& Value);
    DWORD GetAttributes();
    void SetAttributes(DWORD Value);
    FILETIME GetCreationTime();
    void SetCreationTime(FILETIME Value);
    FILETIME GetLastAccessTime();
    void SetLastAccessTime(FILETIME Value);
    FILETIME GetLastWriteTime();
    void SetLastWriteTime(FILETIME Value);
    std::wstring GetComment();
    void SetComment(const std::wstring& Value);
    std::wstring GetHostOS();
    void SetHostOS(const std::wstring& Value);
    std::wstring GetHostFS();
    void SetHostFS(const std::wstring& Value);
    std::wstring GetUser();
    void SetUser(const std::wstring& Value);
    std::wstring GetGroup();
    void SetGroup(const std::wstring& Value);
    Cardinal GetCRC();
    void SetCRC(Cardinal Value);
    TStream* GetStream();
    void SetStream(TStream* Value);
    std::wstring GetMethod();
    void SetMethod(const std::wstring& Value);
    bool GetEncrypted();
    void SetEncrypted(bool Value);

    bool OwnsStream() const { return FOwnsStream; }
    void SetOwnsStream(bool Value) { FOwnsStream = Value; }
    const TJclCompressionItemProperties& ValidProperties() const { return FValidProperties; }
    const TJclCompressionItemProperties& ModifiedProperties() const { return FModifiedProperties; }
    void ClearValidProperties() { FValidProperties.Clear(); }
    void ClearModifiedProperties() { FModifiedProperties.Clear(); }
    LongInt PackedIndex() const { return FPackedIndex; }
    void SetPackedIndex(LongInt Value) { FPackedIndex = Value; }
    bool Selected() const { return FSelected; }
    void SetSelected(bool Value) { FSelected = Value; }
    TJclCompressionOperationSuccess OperationSuccess() const { return FOperationSuccess; }
    void SetOperationSuccess(TJclCompressionOperationSuccess Value) { FOperationSuccess = Value; }

    TStream* OpenItemStream();
    void CloseItemStream();
    bool RemoveTargetFile();
    bool ApplyFileTimes();

    // Extraction targets: the entry's data goes to a temporary file beside its target, which takes
    // the target's place only when the entry was extracted whole (an existing file survives a
    // failed entry).
    void SetTemporaryTarget(const std::string& TempName) { FTemporaryTarget = TempName; }
    const std::string& TemporaryTarget() const { return FTemporaryTarget; }
    // Moves the temporary file over the target; false when that fails (the temporary is removed).
    bool CommitTemporaryTarget();
    // Removes the temporary file, if any; the target is left as it was.
    void DiscardTemporaryTarget();
    // Set when the target would lie outside the destination folder: the entry gets no stream.
    bool TargetRefused() const { return FTargetRefused; }
    void SetTargetRefused(bool Value) { FTargetRefused = Value; }

    virtual bool PrepareOutput(LongInt Index);

protected:
    virtual void CheckGetProperty(TJclCompressionItemProperty Index) = 0;
    virtual void CheckSetProperty(TJclCompressionItemProperty Index) = 0;
    std::string& FileNameRef() { return FFileName; }
    bool& OwnsStreamRef() { return FOwnsStream; }
    TStream*& StreamRef() { return FStream; }

private:
    void Changed(TJclCompressionItemProperty Index);

    TJclCompressionArchive* FArchive;
    std::string FFileName;
    TStream* FStream = nullptr;
    bool FOwnsStream = false;
    // The file stream the entry opened itself: only that one and an owned one are the entry's to
    // free (a caller's stream keeps living when the entry has a file name).
    TStream* FOpenedStream = nullptr;
    TJclCompressionItemProperties FValidProperties;
    TJclCompressionItemProperties FModifiedProperties;
    LongInt FPackedIndex = -1;
    bool FSelected = false;
    TJclCompressionOperationSuccess FOperationSuccess = osNoOperation;
    std::wstring FPackedName;
    Int64 FPackedSize = 0;
    Int64 FFileSize = 0;
    DWORD FAttributes = 0;
    std::wstring FPackedExtension;
    FILETIME FCreationTime{};
    FILETIME FLastAccessTime{};
    FILETIME FLastWriteTime{};
    std::wstring FComment;
    std::wstring FHostOS;
    std::wstring FHostFS;
    std::wstring FUser;
    std::wstring FGroup;
    Cardinal FCRC = 0;
    std::wstring FMethod;
    bool FEncrypted = false;
    std::string FTemporaryTarget;
    bool FTargetRefused = false;
};

class TJclCompressItem : public TJclCompressionItem {
    DECLARE_CLASS(TJclCompressItem, TJclCompressionItem)
public:
    using TJclCompressionItem::TJclCompressionItem;

protected:
    void CheckGetProperty(TJclCompressionItemProperty Index) override;
    void CheckSetProperty(TJclCompressionItemProperty Index) override;
};

class TJclDecompressItem : public TJclCompressionItem {
    DECLARE_CLASS(TJclDecompressItem, TJclCompressionItem)
public:
    using TJclCompressionItem::TJclCompressionItem;
    bool PrepareOutput(LongInt Index) override;

protected:
    void CheckGetProperty(TJclCompressionItemProperty Index) override;
    void CheckSetProperty(TJclCompressionItemProperty Index) override;
};

class TJclUpdateItem : public TJclCompressionItem {
    DECLARE_CLASS(TJclUpdateItem, TJclCompressionItem)
public:
    using TJclCompressionItem::TJclCompressionItem;
    bool PrepareOutput(LongInt Index) override;

protected:
    void CheckGetProperty(TJclCompressionItemProperty Index) override;
    void CheckSetProperty(TJclCompressionItemProperty Index) override;
};

// The class of an entry, as an archive's ItemClass answers it.
using TJclCompressionItemFactory = TJclCompressionItem* (*)(TJclCompressionArchive* Archive);

// ---------------------------------------------------------------------------------------------
// Volumes

class TJclCompressionVolume : public TObject {
    DECLARE_CLASS(TJclCompressionVolume, TObject)
public:
    TJclCompressionVolume(TStream* AStream, TStream* ATmpStream, bool AOwnsStream, bool AOwnsTmpStream,
                          const std::string& AFileName, const std::string& ATmpFileName, Int64 AVolumeMaxSize);
    ~TJclCompressionVolume() override;

    std::string FileName;
    std::string TmpFileName;
    TStream* Stream;
    TStream* TmpStream;
    bool OwnsStream;
    bool OwnsTmpStream;
    Int64 VolumeMaxSize;
};

// ---------------------------------------------------------------------------------------------
// Archive classes and their class-level answers

// The class record of an archive class: the class functions the registry and the archives ask.
// A class inherits its parent's answers and changes them in its DefineClass.
class TJclCompressionArchiveClassRecord : public TClassRecord {
public:
    TJclCompressionArchiveClassRecord(const char* Name, TClass Parent, TFactory Factory);

    std::string FormatName;
    std::string FileMasks;
    GUID FormatClassID{};
    bool HasFormatClassID = false;
    bool HoldsSeveralItems = true;
    TJclStreamAccessMode VolumeAccessMode = samRead;
    TJclStreamAccessMode ItemAccessMode = samRead;

    // The Part's two constructors, through the class reference.
    TJclCompressionArchive* CreateOnStream(TStream* Volume0, Int64 VolumeMaxSize = 0, bool OwnsVolume0 = false) const;
    TJclCompressionArchive* CreateOnFile(const std::string& VolumeName, Int64 VolumeMaxSize = 0,
                                         bool VolumeNameIsPattern = false) const;
};
using TJclCompressionArchiveClass = const TJclCompressionArchiveClassRecord*;

using TJclCompressionProgressEvent = TMethodOf<TObject*, Int64, Int64>;
using TJclCompressionVolumeEvent = TMethodOf<TObject*, LongInt, std::string&, TStream*&, bool&>;
using TJclCompressionVolumeMaxSizeEvent = TMethodOf<TObject*, LongInt, Int64&>;
using TJclCompressionExtractEvent = TMethodOf<TObject*, LongInt, std::string&, bool&, TStream*&, bool&>;

// The archive root. It answers the platform's basic object interface without counting references:
// an archive is freed only by whoever created it.
class TJclCompressionArchive : public TObject, public IUnknown {
    DECLARE_CLASS(TJclCompressionArchive, TObject)
public:
    using TMetaClass = TJclCompressionArchiveClassRecord;
    TJclCompressionArchive();
    ~TJclCompressionArchive() override;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID IID, void** Obj) override { return GetInterface(IID, Obj); }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(-1); }
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(-1); }
    // The class's interface table: each class that adds interfaces answers them and asks its parent.
    virtual HRESULT GetInterface(REFIID IID, void** Obj);

    // Class functions, read from the class record.
    const TJclCompressionArchiveClassRecord& ArchiveClass() const;
    std::string FormatName() const { return ArchiveClass().FormatName; }
    std::string FileMasks() const { return ArchiveClass().FileMasks; }
    bool HoldsSeveralItems() const { return ArchiveClass().HoldsSeveralItems; }
    TJclStreamAccessMode VolumeAccessMode() const { return ArchiveClass().VolumeAccessMode; }
    TJclStreamAccessMode ItemAccessMode() const { return ArchiveClass().ItemAccessMode; }

    // What the constructors do once the object exists (virtual calls reach the subclass here).
    void InitOnStream(TStream* Volume0, Int64 VolumeMaxSize, bool OwnsVolume0);
    void InitOnFile(const std::string& VolumeName, Int64 VolumeMaxSize, bool VolumeNameIsPattern);

    virtual void SetDefaults() {}
    virtual TJclCompressionItem* CreateItem() = 0;  // an entry of the class's ItemClass

    virtual LongInt AddVolumeFile(const std::string& FileName, Int64 MaxSize);
    virtual LongInt AddVolumeFileWithTemp(const std::string& FileName, const std::string& TmpFileName, Int64 MaxSize);
    virtual LongInt AddVolumeStream(TStream* Stream, Int64 MaxSize, bool OwnsStream);
    virtual LongInt AddVolumeStreamWithTemp(TStream* Stream, TStream* TmpStream, bool OwnsStream, bool OwnsTmpStream,
                                            Int64 MaxSize);

    TJclCompressionItem* GetItem(LongInt Index) const;
    LongInt GetItemCount() const { return static_cast<LongInt>(FItems.size()); }
    TJclCompressionVolume* GetVolume(LongInt Index) const;
    LongInt GetVolumeCount() const { return static_cast<LongInt>(FVolumes.size()); }
    void ClearItems();

    void CheckOperationResults();
    void ReportProgress(Int64 Value, Int64 MaxValue);
    TStream* GetVolumeStream(LongInt Index);
    Int64 GetVolumeMaxSize(LongInt Index);
    TStream* OpenVolumeFile(const std::string& FileName);
    // Wires a split stream to this archive's volumes.
    TJclDynamicSplitStream* CreateSplitStream(bool ReSeek = false);

    std::wstring Password;
    TJclCompressionProgressEvent OnProgress;
    TJclCompressionVolumeEvent OnVolume;
    TJclCompressionVolumeMaxSizeEvent OnVolumeMaxSize;

    Int64 ProgressMax() const { return FProgressMax; }
    void SetProgressMax(Int64 Value) { FProgressMax = Value; }
    LongInt VolumeIndexOffset() const { return FVolumeIndexOffset; }
    void SetVolumeIndexOffset(LongInt Value) { FVolumeIndexOffset = Value; }
    const std::string& VolumeNamePattern() const { return FVolumeNamePattern; }
    Int64 VolumeMaxSize() const { return FVolumeMaxSize; }

    // No exception may cross the library's frames (the program would end there): the objects the
    // library calls back keep the first one here and answer with an error result, and the archive
    // method that called the library raises it again once the call has returned, so the caller
    // sees the real cause (the file that could not be opened) instead of a bare result code.
    // Keep is called from inside a handler; it may run on one of the library's threads.
    void KeepLibraryError() noexcept;
    void ClearLibraryError() noexcept;
    void RaiseLibraryError();

protected:
    friend struct TJclSevenzipReading;
    LongInt AppendItem(TJclCompressionItem* Item);
    void RemoveItemAt(LongInt Index);  // frees the entry
    LongInt IndexOfItem(TJclCompressionItem* Item) const;
    std::string VolumeNameOf(LongInt Index) const;

    LongInt FCurrentVolumeIndex = -1;
    LongInt FVolumeIndexOffset = 1;
    Int64 FVolumeMaxSize = 0;
    std::string FVolumeNamePattern;
    Int64 FProgressMax = 0;
    std::vector<std::unique_ptr<TJclCompressionVolume, TObjectDeleter>> FVolumes;
    std::vector<TJclCompressionItem*> FItems;
    // Volume files this archive opened itself, with whether each existed before: a failed write
    // removes what it created or began to overwrite, and nothing else.
    std::vector<std::pair<std::string, bool>> FOpenedVolumeFiles;
    void RemoveOpenedVolumeFiles(bool Written);

private:
    std::mutex FLibraryErrorLock;
    std::exception_ptr FLibraryError;
};

// Creates an archive of class T on a file: the typed form of the class record's CreateOnFile.
template <class T>
T* CreateArchiveOnFile(const std::string& VolumeName, Int64 VolumeMaxSize = 0, bool VolumeNameIsPattern = false) {
    return static_cast<T*>(static_cast<TJclCompressionArchiveClass>(T::StaticClass())
                               ->CreateOnFile(VolumeName, VolumeMaxSize, VolumeNameIsPattern));
}
template <class T>
T* CreateArchiveOnStream(TStream* Volume0, Int64 VolumeMaxSize = 0, bool OwnsVolume0 = false) {
    return static_cast<T*>(static_cast<TJclCompressionArchiveClass>(T::StaticClass())
                               ->CreateOnStream(Volume0, VolumeMaxSize, OwnsVolume0));
}

// ---------------------------------------------------------------------------------------------
// Writing and reading branches

enum TJclDuplicateAction : Byte { daOverwrite, daError, daSkip };
enum TJclDuplicateCheck : Byte { dcNone, dcExisting, dcAll };

class TJclCompressArchive : public TJclCompressionArchive {
    DECLARE_CLASS(TJclCompressArchive, TJclCompressionArchive)
public:
    static void DefineClass(TClassBuilder<TJclCompressArchive>& B);
    ~TJclCompressArchive() override;

    void CheckNotCompressing() const;
    virtual LongInt AddDirectory(const std::wstring& PackedName, const std::string& DirName, bool Recurse = false,
                                 bool AddFiles = false);
    virtual LongInt AddFile(const std::wstring& PackedName, const std::string& FileName);
    virtual LongInt AddStream(const std::wstring& PackedName, TStream* Stream, bool OwnsStream = false);
    virtual void Compress() {}

    TJclDuplicateAction DuplicateAction = daOverwrite;
    TJclDuplicateCheck DuplicateCheck = dcNone;
    bool Compressing() const { return FCompressing; }

    // The name list of the duplicate check: sorted, case-insensitive, refusing duplicates.
    bool NameListExists() const { return FNameList != nullptr; }
    // Drops Item's name from the name list (an entry that is removed must not stay findable).
    void RemoveFromNameList(TJclCompressionItem* Item);
    // Forgets the name list: it is built again from the entries at the next checked add.
    void ForgetNameList();
    // Moves Item's entry in the name list from OldName to NewName; false when NewName is taken.
    bool RenameInNameList(TJclCompressionItem* Item, const std::wstring& OldName, const std::wstring& NewName);

protected:
    LongInt AddItem(TJclCompressionItem* Item);
    std::wstring PackedNameOf(const std::string& Path) const;

    bool FCompressing = false;

private:
    void EnsureNameList();
    // Enters Name for Item unless the list holds it; Position is where it stands or would stand.
    bool EnterName(const std::wstring& Name, TJclCompressionItem* Item, int* Position = nullptr);

    std::wstring FBasePackedName;
    std::string FBaseDirName;
    bool FAddFilesInDir = false;
    // Sorted, not case-sensitive, each name with its entry as the object; made at the first checked add.
    std::unique_ptr<TJclWideStringList, TObjectDeleter> FNameList;
};

// What an archive that extracts keeps while it lists or extracts.
struct TJclExtractState {
    bool AutoCreateSubDir = false;
    bool Decompressing = false;
    bool Listing = false;
    std::string DestinationDir;
    LongInt CurrentExtractIndex = -1;
};

class TJclDecompressArchive : public TJclCompressionArchive {
    DECLARE_CLASS(TJclDecompressArchive, TJclCompressionArchive)
public:
    static void DefineClass(TClassBuilder<TJclDecompressArchive>& B);

    void CheckNotDecompressing() const;
    virtual bool PrepareItemTarget(LongInt Index, std::string& FileName, bool& OwnsStream, TStream*& Stream);
    virtual void ListFiles() = 0;
    virtual void ExtractSelected(const std::string& DestDir = "", bool AutoCreateSubDir = true) {
        (void)DestDir;
        (void)AutoCreateSubDir;
    }
    virtual void ExtractAll(const std::string& DestDir = "", bool AutoCreateSubDir = true) {
        (void)DestDir;
        (void)AutoCreateSubDir;
    }

    TJclCompressionExtractEvent OnExtract;  // last argument: the result (starts true)
    bool Decompressing() const { return FExtract.Decompressing; }
    bool Listing() const { return FExtract.Listing; }
    const std::string& DestinationDir() const { return FExtract.DestinationDir; }
    LongInt CurrentExtractIndex() const { return FExtract.CurrentExtractIndex; }

protected:
    TJclExtractState FExtract;
};

// ---------------------------------------------------------------------------------------------
// Settings interfaces of the archives (not counted, like the archives themselves)

extern const GUID IID_IArchiveLevelSetting;
extern const GUID IID_IArchiveThreadsSetting;
extern const GUID IID_IArchiveDictionarySetting;
extern const GUID IID_IArchiveRemoveSfxSetting;
extern const GUID IID_IArchiveHeaderCompressionSetting;
extern const GUID IID_IArchiveHeaderEncryptionSetting;
extern const GUID IID_IArchiveCreationTimeSetting;
extern const GUID IID_IArchiveLastAccessTimeSetting;
extern const GUID IID_IArchiveLastWriteTimeSetting;
extern const GUID IID_IArchiveSolidSetting;
extern const GUID IID_IArchivePassesSetting;
extern const GUID IID_IArchiveAlgorithmSetting;
extern const GUID IID_IArchiveEncryptionSetting;
extern const GUID IID_IArchiveMethodSetting;

enum TJclEncryptionMethod : Byte { emNone, emAES128, emAES192, emAES256, emZipCrypto };

struct IArchiveLevelSetting : IUnknown {
    virtual Cardinal GetCompressionLevel() = 0;
    virtual Cardinal GetCompressionLevelMax() = 0;
    virtual Cardinal GetCompressionLevelMin() = 0;
    virtual void SetCompressionLevel(Cardinal Value) = 0;
};
struct IArchiveThreadsSetting : IUnknown {
    virtual Cardinal GetNumberOfThreads() = 0;
    virtual void SetNumberOfThreads(Cardinal Value) = 0;
};
struct IArchiveDictionarySetting : IUnknown {
    virtual Cardinal GetDictionarySize() = 0;
    virtual void SetDictionarySize(Cardinal Value) = 0;
};
struct IArchiveRemoveSfxSetting : IUnknown {
    virtual bool GetRemoveSfxBlock() = 0;
    virtual void SetRemoveSfxBlock(bool Value) = 0;
};
struct IArchiveHeaderCompressionSetting : IUnknown {
    virtual bool GetCompressHeader() = 0;
    virtual bool GetCompressHeaderFull() = 0;
    virtual void SetCompressHeader(bool Value) = 0;
    virtual void SetCompressHeaderFull(bool Value) = 0;
};
struct IArchiveHeaderEncryptionSetting : IUnknown {
    virtual bool GetEncryptHeader() = 0;
    virtual void SetEncryptHeader(bool Value) = 0;
};
struct IArchiveCreationTimeSetting : IUnknown {
    virtual bool GetStoreCreationTime() = 0;
    virtual void SetStoreCreationTime(bool Value) = 0;
};
struct IArchiveLastAccessTimeSetting : IUnknown {
    virtual bool GetStoreLastAccessTime() = 0;
    virtual void SetStoreLastAccessTime(bool Value) = 0;
};
struct IArchiveLastWriteTimeSetting : IUnknown {
    virtual bool GetStoreLastWriteTime() = 0;
    virtual void SetStoreLastWriteTime(bool Value) = 0;
};
struct IArchiveSolidSetting : IUnknown {
    virtual Int64 GetSolidBlockSize() = 0;
    virtual bool GetSolidExtension() = 0;
    virtual void SetSolidBlockSize(Int64 Value) = 0;
    virtual void SetSolidExtension(bool Value) = 0;
};
struct IArchivePassesSetting : IUnknown {
    virtual Cardinal GetNumberOfPasses() = 0;
    virtual void SetNumberOfPasses(Cardinal Value) = 0;
};
struct IArchiveAlgorithmSetting : IUnknown {
    virtual Cardinal GetAlgorithm() = 0;
    virtual std::vector<Cardinal> GetSupportedAlgorithms() = 0;
    virtual void SetAlgorithm(Cardinal Value) = 0;
};
struct IArchiveEncryptionSetting : IUnknown {
    virtual TJclEncryptionMethod GetEncryptionMethod() = 0;
    virtual std::uint32_t GetSupportedEncryptionMethods() = 0;  // a set over TJclEncryptionMethod
    virtual void SetEncryptionMethod(TJclEncryptionMethod Value) = 0;
};
struct IArchiveMethodSetting : IUnknown {
    virtual Cardinal GetCompressionMethod() = 0;
    virtual std::uint32_t GetSupportedCompressionMethods() = 0;
    virtual void SetCompressionMethod(Cardinal Value) = 0;
};

// The texts the library receives for the encryption methods.
const wchar_t* EncryptionMethodName(TJclEncryptionMethod Method);

// ---------------------------------------------------------------------------------------------
// 7-Zip-backed archives

// Raises EJclCompressionError for any result but 0.
void SevenzipCheck(HRESULT Value);
// What a library result means: the library's own codes (S_FALSE, E_ABORT, E_NOTIMPL, its cut
// write) in words of this layer, Windows errors wrapped in a result by their platform text.
std::string SevenzipResultText(HRESULT Value);
// The library's result check as the Part names it.
inline void CheckLibraryResult(HRESULT Value) { SevenzipCheck(Value); }

// Turns the archive's settings into the library's named properties and sends them.
void SendArchiveSettings(IUnknown* Archive, IUnknown* LibraryObject);
// The properties SendArchiveSettings would send, in order (names and values as texts or numbers).
struct TJclArchiveProperty {
    std::wstring Name;
    PROPVARIANT Value;
};
std::vector<TJclArchiveProperty> BuildArchiveSettings(IUnknown* Archive, IUnknown* LibraryObject);
void FreeArchiveSettings(std::vector<TJclArchiveProperty>& Properties);

class TJclSevenzipCompressArchive : public TJclCompressArchive {
    DECLARE_CLASS(TJclSevenzipCompressArchive, TJclCompressArchive)
public:
    ~TJclSevenzipCompressArchive() override;
    TJclCompressionItem* CreateItem() override;
    void Compress() override;
    sevenzip::IOutArchive* GetOutArchive();

private:
    sevenzip::IOutArchive* FOutArchive = nullptr;
};

// The dictionary the 7z level rule gives a level of 0 to 9.
Cardinal SevenzipDictionaryForLevel(Cardinal Level);

// A setting may change only while the archive is idle: not compressing, and for reading and
// updating archives not decompressing either.
template <class Base>
void CheckSettingsIdle(const Base* Archive) {
    if constexpr (requires { Archive->CheckNotCompressing(); })
        Archive->CheckNotCompressing();
    if constexpr (requires { Archive->CheckNotDecompressing(); })
        Archive->CheckNotDecompressing();
}

// The settings of the 7z writer and updater, on top of the 7-Zip-backed class Base.
template <class Base>
class TJcl7zSettingsArchive : public Base,
                              public IArchiveLevelSetting,
                              public IArchiveThreadsSetting,
                              public IArchiveDictionarySetting,
                              public IArchiveRemoveSfxSetting,
                              public IArchiveHeaderCompressionSetting,
                              public IArchiveHeaderEncryptionSetting,
                              public IArchiveCreationTimeSetting,
                              public IArchiveLastAccessTimeSetting,
                              public IArchiveLastWriteTimeSetting {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID IID, void** Obj) override { return this->GetInterface(IID, Obj); }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(-1); }
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(-1); }

    HRESULT GetInterface(REFIID IID, void** Obj) override {
        if (!Obj)
            return E_POINTER;
        void* P = nullptr;
        auto Offer = [&](const GUID& ID, void* Interface) {
            if (!P && IsEqualGUID(IID, ID))
                P = Interface;
        };
        Offer(IID_IArchiveLevelSetting, static_cast<IArchiveLevelSetting*>(this));
        Offer(IID_IArchiveThreadsSetting, static_cast<IArchiveThreadsSetting*>(this));
        Offer(IID_IArchiveDictionarySetting, static_cast<IArchiveDictionarySetting*>(this));
        Offer(IID_IArchiveRemoveSfxSetting, static_cast<IArchiveRemoveSfxSetting*>(this));
        Offer(IID_IArchiveHeaderCompressionSetting, static_cast<IArchiveHeaderCompressionSetting*>(this));
        Offer(IID_IArchiveHeaderEncryptionSetting, static_cast<IArchiveHeaderEncryptionSetting*>(this));
        Offer(IID_IArchiveCreationTimeSetting, static_cast<IArchiveCreationTimeSetting*>(this));
        Offer(IID_IArchiveLastAccessTimeSetting, static_cast<IArchiveLastAccessTimeSetting*>(this));
        Offer(IID_IArchiveLastWriteTimeSetting, static_cast<IArchiveLastWriteTimeSetting*>(this));
        if (!P)
            return Base::GetInterface(IID, Obj);
        *Obj = P;
        return S_OK;
    }

    void SetDefaults() override {
        FNumberOfThreads = 1;
        FEncryptHeader = false;
        FRemoveSfxBlock = false;
        FDictionarySize = 16777216;
        FCompressionLevel = 6;
        FCompressHeader = false;
        FCompressHeaderFull = false;
        FStoreLastAccessTime = true;
        FStoreCreationTime = true;
        FStoreLastWriteTime = true;
    }

    Cardinal GetCompressionLevel() override { return FCompressionLevel; }
    Cardinal GetCompressionLevelMax() override { return 9; }
    Cardinal GetCompressionLevelMin() override { return 0; }
    void SetCompressionLevel(Cardinal Value) override {
        CheckSettingsIdle<Base>(this);
        if (Value > 9)
            throw EJclCompressionError(JclResources::RsCompressionUnavailableProperty);
        FCompressionLevel = Value;
        FDictionarySize = SevenzipDictionaryForLevel(Value);
    }
    Cardinal GetNumberOfThreads() override { return FNumberOfThreads; }
    void SetNumberOfThreads(Cardinal Value) override { Store(FNumberOfThreads, Value); }
    Cardinal GetDictionarySize() override { return FDictionarySize; }
    void SetDictionarySize(Cardinal Value) override { Store(FDictionarySize, Value); }
    bool GetRemoveSfxBlock() override { return FRemoveSfxBlock; }
    void SetRemoveSfxBlock(bool Value) override { Store(FRemoveSfxBlock, Value); }
    bool GetCompressHeader() override { return FCompressHeader; }
    bool GetCompressHeaderFull() override { return FCompressHeaderFull; }
    void SetCompressHeader(bool Value) override { Store(FCompressHeader, Value); }
    void SetCompressHeaderFull(bool Value) override { Store(FCompressHeaderFull, Value); }
    bool GetEncryptHeader() override { return FEncryptHeader; }
    void SetEncryptHeader(bool Value) override { Store(FEncryptHeader, Value); }
    bool GetStoreCreationTime() override { return FStoreCreationTime; }
    void SetStoreCreationTime(bool Value) override { Store(FStoreCreationTime, Value); }
    bool GetStoreLastAccessTime() override { return FStoreLastAccessTime; }
    void SetStoreLastAccessTime(bool Value) override { Store(FStoreLastAccessTime, Value); }
    bool GetStoreLastWriteTime() override { return FStoreLastWriteTime; }
    void SetStoreLastWriteTime(bool Value) override { Store(FStoreLastWriteTime, Value); }

protected:
    template <class T>
    void Store(T& Field, T Value) {
        CheckSettingsIdle<Base>(this);
        Field = Value;
    }

private:
    Cardinal FNumberOfThreads = 1;
    bool FEncryptHeader = false;
    bool FRemoveSfxBlock = false;
    Cardinal FDictionarySize = 16777216;
    Cardinal FCompressionLevel = 6;
    bool FCompressHeader = false;
    bool FCompressHeaderFull = false;
    bool FStoreLastAccessTime = true;
    bool FStoreCreationTime = true;
    bool FStoreLastWriteTime = true;
};

class TJcl7zCompressArchive : public TJcl7zSettingsArchive<TJclSevenzipCompressArchive>, public IArchiveSolidSetting {
    DECLARE_CLASS(TJcl7zCompressArchive, TJclSevenzipCompressArchive)
public:
    static void DefineClass(TClassBuilder<TJcl7zCompressArchive>& B);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID IID, void** Obj) override { return GetInterface(IID, Obj); }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(-1); }
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(-1); }
    HRESULT GetInterface(REFIID IID, void** Obj) override;
    void SetDefaults() override;

    Int64 GetSolidBlockSize() override { return FSolidBlockSize; }
    bool GetSolidExtension() override { return FSolidExtension; }
    void SetSolidBlockSize(Int64 Value) override { Store(FSolidBlockSize, Value); }
    void SetSolidExtension(bool Value) override { Store(FSolidExtension, Value); }

private:
    Int64 FSolidBlockSize = 4294967295LL;
    bool FSolidExtension = false;
};

class TJclSevenzipDecompressArchive : public TJclDecompressArchive {
    DECLARE_CLASS(TJclSevenzipDecompressArchive, TJclDecompressArchive)
public:
    ~TJclSevenzipDecompressArchive() override;
    TJclCompressionItem* CreateItem() override;
    sevenzip::IInArchive* GetInArchive();
    void OpenArchive();
    void ListFiles() override;
    void ExtractSelected(const std::string& DestDir = "", bool AutoCreateSubDir = true) override;
    void ExtractAll(const std::string& DestDir = "", bool AutoCreateSubDir = true) override;

private:
    sevenzip::IInArchive* FInArchive = nullptr;
    bool FOpened = false;
};

class TJcl7zDecompressArchive : public TJclSevenzipDecompressArchive, public IArchiveThreadsSetting {
    DECLARE_CLASS(TJcl7zDecompressArchive, TJclSevenzipDecompressArchive)
public:
    static void DefineClass(TClassBuilder<TJcl7zDecompressArchive>& B);
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID IID, void** Obj) override { return GetInterface(IID, Obj); }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(-1); }
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(-1); }
    HRESULT GetInterface(REFIID IID, void** Obj) override;

    void SetDefaults() override { FNumberOfThreads = 1; }
    Cardinal GetNumberOfThreads() override { return FNumberOfThreads; }
    void SetNumberOfThreads(Cardinal Value) override;

private:
    Cardinal FNumberOfThreads = 1;
};

// Update archives: an existing archive is read, its entries are added to, replaced, renamed or
// removed, and the result is written into temporary volumes that then replace the old ones.
class TJclUpdateArchive : public TJclCompressArchive {
    DECLARE_CLASS(TJclUpdateArchive, TJclCompressArchive)
public:
    static void DefineClass(TClassBuilder<TJclUpdateArchive>& B);
    // New entries are checked against the names the archive held when checking began.
    TJclUpdateArchive() { DuplicateCheck = dcExisting; }

    void CheckNotDecompressing() const;
    virtual bool PrepareItemTarget(LongInt Index, std::string& FileName, bool& OwnsStream, TStream*& Stream);
    virtual void ListFiles() = 0;
    virtual void ExtractSelected(const std::string& DestDir = "", bool AutoCreateSubDir = true) {
        (void)DestDir;
        (void)AutoCreateSubDir;
    }
    virtual void ExtractAll(const std::string& DestDir = "", bool AutoCreateSubDir = true) {
        (void)DestDir;
        (void)AutoCreateSubDir;
    }
    virtual void DeleteItem(LongInt Index) = 0;
    virtual void RemoveItem(const std::wstring& PackedName) = 0;

    TJclCompressionExtractEvent OnExtract;
    bool Decompressing() const { return FExtract.Decompressing; }
    bool Listing() const { return FExtract.Listing; }
    const std::string& DestinationDir() const { return FExtract.DestinationDir; }
    LongInt CurrentExtractIndex() const { return FExtract.CurrentExtractIndex; }

protected:
    TJclExtractState FExtract;
};

class TJclOutOfPlaceUpdateArchive;
// Replaces one volume itself; true when it did.
using TJclReplaceVolumeHook =
    std::function<bool(TJclOutOfPlaceUpdateArchive* Archive, const std::string& TmpFileName, const std::string& FileName,
                       TStream*& TmpStream, TStream*& Stream, bool& OwnsTmpStream, bool& OwnsStream)>;
using TJclCompressionTmpVolumeEvent = TMethodOf<TObject*, LongInt, std::string&, TStream*&, bool&>;

class TJclOutOfPlaceUpdateArchive : public TJclUpdateArchive {
    DECLARE_CLASS(TJclOutOfPlaceUpdateArchive, TJclUpdateArchive)
public:
    static void DefineClass(TClassBuilder<TJclOutOfPlaceUpdateArchive>& B);
    // The replacement step: each temporary volume takes the place of its volume.
    void Compress() override;
    TStream* GetTmpVolumeStream(LongInt Index);
    TJclStreamAccessMode TmpVolumeAccessMode() const { return samWrite; }

    bool ReplaceVolumes = true;
    TJclReplaceVolumeHook ReplaceVolumeHook;
    TJclCompressionTmpVolumeEvent OnTmpVolume;

protected:
    // A split stream over the temporary volumes.
    TJclDynamicSplitStream* CreateTmpSplitStream();
    // Closes and deletes the temporary volumes of a failed update; the old volumes stay.
    void DiscardTmpVolumes();
    LongInt FCurrentTmpVolumeIndex = -1;
};

class TJclSevenzipUpdateArchive : public TJclOutOfPlaceUpdateArchive {
    DECLARE_CLASS(TJclSevenzipUpdateArchive, TJclOutOfPlaceUpdateArchive)
public:
    ~TJclSevenzipUpdateArchive() override;
    TJclCompressionItem* CreateItem() override;
    sevenzip::IInArchive* GetInArchive();
    sevenzip::IOutArchive* GetOutArchive();
    void OpenArchive();
    void Compress() override;
    void ListFiles() override;
    void ExtractSelected(const std::string& DestDir = "", bool AutoCreateSubDir = true) override;
    void ExtractAll(const std::string& DestDir = "", bool AutoCreateSubDir = true) override;
    void DeleteItem(LongInt Index) override;
    void RemoveItem(const std::wstring& PackedName) override;

private:
    // Removes, from the last entry to the first, every entry under the folder Prefix ends with.
    void RemoveItemsUnder(const std::wstring& Prefix);

    sevenzip::IInArchive* FInArchive = nullptr;
    sevenzip::IOutArchive* FOutArchive = nullptr;
    bool FOpened = false;
};

// The 7z update archive: the 7z writer's settings without the solid ones.
class TJcl7zUpdateArchive : public TJcl7zSettingsArchive<TJclSevenzipUpdateArchive> {
    DECLARE_CLASS(TJcl7zUpdateArchive, TJclSevenzipUpdateArchive)
public:
    static void DefineClass(TClassBuilder<TJcl7zUpdateArchive>& B);
};

// The format classes of the registry other than the 7z ones: each answers its name, masks and the
// library's class identifier.
#define DECLARE_ARCHIVE_FORMAT_CLASS(Name, Base)                        \
    class Name : public Base {                                      \
        DECLARE_CLASS(Name, Base)                                   \
    public:                                                         \
        static void DefineClass(TClassBuilder<Name>& B);            \
    }

DECLARE_ARCHIVE_FORMAT_CLASS(TJclTarCompressArchive, TJclSevenzipCompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclSwfcCompressArchive, TJclSevenzipCompressArchive);

DECLARE_ARCHIVE_FORMAT_CLASS(TJclRarDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclArjDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclZDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclLzhDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclCabDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclNsisDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclLzmaDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclLzma86DecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclPeDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclElfDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclMachoDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclUdfDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclXarDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclMubDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclHfsDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclDmgDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclCompoundDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclWimDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclIsoDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclChmDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclSplitDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclRpmDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclDebDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclCpioDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclTarDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclGZipDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclNtfsDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclFatDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclMbrDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclVhdDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclMslzDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclFlvDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclSwfDecompressArchive, TJclSevenzipDecompressArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclSwfcDecompressArchive, TJclSevenzipDecompressArchive);

DECLARE_ARCHIVE_FORMAT_CLASS(TJclTarUpdateArchive, TJclSevenzipUpdateArchive);
DECLARE_ARCHIVE_FORMAT_CLASS(TJclSwfcUpdateArchive, TJclSevenzipUpdateArchive);

// ---------------------------------------------------------------------------------------------
// Settings of the other formats

// Which settings a format keeps, and by which rules.
enum TJclSettingsFormat { sfZip, sfBZip2, sfGZip, sfXz, sfReader };

// The settings of the Zip, BZip2, GZip and Xz writers and updaters, and the thread count of the
// Zip and BZip2 readers, on top of the 7-Zip-backed class Base. A format answers only the
// interfaces of its own settings.
template <class Base, TJclSettingsFormat Format>
class TJclSettingsArchive : public Base,
                            public IArchiveAlgorithmSetting,
                            public IArchiveThreadsSetting,
                            public IArchivePassesSetting,
                            public IArchiveDictionarySetting,
                            public IArchiveEncryptionSetting,
                            public IArchiveMethodSetting,
                            public IArchiveLevelSetting {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID IID, void** Obj) override { return GetInterface(IID, Obj); }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(-1); }
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(-1); }

    HRESULT GetInterface(REFIID IID, void** Obj) override {
        if (!Obj)
            return E_POINTER;
        void* P = nullptr;
        auto Offer = [&](bool Kept, const GUID& ID, void* Interface) {
            if (!P && Kept && IsEqualGUID(IID, ID))
                P = Interface;
        };
        Offer(Format == sfZip || Format == sfGZip, IID_IArchiveAlgorithmSetting, static_cast<IArchiveAlgorithmSetting*>(this));
        Offer(Format == sfZip || Format == sfBZip2 || Format == sfReader, IID_IArchiveThreadsSetting,
              static_cast<IArchiveThreadsSetting*>(this));
        Offer(Format == sfZip || Format == sfBZip2 || Format == sfGZip, IID_IArchivePassesSetting,
              static_cast<IArchivePassesSetting*>(this));
        Offer(Format == sfZip || Format == sfBZip2, IID_IArchiveDictionarySetting, static_cast<IArchiveDictionarySetting*>(this));
        Offer(Format == sfZip, IID_IArchiveEncryptionSetting, static_cast<IArchiveEncryptionSetting*>(this));
        Offer(Format == sfZip || Format == sfXz, IID_IArchiveMethodSetting, static_cast<IArchiveMethodSetting*>(this));
        Offer(Format == sfZip || Format == sfBZip2 || Format == sfGZip, IID_IArchiveLevelSetting,
              static_cast<IArchiveLevelSetting*>(this));
        if (!P)
            return Base::GetInterface(IID, Obj);
        *Obj = P;
        return S_OK;
    }

    void SetDefaults() override {
        FNumberOfThreads = 1;
        FEncryptionMethod = emZipCrypto;
        FDictionarySize = 900000;
        FCompressionLevel = 7;
        FCompressionMethod = Format == sfXz ? 4 : 1;
        FNumberOfPasses = Format == sfBZip2 ? 2 : 3;
        FAlgorithm = 1;
    }

    Cardinal GetAlgorithm() override { return FAlgorithm; }
    std::vector<Cardinal> GetSupportedAlgorithms() override { return {0, 1}; }
    void SetAlgorithm(Cardinal Value) override {
        CheckIdle();
        if (Format == sfZip && Value != 0 && Value != 1)
            RefuseValue();
        FAlgorithm = Value;
    }
    Cardinal GetNumberOfThreads() override { return FNumberOfThreads; }
    void SetNumberOfThreads(Cardinal Value) override {
        CheckIdle();
        FNumberOfThreads = Value;
    }
    Cardinal GetNumberOfPasses() override { return FNumberOfPasses; }
    void SetNumberOfPasses(Cardinal Value) override {
        CheckIdle();
        FNumberOfPasses = Value;
    }
    Cardinal GetDictionarySize() override { return FDictionarySize; }
    void SetDictionarySize(Cardinal Value) override {
        CheckIdle();
        FDictionarySize = Value;
    }
    TJclEncryptionMethod GetEncryptionMethod() override { return FEncryptionMethod; }
    std::uint32_t GetSupportedEncryptionMethods() override { return 0x1F; }
    void SetEncryptionMethod(TJclEncryptionMethod Value) override {
        CheckIdle();
        if (Value > emZipCrypto)
            RefuseValue();
        FEncryptionMethod = Value;
    }
    Cardinal GetCompressionMethod() override {
        if (Format == sfXz)
            CheckIdle();
        return FCompressionMethod;
    }
    std::uint32_t GetSupportedCompressionMethods() override { return Format == sfXz ? 0x10 : 0x1F; }
    void SetCompressionMethod(Cardinal Value) override {
        CheckIdle();
        if (Format == sfZip && Value > 4)
            RefuseValue();
        FCompressionMethod = Value;
    }
    Cardinal GetCompressionLevel() override { return FCompressionLevel; }
    Cardinal GetCompressionLevelMax() override { return 9; }
    Cardinal GetCompressionLevelMin() override { return 0; }
    void SetCompressionLevel(Cardinal Value) override {
        CheckIdle();
        if (Value > 9)
            RefuseValue();
        FCompressionLevel = Value;
        const bool Deflate = Format == sfGZip || (Format == sfZip && (FCompressionMethod == 1 || FCompressionMethod == 2));
        const bool BZip2 = Format == sfBZip2 || (Format == sfZip && FCompressionMethod == 3);
        if (Deflate) {
            FNumberOfPasses = Value == 9 ? 10 : Value >= 7 ? 3 : 1;
            FAlgorithm = Value >= 5 ? 1 : 0;
        } else if (BZip2) {
            FNumberOfPasses = Value == 9 ? 7 : Value >= 7 ? 2 : 1;
            FDictionarySize = Value >= 5 ? 900000 : Value >= 3 ? 500000 : 100000;
        } else if (Format == sfZip && FCompressionMethod == 4) {
            FDictionarySize = SevenzipDictionaryForLevel(Value);
            FAlgorithm = Value >= 5 ? 1 : 0;
        }
    }

private:
    void CheckIdle() const { CheckSettingsIdle<Base>(this); }
    [[noreturn]] static void RefuseValue() { throw EJclCompressionError(JclResources::RsCompressionUnavailableProperty); }

    Cardinal FNumberOfThreads = 1;
    TJclEncryptionMethod FEncryptionMethod = emZipCrypto;
    Cardinal FDictionarySize = 900000;
    Cardinal FCompressionLevel = 7;
    Cardinal FCompressionMethod = Format == sfXz ? 4 : 1;
    Cardinal FNumberOfPasses = Format == sfBZip2 ? 2 : 3;
    Cardinal FAlgorithm = 1;
};

#define DECLARE_ARCHIVE_SETTINGS_CLASS(Name, Base, Format)                  \
    class Name : public TJclSettingsArchive<Base, Format> {                 \
        DECLARE_CLASS(Name, Base)                                           \
    public:                                                                 \
        static void DefineClass(TClassBuilder<Name>& B);                    \
    }

DECLARE_ARCHIVE_SETTINGS_CLASS(TJclZipCompressArchive, TJclSevenzipCompressArchive, sfZip);
DECLARE_ARCHIVE_SETTINGS_CLASS(TJclBZ2CompressArchive, TJclSevenzipCompressArchive, sfBZip2);
DECLARE_ARCHIVE_SETTINGS_CLASS(TJclGZipCompressArchive, TJclSevenzipCompressArchive, sfGZip);
DECLARE_ARCHIVE_SETTINGS_CLASS(TJclXzCompressArchive, TJclSevenzipCompressArchive, sfXz);
DECLARE_ARCHIVE_SETTINGS_CLASS(TJclZipDecompressArchive, TJclSevenzipDecompressArchive, sfReader);
DECLARE_ARCHIVE_SETTINGS_CLASS(TJclBZ2DecompressArchive, TJclSevenzipDecompressArchive, sfReader);
DECLARE_ARCHIVE_SETTINGS_CLASS(TJclZipUpdateArchive, TJclSevenzipUpdateArchive, sfZip);
DECLARE_ARCHIVE_SETTINGS_CLASS(TJclBZ2UpdateArchive, TJclSevenzipUpdateArchive, sfBZip2);
DECLARE_ARCHIVE_SETTINGS_CLASS(TJclGZipUpdateArchive, TJclSevenzipUpdateArchive, sfGZip);

// ---------------------------------------------------------------------------------------------
// Format registry

class TJclCompressionArchiveFormats : public TObject {
    DECLARE_CLASS(TJclCompressionArchiveFormats, TObject)
public:
    TJclCompressionArchiveFormats();

    void RegisterFormat(TClass AClass);
    TJclCompressionArchiveClass FindCompressFormat(const std::string& FileName) const;
    TJclCompressionArchiveClass FindDecompressFormat(const std::string& FileName) const;
    TJclCompressionArchiveClass GetCompressClass(LongInt Index) const;
    TJclCompressionArchiveClass GetDecompressClass(LongInt Index) const;
    TJclCompressionArchiveClass GetUpdateClass(LongInt Index) const;
    LongInt CompressClassCount() const { return static_cast<LongInt>(FCompressFormats.size()); }
    LongInt DecompressClassCount() const { return static_cast<LongInt>(FDecompressFormats.size()); }
    LongInt UpdateClassCount() const { return static_cast<LongInt>(FUpdateFormats.size()); }

private:
    std::vector<TJclCompressionArchiveClass> FCompressFormats;
    std::vector<TJclCompressionArchiveClass> FDecompressFormats;
    std::vector<TJclCompressionArchiveClass> FUpdateFormats;
};

TJclCompressionArchiveFormats* GetArchiveFormats();

// The class identifier in the registry form: braces, upper-case hexadecimal.
std::string GUIDToRegistryString(const GUID& G);

// Unit start-up registers the version banner; shut-down frees the format registry and withdraws it.
void JclCompressionInitialization();
void JclCompressionFinalization();
