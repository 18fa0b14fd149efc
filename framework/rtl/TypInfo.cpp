#include "TypInfo.h"

#include "Classes.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>


namespace {
std::mutex& TypesLock() {
    static std::mutex M;
    return M;
}
// Type records live as long as the program.
std::vector<std::unique_ptr<TTypeInfo>>& Types() {
    static std::vector<std::unique_ptr<TTypeInfo>> T;
    return T;
}
PTypeInfo Keep(std::unique_ptr<TTypeInfo> Info) {
    std::lock_guard<std::mutex> L(TypesLock());
    Types().push_back(std::move(Info));
    return Types().back().get();
}






[[noreturn]] void UnknownProperty(const std::string& Name) {
    throw EPropertyError("Unknown property: \"" + Name + "\"");
}
[[noreturn]] void InvalidValue(const std::string& Text) {
    throw EPropertyConvertError("Invalid property value: \"" + Text + "\"");
}

std::vector<TStringListAccess>& ListAccesses() {
    static std::vector<TStringListAccess> V;
    return V;
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Type records

namespace TypInfoDetail {
TTypeInfo* NewType(TTypeKind Kind, std::string Name, const std::type_info* Cpp);

PTypeInfo MakeEnumType(const char* Name, const char* Names) {
    TTypeInfo* Info = NewType(tkEnumeration, Name, nullptr);
    std::string All = Names, Cur;
    for (size_t I = 0; I <= All.size(); ++I) {
        if (I == All.size() || All[I] == ',') {
            std::string N = Trim(Cur);
            auto Eq = N.find('=');  // an enumerator with an explicit value keeps only its name
            if (Eq != std::string::npos)
                N = Trim(N.substr(0, Eq));
            if (!N.empty())
                Info->EnumNames.push_back(N);
            Cur.clear();
        } else
            Cur += All[I];
    }
    Info->OrdType = Info->EnumNames.size() <= 256 ? otUByte : otUWord;
    Info->MinValue = 0;
    Info->MaxValue = static_cast<Int64>(Info->EnumNames.size()) - 1;
    return Info;
}

// A record kept for the program's life; the caller fills in its kind's fields.
TTypeInfo* NewType(TTypeKind Kind, std::string Name, const std::type_info* Cpp) {
    auto Info = std::make_unique<TTypeInfo>();
    Info->Kind = Kind;
    Info->Name = std::move(Name);
    Info->CppType = Cpp;
    return const_cast<TTypeInfo*>(Keep(std::move(Info)));
}

PTypeInfo MakeIntegerType(const char* Name, TTypeKind Kind, TOrdType Ord, Int64 Min, Int64 Max, const std::type_info& Cpp) {
    TTypeInfo* T = NewType(Kind, Name, &Cpp);
    T->OrdType = Ord;
    T->MinValue = Min;
    T->MaxValue = Max;
    return T;
}

PTypeInfo MakeFloatType(const char* Name, TFloatType F, const std::type_info& Cpp) {
    TTypeInfo* T = NewType(tkFloat, Name, &Cpp);
    T->FloatType = F;
    return T;
}

PTypeInfo MakeSimpleType(const char* Name, TTypeKind Kind, const std::type_info& Cpp) { return NewType(Kind, Name, &Cpp); }

PTypeInfo MakeSetType(const char* Name, PTypeInfo Comp, const std::type_info& Cpp) {
    TTypeInfo* T = NewType(tkSet, Name ? std::string(Name) : "set of " + Comp->Name, &Cpp);
    T->CompType = Comp;
    Int64 Count = Comp->MaxValue + 1;
    T->OrdType = Count <= 8 ? otUByte : Count <= 16 ? otUWord : otULong;
    return T;
}

PTypeInfo MakeClassType(TClass Class, const std::type_info& Cpp) {
    TTypeInfo* T = NewType(tkClass, Class->ClassName(), &Cpp);
    T->ClassType = Class;
    return T;
}

PTypeInfo MakeMethodType(const char* Name, const std::type_info& Cpp) {
    TTypeInfo* T = NewType(tkMethod, Name ? Name : "TMethod", &Cpp);
    T->MethodType = &Cpp;
    return T;
}

PTypeInfo BooleanType() {
    static PTypeInfo Info = [] {
        PTypeInfo T = MakeEnumType("Boolean", "False, True");
        const_cast<TTypeInfo*>(T)->CppType = &typeid(bool);
        return T;
    }();
    return Info;
}
}  // namespace TypInfoDetail

PTypeInfo AliasType(PTypeInfo Base, const std::string& Name) {
    if (Base->Name == Name)
        return Base;
    static std::map<std::pair<PTypeInfo, std::string>, PTypeInfo> Aliases;
    static std::mutex M;
    std::lock_guard<std::mutex> L(M);
    auto& Slot = Aliases[{Base, Name}];
    if (!Slot) {
        auto Info = std::make_unique<TTypeInfo>(*Base);
        Info->Name = Name;
        std::lock_guard<std::mutex> L2(TypesLock());
        Types().push_back(std::move(Info));
        Slot = Types().back().get();
    }
    return Slot;
}

std::string GetEnumName(PTypeInfo Info, int Value) {
    if (Info->Kind != tkEnumeration)
        return std::to_string(Value);
    if (Value < 0 || static_cast<size_t>(Value) >= Info->EnumNames.size())
        return std::string();
    return Info->EnumNames[static_cast<size_t>(Value)];
}

int GetEnumValue(PTypeInfo Info, const std::string& Name) {
    if (Info->Kind == tkEnumeration) {
        for (size_t I = 0; I < Info->EnumNames.size(); ++I)
            if (SameText(Info->EnumNames[I], Name))
                return static_cast<int>(I);
        return -1;
    }
    Int64 V;
    return TryStrToInt64(Name, V) ? static_cast<int>(V) : -1;
}

// ---------------------------------------------------------------------------------------------
// TPropInfo: the defaults raise for a kind the property is not

void TPropInfo::WrongKind() const { throw EPropertyError("Invalid property type: " + PropType->Name + " (" + Name + ")"); }
void TPropInfo::ReadOnly() const { throw EPropertyError("Property " + Name + " is read-only"); }

Int64 TPropInfo::GetOrd(TObject*) const { WrongKind(); }
void TPropInfo::SetOrd(TObject*, Int64) const { WrongKind(); }
std::string TPropInfo::GetStr(TObject* Instance) const {
    if (PropType->Kind == tkWString)
        return WideToAnsi(GetWStr(Instance));
    WrongKind();
}
void TPropInfo::SetStr(TObject* Instance, const std::string& Value) const {
    if (PropType->Kind == tkWString)
        return SetWStr(Instance, AnsiToWide(Value));
    WrongKind();
}
std::wstring TPropInfo::GetWStr(TObject* Instance) const {
    if (PropType->Kind == tkLString || PropType->Kind == tkString)
        return AnsiToWide(GetStr(Instance));
    WrongKind();
}
void TPropInfo::SetWStr(TObject* Instance, const std::wstring& Value) const {
    if (PropType->Kind == tkLString || PropType->Kind == tkString)
        return SetStr(Instance, WideToAnsi(Value));
    WrongKind();
}
long double TPropInfo::GetFloat(TObject*) const { WrongKind(); }
void TPropInfo::SetFloat(TObject*, long double) const { WrongKind(); }
TObject* TPropInfo::GetObj(TObject*) const { WrongKind(); }
void TPropInfo::SetObj(TObject*, TObject*) const { WrongKind(); }
TMethod TPropInfo::GetMeth(TObject*) const { WrongKind(); }
void TPropInfo::SetMeth(TObject*, const TMethod&) const { WrongKind(); }

// ---------------------------------------------------------------------------------------------
// Listing and lookup

std::vector<PPropInfo> GetPropList(TClass Class, TTypeKinds Kinds, bool SortList) {
    std::vector<PPropInfo> Slots(static_cast<size_t>(Class ? Class->PropCount() : 0), nullptr);
    for (TClass C = Class; C; C = C->ClassParent())
        for (const auto& P : C->OwnProps())
            if (!Slots[static_cast<size_t>(P->NameIndex)])
                Slots[static_cast<size_t>(P->NameIndex)] = P.get();
    std::vector<PPropInfo> R;
    for (PPropInfo P : Slots)
        if (P && Kinds.Contains(P->PropType->Kind))
            R.push_back(P);
    if (SortList)
        std::stable_sort(R.begin(), R.end(), [](PPropInfo A, PPropInfo B) { return CompareText(A->Name, B->Name) < 0; });
    return R;
}

std::vector<PPropInfo> GetPropList(TObject* Instance, TTypeKinds Kinds, bool SortList) {
    return GetPropList(Instance ? Instance->ClassType() : nullptr, Kinds, SortList);
}

PPropInfo GetPropInfo(TClass Class, const std::string& PropName, TTypeKinds Kinds) {
    for (TClass C = Class; C; C = C->ClassParent())
        for (const auto& P : C->OwnProps())
            if (SameText(P->Name, PropName))
                return Kinds.Contains(P->PropType->Kind) ? P.get() : nullptr;
    return nullptr;
}

PPropInfo GetPropInfo(TObject* Instance, const std::string& PropName, TTypeKinds Kinds) {
    return Instance ? GetPropInfo(Instance->ClassType(), PropName, Kinds) : nullptr;
}

bool IsPublishedProp(TObject* Instance, const std::string& PropName) { return GetPropInfo(Instance, PropName) != nullptr; }
bool IsPublishedProp(TClass Class, const std::string& PropName) { return GetPropInfo(Class, PropName) != nullptr; }

namespace {
PPropInfo FindProp(TObject* Instance, const std::string& PropName) {
    PPropInfo P = GetPropInfo(Instance, PropName);
    if (!P)
        UnknownProperty(PropName);
    return P;
}
}  // namespace

TTypeKind PropType(TObject* Instance, const std::string& PropName) { return FindProp(Instance, PropName)->PropType->Kind; }
bool PropIsType(TObject* Instance, const std::string& PropName, TTypeKind Kind) { return PropType(Instance, PropName) == Kind; }
bool IsStoredProp(TObject* Instance, PPropInfo Prop) { return Prop->IsStored(Instance); }

const TMethodEntry* FindPublishedMethod(TClass Class, const std::string& Name) {
    for (TClass C = Class; C; C = C->ClassParent())
        for (const auto& M : C->OwnMethods())
            if (SameText(M->Name, Name))
                return M.get();
    return nullptr;
}

std::string MethodName(TObject* Instance, void (*Code)()) {
    if (!Instance || !Code)
        return std::string();
    for (TClass C = Instance->ClassType(); C; C = C->ClassParent())
        for (const auto& M : C->OwnMethods())
            if (M->Code == Code)
                return M->Name;
    return std::string();
}

const TFieldEntry* FindPublishedField(TClass Class, const std::string& Name) {
    for (TClass C = Class; C; C = C->ClassParent())
        for (const auto& F : C->OwnFields())
            if (SameText(F->Name, Name))
                return F.get();
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Accessors

Int64 GetOrdProp(TObject* Instance, PPropInfo Prop) { return Prop->GetOrd(Instance); }
void SetOrdProp(TObject* Instance, PPropInfo Prop, Int64 Value) { Prop->SetOrd(Instance, Value); }

std::string GetEnumProp(TObject* Instance, PPropInfo Prop) {
    return GetEnumName(Prop->PropType, static_cast<int>(Prop->GetOrd(Instance)));
}

void SetEnumProp(TObject* Instance, PPropInfo Prop, const std::string& Value) {
    int V = GetEnumValue(Prop->PropType, Value);
    if (V < 0)
        throw EPropertyConvertError("Invalid enumeration name: \"" + Value + "\"");
    Prop->SetOrd(Instance, V);
}

std::string SetToString(PTypeInfo SetType, Int64 Bits, bool Brackets) {
    std::string R;
    PTypeInfo Comp = SetType->Kind == tkSet ? SetType->CompType : SetType;
    for (int I = 0; I < 32; ++I)
        if (Bits & (Int64(1) << I)) {
            if (!R.empty())
                R += ',';
            R += GetEnumName(Comp, I);
        }
    return Brackets ? "[" + R + "]" : R;
}

Int64 StringToSet(PTypeInfo SetType, const std::string& Text) {
    PTypeInfo Comp = SetType->Kind == tkSet ? SetType->CompType : SetType;
    std::string S = Trim(Text);
    if (!S.empty() && S.front() == '[')
        S.erase(0, 1);
    if (!S.empty() && S.back() == ']')
        S.pop_back();
    Int64 Bits = 0;
    size_t Start = 0;
    while (Start <= S.size()) {
        size_t Comma = S.find(',', Start);
        std::string Name = Trim(S.substr(Start, Comma == std::string::npos ? std::string::npos : Comma - Start));
        if (!Name.empty()) {
            int V = GetEnumValue(Comp, Name);
            if (V < 0 || V > 31)
                throw EPropertyConvertError("Invalid property element: " + Name);
            Bits |= Int64(1) << V;
        } else if (Comma != std::string::npos)
            throw EPropertyConvertError("Invalid property element: " + Text);
        if (Comma == std::string::npos)
            break;
        Start = Comma + 1;
    }
    return Bits;
}

std::string GetSetProp(TObject* Instance, PPropInfo Prop, bool Brackets) {
    return SetToString(Prop->PropType, Prop->GetOrd(Instance), Brackets);
}
void SetSetProp(TObject* Instance, PPropInfo Prop, const std::string& Value) {
    Prop->SetOrd(Instance, StringToSet(Prop->PropType, Value));
}

TObject* GetObjectProp(TObject* Instance, PPropInfo Prop, TClass MinClass) {
    TObject* O = Prop->GetObj(Instance);
    return O && MinClass && !O->InheritsFrom(MinClass) ? nullptr : O;
}
// The setter runs even when Value is the object the property holds (a font written back into
// "Font" must still fire its change).
void SetObjectProp(TObject* Instance, PPropInfo Prop, TObject* Value) { Prop->SetObj(Instance, Value); }
TClass GetObjectPropClass(PPropInfo Prop) { return Prop->PropType->ClassType; }

std::string GetStrProp(TObject* Instance, PPropInfo Prop) { return Prop->GetStr(Instance); }
void SetStrProp(TObject* Instance, PPropInfo Prop, const std::string& Value) { Prop->SetStr(Instance, Value); }
std::wstring GetWideStrProp(TObject* Instance, PPropInfo Prop) { return Prop->GetWStr(Instance); }
void SetWideStrProp(TObject* Instance, PPropInfo Prop, const std::wstring& Value) { Prop->SetWStr(Instance, Value); }
long double GetFloatProp(TObject* Instance, PPropInfo Prop) { return Prop->GetFloat(Instance); }
void SetFloatProp(TObject* Instance, PPropInfo Prop, long double Value) { Prop->SetFloat(Instance, Value); }
Int64 GetInt64Prop(TObject* Instance, PPropInfo Prop) { return Prop->GetOrd(Instance); }
void SetInt64Prop(TObject* Instance, PPropInfo Prop, Int64 Value) { Prop->SetOrd(Instance, Value); }
TMethod GetMethodProp(TObject* Instance, PPropInfo Prop) { return Prop->GetMeth(Instance); }
void SetMethodProp(TObject* Instance, PPropInfo Prop, const TMethod& Value) {
    if (Value.Code && Prop->PropType->MethodType && !Value.Holder) {
        // A published method must fit the event type.
        std::string Name = MethodName(Value.Data, Value.Code);
        if (const TMethodEntry* M = Value.Data ? FindPublishedMethod(Value.Data->ClassType(), Name) : nullptr)
            if (M->MethodType && *M->MethodType != *Prop->PropType->MethodType)
                throw EPropertyError("Method " + Name + " does not fit the event " + Prop->Name + " (" +
                                     Prop->PropType->Name + ")");
    }
    Prop->SetMeth(Instance, Value);
}

Int64 GetOrdProp(TObject* Instance, const std::string& N) { return GetOrdProp(Instance, FindProp(Instance, N)); }
void SetOrdProp(TObject* Instance, const std::string& N, Int64 V) { SetOrdProp(Instance, FindProp(Instance, N), V); }
std::string GetEnumProp(TObject* Instance, const std::string& N) { return GetEnumProp(Instance, FindProp(Instance, N)); }
void SetEnumProp(TObject* Instance, const std::string& N, const std::string& V) { SetEnumProp(Instance, FindProp(Instance, N), V); }
std::string GetSetProp(TObject* Instance, const std::string& N, bool B) { return GetSetProp(Instance, FindProp(Instance, N), B); }
void SetSetProp(TObject* Instance, const std::string& N, const std::string& V) { SetSetProp(Instance, FindProp(Instance, N), V); }
TObject* GetObjectProp(TObject* Instance, const std::string& N, TClass M) { return GetObjectProp(Instance, FindProp(Instance, N), M); }
void SetObjectProp(TObject* Instance, const std::string& N, TObject* V) { SetObjectProp(Instance, FindProp(Instance, N), V); }
std::string GetStrProp(TObject* Instance, const std::string& N) { return GetStrProp(Instance, FindProp(Instance, N)); }
void SetStrProp(TObject* Instance, const std::string& N, const std::string& V) { SetStrProp(Instance, FindProp(Instance, N), V); }
std::wstring GetWideStrProp(TObject* Instance, const std::string& N) { return GetWideStrProp(Instance, FindProp(Instance, N)); }
void SetWideStrProp(TObject* Instance, const std::string& N, const std::wstring& V) { SetWideStrProp(Instance, FindProp(Instance, N), V); }
long double GetFloatProp(TObject* Instance, const std::string& N) { return GetFloatProp(Instance, FindProp(Instance, N)); }
void SetFloatProp(TObject* Instance, const std::string& N, long double V) { SetFloatProp(Instance, FindProp(Instance, N), V); }
Int64 GetInt64Prop(TObject* Instance, const std::string& N) { return GetInt64Prop(Instance, FindProp(Instance, N)); }
void SetInt64Prop(TObject* Instance, const std::string& N, Int64 V) { SetInt64Prop(Instance, FindProp(Instance, N), V); }
TMethod GetMethodProp(TObject* Instance, const std::string& N) { return GetMethodProp(Instance, FindProp(Instance, N)); }
void SetMethodProp(TObject* Instance, const std::string& N, const TMethod& V) { SetMethodProp(Instance, FindProp(Instance, N), V); }

// ---------------------------------------------------------------------------------------------
// Paths and text

void RegisterStringListAccess(const TStringListAccess& Access) { ListAccesses().push_back(Access); }

const TStringListAccess* FindStringListAccess(TObject* Obj) {
    auto& V = ListAccesses();
    for (size_t I = V.size(); Obj && I-- > 0;)
        if (Obj->InheritsFrom(V[I].ListClass))
            return &V[I];
    return nullptr;
}

namespace {
struct TSegment {
    std::string Name;
    bool HasIndex = false;
    std::string Index;
};

std::vector<TSegment> SplitPath(const std::string& Path) {
    std::vector<TSegment> R;
    TSegment Cur;
    bool InIndex = false, AfterIndex = false;
    for (char C : Path) {
        if (InIndex) {
            if (C == ']') {
                InIndex = false;
                AfterIndex = true;
            } else
                Cur.Index += C;
        } else if (C == '[') {
            if (Cur.HasIndex || Cur.Name.empty())
                throw EPropertyError("Invalid property path: \"" + Path + "\"");
            Cur.HasIndex = InIndex = true;
        } else if (C == '.') {
            if (Cur.Name.empty())
                throw EPropertyError("Invalid property path: \"" + Path + "\"");
            R.push_back(Cur);
            Cur = TSegment();
            AfterIndex = false;
        } else {
            if (AfterIndex)
                throw EPropertyError("Invalid property path: \"" + Path + "\"");
            Cur.Name += C;
        }
    }
    if (InIndex || Cur.Name.empty())
        throw EPropertyError("Invalid property path: \"" + Path + "\"");
    R.push_back(Cur);
    return R;
}

TObject* SelectItem(TObject* Obj, const TSegment& S, const std::string& Path) {
    if (!S.HasIndex)
        return Obj;
    auto* Coll = DynCast<TCollection>(Obj);
    if (!Coll)
        throw EPropertyError("Invalid property path: \"" + Path + "\" (" + S.Name + " is no collection)");
    Int64 I;
    if (!TryStrToInt64(S.Index, I))
        throw EConvertError("'" + S.Index + "' is not a valid integer value");
    return Coll->Items(static_cast<int>(I));
}
}  // namespace

TPropTarget ResolvePropPath(TObject* Root, const std::string& Path) {
    if (!Root)
        throw EPropertyError("Invalid property path: \"" + Path + "\" (no object)");
    std::vector<TSegment> Segs = SplitPath(Path);
    TObject* Obj = Root;
    for (size_t I = 0; I + 1 < Segs.size(); ++I) {
        const TSegment& S = Segs[I];
        PPropInfo P = GetPropInfo(Obj, S.Name, tkProperties);
        TObject* Next = nullptr;
        if (P) {
            if (P->PropType->Kind != tkClass)
                throw EPropertyError("Invalid property path: \"" + Path + "\" (" + S.Name + " is no object)");
            Next = P->GetObj(Obj);
        } else if (auto* C = DynCast<TComponent>(Obj); C && I == 0) {
            Next = C->FindComponent(S.Name);  // the path may start at a component of the root
            if (!Next)
                UnknownProperty(S.Name);
        } else
            UnknownProperty(S.Name);
        if (!Next)
            throw EPropertyError("Invalid property path: \"" + Path + "\" (" + S.Name + " is nil)");
        Obj = SelectItem(Next, S, Path);
    }
    const TSegment& Last = Segs.back();
    if (Last.HasIndex)
        throw EPropertyError("Invalid property path: \"" + Path + "\"");
    PPropInfo P = GetPropInfo(Obj, Last.Name, tkAny);
    if (!P)
        UnknownProperty(Last.Name);
    return TPropTarget{Obj, P};
}

std::string GetPropText(TObject* Root, const std::string& Path) {
    TPropTarget T = ResolvePropPath(Root, Path);
    TObject* O = T.Instance;
    PPropInfo P = T.Prop;
    switch (P->PropType->Kind) {
    case tkInteger:
    case tkInt64:
        return std::to_string(P->GetOrd(O));
    case tkChar:
        return std::string(1, static_cast<char>(P->GetOrd(O)));
    case tkWChar:
        return WideToAnsi(std::wstring(1, static_cast<wchar_t>(P->GetOrd(O))));
    case tkEnumeration:
        return GetEnumProp(O, P);
    case tkSet:
        return GetSetProp(O, P);
    case tkFloat:
        return FloatToStr(static_cast<double>(P->GetFloat(O)));
    case tkString:
    case tkLString:
    case tkWString:
        return P->GetStr(O);
    case tkClass: {
        TObject* V = P->GetObj(O);
        if (const TStringListAccess* A = FindStringListAccess(V))
            return A->GetCommaText(V);
        if (auto* C = DynCast<TComponent>(V))
            return C->Name();
        return std::string();
    }
    case tkMethod: {
        TMethod M = P->GetMeth(O);
        return MethodName(M.Data, M.Code);
    }
    default:
        return std::string();
    }
}

void SetPropText(TObject* Root, const std::string& Path, const std::string& Text) {
    TPropTarget T = ResolvePropPath(Root, Path);
    TObject* O = T.Instance;
    PPropInfo P = T.Prop;
    switch (P->PropType->Kind) {
    case tkInteger:
    case tkInt64: {
        Int64 V;
        if (!TryStrToInt64(Text, V)) {
            int Ident;
            if (P->PropType->Kind == tkInteger && IdentToIntOf(P->PropType, Text, Ident))
                V = Ident;
            else
                InvalidValue(Text);
        }
        P->SetOrd(O, V);
        break;
    }
    case tkChar:
        if (Text.size() != 1)
            InvalidValue(Text);
        P->SetOrd(O, static_cast<unsigned char>(Text[0]));
        break;
    case tkWChar: {
        std::wstring W = AnsiToWide(Text);
        if (W.size() != 1)
            InvalidValue(Text);
        P->SetOrd(O, W[0]);
        break;
    }
    case tkEnumeration:
        SetEnumProp(O, P, Trim(Text));
        break;
    case tkSet:
        SetSetProp(O, P, Text);
        break;
    case tkFloat: {
        double V;
        if (!TryStrToFloat(Trim(Text), V))
            InvalidValue(Text);
        P->SetFloat(O, V);
        break;
    }
    case tkString:
    case tkLString:
    case tkWString:
        P->SetStr(O, Text);
        break;
    case tkClass: {
        TObject* V = P->GetObj(O);
        if (const TStringListAccess* A = FindStringListAccess(V)) {
            A->SetCommaText(V, Text);
            break;
        }
        if (P->PropType->ClassType && P->PropType->ClassType->InheritsFrom(TComponent::StaticClass())) {
            // A component reference by name, within the root (or the root itself).
            TComponent* Found = nullptr;
            if (!Text.empty()) {
                auto* R = DynCast<TComponent>(Root);
                if (R && SameText(R->Name(), Text))
                    Found = R;
                else if (R)
                    Found = R->FindComponent(Text);
                if (!Found)
                    InvalidValue(Text);
            }
            P->SetObj(O, Found);
            break;
        }
        InvalidValue(Text);
    }
    case tkMethod: {
        TMethod M;
        if (!Text.empty()) {
            const TMethodEntry* E = FindPublishedMethod(Root->ClassType(), Text);
            if (!E)
                throw EPropertyError("Method " + Text + " not found");
            M.Data = Root;
            M.Code = E->Code;
        }
        SetMethodProp(O, P, M);
        break;
    }
    default:
        throw EPropertyError("Invalid property type: " + P->PropType->Name);
    }
}
