#include "dxEditor.h"

#include "ResStrings.h"

#include <algorithm>
#include <memory>
#include <vector>

std::string dxEditMenuCaptions[7];

namespace {
HMODULE RichEditModule = nullptr;

namespace Captions {
inline constexpr TResStringRec Undo = ResString("&Undo");
inline constexpr TResStringRec Redo = ResString("&Redo");
inline constexpr TResStringRec Cut = ResString("Cu&t");
inline constexpr TResStringRec Copy = ResString("&Copy");
inline constexpr TResStringRec Paste = ResString("&Paste");
inline constexpr TResStringRec Delete = ResString("&Delete");
inline constexpr TResStringRec SelectAll = ResString("Select &All");
}  // namespace Captions

// Menu item tags: the action of each item; separators carry MaxInt.
constexpr LongInt MenuTags[9] = {-1, -2, 0x7FFFFFFF, -3, -4, -5, -6, 0x7FFFFFFF, -7};
}  // namespace

// The rich edit's OLE callback: no objects, no clipboard formats of its own and no drag and drop,
// so that the text can change only through the editor's own paths.
class TdxInplaceTextEdit::TOleCallback : public IRichEditOleCallback {
public:
    explicit TOleCallback(TdxInplaceTextEdit* Owner) : FOwner(Owner) {}
    virtual ~TOleCallback() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Riid, void** Obj) override {
        if (IsEqualIID(Riid, IID_IUnknown) || IsEqualIID(Riid, IID_IRichEditOleCallback)) {
            *Obj = static_cast<IRichEditOleCallback*>(this);
            AddRef();
            return S_OK;
        }
        *Obj = nullptr;
        return E_NOINTERFACE;
    }
    // The count is kept; the object lives as long as its editor.
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++FOwner->FRefCount); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--FOwner->FRefCount); }
    HRESULT STDMETHODCALLTYPE GetNewStorage(LPSTORAGE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetInPlaceContext(LPOLEINPLACEFRAME*, LPOLEINPLACEUIWINDOW*,
                                                LPOLEINPLACEFRAMEINFO) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ShowContainerUI(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryInsertObject(LPCLSID, LPSTORAGE, LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeleteObject(LPOLEOBJECT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryAcceptData(LPDATAOBJECT, CLIPFORMAT*, DWORD, BOOL, HGLOBAL) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(CHARRANGE*, DWORD, LPDATAOBJECT* Data) override {
        if (Data)
            *Data = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDragDropEffect(BOOL, DWORD, LPDWORD Effect) override {
        if (Effect)
            *Effect = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU*) override { return E_NOTIMPL; }

private:
    TdxInplaceTextEdit* FOwner;
};

// ---------------------------------------------------------------------------------------------
// Life and window

TdxInplaceTextEdit::TdxInplaceTextEdit(TComponent* AOwner) : TdxInplaceEdit(AOwner) {
    SetControlStyle(TControlStyle{csClickEvents, csSetCaption, csDoubleClicks});
    SetParentColor(false);
    FCallback = new TOleCallback(this);
}

TdxInplaceTextEdit::~TdxInplaceTextEdit() {
    FreeAndNil(FEditPopupMenu);
    delete FCallback;
}

void TdxInplaceTextEdit::DefineClass(TClassBuilder<TdxInplaceTextEdit>& B) {
    B.Message<&TdxInplaceTextEdit::CNCommand>(CN_COMMAND);
    B.Message<&TdxInplaceTextEdit::CNNotify>(CN_NOTIFY);
    B.Message<&TdxInplaceTextEdit::CMTextChangedText>(CM_TEXTCHANGED);
    B.Message<&TdxInplaceTextEdit::CMColorChangedText>(CM_COLORCHANGED);
    B.Message<&TdxInplaceTextEdit::CMSysColorChange>(CM_SYSCOLORCHANGE);
    B.Message<&TdxInplaceTextEdit::WMSetFont>(WM_SETFONT);
    B.Message<&TdxInplaceTextEdit::WMSetText>(WM_SETTEXT);
    B.Message<&TdxInplaceTextEdit::WMSizeText>(WM_SIZE);
    B.Message<&TdxInplaceTextEdit::CMEnterText>(CM_ENTER);
    B.Message<&TdxInplaceTextEdit::WMRButtonUp>(WM_RBUTTONUP);
    B.Message<&TdxInplaceTextEdit::WMContextMenu>(WM_CONTEXTMENU);
    B.Message<&TdxInplaceTextEdit::WMChar>(WM_CHAR);
    B.Message<&TdxInplaceTextEdit::WMGetDlgCodeText>(WM_GETDLGCODE);
}

void TdxInplaceTextEdit::CreateParams(TCreateParams& Params) {
    TdxInplaceEdit::CreateParams(Params);
    if (!HasEditWindow()) {
        // Kinds without an edit window never share a window class with those that have one.
        Params.WinClassName = ClassName() + "NoEdit";
        return;
    }
    LoadRichEditLibrary();
    CreateSubClass(Params, "RichEdit20A");
    static constexpr DWORD Aligns[3] = {0, ES_RIGHT, ES_CENTER};
    Params.Style |= ES_AUTOVSCROLL | ES_AUTOHSCROLL | Aligns[FAlignment];
    if (FCharCase == ecUpperCase)
        Params.Style |= ES_UPPERCASE;
    else if (FCharCase == ecLowerCase)
        Params.Style |= ES_LOWERCASE;
    if (!FHideSelection)
        Params.Style |= ES_NOHIDESEL;
    if (FOEMConvert)
        Params.Style |= ES_OEMCONVERT;
    if (FPasswordChar)
        Params.Style |= ES_PASSWORD;
    if (!IsEditable())
        Params.Style |= ES_READONLY;
    if (FSelectionBar)
        Params.Style |= ES_SELECTIONBAR;
}

void TdxInplaceTextEdit::CreateWnd() {
    FCreating = true;
    try {
        std::string Keep = Text();
        TdxInplaceEdit::CreateWnd();
        // The plain-text mode can be set only while the control is empty.
        SendMessageA(FHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        SendMessageA(FHandle, EM_SETTEXTMODE, TM_PLAINTEXT, 0);
        SendMessageA(FHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Keep.c_str()));
    } catch (...) {
        FCreating = false;
        throw;
    }
    FCreating = false;
    SetEditLimit(FMaxLength);
    SendMessageA(FHandle, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_DRAGDROPDONE | ENM_SELCHANGE);
    Perform(CM_COLORCHANGED);
    if (FPasswordChar)
        SendMessageA(FHandle, EM_SETPASSWORDCHAR, static_cast<unsigned char>(FPasswordChar), 0);
    if (NeedsOleCallback())
        SendMessageA(FHandle, EM_SETOLECALLBACK, 0, reinterpret_cast<LPARAM>(static_cast<IRichEditOleCallback*>(FCallback)));
    SetModified(FSavedModified);
}

void TdxInplaceTextEdit::DestroyWnd() {
    if (HandleAllocated())
        FSavedModified = SendMessageA(FHandle, EM_GETMODIFY, 0, 0) != 0;
    TdxInplaceEdit::DestroyWnd();
}

void TdxInplaceTextEdit::Loaded() {
    TdxInplaceEdit::Loaded();
    ApplyCharCase();
}

// ---------------------------------------------------------------------------------------------
// Text, case and limits

char TdxInplaceTextEdit::ConvertCase(char Ch) const {
    if (FCharCase == ecNormal)
        return Ch;
    std::string S(1, Ch);
    S = FCharCase == ecUpperCase ? AnsiUpperCase(S) : AnsiLowerCase(S);
    return S.empty() ? Ch : S[0];
}

void TdxInplaceTextEdit::ApplyCharCase() {
    if (FCharCase == ecNormal)
        return;
    std::string Old = Text();
    std::string New = FCharCase == ecUpperCase ? AnsiUpperCase(Old) : AnsiLowerCase(Old);
    if (New == Old)
        return;
    FCaseChanging = true;
    CHARRANGE Sel{0, 0};
    if (HandleAllocated())
        SendMessageA(FHandle, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&Sel));
    bool Modified = GetModified();
    try {
        SetText(New);
    } catch (...) {
        SetModified(Modified);
        FCaseChanging = false;
        throw;
    }
    SetModified(Modified);
    if (HandleAllocated())
        SendMessageA(FHandle, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&Sel));
    FCaseChanging = false;
}

void TdxInplaceTextEdit::SetCharCase(TEditCharCase Value) {
    if (FCharCase == Value)
        return;
    FCharCase = Value;
    ApplyCharCase();
}

void TdxInplaceTextEdit::SetHideSelection(bool Value) {
    if (FHideSelection == Value)
        return;
    FHideSelection = Value;
    RecreateWnd();
}

void TdxInplaceTextEdit::SetOEMConvert(bool Value) {
    if (FOEMConvert == Value)
        return;
    FOEMConvert = Value;
    RecreateWnd();
}

void TdxInplaceTextEdit::SetSelectionBar(bool Value) {
    if (FSelectionBar == Value)
        return;
    FSelectionBar = Value;
    RecreateWnd();
}

void TdxInplaceTextEdit::SetPasswordChar(char Value) {
    if (FPasswordChar == Value)
        return;
    FPasswordChar = Value;
    if (HandleAllocated()) {
        SendMessageA(FHandle, EM_SETPASSWORDCHAR, static_cast<unsigned char>(Value), 0);
        SetText(Text());
    }
}

void TdxInplaceTextEdit::SetEditLimit(int Value) {
    if (HandleAllocated())
        SendMessageA(FHandle, EM_EXLIMITTEXT, 0, Value);
}

void TdxInplaceTextEdit::SetMaxLength(int Value) {
    if (Value < 0)
        Value = 0;
    if (FMaxLength == Value)
        return;
    FMaxLength = Value;
    SetEditLimit(Value);
}

void TdxInplaceTextEdit::SetStoredMaxLength(int Value) {
    FStoredValues |= dxStored::MaxLength;
    SetMaxLength(Value);
}

void TdxInplaceTextEdit::SetEditValue(const Variant& Value) {
    FAssigningText = true;
    try {
        TdxInplaceEdit::SetEditValue(Value);
    } catch (...) {
        FAssigningText = false;
        throw;
    }
    FAssigningText = false;
    if (HandleAllocated())
        SendMessageA(FHandle, EM_EMPTYUNDOBUFFER, 0, 0);
}

void TdxInplaceTextEdit::RefreshDataProperties() {
    TdxInplaceEdit::RefreshDataProperties();
    if (!IsStored(dxStored::MaxLength))
        SetMaxLength(DefaultMaxLength());
    if (HandleAllocated())
        SendMessageA(FHandle, EM_SETREADONLY, !IsEditable(), 0);
}

void TdxInplaceTextEdit::RestoreDefaults() {
    TdxInplaceEdit::RestoreDefaults();
    SetMaxLength(DefaultMaxLength());
}

// Kinds without an edit window keep the flag themselves: their window knows no such message.
bool TdxInplaceTextEdit::GetModified() {
    return HandleAllocated() && HasEditWindow() ? SendMessageA(FHandle, EM_GETMODIFY, 0, 0) != 0 : FSavedModified;
}

void TdxInplaceTextEdit::SetModified(bool Value) {
    if (HandleAllocated() && HasEditWindow())
        SendMessageA(FHandle, EM_SETMODIFY, Value, 0);
    else
        FSavedModified = Value;
}

void TdxInplaceTextEdit::SetReadOnly(bool Value) {
    TdxInplaceEdit::SetReadOnly(Value);
    if (HandleAllocated())
        SendMessageA(FHandle, EM_SETREADONLY, !IsEditable(), 0);
}

// ---------------------------------------------------------------------------------------------
// Selection and clipboard

void TdxInplaceTextEdit::GetSelection(int& Start, int& End) {
    CHARRANGE R{0, 0};
    if (HandleAllocated())
        SendMessageA(FHandle, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&R));
    Start = R.cpMin;
    End = R.cpMax;
}

void TdxInplaceTextEdit::SetSelection(int Start, int End) {
    CHARRANGE R{Start, End};
    SendMessageA(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&R));
}

