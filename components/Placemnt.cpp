#include "Placemnt.h"

#include "IniFiles.h"
#include "Menus.h"
#include "Registry.h"
#include "Restore.h"
#include "RxAppUtils.h"

#include <algorithm>

// ---------------------------------------------------------------------------------------------
// TWinMinMaxInfo

void TWinMinMaxInfo::DefineClass(TClassBuilder<TWinMinMaxInfo>& B) {
    static const char* const Names[] = {"MaxPosLeft",    "MaxPosTop",     "MaxSizeHeight",  "MaxSizeWidth",
                                        "MaxTrackHeight", "MaxTrackWidth", "MinTrackHeight", "MinTrackWidth"};
    // One accessor pair per index, as the properties are declared with their index.
    auto Add = [&]<int I>(std::integral_constant<int, I>) {
        B.Property(Names[I], [](TWinMinMaxInfo* S) { return S->Value(I); },
                   [](TWinMinMaxInfo* S, int V) { S->SetValue(I, V); })
            .Default(0);
    };
    [&]<int... I>(std::integer_sequence<int, I...>) {
        (Add(std::integral_constant<int, I>{}), ...);
    }(std::make_integer_sequence<int, 8>{});
}

LONG& TWinMinMaxInfo::Field(int Index) {
    switch (Index) {
    case 0: return FMinMaxInfo.ptMaxPosition.x;
    case 1: return FMinMaxInfo.ptMaxPosition.y;
    case 2: return FMinMaxInfo.ptMaxSize.y;
    case 3: return FMinMaxInfo.ptMaxSize.x;
    case 4: return FMinMaxInfo.ptMaxTrackSize.y;
    case 5: return FMinMaxInfo.ptMaxTrackSize.x;
    case 6: return FMinMaxInfo.ptMinTrackSize.y;
    default: return FMinMaxInfo.ptMinTrackSize.x;
    }
}

int TWinMinMaxInfo::Value(int Index) const { return const_cast<TWinMinMaxInfo*>(this)->Field(Index); }

void TWinMinMaxInfo::SetValue(int Index, int Value) {
    if (Field(Index) == Value)
        return;
    Field(Index) = Value;
    if (FOwner)
        FOwner->MinMaxInfoModified();
}

bool TWinMinMaxInfo::DefaultMinMaxInfo() const {
    for (int I = 0; I < 8; ++I)
        if (Value(I) != 0)
            return false;
    return true;
}

void TWinMinMaxInfo::Assign(TPersistent* Source) {
    auto* S = DynCast<TWinMinMaxInfo>(Source);
    if (!S) {
        TPersistent::Assign(Source);
        return;
    }
    FMinMaxInfo = S->FMinMaxInfo;
    if (FOwner)
        FOwner->MinMaxInfoModified();
}

// ---------------------------------------------------------------------------------------------
// TIniLink

TIniLink::~TIniLink() { SetStorage(nullptr); }

void TIniLink::SetStorage(TFormPlacement* Value) {
    if (FStorage)
        std::erase(FStorage->FLinks, this);
    FStorage = Value;
    if (Value)
        Value->FLinks.push_back(this);
}

TObject* TIniLink::StorageObject() const { return FStorage ? FStorage->StorageObject() : nullptr; }

std::string TIniLink::RootSection() const {
    if (!FStorage || FStorage->IniSectionSet().empty())
        return std::string();
    return FStorage->IniSectionSet() + "\\";
}

// ---------------------------------------------------------------------------------------------
// TFormPlacement

TFormPlacement::TFormPlacement(TComponent* AOwner) : TComponent(AOwner), FMinMaxInfo(new TWinMinMaxInfo(this)) {
    if (!(AOwner && AOwner->Is<TForm>()))
        FOptions = TPlacementOptions{};
    FWinHook = Create<TRxWindowHook>(nullptr);
    FWinHook->SetActive(false);
    FWinHook->AfterMessage = THookMessageEvent::Bind<&TFormPlacement::PlacementMessageHook>(this);
}

TFormPlacement::~TFormPlacement() {
    FreeAndNil(FWinHook);
    delete FMinMaxInfo;
}

void TFormPlacement::BeforeDestruction() {
    CloseStorage();
    while (!FLinks.empty())
        FLinks.back()->SetStorage(nullptr);
    if (!ComponentState().Contains(csDesigning)) {
        FreeAndNil(FWinHook);
        RestoreFormEvents();
    }
    TComponent::BeforeDestruction();
}

