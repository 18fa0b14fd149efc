// BACKUP, RESTORE and DBCC SHRINKDATABASE, with the message pairs the server gives when they fail.
#include "SqlParser.h"

#include "Text.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace standin::sql {

static ServerMessage Terminating(const wchar_t* Verb) {
    return Error(3013, 16, std::wstring(Verb) + L" is terminating abnormally.");
}

static ServerMessage CannotOpen(const std::wstring& Path, DWORD Code) {
    return Error(3201, 16, L"Cannot open backup device '" + Path + L"'. Operating system error " + std::to_wstring(Code) + L"(" +
                               OsErrorText(Code) + L").");
}

// A path without a drive or share lies in the server's backup folder, as the server's default.
static std::wstring DevicePath(Context& C, const std::wstring& Given) {
    bool Absolute = (Given.size() > 1 && Given[1] == L':') || Given.rfind(L"\\\\", 0) == 0;
    return Absolute ? Given : C.E.Databases().BackupDir() + L"\\" + Given;
}

// The messages of a backup or restore that went through: pages per file (the backup's data belongs to the
// first data file), then the total with the time taken.
static std::vector<ServerMessage> Processed(const std::wstring& Verb, const std::wstring& Db, const std::vector<DbFile>& Files,
                                            std::uint64_t DataSize, std::int64_t SetNumber, ULONGLONG StartTick) {
    std::vector<ServerMessage> M;
    std::uint64_t Total = 0;
    bool DataCounted = false;
    for (auto& F : Files) {
        std::uint64_t Pages = 1;
        if (F.Type != L'L' && !DataCounted) {
            Pages = std::max<std::uint64_t>(1, (DataSize + 8191) / 8192);
            DataCounted = true;
        }
        Total += Pages;
        M.push_back(Info(4035, L"Processed " + std::to_wstring(Pages) + L" pages for database '" + Db + L"', file '" + F.Logical +
                                   L"' on file " + std::to_wstring(SetNumber) + L"."));
    }
    double Seconds = std::max(0.001, static_cast<double>(GetTickCount64() - StartTick) / 1000.0);
    wchar_t Tail[96];
    std::swprintf(Tail, 96, L" pages in %.3f seconds (%.3f MB/sec).", Seconds,
                  static_cast<double>(Total) * 8192.0 / 1048576.0 / Seconds);
    M.push_back(Info(3014, Verb + L" successfully processed " + std::to_wstring(Total) + Tail));
    return M;
}

static bool HasOption(const std::vector<std::pair<std::wstring, Expr>>& Options, const wchar_t* Name) {
    return std::any_of(Options.begin(), Options.end(), [&](auto& O) { return O.first == Name; });
}

Expr Parser::DatabaseName() {
    ExpectKeyword(L"DATABASE");
    if (Peek().Kind == TokKind::Variable)
        return Primary();
    return [N = ObjectName()](Context&, const RowSource*, const Row*) { return Typed{Column{}, Value::Of(N)}; };
}

Expr Parser::Device(const wchar_t* Preposition) {
    ExpectKeyword(Preposition);
    ExpectKeyword(L"DISK");
    ExpectSymbol(L"=");
    return TextArgument();
}

Statement Parser::Backup() {
    Expr Name = DatabaseName();
    Expr Disk = Device(L"TO");
    auto Options = WithOptions();
    bool Init = HasOption(Options, L"INIT") || HasOption(Options, L"FORMAT");
    return [=](Context& C) {
        std::wstring DbName = AsText(Name(C, nullptr, nullptr));
        std::wstring Path = DevicePath(C, AsText(Disk(C, nullptr, nullptr)));
        Database D;
        {
            std::lock_guard<std::mutex> G(C.E.Databases().Lock());
            const Database* Found = C.E.Databases().Find(DbName);
            if (!Found)
                return Failure({Error(911, 16, L"Database '" + DbName + L"' does not exist. Make sure that the name is entered correctly."),
                                Terminating(L"BACKUP DATABASE")});
            D = *Found;
        }
        if (SameText(D.Name, L"tempdb"))
            return Failure({Error(3147, 16, L"Backup and restore operations are not allowed on database tempdb."),
                            Terminating(L"BACKUP DATABASE")});
        ULONGLONG Start = GetTickCount64();
        int SetNumber = 1;
        DWORD E = WriteBackup(Path, D, C.E.Settings().BackupSize, Init, SetNumber);
        if (E == BadFormat)
            return Failure({Error(3266, 16, L"The backup data at the end of '" + Path +
                                                L"' is incorrectly formatted. Backup sets on the media might be damaged and unusable."),
                            Terminating(L"BACKUP DATABASE")});
        if (E)
            return Failure({CannotOpen(Path, E), Terminating(L"BACKUP DATABASE")});
        StatementResult R;
        R.Messages = Processed(L"BACKUP DATABASE", D.Name, D.Files, C.E.Settings().BackupSize, SetNumber, Start);
        return R;
    };
}

