// Variants: types, text, conversions and their errors, Null in comparisons, arrays.
#include "Variants.h"

#include <gtest/gtest.h>

TEST(Variant, TypesOfConstructedValues) {
    struct Case {
        Variant V;
        TVarType Type;
    } Cases[] = {
        {Variant(), varEmpty},
        {Null(), varNull},
        {Variant(5), varInteger},
        {Variant(SmallInt(5)), varSmallint},
        {Variant(Byte(5)), varByte},
        {Variant(Int64(5)), varInt64},
        {Variant(5u), varInt64},
        {Variant(1.5), varDouble},
        {Variant(1.5f), varSingle},
        {Variant(true), varBoolean},
        {Variant("s"), varString},
        {Variant(std::string("s")), varString},
        {Variant(L"s"), varOleStr},
        {Variant::FromDateTime(2.5), varDate},
        {Variant::FromCurrency(1.5), varCurrency},
        {VarArrayOf({1, 2}), varArray | varVariant},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(VarType(C.V), C.Type) << VarTypeAsText(C.Type);
    EXPECT_TRUE(VarIsNull(Null()));
    EXPECT_TRUE(VarIsEmpty(Unassigned()));
    EXPECT_FALSE(VarIsNull(Variant(0)));
    EXPECT_EQ(VarTypeAsText(varArray | varVariant), "Array Variant");
}

TEST(Variant, VarToStrGivesEmptyTextForNull) {
    TFormatSettings Saved = FormatSettings;
    FormatSettings = EnglishFormatSettings();
    struct Case {
        Variant V;
        const char* Text;
    } Cases[] = {
        {Null(), ""},
        {Variant(), ""},
        {Variant(-5), "-5"},
        {Variant(true), "True"},
        {Variant(false), "False"},
        {Variant(1.5), "1.5"},
        {Variant(0.1f), "0.1"},
        {Variant(L"wide"), "wide"},
        {Variant::FromCurrency(12.34567), "12.3457"},
        {Variant::FromDateTime(EncodeDate(2026, 4, 15)), "4/15/2026"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(VarToStr(C.V), C.Text) << VarTypeAsText(C.V.VType());
    EXPECT_EQ(VarToStrDef(Null(), "n/a"), "n/a");
    EXPECT_THROW(Null().AsString(), EVariantError);
    FormatSettings = Saved;
}

TEST(Variant, ConversionsAndTheirErrors) {
    EXPECT_EQ(Variant("12").AsInteger(), 12);
    EXPECT_EQ(Variant(" 12 ").AsInt64(), 12);
    EXPECT_EQ(Variant(2.5).AsInteger(), 2) << "half to even";
    EXPECT_EQ(Variant(3.5).AsInteger(), 4);
    EXPECT_EQ(Variant(true).AsInteger(), -1);
    EXPECT_EQ(Variant().AsInteger(), 0);
    EXPECT_DOUBLE_EQ(Variant(7).AsDouble(), 7.0);
    EXPECT_TRUE(Variant("True").AsBoolean());
    EXPECT_TRUE(Variant(2).AsBoolean());
    EXPECT_FALSE(Variant(0.0).AsBoolean());
    EXPECT_DOUBLE_EQ(Variant::FromCurrency(1.23456).AsDouble(), 1.2346);
    EXPECT_EQ(Variant(L"\x41").AsString(), "A");
    EXPECT_EQ(Variant("B").AsWideString(), L"B");
    struct Bad {
        Variant V;
        TVarType To;
        const char* Message;
    } Cases[] = {
        {Null(), varInteger, "Could not convert variant of type (Null) into type (Integer)"},
        {Variant("abc"), varInteger, "Could not convert variant of type (String) into type (Integer)"},
        {Variant("abc"), varDouble, "Could not convert variant of type (String) into type (Double)"},
        {Variant("maybe"), varBoolean, "Could not convert variant of type (String) into type (Boolean)"},
        {Variant(Int64(1) << 40), varInteger, "Overflow while converting variant of type (Int64) into type (Integer)"},
        {Variant(1e30), varInteger, "Overflow while converting variant of type (Double) into type (Integer)"},
        {Variant(300), varByte, "Overflow while converting variant of type (Integer) into type (Byte)"},
        {Variant("x"), varDate, "Could not convert variant of type (String) into type (Date)"},
        {VarArrayOf({1}), varInteger, "Could not convert variant of type (Array Variant) into type (Integer)"},
    };
    for (const Bad& C : Cases) {
        try {
            VarAsType(C.V, C.To);
            ADD_FAILURE() << C.Message;
        } catch (const EVariantError& E) {
            EXPECT_EQ(E.Message(), C.Message);
        }
    }
    EXPECT_EQ(VarType(VarAsType(Variant("12"), varInteger)), varInteger);
    EXPECT_EQ(VarAsType(Variant("12"), varSmallint).AsInteger(), 12);
}

TEST(Variant, NullNeverEqualsAValue) {
    struct Case {
        Variant A, B;
        bool Equal;
    } Cases[] = {
        {Null(), Null(), true},
        {Null(), Variant(0), false},
        {Variant(""), Null(), false},
        {Variant(), Null(), false},
        {Variant(), Variant(), true},
        {Variant(), Variant(0), false},
        {Variant(5), Variant(5.0), true},
        {Variant(5), Variant(Int64(5)), true},
        {Variant("5"), Variant(5), true},
        {Variant("abc"), Variant(5), false},
        {Variant("a"), Variant("a"), true},
        {Variant("a"), Variant("A"), false},
        {Variant(L"x"), Variant("x"), true},
        {Variant(true), Variant(-1), true},
        {VarArrayOf({1, "a"}), VarArrayOf({1, "a"}), true},
        {VarArrayOf({1, "a"}), VarArrayOf({1, "b"}), false},
        {VarArrayOf({1}), Variant(1), false},
        {VarArrayOf({Null()}), VarArrayOf({Null()}), true},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(C.A == C.B, C.Equal) << VarToStr(C.A) << " / " << VarToStr(C.B);
        EXPECT_EQ(C.B == C.A, C.Equal) << "symmetric";
    }
}

TEST(Variant, OrderingRaisesForIncomparableValues) {
    EXPECT_TRUE(Variant(1) < Variant(2));
    EXPECT_TRUE(Variant(1.5) > Variant(1));
    EXPECT_TRUE(Variant("a") < Variant("b"));
    EXPECT_TRUE(Variant(1) < Variant("2"));
    EXPECT_TRUE(Variant(Int64(1) << 60) > Variant((Int64(1) << 60) - 1)) << "64-bit integers exactly";
    EXPECT_EQ(VarCompareValue(Null(), Variant(1)), vrNotEqual);
    EXPECT_EQ(VarCompareValue(Null(), Null()), vrEqual);
    EXPECT_EQ(VarCompareValue(Variant(2), Variant(1)), vrGreaterThan);
    EXPECT_THROW((void)(Null() < Variant(1)), EVariantError);
    EXPECT_THROW((void)(Variant("abc") < Variant(1)), EVariantError);
    EXPECT_THROW((void)(VarArrayOf({1}) < VarArrayOf({2})), EVariantError);
    try {
        (void)(Variant() < Variant(1));
    } catch (const EVariantError& E) {
        EXPECT_EQ(E.Message(), "Invalid variant operation");
    }
}

TEST(Variant, ArraysAreCopiedWithTheirElements) {
    Variant A = VarArrayOf({1, "two", Null()});
    EXPECT_TRUE(VarIsArray(A));
    EXPECT_EQ(VarArrayLowBound(A, 1), 0);
    EXPECT_EQ(VarArrayHighBound(A, 1), 2);
    EXPECT_EQ(A[1].AsString(), "two");
    EXPECT_TRUE(VarIsNull(A[2]));
    Variant B = A;
    B[0] = 10;
    EXPECT_EQ(A[0].AsInteger(), 1) << "a copy is deep";
    EXPECT_THROW(A[3], EVariantError);
    EXPECT_THROW(A[-1], EVariantError);
    EXPECT_THROW(Variant(1)[0], EVariantError);
    EXPECT_THROW(VarArrayHighBound(Variant(1), 1), EVariantError);
    try {
        A[3];
    } catch (const EVariantError& E) {
        EXPECT_EQ(E.Message(), "Variant or safe array index out of bounds");
    }
}
