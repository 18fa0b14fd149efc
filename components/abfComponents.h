// abfComponents: the component set. The program places two of them on its main window: the tray
// icon (TabfTrayIcon, on the hidden-window timer TabfCustomTimer) and the single-instance guard
// (TabfOneInstance). The others exist for form streaming only: thread components, window-procedure
// hooks, shell file operations and file associations, file storage and the wave player, the start
// button's properties, the colour picker, folder and registry monitors, autorun and shutdown.
#pragma once

#include "ImgList.h"
#include "Threads.h"
#include "Menus.h"
#include "ObjectInstances.h"
#include "abfClasses.h"
#include "abfGraphics.h"
#include "abfSysUtils.h"
#include "abfVclUtils.h"

#include <shellapi.h>

#include <atomic>
#include <string>

class TabfCustomWndProcHook;

// Points a component's reference at Value and moves the free notification that clears it when the
// other component goes (the owner needs none: it outlives what it owns). False when unchanged.
template <class T>
bool abfSetReference(TComponent* Client, T*& Field, T* Value) {
    if (Field == Value)
        return false;
    if (Field && Field != Client->Owner())
        Field->RemoveFreeNotification(Client);
    Field = Value;
    if (Value && Value != Client->Owner())
        Value->FreeNotification(Client);
    return true;
}

// ---------------------------------------------------------------------------------------------
// The set's base

// A component with the published string About; nothing more.
class TabfComponent : public TComponent {
    DECLARE_CLASS(TabfComponent, TComponent)
public:
    explicit TabfComponent(TComponent* AOwner) : TComponent(AOwner) {}
    static void DefineClass(TClassBuilder<TabfComponent>& B);
    const std::string& About() const { return FAbout; }
    void SetAbout(const std::string& Value) { FAbout = Value; }

protected:
    bool Designing() const { return ComponentState().Contains(csDesigning); }
    bool Loading() const { return ComponentState().Contains(csLoading); }

private:
    std::string FAbout;
};

// ---------------------------------------------------------------------------------------------
// Hidden-window timer and tray icon

// A hidden message window of its own with one window timer (id 1) on it. The timer runs while
// Interval is not 0, Enabled is set and OnTimer is assigned. Descendants publish the three under
// names of their own.
class TabfCustomTimer : public TabfComponent {
    DECLARE_CLASS(TabfCustomTimer, TabfComponent)
public:
    explicit TabfCustomTimer(TComponent* AOwner);
    ~TabfCustomTimer() override;
    void BeforeDestruction() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    Cardinal Interval() const { return FInterval; }
    void SetInterval(Cardinal Value);
    TNotifyEvent OnTimer() const { return FOnTimer; }
    void SetOnTimer(const TNotifyEvent& Value);
    // The hidden window, made on the first call (and by a timer that starts).
    HWND WindowHandle();

protected:
    // EOutOfResources "Not enough timers available" when the system refuses the timer.
    void UpdateTimer();
    virtual void WndProc(TMessage& Message);
    virtual void DoTimer();

private:
    Cardinal FInterval = 1000;
    TNotifyEvent FOnTimer;
    bool FEnabled = true;
    HWND FWindowHandle = nullptr;
};

DECLARE_EXCEPTION(EabfTrayIcon, Exception);
DECLARE_ENUM(TabfTrayIconInfoType, tiiNone, tiiInfo, tiiWarning, tiiError)

// The shell's callback message of the tray icon (WM_USER + 211).
inline constexpr UINT WM_ABF_TRAYNOTIFY = WM_USER + 211;
// The number the system gives the message "TaskbarCreated", registered by the unit's start-up: the
// shell sends it when it (re)starts, and visible icons are then added again.
extern UINT WM_TASKBARCREATED;

