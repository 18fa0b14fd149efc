// The skinned edit: read from a form resource, its standard path without a skin manager (the
// program's), and its skinned path with a manager filled by hand.
#include "../engine/SkinTestSupport.h"

#include "sEdit.h"

using namespace skintests;

namespace {

class TsEditTestForm : public TForm {
    DECLARE_CLASS(TsEditTestForm, TForm)
public:
    using TForm::TForm;
    static void DefineClass(TClassBuilder<TsEditTestForm>& B) {
        B.Field("edName", &TsEditTestForm::edName);
        B.Field("edPassword", &TsEditTestForm::edPassword);
    }
    TsEdit* edName = nullptr;
    TsEdit* edPassword = nullptr;
};

LRESULT Command(TControl* C, Word Code, LPARAM LParam = 0) {
    return C->Perform(SM_ALPHACMD, SkinCommandParam(Code), LParam);
}

class sEditTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        sEditInitialization();
    }
    TsEdit* PlaceEdit() {
        auto* E = Place<TsEdit>(100, 40, 150, 21);
        E->SetName("Edit1");
        E->HandleNeeded();
        return E;
    }
};

TEST_F(sEditTest, EditsReadFromAFormKeepTheirStreamedValues) {
    TOwned<TsEditTestForm> F(Create<TsEditTestForm>(nullptr));
    TsEdit* Name = F->edName;
    ASSERT_NE(Name, nullptr);
    EXPECT_EQ(Name->SkinData()->SkinSection(), "EDIT");
    EXPECT_EQ(Name->SkinData()->ControlKind, 3);
    EXPECT_EQ(Name->SkinData()->SectionIndex, -1);
    EXPECT_EQ(Name->Text(), "Backup");
    TCustomLabel* L = Name->BoundLabel()->TheLabel;
    ASSERT_NE(L, nullptr);
    EXPECT_EQ(L->Caption(), "Name:");
    EXPECT_EQ(L->Name(), "edNameLabel");
    EXPECT_EQ(L->Parent(), F.get());
    EXPECT_EQ(L->Left(), 100);
    EXPECT_EQ(L->Top(), 40 - L->Height());

    TsEdit* Password = F->edPassword;
    EXPECT_EQ(Password->PasswordChar(), '*');
    EXPECT_EQ(Password->MaxLength(), 20);
    EXPECT_EQ(Password->DisabledKind(), TsDisabledKind{dkGrayed});
    EXPECT_EQ(Password->Color(), clInfoBk) << "a section streamed with the form sends nothing";
    EXPECT_EQ(Password->BoundLabel()->TheLabel, nullptr);
    F->Show();
    EXPECT_EQ(SendMessageA(Password->Handle(), EM_GETPASSWORDCHAR, 0, 0), '*');
}

TEST_F(sEditTest, SkinDataBoundLabelAndDisabledKindRoundTripThroughAStream) {
    TOwned<TsEdit> Written(Create<TsEdit>(nullptr));
    Written->SkinData()->SetSkinSection("panel");
    Written->SkinData()->SetCustomFont(true);
    Written->BoundLabel()->SetCaption("Server:");
    Written->BoundLabel()->SetIndent(3);
    Written->BoundLabel()->SetLayout(sclTopRight);
    Written->SetDisabledKind(TsDisabledKind{dkBlended, dkGrayed});
    TOwned<TMemoryStream> Stream(Create<TMemoryStream>());
    Stream->WriteComponent(Written.get());
    Stream->SetPosition(0);
    TOwned<TsEdit> Read(Create<TsEdit>(nullptr));
    Stream->ReadComponent(Read.get());
    EXPECT_EQ(Read->SkinData()->SkinSection(), "PANEL");
    EXPECT_TRUE(Read->SkinData()->CustomFont());
    EXPECT_FALSE(Read->SkinData()->CustomColor());
    EXPECT_EQ(Read->BoundLabel()->Caption(), "Server:");
    EXPECT_EQ(Read->BoundLabel()->Indent(), 3);
    EXPECT_EQ(Read->BoundLabel()->Layout(), sclTopRight);
    EXPECT_EQ(Read->DisabledKind(), (TsDisabledKind{dkBlended, dkGrayed}));
}

