#include "Mask.h"

#include <algorithm>

namespace {

constexpr char FieldSeparator = ';';

bool IsSlotChar(char C) {
    switch (C) {
    case 'L': case 'l': case 'A': case 'a': case 'C': case 'c': case '0': case '9': case '#': return true;
    default: return false;
    }
}

// The unescaped field separators among the mask's last four characters, left to right.
std::vector<std::size_t> FieldSeparators(const std::string& Mask) {
    std::vector<std::size_t> Seps;
    std::size_t From = Mask.size() > 4 ? Mask.size() - 4 : 0;
    for (std::size_t I = From; I < Mask.size(); ++I) {
        if (Mask[I] != FieldSeparator)
            continue;
        // Escaped when an odd number of backslashes stand before it.
        std::size_t N = 0;
        while (N < I && Mask[I - 1 - N] == '\\')
            ++N;
        if (N % 2 == 0)
            Seps.push_back(I);
    }
    if (Seps.size() > 2)
        Seps.erase(Seps.begin(), Seps.end() - 2);
    return Seps;
}

char ToCase(char C, int Case) {
    if (Case == 0)
        return C;
    char Buf[2] = {C, 0};
    if (Case > 0)
        CharUpperBuffA(Buf, 1);
    else
        CharLowerBuffA(Buf, 1);
    return Buf[0];
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TEditMaskInfo

TEditMaskInfo::TEditMaskInfo(const std::string& EditMask, const TFormatSettings& Settings) {
    std::string Pattern = EditMask;
    std::vector<std::size_t> Seps = FieldSeparators(EditMask);
    if (!Seps.empty()) {
        Pattern = EditMask.substr(0, Seps.front());
        std::size_t SaveEnd = Seps.size() > 1 ? Seps[1] : EditMask.size();
        FSaveLiterals = EditMask.substr(Seps.front() + 1, SaveEnd - Seps.front() - 1) != "0";
        if (Seps.size() > 1 && Seps[1] + 1 < EditMask.size())
            FBlank = EditMask[Seps[1] + 1];
    }
    int Case = 0;
    for (std::size_t I = 0; I < Pattern.size(); ++I) {
        char C = Pattern[I];
        char Next = I + 1 < Pattern.size() ? Pattern[I + 1] : '\0';
        if (C == '!') {
            FLeadingBlanks = true;
        } else if (C == '>' || C == '<') {
            if ((C == '<' && Next == '>') || (C == '>' && Next == '<')) {
                Case = 0;
                ++I;
            } else
                Case = C == '>' ? 1 : -1;
        } else if (C == '\\') {
            if (Next) {
                FPos.push_back(TPos{0, Next, 0});
                ++I;
            }
        } else if (IsSlotChar(C)) {
            FPos.push_back(TPos{C, 0, Case});
        } else if (C == '/') {
            FPos.push_back(TPos{0, Settings.DateSeparator, 0});
        } else if (C == ':') {
            FPos.push_back(TPos{0, Settings.TimeSeparator, 0});
        } else if (C == '_') {
            FPos.push_back(TPos{0, ' ', 0});
        } else {
            FPos.push_back(TPos{0, C, 0});
        }
    }
}

bool TEditMaskInfo::IsLiteral(int Pos) const {
    return Pos >= 0 && Pos < Length() && FPos[static_cast<std::size_t>(Pos)].Type == 0;
}

bool TEditMaskInfo::IsRequired(int Pos) const {
    if (Pos < 0 || Pos >= Length())
        return false;
    char T = FPos[static_cast<std::size_t>(Pos)].Type;
    return T == 'L' || T == 'A' || T == 'C' || T == '0';
}

char TEditMaskInfo::LiteralAt(int Pos) const {
    return IsLiteral(Pos) ? FPos[static_cast<std::size_t>(Pos)].Literal : '\0';
}

bool TEditMaskInfo::Accepts(int Pos, char& Ch) const {
    if (Pos < 0 || Pos >= Length() || IsLiteral(Pos))
        return false;
    const TPos& P = FPos[static_cast<std::size_t>(Pos)];
    bool Digit = Ch >= '0' && Ch <= '9';
    bool Ok = false;
    switch (P.Type) {
    case '0': case '9': Ok = Digit; break;
    case '#': Ok = Digit || Ch == ' ' || Ch == '+' || Ch == '-'; break;
    case 'L': case 'l': Ok = IsCharAlphaA(Ch) != FALSE; break;
    case 'A': case 'a': Ok = IsCharAlphaNumericA(Ch) != FALSE; break;
    case 'C': case 'c': Ok = static_cast<unsigned char>(Ch) >= 0x20; break;
    }
    if (Ok)
        Ch = ToCase(Ch, P.Case);
    return Ok;
}

int TEditMaskInfo::NextSlot(int Pos) const {
    for (int I = std::max(Pos, 0); I < Length(); ++I)
        if (!IsLiteral(I))
            return I;
    return Length();
}

int TEditMaskInfo::PrevSlot(int Pos) const {
    for (int I = std::min(Pos, Length() - 1); I >= 0; --I)
        if (!IsLiteral(I))
            return I;
    return -1;
}

std::string TEditMaskInfo::EmptyText() const {
    std::string S;
    for (const TPos& P : FPos)
        S += P.Type ? FBlank : P.Literal;
    return S;
}

std::string TEditMaskInfo::FormatValue(const std::string& Value) const {
    std::string S = EmptyText();
    int N = Length();
    int VLen = static_cast<int>(Value.size());
    // With "!" the value fills the slots from the end, so a short one ends up right-aligned.
    int Step = FLeadingBlanks ? -1 : 1;
    int P = FLeadingBlanks ? N - 1 : 0;
    int V = FLeadingBlanks ? VLen - 1 : 0;
    for (; P >= 0 && P < N; P += Step) {
        bool HaveValue = V >= 0 && V < VLen;
        if (IsLiteral(P)) {
            if (HaveValue && Value[static_cast<std::size_t>(V)] == LiteralAt(P))
                V += Step;
            continue;
        }
        if (!HaveValue)
            continue;
        char C = Value[static_cast<std::size_t>(V)];
        V += Step;
        if (C != ' ' && C != FBlank && Accepts(P, C))
            S[static_cast<std::size_t>(P)] = C;
    }
    return S;
}

std::string TEditMaskInfo::PadLiterals(const std::string& Value) const {
    std::string S = EmptyText();
    int N = Length();
    std::size_t V = 0;
    int P = 0;
    while (P < N) {
        if (IsLiteral(P)) {
            if (V < Value.size() && Value[V] == LiteralAt(P))
                ++V;
            ++P;
            continue;
        }
        // A run of slots and its part of the value: up to the literal that follows the run.
        int RunEnd = P;
        while (RunEnd < N && !IsLiteral(RunEnd))
            ++RunEnd;
        char Stop = RunEnd < N ? LiteralAt(RunEnd) : '\0';
        std::size_t PartEnd = Stop ? Value.find(Stop, V) : std::string::npos;
        if (PartEnd == std::string::npos)
            PartEnd = Value.size();
        std::string Part = Value.substr(V, PartEnd - V);
        V = PartEnd;
        int Run = RunEnd - P;
        if (static_cast<int>(Part.size()) > Run)
            Part.resize(static_cast<std::size_t>(Run));
        int Offset = FLeadingBlanks ? Run - static_cast<int>(Part.size()) : 0;
        for (std::size_t I = 0; I < Part.size(); ++I) {
            int At = P + Offset + static_cast<int>(I);
            char C = Part[I];
            if (C != ' ' && C != FBlank && Accepts(At, C))
                S[static_cast<std::size_t>(At)] = C;
        }
        P = RunEnd;
    }
    return S;
}

std::string TEditMaskInfo::Strip(const std::string& EditText) const {
    std::string S;
    for (int P = 0; P < Length() && P < static_cast<int>(EditText.size()); ++P)
        if (!IsLiteral(P))
            S += EditText[static_cast<std::size_t>(P)];
    auto IsBlank = [this](char C) { return C == FBlank || C == ' '; };
    if (FLeadingBlanks) {
        std::size_t First = 0;
        while (First < S.size() && IsBlank(S[First]))
            ++First;
        S.erase(0, First);
    } else {
        while (!S.empty() && IsBlank(S.back()))
            S.pop_back();
    }
    std::replace(S.begin(), S.end(), FBlank, ' ');
    return S;
}

std::string TEditMaskInfo::TextOf(const std::string& EditText) const {
    std::string Value = Strip(EditText);
    if (!FSaveLiterals)
        return Value;
    // Literals in place, empty slots as spaces.
    std::string S = FormatValue(Value);
    std::replace(S.begin(), S.end(), FBlank, ' ');
    return S;
}

std::string TEditMaskInfo::EditTextOf(const std::string& Text) const {
    return FSaveLiterals ? PadLiterals(Text) : FormatValue(Text);
}

int TEditMaskInfo::FirstInvalid(const std::string& EditText) const {
    for (int P = 0; P < Length(); ++P) {
        if (!IsRequired(P))
            continue;
        char C = P < static_cast<int>(EditText.size()) ? EditText[static_cast<std::size_t>(P)] : FBlank;
        if (C == FBlank || (C == ' ' && FPos[static_cast<std::size_t>(P)].Type != 'C'))
            return P;
    }
    return -1;
}

std::string FormatMaskText(const std::string& EditMask, const std::string& Value) {
    TEditMaskInfo Info(EditMask);
    if (!Info.IsMasked())
        return Value;
    return Info.TextOf(Info.EditTextOf(Value));
}

// ---------------------------------------------------------------------------------------------
// TCustomMaskEdit

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

void TCustomMaskEdit::DefineClass(TClassBuilder<TCustomMaskEdit>& B) {
    B.Property("EditMask", &TCustomMaskEdit::EditMask, &TCustomMaskEdit::SetEditMask).TypeName("TEditMask");
    B.Property("Text", [](TCustomMaskEdit* E) { return E->Text(); },
               [](TCustomMaskEdit* E, const std::string& V) { E->SetText(V); })
        .TypeName("TMaskedText");
    B.Message<&TCustomMaskEdit::CMExit>(CM_EXIT);
    B.Message<&TCustomMaskEdit::CMWantSpecialKey>(CM_WANTSPECIALKEY);
    B.Message<&TCustomMaskEdit::WMPaste>(WM_PASTE);
    B.Message<&TCustomMaskEdit::WMCutClear>(WM_CUT);
    B.Message<&TCustomMaskEdit::WMCutClear>(WM_CLEAR);
    B.Message<&TCustomMaskEdit::WMLButtonUp>(WM_LBUTTONUP);
}

void TCustomMaskEdit::SetEditMask(const std::string& Value) {
    if (Value == FEditMask)
        return;
    // The value carries over into the new mask, without the old one's literals.
    std::string Old = IsMasked() ? FMask.Strip(EditText()) : TCustomEdit::Text();
    FEditMask = Value;
    FMask = TEditMaskInfo(Value);
    TCustomEdit::SetMaxLength(IsMasked() ? FMask.Length() : FUserMaxLength);
    TCustomEdit::SetText(IsMasked() ? FMask.FormatValue(Old) : Old);
    if (HandleAllocated() && Focused()) {
        // Editing goes on from the text in the new mask: that is what Escape comes back to.
        FOldValue = EditText();
        SetCursor(0);
    }
}

void TCustomMaskEdit::SetMaxLength(int Value) {
    if (Value < 0)
        return;
    // The mask decides the length while there is one.
    FUserMaxLength = Value;
    if (!IsMasked())
        TCustomEdit::SetMaxLength(Value);
}

std::string TCustomMaskEdit::Text() { return IsMasked() ? FMask.TextOf(EditText()) : TCustomEdit::Text(); }

void TCustomMaskEdit::SetText(const std::string& Value) {
    TCustomEdit::SetText(IsMasked() ? FMask.EditTextOf(Value) : Value);
}

void TCustomMaskEdit::SetEditText(const std::string& Value) {
    if (IsMasked() && static_cast<int>(Value.size()) != FMask.Length())
        TCustomEdit::SetText(FMask.FormatValue(FMask.Strip(Value)));
    else
        TCustomEdit::SetText(Value);
}

void TCustomMaskEdit::CreateWnd() {
    TCustomEdit::CreateWnd();
    if (IsMasked())
        SendMessageA(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(FMask.Length()), 0);
}

void TCustomMaskEdit::SetCursor(int Pos) {
    if (!HandleAllocated())
        return;
    int N = FMask.Length();
    int P = std::clamp(FMask.NextSlot(Pos), 0, N);
    SendMessageA(FHandle, EM_SETSEL, static_cast<WPARAM>(P), P < N ? P + 1 : P);
}

void TCustomMaskEdit::SelectedRange(int& Start, int& End) {
    DWORD S = 0, E = 0;
    if (HandleAllocated())
        SendMessageA(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&S), reinterpret_cast<LPARAM>(&E));
    Start = static_cast<int>(S);
    End = static_cast<int>(E);
}

void TCustomMaskEdit::BlankRange(std::string& S, int Start, int End) const {
    for (int P = std::max(Start, 0); P < End && P < static_cast<int>(S.size()); ++P)
        if (!FMask.IsLiteral(P))
            S[static_cast<std::size_t>(P)] = FMask.Blank();
}

void TCustomMaskEdit::ApplyEdit(const std::string& S, int Caret) {
    if (S != EditText())
        TCustomEdit::SetText(S);
    // Setting the window's text clears its modified flag; the user changed it.
    SetModified(true);
    SetCursor(Caret);
}

bool TCustomMaskEdit::InputChar(char Ch) {
    int Start, End;
    SelectedRange(Start, End);
    std::string S = EditText();
    if (End - Start > 1) {
        BlankRange(S, Start, End);
        End = Start;
    }
    int P = FMask.NextSlot(Start);
    if (P >= FMask.Length())
        return false;
    char C = Ch;
    if (FMask.Accepts(P, C)) {
        S[static_cast<std::size_t>(P)] = C;
        ApplyEdit(S, P + 1);
        return true;
    }
    // A separator typed where the value skips ahead: the caret goes behind the next such literal.
    for (int L = P + 1; L < FMask.Length(); ++L)
        if (FMask.IsLiteral(L) && FMask.LiteralAt(L) == Ch) {
            ApplyEdit(S, L + 1);
            return true;
        }
    return false;
}

void TCustomMaskEdit::DeleteKeys(bool Backward) {
    int Start, End;
    SelectedRange(Start, End);
    std::string S = EditText();
    if (End - Start > 1) {
        BlankRange(S, Start, End);
        ApplyEdit(S, Start);
        return;
    }
    int P = Backward ? FMask.PrevSlot(Start - 1) : FMask.NextSlot(Start);
    if (P < 0 || P >= FMask.Length())
        return;
    BlankRange(S, P, P + 1);
    ApplyEdit(S, Backward ? P : Start);
}

void TCustomMaskEdit::KeyDown(Word& Key, TShiftState Shift) {
    TCustomEdit::KeyDown(Key, Shift);
    if (!IsMasked() || Key == 0 || Shift.Contains(ssAlt))
        return;
    if (Key == VK_DELETE && !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl)) {
        if (!ReadOnly())
            DeleteKeys(false);
        Key = 0;
    }
}