// An icon in the notification area with its menu, mouse events, balloon and icon cycling; it
// subclasses the application's (taskbar) window to take minimising to the tray.
class TabfTrayIcon : public TabfCustomTimer {
    DECLARE_CLASS(TabfTrayIcon, TabfCustomTimer)
public:
    explicit TabfTrayIcon(TComponent* AOwner);
    ~TabfTrayIcon() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TabfTrayIcon>& B);

    // The icon's own flag: False ignores the shell's mouse callbacks (the icon stays).
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    bool CycleIcons() const { return TabfCustomTimer::Enabled(); }
    void SetCycleIcons(bool Value) { TabfCustomTimer::SetEnabled(Value); }
    Cardinal CycleInterval() const { return TabfCustomTimer::Interval(); }
    void SetCycleInterval(Cardinal Value) { TabfCustomTimer::SetInterval(Value); }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value);  // kept to its first 63 characters
    TIcon* Icon() const;
    void SetIcon(TIcon* Value);
    int IconID() const { return FIconID; }
    void SetIconID(int Value);
    TCustomImageList* ImageList() const { return FImageList; }
    void SetImageList(TCustomImageList* Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool MinimizeOnStart() const { return FMinimizeOnStart; }
    void SetMinimizeOnStart(bool Value) { FMinimizeOnStart = Value; }
    bool MinimizeToTray() const { return FMinimizeToTray; }
    void SetMinimizeToTray(bool Value) { FMinimizeToTray = Value; }
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);
    bool PopupByLeft() const { return FPopupByLeft; }
    void SetPopupByLeft(bool Value) { FPopupByLeft = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool VisibleOnDesigning() const { return FVisibleOnDesigning; }
    void SetVisibleOnDesigning(bool Value);
    LongInt InfoTimeout() const { return FInfoTimeout; }
    void SetInfoTimeout(LongInt Value) { FInfoTimeout = Value; }
    const std::string& InfoText() const { return FInfoText; }
    void SetInfoText(const std::string& Value) { FInfoText = Value; }
    const std::string& InfoTitle() const { return FInfoTitle; }
    void SetInfoTitle(const std::string& Value) { FInfoTitle = Value; }
    TabfTrayIconInfoType InfoType() const { return FInfoType; }
    void SetInfoType(TabfTrayIconInfoType Value) { FInfoType = Value; }
    // The icon record as the last shell request was filled.
    const NOTIFYICONDATAA& IconData() const { return FIconData; }
    // The icon flags kept between calls: NIF_MESSAGE | NIF_TIP, plus NIF_ICON while shown.
    UINT IconFlags() const { return FIconFlags; }

    virtual void FillIconData();
    virtual void UpdateIcon();
    virtual void ShowIcon();
    virtual void HideIcon();
    virtual void ShowPopupMenu();
    virtual void RestoreApplication();
    virtual void MinimizeApplication();
    virtual void ShowBalloon();
    // Also the image list's change handler.
    void UpdateIconFromImageList();

    TNotifyEvent OnMinimize;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnPopupMenu;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnCycleIcons;

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    void WndProc(TMessage& Message) override;
    virtual void AppWndProc(TMessage& Message);
    void DoTimer() override;
    virtual void DoMouseMove(TShiftState Shift, int X, int Y);
    virtual void DoMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void DoMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void DoClick();
    virtual void DoDblClick();
    virtual void DoMinimize();

private:
    void InsertToTray();
    void DeleteFromTray();
    // Takes the application window's procedure (run time only) and gives it back.
    void HookApplication();
    void UnhookApplication();
    void CycleTick(TObject* Sender);
    bool IconStored() const { return FImageList == nullptr; }
    TWinControl* OwnerControl() const { return DynCast<TWinControl>(Owner()); }
    void OwnerToForeground();
    void ShellRequest(DWORD Message, const char* FailureFormat);
    void TaskbarRestarted();
    void ImageListChanged(TObject*) { UpdateIconFromImageList(); }
    // Takes the list's image as the icon when one is due.
    void TakeListIcon() const;

    bool FEnabled = true;
    std::string FHint;
    TIcon* FIcon = nullptr;
    UINT FIconFlags = NIF_MESSAGE | NIF_TIP;
    int FIconID = 0;
    TCustomImageList* FImageList = nullptr;
    int FImageIndex = 0;
    mutable bool FListIconDue = false;  // the list's image is the icon, not made yet
    TChangeLink* FChangeLink = nullptr;
    bool FMinimizeOnStart = false;
    bool FMinimizeToTray = false;
    TPopupMenu* FPopupMenu = nullptr;
    bool FPopupByLeft = false;
    bool FClickPending = false;
    bool FShowHint = true;
    bool FVisible = false;
    bool FVisibleOnDesigning = false;
    LongInt FInfoTimeout = 10000;
    std::string FInfoText;
    std::string FInfoTitle;
    TabfTrayIconInfoType FInfoType = tiiNone;
    NOTIFYICONDATAA FIconData{};
    WNDPROC FOldAppWndProc = nullptr;
    WNDPROC FAppWndProcInstance = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Single-instance guard

using TabfOneInstanceShowMessage = TMethodOf<TObject*, bool&>;

// When its form has loaded, finds out through two named mutexes (the application's Title followed
// by ".OneInstance." and "CriticalSection" or "Default") whether another copy of the program runs;
// if so it tells the user and asks the application to terminate. The first copy owns the instance
// mutex until the unit's shut-down.
class TabfOneInstance : public TabfComponent {
    DECLARE_CLASS(TabfOneInstance, TabfComponent)
public:
    explicit TabfOneInstance(TComponent* AOwner) : TabfComponent(AOwner) {}
    static void DefineClass(TClassBuilder<TabfOneInstance>& B);

    bool ActivatePrevInstance() const { return FActivatePrevInstance; }
    void SetActivatePrevInstance(bool Value) { FActivatePrevInstance = Value; }
    const std::string& Message() const { return FMessage; }
    void SetMessage(const std::string& Value) { FMessage = Value; }
    bool ShowMessage() const { return FShowMessage; }
    void SetShowMessage(bool Value) { FShowMessage = Value; }
    TabfOneInstanceShowMessage OnShowMessage;

    void Loaded() override;
    virtual bool AnotherInstanceRunning();
    virtual void CheckInstance();
    virtual void DoAlreadyRunning();

private:
    bool FActivatePrevInstance = true;
    std::string FMessage;
    bool FShowMessage = false;
};

// The suffixes of the guard's mutex names.
inline constexpr const char* abfOneInstanceCriticalSectionSuffix = ".OneInstance.CriticalSection";
inline constexpr const char* abfOneInstanceDefaultSuffix = ".OneInstance.Default";

// ---------------------------------------------------------------------------------------------
// Thread components

using TabfThreadMethodEx = TMethodOf<void*>;

// A worker thread as a component: OnExecute runs on it (or, with Synchronized, on the main thread)
// each time it is started. Stored values stand in for the thread's while designing and loading.
class TabfCustomThreadComponent : public TabfComponent {
    DECLARE_CLASS(TabfCustomThreadComponent, TabfComponent)
public:
    explicit TabfCustomThreadComponent(TComponent* AOwner) : TabfComponent(AOwner) {}
    ~TabfCustomThreadComponent() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;

    TThreadPriority Priority() const;
    void SetPriority(TThreadPriority Value);
    LongInt ReturnValue() const;
    void SetReturnValue(LongInt Value);
    bool Suspended() const;
    void SetSuspended(bool Value);
    bool Synchronized() const;
    void SetSynchronized(bool Value);
    TNotifyEvent OnTerminate() const;
    void SetOnTerminate(const TNotifyEvent& Value);
    TabfEventThread* Thread() const { return FThread; }

    TNotifyEvent OnExecute;
    // Sender is the exception object.
    TNotifyEvent OnException;

    // Replaces the thread by a fresh one and starts it: the handler runs once more.
    virtual void Execute();
    virtual void Synchronize(const TThreadMethod& Method);
    // Runs Method(Argument) on the main thread; ignored while another such call is pending.
    virtual void SynchronizeEx(void* Argument, const TabfThreadMethodEx& Method);

    void Loaded() override;

protected:
    virtual void DoExecute(TObject* Sender);
    virtual void DoException(TObject* ExceptionObject);
    virtual TabfEventThread* CreateThread(bool CreateSuspended);
    bool RunTime() const { return FThread != nullptr; }

private:
    void NewThread();
    void RecreateThread();
    void FreeThread(TabfEventThread*& Thread);
    void DoExceptionEx(void* ExceptionObject) { DoException(static_cast<TObject*>(ExceptionObject)); }

    TThreadPriority FPriority = tpNormal;
    LongInt FReturnValue = 0;
    bool FSuspended = true;
    bool FSynchronized = false;
    TNotifyEvent FOnTerminate;
    TabfEventThread* FThread = nullptr;
    std::atomic<bool> FSyncPending{false};
};

class TabfThreadComponent : public TabfCustomThreadComponent {
    DECLARE_CLASS(TabfThreadComponent, TabfCustomThreadComponent)
public:
    using TabfCustomThreadComponent::TabfCustomThreadComponent;
    static void DefineClass(TClassBuilder<TabfThreadComponent>& B);
};

// OnTimer (= OnExecute) every Interval ms from a worker thread while Enabled.
class TabfCustomThreadTimer : public TabfCustomThreadComponent {
    DECLARE_CLASS(TabfCustomThreadTimer, TabfCustomThreadComponent)
public:
    using TabfCustomThreadComponent::TabfCustomThreadComponent;
    void BeforeDestruction() override;

    Cardinal Interval() const;
    void SetInterval(Cardinal Value);
    bool Enabled() const { return !Suspended(); }
    void SetEnabled(bool Value) { SetSuspended(!Value); }

protected:
    TabfEventThread* CreateThread(bool CreateSuspended) override;

private:
    Cardinal FInterval = 1000;
};

class TabfThreadTimer : public TabfCustomThreadTimer {
    DECLARE_CLASS(TabfThreadTimer, TabfCustomThreadTimer)
public:
    using TabfCustomThreadTimer::TabfCustomThreadTimer;
    static void DefineClass(TClassBuilder<TabfThreadTimer>& B);
};

// ---------------------------------------------------------------------------------------------
// Window-procedure hooks

using TabfMessageEvent = TMethodOf<TObject*, TMessage&, bool&>;

// The hooks of the process, in creation order; one global list while any hook exists.
class TabfWndProcHookList : public TList {
    DECLARE_CLASS(TabfWndProcHookList, TList)
};
extern TabfWndProcHookList* abfWndProcHookList;

// Sees every message of a window before and after the window's own procedure. Several hooks on one
// window form a chain in list order: the hook created last sees each message first.
class TabfCustomWndProcHook : public TabfComponent {
    DECLARE_CLASS(TabfCustomWndProcHook, TabfComponent)
public:
    explicit TabfCustomWndProcHook(TComponent* AOwner);
    ~TabfCustomWndProcHook() override;
    void BeforeDestruction() override;

    bool Active() const { return FActive; }
    virtual void SetActive(bool Value);
    bool AutoDrag() const { return FAutoDrag; }
    void SetAutoDrag(bool Value) { FAutoDrag = Value; }
    // The explicit window, or the windowed control's; (HWND)-1 when there is none.
    virtual HWND GetHandle();
    virtual void SetHandle(HWND Value);
    // The explicit control, else the owner when it is a windowed control.
    virtual TWinControl* GetWinControl();
    virtual void SetWinControl(TWinControl* Value);
    TWinControl* WinControl() const { return FWinControl; }

    TNotifyEvent OnChangeHandle;
    TNotifyEvent OnChangeWinControl;
    TabfMessageEvent OnMessageAfter;
    TabfMessageEvent OnMessageBefore;

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    virtual void Hook();
    virtual void Unhook();
    virtual void WndProc(TMessage& Message);

private:
    friend void abfRebuildHookChain(HWND Window, TabfCustomWndProcHook* Leaving);
    // Runs Change with the hook switched off, then switches it back on when it was (also on failure).
    template <class F>
    void SwitchedOff(F Change);
    bool FActive = false;
    bool FAutoDrag = false;
    HWND FHandle = nullptr;
    TWinControl* FWinControl = nullptr;
    WNDPROC FPrevWndProc = nullptr;
    WNDPROC FInstance = nullptr;
    bool FChained = false;  // a member of its window's chain right now
    HWND FChainWindow = nullptr;
};

class TabfWndProcHook : public TabfCustomWndProcHook {
    DECLARE_CLASS(TabfWndProcHook, TabfCustomWndProcHook)
public:
    using TabfCustomWndProcHook::TabfCustomWndProcHook;
    static void DefineClass(TClassBuilder<TabfWndProcHook>& B);
};

// ---------------------------------------------------------------------------------------------
// Shell file operation and file association

DECLARE_ENUM(TabfFileOperationType, fotCopy, fotDelete, fotMove, fotRename)
DECLARE_ENUM(TabfFileOperationFlag, fofAllowUndo, fofFilesOnly, fofNoConfirmation, fofNoConfirmMkDir, fofNoErrorUI,
             fofRenameCollision, fofSilent, fofSimpleProgress)
DECLARE_SET(TabfFileOperationFlags, TabfFileOperationFlag)
using TabfFileOperationEvent = TMethodOf<TObject*, const std::string&, bool&>;

// Copies, moves, renames or deletes FileList through the shell. Lines "source=destination" give
// each source its own destination (a mask such as "*.bak" allowed), relative to DestFolder.
class TabfFileOperation : public TabfComponent {
    DECLARE_CLASS(TabfFileOperation, TabfComponent)
public:
    explicit TabfFileOperation(TComponent* AOwner);
    ~TabfFileOperation() override;
    static void DefineClass(TClassBuilder<TabfFileOperation>& B);

    TStrings* FileList() const { return FFileList; }
    void SetFileList(TStrings* Value) { FFileList->Assign(Value); }
    const std::string& DestFolder() const { return FDestFolder; }
    void SetDestFolder(const std::string& Value) { FDestFolder = Value; }
    const std::string& ProgressTitle() const { return FProgressTitle; }
    void SetProgressTitle(const std::string& Value) { FProgressTitle = Value; }
    TabfFileOperationType Operation() const { return FOperation; }
    void SetOperation(TabfFileOperationType Value) { FOperation = Value; }
    TabfFileOperationFlags Options() const { return FOptions; }
    void SetOptions(TabfFileOperationFlags Value) { FOptions = Value; }
    TabfFileOperationEvent OnError;

    // True when the list is empty or the shell reports success.
    virtual bool ExecuteOperation(TabfFileOperationType Op);
    virtual void GetErrorText(DWORD Code, std::string& Text);
    virtual bool DoError(const std::string& Text);
    virtual bool Execute() { return ExecuteOperation(FOperation); }

private:
    TStringList* FFileList = nullptr;
    std::string FDestFolder;
    std::string FProgressTitle;
    TabfFileOperationType FOperation = fotCopy;
    TabfFileOperationFlags FOptions{fofAllowUndo, fofFilesOnly, fofRenameCollision};
};

// The registration of one file extension under HKEY_CLASSES_ROOT. At run time with ReadOnly set,
// assigning a property changes nothing.
class TabfFileAssociation : public TabfComponent {
    DECLARE_CLASS(TabfFileAssociation, TabfComponent)
public:
    explicit TabfFileAssociation(TComponent* AOwner);
    ~TabfFileAssociation() override;
    static void DefineClass(TClassBuilder<TabfFileAssociation>& B);

    enum TVerb { vOpen, vOpenNew, vEdit, vPrint, vPrintTo, VerbCount };
    const std::string& Extension() const { return FExtension; }
    void SetExtension(const std::string& Value);
    const std::string& ExtDescription() const { return FExtDescription; }
    void SetExtDescription(const std::string& Value) { SetText(FExtDescription, Value); }
    const std::string& FileDescription() const { return FFileDescription; }
    void SetFileDescription(const std::string& Value) { SetText(FFileDescription, Value); }
    const std::string& IconFile() const { return FIconFile; }
    void SetIconFile(const std::string& Value) { SetText(FIconFile, Value); }
    LongInt IconIndex() const { return FIconIndex; }
    void SetIconIndex(LongInt Value);
    const std::string& Command(TVerb Verb) const { return FCommands[Verb]; }
    void SetCommand(TVerb Verb, const std::string& Value) { SetText(FCommands[Verb], Value); }
    const std::string& CommandDescription(TVerb Verb) const { return FDescriptions[Verb]; }
    void SetCommandDescription(TVerb Verb, const std::string& Value) { SetText(FDescriptions[Verb], Value); }
    TIcon* LargeIcon() const { return FLargeIcon; }
    TIcon* SmallIcon() const { return FSmallIcon; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }

    virtual bool Refresh();
    virtual bool Save();
    virtual bool Remove();
    virtual void Apply();

private:
    void SetText(std::string& Field, const std::string& Value);
    bool Busy() const { return ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying); }
    void ClearFields();

    std::string FExtension, FExtDescription, FFileDescription, FIconFile;
    LongInt FIconIndex = 0;
    std::string FCommands[VerbCount];
    std::string FDescriptions[VerbCount];
    TIcon* FLargeIcon = nullptr;
    TIcon* FSmallIcon = nullptr;
    bool FReadOnly = true;
};

