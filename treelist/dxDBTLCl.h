// Data-aware column kinds: each binds an editor kind to a field — the editor class of its cells,
// the filter-row editor class, the editor's settings, and the value moved between field and
// editor in the form the editor understands. The memo, hyperlink, spin, time, currency and wrapper
// kinds; the drop-down base with the date, button, pick, MRU, calc and lookup kinds; the check and
// image kinds; the graphic column (the field's picture in every cell, edited with the graphic
// editor and its tool window) and the blob column (a blob field as an icon, its text or its display
// text, edited in the blob editor's memo or picture popup); and the unit's start-up, which
// registers them and fills the tree list's default column table.
#pragma once

#include "dxDBCtrl.h"
#include "dxDBEdtr.h"
#include "dxExEdtr.h"

#include <string>

// An editor class that only one column kind uses (Inplace: in cells; not: in the filter row).
#define DX_COLUMN_EDITOR(Name, Base)                                       \
    class Name : public Base {                                             \
        DECLARE_CLASS(Name, Base)                                          \
    public:                                                                \
        using Base::Base;                                                  \
    };
#define DX_FILTER_EDITOR(Name, Base)                                       \
    class Name : public Base {                                             \
    public:                                                                \
        struct TMetaClass : Base::TMetaClass {                             \
            using Base::TMetaClass::TMetaClass;                            \
            bool IsInplace() const override { return false; }              \
        };                                                                 \
        DECLARE_CLASS(Name, Base)                                          \
    public:                                                                \
        using Base::Base;                                                  \
    };

DX_COLUMN_EDITOR(TdxInplaceDBTreeListMemoEdit, TdxInplaceMemoEdit)
DX_COLUMN_EDITOR(TdxInplaceDBTreeListDropDownEdit, TdxInplaceDropDownEdit)
DX_COLUMN_EDITOR(TdxInplaceDBTreeListDateEdit, TdxInplaceDateEdit)
DX_COLUMN_EDITOR(TdxInplaceDBTreeListButtonEdit, TdxInplaceButtonEdit)
DX_COLUMN_EDITOR(TdxInplaceDBTreeListCheckEdit, TdxInplaceCheckEdit)
DX_COLUMN_EDITOR(TdxInplaceDBTreeListImageEdit, TdxInplaceImageEdit)
DX_COLUMN_EDITOR(TdxInplaceDBTreeListSpinEdit, TdxInplaceSpinEdit)
DX_COLUMN_EDITOR(TdxInplaceDBTreeListPickEdit, TdxInplacePickEdit)
DX_COLUMN_EDITOR(TdxInplaceDBTreeListCalcEdit, TdxInplaceCalcEdit)
DX_COLUMN_EDITOR(TdxInplaceDBTreeListHyperLinkEdit, TdxInplaceHyperLinkEdit)
DX_COLUMN_EDITOR(TdxInplaceDBTreeListTimeEdit, TdxInplaceTimeEdit)
DX_COLUMN_EDITOR(TdxInplaceDBTreeListCurrencyEdit, TdxInplaceCurrencyEdit)
DX_COLUMN_EDITOR(TdxInplaceDBTreeListMRUEdit, TdxInplaceMRUEdit)

DX_FILTER_EDITOR(TCustomdxFilterDateEdit, TdxInplaceDateEdit)
DX_FILTER_EDITOR(TCustomdxFilterImageEdit, TdxInplaceImageEdit)
DX_FILTER_EDITOR(TCustomdxFilterSpinEdit, TdxInplaceSpinEdit)
DX_FILTER_EDITOR(TCustomdxFilterPickEdit, TdxInplacePickEdit)
DX_FILTER_EDITOR(TCustomdxFilterCalcEdit, TdxInplaceCalcEdit)
DX_FILTER_EDITOR(TCustomdxFilterTimeEdit, TdxInplaceTimeEdit)
DX_FILTER_EDITOR(TCustomdxFilterCurrencyEdit, TdxInplaceCurrencyEdit)
DX_FILTER_EDITOR(TCustomdxFilterLookupEdit, TdxInplaceLookupEdit)

// The lookup column's cell editor: a list linked to the control's own data source is refused.
class TdxInplaceDBTreeListLookupEdit : public TdxInplaceLookupEdit {
    DECLARE_CLASS(TdxInplaceDBTreeListLookupEdit, TdxInplaceLookupEdit)
public:
    using TdxInplaceLookupEdit::TdxInplaceLookupEdit;
    TDataLink* GetEditorDataLink() override;
};

DECLARE_ENUM(TdxShowButtonStyle, sbDefault, sbAlways, sbNone)

// The field value the node keeps for the column (its text when it keeps none).
Variant KeptNodeValue(TdxDBTreeListColumn* Column, TdxTreeListNode* Node);


// ---------------------------------------------------------------------------------------------
// Kinds without a drop-down button

