#include "TdsTypes.h"

#include "SysUtils.h"
#include "TdsErrors.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cwchar>

namespace {

// Sort orders of the SQL collations whose code page differs from their LCID's ANSI page.
UINT SortOrderCodePage(std::uint8_t SortId) {
    if (SortId >= 30 && SortId <= 34)
        return 437;
    if ((SortId >= 40 && SortId <= 44) || SortId == 49 || (SortId >= 55 && SortId <= 61))
        return 850;
    if (SortId >= 51 && SortId <= 54)
        return 1252;
    return 0;
}

[[noreturn]] void BadType(const char* What, unsigned Type) {
    char Buf[96];
    std::snprintf(Buf, sizeof Buf, "%s (type 0x%02X)", What, Type);
    TdsProtocolError(Buf);
}

std::uint8_t ReadLengthOf(TTdsInput& In, std::uint8_t Type, std::initializer_list<std::uint8_t> Allowed) {
    std::uint8_t L = In.U8();
    for (std::uint8_t A : Allowed)
        if (L == A)
            return L;
    BadType("invalid length in type information", Type);
}

TTdsSqlType IntTypeOf(std::uint32_t Len) {
    switch (Len) {
    case 1: return TTdsSqlType::TinyInt;
    case 2: return TTdsSqlType::SmallInt;
    case 4: return TTdsSqlType::Int;
    default: return TTdsSqlType::BigInt;
    }
}

std::int64_t ReadSignedLE(TTdsInput& In, unsigned Len) {
    switch (Len) {
    case 1: return In.U8();  // tinyint is unsigned
    case 2: return static_cast<std::int16_t>(In.U16());
    case 4: return In.I32();
    default: return static_cast<std::int64_t>(In.U64());
    }
}

TTdsDecimal MoneyToDecimal(std::int64_t Units) {
    TTdsDecimal D;
    D.Precision = 19;
    D.Scale = 4;
    D.Negative = Units < 0;
    std::uint64_t M = D.Negative ? 0 - static_cast<std::uint64_t>(Units) : static_cast<std::uint64_t>(Units);
    D.Magnitude[0] = static_cast<std::uint32_t>(M);
    D.Magnitude[1] = static_cast<std::uint32_t>(M >> 32);
    return D;
}

// datetime: days since 1900-01-01 and 1/300 s since midnight. Before 1899-12-30 the date part
// is negative and the time is counted away from zero, as date-time numbers keep it.
double DateTimeFromWire(std::int32_t Days, double MsOfDay) {
    double D = static_cast<double>(Days) + 2;
    double F = MsOfDay / 86400000.0;
    return D >= 0 ? D + F : D - F;
}

void DateTimeToWire(double V, std::int32_t& Days, std::uint32_t& Ticks) {
    double D = std::trunc(V);
    double F = std::fabs(V - D);
    long long T = std::llround(F * 86400.0 * 300.0);
    if (T >= 86400LL * 300) {
        T = 0;
        D += V < 0 ? -1 : 1;
    }
    Days = static_cast<std::int32_t>(D) - 2;
    Ticks = static_cast<std::uint32_t>(T);
}

// Reads Len bytes in steps, so that a length the peer lies about costs no more memory than arrives.
void ReadBlob(TTdsInput& In, size_t Len, TTdsBytes& Out) {
    Out.clear();
    const size_t Step = 1 << 20;
    while (Out.size() < Len) {
        size_t K = Len - Out.size();
        if (K > Step)
            K = Step;
        size_t Old = Out.size();
        Out.resize(Old + K);
        In.Read(Out.data() + Old, K);
    }
}

void ReadPlp(TTdsInput& In, TTdsBytes& Out, bool& IsNull) {
    std::uint64_t Total = In.U64();
    IsNull = Total == 0xFFFFFFFFFFFFFFFFull;
    Out.clear();
    if (IsNull)
        return;
    for (;;) {
        std::uint32_t Chunk = In.U32();
        if (Chunk == 0)
            break;
        TTdsBytes Part;
        ReadBlob(In, Chunk, Part);
        Out.insert(Out.end(), Part.begin(), Part.end());
    }
}

// Text data: 8-bit in the column's code page or UCS-2.
TTdsValue TextValue(const TTdsTypeInfo& T, const TTdsBytes& B) {
    bool Wide = T.Type == TdsType::NChar || T.Type == TdsType::NVarChar || T.Type == TdsType::NText;
    if (!Wide)
        return AnsiToWide(std::string_view(reinterpret_cast<const char*>(B.data()), B.size()), T.CodePage);
    if (B.size() % 2)
        TdsProtocolError("odd byte count in UCS-2 text");
    std::wstring S(B.size() / 2, L'\0');
    for (size_t I = 0; I < S.size(); ++I)
        S[I] = static_cast<wchar_t>(B[2 * I] | (B[2 * I + 1] << 8));
    return S;
}

bool IsBinaryType(std::uint8_t Type) {
    return Type == TdsType::BigBinary || Type == TdsType::BigVarBin || Type == TdsType::Image;
}

[[noreturn]] void ConvertError(const std::wstring& Text, const char* Kind) {
    throw EConvertError("'" + WideToAnsi(Text) + "' is not a valid " + Kind + " value");
}

}  // namespace

