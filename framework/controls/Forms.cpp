#include "Forms.h"

#include "Dialogs.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "Threads.h"
#include "Timers.h"

#include <algorithm>
#include <exception>

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

thread_local bool NextFormIsNew = false;
thread_local bool NextModuleIsNew = false;
// The variable CreateForm fills for the object being constructed now.
thread_local TComponent** PendingReference = nullptr;

TComponent** TakePendingReference(TComponent* Instance) {
    TComponent** Ref = PendingReference;
    PendingReference = nullptr;
    if (Ref)
        *Ref = Instance;
    return Ref;
}

void ClearReference(TComponent** Ref, TComponent* Instance) {
    // Only while it still names this object: the program may have put a newer one there.
    if (Ref && *Ref == Instance)
        *Ref = nullptr;
}

// Reads the resources of Instance's class and of its ancestors below RootAncestor.
void ReadFormResource(TComponent* Instance, TClass RootAncestor, bool Required) {
    if (InitInheritedComponent(Instance, RootAncestor))
        return;
    if (Required)
        throw EResNotFound(FormsConsts::SResNotFound, {Instance->ClassName()});
}

// The thread's enabled, visible top-level windows other than Except, disabled while a modal form runs.
struct TTaskWindows {
    HWND Except;
    std::vector<HWND> List;
};

BOOL CALLBACK DisableTaskWindow(HWND Wnd, LPARAM Data) {
    auto* T = reinterpret_cast<TTaskWindows*>(Data);
    if (Wnd != T->Except && IsWindowVisible(Wnd) && IsWindowEnabled(Wnd)) {
        T->List.push_back(Wnd);
        EnableWindow(Wnd, FALSE);
    }
    return TRUE;
}

std::vector<HWND> DisableTaskWindows(HWND Except) {
    TTaskWindows T{Except, {}};
    EnumThreadWindows(GetCurrentThreadId(), DisableTaskWindow, reinterpret_cast<LPARAM>(&T));
    return T.List;
}

void EnableTaskWindows(const std::vector<HWND>& List) {
    for (HWND W : List)
        if (IsWindow(W))
            EnableWindow(W, TRUE);
}

}  // namespace

TCustomForm* GetParentForm(const TControl* Control) {
    while (Control && Control->Parent())
        Control = Control->Parent();
    return DynCast<TCustomForm>(const_cast<TControl*>(Control));
}

// ---------------------------------------------------------------------------------------------
// Scrolling containers

void TScrollingWinControl::DefineClass(TClassBuilder<TScrollingWinControl>& B) {
    B.Property("AutoScroll", &TScrollingWinControl::AutoScroll, &TScrollingWinControl::SetAutoScroll).Default(true);
}

TScrollBox::TScrollBox(TComponent* AOwner) : TScrollingWinControl(AOwner) {
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    SetTabStop(false);
    FWidth = 185;
    FHeight = 41;
}

TCustomFrame::TCustomFrame(TComponent* AOwner) : TScrollingWinControl(AOwner) {
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    SetTabStop(false);
    FWidth = 320;
    FHeight = 240;
}

void TScrollBox::DefineClass(TClassBuilder<TScrollBox>& B) {
    B.Property("BorderStyle", &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle)
        .TypeName("TBorderStyle")
        .Default(bsSingle);
}

