#include "dxEditor.h"

#include <algorithm>
#include <cstring>

namespace {
std::string ClipboardText(HWND Owner) {
    std::string S;
    if (!OpenClipboard(Owner))
        return S;
    if (HANDLE Data = GetClipboardData(CF_TEXT)) {
        if (const char* P = static_cast<const char*>(GlobalLock(Data))) {
            S = P;
            GlobalUnlock(Data);
        }
    }
    CloseClipboard();
    return S;
}
}  // namespace

TdxInplaceMaskEdit::TdxInplaceMaskEdit(TComponent* AOwner) : TdxInplaceTextEdit(AOwner) {}

void TdxInplaceMaskEdit::DefineClass(TClassBuilder<TdxInplaceMaskEdit>& B) {
    B.Message<&TdxInplaceMaskEdit::WMClear>(WM_CLEAR);
    B.Message<&TdxInplaceMaskEdit::WMCut>(WM_CUT);
    B.Message<&TdxInplaceMaskEdit::WMPaste>(WM_PASTE);
    B.Message<&TdxInplaceMaskEdit::EMReplaceSel>(EM_REPLACESEL);
    B.Message<&TdxInplaceMaskEdit::WMLButtonDown>(WM_LBUTTONDOWN);
    B.Message<&TdxInplaceMaskEdit::WMLButtonUp>(WM_LBUTTONUP);
    B.Message<&TdxInplaceMaskEdit::WMSetFocusMask>(WM_SETFOCUS);
    B.Message<&TdxInplaceMaskEdit::CMEnterMask>(CM_ENTER);
    B.Message<&TdxInplaceMaskEdit::CMTextChangedMask>(CM_TEXTCHANGED);
    B.Message<&TdxInplaceMaskEdit::CMWantSpecialKey>(CM_WANTSPECIALKEY);
    B.Message<&TdxInplaceMaskEdit::CNCommandMask>(CN_COMMAND);
}

// ---------------------------------------------------------------------------------------------
// Mask and value

void TdxInplaceMaskEdit::SetEditMask(const std::string& Value) {
    if (FEditMask == Value)
        return;
    if (ComponentState().Contains(csDesigning) && !Value.empty() && !ComponentState().Contains(csLoading))
        SetText("");
    int SelStart = 0, SelEnd = 0;
    if (HandleAllocated())
        GetSel(SelStart, SelEnd);
    std::string Old = IsMasked() ? FMask.Strip(Text()) : Text();
    FEditMask = Value;
    FMask = TEditMaskInfo(Value);
    FMaskLength = FMask.Length();
    FSaveLiterals = FMask.SaveLiterals();
    FBlankChar = FMask.Blank();
    if (FMask.IsMasked())
        FMaskFlags.Include(mfMasked);
    else
        FMaskFlags.Exclude(mfMasked);
    std::string New = IsMasked() ? FMask.FormatValue(Old) : Old;
    if (New != Text())
        SetText(New);
    SetMaxLength(0);
    if (Focused() && !ComponentState().Contains(csDesigning))
        SetCursor(SelStart);
    RecreateWnd();
}

void TdxInplaceMaskEdit::SetStoredEditMask(const std::string& Value) {
    FStoredValues |= dxStored::EditMask;
    SetEditMask(Value);
}

void TdxInplaceMaskEdit::RefreshDataProperties() {
    TdxInplaceTextEdit::RefreshDataProperties();
    if (!IsStored(dxStored::EditMask)) {
        std::string S;
        GetDefinitionEditMask(S);
        SetEditMask(S);
    }
}

void TdxInplaceMaskEdit::SetMaxLength(int Value) { TdxInplaceTextEdit::SetMaxLength(IsMasked() ? FMaskLength : Value); }

int TdxInplaceMaskEdit::DefaultMaxLength() {
    return IsMasked() ? FMaskLength : TdxInplaceTextEdit::DefaultMaxLength();
}

std::string TdxInplaceMaskEdit::GetMaskedValue() { return IsMasked() ? FMask.TextOf(Text()) : Text(); }

void TdxInplaceMaskEdit::ApplyMaskText(const std::string& S) {
    if (S == Text())
        return;
    SetText(S);
    CheckCursor();
}

