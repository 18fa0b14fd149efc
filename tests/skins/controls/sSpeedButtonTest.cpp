// The speed button read back as pixels: its standard frames, the group-down pattern and the
// drop-down arrow; its glyph painting (alpha glyphs blended by Blend and state, alpha-less 32-bit
// glyphs taken as keyed ones, image lists); and its state fade, stepped by hand, with the threaded
// timer that hands its ticks to the main thread.
#include "SkinControlsTestSupport.h"

#include "ExtCtrls.h"
#include "Threads.h"
#include "sSpeedButton.h"

using namespace skintests;

namespace {

int Channel(TColor C, int Shift) { return (C >> Shift) & 0xFF; }

// Each channel of A weighted by Percent over B.
TColor Over(TColor A, TColor B, int Percent) {
    TColor R = 0;
    for (int Shift : {0, 8, 16})
        R |= static_cast<TColor>((Channel(A, Shift) * Percent + Channel(B, Shift) * (100 - Percent) + 50) / 100) << Shift;
    return R;
}

::testing::AssertionResult Near(TColor Actual, TColor Expected, int Tolerance) {
    for (int Shift : {0, 8, 16})
        if (std::abs(Channel(Actual, Shift) - Channel(Expected, Shift)) > Tolerance)
            return ::testing::AssertionFailure() << std::hex << "0x" << Actual << " is not near 0x" << Expected;
    return ::testing::AssertionSuccess();
}

// Buttons on a panel that is painted into memory, so every pixel is the button's own work.
class sSpeedButtonTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        sSpeedButtonInitialization();
        Host = Place<TPanel>(0, 0, 120, 60);
        Host->SetBevelOuter(bvNone);
        Host->SetColor(0x123456);
        Host->HandleNeeded();
    }
    TsSpeedButton* PlaceButton(int Width = 40, int Height = 24) {
        auto* B = Create<TsSpeedButton>(Form);
        B->SetBounds(10, 10, Width, Height);
        B->SetParent(Host);
        return B;
    }
    // The button's pixel at (X, Y) of its own client area.
    TColor PixelOf(TsSpeedButton* B, int X, int Y) {
        TCapturedImage Image(Host->Width(), Host->Height());
        Image.Fill(0x000001);
        Host->PaintTo(Image.DC(), 0, 0);
        return Image.Pixel(B->Left() + X, B->Top() + Y);
    }
    // A 16 x 16 32-bit glyph of one colour and alpha; the corners in Corner (same alpha).
    static TBitmap* AlphaGlyph(TColor Color, Byte Alpha, TColor Corner) {
        TBitmap* G = Create<TBitmap>();
        G->SetPixelFormat(pf32bit);
        G->SetSize(16, 16);
        for (int Y = 0; Y < 16; ++Y) {
            auto* Row = static_cast<Cardinal*>(G->ScanLine(Y));
            for (int X = 0; X < 16; ++X) {
                TColor C = (X == 0 || X == 15) && (Y == 0 || Y == 15) ? Corner : Color;
                Row[X] = (Cardinal(Alpha) << 24) | (Cardinal(Channel(C, 0)) << 16) | (Cardinal(Channel(C, 8)) << 8) |
                         Cardinal(Channel(C, 16));
            }
        }
        return G;
    }
    TPanel* Host = nullptr;
};

TEST_F(sSpeedButtonTest, StandardFramesFollowFlatnessAndState) {
    const TColor Face = ColorToRGB(clBtnFace), Light = ColorToRGB(clBtnHighlight), Shadow = ColorToRGB(clBtnShadow);
    TsSpeedButton* B = PlaceButton();
    B->SetColor(0x00FFFF);

    // Flat and up: no frame; the parent shows through, or the button's own colour when opaque.
    B->SetFlat(true);
    EXPECT_EQ(PixelOf(B, 20, 12), 0x123456);
    B->SetTransparent(false);
    EXPECT_EQ(PixelOf(B, 0, 0), 0x00FFFF);
    EXPECT_EQ(PixelOf(B, 20, 12), 0x00FFFF);

    // Flat and down in its group: a sunken edge around the face and highlight pattern.
    B->SetGroupIndex(1);
    B->SetDown(true);
    EXPECT_EQ(PixelOf(B, 0, 0), Shadow);
    TColor A = PixelOf(B, 20, 12), Next = PixelOf(B, 21, 12), Below = PixelOf(B, 20, 13);
    EXPECT_NE(A, Next) << "the pattern alternates along a row";
    EXPECT_EQ(Below, Next) << "and along a column";
    EXPECT_TRUE((A == Face && Next == Light) || (A == Light && Next == Face));
    EXPECT_EQ(PixelOf(B, 21, 13), A) << "diagonal neighbours match";

    // Raised: a push-button frame, down with the same pattern inside.
    B->SetFlat(false);
    TColor Inside = PixelOf(B, 20, 12), Beside = PixelOf(B, 21, 12);
    EXPECT_TRUE((Inside == Face && Beside == Light) || (Inside == Light && Beside == Face));
    B->SetDown(false);
    EXPECT_EQ(PixelOf(B, 20, 12), Face) << "up: the plain face";
    EXPECT_NE(PixelOf(B, B->Width() - 1, B->Height() - 1), Face) << "the frame's dark edge";
}

