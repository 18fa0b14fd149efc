// The Classes unit: persistent objects, components, collections, the class registry, integer
// constants for identifiers, streams (Streams.h) and component streaming (Filer.h).
#pragma once

#include "Streams.h"
#include "SysUtils.h"
#include "System.h"
#include "TypInfo.h"

#include <functional>
#include <string>
#include <vector>

class TFiler;
class TReader;
class TWriter;
class TComponent;
class TCollection;

DECLARE_EXCEPTION(EComponentError, Exception);
DECLARE_EXCEPTION(EParserError, Exception);
// Raises the list-index error "List index out of bounds (%d)" (collections, component lists).
[[noreturn]] void RaiseListIndexError(int Index);

// ---------------------------------------------------------------------------------------------
// TPersistent

// An object that can copy itself from another and take part in component streaming.
class TPersistent : public TObject {
    DECLARE_CLASS(TPersistent, TObject)
public:
    TPersistent() = default;
    TPersistent(const TPersistent&) = delete;
    TPersistent& operator=(const TPersistent&) = delete;

    // Asks Source->AssignTo(this); the base raises EConvertError "Cannot assign a %s to a %s".
    virtual void Assign(TPersistent* Source);
    // "Owner.Name" paths as the property editors and 3.112 show them; the class name at the top.
    virtual std::string GetNamePath();
    // The object that owns this one for streaming and name paths (a component's owner, a
    // collection's owner, an item's collection); null at the top.
    virtual TPersistent* GetOwner() { return nullptr; }
    // Declares properties that are no published property (binary data, string lists' "Strings",
    // collection items' extras): TFiler::DefineProperty / DefineBinaryProperty.
    virtual void DefineProperties(TFiler& Filer);

protected:
    virtual void AssignTo(TPersistent* Dest);
};

// ---------------------------------------------------------------------------------------------
// Components

DECLARE_ENUM(TComponentStateItem, csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor,
             csUpdating, csFixups, csFreeNotification, csInline, csDesignInstance)
DECLARE_SET(TComponentState, TComponentStateItem)
DECLARE_ENUM(TComponentStyleItem, csInheritable, csCheckPropAvail, csSubComponent, csTransient)
DECLARE_SET(TComponentStyle, TComponentStyleItem)
DECLARE_ENUM(TOperation, opInsert, opRemove)
// Horizontal alignment of a text: controls, fields and grid columns share it.
DECLARE_ENUM(TAlignment, taLeftJustify, taRightJustify, taCenter)

using TGetChildProc = std::function<void(TComponent* Child)>;

// A component: owned by another (which frees it), named uniquely among its owner's components,
// told of insertions and removals, read from and written to form resources.
//
// Construction: TComponent(Owner) joins the owner's Components at once (so a class that must refuse
// before joining checks in its base-initialiser argument); the owner's opInsert notifications go out
// from AfterConstruction, when the newcomer's overrides are alive (Create<T>(Owner) and the class
// factory call it). Destruction runs from BeforeDestruction (Free) in the order of framework.md 1.3:
// csDestroying on this and all it owns, opRemove to free-notification partners, owned components
// freed last first, removal from the owner; the C++ destructor repeats it for objects freed otherwise.
class TComponent : public TPersistent {
    DECLARE_CLASS(TComponent, TPersistent)
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TComponent>& B);

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const;
    int ComponentIndex() const;
    void SetComponentIndex(int Value);
    const std::string& Name() const { return FName; }
    void SetName(const std::string& NewName);
    LongInt Tag() const { return FTag; }
    void SetTag(LongInt Value) { FTag = Value; }
    TComponentState ComponentState() const { return FComponentState; }
    TComponentStyle ComponentStyle() const { return FComponentStyle; }

    // Case-insensitive; null when none (or Name empty).
    TComponent* FindComponent(const std::string& AName) const;
    // Public, as 3.113/3.114 use them: adds or removes a component with the notifications.
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    void DestroyComponents();
    // Sets csDestroying here and on everything owned.
    void Destroying();

    // Links two components (across owners) so that either's destruction sends the other opRemove.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // The base forwards to every owned component and, on opRemove, drops AComponent from the
    // free-notification list.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    // Clears csLoading; run by the reader for every component read, after the fix-ups.
    virtual void Loaded();
    // Reads this component's properties and children (Reader.Parent is its parent while reading:
    // controls override this to take it as their parent before calling the base).
    virtual void ReadState(TReader& Reader);
    virtual void WriteState(TWriter& Writer);
    // The components the writer writes inside this one. The base gives, for the root, the owned
    // components without a parent (HasParent false); controls give their child controls.
    virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root);
    virtual TComponent* GetChildOwner() { return nullptr; }
    virtual TComponent* GetChildParent() { return this; }
    virtual void SetChildOrder(TComponent* Child, int Order);
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual bool HasParent() const { return false; }
    virtual void SetParentComponent(TComponent* Value);
    virtual void Updating();
    virtual void Updated();
    std::string GetNamePath() override;
    TPersistent* GetOwner() override { return FOwner; }

    // csDesigning on this one (and what it owns); tests set it, the program never does.
    void SetDesigning(bool Value, bool SetChildren = true);
    void SetInline(bool Value);
    void SetSubComponent(bool Value);
    void SetAncestor(bool Value);

    // The reader's and writer's access to the state flags.
    void IncludeState(TComponentStateItem Item) { FComponentState.Include(Item); }
    void ExcludeState(TComponentStateItem Item) { FComponentState.Exclude(Item); }

