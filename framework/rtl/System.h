// The root of the object model: TObject, class records (class references), published-class
// declarations, message-handler tables and "methods of object" (events).
//
// Every framework and system class derives from TObject and names itself once with DECLARE_CLASS:
//
//   class TFoo : public TBar {
//       DECLARE_CLASS(TFoo, TBar)
//   public:
//       static void DefineClass(TClassBuilder<TFoo>& b);   // optional: published members, messages
//       ...
//   };
//
// The class record is built on first use; it carries the name exactly as written, the parent, the
// virtual constructor, published properties and methods (see TypInfo.h) and the message table.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

using Byte = std::uint8_t;
using Word = std::uint16_t;
using Cardinal = std::uint32_t;
using LongWord = std::uint32_t;
using ShortInt = std::int8_t;
using SmallInt = std::int16_t;
using LongInt = std::int32_t;
using Int64 = std::int64_t;
using TDateTime = double;

class TObject;
class TComponent;
class TClassRecord;
struct TPropInfo;
struct TMethodEntry;
struct TFieldEntry;
template <class T> class TClassBuilder;
template <class T> class TPropBuilder;

// A class reference: a pointer to the class record.
using TClass = const TClassRecord*;

struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// A message handler as the class's message table holds it.
using TMessageHandler = void (*)(TObject* Self, TMessage& Message);

// ---------------------------------------------------------------------------------------------
// Class records

class TClassRecord {
public:
    // The virtual constructor; Arg is the owner (components), the collection (collection items) or
    // unused, as the class's constructor takes it.
    using TFactory = TObject* (*)(void* Arg);

    TClassRecord(const char* Name, TClass Parent, TFactory Factory);
    TClassRecord(const TClassRecord&) = delete;
    TClassRecord& operator=(const TClassRecord&) = delete;
    virtual ~TClassRecord();

    const std::string& ClassName() const { return FName; }
    TClass ClassParent() const { return FParent; }
    bool InheritsFrom(TClass Ancestor) const;
    bool IsAbstract() const { return FFactory == nullptr; }

    // The virtual constructor: Create(Owner) for components, the default constructor otherwise.
    // AfterConstruction has run when it returns. Raises EAbstractError for an abstract class.
    TObject* CreateInstance(TComponent* Owner = nullptr) const { return CreateInstanceArg(Owner); }
    TObject* CreateInstanceArg(void* Arg) const;

    // Published members declared by this class itself (not its ancestors).
    const std::vector<std::unique_ptr<TPropInfo>>& OwnProps() const { return FProps; }
    const std::vector<std::unique_ptr<TMethodEntry>>& OwnMethods() const { return FMethods; }
    const std::vector<std::unique_ptr<TFieldEntry>>& OwnFields() const { return FFields; }
    // Number of published properties with the ancestors' (the stream-order slots).
    int PropCount() const { return FPropCount; }

    // Message table laid out as the platform lays it out: a 16-bit count, count 16-bit message
    // numbers, then count 32-bit handler addresses. It is writable data: a swapped entry acts at once.
    Word* DynamicTable() const { return FDynamicTable.empty() ? nullptr : const_cast<Word*>(FDynamicTable.data()); }
    // Own handler for a message, or null.
    TMessageHandler FindOwnHandler(UINT Msg) const;
    // The hook point for code that wraps one of the class's own handlers for a while: Handler takes
    // the place of the own handler for Msg, which is returned. A class without an own handler for
    // Msg is left as it is and null is returned.
    TMessageHandler ReplaceMessageHandler(UINT Msg, TMessageHandler Handler) const;

