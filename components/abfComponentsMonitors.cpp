// Folder and registry monitors: components that run one change-notification worker while active.
#include "abfComponents.h"

DWORD FolderMonitorFilterFlags(TFolderMonitorFilters Filters) {
    static const DWORD Map[] = {FILE_NOTIFY_CHANGE_FILE_NAME,  FILE_NOTIFY_CHANGE_DIR_NAME,
                                FILE_NOTIFY_CHANGE_ATTRIBUTES, FILE_NOTIFY_CHANGE_SIZE,
                                FILE_NOTIFY_CHANGE_LAST_WRITE, FILE_NOTIFY_CHANGE_SECURITY};
    DWORD Flags = 0;
    for (int I = fmfFileNameChange; I <= fmfSecurityChange; ++I)
        if (Filters.Contains(static_cast<TFolderMonitorFilter>(I)))
            Flags |= Map[I];
    return Flags;
}

DWORD RegistryMonitorFilterFlags(TabfRegistryMonitorFilters Filters) {
    static const DWORD Map[] = {REG_NOTIFY_CHANGE_NAME, REG_NOTIFY_CHANGE_ATTRIBUTES, REG_NOTIFY_CHANGE_LAST_SET,
                                REG_NOTIFY_CHANGE_SECURITY};
    DWORD Flags = 0;
    for (int I = rmfSubTreeChange; I <= rmfSecurityChange; ++I)
        if (Filters.Contains(static_cast<TabfRegistryMonitorFilter>(I)))
            Flags |= Map[I];
    return Flags;
}

// ---------------------------------------------------------------------------------------------
// TabfCustomMonitor

TabfCustomMonitor::~TabfCustomMonitor() { StopMonitor(); }

void TabfCustomMonitor::BeforeDestruction() {
    StopMonitor();
    TabfComponent::BeforeDestruction();
}

void TabfCustomMonitor::SetActive(bool Value) {
    FActive = Value;
    UpdateMonitor();
}

void TabfCustomMonitor::SetWatchSubTree(bool Value) { ChangeParameter(FWatchSubTree, Value); }

void TabfCustomMonitor::SetOnChange(const TThreadMethod& Value) {
    FOnChange = Value;
    UpdateMonitor();
}

void TabfCustomMonitor::Loaded() {
    TabfComponent::Loaded();
    SetActive(FActive);
}

void TabfCustomMonitor::UpdateMonitor() {
    if (FActive)
        StartMonitor();
    else
        StopMonitor();
}

void TabfCustomMonitor::StartMonitor() {
    StopMonitor();
    TComponentState S = ComponentState();
    if (S.Contains(csDesigning) || S.Contains(csReading) || S.Contains(csLoading) || S.Contains(csDestroying))
        return;
    if (!FActive || !FOnChange)
        return;
    FWorker = CreateWorker();
    FWorker->Start();
}

void TabfCustomMonitor::StopMonitor() {
    if (!FWorker)
        return;
    // Free stops the worker, wakes it and waits for it: after this no change is reported.
    FreeAndNil(FWorker);
}

// ---------------------------------------------------------------------------------------------

TThread* TabfCustomFolderMonitor::CreateWorker() {
    auto* W = Create<TabfFolderMonitorThread>(OnChange());
    W->SetParameters(FFolder, WatchSubTree(), FolderMonitorFilterFlags(FNotifyFilters));
    return W;
}

void TabfFolderMonitor::DefineClass(TClassBuilder<TabfFolderMonitor>& B) {
    using T = TabfFolderMonitor;
    B.Property("Active", &T::Active, &T::SetActive).Default(false);
    B.Property("Folder", &T::Folder, &T::SetFolder);
    B.Property("NotifyFilters", &T::NotifyFilters, &T::SetNotifyFilters)
        .Default(TFolderMonitorFilters{fmfFileNameChange, fmfDirNameChange});
    B.Property("WatchSubTree", &T::WatchSubTree, &T::SetWatchSubTree).Default(true);
    B.Property("OnChange", &T::OnChange, &T::SetOnChange);
}

TThread* TabfCustomRegistryMonitor::CreateWorker() {
    auto* W = Create<TabfRegistryMonitorThread>(OnChange());
    W->SetParameters(RegRootKeyToHKEY(FRootKey), FRegistryKey, RegistryMonitorFilterFlags(FNotifyFilters),
                     WatchSubTree());
    return W;
}

void TabfRegistryMonitor::DefineClass(TClassBuilder<TabfRegistryMonitor>& B) {
    using T = TabfRegistryMonitor;
    B.Property("Active", &T::Active, &T::SetActive).Default(false);
    B.Property("RegistryKey", &T::RegistryKey, &T::SetRegistryKey);
    B.Property("RootKey", &T::RootKey, &T::SetRootKey).Default(rrkCurrentUser);
    B.Property("NotifyFilters", &T::NotifyFilters, &T::SetNotifyFilters)
        .Default(TabfRegistryMonitorFilters{rmfSubTreeChange, rmfValueChange});
    B.Property("WatchSubTree", &T::WatchSubTree, &T::SetWatchSubTree).Default(true);
    B.Property("OnChange", &T::OnChange, &T::SetOnChange);
}
