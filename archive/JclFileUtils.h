// Path arithmetic, file operations and folder walking of the utility library. Paths are 8-bit
// strings in the ANSI code page with "\" as the only separator. File-operation failures come back
// as false results; only misuse raises.
#pragma once

#include "JclBase.h"

#include <windows.h>

#include <functional>
#include <string>

// Path arithmetic
std::string PathWithDelimiter(const std::string& Path);
std::string PathWithoutDelimiter(const std::string& Path);
std::string PathDrivePart(const std::string& Path);
std::string FileNameExtension(const std::string& FileName);  // from the last "." with it, or ""
std::string FileNamePart(const std::string& Path);           // after the last "\" or ":"
std::string FolderPart(const std::string& Path);             // up to and including the last "\" or ":"
std::string AddFileExtension(const std::string& FileName, const std::string& Ext);
std::string CanonicalPath(const std::string& Path);
bool IsAbsolutePath(const std::string& Path);
bool SamePathText(const std::string& A, const std::string& B);
std::string RelativePath(const std::string& Origin, const std::string& Destination);
// Whether the canonical form of Path lies inside the folder Folder (both made canonical first).
bool PathIsInside(const std::string& Folder, const std::string& Path);

// File system
bool DirectoryPresent(const std::string& Path);
bool IsExistingFile(const std::string& Path);
bool CopyFileTo(const std::string& Source, const std::string& Dest, int Overwrite);
bool RemoveFile(const std::string& FileName, bool ToRecycleBin);
bool RelocateFile(const std::string& Source, const std::string& Dest, int Replace);
std::string MakeUniqueFileName(const std::string& FileName, const std::string& Ext, const std::string& Separator);
bool CreateDirectoryPath(const std::string& Path);
std::string ModuleFileName(HMODULE Module);
bool ReadFixedFileInfo(const std::string& FileName, VS_FIXEDFILEINFO& Info);
bool AttributesMatch(DWORD Attr, DWORD Rejected, DWORD Required);
bool FileNameMatchesMask(const std::string& FileName, const std::string& Mask, bool CaseSensitive);

// One entry found by a folder search.
struct TJclSearchEntry {
    std::string Name;
    DWORD Attributes = 0;
    Int64 Size = 0;
    FILETIME CreationTime{}, LastAccessTime{}, LastWriteTime{};
};
using TFileListCallback = std::function<void(const std::string& Folder, const TJclSearchEntry& Entry)>;
using TFolderCallback = std::function<void(const std::string& Folder)>;

void EnumerateDirectoryEntries(const std::string& PathMask, DWORD Rejected, DWORD Required, const bool* AbortFlag,
                               const TFileListCallback& Callback);
void WalkDirectoryTree(const std::string& Root, bool IncludeHidden, const std::string& SubfolderMask,
                       const bool* AbortFlag, const TFolderCallback& Callback);

// Shell: one delete operation. Options: bit 0 silent, bit 1 to the recycle bin, bit 2 files only.
bool ShellDeleteFiles(HWND OwnerWindow, const std::string& Files, unsigned Options);

// File times
Int64 DateTimeToLocalFileTime(TDateTime DateTime);
void DateTimeToUtcFileTime(FILETIME& FileTime, TDateTime DateTime);
// The current local time as a UTC file time (entries added from a stream carry it).
FILETIME CurrentUtcFileTime();

// Unit start-up and shut-down: the version banner.
void JclFileUtilsInitialization();
void JclFileUtilsFinalization();
