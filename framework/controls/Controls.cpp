#include "Controls.h"

#include "DragDrop.h"

#include "ActnList.h"
#include "Forms.h"
#include "Menus.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>

TMouse* Mouse = nullptr;

namespace {

// The control whose window is being made: InitWndProc hands the first message of the new window to it.
thread_local TWinControl* CreationControl = nullptr;
// A windowless control that holds the capture through its parent's window.
TControl* CaptureControl = nullptr;

ATOM ControlAtom() {
    static ATOM Atom = GlobalAddAtomA(ControlAtomName);
    return Atom;
}

LRESULT CALLBACK InitWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TWinControl* Control = CreationControl;
    if (!Control)
        return DefWindowProcA(Wnd, Msg, WParam, LParam);
    CreationControl = nullptr;
    WNDPROC Instance = Control->InstallWindow(Wnd);
    return CallWindowProcA(Instance, Wnd, Msg, WParam, LParam);
}

// ASCII reads alike in every code page.
bool IsAscii(const std::string& Text) {
    return std::all_of(Text.begin(), Text.end(), [](char C) { return static_cast<unsigned char>(C) < 0x80; });
}

// WM_GETTEXT answered from Text: as much as the buffer takes, terminated.
void AnswerGetText(const std::string& Text, TMessage& Message) {
    auto* Buf = reinterpret_cast<char*>(Message.LParam);
    const std::size_t Max = Message.WParam;
    if (!Buf || Max == 0) {
        Message.Result = 0;
        return;
    }
    const std::size_t N = std::min(Text.size(), Max - 1);
    std::memcpy(Buf, Text.data(), N);
    Buf[N] = '\0';
    Message.Result = static_cast<LRESULT>(N);
}

TShiftState ShiftOf(bool Shift, bool Ctrl, bool Alt) {
    TShiftState S;
    if (Shift)
        S.Include(ssShift);
    if (Ctrl)
        S.Include(ssCtrl);
    if (Alt)
        S.Include(ssAlt);
    return S;
}

TPoint PointOf(LPARAM LParam) {
    return TPoint{static_cast<SmallInt>(LOWORD(LParam)), static_cast<SmallInt>(HIWORD(LParam))};
}

bool Intersects(const TRect& A, const TRect& B) {
    return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

}  // namespace

TShiftState KeysToShiftState(WPARAM Keys) {
    TShiftState S = ShiftOf(Keys & MK_SHIFT, Keys & MK_CONTROL, GetKeyState(VK_MENU) < 0);
    if (Keys & MK_LBUTTON)
        S.Include(ssLeft);
    if (Keys & MK_RBUTTON)
        S.Include(ssRight);
    if (Keys & MK_MBUTTON)
        S.Include(ssMiddle);
    return S;
}

namespace {
// The keys down as the thread's input has seen them, in one call: every GetKeyState is a round
// trip to the window server under Wine, and key handlers ask on every key.
struct KeyboardSnapshot {
    BYTE Keys[256]{};
    KeyboardSnapshot() { GetKeyboardState(Keys); }
    bool Down(int VirtualKey) const { return (Keys[VirtualKey] & 0x80) != 0; }
};
}  // namespace

TShiftState KeyDataToShiftState(LPARAM KeyData) {
    // Bit 29 of a key message's data is the Alt key; Shift and Ctrl come from the key state.
    const KeyboardSnapshot K;
    return ShiftOf(K.Down(VK_SHIFT), K.Down(VK_CONTROL), (KeyData & 0x20000000) != 0);
}

HCURSOR SystemCursor(LPCSTR Id) {
    static std::mutex Lock;
    static std::vector<std::pair<LPCSTR, HCURSOR>> Loaded;
    std::lock_guard<std::mutex> Guard(Lock);
    for (const auto& [Key, Cursor] : Loaded)
        if (Key == Id)
            return Cursor;
    HCURSOR Cursor = LoadCursorA(nullptr, Id);
    if (Cursor)
        Loaded.emplace_back(Id, Cursor);
    return Cursor;
}

TShiftState GetShiftState() {
    const KeyboardSnapshot K;
    return ShiftOf(K.Down(VK_SHIFT), K.Down(VK_CONTROL), K.Down(VK_MENU));
}

// ---------------------------------------------------------------------------------------------
// TSizeConstraints