void TScrollBox::SetBorderStyle(TFormBorderStyle Value) {
    Value = Value == bsNone ? bsNone : bsSingle;
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TScrollBox::CreateParams(TCreateParams& Params) {
    TScrollingWinControl::CreateParams(Params);
    if (FBorderStyle == bsSingle) {
        if (Ctl3D())
            Params.ExStyle |= WS_EX_CLIENTEDGE;
        else
            Params.Style |= WS_BORDER;
    }
}

// ---------------------------------------------------------------------------------------------
// TCustomForm

TCustomForm::TNewFormScope::TNewFormScope() { NextFormIsNew = true; }
TCustomForm::TNewFormScope::~TNewFormScope() { NextFormIsNew = false; }

TCustomForm::TCustomForm(TComponent* AOwner) : TScrollingWinControl(AOwner) {
    FCreatedNew = NextFormIsNew;
    NextFormIsNew = false;
    FReference = TakePendingReference(this);
    FFormState.Include(fsCreating);
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FVisible = false;
    FParentFont = false;
    FParentColor = false;
    FColor = clBtnFace;
    Brush()->SetColor(FColor);
    FLeft = 0;
    FTop = 0;
    FWidth = 320;
    FHeight = 240;
    FCanvas = Create<TControlCanvas>();
    FCanvas->SetControl(this);
    if (Screen)
        Screen->AddForm(this);
    RegisterGlobalRoot(this);
}

TCustomForm::~TCustomForm() { FreeObject(FCanvas); }

void TCustomForm::AfterConstruction() {
    try {
        TWinControl::AfterConstruction();
        if (!FCreatedNew) {
            TClass Root = InheritsFrom(TForm::StaticClass()) ? TForm::StaticClass() : TCustomForm::StaticClass();
            ReadFormResource(this, Root, ClassType() != Root);
        }
        DoCreate();
    } catch (...) {
        // A form that cannot be made is freed, as the platform's constructors do; the error goes on.
        ClearReference(FReference, this);
        FReference = nullptr;
        FFormState.Exclude(fsCreating);
        Free();
        throw;
    }
    FFormState.Exclude(fsCreating);
    if (FFormState.Contains(fsVisible)) {
        FFormState.Exclude(fsVisible);
        Show();
    }
}

void TCustomForm::BeforeDestruction() {
    Destroying();
    if (!FFormState.Contains(fsCreating)) {
        try {
            DoDestroy();
        } catch (...) {
            if (Application)
                Application->HandleException(this);
        }
    }
    if (Application && Application->FMainForm == this)
        Application->FMainForm = nullptr;
    if (Screen)
        Screen->RemoveForm(this);
    ClearReference(FReference, this);
    FReference = nullptr;
    UnRegisterGlobalRoot(this);
    TWinControl::BeforeDestruction();
}

void TCustomForm::DefineClass(TClassBuilder<TCustomForm>& B) {
    B.Message<&TCustomForm::WMClose>(WM_CLOSE);
    B.Message<&TCustomForm::WMCommand>(WM_COMMAND);
    B.Message<&TCustomForm::WMActivate>(WM_ACTIVATE);
    B.Message<&TCustomForm::WMSysCommand>(WM_SYSCOMMAND);
    B.Message<&TCustomForm::WMGetMinMaxInfo>(WM_GETMINMAXINFO);
    B.Message<&TCustomForm::WMSize>(WM_SIZE);
    B.Message<&TCustomForm::WMQueryEndSession>(WM_QUERYENDSESSION);
    B.Message<&TCustomForm::CMShowingChanged>(CM_SHOWINGCHANGED);
    B.Message<&TCustomForm::CMRelease>(CM_RELEASE);
    B.Message<&TCustomForm::CMDialogKey>(CM_DIALOGKEY);
    B.Message<&TCustomForm::CMActivate>(CM_ACTIVATE);
    B.Message<&TCustomForm::CMDeactivate>(CM_DEACTIVATE);
}

void TForm::DefineClass(TClassBuilder<TForm>& B) {
    B.Property("Caption", &TForm::Caption, &TForm::SetCaption).TypeName("TCaption");
    B.Property("ActiveControl", &TForm::ActiveControl, &TForm::SetActiveControl);
    B.Property("AlphaBlend", &TForm::AlphaBlend, &TForm::SetAlphaBlend).Default(false);
    B.Property("AlphaBlendValue", &TForm::AlphaBlendValue, &TForm::SetAlphaBlendValue).Default(255);
    B.Property("BorderIcons", &TForm::BorderIcons, &TForm::SetBorderIcons)
        .Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
    B.Property("BorderStyle", &TForm::BorderStyle, &TForm::SetBorderStyle).Default(bsSizeable);
    B.Property("ClientHeight", &TForm::ClientHeight, &TForm::SetClientHeight);
    B.Property("ClientWidth", &TForm::ClientWidth, &TForm::SetClientWidth);
    B.Property("FormStyle", &TForm::FormStyle, &TForm::SetFormStyle).Default(fsNormal);
    B.Property("KeyPreview", &TForm::KeyPreview, &TForm::SetKeyPreview).Default(false);
    B.Property("Menu", &TForm::Menu, &TForm::SetMenu);
    B.Property("PixelsPerInch", &TForm::PixelsPerInch, &TForm::SetPixelsPerInch);
    B.Property("Position", &TForm::Position, &TForm::SetPosition).Default(poDefaultPosOnly);
    B.Property("Scaled", &TForm::Scaled, &TForm::SetScaled).Default(true);
    B.Property("WindowState", &TForm::WindowState, &TForm::SetWindowState).Default(wsNormal);
    B.Property("OnActivate", &TForm::OnActivate, &TForm::OnActivate);
    B.Property("OnClose", &TForm::OnClose, &TForm::OnClose);
    B.Property("OnCloseQuery", &TForm::OnCloseQuery, &TForm::OnCloseQuery);
    B.Property("OnCreate", &TForm::OnCreate, &TForm::OnCreate);
    B.Property("OnDeactivate", &TForm::OnDeactivate, &TForm::OnDeactivate);
    B.Property("OnDestroy", &TForm::OnDestroy, &TForm::OnDestroy);
    B.Property("OnHide", &TForm::OnHide, &TForm::OnHide);
    B.Property("OnPaint", &TForm::OnPaint, &TForm::OnPaint);
    B.Property("OnShow", &TForm::OnShow, &TForm::OnShow);
}

void TCustomForm::DoCreate() { OnCreate(this); }
void TCustomForm::DoDestroy() { OnDestroy(this); }
void TCustomForm::DoShow() { OnShow(this); }
void TCustomForm::DoHide() { OnHide(this); }
void TCustomForm::DoClose(TCloseAction& Action) { OnClose(this, Action); }
void TCustomForm::Activate() { OnActivate(this); }
void TCustomForm::Deactivate() { OnDeactivate(this); }
void TCustomForm::Paint() { OnPaint(this); }

void TCustomForm::Resize() {
    if (FComponentState.Contains(csLoading))
        return;
    TWinControl::Resize();
}

void TCustomForm::Loaded() {
    TWinControl::Loaded();
    if (FPendingClientWidth >= 0 || FPendingClientHeight >= 0) {
        int W = FPendingClientWidth >= 0 ? FPendingClientWidth : ClientWidth();
        int H = FPendingClientHeight >= 0 ? FPendingClientHeight : ClientHeight();
        FPendingClientWidth = FPendingClientHeight = -1;
        SetClientSize(W, H);
    }
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        if (AComponent == FActiveControl)
            FActiveControl = nullptr;
        if (AComponent == FFocusedControl)
            FFocusedControl = nullptr;
        if (AComponent == FMenu)
            FMenu = nullptr;
    }
}

// Window

namespace {
// The MDI form that shows the MDI children: the main form when it is one, else the first of the screen.
TCustomForm* FindMDIForm() {
    if (Application && Application->MainForm() && Application->MainForm()->FormStyle() == fsMDIForm)
        return Application->MainForm();
    for (int I = 0; Screen && I < Screen->FormCount(); ++I)
        if (Screen->Forms(I)->FormStyle() == fsMDIForm)
            return Screen->Forms(I);
    return nullptr;
}
}  // namespace

void TCustomForm::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    if (FParent || ParentWindow())
        return;
    if (FFormStyle == fsMDIChild && !FComponentState.Contains(csDesigning)) {
        TCustomForm* Frame = FindMDIForm();
        if (!Frame)
            throw EInvalidOperation(FormsConsts::SNoMDIForm);
        // An MDI child is a child of the frame's client window; the system gives it its frame.
        Frame->HandleNeeded();
        Params.WndParent = Frame->ClientHandle();
        Params.Style = (Params.Style & ~(WS_POPUP | WS_GROUP | WS_TABSTOP)) | WS_CHILD | WS_CLIPSIBLINGS |
                       WS_CLIPCHILDREN | WS_CAPTION | WS_THICKFRAME;
        if (FBorderIcons.Contains(biSystemMenu))
            Params.Style |= WS_SYSMENU;
        if (FBorderIcons.Contains(biMinimize))
            Params.Style |= WS_MINIMIZEBOX;
        if (FBorderIcons.Contains(biMaximize))
            Params.Style |= WS_MAXIMIZEBOX;
        Params.ExStyle |= WS_EX_MDICHILD;
        Params.WindowClass.style = CS_DBLCLKS;
        return;
    }
    Params.Style &= ~(WS_CHILD | WS_GROUP | WS_TABSTOP);
    Params.Style |= WS_CLIPCHILDREN;
    Params.WndParent = Application ? Application->Handle() : nullptr;
    Params.WindowClass.style = CS_DBLCLKS;
    switch (FBorderStyle) {
    case bsNone: Params.Style |= WS_POPUP; break;
    case bsSingle:
    case bsToolWindow: Params.Style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable:
    case bsSizeToolWin: Params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
        Params.Style |= WS_POPUP | WS_CAPTION;
        Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    }
    if (FBorderStyle != bsNone) {
        if (FBorderIcons.Contains(biSystemMenu))
            Params.Style |= WS_SYSMENU;
        if (FBorderStyle != bsDialog && FBorderStyle != bsToolWindow && FBorderStyle != bsSizeToolWin) {
            if (FBorderIcons.Contains(biMinimize))
                Params.Style |= WS_MINIMIZEBOX;
            if (FBorderIcons.Contains(biMaximize))
                Params.Style |= WS_MAXIMIZEBOX;
        }
        if (FBorderIcons.Contains(biHelp) && FBorderIcons.Contains(biSystemMenu))
            Params.ExStyle |= WS_EX_CONTEXTHELP;
    }
    if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin)
        Params.ExStyle |= WS_EX_TOOLWINDOW;
    if (FFormStyle == fsStayOnTop)
        Params.ExStyle |= WS_EX_TOPMOST;
}