int TdxInplaceTextEdit::GetSelLength() {
    int S, E;
    GetSelection(S, E);
    return E - S;
}

int TdxInplaceTextEdit::GetSelStart() {
    int S, E;
    GetSelection(S, E);
    return S;
}

void TdxInplaceTextEdit::SetSelLength(int Value) {
    int Start = GetSelStart();
    SetSelection(Start, Start + Value);
}

void TdxInplaceTextEdit::SetSelStart(int Value) { SetSelection(Value, Value); }

// The buffer is sized in bytes: in a double-byte code page a character of the selection takes up
// to two of them.
void TdxInplaceTextEdit::GetSelText(std::string& S) {
    S.clear();
    if (!HandleAllocated())
        return;
    std::vector<char> Buffer(static_cast<std::size_t>(2 * std::max(GetSelLength(), 0) + 1), '\0');
    LRESULT N = SendMessageA(FHandle, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(Buffer.data()));
    S.assign(Buffer.data(), static_cast<std::size_t>(std::clamp<LRESULT>(N, 0, static_cast<LRESULT>(Buffer.size()) - 1)));
}

int TdxInplaceTextEdit::GetSelTextBuf(char* Buffer, int BufSize) {
    std::string S;
    GetSelText(S);
    int N = std::min(BufSize, static_cast<int>(S.size()));
    if (N > 0)
        std::copy_n(S.data(), N, Buffer);
    return std::max(N, 0);
}

