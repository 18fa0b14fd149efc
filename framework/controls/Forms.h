// The Forms unit: forms and data modules read from their form resources, the application object
// with its hidden window and message loop, and the screen.
//
// A form class with a form file (forms/TfrmFoo.dfm compiled in as the RCDATA resource "TFRMFOO"):
//
//   class TfrmFoo : public TForm {
//       DECLARE_CLASS(TfrmFoo, TForm)
//   public:
//       using TForm::TForm;
//       static void DefineClass(TClassBuilder<TfrmFoo>& B) {
//           B.Field("btnOk", &TfrmFoo::btnOk);                        // filled when "btnOk" is read
//           B.Method<&TfrmFoo::btnOkClick>("btnOkClick");             // OnClick = btnOkClick in the file
//       }
//       TButton* btnOk = nullptr;
//       void btnOkClick(TObject* Sender);
//   };
//   RegisterClass(TfrmFoo::StaticClass());   // when other resources name it
//
//   auto* F = Create<TfrmFoo>(Owner);          // reads the resource, then OnCreate
//   Application->CreateForm(frmFoo);           // the same, the first such form becomes MainForm
//   auto* E = TForm::CreateNew(Owner);         // an empty form, no resource
//
// Start-up: InitControls() (after the rtl and graphics units) makes Application, Screen and Mouse and
// has the Threads unit wake the application's loop for Synchronize;
// the program then calls Application->Initialize(), sets Title, CreateForm ..., Run(). DoneControls()
// frees the forms and data modules (last created first) and then the objects.
#pragma once

#include "Controls.h"

#include <functional>
#include <string>
#include <vector>

class TCustomForm;
class TDataModule;
class TMainMenu;
class TApplication;
class TScreen;

DECLARE_ENUM(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)
DECLARE_ENUM(TBorderIcon, biSystemMenu, biMinimize, biMaximize, biHelp)
DECLARE_SET(TBorderIcons, TBorderIcon)
DECLARE_ENUM(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
             poMainFormCenter, poOwnerFormCenter)
DECLARE_ENUM(TFormStyle, fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop)
DECLARE_ENUM(TWindowState, wsNormal, wsMinimized, wsMaximized)
DECLARE_ENUM(TCloseAction, caNone, caHide, caFree, caMinimize)
DECLARE_ENUM(TFormStateItem, fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated)
DECLARE_SET(TFormState, TFormStateItem)

using TModalResult = int;
inline constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                              mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO, mrAll = mrNo + 1,
                              mrNoToAll = mrAll + 1, mrYesToAll = mrNoToAll + 1;

using TCloseEvent = TMethodOf<TObject*, TCloseAction&>;
using TCloseQueryEvent = TMethodOf<TObject*, bool&>;
using TExceptionEvent = TMethodOf<TObject*, Exception&>;
using TMessageEvent = TMethodOf<MSG&, bool&>;
using TIdleEvent = TMethodOf<TObject*, bool&>;  // the same type as TCloseQueryEvent
// A hook on the application's window: sees its messages first; setting Handled claims the message.
using TWindowHook = TMethodOf<TMessage&, bool&>;
DECLARE_EVENT_NAME(TCloseEvent)
DECLARE_EVENT_NAME(TCloseQueryEvent)
DECLARE_EVENT_NAME(TExceptionEvent)
DECLARE_EVENT_NAME(TMessageEvent)
DECLARE_EVENT_NAME(TWindowHook)

namespace FormsConsts {
inline constexpr const char* SCannotShowModal = "Cannot make a visible window modal";
inline constexpr const char* SCannotFocus = "Cannot focus a disabled or invisible window";
inline constexpr const char* SParentRequired = "Control '%s' has no parent window";
inline constexpr const char* SControlParentSetToSelf = "A control cannot have itself as its parent";
inline constexpr const char* SResNotFound = "Resource %s not found";
inline constexpr const char* SNoMDIForm = "Cannot create form. No MDI forms are currently active";
}  // namespace FormsConsts


// ---------------------------------------------------------------------------------------------
// Scrolling containers

// A windowed control whose content may be larger than its window: forms and scroll boxes. AutoScroll
// is kept and streamed for the units that read it; the framework's windows are laid out to fit and
// show no scroll bars of their own for it.
class TScrollingWinControl : public TWinControl {
    DECLARE_CLASS(TScrollingWinControl, TWinControl)
public:
    explicit TScrollingWinControl(TComponent* AOwner) : TWinControl(AOwner) {}
    static void DefineClass(TClassBuilder<TScrollingWinControl>& B);
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool Value) { FAutoScroll = Value; }

