// The Controls unit: controls (windowless and windowed), their message handling and the mouse.
//
// A control class names itself with DECLARE_CLASS and declares its published properties and its
// message handlers in DefineClass:
//
//   class TMyControl : public TWinControl {
//       DECLARE_CLASS(TMyControl, TWinControl)
//   public:
//       explicit TMyControl(TComponent* AOwner);
//       static void DefineClass(TClassBuilder<TMyControl>& B) {
//           B.Message<&TMyControl::WMPaint>(WM_PAINT);
//           B.Message<&TMyControl::CMMouseEnter>(CM_MOUSEENTER);
//       }
//   protected:
//       void CreateParams(TCreateParams& Params) override {
//           inherited::CreateParams(Params);
//           CreateSubClass(Params, "BUTTON");   // a standard control under the class name "TMyControl"
//       }
//   private:
//       void WMPaint(TMessage& Message) { ...; InheritedDispatch(StaticClass(), Message); }
//   };
//
// A message reaches a windowed control as: window procedure (an object instance of MainWndProc) ->
// WindowProc (replaceable, initially WndProc) -> WndProc -> Dispatch (the class's handler table,
// then its ancestors') -> DefaultHandler (the window's original procedure). Perform enters at
// WindowProc. Exceptions leaving MainWndProc go to Application->HandleException.
#pragma once

#include "Classes.h"
#include "Graphics.h"
#include "Messages.h"
#include "ObjectInstances.h"
#include "SysUtils.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;

// ---------------------------------------------------------------------------------------------
// Types

DECLARE_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom)
DECLARE_ENUM(TAnchorKind, akLeft, akTop, akRight, akBottom)
DECLARE_SET(TAnchors, TAnchorKind)
inline constexpr TAnchors AnchorsTopLeft{akLeft, akTop};

DECLARE_ENUM(TControlStateItem, csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing,
             csCreating, csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking)
DECLARE_SET(TControlState, TControlStateItem)
DECLARE_ENUM(TControlStyleItem, csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed,
             csSetCaption, csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible,
             csReplicatable, csNoStdEvents, csDisplayDragImage, csReflector, csActionClient, csMenuEvents,
             csNeedsBorderPaint, csParentBackground)
DECLARE_SET(TControlStyle, TControlStyleItem)

DECLARE_ENUM(TMouseButton, mbLeft, mbRight, mbMiddle)
DECLARE_ENUM(TShiftStateItem, ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble)
DECLARE_SET(TShiftState, TShiftStateItem)

class TDragObject;
class TDragImageList;
DECLARE_ENUM(TDragMode, dmManual, dmAutomatic)
DECLARE_ENUM(TDragKind, dkDrag, dkDock)
DECLARE_ENUM(TDragState, dsDragEnter, dsDragLeave, dsDragMove)
DECLARE_ENUM(TDragMessage, dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmDragCancel, dmFindTarget)
using TDragOverEvent = TMethodOf<TObject*, TObject*, int, int, TDragState, bool&>;
using TDragDropEvent = TMethodOf<TObject*, TObject*, int, int>;
using TStartDragEvent = TMethodOf<TObject*, TDragObject*&>;
// The end of a drag: Sender, the target that took the drop (or null), X, Y.
using TEndDragEvent = TDragDropEvent;
DECLARE_EVENT_NAME(TDragOverEvent)
DECLARE_EVENT_NAME(TDragDropEvent)
DECLARE_EVENT_NAME(TStartDragEvent)

using TMouseEvent = TMethodOf<TObject*, TMouseButton, TShiftState, int, int>;
using TMouseMoveEvent = TMethodOf<TObject*, TShiftState, int, int>;
using TKeyEvent = TMethodOf<TObject*, Word&, TShiftState>;
using TKeyPressEvent = TMethodOf<TObject*, char&>;
using TMouseWheelEvent = TMethodOf<TObject*, TShiftState, int, TPoint, bool&>;
using TMouseWheelUpDownEvent = TMethodOf<TObject*, TShiftState, TPoint, bool&>;
DECLARE_EVENT_NAME(TMouseEvent)
DECLARE_EVENT_NAME(TMouseMoveEvent)
DECLARE_EVENT_NAME(TKeyEvent)
DECLARE_EVENT_NAME(TKeyPressEvent)
DECLARE_EVENT_NAME(TMouseWheelEvent)
DECLARE_EVENT_NAME(TMouseWheelUpDownEvent)

