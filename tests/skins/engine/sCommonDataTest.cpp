#include "SkinTestSupport.h"

#include "StdCtrls.h"

using namespace skintests;

namespace {

LRESULT Command(TControl* C, Word Code, LPARAM LParam = 0, Word Low = 0) {
    return C->Perform(SM_ALPHACMD, SkinCommandParam(Code, Low), LParam);
}

// ---------------------------------------------------------------------------------------------
// Control kinds

TEST(sCommonDataKinds, KindsChooseTheirDefaultSection) {
    const std::pair<int, const char*> Cases[] = {
        {3, "EDIT"},        {7, "EDIT"},      {10, "EDIT"},        {11, "COMBOBOX"},  {19, "BAR"},
        {32, "CHECKBOX"},   {52, "PANEL_LOW"}, {59, "PANEL"},      {92, "SPEEDBUTTON"}, {93, "BUTTON"},
        {140, "EDIT"},      {226, "GROUPBOX"}, {227, "EDIT"},      {137, ""},         {138, ""},
        {224, ""},          {0, ""},          {300, ""},
    };
    for (auto [Kind, Section] : Cases)
        EXPECT_EQ(DefaultSectionOfKind(Kind), Section) << Kind;
}

TEST(sCommonDataKinds, KindSetsStopAt255) {
    struct Case {
        int Kind;
        bool NoHot, NoGlow, EditLike;
    };
    const Case Cases[] = {
        {3, false, false, true},  {51, true, true, false},  {53, true, false, false}, {74, true, true, false},
        {92, false, false, false}, {110, true, true, false}, {140, false, false, true}, {161, true, true, false},
        {226, false, true, false}, {300, false, false, false}, {-1, false, false, false},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(KindsWithoutHotLook.Contains(C.Kind), C.NoHot) << C.Kind;
        EXPECT_EQ(KindsWithoutGlow.Contains(C.Kind), C.NoGlow) << C.Kind;
        EXPECT_EQ(EditLikeKinds.Contains(C.Kind), C.EditLike) << C.Kind;
    }
}

// ---------------------------------------------------------------------------------------------
// Sections, managers and the standard path

class sCommonDataTest : public SkinTest {};

TEST_F(sCommonDataTest, SectionNamesAreStoredUpperCase) {
    TOwned<TsCommonData> D(Create<TsCommonData>(nullptr, false));
    const std::pair<const char*, const char*> Cases[] = {
        {"edit", "EDIT"}, {"", "UNKNOWN"}, {"Panel_Low", "PANEL_LOW"}, {"EDIT", "EDIT"}};
    for (auto [Set, Stored] : Cases) {
        D->SetSkinSection(Set);
        EXPECT_EQ(D->SkinSection(), Stored);
    }
}

TEST_F(sCommonDataTest, WithoutManagerTheDataTakesItsSectionAndAnswersWithOwnColours) {
    auto* Edit = Place<TEdit>(10, 10, 100, 21);
    Edit->SetColor(clInfoBk);
    TOwned<TsCommonData> D(Create<TsCommonData>(Edit, true));
    D->ControlKind = 3;
    D->AfterOwnerLoaded();
    EXPECT_EQ(D->SkinSection(), "EDIT");
    EXPECT_EQ(D->SectionIndex, -1);
    EXPECT_FALSE(D->IsSkinned(false));
    EXPECT_EQ(D->GetBackgroundColor(0, nullptr), clInfoBk);
    TMessage M{SM_ALPHACMD, SkinCommandParam(SKIN_GETBGCOLOR), 0xFF00FF, 0};
    EXPECT_TRUE(HandleSkinCommand(M, D.get()));
    EXPECT_EQ(M.Result, ColorToRGB(clInfoBk));

    TOwned<TsCommonData> Other(Create<TsCommonData>(Edit, false));
    Other->ControlKind = 138;  // a kind without a section of its own takes the class name
    Other->AfterOwnerLoaded();
    EXPECT_EQ(Other->SkinSection(), "TEDIT");
}

TEST_F(sCommonDataTest, SectionIndexesFollowTheManager) {
    MakeManager({{"FORM"}, {"EDIT"}});
    auto* Panel = Place<TSkinTestPanel>(10, 10, 50, 50);
    Panel->SkinData->SetSkinSection("edit");
    EXPECT_EQ(Panel->SkinData->SectionIndex, 1);
    EXPECT_TRUE(Panel->SkinData->IsSkinned(true));
    Manager->SkinData->SkinActive = false;
    EXPECT_TRUE(Panel->SkinData->IsSkinned(false));
    EXPECT_FALSE(Panel->SkinData->IsSkinned(true));
    Panel->SkinData->SetSkinSection("MISSING");
    EXPECT_EQ(Panel->SkinData->SectionIndex, -1);
    EXPECT_FALSE(Panel->SkinData->IsSkinned(false));
}

TEST_F(sCommonDataTest, RemovedSkinGivesAnEditTheWindowColoursUnlessCustom) {
    struct Case {
        bool CustomColor, CustomFont;
    };
    for (Case C : {Case{false, false}, Case{true, false}, Case{false, true}}) {
        auto* Edit = Place<TEdit>(10, 10, 100, 21);
        Edit->SetColor(clYellow);
        Edit->Font()->SetColor(clRed);
        TOwned<TsCommonData> D(Create<TsCommonData>(Edit, true));
        D->SetCustomColor(C.CustomColor);
        D->SetCustomFont(C.CustomFont);
        TMessage M{SM_ALPHACMD, SkinCommandParam(SKIN_REMOVED), 0, 0};  // nil: no manager, as its own
        EXPECT_FALSE(HandleSkinCommand(M, D.get()));
        EXPECT_TRUE(D->InUpdate);
        EXPECT_EQ(Edit->Color(), C.CustomColor ? clYellow : clWindow);
        EXPECT_EQ(Edit->Font()->Color(), C.CustomFont ? clRed : clWindowText);
        Edit->Free();
    }
}

TEST_F(sCommonDataTest, CommandsOfAnotherManagerAreIgnored) {
    MakeManager({{"PANEL"}});
    TOwned<TsSkinManager> Other(Create<TsSkinManager>(nullptr));
    auto* Panel = Place<TSkinTestPanel>(10, 10, 50, 50);
    Panel->SkinData->ApplyDefaultSection();
    Panel->SkinData->InUpdate = false;
    Command(Panel, SKIN_REMOVED, reinterpret_cast<LPARAM>(Other.get()));
    EXPECT_EQ(Panel->SkinData->SectionIndex, 0);
    EXPECT_FALSE(Panel->SkinData->InUpdate);
    Command(Panel, SKIN_REMOVED, reinterpret_cast<LPARAM>(Manager));
    EXPECT_EQ(Panel->SkinData->SectionIndex, -1);
    EXPECT_TRUE(Panel->SkinData->InUpdate);
}

TEST_F(sCommonDataTest, FlagCommandsSetAndReport) {
    auto* Panel = Place<TSkinTestPanel>(10, 10, 50, 50);
    TsCommonData& D = *Panel->SkinData;
    EXPECT_EQ(Command(Panel, SKIN_ISSKINNED), 1);
    EXPECT_EQ(Command(Panel, SKIN_GETAPPLICATION), reinterpret_cast<LRESULT>(Application));

    D.BackgroundStale = false;
    D.InUpdate = false;
    EXPECT_EQ(Command(Panel, SKIN_GETSTALE), 0);
    Command(Panel, SKIN_SETUPDATING, 0, 1);
    EXPECT_TRUE(D.InUpdate);
    EXPECT_EQ(Command(Panel, SKIN_GETSTALE), 1);
    Command(Panel, SKIN_SETUPDATING, 0, 0);
    Command(Panel, SKIN_MARKSTALE);
    EXPECT_EQ(Command(Panel, SKIN_GETSTALE), 1);

    D.PartlyClipped = false;
    EXPECT_EQ(Command(Panel, SKIN_GETHIDDEN), 0);
    Command(Panel, SKIN_MARKHIDDEN);
    EXPECT_EQ(Command(Panel, SKIN_GETHIDDEN), 1);

    Command(Panel, SKIN_SETREPAINTONMOVE, 0, 1);
    EXPECT_TRUE(D.RepaintOnMove);

    int Index = 99;
    Command(Panel, SKIN_GETSECTIONINDEX, reinterpret_cast<LPARAM>(&Index));
    EXPECT_EQ(Index, -1);
}

// ---------------------------------------------------------------------------------------------
// Colours

TEST_F(sCommonDataTest, BackgroundColourAnswerBlendsSectionAndParentByteWise) {
    struct Case {
        int T;
        int Own, Parent, Expected;  // one byte, the same in every channel
    };
    const Case Cases[] = {{50, 100, 200, 119}, {0, 100, 200, 100}, {100, 100, 200, 200}, {30, 0, 200, 23},
                          {50, 255, 0, 205}};
    auto Grey = [](int B) { return static_cast<TColor>(B | B << 8 | B << 16); };
    for (const Case& C : Cases) {
        MakeManager({{"PANEL", Grey(C.Own), C.T}});
        Form->SetColor(Grey(C.Parent));
        auto* Panel = Place<TSkinTestPanel>(10, 10, 50, 50);
        Panel->SkinData->ApplyDefaultSection();
        EXPECT_EQ(Command(Panel, SKIN_GETBGCOLOR, 0xFF00FF), Grey(C.Expected)) << C.T << " " << C.Own;
        Panel->Free();
        FreeAndNil(Manager);
    }
}

// A skin-aware parent that answers black is black; an unaware one gives its own colour (it would
// answer 0 as well).
TEST_F(sCommonDataTest, TransparentSectionShowsItsParentsColour) {
    MakeManager({{"PANEL", 0x808080, 0}, {"CLEAR", 0x123456, 100}});
    Manager->SectionList[0].Color = 0;
    auto* Outer = Place<TSkinTestPanel>(10, 10, 200, 200);
    Outer->HandleNeeded();
    Outer->SkinData->ApplyDefaultSection();
    auto* Inner = Place<TSkinTestPanel>(10, 10, 50, 50, Outer);
    Inner->SkinData->SetSkinSection("CLEAR");
    EXPECT_EQ(Command(Inner, SKIN_GETBGCOLOR, 0xFF00FF), 0);

    Form->SetColor(clBtnFace);
    auto* OnForm = Place<TSkinTestPanel>(10, 10, 50, 50);
    OnForm->SkinData->SetSkinSection("CLEAR");
    EXPECT_EQ(Command(OnForm, SKIN_GETBGCOLOR, 0xFF00FF), ColorToRGB(clBtnFace));
}

TEST_F(sCommonDataTest, BackgroundColourMixesByTransparency) {
    Form->SetColor(0xC8C8C8);  // 200 in every channel
    struct Case {
        int T;
        bool CustomColor;
        TColor Expected;
    };
    const Case Cases[] = {{30, false, 0x3C3C3C}, {0, false, 0}, {0, true, clAqua}, {100, false, 0xC8C8C8}};
    for (const Case& C : Cases) {
        MakeManager({{"PANEL", 0, C.T}});
        auto* Panel = Place<TSkinTestPanel>(10, 10, 50, 50);
        Panel->SetColor(clAqua);
        Panel->SkinData->ApplyDefaultSection();
        Panel->SkinData->SetCustomColor(C.CustomColor);
        EXPECT_EQ(Panel->SkinData->GetBackgroundColor(0, nullptr), C.Expected) << C.T;
        Panel->Free();
        FreeAndNil(Manager);
    }
}

// ---------------------------------------------------------------------------------------------
// Plain and complex backgrounds

TEST_F(sCommonDataTest, ComplexBackgroundByBorderTransparencyGradientAndTexture) {
    struct Case {
        const char* What;
        int T, G, I;
        int WL, WR;  // border mask widths, -1 = no mask
        bool ParentPlain;
        bool Expected;
    };
    const Case Cases[] = {
        {"thick frame", 0, 0, 0, 16, 15, true, true},
        {"frame of 30", 0, 0, 0, 15, 15, true, false},
        {"clear over a plain parent", 100, 50, 50, -1, -1, true, false},
        {"clear over a textured parent", 100, 0, 0, -1, -1, false, true},
        {"half transparent", 50, 0, 0, -1, -1, true, true},
        {"gradient", 0, 10, 0, -1, -1, true, true},
        {"texture", 0, 0, 10, -1, -1, true, true},
        {"plain", 0, 0, 0, -1, -1, true, false},
    };
    for (const Case& C : Cases) {
        MakeManager({{"PARENT", 0xFFFFFF, 0, C.ParentPlain ? 0 : 40}, {"CHILD", 0, C.T, C.G, C.I}});
        if (C.WL >= 0)
            AddBorderMask(Manager, 1, C.WL, 0, C.WR, 0);
        auto* Parent = Place<TSkinTestPanel>(0, 0, 200, 200);
        Parent->HandleNeeded();
        Parent->SkinData->SetSkinSection("PARENT");
        auto* Child = Place<TSkinTestPanel>(10, 10, 50, 50, Parent);
        Child->SkinData->SetSkinSection("CHILD");
        EXPECT_EQ(Child->SkinData->HasComplexBackground(), C.Expected) << C.What;
        EXPECT_EQ((Child->SkinData->Flags & PlainBackgroundFlag) != 0, !C.Expected) << C.What;
        Parent->Free();
        FreeAndNil(Manager);
    }
}

TEST_F(sCommonDataTest, OnlyPanelsAndScrollingContainersCountAsPlain) {
    MakeManager({{"PLAIN", 0xFFFFFF}});
    struct {
        const char* What;
        TControl* Host;
        bool Plain;
    } const Cases[] = {
        {"panel", Place<TPanel>(0, 0, 50, 50), true},
        {"scroll box", Place<TScrollBox>(60, 0, 50, 50), true},
        {"form", Form, true},
        {"edit", Place<TEdit>(0, 60, 50, 21), false},
    };
    for (const auto& C : Cases) {
        TOwned<TsCommonData> Data(Create<TsCommonData>(C.Host, false));
        Data->SetSkinSection("PLAIN");
        ASSERT_EQ(Data->SectionIndex, 0) << C.What;
        EXPECT_EQ((Data->Flags & PlainBackgroundFlag) != 0, C.Plain) << C.What;
    }
}

// ---------------------------------------------------------------------------------------------
// Answers to a child's background question

TEST_F(sCommonDataTest, BackgroundAnswerByTransparencyAndFrame) {
    struct Case {
        const char* What;
        int T, G;
        int Frame;  // WL + WR of the border mask, 0 = none
        bool Cache;
        Byte Kind;
        bool GivesCache;
    };
    const Case Cases[] = {
        {"plain colour", 0, 0, 0, true, 1, true},
        {"gradient", 0, 30, 0, true, 2, true},
        {"gradient without cache", 0, 30, 0, false, 1, false},
        {"half transparent", 50, 0, 0, true, 2, true},
        {"clear, frame of 25", 100, 0, 25, true, 2, true},
        {"clear, frame of 24 asks the form", 100, 0, 24, true, 1, false},
    };
    for (const Case& C : Cases) {
        MakeManager({{"PANEL", 0x00FF00, C.T, C.G}});
        if (C.Frame)
            AddBorderMask(Manager, 0, C.Frame - 12, 0, 12, 0);
        auto* Panel = Place<TSkinTestPanel>(20, 30, 50, 50);
        if (!C.Cache)
            FreeAndNil(Panel->SkinData->CacheBitmap);
        Panel->SkinData->ApplyDefaultSection();
        ParentBackgroundInfo Info;
        Info.X = Info.Y = 7;
        Command(Panel, SKIN_GETBACKGROUND, reinterpret_cast<LPARAM>(&Info));
        EXPECT_EQ(Info.Kind, C.Kind) << C.What;
        EXPECT_EQ(C.GivesCache, Info.Bmp == Panel->SkinData->CacheBitmap && Info.Bmp) << C.What;
        if (Info.Kind == 2) {
            EXPECT_EQ(Info.X, 0) << C.What;
        }
        Panel->Free();
        FreeAndNil(Manager);
    }
}

TEST_F(sCommonDataTest, UnskinnedOrCustomColouredHostAnswersItsRawColour) {
    auto* Panel = Place<TSkinTestPanel>(20, 30, 50, 50);
    Panel->SetColor(clInfoBk);
    ParentBackgroundInfo Info;
    Command(Panel, SKIN_GETBACKGROUND, reinterpret_cast<LPARAM>(&Info));
    EXPECT_EQ(Info.Kind, 1);
    EXPECT_EQ(Info.Color, clInfoBk);
}

// ---------------------------------------------------------------------------------------------
// Window messages

TEST_F(sCommonDataTest, MoveWithoutSkinMarksTheHostAndItsChildrenStale) {
    auto* Parent = Place<TSkinTestPanel>(0, 0, 200, 200);
    auto* Child = Place<TSkinTestPanel>(10, 10, 50, 50, Parent);
    Parent->HandleNeeded();
    Child->HandleNeeded();
    Parent->SkinData->BackgroundStale = Child->SkinData->BackgroundStale = false;
    Parent->Perform(WM_SIZE, 0, MAKELPARAM(200, 200));
    EXPECT_FALSE(Parent->SkinData->BackgroundStale) << "a size change needs a skin";
    Parent->Perform(WM_MOVE, 0, 0);
    EXPECT_TRUE(Parent->SkinData->BackgroundStale);
    EXPECT_TRUE(Child->SkinData->BackgroundStale);
}

TEST_F(sCommonDataTest, HidingReleasesTheCacheAndShowingRenewsIt) {
    auto* Panel = Place<TSkinTestPanel>(0, 0, 20, 10);
    TsCommonData& D = *Panel->SkinData;
    D.PrepareCacheBitmap();
    EXPECT_EQ(D.CacheBitmap->Width(), 20);
    Panel->Perform(CM_VISIBLECHANGED, 0, 0);
    EXPECT_EQ(D.CacheBitmap->Width(), 0);
    EXPECT_EQ(D.CacheBitmap->Height(), 0);
    D.InUpdate = true;
    D.BackgroundStale = false;
    Panel->Perform(CM_VISIBLECHANGED, 1, 0);
    EXPECT_FALSE(D.InUpdate);
    EXPECT_TRUE(D.BackgroundStale);
}

TEST_F(sCommonDataTest, MouseOverFollowsEnterAndLeaveExceptForKindsWithoutHotLook) {
    for (int Kind : {3, 51}) {
        auto* Panel = Place<TSkinTestPanel>(0, 0, 20, 10);
        Panel->SkinData->ControlKind = Kind;
        Panel->Perform(CM_MOUSEENTER, 0, 0);
        EXPECT_EQ(Panel->SkinData->MouseOver, Kind == 3) << Kind;
        Panel->SkinData->MouseOver = true;
        Panel->Perform(CM_MOUSELEAVE, 0, 0);
        EXPECT_EQ(Panel->SkinData->MouseOver, Kind == 51) << Kind;
        Panel->Free();
    }
}

TEST_F(sCommonDataTest, UpdateBracketSetsAndClearsTheFlags) {
    auto* Panel = Place<TSkinTestPanel>(0, 0, 20, 10);
    TsCommonData& D = *Panel->SkinData;
    D.BeginUpdate();
    EXPECT_TRUE(D.InUpdate);
    EXPECT_TRUE(D.Flags & UpdatingFlag);
    D.EndUpdate(false);
    EXPECT_FALSE(D.InUpdate);
    EXPECT_FALSE(D.Flags & UpdatingFlag);
}

// ---------------------------------------------------------------------------------------------
// Font section

TEST_F(sCommonDataTest, FontSectionComesFromTheNearestOpaqueParentThatGivesItsFont) {
    struct Case {
        int T;
        bool GiveOwnFont;
        int Expected;
    };
    for (Case C : {Case{30, true, 0}, Case{30, false, 7}, Case{60, true, 7}}) {
        MakeManager({{"PANEL", 0, C.T}});
        Manager->SectionList[0].GiveOwnFont = C.GiveOwnFont;
        auto* Panel = Place<TSkinTestPanel>(0, 0, 100, 100);
        Panel->SkinData->ApplyDefaultSection();
        auto* Label = Place<TLabel>(5, 5, 20, 10, Panel);
        EXPECT_EQ(FindFontSectionIndex(Label, 7, Manager), C.Expected) << C.T;
        Panel->Free();
        FreeAndNil(Manager);
    }
}

// A transparent section on a control without a parent of its own ends the climb.
TEST_F(sCommonDataTest, FontSectionSearchStopsAtAControlWithoutParent) {
    MakeManager({{"PANEL", 0, 80}});
    Manager->SectionList[0].GiveOwnFont = true;
    TOwned<TSkinTestPanel> Top(Create<TSkinTestPanel>(nullptr));
    Top->SkinData->ApplyDefaultSection();
    auto* Label = Create<TLabel>(Top.get());
    Label->SetParent(Top.get());
    EXPECT_EQ(FindFontSectionIndex(Label, 5, Manager), 5);
    EXPECT_EQ(FindFontSectionIndex(nullptr, 5, Manager), 5);
}

// ---------------------------------------------------------------------------------------------
// Bound label

class sCommonDataBoundLabel : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        Host = Place<TEdit>(100, 50, 120, 21);
        Host->SetName("Edit1");
        Data = Create<TsCommonData>(Host, false);
        Bound = Create<TsBoundLabel>(Host, Data);
    }
    void TearDown() override {
        FreeAndNil(Bound);
        FreeAndNil(Data);
        SkinTest::TearDown();
    }
    TEdit* Host = nullptr;
    TsCommonData* Data = nullptr;
    TsBoundLabel* Bound = nullptr;
};