void TdxInplaceTextEdit::SelectAll() {
    if (!HandleAllocated())
        return;
    CHARRANGE R{0, -1};
    SendMessageA(FHandle, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&R));
}

void TdxInplaceTextEdit::GoToTextEnd() {
    if (HandleAllocated())
        SendMessageA(FHandle, EM_SETSEL, 0x7FFFFFFF, -1);
}

void TdxInplaceTextEdit::Clear() { SetWindowTextA(Handle(), ""); }

void TdxInplaceTextEdit::ClearUndo() {
    if (HandleAllocated())
        SendMessageA(FHandle, EM_EMPTYUNDOBUFFER, 0, 0);
}

bool TdxInplaceTextEdit::CanUndo() { return HandleAllocated() && SendMessageA(FHandle, EM_CANUNDO, 0, 0) != 0; }

bool TdxInplaceTextEdit::CanRedo() { return HandleAllocated() && SendMessageA(FHandle, EM_CANREDO, 0, 0) != 0; }

bool TdxInplaceTextEdit::CanPaste() {
    return HandleAllocated() && IsEditable() && SendMessageA(FHandle, EM_CANPASTE, 0, 0) != 0;
}

int TdxInplaceTextEdit::GetTextLength() {
    if (!HandleAllocated())
        return static_cast<int>(FText.size());
    GETTEXTLENGTHEX G{GTL_DEFAULT, CP_ACP};
    return static_cast<int>(SendMessageA(FHandle, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&G), 0));
}

