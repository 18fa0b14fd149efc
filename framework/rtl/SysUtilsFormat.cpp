// Format, the float texts (FloatToStrF, FormatFloat) and StrToFloat of the SysUtils unit.
#include "SysUtils.h"

#include <charconv>
#include <cmath>
#include <cstring>

using namespace SysConsts;

namespace {

// A value as decimal digits: Value = 0.Digits x 10^Exponent, Digits without trailing zeros
// ("" for zero). Rounded half away from zero, on the 18 significant digits of the double, as
// the platform's extended-precision decimal conversion rounds.
struct TFloatRec {
    bool Negative = false;
    int Exponent = 0;
    std::string Digits;
};

constexpr int MaxDigits = 18;

// Rounds to at most Precision significant digits and at most Decimals digits after the point.
TFloatRec FloatToDecimal(double Value, int Precision, int Decimals) {
    TFloatRec R;
    R.Negative = std::signbit(Value);
    double A = std::fabs(Value);
    if (A == 0)
        return R;
    char Buf[64];
    auto Res = std::to_chars(Buf, Buf + sizeof Buf, A, std::chars_format::scientific, MaxDigits - 1);
    std::string_view Text(Buf, static_cast<size_t>(Res.ptr - Buf));
    size_t E = Text.find('e');
    std::string Digits;
    for (char C : Text.substr(0, E))
        if (C >= '0' && C <= '9')
            Digits += C;
    int Exp10 = 0;
    std::from_chars(Text.data() + E + (Text[E + 1] == '+' ? 2 : 1), Text.data() + Text.size(), Exp10);
    R.Exponent = Exp10 + 1;
    if (Precision > MaxDigits)
        Precision = MaxDigits;
    long Keep = Precision;
    if (static_cast<long>(R.Exponent) + Decimals < Keep)
        Keep = static_cast<long>(R.Exponent) + Decimals;
    if (Keep < 0) {
        R.Digits.clear();
        R.Negative = false;
        return R;
    }
    bool Up = static_cast<size_t>(Keep) < Digits.size() && Digits[static_cast<size_t>(Keep)] >= '5';
    Digits.resize(static_cast<size_t>(Keep));
    if (Up) {
        int I = static_cast<int>(Keep) - 1;
        while (I >= 0 && Digits[static_cast<size_t>(I)] == '9')
            Digits[static_cast<size_t>(I--)] = '0';
        if (I >= 0)
            ++Digits[static_cast<size_t>(I)];
        else {
            Digits.insert(Digits.begin(), '1');
            ++R.Exponent;
        }
    }
    while (!Digits.empty() && Digits.back() == '0')
        Digits.pop_back();
    if (Digits.empty()) {
        R.Negative = false;
        R.Exponent = 0;
    }
    R.Digits = Digits;
    return R;
}

std::string GroupThousands(const std::string& IntDigits, char Sep) {
    std::string R;
    int N = static_cast<int>(IntDigits.size());
    for (int I = 0; I < N; ++I) {
        R += IntDigits[static_cast<size_t>(I)];
        int Left = N - I - 1;
        if (Left > 0 && Left % 3 == 0)
            R += Sep;
    }
    return R;
}

// The digits of R before the point ("0" when none) and exactly Decimals after it.
void SplitFixed(const TFloatRec& R, int Decimals, std::string& IntPart, std::string& FracPart) {
    IntPart.clear();
    FracPart.clear();
    for (int I = 0; I < R.Exponent; ++I)
        IntPart += I < static_cast<int>(R.Digits.size()) ? R.Digits[static_cast<size_t>(I)] : '0';
    if (IntPart.empty())
        IntPart = "0";
    for (int I = 0; I < Decimals; ++I) {
        int Index = R.Exponent + I;
        FracPart += Index >= 0 && Index < static_cast<int>(R.Digits.size()) ? R.Digits[static_cast<size_t>(Index)] : '0';
    }
}

std::string ExponentText(int Exponent, int MinDigits, bool AlwaysSign) {
    std::string R = "E";
    if (Exponent < 0)
        R += '-';
    else if (AlwaysSign)
        R += '+';
    std::string D = std::to_string(Exponent < 0 ? -Exponent : Exponent);
    if (static_cast<int>(D.size()) < MinDigits)
        D.insert(0, static_cast<size_t>(MinDigits) - D.size(), '0');
    return R + D;
}

std::string SpecialText(double Value) {
    if (std::isnan(Value))
        return "NAN";
    return Value < 0 ? "-INF" : "INF";
}

std::string FormatGeneral(const TFloatRec& R, int Precision, int Digits, char DecSep) {
    if (R.Digits.empty())
        return "0";
    std::string S = R.Negative ? "-" : "";
    if (R.Exponent > Precision || R.Exponent < -3) {
        S += R.Digits[0];
        if (R.Digits.size() > 1)
            S += DecSep + R.Digits.substr(1);
        return S + ExponentText(R.Exponent - 1, Digits, false);
    }
    if (R.Exponent <= 0)
        return S + "0" + DecSep + std::string(static_cast<size_t>(-R.Exponent), '0') + R.Digits;
    std::string IntPart, FracPart;
    SplitFixed(R, static_cast<int>(R.Digits.size()) - R.Exponent, IntPart, FracPart);
    S += IntPart;
    if (!FracPart.empty())
        S += DecSep + FracPart;
    return S;
}

// Currency placement: '$' stands for the currency string, '1' for the number.
const char* const PositiveCurrency[4] = {"$1", "1$", "$ 1", "1 $"};
const char* const NegativeCurrency[16] = {"($1)", "-$1",  "$-1",  "$1-",  "(1$)",  "-1$",  "1-$",   "1$-",
                                          "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};

std::string PlaceCurrency(const std::string& Number, bool Negative, const TFormatSettings& FS) {
    const char* Pattern = Negative ? NegativeCurrency[FS.NegCurrFormat & 15] : PositiveCurrency[FS.CurrencyFormat & 3];
    std::string R;
    for (const char* P = Pattern; *P; ++P) {
        if (*P == '$')
            R += FS.CurrencyString;
        else if (*P == '1')
            R += Number;
        else
            R += *P;
    }
    return R;
}

}  // namespace

std::string FloatToStrF(double Value, TFloatFormat Fmt, int Precision, int Digits, const TFormatSettings& FS) {
    if (!std::isfinite(Value))
        return SpecialText(Value);
    if (Precision < 1)
        Precision = 1;
    if (Precision > MaxDigits)
        Precision = MaxDigits;
    switch (Fmt) {
    case ffGeneral:
        return FormatGeneral(FloatToDecimal(Value, Precision, 9999), Precision, Digits < 0 ? 0 : (Digits > 4 ? 4 : Digits),
                             FS.DecimalSeparator);
    case ffExponent: {
        TFloatRec R = FloatToDecimal(Value, Precision, 9999);
        std::string Mantissa = R.Digits;
        Mantissa.resize(static_cast<size_t>(Precision), '0');
        std::string S = R.Negative ? "-" : "";
        S += Mantissa[0];
        if (Precision > 1)
            S += FS.DecimalSeparator + Mantissa.substr(1);
        return S + ExponentText(R.Digits.empty() ? 0 : R.Exponent - 1, Digits < 0 ? 0 : (Digits > 4 ? 4 : Digits), true);
    }
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
        if (Digits < 0)
            Digits = 0;
        if (Digits > MaxDigits)
            Digits = MaxDigits;
        TFloatRec R = FloatToDecimal(Value, Precision, Digits);
        if (R.Exponent > Precision)  // more integer digits than the precision holds
            return FormatGeneral(FloatToDecimal(Value, Precision, 9999), Precision, 0, FS.DecimalSeparator);
        std::string IntPart, FracPart;
        SplitFixed(R, Digits, IntPart, FracPart);
        if (Fmt != ffFixed)
            IntPart = GroupThousands(IntPart, FS.ThousandSeparator);
        std::string Number = IntPart;
        if (!FracPart.empty())
            Number += FS.DecimalSeparator + FracPart;
        if (Fmt == ffCurrency)
            return PlaceCurrency(Number, R.Negative, FS);
        return R.Negative ? "-" + Number : Number;
    }
    }
    return {};
}

