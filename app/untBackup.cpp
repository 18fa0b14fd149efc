#include "untBackup.h"

#include "ADODB.h"
#include "Classes.h"
#include "JclCompression.h"
#include "untSettingTasks.h"

#include <windows.h>

#include <exception>

// ---------------------------------------------------------------------------------------------
// The program's folder

std::string GetAppDir() {
    const std::string Folder = Trim(ExtractFilePath(ProgramFileName()));
    return Folder.empty() ? Folder : IncludeTrailingPathDelimiter(Folder);
}

// ---------------------------------------------------------------------------------------------
// Due rules
//
// Every comparison runs on the millisecond time line, so that dates before 1899-12-30 (the
// "never run" date 0001-01-01 among them) compare the right way.

namespace {
void CheckFieldIndex(std::size_t Count, int Index) {
    if (Index < 0 || static_cast<std::size_t>(Index) >= Count)
        throw EListError(SysConsts::SListIndexError, {Index});
}
}  // namespace

const std::string& TaskField(const std::vector<std::string>& Fields, int Index) {
    CheckFieldIndex(Fields.size(), Index);
    return Fields[static_cast<std::size_t>(Index)];
}

namespace {

constexpr Int64 MSecsPerMinute = 60000;

Int64 MSecsOf(TDateTime Value) { return TimeStampToMSecs(DateTimeToTimeStamp(Value)); }
Int64 DayOfMSecs(Int64 MSecs) { return MSecs / MSecsPerDay; }
Int64 Distance(Int64 A, Int64 B) { return A > B ? A - B : B - A; }

Int64 MinutesSameDayMSecs(Int64 A, Int64 B) {
    if (DayOfMSecs(A) != DayOfMSecs(B))
        return -1;
    return Distance(A, B) / MSecsPerMinute;
}

// Hour:Min on the day that Day's milliseconds fall on; EConvertError when it is no time of day.
Int64 AtTime(Int64 Day, int Hour, int Min) {
    EncodeTime(Hour, Min, 0, 0);
    return DayOfMSecs(Day) * MSecsPerDay + (Int64(Hour) * 60 + Min) * MSecsPerMinute;
}

// The fields of a line as the rules parse them, with their fall-backs.
class TTaskFields {
public:
    explicit TTaskFields(const std::string& Line) { SplitTaskLine(Line, FFields); }
    std::string_view Text(int Index) const {
        CheckFieldIndex(FFields.size(), Index);
        return FFields[static_cast<std::size_t>(Index)];
    }
    int Int(int Index, int Default) const { return StrToIntDef(Text(Index), Default); }
    bool Bool(int Index) const { return StrToBoolDef(Text(Index), false); }
    TDateTime Date(int Index) const { return StrToDateTimeDef(Text(Index), MinDateTime); }
    // `DateLast`, with a task saved and not yet run counting as never run.
    TDateTime LastRun() const { return Text(tfResult) == ResultNewTask ? MinDateTime : Date(tfDateLast); }

private:
    std::vector<std::string_view> FFields;
};

// The current time, taken apart as the rules use it.
struct TNowParts {
    explicit TNowParts(TDateTime N) : Exact(MSecsOf(N)), Minute(Exact - Exact % MSecsPerMinute) {}
    Int64 Exact;
    Int64 Minute;  // seconds and milliseconds dropped
};

// Branches c and d: the slot of the repetition that the last run fell into, from the scheduled time
// on, and the minutes from that slot to now on the same day (-1 on another day).
Int64 RepetitionSlotMinutes(Int64 Scheduled, Int64 LastRun, int EveryHour, Int64 Now) {
    const Int64 Period = Int64(EveryHour) * 60;
    const Int64 K = Distance(Scheduled, LastRun) / MSecsPerMinute / Period;
    const Int64 Slot = Scheduled + K * Period * MSecsPerMinute;
    return MinutesSameDayMSecs(Slot, Now);
}

}  // namespace

std::string GetTaskType(const std::string& Line) { return UpperCase(Trim(TTaskFields(Line).Text(tfType))); }