void TdxInplaceMaskEdit::SetMaskedText(const std::string& Value) {
    if (!IsMasked()) {
        ApplyMaskText(Value);
        return;
    }
    ApplyMaskText(FMask.EditTextOf(Value));
}

void TdxInplaceMaskEdit::SetEditValue(const Variant& Value) {
    if (!IsMasked()) {
        TdxInplaceTextEdit::SetEditValue(Value);
        return;
    }
    FAssigningText = true;
    try {
        SetMaskedText(Value.IsNull() ? std::string() : Value.AsString());
    } catch (...) {
        FAssigningText = false;
        throw;
    }
    FAssigningText = false;
    ClearUndo();
}

void TdxInplaceMaskEdit::GetEditingText(std::string& S) {
    if (IgnoreMaskBlank)
        S = Text();
    else if (IsMasked())
        S = Text() == FMask.EmptyText() ? std::string() : GetMaskedValue();
    else
        S = GetMaskedValue();
}

// ---------------------------------------------------------------------------------------------
// Caret model

void TdxInplaceMaskEdit::GetSel(int& SelStart, int& SelEnd) {
    if (HasEditWindow() && HandleAllocated())
        GetSelection(SelStart, SelEnd);
    else
        SelStart = SelEnd = 0;
}

void TdxInplaceMaskEdit::SetSelRange(int Start, int End, bool Reverse) {
    SendMessageA(Handle(), EM_SETSEL, Start, End);
    if (Reverse)
        SendMessageA(Handle(), EM_SETSEL, End, Start);
}

// One character selected with the caret at its left: the selection is set from its end back to Pos.
void TdxInplaceMaskEdit::SetCursor(int Pos) {
    if (!HandleAllocated())
        return;
    const int Len = static_cast<int>(Text().size());
    if (!IsMasked()) {
        Pos = std::clamp(Pos, 0, Len);
        SetSelection(Pos, Pos);
        return;
    }
    if (Pos < 0)
        Pos = 0;
    int End = Pos + 1;
    std::string S = Text();
    if (Pos < Len && IsDBCSLeadByte(static_cast<BYTE>(S[static_cast<std::size_t>(Pos)])))
        ++End;
    if (Pos >= FMaskLength) {
        Pos = End = FMaskLength;
    }
    End = std::min(End, std::max(Len, Pos));
    if (Pos == End)
        SetSelection(Pos, Pos);
    else
        SetSelRange(Pos, End, true);
    FCaretPosition = Pos;
}

void TdxInplaceMaskEdit::CheckCursor() {
    if (!HandleAllocated() || !IsMasked())
        return;
    int S, E;
    GetSel(S, E);
    if (S == E)
        SetCursor(S);
}

int TdxInplaceMaskEdit::NextEditable(int P) const {
    int N = FMask.NextSlot(std::max(P, 0));
    return std::min(N, FMaskLength);
}

int TdxInplaceMaskEdit::PrevEditable(int P) const {
    int N = FMask.PrevSlot(std::min(P, FMaskLength - 1));
    return N < 0 ? NextEditable(0) : N;
}

void TdxInplaceMaskEdit::CursorInc(int P, int N) {
    int Q = NextEditable(P + N);
    SetCursor(Q < FMaskLength && FMask.IsLiteral(Q) ? P : Q);
}

void TdxInplaceMaskEdit::CursorDec(int P) { SetCursor(PrevEditable(P - 1)); }

// ---------------------------------------------------------------------------------------------
// Keys

void TdxInplaceMaskEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (Key == VK_ESCAPE)
        RevertValue();
    SkipKeyDown = false;
    if (IsInplace() && (Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR || Key == VK_NEXT ||
                        Key == VK_UP || Key == VK_DOWN || Key == VK_INSERT))
        Validate();
    LockValidate();
    try {
        if (!SkipKeyDown) {
            if ((Key == 'V' && Shift == TShiftState{ssCtrl}) || (Key == VK_INSERT && Shift == TShiftState{ssShift})) {
                PostMessageA(Handle(), WM_PASTE, 0, 0);
                Key = 0;
            }
            TdxInplaceTextEdit::KeyDown(Key, Shift);
        }
        if (IsMasked() && Key != 0 && !Shift.Contains(ssAlt)) {
            if (Key == VK_LEFT || Key == VK_RIGHT) {
                ArrowKeys(Key, Shift);
                if (!Shift.Contains(ssShift) && !Shift.Contains(ssCtrl))
                    Key = 0;
            } else if (Key == VK_UP || Key == VK_DOWN)
                Key = 0;
            else if (Key == VK_HOME || Key == VK_END) {
                HomeEnd(Key, Shift);
                Key = 0;
            } else if ((Key == VK_DELETE && !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl)) || Key == VK_BACK) {
                if (CanChangeValue())
                    DeleteKeys(Key);
                Key = 0;
            } else if (Key == 'A' && Shift == TShiftState{ssCtrl}) {
                SelectAll();
                Key = 0;
                RemovePendingMessage(Handle(), WM_CHAR);
            } else
                CheckCursor();
        }
    } catch (...) {
        UnlockValidate();
        throw;
    }
    UnlockValidate();
}

void TdxInplaceMaskEdit::KeyUp(Word& Key, TShiftState Shift) {
    TdxInplaceTextEdit::KeyUp(Key, Shift);
    if (IsMasked() && Shift.Contains(ssCtrl) && (Key == VK_LEFT || Key == VK_RIGHT))
        CheckCursor();
}

void TdxInplaceMaskEdit::ArrowKeys(Word Key, TShiftState Shift) {
    if (Shift.Contains(ssCtrl))
        return;
    int S, E;
    GetSel(S, E);
    if (Shift.Contains(ssShift)) {
        if (Key == VK_RIGHT) {
            if (FCaretPosition < FMaskLength)
                ++FCaretPosition;
            if (E - S == 1) {
                SendMessageA(Handle(), EM_SETSEL, S, E);
                if (FCaretPosition < FMaskLength)
                    ++FCaretPosition;
            }
        } else {
            if (FCaretPosition > 0)
                --FCaretPosition;
            if (E - S == 2 && S < FCaretPosition) {
                SendMessageA(Handle(), EM_SETSEL, S, S + 1);
                if (FCaretPosition > 0)
                    --FCaretPosition;
            }
        }
        return;
    }
    std::string Txt = Text();
    const bool DoubleByte = E - S == 2 && S < static_cast<int>(Txt.size()) &&
                            IsDBCSLeadByte(static_cast<BYTE>(Txt[static_cast<std::size_t>(S)]));
    if (E - S <= 1 || DoubleByte) {
        if (Key == VK_LEFT)
            CursorDec(S);
        else if (S == E)
            SetCursor(S);
        else
            CursorInc(S, DoubleByte ? 2 : 1);
        return;
    }
    if (E == FCaretPosition && Key == VK_LEFT)
        --FCaretPosition;
    SetCursor(FCaretPosition);
}

void TdxInplaceMaskEdit::HomeEnd(Word Key, TShiftState Shift) {
    int S, E;
    GetSel(S, E);
    if (Key == VK_HOME) {
        if (Shift.Contains(ssShift)) {
            SendMessageA(Handle(), EM_SETSEL, FCaretPosition == E ? S + 1 : E, 0);
            CheckCursor();
        } else
            SetCursor(0);
        FCaretPosition = 0;
    } else {
        if (Shift.Contains(ssShift)) {
            SendMessageA(Handle(), EM_SETSEL, FCaretPosition == S ? E - 1 : S, FMaskLength);
            CheckCursor();
        } else
            SetCursor(FMaskLength);
        FCaretPosition = FMaskLength;
    }
}

std::string TdxInplaceMaskEdit::BlankSelection(const std::string& S, int Start, int End) const {
    std::string R = S;
    for (int P = Start; P < End && P < static_cast<int>(R.size()); ++P)
        if (!FMask.IsLiteral(P))
            R[static_cast<std::size_t>(P)] = FBlankChar;
    return R;
}

