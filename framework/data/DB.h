// The data-access unit: data sets with the record-buffer protocol, fields and field definitions,
// data sources and data links. The field kinds are in DBFields.h (included at the end).
//
// A descendant keeps its records somewhere and answers the buffer protocol (the protected pure
// virtuals of TDataSet); the base owns the ring of record buffers that the links look at, the state
// machine, the events and the notifications.
//
// Record buffers. The base asks the descendant for BufferCount + 1 buffers (AllocRecordBuffer): one
// per row the widest link shows, plus the spare at index RecordCount that fetches land in and that
// TempBuffer names (the filter state reads it). A buffer's layout is the descendant's business; the
// base reads and writes a buffer only through GetBookmarkFlag/SetBookmarkFlag and
// GetBookmarkData/SetBookmarkData. Calculated and lookup fields live in the buffer's calculated area
// of CalcFieldsSize bytes: for each such field an "assigned" byte at its Offset, then DataSize bytes.
//
// Cursor synchronisation: before the base asks for the next or prior record it puts the
// descendant's cursor on the buffer the walk starts from: InternalSetToRecord for bfCurrent and
// bfInserted buffers, InternalFirst for bfBOF, InternalLast for bfEOF. Append flags its new buffer
// bfEOF (the cursor after the last record); Insert flags it bfInserted with the bookmark of the
// record it was inserted before.
#pragma once

#include "Classes.h"
#include "Variants.h"

#include <cstdint>
#include <string>
#include <vector>

class TDataSet;
class TDataSource;
class TDataLink;
class TField;
class TFields;
class TFieldDef;
class TFieldDefs;
class TBlobField;
class TObjectField;

// ---------------------------------------------------------------------------------------------
// Enumerations

DECLARE_ENUM(TFieldType, ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD,
             ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic, ftFmtMemo,
             ftParadoxOle, ftDBaseOle, ftTypedBinary, ftCursor, ftFixedChar, ftWideString, ftLargeint, ftADT,
             ftArray, ftReference, ftDataSet, ftOraBlob, ftOraClob, ftVariant, ftInterface, ftIDispatch, ftGuid,
             ftTimeStamp, ftFMTBcd)

DECLARE_ENUM(TDataSetState, dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter, dsNewValue,
             dsOldValue, dsCurValue, dsBlockRead, dsInternalCalc, dsOpening)
DECLARE_SET(TDataSetStates, TDataSetState)
// The states in which fields take new values from the user, and those in which a descendant's
// SetFieldData may write at all.
inline constexpr TDataSetStates dsEditModes{dsEdit, dsInsert, dsSetKey};
inline constexpr TDataSetStates dsWriteModes{dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter, dsNewValue,
                                             dsInternalCalc};

DECLARE_ENUM(TDataEvent, deFieldChange, deRecordChange, deDataSetChange, deDataSetScroll, deLayoutChange,
             deUpdateRecord, deUpdateState, deCheckBrowseMode, dePropertyChange, deFieldListChange, deFocusControl,
             deParentScroll, deConnectChange, deReconcileError, deDisabledStateChange)

DECLARE_ENUM(TFieldKind, fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate)
DECLARE_SET(TFieldKinds, TFieldKind)

DECLARE_ENUM(TFieldAttribute, faHiddenCol, faReadonly, faRequired, faLink, faUnNamed, faFixed)
DECLARE_SET(TFieldAttributes, TFieldAttribute)

DECLARE_ENUM(TGetMode, gmCurrent, gmNext, gmPrior)
DECLARE_ENUM(TGetResult, grOK, grBOF, grEOF, grError)
DECLARE_ENUM(TBookmarkFlag, bfCurrent, bfBOF, bfEOF, bfInserted)
DECLARE_ENUM(TResyncModeItem, rmExact, rmCenter)
DECLARE_SET(TResyncMode, TResyncModeItem)
DECLARE_ENUM(TDataAction, daFail, daAbort, daRetry)
DECLARE_ENUM(TBlobStreamMode, bmRead, bmWrite, bmReadWrite)
DECLARE_ENUM(TLocateOption, loCaseInsensitive, loPartialKey)
DECLARE_SET(TLocateOptions, TLocateOption)

// A record buffer: BufferCount + 1 of them, laid out by the descendant.
using TRecordBuffer = Byte*;
// A bookmark: a copy of a record's bookmark data (BookmarkSize bytes); empty = none.
using TBookmark = std::vector<Byte>;
// What a data event carries: a TField* for deFieldChange, deFocusControl (a TField**); a distance
// for deDataSetScroll; 0 otherwise.
using TDataEventInfo = std::intptr_t;

// ---------------------------------------------------------------------------------------------
// Errors

