// The task store of the main window: the task table `MemSettitngs` and the enciphered task file
// "Settings.ini" beside the program, with the conversions between the two.
//
// On disk: one task line per task, the 22 fields of the task record (all but `ID`) each followed by
// ";", the lines joined by CR LF, the whole text trimmed, enciphered with the key below and written
// followed by CR LF. The file is read and written as raw bytes, so a byte that enciphers to NUL, CR
// or LF stays what it is.
#pragma once

#include "DB.h"
#include "SysUtils.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The key of the task file and of the stored SQL password.
inline constexpr std::string_view CryptKey = "8305127469";
// Crypt enciphers and EnCrypt deciphers, whatever their names suggest.
std::string Crypt(std::string_view S);
std::string EnCrypt(std::string_view S);

// Field texts of a task line: an integer (0 when it is none), a boolean ("True"/"False" or any
// number, non-zero true; false when it is none), a date-time in the user's settings (0 when none).
LongInt hIsNull(std::string_view S);
bool hIsNullb(std::string_view S);
TDateTime hIsNulldt(std::string_view S);

// The 22 fields of a task line, by position; position 22 and later are never read.
inline constexpr int TaskFieldCount = 22;
extern const char* const TaskFieldNames[TaskFieldCount];
// Positions the engine and the due rules read and write.
enum TTaskField : int {
    tfDBName = 0, tfHour = 1, tfMin = 2, tfDateLast = 3, tfResult = 4, tfPath = 5, tfType = 6,
    tfEveryType1 = 7, tfOnWeekDaysType1 = 8, tfEveryType2 = 9, tfDayType2 = 10, tfOnceType3 = 11,
    tfDateType3 = 12, tfMonthType4 = 13, tfEveryWeekType4 = 14, tfDailyOnType1 = 15, tfEveryHour = 16,
    tfServer = 17, tfStrConnect = 18, tfBitArch = 19, tfBitPwdArch = 20, tfStrPwdArch = 21
};

// Results a task line holds besides an error text.

// Whether the day or month list of a task (items between ",") holds the number N, written as
// decimal text, as a whole item; an item is taken as it stands ("01" or " 1" is not 1). The due
// rules compare without regard to case and the wizard by the text: on digits the two agree.
bool ListHasNumber(std::string_view List, int N);
inline constexpr const char* ResultSucceeded = "Succesfull";
inline constexpr const char* ResultNewTask = "insert_new_task";
// The folder field of a task without a folder.
inline constexpr const char* NoPath = "-1";

// "a;b;;c;" gives a, b, "" and c; text after the last ";" is one more field.
std::vector<std::string> SplitTaskLine(std::string_view Line);
// The same as views into Line, into a list the caller keeps for the next line.
void SplitTaskLine(std::string_view Line, std::vector<std::string_view>& Fields);
// Every field followed by ";".
std::string JoinTaskLine(const std::vector<std::string>& Fields);

// The task lines of a task file: the bytes without the final CR LF, deciphered, split at CR LF, CR or
// LF. Raises EFOpenError / EReadError with the system's text when the file cannot be read.
std::vector<std::string> ReadTaskLines(const std::string& FileName);
// Writes the lines as a task file through ReplaceFileWith.
void WriteTaskLines(const std::string& FileName, const std::vector<std::string>& Lines);

// Writes Bytes as the whole content of FileName: into a new file beside it that then replaces the old
// one, so that a failure or a crash while writing never leaves a truncated file. While another
// program holds the old file open (a reader of the task file), the replacement is tried again for
// about ten seconds. Raises EFCreateError / EWriteError with the system's text.
void ReplaceFileWith(const std::string& FileName, std::string_view Bytes);
// What a writer does each time it finds the old file held, before it tries again (Attempt counts
// from 0); empty: it sleeps a moment. Tests set it to let the reader go at a known point.
using TFileInUseWait = std::function<void(int Attempt)>;
void SetFileInUseWait(TFileInUseWait Wait);

// The task file's full name: the program's folder and "Settings.ini".
std::string TaskFileName();

// Loads "Settings.ini" into the table, appending one record per line with `ID` = its line number
// (the caller closes the table first); a missing file leaves it empty.
void ReopenTable(TDataSet* MemSettitngs);
// Writes every record of the table to "Settings.ini"; a closed table writes nothing. A text field that
// holds ";", CR or LF cannot be stored and raises EConvertError before the file is touched.
void CloseCurrentFile(TDataSet* MemSettitngs);
// Copies what the engine writes after a run (`DateLast`, `Result` and `OnceType3`) from
// "Settings.ini" into the records at the same positions; the current record stays current.
void ReopenResultat(TDataSet* MemSettitngs);
// What the main window and the wizard call before they change the table and write it whole: the
// run fields the engine has written since the table last read them (ReopenResultat), so that the
// write does not put older results back over newer ones. Nothing when the file is missing.
void TakeRunResults(TDataSet* MemSettitngs);
