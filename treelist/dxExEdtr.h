// Extended editor kinds and the resources they share: the three-state check editor with its style
// controller, and the unit's process-wide hand cursor, tool and blob image lists, drawing canvas,
// time constants and texts.
//
// Start-up: dxExEdtrInitialization() builds the shared resources once; dxExEdtrFinalization()
// frees them.
#pragma once

#include "ImgList.h"
#include "dxCalc.h"
#include "dxCntner.h"
#include "dxEditor.h"

#include <string>

// ---------------------------------------------------------------------------------------------
// Check editor

DECLARE_ENUM(TdxCheckBoxState, cbsUnchecked, cbsChecked, cbsGrayed)
DECLARE_ENUM(TdxShowNullFieldStyle, nsUnchecked, nsInactive, nsGrayedChecked)

// Check-box defaults: no border, 3D box.
class TdxCheckEditStyleController : public TdxEditStyleController {
    DECLARE_CLASS(TdxCheckEditStyleController, TdxEditStyleController)
public:
    explicit TdxCheckEditStyleController(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TdxCheckEditStyleController>& B);
    void RestoreDefaults() override;
};

extern TdxCheckEditStyleController* DefaultCheckStyleController;

// The check editors' own default controller stands where the unit-wide one stands for others.
class TdxCheckEditStyle : public TdxEditStyle {
    DECLARE_CLASS(TdxCheckEditStyle, TdxEditStyle)
public:
    explicit TdxCheckEditStyle(TdxInplaceEdit* AEdit) : TdxEditStyle(AEdit, &CheckDefault) {}

private:
    static TdxEditStyleController* CheckDefault() { return DefaultCheckStyleController; }
};

class TdxCheckEditViewData : public TdxEditViewData {
    DECLARE_CLASS(TdxCheckEditViewData, TdxEditViewData)
public:
    std::string Caption;
    bool TextFocusRect = true;
    TBitmap* Glyph = nullptr;  // not owned
    int GlyphCount = 6;
    TdxShowNullFieldStyle NullLook = nsGrayedChecked;
    bool Pushed = false;
};

class TdxInplaceCheckEdit : public TdxInplaceEdit {
public:
    struct TMetaClass : TdxInplaceEdit::TMetaClass {
        using TdxInplaceEdit::TMetaClass::TMetaClass;
        bool DrawClient(HDC DC, const TRect& Rect, bool IsEditorPaint, TdxEditViewData* ViewData) const override;
        int CalcTextHeight(TdxEditViewData* ViewData) const override;
        TdxEditViewDataClass GetViewDataClass() const override;
        TdxEditStyleClass GetEditStyleClass() const override;
    };
    DECLARE_CLASS(TdxInplaceCheckEdit, TdxInplaceEdit)

public:
    explicit TdxInplaceCheckEdit(TComponent* AOwner);
    ~TdxInplaceCheckEdit() override;
    static void DefineClass(TClassBuilder<TdxInplaceCheckEdit>& B);

    virtual void Toggle();

    void SetEditValue(const Variant& Value) override;
    void ReadDisplayValue(Variant& Value, bool FromDefinition) override;
    void ReadEditValue(Variant& Value) override { Value = static_cast<int>(FCheckState); }
    TdxEditViewData* CreateViewData(bool IsPaintCopy) override;
    void ActivateByClick() override { Toggle(); }
    void Click() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void KeyUp(Word& Key, TShiftState Shift) override;

    TdxCheckBoxState CheckState() const { return FCheckState; }
    void SetCheckState(TdxCheckBoxState Value);
    TBitmap* Glyph();
    void SetGlyph(TBitmap* Value);
    int GlyphCount() const { return FGlyphCount; }
    void SetGlyphCount(int Value);
    TdxShowNullFieldStyle NullLook() const { return FNullLook; }
    void SetNullLook(TdxShowNullFieldStyle Value);
    bool PressedLook() const { return FPressedLook; }
    bool AllowGrayed = false;
    bool WideFocusRect = false;
    bool WrapCaption = false;

    // The box of a cell W x H wide within Rect; Rect becomes the caption's area.
    static TRect CheckLayout(int W, int H, TRect& Rect, TAlignment Alignment);
    // One box image's size: the strip's cell, or the system check box's.
    static TSize CheckCellSize(TBitmap* Glyph, int GlyphCount);

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void InvalidateCheck();
    void WMCancelModeCheck(TMessage& Message);
    void WMGetDlgCodeCheck(TMessage& Message);
    void CMDialogChar(TMessage& Message);
    void CMTextChangedCheck(TMessage& Message);

private:
    void TrackPoint(int X, int Y);
    void StopTracking();
    void SetPressedLook(bool Value);

