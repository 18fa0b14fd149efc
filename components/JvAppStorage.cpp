#include "JvAppStorage.h"

#include <algorithm>

namespace {

TJvAppStoragePropertyEngineList* EngineList = nullptr;
bool EngineListGone = false;

bool IsDots(const std::string& S) { return !S.empty() && S.find_first_not_of('.') == std::string::npos; }

// Writes Value unless defaults are left out and it is the kind's empty value.
template <class V, class F>
void WriteUnlessEmpty(bool All, const V& Value, const V& Empty, F Write) {
    if (All || !(Value == Empty))
        Write(Value);
}

bool InList(const std::vector<std::string>& List, const std::string& Name) {
    return std::any_of(List.begin(), List.end(), [&](const std::string& S) { return SameText(S, Name); });
}

// An object's own storing first; then, unless that is all it asks for, Each for every published
// property in declaration order that the ignore list does not name.
template <class OwnFn, class EachFn>
void WalkPublished(TObject* Object, const std::vector<std::string>& IgnoreList, OwnFn Own, EachFn Each) {
    auto* Self = dynamic_cast<IJvAppStorageSelf*>(Object);
    if (Self)
        Own(Self);
    if (Self && !dynamic_cast<IJvAppStoragePublished*>(Object))
        return;
    for (PPropInfo Prop : GetPropList(Object, tkProperties, false))
        if (!InList(IgnoreList, Prop->Name))
            Each(Prop->Name);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Engines

TJvAppStoragePropertyEngineList::~TJvAppStoragePropertyEngineList() {
    for (int I = Count() - 1; I >= 0; --I) {
        TJvAppStoragePropertyBaseEngine* E = Engines(I);
        Delete(I);
        FreeObject(E);
    }
}

TJvAppStoragePropertyBaseEngine* TJvAppStoragePropertyEngineList::GetEngine(TObject* Object, TObject* Property) const {
    for (int I = 0; I < Count(); ++I)
        if (Engines(I)->Supports(Object, Property))
            return Engines(I);
    return nullptr;
}

bool TJvAppStoragePropertyEngineList::ReadProperty(TJvAppStore* Store, const std::string& Path, bool ClearFirst,
                                                   bool Recursive, TObject* Property, TObject* Object) {
    TJvAppStoragePropertyBaseEngine* E = GetEngine(Object, Property);
    if (E)
        E->ReadProperty(Store, Path, ClearFirst, Recursive, Property, Object);
    return E != nullptr;
}

bool TJvAppStoragePropertyEngineList::WriteProperty(TJvAppStore* Store, const std::string& Path, bool Recursive,
                                                    TObject* Property, TObject* Object) {
    TJvAppStoragePropertyBaseEngine* E = GetEngine(Object, Property);
    if (E)
        E->WriteProperty(Store, Path, Recursive, Property, Object);
    return E != nullptr;
}

TJvAppStoragePropertyEngineList* PropertyEngineList() {
    if (!EngineList && !EngineListGone)
        EngineList = Create<TJvAppStoragePropertyEngineList>();
    return EngineList;
}

void RegisterPropertyEngine(TJvAppStoragePropertyEngineClass EngineClass) {
    if (TJvAppStoragePropertyEngineList* List = PropertyEngineList())
        List->Add(EngineClass.Create());
}

void UnregisterPropertyEngine(TJvAppStoragePropertyEngineClass EngineClass) {
    TJvAppStoragePropertyEngineList* List = EngineList;
    if (!List)
        return;
    for (int I = 0; I < List->Count(); ++I)
        if (List->Engines(I)->ClassType() == static_cast<TClass>(EngineClass)) {
            TJvAppStoragePropertyBaseEngine* E = List->Engines(I);
            List->Delete(I);
            FreeObject(E);
            return;
        }
}

void JvAppStorageFinalization() {
    EngineListGone = true;
    FreeAndNil(EngineList);
}

// ---------------------------------------------------------------------------------------------
// Paths

std::string NormalizeStoragePath(const std::vector<std::string>& Parts) {
    if (Parts.empty())
        return std::string();
    std::size_t First = 0;
    for (std::size_t I = Parts.size(); I-- > 0;)
        if (!Parts[I].empty() && Parts[I][0] == '\\') {
            First = I;
            break;
        }
    std::vector<std::string> Segments;
    for (std::size_t I = First; I < Parts.size(); ++I) {
        const std::string& P = Parts[I];
        std::size_t Pos = 0;
        while (Pos <= P.size()) {
            std::size_t End = P.find('\\', Pos);
            if (End == std::string::npos)
                End = P.size();
            std::string Segment = P.substr(Pos, End - Pos);
            Pos = End + 1;
            if (Segment.empty() || Segment == ".")
                continue;
            if (IsDots(Segment)) {
                std::size_t Up = std::min(Segment.size() - 1, Segments.size());
                Segments.resize(Segments.size() - Up);
            } else
                Segments.push_back(Segment);
        }
    }
    std::string Result;
    for (const std::string& S : Segments)
        Result += (Result.empty() ? "" : "\\") + S;
    return Result;
}

std::string NormalizeStoragePath(std::initializer_list<std::string> Parts) {
    return NormalizeStoragePath(std::vector<std::string>(Parts));
}

void TJvAppStore::ResolvePath(const std::string& Path, TJvAppStore*& TargetStore, std::string& TargetPath) {
    std::string Full = NormalizeStoragePath({Root, Path});
    const TJvAppSubStorage* Best = nullptr;
    for (const TJvAppSubStorage& Sub : SubStorages) {
        std::string SubRoot = NormalizeStoragePath({Sub.RootPath});
        if (SubRoot.empty() || Full.size() <= SubRoot.size() || Full[SubRoot.size()] != '\\' ||
            !SameText(Full.substr(0, SubRoot.size()), SubRoot))
            continue;
        if (!Best || SubRoot.size() > NormalizeStoragePath({Best->RootPath}).size())
            Best = &Sub;
    }
    if (Best && Best->Store) {
        std::string Rest = NormalizeStoragePath({Full.substr(NormalizeStoragePath({Best->RootPath}).size() + 1)});
        if (Rest.empty())
            throw EJVCLAppStorageError("Invalid path");
        TargetStore = Best->Store;
        TargetPath = "\\" + Rest;
        return;
    }
    TargetStore = this;
    TargetPath = "\\" + Full;
}

bool TJvAppStore::IsReadOnly() {
    if (ComponentState().Contains(csDesigning))
        return ReadOnly;
    return ReadOnly || DoReadOnly();
}

// ---------------------------------------------------------------------------------------------
// Value wrappers: resolved to the store that holds the path; writes to a read-only store vanish.

#define JV_READ(Call)                      \
    TJvAppStore* S;                        \
    std::string P;                         \
    ResolvePath(Path, S, P);               \
    return S->Call;
#define JV_WRITE(Call)                     \
    TJvAppStore* S;                        \
    std::string P;                         \
    ResolvePath(Path, S, P);               \
    if (!S->IsReadOnly())                  \
        S->Call;

bool TJvAppStore::ValueStored(const std::string& Path) { JV_READ(DoValueStored(P)) }
bool TJvAppStore::ListStored(const std::string& Path, const std::string& ItemName) { JV_READ(DoListStored(P, ItemName)) }
void TJvAppStore::DeleteValue(const std::string& Path) { JV_WRITE(DoDeleteValue(P)) }
void TJvAppStore::DeleteSubTree(const std::string& Path) { JV_WRITE(DoDeleteSubTree(P)) }
int TJvAppStore::ReadInteger(const std::string& Path, int Default) { JV_READ(DoReadInteger(P, Default)) }
void TJvAppStore::WriteInteger(const std::string& Path, int Value) { JV_WRITE(DoWriteInteger(P, Value)) }
double TJvAppStore::ReadFloat(const std::string& Path, double Default) { JV_READ(DoReadFloat(P, Default)) }
void TJvAppStore::WriteFloat(const std::string& Path, double Value) { JV_WRITE(DoWriteFloat(P, Value)) }
TDateTime TJvAppStore::ReadDateTime(const std::string& Path, TDateTime Default) { JV_READ(DoReadDateTime(P, Default)) }
void TJvAppStore::WriteDateTime(const std::string& Path, TDateTime Value) { JV_WRITE(DoWriteDateTime(P, Value)) }
std::string TJvAppStore::ReadString(const std::string& Path, const std::string& Default) {
    JV_READ(DoReadString(P, Default))
}
void TJvAppStore::WriteString(const std::string& Path, const std::string& Value) { JV_WRITE(DoWriteString(P, Value)) }
Int64 TJvAppStore::ReadOrdinal(const std::string& Path, PTypeInfo TypeInfo, Int64 Default) {
    JV_READ(DoReadOrdinal(P, TypeInfo, Default))
}
void TJvAppStore::WriteOrdinal(const std::string& Path, PTypeInfo TypeInfo, Int64 Value) {
    JV_WRITE(DoWriteOrdinal(P, TypeInfo, Value))
}
Int64 TJvAppStore::ReadSet(const std::string& Path, PTypeInfo TypeInfo, Int64 Default) {
    JV_READ(DoReadSet(P, TypeInfo, Default))
}
void TJvAppStore::WriteSet(const std::string& Path, PTypeInfo TypeInfo, Int64 Value) {
    JV_WRITE(DoWriteSet(P, TypeInfo, Value))
}
int TJvAppStore::ReadListCount(const std::string& Path) { JV_READ(DoReadListItemCount(P)) }
void TJvAppStore::WriteListCount(const std::string& Path, int Count) { JV_WRITE(DoWriteListItemCount(P, Count)) }

#undef JV_READ
#undef JV_WRITE

std::wstring TJvAppStore::ReadWideString(const std::string& Path, const std::wstring& Default) {
    return DoReadWideString(Path, Default);
}

void TJvAppStore::WriteWideString(const std::string& Path, const std::wstring& Value) {
    if (!IsReadOnly())
        DoWriteWideString(Path, Value);
}

// ---------------------------------------------------------------------------------------------
// Properties

std::string TJvAppStore::PropertyPath(const std::string& Path, TObject* Object, const std::string& Name, bool Reading) {
    std::string Translated = Name;
    if (OnTranslatePropertyName)
        OnTranslatePropertyName(this, Object, Reading, Translated);
    return NormalizeStoragePath({Path, Translated});
}

void TJvAppStore::WriteProperty(const std::string& Path, TObject* Object, const std::string& PropertyName,
                                bool Recursive) {
    PPropInfo Prop = GetPropInfo(Object, PropertyName);
    if (!Prop)
        return;
    bool All = Options.WriteDefaults;
    if (!All && !(Prop->HasGetter && Prop->HasSetter && IsStoredProp(Object, Prop)))
        return;
    PTypeInfo Type = Prop->PropType;
    switch (Type->Kind) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkEnumeration:
    case tkSet: {
        Int64 Value = GetOrdProp(Object, Prop);
        if (!All && Prop->Default != NoDefault && Value == Prop->Default)
            return;
        if (Type->Kind == tkSet)
            WriteSet(Path, Type, Value);
        else if (Type->Kind == tkEnumeration || Options.WriteTypedIntegers)
            WriteOrdinal(Path, Type, Value);
        else
            WriteInteger(Path, static_cast<int>(Value));
        break;
    }
    case tkFloat:
        WriteUnlessEmpty(All, static_cast<double>(GetFloatProp(Object, Prop)), 0.0, [&](double V) {
            if (SameText(Type->Name, "TDateTime"))
                WriteDateTime(Path, V);
            else
                WriteFloat(Path, V);
        });
        break;
    case tkString:
    case tkLString:
        WriteUnlessEmpty(All, GetStrProp(Object, Prop), std::string(), [&](const std::string& V) { WriteString(Path, V); });
        break;
    case tkWString:
        WriteUnlessEmpty(All, GetWideStrProp(Object, Prop), std::wstring(),
                         [&](const std::wstring& V) { WriteWideString(Path, V); });
        break;
    case tkInt64:
        WriteUnlessEmpty(All, GetInt64Prop(Object, Prop), Int64(0), [&](Int64 V) { WriteString(Path, IntToStr(V)); });
        break;
    case tkClass: {
        TObject* Value = GetObjectProp(Object, Prop);
        if (!Value)
            return;
        if (Recursive && PropertyEngineList() && PropertyEngineList()->WriteProperty(this, Path, Recursive, Value, Object))
            return;
        if (auto* List = DynCast<TStrings>(Value)) {
            if (Options.StringListAsSingleValue) {
                DeleteSubTree(Path);
                WriteString(Path, List->Text());
            } else
                WriteStringList(Path, List);
        } else if (Recursive) {
            if (auto* Collection = DynCast<TCollection>(Value))
                WriteCollection(Path, Collection);
            else if (Value->Is<TPersistent>())
                WritePersistent(Path, Value, Recursive);
        }
        break;
    }
    default:
        break;
    }
}

void TJvAppStore::ReadProperty(const std::string& Path, TObject* Object, const std::string& PropertyName,
                               bool Recursive, bool ClearFirst) {
    PPropInfo Prop = GetPropInfo(Object, PropertyName);
    if (!Prop)
        return;
    PTypeInfo Type = Prop->PropType;
    bool Writable = Prop->HasSetter;
    switch (Type->Kind) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkEnumeration:
    case tkSet: {
        if (!Writable)
            return;
        Int64 Current = GetOrdProp(Object, Prop);
        Int64 Value;
        if (Type->Kind == tkSet)
            Value = ReadSet(Path, Type, Current);
        else if (Type->Kind == tkEnumeration || Options.WriteTypedIntegers)
            Value = ReadOrdinal(Path, Type, Current);
        else
            Value = ReadInteger(Path, static_cast<int>(Current));
        SetOrdProp(Object, Prop, Value);
        break;
    }
    case tkFloat:
        if (Writable) {
            double Current = static_cast<double>(GetFloatProp(Object, Prop));
            SetFloatProp(Object, Prop,
                         SameText(Type->Name, "TDateTime") ? ReadDateTime(Path, Current) : ReadFloat(Path, Current));
        }
        break;
    case tkString:
    case tkLString:
        if (Writable)
            SetStrProp(Object, Prop, ReadString(Path, GetStrProp(Object, Prop)));
        break;
    case tkWString:
        if (Writable)
            SetWideStrProp(Object, Prop, ReadWideString(Path, GetWideStrProp(Object, Prop)));
        break;
    case tkInt64:
        if (Writable) {
            Int64 Current = GetInt64Prop(Object, Prop);
            std::string Text = ReadString(Path, IntToStr(Current));
            SetInt64Prop(Object, Prop, StrToInt64Def(Text, Current));
        }
        break;
    case tkClass: {
        TObject* Value = GetObjectProp(Object, Prop);
        if (!Value)
            return;
        if (Recursive && PropertyEngineList() &&
            PropertyEngineList()->ReadProperty(this, Path, ClearFirst, Recursive, Value, Object))
            return;
        if (auto* List = DynCast<TStrings>(Value))
            ReadStringList(Path, List, ClearFirst);
        else if (Recursive) {
            if (auto* Collection = DynCast<TCollection>(Value))
                ReadCollection(Path, Collection, ClearFirst);
            else if (Value->Is<TPersistent>())
                ReadPersistent(Path, Value, Recursive, ClearFirst);
        }
        break;
    }
    default:
        break;
    }
}

