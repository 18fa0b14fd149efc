// The StdCtrls unit: standard controls over the system's window classes. Each superclasses its
// standard class under its own class name (GetClassName gives "TButton", "TEdit" ...), keeps its
// state while it has no window (a control read from a form file gets its window only when shown)
// and hands that state to the window when the window is made, and back when it goes.
//
// The published properties are declared by the TCustom... classes, so that every descendant (the
// skinned controls too) streams them; TEdit, TMemo ... add nothing but their class names.
//
// Start-up: StdCtrlsInitialization() registers the unit's classes for form files.
#pragma once

#include "Forms.h"
#include "Lists.h"

#include <string>
#include <utility>
#include <vector>

DECLARE_ENUM(TTextLayout, tlTop, tlCenter, tlBottom)
DECLARE_ENUM(TEditCharCase, ecNormal, ecUpperCase, ecLowerCase)
DECLARE_ENUM(TScrollStyle, ssNone, ssHorizontal, ssVertical, ssBoth)
DECLARE_ENUM(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed)
DECLARE_ENUM(TComboBoxStyle, csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable)
DECLARE_ENUM(TListBoxStyle, lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable)
DECLARE_ENUM(TOwnerDrawStateItem, odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight,
             odInactive, odNoAccel, odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit)
DECLARE_SET(TOwnerDrawState, TOwnerDrawStateItem)

// An owner-drawn item: the control, the item's index, its rectangle and its state.
using TDrawItemEvent = TMethodOf<TWinControl*, int, TRect, TOwnerDrawState>;
// The height of an item of variable height.
using TMeasureItemEvent = TMethodOf<TWinControl*, int, int&>;
DECLARE_EVENT_NAME(TDrawItemEvent)
DECLARE_EVENT_NAME(TMeasureItemEvent)

// The state of an owner-drawn item from the system's ODS_* flags.
TOwnerDrawState OwnerDrawStateOf(UINT ItemState);
// Whether Key is the accelerator of Caption (the character after a single "&"), case-insensitively.
bool IsAccel(WPARAM Key, const std::string& Caption);

namespace StdCtrlsConsts {
inline constexpr const char* SInsertLineError = "Unable to insert a line";
}

// ---------------------------------------------------------------------------------------------
// Labels

class TCustomLabel : public TGraphicControl {
    DECLARE_CLASS(TCustomLabel, TGraphicControl)
public:
    explicit TCustomLabel(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TCustomLabel>& B);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool Transparent() const { return !FControlStyle.Contains(csOpaque); }
    void SetTransparent(bool Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);

protected:
    void Paint() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Draws the caption into Rect (with DT_CALCRECT only measures it); disabled text is embossed.
    virtual void DoDrawText(TRect& Rect, UINT Flags);
    // The caption as drawn ("&&" is shown as "&" when ShowAccelChar).
    virtual std::string GetLabelText() { return Caption(); }
    // Fits the size to the caption while AutoSize, keeping the edge that Alignment anchors.
    virtual void AdjustBounds();
    void CMTextChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMDialogChar(TMessage& Message);

private:
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = true;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
    bool FShowAccelChar = true;
    TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
    DECLARE_CLASS(TLabel, TCustomLabel)
public:
    using TCustomLabel::TCustomLabel;
};

// ---------------------------------------------------------------------------------------------
// Edits

class TCustomEdit : public TWinControl {
    DECLARE_CLASS(TCustomEdit, TWinControl)
public:
    explicit TCustomEdit(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TCustomEdit>& B);

    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    // 0 = no limit beyond the system's; a negative value is ignored.
    int MaxLength() const { return FMaxLength; }
    virtual void SetMaxLength(int Value);
    bool OEMConvert() const { return FOEMConvert; }
    void SetOEMConvert(bool Value);
    char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool Modified();
    void SetModified(bool Value);

    // Selection in characters; a start past the end is the end.
    int SelStart();
    void SetSelStart(int Value);
    int SelLength();
    void SetSelLength(int Value);
    std::string SelText();
    void SetSelText(const std::string& Value);
    void SelectAll();
    void ClearSelection();
    void Clear() { SetText(""); }
    bool CanUndo();
    void Undo();

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    // The text changed (EN_CHANGE); runs OnChange.
    virtual void Change();
    void DoEnter() override;
    void CNCommand(TMessage& Message);
    void WMLButtonDown(TMessage& Message);

