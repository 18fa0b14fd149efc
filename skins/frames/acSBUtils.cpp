#include "acSBUtils.h"

#include "acGlow.h"
#include "acntUtils.h"
#include "sMessages.h"
#include "sPaintServices.h"
#include "sVclUtils.h"

#include <algorithm>
#include <vector>

bool HookCustomFont = false;
bool CreatingDialogWrappers = false;
std::vector<TacMainWnd*>* PageHookList = nullptr;
TGetScrollBarInfoProc GetScrollBarInfoProc = nullptr;
TFlatSBProc InitializeFlatSBProc = nullptr;
TFlatSBProc UninitializeFlatSBProc = nullptr;

namespace {
HMODULE User32Library = nullptr;
HMODULE ComCtl32Library = nullptr;
int UseCount = 0;

// A manager on its way out has let its skin data go before its owned components, whose windows
// may still reach a hook.
bool ManagerActive(TsSkinManager* M) {
    return M && !M->ComponentState().Contains(csDestroying) && M->SkinData && M->SkinData->SkinActive;
}
}  // namespace

std::string ReadWindowText(HWND Wnd) {
    int Length = GetWindowTextLengthA(Wnd);
    if (Length <= 0)
        return std::string();
    std::vector<char> Buffer(static_cast<std::size_t>(Length) + 1);
    int Got = GetWindowTextA(Wnd, Buffer.data(), Length + 1);
    return std::string(Buffer.data(), static_cast<std::size_t>(std::max(Got, 0)));
}

bool EndSkinUpdate(TsCommonData& D, HWND Handle, UINT Flags) {
    if (!D.InUpdate)
        return false;
    D.InUpdate = false;
    D.InUpdate = D.IsUpdating();
    if (!D.InUpdate)
        RedrawWindow(Handle, nullptr, nullptr, Flags);
    return true;
}

// ---------------------------------------------------------------------------------------------
// TacMainWnd

TacMainWnd::TacMainWnd(TDeferAttach, HWND AHandle, const std::string& SkinSection, TsSkinManager* Manager,
                       TsCommonData* ASkinData) {
    Handle = AHandle;
    if (UxThemeLibrary && SetWindowThemeProc && SkinSection != "DIALOG")
        SetWindowThemeProc(Handle, L" ", L" ");
    Thunk = nullptr;
    SkinManager = Manager;
    Unhooked = false;
    if (ASkinData) {
        SkinData = ASkinData;
        if (!SkinManager)
            SkinManager = SkinData->GetSkinManager();
    } else {
        SkinData = Create<TsCommonData>(nullptr, true);
        OwnsSkinData = true;
    }
    SkinData->SetCustomFont(HookCustomFont);
    if (SkinData->SkinSection().empty() || SkinData->SkinSection() == "UNKNOWN")
        SkinData->SetSkinSection(SkinSection);
    InDialog = CreatingDialogWrappers;
    SaveStdParams();
    SkinParamsApplied = false;
    HookWndText = ReadWindowText(Handle);
}

TacMainWnd::TacMainWnd(HWND AHandle, bool, const std::string& SkinSection, TsSkinManager* Manager,
                       TsCommonData* ASkinData)
    : TacMainWnd(TDeferAttach{}, AHandle, SkinSection, Manager, ASkinData) {
    HookWindow(AHandle);
    FinishAttach();
}

void TacMainWnd::FinishAttach() {
    if (TControl* Host = SkinData->HostControl)
        Host->SetControlStyle(Host->ControlStyle() + TControlStyle{csOpaque});
}

TacMainWnd::~TacMainWnd() {
    DetachFromWindow();
    UnregisterSavedProc(ReplacedWindowProc);
    UnregisterSavedProc(ReplacedWndProc);
    if (Thunk) {
        FreeObjectInstance(Thunk);
        Thunk = nullptr;
    }
    if (OwnsSkinData)
        FreeAndNil(SkinData);
    SkinData = nullptr;
    SkinManager = nullptr;
}

void TacMainWnd::DetachFromWindow() {
    // The procedure goes back even while an adapter frees all its hooks: a control or window that
    // outlives its hook must not keep calling into it. A hook whose window went first has nothing to
    // give back, and its control may be gone with it.
    if (Unhooked)
        return;
    TControl* Host = HookedControl();
    bool HostGoing = Host && Host->ComponentState().Contains(csDestroying);
    if (!Unhooked && !HostGoing) {
        if (UxThemeLibrary && SetWindowThemeProc && IsWindow(Handle))
            SetWindowThemeProc(Handle, nullptr, nullptr);
        RestoreWndProc(false);
        ForgetWindow();
        RestoreStdParams();
    }
    Unhooked = true;
}