    // Called once, from the class's static record, after the record exists.
    void AddProp(std::unique_ptr<TPropInfo> Prop);
    void AddMethod(std::unique_ptr<TMethodEntry> Method);
    void AddField(std::unique_ptr<TFieldEntry> Field);
    void AddMessageHandler(UINT Msg, TMessageHandler Handler);

private:
    std::string FName;
    TClass FParent;
    TFactory FFactory;
    std::vector<std::unique_ptr<TPropInfo>> FProps;
    std::vector<std::unique_ptr<TMethodEntry>> FMethods;
    std::vector<std::unique_ptr<TFieldEntry>> FFields;
    int FPropCount = 0;
    // Count, ids..., then addresses, a pointer's width each; the one part of a class record that may
    // change after start-up, through ReplaceMessageHandler.
    mutable std::vector<Word> FDynamicTable;
};

namespace SystemDetail {
template <class T>
TObject* CreateOf(void* Arg);

// A class whose constructor takes something other than an owner names it: `using TCreateArg = X;`
// (collection items take their collection).
template <class T>
concept HasCreateArg = requires { typename T::TCreateArg; } && std::is_constructible_v<T, typename T::TCreateArg*>;

template <class T>
constexpr TClassRecord::TFactory FactoryOf() {
    if constexpr (std::is_abstract_v<T>)
        return nullptr;
    else if constexpr (HasCreateArg<T>)
        return &CreateOf<T>;
    else if constexpr (std::is_constructible_v<T, TComponent*>)
        return &CreateOf<T>;
    else if constexpr (std::is_default_constructible_v<T>)
        return &CreateOf<T>;
    else
        return nullptr;
}

// CompareText / SameText for the headers that cannot include SysUtils.h (identifiers: class,
// property, component names).
int CompareIdent(const std::string& A, const std::string& B);
inline bool SameIdent(const std::string& A, const std::string& B) { return A.size() == B.size() && CompareIdent(A, B) == 0; }

// Every class record is entered here when built, so that it can be listed (not the streaming
// registry of RegisterClass: that one is explicit).
void NoteClassRecord(TClass Record);
}  // namespace SystemDetail

