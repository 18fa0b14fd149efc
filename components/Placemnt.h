// Form placement storage: TFormPlacement keeps a form's window placement (normal position and
// size, minimised and maximised positions, show state, active control) in an INI file or under a
// registry key, restores it when the form is shown and saves it when the form closes; TIniLink
// lets other components (the data-aware grid) store their own values in the same place.
#pragma once

#include "Forms.h"
#include "RxHook.h"

#include <vector>

class TFormPlacement;
class TRegIniFile;
class TCustomIniFile;

DECLARE_ENUM(TPlacementOption, fpState, fpPosition, fpActiveControl)
DECLARE_SET(TPlacementOptions, TPlacementOption)
DECLARE_ENUM(TPlacementRegRoot, prCurrentUser, prLocalMachine, prCurrentConfig, prClassesRoot, prUsers, prDynData)

// Size limits enforced through the placement's window hook; "set" when any value is not 0.
class TWinMinMaxInfo : public TPersistent {
    DECLARE_CLASS(TWinMinMaxInfo, TPersistent)
public:
    explicit TWinMinMaxInfo(TFormPlacement* AOwner = nullptr) : FOwner(AOwner) {}
    static void DefineClass(TClassBuilder<TWinMinMaxInfo>& B);
    void Assign(TPersistent* Source) override;

    // Index: MaxPosLeft 0, MaxPosTop 1, MaxSizeHeight 2, MaxSizeWidth 3, MaxTrackHeight 4,
    // MaxTrackWidth 5, MinTrackHeight 6, MinTrackWidth 7.
    int Value(int Index) const;
    void SetValue(int Index, int Value);
    bool DefaultMinMaxInfo() const;
    const MINMAXINFO& Record() const { return FMinMaxInfo; }

private:
    LONG& Field(int Index);
    TFormPlacement* FOwner;
    MINMAXINFO FMinMaxInfo{};
};

class TIniLink : public TPersistent {
    DECLARE_CLASS(TIniLink, TPersistent)
public:
    TIniLink() = default;
    ~TIniLink() override;
    TFormPlacement* Storage() const { return FStorage; }
    // Unlinks from the old placement and appends to the new one's links.
    void SetStorage(TFormPlacement* Value);
    // The placement's open storage object, null without one.
    TObject* StorageObject() const;
    // The placement's IniSection as set (not its default) and "\", or "".
    std::string RootSection() const;

    virtual void SaveValues() { OnSave(this); }
    virtual void LoadValues() { OnLoad(this); }

    TNotifyEvent OnSave;
    TNotifyEvent OnLoad;

private:
    friend class TFormPlacement;
    TFormPlacement* FStorage = nullptr;
};

class TFormPlacement : public TComponent {
    DECLARE_CLASS(TFormPlacement, TComponent)
public:
    explicit TFormPlacement(TComponent* AOwner);
    ~TFormPlacement() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TFormPlacement>& B);

    bool Active() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }
    // The name set, or (not designing) DefaultRegistryKey / DefaultIniFileName.
    std::string IniFileName() const;
    void SetIniFileName(const std::string& Value) { FIniFileName = Value; }
    // The section set, or DefaultSectionName of the owner.
    std::string IniSection() const;
    const std::string& IniSectionSet() const { return FIniSection; }
    void SetIniSection(const std::string& Value) { FIniSection = Value; }
    TWinMinMaxInfo* MinMaxInfo() const { return FMinMaxInfo; }
    void SetMinMaxInfo(TWinMinMaxInfo* Value) { FMinMaxInfo->Assign(Value); }
    TPlacementOptions Options() const { return FOptions; }
    void SetOptions(TPlacementOptions Value) { FOptions = Value; }
    bool PreventResize() const { return FPreventResize; }
    void SetPreventResize(bool Value);
    TPlacementRegRoot RegistryRoot() const { return FRegistryRoot; }
    void SetRegistryRoot(TPlacementRegRoot Value) { FRegistryRoot = Value; }
    bool UseRegistry() const { return FUseRegistry; }
    void SetUseRegistry(bool Value) { FUseRegistry = Value; }
    int Version() const { return FVersion; }
    void SetVersion(int Value) { FVersion = Value; }
    bool Saved() const { return FSaved; }
    bool Restored() const { return FRestored; }
    TRxWindowHook* WindowHook() const { return FWinHook; }

    TNotifyEvent OnSavePlacement;
    TNotifyEvent OnRestorePlacement;

    void OpenStorage(bool ReadOnly);
    void CloseStorage();
    // The open TRegIniFile or TCustomIniFile, null while closed.
    TObject* StorageObject() const;

    void StoreFormPlacement();
    void LoadFormPlacement();
    virtual std::string ReadStoredString(const std::string& Section, const std::string& Ident,
                                         const std::string& Default);
    virtual void WriteStoredString(const std::string& Section, const std::string& Ident, const std::string& Value);
    int ReadStoredInteger(const std::string& Ident, int Default);
    void WriteStoredInteger(const std::string& Ident, int Value);

protected:
    void Loaded() override;
    virtual void StorePlacementValues();
    virtual void LoadPlacementValues();
    virtual void SavePlacementEvent() { OnSavePlacement(this); }
    virtual void RestorePlacementEvent() { OnRestorePlacement(this); }

private:
    friend class TWinMinMaxInfo;
    friend class TIniLink;
    TCustomForm* Form() const;
    void MinMaxInfoModified();
    void ChainFormEvents();
    void RestoreFormEvents();
    void FormShow(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormDestroy(TObject* Sender);
    void PlacementMessageHook(TObject* Sender, TMessage& Msg, bool& Handled);
    void UpdateWindowHook();
    void AdjustMaximisedPosition();
    void ApplyResizeLock();
    // Opens a temporary storage when none is open, runs Body on it, and closes what it opened.
    template <class F>
    auto WithStorage(bool ReadOnly, F Body);

    bool FActive = true;
    std::string FIniFileName;
    std::string FIniSection;
    TCustomIniFile* FIniFile = nullptr;
    bool FUseRegistry = false;
    TRegIniFile* FRegIniFile = nullptr;
    TPlacementRegRoot FRegistryRoot = prCurrentUser;
    std::vector<TIniLink*> FLinks;
    TPlacementOptions FOptions{fpState, fpPosition};
    int FVersion = 0;
    bool FSaved = false, FRestored = false, FDestroying = false;
    bool FPreventResize = false;
    TWinMinMaxInfo* FMinMaxInfo;
    bool FDefMaximize = false;
    TRxWindowHook* FWinHook;
    bool FEventsChained = false;
    TNotifyEvent FSaveFormShow;
    TCloseQueryEvent FSaveFormCloseQuery;
    TNotifyEvent FSaveFormDestroy;
};