    TBitmap* FGlyph = nullptr;
    int FGlyphCount = 6;
    TdxShowNullFieldStyle FNullLook = nsGrayedChecked;
    bool FPressedLook = false;
    TdxCheckBoxState FCheckState = cbsUnchecked;
    bool FMouseTracking = false;
};

// ---------------------------------------------------------------------------------------------
// Spin editor: a number held as text, stepped by an up/down button pair in the frame, the Up and
// Down keys and the wheel, kept between MinValue and MaxValue unless the two are equal.

// Stored-value flags of the spin editor.
namespace dxStored {
inline constexpr Word NumberKind = 8;
inline constexpr Word MaxValue = 16;
inline constexpr Word MinValue = 32;
}  // namespace dxStored

class TdxSpinEditViewData : public TdxTextEditViewData {
    DECLARE_CLASS(TdxSpinEditViewData, TdxTextEditViewData)
public:
    bool ShowButtons = false;
    Byte HotPart = 0;
    Byte PushedPart = 0;
};

class TdxInplaceSpinEdit : public TdxInplaceMaskEdit {
public:
    struct TMetaClass : TdxInplaceMaskEdit::TMetaClass {
        using TdxInplaceMaskEdit::TMetaClass::TMetaClass;
        void CalcViewInfo(TdxEditViewData* ViewData, bool AutoSize, ViewInfo& Info) const override;
        void DrawBorder(HDC DC, const ViewInfo& Info, TdxEditViewData* ViewData) const override;
        TdxEditViewDataClass GetViewDataClass() const override;
        virtual int SpinButtonWidth(TdxEditViewData* ViewData) const;
        // The up and the down part of the button column (window coordinates); false without buttons.
        bool SpinParts(TdxEditViewData* ViewData, const ViewInfo& Info, TRect& Up, TRect& Down) const;
    };
    DECLARE_CLASS(TdxInplaceSpinEdit, TdxInplaceMaskEdit)

public:
    explicit TdxInplaceSpinEdit(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TdxInplaceSpinEdit>& B);
    const TMetaClass* Meta() const { return static_cast<const TMetaClass*>(ClassType()); }

    static constexpr UINT_PTR RepeatTimerId = 100;

    virtual double GetIncrement() { return Increment; }
    virtual double GetValue();
    virtual bool IsValidSpinChar(char Ch);
    virtual void SetMaxValue(double V);
    virtual void SetMinValue(double V);
    virtual void SetMinMax(double Min, double Max);
    virtual void SetNumberKind(Byte T);
    virtual void SetValue(double V);
    virtual double DefaultMaxValue() { return 0; }
    virtual double DefaultMinValue() { return 0; }
    virtual Byte DefaultNumberKind() { return 0; }

    void RefreshDataProperties() override;
    void RestoreDefaults() override;
    void Validate() override;
    TdxEditViewData* CreateViewData(bool IsPaintCopy) override;
    bool KeepOpenOnContainerClick() override { return false; }
    bool WantsMouseWheel() override { return true; }
    void SetHot(bool Value) override;
    void ActivateByMouse(int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void KeyUp(Word& Key, TShiftState Shift) override;

    // One step in the direction of the pushed part.
    void Spin();
    void ReleaseSpin();
    void SetMinMaxStored(double Min, double Max);
    void SetNumberKindStored(Byte T);

    double MaxValue() const { return FMaxValue; }
    double MinValue() const { return FMinValue; }
    Byte NumberKind() const { return FNumberKind; }
    Byte HotSpinButton() const { return FHotSpinButton; }
    Byte PushedSpinButton() const { return FPushedSpinButton; }
    bool EditorEnabled = true;
    double Increment = 1.0;
    bool UseCtrlIncrement = false;

protected:
    void DefaultHandler(TMessage& Message) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMEditorEnabledOnly(TMessage& Message);
    void WMCancelModeSpin(TMessage& Message);
    void WMCaptureChangedSpin(TMessage& Message);
    void WMKillFocusSpin(TMessage& Message);
    void WMMouseWheelSpin(TMessage& Message);
    void WMLButtonUpSpin(TMessage& Message);
    void WMNCHitTestSpin(TMessage& Message);
    void WMNCLButtonDownSpin(TMessage& Message);
    void WMNCLButtonDblClkSpin(TMessage& Message);
    void WMTimer(TMessage& Message);

private:
    double ClampValue(double V) const;
    double EmptyValue() const;
    void SetHotSpinButton(Byte Half);
    void RepaintFrame();

    double FMaxValue = 0;
    double FMinValue = 0;
    Byte FHotSpinButton = 0;
    Byte FPushedSpinButton = 0;
    UINT_PTR FSpinTimer = 0;
    Byte FNumberKind = 0;
};

// ---------------------------------------------------------------------------------------------
// Memo editor: the text editor as a multi-line editor with word wrap, scroll bars, typed line
// breaks and tabs, and its lines as a string list.

class TdxInplaceMemoEdit;

class TdxMemoStrings : public TStrings {
    DECLARE_CLASS(TdxMemoStrings, TStrings)
public:
    explicit TdxMemoStrings(TdxInplaceMemoEdit* AMemo) : FMemo(AMemo) {}
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
    LRESULT Send(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    void ReplaceRange(int Start, int End, const std::string& S);
    TdxInplaceMemoEdit* FMemo;
};

class TdxInplaceMemoEdit : public TdxInplaceTextEdit {
    DECLARE_CLASS(TdxInplaceMemoEdit, TdxInplaceTextEdit)
public:
    explicit TdxInplaceMemoEdit(TComponent* AOwner);
    ~TdxInplaceMemoEdit() override;
    static void DefineClass(TClassBuilder<TdxInplaceMemoEdit>& B);