class TdxDBTreeListMemoColumn : public TdxDBTreeListColumn {
    DECLARE_CLASS(TdxDBTreeListMemoColumn, TdxDBTreeListColumn)
public:
    explicit TdxDBTreeListMemoColumn(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TdxDBTreeListMemoColumn>& B);
    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    TdxInplaceEditClass GetEditorClass() override { return TdxInplaceDBTreeListMemoEdit::StaticClass(); }
    void InitEditProperties(TdxInplaceEdit* Editor) override;
    void InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    void AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    bool FieldValueEquals(const Variant& Value) override;
    void GetCellText(TdxTreeListNode* Node, std::string& Text) override;
    bool CompareAsValue() override { return true; }
    bool IsMultiLineCell() override { return true; }
    void PrepareViewData(TdxEditViewData* ViewData, const TdxTreeListCellViewData& Cell) override;
    bool HideScrollBars = true;
    int MaxDisplayLength = 255;
    TScrollStyle ScrollBars = ssNone;
    bool SelectionBar = false;
    bool WantReturns = true;
    bool WantTabs = false;
    bool WordWrap = true;
};

class TdxDBTreeListHyperLinkColumn : public TdxDBTreeListColumn {
    DECLARE_CLASS(TdxDBTreeListHyperLinkColumn, TdxDBTreeListColumn)
public:
    explicit TdxDBTreeListHyperLinkColumn(TComponent* AOwner);
    ~TdxDBTreeListHyperLinkColumn() override;
    static void DefineClass(TClassBuilder<TdxDBTreeListHyperLinkColumn>& B);
    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    TdxInplaceEditClass GetEditorClass() override { return TdxInplaceDBTreeListHyperLinkEdit::StaticClass(); }
    void InitEditProperties(TdxInplaceEdit* Editor) override;
    // The cursor over a cell with a link: the hand cursor while SingleClick.
    void GetHotCursor(TdxTreeListNode* Node, TCursor& Cursor) override;
    void PrepareViewData(TdxEditViewData* ViewData, const TdxTreeListCellViewData& Cell) override;
    // With Html: the value as an anchor pointing to itself (its text escaped); True.
    bool GetExportValue(Variant& Value, bool Html);
    void UpdateLinkFont();
    TFont* LinkFont() const { return FLinkFont; }
    TColor EditBackgroundColor() const { return FEditBackgroundColor; }
    void SetEditBackgroundColor(TColor Value);
    TColor EditFontColor() const { return FEditFontColor; }
    void SetEditFontColor(TColor Value);
    bool SingleClick() const { return FSingleClick; }
    void SetSingleClick(bool Value);
    Word StartKey = 16397;
    TNotifyEvent OnStartClick;

private:
    TFont* FLinkFont;
    TColor FEditBackgroundColor = clWhite;
    TColor FEditFontColor = clBlue;
    bool FSingleClick = false;
};

// Spin and currency ranges: the stored bound when assigned, else the field's.
struct TdxColumnRange {
    int AssignedValues = 0;  // bit 0 MinValue, bit 1 MaxValue
    double Min = 0, Max = 0;
};
double FieldMinValue(TField* Field);
double FieldMaxValue(TField* Field);

class TdxDBTreeListSpinColumn : public TdxDBTreeListColumn {
    DECLARE_CLASS(TdxDBTreeListSpinColumn, TdxDBTreeListColumn)
public:
    using TdxDBTreeListColumn::TdxDBTreeListColumn;
    static void DefineClass(TClassBuilder<TdxDBTreeListSpinColumn>& B);
    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    TdxInplaceEditClass GetEditorClass() override { return TdxInplaceDBTreeListSpinEdit::StaticClass(); }
    TdxInplaceEditClass GetFilterEditorClass() override { return TCustomdxFilterSpinEdit::StaticClass(); }
    void InitEditProperties(TdxInplaceEdit* Editor) override;
    void InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    void AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    bool FieldValueEquals(const Variant& Value) override;
    void GetFilterEditorValue(TdxInplaceEdit* Editor, Variant& Value, std::string& Text) override;
    void SetFilterEditorValue(TdxInplaceEdit* Editor, const Variant& Value) override;
    virtual bool IsButtonVisible(TdxTreeListNode* Node);
    bool ShowEditorOnClick(int X, int Y, bool IsFocusedNode) override;
    bool IsHotTrackCell(int, int, int&, TdxTreeListNode*) override { return true; }
    void PrepareViewData(TdxEditViewData* ViewData, const TdxTreeListCellViewData& Cell) override;
    bool IsFloatField() const;
    double MinValue() const { return (FRange.AssignedValues & 1) ? FRange.Min : FieldMinValue(Field()); }
    void SetMinValue(double Value);
    double MaxValue() const { return (FRange.AssignedValues & 2) ? FRange.Max : FieldMaxValue(Field()); }
    void SetMaxValue(double Value);
    bool IsMinValueStored() const { return (FRange.AssignedValues & 1) && FRange.Min != FieldMinValue(Field()); }
    bool IsMaxValueStored() const { return (FRange.AssignedValues & 2) && FRange.Max != FieldMaxValue(Field()); }
    bool IsIncrementStored() const { return Increment != 1.0; }
    TdxShowButtonStyle ShowButtonStyle() const { return FShowButtonStyle; }
    void SetShowButtonStyle(TdxShowButtonStyle Value);
    bool EditorEnabled = true;
    double Increment = 1.0;
    bool UseCtrlIncrement = false;

private:
    TdxColumnRange FRange;
    TdxShowButtonStyle FShowButtonStyle = sbDefault;
};