// ---------------------------------------------------------------------------------------------

UINT TTdsCollation::CodePage() const {
    if (UINT Cp = SortOrderCodePage(SortId))
        return Cp;
    DWORD Cp = 0;
    if (Lcid() && GetLocaleInfoW(Lcid(), LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                                 reinterpret_cast<LPWSTR>(&Cp), sizeof Cp / sizeof(WCHAR)) &&
        Cp && IsValidCodePage(Cp))
        return Cp;
    return CP_ACP;
}

bool TTdsTypeInfo::IsPlp() const {
    return MaxLength == 0xFFFF &&
           (Type == TdsType::BigVarChr || Type == TdsType::NVarChar || Type == TdsType::BigVarBin);
}

bool TTdsTypeInfo::IsTextPointerType() const {
    return Type == TdsType::Text || Type == TdsType::NText || Type == TdsType::Image;
}

void ReadTypeInfo(TTdsInput& In, TTdsTypeInfo& T, bool HasCollation) {
    using namespace TdsType;
    T = TTdsTypeInfo();
    T.Type = In.U8();
    auto Collation = [&] {
        if (HasCollation) {
            T.Collation.Info = In.U32();
            T.Collation.SortId = In.U8();
        }
        T.CodePage = T.Collation.CodePage();
    };
    switch (T.Type) {
    case Int1: T.MaxLength = 1; T.SqlType = TTdsSqlType::TinyInt; break;
    case Bit: T.MaxLength = 1; T.SqlType = TTdsSqlType::Bit; break;
    case Int2: T.MaxLength = 2; T.SqlType = TTdsSqlType::SmallInt; break;
    case Int4: T.MaxLength = 4; T.SqlType = TTdsSqlType::Int; break;
    case Int8: T.MaxLength = 8; T.SqlType = TTdsSqlType::BigInt; break;
    case DateTim4: T.MaxLength = 4; T.SqlType = TTdsSqlType::SmallDateTime; break;
    case DateTime: T.MaxLength = 8; T.SqlType = TTdsSqlType::DateTime; break;
    case Flt4: T.MaxLength = 4; T.SqlType = TTdsSqlType::Real; break;
    case Flt8: T.MaxLength = 8; T.SqlType = TTdsSqlType::Float; break;
    case Money4: T.MaxLength = 4; T.SqlType = TTdsSqlType::SmallMoney; break;
    case Money: T.MaxLength = 8; T.SqlType = TTdsSqlType::Money; break;
    case IntN: T.MaxLength = ReadLengthOf(In, T.Type, {1, 2, 4, 8}); T.SqlType = IntTypeOf(T.MaxLength); break;
    case BitN: T.MaxLength = ReadLengthOf(In, T.Type, {1}); T.SqlType = TTdsSqlType::Bit; break;
    case FltN:
        T.MaxLength = ReadLengthOf(In, T.Type, {4, 8});
        T.SqlType = T.MaxLength == 4 ? TTdsSqlType::Real : TTdsSqlType::Float;
        break;
    case MoneyN:
        T.MaxLength = ReadLengthOf(In, T.Type, {4, 8});
        T.SqlType = T.MaxLength == 4 ? TTdsSqlType::SmallMoney : TTdsSqlType::Money;
        break;
    case DateTimN:
        T.MaxLength = ReadLengthOf(In, T.Type, {4, 8});
        T.SqlType = T.MaxLength == 4 ? TTdsSqlType::SmallDateTime : TTdsSqlType::DateTime;
        break;
    case DecimalN:
    case NumericN:
        T.MaxLength = ReadLengthOf(In, T.Type, {5, 9, 13, 17});
        T.Precision = In.U8();
        T.Scale = In.U8();
        if (T.Precision < 1 || T.Precision > 38 || T.Scale > T.Precision)
            BadType("invalid precision or scale", T.Type);
        T.SqlType = T.Type == DecimalN ? TTdsSqlType::Decimal : TTdsSqlType::Numeric;
        break;
    case Guid: T.MaxLength = ReadLengthOf(In, T.Type, {16}); T.SqlType = TTdsSqlType::Guid; break;
    case BigChar:
    case BigVarChr:
    case NChar:
    case NVarChar:
        T.MaxLength = In.U16();
        Collation();
        T.SqlType = T.Type == BigChar     ? TTdsSqlType::Char
                    : T.Type == BigVarChr ? TTdsSqlType::VarChar
                    : T.Type == NChar     ? TTdsSqlType::NChar
                                          : TTdsSqlType::NVarChar;
        break;
    case BigBinary:
    case BigVarBin:
        T.MaxLength = In.U16();
        T.SqlType = T.Type == BigBinary ? TTdsSqlType::Binary : TTdsSqlType::VarBinary;
        break;
    case Text:
    case NText:
        T.MaxLength = In.U32();
        Collation();
        T.SqlType = T.Type == Text ? TTdsSqlType::Text : TTdsSqlType::NText;
        break;
    case Image:
        T.MaxLength = In.U32();
        T.SqlType = TTdsSqlType::Image;
        break;
    default:
        BadType("unsupported data type", T.Type);
    }
}

