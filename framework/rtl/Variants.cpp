#include "Variants.h"

#include <cmath>

using namespace SysConsts;

namespace {
const char* const SVarTypeCouldNotConvert = "Could not convert variant of type (%s) into type (%s)";
const char* const SVarTypeConvertOverflow = "Overflow while converting variant of type (%s) into type (%s)";

[[noreturn]] void CannotConvert(TVarType From, TVarType To) {
    throw EVariantError(SVarTypeCouldNotConvert, {VarTypeAsText(From), VarTypeAsText(To)});
}

[[noreturn]] void Overflow(TVarType From, TVarType To) {
    throw EVariantError(SVarTypeConvertOverflow, {VarTypeAsText(From), VarTypeAsText(To)});
}

bool IsIntegerType(TVarType T) {
    return T == varSmallint || T == varInteger || T == varByte || T == varInt64 || T == varBoolean;
}
bool IsFloatType(TVarType T) { return T == varSingle || T == varDouble || T == varCurrency || T == varDate; }
bool IsStringType(TVarType T) { return T == varString || T == varOleStr; }
}  // namespace

Variant Null() {
    Variant V;
    V.FType = varNull;
    return V;
}

Variant Unassigned() { return Variant(); }

Variant Variant::FromDateTime(TDateTime Value) {
    Variant V(Value);
    V.FType = varDate;
    return V;
}

Variant Variant::FromCurrency(double Value) {
    if (!(std::fabs(Value) < 922337203685477.0))
        Overflow(varDouble, varCurrency);
    Variant V(Round(Value * 10000));
    V.FType = varCurrency;
    return V;
}

Variant VarArrayOf(std::vector<Variant> Values) {
    Variant V;
    V.FType = varArray | varVariant;
    V.FArray = std::move(Values);
    return V;
}

std::string VarTypeAsText(TVarType AType) {
    static const struct {
        TVarType Type;
        const char* Name;
    } Names[] = {{varEmpty, "Empty"},       {varNull, "Null"},       {varSmallint, "Smallint"}, {varInteger, "Integer"},
                 {varSingle, "Single"},     {varDouble, "Double"},   {varCurrency, "Currency"}, {varDate, "Date"},
                 {varOleStr, "OleStr"},     {varBoolean, "Boolean"}, {varVariant, "Variant"},   {varByte, "Byte"},
                 {varInt64, "Int64"},       {varString, "String"}};
    std::string Text = "Unknown";
    for (const auto& N : Names)
        if (N.Type == (AType & varTypeMask))
            Text = N.Name;
    return (AType & varArray) ? "Array " + Text : Text;
}

// ---------------------------------------------------------------------------------------------
// Conversions

namespace {
// A string as a number in the user's settings, or raise.
double StringToDouble(const Variant& V, TVarType To) {
    double D;
    std::string S = V.AsString();
    if (TryStrToFloat(Trim(S), D))
        return D;
    CannotConvert(V.VType(), To);
}

Int64 RangeChecked(const Variant& V, double D, TVarType To, double Low, double High) {
    double R = std::nearbyint(D);  // half to even, as the platform converts floats to integers
    if (!(R >= Low && R <= High))
        Overflow(V.VType(), To);
    return static_cast<Int64>(R);
}
}  // namespace

Int64 Variant::AsInt64() const { return ToInt64(varInt64); }

Int64 Variant::ToInt64(TVarType To) const {
    if (FType == varEmpty)
        return 0;
    if (IsIntegerType(FType))
        return FInt;
    if (FType == varCurrency)
        return RangeChecked(*this, FInt / 10000.0, To, -9.2233720368547758e18, 9.2233720368547748e18);
    if (IsFloatType(FType))
        return RangeChecked(*this, FDouble, To, -9.2233720368547758e18, 9.2233720368547748e18);
    if (IsStringType(FType)) {
        Int64 I;
        if (TryStrToInt64(Trim(AsString()), I))
            return I;
        return RangeChecked(*this, StringToDouble(*this, To), To, -9.2233720368547758e18, 9.2233720368547748e18);
    }
    CannotConvert(FType, To);
}

