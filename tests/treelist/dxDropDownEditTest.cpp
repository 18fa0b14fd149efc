#include "TestContainer.h"
#include "TreeListTestSupport.h"

#include <memory>
#include <vector>

using namespace treelist_tests;

namespace {
class TListPopup : public TdxInplacePopupControl {
    DECLARE_CLASS(TListPopup, TdxInplacePopupControl)
public:
    explicit TListPopup(TComponent* AOwner) : TdxInplacePopupControl(AOwner) { PopupMode = true; }

protected:
    void CreateParams(TCreateParams& Params) override {
        TdxInplacePopupControl::CreateParams(Params);
        Params.Style = WS_POPUP;
        Params.ExStyle = WS_EX_TOOLWINDOW;
    }
};

// A list editor: its popup offers "picked"; the test reads what the protocol asked for.
class TListEdit : public TdxInplaceDropDownEdit {
    DECLARE_CLASS(TListEdit, TdxInplaceDropDownEdit)
public:
    using TdxInplaceDropDownEdit::TdxInplaceDropDownEdit;
    TListPopup* Popup = nullptr;
    int Opens = 0;
    std::vector<bool> Closes;
    std::vector<int> Clicks;
    std::vector<int> Steps;

    void OpenPopup() override {
        if (DroppedDown)
            return;
        ++Opens;
        if (!Popup) {
            Popup = Create<TListPopup>(Owner());
            Popup->OwnerEdit = this;
            Popup->SetBounds(0, 0, 50, 80);
        }
        ActivePopup = Popup;
        DoOpenPopup();
        PositionPopup(Popup, true);
        DroppedDown = true;
        Popup->ShowPopupWindow();
    }
    void ClosePopup(bool Accept) override {
        Closes.push_back(Accept);
        if (Popup)
            ShowWindow(Popup->Handle(), SW_HIDE);
        DroppedDown = false;
        std::string Value = "picked";
        DoCloseUp(Value, Accept);
        if (Accept && CanChangeValue())
            SetEditText(Value);
    }
    void ButtonClick(int Index) override { Clicks.push_back(Index); }
    void StepValue(int Delta, bool) override { Steps.push_back(Delta); }
};

struct DropDownTest : TEditorTest<TListEdit> {
    void SetUp() override {
        TEditorTest::SetUp();
        Open(std::string("start"));
    }
    void Key(UINT Msg, Word K, bool Alt = false) {
        SendMessageA(Edit->Handle(), Msg, K, Alt ? (1 << 29) | 1 : 1);
    }
    TRect ButtonRect() {
        std::unique_ptr<TdxEditViewData, TObjectDeleter> VD(Edit->CreateViewData(false));
        auto* D = static_cast<TdxDropDownEditViewData*>(VD.get());
        ViewInfo Info;
        Edit->Meta()->CalcViewInfo(D, false, Info);
        TRect R[dxMaxEditButtons];
        EXPECT_EQ(1, Edit->ButtonRects(D, Info, R));
        return R[0];
    }
    LPARAM ScreenPoint(TPoint WindowPoint) {
        RECT W;
        GetWindowRect(Edit->Handle(), &W);
        return MAKELPARAM(W.left + WindowPoint.X, W.top + WindowPoint.Y);
    }
};
}  // namespace

TEST_F(DropDownTest, F4OpensAndEnterClosesWithTheValueWithoutTypingIt) {
    Key(WM_KEYDOWN, VK_F4);
    EXPECT_EQ(1, Edit->Opens);
    EXPECT_TRUE(Edit->DroppedDown);
    EXPECT_TRUE(IsWindowVisible(Edit->Popup->Handle()));
    Box->ContainerKeys.clear();
    PostMessageA(Edit->Handle(), WM_KEYDOWN, VK_RETURN, 1);
    Pump(100);
    ASSERT_EQ(1u, Edit->Closes.size());
    EXPECT_TRUE(Edit->Closes[0]);
    EXPECT_EQ("picked", Edit->Text());
    EXPECT_TRUE(Box->ContainerKeys.empty());
}

TEST_F(DropDownTest, AltF4NeverOpens) {
    Key(WM_SYSKEYDOWN, VK_F4, true);
    Pump();
    EXPECT_EQ(0, Edit->Opens);
    Key(WM_SYSKEYDOWN, VK_DOWN, true);
    EXPECT_EQ(1, Edit->Opens);
}