// The backup set a RESTORE names, or the messages that say why it cannot be read.
static bool OpenSet(const std::wstring& Path, std::int64_t FileNo, const wchar_t* Verb, BackupSet& Set,
                    StatementResult& Failed) {
    std::vector<BackupSet> Sets;
    DWORD E = ReadBackupSets(Path, Sets);
    if (E == BadFormat) {
        Failed = Failure({Error(3241, 16, L"The media family on device '" + Path +
                                              L"' is incorrectly formed. SQL Server cannot process this media family."),
                          Terminating(Verb)});
        return false;
    }
    if (E) {
        Failed = Failure({CannotOpen(Path, E), Terminating(Verb)});
        return false;
    }
    if (FileNo < 1 || FileNo > static_cast<std::int64_t>(Sets.size())) {
        Failed = Failure({Error(4038, 16, L"Cannot find file ID " + std::to_wstring(FileNo) + L" on device '" + Path + L"'."),
                          Terminating(Verb)});
        return false;
    }
    Set = Sets[static_cast<std::size_t>(FileNo - 1)];
    return true;
}

static std::array<std::uint8_t, 16> FileGuid(const std::wstring& Db, const std::wstring& Logical) {
    std::array<std::uint8_t, 16> G{};
    std::uint32_t H = 2166136261u;
    for (wchar_t C : Upper(Db + L"/" + Logical))
        H = (H ^ static_cast<std::uint32_t>(C)) * 16777619u;
    for (std::size_t I = 0; I < G.size(); ++I) {
        H = H * 1103515245u + 12345u;
        G[I] = static_cast<std::uint8_t>(H >> 16);
    }
    return G;
}

static StatementResult FileList(const BackupSet& Set) {
    StatementResult R;
    R.CurCmd = 0xC1;
    R.Counted = true;
    R.Columns = {Col(L"LogicalName", ColumnType::NVarChar, 128),    Col(L"PhysicalName", ColumnType::NVarChar, 260),
                 Col(L"Type", ColumnType::Char, 1),                 Col(L"FileGroupName", ColumnType::NVarChar, 128),
                 Col(L"Size", ColumnType::Numeric, 0, 20),          Col(L"MaxSize", ColumnType::Numeric, 0, 20),
                 Col(L"FileId", ColumnType::BigInt),                Col(L"CreateLSN", ColumnType::Numeric, 0, 25),
                 Col(L"DropLSN", ColumnType::Numeric, 0, 25),       Col(L"UniqueId", ColumnType::Guid),
                 Col(L"ReadOnlyLSN", ColumnType::Numeric, 0, 25),   Col(L"ReadWriteLSN", ColumnType::Numeric, 0, 25),
                 Col(L"BackupSizeInBytes", ColumnType::BigInt),     Col(L"SourceBlockSize", ColumnType::Int),
                 Col(L"FileGroupId", ColumnType::Int),              Col(L"LogGroupGUID", ColumnType::Guid),
                 Col(L"DifferentialBaseLSN", ColumnType::Numeric, 0, 25), Col(L"DifferentialBaseGUID", ColumnType::Guid),
                 Col(L"IsReadOnly", ColumnType::Bit),               Col(L"IsPresent", ColumnType::Bit)};
    bool DataGiven = false;
    for (std::size_t I = 0; I < Set.Files.size(); ++I) {
        const DbFile& F = Set.Files[I];
        bool Data = F.Type != L'L';
        std::int64_t BackupBytes = Data && !DataGiven ? static_cast<std::int64_t>(Set.DataSize) : 0;
        DataGiven = DataGiven || Data;
        R.Rows.push_back({Value::Of(F.Logical), Value::Of(F.Physical), Value::Of(std::wstring(1, F.Type)),
                          Data ? Value::Of(std::wstring(L"PRIMARY")) : Value{}, Value::Of(static_cast<std::int64_t>(F.Size)),
                          Value::Of(Data ? 35184372080640ll : 2199023255552ll), Value::Of(static_cast<std::int64_t>(I + 1)),
                          Value::Of(0), Value{}, Value::OfGuid(FileGuid(Set.Database, F.Logical)), Value{}, Value{},
                          Value::Of(BackupBytes), Value::Of(512), Value::Of(Data ? 1 : 0), Value{}, Value::Of(0),
                          Value::OfGuid({}), Value::Of(0), Value::Of(1)});
    }
    R.Count = R.Rows.size();
    return R;
}