Int64 MinutesSameDay(TDateTime A, TDateTime B) { return MinutesSameDayMSecs(MSecsOf(A), MSecsOf(B)); }

bool IsDueType1(const std::string& Line, TDateTime N) {
    const TTaskFields F(Line);
    const TNowParts Now(N);
    const TDateTime LastRunDate = F.LastRun();
    const Int64 LastRun = MSecsOf(LastRunDate);
    const bool Daily = F.Bool(tfDailyOnType1);
    const bool WorkDays = F.Bool(tfOnWeekDaysType1);
    const int EveryDays = F.Int(tfEveryType1, -1);
    const int EveryHour = F.Int(tfEveryHour, 0);
    int Hour = F.Int(tfHour, -1);
    int Min = F.Int(tfMin, -1);
    Int64 LastRunDay = LastRun;
    // A task that never ran: its time has always come, and branch a looks at today.
    if (YearOf(LastRunDate) < 1970) {
        Hour = 0;
        Min = 0;
        LastRunDay = Now.Exact;
    }
    const Int64 Scheduled = AtTime(Now.Exact, Hour, Min);
    const Int64 SameDay = MinutesSameDayMSecs(LastRun, Now.Exact);
    const bool RanToday = SameDay != -1;
    const Int64 Period = Int64(EveryHour) * 60;
    const bool TimeHasCome = Scheduled <= Now.Minute;

    if (Daily && EveryHour > 0 && AtTime(LastRunDay, Hour, Min) <= Now.Minute && (!RanToday || SameDay >= Period))
        return true;
    if (Daily && EveryHour == 0 && TimeHasCome && !RanToday)
        return true;
    if (WorkDays && TimeHasCome && DayOfTheWeek(N) < 6 &&
        (!RanToday || (EveryHour > 0 && RepetitionSlotMinutes(Scheduled, LastRun, EveryHour, Now.Exact) > Period)))
        return true;
    if (!WorkDays && !Daily && EveryDays > 0 && TimeHasCome &&
        (Distance(Now.Exact, LastRun) / MSecsPerDay >= EveryDays || EveryHour > 0) &&
        (!RanToday || (EveryHour > 0 && RepetitionSlotMinutes(Scheduled, LastRun, EveryHour, Now.Exact) >= Period)))
        return true;
    return false;
}

bool IsDueType2(const std::string& Line, TDateTime N) {
    const TTaskFields F(Line);
    const TNowParts Now(N);
    const Int64 LastRun = MSecsOf(F.LastRun());
    const std::string_view Days = F.Text(tfDayType2);
    const Int64 Scheduled = AtTime(Now.Exact, F.Int(tfHour, -1), F.Int(tfMin, -1));
    return ListHasNumber(Days, DayOfTheWeek(N)) && Scheduled <= Now.Minute && MinutesSameDayMSecs(LastRun, Now.Exact) == -1;
}

bool IsDueType3(const std::string& Line, TDateTime N) {
    const TTaskFields F(Line);
    const TNowParts Now(N);
    const std::string_view Once = F.Text(tfOnceType3);
    const Int64 Scheduled = AtTime(MSecsOf(F.Date(tfDateType3)), F.Int(tfHour, -1), F.Int(tfMin, -1));
    return (Scheduled <= Now.Minute && Trim(F.Text(tfResult)) != ResultSucceeded) || Once == "1";
}

bool IsDueType4(const std::string& Line, TDateTime N) {
    try {
        const TTaskFields F(Line);
        const TNowParts Now(N);
        const Int64 LastRun = MSecsOf(F.LastRun());
        const Int64 Scheduled = AtTime(Now.Exact, F.Int(tfHour, -1), F.Int(tfMin, -1));
        return ListHasNumber(F.Text(tfMonthType4), MonthOf(N)) && Scheduled <= Now.Minute &&
               DayOf(N) == F.Int(tfEveryWeekType4, -1) && MinutesSameDayMSecs(LastRun, Now.Exact) == -1;
    } catch (const Exception&) {
        return false;
    }
}

