// The skinned labels: the framework label's look and size without a skin manager, the skin's font
// colours and the mixed colour of disabled text while a skin is active, and the bound label's
// label control.
#include "SkinControlsTestSupport.h"

#include "sEdit.h"
#include "sLabel.h"

using namespace skintests;

namespace {

// Opens the protected drawing step to the tests.
class TProbeLabel : public TsLabel {
    DECLARE_CLASS(TProbeLabel, TsLabel)
public:
    using TsLabel::TsLabel;
    TRect Calc(UINT Flags) {
        TRect R = Rect(0, 0, 200, 0);
        DoDrawText(R, Flags | DT_CALCRECT);
        return R;
    }
};

class sLabelTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        sLabelInitialization();
        Form->SetColor(clWhite);
    }
    template <class T = TsLabel>
    T* PlaceLabel(const std::string& Caption, int Top = 20) {
        auto* L = Create<T>(Form);
        L->SetCaption(Caption);
        L->SetLeft(10);
        L->SetTop(Top);
        L->SetParent(Form);
        return L;
    }
    // The default manager with GLOBALINFO's main font colour and one more section.
    void MakeSkin(TColor MainFont) {
        MakeManager({{"GLOBALINFO"}, {"LABELSECTION", 0xFFFFFF, 0, 0, 0, 0x0000C0}});
        Manager->SectionList[0].FontColor[1] = MainFont;
    }
    // The colours painted inside the label's bounds other than the form's white.
    std::vector<TColor> InkOf(TControl* L) {
        Form->Repaint();
        HDC DC = GetDC(Form->Handle());
        std::vector<TColor> Ink;
        for (int Y = L->Top(); Y < L->Top() + L->Height(); ++Y)
            for (int X = L->Left(); X < L->Left() + L->Width(); ++X) {
                TColor C = static_cast<TColor>(GetPixel(DC, X, Y));
                if (C != 0xFFFFFF && std::find(Ink.begin(), Ink.end(), C) == Ink.end())
                    Ink.push_back(C);
            }
        ReleaseDC(Form->Handle(), DC);
        return Ink;
    }
};

TEST_F(sLabelTest, WithoutManagerSizesAndPaintsAsTheFrameworkLabel) {
    TsLabel* L = PlaceLabel("Server &name:");
    TLabel* Plain = Create<TLabel>(Form);
    Plain->SetCaption("Server &name:");
    Plain->SetLeft(10);
    Plain->SetTop(60);
    Plain->SetParent(Form);
    EXPECT_TRUE(L->Transparent());
    EXPECT_TRUE(L->UseSkinColor());
    EXPECT_EQ(L->Width(), Plain->Width());
    EXPECT_EQ(L->Height(), Plain->Height());
    L->SetEnabled(false);
    Plain->SetEnabled(false);
    std::vector<TColor> Ours = InkOf(L), Theirs = InkOf(Plain);
    std::sort(Ours.begin(), Ours.end());
    std::sort(Theirs.begin(), Theirs.end());
    EXPECT_EQ(Ours, Theirs) << "the framework's embossed disabled text";
    EXPECT_FALSE(Ours.empty());
}

TEST_F(sLabelTest, ActiveSkinGivesTheMainFontColourUnlessTheLabelKeepsItsOwn) {
    MakeSkin(0x00A000);
    TsLabel* L = PlaceLabel("Database:");
    TsLabel* Own = PlaceLabel("Folder:", 50);
    Own->SetUseSkinColor(false);
    Own->Font()->SetColor(0x123456);
    Form->Repaint();
    EXPECT_EQ(L->Font()->Color(), 0x00A000);
    EXPECT_EQ(Own->Font()->Color(), 0x123456);
    for (TControl* C : {static_cast<TControl*>(L), static_cast<TControl*>(Own)})
        C->Perform(SM_ALPHACMD, SkinCommandParam(SKIN_REMOVED), ManagerParam(Manager));
    EXPECT_EQ(L->Font()->Color(), clWindowText);
    EXPECT_EQ(Own->Font()->Color(), 0x123456) << "a label that keeps its colour keeps it after the skin";
}

TEST_F(sLabelTest, SectionNamedByTheLabelGivesItsFontColourEvenAtIndexZero) {
    MakeSkin(0x00A000);
    Manager->SectionList[0].FontColor[0] = 0x0000AA;
    TsLabel* First = PlaceLabel("First");
    First->SetSkinSection("GLOBALINFO");
    TsLabel* Second = PlaceLabel("Second", 50);
    Second->SetSkinSection("LABELSECTION");
    Form->Repaint();
    EXPECT_EQ(First->Font()->Color(), 0x0000AA) << "recoloured, though the first section is never painted";
    EXPECT_EQ(Second->Font()->Color(), 0x0000C0);
}

