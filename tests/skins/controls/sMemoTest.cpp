// The skinned memo: the standard memo without a skin manager (the program's about box and log
// pages), and the window hook it keeps on its window while a skin is active.
#include "SkinControlsTestSupport.h"

#include "sMemo.h"

using namespace skintests;

namespace {

class sMemoTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        sMemoInitialization();
        acSBUtilsInitialization();
    }
    void TearDown() override {
        SkinTest::TearDown();
        acSBUtilsFinalization();
    }
    TsMemo* PlaceMemo() {
        auto* M = Place<TsMemo>(10, 10, 200, 120);
        M->SetScrollBars(ssVertical);
        M->HandleNeeded();
        M->OnVScroll = TNotifyEvent::FromFunction([this](TObject*) { Events.push_back("vscroll"); });
        M->OnScrollCaret = TNotifyEvent::FromFunction([this](TObject*) { Events.push_back("caret"); });
        return M;
    }
    static void ScrollAndShowCaret(TsMemo* M) {
        SendMessageA(M->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
        SendMessageA(M->Handle(), WM_HSCROLL, SB_LINERIGHT, 0);
        SendMessageA(M->Handle(), EM_SCROLLCARET, 0, 0);
    }
    std::vector<std::string> Events;
};

TEST_F(sMemoTest, WithoutManagerTheMemoIsTheStandardMemo) {
    TsMemo* M = PlaceMemo();
    M->SetReadOnly(true);
    M->SetAlign(alClient);
    EXPECT_EQ(M->SkinData()->ControlKind, 7);
    EXPECT_EQ(M->SkinData()->SkinSection(), "EDIT");
    M->Lines()->SetText("one\r\ntwo\r\nthree\r\n");
    EXPECT_EQ(M->Lines()->Count(), 3);
    EXPECT_EQ(SendMessageA(M->Handle(), EM_GETLINECOUNT, 0, 0), 4);
    EXPECT_NE(GetWindowLongA(M->Handle(), GWL_STYLE) & ES_READONLY, 0);
    ScrollAndShowCaret(M);
    EXPECT_TRUE(Events.empty()) << "the scroll events belong to the skinned path";
    EXPECT_EQ(M->EditWnd(), nullptr);
    EXPECT_EQ(GetHookOfWindow(M->Handle()), nullptr);
    EXPECT_EQ(SendMessageA(M->Handle(), SM_ALPHACMD, SkinCommandParam(SKIN_ISSKINNED), 0), 1);
}

TEST_F(sMemoTest, FormTextKeepsLinesAndSkinData) {
    ReadFormText(Form, "object F: TForm\n  object mmLog: TsMemo\n    Left = 0\n    Top = 0\n    Width = 200\n"
                       "    Height = 100\n    Align = alClient\n    Lines.Strings = (\n      'first'\n      'second')\n"
                       "    ReadOnly = True\n    ScrollBars = ssVertical\n    DisabledKind = [dkGrayed]\n"
                       "    SkinData.CustomFont = True\n  end\nend\n");
    auto* M = DynCast<TsMemo>(Form->FindComponent("mmLog"));
    ASSERT_NE(M, nullptr);
    EXPECT_EQ(M->Lines()->Count(), 2);
    EXPECT_EQ(M->Lines()->Strings(1), "second");
    EXPECT_TRUE(M->ReadOnly());
    EXPECT_EQ(M->DisabledKind(), TsDisabledKind{dkGrayed});
    EXPECT_TRUE(M->SkinData()->CustomFont());
    EXPECT_EQ(M->Width(), Form->ClientWidth());
}

class sMemoSkinnedTest : public sMemoTest {
protected:
    void SetUp() override {
        sMemoTest::SetUp();
        MakeManager({{"EDIT", 0xF0F0F0, 0, 0, 0, 0x202020}});
    }
};

TEST_F(sMemoSkinnedTest, SkinnedMemoKeepsAHookWhileSkinned) {
    TsMemo* M = PlaceMemo();
    ASSERT_TRUE(M->SkinData()->IsSkinned(true));
    Form->Show();
    M->Perform(CM_SHOWINGCHANGED, 0, 0);
    TacScrollWnd* Hook = M->EditWnd();
    ASSERT_NE(Hook, nullptr);
    EXPECT_TRUE(DynCast<TacEditWnd>(Hook));
    EXPECT_EQ(GetHookOfWindow(M->Handle()), Hook);
    EXPECT_EQ(Hook->SkinData, M->SkinData());
    EXPECT_EQ(Hook->SkinData->SkinSection(), "EDIT");
    ScrollAndShowCaret(M);
    EXPECT_EQ(Events, (std::vector<std::string>{"vscroll", "caret"})) << "no event for WM_HSCROLL";

    HWND Old = M->Handle();
    Command(M, SKIN_REMOVED, ManagerParam(Manager));
    EXPECT_EQ(M->EditWnd(), nullptr);
    EXPECT_NE(M->Handle(), Old) << "the window is made again with standard painting";
    EXPECT_EQ(GetHookOfWindow(M->Handle()), nullptr);
    M->Lines()->SetText("still edits\r\n");
    EXPECT_EQ(M->Lines()->Strings(0), "still edits");
}

TEST_F(sMemoSkinnedTest, FreeingTheMemoGivesItsWindowBack) {
    TsMemo* M = PlaceMemo();
    M->Perform(CM_SHOWINGCHANGED, 0, 0);
    ASSERT_NE(M->EditWnd(), nullptr);
    HWND Wnd = M->Handle();
    FreeAndNil(M);
    EXPECT_FALSE(IsWindow(Wnd));
    EXPECT_EQ(GetPropA(Wnd, HookPropName), nullptr);
}

}  // namespace
