// Hooks of group boxes, panels and status bars: a group box printed from its section below the
// caption band (the parent's background behind the caption), a panel's section chosen by its bevels,
// and a status bar that shows its panels' texts cut to fit.
#include "../engine/SkinPixelSupport.h"

#include "ComCtrls.h"
#include "acSBUtilsPanels.h"
#include "sSectionPaint.h"

#include <commctrl.h>

using namespace skintests;

namespace {

constexpr TColor GroupColor = 0x204060, MainColor = 0x808080, BarColor = 0x603020;

class acSBUtilsPanelsTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        acSBUtilsInitialization();
        MakeManager({{"GROUPBOX", GroupColor},
                     {"GLOBALINFO", MainColor},
                     {"STATUSBAR", BarColor, 0, 0, 0, 0x00FFFF},
                     {"PANEL"},
                     {"PANEL_LOW"},
                     {"CHECKBOX"}});
    }
    void TearDown() override {
        FreeAndNil(Hook);
        SkinTest::TearDown();
        acSBUtilsFinalization();
    }
    TacMainWnd* Hook = nullptr;
};

TEST_F(acSBUtilsPanelsTest, GroupBoxPrintsItsSectionBelowTheCaptionBand) {
    HWND Box = CreateWindowExA(0, "BUTTON", "Group", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 10, 10, 120, 80, Form->Handle(),
                               nullptr, nullptr, nullptr);
    Hook = Create<TacGroupBoxWnd>(Box, false, "", Manager, nullptr);
    EXPECT_EQ(Hook->SkinData->SkinSection(), "GROUPBOX");
    const int Caption = static_cast<int>(SendMessageA(Box, SM_ALPHACMD, SkinCommandParam(SKIN_GETMANAGER), 0));
    EXPECT_GT(Caption, 4) << "the caption band's height";
    TOwned<TBitmap> Image(MakeBitmap(120, 80, pf24bit));
    SendMessageA(Box, WM_PRINT, reinterpret_cast<WPARAM>(Image->Canvas()->Handle()), PRF_CLIENT);
    EXPECT_EQ(GetPx(Image.get(), 60, 50), PxOf(GroupColor));
    EXPECT_EQ(GetPx(Image.get(), 110, 1), PxOf(MainColor)) << "the parent's background right of the caption";
    FreeAndNil(Hook);
    DestroyWindow(Box);
}

TEST_F(acSBUtilsPanelsTest, ParentCacheLeavesOutTheCaptionBandTheGroupBoxNames) {
    constexpr TColor CacheColor = 0x30A050;
    constexpr int WL = 3, WR = 4, WB = 5;
    AddBorderMask(Manager, Manager->FindSectionIndex("GROUPBOX"), WL, 2, WR, WB);
    ASSERT_EQ(DefaultManager, Manager);
    HWND Box = CreateWindowExA(0, "BUTTON", "Group", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 20, 20, 120, 80, Form->Handle(),
                               nullptr, nullptr, nullptr);
    HWND Other = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 200, 20, 60, 40, Form->Handle(), nullptr,
                                 nullptr, nullptr);
    RECT F{}, B{}, O{};
    GetWindowRect(Form->Handle(), &F);
    GetWindowRect(Box, &B);
    GetWindowRect(Other, &O);
    OffsetRect(&B, -F.left, -F.top);
    OffsetRect(&O, -F.left, -F.top);
    TsCommonData* D = Create<TsCommonData>(nullptr, false);
    D->CacheBitmap = MakeBitmap(F.right - F.left, F.bottom - F.top, pf24bit, PxOf(CacheColor));
    const int MidX = (B.left + B.right) / 2, MidY = (B.top + B.bottom) / 2;
    for (bool Hooked : {false, true}) {
        SCOPED_TRACE(Hooked ? "hooked group box" : "plain group box");
        if (Hooked)
            Hook = Create<TacGroupBoxWnd>(Box, false, "", Manager, nullptr);
        const int Caption = static_cast<int>(SendMessageA(Box, SM_ALPHACMD, SkinCommandParam(SKIN_GETMANAGER), 0));
        EXPECT_EQ(Caption > 4, Hooked) << "only the hook names a caption band";
        TOwned<TBitmap> Image(MakeBitmap(F.right - F.left, F.bottom - F.top, pf24bit, PxOf(clWhite)));
        CopyCacheClipWindows(Form->Handle(), D, Point(0, 0), 0, 0, false, Image->Canvas()->Handle(),
                             Rect(0, 0, Image->Width(), Image->Height()));
        const struct {
            const char* Where;
            int X, Y;
            bool Copied;
        } Points[] = {{"inside the box", MidX, MidY, true},
                      {"its caption band", MidX, B.top + 2, !Hooked},
                      {"its left border", B.left + WL - 1, MidY, false},
                      {"its right border", B.right - WR, MidY, false},
                      {"its bottom border", MidX, B.bottom - WB, false},
                      {"another child", (O.left + O.right) / 2, (O.top + O.bottom) / 2, false},
                      {"no child", 10, 150, true}};
        for (const auto& P : Points)
            EXPECT_EQ(GetPx(Image.get(), P.X, P.Y), PxOf(P.Copied ? CacheColor : clWhite)) << P.Where;
    }
    FreeAndNil(Hook);
    FreeAndNil(D);
    DestroyWindow(Box);
    DestroyWindow(Other);
}

