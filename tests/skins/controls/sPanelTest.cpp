// The skinned panel and drag bar: the framework panel's behaviour with OnPaint on the standard path,
// the plain-colour skinned path, the background a bordered skinned panel gives its children, and
// the drag bar's move, colours and form reading.
#include "SkinControlsTestSupport.h"

#include "sPanel.h"

using namespace skintests;

namespace {

// A control that keeps the system commands performed on it instead of running them.
class TCommandRecorder : public TCustomControl {
    DECLARE_CLASS(TCommandRecorder, TCustomControl)
public:
    using TCustomControl::TCustomControl;
    void WndProc(TMessage& Message) override {
        if (Message.Msg == WM_SYSCOMMAND) {
            Commands.push_back(Message.WParam);
            return;
        }
        TCustomControl::WndProc(Message);
    }
    std::vector<WPARAM> Commands;
};

class sPanelTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        sPanelInitialization();
        Form->SetColor(clWhite);
    }
    TsPanel* PlacePanel() {
        auto* P = Place<TsPanel>(20, 20, 120, 60);
        P->HandleNeeded();
        return P;
    }
    // What the panel paints when it erases into a bitmap first filled with Marker.
    TColor ErasedPixel(TsPanel* P, TColor Marker, int X, int Y) {
        TCapturedImage Image(P->Width(), P->Height());
        Image.Fill(Marker);
        TMessage M{WM_ERASEBKGND, reinterpret_cast<WPARAM>(Image.DC()), 0, 0};
        P->WindowProc(M);
        return Image.Pixel(X, Y);
    }
};

TEST_F(sPanelTest, StandardPathWithOnPaintSkipsErasingAndPrintsWhatItDrew) {
    TsPanel* P = PlacePanel();
    EXPECT_EQ(P->SkinData()->ControlKind, 51);
    EXPECT_EQ(P->SkinData()->SkinSection(), "PANEL");
    TCapturedImage Print(P->Width(), P->Height());
    Print.Fill(0x00FF00);
    SendMessageA(P->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(Print.DC()), PRF_CLIENT | PRF_ERASEBKGND);
    EXPECT_EQ(Print.Pixel(60, 30), 0x00FF00) << "without OnPaint WM_PRINT produces nothing";
    EXPECT_NE(ErasedPixel(P, 0x00FF00, 60, 30), 0x00FF00) << "the framework erases";

    int Paints = 0;
    P->OnPaint = TPaintEvent::FromFunction([&](TObject*, TCanvas* C) {
        ++Paints;
        C->Brush()->SetColor(0x0000FF);
        C->FillRect(Rect(0, 0, 120, 60));
    });
    EXPECT_EQ(ErasedPixel(P, 0x00FF00, 60, 30), 0x00FF00) << "the handler paints everything";
    P->Repaint();
    EXPECT_GT(Paints, 0);
    Print.Fill(0x00FF00);
    SendMessageA(P->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(Print.DC()), PRF_CLIENT);
    EXPECT_EQ(Print.Pixel(60, 30), 0x0000FF) << "what OnPaint drew is copied";
}

TEST_F(sPanelTest, MouseEventsForThePanelItselfOnly) {
    TsPanel* P = PlacePanel();
    std::vector<std::string> Events;
    P->OnMouseEnter = TNotifyEvent::FromFunction([&](TObject*) { Events.push_back("enter"); });
    P->OnMouseLeave = TNotifyEvent::FromFunction([&](TObject*) { Events.push_back("leave"); });
    auto* Child = Place<TsPanel>(5, 5, 20, 20, P);
    P->Perform(CM_MOUSEENTER, 0, 0);
    P->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(Child));
    P->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(Events, (std::vector<std::string>{"enter", "leave"}));
}

TEST_F(sPanelTest, LibraryCommandsReachTheChildren) {
    TsPanel* P = PlacePanel();
    auto* Child = Place<TSkinTestPanel>(5, 5, 20, 20, P);
    Child->HandleNeeded();
    EXPECT_EQ(Command(P, SKIN_ISSKINNED), 1);
    TsSkinManager* M = MakeManager({{"PANEL"}});
    Child->Commands.clear();
    Command(P, SKIN_LOADED, ManagerParam(M));
    Command(P, SKIN_REMOVED, ManagerParam(M));
    // The broadcast asks a windowed child whether it is skin-aware before it passes a command on.
    std::vector<Word> Passed;
    for (Word C : Child->Commands)
        if (C != SKIN_ISSKINNED)
            Passed.push_back(C);
    EXPECT_EQ(Passed, (std::vector<Word>{SKIN_LOADED, SKIN_REMOVED}));
    EXPECT_FALSE(P->ControlStyle().Contains(csOpaque));
}

TEST_F(sPanelTest, StandardPathGivesItsOwnColourAsTheChildrensBackground) {
    TsPanel* P = PlacePanel();
    P->SetColor(clInfoBk);
    ParentBackgroundInfo Info;
    QueryParentBackground(Info, P, false);
    EXPECT_EQ(Info.Kind, 1);
    EXPECT_EQ(ColorToRGB(Info.Color), ColorToRGB(clInfoBk));
    EXPECT_EQ(GetControlBgColor(P), ColorToRGB(clInfoBk));
}