// ---------------------------------------------------------------------------------------------
// File storage and wave player

DECLARE_EXCEPTION(EabfFileStorage, Exception);
using TabfFileStorageOnFileOperation = TMethodOf<TObject*, bool>;
using TabfFileStorageOnConfirmOverride = TMethodOf<TObject*, bool&>;

// The whole content of one file kept in the form ("FileData": a 32-bit byte count, then the bytes).
class TabfCustomFileStorage : public TabfComponent {
    DECLARE_CLASS(TabfCustomFileStorage, TabfComponent)
public:
    explicit TabfCustomFileStorage(TComponent* AOwner);
    ~TabfCustomFileStorage() override;

    TMemoryStream* Data() const { return FData; }
    Cardinal DataSize() const { return GetDataSize(); }
    void SetDataSizeProp(Cardinal Value) { SetDataSize(Value); }
    bool AutoSave() const { return FAutoSave; }
    const std::string& FileName() const { return FFileName; }
    const std::string& SaveName() const { return FSaveName; }
    void SetSaveName(const std::string& Value);

    TabfFileStorageOnFileOperation OnLoad;
    TabfFileStorageOnFileOperation OnSave;
    TabfFileStorageOnConfirmOverride OnConfirmOverride;

    virtual bool LoadFromFile(const std::string& Name);
    virtual bool SaveToFile(const std::string& Name);
    virtual bool Load() { return LoadFromFile(FFileName); }
    virtual bool Save() { return SaveToFile(FSaveName); }
    virtual void ReadData(TStream& Stream);
    virtual void WriteData(TStream& Stream);
    virtual void SetAutoSave(bool Value);
    virtual void SetFileName(const std::string& Value);
    virtual Cardinal GetDataSize() const { return FDataSize; }
    virtual void SetDataSize(Cardinal Value) { (void)Value; }
    virtual void Clear();