class TdxDBTreeListTimeColumn : public TdxDBTreeListColumn {
    DECLARE_CLASS(TdxDBTreeListTimeColumn, TdxDBTreeListColumn)
public:
    using TdxDBTreeListColumn::TdxDBTreeListColumn;
    static void DefineClass(TClassBuilder<TdxDBTreeListTimeColumn>& B);
    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    TdxInplaceEditClass GetEditorClass() override { return TdxInplaceDBTreeListTimeEdit::StaticClass(); }
    TdxInplaceEditClass GetFilterEditorClass() override { return TCustomdxFilterTimeEdit::StaticClass(); }
    void InitEditProperties(TdxInplaceEdit* Editor) override;
    void InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    void AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    bool FieldValueEquals(const Variant& Value) override;
    void GetFilterEditorValue(TdxInplaceEdit* Editor, Variant& Value, std::string& Text) override;
    void SetFilterEditorValue(TdxInplaceEdit* Editor, const Variant& Value) override;
    TdxTimeEditFormat TimeEditFormat = tfHourMinSec;
    bool UseCtrlIncrement = false;
};

class TdxDBTreeListCurrencyColumn : public TdxDBTreeListColumn {
    DECLARE_CLASS(TdxDBTreeListCurrencyColumn, TdxDBTreeListColumn)
public:
    explicit TdxDBTreeListCurrencyColumn(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TdxDBTreeListCurrencyColumn>& B);
    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    TdxInplaceEditClass GetEditorClass() override { return TdxInplaceDBTreeListCurrencyEdit::StaticClass(); }
    TdxInplaceEditClass GetFilterEditorClass() override { return TCustomdxFilterCurrencyEdit::StaticClass(); }
    void InitEditProperties(TdxInplaceEdit* Editor) override;
    void InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    void AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    bool FieldValueEquals(const Variant& Value) override;
    bool IsValidChar(char Key) override;
    void GetFilterEditorValue(TdxInplaceEdit* Editor, Variant& Value, std::string& Text) override;
    void SetFilterEditorValue(TdxInplaceEdit* Editor, const Variant& Value) override;
    // The field formats its own text (an OnGetText handler, or a currency field showing currency).
    bool UsesFieldText() const;
    // The text a cell shows for the value the node keeps (the field's text when it formats its own).
    std::string FormatCellText(const Variant& Value, const std::string& FieldText);
    void PrepareViewData(TdxEditViewData* ViewData, const TdxTreeListCellViewData& Cell) override;
    // A change of the system's locale: the locale's currency format again, unless one was set.
    void CMWinIniChange(TMessage& Message);
    const std::string& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const std::string& Value);
    double MinValue() const { return (FRange.AssignedValues & 1) ? FRange.Min : FieldMinValue(Field()); }
    void SetMinValue(double Value);
    double MaxValue() const { return (FRange.AssignedValues & 2) ? FRange.Max : FieldMaxValue(Field()); }
    void SetMaxValue(double Value);
    bool IsDisplayFormatStored() const { return FDisplayFormatAssigned; }
    bool IsMinValueStored() const { return MinValue() != 0; }
    bool IsMaxValueStored() const { return MaxValue() != 0; }
    bool Nullable() const { return FNullable; }
    void SetNullable(bool Value);
    const std::string& NullString() const { return FNullString; }
    void SetNullString(const std::string& Value);
    unsigned DecimalPlaces = 2;
    bool UseThousandSeparator = false;

private:
    TdxColumnRange FRange;
    std::string FDisplayFormat;
    bool FDisplayFormatAssigned = false;
    bool FNullable = false;
    std::string FNullString;
};

using TdxDBTLGetReferenceColumnEvent = TMethodOf<TObject*, TdxTreeListNode*, TdxDBTreeListColumn*&>;
DECLARE_EVENT_NAME(TdxDBTLGetReferenceColumnEvent)

