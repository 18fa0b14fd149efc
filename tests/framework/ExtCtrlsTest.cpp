// Panels, notebooks with pages, speed buttons and glyph buttons, and the rich edit.
#include "Buttons.h"
#include "ControlTestSupport.h"
#include "ExtCtrls.h"
#include "RichEdit.h"

#include <gtest/gtest.h>

using namespace controltests;

namespace {

class ExtCtrlsTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        Form = TForm::CreateNew(nullptr);
        Form->SetBounds(30, 30, 400, 300);
    }
    template <class T>
    T* Place() {
        auto* C = Create<T>(Form);
        C->SetParent(Form);
        return C;
    }
    TForm* Form = nullptr;
};

TEST_F(ExtCtrlsTest, PanelChildrenLieInsideItsBevelsAndCaptionIsPainted) {
    auto* P = Place<TPanel>();
    P->SetBounds(0, 0, 200, 100);
    P->SetBevelInner(bvLowered);
    P->SetBevelWidth(2);
    P->SetBevelWidth(0);  // ignored
    auto* E = Create<TEdit>(Form);
    E->SetParent(P);
    E->SetAlign(alClient);
    Form->Show();
    EXPECT_EQ(P->BevelWidth(), 2);
    EXPECT_EQ(E->Left(), 4);  // outer and inner bevel, 2 each
    EXPECT_EQ(E->Width(), 200 - 8);
    // A caption set on the live panel shows at once: painted into a bitmap, text pixels appear.
    E->Free();
    P->SetCaption("Ready");
    TOwned<TBitmap> B(Create<TBitmap>());
    B->SetSize(200, 100);
    P->PaintTo(B->Canvas()->Handle(), 0, 0);
    int Dark = 0;
    for (int X = 60; X < 140; ++X)
        for (int Y = 40; Y < 60; ++Y)
            if (ColorToRGB(B->Canvas()->Pixels(X, Y)) == ColorToRGB(clWindowText))
                ++Dark;
    EXPECT_GT(Dark, 10);
    EXPECT_EQ(ColorToRGB(B->Canvas()->Pixels(0, 0)), ColorToRGB(clBtnHighlight));  // raised outer bevel
}

TEST_F(ExtCtrlsTest, NotebookPagesFollowTheirNamesAndKeepTheirControls) {
    auto* N = Place<TNotebook>();
    N->Pages()->SetCommaText("Start,Type1,Type2,Type3,Type4,Archive,Finish");
    ASSERT_EQ(N->PageCount(), 7);
    EXPECT_EQ(N->Pages()->Strings(6), "Finish");
    auto* OnArchive = Create<TCheckBox>(Form);
    OnArchive->SetParent(N->Page(5));
    TPage* Archive = N->Page(5);
    // The same names again change nothing: the same pages, their controls still on them.
    N->Pages()->SetCommaText("Start,Type1,Type2,Type3,Type4,Archive,Finish");
    EXPECT_EQ(N->Page(5), Archive);
    EXPECT_EQ(OnArchive->Parent(), Archive);
    Form->Show();
    N->SetActivePage("archive");  // names without regard to case
    EXPECT_EQ(N->PageIndex(), 5);
    EXPECT_EQ(N->ActivePage(), "Archive");
    EXPECT_TRUE(Archive->Visible());
    EXPECT_FALSE(N->Page(0)->Visible());
    for (int Bad : {-1, 7, 100}) {
        N->SetPageIndex(Bad);
        EXPECT_EQ(N->PageIndex(), 5) << Bad;
    }
    N->SetActivePage("Nowhere");
    EXPECT_EQ(N->PageIndex(), 5);
    // Fewer names free the surplus pages; a rename keeps the page.
    N->Pages()->SetCommaText("One,Two");
    EXPECT_EQ(N->PageCount(), 2);
    EXPECT_EQ(N->Page(1)->Caption(), "Two");
    EXPECT_EQ(N->PageIndex(), 1);
    EXPECT_THROW(N->Pages()->Strings(2), EStringListError);
}

