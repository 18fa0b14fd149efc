#include "untSettingTasks.h"

#include "Classes.h"
#include "uEncrypt.h"
#include "untBackup.h"
#include "untSetting.h"

#include <windows.h>

const char* const TaskFieldNames[TaskFieldCount] = {
    "DBName",    "Hour",       "Min",       "DateLast",       "Result",       "Path",       "Type",      "EveryType1",
    "OnWeekDaysType1", "EveryType2", "DayType2", "OnceType3",   "DateType3",    "MonthType4", "EveryWeekType4",
    "DailyOnType1", "EveryHour", "Server",  "StrConnect",     "bitArch",      "bitPwdArch", "strPwdArch",
};

std::string Crypt(std::string_view S) {
    std::string R(S);
    CryptText(R, CryptKey, false);
    return R;
}

std::string EnCrypt(std::string_view S) {
    std::string R(S);
    CryptText(R, CryptKey, true);
    return R;
}

LongInt hIsNull(std::string_view S) { return StrToIntDef(S, 0); }

bool hIsNullb(std::string_view S) { return StrToBoolDef(S, false); }

TDateTime hIsNulldt(std::string_view S) { return StrToDateTimeDef(S, 0); }

bool ListHasNumber(std::string_view List, int N) {
    if (List.empty())
        return false;
    const std::string Wanted = IntToStr(N);
    std::size_t Start = 0;
    while (Start <= List.size()) {
        std::size_t End = List.find(',', Start);
        if (End == std::string_view::npos)
            End = List.size();
        if (List.substr(Start, End - Start) == Wanted)
            return true;
        Start = End + 1;
    }
    return false;
}

void SplitTaskLine(std::string_view Line, std::vector<std::string_view>& Fields) {
    Fields.clear();
    std::size_t Start = 0;
    for (std::size_t P = Line.find(';'); P != std::string_view::npos; P = Line.find(';', Start)) {
        Fields.push_back(Line.substr(Start, P - Start));
        Start = P + 1;
    }
    if (Start < Line.size())
        Fields.push_back(Line.substr(Start));
}

std::vector<std::string> SplitTaskLine(std::string_view Line) {
    std::vector<std::string_view> Views;
    SplitTaskLine(Line, Views);
    return std::vector<std::string>(Views.begin(), Views.end());
}

std::string JoinTaskLine(const std::vector<std::string>& Fields) {
    std::string Line;
    for (const std::string& F : Fields) {
        Line += F;
        Line += ';';
    }
    return Line;
}

namespace {

std::string ReadAllBytes(const std::string& FileName) {
    TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
    std::string Bytes(static_cast<std::size_t>(Stream.Size()), '\0');
    if (!Bytes.empty())
        Stream.ReadBuffer(Bytes.data(), static_cast<LongInt>(Bytes.size()));
    return Bytes;
}

}  // namespace

namespace {

// The system's answers when another program has the old file open, reading it for a moment.
bool HeldByAnother(DWORD Code) {
    return Code == ERROR_SHARING_VIOLATION || Code == ERROR_ACCESS_DENIED || Code == ERROR_LOCK_VIOLATION;
}

// The system's text for an error in the language the program's windows show, in the code page they
// show their texts in. The system's own language and code page can differ from both: a Russian
// system's text in windows showing the English texts came out as Latin-1 garbage. Without the main
// window, the system's own text.
std::string ShownErrorText(DWORD Code) {
    TfrmSetting* Main = nullptr;
    for (int I = 0; Screen && !Main && I < Screen->FormCount(); ++I)
        Main = DynCast<TfrmSetting>(Screen->Forms(I));
    if (!Main || !Main->siLangDispatcher)
        return SysErrorMessage(Code);
    const bool English = Main->siLangDispatcher->ActiveLanguage() == 2;
    const DWORD Flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    wchar_t* Buffer = nullptr;
    DWORD Length = FormatMessageW(Flags, nullptr, Code,
                                  English ? MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US) : MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT),
                                  reinterpret_cast<wchar_t*>(&Buffer), 0, nullptr);
    if (!Length)
        Length = FormatMessageW(Flags, nullptr, Code, 0, reinterpret_cast<wchar_t*>(&Buffer), 0, nullptr);
    std::wstring Text = Length && Buffer ? std::wstring(Buffer, Length) : std::wstring();
    if (Buffer)
        LocalFree(Buffer);
    while (!Text.empty() && (Text.back() <= L' ' || Text.back() == L'.'))
        Text.pop_back();
    return WideToAnsi(Text, Main->TextCodePage());
}

constexpr int ReplaceAttempts = 200;
constexpr DWORD ReplaceRetryMs = 50;

TFileInUseWait FileInUseWait;

}  // namespace

