// The unit's tables, its start-up and shut-down, and the text and character-set routines the
// component's entries rest on.
#include "siComp.h"

#include "Controls.h"

const std::array<const char*, DialogCaptionCount> DialogCaptionDefaults = {
    "Warning", "Error", "Information", "Confirm", "&Yes", "&No", "OK", "Cancel", "&Abort", "&Retry", "&Ignore", "&All",
    "N&o To All", "Y&es To All", "&Help", "&Open", "Look &in:", "File &name:", "Files of &type:", "&Read-only", "&Save",
    "&Drives:", "Save &in:", "Save as &type:", "&Basic colors:", "&Custom colors:", "&Define Custom Colors >>", "Color",
    "|S&olid", "Hu&e:", "&Sat:", "&Lum:", "&Red:", "&Green:", "Bl&ue:", "&Add to Custom Colors", "&Font:",
    "Font st&yle:", "Si&ze:", "&Color:", "&Apply", "Effects", "Stri&keout", "&Underline", "Sample", "Sc&ript:",
    "Printer", "&Name:", "&Properties", "Status:", "Type:", "Where:", "Comment:", "Paper", "&Source:", "Orientation",
    "P&ortrait", "L&andscape", "Print to f&ile", "Print", "Pa&ges", "&Selection", "&from:", "&to:", "Copies",
    "Number of &copies:", "C&ollate", "Fi&nd what:", "Match &whole words only", "Match &case", "Direction", "&Up",
    "&Down", "&Find Next", "&Replace", "Replace &All", "Re&place with:", "Picture:", "Preview", "New Folder", "Folder:",
    "(None)", "Close", "Network", "Print Setup", "Find"};

const std::array<const char*, LocaleItemCount> LocaleItemNames = {
    "Currency String",   "Thousand Separator", "Decimal Separator", "Date Separator",    "Short Date Format",
    "Long Date Format",  "Time Separator",     "Time AM String",    "Time PM String",    "Short Time Format",
    "Long Time Format",  "Short Month Names",  "Long Month Names",  "Short Day Names",   "Long Day Names"};

const std::array<const char*, KindCount> KindPropertyNames = {
    "Caption", "Hint", "DisplayLabel", "Font", "TStrings", "Dialog", "Strings", "Other", "Locales", "Collections",
    "CharSet", "ListView_TreeView_Items"};

const std::array<const char*, 11> DialogButtonNames = {"Yes",    "No",  "OK",        "Cancel",     "Abort", "Retry",
                                                       "Ignore", "All", "No_To_All", "Yes_To_All", "Help"};

const std::array<TsiCharsetName, 19> CharsetNames = {{{"ANSI_CHARSET", 0},
                                                     {"DEFAULT_CHARSET", 1},
                                                     {"SYMBOL_CHARSET", 2},
                                                     {"MAC_CHARSET", 77},
                                                     {"SHIFTJIS_CHARSET", 128},
                                                     {"HANGEUL_CHARSET", 129},
                                                     {"JOHAB_CHARSET", 130},
                                                     {"GB2312_CHARSET", 134},
                                                     {"CHINESEBIG5_CHARSET", 136},
                                                     {"GREEK_CHARSET", 161},
                                                     {"TURKISH_CHARSET", 162},
                                                     {"VIETNAMESE_CHARSET", 163},
                                                     {"HEBREW_CHARSET", 177},
                                                     {"ARABIC_CHARSET", 178},
                                                     {"BALTIC_CHARSET", 186},
                                                     {"RUSSIAN_CHARSET", 204},
                                                     {"THAI_CHARSET", 222},
                                                     {"EASTEUROPE_CHARSET", 238},
                                                     {"OEM_CHARSET", 255}}};

bool DefaultDecodeEscapes = false;

// The literal stands in for the program's string resource; the number lets a translating loader
// recognise it.
const TResStringRec SStringIdNotFound{nullptr, 65105, "String identifier \"%s\" not found!"};

namespace {
int StartCount = 0;
std::vector<std::string> DialogTexts;
}  // namespace

const std::vector<std::string>& FrameworkDialogTexts() { return DialogTexts; }

void siCompInitialization() {
    if (StartCount++ > 0)
        return;
    using namespace ResConsts;
    for (const TResStringRec* R : {&SMsgDlgWarning, &SMsgDlgError, &SMsgDlgInformation, &SMsgDlgConfirm, &SMsgDlgYes,
                                   &SMsgDlgNo, &SMsgDlgOK, &SMsgDlgCancel, &SMsgDlgAbort, &SMsgDlgRetry, &SMsgDlgIgnore,
                                   &SMsgDlgAll, &SMsgDlgNoToAll, &SMsgDlgYesToAll, &SMsgDlgHelp})
        DialogTexts.push_back(LoadResString(R));
    // Forms name the engine's classes among controls, so they belong to the controls' group.
    TClass Controls = TControl::StaticClass();
    StartClassGroup(Controls);
    ActivateClassGroup(Controls);
    GroupDescendentsWith(TsiCustomLang::StaticClass(), Controls);
    GroupDescendentsWith(TsiFormStorage::StaticClass(), Controls);
    GroupDescendentsWith(TsiLangDispatcher::StaticClass(), Controls);
    // Form readers find every class of a form's components by name, the dispatcher's too.
    for (TClass C : {TsiLang::StaticClass(), TsiLangDispatcher::StaticClass()})
        if (!GetClass(C->ClassName()))
            RegisterClass(C);
}

void siCompFinalization() {
    if (StartCount == 0 || --StartCount > 0)
        return;
    std::vector<std::string>().swap(DialogTexts);
}

// ---------------------------------------------------------------------------------------------
// Text routines

int CountDelimiters(std::string_view Text, std::string_view Delims) {
    int N = 0;
    for (char Ch : Text)
        if (Delims.find(Ch) != std::string_view::npos)
            ++N;
    return N;
}

int WordPosition(int N, std::string_view Text, std::string_view Delims) {
    auto IsDelim = [&](size_t P) { return Delims.find(Text[P]) != std::string_view::npos; };
    size_t P = 0;
    int Count = 0;
    while (P < Text.size() && Count < N) {
        if (IsDelim(P))
            ++P;
        if (P < Text.size()) {
            if (++Count == N)
                return static_cast<int>(P) + 1;
            while (P < Text.size() && !IsDelim(P))
                ++P;
        }
    }
    return 0;
}

std::string ExtractWord(int N, std::string_view Text, std::string_view Delims) {
    int P = WordPosition(N, Text, Delims);
    if (P == 0)
        return {};
    std::string_view Rest = Text.substr(static_cast<size_t>(P - 1));
    return std::string(Rest.substr(0, Rest.find_first_of(Delims)));
}

std::string EntryKey(std::string_view Entry, char D) {
    size_t P = Entry.find(D);
    return P == std::string_view::npos ? std::string() : std::string(Entry.substr(0, P));
}

// ---------------------------------------------------------------------------------------------
// Character sets

Byte CharsetOfName(std::string_view Name) {
    for (const auto& C : CharsetNames)
        if (Name == C.Name)
            return C.Charset;
    return 1;
}

std::string AnsiToUtf8(std::string_view Text, Byte Charset) { return UTF8Encode(AnsiToWide(Text, CharsetCodePage(Charset))); }

std::string Utf8ToAnsi(std::string_view Text, Byte Charset) { return WideToAnsi(UTF8Decode(Text), CharsetCodePage(Charset)); }
