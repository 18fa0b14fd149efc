// Controls' state: parent font and colour, text with and without a window, alignment and anchors,
// constraints, re-created windows, focus rules.
#include "ControlTestSupport.h"
#include "StdCtrls.h"

#include <gtest/gtest.h>

using namespace controltests;

namespace {

class TDot : public TGraphicControl {
    DECLARE_CLASS(TDot, TGraphicControl)
public:
    using TGraphicControl::TGraphicControl;
};

class ControlLayout : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        Form = TForm::CreateNew(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(50, 50, 400, 300);
        Box = Create<TBox>(Form);
        Box->SetParent(Form);
        Box->SetBounds(10, 10, 200, 100);
        Dot = Create<TDot>(Form);
        Dot->SetParent(Box);
    }
    TForm* Form = nullptr;
    TBox* Box = nullptr;
    TDot* Dot = nullptr;
};

TEST_F(ControlLayout, ParentFontFollowsThroughTheChainUntilAChildSetsItsOwn) {
    auto* Button = Create<TButton>(Form);
    Button->SetParent(Box);
    Form->Show();
    Form->Font()->SetName("Verdana");
    Form->Font()->SetSize(12);
    EXPECT_EQ(Box->Font()->Name(), "Verdana");
    EXPECT_EQ(Dot->Font()->Size(), 12);
    EXPECT_TRUE(Box->ParentFont());
    EXPECT_TRUE(Dot->ParentFont());
    // A standard control's window gets the font too.
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(Button->Handle(), WM_GETFONT, 0, 0)), Button->Font()->Handle());

    Box->Font()->SetName("Arial");  // its own change clears the flag and reaches its children
    EXPECT_FALSE(Box->ParentFont());
    EXPECT_EQ(Dot->Font()->Name(), "Arial");
    Form->Font()->SetName("Courier New");
    EXPECT_EQ(Box->Font()->Name(), "Arial");

    Box->SetParentFont(true);  // back to the parent's
    EXPECT_EQ(Box->Font()->Name(), "Courier New");
    EXPECT_EQ(Dot->Font()->Name(), "Courier New");
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(Button->Handle(), WM_GETFONT, 0, 0)), Button->Font()->Handle());
}

TEST_F(ControlLayout, ParentColorFollowsTheParentUntilAColourIsSet) {
    Form->SetColor(clAqua);
    EXPECT_EQ(Box->Color(), clAqua);
    EXPECT_EQ(Dot->Color(), clAqua);
    Dot->SetColor(clRed);
    EXPECT_FALSE(Dot->ParentColor());
    Form->SetColor(clYellow);
    EXPECT_EQ(Box->Color(), clYellow);
    EXPECT_EQ(Dot->Color(), clRed);
}

TEST_F(ControlLayout, TextLivesInTheWindowAndSurvivesItsRecreation) {
    Box->SetText("before");
    EXPECT_EQ(Box->Text(), "before");
    Form->Show();
    char Buf[32] = {};
    GetWindowTextA(Box->Handle(), Buf, sizeof Buf);
    EXPECT_STREQ(Buf, "before");
    SetWindowTextA(Box->Handle(), "typed");  // the window's text is the text
    EXPECT_EQ(Box->Caption(), "typed");

    HWND Old = Box->Handle();
    SetWindowLongPtrA(Old, GWL_EXSTYLE, GetWindowLongPtrA(Old, GWL_EXSTYLE) | WS_EX_STATICEDGE);
    Box->RecreateWnd();
    ASSERT_TRUE(Box->HandleAllocated());
    EXPECT_EQ(Box->Text(), "typed");
    EXPECT_NE(GetWindowLongPtrA(Box->Handle(), GWL_EXSTYLE) & WS_EX_STATICEDGE, 0);
    EXPECT_TRUE(IsWindowVisible(Box->Handle()));
}

TEST_F(ControlLayout, VisibleAndEnabledReachTheWindow) {
    Form->Show();
    Box->SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(Box->Handle()));
    Box->SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(Box->Handle()));
    EXPECT_FALSE(Box->Showing());
    EXPECT_FALSE(Dot->Showing());
    Box->SetVisible(true);
    Box->SetEnabled(true);
    EXPECT_TRUE(IsWindowVisible(Box->Handle()));
    EXPECT_TRUE(IsWindowEnabled(Box->Handle()));
    EXPECT_TRUE(Dot->Showing());
}

struct TAlignCase {
    TAlign Align;
    TRect Expected;  // in a 400 x 300 client area with a 200 x 100 control at (10, 10)
};

TEST_F(ControlLayout, AlignedControlsFillTheirEdges) {
    const TAlignCase Cases[] = {
        {alTop, {0, 0, 400, 100}},     {alBottom, {0, 200, 400, 300}}, {alLeft, {0, 0, 200, 300}},
        {alRight, {200, 0, 400, 300}}, {alClient, {0, 0, 400, 300}},   {alNone, {10, 10, 210, 110}},
    };
    for (const TAlignCase& C : Cases) {
        Box->SetAlign(alNone);
        Box->SetBounds(10, 10, 200, 100);
        Box->SetAlign(C.Align);
        EXPECT_EQ(Box->BoundsRect(), C.Expected) << GetEnumName(TypeInfoOfEnum(static_cast<TAlign*>(nullptr)), C.Align);
    }
}

