// The speed-button handler: a button painted whole from its section into the DC its parent gives
// (pressed in the pressed look, nothing without a DC), and the button's procedure given back.
#include "../engine/SkinPixelSupport.h"

#include "acSpeedButtonHandler.h"

using namespace skintests;

namespace {

constexpr TColor ButtonColor = 0x204060, PressedColor = 0x60A020, Untouched = 0x010203, ToolColor = 0x3070B0;

class acSpeedButtonHandlerTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        MakeManager({{"SPEEDBUTTON", ButtonColor, 0, 0, 0, 0, PressedColor},
                     {"TOOLBUTTON", ToolColor},
                     {"GLOBALINFO", 0x808080}});
        Button = Place<TSpeedButton>(10, 10, 60, 24);
        Data = Create<TsCommonData>(Button, true);
        Handler = Create<TacSpeedButtonHandler>(Button, true, "SPEEDBUTTON", Manager, Data);
    }
    void TearDown() override {
        FreeAndNil(Handler);
        FreeAndNil(Data);
        SkinTest::TearDown();
    }
    TPx Painted(bool WithDC) {
        TOwned<TBitmap> Image(MakeBitmap(60, 24, pf24bit, PxOf(Untouched)));
        Button->Perform(WM_PAINT, WithDC ? reinterpret_cast<WPARAM>(Image->Canvas()->Handle()) : 0, 0);
        return GetPx(Image.get(), 30, 3);
    }
    TSpeedButton* Button = nullptr;
    TsCommonData* Data = nullptr;
    TacSpeedButtonHandler* Handler = nullptr;
};

TEST_F(acSpeedButtonHandlerTest, PaintsTheSectionInTheButtonsState) {
    EXPECT_EQ(Data->SkinSection(), "SPEEDBUTTON");
    EXPECT_EQ(Painted(true), PxOf(ButtonColor));
    Button->SetGroupIndex(1);
    Button->SetDown(true);
    EXPECT_EQ(Handler->CurrentState(), 2);
    EXPECT_EQ(Painted(true), PxOf(PressedColor));
    EXPECT_EQ(Button->Perform(SM_ALPHACMD, SkinCommandParam(SKIN_ISSKINNED), 0), 1);
}

TEST_F(acSpeedButtonHandlerTest, PaintWithoutADcDrawsNothing) {
    const int Before = Data->CacheBitmap->Width();
    Painted(false);
    EXPECT_EQ(Data->CacheBitmap->Width(), Before) << "no image was built";
}

TEST_F(acSpeedButtonHandlerTest, FreeingTheHandlerGivesTheButtonItsProcedureBack) {
    EXPECT_TRUE(Button->WindowProc == TWndMethod::Bind<&TacSpeedButtonHandler::WndProc>(Handler));
    FreeAndNil(Handler);
    EXPECT_EQ(Button->Perform(SM_ALPHACMD, SkinCommandParam(SKIN_ISSKINNED), 0), 0);
    EXPECT_NE(Painted(true), PxOf(ButtonColor)) << "the button paints itself again";
}

// Two handlers of one button leave in either order: the one left paints on, and at the end the
// button has its own procedure back (the lower one leaving first hands what it replaced up).
TEST_F(acSpeedButtonHandlerTest, TwoHandlersOfOneButtonLeaveInEitherOrder) {
    const TWndMethod Original = Handler->ReplacedWindowProc;
    for (bool LowerFirst : {true, false}) {
        if (!Handler)
            Handler = Create<TacSpeedButtonHandler>(Button, true, "SPEEDBUTTON", Manager, Data);
        auto* UpperData = Create<TsCommonData>(Button, true);
        auto* Upper = Create<TacSpeedButtonHandler>(Button, true, "TOOLBUTTON", Manager, UpperData);
        EXPECT_EQ(Painted(true), PxOf(ToolColor));
        if (LowerFirst) {
            FreeAndNil(Handler);
            EXPECT_TRUE(Upper->ReplacedWindowProc == Original);
            EXPECT_EQ(Painted(true), PxOf(ToolColor)) << "the upper handler paints on";
            FreeAndNil(Upper);
        } else {
            FreeAndNil(Upper);
            EXPECT_EQ(Painted(true), PxOf(ButtonColor)) << "the lower handler paints again";
            FreeAndNil(Handler);
        }
        EXPECT_TRUE(Button->WindowProc == Original) << LowerFirst;
        EXPECT_EQ(Button->Perform(SM_ALPHACMD, SkinCommandParam(SKIN_ISSKINNED), 0), 0);
        FreeAndNil(UpperData);
    }
}

}  // namespace
