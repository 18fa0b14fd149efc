#include "dxCntner.h"

#include "Filer.h"

#include <imm.h>

namespace {
bool IsNavigationKey(Word Key) {
    switch (Key) {
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
    case VK_INSERT:
        return true;
    default:
        return false;
    }
}

// Counts a validate lock for one scope, also when an exception passes.
class TValidateLock {
public:
    explicit TValidateLock(TdxInplaceEdit* Edit) : FEdit(Edit) { FEdit->LockValidate(); }
    ~TValidateLock() { FEdit->UnlockValidate(); }
    TValidateLock(const TValidateLock&) = delete;
    TValidateLock& operator=(const TValidateLock&) = delete;

private:
    TdxInplaceEdit* FEdit;
};
}  // namespace

void RemovePendingMessage(HWND Handle, UINT Msg) {
    MSG M;
    if (PeekMessageA(&M, Handle, Msg, Msg, PM_REMOVE) && M.message == WM_QUIT)
        PostQuitMessage(static_cast<int>(M.wParam));
}

// ---------------------------------------------------------------------------------------------
// Life

TdxInplaceEdit::TdxInplaceEdit(TComponent* AOwner) : TWinControl(AOwner) {}

void TdxInplaceEdit::AfterConstruction() {
    TWinControl::AfterConstruction();
    FDefinitionAlignment = DefaultAlignment();
    FStyle = CreateEditStyle();
    FDataDefinition = CreateDataDefinition();
    if (FDataDefinition) {
        FDataDefinition->OnPropertiesChanged =
            TNotifyEvent::FromFunction([this](TObject*) { RefreshFromDefinition(); });
        FDataDefinition->OnValueChanged = TNotifyEvent::FromFunction([this](TObject*) { LoadDefinitionValue(); });
        FDataDefinition->OnFocusRequest = TNotifyEvent::FromFunction([this](TObject*) {
            bool Handled = false;
            FocusRequested(Handled);
        });
        FDataDefinition->OnLayoutChanged = TNotifyEvent::FromFunction([this](TObject*) { RefreshFromDefinition(); });
        FDataDefinition->OnPost = TNotifyEvent::FromFunction([this](TObject*) { PostToDefinition(); });
    }
    if (IsInplace()) {
        SetParentColor(false);
        SetCtl3D(false);
        SetTabStop(false);
    } else {
        SetBounds(Left(), Top(), 121, 21);
        SetTabStop(true);
    }
}

TdxInplaceEdit::~TdxInplaceEdit() {
    FreeAndNil(FDataDefinition);
    FreeAndNil(FStyle);
}

void TdxInplaceEdit::BeforeDestruction() {
    if (FStyleController && !FStyleController->ComponentState().Contains(csDestroying)) {
        FStyleController->RemoveLink(this);
        FStyleController->RemoveFreeNotification(this);
    }
    FStyleController = nullptr;
    TWinControl::BeforeDestruction();
}

void TdxInplaceEdit::DefineClass(TClassBuilder<TdxInplaceEdit>& B) {
    B.Message<&TdxInplaceEdit::WMGetDlgCode>(WM_GETDLGCODE);
    B.Message<&TdxInplaceEdit::WMKeyDownMsg>(WM_KEYDOWN);
    B.Message<&TdxInplaceEdit::WMEditChange>(WM_CUT);
    B.Message<&TdxInplaceEdit::WMEditChange>(WM_CLEAR);
    B.Message<&TdxInplaceEdit::WMEditChange>(WM_PASTE);
    B.Message<&TdxInplaceEdit::WMEditChange>(WM_IME_COMPOSITION);
    B.Message<&TdxInplaceEdit::WMPaint>(WM_PAINT);
    B.Message<&TdxInplaceEdit::WMNCCalcSize>(WM_NCCALCSIZE);
    B.Message<&TdxInplaceEdit::WMNCPaint>(WM_NCPAINT);
    B.Message<&TdxInplaceEdit::WMEraseBkgnd>(WM_ERASEBKGND);
    B.Message<&TdxInplaceEdit::WMSetCursor>(WM_SETCURSOR);
    B.Message<&TdxInplaceEdit::WMSize>(WM_SIZE);
    B.Message<&TdxInplaceEdit::CMFontChanged>(CM_FONTCHANGED);
    B.Message<&TdxInplaceEdit::CMColorChanged>(CM_COLORCHANGED);
    B.Message<&TdxInplaceEdit::CMEnabledChanged>(CM_ENABLEDCHANGED);
    B.Message<&TdxInplaceEdit::CMTextChanged>(CM_TEXTCHANGED);
    B.Message<&TdxInplaceEdit::CMEnter>(CM_ENTER);
    B.Message<&TdxInplaceEdit::CMExit>(CM_EXIT);
    B.Message<&TdxInplaceEdit::CMMouseEnter>(CM_MOUSEENTER);
    B.Message<&TdxInplaceEdit::CMMouseLeave>(CM_MOUSELEAVE);
    B.Message<&TdxInplaceEdit::CMShowingChanged>(CM_SHOWINGCHANGED);
    B.Property("Style", &TdxInplaceEdit::Style, &TdxInplaceEdit::SetStyle);
    B.Property("StyleController", &TdxInplaceEdit::StyleController, &TdxInplaceEdit::SetStyleController);
}