// Reading order and alignment of texts. Controls always lay out left to right; the mode is kept and
// streamed, and the queries answer for left to right.
DECLARE_ENUM(TBiDiMode, bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly)

// Bevels: the edges a windowed control draws around its client area while its BevelKind is set.
DECLARE_ENUM(TBevelCut, bvNone, bvLowered, bvRaised, bvSpace)
DECLARE_ENUM(TBevelEdge, beLeft, beTop, beRight, beBottom)
DECLARE_SET(TBevelEdges, TBevelEdge)
DECLARE_ENUM(TBevelKind, bkNone, bkTile, bkSoft, bkFlat)
inline constexpr TBevelEdges AllBevelEdges{beLeft, beTop, beRight, beBottom};

// Shift state from the key flags of a mouse message (MK_*) or of a key message's lParam.
TShiftState KeysToShiftState(WPARAM Keys);
TShiftState KeyDataToShiftState(LPARAM KeyData);
// The keyboard's state now (Shift, Ctrl, Alt).
TShiftState GetShiftState();

// Cursors: 16-bit signed identifiers; the negative ones are the framework's stock cursors.
using TCursor = SmallInt;
inline constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSize = -22,
                         crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10,
                         crHourGlass = -11, crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15,
                         crMultiDrag = -16, crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20,
                         crHandPoint = -21, crSizeAll = -22;

// One of the system's shared cursors (IDC_ARROW, IDC_IBEAM, ...), loaded once: each load asks the
// window server again, and the shared handles never change or go away.
HCURSOR SystemCursor(LPCSTR Id);

// ---------------------------------------------------------------------------------------------
// Size constraints

class TSizeConstraints : public TPersistent {
    DECLARE_CLASS(TSizeConstraints, TPersistent)
public:
    explicit TSizeConstraints(TControl* AControl) : FControl(AControl) {}
    static void DefineClass(TClassBuilder<TSizeConstraints>& B);

    int MaxHeight() const { return FMaxHeight; }
    int MaxWidth() const { return FMaxWidth; }
    int MinHeight() const { return FMinHeight; }
    int MinWidth() const { return FMinWidth; }
    void SetMaxHeight(int Value) { SetConstraint(FMaxHeight, Value); }
    void SetMaxWidth(int Value) { SetConstraint(FMaxWidth, Value); }
    void SetMinHeight(int Value) { SetConstraint(FMinHeight, Value); }
    void SetMinWidth(int Value) { SetConstraint(FMinWidth, Value); }
    TControl* Control() const { return FControl; }
    TNotifyEvent OnChange;

    // A width and height brought inside the limits (0 = no limit).
    void Apply(int& Width, int& Height) const;

protected:
    void AssignTo(TPersistent* Dest) override;

private:
    void SetConstraint(int& Field, int Value);
    TControl* FControl;
    int FMaxHeight = 0, FMaxWidth = 0, FMinHeight = 0, FMinWidth = 0;
};

// ---------------------------------------------------------------------------------------------
// TControl

