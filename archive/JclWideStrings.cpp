#include "JclWideStrings.h"

#include "JclUnitVersioning.h"

#include "Filer.h"
#include "JclUnicode.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <unordered_map>

namespace {

class TWideUpdateGuard {
public:
    explicit TWideUpdateGuard(TJclWideStrings* S) : FS(S) { S->BeginUpdate(); }
    ~TWideUpdateGuard() { FS->EndUpdate(); }
    TWideUpdateGuard(const TWideUpdateGuard&) = delete;
    TWideUpdateGuard& operator=(const TWideUpdateGuard&) = delete;

private:
    TJclWideStrings* FS;
};

wchar_t WideCharOf(char C) {
    std::wstring W = AnsiToWide(std::string_view(&C, 1));
    return W.empty() ? L'\0' : W[0];
}

char AnsiCharOf(wchar_t C) {
    std::string A = WideToAnsi(std::wstring_view(&C, 1));
    return A.empty() ? '\0' : A[0];
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TJclWideStrings

TJclWideStrings::TJclWideStrings() = default;

void TJclWideStrings::BeginUpdate() {
    if (FUpdateCount == 0)
        SetUpdateState(true);
    ++FUpdateCount;
}

void TJclWideStrings::EndUpdate() {
    --FUpdateCount;
    if (FUpdateCount == 0)
        SetUpdateState(false);
}

TObject* TJclWideStrings::GetObject(int) { return nullptr; }

std::wstring TJclWideStrings::GetName(int Index) {
    const std::wstring S = Get(Index);
    const size_t P = S.find(NameValueSeparator);
    return P == std::wstring::npos ? S : S.substr(0, P);
}

bool TJclWideStrings::Equals(TJclWideStrings* Other) {
    const int N = GetCount();
    if (N != Other->GetCount())
        return false;
    for (int I = 0; I < N; ++I)
        if (Get(I) != Other->Get(I))
            return false;
    return true;
}

int TJclWideStrings::Add(const std::wstring& S) { return AddObject(S, nullptr); }

int TJclWideStrings::AddObject(const std::wstring& S, TObject* AObject) {
    const int Index = GetCount();
    InsertObject(Index, S, AObject);
    return Index;
}

void TJclWideStrings::AddStrings(TJclWideStrings* Strings) {
    for (int I = 0; I < Strings->GetCount(); ++I)
        AddObject(Strings->Get(I), Strings->GetObject(I));
}

void TJclWideStrings::AddAnsiStrings(TStrings* Strings) {
    for (int I = 0; I < Strings->Count(); ++I)
        AddObject(AnsiToWide(Strings->Strings(I)), Strings->Objects(I));
}

void TJclWideStrings::AppendToAnsiStrings(TStrings* Strings) {
    for (int I = 0; I < GetCount(); ++I)
        Strings->AddObject(WideToAnsi(Get(I)), GetObject(I));
}

void TJclWideStrings::Assign(TPersistent* Source) {
    if (auto* Wide = DynCast<TJclWideStrings>(Source)) {
        TWideUpdateGuard Update(this);
        Clear();
        Delimiter = Wide->Delimiter;
        NameValueSeparator = Wide->NameValueSeparator;
        QuoteChar = Wide->QuoteChar;
        AddStrings(Wide);
        return;
    }
    if (auto* Ansi = DynCast<TStrings>(Source)) {
        TWideUpdateGuard Update(this);
        Clear();
        Delimiter = WideCharOf(Ansi->Delimiter());
        NameValueSeparator = WideCharOf(Ansi->NameValueSeparator());
        QuoteChar = WideCharOf(Ansi->QuoteChar());
        AddAnsiStrings(Ansi);
        return;
    }
    TPersistent::Assign(Source);
}

void TJclWideStrings::AssignTo(TPersistent* Dest) {
    auto* Ansi = DynCast<TStrings>(Dest);
    if (!Ansi) {
        TPersistent::AssignTo(Dest);
        return;
    }
    TUpdateGuard Update(Ansi);
    Ansi->Clear();
    Ansi->SetNameValueSeparator(AnsiCharOf(NameValueSeparator));
    Ansi->SetQuoteChar(AnsiCharOf(QuoteChar));
    Ansi->SetDelimiter(AnsiCharOf(Delimiter));
    AppendToAnsiStrings(Ansi);
}

void TJclWideStrings::DefineProperties(TFiler& Filer) {
    bool HasData;
    if (TPersistent* Ancestor = Filer.Ancestor()) {
        auto* Strings = DynCast<TJclWideStrings>(Ancestor);
        HasData = !Strings || !Equals(Strings);
    } else
        HasData = GetCount() > 0;
    Filer.DefineProperty(
        "Strings",
        [this](TReader& Reader) {
            Reader.ReadListBegin();
            {
                TWideUpdateGuard Update(this);
                Clear();
                while (!Reader.EndOfList())
                    Add(Reader.ReadWideString());
            }
            Reader.ReadListEnd();
        },
        [this](TWriter& Writer) {
            Writer.WriteListBegin();
            for (int I = 0; I < GetCount(); ++I)
                Writer.WriteWideString(Get(I));
            Writer.WriteListEnd();
        },
        HasData);
}

void TJclWideStrings::Exchange(int Index1, int Index2) {
    TWideUpdateGuard Update(this);
    const std::wstring S = Get(Index1);
    TObject* O = GetObject(Index1);
    Put(Index1, Get(Index2));
    PutObject(Index1, GetObject(Index2));
    Put(Index2, S);
    PutObject(Index2, O);
}

void TJclWideStrings::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex)
        return;
    TWideUpdateGuard Update(this);
    const std::wstring S = Get(CurIndex);
    TObject* O = GetObject(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, S, O);
}

