#include "dxExEdtr.h"

#include <cfloat>
#include <cmath>

TdxInplaceCurrencyEdit::TdxInplaceCurrencyEdit(TComponent* AOwner) : TdxInplaceMaskEdit(AOwner) {
    SetControlStyle(ControlStyle().Exclude(csSetCaption));
    DecimalPlaces = 2;
    FDisplayFormat = DefaultDisplayFormat();
}

void TdxInplaceCurrencyEdit::DefineClass(TClassBuilder<TdxInplaceCurrencyEdit>& B) {
    B.Message<&TdxInplaceCurrencyEdit::WMPasteCurrency>(WM_PASTE);
    B.Message<&TdxInplaceCurrencyEdit::CMWinIniChangeCurrency>(CM_WININICHANGE);
}

std::string TdxInplaceCurrencyEdit::DefaultDisplayFormat() {
    std::string P = ",0." + std::string(CurrencyDecimals, '0');
    std::string C;
    for (char Ch : CurrencyString)
        C += (Ch == ',' || Ch == '.') ? std::string("'") + Ch + "'" : std::string(1, Ch);
    if (!C.empty())
        switch (CurrencyFormat) {
        case 0: P = C + P; break;
        case 1: P = P + C; break;
        case 2: P = C + " " + P; break;
        case 3: P = P + " " + C; break;
        default: break;
        }
    return P + ";-" + P;
}

bool TdxInplaceCurrencyEdit::ParseAmount(const std::string& S, double& Value) {
    std::string T;
    for (char Ch : S)
        if (Ch != ThousandSeparator)
            T += Ch;
    double V = 0;
    if (!TryStrToFloat(T, V) || !std::isfinite(V) || (V != 0 && std::fabs(V) < DBL_MIN))
        return false;
    Value = V;
    return true;
}

double TdxInplaceCurrencyEdit::GetValue() {
    const std::string S = Text();
    if (S.empty())
        return 0;
    double V = 0;
    return ParseAmount(S, V) ? V : FMinValue;
}

void TdxInplaceCurrencyEdit::SetValue(double X) {
    if (FMaxValue != FMinValue)
        X = std::clamp(X, FMinValue, FMaxValue);
    const std::string S = FloatToStrF(X, ffGeneral, 15, 0);
    if (S == Text())
        return;
    const bool Modified = GetModified();
    SetText(S);
    SetModified(Modified);
}

void TdxInplaceCurrencyEdit::SetMaxValue(double X) {
    X = std::max(X, FMinValue);
    if (X != FMaxValue) {
        FMaxValue = X;
        SetValue(GetValue());
    }
}

void TdxInplaceCurrencyEdit::SetMinValue(double X) {
    X = std::min(X, FMaxValue);
    if (X != FMinValue) {
        FMinValue = X;
        SetValue(GetValue());
    }
}

void TdxInplaceCurrencyEdit::SetMinMax(double Max, double Min) {
    FMinValue = std::min(Min, Max);
    FMaxValue = Max;
    SetValue(GetValue());
}

void TdxInplaceCurrencyEdit::SetStoredMinMax(double Max, double Min) {
    FStoredValues |= dxStored::MaxValue | dxStored::MinValue;
    SetMinMax(Max, Min);
}

void TdxInplaceCurrencyEdit::SetDisplayFormatValue(const std::string& S) {
    if (FDisplayFormat != S) {
        FDisplayFormat = S;
        InvalidateEditor();
    }
}

void TdxInplaceCurrencyEdit::SetDisplayFormat(const std::string& S) {
    FStoredValues |= dxStored::DisplayFormat;
    SetDisplayFormatValue(S);
}

void TdxInplaceCurrencyEdit::SetNullable(bool Value) {
    if (FNullable != Value) {
        FNullable = Value;
        InvalidateEditor();
    }
}

void TdxInplaceCurrencyEdit::SetNullString(const std::string& Value) {
    if (FNullString != Value) {
        FNullString = Value;
        InvalidateEditor();
    }
}