LongInt Variant::AsInteger() const {
    Int64 I = ToInt64(varInteger);
    if (I < INT32_MIN || I > INT32_MAX)
        Overflow(FType, varInteger);
    return static_cast<LongInt>(I);
}

double Variant::AsDouble() const {
    if (FType == varEmpty)
        return 0;
    if (IsIntegerType(FType))
        return static_cast<double>(FInt);
    if (FType == varCurrency)
        return FInt / 10000.0;
    if (IsFloatType(FType))
        return FDouble;
    if (IsStringType(FType))
        return StringToDouble(*this, varDouble);
    CannotConvert(FType, varDouble);
}

double Variant::AsCurrency() const {
    if (FType == varCurrency)
        return FInt / 10000.0;
    return FromCurrency(AsDouble()).AsDouble();
}

TDateTime Variant::AsDateTime() const {
    if (IsStringType(FType)) {
        TDateTime D;
        if (TryStrToDateTime(AsString(), D))
            return D;
        CannotConvert(FType, varDate);
    }
    if (FType == varBoolean)
        CannotConvert(FType, varDate);
    return AsDouble();
}

bool Variant::AsBoolean() const {
    if (FType == varEmpty)
        return false;
    if (IsIntegerType(FType) || FType == varCurrency)
        return FInt != 0;
    if (IsFloatType(FType))
        return FDouble != 0;
    if (IsStringType(FType)) {
        bool B;
        if (TryStrToBool(Trim(AsString()), B))
            return B;
    }
    CannotConvert(FType, varBoolean);
}

std::string Variant::AsString() const {
    switch (FType) {
    case varEmpty:
        return {};
    case varString:
        return FString;
    case varOleStr:
        return WideToAnsi(FWide);
    case varBoolean:
        return FInt ? "True" : "False";
    case varSmallint:
    case varInteger:
    case varByte:
    case varInt64:
        return IntToStr(FInt);
    case varCurrency:
        return FloatToStr(FInt / 10000.0);
    case varDate:
        return DateTimeToStr(FDouble);
    case varSingle:
        return FloatToStrF(FDouble, ffGeneral, 7, 0);
    case varDouble:
        return FloatToStr(FDouble);
    default:
        CannotConvert(FType, varString);
    }
}

std::wstring Variant::AsWideString() const { return FType == varOleStr ? FWide : AnsiToWide(AsString()); }

int Variant::ArrayCount() const {
    if (!IsArray())
        throw EVariantError(SVarNotArray);
    return static_cast<int>(FArray.size());
}

const Variant& Variant::operator[](int Index) const {
    if (Index < 0 || Index >= ArrayCount())
        throw EVariantError(SVarArrayBounds);
    return FArray[static_cast<size_t>(Index)];
}

Variant& Variant::operator[](int Index) {
    if (Index < 0 || Index >= ArrayCount())
        throw EVariantError(SVarArrayBounds);
    return FArray[static_cast<size_t>(Index)];
}

int VarArrayLowBound(const Variant& V, int Dim) {
    if (Dim != 1)
        throw EVariantError(SVarArrayBounds);
    V.ArrayCount();
    return 0;
}

int VarArrayHighBound(const Variant& V, int Dim) {
    if (Dim != 1)
        throw EVariantError(SVarArrayBounds);
    return V.ArrayCount() - 1;
}

bool VarIsStr(const Variant& V) { return IsStringType(V.VType()); }
bool VarIsNumeric(const Variant& V) { return IsIntegerType(V.VType()) || IsFloatType(V.VType()); }

std::string VarToStr(const Variant& V) { return VarToStrDef(V, std::string()); }

std::string VarToStrDef(const Variant& V, const std::string& Default) {
    return V.IsNull() || V.IsEmpty() ? Default : V.AsString();
}

std::wstring VarToWideStr(const Variant& V) { return V.IsNull() || V.IsEmpty() ? std::wstring() : V.AsWideString(); }

