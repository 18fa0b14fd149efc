#include "dxExEdtr.h"
#include "dxGrDate.h"

#include <cmath>

bool UseSystemDateConversion = false;
bool (*DateWordHook)(const std::string& Text, TDateTime& Date) = nullptr;

namespace {
bool StartsWithText(const std::string& Text, const std::string& Word) {
    return !Word.empty() && Text.size() >= Word.size() && AnsiSameText(Text.substr(0, Word.size()), Word);
}

// The framework's variant conversion wants the locale's date separator between the fields; typed
// dates may have blanks there instead (the dots are turned into blanks before the conversion), so
// the first two blank runs between digits stand for the separator when the text does not convert
// as it is.
TDateTime VariantTextToDate(const std::string& S) {
    try {
        return VarToDateTime(Variant(S));
    } catch (EVariantError&) {
        std::string T;
        int Replaced = 0;
        for (std::size_t I = 0; I < S.size(); ++I) {
            if (S[I] == ' ' && Replaced < 2 && !T.empty() && std::isdigit(static_cast<unsigned char>(T.back()))) {
                std::size_t J = I;
                while (J < S.size() && S[J] == ' ')
                    ++J;
                if (J < S.size() && std::isdigit(static_cast<unsigned char>(S[J]))) {
                    T += DateSeparator;
                    ++Replaced;
                    I = J - 1;
                    continue;
                }
            }
            T += S[I];
        }
        if (Replaced == 0)
            throw;
        return VarToDateTime(Variant(T));
    }
}

// A time of day added to a date; for dates before the base day the fraction counts backwards.
TDateTime WithTimeOf(TDateTime D, TDateTime From) {
    const TDateTime T = std::fabs(From - std::trunc(From));
    return D < 0 ? D - T : D + T;
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Date texts

bool ParseDateWord(const std::string& Text, TDateTime& Date) {
    int W = -1;
    for (int I = 0; I < 20; ++I)
        if (StartsWithText(Text, DateWords[I])) {
            W = I;
            break;
        }
    if (W < 0)
        return DateWordHook ? DateWordHook(Text, Date) : false;
    const TDateTime Today = ::Date();
    const int WeekDay = DayOfWeek(Today);  // 1 = Sunday
    Word Y = 0, M = 0, D = 0;
    DecodeDate(Today, Y, M, D);
    switch (W) {
    case 0: Date = Today; break;
    case 1: Date = Today - 1; break;
    case 2: Date = Today + 1; break;
    case 3: case 4: case 5: case 6: case 7: case 8: case 9:
        Date = Today + ((W - 3 + 1 - WeekDay + 7) % 7);
        break;
    case 10: case 11: case 12: case 13: case 14: case 15: case 16:
        Date = Today - (WeekDay - 1) + (W - 10);
        break;
    case 17: Date = EncodeDate(Y, M, 1); break;
    case 18: Date = EncodeDate(Y, M, DaysInAMonth(Y, M)); break;
    default: Date = Now(); break;
    }
    const std::string Rest = Trim(Text.substr(DateWords[W].size()));
    if (Rest.size() > 1 && (Rest[0] == '+' || Rest[0] == '-')) {
        LongInt N = 0;
        if (TryStrToInt(Trim(Rest.substr(1)), N))
            Date += Rest[0] == '+' ? N : -N;
    }
    return true;
}

bool TextToDate(const std::string& Text, TDateTime& Date) {
    std::string S = Trim(Text);
    if (S.empty())
        return false;
    if (!UseSystemDateConversion && DateSeparator == '.') {
        int N = 0;
        for (char& C : S)
            if (C == '.' && N < 2) {
                C = ' ';
                ++N;
            }
    }
    if (ParseDateWord(S, Date))
        return true;
    try {
        Date = UseSystemDateConversion ? StrToDateTime(S) : VariantTextToDate(S);
        return true;
    } catch (EConvertError&) {
        return false;
    } catch (EVariantError&) {
        return false;
    }
}

std::string LocaleDateText(TDateTime D) {
    if (D == NullDate)
        return std::string();
    if (UseSystemDateConversion)
        return DateTimeToStr(D);
    SYSTEMTIME ST{};
    DateTimeToSystemTime(D, ST);
    char Buf[100];
    std::string S;
    if (GetDateFormatA(GetThreadLocale(), 0, &ST, nullptr, Buf, sizeof(Buf)))
        S = Buf;
    if (TimeOnly(D) != 0 && GetTimeFormatA(GetThreadLocale(), 0, &ST, nullptr, Buf, sizeof(Buf)))
        S += std::string(" ") + Buf;
    return S;
}

std::string DateMaskFromFormat() {
    const std::string& F = ShortDateFormat;
    std::string Mask = "!";
    for (std::size_t I = 0; I < F.size();) {
        const char C = F[I];
        if (C == 'M' || C == 'd' || C == 'y') {
            std::size_t J = I;
            while (J < F.size() && F[J] == C)
                ++J;
            const std::size_t Run = J - I;
            Mask += Run <= 2 ? "99" : (C == 'y' ? "9999" : "lll");
            I = J;
        } else
            Mask += F[I++];
    }
    return Mask + ";1; ";
}

std::string MaskDateFormat() {
    const std::string& F = ShortDateFormat;
    std::string S;
    for (std::size_t I = 0; I < F.size(); ++I) {
        const char C = F[I];
        S += C;
        if ((C == 'd' || C == 'M') && (I == 0 || F[I - 1] != C) && (I + 1 == F.size() || F[I + 1] != C))
            S += C;
    }
    // The first run of months is cut to three letters.
    const std::size_t P = S.find('M');
    if (P != std::string::npos) {
        std::size_t E = P;
        while (E < S.size() && S[E] == 'M')
            ++E;
        if (E - P > 3)
            S.erase(P + 3, E - P - 3);
    }
    return S;
}

// ---------------------------------------------------------------------------------------------
// The editor

TdxInplaceDateEdit::TdxInplaceDateEdit(TComponent* AOwner)
    : TdxInplaceDropDownEdit(AOwner), FDateValue(NullDate), FPopupStartDate(NullDate) {
    SetControlStyle(ControlStyle().Exclude(csSetCaption));
    ForwardKeysToPopup = false;
}

TdxInplaceDateEdit::~TdxInplaceDateEdit() { FreeAndNil(FDatePopup); }

void TdxInplaceDateEdit::DefineClass(TClassBuilder<TdxInplaceDateEdit>& B) {
    B.Message<&TdxInplaceDateEdit::CMWinIniChange>(CM_WININICHANGE);
}

void TdxInplaceDateEdit::DoDateValidateInput(const std::string& Text, TDateTime& Date, bool& Error,
                                             std::string& Message) {
    OnDateValidateInput(this, Text, Date, Message, Error);
}

void TdxInplaceDateEdit::SetDateIfChanged(TDateTime D) {
    if (D == FDateValue && !FTextEdited)
        return;
    TCustomdxContainer* C = Container();
    if ((C && C->InitializingEditor()) || CanChangeValue())
        SetDateRaw(D);
}

void TdxInplaceDateEdit::SetDateRaw(TDateTime D) {
    const TDateTime Old = FDateValue;
    FDateValue = D;
    const std::string S = DateText(IsMasked(), D);
    const bool WasAssigning = FAssigningText;
    FAssigningText = true;
    try {
        SetMaskedText(S);
    } catch (...) {
        FAssigningText = WasAssigning;
        throw;
    }
    FAssigningText = WasAssigning;
    FTextEdited = false;
    if (!ChangingValue && Old != D)
        OnNewDate(this);
}

std::string TdxInplaceDateEdit::DateText(bool Masked, TDateTime D) {
    if (D == NullDate)
        return std::string();
    return Masked ? FormatDateTime(MaskDateFormat(), D) : LocaleDateText(D);
}

void TdxInplaceDateEdit::SetEditValue(const Variant& Value) {
    const bool Was = ChangingValue;
    ChangingValue = true;
    try {
        if (Value.IsNull() || Value.IsEmpty() || ((Value.VType() == varString || Value.VType() == varOleStr) && Value.AsString().empty()))
            SetDateRaw(NullDate);
        else
            SetDateRaw(VarToDateTime(Value));
    } catch (...) {
        ChangingValue = Was;
        throw;
    }
    ChangingValue = Was;
}

void TdxInplaceDateEdit::ReadEditValue(Variant& Value) {
    Value = FDateValue == NullDate ? Null() : Variant::FromDateTime(FDateValue);
}

void TdxInplaceDateEdit::GetEditingText(std::string& S) {
    S = Text();
    if (IsMasked() && S == FMask.EmptyText())
        S.clear();
}

void TdxInplaceDateEdit::Change() {
    if (ChangingValue)
        return;
    TdxInplaceDropDownEdit::Change();
    FTextEdited = true;
}

void TdxInplaceDateEdit::SetUseEditMask(bool Value) {
    if (FUseEditMask == Value)
        return;
    FUseEditMask = Value;
    ApplyDateMask();
}

void TdxInplaceDateEdit::ApplyDateMask() {
    const bool Was = ChangingValue;
    ChangingValue = true;
    try {
        FMaskFlags.Exclude(mfReEntering);
        if (FUseEditMask)
            SetStoredEditMask(DateMaskFromFormat());
        else {
            SetEditMask(std::string());
            FStoredValues &= static_cast<Word>(~dxStored::EditMask);
        }
        SetDateRaw(FDateValue);
    } catch (...) {
        ChangingValue = Was;
        throw;
    }
    ChangingValue = Was;
}

void TdxInplaceDateEdit::CMWinIniChange(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    GetFormatSettings();
    ReadFirstWeekDay();
    ApplyDateMask();
}

void TdxInplaceDateEdit::Validate() {
    TDateTime F = DateOnError == deToday ? ::Date() : NullDate;
    if (GetModified()) {
        const std::string T = Text();
        bool Error = false;
        if ((IsMasked() && T == FMask.EmptyText()) || (!IsMasked() && T.empty()))
            F = NullDate;
        else
            Error = !TextToDate(T, F);
        // Only a text that is refused is thrown away when the editor closes: a valid date must
        // reach the cell also with the strict validation on.
        bool AError = Error && DateValidation;
        std::string AMessage = InvalidDateText;
        if (!(Error && Closing))
            DoDateValidateInput(T, F, AError, AMessage);
        if ((Error || AError) && Closing) {
            Undo();
            SetText("");
            F = NullDate;
            return;
        }
        if (AError) {
            if (!ComponentState().Contains(csDesigning)) {
                FMaskFlags.Include(mfReEntering);
                if (HandleAllocated() && IsWindowVisible(FHandle))
                    ::SetFocus(FHandle);
            }
            MessageBeep(0);
            throw Exception(AMessage);
        }
        SetDateIfChanged(F);
        SetModified(true);
    }
    TdxInplaceDropDownEdit::Validate();
}

void TdxInplaceDateEdit::OpenPopup() {
    if (DroppedDown || !IsEditable())
        return;
    // A fresh popup each time, so its window is built for the current font and border.
    FreeAndNil(FDatePopup);
    FDatePopup = Create<TroDeraDatePopup>(nullptr);
    FDatePopup->OwnerEdit = this;
    ActivePopup = FDatePopup;
    DoOpenPopup();
    FDatePopup->SetPopupBorder(ResolvedPopupBorder());
    FDatePopup->SetShadow(FStyle && FStyle->Shadow());
    FDatePopup->Font()->Assign(Font());
    FDatePopup->TodayVisible = DateButtons.Contains(btnToday);
    FDatePopup->ClearVisible = DateButtons.Contains(btnClear) && !ValueRequired();
    FDatePopup->OnDateChosen = nullptr;
    TDateTime D = ::Date();
    TDateTime Parsed = 0;
    if (!(IsMasked() && Text() == FMask.EmptyText()) && TextToDate(Text(), Parsed))
        FPopupStartDate = Parsed;
    if (FPopupStartDate != NullDate)
        D = TruncDate(FPopupStartDate);
    FDatePopup->SetStartDate(D);
    FDatePopup->SelectDate(D);
    FDatePopup->OnDateChosen = TNotifyEvent::Bind<&TdxInplaceDateEdit::DateChosen>(this);
    FDatePopup->UpdatePopupSize();
    PositionPopup(FDatePopup, false);
    DroppedDown = true;
    FDatePopup->ShowPopupWindow();
}

void TdxInplaceDateEdit::DateChosen(TObject*) {
    TDateTime D = FDatePopup->SelectedDate();
    if (SaveTime && D != NullDate && FPopupStartDate != NullDate)
        D = WithTimeOf(D, FPopupStartDate);
    SetDateIfChanged(D);
    SetModified(true);
}
