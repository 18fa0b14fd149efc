#include "JclFileUtils.h"
#include "JclUnitVersioning.h"

#include "JclResources.h"
#include "JclStrings.h"

#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {

bool IsDelimiterAt(const std::string& S, size_t I) { return I < S.size() && S[I] == '\\'; }

char AsciiLower(char C) { return (C >= 'A' && C <= 'Z') ? static_cast<char>(C - 'A' + 'a') : C; }

bool SameAsciiText(const std::string& A, const std::string& B) {
    if (A.size() != B.size())
        return false;
    for (size_t I = 0; I < A.size(); ++I)
        if (AsciiLower(A[I]) != AsciiLower(B[I]))
            return false;
    return true;
}

std::vector<std::string> SplitKeepingEmpty(const std::string& S) {
    std::vector<std::string> Parts;
    size_t Start = 0;
    for (;;) {
        size_t P = S.find('\\', Start);
        if (P == std::string::npos) {
            Parts.push_back(S.substr(Start));
            return Parts;
        }
        Parts.push_back(S.substr(Start, P - Start));
        Start = P + 1;
    }
}

std::string UpperAnsi(const std::string& S) {
    std::string R = S;
    if (!R.empty())
        CharUpperBuffA(&R[0], static_cast<DWORD>(R.size()));
    return R;
}

// Closes a search handle however the walk ends.
struct TSearchHandle {
    HANDLE H = INVALID_HANDLE_VALUE;
    ~TSearchHandle() {
        if (H != INVALID_HANDLE_VALUE)
            FindClose(H);
    }
};

constexpr DWORD faSpecial = faHidden | faSysFile | faVolumeID | faDirectory;

TJclSearchEntry EntryOf(const WIN32_FIND_DATAA& Fd) {
    TJclSearchEntry E;
    E.Name = Fd.cFileName;
    E.Attributes = Fd.dwFileAttributes;
    E.Size = (Int64(Fd.nFileSizeHigh) << 32) | Fd.nFileSizeLow;
    E.CreationTime = Fd.ftCreationTime;
    E.LastAccessTime = Fd.ftLastAccessTime;
    E.LastWriteTime = Fd.ftLastWriteTime;
    return E;
}

// The search of the platform's file search with an attribute filter: entries carrying a special
// attribute (hidden, system, volume label, folder) that was not asked for are skipped.
bool PassesSearchFilter(DWORD Attr, DWORD Asked) { return (Attr & faSpecial & ~Asked) == 0; }

bool IsDotEntry(const std::string& Name) { return Name == "." || Name == ".."; }

}  // namespace

std::string PathWithDelimiter(const std::string& Path) {
    if (!Path.empty() && Path.back() == '\\')
        return Path;
    return Path + "\\";
}

std::string PathWithoutDelimiter(const std::string& Path) {
    if (!Path.empty() && Path.back() == '\\')
        return Path.substr(0, Path.size() - 1);
    return Path;
}

std::string PathDrivePart(const std::string& Path) {
    if (Path.size() >= 2 && Path[1] == ':')
        return Path.substr(0, 2);
    if (Path.compare(0, 2, "\\\\") == 0) {
        size_t First = Path.find('\\', 2);
        if (First == std::string::npos)
            return Path;
        size_t Second = Path.find('\\', First + 1);
        return Second == std::string::npos ? Path : Path.substr(0, Second);
    }
    return std::string();
}

std::string FileNameExtension(const std::string& FileName) {
    size_t Dot = FileName.rfind('.');
    if (Dot == std::string::npos || FileName.find_first_of("\\:", Dot) != std::string::npos)
        return std::string();
    return FileName.substr(Dot);
}

std::string FileNamePart(const std::string& Path) {
    size_t P = Path.find_last_of("\\:");
    return P == std::string::npos ? Path : Path.substr(P + 1);
}

std::string FolderPart(const std::string& Path) {
    size_t P = Path.find_last_of("\\:");
    return P == std::string::npos ? std::string() : Path.substr(0, P + 1);
}

std::string AddFileExtension(const std::string& FileName, const std::string& Ext) {
    if (FileName.empty() || Ext.empty())
        return FileName;
    const std::string Dotted = Ext[0] == '.' ? Ext : "." + Ext;
    if (SameAsciiText(FileNameExtension(FileName), Dotted))
        return FileName;
    std::string Result = FileName;
    if (Result.back() == '.')
        Result.pop_back();
    return Result + Dotted;
}

