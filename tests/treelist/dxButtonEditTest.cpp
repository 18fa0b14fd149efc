#include "TestContainer.h"
#include "TreeListTestSupport.h"
#include "dxExEdtr.h"

#include <memory>
#include <vector>

using namespace treelist_tests;

namespace {
struct ButtonEditTest : TEditorTest<TdxInplaceButtonEdit> {
    std::vector<int> Clicks;
    void SetUp() override {
        TEditorTest::SetUp();
        Edit->OnButtonClick = TdxEditButtonClickEvent::FromFunction([this](TObject*, int I) { Clicks.push_back(I); });
    }
    // The widths of the laid-out buttons.
    std::vector<int> Widths(TRect* ClientBounds = nullptr) {
        std::unique_ptr<TdxEditViewData, TObjectDeleter> VD(Edit->CreateViewData(false));
        auto* D = static_cast<TdxDropDownEditViewData*>(VD.get());
        D->ButtonStyle = bts3D;
        ViewInfo Info;
        Edit->Meta()->CalcViewInfo(D, false, Info);
        if (ClientBounds)
            *ClientBounds = Info.ClientBounds;
        std::vector<int> W;
        for (int I = 0; I < D->ButtonCount; ++I)
            W.push_back(D->Buttons[I].Width);
        return W;
    }
};
}  // namespace

TEST_F(ButtonEditTest, CtrlEnterClicksTheDefaultButtonWithoutALineBreak) {
    ASSERT_EQ(1, Edit->Buttons()->Count());
    EXPECT_TRUE(Edit->Buttons()->Items(0)->Default());
    Open(std::string("text"));
    {
        THeldKey Ctrl(VK_CONTROL);
        PostMessageA(Edit->Handle(), WM_KEYDOWN, VK_RETURN, 1);
        PostMessageA(Edit->Handle(), WM_CHAR, '\n', 1);
        Pump(100);
    }
    EXPECT_EQ(std::vector<int>{0}, Clicks);
    EXPECT_EQ("text", Edit->Text());
}

TEST_F(ButtonEditTest, OneDefaultAtATimeAndNoneClicksNothing) {
    TdxEditButton* Second = Edit->Buttons()->Add();
    Second->SetDefault(true);
    EXPECT_FALSE(Edit->Buttons()->Items(0)->Default());
    Edit->ClickDefaultButton();
    EXPECT_EQ(std::vector<int>{1}, Clicks);
    Second->SetDefault(false);
    Open(std::string("text"));
    Word Key = VK_RETURN;
    Edit->KeyDown(Key, TShiftState{ssCtrl});
    EXPECT_EQ(std::vector<int>{1}, Clicks);
    EXPECT_TRUE(Box->EditorKeys.empty());
}

TEST_F(ButtonEditTest, VisibleIndexMapsToTheCollectionIndex) {
    Edit->Buttons()->Add();
    Edit->Buttons()->Items(0)->SetVisible(false);
    EXPECT_EQ(1, Edit->Buttons()->VisibleCount());
    int Index = 0;
    EXPECT_EQ(nullptr, Edit->Buttons()->VisibleItems(1, &Index));
    EXPECT_EQ(-1, Index);
    int Popups = 0;
    Edit->OnPopup = TNotifyEvent::FromFunction([&](TObject*) { ++Popups; });
    Edit->ButtonClick(0);
    Edit->ButtonClick(1);
    EXPECT_EQ(std::vector<int>{1}, Clicks);
    EXPECT_EQ(2, Popups);
    EXPECT_EQ(1u, Widths().size());
}

TEST_F(ButtonEditTest, NinthButtonIsRefused) {
    for (int I = 1; I < dxMaxEditButtons; ++I)
        Edit->Buttons()->Add();
    try {
        Edit->Buttons()->Add();
        FAIL() << "a ninth button";
    } catch (const Exception& E) {
        EXPECT_EQ("Too many buttons ( >= 8)", E.Message());
    }
    EXPECT_EQ(dxMaxEditButtons, Edit->Buttons()->Count());
}

TEST_F(ButtonEditTest, ButtonsOnlyFillTheWholeWidth) {
    Edit->SetBounds(0, 0, 120, 24);
    TRect Text;
    Widths(&Text);
    const int Area = Text.Width() + Widths()[0];
    Edit->Buttons()->Items(0)->SetWidth(20);
    Edit->Buttons()->Add()->SetWidth(20);
    Edit->SetEditViewMode(2);
    EXPECT_FALSE(Edit->HasEditWindow());
    const std::vector<int> W = Widths(&Text);
    ASSERT_EQ(2u, W.size());
    EXPECT_EQ(20, W[0]);
    EXPECT_EQ(Area - 20, W[1]);
    EXPECT_EQ(Text.Left, Text.Right);
}

TEST_F(ButtonEditTest, AutomaticGlyphButtonWidthFollowsTheButtonStyle) {
    TdxEditButton* B = Edit->Buttons()->Items(0);
    B->SetKind(bkGlyph);
    std::unique_ptr<TBitmap, TObjectDeleter> G(SolidBitmap(16, 16, clRed));
    B->SetGlyph(G.get());
    std::unique_ptr<TdxEditViewData, TObjectDeleter> VD(Edit->CreateViewData(false));
    auto* D = static_cast<TdxDropDownEditViewData*>(VD.get());
    for (auto [Style, Width] : {std::pair{bts3D, 20}, std::pair{btsFlat, 19}}) {
        D->ButtonStyle = Style;
        ViewInfo Info;
        Edit->Meta()->CalcViewInfo(D, false, Info);
        EXPECT_EQ(Width, D->Buttons[0].Width);
    }
}

TEST_F(ButtonEditTest, StreamWithoutButtonsKeepsNone) {
    std::unique_ptr<TdxInplaceButtonEdit, TObjectDeleter> Empty(Create<TdxInplaceButtonEdit>(nullptr));
    Empty->Buttons()->Clear();
    std::unique_ptr<TMemoryStream, TObjectDeleter> S(Create<TMemoryStream>());
    S->WriteComponent(Empty.get());
    S->SetPosition(0);
    std::unique_ptr<TdxInplaceButtonEdit, TObjectDeleter> Read(Create<TdxInplaceButtonEdit>(nullptr));
    S->ReadComponent(Read.get());
    EXPECT_EQ(0, Read->Buttons()->Count());

    S->Clear();
    Read->Buttons()->Add()->SetWidth(33);
    Read->Buttons()->Add();
    S->WriteComponent(Read.get());
    S->SetPosition(0);
    std::unique_ptr<TdxInplaceButtonEdit, TObjectDeleter> Again(Create<TdxInplaceButtonEdit>(nullptr));
    S->ReadComponent(Again.get());
    ASSERT_EQ(2, Again->Buttons()->Count());
    EXPECT_EQ(33, Again->Buttons()->Items(0)->Width());
}