class TControl : public TComponent {
    DECLARE_CLASS(TControl, TComponent)
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TControl>& B);

    // Parent and placement
    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return TRect{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
    virtual TRect ClientRect();
    int ClientWidth() { return ClientRect().Right; }
    int ClientHeight() { return ClientRect().Bottom; }
    void SetClientWidth(int Value) { SetClientSize(Value, ClientHeight()); }
    void SetClientHeight(int Value) { SetClientSize(ClientWidth(), Value); }
    virtual TPoint ClientOrigin();
    TPoint ClientToScreen(TPoint P);
    TPoint ScreenToClient(TPoint P);
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors Value);
    TSizeConstraints* Constraints() const { return FConstraints; }
    void SetConstraints(TSizeConstraints* Value) { FConstraints->Assign(Value); }

    // State
    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool Value);
    // Visible with all its parents, and for windowed controls their windows exist.
    virtual bool Showing() const;
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);
    TControlState ControlState() const { return FControlState; }
    void SetControlState(TControlState Value) { FControlState = Value; }
    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }

    // Text: Caption and Text are one value (the window's text for a windowed control).
    std::string Caption() { return GetText(); }
    void SetCaption(const std::string& Value) { SetText(Value); }
    std::string Text() { return GetText(); }
    void SetText(const std::string& Value);
    std::string Hint() const { return FHint; }
    void SetHint(const std::string& Value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value);

    // Appearance. Font and Color follow the parent while ParentFont/ParentColor are set; any change
    // of a control's own Font clears ParentFont.
    TFont* Font() const { return FFont; }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    // The code page of the control's 8-bit texts: that of its font's character set.
    UINT TextCodePage() const { return CharsetCodePage(FFont->Charset()); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    // Shown on a right click (WM_CONTEXTMENU) when its AutoPopup is set; a control without one
    // leaves the message to its parent.
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);
    // The action the control shows: setting one takes its caption and hint (a TCustomAction's), and
    // a click without an OnClick handler executes it.
    TBasicAction* Action() const { return FAction; }
    void SetAction(TBasicAction* Value);

    // Automatic size: while set, every new size goes through CanAutoSize first.
    bool AutoSize() const { return FAutoSize; }
    virtual void SetAutoSize(bool Value);
    // Changes NewWidth/NewHeight to the size the content needs; false keeps the requested size.
    // The base accepts the size as it is.
    virtual bool CanAutoSize(int& NewWidth, int& NewHeight);

    // Messages
    LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    TWndMethod WindowProc;  // initially WndProc; hooks save it, put theirs, and give it back
    virtual void WndProc(TMessage& Message);
    void DefaultHandler(TMessage& Message) override;

    // Painting
    virtual void Invalidate();
    virtual void Repaint();
    virtual void Update();
    virtual void Refresh() { Repaint(); }

    void Show();
    void Hide();
    void BringToFront();
    void SendToBack();
    TCustomForm* GetParentForm() const;
    // The window whose DC a windowless control paints on (its parent's); 0 without a parent.
    virtual HWND GetDeviceContextWindow() const;
    bool MouseCapture() const;
    void SetMouseCapture(bool Value);
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value) { FBiDiMode = Value; }
    bool ParentBiDiMode() const { return FParentBiDiMode; }
    void SetParentBiDiMode(bool Value) { FParentBiDiMode = Value; }
    bool IsRightToLeft() const { return false; }
    bool UseRightToLeftAlignment() const { return false; }
    bool UseRightToLeftReading() const { return false; }
    bool UseRightToLeftScrollBar() const { return false; }
    UINT DrawTextBiDiModeFlags(UINT Flags) const { return Flags; }
    UINT DrawTextBiDiModeFlagsReadingOnly() const { return 0; }

    // The parent of the control in a form resource is its parent control.
    TComponent* GetParentComponent() const override;
    bool HasParent() const override { return true; }
    void SetParentComponent(TComponent* Value) override;

    // Events
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnResize;
    // The wheel over the control: OnMouseWheel first; unhandled turns then count in notches, each
    // going to OnMouseWheelDown or OnMouseWheelUp.
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;

    virtual void Click();
    virtual void DblClick();

    // Drag and drop (DragDrop.h): a drag of this control starts with BeginDrag (Immediate, or
    // once the mouse moves past Threshold pixels, -1 for the mouse's threshold) and ends with
    // EndDrag, the release or Escape.
    TDragMode DragMode() const { return FDragMode; }
    void SetDragMode(TDragMode Value) { FDragMode = Value; }
    // A control that docks is dragged by its own handle-like spots (a grid by its corner cell);
    // the drag itself is the same drag of the control.
    TDragKind DragKind() const { return FDragKind; }
    void SetDragKind(TDragKind Value) { FDragKind = Value; }
    TCursor DragCursor = crDrag;
    void BeginDrag(bool Immediate, int Threshold = -1);
    void EndDrag(bool Drop);
    bool Dragging() const;
    virtual void DragDrop(TObject* Source, int X, int Y);
    virtual TDragImageList* GetDragImages() { return nullptr; }
    // The end of this control's drag reaches DoEndDrag through here.
    void EndDragNotify(TObject* Target, int X, int Y);
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TStartDragEvent OnStartDrag;
    TEndDragEvent OnEndDrag;

