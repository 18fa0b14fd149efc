// Reading through the 7-Zip library: the entry property readers, the reading road, the reading
// class every format shares and the 7z reader.
#include "JclCompression.h"
#include "JclCompressionSevenzip.h"

using namespace JclResources;

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

}  // namespace

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

void TJclSevenzipReading::Open(TJclCompressionArchive* A, sevenzip::IInArchive* Reader, TJclSevenzipInStream* In) {
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

void TJclSevenzipReading::List(TJclCompressionArchive* A, TJclExtractState& S, const std::function<sevenzip::IInArchive*()>& OpenReader) {
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

void TJclSevenzipReading::Extract(TJclCompressionArchive* A, TJclExtractState& S, const std::string& DestDir,
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