    void KeyDown(Word& Key, TShiftState Shift) override;
    bool DrawsInactiveAsCell() override { return false; }
    void SelectAll() override;
    TdxEditViewData* CreateViewData(bool IsPaintCopy) override;
    bool WantsTab() override { return WantTabs; }

    TdxMemoStrings* Lines() const { return FLines; }
    void SetLines(TStrings* Value) { FLines->Assign(Value); }
    bool HideScrollBars() const { return FHideScrollBars; }
    void SetHideScrollBars(bool Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // Switches the window's change notifications (while the whole text is replaced).
    void SetChangeEvents(bool On);
    bool WantReturns = true;
    bool WantTabs = false;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWindowHandle(const TCreateParams& Params) override;
    void Loaded() override;
    void WMGetDlgCodeMemo(TMessage& Message);
    void WMKeyDownMemo(TMessage& Message);
    void WMSetTextMemo(TMessage& Message);

private:
    bool FClearingText = false;
    TdxMemoStrings* FLines = nullptr;
    bool FHideScrollBars = true;
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
};

// ---------------------------------------------------------------------------------------------
// Calc editor: a drop-down calculator that starts from the editor's text and writes every result
// back into it.

class TdxInplaceCalcEdit;

class TdxPopupCalculator : public TCustomdxCalculator {
    DECLARE_CLASS(TdxPopupCalculator, TCustomdxCalculator)
public:
    explicit TdxPopupCalculator(TComponent* AOwner);
    void GetDisplayText(std::string& S) override;
    void SetDisplayText(const std::string& S) override;
    void HidePopup() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    TdxInplaceCalcEdit* CalcEdit = nullptr;
    bool QuickClose = false;

protected:
    void CreateParams(TCreateParams& Params) override;
};

class TdxInplaceCalcEdit : public TdxInplaceDropDownEdit {
    DECLARE_CLASS(TdxInplaceCalcEdit, TdxInplaceDropDownEdit)
public:
    explicit TdxInplaceCalcEdit(TComponent* AOwner);
    ~TdxInplaceCalcEdit() override;
    void OpenPopup() override;

    TdxPopupCalculator* PopupCalculator() const { return FPopupCalculator; }
    bool BeepOnError = true;
    TdxButtonStyle ButtonStyle = bsStandard;
    Byte Precision = 13;
    bool QuickClose = false;
    bool ShowButtonFrame = false;

private:
    friend class TdxPopupCalculator;
    TdxPopupCalculator* FPopupCalculator = nullptr;
    // What the editor held when the calculator opened, put back after a calculation that failed.
    std::string FOpenText;
    bool FOpenModified = false;
};

// ---------------------------------------------------------------------------------------------
// Date editor: a date typed freely or through a mask from the locale's short date, read from date
// words such as TODAY+3, or picked from the calendar popup.

DECLARE_ENUM(TDateButton, btnToday, btnClear)
DECLARE_SET(TDateButtons, TDateButton)
DECLARE_ENUM(TDateOnError, deToday, deNull)

// (sender, text, date, message, error)
using TdxDateValidateInput = TMethodOf<TObject*, const std::string&, TDateTime&, std::string&, bool&>;
DECLARE_EVENT_NAME(TdxDateValidateInput)

class TroDeraDatePopup;

class TdxInplaceDateEdit : public TdxInplaceDropDownEdit {
    DECLARE_CLASS(TdxInplaceDateEdit, TdxInplaceDropDownEdit)
public:
    explicit TdxInplaceDateEdit(TComponent* AOwner);
    ~TdxInplaceDateEdit() override;
    static void DefineClass(TClassBuilder<TdxInplaceDateEdit>& B);