void TFormPlacement::DefineClass(TClassBuilder<TFormPlacement>& B) {
    B.Property("Active", &TFormPlacement::Active, &TFormPlacement::SetActive).Default(true);
    B.Property("IniFileName", &TFormPlacement::FIniFileName, &TFormPlacement::SetIniFileName);
    B.Property("IniSection", &TFormPlacement::FIniSection, &TFormPlacement::SetIniSection);
    B.Property("MinMaxInfo", &TFormPlacement::MinMaxInfo, &TFormPlacement::SetMinMaxInfo);
    B.Property("Options", &TFormPlacement::Options, &TFormPlacement::SetOptions)
        .Default(TPlacementOptions{fpState, fpPosition});
    B.Property("PreventResize", &TFormPlacement::PreventResize, &TFormPlacement::SetPreventResize).Default(false);
    B.Property("RegistryRoot", &TFormPlacement::RegistryRoot, &TFormPlacement::SetRegistryRoot).Default(prCurrentUser);
    B.Property("UseRegistry", &TFormPlacement::UseRegistry, &TFormPlacement::SetUseRegistry).Default(false);
    B.Property("Version", &TFormPlacement::Version, &TFormPlacement::SetVersion).Default(0);
    B.Property("OnSavePlacement", &TFormPlacement::OnSavePlacement, &TFormPlacement::OnSavePlacement);
    B.Property("OnRestorePlacement", &TFormPlacement::OnRestorePlacement, &TFormPlacement::OnRestorePlacement);
}

TCustomForm* TFormPlacement::Form() const { return DynCast<TCustomForm>(Owner()); }

std::string TFormPlacement::IniFileName() const {
    if (!FIniFileName.empty() || ComponentState().Contains(csDesigning))
        return FIniFileName;
    return FUseRegistry ? DefaultRegistryKey() : DefaultIniFileName();
}

std::string TFormPlacement::IniSection() const {
    if (!FIniSection.empty() || ComponentState().Contains(csDesigning))
        return FIniSection;
    return DefaultSectionName(Owner());
}

void TFormPlacement::SetPreventResize(bool Value) {
    if (!Form() || Value == FPreventResize)
        return;
    FPreventResize = Value;
    AdjustMaximisedPosition();
    ApplyResizeLock();
}

// ---------------------------------------------------------------------------------------------
// Storage

TObject* TFormPlacement::StorageObject() const {
    if (FRegIniFile)
        return FRegIniFile;
    return FIniFile;
}

void TFormPlacement::OpenStorage(bool ReadOnly) {
    if (StorageObject())
        return;
    if (FUseRegistry) {
        std::string Key = IniFileName();
        FRegIniFile = new TRegIniFile(Key, ReadOnly ? KEY_READ : KEY_ALL_ACCESS);
        if (FRegistryRoot != prCurrentUser) {
            static const HKEY Roots[] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_CURRENT_CONFIG,
                                         HKEY_CLASSES_ROOT, HKEY_USERS,         HKEY_DYN_DATA};
            FRegIniFile->SetRootKey(Roots[FRegistryRoot]);
            FRegIniFile->OpenKey(Key, !ReadOnly);
        }
    } else
        FIniFile = new TIniFile(IniFileName());
}

void TFormPlacement::CloseStorage() {
    FreeAndNil(FRegIniFile);
    FreeAndNil(FIniFile);
}

template <class F>
auto TFormPlacement::WithStorage(bool ReadOnly, F Body) {
    bool Temporary = !StorageObject();
    if (Temporary)
        OpenStorage(ReadOnly);
    try {
        if constexpr (std::is_void_v<decltype(Body(StorageObject()))>) {
            Body(StorageObject());
            if (Temporary)
                CloseStorage();
        } else {
            auto Result = Body(StorageObject());
            if (Temporary)
                CloseStorage();
            return Result;
        }
    } catch (...) {
        if (Temporary)
            CloseStorage();
        throw;
    }
}

std::string TFormPlacement::ReadStoredString(const std::string& Section, const std::string& Ident,
                                             const std::string& Default) {
    return WithStorage(true, [&](TObject* S) { return StorageReadString(S, Section, Ident, Default); });
}

void TFormPlacement::WriteStoredString(const std::string& Section, const std::string& Ident, const std::string& Value) {
    WithStorage(false, [&](TObject* S) { StorageWriteString(S, Section, Ident, Value); });
}

int TFormPlacement::ReadStoredInteger(const std::string& Ident, int Default) {
    return WithStorage(true, [&](TObject* S) { return StorageReadInteger(S, IniSection(), Ident, Default); });
}

void TFormPlacement::WriteStoredInteger(const std::string& Ident, int Value) {
    WithStorage(false, [&](TObject* S) { StorageWriteInteger(S, IniSection(), Ident, Value); });
}

// ---------------------------------------------------------------------------------------------
// Saving and restoring

void TFormPlacement::StoreFormPlacement() {
    // A placement that was never restored would overwrite the stored one with the designed one.
    if (FActive && !FRestored)
        return;
    OpenStorage(false);
    try {
        StorageWriteInteger(StorageObject(), IniSection(), "FormVersion", FVersion);
        StorePlacementValues();
        SavePlacementEvent();
        FSaved = true;
    } catch (...) {
        CloseStorage();
        throw;
    }
    CloseStorage();
}