// ---------------------------------------------------------------------------------------------
// Messages

void TdxInplaceTextEdit::WndProc(TMessage& Message) {
    TdxInplaceEdit::WndProc(Message);
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        // A press that did not focus the editor must not leave the rich edit holding the mouse.
        if (HandleAllocated() && GetFocus() != FHandle && !ComponentState().Contains(csDesigning)) {
            if (Message.Msg == WM_MBUTTONDOWN)
                PostMessageA(FHandle, WM_MBUTTONUP, 0, 0);
            ReleaseCapture();
        }
        break;
    default:
        break;
    }
}

void TdxInplaceTextEdit::DefaultHandler(TMessage& Message) {
    if (Message.Msg == WM_RBUTTONUP)
        return;
    TdxInplaceEdit::DefaultHandler(Message);
}

void TdxInplaceTextEdit::CNCommand(TMessage& Message) {
    if (HIWORD(Message.WParam) == EN_CHANGE) {
        if (!ComponentState().Contains(csLoading) && !FCaseChanging)
            ApplyCharCase();
        if (!FCreating && !FAssigningText)
            Change();
        return;
    }
    InheritedDispatch(StaticClass(), Message);
}

void TdxInplaceTextEdit::CNNotify(TMessage& Message) {
    auto* N = reinterpret_cast<NMHDR*>(Message.LParam);
    if (N && N->code == EN_SELCHANGE && !ComponentState().Contains(csLoading))
        SelectionChange();
    InheritedDispatch(StaticClass(), Message);
}