// A column without data of its own: per node it shows and edits the cell of the column its event
// names (the focused node's when no node is given).
class TdxDBTreeListWrapperColumn : public TdxDBTreeListColumn {
    DECLARE_CLASS(TdxDBTreeListWrapperColumn, TdxDBTreeListColumn)
public:
    explicit TdxDBTreeListWrapperColumn(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TdxDBTreeListWrapperColumn>& B);
    void RestoreDefaults() override;
    virtual TdxDBTreeListColumn* GetReferenceColumn(TdxTreeListNode* Node);
    TdxInplaceEditClass GetEditorClass() override;
    void InitEditProperties(TdxInplaceEdit* Editor) override;
    void InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    void AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    void AssignNodeData(TdxTreeListNode* Node) override;
    void GetCellText(TdxTreeListNode* Node, std::string& Text) override;
    bool StoreFieldValue() override;
    void VariantToText(const Variant& Value, std::string& Text) override;
    bool CompareAsValue() override;
    bool FieldValueEquals(const Variant& Value) override;
    void GetHotCursor(TdxTreeListNode* Node, TCursor& Cursor) override;
    bool ShowEditorOnClick(int X, int Y, bool IsFocusedNode) override;
    void PrepareViewData(TdxEditViewData* ViewData, const TdxTreeListCellViewData& Cell) override;
    TdxDBTLGetReferenceColumnEvent OnGetReferenceColumn;
};

// ---------------------------------------------------------------------------------------------
// Drop-down kinds

class TdxDBTreeListDropDownColumn : public TdxDBTreeListColumn {
    DECLARE_CLASS(TdxDBTreeListDropDownColumn, TdxDBTreeListColumn)
public:
    explicit TdxDBTreeListDropDownColumn(TComponent* AOwner);
    ~TdxDBTreeListDropDownColumn() override;
    static void DefineClass(TClassBuilder<TdxDBTreeListDropDownColumn>& B);
    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    TdxInplaceEditClass GetEditorClass() override { return TdxInplaceDBTreeListDropDownEdit::StaticClass(); }
    void InitEditProperties(TdxInplaceEdit* Editor) override;
    void InitFilterEditor(TdxInplaceEdit* Editor) override;
    virtual void DoCloseUp(TObject*, std::string&, bool&) {}
    virtual void DoEditButtonClick() { OnEditButtonClick(this); }
    virtual bool IsButtonVisible(TdxTreeListNode* Node);
    bool ShowEditorOnClick(int X, int Y, bool IsFocusedNode) override;
    bool IsHotTrackCell(int, int, int&, TdxTreeListNode*) override { return true; }
    void PrepareViewData(TdxEditViewData* ViewData, const TdxTreeListCellViewData& Cell) override;
    // Created on first read; an empty bitmap (or nil) frees it.
    TBitmap* ButtonGlyph();
    bool HasButtonGlyph() const { return FButtonGlyph != nullptr; }
    void SetButtonGlyph(TBitmap* Value);
    TdxShowButtonStyle ShowButtonStyle() const { return FShowButtonStyle; }
    void SetShowButtonStyle(TdxShowButtonStyle Value);
    int DropDownRows = 7;
    int DropDownWidth = 0;
    bool ImmediateDropDown = false;
    bool ImmediatePopup = false;
    TAlignment PopupAlignment = taLeftJustify;
    TdxPopupBorder PopupBorder = pbDefault;
    TNotifyEvent OnEditButtonClick;

private:
    TBitmap* FButtonGlyph = nullptr;
    TdxShowButtonStyle FShowButtonStyle = sbDefault;
};

class TdxDBTreeListDateColumn : public TdxDBTreeListDropDownColumn {
    DECLARE_CLASS(TdxDBTreeListDateColumn, TdxDBTreeListDropDownColumn)
public:
    using TdxDBTreeListDropDownColumn::TdxDBTreeListDropDownColumn;
    static void DefineClass(TClassBuilder<TdxDBTreeListDateColumn>& B);
    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    TdxInplaceEditClass GetEditorClass() override { return TdxInplaceDBTreeListDateEdit::StaticClass(); }
    TdxInplaceEditClass GetFilterEditorClass() override { return TCustomdxFilterDateEdit::StaticClass(); }
    void InitEditProperties(TdxInplaceEdit* Editor) override;
    void InitFilterEditor(TdxInplaceEdit* Editor) override;
    void InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    void AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    bool FieldValueEquals(const Variant& Value) override;
    void GetFilterEditorValue(TdxInplaceEdit* Editor, Variant& Value, std::string& Text) override;
    void SetFilterEditorValue(TdxInplaceEdit* Editor, const Variant& Value) override;
    TDateButtons DateButtons{btnToday, btnClear};
    TDateOnError DateOnError = deToday;
    bool DateValidation = false;
    bool SaveTime = true;
    bool UseEditMask = false;
    TdxDateValidateInput OnDateValidateInput;
};

class TdxColumnEditButtons : public TdxEditButtons {
    DECLARE_CLASS(TdxColumnEditButtons, TdxEditButtons)
public:
    TdxColumnEditButtons(TComponent* AOwner, TCollectionItemClass ItemClass);
    void Update(TCollectionItem* Item) override;
};

