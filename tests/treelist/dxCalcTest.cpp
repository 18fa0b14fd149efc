#include "TestContainer.h"
#include "TreeListTestSupport.h"
#include "dxCalc.h"
#include "dxExEdtr.h"

#include <memory>

using namespace treelist_tests;

namespace {
// A calculator that keeps its display text itself.
class TTextCalculator : public TCustomdxCalculator {
    DECLARE_CLASS(TTextCalculator, TCustomdxCalculator)
public:
    using TCustomdxCalculator::TCustomdxCalculator;
    std::string Display = "0";
    int Errors = 0;
    void GetDisplayText(std::string& S) override { S = Display; }
    void SetDisplayText(const std::string& S) override { Display = S; }
};

struct CalculatorTest : TreeListTest {
    std::unique_ptr<TTextCalculator, TObjectDeleter> Calc;
    void SetUp() override {
        TreeListTest::SetUp();
        dxCalcInitialization();
        Calc.reset(Create<TTextCalculator>(nullptr));
        Calc->BeepOnError = false;
        Calc->OnCalcError = TNotifyEvent::FromFunction([this](TObject*) { ++Calc->Errors; });
    }
    // Each character typed and released, as on the keyboard; the decimal separator written as '.'.
    std::string Press(const std::string& Keys) {
        for (char Ch : Keys) {
            char K = Ch == '.' ? DecimalSeparator : Ch;
            Calc->KeyPress(K);
            Word Up = 0;
            Calc->KeyUp(Up, {});
        }
        return Calc->Display;
    }
};
}  // namespace

TEST_F(CalculatorTest, Arithmetic) {
    const struct {
        const char* Keys;
        const char* Display;
    } Cases[] = {
        {"1+2=", "3"},   {"1+2==", "3"},  {"50+10%", "55"}, {"50*10%", "5"},  {"7-10=", "-3"},
        {"9@", "3"},     {"2.5*4=", "10"}, {"1+2*3=", "9"},  {"\b", "0"},
    };
    for (const auto& C : Cases) {
        Press("\x1b");
        Calc->ButtonClick(dxCalcKey::ClearAll);
        EXPECT_EQ(C.Display, Press(C.Keys)) << C.Keys;
    }
}

TEST_F(CalculatorTest, ErrorHoldsUntilCleared) {
    EXPECT_EQ(CalcErrorText, Press("5/0="));
    EXPECT_EQ(1, Calc->Errors);
    EXPECT_EQ(CalcErrorText, Press("+"));
    EXPECT_EQ(2, Calc->Errors);
    Calc->ButtonClick(dxCalcKey::ClearAll);
    EXPECT_EQ("0", Calc->Display);
    EXPECT_EQ("4", Press("2*2="));
    Calc->ButtonClick(dxCalcKey::ClearAll);
    Calc->ButtonClick(dxCalcKey::Reciprocal);
    EXPECT_EQ(CalcErrorText, Calc->Display);
}

TEST_F(CalculatorTest, DigitsLimitedByPrecisionAndBackKeepsAZero) {
    EXPECT_EQ("1234567890123", Press("12345678901234"));
    Calc->ButtonClick(dxCalcKey::Sign);
    EXPECT_EQ("-1234567890123", Calc->Display);
    Calc->Display = "-5";
    Calc->EntryState = 1;
    EXPECT_EQ("0", Press("\b"));
    Calc->ButtonClick(dxCalcKey::ClearAll);
    EXPECT_EQ(std::string("0") + DecimalSeparator + "5", Press(".5."));
    EXPECT_EQ(std::string(1, DecimalSeparator), Calc->Key(dxCalcKey::Decimal).Caption);
}

TEST_F(CalculatorTest, ResizeScalesTheKeysAndKeepsTheCalculation) {
    Press("8+");
    Calc->ButtonClick(dxCalcKey::MemoryStore);
    EXPECT_FALSE(Calc->Key(dxCalcKey::MemoryRecall).Grayed);
    Calc->CalcSizes(100, 50);
    EXPECT_EQ(22, Calc->KeyHeight);
    Calc->CalcSizes(414, 274);
    EXPECT_GT(Calc->KeyHeight, 40);
    EXPECT_EQ(MulDiv(Calc->KeyHeight, 28, 22), Calc->KeyWidth);
    EXPECT_EQ(8.0, Calc->Memory);
    EXPECT_FALSE(Calc->Key(dxCalcKey::MemoryRecall).Grayed);
    EXPECT_EQ("10", Press("2="));
    const TRect Equals = Calc->Key(dxCalcKey::Equals).Bounds;
    EXPECT_EQ(dxCalcKey::Equals, Calc->KeyAt(Equals.Left + 1, Equals.Top + 1));
    EXPECT_EQ(Equals.Right, Calc->Key(dxCalcKey::ClearAll).Bounds.Right);
}

namespace {
struct CalcEditTest : TEditorTest<TdxInplaceCalcEdit> {
    void SetUp() override {
        TEditorTest::SetUp();
        dxCalcInitialization();
        Edit->BeepOnError = false;
    }
    void Chars(const std::string& Keys) {
        for (char Ch : Keys) {
            char K = Ch;
            Edit->PopupCalculator()->KeyPress(K);
            Word Up = 0;
            Edit->PopupCalculator()->KeyUp(Up, {});
        }
    }
};
}  // namespace

TEST_F(CalcEditTest, ResultsGoIntoTheTextAndAnErrorPutsItBack) {
    Open(std::string("6"));
    Edit->OpenPopup();
    ASSERT_TRUE(Edit->PopupCalculator());
    EXPECT_TRUE(Edit->DroppedDown);
    Chars("6*7=");
    EXPECT_EQ("42", Edit->Text());
    EXPECT_TRUE(Edit->GetModified());
    Edit->PopupCalculator()->HidePopup();
    EXPECT_EQ("42", Edit->Text());

    Open(std::string("6"));
    Edit->OpenPopup();
    Chars("6/0=");
    EXPECT_EQ(CalcErrorText, Edit->Text());
    Edit->PopupCalculator()->HidePopup();
    EXPECT_EQ("6", Edit->Text());
    EXPECT_FALSE(Edit->GetModified());
}

TEST_F(CalcEditTest, QuickCloseOnEquals) {
    for (bool Quick : {false, true}) {
        Edit->QuickClose = Quick;
        Open(std::string("1"));
        Edit->OpenPopup();
        ASSERT_TRUE(IsWindowVisible(Edit->PopupCalculator()->Handle()));
        Chars("1+1=");
        EXPECT_EQ("2", Edit->Text());
        EXPECT_EQ(!Quick, static_cast<bool>(IsWindowVisible(Edit->PopupCalculator()->Handle())));
        Edit->PopupCalculator()->HidePopup();
        Pump();
    }
}

TEST_F(CalcEditTest, ReadOnlyNeverOpensAndEachOpeningTakesTheSettings) {
    Edit->SetStoredReadOnly(true);
    Open(std::string("1"));
    Edit->OpenPopup();
    EXPECT_EQ(nullptr, Edit->PopupCalculator());
    Edit->SetStoredReadOnly(false);
    Edit->OpenPopup();
    ASSERT_TRUE(Edit->PopupCalculator());
    Edit->PopupCalculator()->HidePopup();
    Pump();
    Edit->Precision = 5;
    Edit->ButtonStyle = bsFlat;
    Edit->OpenPopup();
    EXPECT_EQ(5, Edit->PopupCalculator()->Precision);
    EXPECT_EQ(bsFlat, Edit->PopupCalculator()->ButtonStyle());
}