int TJclWideStrings::CompareStrings(const std::wstring& S1, const std::wstring& S2) {
    return WideCompareLocale(S1, S2, false);
}

int TJclWideStrings::IndexOf(const std::wstring& S) {
    for (int I = 0; I < GetCount(); ++I)
        if (CompareStrings(Get(I), S) == 0)
            return I;
    return -1;
}

int TJclWideStrings::IndexOfName(const std::wstring& Name) {
    for (int I = 0; I < GetCount(); ++I)
        if (CompareStrings(GetName(I), Name) == 0)
            return I;
    return -1;
}

int TJclWideStrings::IndexOfObject(TObject* AObject) {
    for (int I = 0; I < GetCount(); ++I)
        if (GetObject(I) == AObject)
            return I;
    return -1;
}

void TJclWideStrings::Insert(int Index, const std::wstring& S) { InsertObject(Index, S, nullptr); }

void TJclWideStrings::InsertObject(int, const std::wstring&, TObject*) {}

std::wstring TJclWideStrings::GetTextStr() {
    std::wstring R;
    for (int I = 0; I < GetCount(); ++I)
        R += Get(I) + LineSeparator;
    return R;
}

wchar_t* TJclWideStrings::GetTextBuffer() {
    const std::wstring Text = GetTextStr();
    // The byte size sits in front of the text, as the buffer's readers of old expect.
    const std::uint32_t Bytes = static_cast<std::uint32_t>((Text.size() + 1) * 2 + 4);
    auto* Block = static_cast<std::uint8_t*>(std::calloc(Bytes, 1));
    if (!Block)
        throw std::bad_alloc();
    std::memcpy(Block, &Bytes, 4);
    auto* Buffer = reinterpret_cast<wchar_t*>(Block + 4);
    std::memcpy(Buffer, Text.data(), Text.size() * 2);
    return Buffer;
}

void TJclWideStrings::FreeTextBuffer(wchar_t* Buffer) {
    if (Buffer)
        std::free(reinterpret_cast<std::uint8_t*>(Buffer) - 4);
}

void TJclWideStrings::SetTextStr(const std::wstring& Value) {
    TWideUpdateGuard Update(this);
    Clear();
    size_t P = 0;
    const size_t End = std::min(Value.size(), Value.find(L'\0'));
    while (P < End) {
        size_t Start = P;
        while (P < End && Value[P] != L'\r' && Value[P] != L'\n')
            ++P;
        Add(Value.substr(Start, P - Start));
        if (P < End && Value[P] == L'\r')
            ++P;
        if (P < End && Value[P] == L'\n')
            ++P;
    }
}

void TJclWideStrings::SetText(const wchar_t* Text) { SetTextStr(Text ? std::wstring(Text) : std::wstring()); }

void TJclWideStrings::LoadFromFile(const std::string& FileName, int Mode) {
    TFileStream Stream(FileName, Word(fmOpenRead | fmShareDenyWrite));
    LoadFromStream(&Stream, Mode);
}

void TJclWideStrings::SaveToFile(const std::string& FileName, int Mode) {
    TFileStream Stream(FileName, fmCreate);
    SaveToStream(&Stream, Mode);
}

