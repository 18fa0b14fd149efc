#include "Lists.h"

#include <utility>

using namespace SysConsts;

namespace {
// The platform's quicksort over positions L..R: Compare(I, J) on positions, Exchange(I, J). Not
// stable. The scans stop at the ends of the range even for a comparison that contradicts itself.
template <class TCompare, class TExchange>
void QuickSort(int L, int R, TCompare Compare, TExchange Exchange) {
    while (L < R) {
        int I = L, J = R, P = (L + R) / 2;
        do {
            while (I < R && Compare(I, P) < 0)
                ++I;
            while (J > L && Compare(J, P) > 0)
                --J;
            if (I <= J) {
                if (I != J)
                    Exchange(I, J);
                if (P == I)
                    P = J;
                else if (P == J)
                    P = I;
                ++I;
                --J;
            }
        } while (I <= J);
        if (L < J)
            QuickSort(L, J, Compare, Exchange);
        L = I;
    }
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// TList

TList::~TList() { TList::Clear(); }

void TList::Error(const char* Msg, int Data) { throw EListError(Msg, {Data}); }

void TList::Grow() {
    int Delta = FCapacity > 64 ? FCapacity / 4 : (FCapacity > 8 ? 16 : 4);
    SetCapacity(FCapacity + Delta);
}

int TList::Add(void* Item) {
    int Result = Count();
    if (Result == FCapacity)
        Grow();
    FList.push_back(Item);
    if (Item)
        Notify(Item, lnAdded);
    return Result;
}

void TList::Insert(int Index, void* Item) {
    if (Index < 0 || Index > Count())
        Error(SListIndexError, Index);
    if (Count() == FCapacity)
        Grow();
    FList.insert(FList.begin() + Index, Item);
    if (Item)
        Notify(Item, lnAdded);
}

void* TList::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        Error(SListIndexError, Index);
    return FList[static_cast<size_t>(Index)];
}

void TList::SetItems(int Index, void* Item) {
    if (Index < 0 || Index >= Count())
        Error(SListIndexError, Index);
    void* Old = FList[static_cast<size_t>(Index)];
    if (Item == Old)
        return;
    FList[static_cast<size_t>(Index)] = Item;
    if (Old)
        Notify(Old, lnDeleted);
    if (Item)
        Notify(Item, lnAdded);
}

void TList::Delete(int Index) {
    if (Index < 0 || Index >= Count())
        Error(SListIndexError, Index);
    void* Item = FList[static_cast<size_t>(Index)];
    FList.erase(FList.begin() + Index);
    if (Item)
        Notify(Item, lnDeleted);
}

int TList::IndexOf(void* Item) const {
    for (int I = 0; I < Count(); ++I)
        if (FList[static_cast<size_t>(I)] == Item)
            return I;
    return -1;
}

int TList::Remove(void* Item) {
    int Index = IndexOf(Item);
    if (Index >= 0)
        Delete(Index);
    return Index;
}

void* TList::Extract(void* Item) {
    int Index = IndexOf(Item);
    if (Index < 0)
        return nullptr;
    FList.erase(FList.begin() + Index);
    Notify(Item, lnExtracted);
    return Item;
}

void TList::Exchange(int Index1, int Index2) {
    if (Index1 < 0 || Index1 >= Count())
        Error(SListIndexError, Index1);
    if (Index2 < 0 || Index2 >= Count())
        Error(SListIndexError, Index2);
    std::swap(FList[static_cast<size_t>(Index1)], FList[static_cast<size_t>(Index2)]);
}

void TList::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex)
        return;
    if (NewIndex < 0 || NewIndex >= Count())
        Error(SListIndexError, NewIndex);
    void* Item = Items(CurIndex);
    FList.erase(FList.begin() + CurIndex);
    FList.insert(FList.begin() + NewIndex, Item);
}

void TList::Pack() {
    for (int I = Count() - 1; I >= 0; --I)
        if (!FList[static_cast<size_t>(I)])
            Delete(I);
}

void TList::Clear() {
    SetCount(0);
    SetCapacity(0);
}

