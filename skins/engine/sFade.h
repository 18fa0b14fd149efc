// State fades of skinned controls and the threaded timer.
//
// When a skinned control changes state its old image can fade into the new one over a number of
// frames 10 ms apart: TsFadeTimer paints each frame straight onto the control (check boxes),
// TsAnimTimer blends each frame into WorkImage and has the control repaint from it (speed buttons).
// Both are window timers on the user-interface thread. FadingBlocked and FadeTimerCount let the
// form window procedure wait for running fades when the session ends.
//
// TacThreadedTimer ticks from a worker thread that waits on an event with the interval as time-out
// and hands every tick to the main thread, so OnTimer always runs there.
//
// Start-up: nothing (the globals start False and 0).
#pragma once

#include "Classes.h"
#include "Graphics.h"
#include "SyncObjs.h"
#include "Threads.h"
#include "Timers.h"
#include "sConst.h"

class TsCommonData;
class TsSkinManager;

// While set no fade starts and running fades end at their next tick.
extern bool FadingBlocked;
// TsFadeTimer and TsAnimTimer objects alive.
extern int FadeTimerCount;

// The weight of the old image in frame Step of StepCount: 255 - Step x 256 div StepCount, in 0..255.
int FadeWeight(int Step, int StepCount);

class TsFadeTimer : public TTimer {
    DECLARE_CLASS(TsFadeTimer, TTimer)
public:
    explicit TsFadeTimer(TComponent* AOwner);
    ~TsFadeTimer() override;

    Byte FadeDirection = 0;  // 0 none, 1 or 2 while running
    TsCommonData* SkinDataRef = nullptr;
    int StepCount = 0;
    int Step = 0;
    TBitmap* StartImage = nullptr;  // owned

    void Prepare(TsCommonData* SkinData);
    void SetDirection(Byte Direction);
    void PaintStep();
    bool CheckDone();

protected:
    void Timer() override;

private:
    void NoTick(TObject*) {}
};

class TsAnimTimer : public TTimer {
    DECLARE_CLASS(TsAnimTimer, TTimer)
public:
    explicit TsAnimTimer(TComponent* AOwner);
    ~TsAnimTimer() override;

    bool InStep = false;
    TBitmap* StartImage = nullptr;  // owned
    TBitmap* WorkImage = nullptr;   // owned: the frame the control paints
    TsCommonData* SkinDataRef = nullptr;
    int StepCount = 0;
    int Step = 0;

    void Prepare(TsCommonData* SkinData);
    void MakeStep();
    void RepaintOwner();
    bool CheckDone();

protected:
    void Timer() override;

private:
    void NoTick(TObject*) {}
};

// Whether a mouse event may animate (Manager nil: the default manager).
bool AnimatEventAllowed(TacAnimatEvent Event, TacAnimatEvents AnimatEvents, TsSkinManager* Manager);
void FadeToNewState(TsFadeTimer*& Timer, TsCommonData* SkinData, bool Fast, bool Allowed, Byte Direction);
void StartFadeTimer(TsFadeTimer*& Timer, TsCommonData* SkinData, bool Fast, Byte Direction);
void StopFadeTimer(TsFadeTimer*& Timer, TsCommonData* SkinData);

// ---------------------------------------------------------------------------------------------
// Threaded timer

class TacThreadedTimer;

class TacTimerThread : public TThread {
    DECLARE_CLASS(TacTimerThread, TThread)
public:
    TacTimerThread() : TThread(true) {}
    TacThreadedTimer* OwnerTimer = nullptr;
    volatile Cardinal WaitInterval = 1000;
    TSimpleEvent* StopEvent = nullptr;  // owned by the timer
    // Set while the worker may tick; a paused worker waits on it (or on StopEvent).
    TSimpleEvent* RunEvent = nullptr;   // owned by the timer
    void FireTimer();

protected:
    void Execute() override;
};

class TacThreadedTimer : public TComponent {
    DECLARE_CLASS(TacThreadedTimer, TComponent)
public:
    explicit TacThreadedTimer(TComponent* AOwner);
    ~TacThreadedTimer() override;
    static void DefineClass(TClassBuilder<TacThreadedTimer>& B);

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    Cardinal Interval() const { return FInterval; }
    void SetInterval(Cardinal Value);
    TNotifyEvent OnTimer() const { return FOnTimer; }
    void SetOnTimer(const TNotifyEvent& Value);
    TThreadPriority ThreadPriority() const { return FThreadPriority; }
    void SetThreadPriority(TThreadPriority Value);
    // Whether the worker is let to tick now (running, not paused).
    bool WorkerRunning() const;

    virtual void Timer();

protected:
    void StartThread();
    void StopThread();
    void UpdateThread();

private:
    friend class TacTimerThread;
    bool FEnabled = false;
    Cardinal FInterval = 0;
    TNotifyEvent FOnTimer;
    TacTimerThread* FWorker = nullptr;
    TThreadPriority FThreadPriority = tpNormal;
};