bool IsTaskDue(const std::string& Line, TDateTime N) {
    const std::string Type = GetTaskType(Line);
    if (Type == "TYPE1")
        return IsDueType1(Line, N);
    if (Type == "TYPE2")
        return IsDueType2(Line, N);
    if (Type == "TYPE3")
        return IsDueType3(Line, N);
    if (Type == "TYPE4")
        return IsDueType4(Line, N);
    return false;
}

// ---------------------------------------------------------------------------------------------
// Texts of the engine

namespace {
std::string ReplaceChars(std::string_view Text, std::string_view Chars, char By) {
    std::string S(Text);
    for (char& C : S)
        if (Chars.find(C) != std::string_view::npos)
            C = By;
    return S;
}

std::string DoubleChar(std::string_view Text, char Ch) {
    std::string S;
    for (char C : Text) {
        S += C;
        if (C == Ch)
            S += C;
    }
    return S;
}
}  // namespace

// ";" would shift the fields of the task line and TAB those of the log line.
std::string CleanResultText(std::string_view Text) { return ReplaceChars(Text, "\r\n\t';", ' '); }

std::string BackupStamp(TDateTime Stamp) {
    return ReplaceChars(ReplaceChars(DateTimeToStr(Stamp), ":", '.'), " /\\-", '_');
}

std::string BackupFileName(const std::string& Path, const std::string& SNAME, const std::string& DBName,
                           const std::string& Stamp) {
    std::string Folder = Path;
    if (!Folder.empty() && Folder.back() != PathDelim)
        Folder += PathDelim;
    return Folder + SNAME + "_" + DBName + "_" + Stamp + ".bak";
}

std::string QuoteSqlName(std::string_view Name) { return DoubleChar(Name, ']'); }
std::string QuoteSqlText(std::string_view Text) { return DoubleChar(Text, '\''); }

// ---------------------------------------------------------------------------------------------
// Packing and the log

namespace {
template <class I>
I* ArchiveSetting(TJclCompressionArchive* Archive, const GUID& IID) {
    void* Setting = nullptr;
    return SUCCEEDED(Archive->GetInterface(IID, &Setting)) ? static_cast<I*>(Setting) : nullptr;
}
}  // namespace

// The packing library's cipher code keeps 16-byte values on the stack and takes the stack as aligned
// to 16 bytes, which a call that comes through a window procedure (the scheduler's timer) does not
// promise: the stack is aligned again here.
__attribute__((force_align_arg_pointer)) bool CompressBackup(const std::string& FileName, const std::string& Password,
                                                             std::string* ErrorText) {
    const std::string ArchiveName = FileName + ".7z";
    std::string Error;
    TJclCompressionArchiveClass Class = GetArchiveFormats()->FindCompressFormat(ArchiveName);
    if (!Class) {
        if (ErrorText)
            *ErrorText = "No archive format writes " + ArchiveName;
        return false;
    }
    // Only an archive this call created is removed after a failure: an older archive of that name
    // stays when the .bak cannot even be read.
    bool Created = false;
    try {
        { TFileStream Source(FileName, fmOpenRead | fmShareDenyNone); }
        { TFileStream Target(ArchiveName, fmCreate); }
        Created = true;
        TOwned<TJclCompressionArchive> Archive(Class->CreateOnFile(ArchiveName, 0, false));
        auto* Writer = As<TJclCompressArchive>(Archive.get());
        Writer->Password = AnsiToWide(Password);
        Writer->AddDirectory(AnsiToWide(ExtractFileName(FileName)), FileName, false, false);
        if (auto* Level = ArchiveSetting<IArchiveLevelSetting>(Writer, IID_IArchiveLevelSetting))
            Level->SetCompressionLevel(9);
        if (auto* Header = ArchiveSetting<IArchiveHeaderCompressionSetting>(Writer, IID_IArchiveHeaderCompressionSetting))
            Header->SetCompressHeader(true);
        Writer->Compress();
        return true;
    } catch (const Exception& E) {
        Error = E.Message().empty() ? E.ClassName() : E.Message();
    }
    // What was written of an archive that failed would pass for a backup.
    if (Created)
        DeleteFile(ArchiveName);
    if (ErrorText)
        *ErrorText = Error;
    return false;
}