void TdxInplaceTextEdit::CMTextChangedText(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    // With a window the edit control's own change notification reports the change.
    if (!HandleAllocated() && !ComponentState().Contains(csLoading) && !FCreating && !FAssigningText)
        Change();
}

void TdxInplaceTextEdit::CMColorChangedText(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (HandleAllocated())
        SendMessageA(FHandle, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
}

void TdxInplaceTextEdit::CMSysColorChange(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    Perform(CM_COLORCHANGED);
}

void TdxInplaceTextEdit::WMSetFont(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    CHARFORMAT2A Format{};
    Format.cbSize = 84;
    Format.dwMask = CFM_COLOR;
    TColor C = Font()->Color();
    if (C == clWindowText || C == clDefault)
        Format.dwEffects = CFE_AUTOCOLOR;
    else
        Format.crTextColor = static_cast<COLORREF>(ColorToRGB(C));
    SendMessageA(FHandle, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&Format));
}

void TdxInplaceTextEdit::WMSetText(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    SetEditLimit(FMaxLength);
}

void TdxInplaceTextEdit::WMSizeText(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (!HandleAllocated())
        return;
    RECT C;
    GetClientRect(FHandle, &C);
    TRect R = TRect::From(C);
    InflateRect(R, -1, -1);
    if (GetWindowLongA(FHandle, GWL_STYLE) & ES_SELECTIONBAR)
        R.Left += 8;
    if (FAlignment == taRightJustify)
        R.Right -= 1;
    R.Left += FTextMargins.Left;
    R.Top += FTextMargins.Top;
    R.Right -= FTextMargins.Right;
    SendMessageA(FHandle, EM_SETRECT, 0, reinterpret_cast<LPARAM>(static_cast<RECT*>(R)));
}

void TdxInplaceTextEdit::CMEnterText(TMessage& Message) {
    if (FAutoSelect && !ControlState().Contains(csLButtonDown))
        SelectAll();
    InheritedDispatch(StaticClass(), Message);
}

void TdxInplaceTextEdit::WMChar(TMessage& Message) {
    if (FCharCase != ecNormal && Message.WParam < 256)
        Message.WParam = static_cast<unsigned char>(ConvertCase(static_cast<char>(Message.WParam)));
    InheritedDispatch(StaticClass(), Message);
}

void TdxInplaceTextEdit::WMGetDlgCodeText(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (!IsInplace())
        Message.Result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
}

void TdxInplaceTextEdit::WMRButtonUp(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    POINT P;
    GetCursorPos(&P);
    PostMessageA(FHandle, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(FHandle), MAKELPARAM(P.x, P.y));
}