TEST_F(sLabelTest, ColourChangeMadeWhilePaintingNeitherResizesNorRepaints) {
    MakeSkin(0x00A000);
    TsLabel* L = PlaceLabel("Interval");
    L->SetBounds(10, 20, 150, 40);  // wider than AutoSize would make it
    Form->Repaint();
    EXPECT_EQ(L->Font()->Color(), 0x00A000);
    EXPECT_EQ(L->Width(), 150) << "the label's own font change did not run AdjustBounds";
    EXPECT_FALSE(LabelFontUpdating);
    L->Font()->SetColor(0x0000FF);
    EXPECT_NE(L->Width(), 150) << "an ordinary font change still sizes the label";
}

TEST_F(sLabelTest, DisabledTextUnderASkinMixesFontAndBackground) {
    MakeSkin(0x000000);
    TsLabel* L = PlaceLabel("Disabled");
    L->SetUseSkinColor(false);
    L->Font()->SetColor(clBlack);
    L->SetEnabled(false);
    // 40 % black over 60 % of the white form: 153 in every channel, drawn once (the font's
    // smoothed edges lie between it and the white).
    std::vector<TColor> Ink = InkOf(L);
    EXPECT_NE(std::find(Ink.begin(), Ink.end(), TColor(0x999999)), Ink.end());
    for (TColor C : Ink)
        EXPECT_TRUE(GetRValue(C) >= 0x99 && GetGValue(C) >= 0x99 && GetBValue(C) >= 0x99) << std::hex << C;
}

TEST_F(sLabelTest, DisabledMeasuringUnderASkinKeepsALoneAmpersandVisible) {
    MakeSkin(0x000000);
    auto* L = PlaceLabel<TProbeLabel>("&");
    L->SetEnabled(false);
    // Measured alone, the prefix character would take no room at all.
    TRect Lone = L->Calc(0);
    EXPECT_GT(Lone.Width(), 0);
    EXPECT_GT(Lone.Height(), 0);
    L->SetCaption("");
    TRect Empty = L->Calc(0);
    EXPECT_GT(Empty.Width(), 0) << "an empty caption measures as a blank";
    EXPECT_GT(Empty.Height(), 0);
}

TEST_F(sLabelTest, MouseEventsAndFormText) {
    ReadFormText(Form, "object F: TForm\n  object lbServer: TsLabel\n    Left = 8\n    Top = 8\n"
                       "    Caption = 'Server:'\n    SkinSection = 'LABELSECTION'\n    UseSkinColor = False\n"
                       "    Transparent = False\n  end\nend\n");
    auto* L = DynCast<TsLabel>(Form->FindComponent("lbServer"));
    ASSERT_NE(L, nullptr);
    EXPECT_EQ(L->SkinSection(), "LABELSECTION");
    EXPECT_FALSE(L->UseSkinColor());
    EXPECT_FALSE(L->Transparent());
    std::vector<std::string> Events;
    L->OnMouseEnter = TNotifyEvent::FromFunction([&](TObject*) { Events.push_back("enter"); });
    L->OnMouseLeave = TNotifyEvent::FromFunction([&](TObject*) { Events.push_back("leave"); });
    L->Perform(CM_MOUSEENTER, 0, 0);
    L->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(Events, (std::vector<std::string>{"enter", "leave"}));
}

TEST_F(sLabelTest, BoundLabelsAreEditLabelsThatTellTheirBoundLabelWhenFreed) {
    auto* E = Create<TsEdit>(Form);
    E->SetName("edServer");
    E->SetBounds(100, 60, 120, 21);
    E->SetParent(Form);
    E->BoundLabel()->SetActive(true);
    auto* L = DynCast<TsEditLabel>(E->BoundLabel()->TheLabel);
    ASSERT_NE(L, nullptr);
    EXPECT_EQ(L->BoundLabel(), E->BoundLabel());
    EXPECT_EQ(L->Name(), "edServerLabel");
    FreeAndNil(L);
    EXPECT_EQ(E->BoundLabel()->TheLabel, nullptr);
    EXPECT_FALSE(E->BoundLabel()->Active());
}

}  // namespace
