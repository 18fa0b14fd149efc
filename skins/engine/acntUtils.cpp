#include "acntUtils.h"

#include "Forms.h"
#include "TypInfo.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

bool Wow64NoComposition = false;
int MsgBoxPosX = -1;
int MsgBoxPosY = -1;

// ---------------------------------------------------------------------------------------------
// Initialisation text

void FreeIniSections(TStringList* Sections) {
    for (int I = 0; I < Sections->Count(); ++I) {
        TObject* Lines = Sections->Objects(I);
        Sections->SetObjects(I, nullptr);
        delete Lines;
    }
    Sections->Clear();
}

void ParseIniSections(TStrings* Lines, TStringList* Sections) {
    // A list parsed a second time would otherwise lose the section lists of the first pass.
    FreeIniSections(Sections);
    TStringList* Current = nullptr;
    for (int I = 0; I < Lines->Count(); ++I) {
        std::string S = Lines->Strings(I);
        if (S.empty() || S[0] == ';')
            continue;
        if (S.size() >= 2 && S.front() == '[' && S.back() == ']') {
            Current = Create<TStringList>();
            Sections->AddObject(S.substr(1, S.size() - 2), Current);
        } else if (Current) {
            Current->Add(S);
        }
    }
}

std::string GetSectionText(TStringList* Sections, const std::string& Section, const std::string& Ident,
                           const std::string& Default) {
    int SectionIndex = Sections->IndexOf(Section);
    if (SectionIndex < 0)
        return Default;
    auto* Lines = static_cast<TStringList*>(Sections->Objects(SectionIndex));
    int Line = Lines ? Lines->IndexOfName(Ident) : -1;
    if (Line < 0)
        return Default;
    std::string S = Lines->Strings(Line);
    return S.size() > Ident.size() + 1 ? S.substr(Ident.size() + 1) : std::string();
}

int GetSectionInteger(TStringList* Sections, const std::string& Section, int Default, const std::string& Ident) {
    std::string S = GetSectionText(Sections, Section, Ident, "");
    if (S.size() > 2 && S[0] == '0' && (S[1] == 'x' || S[1] == 'X'))
        S.replace(0, 2, "$");
    return StrToIntDef(S, Default);
}

// ---------------------------------------------------------------------------------------------
// Words

bool IsCharInSet(char Ch, const TacCharSet& Set) { return Set.test(static_cast<unsigned char>(Ch)); }

namespace {
// The 0-based start of every word of S.
std::vector<size_t> WordStarts(std::string_view S, const TacCharSet& Delims) {
    std::vector<size_t> Starts;
    bool InWord = false;
    for (size_t I = 0; I < S.size(); ++I) {
        bool Delim = IsCharInSet(S[I], Delims);
        if (!Delim && !InWord)
            Starts.push_back(I);
        InWord = !Delim;
    }
    return Starts;
}
}  // namespace

int FindWordStart(int N, std::string_view S, const TacCharSet& Delims) {
    std::vector<size_t> Starts = WordStarts(S, Delims);
    return N >= 1 && N <= static_cast<int>(Starts.size()) ? static_cast<int>(Starts[N - 1]) + 1 : 0;
}

int FindWordStartBySet(int N, std::string_view S, const TacCharSet& Delims) { return FindWordStart(N, S, Delims); }

std::string GetWordAt(int N, std::string_view S, const TacCharSet& Delims) {
    int Start = FindWordStart(N, S, Delims);
    if (Start == 0)
        return std::string();
    size_t End = static_cast<size_t>(Start - 1);
    while (End < S.size() && !IsCharInSet(S[End], Delims))
        ++End;
    return std::string(S.substr(static_cast<size_t>(Start - 1), End - static_cast<size_t>(Start - 1)));
}

int CountWords(std::string_view S, const TacCharSet& Delims) {
    return static_cast<int>(WordStarts(S, Delims).size());
}

int CountWordsBySet(std::string_view S, const TacCharSet& Delims) { return CountWords(S, Delims); }

// ---------------------------------------------------------------------------------------------
// Strings

std::string MakeCharString(char Ch, int Count) { return Count > 0 ? std::string(static_cast<size_t>(Count), Ch) : ""; }

void FillStringWithChar(std::string& S, int Count, char Ch) { S = MakeCharString(Ch, Count); }

std::string RemoveChar(std::string_view S, char Ch) {
    std::string R;
    for (char C : S)
        if (C != Ch)
            R += C;
    return R;
}

std::string ReplaceAll(std::string_view S, std::string_view Old, std::string_view New) {
    if (Old.empty())
        return std::string(S);
    std::string R;
    size_t From = 0;
    for (size_t P = S.find(Old); P != std::string_view::npos; P = S.find(Old, From)) {
        R.append(S.substr(From, P - From));
        R.append(New);
        From = P + Old.size();
    }
    R.append(S.substr(From));
    return R;
}