void TdxInplaceTextEdit::WMContextMenu(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (!HasEditWindow() || Message.Result != 0)
        return;
    for (TControl* C = this; C; C = C->Parent())
        if (C->PopupMenu())
            return;
    TPoint P{static_cast<SmallInt>(LOWORD(Message.LParam)), static_cast<SmallInt>(HIWORD(Message.LParam))};
    if (P.X == -1 && P.Y == -1) {
        POINT Caret{0, 0};
        GetCaretPos(&Caret);
        RECT C;
        GetClientRect(FHandle, &C);
        P = TPoint{std::min<LONG>(Caret.x, C.right), Caret.y};
        ::ClientToScreen(FHandle, P);
    } else {
        POINT Client = P;
        ::ScreenToClient(FHandle, &Client);
        RECT C;
        GetClientRect(FHandle, &C);
        if (!PtInRect(&C, Client))
            return;
    }
    Message.Result = 1;
    PopupEditMenu(P);
}

TPopupMenu* TdxInplaceTextEdit::EditPopupMenu() {
    if (!FEditPopupMenu) {
        FEditPopupMenu = Create<TPopupMenu>(nullptr);
        int Caption = 0;
        for (LongInt Tag : MenuTags) {
            auto* Item = Create<TMenuItem>(FEditPopupMenu);
            Item->SetTag(Tag);
            if (Tag == 0x7FFFFFFF)
                Item->SetCaption("-");
            else {
                Item->SetCaption(dxEditMenuCaptions[Caption++]);
                Item->OnClick = TNotifyEvent::Bind<&TdxInplaceTextEdit::MenuItemClick>(this);
            }
            FEditPopupMenu->Items()->Add(Item);
        }
    }
    return FEditPopupMenu;
}

void TdxInplaceTextEdit::UpdateEditPopupMenu() {
    TMenuItem* Items = EditPopupMenu()->Items();
    const int SelLength = GetSelLength();
    const bool Editable = IsEditable();
    Items->Items(0)->SetEnabled(HandleAllocated() && SendMessageA(FHandle, EM_CANUNDO, 0, 0) != 0);
    Items->Items(1)->SetEnabled(HandleAllocated() && SendMessageA(FHandle, EM_CANREDO, 0, 0) != 0);
    Items->Items(3)->SetEnabled(SelLength > 0 && Editable && !FPasswordChar);
    Items->Items(4)->SetEnabled(SelLength > 0 && !FPasswordChar);
    Items->Items(5)->SetEnabled(CanPaste());
    Items->Items(6)->SetEnabled(SelLength > 0 && Editable);
    // The rich edit may count its closing paragraph mark in a whole selection.
    Items->Items(8)->SetEnabled(SelLength < GetTextLength());
}

void TdxInplaceTextEdit::PopupEditMenu(TPoint P) {
    UpdateEditPopupMenu();
    EditPopupMenu()->Popup(P.X, P.Y);
}

