#include "lmdclass.h"

#include "Forms.h"
#include "Restore.h"
#include "lmdprocs.h"
#include "lmdthemes.h"

#include <algorithm>

TLMDApplication* GlobalApplication = nullptr;

// ---------------------------------------------------------------------------------------------
// Timer pool

TLMDTimerPool::~TLMDTimerPool() {
    ClearEntries();
    if (FWindow)
        DeallocateHWnd(FWindow);
}

void TLMDTimerPool::DefineClass(TClassBuilder<TLMDTimerPool>& B) {
    using C = TLMDTimerPool;
    B.Property("About", &C::About, &C::SetAbout).Stored(false);
    B.Property("MinInterval", &C::MinInterval, &C::SetMinInterval).Default(1000);
    B.Property("OnTimer", &C::OnTimer, &C::OnTimer);
}

void TLMDTimerPool::SetMinInterval(Word Value) {
    if (Value >= 1 && (ComponentState().Contains(csLoading) || ComponentState().Contains(csDesigning)))
        FMinInterval = Value;
}

TimerPoolEntry* TLMDTimerPool::AddEntry(Word Ident, int Interval, int RepeatLimit) {
    auto* Entry = new TimerPoolEntry;
    Entry->Ident = Ident;
    Entry->Interval = Interval;
    Entry->RepeatLimit = RepeatLimit;
    Entry->Pool = this;
    FEntries.push_back(Entry);
    return Entry;
}

int TLMDTimerPool::ActiveEntryCount() const {
    return static_cast<int>(std::count_if(FEntries.begin(), FEntries.end(), [](auto* E) { return E->Enabled; }));
}

void TLMDTimerPool::ClearEntries() {
    UpdateTimer(false);
    while (!FEntries.empty()) {
        delete FEntries.back();
        FEntries.pop_back();
    }
}

void TLMDTimerPool::UpdateTimer(bool Enable) {
    if (ComponentState().Contains(csDesigning))
        return;
    if (!FWindow)
        FWindow = AllocateMessageHWnd(TWndMethod::Bind<&TLMDTimerPool::TimerWndProc>(this));
    FActive = false;
    KillTimer(FWindow, 1);
    if (!Enable || ActiveEntryCount() == 0)
        return;
    if (!SetTimer(FWindow, 1, FMinInterval, nullptr))
        throw EOutOfResources("Not enough timers available");
    FTickCounter = 1;
    FActive = true;
}

void TLMDTimerPool::TimerWndProc(TMessage& Msg) {
    if (Msg.Msg != WM_TIMER) {
        Msg.Result = DefWindowProcA(FWindow, Msg.Msg, Msg.WParam, Msg.LParam);
        return;
    }
    if (FBusy)
        return;
    // A handler that raises must not stop the pool for good: the flag is cleared in any case.
    try {
        TRestore<bool> Busy(FBusy, true);
        HandleTick();
    } catch (...) {
        HandleWndException(this);
    }
}

void TLMDTimerPool::HandleTick() {
    if (Paused)
        return;
    for (size_t I = 0; I < FEntries.size(); ++I) {
        TimerPoolEntry* E = FEntries[I];
        const unsigned Interval = E->Interval > 0 ? static_cast<unsigned>(E->Interval) : 1;
        if (E->Enabled && FTickCounter % Interval == 0)
            EntryTick(E);
    }
    FTickCounter = FTickCounter == 0xFFFFFFFFu ? 0 : FTickCounter + 1;
}

void TLMDTimerPool::EntryTick(TimerPoolEntry* Entry) {
    if (!Entry->Enabled)
        return;
    Entry->Counter = Entry->Counter == 0x7FFFFFFF ? 0 : Entry->Counter + 1;
    if (Entry->Counter == Entry->RepeatLimit)
        Entry->Enabled = false;
    if (Entry->OnTimer)
        Entry->OnTimer(this);
    else
        OnTimer(this, Entry->Ident, Entry->Counter);
}

// ---------------------------------------------------------------------------------------------
// Application object

