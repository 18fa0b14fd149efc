// abfSysUtils: the component set's platform flags, string and path routines, the registry's autorun
// lists, asynchronous registry change notification and class registration that tolerates names
// already taken.
//
// Strings count from 1 and a position of 0 means "not found", as everywhere in the component set.
#pragma once

#include "Classes.h"
#include "Lists.h"

#include <initializer_list>
#include <string>

DECLARE_ENUM(TabfRegRootKey, rrkClassesRoot, rrkCurrentUser, rrkLocalMachine, rrkUsers, rrkCurrentConfig, rrkDynData)
DECLARE_ENUM(TabfAutoExecKind, aekMachineRun, aekMachineRunOnce, aekUserRun, aekUserRunOnce, aekServiceRun,
             aekServiceRunOnce)

// Computed once by the unit's start-up. Tests may set them to take the older shell's paths.
extern bool IsWinNT;
extern bool IsNewShell;

// The predefined key a root-key value stands for.
HKEY RegRootKeyToHKEY(TabfRegRootKey Root);

int PosFrom(const std::string& SubText, const std::string& Text, int Start);
int BackPos(const std::string& SubText, const std::string& Text, int Last);
int LastPos(const std::string& SubText, const std::string& Text);
void ReplaceAt(std::string& Text, int Position, const std::string& Old, const std::string& New);
// Never searches the inserted text again, so New may contain Old.
void ReplaceAll(std::string& Text, const std::string& Old, const std::string& New);
void ReplaceChar(std::string& Text, char Old, char New);
// Appends the pieces of Text between separators (and between line breaks) to List.
void SplitToStrings(const std::string& Text, const std::string& Separator, TStrings* List);

// Whether a file of that name can exist: an existing file counts; otherwise one is created and
// deleted again (the test leaves nothing behind).
bool CanCreateFile(const std::string& FileName);
std::string AddTrailingBackslash(const std::string& Path);
std::string FileNameOf(const std::string& Path);           // after the last "\", ":" or "/"
std::string FolderOf(const std::string& Path);             // up to and including it
std::string FileNameWithoutExt(const std::string& Path);   // the file name part, extension dropped
std::string RemoveDoubleBackslashes(const std::string& Path);
// The target name of a copy of FileName under a mask such as "D:\y\*.bak" or "new.*".
std::string ApplyFileNameMask(const std::string& FileName, const std::string& Mask);
// Path as it is when it is absolute (a drive, "\" or "\\" in front), else under BaseFolder.
std::string MakeAbsolutePath(const std::string& BaseFolder, const std::string& Path);
std::string SystemFolder();  // with a trailing "\"

// Opens (creating) Key under Root and writes a string value; ERegistryException "Unable to open
// the %s key" when the key cannot be opened.
void WriteRegistryString(HKEY Root, const std::string& Key, const std::string& Name, const std::string& Value);
void AutoExecKey(TabfAutoExecKind Kind, HKEY& Root, std::string& Key);
// The value is named by the file-name part of FileName and holds FileName. The service kinds exist
// only outside the NT platform: there both give false and touch nothing.
bool RegisterAutoExec(TabfAutoExecKind Kind, const std::string& FileName);
bool UnregisterAutoExec(TabfAutoExecKind Kind, const std::string& FileName);

// What is needed to ask again for the next change of a key.
struct TabfRegistryNotifyRequest {
    HKEY Key = nullptr;
    bool WatchSubTree = false;
    DWORD Filter = 0;
};
// A manual-reset event that the system signals at the next change of Key; INVALID_HANDLE_VALUE with
// the system's error as the last error when the request fails.
HANDLE StartRegistryNotification(HKEY Key, bool WatchSubTree, DWORD Filter, TabfRegistryNotifyRequest& Request);
// Resets the event and asks again; false (with the last error set) when that fails.
bool RearmRegistryNotification(HANDLE Event, const TabfRegistryNotifyRequest& Request);
void CloseNotificationHandle(HANDLE Handle);

// Registers a class for form streaming unless its name is registered already; never raises.
void RegisterClassSafe(TClass AClass);
void RegisterClassesSafe(std::initializer_list<TClass> Classes);

// Unit start-up: the platform flags. Shut-down: nothing.
void abfSysUtilsInitialization();
void abfSysUtilsFinalization();