TControl* TacMainWnd::HookedControl() const {
    if (!SkinData)
        return nullptr;
    if (TacFormProvider* P = AsFormProvider(SkinData->HostObject))
        return P->ProviderForm();
    return SkinData->HostControl;
}

void TacMainWnd::HookWindow(HWND AHandle) {
    Busy = false;
    Handle = AHandle;
    SetPropA(Handle, HookPropName, reinterpret_cast<HANDLE>(this));
    if (TControl* C = HookedControl()) {
        ChainWindowProc(C, TWndMethod::Bind<&TacMainWnd::WndProc>(this), ReplacedWindowProc);
        return;
    }
    ReplacedWndProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Handle, GWLP_WNDPROC));
    RegisterSavedProc(ReplacedWndProc);
    Thunk = MakeObjectInstance(TWndMethod::Bind<&TacMainWnd::WndProc>(this));
    SetWindowLongPtrA(Handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Thunk));
}

void TacMainWnd::ForgetWindow() {
    // A later hook of the same window owns the property now.
    if (GetPropA(Handle, HookPropName) == reinterpret_cast<HANDLE>(this))
        RemovePropA(Handle, HookPropName);
}

bool TacMainWnd::RestoreWndProc(bool OnlyWhenStillOurs) {
    if (ReplacedWindowProc) {
        // A foreign hook chained on top keeps the chain it built, unless the caller insists.
        TControl* C = HookedControl();
        const TWndMethod Mine = TWndMethod::Bind<&TacMainWnd::WndProc>(this);
        bool GivenBack = UnchainWindowProc(C, Mine, ReplacedWindowProc);
        if (!GivenBack) {
            UnregisterSavedProc(ReplacedWindowProc);
            if (C && !OnlyWhenStillOurs)
                C->WindowProc = ReplacedWindowProc;
            GivenBack = !OnlyWhenStillOurs;
        }
        ReplacedWindowProc = nullptr;
        return GivenBack;
    }
    if (ReplacedWndProc) {
        bool Alive = IsWindow(Handle);
        bool Ours = Alive && reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Handle, GWLP_WNDPROC)) == Thunk;
        // Under a later hook of ours, that one calls what this one replaced from now on.
        bool Spliced = !Ours && Thunk && SpliceSavedProc(Thunk, ReplacedWndProc);
        if (OnlyWhenStillOurs && !Ours && !Spliced)
            return false;
        if (Alive && !Spliced)
            SetWindowLongPtrA(Handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ReplacedWndProc));
        UnregisterSavedProc(ReplacedWndProc);
        ReplacedWndProc = nullptr;
        if (Thunk) {
            FreeObjectInstance(Thunk);
            Thunk = nullptr;
        }
        return true;
    }
    return false;
}

LRESULT TacMainWnd::CallPrevWndProc(HWND AHandle, UINT Msg, LPARAM& LParam, WPARAM WParam) {
    if (ReplacedWindowProc) {
        TMessage M{Msg, WParam, LParam, 0};
        ReplacedWindowProc(M);
        LParam = M.LParam;
        return M.Result;
    }
    if (ReplacedWndProc)
        return CallWindowProcA(ReplacedWndProc, AHandle, Msg, WParam, LParam);
    return 0;
}

void TacMainWnd::PassOn(TMessage& Message) {
    LPARAM L = Message.LParam;
    Message.Result = CallPrevWndProc(Handle, Message.Msg, L, Message.WParam);
    Message.LParam = L;
}

