// INI files: the common interface TCustomIniFile, TIniFile over the system's profile functions,
// TMemIniFile in memory (written by UpdateFile) and TRegistryIniFile over a registry key.
#pragma once

#include "Lists.h"
#include "Registry.h"
#include "SysUtils.h"

#include <memory>
#include <string>
#include <vector>

DECLARE_EXCEPTION(EIniFileException, Exception);

namespace IniConsts {
inline constexpr const char* SIniFileWriteError = "Unable to write to %s";
}

// The typed reads and writes go through ReadString / WriteString: integers in decimal (a value of
// more than two characters starting "0x" or "0X" reads as hexadecimal), Booleans as "1" / "0"
// (any integer but 0 reads as true), floats and dates in the user's settings. A value that does not
// convert reads as the default.
class TCustomIniFile : public TObject {
    DECLARE_CLASS(TCustomIniFile, TObject)
public:
    explicit TCustomIniFile(std::string FileName) : FFileName(std::move(FileName)) {}
    const std::string& FileName() const { return FFileName; }

    virtual std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) = 0;
    virtual void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) = 0;
    virtual LongInt ReadInteger(const std::string& Section, const std::string& Ident, LongInt Default);
    virtual void WriteInteger(const std::string& Section, const std::string& Ident, LongInt Value);
    virtual bool ReadBool(const std::string& Section, const std::string& Ident, bool Default);
    virtual void WriteBool(const std::string& Section, const std::string& Ident, bool Value);
    virtual double ReadFloat(const std::string& Section, const std::string& Ident, double Default);
    virtual void WriteFloat(const std::string& Section, const std::string& Ident, double Value);
    virtual TDateTime ReadDate(const std::string& Section, const std::string& Ident, TDateTime Default);
    virtual void WriteDate(const std::string& Section, const std::string& Ident, TDateTime Value);
    virtual TDateTime ReadDateTime(const std::string& Section, const std::string& Ident, TDateTime Default);
    virtual void WriteDateTime(const std::string& Section, const std::string& Ident, TDateTime Value);
    virtual TDateTime ReadTime(const std::string& Section, const std::string& Ident, TDateTime Default);
    virtual void WriteTime(const std::string& Section, const std::string& Ident, TDateTime Value);

    // Fill Strings (cleared first): a section's keys, the sections, a section's "key=value" lines.
    virtual void ReadSection(const std::string& Section, TStrings* Strings) = 0;
    virtual void ReadSections(TStrings* Strings) = 0;
    virtual void ReadSectionValues(const std::string& Section, TStrings* Strings) = 0;
    virtual void EraseSection(const std::string& Section) = 0;
    virtual void DeleteKey(const std::string& Section, const std::string& Ident) = 0;
    virtual void UpdateFile() = 0;
    bool SectionExists(const std::string& Section);
    virtual bool ValueExists(const std::string& Section, const std::string& Ident);

protected:
    void SetFileName(std::string Value) { FFileName = std::move(Value); }

private:
    std::string FFileName;
};

// Over the system's profile functions (GetPrivateProfileString ...): every call reads or writes
// the file; quotes around a value are removed on reading.
class TIniFile : public TCustomIniFile {
    DECLARE_CLASS(TIniFile, TCustomIniFile)
public:
    using TCustomIniFile::TCustomIniFile;
    std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) override;
    // Raises EIniFileException "Unable to write to %s" when the system refuses.
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
    void ReadSection(const std::string& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void ReadSectionValues(const std::string& Section, TStrings* Strings) override;
    void EraseSection(const std::string& Section) override;
    void DeleteKey(const std::string& Section, const std::string& Ident) override;
    void UpdateFile() override;  // flushes the system's cache of the file
};

// The whole file in memory: read at construction (when the file exists), written by UpdateFile.
// Section and key names are compared without regard to case; sections and keys keep the file's
// order. A section header met again adds its keys to the first one. Values are kept as written
// (blanks around names and values trimmed, quotes kept).
class TMemIniFile : public TCustomIniFile {
    DECLARE_CLASS(TMemIniFile, TCustomIniFile)
public:
    explicit TMemIniFile(std::string FileName);
    ~TMemIniFile() override;
    std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) override;
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
    void ReadSection(const std::string& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void ReadSectionValues(const std::string& Section, TStrings* Strings) override;
    void EraseSection(const std::string& Section) override;
    void DeleteKey(const std::string& Section, const std::string& Ident) override;
    // Writes the text of GetStrings to FileName.
    void UpdateFile() override;
    void Clear();
    // The contents as lines: "[section]", its "key=value" lines, an empty line after each section.
    void GetStrings(TStrings* List);
    // Replaces the contents by the lines of an INI text (comments ";" and lines before the first
    // section are skipped).
    void SetStrings(TStrings* List);
    // Another file name; with Reload the contents are read from it.
    void Rename(const std::string& FileName, bool Reload);

private:
    TStringList* Section(const std::string& Name, bool Create);
    void LoadValues();
    TStringList FSections;  // names, each with its TStringList of "key=value" lines as the object
};

// A TCustomIniFile over a registry key (TRegIniFile): sections are subkeys, integers REG_DWORD.
class TRegistryIniFile : public TCustomIniFile {
    DECLARE_CLASS(TRegistryIniFile, TCustomIniFile)
public:
    explicit TRegistryIniFile(const std::string& FileName, REGSAM AAccess = KEY_ALL_ACCESS);
    TRegIniFile& RegIniFile() { return FRegIniFile; }
    std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) override;
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
    LongInt ReadInteger(const std::string& Section, const std::string& Ident, LongInt Default) override;
    void WriteInteger(const std::string& Section, const std::string& Ident, LongInt Value) override;
    void ReadSection(const std::string& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void ReadSectionValues(const std::string& Section, TStrings* Strings) override;
    void EraseSection(const std::string& Section) override;
    void DeleteKey(const std::string& Section, const std::string& Ident) override;
    void UpdateFile() override {}
    bool ValueExists(const std::string& Section, const std::string& Ident) override;

private:
    TRegIniFile FRegIniFile;
};
