// Combo boxes built from the bottom: TsCustomListControl is a windowed control with skin data and a
// bound label that declares the list-control operations and answers the library command message;
// TsCommonCombo owns the system's combo box window, subclasses its edit and list children, sizes
// the drop-down, turns the window's notifications into events and paints the skinned drop-down
// button into the skin data's cache. The concrete classes supply the item strings and their count.
//
// Start-up: sComboBoxesInitialization() registers TsCommonComboBox and TsComboBoxEx for form files.
#pragma once

#include "Controls.h"
#include "ImgList.h"
#include "StdCtrls.h"
#include "sCommonData.h"
#include "sConst.h"

#include <string>

class TacComboListWnd;

class TsCustomListControl : public TWinControl {
    DECLARE_CLASS(TsCustomListControl, TWinControl)
public:
    explicit TsCustomListControl(TComponent* AOwner);
    ~TsCustomListControl() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;

    TsCommonData* SkinData() const { return FCommonData; }
    void SetSkinData(TsCommonData* Value);
    TsBoundLabel* BoundLabel() const { return FBoundLabel; }
    void SetBoundLabel(TsBoundLabel* Value);

    virtual int GetCount() = 0;
    virtual int GetItemIndex() = 0;
    virtual void SetItemIndex(int Value) = 0;
    virtual void AddItem(const std::string& Item, TObject* AObject) = 0;
    virtual void Clear() = 0;
    virtual void ClearSelection() = 0;
    virtual void CopySelection(TsCustomListControl* Destination) = 0;
    virtual void DeleteSelected() = 0;
    // The selected item copied to Destination, then deleted here.
    virtual void MoveSelection(TsCustomListControl* Destination);
    virtual void SelectAll() = 0;

    // The control or one of its parents has a popup menu.
    bool HasPopupMenu() const;
    void WndProc(TMessage& Message) override;

protected:
    void Loaded() override;
    // The section's colour and font colour unless custom ones are set.
    void TakeSectionColors();

    TsCommonData* FCommonData = nullptr;
    TsBoundLabel* FBoundLabel = nullptr;

private:
    void SkinnedMessageBefore(TMessage& Message, bool& Done);
    void SkinnedMessageAfter(TMessage& Message);
    void BoundLabelMessage(TMessage& Message);
};

using TsMeasureListEvent = TMethodOf<TObject*, int, int&>;

class TsCommonCombo : public TsCustomListControl {
    DECLARE_CLASS(TsCommonCombo, TsCustomListControl)
public:
    explicit TsCommonCombo(TComponent* AOwner);
    ~TsCommonCombo() override;
    void BeforeDestruction() override;

    // The item strings; the concrete class makes them (GetItemsClass).
    TStrings* Items() const { return FItems; }
    virtual void SetItems(TStrings* Value);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    int DropDownCount() const { return FDropDownCount; }
    virtual void SetDropDownCount(int Value);
    int ItemHeight() const { return FItemHeight; }
    virtual void SetItemHeight(int Value);
    bool ShowButton() const { return FShowButton; }
    void SetShowButton(bool Value) { FShowButton = Value; }
    bool DroppedDown();
    void SetDroppedDown(bool Value);
    bool Focused() const;
    TControlCanvas* Canvas() const { return FCanvas; }
    HWND EditHandle() const { return FEditHandle; }
    HWND ListHandle() const { return FListHandle; }
    // The list window that got a scroll-bar hook (0 while none), and that hook.
    HWND HookedList() const { return FHookedList; }
    TacComboListWnd* ListHook() const { return FListHook; }

    int GetCount() override { return GetItemCount(); }
    int GetItemIndex() override;
    void SetItemIndex(int Value) override;
    void AddItem(const std::string& Item, TObject* AObject) override;
    void Clear() override;
    void ClearSelection() override { SetItemIndex(-1); }
    void CopySelection(TsCustomListControl* Destination) override;
    void DeleteSelected() override;
    void SelectAll() override;

    // The drop-down button's place in the control (empty width without ShowButton).
    TRect GetButtonRect() const;
    // The skinned drop-down button, into the skin data's cache bitmap.
    virtual void PaintButton();

    void WndProc(TMessage& Message) override;

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TsMeasureListEvent OnMeasureList;

protected:
    void Loaded() override;
    void CreateWnd() override;
    void DestroyWindowHandle() override;