TdxEditStyle* TdxInplaceEdit::CreateEditStyle() {
    if (TCustomdxContainer* C = Container())
        return C->CreateEditorStyle(this);
    return static_cast<TdxEditStyle*>(Meta()->GetEditStyleClass()->CreateInstanceArg(this));
}

TCustomdxContainer* TdxInplaceEdit::Container() const {
    return IsInplace() ? DynCast<TCustomdxContainer>(Owner()) : nullptr;
}

// The whole set is written: the high bits (the spin and currency editors' own flags) would
// otherwise be lost on the way through a form file.
void TdxInplaceEdit::DefineProperties(TFiler& Filer) {
    TWinControl::DefineProperties(Filer);
    Filer.DefineProperty(
        "StoredValues", [this](TReader& R) { ReadStoredValues(R); }, [this](TWriter& W) { WriteStoredValues(W); },
        FStoredValues != 0);
}

void TdxInplaceEdit::ReadStoredValues(TReader& Reader) { FStoredValues = static_cast<Word>(Reader.ReadInteger()); }

void TdxInplaceEdit::WriteStoredValues(TWriter& Writer) { Writer.WriteInteger(static_cast<LongInt>(FStoredValues)); }

void TdxInplaceEdit::Loaded() {
    TWinControl::Loaded();
    if (FDataDefinition)
        RefreshFromDefinition();
}

void TdxInplaceEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FStyleController)
        SetStyleController(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Values and the definition

void TdxInplaceEdit::SetEditValue(const Variant& Value) { SetText(Value.IsNull() ? std::string() : Value.AsString()); }

void TdxInplaceEdit::RefreshDataProperties() {
    if (!FDataDefinition)
        return;
    if (!IsStored(dxStored::Alignment)) {
        TAlignment A = FDataDefinition->Alignment();
        if (A != FDefinitionAlignment) {
            FDefinitionAlignment = A;
            Invalidate();
        }
    }
    if (!IsStored(dxStored::ReadOnly))
        SetReadOnly(DefinitionReadOnly());
}

void TdxInplaceEdit::ReadDisplayValue(Variant& Value, bool FromDefinition) {
    if (FromDefinition && FDataDefinition) {
        Value = FDataDefinition->Value();
        if (Value.IsNull())
            Value = std::string();
    } else
        Value = Text();
}

void TdxInplaceEdit::ReadEditValue(Variant& Value) { Value = Text(); }

void TdxInplaceEdit::LoadDefinitionValue() {
    if (!FDataDefinition)
        return;
    SetEditValue(FDataDefinition->Value());
    SetModified(false);
}

void TdxInplaceEdit::FocusRequested(bool& Handled) {
    if (CanFocus()) {
        SetFocus();
        Handled = true;
    }
}

void TdxInplaceEdit::RefreshFromDefinition() {
    RefreshDataProperties();
    LoadDefinitionValue();
}

void TdxInplaceEdit::PostToDefinition() {
    Validate();
    Variant V;
    ReadEditValue(V);
    if (FDataDefinition)
        FDataDefinition->SetValue(V);
}

bool TdxInplaceEdit::IsValidChar(char Key) {
    if (TCustomdxContainer* C = Container())
        return C->IsEditorValidChar(Key);
    if (FDataDefinition)
        return FDataDefinition->IsValidChar(Key);
    return true;
}

void TdxInplaceEdit::Change() {
    Changed();
    OnChange(this);
}

bool TdxInplaceEdit::CanChangeValue() {
    if (GetReadOnly())
        return false;
    if (TCustomdxContainer* C = Container())
        return C->CanEditorModify();
    if (FDataDefinition)
        return FDataDefinition->CanModify();
    return true;
}

bool TdxInplaceEdit::IsEditable() { return !GetReadOnly() && (!FDataDefinition || FDataDefinition->CanModify()); }

bool TdxInplaceEdit::DefaultReadOnly() { return FDataDefinition ? FDataDefinition->DefaultReadOnly() : false; }

bool TdxInplaceEdit::DefinitionReadOnly() { return FDataDefinition && !FDataDefinition->CanModify(); }

bool TdxInplaceEdit::GetReadOnly() { return IsStored(dxStored::ReadOnly) ? FReadOnly : DefaultReadOnly(); }

bool TdxInplaceEdit::IsEditKey(Word Key, TShiftState Shift) {
    return Key == VK_BACK || Key == VK_DELETE || (Key == VK_INSERT && Shift == TShiftState{ssShift}) ||
           ((Key == 'V' || Key == 'X') && Shift == TShiftState{ssCtrl});
}

bool TdxInplaceEdit::IsControlKeyDown() { return GetAsyncKeyState(VK_CONTROL) < 0 && GetAsyncKeyState(VK_MENU) >= 0; }

bool TdxInplaceEdit::ContainerEditorFlag() {
    TCustomdxContainer* C = Container();
    return C && C->EditorOptionFlag();
}

void TdxInplaceEdit::FocusAdjacentCell(bool Backward) {
    if (TCustomdxContainer* C = Container())
        C->FocusNextColumn(Backward);
}

void TdxInplaceEdit::RestorePreviousValue() {
    if (GetModified() && CanRestoreValue()) {
        SetText(FPrevText);
        SetModified(FPrevModified);
    }
}

void TdxInplaceEdit::RevertValue() {
    if (FDataDefinition) {
        FDataDefinition->Reset();
        SelectAll();
    } else
        RestorePreviousValue();
}

void TdxInplaceEdit::SetActive(bool Value) {
    if (IsInplace() || Value != FActive) {
        FPrevModified = GetModified();
        FPrevText = Text();
    }
    if (!IsInplace() && Value != FActive) {
        FActive = Value;
        if (DrawsInactiveAsCell())
            Invalidate();
        if (!Value && FDataDefinition) {
            bool Keep = FModified;
            FDataDefinition->Reset();
            FModified = Keep;
        }
    }
}

void TdxInplaceEdit::SetAlignment(TAlignment Value) {
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    RecreateWnd();
}

void TdxInplaceEdit::SetStoredAlignment(TAlignment Value) {
    FStoredValues |= dxStored::Alignment;
    SetAlignment(Value);
}

void TdxInplaceEdit::SetStoredReadOnly(bool Value) {
    FStoredValues |= dxStored::ReadOnly;
    SetReadOnly(Value);
}

void TdxInplaceEdit::SetTextMargins(const TRect& Value) {
    if (FTextMargins == Value)
        return;
    FTextMargins = Value;
    RecreateWnd();
}

void TdxInplaceEdit::SetAutoSize(bool Value) {
    if (FAutoSize == Value)
        return;
    FAutoSize = Value;
    StyleChanged();
}

void TdxInplaceEdit::SetTransparent(bool Value) {
    if (FTransparent == Value)
        return;
    FTransparent = Value;
    Invalidate();
}

void TdxInplaceEdit::RestoreDefaults() {
    FStoredValues = 0;
    TAlignment Old = FAlignment;
    SetAlignment(DefaultAlignment());
    if (FAlignment == Old && FDataDefinition) {
        TAlignment A = FDataDefinition->Alignment();
        if (A != FDefinitionAlignment) {
            FDefinitionAlignment = A;
            Invalidate();
        }
    }
    SetReadOnly(DefinitionReadOnly());
}

void TdxInplaceEdit::SetEditText(const std::string& S) {
    // A value that may not change is not marked as changed either.
    if (!CanChangeValue())
        return;
    SetText(S);
    SetModified(true);
}

void TdxInplaceEdit::Validate() {
    if (!GetModified() || FValidateLock != 0)
        return;
    bool Accept = true;
    std::string ErrorText = dxEditConsts::SdxInvalidInput;
    OnValidate(this, ErrorText, Accept);
    if (Accept)
        return;
    MessageBeep(0);
    if (HandleAllocated() && IsWindowVisible(FHandle))
        ::SetFocus(FHandle);
    throw EdxEditInvalidInput(ErrorText);
}

void TdxInplaceEdit::LockValidate() {
    if (IsInplace())
        ++FValidateLock;
}

void TdxInplaceEdit::UnlockValidate() {
    if (IsInplace())
        --FValidateLock;
}

void TdxInplaceEdit::PassKeyToContainer(Word& Key, TShiftState Shift) {
    if (TCustomdxContainer* C = Container())
        C->EditorKeyDown(Key, Shift);
}

// ---------------------------------------------------------------------------------------------
// Style controller link

void TdxInplaceEdit::StyleChanged() {
    if (ComponentState().Contains(csDestroying))
        return;
    UpdateWindowShape();
    Invalidate();
}

void TdxInplaceEdit::SetStyleController(TdxEditStyleController* Value) {
    if (FStyleController == Value)
        return;
    if (FStyleController && !FStyleController->ComponentState().Contains(csDestroying)) {
        FStyleController->RemoveLink(this);
        FStyleController->RemoveFreeNotification(this);
    }
    FStyleController = Value;
    if (Value) {
        Value->AddLink(this);
        Value->FreeNotification(this);
        Value->NotifyLink(this);
    } else
        StyleChanged();
}

// ---------------------------------------------------------------------------------------------
// Showing and hiding

void TdxInplaceEdit::ShowAt(const TRect& Rect) {
    if (!IsInplace() || Rect.IsEmpty())
        return;
    TRect R = Rect;
    InflateRect(R, 2, 2);
    SetBoundsRect(R);
    bool WasShown = FInplaceShown;
    ShowInplace();
    if (!Focused())
        ::SetFocus(Handle());
    SelectAll();
    if (!WasShown && FShowLock == 0)
        InitialShow();
}

void TdxInplaceEdit::ShowInplace() {
    if (IsInplace()) {
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
        FInplaceShown = true;
    } else
        Show();
}

void TdxInplaceEdit::HideInplace() {
    if (!IsInplace()) {
        Hide();
        return;
    }
    FInplaceShown = false;
    if (!HandleAllocated())
        return;
    if (IsWindowVisible(FHandle))
        InvalidateContainerArea();
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOREDRAW | SWP_NOZORDER);
}