    void DefineProperties(TFiler& Filer) override;
    void Loaded() override;

protected:
    void StoreFileName(const std::string& Value) { FFileName = Value; }

private:
    TMemoryStream* FData = nullptr;
    bool FAutoSave = false;
    Cardinal FDataSize = 0;
    std::string FFileName;
    std::string FSaveName;
};

class TabfFileStorage : public TabfCustomFileStorage {
    DECLARE_CLASS(TabfFileStorage, TabfCustomFileStorage)
public:
    using TabfCustomFileStorage::TabfCustomFileStorage;
    static void DefineClass(TClassBuilder<TabfFileStorage>& B);
};

DECLARE_ENUM(TabfWavPlayFrom, pfFile, pfResource, pfDFM, pfSystemEvent)

// Plays a wave sound from a file, a resource, the stored bytes or a system event's sound.
class TabfWav : public TabfCustomFileStorage {
    DECLARE_CLASS(TabfWav, TabfCustomFileStorage)
public:
    explicit TabfWav(TComponent* AOwner) : TabfCustomFileStorage(AOwner) {}
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TabfWav>& B);

    bool AsyncPlay() const { return FAsyncPlay; }
    virtual void SetAsyncPlay(bool Value);
    bool Looped() const { return FLooped; }
    virtual void SetLooped(bool Value);
    bool NoDefaultSound() const { return FNoDefaultSound; }
    void SetNoDefaultSound(bool Value) { FNoDefaultSound = Value; }
    bool NoStopSound() const { return FNoStopSound; }
    void SetNoStopSound(bool Value) { FNoStopSound = Value; }
    bool NoWaitIfBusy() const { return FNoWaitIfBusy; }
    virtual void SetNoWaitIfBusy(bool Value);
    TabfWavPlayFrom PlayFrom() const { return FPlayFrom; }
    virtual void SetPlayFrom(TabfWavPlayFrom Value);
    const std::string& ResourceName() const { return FResourceName; }
    virtual void SetResourceName(const std::string& Value);
    const std::string& EventAlias() const { return FEventAlias; }
    virtual void SetEventAlias(const std::string& Value);
    void SetFileName(const std::string& Value) override;
    bool Playing() const { return FPlaying; }

    // The arguments PrepareSound gave for PlaySound.
    const void* SoundName() const { return FSoundName; }
    DWORD SoundFlags() const { return FSoundFlags; }
    HMODULE SoundModule() const { return FSoundModule; }

    TNotifyEvent OnPlayAfter;
    TNotifyEvent OnPlayBefore;

    virtual void PrepareSound();
    virtual void Play();
    virtual void Stop();