DECLARE_ENUM(TdxEditButtonStyle, ebsSimple, ebsEllipsis, ebsDown, ebsGlyph)

class TdxDBTreeListButtonColumn : public TdxDBTreeListDropDownColumn {
    DECLARE_CLASS(TdxDBTreeListButtonColumn, TdxDBTreeListDropDownColumn)
public:
    explicit TdxDBTreeListButtonColumn(TComponent* AOwner);
    ~TdxDBTreeListButtonColumn() override;
    static void DefineClass(TClassBuilder<TdxDBTreeListButtonColumn>& B);
    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    TdxInplaceEditClass GetEditorClass() override { return TdxInplaceDBTreeListButtonEdit::StaticClass(); }
    void InitEditProperties(TdxInplaceEdit* Editor) override;
    void PrepareViewData(TdxEditViewData* ViewData, const TdxTreeListCellViewData& Cell) override;
    void InitFilterEditor(TdxInplaceEdit* Editor) override;
    virtual void DoButtonClick(int AbsoluteIndex) { OnButtonClick(this, AbsoluteIndex); }
    TdxColumnEditButtons* Buttons() const { return FButtons; }
    void SetButtons(TdxEditButtons* Value) { FButtons->Assign(Value); }
    TdxEditButtonStyle EditButtonStyle() const { return FEditButtonStyle; }
    void SetEditButtonStyle(TdxEditButtonStyle Value);
    TBitmap* Glyph() const { return FGlyph; }
    void SetGlyph(TBitmap* Value);
    bool ButtonOnly() const { return FButtonOnly; }
    void SetButtonOnly(bool Value);
    bool HideEditCursor() const { return FHideEditCursor; }
    void SetHideEditCursor(bool Value);
    Word ClickKey = 16397;
    TdxEditButtonClickEvent OnButtonClick;

private:
    TdxColumnEditButtons* FButtons;
    TBitmap* FGlyph;
    TdxEditButtonStyle FEditButtonStyle = ebsEllipsis;
    bool FButtonOnly = false, FHideEditCursor = false;
};

class TdxDBTreeListPickColumn : public TdxDBTreeListDropDownColumn {
    DECLARE_CLASS(TdxDBTreeListPickColumn, TdxDBTreeListDropDownColumn)
public:
    explicit TdxDBTreeListPickColumn(TComponent* AOwner);
    ~TdxDBTreeListPickColumn() override;
    static void DefineClass(TClassBuilder<TdxDBTreeListPickColumn>& B);
    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    TdxInplaceEditClass GetEditorClass() override { return TdxInplaceDBTreeListPickEdit::StaticClass(); }
    TdxInplaceEditClass GetFilterEditorClass() override { return TCustomdxFilterPickEdit::StaticClass(); }
    void InitEditProperties(TdxInplaceEdit* Editor) override;
    void InitFilterEditor(TdxInplaceEdit* Editor) override;
    void DoCloseUp(TObject* Sender, std::string& Value, bool& Accept) override;
    TStringList* Items() const { return FItems; }
    void SetItems(TStrings* Value);
    bool DropDownListStyle = false;
    bool ItemsSorted = false;
    bool CanDeleteText = false;
    bool Revertable = false;
    TdxPickColumnCloseUp OnCloseUp;

private:
    TStringList* FItems;
};

class TdxDBTreeListMRUColumn : public TdxDBTreeListPickColumn {
    DECLARE_CLASS(TdxDBTreeListMRUColumn, TdxDBTreeListPickColumn)
public:
    explicit TdxDBTreeListMRUColumn(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TdxDBTreeListMRUColumn>& B);
    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    TdxInplaceEditClass GetEditorClass() override { return TdxInplaceDBTreeListMRUEdit::StaticClass(); }
    void InitEditProperties(TdxInplaceEdit* Editor) override;
    void PrepareViewData(TdxEditViewData* ViewData, const TdxTreeListCellViewData& Cell) override;
    void AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    virtual void DoButtonClick() { OnButtonClick(this); }
    bool ShowEllipsis() const { return FShowEllipsis; }
    void SetShowEllipsis(bool Value);
    int MaxItemCount = 7;
    TNotifyEvent OnButtonClick;

private:
    bool FShowEllipsis = true;
};

class TdxDBTreeListCalcColumn : public TdxDBTreeListDropDownColumn {
    DECLARE_CLASS(TdxDBTreeListCalcColumn, TdxDBTreeListDropDownColumn)
public:
    using TdxDBTreeListDropDownColumn::TdxDBTreeListDropDownColumn;
    static void DefineClass(TClassBuilder<TdxDBTreeListCalcColumn>& B);
    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    TdxInplaceEditClass GetEditorClass() override { return TdxInplaceDBTreeListCalcEdit::StaticClass(); }
    TdxInplaceEditClass GetFilterEditorClass() override { return TCustomdxFilterCalcEdit::StaticClass(); }
    void InitEditProperties(TdxInplaceEdit* Editor) override;
    bool BeepOnError = true;
    TdxButtonStyle ButtonStyle = bsStandard;
    Byte Precision = 13;
    bool QuickClose = false;
    bool ShowButtonFrame = false;
};