TEST_F(ControlLayout, StackedTopControlsAndAClientFillShareTheArea) {
    auto* Second = Create<TBox>(Form);
    Second->SetParent(Form);
    Second->SetBounds(0, 150, 10, 30);
    auto* Rest = Create<TBox>(Form);
    Rest->SetParent(Form);
    Box->SetAlign(alTop);
    Second->SetAlign(alTop);
    Rest->SetAlign(alClient);
    EXPECT_EQ(Box->BoundsRect(), (TRect{0, 0, 400, 100}));
    EXPECT_EQ(Second->BoundsRect(), (TRect{0, 100, 400, 130}));
    EXPECT_EQ(Rest->BoundsRect(), (TRect{0, 130, 400, 300}));
    Form->SetBounds(50, 50, 400, 400);
    EXPECT_EQ(Rest->BoundsRect(), (TRect{0, 130, 400, 400}));
}

TEST_F(ControlLayout, AnchorsKeepTheDistancesToTheEdgesTheyName) {
    Box->SetAnchors(TAnchors{akRight, akBottom});  // moves with the corner
    auto* Wide = Create<TBox>(Form);
    Wide->SetParent(Form);
    Wide->SetBounds(10, 200, 380, 20);
    Wide->SetAnchors(TAnchors{akLeft, akTop, akRight});  // stretches
    Form->SetBounds(50, 50, 500, 350);
    EXPECT_EQ(Box->BoundsRect(), (TRect{110, 60, 310, 160}));
    EXPECT_EQ(Wide->BoundsRect(), (TRect{10, 200, 490, 220}));
}

TEST_F(ControlLayout, ConstraintsLimitTheSizeAndFormsTellTheSystem) {
    Form->Constraints()->SetMinWidth(250);
    Form->Constraints()->SetMinHeight(150);
    Form->SetBounds(50, 50, 100, 100);
    EXPECT_EQ(Form->Width(), 250);
    EXPECT_EQ(Form->Height(), 150);
    Form->Show();
    MINMAXINFO Info{};
    SendMessageA(Form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&Info));
    EXPECT_EQ(Info.ptMinTrackSize.x, 250);
    EXPECT_EQ(Info.ptMinTrackSize.y, 150);
    Form->Constraints()->SetMaxWidth(100);  // below the minimum: lifted to it
    EXPECT_EQ(Form->Constraints()->MaxWidth(), 250);
}

TEST_F(ControlLayout, FocusGoesOnlyToVisibleEnabledControlsAndMovesWithTab) {
    auto* First = Create<TButton>(Form);
    First->SetParent(Form);
    auto* Second = Create<TButton>(Form);
    Second->SetParent(Form);
    Second->SetTop(40);
    Form->Show();
    SetForegroundWindow(Form->Handle());
    First->SetFocus();
    EXPECT_TRUE(First->Focused());
    EXPECT_EQ(Form->ActiveControl(), First);
    Form->SelectNext(First, true, true);
    EXPECT_EQ(Form->ActiveControl(), Second);
    Second->SetEnabled(false);
    EXPECT_EQ(Form->ActiveControl(), nullptr);  // a disabled control gives up the focus
    EXPECT_THROW(Second->SetFocus(), EInvalidOperation);
    EXPECT_THROW(Box->SetParent(Box), EInvalidOperation);
}

TEST_F(ControlLayout, AFocusedControlThatIsFreedLeavesNoReferenceBehind) {
    auto* Button = Create<TButton>(Form);
    Button->SetParent(Box);
    Form->Show();
    SetForegroundWindow(Form->Handle());
    Button->SetFocus();
    ASSERT_EQ(Screen->ActiveControl(), Button);
    const void* Gone = Button;
    Button->Free();
    // The focus went back to the form's window.
    EXPECT_NE(static_cast<const void*>(Screen->ActiveControl()), Gone);
    EXPECT_EQ(Form->ActiveControl(), nullptr);
    Form->Free();  // must not reach the freed control
    Form = nullptr;
}

TEST_F(ControlLayout, ChildrenGoWithTheirParent) {
    auto* Inner = Create<TBox>(nullptr);  // owned by nobody, parented to Box
    Inner->SetParent(Box);
    EXPECT_EQ(Box->ControlCount(), 2);
    EXPECT_EQ(Box->Controls(0), Inner);  // windowed controls come first
    EXPECT_EQ(Box->Controls(1), Dot);
    EXPECT_THROW(Box->Controls(2), EListError);
    Box->Free();
    EXPECT_EQ(Form->ControlCount(), 0);
    EXPECT_EQ(Form->FindComponent("Dot"), nullptr);
    EXPECT_EQ(Form->ComponentCount(), 0);
}

}  // namespace