void TdxInplaceEdit::InvalidateContainerArea() {
    if (!HandleAllocated())
        return;
    ValidateRect(FHandle, nullptr);
    InvalidateRect(FHandle, nullptr, TRUE);
    TCustomdxContainer* C = Container();
    if (!C || !C->HandleAllocated())
        return;
    RECT R;
    GetWindowRect(FHandle, &R);
    MapWindowPoints(nullptr, C->Handle(), reinterpret_cast<POINT*>(&R), 2);
    ValidateRect(C->Handle(), &R);
    InvalidateRect(C->Handle(), &R, FALSE);
}

void TdxInplaceEdit::FeedClickToFrame(int X, int Y) {
    TCustomdxContainer* C = Container();
    POINT P{X, Y};
    if (C && C->HandleAllocated())
        ::ClientToScreen(C->Handle(), &P);
    ReleaseCapture();
    const LPARAM L = MAKELPARAM(P.x, P.y);
    const LRESULT Hit = SendMessageA(Handle(), WM_NCHITTEST, 0, L);
    SendMessageA(Handle(), WM_NCLBUTTONDOWN, static_cast<WPARAM>(Hit), L);
}

void TdxInplaceEdit::InvalidateEditor() {
    if (HandleAllocated())
        InvalidateRect(FHandle, nullptr, FALSE);
}