protected:
    virtual void DoStartDrag(TDragObject*& DragObject);
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    virtual void DoEndDrag(TObject* Target, int X, int Y);
    void CMDrag(TMessage& Message);

    void ReadState(TReader& Reader) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    virtual std::string GetText();
    virtual void SetClientSize(int AWidth, int AHeight);
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
    virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
    // Takes the size CanAutoSize gives now (while AutoSize is set and the control is not loading).
    virtual void AdjustSize();
    // A new action was set: the control takes what it shows from it.
    virtual void ActionChange(TBasicAction* Sender);
    virtual void Resize();
    virtual void RequestAlign();
    virtual void ConstrainedResize(int& AWidth, int& AHeight);
    virtual void VisibleChanging() {}
    void Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this)); }
    // Invalidates this control's rectangle in its parent (windowless controls).
    void InvalidateControl(bool IsVisible, bool IsOpaque);
    // A font or colour change of the control itself (not from the parent).
    virtual void FontChanged(TObject* Sender);

    // Message handlers
    void WMLButtonDown(TMessage& Message);
    void WMLButtonUp(TMessage& Message);
    void WMLButtonDblClk(TMessage& Message);
    // The right and middle buttons: their presses, double presses and releases.
    void WMOtherButton(TMessage& Message);
    void WMMouseMove(TMessage& Message);
    void WMCancelMode(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMVisibleChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMColorChanged(TMessage& Message);
    void CMParentFontChanged(TMessage& Message);
    void CMParentColorChanged(TMessage& Message);
    void CMParentShowHintChanged(TMessage& Message);
    void CMHitTest(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void CMMouseWheel(TMessage& Message);
    void WMContextMenu(TMessage& Message);

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TControlState FControlState;
    TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    std::string FText;
    bool FVisible = true;
    bool FEnabled = true;
    TFont* FFont = nullptr;
    TColor FColor = clWindow;
    bool FParentFont = true;
    bool FParentColor = true;

private:
    friend class TWinControl;
    void DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift);
    void DoMouseUp(TMessage& Message, TMouseButton Button);
    void UpdateAnchorRules();
    void FontChangedEvent(TObject* Sender) { FontChanged(Sender); }
    // The size a SetBounds call ends with: automatic size first, then the constraints.
    void CheckNewSize(int& AWidth, int& AHeight);
    // The wheel message (WM_MOUSEWHEEL or CM_MOUSEWHEEL, same parameters) through DoMouseWheel.
    bool DoMouseWheelMessage(const TMessage& Message);
    void SetParentFlag(bool& Flag, bool Value, UINT Msg);
    // Font, colour and hint flag from the parent, for those of them whose Parent flag is set.
    void TakeParentValues();
    bool ColorStored() const;
    bool FontStored() const;
    bool ShowHintStored() const;

    TAlign FAlign = alNone;
    TAnchors FAnchors = AnchorsTopLeft;
    TSizeConstraints* FConstraints = nullptr;
    std::string FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TCursor FCursor = crDefault;
    TDragMode FDragMode = dmManual;
    TDragKind FDragKind = dkDrag;
    TPopupMenu* FPopupMenu = nullptr;
    TBasicAction* FAction = nullptr;
    TPoint FAnchorRules{0, 0};  // right/bottom distances kept for akRight/akBottom
    bool FAutoSize = false;
    TBiDiMode FBiDiMode = bdLeftToRight;
    bool FParentBiDiMode = true;
    int FWheelAccumulator = 0;  // wheel turns of less than a notch, kept until they make one
};