namespace DBConsts {
inline constexpr const char* SNotEditing = "Dataset not in edit or insert mode";
inline constexpr const char* SFieldReadOnly = "Field '%s' cannot be modified";
inline constexpr const char* SUnknownFieldType = "Field '%s' is of an unknown type";
inline constexpr const char* SCircularDataLink = "Circular datalinks are not allowed";
inline constexpr const char* SFieldNotFound = "Field '%s' not found";
inline constexpr const char* SDataSetClosed = "Cannot perform this operation on a closed dataset";
inline constexpr const char* SDataSetOpen = "Cannot perform this operation on an open dataset";
inline constexpr const char* SDataSetEmpty = "Cannot perform this operation on an empty dataset";
inline constexpr const char* SDataSetReadOnly = "Cannot modify a read-only dataset";
inline constexpr const char* SFieldRequired = "Field '%s' must have a value";
inline constexpr const char* SRecordNotFound = "Record not found";
inline constexpr const char* SNoDataFound = "No data found";
inline constexpr const char* SDuplicateFieldName = "Duplicate field name '%s'";
inline constexpr const char* SFieldIndexError = "Field index out of range";
inline constexpr const char* SDataSetMissing = "Field '%s' has no dataset";
inline constexpr const char* SFieldAccessError = "Cannot access field '%s' as type %s";
inline constexpr const char* SInvalidIntegerValue = "'%s' is not a valid integer value for field '%s'";
inline constexpr const char* SInvalidFloatValue = "'%s' is not a valid floating point value for field '%s'";
inline constexpr const char* SInvalidBoolValue = "'%s' is not a valid boolean value for field '%s'";
inline constexpr const char* SFieldRangeError = "%s is not a valid value for field '%s'. The allowed range is %s to %s";
inline constexpr const char* SFieldTypeMismatch = "Type mismatch for field '%s', expecting: %s actual: %s";
inline constexpr const char* SInvalidFieldSize = "Invalid field size";
inline constexpr const char* SFieldNameMissing = "Field name missing";
inline constexpr const char* SLookupInfoError = "Lookup information for field '%s' is incomplete";
inline constexpr const char* SFieldValueError = "Invalid value for field '%s'";
inline constexpr const char* SBcdOverflow = "BCD overflow";
inline constexpr const char* SNoDataSet = "No dataset association";
inline constexpr const char* STextTrue = "True";
inline constexpr const char* STextFalse = "False";
}  // namespace DBConsts

// Raises EDatabaseError; with a named component the message starts with its name and ": ".
[[noreturn]] void DatabaseError(const std::string& Message, TComponent* Component = nullptr);
[[noreturn]] void DatabaseErrorFmt(const std::string& Fmt, TVarRecs Args, TComponent* Component = nullptr);

// Where exceptions that a data set must not let through go (filter handlers, blob change signals):
// the application's handler (Application->HandleException) unless another is installed here (tests);
// without either they are dropped. Called inside the catch block, so a handler may rethrow to look
// at the exception.
using TDataSetExceptionHandler = void (*)(TObject* Sender);
void SetDataSetExceptionHandler(TDataSetExceptionHandler Handler);
TDataSetExceptionHandler DataSetExceptionHandler();

// ---------------------------------------------------------------------------------------------
// Events

using TDataSetNotifyEvent = TMethodOf<TDataSet*>;
using TDataSetErrorEvent = TMethodOf<TDataSet*, EDatabaseError&, TDataAction&>;
using TFilterRecordEvent = TMethodOf<TDataSet*, bool&>;
using TFieldNotifyEvent = TMethodOf<TField*>;
using TFieldGetTextEvent = TMethodOf<TField*, std::string&, bool>;  // (Sender, var Text, DisplayText)
using TFieldSetTextEvent = TMethodOf<TField*, const std::string&>;
using TDataChangeEvent = TMethodOf<TObject*, TField*>;
DECLARE_EVENT_NAME(TDataSetNotifyEvent)
DECLARE_EVENT_NAME(TDataSetErrorEvent)
DECLARE_EVENT_NAME(TFilterRecordEvent)
DECLARE_EVENT_NAME(TFieldNotifyEvent)
DECLARE_EVENT_NAME(TFieldGetTextEvent)
DECLARE_EVENT_NAME(TFieldSetTextEvent)
DECLARE_EVENT_NAME(TDataChangeEvent)

// ---------------------------------------------------------------------------------------------
// Field definitions

// A collection item with a name, unique within its collection (case-insensitive).
class TNamedItem : public TCollectionItem {
    DECLARE_CLASS(TNamedItem, TCollectionItem)
public:
    using TCollectionItem::TCollectionItem;
    static void DefineClass(TClassBuilder<TNamedItem>& B);
    const std::string& Name() const { return FName; }
    virtual void SetName(const std::string& Value);
    std::string GetDisplayName() override { return FName; }

private:
    std::string FName;
};

using TFieldClass = TClassOf<TField>;

// One field as the data set's source describes it. Streamed in form files as an item of the data
// set's FieldDefs (Name, DataType, Size, Precision, Attributes, ChildDefs).
class TFieldDef : public TNamedItem {
    DECLARE_CLASS(TFieldDef, TNamedItem)
public:
    explicit TFieldDef(TCollection* ACollection);
    ~TFieldDef() override;
    static void DefineClass(TClassBuilder<TFieldDef>& B);
    void Assign(TPersistent* Source) override;

