#include "RxAppUtils.h"

#include "IniFiles.h"
#include "Registry.h"
#include "RxStrUtils.h"

TDefaultIniFileNameHook DefaultIniFileNameHook = nullptr;
std::string RegistryKeyPrefix;
bool RegistryKeyFromTitle = false;

namespace {

const TCharSet& ListDelimiters() {
    static const TCharSet Set = MakeCharSet(" ,");
    return Set;
}

int WordAsInteger(const std::string& S, int N, int Default) {
    return StrToIntDef(NthWord(N, S, ListDelimiters()), Default);
}

bool QuotedAtBothEnds(const std::string& V) {
    return V.size() >= 1 && ((V.front() == '"' && V.back() == '"') || (V.front() == '\'' && V.back() == '\''));
}

bool IsMainForm(TCustomForm* Form) { return !Application || !Application->MainForm() || Application->MainForm() == Form; }

}  // namespace

std::string DefaultSectionName(TComponent* Component) {
    if (!Component)
        return std::string();
    if (Component->Is<TCustomForm>())
        return Component->ClassName();
    std::string Result = Component->Name();
    if (auto* Control = DynCast<TControl>(Component)) {
        if (TCustomForm* Form = GetParentForm(Control))
            return Form->ClassName() + Result;
        if (Control->Parent())
            return Control->Parent()->Name() + Result;
        return Result;
    }
    TComponent* Owner = Component->Owner();
    if (Owner && Owner->Is<TForm>())
        return Format("%s.%s", {Owner->ClassName(), Result});
    return Result;
}

std::string DefaultIniFileName() {
    if (DefaultIniFileNameHook)
        return DefaultIniFileNameHook();
    return ChangeFileExt(ExtractFileName(ParamStr(0)), ".INI");
}

std::string DefaultRegistryKey() {
    std::string Key;
    if (RegistryKeyFromTitle && Application && !Application->Title().empty())
        Key = Application->Title();
    else
        Key = ChangeFileExt(ExtractFileName(ParamStr(0)), "");
    if (!RegistryKeyPrefix.empty())
        Key = RegistryKeyPrefix + "\\" + Key;
    return "Software\\" + Key;
}