    virtual void DoDateValidateInput(const std::string& Text, TDateTime& Date, bool& Error, std::string& Message);
    // Whether the cell's value may not be left empty: the popup then offers no Clear button. The
    // editor alone knows of no such rule; a column that binds a required value answers true.
    virtual bool ValueRequired() { return false; }

    void OpenPopup() override;
    void SetEditValue(const Variant& Value) override;
    void ReadEditValue(Variant& Value) override;
    void GetEditingText(std::string& S) override;
    void Change() override;
    void Validate() override;
    bool ValidateOnEnterKey() override { return true; }
    bool KeepOpenOnContainerClick() override { return false; }

    TDateTime DateValue() const { return FDateValue; }
    void SetDateValue(TDateTime D) { SetDateIfChanged(D); }
    void SetDateIfChanged(TDateTime D);
    void SetDateRaw(TDateTime D);
    bool UseEditMask() const { return FUseEditMask; }
    void SetUseEditMask(bool Value);
    void ApplyDateMask();
    // The text of a date in the editor's current form.
    std::string DateText(bool Masked, TDateTime D);
    bool TextEdited() const { return FTextEdited; }
    TDateTime PopupStartDate() const { return FPopupStartDate; }
    TroDeraDatePopup* DatePopup() const { return FDatePopup; }

    TDateButtons DateButtons{btnToday, btnClear};
    TDateOnError DateOnError = deNull;
    bool DateValidation = false;
    bool SaveTime = true;
    TNotifyEvent OnNewDate;
    TdxDateValidateInput OnDateValidateInput;

protected:
    void CMWinIniChange(TMessage& Message);

private:
    void DateChosen(TObject* Sender);

    TDateTime FDateValue;
    TDateTime FPopupStartDate;
    TroDeraDatePopup* FDatePopup = nullptr;
    bool FTextEdited = false;
    bool FUseEditMask = false;
};

// The date words: TODAY, YESTERDAY, TOMORROW, a weekday, FIRST..SEVENTH of this week, BOM, EOM and
// NOW, each optionally followed by +N or -N days.
bool ParseDateWord(const std::string& Text, TDateTime& Date);
bool TextToDate(const std::string& Text, TDateTime& Date);
std::string LocaleDateText(TDateTime D);
std::string DateMaskFromFormat();
std::string MaskDateFormat();
extern bool UseSystemDateConversion;
extern bool (*DateWordHook)(const std::string& Text, TDateTime& Date);

// ---------------------------------------------------------------------------------------------
// Button editor: up to eight buttons of its own, each click reported with the button's index.

class TdxEditButton : public TCollectionItem {
    DECLARE_CLASS(TdxEditButton, TCollectionItem)
public:
    explicit TdxEditButton(TCollection* ACollection);
    ~TdxEditButton() override;
    static void DefineClass(TClassBuilder<TdxEditButton>& B);
    void Assign(TPersistent* Source) override;
    virtual void ResetButton();

    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    TBitmap* Glyph();
    void SetGlyph(TBitmap* Value);
    bool HasGlyph() const { return FGlyph != nullptr; }
    TdxEditButtonKind Kind() const { return FKind; }
    void SetKind(TdxEditButtonKind Value);
    bool LeftAlignment() const { return FLeftAlignment; }
    void SetLeftAlignment(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);

private:
    friend class TdxEditButtons;
    bool FDefault = false;
    TBitmap* FGlyph = nullptr;
    TdxEditButtonKind FKind = bkEllipsis;
    bool FLeftAlignment = false;
    bool FVisible = true;
    int FWidth = 0;
};

class TdxEditButtons : public TCollection {
    DECLARE_CLASS(TdxEditButtons, TCollection)
public:
    TdxEditButtons(TComponent* AOwner, TCollectionItemClass ItemClass);
    TdxEditButton* Add() { return static_cast<TdxEditButton*>(TCollection::Add()); }
    TdxEditButton* Items(int Index) const { return static_cast<TdxEditButton*>(TCollection::Items(Index)); }
    TPersistent* GetOwner() override { return FOwner; }
    void Update(TCollectionItem* Item) override;
    int VisibleCount() const;
    // The N-th visible button (from 0) with its collection index, or null and -1.
    TdxEditButton* VisibleItems(int N, int* Index = nullptr) const;
    void ResetAllButtons();

protected:
    TComponent* FOwner;
};

class TdxInplaceEditButtons : public TdxEditButtons {
    DECLARE_CLASS(TdxInplaceEditButtons, TdxEditButtons)
public:
    using TdxEditButtons::TdxEditButtons;
    void Update(TCollectionItem* Item) override;
};

class TdxButtonEditViewData : public TdxDropDownEditViewData {
    DECLARE_CLASS(TdxButtonEditViewData, TdxDropDownEditViewData)
public:
    bool ButtonOnly = false;
    TdxEditButtons* ButtonCollection = nullptr;  // not owned
    bool HideEditCursor = false;
};

// (sender, collection index of the clicked button)
using TdxEditButtonClickEvent = TMethodOf<TObject*, int>;
DECLARE_EVENT_NAME(TdxEditButtonClickEvent)

class TdxInplaceButtonEdit : public TdxInplaceDropDownEdit {
public:
    struct TMetaClass : TdxInplaceDropDownEdit::TMetaClass {
        using TdxInplaceDropDownEdit::TMetaClass::TMetaClass;
        void CalcViewInfo(TdxEditViewData* ViewData, bool AutoSize, ViewInfo& Info) const override;
        bool DrawClient(HDC DC, const TRect& Rect, bool IsEditorPaint, TdxEditViewData* ViewData) const override;
        TdxEditViewDataClass GetViewDataClass() const override;
        void InitButtons(TdxDropDownEditViewData* ViewData) const override;
    };
    DECLARE_CLASS(TdxInplaceButtonEdit, TdxInplaceDropDownEdit)

public:
    explicit TdxInplaceButtonEdit(TComponent* AOwner);
    ~TdxInplaceButtonEdit() override;
    static void DefineClass(TClassBuilder<TdxInplaceButtonEdit>& B);