    bool FCreating = false;

private:
    void SetSelection(int Start, int End);
    void ApplySelection();

    int FMaxLength = 0;
    TFormBorderStyle FBorderStyle = bsSingle;
    TEditCharCase FCharCase = ecNormal;
    char FPasswordChar = '\0';
    bool FAutoSelect = true;
    bool FHideSelection = true;
    bool FOEMConvert = false;
    bool FReadOnly = false;
    bool FModified = false;  // while there is no window
    bool FClickToFocus = false;
    int FSelStart = 0, FSelEnd = 0;  // while there is no window
};

class TEdit : public TCustomEdit {
    DECLARE_CLASS(TEdit, TCustomEdit)
public:
    using TCustomEdit::TCustomEdit;
};

class TCustomMemo;

// A memo's lines: the memo's text split at its line breaks, read and changed in place (with or
// without the memo's window). Text is the memo's text as it stands.
class TMemoStrings : public TStrings {
    DECLARE_CLASS(TMemoStrings, TStrings)
public:
    explicit TMemoStrings(TCustomMemo* AMemo) : FMemo(AMemo) {}
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;

protected:
    std::string Get(int Index) override;
    int GetCount() override;
    void Put(int Index, const std::string& S) override;
    std::string GetTextStr() override;
    void SetTextStr(const std::string& Value) override;
    void SetUpdateState(bool Updating) override;

private:
    std::vector<std::string> Split();
    void Join(const std::vector<std::string>& Lines);
    TCustomMemo* FMemo;
};

class TCustomMemo : public TCustomEdit {
    DECLARE_CLASS(TCustomMemo, TCustomEdit)
public:
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;
    static void DefineClass(TClassBuilder<TCustomMemo>& B);

    TStrings* Lines() const { return FLines; }
    void SetLines(TStrings* Value) { FLines->Assign(Value); }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // The caret's line and column (0-based).
    TPoint CaretPos();

protected:
    void CreateParams(TCreateParams& Params) override;
    void WMGetDlgCode(TMessage& Message);

    TMemoStrings* FLines = nullptr;  // a descendant may put lines of its own kind here

private:
    TAlignment FAlignment = taLeftJustify;
    TScrollStyle FScrollBars = ssNone;
    bool FWantReturns = true;
    bool FWantTabs = false;
    bool FWordWrap = true;
};

class TMemo : public TCustomMemo {
    DECLARE_CLASS(TMemo, TCustomMemo)
public:
    using TCustomMemo::TCustomMemo;
};

// ---------------------------------------------------------------------------------------------
// Buttons and choices

// A push button: BN_CLICKED (reflected as CN_COMMAND) runs Click, which gives the form the button's
// ModalResult. Enter clicks the default button (or the focused one), Esc the cancel button.
class TButton : public TWinControl {
    DECLARE_CLASS(TButton, TWinControl)
public:
    explicit TButton(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TButton>& B);

    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    void Click() override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    // The button's style now: the focused button (or the default one) shows the default frame.
    virtual void SetButtonStyle(bool ADefault);
    bool Active() const { return FActive; }
    void CNCommand(TMessage& Message);
    void CMDialogKey(TMessage& Message);
    void CMDialogChar(TMessage& Message);
    void CMFocusChanged(TMessage& Message);

private:
    bool FDefault = false;
    bool FCancel = false;
    bool FActive = false;
    TModalResult FModalResult = mrNone;
};