// Lookup fields: the list text shown, the key values kept per node so that filters work on keys;
// the cells are edited with the lookup editor, which writes the key fields.
class TdxDBTreeListLookupColumn : public TdxDBTreeListDropDownColumn {
    DECLARE_CLASS(TdxDBTreeListLookupColumn, TdxDBTreeListDropDownColumn)
public:
    using TdxDBTreeListDropDownColumn::TdxDBTreeListDropDownColumn;
    static void DefineClass(TClassBuilder<TdxDBTreeListLookupColumn>& B);
    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    TdxInplaceEditClass GetEditorClass() override { return TdxInplaceDBTreeListLookupEdit::StaticClass(); }
    TdxInplaceEditClass GetFilterEditorClass() override { return TCustomdxFilterLookupEdit::StaticClass(); }
    void InitEditProperties(TdxInplaceEdit* Editor) override;
    void InitFilterEditor(TdxInplaceEdit* Editor) override;
    void GetFilterEditorValue(TdxInplaceEdit* Editor, Variant& Value, std::string& Text) override;
    void SetFilterEditorValue(TdxInplaceEdit* Editor, const Variant& Value) override;
    virtual void DoLookupCloseUp(TObject* Sender, Variant& Value, bool& Accept);
    int GetFilterOperators() override { return 195; }
    // The key values the node keeps (Unassigned when it keeps none).
    void GetNodeValue(TdxTreeListNode* Node, Variant& Value) override;
    Word ClearKey = 0;
    int ListFieldIndex = 0;
    std::string ListFieldName;
    bool CanDeleteText = false;
    TdxPickColumnCloseUp OnCloseUp;
};

// ---------------------------------------------------------------------------------------------
// Check and image kinds

using TdxToggleEvent = TMethodOf<TObject*, const std::string&, TdxCheckBoxState>;
DECLARE_EVENT_NAME(TdxToggleEvent)

class TdxDBTreeListCheckColumn : public TdxDBTreeListColumn {
    DECLARE_CLASS(TdxDBTreeListCheckColumn, TdxDBTreeListColumn)
public:
    explicit TdxDBTreeListCheckColumn(TComponent* AOwner);
    ~TdxDBTreeListCheckColumn() override;
    static void DefineClass(TClassBuilder<TdxDBTreeListCheckColumn>& B);
    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    TdxInplaceEditClass GetEditorClass() override { return TdxInplaceDBTreeListCheckEdit::StaticClass(); }
    TdxInplaceEditClass GetFilterEditorClass() override { return TCustomdxFilterImageEdit::StaticClass(); }
    void InitEditProperties(TdxInplaceEdit* Editor) override;
    void PrepareViewData(TdxEditViewData* ViewData, const TdxTreeListCellViewData& Cell) override;
    void InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    void AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    bool FieldValueEquals(const Variant& Value) override;
    void InitFilterEditor(TdxInplaceEdit* Editor) override;
    void GetFilterEditorValue(TdxInplaceEdit* Editor, Variant& Value, std::string& Text) override;
    void SetFilterEditorValue(TdxInplaceEdit* Editor, const Variant& Value) override;
    int GetFilterOperators() override { return 195; }
    // Checked for ValueChecked, unchecked for ValueUnchecked (any case), grayed for anything else.
    TdxCheckBoxState StateOfText(const std::string& Text) const;
    const std::string& TextOfState(TdxCheckBoxState State) const;
    void ValueToDisplayText(const std::string& Data, std::string& Text) const { Text = TextOfState(StateOfText(Data)); }
    // Fires OnToggleClick after a change the user made (not while the editor is being loaded).
    void CheckEditChanged(TObject* Editor);
    TBitmap* Glyph();
    void SetGlyph(TBitmap* Value);
    int GlyphCount() const { return FGlyphCount; }
    void SetGlyphCount(int Value);
    void SetValueChecked(const std::string& Value);
    void SetValueGrayed(const std::string& Value);
    void SetValueUnchecked(const std::string& Value);
    const std::string& ValueChecked() const { return FValueChecked; }
    const std::string& ValueGrayed() const { return FValueGrayed; }
    const std::string& ValueUnchecked() const { return FValueUnchecked; }
    bool AllowGrayed = false;
    bool Border3D = false;
    TdxShowNullFieldStyle ShowNullFieldStyle = nsUnchecked;
    TdxToggleEvent OnToggleClick;

private:
    TBitmap* FGlyph = nullptr;
    int FGlyphCount = 6;
    std::string FValueChecked, FValueGrayed, FValueUnchecked;
};

using TdxImageColumnCloseUp = TdxEditCloseUpEvent;