bool TacMainWnd::BaseCommand(TMessage& Message) {
    bool OwnManager = Message.LParam == reinterpret_cast<LPARAM>(SkinManager);
    TsCommonData& D = *SkinData;
    switch (SkinCommandOf(Message.WParam)) {
    case SKIN_LOADED:
        if (OwnManager) {
            D.RefreshSkinIndexes();
            D.BackgroundStale = true;
            PassCommandToChildren(D.HostControl, Handle, Message);
        }
        return false;
    case SKIN_REMOVED:
        if (OwnManager)
            RestoreStdParams();
        return false;
    case SKIN_REFRESH:
        if (!OwnManager)
            return false;
        D.RefreshSkinIndexes();
        D.BackgroundStale = true;
        D.SetInUpdate(false);
        SendMessageA(Handle, WM_PAINT, 0, 0);
        return true;
    case SKIN_ENDUPDATE:
        return EndSkinUpdate(D, Handle, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    case SKIN_ISSKINNED:
        Message.Result = 1;
        return true;
    case SKIN_GETSTALE:
        Message.Result = D.InUpdate ? 1 : 0;
        return true;
    case SKIN_GETNONUNIFORM:
        if (!D.HostControl)
            return false;
        HandleSkinCommand(Message, SkinData);
        return true;
    case SKIN_GETBGCOLOR:
        PassOn(Message);
        if (Message.Result == 0)
            Message.Result = D.GetBackgroundColor(0, Handle);
        return true;
    case SKIN_PREPARECACHE:
        PaintBorderCache(SkinData, Handle, false);
        return false;
    case SKIN_GETBACKGROUND:
        D.FillParentBackgroundInfo(*reinterpret_cast<ParentBackgroundInfo*>(Message.LParam), 0, Handle);
        return true;
    case SKIN_GETAPPLICATION:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return true;
    default:
        return false;
    }
}

void TacMainWnd::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY: {
        if (SkinData && SkinData->GlowEffectIndex >= 0) {
            RemoveGlowEffect(SkinData->GlowEffectIndex);
            SkinData->GlowEffectIndex = -1;
        }
        bool Replaced = ReplacedWindowProc || ReplacedWndProc;
        PassOn(Message);
        if (Replaced) {
            TacMainWnd* Self = this;
            ReleaseWindowHook(Handle, false, 0, Self);
        }
        return;
    }
    case WM_UPDATEUISTATE:
        return;
    case WM_SIZE:
        if (SkinData)
            SkinData->BackgroundStale = true;
        break;
    case WM_SETTEXT:
        PassOn(Message);
        HookWndText = ReadWindowText(Handle);
        return;
    case WM_MOUSEMOVE:
        if (DefaultManager && !DefaultManager->ComponentState().Contains(csDesigning) && IsWindowEnabled(Handle) &&
            DefaultManager->HotWindow != Handle)
            DefaultManager->SetHotWindow(Handle);
        break;
    case WM_PRINT:
        Message.Result = SendMessageA(Handle, WM_PAINT, Message.WParam, Message.LParam);
        return;
    default:
        break;
    }
    if (!SkinData || !ManagerActive(SkinManager)) {
        PassOn(Message);
        return;
    }
    if (Message.Msg == SM_ALPHACMD && BaseCommand(Message))
        return;
    PassOn(Message);
}

// ---------------------------------------------------------------------------------------------
// Attaching and detaching

TacMainWnd* GetHookOfWindow(HWND Handle) {
    return Handle ? reinterpret_cast<TacMainWnd*>(GetPropA(Handle, HookPropName)) : nullptr;
}

void UnhookMainWnd(HWND Handle, bool FreeIt, int RepaintFlags, TacMainWnd*& Wnd) {
    if (!Wnd)
        return;
    if (!Wnd->Unhooked && Wnd->SkinData && Wnd->SkinData->HostControl) {
        Wnd->RestoreWndProc(false);
        Wnd->ForgetWindow();
        Wnd->RestoreStdParams();
        ResetScrollBarInteraction(Handle);
        if (auto* S = DynCast<TacScrollWnd>(Wnd)) {
            for (TacScrollBar* Bar : {S->HorzBar, S->VertBar})
                if (Bar)
                    Bar->Owner = nullptr;
            S->FreeScrollBars();
        }
        if (IsWindowVisible(Handle))
            RefreshWindowFrame(Handle, RepaintFlags != 0);
        Wnd->Unhooked = true;
    }
    if (FreeIt) {
        Wnd->ReplacedWindowProc = nullptr;
        Wnd->ReplacedWndProc = nullptr;
        FreeAndNil(Wnd);
    }
}

void ReleaseWindowHook(HWND Handle, bool FreeIt, int RepaintFlags, TacMainWnd*& Wnd) {
    if (!Wnd)
        return;
    if (!Wnd->Unhooked) {
        bool GivenBack = Wnd->RestoreWndProc(true);
        Wnd->ForgetWindow();
        Wnd->RestoreStdParams();
        if (IsWindowVisible(Handle))
            RefreshWindowFrame(Handle, RepaintFlags != 0);
        Wnd->Unhooked = GivenBack;
    }
    if (FreeIt) {
        Wnd->ReplacedWindowProc = nullptr;
        Wnd->ReplacedWndProc = nullptr;
        FreeAndNil(Wnd);
    }
}