protected:
    virtual void ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName);
    virtual void ValidateContainer(TComponent* AComponent);
    virtual void ValidateInsert(TComponent* AComponent);
    virtual void ChangeName(const std::string& NewName) { FName = NewName; }

    TComponentState FComponentState;
    TComponentStyle FComponentStyle{csInheritable};

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void RemoveNotification(TComponent* AComponent);
    void SetReference(bool Enable);
    void DestroySequence();

    TComponent* FOwner = nullptr;
    std::string FName;
    LongInt FTag = 0;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    bool FDestroyed = false;
    bool FInsertPending = false;
};

using TComponentClass = TClassOf<TComponent>;

// A command that controls can share: they publish Action, and a control without its own OnClick
// executes its action when clicked.
class TBasicAction : public TComponent {
    DECLARE_CLASS(TBasicAction, TComponent)
public:
    explicit TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}
    static void DefineClass(TClassBuilder<TBasicAction>& B);
    // Runs OnExecute; false when none is assigned.
    virtual bool Execute();
    TNotifyEvent OnExecute;
};

// A valid component name: a letter or "_", then letters, digits or "_".
bool IsValidIdent(const std::string& Ident);

// ---------------------------------------------------------------------------------------------
// Collections

class TCollectionItem : public TPersistent {
    DECLARE_CLASS(TCollectionItem, TPersistent)
public:
    using TCreateArg = TCollection;  // items are made by their collection's item class
    explicit TCollectionItem(TCollection* ACollection);
    ~TCollectionItem() override;

    TCollection* Collection() const { return FCollection; }
    void SetCollection(TCollection* Value);
    int ID() const { return FID; }
    int Index() const;
    virtual void SetIndex(int Value);
    virtual std::string GetDisplayName();
    virtual void SetDisplayName(const std::string& Value);
    std::string DisplayName() { return GetDisplayName(); }
    std::string GetNamePath() override;
    TPersistent* GetOwner() override;

protected:
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

using TCollectionItemClass = TClassOf<TCollectionItem>;

class TCollection : public TPersistent {
    DECLARE_CLASS(TCollection, TPersistent)
public:
    explicit TCollection(TCollectionItemClass ItemClass);
    ~TCollection() override;

    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    TCollectionItem* Items(int Index) const;  // the list-index error past the ends
    void SetItem(int Index, TCollectionItem* Value) { Items(Index)->Assign(Value); }
    int Count() const { return static_cast<int>(FItems.size()); }
    void Clear();
    void Delete(int Index);
    TCollectionItem* FindItemID(int ID) const;
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    TCollectionItemClass ItemClass() const { return FItemClass; }
    void Assign(TPersistent* Source) override;
    std::string GetNamePath() override;
    // The property name under which the owner publishes this collection (for name paths).
    std::string PropName();
    void SetPropName(const std::string& Name) { FPropName = Name; }