    TFieldType DataType() const { return FDataType; }
    void SetDataType(TFieldType Value);
    int Size() const { return FSize; }
    void SetSize(int Value);
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value);
    TFieldAttributes Attributes() const { return FAttributes; }
    void SetAttributes(TFieldAttributes Value);
    bool Required() const { return FAttributes.Contains(faRequired); }
    void SetRequired(bool Value);
    bool InternalCalcField() const { return FInternalCalcField; }
    void SetInternalCalcField(bool Value) { FInternalCalcField = Value; }
    // 1-based number in the data set's flattened definition list unless set explicitly.
    int FieldNo() const;
    void SetFieldNo(int Value) { FFieldNo = Value; }

    // Child definitions of an object type (ftADT, ftArray); created on first use.
    TFieldDefs* ChildDefs();
    void SetChildDefs(TFieldDefs* Value);
    bool HasChildDefs() const;
    TFieldDef* AddChild();
    TFieldDef* ParentDef() const;
    TFieldDefs* FieldDefs() const;  // the collection holding this definition
    TDataSet* DataSet() const;
    std::string FullName() const;  // "Parent.Child" for children

    // The field class DefaultFieldClasses gives for DataType (null for none).
    TFieldClass FieldClass() const;
    // Makes a field of FieldClass for this definition, in DataSet's Fields, owned by Owner.
    // A type without a field class raises "Field '%s' is of an unknown type".
    TField* CreateField(TComponent* Owner, TField* ParentField = nullptr, const std::string& FieldName = "",
                        bool CreateChildren = true);

private:
    bool ChildDefsStored() const { return HasChildDefs(); }
    TFieldType FDataType = ftUnknown;
    int FSize = 0;
    int FPrecision = 0;
    TFieldAttributes FAttributes;
    bool FInternalCalcField = false;
    int FFieldNo = 0;
    TFieldDefs* FChildDefs = nullptr;
};

// The definitions of a data set (or the children of one definition).
class TFieldDefs : public TOwnedCollection {
    DECLARE_CLASS(TFieldDefs, TOwnedCollection)
public:
    // Owner: the data set, or the parent TFieldDef for child definitions.
    explicit TFieldDefs(TPersistent* AOwner);

    TFieldDef* Items(int Index) const { return static_cast<TFieldDef*>(TCollection::Items(Index)); }
    TFieldDef* AddFieldDef() { return static_cast<TFieldDef*>(TCollection::Add()); }
    // Adds a definition; a name already present raises "Duplicate field name '%s'".
    TFieldDef* Add(const std::string& Name, TFieldType DataType, int Size = 0, bool Required = false);
    int IndexOf(const std::string& Name) const;  // case-insensitive; -1 when absent
    TFieldDef* Find(const std::string& Name) const;  // raises "Field '%s' not found"
    TDataSet* DataSet() const { return FDataSet; }
    TFieldDef* ParentDef() const { return FParentDef; }
    // False after a change; the data set rebuilds its flattened list then. Update() fills the
    // definitions from the data set's source when they are not up to date.
    bool Updated() const { return FUpdated; }
    void SetUpdated(bool Value) { FUpdated = Value; }
    void Update();
    using TCollection::Update;
    void Update(TCollectionItem* Item) override;

private:
    TDataSet* FDataSet = nullptr;
    TFieldDef* FParentDef = nullptr;
    bool FUpdated = false;
};

// The definitions flattened: every definition followed by its children, by full name.
class TFieldDefList {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    TFieldDef* FieldDefs(int Index) const;
    int IndexOf(const std::string& FullName) const;
    TFieldDef* Find(const std::string& FullName) const;  // raises "Field '%s' not found"
    const std::string& FullName(int Index) const { return FNames.at(static_cast<std::size_t>(Index)); }
    void Rebuild(TFieldDefs* Defs);

private:
    void AddDefs(TFieldDefs* Defs, const std::string& Prefix);
    std::vector<TFieldDef*> FItems;
    std::vector<std::string> FNames;
};

// ---------------------------------------------------------------------------------------------
// Fields

// One field of a data set: reads and writes its value in the active record buffer through the
// data set's GetFieldData/SetFieldData, in the native format of its kind (DBFields.h), and converts
// it to and from text, numbers, dates and variants.
class TField : public TComponent {
    DECLARE_CLASS(TField, TComponent)
public:
    explicit TField(TComponent* AOwner);
    ~TField() override;
    static void DefineClass(TClassBuilder<TField>& B);
    void Assign(TPersistent* Source) override;
    TComponent* GetParentComponent() const override;
    bool HasParent() const override { return true; }
    void SetParentComponent(TComponent* Value) override;