TDateTime VarToDateTime(const Variant& V) { return V.AsDateTime(); }

Variant VarAsType(const Variant& V, TVarType AType) {
    switch (AType) {
    case varEmpty:
        return Variant();
    case varNull:
        return Null();
    case varSmallint: {
        LongInt I = V.AsInteger();
        if (I < -32768 || I > 32767)
            throw EVariantError(SVarTypeConvertOverflow, {VarTypeAsText(V.VType()), VarTypeAsText(AType)});
        return Variant(static_cast<SmallInt>(I));
    }
    case varByte: {
        LongInt I = V.AsInteger();
        if (I < 0 || I > 255)
            throw EVariantError(SVarTypeConvertOverflow, {VarTypeAsText(V.VType()), VarTypeAsText(AType)});
        return Variant(static_cast<Byte>(I));
    }
    case varInteger:
        return Variant(V.AsInteger());
    case varInt64:
        return Variant(V.AsInt64());
    case varSingle:
        return Variant(static_cast<float>(V.AsDouble()));
    case varDouble:
        return Variant(V.AsDouble());
    case varCurrency:
        return Variant::FromCurrency(V.AsDouble());
    case varDate:
        return Variant::FromDateTime(V.AsDateTime());
    case varBoolean:
        return Variant(V.AsBoolean());
    case varString:
        return Variant(V.AsString());
    case varOleStr:
        return Variant(V.AsWideString());
    default:
        throw EVariantError(SVarTypeCouldNotConvert, {VarTypeAsText(V.VType()), VarTypeAsText(AType)});
    }
}

// ---------------------------------------------------------------------------------------------
// Comparison

TVariantRelationship VarCompareValue(const Variant& A, const Variant& B) {
    TVarType TA = A.FType, TB = B.FType;
    if (A.IsArray() || B.IsArray())
        throw EVariantError(SVarInvalidOp);
    bool NoValueA = TA == varNull || TA == varEmpty, NoValueB = TB == varNull || TB == varEmpty;
    if (NoValueA || NoValueB)
        return TA == TB ? vrEqual : vrNotEqual;
    auto Order = [](auto X, auto Y) { return X < Y ? vrLessThan : (Y < X ? vrGreaterThan : vrEqual); };
    if (IsStringType(TA) && IsStringType(TB)) {
        int C = (TA == varOleStr || TB == varOleStr) ? WideCompareStr(A.AsWideString(), B.AsWideString())
                                                     : AnsiCompareStr(A.FString, B.FString);
        if (C == 0 && A.AsWideString() != B.AsWideString())  // equal to the locale, yet not the same text
            C = A.AsWideString() < B.AsWideString() ? -1 : 1;
        return Order(C, 0);
    }
    if (IsIntegerType(TA) && IsIntegerType(TB))
        return Order(A.FInt, B.FInt);
    // Numbers, or a string against a number: compared as numbers (a string that is no number
    // cannot be ordered against one).
    double DA, DB;
    try {
        DA = A.AsDouble();
        DB = B.AsDouble();
    } catch (const EVariantError&) {
        throw EVariantError(SVarInvalidOp);
    }
    return Order(DA, DB);
}

bool Variant::operator==(const Variant& Other) const {
    if (IsArray() || Other.IsArray()) {
        if (!IsArray() || !Other.IsArray() || FArray.size() != Other.FArray.size())
            return false;
        for (size_t I = 0; I < FArray.size(); ++I)
            if (FArray[I] != Other.FArray[I])
                return false;
        return true;
    }
    try {
        return VarCompareValue(*this, Other) == vrEqual;
    } catch (const EVariantError&) {
        return false;  // a string that is no number is not equal to any number
    }
}

bool Variant::operator<(const Variant& Other) const {
    TVariantRelationship R = VarCompareValue(*this, Other);
    if (R == vrNotEqual)
        throw EVariantError(SVarInvalidOp);
    return R == vrLessThan;
}
