// What the parts of the archive unit share and nobody else needs: text helpers, the counted
// objects handed to the 7-Zip library (stream wrappers and callbacks), the library's object
// factory, the reading road that reading and updating archives share, and the extraction target.
#pragma once

#include "JclCompression.h"
#include "JclFileUtils.h"
#include "JclResources.h"

#include <atomic>
#include <functional>
#include <string>

// Text of the 8-bit code page and its 16-bit form, as the entries keep them.
inline std::wstring Widen(const std::string& S) {
    if (S.empty())
        return std::wstring();
    int N = MultiByteToWideChar(CP_ACP, 0, S.data(), static_cast<int>(S.size()), nullptr, 0);
    std::wstring R(static_cast<size_t>(N), L'\0');
    MultiByteToWideChar(CP_ACP, 0, S.data(), static_cast<int>(S.size()), &R[0], N);
    return R;
}

inline std::string Narrow(const std::wstring& S) {
    if (S.empty())
        return std::string();
    int N = WideCharToMultiByte(CP_ACP, 0, S.data(), static_cast<int>(S.size()), nullptr, 0, nullptr, nullptr);
    std::string R(static_cast<size_t>(N), '\0');
    WideCharToMultiByte(CP_ACP, 0, S.data(), static_cast<int>(S.size()), &R[0], N, nullptr, nullptr);
    return R;
}

// The list-index error of the framework's lists.
[[noreturn]] inline void RaiseListIndex(LongInt Index) { throw EListError(ClassesConsts::SListIndexError, {Index}); }

[[noreturn]] inline void RaiseCompression(const std::string& Message) { throw EJclCompressionError(Message); }

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

inline PROPVARIANT UInt32Value(Cardinal V) {
    PROPVARIANT P;
    PropVariantInit(&P);
    P.vt = VT_UI4;
    P.ulVal = V;
    return P;
}

inline PROPVARIANT TextValue(const std::wstring& S) {
    PROPVARIANT P;
    PropVariantInit(&P);
    P.vt = VT_BSTR;
    P.bstrVal = SysAllocString(S.c_str());
    return P;
}

inline PROPVARIANT SwitchValue(bool On) { return TextValue(On ? L"ON" : L"OFF"); }

// ---------------------------------------------------------------------------------------------
// Objects handed to the library: counted, freed at the last release

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

inline BSTR PasswordCopy(const std::wstring& Password) { return SysAllocString(Password.c_str()); }

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

inline TJclCompressionOperationSuccess SuccessOf(INT32 Result) {
    static const TJclCompressionOperationSuccess Known[] = {osOK, osUnsupportedMethod, osDataError, osCRCError,
                                                             osUnavailable, osUnexpectedEnd, osDataAfterEnd,
                                                             osIsNotArchive, osHeadersError, osWrongPassword};
    return Result >= 0 && Result < static_cast<INT32>(std::size(Known)) ? Known[Result] : osUnknownError;
}

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
                throw EStreamError(JclResources::RsStreamsSeekError);
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

// The library's progress of an update or an extraction, as the archive's own.
inline HRESULT ProgressTotal(TJclCompressionArchive* Archive, UINT64 Total) noexcept {
    return Guarded(Archive, [&] {
        Archive->SetProgressMax(static_cast<Int64>(Total));
        return S_OK;
    });
}

inline HRESULT ProgressCompleted(TJclCompressionArchive* Archive, const UINT64* Completed) noexcept {
    return Guarded(Archive, [&] {
        if (Completed)
            Archive->ReportProgress(static_cast<Int64>(*Completed), Archive->ProgressMax());
        return S_OK;
    });
}

class TJclSevenzipUpdateCallback : public TJclSevenzipCounted,
                                   public sevenzip::IArchiveUpdateCallback2,
                                   public sevenzip::ICryptoGetTextPassword2 {
public:
    explicit TJclSevenzipUpdateCallback(TJclCompressionArchive* AArchive) : FArchive(AArchive) {}
    SEVENZIP_COUNTED

    HRESULT STDMETHODCALLTYPE SetTotal(UINT64 Total) override { return ProgressTotal(FArchive, Total); }
    HRESULT STDMETHODCALLTYPE SetCompleted(const UINT64* Completed) override {
        return ProgressCompleted(FArchive, Completed);
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

    HRESULT STDMETHODCALLTYPE SetTotal(UINT64 Total) override { return ProgressTotal(FArchive, Total); }
    HRESULT STDMETHODCALLTYPE SetCompleted(const UINT64* Completed) override {
        return ProgressCompleted(FArchive, Completed);
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
// The library's objects of a format class

// Loads the library when needed and asks it for the reader or writer of the class's format.
template <class I>
I* CreateLibraryObject(const TJclCompressionArchiveClassRecord& Class, const GUID& IID, const char* FailureText) {
    if (!sevenzip::SevenZipLibraryLoaded() || !sevenzip::CreateObject) {
        if (!sevenzip::LoadSevenZipLibrary())
            RaiseCompression(JclResources::RsCompressionSevenzipLoadError);
    }
    void* Obj = nullptr;
    HRESULT R = sevenzip::CreateObject(&Class.FormatClassID, &IID, &Obj);
    if (R != S_OK || !Obj)
        RaiseCompression(Format(FailureText, {GUIDToRegistryString(Class.FormatClassID)}));
    return static_cast<I*>(Obj);
}

// ---------------------------------------------------------------------------------------------
// Reading

// The reading half that reading and updating archives share: opening the library's reader once,
// listing the entries and extracting them.
struct TJclSevenzipReading {
    static void Open(TJclCompressionArchive* A, sevenzip::IInArchive* Reader, TJclSevenzipInStream* In);
    static void List(TJclCompressionArchive* A, TJclExtractState& S, const std::function<sevenzip::IInArchive*()>& OpenReader);
    static void Extract(TJclCompressionArchive* A, TJclExtractState& S, const std::string& DestDir,
                        bool AutoCreateSubDir, bool All, const std::function<sevenzip::IInArchive*()>& OpenReader);
};

// Fills Item from entry I of the opened reader R: the properties the library supplies, through the
// entry's setters, converted by their value types.
void LoadItemFromArchive(sevenzip::IInArchive* R, LongInt I, TJclCompressionItem* Item);

// The target of entry Index of a reading or updating archive (see PrepareItemTarget).
bool PrepareExtractTarget(TJclCompressionArchive* A, TJclExtractState& S, const TJclCompressionExtractEvent& OnExtract,
                          LongInt Index, std::string& FileName, bool& OwnsStream, TStream*& Stream, bool AlsoWithStream);