void TList::SetCount(int NewCount) {
    if (NewCount < 0)
        Error(SListCountError, NewCount);
    if (NewCount > FCapacity)
        SetCapacity(NewCount);
    if (NewCount > Count())
        FList.resize(static_cast<size_t>(NewCount), nullptr);
    else
        for (int I = Count() - 1; I >= NewCount; --I)
            Delete(I);
}

void TList::SetCapacity(int NewCapacity) {
    if (NewCapacity < Count())
        Error(SListCapacityError, NewCapacity);
    FCapacity = NewCapacity;
    FList.reserve(static_cast<size_t>(NewCapacity));
}

void TList::Sort(TListSortCompare Compare) {
    if (Count() > 1)
        QuickSort(
            0, Count() - 1,
            [&](int I, int J) { return Compare(FList[static_cast<size_t>(I)], FList[static_cast<size_t>(J)]); },
            [&](int I, int J) { std::swap(FList[static_cast<size_t>(I)], FList[static_cast<size_t>(J)]); });
}

void TList::Notify(void*, TListNotification) {}

TObjectList::~TObjectList() { Clear(); }

void TObjectList::Notify(void* Ptr, TListNotification Action) {
    if (FOwnsObjects && Action == lnDeleted)
        FreeObject(static_cast<TObject*>(Ptr));
    TList::Notify(Ptr, Action);
}

TThreadList::TThreadList() { InitializeCriticalSection(&FLock); }

TThreadList::~TThreadList() {
    LockList();
    FList.Clear();
    UnlockList();
    DeleteCriticalSection(&FLock);
}

void TThreadList::Add(void* Item) {
    LockList();
    try {
        if (FDuplicates == dupAccept || FList.IndexOf(Item) < 0)
            FList.Add(Item);
        else if (FDuplicates == dupError)
            throw EListError(SDuplicateItem, {static_cast<LongInt>(reinterpret_cast<intptr_t>(Item))});
    } catch (...) {
        UnlockList();
        throw;
    }
    UnlockList();
}

void TThreadList::Remove(void* Item) {
    LockList();
    FList.Remove(Item);
    UnlockList();
}

void TThreadList::Clear() {
    LockList();
    FList.Clear();
    UnlockList();
}

TList* TThreadList::LockList() {
    EnterCriticalSection(&FLock);
    return &FList;
}

void TThreadList::UnlockList() { LeaveCriticalSection(&FLock); }

// ---------------------------------------------------------------------------------------------
// TStrings

void TStrings::Error(const char* Msg, int Data) { throw EStringListError(Msg, {Data}); }

int TStrings::Add(const std::string& S) {
    int Result = GetCount();
    Insert(Result, S);
    return Result;
}

int TStrings::AddObject(const std::string& S, TObject* AObject) {
    int Result = Add(S);
    PutObject(Result, AObject);
    return Result;
}

void TStrings::InsertObject(int Index, const std::string& S, TObject* AObject) {
    Insert(Index, S);
    PutObject(Index, AObject);
}

void TStrings::AddStrings(TStrings* Strings) {
    TUpdateGuard Update(this);
    int N = Strings->Count();
    for (int I = 0; I < N; ++I)
        AddObject(Strings->Get(I), Strings->GetObject(I));
}

void TStrings::Assign(TPersistent* Source) {
    if (auto* Src = DynCast<TStrings>(Source)) {
        TUpdateGuard Update(this);
        Clear();
        FDelimiter = Src->FDelimiter;
        FQuoteChar = Src->FQuoteChar;
        FNameValueSeparator = Src->FNameValueSeparator;
        AddStrings(Src);
        return;
    }
    TPersistent::Assign(Source);
}

void TStrings::BeginUpdate() {
    if (FUpdateCount == 0)
        SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate() {
    if (FUpdateCount == 0)  // unbalanced: nothing is open
        return;
    if (--FUpdateCount == 0)
        SetUpdateState(false);
}

void TStrings::Exchange(int Index1, int Index2) {
    TUpdateGuard Update(this);
    TObject* TempObject = GetObject(Index1);
    std::string TempString = Get(Index1);
    Put(Index1, Get(Index2));
    PutObject(Index1, GetObject(Index2));
    Put(Index2, TempString);
    PutObject(Index2, TempObject);
}

void TStrings::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex)
        return;
    TUpdateGuard Update(this);
    std::string TempString = Get(CurIndex);
    TObject* TempObject = GetObject(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, TempString, TempObject);
}

