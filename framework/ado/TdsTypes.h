// TDS data types: the type information of a column or parameter, cell values, and their wire forms.
#pragma once

#include "TdsStream.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

// Wire type bytes.
namespace TdsType {
enum : std::uint8_t {
    Null = 0x1F,
    Image = 0x22,
    Text = 0x23,
    Guid = 0x24,
    IntN = 0x26,
    Int1 = 0x30,
    Bit = 0x32,
    Int2 = 0x34,
    Int4 = 0x38,
    DateTim4 = 0x3A,
    Flt4 = 0x3B,
    Money = 0x3C,
    DateTime = 0x3D,
    Flt8 = 0x3E,
    NText = 0x63,
    BitN = 0x68,
    DecimalN = 0x6A,
    NumericN = 0x6C,
    FltN = 0x6D,
    MoneyN = 0x6E,
    DateTimN = 0x6F,
    Money4 = 0x7A,
    Int8 = 0x7F,
    BigVarBin = 0xA5,
    BigVarChr = 0xA7,
    BigBinary = 0xAD,
    BigChar = 0xAF,
    NVarChar = 0xE7,
    NChar = 0xEF,
};
}

// The SQL type a column has, as a later layer chooses field classes by it.
enum class TTdsSqlType : std::uint8_t {
    Unknown, TinyInt, SmallInt, Int, BigInt, Bit, Real, Float, SmallMoney, Money, Decimal, Numeric,
    SmallDateTime, DateTime, Char, VarChar, Text, NChar, NVarChar, NText, Binary, VarBinary, Image, Guid,
};

// Five bytes: LCID and comparison flags, then the SQL sort order (0 for a Windows collation).
struct TTdsCollation {
    std::uint32_t Info = 0;
    std::uint8_t SortId = 0;

    std::uint32_t Lcid() const { return Info & 0xFFFFF; }
    // The code page of 8-bit data under this collation (the system's ANSI page when unknown).
    UINT CodePage() const;
    bool operator==(const TTdsCollation&) const = default;
};

struct TTdsTypeInfo {
    std::uint8_t Type = 0;       // wire type byte
    std::uint32_t MaxLength = 0; // bytes; 0xFFFF for the (max) types of 7.2
    std::uint8_t Precision = 0;
    std::uint8_t Scale = 0;
    TTdsCollation Collation;
    UINT CodePage = 0;           // of Collation, for 8-bit text
    TTdsSqlType SqlType = TTdsSqlType::Unknown;

    bool IsPlp() const;
    bool IsTextPointerType() const;  // text, ntext, image: pointer and timestamp before the data
};

struct TTdsColumn {
    std::wstring Name;
    TTdsTypeInfo Type;
    std::uint16_t Flags = 0;
    std::wstring TableName;  // text/ntext/image columns only
    bool Nullable() const { return Flags & 0x0001; }
};

// decimal/numeric (and money, scale 4): sign and magnitude as the server sends them.
struct TTdsDecimal {
    bool Negative = false;
    std::uint8_t Precision = 38;
    std::uint8_t Scale = 0;
    std::uint32_t Magnitude[4] = {};  // little-endian 128-bit unsigned: value x 10^Scale

    std::wstring ToString() const;  // "-12.3400": plain digits, "." before the scale digits
    double ToDouble() const;
    bool operator==(const TTdsDecimal&) const = default;
};

// A datetime or smalldatetime value as a date-time number (days since 30 December 1899).
struct TTdsDateTime {
    double Value = 0;
    bool operator==(const TTdsDateTime&) const = default;
};

// One cell: NULL or a typed value.
class TTdsValue {
public:
    using TData = std::variant<std::monostate, bool, std::int64_t, double, TTdsDateTime, TTdsDecimal, std::wstring,
                               TTdsBytes, GUID>;
    TData Data;

    TTdsValue() = default;
    template <class T>
        requires(!std::is_same_v<std::decay_t<T>, TTdsValue> && std::is_constructible_v<TData, T>)
    TTdsValue(T V) : Data(std::move(V)) {}
    TTdsValue(int V) : Data(static_cast<std::int64_t>(V)) {}
    TTdsValue(const wchar_t* S) : Data(std::wstring(S)) {}

    bool IsNull() const { return Data.index() == 0; }
    // Conversions of the field layer; a null reads "", 0, False, 0. A value that does not convert
    // raises EConvertError.
    std::wstring AsWideString() const;
    std::int64_t AsLargeInt() const;
    int AsInteger() const { return static_cast<int>(AsLargeInt()); }
    double AsFloat() const;
    bool AsBoolean() const;
    double AsDateTime() const;
    bool operator==(const TTdsValue& O) const;
};

// Reads TYPE_INFO (the type byte included). Collations are present from 7.1 on.
void ReadTypeInfo(TTdsInput& In, TTdsTypeInfo& T, bool HasCollation);
// Reads one value of that type as a ROW, RETURNVALUE or parameter carries it.
void ReadValue(TTdsInput& In, const TTdsTypeInfo& T, TTdsValue& V);
// Writes TYPE_INFO and a value for an RPC parameter.
void WriteTypeInfo(TTdsWriter& W, const TTdsTypeInfo& T, bool HasCollation);
void WriteValue(TTdsWriter& W, const TTdsTypeInfo& T, const TTdsValue& V);
