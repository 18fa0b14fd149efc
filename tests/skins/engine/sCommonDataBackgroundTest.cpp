// What lies behind a control: the question to the parent, its fallbacks and the painters' form.
#include "SkinTestSupport.h"

using namespace skintests;

namespace {

// Skin-aware, answers every colour question with black and no background question at all.
class TBlackAwarePanel : public TCustomPanel {
    DECLARE_CLASS(TBlackAwarePanel, TCustomPanel)
public:
    using TCustomPanel::TCustomPanel;
    void WndProc(TMessage& Message) override {
        if (Message.Msg == SM_ALPHACMD && SkinCommandOf(Message.WParam) == SKIN_ISSKINNED) {
            Message.Result = 1;
            return;
        }
        if (Message.Msg == SM_ALPHACMD && SkinCommandOf(Message.WParam) == SKIN_GETBGCOLOR) {
            Message.Result = 0;
            return;
        }
        TCustomPanel::WndProc(Message);
    }
};

class sCommonDataBackground : public SkinTest {};

TEST_F(sCommonDataBackground, ParentWithoutWindowIsAskedDirectly) {
    MakeManager({{"PANEL", 0x00FF00, 0, 30}});
    TOwned<TSkinTestPanel> Parent(Create<TSkinTestPanel>(nullptr));
    Parent->SetBounds(0, 0, 100, 100);
    Parent->SkinData->ApplyDefaultSection();
    ASSERT_FALSE(Parent->HandleAllocated());
    ParentBackgroundInfo Info;
    EXPECT_TRUE(QueryParentBackground(Info, Parent.get(), false));
    EXPECT_EQ(Info.Kind, 2);
    EXPECT_EQ(Info.Bmp, Parent->SkinData->CacheBitmap);
    EXPECT_FALSE(Parent->HandleAllocated());
}

TEST_F(sCommonDataBackground, UnansweredQuestionFallsBackToTheParentsColour) {
    auto* Plain = Place<TPanel>(0, 0, 50, 50);
    Plain->SetColor(clBtnFace);
    auto* Black = Place<TBlackAwarePanel>(60, 0, 50, 50);
    Black->SetColor(clBtnFace);
    Black->HandleNeeded();
    const std::pair<TControl*, TColor> Cases[] = {{Plain, ColorToRGB(clBtnFace)}, {Black, 0}};
    for (auto [Parent, Expected] : Cases) {
        ParentBackgroundInfo Info;
        EXPECT_FALSE(QueryParentBackground(Info, Parent, false));
        EXPECT_EQ(Info.Kind, 1);
        EXPECT_EQ(Info.Color, Expected) << Parent->ClassName();
    }
}

TEST_F(sCommonDataBackground, UnansweringParentPaintsItselfWhenAskedToPaint) {
    auto* Parent = Place<TPanel>(0, 0, 60, 40);
    Parent->SetColor(clRed);
    Parent->HandleNeeded();
    TOwned<TBitmap> B(Create<TBitmap>());
    B->SetPixelFormat(pf24bit);
    B->SetSize(20, 20);
    ParentBackgroundInfo Info;
    Info.PaintNow = true;
    Info.DC = B->Canvas()->Handle();
    Info.R = Rect(0, 0, 20, 20);
    Info.X = 10;  // the asker's place in the parent
    Info.Y = 10;
    EXPECT_FALSE(QueryParentBackground(Info, Parent, true));
    EXPECT_EQ(Info.Kind, 0);
    EXPECT_EQ(GetPixel(B->Canvas()->Handle(), 5, 5), ColorToRGB(clRed));
}

// Each level that passes the question up adds its own place, so the offsets point into the
// bitmap that finally answered.
TEST_F(sCommonDataBackground, OffsetsGrowThroughTransparentLevels) {
    MakeManager({{"PANEL", 0x00FF00, 0, 30}, {"CLEAR", 0, 100}});
    auto* Outer = Place<TSkinTestPanel>(0, 0, 200, 200);
    Outer->HandleNeeded();
    Outer->SkinData->ApplyDefaultSection();
    auto* Middle = Place<TSkinTestPanel>(10, 20, 100, 100, Outer);
    Middle->HandleNeeded();
    Middle->SkinData->SetSkinSection("CLEAR");
    ParentBackgroundInfo Info;
    EXPECT_TRUE(QueryParentBackground(Info, Middle, false));
    EXPECT_EQ(Info.Kind, 2);
    EXPECT_EQ(Info.Bmp, Outer->SkinData->CacheBitmap);
    EXPECT_EQ(Info.X, 10);
    EXPECT_EQ(Info.Y, 20);
}

TEST_F(sCommonDataBackground, AnswersBecomePainterSources) {
    ParentBackgroundInfo Colour;
    Colour.Kind = 1;
    Colour.Color = clWindow;
    Colour.X = 3;
    BackgroundSource S;
    ToBackgroundSource(Colour, S);
    EXPECT_FALSE(S.HasBitmap);
    EXPECT_EQ(S.Bmp, nullptr);
    EXPECT_EQ(S.Color, ColorToRGB(clWindow));
    EXPECT_EQ(S.OffsetX, 3);

    TOwned<TBitmap> B(Create<TBitmap>());
    ParentBackgroundInfo Bitmap;
    Bitmap.Kind = 2;
    Bitmap.Bmp = B.get();
    Bitmap.X = 4;
    Bitmap.Y = 5;
    ToBackgroundSource(Bitmap, S);
    EXPECT_TRUE(S.HasBitmap);
    EXPECT_EQ(S.Bmp, B.get());
    EXPECT_EQ(S.OffsetY, 5);
    EXPECT_EQ(S.Color, 0xFF00FF);
}

TEST_F(sCommonDataBackground, WindowQuestions) {
    BackgroundSource S;
    GetWindowParentBackgroundSource(Form->Handle(), S);
    EXPECT_EQ(S.OffsetX, -99) << "a top-level window has nothing behind it";
    EXPECT_FALSE(S.HasBitmap);

    auto* Plain = Place<TPanel>(0, 0, 50, 50);
    ParentBackgroundInfo Info;
    EXPECT_FALSE(QueryWindowBackground(Info, Plain->Handle(), false));
    EXPECT_EQ(Info.Kind, 1);
    EXPECT_EQ(Info.Color, clBtnFace) << "no default manager";

    MakeManager({{"GLOBALINFO", 0x336699}});
    EXPECT_FALSE(QueryWindowBackground(Info, Plain->Handle(), false));
    EXPECT_EQ(Info.Color, 0x336699);

    auto* Child = Place<TPanel>(5, 5, 10, 10, Plain);
    GetWindowParentBackgroundSource(Child->Handle(), S);
    EXPECT_FALSE(S.HasBitmap);
    EXPECT_EQ(S.Color, 0x336699);
}

TEST_F(sCommonDataBackground, HostOwnSourceWithoutSkinIsItsColour) {
    auto* Panel = Place<TSkinTestPanel>(0, 0, 50, 50);
    Panel->SetColor(clWindow);
    BackgroundSource S;
    S.OffsetX = 9;
    Panel->SkinData->GetParentBackgroundSource(S);
    EXPECT_EQ(S.OffsetX, 0);
    EXPECT_EQ(S.Color, clWindow);
    EXPECT_FALSE(S.HasBitmap);
}

}  // namespace
