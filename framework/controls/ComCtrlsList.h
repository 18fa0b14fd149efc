// The list view of the ComCtrls unit. Items and columns live in the object; the window asks for
// the texts (LPSTR_TEXTCALLBACK), so a changed caption shows at the next paint and a virtual list
// (OwnerData) gets them from OnData.
#pragma once

#include "ComCtrls.h"
#include "Lists.h"

class TCustomListView;
class TListItems;

DECLARE_ENUM(TViewStyle, vsIcon, vsSmallIcon, vsList, vsReport)

class TListColumn : public TCollectionItem {
    DECLARE_CLASS(TListColumn, TCollectionItem)
public:
    explicit TListColumn(TCollection* ACollection);
    static void DefineClass(TClassBuilder<TListColumn>& B);
    void Assign(TPersistent* Source) override;
    std::string GetDisplayName() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    int Width() const { return FWidth; }
    // A negative width counts as 0.
    void SetWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);

private:
    std::string FCaption;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
    int FImageIndex = -1;
};

class TListColumns : public TCollection {
    DECLARE_CLASS(TListColumns, TCollection)
public:
    explicit TListColumns(TCustomListView* AOwner);
    TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
    TListColumn* Items(int Index) const { return static_cast<TListColumn*>(TCollection::Items(Index)); }
    TPersistent* GetOwner() override;
    void Update(TCollectionItem* Item) override;

private:
    TCustomListView* FOwner;
};

class TListItem : public TPersistent {
    DECLARE_CLASS(TListItem, TPersistent)
public:
    explicit TListItem(TListItems* AOwner);
    ~TListItem() override;

    TListItems* Owner() const { return FOwner; }
    TCustomListView* ListView() const;
    int Index() const;
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    TStrings* SubItems() const { return FSubItems; }
    void SetSubItems(TStrings* Value) { FSubItems->Assign(Value); }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    void* Data() const { return FData; }
    void SetData(void* Value) { FData = Value; }
    bool Selected() const;
    void SetSelected(bool Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    void Delete();
    void MakeVisible(bool PartialOK = false);
    void Update();
    void Assign(TPersistent* Source) override;

private:
    friend class TListItems;
    friend class TCustomListView;
    void SubItemsChange(TObject*) { Update(); }

    TListItems* FOwner;
    std::string FCaption;
    TStringList* FSubItems = nullptr;
    int FImageIndex = -1;
    void* FData = nullptr;
    bool FChecked = false;
    bool FSelected = false;  // kept while there is no window
};

class TListItems : public TPersistent {
    DECLARE_CLASS(TListItems, TPersistent)
public:
    explicit TListItems(TCustomListView* AOwner);
    ~TListItems() override;

    TCustomListView* Owner() const { return FOwner; }
    int Count() const;
    // A virtual list (OwnerData) has as many items as this says; others ignore it.
    void SetCount(int Value);
    // For a virtual list: a scratch item that OnData fills.
    TListItem* Item(int Index);  // the list-index error outside
    TListItem* Add();
    TListItem* AddItem(TListItem* Item, int Index = -1);
    TListItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    int IndexOf(const TListItem* Value) const;
    void BeginUpdate();
    void EndUpdate();
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override;

private:
    friend class TListItem;
    friend class TCustomListView;
    TCustomListView* FOwner;
    std::vector<TListItem*> FItems;
    int FVirtualCount = 0;
    TListItem* FScratch = nullptr;
    int FUpdateCount = 0;
};

using TLVNotifyEvent = TMethodOf<TObject*, TListItem*>;
using TLVColumnClickEvent = TMethodOf<TObject*, TListColumn*>;
using TLVSelectItemEvent = TMethodOf<TObject*, TListItem*, bool>;
using TLVCustomDrawEvent = TMethodOf<TCustomListView*, const TRect&, TCustomDrawStage, bool&>;
DECLARE_EVENT_NAME(TLVNotifyEvent)
DECLARE_EVENT_NAME(TLVColumnClickEvent)
DECLARE_EVENT_NAME(TLVSelectItemEvent)
DECLARE_EVENT_NAME(TLVCustomDrawEvent)

class TCustomListView : public TWinControl {
    DECLARE_CLASS(TCustomListView, TWinControl)
public:
    explicit TCustomListView(TComponent* AOwner);
    ~TCustomListView() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TCustomListView>& B);

    TListColumns* Columns() const { return FColumns; }
    void SetColumns(TListColumns* Value) { FColumns->Assign(Value); }
    TListItems* Items() const { return FListItems; }
    void SetItems(TListItems* Value) { FListItems->Assign(Value); }
    TViewStyle ViewStyle() const { return FViewStyle; }
    void SetViewStyle(TViewStyle Value);
    TCustomImageList* SmallImages() const { return FSmallImages; }
    void SetSmallImages(TCustomImageList* Value);
    TCustomImageList* LargeImages() const { return FLargeImages; }
    void SetLargeImages(TCustomImageList* Value);
    bool OwnerData() const { return FOwnerData; }
    void SetOwnerData(bool Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool Value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    bool ColumnClick() const { return FColumnClick; }
    void SetColumnClick(bool Value);
    bool GridLines() const { return FGridLines; }
    void SetGridLines(bool Value);
    bool Checkboxes() const { return FCheckboxes; }
    void SetCheckboxes(bool Value);
    // The first selected item, or null.
    TListItem* Selected();
    void SetSelected(TListItem* Value);
    int ItemIndex();
    // Outside the items (-1 included) nothing is selected.
    void SetItemIndex(int Value);
    int SelCount();
    TListItem* GetItemAt(int X, int Y);
    // Only while OnAdvancedCustomDraw runs: the list's DC.
    TCanvas* Canvas() const { return FCanvas; }
    // The header window of the report view, or 0.
    HWND HeaderHandle();

    TLVNotifyEvent OnData;
    TLVNotifyEvent OnDeletion;
    TLVColumnClickEvent OnColumnClick;
    TLVSelectItemEvent OnSelectItem;
    TLVCustomDrawEvent OnAdvancedCustomDraw;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateComponentWindows() override;
    void DestroyWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual void ColClick(TListColumn* Column) { OnColumnClick(this, Column); }
    virtual void Delete(TListItem* Item) { OnDeletion(this, Item); }
    virtual bool CustomDraw(const TRect& ARect, TCustomDrawStage Stage);
    void CNNotify(TMessage& Message);

private:
    friend class TListItems;
    friend class TListItem;
    friend class TListColumns;
    void UpdateColumns();
    void UpdateItems();
    void ItemChanged(TListItem* Item);
    void ImageListChange(TObject* Sender);
    DWORD ExtendedStyle() const;

    TListColumns* FColumns = nullptr;
    TListItems* FListItems = nullptr;
    TCanvas* FCanvas = nullptr;
    TViewStyle FViewStyle = vsIcon;
    TCustomImageList* FSmallImages = nullptr;
    TCustomImageList* FLargeImages = nullptr;
    TChangeLink* FImageChangeLink = nullptr;
    bool FOwnerData = false;
    bool FReadOnly = false;
    bool FRowSelect = false;
    bool FMultiSelect = false;
    bool FHideSelection = true;
    bool FColumnClick = true;
    bool FGridLines = false;
    bool FCheckboxes = false;
    bool FFilling = false;
    std::string FDispText;  // the text the window is reading
};

class TListView : public TCustomListView {
    DECLARE_CLASS(TListView, TCustomListView)
public:
    using TCustomListView::TCustomListView;
};