std::string FloatToStrF(double Value, TFloatFormat Fmt, int Precision, int Digits) {
    return FloatToStrF(Value, Fmt, Precision, Digits, FormatSettings);
}

std::string FloatToStr(double Value, const TFormatSettings& FS) { return FloatToStrF(Value, ffGeneral, 15, 0, FS); }
std::string FloatToStr(double Value) { return FloatToStr(Value, FormatSettings); }

// ---------------------------------------------------------------------------------------------
// FormatFloat

namespace {

// One ";" section of a picture format, split off with its quotes kept.
std::vector<std::string_view> SplitSections(std::string_view Fmt) {
    std::vector<std::string_view> Sections;
    size_t Start = 0;
    char Quote = 0;
    for (size_t I = 0; I < Fmt.size(); ++I) {
        char C = Fmt[I];
        if (Quote) {
            if (C == Quote)
                Quote = 0;
        } else if (C == '"' || C == '\'')
            Quote = C;
        else if (C == ';') {
            Sections.push_back(Fmt.substr(Start, I - Start));
            Start = I + 1;
        }
    }
    Sections.push_back(Fmt.substr(Start));
    return Sections;
}

struct TPicture {
    int IntPlaces = 0;   // digit placeholders before the point
    int IntMin = 0;      // of them, from the first "0" on
    int FracPlaces = 0;  // placeholders after the point
    int FracMin = 0;     // up to the last "0" after the point
    bool Thousands = false;
    bool Scientific = false;
    int ExpDigits = 0;
};

bool IsExponentAt(std::string_view S, size_t I) {
    return (S[I] == 'E' || S[I] == 'e') && I + 1 < S.size() && (S[I + 1] == '+' || S[I + 1] == '-');
}

TPicture ScanPicture(std::string_view S) {
    TPicture P;
    bool AfterPoint = false;
    int FirstZero = -1;
    for (size_t I = 0; I < S.size(); ++I) {
        char C = S[I];
        if (C == '"' || C == '\'') {
            size_t End = S.find(C, I + 1);
            I = End == std::string_view::npos ? S.size() : End;
        } else if (C == '0' || C == '#') {
            if (AfterPoint) {
                ++P.FracPlaces;
                if (C == '0')
                    P.FracMin = P.FracPlaces;
            } else {
                if (C == '0' && FirstZero < 0)
                    FirstZero = P.IntPlaces;
                ++P.IntPlaces;
            }
        } else if (C == '.')
            AfterPoint = true;
        else if (C == ',')
            P.Thousands = true;
        else if (!P.Scientific && IsExponentAt(S, I)) {
            P.Scientific = true;
            I += 2;
            while (I < S.size() && S[I] == '0') {
                ++P.ExpDigits;
                ++I;
            }
            --I;
        }
    }
    if (FirstZero >= 0)
        P.IntMin = P.IntPlaces - FirstZero;
    if (P.ExpDigits > 4)
        P.ExpDigits = 4;
    return P;
}

// The picture applied to |Value|; Rec receives the rounding, so that the caller can see a zero.
std::string ApplyPicture(std::string_view S, double Value, const TFormatSettings& FS, TFloatRec& Rec) {
    TPicture P = ScanPicture(S);
    std::string IntDigits, FracDigits;
    int Exponent = 0;
    if (P.Scientific) {
        int Precision = P.IntPlaces + P.FracPlaces;
        Rec = FloatToDecimal(Value, Precision < 1 ? 1 : Precision, 9999);
        int IntCount = P.IntPlaces;
        for (int I = 0; I < IntCount; ++I)
            IntDigits += I < static_cast<int>(Rec.Digits.size()) ? Rec.Digits[static_cast<size_t>(I)] : '0';
        for (size_t I = static_cast<size_t>(IntCount); I < Rec.Digits.size(); ++I)
            FracDigits += Rec.Digits[I];
        Exponent = Rec.Digits.empty() ? 0 : Rec.Exponent - IntCount;
        // Leading placeholders the value does not fill stay empty ("#") or zero ("0").
        size_t Lead = IntDigits.find_first_not_of('0');
        if (Lead == std::string::npos)
            Lead = IntDigits.size();
        if (static_cast<int>(IntDigits.size() - Lead) < P.IntMin)
            Lead = IntDigits.size() - static_cast<size_t>(P.IntMin);
        IntDigits.erase(0, Lead);
    } else {
        Rec = FloatToDecimal(Value, MaxDigits, P.FracPlaces);
        for (int I = 0; I < Rec.Exponent; ++I)
            IntDigits += I < static_cast<int>(Rec.Digits.size()) ? Rec.Digits[static_cast<size_t>(I)] : '0';
        for (int I = 0; I < P.FracPlaces; ++I) {
            int Index = Rec.Exponent + I;
            FracDigits += Index >= 0 && Index < static_cast<int>(Rec.Digits.size()) ? Rec.Digits[static_cast<size_t>(Index)] : '0';
        }
        if (static_cast<int>(IntDigits.size()) < P.IntMin)
            IntDigits.insert(0, static_cast<size_t>(P.IntMin) - IntDigits.size(), '0');
    }
    while (static_cast<int>(FracDigits.size()) > P.FracMin && !FracDigits.empty() && FracDigits.back() == '0')
        FracDigits.pop_back();
    if (static_cast<int>(FracDigits.size()) > P.FracPlaces)
        FracDigits.resize(static_cast<size_t>(P.FracPlaces));

    // Integer digits go right-aligned onto the integer placeholders; any excess goes with the first.
    std::string Out;
    int IntLeft = static_cast<int>(IntDigits.size());  // digits not yet written
    int PlacesLeft = P.IntPlaces;
    size_t NextDigit = 0;
    auto EmitIntDigits = [&](int Count) {
        for (int K = 0; K < Count; ++K) {
            Out += IntDigits[NextDigit++];
            --IntLeft;
            if (P.Thousands && IntLeft > 0 && IntLeft % 3 == 0)
                Out += FS.ThousandSeparator;
        }
    };
    bool AfterPoint = false;
    size_t FracNext = 0;
    bool IntFlushed = false;
    auto FlushInt = [&]() {  // before the point when the picture has no integer placeholders
        if (!IntFlushed && PlacesLeft == 0) {
            EmitIntDigits(IntLeft);
            IntFlushed = true;
        }
    };
    for (size_t I = 0; I < S.size(); ++I) {
        char C = S[I];
        if (C == '"' || C == '\'') {
            size_t End = S.find(C, I + 1);
            if (End == std::string_view::npos)
                End = S.size();
            Out.append(S.substr(I + 1, End - I - 1));
            I = End;
        } else if (C == '0' || C == '#') {
            if (AfterPoint) {
                if (FracNext < FracDigits.size())
                    Out += FracDigits[FracNext++];
            } else {
                int Count = IntLeft - (PlacesLeft - 1);  // what this placeholder carries
                if (Count > 0)
                    EmitIntDigits(Count);
                --PlacesLeft;
            }
        } else if (C == '.') {
            if (!AfterPoint) {
                FlushInt();
                AfterPoint = true;
                if (!FracDigits.empty())
                    Out += FS.DecimalSeparator;
            }
        } else if (C == ',') {
        } else if (P.Scientific && IsExponentAt(S, I)) {
            FlushInt();
            Out += C;
            Out += ExponentText(Exponent, P.ExpDigits, S[I + 1] == '+').substr(1);
            I += 2;
            while (I < S.size() && S[I] == '0')
                ++I;
            --I;
        } else
            Out += C;
    }
    FlushInt();
    return Out;
}

}  // namespace

