// The field kinds: native buffers, conversions, display texts.
#include "DB.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

using namespace DBConsts;

namespace {
// Reads a field's native value into a local of its size; false when null.
template <class T>
bool ReadNative(const TField* Field, T& Value) {
    return Field->GetData(&Value);
}

std::string TypeNameOf(PTypeInfo Info, int Value) { return GetEnumName(Info, Value); }
}  // namespace

// ---------------------------------------------------------------------------------------------
// Type table

TFieldClass DefaultFieldClass(TFieldType FieldType) {
    switch (FieldType) {
    case ftString:
    case ftFixedChar:
        return TStringField::StaticClass();
    case ftSmallint:
        return TSmallintField::StaticClass();
    case ftInteger:
        return TIntegerField::StaticClass();
    case ftWord:
        return TWordField::StaticClass();
    case ftBoolean:
        return TBooleanField::StaticClass();
    case ftFloat:
        return TFloatField::StaticClass();
    case ftCurrency:
        return TCurrencyField::StaticClass();
    case ftBCD:
        return TBCDField::StaticClass();
    case ftDate:
        return TDateField::StaticClass();
    case ftTime:
        return TTimeField::StaticClass();
    case ftDateTime:
        return TDateTimeField::StaticClass();
    case ftBytes:
        return TBytesField::StaticClass();
    case ftVarBytes:
        return TVarBytesField::StaticClass();
    case ftAutoInc:
        return TAutoIncField::StaticClass();
    case ftBlob:
    case ftTypedBinary:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftOraBlob:
        return TBlobField::StaticClass();
    case ftMemo:
    case ftFmtMemo:
    case ftOraClob:
        return TMemoField::StaticClass();
    case ftGraphic:
        return TGraphicField::StaticClass();
    case ftWideString:
        return TWideStringField::StaticClass();
    case ftLargeint:
        return TLargeintField::StaticClass();
    case ftGuid:
        return TGuidField::StaticClass();
    case ftADT:
        return TADTField::StaticClass();
    default:
        return nullptr;
    }
}

std::string FieldTypeName(TFieldType FieldType) { return TypeNameOf(TypeInfoFor<TFieldType>(), FieldType); }

// ---------------------------------------------------------------------------------------------
// TStringField

TStringField::TStringField(TComponent* AOwner) : TField(AOwner) {
    SetDataType(ftString);
    SetSize(20);
}

void TStringField::DefineClass(TClassBuilder<TStringField>& B) {
    B.Property("FixedChar", &TStringField::FixedChar, &TStringField::SetFixedChar).Default(false);
}

void TStringField::CheckTypeSize(int Value) {
    if (Value < 0 || Value > 8192)
        DatabaseError(SInvalidFieldSize);
}

void TStringField::SetFixedChar(bool Value) {
    FFixedChar = Value;
    if (DataType() == ftString || DataType() == ftFixedChar)
        SetDataType(Value ? ftFixedChar : ftString);
}

bool TStringField::GetValue(std::string& Value) const {
    std::vector<char> Buffer(static_cast<std::size_t>(DataSize()) + 1, '\0');
    if (!GetData(Buffer.data())) {
        Value.clear();
        return false;
    }
    Value.assign(Buffer.data(), strnlen(Buffer.data(), static_cast<std::size_t>(Size())));
    return true;
}

std::string TStringField::GetAsString() const {
    std::string S;
    GetValue(S);
    return S;
}

void TStringField::SetAsStringValue(const std::string& Value) {
    // Text beyond Size is cut; a NUL would end it in the buffer anyway.
    std::vector<char> Buffer(static_cast<std::size_t>(DataSize()), '\0');
    std::size_t N = std::min(Value.size(), static_cast<std::size_t>(Size()));
    std::memcpy(Buffer.data(), Value.data(), N);
    SetData(Buffer.data());
}

LongInt TStringField::GetAsInteger() const {
    std::string S = GetAsString();
    return S.empty() ? 0 : StrToInt(Trim(S));
}

void TStringField::SetAsIntegerValue(LongInt Value) { SetAsStringValue(IntToStr(Value)); }

double TStringField::GetAsFloat() const {
    std::string S = GetAsString();
    return S.empty() ? 0.0 : StrToFloat(Trim(S));
}

void TStringField::SetAsFloatValue(double Value) { SetAsStringValue(FloatToStr(Value)); }

bool TStringField::GetAsBoolean() const {
    std::string S = GetAsString();
    return !S.empty() && (S[0] == 'T' || S[0] == 't' || S[0] == 'Y' || S[0] == 'y');
}

void TStringField::SetAsBooleanValue(bool Value) { SetAsStringValue(Value ? "T" : "F"); }

TDateTime TStringField::GetAsDateTime() const {
    std::string S = GetAsString();
    return S.empty() ? 0.0 : StrToDateTime(S);
}

void TStringField::SetAsDateTimeValue(TDateTime Value) { SetAsStringValue(DateTimeToStr(Value)); }

