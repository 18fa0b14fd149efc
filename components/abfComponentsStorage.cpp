// File storage (a file's bytes kept in the form) and the wave player built on it.
#include "abfComponents.h"

#include "Dialogs.h"
#include "Restore.h"

#include <mmsystem.h>

// ---------------------------------------------------------------------------------------------
// TabfCustomFileStorage

TabfCustomFileStorage::TabfCustomFileStorage(TComponent* AOwner) : TabfComponent(AOwner) {
    FData = Create<TMemoryStream>();
}

TabfCustomFileStorage::~TabfCustomFileStorage() { FreeAndNil(FData); }

void TabfCustomFileStorage::DefineProperties(TFiler& Filer) {
    TabfComponent::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "FileData", [this](TStream& S) { ReadData(S); }, [this](TStream& S) { WriteData(S); }, true);
}

void TabfCustomFileStorage::Loaded() {
    TabfComponent::Loaded();
    if (FAutoSave && !Designing())
        Save();
}

void TabfCustomFileStorage::Clear() {
    FDataSize = 0;
    FData->Clear();
}

bool TabfCustomFileStorage::LoadFromFile(const std::string& Name) {
    Clear();
    if (!FileExists(Name)) {
        OnLoad(this, false);
        return false;
    }
    try {
        TOwned<TFileStream> F(Create<TFileStream>(Name, fmOpenRead | fmShareDenyWrite));
        FDataSize = static_cast<Cardinal>(F->Size());
        FData->SetSize(FDataSize);
        F->ReadBuffer(FData->Memory(), static_cast<LongInt>(FDataSize));
        FData->SetPosition(0);
    } catch (...) {
        Clear();
        OnLoad(this, false);
        throw EabfFileStorage("Can not load data from the \"%s\" file", {Name});
    }
    OnLoad(this, true);
    return true;
}

bool TabfCustomFileStorage::SaveToFile(const std::string& Name) {
    if (FileExists(Name) && OnConfirmOverride) {
        bool OverrideFile = true;
        OnConfirmOverride(this, OverrideFile);
        if (!OverrideFile) {
            OnSave(this, false);
            return false;
        }
    }
    try {
        TOwned<TFileStream> F(Create<TFileStream>(Name, fmCreate));
        if (FDataSize > 0)
            F->WriteBuffer(FData->Memory(), static_cast<LongInt>(FDataSize));
    } catch (...) {
        OnSave(this, false);
        throw EabfFileStorage("Can not save data to the \"%s\" file", {Name});
    }
    OnSave(this, true);
    return true;
}

void TabfCustomFileStorage::ReadData(TStream& Stream) {
    LongWord Count = 0;
    Stream.ReadBuffer(&Count, sizeof Count);
    Clear();
    if (Count == 0)
        return;
    FData->SetSize(Count);
    Stream.ReadBuffer(FData->Memory(), static_cast<LongInt>(Count));
    FDataSize = Count;
}

void TabfCustomFileStorage::WriteData(TStream& Stream) {
    LongWord Count = FDataSize;
    Stream.WriteBuffer(&Count, sizeof Count);
    if (Count != 0)
        Stream.WriteBuffer(FData->Memory(), static_cast<LongInt>(Count));
}

void TabfCustomFileStorage::SetAutoSave(bool Value) {
    if (!Value || !Designing()) {
        FAutoSave = Value;
        return;
    }
    if (CanCreateFile(FSaveName))
        FAutoSave = true;
    else {
        MessagePresenter().MessageBox(nullptr,
                                      "AutoSave can not be set because the SaveName property contains a wrong file name",
                                      "Warning", MB_ICONEXCLAMATION);
        FAutoSave = false;
    }
}

void TabfCustomFileStorage::SetFileName(const std::string& Value) {
    StoreFileName(Value);
    if (Designing())
        Load();
}

void TabfCustomFileStorage::SetSaveName(const std::string& Value) {
    if (FSaveName == Value)
        return;
    FSaveName = Value;
    if (Designing() && !CanCreateFile(Value))
        FAutoSave = false;
}

void TabfFileStorage::DefineClass(TClassBuilder<TabfFileStorage>& B) {
    using T = TabfFileStorage;
    B.Property("SaveName", &T::SaveName, &T::SetSaveName);
    B.Property("FileName", &T::FileName, &T::SetFileName);
    B.Property("DataSize", &T::DataSize, &T::SetDataSizeProp).Stored(false);
    B.Property("AutoSave", &T::AutoSave, &T::SetAutoSave).Default(false);
    B.Property("OnLoad", &T::OnLoad, &T::OnLoad);
    B.Property("OnSave", &T::OnSave, &T::OnSave);
    B.Property("OnConfirmOverride", &T::OnConfirmOverride, &T::OnConfirmOverride);
}

// ---------------------------------------------------------------------------------------------
// TabfWav