// A plain skinned section is filled straight into the window: its own colour, or mixed with the
// parent's by the section's transparency.
TEST_F(sPanelTest, PlainSkinnedPanelFillsWithItsColourMixedByTransparency) {
    struct Case {
        int Transparency;
        TColor Expected;
    } Cases[] = {
        {0, 0x0000FF},
        {40, 0x66 << 16 | 0x66 << 8 | 0xFF},  // 40 % of the white form, 60 % of red
        {100, 0xFFFFFF},
    };
    for (const Case& C : Cases) {
        MakeManager({{"PANEL", 0x00FF00, C.Transparency}});
        TsPanel* P = PlacePanel();
        P->SkinData()->SetCustomColor(true);
        P->SetColor(0x0000FF);
        ASSERT_TRUE(P->SkinData()->IsSkinned(true));
        P->SkinData()->Flags |= PlainBackgroundFlag;
        EXPECT_EQ(ErasedPixel(P, 0x00FF00, 60, 30), C.Expected) << C.Transparency;
        FreeAndNil(P);
        FreeAndNil(Manager);
    }
}

TEST_F(sPanelTest, ChildBackgroundOffsetsMoveByTheInsetOnlyInsideAFrame) {
    MakeManager({{"PANEL", 0xC0C0C0, 0, 50}});  // a gradient: the cache is the answer
    AddBorderMask(Manager, 0, 2, 2, 2, 2);
    struct Case {
        TFormBorderStyle Border;
        int Shift;
    } Cases[] = {{bsNone, 0}, {bsSingle, 3}};  // BevelOuter raised (1) + BorderWidth 2
    for (const Case& C : Cases) {
        TsPanel* P = PlacePanel();
        P->SetBorderWidth(2);
        P->SetBorderStyle(C.Border);
        ASSERT_TRUE(P->SkinData()->IsSkinned(true));
        ParentBackgroundInfo Info;
        Info.X = 7;
        Info.Y = 9;
        SendMessageA(P->Handle(), SM_ALPHACMD, SkinCommandParam(SKIN_GETBACKGROUND), reinterpret_cast<LPARAM>(&Info));
        ParentBackgroundInfo Plain;
        Plain.X = 7;
        Plain.Y = 9;
        P->SkinData()->FillParentBackgroundInfo(Plain, 0, P->Handle());
        ASSERT_EQ(Info.Kind, 2) << "answered with the cache";
        EXPECT_EQ(Info.X - Plain.X, C.Shift) << C.Border;
        EXPECT_EQ(Info.Y - Plain.Y, C.Shift) << C.Border;
        FreeAndNil(P);
    }
}

TEST_F(sPanelTest, DragBarMovesItsControlAndKeepsItsCaptionReadable) {
    auto* Bar = Place<TsDragBar>(0, 0, 200, 20);
    EXPECT_EQ(Bar->DraggedControl(), nullptr) << "made in code: nothing to drag yet";
    EXPECT_EQ(Bar->Align(), alTop);
    EXPECT_EQ(Bar->Color(), clActiveCaption);
    EXPECT_EQ(Bar->SkinData()->ControlKind, 56);
    EXPECT_EQ(Bar->SkinData()->SkinSection(), "DRAGBAR");
    auto* Target = Place<TCommandRecorder>(0, 100, 50, 50);
    Bar->SetDraggedControl(Target);
    SendMessageA(Bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
    SendMessageA(Bar->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 5));
    SendMessageA(Bar->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 5));
    EXPECT_EQ(Target->Commands, std::vector<WPARAM>{SC_MOVE | HTCAPTION});
    FreeAndNil(Target);
    EXPECT_EQ(Bar->DraggedControl(), nullptr);

    Bar->Perform(WM_ACTIVATEAPP, 0, 0);
    EXPECT_EQ(Bar->Font()->Color(), clInactiveCaptionText);
    Bar->Perform(WM_ACTIVATEAPP, 1, 0);
    EXPECT_EQ(Bar->Font()->Color(), clCaptionText);
    Bar->SetColor(clRed);
    TsSkinManager* M = MakeManager({{"DRAGBAR"}});
    Command(Bar, SKIN_REMOVED, ManagerParam(M));
    EXPECT_EQ(Bar->Color(), clActiveCaption);
    EXPECT_FALSE(Bar->ParentBackground());
}

TEST_F(sPanelTest, DragBarReadFromAFormDragsTheForm) {
    ReadFormText(Form, "object F: TForm\n  object pnTop: TsPanel\n    Left = 0\n    Top = 0\n    Width = 300\n"
                       "    Height = 60\n    Caption = 'Tasks'\n    SkinData.SkinSection = 'PANEL'\n"
                       "    object dbTitle: TsDragBar\n      Left = 0\n      Top = 0\n      Width = 300\n"
                       "      Height = 20\n    end\n  end\nend\n");
    auto* Bar = DynCast<TsDragBar>(Form->FindComponent("dbTitle"));
    auto* Panel = DynCast<TsPanel>(Form->FindComponent("pnTop"));
    ASSERT_TRUE(Bar && Panel);
    EXPECT_EQ(Bar->DraggedControl(), Form);
    EXPECT_EQ(Bar->Parent(), Panel);
    EXPECT_EQ(Panel->Caption(), "Tasks");
}

}  // namespace
