// Delimited fields of translation entries and the in-memory INI store the translation files are read
// and written through.
//
// An entry is key, D, value of language 1, D, value of language 2, D ...: field 0 is the key and
// field n the value of language n.
#pragma once

#include "Classes.h"
#include "Lists.h"

#include <string>
#include <string_view>

// Field Index of Text: the key for 0, otherwise the text after the Index-th delimiter up to the next
// one or the end (a last field needs no closing delimiter); "" when there are fewer delimiters.
std::string ExtractDelimitedField(std::string_view Text, char Delimiter, int Index);
// The UTF-16 twin: field n is the text before the (n+1)-th delimiter, so an unclosed last field is "".
std::wstring ExtractDelimitedFieldW(std::wstring_view Text, wchar_t Delimiter, int Index);
// 1-based position of the first exact occurrence of Pattern in Text, 0 when none; 1 for an empty
// Pattern.
int FindSubstring(std::string_view Pattern, std::string_view Text);

// ---------------------------------------------------------------------------------------------
// INI interface

class TsiCustomIniFile : public TObject {
    DECLARE_CLASS(TsiCustomIniFile, TObject)
public:
    explicit TsiCustomIniFile(const std::string& AIniFileName) : FIniFileName(AIniFileName) {}
    const std::string& IniFileName() const { return FIniFileName; }

    virtual std::string GetValue(const std::string& Section, const std::string& Key, const std::string& Default) = 0;
    virtual void SetValue(const std::string& Section, const std::string& Key, const std::string& Value) = 0;
    // "0x1F" reads as hexadecimal like "$1F"; unreadable text gives Default.
    virtual LongInt GetIntValue(const std::string& Section, const std::string& Key, LongInt Default);
    virtual void SetIntValue(const std::string& Section, const std::string& Key, LongInt Value);
    // Any integer but 0 is true; "1" and "0" are written.
    virtual bool GetBoolValue(const std::string& Section, const std::string& Key, bool Default);
    virtual void SetBoolValue(const std::string& Section, const std::string& Key, bool Value);
    // Locale texts (short date, date and time, decimal separator, long time); empty or unreadable
    // text gives Default.
    virtual TDateTime GetDateValue(const std::string& Section, const std::string& Key, TDateTime Default);
    virtual TDateTime GetDateTimeValue(const std::string& Section, const std::string& Key, TDateTime Default);
    virtual double GetFloatValue(const std::string& Section, const std::string& Key, double Default);
    virtual TDateTime GetTimeValue(const std::string& Section, const std::string& Key, TDateTime Default);
    virtual void SetDateValue(const std::string& Section, const std::string& Key, TDateTime Value);
    virtual void SetDateTimeValue(const std::string& Section, const std::string& Key, TDateTime Value);
    virtual void SetFloatValue(const std::string& Section, const std::string& Key, double Value);
    virtual void SetTimeValue(const std::string& Section, const std::string& Key, TDateTime Value);
    virtual void GetSectionKeys(const std::string& Section, TStrings* Strings) = 0;
    virtual void GetSectionNames(TStrings* Strings) = 0;
    virtual void GetSectionValues(const std::string& Section, TStrings* Strings) = 0;
    virtual void RemoveSection(const std::string& Section) = 0;
    virtual void RemoveKey(const std::string& Section, const std::string& Key) = 0;
    virtual void Flush() = 0;

    // A section without keys counts as absent.
    bool HasSection(const std::string& Section);

private:
    std::string FIniFileName;
};

// ---------------------------------------------------------------------------------------------
// In-memory store

class TMemIniValue : public TObject {
    DECLARE_CLASS(TMemIniValue, TObject)
public:
    explicit TMemIniValue(const std::string& AValue) : Value(AValue) {}
    std::string Value;
};

// One section: its keys sorted without regard to case, equal keys kept (the later line first), each
// owning its value.
class TMemIniEntry : public TPersistent {
    DECLARE_CLASS(TMemIniEntry, TPersistent)
public:
    TMemIniEntry();
    ~TMemIniEntry() override;

    TStringList* Keys() const { return FKeys; }
    TMemIniValue* Values(int Index) const { return static_cast<TMemIniValue*>(FKeys->Objects(Index)); }
    // The first key equal to Key in sorted order, or -1.
    int IndexOfKey(const std::string& Key) const;
    void AddKey(const std::string& Key, const std::string& Value);
    void DeleteKey(int Index);

private:
    TStringList* FKeys;
};

class TsiMemIniFile : public TsiCustomIniFile {
    DECLARE_CLASS(TsiMemIniFile, TsiCustomIniFile)
public:
    // Reads the file when the name is given and the file exists; otherwise starts empty.
    explicit TsiMemIniFile(const std::string& AIniFileName);
    ~TsiMemIniFile() override;

    void FromLines(TStrings* Strings);
    void ToLines(TStrings* Strings);
    void ReadFromStream(TStream* Stream);
    void ClearAll();
    // The section of that name; a name already present gives the existing section.
    TMemIniEntry* AddSection(const std::string& Name);

    std::string GetValue(const std::string& Section, const std::string& Key, const std::string& Default) override;
    // The key is parsed like a file line, so a "=" in it moves the rest into the value.
    void SetValue(const std::string& Section, const std::string& Key, const std::string& Value) override;
    void GetSectionKeys(const std::string& Section, TStrings* Strings) override;
    void GetSectionNames(TStrings* Strings) override;
    void GetSectionValues(const std::string& Section, TStrings* Strings) override;
    void RemoveSection(const std::string& Section) override;
    void RemoveKey(const std::string& Section, const std::string& Key) override;
    void Flush() override;

private:
    TMemIniEntry* FindSection(const std::string& Name) const;
    static void AddKeyLine(TMemIniEntry* Section, const std::string& Line);

    TStringList* FSections;
};