void TJclWideStrings::LoadFromStream(TStream* Stream, int Mode) {
    TWideUpdateGuard Update(this);
    Clear();
    std::uint8_t Head[2] = {0, 0};
    const LongInt HeadRead = Stream->Read(Head, 2);
    const Word W = static_cast<Word>(Head[0] | (Head[1] << 8));
    const bool Signature = HeadRead == 2 && (W == 0xFEFF || W == 0xFFFE);
    // A short stream gives back what it read rather than stepping before its start.
    if (!Signature)
        Stream->Seek(Int64(-HeadRead), soCurrent);
    const Int64 Remaining = std::max<Int64>(0, Stream->Size() - Stream->Position());
    if ((Mode & JclWideStringsAnsiMode) && Head[1] != 0 && !Signature) {
        std::string Bytes(static_cast<size_t>(Remaining), '\0');
        Bytes.resize(static_cast<size_t>(std::max<LongInt>(0, Stream->Read(Bytes.data(), static_cast<LongInt>(Remaining)))));
        SetTextStr(AnsiToWide(Bytes));
        return;
    }
    std::wstring Text(static_cast<size_t>((Remaining + 1) / 2), L'\0');
    const LongInt Got = Stream->Read(Text.data(), static_cast<LongInt>(Remaining));
    Text.resize(static_cast<size_t>((std::max<LongInt>(0, Got) + 1) / 2));
    if (W == 0xFFFE)
        for (wchar_t& C : Text)
            C = static_cast<wchar_t>(((C & 0xFF) << 8) | ((C >> 8) & 0xFF));
    SetTextStr(Text);
}

void TJclWideStrings::SaveToStream(TStream* Stream, int Mode) {
    const std::wstring Text = GetTextStr();
    if (Mode & JclWideStringsAnsiMode) {
        const std::string Bytes = WideToAnsi(Text);
        Stream->WriteBuffer(Bytes.data(), static_cast<LongInt>(Bytes.size()));
        return;
    }
    if (Mode & JclWideStringsSignatureMode) {
        const std::uint8_t Bom[2] = {0xFF, 0xFE};
        Stream->WriteBuffer(Bom, 2);
    }
    Stream->WriteBuffer(Text.data(), static_cast<LongInt>(Text.size() * 2));
}

// ---------------------------------------------------------------------------------------------
// TJclWideStringList

TJclWideStringList::~TJclWideStringList() {
    OnChange = nullptr;
    OnChanging = nullptr;
    BeginUpdate();  // nothing notifies while the items go
    for (TItem* I : FList)
        delete I;
    FList.clear();
}

TJclWideStringList::TItem& TJclWideStringList::Item(int Index) {
    if (Index < 0 || Index >= GetCount())
        throw EStringListError(Format(SysConsts::SListIndexError, {Index}));
    return *FList[static_cast<size_t>(Index)];
}

template <class F>
void TJclWideStringList::Change(F&& Body) {
    const bool Notify = UpdateCount() == 0;
    if (Notify)
        Changing();
    Body();
    if (Notify)
        Changed();
}

void TJclWideStringList::Changing() { OnChanging(this); }
void TJclWideStringList::Changed() { OnChange(this); }

void TJclWideStringList::SetUpdateState(bool Updating) {
    if (Updating)
        Changing();
    else
        Changed();
}

std::wstring TJclWideStringList::Get(int Index) { return Item(Index).S; }
TObject* TJclWideStringList::GetObject(int Index) { return Item(Index).Object; }

void TJclWideStringList::Put(int Index, const std::wstring& S) {
    TItem& I = Item(Index);
    Change([&] { I.S = S; });
}

void TJclWideStringList::PutObject(int Index, TObject* AObject) {
    TItem& I = Item(Index);
    Change([&] { I.Object = AObject; });
}

void TJclWideStringList::SetCapacity(int NewCapacity) {
    if (NewCapacity < GetCount())
        throw EStringListError(Format(SysConsts::SListIndexError, {NewCapacity}));
    FList.reserve(static_cast<size_t>(NewCapacity));
}

int TJclWideStringList::CompareStrings(const std::wstring& S1, const std::wstring& S2) {
    return WideCompareLocale(S1, S2, FCaseSensitive);
}

void TJclWideStringList::Clear() {
    if (FList.empty())
        return;
    Change([&] {
        for (TItem* I : FList)
            delete I;
        FList.clear();
    });
}

void TJclWideStringList::Delete(int Index) {
    Item(Index);
    Change([&] {
        delete FList[static_cast<size_t>(Index)];
        FList.erase(FList.begin() + Index);
    });
}

void TJclWideStringList::Exchange(int Index1, int Index2) {
    Item(Index1);
    Item(Index2);
    Change([&] { std::swap(FList[static_cast<size_t>(Index1)], FList[static_cast<size_t>(Index2)]); });
}

void TJclWideStringList::InsertObject(int Index, const std::wstring& S, TObject* AObject) {
    if (Index < 0 || Index > GetCount())
        throw EStringListError(Format(SysConsts::SListIndexError, {Index}));
    Change([&] { FList.insert(FList.begin() + Index, new TItem); });
    Put(Index, S);
    if (AObject)
        PutObject(Index, AObject);
}

