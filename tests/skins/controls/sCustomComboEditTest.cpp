// The edit with an embedded button: the button's size and glyph from the application's images or
// the built-in glyphs, the text rectangle beside it, the click key, read-only and direct input,
// Enter on a dialog, the popup's placement and the skinned button's picture.
#include "SkinControlsTestSupport.h"

#include "StdCtrls.h"
#include "sCustomComboEdit.h"

using namespace skintests;

namespace {

class sCustomComboEditTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        sCustomComboEditInitialization();
        sSpeedButtonInitialization();
    }
    TsComboEdit* PlaceEdit(int Left = 20, int Top = 20) {
        auto* E = Place<TsComboEdit>(Left, Top, 150, 21);
        E->HandleNeeded();
        Clicks = 0;
        E->OnButtonClick = TNotifyEvent::FromFunction([this](TObject*) { ++Clicks; });
        return E;
    }
    // A 16 x 16 list of two images: a red square and a blue one on a masked-out background.
    TImageList* MakeImages() {
        auto* L = TCustomImageList::CreateSize<TImageList>(16, 16, Form);
        for (TColor C : {TColor(0x0000FF), TColor(0xFF0000)}) {
            TOwned<TBitmap> B(Create<TBitmap>());
            B->SetPixelFormat(pf24bit);
            B->SetSize(16, 16);
            B->Canvas()->Brush()->SetColor(clFuchsia);
            B->Canvas()->FillRect(Rect(0, 0, 16, 16));
            B->Canvas()->Brush()->SetColor(C);
            B->Canvas()->FillRect(Rect(2, 2, 14, 14));
            L->AddMasked(B.get(), clFuchsia);
        }
        return L;
    }
    static RECT TextRect(TsCustomComboEdit* E) {
        RECT R{};
        SendMessageA(E->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
        return R;
    }
    static void Key(TWinControl* C, WPARAM VKey, bool Alt) {
        BYTE State[256];
        GetKeyboardState(State);
        State[VK_MENU] = Alt ? 0x80 : 0;
        SetKeyboardState(State);
        SendMessageA(C->Handle(), Alt ? WM_SYSKEYDOWN : WM_KEYDOWN, VKey, Alt ? 0x20000001 : 1);
        State[VK_MENU] = 0;
        SetKeyboardState(State);
    }
    int Clicks = 0;
};

TEST_F(sCustomComboEditTest, ButtonTakesTheGlyphWidthAndTheTextEndsBesideIt) {
    TsComboEdit* E = PlaceEdit();
    EXPECT_EQ(E->SkinData()->ControlKind, 138);
    EXPECT_EQ(E->DefaultGlyphIndex, EllipsisGlyph);
    // Built-in glyphs: a 48 x 16 strip of three states.
    EXPECT_EQ(E->GlyphMode()->ImageCount(), 3);
    EXPECT_EQ(E->Button()->Width(), 18);
    EXPECT_EQ(E->Button()->NumGlyphs(), 3);
    LONG WithButton = TextRect(E).right;

    TImageList* L = MakeImages();
    E->GlyphMode()->SetImages(L);
    EXPECT_EQ(E->Button()->Width(), 18) << "ImageIndex -1: the built-in glyph still";
    E->GlyphMode()->SetImageIndex(0);
    EXPECT_EQ(E->GlyphMode()->ImageCount(), 1);
    EXPECT_EQ(E->Button()->NumGlyphs(), 1);
    EXPECT_EQ(E->Button()->Width(), 18);

    E->SetShowButton(false);
    EXPECT_FALSE(E->Button()->Visible());
    EXPECT_EQ(TextRect(E).right, WithButton + 18) << "the whole client width";
    E->SetShowButton(true);
    EXPECT_TRUE(E->Button()->Visible());
    EXPECT_EQ(TextRect(E).right, WithButton);
}