void TabfWav::BeforeDestruction() {
    Stop();
    TabfCustomFileStorage::BeforeDestruction();
}

void TabfWav::DefineClass(TClassBuilder<TabfWav>& B) {
    using T = TabfWav;
    B.Property("AsyncPlay", &T::AsyncPlay, &T::SetAsyncPlay).Default(true);
    B.Property("Looped", &T::Looped, &T::SetLooped).Default(false);
    B.Property("NoDefaultSound", &T::NoDefaultSound, &T::SetNoDefaultSound).Default(true);
    B.Property("NoStopSound", &T::NoStopSound, &T::SetNoStopSound).Default(false);
    B.Property("NoWaitIfBusy", &T::NoWaitIfBusy, &T::SetNoWaitIfBusy).Default(true);
    B.Property("PlayFrom", &T::PlayFrom, &T::SetPlayFrom).Default(pfFile);
    B.Property("FileName", &T::FileName, &T::SetFileName).Stored(&T::FileNameStored);
    B.Property("ResourceName", &T::ResourceName, &T::SetResourceName).Stored(&T::ResourceNameStored);
    B.Property("EventAlias", &T::EventAlias, &T::SetEventAlias).Stored(&T::EventAliasStored);
    B.Property("OnPlayAfter", &T::OnPlayAfter, &T::OnPlayAfter);
    B.Property("OnPlayBefore", &T::OnPlayBefore, &T::OnPlayBefore);
}

void TabfWav::PrepareSound() {
    FSoundFlags = 0;
    if (FAsyncPlay)
        FSoundFlags |= SND_ASYNC;
    if (FLooped)
        FSoundFlags |= SND_LOOP;
    if (FNoDefaultSound)
        FSoundFlags |= SND_NODEFAULT;
    if (FNoStopSound)
        FSoundFlags |= SND_NOSTOP;
    if (FNoWaitIfBusy)
        FSoundFlags |= SND_NOWAIT;
    FSoundModule = nullptr;
    switch (FPlayFrom) {
    case pfFile:
        FSoundFlags |= SND_FILENAME;
        FSoundName = FileName().c_str();
        break;
    case pfResource:
        FSoundFlags |= SND_RESOURCE;
        FSoundName = FResourceName.c_str();
        FSoundModule = GetModuleHandleA(nullptr);
        break;
    case pfDFM:
        FSoundFlags |= SND_MEMORY;
        FSoundName = Data()->Memory();
        break;
    case pfSystemEvent:
        FSoundFlags |= SND_ALIAS;
        FSoundName = FEventAlias.c_str();
        break;
    }
}

void TabfWav::Play() {
    PrepareSound();
    TRestore<bool> Playing(FPlaying, true);
    OnPlayBefore(this);
    PlaySoundA(static_cast<LPCSTR>(FSoundName), FSoundModule, FSoundFlags);  // failures are not reported
    OnPlayAfter(this);
}

void TabfWav::Stop() {
    FPlaying = false;
    PlaySoundA(nullptr, nullptr, 0);
}

void TabfWav::PlayAgainOrStop(bool Again) {
    if (Again)
        Play();
    else
        Stop();
}

void TabfWav::SetAsyncPlay(bool Value) {
    if (FAsyncPlay == Value)
        return;
    FAsyncPlay = Value;
    if (Value && FPlaying)
        Stop();
}

void TabfWav::SetLooped(bool Value) {
    if (FLooped == Value)
        return;
    FLooped = Value;
    if (FPlaying) {
        Stop();
        if (Value)
            Play();
    }
}

void TabfWav::SetNoWaitIfBusy(bool Value) {
    if (FNoWaitIfBusy == Value)
        return;
    FNoWaitIfBusy = Value;
    if (Value && FPlaying) {
        Stop();
        Play();
    }
}

void TabfWav::SetPlayFrom(TabfWavPlayFrom Value) {
    if (FPlayFrom == Value)
        return;
    FPlayFrom = Value;
    if (Value == pfDFM)
        LoadFromFile(FileName());
    else
        Clear();
}

void TabfWav::SetFileName(const std::string& Value) {
    if (FileName() == Value)
        return;
    if (FPlayFrom != pfDFM) {
        StoreFileName(Value);
        return;
    }
    bool WasPlaying = FPlaying;
    TabfCustomFileStorage::SetFileName(Value);
    PlayAgainOrStop(WasPlaying);
}

void TabfWav::SetEventAlias(const std::string& Value) {
    if (FEventAlias == Value)
        return;
    FEventAlias = Value;
    if (FPlayFrom == pfSystemEvent)
        PlayAgainOrStop(FPlaying);
}

void TabfWav::SetResourceName(const std::string& Value) {
    if (FResourceName == Value)
        return;
    FResourceName = Value;
    if (FPlayFrom == pfResource && FPlaying)
        Play();
}
