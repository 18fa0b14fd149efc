#include "Timers.h"

#include "SysUtils.h"

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
    // A timer needs no broadcast: a message-only window is the cheapest to make (several are made
    // while the main window is read).
    FWindowHandle = AllocateMessageHWnd(TWndMethod::Bind<&TTimer::WndProc>(this));
}

TTimer::~TTimer() {
    if (FWindowHandle) {
        KillTimer(FWindowHandle, 1);
        DeallocateHWnd(FWindowHandle);
    }
}

void TTimer::BeforeDestruction() {
    FEnabled = false;
    if (FWindowHandle)
        KillTimer(FWindowHandle, 1);
    TComponent::BeforeDestruction();
}

void TTimer::DefineClass(TClassBuilder<TTimer>& B) {
    B.Property("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(true);
    B.Property("Interval", &TTimer::Interval, &TTimer::SetInterval).Default(1000);
    B.Property("OnTimer", &TTimer::OnTimer, &TTimer::SetOnTimer);
}

void TTimer::UpdateTimer() {
    KillTimer(FWindowHandle, 1);
    if (FInterval != 0 && FEnabled && FOnTimer)
        if (!SetTimer(FWindowHandle, 1, FInterval, nullptr))
            throw EOutOfResources(SysConsts::SNoTimers);
}

void TTimer::SetEnabled(bool Value) {
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(Cardinal Value) {
    if (FInterval == Value)
        return;
    FInterval = Value;
    UpdateTimer();
}

void TTimer::SetOnTimer(const TNotifyEvent& Value) {
    FOnTimer = Value;
    UpdateTimer();
}

void TTimer::Timer() { FOnTimer(this); }

void TTimer::WndProc(TMessage& Message) {
    if (Message.Msg == WM_TIMER) {
        try {
            Timer();
        } catch (...) {
            HandleWndException(this);
        }
        return;
    }
    Message.Result = DefWindowProcA(FWindowHandle, Message.Msg, Message.WParam, Message.LParam);
}
