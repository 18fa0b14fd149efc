#include "abfSysUtils.h"

#include "Registry.h"

#include <memory>

bool IsNewShell = false;

HKEY RegRootKeyToHKEY(TabfRegRootKey Root) {
    switch (Root) {
    case rrkClassesRoot: return HKEY_CLASSES_ROOT;
    case rrkCurrentUser: return HKEY_CURRENT_USER;
    case rrkLocalMachine: return HKEY_LOCAL_MACHINE;
    case rrkUsers: return HKEY_USERS;
    case rrkCurrentConfig: return HKEY_CURRENT_CONFIG;
    case rrkDynData: return HKEY_DYN_DATA;
    }
    return HKEY_CURRENT_USER;
}

// ---------------------------------------------------------------------------------------------
// Strings

int PosFrom(const std::string& SubText, const std::string& Text, int Start) {
    if (SubText.empty() || Text.empty() || SubText.size() > Text.size())
        return 0;
    std::size_t From = Start > 1 ? static_cast<std::size_t>(Start - 1) : 0;
    if (From >= Text.size())
        return 0;
    std::size_t P = Text.find(SubText, From);
    return P == std::string::npos ? 0 : static_cast<int>(P) + 1;
}

int BackPos(const std::string& SubText, const std::string& Text, int Last) {
    if (Text.empty() || SubText.empty() || Text.size() < SubText.size())
        return 0;
    int Len = static_cast<int>(Text.size());
    int LastStart = (Last < Len ? Last : Len) - static_cast<int>(SubText.size()) + 1;
    if (LastStart < 1)
        return 0;
    std::size_t P = Text.rfind(SubText, static_cast<std::size_t>(LastStart - 1));
    return P == std::string::npos ? 0 : static_cast<int>(P) + 1;
}

int LastPos(const std::string& SubText, const std::string& Text) {
    return BackPos(SubText, Text, static_cast<int>(Text.size()));
}

void ReplaceAt(std::string& Text, int Position, const std::string& Old, const std::string& New) {
    if (Position < 1 || static_cast<std::size_t>(Position) > Text.size() + 1)
        return;
    std::size_t P = static_cast<std::size_t>(Position - 1);
    Text.erase(P, Old.size());
    Text.insert(P, New);
}

void ReplaceAll(std::string& Text, const std::string& Old, const std::string& New) {
    if (Old.empty())
        return;
    int P = PosFrom(Old, Text, 1);
    while (P > 0) {
        ReplaceAt(Text, P, Old, New);
        P = PosFrom(Old, Text, P + static_cast<int>(New.size()));
    }
}

void ReplaceChar(std::string& Text, char Old, char New) {
    for (char& C : Text)
        if (C == Old)
            C = New;
}

void SplitToStrings(const std::string& Text, const std::string& Separator, TStrings* List) {
    std::string S = Text;
    if (Separator.size() == 1)
        ReplaceChar(S, Separator[0], '\n');
    else
        ReplaceAll(S, Separator, "\n");
    TOwned<TStringList> Lines(Create<TStringList>());
    Lines->SetText(S);
    List->AddStrings(Lines.get());
}

// ---------------------------------------------------------------------------------------------
// Paths

