#include "DateUtils.h"
#include "TestContainer.h"
#include "TreeListTestSupport.h"
#include "dxExEdtr.h"

#include <memory>

using namespace treelist_tests;

namespace {
// The shell is never called: every rule ends in the start-click handler, which counts.
struct HyperLinkEditTest : TEditorTest<TdxInplaceHyperLinkEdit> {
    int Follows = 0;
    void SetUp() override {
        TEditorTest::SetUp();
        Edit->OnStartClick = TNotifyEvent::FromFunction([this](TObject*) { ++Follows; });
        Open(std::string("http://example.invalid/"));
    }
};
}  // namespace

TEST_F(HyperLinkEditTest, FollowingRulesInACell) {
    Edit->ActivateByClick();
    EXPECT_EQ(0, Follows);
    Edit->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    Edit->Perform(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(1, Follows);
    Edit->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_EQ(2, Follows);
    Edit->SingleClick = true;
    Edit->ActivateByClick();
    EXPECT_EQ(3, Follows);
}

TEST_F(HyperLinkEditTest, StartKeyFollowsWithoutALineBreak) {
    {
        THeldKey Ctrl(VK_CONTROL);
        PostMessageA(Edit->Handle(), WM_KEYDOWN, VK_RETURN, 1);
        PostMessageA(Edit->Handle(), WM_CHAR, '\n', 1);
        Pump(100);
    }
    EXPECT_EQ(1, Follows);
    EXPECT_EQ("http://example.invalid/", Edit->Text());
}

TEST_F(HyperLinkEditTest, CellsShowTheHandAndTheUnderlinedLinkColour) {
    Edit->SetEditFontColor(clRed);
    std::unique_ptr<TdxEditViewData, TObjectDeleter> VD(Edit->CreateViewData(false));
    EXPECT_EQ(HandCursorIndex, Edit->Meta()->GetViewCursor(VD.get(), 0, 0));
    EXPECT_EQ(ColorToRGB(clRed), VD->TextColor);
    EXPECT_TRUE(Edit->GetUnderlinedFont()->Style().Contains(fsUnderline));
    EXPECT_EQ(clRed, Edit->GetUnderlinedFont()->Color());
}

namespace {
struct TimeEditTest : TEditorTest<TdxInplaceTimeEdit> {
    void Spin(int SelStart, Word Key) {
        Edit->SetSelection(SelStart, SelStart + 1);
        Word K = Key;
        Edit->KeyDown(K, {});
        K = Key;
        Edit->KeyUp(K, {});
    }
    bool Typed(int SelStart, char Ch) {
        Edit->SetSelection(SelStart, SelStart + 1);
        return Edit->IsValidSpinChar(Ch);
    }
};
}  // namespace

TEST_F(TimeEditTest, DatePartSurvivesATimeChange) {
    Open(Variant::FromDateTime(EncodeDate(2020, 5, 1) + EncodeTime(14, 30, 0, 0)));
    EXPECT_EQ("14:30:00", Edit->Text());
    Spin(4, VK_UP);
    EXPECT_EQ("14:31:00", Edit->Text());
    Variant V;
    Edit->ReadEditValue(V);
    EXPECT_NEAR(EncodeDate(2020, 5, 1) + EncodeTime(14, 31, 0, 0), V.AsDouble(), 1e-9);
    EXPECT_TRUE(Edit->GetModified());
}

TEST_F(TimeEditTest, EmptyValueReadsAsZeroCurrency) {
    for (const Variant& Empty : {Variant(Null()), Variant(std::string())}) {
        Open(Empty);
        Variant V;
        Edit->ReadEditValue(V);
        EXPECT_EQ(varCurrency, V.VType());
        EXPECT_EQ(0.0, V.AsDouble());
    }
}

TEST_F(TimeEditTest, StepsFollowTheFieldAndStayInTheDay) {
    Open(Variant::FromDateTime(EncodeTime(23, 59, 59, 0)));
    Spin(7, VK_UP);
    EXPECT_EQ("23:59:59", Edit->Text());
    Spin(1, VK_DOWN);
    EXPECT_EQ("22:59:59", Edit->Text());
    Spin(6, VK_DOWN);
    EXPECT_EQ("22:59:58", Edit->Text());
    Edit->SetTimeEditFormat(tfHourMin);
    EXPECT_EQ("00:00;1;0", Edit->EditMask());
}

TEST_F(TimeEditTest, TypedDigitsMakeOnlyValidTimes) {
    Open(Variant::FromDateTime(EncodeTime(20, 0, 0, 0)));
    EXPECT_TRUE(Typed(0, '2'));
    EXPECT_FALSE(Typed(0, '3'));
    EXPECT_FALSE(Typed(1, '5'));
    EXPECT_TRUE(Typed(1, '3'));
    Open(Variant::FromDateTime(EncodeTime(1, 0, 0, 0)));
    EXPECT_TRUE(Typed(1, '9'));
    EXPECT_FALSE(Typed(3, '6'));
    EXPECT_TRUE(Typed(4, '9'));
    EXPECT_FALSE(Typed(6, '7'));
}