void TdxInplaceMaskEdit::DeleteKeys(Word Key) {
    if (!IsEditable())
        return;
    int S, E;
    GetSel(S, E);
    if (Key == VK_BACK && E - S <= 1) {
        CursorDec(S);
        int NS, NE;
        GetSel(NS, NE);
        if (NS == S)
            return;
        S = NS;
        E = NE;
    }
    if (S == E)
        return;
    std::string Old = Text();
    std::string New = BlankSelection(Old, S, E);
    std::string Blanked = New.substr(static_cast<std::size_t>(S), static_cast<std::size_t>(E - S));
    SendMessageA(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Blanked.c_str()));
    // The caret stays on the slot just blanked (a Backspace has already moved it there).
    SetCursor(E - S == 1 ? S : NextEditable(S));
}

void TdxInplaceMaskEdit::KeyPress(char& Key) {
    TdxInplaceTextEdit::KeyPress(Key);
    if (IsMasked() && Key != 0 && Key != 3 && Key != 22 && Key != 24) {
        InputChar(Key);
        Key = 0;
    }
}

void TdxInplaceMaskEdit::InputChar(char& Key) {
    if (Key == 27) {
        RevertValue();
        return;
    }
    if (!IsInplace() && Key == '\r') {
        Validate();
        return;
    }
    if (!CanChangeValue() || !IsEditable() || Key == '\b')
        return;
    int S, E;
    GetSel(S, E);
    if (E - S > 1) {
        DeleteKeys(VK_DELETE);
        SetCursor(NextEditable(S));
        GetSel(S, E);
    }
    std::string Ch(1, Key);
    if (IsDBCSLeadByte(static_cast<BYTE>(Key))) {
        MSG M;
        if (PeekMessageA(&M, Handle(), WM_CHAR, WM_CHAR, PM_REMOVE)) {
            if (M.message == WM_QUIT)
                PostQuitMessage(static_cast<int>(M.wParam));
            else
                Ch.push_back(static_cast<char>(M.wParam));
        }
    }
    char C = Ch[0];
    if (S >= FMaskLength || !FMask.Accepts(S, C)) {
        // The next literal typed at a slot moves the caret behind it.
        for (int P = S; P < FMaskLength; ++P)
            if (FMask.IsLiteral(P)) {
                if (FMask.LiteralAt(P) == Key) {
                    SetCursor(NextEditable(P + 1));
                    return;
                }
                break;
            }
        MessageBeep(0);
        return;
    }
    Ch[0] = C;
    SendMessageA(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Ch.c_str()));
    int NS, NE;
    GetSel(NS, NE);
    CursorInc(NS, 0);
}

// ---------------------------------------------------------------------------------------------
// Validation

int TdxInplaceMaskEdit::FirstInvalidPosition(const std::string& S) const {
    for (int P = 0; P < FMaskLength; ++P) {
        if (!FMask.IsRequired(P))
            continue;
        char C = P < static_cast<int>(S.size()) ? S[static_cast<std::size_t>(P)] : FBlankChar;
        char Space = ' ';
        if ((C == FBlankChar && !IgnoreMaskBlank) || (C == ' ' && !FMask.Accepts(P, Space)))
            return P;
    }
    return -1;
}

void TdxInplaceMaskEdit::Validate() {
    if (!IsMasked()) {
        TdxInplaceTextEdit::Validate();
        return;
    }
    std::string S = Text();
    int Bad = GetModified() ? FirstInvalidPosition(S) : -1;
    if (Bad < 0) {
        CheckCursor();
        TdxInplaceTextEdit::Validate();
        return;
    }
    if (Closing) {
        // The editor is being hidden: an unfinished value goes back to what it was.
        RevertValue();
        return;
    }
    if (!ComponentState().Contains(csDesigning)) {
        FMaskFlags.Include(mfReEntering);
        if (HandleAllocated() && IsWindowVisible(FHandle))
            ::SetFocus(FHandle);
    }
    SetCursor(Bad);
    MessageBeep(0);
    throw EDBEditError(MaskConsts::SMaskEditErr);
}

// ---------------------------------------------------------------------------------------------
// Clipboard and messages

void TdxInplaceMaskEdit::WMClear(TMessage& Message) {
    if (!IsMasked()) {
        InheritedDispatch(StaticClass(), Message);
        return;
    }
    if (!CanChangeValue())
        return;
    std::string Old = GetModified() ? FPrevText : Text();
    SelectAll();
    SetText(BlankSelection(Text(), 0, FMaskLength));
    FPrevText = Old;
    SetModified(true);
    CheckCursor();
}