Variant TStringField::GetAsVariant() const {
    std::string S;
    if (!GetValue(S))
        return Null();
    return Variant(S);
}

void TStringField::SetVarValue(const Variant& Value) { SetAsStringValue(VarToStr(Value)); }

// ---------------------------------------------------------------------------------------------
// TWideStringField

TWideStringField::TWideStringField(TComponent* AOwner) : TStringField(AOwner) { SetDataType(ftWideString); }

std::wstring TWideStringField::AsWideString() const {
    std::vector<wchar_t> Buffer(static_cast<std::size_t>(Size()) + 2, L'\0');
    if (!GetData(Buffer.data()))
        return std::wstring();
    return std::wstring(Buffer.data(), wcsnlen(Buffer.data(), static_cast<std::size_t>(Size())));
}

void TWideStringField::SetAsWideString(const std::wstring& Value) {
    std::vector<wchar_t> Buffer(static_cast<std::size_t>(Size()) + 1, L'\0');
    std::size_t N = std::min(Value.size(), static_cast<std::size_t>(Size()));
    std::copy_n(Value.data(), N, Buffer.data());
    SetData(Buffer.data());
}

std::string TWideStringField::GetAsString() const { return WideToAnsi(AsWideString()); }
void TWideStringField::SetAsStringValue(const std::string& Value) { SetAsWideString(AnsiToWide(Value)); }

Variant TWideStringField::GetAsVariant() const {
    if (IsNull())
        return Null();
    return Variant(AsWideString());
}

void TWideStringField::SetVarValue(const Variant& Value) { SetAsWideString(VarToWideStr(Value)); }

// ---------------------------------------------------------------------------------------------
// TGuidField

TGuidField::TGuidField(TComponent* AOwner) : TStringField(AOwner) {
    SetDataType(ftGuid);
    SetSize(38);
}

void TGuidField::CheckTypeSize(int Value) {
    if (Value != 38)
        DatabaseError(SInvalidFieldSize);
}

// ---------------------------------------------------------------------------------------------
// TNumericField

TNumericField::TNumericField(TComponent* AOwner) : TField(AOwner) { SetAlignment(taRightJustify); }

void TNumericField::DefineClass(TClassBuilder<TNumericField>& B) {
    B.Property("Alignment", &TNumericField::Alignment, &TNumericField::SetAlignment).Default(taRightJustify);
    B.Property("DisplayFormat", &TNumericField::DisplayFormat, &TNumericField::SetDisplayFormat);
    B.Property("EditFormat", &TNumericField::EditFormat, &TNumericField::SetEditFormat);
}

void TNumericField::SetDisplayFormat(const std::string& Value) {
    if (Value == FDisplayFormat)
        return;
    FDisplayFormat = Value;
    PropertyChanged(false);
}

void TNumericField::SetEditFormat(const std::string& Value) {
    if (Value == FEditFormat)
        return;
    FEditFormat = Value;
    PropertyChanged(false);
}

const std::string& TNumericField::TextFormat(bool DisplayText) const {
    // Editing uses EditFormat when there is one, else what is shown.
    return DisplayText || FEditFormat.empty() ? FDisplayFormat : FEditFormat;
}

bool TNumericField::ClearIfEmpty(const std::string& Value) {
    if (!Value.empty())
        return false;
    Clear();
    return true;
}

void TNumericField::RangeError(const std::string& Value, const std::string& Min, const std::string& Max) const {
    DatabaseErrorFmt(SFieldRangeError, {Value, DisplayName(), Min, Max});
}

// ---------------------------------------------------------------------------------------------
// TIntegerField and the 16-bit kinds

TIntegerField::TIntegerField(TComponent* AOwner) : TNumericField(AOwner) { SetDataType(ftInteger); }

void TIntegerField::DefineClass(TClassBuilder<TIntegerField>& B) {
    B.Property("MaxValue", &TIntegerField::MaxValue, &TIntegerField::SetMaxValue).Default(0);
    B.Property("MinValue", &TIntegerField::MinValue, &TIntegerField::SetMinValue).Default(0);
}

bool TIntegerField::GetValue(LongInt& Value) const {
    Value = 0;
    return ReadNative(this, Value);
}

void TIntegerField::SetValue32(LongInt Value) { SetData(&Value); }

void TIntegerField::CheckRange(LongInt Value) const {
    LongInt Min = FTypeMin, Max = FTypeMax;
    if (FMinValue != 0 || FMaxValue != 0) {
        Min = std::max(Min, FMinValue);
        Max = std::min(Max, FMaxValue);
    }
    if (Value < Min || Value > Max)
        RangeError(IntToStr(Value), IntToStr(Min), IntToStr(Max));
}

LongInt TIntegerField::GetAsInteger() const {
    LongInt V;
    return GetValue(V) ? V : 0;
}

void TIntegerField::SetAsIntegerValue(LongInt Value) {
    CheckRange(Value);
    SetValue32(Value);
}