class TdxDBTreeListImageColumn : public TdxDBTreeListDropDownColumn {
    DECLARE_CLASS(TdxDBTreeListImageColumn, TdxDBTreeListDropDownColumn)
public:
    explicit TdxDBTreeListImageColumn(TComponent* AOwner);
    ~TdxDBTreeListImageColumn() override;
    static void DefineClass(TClassBuilder<TdxDBTreeListImageColumn>& B);
    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    TdxInplaceEditClass GetEditorClass() override { return TdxInplaceDBTreeListImageEdit::StaticClass(); }
    TdxInplaceEditClass GetFilterEditorClass() override { return TCustomdxFilterImageEdit::StaticClass(); }
    void InitEditProperties(TdxInplaceEdit* Editor) override;
    void PrepareViewData(TdxEditViewData* ViewData, const TdxTreeListCellViewData& Cell) override;
    void GetFilterEditorValue(TdxInplaceEdit* Editor, Variant& Value, std::string& Text) override;
    void SetFilterEditorValue(TdxInplaceEdit* Editor, const Variant& Value) override;
    int GetFilterOperators() override { return 195; }
    void DoCloseUp(TObject*, std::string& Value, bool& Accept) override { OnCloseUp(this, Value, Accept); }
    // The image and description indexes of a value (-1 when it is not among Values).
    void LookupValue(const std::string& Value, int& ImageIndex, int& DescriptionIndex);
    // The description of Data when it has one, else Data.
    void ValueToDisplayText(const std::string& Data, std::string& Text);
    bool GetExportValue(Variant& Value);
    TStringList* Descriptions() const { return FDescriptions; }
    TStringList* ImageIndexes() const { return FImageIndexes; }
    TStringList* Values() const { return FValues; }
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TCustomImageList* LargeImages() const { return FLargeImages; }
    void SetLargeImages(TCustomImageList* Value);
    bool DefaultImages = true;

    bool Incremental = false;
    bool MultiLineText = false;
    bool ShowDescription = false;
    TdxImageColumnCloseUp OnCloseUp;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void SetImageList(TCustomImageList*& Field, TCustomImageList* Value);
    TStringList* FDescriptions;
    TStringList* FImageIndexes;
    TStringList* FValues;
    TCustomImageList* FImages = nullptr;
    TCustomImageList* FLargeImages = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Graphic and blob kinds

// (Sender, Node, var GraphicClass)
using TdxGraphicEditGetGraphicClassEvent = TMethodOf<TObject*, TdxTreeListNode*, TGraphicClass&>;
DECLARE_EVENT_NAME(TdxGraphicEditGetGraphicClassEvent)

class TdxDBTreeListGraphicColumn : public TdxDBTreeListColumn {
    DECLARE_CLASS(TdxDBTreeListGraphicColumn, TdxDBTreeListColumn)
public:
    explicit TdxDBTreeListGraphicColumn(TComponent* AOwner);
    ~TdxDBTreeListGraphicColumn() override;
    static void DefineClass(TClassBuilder<TdxDBTreeListGraphicColumn>& B);

    virtual void DoAssignPicture(TObject* Sender, TPicture*& Picture);
    virtual void DoCustomClick(TObject* Sender);
    virtual void DoGetPictureClass(TObject* Sender, TGraphicClass& GraphicClass);
    virtual TGraphicClass GetGraphicClass(TdxTreeListNode* Node);

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    bool StoreFieldValue() override { return true; }
    bool CompareAsValue() override { return true; }
    TdxInplaceEditClass GetEditorClass() override;
    void InitEditProperties(TdxInplaceEdit* Editor) override;
    void InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    void AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    // 0 when stretched; else the width of the node's picture (0 when empty).
    int GetBestFitWidth(TdxTreeListNode* Node);
    // Decodes the node's value into CellPicture (empty for a custom graphic while designed, and
    // for a value that is no picture).
    void LoadCellPicture(TdxTreeListNode* Node);
    // Fills a graphic editor's view data for one cell.
    void PrepareViewData(TdxEditViewData* ViewData, const TdxTreeListCellViewData& Cell) override;

    TPicture* CellPicture() const { return FCellPicture; }
    TdxPopupToolBarWindow* PopupToolBar() const { return FPopupToolBar; }
    void SetPopupToolBar(TdxPopupToolBarWindow* Value) { FPopupToolBar->Assign(Value); }
    bool Center() const { return FCenter; }
    void SetCenter(bool Value) { SetLayoutFlag(FCenter, Value); }
    bool CustomGraphic() const { return FCustomGraphic; }
    void SetCustomGraphic(bool Value) { SetLayoutFlag(FCustomGraphic, Value); }
    TdxGraphicEditTransparency GraphicTransparency() const { return FGraphicTransparency; }
    void SetGraphicTransparency(TdxGraphicEditTransparency Value);
    bool PopupToolbarPosStored() const { return FPopupToolbarPosStored; }
    void SetPopupToolbarPosStored(bool Value);
    bool QuickDraw() const { return FQuickDraw; }
    void SetQuickDraw(bool Value) { SetLayoutFlag(FQuickDraw, Value); }
    bool ShadowSelection() const { return FShadowSelection; }
    void SetShadowSelection(bool Value) { SetLayoutFlag(FShadowSelection, Value); }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value) { SetLayoutFlag(FStretch, Value); }