// Declares a class: its record (TClass), ClassType and the name used by `inherited`.
// A class that adds class-level virtuals names its own metaclass: `struct TMetaClass : P::TMetaClass`.
#define DECLARE_CLASS(T, P)                                                                  \
public:                                                                                      \
    using inherited = P;                                                                     \
    static TClass StaticClass() {                                                            \
        static const auto* Record = ::SystemDetail::BuildRecord<T, P>(#T);                   \
        return Record;                                                                       \
    }                                                                                        \
    TClass ClassType() const override { return StaticClass(); }                              \
                                                                                             \
private:

// ---------------------------------------------------------------------------------------------
// TObject

class TObject {
public:
    using TMetaClass = TClassRecord;

    TObject() = default;
    virtual ~TObject() = default;

    static TClass StaticClass();
    virtual TClass ClassType() const;
    std::string ClassName() const;
    TClass ClassParent() const;
    bool InheritsFrom(TClass Ancestor) const;
    template <class T>
    bool Is() const { return InheritsFrom(T::StaticClass()); }

    // Run by the factory and by Create<T>() once the C++ constructor is done, and by Free()
    // before delete, so that overrides are alive at both ends.
    virtual void AfterConstruction() {}
    virtual void BeforeDestruction() {}
    // BeforeDestruction, then delete. Not for null pointers: use FreeAndNil or FreeObject.
    void Free();

    // Message dispatch through the class's message tables (own class, then ancestors), then
    // DefaultHandler.
    virtual void Dispatch(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);
    // `inherited` inside a message handler: continues the search above the class `From`.
    void InheritedDispatch(TClass From, TMessage& Message);

    // Published members of TObject: none.
    static void DefineClass(TClassBuilder<TObject>&) {}

protected:
    TObject(const TObject&) = default;
    TObject& operator=(const TObject&) = default;
};

// Creates an object the way the framework does: constructor, then AfterConstruction.
template <class T, class... A>
T* Create(A&&... Args) {
    T* Obj = new T(std::forward<A>(Args)...);
    Obj->AfterConstruction();
    return Obj;
}

// Frees through Free(), so BeforeDestruction runs.
struct TObjectDeleter {
    void operator()(TObject* Obj) const { Obj->Free(); }
};
template <class T>
using TOwned = std::unique_ptr<T, TObjectDeleter>;

inline void FreeObject(TObject* Obj) {
    if (Obj)
        Obj->Free();
}

template <class T>
void FreeAndNil(T*& Obj) {
    T* Tmp = Obj;
    Obj = nullptr;
    FreeObject(Tmp);
}

// Checked cast: null stays null; a wrong class raises EInvalidCast.
[[noreturn]] void RaiseInvalidCast();

template <class T>
T* As(TObject* Obj) {
    if (Obj && !Obj->InheritsFrom(T::StaticClass()))
        RaiseInvalidCast();
    return static_cast<T*>(Obj);
}
template <class T>
T* DynCast(TObject* Obj) {  // the `is` test with the cast: null when Obj is not a T
    return Obj && Obj->InheritsFrom(T::StaticClass()) ? static_cast<T*>(Obj) : nullptr;
}

// ---------------------------------------------------------------------------------------------
// Methods of object (events): an object and one of its members, possibly empty, compared by
// (object, member). Bound in code with Bind<&TForm1::Handler>(form) or from a form resource by the
// published method's name.

template <class... Args>
class TMethodOf {
public:
    using TCode = void (*)(TObject* Data, Args... A);

    TMethodOf() = default;
    TMethodOf(std::nullptr_t) {}
    TMethodOf(TObject* Data, TCode Code) : FData(Data), FCode(Code) {}
    TMethodOf(TObject* Data, TCode Code, std::shared_ptr<TObject> Holder)
        : FData(Data), FCode(Code), FFn(std::static_pointer_cast<TFnHolder>(std::move(Holder))) {}

    template <auto Member, class C>
    static TMethodOf Bind(C* Obj) {
        return TMethodOf(static_cast<TObject*>(Obj), &Thunk<C, Member>);
    }
    // A free callable as an event (tests and glue code). Compares equal only to itself.
    static TMethodOf FromFunction(std::function<void(Args...)> Fn);

    explicit operator bool() const { return FCode != nullptr; }
    bool Assigned() const { return FCode != nullptr; }
    void operator()(Args... A) const {
        if (FCode)
            FCode(FData, std::forward<Args>(A)...);
    }
    TObject* Data() const { return FData; }
    TCode Code() const { return FCode; }
    std::shared_ptr<TObject> Holder() const { return FFn; }
    bool operator==(const TMethodOf& O) const { return FData == O.FData && FCode == O.FCode && FFn == O.FFn; }

    // The code of a member as this event type calls it (published methods bind through it).
    template <class C, auto Member>
    static TCode CodeFor() { return &Thunk<C, Member>; }

private:
    template <class C, auto Member>
    static void Thunk(TObject* Data, Args... A) {
        (static_cast<C*>(Data)->*Member)(std::forward<Args>(A)...);
    }
    struct TFnHolder : TObject {
        std::function<void(Args...)> Fn;
    };
    static void FnThunk(TObject* Data, Args... A) { static_cast<TFnHolder*>(Data)->Fn(std::forward<Args>(A)...); }

    TObject* FData = nullptr;
    TCode FCode = nullptr;
    std::shared_ptr<TFnHolder> FFn;
};

template <class... Args>
TMethodOf<Args...> TMethodOf<Args...>::FromFunction(std::function<void(Args...)> Fn) {
    TMethodOf M;
    M.FFn = std::make_shared<TFnHolder>();
    M.FFn->Fn = std::move(Fn);
    M.FData = M.FFn.get();
    M.FCode = &FnThunk;
    return M;
}

using TNotifyEvent = TMethodOf<TObject*>;

namespace SystemDetail {
// The event type a member function fits: void (C::*)(A...) -> TMethodOf<A...>.
template <class M>
struct MemberEvent;
template <class C, class... A>
struct MemberEvent<void (C::*)(A...)> {
    using Type = TMethodOf<A...>;
};
}  // namespace SystemDetail

// A class reference restricted to T and its descendants (TComponentClass, TCollectionItemClass ...):
// a value that holds a class record, reaches T's class-level virtuals with ->, and creates instances.
template <class T>
class TClassOf {
public:
    TClassOf() = default;
    TClassOf(std::nullptr_t) {}
    TClassOf(TClass C) : FClass(C) {
        if (C && !C->InheritsFrom(T::StaticClass()))
            RaiseInvalidCast();
    }
    template <class D>
    static TClassOf Of() {
        static_assert(std::is_base_of_v<T, D>);
        return TClassOf(D::StaticClass());
    }
    operator TClass() const { return FClass; }
    explicit operator bool() const { return FClass != nullptr; }
    const typename T::TMetaClass* operator->() const { return static_cast<const typename T::TMetaClass*>(FClass); }
    bool operator==(const TClassOf& O) const { return FClass == O.FClass; }
    bool operator==(TClass O) const { return FClass == O; }
    // The virtual constructor through the reference.
    T* Create(TComponent* Owner = nullptr) const { return static_cast<T*>(FClass->CreateInstance(Owner)); }

private:
    TClass FClass = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Class builder: what a class's DefineClass declares. Properties are added through TypInfo.h's
// helpers, which extend this builder's record; message handlers and published methods here.

template <class T>
class TClassBuilder {
public:
    explicit TClassBuilder(TClassRecord& Record) : FRecord(Record) {}
    TClassRecord& Record() { return FRecord; }

    // A message handler: a member `void Handler(TMessage&)`.
    template <auto Member>
    void Message(UINT Msg) {
        FRecord.AddMessageHandler(Msg, [](TObject* Self, TMessage& M) { (static_cast<T*>(Self)->*Member)(M); });
    }

    // A published property (TypInfo.h): getter, optional setter (member function, data member or
    // callable taking T*); the returned builder sets TypeName, Default and Stored.
    template <class G, class S = std::nullptr_t>
    TPropBuilder<T> Property(const char* Name, G Getter, S Setter = nullptr);
    // A published method, bound by name from form resources: B.Method<&TForm1::Button1Click>("Button1Click").
    template <auto Member>
    void Method(const char* Name);
    // A published field: a component pointer of the form that the owned component of that Name
    // fills when it joins the owner (and clears when it leaves), as form classes declare them.
    template <class C>
    void Field(const char* Name, C* T::*Member);

private:
    TClassRecord& FRecord;
};

namespace SystemDetail {
template <class T>
TObject* CreateOf(void* Arg) {
    T* Obj;
    if constexpr (HasCreateArg<T>)
        Obj = new T(static_cast<typename T::TCreateArg*>(Arg));
    else if constexpr (std::is_constructible_v<T, TComponent*>)
        Obj = new T(static_cast<TComponent*>(Arg));
    else {
        (void)Arg;
        Obj = new T();
    }
    Obj->AfterConstruction();
    return Obj;
}

template <class T, class P>
const typename T::TMetaClass* BuildRecord(const char* Name) {
    static_assert(std::is_base_of_v<P, T>, "DECLARE_CLASS: the parent must be a base class");
    auto* Record = new typename T::TMetaClass(Name, P::StaticClass(), FactoryOf<T>());
    // Only a class that declares its own DefineClass adds members; an inherited one already ran.
    if constexpr (!std::is_same_v<decltype(&T::DefineClass), decltype(&P::DefineClass)>) {
        TClassBuilder<T> Builder(*Record);
        T::DefineClass(Builder);
    }
    NoteClassRecord(Record);
    return Record;
}
}  // namespace SystemDetail
