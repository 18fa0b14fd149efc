#include "TestContainer.h"
#include "TreeListTestSupport.h"
#include "dxExEdtr.h"

using namespace treelist_tests;

namespace {
struct PickEditTest : TEditorTest<TdxInplacePickEdit> {
    void SetUp() override {
        TEditorTest::SetUp();
        Edit->Items()->SetText("Apple\r\nApricot\r\nBanana");
        Edit->ImmediateDropDown = false;
    }
    std::string Selected() {
        std::string S;
        Edit->GetSelText(S);
        return S;
    }
    void Key(Word K) { SendMessageA(Edit->Handle(), WM_KEYDOWN, K, 1); }
};
}  // namespace

TEST_F(PickEditTest, TypingCompletesAndSelectsTheTail) {
    Open(std::string());
    Type('a');
    Type('p');
    EXPECT_EQ("Apple", Edit->Text());
    EXPECT_EQ("ple", Selected());
    Type('r');
    EXPECT_EQ("Apricot", Edit->Text());
    EXPECT_EQ("icot", Selected());
    EXPECT_TRUE(Edit->GetModified());
}

TEST_F(PickEditTest, UnmatchedCharacterStaysUntilBackspace) {
    Open(std::string());
    Type('a');
    Type('p');
    Type('x');
    EXPECT_EQ("Apx", Edit->Text());
    EXPECT_EQ("Apx", Edit->SearchText());
    Type('e');
    EXPECT_EQ("Apxe", Edit->Text());
    Type('\b');
    Type('\b');
    EXPECT_EQ("Apple", Edit->Text());
}

TEST_F(PickEditTest, ListStyleDeletesOnlyWhenAllowed) {
    Edit->SetDropDownListStyle(true);
    Open(std::string("Banana"));
    Edit->SelectAll();
    Type('\b');
    EXPECT_EQ("Banana", Edit->Text());
    Edit->SetSelection(0, 6);
    Type('\b');
    Type('\b');
    EXPECT_EQ("Banana", Edit->Text());
    Edit->CanDeleteText = true;
    Edit->SelectAll();
    EXPECT_EQ("Banana", Selected());
    Key(VK_DELETE);
    EXPECT_EQ("", Edit->Text());
}

TEST_F(PickEditTest, StepsStopAtTheEndOrWrapOnDoubleClick) {
    Open(std::string("Apricot"));
    Edit->StepValue(1, false);
    Edit->StepValue(1, false);
    EXPECT_EQ("Banana", Edit->Text());
    EXPECT_EQ(2, Edit->PickIndex());
    Edit->Revertable = true;
    Edit->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_EQ("Apple", Edit->Text());
}

TEST_F(PickEditTest, ImmediateDropDownShowsTheCompletedItem) {
    Edit->ImmediateDropDown = true;
    Open(std::string());
    Type('b');
    ASSERT_TRUE(Edit->DroppedDown);
    TdxPopupPickListBox* L = Edit->ItemsPopup();
    EXPECT_TRUE(IsWindowVisible(L->Handle()));
    EXPECT_EQ(2, L->ItemIndex());
    EXPECT_EQ("Banana", Edit->Text());
    EXPECT_EQ(Edit->Handle(), GetFocus());
}

TEST_F(PickEditTest, EscapeClosesUnlessCloseUpAccepts) {
    Open(std::string("Apple"));
    bool TakeIt = false;
    Edit->OnCloseUp = TdxEditCloseUpEvent::FromFunction([&](TObject*, std::string&, bool& Accept) {
        if (TakeIt)
            Accept = true;
    });
    for (bool Take : {false, true}) {
        TakeIt = Take;
        Edit->OpenPopup();
        ASSERT_TRUE(Edit->DroppedDown);
        Edit->ItemsPopup()->SetItemIndex(1);
        Key(VK_ESCAPE);
        EXPECT_FALSE(Edit->DroppedDown);
        EXPECT_EQ(Take ? "Apricot" : "Apple", Edit->Text());
    }
}

TEST_F(PickEditTest, DropDownWidthIsTheWholeWidth) {
    Edit->DropDownWidth = 100;
    Open(std::string("Apple"));
    Edit->SetBounds(10, 10, 60, 24);
    Edit->OpenPopup();
    ASSERT_TRUE(Edit->DroppedDown);
    EXPECT_EQ(100, Edit->ItemsPopup()->Width());
    EXPECT_EQ(3 * Edit->ItemsPopup()->MeasuredItemHeight,
              Edit->ItemsPopup()->Height() - 2 * PopupBorderWidth(Edit->ItemsPopup()->ListBorder()) -
                  (Edit->ItemsPopup()->ListShadow() ? Edit->ItemsPopup()->ListShadowSize() : 0));
}

// The list has left the editor's window for the desktop; its items must still be drawn.
TEST_F(PickEditTest, ListDrawsItsItems) {
    Open(std::string("Apple"));
    Edit->OpenPopup();
    ASSERT_TRUE(Edit->DroppedDown);
    HWND L = Edit->ItemsPopup()->Handle();
    RedrawWindow(L, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    Pump(100);
    RECT R;
    GetClientRect(L, &R);
    HDC DC = GetDC(L);
    int Text = 0;
    const COLORREF Ink = GetSysColor(COLOR_WINDOWTEXT);
    for (int Y = R.top; Y < R.bottom; ++Y)
        for (int X = R.left; X < R.right; ++X)
            if (GetPixel(DC, X, Y) == Ink)
                ++Text;
    ReleaseDC(L, DC);
    EXPECT_GT(Text, 20);
}