void RefreshEditWnd(TsCommonData* SkinData, TacScrollWnd*& Wnd) { RefreshHookWnd<TacEditWnd>(SkinData, Wnd); }

void RefreshWindowFrame(HWND Handle, bool FrameChanged) {
    if (FrameChanged)
        SetWindowPos(Handle, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    else
        SendMessageA(Handle, WM_NCPAINT, 1, 0);
}

void GetWindowGeometry(HWND Handle, HWND& Parent, TRect& WndRect, int, TPoint& WndPos, TSize& WndSize,
                       TRect& ParentRect) {
    GetWindowRect(Handle, WndRect);
    Parent = GetParent(Handle);
    ParentRect = TRect{};
    if (Parent)
        GetWindowRect(Parent, ParentRect);
    WndSize.cx = std::max<LONG>(0, WndRect.Width());
    WndSize.cy = std::max<LONG>(0, WndRect.Height());
    WndPos = WndRect.TopLeft();
    if (Parent)
        ScreenToClient(Parent, WndPos);
}

void PaintBorderCache(TsCommonData* SkinData, HWND Handle, bool Bordered) {
    if (!SkinData || !SkinData->BackgroundStale || !Handle)
        return;
    TRect R;
    GetWindowRect(Handle, R);
    BackgroundSource Background;
    GetWindowParentBackgroundSource(Handle, Background);
    PrepareCacheBitmapFor(SkinData);
    TBitmap* Cache = SkinData->CacheBitmap;
    if (Cache->Width() != R.Width() || Cache->Height() != R.Height())
        Cache->SetSize(std::max<LONG>(0, R.Width()), std::max<LONG>(0, R.Height()));
    TColor BorderColor = DefaultManager ? DefaultManager->SkinData->BorderColor : TColor(0xFF00FF);
    if (Bordered && DefaultManager && BorderColor != TColor(0xFF00FF)) {
        TCanvas* C = Cache->Canvas();
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(clWindow);
        C->FillRect(Rect(0, 0, Cache->Width(), Cache->Height()));
        C->Brush()->SetColor(BorderColor);
        C->FrameRect(Rect(0, 0, Cache->Width(), Cache->Height()));
    } else {
        HWND Parent = GetParent(Handle);
        POINT Pos{R.Left, R.Top};
        if (!Parent || !ScreenToClient(Parent, &Pos))
            return;  // the background stays stale
        TsSkinManager* M = SkinData->GetSkinManager();
        if (M && M->SectionIndexInRange(SkinData->SectionIndex))
            PaintControlSkin(SkinData, Background, false, !Bordered,
                             SkinData->HasFocus || SkinData->MouseOver ? 1 : 0, Cache, Point(Pos.x, Pos.y),
                             Rect(0, 0, R.Width(), R.Height()));
    }
    TControl* Host = SkinData->HostControl;
    if (Host && !Host->Enabled()) {
        // The window may keep a disabled kind of its own: it answers by storing it in the shared value.
        SharedDisabledKind = TsDisabledKind{dkBlended};
        SendSkinCommand(Handle, SKIN_GETDISABLEDKIND, 0);
        BackgroundSource HostBackground;
        SkinData->GetParentBackgroundSource(HostBackground);
        PaintDisabledLook(Cache, SharedDisabledKind, Host->Parent(), HostBackground, Point(Host->Left(), Host->Top()));
    }
    SkinData->BackgroundStale = false;
}

// ---------------------------------------------------------------------------------------------
// Routines the hooks share

TComponent* FindControlByHandle(HWND Handle, TComponent* Root) {
    if (!Root || !Handle)
        return nullptr;
    for (int I = 0; I < Root->ComponentCount(); ++I) {
        TComponent* C = Root->Components(I);
        if (auto* W = DynCast<TWinControl>(C); W && W->HandleAllocated() && W->Handle() == Handle)
            return C;
        if (TComponent* Found = FindControlByHandle(Handle, C))
            return Found;
    }
    return nullptr;
}

void SetColorProp(TObject* Obj, const std::string& PropName, TColor Value) {
    if (Obj && PropertyExists(Obj, PropName))
        SetOrdPropByName(Obj, PropName, Value);
}

TColor GetColorProp(TObject* Obj, const std::string& PropName) {
    if (!Obj || !PropertyExists(Obj, PropName))
        return 0;
    return ColorToRGB(static_cast<TColor>(GetOrdPropByName(Obj, PropName)));
}

void PassCommandToChildren(TControl* HostControl, HWND Handle, TMessage& Message) {
    if (HostControl) {
        if (auto* W = DynCast<TWinControl>(HostControl))
            BroadcastToSkinnedChildren(W, Message);
    } else {
        SendToDirectChildWindows(Handle, Message);
    }
}

void AskTopWindowToAdapt(HWND Handle) {
    HWND Top = Handle;
    for (HWND P = GetParent(Top); P; P = GetParent(Top))
        Top = P;
    if (Top)
        SendMessageA(Top, SM_ALPHACMD, SkinCommandParam(SKIN_ADAPTCHILDREN), 0);
}

bool BorderMaskHasStates(TsCommonData* SkinData) {
    TsSkinManager* M = SkinData ? SkinData->GetSkinManager() : nullptr;
    return M && M->SectionIndexInRange(SkinData->SectionIndex) && M->MaskIndexInRange(SkinData->BorderMaskIndex) &&
           M->MaskList[SkinData->BorderMaskIndex].ImageCount > 1;
}

namespace {
// Pixel access for the corner pass, whatever the bitmap's depth (24 or 32 bits).
struct TPixelRows {
    TBitmap* Bitmap = nullptr;
    int Bytes = 0;
    bool Attach(TBitmap* B) {
        Bitmap = B;
        Bytes = !B ? 0 : B->PixelFormat() == pf32bit ? 4 : B->PixelFormat() == pf24bit ? 3 : 0;
        return Bytes != 0 && B->Width() > 0 && B->Height() > 0;
    }
    bool Inside(int X, int Y) const { return X >= 0 && Y >= 0 && X < Bitmap->Width() && Y < Bitmap->Height(); }
    TColor Read(int X, int Y) const {
        const BYTE* P = static_cast<const BYTE*>(Bitmap->ScanLine(Y)) + X * Bytes;
        return static_cast<TColor>(P[2] | (P[1] << 8) | (P[0] << 16));
    }
    void Write(int X, int Y, TColor C) const {
        BYTE* P = static_cast<BYTE*>(Bitmap->ScanLine(Y)) + X * Bytes;
        P[0] = static_cast<BYTE>(C >> 16);
        P[1] = static_cast<BYTE>(C >> 8);
        P[2] = static_cast<BYTE>(C);
        if (Bytes == 4)
            P[3] = 0xFF;
    }
};
}  // namespace

void PaintHookCorners(TsCommonData* SkinData, int State, TacMainWnd* Hook) {
    TsSkinManager* M = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!M || !Hook || Hook->InDialog || !M->MaskIndexInRange(SkinData->BorderMaskIndex) || !SkinData->CacheBitmap)
        return;
    TPixelRows Cache;
    if (!Cache.Attach(SkinData->CacheBitmap))
        return;
    const int W = std::min<int>(Hook->HookWndSize.cx, Cache.Bitmap->Width());
    const int H = std::min<int>(Hook->HookWndSize.cy, Cache.Bitmap->Height());
    if (W <= 1 || H <= 1)
        return;
    BackgroundSource Background;
    GetWindowParentBackgroundSource(Hook->Handle, Background);
    TsMaskData Mask = M->MaskList[SkinData->BorderMaskIndex];
    if (Mask.Bmp && Mask.ImageCount == 0) {
        Mask.ImageCount = 3;
        Mask.MaskType = 1;
        Mask.R = Rect(0, 0, Mask.Bmp->Width(), Mask.Bmp->Height());
    }
    // A skin file may give no image count: one image then, instead of a division by zero.
    const int Count = std::max<int>(1, Mask.ImageCount);
    const int Rows = std::max<int>(1, Mask.MaskType + 1);
    TPixelRows Source;
    if (!Source.Attach(Mask.Bmp ? Mask.Bmp : M->MasterBitmap))
        return;
    TPixelRows Back;
    bool HasBack = Background.Bmp && Back.Attach(Background.Bmp);
    if (HasBack) {
        Background.OffsetX += Hook->HookWndPos.X;
        Background.OffsetY += Hook->HookWndPos.Y;
    }
    const TColor BackColor = ColorToRGB(Background.Color);
    if (!HasBack && BackColor == TColor(0xFF00FF))
        return;
    State = std::clamp(State, 0, Count - 1);
    const int ImageW = Mask.R.Width() / Count;
    const int ImageH = Mask.R.Height() / Rows;
    const int Left = Mask.R.Left + Mask.R.Width() * State / Count;
    const int Top = Mask.R.Top;
    const int MiddleW = ImageW - Mask.WL - Mask.WR;
    // (source x, source y, window x, window y, width, height) of each corner.
    const int Corners[4][6] = {
        {Left, Top, 0, 0, Mask.WL, Mask.WT},
        {Left + Mask.WL + MiddleW, Top, W - Mask.WR, 0, Mask.WR, Mask.WT},
        {Left, Top + ImageH - Mask.WB, 0, H - Mask.WB, Mask.WL, Mask.WB},
        {Left + Mask.WL + MiddleW, Top + ImageH - Mask.WB, W - Mask.WR, H - Mask.WB, Mask.WR, Mask.WB},
    };
    for (const auto& C : Corners)
        for (int Y = 0; Y < C[5]; ++Y)
            for (int X = 0; X < C[4]; ++X) {
                const int SX = C[0] + X, SY = C[1] + Y, DX = C[2] + X, DY = C[3] + Y;
                if (!Source.Inside(SX, SY) || DX < 0 || DY < 0 || DX >= W || DY >= H ||
                    Source.Read(SX, SY) != KeyColor)
                    continue;
                if (!HasBack) {
                    Cache.Write(DX, DY, BackColor);
                    continue;
                }
                const int BX = DX + Background.OffsetX, BY = DY + Background.OffsetY;
                if (Back.Inside(BX, BY))
                    Cache.Write(DX, DY, Back.Read(BX, BY));
            }
}

