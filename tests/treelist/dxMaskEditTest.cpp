#include "TestContainer.h"
#include "TreeListTestSupport.h"

using namespace treelist_tests;

namespace {
struct MaskEditTest : TEditorTest<TdxInplaceMaskEdit> {
    using TEditorTest::Open;
    void Open(const std::string& Mask, const std::string& Value) {
        Edit->SetEditMask(Mask);
        Open(Value);
    }
    int SelStart() {
        int S, E;
        Edit->GetSel(S, E);
        return S;
    }
    std::string Sep() { return std::string(1, FormatSettings.DateSeparator); }
};
}  // namespace

TEST_F(MaskEditTest, ShortValueIsRightAlignedWithBang) {
    Open("!99/99;0;_", "5");
    EXPECT_EQ("__" + Sep() + "_5", Edit->Text());
    EXPECT_EQ(5, Edit->MaskLength());
}

TEST_F(MaskEditTest, MaskWithoutFieldsSavesLiteralsWithUnderscoreBlanks) {
    Open("99-99", "");
    EXPECT_TRUE(Edit->SaveLiterals());
    EXPECT_EQ('_', Edit->BlankChar());
    EXPECT_EQ("__-__", Edit->Text());
}

TEST_F(MaskEditTest, TypingFillsSlotsAndSkipsLiterals) {
    Open("99-99;1;_", "");
    Edit->SetCursor(0);
    for (char Ch : {'1', '2', '3'})
        Type(Ch);
    EXPECT_EQ("12-3_", Edit->Text());
    EXPECT_EQ(4, SelStart());
    Type('x');  // refused at a digit slot
    EXPECT_EQ("12-3_", Edit->Text());
    EXPECT_TRUE(Edit->GetModified());
}

TEST_F(MaskEditTest, DateSeparatorJumpsBehindTheNextLiteral) {
    Open("99/99/9999;1;_", "");
    Edit->SetCursor(0);
    Type('1');
    Type(FormatSettings.DateSeparator);
    EXPECT_EQ(3, SelStart());
    EXPECT_EQ("1_" + Sep() + "__" + Sep() + "____", Edit->Text());
}

TEST_F(MaskEditTest, BackspaceOnTheFirstSlotDoesNothing) {
    Open("99-99;1;_", "12-34");
    Edit->SetCursor(0);
    Edit->Perform(WM_KEYDOWN, VK_BACK, 0);
    EXPECT_EQ("12-34", Edit->Text());
    Edit->SetCursor(3);
    Edit->Perform(WM_KEYDOWN, VK_BACK, 0);
    EXPECT_EQ("1_-34", Edit->Text());
    EXPECT_EQ(1, SelStart());
}

TEST_F(MaskEditTest, IncompleteValueRaisesAndKeepsTheCaretOnTheGap) {
    Open("00-00;1;_", "");
    Edit->SetCursor(0);
    Type('1');
    EXPECT_THROW(Edit->Validate(), EDBEditError);
    EXPECT_EQ(1, SelStart());
    Edit->IgnoreMaskBlank = true;
    EXPECT_NO_THROW(Edit->Validate());
}

TEST_F(MaskEditTest, ClosingWithAnIncompleteValueBringsThePreviousOneBack) {
    Open("00-00;1;_", "12-34");
    Edit->SetCursor(3);
    Edit->Perform(WM_KEYDOWN, VK_DELETE, 0);
    ASSERT_EQ("12-_4", Edit->Text());
    Edit->Closing = true;
    EXPECT_NO_THROW(Edit->Validate());
    EXPECT_EQ("12-34", Edit->Text());
    EXPECT_FALSE(Edit->GetModified());
}

TEST_F(MaskEditTest, ValueWithoutLiteralsWhenTheMaskSaysSo) {
    Open("99-99;0;_", "1234");
    EXPECT_EQ("12-34", Edit->Text());
    EXPECT_EQ("1234", Edit->GetMaskedValue());
    Variant V;
    Edit->ReadEditValue(V);
    EXPECT_EQ("1234", V.AsString());
    std::string S;
    Edit->SetEditValue(Null());
    Edit->GetEditingText(S);
    EXPECT_EQ("", S);
}

TEST_F(MaskEditTest, WithoutAMaskItIsATextEditor) {
    Open("", "plain");
    EXPECT_FALSE(Edit->IsMasked());
    EXPECT_EQ("plain", Edit->GetMaskedValue());
    Edit->GoToTextEnd();
    Type('!');
    EXPECT_EQ("plain!", Edit->Text());
}
