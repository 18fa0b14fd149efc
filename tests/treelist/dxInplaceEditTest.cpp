#include "Streams.h"
#include "TestContainer.h"
#include "TreeListTestSupport.h"

#include <memory>

using namespace treelist_tests;

namespace {
class TShowCountingEdit : public TdxInplaceEdit {
    DECLARE_CLASS(TShowCountingEdit, TdxInplaceEdit)
public:
    using TdxInplaceEdit::TdxInplaceEdit;
    int InitialShows = 0;
    void InitialShow() override { ++InitialShows; }
};

struct InplaceEditTest : TEditorTest<TShowCountingEdit> {
    std::vector<char> Typed;
    void SetUp() override {
        TEditorTest::SetUp();
        Edit->OnKeyPress = TKeyPressEvent::FromFunction([this](TObject*, char& Key) { Typed.push_back(Key); });
    }
    void Key(Word K) { Edit->Perform(WM_KEYDOWN, K, 0); }
};
}  // namespace

TEST_F(InplaceEditTest, ValidateAsksOnlyWhenModifiedAndUnlocked) {
    int Asked = 0;
    Edit->OnValidate = TdxEditValidateEvent::FromFunction([&](TObject*, std::string& Error, bool& Accept) {
        ++Asked;
        EXPECT_EQ("Invalid input value. Use escape key to abandon changes", Error);
        Error = "No";
        Accept = false;
    });
    Edit->Validate();
    EXPECT_EQ(0, Asked);
    Edit->SetModified(true);
    Edit->LockValidate();
    Edit->Validate();
    EXPECT_EQ(0, Asked);
    Edit->UnlockValidate();
    try {
        Edit->Validate();
        FAIL() << "a refused value must raise";
    } catch (const EdxEditInvalidInput& E) {
        EXPECT_EQ("No", E.Message());
    }
    EXPECT_EQ(1, Asked);
}

TEST_F(InplaceEditTest, KeysGoToTheContainerAsItsRulesSay) {
    struct Case {
        Word Key;
        TShiftState Shift;
        bool Modify;
        bool ToContainer;  // the container's own key handling
        bool ToEditorKeys; // the container's editor-key hook
    };
    const Case Cases[] = {
        {VK_RETURN, {}, true, true, false},     {VK_DOWN, {}, true, true, false},
        {VK_INSERT, {}, false, true, false},    {VK_INSERT, {ssShift}, false, false, false},
        {VK_INSERT, {ssShift}, true, false, true}, {VK_DELETE, {}, false, false, false},
        {VK_DELETE, {}, true, false, true},     {VK_LEFT, {}, false, false, true},
        {VK_TAB, {ssAlt}, true, false, true},
    };
    for (const Case& C : Cases) {
        Box->Modify = C.Modify;
        Box->ContainerKeys.clear();
        Box->EditorKeys.clear();
        Word K = C.Key;
        Edit->KeyDown(K, C.Shift);
        EXPECT_EQ(C.ToContainer, !Box->ContainerKeys.empty()) << C.Key;
        EXPECT_EQ(C.ToEditorKeys, !Box->EditorKeys.empty()) << C.Key;
    }
}

TEST_F(InplaceEditTest, BareContainerRefusesEveryCharacter) {
    TTestContainer* Bare = Create<TTestContainer>(Form);
    Bare->Modify = false;
    Bare->ValidChars = false;
    TdxInplaceEdit* E = Create<TdxInplaceEdit>(Bare);
    int Seen = 0;
    E->OnKeyPress = TKeyPressEvent::FromFunction([&](TObject*, char&) { ++Seen; });
    for (char Ch : {'a', '1', ' '}) {
        char K = Ch;
        E->KeyPress(K);
        EXPECT_EQ(0, K);
    }
    char Esc = 27;
    E->KeyPress(Esc);
    EXPECT_EQ(0, Seen);
}

TEST_F(InplaceEditTest, EnterNeverReachesTheEditorAsACharacter) {
    Edit->ShowAt(TRect{10, 10, 100, 30});
    // The message loop translates the key into its character; the editor drops that character.
    PostMessageA(Edit->Handle(), WM_KEYDOWN, VK_RETURN, 1);
    Pump(100);
    EXPECT_TRUE(Typed.empty());
    PostMessageA(Edit->Handle(), WM_CHAR, 'x', 1);
    Pump(100);
    ASSERT_EQ(1u, Typed.size());
    EXPECT_EQ('x', Typed[0]);
    ASSERT_FALSE(Box->ContainerKeys.empty());
    EXPECT_EQ(VK_RETURN, Box->ContainerKeys[0]);
}