    virtual void MeasureItem(int Index, int& Height);
    virtual void AdjustDropDown();
    // The messages of the edit and list children; OldProc is the child's own procedure.
    virtual void ComboWndProc(TMessage& Message, HWND ChildWindow, WNDPROC OldProc);
    virtual TStrings* GetItemsClass() = 0;
    virtual int GetItemHt() = 0;
    virtual int GetItemCount() = 0;
    virtual void UpdateMargins() {}
    virtual void Change();
    virtual void Select();
    virtual void DropDown();
    virtual void CloseUp();

    TStrings* FItems = nullptr;
    // Set while loading: the index the window takes in Loaded.
    int FStoredItemIndex = -1;
    int FSaveIndex = -1;
    bool FIsFocused = false;

private:
    void EditWndProc(TMessage& Message);
    void ListWndProc(TMessage& Message);
    void CNCommand(TMessage& Message);
    void SubclassChildren();
    void ReleaseChildren();
    // Enter or Escape while the list is down closes it; true when the key was taken so.
    bool CloseOnKey(WPARAM Key);
    bool SkinSectionValid() const;
    // The list's hook given back and freed, its window forgotten.
    void ReleaseListHook();

    TControlCanvas* FCanvas = nullptr;
    int FMaxLength = 0;
    int FDropDownCount = 14;
    int FItemHeight = 16;
    bool FShowButton = true;
    HWND FHookedList = nullptr;
    TacComboListWnd* FListHook = nullptr;  // owned
    HWND FListHandle = nullptr;
    HWND FDropHandle = nullptr;
    HWND FEditHandle = nullptr;
    WNDPROC FEditInstance = nullptr;
    WNDPROC FDefEditProc = nullptr;
    WNDPROC FListInstance = nullptr;
    WNDPROC FDefListProc = nullptr;
    HWND FSubclassedList = nullptr;
    bool FAdjustingDropDown = false;
    bool FFocusChanged = false;
};

class TsCommonComboBox;

// The items of a combo box as its window holds them (CB_* messages).
class TsCustomComboBoxStrings : public TStrings {
    DECLARE_CLASS(TsCustomComboBoxStrings, TStrings)
public:
    explicit TsCustomComboBoxStrings(TsCommonComboBox* ComboBox) : FComboBox(ComboBox) {}
    TsCommonComboBox* ComboBox() const { return FComboBox; }
    void Clear() override;
    void Delete(int Index) override;
    int IndexOf(const std::string& S) override;

protected:
    std::string Get(int Index) override;
    int GetCount() override;
    TObject* GetObject(int Index) override;
    void PutObject(int Index, TObject* AObject) override;
    void SetUpdateState(bool Updating) override;
    HWND ComboHandle();

private:
    TsCommonComboBox* FComboBox;
};

class TsComboBoxStrings : public TsCustomComboBoxStrings {
    DECLARE_CLASS(TsComboBoxStrings, TsCustomComboBoxStrings)
public:
    using TsCustomComboBoxStrings::TsCustomComboBoxStrings;
    // A line the window refuses raises EOutOfResources "Unable to insert a line".
    int Add(const std::string& S) override;
    void Insert(int Index, const std::string& S) override;
};

// The combo box of the five window styles over the base: sorting and character case, the items in
// the window, owner drawing, the skinned face, completion of typed text from the items and a
// read-only mode. Its window is made again with the items and the selection kept.
class TsCommonComboBox : public TsCommonCombo {
    DECLARE_CLASS(TsCommonComboBox, TsCommonCombo)
public:
    explicit TsCommonComboBox(TComponent* AOwner);
    ~TsCommonComboBox() override;
    static void DefineClass(TClassBuilder<TsCommonComboBox>& B);

