// What every control does beyond painting and dispatch: automatic size, the wheel in notches and
// its events, bevels in the non-client area, accelerators through containers, actions, an MDI
// form's list of children, the hint window and the scroll box.
#include "ActnList.h"
#include "ControlTestSupport.h"
#include "Grids.h"
#include "StdCtrls.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace controltests;

namespace {

// A container whose content may refuse every automatic size (the size asked for stays).
class TSizingBox : public TBox {
    DECLARE_CLASS(TSizingBox, TBox)
public:
    using TBox::TBox;
    bool Refuse = false;
    bool CanAutoSize(int& NewWidth, int& NewHeight) override {
        return !Refuse && TWinControl::CanAutoSize(NewWidth, NewHeight);
    }
};

class ControlBehaviour : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        StdCtrlsInitialization();
        Form = TForm::CreateNew(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(50, 50, 400, 300);
        Box = Create<TSizingBox>(Form);
        Box->SetParent(Form);
        Box->SetBounds(10, 10, 200, 100);
    }
    template <class T>
    T* Child(TWinControl* Parent, int L, int T_, int W, int H) {
        auto* C = Create<T>(Form);
        C->SetParent(Parent);
        C->SetBounds(L, T_, W, H);
        return C;
    }
    LRESULT Wheel(TControl* C, int Delta) { return C->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, Delta), MAKELPARAM(60, 60)); }
    TForm* Form = nullptr;
    TSizingBox* Box = nullptr;
};

TEST_F(ControlBehaviour, AutoSizeTakesTheExtentOfTheUnalignedChildren) {
    Child<TBox>(Box, 5, 5, 50, 20);
    Child<TBox>(Box, 30, 40, 20, 10);
    Child<TBox>(Box, 0, 0, 10, 10)->SetAlign(alBottom);  // follows the box, cannot size it
    Form->Show();
    Box->SetAutoSize(true);
    EXPECT_EQ(Box->Width(), 55);
    EXPECT_EQ(Box->Height(), 50);
    Box->SetBounds(20, 20, 300, 300);
    EXPECT_EQ(Box->Left(), 20) << "the place is still the caller's";
    EXPECT_EQ(Box->Width(), 55);
    Box->Refuse = true;
    Box->SetBounds(20, 20, 120, 80);
    EXPECT_EQ(Box->Width(), 120) << "a refusal keeps the size asked for";
    Box->Refuse = false;
    Box->SetAutoSize(false);
    Box->SetBounds(20, 20, 300, 200);
    EXPECT_EQ(Box->Height(), 200);
    auto* Empty = Child<TBox>(Form, 0, 0, 33, 44);
    Empty->SetAutoSize(true);
    EXPECT_EQ(Empty->Width(), 33) << "no children: the size stays";
}

TEST_F(ControlBehaviour, WheelTurnsCountInNotchesAndGoUpUnhandled) {
    Form->Show();
    std::vector<std::string> Log;
    auto Record = [&Log](const char* What) {
        return TMouseWheelUpDownEvent::FromFunction([&Log, What](TObject*, TShiftState, TPoint, bool& Handled) {
            Log.push_back(What);
            Handled = true;
        });
    };
    Box->OnMouseWheelDown = Record("down");
    Box->OnMouseWheelUp = Record("up");
    EXPECT_EQ(Wheel(Box, -2 * WHEEL_DELTA), 1);
    EXPECT_EQ(Log, (std::vector<std::string>{"down", "down"}));
    Log.clear();
    EXPECT_EQ(Wheel(Box, WHEEL_DELTA / 2), 0) << "half a notch is kept";
    EXPECT_TRUE(Log.empty());
    Wheel(Box, WHEEL_DELTA / 2);
    EXPECT_EQ(Log, std::vector<std::string>{"up"});

    // OnMouseWheel takes the turn before the notch events.
    Log.clear();
    Box->OnMouseWheel = TMouseWheelEvent::FromFunction(
        [&Log](TObject*, TShiftState, int Delta, TPoint, bool& Handled) { Handled = Delta > 0; });
    Wheel(Box, WHEEL_DELTA);
    EXPECT_TRUE(Log.empty());

    // Unhandled turns of a child go to its parent's events.
    auto* Inner = Child<TBox>(Box, 0, 0, 20, 20);
    EXPECT_EQ(Wheel(Inner, -WHEEL_DELTA), 1);
    EXPECT_EQ(Log, std::vector<std::string>{"down"});
}