    // Identity and layout
    TDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* Value);
    const std::string& FieldName() const { return FFieldName; }
    void SetFieldName(const std::string& Value);
    // "Parent.Child" for a field inside an object field, as the definitions name it.
    std::string FullName() const;
    // The object field this field belongs to (null for a field of the data set itself).
    TObjectField* ParentField() const { return FParentField; }
    TFieldType DataType() const { return FDataType; }
    TFieldKind FieldKind() const { return FFieldKind; }
    void SetFieldKind(TFieldKind Value);
    int FieldNo() const { return FFieldNo; }
    int Offset() const { return FOffset; }  // in the calculated area, or the blob number
    int Size() const { return FSize; }
    void SetSize(int Value);
    // Bytes of the native value (DBFields.h): the buffer GetData fills.
    virtual int DataSize() const { return 0; }
    int Index() const;
    void SetIndex(int Value);
    bool Calculated() const { return FFieldKind == fkCalculated; }
    bool Lookup() const { return FFieldKind == fkLookup; }
    virtual bool IsBlob() const { return false; }

    // Display
    std::string DisplayLabel() const { return FDisplayLabel.empty() ? FFieldName : FDisplayLabel; }
    void SetDisplayLabel(const std::string& Value);
    std::string DisplayName() const { return DisplayLabel(); }
    int DisplayWidth() const { return FDisplayWidth > 0 ? FDisplayWidth : GetDefaultWidth(); }
    void SetDisplayWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    const std::string& EditMask() const { return FEditMask; }
    void SetEditMask(const std::string& Value) { FEditMask = Value; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool Required() const { return FRequired; }
    void SetRequired(bool Value) { FRequired = Value; }
    bool CanModify() const;

    // Values. A null reads as "", 0, False, 0.0 and Null.
    bool IsNull() const { return GetIsNull(); }
    virtual void Clear();
    std::string AsString() const { return GetAsString(); }
    void SetAsString(const std::string& Value) { SetAsStringValue(Value); }
    LongInt AsInteger() const { return GetAsInteger(); }
    void SetAsInteger(LongInt Value) { SetAsIntegerValue(Value); }
    double AsFloat() const { return GetAsFloat(); }
    void SetAsFloat(double Value) { SetAsFloatValue(Value); }
    bool AsBoolean() const { return GetAsBoolean(); }
    void SetAsBoolean(bool Value) { SetAsBooleanValue(Value); }
    TDateTime AsDateTime() const { return GetAsDateTime(); }
    void SetAsDateTime(TDateTime Value) { SetAsDateTimeValue(Value); }
    Int64 AsLargeInt() const { return GetAsLargeInt(); }
    void SetAsLargeInt(Int64 Value) { SetAsLargeIntValue(Value); }
    // Currency as the platform scales it: the value times 10,000.
    Int64 AsCurrency() const { return GetAsCurrency(); }
    void SetAsCurrency(Int64 Value) { SetAsCurrencyValue(Value); }
    Variant AsVariant() const { return GetAsVariant(); }
    void SetAsVariant(const Variant& Value);
    Variant Value() const { return GetAsVariant(); }
    void SetValue(const Variant& Value) { SetAsVariant(Value); }
    // The text shown (OnGetText or the kind's display format) and the text edited.
    std::string DisplayText() const { return GetTextOf(true); }
    std::string Text() const { return GetTextOf(false); }
    std::string EditText() const { return GetTextOf(false); }
    void SetText(const std::string& Value);
    void SetEditText(const std::string& Value) { SetText(Value); }

    // The native value: GetData fills Buffer (DataSize bytes; null only tests) and says whether
    // the field has a value; SetData writes it (null clears) through the data set.
    bool GetData(void* Buffer) const;
    void SetData(const void* Buffer);
    // Runs OnValidate with Buffer as the field's value (GetData reads Buffer meanwhile).
    void Validate(const void* Buffer);
    // OnChange; the data set calls it after a change of the value.
    void Change();
    void FocusControl();

    // Lookup fields
    TDataSet* LookupDataSet() const { return FLookupDataSet; }
    void SetLookupDataSet(TDataSet* Value);
    const std::string& KeyFields() const { return FKeyFields; }
    void SetKeyFields(const std::string& Value) { FKeyFields = Value; }
    const std::string& LookupKeyFields() const { return FLookupKeyFields; }
    void SetLookupKeyFields(const std::string& Value) { FLookupKeyFields = Value; }
    const std::string& LookupResultField() const { return FLookupResultField; }
    void SetLookupResultField(const std::string& Value) { FLookupResultField = Value; }
    // The lookup value of the current record from LookupDataSet (the data set calls it while it
    // computes the calculated area).
    void CalcLookupValue();

    TFieldNotifyEvent OnChange;
    TFieldNotifyEvent OnValidate;
    TFieldGetTextEvent OnGetText;
    TFieldSetTextEvent OnSetText;

    // Binding by the data set (BindFields)
    void SetFieldNo(int Value) { FFieldNo = Value; }
    void SetOffset(int Value) { FOffset = Value; }
    virtual void Bind(bool Binding);
    // Drops what the field keeps of the record between edits (blobs).
    virtual void FreeBuffers() {}

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void SetDataType(TFieldType Value) { FDataType = Value; }
    virtual void CheckTypeSize(int Value);
    virtual int GetDefaultWidth() const { return 10; }
    virtual bool GetIsNull() const { return !GetData(nullptr); }
    virtual std::string GetClassDesc() const;
    // The conversions each kind overrides; the base raises "Cannot access field '%s' as type %s".
    virtual std::string GetAsString() const;
    virtual void SetAsStringValue(const std::string& Value);
    virtual LongInt GetAsInteger() const;
    virtual void SetAsIntegerValue(LongInt Value);
    virtual double GetAsFloat() const;
    virtual void SetAsFloatValue(double Value);
    virtual bool GetAsBoolean() const;
    virtual void SetAsBooleanValue(bool Value);
    virtual TDateTime GetAsDateTime() const;
    virtual void SetAsDateTimeValue(TDateTime Value);
    virtual Int64 GetAsLargeInt() const;
    virtual void SetAsLargeIntValue(Int64 Value);
    virtual Int64 GetAsCurrency() const;
    virtual void SetAsCurrencyValue(Int64 Value);
    virtual Variant GetAsVariant() const;
    virtual void SetVarValue(const Variant& Value);
    // Text for display (DisplayText true) or editing; the base gives AsString.
    virtual void GetText(std::string& Text, bool DisplayText) const;
    virtual void SetTextValue(const std::string& Value);
    [[noreturn]] void AccessError(const char* TypeName) const;
    void CheckInactive() const;
    void PropertyChanged(bool LayoutAffected);

private:
    friend class TDataSet;
    friend class TFields;
    friend class TObjectField;
    std::string GetTextOf(bool Display) const;
    bool IsDisplayLabelStored() const { return !FDisplayLabel.empty(); }
    bool IsDisplayWidthStored() const { return FDisplayWidth > 0; }
    bool IsSizeStored() const { return FSize != 0; }

    TDataSet* FDataSet = nullptr;
    TObjectField* FParentField = nullptr;
    std::string FFieldName;
    TFieldType FDataType = ftUnknown;
    TFieldKind FFieldKind = fkData;
    int FFieldNo = 0;
    int FOffset = 0;
    int FSize = 0;
    std::string FDisplayLabel;
    int FDisplayWidth = 0;
    TAlignment FAlignment = taLeftJustify;
    bool FVisible = true;
    bool FReadOnly = false;
    bool FRequired = false;
    std::string FEditMask;
    TDataSet* FLookupDataSet = nullptr;
    std::string FKeyFields;
    std::string FLookupKeyFields;
    std::string FLookupResultField;
    mutable const void* FValueBuffer = nullptr;
    bool FValidating = false;
};