void TIntegerField::SetAsLargeIntValue(Int64 Value) {
    if (Value < INT32_MIN || Value > INT32_MAX)
        RangeError(IntToStr(Value), IntToStr(FTypeMin), IntToStr(FTypeMax));
    SetAsIntegerValue(static_cast<LongInt>(Value));
}

std::string TIntegerField::GetAsString() const {
    LongInt V;
    return GetValue(V) ? IntToStr(V) : std::string();
}

void TIntegerField::SetAsStringValue(const std::string& Value) {
    if (ClearIfEmpty(Value))
        return;
    LongInt V;
    if (!TryStrToInt(Value, V))
        DatabaseErrorFmt(SInvalidIntegerValue, {Value, DisplayName()});
    SetAsIntegerValue(V);
}

double TIntegerField::GetAsFloat() const { return GetAsInteger(); }

void TIntegerField::SetAsFloatValue(double Value) {
    if (!(Value >= INT32_MIN && Value <= INT32_MAX))
        RangeError(FloatToStr(Value), IntToStr(FTypeMin), IntToStr(FTypeMax));
    SetAsIntegerValue(static_cast<LongInt>(Round(Value)));
}

void TIntegerField::GetText(std::string& Text, bool DisplayText) const {
    LongInt V;
    if (!GetValue(V)) {
        Text.clear();
        return;
    }
    const std::string& Fmt = TextFormat(DisplayText);
    Text = Fmt.empty() ? IntToStr(V) : FormatFloat(Fmt, V);
}

Variant TIntegerField::GetAsVariant() const {
    LongInt V;
    if (!GetValue(V))
        return Null();
    return Variant(V);
}

void TIntegerField::SetVarValue(const Variant& Value) { SetAsLargeIntValue(Value.AsInt64()); }

TSmallintField::TSmallintField(TComponent* AOwner) : TIntegerField(AOwner) {
    SetDataType(ftSmallint);
    FTypeMin = -32768;
    FTypeMax = 32767;
}

bool TSmallintField::GetValue(LongInt& Value) const {
    SmallInt V = 0;
    bool Ok = ReadNative(this, V);
    Value = V;
    return Ok;
}

void TSmallintField::SetValue32(LongInt Value) {
    SmallInt V = static_cast<SmallInt>(Value);
    SetData(&V);
}

TWordField::TWordField(TComponent* AOwner) : TIntegerField(AOwner) {
    SetDataType(ftWord);
    FTypeMin = 0;
    FTypeMax = 65535;
}

bool TWordField::GetValue(LongInt& Value) const {
    Word V = 0;
    bool Ok = ReadNative(this, V);
    Value = V;
    return Ok;
}

void TWordField::SetValue32(LongInt Value) {
    Word V = static_cast<Word>(Value);
    SetData(&V);
}

TAutoIncField::TAutoIncField(TComponent* AOwner) : TIntegerField(AOwner) { SetDataType(ftAutoInc); }

// ---------------------------------------------------------------------------------------------
// TLargeintField

TLargeintField::TLargeintField(TComponent* AOwner) : TNumericField(AOwner) { SetDataType(ftLargeint); }

Int64 TLargeintField::GetAsLargeInt() const {
    Int64 V = 0;
    return ReadNative(this, V) ? V : 0;
}

void TLargeintField::SetAsLargeIntValue(Int64 Value) { SetData(&Value); }

LongInt TLargeintField::GetAsInteger() const {
    Int64 V = GetAsLargeInt();
    if (V < INT32_MIN || V > INT32_MAX)
        RangeError(IntToStr(V), IntToStr(INT32_MIN), IntToStr(INT32_MAX));
    return static_cast<LongInt>(V);
}

void TLargeintField::SetAsFloatValue(double Value) {
    if (!(Value >= -9.2233720368547758e18 && Value < 9.2233720368547758e18))
        RangeError(FloatToStr(Value), IntToStr(INT64_MIN), IntToStr(INT64_MAX));
    SetAsLargeIntValue(Round(Value));
}

std::string TLargeintField::GetAsString() const { return IsNull() ? std::string() : IntToStr(GetAsLargeInt()); }

void TLargeintField::SetAsStringValue(const std::string& Value) {
    if (ClearIfEmpty(Value))
        return;
    Int64 V;
    if (!TryStrToInt64(Value, V))
        DatabaseErrorFmt(SInvalidIntegerValue, {Value, DisplayName()});
    SetAsLargeIntValue(V);
}

void TLargeintField::GetText(std::string& Text, bool DisplayText) const {
    Int64 V = 0;
    if (!ReadNative(this, V)) {
        Text.clear();
        return;
    }
    const std::string& Fmt = TextFormat(DisplayText);
    Text = Fmt.empty() ? IntToStr(V) : FormatFloat(Fmt, static_cast<double>(V));
}

Variant TLargeintField::GetAsVariant() const {
    Int64 V = 0;
    if (!ReadNative(this, V))
        return Null();
    return Variant(V);
}

void TLargeintField::SetVarValue(const Variant& Value) { SetAsLargeIntValue(Value.AsInt64()); }