    Word PictureClipboardFormat;
    std::string CustomFilter;
    bool DblClickActivate = true;
    TPoint ToolbarPos = dxNoToolBarPos;
    TdxGraphicEditAssignPictureEvent OnAssignPicture;
    TNotifyEvent OnCustomClick;
    TdxGraphicEditGetGraphicClassEvent OnGetGraphicClass;

private:
    void SetLayoutFlag(bool& Field, bool Value);

    bool FCenter = true;
    bool FCustomGraphic = false;
    TdxGraphicEditTransparency FGraphicTransparency = gtDefault;
    TPicture* FCellPicture = nullptr;
    TdxPopupToolBarWindow* FPopupToolBar = nullptr;
    bool FPopupToolbarPosStored = true;
    bool FQuickDraw = false;
    bool FShadowSelection = true;
    bool FStretch = true;
};

class TdxDBTreeListBlobColumn : public TdxDBTreeListDropDownColumn {
    DECLARE_CLASS(TdxDBTreeListBlobColumn, TdxDBTreeListDropDownColumn)
public:
    explicit TdxDBTreeListBlobColumn(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TdxDBTreeListBlobColumn>& B);

    virtual void DoAssignPicture(TObject* Sender, TPicture*& Picture);
    virtual void DoGetPictureClass(TObject* Sender, TGraphicClass& GraphicClass);
    // Keeps the size the user gave the popup for the next editor.
    virtual void StorePopupSize(TObject* Editor);
    virtual TGraphicClass GetGraphicClass(TdxTreeListNode* Node);

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    bool CompareAsValue() override { return true; }
    TdxInplaceEditClass GetEditorClass() override;
    void GetCellText(TdxTreeListNode* Node, std::string& Text) override;
    void InitEditProperties(TdxInplaceEdit* Editor) override;
    void InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    void AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    // Fills a blob editor's view data for one cell.
    void PrepareViewData(TdxEditViewData* ViewData, const TdxTreeListCellViewData& Cell) override;

    TdxBlobKind BlobKind() const { return FBlobKind; }
    void SetBlobKind(TdxBlobKind Value);
    TdxBlobPaintStyle BlobPaintStyle() const { return FBlobPaintStyle; }
    void SetBlobPaintStyle(TdxBlobPaintStyle Value);
    TdxBlobContentKind ContentKind() { return BlobContentKindOf(FBlobKind, Field()); }

    bool AlwaysSaveText = false;
    int MaxDisplayLength = 255;
    TEditCharCase MemoCharCase = ecNormal;
    bool MemoHideScrollBars = true;
    int MemoMaxLength = 0;
    bool MemoOEMConvert = false;
    TScrollStyle MemoScrollBars = ssBoth;
    bool MemoSelectionBar = false;
    bool MemoWantReturns = true;
    bool MemoWantTabs = true;
    bool MemoWordWrap = true;
    bool PictureAutoSize = true;
    Word PictureClipboardFormat;
    TGraphicClass PictureGraphicClass = nullptr;
    std::string PictureFilter;
    TdxGraphicEditTransparency PictureTransparency = gtDefault;
    int PopupHeight = 140;
    int PopupWidth = 200;
    bool ShowExPopupItems = false;
    bool ShowPicturePopup = false;
    bool SizeablePopup = true;
    TdxGraphicEditAssignPictureEvent OnAssignPicture;
    TdxGraphicEditGetGraphicClassEvent OnGetGraphicClass;

private:
    void SetDefaults();
    TdxBlobKind FBlobKind = bkAuto;
    TdxBlobPaintStyle FBlobPaintStyle = bpsIcon;
};

// The check kind's default value texts (resource strings "True" and "False", loaded at start-up).
std::string DefaultValueChecked();
std::string DefaultValueUnchecked();

// The kind of column a field gets by default (both the tree list's and the grid's tables).
enum class TdxDefaultColumnKind { Mask, Check, Currency, Date, Time, Memo, Graphic, Blob, Lookup };
TdxDefaultColumnKind DefaultColumnKindOf(TFieldType FieldType, TFieldKind FieldKind);

// Unit start-up: the kinds registered for streaming and proposed for the tree list's default
// column table; shut-down resets the table.
void ProposeTreeListColumnClass(TFieldType FieldType, TFieldKind FieldKind, TdxColumnClassEntry& Entry);
void dxDBTLClInitialization();
void dxDBTLClFinalization();