void RefreshScrollWnd(TsCommonData* SkinData, TacScrollWnd*& Wnd) {
    if (SkinData)
        RefreshScrollWnd(SkinData->HostControl, SkinData, Wnd, SkinData->SkinSection(), true);
}

void RefreshScrollWnd(TControl* Host, TsCommonData* SkinData, TacScrollWnd*& Wnd, const std::string& Section,
                      bool Repaint) {
    if (!Host || Host->ComponentState().Contains(csLoading) || Host->ComponentState().Contains(csDestroying) ||
        Host->ComponentState().Contains(csDesigning))
        return;
    auto* W = DynCast<TWinControl>(Host);
    bool HasWindow = W && W->HandleAllocated();
    if (SkinData->IsSkinned(false)) {
        if (Wnd && Wnd->Unhooked)
            FreeAndNil(Wnd);
        if (!Wnd && HasWindow) {
            if (UninitializeFlatSBProc)
                UninitializeFlatSBProc(W->Handle());
            Wnd = Create<TacScrollWnd>(W->Handle(), Repaint, Section, SkinData->GetSkinManager(), SkinData);
        }
    } else if (Wnd) {
        FreeAndNil(Wnd);
        if (InitializeFlatSBProc && HasWindow)
            InitializeFlatSBProc(W->Handle());
    }
}

