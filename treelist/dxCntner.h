// The in-place editor framework of the grid library: edit styles and style controllers, the
// in-place editor base with its view data and class-level cell painting, the editor container
// that hosts one live editor, the container's hint window, and the popup control base.
//
// How a control hosts an editor (the container's side):
//   1. Create the editor with the container as owner and parent; one editor serves a column and is
//      reused from cell to cell.
//   2. BeginEditorInit; Closing := false, colour, font, SetTextMargins(1, 0, 0, 0), the column's
//      properties, the value (SetEditValue), SetModified(false), SetStoredReadOnly(true) when
//      IsEditingReadOnly, SetActive(true); EndEditorInit (also when a step raises).
//   3. ShowAt(cell rectangle), inside BeginShow/EndShow when the editor already showed another cell.
//      After its own left-button handling the container stamps ClickTime with the message time.
//   4. While open, answer the editor's questions (the virtual operations of TCustomdxContainer).
//   5. To close: Closing := true; take the value when GetModified; HideInplace; refocus itself.
// Cells without the live editor are painted by the column's editor class:
//   TdxInplaceEditClass(C)->Draw(DC, Rect, Rgn, ViewData).
//
// Start-up: dxCntnerInitialization() creates the shadow brush and the default style controller;
// dxCntnerFinalization() frees both.
#pragma once

#include "Controls.h"
#include "Forms.h"
#include "Variants.h"
#include "dxDrawUtils.h"

#include <string>
#include <vector>

class TdxInplaceEdit;
class TCustomdxContainer;

// ---------------------------------------------------------------------------------------------
// Edit styles

DECLARE_ENUM(TdxEditBorderStyle, xbsNone, xbsSingle, xbsThick, xbsFlat, xbs3D)
DECLARE_ENUM(TdxEditButtonViewStyle, btsDefault, bts3D, btsFlat, btsSimple, btsHotFlat)
DECLARE_ENUM(TdxEditButtonTransparence, ebtNone, ebtInactive, ebtAlways, ebtHideInactive)
DECLARE_ENUM(TdxEditEdge, edgLeft, edgTop, edgRight, edgBottom)
DECLARE_SET(TdxEditEdges, TdxEditEdge)
DECLARE_ENUM(TdxPopupBorder, pbDefault, pbSingle, pbFrame3D, pbFlat)
DECLARE_ENUM(TdxEditStyleValue, svBorderColor, svBorderStyle, svButtonStyle, svButtonTransparence, svEdges, svHotTrack,
             svShadow)
DECLARE_SET(TdxEditStyleValues, TdxEditStyleValue)
DECLARE_ENUM(TScrollBarStyle, ssRegular, ssFlat, ssHotTrack)

inline constexpr TdxEditEdges dxAllEdges{edgLeft, edgTop, edgRight, edgBottom};


using TdxStyleChangedEvent = TMethodOf<TObject*, TObject*>;
DECLARE_EVENT_NAME(TdxStyleChangedEvent)

// A component shared by many linked objects, told of every change of its values.
class TdxStyleController : public TComponent {
    DECLARE_CLASS(TdxStyleController, TComponent)
public:
    explicit TdxStyleController(TComponent* AOwner) : TComponent(AOwner) {}
    static void DefineClass(TClassBuilder<TdxStyleController>& B);

    virtual void AddLink(TObject* Link);
    virtual void RemoveLink(TObject* Link);
    virtual void NotifyLink(TObject* Link);
    void BeginUpdate() { ++FLockCount; }
    void EndUpdate();
    void Changed() { NotifyAll(); }
    void NotifyAll();
    const std::vector<TObject*>& Links() const { return FLinks; }
    int LockCount() const { return FLockCount; }

    TdxStyleChangedEvent OnStyleChanged;

protected:
    void Loaded() override;

private:
    std::vector<TObject*> FLinks;
    int FLockCount = 0;
};

class TdxEditStyleController : public TdxStyleController {
    DECLARE_CLASS(TdxEditStyleController, TdxStyleController)
public:
    explicit TdxEditStyleController(TComponent* AOwner) : TdxStyleController(AOwner) {}
    static void DefineClass(TClassBuilder<TdxEditStyleController>& B);