std::string CanonicalPath(const std::string& Path) {
    const size_t C = Path.find(':') == std::string::npos ? 0 : Path.find(':') + 1;
    const size_t B = Path.find('\\') == std::string::npos ? 0 : Path.find('\\') + 1;
    const bool Rooted = B == C + 1;
    size_t PrefixLen;
    if (Rooted)
        PrefixLen = Path.compare(0, 2, "\\\\") == 0 ? 2 : B;
    else
        PrefixLen = C;
    const std::string Prefix = Path.substr(0, PrefixLen);

    std::vector<std::string> Parts = SplitKeepingEmpty(Path.substr(PrefixLen));
    if (!Parts.empty() && Parts.back().empty())
        Parts.pop_back();

    size_t I = 0;
    while (I < Parts.size()) {
        const std::string& Part = Parts[I];
        if (Part == ".") {
            Parts.erase(Parts.begin() + static_cast<long>(I));
        } else if ((!Rooted && I == 0) || (I > 0 && Parts[I - 1] == "..")) {
            ++I;
        } else if (Part == "..") {
            if (I == 0) {
                Parts.erase(Parts.begin());
            } else {
                Parts.erase(Parts.begin() + static_cast<long>(I - 1), Parts.begin() + static_cast<long>(I + 1));
                --I;
            }
        } else {
            ++I;
        }
    }

    std::string Rest;
    for (size_t K = 0; K < Parts.size(); ++K) {
        if (K > 0)
            Rest += '\\';
        Rest += Parts[K];
    }
    if (Prefix.empty() && Rest.empty())
        return ".";
    return Prefix + Rest;
}

bool IsAbsolutePath(const std::string& Path) {
    const std::string Drive = PathDrivePart(Path);
    return Drive.size() < Path.size() && Path[Drive.size()] == '\\';
}

bool SamePathText(const std::string& A, const std::string& B) {
    return A.size() == B.size() && (A.empty() || CompareRange(A, B, 1, false, static_cast<int>(A.size())) == 0);
}

std::string RelativePath(const std::string& OriginIn, const std::string& DestinationIn) {
    // Emptiness is judged on the paths as given: the canonical form of an empty path is ".", and
    // an empty origin (a folder relative to the current one) must not turn names into "..\name".
    if (DestinationIn.empty())
        return ".";
    const std::string Origin = CanonicalPath(OriginIn);
    const std::string Destination = CanonicalPath(DestinationIn);
    if (SamePathText(Origin, Destination))
        return ".";
    if (OriginIn.empty())
        return Destination;
    const std::string Od = PathDrivePart(Origin);
    const std::string Dd = PathDrivePart(Destination);
    if (!Dd.empty() && (Od.empty() || !SamePathText(Od, Dd)))
        return Destination;
    if (!Od.empty() && IsDelimiterAt(Destination, 0) && !IsDelimiterAt(Destination, 1))
        return Od + Destination;
    if (IsAbsolutePath(Origin) && !IsAbsolutePath(Destination))
        return PathWithDelimiter(Origin) + (IsDelimiterAt(Destination, 0) ? Destination.substr(1) : Destination);

    const std::vector<std::string> Op = SplitKeepingEmpty(Origin);
    const std::vector<std::string> Dp = SplitKeepingEmpty(Destination);
    const size_t N = std::min(Op.size(), Dp.size());
    size_t K = 0;
    while (K < N && SamePathText(Op[K], Dp[K]))
        ++K;
    std::string Result = RepeatText("..\\", static_cast<int>(Op.size() - K));
    if (!Result.empty())
        Result.pop_back();
    for (size_t I = K; I < Dp.size(); ++I) {
        if (!Result.empty())
            Result += '\\';
        Result += Dp[I];
    }
    return Result;
}

bool PathIsInside(const std::string& Folder, const std::string& Path) {
    const std::string F = PathWithDelimiter(CanonicalPath(Folder));
    const std::string P = CanonicalPath(Path);
    return P.size() > F.size() && SamePathText(P.substr(0, F.size()), F);
}