TEST_F(sCustomComboEditTest, AFreedImageListGivesBackTheBuiltInGlyph) {
    TsComboEdit* E = PlaceEdit();
    auto* L = TCustomImageList::CreateSize<TImageList>(32, 32, Form);
    TOwned<TBitmap> B(Create<TBitmap>());
    B->SetSize(32, 32);
    L->Add(B.get(), nullptr);
    E->GlyphMode()->SetImages(L);
    E->GlyphMode()->SetImageIndex(0);
    EXPECT_EQ(E->Button()->Width(), 34);
    FreeAndNil(L);
    EXPECT_EQ(E->GlyphMode()->Images(), nullptr);
    EXPECT_EQ(E->Button()->Width(), 18);
    E->Repaint();  // paints with nothing left of the freed list
}

TEST_F(sCustomComboEditTest, BuiltInGlyphsAreAlphaStripsOfThreeStates) {
    ASSERT_NE(DefaultButtonGlyphs(), nullptr);
    EXPECT_EQ(DefaultButtonGlyphs()->Count(), 5);
    EXPECT_EQ(DefaultButtonGlyphs()->Width(), 48);
    EXPECT_EQ(DefaultButtonGlyphs()->Height(), 16);
    TOwned<TBitmap> Strip(Create<TBitmap>());
    ASSERT_TRUE(DefaultButtonGlyphs()->GetBitmap32(EllipsisGlyph, Strip.get()));
    ASSERT_EQ(Strip->PixelFormat(), pf32bit);
    auto Pixel = [&](int X, int Y) { return static_cast<const Cardinal*>(Strip->ScanLine(Y))[X]; };
    struct {
        int X, Y;
        Cardinal Expected;  // 0xAARRGGBB
    } const Cases[] = {
        {3, 10, 0xFF505050},  // a dot, normal: grey
        {0, 0, 0},            // clear around it
        {16 + 3, 10, 0xFF000000},  // hot: black
        {32 + 3, 11, 0xFF000000},  // pressed: one pixel lower
        {32 + 3, 10, 0},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(Pixel(C.X, C.Y) & (C.Expected ? 0xFFFFFFFFu : 0xFF000000u), C.Expected) << C.X << "," << C.Y;
}

TEST_F(sCustomComboEditTest, SkinnedFrameIsPaintedWithoutABorderStyleToo) {
    MakeManager({{"EDIT", 0x00FF00}, {"SPEEDBUTTON_SMALL", 0x00FF00}});
    TsComboEdit* Combo = PlaceEdit();
    auto* Mask = Place<TsMaskEdit>(20, 60, 150, 21);
    struct {
        TsMaskEdit* Edit;
        TColor Expected;
    } const Cases[] = {{Combo, 0x00FF00}, {Mask, 0x123456}};  // the mask edit keeps its bsNone test
    for (const auto& C : Cases) {
        C.Edit->SkinData()->SetSkinSection("EDIT");
        C.Edit->SetBorderStyle(bsNone);
        ASSERT_TRUE(C.Edit->SkinData()->IsSkinned(false));
        C.Edit->SkinData()->BackgroundStale = true;
        HDC DC = GetWindowDC(C.Edit->Handle());
        FillRectSolid(DC, Rect(0, 0, C.Edit->Width(), C.Edit->Height()), 0x123456);
        C.Edit->PaintBorder(DC);
        TColor Corner = static_cast<TColor>(GetPixel(DC, 1, 1));
        ReleaseDC(C.Edit->Handle(), DC);
        EXPECT_EQ(Corner, C.Expected) << C.Edit->ClassName();
    }
}

TEST_F(sCustomComboEditTest, ClickKeyAndButtonObeyReadOnlyButNotDirectInput) {
    TsComboEdit* E = PlaceEdit();
    Key(E, VK_DOWN, true);
    EXPECT_EQ(Clicks, 1) << "Alt+Down";
    Key(E, VK_DOWN, false);
    EXPECT_EQ(Clicks, 1);

    E->SetDirectInput(false);
    EXPECT_NE(GetWindowLongA(E->Handle(), GWL_STYLE) & ES_READONLY, 0);
    E->Button()->Click();
    Key(E, VK_DOWN, true);
    EXPECT_EQ(Clicks, 3) << "the button still works without direct input";
    E->SetText("abc");
    SendMessageA(E->Handle(), EM_SETSEL, 0, -1);
    SendMessageA(E->Handle(), WM_CUT, 0, 0);
    EXPECT_EQ(E->Text(), "abc");

    E->SetDirectInput(true);
    EXPECT_EQ(GetWindowLongA(E->Handle(), GWL_STYLE) & ES_READONLY, 0);
    E->SetReadOnly(true);
    EXPECT_NE(GetWindowLongA(E->Handle(), GWL_STYLE) & ES_READONLY, 0);
    E->Button()->Click();
    Key(E, VK_DOWN, true);
    EXPECT_EQ(Clicks, 3) << "read-only blocks both";
}

TEST_F(sCustomComboEditTest, EnterPressesTheDefaultButtonAndInsertsNoLineBreak) {
    TsComboEdit* E = PlaceEdit();
    auto* Ok = Place<TButton>(200, 100, 75, 25);
    Ok->SetDefault(true);
    int Pressed = 0;
    Ok->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++Pressed; });
    E->SetText("x");
    SendMessageA(E->Handle(), WM_CHAR, '\r', 1);
    EXPECT_EQ(Pressed, 1);
    EXPECT_EQ(E->Text(), "x");
}