// The fields of a data set in Index order.
class TFields : public TObject {
    DECLARE_CLASS(TFields, TObject)
public:
    explicit TFields(TDataSet* ADataSet) : FDataSet(ADataSet) {}
    int Count() const { return static_cast<int>(FList.size()); }
    TField* Fields(int Index) const;  // raises "Field index out of range"
    TField* operator[](int Index) const { return Fields(Index); }
    TField* FindField(const std::string& FieldName) const;  // case-insensitive; null when absent
    TField* FieldByName(const std::string& FieldName) const;  // raises "Field '%s' not found"
    TField* FieldByNumber(int FieldNo) const;
    int IndexOf(const TField* Field) const;
    void GetFieldNames(std::vector<std::string>& List) const;
    TDataSet* DataSet() const { return FDataSet; }
    // Frees every field (the data set's default fields).
    void Clear();
    void Add(TField* Field);
    void Remove(TField* Field);
    void SetFieldIndex(TField* Field, int Value);

private:
    TDataSet* FDataSet;
    std::vector<TField*> FList;
};

// ---------------------------------------------------------------------------------------------
// Data sets

class TDataSet : public TComponent {
    DECLARE_CLASS(TDataSet, TComponent)
public:
    explicit TDataSet(TComponent* AOwner);
    ~TDataSet() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TDataSet>& B);

    // Opening and closing
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    bool Active() const { return FState != dsInactive && FState != dsOpening; }
    void SetActive(bool Value);
    TDataSetState State() const { return FState; }
    void CheckActive() const;  // "Cannot perform this operation on a closed dataset"
    void CheckInactive() const;  // "Cannot perform this operation on an open dataset"

    // Navigation
    void First();
    void Last();
    void Next() { MoveBy(1); }
    void Prior() { MoveBy(-1); }
    int MoveBy(int Distance);
    bool Bof() const { return FBOF; }
    bool Eof() const { return FEOF; }
    bool IsEmpty() const { return FActiveRecord >= FRecordCount; }
    int RecordCount();
    int RecNo() { return GetRecNo(); }
    void SetRecNo(int Value) { SetRecNoValue(Value); }
    // Re-reads the records around the current one from the source, keeping the row of the current one.
    void Refresh();
    void Resync(TResyncMode Mode);

    // Editing
    void Append();
    void Insert();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    // Adds a whole record from values in field order (Null and Unassigned leave a field null).
    void AppendRecord(std::initializer_list<Variant> Values);
    void InsertRecord(std::initializer_list<Variant> Values);
    void SetFields(std::initializer_list<Variant> Values);
    void ClearFields();
    void CheckBrowseMode();  // posts (or cancels, when unmodified) a pending edit
    void UpdateRecord();     // asks the links to write what their controls hold
    bool CanModify() { return GetCanModify(); }
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }

    // Bookmarks
    TBookmark GetBookmark();
    void GotoBookmark(const TBookmark& Bookmark);
    void FreeBookmark(TBookmark& Bookmark) { Bookmark.clear(); }
    TBookmark Bookmark() { return GetBookmark(); }
    void SetBookmark(const TBookmark& Value) { GotoBookmark(Value); }
    bool BookmarkAvailable();
    virtual bool BookmarkValid(const TBookmark& Bookmark);
    // -1, 0 or 1; an empty bookmark is less than any other.
    virtual int CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2);
    int BookmarkSize() const { return FBookmarkSize; }

    // Searching. The base finds nothing: descendants that can search override them.
    virtual bool Locate(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options);
    virtual Variant Lookup(const std::string& KeyFields, const Variant& KeyValues, const std::string& ResultFields);

    // Fields
    TFields* Fields() const { return FFields.get(); }
    int FieldCount() const { return FFields->Count(); }
    TFieldDefs* FieldDefs() const { return FFieldDefs; }
    void SetFieldDefs(TFieldDefs* Value);
    TFieldDefList& FieldDefList();
    TField* FieldByName(const std::string& FieldName) const;  // raises "Field '%s' not found"
    // Case-insensitive; "Parent.Child" reaches a field inside an object field. Null when absent.
    TField* FindField(const std::string& FieldName) const;
    TField* FieldByNumber(int FieldNo) const;
    // The fields named in "a;b" (blanks around names ignored); an unknown name raises.
    void GetFieldList(std::vector<TField*>& List, const std::string& FieldNames) const;
    void GetFieldNames(std::vector<std::string>& List) const { FFields->GetFieldNames(List); }
    // One field's value, or a variant array for "a;b".
    Variant FieldValues(const std::string& FieldNames) const;
    void SetFieldValues(const std::string& FieldNames, const Variant& Value);
    bool DefaultFields() const { return FDefaultFields; }
    // Fills FieldDefs from the source (opening the cursor for information only when closed).
    void InitFieldDefs();

    // The record buffer protocol's public side
    virtual bool GetFieldData(TField* Field, void* Buffer) = 0;
    virtual void SetFieldData(TField* Field, const void* Buffer) = 0;
    virtual bool GetCurrentRecord(TRecordBuffer Buffer);
    virtual TStream* CreateBlobStream(TField* Field, TBlobStreamMode Mode);
    virtual bool IsSequenced();

    // Controls
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return FDisableCount != 0; }
    bool IsLinkedTo(TDataSource* DataSource) const;
    virtual TDataSource* GetDataSource() const { return nullptr; }  // the master, for linked sets
    // Sends Event to every data source (unless controls are disabled) after the data set's own
    // handling (modified flag and calculated fields on a field change).
    virtual void DataEvent(TDataEvent Event, TDataEventInfo Info);

    // Properties
    bool AutoCalcFields() const { return FAutoCalcFields; }
    void SetAutoCalcFields(bool Value) { FAutoCalcFields = Value; }
    bool Filtered() const { return FFiltered; }
    void SetFiltered(bool Value) { SetFilteredValue(Value); }
    // Object fields are shown as fields with nested fields (data grids nest their columns).
    bool ObjectView() const { return FObjectView; }
    void SetObjectView(bool Value) { FObjectView = Value; }
    TFilterRecordEvent OnFilterRecord() const { return FOnFilterRecord; }
    void SetOnFilterRecord(const TFilterRecordEvent& Value) { SetOnFilterRecordValue(Value); }

    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TDataSetNotifyEvent OnNewRecord, OnCalcFields;
    TDataSetErrorEvent OnPostError, OnEditError, OnDeleteError;