void ReadValue(TTdsInput& In, const TTdsTypeInfo& T, TTdsValue& V) {
    using namespace TdsType;
    switch (T.Type) {
    case Int1:
    case Int2:
    case Int4:
    case Int8:
        V.Data = ReadSignedLE(In, T.MaxLength);
        return;
    case Bit:
        V.Data = In.U8() != 0;
        return;
    case IntN:
    case BitN:
    case FltN:
    case MoneyN:
    case DateTimN:
    case Guid: {
        std::uint8_t L = In.U8();
        if (L == 0) {
            V.Data = std::monostate();
            return;
        }
        bool Ok = T.Type == IntN ? (L == 1 || L == 2 || L == 4 || L == 8)
                  : T.Type == BitN ? L == 1
                  : T.Type == Guid ? L == 16
                                   : (L == 4 || L == 8);
        if (!Ok)
            BadType("invalid value length", T.Type);
        TTdsTypeInfo Fixed;
        switch (T.Type) {
        case IntN: Fixed.Type = L == 1 ? Int1 : L == 2 ? Int2 : L == 4 ? Int4 : Int8; break;
        case BitN: Fixed.Type = Bit; break;
        case FltN: Fixed.Type = L == 4 ? Flt4 : Flt8; break;
        case MoneyN: Fixed.Type = L == 4 ? Money4 : Money; break;
        case DateTimN: Fixed.Type = L == 4 ? DateTim4 : DateTime; break;
        default: {
            GUID G;
            In.Read(&G, 16);  // the wire order is the structure's own little-endian layout
            V.Data = G;
            return;
        }
        }
        Fixed.MaxLength = L;
        ReadValue(In, Fixed, V);
        return;
    }
    case Flt4: {
        std::uint32_t B = In.U32();
        float F;
        std::memcpy(&F, &B, 4);
        V.Data = static_cast<double>(F);
        return;
    }
    case Flt8: {
        std::uint64_t B = In.U64();
        double D;
        std::memcpy(&D, &B, 8);
        V.Data = D;
        return;
    }
    case Money4:
        V.Data = MoneyToDecimal(In.I32());
        return;
    case Money: {
        std::uint64_t Hi = In.U32();
        std::uint64_t Lo = In.U32();
        V.Data = MoneyToDecimal(static_cast<std::int64_t>((Hi << 32) | Lo));
        return;
    }
    case DateTim4: {
        std::uint16_t Days = In.U16();
        std::uint16_t Minutes = In.U16();
        V.Data = TTdsDateTime{DateTimeFromWire(Days, Minutes * 60000.0)};
        return;
    }
    case DateTime: {
        std::int32_t Days = In.I32();
        std::uint32_t Ticks = In.U32();
        V.Data = TTdsDateTime{DateTimeFromWire(Days, std::round(Ticks * 10.0 / 3.0))};
        return;
    }
    case DecimalN:
    case NumericN: {
        std::uint8_t L = In.U8();
        if (L == 0) {
            V.Data = std::monostate();
            return;
        }
        if (L < 2 || L > 17)
            BadType("invalid value length", T.Type);
        TTdsDecimal D;
        D.Precision = T.Precision;
        D.Scale = T.Scale;
        D.Negative = In.U8() == 0;
        std::uint8_t M[16] = {};
        In.Read(M, L - 1u);
        for (int I = 0; I < 4; ++I)
            D.Magnitude[I] = M[4 * I] | (M[4 * I + 1] << 8) | (M[4 * I + 2] << 16) |
                             (static_cast<std::uint32_t>(M[4 * I + 3]) << 24);
        V.Data = D;
        return;
    }
    case BigChar:
    case BigVarChr:
    case NChar:
    case NVarChar:
    case BigBinary:
    case BigVarBin: {
        TTdsBytes B;
        if (T.IsPlp()) {
            bool Null;
            ReadPlp(In, B, Null);
            if (Null) {
                V.Data = std::monostate();
                return;
            }
        } else {
            std::uint16_t L = In.U16();
            if (L == 0xFFFF) {
                V.Data = std::monostate();
                return;
            }
            ReadBlob(In, L, B);
        }
        if (IsBinaryType(T.Type))
            V.Data = std::move(B);
        else
            V = TextValue(T, B);
        return;
    }
    case Text:
    case NText:
    case Image: {
        std::uint8_t PtrLen = In.U8();
        if (PtrLen == 0) {
            V.Data = std::monostate();
            return;
        }
        In.Skip(PtrLen + 8u);  // text pointer and timestamp
        TTdsBytes B;
        ReadBlob(In, In.U32(), B);
        if (IsBinaryType(T.Type))
            V.Data = std::move(B);
        else
            V = TextValue(T, B);
        return;
    }
    default:
        BadType("unsupported data type", T.Type);
    }
}

