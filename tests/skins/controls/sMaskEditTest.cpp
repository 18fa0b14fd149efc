// The skinned mask edit: its text margin, its change notification while a form loads, and form
// reading; the base of the edits with a button and of the date edit.
#include "SkinControlsTestSupport.h"

#include "sMaskEdit.h"

using namespace skintests;

namespace {

class sMaskEditTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        sMaskEditInitialization();
    }
};

TEST_F(sMaskEditTest, TextMarginByFrame) {
    auto* E = Place<TsMaskEdit>(10, 10, 120, 21);
    struct Case {
        TFormBorderStyle Border;
        bool Ctl3D;
        int Margin;
    } Cases[] = {{bsSingle, true, 3}, {bsSingle, false, 2}, {bsNone, true, 0}, {bsNone, false, 0}};
    for (const Case& C : Cases) {
        E->SetBorderStyle(C.Border);
        E->SetCtl3D(C.Ctl3D);
        EXPECT_EQ(E->TextMargin(), C.Margin) << C.Border << " " << C.Ctl3D;
    }
}

TEST_F(sMaskEditTest, NoChangeNotificationWhileTheFormLoads) {
    int Changes = 0;
    auto* E = Place<TsMaskEdit>(10, 10, 120, 21);
    E->HandleNeeded();
    E->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++Changes; });
    E->IncludeState(csLoading);
    E->SetText("12");
    EXPECT_EQ(Changes, 0);
    E->ExcludeState(csLoading);
    E->SetText("34");
    EXPECT_EQ(Changes, 1);
}

TEST_F(sMaskEditTest, FormTextWithMaskAndBoundLabel) {
    ReadFormText(Form, "object F: TForm\n  object edDate: TsMaskEdit\n    Left = 90\n    Top = 40\n"
                       "    Width = 100\n    Height = 21\n    EditMask = '!99/99/9999;1; '\n    MaxLength = 10\n"
                       "    BoundLabel.Active = True\n    BoundLabel.Caption = 'Date:'\n"
                       "    SkinData.SkinSection = 'EDIT'\n  end\nend\n");
    auto* E = DynCast<TsMaskEdit>(Form->FindComponent("edDate"));
    ASSERT_NE(E, nullptr);
    EXPECT_TRUE(E->IsMasked());
    EXPECT_EQ(E->SkinData()->ControlKind, 3);
    ASSERT_NE(E->BoundLabel()->TheLabel, nullptr);
    EXPECT_EQ(E->BoundLabel()->TheLabel->Caption(), "Date:");
    E->SetVisible(false);
    EXPECT_FALSE(E->BoundLabel()->TheLabel->Visible()) << "the label follows its edit";
    EXPECT_EQ(Command(E, SKIN_ISSKINNED), 1);
}

}  // namespace
