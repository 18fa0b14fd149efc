// The skinned check box: its automatic size, the read-only mode of the standard path (the
// program's), form reading, and the glyph geometry and input of the skinned path.
#include "SkinControlsTestSupport.h"

#include "sCheckBox.h"

using namespace skintests;

namespace {

class sCheckBoxTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        sCheckBoxInitialization();
    }
    TsCheckBox* PlaceBox(const std::string& Caption = "Pack") {
        auto* B = Place<TsCheckBox>(20, 20, 97, 17);
        B->SetCaption(Caption);
        B->HandleNeeded();
        return B;
    }
    static TSize Measure(TFont* Font, const std::string& Text) {
        TSize S;
        TextSizeWithFont(Font->Handle(), Text, S);
        return S;
    }
    static void Click(TsCheckBox* B) {
        SendMessageA(B->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageA(B->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }
    static void DoubleClick(TsCheckBox* B) {
        Click(B);
        SendMessageA(B->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageA(B->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }
    static void Space(TsCheckBox* B) {
        SendMessageA(B->Handle(), WM_KEYDOWN, VK_SPACE, 0x00390001);
        SendMessageA(B->Handle(), WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001u));
    }
    static WPARAM WindowCheck(TsCheckBox* B) { return SendMessageA(B->Handle(), BM_GETCHECK, 0, 0); }
};

TEST_F(sCheckBoxTest, StandardAutoSizeFollowsCaptionAndFont) {
    TsCheckBox* B = PlaceBox("");
    EXPECT_EQ(B->Width(), 20);
    EXPECT_EQ(B->Height(), 20);
    B->SetCaption("Pack the backup");
    TSize S = Measure(B->Font(), "Pack the backup");
    EXPECT_EQ(B->Width(), S.cx + 20);
    EXPECT_EQ(B->Height(), std::max<int>(S.cy + 4, 20));
    B->Font()->SetHeight(-24);
    S = Measure(B->Font(), "Pack the backup");
    EXPECT_EQ(B->Height(), S.cy + 4) << "a tall font makes the box taller than 20";
    EXPECT_GT(B->Height(), 20);
    B->SetAutoSize(false);
    B->SetBounds(20, 20, 300, 40);
    EXPECT_EQ(B->Width(), 300) << "without AutoSize the bounds stay as set";
}

TEST_F(sCheckBoxTest, ReadOnlyStandardBoxIgnoresTheUserButNotTheProgram) {
    TsCheckBox* B = PlaceBox();
    int Clicks = 0;
    B->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++Clicks; });
    Click(B);
    EXPECT_TRUE(B->Checked()) << "an ordinary box toggles on a click";
    B->SetChecked(false);
    Clicks = 0;

    B->SetReadOnly(true);
    struct Case {
        const char* Name;
        void (*Input)(TsCheckBox*);
    } Cases[] = {{"click", Click}, {"double click", DoubleClick}, {"space", Space}};
    for (const Case& C : Cases) {
        C.Input(B);
        EXPECT_EQ(B->State(), cbUnchecked) << C.Name;
        EXPECT_EQ(WindowCheck(B), static_cast<WPARAM>(BST_UNCHECKED)) << C.Name;
        EXPECT_FALSE(B->Pressed) << C.Name << ": the release ends the press";
    }
    EXPECT_EQ(Clicks, 0);
    B->SetChecked(true);
    EXPECT_EQ(B->State(), cbChecked);
    EXPECT_EQ(WindowCheck(B), static_cast<WPARAM>(BST_CHECKED));
    EXPECT_EQ(Clicks, 1);
}

TEST_F(sCheckBoxTest, KeyReleasedElsewhereDoesNotLockAReadOnlyBox) {
    TsCheckBox* B = PlaceBox();
    B->SetReadOnly(true);
    SendMessageA(B->Handle(), WM_KEYDOWN, VK_TAB, 0x000F0001);
    ASSERT_TRUE(B->Pressed);
    B->SetChecked(true);
    EXPECT_EQ(WindowCheck(B), static_cast<WPARAM>(BST_UNCHECKED)) << "a press in progress keeps the window's state";
    SendMessageA(B->Handle(), WM_KILLFOCUS, 0, 0);
    EXPECT_FALSE(B->Pressed);
    B->SetChecked(false);
    B->SetChecked(true);
    EXPECT_EQ(WindowCheck(B), static_cast<WPARAM>(BST_CHECKED)) << "window and State agree again";
}

