// Published-property information: type kinds and type records, property records of class records,
// the accessor family that runs the real getters and setters, enumerations and sets, paths.
//
// Declaring published members, one line each, in the class's static DefineClass:
//
//   static void DefineClass(TClassBuilder<TButton>& B) {
//       B.Property("Caption", &TButton::GetCaption, &TButton::SetCaption).TypeName("TCaption");
//       B.Property("Color", &TButton::FColor, &TButton::SetColor).TypeName("TColor").Default(clBtnFace);
//       B.Property("Align", &TButton::GetAlign, &TButton::SetAlign).Default(alNone);   // an enum
//       B.Property("Style", &TButton::GetStyle, &TButton::SetStyle).Default(TFontStyles{});  // a TSet
//       B.Property("Font", &TButton::GetFont, &TButton::SetFont);        // TFont*: tkClass "TFont"
//       B.Property("Count", &TButton::GetCount);                          // read-only
//       B.Property("Checked", &TButton::GetChecked, &TButton::SetChecked).Stored(false);
//       B.Property("OnClick", &TButton::GetOnClick, &TButton::SetOnClick);  // TNotifyEvent: tkMethod
//       B.Method<&TForm1::Button1Click>("Button1Click");                // a published method
//   }
//
// Getters and setters are member functions, data members (a field read or written directly) or
// callables taking the object (`[](TButton* B) { ... }`). Kind and type name come from the C++ type:
// integers by size and sign ("Integer", "Byte", "Word", "SmallInt", "ShortInt", "Cardinal"),
// bool ("Boolean"), char, wchar_t, float/double/long double ("Single", "Double", "Extended"),
// std::string (tkLString "string"), std::wstring (tkWString "WideString"), Int64, enumerations
// declared with DECLARE_ENUM / DECLARE_ENUM_INFO, TSet<E> (DECLARE_SET names it), pointers to
// TObject descendants (tkClass, the class's name), TMethodOf<...> events (tkMethod; DECLARE_EVENT_NAME
// names it). TypeName("...") gives an alias its own type name (TColor, TCaption, TDateTime ...).
#pragma once

#include "SysUtils.h"
#include "System.h"

#include <initializer_list>
#include <map>
#include <string>
#include <typeindex>
#include <typeinfo>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Enumerations with names

struct TTypeInfo;
using PTypeInfo = const TTypeInfo*;

namespace TypInfoDetail {
// The type record of an enumeration whose names are given as the stringised enumerator list.
PTypeInfo MakeEnumType(const char* Name, const char* Names);
}  // namespace TypInfoDetail