void TFormPlacement::StorePlacementValues() {
    if (TCustomForm* F = Form()) {
        if (FOptions.Contains(fpState) || FOptions.Contains(fpPosition)) {
            WriteFormPlacementValues(F, StorageObject(), IniSection());
            StorageWriteInteger(StorageObject(), IniSection(), "Visible", FDestroying ? 1 : 0);
        }
        if (FOptions.Contains(fpActiveControl) && F->ActiveControl())
            StorageWriteString(StorageObject(), IniSection(), "ActiveControl", F->ActiveControl()->Name());
    }
    std::vector<TIniLink*> Links = FLinks;
    for (TIniLink* L : Links)
        L->SaveValues();
}

void TFormPlacement::LoadFormPlacement() {
    FSaved = false;
    OpenStorage(true);
    try {
        if (StorageReadInteger(StorageObject(), IniSection(), "FormVersion", 0) >= FVersion) {
            LoadPlacementValues();
            FRestored = true;
            RestorePlacementEvent();
            TCustomForm* F = Form();
            if (FOptions.Contains(fpActiveControl) && F) {
                std::string Name = StorageReadString(StorageObject(), IniSection(), "ActiveControl", "");
                auto* C = DynCast<TWinControl>(F->FindComponent(Name));
                if (C && C->CanFocus())
                    F->SetActiveControl(C);
            }
        }
        FRestored = true;
    } catch (...) {
        CloseStorage();
        throw;
    }
    CloseStorage();
    AdjustMaximisedPosition();
}

void TFormPlacement::LoadPlacementValues() {
    if (TCustomForm* F = Form())
        ReadFormPlacementValues(F, StorageObject(), IniSection(), FOptions.Contains(fpPosition),
                                FOptions.Contains(fpState));
    std::vector<TIniLink*> Links = FLinks;
    for (TIniLink* L : Links)
        L->LoadValues();
}

// ---------------------------------------------------------------------------------------------
// Life on the form

void TFormPlacement::Loaded() {
    bool WasLoading = ComponentState().Contains(csLoading);
    TComponent::Loaded();
    if (ComponentState().Contains(csDesigning))
        return;
    if (WasLoading)
        ChainFormEvents();
    UpdateWindowHook();
}

void TFormPlacement::ChainFormEvents() {
    TCustomForm* F = Form();
    if (!F)
        return;
    FSaveFormShow = F->OnShow;
    FSaveFormCloseQuery = F->OnCloseQuery;
    FSaveFormDestroy = F->OnDestroy;
    F->OnShow = TNotifyEvent::Bind<&TFormPlacement::FormShow>(this);
    F->OnCloseQuery = TCloseQueryEvent::Bind<&TFormPlacement::FormCloseQuery>(this);
    F->OnDestroy = TNotifyEvent::Bind<&TFormPlacement::FormDestroy>(this);
    FEventsChained = true;
    FDefMaximize = F->BorderIcons().Contains(biMaximize);
    if (FPreventResize)
        ApplyResizeLock();
}

void TFormPlacement::RestoreFormEvents() {
    TCustomForm* F = Form();
    if (!F || !FEventsChained)
        return;
    F->OnShow = FSaveFormShow;
    F->OnCloseQuery = FSaveFormCloseQuery;
    F->OnDestroy = FSaveFormDestroy;
    FEventsChained = false;
}

void TFormPlacement::FormShow(TObject* Sender) {
    if (FActive) {
        try {
            LoadFormPlacement();
        } catch (...) {
            Application->HandleException(this);
        }
    }
    FSaveFormShow(Sender);
}

void TFormPlacement::FormCloseQuery(TObject* Sender, bool& CanClose) {
    FSaveFormCloseQuery(Sender, CanClose);
    TCustomForm* F = Form();
    if (CanClose && FActive && F && F->HandleAllocated()) {
        try {
            StoreFormPlacement();
        } catch (...) {
            Application->HandleException(this);
        }
    }
}

void TFormPlacement::FormDestroy(TObject* Sender) {
    if (FActive && !FSaved) {
        TRestore<bool> Destroying(FDestroying, true);
        try {
            StoreFormPlacement();
        } catch (...) {
            Application->HandleException(this);
        }
    }
    FSaveFormDestroy(Sender);
}

// ---------------------------------------------------------------------------------------------
// Size limits and the resize lock

