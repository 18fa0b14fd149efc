#include "MemIni.h"

#include "DateUtils.h"

#include <array>

// ---------------------------------------------------------------------------------------------
// Field routines

std::string ExtractDelimitedField(std::string_view Text, char Delimiter, int Index) {
    if (Text.empty() || Index < 0)
        return {};
    size_t Start = 0;
    for (int I = 0; I < Index; ++I) {
        size_t D = Text.find(Delimiter, Start);
        if (D == std::string_view::npos)
            return {};
        Start = D + 1;
    }
    size_t End = Text.find(Delimiter, Start);
    return std::string(Text.substr(Start, End == std::string_view::npos ? std::string_view::npos : End - Start));
}

std::wstring ExtractDelimitedFieldW(std::wstring_view Text, wchar_t Delimiter, int Index) {
    if (Index < 0)
        return {};
    size_t Start = 0;
    for (int I = 0;; ++I) {
        size_t D = Text.find(Delimiter, Start);
        if (D == std::wstring_view::npos)
            return {};
        if (I == Index)
            return std::wstring(Text.substr(Start, D - Start));
        Start = D + 1;
    }
}

int FindSubstring(std::string_view Pattern, std::string_view Text) {
    const size_t M = Pattern.size();
    if (M == 0)
        return 1;
    if (M > Text.size())
        return 0;
    std::array<size_t, 256> Shift;
    Shift.fill(M);
    for (size_t I = 0; I + 1 < M; ++I)
        Shift[static_cast<unsigned char>(Pattern[I])] = M - 1 - I;
    // P is the 0-based index of the window's last character.
    for (size_t P = M - 1; P < Text.size(); P += Shift[static_cast<unsigned char>(Text[P])]) {
        size_t J = M;
        while (J > 0 && Pattern[J - 1] == Text[P - (M - J)])
            --J;
        if (J == 0)
            return static_cast<int>(P - M + 2);
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// TsiCustomIniFile

namespace {
template <class F>
TDateTime ReadConverted(TsiCustomIniFile& Ini, const std::string& Section, const std::string& Key, TDateTime Default,
                        F Convert) {
    std::string S = Ini.GetValue(Section, Key, "");
    if (S.empty())
        return Default;
    try {
        return Convert(S);
    } catch (const EConvertError&) {
        return Default;
    }
}
}  // namespace

LongInt TsiCustomIniFile::GetIntValue(const std::string& Section, const std::string& Key, LongInt Default) {
    std::string S = GetValue(Section, Key, "");
    if (S.size() > 2 && S[0] == '0' && (S[1] == 'x' || S[1] == 'X'))
        S = "$" + S.substr(2);
    return StrToIntDef(S, Default);
}

void TsiCustomIniFile::SetIntValue(const std::string& Section, const std::string& Key, LongInt Value) {
    SetValue(Section, Key, IntToStr(Value));
}

bool TsiCustomIniFile::GetBoolValue(const std::string& Section, const std::string& Key, bool Default) {
    return GetIntValue(Section, Key, Default ? 1 : 0) != 0;
}

void TsiCustomIniFile::SetBoolValue(const std::string& Section, const std::string& Key, bool Value) {
    SetValue(Section, Key, Value ? "1" : "0");
}

TDateTime TsiCustomIniFile::GetDateValue(const std::string& Section, const std::string& Key, TDateTime Default) {
    return ReadConverted(*this, Section, Key, Default, [](const std::string& S) { return StrToDate(S); });
}

TDateTime TsiCustomIniFile::GetDateTimeValue(const std::string& Section, const std::string& Key, TDateTime Default) {
    return ReadConverted(*this, Section, Key, Default, [](const std::string& S) { return StrToDateTime(S); });
}

double TsiCustomIniFile::GetFloatValue(const std::string& Section, const std::string& Key, double Default) {
    return ReadConverted(*this, Section, Key, Default, [](const std::string& S) { return StrToFloat(S); });
}

TDateTime TsiCustomIniFile::GetTimeValue(const std::string& Section, const std::string& Key, TDateTime Default) {
    return ReadConverted(*this, Section, Key, Default, [](const std::string& S) { return StrToTime(S); });
}

void TsiCustomIniFile::SetDateValue(const std::string& Section, const std::string& Key, TDateTime Value) {
    SetValue(Section, Key, DateToStr(Value));
}

void TsiCustomIniFile::SetDateTimeValue(const std::string& Section, const std::string& Key, TDateTime Value) {
    SetValue(Section, Key, DateTimeToStr(Value));
}

void TsiCustomIniFile::SetFloatValue(const std::string& Section, const std::string& Key, double Value) {
    SetValue(Section, Key, FloatToStr(Value));
}

void TsiCustomIniFile::SetTimeValue(const std::string& Section, const std::string& Key, TDateTime Value) {
    SetValue(Section, Key, TimeToStr(Value));
}

bool TsiCustomIniFile::HasSection(const std::string& Section) {
    TStringList Keys;
    Keys.SetSorted(true);
    GetSectionKeys(Section, &Keys);
    return Keys.Count() > 0;
}

// ---------------------------------------------------------------------------------------------
// TMemIniEntry

TMemIniEntry::TMemIniEntry() : FKeys(Create<TStringList>()) {
    FKeys->SetSorted(true);
    FKeys->SetDuplicates(dupAccept);
}

TMemIniEntry::~TMemIniEntry() {
    for (int I = 0; I < FKeys->Count(); ++I)
        FreeObject(FKeys->Objects(I));
    FKeys->Free();
}

int TMemIniEntry::IndexOfKey(const std::string& Key) const {
    int Index;
    return FKeys->Find(Key, Index) ? Index : -1;
}

void TMemIniEntry::AddKey(const std::string& Key, const std::string& Value) {
    auto* V = Create<TMemIniValue>(Value);
    try {
        FKeys->AddObject(Key, V);
    } catch (...) {
        V->Free();
        throw;
    }
}

void TMemIniEntry::DeleteKey(int Index) {
    TObject* V = FKeys->Objects(Index);
    FKeys->Delete(Index);
    FreeObject(V);
}

// ---------------------------------------------------------------------------------------------
// TsiMemIniFile

TsiMemIniFile::TsiMemIniFile(const std::string& AIniFileName)
    : TsiCustomIniFile(AIniFileName), FSections(Create<TStringList>()) {
    FSections->SetSorted(true);
    FSections->SetDuplicates(dupError);
    if (!AIniFileName.empty() && FileExists(AIniFileName)) {
        try {
            TStringList Lines;
            Lines.LoadFromFile(AIniFileName);
            FromLines(&Lines);
        } catch (...) {
            ClearAll();
            FSections->Free();
            throw;
        }
    }
}

TsiMemIniFile::~TsiMemIniFile() {
    ClearAll();
    FSections->Free();
}

void TsiMemIniFile::ClearAll() {
    for (int I = 0; I < FSections->Count(); ++I)
        FreeObject(FSections->Objects(I));
    FSections->Clear();
}

TMemIniEntry* TsiMemIniFile::FindSection(const std::string& Name) const {
    int Index;
    return FSections->Find(Name, Index) ? static_cast<TMemIniEntry*>(FSections->Objects(Index)) : nullptr;
}

TMemIniEntry* TsiMemIniFile::AddSection(const std::string& Name) {
    // A repeated section header reopens the section instead of dropping the lines under it.
    if (TMemIniEntry* Existing = FindSection(Name))
        return Existing;
    auto* Entry = Create<TMemIniEntry>();
    try {
        FSections->AddObject(Name, Entry);
    } catch (...) {
        Entry->Free();
        throw;
    }
    return Entry;
}

void TsiMemIniFile::AddKeyLine(TMemIniEntry* Section, const std::string& Line) {
    size_t Eq = Line.find('=');
    if (Eq == std::string::npos)
        Section->AddKey(Line, "");
    else
        Section->AddKey(Line.substr(0, Eq), Line.substr(Eq + 1));
}

void TsiMemIniFile::FromLines(TStrings* Strings) {
    ClearAll();
    TMemIniEntry* Current = nullptr;
    for (int I = 0; I < Strings->Count(); ++I) {
        std::string Line = Strings->Strings(I);
        if (Line.empty() || Line[0] == ';')
            continue;
        if (Line.size() >= 2 && Line.front() == '[' && Line.back() == ']')
            Current = AddSection(Line.substr(1, Line.size() - 2));
        else if (Current)
            AddKeyLine(Current, Line);
    }
}

void TsiMemIniFile::ToLines(TStrings* Strings) {
    Strings->BeginUpdate();
    try {
        for (int I = 0; I < FSections->Count(); ++I) {
            Strings->Add("[" + FSections->Strings(I) + "]");
            auto* Section = static_cast<TMemIniEntry*>(FSections->Objects(I));
            for (int K = 0; K < Section->Keys()->Count(); ++K)
                Strings->Add(Section->Keys()->Strings(K) + "=" + Section->Values(K)->Value);
            Strings->Add("");
        }
    } catch (...) {
        Strings->EndUpdate();
        throw;
    }
    Strings->EndUpdate();
}

void TsiMemIniFile::ReadFromStream(TStream* Stream) {
    ClearAll();
    TStringList Lines;
    Lines.LoadFromStream(Stream);
    FromLines(&Lines);
}

std::string TsiMemIniFile::GetValue(const std::string& Section, const std::string& Key, const std::string& Default) {
    TMemIniEntry* S = FindSection(Section);
    int K = S ? S->IndexOfKey(Key) : -1;
    return K >= 0 ? S->Values(K)->Value : Default;
}

void TsiMemIniFile::SetValue(const std::string& Section, const std::string& Key, const std::string& Value) {
    TMemIniEntry* S = AddSection(Section);
    int K = S->IndexOfKey(Key);
    if (K >= 0)
        S->DeleteKey(K);
    AddKeyLine(S, Key + "=" + Value);
}

namespace {
// Refills Strings with one text per key of the section, in key order; nothing when it is missing.
template <class F>
void FillFromSection(TMemIniEntry* S, TStrings* Strings, F TextOf) {
    if (!S)
        return;
    Strings->BeginUpdate();
    try {
        Strings->Clear();
        for (int K = 0; K < S->Keys()->Count(); ++K)
            Strings->Add(TextOf(K));
    } catch (...) {
        Strings->EndUpdate();
        throw;
    }
    Strings->EndUpdate();
}
}  // namespace

void TsiMemIniFile::GetSectionKeys(const std::string& Section, TStrings* Strings) {
    TMemIniEntry* S = FindSection(Section);
    FillFromSection(S, Strings, [S](int K) { return S->Keys()->Strings(K); });
}

void TsiMemIniFile::GetSectionValues(const std::string& Section, TStrings* Strings) {
    TMemIniEntry* S = FindSection(Section);
    FillFromSection(S, Strings, [S](int K) { return S->Values(K)->Value; });
}

void TsiMemIniFile::GetSectionNames(TStrings* Strings) { Strings->Assign(FSections); }

void TsiMemIniFile::RemoveSection(const std::string& Section) {
    int Index;
    if (FSections->Find(Section, Index)) {
        TObject* Entry = FSections->Objects(Index);
        FSections->Delete(Index);
        FreeObject(Entry);
    }
}

void TsiMemIniFile::RemoveKey(const std::string& Section, const std::string& Key) {
    if (TMemIniEntry* S = FindSection(Section)) {
        int K = S->IndexOfKey(Key);
        if (K >= 0)
            S->DeleteKey(K);
    }
}

void TsiMemIniFile::Flush() {
    TStringList Lines;
    ToLines(&Lines);
    Lines.SaveToFile(IniFileName());
}