// Replaced whole: a crash while writing must not leave a cut library behind that would then count
// as present.
void WriteSevenZipLibrary() {
    const std::string FileName = GetAppDir() + "7z.dll";
    if (FileExists(FileName))
        return;
    TResourceStream Library(GetModuleHandleA(nullptr), "7Z_DLL", reinterpret_cast<LPCSTR>(RT_RCDATA));
    ReplaceFileWith(FileName, std::string_view(static_cast<const char*>(Library.Memory()),
                                               static_cast<std::size_t>(Library.Size())));
}

void AppendLogLine(const std::string& Line) {
    const std::string FileName = GetAppDir() + "Backup.log";
    if (!FileExists(FileName))
        TFileStream Created(FileName, fmCreate);
    TFileStream Log(FileName, fmOpenWrite | fmShareDenyWrite);
    Log.Seek(Int64(0), soEnd);
    const std::string Text = Line + "\r\n";
    Log.WriteBuffer(Text.data(), static_cast<LongInt>(Text.size()));
}

// ---------------------------------------------------------------------------------------------
// One pass

namespace {

// The first error of a pass: raised once every line has been handled and the lines are written
// back, so that one failure neither stops the other tasks nor makes finished ones run again.
class TDeferredError {
public:
    // Called inside a handler: keeps the exception being handled when it is the first.
    void Keep() {
        if (!FError)
            FError = std::current_exception();
    }
    void Raise() const {
        if (FError)
            std::rethrow_exception(FError);
    }

private:
    std::exception_ptr FError;
};

std::string LogLine(const std::string& Result, const std::string& SNAME, const std::string& DBName,
                    const std::string& BackupFile) {
    return DateTimeToStr(Now()) + "\t" + Result + "\t" + SNAME + "\t" + DBName + "\t" + BackupFile;
}

// The connection and the query of a pass, and the backup of one task on them.
class TBackupPass {
public:
    explicit TBackupPass(TDeferredError& Error) : FError(Error) {
        FConnection->SetLoginPrompt(false);
        FQuery->SetConnection(FConnection.get());
        FQuery->SetCommandTimeout(0);
        // Names and paths inside the statements may hold ":", which must not become parameters.
        FQuery->SetParamCheck(false);
    }

    // The task's line after its run (unchanged when it did not run).
    std::string Run(const std::string& Line);
    void Disconnect() {
        try {
            FConnection->Close();
        } catch (const Exception&) {
        }
    }

private:
    void Execute(const std::string& Sql) {
        FQuery->Close();
        FQuery->SQL()->SetText(Sql);
        FQuery->ExecSQL();
    }
    std::string ServerName();
    // The trace of a task whose server could not be reached; the task stays due and is retried.
    std::string ConnectionFailed(const std::string& Line, const std::string& Message);
    void Log(const std::string& Line) {
        try {
            AppendLogLine(Line);
        } catch (const Exception&) {
            FError.Keep();
        }
    }

