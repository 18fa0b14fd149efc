#include "SkinTestSupport.h"

#include "StdCtrls.h"

#include <algorithm>

using namespace skintests;

namespace {

// A plain window whose answer to the library command message is set by the test.
LRESULT CommandAnswer = 0;
LRESULT CALLBACK AnsweringProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == SM_ALPHACMD)
        return CommandAnswer;
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

HWND MakeAnsweringWindow(HWND Parent) {
    static bool Registered = false;
    if (!Registered) {
        WNDCLASSA C{};
        C.lpfnWndProc = &AnsweringProc;
        C.hInstance = GetModuleHandleA(nullptr);
        C.lpszClassName = "SkinCommandAnswering";
        RegisterClassA(&C);
        Registered = true;
    }
    return CreateWindowExA(0, "SkinCommandAnswering", "", WS_CHILD, 0, 0, 10, 10, Parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// Counts its paints and fills itself with one colour.
class TPaintCounter : public TGraphicControl {
    DECLARE_CLASS(TPaintCounter, TGraphicControl)
public:
    using TGraphicControl::TGraphicControl;
    int Paints = 0;
    TColor Fill = clBlue;

protected:
    void Paint() override {
        ++Paints;
        Canvas()->Brush()->SetColor(Fill);
        Canvas()->FillRect(Rect(0, 0, Width(), Height()));
        if (PaintGraphicChildrenBusy)
            PaintGraphicChildren(Canvas()->Handle(), Parent(), Point(0, 0));  // a nested call does nothing
    }
};

class sVclUtilsTest : public SkinTest {};

TEST_F(sVclUtilsTest, OnlyAnAnswerOfOneCounts) {
    HWND W = MakeAnsweringWindow(Form->Handle());
    const std::pair<LRESULT, bool> Cases[] = {{1, true}, {0, false}, {2, false}, {-1, false}};
    for (auto [Answer, Counts] : Cases) {
        CommandAnswer = Answer;
        EXPECT_EQ(AnswersSkinCommand(W, SKIN_ISSKINNED), Counts) << Answer;
    }
    CommandAnswer = 0x00ABCDEF;
    EXPECT_EQ(GetWindowBgColor(W), 0x00ABCDEF);
    EXPECT_EQ(GetWindowBgColor(nullptr), 0xFF00FF);
    DestroyWindow(W);
}

TEST_F(sVclUtilsTest, ControlColourOfAwareAndUnawareControls) {
    EXPECT_EQ(GetControlBgColor(nullptr), 0xFF00FF);
    auto* Plain = Place<TPanel>(0, 0, 20, 20);
    Plain->SetColor(clBtnFace);
    EXPECT_EQ(GetControlBgColor(Plain), ColorToRGB(clBtnFace));

    auto* Aware = Place<TSkinTestPanel>(30, 0, 20, 20);
    Aware->HandleNeeded();
    Aware->SetColor(clWindow);
    EXPECT_EQ(GetControlBgColor(Aware), ColorToRGB(clWindow)) << "skin-aware, not skinned";
    MakeManager({{"PANEL", 0x123456}});
    Aware->SkinData->ApplyDefaultSection();
    EXPECT_EQ(GetControlBgColor(Aware), 0x123456);
}

TEST_F(sVclUtilsTest, CommandsGoToWindowsOrObjects) {
    auto* Aware = Place<TSkinTestPanel>(0, 0, 20, 20);
    TOwned<TSkinTestPanel> Windowless(Create<TSkinTestPanel>(nullptr));
    EXPECT_EQ(SendSkinCommandTo(Windowless.get(), SKIN_ISSKINNED, 0), 0) << "a windowed control without window";
    Aware->HandleNeeded();
    EXPECT_EQ(AskSkinCommand(Aware, SKIN_ISSKINNED), 1);
    EXPECT_EQ(SendSkinCommand(Aware->Handle(), SKIN_ISSKINNED, 0), 1);
}

TEST_F(sVclUtilsTest, BroadcastStopsAtTheFirstChildBeingDestroyed) {
    auto* Parent = Place<TPanel>(0, 0, 200, 100);
    TSkinTestPanel* Children[3];
    for (int I = 0; I < 3; ++I) {
        Children[I] = Place<TSkinTestPanel>(I * 50, 0, 40, 40, Parent);
        Children[I]->SkinData->BackgroundStale = false;
    }
    Children[1]->Destroying();
    TMessage M{SM_ALPHACMD, SkinCommandParam(SKIN_MARKSTALE), 0, 0};
    BroadcastToSkinnedChildren(Parent, M);
    EXPECT_TRUE(Children[0]->SkinData->BackgroundStale);
    EXPECT_FALSE(Children[1]->SkinData->BackgroundStale);
    EXPECT_FALSE(Children[2]->SkinData->BackgroundStale);
}

TEST_F(sVclUtilsTest, BroadcastPassesThroughUnawareContainersUnlessSkipped) {
    auto* Container = Place<TPanel>(0, 0, 200, 100);
    Container->HandleNeeded();
    auto* Inner = Place<TSkinTestPanel>(10, 10, 40, 40, Container);
    Inner->HandleNeeded();
    TMessage M{SM_ALPHACMD, SkinCommandParam(SKIN_MARKSTALE), 0, 0};
    for (bool Skip : {true, false}) {
        SkipBroadcastChild = Skip ? +[](TControl*) { return true; } : nullptr;
        Inner->SkinData->BackgroundStale = false;
        BroadcastToSkinnedChildren(Form, M);
        EXPECT_EQ(Inner->SkinData->BackgroundStale, !Skip);
    }
    SkipBroadcastChild = nullptr;
}

TEST_F(sVclUtilsTest, EndOfUpdateReachesWindowedChildrenUnlessAnimating) {
    auto* Parent = Place<TPanel>(0, 0, 200, 100);
    auto* Shown = Place<TSkinTestPanel>(0, 0, 40, 40, Parent);
    Shown->HandleNeeded();
    auto* Other = Create<TSkinTestPanel>(Form);  // a windowed child is reached only through its window
    Other->SetParent(Parent);
    Place<TLabel>(50, 0, 20, 20, Parent);
    auto Ended = [](TSkinTestPanel* P) { return std::count(P->Commands.begin(), P->Commands.end(), SKIN_ENDUPDATE); };
    AnimationInProgress = true;
    SendEndUpdateToChildren(Parent);
    EXPECT_EQ(Ended(Shown), 0);
    AnimationInProgress = false;
    SendEndUpdateToChildren(Parent);
    EXPECT_EQ(Ended(Shown), 1);
    EXPECT_EQ(Ended(Other), Other->HandleAllocated() && Other->Showing() ? 1 : 0);

    TMessage M{SM_ALPHACMD, SkinCommandParam(SKIN_ENDUPDATE), 0, 0};
    auto* Grandchild = Place<TSkinTestPanel>(5, 5, 10, 10, Shown);
    Grandchild->HandleNeeded();
    SendToDirectChildWindows(Parent->Handle(), M);
    EXPECT_EQ(Ended(Shown), 2);
    EXPECT_EQ(Ended(Grandchild), 0) << "only direct children";
    SendEndUpdateToChildWindows(Parent->Handle());
    EXPECT_EQ(Ended(Shown), 3);
    EXPECT_EQ(Ended(Grandchild), 0);
}

TEST_F(sVclUtilsTest, AlignedChildSizes) {
    auto* Parent = Place<TPanel>(0, 0, 300, 300);
    auto Add = [&](TAlign A, int Size, bool Visible) {
        auto* C = Place<TPanel>(0, 0, Size, Size, Parent);
        C->SetAlign(A);
        C->SetVisible(Visible);
    };
    Add(alTop, 20, true);
    Add(alTop, 15, true);
    Add(alTop, 40, false);
    Add(alLeft, 30, true);
    Add(alClient, 10, true);
    auto* Graphic = Place<TLabel>(0, 0, 7, 7, Parent);
    Graphic->SetAutoSize(false);
    Graphic->SetHeight(7);
    Graphic->SetAlign(alTop);
    const std::tuple<TAlign, bool, int> Cases[] = {{alTop, false, 35}, {alTop, true, 42}, {alLeft, false, 30},
                                                   {alClient, true, 0}, {alNone, true, 0}};
    for (auto [Align, WithGraphic, Expected] : Cases)
        EXPECT_EQ(SumAlignedChildSizes(Parent, Align, WithGraphic), Expected) << Align << WithGraphic;
}

TEST_F(sVclUtilsTest, ControlIsReadyWithWindowAndParent) {
    EXPECT_FALSE(IsControlReady(nullptr));
    TOwned<TPanel> Loose(Create<TPanel>(nullptr));
    EXPECT_FALSE(IsControlReady(Loose.get()));
    auto* Panel = Place<TPanel>(0, 0, 20, 20);
    Panel->HandleNeeded();
    EXPECT_TRUE(IsControlReady(Panel));
    auto* Hidden = Place<TPanel>(0, 0, 20, 20);
    Hidden->SetVisible(false);
    EXPECT_EQ(IsControlReady(Hidden), Hidden->HandleAllocated());
    auto* Label = Place<TLabel>(0, 0, 20, 20);
    EXPECT_TRUE(IsControlReady(Label));
    Panel->Destroying();
    EXPECT_FALSE(IsControlReady(Panel));
}

TEST_F(sVclUtilsTest, AlignmentFlags) {
    const std::pair<TAlignment, UINT> Cases[] = {{taLeftJustify, DT_LEFT | DT_VCENTER | DT_EXPANDTABS},
                                                 {taRightJustify, DT_RIGHT | DT_VCENTER | DT_EXPANDTABS},
                                                 {taCenter, DT_CENTER | DT_VCENTER | DT_EXPANDTABS}};
    for (auto [A, Flags] : Cases)
        EXPECT_EQ(AlignmentTextFlags(Form, A), Flags);
}

TEST_F(sVclUtilsTest, WindowGeometry) {
    auto* Outer = Place<TPanel>(0, 0, 200, 100);
    auto* Edit = Place<TEdit>(10, 10, 100, 21, Outer);
    EXPECT_EQ(GetTopLevelWindow(Edit->Handle()), Form->Handle());
    EXPECT_EQ(GetTopLevelWindow(Form->Handle()), Form->Handle());
    TRect R;
    GetClientRectInWindow(Edit->Handle(), R);
    RECT W, C;
    GetWindowRect(Edit->Handle(), &W);
    GetClientRect(Edit->Handle(), &C);
    int Frame = (W.right - W.left - C.right) / 2;
    EXPECT_EQ(R.Left, Frame);
    EXPECT_EQ(R.Top, Frame);
    EXPECT_EQ(R.Right - R.Left, C.right);
    EXPECT_GT(Frame, 0);

    Edit->SetText("abc");
    SendMessageA(Edit->Handle(), EM_SETSEL, 0, -1);
    EXPECT_TRUE(IsWholeTextSelected(Edit));
    SendMessageA(Edit->Handle(), EM_SETSEL, 1, 3);
    EXPECT_FALSE(IsWholeTextSelected(Edit));
}

TEST_F(sVclUtilsTest, OwnerFormUpTheOwnerChain) {
    auto* Panel = Place<TPanel>(0, 0, 20, 20);
    EXPECT_EQ(GetOwnerForm(Panel), Form);
    EXPECT_EQ(GetOwnerForm(Form), Form);
    TOwned<TPanel> Loose(Create<TPanel>(nullptr));
    EXPECT_EQ(GetOwnerForm(Loose.get()), nullptr);
    EXPECT_EQ(FindAbsentClassOwner(Panel), nullptr);
}

// ---------------------------------------------------------------------------------------------
// Painting

class sVclUtilsPainting : public SkinTest {
protected:
    TBitmap* NewTarget(int W, int H, TColor Color) {
        Target.reset(Create<TBitmap>());
        Target->SetPixelFormat(pf24bit);
        Target->SetSize(W, H);
        Target->Canvas()->Brush()->SetColor(Color);
        Target->Canvas()->FillRect(Rect(0, 0, W, H));
        return Target.get();
    }
    TColor At(int X, int Y) { return GetPixel(Target->Canvas()->Handle(), X, Y); }
    // A panel of one colour without bevels, with its window.
    TPanel* PlainPanel(int Left, int Top, int Width, int Height, TColor Color, TWinControl* Parent = nullptr) {
        auto* P = Place<TPanel>(Left, Top, Width, Height, Parent);
        P->SetColor(Color);
        P->SetBevelOuter(bvNone);
        P->HandleNeeded();
        return P;
    }
    TOwned<TBitmap> Target;
};

TEST_F(sVclUtilsPainting, GraphicChildrenPaintOnceAtTheirPlaceMovedByOffset) {
    auto* Parent = PlainPanel(0, 0, 100, 60, clLime);
    auto* Child = Place<TPaintCounter>(10, 5, 20, 10, Parent);
    TBitmap* B = NewTarget(100, 60, clWhite);
    PaintGraphicChildren(B->Canvas()->Handle(), Parent, Point(3, 4));
    EXPECT_EQ(Child->Paints, 1);
    EXPECT_EQ(At(13 + 1, 9 + 1), ColorToRGB(clBlue));
    EXPECT_EQ(At(12, 8), ColorToRGB(clWhite)) << "outside the moved place";
    EXPECT_FALSE(PaintGraphicChildrenBusy);

    PaintGraphicChildrenBusy = true;
    PaintGraphicChildren(B->Canvas()->Handle(), Parent, Point(0, 0));
    PaintGraphicChildrenBusy = false;
    EXPECT_EQ(Child->Paints, 1) << "a nested call does nothing";
}

TEST_F(sVclUtilsPainting, ChildLeftUnpaintedInKeyColourIsNotCopied) {
    auto* Parent = PlainPanel(0, 0, 100, 60, clBtnFace);
    auto* Child = Place<TPaintCounter>(10, 5, 20, 10, Parent);
    Child->Fill = 0xFF00FF;
    TBitmap* B = NewTarget(100, 60, clWhite);
    PaintGraphicChildren(B->Canvas()->Handle(), Parent, Point(0, 0));
    EXPECT_EQ(Child->Paints, 1);
    EXPECT_EQ(At(15, 8), ColorToRGB(clWhite));
}

TEST_F(sVclUtilsPainting, HiddenControlIsPaintedAsItsParentsBackground) {
    auto* Parent = PlainPanel(0, 0, 100, 60, clLime);
    auto* Hidden = PlainPanel(10, 10, 30, 20, clRed, Parent);
    Hidden->SetVisible(false);
    TBitmap* B = NewTarget(60, 40, clWhite);
    PaintControlTreeTo(B, Hidden, 5, 6, nullptr);
    EXPECT_EQ(At(5, 6), ColorToRGB(clLime));
    EXPECT_EQ(At(34, 25), ColorToRGB(clLime));
    EXPECT_EQ(At(35, 26), ColorToRGB(clWhite));
}

TEST_F(sVclUtilsPainting, ControlTreeIncludesWindowedChildren) {
    auto* Parent = PlainPanel(0, 0, 100, 60, clLime);
    PlainPanel(20, 10, 30, 20, clRed, Parent);
    TBitmap* B = NewTarget(100, 60, clWhite);
    PaintControlTreeTo(B, Parent, 0, 0, nullptr);
    EXPECT_EQ(At(5, 5), ColorToRGB(clLime));
    EXPECT_EQ(At(25, 15), ColorToRGB(clRed));
}

}  // namespace
