#include "TestContainer.h"
#include "TreeListTestSupport.h"
#include "dxCommon.h"

#include <memory>

using namespace treelist_tests;

namespace {
// A popup kind: a top-level popup window, as the calendar and calculator make theirs.
class TTestPopup : public TdxInplacePopupControl {
    DECLARE_CLASS(TTestPopup, TdxInplacePopupControl)
public:
    explicit TTestPopup(TComponent* AOwner) : TdxInplacePopupControl(AOwner) { PopupMode = true; }

protected:
    void CreateParams(TCreateParams& Params) override {
        TdxInplacePopupControl::CreateParams(Params);
        Params.Style = WS_POPUP | WS_CLIPCHILDREN;
        Params.ExStyle = WS_EX_TOOLWINDOW;
    }
};

struct PopupTest : TEditorTest<TdxInplaceEdit> {
    TTestPopup* Popup = nullptr;
    void SetUp() override {
        TEditorTest::SetUp();
        Edit->ShowAt(TRect{10, 10, 100, 30});
        Popup = Create<TTestPopup>(Form);
        Popup->OwnerEdit = Edit;
        Popup->SetBounds(100, 100, 80, 60);
    }
    bool ClosedMessageQueued() {
        MSG M;
        return PeekMessageA(&M, Edit->Handle(), PopupClosedMessage, PopupClosedMessage, PM_REMOVE) != 0;
    }
};
}  // namespace

TEST_F(PopupTest, HidingPostsTheClosedMessageEvenWhenHidden) {
    Popup->ShowPopupWindow();
    EXPECT_TRUE(IsWindowVisible(Popup->Handle()));
    EXPECT_EQ(Form->Handle(), GetWindow(Popup->Handle(), GW_OWNER));
    Popup->HidePopup();
    EXPECT_FALSE(IsWindowVisible(Popup->Handle()));
    EXPECT_TRUE(ClosedMessageQueued());
    Popup->HidePopup();
    EXPECT_TRUE(ClosedMessageQueued());
}

TEST_F(PopupTest, ClickingThePopupNeverActivatesIt) {
    Popup->ShowPopupWindow();
    LRESULT R = SendMessageA(Popup->Handle(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(Form->Handle()),
                             MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(MA_NOACTIVATE, R);
}

TEST_F(PopupTest, ShadowRegionLeavesTwoCornersOut) {
    Popup->SetShadow(true);
    Popup->SetPopupBorder(pbSingle);
    Popup->ShowPopupWindow();
    HRGN Rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(Popup->Handle(), Rgn));
    EXPECT_TRUE(PtInRegion(Rgn, 0, 0));
    EXPECT_TRUE(PtInRegion(Rgn, 79, 59));     // the shadow's own corner
    EXPECT_FALSE(PtInRegion(Rgn, 79, 0));     // top-right beside the shadow
    EXPECT_FALSE(PtInRegion(Rgn, 0, 59));     // bottom-left beside the shadow
    DeleteObject(Rgn);
    RECT C;
    GetClientRect(Popup->Handle(), &C);
    EXPECT_EQ(80 - 2 * 1 - 2, C.right);       // border on both sides, shadow on the right
}

TEST_F(PopupTest, BottomLeftGripIsTheBottomRightOneMirrored) {
    const int W = GetSystemMetrics(SM_CXVSCROLL), H = GetSystemMetrics(SM_CYHSCROLL);
    std::unique_ptr<TBitmap, TObjectDeleter> Bmp(SolidBitmap(2 * W + 10, H, clWhite));
    HDC DC = Bmp->Canvas()->Handle();
    TRect Left{0, 0, W + 5, H}, Right{W + 5, 0, 2 * W + 10, H};
    DrawGripCorner(DC, Left, 2);
    DrawGripCorner(DC, Right, 3);
    EXPECT_EQ(TRect(0, 0, W, H), Left);
    EXPECT_EQ(TRect(W + 10, 0, 2 * W + 10, H), Right);
    int Differ = 0;
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
            Differ += PixelAt(Bmp.get(), X, Y) != PixelAt(Bmp.get(), 2 * W + 9 - X, Y);
    EXPECT_EQ(0, Differ);
}
