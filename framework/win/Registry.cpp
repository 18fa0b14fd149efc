#include "Registry.h"

#include <cstring>

using namespace RegConsts;

namespace {
bool IsRelative(const std::string& Key) { return Key.empty() || Key[0] != '\\'; }
std::string WithoutRoot(const std::string& Key) { return IsRelative(Key) ? Key : Key.substr(1); }
}  // namespace

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::GetNames(TStrings* Strings, bool (*Enum)(HKEY Key, DWORD Index, char* Buf, DWORD* Len)) {
    TUpdateGuard Update(Strings);
    Strings->Clear();
    if (!FCurrentKey)
        return;
    char Buf[16384];  // the longest name the registry allows, and its NUL
    for (DWORD I = 0;; ++I) {
        DWORD Len = sizeof Buf;
        if (!Enum(FCurrentKey, I, Buf, &Len))
            break;
        Strings->Add(std::string(Buf, Len));
    }
}

void TRegistry::SetRootKey(HKEY Value) {
    if (FRootKey == Value)
        return;
    FRootKey = Value;
    CloseKey();
}

void TRegistry::ChangeKey(HKEY Value, const std::string& Path) {
    CloseKey();
    FCurrentKey = Value;
    FCurrentPath = Path;
}

void TRegistry::CloseKey() {
    if (FCurrentKey) {
        RegCloseKey(FCurrentKey);
        FCurrentKey = nullptr;
        FCurrentPath.clear();
    }
}

bool TRegistry::Open(const std::string& Key, bool CanCreate, REGSAM AAccess) {
    HKEY Temp = OpenSubKey(Key, CanCreate, AAccess);
    if (!Temp)
        return false;
    std::string Path = WithoutRoot(Key);
    if (FCurrentKey && IsRelative(Key))
        Path = FCurrentPath + "\\" + Path;
    ChangeKey(Temp, Path);
    return true;
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) {
    return Open(Key, CanCreate && !WithoutRoot(Key).empty(), FAccess);
}

bool TRegistry::OpenKeyReadOnly(const std::string& Key) {
    if (!Open(Key, false, KEY_READ))
        return false;
    FAccess = KEY_READ;
    return true;
}

HKEY TRegistry::OpenSubKey(const std::string& Key, bool CanCreate, REGSAM AAccess) {
    std::string S = WithoutRoot(Key);
    HKEY Base = BaseKey(IsRelative(Key));
    HKEY Temp = nullptr;
    LONG R = CanCreate ? RegCreateKeyExA(Base, S.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, AAccess, nullptr, &Temp,
                                         nullptr)
                       : RegOpenKeyExA(Base, S.c_str(), 0, AAccess, &Temp);
    return R == ERROR_SUCCESS ? Temp : nullptr;
}

bool TRegistry::CreateKey(const std::string& Key) {
    HKEY Temp = OpenSubKey(Key, true, FAccess);
    if (!Temp)
        throw ERegistryException(SRegCreateFailed, {Key});
    RegCloseKey(Temp);
    return true;
}

bool TRegistry::DeleteKey(const std::string& Key) {
    HKEY Old = FCurrentKey;
    // Empty the key first: the platform deletes only keys without subkeys.
    if (HKEY Temp = OpenSubKey(Key, false, KEY_READ | KEY_WRITE)) {
        FCurrentKey = Temp;
        TStringList Names;
        GetKeyNames(&Names);
        for (int I = 0; I < Names.Count(); ++I)
            DeleteKey(Names[I]);
        FCurrentKey = Old;
        RegCloseKey(Temp);
    }
    return RegDeleteKeyA(BaseKey(IsRelative(Key)), WithoutRoot(Key).c_str()) == ERROR_SUCCESS;
}

bool TRegistry::KeyExists(const std::string& Key) {
    HKEY Temp = OpenSubKey(Key, false, STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS);
    if (!Temp)
        return false;
    RegCloseKey(Temp);
    return true;
}