using TControlClass = TClassOf<TControl>;

// ---------------------------------------------------------------------------------------------
// TWinControl

// The window parameters a control's CreateParams fills before its window is made.
struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    WNDCLASSA WindowClass{};
    std::string WinClassName;
};

class TWinControl : public TControl {
    DECLARE_CLASS(TWinControl, TControl)
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TWinControl>& B);
    // A windowed control with no parent control whose window is a child of a foreign window.
    static TWinControl* CreateParented(HWND ParentWindow);

    HWND Handle();  // creates the window when needed
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded();
    HWND ParentWindow() const { return FParentWindow; }
    void SetParentWindow(HWND Value);
    // The window procedure the control's messages default to (the standard control's own).
    WNDPROC DefWndProc() const { return FDefWndProc; }
    void SetParent(TWinControl* AParent) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    TRect ClientRect() override;
    TPoint ClientOrigin() override;
    bool Showing() const override { return FShowing; }

    // Child controls: windowed ones first, in their order, then windowless ones.
    int ControlCount() const { return static_cast<int>(FWinControls.size() + FControls.size()); }
    TControl* Controls(int Index) const;
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    bool ContainsControl(TControl* Control) const;
    // The child control at a client point (windowless ones included), or null.
    TControl* ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls = false);
    TControl* FindChildControl(const std::string& ControlName) const;
    void Broadcast(TMessage& Message);
    void NotifyControls(UINT Msg);
    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();
    void Realign();

    // Focus and tabs
    virtual bool CanFocus();
    virtual void SetFocus();
    bool Focused() const;
    int TabOrder() const;
    void SetTabOrder(int Value);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);
    void GetTabOrderList(std::vector<TWinControl*>& List);
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
    void SelectFirst();

    TBrush* Brush() const { return FBrush; }
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value) { FCtl3D = Value; }
    bool DoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    // Bevels in the non-client area, inside the window's border, while BevelKind is not bkNone:
    // each edge of BevelEdges takes BevelWidth pixels for an outer and for an inner cut that is set.
    TBevelEdges BevelEdges() const { return FBevelEdges; }
    void SetBevelEdges(TBevelEdges Value);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    TBevelKind BevelKind() const { return FBevelKind; }
    void SetBevelKind(TBevelKind Value);
    int BevelWidth() const { return FBevelWidth; }
    // At least 1; other values are ignored.
    void SetBevelWidth(int Value);
    // The size of the visible children's extent, plus the non-client parts (no children: as asked).
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;

    void Invalidate() override;
    void Repaint() override;
    void Update() override;
    // Paints the control and its children into a DC at (X, Y) without showing it on screen.
    void PaintTo(HDC DC, int X, int Y);
    void PaintControls(HDC DC, TControl* First);

    void DefaultHandler(TMessage& Message) override;
    void WndProc(TMessage& Message) override;
    // The window procedure's entry: WindowProc inside an exception guard.
    void MainWndProc(TMessage& Message);
    // Takes Wnd as this control's window (the first message of a new window does this): the window
    // procedure becomes the control's object instance, which it gives back.
    WNDPROC InstallWindow(HWND Wnd);

    void RecreateWnd();
    // Whether the window is being destroyed to be made again (state is kept across).
    bool Recreating() const { return FRecreating; }

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

