#include "dxExEdtr.h"

#include <vector>

namespace {
// Every line break (CR LF, a lone CR or a lone LF) as CR LF.
std::string CrLfBreaks(const std::string& S) {
    std::string R;
    R.reserve(S.size() + S.size() / 16);
    for (std::size_t I = 0; I < S.size(); ++I) {
        if (S[I] == '\r') {
            R += "\r\n";
            if (I + 1 < S.size() && S[I + 1] == '\n')
                ++I;
        } else if (S[I] == '\n')
            R += "\r\n";
        else
            R += S[I];
    }
    return R;
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Lines

LRESULT TdxMemoStrings::Send(UINT Msg, WPARAM WParam, LPARAM LParam) {
    return SendMessageA(FMemo->Handle(), Msg, WParam, LParam);
}

int TdxMemoStrings::GetCount() {
    if (!FMemo->HandleAllocated())
        return 0;
    int N = static_cast<int>(Send(EM_GETLINECOUNT));
    const auto Start = static_cast<int>(Send(EM_LINEINDEX, N - 1));
    if (Send(EM_LINELENGTH, Start) == 0 || Start == FMemo->GetTextLength())
        --N;
    return N;
}

// Sized from the line's own length: a long line comes back whole.
std::string TdxMemoStrings::Get(int Index) {
    if (!FMemo->HandleAllocated())
        return std::string();
    const auto Start = static_cast<int>(Send(EM_LINEINDEX, Index));
    if (Start < 0)
        return std::string();
    const auto Length = static_cast<int>(Send(EM_LINELENGTH, Start));
    std::vector<char> Buf(std::max(Length + 2, 4));
    *reinterpret_cast<WORD*>(Buf.data()) = static_cast<WORD>(std::min<std::size_t>(Buf.size(), 0xFFFF));
    const auto N = static_cast<int>(Send(EM_GETLINE, Index, reinterpret_cast<LPARAM>(Buf.data())));
    std::string S(Buf.data(), std::max(0, N));
    if (!S.empty() && S.back() == '\r')
        S.pop_back();
    return S;
}

void TdxMemoStrings::ReplaceRange(int Start, int End, const std::string& S) {
    CHARRANGE R{Start, End};
    Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&R));
    Send(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(S.c_str()));
}

void TdxMemoStrings::Put(int Index, const std::string& S) {
    if (Index < 0 || !FMemo->HandleAllocated())
        return;
    const auto Start = static_cast<int>(Send(EM_LINEINDEX, Index));
    if (Start < 0)
        return;
    ReplaceRange(Start, Start + static_cast<int>(Send(EM_LINELENGTH, Start)), S);
}

// A line inserted at the count is appended as the new last line, also after a closing line break.
void TdxMemoStrings::Insert(int Index, const std::string& S) {
    if (Index < 0)
        return;
    FMemo->HandleNeeded();
    if (Index < GetCount()) {
        const auto Start = static_cast<int>(Send(EM_LINEINDEX, Index));
        ReplaceRange(Start, Start, S + "\r");
        return;
    }
    const int Length = FMemo->GetTextLength();
    bool Break = Length > 0;
    if (Break) {
        const auto LastStart = static_cast<int>(Send(EM_LINEINDEX, Send(EM_GETLINECOUNT) - 1));
        Break = LastStart != Length;
    }
    ReplaceRange(Length, Length, Break ? "\r" + S : S);
}

void TdxMemoStrings::Delete(int Index) {
    if (Index < 0 || !FMemo->HandleAllocated())
        return;
    const auto Start = static_cast<int>(Send(EM_LINEINDEX, Index));
    if (Start < 0)
        return;
    auto End = static_cast<int>(Send(EM_LINEINDEX, Index + 1));
    if (End < 0)
        End = Start + static_cast<int>(Send(EM_LINELENGTH, Start));
    ReplaceRange(Start, End, std::string());
}

void TdxMemoStrings::Clear() { FMemo->Clear(); }

std::string TdxMemoStrings::GetTextStr() { return FMemo->Text(); }

void TdxMemoStrings::SetTextStr(const std::string& Value) {
    const std::string S = CrLfBreaks(Value);
    FMemo->SetChangeEvents(false);
    try {
        if (S.size() == FMemo->Text().size() && S == CrLfBreaks(FMemo->Text())) {
            FMemo->SetChangeEvents(true);
            return;
        }
        if (FMemo->HandleAllocated()) {
            if (!Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(S.c_str())))
                throw EInvalidOperation("Text exceeds memo capacity");
        } else
            FMemo->SetText(S);
        FMemo->Perform(CM_TEXTCHANGED, 0, 0);
    } catch (...) {
        FMemo->SetChangeEvents(true);
        throw;
    }
    FMemo->SetChangeEvents(true);
}

void TdxMemoStrings::SetUpdateState(bool Updating) {
    if (!FMemo->HandleAllocated() || !FMemo->Showing())
        return;
    Send(WM_SETREDRAW, !Updating);
    if (!Updating) {
        FMemo->Refresh();
        FMemo->Perform(CM_TEXTCHANGED, 0, 0);
    }
}

// ---------------------------------------------------------------------------------------------
// The editor