void TdxInplaceCurrencyEdit::RefreshDataProperties() {
    TdxInplaceMaskEdit::RefreshDataProperties();
    if (!IsStored(dxStored::DisplayFormat))
        SetDisplayFormatValue(DefaultDisplayFormat());
    const bool MaxStored = IsStored(dxStored::MaxValue), MinStored = IsStored(dxStored::MinValue);
    if (MaxStored && !MinStored)
        SetMinValue(DefaultMinValue());
    else if (MinStored && !MaxStored)
        SetMaxValue(DefaultMaxValue());
    else if (!MaxStored && !MinStored)
        SetMinMax(DefaultMaxValue(), DefaultMinValue());
}

void TdxInplaceCurrencyEdit::RestoreDefaults() {
    TdxInplaceTextEdit::RestoreDefaults();
    SetDisplayFormatValue(DefaultDisplayFormat());
    SetMinMax(DefaultMaxValue(), DefaultMinValue());
}

void TdxInplaceCurrencyEdit::ReadEditValue(Variant& Value) {
    if (FNullable && Text().empty())
        Value = Null();
    else
        TdxInplaceMaskEdit::ReadEditValue(Value);
}

void TdxInplaceCurrencyEdit::ReadDisplayValue(Variant& Value, bool FromDefinition) {
    if (FDisplayFormat.empty()) {
        TdxInplaceMaskEdit::ReadDisplayValue(Value, FromDefinition);
        return;
    }
    double N = 0;
    if (FromDefinition && FDataDefinition) {
        const Variant V = FDataDefinition->Value();
        if (V.IsNull() || V.IsEmpty() || ((V.VType() == varString || V.VType() == varOleStr) && V.AsString().empty())) {
            if (FNullable) {
                Value = FNullString;
                return;
            }
        } else
            N = V.AsDouble();
    } else {
        Variant Shown;
        TdxInplaceMaskEdit::ReadDisplayValue(Shown, FromDefinition);
        const std::string S = Shown.IsNull() ? std::string() : Shown.AsString();
        if (S.empty() && FNullable) {
            Value = FNullString;
            return;
        }
        if (!S.empty() && !ParseAmount(S, N))
            N = 0;
    }
    Value = FormatFloat(FDisplayFormat, N);
}

void TdxInplaceCurrencyEdit::Validate() {
    TdxInplaceMaskEdit::Validate();
    if (GetModified() && (!Text().empty() || !FNullable))
        SetValue(GetValue());
}

bool TdxInplaceCurrencyEdit::IsValidCurrencyChar(char Ch) {
    const bool Allowed = Ch == '+' || Ch == '-' || (Ch >= '0' && Ch <= '9') || Ch == 'E' || Ch == 'e' ||
                         Ch == DecimalSeparator || (UseThousandSeparator && Ch == ThousandSeparator);
    if (!Allowed)
        return false;
    std::string S = Text();
    int Start = 0, End = 0;
    GetSelection(Start, End);
    Start = std::min<int>(Start, static_cast<int>(S.size()));
    End = std::clamp<int>(End, Start, static_cast<int>(S.size()));
    S.erase(Start, End - Start);
    if (Ch == '-' && S.empty())
        return true;
    S.insert(S.begin() + Start, Ch);
    const std::size_t D = S.find(DecimalSeparator);
    if (D != std::string::npos) {
        const std::size_t E = S.find_first_of("Ee");
        const std::size_t Decimals = E != std::string::npos && E > D ? E - D - 1 : S.size() - D - 1;
        if (Decimals > DecimalPlaces)
            return false;
    }
    double V = 0;
    return ParseAmount(S, V);
}

void TdxInplaceCurrencyEdit::KeyPress(char& Key) {
    if (!(UseThousandSeparator && Key == ThousandSeparator) && (Key == ',' || Key == '.'))
        Key = DecimalSeparator;
    if (static_cast<unsigned char>(Key) > 31 && !IsValidCurrencyChar(Key)) {
        Key = 0;
        MessageBeep(0);
    }
    TdxInplaceMaskEdit::KeyPress(Key);
}

void TdxInplaceCurrencyEdit::WMPasteCurrency(TMessage& Message) {
    if (!IsEditable())
        return;
    const std::string Kept = Text();
    InheritedDispatch(StaticClass(), Message);
    double V = 0;
    if (!TryStrToFloat(Text(), V)) {
        SetText(Kept);
        SelectAll();
    }
}

void TdxInplaceCurrencyEdit::CMWinIniChangeCurrency(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (!IsStored(dxStored::DisplayFormat)) {
        GetFormatSettings();
        SetDisplayFormatValue(DefaultDisplayFormat());
    }
}