private:
    void PlayAgainOrStop(bool Again);
    bool FileNameStored() const { return FPlayFrom == pfFile; }
    bool ResourceNameStored() const { return FPlayFrom == pfResource; }
    bool EventAliasStored() const { return FPlayFrom == pfSystemEvent; }

    bool FAsyncPlay = true;
    bool FLooped = false;
    bool FNoDefaultSound = true;
    bool FNoStopSound = false;
    TabfWavPlayFrom FPlayFrom = pfFile;
    std::string FResourceName = "WAVE1";
    bool FNoWaitIfBusy = true;
    std::string FEventAlias = ".Default";
    const void* FSoundName = nullptr;
    DWORD FSoundFlags = 0;
    HMODULE FSoundModule = nullptr;
    bool FPlaying = false;
};

// ---------------------------------------------------------------------------------------------
// Start button and colour picker

// The taskbar's start button as properties; with no taskbar everything reads 0 and writes nothing.
class TabfStartButtonProperties : public TabfComponent {
    DECLARE_CLASS(TabfStartButtonProperties, TabfComponent)
public:
    explicit TabfStartButtonProperties(TComponent* AOwner);
    ~TabfStartButtonProperties() override { FHandle = nullptr; }
    static void DefineClass(TClassBuilder<TabfStartButtonProperties>& B);

