// The registry classes: TRegistry (one open key under a root key) and TRegIniFile (sections as
// subkeys of its key, values as text).
#pragma once

#include "Lists.h"
#include "SysUtils.h"

#include <string>

namespace RegConsts {
inline constexpr const char* SRegCreateFailed = "Failed to create key %s";
inline constexpr const char* SRegGetDataFailed = "Failed to get data for '%s'";
inline constexpr const char* SRegSetDataFailed = "Failed to set data for '%s'";
inline constexpr const char* SInvalidRegType = "Invalid data type for '%s'";
inline constexpr const char* SRegOpenFailed = "Unable to open the %s key";
}  // namespace RegConsts

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

// A key path starting with "\" starts at RootKey, any other at the open key (or at RootKey when none
// is open). Opening fails quietly (false); reading and writing values raise ERegistryException.
class TRegistry : public TObject {
    DECLARE_CLASS(TRegistry, TObject)
public:
    TRegistry() = default;
    explicit TRegistry(REGSAM AAccess) : FAccess(AAccess) {}
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;
    ~TRegistry() override;

    HKEY RootKey() const { return FRootKey; }
    void SetRootKey(HKEY Value);  // closes the open key
    REGSAM Access() const { return FAccess; }
    void SetAccess(REGSAM Value) { FAccess = Value; }
    HKEY CurrentKey() const { return FCurrentKey; }
    const std::string& CurrentPath() const { return FCurrentPath; }

    bool OpenKey(const std::string& Key, bool CanCreate);
    // Opens with read access only (KEY_READ), which also stays the access for later keys.
    bool OpenKeyReadOnly(const std::string& Key);
    void CloseKey();
    // Creates a key (without opening it); raises "Failed to create key %s" when that fails.
    bool CreateKey(const std::string& Key);
    // Deletes a key with all its subkeys; false when it cannot.
    bool DeleteKey(const std::string& Key);
    bool KeyExists(const std::string& Key);
    bool HasSubKeys();
    bool ValueExists(const std::string& Name);
    bool DeleteValue(const std::string& Name);
    TRegDataType GetDataType(const std::string& Name);
    // Clear the list, then the names of the open key's subkeys / values.
    void GetKeyNames(TStrings* Strings);
    void GetValueNames(TStrings* Strings);

    // A missing value reads as ""; a value that is no string raises "Invalid data type for '%s'".
    std::string ReadString(const std::string& Name);
    void WriteString(const std::string& Name, const std::string& Value);            // REG_SZ
    void WriteExpandString(const std::string& Name, const std::string& Value);      // REG_EXPAND_SZ
    // A missing value raises "Failed to get data for '%s'", one that is no REG_DWORD "Invalid data
    // type for '%s'".
    LongInt ReadInteger(const std::string& Name);
    void WriteInteger(const std::string& Name, LongInt Value);  // REG_DWORD
    bool ReadBool(const std::string& Name) { return ReadInteger(Name) != 0; }
    void WriteBool(const std::string& Name, bool Value) { WriteInteger(Name, Value ? 1 : 0); }

protected:
    // The open key, or RootKey, as the base of a relative path.
    HKEY BaseKey(bool Relative) const { return FCurrentKey && Relative ? FCurrentKey : FRootKey; }
    // A subkey of the open key opened for the call; 0 when it cannot be opened.
    HKEY OpenSubKey(const std::string& Key, bool CanCreate, REGSAM AAccess);
    void SetCurrentKey(HKEY Value) { FCurrentKey = Value; }

private:
    bool Open(const std::string& Key, bool CanCreate, REGSAM AAccess);
    void ChangeKey(HKEY Value, const std::string& Path);
    // Clears Strings, then adds the names Enum gives for the open key, in the system's order.
    void GetNames(TStrings* Strings, bool (*Enum)(HKEY Key, DWORD Index, char* Buf, DWORD* Len));
    bool QueryValue(const std::string& Name, DWORD& Type, std::string& Data);
    void PutData(const std::string& Name, DWORD Type, const void* Data, DWORD Size);

    HKEY FRootKey = HKEY_CURRENT_USER;
    HKEY FCurrentKey = nullptr;
    std::string FCurrentPath;
    REGSAM FAccess = KEY_ALL_ACCESS;
};

// An INI-like view of a key: sections are subkeys of the key opened at construction ("" = the
// root), values are text (integers in decimal, Booleans "1" and "0").
class TRegIniFile : public TRegistry {
    DECLARE_CLASS(TRegIniFile, TRegistry)
public:
    explicit TRegIniFile(const std::string& FileName, REGSAM AAccess = KEY_ALL_ACCESS);
    const std::string& FileName() const { return FFileName; }

    std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default);
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value);
    // Text values in decimal (or "$" hexadecimal); a REG_DWORD value is read as it is.
    LongInt ReadInteger(const std::string& Section, const std::string& Ident, LongInt Default);
    void WriteInteger(const std::string& Section, const std::string& Ident, LongInt Value);
    bool ReadBool(const std::string& Section, const std::string& Ident, bool Default);
    void WriteBool(const std::string& Section, const std::string& Ident, bool Value);
    void ReadSection(const std::string& Section, TStrings* Strings);        // value names
    void ReadSections(TStrings* Strings);                                   // subkey names
    void ReadSectionValues(const std::string& Section, TStrings* Strings);  // "name=value"
    void EraseSection(const std::string& Section);                          // deletes the subkey
    void DeleteKey(const std::string& Section, const std::string& Ident);   // deletes the value

    using TRegistry::DeleteKey;
    using TRegistry::ReadBool;
    using TRegistry::ReadInteger;
    using TRegistry::ReadString;
    using TRegistry::WriteBool;
    using TRegistry::WriteInteger;
    using TRegistry::WriteString;

protected:
    // Runs Body with the section's key as the open key (the current key for ""); gives false
    // without running it when the key cannot be opened.
    template <class F>
    bool InSection(const std::string& Section, bool CanCreate, F Body);

private:
    friend class TRegistryIniFile;
    std::string FFileName;
};

template <class F>
bool TRegIniFile::InSection(const std::string& Section, bool CanCreate, F Body) {
    if (Section.empty()) {
        Body();
        return true;
    }
    HKEY Key = OpenSubKey(Section, CanCreate, Access());
    if (!Key && !CanCreate)
        Key = OpenSubKey(Section, false, KEY_READ);  // enough for reading where writing is not allowed
    if (!Key)
        return false;
    HKEY Old = CurrentKey();
    SetCurrentKey(Key);
    try {
        Body();
    } catch (...) {
        SetCurrentKey(Old);
        RegCloseKey(Key);
        throw;
    }
    SetCurrentKey(Old);
    RegCloseKey(Key);
    return true;
}
