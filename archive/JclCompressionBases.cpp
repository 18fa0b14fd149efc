// The writing and reading branches under the archive root: collecting entries to write, and the
// targets of extracted entries.
#include "JclCompression.h"
#include "JclCompressionSevenzip.h"
#include "JclStrings.h"
#include "JclWideStrings.h"
#include "Lists.h"

#include <algorithm>

using namespace JclResources;

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

bool TJclDecompressArchive::PrepareItemTarget(LongInt Index, std::string& FileName, bool& OwnsStream,
                                              TStream*& Stream) {
    return PrepareExtractTarget(this, FExtract, OnExtract, Index, FileName, OwnsStream, Stream, false);
}
