// The edit hook on a skinned memo and list box: printing gives frame, bars and client in one image
// with the client kept off the bars, typing moves the skinned thumb, an empty list answers its top
// index with -1, and the control's own colours come back when the hook goes.
#include "../engine/SkinPixelSupport.h"

#include "acSBUtils.h"
#include "sMemo.h"

using namespace skintests;

namespace {

class acSBUtilsEditTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        acSBUtilsInitialization();
        MakeManager({{"EDIT", 0x204060},
                     {"SCROLLBAR1V", 0x0000FF},
                     {"SCROLLBAR2V", 0x00FF00},
                     {"SCROLLBTNTOP", 0xFF0000},
                     {"SCROLLBTNBOTTOM", 0x00FFFF},
                     {"SCROLLSLIDERV", 0xFFFF00}});
    }
    void TearDown() override {
        SkinTest::TearDown();
        acSBUtilsFinalization();
    }
    // A skinned memo of 60 lines with a vertical bar and its own colour clWindow, hooked by itself,
    // bars 15 thick with arrows of 10.
    TsMemo* HookedMemo() {
        auto* M = Place<TsMemo>(10, 10, 150, 120);
        M->SetScrollBars(ssVertical);
        M->SetColor(clWindow);
        std::string Text;
        for (int I = 0; I < 60; ++I)
            Text += "line " + std::to_string(I) + "\r\n";
        M->Lines()->SetText(Text);
        M->Perform(SM_ALPHACMD, SkinCommandParam(SKIN_REFRESH), reinterpret_cast<LPARAM>(Manager));
        EXPECT_TRUE(DynCast<TacEditWnd>(M->EditWnd()));
        M->EditWnd()->VertBar->Thickness = 15;
        M->EditWnd()->VertBar->ArrowLength = 10;
        RefreshWindowFrame(M->Handle(), true);
        Pump();
        return M;
    }
};

TEST_F(acSBUtilsEditTest, PrintingGivesFrameBarsAndClientInOneImage) {
    TsMemo* M = HookedMemo();
    TOwned<TBitmap> Image(MakeBitmap(150, 120, pf24bit));
    SendMessageA(M->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(Image->Canvas()->Handle()),
                 PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
    TacScrollWnd* Wnd = M->EditWnd();
    const int E = Wnd->LeftEdge;
    ASSERT_GT(E, 0) << "the memo has a frame";
    const int BarX = 150 - E - 8;  // the middle of the 15-pixel bar inside the right frame edge
    EXPECT_EQ(GetPx(Image.get(), BarX, E + 3), PxOf(0xFF0000)) << "top arrow";
    EXPECT_EQ(GetPx(Image.get(), BarX, 120 - E - 3), PxOf(0x00FFFF)) << "bottom arrow";
    EXPECT_EQ(GetPx(Image.get(), 0, 60), PxOf(0x204060)) << "the frame from the skin";
    EXPECT_EQ(GetPx(Image.get(), 150 - E - 15 - 2, 110 - E), PxOf(M->Color())) << "the client's own background";
    EXPECT_EQ(M->Color(), TColor(0x204060)) << "the control took the section's colour";
}

TEST_F(acSBUtilsEditTest, TypingMovesTheSkinnedThumb) {
    TsMemo* M = HookedMemo();
    TacScrollWnd* Wnd = M->EditWnd();
    EXPECT_EQ(Wnd->VertBar->ScrollInfo.nPos, 0);
    SendMessageA(M->Handle(), WM_KEYDOWN, VK_NEXT, 0);
    SendMessageA(M->Handle(), WM_KEYUP, VK_NEXT, 0);
    SCROLLINFO SI{};
    SI.cbSize = sizeof(SI);
    SI.fMask = SIF_POS;
    GetScrollInfo(M->Handle(), SB_VERT, &SI);
    ASSERT_GT(SI.nPos, 0) << "the memo scrolled";
    EXPECT_EQ(Wnd->VertBar->ScrollInfo.nPos, SI.nPos);
}

TEST_F(acSBUtilsEditTest, TheControlGetsItsColoursBackWhenTheHookGoes) {
    TsMemo* M = HookedMemo();
    SendMessageA(M->Handle(), WM_NCPAINT, 1, 0);
    const TColor OwnFont = M->EditWnd()->SavedFontColor;
    ASSERT_NE(OwnFont, TColor(0));
    EXPECT_EQ(M->Color(), TColor(0x204060));
    EXPECT_EQ(M->Font()->Color(), TColor(0)) << "the section's hot font colour";
    FreeAndNil(Manager);
    M->Perform(SM_ALPHACMD, SkinCommandParam(SKIN_REFRESH), 0);
    EXPECT_EQ(M->EditWnd(), nullptr);
    EXPECT_EQ(M->Color(), clWindow);
    EXPECT_EQ(M->Font()->Color(), OwnFont);
}

TEST_F(acSBUtilsEditTest, AnEmptyListAnswersItsTopIndexWithMinusOne) {
    auto* L = Place<TListBox>(10, 10, 100, 80);
    L->HandleNeeded();
    TsCommonData* D = Create<TsCommonData>(L, true);
    D->SetSkinSection("EDIT");
    D->RefreshSkinIndexes();
    auto* Wnd = Create<TacEditWnd>(L->Handle(), false, "EDIT", nullptr, D);
    EXPECT_EQ(SendMessageA(L->Handle(), LB_GETTOPINDEX, 0, 0), -1);
    L->Items()->Add("one");
    EXPECT_EQ(SendMessageA(L->Handle(), LB_GETTOPINDEX, 0, 0), 0);
    FreeAndNil(Wnd);
    FreeAndNil(D);
}

}  // namespace
