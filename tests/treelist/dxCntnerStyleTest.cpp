#include "Streams.h"
#include "TreeListTestSupport.h"

#include <memory>

using namespace treelist_tests;

namespace {
// An editor that counts the style notifications it receives.
class TCountingEdit : public TdxInplaceEdit {
    DECLARE_CLASS(TCountingEdit, TdxInplaceEdit)
public:
    using TdxInplaceEdit::TdxInplaceEdit;
    int StyleChanges = 0;
    void StyleChanged() override {
        ++StyleChanges;
        TdxInplaceEdit::StyleChanged();
    }
};

template <class T>
using TOwnedPtr = std::unique_ptr<T, TObjectDeleter>;

struct StyleTest : TreeListTest {
    TOwnedPtr<TCountingEdit> Edit{Create<TCountingEdit>(nullptr)};
    TOwnedPtr<TdxEditStyleController> Controller{Create<TdxEditStyleController>(nullptr)};
    void TearDown() override {
        DefaultEditStyleController->RestoreDefaults();
        TreeListTest::TearDown();
    }
};
}  // namespace

TEST_F(StyleTest, ValuesFollowOwnThenLinkedThenDefaultController) {
    TdxEditStyle* S = Edit->Style();
    EXPECT_EQ(xbs3D, S->BorderStyle());
    DefaultEditStyleController->SetBorderStyle(xbsFlat);
    EXPECT_EQ(xbsFlat, S->BorderStyle());
    Edit->SetStyleController(Controller.get());
    Controller->SetBorderStyle(xbsSingle);
    EXPECT_EQ(xbsSingle, S->BorderStyle());
    S->SetBorderStyle(xbsThick);
    EXPECT_EQ(xbsThick, S->BorderStyle());
    Controller->SetBorderStyle(xbsNone);
    EXPECT_EQ(xbsThick, S->BorderStyle());
    S->RestoreDefaults();
    EXPECT_EQ(xbsNone, S->BorderStyle());
}

TEST_F(StyleTest, SettingTheInheritedValueStillAssignsIt) {
    TdxEditStyle* S = Edit->Style();
    S->SetHotTrack(false);
    EXPECT_TRUE(S->AssignedValues().Contains(svHotTrack));
    DefaultEditStyleController->SetHotTrack(true);
    EXPECT_FALSE(S->HotTrack());
}

TEST_F(StyleTest, UpdateBracketNotifiesOnceAtTheEnd) {
    Edit->SetStyleController(Controller.get());
    Edit->StyleChanges = 0;
    Controller->BeginUpdate();
    Controller->SetBorderColor(clRed);
    Controller->SetShadow(true);
    Controller->SetEdges(TdxEditEdges{edgLeft});
    EXPECT_EQ(0, Edit->StyleChanges);
    Controller->EndUpdate();
    EXPECT_EQ(1, Edit->StyleChanges);

    TOwnedPtr<TdxEditStyleController> Other(Create<TdxEditStyleController>(nullptr));
    Other->SetHotTrack(true);
    Edit->StyleChanges = 0;
    Controller->Assign(Other.get());
    EXPECT_EQ(1, Edit->StyleChanges);
    EXPECT_TRUE(Controller->HotTrack());
    EXPECT_FALSE(Controller->Shadow());
}

TEST_F(StyleTest, EditorWithItsOwnControllerIgnoresTheDefaultOne) {
    Edit->SetStyleController(Controller.get());
    Edit->StyleChanges = 0;
    DefaultEditStyleController->SetButtonStyle(btsFlat);
    EXPECT_EQ(0, Edit->StyleChanges);
    Controller->SetButtonStyle(btsSimple);
    EXPECT_EQ(1, Edit->StyleChanges);
    Edit->SetStyleController(nullptr);
    Edit->StyleChanges = 0;
    DefaultEditStyleController->SetButtonStyle(bts3D);
    EXPECT_EQ(1, Edit->StyleChanges);
}

TEST_F(StyleTest, FreedControllerDropsItsLinks) {
    auto* C = Create<TdxEditStyleController>(nullptr);
    Edit->SetStyleController(C);
    ASSERT_EQ(1u, C->Links().size());
    C->Free();
    EXPECT_EQ(nullptr, Edit->StyleController());
    EXPECT_EQ(xbs3D, Edit->Style()->BorderStyle());
}

TEST_F(StyleTest, LoadingControllerNotifiesOnceFromLoaded) {
    Controller->SetBorderStyle(xbsFlat);
    Controller->SetHotTrack(true);
    Controller->SetShadow(true);
    auto Stream = TOwnedPtr<TMemoryStream>(Create<TMemoryStream>());
    Stream->WriteComponent(Controller.get());
    Stream->SetPosition(0);

    TOwnedPtr<TdxEditStyleController> Target(Create<TdxEditStyleController>(nullptr));
    int Calls = 0;
    TObject Link;
    Target->AddLink(&Link);
    Target->OnStyleChanged = TdxStyleChangedEvent::FromFunction([&](TObject*, TObject* L) {
        EXPECT_EQ(&Link, L);
        ++Calls;
    });
    Stream->ReadComponent(Target.get());
    EXPECT_EQ(1, Calls);
    EXPECT_EQ(xbsFlat, Target->BorderStyle());
    EXPECT_TRUE(Target->Shadow());
}

TEST_F(StyleTest, StyleAssignCopiesEffectiveValuesAsAssigned) {
    TOwnedPtr<TCountingEdit> Other(Create<TCountingEdit>(nullptr));
    Other->SetStyleController(Controller.get());
    Controller->SetBorderColor(clBlue);
    Edit->Style()->Assign(Other->Style());
    EXPECT_EQ(clBlue, Edit->Style()->BorderColor());
    EXPECT_EQ(TdxEditStyleValues({svBorderColor, svBorderStyle, svButtonStyle, svButtonTransparence, svEdges,
                                  svHotTrack, svShadow}),
              Edit->Style()->AssignedValues());
}