// ---------------------------------------------------------------------------------------------
// TFloatField and TCurrencyField

TFloatField::TFloatField(TComponent* AOwner) : TNumericField(AOwner) { SetDataType(ftFloat); }

void TFloatField::DefineClass(TClassBuilder<TFloatField>& B) {
    B.Property("Currency", &TFloatField::Currency, &TFloatField::SetCurrency).Default(false);
    B.Property("MaxValue", &TFloatField::MaxValue, &TFloatField::SetMaxValue);
    B.Property("MinValue", &TFloatField::MinValue, &TFloatField::SetMinValue);
    B.Property("Precision", &TFloatField::Precision, &TFloatField::SetPrecision).Default(15);
}

void TFloatField::SetCurrency(bool Value) {
    if (Value == FCurrency)
        return;
    FCurrency = Value;
    PropertyChanged(false);
}

void TFloatField::SetPrecision(int Value) {
    Value = std::clamp(Value, 2, 15);
    if (Value == FPrecision)
        return;
    FPrecision = Value;
    PropertyChanged(false);
}

double TFloatField::GetAsFloat() const {
    double V = 0;
    return ReadNative(this, V) ? V : 0.0;
}

void TFloatField::SetAsFloatValue(double Value) {
    if (std::isnan(Value) || ((FMinValue != 0 || FMaxValue != 0) && (Value < FMinValue || Value > FMaxValue)))
        RangeError(FloatToStr(Value), FloatToStr(FMinValue), FloatToStr(FMaxValue));
    SetData(&Value);
}

LongInt TFloatField::GetAsInteger() const {
    double V = GetAsFloat();
    if (!(V >= INT32_MIN && V <= INT32_MAX))
        RangeError(FloatToStr(V), IntToStr(INT32_MIN), IntToStr(INT32_MAX));
    return static_cast<LongInt>(Round(V));
}

Int64 TFloatField::GetAsCurrency() const { return Round(GetAsFloat() * 10000.0); }

std::string TFloatField::GetAsString() const {
    double V = 0;
    return ReadNative(this, V) ? FloatToStrF(V, ffGeneral, FPrecision, 0) : std::string();
}

void TFloatField::SetAsStringValue(const std::string& Value) {
    if (ClearIfEmpty(Value))
        return;
    double V;
    if (!TryStrToFloat(Value, V))
        DatabaseErrorFmt(SInvalidFloatValue, {Value, DisplayName()});
    SetAsFloatValue(V);
}

void TFloatField::GetText(std::string& Text, bool DisplayText) const {
    double V = 0;
    if (!ReadNative(this, V)) {
        Text.clear();
        return;
    }
    const std::string& Fmt = TextFormat(DisplayText);
    if (!Fmt.empty())
        Text = FormatFloat(Fmt, V);
    else if (DisplayText && FCurrency)
        Text = FloatToStrF(V, ffCurrency, FPrecision, CurrencyDecimals);
    else
        Text = FloatToStrF(V, ffGeneral, FPrecision, 0);
}

Variant TFloatField::GetAsVariant() const {
    double V = 0;
    if (!ReadNative(this, V))
        return Null();
    return Variant(V);
}

void TFloatField::SetVarValue(const Variant& Value) { SetAsFloatValue(Value.AsDouble()); }

TCurrencyField::TCurrencyField(TComponent* AOwner) : TFloatField(AOwner) {
    SetDataType(ftCurrency);
    SetCurrency(true);
}

// ---------------------------------------------------------------------------------------------
// BCD values

TBcd CurrToBcd(Int64 Curr, int Precision, int Decimals) {
    Decimals = std::clamp(Decimals, 0, 32);
    bool Negative = Curr < 0;
    // The magnitude as an unsigned number scaled to Decimals (half away from zero when dropping).
    std::uint64_t Mag = Negative ? 0 - static_cast<std::uint64_t>(Curr) : static_cast<std::uint64_t>(Curr);
    std::string Digits = std::to_string(Mag);
    if (Decimals < 4) {
        std::uint64_t Div = 1;
        for (int I = Decimals; I < 4; ++I)
            Div *= 10;
        Digits = std::to_string((Mag + Div / 2) / Div);
    } else
        Digits.append(static_cast<std::size_t>(Decimals - 4), '0');
    // At least one digit before the point.
    while (static_cast<int>(Digits.size()) < Decimals + 1)
        Digits.insert(Digits.begin(), '0');
    if (static_cast<int>(Digits.size()) > 64 || static_cast<int>(Digits.size()) > std::max(Precision, Decimals + 1) + 32)
        DatabaseError(SBcdOverflow);
    TBcd Result;
    Result.Precision = static_cast<Byte>(Digits.size());
    Result.SignSpecialPlaces = static_cast<Byte>((Negative && Mag != 0 ? 0x80 : 0) | Decimals);
    for (std::size_t I = 0; I < Digits.size(); ++I) {
        Byte D = static_cast<Byte>(Digits[I] - '0');
        Result.Fraction[I / 2] |= (I % 2 == 0) ? static_cast<Byte>(D << 4) : D;
    }
    return Result;
}

