// Character sets at work: strict code-page conversions, the switch of the stored texts to UTF-8 and
// back, the value-with-default rule, and the pseudo-translations of test mode.
#include "siComp.h"

#include <algorithm>

namespace {
// Strict conversions: false when the platform refuses a character instead of a replacement.
bool TryToWide(std::string_view Text, UINT CodePage, DWORD Flags, std::wstring& Result) {
    Result.clear();
    if (Text.empty())
        return true;
    const int Len = static_cast<int>(Text.size());
    int N = MultiByteToWideChar(CodePage, Flags, Text.data(), Len, nullptr, 0);
    if (N <= 0)
        return false;
    Result.resize(static_cast<size_t>(N));
    return MultiByteToWideChar(CodePage, Flags, Text.data(), Len, Result.data(), N) == N;
}

bool TryFromWide(std::wstring_view Text, UINT CodePage, std::string& Result) {
    Result.clear();
    if (Text.empty())
        return true;
    const int Len = static_cast<int>(Text.size());
    // UTF-8 has no default character; elsewhere a character without a code point is a refusal.
    BOOL UsedDefault = FALSE;
    BOOL* Used = CodePage == CP_UTF8 ? nullptr : &UsedDefault;
    int N = WideCharToMultiByte(CodePage, 0, Text.data(), Len, nullptr, 0, nullptr, Used);
    if (N <= 0 || UsedDefault)
        return false;
    Result.resize(static_cast<size_t>(N));
    return WideCharToMultiByte(CodePage, 0, Text.data(), Len, Result.data(), N, nullptr, nullptr) == N;
}
}  // namespace

bool TryAnsiToUtf8(std::string_view Text, Byte Charset, std::string& Result) {
    std::wstring W;
    std::string R;
    if (!TryToWide(Text, CharsetCodePage(Charset), MB_PRECOMPOSED | MB_ERR_INVALID_CHARS, W) || !TryFromWide(W, CP_UTF8, R))
        return false;
    Result = std::move(R);
    return true;
}

