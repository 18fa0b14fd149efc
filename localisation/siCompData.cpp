// The stored translation data ("TranslationData"): reader, writer and stored test; padding and
// merging of entries; the character sets of the languages that the UTF-16 reader converts with.
#include "siComp.h"

#include "Forms.h"

#include <algorithm>

namespace {
constexpr char CharCR = 25;  // a CR inside a stored value
constexpr char CharLF = 26;  // a LF inside a stored value

const std::string& KindName(int Kind) {
    static const std::vector<std::string> Names = [] {
        std::vector<std::string> N;
        for (int K = 0; K < KindCount; ++K)
            N.push_back(GetEnumName(TypeInfoFor<TStringsType>(), K));
        return N;
    }();
    return Names[static_cast<size_t>(Kind)];
}

// The kind a header line opens, or -1; Unicode tells a "_Unicode" header.
int HeaderKind(const std::string& Line, bool& Unicode) {
    for (int K = 0; K < KindCount; ++K) {
        const std::string& Name = KindName(K);
        if (SameText(Line, Name)) {
            Unicode = false;
            return K;
        }
        if (Line.size() == Name.size() + 8 && SameText(Line, Name + "_Unicode")) {
            Unicode = true;
            return K;
        }
    }
    return -1;
}

std::vector<std::string> SplitFields(std::string_view Entry, char D) {
    std::vector<std::string> Fields;
    size_t Start = 0;
    for (size_t P; (P = Entry.find(D, Start)) != std::string_view::npos; Start = P + 1)
        Fields.emplace_back(Entry.substr(Start, P - Start));
    if (Start < Entry.size())
        Fields.emplace_back(Entry.substr(Start));
    return Fields;
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Entries

std::string MergeEntry(std::string_view Old, std::string_view New, char D) {
    std::vector<std::string> O = SplitFields(Old, D), N = SplitFields(New, D);
    std::string R = O.empty() ? std::string() : O[0];
    R += D;
    for (size_t I = 1; I < O.size(); ++I)
        (R += I < N.size() && !N[I].empty() ? N[I] : O[I]) += D;
    for (size_t I = std::max<size_t>(O.size(), 1); I < N.size(); ++I)
        (R += N[I]) += D;
    return R;
}

int IndexOfEntryKey(TStrings* List, std::string_view Entry, char D) {
    const std::string Key = ExtractDelimitedField(Entry, D, 0);
    for (int I = 0; I < List->Count(); ++I)
        if (AnsiSameText(ExtractDelimitedField(List->Strings(I), D, 0), Key))
            return I;
    return -1;
}

void TsiWideStringsAdapter::SetText(std::wstring_view Value) {
    FLines.clear();
    std::wstring Line;
    for (wchar_t Ch : Value) {
        if (Ch == L'\r') {
            FLines.push_back(std::move(Line));
            Line.clear();
        } else if (Ch != L'\n')
            Line += Ch;
    }
}

const std::wstring& TsiWideStringsAdapter::Strings(int Index) const {
    if (Index < 0 || Index >= Count())
        RaiseListIndexError(Index);
    return FLines[static_cast<size_t>(Index)];
}

void TsiCustomLang::PadEntries(TStrings* List) {
    const char D = DelimChar();
    for (int I = 0; I < List->Count(); ++I) {
        std::string Entry = List->Strings(I);
        int Delims = static_cast<int>(std::count(Entry.begin(), Entry.end(), D));
        if (Delims <= FNumOfLanguages)
            List->SetStrings(I, Entry.append(static_cast<size_t>(FNumOfLanguages - Delims + 1), D));
    }
}

void TsiCustomLang::PadAllEntries() {
    for (TStrings* L : {Strings(), DlgsCaptions(), Locales()})
        PadEntries(L);
}

// ---------------------------------------------------------------------------------------------
// Character sets of the languages

Byte TsiCustomLang::CharsetOfLanguage(int Language) {
    std::string Name;
    if (!Owner() || Quiet) {
        if (CharSets()->Count() > 0)
            Name = ExtractDelimitedField(CharSets()->Strings(0), DelimChar(), Language);
    } else
        EntryValueOfKey(CharSets(), Owner()->ClassName(), Name, Language);
    if (Name.empty() && FCharsetReference && FCharsetReference->Owner())
        FCharsetReference->EntryValueOfKey(FCharsetReference->CharSets(), FCharsetReference->Owner()->ClassName(), Name,
                                           Language);
    else if (!FCharsetReference && FLangDispatcher) {
        // The fallback serves later calls: a window whose data names no charset takes another
        // window's.
        for (int I = 0; I < FLangDispatcher->LinkedCount(); ++I) {
            TsiCustomLang* L = FLangDispatcher->LinkedItems(I);
            if (L != this && L->Owner() && L->Owner()->InheritsFrom(TCustomForm::StaticClass()))
                FCharsetReference = L;
        }
        if (FCharsetReference)
            FCharsetReference->FreeNotification(this);
    }
    return CharsetOfName(Name);
}

void TsiCustomLang::RefreshCharsets() {
    FLanguageCharsets.assign(static_cast<size_t>(FNumOfLanguages), 1);
    for (int L = 1; L <= FNumOfLanguages; ++L)
        FLanguageCharsets[static_cast<size_t>(L - 1)] = CharsetOfLanguage(L);
}

void TsiCustomLang::RefreshActiveCharset() {
    RefreshCharsets();
    if (FActiveLanguage >= 1 && FActiveLanguage <= static_cast<int>(FLanguageCharsets.size()))
        FActiveCharset = FLanguageCharsets[static_cast<size_t>(FActiveLanguage - 1)];
}

std::string TsiCustomLang::ToStorage(const std::string& Text, Byte Charset) const {
    return FStoreAsUTF8 ? AnsiToUtf8(Text, Charset) : Text;
}

std::string TsiCustomLang::FromStorage(const std::string& Text, Byte Charset) const {
    return FStoreAsUTF8 && !Text.empty() ? Utf8ToAnsi(Text, Charset) : Text;
}

// ---------------------------------------------------------------------------------------------
// "TranslationData"

void TsiCustomLang::DefineProperties(TFiler& Filer) {
    TComponent::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "TranslationData", [this](TStream& S) { ReadTranslationData(S); }, [this](TStream& S) { WriteTranslationData(S); },
        IsTranslationDataStored(Filer));
}

bool TsiCustomLang::IsTranslationDataStored(TFiler& Filer) {
    auto* Ancestor = DynCast<TsiCustomLang>(Filer.Ancestor());
    if (!Ancestor)
        return true;
    for (int K = 0; K < KindCount; ++K) {
        TStrings* Mine = GetKindList(static_cast<TStringsType>(K));
        TStrings* Theirs = Ancestor->GetKindList(static_cast<TStringsType>(K));
        if (Mine && Theirs && Mine->Text() != Theirs->Text())
            return true;
    }
    return false;
}

void TsiCustomLang::WriteTranslationData(TStream& Stream) {
    for (int K = 0; K < KindCount; ++K) {
        TStrings* L = GetKindList(static_cast<TStringsType>(K));
        if (!L)
            continue;
        std::string Text = KindName(K) + "\r\n";
        for (int I = 0; I < L->Count(); ++I) {
            std::string Entry = L->Strings(I);
            std::replace(Entry.begin(), Entry.end(), '\r', CharCR);
            std::replace(Entry.begin(), Entry.end(), '\n', CharLF);
            (Text += Entry) += "\r\n";
        }
        Stream.WriteBuffer(Text.data(), static_cast<LongInt>(Text.size()));
    }
}

void TsiCustomLang::AddReadEntry(TStrings* List, std::string Entry) {
    const char D = DelimChar();
    std::replace(Entry.begin(), Entry.end(), CharCR, '\r');
    std::replace(Entry.begin(), Entry.end(), CharLF, '\n');
    if (FIsInheritedOwner && !Quiet) {
        int Existing = IndexOfEntryKey(List, Entry, D);
        if (Existing >= 0) {
            List->SetStrings(Existing, MergeEntry(List->Strings(Existing), Entry, D));
            return;
        }
    }
    // The owner's own entry leads its list: the apply step takes entry 0 as the owner's.
    const bool OwnerEntry = Owner() && Entry.compare(0, Owner()->ClassName().size() + 1, Owner()->ClassName() + D) == 0;
    if (OwnerEntry)
        List->Insert(0, Entry);
    else
        List->Add(Entry);
}

template <class THeader, class TEntry>
void TsiCustomLang::ReadSections(int Count, THeader Header, TEntry Entry, bool WidePass, bool& SawUnicode) {
    TStrings* Current = nullptr;
    for (int I = 0; I < Count; ++I) {
        bool Unicode = false;
        int Kind = HeaderKind(Header(I), Unicode);
        if (Kind >= 0) {
            if (I == Count - 1)
                break;
            SawUnicode = SawUnicode || Unicode;
            const bool Skipped = WidePass && (Kind == stFonts || Kind == stCharSets);
            Current = Skipped ? nullptr : GetKindList(static_cast<TStringsType>(Kind));
            if (Current && (Designing() || !FIsInheritedOwner || (Quiet && !WidePass)))
                Current->Clear();
        } else if (Current)
            AddReadEntry(Current, Entry(I));
    }
}

std::string TsiCustomLang::WideLineToEntry(std::wstring_view Line) {
    if (static_cast<int>(FLanguageCharsets.size()) < FNumOfLanguages)
        RefreshCharsets();
    const wchar_t WD = static_cast<unsigned char>(FLangDelim);
    const char D = DelimChar();
    std::string Entry = WideToAnsi(ExtractDelimitedFieldW(Line, WD, 0)) + D;
    for (int L = 1; L <= FNumOfLanguages; ++L) {
        std::wstring Field = ExtractDelimitedFieldW(Line, WD, L);
        Entry += FStoreAsUTF8 ? UTF8Encode(Field) : WideToAnsi(Field, CharsetCodePage(FLanguageCharsets[static_cast<size_t>(L - 1)]));
        Entry += D;
    }
    return Entry;
}

std::wstring TsiCustomLang::ExtendedValuesAsWide(TsiExtendedItem* Item) {
    if (!Item->WideValues().empty())
        return Item->WideValues();
    if (static_cast<int>(FLanguageCharsets.size()) < FNumOfLanguages)
        RefreshCharsets();
    // Each language's value is kept in its own character set's code page (or UTF-8).
    const wchar_t WD = static_cast<unsigned char>(FLangDelim);
    const char D = DelimChar();
    std::wstring Wide;
    for (int L = 1; L <= FNumOfLanguages; ++L) {
        const std::string Field = ExtractDelimitedField(Item->Values(), D, L - 1);
        Wide += FStoreAsUTF8 ? UTF8Decode(Field) : AnsiToWide(Field, CharsetCodePage(FLanguageCharsets[static_cast<size_t>(L - 1)]));
        Wide += WD;
    }
    return Wide;
}

void TsiCustomLang::RebuildExtendedFromWide() {
    const std::wstring Lead = std::wstring(L" ") + static_cast<wchar_t>(static_cast<unsigned char>(FLangDelim));
    for (int I = 0; I < FExtendedTranslations->Count(); ++I) {
        TsiExtendedItem* Item = FExtendedTranslations->Items(I);
        Item->SetValues(WideLineToEntry(Lead + Item->WideValues()).substr(2));
    }
}

void TsiCustomLang::ReadTranslationData(TStream& Stream) {
    std::string Bytes(static_cast<size_t>(Stream.Size() - Stream.Position()), '\0');
    if (!Bytes.empty())
        Stream.ReadBuffer(Bytes.data(), static_cast<LongInt>(Bytes.size()));
    std::wstring Wide;
    const bool IsWide = Bytes.size() >= 2 && Bytes[1] == '\0';
    TStringList Lines;
    if (IsWide) {
        Wide.resize(Bytes.size() / 2);
        std::copy_n(Bytes.data(), Wide.size() * 2, reinterpret_cast<char*>(Wide.data()));
        Lines.SetText(WideToAnsi(Wide));
    } else if (Bytes.size() >= 2)
        Lines.SetText(Bytes);

    bool SawUnicode = false;
    ReadSections(
        Lines.Count(), [&](int I) { return Lines.Strings(I); }, [&](int I) { return Lines.Strings(I); }, false,
        SawUnicode);
    RefreshActiveCharset();
    if (!SawUnicode)
        return;
    RebuildExtendedFromWide();
    if (IsWide) {
        TsiWideStringsAdapter WideLines;
        WideLines.SetText(Wide);
        ReadSections(
            WideLines.Count(), [&](int I) { return WideToAnsi(WideLines.Strings(I)); },
            [&](int I) { return WideLineToEntry(WideLines.Strings(I)); }, true, SawUnicode);
    }
}
