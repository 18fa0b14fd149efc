// The field kinds: native buffer sizes, conversions and their errors, null values, display texts,
// validation, required fields and blobs.
#include "DataSetTestTable.h"

#include <gtest/gtest.h>

namespace {

// One field of every kind the program's tables and queries use, in an open table with one empty
// record being appended.
class EveryKind : public ::testing::Test {
protected:
    void SetUp() override {
        T.reset(Create<TTestTable>(nullptr));
        TFieldDefs* D = T->FieldDefs();
        D->Add("S", ftString, 4);
        D->Add("Fixed", ftFixedChar, 6);
        D->Add("Small", ftSmallint);
        D->Add("I", ftInteger);
        D->Add("W", ftWord);
        D->Add("B", ftBoolean);
        D->Add("F", ftFloat);
        D->Add("Cur", ftCurrency);
        D->Add("Bcd", ftBCD, 4);
        D->Add("D", ftDate);
        D->Add("Tm", ftTime);
        D->Add("DT", ftDateTime);
        D->Add("Bytes", ftBytes, 4);
        D->Add("VarBytes", ftVarBytes, 6);
        D->Add("Auto", ftAutoInc);
        D->Add("Blob", ftBlob);
        D->Add("Memo", ftMemo);
        D->Add("Wide", ftWideString, 10);
        D->Add("Large", ftLargeint);
        D->Add("Guid", ftGuid, 38);
        T->Open();
        T->Append();
    }
    TField* F(const char* Name) { return T->FieldByName(Name); }
    template <class E>
    std::string ErrorOf(const std::function<void()>& Step) {
        try {
            Step();
        } catch (const E& Err) {
            return Err.Message();
        }
        return "(no error)";
    }
    TOwned<TTestTable> T;
};

TEST_F(EveryKind, ClassesAndNativeSizes) {
    struct Case {
        const char* Field;
        TClass Class;
        int DataSize;
    };
    const Case Cases[] = {
        {"S", TStringField::StaticClass(), 5},          {"Fixed", TStringField::StaticClass(), 7},
        {"Small", TSmallintField::StaticClass(), 2},    {"I", TIntegerField::StaticClass(), 4},
        {"W", TWordField::StaticClass(), 2},            {"B", TBooleanField::StaticClass(), 2},
        {"F", TFloatField::StaticClass(), 8},           {"Cur", TCurrencyField::StaticClass(), 8},
        {"Bcd", TBCDField::StaticClass(), 34},          {"D", TDateField::StaticClass(), 4},
        {"Tm", TTimeField::StaticClass(), 4},           {"DT", TDateTimeField::StaticClass(), 8},
        {"Bytes", TBytesField::StaticClass(), 4},       {"VarBytes", TVarBytesField::StaticClass(), 8},
        {"Auto", TAutoIncField::StaticClass(), 4},      {"Blob", TBlobField::StaticClass(), 0},
        {"Memo", TMemoField::StaticClass(), 0},         {"Wide", TWideStringField::StaticClass(), 22},
        {"Large", TLargeintField::StaticClass(), 8},    {"Guid", TGuidField::StaticClass(), 39},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(F(C.Field)->ClassType(), C.Class) << C.Field;
        EXPECT_EQ(F(C.Field)->DataSize(), C.DataSize) << C.Field;
        EXPECT_TRUE(F(C.Field)->IsNull()) << C.Field << " starts null";
    }
    EXPECT_EQ(F("Fixed")->DataType(), ftFixedChar);
    EXPECT_EQ(F("I")->Alignment(), taRightJustify);
    EXPECT_EQ(F("S")->Alignment(), taLeftJustify);
    EXPECT_EQ(F("S")->DisplayWidth(), 4);
    EXPECT_EQ(F("S")->DisplayLabel(), "S");
}

TEST_F(EveryKind, NullsReadAsEmptyValues) {
    EXPECT_EQ(F("S")->AsString(), "");
    EXPECT_EQ(F("I")->AsInteger(), 0);
    EXPECT_FALSE(F("B")->AsBoolean());
    EXPECT_EQ(F("F")->AsFloat(), 0.0);
    EXPECT_EQ(F("DT")->AsDateTime(), 0.0);
    EXPECT_EQ(F("DT")->DisplayText(), "");
    EXPECT_EQ(F("I")->DisplayText(), "");
    EXPECT_TRUE(VarIsNull(F("I")->AsVariant()));
    EXPECT_TRUE(VarIsNull(F("S")->AsVariant()));
}

TEST_F(EveryKind, TextConversionsTable) {
    struct Case {
        const char* Field;
        const char* In;
        std::string Out;  // AsString afterwards
    };
    const Case Cases[] = {
        {"S", "abcdef", "abcd"},       // cut to Size
        {"S", "ab  ", "ab  "},         // trailing blanks kept
        {"Fixed", "xy", "xy"},
        {"I", "-42", "-42"},
        {"I", "$1F", "31"},
        {"Small", "-32768", "-32768"},
        {"W", "65535", "65535"},
        {"Large", "1099511627776", "1099511627776"},
        {"B", "True", "True"},
        {"B", "f", "False"},
        {"B", "TR", "True"},
        {"Bytes", "ab", std::string("ab\0\0", 4)},
        {"VarBytes", "abc", "abc"},
        {"Memo", "a long text", "a long text"},
        {"Wide", "wide", "wide"},
        {"I", "", ""},  // empty text clears
    };
    for (const Case& C : Cases) {
        F(C.Field)->SetAsString(C.In);
        EXPECT_EQ(F(C.Field)->AsString(), C.Out) << C.Field << " <- " << C.In;
    }
    EXPECT_TRUE(F("I")->IsNull());
    F("Bytes")->SetAsString(std::string("a\0b", 3));
    EXPECT_EQ(F("Bytes")->AsString(), std::string("a\0b\0", 4)) << "bytes keep NULs";
}

TEST_F(EveryKind, ConversionErrorsTable) {
    struct Case {
        const char* Name;
        std::function<void()> Step;
        const char* Message;
    };
    const Case Cases[] = {
        {"integer text", [&] { F("I")->SetAsString("12a"); }, "'12a' is not a valid integer value for field 'I'"},
        {"float text", [&] { F("F")->SetAsString("1x"); }, "'1x' is not a valid floating point value for field 'F'"},
        {"boolean text", [&] { F("B")->SetAsString("maybe"); }, "'maybe' is not a valid boolean value for field 'B'"},
        {"small integer range", [&] { F("Small")->SetAsInteger(40000); },
         "40000 is not a valid value for field 'Small'. The allowed range is -32768 to 32767"},
        {"word range", [&] { F("W")->SetAsInteger(-1); }, "-1 is not a valid value for field 'W'. The allowed range is 0 to 65535"},
        {"integer as a date", [&] { F("I")->SetAsDateTime(1.0); }, "Cannot access field 'I' as type DateTime"},
        {"boolean as a float", [&] { (void)F("B")->AsFloat(); }, "Cannot access field 'B' as type Float"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(ErrorOf<EDatabaseError>(C.Step), C.Message) << C.Name;
    auto* I = static_cast<TIntegerField*>(F("I"));
    I->SetMinValue(1);
    I->SetMaxValue(10);
    EXPECT_EQ(ErrorOf<EDatabaseError>([&] { I->SetAsInteger(11); }),
              "11 is not a valid value for field 'I'. The allowed range is 1 to 10");
}

TEST_F(EveryKind, NativeDateAndTimeValues) {
    TDateTime Value = EncodeDateTime(2024, 3, 5, 14, 30, 15, 250);
    F("DT")->SetAsDateTime(Value);
    F("D")->SetAsDateTime(Value);
    F("Tm")->SetAsDateTime(Value);
    double MSecs = 0;
    ASSERT_TRUE(F("DT")->GetData(&MSecs));
    EXPECT_EQ(MSecs, static_cast<double>(TimeStampToMSecs(DateTimeToTimeStamp(Value))))
        << "milliseconds since 0001-01-01";
    LongInt Days = 0, Ms = 0;
    ASSERT_TRUE(F("D")->GetData(&Days));
    ASSERT_TRUE(F("Tm")->GetData(&Ms));
    EXPECT_EQ(Days, DateTimeToTimeStamp(Value).Date);
    EXPECT_EQ(Ms, ((14 * 60 + 30) * 60 + 15) * 1000 + 250);
    EXPECT_NEAR(F("DT")->AsDateTime(), Value, 1e-9);
    EXPECT_EQ(F("D")->AsDateTime(), EncodeDate(2024, 3, 5));
    EXPECT_NEAR(F("Tm")->AsDateTime(), EncodeTime(14, 30, 15, 250), 1e-9);
    // Ordering of the native date-time follows the dates, also before 1899-12-30.
    F("DT")->SetAsDateTime(EncodeDate(1800, 1, 1));
    double Early = 0;
    F("DT")->GetData(&Early);
    EXPECT_LT(Early, MSecs);
}

TEST_F(EveryKind, DisplayTextLocale) {
    TDateTime Value = EncodeDateTime(2024, 3, 5, 14, 30, 15, 0);
    F("DT")->SetAsDateTime(Value);
    EXPECT_EQ(F("DT")->DisplayText(), DateTimeToStr(Value));
    F("DT")->SetAsDateTime(EncodeDate(2024, 3, 5));
    EXPECT_EQ(F("DT")->DisplayText(), DateToStr(EncodeDate(2024, 3, 5))) << "midnight shows the date alone";
    static_cast<TDateTimeField*>(F("DT"))->SetDisplayFormat("yyyy-mm-dd");
    EXPECT_EQ(F("DT")->DisplayText(), "2024-03-05");
    EXPECT_EQ(F("DT")->Text(), DateToStr(EncodeDate(2024, 3, 5))) << "the edit text ignores DisplayFormat";
    F("DT")->SetAsString(DateTimeToStr(Value));
    EXPECT_NEAR(F("DT")->AsDateTime(), Value, 1e-8);

    F("F")->SetAsFloat(2.5);
    EXPECT_EQ(F("F")->AsString(), std::string("2") + DecimalSeparator + "5");
    F("F")->SetAsString(std::string("3") + DecimalSeparator + "25");
    EXPECT_EQ(F("F")->AsFloat(), 3.25);
    static_cast<TFloatField*>(F("F"))->SetDisplayFormat("0.000");
    EXPECT_EQ(F("F")->DisplayText(), std::string("3") + DecimalSeparator + "250");

    F("Bcd")->SetAsString(std::string("12345") + DecimalSeparator + "6789");
    EXPECT_EQ(F("Bcd")->AsCurrency(), 123456789);
    EXPECT_EQ(F("Bcd")->AsString(), std::string("12345") + DecimalSeparator + "6789");
    F("Bcd")->SetAsFloat(-0.5);
    EXPECT_EQ(F("Bcd")->AsCurrency(), -5000);
}

TEST_F(EveryKind, BooleansAndStringsAsEachOther) {
    F("B")->SetAsBoolean(true);
    Word Raw = 0;
    F("B")->GetData(&Raw);
    EXPECT_NE(Raw, 0) << "16-bit true";
    EXPECT_EQ(F("B")->AsInteger(), 1);
    static_cast<TBooleanField*>(F("B"))->SetDisplayValues("Yes;No");
    EXPECT_EQ(F("B")->AsString(), "Yes");
    F("B")->SetAsString("n");
    EXPECT_FALSE(F("B")->AsBoolean());

    struct Case {
        const char* Text;
        bool Value;
    };
    for (Case C : {Case{"T", true}, Case{"true", true}, Case{"Y", true}, Case{"yes", true}, Case{"F", false}, Case{"0", false},
                   Case{"", false}}) {
        F("S")->SetAsString(C.Text);
        EXPECT_EQ(F("S")->AsBoolean(), C.Value) << C.Text;
    }
    F("S")->SetAsInteger(12);
    EXPECT_EQ(F("S")->AsInteger(), 12);
}

TEST_F(EveryKind, WideStringsGoThroughTheCodePage) {
    // Cyrillic in the Russian code page: "Привет" is six characters, cut to ten without loss.
    std::string Ansi = "\xCF\xF0\xE8\xE2\xE5\xF2";
    F("Wide")->SetAsString(Ansi);
    auto* W = static_cast<TWideStringField*>(F("Wide"));
    EXPECT_EQ(W->AsWideString(), AnsiToWide(Ansi));
    EXPECT_EQ(W->AsString(), Ansi);
    W->SetAsWideString(L"0123456789ABC");
    EXPECT_EQ(W->AsWideString(), L"0123456789") << "cut to Size characters";
}

TEST_F(EveryKind, VariantsCarryTheKind) {
    F("I")->SetAsInteger(7);
    F("S")->SetAsString("ab");
    F("B")->SetAsBoolean(true);
    F("F")->SetAsFloat(1.25);
    F("DT")->SetAsDateTime(EncodeDate(2020, 1, 2));
    F("Large")->SetAsLargeInt(Int64(1) << 40);
    EXPECT_EQ(VarType(F("I")->AsVariant()), varInteger);
    EXPECT_EQ(VarType(F("S")->AsVariant()), varString);
    EXPECT_EQ(VarType(F("B")->AsVariant()), varBoolean);
    EXPECT_EQ(VarType(F("F")->AsVariant()), varDouble);
    EXPECT_EQ(VarType(F("DT")->AsVariant()), varDate);
    EXPECT_EQ(VarType(F("Large")->AsVariant()), varInt64);
    F("I")->SetAsVariant(Variant("15"));
    EXPECT_EQ(F("I")->AsInteger(), 15);
    F("I")->SetAsVariant(Null());
    EXPECT_TRUE(F("I")->IsNull());
    F("S")->SetValue(Variant(3.5));
    EXPECT_FALSE(F("S")->IsNull());
}

TEST_F(EveryKind, BlobsThroughStreams) {
    auto* Memo = static_cast<TBlobField*>(F("Memo"));
    EXPECT_EQ(Memo->DisplayText(), "(memo)");
    Memo->SetAsString("line one\r\nline two");
    EXPECT_EQ(Memo->DisplayText(), "(MEMO)");
    EXPECT_EQ(Memo->Text(), "line one\r\nline two");
    EXPECT_TRUE(Memo->Modified());
    TStringStream In("binary");
    static_cast<TBlobField*>(F("Blob"))->LoadFromStream(&In);
    T->Post();
    EXPECT_EQ(Memo->AsString(), "line one\r\nline two") << "stored with the record";
    EXPECT_FALSE(Memo->Modified()) << "posting forgets the change mark";
    EXPECT_EQ(T->ClosedBlobs, (std::vector<std::string>{"Blob", "Memo"})) << "only changed blobs are closed";
    TStringStream Out;
    static_cast<TBlobField*>(F("Blob"))->SaveToStream(&Out);
    EXPECT_EQ(Out.DataString(), "binary");
    EXPECT_EQ(ErrorOf<EDatabaseError>([&] { Memo->SetAsString("x"); }), "Dataset not in edit or insert mode");
    T->Edit();
    Memo->Clear();
    EXPECT_TRUE(Memo->IsNull());
    T->ClosedBlobs.clear();
    T->Cancel();
    EXPECT_EQ(T->ClosedBlobs, std::vector<std::string>{"Memo"});
    EXPECT_EQ(Memo->AsString(), "line one\r\nline two") << "cancel brings the stored blob back";
}

TEST_F(EveryKind, ValidationRequiredAndTextEvents) {
    F("I")->SetAsInteger(1);
    F("I")->OnValidate = TFieldNotifyEvent::FromFunction([](TField* Sender) {
        if (Sender->AsInteger() < 0)
            throw EDatabaseError("negative");
    });
    EXPECT_EQ(ErrorOf<EDatabaseError>([&] { F("I")->SetAsInteger(-3); }), "negative");
    EXPECT_EQ(F("I")->AsInteger(), 1) << "a refused value is not stored";

    F("S")->SetRequired(true);
    EXPECT_EQ(ErrorOf<EDatabaseError>([&] { T->Post(); }), "Field 'S' must have a value");
    EXPECT_EQ(T->State(), dsInsert) << "the record stays in insert state";

    F("S")->OnGetText = TFieldGetTextEvent::FromFunction([](TField* Sender, std::string& Text, bool Display) {
        Text = (Display ? "[" : "<") + Sender->AsString() + (Display ? "]" : ">");
    });
    F("S")->OnSetText = TFieldSetTextEvent::FromFunction([](TField* Sender, const std::string& Text) {
        Sender->SetAsString(UpperCase(Text));
    });
    F("S")->SetText("ab");
    EXPECT_EQ(F("S")->DisplayText(), "[AB]");
    EXPECT_EQ(F("S")->Text(), "<AB>");
    T->Post();
    EXPECT_EQ(T->State(), dsBrowse);
}

TEST_F(EveryKind, ChangesFireOnChangeAndMarkModified) {
    int Changes = 0;
    F("I")->OnChange = TFieldNotifyEvent::FromFunction([&](TField*) { ++Changes; });
    EXPECT_FALSE(T->Modified());
    F("I")->SetAsInteger(5);
    EXPECT_EQ(Changes, 1);
    EXPECT_TRUE(T->Modified());
}

}  // namespace