    // Called when an item (or all, Item null) changed, outside update brackets.
    virtual void Update(TCollectionItem* Item);

protected:
    virtual void Added(TCollectionItem*& Item) { (void)Item; }
    virtual void Deleting(TCollectionItem* Item) { (void)Item; }
    virtual void SetItemName(TCollectionItem* Item) { (void)Item; }
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);
    void MoveItem(int From, int To);

    TCollectionItemClass FItemClass;
    std::vector<TCollectionItem*> FItems;
    int FUpdateCount = 0;
    int FNextID = 0;
    std::string FPropName;
};

// A collection with an owner (GetOwner), as components publish them.
class TOwnedCollection : public TCollection {
    DECLARE_CLASS(TOwnedCollection, TCollection)
public:
    TOwnedCollection(TPersistent* AOwner, TCollectionItemClass ItemClass) : TCollection(ItemClass), FOwner(AOwner) {}
    TPersistent* GetOwner() override { return FOwner; }

private:
    TPersistent* FOwner;
};

// ---------------------------------------------------------------------------------------------
// Class registry for streaming by name, with class groups (one global lookup, framework.md 1.13)

void RegisterClass(TClass AClass);
void RegisterClasses(std::initializer_list<TClass> Classes);
void RegisterClassAlias(TClass AClass, const std::string& Alias);
void UnRegisterClass(TClass AClass);
void UnRegisterClasses(std::initializer_list<TClass> Classes);
TClass FindClass(const std::string& ClassName);  // raises EClassNotFound "Class %s not found"
TClass GetClass(const std::string& ClassName);   // null when not registered
void StartClassGroup(TClass AClass);
TClass ActivateClassGroup(TClass AClass);  // gives the class of the group active before
void GroupDescendentsWith(TClass AClass, TClass AClassGroup);
TClass ClassGroupOf(TClass AClass);  // the group's class that AClass belongs to, or null

// ---------------------------------------------------------------------------------------------
// Identifiers for integer types (TColor "clBtnFace", TCursor, TFontCharset "RUSSIAN_CHARSET"),
// keyed by type name and consulted newest first by reader, writer and property text.

using TIdentToInt = bool (*)(const std::string& Ident, LongInt& Int);
using TIntToIdent = bool (*)(LongInt Int, std::string& Ident);
void RegisterIntegerConsts(const std::string& TypeName, TIdentToInt IdentToInt, TIntToIdent IntToIdent);
void RegisterIntegerConsts(PTypeInfo IntegerType, TIdentToInt IdentToInt, TIntToIdent IntToIdent);
void UnRegisterIntegerConsts(const std::string& TypeName, TIdentToInt IdentToInt, TIntToIdent IntToIdent);
bool IdentToIntOf(PTypeInfo IntegerType, const std::string& Ident, int& Value);
bool IdentToIntOf(const std::string& TypeName, const std::string& Ident, int& Value);
bool IntToIdentOf(PTypeInfo IntegerType, LongInt Value, std::string& Ident);

// An identifier table as the colour and charset units keep them.
struct TIdentMapEntry {
    LongInt Value;
    const char* Name;
};
bool IdentToIntMap(const std::string& Ident, LongInt& Int, const TIdentMapEntry* Map, int Count);
bool IntToIdentMap(LongInt Int, std::string& Ident, const TIdentMapEntry* Map, int Count);

// ---------------------------------------------------------------------------------------------
// Roots known by name (forms and data modules, Screen's lists join through these), for
// references across roots ("frmSetting.siLangDispatcher") and unique root names.

void RegisterGlobalRoot(TComponent* Root);
void UnRegisterGlobalRoot(TComponent* Root);  // also done by a dying component
using TFindGlobalComponent = TComponent* (*)(const std::string& Name);
void RegisterFindGlobalComponentProc(TFindGlobalComponent Proc);
void UnRegisterFindGlobalComponentProc(TFindGlobalComponent Proc);
TComponent* FindGlobalComponent(const std::string& Name);

#include "Filer.h"