std::string ScreenSizeSuffix() {
    return Format("(%dx%d)", {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

std::string StorageReadString(TObject* Storage, const std::string& Section, const std::string& Ident,
                              const std::string& Default) {
    if (auto* Reg = DynCast<TRegIniFile>(Storage))
        return Reg->ReadString(Section, Ident, Default);
    if (auto* Ini = DynCast<TCustomIniFile>(Storage))
        return Ini->ReadString(Section, Ident, Default);
    return Default;
}

int StorageReadInteger(TObject* Storage, const std::string& Section, const std::string& Ident, int Default) {
    if (auto* Reg = DynCast<TRegIniFile>(Storage))
        return Reg->ReadInteger(Section, Ident, Default);
    if (auto* Ini = DynCast<TCustomIniFile>(Storage))
        return Ini->ReadInteger(Section, Ident, Default);
    return Default;
}

void StorageWriteString(TObject* Storage, const std::string& Section, const std::string& Ident,
                        const std::string& Value) {
    if (auto* Reg = DynCast<TRegIniFile>(Storage))
        Reg->WriteString(Section, Ident, Value);
    else if (auto* Ini = DynCast<TCustomIniFile>(Storage)) {
        // Only the profile-function file strips quotes when it reads; the others keep values as written.
        if (Ini->Is<TIniFile>() && QuotedAtBothEnds(Value))
            Ini->WriteString(Section, Ident, "\"" + Value + "\"");
        else
            Ini->WriteString(Section, Ident, Value);
    }
}

void StorageWriteInteger(TObject* Storage, const std::string& Section, const std::string& Ident, int Value) {
    if (auto* Reg = DynCast<TRegIniFile>(Storage))
        Reg->WriteInteger(Section, Ident, Value);
    else if (auto* Ini = DynCast<TCustomIniFile>(Storage))
        Ini->WriteInteger(Section, Ident, Value);
}

void StorageEraseSection(TObject* Storage, const std::string& Section) {
    if (auto* Reg = DynCast<TRegIniFile>(Storage))
        Reg->EraseSection(Section);
    else if (auto* Ini = DynCast<TCustomIniFile>(Storage))
        Ini->EraseSection(Section);
}

std::string StorageReadScreenString(TObject* Storage, const std::string& Section, const std::string& Ident) {
    std::string S = StorageReadString(Storage, Section, Ident + ScreenSizeSuffix(), "");
    return S.empty() ? StorageReadString(Storage, Section, Ident, "") : S;
}

void StorageWriteScreenString(TObject* Storage, const std::string& Section, const std::string& Ident,
                              const std::string& Value) {
    StorageWriteString(Storage, Section, Ident + ScreenSizeSuffix(), Value);
    StorageWriteString(Storage, Section, Ident, Value);
}

void WriteFormPlacementValues(TCustomForm* Form, TObject* Storage, const std::string& Section) {
    WINDOWPLACEMENT P{};
    P.length = sizeof P;
    GetWindowPlacement(Form->Handle(), &P);
    if (Application && Form == Application->MainForm() && IsIconic(Application->Handle()))
        P.showCmd = SW_SHOWMINIMIZED;
    if (Form->FormStyle() == fsMDIChild && Form->WindowState() == wsMinimized)
        P.flags |= WPF_SETMINPOSITION;
    StorageWriteInteger(Storage, Section, "Flags", static_cast<int>(P.flags));
    StorageWriteInteger(Storage, Section, "ShowCmd", static_cast<int>(P.showCmd));
    StorageWriteInteger(Storage, Section, "PixelsPerInch", Screen->PixelsPerInch());
    StorageWriteScreenString(Storage, Section, "MinMaxPos",
                             Format("%d,%d,%d,%d", {P.ptMinPosition.x, P.ptMinPosition.y, P.ptMaxPosition.x,
                                                    P.ptMaxPosition.y}));
    StorageWriteScreenString(Storage, Section, "NormPos",
                             Format("%d,%d,%d,%d", {P.rcNormalPosition.left, P.rcNormalPosition.top,
                                                    P.rcNormalPosition.right, P.rcNormalPosition.bottom}));
}

void ReadFormPlacementValues(TCustomForm* Form, TObject* Storage, const std::string& Section, bool LoadPosition,
                             bool LoadState) {
    if (!LoadPosition && !LoadState)
        return;
    WINDOWPLACEMENT P{};
    P.length = sizeof P;
    GetWindowPlacement(Form->Handle(), &P);
    if (!IsWindowVisible(Form->Handle()))
        P.showCmd = SW_HIDE;
    if (LoadPosition) {
        bool DataFound = false;
        P.flags = static_cast<UINT>(StorageReadInteger(Storage, Section, "Flags", static_cast<int>(P.flags)));
        std::string S = StorageReadScreenString(Storage, Section, "MinMaxPos");
        if (!S.empty()) {
            DataFound = true;
            P.ptMinPosition.x = WordAsInteger(S, 1, 0);
            P.ptMinPosition.y = WordAsInteger(S, 2, 0);
            P.ptMaxPosition.x = WordAsInteger(S, 3, 0);
            P.ptMaxPosition.y = WordAsInteger(S, 4, 0);
        }
        S = StorageReadScreenString(Storage, Section, "NormPos");
        if (!S.empty()) {
            DataFound = true;
            P.rcNormalPosition.left = WordAsInteger(S, 1, Form->Left());
            P.rcNormalPosition.top = WordAsInteger(S, 2, Form->Top());
            P.rcNormalPosition.right = WordAsInteger(S, 3, Form->Left() + Form->Width());
            P.rcNormalPosition.bottom = WordAsInteger(S, 4, Form->Top() + Form->Height());
        }
        if (DataFound &&
            StorageReadInteger(Storage, Section, "PixelsPerInch", Screen->PixelsPerInch()) == Screen->PixelsPerInch()) {
            if (Form->BorderStyle() != bsSizeable && Form->BorderStyle() != bsSizeToolWin)
                P.rcNormalPosition = RECT{P.rcNormalPosition.left, P.rcNormalPosition.top,
                                          P.rcNormalPosition.left + Form->Width(),
                                          P.rcNormalPosition.top + Form->Height()};
            if (P.rcNormalPosition.left < P.rcNormalPosition.right) {
                if (Form->Position() == poScreenCenter || Form->Position() == poDesktopCenter) {
                    // Designing, so that switching the position does not move the form itself.
                    bool WasDesigning = Form->ComponentState().Contains(csDesigning);
                    Form->IncludeState(csDesigning);
                    Form->SetPosition(poDesigned);
                    if (!WasDesigning)
                        Form->ExcludeState(csDesigning);
                }
                SetWindowPlacement(Form->Handle(), &P);
            }
        }
    }
    if (LoadState) {
        TWindowState Fallback = wsNormal;
        if (IsMainForm(Form) &&
            (Form->FormStyle() == fsMDIForm || (Form->FormStyle() == fsNormal && Form->Position() == poDefault)))
            Fallback = wsMaximized;
        TWindowState State;
        switch (StorageReadInteger(Storage, Section, "ShowCmd", SW_HIDE)) {
        case SW_SHOWNORMAL:
        case SW_SHOW:
        case SW_RESTORE:
            State = wsNormal;
            break;
        case SW_SHOWMINIMIZED:
        case SW_MINIMIZE:
        case SW_SHOWMINNOACTIVE:
            State = wsMinimized;
            break;
        case SW_SHOWMAXIMIZED:
            State = wsMaximized;
            break;
        default:
            State = Fallback;
            break;
        }
        if (State == wsMinimized && IsMainForm(Form)) {
            Form->SetWindowState(wsNormal);
            PostMessageA(Application->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
            return;
        }
        if (Form->FormStyle() == fsMDIChild || Form->FormStyle() == fsMDIForm)
            Form->StoreWindowState(State);
        else
            Form->SetWindowState(State);
    }
    Form->Update();
}

void RxAppUtilsFinalization() { RegistryKeyPrefix.clear(); }