std::string FormatFloat(std::string_view Fmt, double Value, const TFormatSettings& FS) {
    if (!std::isfinite(Value))
        return SpecialText(Value);
    std::vector<std::string_view> Sections = SplitSections(Fmt);
    if (Fmt.empty())
        return FloatToStr(Value, FS);
    auto Has = [&](size_t I) { return I < Sections.size() && !Sections[I].empty(); };
    size_t Index = Value < 0 && Has(1) ? 1 : 0;
    if (Value == 0 && Has(2))
        Index = 2;
    TFloatRec Rec;
    std::string Text = ApplyPicture(Sections[Index], std::fabs(Value), FS, Rec);
    if (Rec.Digits.empty() && Index != 2 && Has(2))  // rounds to zero
        return ApplyPicture(Sections[2], 0.0, FS, Rec);
    bool HasPlaceholder = Sections[Index].find_first_of("0#") != std::string_view::npos;
    if (Index == 0 && Value < 0 && (!Rec.Digits.empty() || !HasPlaceholder))
        Text.insert(Text.begin(), '-');
    return Text;
}

std::string FormatFloat(std::string_view Fmt, double Value) { return FormatFloat(Fmt, Value, FormatSettings); }

// ---------------------------------------------------------------------------------------------
// StrToFloat

