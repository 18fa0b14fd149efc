// Window hooks: any number of TRxWindowHook components watch the messages of one windowed control,
// before and after its own window procedure, without subclassing it themselves. The hooks of one
// control share one TControlHook, which subclasses the control's window once; all control hooks
// live in the unit's THookList, whose hidden window does the work that must wait until the current
// message is finished.
#pragma once

#include "Controls.h"
#include "Lists.h"

class TControlHook;
class THookList;

// (Sender, the message, which the handler may change, var Handled)
using THookMessageEvent = TMethodOf<TObject*, TMessage&, bool&>;
DECLARE_EVENT_NAME(THookMessageEvent)

// Messages of the list's hidden window; LParam is the control hook.
inline constexpr UINT ReinstallHookMessage = 0xB052;
inline constexpr UINT ReleaseHookMessage = 0xB053;

class TRxWindowHook : public TComponent {
    DECLARE_CLASS(TRxWindowHook, TComponent)
public:
    explicit TRxWindowHook(TComponent* AOwner);
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TRxWindowHook>& B);

    bool Active() const { return FActive; }
    void SetActive(bool Value);
    // The control hook's control while attached, else the control named.
    TWinControl* WinControl() const;
    void SetWinControl(TWinControl* Value);
    TControlHook* ControlHook() const { return FControlHook; }

    THookMessageEvent BeforeMessage;  // setting Handled suppresses the message (not WM_DESTROY)
    THookMessageEvent AfterMessage;

    virtual void FireBeforeMessage(TMessage& Msg, bool& Handled);
    virtual void FireAfterMessage(TMessage& Msg, bool& Handled);

protected:
    void DefineProperties(TFiler& Filer) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TControlHook;
    void AttachToControl();
    TControlHook* DetachFromControl();
    bool IsForm() const;
    bool IsWinControlStored() const;

    bool FActive = true;
    TControlHook* FControlHook = nullptr;
    TWinControl* FControl = nullptr;
};

class TControlHook : public TObject {
    DECLARE_CLASS(TControlHook, TObject)
public:
    TControlHook();
    ~TControlHook() override;

    TWinControl* Control() const { return FControl; }
    int HookCount() const { return static_cast<int>(FHooks.size()); }
    // Whether this hook's procedure is the one the window was given (not yet removed).
    bool Installed() const { return FPrevWndProc != nullptr; }

    void AddWindowHook(TRxWindowHook* Hook);
    void RemoveWindowHook(TRxWindowHook* Hook);
    void AttachControl(TWinControl* Control);
    void InstallWindowProc();
    void RestoreWindowProc();

private:
    enum class TPhase { Before, After };
    void HookWindowProc(TMessage& Msg);
    void DispatchToHooks(TPhase Phase, TMessage& Msg, bool& Handled);
    bool ControlGone() const;

    TWinControl* FControl = nullptr;
    WNDPROC FNewWndProc = nullptr;
    WNDPROC FPrevWndProc = nullptr;
    HWND FWindow = nullptr;  // the window the procedure was installed on
    std::vector<TRxWindowHook*> FHooks;
    bool FDestroying = false;
};

class THookList : public TList {
    DECLARE_CLASS(THookList, TList)
public:
    THookList();
    ~THookList() override;
    HWND Handle() const { return FHandle; }
    TControlHook* ControlHooks(int Index) const { return static_cast<TControlHook*>(Items(Index)); }
    // Searched from index 0; null for a null control or when none.
    TControlHook* FindControlHook(TWinControl* Control) const;
    TControlHook* ObtainControlHook(TWinControl* Control);

private:
    void ListWindowProc(TMessage& Msg);
    HWND FHandle = nullptr;
};

// The unit's list, made with its hidden window on first call.
THookList* SharedHookList();
// The list when it exists, else null (never makes one).
THookList* ExistingHookList();

void RxHookInitialization();
void RxHookFinalization();
