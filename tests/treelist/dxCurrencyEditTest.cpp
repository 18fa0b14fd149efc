#include "TestContainer.h"
#include "TreeListTestSupport.h"
#include "dxExEdtr.h"

#include <cstring>

using namespace treelist_tests;

namespace {
struct CurrencyEditTest : TEditorTest<TdxInplaceCurrencyEdit> {
    TFormatSettings Saved;
    void SetUp() override {
        TEditorTest::SetUp();
        Saved = FormatSettings;
    }
    void TearDown() override {
        FormatSettings = Saved;
        TEditorTest::TearDown();
    }
    std::string Shown() {
        Variant V;
        Edit->ReadDisplayValue(V, false);
        return V.AsString();
    }
};
}  // namespace

TEST_F(CurrencyEditTest, DefaultDisplayFormatFromTheLocale) {
    CurrencyDecimals = 2;
    const struct {
        const char* Currency;
        Byte Format;
        const char* Expected;
    } Cases[] = {{"$", 0, "$,0.00;-$,0.00"},
                 {"EUR", 3, ",0.00 EUR;-,0.00 EUR"},
                 {"kr.", 1, ",0.00kr'.';-,0.00kr'.'"},
                 {"", 2, ",0.00;-,0.00"}};
    for (const auto& C : Cases) {
        CurrencyString = C.Currency;
        CurrencyFormat = C.Format;
        EXPECT_EQ(C.Expected, Edit->DefaultDisplayFormat()) << C.Currency;
    }
}

TEST_F(CurrencyEditTest, TypedTextAlwaysParses) {
    Open(std::string());
    const std::string Dot(1, DecimalSeparator);
    Type('1');
    Type(',');
    Type('2');
    Type('3');
    EXPECT_EQ("1" + Dot + "23", Edit->Text());
    Type('4');
    Type('e');
    Type('x');
    EXPECT_EQ("1" + Dot + "23", Edit->Text());
    Edit->SetText("");
    Type('-');
    Type('5');
    EXPECT_EQ("-5", Edit->Text());
}

TEST_F(CurrencyEditTest, RangeOnlyWhenTheBoundsDiffer) {
    Open(std::string("100"));
    Edit->SetMinMax(5, 10);
    EXPECT_EQ(5, Edit->MinValue());
    EXPECT_EQ(5, Edit->MaxValue());
    EXPECT_EQ("100", Edit->Text());
    Edit->SetMinMax(50, 0);
    EXPECT_EQ("50", Edit->Text());
    Edit->SetText("-3");
    Edit->SetModified(true);
    Edit->Validate();
    EXPECT_EQ("0", Edit->Text());
}

TEST_F(CurrencyEditTest, NullableEmptyTextAndFormattedCells) {
    Edit->SetDisplayFormat("0.00");
    Open(std::string());
    EXPECT_EQ(FormatFloat("0.00", 0), Shown());
    Edit->SetNullable(true);
    Edit->SetNullString("(none)");
    EXPECT_EQ("(none)", Shown());
    Variant V;
    Edit->ReadEditValue(V);
    EXPECT_TRUE(V.IsNull());
    Edit->SetText("12");
    EXPECT_EQ(FormatFloat("0.00", 12), Shown());
}

TEST_F(CurrencyEditTest, PasteOfNoNumberIsUndone) {
    Open(std::string("12"));
    for (const auto& [Clip, Expected] : {std::pair{"abc", "12"}, std::pair{"7", "7"}}) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        HGLOBAL G = GlobalAlloc(GMEM_MOVEABLE, 8);
        std::strcpy(static_cast<char*>(GlobalLock(G)), Clip);
        GlobalUnlock(G);
        SetClipboardData(CF_TEXT, G);
        CloseClipboard();
        Edit->SelectAll();
        Edit->PasteFromClipboard();
        EXPECT_EQ(Expected, Edit->Text()) << Clip;
    }
}
