// Edit masks: the engine's formatting and validation, and a mask edit taking and refusing typed keys.
// The suites whose names hold "Locale" run under both the Russian and the English locale.
#include "ControlTestSupport.h"
#include "Mask.h"

#include <gtest/gtest.h>

using namespace controltests;

namespace {

TEST(MaskEngine, FieldsOfTheMask) {
    struct TCase {
        const char* Mask;
        bool Save;
        char Blank;
        int Length;
    };
    const TCase Cases[] = {{"000\\-0000;0;_", false, '_', 8},
                           {"!99/99/9999;1; ", true, ' ', 10},
                           {"LL", true, '_', 2},              // no fields: literals saved, "_" blank
                           {"99;0", false, '_', 2},
                           {"a;b;c\\;9;1;*", true, '*', 7}};  // ";" early in the pattern is a literal
    for (const TCase& C : Cases) {
        TEditMaskInfo M(C.Mask);
        EXPECT_EQ(M.SaveLiterals(), C.Save) << C.Mask;
        EXPECT_EQ(M.Blank(), C.Blank) << C.Mask;
        EXPECT_EQ(M.Length(), C.Length) << C.Mask;
    }
}

TEST(MaskEngine, ValuesFormattedIntoTheMask) {
    TFormatSettings S = FormatSettings;
    S.DateSeparator = '.';
    S.TimeSeparator = ':';
    struct TCase {
        const char* Mask;
        const char* Value;
        const char* EditText;
        const char* Text;
    };
    const TCase Cases[] = {
        {"!99/99;0;_", "5", "__._5", "5"},                         // right-aligned by "!"
        {"000\\-0000;0;_", "5551234", "555-1234", "5551234"},
        {"000\\-0000;1;_", "555-1234", "555-1234", "555-1234"},
        {"!99/99/9999;1; ", "25.12.2024", "25.12.2024", "25.12.2024"},
        {"!99/99/9999;1; ", "1.2.2024", " 1. 2.2024", " 1. 2.2024"},  // each part padded at its start
        {"!99/99/9999;1; ", "", "  .  .    ", "  .  .    "},
        {">LL<ll;0;_", "abCD", "ABcd", "ABcd"},
        {"00;0;_", "x7", "_7", " 7"},                              // a refused character leaves a blank
        {"99:99;1;_", "12:3", "12:3_", "12:3 "},
    };
    for (const TCase& C : Cases) {
        TEditMaskInfo M(C.Mask, S);
        std::string Edit = M.EditTextOf(C.Value);
        EXPECT_EQ(Edit, C.EditText) << C.Mask << " " << C.Value;
        EXPECT_EQ(M.TextOf(Edit), C.Text) << C.Mask << " " << C.Value;
    }
}

TEST(MaskEngine, RequiredSlotsMustBeFilled) {
    TEditMaskInfo M("L0c9;1;_");
    EXPECT_EQ(M.FirstInvalid("a1__"), -1);
    EXPECT_EQ(M.FirstInvalid("_1__"), 0);
    EXPECT_EQ(M.FirstInvalid("a___"), 1);
    EXPECT_EQ(M.FirstInvalid("a __"), 1);  // a space is no digit
    EXPECT_EQ(TEditMaskInfo("!99/99/9999;1; ").FirstInvalid("  .  .    "), -1);  // all optional
}

class MaskEditLocaleTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        MaskInitialization();
        Form = TForm::CreateNew(nullptr);
        Form->SetBounds(40, 40, 300, 120);
        Edit = Create<TMaskEdit>(Form);
        Edit->SetParent(Form);
        Edit->SetAutoSelect(false);
        Form->Show();
    }
    // The mask, then the focus (the text at that moment is what Escape brings back).
    void Start(const std::string& Mask) {
        Edit->SetEditMask(Mask);
        Edit->SetFocus();
        Edit->SetSelStart(0);
    }
    void Type(const std::string& Keys) {
        for (char K : Keys)
            SendMessageA(Edit->Handle(), WM_CHAR, static_cast<Byte>(K), 0);
    }
    TForm* Form = nullptr;
    TMaskEdit* Edit = nullptr;
};

TEST_F(MaskEditLocaleTest, DateMaskUsesTheLocaleSeparatorAndSkipsLiterals) {
    Start("!99/99/9999;1; ");
    std::string Sep(1, FormatSettings.DateSeparator);
    EXPECT_EQ(Edit->EditText(), "  " + Sep + "  " + Sep + "    ");
    int Changes = 0;
    Edit->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++Changes; });
    Type("2512x2024");  // "x" is refused and changes nothing
    EXPECT_EQ(Edit->Text(), "25" + Sep + "12" + Sep + "2024");
    EXPECT_EQ(Changes, 8);
    EXPECT_TRUE(Edit->Modified());
    // Backspace blanks the slot before the caret; the literal stays.
    Edit->SetSelStart(3);
    Type("\b");
    EXPECT_EQ(Edit->EditText(), "2 " + Sep + "12" + Sep + "2024");
}

TEST_F(MaskEditLocaleTest, TypingTheSeparatorJumpsBehindIt) {
    Start("!99/99/9999;1; ");
    Type("1");
    Type(std::string(1, FormatSettings.DateSeparator));
    Type("7");
    EXPECT_EQ(Edit->EditText().substr(0, 5), std::string("1 ") + FormatSettings.DateSeparator + "7 ");
}

TEST_F(MaskEditLocaleTest, LetterSlotsTakeTheLocaleLettersInTheirCase) {
    Start(">LL;0;_");
    Type("9");  // refused
    EXPECT_EQ(Edit->EditText(), "__");
    // 0xE0 is a small letter in both code pages (1251 and 1252); its capital is 0xC0.
    Type("\xE0");
    EXPECT_EQ(Edit->EditText(), "\xC0_");
    Type("q");
    EXPECT_EQ(Edit->Text().back(), 'Q');
}

TEST_F(MaskEditLocaleTest, LeavingWithARequiredSlotEmptyRaisesAndEscapeAbandons) {
    Start("000;0;_");
    Type("12");
    EXPECT_THROW(Edit->ValidateEdit(), EDBEditError);
    try {
        Edit->ValidateEdit();
    } catch (const EDBEditError& E) {
        EXPECT_EQ(E.Message(), "Invalid input value.  Use escape key to abandon changes");
    }
    EXPECT_EQ(Edit->SelStart(), 2);  // the caret on the empty slot
    EXPECT_EQ(Edit->Perform(CM_WANTSPECIALKEY, VK_ESCAPE, 0), 1);
    Type("\x1B");
    EXPECT_EQ(Edit->EditText(), "___");
    EXPECT_FALSE(Edit->Modified());
    Type("123");
    EXPECT_NO_THROW(Edit->ValidateEdit());
}

TEST_F(MaskEditLocaleTest, AnUnmaskedEditIsAPlainEdit) {
    Edit->SetText("free text");
    EXPECT_FALSE(Edit->IsMasked());
    Edit->SetEditMask("00;0;_");
    EXPECT_EQ(Edit->EditText(), "__");  // letters do not fit digit slots
    Edit->SetEditMask("");
    Edit->SetText("abc");
    EXPECT_EQ(Edit->Text(), "abc");
    EXPECT_NO_THROW(Edit->ValidateEdit());
}

}  // namespace