int TStrings::IndexOf(const std::string& S) {
    int N = GetCount();
    for (int I = 0; I < N; ++I)
        if (CompareStrings(Get(I), S) == 0)
            return I;
    return -1;
}

int TStrings::IndexOfName(const std::string& Name) {
    int N = GetCount();
    for (int I = 0; I < N; ++I) {
        std::string S = Get(I);
        size_t P = S.find(FNameValueSeparator);
        if (P != std::string::npos && CompareStrings(S.substr(0, P), Name) == 0)
            return I;
    }
    return -1;
}

int TStrings::IndexOfObject(TObject* AObject) {
    int N = GetCount();
    for (int I = 0; I < N; ++I)
        if (GetObject(I) == AObject)
            return I;
    return -1;
}

bool TStrings::Equals(TStrings* Strings) {
    int N = GetCount();
    if (N != Strings->GetCount())
        return false;
    for (int I = 0; I < N; ++I)
        if (Get(I) != Strings->Get(I))
            return false;
    return true;
}

TObject* TStrings::GetObject(int) { return nullptr; }
void TStrings::PutObject(int, TObject*) {}

void TStrings::Put(int Index, const std::string& S) {
    TObject* TempObject = GetObject(Index);
    Delete(Index);
    InsertObject(Index, S, TempObject);
}

std::string TStrings::GetTextStr() {
    std::string Result;
    int N = GetCount();
    for (int I = 0; I < N; ++I) {
        Result += Get(I);
        Result += "\r\n";
    }
    return Result;
}

void TStrings::SetTextStr(const std::string& Value) {
    TUpdateGuard Update(this);
    Clear();
    size_t End = Value.find('\0');
    if (End == std::string::npos)
        End = Value.size();
    size_t P = 0;
    while (P < End) {
        size_t Start = P;
        while (P < End && Value[P] != '\r' && Value[P] != '\n')
            ++P;
        Add(Value.substr(Start, P - Start));
        if (P < End && Value[P] == '\r')
            ++P;
        if (P < End && Value[P] == '\n')
            ++P;
    }
}

void TStrings::SetUpdateState(bool) {}

int TStrings::CompareStrings(const std::string& S1, const std::string& S2) { return AnsiCompareText(S1, S2); }

std::string TStrings::GetDelimitedText(char Delim, char Quote) {
    int N = GetCount();
    if (N == 1 && Get(0).empty())
        return std::string(2, Quote);
    std::string Result;
    for (int I = 0; I < N; ++I) {
        std::string S = Get(I);
        bool NeedsQuotes = false;
        for (char C : S)
            if (static_cast<unsigned char>(C) <= ' ' || C == Quote || C == Delim) {
                NeedsQuotes = true;
                break;
            }
        if (I > 0)
            Result += Delim;
        Result += NeedsQuotes ? AnsiQuotedStr(S, Quote) : S;
    }
    return Result;
}

void TStrings::SetDelimitedText(const std::string& Value, char Delim, char Quote) {
    TUpdateGuard Update(this);
    Clear();
    std::string_view P(Value);
    P = P.substr(0, P.find('\0'));  // a NUL ends the text
    auto IsBlank = [](char C) { return C >= 1 && static_cast<unsigned char>(C) <= ' '; };
    auto SkipBlanks = [&] {
        while (!P.empty() && IsBlank(P[0]))
            P.remove_prefix(1);
    };
    SkipBlanks();
    while (!P.empty()) {
        std::string S;
        if (P[0] == Quote)
            S = AnsiExtractQuotedStr(P, Quote);
        else {
            size_t N = 0;
            while (N < P.size() && static_cast<unsigned char>(P[N]) > ' ' && P[N] != Delim)
                ++N;
            S = std::string(P.substr(0, N));
            P.remove_prefix(N);
        }
        Add(S);
        SkipBlanks();
        if (!P.empty() && P[0] == Delim) {
            if (P.size() == 1)
                Add("");
            P.remove_prefix(1);
            SkipBlanks();
        }
    }
}