    HWND Handle() const { return FHandle; }
    int ButtonLeft();
    void SetButtonLeft(int Value) { SetPlacement(Value, FTop, FWidth, FHeight); }
    int ButtonTop();
    void SetButtonTop(int Value) { SetPlacement(FLeft, Value, FWidth, FHeight); }
    int ButtonWidth();
    void SetButtonWidth(int Value) { SetPlacement(FLeft, FTop, Value, FHeight); }
    int ButtonHeight();
    void SetButtonHeight(int Value) { SetPlacement(FLeft, FTop, FWidth, Value); }
    bool Enabled() const { return FHandle && IsWindowEnabled(FHandle); }
    void SetEnabled(bool Value);
    bool Visible() const { return FHandle && IsWindowVisible(FHandle); }
    void SetVisible(bool Value);

    virtual void ReadPlacement();
    virtual void SetPlacement(int Left, int Top, int Width, int Height);

private:
    int FHeight = 0, FTop = 0, FWidth = 0, FLeft = 0;
    HWND FHandle = nullptr;
};

// A timer (100 ms by default) whose handler reads the colour under the mouse with GetColor.
class TabfColorPicker : public TabfCustomTimer {
    DECLARE_CLASS(TabfColorPicker, TabfCustomTimer)
public:
    explicit TabfColorPicker(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TabfColorPicker>& B);