void TJvAppStore::WritePersistent(const std::string& Path, TObject* Object, bool Recursive,
                                  const std::vector<std::string>& IgnoreList) {
    WalkPublished(
        Object, IgnoreList, [&](IJvAppStorageSelf* Self) { Self->WriteToAppStorage(this, Path); },
        [&](const std::string& Name) { WriteProperty(PropertyPath(Path, Object, Name, false), Object, Name, Recursive); });
}

void TJvAppStore::ReadPersistent(const std::string& Path, TObject* Object, bool Recursive, bool ClearFirst,
                                 const std::vector<std::string>& IgnoreList) {
    WalkPublished(
        Object, IgnoreList, [&](IJvAppStorageSelf* Self) { Self->ReadFromAppStorage(this, Path); },
        [&](const std::string& Name) {
            ReadProperty(PropertyPath(Path, Object, Name, false), Object, Name, Recursive, ClearFirst);
        });
}

// ---------------------------------------------------------------------------------------------
// Lists

bool TJvAppStore::ListWritable(const std::string& Path) {
    TJvAppStore* S;
    std::string P;
    ResolvePath(NormalizeStoragePath({Path, "*"}), S, P);
    return !S->IsReadOnly();
}

void TJvAppStore::WriteStringList(const std::string& Path, TStrings* List, const std::string& ItemName) {
    if (!ListWritable(Path))
        return;
    int OldCount = ReadListCount(Path);
    for (int I = 0; I < List->Count(); ++I)
        WriteString(NormalizeStoragePath({Path, ItemNameIndexPath(ItemName, I)}), List->Strings(I));
    for (int I = List->Count(); I < OldCount; ++I)
        DeleteValue(NormalizeStoragePath({Path, ItemName + IntToStr(I)}));
    WriteListCount(Path, List->Count());
    WritePersistent(Path, List, true);
}