TEST_F(ExtCtrlsTest, SpeedButtonsOfAGroupReleaseEachOther) {
    auto* A = Place<TSpeedButton>();
    auto* B = Place<TSpeedButton>();
    A->SetGroupIndex(1);
    B->SetGroupIndex(1);
    B->SetLeft(30);
    Form->Show();
    A->SetDown(true);
    B->SetDown(true);
    EXPECT_FALSE(A->Down());
    EXPECT_EQ(A->State(), bsUp);
    EXPECT_EQ(B->State(), bsExclusive);
    B->SetDown(false);  // the last one down stays down without AllowAllUp
    EXPECT_TRUE(B->Down());
    A->SetAllowAllUp(true);  // shared by the group
    B->SetDown(false);
    EXPECT_FALSE(B->Down());
    // A click: press and release inside, on a button of no group.
    auto* C = Place<TSpeedButton>();
    C->SetLeft(60);
    int Clicks = 0;
    C->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++Clicks; });
    C->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(C->State(), bsDown);
    C->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(C->State(), bsUp);
    C->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    C->Perform(WM_LBUTTONUP, 0, MAKELPARAM(500, 5));  // released outside
    EXPECT_EQ(Clicks, 1);
}

TEST_F(ExtCtrlsTest, GlyphIsDrawnWithItsTransparentColourLeftOut) {
    auto* S = Place<TSpeedButton>();
    S->SetFlat(true);
    S->SetTransparent(false);
    S->SetColor(clWhite);
    S->SetBounds(0, 0, 40, 40);
    TOwned<TBitmap> G(Create<TBitmap>());
    G->SetSize(32, 16);  // two images: up and disabled
    G->Canvas()->Brush()->SetColor(clFuchsia);
    G->Canvas()->FillRect(TRect{0, 0, 32, 16});
    G->Canvas()->Brush()->SetColor(clRed);
    G->Canvas()->FillRect(TRect{4, 4, 12, 12});
    G->Canvas()->Brush()->SetColor(clBlue);
    G->Canvas()->FillRect(TRect{20, 4, 28, 12});
    S->SetGlyph(G.get());
    EXPECT_EQ(S->NumGlyphs(), 2);
    Form->Show();
    TOwned<TBitmap> B(Create<TBitmap>());
    B->SetSize(40, 40);
    auto Shot = [&] {
        B->Canvas()->Brush()->SetColor(clWhite);
        B->Canvas()->FillRect(TRect{0, 0, 40, 40});
        Form->PaintTo(B->Canvas()->Handle(), 0, 0);
    };
    Shot();
    EXPECT_EQ(B->Canvas()->Pixels(20, 20), clRed);   // the glyph's middle, centred
    EXPECT_EQ(B->Canvas()->Pixels(13, 13), clWhite);  // its transparent border shows the button
    S->SetEnabled(false);
    Shot();
    EXPECT_EQ(B->Canvas()->Pixels(20, 20), clBlue);  // the disabled image
}

TEST_F(ExtCtrlsTest, GlyphButtonKindGivesCaptionAndResult) {
    auto* B = Place<TBitBtn>();
    B->SetKind(bkCancel);
    EXPECT_EQ(B->Caption(), "Cancel");
    EXPECT_EQ(B->ModalResult(), mrCancel);
    EXPECT_TRUE(B->Cancel());
    Form->Show();
    EXPECT_EQ(GetWindowLongA(B->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    B->SetFocus();
    // Focus on it keeps it owner-drawn (no push-button style put back).
    EXPECT_EQ(GetWindowLongA(B->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    SendMessageA(B->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(Form->ModalResult(), mrCancel);
}

TEST_F(ExtCtrlsTest, RichEditHoldsTextBeyondTheSmallDefaultLimit) {
    auto* R = Place<TRichEdit>();
    // Lines of 100 characters: the platform's rich edit lays out one long paragraph in quadratic time.
    std::string Big(100000, 'x');
    for (std::size_t I = 98; I + 1 < Big.size(); I += 100) {
        Big[I] = '\r';
        Big[I + 1] = '\n';
    }
    R->SetText(Big);  // before the window exists
    Form->Show();
    char Cls[32];
    GetClassNameA(R->Handle(), Cls, sizeof(Cls));
    EXPECT_STREQ(Cls, "TRichEdit");
    EXPECT_EQ(R->Text().size(), 100000u);
    EXPECT_EQ(R->Text(), Big);
    R->Lines()->SetText(Big + "z");  // through the rich edit's stream
    EXPECT_EQ(R->Text().size(), 100001u);
    R->SetMaxLength(10);
    EXPECT_EQ(SendMessageA(R->Handle(), EM_GETLIMITTEXT, 0, 0), 10);
}

TEST_F(ExtCtrlsTest, RichEditLimitSentBeforeItsWindowIsKept) {
    auto* R = Place<TRichEdit>();
    R->Perform(EM_EXLIMITTEXT, 0, 0x7FFFFFF0);
    Form->Show();
    EXPECT_EQ(SendMessageA(R->Handle(), EM_GETLIMITTEXT, 0, 0), 0x7FFFFFF0);
}

}  // namespace
