#include "TestContainer.h"
#include "TreeListTestSupport.h"
#include "dxExEdtr.h"

#include <memory>
#include <vector>

using namespace treelist_tests;

namespace {
struct CheckEditTest : TEditorTest<TdxInplaceCheckEdit> {
    int Clicks = 0, Changes = 0;
    void SetUp() override {
        TEditorTest::SetUp();
        Edit->OnClick = TNotifyEvent::FromFunction([this](TObject*) { ++Clicks; });
        Edit->OnChange = TNotifyEvent::FromFunction([this](TObject*) { ++Changes; });
        Edit->ShowAt(TRect{10, 10, 110, 30});
    }
    std::vector<int> ClickStates(int N) {
        std::vector<int> States;
        for (int I = 0; I < N; ++I) {
            Edit->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            Edit->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
            States.push_back(Edit->CheckState());
        }
        return States;
    }
};
}  // namespace

TEST_F(CheckEditTest, ClicksCycleThroughTheStatesAllowed) {
    EXPECT_EQ((std::vector<int>{cbsChecked, cbsUnchecked, cbsChecked}), ClickStates(3));
    Edit->SetEditValue(static_cast<int>(cbsGrayed));
    EXPECT_EQ((std::vector<int>{cbsChecked}), ClickStates(1));
    Edit->AllowGrayed = true;
    Edit->SetEditValue(static_cast<int>(cbsUnchecked));
    EXPECT_EQ((std::vector<int>{cbsGrayed, cbsChecked, cbsUnchecked}), ClickStates(3));
    EXPECT_TRUE(Edit->GetModified());
}

TEST_F(CheckEditTest, ReleasingOutsideDoesNotToggle) {
    Edit->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(Edit->PressedLook());
    Edit->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(500, 5));
    EXPECT_FALSE(Edit->PressedLook());
    Edit->Perform(WM_LBUTTONUP, 0, MAKELPARAM(500, 5));
    EXPECT_EQ(cbsUnchecked, Edit->CheckState());
}

TEST_F(CheckEditTest, SpaceShowsThePushedBoxAndTogglesOnRelease) {
    Edit->Perform(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(Edit->PressedLook());
    EXPECT_EQ(cbsUnchecked, Edit->CheckState());
    Edit->Perform(WM_KEYUP, VK_SPACE, 0xC0000001);
    EXPECT_FALSE(Edit->PressedLook());
    EXPECT_EQ(cbsChecked, Edit->CheckState());
}

TEST_F(CheckEditTest, ValueFromDataFiresNothingAndKeepsTheModifiedFlag) {
    Edit->SetModified(false);
    Edit->SetEditValue(static_cast<int>(cbsChecked));
    EXPECT_EQ(cbsChecked, Edit->CheckState());
    EXPECT_EQ(0, Clicks);
    EXPECT_EQ(0, Changes);
    EXPECT_FALSE(Edit->GetModified());
    Variant V;
    Edit->ReadEditValue(V);
    EXPECT_EQ(1, V.AsInteger());
    ClickStates(1);
    EXPECT_EQ(1, Clicks);
    EXPECT_EQ(1, Changes);
}

TEST_F(CheckEditTest, GlyphStripImagesFollowStateAndPush) {
    // Strips of N images, each 4 pixels wide in its own colour: image i has red = 40 * i + 10.
    auto MakeStrip = [](int N) {
        TOwned<TBitmap> Strip(SolidBitmap(4 * N, 4, clWhite));
        for (int I = 0; I < N; ++I) {
            Strip->Canvas()->Brush()->SetColor(static_cast<TColor>(RGB(40 * I + 10, 0, 0)));
            Strip->Canvas()->FillRect(TRect{4 * I, 0, 4 * I + 4, 4});
        }
        Strip->SetTransparentColor(clFuchsia);
        return Strip;
    };
    TOwned<TBitmap> Six = MakeStrip(6), Three = MakeStrip(3);
    auto Paint = [&](TBitmap* Strip, int Count, int State, bool Pushed) {
        TOwned<TBitmap> B(SolidBitmap(40, 20, clWhite));
        std::unique_ptr<TdxEditViewData, TObjectDeleter> VD(Edit->CreateViewData(false));
        auto* C = static_cast<TdxCheckEditViewData*>(VD.get());
        C->Glyph = Strip;
        C->GlyphCount = Count;
        C->Pushed = Pushed;
        C->Value = State;
        C->Alignment = taCenter;
        Edit->Meta()->DrawClient(B->Canvas()->Handle(), TRect{0, 0, 40, 20}, false, VD.get());
        return static_cast<int>(GetRValue(PixelAt(B.get(), 20, 10)));
    };
    EXPECT_EQ(10, Paint(Six.get(), 6, cbsUnchecked, false));
    EXPECT_EQ(50, Paint(Six.get(), 6, cbsChecked, false));
    EXPECT_EQ(170, Paint(Six.get(), 6, cbsChecked, true));   // image 4
    EXPECT_EQ(50, Paint(Three.get(), 3, cbsChecked, true));  // a three-image strip never leaves 0..2
    EXPECT_EQ(90, Paint(Three.get(), 3, cbsGrayed, true));
}

TEST_F(CheckEditTest, CentredBoxDrawsNoCaptionAndFillsTheCell) {
    Edit->SetText("Caption");
    std::unique_ptr<TBitmap, TObjectDeleter> B(SolidBitmap(100, 20, clWhite));
    std::unique_ptr<TdxEditViewData, TObjectDeleter> VD(Edit->CreateViewData(false));
    HBRUSH Green = CreateSolidBrush(RGB(0, 255, 0));
    VD->Brush = Green;
    VD->Alignment = taCenter;
    Edit->Meta()->DrawClient(B->Canvas()->Handle(), TRect{0, 0, 100, 20}, false, VD.get());
    DeleteObject(Green);
    int Other = 0;
    for (int X = 0; X < 100; ++X)
        if (X < 40 || X > 60)
            for (int Y = 0; Y < 20; ++Y)
                Other += PixelAt(B.get(), X, Y) != RGB(0, 255, 0);
    EXPECT_EQ(0, Other);
}

TEST_F(CheckEditTest, StartUpLoadsTheSharedImagesAndTexts) {
    ASSERT_NE(nullptr, ToolImages);
    ASSERT_NE(nullptr, BlobImages);
    EXPECT_EQ(6, ToolImages->Count());
    EXPECT_EQ(16, ToolImages->Width());
    EXPECT_EQ(8, BlobImages->Count());
    EXPECT_EQ(18, BlobImages->Width());
    EXPECT_NE(nullptr, Screen->Cursors(HandCursorIndex));
    EXPECT_EQ("TODAY", DateWords[0]);
    EXPECT_EQ("NOW", DateWords[19]);
    EXPECT_EQ("Invalid Date", InvalidDateText);
    EXPECT_EQ("&Save To...", ToolCaptions[5]);
    EXPECT_TRUE(ToolCaptions[6].empty());
    EXPECT_GT(CheckGlyphWidth, 0);
    // Check editors take their look from the check controller: no border, 3D box.
    TOwned<TdxInplaceCheckEdit> Loose(Create<TdxInplaceCheckEdit>(nullptr));
    EXPECT_EQ(xbsNone, Loose->Style()->BorderStyle());
    EXPECT_EQ(bts3D, Loose->Style()->ButtonStyle());
}