void TdxInplaceEdit::CMShowingChanged(TMessage& Message) {
    if (!IsInplace())
        InheritedDispatch(StaticClass(), Message);
}

// ---------------------------------------------------------------------------------------------
// Keys

void TdxInplaceEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (!IsInplace()) {
        if (Key == VK_ESCAPE)
            RevertValue();
        if (IsEditKey(Key, Shift) && (!IsEditable() || !CanChangeValue()))
            Key = 0;
        if (Key == VK_RETURN && ValidateOnEnterKey())
            Validate();
        TWinControl::KeyDown(Key, Shift);
        return;
    }
    if (Key == VK_ESCAPE)
        RevertValue();
    if (IsNavigationKey(Key))
        Validate();
    TValidateLock Lock(this);
    TCustomdxContainer* C = Container();
    const bool Plain = Shift.Empty();
    if ((Key == VK_TAB && !Shift.Contains(ssAlt)) || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR ||
        Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN || (Key == VK_INSERT && Plain)) {
        if (C)
            C->KeyDown(Key, Shift);
        Key = 0;
    } else if (Key == VK_INSERT && Shift == TShiftState{ssShift}) {
        if (C && !C->CanEditorModify())
            Key = 0;
    } else if (Key == VK_F2) {
        PassKeyToContainer(Key, Shift);
        if (Key == VK_F2) {
            GoToTextEnd();
            return;
        }
    }
    if (Key == VK_DELETE && C && !C->CanEditorModify())
        Key = 0;
    if (Key != 0) {
        PassKeyToContainer(Key, Shift);
        if (IsEditKey(Key, Shift) && (!IsEditable() || !CanChangeValue()))
            Key = 0;
        TWinControl::KeyDown(Key, Shift);
    }
}

void TdxInplaceEdit::KeyPress(char& Key) {
    if (TCustomdxContainer* C = Container())
        C->KeyPress(Key);
    const auto Code = static_cast<unsigned char>(Key);
    if (Code >= 32 && !IsValidChar(Key)) {
        Key = 0;
        MessageBeep(0);
    }
    if (IsInplace() && Key == '\t' && !WantsTab())
        Key = 0;
    if ((Key == '\t' || static_cast<unsigned char>(Key) >= 32) && HasEditWindow() && !CanChangeValue())
        Key = 0;
    if (Key == 27)
        Key = 0;
    if (Key)
        TWinControl::KeyPress(Key);
}

void TdxInplaceEdit::KeyUp(Word& Key, TShiftState Shift) {
    if (!IsInplace()) {
        TWinControl::KeyUp(Key, Shift);
        return;
    }
    if (TCustomdxContainer* C = Container())
        C->KeyUp(Key, Shift);
}

void TdxInplaceEdit::DblClick() {
    if (!IsInplace()) {
        TWinControl::DblClick();
        return;
    }
    if (TCustomdxContainer* C = Container())
        C->DblClick();
}

void TdxInplaceEdit::WMKeyDownMsg(TMessage& Message) {
    // Enter and a Tab the editor does not keep must not reach the edit control as characters.
    if (IsInplace() && (Message.WParam == VK_RETURN || (Message.WParam == VK_TAB && !WantsTab())))
        RemovePendingMessage(FHandle, WM_CHAR);
    InheritedDispatch(StaticClass(), Message);
}

void TdxInplaceEdit::WMGetDlgCode(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    Message.Result |= DLGC_WANTCHARS;
    if (IsInplace())
        Message.Result |= DLGC_WANTALLKEYS;
    TCustomdxContainer* C = Container();
    if (C && C->WantsEditorTab())
        Message.Result |= DLGC_WANTTAB;
    else
        Message.Result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
}

void TdxInplaceEdit::WMEditChange(TMessage& Message) {
    bool Changes = Message.Msg != WM_IME_COMPOSITION || (Message.LParam & GCS_RESULTSTR) != 0;
    if (Changes && HasEditWindow() && !CanChangeValue())
        return;
    InheritedDispatch(StaticClass(), Message);
}

