#include "sFade.h"

#include "sComponentState.h"
#include "Forms.h"
#include "sCommonData.h"
#include "sGraphUtils.h"
#include "sMessages.h"
#include "sVclUtils.h"

#include <algorithm>

bool FadingBlocked = false;
int FadeTimerCount = 0;

namespace {
const TsGeneralData* FadeSection(TsCommonData* SkinData) {
    TsSkinManager* M = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!M || !M->SectionIndexInRange(SkinData->SectionIndex))
        return nullptr;
    return &M->SectionList[SkinData->SectionIndex];
}

bool SectionFades(TsCommonData* SkinData) {
    const TsGeneralData* S = FadeSection(SkinData);
    return S && S->FadingEnabled;
}

int SectionIterations(TsCommonData* SkinData) {
    const TsGeneralData* S = FadeSection(SkinData);
    return S ? S->FadingIterations : 0;
}


bool AppTerminating() { return Application && Application->Terminated(); }

// The button events of the manager's animation settings; a manager without such settings animates
// all four, as new settings do.
TacBtnEvents ButtonAnimEvents(TsSkinManager*) {
    return TacBtnEvents{beMouseEnter, beMouseLeave, beMouseDown, beMouseUp};
}
}  // namespace

int FadeWeight(int Step, int StepCount) {
    if (StepCount == 0)
        return 0;
    return std::clamp(255 - Step * 256 / StepCount, 0, 255);
}

// ---------------------------------------------------------------------------------------------
// TsFadeTimer

TsFadeTimer::TsFadeTimer(TComponent* AOwner) : TTimer(AOwner) {
    ++FadeTimerCount;
    StartImage = Create<TBitmap>();
    SetDirection(0);
    // The framework's timer ticks only while a handler is assigned.
    SetOnTimer(TNotifyEvent::Bind<&TsFadeTimer::NoTick>(this));
}

TsFadeTimer::~TsFadeTimer() {
    FreeAndNil(StartImage);
    --FadeTimerCount;
}

void TsFadeTimer::SetDirection(Byte Direction) {
    FadeDirection = Direction;
    if (Step < 0)
        Step = 1;
    SetEnabled(Direction != 0);
}

void TsFadeTimer::Prepare(TsCommonData* SkinData) {
    SkinDataRef = SkinData;
    TControl* Host = SkinData->HostControl;
    if (SkinData->BackgroundStale && SkinData->CacheBitmap && SkinData->CacheBitmap->Empty() && Host) {
        if (auto* W = DynCast<TWinControl>(Host); W && W->HandleAllocated())
            SendSkinCommand(W->Handle(), SKIN_PREPARECACHE, 0);
        else
            SendSkinCommandTo(Host, SKIN_PREPARECACHE, 0);
    }
    StartImage->Assign(SkinData->CacheBitmap);
    SetInterval(10);
    StepCount = SectionIterations(SkinData);
    if (FadeDirection == 1)
        StepCount = Step;
    else if (FadeDirection == 2)
        StepCount = StepCount - Step;
}

bool TsFadeTimer::CheckDone() {
    try {
        TControl* Host = SkinDataRef ? SkinDataRef->HostControl : nullptr;
        if (!Host || IsDestroying(Host) || AppTerminating()) {
            FadeDirection = 0;
            return false;
        }
        // A blocked fade ends at once, so that a wait for the running fades comes to its end.
        if (Step > StepCount || Step < 0 || FadingBlocked) {
            Host->Perform(SM_ALPHACMD, SkinCommandParam(SKIN_ANIMDONE), 0);
            return true;
        }
    } catch (...) {
    }
    return false;
}

void TsFadeTimer::Timer() {
    if (!SkinDataRef || IsDestroying(this) || CheckDone() || FadingBlocked)
        return;
    if (FadeDirection == 1 || FadeDirection == 2)
        PaintStep();
}

void TsFadeTimer::PaintStep() {
    TControl* Host = SkinDataRef ? SkinDataRef->HostControl : nullptr;
    if (!Host || IsDestroying(Host) || StepCount == 0 || FadingBlocked)
        return;
    if (!Host->Enabled()) {
        SetEnabled(false);
        StepCount = 0;
        SkinDataRef->Invalidate();
        return;
    }
    TOwned<TBitmap> Frame(Create<TBitmap>());
    try {
        Frame->Assign(StartImage);
        Frame->SetPixelFormat(pf24bit);
        Frame->SetHandleType(bmDIB);
        BlendBitmaps24(Frame.get(), SkinDataRef->CacheBitmap, static_cast<Byte>(FadeWeight(Step, StepCount)));
        HWND Wnd = Host->GetDeviceContextWindow();
        if (auto* W = DynCast<TWinControl>(Host))
            Wnd = W->Handle();
        HDC DC = GetDC(Wnd);
        int Saved = SaveDC(DC);
        try {
            if (!IsDestroying(Host) && StepCount != 0 &&
                Host->Perform(SM_ALPHACMD, SkinCommandParam(SKIN_DRAWIMAGE), reinterpret_cast<LPARAM>(Frame.get())) == 0)
                BitBlt(DC, 0, 0, Frame->Width(), Frame->Height(), Frame->Canvas()->Handle(), 0, 0, SRCCOPY);
        } catch (...) {
        }
        RestoreDC(DC, Saved);
        ReleaseDC(Wnd, DC);
        if (RefreshTarget)
            SendSkinCommandTo(RefreshTarget, SKIN_REFRESH, 0);
    } catch (...) {
    }
    ++Step;
}