bool TRegistry::HasSubKeys() {
    DWORD SubKeys = 0;
    return RegQueryInfoKeyA(BaseKey(true), nullptr, nullptr, nullptr, &SubKeys, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           SubKeys > 0;
}

bool TRegistry::ValueExists(const std::string& Name) {
    return RegQueryValueExA(BaseKey(true), Name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool TRegistry::DeleteValue(const std::string& Name) {
    return RegDeleteValueA(BaseKey(true), Name.c_str()) == ERROR_SUCCESS;
}

TRegDataType TRegistry::GetDataType(const std::string& Name) {
    DWORD Type = 0;
    if (RegQueryValueExA(BaseKey(true), Name.c_str(), nullptr, &Type, nullptr, nullptr) != ERROR_SUCCESS)
        return rdUnknown;
    switch (Type) {
    case REG_SZ:
        return rdString;
    case REG_EXPAND_SZ:
        return rdExpandString;
    case REG_DWORD:
        return rdInteger;
    case REG_BINARY:
        return rdBinary;
    default:
        return rdUnknown;
    }
}

void TRegistry::GetKeyNames(TStrings* Strings) {
    GetNames(Strings, [](HKEY Key, DWORD I, char* Buf, DWORD* Len) {
        return RegEnumKeyExA(Key, I, Buf, Len, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    });
}

void TRegistry::GetValueNames(TStrings* Strings) {
    GetNames(Strings, [](HKEY Key, DWORD I, char* Buf, DWORD* Len) {
        return RegEnumValueA(Key, I, Buf, Len, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    });
}

bool TRegistry::QueryValue(const std::string& Name, DWORD& Type, std::string& Data) {
    HKEY Key = BaseKey(true);
    // Most values are short: one request reads them whole; a longer one reports its size.
    BYTE Small[256];
    DWORD Size = sizeof Small;
    LONG First = RegQueryValueExA(Key, Name.c_str(), nullptr, &Type, Small, &Size);
    if (First == ERROR_SUCCESS) {
        Data.assign(reinterpret_cast<const char*>(Small), Size);
        return true;
    }
    if (First != ERROR_MORE_DATA)
        return false;
    // The value may grow between the two calls: ask again with the size the system reports.
    for (int Attempt = 0; Attempt < 4; ++Attempt) {
        Data.assign(Size, '\0');
        LONG R = RegQueryValueExA(Key, Name.c_str(), nullptr, &Type, reinterpret_cast<BYTE*>(Data.data()), &Size);
        if (R == ERROR_SUCCESS) {
            Data.resize(Size);
            return true;
        }
        if (R != ERROR_MORE_DATA)
            return false;
    }
    return false;
}

std::string TRegistry::ReadString(const std::string& Name) {
    DWORD Type = 0;
    std::string Data;
    if (!QueryValue(Name, Type, Data) || Data.empty())
        return {};
    if (Type != REG_SZ && Type != REG_EXPAND_SZ)
        throw ERegistryException(SInvalidRegType, {Name});
    size_t End = Data.find('\0');
    return End == std::string::npos ? Data : Data.substr(0, End);
}

LongInt TRegistry::ReadInteger(const std::string& Name) {
    DWORD Type = 0;
    std::string Data;
    if (!QueryValue(Name, Type, Data))
        throw ERegistryException(SRegGetDataFailed, {Name});
    if (Type != REG_DWORD || Data.size() != sizeof(DWORD))
        throw ERegistryException(SInvalidRegType, {Name});
    LongInt V;
    std::memcpy(&V, Data.data(), sizeof V);
    return V;
}

void TRegistry::PutData(const std::string& Name, DWORD Type, const void* Data, DWORD Size) {
    if (RegSetValueExA(BaseKey(true), Name.c_str(), 0, Type, static_cast<const BYTE*>(Data), Size) != ERROR_SUCCESS)
        throw ERegistryException(SRegSetDataFailed, {Name});
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
    PutData(Name, REG_SZ, Value.c_str(), static_cast<DWORD>(Value.size() + 1));
}

void TRegistry::WriteExpandString(const std::string& Name, const std::string& Value) {
    PutData(Name, REG_EXPAND_SZ, Value.c_str(), static_cast<DWORD>(Value.size() + 1));
}

void TRegistry::WriteInteger(const std::string& Name, LongInt Value) { PutData(Name, REG_DWORD, &Value, sizeof Value); }

// ---------------------------------------------------------------------------------------------
// TRegIniFile

TRegIniFile::TRegIniFile(const std::string& FileName, REGSAM AAccess) : TRegistry(AAccess), FFileName(FileName) {
    OpenKey(FileName, true);
}

std::string TRegIniFile::ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) {
    std::string Result = Default;
    InSection(Section, false, [&] {
        if (ValueExists(Ident))
            Result = TRegistry::ReadString(Ident);
    });
    return Result;
}

void TRegIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
    if (!InSection(Section, true, [&] { TRegistry::WriteString(Ident, Value); }))
        throw ERegistryException(SRegCreateFailed, {Section});
}

LongInt TRegIniFile::ReadInteger(const std::string& Section, const std::string& Ident, LongInt Default) {
    LongInt Result = Default;
    InSection(Section, false, [&] {
        if (!ValueExists(Ident))
            return;
        if (GetDataType(Ident) == rdInteger)
            Result = TRegistry::ReadInteger(Ident);
        else
            Result = StrToIntDef(TRegistry::ReadString(Ident), Default);
    });
    return Result;
}

void TRegIniFile::WriteInteger(const std::string& Section, const std::string& Ident, LongInt Value) {
    WriteString(Section, Ident, IntToStr(Value));
}

bool TRegIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TRegIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
    WriteString(Section, Ident, Value ? "1" : "0");
}

void TRegIniFile::ReadSection(const std::string& Section, TStrings* Strings) {
    if (!InSection(Section, false, [&] { GetValueNames(Strings); }))
        Strings->Clear();
}

void TRegIniFile::ReadSections(TStrings* Strings) { GetKeyNames(Strings); }

void TRegIniFile::ReadSectionValues(const std::string& Section, TStrings* Strings) {
    TUpdateGuard Update(Strings);
    Strings->Clear();
    InSection(Section, false, [&] {
        TStringList Names;
        GetValueNames(&Names);
        for (int I = 0; I < Names.Count(); ++I) {
            std::string Value = GetDataType(Names[I]) == rdInteger ? IntToStr(TRegistry::ReadInteger(Names[I]))
                                                                   : TRegistry::ReadString(Names[I]);
            Strings->Add(Names[I] + "=" + Value);
        }
    });
}

void TRegIniFile::EraseSection(const std::string& Section) { TRegistry::DeleteKey(Section); }

void TRegIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
    InSection(Section, false, [&] { DeleteValue(Ident); });
}