private:
    bool FAutoScroll = true;
};

// A bordered container for other controls.
class TScrollBox : public TScrollingWinControl {
    DECLARE_CLASS(TScrollBox, TScrollingWinControl)
public:
    explicit TScrollBox(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TScrollBox>& B);
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    // bsNone or bsSingle (any other style counts as bsSingle).
    void SetBorderStyle(TFormBorderStyle Value);

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    TFormBorderStyle FBorderStyle = bsSingle;
};

// ---------------------------------------------------------------------------------------------
// Forms

// A frame: a borderless container for a designed group of controls, placed on a form like any
// control. Form files name it "TFrame" and nest its controls inside it.
class TCustomFrame : public TScrollingWinControl {
    DECLARE_CLASS(TCustomFrame, TScrollingWinControl)
public:
    explicit TCustomFrame(TComponent* AOwner);
};

class TFrame : public TCustomFrame {
    DECLARE_CLASS(TFrame, TCustomFrame)
public:
    using TCustomFrame::TCustomFrame;
};

class TCustomForm : public TScrollingWinControl {
    DECLARE_CLASS(TCustomForm, TScrollingWinControl)
public:
    // Reads the form resource of the class when construction completes (AfterConstruction).
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TCustomForm>& B);

    void Show();
    void Hide();
    void SetVisible(bool Value) override;
    void Close();
    bool CloseQuery();
    // Frees the form once the messages queued now have been handled (safe from its own handlers).
    void Release();
    virtual int ShowModal();
    void SetFocus() override;
    bool SetFocusedControl(TWinControl* Control);
    void DefocusControl(TWinControl* Control, bool Removing);
    void FocusControl(TWinControl* Control);
    // Moves the focus to the next (or previous) tab stop after CurControl.
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    // Whether the form's main menu takes a key as a short cut (and clicked its item).
    virtual bool IsShortCut(TWMKey& Message);
    // The menu bar: shown on the form's window, which gives its commands to the items.
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);

    TCanvas* Canvas() const { return FCanvas; }
    TFormState FormState() const { return FFormState; }
    bool Active() const { return FActive; }
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* Control);
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value);
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    // An MDI form's children: the screen's forms of style fsMDIChild, in the screen's order (other
    // forms have none). MDIChildren raises EListError for an index out of range.
    int MDIChildCount() const;
    TCustomForm* MDIChildren(int Index) const;
    // The MDI client window of an fsMDIForm (made with the form's window, filling its client area;
    // its children are the fsMDIChild forms), 0 for other forms.
    HWND ClientHandle() const { return FClientHandle; }
    void DefaultHandler(TMessage& Message) override;
    TWindowState WindowState() const { return FWindowState; }
    void SetWindowState(TWindowState Value);
    // The state the window takes when it is next shown, without showing it so now: MDI windows
    // change their state through their client window, not by the plain show command.
    void StoreWindowState(TWindowState Value) { FWindowState = Value; }
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value) { FPixelsPerInch = Value; }
    bool Scaled() const { return FScaled; }
    void SetScaled(bool Value) { FScaled = Value; }
    TRect ClientRect() override;
    // The whole window at a constant opacity (a layered window while AlphaBlend is set).
    bool AlphaBlend() const { return FAlphaBlend; }
    void SetAlphaBlend(bool Value);
    Byte AlphaBlendValue() const { return FAlphaBlendValue; }
    void SetAlphaBlendValue(Byte Value);

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    // An empty form of class T without reading a resource.
    template <class T = TCustomForm>
    static T* CreateNewOf(TComponent* AOwner) {
        TNewFormScope Scope;
        return Create<T>(AOwner);
    }

protected:
    // Marks the next form constructed on this thread as made without its resource (CreateNew).
    struct TNewFormScope {
        TNewFormScope();
        ~TNewFormScope();
    };

    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void SetClientSize(int AWidth, int AHeight) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void PaintWindow(HDC DC) override;
    void WndProc(TMessage& Message) override;
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    virtual void Activate();
    virtual void Deactivate();
    virtual void Paint();
    void Resize() override;

    void WMClose(TMessage& Message);
    void WMCommand(TMessage& Message);
    void WMActivate(TMessage& Message);
    void WMSysCommand(TMessage& Message);
    void WMGetMinMaxInfo(TMessage& Message);
    void WMSize(TMessage& Message);
    void WMQueryEndSession(TMessage& Message);
    void CMShowingChanged(TMessage& Message);
    void CMRelease(TMessage& Message);
    void CMDialogKey(TMessage& Message);
    void CMActivate(TMessage& Message);
    void CMDeactivate(TMessage& Message);

    TFormState FFormState;