// ---------------------------------------------------------------------------------------------
// TsAnimTimer

TsAnimTimer::TsAnimTimer(TComponent* AOwner) : TTimer(AOwner) {
    ++FadeTimerCount;
    StartImage = Create<TBitmap>();
    WorkImage = Create<TBitmap>();
    SetEnabled(false);
    SetOnTimer(TNotifyEvent::Bind<&TsAnimTimer::NoTick>(this));
}

TsAnimTimer::~TsAnimTimer() {
    FreeAndNil(StartImage);
    FreeAndNil(WorkImage);
    --FadeTimerCount;
}

void TsAnimTimer::Prepare(TsCommonData* SkinData) {
    SkinDataRef = SkinData;
    SetInterval(10);
    StepCount = SectionIterations(SkinData);
}

bool TsAnimTimer::CheckDone() {
    TControl* Host = SkinDataRef ? SkinDataRef->HostControl : nullptr;
    if (IsDestroying(this) || !Host || IsDestroying(Host) || AppTerminating())
        return true;
    if (Step >= 0 && Step <= StepCount && !FadingBlocked)
        return false;
    try {
        Host->Perform(SM_ALPHACMD, SkinCommandParam(SKIN_ANIMDONE), 0);
    } catch (...) {
    }
    return true;
}

void TsAnimTimer::Timer() {
    if (!IsDestroying(this) && !CheckDone())
        MakeStep();
}

void TsAnimTimer::MakeStep() {
    TControl* Host = SkinDataRef ? SkinDataRef->HostControl : nullptr;
    if (InStep || !Host || IsDestroying(Host) || StepCount == 0 || Step < 0) {
        ++Step;
        return;
    }
    InStep = true;
    try {
        WorkImage->Assign(StartImage);
        BlendBitmaps24(WorkImage, SkinDataRef->CacheBitmap, static_cast<Byte>(FadeWeight(Step, StepCount)));
        RepaintOwner();
        if (RefreshTarget)
            SendSkinCommandTo(RefreshTarget, SKIN_REFRESH, 0);
    } catch (...) {
    }
    ++Step;
    InStep = false;
}

void TsAnimTimer::RepaintOwner() {
    TControl* Host = SkinDataRef->HostControl;
    Host->Perform(SM_ALPHACMD, SkinCommandParam(SKIN_SETUPDATING, 0), 0);
    Host->Perform(SM_ALPHACMD, SkinCommandParam(SKIN_REPAINTNOW), 0);
}

// ---------------------------------------------------------------------------------------------
// Fade routines

bool AnimatEventAllowed(TacAnimatEvent Event, TacAnimatEvents AnimatEvents, TsSkinManager* Manager) {
    if (!Manager)
        Manager = DefaultManager;
    if (AnimatEvents.Contains(Event))
        return true;
    if (!AnimatEvents.Contains(aeGlobalDef))
        return false;
    TacBtnEvent Mapped;
    switch (Event) {
    case aeMouseEnter: Mapped = beMouseEnter; break;
    case aeMouseLeave: Mapped = beMouseLeave; break;
    case aeMouseDown: Mapped = beMouseDown; break;
    case aeMouseUp: Mapped = beMouseUp; break;
    default: return false;
    }
    return ButtonAnimEvents(Manager).Contains(Mapped);
}

void FadeToNewState(TsFadeTimer*& Timer, TsCommonData* SkinData, bool Fast, bool Allowed, Byte Direction) {
    if (!SkinData->IsSkinned(false))
        return;
    if (Allowed && SectionFades(SkinData) && !FadingBlocked && SkinData->CacheBitmap && !SkinData->BackgroundStale) {
        SkinData->BackgroundStale = true;
        StartFadeTimer(Timer, SkinData, Fast, Direction);
    } else {
        SkinData->BackgroundStale = true;
        if (Timer)
            StopFadeTimer(Timer, SkinData);
        if (SkinData->HostControl)
            SkinData->HostControl->Repaint();
    }
    SkinData->RefreshGlow(Fast, nullptr);
}