    void Assign(TPersistent* Source) override;
    void NotifyLink(TObject* Link) override;
    virtual void RestoreDefaults();

    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value) { SetValue(FBorderColor, Value); }
    TdxEditBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TdxEditBorderStyle Value) { SetValue(FBorderStyle, Value); }
    TdxEditButtonViewStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TdxEditButtonViewStyle Value) { SetValue(FButtonStyle, Value); }
    TdxEditButtonTransparence ButtonTransparence() const { return FButtonTransparence; }
    void SetButtonTransparence(TdxEditButtonTransparence Value) { SetValue(FButtonTransparence, Value); }
    TdxEditEdges Edges() const { return FEdges; }
    void SetEdges(TdxEditEdges Value) { SetValue(FEdges, Value); }
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value) { SetValue(FHotTrack, Value); }
    bool Shadow() const { return FShadow; }
    void SetShadow(bool Value) { SetValue(FShadow, Value); }

private:
    template <class V>
    void SetValue(V& Field, V Value) {
        if (Field == Value)
            return;
        Field = Value;
        NotifyAll();
    }
    TColor FBorderColor = clWindowFrame;
    TdxEditBorderStyle FBorderStyle = xbs3D;
    TdxEditButtonViewStyle FButtonStyle = btsDefault;
    TdxEditButtonTransparence FButtonTransparence = ebtNone;
    TdxEditEdges FEdges = dxAllEdges;
    bool FHotTrack = false;
    bool FShadow = false;
};

// The look of one editor: its own assigned values, else its controller's, else the default
// controller's, else the fixed defaults.
class TdxEditStyle : public TPersistent {
    DECLARE_CLASS(TdxEditStyle, TPersistent)
public:
    using TCreateArg = TdxInplaceEdit;
    explicit TdxEditStyle(TdxInplaceEdit* AEdit) : TdxEditStyle(AEdit, &GetDefaultStyleController) {}
    ~TdxEditStyle() override;
    static void DefineClass(TClassBuilder<TdxEditStyle>& B);

    void Assign(TPersistent* Source) override;
    virtual void Changed();
    virtual void RestoreDefaults();
    // The unit's default controller (a class-level answer).
    static TdxEditStyleController* GetDefaultStyleController();

    TdxInplaceEdit* Edit() const { return FEdit; }
    TdxEditStyleValues AssignedValues() const { return FAssignedValues; }
    void SetAssignedValues(TdxEditStyleValues Value);

