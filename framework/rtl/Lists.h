// Lists of the Classes unit: pointer lists (TList, TObjectList, TClassList, TThreadList) and string
// lists (the abstract TStrings and TStringList). Indexes count from 0; a bad index raises EListError
// "List index out of bounds (%d)" (EStringListError for the string lists).
#pragma once

#include "Classes.h"
#include "SysUtils.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

enum TDuplicates { dupIgnore, dupAccept, dupError };

// ---------------------------------------------------------------------------------------------
// Pointer lists

using TListSortCompare = int (*)(void* Item1, void* Item2);
enum TListNotification { lnAdded, lnExtracted, lnDeleted };

class TList : public TObject {
    DECLARE_CLASS(TList, TObject)
public:
    TList() = default;
    TList(const TList&) = delete;
    TList& operator=(const TList&) = delete;
    ~TList() override;

    int Add(void* Item);
    void Insert(int Index, void* Item);
    void Delete(int Index);
    int Remove(void* Item);  // the index it had, or -1
    void* Extract(void* Item);  // removed without the deletion notice; null when absent
    int IndexOf(void* Item) const;
    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    void Pack();  // drops the null items
    virtual void Clear();
    void* First() const { return Items(0); }
    void* Last() const { return Items(Count() - 1); }
    // Quicksort (not stable) with Compare(Item1, Item2) < 0, 0, > 0.
    void Sort(TListSortCompare Compare);

    int Count() const { return static_cast<int>(FList.size()); }
    void SetCount(int NewCount);  // new items are null
    int Capacity() const { return FCapacity; }
    void SetCapacity(int NewCapacity);  // below Count raises EListError
    void* Items(int Index) const;
    void SetItems(int Index, void* Item);
    void* operator[](int Index) const { return Items(Index); }

protected:
    // Told of every item added, extracted or deleted (after the list changed).
    virtual void Notify(void* Ptr, TListNotification Action);
    [[noreturn]] static void Error(const char* Msg, int Data);

private:
    void Grow();
    std::vector<void*> FList;
    int FCapacity = 0;
};

// The index of Item in List for items of type T that remember where they were found (Hint). The
// remembered place is tried first, then one either side of it (an item inserted or deleted before)
// and the list's ends; otherwise one pass renumbers every item, so that a walk over the items after
// the list changed costs one pass, not a search per item. -1 when Item is not in List.
template <class T>
int HintedIndexOf(const TList& List, const T* Item, int T::*Hint) {
    T* Self = const_cast<T*>(Item);
    const int N = List.Count(), H = Self->*Hint;
    for (const int I : {H, H + 1, H - 1, 0, N - 1})
        if (I >= 0 && I < N && List.Items(I) == Item)
            return Self->*Hint = I;
    int Result = -1;
    for (int I = 0; I < N; ++I) {
        T* Other = static_cast<T*>(List.Items(I));
        Other->*Hint = I;
        if (Other == Item)
            Result = I;
    }
    return Result;
}

// A list of objects that, while OwnsObjects is set, frees the objects it deletes (Delete, Remove,
// Clear, SetItems over an object, its own destruction); Extract hands one back unfreed.
class TObjectList : public TList {
    DECLARE_CLASS(TObjectList, TList)
public:
    explicit TObjectList(bool AOwnsObjects = true) : FOwnsObjects(AOwnsObjects) {}
    ~TObjectList() override;
    int Add(TObject* AObject) { return TList::Add(AObject); }
    void Insert(int Index, TObject* AObject) { TList::Insert(Index, AObject); }
    int Remove(TObject* AObject) { return TList::Remove(AObject); }
    TObject* Extract(TObject* AObject) { return static_cast<TObject*>(TList::Extract(AObject)); }
    int IndexOf(TObject* AObject) const { return TList::IndexOf(AObject); }
    TObject* Items(int Index) const { return static_cast<TObject*>(TList::Items(Index)); }
    void SetItems(int Index, TObject* AObject) { TList::SetItems(Index, AObject); }
    TObject* operator[](int Index) const { return Items(Index); }
    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

protected:
    void Notify(void* Ptr, TListNotification Action) override;

private:
    bool FOwnsObjects;
};