void TSizeConstraints::DefineClass(TClassBuilder<TSizeConstraints>& B) {
    B.Property("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight).Default(0);
    B.Property("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth).Default(0);
    B.Property("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight).Default(0);
    B.Property("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth).Default(0);
}

void TSizeConstraints::SetConstraint(int& Field, int Value) {
    if (Value < 0)
        Value = 0;
    if (Field == Value)
        return;
    Field = Value;
    // A maximum below the minimum lifts the maximum: the pair must leave some size possible.
    if (FMaxWidth > 0 && FMaxWidth < FMinWidth)
        FMaxWidth = FMinWidth;
    if (FMaxHeight > 0 && FMaxHeight < FMinHeight)
        FMaxHeight = FMinHeight;
    OnChange(this);
}

void TSizeConstraints::Apply(int& Width, int& Height) const {
    if (FMinWidth > 0 && Width < FMinWidth)
        Width = FMinWidth;
    if (FMaxWidth > 0 && Width > FMaxWidth)
        Width = FMaxWidth;
    if (FMinHeight > 0 && Height < FMinHeight)
        Height = FMinHeight;
    if (FMaxHeight > 0 && Height > FMaxHeight)
        Height = FMaxHeight;
}

void TSizeConstraints::AssignTo(TPersistent* Dest) {
    if (auto* D = DynCast<TSizeConstraints>(Dest)) {
        D->FMinWidth = FMinWidth;
        D->FMaxWidth = FMaxWidth;
        D->FMinHeight = FMinHeight;
        D->FMaxHeight = FMaxHeight;
        D->OnChange(D);
        return;
    }
    TPersistent::AssignTo(Dest);
}

// ---------------------------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
    WindowProc = TWndMethod::Bind<&TControl::WndProc>(this);
    FFont = Create<TFont>();
    FFont->OnChange = TNotifyEvent::Bind<&TControl::FontChangedEvent>(this);
    FConstraints = Create<TSizeConstraints>(this);
    FConstraints->OnChange = TNotifyEvent::FromFunction([this](TObject*) { SetBounds(FLeft, FTop, FWidth, FHeight); });
}

TControl::~TControl() {
    FreeObject(FConstraints);
    FreeObject(FFont);
}

void TControl::BeforeDestruction() {
    Destroying();
    if (CaptureControl == this)
        SetCaptureControl(nullptr);
    if (FParent)
        SetParent(nullptr);
    TComponent::BeforeDestruction();
}

void TControl::DefineClass(TClassBuilder<TControl>& B) {
    B.Property("Left", &TControl::Left, &TControl::SetLeft);
    B.Property("Top", &TControl::Top, &TControl::SetTop);
    B.Property("Width", &TControl::Width, &TControl::SetWidth);
    B.Property("Height", &TControl::Height, &TControl::SetHeight);
    B.Property("Align", &TControl::Align, &TControl::SetAlign).Default(alNone);
    B.Property("Anchors", &TControl::Anchors, &TControl::SetAnchors).Default(AnchorsTopLeft);
    B.Property("Constraints", &TControl::Constraints, &TControl::SetConstraints);
    B.Property("Color", &TControl::Color, &TControl::SetColor).TypeName("TColor").Stored(&TControl::ColorStored);
    B.Property("Cursor", &TControl::Cursor, &TControl::SetCursor).TypeName("TCursor").Default(crDefault);
    B.Property("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
    B.Property("Font", &TControl::Font, &TControl::SetFont).Stored(&TControl::FontStored);
    B.Property("Hint", &TControl::Hint, &TControl::SetHint);
    B.Property("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
    B.Property("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(true);
    B.Property("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
    B.Property("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(true);
    B.Property("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).Stored(&TControl::ShowHintStored);
    B.Property("Visible", &TControl::Visible, &TControl::SetVisible).Default(true);
    B.Property("OnClick", &TControl::OnClick, &TControl::OnClick);
    B.Property("OnDblClick", &TControl::OnDblClick, &TControl::OnDblClick);
    B.Property("OnMouseDown", &TControl::OnMouseDown, &TControl::OnMouseDown);
    B.Property("OnMouseMove", &TControl::OnMouseMove, &TControl::OnMouseMove);
    B.Property("OnMouseUp", &TControl::OnMouseUp, &TControl::OnMouseUp);
    B.Property("OnResize", &TControl::OnResize, &TControl::OnResize);
    B.Property("OnMouseWheel", &TControl::OnMouseWheel, &TControl::OnMouseWheel);
    B.Property("OnMouseWheelDown", &TControl::OnMouseWheelDown, &TControl::OnMouseWheelDown);
    B.Property("OnMouseWheelUp", &TControl::OnMouseWheelUp, &TControl::OnMouseWheelUp);
    B.Property("Action", &TControl::Action, &TControl::SetAction);
    B.Property("BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode).Default(bdLeftToRight);
    B.Property("ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode).Default(true);

    B.Message<&TControl::WMLButtonDown>(WM_LBUTTONDOWN);
    B.Message<&TControl::CMDrag>(CM_DRAG);
    B.Property("DragMode", &TControl::DragMode, &TControl::SetDragMode).Default(dmManual);
    B.Property("DragKind", &TControl::DragKind, &TControl::SetDragKind).Default(dkDrag);
    B.Message<&TControl::WMLButtonUp>(WM_LBUTTONUP);
    B.Message<&TControl::WMLButtonDblClk>(WM_LBUTTONDBLCLK);
    for (UINT Msg : {WM_RBUTTONDOWN, WM_RBUTTONDBLCLK, WM_RBUTTONUP, WM_MBUTTONDOWN, WM_MBUTTONDBLCLK, WM_MBUTTONUP})
        B.Message<&TControl::WMOtherButton>(Msg);
    B.Message<&TControl::WMMouseMove>(WM_MOUSEMOVE);
    B.Message<&TControl::WMCancelMode>(WM_CANCELMODE);
    B.Message<&TControl::CMEnabledChanged>(CM_ENABLEDCHANGED);
    B.Message<&TControl::CMVisibleChanged>(CM_VISIBLECHANGED);
    B.Message<&TControl::CMFontChanged>(CM_FONTCHANGED);
    B.Message<&TControl::CMColorChanged>(CM_COLORCHANGED);
    B.Message<&TControl::CMParentFontChanged>(CM_PARENTFONTCHANGED);
    B.Message<&TControl::CMParentColorChanged>(CM_PARENTCOLORCHANGED);
    B.Message<&TControl::CMParentShowHintChanged>(CM_PARENTSHOWHINTCHANGED);
    B.Message<&TControl::CMHitTest>(CM_HITTEST);
    B.Message<&TControl::CMMouseEnter>(CM_MOUSEENTER);
    B.Message<&TControl::CMMouseLeave>(CM_MOUSELEAVE);
    B.Message<&TControl::CMMouseWheel>(CM_MOUSEWHEEL);
    B.Message<&TControl::WMContextMenu>(WM_CONTEXTMENU);
}

void TControl::SetParent(TWinControl* AParent) {
    if (FParent == AParent)
        return;
    if (AParent == this)
        throw EInvalidOperation(FormsConsts::SControlParentSetToSelf);
    if (FParent)
        FParent->RemoveControl(this);
    if (AParent)
        AParent->InsertControl(this);
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetParentComponent(TComponent* Value) {
    if (auto* P = DynCast<TWinControl>(Value))
        SetParent(P);
}

void TControl::ReadState(TReader& Reader) {
    FControlState.Include(csReadingState);
    if (auto* P = DynCast<TWinControl>(Reader.Parent()))
        SetParent(P);
    TComponent::ReadState(Reader);
    FControlState.Exclude(csReadingState);
    // Properties read with the Parent flags set take the parent's values now.
    TakeParentValues();
}

void TControl::Loaded() {
    TComponent::Loaded();
    TakeParentValues();
    UpdateAnchorRules();
    RequestAlign();
    if (FAutoSize)
        AdjustSize();
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupMenu)
        FPopupMenu = nullptr;
    if (Operation == opRemove && AComponent == FAction)
        FAction = nullptr;
}

void TControl::SetAction(TBasicAction* Value) {
    if (FAction == Value)
        return;
    if (FAction)
        FAction->RemoveFreeNotification(this);
    FAction = Value;
    if (Value) {
        Value->FreeNotification(this);
        ActionChange(Value);
    }
}

void TControl::ActionChange(TBasicAction* Sender) {
    // While a form loads, its own texts follow (or were streamed to match the action already).
    if (FComponentState.Contains(csLoading))
        return;
    if (auto* A = DynCast<TCustomAction>(Sender)) {
        SetCaption(A->Caption());
        SetHint(A->Hint());
    }
}

void TControl::SetAutoSize(bool Value) {
    if (FAutoSize == Value)
        return;
    FAutoSize = Value;
    if (Value)
        AdjustSize();
}

bool TControl::CanAutoSize(int&, int&) { return true; }

void TControl::AdjustSize() {
    if (!FComponentState.Contains(csLoading))
        SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TControl::CheckNewSize(int& AWidth, int& AHeight) {
    if (FAutoSize && !FComponentState.Contains(csLoading)) {
        int W = AWidth, H = AHeight;
        if (CanAutoSize(W, H)) {
            AWidth = W;
            AHeight = H;
        }
    }
    ConstrainedResize(AWidth, AHeight);
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
    if (FPopupMenu == Value)
        return;
    if (FPopupMenu)
        FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TControl::WMContextMenu(TMessage& Message) {
    if (Message.Result != 0)
        return;
    if (FPopupMenu && FPopupMenu->AutoPopup()) {
        TPoint P = PointOf(Message.LParam);
        // From the keyboard the message has no place: the menu opens at the control's corner.
        if (P.X == -1 && P.Y == -1)
            P = ClientToScreen(TPoint{0, 0});
        if (TControl* Capture = GetCaptureControl())
            Capture->Perform(WM_CANCELMODE, 0, 0);
        FPopupMenu->SetPopupComponent(this);
        FPopupMenu->Popup(P.X, P.Y);
        Message.Result = 1;
        return;
    }
    InheritedDispatch(StaticClass(), Message);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    CheckNewSize(AWidth, AHeight);
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    bool Sized = AWidth != FWidth || AHeight != FHeight;
    InvalidateControl(FVisible, false);
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    InvalidateControl(FVisible, false);
    UpdateAnchorRules();
    RequestAlign();
    if (Sized && !FComponentState.Contains(csLoading))
        Resize();
}

void TControl::ConstrainedResize(int& AWidth, int& AHeight) {
    if (AWidth < 0)
        AWidth = 0;
    if (AHeight < 0)
        AHeight = 0;
    FConstraints->Apply(AWidth, AHeight);
}

TRect TControl::ClientRect() { return TRect{0, 0, FWidth, FHeight}; }

void TControl::SetClientSize(int AWidth, int AHeight) {
    TRect R = ClientRect();
    SetBounds(FLeft, FTop, FWidth - R.Width() + AWidth, FHeight - R.Height() + AHeight);
}

TPoint TControl::ClientOrigin() {
    if (!FParent)
        return TPoint{FLeft, FTop};
    TPoint P = FParent->ClientOrigin();
    return TPoint{P.X + FLeft, P.Y + FTop};
}

TPoint TControl::ClientToScreen(TPoint P) {
    TPoint O = ClientOrigin();
    return TPoint{P.X + O.X, P.Y + O.Y};
}

TPoint TControl::ScreenToClient(TPoint P) {
    TPoint O = ClientOrigin();
    return TPoint{P.X - O.X, P.Y - O.Y};
}

void TControl::SetAlign(TAlign Value) {
    if (FAlign == Value)
        return;
    TAlign Old = FAlign;
    FAlign = Value;
    // A control leaving top/bottom or left/right alignment keeps the size it had before.
    if (Old == alTop || Old == alBottom || Old == alLeft || Old == alRight || Old == alClient)
        (void)Old;
    RequestAlign();
}

void TControl::SetAnchors(TAnchors Value) {
    if (FAnchors == Value)
        return;
    FAnchors = Value;
    UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
    // Only the right and bottom anchors keep a distance; asking the parent's size costs time.
    if (!FAnchors.Contains(akRight) && !FAnchors.Contains(akBottom))
        return;
    if (!FParent || FComponentState.Contains(csLoading) || (FParent->FAligning))
        return;
    TRect R = FParent->ClientRect();
    FAnchorRules = TPoint{R.Right - (FLeft + FWidth), R.Bottom - (FTop + FHeight)};
}

void TControl::RequestAlign() {
    if (FParent)
        FParent->AlignControl(this);
}

void TControl::Resize() { OnResize(this); }

void TControl::SetVisible(bool Value) {
    if (FVisible == Value)
        return;
    VisibleChanging();
    FVisible = Value;
    Perform(CM_VISIBLECHANGED, Value, 0);
    RequestAlign();
}

bool TControl::Showing() const { return FVisible && FParent && FParent->Showing(); }

void TControl::SetEnabled(bool Value) {
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    Perform(CM_ENABLEDCHANGED, 0, 0);
}

std::string TControl::GetText() {
    LRESULT Len = Perform(WM_GETTEXTLENGTH, 0, 0);
    if (Len <= 0)
        return std::string();
    std::string S(static_cast<std::size_t>(Len) + 1, '\0');
    LRESULT Got = Perform(WM_GETTEXT, static_cast<WPARAM>(S.size()), reinterpret_cast<LPARAM>(S.data()));
    S.resize(static_cast<std::size_t>(std::clamp<LRESULT>(Got, 0, Len)));
    return S;
}

void TControl::SetText(const std::string& Value) {
    if (GetText() == Value)
        return;
    Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Value.c_str()));
    Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetHint(const std::string& Value) { FHint = Value; }

void TControl::SetShowHint(bool Value) {
    if (FShowHint == Value && !FParentShowHint)
        return;
    FShowHint = Value;
    FParentShowHint = false;
    Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::TakeParentValues() {
    if (!FParent)
        return;
    Perform(CM_PARENTCOLORCHANGED, 0, 0);
    Perform(CM_PARENTFONTCHANGED, 0, 0);
    Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentFlag(bool& Flag, bool Value, UINT Msg) {
    if (Flag == Value)
        return;
    Flag = Value;
    // While reading, the parent's value is taken once the control's state is read.
    if (FParent && !FComponentState.Contains(csReading))
        Perform(Msg, 0, 0);
}

void TControl::SetParentShowHint(bool Value) { SetParentFlag(FParentShowHint, Value, CM_PARENTSHOWHINTCHANGED); }

void TControl::SetParentFont(bool Value) { SetParentFlag(FParentFont, Value, CM_PARENTFONTCHANGED); }

void TControl::SetColor(TColor Value) {
    if (FColor == Value && !FParentColor)
        return;
    FColor = Value;
    FParentColor = false;
    Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool Value) { SetParentFlag(FParentColor, Value, CM_PARENTCOLORCHANGED); }

void TControl::SetCursor(TCursor Value) {
    if (FCursor == Value)
        return;
    FCursor = Value;
    Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::FontChanged(TObject*) {
    FParentFont = false;
    Perform(CM_FONTCHANGED, 0, 0);
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage M{Msg, WParam, LParam, 0};
    WindowProc(M);
    return M.Result;
}

void TControl::WndProc(TMessage& Message) {
    if (DragControlMessage(this, Message))
        return;
    // Without csDoubleClicks a second press is a press like the first.
    if (!FControlStyle.Contains(csDoubleClicks)) {
        if (Message.Msg == WM_LBUTTONDBLCLK)
            Message.Msg = WM_LBUTTONDOWN;
        else if (Message.Msg == WM_RBUTTONDBLCLK)
            Message.Msg = WM_RBUTTONDOWN;
        else if (Message.Msg == WM_MBUTTONDBLCLK)
            Message.Msg = WM_MBUTTONDOWN;
    }
    Dispatch(Message);
}

void TControl::DefaultHandler(TMessage& Message) {
    // A windowless control (and a windowed one without a window) keeps its own text.
    switch (Message.Msg) {
    case WM_GETTEXT:
        AnswerGetText(FText, Message);
        return;
    case WM_GETTEXTLENGTH:
        Message.Result = static_cast<LRESULT>(FText.size());
        return;
    case WM_SETTEXT:
        FText = Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "";
        Message.Result = 1;
        return;
    default:
        TComponent::DefaultHandler(Message);
    }
}

void TControl::Invalidate() { InvalidateControl(FVisible, FControlStyle.Contains(csOpaque)); }

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
    // A window that is not on the screen paints whole once it shows; invalidating it before would
    // only cost a round trip to the window server.
    if (!IsVisible || !FParent || !FParent->HandleAllocated() || !IsWindowVisible(FParent->FHandle))
        return;
    RECT R{FLeft, FTop, FLeft + FWidth, FTop + FHeight};
    InvalidateRect(FParent->FHandle, &R, !IsOpaque);
}

void TControl::Repaint() {
    if (!FVisible || !FParent || !FParent->HandleAllocated())
        return;
    Invalidate();
    UpdateWindow(FParent->FHandle);
}

void TControl::Update() {
    if (FParent)
        FParent->Update();
}

HWND TControl::GetDeviceContextWindow() const { return FParent ? FParent->Handle() : nullptr; }

void TControl::Show() {
    if (FParent)
        FParent->Show();
    SetVisible(true);
    BringToFront();
}

void TControl::Hide() { SetVisible(false); }

void TControl::BringToFront() {
    if (FParent)
        FParent->SetZOrderPosition(this, -1);
}

void TControl::SendToBack() {
    if (FParent)
        FParent->SetZOrderPosition(this, 0);
}

TCustomForm* TControl::GetParentForm() const { return ::GetParentForm(this); }

bool TControl::MouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool Value) {
    if (MouseCapture() == Value)
        return;
    SetCaptureControl(Value ? this : nullptr);
}

void TControl::Click() {
    if (!OnClick && FAction && !FComponentState.Contains(csDesigning))
        FAction->Execute();
    else
        OnClick(this);
}

void TControl::DblClick() { OnDblClick(this); }

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) { OnMouseDown(this, Button, Shift, X, Y); }

void TControl::MouseMove(TShiftState Shift, int X, int Y) { OnMouseMove(this, Shift, X, Y); }

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) { OnMouseUp(this, Button, Shift, X, Y); }

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    bool Handled = false;
    OnMouseWheel(this, Shift, WheelDelta, MousePos, Handled);
    if (Handled)
        return true;
    // Fine wheels turn by less than a notch: the turns add up until they make whole notches.
    FWheelAccumulator += WheelDelta;
    bool Result = false;
    while (std::abs(FWheelAccumulator) >= WHEEL_DELTA) {
        bool Down = FWheelAccumulator < 0;
        FWheelAccumulator += Down ? WHEEL_DELTA : -WHEEL_DELTA;
        Result = (Down ? DoMouseWheelDown(Shift, MousePos) : DoMouseWheelUp(Shift, MousePos)) || Result;
    }
    return Result;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    bool Handled = false;
    OnMouseWheelDown(this, Shift, MousePos, Handled);
    return Handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    bool Handled = false;
    OnMouseWheelUp(this, Shift, MousePos, Handled);
    return Handled;
}

bool TControl::DoMouseWheelMessage(const TMessage& Message) {
    return DoMouseWheel(KeysToShiftState(LOWORD(Message.WParam)), static_cast<SmallInt>(HIWORD(Message.WParam)),
                        PointOf(Message.LParam));
}

void TControl::DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift) {
    TPoint P = PointOf(Message.LParam);
    MouseDown(Button, KeysToShiftState(Message.WParam) + Shift, P.X, P.Y);
}

void TControl::DoMouseUp(TMessage& Message, TMouseButton Button) {
    TPoint P = PointOf(Message.LParam);
    MouseUp(Button, KeysToShiftState(Message.WParam), P.X, P.Y);
}

void TControl::WMLButtonDown(TMessage& Message) {
    if (FControlStyle.Contains(csCaptureMouse))
        SetMouseCapture(true);
    if (FControlStyle.Contains(csClickEvents))
        FControlState.Include(csClicked);
    InheritedDispatch(StaticClass(), Message);
    DoMouseDown(Message, mbLeft, TShiftState{});
}

void TControl::WMLButtonDblClk(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    DoMouseDown(Message, mbLeft, TShiftState{ssDouble});
    DblClick();
}

void TControl::WMLButtonUp(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (FControlStyle.Contains(csCaptureMouse))
        SetMouseCapture(false);
    if (FControlState.Contains(csClicked)) {
        FControlState.Exclude(csClicked);
        TPoint P = PointOf(Message.LParam);
        if (ClientRect().Contains(P))
            Click();
    }
    DoMouseUp(Message, mbLeft);
}

void TControl::WMOtherButton(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    switch (Message.Msg) {
    case WM_RBUTTONDOWN: DoMouseDown(Message, mbRight, TShiftState{}); break;
    case WM_RBUTTONDBLCLK: DoMouseDown(Message, mbRight, TShiftState{ssDouble}); break;
    case WM_RBUTTONUP: DoMouseUp(Message, mbRight); break;
    case WM_MBUTTONDOWN: DoMouseDown(Message, mbMiddle, TShiftState{}); break;
    case WM_MBUTTONDBLCLK: DoMouseDown(Message, mbMiddle, TShiftState{ssDouble}); break;
    case WM_MBUTTONUP: DoMouseUp(Message, mbMiddle); break;
    }
}

void TControl::WMMouseMove(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    TPoint P = PointOf(Message.LParam);
    MouseMove(KeysToShiftState(Message.WParam), P.X, P.Y);
}

void TControl::WMCancelMode(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (MouseCapture()) {
        SetMouseCapture(false);
        if (FControlState.Contains(csClicked)) {
            FControlState.Exclude(csClicked);
        }
    }
}

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }

void TControl::CMVisibleChanged(TMessage&) { InvalidateControl(true, FVisible && FControlStyle.Contains(csOpaque)); }

void TControl::CMFontChanged(TMessage&) { Invalidate(); }

void TControl::CMColorChanged(TMessage&) { Invalidate(); }

void TControl::CMParentFontChanged(TMessage& Message) {
    if (!FParentFont)
        return;
    TFont* Source = Message.WParam ? reinterpret_cast<TFont*>(Message.LParam) : (FParent ? FParent->FFont : nullptr);
    if (!Source)
        return;
    // Taking the parent's font fires our font's change, which clears the flag: set it again.
    FFont->Assign(Source);
    FParentFont = true;
}

void TControl::CMParentColorChanged(TMessage& Message) {
    if (!FParentColor)
        return;
    if (Message.WParam)
        SetColor(static_cast<TColor>(Message.LParam));
    else if (FParent)
        SetColor(FParent->FColor);
    FParentColor = true;
}

void TControl::CMParentShowHintChanged(TMessage&) {
    if (FParentShowHint && FParent) {
        SetShowHint(FParent->FShowHint);
        FParentShowHint = true;
    }
}

void TControl::CMHitTest(TMessage& Message) { Message.Result = HTCLIENT; }

void TControl::CMMouseEnter(TMessage& Message) {
    // Parents hear of it too, with the control in LParam (0 means the mouse is on the control itself).
    if (FParent)
        FParent->Perform(CM_MOUSEENTER, 0, Message.LParam ? Message.LParam : reinterpret_cast<LPARAM>(this));
}

void TControl::CMMouseLeave(TMessage& Message) {
    if (FParent)
        FParent->Perform(CM_MOUSELEAVE, 0, Message.LParam ? Message.LParam : reinterpret_cast<LPARAM>(this));
}

void TControl::CMMouseWheel(TMessage& Message) {
    if (Message.Result == 0 && DoMouseWheelMessage(Message)) {
        Message.Result = 1;
        return;
    }
    // Unhandled wheel turns go up the parents.
    if (FParent && Message.Result == 0)
        Message.Result = FParent->Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
}

bool TControl::ColorStored() const { return !FParentColor; }
bool TControl::FontStored() const { return !FParentFont; }
bool TControl::ShowHintStored() const { return !FParentShowHint; }

// ---------------------------------------------------------------------------------------------
// TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {
    FObjectInstance = MakeObjectInstance(TWndMethod::Bind<&TWinControl::MainWndProc>(this));
    FBrush = Create<TBrush>();
    FBrush->SetColor(FColor);
}

TWinControl::~TWinControl() {
    if (FHandle) {
        // Freed without Free(): the object is half gone, so its window must not reach it again.
        RemovePropA(FHandle, MAKEINTATOM(ControlAtom()));
        SetWindowLongPtrA(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FDefWndProc ? FDefWndProc : DefWindowProcA));
        DestroyWindow(FHandle);
        FHandle = nullptr;
    }
    FreeObjectInstance(FObjectInstance);
    FreeObject(FBrush);
}

void TWinControl::BeforeDestruction() {
    Destroying();
    if (FParent)
        RemoveFocus(true);
    if (FHandle)
        DestroyWindowHandle();
    // Child controls go with their parent, whoever owns them.
    while (ControlCount() > 0) {
        TControl* Child = Controls(ControlCount() - 1);
        RemoveControl(Child);
        Child->Free();
    }
    TControl::BeforeDestruction();
}

TWinControl* TWinControl::CreateParented(HWND ParentWindow) {
    auto* C = Create<TWinControl>(nullptr);
    C->SetParentWindow(ParentWindow);
    return C;
}

void TWinControl::DefineClass(TClassBuilder<TWinControl>& B) {
    B.Property("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Default(-1);
    B.Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(false);
    B.Property("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D).Default(true);
    B.Property("DoubleBuffered", &TWinControl::DoubleBuffered, &TWinControl::SetDoubleBuffered).Default(false);
    B.Property("BorderWidth", &TWinControl::BorderWidth, &TWinControl::SetBorderWidth).Default(0);
    B.Property("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
    B.Property("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
    B.Property("OnKeyDown", &TWinControl::OnKeyDown, &TWinControl::OnKeyDown);
    B.Property("OnKeyPress", &TWinControl::OnKeyPress, &TWinControl::OnKeyPress);
    B.Property("OnKeyUp", &TWinControl::OnKeyUp, &TWinControl::OnKeyUp);
    B.Property("BevelEdges", &TWinControl::BevelEdges, &TWinControl::SetBevelEdges).Default(AllBevelEdges);
    B.Property("BevelInner", &TWinControl::BevelInner, &TWinControl::SetBevelInner).Default(bvRaised);
    B.Property("BevelOuter", &TWinControl::BevelOuter, &TWinControl::SetBevelOuter).Default(bvLowered);
    B.Property("BevelKind", &TWinControl::BevelKind, &TWinControl::SetBevelKind).Default(bkNone);
    B.Property("BevelWidth", &TWinControl::BevelWidth, &TWinControl::SetBevelWidth).Default(1);

    B.Message<&TWinControl::WMPaint>(WM_PAINT);
    B.Message<&TWinControl::WMEraseBkgnd>(WM_ERASEBKGND);
    for (UINT Msg : {WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_DELETEITEM, WM_COMPAREITEM, WM_HSCROLL,
                     WM_VSCROLL, WM_CHARTOITEM, WM_VKEYTOITEM, WM_PARENTNOTIFY, WM_CTLCOLORMSGBOX, WM_CTLCOLOREDIT,
                     WM_CTLCOLORLISTBOX, WM_CTLCOLORBTN, WM_CTLCOLORDLG, WM_CTLCOLORSCROLLBAR, WM_CTLCOLORSTATIC})
        B.Message<&TWinControl::WMReflect>(Msg);
    B.Message<&TWinControl::WMSetFocus>(WM_SETFOCUS);
    B.Message<&TWinControl::WMKillFocus>(WM_KILLFOCUS);
    B.Message<&TWinControl::CMWinIniChange>(CM_WININICHANGE);
    B.Message<&TWinControl::WMWindowPosChanged>(WM_WINDOWPOSCHANGED);
    B.Message<&TWinControl::WMSetCursor>(WM_SETCURSOR);
    B.Message<&TWinControl::WMMouseWheel>(WM_MOUSEWHEEL);
    B.Message<&TWinControl::WMContextMenu>(WM_CONTEXTMENU);
    B.Message<&TWinControl::WMKeyDown>(WM_KEYDOWN);
    B.Message<&TWinControl::WMKeyDown>(WM_SYSKEYDOWN);
    B.Message<&TWinControl::WMKeyUp>(WM_KEYUP);
    B.Message<&TWinControl::WMKeyUp>(WM_SYSKEYUP);
    B.Message<&TWinControl::WMChar>(WM_CHAR);
    B.Message<&TWinControl::WMNCDestroy>(WM_NCDESTROY);
    B.Message<&TWinControl::WMNCCalcSize>(WM_NCCALCSIZE);
    B.Message<&TWinControl::WMNCPaint>(WM_NCPAINT);
    B.Message<&TWinControl::WMPrintClient>(WM_PRINTCLIENT);
    B.Message<&TWinControl::CNKeyDown>(CN_KEYDOWN);
    B.Message<&TWinControl::CNKeyDown>(CN_SYSKEYDOWN);
    B.Message<&TWinControl::CNChar>(CN_CHAR);
    B.Message<&TWinControl::CMShowingChanged>(CM_SHOWINGCHANGED);
    B.Message<&TWinControl::CMVisibleChanged>(CM_VISIBLECHANGED);
    B.Message<&TWinControl::CMEnabledChanged>(CM_ENABLEDCHANGED);
    B.Message<&TWinControl::CMColorChanged>(CM_COLORCHANGED);
    B.Message<&TWinControl::CMFontChanged>(CM_FONTCHANGED);
    B.Message<&TWinControl::CMEnter>(CM_ENTER);
    B.Message<&TWinControl::CMExit>(CM_EXIT);
    B.Message<&TWinControl::CMRecreateWnd>(CM_RECREATEWND);
    B.Message<&TWinControl::CMDialogKey>(CM_DIALOGKEY);
    B.Message<&TWinControl::CMDialogChar>(CM_DIALOGCHAR);
    B.Message<&TWinControl::CMInvalidate>(CM_INVALIDATE);
}

WNDPROC TWinControl::InstallWindow(HWND Wnd) {
    FHandle = Wnd;
    SetPropA(Wnd, MAKEINTATOM(ControlAtom()), reinterpret_cast<HANDLE>(this));
    SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FObjectInstance));
    return FObjectInstance;
}

HWND TWinControl::Handle() {
    HandleNeeded();
    return FHandle;
}

void TWinControl::HandleNeeded() {
    if (FHandle)
        return;
    // A child's window needs its parent's first.
    if (FParent)
        FParent->HandleNeeded();
    CreateHandle();
}

void TWinControl::SetParentWindow(HWND Value) {
    if (FParent || FParentWindow == Value)
        return;
    if (FHandle && FParentWindow && Value)
        ::SetParent(FHandle, Value);
    else {
        DestroyHandle();
        FParentWindow = Value;
    }
    FParentWindow = Value;
    UpdateControlState();
}

void TWinControl::SetParent(TWinControl* AParent) {
    if (FParent == AParent)
        return;
    if (FParentWindow && AParent) {
        DestroyHandle();
        FParentWindow = nullptr;
    }
    TControl::SetParent(AParent);
}

void TWinControl::CreateParams(TCreateParams& Params) {
    Params = TCreateParams();
    Params.Caption = FText;
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (FControlStyle.Contains(csAcceptsControls))
        Params.Style |= WS_CLIPCHILDREN;
    if (!FEnabled)
        Params.Style |= WS_DISABLED;
    if (FTabStop)
        Params.Style |= WS_TABSTOP;
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
    Params.WndParent = FParent ? FParent->FHandle : FParentWindow;
    Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    Params.WindowClass.lpfnWndProc = DefWindowProcA;
    Params.WindowClass.hCursor = SystemCursor(IDC_ARROW);
    Params.WindowClass.hbrBackground = nullptr;
    Params.WindowClass.hInstance = GetModuleHandleA(nullptr);
    Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const char* ClassName) {
    const UINT KeepStyles = CS_OWNDC | CS_CLASSDC | CS_PARENTDC | CS_GLOBALCLASS;
    WNDCLASSA Std{};
    if (!GetClassInfoA(nullptr, ClassName, &Std) && !GetClassInfoA(GetModuleHandleA(nullptr), ClassName, &Std))
        RaiseLastOSError();
    UINT Saved = Params.WindowClass.style;
    FSubClassName = ClassName;
    FSubClassProc = Std.lpfnWndProc;
    Params.WindowClass = Std;
    Params.WindowClass.hInstance = GetModuleHandleA(nullptr);
    Params.WindowClass.style = (Std.style & ~KeepStyles) | (Saved & KeepStyles) | (Std.style & CS_DBLCLKS);
}

void TWinControl::CreateWnd() {
    TCreateParams Params;
    CreateParams(Params);
    if ((Params.Style & WS_CHILD) && !Params.WndParent) {
        if (FParent)
            Params.WndParent = FParent->Handle();
        else
            throw EInvalidOperation(FormsConsts::SParentRequired, {Name()});
    }
    FDefWndProc = Params.WindowClass.lpfnWndProc;
    FDefWndProcW = WideDefWndProc();
    WNDCLASSA Existing{};
    HINSTANCE Inst = Params.WindowClass.hInstance;
    bool Registered = GetClassInfoA(Inst, Params.WinClassName.c_str(), &Existing);
    if (!Registered || Existing.lpfnWndProc != InitWndProc) {
        if (Registered)
            UnregisterClassA(Params.WinClassName.c_str(), Inst);
        WNDCLASSA Cls = Params.WindowClass;
        Cls.lpfnWndProc = InitWndProc;
        Cls.lpszClassName = Params.WinClassName.c_str();
        Cls.hInstance = Inst;
        if (!RegisterClassA(&Cls))
            RaiseLastOSError();
    }
    CreationControl = this;
    try {
        CreateWindowHandle(Params);
    } catch (...) {
        CreationControl = nullptr;
        throw;
    }
    CreationControl = nullptr;
    if (!FHandle)
        RaiseLastOSError();
    FCreatedExStyle = GetWindowLongPtrA(FHandle, GWL_EXSTYLE);
    if (FFont)
        SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 0);
    // The window took its caption through the system's code page.
    FWindowCodePage = GetACP();
    if (FDefWndProcW && FWindowCodePage != TextCodePage() && !IsAscii(Params.Caption))
        SetWideWindowText(Params.Caption);
}

WNDPROC TWinControl::WideDefWndProc() const {
    if (FDefWndProc == reinterpret_cast<WNDPROC>(DefWindowProcA))
        return DefWindowProcW;
    // A standard class has a wide procedure of its own; a procedure set by a descendant has not.
    if (!FSubClassName || FDefWndProc != FSubClassProc)
        return nullptr;
    const std::wstring Name = AnsiToWide(FSubClassName);
    WNDCLASSW W{};
    WNDCLASSA A{};
    for (HINSTANCE Inst : {HINSTANCE(nullptr), GetModuleHandleA(nullptr)})
        if (GetClassInfoA(Inst, FSubClassName, &A) && A.lpfnWndProc == FDefWndProc &&
            GetClassInfoW(Inst, Name.c_str(), &W))
            return W.lpfnWndProc;
    return nullptr;
}

std::wstring TWinControl::WideWindowText() const {
    auto Len = CallWindowProcW(FDefWndProcW, FHandle, WM_GETTEXTLENGTH, 0, 0);
    if (Len <= 0)
        return std::wstring();
    std::wstring W(static_cast<std::size_t>(Len) + 1, L'\0');
    auto Got = CallWindowProcW(FDefWndProcW, FHandle, WM_GETTEXT, W.size(), reinterpret_cast<LPARAM>(W.data()));
    W.resize(static_cast<std::size_t>(std::clamp<LRESULT>(Got, 0, Len)));
    return W;
}

void TWinControl::SetWideWindowText(const std::string& Text) {
    FWindowCodePage = TextCodePage();
    const std::wstring W = AnsiToWide(Text, FWindowCodePage);
    CallWindowProcW(FDefWndProcW, FHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(W.c_str()));
}

void TWinControl::WideTextMessage(TMessage& Message) {
    if (Message.Msg == WM_SETTEXT) {
        const std::string Text = Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "";
        FWindowCodePage = TextCodePage();
        const std::wstring W = AnsiToWide(Text, FWindowCodePage);
        Message.Result =
            CallWindowProcW(FDefWndProcW, FHandle, WM_SETTEXT, Message.WParam, reinterpret_cast<LPARAM>(W.c_str()));
        return;
    }
    const std::string Text = WideToAnsi(WideWindowText(), FWindowCodePage);
    if (Message.Msg == WM_GETTEXTLENGTH)
        Message.Result = static_cast<LRESULT>(Text.size());
    else
        AnswerGetText(Text, Message);
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
    // A failed creation does not always set an error: a code left from an earlier call would name
    // the wrong cause.
    SetLastError(0);
    HWND Wnd = CreateWindowExA(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style,
                               Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent, nullptr,
                               Params.WindowClass.hInstance, Params.Param);
    if (Wnd && !FHandle)
        InstallWindow(Wnd);
}

void TWinControl::CreateHandle() {
    if (FHandle)
        return;
    FControlState.Include(csCreating);
    try {
        CreateWnd();
    } catch (...) {
        FControlState.Exclude(csCreating);
        throw;
    }
    FControlState.Exclude(csCreating);
    // The window knows the text now; the copy is kept up to date only without a window.
    FText.clear();
    UpdateBounds();
    for (TWinControl* C : FWinControls)
        if (C->HandleAllocated())
            SetWindowPos(C->FHandle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    CreateComponentWindows();
}

void TWinControl::DestroyHandle() {
    if (!FHandle)
        return;
    for (TWinControl* C : FWinControls)
        C->DestroyHandle();
    DestroyWnd();
}

void TWinControl::DestroyWnd() {
    // The text lives in the window while it exists: keep it for the next one.
    std::string Text = GetText();
    DestroyWindowHandle();
    FText = Text;
}

void TWinControl::DestroyWindowHandle() {
    FControlState.Include(csDestroyingHandle);
    HWND Wnd = FHandle;
    if (Wnd && !DestroyWindow(Wnd) && IsWindow(Wnd)) {
        FControlState.Exclude(csDestroyingHandle);
        RaiseLastOSError();
    }
    FHandle = nullptr;
    FShowing = false;
    FControlState.Exclude(csDestroyingHandle);
}

void TWinControl::RecreateWnd() {
    if (!FHandle)
        return;
    FRecreating = true;
    try {
        // Extended styles that others added to the live window survive (hooks rely on them); those the
        // old parameters asked for come only from the new ones, so a removed border goes.
        LONG_PTR ExStyle = GetWindowLongPtrA(FHandle, GWL_EXSTYLE) & ~FCreatedExStyle;
        DestroyHandle();
        UpdateControlState();
        if (FHandle)
            SetWindowLongPtrA(FHandle, GWL_EXSTYLE, GetWindowLongPtrA(FHandle, GWL_EXSTYLE) | ExStyle);
    } catch (...) {
        FRecreating = false;
        throw;
    }
    FRecreating = false;
}

void TWinControl::CMRecreateWnd(TMessage&) { RecreateWnd(); }

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    CheckNewSize(AWidth, AHeight);
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    if (FHandle && !IsIconic(FHandle)) {
        // The window reports its new place through WM_WINDOWPOSCHANGED, which updates the fields.
        SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        if (FLeft == ALeft && FTop == ATop && FWidth == AWidth && FHeight == AHeight)
            return;
    }
    bool Sized = AWidth != FWidth || AHeight != FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    UpdateAnchorRules();
    RequestAlign();
    if (Sized) {
        Realign();
        if (!FComponentState.Contains(csLoading))
            Resize();
    }
}

void TWinControl::UpdateBounds() {
    if (!FHandle)
        return;
    RECT R;
    GetWindowRect(FHandle, &R);
    if (GetWindowLongPtrA(FHandle, GWL_STYLE) & WS_CHILD) {
        HWND ParentWnd = GetParent(FHandle);
        if (ParentWnd)
            MapWindowPoints(HWND_DESKTOP, ParentWnd, reinterpret_cast<POINT*>(&R), 2);
    }
    int W = R.right - R.left, H = R.bottom - R.top;
    bool Sized = W != FWidth || H != FHeight;
    bool Moved = R.left != FLeft || R.top != FTop;
    if (!Sized && !Moved)
        return;
    FLeft = R.left;
    FTop = R.top;
    FWidth = W;
    FHeight = H;
    UpdateAnchorRules();
    RequestAlign();
    if (Sized) {
        Realign();
        if (!FComponentState.Contains(csLoading))
            Resize();
    }
}

void TWinControl::WMWindowPosChanged(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (!IsIconic(FHandle))
        UpdateBounds();
}

bool TWinControl::CanAutoSize(int& NewWidth, int& NewHeight) {
    int Right = 0, Bottom = 0;
    bool Any = false;
    for (int I = 0; I < ControlCount(); ++I) {
        TControl* C = Controls(I);
        // Aligned children follow the parent's size: they cannot decide it.
        if (!C->FVisible || C->FAlign != alNone)
            continue;
        Any = true;
        Right = std::max(Right, C->FLeft + C->FWidth);
        Bottom = std::max(Bottom, C->FTop + C->FHeight);
    }
    if (!Any)
        return true;
    TRect Client = ClientRect();
    NewWidth = Right + (FWidth - Client.Width());
    NewHeight = Bottom + (FHeight - Client.Height());
    return true;
}

TRect TWinControl::ClientRect() {
    if (FHandle) {
        RECT R;
        GetClientRect(FHandle, &R);
        return TRect::From(R);
    }
    return TControl::ClientRect();
}

void TWinControl::SetClientSize(int AWidth, int AHeight) {
    if (FHandle) {
        RECT W, C;
        GetWindowRect(FHandle, &W);
        GetClientRect(FHandle, &C);
        SetBounds(FLeft, FTop, (W.right - W.left) - C.right + AWidth, (W.bottom - W.top) - C.bottom + AHeight);
        return;
    }
    TControl::SetClientSize(AWidth, AHeight);
}

TPoint TWinControl::ClientOrigin() {
    if (FHandle) {
        POINT P{0, 0};
        ::ClientToScreen(FHandle, &P);
        return TPoint{P.x, P.y};
    }
    return TControl::ClientOrigin();
}

void TWinControl::SetBorderWidth(int Value) {
    if (FBorderWidth == Value)
        return;
    FBorderWidth = Value;
    Realign();
}

// Children

TControl* TWinControl::Controls(int Index) const {
    int N = static_cast<int>(FWinControls.size());
    if (Index < 0 || Index >= ControlCount())
        RaiseListIndexError(Index);
    return Index < N ? static_cast<TControl*>(FWinControls[Index]) : FControls[Index - N];
}

bool TWinControl::ContainsControl(TControl* Control) const {
    while (Control && Control != this)
        Control = Control->FParent;
    return Control != nullptr;
}

void TWinControl::InsertControl(TControl* AControl) {
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
    if (auto* W = DynCast<TWinControl>(AControl)) {
        FWinControls.push_back(W);
        FTabList.push_back(W);
    } else {
        FControls.push_back(AControl);
    }
    AControl->FParent = this;
    if (!AControl->FComponentState.Contains(csReading))
        AControl->TakeParentValues();
    AControl->UpdateAnchorRules();
    if (auto* W = DynCast<TWinControl>(AControl))
        W->UpdateControlState();
    else
        AControl->Invalidate();
    AlignControl(AControl);
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
}

void TWinControl::RemoveControl(TControl* AControl) {
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
    if (auto* W = DynCast<TWinControl>(AControl)) {
        W->RemoveFocus(true);
        W->DestroyHandle();
        FWinControls.erase(std::remove(FWinControls.begin(), FWinControls.end(), W), FWinControls.end());
        FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), W), FTabList.end());
    } else {
        AControl->Invalidate();
        FControls.erase(std::remove(FControls.begin(), FControls.end(), AControl), FControls.end());
    }
    if (CaptureControl == AControl)
        SetCaptureControl(nullptr);
    AControl->FParent = nullptr;
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
    Realign();
}

void TWinControl::RemoveFocus(bool Removing) {
    if (TCustomForm* Form = ::GetParentForm(this))
        Form->DefocusControl(this, Removing);
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls) {
    auto Hit = [&](TControl* C) {
        if (!C->FVisible || !(C->FEnabled || AllowDisabled))
            return false;
        TPoint P{Pos.X - C->FLeft, Pos.Y - C->FTop};
        if (!C->ClientRect().Contains(P) && !TRect{0, 0, C->FWidth, C->FHeight}.Contains(P))
            return false;
        return C->Perform(CM_HITTEST, 0, MAKELPARAM(P.X, P.Y)) != 0;
    };
    if (AllowWinControls)
        for (auto It = FWinControls.rbegin(); It != FWinControls.rend(); ++It)
            if (Hit(*It))
                return *It;
    // The last windowless control is on top.
    for (auto It = FControls.rbegin(); It != FControls.rend(); ++It)
        if (Hit(*It))
            return *It;
    return nullptr;
}

TControl* TWinControl::FindChildControl(const std::string& ControlName) const {
    for (int I = 0; I < ControlCount(); ++I) {
        TControl* C = Controls(I);
        if (SystemDetail::SameIdent(C->Name(), ControlName))
            return C;
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
    // A handler may remove controls: re-read the count on every step.
    for (int I = 0; I < ControlCount(); ++I) {
        Controls(I)->WindowProc(Message);
        if (Message.Result != 0)
            return;
    }
}

void TWinControl::NotifyControls(UINT Msg) {
    TMessage M{Msg, 0, 0, 0};
    Broadcast(M);
}

void TWinControl::SetZOrderPosition(TControl* AControl, int Position) {
    if (auto* W = DynCast<TWinControl>(AControl)) {
        auto It = std::find(FWinControls.begin(), FWinControls.end(), W);
        if (It == FWinControls.end())
            return;
        FWinControls.erase(It);
        if (Position < 0 || Position >= static_cast<int>(FWinControls.size()))
            FWinControls.push_back(W);
        else
            FWinControls.insert(FWinControls.begin() + Position, W);
        if (W->FHandle)
            SetWindowPos(W->FHandle, Position == 0 ? HWND_BOTTOM : HWND_TOP, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return;
    }
    auto It = std::find(FControls.begin(), FControls.end(), AControl);
    if (It == FControls.end())
        return;
    FControls.erase(It);
    if (Position < 0 || Position >= static_cast<int>(FControls.size()))
        FControls.push_back(AControl);
    else
        FControls.insert(FControls.begin() + Position, AControl);
    AControl->Invalidate();
}

// Alignment

void TWinControl::EnableAlign() {
    if (--FAlignLevel == 0 && FControlState.Contains(csAlignmentNeeded))
        Realign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AlignControl(TControl* AControl) {
    if (FAlignLevel > 0 || FComponentState.Contains(csLoading) || FAligning) {
        FControlState.Include(csAlignmentNeeded);
        return;
    }
    FControlState.Exclude(csAlignmentNeeded);
    bool Needed = false;
    for (int I = 0; I < ControlCount() && !Needed; ++I) {
        TControl* C = Controls(I);
        Needed = C->FAlign != alNone || C->FAnchors.Contains(akRight) || C->FAnchors.Contains(akBottom);
    }
    if (!Needed)
        return;
    TRect R = ClientRect();
    AdjustClientRect(R);
    FAligning = true;
    try {
        AlignControls(AControl, R);
    } catch (...) {
        FAligning = false;
        throw;
    }
    FAligning = false;
}

void TWinControl::AdjustClientRect(TRect& Rect) {
    Rect.Left += FBorderWidth;
    Rect.Top += FBorderWidth;
    Rect.Right -= FBorderWidth;
    Rect.Bottom -= FBorderWidth;
}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
    (void)AControl;
    std::vector<TControl*> All;
    for (int I = 0; I < ControlCount(); ++I)
        All.push_back(Controls(I));
    // Anchored controls keep their distances to the right and bottom edges.
    for (TControl* C : All) {
        if (C->FAlign != alNone || C->FAnchors == AnchorsTopLeft)
            continue;
        int L = C->FLeft, T = C->FTop, W = C->FWidth, H = C->FHeight;
        if (C->FAnchors.Contains(akRight)) {
            if (C->FAnchors.Contains(akLeft))
                W = Rect.Right - C->FAnchorRules.X - L;
            else
                L = Rect.Right - C->FAnchorRules.X - W;
        }
        if (C->FAnchors.Contains(akBottom)) {
            if (C->FAnchors.Contains(akTop))
                H = Rect.Bottom - C->FAnchorRules.Y - T;
            else
                T = Rect.Bottom - C->FAnchorRules.Y - H;
        }
        TPoint Rules = C->FAnchorRules;
        C->SetBounds(L, T, W, H);
        C->FAnchorRules = Rules;
    }
    // Then the aligned ones, in the order top, bottom, left, right, client; within one kind by place.
    for (TAlign A : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<TControl*> List;
        for (TControl* C : All)
            if (C->FAlign == A && C->FVisible)
                List.push_back(C);
        std::stable_sort(List.begin(), List.end(), [A](TControl* X, TControl* Y) {
            switch (A) {
            case alTop: return X->FTop < Y->FTop;
            case alBottom: return X->FTop + X->FHeight > Y->FTop + Y->FHeight;
            case alLeft: return X->FLeft < Y->FLeft;
            case alRight: return X->FLeft + X->FWidth > Y->FLeft + Y->FWidth;
            default: return false;
            }
        });
        for (TControl* C : List) {
            int W = C->FWidth, H = C->FHeight;
            switch (A) {
            case alTop:
                C->SetBounds(Rect.Left, Rect.Top, Rect.Width(), H);
                Rect.Top += C->FHeight;
                break;
            case alBottom:
                C->SetBounds(Rect.Left, Rect.Bottom - H, Rect.Width(), H);
                Rect.Bottom -= C->FHeight;
                break;
            case alLeft:
                C->SetBounds(Rect.Left, Rect.Top, W, Rect.Height());
                Rect.Left += C->FWidth;
                break;
            case alRight:
                C->SetBounds(Rect.Right - W, Rect.Top, W, Rect.Height());
                Rect.Right -= C->FWidth;
                break;
            default:
                C->SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
                break;
            }
        }
    }
}

// Showing

void TWinControl::UpdateControlState() {
    const TWinControl* Top = this;
    while (Top->FParent) {
        Top = Top->FParent;
        if (!Top->FShowing)
            return;
    }
    if (Top->FParentWindow || DynCast<TCustomForm>(const_cast<TWinControl*>(Top)))
        UpdateShowing();
}

void TWinControl::UpdateShowing() {
    bool ShowControl = FVisible && !FControlState.Contains(csReadingState) && !FComponentState.Contains(csLoading);
    if (ShowControl) {
        if (!FHandle)
            CreateHandle();
        for (TWinControl* C : std::vector<TWinControl*>(FWinControls))
            C->UpdateShowing();
    }
    if (!FHandle)
        return;
    if (FShowing != ShowControl) {
        FShowing = ShowControl;
        try {
            Perform(CM_SHOWINGCHANGED, 0, 0);
        } catch (...) {
            FShowing = !ShowControl;
            throw;
        }
    }
    if (!ShowControl)
        for (TWinControl* C : std::vector<TWinControl*>(FWinControls))
            C->UpdateShowing();
}

void TWinControl::CMShowingChanged(TMessage&) {
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                     (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged(TMessage& Message) {
    if (!FVisible && FParent)
        RemoveFocus(false);
    UpdateControlState();
    (void)Message;
}

void TWinControl::CMEnabledChanged(TMessage& Message) {
    if (!FEnabled && FParent)
        RemoveFocus(false);
    if (FHandle)
        EnableWindow(FHandle, FEnabled);
    InheritedDispatch(StaticClass(), Message);
}

void TWinControl::CMColorChanged(TMessage& Message) {
    FBrush->SetColor(FColor);
    InheritedDispatch(StaticClass(), Message);
    NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMFontChanged(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    FontChanged(nullptr);
}

void TWinControl::FontChanged(TObject* Sender) {
    // Called for our own font's change event (Sender set) and from CM_FONTCHANGED (Sender null).
    if (Sender) {
        TControl::FontChanged(Sender);
        return;
    }
    if (FHandle) {
        SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 0);
        // A text shown in another character set is read in the new one's code page.
        if (FDefWndProcW && FWindowCodePage != TextCodePage()) {
            const std::string Text = WideToAnsi(WideWindowText(), FWindowCodePage);
            if (IsAscii(Text))
                FWindowCodePage = TextCodePage();
            else
                SetWideWindowText(Text);
        }
    }
    NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMInvalidate(TMessage& Message) {
    // Children of a window that is not on the screen are not on it either.
    if (FHandle && IsWindowVisible(FHandle)) {
        InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
        // Children painted on this window go with it; windowed ones repaint themselves when asked.
        if (Message.WParam == 0)
            for (TWinControl* C : FWinControls)
                C->Perform(CM_INVALIDATE, 1, 0);
    }
}

// Painting

void TWinControl::Invalidate() { Perform(CM_INVALIDATE, 0, 0); }

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::Update() {
    if (FHandle)
        UpdateWindow(FHandle);
}

void TWinControl::PaintWindow(HDC DC) {
    TMessage M{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
    DefaultHandler(M);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
    std::size_t Start = 0;
    if (First) {
        auto It = std::find(FControls.begin(), FControls.end(), First);
        if (It != FControls.end())
            Start = static_cast<std::size_t>(It - FControls.begin());
    }
    RECT Clip;
    bool HasClip = GetClipBox(DC, &Clip) != ERROR;
    for (std::size_t I = Start; I < FControls.size(); ++I) {
        TControl* C = FControls[I];
        if (!C->FVisible)
            continue;
        TRect Bounds = C->BoundsRect();
        if (HasClip && !Intersects(Bounds, TRect::From(Clip)))
            continue;
        int Saved = SaveDC(DC);
        POINT Org;
        GetViewportOrgEx(DC, &Org);
        SetViewportOrgEx(DC, Org.x + C->FLeft, Org.y + C->FTop, nullptr);
        IntersectClipRect(DC, 0, 0, C->FWidth, C->FHeight);
        C->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
        RestoreDC(DC, Saved);
    }
}

void TWinControl::WMPaint(TMessage& Message) {
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    if (!FControlState.Contains(csCustomPaint) && FControls.empty() &&
        FDefWndProc != reinterpret_cast<WNDPROC>(DefWindowProcA) && !DC) {
        // A standard control with nothing drawn on it paints itself.
        InheritedDispatch(StaticClass(), Message);
        return;
    }
    PAINTSTRUCT PS{};
    if (!DC)
        DC = BeginPaint(FHandle, &PS);
    try {
        // Opaque windowless children cover their part: the window leaves it to them.
        int Saved = SaveDC(DC);
        for (TControl* C : FControls)
            if (C->FVisible && C->FControlStyle.Contains(csOpaque))
                ExcludeClipRect(DC, C->FLeft, C->FTop, C->FLeft + C->FWidth, C->FTop + C->FHeight);
        PaintWindow(DC);
        RestoreDC(DC, Saved);
        PaintControls(DC, nullptr);
    } catch (...) {
        if (!Message.WParam)
            EndPaint(FHandle, &PS);
        throw;
    }
    if (!Message.WParam)
        EndPaint(FHandle, &PS);
}

void TWinControl::WMPrintClient(TMessage& Message) {
    // Paints the client area into the DC the message carries, as WM_PAINT with a DC does.
    TMessage Paint{WM_PAINT, Message.WParam, 0, 0};
    int Saved = SaveDC(reinterpret_cast<HDC>(Message.WParam));
    WMPaint(Paint);
    RestoreDC(reinterpret_cast<HDC>(Message.WParam), Saved);
    Message.Result = 0;
}

void TWinControl::WMEraseBkgnd(TMessage& Message) {
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    RECT R;
    if (FHandle)
        GetClientRect(FHandle, &R);
    else
        R = RECT{0, 0, FWidth, FHeight};
    FillRect(DC, &R, FBrush->Handle());
    Message.Result = 1;
}

void TWinControl::PaintTo(HDC DC, int X, int Y) {
    FControlState.Include(csPaintCopy);
    int Saved = SaveDC(DC);
    try {
        MoveWindowOrg(DC, X, Y);
        IntersectClipRect(DC, 0, 0, FWidth, FHeight);
        // WParam = LParam = the DC: the framework's erase request for painting into memory.
        Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
        Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
        for (TWinControl* C : FWinControls)
            if (C->FVisible)
                C->PaintTo(DC, C->FLeft, C->FTop);
    } catch (...) {
        RestoreDC(DC, Saved);
        FControlState.Exclude(csPaintCopy);
        throw;
    }
    RestoreDC(DC, Saved);
    FControlState.Exclude(csPaintCopy);
}

void MoveWindowOrg(HDC DC, int DX, int DY) {
    POINT P;
    GetWindowOrgEx(DC, &P);
    SetWindowOrgEx(DC, P.x - DX, P.y - DY, nullptr);
}

// Messages

void TWinControl::MainWndProc(TMessage& Message) {
    try {
        WindowProc(Message);
    } catch (...) {
        HandleWndException(this, FHandle, Message);
    }
}

void TWinControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SETFOCUS:
        if (TCustomForm* Form = ::GetParentForm(this))
            if (!Form->SetFocusedControl(this))
                return;
        break;
    case WM_KILLFOCUS:
        if (FControlState.Contains(csFocusing))
            return;
        break;
    case WM_MOUSELEAVE:
        // The mouse left the window for one that is not ours: the hover ends now, not at the next move.
        if (Application)
            Application->DoMouseIdle();
        break;
    default:
        if (Message.Msg == WM_MOUSEMOVE && FHandle) {
            TRACKMOUSEEVENT Track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, FHandle, 0};
            TrackMouseEvent(&Track);
        }
        if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL) {
            // Mouse messages over a windowless child (or held by it) are its messages.
            TControl* Target = nullptr;
            if (CaptureControl && CaptureControl->FParent == this)
                Target = CaptureControl;
            else if (!GetCapture() || GetCapture() == FHandle)
                Target = ControlAtPos(PointOf(Message.LParam), false);
            if (Target && !DynCast<TWinControl>(Target)) {
                TPoint P = PointOf(Message.LParam);
                Message.Result = Target->Perform(Message.Msg, Message.WParam,
                                                 MAKELPARAM(P.X - Target->FLeft, P.Y - Target->FTop));
                return;
            }
        }
        break;
    }
    TControl::WndProc(Message);
}

void TWinControl::DefaultHandler(TMessage& Message) {
    if (!FHandle) {
        TControl::DefaultHandler(Message);
        return;
    }
    if (Message.Msg >= CN_CTLCOLORMSGBOX && Message.Msg <= CN_CTLCOLORSTATIC) {
        HDC DC = reinterpret_cast<HDC>(Message.WParam);
        SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(FFont->Color())));
        SetBkColor(DC, static_cast<COLORREF>(ColorToRGB(FBrush->Color())));
        Message.Result = reinterpret_cast<LRESULT>(FBrush->Handle());
        return;
    }
    // Component messages and reflected notifications are the framework's own: the system never
    // sees them, and unanswered they give 0.
    if (Message.Msg >= CM_BASE && Message.Msg < 0xC000) {
        Message.Result = 0;
        return;
    }
    if (FDefWndProcW && (Message.Msg == WM_SETTEXT || Message.Msg == WM_GETTEXT || Message.Msg == WM_GETTEXTLENGTH)) {
        WideTextMessage(Message);
        return;
    }
    Message.Result = CallWindowProcA(FDefWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TWinControl::WMReflect(TMessage& Message) {
    HWND From = nullptr;
    switch (Message.Msg) {
    case WM_NOTIFY:
        if (Message.LParam)
            From = reinterpret_cast<NMHDR*>(Message.LParam)->hwndFrom;
        break;
    case WM_DRAWITEM: {
        auto* D = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
        if (D && D->CtlType != ODT_MENU)
            From = D->hwndItem;
        else if (DispatchMenuDrawItem(D)) {
            Message.Result = TRUE;
            return;
        }
        break;
    }
    case WM_MEASUREITEM: {
        auto* M = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
        if (M && M->CtlType != ODT_MENU)
            From = GetDlgItem(FHandle, static_cast<int>(M->CtlID));
        else if (DispatchMenuMeasureItem(M)) {
            Message.Result = TRUE;
            return;
        }
        break;
    }
    case WM_DELETEITEM:
        if (Message.LParam)
            From = reinterpret_cast<DELETEITEMSTRUCT*>(Message.LParam)->hwndItem;
        break;
    case WM_COMPAREITEM:
        if (Message.LParam)
            From = reinterpret_cast<COMPAREITEMSTRUCT*>(Message.LParam)->hwndItem;
        break;
    case WM_PARENTNOTIFY:
        if (LOWORD(Message.WParam) == WM_CREATE || LOWORD(Message.WParam) == WM_DESTROY)
            From = reinterpret_cast<HWND>(Message.LParam);
        break;
    default:
        From = reinterpret_cast<HWND>(Message.LParam);
        break;
    }
    TWinControl* Control = From && From != FHandle ? FindControl(From) : nullptr;
    if (Control) {
        Message.Result = Control->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    InheritedDispatch(StaticClass(), Message);
}

void TWinControl::WMSetFocus(TMessage& Message) { InheritedDispatch(StaticClass(), Message); }

void TWinControl::WMKillFocus(TMessage& Message) { InheritedDispatch(StaticClass(), Message); }

void TWinControl::CMWinIniChange(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    Broadcast(Message);
}

void TWinControl::WMSetCursor(TMessage& Message) {
    if (reinterpret_cast<HWND>(Message.WParam) == FHandle && LOWORD(Message.LParam) == HTCLIENT) {
        TCursor Cur = Screen ? Screen->Cursor() : crDefault;
        if (Cur == crDefault) {
            POINT P;
            GetCursorPos(&P);
            TControl* Over = ControlAtPos(ScreenToClient(TPoint{P.x, P.y}), false);
            Cur = Over && Over->FCursor != crDefault ? Over->FCursor : FCursor;
        }
        if (Cur != crDefault && Screen) {
            ::SetCursor(Screen->Cursors(Cur));
            Message.Result = 1;
            return;
        }
    }
    InheritedDispatch(StaticClass(), Message);
}

void TWinControl::WMContextMenu(TMessage& Message) {
    if (Message.Result != 0)
        return;
    // A windowless child under the mouse has the first say.
    TPoint P = PointOf(Message.LParam);
    if (!(P.X == -1 && P.Y == -1) && FHandle)
        if (TControl* Child = ControlAtPos(ScreenToClient(P), false))
            Message.Result = Child->Perform(WM_CONTEXTMENU, Message.WParam, Message.LParam);
    if (Message.Result == 0)
        TControl::WMContextMenu(Message);
}

void TWinControl::WMMouseWheel(TMessage& Message) {
    if (DoMouseWheelMessage(Message)) {
        Message.Result = 1;
        return;
    }
    if (FParent) {
        Message.Result = FParent->Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
        if (Message.Result)
            return;
    }
    InheritedDispatch(StaticClass(), Message);
}

// Keys

bool TWinControl::DoKeyDown(TWMKey& Message) {
    TCustomForm* Form = ::GetParentForm(this);
    if (Form && Form != this && Form->KeyPreview() && static_cast<TWinControl*>(Form)->DoKeyDown(Message))
        return true;
    Word Key = Message.CharCode();
    KeyDown(Key, KeyDataToShiftState(Message.KeyData()));
    Message.SetCharCode(Key);
    return Key == 0;
}

bool TWinControl::DoKeyPress(TWMKey& Message) {
    TCustomForm* Form = ::GetParentForm(this);
    if (Form && Form != this && Form->KeyPreview() && static_cast<TWinControl*>(Form)->DoKeyPress(Message))
        return true;
    char Ch = static_cast<char>(Message.CharCode());
    KeyPress(Ch);
    Message.SetCharCode(static_cast<Byte>(Ch));
    return Ch == 0;
}

bool TWinControl::DoKeyUp(TWMKey& Message) {
    TCustomForm* Form = ::GetParentForm(this);
    if (Form && Form != this && Form->KeyPreview() && static_cast<TWinControl*>(Form)->DoKeyUp(Message))
        return true;
    Word Key = Message.CharCode();
    KeyUp(Key, KeyDataToShiftState(Message.KeyData()));
    Message.SetCharCode(Key);
    return Key == 0;
}

void TWinControl::KeyDown(Word& Key, TShiftState Shift) { OnKeyDown(this, Key, Shift); }
void TWinControl::KeyPress(char& Key) { OnKeyPress(this, Key); }
void TWinControl::KeyUp(Word& Key, TShiftState Shift) { OnKeyUp(this, Key, Shift); }

void TWinControl::WMKeyDown(TMessage& Message) {
    if (!DoKeyDown(AsMsg<TWMKey>(Message)))
        InheritedDispatch(StaticClass(), Message);
}

void TWinControl::WMKeyUp(TMessage& Message) {
    if (!DoKeyUp(AsMsg<TWMKey>(Message)))
        InheritedDispatch(StaticClass(), Message);
}

void TWinControl::WMChar(TMessage& Message) {
    if (!DoKeyPress(AsMsg<TWMKey>(Message)))
        InheritedDispatch(StaticClass(), Message);
}

void TWinControl::CNKeyDown(TMessage& Message) {
    Message.Result = 1;
    if (TCustomForm* Form = ::GetParentForm(this))
        if (Form->IsShortCut(AsMsg<TWMKey>(Message)))
            return;
    UINT Mask = 0;
    switch (Message.WParam) {
    case VK_TAB: Mask = DLGC_WANTTAB; break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: Mask = DLGC_WANTARROWS; break;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL: Mask = DLGC_WANTALLKEYS; break;
    }
    if (Mask != 0 && Perform(CM_WANTSPECIALKEY, Message.WParam, Message.LParam) == 0 &&
        (Perform(WM_GETDLGCODE, 0, 0) & Mask) == 0) {
        TCustomForm* Form = ::GetParentForm(this);
        if (Form && Form->Perform(CM_DIALOGKEY, Message.WParam, Message.LParam) != 0)
            return;
    }
    Message.Result = 0;
}

void TWinControl::CNChar(TMessage& Message) {
    Message.Result = 1;
    if ((Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0) {
        TCustomForm* Form = ::GetParentForm(this);
        if (Form && Form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0)
            return;
    }
    Message.Result = 0;
}

void TWinControl::CMDialogKey(TMessage& Message) { Broadcast(Message); }

void TWinControl::CMDialogChar(TMessage& Message) { Broadcast(Message); }

// Focus

bool TWinControl::CanFocus() {
    TCustomForm* Form = ::GetParentForm(this);
    if (!Form)
        return false;
    // The form itself may still be hidden: a control can be chosen before its form shows.
    for (TWinControl* C = this; C != Form; C = C->FParent)
        if (!C->FVisible || !C->FEnabled)
            return false;
    return true;
}

void TWinControl::SetFocus() {
    TCustomForm* Form = ::GetParentForm(this);
    if (Form) {
        Form->FocusControl(this);
        return;
    }
    if (FParentWindow)
        ::SetFocus(Handle());
    else
        throw EInvalidOperation(FormsConsts::SParentRequired, {Name()});
}

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

int TWinControl::TabOrder() const {
    if (!FParent)
        return -1;
    auto& L = FParent->FTabList;
    auto It = std::find(L.begin(), L.end(), this);
    return It == L.end() ? -1 : static_cast<int>(It - L.begin());
}

void TWinControl::SetTabOrder(int Value) {
    if (!FParent)
        return;
    auto& L = FParent->FTabList;
    auto It = std::find(L.begin(), L.end(), this);
    if (It == L.end())
        return;
    L.erase(It);
    if (Value < 0 || Value >= static_cast<int>(L.size()))
        L.push_back(this);
    else
        L.insert(L.begin() + Value, this);
}

void TWinControl::SetTabStop(bool Value) {
    if (FTabStop == Value)
        return;
    FTabStop = Value;
    if (FHandle) {
        LONG_PTR Style = GetWindowLongPtrA(FHandle, GWL_STYLE);
        SetWindowLongPtrA(FHandle, GWL_STYLE, Value ? (Style | WS_TABSTOP) : (Style & ~WS_TABSTOP));
    }
    Perform(CM_TABSTOPCHANGED, 0, 0);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
    for (TWinControl* C : FTabList) {
        List.push_back(C);
        C->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
    std::vector<TWinControl*> List;
    GetTabOrderList(List);
    if (List.empty())
        return nullptr;
    int N = static_cast<int>(List.size());
    auto It = std::find(List.begin(), List.end(), CurControl);
    int Start = It == List.end() ? (GoForward ? N - 1 : 0) : static_cast<int>(It - List.begin());
    int I = Start;
    for (int Step = 0; Step < N; ++Step) {
        I = GoForward ? (I + 1) % N : (I + N - 1) % N;
        TWinControl* C = List[I];
        if (C == CurControl)
            break;
        if ((!CheckTabStop || C->FTabStop) && (!CheckParent || C->FParent == this) && C->CanFocus())
            return C;
    }
    return nullptr;
}

void TWinControl::SelectFirst() {
    if (TWinControl* C = FindNextControl(nullptr, true, true, false))
        C->SetFocus();
}

void TWinControl::DoEnter() { OnEnter(this); }
void TWinControl::DoExit() { OnExit(this); }

void TWinControl::CMEnter(TMessage&) { DoEnter(); }
void TWinControl::CMExit(TMessage&) { DoExit(); }

// Bevels

int TWinControl::NonClientBevelSize() const {
    if (FBevelKind == bkNone)
        return 0;
    return ((FBevelInner != bvNone) + (FBevelOuter != bvNone)) * FBevelWidth;
}

void TWinControl::BevelChanged() {
    if (FHandle)
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::SetBevelEdges(TBevelEdges Value) {
    if (FBevelEdges == Value)
        return;
    FBevelEdges = Value;
    BevelChanged();
}

void TWinControl::SetBevelInner(TBevelCut Value) {
    if (FBevelInner == Value)
        return;
    FBevelInner = Value;
    BevelChanged();
}

void TWinControl::SetBevelOuter(TBevelCut Value) {
    if (FBevelOuter == Value)
        return;
    FBevelOuter = Value;
    BevelChanged();
}

void TWinControl::SetBevelKind(TBevelKind Value) {
    if (FBevelKind == Value)
        return;
    FBevelKind = Value;
    BevelChanged();
}

void TWinControl::SetBevelWidth(int Value) {
    if (Value < 1 || FBevelWidth == Value)
        return;
    FBevelWidth = Value;
    BevelChanged();
}

void TWinControl::WMNCCalcSize(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    int Size = NonClientBevelSize();
    if (Size == 0 || !Message.LParam)
        return;
    // The first rectangle of either form is the client area the system leaves.
    auto* R = reinterpret_cast<RECT*>(Message.LParam);
    if (FBevelEdges.Contains(beLeft))
        R->left += Size;
    if (FBevelEdges.Contains(beTop))
        R->top += Size;
    if (FBevelEdges.Contains(beRight))
        R->right -= Size;
    if (FBevelEdges.Contains(beBottom))
        R->bottom -= Size;
    R->right = std::max(R->right, R->left);
    R->bottom = std::max(R->bottom, R->top);
}

void TWinControl::WMNCPaint(TMessage& Message) {
    // Nothing lies outside the client area of a window without frame, bevels or bars; the system's
    // handler would still fetch a window device context, a round trip to the window server per
    // control each time a form shows.
    if (FHandle) {
        RECT W, R;
        GetWindowRect(FHandle, &W);
        GetClientRect(FHandle, &R);
        if (W.right - W.left == R.right && W.bottom - W.top == R.bottom) {
            Message.Result = 0;
            return;
        }
    }
    InheritedDispatch(StaticClass(), Message);
    int Size = NonClientBevelSize();
    if (Size == 0 || !FHandle)
        return;
    // The bevels lie around the client area, in window coordinates.
    RECT W, R;
    GetWindowRect(FHandle, &W);
    GetClientRect(FHandle, &R);
    MapWindowPoints(FHandle, nullptr, reinterpret_cast<POINT*>(&R), 2);
    OffsetRect(&R, -W.left, -W.top);
    UINT Edges = (FBevelEdges.Contains(beLeft) ? BF_LEFT : 0) | (FBevelEdges.Contains(beTop) ? BF_TOP : 0) |
                 (FBevelEdges.Contains(beRight) ? BF_RIGHT : 0) | (FBevelEdges.Contains(beBottom) ? BF_BOTTOM : 0);
    auto Grow = [&](int By) {
        R.left -= FBevelEdges.Contains(beLeft) ? By : 0;
        R.top -= FBevelEdges.Contains(beTop) ? By : 0;
        R.right += FBevelEdges.Contains(beRight) ? By : 0;
        R.bottom += FBevelEdges.Contains(beBottom) ? By : 0;
    };
    Grow(Size);
    UINT Style = FBevelKind == bkFlat ? BF_FLAT : (FBevelKind == bkSoft ? BF_SOFT : 0);
    HDC DC = GetWindowDC(FHandle);
    HBRUSH Face = GetSysColorBrush(COLOR_BTNFACE);
    // Outer cut first, then inner, each BevelWidth lines deep.
    for (TBevelCut Cut : {FBevelOuter, FBevelInner}) {
        if (Cut == bvNone)
            continue;
        for (int I = 0; I < FBevelWidth; ++I) {
            RECT Line = R;
            if (Cut == bvSpace)
                FrameRect(DC, &Line, Face);
            else
                DrawEdge(DC, &Line, Cut == bvLowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER, Edges | Style);
            Grow(-1);
        }
    }
    ReleaseDC(FHandle, DC);
}

void TWinControl::WMNCDestroy(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    RemovePropA(FHandle, MAKEINTATOM(ControlAtom()));
    FHandle = nullptr;
    FShowing = false;
}

void TWinControl::Loaded() {
    TControl::Loaded();
    if (FControlState.Contains(csAlignmentNeeded) || !FControls.empty() || !FWinControls.empty())
        Realign();
    UpdateControlState();
}

void TWinControl::ReadState(TReader& Reader) {
    DisableAlign();
    try {
        TControl::ReadState(Reader);
    } catch (...) {
        EnableAlign();
        throw;
    }
    EnableAlign();
}

void TWinControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (int I = 0; I < ControlCount(); ++I) {
        TControl* C = Controls(I);
        if (C->Owner() == Root)
            Proc(C);
    }
}

// ---------------------------------------------------------------------------------------------
// Finding controls

TWinControl* FindControl(HWND Wnd) {
    if (!Wnd)
        return nullptr;
    // The property's atom is global: another program's window under the pointer carries an object
    // address of that program.
    DWORD Process = 0;
    if (!GetWindowThreadProcessId(Wnd, &Process) || Process != GetCurrentProcessId())
        return nullptr;
    return reinterpret_cast<TWinControl*>(GetPropA(Wnd, MAKEINTATOM(ControlAtom())));
}

bool IsFrameworkWindow(HWND Wnd) { return FindControl(Wnd) != nullptr; }

TControl* FindDragTarget(TPoint Pos, bool AllowDisabled) {
    HWND Wnd = WindowFromPoint(POINT{Pos.X, Pos.Y});
    TWinControl* Control = nullptr;
    while (Wnd && !(Control = FindControl(Wnd)))
        Wnd = GetParent(Wnd);
    if (!Control)
        return nullptr;
    if (TControl* Child = Control->ControlAtPos(Control->ScreenToClient(Pos), AllowDisabled))
        return Child;
    return Control;
}

TControl* GetCaptureControl() {
    TWinControl* Owner = FindControl(GetCapture());
    if (Owner && CaptureControl && CaptureControl->Parent() == Owner)
        return CaptureControl;
    return Owner;
}

void SetCaptureControl(TControl* Control) {
    ReleaseCapture();
    CaptureControl = nullptr;
    if (!Control)
        return;
    if (auto* W = DynCast<TWinControl>(Control)) {
        SetCapture(W->Handle());
        return;
    }
    if (!Control->Parent())
        return;
    CaptureControl = Control;
    SetCapture(Control->Parent()->Handle());
}

// ---------------------------------------------------------------------------------------------
// Canvases of controls

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* AControl) {
    if (FControl == AControl)
        return;
    FreeHandle();
    FControl = AControl;
}

void TControlCanvas::FreeHandle() {
    if (!FDeviceContext)
        return;
    SetHandle(nullptr);
    ReleaseDC(FWindowHandle, FDeviceContext);
    FDeviceContext = nullptr;
    FWindowHandle = nullptr;
}

void TControlCanvas::PaintOn(HDC DC, const std::function<void()>& Paint) {
    Lock();
    try {
        SetHandle(DC);
        Paint();
    } catch (...) {
        SetHandle(nullptr);
        Unlock();
        throw;
    }
    SetHandle(nullptr);
    Unlock();
}

void TControlCanvas::CreateHandle() {
    if (!FControl)
        return;
    if (!FDeviceContext) {
        auto* W = DynCast<TWinControl>(FControl);
        FWindowHandle = W ? W->Handle() : FControl->GetDeviceContextWindow();
        if (!FWindowHandle)
            return;
        FDeviceContext = GetDCEx(FWindowHandle, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
        if (!W) {
            // A windowless control draws at its own place in its parent, and only there.
            SetViewportOrgEx(FDeviceContext, FControl->Left(), FControl->Top(), nullptr);
            IntersectClipRect(FDeviceContext, 0, 0, FControl->Width(), FControl->Height());
        }
    }
    SetHandle(FDeviceContext);
}

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {
    FCanvas = Create<TControlCanvas>();
    FCanvas->SetControl(this);
}

TGraphicControl::~TGraphicControl() { FreeObject(FCanvas); }

void TGraphicControl::DefineClass(TClassBuilder<TGraphicControl>& B) { B.Message<&TGraphicControl::WMPaint>(WM_PAINT); }

void TGraphicControl::WMPaint(TMessage& Message) {
    if (Message.WParam)
        FCanvas->PaintOn(reinterpret_cast<HDC>(Message.WParam), [this] { Paint(); });
}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {
    FCanvas = Create<TControlCanvas>();
    FCanvas->SetControl(this);
    FControlState.Include(csCustomPaint);
}

TCustomControl::~TCustomControl() { FreeObject(FCanvas); }

void TCustomControl::PaintWindow(HDC DC) {
    FCanvas->PaintOn(DC, [this] { Paint(); });
}

// ---------------------------------------------------------------------------------------------
// THintWindow

namespace {
constexpr UINT HintTextFlags = DT_WORDBREAK | DT_NOPREFIX | DT_LEFT;
constexpr int HintMargin = 2;  // between the frame and the text
}  // namespace

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    FParentColor = false;
    SetColor(clInfoBk);
    FParentFont = false;
    FFont->SetColor(clInfoText);
    FVisible = false;
}

void THintWindow::DefineClass(TClassBuilder<THintWindow>& B) {
    B.Message<&THintWindow::WMNCHitTest>(WM_NCHITTEST);
}

void THintWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    Params.WindowClass.style |= CS_SAVEBITS;
    Params.WndParent = Application ? Application->Handle() : nullptr;
}

TRect THintWindow::CalcHintRect(int MaxWidth, const std::string& AHint, void*) {
    RECT R{0, 0, std::max(MaxWidth, 1), 0};
    HDC DC = TextMeasureDC();
    HGDIOBJ Old = SelectObject(DC, FFont->Handle());
    DrawTextA(DC, AHint.c_str(), static_cast<int>(AHint.size()), &R, HintTextFlags | DT_CALCRECT);
    SelectObject(DC, Old);
    // The frame (one pixel each side) and the margins around the text.
    int Extra = 2 * (HintMargin + 1);
    return TRect{0, 0, R.right + Extra, R.bottom + Extra};
}

void THintWindow::ActivateHint(TRect Rect, const std::string& AHint) {
    SetCaption(AHint);
    FLeft = Rect.Left;
    FTop = Rect.Top;
    FWidth = Rect.Width();
    FHeight = Rect.Height();
    HandleNeeded();
    SetWindowPos(FHandle, HWND_TOPMOST, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(),
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    FVisible = true;
    Invalidate();
}

void THintWindow::Paint() {
    TRect R = ClientRect();
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(R);
    R = TRect{R.Left + HintMargin, R.Top + HintMargin, R.Right - HintMargin, R.Bottom - HintMargin};
    Canvas()->Font()->Assign(FFont);
    Canvas()->Brush()->SetStyle(bsClear);
    std::string Text = Caption();
    RECT Box = R;
    DrawTextA(Canvas()->Handle(), Text.c_str(), static_cast<int>(Text.size()), &Box, HintTextFlags);
}

// The mouse goes through a hint to what lies below.
void THintWindow::WMNCHitTest(TMessage& Message) { Message.Result = HTTRANSPARENT; }

// ---------------------------------------------------------------------------------------------
// TMouse

TPoint TMouse::CursorPos() const {
    POINT P{0, 0};
    GetCursorPos(&P);
    return TPoint{P.x, P.y};
}

void TMouse::SetCursorPos(TPoint Value) { ::SetCursorPos(Value.X, Value.Y); }

void TMouse::SetCapture(HWND Value) {
    if (Value)
        ::SetCapture(Value);
    else
        ReleaseCapture();
}

int TMouse::WheelScrollLines() const {
    UINT Lines = 3;
    if (!SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &Lines, 0))
        return 3;
    // WHEEL_PAGESCROLL is 0xFFFFFFFF: a page per notch, which callers must not read as a line count.
    if (Lines == WHEEL_PAGESCROLL)
        return -1;
    return static_cast<int>(std::min<UINT>(Lines, 100));
}