    TColor BorderColor() const { return FAssignedValues.Contains(svBorderColor) ? FBorderColor : DefaultBorderColor(); }
    void SetBorderColor(TColor Value) { SetValue(FBorderColor, Value, svBorderColor); }
    TdxEditBorderStyle BorderStyle() const {
        return FAssignedValues.Contains(svBorderStyle) ? FBorderStyle : DefaultBorderStyle();
    }
    void SetBorderStyle(TdxEditBorderStyle Value) { SetValue(FBorderStyle, Value, svBorderStyle); }
    TdxEditButtonViewStyle ButtonStyle() const {
        return FAssignedValues.Contains(svButtonStyle) ? FButtonStyle : DefaultButtonStyle();
    }
    void SetButtonStyle(TdxEditButtonViewStyle Value) { SetValue(FButtonStyle, Value, svButtonStyle); }
    TdxEditButtonTransparence ButtonTransparence() const {
        return FAssignedValues.Contains(svButtonTransparence) ? FButtonTransparence : DefaultButtonTransparence();
    }
    void SetButtonTransparence(TdxEditButtonTransparence Value) {
        SetValue(FButtonTransparence, Value, svButtonTransparence);
    }
    TdxEditEdges Edges() const { return FAssignedValues.Contains(svEdges) ? FEdges : DefaultEdges(); }
    void SetEdges(TdxEditEdges Value) { SetValue(FEdges, Value, svEdges); }
    bool HotTrack() const { return FAssignedValues.Contains(svHotTrack) ? FHotTrack : DefaultHotTrack(); }
    void SetHotTrack(bool Value) { SetValue(FHotTrack, Value, svHotTrack); }
    bool Shadow() const { return FAssignedValues.Contains(svShadow) ? FShadow : DefaultShadow(); }
    void SetShadow(bool Value) { SetValue(FShadow, Value, svShadow); }

protected:
    // A style kind whose editors follow another default controller gives the class-level answer
    // that names it (asked each time: the controller may go before the style).
    using TDefaultControllerFn = TdxEditStyleController* (*)();
    TdxEditStyle(TdxInplaceEdit* AEdit, TDefaultControllerFn DefaultController);
    // The controller the unassigned values follow: the editor's own, else the default one.
    TdxEditStyleController* SourceController() const;
    virtual TColor DefaultBorderColor() const;
    virtual TdxEditBorderStyle DefaultBorderStyle() const;
    virtual TdxEditButtonViewStyle DefaultButtonStyle() const;
    virtual TdxEditButtonTransparence DefaultButtonTransparence() const;
    virtual TdxEditEdges DefaultEdges() const;
    virtual bool DefaultHotTrack() const;
    virtual bool DefaultShadow() const;

private:
    // The source controller's value, or the fixed default without any controller.
    template <class V>
    V FromController(V (TdxEditStyleController::*Get)() const, V Fixed) const {
        TdxEditStyleController* C = SourceController();
        return C ? (C->*Get)() : Fixed;
    }
    template <class V>
    void SetValue(V& Field, V Value, TdxEditStyleValue Flag) {
        if (FAssignedValues.Contains(Flag) && Field == Value)
            return;
        Field = Value;
        FAssignedValues.Include(Flag);
        Changed();
    }
    bool IsBorderColorStored() const { return FAssignedValues.Contains(svBorderColor); }
    bool IsBorderStyleStored() const { return FAssignedValues.Contains(svBorderStyle); }
    bool IsButtonStyleStored() const { return FAssignedValues.Contains(svButtonStyle); }
    bool IsButtonTransparenceStored() const { return FAssignedValues.Contains(svButtonTransparence); }
    bool IsEdgesStored() const { return FAssignedValues.Contains(svEdges); }
    bool IsHotTrackStored() const { return FAssignedValues.Contains(svHotTrack); }
    bool IsShadowStored() const { return FAssignedValues.Contains(svShadow); }

    TdxEditStyleValues FAssignedValues;
    TColor FBorderColor = clWindowFrame;
    TdxEditBorderStyle FBorderStyle = xbs3D;
    TdxEditButtonViewStyle FButtonStyle = btsDefault;
    TdxEditButtonTransparence FButtonTransparence = ebtNone;
    TdxEditEdges FEdges = dxAllEdges;
    TdxInplaceEdit* FEdit;
    TDefaultControllerFn FDefaultController;
    bool FHotTrack = false;
    bool FShadow = false;
};

using TdxEditStyleClass = TClassOf<TdxEditStyle>;

// ---------------------------------------------------------------------------------------------
// View data: everything needed to paint one cell, with or without an editor window

class TdxEditViewData : public TObject {
    DECLARE_CLASS(TdxEditViewData, TObject)
public:
    bool Enabled = true;
    bool Focused = false;
    bool Highlighted = false;
    TColor BorderColor = clWindowFrame;
    TdxEditBorderStyle BorderStyle = xbsNone;
    TdxEditButtonViewStyle ButtonStyle = btsDefault;
    bool ButtonsTransparent = false;
    bool StandaloneLook = false;
    TdxEditEdges Edges = dxAllEdges;
    bool Shadow = false;
    bool OpaqueText = false;
    bool Transparent = false;
    TRect TextMargins;
    TRect Bounds;
    TAlignment Alignment = taLeftJustify;
    Byte VertLayout = 0;  // 0 top, 1 centred, 2 bottom, 3 multi-line
    HBRUSH Brush = nullptr;
    COLORREF BkColor = 0;
    HFONT Font = nullptr;
    COLORREF TextColor = 0;
    bool EditWindowView = false;
    Variant Value;
    int ValueLength = 0;
    TBitmap* DrawBitmap = nullptr;  // supplied by a container; not owned
    bool MeasureOnly = false;
    int LineCount = 0;
    int TextHeight = 0;
    int LineHeight = 0;
    TCursor Cursor = crDefault;
};

using TdxEditViewDataClass = TClassOf<TdxEditViewData>;