protected:
    // ---- The buffer protocol: what a descendant implements -------------------------------------
    virtual TRecordBuffer AllocRecordBuffer() = 0;
    virtual void FreeRecordBuffer(TRecordBuffer& Buffer) = 0;
    // Zeroes a buffer for a new record (InitRecord adds the calculated area and the bfInserted flag).
    virtual void InternalInitRecord(TRecordBuffer Buffer) = 0;
    virtual void InitRecord(TRecordBuffer Buffer);
    virtual void ClearCalcFields(TRecordBuffer Buffer) { (void)Buffer; }
    // Fetches the record at (gmCurrent), after (gmNext) or before (gmPrior) the cursor into Buffer
    // and moves the cursor there; DoCheck asks for an error instead of grError.
    virtual TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) = 0;
    virtual int GetRecordSize() { return 0; }
    virtual void GetBookmarkData(TRecordBuffer Buffer, void* Data) = 0;
    virtual void SetBookmarkData(TRecordBuffer Buffer, const void* Data) = 0;
    virtual TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) = 0;
    virtual void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) = 0;
    virtual void InternalFirst() = 0;
    virtual void InternalLast() = 0;
    virtual void InternalSetToRecord(TRecordBuffer Buffer) = 0;
    virtual void InternalGotoBookmark(const void* Bookmark) = 0;
    virtual void InternalAddRecord(TRecordBuffer Buffer, bool Append) = 0;
    // The base checks required fields; descendants store the active buffer.
    virtual void InternalPost();
    virtual void InternalDelete() = 0;
    virtual void InternalEdit() {}
    virtual void InternalInsert() {}
    virtual void InternalCancel() {}
    virtual void InternalRefresh() {}
    virtual void InternalOpen() = 0;
    virtual void InternalClose() = 0;
    virtual void InternalInitFieldDefs() = 0;
    // Inside a catch block: hands the exception to the application's handler.
    virtual void InternalHandleException();
    virtual bool IsCursorOpen() = 0;
    virtual void OpenCursor(bool InfoQuery = false);
    virtual void CloseCursor();
    virtual int GetRecordCount() { return -1; }
    virtual int GetRecNo() { return -1; }
    virtual void SetRecNoValue(int Value) { (void)Value; }
    virtual void SetFilteredValue(bool Value);
    virtual void SetOnFilterRecordValue(const TFilterRecordEvent& Value);
    virtual bool GetIsIndexField(TField* Field) { (void)Field; return false; }
    virtual bool GetCanModify() { return true; }
    virtual void CloseBlob(TField* Field) { (void)Field; }

    // ---- Base services ---------------------------------------------------------------------
    TRecordBuffer ActiveBuffer() const { return FBuffers.empty() ? nullptr : FBuffers[FActiveRecord]; }
    // The spare buffer: the filter state reads the record being tested here.
    TRecordBuffer TempBuffer() const { return FBuffers.empty() ? nullptr : FBuffers[FRecordCount]; }
    // The buffer whose calculated area is being computed (dsCalcFields).
    TRecordBuffer CalcBuffer() const { return FCalcBuffer; }
    // The buffer that field values are read from and written to in the present state: the active
    // record's (none while browsing an empty set), the calculation buffer, or the filter's temporary one.
    TRecordBuffer FieldBuffer() const;
    TRecordBuffer Buffers(int Index) const { return FBuffers.at(static_cast<std::size_t>(Index)); }
    int BufferCount() const { return FBufferCount; }
    int ActiveRecord() const { return FActiveRecord; }
    int CurrentRecord() const { return FCurrentRecord; }
    int BufferRecordCount() const { return FRecordCount; }  // records held in the buffers
    int CalcFieldsSize() const { return FCalcFieldsSize; }
    int BlobFieldCount() const { return FBlobFieldCount; }
    void SetBookmarkSize(int Value) { FBookmarkSize = Value; }
    bool InternalCalcFields() const { return FInternalCalcFields; }
    void SetDefaultFields(bool Value) { FDefaultFields = Value; }

    // Calculated and lookup fields of Buffer under dsCalcFields (descendants call it on fetch).
    void GetCalcFields(TRecordBuffer Buffer);
    virtual void CalculateFields(TRecordBuffer Buffer);
    void ClearBuffers();
    void CursorPosChanged() { FCurrentRecord = -1; }
    void UpdateCursorPos();
    void SetCurrentRecord(int Index);
    TDataSetState SetTempState(TDataSetState Value);
    void RestoreState(TDataSetState Value);
    void SetState(TDataSetState Value);
    // Fields from the definitions, their binding to the definitions (offsets in the calculated
    // area, blob numbers) and their removal.
    virtual void CreateFields();
    virtual void BindFields(bool Binding);
    virtual void DestroyFields();
    void InitFieldDefsFromFields();
    void FreeFieldBuffers();
    void CheckRequiredFields();
    void CheckCanModify();
    void SetBufferCount(int Value);
    void UpdateBufferCount();

    virtual void DoBeforeOpen() { BeforeOpen(this); }
    virtual void DoAfterOpen() { AfterOpen(this); }
    virtual void DoBeforeClose() { BeforeClose(this); }
    virtual void DoAfterClose() { AfterClose(this); }
    virtual void DoBeforeInsert() { BeforeInsert(this); }
    virtual void DoAfterInsert() { AfterInsert(this); }
    virtual void DoBeforeEdit() { BeforeEdit(this); }
    virtual void DoAfterEdit() { AfterEdit(this); }
    virtual void DoBeforePost() { BeforePost(this); }
    virtual void DoAfterPost() { AfterPost(this); }
    virtual void DoBeforeCancel() { BeforeCancel(this); }
    virtual void DoAfterCancel() { AfterCancel(this); }
    virtual void DoBeforeDelete() { BeforeDelete(this); }
    virtual void DoAfterDelete() { AfterDelete(this); }
    virtual void DoBeforeScroll() { BeforeScroll(this); }
    virtual void DoAfterScroll() { AfterScroll(this); }
    virtual void DoOnNewRecord() { OnNewRecord(this); }
    virtual void DoOnCalcFields() { OnCalcFields(this); }

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

    bool FFiltered = false;
    TFilterRecordEvent FOnFilterRecord;