void StartFadeTimer(TsFadeTimer*& Timer, TsCommonData* SkinData, bool Fast, Byte Direction) {
    if (!SectionFades(SkinData))
        return;
    if (!Timer) {
        Timer = Create<TsFadeTimer>(SkinData->HostControl);
        Timer->SetEnabled(false);
        Timer->Step = 1;
    } else if (Timer->Enabled()) {
        Timer->Step = SectionIterations(SkinData);
    }
    Timer->Prepare(SkinData);
    if (Fast)
        Timer->StepCount /= 2;
    if (Timer->Step >= Timer->StepCount || Timer->Step <= 0)
        Timer->Step = 1;
    if (SkinData->HostControl)
        SkinData->HostControl->Perform(SM_ALPHACMD, SkinCommandParam(SKIN_PREPARECACHE), 0);
    Timer->SetDirection(Direction);
}

void StopFadeTimer(TsFadeTimer*& Timer, TsCommonData*) {
    if (!Timer || IsDestroying(Timer))
        return;
    Timer->SetEnabled(false);
    Timer->SetDirection(0);
    FreeAndNil(Timer);
}

// ---------------------------------------------------------------------------------------------
// Threaded timer

void TacTimerThread::Execute() {
    HANDLE Waits[2] = {StopEvent->Handle(), RunEvent->Handle()};
    while (!Terminated()) {
        // Paused: wait until let run again or stopped.
        if (WaitForMultipleObjects(2, Waits, FALSE, INFINITE) != WAIT_OBJECT_0 + 1)
            break;
        TWaitResult R = StopEvent->WaitFor(WaitInterval);
        if (R != wrTimeout || AppTerminating())
            break;
        if (WaitForSingleObject(RunEvent->Handle(), 0) == WAIT_OBJECT_0)
            Synchronize(TThreadMethod::Bind<&TacTimerThread::FireTimer>(this));
    }
}

void TacTimerThread::FireTimer() {
    if (!AppTerminating() && OwnerTimer)
        OwnerTimer->Timer();
}

TacThreadedTimer::TacThreadedTimer(TComponent* AOwner) : TComponent(AOwner) {
    if (!AppTerminating()) {
        FEnabled = true;
        FInterval = 1000;
        StartThread();
    }
}

TacThreadedTimer::~TacThreadedTimer() { StopThread(); }

void TacThreadedTimer::DefineClass(TClassBuilder<TacThreadedTimer>& B) {
    B.Property("Enabled", &TacThreadedTimer::Enabled, &TacThreadedTimer::SetEnabled).Default(true);
    B.Property("Interval", &TacThreadedTimer::Interval, &TacThreadedTimer::SetInterval).Default(Cardinal(1000));
    B.Property("OnTimer", &TacThreadedTimer::OnTimer, &TacThreadedTimer::SetOnTimer);
}

void TacThreadedTimer::StartThread() {
    FWorker = Create<TacTimerThread>();
    FWorker->OwnerTimer = this;
    FWorker->WaitInterval = FInterval;
    FWorker->SetPriority(FThreadPriority);
    FWorker->SetFreeOnTerminate(false);
    FWorker->StopEvent = Create<TSimpleEvent>();
    FWorker->RunEvent = Create<TSimpleEvent>();
    FWorker->StopEvent->ResetEvent();
    UpdateThread();
    FWorker->Start();
}

void TacThreadedTimer::StopThread() {
    if (!FWorker)
        return;
    FWorker->StopEvent->SetEvent();
    FWorker->Terminate();
    FWorker->WaitFor();
    TSimpleEvent* Stop = FWorker->StopEvent;
    TSimpleEvent* Run = FWorker->RunEvent;
    FreeAndNil(FWorker);
    FreeAndNil(Stop);
    FreeAndNil(Run);
}

void TacThreadedTimer::UpdateThread() {
    if (!FWorker)
        return;
    if (FInterval != 0 && FEnabled && FOnTimer)
        FWorker->RunEvent->SetEvent();
    else
        FWorker->RunEvent->ResetEvent();
}

bool TacThreadedTimer::WorkerRunning() const {
    return FWorker && WaitForSingleObject(FWorker->RunEvent->Handle(), 0) == WAIT_OBJECT_0;
}

void TacThreadedTimer::SetEnabled(bool Value) {
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    UpdateThread();
}

void TacThreadedTimer::SetInterval(Cardinal Value) {
    if (Value == FInterval)
        return;
    FInterval = Value;
    if (FWorker) {
        FWorker->WaitInterval = Value;
        UpdateThread();
    }
}

void TacThreadedTimer::SetOnTimer(const TNotifyEvent& Value) {
    FOnTimer = Value;
    UpdateThread();
}

void TacThreadedTimer::SetThreadPriority(TThreadPriority Value) {
    if (Value == FThreadPriority)
        return;
    FThreadPriority = Value;
    if (FWorker)
        FWorker->SetPriority(Value);
    UpdateThread();
}

void TacThreadedTimer::Timer() {
    if (FOnTimer)
        FOnTimer(this);
}
