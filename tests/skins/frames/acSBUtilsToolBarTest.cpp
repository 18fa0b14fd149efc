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

// A 16 x 16 list with one image of one colour.
TImageList* SolidImages(TComponent* Owner, TColor Color) {
    auto* L = TCustomImageList::CreateSize<TImageList>(16, 16, Owner);
    TOwned<TBitmap> Image(MakeBitmap(16, 16, pf24bit, PxOf(Color)));
    L->Add(Image.get(), nullptr);
    return L;
}

TEST_F(acSBUtilsToolBarTest, ButtonImageComesFromTheListOfItsLookAtItsPlace) {
    constexpr TColor ImageColor = 0x2020E0, HotImageColor = 0xE02020;
    Bar->SetImages(SolidImages(Form, ImageColor));
    Bar->SetHotImages(SolidImages(Form, HotImageColor));
    TToolButton* First = Bar->Buttons(0);
    First->SetStyle(tbsCheck);
    First->SetImageIndex(0);
    Bar->Buttons(1)->SetImageIndex(1);  // past the list: no image
    Data = Create<TsCommonData>(Bar, true);
    Hook = Create<TacToolBarVCLWnd>(Bar->Handle(), false, "", Manager, Data);
    // Normal and hot looks place the 16 x 16 image at ((23 - 16) / 2 + 1, (22 - 16) / 2) of the
    // button; a checked one moves it one pixel right and down.
    const struct {
        const char* Look;
        bool Hot, Down;
        TColor AtCorner, PastCorner;
    } Cases[] = {{"normal", false, false, ImageColor, ButtonColor},
                 {"hot", true, false, HotImageColor, TColor(-1)},
                 {"checked", false, true, TColor(-1), HotImageColor}};
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Look);
        Hook->HotIndex = C.Hot ? 0 : -1;
        First->SetDown(C.Down);
        TOwned<TBitmap> Image(MakeBitmap(200, 30, pf24bit));
        SendMessageA(Bar->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(Image->Canvas()->Handle()), PRF_CLIENT);
        const int X = First->Left() + 4, Y = First->Top() + 3;
        const TPx Corner = GetPx(Image.get(), X, Y), Past = GetPx(Image.get(), X + 16, Y + 16);
        if (C.AtCorner != TColor(-1))
            EXPECT_EQ(Corner, PxOf(C.AtCorner));
        else
            EXPECT_NE(Corner, PxOf(ImageColor));
        if (C.PastCorner != TColor(-1))
            EXPECT_EQ(Past, PxOf(C.PastCorner));
        else
            EXPECT_NE(Past, PxOf(HotImageColor));
        TToolButton* Second = Bar->Buttons(1);
        EXPECT_EQ(GetPx(Image.get(), Second->Left() + 11, Second->Top() + 11), PxOf(ButtonColor));
    }
}

}  // namespace
