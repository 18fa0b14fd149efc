// Hooks of tool bars: a framework tool bar painted through its custom-draw events from the skin (bar
// and buttons), and the program's own custom-draw handler called again once the skin is removed
// and once the hook is freed.
#include "../engine/SkinPixelSupport.h"

#include "acSBUtilsToolBar.h"

using namespace skintests;

namespace {

constexpr TColor BarColor = 0x204060, ButtonColor = 0x60A020;

struct TDrawCounter : TObject {
    int Calls = 0;
    void Draw(TToolBar*, const TRect&, TCustomDrawStage, bool& DefaultDraw) {
        ++Calls;
        DefaultDraw = true;
    }
};

class acSBUtilsToolBarTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        acSBUtilsInitialization();
        MakeManager({{"TOOLBAR", BarColor}, {"TOOLBUTTON", ButtonColor}, {"GLOBALINFO", 0x808080}});
        Bar = Place<TToolBar>(0, 0, 200, 30);
        for (int I = 0; I < 2; ++I) {
            auto* B = Create<TToolButton>(Form);
            B->SetParent(Bar);
        }
        Own = TTBAdvancedCustomDrawEvent::Bind<&TDrawCounter::Draw>(&Counter);
        Bar->OnAdvancedCustomDraw = Own;
    }
    void TearDown() override {
        FreeAndNil(Hook);
        FreeAndNil(Data);
        SkinTest::TearDown();
        acSBUtilsFinalization();
    }
    // The bar painted again at once; the number of calls of the program's handler it made.
    int Repaint() {
        const int Before = Counter.Calls;
        RedrawWindow(Bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return Counter.Calls - Before;
    }
    TToolBar* Bar = nullptr;
    TDrawCounter Counter;
    TTBAdvancedCustomDrawEvent Own;
    TsCommonData* Data = nullptr;
    TacToolBarVCLWnd* Hook = nullptr;
};

TEST_F(acSBUtilsToolBarTest, SkinnedBarPaintsItselfAndButtonsThroughItsCustomDrawEvents) {
    Data = Create<TsCommonData>(Bar, true);
    Hook = Create<TacToolBarVCLWnd>(Bar->Handle(), false, "", Manager, Data);
    EXPECT_EQ(Data->SkinSection(), "TOOLBAR");
    EXPECT_FALSE(Bar->OnAdvancedCustomDraw == Own);
    TOwned<TBitmap> Image(MakeBitmap(200, 30, pf24bit));
    SendMessageA(Bar->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(Image->Canvas()->Handle()), PRF_CLIENT);
    TToolButton* First = Bar->Buttons(0);
    EXPECT_EQ(GetPx(Image.get(), First->Left() + 3, First->Top() + 3), PxOf(ButtonColor));
    EXPECT_EQ(GetPx(Image.get(), 190, 15), PxOf(BarColor));
    EXPECT_EQ(Repaint(), 0) << "the hook draws instead of the program's handler";
}

TEST_F(acSBUtilsToolBarTest, ProgramsHandlerComesBackWhenTheSkinGoesAndWhenTheHookGoes) {
    ASSERT_GT(Repaint(), 0) << "the window asks the handler while it paints";
    Data = Create<TsCommonData>(Bar, true);
    Hook = Create<TacToolBarVCLWnd>(Bar->Handle(), false, "", Manager, Data);
    EXPECT_EQ(Repaint(), 0);
    SendMessageA(Bar->Handle(), SM_ALPHACMD, SkinCommandParam(SKIN_REMOVED), reinterpret_cast<LPARAM>(Manager));
    EXPECT_TRUE(Bar->OnAdvancedCustomDraw == Own);
    EXPECT_GT(Repaint(), 0) << "after the skin was removed";
    SendMessageA(Bar->Handle(), SM_ALPHACMD, SkinCommandParam(SKIN_LOADED), reinterpret_cast<LPARAM>(Manager));
    EXPECT_FALSE(Bar->OnAdvancedCustomDraw == Own);
    FreeAndNil(Hook);
    EXPECT_TRUE(Bar->OnAdvancedCustomDraw == Own);
    EXPECT_GT(Repaint(), 0) << "after the hook was freed";
}

}  // namespace