bool TryStrToFloat(std::string_view S, double& Value, const TFormatSettings& FS) {
    size_t I = 0, N = S.size();
    while (I < N && S[I] == ' ')
        ++I;
    while (N > I && S[N - 1] == ' ')
        --N;
    std::string Text;
    if (I < N && (S[I] == '+' || S[I] == '-')) {
        if (S[I] == '-')
            Text += '-';
        ++I;
    }
    int Digits = 0;
    bool Point = false;
    for (; I < N; ++I) {
        char C = S[I];
        if (C >= '0' && C <= '9') {
            Text += C;
            ++Digits;
        } else if (C == FS.DecimalSeparator && !Point) {
            Text += '.';
            Point = true;
        } else
            break;
    }
    if (Digits == 0)
        return false;
    if (I < N && (S[I] == 'E' || S[I] == 'e')) {
        Text += 'e';
        ++I;
        if (I < N && (S[I] == '+' || S[I] == '-'))
            Text += S[I++];
        int ExpDigits = 0;
        for (; I < N && S[I] >= '0' && S[I] <= '9'; ++I, ++ExpDigits)
            Text += S[I];
        if (ExpDigits == 0)
            return false;
    }
    if (I != N)
        return false;
    double V = 0;
    auto Res = std::from_chars(Text.data(), Text.data() + Text.size(), V);
    if (Res.ec != std::errc() || Res.ptr != Text.data() + Text.size() || !std::isfinite(V))
        return false;
    Value = V;
    return true;
}