void TCustomForm::CreateWnd() {
    TWinControl::CreateWnd();
    if (FFormStyle == fsMDIForm && !FComponentState.Contains(csDesigning)) {
        CLIENTCREATESTRUCT Client{nullptr, 0xFF00};
        RECT R;
        GetClientRect(FHandle, &R);
        SetLastError(0);
        FClientHandle = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VSCROLL | WS_HSCROLL,
                                        0, 0, R.right, R.bottom, FHandle, nullptr, GetModuleHandleA(nullptr), &Client);
        if (!FClientHandle)
            RaiseLastOSError();
    }
    if (FFormStyle == fsStayOnTop)
        SetWindowPos(FHandle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (FMenu)
        FMenu->SetWindowHandle(FHandle);
    FLayeredByAlphaBlend = false;
    ApplyAlphaBlend();
}

void TCustomForm::SetAlphaBlend(bool Value) {
    FAlphaBlend = Value;
    ApplyAlphaBlend();
}

void TCustomForm::SetAlphaBlendValue(Byte Value) {
    FAlphaBlendValue = Value;
    ApplyAlphaBlend();
}

void TCustomForm::ApplyAlphaBlend() {
    if (!FHandle)
        return;
    LONG ExStyle = GetWindowLongA(FHandle, GWL_EXSTYLE);
    if (FAlphaBlend) {
        if (!(ExStyle & WS_EX_LAYERED)) {
            SetWindowLongA(FHandle, GWL_EXSTYLE, ExStyle | WS_EX_LAYERED);
            FLayeredByAlphaBlend = true;
        }
        SetLayeredWindowAttributes(FHandle, 0, FAlphaBlendValue, LWA_ALPHA);
    } else if (FLayeredByAlphaBlend) {
        // Only the layering this form added is taken away; others (animations) keep theirs.
        SetWindowLongA(FHandle, GWL_EXSTYLE, ExStyle & ~WS_EX_LAYERED);
        FLayeredByAlphaBlend = false;
        RedrawWindow(FHandle, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}

void TCustomForm::DefaultHandler(TMessage& Message) {
    // Below the framework's own messages, MDI windows take the system's MDI procedures, which keep
    // the client window filling the frame and the children's activation and maximised state.
    if (FHandle && Message.Msg < CM_BASE && Message.Msg != WM_SETTEXT && Message.Msg != WM_GETTEXT &&
        Message.Msg != WM_GETTEXTLENGTH) {
        if (FFormStyle == fsMDIForm && FClientHandle) {
            Message.Result = DefFrameProcA(FHandle, FClientHandle, Message.Msg, Message.WParam, Message.LParam);
            return;
        }
        if (FFormStyle == fsMDIChild && (GetWindowLongPtrA(FHandle, GWL_EXSTYLE) & WS_EX_MDICHILD)) {
            Message.Result = DefMDIChildProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
            return;
        }
    }
    TScrollingWinControl::DefaultHandler(Message);
}

void TCustomForm::DestroyWnd() {
    if (FFormStyle == fsMDIChild && FMenu)
        if (TCustomForm* Frame = FindMDIForm(); Frame && Frame->Menu() && Frame->Menu()->Merged() == FMenu)
            Frame->Menu()->Merge(nullptr);
    FClientHandle = nullptr;
    // The system destroys a window's menu with it: the menu bar is taken off first and stays the menu's.
    if (FMenu && FHandle)
        FMenu->SetWindowHandle(nullptr);
    TWinControl::DestroyWnd();
}

void TCustomForm::SetMenu(TMainMenu* Value) {
    if (FMenu == Value)
        return;
    if (FMenu && FHandle)
        FMenu->SetWindowHandle(nullptr);
    FMenu = Value;
    if (Value) {
        Value->FreeNotification(this);
        if (FHandle)
            Value->SetWindowHandle(FHandle);
    }
}

bool TCustomForm::IsShortCut(TWMKey& Message) { return MenuIsShortCut(this, Message); }

void TCustomForm::WMCommand(TMessage& Message) {
    // A command from a menu (no control window, notification 0) goes to its item.
    if (Message.LParam == 0 && HIWORD(Message.WParam) == 0 && DispatchMenuCommand(LOWORD(Message.WParam))) {
        Message.Result = 0;
        return;
    }
    InheritedDispatch(StaticClass(), Message);
}

TRect TCustomForm::ClientRect() {
    if (FHandle || FParent || ParentWindow())
        return TWinControl::ClientRect();
    // No window yet: the client area its window will have (the form's files give client sizes).
    TCreateParams P;
    CreateParams(P);
    RECT R{0, 0, 0, 0};
    AdjustWindowRectEx(&R, P.Style, FALSE, P.ExStyle);
    return TRect{0, 0, std::max<LONG>(0, FWidth - (R.right - R.left)), std::max<LONG>(0, FHeight - (R.bottom - R.top))};
}

void TCustomForm::SetClientSize(int AWidth, int AHeight) {
    if (FComponentState.Contains(csReading)) {
        // The border style may come later in the file: apply client sizes once it is read.
        if (AWidth != ClientWidth())
            FPendingClientWidth = AWidth;
        if (AHeight != ClientHeight())
            FPendingClientHeight = AHeight;
        TRect R = ClientRect();
        SetBounds(FLeft, FTop, FWidth - R.Width() + AWidth, FHeight - R.Height() + AHeight);
        return;
    }
    TWinControl::SetClientSize(AWidth, AHeight);
}

void TCustomForm::PaintWindow(HDC DC) {
    FCanvas->PaintOn(DC, [this] { Paint(); });
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
    if (FBorderIcons == Value)
        return;
    FBorderIcons = Value;
    RecreateWnd();
}

void TCustomForm::SetPosition(TPosition Value) {
    FPosition = Value;
    if (FHandle && IsWindowVisible(FHandle))
        ApplyPosition();
    else
        FPositionApplied = false;
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
    if (FFormStyle == Value)
        return;
    bool TopChange = (FFormStyle == fsStayOnTop) != (Value == fsStayOnTop);
    FFormStyle = Value;
    if (FHandle && TopChange)
        SetWindowPos(FHandle, Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetWindowState(TWindowState Value) {
    if (FWindowState == Value)
        return;
    FWindowState = Value;
    if (FHandle && FShowing)
        ShowWindow(FHandle, Value == wsMinimized ? SW_MINIMIZE : Value == wsMaximized ? SW_MAXIMIZE : SW_RESTORE);
}

void TCustomForm::ApplyPosition() {
    FPositionApplied = true;
    int X = FLeft, Y = FTop;
    switch (FPosition) {
    case poScreenCenter:
    case poMainFormCenter:
    case poOwnerFormCenter: {
        TRect Area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        TCustomForm* Center = nullptr;
        if (FPosition == poMainFormCenter && Application && Application->MainForm() != this)
            Center = Application->MainForm();
        if (FPosition == poOwnerFormCenter)
            Center = DynCast<TCustomForm>(Owner());
        if (Center && Center->HandleAllocated())
            Area = Center->BoundsRect();
        X = Area.Left + (Area.Width() - FWidth) / 2;
        Y = Area.Top + (Area.Height() - FHeight) / 2;
        break;
    }
    case poDesktopCenter:
        X = GetSystemMetrics(SM_XVIRTUALSCREEN) + (GetSystemMetrics(SM_CXVIRTUALSCREEN) - FWidth) / 2;
        Y = GetSystemMetrics(SM_YVIRTUALSCREEN) + (GetSystemMetrics(SM_CYVIRTUALSCREEN) - FHeight) / 2;
        break;
    case poDefault:
    case poDefaultPosOnly:
    case poDefaultSizeOnly: {
        // The system's default placement: cascaded from the top left of the work area.
        static int Cascade = 0;
        RECT Work;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &Work, 0);
        if (FPosition != poDefaultSizeOnly) {
            int Step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
            X = Work.left + Cascade * Step;
            Y = Work.top + Cascade * Step;
            Cascade = (Cascade + 1) % 8;
        }
        break;
    }
    case poDesigned: return;
    }
    // Never off the screen's top left.
    X = std::max(X, static_cast<int>(GetSystemMetrics(SM_XVIRTUALSCREEN)));
    Y = std::max(Y, static_cast<int>(GetSystemMetrics(SM_YVIRTUALSCREEN)));
    SetBounds(X, Y, FWidth, FHeight);
}

void TCustomForm::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ACTIVATE:
        if (LOWORD(Message.WParam) != WA_INACTIVE && Screen)
            Screen->SetActiveForm(this);
        break;
    case WM_MDIACTIVATE:
        // An MDI child's menu shows on the MDI form's bar while the child is the active one.
        if (FFormStyle == fsMDIChild && FMenu)
            if (TCustomForm* Frame = FindMDIForm(); Frame && Frame->Menu()) {
                if (reinterpret_cast<HWND>(Message.LParam) == FHandle)
                    Frame->Menu()->Merge(FMenu);
                else if (Frame->Menu()->Merged() == FMenu)
                    Frame->Menu()->Merge(nullptr);
            }
        break;
    case WM_SETFOCUS:
        // The form's own window took the focus: pass it on to its active control.
        if (FActiveControl && FActiveControl != this && FActiveControl->HandleAllocated() &&
            FActiveControl->CanFocus()) {
            ::SetFocus(FActiveControl->Handle());
            return;
        }
        break;
    }
    TWinControl::WndProc(Message);
}

void TCustomForm::SetVisible(bool Value) {
    // Visible read from the form file (or set by OnCreate) shows the form once its creation is complete.
    if (FFormState.Contains(fsCreating)) {
        if (Value)
            FFormState.Include(fsVisible);
        else
            FFormState.Exclude(fsVisible);
        return;
    }
    TWinControl::SetVisible(Value);
}

void TCustomForm::CMShowingChanged(TMessage&) {
    if (FShowing) {
        FFormState.Include(fsShowing);
        try {
            DoShow();
        } catch (...) {
            FFormState.Exclude(fsShowing);
            throw;
        }
        FFormState.Exclude(fsShowing);
        if (!FPositionApplied)
            ApplyPosition();
        int Cmd = FWindowState == wsMinimized ? SW_SHOWMINIMIZED
                  : FWindowState == wsMaximized ? SW_SHOWMAXIMIZED
                                                : SW_SHOWNORMAL;
        // The application's window is the taskbar button: it comes up with the main form.
        if (Application && Application->MainForm() == this && !IsWindowVisible(Application->Handle()))
            ShowWindow(Application->Handle(), SW_SHOWNOACTIVATE);
        ShowWindow(FHandle, Cmd);
        if (FFormStyle == fsStayOnTop)
            SetWindowPos(FHandle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (!FActiveControl)
            SelectFirst();
        else if (FActiveControl->CanFocus())
            ::SetFocus(FActiveControl->Handle());
    } else {
        try {
            DoHide();
        } catch (...) {
            ShowWindow(FHandle, SW_HIDE);
            throw;
        }
        ShowWindow(FHandle, SW_HIDE);
    }
}

void TCustomForm::Show() {
    SetVisible(true);
    if (FHandle && FShowing)
        SetWindowToTop();
}

void TCustomForm::SetWindowToTop() {
    if (IsIconic(FHandle) && FWindowState != wsMinimized)
        ShowWindow(FHandle, SW_RESTORE);
    SetWindowPos(FHandle, FFormStyle == fsStayOnTop ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
}

void TCustomForm::Hide() { SetVisible(false); }

bool TCustomForm::CloseQuery() {
    bool CanClose = true;
    OnCloseQuery(this, CanClose);
    return CanClose;
}

void TCustomForm::Close() {
    if (FFormState.Contains(fsModal)) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction Action = caHide;
    DoClose(Action);
    if (Action == caNone)
        return;
    if (Application && Application->MainForm() == this)
        Application->Terminate();
    else if (Action == caHide)
        Hide();
    else if (Action == caMinimize)
        SetWindowState(wsMinimized);
    else
        Release();
}

void TCustomForm::Release() {
    if (FHandle)
        PostMessageA(FHandle, CM_RELEASE, 0, 0);
    else if (Application && Application->Handle())
        // Without a window the application's window carries the request.
        PostMessageA(Application->Handle(), CM_RELEASE, 0, reinterpret_cast<LPARAM>(this));
}

void TCustomForm::CMRelease(TMessage&) { Free(); }

int TCustomForm::ShowModal() {
    if (FVisible || !FEnabled || FFormState.Contains(fsModal) || FFormStyle == fsMDIChild)
        throw EInvalidOperation(FormsConsts::SCannotShowModal);
    if (GetCapture())
        SendMessageA(GetCapture(), WM_CANCELMODE, 0, 0);
    ReleaseCapture();
    if (Application)
        Application->ModalStarted();
    FFormState.Include(fsModal);
    HWND ActiveWindow = GetActiveWindow();
    std::vector<HWND> Disabled = DisableTaskWindows(nullptr);
    auto Finish = [&] {
        Hide();
        EnableTaskWindows(Disabled);
        if (ActiveWindow && IsWindow(ActiveWindow))
            SetActiveWindow(ActiveWindow);
        FFormState.Exclude(fsModal);
        if (Application)
            Application->ModalFinished();
    };
    int Result;
    try {
        Show();
        SendMessageA(Handle(), CM_ACTIVATE, 0, 0);
        FModalResult = mrNone;
        do {
            Application->HandleMessage();
            if (Application->Terminated())
                FModalResult = mrCancel;
            else if (FModalResult != mrNone)
                CloseModal();
        } while (FModalResult == mrNone);
        Result = FModalResult;
        SendMessageA(Handle(), CM_DEACTIVATE, 0, 0);
    } catch (...) {
        Finish();
        throw;
    }
    Finish();
    return Result;
}

void TCustomForm::CloseModal() {
    try {
        TCloseAction Action = caNone;
        if (CloseQuery()) {
            Action = caHide;
            DoClose(Action);
        }
        if (Action == caNone)
            FModalResult = mrNone;
        else if (Action == caFree)
            Release();
    } catch (...) {
        FModalResult = mrNone;
        Application->HandleException(this);
    }
}

// Focus

void TCustomForm::SetActiveControl(TWinControl* Control) {
    if (FActiveControl == Control)
        return;
    if (Control && !FComponentState.Contains(csLoading) &&
        (Control == this || ::GetParentForm(Control) != this || !Control->CanFocus()))
        throw EInvalidOperation(FormsConsts::SCannotFocus);
    FActiveControl = Control;
    if (Control)
        Control->FreeNotification(this);
    if (FComponentState.Contains(csLoading) || !FActive || !FHandle)
        return;
    // Without an active control the form's own window keeps the focus.
    ::SetFocus(Control ? Control->Handle() : FHandle);
}

void TCustomForm::FocusControl(TWinControl* Control) {
    bool WasActive = FActive;
    SetActiveControl(Control);
    if (!WasActive)
        SetFocus();
}

void TCustomForm::SetFocus() {
    if (!FVisible || !FEnabled)
        throw EInvalidOperation(FormsConsts::SCannotFocus);
    if (FHandle) {
        SetWindowToTop();
        SetForegroundWindow(FHandle);
        HWND Target = FActiveControl && FActiveControl->HandleAllocated() ? FActiveControl->Handle() : FHandle;
        ::SetFocus(Target);
    }
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
    if (FComponentState.Contains(csDestroying))
        return false;
    if (Control == FFocusedControl) {
        FActiveControl = Control == this ? FActiveControl : Control;
        return true;
    }
    TWinControl* Old = FFocusedControl;
    if (Control != this)
        FActiveControl = Control;
    FFocusedControl = Control;
    if (Control)
        Control->FreeNotification(this);
    if (Screen)
        Screen->SetActiveControl(Control);
    // The control losing the focus ends its mouse mode; LParam names the one getting it.
    if (Old)
        Old->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Control));
    // CM_EXIT up the old chain and CM_ENTER down the new one, except where they share ancestors.
    if (Old)
        for (TWinControl* C = Old; C && C != this && !C->ContainsControl(Control); C = C->Parent()) {
            C->Perform(CM_EXIT, 0, 0);
            if (FFocusedControl != Control)
                return false;  // a handler moved the focus on
        }
    std::vector<TWinControl*> Enter;
    for (TWinControl* C = Control; C && C != this && !(Old && C->ContainsControl(Old)); C = C->Parent())
        Enter.push_back(C);
    for (auto It = Enter.rbegin(); It != Enter.rend(); ++It) {
        (*It)->Perform(CM_ENTER, 0, 0);
        if (FFocusedControl != Control)
            return false;
    }
    TMessage Changed{CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control), 0};
    Broadcast(Changed);
    return true;
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
    if (Removing && FFocusedControl && Control->ContainsControl(FFocusedControl))
        FFocusedControl = Control->Parent();
    if (FActiveControl && Control->ContainsControl(FActiveControl))
        SetActiveControl(nullptr);
}