    TCursor Cursor() const { return FCursor; }
    virtual void SetCursor(TCursor Index);
    virtual TColor GetColor();

protected:
    void DoTimer() override;
    virtual void UpdateCursor();

private:
    TCursor FCursor = 0;
};

// ---------------------------------------------------------------------------------------------
// Folder and registry monitors

DECLARE_ENUM(TFolderMonitorFilter, fmfFileNameChange, fmfDirNameChange, fmfAttributeChange, fmfSizeChange,
             fmfWriteChange, fmfSecurityChange)
DECLARE_SET(TFolderMonitorFilters, TFolderMonitorFilter)
DECLARE_ENUM(TabfRegistryMonitorFilter, rmfSubTreeChange, rmfAttributeChange, rmfValueChange, rmfSecurityChange)
DECLARE_SET(TabfRegistryMonitorFilters, TabfRegistryMonitorFilter)

// The system's FILE_NOTIFY_CHANGE_ and REG_NOTIFY_CHANGE_ values of the filters.
DWORD FolderMonitorFilterFlags(TFolderMonitorFilters Filters);
DWORD RegistryMonitorFilterFlags(TabfRegistryMonitorFilters Filters);

// What both monitors share: an active monitor with a handler runs one worker; stopping wakes the
// worker and waits for it, so no change is reported after StopMonitor returns.
class TabfCustomMonitor : public TabfComponent {
    DECLARE_CLASS(TabfCustomMonitor, TabfComponent)
public:
    using TabfComponent::TabfComponent;
    ~TabfCustomMonitor() override;
    void BeforeDestruction() override;

    bool Active() const { return FActive; }
    void SetActive(bool Value);
    bool WatchSubTree() const { return FWatchSubTree; }
    void SetWatchSubTree(bool Value);
    TThreadMethod OnChange() const { return FOnChange; }
    void SetOnChange(const TThreadMethod& Value);
    TThread* Worker() const { return FWorker; }

    virtual void UpdateMonitor();
    virtual void StartMonitor();
    virtual void StopMonitor();
    void Loaded() override;

protected:
    // A suspended worker with its parameters set.
    virtual TThread* CreateWorker() = 0;
    // Changes a parameter: UpdateMonitor when the value differs.
    template <class T>
    void ChangeParameter(T& Field, const T& Value) {
        if (Field == Value)
            return;
        Field = Value;
        UpdateMonitor();
    }

private:
    bool FActive = false;
    bool FWatchSubTree = true;
    TThreadMethod FOnChange;
    TThread* FWorker = nullptr;
};

class TabfCustomFolderMonitor : public TabfCustomMonitor {
    DECLARE_CLASS(TabfCustomFolderMonitor, TabfCustomMonitor)
public:
    using TabfCustomMonitor::TabfCustomMonitor;
    const std::string& Folder() const { return FFolder; }
    void SetFolder(const std::string& Value) { ChangeParameter(FFolder, Value); }
    TFolderMonitorFilters NotifyFilters() const { return FNotifyFilters; }
    void SetNotifyFilters(TFolderMonitorFilters Value) { ChangeParameter(FNotifyFilters, Value); }

protected:
    TThread* CreateWorker() override;

private:
    std::string FFolder = "C:\\";
    TFolderMonitorFilters FNotifyFilters{fmfFileNameChange, fmfDirNameChange};
};

