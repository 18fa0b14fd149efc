// Thread components: a worker thread whose handler runs on each start, and a thread timer.
#include "abfComponents.h"

#include "Dialogs.h"

// ---------------------------------------------------------------------------------------------
// TabfCustomThreadComponent

TabfCustomThreadComponent::~TabfCustomThreadComponent() { FreeThread(FThread); }

void TabfCustomThreadComponent::AfterConstruction() {
    TabfComponent::AfterConstruction();
    // Here rather than in the constructor, so that a descendant's CreateThread is the one called.
    if (!Designing())
        NewThread();
}

void TabfCustomThreadComponent::BeforeDestruction() {
    FreeThread(FThread);
    TabfComponent::BeforeDestruction();
}

void TabfCustomThreadComponent::NewThread() {
    FThread = CreateThread(FSuspended);
    FThread->SetOnEvent(TNotifyEvent::Bind<&TabfCustomThreadComponent::DoExecute>(this));
}

TabfEventThread* TabfCustomThreadComponent::CreateThread(bool CreateSuspended) {
    return Create<TabfEventThread>(CreateSuspended);
}

void TabfCustomThreadComponent::FreeThread(TabfEventThread*& Thread) {
    if (!Thread)
        return;
    Thread->SetOnEvent(nullptr);
    // Free asks the worker to end, wakes it and waits (serving its calls to the main thread).
    FreeAndNil(Thread);
}

void TabfCustomThreadComponent::Loaded() {
    TabfComponent::Loaded();
    if (!FThread)
        return;
    FThread->SetSynchronized(FSynchronized);
    SetSuspended(FSuspended);
}

void TabfCustomThreadComponent::RecreateThread() {
    TabfEventThread* Old = FThread;
    TThreadPriority OldPriority = Priority();
    bool OldSynchronized = Synchronized();
    TNotifyEvent OldOnTerminate = OnTerminate();
    TabfEventThread* New = CreateThread(true);
    try {
        New->SetPriority(OldPriority);
        New->SetSynchronized(OldSynchronized);
        New->SetOnEvent(TNotifyEvent::Bind<&TabfCustomThreadComponent::DoExecute>(this));
        New->OnTerminate = OldOnTerminate;
    } catch (...) {
        New->Free();
        throw;
    }
    // The old worker stops by itself (killing it could leave a lock held) before the new one runs.
    FThread = New;
    FreeThread(Old);
}

void TabfCustomThreadComponent::Execute() {
    if (!FThread)
        return;
    RecreateThread();
    FThread->SetIsSuspended(false);
}

void TabfCustomThreadComponent::DoExecute(TObject*) {
    if (!OnExecute)
        return;
    auto Report = [this](Exception& E) {
        SynchronizeEx(&E, TabfThreadMethodEx::Bind<&TabfCustomThreadComponent::DoExceptionEx>(this));
    };
    try {
        OnExecute(this);
    } catch (Exception& E) {
        Report(E);
    } catch (std::exception& E) {
        Exception Wrapped(E.what());
        Report(Wrapped);
    }
}

void TabfCustomThreadComponent::DoException(TObject* ExceptionObject) {
    if (OnException) {
        OnException(ExceptionObject);
        return;
    }
    auto* E = DynCast<Exception>(ExceptionObject);
    std::string Title = Application ? Application->Title() : std::string();
    std::string Text = Format("Thread %s raised exception class %s with message \"%s\".",
                              {Name(), ExceptionObject ? ExceptionObject->ClassName() : std::string(),
                               E ? E->Message() : std::string()});
    MessagePresenter().MessageBox(nullptr, Text, Title, MB_ICONHAND | MB_SETFOREGROUND);
}

void TabfCustomThreadComponent::Synchronize(const TThreadMethod& Method) {
    if (FThread)
        FThread->Synchronize(Method);
    else
        Method();
}