void TCustomForm::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    if (TWinControl* C = FindNextControl(CurControl, GoForward, CheckTabStop, false))
        C->SetFocus();
}

// Messages

void TCustomForm::WMClose(TMessage&) { Close(); }

void TCustomForm::WMActivate(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    bool Now = LOWORD(Message.WParam) != WA_INACTIVE;
    if (Now == FActive)
        return;
    FActive = Now;
    if (Now) {
        FFormState.Include(fsActivated);
        Activate();
    } else {
        Deactivate();
    }
}

void TCustomForm::CMActivate(TMessage&) {
    if (!FActive) {
        FActive = true;
        Activate();
    }
}

void TCustomForm::CMDeactivate(TMessage&) {
    if (FActive) {
        FActive = false;
        Deactivate();
    }
}

void TCustomForm::WMSysCommand(TMessage& Message) {
    // Minimising the main form minimises the application (its window carries the taskbar button).
    if ((Message.WParam & 0xFFF0) == SC_MINIMIZE && Application && Application->MainForm() == this) {
        Application->Minimize();
        Message.Result = 0;
        return;
    }
    InheritedDispatch(StaticClass(), Message);
}

void TCustomForm::WMGetMinMaxInfo(TMessage& Message) {
    auto* Info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
    TSizeConstraints* C = Constraints();
    if (C->MinWidth() > 0)
        Info->ptMinTrackSize.x = C->MinWidth();
    if (C->MinHeight() > 0)
        Info->ptMinTrackSize.y = C->MinHeight();
    if (C->MaxWidth() > 0)
        Info->ptMaxTrackSize.x = C->MaxWidth();
    if (C->MaxHeight() > 0)
        Info->ptMaxTrackSize.y = C->MaxHeight();
    InheritedDispatch(StaticClass(), Message);
}