// A list of class references.
class TClassList : public TList {
    DECLARE_CLASS(TClassList, TList)
public:
    int Add(TClass AClass) { return TList::Add(const_cast<TClassRecord*>(AClass)); }
    void Insert(int Index, TClass AClass) { TList::Insert(Index, const_cast<TClassRecord*>(AClass)); }
    int Remove(TClass AClass) { return TList::Remove(const_cast<TClassRecord*>(AClass)); }
    int IndexOf(TClass AClass) const { return TList::IndexOf(const_cast<TClassRecord*>(AClass)); }
    TClass Items(int Index) const { return static_cast<TClass>(TList::Items(Index)); }
    TClass operator[](int Index) const { return Items(Index); }
};

// A list shared between threads: LockList gives the list for exclusive use until UnlockList.
class TThreadList : public TObject {
    DECLARE_CLASS(TThreadList, TObject)
public:
    TThreadList();
    ~TThreadList() override;
    void Add(void* Item);  // by Duplicates (dupIgnore initially; dupError raises)
    void Remove(void* Item);
    void Clear();
    TList* LockList();
    void UnlockList();
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }

private:
    TList FList;
    CRITICAL_SECTION FLock;
    TDuplicates FDuplicates = dupIgnore;
};

// ---------------------------------------------------------------------------------------------
// String lists

// The abstract list of strings with objects. A descendant gives Get, GetCount, Insert, Delete and
// Clear (and, to keep objects, GetObject and PutObject); a list backed by a window overrides the rest
// where the window does it better (GetTextStr, SetTextStr, SetUpdateState for WM_SETREDRAW ...).
// The objects are never owned.
class TStrings : public TPersistent {
    DECLARE_CLASS(TStrings, TPersistent)
public:
    int Count() { return GetCount(); }
    std::string Strings(int Index) { return Get(Index); }
    std::string operator[](int Index) { return Get(Index); }
    // Replaces one line; its object stays.
    void SetStrings(int Index, const std::string& S) { Put(Index, S); }
    TObject* Objects(int Index) { return GetObject(Index); }
    void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }

    virtual int Add(const std::string& S);
    virtual int AddObject(const std::string& S, TObject* AObject);
    void Append(const std::string& S) { Add(S); }
    virtual void AddStrings(TStrings* Strings);
    virtual void Insert(int Index, const std::string& S) = 0;
    virtual void InsertObject(int Index, const std::string& S, TObject* AObject);
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    virtual void Exchange(int Index1, int Index2);
    virtual void Move(int CurIndex, int NewIndex);
    virtual int IndexOf(const std::string& S);
    int IndexOfName(const std::string& Name);  // first "Name=..." line; none without the separator
    int IndexOfObject(TObject* AObject);
    bool Equals(TStrings* Strings);  // same count and lines, byte for byte
    // Clears and adds Source's lines and objects inside an update bracket, with its separators; any
    // other source raises the assignment error.
    void Assign(TPersistent* Source) override;
    // Form streaming: the defined property "Strings", a list of strings, written when the list is
    // not empty (or differs from the ancestor's); reading clears and adds inside an update bracket.
    void DefineProperties(TFiler& Filer) override;

    // Nested; SetUpdateState(true) at the first BeginUpdate, (false) at the last EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // Every line followed by CR LF; setting splits at CR, LF or NUL (one CR then one LF skipped
    // after a line), keeps empty lines, ends at the first NUL.
    std::string Text() { return GetTextStr(); }
    void SetText(const std::string& Value) { SetTextStr(Value); }
    std::string CommaText();
    void SetCommaText(const std::string& Value);
    std::string DelimitedText();
    void SetDelimitedText(const std::string& Value);
    char Delimiter() const { return FDelimiter; }
    void SetDelimiter(char Value) { FDelimiter = Value; }
    char QuoteChar() const { return FQuoteChar; }
    void SetQuoteChar(char Value) { FQuoteChar = Value; }
    char NameValueSeparator() const { return FNameValueSeparator; }
    void SetNameValueSeparator(char Value) { FNameValueSeparator = Value; }
    // Name part of a "name=value" line ("" without the separator); the value of a name ("" when
    // absent); setting a value to "" deletes the line, to another text replaces or adds it.
    std::string Names(int Index);
    std::string ValueFromIndex(int Index);
    std::string Values(const std::string& Name);
    void SetValues(const std::string& Name, const std::string& Value);
    int Capacity() { return GetCapacity(); }
    void SetCapacity(int NewCapacity) { DoSetCapacity(NewCapacity); }

    // All bytes from the position on, then Text; SaveToStream writes Text's bytes.
    virtual void LoadFromStream(TStream* Stream);
    virtual void SaveToStream(TStream* Stream);
    virtual void LoadFromFile(const std::string& FileName);
    virtual void SaveToFile(const std::string& FileName);