    virtual void ClickDefaultButton();

    void ButtonClick(int Index) override;
    void PopupKeyDown(Word&, TShiftState) override {}
    TdxEditViewData* CreateViewData(bool IsPaintCopy) override;
    bool HasEditWindow() override { return FEditViewMode == 0; }
    bool CanRestoreValue() override { return true; }
    void KeyDown(Word& Key, TShiftState Shift) override;

    TdxInplaceEditButtons* Buttons() const { return FButtons; }
    void SetButtons(TdxEditButtons* Value) { FButtons->Assign(Value); }
    Byte EditViewMode() const { return FEditViewMode; }
    void SetEditViewMode(Byte Value);
    bool ExistButtons() const { return FExistButtons; }
    Word ClickKey = 16397;  // Ctrl+Enter
    TdxEditButtonClickEvent OnButtonClick;

protected:
    void DefineProperties(TFiler& Filer) override;
    void Loaded() override;
    void WMGetDlgCodeButton(TMessage& Message);

private:
    TdxInplaceEditButtons* FButtons = nullptr;
    bool FExistButtons = false;
    Byte FEditViewMode = 0;
};

// ---------------------------------------------------------------------------------------------
// Popup list boxes: owner-drawn, top-level, shadowed lists that drop down from an editor while
// the editor keeps the focus.

class TCustomdxPopupListBox : public TCustomListBox {
    DECLARE_CLASS(TCustomdxPopupListBox, TCustomListBox)
public:
    explicit TCustomdxPopupListBox(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TCustomdxPopupListBox>& B);

    TdxPopupBorder ListBorder() const { return FListBorder; }
    void SetListBorder(TdxPopupBorder Value);
    bool ListShadow() const { return FListShadow; }
    void SetListShadow(bool Value);
    int ListShadowSize() const { return FListShadowSize; }
    int MeasuredItemHeight = 0;
    bool TrackMouse = true;
    // The height of one line of the list's font.
    int LineHeight();
    // The height of an item as the list measures it.
    void MeasureItemHeight(int& Height);
    // Every item given the measured height (the list's measure requests go to the window it was
    // created in, which it has left), then the window sized for Rows rows of ClientWidth, or
    // WindowWidth wide in all when that is not 0.
    void FitToItems(int Rows, int ClientWidth, int WindowWidth);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void MeasureItem(int Index, int& Height) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void CMHintShow(TMessage& Message) { Message.Result = 1; }
    void WMNCCalcSizeList(TMessage& Message);
    void WMNCPaintList(TMessage& Message);
    void WMSizeList(TMessage& Message);

private:
    TdxPopupBorder FListBorder = pbDefault;
    bool FListShadow = false;
    int FListShadowSize = 2;
};

class TdxPopupImageListBox : public TCustomdxPopupListBox {
    DECLARE_CLASS(TdxPopupImageListBox, TCustomdxPopupListBox)
public:
    using TCustomdxPopupListBox::TCustomdxPopupListBox;