void TCustomForm::WMSize(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (Message.WParam == SIZE_MINIMIZED)
        FWindowState = wsMinimized;
    else if (Message.WParam == SIZE_MAXIMIZED)
        FWindowState = wsMaximized;
    else if (Message.WParam == SIZE_RESTORED)
        FWindowState = wsNormal;
    if (Message.WParam != SIZE_MINIMIZED) {
        Realign();
        Resize();
    }
}

void TCustomForm::WMQueryEndSession(TMessage& Message) { Message.Result = CloseQuery() ? 1 : 0; }

void TCustomForm::CMDialogKey(TMessage& Message) {
    switch (Message.WParam) {
    case VK_TAB:
        if (GetKeyState(VK_CONTROL) >= 0) {
            SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
            Message.Result = 1;
            return;
        }
        break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        if (FActiveControl) {
            bool Forward = Message.WParam == VK_RIGHT || Message.WParam == VK_DOWN;
            if (TWinControl* P = FActiveControl->Parent())
                if (TWinControl* Next = P->FindNextControl(FActiveControl, Forward, false, true)) {
                    Next->SetFocus();
                    Message.Result = 1;
                    return;
                }
        }
        break;
    }
    InheritedDispatch(StaticClass(), Message);
}

// ---------------------------------------------------------------------------------------------
// TDataModule

TDataModule::TNewScope::TNewScope() { NextModuleIsNew = true; }
TDataModule::TNewScope::~TNewScope() { NextModuleIsNew = false; }

TDataModule::TDataModule(TComponent* AOwner) : TComponent(AOwner) {
    FCreatedNew = NextModuleIsNew;
    NextModuleIsNew = false;
    FReference = TakePendingReference(this);
    if (Screen)
        Screen->AddDataModule(this);
    RegisterGlobalRoot(this);
}