void TJvAppStore::ReadStringList(const std::string& Path, TStrings* List, bool ClearFirst, const std::string& ItemName) {
    List->BeginUpdate();
    try {
        if (ClearFirst)
            List->Clear();
        if (ListStored(Path, ItemName)) {
            ReadPersistent(Path, List, true, ClearFirst);
            int Count = ReadListCount(Path);
            for (int I = 0; I < Count; ++I)
                List->Add(ReadString(NormalizeStoragePath({Path, ItemNameIndexPath(ItemName, I)}), ""));
        } else if (ValueStored(Path))
            List->SetText(ReadString(Path, ""));
    } catch (...) {
        List->EndUpdate();
        throw;
    }
    List->EndUpdate();
}

void TJvAppStore::WriteCollection(const std::string& Path, TCollection* List, const std::string& ItemName) {
    if (!ListWritable(Path))
        return;
    int OldCount = ReadListCount(Path);
    for (int I = 0; I < List->Count(); ++I)
        WritePersistent(NormalizeStoragePath({Path, ItemNameIndexPath(ItemName, I)}), List->Items(I), true);
    for (int I = List->Count(); I < OldCount; ++I)
        DeleteSubTree(NormalizeStoragePath({Path, ItemName + IntToStr(I)}));
    WriteListCount(Path, List->Count());
    WritePersistent(Path, List, true);
}

void TJvAppStore::ReadCollection(const std::string& Path, TCollection* List, bool ClearFirst,
                                 const std::string& ItemName) {
    if (Options.IgnoreMissingCollections && !ListStored(Path, ItemName))
        return;
    List->BeginUpdate();
    try {
        if (ClearFirst)
            List->Clear();
        ReadPersistent(Path, List, true, ClearFirst);
        int Count = ReadListCount(Path);
        for (int I = 0; I < Count; ++I)
            ReadPersistent(NormalizeStoragePath({Path, ItemNameIndexPath(ItemName, I)}), List->Add(), true, ClearFirst);
    } catch (...) {
        List->EndUpdate();
        throw;
    }
    List->EndUpdate();
}