TEST_F(sCustomComboEditTest, PopupOpensBelowOrAboveAndStaysOnTheDesktop) {
    TsComboEdit* E = PlaceEdit(0, 20);
    auto* Popup = TForm::CreateNew(Form);
    Popup->SetBorderStyle(bsNone);
    Popup->SetHeight(100);
    E->Popup = Popup;
    E->SetPopupWidth(200);
    int DeskLeft = Screen->DesktopLeft();
    int DeskBottom = Screen->DesktopTop() + Screen->DesktopHeight();
    struct Case {
        int FormTop;
        bool Above;
    } Cases[] = {{0, false}, {DeskBottom - 80, true}};
    for (const Case& C : Cases) {
        Form->SetBounds(DeskLeft, C.FormTop, 400, 300);
        TPoint P = Form->ClientToScreen(TPoint{E->Left(), E->Top()});
        E->Button()->Click();
        ASSERT_TRUE(E->IsPopupVisible());
        EXPECT_EQ(Popup->Width(), 200);
        // Right-aligned it would start left of the desktop: it is left-aligned with the edit.
        EXPECT_EQ(Popup->Left(), P.X);
        EXPECT_EQ(Popup->Top(), C.Above ? P.Y - 100 : P.Y + E->Height()) << C.FormTop;
        E->Button()->Click();
        EXPECT_FALSE(E->IsPopupVisible()) << "a second click closes it";
    }
    auto* Other = Place<TEdit>(200, 20, 80, 21);
    E->SetFocus();
    E->Button()->Click();
    ASSERT_TRUE(E->IsPopupVisible());
    Other->SetFocus();
    EXPECT_FALSE(E->IsPopupVisible()) << "the focus went elsewhere";
}