TdxInplaceMemoEdit::TdxInplaceMemoEdit(TComponent* AOwner) : TdxInplaceTextEdit(AOwner) {
    SetBounds(Left(), Top(), 185, 89);
    if (!IsInplace())
        SetAutoSelect(false);
    SetAutoSize(false);
    SetSelectionBar(true);
    FLines = Create<TdxMemoStrings>(this);
}

TdxInplaceMemoEdit::~TdxInplaceMemoEdit() { FreeAndNil(FLines); }

void TdxInplaceMemoEdit::DefineClass(TClassBuilder<TdxInplaceMemoEdit>& B) {
    B.Message<&TdxInplaceMemoEdit::WMGetDlgCodeMemo>(WM_GETDLGCODE);
    B.Message<&TdxInplaceMemoEdit::WMKeyDownMemo>(WM_KEYDOWN);
    B.Message<&TdxInplaceMemoEdit::WMSetTextMemo>(WM_SETTEXT);
}

void TdxInplaceMemoEdit::SetHideScrollBars(bool Value) {
    if (FHideScrollBars != Value) {
        FHideScrollBars = Value;
        RecreateWnd();
    }
}

void TdxInplaceMemoEdit::SetScrollBars(TScrollStyle Value) {
    if (FScrollBars != Value) {
        FScrollBars = Value;
        RecreateWnd();
    }
}

void TdxInplaceMemoEdit::SetWordWrap(bool Value) {
    if (FWordWrap != Value) {
        FWordWrap = Value;
        RecreateWnd();
    }
}

void TdxInplaceMemoEdit::SetChangeEvents(bool On) {
    if (!HandleAllocated())
        return;
    auto Mask = static_cast<LPARAM>(SendMessageA(FHandle, EM_GETEVENTMASK, 0, 0));
    Mask = On ? (Mask | ENM_CHANGE) : (Mask & ~static_cast<LPARAM>(ENM_CHANGE));
    SendMessageA(FHandle, EM_SETEVENTMASK, 0, Mask);
}

void TdxInplaceMemoEdit::CreateParams(TCreateParams& Params) {
    TdxInplaceTextEdit::CreateParams(Params);
    if (FWordWrap)
        Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
    static constexpr DWORD Bars[4] = {0, WS_HSCROLL, WS_VSCROLL, WS_HSCROLL | WS_VSCROLL};
    Params.Style |= Bars[FScrollBars] | ES_MULTILINE;
    if (!FHideScrollBars)
        Params.Style |= ES_DISABLENOSCROLL;
}

void TdxInplaceMemoEdit::CreateWindowHandle(const TCreateParams& Params) {
    const TRect R = BoundsRect();
    TdxInplaceTextEdit::CreateWindowHandle(Params);
    SetBoundsRect(R);
}

void TdxInplaceMemoEdit::Loaded() {
    TdxInplaceTextEdit::Loaded();
    SetModified(false);
}

TdxEditViewData* TdxInplaceMemoEdit::CreateViewData(bool IsPaintCopy) {
    TdxEditViewData* VD = TdxInplaceTextEdit::CreateViewData(IsPaintCopy);
    VD->VertLayout = 3;
    return VD;
}

void TdxInplaceMemoEdit::SelectAll() {
    TdxInplaceTextEdit::SelectAll();
    if (Container() && HandleAllocated()) {
        SendMessageA(FHandle, EM_LINESCROLL, 0, static_cast<LPARAM>(0xf0000001));
        SendMessageA(FHandle, EM_SCROLL, SB_LINEUP, 0);
    }
}

void TdxInplaceMemoEdit::KeyDown(Word& Key, TShiftState Shift) {
    switch (Key) {
    case VK_RETURN:
        if (!Shift.Contains(ssCtrl) && IsEditable()) {
            // The break goes in as a replacement of the selection: not every rich edit takes a
            // carriage return typed as a character.
            if (CanChangeValue())
                SendMessageA(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("\r"));
            Key = 0;
            return;
        }
        break;
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
        // The container moves to another row only when the whole text is selected.
        if (GetSelLength() < GetTextLength() || Shift.Contains(ssShift)) {
            PassKeyToContainer(Key, Shift);
            return;
        }
        break;
    case VK_TAB:
        if (WantTabs) {
            PassKeyToContainer(Key, Shift);
            return;
        }
        break;
    default:
        break;
    }
    TdxInplaceTextEdit::KeyDown(Key, Shift);
}

void TdxInplaceMemoEdit::WMKeyDownMemo(TMessage& Message) {
    if (!WantReturns && Message.WParam == VK_RETURN && !IsControlKeyDown()) {
        SendMessageA(GetParent(FHandle), WM_KEYDOWN, Message.WParam, Message.LParam);
        return;
    }
    InheritedDispatch(StaticClass(), Message);
}

void TdxInplaceMemoEdit::WMGetDlgCodeMemo(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (WantTabs)
        Message.Result |= DLGC_WANTTAB;
    if (!WantReturns)
        Message.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
}

void TdxInplaceMemoEdit::WMSetTextMemo(TMessage& Message) {
    if (HandleAllocated() && !FClearingText) {
        FClearingText = true;
        SendMessageA(FHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        FClearingText = false;
    }
    InheritedDispatch(StaticClass(), Message);
}