TEST_F(sEditTest, WithoutManagerTheEditAnswersTheLibraryCommands) {
    TsEdit* E = PlaceEdit();
    E->SetColor(clInfoBk);
    EXPECT_EQ(E->SkinData()->SkinSection(), "EDIT") << "picked at construction";
    EXPECT_FALSE(E->SkinData()->IsSkinned(false));
    const std::pair<Word, LRESULT> Cases[] = {
        {SKIN_ISSKINNED, 1},
        {SKIN_GETBGCOLOR, ColorToRGB(clInfoBk)},
        {SKIN_GETAPPLICATION, reinterpret_cast<LRESULT>(Application)},
        {SKIN_GETNONUNIFORM, 0},
        {200, 0},  // unknown: an ordinary message to the standard edit
    };
    for (auto [Code, Answer] : Cases) {
        EXPECT_EQ(SendMessageA(E->Handle(), SM_ALPHACMD, SkinCommandParam(Code), 0xFF00FF), Answer) << Code;
        EXPECT_EQ(Command(E, Code, 0xFF00FF), Answer) << Code;
    }
}

TEST_F(sEditTest, StandardPathEditsAsTheStandardEdit) {
    TsEdit* E = PlaceEdit();
    E->SetText("abc");
    SendMessageA(E->Handle(), EM_SETSEL, 3, 3);
    SendMessageA(E->Handle(), WM_CHAR, 'd', 0);
    EXPECT_EQ(E->Text(), "abcd");
    E->SetPasswordChar('*');
    EXPECT_EQ(SendMessageA(E->Handle(), EM_GETPASSWORDCHAR, 0, 0), '*');
    EXPECT_EQ(E->Text(), "abcd");
}

// Without a manager an edit that gets a section while parented removes its skin: window colours.
TEST_F(sEditTest, SectionSetWithoutManagerGivesTheWindowColoursUnlessCustom) {
    struct Case {
        bool CustomColor, CustomFont;
    };
    for (Case C : {Case{false, false}, Case{true, false}, Case{false, true}}) {
        TsEdit* E = PlaceEdit();
        E->SkinData()->SetCustomColor(C.CustomColor);
        E->SkinData()->SetCustomFont(C.CustomFont);
        E->SetColor(clYellow);
        E->Font()->SetColor(clRed);
        E->SkinData()->SetSkinSection("PANEL");
        EXPECT_TRUE(E->SkinData()->InUpdate);
        EXPECT_EQ(E->Color(), C.CustomColor ? clYellow : clWindow);
        EXPECT_EQ(E->Font()->Color(), C.CustomFont ? clRed : clWindowText);
        E->Free();
    }
}

TEST_F(sEditTest, FrameWidthAndTextInset) {
    struct Case {
        TFormBorderStyle Border;
        bool Ctl3D;
        int B, BWithBevels, T;
    };
    const Case Cases[] = {{bsSingle, true, 2, 2, 2}, {bsSingle, false, 1, 1, 1}, {bsNone, true, 0, 2, 0}};
    TsEdit* E = PlaceEdit();
    for (const Case& C : Cases) {
        E->SetBorderStyle(C.Border);
        E->SetCtl3D(C.Ctl3D);
        EXPECT_EQ(E->BorderWidthOf(false), C.B);
        EXPECT_EQ(E->BorderWidthOf(true), C.BWithBevels);
        EXPECT_EQ(E->TextInset(), C.T);
    }
}

TEST_F(sEditTest, BoundLabelGreysOutOnlyWithABlendedDisabledLook) {
    const std::pair<TsDisabledKind, bool> Cases[] = {
        {TsDisabledKind{dkBlended}, false}, {TsDisabledKind{}, true}, {TsDisabledKind{dkGrayed}, true}};
    for (auto [Kind, LabelEnabled] : Cases) {
        TsEdit* E = PlaceEdit();
        EXPECT_EQ(E->BoundLabel()->TheLabel, nullptr) << "no label control while inactive";
        E->BoundLabel()->SetActive(true);
        E->SetDisabledKind(Kind);
        E->SetEnabled(false);
        EXPECT_EQ(E->BoundLabel()->TheLabel->Enabled(), LabelEnabled);
        E->SetEnabled(true);
        EXPECT_TRUE(E->BoundLabel()->TheLabel->Enabled());
        E->SetVisible(false);
        EXPECT_FALSE(E->BoundLabel()->TheLabel->Visible());
        E->Free();
    }
}

TEST_F(sEditTest, BoundLabelFollowsItsEdit) {
    TsEdit* E = PlaceEdit();
    E->BoundLabel()->SetActive(true);
    TCustomLabel* L = E->BoundLabel()->TheLabel;
    E->SetBounds(120, 60, 150, 21);
    EXPECT_EQ(L->Left(), 120 - L->Width() - 4);
    EXPECT_EQ(L->Top(), 60 + (21 - L->Height()) / 2 - 1);
}