TEST_F(sCommonDataBoundLabel, ActivationNamesTheLabelAfterItsHost) {
    EXPECT_EQ(Bound->TheLabel, nullptr);
    Bound->SetActive(true);
    TCustomLabel* L = Bound->TheLabel;
    ASSERT_NE(L, nullptr);
    EXPECT_EQ(L->Name(), "Edit1Label");
    EXPECT_EQ(L->Caption(), "Edit1");
    EXPECT_EQ(Bound->Caption(), "Edit1");
    EXPECT_EQ(L->Parent(), Form);
    EXPECT_EQ(L->FocusControl(), Host);
    EXPECT_EQ(L->Owner(), Host);
    EXPECT_TRUE(L->Visible());
    EXPECT_TRUE(Bound->UseSkinColor());
    Bound->SetActive(false);
    EXPECT_EQ(Bound->TheLabel, nullptr);
}

TEST_F(sCommonDataBoundLabel, LeftLabelStandsBesideItsHostCentred) {
    Bound->SetCaption("Name:");
    Bound->SetActive(true);
    TCustomLabel* L = Bound->TheLabel;
    EXPECT_EQ(L->Alignment(), taRightJustify);
    EXPECT_EQ(L->Left(), 100 - L->Width() - 4);
    EXPECT_EQ(L->Top(), 50 + (21 - L->Height()) / 2 - 1);
    Bound->SetIndent(3);
    EXPECT_EQ(L->Left(), 100 - L->Width() - 4 - 3);
}