void TCustomMaskEdit::KeyPress(char& Key) {
    TCustomEdit::KeyPress(Key);
    if (!IsMasked() || Key == 0)
        return;
    auto K = static_cast<unsigned char>(Key);
    if (K == VK_ESCAPE) {
        Reset();
        Key = 0;
    } else if (K == VK_BACK) {
        if (!ReadOnly())
            DeleteKeys(true);
        Key = 0;
    } else if (K >= 0x20) {
        if (ReadOnly() || !InputChar(Key))
            MessageBeep(0);
        Key = 0;
    }
    // Other control characters (copy, paste, cut, undo) go on to the edit and its handlers.
}

void TCustomMaskEdit::DoEnter() {
    FOldValue = EditText();
    TCustomEdit::DoEnter();
    if (IsMasked() && SelLength() == 0)
        SetCursor(SelStart());
}

void TCustomMaskEdit::Reset() {
    if (!Modified())
        return;
    TCustomEdit::SetText(FOldValue);
    SetModified(false);
    SetCursor(0);
}

void TCustomMaskEdit::ValidateEdit() {
    if (!IsMasked())
        return;
    int Pos = FMask.FirstInvalid(EditText());
    if (Pos < 0)
        return;
    if (HandleAllocated() && !Focused() && CanFocus())
        SetFocus();
    SetCursor(Pos);
    ValidateError();
}