TDataModule::~TDataModule() = default;

void TDataModule::DefineClass(TClassBuilder<TDataModule>& B) {
    B.Property("OnCreate", &TDataModule::OnCreate, &TDataModule::OnCreate);
    B.Property("OnDestroy", &TDataModule::OnDestroy, &TDataModule::OnDestroy);
}

void TDataModule::AfterConstruction() {
    try {
        TComponent::AfterConstruction();
        if (!FCreatedNew)
            ReadFormResource(this, TDataModule::StaticClass(), ClassType() != TDataModule::StaticClass());
        OnCreate(this);
    } catch (...) {
        ClearReference(FReference, this);
        FReference = nullptr;
        Free();
        throw;
    }
}

void TDataModule::BeforeDestruction() {
    Destroying();
    try {
        OnDestroy(this);
    } catch (...) {
        if (Application)
            Application->HandleException(this);
    }
    if (Screen)
        Screen->RemoveDataModule(this);
    ClearReference(FReference, this);
    FReference = nullptr;
    UnRegisterGlobalRoot(this);
    TComponent::BeforeDestruction();
}

void TDataModule::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    TComponent::GetChildren(Proc, Root);
}

// ---------------------------------------------------------------------------------------------
// TScreen

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {
    FPixelsPerInch = GetDeviceCaps(TextMeasureDC(), LOGPIXELSY);
}

TScreen::~TScreen() = default;

namespace {
std::vector<TCustomForm*> MDIChildForms(const TCustomForm* Form) {
    std::vector<TCustomForm*> List;
    if (Form->FormStyle() != fsMDIForm || !Screen)
        return List;
    for (int I = 0; I < Screen->FormCount(); ++I)
        if (Screen->Forms(I)->FormStyle() == fsMDIChild)
            List.push_back(Screen->Forms(I));
    return List;
}
}  // namespace

int TCustomForm::MDIChildCount() const { return static_cast<int>(MDIChildForms(this).size()); }

TCustomForm* TCustomForm::MDIChildren(int Index) const {
    std::vector<TCustomForm*> List = MDIChildForms(this);
    if (Index < 0 || Index >= static_cast<int>(List.size()))
        RaiseListIndexError(Index);
    return List[static_cast<std::size_t>(Index)];
}

TCustomForm* TScreen::Forms(int Index) const {
    if (Index < 0 || Index >= FormCount())
        RaiseListIndexError(Index);
    return FForms[Index];
}

TDataModule* TScreen::DataModules(int Index) const {
    if (Index < 0 || Index >= DataModuleCount())
        RaiseListIndexError(Index);
    return FDataModules[Index];
}

void TScreen::AddForm(TCustomForm* Form) { FForms.push_back(Form); }

void TScreen::RemoveForm(TCustomForm* Form) {
    FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
    if (FActiveForm == Form)
        SetActiveForm(nullptr);
    if (FActiveControl && GetParentForm(FActiveControl) == Form)
        SetActiveControl(nullptr);
}

void TScreen::AddDataModule(TDataModule* Module) { FDataModules.push_back(Module); }

void TScreen::RemoveDataModule(TDataModule* Module) {
    FDataModules.erase(std::remove(FDataModules.begin(), FDataModules.end(), Module), FDataModules.end());
}

void TScreen::SetActiveForm(TCustomForm* Form) {
    if (FActiveForm == Form)
        return;
    FActiveForm = Form;
    if (Form && Form->FActiveControl)
        SetActiveControl(Form->FActiveControl);
    OnActiveFormChange(this);
}

void TScreen::SetActiveControl(TWinControl* Control) {
    if (FActiveControl == Control)
        return;
    // The control may be freed while it is the active one: the screen hears of it.
    if (FActiveControl)
        FActiveControl->RemoveFreeNotification(this);
    FActiveControl = Control;
    if (Control)
        Control->FreeNotification(this);
    OnActiveControlChange(this);
}

void TScreen::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FActiveControl)
        FActiveControl = nullptr;
}

HCURSOR TScreen::StockCursor(int Index) const {
    LPCSTR Id = nullptr;
    switch (Index) {
    case crDefault:
    case crArrow: Id = IDC_ARROW; break;
    case crCross: Id = IDC_CROSS; break;
    case crIBeam: Id = IDC_IBEAM; break;
    case crSizeNESW: Id = IDC_SIZENESW; break;
    case crSizeNS:
    case crVSplit: Id = IDC_SIZENS; break;
    case crSizeNWSE: Id = IDC_SIZENWSE; break;
    case crSizeWE:
    case crHSplit: Id = IDC_SIZEWE; break;
    case crUpArrow: Id = IDC_UPARROW; break;
    case crHourGlass:
    case crSQLWait: Id = IDC_WAIT; break;
    case crDrag:
    case crMultiDrag:
    case crNoDrop:
    case crNo: Id = IDC_NO; break;
    case crAppStart: Id = IDC_APPSTARTING; break;
    case crHelp: Id = IDC_HELP; break;
    case crHandPoint: Id = IDC_HAND; break;
    case crSizeAll: Id = IDC_SIZEALL; break;
    default: return nullptr;
    }
    return SystemCursor(Id);
}

HCURSOR TScreen::Cursors(int Index) const {
    for (const auto& [Id, Handle] : FCursors)
        if (Id == Index)
            return Handle;
    if (Index == crNone)
        return nullptr;
    if (HCURSOR Stock = StockCursor(Index))
        return Stock;
    return StockCursor(crDefault);
}

void TScreen::SetCursors(int Index, HCURSOR Handle) {
    auto It = std::find_if(FCursors.begin(), FCursors.end(), [Index](const auto& E) { return E.first == Index; });
    if (It != FCursors.end()) {
        // The slot's earlier cursor was loaded by its owner for this slot: the screen frees it.
        if (It->second && It->second != Handle && !StockCursor(Index))
            DestroyCursor(It->second);
        FCursors.erase(It);
    }
    if (Handle)
        FCursors.emplace_back(Index, Handle);
}

void TScreen::SetCursor(TCursor Value) {
    if (FCursor == Value)
        return;
    FCursor = Value;
    if (Value == crDefault) {
        // Let the window under the mouse choose again.
        POINT P;
        GetCursorPos(&P);
        HWND Wnd = WindowFromPoint(P);
        if (Wnd)
            SendMessageA(Wnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(Wnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    } else {
        ::SetCursor(Cursors(Value));
    }
}

TRect TScreen::WorkAreaRect() const {
    RECT R{0, 0, Width(), Height()};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &R, 0);
    return TRect::From(R);
}

// ---------------------------------------------------------------------------------------------
// TApplication

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
    char Path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    std::string Name = ExtractFileName(Path);
    FTitle = ChangeFileExt(Name, "");
    CreateHandle();
}