void TabfCustomThreadComponent::SynchronizeEx(void* Argument, const TabfThreadMethodEx& Method) {
    bool Idle = false;
    if (!FSyncPending.compare_exchange_strong(Idle, true))
        return;
    try {
        Synchronize(TThreadMethod::FromFunction([&] { Method(Argument); }));
    } catch (...) {
        FSyncPending = false;
        throw;
    }
    FSyncPending = false;
}

TThreadPriority TabfCustomThreadComponent::Priority() const { return RunTime() ? FThread->Priority() : FPriority; }

void TabfCustomThreadComponent::SetPriority(TThreadPriority Value) {
    if (RunTime())
        FThread->SetPriority(Value);
    else
        FPriority = Value;
}

LongInt TabfCustomThreadComponent::ReturnValue() const { return RunTime() ? FThread->ReturnValue() : FReturnValue; }

void TabfCustomThreadComponent::SetReturnValue(LongInt Value) {
    if (RunTime())
        FThread->SetReturnValue(Value);
    else
        FReturnValue = Value;
}

bool TabfCustomThreadComponent::Suspended() const { return RunTime() ? FThread->IsSuspended() : FSuspended; }

void TabfCustomThreadComponent::SetSuspended(bool Value) {
    if (!RunTime() || Loading())
        FSuspended = Value;
    else
        FThread->SetIsSuspended(Value);
}

bool TabfCustomThreadComponent::Synchronized() const { return RunTime() ? FThread->Synchronized() : FSynchronized; }

void TabfCustomThreadComponent::SetSynchronized(bool Value) {
    if (!RunTime() || Loading())
        FSynchronized = Value;
    else
        FThread->SetSynchronized(Value);
}

TNotifyEvent TabfCustomThreadComponent::OnTerminate() const { return RunTime() ? FThread->OnTerminate : FOnTerminate; }

void TabfCustomThreadComponent::SetOnTerminate(const TNotifyEvent& Value) {
    if (RunTime())
        FThread->OnTerminate = Value;
    else
        FOnTerminate = Value;
}

void TabfThreadComponent::DefineClass(TClassBuilder<TabfThreadComponent>& B) {
    using T = TabfThreadComponent;
    B.Property("Priority", &T::Priority, &T::SetPriority).Default(tpNormal);
    B.Property("ReturnValue", &T::ReturnValue, &T::SetReturnValue).Default(0);
    B.Property("Suspended", &T::Suspended, &T::SetSuspended).Default(true);
    B.Property("Synchronized", &T::Synchronized, &T::SetSynchronized).Default(false);
    B.Property("OnException", &T::OnException, &T::OnException);
    B.Property("OnExecute", &T::OnExecute, &T::OnExecute);
    B.Property("OnTerminate", &T::OnTerminate, &T::SetOnTerminate);
}

// ---------------------------------------------------------------------------------------------
// TabfCustomThreadTimer

void TabfCustomThreadTimer::BeforeDestruction() {
    SetEnabled(false);
    TabfCustomThreadComponent::BeforeDestruction();
}

TabfEventThread* TabfCustomThreadTimer::CreateThread(bool CreateSuspended) {
    auto* T = Create<TabfTimerThread>(CreateSuspended);
    T->SetInterval(FInterval);
    return T;
}

Cardinal TabfCustomThreadTimer::Interval() const {
    auto* T = DynCast<TabfTimerThread>(Thread());
    return T ? T->Interval() : FInterval;
}

void TabfCustomThreadTimer::SetInterval(Cardinal Value) {
    FInterval = Value;
    if (auto* T = DynCast<TabfTimerThread>(Thread()))
        T->SetInterval(Value);
}

void TabfThreadTimer::DefineClass(TClassBuilder<TabfThreadTimer>& B) {
    using T = TabfThreadTimer;
    B.Property("Interval", &T::Interval, &T::SetInterval).Default(1000);
    B.Property("Priority", &T::Priority, &T::SetPriority).Default(tpNormal);
    B.Property("Synchronized", &T::Synchronized, &T::SetSynchronized).Default(false);
    B.Property("OnTimer", &T::OnExecute, &T::OnExecute);
    B.Property("Enabled", &T::Enabled, &T::SetEnabled).Default(false);
}