bool TryStrToFloat(std::string_view S, double& Value) { return TryStrToFloat(S, Value, FormatSettings); }

double StrToFloat(std::string_view S, const TFormatSettings& FS) {
    return SysUtilsDetail::ConvertedOrRaise<double>(
        S, [&](std::string_view T, double& V) { return TryStrToFloat(T, V, FS); }, SInvalidFloat);
}

double StrToFloat(std::string_view S) { return StrToFloat(S, FormatSettings); }

double StrToFloatDef(std::string_view S, double Default) {
    return SysUtilsDetail::ConvertedOr(S, [](std::string_view T, double& V) { return TryStrToFloat(T, V); }, Default);
}

// ---------------------------------------------------------------------------------------------
// Format

namespace {

class TFormatter {
public:
    TFormatter(std::string_view Fmt, const TVarRec* Args, std::size_t Count, const TFormatSettings& FS)
        : FFmt(Fmt), FArgs(Args), FCount(Count), FS(FS) {}

    std::string Run() {
        std::string Out;
        size_t I = 0;
        while (I < FFmt.size()) {
            char C = FFmt[I++];
            if (C != '%') {
                Out += C;
                continue;
            }
            if (I < FFmt.size() && FFmt[I] == '%') {
                Out += '%';
                ++I;
                continue;
            }
            Out += Spec(I);
        }
        return Out;
    }

private:
    [[noreturn]] void Invalid() { throw EConvertError(SInvalidFormat, {FFmt}); }

    const TVarRec& NextArg() {
        if (FNext >= FCount)
            throw EConvertError(SArgumentMissing, {FFmt});
        return FArgs[FNext++];
    }

    // A number or "*" (an integer argument); -1 when neither is there.
    int Number(size_t& I) {
        if (I < FFmt.size() && FFmt[I] == '*') {
            ++I;
            const TVarRec& A = NextArg();
            if (A.VType != vtInteger)
                Invalid();
            return A.VInteger;
        }
        if (I >= FFmt.size() || FFmt[I] < '0' || FFmt[I] > '9')
            return -1;
        int N = 0;
        while (I < FFmt.size() && FFmt[I] >= '0' && FFmt[I] <= '9') {
            if (N < 100000000)
                N = N * 10 + (FFmt[I] - '0');
            ++I;
        }
        return N;
    }

    std::string Spec(size_t& I) {
        bool Left = false;
        int Width = -1, Prec = -1;
        int N = Number(I);
        if (N >= 0 && I < FFmt.size() && FFmt[I] == ':') {
            ++I;
            FNext = static_cast<size_t>(N);
            N = -1;
        }
        if (N >= 0)
            Width = N;
        else {
            if (I < FFmt.size() && FFmt[I] == '-') {
                Left = true;
                ++I;
            }
            Width = Number(I);
        }
        if (I < FFmt.size() && FFmt[I] == '.') {
            ++I;
            Prec = Number(I);
            if (Prec < 0)
                Prec = 0;
        }
        if (I >= FFmt.size())
            Invalid();
        char Type = FFmt[I++];
        if (Type >= 'A' && Type <= 'Z')
            Type = static_cast<char>(Type + 32);
        std::string Text = Convert(Type, Prec);
        if (Width > static_cast<int>(Text.size())) {
            std::string Pad(static_cast<size_t>(Width) - Text.size(), ' ');
            Text = Left ? Text + Pad : Pad + Text;
        }
        return Text;
    }