void TCustomMaskEdit::ValidateError() {
    MessageBeep(0);
    throw EDBEditError(MaskConsts::SMaskEditErr);
}

void TCustomMaskEdit::CMExit(TMessage& Message) {
    // An unfinished value keeps the focus here and is reported; Escape abandons it.
    if (IsMasked() && Modified())
        ValidateEdit();
    InheritedDispatch(StaticClass(), Message);
}

void TCustomMaskEdit::CMWantSpecialKey(TMessage& Message) {
    if (Message.WParam == VK_ESCAPE && IsMasked() && Modified()) {
        Message.Result = 1;
        return;
    }
    InheritedDispatch(StaticClass(), Message);
}

void TCustomMaskEdit::WMPaste(TMessage& Message) {
    if (!IsMasked()) {
        InheritedDispatch(StaticClass(), Message);
        return;
    }
    if (ReadOnly() || !OpenClipboard(FHandle))
        return;
    std::string Clip;
    if (HANDLE Data = GetClipboardData(CF_TEXT)) {
        if (const char* P = static_cast<const char*>(GlobalLock(Data))) {
            Clip = P;
            GlobalUnlock(Data);
        }
    }
    CloseClipboard();
    int Start, End;
    SelectedRange(Start, End);
    std::string S = EditText();
    BlankRange(S, Start, End);
    // Typed into the slots from the selection on; a refused character leaves its slot blank.
    int P = Start;
    for (char Ch : Clip) {
        P = FMask.NextSlot(P);
        if (P >= FMask.Length())
            break;
        char C = Ch;
        if (FMask.Accepts(P, C))
            S[static_cast<std::size_t>(P)] = C;
        ++P;
    }
    ApplyEdit(S, P);
}

void TCustomMaskEdit::WMCutClear(TMessage& Message) {
    if (!IsMasked()) {
        InheritedDispatch(StaticClass(), Message);
        return;
    }
    if (ReadOnly())
        return;
    if (Message.Msg == WM_CUT)
        SendMessageA(FHandle, WM_COPY, 0, 0);
    int Start, End;
    SelectedRange(Start, End);
    std::string S = EditText();
    BlankRange(S, Start, End);
    ApplyEdit(S, Start);
}

void TCustomMaskEdit::WMLButtonUp(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    // A click puts the caret on a slot, never between slots or on a literal.
    if (IsMasked() && SelLength() == 0)
        SetCursor(SelStart());
}

void MaskInitialization() { RegisterClasses({TMaskEdit::StaticClass()}); }
