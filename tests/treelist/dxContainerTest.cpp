#include "TestContainer.h"
#include "TreeListTestSupport.h"

using namespace treelist_tests;

namespace {
struct ContainerHintTest : TreeListTest {
    TdxContainerHintWindow* Hint = nullptr;
    void SetUp() override {
        TreeListTest::SetUp();
        Hint = Create<TdxContainerHintWindow>(NewForm());
    }
};
}  // namespace

TEST_F(ContainerHintTest, HintNearTheCornerStaysOnScreen) {
    const int W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
    Hint->ShowHintAt(TPoint{W - 5, H - 5}, "A cell text that is rather long", nullptr);
    RECT R;
    GetWindowRect(Hint->Handle(), &R);
    EXPECT_LE(R.right, W);
    EXPECT_LE(R.bottom, H);
    EXPECT_GE(R.left, 0);
    EXPECT_GE(R.top, 0);
    EXPECT_TRUE(IsWindowVisible(Hint->Handle()));
    EXPECT_NE(Hint->Handle(), GetActiveWindow());
    EXPECT_TRUE(GetWindowLongA(Hint->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(HTTRANSPARENT, Hint->Perform(WM_NCHITTEST, 0, MAKELPARAM(R.left + 1, R.top + 1)));

    // A hint far beyond the left and top edges lands at 0, 0.
    Hint->ActivateHintEx(TPoint{-50, -50}, 0, false, nullptr, "x");
    GetWindowRect(Hint->Handle(), &R);
    EXPECT_EQ(0, R.left);
    EXPECT_EQ(0, R.top);
}

TEST_F(ContainerHintTest, TextWiderThanMaxWidthWraps) {
    Hint->ActivateHintEx(TPoint{10, 10}, 0, false, nullptr, "word");
    const int OneLine = Hint->Height();
    Hint->ActivateHintEx(TPoint{10, 10}, 60, false, nullptr, "word word word word word word");
    EXPECT_LE(Hint->Width(), 66);
    EXPECT_GT(Hint->Height(), OneLine);
}

TEST_F(ContainerHintTest, BareContainerAnswersNeutrally) {
    TCustomdxContainer* C = Create<TCustomdxContainer>(Hint->Owner());
    EXPECT_FALSE(C->CanEditorModify());
    EXPECT_FALSE(C->IsEditorValidChar('a'));
    EXPECT_TRUE(C->ContainerReserved());
    EXPECT_EQ(pbFrame3D, C->EditorBorderKind());
    C->BeginEditorInit();
    EXPECT_TRUE(C->InitializingEditor());
    C->EndEditorInit();
    EXPECT_FALSE(C->InitializingEditor());
    // The editor's style comes from its container.
    TdxInplaceEdit* E = Create<TdxInplaceEdit>(C);
    ASSERT_NE(nullptr, E->Style());
    EXPECT_EQ(E, E->Style()->Edit());
    EXPECT_EQ(C, E->Container());
}