// A check box of three states. State is what form files keep; Checked is its Boolean view and goes
// through the virtual SetChecked. A state set in code runs Click (OnClick) when it changes, except
// while the control is being loaded; the user's click toggles (BN_CLICKED -> Toggle).
class TCustomCheckBox : public TWinControl {
    DECLARE_CLASS(TCustomCheckBox, TWinControl)
public:
    explicit TCustomCheckBox(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TCustomCheckBox>& B);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    TCheckBoxState State() const { return FState; }
    virtual void SetState(TCheckBoxState Value);
    bool Checked() const { return FState == cbChecked; }
    virtual void SetChecked(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    virtual void Toggle();

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void CNCommand(TMessage& Message);
    void CMDialogChar(TMessage& Message);
    // While set, a state change runs no Click (the reader and the window's own updates use it).
    bool FClicksDisabled = false;

private:
    TAlignment FAlignment = taRightJustify;
    TCheckBoxState FState = cbUnchecked;
    bool FAllowGrayed = false;
    bool FWordWrap = false;
};

class TCheckBox : public TCustomCheckBox {
    DECLARE_CLASS(TCheckBox, TCustomCheckBox)
public:
    using TCustomCheckBox::TCustomCheckBox;
};

// A radio button: checking it unchecks the radio buttons of the same parent and runs Click; being
// unchecked runs nothing.
class TRadioButton : public TWinControl {
    DECLARE_CLASS(TRadioButton, TWinControl)
public:
    explicit TRadioButton(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TRadioButton>& B);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool Checked() const { return FChecked; }
    virtual void SetChecked(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void CNCommand(TMessage& Message);
    void CMDialogChar(TMessage& Message);

private:
    void TurnSiblingsOff();
    TAlignment FAlignment = taRightJustify;
    bool FChecked = false;
    bool FWordWrap = false;
};

// ---------------------------------------------------------------------------------------------
// Lists

// The window messages through which a list-holding control keeps its items.
struct TItemMessages {
    UINT Add, Insert, Delete, Reset, GetCount, GetText, GetTextLen, GetItemData, SetItemData, FindExact;
};

// The items of a list box or combo box: in the window while it exists, kept here while it does
// not (so a control read from a form file fills its list without a window). Sorted follows the
// control's Sorted; objects are kept as the items' data and never owned.
class TControlItems : public TStrings {
    DECLARE_CLASS(TControlItems, TStrings)
public:
    TControlItems(TWinControl* AControl, const TItemMessages& Messages) : FControl(AControl), FMsgs(Messages) {}
    int Add(const std::string& S) override;
    int AddObject(const std::string& S, TObject* AObject) override;
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;
    int IndexOf(const std::string& S) override;
    bool Sorted = false;

    // The control's window was made: the kept items go into it.
    void WindowCreated();
    // The control's window is going: its items are kept.
    void WindowDestroying();

protected:
    std::string Get(int Index) override;
    int GetCount() override;
    TObject* GetObject(int Index) override;
    void PutObject(int Index, TObject* AObject) override;
    void SetUpdateState(bool Updating) override;

private:
    bool Live() const { return FControl->HandleAllocated(); }
    LRESULT Send(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0) const;
    void CheckIndex(int Index);
    int SortedIndexOf(const std::string& S);

    TWinControl* FControl;
    TItemMessages FMsgs;
    std::vector<std::pair<std::string, TObject*>> FKept;
};

// What list boxes and combo boxes share: the items, the selected index, owner drawing.
class TCustomListControl : public TWinControl {
    DECLARE_CLASS(TCustomListControl, TWinControl)
public:
    TCustomListControl(TComponent* AOwner, const TItemMessages& Messages);
    ~TCustomListControl() override;
    static void DefineClass(TClassBuilder<TCustomListControl>& B);

    TStrings* Items() const { return FItems; }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    // -1 = none; an index outside the list selects nothing.
    virtual int ItemIndex();
    virtual void SetItemIndex(int Value);
    bool Sorted() const { return FItems->Sorted; }
    void SetSorted(bool Value);
    int ItemHeight();
    void SetItemHeight(int Value);
    TCanvas* Canvas() const { return FCanvas; }
    void Clear() { FItems->Clear(); }

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    void CreateWnd() override;
    void DestroyWnd() override;
    void Loaded() override;
    // The selection messages of the window (LB_/CB_ GETCURSEL, SETCURSEL) and its item-height ones.
    virtual UINT GetCurSelMsg() const = 0;
    virtual UINT SetCurSelMsg() const = 0;
    virtual UINT SetItemHeightMsg() const = 0;
    virtual bool IsOwnerDraw() const = 0;
    virtual bool IsVariable() const = 0;
    // Owner drawing: DrawItem runs OnDrawItem, or draws the item's text; MeasureItem OnMeasureItem.
    virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
    virtual void MeasureItem(int Index, int& Height);
    void CNDrawItem(TMessage& Message);
    void CNMeasureItem(TMessage& Message);