// ---------------------------------------------------------------------------------------------
// Window procedure and focus

void TdxInplaceEdit::WndProc(TMessage& Message) {
    if (!IsInplace()) {
        if (Message.Msg == WM_SETFOCUS)
            FocusChanged();
        else if (Message.Msg == WM_KILLFOCUS)
            EditorKillFocus(Message);
        TWinControl::WndProc(Message);
        return;
    }
    TCustomdxContainer* C = Container();
    switch (Message.Msg) {
    case WM_SETFOCUS:
        if (C) {
            // The form records the container, not the editor, as its focused control.
            TCustomForm* F = GetParentForm();
            if (!F || F->SetFocusedControl(C) || C->ControlState().Contains(csFocusing))
                Dispatch(Message);
            C->EditorFocusChanged();
            FocusChanged();
            return;
        }
        TWinControl::WndProc(Message);
        FocusChanged();
        return;
    case WM_KILLFOCUS:
        EditorKillFocus(Message);
        break;
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
        if (C && C->IsEditorKeyBlocked())
            return;
        break;
    case WM_LBUTTONDOWN:
        if (C && C->IsClickActivation() && GetMessageTime() - static_cast<LONG>(ClickTime) < static_cast<LONG>(GetDoubleClickTime()))
            Message.Msg = WM_LBUTTONDBLCLK;
        ClickTime = 0;
        break;
    case WM_MOUSEWHEEL:
        if (!WantsMouseWheel() && C && C->HandleAllocated()) {
            SendMessageA(C->Handle(), CM_CANCELMODE, 0, 0);
            SendMessageA(C->Handle(), WM_MOUSEWHEEL, Message.WParam, Message.LParam);
            // The container has scrolled: the system's own passing of the wheel to the parent would
            // scroll it a second time.
            FWheelForwarded = true;
            try {
                TWinControl::WndProc(Message);
            } catch (...) {
                FWheelForwarded = false;
                throw;
            }
            FWheelForwarded = false;
            return;
        }
        break;
    default:
        break;
    }
    TWinControl::WndProc(Message);
}

void TdxInplaceEdit::DefaultHandler(TMessage& Message) {
    if (Message.Msg == WM_MOUSEWHEEL && FWheelForwarded) {
        Message.Result = 0;
        return;
    }
    if (!HasEditWindow() && HandleAllocated() && !ComponentState().Contains(csDesigning) &&
        (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_RBUTTONDOWN || Message.Msg == WM_MBUTTONDOWN) &&
        GetFocus() != FHandle)
        ::SetFocus(FHandle);
    TWinControl::DefaultHandler(Message);
}

void TdxInplaceEdit::FocusChanged() {
    UpdateHotRegion();
    if (RedrawOnFocusChange())
        Invalidate();
}

void TdxInplaceEdit::EditorKillFocus(TMessage& Message) {
    UpdateHotRegion();
    if (RedrawOnFocusChange())
        Invalidate();
    TCustomdxContainer* C = Container();
    if (C && !(C->HandleAllocated() && reinterpret_cast<HWND>(Message.WParam) == C->Handle()))
        C->EditorFocusChanged();
}

void TdxInplaceEdit::CMEnter(TMessage& Message) {
    SetActive(true);
    InheritedDispatch(StaticClass(), Message);
}

void TdxInplaceEdit::CMExit(TMessage& Message) {
    if (FDataDefinition) {
        try {
            FDataDefinition->UpdateRecord();
        } catch (...) {
            SelectAll();
            SetFocus();
            throw;
        }
    } else
        Validate();
    SetActive(false);
    InheritedDispatch(StaticClass(), Message);
}

void TdxInplaceEdit::CMMouseEnter(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (Message.LParam != 0)
        return;
    SetHot(true);
    UpdateHotRegion();
    OnMouseEnter(this);
}

void TdxInplaceEdit::CMMouseLeave(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (Message.LParam != 0)
        return;
    SetHot(false);
    UpdateHotRegion();
    OnMouseLeave(this);
}
