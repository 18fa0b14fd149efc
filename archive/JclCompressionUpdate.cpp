// Update archives: an existing archive opened, changed and written out of place into temporary
// volumes that then replace the old ones.
#include "JclCompression.h"
#include "JclCompressionSevenzip.h"
#include "JclStrings.h"
#include "JclUnicode.h"

#include <algorithm>

using namespace JclResources;

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