bool HasOnlyChars(std::string_view S, const TacCharSet& Set) {
    for (char C : S)
        if (!IsCharInSet(C, Set))
            return false;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Rectangles

bool RectIntersects(const TRect& Clip, const TRect& R) {
    if (R.Right <= R.Left || R.Bottom <= R.Top)
        return false;
    return !(R.Bottom <= Clip.Top || R.Right <= Clip.Left || R.Left >= Clip.Right || R.Top >= Clip.Bottom);
}

bool RectContainsRect(const TRect& Outer, const TRect& Inner) {
    auto Inside = [&](LONG X, LONG Y) {
        return X >= Outer.Left && X <= Outer.Right && Y >= Outer.Top && Y <= Outer.Bottom;
    };
    return Inside(Inner.Left, Inner.Top) && Inside(Inner.Right, Inner.Bottom);
}

// ---------------------------------------------------------------------------------------------
// Published properties

bool PropertyExists(TObject* Obj, const std::string& Name) { return GetPropInfo(Obj, Name) != nullptr; }

TObject* GetObjectPropByName(TObject* Obj, const std::string& Name) {
    PPropInfo P = GetPropInfo(Obj, Name);
    return P && P->PropType && P->PropType->Kind == tkClass ? GetObjectProp(Obj, P) : nullptr;
}

Int64 GetOrdPropByName(TObject* Obj, const std::string& Name) {
    PPropInfo P = GetPropInfo(Obj, Name);
    return P ? GetOrdProp(Obj, P) : -1;
}

void SetOrdPropByName(TObject* Obj, const std::string& Name, Int64 Value) {
    if (PPropInfo P = GetPropInfo(Obj, Name))
        SetOrdProp(Obj, P, Value);
}

namespace {
PPropInfo SetProperty(TObject* Obj, const std::string& Name) {
    PPropInfo P = GetPropInfo(Obj, Name);
    return P && P->PropType && P->PropType->Kind == tkSet ? P : nullptr;
}

// The element names of a set's text form "a,b,c".
std::vector<std::string> SetElements(const std::string& Text) {
    std::vector<std::string> Names;
    size_t From = 0;
    while (From <= Text.size()) {
        size_t Comma = Text.find(',', From);
        std::string Name = Trim(Text.substr(From, Comma == std::string::npos ? std::string::npos : Comma - From));
        if (!Name.empty())
            Names.push_back(Name);
        if (Comma == std::string::npos)
            break;
        From = Comma + 1;
    }
    return Names;
}
}  // namespace

bool SetPropHasElement(TObject* Obj, const std::string& Name, const std::string& Element) {
    PPropInfo P = SetProperty(Obj, Name);
    if (!P)
        return false;
    auto Bits = static_cast<std::uint32_t>(GetOrdProp(Obj, P));
    for (int I = 0; I < 32; ++I)
        if ((Bits & (std::uint32_t(1) << I)) && GetEnumName(P->PropType->CompType, I) == Element)
            return true;
    return false;
}

bool ChangeSetPropElement(TObject* Obj, const std::string& Name, const std::string& Element, bool Include) {
    PPropInfo P = SetProperty(Obj, Name);
    if (!P)
        return false;
    // Whole element names are compared: a name that is the start of another ("srStd" in
    // "srStdForms") must neither hide the other nor be cut out of it.
    std::vector<std::string> Names = SetElements(GetSetProp(Obj, P, false));
    auto Found = std::find(Names.begin(), Names.end(), Element);
    if (Include == (Found != Names.end()))
        return false;
    if (Include)
        Names.push_back(Element);
    else
        Names.erase(Found);
    std::string Text;
    for (const std::string& N : Names)
        Text += (Text.empty() ? "" : ",") + N;
    SetSetProp(Obj, P, Text);
    return false;
}

// ---------------------------------------------------------------------------------------------
// Paths, files and system

std::string WithTrailingBackslash(const std::string& Path) {
    if (Path.empty())
        return Path;
    if (Path.back() == '\\')
        return Path;
    if (Path.back() == '/')
        return Path.substr(0, Path.size() - 1) + "\\";
    if (Path.size() == 1)
        return Path + ":\\";
    return Path + "\\";
}

std::string GetAppFolder() { return WithTrailingBackslash(ExtractFilePath(ParamStr(0))); }

int SearchFirst(const std::string& Path, int Attr, TSearchRec& Rec) { return FindFirst(Path, Attr, Rec); }
int SearchNext(TSearchRec& Rec) { return FindNext(Rec); }
void SearchClose(TSearchRec& Rec) { FindClose(Rec); }

TIcon* GetFileShellIcon(const std::string& FileName, UINT Flags) {
    if (!FileExists(FileName))
        return nullptr;
    SHFILEINFOA Info{};
    if (!SHGetFileInfoA(FileName.c_str(), 0, &Info, sizeof(Info), Flags | SHGFI_ICON) || !Info.hIcon)
        return nullptr;
    TIcon* Icon = Create<TIcon>();
    Icon->SetHandle(Info.hIcon);
    return Icon;
}

bool IsWinXPOrLater() {
    OSVERSIONINFOA V{};
    V.dwOSVersionInfoSize = sizeof(V);
    if (!GetVersionExA(&V))
        return false;
    return V.dwMajorVersion > 5 || (V.dwMajorVersion == 5 && V.dwMinorVersion > 0);
}

bool RunsUnderWow64() {
    using TIsWow64Process = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto Proc = LibraryProc<TIsWow64Process>(GetModuleHandleA("kernel32.dll"), "IsWow64Process");
    BOOL Wow64 = FALSE;
    return Proc && Proc(GetCurrentProcess(), &Wow64) && Wow64;
}

namespace {
// The structure size of the platform's older non-client metrics, which every version accepts.
constexpr UINT CaptionMetricsSize = 340;

bool ReadCaptionFont(LOGFONTA& Font) {
    NONCLIENTMETRICSA Metrics{};
    static_assert(sizeof(Metrics) >= CaptionMetricsSize);
    Metrics.cbSize = CaptionMetricsSize;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, CaptionMetricsSize, &Metrics, 0))
        return false;
    Font = Metrics.lfCaptionFont;
    return true;
}
}  // namespace