    TCustomImageList* ListImages() const { return FListImages; }
    void SetListImages(TCustomImageList* Value);
    bool WrapItems = false;

protected:
    void MeasureItem(int Index, int& Height) override;
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TCustomImageList* FListImages = nullptr;
};

// The image of an item that has none.
inline constexpr int dxNoListImage = -2;

// ---------------------------------------------------------------------------------------------
// Image editor: one of a list of values, shown as its image and description.

class TdxImageEditViewData : public TdxDropDownEditViewData {
    DECLARE_CLASS(TdxImageEditViewData, TdxDropDownEditViewData)
public:
    bool DefaultImages = true;
    TStrings* Descriptions = nullptr;  // the lists are not owned
    TStrings* ImageIndexes = nullptr;
    TCustomImageList* Images = nullptr;
    bool ShowDescription = true;
    TStrings* Values = nullptr;
};

class TdxInplaceImageEdit : public TdxInplaceDropDownEdit {
public:
    struct TMetaClass : TdxInplaceDropDownEdit::TMetaClass {
        using TdxInplaceDropDownEdit::TMetaClass::TMetaClass;
        bool DrawClient(HDC DC, const TRect& Rect, bool IsEditorPaint, TdxEditViewData* ViewData) const override;
        int CalcTextHeight(TdxEditViewData* ViewData) const override;
        TdxEditViewDataClass GetViewDataClass() const override;
    };
    DECLARE_CLASS(TdxInplaceImageEdit, TdxInplaceDropDownEdit)

public:
    explicit TdxInplaceImageEdit(TComponent* AOwner);
    ~TdxInplaceImageEdit() override;
    static void DefineClass(TClassBuilder<TdxInplaceImageEdit>& B);

    virtual void SetImageValue(const std::string& S);
    // The description and image of a value: -1 for what it lacks.
    static void LookupImage(const std::string& Text, TdxImageEditViewData* ViewData, int& DescriptionIndex,
                            int& ImageIndex);

    TdxEditViewData* CreateViewData(bool IsPaintCopy) override;
    bool HasEditWindow() override { return false; }
    bool CanRestoreValue() override { return true; }
    void OpenPopup() override;
    void ClosePopup(bool Accept) override;
    void StepValue(int Delta, bool) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