bool DirectoryPresent(const std::string& Path) {
    DWORD Attr = GetFileAttributesA(Path.c_str());
    return Attr != INVALID_FILE_ATTRIBUTES && (Attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsExistingFile(const std::string& Path) {
    if (Path.empty())
        return false;
    DWORD Attr = GetFileAttributesA(Path.c_str());
    return Attr != INVALID_FILE_ATTRIBUTES && !(Attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool CopyFileTo(const std::string& Source, const std::string& Dest, int Overwrite) {
    std::string Target = Dest;
    if (DirectoryPresent(Dest))
        Target = PathWithDelimiter(Dest) + FileNamePart(Source);
    return CopyFileA(Source.c_str(), Target.c_str(), Overwrite != 1) != 0;
}

bool RemoveFile(const std::string& FileName, bool ToRecycleBin) {
    if (ToRecycleBin)
        return ShellDeleteFiles(nullptr, FileName, 7);
    return DeleteFileA(FileName.c_str()) != 0;
}

bool RelocateFile(const std::string& Source, const std::string& Dest, int Replace) {
    DWORD Flags = Replace == 1 ? MOVEFILE_REPLACE_EXISTING : 0;
    if (MoveFileExA(Source.c_str(), Dest.c_str(), Flags))
        return true;
    if (!CopyFileTo(Source, Dest, Replace))
        return false;
    RemoveFile(Source, false);
    return true;
}

std::string MakeUniqueFileName(const std::string& FileNameIn, const std::string& Ext, const std::string& Separator) {
    auto Taken = [](const std::string& Name) { return GetFileAttributesA(Name.c_str()) != INVALID_FILE_ATTRIBUTES; };
    std::string Result = AddFileExtension(FileNameIn, Ext);
    if (!Taken(Result))
        return Result;
    std::string FileName = FileNameIn;
    if (SameAsciiText(Result, FileName))
        FileName.resize(FileName.size() >= Ext.size() ? FileName.size() - Ext.size() : 0);
    for (unsigned N = 1;; ++N) {
        Result = AddFileExtension(FileName + Separator + std::to_string(N), Ext);
        if (!Taken(Result))
            return Result;
    }
}

bool CreateDirectoryPath(const std::string& PathIn) {
    if (PathIn.empty())
        throw EJclFileUtilsError(JclResources::RsCannotCreateDir);
    const std::string Path = PathWithoutDelimiter(PathIn);
    const std::string Parent = FolderPart(Path);
    if (Path.size() == 2 && Path[1] == ':')
        return true;
    if (Path.empty() || DirectoryPresent(Path) || Parent == Path)
        return true;
    auto CreateOne = [&] { return CreateDirectoryA(Path.c_str(), nullptr) != 0 || DirectoryPresent(Path); };
    if (Parent.empty())
        return CreateOne();
    return CreateDirectoryPath(Parent) && CreateOne();
}

std::string ModuleFileName(HMODULE Module) {
    char Buffer[MAX_PATH + 1];
    DWORD Len = GetModuleFileNameA(Module, Buffer, sizeof(Buffer));
    return std::string(Buffer, Len);
}

bool ReadFixedFileInfo(const std::string& FileName, VS_FIXEDFILEINFO& Info) {
    DWORD Handle = 0;
    DWORD Size = GetFileVersionInfoSizeA(FileName.c_str(), &Handle);
    if (Size == 0)
        return false;
    std::vector<char> Data(Size);
    if (!GetFileVersionInfoA(FileName.c_str(), 0, Size, Data.data()))
        return false;
    void* Fixed = nullptr;
    UINT Len = 0;
    if (!VerQueryValueA(Data.data(), "\\", &Fixed, &Len) || Len != sizeof(VS_FIXEDFILEINFO))
        return false;
    std::memcpy(&Info, Fixed, sizeof(Info));
    return true;
}

bool AttributesMatch(DWORD Attr, DWORD Rejected, DWORD Required) {
    if (Attr == 0)
        Attr = FILE_ATTRIBUTE_NORMAL;
    if (Attr & Rejected)
        return false;
    Required &= ~DWORD(0x40);
    return (Attr & Required) == Required;
}

bool FileNameMatchesMask(const std::string& FileNameIn, const std::string& Mask, bool CaseSensitive) {
    if (Mask.empty() || Mask == "*" || Mask == "*.*")
        return true;
    std::string FileName = FileNameIn;
    if (FileName.find('.') == std::string::npos)
        FileName += '.';
    if (CaseSensitive)
        return WildcardMatch(Mask, FileName, 1);
    return WildcardMatch(UpperAnsi(Mask), UpperAnsi(FileName), 1);
}

void EnumerateDirectoryEntries(const std::string& PathMask, DWORD Rejected, DWORD Required, const bool* AbortFlag,
                               const TFileListCallback& Callback) {
    const DWORD Asked = faAnyFile & ~Rejected;
    const std::string Folder = FolderPart(PathMask);
    WIN32_FIND_DATAA Fd;
    TSearchHandle Search;
    Search.H = FindFirstFileA(PathMask.c_str(), &Fd);
    if (Search.H == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!PassesSearchFilter(Fd.dwFileAttributes, Asked))
            continue;
        if (AbortFlag && *AbortFlag)
            return;
        TJclSearchEntry Entry = EntryOf(Fd);
        if (AttributesMatch(Entry.Attributes, Rejected, Required) &&
            !((Entry.Attributes & faDirectory) && IsDotEntry(Entry.Name)))
            Callback(Folder, Entry);
    } while (FindNextFileA(Search.H, &Fd));
}

namespace {
void VisitFolder(const std::string& Folder, DWORD Asked, const std::string& SubfolderMask, int RootLength,
                 const bool* AbortFlag, bool& Aborted, const TFolderCallback& Callback) {
    Callback(Folder);
    WIN32_FIND_DATAA Fd;
    TSearchHandle Search;
    Search.H = FindFirstFileA((Folder + "*").c_str(), &Fd);
    if (Search.H == INVALID_HANDLE_VALUE)
        return;
    do {
        if (AbortFlag && *AbortFlag) {
            Aborted = true;
            return;
        }
        if (!PassesSearchFilter(Fd.dwFileAttributes, Asked) || !(Fd.dwFileAttributes & faDirectory))
            continue;
        const std::string Name = Fd.cFileName;
        if (IsDotEntry(Name))
            continue;
        const std::string Sub = Folder + Name + "\\";
        if (!SubfolderMask.empty() && RootLength >= 1 && !WildcardMatch(SubfolderMask, Sub, RootLength))
            continue;
        VisitFolder(Sub, Asked, SubfolderMask, RootLength, AbortFlag, Aborted, Callback);
        if (Aborted)
            return;
    } while (FindNextFileA(Search.H, &Fd));
}
}  // namespace

void WalkDirectoryTree(const std::string& RootIn, bool IncludeHidden, const std::string& SubfolderMask,
                       const bool* AbortFlag, const TFolderCallback& Callback) {
    std::string Root = CanonicalPath(RootIn);
    if (Root.empty() || Root.back() != ':')
        Root = PathWithDelimiter(Root);
    if (Root.compare(0, 2, ".\\") == 0)
        Root.erase(0, 2);
    const DWORD Asked = IncludeHidden ? (faDirectory | faHidden) : faDirectory;
    bool Aborted = false;
    VisitFolder(Root, Asked, SubfolderMask, static_cast<int>(Root.size()), AbortFlag, Aborted, Callback);
}

bool ShellDeleteFiles(HWND OwnerWindow, const std::string& Files, unsigned Options) {
    std::string From = Files;
    From.push_back('\0');
    From.push_back('\0');
    SHFILEOPSTRUCTA Op{};
    Op.hwnd = OwnerWindow;
    Op.wFunc = FO_DELETE;
    Op.pFrom = From.c_str();
    FILEOP_FLAGS Flags = 0;
    if (Options & 1)
        Flags |= FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI;
    if (Options & 2)
        Flags |= FOF_ALLOWUNDO;
    if (Options & 4)
        Flags |= FOF_FILESONLY;
    Op.fFlags = Flags;
    return SHFileOperationA(&Op) == 0;
}

Int64 DateTimeToLocalFileTime(TDateTime DateTime) {
    // nearbyint follows the current rounding mode, which is to-nearest with halves to even.
    return static_cast<Int64>(std::nearbyint((DateTime + 109205.0) * 864000000000.0));
}

void DateTimeToUtcFileTime(FILETIME& FileTime, TDateTime DateTime) {
    FileTime = FILETIME{};
    const Int64 Local = DateTimeToLocalFileTime(DateTime);
    FILETIME L;
    L.dwLowDateTime = static_cast<DWORD>(Local);
    L.dwHighDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(Local) >> 32);
    if (!LocalFileTimeToFileTime(&L, &FileTime))
        throw EJclDateTimeError(JclResources::RsMakeUtcTime);
}

FILETIME CurrentUtcFileTime() {
    SYSTEMTIME St;
    GetLocalTime(&St);
    FILETIME Local{}, Utc{};
    SystemTimeToFileTime(&St, &Local);
    const Int64 Ticks = (Int64(Local.dwHighDateTime) << 32) | Local.dwLowDateTime;
    DateTimeToUtcFileTime(Utc, static_cast<double>(Ticks) / 864000000000.0 - 109205.0);
    return Utc;
}

namespace {
const TUnitVersionInfo JclFileUtilsBanner = UnitBanner("JclFileUtils", 3321, "common");
}

void JclFileUtilsInitialization() { RegisterProgramUnitBanner(JclFileUtilsBanner); }

void JclFileUtilsFinalization() { UnregisterProgramUnitBanners(); }