TEST_F(sSpeedButtonTest, DropDownPartShowsAnArrowThatSinksWhenPressed) {
    TsSpeedButton* B = PlaceButton(56, 24);
    B->SetFlat(true);
    B->SetButtonStyle(tbsDropDown);
    const TColor Text = ColorToRGB(clBtnText);
    // The arrow's corner P0 = (part left + (16 - 5) div 2, (24 - 5) div 2); its middle row of the tip.
    const int X0 = B->Width() - 16 + 5, Y0 = (24 - 5) / 2;
    EXPECT_EQ(PixelOf(B, X0 + 2, Y0 + 1), Text);
    EXPECT_NE(PixelOf(B, X0 + 2, Y0 + 6), Text) << "below the tip";
    B->SetGroupIndex(1);
    B->SetDown(true);
    EXPECT_EQ(PixelOf(B, X0 + 3, Y0 + 2), Text) << "pressed: one pixel right and down";
    EXPECT_NE(PixelOf(B, X0, Y0), Text);
}

TEST_F(sSpeedButtonTest, AlphaGlyphIsBlendedByBlendAndState) {
    const TColor Face = ColorToRGB(clBtnFace);
    TsSpeedButton* B = PlaceButton();
    TOwned<TBitmap> G(AlphaGlyph(0x0000FF, 255, 0x0000FF));
    B->SetGlyph(G.get());
    B->SetNumGlyphs(1);
    B->SetBlend(40);
    auto GlyphCentre = [&] {
        TRect R;
        B->GetGlyphRect(R);
        return PixelOf(B, R.Left + 8, R.Top + 8);
    };
    struct {
        const char* What;
        bool Down, Enabled;
        int Blend;
        int Percent;  // of the glyph over the face
    } const Cases[] = {
        {"normal, blend 40", false, true, 40, 60},
        {"pressed", true, true, 40, 100},
        {"disabled, blended look", false, false, 0, 50},
    };
    for (const auto& C : Cases) {
        B->SetGroupIndex(C.Down ? 1 : 0);
        B->SetDown(C.Down);
        B->SetEnabled(C.Enabled);
        B->SetBlend(C.Blend);
        EXPECT_TRUE(Near(GlyphCentre(), Over(0x0000FF, Face, C.Percent), 2)) << C.What;
    }
}

TEST_F(sSpeedButtonTest, GlyphWithoutOpaquePixelsIsDrawnAsAKeyedOne) {
    const TColor Face = ColorToRGB(clBtnFace);
    TsSpeedButton* B = PlaceButton();
    TOwned<TBitmap> G(AlphaGlyph(0xFF0000, 0, 0xFF00FF));  // alpha 0 everywhere
    B->SetGlyph(G.get());
    B->SetNumGlyphs(1);
    TRect R;
    B->GetGlyphRect(R);
    EXPECT_EQ(PixelOf(B, R.Left + 8, R.Top + 8), 0xFF0000) << "drawn opaque";
    EXPECT_EQ(PixelOf(B, R.Left, R.Top + 15), Face) << "the corner's colour is the transparent one";
}

