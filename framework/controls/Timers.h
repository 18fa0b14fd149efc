// The timer component: a window timer on a hidden message-only window of its own.
#pragma once

#include "Classes.h"
#include "ObjectInstances.h"

// Runs only while Interval is not 0, Enabled is set and OnTimer is assigned; any change of the
// three kills the system timer and sets it again, so enabling again restarts the count. An
// exception from OnTimer goes to the application and the timer keeps running.
class TTimer : public TComponent {
    DECLARE_CLASS(TTimer, TComponent)
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TTimer>& B);

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    Cardinal Interval() const { return FInterval; }
    void SetInterval(Cardinal Value);
    TNotifyEvent OnTimer() const { return FOnTimer; }
    void SetOnTimer(const TNotifyEvent& Value);
    HWND WindowHandle() const { return FWindowHandle; }

protected:
    // Called on every tick (descendants do their work here); runs OnTimer.
    virtual void Timer();
    void UpdateTimer();

private:
    void WndProc(TMessage& Message);

    Cardinal FInterval = 1000;
    bool FEnabled = true;
    TNotifyEvent FOnTimer;
    HWND FWindowHandle = nullptr;
};
