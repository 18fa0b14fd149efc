// Dragging one control onto another: automatic start past the threshold, the target's over and
// drop events with the source control, the end event, refusal, Escape and the drag image.
#include "ControlTestSupport.h"
#include "DragDrop.h"
#include "ExtCtrls.h"

#include <gtest/gtest.h>

using namespace controltests;

namespace {

class DragDropTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        Form = TForm::CreateNew(nullptr);
        Form->SetBounds(30, 30, 400, 300);
        Source = Place(10);
        Target = Place(200);
        Form->Show();
        Pump();
        Source->SetDragMode(dmAutomatic);
        Target->OnDragOver = TDragOverEvent::FromFunction(
            [this](TObject*, TObject* S, int, int, TDragState State, bool& Accept) {
                OverSources.push_back(S);
                States.push_back(State);
                Accept = AcceptDrop;
            });
        Target->OnDragDrop = TDragDropEvent::FromFunction([this](TObject*, TObject* S, int X, int Y) {
            Dropped = S;
            DropPoint = TPoint{X, Y};
        });
        Source->OnEndDrag = TEndDragEvent::FromFunction([this](TObject*, TObject* T, int, int) {
            ++Ends;
            EndTarget = T;
        });
    }
    void TearDown() override {
        Form->Free();
        ControlsTest::TearDown();
    }
    TPanel* Place(int Left) {
        auto* P = Create<TPanel>(Form);
        P->SetParent(Form);
        P->SetBounds(Left, 10, 150, 150);
        return P;
    }
    // Moves the cursor to a client point of C and tells the capturing window.
    void MoveTo(TWinControl* C, int X, int Y) {
        const TPoint S = C->ClientToScreen(TPoint{X, Y});
        SetCursorPos(S.X, S.Y);
        const TPoint L = Source->ScreenToClient(S);
        Source->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(L.X, L.Y));
    }
    void Press(int X, int Y) {
        const TPoint S = Source->ClientToScreen(TPoint{X, Y});
        SetCursorPos(S.X, S.Y);
        Source->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, Y));
    }
    TForm* Form = nullptr;
    TPanel* Source = nullptr;
    TPanel* Target = nullptr;
    bool AcceptDrop = true;
    std::vector<TObject*> OverSources;
    std::vector<TDragState> States;
    TObject* Dropped = nullptr;
    TPoint DropPoint;
    int Ends = 0;
    TObject* EndTarget = nullptr;
};

TEST_F(DragDropTest, PressMovedPastTheThresholdDragsOntoTheTarget) {
    Press(20, 20);
    ASSERT_TRUE(Source->Dragging());
    EXPECT_EQ(Source->Handle(), GetCapture());
    MoveTo(Source, 25, 20);
    EXPECT_TRUE(OverSources.empty()) << "5 pixels stay within the threshold";
    MoveTo(Target, 30, 40);
    ASSERT_GE(States.size(), 2u);
    EXPECT_EQ(dsDragEnter, States[0]);
    EXPECT_EQ(dsDragMove, States[1]);
    EXPECT_EQ(Source, OverSources[0]);
    Source->Perform(WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(Source, Dropped);
    EXPECT_EQ(30, DropPoint.X);
    EXPECT_EQ(40, DropPoint.Y);
    EXPECT_EQ(1, Ends);
    EXPECT_EQ(Target, EndTarget);
    EXPECT_FALSE(Source->Dragging());
    EXPECT_NE(Source->Handle(), GetCapture());
}

TEST_F(DragDropTest, RefusedOrCancelledDragsDropNothing) {
    struct Case {
        const char* Name;
        bool Accept;
        bool Escape;
    };
    for (const Case& C : {Case{"refused", false, false}, Case{"escape", true, true}}) {
        AcceptDrop = C.Accept;
        Dropped = nullptr;
        Ends = 0;
        States.clear();
        Press(20, 20);
        MoveTo(Target, 30, 40);
        if (C.Escape)
            Source->Perform(WM_KEYDOWN, VK_ESCAPE, 0);
        else
            Source->Perform(WM_LBUTTONUP, 0, 0);
        EXPECT_EQ(nullptr, Dropped) << C.Name;
        EXPECT_EQ(1, Ends) << C.Name;
        EXPECT_EQ(nullptr, EndTarget) << C.Name;
        ASSERT_FALSE(States.empty()) << C.Name;
        EXPECT_EQ(dsDragLeave, States.back()) << C.Name;
        EXPECT_FALSE(Source->Dragging()) << C.Name;
    }
}

TEST_F(DragDropTest, DragImageFollowsTheMouseWhileTheDragRuns) {
    struct TImageSource : TPanel {
        using TPanel::TPanel;
        TDragImageList* Images = nullptr;
        TDragImageList* GetDragImages() override { return Images; }
    };
    auto* S = Create<TImageSource>(Form);
    S->SetParent(Form);
    S->SetBounds(10, 170, 100, 50);
    S->Images = TCustomImageList::CreateSize<TDragImageList>(16, 16, Form);
    TOwned<TBitmap> B(Create<TBitmap>());
    B->SetSize(16, 16);
    S->Images->AddMasked(B.get(), clNone);
    S->Images->SetDragImage(0, 8, 8);
    Pump();
    S->BeginDrag(true);
    ASSERT_TRUE(S->Dragging());
    EXPECT_TRUE(S->Images->Dragging());
    const TPoint P = Target->ClientToScreen(TPoint{5, 5});
    SetCursorPos(P.X, P.Y);
    S->Perform(WM_MOUSEMOVE, MK_LBUTTON, 0);
    EXPECT_EQ(P.X, S->Images->DragPosition().X);
    S->EndDrag(false);
    EXPECT_FALSE(S->Images->Dragging());
    EXPECT_FALSE(S->Dragging());
}

}  // namespace