bool TJclWideStringList::Find(const std::wstring& S, int& Index) {
    if (!FSorted) {
        Index = TJclWideStrings::IndexOf(S);
        return Index >= 0;
    }
    bool Found = false;
    int Lo = 0, Hi = GetCount() - 1;
    while (Lo <= Hi) {
        const int Mid = (Lo + Hi) / 2;
        const int C = CompareStrings(FList[static_cast<size_t>(Mid)]->S, S);
        if (C < 0) {
            Lo = Mid + 1;
        } else {
            Hi = Mid - 1;
            if (C == 0) {
                Found = true;
                if (FDuplicates != dupAccept)
                    Lo = Mid;
            }
        }
    }
    Index = Lo;
    return Found;
}

int TJclWideStringList::IndexOf(const std::wstring& S) {
    if (!FSorted)
        return TJclWideStrings::IndexOf(S);
    int Index;
    return Find(S, Index) ? Index : -1;
}

int TJclWideStringList::AddObject(const std::wstring& S, TObject* AObject) {
    int Index = GetCount();
    if (FSorted && Find(S, Index)) {
        if (FDuplicates == dupIgnore)
            return Index;
        if (FDuplicates == dupError)
            throw EStringListError(SysConsts::SDuplicateString);
    }
    InsertObject(Index, S, AObject);
    return Index;
}

void TJclWideStringList::Sort() {
    if (FSorted)
        return;
    CustomSort([](TJclWideStringList* List, int A, int B) { return List->CompareStrings(List->Get(A), List->Get(B)); });
}

void TJclWideStringList::CustomSort(const TJclWideStringListSortCompare& Compare) {
    Changing();
    // The comparison sees the list as it stood before the sort: indexes into the unsorted items.
    std::unordered_map<const TItem*, int> Position;
    for (size_t I = 0; I < FList.size(); ++I)
        Position[FList[I]] = static_cast<int>(I);
    std::vector<TItem*> Sorted = FList;
    std::stable_sort(Sorted.begin(), Sorted.end(),
                     [&](const TItem* A, const TItem* B) { return Compare(this, Position[A], Position[B]) < 0; });
    FList.swap(Sorted);
    Changed();
}

void TJclWideStringList::SetSorted(bool Value) {
    if (Value == FSorted)
        return;
    if (Value)
        Sort();
    FSorted = Value;
}

void TJclWideStringList::SetCaseSensitive(bool Value) {
    if (Value == FCaseSensitive)
        return;
    FCaseSensitive = Value;
    if (FSorted) {
        SetSorted(false);
        SetSorted(true);
    }
}

// ---------------------------------------------------------------------------------------------
// Comparisons

int WideCompareLocale(const std::wstring& S1, const std::wstring& S2, bool CaseSensitive) {
    return CompareStringW(LOCALE_USER_DEFAULT, CaseSensitive ? 0 : NORM_IGNORECASE, S1.c_str(),
                          static_cast<int>(S1.size()), S2.c_str(), static_cast<int>(S2.size())) -
           2;
}

namespace {
std::wstring Folded(const std::wstring& S) {
    std::wstring R;
    R.reserve(S.size());
    for (wchar_t C : S) {
        if (C == 0)
            break;
        R += CaseFoldUnit(C);
    }
    return R;
}

// Code point order for UTF-16: surrogates sort after the private use area.
int CodePointOrder(wchar_t C) {
    unsigned U = static_cast<std::uint16_t>(C);
    if (U >= 0xD800 && U <= 0xDFFF)
        U += 0x2000;
    else if (U >= 0xE000)
        U -= 0x800;
    return static_cast<int>(U & 0xFFFF);
}
}  // namespace

int CompareFolded(const std::wstring& A, const std::wstring& B) {
    const std::wstring FA = Folded(A), FB = Folded(B);
    const size_t N = std::min(FA.size(), FB.size());
    for (size_t I = 0; I < N; ++I)
        if (FA[I] != FB[I])
            return CodePointOrder(FA[I]) - CodePointOrder(FB[I]);
    if (FA.size() == FB.size())
        return 0;
    return FA.size() < FB.size() ? -1 : 1;
}

bool SameTextFolded(const std::wstring& A, const std::wstring& B) {
    return A.size() == B.size() && CompareFolded(A, B) == 0;
}

namespace {
const TUnitVersionInfo JclWideStringsBanner = UnitBanner("JclWideStrings", 3139, "common");
}

void JclWideStringsInitialization() { RegisterProgramUnitBanner(JclWideStringsBanner); }

void JclWideStringsFinalization() { UnregisterProgramUnitBanners(); }