TApplication::~TApplication() { DestroyHandle(); }

void TApplication::BeforeDestruction() {
    Destroying();
    if (FMouseControl)
        FMouseControl->RemoveFreeNotification(this);
    FMouseControl = nullptr;
    TComponent::BeforeDestruction();
    DestroyHandle();
}

void TApplication::CreateHandle() {
    if (FHandle)
        return;
    HINSTANCE Inst = GetModuleHandleA(nullptr);
    WNDCLASSA Existing{};
    const char* Cls = "TApplication";
    if (!GetClassInfoA(Inst, Cls, &Existing)) {
        WNDCLASSA C{};
        C.lpfnWndProc = DefWindowProcA;
        C.hInstance = Inst;
        C.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
        C.hCursor = SystemCursor(IDC_ARROW);
        C.lpszClassName = Cls;
        if (!RegisterClassA(&C))
            RaiseLastOSError();
    }
    // A zero-sized window at the screen's centre: it carries the taskbar button and owns the forms.
    SetLastError(0);
    FHandle = CreateWindowExA(0, Cls, FTitle.c_str(), WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                              GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                              nullptr, Inst, nullptr);
    if (!FHandle)
        RaiseLastOSError();
    FObjectInstance = MakeObjectInstance(TWndMethod::Bind<&TApplication::WndProc>(this));
    SetWindowLongPtrA(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FObjectInstance));
    FHandleCreated = true;
}

void TApplication::DestroyHandle() {
    if (FHandle) {
        HWND Wnd = FHandle;
        FHandle = nullptr;
        DestroyWindow(Wnd);
    }
    FreeObjectInstance(FObjectInstance);
    FObjectInstance = nullptr;
}

void TApplication::Initialize() {}

void TApplication::SetTitle(const std::string& Value) {
    FTitle = Value;
    if (FHandle)
        SetWindowTextA(FHandle, Value.c_str());
}

std::string TApplication::ExeName() const {
    char Path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    return Path;
}

void TApplication::CreateForm(TComponentClass InstanceClass, TComponent** Reference) {
    PendingReference = Reference;
    TComponent* Instance;
    try {
        Instance = InstanceClass.Create(this);
    } catch (...) {
        PendingReference = nullptr;
        if (Reference)
            *Reference = nullptr;
        throw;
    }
    PendingReference = nullptr;
    if (Reference && !*Reference)
        *Reference = Instance;
    if (!FMainForm)
        if (auto* Form = DynCast<TCustomForm>(Instance)) {
            Form->HandleNeeded();
            FMainForm = Form;
        }
}

void TApplication::Run() {
    if (FMainForm && ShowMainForm) {
        if (FMainForm->WindowState() == wsMinimized)
            Minimize();
        else
            FMainForm->SetVisible(true);
    }
    do {
        try {
            HandleMessage();
        } catch (...) {
            HandleException(this);
        }
    } while (!FTerminated);
}

void TApplication::Terminate() { PostQuitMessage(0); }