TEST_F(ControlBehaviour, GridMovesByTheWheelUnlessAnEventTakesTheNotch) {
    auto* Grid = Child<TDrawGrid>(Form, 0, 0, 200, 200);
    Grid->SetRowCount(30);
    Form->Show();
    int Lines = std::max(1, Mouse->WheelScrollLines());
    Wheel(Grid, -WHEEL_DELTA);
    EXPECT_EQ(Grid->Row(), 1 + Lines);
    Grid->OnMouseWheelUp = TMouseWheelUpDownEvent::FromFunction([](TObject*, TShiftState, TPoint, bool& H) { H = true; });
    Wheel(Grid, WHEEL_DELTA);
    EXPECT_EQ(Grid->Row(), 1 + Lines) << "the event handled it";
}

TEST_F(ControlBehaviour, BevelsTakeTheirWidthFromTheClientArea) {
    Form->Show();
    struct Case {
        const char* Name;
        TBevelKind Kind;
        TBevelEdges Edges;
        TBevelCut Inner, Outer;
        int Width;
        int ClientW, ClientH;
    } Cases[] = {
        {"none", bkNone, AllBevelEdges, bvRaised, bvLowered, 1, 200, 100},
        {"flat, both cuts", bkFlat, AllBevelEdges, bvRaised, bvLowered, 1, 196, 96},
        {"left edge only", bkTile, TBevelEdges{beLeft}, bvRaised, bvLowered, 1, 198, 100},
        {"one cut, three wide", bkSoft, TBevelEdges{beTop, beBottom}, bvNone, bvRaised, 3, 200, 94},
        {"space", bkFlat, AllBevelEdges, bvSpace, bvNone, 2, 196, 96},
    };
    for (const Case& C : Cases) {
        Box->SetBevelEdges(C.Edges);
        Box->SetBevelInner(C.Inner);
        Box->SetBevelOuter(C.Outer);
        Box->SetBevelWidth(C.Width);
        Box->SetBevelKind(C.Kind);
        EXPECT_EQ(Box->ClientWidth(), C.ClientW) << C.Name;
        EXPECT_EQ(Box->ClientHeight(), C.ClientH) << C.Name;
        Box->SetBevelKind(bkNone);
    }
    Box->SetBevelWidth(0);
    EXPECT_EQ(Box->BevelWidth(), 2) << "0 is no width";
    EXPECT_TRUE(IsPublishedProp(Box, "BevelKind"));
    EXPECT_TRUE(IsPublishedProp(Box, "BevelEdges"));
}

TEST_F(ControlBehaviour, AcceleratorsReachControlsInsideContainers) {
    auto* Group = Child<TGroupBox>(Form, 10, 120, 200, 100);
    Group->SetCaption("Options");
    auto* Go = Child<TButton>(Group, 10, 20, 80, 25);
    Go->SetCaption("&Go");
    int Clicks = 0;
    Go->OnClick = TNotifyEvent::FromFunction([&Clicks](TObject*) { ++Clicks; });
    Form->Show();
    EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'g', 0), 1);
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'q', 0), 0);
    EXPECT_EQ(Clicks, 1);
}

TEST_F(ControlBehaviour, ActionGivesItsTextsAndRunsOnAClickWithoutHandler) {
    TOwned<TAction> Run(Create<TAction>(nullptr));
    Run->SetCaption("Run");
    Run->SetHint("Runs the task");
    int Runs = 0;
    Run->OnExecute = TNotifyEvent::FromFunction([&Runs](TObject*) { ++Runs; });
    auto* Button = Child<TButton>(Form, 0, 0, 80, 25);
    Button->SetAction(Run.get());
    EXPECT_EQ(Button->Caption(), "Run");
    EXPECT_EQ(Button->Hint(), "Runs the task");
    Button->Click();
    EXPECT_EQ(Runs, 1);
    int Own = 0;
    Button->OnClick = TNotifyEvent::FromFunction([&Own](TObject*) { ++Own; });
    Button->Click();
    EXPECT_EQ(Own, 1) << "the control's own handler wins";
    EXPECT_EQ(Runs, 1);
    Run.reset();
    EXPECT_EQ(Button->Action(), nullptr) << "a freed action leaves no reference";
}