std::string TStrings::CommaText() { return GetDelimitedText(',', '"'); }
void TStrings::SetCommaText(const std::string& Value) { SetDelimitedText(Value, ',', '"'); }
std::string TStrings::DelimitedText() { return GetDelimitedText(FDelimiter, FQuoteChar); }
void TStrings::SetDelimitedText(const std::string& Value) { SetDelimitedText(Value, FDelimiter, FQuoteChar); }

std::string TStrings::Names(int Index) {
    std::string S = Get(Index);
    size_t P = S.find(FNameValueSeparator);
    return P == std::string::npos ? std::string() : S.substr(0, P);
}

std::string TStrings::ValueFromIndex(int Index) {
    std::string S = Get(Index);
    size_t P = S.find(FNameValueSeparator);
    return P == std::string::npos ? std::string() : S.substr(P + 1);
}

std::string TStrings::Values(const std::string& Name) {
    int I = IndexOfName(Name);
    return I >= 0 ? ValueFromIndex(I) : std::string();
}

void TStrings::SetValues(const std::string& Name, const std::string& Value) {
    int I = IndexOfName(Name);
    if (!Value.empty()) {
        if (I < 0)
            I = Add("");
        Put(I, Name + FNameValueSeparator + Value);
    } else if (I >= 0)
        Delete(I);
}

void TStrings::DefineProperties(TFiler& Filer) {
    bool HasData;
    if (TPersistent* Ancestor = Filer.Ancestor()) {
        auto* Strings = DynCast<TStrings>(Ancestor);
        HasData = !Strings || !Equals(Strings);
    } else
        HasData = GetCount() > 0;
    Filer.DefineProperty(
        "Strings",
        [this](TReader& Reader) {
            Reader.ReadListBegin();
            {
                TUpdateGuard Update(this);
                Clear();
                while (!Reader.EndOfList())
                    Add(Reader.ReadString());
            }
            Reader.ReadListEnd();
        },
        [this](TWriter& Writer) {
            Writer.WriteListBegin();
            int N = GetCount();
            for (int I = 0; I < N; ++I)
                Writer.WriteString(Get(I));
            Writer.WriteListEnd();
        },
        HasData);
}

namespace {
// Lets property paths and texts (TypInfo) treat every string list as its comma text.
struct TRegisterStringListAccess {
    TRegisterStringListAccess() {
        TStringListAccess Access;
        Access.ListClass = TStrings::StaticClass();
        Access.GetCommaText = [](TObject* List) { return static_cast<TStrings*>(List)->CommaText(); };
        Access.SetCommaText = [](TObject* List, const std::string& Text) { static_cast<TStrings*>(List)->SetCommaText(Text); };
        RegisterStringListAccess(Access);
    }
} RegisterAccess;
}  // namespace

void TStrings::LoadFromStream(TStream* Stream) {
    TUpdateGuard Update(this);
    Int64 Size = Stream->Size() - Stream->Position();
    std::string S(static_cast<size_t>(Size > 0 ? Size : 0), '\0');
    if (!S.empty())
        Stream->ReadBuffer(S.data(), static_cast<LongInt>(S.size()));
    SetTextStr(S);
}

void TStrings::SaveToStream(TStream* Stream) {
    std::string S = GetTextStr();
    Stream->WriteBuffer(S.data(), static_cast<LongInt>(S.size()));
}

void TStrings::LoadFromFile(const std::string& FileName) {
    TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&Stream);
}

void TStrings::SaveToFile(const std::string& FileName) {
    TFileStream Stream(FileName, fmCreate);
    SaveToStream(&Stream);
}

// ---------------------------------------------------------------------------------------------
// TStringList

TStringList::~TStringList() {
    OnChange = nullptr;
    OnChanging = nullptr;
}

void TStringList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= static_cast<int>(FList.size()))
        Error(SListIndexError, Index);
}

void TStringList::Changed() {
    if (UpdateCount() == 0)
        OnChange(this);
}

void TStringList::Changing() {
    if (UpdateCount() == 0)
        OnChanging(this);
}

int TStringList::Add(const std::string& S) { return AddObject(S, nullptr); }