// ---------------------------------------------------------------------------------------------
// Skinned path

constexpr TColor SectionColor = 0x00D0E0F0, SectionFont = 0x00102030, HotColor = 0x00F0E0D0, HotFont = 0x00302010;

class sEditSkinnedTest : public sEditTest {
protected:
    void SetUp() override {
        sEditTest::SetUp();
        MakeManager({{"EDIT", SectionColor, 0, 0, 0, SectionFont, HotColor, HotFont}});
        Edit = PlaceEdit();
    }
    TsEdit* Edit = nullptr;
};

TEST_F(sEditSkinnedTest, RefreshGivesTheSectionColours) {
    ASSERT_TRUE(Edit->SkinData()->IsSkinned(true));
    Command(Edit, SKIN_REFRESH, reinterpret_cast<LPARAM>(Manager));
    EXPECT_EQ(Edit->Color(), SectionColor);
    EXPECT_EQ(Edit->Font()->Color(), SectionFont);
    EXPECT_FALSE(Edit->SkinData()->InUpdate);
}

TEST_F(sEditSkinnedTest, FocusedEditPaintsInHotColoursAndLosingFocusRepaintsIt) {
    Edit->Perform(WM_SETFOCUS, 0, 0);
    EXPECT_TRUE(Edit->SkinData()->HasFocus);
    Edit->Perform(WM_PAINT, 0, 0);
    EXPECT_EQ(Edit->Color(), HotColor);
    EXPECT_EQ(Edit->Font()->Color(), HotFont);
    Edit->Perform(WM_KILLFOCUS, 0, 0);
    EXPECT_FALSE(Edit->SkinData()->HasFocus);
    if (GetFocus() != Edit->Handle()) {
        EXPECT_EQ(Edit->Color(), SectionColor) << "repainted at once";
        EXPECT_EQ(Edit->Font()->Color(), SectionFont);
    }
}

TEST_F(sEditSkinnedTest, CustomColourAndFontStayTheEdits) {
    Edit->SkinData()->SetCustomColor(true);
    Edit->SkinData()->SetCustomFont(true);
    Edit->SetColor(clLime);
    Edit->Font()->SetColor(clNavy);
    Edit->Perform(WM_PAINT, 0, 0);
    Command(Edit, SKIN_REFRESH, reinterpret_cast<LPARAM>(Manager));
    EXPECT_EQ(Edit->Color(), clLime);
    EXPECT_EQ(Edit->Font()->Color(), clNavy);
}

TEST_F(sEditSkinnedTest, DisabledEditNeverErasesAndPaintsFromItsCache) {
    TOwned<TBitmap> Target(Create<TBitmap>());
    Target->SetSize(Edit->Width(), Edit->Height());
    WPARAM DC = reinterpret_cast<WPARAM>(Target->Canvas()->Handle());
    EXPECT_EQ(Edit->Perform(WM_ERASEBKGND, DC, 0), 1) << "enabled: erased";
    Edit->SetEnabled(false);
    EXPECT_EQ(Edit->Perform(WM_ERASEBKGND, DC, 0), 0);
    Edit->SkinData()->BackgroundStale = true;
    SendMessageA(Edit->Handle(), WM_PAINT, 0, 0);
    EXPECT_FALSE(Edit->SkinData()->BackgroundStale) << "the cache was painted";
    EXPECT_EQ(Edit->SkinData()->CacheBitmap->Width(), Edit->Width());
    EXPECT_EQ(Edit->SkinData()->CacheBitmap->Height(), Edit->Height());
}

TEST_F(sEditSkinnedTest, CommandsOfAnotherManagerAreOrdinaryMessages) {
    TOwned<TsSkinManager> Other(Create<TsSkinManager>(nullptr));
    Command(Edit, SKIN_REMOVED, reinterpret_cast<LPARAM>(Other.get()));
    EXPECT_TRUE(Edit->SkinData()->IsSkinned(false));
    Command(Edit, SKIN_REMOVED, reinterpret_cast<LPARAM>(Manager));
    EXPECT_FALSE(Edit->SkinData()->IsSkinned(false));
    EXPECT_EQ(Edit->Color(), clWindow);
    EXPECT_EQ(Command(Edit, SKIN_GETBGCOLOR), ColorToRGB(clWindow));
}

TEST_F(sEditSkinnedTest, SkinnedBackgroundColourIsTheSections) {
    EXPECT_EQ(Command(Edit, SKIN_GETBGCOLOR, 0xFF00FF), SectionColor);
    EXPECT_EQ(Command(Edit, SKIN_GETNONUNIFORM), 0);
}

}  // namespace