bool TApplication::ProcessMessage(MSG& Msg) {
    if (!PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (Msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    bool Handled = false;
    OnMessage(Msg, Handled);
    if (Handled)
        return true;
    if (Msg.message == WM_MOUSEMOVE)
        DoMouseIdle();
    if (IsKeyMsg(Msg))
        return true;
    TranslateMessage(&Msg);
    DispatchMessageA(&Msg);
    return true;
}

bool TApplication::IsKeyMsg(MSG& Msg) {
    if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST)
        return false;
    if (Msg.message != WM_KEYDOWN && Msg.message != WM_SYSKEYDOWN && Msg.message != WM_CHAR &&
        Msg.message != WM_SYSCHAR && Msg.message != WM_KEYUP && Msg.message != WM_SYSKEYUP)
        return false;
    HWND Wnd = GetCapture();
    if (!Wnd)
        Wnd = Msg.hwnd;
    // A foreign child window (an edit inside a combo box) speaks for the framework control around it.
    while (Wnd && !IsFrameworkWindow(Wnd))
        Wnd = GetParent(Wnd);
    if (!Wnd)
        return false;
    return SendMessageA(Wnd, CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

void TApplication::HandleMessage() {
    MSG Msg;
    if (!ProcessMessage(Msg))
        Idle(Msg);
}

void TApplication::ProcessMessages() {
    MSG Msg;
    while (ProcessMessage(Msg)) {
    }
}

void TApplication::Idle(const MSG&) {
    DoMouseIdle();
    bool Done = true;
    try {
        OnIdle(this, Done);
        // Calls that worker threads handed to this thread run here.
        if (CheckSynchronize())
            Done = false;
    } catch (...) {
        HandleException(this);
    }
    if (Done)
        WaitMessage();
}

void TApplication::DoMouseIdle() {
    POINT P;
    if (!GetCursorPos(&P))
        return;
    TControl* Target = FindDragTarget(TPoint{P.x, P.y}, true);
    if (Target == FMouseControl)
        return;
    // The control that holds the capture keeps the mouse until it lets go.
    TControl* Capture = GetCaptureControl();
    if (Capture && Capture == FMouseControl)
        return;
    TControl* Old = FMouseControl;
    if (Old)
        Old->RemoveFreeNotification(this);
    FMouseControl = Target;
    if (Target)
        Target->FreeNotification(this);
    if (Old)
        Old->Perform(CM_MOUSELEAVE, 0, 0);
    // The leave handler may have freed the new control (Notification then cleared it).
    if (FMouseControl && FMouseControl == Target)
        Target->Perform(CM_MOUSEENTER, 0, 0);
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        if (AComponent == FMouseControl)
            FMouseControl = nullptr;
        if (AComponent == FMainForm)
            FMainForm = nullptr;
    }
}

void TApplication::HandleException(TObject* Sender) {
    std::exception_ptr Current = std::current_exception();
    if (!Current)
        return;
    if (GetCapture())
        SendMessageA(GetCapture(), WM_CANCELMODE, 0, 0);
    auto Deliver = [&](Exception& E) {
        if (OnException)
            OnException(Sender, E);
        else
            ShowException(E);
    };
    try {
        std::rethrow_exception(Current);
    } catch (EAbort&) {
    } catch (Exception& E) {
        Deliver(E);
    } catch (std::exception& Std) {
        Exception E(Std.what());
        Deliver(E);
    } catch (...) {
        Exception E("Unknown exception");
        Deliver(E);
    }
}

void TApplication::ShowException(const Exception& E) {
    std::string Msg = E.Message();
    if (!Msg.empty() && static_cast<unsigned char>(Msg.back()) > '.')
        Msg += '.';
    MessageBox(Msg, FTitle, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, UINT Flags) {
    HWND Owner = GetActiveWindow();
    if (!Owner)
        Owner = FHandle;
    return MessagePresenter().MessageBox(Owner, Text, Caption, Flags);
}

void TApplication::Minimize() {
    if (!IsIconic(FHandle)) {
        NormalizeTopMosts();
        SetActiveWindow(FHandle);
        ShowWindow(FHandle, SW_MINIMIZE);
        OnMinimize(this);
    }
}

void TApplication::Restore() {
    if (IsIconic(FHandle)) {
        SetActiveWindow(FHandle);
        ShowWindow(FHandle, SW_RESTORE);
        RestoreTopMosts();
        if (Screen && Screen->ActiveControl() && Screen->ActiveControl()->HandleAllocated())
            ::SetFocus(Screen->ActiveControl()->Handle());
        OnRestore(this);
    }
}

void TApplication::BringToFront() {
    HWND Wnd = FMainForm && FMainForm->HandleAllocated() ? FMainForm->Handle() : FHandle;
    HWND Last = GetLastActivePopup(Wnd);
    if (Last && IsWindowVisible(Last) && IsWindowEnabled(Last))
        SetForegroundWindow(Last);
}

void TApplication::HookMainWindow(const TWindowHook& Hook) {
    if (std::find(FWindowHooks.begin(), FWindowHooks.end(), Hook) == FWindowHooks.end())
        FWindowHooks.push_back(Hook);
}

void TApplication::UnhookMainWindow(const TWindowHook& Hook) {
    auto It = std::find(FWindowHooks.begin(), FWindowHooks.end(), Hook);
    if (It != FWindowHooks.end())
        FWindowHooks.erase(It);
}

namespace {
struct TTopMostSearch {
    HWND Owner;
    std::vector<HWND>* List;
};
BOOL CALLBACK CollectTopMost(HWND Wnd, LPARAM Data) {
    auto* S = reinterpret_cast<TTopMostSearch*>(Data);
    if (Wnd != S->Owner && IsWindowVisible(Wnd) && GetWindow(Wnd, GW_OWNER) == S->Owner &&
        (GetWindowLongPtrA(Wnd, GWL_EXSTYLE) & WS_EX_TOPMOST))
        S->List->push_back(Wnd);
    return TRUE;
}
}  // namespace

void TApplication::NormalizeTopMosts() {
    // Our stay-on-top windows step back while a system box or another program is in front.
    if (FTopMostLevel++ > 0 || !FHandle)
        return;
    FTopMostList.clear();
    TTopMostSearch S{FHandle, &FTopMostList};
    EnumWindows(CollectTopMost, reinterpret_cast<LPARAM>(&S));
    for (HWND W : FTopMostList)
        SetWindowPos(W, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TApplication::RestoreTopMosts() {
    if (FTopMostLevel == 0 || --FTopMostLevel > 0)
        return;
    for (auto It = FTopMostList.rbegin(); It != FTopMostList.rend(); ++It)
        if (IsWindow(*It))
            SetWindowPos(*It, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    FTopMostList.clear();
}

void TApplication::UpdateFormatSettings() { GetFormatSettings(); }

void TApplication::WakeMainThread(TObject*) {
    if (FHandle)
        PostMessageA(FHandle, WM_NULL, 0, 0);
}

void TApplication::SetHint(const std::string& Value) {
    if (FHint == Value)
        return;
    FHint = Value;
    OnHint(this);
}

void TApplication::WndProc(TMessage& Message) {
    try {
        Message.Result = 0;
        // Hooks see the messages first, newest last as they were added; one may claim a message.
        for (std::size_t I = 0; I < FWindowHooks.size(); ++I) {
            bool Handled = false;
            TWindowHook Hook = FWindowHooks[I];
            Hook(Message, Handled);
            if (Handled)
                return;
        }
        auto Default = [&] { Message.Result = DefWindowProcA(FHandle, Message.Msg, Message.WParam, Message.LParam); };
        switch (Message.Msg) {
        case WM_SYSCOMMAND:
            switch (Message.WParam & 0xFFF0) {
            case SC_MINIMIZE: Minimize(); break;
            case SC_RESTORE: Restore(); break;
            default: Default();
            }
            break;
        case WM_CLOSE:
            if (FMainForm)
                FMainForm->Close();
            break;
        case WM_ACTIVATEAPP:
            Default();
            FActive = Message.WParam != 0;
            if (FActive) {
                RestoreTopMosts();
                OnActivate(this);
            } else {
                NormalizeTopMosts();
                OnDeactivate(this);
            }
            break;
        case WM_QUERYENDSESSION:
            Message.Result = !FMainForm || FMainForm->CloseQuery() ? 1 : 0;
            break;
        case WM_ENDSESSION:
            if (Message.WParam)
                FTerminated = true;
            break;
        case WM_WININICHANGE:
            Default();
            UpdateFormatSettings();
            if (Screen)
                for (int I = 0; I < Screen->FormCount(); ++I)
                    Screen->Forms(I)->Perform(CM_WININICHANGE, Message.WParam, Message.LParam);
            break;
        case WM_SYSCOLORCHANGE:
            Default();
            if (Screen)
                for (int I = 0; I < Screen->FormCount(); ++I)
                    Screen->Forms(I)->Perform(CM_SYSCOLORCHANGE, 0, 0);
            break;
        case WM_NULL:
            // The wake-up of a worker that handed a call to this thread.
            CheckSynchronize();
            break;
        case CM_RELEASE:
            // A form without a window asked to be freed.
            if (auto* Form = reinterpret_cast<TCustomForm*>(Message.LParam))
                if (Screen && std::find(Screen->FForms.begin(), Screen->FForms.end(), Form) != Screen->FForms.end())
                    Form->Free();
            break;
        default: Default();
        }
    } catch (...) {
        HandleException(this);
    }
}

// ---------------------------------------------------------------------------------------------
// Start-up and shut-down

namespace {
void HandleWindowException(TObject* Sender) {
    if (Application)
        Application->HandleException(Sender);
}
}  // namespace

void InitControls() {
    if (Application)
        return;
    Mouse = new TMouse();
    Screen = Create<TScreen>(nullptr);
    Application = Create<TApplication>(nullptr);
    WndExceptionHandler = HandleWindowException;
    SetWakeMainThread(TNotifyEvent::Bind<&TApplication::WakeMainThread>(Application));
    // The classes form files name.
    RegisterClasses({TForm::StaticClass(), TButton::StaticClass(), TTimer::StaticClass(), TScrollBox::StaticClass(),
                     TFrame::StaticClass()});
}

void DoneControls() {
    if (!Application)
        return;
    SetWakeMainThread(nullptr);
    // Forms and data modules go first, the last made first, while the application still stands.
    while (Application->ComponentCount() > 0)
        Application->Components(Application->ComponentCount() - 1)->Free();
    while (Screen->FormCount() > 0)
        Screen->Forms(Screen->FormCount() - 1)->Free();
    while (Screen->DataModuleCount() > 0)
        Screen->DataModules(Screen->DataModuleCount() - 1)->Free();
    WndExceptionHandler = nullptr;
    FreeAndNil(Application);
    FreeAndNil(Screen);
    delete Mouse;
    Mouse = nullptr;
}