class TabfFolderMonitor : public TabfCustomFolderMonitor {
    DECLARE_CLASS(TabfFolderMonitor, TabfCustomFolderMonitor)
public:
    using TabfCustomFolderMonitor::TabfCustomFolderMonitor;
    static void DefineClass(TClassBuilder<TabfFolderMonitor>& B);
};

class TabfCustomRegistryMonitor : public TabfCustomMonitor {
    DECLARE_CLASS(TabfCustomRegistryMonitor, TabfCustomMonitor)
public:
    using TabfCustomMonitor::TabfCustomMonitor;
    TabfRegistryMonitorFilters NotifyFilters() const { return FNotifyFilters; }
    void SetNotifyFilters(TabfRegistryMonitorFilters Value) { ChangeParameter(FNotifyFilters, Value); }
    const std::string& RegistryKey() const { return FRegistryKey; }
    void SetRegistryKey(const std::string& Value) { ChangeParameter(FRegistryKey, Value); }
    TabfRegRootKey RootKey() const { return FRootKey; }
    void SetRootKey(TabfRegRootKey Value) { ChangeParameter(FRootKey, Value); }

protected:
    TThread* CreateWorker() override;

private:
    TabfRegistryMonitorFilters FNotifyFilters{rmfSubTreeChange, rmfValueChange};
    std::string FRegistryKey;
    TabfRegRootKey FRootKey = rrkCurrentUser;
};

class TabfRegistryMonitor : public TabfCustomRegistryMonitor {
    DECLARE_CLASS(TabfRegistryMonitor, TabfCustomRegistryMonitor)
public:
    using TabfCustomRegistryMonitor::TabfCustomRegistryMonitor;
    static void DefineClass(TClassBuilder<TabfRegistryMonitor>& B);
};

// ---------------------------------------------------------------------------------------------
// Autorun and shutdown

// Keeps FileName (the program itself at run time) registered in one autorun list while AutoRun is
// set: applied when the form has loaded and whenever a property changes.
class TabfAutoRun : public TabfComponent {
    DECLARE_CLASS(TabfAutoRun, TabfComponent)
public:
    explicit TabfAutoRun(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TabfAutoRun>& B);

    bool AutoRun() const { return FAutoRun; }
    void SetAutoRun(bool Value) { Change(FAutoRun, Value); }
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& Value) { Change(FFileName, Value); }
    TabfAutoExecKind Kind() const { return FKind; }
    void SetKind(TabfAutoExecKind Value) { Change(FKind, Value); }

    virtual void Apply();
    virtual void Unregister();
    void Loaded() override;

private:
    template <class T>
    void Change(T& Field, const T& Value) {
        if (Field == Value)
            return;
        Unregister();
        Field = Value;
        Apply();
    }

    bool FAutoRun = false;
    std::string FFileName;
    TabfAutoExecKind FKind = aekMachineRun;
};

DECLARE_ENUM(TabfShutdownActionType, aatPowerOff, aatShutdown, aatReboot, aatLogOff, aatSuspend, aatHibernate)
using TabfQueryShutdownEvent = TMethodOf<TObject*, bool&>;

// Logs off, shuts down, restarts, switches off, suspends or hibernates the machine on request.
class TabfShutdown : public TabfComponent {
    DECLARE_CLASS(TabfShutdown, TabfComponent)
public:
    explicit TabfShutdown(TComponent* AOwner) : TabfComponent(AOwner) {}
    static void DefineClass(TClassBuilder<TabfShutdown>& B);

    TabfShutdownActionType ActionType() const { return FActionType; }
    void SetActionType(TabfShutdownActionType Value) { FActionType = Value; }
    bool Force() const { return FForce; }
    void SetForce(bool Value) { FForce = Value; }
    TabfQueryShutdownEvent OnQueryShutdown;

    virtual void DoQueryShutdown(bool& CanShutdown);
    // True when the system accepted the request.
    virtual bool Execute();

private:
    TabfShutdownActionType FActionType = aatPowerOff;
    bool FForce = false;
};

// ---------------------------------------------------------------------------------------------
// Unit start-up and shut-down

// The single-instance guard's instance mutex, shared by all guards of the process (null when none).
extern HANDLE abfOneInstanceMutex;

// Start-up: clears the instance mutex, registers "TaskbarCreated" and the set's 23 classes.
// Shut-down: frees the hook list, releases and closes the instance mutex.
void abfComponentsInitialization();
void abfComponentsFinalization();