void SetFileInUseWait(TFileInUseWait Wait) { FileInUseWait = std::move(Wait); }

void ReplaceFileWith(const std::string& FileName, std::string_view Bytes) {
    const std::string NewName = FileName + ".new";
    try {
        TFileStream Stream(NewName, fmCreate);
        if (!Bytes.empty())
            Stream.WriteBuffer(Bytes.data(), static_cast<LongInt>(Bytes.size()));
        FlushFileBuffers(Stream.Handle());
    } catch (...) {
        DeleteFileA(NewName.c_str());
        throw;
    }
    // A file that cannot be replaced while another program reads it would lose what the writer
    // brings (the results of a scheduler pass whose backups are already made), so the writer waits
    // for the reader instead of giving up at once.
    for (int Attempt = 0;; ++Attempt) {
        if (MoveFileExA(NewName.c_str(), FileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return;
        const DWORD Code = GetLastError();
        if (HeldByAnother(Code) && Attempt + 1 < ReplaceAttempts) {
            if (FileInUseWait)
                FileInUseWait(Attempt);
            else
                Sleep(ReplaceRetryMs);
            continue;
        }
        DeleteFileA(NewName.c_str());
        const std::string Sys = ShownErrorText(Code);
        std::string Msg = Format(ClassesConsts::SFCreateError, {FileName});
        throw EFCreateError(Sys.empty() ? Msg : Msg + ". " + Sys);
    }
}

std::vector<std::string> ReadTaskLines(const std::string& FileName) {
    std::string Text = ReadAllBytes(FileName);
    if (Text.size() >= 2 && Text.compare(Text.size() - 2, 2, "\r\n") == 0)
        Text.resize(Text.size() - 2);
    CryptText(Text, CryptKey, true);
    std::vector<std::string> Lines;
    const char* P = Text.data();
    const char* const End = P + Text.size();
    while (P < End) {
        const char* Break = P;
        while (Break < End && *Break != '\r' && *Break != '\n')
            ++Break;
        Lines.emplace_back(P, Break);
        P = Break < End && *Break == '\r' && Break + 1 < End && Break[1] == '\n' ? Break + 2 : Break + 1;
    }
    return Lines;
}

namespace {

// Trims the whole text, enciphers it and writes it; an empty text gives an empty file, not a lone
// line break.
void WriteTaskText(const std::string& FileName, std::string& Text) {
    std::size_t First = 0, Last = Text.size();
    while (First < Last && static_cast<unsigned char>(Text[First]) <= ' ')
        ++First;
    while (Last > First && static_cast<unsigned char>(Text[Last - 1]) <= ' ')
        --Last;
    Text.erase(Last);
    Text.erase(0, First);
    if (!Text.empty()) {
        CryptText(Text, CryptKey, false);
        Text += "\r\n";
    }
    ReplaceFileWith(FileName, Text);
}

}  // namespace

void WriteTaskLines(const std::string& FileName, const std::vector<std::string>& Lines) {
    std::string Text;
    for (std::size_t I = 0; I < Lines.size(); ++I) {
        if (I)
            Text += "\r\n";
        Text += Lines[I];
    }
    WriteTaskText(FileName, Text);
}

std::string TaskFileName() { return GetAppDir() + "Settings.ini"; }

// ---------------------------------------------------------------------------------------------
// The table

namespace {

// Appends the text of one field in the task line, and its ";".
void AppendFieldText(std::string& Line, TField* F) {
    const std::string& Name = F->FieldName();
    switch (F->DataType()) {
        case ftInteger:
        case ftSmallint:
        case ftWord:
            Line += IntToStr(F->AsInteger());
            break;
        case ftBoolean:
            Line += BoolToStr(F->AsBoolean());
            break;
        case ftDateTime:
        case ftDate:
        case ftTime: {
            // A task that never ran reads its "-1" (or an empty text) back as the zero date; written
            // as that date it would come back from every later write as "30.12.1899".
            const bool Never = Name == "DateLast" && (F->IsNull() || F->AsDateTime() == 0);
            Line += Never ? std::string(NoPath) : F->IsNull() ? std::string() : DateTimeToStr(F->AsDateTime());
            break;
        }
        default: {
            std::string S = F->AsString();
            if (Name == "Path") {
                S = Trim(S);
                if (S.empty())
                    S = NoPath;
            }
            if (S.find_first_of(";\r\n") != std::string::npos)
                throw EConvertError("The field %s holds \";\", CR or LF, which a task line cannot store", {Name});
            Line += S;
        }
    }
    Line += ';';
}

// Sets one field from its text in the task line.
void SetFieldText(TField* F, std::string_view Text) {
    switch (F->DataType()) {
        case ftInteger:
        case ftSmallint:
        case ftWord:
            F->SetAsInteger(hIsNull(Text));
            return;
        case ftBoolean:
            F->SetAsBoolean(hIsNullb(Text));
            return;
        case ftDateTime:
        case ftDate:
        case ftTime:
            F->SetAsDateTime(hIsNulldt(Text));
            return;
        default:
            break;
    }
    F->SetAsString(F->FieldName() == "Path" && Text == NoPath ? std::string() : std::string(Text));
}

// Keeps the links quiet while many records change, and lets them see the result once.
class TControlsDisabled {
public:
    explicit TControlsDisabled(TDataSet* DataSet) : FDataSet(DataSet) { FDataSet->DisableControls(); }
    ~TControlsDisabled() { FDataSet->EnableControls(); }
    TControlsDisabled(const TControlsDisabled&) = delete;
    TControlsDisabled& operator=(const TControlsDisabled&) = delete;

private:
    TDataSet* FDataSet;
};

std::vector<TField*> TaskFields(TDataSet* T) {
    std::vector<TField*> Fields;
    for (const char* Name : TaskFieldNames)
        Fields.push_back(T->FieldByName(Name));
    return Fields;
}

}  // namespace

void ReopenTable(TDataSet* MemSettitngs) {
    const std::string FileName = TaskFileName();
    const std::vector<std::string> Lines = FileExists(FileName) ? ReadTaskLines(FileName) : std::vector<std::string>();
    if (!MemSettitngs->Active())
        MemSettitngs->Open();
    TControlsDisabled Quiet(MemSettitngs);
    TField* ID = MemSettitngs->FieldByName("ID");
    const std::vector<TField*> Fields = TaskFields(MemSettitngs);
    std::vector<std::string_view> Texts;
    for (std::size_t L = 0; L < Lines.size(); ++L) {
        SplitTaskLine(Lines[L], Texts);
        MemSettitngs->Append();
        ID->SetAsInteger(static_cast<LongInt>(L));
        for (std::size_t P = 0; P < Texts.size() && P < Fields.size(); ++P)
            SetFieldText(Fields[P], Texts[P]);
        MemSettitngs->Post();
    }
}

void CloseCurrentFile(TDataSet* MemSettitngs) {
    const std::string FileName = TaskFileName();
    if (!MemSettitngs->Active())
        return;
    TControlsDisabled Quiet(MemSettitngs);
    const std::vector<TField*> Fields = TaskFields(MemSettitngs);
    std::string Text;
    for (MemSettitngs->First(); !MemSettitngs->Eof(); MemSettitngs->Next()) {
        if (!Text.empty())
            Text += "\r\n";
        for (TField* F : Fields)
            AppendFieldText(Text, F);
    }
    WriteTaskText(FileName, Text);
}

void ReopenResultat(TDataSet* MemSettitngs) {
    if (!MemSettitngs->Active())
        MemSettitngs->Open();
    TField* ID = MemSettitngs->FieldByName("ID");
    const LongInt Current = MemSettitngs->IsEmpty() ? -1 : ID->AsInteger();
    const std::vector<std::string> Lines = ReadTaskLines(TaskFileName());
    TField* DateLast = MemSettitngs->FieldByName("DateLast");
    TField* Result = MemSettitngs->FieldByName("Result");
    TField* OnceType3 = MemSettitngs->FieldByName("OnceType3");
    {
        TControlsDisabled Quiet(MemSettitngs);
        std::vector<std::string_view> Texts;
        MemSettitngs->First();
        for (std::size_t L = 0; L < Lines.size() && !MemSettitngs->Eof(); ++L) {
            SplitTaskLine(Lines[L], Texts);
            if (Texts.size() <= tfResult)
                throw EListError(SysConsts::SListIndexError, {static_cast<int>(tfResult)});
            MemSettitngs->Edit();
            DateLast->SetAsDateTime(hIsNulldt(Texts[tfDateLast]));
            Result->SetAsString(std::string(Texts[tfResult]));
            // The engine clears the run-after-creation flag after a run; without this copy the next
            // write of the table would set it again and the task would run at every tick.
            if (Texts.size() > tfOnceType3)
                OnceType3->SetAsInteger(hIsNull(Texts[tfOnceType3]));
            MemSettitngs->Post();
            MemSettitngs->Next();
        }
    }
    if (Current >= 0)
        MemSettitngs->Locate("ID", Current, {});
}

void TakeRunResults(TDataSet* MemSettitngs) {
    // A refresh after a pass can fail (the file held by another program at that moment) and the
    // next one is half a minute away; the table would then still hold a task's result from before
    // its run.
    if (FileExists(TaskFileName()))
        ReopenResultat(MemSettitngs);
}