TEST_F(sCheckBoxTest, FormTextKeepsStateAndIgnoresCheckedWhileLoading) {
    ReadFormText(Form, "object F: TForm\n"
                       "  object cbArch: TsCheckBox\n    Left = 8\n    Top = 8\n    Width = 97\n    Height = 17\n"
                       "    Caption = 'Pack'\n    Checked = True\n    ReadOnly = True\n    Margin = 3\n"
                       "    ImgChecked = -1\n    TabOrder = 0\n  end\n"
                       "  object cbPwd: TsCheckBox\n    Left = 8\n    Top = 30\n    Width = 97\n    Height = 17\n"
                       "    Caption = 'Password'\n    State = cbChecked\n    AutoSize = False\n    TabOrder = 1\n  end\n"
                       "end\n");
    auto* Arch = DynCast<TsCheckBox>(Form->FindComponent("cbArch"));
    auto* Pwd = DynCast<TsCheckBox>(Form->FindComponent("cbPwd"));
    ASSERT_TRUE(Arch && Pwd);
    EXPECT_EQ(Arch->State(), cbUnchecked) << "Checked read from the stream is ignored";
    EXPECT_TRUE(Arch->ReadOnly());
    EXPECT_EQ(Arch->Margin(), 3);
    EXPECT_EQ(Arch->ImgChecked(), -1);
    EXPECT_EQ(Arch->SkinData()->SkinSection(), "CHECKBOX");
    EXPECT_EQ(Arch->SkinData()->ControlKind, 32);
    EXPECT_EQ(Arch->Width(), Measure(Arch->Font(), "Pack").cx + 20) << "sized when loaded";
    EXPECT_EQ(Pwd->State(), cbChecked);
    EXPECT_EQ(Pwd->Width(), 97);
}

TEST_F(sCheckBoxTest, AnswersLibraryCommandsWithoutManager) {
    TsCheckBox* B = PlaceBox();
    EXPECT_EQ(SendMessageA(B->Handle(), SM_ALPHACMD, SkinCommandParam(SKIN_ISSKINNED), 0), 1);
    EXPECT_EQ(Command(B, SKIN_GETAPPLICATION), reinterpret_cast<LRESULT>(Application));
    EXPECT_FALSE(B->SkinData()->IsSkinned(false));
}

TEST_F(sCheckBoxTest, FreedImageListIsForgotten) {
    TsCheckBox* B = PlaceBox();
    TImageList* List = Create<TImageList>(nullptr);
    B->SetImages(List);
    ASSERT_EQ(B->Images(), List);
    FreeAndNil(List);
    EXPECT_EQ(B->Images(), nullptr);
    EXPECT_EQ(B->GlyphWidth(), 16);
}

// Glyph geometry: custom glyph strips and image lists, frame widths and the glyph's edge.
TEST_F(sCheckBoxTest, CheckRectFollowsGlyphAndAlignment) {
    TsCheckBox* B = PlaceBox();
    B->SetAutoSize(false);
    B->SetBounds(20, 20, 120, 21);
    TOwned<TBitmap> Strip(Create<TBitmap>());
    struct Case {
        int StripWidth, StripHeight;
        TAlignment Alignment;
        TRect Expected;
    } Cases[] = {
        {39, 13, taRightJustify, Rect(2, 4, 15, 17)},     // three 13 x 13 frames, glyph at the left
        {39, 13, taLeftJustify, Rect(105, 4, 118, 17)},   // at the right edge
        {40, 13, taRightJustify, Rect(2, 4, 42, 17)},     // no multiple of the height: one frame
        {0, 0, taRightJustify, Rect(0, 0, 16, 16)},       // no glyph and no skin
    };
    for (const Case& C : Cases) {
        Strip->SetSize(C.StripWidth, C.StripHeight);
        B->SetGlyphChecked(Strip.get());
        B->SetGlyphUnChecked(Strip.get());
        B->SetAlignment(C.Alignment);
        EXPECT_EQ(B->CheckRect(), C.Expected) << C.StripWidth << " " << C.Alignment;
    }
    TOwned<TImageList> List(TImageList::CreateSize<TImageList>(48, 16));
    B->SetGlyphChecked(Strip.get());
    B->SetImages(List.get());
    B->SetAlignment(taRightJustify);
    EXPECT_EQ(B->CheckRect(), Rect(2, 2, 18, 18)) << "an image list of three 16 x 16 frames";
    B->SetImgUnchecked(-1);
    EXPECT_EQ(B->CheckRect(), Rect(0, 0, 16, 16)) << "one negative index: no image-list mode";
}