// Geometry of one cell computed from its view data.
struct ViewInfo {
    int BorderWidth = 0;
    int ShadowSize = 0;
    TRect Bounds;
    TRect ClientBounds;
    bool LeftEdge = false, TopEdge = false, RightEdge = false, BottomEdge = false;
    TRect BorderRect;
    TRect ShadowRect;
};

// ---------------------------------------------------------------------------------------------
// Data definition: what a data-source binding of an editor offers. No editor kind of the library
// creates one; every operation that asks it falls back when there is none.

class TdxEditDataDefinition : public TObject {
    DECLARE_CLASS(TdxEditDataDefinition, TObject)
public:
    virtual TAlignment Alignment() = 0;
    virtual Variant Value() = 0;
    virtual void SetValue(const Variant& Value) = 0;
    virtual bool CanModify() = 0;
    virtual bool DefaultReadOnly() = 0;
    virtual bool IsValidChar(char Key) = 0;
    virtual void Reset() = 0;
    virtual void UpdateRecord() = 0;
    virtual int MaxLength() { return 0; }
    virtual std::string EditMask() { return std::string(); }
    virtual bool ExecuteAction(TBasicAction*) { return false; }
    virtual bool UpdateAction(TBasicAction*) { return false; }
    // Set by the editor: properties changed, value changed, focus wanted, layout changed, post.
    TNotifyEvent OnPropertiesChanged, OnValueChanged, OnFocusRequest, OnLayoutChanged, OnPost;
};

// ---------------------------------------------------------------------------------------------
// In-place editor base

DECLARE_EXCEPTION(EdxEditInvalidInput, Exception);

// (sender, error text, accept). Not published here, so it names no event type: the tree list's
// validate event of the same shape is the one streamed by name.
using TdxEditValidateEvent = TMethodOf<TObject*, std::string&, bool&>;

// StoredValues: properties assigned explicitly, kept when defaults are refreshed.
namespace dxStored {
inline constexpr Word Alignment = 1;
inline constexpr Word MaxLength = 2;
inline constexpr Word EditMask = 4;
inline constexpr Word ReadOnly = 64;
}  // namespace dxStored

namespace dxEditConsts {
inline constexpr const char* SdxInvalidInput = "Invalid input value. Use escape key to abandon changes";
}