std::string TLMDApplication::MutexName() {
    std::string Path = AnsiUpperCase(ParamStr(0));
    const size_t Cut = Path.find_last_of("\\:");
    return Cut == std::string::npos ? Path : Path.substr(Cut + 1);
}

TLMDApplication::TLMDApplication(TComponent* AOwner)
    : TComponent(AOwner), FIniCtrl(Create<TLMDIniCtrl>(nullptr)) {
    if (!ComponentState().Contains(csDesigning)) {
        SetLastError(0);
        FMutex = CreateMutexA(nullptr, FALSE, MutexName().c_str());
        FAlreadyRunning = FMutex && GetLastError() == ERROR_ALREADY_EXISTS;
    }
    FTimerPool.reset(Create<TLMDTimerPool>(nullptr, Word(50)));
    SetLogFileName("");
    LARGE_INTEGER F;
    if (QueryPerformanceFrequency(&F))
        FFrequency = F.QuadPart;
    if (HBITMAP Check = LoadBitmapA(nullptr, MAKEINTRESOURCEA(32759))) {  // OBM_CHECKBOXES
        BITMAP B{};
        GetObjectA(Check, sizeof B, &B);
        FCheckWidth = B.bmWidth / 4;
        FCheckHeight = B.bmHeight / 3;
        DeleteObject(Check);
    }
}

TLMDApplication::~TLMDApplication() {
    FTimerPool.reset();
    FIniCtrl.reset();
    if (FMutex)
        CloseHandle(FMutex);
}

bool TLMDApplication::ThemesAvailable() const {
    TIsThemeActive IsActive = IsThemeActiveFunction();
    return ThemeLibraryLoaded && IsActive && IsActive() != 0;
}

void TLMDApplication::SetThemeUse(bool Value) {
    if (Value == FUseThemes || (Value && !ThemesAvailable()))
        return;
    FUseThemes = Value;
    if (ComponentState().Contains(csDesigning) || !ThemeLibraryLoaded)
        return;
    if (Application && Application->Handle())
        SendMessageA(Application->Handle(), WM_THEMECHANGED, 0, 0);
    if (TSetThemeAppProperties SetProperties = SetThemeAppPropertiesFunction()) {
        if (Value)
            SetProperties(3);
        else if (!OwnControlsOnly)
            SetProperties(0);
    }
    BroadcastThemeChange();
}

namespace {
void SendThemeChangedToTree(TWinControl* Parent) {
    for (int I = 0; I < Parent->ControlCount(); ++I)
        if (auto* Child = DynCast<TWinControl>(Parent->Controls(I))) {
            if (Child->HandleAllocated())
                SendMessageA(Child->Handle(), WM_THEMECHANGED, 0, 0);
            SendThemeChangedToTree(Child);
        }
}
}  // namespace

void TLMDApplication::BroadcastThemeChange() {
    if (!Screen)
        return;
    for (int I = 0; I < Screen->FormCount(); ++I) {
        TCustomForm* Form = Screen->Forms(I);
        if (!Form->Visible())
            continue;
        TMessage Msg{ThemeChangedBroadcast, 0, 0, 0};
        Form->Broadcast(Msg);
        SendThemeChangedToTree(Form);
        if (!OwnControlsOnly && Form->HandleAllocated())
            SendMessageA(Form->Handle(), WM_THEMECHANGED, 0, 0);
    }
}

void TLMDApplication::SetLogFileName(const std::string& Name) {
    std::string File = lmdprocs::IsBlankText(Name) ? ChangeFileExt(ParamStr(0), ".LOG") : Name;
    if (ExtractFileExt(File).empty())
        File += ".LOG";
    FLogFileName = LogPrefix == ppFixed ? File : lmdprocs::PathForPrefix(LogPrefix, true) + ExtractFileName(File);
}

void lmdclassInitialization() {
    if (!GlobalApplication)
        GlobalApplication = Create<TLMDApplication>(nullptr);
}

void lmdclassFinalization() { FreeAndNil(GlobalApplication); }