static std::wstring FolderOf(const std::wstring& Path) {
    auto Slash = Path.find_last_of(L"\\/");
    return Slash == std::wstring::npos ? L"" : Path.substr(0, Slash + 1);
}

static StatementResult RestoreDatabase(Context& C, const std::wstring& Name, const std::wstring& Path, std::int64_t FileNo,
                                       const std::vector<std::pair<std::wstring, std::wstring>>& Moves, bool Replace) {
    const wchar_t* Verb = L"RESTORE DATABASE";
    BackupSet Set;
    StatementResult Failed;
    if (!OpenSet(Path, FileNo, Verb, Set, Failed))
        return Failed;
    std::vector<std::wstring> Targets;
    for (auto& F : Set.Files)
        Targets.push_back(F.Physical);
    for (auto& [From, To] : Moves) {
        auto It = std::find_if(Set.Files.begin(), Set.Files.end(), [&](const DbFile& F) { return SameText(F.Logical, From); });
        if (It == Set.Files.end())
            return Failure({Error(3234, 16, L"Logical file '" + From + L"' is not part of database '" + Name +
                                                L"'. Use RESTORE FILELISTONLY to list the logical file names."),
                            Terminating(Verb)});
        Targets[static_cast<std::size_t>(It - Set.Files.begin())] = To;
    }
    ULONGLONG Start = GetTickCount64();
    Catalog& Cat = C.E.Databases();
    std::lock_guard<std::mutex> G(Cat.Lock());
    const Database* Existing = Cat.Find(Name);
    if (Existing && !Replace && !SameText(Existing->Name, Set.Database))
        return Failure({Error(3154, 16, L"The backup set holds a backup of a database other than the existing '" + Name +
                                            L"' database."),
                        Terminating(Verb)});
    std::vector<ServerMessage> Problems;
    for (std::size_t I = 0; I < Set.Files.size(); ++I) {
        const std::wstring& T = Targets[I];
        const std::wstring& L = Set.Files[I].Logical;
        auto CannotRestore = Error(3156, 16, L"File '" + L + L"' cannot be restored to '" + T +
                                                 L"'. Use WITH MOVE to identify a valid location for the file.");
        for (std::size_t J = 0; J < I; ++J)
            if (SameText(Targets[J], T))
                Problems.push_back(Error(3176, 16, L"File '" + T + L"' is claimed by '" + Set.Files[J].Logical + L"'(" +
                                                       std::to_wstring(J + 1) + L") and '" + L + L"'(" + std::to_wstring(I + 1) +
                                                       L"). The WITH MOVE clause can be used to relocate one or more files."));
        for (auto& D : Cat.Databases()) {
            if (SameText(D.Name, Name))
                continue;
            for (auto& F : D.Files)
                if (SameText(F.Physical, T)) {
                    Problems.push_back(Error(1834, 16, L"The file '" + T + L"' cannot be overwritten.  It is being used by database '" +
                                                           D.Name + L"'."));
                    Problems.push_back(CannotRestore);
                }
        }
        std::wstring Folder = FolderOf(T);
        DWORD A = Folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(Folder.c_str());
        if (A == INVALID_FILE_ATTRIBUTES || !(A & FILE_ATTRIBUTE_DIRECTORY)) {
            Problems.push_back(Error(5133, 16, L"Directory lookup for the file \"" + T +
                                                   L"\" failed with the operating system error 3(The system cannot find the path specified.)."));
            Problems.push_back(CannotRestore);
        }
    }
    if (!Problems.empty()) {
        Problems.push_back(Error(3119, 16, L"Problems were identified while planning for the RESTORE statement. Previous messages provide details."));
        Problems.push_back(Terminating(Verb));
        return Failure(Problems);
    }
    Database D;
    D.Name = Existing ? Existing->Name : Name;
    for (std::size_t I = 0; I < Set.Files.size(); ++I) {
        DbFile F = Set.Files[I];
        F.Physical = Targets[I];
        D.Files.push_back(F);
    }
    if (DWORD E = Cat.Put(D))
        return Failure({Error(5123, 16, L"CREATE FILE encountered operating system error " + std::to_wstring(E) + L"(" +
                                            OsErrorText(E) + L") while attempting to open or create the physical file '" +
                                            Targets[0] + L"'."),
                        Terminating(Verb)});
    StatementResult R;
    R.Messages = Processed(Verb, D.Name, D.Files, Set.DataSize, FileNo, Start);
    return R;
}

