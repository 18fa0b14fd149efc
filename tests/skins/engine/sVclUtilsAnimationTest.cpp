#include "SkinPixelSupport.h"

#include "sGraphUtils.h"
#include "sVclUtils.h"

using namespace skintests;

namespace {
// A picture whose freeing the test can see.
class TWatchedBitmap : public TBitmap {
public:
    explicit TWatchedBitmap(bool* Freed) : FFreed(Freed) {}
    ~TWatchedBitmap() override { *FFreed = true; }

private:
    bool* FFreed;
};

// A hide timer set up as StartHideAnimation leaves it, without a window to push into.
class HideTimerTest : public SkinTest {
protected:
    void Arm(int Time, TacAnimType Mode, int W, int H) {
        Timer = Create<TacHideTimer>(nullptr);
        Timer->StepCount = Time / 10;
        Timer->Alpha = 255;
        Timer->Mode = Mode;
        Timer->FrameSize = SIZE{W, H};
        Timer->Snapshot = MakeBitmap(W, H, pf32bit, TPx{255, 255, 255, 255});
        Timer->WorkBitmap = NewBitmap32(W, H);
        Timer->InitSteps();
    }
    void TearDown() override {
        FreeAndNil(Timer);
        SkinTest::TearDown();
    }
    TacHideTimer* Timer = nullptr;
};
}  // namespace

TEST_F(HideTimerTest, FadeLosesOneStepOfHalfTheOpacityPerFrame) {
    Arm(100, atFading, 4, 4);
    std::vector<int> Seen;
    for (int I = 0; I <= 10; ++I) {
        Timer->HideStep(Timer);
        Seen.push_back(Timer->Blend.SourceConstantAlpha);
    }
    EXPECT_EQ(Seen, (std::vector<int>{114, 102, 89, 76, 63, 50, 38, 25, 12, 0, 0}));
    EXPECT_NE(Timer->Snapshot, nullptr);
    Timer->HideStep(Timer);  // past the last frame: the pictures go
    EXPECT_EQ(Timer->Snapshot, nullptr);
    EXPECT_EQ(Timer->WorkBitmap, nullptr);
}

TEST_F(HideTimerTest, ZoomEndsAtThreeQuartersOfTheSizeCentred) {
    Arm(200, atAero, 40, 20);
    for (int I = 0; I <= 20; ++I)
        Timer->HideStep(Timer);
    TBitmap* Last = Timer->WorkBitmap;
    EXPECT_EQ(GetPx(Last, 4, 2), (TPx{0, 0, 0, 0}));      // outside: transparent
    EXPECT_EQ(GetPx(Last, 5, 3), (TPx{255, 255, 255, 255}));  // the picture from (5, 2.5) on
    EXPECT_EQ(GetPx(Last, 34, 16), (TPx{255, 255, 255, 255}));
    EXPECT_EQ(GetPx(Last, 35, 17), (TPx{0, 0, 0, 0}));
}

TEST_F(HideTimerTest, TooShortAHideShowsNothingAndFreesWhatItWasGiven) {
    bool Freed = false;
    TForm* AnimForm = TForm::CreateNew(nullptr);
    HWND Wnd = AnimForm->Handle();
    StartHideAnimation(AnimForm, new TWatchedBitmap(&Freed), 5, 255, atFading);
    EXPECT_TRUE(Freed);
    EXPECT_FALSE(IsWindow(Wnd));
}