protected:
    TStrings() = default;
    virtual std::string Get(int Index) = 0;
    virtual int GetCount() = 0;
    virtual TObject* GetObject(int Index);
    virtual void Put(int Index, const std::string& S);
    virtual void PutObject(int Index, TObject* AObject);
    virtual std::string GetTextStr();
    virtual void SetTextStr(const std::string& Value);
    virtual void SetUpdateState(bool Updating);
    virtual int GetCapacity() { return GetCount(); }
    virtual void DoSetCapacity(int) {}
    // AnsiCompareText here; TStringList also by case.
    virtual int CompareStrings(const std::string& S1, const std::string& S2);
    [[noreturn]] static void Error(const char* Msg, int Data);

private:
    std::string GetDelimitedText(char Delim, char Quote);
    void SetDelimitedText(const std::string& Value, char Delim, char Quote);

    int FUpdateCount = 0;
    char FDelimiter = ',';
    char FQuoteChar = '"';
    char FNameValueSeparator = '=';
};

// Holds a list's update bracket open for a scope, closing it also when an exception leaves.
class TUpdateGuard {
public:
    explicit TUpdateGuard(TStrings* Strings) : FStrings(Strings) { Strings->BeginUpdate(); }
    ~TUpdateGuard() { FStrings->EndUpdate(); }
    TUpdateGuard(const TUpdateGuard&) = delete;
    TUpdateGuard& operator=(const TUpdateGuard&) = delete;

private:
    TStrings* FStrings;
};

class TStringList;
using TStringListSortCompare = int (*)(TStringList* List, int Index1, int Index2);

// Strings with objects in memory, optionally kept sorted (AnsiCompareText, or AnsiCompareStr when
// CaseSensitive). OnChanging / OnChange fire around every change while no update is open.
class TStringList : public TStrings {
    DECLARE_CLASS(TStringList, TStrings)
public:
    TStringList() = default;
    ~TStringList() override;

    int Add(const std::string& S) override;
    // Sorted: dupIgnore gives the index of the equal line (nothing added), dupError raises
    // EStringListError "String list does not allow duplicates", dupAccept inserts before the equal
    // lines. Unsorted: appends.
    int AddObject(const std::string& S, TObject* AObject) override;
    void Insert(int Index, const std::string& S) override;  // a sorted list raises
    void InsertObject(int Index, const std::string& S, TObject* AObject) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int Index1, int Index2) override;
    int IndexOf(const std::string& S) override;
    // The binary search of a sorted list (a linear search otherwise): Index is where S is or belongs.
    virtual bool Find(const std::string& S, int& Index);
    virtual void Sort();
    virtual void CustomSort(TStringListSortCompare Compare);

    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value);  // a sorted list is sorted again

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    std::string Get(int Index) override;
    int GetCount() override { return static_cast<int>(FList.size()); }
    TObject* GetObject(int Index) override;
    void Put(int Index, const std::string& S) override;  // a sorted list raises
    void PutObject(int Index, TObject* AObject) override;
    void SetUpdateState(bool Updating) override;
    int GetCapacity() override { return static_cast<int>(FList.capacity()); }
    void DoSetCapacity(int NewCapacity) override;
    int CompareStrings(const std::string& S1, const std::string& S2) override;
    virtual void Changed();
    virtual void Changing();

private:
    struct TStringItem {
        std::string FString;
        TObject* FObject = nullptr;
    };
    void CheckIndex(int Index) const;
    void InsertItem(int Index, const std::string& S, TObject* AObject);

    // Items by pointer, so that inserting into a long sorted list moves pointers, not strings.
    std::vector<std::unique_ptr<TStringItem>> FList;
    bool FSorted = false;
    TDuplicates FDuplicates = dupIgnore;
    bool FCaseSensitive = false;
};