private:
    friend class TApplication;
    friend class TScreen;
    void ApplyPosition();
    void CloseModal();
    void SetWindowToTop();
    void ApplyAlphaBlend();

    TControlCanvas* FCanvas = nullptr;
    TMainMenu* FMenu = nullptr;
    TWinControl* FActiveControl = nullptr;
    TWinControl* FFocusedControl = nullptr;
    TModalResult FModalResult = mrNone;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TPosition FPosition = poDefaultPosOnly;
    TFormStyle FFormStyle = fsNormal;
    HWND FClientHandle = nullptr;
    TWindowState FWindowState = wsNormal;
    bool FKeyPreview = false;
    bool FActive = false;
    bool FCreatedNew = false;
    bool FPositionApplied = false;
    bool FScaled = true;
    bool FAlphaBlend = false;
    bool FLayeredByAlphaBlend = false;
    Byte FAlphaBlendValue = 255;
    int FPixelsPerInch = 96;
    int FPendingClientWidth = -1;
    int FPendingClientHeight = -1;
    TComponent** FReference = nullptr;  // the variable CreateForm filled, emptied when the form goes
};

using TCustomFormClass = TClassOf<TCustomForm>;

class TForm : public TCustomForm {
    DECLARE_CLASS(TForm, TCustomForm)
public:
    using TCustomForm::TCustomForm;
    static void DefineClass(TClassBuilder<TForm>& B);
    // An empty form (no resource), owned by AOwner.
    static TForm* CreateNew(TComponent* AOwner) { return CreateNewOf<TForm>(AOwner); }
};

// The form a control lies on, or null.
TCustomForm* GetParentForm(const TControl* Control);

// ---------------------------------------------------------------------------------------------
// Data modules

class TDataModule : public TComponent {
    DECLARE_CLASS(TDataModule, TComponent)
public:
    explicit TDataModule(TComponent* AOwner);
    ~TDataModule() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TDataModule>& B);
    // An empty data module without reading a resource.
    template <class T = TDataModule>
    static T* CreateNewOf(TComponent* AOwner) {
        TNewScope Scope;
        return Create<T>(AOwner);
    }

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;

protected:
    struct TNewScope {
        TNewScope();
        ~TNewScope();
    };
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

private:
    friend class TApplication;
    bool FCreatedNew = false;
    TComponent** FReference = nullptr;
};

// ---------------------------------------------------------------------------------------------
// The screen

class TScreen : public TComponent {
    DECLARE_CLASS(TScreen, TComponent)
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;

    int FormCount() const { return static_cast<int>(FForms.size()); }
    TCustomForm* Forms(int Index) const;
    int DataModuleCount() const { return static_cast<int>(FDataModules.size()); }
    TDataModule* DataModules(int Index) const;
    TCustomForm* ActiveForm() const { return FActiveForm; }
    TWinControl* ActiveControl() const { return FActiveControl; }

    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    // The cursor of an identifier (negative ones are the stock cursors); the default cursor for an
    // empty slot. Setting 0 empties a slot (the stock one comes back for a stock identifier).
    HCURSOR Cursors(int Index) const;
    void SetCursors(int Index, HCURSOR Handle);

    int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
    int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
    int DesktopLeft() const { return GetSystemMetrics(SM_XVIRTUALSCREEN); }
    int DesktopTop() const { return GetSystemMetrics(SM_YVIRTUALSCREEN); }
    int DesktopWidth() const { return GetSystemMetrics(SM_CXVIRTUALSCREEN); }
    int DesktopHeight() const { return GetSystemMetrics(SM_CYVIRTUALSCREEN); }
    TRect WorkAreaRect() const;
    int PixelsPerInch() const { return FPixelsPerInch; }