class TdxInplaceEdit : public TWinControl {
public:
    // Class-level operations: cells are painted through an editor class without an instance.
    // A descendant that changes one declares `struct TMetaClass : Parent::TMetaClass` with overrides.
    struct TMetaClass : TClassRecord {
        using TClassRecord::TClassRecord;
        virtual void CalcViewInfo(TdxEditViewData* ViewData, bool AutoSize, ViewInfo& Info) const;
        virtual void Draw(HDC DC, const TRect& Rect, HRGN ClipRgn, TdxEditViewData* ViewData) const;
        virtual void DrawBorder(HDC DC, const ViewInfo& Info, TdxEditViewData* ViewData) const;
        virtual bool DrawClient(HDC DC, const TRect& Rect, bool IsEditorPaint, TdxEditViewData* ViewData) const;
        virtual TCursor GetViewCursor(TdxEditViewData* ViewData, int X, int Y) const;
        virtual int CalcTextHeight(TdxEditViewData* ViewData) const;
        virtual void GetContentRect(TdxEditViewData* ViewData, TRect& R) const;
        virtual TdxEditViewDataClass GetViewDataClass() const;
        virtual TdxEditStyleClass GetEditStyleClass() const;
        virtual bool IsInplace() const { return true; }
    };
    DECLARE_CLASS(TdxInplaceEdit, TWinControl)

public:
    explicit TdxInplaceEdit(TComponent* AOwner);
    ~TdxInplaceEdit() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TdxInplaceEdit>& B);

    const TMetaClass* Meta() const { return static_cast<const TMetaClass*>(ClassType()); }
    bool IsInplace() const { return Meta()->IsInplace(); }
    // The owner when it is a container and the editor works in place; null otherwise.
    TCustomdxContainer* Container() const;

    // Virtual operations
    virtual void SetEditValue(const Variant& Value);
    virtual void RefreshDataProperties();
    virtual void ReadDisplayValue(Variant& Value, bool FromDefinition);
    virtual void ReadEditValue(Variant& Value);
    virtual void LoadDefinitionValue();
    virtual void FocusRequested(bool& Handled);
    virtual void RefreshFromDefinition();
    virtual void PostToDefinition();
    virtual void ReservedHook() {}
    virtual bool IsValidChar(char Key);
    virtual void Change();
    virtual TdxEditDataDefinition* CreateDataDefinition() { return nullptr; }
    // The caller frees the view data.
    virtual TdxEditViewData* CreateViewData(bool IsPaintCopy);
    virtual void FocusChanged();
    virtual bool CanChangeValue();
    virtual bool KeepOpenOnContainerClick() { return FKeepOpen; }
    virtual bool GetModified() { return FModified; }
    virtual bool IsEditKey(Word Key, TShiftState Shift);
    virtual bool IsControlKeyDown();
    virtual bool RedrawOnFocusChange() { return !HasEditWindow(); }
    virtual bool WantsMouseWheel() { return false; }
    virtual bool WantsTab() { return false; }
    virtual void FocusAdjacentCell(bool Backward);
    virtual void RestorePreviousValue();
    virtual void SetActive(bool Value);
    virtual void SetAlignment(TAlignment Value);
    virtual void SetReadOnly(bool Value) { FReadOnly = Value; }
    virtual void SetModified(bool Value) { FModified = Value; }
    virtual void SetHot(bool Value) { FHot = Value; }
    virtual void StyleChanged();
    virtual void InitialShow() {}
    virtual bool IsEditable();
    virtual TAlignment DefaultAlignment() { return taLeftJustify; }
    virtual bool DefaultReadOnly();
    virtual bool DefinitionReadOnly();
    virtual void GoToTextEnd() {}
    virtual void EditorKillFocus(TMessage& Message);
    virtual void GetEditingText(std::string& S) { S = Text(); }
    virtual void HideInplace();
    virtual bool HasEditWindow() { return false; }
    virtual bool ValidateOnEnterKey() { return false; }
    virtual bool IsFocused() { return Focused(); }
    virtual bool DrawsInactiveAsCell() { return FDataDefinition != nullptr || !Enabled(); }
    virtual bool IsHotOrFocused() { return FHot || (IsFocused() && Enabled()); }
    virtual bool ContainerEditorFlag();
    virtual bool CanRestoreValue() { return HasEditWindow(); }
    virtual bool UsesEditWindowLayout() { return HasEditWindow(); }
    virtual void ActivateByMouse(int, int) {}
    virtual void ActivateByClick() {}
    virtual void RestoreDefaults();
    virtual void SelectAll() {}
    virtual void SetEditText(const std::string& S);
    virtual void ShowInplace();
    virtual void Validate();

    // Non-virtual operations
    void ShowAt(const TRect& Rect);
    void BeginShow() { ++FShowLock; }
    void EndShow() { --FShowLock; }
    void SetTextMargins(const TRect& Value);
    void SetStoredAlignment(TAlignment Value);
    void SetStoredReadOnly(bool Value);
    // Height follows the font (stand-alone editors only); not the framework's automatic size.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value) override;
    void SetStyleController(TdxEditStyleController* Value);
    bool GetReadOnly();
    void InvalidateEditor();
    void RevertValue();
    void LockValidate();
    void UnlockValidate();
    void PassKeyToContainer(Word& Key, TShiftState Shift);
    void UpdateWindowShape();
    void UpdateHotRegion();
    void InvalidateContainerArea();
    // A click at a container point given to the editor's frame (hit test, then a press), so that a
    // click that opened the editor on one of its buttons presses that button at once.
    void FeedClickToFrame(int X, int Y);
    static HRGN BorderRegion(const ViewInfo& Info);
    static void InflateByBorder(TRect& R, const ViewInfo& Info, bool Outward);
    bool AutoSizeActive() { return FAutoSize && !IsInplace(); }

    // Fields
    bool Active() const { return FActive; }
    TAlignment Alignment() const { return FAlignment; }
    TAlignment DefinitionAlignment() const { return FDefinitionAlignment; }
    TdxEditDataDefinition* DataDefinition() const { return FDataDefinition; }
    int ShowLock() const { return FShowLock; }
    TRect TextMargins() const { return FTextMargins; }
    bool PrevModified() const { return FPrevModified; }
    const std::string& PrevText() const { return FPrevText; }
    bool Hot() const { return FHot; }
    TdxEditStyle* Style() const { return FStyle; }
    void SetStyle(TdxEditStyle* Value) { FStyle->Assign(Value); }
    TdxEditStyleController* StyleController() const { return FStyleController; }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool InplaceShown() const { return FInplaceShown; }
    int ValidateLock() const { return FValidateLock; }
    Word StoredValues() const { return FStoredValues; }
    void SetStoredValues(Word Value) { FStoredValues = Value; }
    bool IsStored(Word Flag) const { return (FStoredValues & Flag) != 0; }

    bool Closing = false;
    bool KeepOpen() const { return FKeepOpen; }
    void SetKeepOpen(bool Value) { FKeepOpen = Value; }
    bool IgnoreContainerMouse = false;
    bool RefreshSuppressed = false;
    bool PopupOnClick = false;
    bool ChangingValue = false;
    Cardinal ClickTime = 0;

    TNotifyEvent OnChange;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TdxEditValidateEvent OnValidate;

    // Made public for the container and the descendants' message handling.
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void DblClick() override;