void WriteTypeInfo(TTdsWriter& W, const TTdsTypeInfo& T, bool HasCollation) {
    using namespace TdsType;
    W.U8(T.Type);
    auto Collation = [&] {
        if (HasCollation) {
            W.U32(T.Collation.Info);
            W.U8(T.Collation.SortId);
        }
    };
    switch (T.Type) {
    case IntN:
    case BitN:
    case FltN:
    case MoneyN:
    case DateTimN:
    case Guid:
        W.U8(static_cast<std::uint8_t>(T.MaxLength));
        break;
    case DecimalN:
    case NumericN:
        W.U8(static_cast<std::uint8_t>(T.MaxLength));
        W.U8(T.Precision);
        W.U8(T.Scale);
        break;
    case BigChar:
    case BigVarChr:
    case NChar:
    case NVarChar:
        W.U16(static_cast<std::uint16_t>(T.MaxLength));
        Collation();
        break;
    case BigBinary:
    case BigVarBin:
        W.U16(static_cast<std::uint16_t>(T.MaxLength));
        break;
    case Text:
    case NText:
        W.U32(T.MaxLength);
        Collation();
        break;
    case Image:
        W.U32(T.MaxLength);
        break;
    default:
        BadType("no parameter form for type", T.Type);
    }
}

void WriteValue(TTdsWriter& W, const TTdsTypeInfo& T, const TTdsValue& V) {
    using namespace TdsType;
    bool Null = V.IsNull();
    switch (T.Type) {
    case IntN:
    case BitN:
    case FltN:
    case DateTimN:
    case Guid:
        if (Null) {
            W.U8(0);
            return;
        }
        W.U8(static_cast<std::uint8_t>(T.MaxLength));
        if (T.Type == IntN) {
            std::uint64_t X = static_cast<std::uint64_t>(V.AsLargeInt());
            for (unsigned I = 0; I < T.MaxLength; ++I)
                W.U8(static_cast<std::uint8_t>(X >> (8 * I)));
        } else if (T.Type == BitN)
            W.U8(V.AsBoolean() ? 1 : 0);
        else if (T.Type == FltN) {
            double D = V.AsFloat();
            std::uint64_t B;
            std::memcpy(&B, &D, 8);
            W.U64(B);
        } else if (T.Type == DateTimN) {
            std::int32_t Days;
            std::uint32_t Ticks;
            DateTimeToWire(V.AsDateTime(), Days, Ticks);
            W.U32(static_cast<std::uint32_t>(Days));
            W.U32(Ticks);
        } else {
            const GUID& G = std::get<GUID>(V.Data);
            W.Bytes(&G, 16);
        }
        return;
    case DecimalN:
    case NumericN: {
        if (Null) {
            W.U8(0);
            return;
        }
        const TTdsDecimal& D = std::get<TTdsDecimal>(V.Data);
        W.U8(17);
        W.U8(D.Negative ? 0 : 1);
        for (std::uint32_t M : D.Magnitude)
            W.U32(M);
        return;
    }
    case NVarChar:
    case NChar:
    case BigVarBin:
    case BigBinary: {
        if (Null) {
            W.U16(0xFFFF);
            return;
        }
        if (IsBinaryType(T.Type)) {
            const TTdsBytes& B = std::get<TTdsBytes>(V.Data);
            W.U16(static_cast<std::uint16_t>(B.size()));
            W.Bytes(B);
        } else {
            std::wstring S = V.AsWideString();
            W.U16(static_cast<std::uint16_t>(S.size() * 2));
            W.WText(S);
        }
        return;
    }
    case NText:
    case Image: {
        // Long values: a parameter carries the length and the data, no text pointer.
        if (Null) {
            W.U32(0xFFFFFFFF);
            return;
        }
        if (T.Type == Image) {
            const TTdsBytes& B = std::get<TTdsBytes>(V.Data);
            W.U32(static_cast<std::uint32_t>(B.size()));
            W.Bytes(B);
        } else {
            std::wstring S = V.AsWideString();
            W.U32(static_cast<std::uint32_t>(S.size() * 2));
            W.WText(S);
        }
        return;
    }
    default:
        BadType("no parameter form for type", T.Type);
    }
}