protected:
    virtual void CreateParams(TCreateParams& Params);
    // Superclasses a standard window class: the control's window is one of ClassName's, under the
    // control's own class name, and its original procedure becomes the default handler.
    void CreateSubClass(TCreateParams& Params, const char* ClassName);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& Params);
    virtual void DestroyWnd();
    virtual void DestroyWindowHandle();
    virtual void CreateHandle();
    virtual void DestroyHandle();
    // Runs once the window exists: children's windows, font, text.
    virtual void CreateComponentWindows() {}
    virtual void PaintWindow(HDC DC);
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    virtual void AdjustClientRect(TRect& Rect);
    void SetClientSize(int AWidth, int AHeight) override;
    virtual void UpdateShowing();
    void UpdateBounds();
    void UpdateControlState();
    void SetZOrderPosition(TControl* AControl, int Position);
    void Loaded() override;
    void ReadState(TReader& Reader) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

    // Keys: the dialog keys a control keeps (arrows, Tab, Enter...) as WM_GETDLGCODE says.
    virtual bool DoKeyDown(TWMKey& Message);
    virtual bool DoKeyPress(TWMKey& Message);
    virtual bool DoKeyUp(TWMKey& Message);
    virtual void KeyDown(Word& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    virtual void KeyUp(Word& Key, TShiftState Shift);
    virtual void DoEnter();
    virtual void DoExit();
    void FontChanged(TObject* Sender) override;

    // Message handlers
    void WMPaint(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message);
    void WMCommand(TMessage& Message);
    void WMNotify(TMessage& Message);
    void WMReflect(TMessage& Message);
    void WMCtlColor(TMessage& Message);
    void WMSetFocus(TMessage& Message);
    void WMKillFocus(TMessage& Message);
    // A change of the system's settings reaches every control inside.
    void CMWinIniChange(TMessage& Message);
    void WMWindowPosChanged(TMessage& Message);
    void WMSetCursor(TMessage& Message);
    void WMMouseWheel(TMessage& Message);
    void WMContextMenu(TMessage& Message);
    void WMKeyDown(TMessage& Message);
    void WMKeyUp(TMessage& Message);
    void WMChar(TMessage& Message);
    void WMNCDestroy(TMessage& Message);
    void WMNCCalcSize(TMessage& Message);
    void WMNCPaint(TMessage& Message);
    void WMPrintClient(TMessage& Message);
    void CNKeyDown(TMessage& Message);
    void CNChar(TMessage& Message);
    void CMShowingChanged(TMessage& Message);
    void CMVisibleChanged(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMColorChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMEnter(TMessage& Message);
    void CMExit(TMessage& Message);
    void CMRecreateWnd(TMessage& Message);
    void CMDialogKey(TMessage& Message);
    // Accelerators go to the children until one takes the character.
    void CMDialogChar(TMessage& Message);
    void CMInvalidate(TMessage& Message);

    HWND FHandle = nullptr;
    WNDPROC FDefWndProc = nullptr;
    WNDPROC FObjectInstance = nullptr;
    bool FShowing = false;

private:
    friend class TControl;
    // The window keeps its text in UTF-16. Our texts are 8-bit in the code page of the font's
    // character set, whatever the system's: they reach the default procedure through its wide
    // version, converted with that code page (FWindowCodePage), and come back the same way.
    WNDPROC WideDefWndProc() const;
    void WideTextMessage(TMessage& Message);
    std::wstring WideWindowText() const;
    void SetWideWindowText(const std::string& Text);
    const char* FSubClassName = nullptr;
    WNDPROC FSubClassProc = nullptr;
    WNDPROC FDefWndProcW = nullptr;
    UINT FWindowCodePage = CP_ACP;
    void RemoveFocus(bool Removing);
    void AlignControl(TControl* AControl);
    void InvalidateFrame();
    int NonClientBevelSize() const;
    void BevelChanged();

    HWND FParentWindow = nullptr;
    std::vector<TWinControl*> FWinControls;
    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FTabList;
    TBrush* FBrush = nullptr;
    bool FTabStop = false;
    bool FCtl3D = true;
    bool FDoubleBuffered = false;
    bool FRecreating = false;
    // The extended style the window had when made: what others add later is what re-creation keeps.
    LONG_PTR FCreatedExStyle = 0;
    int FBorderWidth = 0;
    TBevelEdges FBevelEdges = AllBevelEdges;
    TBevelCut FBevelInner = bvRaised;
    TBevelCut FBevelOuter = bvLowered;
    TBevelKind FBevelKind = bkNone;
    int FBevelWidth = 1;
    int FAlignLevel = 0;
    bool FAligning = false;
};

using TWinControlClass = TClassOf<TWinControl>;

// Moves the window origin of a DC so that drawing at (0, 0) lands at (DX, DY).
void MoveWindowOrg(HDC DC, int DX, int DY);

// The framework control a window belongs to, or null.
TWinControl* FindControl(HWND Wnd);
// The control under a screen point (windowless ones included), or null.
TControl* FindDragTarget(TPoint Pos, bool AllowDisabled);
// The control holding the mouse capture (windowless ones included), or null.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
// Whether Wnd's window procedure is a framework control's (a foreign window otherwise).
bool IsFrameworkWindow(HWND Wnd);

// ---------------------------------------------------------------------------------------------
// Painted controls

// A canvas over a control's DC (the window's own, or for windowless controls the parent's, moved
// and clipped to the control).
class TControlCanvas : public TCanvas {
    DECLARE_CLASS(TControlCanvas, TCanvas)
public:
    TControlCanvas() = default;
    ~TControlCanvas() override;
    TControl* Control() const { return FControl; }
    void SetControl(TControl* AControl);
    // Gives back a DC taken from the window (not one set from outside).
    void FreeHandle();
    // Runs Paint with the canvas locked and drawing on DC (a WM_PAINT's), detached again afterwards.
    void PaintOn(HDC DC, const std::function<void()>& Paint);

protected:
    void CreateHandle() override;

private:
    TControl* FControl = nullptr;
    HDC FDeviceContext = nullptr;
    HWND FWindowHandle = nullptr;
};

// A windowless control painted by its parent: Paint with Canvas.
class TGraphicControl : public TControl {
    DECLARE_CLASS(TGraphicControl, TControl)
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    static void DefineClass(TClassBuilder<TGraphicControl>& B);
    TCanvas* Canvas() const { return FCanvas; }

protected:
    virtual void Paint() {}
    void WMPaint(TMessage& Message);

private:
    TControlCanvas* FCanvas = nullptr;
};

// A windowed control that paints itself: Paint with Canvas.
class TCustomControl : public TWinControl {
    DECLARE_CLASS(TCustomControl, TWinControl)
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas* Canvas() const { return FCanvas; }

protected:
    virtual void Paint() {}
    void PaintWindow(HDC DC) override;

private:
    TControlCanvas* FCanvas = nullptr;
};

// A hint: a small topmost window with the text on the info colour. Not activated when shown.
class THintWindow : public TCustomControl {
    DECLARE_CLASS(THintWindow, TCustomControl)
public:
    explicit THintWindow(TComponent* AOwner);
    // The rectangle, at (0, 0), that shows AHint wrapped at MaxWidth pixels, frame and margins included.
    virtual TRect CalcHintRect(int MaxWidth, const std::string& AHint, void* AData = nullptr);
    // Shows AHint in Rect (screen coordinates), above other windows and without activation.
    virtual void ActivateHint(TRect Rect, const std::string& AHint);
    // Hides the hint by giving its window up.
    void ReleaseHandle() { DestroyHandle(); }

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void WMNCHitTest(TMessage& Message);

public:
    static void DefineClass(TClassBuilder<THintWindow>& B);
};

// ---------------------------------------------------------------------------------------------
// The mouse

class TMouse {
public:
    TPoint CursorPos() const;
    void SetCursorPos(TPoint Value);
    HWND Capture() const { return GetCapture(); }
    void SetCapture(HWND Value);
    bool MousePresent() const { return GetSystemMetrics(SM_MOUSEPRESENT) != 0; }
    bool WheelPresent() const { return GetSystemMetrics(SM_MOUSEWHEELPRESENT) != 0; }
    // Lines per notch: negative for "a page per notch" (WHEEL_PAGESCROLL), never a huge count.
    int WheelScrollLines() const;
    int DragThreshold = 5;
};

extern TMouse* Mouse;

// The name under which controls hold their object on their window (a window property).
inline constexpr const char* ControlAtomName = "QuarnelControl";