protected:
    void DefineProperties(TFiler& Filer) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    void PaintWindow(HDC DC) override;
    virtual void Changed() {}

    void WMGetDlgCode(TMessage& Message);
    void WMKeyDownMsg(TMessage& Message);
    void WMEditChange(TMessage& Message);
    void WMPaint(TMessage& Message);
    void WMNCCalcSize(TMessage& Message);
    void WMNCPaint(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message);
    void WMSetCursor(TMessage& Message);
    void WMSize(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMColorChanged(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMTextChanged(TMessage& Message);
    void CMEnter(TMessage& Message);
    void CMExit(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void CMShowingChanged(TMessage& Message);

    bool FActive = false;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = true;
    TAlignment FDefinitionAlignment = taLeftJustify;
    TdxEditDataDefinition* FDataDefinition = nullptr;
    int FShowLock = 0;
    bool FModified = false;
    TRect FTextMargins;
    bool FPrevModified = false;
    std::string FPrevText;
    bool FReadOnly = false;
    bool FHot = false;
    TdxEditStyle* FStyle = nullptr;
    TdxEditStyleController* FStyleController = nullptr;
    bool FTransparent = false;
    bool FInplaceShown = false;
    int FValidateLock = 0;
    bool FKeepOpen = false;
    Word FStoredValues = 0;

private:
    bool FWheelForwarded = false;
    TdxEditStyle* CreateEditStyle();
    void ReadStoredValues(TReader& Reader);
    void WriteStoredValues(TWriter& Writer);
};

using TdxInplaceEditClass = TClassOf<TdxInplaceEdit>;

// Removes one pending message Msg of the window from the queue; a quit message met on the way is
// posted again.
void RemovePendingMessage(HWND Handle, UINT Msg);

// ---------------------------------------------------------------------------------------------
// Editor container

class TCustomdxContainer : public TCustomControl {
    DECLARE_CLASS(TCustomdxContainer, TCustomControl)
public:
    explicit TCustomdxContainer(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TCustomdxContainer>& B);

    // The editor's questions, with the neutral answers.
    virtual bool CanEditorModify() { return false; }
    virtual bool IsEditorValidChar(char) { return false; }
    virtual bool ContainerReserved() { return true; }
    virtual TdxEditStyle* CreateEditorStyle(TdxInplaceEdit* Edit);
    virtual void ScrollByWheel(bool Up, int Lines);
    virtual TColor GetEditorColor() { return Color(); }
    virtual TFont* GetEditorFont() { return Font(); }
    virtual bool IsEditingReadOnly() { return false; }
    virtual bool ContainerOption() { return false; }
    virtual void EditorKeyDown(Word& Key, TShiftState Shift);
    virtual bool IsEditorKeyBlocked() { return false; }
    virtual bool IsClickActivation() { return false; }
    virtual bool EditorOptionFlag() { return false; }
    virtual bool WantsEditorTab() { return false; }
    virtual void FocusNextColumn(bool) {}
    virtual void EditorFocusChanged() {}
    virtual void BeginEditorInit() { FInitializingEditor = true; }
    virtual void EndEditorInit() { FInitializingEditor = false; }
    virtual TdxPopupBorder EditorBorderKind() { return pbFrame3D; }

    bool InitializingEditor() const { return FInitializingEditor; }
    TScrollBarStyle ScrollBarStyle() const { return FScrollBarStyle; }
    void SetScrollBarStyle(TScrollBarStyle Value);
    void GetFlatScrollInfo(int BarFlag, SCROLLINFO& ScrollInfo);
    void SetFlatScrollInfo(int BarFlag, const SCROLLINFO& ScrollInfo, bool Redraw);

    // The editor's keys the container handles as its own.
    void KeyDown(Word& Key, TShiftState Shift) override { TCustomControl::KeyDown(Key, Shift); }
    void KeyPress(char& Key) override { TCustomControl::KeyPress(Key); }
    void KeyUp(Word& Key, TShiftState Shift) override { TCustomControl::KeyUp(Key, Shift); }

protected:
    void CreateWnd() override;
    void AdjustSize() override {}
    void WMMouseWheel(TMessage& Message);

private:
    void ApplyScrollBarStyle();
    bool FInitializingEditor = false;
    TScrollBarStyle FScrollBarStyle = ssRegular;
};

// The small pop-up window that shows the full text of a cell. Never activated, never hit.
class TdxContainerHintWindow : public TCustomControl {
    DECLARE_CLASS(TdxContainerHintWindow, TCustomControl)
public:
    explicit TdxContainerHintWindow(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TdxContainerHintWindow>& B);

    void ShowHintAt(TPoint P, const std::string& AText, TFont* AFont);
    void ActivateHintEx(TPoint P, int MaxWidth, bool UseFontSize, TFont* AFont, const std::string& AText);

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void WMNCHitTest(TMessage& Message);
};

// ---------------------------------------------------------------------------------------------
// Popup control base: the window that drops down from an editor. In popup mode (set by the popup
// kinds, which also make the window WS_POPUP) it is owned by the editor's form, draws its frame and
// shadow in the non-client area, never takes the activation and hides when it loses the focus,
// posting PopupClosedMessage to its editor.

inline constexpr UINT PopupClosedMessage = WM_APP + 101;
inline constexpr UINT OpenPopupMessage = WM_APP + 102;

class TdxInplacePopupControl : public TCustomControl {
    DECLARE_CLASS(TdxInplacePopupControl, TCustomControl)
public:
    explicit TdxInplacePopupControl(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TdxInplacePopupControl>& B);

    virtual void HidePopup();
    virtual void ShowPopupWindow();

    TdxPopupBorder PopupBorder() const { return FPopupBorder; }
    void SetPopupBorder(TdxPopupBorder Value);
    bool Shadow() const { return FShadow; }
    void SetShadow(bool Value);
    int ShadowSize = 2;
    bool PopupMode = false;
    bool DrawNonClient = true;
    TdxInplaceEdit* OwnerEdit = nullptr;

protected:
    void CreateParams(TCreateParams& Params) override;
    // The editor's form, whose caption stays active while the popup is used.
    HWND EditorFormHandle() const;
    void WMActivate(TMessage& Message);
    void WMKillFocus(TMessage& Message);
    void WMMouseActivate(TMessage& Message);
    void WMNCCalcSize(TMessage& Message);
    void WMNCPaint(TMessage& Message);
    void WMSize(TMessage& Message);

private:
    TdxPopupBorder FPopupBorder = pbDefault;
    bool FShadow = false;
};

// Frame widths of the popup borders in the non-client area.
int PopupBorderWidth(TdxPopupBorder Border);
// Draws the frame (R becomes the area inside it), the shadow and the size-box corner.
void DrawPopupFrame(HDC DC, TRect& R, TdxPopupBorder Border, bool SizeBox, bool Shadow, int ShadowSize);
void PaintPopupNonClient(HWND Handle, TdxPopupBorder Border, bool SizeBox, int ShadowSize, bool Shadow);
// The window region that leaves the two corners beside the shadow outside the window.
void SetPopupShadowRegion(HWND Handle, bool Shadow, int ShadowSize);

// ---------------------------------------------------------------------------------------------
// Unit globals

extern TdxEditStyleController* DefaultEditStyleController;
extern HBRUSH ShadowBrush;

void dxCntnerInitialization();
void dxCntnerFinalization();