TEST_F(sCommonDataBoundLabel, TopLayoutsStandAboveTheHost) {
    Bound->SetCaption("Name:");
    Bound->SetIndent(2);
    Bound->SetActive(true);
    TCustomLabel* L = Bound->TheLabel;
    struct Case {
        TsCaptionLayout Layout;
        TAlignment Alignment;
        int Left;  // with the label's width W: left edge as a function of it
    };
    int W = L->Width();
    const Case Cases[] = {{sclTopLeft, taLeftJustify, 100},
                          {sclTopCenter, taCenter, 100 + (120 - W) / 2},
                          {sclTopRight, taRightJustify, 100 + 120 - W}};
    for (const Case& C : Cases) {
        Bound->SetLayout(C.Layout);
        EXPECT_EQ(L->Alignment(), C.Alignment);
        EXPECT_EQ(L->Left(), C.Left) << C.Layout;
        EXPECT_EQ(L->Top(), 50 - L->Height() - 2) << C.Layout;
    }
}

TEST_F(sCommonDataBoundLabel, MaxWidthWrapsTheLabel) {
    Bound->SetCaption("A rather long caption");
    Bound->SetActive(true);
    Bound->SetMaxWidth(40);
    TCustomLabel* L = Bound->TheLabel;
    EXPECT_FALSE(L->AutoSize());
    EXPECT_TRUE(L->WordWrap());
    EXPECT_EQ(L->Width(), 40);
    EXPECT_GE(L->Height(), 21);
}

// A parent frees its child controls whoever owns them: the label may go before its host.
TEST_F(sCommonDataBoundLabel, LabelFreedElsewhereLeavesTheBoundLabelInactive) {
    Bound->SetActive(true);
    Bound->TheLabel->Free();
    EXPECT_EQ(Bound->TheLabel, nullptr);
    EXPECT_FALSE(Bound->Active());
    Bound->SetActive(true);
    EXPECT_NE(Bound->TheLabel, nullptr);
}

TEST_F(sCommonDataBoundLabel, FontSetWithoutLabelIsKept) {
    TOwned<TFont> F(Create<TFont>());
    F->SetName("Arial");
    Bound->SetFont(F.get());
    EXPECT_EQ(Bound->Font()->Name(), "Arial");
    Bound->SetActive(true);
    Bound->SetFont(F.get());
    EXPECT_EQ(Bound->TheLabel->Font()->Name(), "Arial");
}

}  // namespace
