#include "TreeListTestSupport.h"

#include <memory>

using namespace treelist_tests;

namespace {
template <class T>
using TOwnedPtr = std::unique_ptr<T, TObjectDeleter>;

struct EditViewTest : TreeListTest {
    TOwnedPtr<TdxInplaceEdit> Edit{Create<TdxInplaceEdit>(nullptr)};
    TOwnedPtr<TdxEditViewData> View() { return TOwnedPtr<TdxEditViewData>(Edit->CreateViewData(false)); }
    ViewInfo InfoOf(TdxEditViewData* VD) {
        ViewInfo Info;
        Edit->Meta()->CalcViewInfo(VD, false, Info);
        return Info;
    }
};
}  // namespace

TEST_F(EditViewTest, HotTrackingRaisesTheBorderAndButtonsFollowIt) {
    struct Case {
        TdxEditBorderStyle Border;
        bool Hot;
        TdxEditBorderStyle ViewBorder;
        TdxEditButtonViewStyle ViewButtons;
    };
    const Case Cases[] = {
        {xbsSingle, true, xbsThick, bts3D},  {xbsSingle, false, xbsSingle, btsHotFlat},
        {xbsNone, true, xbsFlat, btsFlat},   {xbsNone, false, xbsNone, btsSimple},
        {xbsFlat, true, xbs3D, bts3D},       {xbs3D, true, xbs3D, bts3D},
    };
    Edit->Style()->SetHotTrack(true);
    for (const Case& C : Cases) {
        Edit->Style()->SetBorderStyle(C.Border);
        Edit->SetHot(C.Hot);
        auto VD = View();
        EXPECT_EQ(C.ViewBorder, VD->BorderStyle) << C.Border << C.Hot;
        EXPECT_EQ(C.ViewButtons, VD->ButtonStyle) << C.Border << C.Hot;
        EXPECT_EQ(C.Hot, VD->Highlighted);
    }
}

TEST_F(EditViewTest, ButtonTransparencyFollowsHighlight) {
    Edit->Style()->SetButtonTransparence(ebtInactive);
    EXPECT_TRUE(View()->ButtonsTransparent);
    Edit->SetHot(true);
    EXPECT_FALSE(View()->ButtonsTransparent);
    Edit->Style()->SetButtonTransparence(ebtAlways);
    EXPECT_TRUE(View()->ButtonsTransparent);
}

TEST_F(EditViewTest, BorderRegionOnlyWhenTheBorderDoesNotFillTheCell) {
    Edit->SetBounds(0, 0, 40, 20);
    Edit->Style()->SetBorderStyle(xbsThick);
    auto VD = View();
    ViewInfo Thick = InfoOf(VD.get());
    EXPECT_EQ(nullptr, TdxInplaceEdit::BorderRegion(Thick));
    EXPECT_EQ(TRect(0, 0, 40, 20), Thick.BorderRect);

    Edit->Style()->SetBorderStyle(xbsSingle);
    VD = View();
    ViewInfo Single = InfoOf(VD.get());
    HRGN R = TdxInplaceEdit::BorderRegion(Single);
    ASSERT_NE(nullptr, R);
    RECT Box;
    GetRgnBox(R, &Box);
    EXPECT_EQ(TRect(1, 1, 39, 19), TRect::From(Box));
    DeleteObject(R);

    Edit->Style()->SetShadow(true);
    VD = View();
    ViewInfo Shadowed = InfoOf(VD.get());
    EXPECT_EQ(2, Shadowed.ShadowSize);
    EXPECT_EQ(TRect(1, 1, 37, 17), Shadowed.BorderRect);
    EXPECT_EQ(TRect(3, 3, 39, 19), Shadowed.ShadowRect);
}

TEST_F(EditViewTest, CellIsPaintedFromViewDataAlone) {
    TOwnedPtr<TBitmap> Bmp(SolidBitmap(40, 20, clWhite));
    auto VD = View();
    VD->Bounds = TRect{0, 0, 30, 16};
    VD->BorderStyle = xbsSingle;
    VD->BorderColor = clRed;
    HBRUSH Blue = CreateSolidBrush(RGB(0, 0, 255));
    VD->Brush = Blue;
    HRGN Clip = CreateRectRgn(0, 0, 40, 20);
    Edit->Meta()->Draw(Bmp->Canvas()->Handle(), VD->Bounds, Clip, VD.get());
    EXPECT_EQ(RGB(255, 255, 255), PixelAt(Bmp.get(), 0, 0));  // outside the single border
    EXPECT_EQ(RGB(255, 0, 0), PixelAt(Bmp.get(), 1, 1));      // the border
    EXPECT_EQ(RGB(255, 0, 0), PixelAt(Bmp.get(), 28, 14));
    EXPECT_EQ(RGB(0, 0, 255), PixelAt(Bmp.get(), 10, 8));     // the client
    // The caller's clip region loses the painted cell.
    EXPECT_FALSE(PtInRegion(Clip, 10, 8));
    EXPECT_TRUE(PtInRegion(Clip, 35, 8));
    DeleteObject(Clip);
    DeleteObject(Blue);
}

TEST_F(EditViewTest, WithTheTopEdgeOffSideStripsStartOneBorderWidthHigher) {
    TOwnedPtr<TBitmap> Bmp(SolidBitmap(40, 30, clWhite));
    auto VD = View();
    VD->Bounds = TRect{0, 0, 30, 24};
    VD->BorderStyle = xbsThick;
    VD->BorderColor = clRed;
    VD->Edges = TdxEditEdges{edgLeft, edgRight, edgBottom};
    ViewInfo Info = InfoOf(VD.get());
    EXPECT_EQ(TRect(0, 2, 30, 24), Info.BorderRect);
    Edit->Meta()->DrawBorder(Bmp->Canvas()->Handle(), Info, VD.get());
    EXPECT_EQ(RGB(255, 0, 0), PixelAt(Bmp.get(), 0, 0));
    EXPECT_EQ(RGB(255, 0, 0), PixelAt(Bmp.get(), 29, 0));
    EXPECT_EQ(RGB(255, 255, 255), PixelAt(Bmp.get(), 10, 2));  // no top strip
    EXPECT_EQ(RGB(255, 0, 0), PixelAt(Bmp.get(), 10, 23));
}

TEST_F(EditViewTest, DisabledEditorPaintsInButtonColours) {
    Edit->SetEnabled(false);
    auto VD = View();
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), VD->BkColor);
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), VD->TextColor);
    EXPECT_EQ(crArrow, Edit->Meta()->GetViewCursor(VD.get(), 0, 0));
}

TEST_F(EditViewTest, TextHeightAddsTheInplaceFrame) {
    auto VD = View();
    HDC DC = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, VD->Font);
    TEXTMETRICA TM{};
    GetTextMetricsA(DC, &TM);
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
    EXPECT_EQ(TM.tmHeight + 3, Edit->Meta()->CalcTextHeight(VD.get()));
}