    TComboBoxStyle Style() const { return FStyle; }
    virtual void SetStyle(TComboBoxStyle Value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    bool AutoComplete() const { return FAutoComplete; }
    void SetAutoComplete(bool Value) { FAutoComplete = Value; }
    bool AutoDropDown() const { return FAutoDropDown; }
    void SetAutoDropDown(bool Value) { FAutoDropDown = Value; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    TsDisabledKind DisabledKind() const { return FDisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);
    // The text typed so far for completion.
    const std::string& Filter() const { return FFilter; }

    // The first item starting with Prefix (case-insensitive) selected and, in the editable styles,
    // completed in the text with the completed part selected; false when none starts so.
    bool SelectItem(const std::string& Prefix);
    virtual void PaintSkin(HDC DC);
    virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
    virtual void DrawSkinItem(int, TRect, TOwnerDrawState) {}

    void WndProc(TMessage& Message) override;

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void MeasureItem(int Index, int& Height) override;
    TStrings* GetItemsClass() override;
    int GetItemHt() override;
    int GetItemCount() override { return FItems->Count(); }
    void KeyPress(char& Key) override;
    bool IsListStyle() const { return FStyle != csDropDown && FStyle != csSimple; }

    // GetTickCount of the last key in the list styles.
    DWORD FLastKeyTime = 0;

private:
    void WMPaint(TMessage& Message);
    void CNDrawItem(TMessage& Message);
    void WMLButtonDown(TMessage& Message);
    void Backspace();
    void SetTextAndCaret(const std::string& Text, int Caret);

    bool FAutoComplete = true;
    bool FAutoDropDown = false;
    std::string FFilter;
    TEditCharCase FCharCase = ecNormal;
    bool FSorted = false;
    TComboBoxStyle FStyle = csDropDown;
    TStringList* FSavedItems = nullptr;
    TsDisabledKind FDisabledKind{dkBlended};
    bool FReadOnly = false;
};

// One item of an extended combo box: its text, images and indent level in the list.
class TsComboItem : public TCollectionItem {
    DECLARE_CLASS(TsComboItem, TCollectionItem)
public:
    explicit TsComboItem(TCollection* ACollection) : TCollectionItem(ACollection) {}
    static void DefineClass(TClassBuilder<TsComboItem>& B);
    void Assign(TPersistent* Source) override;
    std::string GetDisplayName() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    int SelectedImageIndex() const { return FSelectedImageIndex; }
    void SetSelectedImageIndex(int Value) { FSelectedImageIndex = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; }
    int OverlayImageIndex() const { return FOverlayImageIndex; }
    void SetOverlayImageIndex(int Value) { FOverlayImageIndex = Value; }
    // The indent level in the list, 16 pixels a level (the stored name is spelt so).
    int Indend() const { return FIndend; }
    void SetIndend(int Value) { FIndend = Value; }
    void* Data = nullptr;

private:
    std::string FCaption;
    int FSelectedImageIndex = -1;
    int FImageIndex = -1;
    int FOverlayImageIndex = -1;
    int FIndend = -1;
};

class TsComboItems : public TOwnedCollection {
    DECLARE_CLASS(TsComboItems, TOwnedCollection)
public:
    explicit TsComboItems(TPersistent* AOwner) : TOwnedCollection(AOwner, TsComboItem::StaticClass()) {}
    TsComboItem* Items(int Index) const { return static_cast<TsComboItem*>(TCollection::Items(Index)); }
    // A new item; the combo box's strings are left alone.
    TsComboItem* AddItem(const std::string& Caption, int ImageIndex, int SelectedImageIndex, int OverlayImageIndex,
                         int Indent, void* Data);
};

// An owner-drawn drop-down list whose items (ItemsEx) carry an image of Images and an indent.
class TsCustomComboBoxEx : public TsCommonComboBox {
    DECLARE_CLASS(TsCustomComboBoxEx, TsCommonComboBox)
public:
    explicit TsCustomComboBoxEx(TComponent* AOwner);
    ~TsCustomComboBoxEx() override;
    void BeforeDestruction() override;

    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TsComboItems* ItemsEx() const { return FItemsEx; }
    void SetItemsEx(TsComboItems* Value) { FItemsEx->Assign(Value); }
    // The strings shown made again from ItemsEx (once the window exists).
    void UpdateItems();
    void Clear() override;
    TsComboItem* CurrentItem();
    int GetImageIndex(TsComboItem* Item, TOwnerDrawState State) const;
    void GetImageRect(TsComboItem* Item, TOwnerDrawState State, TRect& R) const;

    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
    void DrawSkinItem(int Index, TRect Rect, TOwnerDrawState State) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateWnd() override;
    void UpdateMargins() override;

private:
    void ImageListChange(TObject* Sender);
    TsComboItem* ItemAt(int Index) const;
    void DrawImage(TsComboItem* Item, TOwnerDrawState State, int X, int Y);
    bool FocusedLook(TOwnerDrawState State);

    TChangeLink* FImageChangeLink = nullptr;
    TCustomImageList* FImages = nullptr;
    TsComboItems* FItemsEx = nullptr;
    bool FItemsPending = false;
};

class TsComboBoxEx : public TsCustomComboBoxEx {
    DECLARE_CLASS(TsComboBoxEx, TsCustomComboBoxEx)
public:
    using TsCustomComboBoxEx::TsCustomComboBoxEx;
    static void DefineClass(TClassBuilder<TsComboBoxEx>& B);
};

// Registers the combo box classes for form files.
void sComboBoxesInitialization();