    TNotifyEvent OnActiveFormChange;
    TNotifyEvent OnActiveControlChange;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TCustomForm;
    friend class TDataModule;
    friend class TApplication;
    void AddForm(TCustomForm* Form);
    void RemoveForm(TCustomForm* Form);
    void AddDataModule(TDataModule* Module);
    void RemoveDataModule(TDataModule* Module);
    void SetActiveForm(TCustomForm* Form);
    void SetActiveControl(TWinControl* Control);
    HCURSOR StockCursor(int Index) const;

    std::vector<TCustomForm*> FForms;
    std::vector<TDataModule*> FDataModules;
    std::vector<std::pair<int, HCURSOR>> FCursors;
    TCustomForm* FActiveForm = nullptr;
    TWinControl* FActiveControl = nullptr;
    TCursor FCursor = crDefault;
    int FPixelsPerInch = 96;
};

// ---------------------------------------------------------------------------------------------
// The application

class TApplication : public TComponent {
    DECLARE_CLASS(TApplication, TComponent)
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;
    void BeforeDestruction() override;

    void Initialize();
    // Creates a form or data module of the class; Reference is filled before its resource is read
    // and emptied again when the object is freed (only while it still points at it). The first
    // form whose creation completes becomes MainForm.
    void CreateForm(TComponentClass InstanceClass, TComponent** Reference);
    template <class T>
    void CreateForm(T*& Reference) {
        static_assert(std::is_base_of_v<TComponent, T>);
        CreateForm(T::StaticClass(), reinterpret_cast<TComponent**>(&Reference));
    }
    void Run();
    // Handles every queued message, then returns (re-entrant).
    void ProcessMessages();
    // Handles one message, or idles and waits for one.
    void HandleMessage();
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Mouse enter and leave (CM_MOUSEENTER/CM_MOUSELEAVE) for the control under the cursor now.
    void DoMouseIdle();

    HWND Handle() const { return FHandle; }
    TCustomForm* MainForm() const { return FMainForm; }
    bool ShowMainForm = true;
    std::string Title() const { return FTitle; }
    void SetTitle(const std::string& Value);
    std::string ExeName() const;
    bool Active() const { return FActive; }

    // Where exceptions leaving event and message handlers end: EAbort is silent; otherwise
    // OnException when assigned, else ShowException. Call it inside a catch block.
    void HandleException(TObject* Sender);
    void ShowException(const Exception& E);
    // A message box through the presenter, owned by the active window.
    int MessageBox(const std::string& Text, const std::string& Caption, UINT Flags = MB_OK);

    void Minimize();
    void Restore();
    void BringToFront();
    void HookMainWindow(const TWindowHook& Hook);
    void UnhookMainWindow(const TWindowHook& Hook);
    void ModalStarted() { ++FModalLevel; }
    void ModalFinished() { --FModalLevel; }
    int ModalLevel() const { return FModalLevel; }
    void NormalizeTopMosts();
    void RestoreTopMosts();
    void UpdateFormatSettings();

    std::string Hint() const { return FHint; }
    void SetHint(const std::string& Value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value) { FShowHint = Value; }
    int HintPause = 500;
    void CancelHint() { SetHint(""); }

    TExceptionEvent OnException;
    TMessageEvent OnMessage;
    TIdleEvent OnIdle;
    TNotifyEvent OnHint;
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;

    // The hidden window's own procedure (hooks and subclassers chain back to it).
    void WndProc(TMessage& Message);
    // Posted by worker threads that hand a call to the main thread (the Threads unit's wake-up):
    // the loop then runs CheckSynchronize.
    void WakeMainThread(TObject* Sender);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TCustomForm;
    bool ProcessMessage(MSG& Msg);
    void Idle(const MSG& Msg);
    bool IsKeyMsg(MSG& Msg);
    void CreateHandle();
    void DestroyHandle();

    HWND FHandle = nullptr;
    WNDPROC FObjectInstance = nullptr;
    TCustomForm* FMainForm = nullptr;
    std::string FTitle;
    std::string FHint;
    bool FShowHint = true;
    bool FTerminated = false;
    bool FActive = false;
    bool FHandleCreated = false;
    int FModalLevel = 0;
    TControl* FMouseControl = nullptr;
    std::vector<TWindowHook> FWindowHooks;
    std::vector<HWND> FTopMostList;
    int FTopMostLevel = 0;
};

extern TApplication* Application;
extern TScreen* Screen;

// The framework's controls start-up and shut-down (unit table entries; see the top of this file).
void InitControls();
void DoneControls();