    static std::string MinDigits(std::string Digits, int Prec) {
        bool Negative = !Digits.empty() && Digits[0] == '-';
        if (Negative)
            Digits.erase(0, 1);
        if (Prec > static_cast<int>(Digits.size()))
            Digits.insert(0, static_cast<size_t>(Prec) - Digits.size(), '0');
        return Negative ? "-" + Digits : Digits;
    }

    std::string Convert(char Type, int Prec) {
        switch (Type) {
        case 'd': {
            const TVarRec& A = NextArg();
            if (A.VType == vtInteger)
                return MinDigits(std::to_string(A.VInteger), Prec);
            if (A.VType == vtInt64)
                return MinDigits(std::to_string(A.VInt64), Prec);
            Invalid();
        }
        case 'u': {
            const TVarRec& A = NextArg();
            if (A.VType == vtInteger)
                return MinDigits(std::to_string(static_cast<std::uint32_t>(A.VInteger)), Prec);
            if (A.VType == vtInt64)
                return MinDigits(std::to_string(static_cast<std::uint64_t>(A.VInt64)), Prec);
            Invalid();
        }
        case 'x': {
            const TVarRec& A = NextArg();
            if (A.VType == vtInteger)
                return HexDigits(static_cast<std::uint32_t>(A.VInteger), Prec);
            if (A.VType == vtInt64)
                return HexDigits(static_cast<std::uint64_t>(A.VInt64), Prec);
            Invalid();
        }
        case 'p': {
            const TVarRec& A = NextArg();
            if (A.VType != vtPointer)
                Invalid();
            return HexDigits(reinterpret_cast<std::uintptr_t>(A.VPointer), 2 * static_cast<int>(sizeof(void*)));
        }
        case 'e':
        case 'f':
        case 'g':
        case 'n':
        case 'm': {
            const TVarRec& A = NextArg();
            if (A.VType != vtExtended)
                Invalid();
            switch (Type) {
            case 'e':
                return FloatToStrF(A.VExtended, ffExponent, Prec < 0 ? 15 : Prec, 3, FS);
            case 'g':
                return FloatToStrF(A.VExtended, ffGeneral, Prec < 0 ? 15 : Prec, 3, FS);
            case 'f':
                return FloatToStrF(A.VExtended, ffFixed, MaxDigits, Prec < 0 ? 2 : Prec, FS);
            case 'n':
                return FloatToStrF(A.VExtended, ffNumber, MaxDigits, Prec < 0 ? 2 : Prec, FS);
            default:
                return FloatToStrF(A.VExtended, ffCurrency, MaxDigits, Prec < 0 ? FS.CurrencyDecimals : Prec, FS);
            }
        }
        case 's': {
            const TVarRec& A = NextArg();
            std::string S;
            switch (A.VType) {
            case vtAnsiString:
                S = std::string(A.VAnsiString);
                break;
            case vtChar:
                S = std::string(1, A.VChar);
                break;
            case vtWideString:
                S = WideToAnsi(A.VWideString);
                break;
            case vtWideChar:
                S = WideToAnsi(std::wstring_view(&A.VWideChar, 1));
                break;
            default:
                Invalid();
            }
            if (Prec >= 0 && Prec < static_cast<int>(S.size()))
                S.resize(static_cast<size_t>(Prec));
            return S;
        }
        default:
            Invalid();
        }
    }

    std::string_view FFmt;
    const TVarRec* FArgs;
    std::size_t FCount;
    const TFormatSettings& FS;
    std::size_t FNext = 0;
};

}  // namespace

std::string Format(std::string_view Fmt, const TVarRec* Args, std::size_t Count, const TFormatSettings& Settings) {
    return TFormatter(Fmt, Args, Count, Settings).Run();
}

std::string Format(std::string_view Fmt, const TVarRec* Args, std::size_t Count) {
    return Format(Fmt, Args, Count, FormatSettings);
}

std::string Format(std::string_view Fmt, TVarRecs Args) { return Format(Fmt, Args.begin(), Args.size()); }

std::string Format(std::string_view Fmt, TVarRecs Args, const TFormatSettings& Settings) {
    return Format(Fmt, Args.begin(), Args.size(), Settings);
}

std::string FmtLoadStr(int Ident, TVarRecs Args) { return Format(LoadStr(Ident), Args); }
