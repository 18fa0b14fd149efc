// Lists of UTF-16 strings with an object per string: the abstract list and the concrete list that
// can keep itself sorted and ignore, accept or refuse duplicates; plus the comparison of UTF-16
// texts by full case folding that the update archives use to find entries by name.
#pragma once

#include "Classes.h"
#include "Lists.h"

#include <functional>
#include <string>
#include <vector>

// LoadFromStream / SaveToStream modes: bit 0 = 8-bit text in the system code page; bit 1 = write
// the byte-order signature before UTF-16 text.
inline constexpr int JclWideStringsAnsiMode = 1;
inline constexpr int JclWideStringsSignatureMode = 2;

class TJclWideStrings : public TPersistent {
    DECLARE_CLASS(TJclWideStrings, TPersistent)
public:
    TJclWideStrings();

    wchar_t Delimiter = L',';
    wchar_t QuoteChar = L'"';
    wchar_t NameValueSeparator = L'=';
    std::wstring LineSeparator = L"\r\n";

    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler& Filer) override;

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    int Count() { return GetCount(); }
    std::wstring Strings(int Index) { return Get(Index); }
    void SetStrings(int Index, const std::wstring& S) { Put(Index, S); }
    TObject* Objects(int Index) { return GetObject(Index); }
    void SetObjects(int Index, TObject* O) { PutObject(Index, O); }
    std::wstring Text() { return GetTextStr(); }
    void SetText(const std::wstring& Value) { SetTextStr(Value); }
    // The name part of item Index: up to the first name-value separator, or the whole string.
    std::wstring GetName(int Index);
    bool Equals(TJclWideStrings* Other);

    virtual std::wstring Get(int Index) = 0;
    virtual int GetCapacity() { return GetCount(); }
    virtual int GetCount() = 0;
    virtual TObject* GetObject(int Index);
    virtual std::wstring GetTextStr();
    virtual void Put(int Index, const std::wstring& S) = 0;
    virtual void PutObject(int Index, TObject* AObject) = 0;
    virtual void SetCapacity(int) {}
    virtual void SetTextStr(const std::wstring& Value);
    virtual void SetUpdateState(bool) {}
    virtual int CompareStrings(const std::wstring& S1, const std::wstring& S2);
    virtual int Add(const std::wstring& S);
    virtual int AddObject(const std::wstring& S, TObject* AObject);
    virtual void AddStrings(TJclWideStrings* Strings);
    virtual void AddAnsiStrings(TStrings* Strings);
    virtual void AppendToAnsiStrings(TStrings* Strings);
    virtual void Clear() = 0;
    virtual void Delete(int Index) = 0;
    virtual void Exchange(int Index1, int Index2);
    // A new zero-terminated copy of the text; free it with FreeTextBuffer.
    virtual wchar_t* GetTextBuffer();
    virtual int IndexOf(const std::wstring& S);
    virtual int IndexOfName(const std::wstring& Name);
    virtual int IndexOfObject(TObject* AObject);
    virtual void Insert(int Index, const std::wstring& S);
    virtual void InsertObject(int Index, const std::wstring& S, TObject* AObject);
    virtual void LoadFromFile(const std::string& FileName, int Mode = 0);
    virtual void LoadFromStream(TStream* Stream, int Mode = 0);
    virtual void Move(int CurIndex, int NewIndex);
    virtual void SaveToFile(const std::string& FileName, int Mode = 0);
    virtual void SaveToStream(TStream* Stream, int Mode = 0);
    virtual void SetText(const wchar_t* Text);

    static void FreeTextBuffer(wchar_t* Buffer);

protected:
    void AssignTo(TPersistent* Dest) override;

private:
    int FUpdateCount = 0;
};

class TJclWideStringList;
using TJclWideStringListSortCompare = std::function<int(TJclWideStringList* List, int Index1, int Index2)>;

class TJclWideStringList : public TJclWideStrings {
    DECLARE_CLASS(TJclWideStringList, TJclWideStrings)
public:
    TJclWideStringList() = default;
    ~TJclWideStringList() override;

    std::wstring Get(int Index) override;
    int GetCapacity() override { return static_cast<int>(FList.capacity()); }
    int GetCount() override { return static_cast<int>(FList.size()); }
    TObject* GetObject(int Index) override;
    void Put(int Index, const std::wstring& S) override;
    void PutObject(int Index, TObject* AObject) override;
    void SetCapacity(int NewCapacity) override;
    void SetUpdateState(bool Updating) override;
    int CompareStrings(const std::wstring& S1, const std::wstring& S2) override;
    int AddObject(const std::wstring& S, TObject* AObject) override;
    void Clear() override;
    void Delete(int Index) override;
    void Exchange(int Index1, int Index2) override;
    int IndexOf(const std::wstring& S) override;
    void InsertObject(int Index, const std::wstring& S, TObject* AObject) override;

    virtual void Changed();
    virtual void Changing();
    virtual bool Find(const std::wstring& S, int& Index);
    virtual void Sort();
    virtual void CustomSort(const TJclWideStringListSortCompare& Compare);

    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value);

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

private:
    struct TItem {
        std::wstring S;
        TObject* Object = nullptr;
    };
    TItem& Item(int Index);
    // Changing/Changed around one change, only outside an update bracket.
    template <class F>
    void Change(F&& Body);

    std::vector<TItem*> FList;
    bool FSorted = false;
    TDuplicates FDuplicates = dupIgnore;
    bool FCaseSensitive = false;
};

// Comparison without regard to case of the user's locale (result < 0, 0, > 0).
int WideCompareLocale(const std::wstring& S1, const std::wstring& S2, bool CaseSensitive);

// Full case folding of both texts, then code point order (surrogates after the private use area).
int CompareFolded(const std::wstring& A, const std::wstring& B);
// Same length and equal when folded: 'Backup.7Z' and 'backup.7z', but never 'STRASSE' and 'straße'.
bool SameTextFolded(const std::wstring& A, const std::wstring& B);

// Unit start-up and shut-down: the unit's version banner.
void JclWideStringsInitialization();
void JclWideStringsFinalization();