namespace {
std::string BcdDigits(const TBcd& Bcd) {
    std::string Digits;
    int N = std::min<int>(Bcd.Precision, 64);
    for (int I = 0; I < N; ++I) {
        Byte B = Bcd.Fraction[I / 2];
        Digits += static_cast<char>('0' + ((I % 2 == 0) ? (B >> 4) : (B & 0x0F)));
    }
    return Digits;
}
}  // namespace

Int64 BcdToCurr(const TBcd& Bcd) {
    std::string Digits = BcdDigits(Bcd);
    int Scale = Bcd.SignSpecialPlaces & 0x3F;
    // Bring the digits to four decimals: pad, or drop extra ones rounding half away from zero.
    bool RoundUp = false;
    if (Scale < 4)
        Digits.append(static_cast<std::size_t>(4 - Scale), '0');
    else if (Scale > 4) {
        std::size_t Keep = Digits.size() - static_cast<std::size_t>(Scale - 4);
        RoundUp = Keep < Digits.size() && Digits[Keep] >= '5';
        Digits.resize(Keep);
    }
    std::uint64_t Mag = 0;
    for (char C : Digits) {
        if (Mag > (UINT64_MAX - 9) / 10)
            DatabaseError(SBcdOverflow);
        Mag = Mag * 10 + static_cast<std::uint64_t>(C - '0');
    }
    Mag += RoundUp ? 1 : 0;
    bool Negative = (Bcd.SignSpecialPlaces & 0x80) != 0;
    if (Mag > static_cast<std::uint64_t>(INT64_MAX) + (Negative ? 1 : 0))
        DatabaseError(SBcdOverflow);
    return Negative ? static_cast<Int64>(0 - Mag) : static_cast<Int64>(Mag);
}

std::string CurrToStr(Int64 Curr) {
    bool Negative = Curr < 0;
    std::uint64_t Mag = Negative ? 0 - static_cast<std::uint64_t>(Curr) : static_cast<std::uint64_t>(Curr);
    std::string S = std::to_string(Mag / 10000);
    std::uint64_t Frac = Mag % 10000;
    if (Frac != 0) {
        std::string F = std::to_string(Frac);
        F.insert(F.begin(), 4 - F.size(), '0');
        while (F.back() == '0')
            F.pop_back();
        S += DecimalSeparator + F;
    }
    return Negative ? "-" + S : S;
}

Int64 StrToCurr(const std::string& S) {
    double V = StrToFloat(S);
    if (!(V > -922337203685477.0 && V < 922337203685477.0))
        throw EConvertError(SysConsts::SInvalidFloat, {S});
    return Round(V * 10000.0);
}

std::string BcdToStr(const TBcd& Bcd) { return CurrToStr(BcdToCurr(Bcd)); }

// ---------------------------------------------------------------------------------------------
// TBCDField

TBCDField::TBCDField(TComponent* AOwner) : TNumericField(AOwner) {
    SetDataType(ftBCD);
    SetSize(4);
}

void TBCDField::DefineClass(TClassBuilder<TBCDField>& B) {
    B.Property("Currency", &TBCDField::Currency, &TBCDField::SetCurrency).Default(false);
    B.Property("Precision", &TBCDField::Precision, &TBCDField::SetPrecision).Default(0);
}

void TBCDField::CheckTypeSize(int Value) {
    if (Value < 0 || Value > 32)
        DatabaseError(SInvalidFieldSize);
}

bool TBCDField::GetValue(Int64& Value) const {
    TBcd Bcd;
    if (!ReadNative(this, Bcd)) {
        Value = 0;
        return false;
    }
    Value = BcdToCurr(Bcd);
    return true;
}

Int64 TBCDField::GetAsCurrency() const {
    Int64 V;
    GetValue(V);
    return V;
}

void TBCDField::SetAsCurrencyValue(Int64 Value) {
    TBcd Bcd = CurrToBcd(Value, FPrecision > 0 ? FPrecision : 32, Size());
    if (FPrecision > 0 && Bcd.Precision > FPrecision)
        RangeError(CurrToStr(Value), "-" + std::string(static_cast<std::size_t>(FPrecision - Size()), '9'),
                   std::string(static_cast<std::size_t>(FPrecision - Size()), '9'));
    SetData(&Bcd);
}

LongInt TBCDField::GetAsInteger() const {
    Int64 V = GetAsCurrency() / 10000;
    if (V < INT32_MIN || V > INT32_MAX)
        RangeError(IntToStr(V), IntToStr(INT32_MIN), IntToStr(INT32_MAX));
    return static_cast<LongInt>(V);
}

void TBCDField::SetAsFloatValue(double Value) {
    if (!(Value > -922337203685477.0 && Value < 922337203685477.0))
        RangeError(FloatToStr(Value), "-922337203685477", "922337203685477");
    SetAsCurrencyValue(Round(Value * 10000.0));
}

