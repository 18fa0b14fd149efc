// Data-aware lookup lists: a list of the records of a list data source that shows the list field
// of each record and selects the record whose key field holds KeyValue. The drop-down lists of
// lookup editors are popup data lists.
#pragma once

#include "Controls.h"
#include "DB.h"

#include <string>

class TDBLookupListBox;

// The list's link: a window of RowCount records of the list data set.
class TLookupListLink : public TDataLink {
    DECLARE_CLASS(TLookupListLink, TDataLink)
public:
    explicit TLookupListLink(TDBLookupListBox* AList) : FList(AList) {}

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void LayoutChanged() override;

private:
    TDBLookupListBox* FList;
};

class TDBLookupListBox : public TCustomControl {
    DECLARE_CLASS(TDBLookupListBox, TCustomControl)
public:
    explicit TDBLookupListBox(TComponent* AOwner);
    ~TDBLookupListBox() override;

    TDataSource* ListSource() const { return FListLink->DataSource(); }
    // Binding checks the key and list fields: a name the list data set lacks raises
    // "Field '%s' not found" and leaves the list unbound.
    void SetListSource(TDataSource* Value);
    const std::string& KeyField() const { return FKeyFieldName; }
    void SetKeyField(const std::string& Value);
    // One or more names separated by ";": the row shows them side by side.
    const std::string& ListField() const { return FListFieldName; }
    void SetListField(const std::string& Value);
    const Variant& KeyValue() const { return FKeyValue; }
    // Selects the record with that key (the list data set moves to it); none is selected when no
    // record has it.
    void SetKeyValue(const Variant& Value);
    int RowCount() const { return FRowCount; }
    // Rows shown; the height follows.
    void SetRowCount(int Value);
    int ItemHeight();
    // The row the key's record shows in, -1 when it is not among the rows shown.
    int SelectedRow();
    // The list field text of a row, "" beyond the rows.
    std::string RowText(int Row);
    TDataSet* ListDataSet() const { return FListLink->DataSet(); }
    TField* KeyFieldObject() const { return FKeyField; }
    TField* ListFieldObject() const { return FListFields.empty() ? nullptr : FListFields.front(); }
    TNotifyEvent OnChange;

    // The list's record under a client point becomes the selected one.
    void SelectRowAt(int Y);
    // Moves the selection by Distance records (the list data set follows).
    void SelectBy(int Distance);

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    virtual int GetBorderSize();
    void WMGetDlgCodeList(TMessage& Message);

private:
    friend class TLookupListLink;
    void LinkChanged();
    void BindFields();
    void SelectCurrent();

    TLookupListLink* FListLink = nullptr;
    std::string FKeyFieldName;
    std::string FListFieldName;
    TField* FKeyField = nullptr;
    std::vector<TField*> FListFields;
    Variant FKeyValue;
    int FRowCount = 7;

public:
    static void DefineClass(TClassBuilder<TDBLookupListBox>& B);
};

// The drop-down form of the list: a topmost tool window that never takes the focus; its owner
// reads KeyValue when it closes it.
class TPopupDataList : public TDBLookupListBox {
    DECLARE_CLASS(TPopupDataList, TDBLookupListBox)
public:
    explicit TPopupDataList(TComponent* AOwner);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WMMouseActivate(TMessage& Message);

public:
    static void DefineClass(TClassBuilder<TPopupDataList>& B);
};