TEST_F(DropDownTest, SecondPressOnTheButtonClosesWithoutTheValue) {
    Edit->PressButton(true, 0);
    Pump();
    EXPECT_EQ(1, Edit->Opens);
    Edit->PressButton(true, 0);
    ASSERT_EQ(1u, Edit->Closes.size());
    EXPECT_FALSE(Edit->Closes[0]);
    EXPECT_EQ("start", Edit->Text());
}

TEST_F(DropDownTest, ReleaseOffThePushedButtonIsNoClick) {
    TRect B = ButtonRect();
    TPoint Mid{(B.Left + B.Right) / 2, (B.Top + B.Bottom) / 2};
    Edit->Perform(WM_NCHITTEST, 0, ScreenPoint(Mid));
    ASSERT_EQ(0, Edit->HotButton());
    Edit->Perform(WM_NCLBUTTONDOWN, HTBORDER, ScreenPoint(Mid));
    EXPECT_EQ(0, Edit->PushedButton());
    Edit->Perform(WM_NCHITTEST, 0, ScreenPoint(TPoint{5, 5}));  // the mouse left the button
    Edit->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(-1, Edit->PushedButton());
    EXPECT_TRUE(Edit->Clicks.empty());
    Pump();  // the press also asked for the popup
    EXPECT_EQ(1, Edit->Opens);
}

TEST_F(DropDownTest, ButtonWidthFollowsTheGlyphOrTheScrollBar) {
    const int ScrollW = GetSystemMetrics(SM_CXVSCROLL);
    Edit->Style()->SetButtonStyle(bts3D);
    EXPECT_EQ(ScrollW, ButtonRect().Width());
    std::unique_ptr<TBitmap, TObjectDeleter> Empty(Create<TBitmap>());
    Edit->SetButtonGlyph(Empty.get());
    EXPECT_EQ(ScrollW, ButtonRect().Width());
    std::unique_ptr<TBitmap, TObjectDeleter> Glyph(SolidBitmap(7, 5, clBlack));
    Edit->SetButtonGlyph(Glyph.get());
    EXPECT_EQ(7 + 2 + 2, ButtonRect().Width());
    Edit->Style()->SetButtonStyle(btsFlat);
    EXPECT_EQ(7 + 2 + 1, ButtonRect().Width());
}

TEST_F(DropDownTest, HiddenInactiveButtonsLeaveTheWholeWidthToTheText) {
    Edit->Style()->SetButtonTransparence(ebtHideInactive);
    Edit->SetHot(false);
    ::SetFocus(Box->Handle());
    Pump();
    ASSERT_FALSE(Edit->IsHotOrFocused());
    std::unique_ptr<TdxEditViewData, TObjectDeleter> VD(Edit->CreateViewData(false));
    auto* D = static_cast<TdxDropDownEditViewData*>(VD.get());
    ViewInfo Info;
    Edit->Meta()->CalcViewInfo(D, false, Info);
    EXPECT_EQ(0, D->ButtonCount);
    EXPECT_EQ(Info.Bounds.Right - 2, Info.ClientBounds.Right);
}

TEST_F(DropDownTest, WheelStepsTheValueAndNeverReachesTheContainer) {
    Edit->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    Edit->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ((std::vector<int>{1, -1}), Edit->Steps);
    EXPECT_TRUE(Box->Scrolls.empty());
}

TEST_F(DropDownTest, PopupDropsBelowTheEditorAtLeastAsWide) {
    Key(WM_KEYDOWN, VK_F4);
    RECT E, P;
    GetWindowRect(Edit->Handle(), &E);
    GetWindowRect(Edit->Popup->Handle(), &P);
    EXPECT_GE(P.right - P.left, E.right - E.left - 4);
    EXPECT_EQ(E.bottom, P.top);
    EXPECT_EQ(pbFrame3D, Edit->ResolvedPopupBorder());
}

TEST_F(DropDownTest, PopupHidingItselfEndsTheDropDown) {
    Key(WM_KEYDOWN, VK_F4);
    ASSERT_TRUE(Edit->DroppedDown);
    Edit->Popup->HidePopup();
    Pump();
    EXPECT_FALSE(Edit->DroppedDown);
}