bool CanCreateFile(const std::string& FileName) {
    if (FileName.empty())
        return false;
    if (FileExists(FileName))
        return true;
    HANDLE H = CreateFileA(FileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (H == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(H);
    DeleteFileA(FileName.c_str());
    return true;
}

std::string AddTrailingBackslash(const std::string& Path) {
    if (!Path.empty() && Path.back() == '\\')
        return Path;
    return Path + '\\';
}

namespace {
// Position (0-based) after the last "\", ":" or "/", i.e. where the file name starts.
std::size_t NameStart(const std::string& Path) {
    std::size_t P = Path.find_last_of("\\:/");
    return P == std::string::npos ? 0 : P + 1;
}

bool HasWildcards(const std::string& S) { return S.find_first_of("*?") != std::string::npos; }

// The extension of a file name part, with its dot ("" for none).
std::string ExtOfName(const std::string& Name) {
    std::size_t P = Name.rfind('.');
    return P == std::string::npos ? std::string() : Name.substr(P);
}
}  // namespace

std::string FileNameOf(const std::string& Path) { return Path.substr(NameStart(Path)); }

std::string FolderOf(const std::string& Path) { return Path.substr(0, NameStart(Path)); }

std::string FileNameWithoutExt(const std::string& Path) {
    std::string Name = FileNameOf(Path);
    return Name.substr(0, Name.size() - ExtOfName(Name).size());
}

std::string RemoveDoubleBackslashes(const std::string& Path) {
    std::string S = Path;
    ReplaceAll(S, "\\\\", "\\");
    return S;
}

std::string ApplyFileNameMask(const std::string& FileName, const std::string& Mask) {
    if (Trim(Mask).empty())
        return FileName;
    std::string Folder = FolderOf(Mask);
    if (Folder.empty())
        Folder = FolderOf(FileName);
    std::string MaskName = FileNameWithoutExt(Mask);
    std::string Name = MaskName.empty() || HasWildcards(MaskName) ? FileNameWithoutExt(FileName) : MaskName;
    std::string MaskExt = ExtOfName(FileNameOf(Mask));
    std::string Ext = MaskExt.empty() || HasWildcards(MaskExt) ? ExtOfName(FileNameOf(FileName)) : MaskExt;
    return Folder + Name + Ext;
}

std::string MakeAbsolutePath(const std::string& BaseFolder, const std::string& Path) {
    // A drive, a root-relative "\x" or a network "\\server\share" path is already absolute.
    if (!ExtractFileDrive(Path).empty() || (!Path.empty() && Path[0] == '\\'))
        return Path;
    std::string Joined = AddTrailingBackslash(BaseFolder) + Path;
    // The leading pair of a network path is part of its name, not a doubled separator.
    if (Joined.compare(0, 2, "\\\\") == 0)
        return "\\" + RemoveDoubleBackslashes(Joined.substr(1));
    return RemoveDoubleBackslashes(Joined);
}

std::string SystemFolder() {
    char Buf[MAX_PATH + 1] = {};
    GetSystemDirectoryA(Buf, sizeof Buf);
    return AddTrailingBackslash(Buf);
}

// ---------------------------------------------------------------------------------------------
// Registry

void WriteRegistryString(HKEY Root, const std::string& Key, const std::string& Name, const std::string& Value) {
    TOwned<TRegistry> Reg(Create<TRegistry>());
    Reg->SetRootKey(Root);
    if (!Reg->OpenKey(Key, true))
        throw ERegistryException(RegConsts::SRegOpenFailed, {Key});
    Reg->WriteString(Name, Value);
}

void AutoExecKey(TabfAutoExecKind Kind, HKEY& Root, std::string& Key) {
    Root = Kind == aekUserRun || Kind == aekUserRunOnce ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    Key = "Software\\Microsoft\\Windows\\CurrentVersion\\";
    switch (Kind) {
    case aekMachineRun:
    case aekUserRun: Key += "Run"; break;
    case aekMachineRunOnce:
    case aekUserRunOnce: Key += "RunOnce"; break;
    case aekServiceRun: Key += "RunServices"; break;
    case aekServiceRunOnce: Key += "RunServicesOnce"; break;
    }
}

namespace {
bool IsServiceKind(TabfAutoExecKind Kind) { return Kind == aekServiceRun || Kind == aekServiceRunOnce; }
}  // namespace

bool RegisterAutoExec(TabfAutoExecKind Kind, const std::string& FileName) {
    if (IsServiceKind(Kind) && IsWinNT)
        return false;
    HKEY Root;
    std::string Key;
    AutoExecKey(Kind, Root, Key);
    try {
        WriteRegistryString(Root, Key, FileNameOf(FileName), FileName);
        return true;
    } catch (...) {
        return false;
    }
}

bool UnregisterAutoExec(TabfAutoExecKind Kind, const std::string& FileName) {
    if (IsServiceKind(Kind) && IsWinNT)
        return false;
    HKEY Root;
    std::string Key;
    AutoExecKey(Kind, Root, Key);
    TOwned<TRegistry> Reg(Create<TRegistry>());
    Reg->SetRootKey(Root);
    if (!Reg->OpenKey(Key, false))
        return false;
    std::string Name = FileNameOf(FileName);
    return Reg->ValueExists(Name) ? Reg->DeleteValue(Name) : true;
}

namespace {
LONG AskForChange(HANDLE Event, const TabfRegistryNotifyRequest& Request) {
    return RegNotifyChangeKeyValue(Request.Key, Request.WatchSubTree, Request.Filter, Event, TRUE);
}
}  // namespace

HANDLE StartRegistryNotification(HKEY Key, bool WatchSubTree, DWORD Filter, TabfRegistryNotifyRequest& Request) {
    Request.Key = Key;
    Request.WatchSubTree = WatchSubTree;
    Request.Filter = Filter;
    HANDLE Event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!Event)
        return INVALID_HANDLE_VALUE;
    LONG Code = AskForChange(Event, Request);
    if (Code == ERROR_SUCCESS && WaitForSingleObject(Event, 0) == WAIT_OBJECT_0) {
        ResetEvent(Event);
        Code = AskForChange(Event, Request);
    }
    if (Code != ERROR_SUCCESS) {
        CloseHandle(Event);
        SetLastError(static_cast<DWORD>(Code));
        return INVALID_HANDLE_VALUE;
    }
    return Event;
}

bool RearmRegistryNotification(HANDLE Event, const TabfRegistryNotifyRequest& Request) {
    if (Event == INVALID_HANDLE_VALUE || !Event || !ResetEvent(Event))
        return false;
    LONG Code = AskForChange(Event, Request);
    if (Code != ERROR_SUCCESS) {
        SetLastError(static_cast<DWORD>(Code));
        return false;
    }
    return true;
}

void CloseNotificationHandle(HANDLE Handle) {
    if (Handle != INVALID_HANDLE_VALUE && Handle)
        CloseHandle(Handle);
}

// ---------------------------------------------------------------------------------------------
// Classes

void RegisterClassSafe(TClass AClass) {
    if (!AClass)
        return;
    try {
        if (!GetClass(AClass->ClassName()))
            RegisterClass(AClass);
    } catch (...) {
        // A class that cannot be registered only stays unknown to form streaming.
    }
}

void RegisterClassesSafe(std::initializer_list<TClass> Classes) {
    for (TClass C : Classes)
        RegisterClassSafe(C);
}

// ---------------------------------------------------------------------------------------------

void abfSysUtilsInitialization() {
    IsWinNT = Win32Platform == VER_PLATFORM_WIN32_NT;
    IsNewShell = IsWinNT && Win32MajorVersion != 3 && Win32MajorVersion != 4;
}

void abfSysUtilsFinalization() {}