private:
    friend class TField;
    friend class TBlobField;
    friend class TFieldDefs;
    friend class TDataSource;
    friend class TDataLink;

    void DetachAll();
    void BeginInsertAppend();
    void EndInsertAppend();
    void InsertAppendRecord(std::initializer_list<Variant> Values, bool Append);
    bool GetNextRecord();
    bool GetPriorRecord();
    int GetNextRecords();
    int GetPriorRecords();
    void ActivateBuffers();
    void MoveBuffer(int CurIndex, int NewIndex);
    void DoInternalOpen();
    void OpenCursorComplete();
    void ShiftLinks(int Distance);
    template <class Op>
    void CheckOperation(Op Operation, const TDataSetErrorEvent& ErrorEvent);
    void AddDataSource(TDataSource* DataSource);
    void RemoveDataSource(TDataSource* DataSource);
    std::vector<TDataLink*> AllLinks() const;

    TDataSetState FState = dsInactive;
    std::unique_ptr<TFields> FFields;
    TFieldDefs* FFieldDefs = nullptr;
    TFieldDefList FFieldDefList;
    bool FFieldDefListStale = true;
    std::vector<TDataSource*> FDataSources;
    std::vector<TRecordBuffer> FBuffers;  // FBufferCount + 1 while open
    int FBufferCount = 0;
    int FRecordCount = 0;
    int FActiveRecord = 0;
    int FCurrentRecord = -1;
    TRecordBuffer FCalcBuffer = nullptr;
    int FCalcFieldsSize = 0;
    int FBlobFieldCount = 0;
    int FBookmarkSize = 0;
    bool FBOF = true;
    bool FEOF = true;
    bool FModified = false;
    bool FStreamedActive = false;
    bool FAutoCalcFields = true;
    bool FObjectView = false;
    bool FDefaultFields = false;
    bool FInternalCalcFields = false;
    bool FInternalOpenComplete = false;
    int FDisableCount = 0;
    TDataSetState FDisableState = dsInactive;
    TDataEvent FEnableEvent = deDataSetChange;
};

// ---------------------------------------------------------------------------------------------
// Data sources and links

