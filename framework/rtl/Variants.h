// Variants: a value of one of the platform's variant types, for field values, Locate keys and query
// parameters. Copies are deep (an array is copied with its elements).
#pragma once

#include "SysUtils.h"

#include <initializer_list>
#include <string>
#include <type_traits>
#include <vector>

using TVarType = Word;

// The platform's type codes.
constexpr TVarType varEmpty = 0x0000;
constexpr TVarType varNull = 0x0001;
constexpr TVarType varSmallint = 0x0002;
constexpr TVarType varInteger = 0x0003;
constexpr TVarType varSingle = 0x0004;
constexpr TVarType varDouble = 0x0005;
constexpr TVarType varCurrency = 0x0006;
constexpr TVarType varDate = 0x0007;
constexpr TVarType varOleStr = 0x0008;
constexpr TVarType varBoolean = 0x000B;
constexpr TVarType varVariant = 0x000C;
constexpr TVarType varByte = 0x0011;
constexpr TVarType varInt64 = 0x0014;
constexpr TVarType varString = 0x0100;
constexpr TVarType varTypeMask = 0x0FFF;
constexpr TVarType varArray = 0x2000;

enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

class Variant {
public:
    Variant() = default;  // Unassigned
    Variant(bool V) : FType(varBoolean) { FInt = V ? -1 : 0; }
    Variant(float V) : FType(varSingle), FDouble(V) {}
    Variant(double V) : FType(varDouble), FDouble(V) {}
    Variant(const char* V) : FType(varString), FString(V ? V : "") {}
    Variant(std::string V) : FType(varString), FString(std::move(V)) {}
    Variant(const wchar_t* V) : FType(varOleStr), FWide(V ? V : L"") {}
    Variant(std::wstring V) : FType(varOleStr), FWide(std::move(V)) {}
    // Integers: 1-byte unsigned as varByte, 1- and 2-byte signed as varSmallint, up to 32-bit
    // signed as varInteger, the rest as varInt64.
    template <class T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char> &&
                                            !std::is_same_v<T, wchar_t>,
                                        int> = 0>
    Variant(T V) {
        FInt = static_cast<Int64>(V);
        if constexpr (sizeof(T) == 1 && std::is_unsigned_v<T>)
            FType = varByte;
        else if constexpr (sizeof(T) <= 2 && std::is_signed_v<T>)
            FType = varSmallint;
        else if constexpr (sizeof(T) < 4 || (sizeof(T) == 4 && std::is_signed_v<T>))
            FType = varInteger;
        else
            FType = varInt64;
    }
    static Variant FromDateTime(TDateTime Value);
    static Variant FromCurrency(double Value);  // kept to four decimals, as the platform's Currency

    TVarType VType() const { return FType; }
    bool IsNull() const { return FType == varNull; }
    bool IsEmpty() const { return FType == varEmpty; }
    bool IsArray() const { return (FType & varArray) != 0; }

    // Conversions; a value that does not convert (Null included) raises EVariantError
    // "Could not convert variant of type (%s) into type (%s)", one out of range
    // "Overflow while converting ...". Unassigned gives 0, "" and False.
    LongInt AsInteger() const;
    Int64 AsInt64() const;
    double AsDouble() const;
    double AsCurrency() const;
    TDateTime AsDateTime() const;
    bool AsBoolean() const;
    std::string AsString() const;
    std::wstring AsWideString() const;

    // Arrays (VarArrayOf): elements from 0. Raise EVariantError for a non-array or a bad index.
    int ArrayCount() const;
    const Variant& operator[](int Index) const;
    Variant& operator[](int Index);

    // Null equals Null only; a value never equals Null or Unassigned. Numbers compare as numbers,
    // strings exactly, a string with a number as a number when it converts.
    bool operator==(const Variant& Other) const;
    bool operator!=(const Variant& Other) const { return !(*this == Other); }
    // Ordering; values that cannot be ordered (Null or Unassigned against a value, arrays, a string
    // that is no number against a number) raise EVariantError "Invalid variant operation".
    bool operator<(const Variant& Other) const;
    bool operator>(const Variant& Other) const { return Other < *this; }
    bool operator<=(const Variant& Other) const { return !(Other < *this); }
    bool operator>=(const Variant& Other) const { return !(*this < Other); }

private:
    friend Variant Null();
    friend Variant VarArrayOf(std::vector<Variant> Values);
    friend TVariantRelationship VarCompareValue(const Variant& A, const Variant& B);
    Int64 ToInt64(TVarType To) const;

    TVarType FType = varEmpty;
    union {
        Int64 FInt = 0;    // integers, Booleans (-1/0), currency (value x 10000)
        double FDouble;    // single, double, date
    };
    std::string FString;
    std::wstring FWide;
    std::vector<Variant> FArray;
};

Variant Null();
Variant Unassigned();
Variant VarArrayOf(std::vector<Variant> Values);
inline Variant VarArrayOf(std::initializer_list<Variant> Values) { return VarArrayOf(std::vector<Variant>(Values)); }
int VarArrayLowBound(const Variant& V, int Dim);
int VarArrayHighBound(const Variant& V, int Dim);

inline TVarType VarType(const Variant& V) { return V.VType(); }
inline bool VarIsNull(const Variant& V) { return V.IsNull(); }
inline bool VarIsEmpty(const Variant& V) { return V.IsEmpty(); }
inline bool VarIsArray(const Variant& V) { return V.IsArray(); }
bool VarIsStr(const Variant& V);
bool VarIsNumeric(const Variant& V);
// "" for Null and Unassigned; otherwise the value as text.
std::string VarToStr(const Variant& V);
std::string VarToStrDef(const Variant& V, const std::string& Default);
std::wstring VarToWideStr(const Variant& V);
TDateTime VarToDateTime(const Variant& V);
// The value converted to another type (varNull and varEmpty give those).
Variant VarAsType(const Variant& V, TVarType AType);
// The type's name as the conversion errors show it ("Integer", "String", "Array Variant" ...).
std::string VarTypeAsText(TVarType AType);
// vrNotEqual where Null or Unassigned meets a value; raises EVariantError for arrays and for a
// string that is no number against a number.
TVariantRelationship VarCompareValue(const Variant& A, const Variant& B);