    TStringList* Descriptions() const { return FDescriptions; }
    void SetDescriptions(TStrings* Value);
    TStringList* ImageIndexes() const { return FImageIndexes; }
    void SetImageIndexes(TStrings* Value);
    TStringList* Values() const { return FValues; }
    void SetValues(TStrings* Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TCustomImageList* LargeImages() const { return FLargeImages; }
    void SetLargeImages(TCustomImageList* Value);
    bool DefaultImages() const { return FDefaultImages; }
    void SetDefaultImages(bool Value);
    bool ShowDescription() const { return FShowDescription; }
    void SetShowDescription(bool Value);
    bool MultiLineText() const { return FMultiLineText; }
    void SetMultiLineText(bool Value);
    TdxPopupImageListBox* ImageListBox() const { return FImageListBox; }
    bool Incremental = false;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WMGetDlgCodeImage(TMessage& Message);

private:
    void ImageListsChanged(TObject* Sender);
    void PrepareImageList();
    void SetImageList(TCustomImageList*& Field, TChangeLink* Link, TCustomImageList* Value);

    bool FDefaultImages = true;
    TStringList* FDescriptions = nullptr;
    TChangeLink* FImagesLink = nullptr;
    TStringList* FImageIndexes = nullptr;
    TCustomImageList* FImages = nullptr;
    TChangeLink* FLargeImagesLink = nullptr;
    TCustomImageList* FLargeImages = nullptr;
    bool FMultiLineText = false;
    TdxPopupImageListBox* FImageListBox = nullptr;
    bool FShowDescription = true;
    TStringList* FValues = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Pick editor: text completed from a list of strings that can drop down under the editor.

class TCustomdxPopupPickListBox : public TCustomdxPopupListBox {
    DECLARE_CLASS(TCustomdxPopupPickListBox, TCustomdxPopupListBox)
public:
    using TCustomdxPopupListBox::TCustomdxPopupListBox;
    std::string PickSearchText;
    Cardinal PickSearchTick = 0;
    void KeyPress(char& Key) override;
};

class TdxPopupPickListBox : public TCustomdxPopupPickListBox {
    DECLARE_CLASS(TdxPopupPickListBox, TCustomdxPopupPickListBox)
public:
    using TCustomdxPopupPickListBox::TCustomdxPopupPickListBox;

protected:
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
};

class TdxInplacePickEdit : public TdxInplaceDropDownEdit {
    DECLARE_CLASS(TdxInplacePickEdit, TdxInplaceDropDownEdit)
public:
    explicit TdxInplacePickEdit(TComponent* AOwner);
    ~TdxInplacePickEdit() override;
    static void DefineClass(TClassBuilder<TdxInplacePickEdit>& B);

    virtual void ClearPickText();
    virtual void SetPickText(const std::string& S);

    void SetEditValue(const Variant& Value) override;
    void SetActive(bool Value) override;
    void SetReadOnly(bool Value) override;
    bool IsEditable() override { return !FDropDownListStyle && TdxInplaceDropDownEdit::IsEditable(); }
    bool CanRestoreValue() override { return true; }
    void ClosePopup(bool Accept) override;
    void StepValue(int Delta, bool Cycle) override;
    void OpenPopup() override;
    void PopupSearch(const std::string& Text) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

    // The first item that starts with Text (case ignored); -1 for an empty text or none.
    int FindPickItem(const std::string& Text);
    void ResetSearch();

    TStringList* Items() const { return FItems; }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    bool ItemsSorted() const { return FItemsSorted; }
    void SetItemsSorted(bool Value);
    bool DropDownListStyle() const { return FDropDownListStyle; }
    void SetDropDownListStyle(bool Value);
    TdxPopupPickListBox* ItemsPopup() const { return FItemsPopup; }
    bool Searching() const { return FSearching; }
    const std::string& SearchText() const { return FSearchText; }
    int PickIndex() const { return FPickIndex; }
    bool CanDeleteText = false;
    bool Revertable = false;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool ApplySearch();
    void PreparePickList();
    bool WholeTextSelected();

    bool FDropDownListStyle = false;
    bool FSearching = false;
    std::string FSearchText;
    int FPickIndex = -1;
    TStringList* FItems = nullptr;
    TdxPopupPickListBox* FItemsPopup = nullptr;
    bool FItemsSorted = false;
};

// ---------------------------------------------------------------------------------------------
// MRU editor: a pick editor whose items are the values validated last, newest first, with an
// optional ellipsis button.

class TdxMRUEditViewData : public TdxDropDownEditViewData {
    DECLARE_CLASS(TdxMRUEditViewData, TdxDropDownEditViewData)
public:
    bool ShowEllipsis = true;
};

class TdxInplaceMRUEdit : public TdxInplacePickEdit {
public:
    struct TMetaClass : TdxInplacePickEdit::TMetaClass {
        using TdxInplacePickEdit::TMetaClass::TMetaClass;
        TdxEditViewDataClass GetViewDataClass() const override;
        void InitButtons(TdxDropDownEditViewData* ViewData) const override;
    };
    DECLARE_CLASS(TdxInplaceMRUEdit, TdxInplacePickEdit)

public:
    explicit TdxInplaceMRUEdit(TComponent* AOwner);

    virtual void DoButtonClick() { OnButtonClick(this); }
    virtual void AddMRUItem(const std::string& S);

    TdxEditViewData* CreateViewData(bool IsPaintCopy) override;
    void Validate() override;
    void PressButton(bool NoCapture, int Index) override;
    void ButtonClick(int Index) override;
    void KeyDown(Word& Key, TShiftState Shift) override;

    void TrimMRUList();
    int MaxItemCount() const { return FMaxItemCount; }
    void SetMaxItemCount(int Value);
    bool ShowEllipsis() const { return FShowEllipsis; }
    void SetShowEllipsis(bool Value);
    TNotifyEvent OnButtonClick;

private:
    int FMaxItemCount = 7;
    bool FShowEllipsis = true;
};

// ---------------------------------------------------------------------------------------------
// Hyperlink editor: the text is a link target, painted underlined and handed to the shell.

class TdxHyperLinkEditViewData : public TdxTextEditViewData {
    DECLARE_CLASS(TdxHyperLinkEditViewData, TdxTextEditViewData)
public:
    bool CanFollow = false;
};

class TdxInplaceHyperLinkEdit : public TdxInplaceTextEdit {
public:
    struct TMetaClass : TdxInplaceTextEdit::TMetaClass {
        using TdxInplaceTextEdit::TMetaClass::TMetaClass;
        TCursor GetViewCursor(TdxEditViewData* ViewData, int X, int Y) const override;
        TdxEditViewDataClass GetViewDataClass() const override;
    };
    DECLARE_CLASS(TdxInplaceHyperLinkEdit, TdxInplaceTextEdit)

public:
    explicit TdxInplaceHyperLinkEdit(TComponent* AOwner);
    ~TdxInplaceHyperLinkEdit() override;
    static void DefineClass(TClassBuilder<TdxInplaceHyperLinkEdit>& B);

    virtual void FollowLink();

    TdxEditViewData* CreateViewData(bool IsPaintCopy) override;
    void ActivateByClick() override;
    void SelectAll() override;
    void KeyDown(Word& Key, TShiftState Shift) override;

    TFont* GetUnderlinedFont();
    TColor EditFontColor() const { return FEditFontColor; }
    void SetEditFontColor(TColor Value);
    bool SingleClick = false;
    Word StartKey = 16397;  // Ctrl+Enter
    TNotifyEvent OnStartClick;

protected:
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMLButtonDblClkLink(TMessage& Message);
    void WMSetFontLink(TMessage& Message);
    void CMFontChangedLink(TMessage& Message);

private:
    TColor FEditFontColor = clBlue;
    TFont* FUnderlinedFont = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Time editor: the time of day of a value edited field by field through a mask and spin buttons;
// the date part is carried through.

DECLARE_ENUM(TdxTimeEditFormat, tfHourMinSec, tfHourMin, tfHour)

// Per format: the display format and the edit mask.
extern const char* const TimeFormats[3][2];

class TdxInplaceTimeEdit : public TdxInplaceSpinEdit {
    DECLARE_CLASS(TdxInplaceTimeEdit, TdxInplaceSpinEdit)
public:
    explicit TdxInplaceTimeEdit(TComponent* AOwner);

    void SetEditValue(const Variant& Value) override;
    void ReadEditValue(Variant& Value) override;
    void SelectAll() override { TdxInplaceTextEdit::SelectAll(); }
    double GetIncrement() override;
    double GetValue() override;
    bool IsValidSpinChar(char Ch) override;
    void SetValue(double X) override;

    // 'H', 'N' or 'S': the field under the caret.
    char CurrentSection();
    TDateTime GetTime() const { return FTimeValue; }
    void SetTime(TDateTime Value);
    TdxTimeEditFormat TimeEditFormat() const { return FTimeEditFormat; }
    void SetTimeEditFormat(TdxTimeEditFormat Value);
    double DatePart() const { return FDatePart; }

private:
    double FDatePart = 0;
    double FTimeValue = 0;
    TdxTimeEditFormat FTimeEditFormat = tfHourMinSec;
};

// ---------------------------------------------------------------------------------------------
// Currency editor: an amount typed as plain text that always parses, shown in cells through a
// display format (by default the locale's currency format), kept within a range.

namespace dxStored {
inline constexpr Word DisplayFormat = 128;
}

class TdxInplaceCurrencyEdit : public TdxInplaceMaskEdit {
    DECLARE_CLASS(TdxInplaceCurrencyEdit, TdxInplaceMaskEdit)
public:
    explicit TdxInplaceCurrencyEdit(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TdxInplaceCurrencyEdit>& B);

    virtual bool IsValidCurrencyChar(char Ch);
    virtual void SetDisplayFormatValue(const std::string& S);
    virtual void SetMaxValue(double X);
    virtual void SetMinValue(double X);
    virtual void SetMinMax(double Max, double Min);
    virtual std::string DefaultDisplayFormat();
    virtual double DefaultMaxValue() { return 0; }
    virtual double DefaultMinValue() { return 0; }

    void RefreshDataProperties() override;
    void ReadDisplayValue(Variant& Value, bool FromDefinition) override;
    void ReadEditValue(Variant& Value) override;
    bool DrawsInactiveAsCell() override { return TdxInplaceMaskEdit::DrawsInactiveAsCell() || !FDisplayFormat.empty(); }
    void RestoreDefaults() override;
    void Validate() override;
    bool NeedsOleCallback() override { return true; }
    void SetEditMask(const std::string&) override {}
    void KeyPress(char& Key) override;

    double GetValue();
    void SetValue(double X);
    const std::string& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const std::string& S);
    bool Nullable() const { return FNullable; }
    void SetNullable(bool Value);
    const std::string& NullString() const { return FNullString; }
    void SetNullString(const std::string& Value);
    void SetStoredMinMax(double Max, double Min);
    double MaxValue() const { return FMaxValue; }
    double MinValue() const { return FMinValue; }
    // A text as a number: thousand separators dropped; false when it is no number of the double range.
    static bool ParseAmount(const std::string& S, double& Value);
    Cardinal DecimalPlaces = 2;
    bool UseThousandSeparator = false;

protected:
    void WMPasteCurrency(TMessage& Message);
    void CMWinIniChangeCurrency(TMessage& Message);

private:
    std::string FDisplayFormat;
    double FMaxValue = 0;
    double FMinValue = 0;
    bool FNullable = false;
    std::string FNullString;
};

// ---------------------------------------------------------------------------------------------
// Shared resources of the unit

inline constexpr TCursor HandCursorIndex = -1140;
extern TImageList* ToolImages;
extern TImageList* BlobImages;
extern TCanvas* SharedDrawCanvas;
extern int CheckGlyphWidth, CheckGlyphHeight;
extern TDateTime TimeSecond, TimeMinute, TimeHour, MinTime, MaxTime;
extern std::string InvalidDateText;
extern std::string ToolCaptions[7], ToolHints[7];
extern std::string PopupButtonCaptions[3];
extern std::string DateWords[20];

// Measures one image of the system's check-box bitmap.
void ReadCheckBoxSize();

void dxExEdtrInitialization();
void dxExEdtrFinalization();