class TDataSource : public TComponent {
    DECLARE_CLASS(TDataSource, TComponent)
public:
    explicit TDataSource(TComponent* AOwner);
    ~TDataSource() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TDataSource>& B);

    TDataSet* DataSet() const { return FDataSet; }
    // A data set whose master chain leads back here raises "Circular datalinks are not allowed".
    void SetDataSet(TDataSet* Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool AutoEdit() const { return FAutoEdit; }
    void SetAutoEdit(bool Value) { FAutoEdit = Value; }
    TDataSetState State() const { return FState; }
    // Puts the data set into edit state when AutoEdit allows and it is browsing.
    void Edit();
    bool IsLinkedTo(TDataSet* DataSet) const;
    int DataLinkCount() const { return static_cast<int>(FDataLinks.size()); }
    TDataLink* DataLinks(int Index) const { return FDataLinks.at(static_cast<std::size_t>(Index)); }

    TDataChangeEvent OnDataChange;  // (Sender, Field): Field null for a whole-record change
    TNotifyEvent OnStateChange;
    TNotifyEvent OnUpdateData;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TDataSet;
    friend class TDataLink;
    void DataEvent(TDataEvent Event, TDataEventInfo Info);
    void NotifyDataLinks(TDataEvent Event, TDataEventInfo Info);
    void UpdateState();
    void SetState(TDataSetState Value);
    void AddDataLink(TDataLink* Link);
    void RemoveDataLink(TDataLink* Link);

    TDataSet* FDataSet = nullptr;
    std::vector<TDataLink*> FDataLinks;
    bool FEnabled = true;
    bool FAutoEdit = true;
    TDataSetState FState = dsInactive;
};

// A link between a data source and whatever shows its data: a window of BufferCount records of the
// data set's buffers, the active record inside it, and the notifications as overridables.
class TDataLink : public TPersistent {
    DECLARE_CLASS(TDataLink, TPersistent)
public:
    TDataLink() = default;
    ~TDataLink() override;

    TDataSource* DataSource() const { return FDataSource; }
    void SetDataSource(TDataSource* Value);
    TDataSet* DataSet() const { return FDataSource ? FDataSource->DataSet() : nullptr; }
    bool DataSourceFixed() const { return FDataSourceFixed; }
    void SetDataSourceFixed(bool Value) { FDataSourceFixed = Value; }
    bool Active() const { return FActive; }
    bool Editing() const { return FEditing; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    // Rows of the link's window: the data set keeps at least this many record buffers.
    int BufferCount() const { return FBufferCount; }
    void SetBufferCount(int Value);
    // The active record's row in the window. Setting it makes that row's buffer the data set's
    // active buffer, so that fields read that record (drawing rows); put it back afterwards.
    int ActiveRecord() const;
    void SetActiveRecord(int Value);
    // Records in the window (at most BufferCount).
    int RecordCount() const;
    // The first row's index among the data set's buffers.
    int FirstRecord() const { return FFirstRecord; }
    bool Bof() const;
    bool Eof() const;
    bool Edit();
    void UpdateRecord();
    int MoveBy(int Distance);
    bool VisualControl = false;

protected:
    friend class TDataSource;
    friend class TDataSet;
    virtual void ActiveChanged() {}
    virtual void CheckBrowseMode() {}
    virtual void DataEvent(TDataEvent Event, TDataEventInfo Info);
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    // Distance: rows by which the window's first record moved forward (negative: backward).
    virtual void DataSetScrolled(int Distance) { (void)Distance; DataSetChanged(); }
    virtual void EditingChanged() {}
    virtual void FocusControl(TField** Field) { (void)Field; }
    virtual void LayoutChanged() { DataSetChanged(); }
    virtual void RecordChanged(TField* Field) { (void)Field; }
    virtual void UpdateData() {}

private:
    void UpdateState();
    void UpdateRange();
    void SetActive(bool Value);
    void SetEditing(bool Value);

    TDataSource* FDataSource = nullptr;
    int FFirstRecord = 0;
    int FBufferCount = 1;
    bool FActive = false;
    bool FEditing = false;
    bool FReadOnly = false;
    bool FUpdating = false;
    bool FDataSourceFixed = false;
};

// The link of a control that shows one field.
class TFieldDataLink : public TDataLink {
    DECLARE_CLASS(TFieldDataLink, TDataLink)
public:
    TField* Field() const { return FField; }
    const std::string& FieldName() const { return FFieldName; }
    void SetFieldName(const std::string& Value);
    TComponent* Control() const { return FControl; }
    void SetControl(TComponent* Value) { FControl = Value; }
    bool CanModify() const;
    bool Edit();
    // The control's value changed: UpdateData will write it back.
    void Modified() { FModified = true; }
    bool IsModified() const { return FModified; }
    void Reset() { RecordChanged(nullptr); }

    TNotifyEvent OnDataChange;
    TNotifyEvent OnEditingChange;
    TNotifyEvent OnUpdateData;
    TNotifyEvent OnActiveChange;

protected:
    void ActiveChanged() override;
    void EditingChanged() override;
    // Focuses the control (a windowed one that can take the focus) when Field is this link's.
    void FocusControl(TField** Field) override;
    void LayoutChanged() override { UpdateField(); }
    void RecordChanged(TField* Field) override;
    void UpdateData() override;

private:
    void UpdateField();
    void SetField(TField* Value);
    void SetEditing(bool Value);

    TField* FField = nullptr;
    std::string FFieldName;
    TComponent* FControl = nullptr;
    bool FEditing = false;
    bool FModified = false;
};

// Registers the data classes for streaming (field kinds, data source, field definitions): the
// unit's start-up work.
void DBInitialization();

#include "DBFields.h"