void TFormPlacement::PlacementMessageHook(TObject*, TMessage& Msg, bool&) {
    TCustomForm* F = Form();
    if (FPreventResize && F) {
        switch (Msg.Msg) {
        case WM_GETMINMAXINFO:
            if (F->HandleAllocated() && IsWindowVisible(F->Handle())) {
                auto* Info = reinterpret_cast<MINMAXINFO*>(Msg.LParam);
                Info->ptMinTrackSize = POINT{F->Width(), F->Height()};
                Info->ptMaxTrackSize = POINT{F->Width(), F->Height()};
            }
            break;
        case WM_NCHITTEST:
            if (Msg.Result >= HTLEFT && Msg.Result <= HTBOTTOMRIGHT)
                Msg.Result = HTNOWHERE;
            break;
        case WM_INITMENUPOPUP:
            if (HIWORD(Msg.LParam) != 0) {
                auto Popup = reinterpret_cast<HMENU>(Msg.WParam);
                if (F->Menu())
                    F->Menu()->DispatchPopup(Popup);
                EnableMenuItem(Popup, SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
                EnableMenuItem(Popup, SC_MAXIMIZE, MF_BYCOMMAND | MF_GRAYED);
            }
            break;
        default:
            break;
        }
    } else if (Msg.Msg == WM_GETMINMAXINFO) {
        auto* Info = reinterpret_cast<MINMAXINFO*>(Msg.LParam);
        if (!FMinMaxInfo->DefaultMinMaxInfo()) {
            const MINMAXINFO& M = FMinMaxInfo->Record();
            auto Take = [](LONG& Target, LONG Value) {
                if (Value != 0)
                    Target = Value;
            };
            Take(Info->ptMinTrackSize.x, M.ptMinTrackSize.x);
            Take(Info->ptMinTrackSize.y, M.ptMinTrackSize.y);
            Take(Info->ptMaxTrackSize.x, M.ptMaxTrackSize.x);
            Take(Info->ptMaxTrackSize.y, M.ptMaxTrackSize.y);
            Take(Info->ptMaxSize.x, M.ptMaxSize.x);
            Take(Info->ptMaxSize.y, M.ptMaxSize.y);
            Take(Info->ptMaxPosition.x, M.ptMaxPosition.x);
            Take(Info->ptMaxPosition.y, M.ptMaxPosition.y);
        } else
            Info->ptMaxPosition = POINT{0, 0};
    }
}

void TFormPlacement::UpdateWindowHook() {
    if (!FWinHook)
        return;
    if ((!FMinMaxInfo->DefaultMinMaxInfo() || FPreventResize) && !ComponentState().Contains(csDesigning) && Form()) {
        FWinHook->SetActive(false);
        FWinHook->SetWinControl(Form());
        FWinHook->SetActive(true);
    } else
        FWinHook->SetActive(false);
}

void TFormPlacement::MinMaxInfoModified() {
    AdjustMaximisedPosition();
    if (!ComponentState().Contains(csLoading))
        UpdateWindowHook();
}

void TFormPlacement::AdjustMaximisedPosition() {
    TCustomForm* F = Form();
    if (!F || !F->HandleAllocated() || ComponentState().Contains(csLoading) || FPreventResize ||
        !FMinMaxInfo->DefaultMinMaxInfo())
        return;
    WINDOWPLACEMENT P{};
    P.length = sizeof P;
    if (!GetWindowPlacement(F->Handle(), &P))
        return;
    if (!IsWindowVisible(F->Handle()))
        P.showCmd = SW_HIDE;
    int X = 0, Y = 0;
    switch (F->BorderStyle()) {
    case bsSingle:
    case bsToolWindow:
        X = GetSystemMetrics(SM_CXBORDER), Y = GetSystemMetrics(SM_CYBORDER);
        break;
    case bsSizeable:
    case bsSizeToolWin:
        X = GetSystemMetrics(SM_CXFRAME), Y = GetSystemMetrics(SM_CYFRAME);
        break;
    case bsDialog:
        X = GetSystemMetrics(SM_CXDLGFRAME), Y = GetSystemMetrics(SM_CYDLGFRAME);
        break;
    default:
        break;
    }
    P.ptMaxPosition = POINT{-X, -Y};
    SetWindowPlacement(F->Handle(), &P);
}

void TFormPlacement::ApplyResizeLock() {
    TCustomForm* F = Form();
    if (ComponentState().Contains(csDesigning) || !F)
        return;
    if (FPreventResize)
        FDefMaximize = F->BorderIcons().Contains(biMaximize);
    bool WasActive = FActive;
    FActive = false;
    try {
        TBorderIcons Icons = F->BorderIcons();
        if (!FPreventResize && FDefMaximize && F->BorderStyle() != bsDialog)
            Icons.Include(biMaximize);
        else
            Icons.Exclude(biMaximize);
        F->SetBorderIcons(Icons);
    } catch (...) {
        FActive = WasActive;
        throw;
    }
    FActive = WasActive;
    if (!ComponentState().Contains(csLoading))
        UpdateWindowHook();
}
