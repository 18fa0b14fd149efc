// Data-aware editors: the lookup editor, which shows the list text of a key and picks the key from
// a list data source by typing or from a drop-down list, and the routines the data-aware column
// kinds use to write editor values into fields.
//
// The lookup editor works in one of two modes: lookup-field mode, with a lookup field (its lookup
// data set, key and result fields say where the list is and which key field the choice writes),
// and list-source mode, where ListLink names the list's data source and ListKeyFields its key.
#pragma once

#include "DBCtrls.h"
#include "DBFields.h"
#include "dxExEdtrBlob.h"

#include <string>

class TdxInplaceLookupEdit;

// (Sender, var Value, var Accept)
using TdxPickColumnCloseUp = TMethodOf<TObject*, Variant&, bool&>;
DECLARE_EVENT_NAME(TdxPickColumnCloseUp)

class TdxListSourceLink : public TDataLink {
    DECLARE_CLASS(TdxListSourceLink, TDataLink)
public:
    TdxListSourceLink() { VisualControl = true; }
    TdxInplaceLookupEdit* LookupEditor = nullptr;

protected:
    void ActiveChanged() override;
    void LayoutChanged() override;
    void DataSetChanged() override;
};

// The drop-down list: a popup data list with the editors' popup frame and shadow.
class TPopupDBLookupListBox : public TPopupDataList {
    DECLARE_CLASS(TPopupDBLookupListBox, TPopupDataList)
public:
    using TPopupDataList::TPopupDataList;
    static void DefineClass(TClassBuilder<TPopupDBLookupListBox>& B);

    TdxPopupBorder ListBorder() const { return FListBorder; }
    void SetListBorder(TdxPopupBorder Value);
    bool ListShadow() const { return FListShadow; }
    void SetListShadow(bool Value);
    int ListShadowSize = 2;

protected:
    void CreateParams(TCreateParams& Params) override;
    int GetBorderSize() override;
    void WMNCCalcSizeLookup(TMessage& Message);
    void WMNCPaintLookup(TMessage& Message);
    void WMSizeLookup(TMessage& Message);

private:
    TdxPopupBorder FListBorder = pbDefault;
    bool FListShadow = false;
};

class TdxInplaceLookupEdit : public TdxInplaceDropDownEdit {
    DECLARE_CLASS(TdxInplaceLookupEdit, TdxInplaceDropDownEdit)
public:
    explicit TdxInplaceLookupEdit(TComponent* AOwner);
    ~TdxInplaceLookupEdit() override;

    // Null clears the key field, anything else is written to it; false (nothing written) without
    // a field, when the key field cannot be modified or the editor may not change its value.
    virtual bool SetKeyValue(const Variant& Value);
    virtual void ClearValue();
    // The link whose data source the list may not be linked to; none here.
    virtual TDataLink* GetEditorDataLink() { return nullptr; }
    virtual void ListDataSetChanged() {}
    virtual void ListLinkChanged();
    // The field of a data definition; a data-aware subclass answers its column's field.
    virtual TField* DefinitionField() { return nullptr; }

    void SetEditValue(const Variant& Value) override;
    void RefreshDataProperties() override;
    void ReadDisplayValue(Variant& Value, bool FromDefinition) override;
    void SetActive(bool Value) override;
    void SetReadOnly(bool Value) override;
    // The text is never typed into directly.
    bool IsEditable() override { return false; }
    bool DefaultReadOnly() override;
    void ClosePopup(bool Accept) override;
    void StepValue(int Delta, bool Cycle) override;
    void OpenPopup() override;
    void PopupSearch(const std::string& Text) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

    // The field edited: the data definition's, else EditField.
    TField* Field();
    bool LookupFieldMode();
    TDataSet* ListDataSet();
    std::string ListKeyFieldNames();
    // The list field(s) shown in the drop-down.
    std::string ShownListFields();
    // The field searched and shown as the text.
    std::string ResultFieldName();
    // The field whose value the choice writes.
    TField* KeyField();
    std::string LookupDisplayText(bool FromList);
    std::string KeyToListText(const Variant& Key);
    void CheckCircularLink();
    void ResetSearch();

    TField* EditField() const { return FEditField; }
    void SetEditField(TField* Value);
    const std::string& ListFieldName() const { return FListFieldName; }
    void SetListFieldName(const std::string& Value);
    bool UseLookupField() const { return FUseLookupField; }
    void SetUseLookupField(bool Value);
    TdxListSourceLink* ListLink() const { return FListLink; }
    TPopupDBLookupListBox* LookupListBox() const { return FLookupListBox; }
    const Variant& LookupKeyValue() const { return FLookupKeyValue; }
    bool Searching() const { return FSearching; }
    const std::string& SearchText() const { return FSearchText; }

    bool CanDeleteText = false;
    TShortCut ClearKey = 0;
    std::string ListKeyFields;
    bool StepOnDblClick = false;
    bool OwnKeyValue = false;
    TdxPickColumnCloseUp OnCloseUp;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void StoreKeyValue(const Variant& Value);
    Variant CurrentKey(bool ForStepping);
    bool CanOpen();
    void PrepareList();
    void RunSearch();
    bool WholeTextSelected();

    TField* FEditField = nullptr;
    bool FSearching = false;
    std::string FSearchText;
    std::string FListFieldName;
    TdxListSourceLink* FListLink = nullptr;
    bool FDisplayTextValid = false;
    std::string FCachedDisplayText;
    Variant FLookupKeyValue;
    bool FUseLookupField = true;
    TDataSource* FLookupSource = nullptr;
    TPopupDBLookupListBox* FLookupListBox = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Routines of the data-aware column kinds

DECLARE_ENUM(TdxBlobKind, bkAuto, bkBlob, bkMemo, bkPict, bkOle)

// bkBlob binary, bkMemo memo, bkPict picture, bkOle OLE; bkAuto by the field's type (memo types,
// graphic, OLE types; binary otherwise and without a field).
TdxBlobContentKind BlobContentKindOf(TdxBlobKind Kind, TField* Field);
// Nil field: nothing; nil graphic: the field is cleared; else the graphic's stream bytes are
// stored (a blob field through its blob stream).
void WriteGraphicToField(TField* Field, TGraphic* Graphic);
// Null clears the field, a string is the field's new value (a picture value for graphic
// editors). Values of other types carry no graphic and are refused (EInvalidCast) rather than
// taken for an object's address.
void WriteEditValueToField(TField* Field, const Variant& Value);
// Equality that answers false for values that cannot be compared.
bool VarEqualsSafe(const Variant& A, const Variant& B);
// Whether every key field of a lookup field can be modified (false without a data set or keys).
bool LookupKeysModifiable(TField* Field);