TEST_F(sSpeedButtonTest, ImageOfTheListIsDrawnOnlyForAnIndexInRange) {
    const TColor Face = ColorToRGB(clBtnFace);
    TsSpeedButton* B = PlaceButton();
    auto* L = TCustomImageList::CreateSize<TImageList>(16, 16, Form);
    TOwned<TBitmap> Image(Create<TBitmap>());
    Image->SetPixelFormat(pf24bit);
    Image->SetSize(16, 16);
    FillRectSolid(Image->Canvas()->Handle(), Rect(0, 0, 16, 16), 0x00FF00);
    L->Add(Image.get(), nullptr);
    B->SetImages(L);
    struct {
        int Index;
        TColor Expected;
    } const Cases[] = {{0, 0x00FF00}, {1, Face}};
    for (const auto& C : Cases) {
        B->SetImageIndex(C.Index);
        TRect R{};
        B->GetGlyphRect(R);
        if (C.Index == 0)
            ASSERT_EQ(R.Width(), 16);
        else
            R = TRect{12, 4, 28, 20};  // where the image would stand
        EXPECT_EQ(PixelOf(B, R.Left + 8, R.Top + 8), C.Expected) << C.Index;
    }
}

// ---------------------------------------------------------------------------------------------
// State fades

TEST_F(sSpeedButtonTest, SkinnedStateChangeFadesFrameByFrameAndStopsWhenBlocked) {
    MakeManager({{"SPEEDBUTTON", 0x0000FF, 0, 0, 0, 0, 0x00FF00}});
    TsGeneralData& S = Manager->SectionList[0];
    S.FadingEnabled = true;
    S.FadingIterations = 4;
    TsSpeedButton* B = PlaceButton();
    ASSERT_TRUE(B->SkinData()->IsSkinned(false));
    const int TimersBefore = FadeTimerCount;
    B->Repaint();
    B->PrepareCache();
    B->SkinData()->BackgroundStale = false;
    TColor Normal = static_cast<TColor>(GetPixel(B->SkinData()->CacheBitmap->Canvas()->Handle(), 20, 12));

    B->Perform(CM_MOUSEENTER, 0, 0);
    TsAnimTimer* T = B->AnimTimer();
    ASSERT_NE(T, nullptr) << "the mouse's arrival fades";
    EXPECT_EQ(FadeTimerCount, TimersBefore + 1);
    EXPECT_EQ(T->StepCount, 4);
    TColor Hot = static_cast<TColor>(GetPixel(B->SkinData()->CacheBitmap->Canvas()->Handle(), 20, 12));
    ASSERT_NE(Hot, Normal) << "the new state's image waits in the cache";
    for (int Step = T->Step; Step <= T->StepCount; ++Step) {
        T->Step = Step;
        T->MakeStep();
        const int W = FadeWeight(Step, T->StepCount);
        TColor Expected = 0;
        for (int Shift : {0, 8, 16})
            Expected |= static_cast<TColor>((Channel(Normal, Shift) * W + Channel(Hot, Shift) * (255 - W) + 127) >> 8)
                        << Shift;
        EXPECT_EQ(static_cast<TColor>(GetPixel(T->WorkImage->Canvas()->Handle(), 20, 12)), Expected) << Step;
    }

    // A blocked fade ends at its next tick; the bound only keeps a broken timer from hanging.
    FadingBlocked = true;
    T->Step = 1;
    ASSERT_TRUE(T->Enabled());
    for (int I = 0; I < 2000 && B->AnimTimer(); ++I) {
        Sleep(1);
        Pump();
    }
    FadingBlocked = false;
    EXPECT_EQ(B->AnimTimer(), nullptr);
    EXPECT_EQ(FadeTimerCount, TimersBefore);
}

TEST_F(sSpeedButtonTest, ThreadedTimerTicksOnTheMainThreadUntilDisabled) {
    TOwned<TacThreadedTimer> Timer(Create<TacThreadedTimer>(nullptr));
    std::vector<DWORD> Threads;
    Timer->SetOnTimer(TNotifyEvent::FromFunction([&](TObject*) { Threads.push_back(GetCurrentThreadId()); }));
    Timer->SetInterval(5);
    Timer->SetEnabled(true);
    // Ticks arrive through the main thread's synchronisation queue; the bound only keeps a broken
    // timer from hanging the run.
    for (int I = 0; I < 2000 && Threads.size() < 3; ++I) {
        CheckSynchronize(5);
        Pump();
    }
    Timer->SetEnabled(false);
    ASSERT_GE(Threads.size(), 3u);
    for (DWORD Id : Threads)
        EXPECT_EQ(Id, GetCurrentThreadId());
    EXPECT_FALSE(Timer->WorkerRunning());
    const std::size_t Seen = Threads.size();
    for (int I = 0; I < 5; ++I) {
        CheckSynchronize(5);
        Pump();
    }
    EXPECT_LE(Threads.size(), Seen + 1) << "at most a tick already on its way";
}

}  // namespace
