#include "TestContainer.h"
#include "TreeListTestSupport.h"
#include "dxExEdtr.h"

using namespace treelist_tests;

namespace {
struct SpinEditTest : TEditorTest<TdxInplaceSpinEdit> {
    void Key(Word K, TShiftState Shift = {}) {
        Word W = K;
        Edit->KeyDown(W, Shift);
        W = K;
        Edit->KeyUp(W, Shift);
    }
};
}  // namespace

TEST_F(SpinEditTest, EqualLimitsMeanNoLimits) {
    Open("-1000");
    Key(VK_DOWN);
    EXPECT_EQ("-1001", Edit->Text());
    EXPECT_TRUE(Edit->GetModified());
    Edit->SetMinMax(0, 5);
    EXPECT_EQ("0", Edit->Text());
    Edit->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    Edit->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ("2", Edit->Text());
    EXPECT_TRUE(Box->Scrolls.empty());
}

TEST_F(SpinEditTest, UnreadableTextCountsAsTheMinimum) {
    Edit->SetMinMax(3.7, 10);
    Open("abc");
    EXPECT_EQ(3.0, Edit->GetValue());
    Key(VK_UP);
    EXPECT_EQ("4", Edit->Text());
}

TEST_F(SpinEditTest, IntegerStepsRoundTiesToEven) {
    Edit->Increment = 0.5;
    Open("2");
    Key(VK_UP);
    EXPECT_EQ("2", Edit->Text());
    Open("3");
    Key(VK_UP);
    EXPECT_EQ("4", Edit->Text());
}

TEST_F(SpinEditTest, EitherSeparatorTypesTheLocalesOne) {
    Edit->SetNumberKind(1);
    Open("1");
    Edit->GoToTextEnd();
    const char Other = FormatSettings.DecimalSeparator == ',' ? '.' : ',';
    Type(Other);
    Type('5');
    EXPECT_EQ(std::string("1") + FormatSettings.DecimalSeparator + "5", Edit->Text());
    Key(VK_UP);
    EXPECT_EQ(std::string("2") + FormatSettings.DecimalSeparator + "5", Edit->Text());
    Type('x');
    EXPECT_EQ(std::string("2") + FormatSettings.DecimalSeparator + "5", Edit->Text());
}

TEST_F(SpinEditTest, DisabledTextStillSpins) {
    Edit->EditorEnabled = false;
    Open("7");
    Edit->GoToTextEnd();
    Type('1');
    Edit->Perform(WM_KEYDOWN, VK_BACK, 0);
    Type('\b');
    Edit->SelectAll();
    Edit->Perform(WM_KEYDOWN, VK_DELETE, 0);
    Edit->Perform(WM_CLEAR);
    EXPECT_EQ("7", Edit->Text());
    Key(VK_UP);
    EXPECT_EQ("8", Edit->Text());
}

TEST_F(SpinEditTest, CtrlIncrementLeavesPlainArrowsToTheCaret) {
    Edit->UseCtrlIncrement = true;
    Open("5");
    Key(VK_UP);
    EXPECT_EQ("5", Edit->Text());
    Key(VK_UP, TShiftState{ssCtrl});
    EXPECT_EQ("6", Edit->Text());
}

TEST_F(SpinEditTest, MinimumAboveMaximumBecomesTheMaximum) {
    Edit->SetMinMax(0, 10);
    Edit->SetMinValue(20);
    EXPECT_EQ(10.0, Edit->MinValue());
    Edit->SetMaxValue(-5);
    EXPECT_EQ(10.0, Edit->MaxValue());
}

TEST_F(SpinEditTest, ReadOnlyEditorDoesNotSpin) {
    Open("1");
    Edit->SetStoredReadOnly(true);
    Key(VK_UP);
    EXPECT_EQ("1", Edit->Text());
}

TEST_F(SpinEditTest, ButtonColumnTakesTheRightOfTheFrame) {
    Open("1");
    std::unique_ptr<TdxEditViewData, TObjectDeleter> VD(Edit->CreateViewData(false));
    ViewInfo Info;
    Edit->Meta()->CalcViewInfo(VD.get(), false, Info);
    TRect Up, Down;
    ASSERT_TRUE(Edit->Meta()->SpinParts(VD.get(), Info, Up, Down));
    const int W = Edit->Meta()->SpinButtonWidth(VD.get());
    EXPECT_GE(W, 13);
    EXPECT_EQ(1, W % 2);
    EXPECT_EQ(Info.ClientBounds.Right, Up.Left);
    EXPECT_EQ(Up.Bottom, Down.Top);
    // A press on the lower part steps down at once.
    RECT R;
    GetWindowRect(Edit->Handle(), &R);
    const LPARAM P = MAKELPARAM(R.left + (Down.Left + Down.Right) / 2, R.top + (Down.Top + Down.Bottom) / 2);
    Edit->Perform(WM_NCHITTEST, 0, P);
    EXPECT_EQ(2, Edit->HotSpinButton());
    Edit->Perform(WM_NCLBUTTONDOWN, HTBORDER, P);
    EXPECT_EQ("0", Edit->Text());
    Edit->Perform(WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(0, Edit->PushedSpinButton());
}