std::string TBCDField::GetAsString() const {
    Int64 V;
    return GetValue(V) ? CurrToStr(V) : std::string();
}

void TBCDField::SetAsStringValue(const std::string& Value) {
    if (ClearIfEmpty(Value))
        return;
    double V;
    if (!TryStrToFloat(Value, V))
        DatabaseErrorFmt(SInvalidFloatValue, {Value, DisplayName()});
    SetAsFloatValue(V);
}

void TBCDField::GetText(std::string& Text, bool DisplayText) const {
    Int64 V;
    if (!GetValue(V)) {
        Text.clear();
        return;
    }
    const std::string& Fmt = TextFormat(DisplayText);
    if (!Fmt.empty())
        Text = FormatFloat(Fmt, static_cast<double>(V) / 10000.0);
    else if (DisplayText && FCurrency)
        Text = FloatToStrF(static_cast<double>(V) / 10000.0, ffCurrency, 18, CurrencyDecimals);
    else
        Text = CurrToStr(V);
}

Variant TBCDField::GetAsVariant() const {
    Int64 V;
    if (!GetValue(V))
        return Null();
    return Variant::FromCurrency(static_cast<double>(V) / 10000.0);
}

void TBCDField::SetVarValue(const Variant& Value) { SetAsFloatValue(Value.AsDouble()); }

// ---------------------------------------------------------------------------------------------
// TBooleanField

TBooleanField::TBooleanField(TComponent* AOwner) : TField(AOwner) {
    SetDataType(ftBoolean);
    SetDisplayValues("");
}

void TBooleanField::DefineClass(TClassBuilder<TBooleanField>& B) {
    B.Property("DisplayValues", &TBooleanField::DisplayValues, &TBooleanField::SetDisplayValues);
}

void TBooleanField::SetDisplayValues(const std::string& Value) {
    FDisplayValues = Value;
    if (Value.empty()) {
        FTextValues[1] = STextTrue;
        FTextValues[0] = STextFalse;
    } else {
        std::size_t P = Value.find(';');
        FTextValues[1] = Value.substr(0, P);
        FTextValues[0] = P == std::string::npos ? std::string() : Value.substr(P + 1);
    }
    PropertyChanged(true);
}

int TBooleanField::GetDefaultWidth() const {
    return static_cast<int>(std::max(FTextValues[0].size(), FTextValues[1].size()));
}

bool TBooleanField::GetAsBoolean() const {
    Word V = 0;
    return ReadNative(this, V) && V != 0;
}

void TBooleanField::SetAsBooleanValue(bool Value) {
    Word V = Value ? 0xFFFF : 0;  // a 16-bit true: all bits set
    SetData(&V);
}

std::string TBooleanField::GetAsString() const {
    Word V = 0;
    if (!ReadNative(this, V))
        return std::string();
    return FTextValues[V != 0 ? 1 : 0];
}

void TBooleanField::SetAsStringValue(const std::string& Value) {
    if (Value.empty()) {
        Clear();
        return;
    }
    // The leading part of either text will do ("T", "fal"); False is tried first.
    auto Matches = [&](const std::string& Text) {
        return Value.size() <= Text.size() && AnsiSameText(Value, Text.substr(0, Value.size()));
    };
    if (Matches(FTextValues[0]))
        SetAsBooleanValue(false);
    else if (Matches(FTextValues[1]))
        SetAsBooleanValue(true);
    else
        DatabaseErrorFmt(SInvalidBoolValue, {Value, DisplayName()});
}

Variant TBooleanField::GetAsVariant() const {
    Word V = 0;
    if (!ReadNative(this, V))
        return Null();
    return Variant(V != 0);
}

void TBooleanField::SetVarValue(const Variant& Value) { SetAsBooleanValue(Value.AsBoolean()); }

// ---------------------------------------------------------------------------------------------
// Dates and times

TDateTimeField::TDateTimeField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftDateTime); }

void TDateTimeField::DefineClass(TClassBuilder<TDateTimeField>& B) {
    B.Property("DisplayFormat", &TDateTimeField::DisplayFormat, &TDateTimeField::SetDisplayFormat);
}

void TDateTimeField::SetDisplayFormat(const std::string& Value) {
    if (Value == FDisplayFormat)
        return;
    FDisplayFormat = Value;
    PropertyChanged(false);
}

bool TDateTimeField::GetValue(TDateTime& Value) const {
    Value = 0;
    switch (DataType()) {
    case ftDate: {
        LongInt Days = 0;
        if (!ReadNative(this, Days))
            return false;
        Value = TimeStampToDateTime(TTimeStamp{0, Days});
        return true;
    }
    case ftTime: {
        LongInt MSecs = 0;
        if (!ReadNative(this, MSecs))
            return false;
        Value = TimeStampToDateTime(TTimeStamp{MSecs, DateDelta});
        return true;
    }
    default: {
        double MSecs = 0;
        if (!ReadNative(this, MSecs))
            return false;
        Value = TimeStampToDateTime(MSecsToTimeStamp(static_cast<Int64>(MSecs)));
        return true;
    }
    }
}