TEST_F(InplaceEditTest, ShowAtGrowsTheCellAndRunsInitialShowOnce) {
    Edit->ShowAt(TRect{});
    EXPECT_FALSE(Edit->InplaceShown());
    Edit->ShowAt(TRect{10, 20, 110, 40});
    EXPECT_TRUE(Edit->InplaceShown());
    EXPECT_EQ(TRect(8, 18, 112, 42), Edit->BoundsRect());
    EXPECT_TRUE(IsWindowVisible(Edit->Handle()));
    EXPECT_EQ(Edit->Handle(), GetFocus());
    Edit->ShowAt(TRect{10, 50, 110, 70});
    EXPECT_EQ(1, Edit->InitialShows);
    Edit->HideInplace();
    EXPECT_FALSE(IsWindowVisible(Edit->Handle()));
    Edit->BeginShow();
    Edit->ShowAt(TRect{10, 50, 110, 70});
    Edit->EndShow();
    EXPECT_EQ(1, Edit->InitialShows);
}

TEST_F(InplaceEditTest, FocusedEditorLeavesTheContainerAsTheFormsFocus) {
    Edit->ShowAt(TRect{10, 10, 100, 30});
    Pump();
    EXPECT_EQ(Box, Form->ActiveControl());
    EXPECT_GT(Box->FocusChanges, 0);
}

TEST_F(InplaceEditTest, DialogCodeWantsTabOnlyWhenTheContainerDoes) {
    LRESULT Code = Edit->Perform(WM_GETDLGCODE);
    EXPECT_TRUE(Code & DLGC_WANTALLKEYS);
    EXPECT_TRUE(Code & DLGC_WANTCHARS);
    EXPECT_FALSE(Code & DLGC_WANTTAB);
    Box->WantTab = true;
    EXPECT_TRUE(Edit->Perform(WM_GETDLGCODE) & DLGC_WANTTAB);
}

TEST_F(InplaceEditTest, StoredValuesKeepTheirHighFlagsThroughAStream) {
    Edit->SetStoredValues(static_cast<Word>(256 | dxStored::ReadOnly | dxStored::Alignment));
    std::unique_ptr<TMemoryStream, TObjectDeleter> S(Create<TMemoryStream>());
    S->WriteComponent(Edit);
    S->SetPosition(0);
    auto* Copy = Create<TdxInplaceEdit>(Box);
    S->ReadComponent(Copy);
    EXPECT_EQ(256 | dxStored::ReadOnly | dxStored::Alignment, Copy->StoredValues());
}

TEST_F(InplaceEditTest, StoredReadOnlyWinsOverTheDefault) {
    EXPECT_FALSE(Edit->GetReadOnly());
    Edit->SetReadOnly(true);
    EXPECT_FALSE(Edit->GetReadOnly());  // not stored: the default answers
    Edit->SetStoredReadOnly(true);
    EXPECT_TRUE(Edit->GetReadOnly());
    EXPECT_FALSE(Edit->CanChangeValue());
    Edit->RestoreDefaults();
    EXPECT_FALSE(Edit->GetReadOnly());
    EXPECT_EQ(0, Edit->StoredValues());
}

TEST_F(InplaceEditTest, WheelGoesToTheContainerAsLineScrolls) {
    Edit->ShowAt(TRect{10, 10, 100, 30});
    const int Lines = Mouse->WheelScrollLines();
    ASSERT_GT(Lines, 0);
    Edit->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    ASSERT_EQ(static_cast<size_t>(Lines), Box->Scrolls.size());
    EXPECT_EQ(static_cast<WPARAM>(SB_LINEDOWN), Box->Scrolls[0]);
    Box->Scrolls.clear();
    Box->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    ASSERT_EQ(static_cast<size_t>(Lines), Box->Scrolls.size());
    EXPECT_EQ(static_cast<WPARAM>(SB_LINEUP), Box->Scrolls[0]);
}