// The skinned button shows the edit's background with the glyph of its state on it.
TEST_F(sCustomComboEditTest, SkinnedButtonPaintsTheGlyphOfItsStateOverTheEditBackground) {
    MakeManager({{"EDIT", 0x00FF00}, {"SPEEDBUTTON_SMALL", 0x00FF00}});
    TsComboEdit* E = PlaceEdit();
    E->SkinData()->SetSkinSection("EDIT");
    ASSERT_TRUE(E->SkinData()->IsSkinned(false));
    TsEditButton* B = E->Button();
    TCapturedImage Image(B->Width(), B->Height());
    auto PixelAt = [&](int X, int Y) {
        Image.Fill(0x123456);
        // The edit's own skin painting is not what is looked at here: its cache is one colour.
        E->SkinData()->PrepareCacheBitmap();
        TBitmap* Cache = E->SkinData()->CacheBitmap;
        FillRectSolid(Cache->Canvas()->Handle(), Rect(0, 0, Cache->Width(), Cache->Height()), 0x00FF00);
        B->PaintTo(Image.DC(), TPoint{0, 0});
        TRect R;
        E->Button()->UpdateGlyph();
        B->GetGlyphRect(R);
        E->Button()->ReleaseGlyph();
        return Image.Pixel(R.Left + X, R.Top + Y);
    };
    EXPECT_EQ(PixelAt(0, 0), 0x00FF00) << "the edit's background";
    EXPECT_TRUE(NearColor(PixelAt(3, 10), 0x505050)) << "an ellipsis dot, normal";
    B->SkinData()->MouseOver = true;
    EXPECT_TRUE(NearColor(PixelAt(3, 10), 0x000000)) << "hot";
    B->SkinData()->MouseOver = false;

    TImageList* L = MakeImages();
    E->GlyphMode()->SetImages(L);
    E->GlyphMode()->SetImageIndex(0);
    E->GlyphMode()->SetImageIndexHot(-1);
    EXPECT_EQ(PixelAt(8, 8), 0x0000FF);
    B->SkinData()->MouseOver = true;
    EXPECT_EQ(PixelAt(8, 8), 0x0000FF) << "no hot image: the normal one";
    E->GlyphMode()->SetImageIndexHot(1);
    EXPECT_EQ(PixelAt(8, 8), 0xFF0000);
    EXPECT_EQ(B->Images(), nullptr) << "the list is held only while painting";
}

TEST_F(sCustomComboEditTest, PrintedSkinnedTheButtonStandsInsideTheFrame) {
    MakeManager({{"EDIT", 0x00FF00}, {"SPEEDBUTTON_SMALL", 0x00FF00}});
    TsComboEdit* E = PlaceEdit();
    E->SkinData()->SetSkinSection("EDIT");
    E->GlyphMode()->SetImages(MakeImages());
    E->GlyphMode()->SetImageIndex(0);
    TsEditButton* B = E->Button();
    TRect R;
    B->UpdateGlyph();
    B->GetGlyphRect(R);
    B->ReleaseGlyph();
    TCapturedImage Image(E->Width(), E->Height());
    Image.Fill(0x123456);
    SendMessageA(E->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(Image.DC()), PRF_CLIENT | PRF_NONCLIENT);
    EXPECT_EQ(Image.Pixel(B->Left() + 2 + R.Left + 8, B->Top() + 2 + R.Top + 8), 0x0000FF);
    EXPECT_TRUE(B->Visible()) << "shown again after printing";

    // Hot, the standard edit paints the client area and the frame painting draws the button again.
    E->SkinData()->MouseOver = true;
    ASSERT_TRUE(E->SkinData()->IsHotState());
    HDC DC = GetWindowDC(E->Handle());
    FillRectSolid(DC, Rect(0, 0, E->Width(), E->Height()), 0x123456);
    E->PaintBorder(nullptr);
    TColor Hot = static_cast<TColor>(GetPixel(DC, B->Left() + 2 + R.Left + 8, B->Top() + 2 + R.Top + 8));
    ReleaseDC(E->Handle(), DC);
    EXPECT_EQ(Hot, 0x0000FF);
}

TEST_F(sCustomComboEditTest, ReadFromAFormWithItsGlyphSettings) {
    TImageList* L = MakeImages();
    L->SetName("ilButtons");
    ReadFormText(Form, "object F: TForm\n  object edFolder: TsComboEdit\n    Left = 8\n    Top = 8\n"
                       "    Width = 200\n    Height = 21\n    AutoSize = False\n    ClickKey = 32808\n"
                       "    GlyphMode.Images = ilButtons\n    GlyphMode.ImageIndex = 1\n"
                       "    SkinData.SkinSection = 'EDIT'\n  end\nend\n");
    auto* E = DynCast<TsComboEdit>(Form->FindComponent("edFolder"));
    ASSERT_NE(E, nullptr);
    EXPECT_EQ(E->GlyphMode()->Images(), L);
    EXPECT_EQ(E->GlyphMode()->ImageIndex(), 1);
    EXPECT_EQ(E->Button()->Width(), 18);
    EXPECT_EQ(E->Height(), 21);
    EXPECT_FALSE(E->AutoSize());
}

}  // namespace