TDateTime TDateTimeField::GetAsDateTime() const {
    TDateTime V;
    GetValue(V);
    return V;
}

void TDateTimeField::SetAsDateTimeValue(TDateTime Value) {
    if (!(Value >= MinDateTime && Value < MaxDateTime + 1))
        DatabaseErrorFmt(SFieldValueError, {DisplayName()});
    TTimeStamp Stamp = DateTimeToTimeStamp(Value);
    switch (DataType()) {
    case ftDate:
        SetData(&Stamp.Date);
        break;
    case ftTime:
        SetData(&Stamp.Time);
        break;
    default: {
        double MSecs = static_cast<double>(TimeStampToMSecs(Stamp));
        SetData(&MSecs);
        break;
    }
    }
}

void TDateTimeField::GetText(std::string& Text, bool DisplayText) const {
    TDateTime V;
    if (!GetValue(V)) {
        Text.clear();
        return;
    }
    Text = FormatDateTime(DisplayText && !FDisplayFormat.empty() ? FDisplayFormat : DefaultFormat(), V);
}

std::string TDateTimeField::GetAsString() const {
    std::string S;
    GetText(S, false);
    return S;
}

void TDateTimeField::SetAsStringValue(const std::string& Value) {
    if (Value.empty()) {
        Clear();
        return;
    }
    switch (DataType()) {
    case ftDate:
        SetAsDateTimeValue(StrToDate(Value));
        break;
    case ftTime:
        SetAsDateTimeValue(StrToTime(Value));
        break;
    default:
        SetAsDateTimeValue(StrToDateTime(Value));
        break;
    }
}

Variant TDateTimeField::GetAsVariant() const {
    TDateTime V;
    if (!GetValue(V))
        return Null();
    return Variant::FromDateTime(V);
}

void TDateTimeField::SetVarValue(const Variant& Value) { SetAsDateTimeValue(VarToDateTime(Value)); }

TDateField::TDateField(TComponent* AOwner) : TDateTimeField(AOwner) { SetDataType(ftDate); }
TTimeField::TTimeField(TComponent* AOwner) : TDateTimeField(AOwner) { SetDataType(ftTime); }

// ---------------------------------------------------------------------------------------------
// Binary values

TBinaryField::TBinaryField(TComponent* AOwner) : TField(AOwner) {}

void TBinaryField::CheckTypeSize(int Value) {
    if (Value < 0 || Value > 65533)
        DatabaseError(SInvalidFieldSize);
}

bool TBinaryField::GetBytes(std::string& Bytes) const {
    Bytes.assign(static_cast<std::size_t>(DataSize()), '\0');
    if (!GetData(Bytes.data())) {
        Bytes.clear();
        return false;
    }
    return true;
}

void TBinaryField::SetBytes(const std::string& Bytes) {
    std::string Buffer(static_cast<std::size_t>(DataSize()), '\0');
    std::memcpy(Buffer.data(), Bytes.data(), std::min(Bytes.size(), Buffer.size()));
    SetData(Buffer.data());
}

std::string TBinaryField::GetAsString() const {
    std::string B;
    GetBytes(B);
    return B;
}

void TBinaryField::SetAsStringValue(const std::string& Value) { SetBytes(Value); }

void TBinaryField::GetText(std::string& Text, bool DisplayText) const {
    (void)DisplayText;
    Text = GetClassDesc();
}

Variant TBinaryField::GetAsVariant() const {
    std::string B;
    if (!GetBytes(B))
        return Null();
    return Variant(B);
}

void TBinaryField::SetVarValue(const Variant& Value) { SetBytes(VarToStr(Value)); }

TBytesField::TBytesField(TComponent* AOwner) : TBinaryField(AOwner) {
    SetDataType(ftBytes);
    SetSize(16);
}

TVarBytesField::TVarBytesField(TComponent* AOwner) : TBinaryField(AOwner) {
    SetDataType(ftVarBytes);
    SetSize(16);
}

bool TVarBytesField::GetBytes(std::string& Bytes) const {
    std::string Buffer(static_cast<std::size_t>(DataSize()), '\0');
    if (!GetData(Buffer.data())) {
        Bytes.clear();
        return false;
    }
    Word Len;
    std::memcpy(&Len, Buffer.data(), 2);
    Bytes = Buffer.substr(2, std::min<std::size_t>(Len, static_cast<std::size_t>(Size())));
    return true;
}

void TVarBytesField::SetBytes(const std::string& Bytes) {
    std::string Buffer(static_cast<std::size_t>(DataSize()), '\0');
    Word Len = static_cast<Word>(std::min(Bytes.size(), static_cast<std::size_t>(Size())));
    std::memcpy(Buffer.data(), &Len, 2);
    std::memcpy(Buffer.data() + 2, Bytes.data(), Len);
    SetData(Buffer.data());
}

// ---------------------------------------------------------------------------------------------
// Blobs

