// The scheduler's rules and the backup engine: which task lines of "Settings.ini" are due now, and one
// scheduler pass that backs up every due task through its server, packs the backup when the task
// asks, logs the run in "Backup.log" and writes the time and result back into the task's line.
#pragma once

#include "SysUtils.h"

#include <string>
#include <string_view>
#include <vector>

// ---------------------------------------------------------------------------------------------
// The program's folder

// The folder of the program file followed by "\"; "" when it cannot be found. "Settings.ini",
// "Backup.log" and "7z.dll" lie there.
std::string GetAppDir();

// ---------------------------------------------------------------------------------------------
// Due rules. Each test reads the task line itself; N is the current date and time.

// Field Index of a split task line; EListError "List index out of bounds (n)" when the line is short.
const std::string& TaskField(const std::vector<std::string>& Fields, int Index);

// Position 6 of the line, upper-cased and trimmed: "TYPE1" .. "TYPE4" name the four kinds.
std::string GetTaskType(const std::string& Line);
// -1 when A and B fall on different calendar dates, else the whole minutes between them.
Int64 MinutesSameDay(TDateTime A, TDateTime B);

// Daily, every E days or working days, optionally repeated every R hours. Raises EListError for a
// line shorter than 17 fields and EConvertError for an hour or minute that is no time of day.
bool IsDueType1(const std::string& Line, TDateTime N);
// Chosen days of the week. Raises as above for a line shorter than 11 fields or a bad time.
bool IsDueType2(const std::string& Line, TDateTime N);
// Once: on its date once its time has come until a run succeeds, or at once with the
// run-after-creation flag. Raises as above for a line shorter than 13 fields or a bad time.
bool IsDueType3(const std::string& Line, TDateTime N);
// One day of chosen months. Never raises: a line it cannot read is not due.
bool IsDueType4(const std::string& Line, TDateTime N);
// The kind's test, false for an unknown kind; raises what the kind's test raises.
bool IsTaskDue(const std::string& Line, TDateTime N);

// ---------------------------------------------------------------------------------------------
// The engine

// "Succesfull" or an error text made safe for the task line and the log: CR, LF, TAB, "'" and ";"
// become blanks.
std::string CleanResultText(std::string_view Text);
// The time stamp of a backup file: the date-and-time text of Stamp with ":" as "." and blanks, "/",
// "\" and "-" as "_".
std::string BackupStamp(TDateTime Stamp);
// Path (with "\" added when it is not empty and lacks one), SNAME, "_", DBName, "_", stamp, ".bak".
std::string BackupFileName(const std::string& Path, const std::string& SNAME, const std::string& DBName,
                           const std::string& Stamp);
// Names inside [...] with "]" doubled, texts inside '...' with "'" doubled.
std::string QuoteSqlName(std::string_view Name);
std::string QuoteSqlText(std::string_view Text);

// Packs the file into FileName + ".7z" at level 9 with compressed headers, its bare name as the only
// entry, and the password when it is not empty. False when no archive was written: a partial
// archive is removed, the file stays, and ErrorText (when given) gets the reason.
bool CompressBackup(const std::string& FileName, const std::string& Password, std::string* ErrorText = nullptr);
// Writes "7z.dll" beside the program from the program's resource when the file is missing (before a
// pass packs, and before the restore unpacks). Raises EFCreateError / EWriteError when it cannot.
void WriteSevenZipLibrary();
// Appends Line and CR LF to "Backup.log" in the program's folder, creating the file when missing.
// Raises EFCreateError / EFOpenError / EWriteError when the log cannot be written.
void AppendLogLine(const std::string& Line);
// One scheduler pass over "Settings.ini" (nothing at all when the file is missing). Every line is
// handled even when one fails; the lines are written back, and then the first error of the pass (a
// line whose due test failed, the log or "7z.dll" that could not be written) is raised.
void RunDueTasks();