    TControlItems* FItems = nullptr;
    int FItemIndex = -1;  // while there is no window
    int FItemHeight = 16;
    bool FItemHeightSet = false;

private:
    TControlCanvas* FCanvas = nullptr;
};

class TCustomComboBox : public TCustomListControl {
    DECLARE_CLASS(TCustomComboBox, TCustomListControl)
public:
    explicit TCustomComboBox(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TCustomComboBox>& B);

    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value);
    bool DroppedDown();
    void SetDroppedDown(bool Value);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    void SetItemIndex(int Value) override;
    // Text is the edit's text; for csDropDownList the selected item's (setting one selects the
    // item of that text, or none).
    int SelStart();
    void SetSelStart(int Value);
    int SelLength();
    void SetSelLength(int Value);
    void SelectAll();
    // The edit and list windows of the combo box (0 while there is no window or no such part).
    HWND EditHandle() const { return FEditHandle; }
    HWND ListHandle() const { return FListHandle; }

    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TNotifyEvent OnSelect;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    UINT GetCurSelMsg() const override { return CB_GETCURSEL; }
    UINT SetCurSelMsg() const override { return CB_SETCURSEL; }
    UINT SetItemHeightMsg() const override { return CB_SETITEMHEIGHT; }
    bool IsOwnerDraw() const override { return FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable; }
    bool IsVariable() const override { return FStyle == csOwnerDrawVariable; }
    std::string GetText() override;
    virtual void Change();
    virtual void DropDown();
    virtual void CloseUp();
    virtual void Select();
    void CNCommand(TMessage& Message);
    void WMSetText(TMessage& Message);

private:
    void AdjustDropDown();
    TComboBoxStyle FStyle = csDropDown;
    int FDropDownCount = 8;
    TEditCharCase FCharCase = ecNormal;
    int FMaxLength = 0;
    HWND FEditHandle = nullptr;
    HWND FListHandle = nullptr;
};

class TComboBox : public TCustomComboBox {
    DECLARE_CLASS(TComboBox, TCustomComboBox)
public:
    using TCustomComboBox::TCustomComboBox;
};

class TCustomListBox : public TCustomListControl {
    DECLARE_CLASS(TCustomListBox, TCustomListControl)
public:
    explicit TCustomListBox(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TCustomListBox>& B);

    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle Value);
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    bool IntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool Value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool ExtendedSelect() const { return FExtendedSelect; }
    void SetExtendedSelect(bool Value);
    int ItemIndex() override;
    void SetItemIndex(int Value) override;
    // Selection of one item (a single-selection list selects or clears it as ItemIndex).
    bool Selected(int Index);
    void SetSelected(int Index, bool Value);
    int SelCount();
    int TopIndex();
    void SetTopIndex(int Value);
    // The item under a client point (-1 when none, or the count when Existing is false and the
    // point is below the last item).
    int ItemAtPos(TPoint Pos, bool Existing);
    TRect ItemRect(int Index);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    UINT GetCurSelMsg() const override { return LB_GETCURSEL; }
    UINT SetCurSelMsg() const override { return LB_SETCURSEL; }
    UINT SetItemHeightMsg() const override { return LB_SETITEMHEIGHT; }
    bool IsOwnerDraw() const override { return FStyle != lbStandard; }
    bool IsVariable() const override { return FStyle == lbOwnerDrawVariable; }
    void CNCommand(TMessage& Message);

private:
    TListBoxStyle FStyle = lbStandard;
    TFormBorderStyle FBorderStyle = bsSingle;
    bool FIntegralHeight = false;
    bool FMultiSelect = false;
    bool FExtendedSelect = true;
    int FTopIndex = 0;
    std::vector<int> FSelectedKept;  // multi-selection while there is no window
};

class TListBox : public TCustomListBox {
    DECLARE_CLASS(TListBox, TCustomListBox)
public:
    using TCustomListBox::TCustomListBox;
};

// ---------------------------------------------------------------------------------------------
// Group box

// A frame with a caption that holds other controls; it paints itself.
class TCustomGroupBox : public TCustomControl {
    DECLARE_CLASS(TCustomGroupBox, TCustomControl)
public:
    explicit TCustomGroupBox(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TCustomGroupBox>& B);

protected:
    void AdjustClientRect(TRect& Rect) override;
    void Paint() override;
    void CMTextChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMDialogChar(TMessage& Message);
};

class TGroupBox : public TCustomGroupBox {
    DECLARE_CLASS(TGroupBox, TCustomGroupBox)
public:
    using TCustomGroupBox::TCustomGroupBox;
};

// Registers the unit's classes for form files (the unit's start-up).
void StdCtrlsInitialization();
