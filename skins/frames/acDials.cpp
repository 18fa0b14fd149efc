// The dialog hook and the providers it makes; the dialog wrapper is in acDialsWnd.cpp.
#include "acDials.h"

#include "acntUtils.h"
#include "acSBUtilsButtons.h"
#include "acSBUtilsCombo.h"
#include "acSBUtilsList.h"
#include "acSBUtilsPanels.h"
#include "acSBUtilsTabs.h"
#include "acSBUtilsToolBar.h"
#include "acSBUtilsTree.h"
#include "sGlyphUtils.h"
#include "sMessages.h"
#include "sSkinProvider.h"
#include "sVclUtils.h"

#include <algorithm>
#include <cctype>

HHOOK DialogHookHandle = nullptr;
LONG DialogStyle = 0;
std::vector<TacMnuWnd*> MenuWrappers;

void FreeClosedMenuWrappers();

namespace {
int UseCount = 0;
constexpr ATOM PopupMenuAtom = 0x8000;
constexpr ATOM DialogAtom = 0x8002;

bool ApplicationGoing() {
    return !Application || Application->ComponentState().Contains(csDestroying);
}

bool ManagerActive() { return DefaultManager && DefaultManager->GetActive() && DefaultManager->SkinData->SkinActive; }

std::string Lower(std::string S) {
    std::transform(S.begin(), S.end(), S.begin(), [](unsigned char C) { return static_cast<char>(std::tolower(C)); });
    return S;
}

void ClearProviderSlot(const TacProvider* P) {
    if (!DialogProviders)
        return;
    for (TacDialogProviderLink*& Slot : *DialogProviders)
        if (Slot == P) {
            Slot = nullptr;
            return;
        }
}

TacProvider* ProviderAt(std::size_t I) {
    return dynamic_cast<TacProvider*>((*DialogProviders)[I]);
}

void SwitchDialogHook(bool Install) {
    if (Install) {
        if (!DialogProviders)
            DialogProviders = new std::vector<TacDialogProviderLink*>;
        if (!DialogHookHandle)
            DialogHookHandle = SetWindowsHookExA(WH_CBT, DialogHookProc, nullptr, GetCurrentThreadId());
        return;
    }
    FreeMenuWrappers();
    if (DialogHookHandle)
        UnhookWindowsHookEx(DialogHookHandle);
    DialogHookHandle = nullptr;
    if (DialogProviders) {
        // A form's provider belongs to its form, which frees it; only the list forgets it.
        std::vector<TacDialogProviderLink*> Providers;
        Providers.swap(*DialogProviders);
        for (TacDialogProviderLink* L : Providers)
            if (auto* P = dynamic_cast<TacProvider*>(L); P && !P->FormProvider)
                P->Free();
        delete DialogProviders;
        DialogProviders = nullptr;
    }
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Finding windows

std::string GetWindowClassName(HWND Handle) {
    char Buffer[128] = {};
    int N = GetClassNameA(Handle, Buffer, sizeof(Buffer));
    return std::string(Buffer, static_cast<std::size_t>(std::max(N, 0)));
}

TCustomForm* FindFormByHandle(HWND Handle) {
    if (!Screen || !Handle)
        return nullptr;
    for (int I = Screen->FormCount() - 1; I >= 0; --I) {
        TCustomForm* F = Screen->Forms(I);
        if (!F || !F->HandleAllocated())
            continue;
        if (F->Handle() == Handle)
            return F;
        if (auto* Form = DynCast<TForm>(F); Form && Form->FormStyle() == fsMDIForm)
            for (int C = 0; C < F->MDIChildCount(); ++C)
                if (TCustomForm* Child = F->MDIChildren(C); Child->HandleAllocated() && Child->Handle() == Handle)
                    return Child;
    }
    return nullptr;
}

TacProvider* FindDialogProvider(HWND Handle) {
    for (std::size_t I = 0; DialogProviders && I < DialogProviders->size(); ++I)
        if (TacProvider* P = ProviderAt(I); P && P->DialogHandle == Handle)
            return P;
    return nullptr;
}

int CountVisibleDialogs() {
    int N = 0;
    for (std::size_t I = 0; DialogProviders && I < DialogProviders->size(); ++I)
        if (TacProvider* P = ProviderAt(I); P && P->DialogWnd && IsWindowVisible(P->DialogHandle))
            ++N;
    return N;
}

bool HasChildOfClass(HWND Handle, const std::string& ClassName) {
    for (HWND C = GetTopWindow(Handle); C; C = GetWindow(C, GW_HWNDNEXT))
        if (Lower(GetWindowClassName(C)) == ClassName || HasChildOfClass(C, ClassName))
            return true;
    return false;
}

void BroadcastToChildWindows(HWND Handle, TMessage& Message) {
    for (HWND C = GetTopWindow(Handle); C; C = GetWindow(C, GW_HWNDNEXT))
        SendMessageA(C, Message.Msg, Message.WParam, Message.LParam);
}

void FreeDestroyedDialogs() {
    for (std::size_t I = 0; DialogProviders && I < DialogProviders->size(); ++I) {
        TacProvider* P = ProviderAt(I);
        if (!P || !P->DialogWnd || !P->DialogWnd->Unhooked)
            continue;
        P->DialogWnd->Unhooked = false;
        (*DialogProviders)[I] = nullptr;
        P->Free();
    }
}

// ---------------------------------------------------------------------------------------------
// The hook

LRESULT CALLBACK DialogHookProc(int Code, WPARAM WParam, LPARAM LParam) {
    LRESULT Result = CallNextHookEx(DialogHookHandle, Code, WParam, LParam);
    if (ApplicationGoing())
        return Result;
    HWND Wnd = reinterpret_cast<HWND>(WParam);
    FreeClosedMenuWrappers();
    switch (Code) {
    case HCBT_DESTROYWND:
        FreeDestroyedDialogs();
        break;
    case HCBT_ACTIVATE:
        AttachProviderToWindow(Wnd, nullptr);
        break;
    case HCBT_CREATEWND: {
        if (!Wnd)
            break;
        CREATESTRUCTA* CS = reinterpret_cast<CBT_CREATEWNDA*>(LParam)->lpcs;
        auto Atom = reinterpret_cast<UINT_PTR>(CS->lpszClass);
        if (Atom == DialogAtom) {
            AttachProviderToWindow(Wnd, nullptr);
        } else if (Atom == PopupMenuAtom) {
            if (!IsDwmCompositionEnabled() && DefaultManager && DefaultManager->SkinnedPopups &&
                !AnswersSkinCommand(Wnd, SKIN_ISSKINNED))
                MenuWrappers.push_back(Create<TacMnuWnd>(Wnd, false, "MAINMENU", DefaultManager, nullptr));
        } else if (Atom < 0x10000) {
        } else {
            std::string Class = GetWindowClassName(Wnd);
            if (Class == "TPUtilWindow" || CS->dwExStyle == 0 || CS->style == 0)
                break;
            if (Class == "#32770") {
                AttachProviderToWindow(Wnd, nullptr);
                break;
            }
            if (TCustomForm* Main = Application->MainForm())
                if (!Main->HandleAllocated() || Main->Handle() == Wnd)
                    break;
            if (GetParent(Wnd))
                break;
            AttachProviderToWindow(Wnd, nullptr);
        }
        break;
    }
    default:
        break;
    }
    return Result;
}

bool AttachProviderToWindow(HWND Handle, CREATESTRUCTA* CreateStruct) {
    if (!DefaultManager || ApplicationGoing() || !Handle || AnswersSkinCommand(Handle, SKIN_ISSKINNED))
        return false;
    std::string Class = CreateStruct && reinterpret_cast<UINT_PTR>(CreateStruct->lpszClass) >= 0x10000 &&
                                CreateStruct->lpszClass[0]
                            ? std::string(CreateStruct->lpszClass)
                            : GetWindowClassName(Handle);
    LONG Style = GetWindowLongA(Handle, GWL_STYLE);
    if (((Style & WS_POPUP) && !(Style & WS_BORDER)) || FindDialogProvider(Handle))
        return false;
    if (!DialogProviders)
        return false;
    const TacSkinningRules Rules = DefaultManager->SkinningRules;
    TCustomForm* Form = FindFormByHandle(Handle);
    if (!Form || Form->ComponentState().Contains(csLoading)) {
        if (Class != "#32770" || GetParent(Handle) || !Rules.Contains(srStdDialogs))
            return false;
        if (CountVisibleDialogs() > 0 && !HasChildOfClass(Handle, "toolbarwindow32"))
            return false;
        auto* P = Create<TacProvider>(nullptr);
        DialogProviders->push_back(P);
        if (!P->InitDialog(Handle))
            P->Free();
        return true;
    }
    if ((Form->Tag() & -98) == -98)
        return false;
    for (int I = 0; SkipFormClasses && I < SkipFormClasses->Count(); ++I)
        if (SkipFormClasses->Strings(I) == Class)
            return false;
    const bool MessageForm = Class == "TMessageForm";
    if (!Rules.Contains(MessageForm ? srStdDialogs : srStdForms))
        return false;
    auto GiveProvider = [](TCustomForm* F) {
        auto* P = Create<TacProvider>(F);
        DialogProviders->push_back(P);
        P->InitForm(F);
    };
    GiveProvider(Form);
    if (auto* F = DynCast<TForm>(Form); F && F->FormStyle() == fsMDIForm)
        for (int I = 0; I < Form->MDIChildCount(); ++I)
            if (TCustomForm* Child = Form->MDIChildren(I);
                !Child->HandleAllocated() || !AnswersSkinCommand(Child->Handle(), SKIN_ISSKINNED))
                GiveProvider(Child);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Popup-menu windows

TacMnuWnd::~TacMnuWnd() {
    MenuWrappers.erase(std::remove(MenuWrappers.begin(), MenuWrappers.end(), this), MenuWrappers.end());
}

void TacMnuWnd::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_DESTROY:
        BorderDrawn = 0;
        break;
    case WM_NCDESTROY: {
        // The procedure goes back before the window's last message; the wrapper is freed only after
        // the window has handled it, never from inside its own procedure while it still runs.
        BorderDrawn = 0;
        WNDPROC Old = ReplacedWndProc;
        HWND Wnd = Handle;
        TacMainWnd* Self = this;
        ReleaseWindowHook(Wnd, false, 0, Self);
        if (Old)
            Message.Result = CallWindowProcA(Old, Wnd, Message.Msg, Message.WParam, Message.LParam);
        Unhooked = true;
        return;
    }
    case SM_ALPHACMD:
        switch (SkinCommandOf(Message.WParam)) {
        case SKIN_ISSKINNED: Message.Result = 1; break;
        case SKIN_SETUPDATING: Message.Result = BorderDrawn; break;
        case SKIN_POPUPSHAPING:
            if (IsWindowVisible(Handle))
                BorderDrawn = 1;
            break;
        case SKIN_GETAPPLICATION: Message.Result = reinterpret_cast<LRESULT>(Application); break;
        default: break;
        }
        return;
    default:
        break;
    }
    TacScrollWnd::WndProc(Message);
}

void FreeMenuWrappers() {
    std::vector<TacMnuWnd*> Wrappers;
    Wrappers.swap(MenuWrappers);
    for (TacMnuWnd* W : Wrappers)
        W->Free();
}

// Wrappers whose window is gone are freed on the hook's next event, outside their procedure.
void FreeClosedMenuWrappers() {
    std::vector<TacMnuWnd*> Closed;
    for (TacMnuWnd* W : MenuWrappers)
        if (W->Unhooked || !IsWindow(W->Handle))
            Closed.push_back(W);
    for (TacMnuWnd* W : Closed)
        W->Free();
}

// ---------------------------------------------------------------------------------------------
// TacProvider

TacProvider::TacProvider(TComponent* AOwner) : TComponent(AOwner) {}

TacProvider::~TacProvider() {
    if (FormProvider) {
        ClearProviderSlot(this);
        return;
    }
    ClearProviderSlot(this);
    for (TacMainWnd*& W : ChildWrappers)
        FreeAndNil(W);
    ChildWrappers.clear();
    FreeAndNil(DialogWnd);
}

void TacProvider::InitForm(TCustomForm* Form) {
    FormProvider = TsSkinProvider::CreateRuntime(Form);
    FormProvider->MakeSkinMenu = false;
}

bool TacProvider::InitDialog(HWND Handle) {
    DialogHandle = Handle;
    if (DialogWnd || !ManagerActive())
        return true;
    DialogStyle = GetWindowLongA(Handle, GWL_STYLE);
    ScrollBarLeft = (GetWindowLongA(Handle, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    if (UninitializeFlatSBProc)
        UninitializeFlatSBProc(Handle);
    DialogWnd = Create<TacDialogWnd>(Handle, false, "DIALOG", DefaultManager, nullptr);
    DialogWnd->Provider = this;
    if (MsgBoxPosX != -1 || MsgBoxPosY != -1)
        SetWindowPos(Handle, nullptr, MsgBoxPosX, MsgBoxPosY, 0, 0, SWP_NOSIZE | SWP_NOREDRAW | SWP_NOOWNERZORDER);
    if (!AdaptChildren(Handle)) {
        ClearProviderSlot(this);
        return false;
    }
    DialogWnd->InitFrame();
    SendSkinCommand(Handle, SKIN_LOADED, reinterpret_cast<LPARAM>(DefaultManager));
    return true;
}

bool TacProvider::AdaptChildren(HWND Handle) {
    for (HWND C = GetTopWindow(Handle); C; C = GetWindow(C, GW_HWNDNEXT)) {
        if (!AdaptChildren(C))
            return false;
        if ((GetWindowLongA(C, GWL_STYLE) & WS_CHILD) && !AddChildWrapper(C))
            return false;
    }
    return true;
}

bool TacProvider::AddChildWrapper(HWND Handle) {
    if (AnswersSkinCommand(Handle, SKIN_ISSKINNED) || !DialogWnd)
        return true;
    CreatingDialogWrappers = true;
    const std::string Class = Lower(GetWindowClassName(Handle));
    const LONG S = GetWindowLongA(Handle, GWL_STYLE);
    TsSkinManager* M = DialogWnd->SkinData->GetSkinManager();
    if (!M)
        M = DialogWnd->SkinManager;
    TacMainWnd* W = nullptr;
    bool Panel = false;
    auto Make = [&](auto* Tag, const char* Section) {
        using T = std::remove_pointer_t<decltype(Tag)>;
        W = Create<T>(Handle, true, Section, M, nullptr);
    };
    if (Class == "static") {
        if ((S & 3) == 3 || (S & 0x0E) == 0x0E)
            Make(static_cast<TacIconWnd*>(nullptr), "CHECKBOX");
        else if (!((S & 0x0D) == 0x0D || (S & 0x1F) == 5 || (S & 0x1F) == 6 || (S & 0x1F) == 11))
            Make(static_cast<TacStaticWnd*>(nullptr), "CHECKBOX");
    } else if (Class == "#32770" || Class == "shbrowseforfolder") {
        Make(static_cast<TacTransPanelWnd*>(nullptr), "CHECKBOX");
    } else if (Class == "tpanel" || Class == "tsilentpaintpanel") {
        Make(static_cast<TacDlgPanelWnd*>(nullptr), "PANEL");
        Panel = true;
    } else if (Class == "edit") {
        DialogWnd->SkipClientPaint = false;
        if (IsWindowVisible(Handle))
            Make(static_cast<TacEditWnd*>(nullptr), "EDIT");
    } else if (Class == "button") {
        if ((S & 7) == 7)
            Make(static_cast<TacGroupBoxWnd*>(nullptr), "GROUPBOX");
        else if ((S & 3) == 3 || (S & 2) || (S & 5) == 5 || (S & 9) == 9 || (S & 4))
            Make(static_cast<TacCheckBoxWnd*>(nullptr), "CHECKBOX");
        else
            Make(static_cast<TacBtnWnd*>(nullptr), "BUTTON");
    } else if (Class == "combobox" || Class == "comboboxex32") {
        DialogWnd->SkipClientPaint = false;
        Make(static_cast<TacComboBoxWnd*>(nullptr), "COMBOBOX");
    } else if (Class == "combolbox") {
        DialogWnd->SkipClientPaint = false;
        Make(static_cast<TacEditWnd*>(nullptr), "COMBOBOX");
    } else if (Class == "scrollbar") {
        Make(static_cast<TacSizerWnd*>(nullptr), "CHECKBOX");
    } else if (Class == "systabcontrol32") {
        if (!(S & 0x2000))
            Make(static_cast<TacTabControlWnd*>(nullptr), "PAGECONTROL");
    } else if (Class == "syslistview32") {
        Make(static_cast<TacListViewWnd*>(nullptr), "EDIT");
    } else if (Class == "msctls_updown32") {
        Make(static_cast<TacSpinWnd*>(nullptr), "SPEEDBUTTON_SMALL");
        static_cast<TacSpinWnd*>(W)->SpinKind = 2;
    } else if (Class == "listbox") {
        Make(static_cast<TacEditWnd*>(nullptr), "EDIT");
    } else if (Class == "link window" || Class == "syslink") {
        Make(static_cast<TacLinkWnd*>(nullptr), "CHECKBOX");
    } else if (Class == "toolbarwindow32") {
        Make(static_cast<TacToolBarWnd*>(nullptr), (S & 0x200) ? "BAR" : "CHECKBOX");
    } else if (Class == "systreeview32") {
        Make(static_cast<TacTreeViewWnd*>(nullptr), "EDIT");
    }
    if (W) {
        ChildWrappers.push_back(W);
        if (!Panel)
            GetWindowGeometry(Handle, W->HookParent, W->HookWndRect, 0, W->HookWndPos, W->HookWndSize,
                              W->HookParentRect);
    }
    CreatingDialogWrappers = false;
    return true;
}

void TacProvider::PrintChildWindows(HWND Handle, HDC DC) {
    for (HWND C = GetTopWindow(Handle); C; C = GetWindow(C, GW_HWNDNEXT)) {
        int Saved = SaveDC(DC);
        RECT R;
        GetWindowRect(C, &R);
        MapWindowPoints(nullptr, Handle, reinterpret_cast<POINT*>(&R), 2);
        POINT Old;
        OffsetViewportOrgEx(DC, R.left, R.top, &Old);
        LONG S = GetWindowLongA(C, GWL_STYLE);
        if ((S & WS_CHILD) && (S & WS_VISIBLE))
            SendMessageA(C, WM_PRINT, reinterpret_cast<WPARAM>(DC), 0);
        PrintChildWindows(C, DC);
        RestoreDC(DC, Saved);
    }
}

// ---------------------------------------------------------------------------------------------
// Start-up and shut-down

void acDialsInitialization() {
    if (UseCount++ > 0)
        return;
    TsSkinManager::DialogHookSwitch = SwitchDialogHook;
    // A manager whose skin became active before this unit started installs the hook now.
    if (DefaultManager && ManagerActive())
        DefaultManager->InstallDialogHook();
}

void acDialsFinalization() {
    if (UseCount <= 0 || --UseCount > 0)
        return;
    if (DefaultManager)
        DefaultManager->RemoveDialogHook();
    SwitchDialogHook(false);
    TsSkinManager::DialogHookSwitch = nullptr;
}