TEST_F(ControlBehaviour, AnMDIFormListsTheScreensChildForms) {
    Form->SetFormStyle(fsMDIForm);
    TOwned<TForm> A(TForm::CreateNew(nullptr)), Plain(TForm::CreateNew(nullptr)), B(TForm::CreateNew(nullptr));
    A->SetFormStyle(fsMDIChild);
    B->SetFormStyle(fsMDIChild);
    ASSERT_EQ(Form->MDIChildCount(), 2);
    EXPECT_EQ(Form->MDIChildren(0), A.get());
    EXPECT_EQ(Form->MDIChildren(1), B.get());
    EXPECT_THROW(Form->MDIChildren(2), EListError);
    EXPECT_EQ(A->MDIChildCount(), 0) << "only an MDI form has children";
}

TEST_F(ControlBehaviour, HintWindowSizesItsTextAndShowsWithoutActivation) {
    Form->Show();
    HWND Active = GetActiveWindow();
    TOwned<THintWindow> Hint(Create<THintWindow>(nullptr));
    EXPECT_EQ(Hint->Color(), clInfoBk);
    TRect One = Hint->CalcHintRect(400, "Start");
    TRect Wrapped = Hint->CalcHintRect(60, "Start the backup of every task now");
    EXPECT_EQ(One.Left, 0);
    EXPECT_GT(One.Width(), 6);
    EXPECT_LE(Wrapped.Width(), 60 + 6);
    EXPECT_GT(Wrapped.Height(), One.Height()) << "a long hint wraps onto more lines";
    TRect At{100, 100, 100 + One.Width(), 100 + One.Height()};
    Hint->ActivateHint(At, "Start");
    ASSERT_TRUE(Hint->HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(Hint->Handle()));
    EXPECT_TRUE(GetWindowLongA(Hint->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetActiveWindow(), Active);
    EXPECT_EQ(Hint->Caption(), "Start");
    Hint->ReleaseHandle();
    EXPECT_FALSE(Hint->HandleAllocated());
}

TEST_F(ControlBehaviour, ScrollBoxIsABorderedContainerAsFormsAreScrollingControls) {
    EXPECT_NE(DynCast<TScrollingWinControl>(Form), nullptr);
    EXPECT_EQ(GetClass("TScrollBox"), TScrollBox::StaticClass()) << "form files can name it";
    auto* Scroll = Child<TScrollBox>(Form, 10, 120, 150, 80);
    auto* Inner = Child<TBox>(Scroll, 5, 5, 40, 20);
    Form->Show();
    EXPECT_TRUE(GetWindowLongA(Scroll->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    Scroll->SetBorderStyle(bsDialog);
    EXPECT_EQ(Scroll->BorderStyle(), bsSingle) << "any border is the single one";
    Scroll->SetBorderStyle(bsNone);
    EXPECT_FALSE(GetWindowLongA(Scroll->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(Scroll->ClientWidth(), 150);
    EXPECT_EQ(GetParent(Inner->Handle()), Scroll->Handle()) << "children follow the new window";
}

}  // namespace

namespace {

using FrameInFormFile = ControlsTest;

TEST_F(FrameInFormFile, AFormResourceHoldsAFrameWithItsControls) {
    const std::string Text =
        "object F: TForm\r\n  Left = 0\r\n  Top = 0\r\n  Width = 300\r\n  Height = 200\r\n"
        "  object Frame1: TFrame\r\n    Left = 8\r\n    Top = 8\r\n    Width = 200\r\n    Height = 100\r\n"
        "    object Button1: TButton\r\n      Left = 4\r\n      Top = 4\r\n      Width = 60\r\n      Height = 24\r\n"
        "    end\r\n  end\r\nend\r\n";
    std::string Bin = ObjectTextToBinary(Text);
    TPointerStream S(Bin.data(), static_cast<LongInt>(Bin.size()));
    TOwned<TComponent> Root(S.ReadComponent(nullptr));
    auto* F = DynCast<TForm>(Root.get());
    ASSERT_TRUE(F);
    auto* Frame = DynCast<TFrame>(F->FindComponent("Frame1"));
    ASSERT_TRUE(Frame);
    auto* Button = DynCast<TButton>(F->FindComponent("Button1"));
    ASSERT_TRUE(Button);
    EXPECT_EQ(Button->Parent(), Frame) << "the frame holds its controls";
    EXPECT_EQ(Frame->Parent(), F);
    EXPECT_EQ(Frame->Width(), 200);
    F->Show();
    EXPECT_TRUE(GetWindowLongA(Frame->Handle(), GWL_STYLE) & WS_CHILD);
    EXPECT_FALSE(GetWindowLongA(Frame->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) << "a frame has no border";
    EXPECT_EQ(GetParent(Button->Handle()), Frame->Handle());
}

}  // namespace