// ---------------------------------------------------------------------------------------------

std::wstring TTdsDecimal::ToString() const {
    std::uint32_t M[4] = {Magnitude[0], Magnitude[1], Magnitude[2], Magnitude[3]};
    std::wstring Digits;
    for (;;) {
        std::uint64_t Rem = 0;
        bool Zero = true;
        for (int I = 3; I >= 0; --I) {
            std::uint64_t Cur = (Rem << 32) | M[I];
            M[I] = static_cast<std::uint32_t>(Cur / 10);
            Rem = Cur % 10;
            Zero = Zero && M[I] == 0;
        }
        Digits.insert(Digits.begin(), static_cast<wchar_t>(L'0' + Rem));
        if (Zero)
            break;
    }
    if (Digits.size() <= Scale)
        Digits.insert(0, Scale + 1 - Digits.size(), L'0');
    if (Scale)
        Digits.insert(Digits.size() - Scale, 1, L'.');
    bool IsZero = !(Magnitude[0] | Magnitude[1] | Magnitude[2] | Magnitude[3]);
    return Negative && !IsZero ? L"-" + Digits : Digits;
}

double TTdsDecimal::ToDouble() const {
    long double X = 0;
    for (int I = 3; I >= 0; --I)
        X = X * 4294967296.0L + Magnitude[I];
    for (int I = 0; I < Scale; ++I)
        X /= 10;
    return static_cast<double>(Negative ? -X : X);
}

// ---------------------------------------------------------------------------------------------