int TStringList::AddObject(const std::string& S, TObject* AObject) {
    int Result;
    if (!FSorted)
        Result = GetCount();
    else if (Find(S, Result)) {
        if (FDuplicates == dupIgnore)
            return Result;
        if (FDuplicates == dupError)
            Error(SDuplicateString, 0);
    }
    InsertItem(Result, S, AObject);
    return Result;
}

void TStringList::Insert(int Index, const std::string& S) { InsertObject(Index, S, nullptr); }

void TStringList::InsertObject(int Index, const std::string& S, TObject* AObject) {
    if (FSorted)
        Error(SSortedListError, 0);
    if (Index < 0 || Index > GetCount())
        Error(SListIndexError, Index);
    InsertItem(Index, S, AObject);
}

void TStringList::InsertItem(int Index, const std::string& S, TObject* AObject) {
    Changing();
    FList.insert(FList.begin() + Index, std::make_unique<TStringItem>(TStringItem{S, AObject}));
    Changed();
}

void TStringList::Delete(int Index) {
    CheckIndex(Index);
    Changing();
    FList.erase(FList.begin() + Index);
    Changed();
}

void TStringList::Clear() {
    if (FList.empty())
        return;
    Changing();
    FList.clear();
    Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    std::swap(FList[static_cast<size_t>(Index1)], FList[static_cast<size_t>(Index2)]);
    Changed();
}

bool TStringList::Find(const std::string& S, int& Index) {
    if (!FSorted) {
        Index = TStrings::IndexOf(S);
        return Index >= 0;
    }
    bool Result = false;
    int L = 0, H = GetCount() - 1;
    while (L <= H) {
        int I = (L + H) / 2;
        int C = CompareStrings(FList[static_cast<size_t>(I)]->FString, S);
        if (C < 0)
            L = I + 1;
        else {
            H = I - 1;
            if (C == 0) {
                Result = true;
                if (FDuplicates != dupAccept)
                    L = I;
            }
        }
    }
    Index = L;
    return Result;
}

int TStringList::IndexOf(const std::string& S) {
    if (!FSorted)
        return TStrings::IndexOf(S);
    int Index;
    return Find(S, Index) ? Index : -1;
}

std::string TStringList::Get(int Index) {
    CheckIndex(Index);
    return FList[static_cast<size_t>(Index)]->FString;
}

TObject* TStringList::GetObject(int Index) {
    CheckIndex(Index);
    return FList[static_cast<size_t>(Index)]->FObject;
}

void TStringList::Put(int Index, const std::string& S) {
    if (FSorted)
        Error(SSortedListError, 0);
    CheckIndex(Index);
    Changing();
    FList[static_cast<size_t>(Index)]->FString = S;
    Changed();
}

void TStringList::PutObject(int Index, TObject* AObject) {
    CheckIndex(Index);
    Changing();
    FList[static_cast<size_t>(Index)]->FObject = AObject;
    Changed();
}

void TStringList::SetUpdateState(bool Updating) {
    if (Updating)
        Changing();
    else
        Changed();
}

void TStringList::DoSetCapacity(int NewCapacity) {
    if (NewCapacity < GetCount())
        Error(SListCapacityError, NewCapacity);
    FList.reserve(static_cast<size_t>(NewCapacity));
}

int TStringList::CompareStrings(const std::string& S1, const std::string& S2) {
    return FCaseSensitive ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}

void TStringList::Sort() {
    CustomSort([](TStringList* List, int I, int J) {
        return List->CompareStrings(List->FList[static_cast<size_t>(I)]->FString, List->FList[static_cast<size_t>(J)]->FString);
    });
}

void TStringList::CustomSort(TStringListSortCompare Compare) {
    if (FSorted || GetCount() <= 1)
        return;
    Changing();
    QuickSort(
        0, GetCount() - 1, [&](int I, int J) { return Compare(this, I, J); },
        [&](int I, int J) { std::swap(FList[static_cast<size_t>(I)], FList[static_cast<size_t>(J)]); });
    Changed();
}

void TStringList::SetSorted(bool Value) {
    if (FSorted == Value)
        return;
    if (Value)
        Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
    if (FCaseSensitive == Value)
        return;
    FCaseSensitive = Value;
    // The order depends on the comparison: a sorted list is put in the new order at once, so that
    // Find keeps working.
    if (FSorted) {
        FSorted = false;
        SetSorted(true);
    }
}
