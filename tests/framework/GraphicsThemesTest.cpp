// Theme services: Wine's default theme is active, yet a program without a manifest for version 6
// of the common controls draws classically, so styles count as off and callers take their classic
// path; the element numbering callers compute with maps onto the library's parts and states.
#include "GraphicsTestSupport.h"

TEST(GraphicsThemes, OffWithoutTheNewCommonControlsAndDrawingNothing) {
    TThemeServices* T = ThemeServices();
    EXPECT_FALSE(T->ThemesEnabled());
    TOwned<TBitmap> B = graphics_test::MakeBitmap(pf24bit, 8, 8, clWhite);
    TThemedElementDetails Button = TThemeServices::GetElementDetails(tbPushButtonPressed);
    T->DrawElement(B->Canvas()->Handle(), Button, Rect(0, 0, 8, 8));
    EXPECT_EQ(graphics_test::RowPixel(B.get(), 4, 4), clWhite);
    EXPECT_EQ(T->ContentRect(B->Canvas()->Handle(), Button, Rect(1, 2, 7, 8)), Rect(1, 2, 7, 8));
}

TEST(GraphicsThemes, ElementsMapToPartsAndStates) {
    struct {
        TThemedElementDetails D;
        TThemedElement Element;
        int Part, State;
    } Cases[] = {
        {TThemeServices::GetElementDetails(tbPushButtonNormal), teButton, 1, 1},
        {TThemeServices::GetElementDetails(tbPushButtonDisabled), teButton, 1, 4},
        {TThemeServices::GetElementDetails(ttbButtonNormal), teToolBar, 1, 1},
        {TThemeServices::GetElementDetails(ttbButtonPressed), teToolBar, 1, 3},
        {TThemeServices::GetElementDetails(ttbSeparatorNormal), teToolBar, 5, 1},
        {TThemeServices::GetElementDetails(ttbToolBarRoot), teToolBar, 0, 0},
    };
    for (const auto& C : Cases) {
        EXPECT_EQ(C.D.Element, C.Element);
        EXPECT_EQ(C.D.Part, C.Part);
        EXPECT_EQ(C.D.State, C.State);
    }
    EXPECT_EQ(int(ttbButtonNormal), 2);
    EXPECT_EQ(int(tbPushButtonDisabled), 5);
}
