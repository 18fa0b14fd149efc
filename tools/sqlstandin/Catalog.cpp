#include "Catalog.h"

#include "Text.h"

#include <algorithm>
#include <stdexcept>

namespace standin {

static const char BackupMagic[] = "SQLSTANDIN BACKUP SET 1";

std::wstring OsErrorText(DWORD Code) {
    switch (Code) {
    case ERROR_FILE_NOT_FOUND:
        return L"The system cannot find the file specified.";
    case ERROR_PATH_NOT_FOUND:
        return L"The system cannot find the path specified.";
    case ERROR_ACCESS_DENIED:
        return L"Access is denied.";
    case ERROR_SHARING_VIOLATION:
        return L"The process cannot access the file because it is being used by another process.";
    case ERROR_DISK_FULL:
        return L"There is not enough space on the disk.";
    case ERROR_INVALID_NAME:
        return L"The filename, directory name, or volume label syntax is incorrect.";
    default:
        return L"failed to retrieve text for this error.";
    }
}

std::wstring FullPath(const std::wstring& Path) {
    wchar_t Buf[MAX_PATH * 4];
    DWORD N = GetFullPathNameW(Path.c_str(), MAX_PATH * 4, Buf, nullptr);
    return N > 0 && N < MAX_PATH * 4 ? std::wstring(Buf, N) : Path;
}

void MakeFolders(const std::wstring& Path) {
    std::wstring P = Path;
    while (!P.empty() && (P.back() == L'\\' || P.back() == L'/'))
        P.pop_back();
    if (P.empty() || GetFileAttributesW(P.c_str()) != INVALID_FILE_ATTRIBUTES)
        return;
    auto Slash = P.find_last_of(L"\\/");
    if (Slash != std::wstring::npos && Slash > 0)
        MakeFolders(P.substr(0, Slash));
    CreateDirectoryW(P.c_str(), nullptr);
}

DWORD CreateSizedFile(const std::wstring& Path, std::uint64_t Size) {
    HANDLE H = CreateFileW(Path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (H == INVALID_HANDLE_VALUE)
        return GetLastError();
    LARGE_INTEGER L;
    L.QuadPart = static_cast<LONGLONG>(Size);
    DWORD Result = 0;
    if (!SetFilePointerEx(H, L, nullptr, FILE_BEGIN) || !SetEndOfFile(H))
        Result = GetLastError();
    CloseHandle(H);
    return Result;
}

static std::vector<DbFile> DefaultFiles(const std::wstring& Dir, const std::wstring& DataName, const std::wstring& DataFile,
                                        const std::wstring& LogName, const std::wstring& LogFile, std::uint64_t DataSize,
                                        std::uint64_t LogSize) {
    return {{DataName, L'D', DataSize, Dir + L"\\" + DataFile}, {LogName, L'L', LogSize, Dir + L"\\" + LogFile}};
}

Catalog::Catalog(const Config& C) {
    std::wstring State = FullPath(C.StateDir);
    FDataDir = FullPath(C.DataDir);
    FBackupDir = FullPath(C.BackupDir);
    MakeFolders(State);
    MakeFolders(FDataDir);
    MakeFolders(FBackupDir);
    if (GetFileAttributesW(FDataDir.c_str()) == INVALID_FILE_ATTRIBUTES)
        throw std::runtime_error("cannot create the data folder " + ToUtf8(FDataDir));
    FStateFile = State + L"\\databases.txt";
    if (GetFileAttributesW(FStateFile.c_str()) != INVALID_FILE_ATTRIBUTES)
        Load(FStateFile);
    const std::uint64_t Small = 1 << 20;
    struct System {
        const wchar_t *Name, *Data, *DataFile, *Log, *LogFile;
    };
    static const System Systems[] = {{L"master", L"master", L"master.mdf", L"mastlog", L"mastlog.ldf"},
                                     {L"tempdb", L"tempdev", L"tempdb.mdf", L"templog", L"templog.ldf"},
                                     {L"model", L"modeldev", L"model.mdf", L"modellog", L"modellog.ldf"},
                                     {L"msdb", L"MSDBData", L"MSDBData.mdf", L"MSDBLog", L"MSDBLog.ldf"}};
    bool Changed = false;
    for (auto& S : Systems)
        if (!Find(S.Name)) {
            Database D{static_cast<int>(&S - Systems) + 1, S.Name,
                       DefaultFiles(FDataDir, S.Data, S.DataFile, S.Log, S.LogFile, 4 * Small, Small)};
            FDatabases.push_back(D);
            Changed = true;
        }
    for (auto& Seed : C.Databases)
        if (!Find(Seed.Name)) {
            Database D{NextId(), Seed.Name,
                       DefaultFiles(FDataDir, Seed.Name, Seed.Name + L".mdf", Seed.Name + L"_log", Seed.Name + L"_log.LDF",
                                    Seed.DataSize, Seed.LogSize)};
            FDatabases.push_back(D);
            Changed = true;
        }
    for (auto& D : FDatabases)
        for (auto& F : D.Files)
            if (GetFileAttributesW(F.Physical.c_str()) == INVALID_FILE_ATTRIBUTES) {
                MakeFolders(F.Physical.substr(0, F.Physical.find_last_of(L'\\')));
                CreateSizedFile(F.Physical, F.Size);
            }
    if (Changed)
        Save();
}

const Database* Catalog::Find(const std::wstring& Name) const {
    for (auto& D : FDatabases)
        if (SameText(D.Name, Name))
            return &D;
    return nullptr;
}

const Database* Catalog::FindId(int Id) const {
    for (auto& D : FDatabases)
        if (D.Id == Id)
            return &D;
    return nullptr;
}

int Catalog::NextId() const {
    int Max = 4;
    for (auto& D : FDatabases)
        Max = std::max(Max, D.Id);
    return Max + 1;
}

DWORD Catalog::Put(Database D) {
    for (auto& F : D.Files)
        if (DWORD E = CreateSizedFile(F.Physical, F.Size))
            return E;
    auto It = std::find_if(FDatabases.begin(), FDatabases.end(), [&](const Database& X) { return SameText(X.Name, D.Name); });
    if (It != FDatabases.end()) {
        D.Id = It->Id;
        *It = D;
    } else {
        D.Id = NextId();
        FDatabases.push_back(D);
    }
    Save();
    return 0;
}

static std::string FileLine(const DbFile& F) {
    return "file\t" + ToUtf8(std::wstring(1, F.Type)) + "\t" + std::to_string(F.Size) + "\t" + Escape(ToUtf8(F.Logical)) +
           "\t" + Escape(ToUtf8(F.Physical)) + "\n";
}

static bool ParseFileLine(const std::vector<std::string>& P, DbFile& F) {
    if (P.size() != 5 || P[0] != "file" || P[1].size() != 1 || P[2].empty() ||
        P[2].find_first_not_of("0123456789") != std::string::npos || P[2].size() > 19)
        return false;
    F.Type = static_cast<wchar_t>(P[1][0]);
    F.Size = std::stoull(P[2]);
    F.Logical = FromUtf8(Unescape(P[3]));
    F.Physical = FromUtf8(Unescape(P[4]));
    return true;
}

static bool WriteAll(HANDLE H, const void* Data, std::size_t Size) {
    auto P = static_cast<const char*>(Data);
    while (Size > 0) {
        DWORD Chunk = static_cast<DWORD>(std::min<std::size_t>(Size, 1 << 20)), Done = 0;
        if (!WriteFile(H, P, Chunk, &Done, nullptr) || Done == 0)
            return false;
        P += Done;
        Size -= Done;
    }
    return true;
}

void Catalog::Save() const {
    std::string Text;
    for (auto& D : FDatabases) {
        Text += "database\t" + std::to_string(D.Id) + "\t" + Escape(ToUtf8(D.Name)) + "\n";
        for (auto& F : D.Files)
            Text += FileLine(F);
    }
    std::wstring Tmp = FStateFile + L".tmp";
    HANDLE H = CreateFileW(Tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (H == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot write the state file " + ToUtf8(Tmp));
    bool Ok = WriteAll(H, Text.data(), Text.size());
    CloseHandle(H);
    if (!Ok || !MoveFileExW(Tmp.c_str(), FStateFile.c_str(), MOVEFILE_REPLACE_EXISTING))
        throw std::runtime_error("cannot write the state file " + ToUtf8(FStateFile));
}

static bool ReadAll(const std::wstring& Path, std::string& Out, DWORD& Error) {
    HANDLE H = CreateFileW(Path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (H == INVALID_HANDLE_VALUE) {
        Error = GetLastError();
        return false;
    }
    char Buf[65536];
    DWORD N = 0;
    while (ReadFile(H, Buf, sizeof Buf, &N, nullptr) && N > 0)
        Out.append(Buf, N);
    CloseHandle(H);
    return true;
}

void Catalog::Load(const std::wstring& Path) {
    std::string Text;
    DWORD Err = 0;
    if (!ReadAll(Path, Text, Err))
        throw std::runtime_error("cannot read the state file " + ToUtf8(Path));
    int LineNo = 0;
    for (auto& Line : Split(Text, '\n')) {
        ++LineNo;
        if (Line.empty())
            continue;
        auto P = Split(Line, '\t');
        DbFile F;
        if (P.size() == 3 && P[0] == "database" && !P[1].empty() && P[1].find_first_not_of("0123456789") == std::string::npos &&
            P[1].size() < 9) {
            FDatabases.push_back({std::stoi(P[1]), FromUtf8(Unescape(P[2])), {}});
        } else if (!FDatabases.empty() && ParseFileLine(P, F)) {
            FDatabases.back().Files.push_back(F);
        } else {
            throw std::runtime_error("state file " + ToUtf8(Path) + ", line " + std::to_string(LineNo) + ": not understood");
        }
    }
}

// Backup data: pages of text-like filler, so that packing finds something to compress, as with real data.
static void FillPage(std::vector<char>& Page, std::uint64_t Number, const std::string& Db) {
    std::uint32_t Seed = static_cast<std::uint32_t>(Number * 2654435761u + 12345u);
    std::string Head = "page " + std::to_string(Number) + " of " + Db + "\n";
    std::size_t I = 0;
    for (; I < Page.size() && I < Head.size(); ++I)
        Page[I] = Head[I];
    for (; I < Page.size(); ++I) {
        Seed = Seed * 1103515245u + 12345u;
        unsigned R = (Seed >> 16) & 31;
        Page[I] = R < 26 ? static_cast<char>('a' + R) : R < 30 ? ' ' : '\n';
    }
}

DWORD WriteBackup(const std::wstring& Path, const Database& D, std::uint64_t DataSize, bool Init, int& SetNumber) {
    std::vector<BackupSet> Existing;
    SetNumber = 1;
    if (!Init && GetFileAttributesW(Path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        DWORD E = ReadBackupSets(Path, Existing);
        if (E)
            return E;
        SetNumber = static_cast<int>(Existing.size()) + 1;
    }
    HANDLE H = CreateFileW(Path.c_str(), GENERIC_WRITE, 0, nullptr, SetNumber == 1 ? CREATE_ALWAYS : OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (H == INVALID_HANDLE_VALUE)
        return GetLastError();
    LARGE_INTEGER Zero{};
    SetFilePointerEx(H, Zero, nullptr, FILE_END);
    std::string Head = std::string(BackupMagic) + "\ndatabase\t" + Escape(ToUtf8(D.Name)) + "\n";
    for (auto& F : D.Files)
        Head += FileLine(F);
    Head += "data\t" + std::to_string(DataSize) + "\nend\n";
    bool Ok = WriteAll(H, Head.data(), Head.size());
    std::vector<char> Page(8192);
    std::string Db = ToUtf8(D.Name);
    for (std::uint64_t Done = 0, No = 0; Ok && Done < DataSize; ++No) {
        FillPage(Page, No, Db);
        std::size_t N = static_cast<std::size_t>(std::min<std::uint64_t>(Page.size(), DataSize - Done));
        Ok = WriteAll(H, Page.data(), N);
        Done += N;
    }
    DWORD Result = Ok ? 0 : GetLastError();
    CloseHandle(H);
    return Ok ? 0 : (Result ? Result : ERROR_DISK_FULL);
}

DWORD ReadBackupSets(const std::wstring& Path, std::vector<BackupSet>& Sets) {
    HANDLE H = CreateFileW(Path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (H == INVALID_HANDLE_VALUE)
        return GetLastError();
    LARGE_INTEGER FileSize{};
    GetFileSizeEx(H, &FileSize);
    std::uint64_t Pos = 0, Size = static_cast<std::uint64_t>(FileSize.QuadPart);
    DWORD Result = 0;
    while (Pos < Size) {
        // A header is small; read a bounded window and parse it line by line.
        LARGE_INTEGER At;
        At.QuadPart = static_cast<LONGLONG>(Pos);
        SetFilePointerEx(H, At, nullptr, FILE_BEGIN);
        std::string Window(65536, '\0');
        DWORD Got = 0;
        ReadFile(H, Window.data(), static_cast<DWORD>(Window.size()), &Got, nullptr);
        Window.resize(Got);
        auto End = Window.find("\nend\n");
        if (Window.compare(0, sizeof BackupMagic - 1, BackupMagic) != 0 || End == std::string::npos) {
            Result = BadFormat;
            break;
        }
        BackupSet S;
        bool HaveData = false;
        auto Lines = Split(Window.substr(0, End), '\n');
        for (std::size_t I = 1; I < Lines.size() && Result == 0; ++I) {
            auto P = Split(Lines[I], '\t');
            DbFile F;
            if (P.size() == 2 && P[0] == "database")
                S.Database = FromUtf8(Unescape(P[1]));
            else if (ParseFileLine(P, F))
                S.Files.push_back(F);
            else if (P.size() == 2 && P[0] == "data" && !P[1].empty() && P[1].size() < 19 &&
                     P[1].find_first_not_of("0123456789") == std::string::npos)
                S.DataSize = std::stoull(P[1]), HaveData = true;
            else
                Result = BadFormat;
        }
        Pos += End + 5;
        if (Result || !HaveData || S.Database.empty() || S.Files.empty() || S.DataSize > Size - Pos) {
            Result = BadFormat;
            break;
        }
        Pos += S.DataSize;
        Sets.push_back(S);
    }
    if (Size == 0)
        Result = BadFormat;
    CloseHandle(H);
    return Result;
}

}  // namespace standin