    TDeferredError& FError;
    TOwned<TADOConnection> FConnection{new TADOConnection(nullptr)};
    TOwned<TADOQuery> FQuery{new TADOQuery(nullptr)};
};

std::string TBackupPass::ServerName() {
    try {
        FQuery->Close();
        FQuery->SQL()->SetText(
            "SELECT REPLACE(CONVERT(char(20), SERVERPROPERTY('servername')),'\\','_') as SNAME");
        FQuery->Open();
        TField* Field = FQuery->FieldByName("SNAME");
        std::string Name = FQuery->IsEmpty() || Field->IsNull() ? std::string() : Field->AsString();
        FQuery->Close();
        return Name;
    } catch (const Exception&) {
        return std::string();
    }
}

std::string TBackupPass::ConnectionFailed(const std::string& Line, const std::string& Message) {
    std::vector<std::string> Fields = SplitTaskLine(Line);
    const std::string Error = CleanResultText(Message);
    const std::string Server = Fields.size() > tfServer ? Trim(Fields[tfServer]) : std::string();
    Log(LogLine(Error, Server, Trim(TaskField(Fields, tfDBName)), std::string()));
    // "insert_new_task" is what makes a task that never ran due; `DateLast` and the
    // run-after-creation flag stay as they are, so that the next pass tries again.
    if (Fields[tfResult] == ResultNewTask)
        return Line;
    Fields[tfResult] = Error;
    return JoinTaskLine(Fields);
}

std::string TBackupPass::Run(const std::string& Line) {
    const std::vector<std::string> Fields = SplitTaskLine(Line);
    try {
        FConnection->Close();
        FConnection->SetConnectionString(
            AnsiToWide(StringReplace(TaskField(Fields, tfStrConnect), "|", ";", {rfReplaceAll})));
        FConnection->Open();
    } catch (const Exception& E) {
        return ConnectionFailed(Line, E.Message());
    }
    const std::string DBName = Trim(Fields[tfDBName]);
    const std::string Hour = Trim(Fields[tfHour]);
    const std::string Min = Trim(Fields[tfMin]);
    // The store writes a task without a folder as "-1"; the server then takes its own folder.
    std::string Path = Trim(Fields[tfPath]);
    if (Path == NoPath)
        Path.clear();
    if (DBName == "-1")
        return Line;

    try {
        Execute("DBCC SHRINKDATABASE ([" + QuoteSqlName(DBName) + "],10)");
    } catch (const Exception&) {
    }
    if (!Path.empty() && Path.back() != PathDelim)
        Path += PathDelim;
    const std::string Stamp = BackupStamp(Now());
    const std::string SNAME = ServerName();
    const std::string BackupFile = BackupFileName(Path, SNAME, DBName, Stamp);

    std::string Result = ResultSucceeded;
    std::string PackError;
    try {
        Execute("BACKUP DATABASE [" + QuoteSqlName(DBName) + "] TO DISK='" + QuoteSqlText(BackupFile) + "'");
        if (StrToBool(Trim(TaskField(Fields, tfBitArch)))) {
            const std::string Password =
                StrToBool(Trim(TaskField(Fields, tfBitPwdArch))) ? Trim(TaskField(Fields, tfStrPwdArch)) : std::string();
            try {
                WriteSevenZipLibrary();
            } catch (const Exception&) {
                FError.Keep();
            }
            if (CompressBackup(BackupFile, Password, &PackError))
                DeleteFile(BackupFile);
        }
    } catch (const Exception& E) {
        Result = CleanResultText(E.Message());
    }
    // A failed packing is logged, while the task keeps "Succesfull": its backup exists as the .bak,
    // and an error result would make a once task back up again at every pass.
    Log(LogLine(PackError.empty() ? Result : CleanResultText(PackError), SNAME, DBName, BackupFile));

    std::vector<std::string> NewFields = Fields;
    if (NewFields.size() <= tfOnceType3)
        NewFields.resize(tfOnceType3 + 1);
    NewFields[tfDBName] = DBName;
    NewFields[tfHour] = Hour;
    NewFields[tfMin] = Min;
    NewFields[tfDateLast] = DateTimeToStr(Now());
    NewFields[tfPath] = Path.empty() ? std::string(NoPath) : Path;
    NewFields[tfResult] = Result;
    NewFields[tfOnceType3] = "0";
    return JoinTaskLine(NewFields);
}

}  // namespace

void RunDueTasks() {
    const std::string FileName = TaskFileName();
    if (!FileExists(FileName))
        return;
    std::vector<std::string> Lines = ReadTaskLines(FileName);
    TDeferredError Error;
    TBackupPass Pass(Error);
    for (std::string& Line : Lines) {
        bool Due = false;
        try {
            Due = IsTaskDue(Line, Now());
        } catch (const Exception&) {
            Error.Keep();
        }
        if (Due)
            Line = Pass.Run(Line);
        Pass.Disconnect();
    }
    if (FileExists(FileName))
        WriteTaskLines(FileName, Lines);
    Error.Raise();
}