// Declares an enumeration (numbered from 0 in order, as the platform's are) with its names.
#define DECLARE_ENUM(E, ...)                                                          \
    enum E : int { __VA_ARGS__ };                                                     \
    inline PTypeInfo TypeInfoOfEnum(E*) {                                             \
        static PTypeInfo Info = ::TypInfoDetail::MakeEnumType(#E, #__VA_ARGS__);      \
        return Info;                                                                  \
    }
// Names for an enumeration declared elsewhere: DECLARE_ENUM_INFO(TAlign, "alNone, alTop, ...").
#define DECLARE_ENUM_INFO(E, NAMES)                                                   \
    inline PTypeInfo TypeInfoOfEnum(E*) {                                             \
        static PTypeInfo Info = ::TypInfoDetail::MakeEnumType(#E, NAMES);             \
        return Info;                                                                  \
    }

DECLARE_ENUM(TTypeKind, tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass, tkMethod,
             tkWChar, tkLString, tkWString, tkVariant, tkArray, tkRecord, tkInterface, tkInt64, tkDynArray)
DECLARE_ENUM(TOrdType, otSByte, otUByte, otSWord, otUWord, otSLong, otULong)
DECLARE_ENUM(TFloatType, ftSingle, ftDouble, ftExtended, ftComp, ftCurr)

// ---------------------------------------------------------------------------------------------
// Sets of up to 32 elements of an enumeration (or of small integers), used as the platform's sets:
// TSet<TFontStyle> S{fsBold}; S.Include(fsItalic); S.Contains(fsBold); S + T, S - T, S * T, ==.

template <class E>
class TSet {
public:
    using TElement = E;
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> Elements) {
        for (E El : Elements)
            FBits |= Bit(El);
    }
    static constexpr TSet FromBits(std::uint32_t Bits) {
        TSet S;
        S.FBits = Bits;
        return S;
    }
    constexpr std::uint32_t Bits() const { return FBits; }
    constexpr bool Contains(E El) const { return (FBits & Bit(El)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr TSet& Include(E El) {
        FBits |= Bit(El);
        return *this;
    }
    constexpr TSet& Exclude(E El) {
        FBits &= ~Bit(El);
        return *this;
    }
    constexpr TSet operator+(TSet O) const { return FromBits(FBits | O.FBits); }
    constexpr TSet operator-(TSet O) const { return FromBits(FBits & ~O.FBits); }
    constexpr TSet operator*(TSet O) const { return FromBits(FBits & O.FBits); }
    constexpr TSet& operator+=(TSet O) { return *this = *this + O; }
    constexpr TSet& operator-=(TSet O) { return *this = *this - O; }
    constexpr TSet& operator*=(TSet O) { return *this = *this * O; }
    constexpr bool operator==(const TSet&) const = default;
    constexpr bool operator<=(TSet O) const { return (FBits & ~O.FBits) == 0; }  // subset

private:
    static constexpr std::uint32_t Bit(E El) { return std::uint32_t(1) << static_cast<int>(El); }
    std::uint32_t FBits = 0;
};

// Names a set type: DECLARE_SET(TFontStyles, TFontStyle) gives `using TFontStyles = TSet<TFontStyle>`
// with the type name "TFontStyles".
#define DECLARE_SET(S, E)                                     \
    using S = TSet<E>;                                        \
    inline const char* SetTypeNameOf(TSet<E>*) { return #S; }

// Names an event type: DECLARE_EVENT_NAME(TNotifyEvent) after `using TNotifyEvent = TMethodOf<...>`.
template <class M>
inline constexpr const char* EventTypeName = nullptr;
#define DECLARE_EVENT_NAME(M) \
    template <>               \
    inline constexpr const char* EventTypeName<M> = #M;

DECLARE_EVENT_NAME(TNotifyEvent)

// ---------------------------------------------------------------------------------------------
// Type records

struct TTypeInfo {
    TTypeKind Kind = tkUnknown;
    std::string Name;
    // Ordinals (tkInteger, tkChar, tkWChar, tkEnumeration, tkSet's storage) and Int64
    TOrdType OrdType = otSLong;
    Int64 MinValue = 0;
    Int64 MaxValue = 0;
    // tkEnumeration: names by ordinal; the base type is the record itself
    std::vector<std::string> EnumNames;
    // tkSet: the element type
    PTypeInfo CompType = nullptr;
    // tkFloat
    TFloatType FloatType = ftDouble;
    // tkClass
    TClass ClassType = nullptr;
    // tkMethod: the C++ event type, which a published method must match
    const std::type_info* MethodType = nullptr;
    // The C++ type this record describes (records of aliases share it).
    const std::type_info* CppType = nullptr;
};
using TTypeData = TTypeInfo;
inline const TTypeData* GetTypeData(PTypeInfo Info) { return Info; }

// A record like Base but under another type name (an alias such as TColor or TCaption); one per name.
PTypeInfo AliasType(PTypeInfo Base, const std::string& Name);

// Enumeration names: GetEnumName gives "" outside the range; GetEnumValue compares without regard
// to case and gives -1 for an unknown name. Boolean is the enumeration False, True.
std::string GetEnumName(PTypeInfo Info, int Value);
int GetEnumValue(PTypeInfo Info, const std::string& Name);

// ---------------------------------------------------------------------------------------------
// Method values without their signature (published methods, GetMethodProp)

struct TMethod {
    TObject* Data = nullptr;
    void (*Code)() = nullptr;
    std::shared_ptr<TObject> Holder;  // a bound free function keeps its callable alive here
    bool operator==(const TMethod& O) const { return Data == O.Data && Code == O.Code; }
};

template <class M>
TMethod ToMethod(const M& Event) {
    TMethod R;
    R.Data = Event.Data();
    R.Code = reinterpret_cast<void (*)()>(Event.Code());
    R.Holder = Event.Holder();
    return R;
}
template <class M>
M FromMethod(const TMethod& Method) {
    return M(Method.Data, reinterpret_cast<typename M::TCode>(Method.Code), Method.Holder);
}

// ---------------------------------------------------------------------------------------------
// Property records

constexpr Int64 NoDefault = Int64(INT32_MIN);  // the platform's "nodefault" marker

namespace TypInfoDetail {
struct TStoredTest {
    virtual ~TStoredTest() = default;
    virtual bool Call(TObject* Instance) const = 0;
};
}  // namespace TypInfoDetail

struct TPropInfo {
    virtual ~TPropInfo() = default;
    std::string Name;
    PTypeInfo PropType = nullptr;
    TClass DeclaringClass = nullptr;
    int NameIndex = 0;  // position in the class's stream order (ancestors' properties first)
    bool HasGetter = true;
    bool HasSetter = false;
    Int64 Default = NoDefault;  // ordinals and sets (bits)
    bool StoredConst = true;    // when no stored function is given
    std::unique_ptr<TypInfoDetail::TStoredTest> StoredTest;

    bool IsStored(TObject* Instance) const { return StoredTest ? StoredTest->Call(Instance) : StoredConst; }
    virtual Int64 GetOrd(TObject* Instance) const;
    virtual void SetOrd(TObject* Instance, Int64 Value) const;
    virtual std::string GetStr(TObject* Instance) const;
    virtual void SetStr(TObject* Instance, const std::string& Value) const;
    virtual std::wstring GetWStr(TObject* Instance) const;
    virtual void SetWStr(TObject* Instance, const std::wstring& Value) const;
    virtual long double GetFloat(TObject* Instance) const;
    virtual void SetFloat(TObject* Instance, long double Value) const;
    virtual TObject* GetObj(TObject* Instance) const;
    virtual void SetObj(TObject* Instance, TObject* Value) const;
    virtual TMethod GetMeth(TObject* Instance) const;
    virtual void SetMeth(TObject* Instance, const TMethod& Value) const;

protected:
    [[noreturn]] void WrongKind() const;
    [[noreturn]] void ReadOnly() const;
};
using PPropInfo = const TPropInfo*;

// One published method: a name, its code and the event type it fits.
struct TMethodEntry {
    virtual ~TMethodEntry() = default;
    std::string Name;
    void (*Code)() = nullptr;
    const std::type_info* MethodType = nullptr;
};

// One published field (a component pointer of a form class, filled by name).
struct TFieldEntry {
    virtual ~TFieldEntry() = default;
    std::string Name;
    TClass FieldClass = nullptr;
    virtual void Set(TObject* Owner, TObject* Value) const = 0;
    virtual TObject* Get(TObject* Owner) const = 0;
};

DECLARE_EXCEPTION(EPropertyError, Exception);
DECLARE_EXCEPTION(EPropertyConvertError, Exception);

// ---------------------------------------------------------------------------------------------
// Type records of C++ types

class TStrings;
namespace TypInfoDetail {
template <class T>
struct IsTSet : std::false_type {};
template <class E>
struct IsTSet<TSet<E>> : std::true_type {};
template <class T>
struct IsMethodOf : std::false_type {};
template <class... A>
struct IsMethodOf<TMethodOf<A...>> : std::true_type {};

PTypeInfo MakeIntegerType(const char* Name, TTypeKind Kind, TOrdType Ord, Int64 Min, Int64 Max, const std::type_info& Cpp);
PTypeInfo MakeFloatType(const char* Name, TFloatType F, const std::type_info& Cpp);
PTypeInfo MakeSimpleType(const char* Name, TTypeKind Kind, const std::type_info& Cpp);
PTypeInfo MakeSetType(const char* Name, PTypeInfo Comp, const std::type_info& Cpp);
PTypeInfo MakeClassType(TClass Class, const std::type_info& Cpp);
PTypeInfo MakeMethodType(const char* Name, const std::type_info& Cpp);
PTypeInfo BooleanType();
}  // namespace TypInfoDetail

template <class V>
PTypeInfo TypeInfoFor() {
    using namespace TypInfoDetail;
    static PTypeInfo Info = [] {
        if constexpr (std::is_same_v<V, bool>)
            return BooleanType();
        else if constexpr (std::is_same_v<V, char>)
            return MakeIntegerType("Char", tkChar, otUByte, 0, 255, typeid(V));
        else if constexpr (std::is_same_v<V, wchar_t>)
            return MakeIntegerType("WideChar", tkWChar, otUWord, 0, 65535, typeid(V));
        else if constexpr (std::is_enum_v<V>)
            return TypeInfoOfEnum(static_cast<V*>(nullptr));
        else if constexpr (std::is_integral_v<V> && sizeof(V) == 8)
            return MakeIntegerType("Int64", tkInt64, otSLong, INT64_MIN, INT64_MAX, typeid(V));
        else if constexpr (std::is_integral_v<V> && std::is_signed_v<V> && sizeof(V) == 1)
            return MakeIntegerType("ShortInt", tkInteger, otSByte, -128, 127, typeid(V));
        else if constexpr (std::is_integral_v<V> && sizeof(V) == 1)
            return MakeIntegerType("Byte", tkInteger, otUByte, 0, 255, typeid(V));
        else if constexpr (std::is_integral_v<V> && std::is_signed_v<V> && sizeof(V) == 2)
            return MakeIntegerType("SmallInt", tkInteger, otSWord, -32768, 32767, typeid(V));
        else if constexpr (std::is_integral_v<V> && sizeof(V) == 2)
            return MakeIntegerType("Word", tkInteger, otUWord, 0, 65535, typeid(V));
        else if constexpr (std::is_integral_v<V> && std::is_signed_v<V>)
            return MakeIntegerType("Integer", tkInteger, otSLong, INT32_MIN, INT32_MAX, typeid(V));
        else if constexpr (std::is_integral_v<V>)
            return MakeIntegerType("Cardinal", tkInteger, otULong, 0, UINT32_MAX, typeid(V));
        else if constexpr (std::is_same_v<V, float>)
            return MakeFloatType("Single", ftSingle, typeid(V));
        else if constexpr (std::is_same_v<V, double>)
            return MakeFloatType("Double", ftDouble, typeid(V));
        else if constexpr (std::is_same_v<V, long double>)
            return MakeFloatType("Extended", ftExtended, typeid(V));
        else if constexpr (std::is_same_v<V, std::string>)
            return MakeSimpleType("string", tkLString, typeid(V));
        else if constexpr (std::is_same_v<V, std::wstring>)
            return MakeSimpleType("WideString", tkWString, typeid(V));
        else if constexpr (IsTSet<V>::value) {
            using E = typename V::TElement;
            const char* Name = nullptr;
            if constexpr (requires { SetTypeNameOf(static_cast<V*>(nullptr)); })
                Name = SetTypeNameOf(static_cast<V*>(nullptr));
            return MakeSetType(Name, TypeInfoFor<E>(), typeid(V));
        } else if constexpr (std::is_pointer_v<V> && std::is_base_of_v<TObject, std::remove_pointer_t<V>>)
            return MakeClassType(std::remove_pointer_t<V>::StaticClass(), typeid(V));
        else if constexpr (IsMethodOf<V>::value)
            return MakeMethodType(EventTypeName<V>, typeid(V));
        else
            static_assert(sizeof(V) == 0, "no published-property kind for this C++ type");
    }();
    return Info;
}

// ---------------------------------------------------------------------------------------------
// The property builder: TClassBuilder<T>::Property returns one of these for the options.

namespace TypInfoDetail {
template <class T, class G>
using GetterValue = std::decay_t<std::invoke_result_t<G, T*>>;

template <class T, class V>
V ToValueFromOrd(Int64 Ord) {
    if constexpr (IsTSet<V>::value)
        return V::FromBits(static_cast<std::uint32_t>(Ord));
    else
        return static_cast<V>(Ord);
}

template <class T, class V, class G, class S>
struct TPropImpl final : TPropInfo {
    G Getter;
    S Setter;
    TPropImpl(G Get, S Set) : Getter(Get), Setter(Set) { HasSetter = !std::is_same_v<S, std::nullptr_t>; }

    static T* Self(TObject* Instance) { return static_cast<T*>(Instance); }
    V Get(TObject* Instance) const {
        if constexpr (std::is_member_object_pointer_v<G>)
            return Self(Instance)->*Getter;
        else
            return std::invoke(Getter, Self(Instance));
    }
    void Set(TObject* Instance, const V& Value) const {
        if constexpr (std::is_same_v<S, std::nullptr_t>) {
            (void)Instance, (void)Value;
            ReadOnly();
        } else if constexpr (std::is_member_object_pointer_v<S>)
            Self(Instance)->*Setter = Value;
        else
            std::invoke(Setter, Self(Instance), Value);
    }

    static constexpr bool IsOrdinal =
        (std::is_integral_v<V> && sizeof(V) <= 4) || std::is_enum_v<V> || IsTSet<V>::value;
    Int64 GetOrd(TObject* Instance) const override {
        if constexpr (IsOrdinal) {
            V Value = Get(Instance);
            if constexpr (IsTSet<V>::value)
                return Value.Bits();
            else
                return static_cast<Int64>(Value);
        } else if constexpr (std::is_integral_v<V>)
            return static_cast<Int64>(Get(Instance));
        else if constexpr (std::is_pointer_v<V>)
            return static_cast<Int64>(reinterpret_cast<std::intptr_t>(static_cast<TObject*>(Get(Instance))));
        else
            WrongKind();
    }
    void SetOrd(TObject* Instance, Int64 Value) const override {
        if constexpr (IsOrdinal || std::is_integral_v<V>)
            Set(Instance, ToValueFromOrd<T, V>(Value));
        else if constexpr (std::is_pointer_v<V>)
            SetObj(Instance, reinterpret_cast<TObject*>(static_cast<std::intptr_t>(Value)));
        else
            (void)Instance, (void)Value, WrongKind();
    }
    std::string GetStr(TObject* Instance) const override {
        if constexpr (std::is_same_v<V, std::string>)
            return Get(Instance);
        else if constexpr (std::is_same_v<V, std::wstring>)
            return TPropInfo::GetStr(Instance);  // converts GetWStr
        else
            WrongKind();
    }
    void SetStr(TObject* Instance, const std::string& Value) const override {
        if constexpr (std::is_same_v<V, std::string>)
            Set(Instance, Value);
        else
            TPropInfo::SetStr(Instance, Value);
    }
    std::wstring GetWStr(TObject* Instance) const override {
        if constexpr (std::is_same_v<V, std::wstring>)
            return Get(Instance);
        else
            return TPropInfo::GetWStr(Instance);
    }
    void SetWStr(TObject* Instance, const std::wstring& Value) const override {
        if constexpr (std::is_same_v<V, std::wstring>)
            Set(Instance, Value);
        else
            TPropInfo::SetWStr(Instance, Value);
    }
    long double GetFloat(TObject* Instance) const override {
        if constexpr (std::is_floating_point_v<V>)
            return static_cast<long double>(Get(Instance));
        else
            WrongKind();
    }
    void SetFloat(TObject* Instance, long double Value) const override {
        if constexpr (std::is_floating_point_v<V>)
            Set(Instance, static_cast<V>(Value));
        else
            (void)Instance, (void)Value, WrongKind();
    }
    TObject* GetObj(TObject* Instance) const override {
        if constexpr (std::is_pointer_v<V>)
            return static_cast<TObject*>(Get(Instance));
        else
            WrongKind();
    }
    void SetObj(TObject* Instance, TObject* Value) const override {
        if constexpr (std::is_pointer_v<V>)
            Set(Instance, Value ? As<std::remove_pointer_t<V>>(Value) : nullptr);
        else
            (void)Instance, (void)Value, WrongKind();
    }
    TMethod GetMeth(TObject* Instance) const override {
        if constexpr (IsMethodOf<V>::value)
            return ToMethod(Get(Instance));
        else
            WrongKind();
    }
    void SetMeth(TObject* Instance, const TMethod& Value) const override {
        if constexpr (IsMethodOf<V>::value)
            Set(Instance, FromMethod<V>(Value));
        else
            (void)Instance, (void)Value, WrongKind();
    }
};
}  // namespace TypInfoDetail

template <class T>
class TPropBuilder {
public:
    TPropBuilder(TPropInfo& Info) : FInfo(Info) {}
    // A type name of its own for an alias (TColor, TCaption, TDateTime ...).
    TPropBuilder& TypeName(const std::string& Name) {
        FInfo.PropType = AliasType(FInfo.PropType, Name);
        return *this;
    }
    // The default of an ordinal or set property: the writer leaves that value out. The reader never
    // applies it: a property absent from a stream keeps its constructor value.
    template <class V>
    TPropBuilder& Default(V Value) {
        if constexpr (TypInfoDetail::IsTSet<V>::value)
            FInfo.Default = Value.Bits();
        else
            FInfo.Default = static_cast<Int64>(Value);
        return *this;
    }
    TPropBuilder& NoDefault() {
        FInfo.Default = ::NoDefault;
        return *this;
    }
    TPropBuilder& Stored(bool Value) {
        FInfo.StoredConst = Value;
        return *this;
    }
    // A stored test: a member `bool IsXStored() const` (or non-const).
    template <class C>
    TPropBuilder& Stored(bool (C::*Fn)() const) {
        SetStoredFn(Fn);
        return *this;
    }
    template <class C>
    TPropBuilder& Stored(bool (C::*Fn)()) {
        SetStoredFn(Fn);
        return *this;
    }

private:
    template <class F>
    void SetStoredFn(F Fn);
    TPropInfo& FInfo;
};

template <class T>
template <class F>
void TPropBuilder<T>::SetStoredFn(F Fn) {
    struct THolder : TypInfoDetail::TStoredTest {
        F Fn;
        explicit THolder(F AFn) : Fn(AFn) {}
        bool Call(TObject* Instance) const override { return (static_cast<T*>(Instance)->*Fn)(); }
    };
    FInfo.StoredTest = std::make_unique<THolder>(Fn);
}

template <class T>
template <class G, class S>
TPropBuilder<T> TClassBuilder<T>::Property(const char* Name, G Getter, S Setter) {
    using V = TypInfoDetail::GetterValue<T, G>;
    auto Info = std::make_unique<TypInfoDetail::TPropImpl<T, V, G, S>>(Getter, Setter);
    Info->Name = Name;
    Info->PropType = TypeInfoFor<V>();
    TPropInfo& Ref = *Info;
    FRecord.AddProp(std::move(Info));
    return TPropBuilder<T>(Ref);
}

template <class T>
template <auto Member>
void TClassBuilder<T>::Method(const char* Name) {
    using M = typename SystemDetail::MemberEvent<decltype(Member)>::Type;
    auto Entry = std::make_unique<TMethodEntry>();
    Entry->Name = Name;
    Entry->Code = reinterpret_cast<void (*)()>(M::template CodeFor<T, Member>());
    Entry->MethodType = &typeid(M);
    FRecord.AddMethod(std::move(Entry));
}

template <class T>
template <class C>
void TClassBuilder<T>::Field(const char* Name, C* T::*Member) {
    struct TEntry : TFieldEntry {
        C* T::*M;
        explicit TEntry(C* T::*AM) : M(AM) {}
        void Set(TObject* Owner, TObject* Value) const override {
            static_cast<T*>(Owner)->*M = Value ? As<C>(Value) : nullptr;
        }
        TObject* Get(TObject* Owner) const override { return static_cast<T*>(Owner)->*M; }
    };
    auto Entry = std::make_unique<TEntry>(Member);
    Entry->Name = Name;
    Entry->FieldClass = C::StaticClass();
    FRecord.AddField(std::move(Entry));
}
// The published field Name of Instance's class or its ancestors; null when none.
const TFieldEntry* FindPublishedField(TClass Class, const std::string& Name);

// ---------------------------------------------------------------------------------------------
// Listing and lookup

using TTypeKinds = TSet<TTypeKind>;
inline constexpr TTypeKinds tkAny = TTypeKinds::FromBits((1u << (tkDynArray + 1)) - 1);
inline constexpr TTypeKinds tkMethods = TTypeKinds{tkMethod};
inline constexpr TTypeKinds tkProperties = tkAny - tkMethods;

// All published properties of the class, inherited ones included, whose kind is in Kinds; sorted
// by name (CompareText) unless SortList is false, when they come in stream order.
std::vector<PPropInfo> GetPropList(TClass Class, TTypeKinds Kinds = tkAny, bool SortList = true);
std::vector<PPropInfo> GetPropList(TObject* Instance, TTypeKinds Kinds = tkAny, bool SortList = true);
// Case-insensitive lookup; null when none.
PPropInfo GetPropInfo(TClass Class, const std::string& PropName, TTypeKinds Kinds = tkAny);
PPropInfo GetPropInfo(TObject* Instance, const std::string& PropName, TTypeKinds Kinds = tkAny);
bool IsPublishedProp(TObject* Instance, const std::string& PropName);
bool IsPublishedProp(TClass Class, const std::string& PropName);
TTypeKind PropType(TObject* Instance, const std::string& PropName);  // raises EPropertyError
bool PropIsType(TObject* Instance, const std::string& PropName, TTypeKind Kind);
bool IsStoredProp(TObject* Instance, PPropInfo Prop);

// Published methods of a class and its ancestors: by name (case-insensitive), by code.
const TMethodEntry* FindPublishedMethod(TClass Class, const std::string& Name);
std::string MethodName(TObject* Instance, void (*Code)());  // "" when not published

// ---------------------------------------------------------------------------------------------
// Accessors: by record, or by name (EPropertyError "Unknown property: %s" when missing).

Int64 GetOrdProp(TObject* Instance, PPropInfo Prop);
void SetOrdProp(TObject* Instance, PPropInfo Prop, Int64 Value);
std::string GetEnumProp(TObject* Instance, PPropInfo Prop);
void SetEnumProp(TObject* Instance, PPropInfo Prop, const std::string& Value);
std::string GetSetProp(TObject* Instance, PPropInfo Prop, bool Brackets = false);
void SetSetProp(TObject* Instance, PPropInfo Prop, const std::string& Value);
TObject* GetObjectProp(TObject* Instance, PPropInfo Prop, TClass MinClass = nullptr);
void SetObjectProp(TObject* Instance, PPropInfo Prop, TObject* Value);
TClass GetObjectPropClass(PPropInfo Prop);
std::string GetStrProp(TObject* Instance, PPropInfo Prop);
void SetStrProp(TObject* Instance, PPropInfo Prop, const std::string& Value);
std::wstring GetWideStrProp(TObject* Instance, PPropInfo Prop);
void SetWideStrProp(TObject* Instance, PPropInfo Prop, const std::wstring& Value);
long double GetFloatProp(TObject* Instance, PPropInfo Prop);
void SetFloatProp(TObject* Instance, PPropInfo Prop, long double Value);
Int64 GetInt64Prop(TObject* Instance, PPropInfo Prop);
void SetInt64Prop(TObject* Instance, PPropInfo Prop, Int64 Value);
TMethod GetMethodProp(TObject* Instance, PPropInfo Prop);
void SetMethodProp(TObject* Instance, PPropInfo Prop, const TMethod& Value);

Int64 GetOrdProp(TObject* Instance, const std::string& PropName);
void SetOrdProp(TObject* Instance, const std::string& PropName, Int64 Value);
std::string GetEnumProp(TObject* Instance, const std::string& PropName);
void SetEnumProp(TObject* Instance, const std::string& PropName, const std::string& Value);
std::string GetSetProp(TObject* Instance, const std::string& PropName, bool Brackets = false);
void SetSetProp(TObject* Instance, const std::string& PropName, const std::string& Value);
TObject* GetObjectProp(TObject* Instance, const std::string& PropName, TClass MinClass = nullptr);
void SetObjectProp(TObject* Instance, const std::string& PropName, TObject* Value);
std::string GetStrProp(TObject* Instance, const std::string& PropName);
void SetStrProp(TObject* Instance, const std::string& PropName, const std::string& Value);
std::wstring GetWideStrProp(TObject* Instance, const std::string& PropName);
void SetWideStrProp(TObject* Instance, const std::string& PropName, const std::wstring& Value);
long double GetFloatProp(TObject* Instance, const std::string& PropName);
void SetFloatProp(TObject* Instance, const std::string& PropName, long double Value);
Int64 GetInt64Prop(TObject* Instance, const std::string& PropName);
void SetInt64Prop(TObject* Instance, const std::string& PropName, Int64 Value);
TMethod GetMethodProp(TObject* Instance, const std::string& PropName);
void SetMethodProp(TObject* Instance, const std::string& PropName, const TMethod& Value);

// Sets as text: names joined by "," in element order, no blanks, brackets only when asked.
std::string SetToString(PTypeInfo SetType, Int64 Bits, bool Brackets = false);
Int64 StringToSet(PTypeInfo SetType, const std::string& Text);  // EPropertyConvertError on bad names

// ---------------------------------------------------------------------------------------------
// Paths and text: "Font.Name", "Columns[1].Title.Caption", "Lines" (a string list as comma text).
// A segment before the last names an object property (a collection takes "[index]" to select an
// item; a bad index raises the list-index error); a missing property raises EPropertyError.

struct TPropTarget {
    TObject* Instance = nullptr;
    PPropInfo Prop = nullptr;
};
TPropTarget ResolvePropPath(TObject* Root, const std::string& Path);

// The value as text for every kind: integers decimal, enumerations by name, sets as SetToString,
// floats with 15 significant digits, strings as they stand (wide ones through the ANSI code page),
// string lists as comma text, components by name, events by method name.
std::string GetPropText(TObject* Root, const std::string& Path);
void SetPropText(TObject* Root, const std::string& Path, const std::string& Text);

// String lists take part in paths and text through these, registered by the string-list unit
// (Lists.cpp: TStrings with its CommaText), so that this unit does not depend on it.
struct TStringListAccess {
    TClass ListClass = nullptr;
    std::string (*GetCommaText)(TObject* List) = nullptr;
    void (*SetCommaText)(TObject* List, const std::string& Text) = nullptr;
};
void RegisterStringListAccess(const TStringListAccess& Access);
// The access for an object's class (newest registration first), or null.
const TStringListAccess* FindStringListAccess(TObject* Obj);