void TdxInplaceMaskEdit::WMCut(TMessage& Message) {
    if (!IsMasked()) {
        InheritedDispatch(StaticClass(), Message);
        return;
    }
    if (!CanChangeValue())
        return;
    Perform(WM_COPY);
    Perform(WM_CLEAR);
}

void TdxInplaceMaskEdit::WMPaste(TMessage& Message) {
    if (!IsMasked() || !IsEditable()) {
        InheritedDispatch(StaticClass(), Message);
        return;
    }
    if (!CanChangeValue())
        return;
    std::string Clip = ClipboardText(Handle());
    std::string Old = GetModified() ? FPrevText : Text();
    int S, E;
    GetSel(S, E);
    std::string New = BlankSelection(Text(), S, E);
    New.resize(static_cast<std::size_t>(std::max(FMaskLength, static_cast<int>(New.size()))), FBlankChar);
    int P = S;
    for (std::size_t I = 0; I < Clip.size() && P < FMaskLength; ++I) {
        if (FMask.IsLiteral(P)) {
            ++P;
            if (FMask.LiteralAt(P - 1) == Clip[I])
                continue;
            if (P >= FMaskLength)
                break;
        }
        char C = Clip[I];
        if (IsDBCSLeadByte(static_cast<BYTE>(C)) && I + 1 < Clip.size() && P + 1 < FMaskLength) {
            New[static_cast<std::size_t>(P)] = C;
            New[static_cast<std::size_t>(P + 1)] = Clip[++I];
            P += 2;
            continue;
        }
        New[static_cast<std::size_t>(P)] = FMask.Accepts(P, C) ? C : FBlankChar;
        ++P;
    }
    SetText(New);
    SetCursor(P);
    FPrevText = Old;
    SetModified(true);
    Validate();
}

void TdxInplaceMaskEdit::EMReplaceSel(TMessage& Message) {
    if (IsMasked() && Message.LParam) {
        int S, E;
        GetSel(S, E);
        if (static_cast<int>(std::strlen(reinterpret_cast<const char*>(Message.LParam))) != E - S)
            return;
    }
    InheritedDispatch(StaticClass(), Message);
}

void TdxInplaceMaskEdit::WMLButtonDown(TMessage& Message) {
    FButtonDownX = static_cast<SmallInt>(LOWORD(Message.LParam));
    InheritedDispatch(StaticClass(), Message);
}

void TdxInplaceMaskEdit::WMLButtonUp(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (!IsMasked())
        return;
    int S, E;
    GetSel(S, E);
    FCaretPosition = (S != E && static_cast<SmallInt>(LOWORD(Message.LParam)) > FButtonDownX) ? E : S;
    CheckCursor();
}

void TdxInplaceMaskEdit::WMSetFocusMask(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (IsMasked())
        CheckCursor();
}

void TdxInplaceMaskEdit::CMEnterMask(TMessage& Message) {
    if (!IsMasked() || ComponentState().Contains(csDesigning)) {
        InheritedDispatch(StaticClass(), Message);
        return;
    }
    if (!FMaskFlags.Contains(mfReEntering))
        InheritedDispatch(StaticClass(), Message);
    else
        SetActive(true);
    FMaskFlags.Exclude(mfReEntering);
    CheckCursor();
}

void TdxInplaceMaskEdit::CMTextChangedMask(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (!IsMasked() || !HandleAllocated())
        return;
    int S, E;
    GetSel(S, E);
    if (S < FMaskLength && FMask.IsLiteral(S))
        SetCursor(NextEditable(S));
}

void TdxInplaceMaskEdit::CMWantSpecialKey(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (Message.WParam == VK_ESCAPE && IsMasked() && GetModified())
        Message.Result = 1;
}

void TdxInplaceMaskEdit::CNCommandMask(TMessage& Message) {
    if (HIWORD(Message.WParam) == EN_CHANGE && !FCreating && IsMasked()) {
        std::string S = Text();
        if (static_cast<int>(S.size()) != FMaskLength) {
            SetMaskedText(S);
            SetModified(true);
        }
    }
    InheritedDispatch(StaticClass(), Message);
}