class sCheckBoxSkinnedTest : public sCheckBoxTest {
protected:
    void SetUp() override {
        sCheckBoxTest::SetUp();
        MakeManager({{"GLOBALINFO"}, {"CHECKBOX"}});
        auto AddMask = [&](const char* Name, int Width, int Height) {
            TsMaskData M;
            M.SectionName = "GLOBALINFO";
            M.PropertyName = Name;
            M.R = Rect(0, 0, Width, Height);
            M.ImageCount = 3;
            M.MaskType = 1;
            M.Manager = Manager;
            Manager->MaskList.push_back(M);
        };
        AddMask("BOXUNCHECKED", 39, 26);
        AddMask("BOXCHECKED", 45, 30);
        AddMask("BOXGRAYED", 60, 40);
    }
};

TEST_F(sCheckBoxSkinnedTest, SkinnedSizeAndGlyphsComeFromTheCheckedMask) {
    TsCheckBox* B = PlaceBox("");
    ASSERT_TRUE(B->SkinData()->IsSkinned(true));
    EXPECT_EQ(B->Width(), 15 + 2 * 2) << "the BOXCHECKED image: 45 / 3 wide";
    EXPECT_EQ(B->Height(), std::max(15, 2 * 2) + 2) << "30 / (MaskType + 1) high";
    B->SetState(cbGrayed);
    EXPECT_EQ(B->GlyphMaskIndex(cbGrayed), 2);
    EXPECT_EQ(B->CheckRect().Width(), 15) << "a grayed box is still sized from BOXCHECKED";
    TOwned<TBitmap> Glyph(Create<TBitmap>());
    Glyph->SetSize(13, 13);
    B->SetGlyphChecked(Glyph.get());
    B->SetGlyphUnChecked(Glyph.get());
    EXPECT_EQ(B->Width(), 13 + 4);
    EXPECT_EQ(B->Height(), 13 + 2);
}

TEST_F(sCheckBoxSkinnedTest, SkinnedInputTogglesUnlessReadOnly) {
    TsCheckBox* B = PlaceBox();
    Click(B);
    EXPECT_TRUE(B->Checked());
    EXPECT_FALSE(B->Pressed);
    Space(B);
    EXPECT_FALSE(B->Checked());
    SendMessageA(B->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(B->Pressed);
    B->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(B->Pressed) << "leaving ends the press";
    SendMessageA(B->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(B->Checked()) << "a release without a press toggles nothing";
    B->SetReadOnly(true);
    Click(B);
    Space(B);
    EXPECT_FALSE(B->Checked());
    B->SetChecked(true);
    EXPECT_TRUE(B->Checked());
}

TEST_F(sCheckBoxSkinnedTest, OwnManagersCommandsOnlyAndFadesStop) {
    TsCheckBox* B = PlaceBox();
    Manager->SectionList[B->SkinData()->SectionIndex].FadingEnabled = true;
    Manager->SectionList[B->SkinData()->SectionIndex].FadingIterations = 50;
    const int TimersBefore = FadeTimerCount;
    // A painted box whose mouse arrives fades into its hot look.
    B->Repaint();
    ASSERT_FALSE(B->SkinData()->BackgroundStale);
    B->Perform(CM_MOUSEENTER, 0, 0);
    ASSERT_NE(B->FadeTimer, nullptr);
    EXPECT_TRUE(B->FadeTimer->Enabled());
    EXPECT_EQ(FadeTimerCount, TimersBefore + 1);

    TOwned<TsSkinManager> Other(Create<TsSkinManager>(nullptr));
    Command(B, SKIN_REMOVED, ManagerParam(Other.get()));
    EXPECT_TRUE(B->SkinData()->IsSkinned(true)) << "another manager's removal is an ordinary message";
    EXPECT_NE(B->FadeTimer, nullptr) << "and leaves the fade running";
    Command(B, SKIN_REMOVED, ManagerParam(Manager));
    EXPECT_EQ(B->SkinData()->SectionIndex, -1);
    EXPECT_EQ(B->FadeTimer, nullptr);
    EXPECT_EQ(FadeTimerCount, TimersBefore);
}

}  // namespace