TEST_F(acSBUtilsPanelsTest, PanelSectionFollowsTheBevels) {
    const struct {
        TBevelCut Outer, Inner;
        TFormBorderStyle Border;
        const char* Section;
    } Cases[] = {{bvRaised, bvLowered, bsNone, "GROUPBOX"}, {bvRaised, bvNone, bsNone, "PANEL"},
                 {bvLowered, bvRaised, bsNone, "GROUPBOX"}, {bvLowered, bvNone, bsNone, "PANEL_LOW"},
                 {bvNone, bvNone, bsSingle, "PANEL_LOW"},   {bvNone, bvNone, bsNone, "CHECKBOX"}};
    for (const auto& C : Cases) {
        auto* P = Place<TPanel>(10, 10, 100, 60);
        P->SetBevelOuter(C.Outer);
        P->SetBevelInner(C.Inner);
        P->SetBorderStyle(C.Border);
        TsCommonData* D = Create<TsCommonData>(P, true);
        Hook = Create<TacPanelWnd>(P->Handle(), false, "", Manager, D);
        EXPECT_EQ(D->SkinSection(), C.Section);
        FreeAndNil(Hook);
        FreeAndNil(D);
        FreeAndNil(P);
    }
}

TEST_F(acSBUtilsPanelsTest, StatusBarTextTooWideForItsPanelEndsInDots) {
    auto* Bar = Place<TStatusBar>(0, 0, 300, 22);
    Bar->SetSizeGrip(false);
    Bar->Panels()->Add()->SetWidth(60);
    Bar->Panels()->Add()->SetWidth(200);
    Bar->Panels()->Items(0)->SetText("A rather long text for sixty pixels");
    Bar->UpdatePanels();
    TsCommonData* D = Create<TsCommonData>(Bar, true);
    D->SetSkinSection("STATUSBAR");
    auto* StatusHook = Create<TacStatusBarWnd>(Bar->Handle(), false, "", Manager, D);
    Hook = StatusHook;
    ASSERT_EQ(StatusHook->StatusBarHost, Bar);
    EXPECT_EQ(StatusHook->PanelText(0), "A rather long text for sixty pixels");
    EXPECT_EQ(StatusHook->PanelText(5), "") << "a part beyond the panel list";
    RECT W{};
    GetWindowRect(Bar->Handle(), &W);
    TOwned<TBitmap> Image(MakeBitmap(W.right - W.left, W.bottom - W.top, pf24bit));
    SendMessageA(Bar->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(Image->Canvas()->Handle()), PRF_CLIENT);
    int TextInFirst = 0, TextBeyond = 0;
    for (int Y = 0; Y < Image->Height(); ++Y)
        for (int X = 0; X < Image->Width(); ++X)
            if (GetPx(Image.get(), X, Y) == PxOf(0x00FFFF))
                (X < 60 ? TextInFirst : TextBeyond)++;
    EXPECT_GT(TextInFirst, 0) << "the text in the section's font colour";
    EXPECT_EQ(TextBeyond, 0) << "cut to its panel";
    EXPECT_EQ(GetPx(Image.get(), 150, 2), PxOf(BarColor));
    FreeAndNil(Hook);
    FreeAndNil(D);
}

}  // namespace