bool DesktopCompositionEnabled() {
    HMODULE Dwm = LoadLibraryA("dwmapi.dll");
    if (!Dwm)
        return false;
    using TDwmIsCompositionEnabled = HRESULT(WINAPI*)(BOOL*);
    auto Proc = LibraryProc<TDwmIsCompositionEnabled>(Dwm, "DwmIsCompositionEnabled");
    BOOL Enabled = FALSE;
    bool Result = Proc && SUCCEEDED(Proc(&Enabled)) && Enabled;
    FreeLibrary(Dwm);
    return Result;
}

int GetCaptionFontHeight() {
    LOGFONTA Font{};
    return ReadCaptionFont(Font) ? Font.lfHeight : 0;
}

HFONT CreateCaptionFont() {
    LOGFONTA Font{};
    return ReadCaptionFont(Font) ? CreateFontIndirectA(&Font) : nullptr;
}

void DelayWithMessages(DWORD Ms) {
    DWORD Start = GetTickCount();
    for (;;) {
        Application->ProcessMessages();
        DWORD Passed = GetTickCount() - Start;
        if (Passed >= Ms)
            break;
        // Sleeps until the next message or the end of the delay instead of spinning.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, Ms - Passed, QS_ALLINPUT);
    }
}

// ---------------------------------------------------------------------------------------------
// Message box

namespace {
const char* const DefaultCaptions[] = {"Warning", "Error", "Information", "Confirm", ""};
const UINT DialogIcons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION, 0};

UINT ButtonFlags(TMsgDlgButtons Buttons) {
    UINT Flags = 0;
    if (Buttons.Contains(mbOK))
        Flags = Buttons.Contains(mbCancel) ? MB_OKCANCEL : MB_OK;
    else if (Buttons.Contains(mbAbort) || Buttons.Contains(mbIgnore))
        Flags = MB_ABORTRETRYIGNORE;
    else if (Buttons.Contains(mbYes) || Buttons.Contains(mbNo))
        Flags = Buttons.Contains(mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
    else if (Buttons.Contains(mbRetry))
        Flags = MB_RETRYCANCEL;
    if (Buttons.Contains(mbHelp))
        Flags |= MB_HELP;
    return Flags;
}
}  // namespace

int SkinMessageBox(const std::string& Caption, const std::string& Text, int DlgType, TMsgDlgButtons Buttons,
                   int /*HelpCtx*/, int X, int Y, const std::string& /*HelpFileName*/) {
    bool KnownType = DlgType >= 0 && DlgType <= 4;
    std::string Title = !Caption.empty() || !KnownType ? Caption : DefaultCaptions[DlgType];
    UINT Flags = (KnownType ? DialogIcons[DlgType] : 0) | MB_SETFOREGROUND | MB_TOPMOST | ButtonFlags(Buttons);
    MsgBoxPosX = X;
    MsgBoxPosY = Y;
    Application->ModalStarted();
    struct TDone {
        ~TDone() {
            Application->ModalFinished();
            MsgBoxPosX = -1;
            MsgBoxPosY = -1;
        }
    } Done;
    // Owned by the active window, or by the application's window when none is active.
    return Application->MessageBox(Text, Title, Flags);
}

int SkinMessageDlg(const std::string& Text, int DlgType, TMsgDlgButtons Buttons, int HelpCtx) {
    return SkinMessageBox("", Text, DlgType, Buttons, HelpCtx, -1, -1, "");
}

int ShowErrorBox(const std::string& Text) { return SkinMessageDlg(Text, 1, TMsgDlgButtons{mbOK}, 0); }

// ---------------------------------------------------------------------------------------------

void acntUtilsInitialization() { Wow64NoComposition = RunsUnderWow64() && !DesktopCompositionEnabled(); }

void acntUtilsFinalization() {}
