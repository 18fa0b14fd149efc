// Message lookup: the texts a window shows, found by key for the active language with their
// fallbacks, and the entry readers the application of a language uses.
#include "siComp.h"

#include "Restore.h"

namespace {

// The line that starts at Start, without its line break.
std::string_view LineAt(std::string_view Text, size_t Start) {
    std::string_view Rest = Text.substr(Start);
    return Rest.substr(0, Rest.find_first_of("\r\n"));
}
}  // namespace

bool TsiCustomLang::RedirectsLookup(TStrings* List) const {
    return (FOptions.Contains(loUseExtCommonStrings) && (List == DlgsCaptions() || List == Locales())) ||
           (FOptions.Contains(loUseExtUDStrings) && List == Strings());
}

void TsiCustomLang::LookupText(TStrings* List, const std::string& Key, std::string& Result, bool UseLanguage1) {
    Result.clear();
    // The lists of another component linked to the same dispatcher serve these kinds.
    if (RedirectsLookup(List)) {
        if (!FLangDispatcher)
            return;
        if (TStrings* Theirs = RedirectedList(List))
            return SearchListText(Theirs, Key, Result, UseLanguage1);
    }
    if (Designing() || List != Strings())
        return SearchListText(List, Key, Result, UseLanguage1);
    if (FDoRaiseExceptions && FStringsIndex->IndexOfKey(Key) < 0)
        throw ELanguageError(SStringIdNotFound, {Key});
    Result = FStringsIndex->ValueOfKey(Key, FActiveLanguage);
    if (Result.empty() && FActiveLanguage > 1 && TestModeActive())
        Result = PseudoTranslate(FStringsIndex->ValueOfKey(Key, 1));
    if (Result.empty() && UseLanguage1)
        Result = FStringsIndex->ValueOfKey(Key, 1);
}

void TsiCustomLang::SearchListText(TStrings* List, const std::string& Key, std::string& Result, bool UseLanguage1) {
    const std::string Text = List->Text();
    const std::string Head = Key + DelimChar();
    size_t Start = std::string::npos;
    if (Text.size() >= Head.size() && AnsiSameText(std::string_view(Text).substr(0, Head.size()), Head))
        Start = 0;
    else if (int P = FindSubstring(AnsiUpperCase("\r\n" + Head), AnsiUpperCase(Text)); P > 0)
        Start = static_cast<size_t>(P + 1);
    if (Start == std::string::npos) {
        if (FDoRaiseExceptions)
            throw ELanguageError(SStringIdNotFound, {Key});
        return;
    }
    // The scan for a field stops at the end of the entry's own line, so a short entry never yields
    // text of the next one.
    const std::string_view Entry = LineAt(Text, Start);
    const char D = DelimChar();
    Result = ExtractDelimitedField(Entry, D, FActiveLanguage);
    if (Result.empty() && FActiveLanguage > 1 && TestModeActive())
        Result = PseudoTranslateEntry(Entry);
    if (Result.empty() && UseLanguage1)
        Result = ExtractDelimitedField(Entry, D, 1);
    Result = FromStorage(Result, FActiveCharset);
}

std::string TsiCustomLang::GetText(const std::string& Key) {
    std::string Result;
    LookupText(Strings(), Key, Result, FTranslateType == ttGetDefault);
    return DecodeEscapes ? DecodeCEscapes(Result) : Result;
}

std::string TsiCustomLang::GetTextOrDefault(const std::string& Key) {
    std::string Result;
    if (!FUseDefaultLanguage) {
        LookupText(Strings(), Key, Result, true);
        return DecodeEscapes ? DecodeCEscapes(Result) : Result;
    }
    Result = GetText(Key);
    if (Result.empty()) {
        // Only the field changes: the owner keeps its texts, and the language comes back even when a
        // lookup raises.
        TRestore<int> Keep(FActiveLanguage);
        FActiveLanguage = FDefaultLanguage;
        Result = GetText(Key);
        if (Result.empty())
            LookupText(Strings(), Key, Result, true);
    }
    return Result;
}

void TsiCustomLang::EntryValueAt(TStrings* List, int Index, std::string& Result, bool UseLanguage1) {
    Result.clear();
    if (FOptions.Contains(loUseExtCommonStrings) && (List == DlgsCaptions() || List == Locales())) {
        List = RedirectedList(List);
        if (!List)
            return;
    }
    if (Index < 0 || Index >= List->Count())
        return;
    const std::string Entry = List->Strings(Index);
    const char D = DelimChar();
    Result = ExtractDelimitedField(Entry, D, FActiveLanguage);
    if (Result.empty() && UseLanguage1)
        Result = ExtractDelimitedField(Entry, D, 1);
    Result = FromStorage(Result, FActiveCharset);
}

void TsiCustomLang::EntryValueOfKey(TStrings* List, const std::string& Key, std::string& Result, int Language) {
    Result.clear();
    const char D = DelimChar();
    for (int I = 0; I < List->Count(); ++I) {
        std::string Entry;
        try {
            Entry = List->Strings(I);
        } catch (const Exception&) {
        }
        if (!AnsiSameText(ExtractDelimitedField(Entry, D, 0), Key))
            continue;
        Result = ExtractDelimitedField(Entry, D, Language);
        if (FStoreAsUTF8 && List != CharSets() && List != Fonts())
            Result = FromStorage(Result, CharsetOfLanguage(Language));
        return;
    }
}

std::string DecodeCEscapes(std::string_view Text) {
    auto IsOctal = [](char C) { return C >= '0' && C <= '7'; };
    auto HexValue = [](char C) {
        static constexpr std::string_view Digits = "0123456789abcdef";
        size_t P = Digits.find(static_cast<char>(C | 0x20));
        return C >= '0' && P != std::string_view::npos ? static_cast<int>(P) : -1;
    };
    std::string R;
    R.reserve(Text.size());
    size_t I = 0;
    while (I < Text.size()) {
        char C = Text[I++];
        if (C != '\\' || I == Text.size()) {
            R += C;
            continue;
        }
        char E = Text[I++];
        switch (E) {
        case '"': case '\'': case '?': case '\\': R += E; break;
        case 'a': R += '\a'; break;
        case 'b': R += '\b'; break;
        case 'f': R += '\f'; break;
        case 'n': R += '\n'; break;
        case 'r': R += '\r'; break;
        case 't': R += '\t'; break;
        case 'v': R += '\v'; break;
        case 'x': {
            int H = I < Text.size() ? HexValue(Text[I]) : -1;
            if (H < 0) {
                R += "\\x";
                break;
            }
            ++I;
            if (I < Text.size() && HexValue(Text[I]) >= 0)
                H = H * 16 + HexValue(Text[I++]);
            R += static_cast<char>(H);
            break;
        }
        default:
            if (IsOctal(E)) {
                int V = E - '0';
                for (int K = 0; K < 2 && I < Text.size() && IsOctal(Text[I]); ++K)
                    V = V * 8 + (Text[I++] - '0');
                R += static_cast<char>(V & 0xFF);
            } else {
                R += '\\';
                R += E;
            }
        }
    }
    return R;
}