std::wstring TTdsValue::AsWideString() const {
    wchar_t Buf[64];
    switch (Data.index()) {
    case 0: return {};
    case 1: return std::get<bool>(Data) ? L"True" : L"False";
    case 2: std::swprintf(Buf, 64, L"%lld", static_cast<long long>(std::get<std::int64_t>(Data))); return Buf;
    case 3: {
        double D = std::get<double>(Data);
        std::swprintf(Buf, 64, L"%.15g", D);
        if (std::wcstod(Buf, nullptr) != D)
            std::swprintf(Buf, 64, L"%.17g", D);
        return Buf;
    }
    case 4: {
        double V = std::get<TTdsDateTime>(Data).Value;
        SYSTEMTIME St{};
        double D = std::trunc(V);
        long long Ms = std::llround(std::fabs(V - D) * 86400000.0);
        // 1899-12-30 is day 0; FILETIME counts 100 ns from 1601-01-01 (109205 days earlier).
        ULARGE_INTEGER U;
        U.QuadPart = static_cast<unsigned long long>((static_cast<long long>(D) + 109205) * 86400000LL + Ms) * 10000ULL;
        FILETIME Ft{U.LowPart, U.HighPart};
        FileTimeToSystemTime(&Ft, &St);
        std::swprintf(Buf, 64, L"%04u-%02u-%02u %02u:%02u:%02u", St.wYear, St.wMonth, St.wDay, St.wHour, St.wMinute,
                      St.wSecond);
        std::wstring S = Buf;
        if (St.wMilliseconds) {
            std::swprintf(Buf, 64, L".%03u", St.wMilliseconds);
            S += Buf;
        }
        return S;
    }
    case 5: return std::get<TTdsDecimal>(Data).ToString();
    case 6: return std::get<std::wstring>(Data);
    case 7: {
        static const wchar_t Hex[] = L"0123456789ABCDEF";
        std::wstring S;
        for (std::uint8_t B : std::get<TTdsBytes>(Data)) {
            S += Hex[B >> 4];
            S += Hex[B & 15];
        }
        return S;
    }
    default: {
        const GUID& G = std::get<GUID>(Data);
        std::swprintf(Buf, 64, L"{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", G.Data1, G.Data2, G.Data3,
                      G.Data4[0], G.Data4[1], G.Data4[2], G.Data4[3], G.Data4[4], G.Data4[5], G.Data4[6], G.Data4[7]);
        return Buf;
    }
    }
}

std::int64_t TTdsValue::AsLargeInt() const {
    switch (Data.index()) {
    case 0: return 0;
    case 1: return std::get<bool>(Data) ? 1 : 0;
    case 2: return std::get<std::int64_t>(Data);
    case 3: return std::llround(std::get<double>(Data));
    case 4: return static_cast<std::int64_t>(std::get<TTdsDateTime>(Data).Value);
    case 5: return std::llround(std::get<TTdsDecimal>(Data).ToDouble());
    case 6: {
        const std::wstring& S = std::get<std::wstring>(Data);
        std::wstring T = Trim(S);
        if (T.empty())
            ConvertError(S, "integer");
        wchar_t* End = nullptr;
        errno = 0;
        long long X = std::wcstoll(T.c_str(), &End, 10);
        if (*End || errno)
            ConvertError(S, "integer");
        return X;
    }
    default: ConvertError(AsWideString(), "integer");
    }
}

double TTdsValue::AsFloat() const {
    switch (Data.index()) {
    case 0: return 0;
    case 3: return std::get<double>(Data);
    case 4: return std::get<TTdsDateTime>(Data).Value;
    case 5: return std::get<TTdsDecimal>(Data).ToDouble();
    case 6: {
        const std::wstring& S = std::get<std::wstring>(Data);
        wchar_t* End = nullptr;
        double D = std::wcstod(S.c_str(), &End);
        while (End && *End == L' ')
            ++End;
        if (End == S.c_str() || *End)
            ConvertError(S, "floating point");
        return D;
    }
    case 7:
    case 8: ConvertError(AsWideString(), "floating point");
    default: return static_cast<double>(AsLargeInt());
    }
}

bool TTdsValue::AsBoolean() const {
    switch (Data.index()) {
    case 0: return false;
    case 1: return std::get<bool>(Data);
    case 6: {
        const std::wstring& S = std::get<std::wstring>(Data);
        return !S.empty() && std::wcschr(L"TtYy", S[0]);
    }
    case 7:
    case 8: ConvertError(AsWideString(), "boolean");
    default: return AsFloat() != 0;
    }
}

double TTdsValue::AsDateTime() const {
    switch (Data.index()) {
    case 0: return 0;
    case 4: return std::get<TTdsDateTime>(Data).Value;
    case 2:
    case 3:
    case 5: return AsFloat();
    default: ConvertError(AsWideString(), "date and time");
    }
}

bool TTdsValue::operator==(const TTdsValue& O) const {
    if (Data.index() != O.Data.index())
        return false;
    if (Data.index() == 8)
        return std::memcmp(&std::get<GUID>(Data), &std::get<GUID>(O.Data), sizeof(GUID)) == 0;
    return Data == O.Data;
}
