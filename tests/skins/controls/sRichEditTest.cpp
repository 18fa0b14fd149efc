// The skinned rich edit: its text limit, its colours when a skin disables it, and the disabled
// kind it hands to the frame painter of its window hook.
#include "SkinControlsTestSupport.h"

#include "sRichEdit.h"

#include <richedit.h>

using namespace skintests;

namespace {

class sRichEditTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        sRichEditInitialization();
        acSBUtilsInitialization();
    }
    void TearDown() override {
        SkinTest::TearDown();
        acSBUtilsFinalization();
    }
    TsRichEdit* PlaceEdit() {
        auto* E = Place<TsRichEdit>(10, 10, 250, 150);
        E->HandleNeeded();
        return E;
    }
};

TEST_F(sRichEditTest, TextBeyondTheStandardLimitIsKept) {
    TsRichEdit* E = PlaceEdit();
    EXPECT_EQ(SendMessageA(E->Handle(), EM_GETLIMITTEXT, 0, 0), 0x7FFFFFF0);
    std::string Long(100000, 'x');
    E->SetText(Long);
    EXPECT_EQ(GetWindowTextLengthA(E->Handle()), 100000);
    EXPECT_EQ(E->SkinData()->SkinSection(), "EDIT");
}

TEST_F(sRichEditTest, AsksForItsDisabledKindIntoTheSharedValue) {
    TsRichEdit* E = PlaceEdit();
    E->SetDisabledKind(TsDisabledKind{dkGrayed});
    SharedDisabledKind = TsDisabledKind{dkBlended};
    SendMessageA(E->Handle(), SM_ALPHACMD, SkinCommandParam(SKIN_GETDISABLEDKIND), 0);
    EXPECT_EQ(SharedDisabledKind, TsDisabledKind{dkGrayed});
}

TEST_F(sRichEditTest, DisabledUnderASkinShowsTheEvenMixOfTextAndBackground) {
    MakeManager({{"EDIT", 0xFFFFFF, 0, 0, 0, 0x000000}});
    TsRichEdit* E = PlaceEdit();
    ASSERT_TRUE(E->SkinData()->IsSkinned(true));
    E->SetEnabled(false);
    EXPECT_EQ(E->Color(), 0xFFFFFF);
    EXPECT_EQ(E->Font()->Color(), 0x808080) << "(0 x 127 + 255 x 129) shr 8 = 128";
    EXPECT_EQ(E->DefAttributes()->Color(), 0x808080);
    E->SetEnabled(true);
    EXPECT_EQ(E->Font()->Color(), 0x000000);
    E->SkinData()->SetCustomColor(true);
    E->SetColor(clInfoBk);
    E->SetEnabled(false);
    EXPECT_EQ(E->Color(), clInfoBk) << "a custom colour stays";
}

// An edit made before the skin has no hook yet: the refresh gives its default text the section's
// colour and hooks its window (from then on the hook answers refreshes).
TEST_F(sRichEditTest, SkinRefreshGivesTheDefaultTextTheSectionColourAndAHook) {
    TsRichEdit* E = PlaceEdit();
    EXPECT_EQ(E->EditWnd(), nullptr);
    MakeManager({{"EDIT", 0xFFFFFF, 0, 0, 0, 0x0000A0}});
    Command(E, SKIN_LOADED, ManagerParam(Manager));
    Command(E, SKIN_REFRESH, ManagerParam(Manager));
    EXPECT_EQ(E->DefAttributes()->Color(), 0x0000A0);
    EXPECT_NE(E->EditWnd(), nullptr);
    Command(E, SKIN_REMOVED, ManagerParam(Manager));
    EXPECT_EQ(E->EditWnd(), nullptr);
}

}  // namespace