bool TryUtf8ToAnsi(std::string_view Text, Byte Charset, std::string& Result) {
    std::wstring W;
    std::string R;
    if (!TryToWide(Text, CP_UTF8, MB_ERR_INVALID_CHARS, W) || !TryFromWide(W, CharsetCodePage(Charset), R))
        return false;
    Result = std::move(R);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Stored texts as UTF-8

void TsiCustomLang::SetStoreAsUTF8(bool Value) {
    if (Loading()) {
        FStoreAsUTF8 = Value;
        return;
    }
    if (Value == FStoreAsUTF8)
        return;
    ConvertStorage(Value);
    FStoreAsUTF8 = Value;
    // The indexes hold the converted values only once the flag says how to read them.
    if (!Designing())
        RebuildIndexes(this);
}

void TsiCustomLang::ConvertStorage(bool ToUtf8) {
    RefreshCharsets();
    const char D = DelimChar();
    auto Convert = [&](std::string_view Text, int Language) {
        const Byte Charset = FLanguageCharsets[static_cast<size_t>(Language - 1)];
        std::string R;
        if (!(ToUtf8 ? TryAnsiToUtf8(Text, Charset, R) : TryUtf8ToAnsi(Text, Charset, R)))
            throw ELanguageError("\"%s\" cannot be converted between UTF-8 and code page %d",
                                 {std::string(Text), static_cast<int>(CharsetCodePage(Charset))});
        return R;
    };
    // Everything is converted into copies first, so a refused text changes nothing at all.
    std::vector<std::pair<TStrings*, std::vector<std::string>>> Lists;
    for (int K = 0; K < KindCount; ++K) {
        TStrings* L = GetKindList(static_cast<TStringsType>(K));
        if (!L || K == stFonts || K == stCharSets)
            continue;
        std::vector<std::string> Entries;
        for (int I = 0; I < L->Count(); ++I) {
            const std::string E = L->Strings(I);
            std::string R = ExtractDelimitedField(E, D, 0) + D;
            for (int N = 1; N <= FNumOfLanguages; ++N)
                (R += Convert(ExtractDelimitedField(E, D, N), N)) += D;
            Entries.push_back(std::move(R));
        }
        Lists.emplace_back(L, std::move(Entries));
    }
    std::vector<std::string> Values;
    for (int I = 0; I < FExtendedTranslations->Count(); ++I) {
        const std::string V = FExtendedTranslations->Items(I)->Values();
        std::string R;
        for (int N = 1; N <= FNumOfLanguages; ++N)
            (R += Convert(ExtractDelimitedField(V, D, N - 1), N)) += D;
        Values.push_back(std::move(R));
    }
    for (auto& [L, Entries] : Lists)
        for (int I = 0; I < static_cast<int>(Entries.size()); ++I)
            L->SetStrings(I, Entries[static_cast<size_t>(I)]);
    for (int I = 0; I < static_cast<int>(Values.size()); ++I)
        FExtendedTranslations->Items(I)->SetValues(Values[static_cast<size_t>(I)]);
}

// ---------------------------------------------------------------------------------------------
// Options

std::string TsiCustomLang::FieldWithDefault(std::string_view Entry, int Field) {
    const char D = DelimChar();
    std::string R = ExtractDelimitedField(Entry, D, Field);
    if (R.empty() && FUseDefaultLanguage && Field != FDefaultLanguage)
        R = ExtractDelimitedField(Entry, D, FDefaultLanguage);
    return R;
}

void TsiCustomLang::SetAutoSkipEmpties(bool Value) {
    if (Value == FAutoSkipEmpties)
        return;
    FAutoSkipEmpties = Value;
    if (Value && !Loading())
        CollectProperties();
}

// ---------------------------------------------------------------------------------------------
// Test mode

void TTestModeInfo::DefineClass(TClassBuilder<TTestModeInfo>& B) {
    using C = TTestModeInfo;
    B.Property("Active", &C::Active, &C::Active).Default(false);
    B.Property("Kind", &C::Kind, &C::Kind).Default(tmkExpandWidth);
    B.Property("ExpandWidthPercent", &C::ExpandWidthPercent, &C::ExpandWidthPercent).Default(100);
    B.Property("ExpandCharsPercent", &C::ExpandCharsPercent, &C::ExpandCharsPercent).Default(100);
    B.Property("PaddingChar", &C::PaddingChar, &C::PaddingChar).Default('*');
}

void TTestModeInfo::Assign(TPersistent* Source) {
    auto* S = DynCast<TTestModeInfo>(Source);
    if (!S)
        return TPersistent::Assign(Source);
    Active = S->Active;
    Kind = S->Kind;
    ExpandWidthPercent = S->ExpandWidthPercent;
    ExpandCharsPercent = S->ExpandCharsPercent;
    PaddingChar = S->PaddingChar;
}

bool TsiCustomLang::TestModeActive() const { return FLangDispatcher && FLangDispatcher->TestModeInfo()->Active; }

namespace {
// Widths as the screen shows them in the font the padding is meant for.
class TTextMeasure {
public:
    TTextMeasure() : FDC(GetDC(nullptr)) {
        LOGFONTA LF{};
        LF.lfHeight = -MulDiv(8, GetDeviceCaps(FDC, LOGPIXELSY), 72);
        lstrcpyA(LF.lfFaceName, "Tahoma");
        FFont = CreateFontIndirectA(&LF);
        FOld = SelectObject(FDC, FFont);
    }
    ~TTextMeasure() {
        SelectObject(FDC, FOld);
        DeleteObject(FFont);
        ReleaseDC(nullptr, FDC);
    }
    TTextMeasure(const TTextMeasure&) = delete;
    TTextMeasure& operator=(const TTextMeasure&) = delete;
    int Width(const std::string& S) const {
        SIZE Size{};
        GetTextExtentPoint32A(FDC, S.data(), static_cast<int>(S.size()), &Size);
        return Size.cx;
    }

private:
    HDC FDC;
    HFONT FFont;
    HGDIOBJ FOld;
};

std::string ExpandWidth(const std::string& Text, char PadChar, int Percent) {
    std::string R = AnsiUpperCase(Text);
    if (R.empty())
        return R;
    TTextMeasure M;
    const int W = M.Width(Text);
    const int Target = W + Percent * W / 100;
    int P = static_cast<int>(R.size());
    for (int Width = M.Width(R); Width < Target;) {
        R.insert(static_cast<size_t>(std::max(P - 1, 0)), 1, PadChar);
        const int Wider = M.Width(R);
        // A padding character without width would never reach the target.
        if (Wider <= Width)
            break;
        Width = Wider;
        P -= 2;
        if (P <= 1)
            P = static_cast<int>(R.size()) - 1;
    }
    return R;
}
}  // namespace

std::string TsiCustomLang::PseudoTranslate(const std::string& Text) {
    const TTestModeInfo* T = FLangDispatcher ? FLangDispatcher->TestModeInfo() : nullptr;
    if (!T)
        return Text;
    switch (T->Kind) {
    case tmkFlipCase:
        return FlipCase(Text);
    case tmkExpandChars:
        return ExpandChars(Text, T->PaddingChar, T->ExpandCharsPercent);
    default:
        return ExpandWidth(Text, T->PaddingChar, T->ExpandWidthPercent);
    }
}

std::string TsiCustomLang::PseudoTranslateEntry(std::string_view Entry) {
    std::string First = ExtractDelimitedField(Entry, DelimChar(), 1);
    return First.empty() ? First : PseudoTranslate(First);
}