// ---------------------------------------------------------------------------------------------
// Start-up and shut-down

void acSBUtilsInitialization() {
    if (UseCount++ > 0)
        return;
    User32Library = LoadLibraryA("user32.dll");
    if (User32Library)
        GetScrollBarInfoProc =
            reinterpret_cast<TGetScrollBarInfoProc>(reinterpret_cast<void*>(GetProcAddress(User32Library, "GetScrollBarInfo")));
    ComCtl32Library = LoadLibraryA("comctl32.dll");
    if (ComCtl32Library) {
        UninitializeFlatSBProc = reinterpret_cast<TFlatSBProc>(reinterpret_cast<void*>(GetProcAddress(ComCtl32Library, "UninitializeFlatSB")));
        InitializeFlatSBProc = reinterpret_cast<TFlatSBProc>(reinterpret_cast<void*>(GetProcAddress(ComCtl32Library, "InitializeFlatSB")));
    }
}

void acSBUtilsFinalization() {
    if (UseCount <= 0 || --UseCount > 0)
        return;
    GetScrollBarInfoProc = nullptr;
    InitializeFlatSBProc = nullptr;
    UninitializeFlatSBProc = nullptr;
    if (User32Library)
        FreeLibrary(User32Library);
    if (ComCtl32Library)
        FreeLibrary(ComCtl32Library);
    User32Library = ComCtl32Library = nullptr;
    if (PageHookList) {
        for (TacMainWnd*& Hook : *PageHookList)
            FreeAndNil(Hook);
        delete PageHookList;
        PageHookList = nullptr;
    }
}
