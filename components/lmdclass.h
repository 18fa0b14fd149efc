// The second component library's process-wide object (theme use, its INI control and timer pool, a
// log file name, the mutex that tells whether another process of the same program runs) and the
// timer pool: one hidden-window timer serving entries that fire at multiples of its interval.
#pragma once

#include "LMDCustomComponent.h"
#include "LMDIniCtrl.h"
#include "ObjectInstances.h"

#include <vector>

class TLMDTimerPool;

// (Sender, the entry's ident, its counter).
using TLMDTimerPoolEvent = TMethodOf<TObject*, Word, int>;
DECLARE_EVENT_NAME(TLMDTimerPoolEvent)

struct TimerPoolEntry {
    int RepeatLimit = 0;  // the counter value at which the entry switches itself off (0: never)
    int Counter = 0;
    bool Enabled = true;
    Word Ident = 0;
    int Interval = 1;  // in ticks; 0 counts as 1
    TLMDTimerPool* Pool = nullptr;
    TNotifyEvent OnTimer;
};

class TLMDTimerPool : public TLMDCustomComponent {
    DECLARE_CLASS(TLMDTimerPool, TLMDCustomComponent)
public:
    explicit TLMDTimerPool(TComponent* AOwner) : TLMDCustomComponent(AOwner) {}
    TLMDTimerPool(TComponent* AOwner, Word Interval) : TLMDCustomComponent(AOwner), FMinInterval(Interval) {}
    ~TLMDTimerPool() override;
    static void DefineClass(TClassBuilder<TLMDTimerPool>& B);

    // Entries are owned by the pool.
    TimerPoolEntry* AddEntry(Word Ident, int Interval, int RepeatLimit = 0);
    int EntryCount() const { return static_cast<int>(FEntries.size()); }
    TimerPoolEntry* Entries(int Index) const { return FEntries.at(static_cast<size_t>(Index)); }
    int ActiveEntryCount() const;
    void ClearEntries();
    // Starts the window's timer when enabled entries exist ("Not enough timers available" when the
    // platform refuses one), stops it otherwise.
    void UpdateTimer(bool Enable);
    // One tick as the timer gives it: every enabled entry whose interval divides the tick count fires.
    void HandleTick();

    const std::string& About() const { return FAbout; }
    void SetAbout(const std::string&) {}
    Word MinInterval() const { return FMinInterval; }
    // Taken only while the pool is loaded or designed.
    void SetMinInterval(Word Value);
    bool Active() const { return FActive; }
    bool Paused = false;
    unsigned TickCounter() const { return FTickCounter; }
    HWND WindowHandle() const { return FWindow; }

    TLMDTimerPoolEvent OnTimer;

private:
    void TimerWndProc(TMessage& Msg);
    void EntryTick(TimerPoolEntry* Entry);
    std::string FAbout;
    Word FMinInterval = 1000;
    std::vector<TimerPoolEntry*> FEntries;
    bool FActive = false;
    bool FBusy = false;
    unsigned FTickCounter = 0;
    HWND FWindow = nullptr;
};

class TLMDApplication : public TComponent {
    DECLARE_CLASS(TLMDApplication, TComponent)
public:
    explicit TLMDApplication(TComponent* AOwner);
    ~TLMDApplication() override;

    bool ThemesAvailable() const;
    bool ThemesInUse() const { return FUseThemes && ThemesAvailable(); }
    void RefreshThemeState() { FUseThemes = ThemesAvailable(); }
    bool UseThemes() const { return FUseThemes; }
    // Switching sends WM_THEMECHANGED to the application window, sets the theme library's
    // application properties and tells every visible form.
    void SetThemeUse(bool Value);
    void BroadcastThemeChange();
    void SetLogFileName(const std::string& Name);

    bool OwnControlsOnly = false;
    Byte Options = 0x36;  // bit 0 is read by the drawing routines
    TLMDPathPrefix LogPrefix = ppProgram;
    int LogSizeLimit = -1;
    const std::string& LogFileName() const { return FLogFileName; }
    TLMDIniCtrl* IniCtrl() const { return FIniCtrl.get(); }
    TLMDTimerPool* TimerPool() const { return FTimerPool.get(); }
    bool AlreadyRunning() const { return FAlreadyRunning; }
    HANDLE MutexHandle() const { return FMutex; }
    int CheckWidth() const { return FCheckWidth; }
    int CheckHeight() const { return FCheckHeight; }
    Int64 PerformanceFrequency() const { return FFrequency; }

    // The mutex name: the upper-cased program path's file name.
    static std::string MutexName();

private:
    bool FUseThemes = true;
    TOwned<TLMDIniCtrl> FIniCtrl;
    TOwned<TLMDTimerPool> FTimerPool;
    std::string FLogFileName;
    HANDLE FMutex = nullptr;
    bool FAlreadyRunning = false;
    int FCheckWidth = 0, FCheckHeight = 0;
    Int64 FFrequency = 0;
};

inline constexpr UINT ThemeChangedBroadcast = 0xB0D6;

extern TLMDApplication* GlobalApplication;
void lmdclassInitialization();
void lmdclassFinalization();