TBlobField::TBlobField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftBlob); }

void TBlobField::DefineClass(TClassBuilder<TBlobField>& B) {
    B.Property("BlobType", &TBlobField::BlobType, &TBlobField::SetBlobType);
}

void TBlobField::SetBlobType(TFieldType Value) {
    CheckInactive();
    SetDataType(Value);
}

void TBlobField::FreeBuffers() {
    if (!FModified)
        return;
    FModified = false;
    if (TDataSet* D = DataSet())
        D->CloseBlob(this);
}

int TBlobField::BlobSize() const {
    TOwned<TStream> S(DataSet()->CreateBlobStream(const_cast<TBlobField*>(this), bmRead));
    return static_cast<int>(S->Size());
}

bool TBlobField::GetIsNull() const {
    if (!DataSet() || !DataSet()->Active())
        return true;
    return BlobSize() == 0;
}

void TBlobField::SaveToStream(TStream* Stream) const {
    TOwned<TStream> S(DataSet()->CreateBlobStream(const_cast<TBlobField*>(this), bmRead));
    Stream->CopyFrom(S.get(), 0);
}

void TBlobField::LoadFromStream(TStream* Stream) {
    TOwned<TStream> S(DataSet()->CreateBlobStream(this, bmWrite));
    Stream->SetPosition(0);
    S->CopyFrom(Stream, 0);
}

void TBlobField::LoadFromFile(const std::string& FileName) {
    TFileStream F(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&F);
}

void TBlobField::SaveToFile(const std::string& FileName) const {
    TFileStream F(FileName, fmCreate);
    SaveToStream(&F);
}

void TBlobField::Clear() {
    // A stream opened only for writing starts empty; freeing it signals the change.
    TOwned<TStream> S(DataSet()->CreateBlobStream(this, bmWrite));
}

std::string TBlobField::GetAsString() const {
    if (!DataSet() || !DataSet()->Active())
        return std::string();
    TOwned<TStream> S(DataSet()->CreateBlobStream(const_cast<TBlobField*>(this), bmRead));
    std::string Result(static_cast<std::size_t>(S->Size()), '\0');
    S->SetPosition(0);
    if (!Result.empty())
        S->ReadBuffer(Result.data(), static_cast<LongInt>(Result.size()));
    return Result;
}

void TBlobField::SetAsStringValue(const std::string& Value) {
    TOwned<TStream> S(DataSet()->CreateBlobStream(this, bmWrite));
    if (!Value.empty())
        S->WriteBuffer(Value.data(), static_cast<LongInt>(Value.size()));
}

void TBlobField::GetText(std::string& Text, bool DisplayText) const {
    Text = DisplayText ? GetClassDesc() : GetAsString();
}

Variant TBlobField::GetAsVariant() const {
    if (IsNull())
        return Null();
    return Variant(GetAsString());
}

void TBlobField::SetVarValue(const Variant& Value) { SetAsStringValue(VarToStr(Value)); }

TMemoField::TMemoField(TComponent* AOwner) : TBlobField(AOwner) { SetDataType(ftMemo); }
TGraphicField::TGraphicField(TComponent* AOwner) : TBlobField(AOwner) { SetDataType(ftGraphic); }

// ---------------------------------------------------------------------------------------------
// Object fields

TObjectField::TObjectField(TComponent* AOwner) : TField(AOwner), FFields(std::make_unique<TFields>(nullptr)) {}

TObjectField::~TObjectField() { FFields->Clear(); }

void TObjectField::AddChild(TField* Field) {
    if (Field->FParentField)
        Field->FParentField->FFields->Remove(Field);
    else if (Field->FDataSet)
        Field->FDataSet->Fields()->Remove(Field);
    Field->FParentField = this;
    Field->FDataSet = DataSet();
    FFields->Add(Field);
}

bool TObjectField::GetIsNull() const {
    for (int I = 0; I < FFields->Count(); ++I)
        if (!FFields->Fields(I)->IsNull())
            return false;
    return true;
}

TADTField::TADTField(TComponent* AOwner) : TObjectField(AOwner) { SetDataType(ftADT); }

// ---------------------------------------------------------------------------------------------
// Unit start-up

void DBInitialization() {
    RegisterClasses({TStringField::StaticClass(), TWideStringField::StaticClass(), TGuidField::StaticClass(),
                     TSmallintField::StaticClass(), TIntegerField::StaticClass(), TWordField::StaticClass(),
                     TAutoIncField::StaticClass(), TLargeintField::StaticClass(), TBooleanField::StaticClass(),
                     TFloatField::StaticClass(), TCurrencyField::StaticClass(), TBCDField::StaticClass(),
                     TDateField::StaticClass(), TTimeField::StaticClass(), TDateTimeField::StaticClass(),
                     TBytesField::StaticClass(), TVarBytesField::StaticClass(), TBlobField::StaticClass(),
                     TMemoField::StaticClass(), TGraphicField::StaticClass(), TADTField::StaticClass(),
                     TDataSource::StaticClass()});
}