void TdxInplaceTextEdit::MenuItemClick(TObject* Sender) {
    switch (static_cast<TComponent*>(Sender)->Tag()) {
    case -1:
        Perform(EM_UNDO);
        break;
    case -2:
        Perform(EM_REDO);
        break;
    case -3:
        Perform(WM_CUT);
        break;
    case -4:
        Perform(WM_COPY);
        break;
    case -5:
        Perform(WM_PASTE);
        break;
    case -6:
        Perform(WM_CLEAR);
        break;
    case -7:
        SelectAll();
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Cell painting

TdxEditViewData* TdxInplaceTextEdit::CreateViewData(bool IsPaintCopy) {
    TdxEditViewData* VD = TdxInplaceEdit::CreateViewData(IsPaintCopy);
    if (auto* T = DynCast<TdxTextEditViewData>(VD)) {
        T->CharCase = FCharCase;
        T->StandaloneLook = !IsInplace() && !T->EditWindowView;
        T->PasswordChar = FPasswordChar;
        T->SelectionBar = FSelectionBar;
    }
    return VD;
}

TdxEditViewDataClass TdxInplaceTextEdit::TMetaClass::GetViewDataClass() const {
    return TdxEditViewDataClass::Of<TdxTextEditViewData>();
}

bool TdxInplaceTextEdit::TMetaClass::DrawClient(HDC DC, const TRect& Rect, bool IsEditorPaint,
                                                TdxEditViewData* ViewData) const {
    if (ViewData->EditWindowView && IsEditorPaint)
        return false;
    auto* T = DynCast<TdxTextEditViewData>(ViewData);
    std::string S = ViewData->Value.IsNull() ? std::string() : ViewData->Value.AsString();
    if (ViewData->ValueLength == 0)
        ViewData->ValueLength = static_cast<int>(S.size());
    int Count = std::min(ViewData->ValueLength, static_cast<int>(S.size()));
    if (T && T->CharCase == ecUpperCase)
        S = AnsiUpperCase(S);
    else if (T && T->CharCase == ecLowerCase)
        S = AnsiLowerCase(S);
    if (T && T->PasswordChar && !S.empty())
        S.assign(S.size(), T->PasswordChar);
    TRect R = Rect;
    if (T && T->SelectionBar)
        R.Left += 8;
    const TRect& M = ViewData->TextMargins;
    if (ViewData->StandaloneLook)
        InflateRect(R, -2, -2);
    else {
        InflateRect(R, -1, -1);
        R.Left += M.Left;
        R.Top += M.Top;
        R.Right -= M.Right;
        if (ViewData->Alignment == taRightJustify)
            R.Right -= 1;
    }
    static constexpr Word Aligns[3] = {0, dxCellText::Right, dxCellText::Centre};
    static constexpr Word Layouts[4] = {0, dxCellText::VCenter, dxCellText::Bottom, dxCellText::WordWrap};
    Word Flags = Aligns[ViewData->Alignment] | Layouts[ViewData->VertLayout & 3];
    if (ViewData->StandaloneLook && ViewData->Focused)
        Flags |= dxCellText::FocusRect;
    if (ViewData->OpaqueText)
        Flags |= dxCellText::KeepBkMode;
    if (ViewData->Transparent)
        Flags |= dxCellText::Transparent;
    if (T && T->EllipsisAtEnd)
        Flags |= dxCellText::EndEllipsis;
    if (ViewData->MeasureOnly) {
        ViewData->LineCount = 0;
        ViewData->LineHeight = 0;
        ViewData->TextHeight =
            DrawCellText(DC, S.c_str(), Count, &ViewData->LineHeight, ViewData->TextColor, ViewData->BkColor,
                         ViewData->Font, ViewData->Brush, Flags | dxCellText::MeasureOnly, R, Rect);
        if (ViewData->TextHeight != 0)
            ViewData->TextHeight -= ViewData->StandaloneLook ? 2 : M.Top + 2;
        if (ViewData->LineHeight != 0)
            ViewData->LineCount = ViewData->TextHeight / ViewData->LineHeight;
    } else
        DrawCellText(DC, S.c_str(), Count, nullptr, ViewData->TextColor, ViewData->BkColor, ViewData->Font,
                     ViewData->Brush, Flags, R, Rect);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Unit start-up and shut-down

void LoadRichEditLibrary() {
    // On first use: the library and what it loads are a noticeable part of a program's start.
    if (!RichEditModule) {
        UINT OldMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
        HMODULE M = LoadLibraryA("RICHED20.DLL");
        SetErrorMode(OldMode);
        RichEditModule = reinterpret_cast<UINT_PTR>(M) < 32 ? nullptr : M;
    }
}

void dxEditorInitialization() {
    const TResStringRec* Recs[7] = {&Captions::Undo,  &Captions::Redo,   &Captions::Cut,      &Captions::Copy,
                                    &Captions::Paste, &Captions::Delete, &Captions::SelectAll};
    for (int I = 0; I < 7; ++I)
        dxEditMenuCaptions[I] = LoadResString(Recs[I]);
}

void dxEditorFinalization() {
    if (RichEditModule) {
        FreeLibrary(RichEditModule);
        RichEditModule = nullptr;
    }
    for (std::string& S : dxEditMenuCaptions)
        S.clear();
}