Statement Parser::Restore() {
    bool FileList = Keyword(L"FILELISTONLY");
    Expr Name = FileList ? Expr{} : DatabaseName();
    Expr Disk = Device(L"FROM");
    auto Options = WithOptions();
    return [=](Context& C) {
        std::wstring Path = DevicePath(C, AsText(Disk(C, nullptr, nullptr)));
        std::int64_t FileNo = 1;
        bool Replace = false;
        std::vector<std::pair<std::wstring, std::wstring>> Moves;
        for (std::size_t I = 0; I < Options.size(); ++I) {
            auto& [Key, E] = Options[I];
            if (Key == L"FILE" && E)
                FileNo = E(C, nullptr, nullptr).V.Int;
            else if (Key == L"REPLACE")
                Replace = true;
            else if (Key == L"MOVE" && I + 1 < Options.size())
                Moves.push_back({AsText(E(C, nullptr, nullptr)), AsText(Options[I + 1].second(C, nullptr, nullptr))});
        }
        if (FileList) {
            BackupSet Set;
            StatementResult Failed;
            if (!OpenSet(Path, FileNo, L"RESTORE FILELIST", Set, Failed))
                return Failed;
            return sql::FileList(Set);
        }
        return RestoreDatabase(C, AsText(Name(C, nullptr, nullptr)), Path, FileNo, Moves, Replace);
    };
}

Statement Parser::Dbcc() {
    if (!Keyword(L"SHRINKDATABASE"))
        throw SqlError(Error(2526, 16, L"Incorrect DBCC statement. Check the documentation for the correct DBCC syntax and options."));
    ExpectSymbol(L"(");
    const Tok Target = Next();
    if (Target.Kind != TokKind::Name && Target.Kind != TokKind::String && Target.Kind != TokKind::Number) {
        --FPos;
        Fail();
    }
    if (Symbol(L",")) {
        if (Peek().Kind == TokKind::Number)
            Next();
        else if (!Keyword(L"NOTRUNCATE") && !Keyword(L"TRUNCATEONLY"))
            Fail();
        if (Symbol(L",") && !Keyword(L"NOTRUNCATE") && !Keyword(L"TRUNCATEONLY"))
            Fail();
    }
    ExpectSymbol(L")");
    bool Quiet = false;
    if (Keyword(L"WITH")) {
        ExpectKeyword(L"NO_INFOMSGS");
        Quiet = true;
    }
    return [Target, Quiet](Context& C) {
        Catalog& Cat = C.E.Databases();
        std::lock_guard<std::mutex> G(Cat.Lock());
        std::wstring Name = Target.Kind == TokKind::Name ? Target.Parts.back() : Target.Text;
        const Database* D = Target.Kind == TokKind::Number ? Cat.FindId(std::stoi(Target.Text)) : Cat.Find(Name);
        if (!D)
            return Failure({Error(2520, 16, L"Could not find database '" + Name +
                                                L"'. The database either does not exist, or was dropped before a statement "
                                                L"tried to use it. Verify if the database exists by querying the "
                                                L"sys.databases catalog view.")});
        StatementResult R;
        R.Columns = {Col(L"DbId", ColumnType::Int),        Col(L"FileId", ColumnType::Int),   Col(L"CurrentSize", ColumnType::Int),
                     Col(L"MinimumSize", ColumnType::Int), Col(L"UsedPages", ColumnType::Int), Col(L"EstimatedPages", ColumnType::Int)};
        for (std::size_t I = 0; I < D->Files.size(); ++I) {
            std::int64_t P = static_cast<std::int64_t>(D->Files[I].Size / 8192);
            R.Rows.push_back({Value::Of(D->Id), Value::Of(static_cast<std::int64_t>(I + 1)), Value::Of(P), Value::Of(P),
                              Value::Of(P), Value::Of(P)});
        }
        R.Counted = true;
        R.Count = R.Rows.size();
        if (!Quiet)
            R.Messages.push_back(Info(2528, L"DBCC execution completed. If DBCC printed error messages, contact your system administrator."));
        return R;
    };
}

}  // namespace standin::sql
