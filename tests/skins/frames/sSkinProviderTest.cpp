// The skinned form frame on real windows, with the small skin kept beside these tests (loaded
// through the skin loader): the window style and colours while skinned and after, the hit codes of
// the caption buttons, caption and corners, the printed frame image and the window region, presses
// and releases of the close button, the window menu's rules, the hooked-forms list and the
// broadcasts, extended borders with their shadow and the glow of a hot caption button.
#include "../engine/SkinPixelSupport.h"

#include "TestSupport.h"

#include "acBorderForm.h"
#include "acCtrlAdapter.h"
#include "acSBUtils.h"
#include "acSBAnimation.h"
#include "sDCUtils.h"
#include "sFade.h"
#include "sGraphUtils.h"
#include "sSpeedButton.h"
#include "sSkinProvider.h"
#include "sStyleSimply.h"
#include "sSystemMenu.h"

#include <commctrl.h>

#include <fstream>

using namespace skintests;

namespace {

// Records what a form sees of closing.
struct TCloseRecorder : TObject {
    int Closes = 0;
    void FormClose(TObject*, TCloseAction& Action) {
        ++Closes;
        Action = caNone;
    }
};

class sSkinProviderTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        sGraphUtilsInitialization();
        Form->SetCaption("Skinned");
    }
    void TearDown() override {
        if (Provider)
            FreeAndNil(Provider);
        SkinTest::TearDown();
    }
    // The default manager with the frame skin of the tests loaded and shown.
    void LoadSkin(bool ExtendedBorders = false, const std::string& Name = "FrameTest") {
        Manager = Create<TsSkinManager>(nullptr);
        Manager->SetExtendedBorders(ExtendedBorders);
        Manager->SkinDirectory = Folder.empty() ? testing_support::SourceDir() + "tests\\skins\\frames\\skin" : Folder;
        Manager->SetSkinName(Name);
        ASSERT_TRUE(Manager->SkinData->SkinActive);
    }
    void Attach() {
        Provider = Create<TsSkinProvider>(Form);
        Refresh();
    }
    void Refresh() {
        Provider->SkinData()->BackgroundStale = true;
        SetWindowPos(Form->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
        RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        Pump();
    }
    LONG Style() { return GetWindowLongA(Form->Handle(), GWL_STYLE); }
    // The whole window printed, frame included.
    TBitmap* Print() {
        TBitmap* B = MakeBitmap(Form->Width(), Form->Height(), pf24bit);
        SendMessageA(Form->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(B->Canvas()->Handle()),
                     PRF_NONCLIENT | PRF_CLIENT);
        return B;
    }
    // WM_NCHITTEST at a point given in window coordinates.
    LRESULT HitAt(int X, int Y) {
        RECT R;
        GetWindowRect(Form->Handle(), &R);
        return SendMessageA(Form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(R.left + X, R.top + Y));
    }
    static TPoint Centre(const TRect& R) { return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }

    TsSkinProvider* Provider = nullptr;
    std::string Folder;
};

constexpr TColor TitleColor = 0x00804020;
constexpr TColor FormSectionColor = 0x00C0A080;

TEST_F(sSkinProviderTest, WhileSkinnedTheFormHasNoSystemMenuStyleAndTheSkinsColour) {
    LoadSkin();
    ASSERT_TRUE(Style() & WS_SYSMENU);
    Attach();
    EXPECT_FALSE(Style() & WS_SYSMENU);
    EXPECT_TRUE(Provider->HadSysMenu);
    EXPECT_EQ(Form->Color(), TColor(0x00A0B0C0));
    EXPECT_EQ(Form->Color(), Manager->GetMainColor());
    Manager->SetActive(false);
    Pump();
    EXPECT_TRUE(Style() & WS_SYSMENU);
    EXPECT_EQ(Form->Color(), clBtnFace);
    HRGN Rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(Form->Handle(), Rgn), ERROR) << "the region goes with the skin";
    DeleteObject(Rgn);
}

TEST_F(sSkinProviderTest, HitCodesOfButtonsCaptionAndCorners) {
    LoadSkin();
    Provider = Create<TsSkinProvider>(Form);
    Provider->TitleButtons()->Add();
    auto* Hidden = static_cast<TsTitleButton*>(Provider->TitleButtons()->Add());
    Hidden->SetVisible(false);
    Provider->TitleButtons()->Add();
    Refresh();
    struct Case {
        TRect Rect;
        LRESULT Code;
    };
    const Case Cases[] = {{Provider->BtnClose.Rect, HTCLOSE},
                          {Provider->BtnMax.Rect, HTMAXBUTTON},
                          {Provider->BtnMin.Rect, HTMINBUTTON},
                          {Provider->TitleButtons()->Items(0)->Data.Rect, HTUSERBUTTON + 0},
                          {Provider->TitleButtons()->Items(2)->Data.Rect, HTUSERBUTTON + 2}};
    for (const Case& C : Cases) {
        ASSERT_GT(C.Rect.Right, C.Rect.Left) << "button " << C.Code << " laid out";
        TPoint P = Centre(C.Rect);
        EXPECT_EQ(HitAt(P.X, P.Y), C.Code) << "at " << P.X << "," << P.Y;
    }
    // The buttons do not overlap and lie right to left in the caption.
    EXPECT_LT(Provider->BtnMax.Rect.Right, Provider->BtnClose.Rect.Right);
    EXPECT_LT(Provider->BtnMin.Rect.Right, Provider->BtnMax.Rect.Right);
    EXPECT_LT(Provider->TitleButtons()->Items(0)->Data.Rect.Right, Provider->BtnMin.Rect.Left);
    const int W = Form->Width(), H = Form->Height();
    EXPECT_EQ(HitAt(W / 3, Provider->GetCaptionHeight(false) / 2 + 2), HTCAPTION);
    EXPECT_EQ(HitAt(1, 1), HTTOPLEFT);
    EXPECT_EQ(HitAt(W - 2, H - 2), HTBOTTOMRIGHT);
    EXPECT_EQ(HitAt(1, H / 2), HTLEFT);
    // A disabled extra button answers as client area: it is never hot.
    Provider->TitleButtons()->Items(0)->Enabled = false;
    TPoint P = Centre(Provider->TitleButtons()->Items(0)->Data.Rect);
    EXPECT_EQ(HitAt(P.X, P.Y), HTCAPTION) << "the system's answer for the caption strip";
}

TEST_F(sSkinProviderTest, AHotExtraButtonShowsItsHintBelowTheCursorUntilItIsLeft) {
    LoadSkin();
    Provider = Create<TsSkinProvider>(Form);
    auto* WithHint = static_cast<TsTitleButton*>(Provider->TitleButtons()->Add());
    WithHint->Hint = "Pack now";
    auto* Silent = static_cast<TsTitleButton*>(Provider->TitleButtons()->Add());
    Refresh();
    RECT W;
    GetWindowRect(Form->Handle(), &W);
    TPoint P = Centre(WithHint->Data.Rect);
    SetCursorPos(W.left + P.X, W.top + P.Y);
    POINT Cursor;
    GetCursorPos(&Cursor);
    ASSERT_EQ(HitAt(P.X, P.Y), HTUSERBUTTON + 0);
    ASSERT_NE(WithHint->HintWnd, nullptr);
    HWND Hint = WithHint->HintWnd->Handle();
    EXPECT_TRUE(IsWindowVisible(Hint));
    EXPECT_TRUE(GetWindowLongA(Hint, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(WithHint->HintWnd->Caption(), "Pack now");
    RECT R;
    GetWindowRect(Hint, &R);
    EXPECT_EQ(R.left, Cursor.x + 8);
    EXPECT_EQ(R.top, Cursor.y + 16);
    EXPECT_EQ(R.bottom - R.top, WithHint->HintWnd->CalcHintRect(800, "Pack now").Height() + 4);
    // Another button without a hint takes the hot state: the first hint goes and none comes.
    TPoint Q = Centre(Silent->Data.Rect);
    ASSERT_EQ(HitAt(Q.X, Q.Y), HTUSERBUTTON + 1);
    EXPECT_EQ(WithHint->HintWnd, nullptr);
    EXPECT_FALSE(IsWindow(Hint));
    EXPECT_EQ(Silent->HintWnd, nullptr);
    // Back on it and off to the caption.
    HitAt(P.X, P.Y);
    ASSERT_NE(WithHint->HintWnd, nullptr);
    HitAt(Form->Width() / 3, Provider->GetCaptionHeight(false) / 2 + 2);
    EXPECT_EQ(WithHint->HintWnd, nullptr);
}

TEST_F(sSkinProviderTest, PrintGivesTheTitleSectionAndTheCaptionAtItsAlignment) {
    LoadSkin();
    Form->SetCaption("WWWWWWWW");
    Attach();
    const int W = Form->Width();
    const int TitleRows = Provider->GetCaptionHeight(true);
    TRect Icon;
    Provider->GetIconRect(Icon);
    // White pixels of the caption, right of the title icon.
    auto WhiteColumns = [&](int& First, int& Last) {
        TOwned<TBitmap> B(Print());
        First = W, Last = -1;
        for (int Y = 0; Y < TitleRows; ++Y)
            for (int X = Icon.Right; X < W; ++X)
                if (GetPx(B.get(), X, Y) == (TPx{255, 255, 255, 0})) {
                    First = std::min(First, X);
                    Last = std::max(Last, X);
                }
    };
    {
        TOwned<TBitmap> B(Print());
        EXPECT_EQ(GetPx(B.get(), W / 2, 2), PxOf(TitleColor));
        TPoint Close = Centre(Provider->BtnClose.Rect);
        EXPECT_EQ(GetPx(B.get(), Close.X, Close.Y), PxOf(0x0000C8)) << "the close image, normal state";
        EXPECT_EQ(GetPx(B.get(), W / 2, Form->Height() / 2), PxOf(FormSectionColor)) << "the client background";
    }
    int First = 0, Last = 0;
    WhiteColumns(First, Last);
    ASSERT_GE(Last, 0) << "the caption is written in the title's font colour";
    EXPECT_LT(First, W / 3);
    Provider->SetCaptionAlignment(taRightJustify);
    Refresh();
    int RFirst = 0, RLast = 0;
    WhiteColumns(RFirst, RLast);
    ASSERT_GE(RLast, 0);
    EXPECT_GT(RFirst, W / 3);
    EXPECT_LT(RLast, Provider->BtnMin.Rect.Left) << "right-justified text stops before the buttons";
}

TEST_F(sSkinProviderTest, TheWindowRegionHasHolesAtTheKeyColouredCorners) {
    LoadSkin();
    Attach();
    HRGN Rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(Form->Handle(), Rgn), ERROR);
    const int W = Form->Width(), H = Form->Height();
    // The border mask's corners hold three key pixels each: the corner and its two neighbours.
    for (POINT P : {POINT{0, 0}, POINT{1, 0}, POINT{0, 1}, POINT{W - 1, 0}, POINT{W - 2, 0}, POINT{0, H - 1},
                    POINT{W - 1, H - 1}})
        EXPECT_FALSE(PtInRegion(Rgn, P.x, P.y)) << P.x << "," << P.y;
    for (POINT P : {POINT{1, 1}, POINT{2, 0}, POINT{W - 2, 1}, POINT{W / 2, H / 2}, POINT{W - 2, H - 2}})
        EXPECT_TRUE(PtInRegion(Rgn, P.x, P.y)) << P.x << "," << P.y;
    DeleteObject(Rgn);
}

TEST_F(sSkinProviderTest, CloseActsOnlyOnPressAndReleaseOverIt) {
    LoadSkin();
    Attach();
    TOwned<TCloseRecorder> Recorder(new TCloseRecorder);
    Form->OnClose = TCloseEvent::Bind<&TCloseRecorder::FormClose>(Recorder.get());
    RECT R;
    GetWindowRect(Form->Handle(), &R);
    TPoint C = Centre(Provider->BtnClose.Rect);
    const LPARAM At = MAKELPARAM(R.left + C.X, R.top + C.Y);
    HWND H = Form->Handle();
    // Released elsewhere: nothing.
    SendMessageA(H, WM_NCLBUTTONDOWN, HTCLOSE, At);
    EXPECT_EQ(Provider->BtnClose.State, 2);
    SendMessageA(H, WM_NCLBUTTONUP, HTCAPTION, MAKELPARAM(R.left + 40, R.top + 5));
    Pump();
    EXPECT_EQ(Recorder->Closes, 0);
    // Released on close without a press on it: nothing.
    SendMessageA(H, WM_NCLBUTTONUP, HTCLOSE, At);
    Pump();
    EXPECT_EQ(Recorder->Closes, 0);
    // Pressed and released on close: SC_CLOSE.
    SendMessageA(H, WM_NCLBUTTONDOWN, HTCLOSE, At);
    SendMessageA(H, WM_NCLBUTTONUP, HTCLOSE, At);
    Pump();
    EXPECT_EQ(Recorder->Closes, 1);
    Form->OnClose = TCloseEvent();
}

TEST_F(sSkinProviderTest, WindowMenuRulesByBorderStyle) {
    LoadSkin();
    struct Case {
        TFormBorderStyle Style;
        bool Restore, Move, Size, Min, Max, Close;
    };
    const Case Cases[] = {{bsDialog, false, true, false, false, false, true},
                          {bsSizeable, true, true, true, true, true, true},
                          {bsSingle, true, true, true, true, true, true}};
    for (const Case& C : Cases) {
        Form->SetBorderStyle(C.Style);
        Attach();
        TsSystemMenu* Menu = Provider->SystemMenu;
        ASSERT_TRUE(Menu);
        Menu->UpdateItems(false);
        EXPECT_EQ(Menu->ItemRestore->Visible(), C.Restore) << int(C.Style);
        EXPECT_EQ(Menu->ItemMove->Visible(), C.Move) << int(C.Style);
        EXPECT_EQ(Menu->ItemSize->Visible(), C.Size) << int(C.Style);
        EXPECT_EQ(Menu->ItemMinimize->Visible(), C.Min) << int(C.Style);
        EXPECT_EQ(Menu->ItemMaximize->Visible(), C.Max) << int(C.Style);
        EXPECT_EQ(Menu->ItemClose->Visible(), C.Close) << int(C.Style);
        if (C.Style == bsSingle) {
            EXPECT_FALSE(Menu->ItemSize->Enabled()) << "a single border is not sized";
        }
        FreeAndNil(Provider);
    }
    // The base class's rules are abstract.
    TOwned<TsCustomSysMenu> Base(Create<TsCustomSysMenu>(nullptr));
    EXPECT_THROW(Base->VisibleClose(), EAbstractError);
}

TEST_F(sSkinProviderTest, RemoveHookedFormRemovesEveryOccurrence) {
    std::vector<TComponent*> Saved = HookedForms;
    HookedForms.clear();
    TOwned<TComponent> F(Create<TComponent>(nullptr)), A(Create<TComponent>(nullptr)), B(Create<TComponent>(nullptr));
    struct Case {
        std::vector<TComponent*> Before, After;
    };
    const Case Cases[] = {{{F.get(), A.get(), F.get()}, {A.get()}},
                          {{F.get()}, {}},
                          {{A.get(), B.get(), F.get()}, {A.get(), B.get()}},
                          {{A.get(), F.get(), B.get()}, {A.get(), B.get()}},
                          {{A.get(), B.get()}, {A.get(), B.get()}},
                          {{F.get(), F.get(), F.get()}, {}}};
    for (const Case& C : Cases) {
        HookedForms = C.Before;
        RemoveHookedForm(F.get());
        EXPECT_EQ(HookedForms, C.After);
    }
    HookedForms = Saved;
}

TEST_F(sSkinProviderTest, LockAndUnlockTouchOnlyTheFormsOfTheirManager) {
    LoadSkin();
    Attach();
    TOwned<TsSkinManager> Other(Create<TsSkinManager>(nullptr));
    LockFormsRedraw(Other.get());
    EXPECT_FALSE(Provider->Animating);
    LockFormsRedraw(Manager);
    EXPECT_TRUE(Provider->Animating);
    UnlockFormsRedraw(Other.get(), true);
    EXPECT_TRUE(Provider->Animating);
    UnlockFormsRedraw(Manager, true);
    EXPECT_FALSE(Provider->Animating);
}

// A dialog the dialog hook would skin, as the broadcasts see it.
struct TFakeDialogProvider : TacDialogProviderLink {
    HWND Wnd = nullptr;
    HWND DialogWindow() const override { return Wnd; }
};

TEST_F(sSkinProviderTest, BroadcastsReachTheDialogProvidersVisibleWindows) {
    TForm* Dialog = TForm::CreateNew(nullptr);
    auto* Panel = Create<TSkinTestPanel>(Dialog);
    Panel->SetParent(Dialog);
    Dialog->Show();
    Panel->Commands.clear();
    TFakeDialogProvider Visible, Hidden, Empty;
    Visible.Wnd = Panel->Handle();
    TForm* HiddenForm = TForm::CreateNew(nullptr);
    Hidden.Wnd = HiddenForm->Handle();
    std::vector<TacDialogProviderLink*> List{&Visible, nullptr, &Hidden, &Empty};
    DialogProviders = &List;
    TMessage M{SM_ALPHACMD, SkinCommandParam(SKIN_REFRESH), 0, 0};
    BroadcastToHookedForms(M);
    DialogProviders = nullptr;
    EXPECT_EQ(Panel->Commands, std::vector<Word>{SKIN_REFRESH});
    FreeAndNil(HiddenForm);
    FreeAndNil(Dialog);
}

TEST_F(sSkinProviderTest, ASkinWithoutTheFormSectionLeavesTheSystemFrame) {
    testing_support::TempDir Temp;
    CreateDirectoryA((Temp / "Bare").c_str(), nullptr);
    std::ofstream(Temp / "Bare\\Options.dat") << "[GLOBALINFO]\nVERSION=6.5\nCOLOR=$00102030\n[EDIT]\nCOLOR=255\n";
    Folder = Temp.Path();
    LoadSkin(false, "Bare");
    Attach();
    EXPECT_TRUE(Style() & WS_SYSMENU);
    EXPECT_EQ(HitAt(Form->Width() / 2, GetSystemMetrics(SM_CYFRAME) + 4), HTCAPTION) << "the system's answer";
    HRGN Rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(Form->Handle(), Rgn), ERROR);
    DeleteObject(Rgn);
    TOwned<TBitmap> B(Print());
    EXPECT_NE(GetPx(B.get(), Form->Width() / 2, 2), PxOf(TitleColor));
    FreeAndNil(Provider);
    FreeAndNil(Manager);
}

TEST_F(sSkinProviderTest, AFormFreedWithItsProviderLeavesNoHook) {
    LoadSkin();
    Attach();
    ASSERT_EQ(std::count(HookedForms.begin(), HookedForms.end(), static_cast<TComponent*>(Form)), 1);
    // The form frees its provider with itself.
    TComponent* Doomed = Form;
    FreeAndNil(Form);
    Provider = nullptr;
    EXPECT_EQ(std::find(HookedForms.begin(), HookedForms.end(), Doomed), HookedForms.end());
    // Broadcasts after it reach no freed form.
    TMessage Loaded{SM_ALPHACMD, SkinCommandParam(SKIN_LOADED), reinterpret_cast<LPARAM>(Manager), 0};
    BroadcastToHookedForms(Loaded);
    TMessage Refresh{SM_ALPHACMD, SkinCommandParam(SKIN_REFRESH), reinterpret_cast<LPARAM>(Manager), 0};
    BroadcastToAllForms(Refresh);
    Pump();
    EXPECT_EQ(std::find(HookedForms.begin(), HookedForms.end(), Doomed), HookedForms.end());
}

// A window hook of the form and the provider leave in either order; the form then works on and,
// freed at the end, reaches neither.
TEST_F(sSkinProviderTest, AProviderAndAHookOfTheFormLeaveInAnyOrder) {
    LoadSkin();
    const TWndMethod Original = Form->WindowProc;
    for (bool HookFirst : {true, false})
        for (bool FirstGoesFirst : {true, false}) {
            TsCommonData* Data = Create<TsCommonData>(Form, false);
            TacMainWnd* Hook = nullptr;
            if (HookFirst)
                Hook = Create<TacMainWnd>(Form->Handle(), false, "FORM", Manager, Data);
            Attach();
            if (!HookFirst)
                Hook = Create<TacMainWnd>(Form->Handle(), false, "FORM", Manager, Data);
            if (FirstGoesFirst == HookFirst)
                FreeAndNil(Hook);
            else
                FreeAndNil(Provider);
            Form->SetCaption("still working");
            EXPECT_EQ(ReadWindowText(Form->Handle()), "still working") << HookFirst << FirstGoesFirst;
            SetWindowPos(Form->Handle(), nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
            RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
            Pump();
            FreeAndNil(Hook);
            FreeAndNil(Provider);
            EXPECT_TRUE(Form->WindowProc == Original) << HookFirst << FirstGoesFirst;
            FreeAndNil(Data);
        }
    TForm* Second = TForm::CreateNew(nullptr);
    Second->Show();
    Attach();
    FreeAndNil(Second);
    FreeAndNil(Form);
    Provider = nullptr;
}

TEST_F(sSkinProviderTest, AManagerFreedBeforeItsFormsLeavesThemWorking) {
    LoadSkin();
    Attach();
    FreeAndNil(Manager);
    Pump();
    EXPECT_TRUE(Style() & WS_SYSMENU);
    // The provider still owns the procedure and passes everything on.
    EXPECT_EQ(SendMessageA(Form->Handle(), SM_ALPHACMD, SkinCommandParam(SKIN_GETPROVIDER), 0),
              reinterpret_cast<LRESULT>(static_cast<TObject*>(Provider)));
    EXPECT_EQ(HitAt(Form->Width() / 2, Form->Height() / 2), HTCLIENT);
    FreeAndNil(Provider);
    EXPECT_EQ(SendMessageA(Form->Handle(), SM_ALPHACMD, SkinCommandParam(SKIN_GETPROVIDER), 0), 0);
}

TEST_F(sSkinProviderTest, ExtendedBorderWindowAnswersEdgesAndPassesShadowThrough) {
    LoadSkin(true);
    Attach();
    ASSERT_TRUE(Provider->BorderForm);
    TacBorderForm* Border = Provider->BorderForm;
    Border->UpdateBorder(true, 255);
    HWND BH = Border->Handle();
    ASSERT_TRUE(IsWindowVisible(BH));
    RECT BR;
    GetWindowRect(BH, &BR);
    const TRect M = Manager->ExBorderMargins;
    ASSERT_GT(M.Left, 0);
    const int MidY = (BR.top + BR.bottom) / 2;
    // Inside the margin on the left edge: the sizing code; in the shadow: passed through.
    TMessage Edge{WM_NCHITTEST, 0, MAKELPARAM(BR.left + M.Left + 1, MidY), 0};
    EXPECT_EQ(Border->HitTest(Edge), HTLEFT);
    EXPECT_EQ(SendMessageA(BH, WM_NCHITTEST, 0, MAKELPARAM(BR.left + M.Left + 1, MidY)), HTOBJECT);
    EXPECT_EQ(SendMessageA(BH, WM_NCHITTEST, 0, MAKELPARAM(BR.left + 1, MidY)), HTTRANSPARENT);
    // The form's window keeps only its body: the frame lies in the border window.
    HRGN Rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(Form->Handle(), Rgn), ERROR);
    EXPECT_FALSE(PtInRegion(Rgn, 0, Form->Height() / 2));
    DeleteObject(Rgn);
    // The image is 32-bit and opaque over the window body.
    TBitmap* Image = Provider->SkinData()->CacheBitmap;
    ASSERT_EQ(Image->PixelFormat(), pf32bit);
    EXPECT_EQ(GetPx(Image, Image->Width() / 2, Image->Height() / 2).A, 255);
    Provider->SetAllowExtBorders(false);
    EXPECT_FALSE(Provider->BorderForm);
}

TEST_F(sSkinProviderTest, AHotButtonsGlowRunsThroughItsAlphaSteps) {
    LoadSkin();
    Attach();
    Provider->SetHotButton(HTCLOSE, true);
    TacSBAnimation* Glow = Provider->BtnClose.Animation;
    ASSERT_TRUE(Glow);
    ASSERT_TRUE(Glow->GlowWindow);
    std::vector<int> Alphas{Glow->CurrentAlpha};
    for (int I = 0; I < 12 && Glow->Steps != -1; ++I) {
        Glow->AnimTimer(Glow);
        Alphas.push_back(Glow->CurrentAlpha);
    }
    EXPECT_EQ(Alphas, (std::vector<int>{25, 50, 75, 100, 125, 150, 175, 200, 225, 255}));
    EXPECT_TRUE(IsWindowVisible(Glow->GlowWindow->Handle()));
    // Pressing shows the pressed image at full opacity at once.
    Provider->PressButton(HTCLOSE);
    EXPECT_EQ(Glow->CurrentAlpha, 255);
    Provider->StopButtonAnimations();
    EXPECT_FALSE(Provider->BtnClose.Animation);
}

// The provider's adapter hooks the listed controls of the form, those placed later when asked, and
// lets them all go with the skin.
TEST_F(sSkinProviderTest, TheAdapterWrapsTheFormsControlsAndLetsThemGoWithTheSkin) {
    LoadSkin();
    Manager->ThirdParty->SetString(ctButtons, "TButton");
    Manager->UpdateThirdNames(false);
    ASSERT_TRUE(Manager->SkinningRules.Contains(srThirdParty));
    auto* First = Create<TButton>(Form);
    First->SetBounds(10, 10, 80, 24);
    First->SetParent(Form);
    First->HandleNeeded();
    const TWndMethod FirstProc = First->WindowProc;
    Attach();
    ASSERT_TRUE(Provider->Adapter);
    EXPECT_TRUE(GetHookOfWindow(First->Handle())) << "wrapped when the frame was first painted";
    auto* Direct = Place<TButton>(100, 10, 80, 24);
    Direct->HandleNeeded();
    EXPECT_TRUE(GetHookOfWindow(Direct->Handle())) << "a window made on the form is wrapped as it is made";
    // The window of a button inside a panel is announced to the panel only.
    auto* Box = Place<TPanel>(10, 80, 200, 100);
    Box->HandleNeeded();
    auto* Later = Place<TButton>(10, 10, 80, 24, Box);
    Later->HandleNeeded();
    EXPECT_FALSE(GetHookOfWindow(Later->Handle()));
    AskFormToAdaptControl(Later);
    EXPECT_TRUE(GetHookOfWindow(Later->Handle())) << "the form answers the request to adapt a control";
    auto* Unlisted = Create<TEdit>(Form);
    Unlisted->SetParent(Form);
    Unlisted->HandleNeeded();
    AskFormToAdaptControl(Unlisted);
    EXPECT_FALSE(GetHookOfWindow(Unlisted->Handle())) << "a class of no list stays as it is";
    Manager->SetActive(false);
    Pump();
    EXPECT_FALSE(Provider->Adapter);
    EXPECT_FALSE(GetHookOfWindow(First->Handle()));
    EXPECT_FALSE(GetHookOfWindow(Later->Handle()));
    EXPECT_TRUE(First->WindowProc == FirstProc);
}

// A form's constant opacity is a layered window attribute; switching it off takes away only the
// layering it added itself.
TEST_F(sSkinProviderTest, FormAlphaBlendLayersTheWindowAtItsValue) {
    HWND H = Form->Handle();
    Form->SetAlphaBlendValue(100);
    EXPECT_FALSE(GetWindowLongA(H, GWL_EXSTYLE) & WS_EX_LAYERED) << "the value alone changes nothing";
    Form->SetAlphaBlend(true);
    ASSERT_TRUE(GetWindowLongA(H, GWL_EXSTYLE) & WS_EX_LAYERED);
    BYTE Alpha = 0;
    DWORD Flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(H, nullptr, &Alpha, &Flags));
    EXPECT_EQ(Alpha, 100);
    EXPECT_TRUE(Flags & LWA_ALPHA);
    Form->SetAlphaBlendValue(200);
    ASSERT_TRUE(GetLayeredWindowAttributes(H, nullptr, &Alpha, &Flags));
    EXPECT_EQ(Alpha, 200);
    Form->SetAlphaBlend(false);
    EXPECT_FALSE(GetWindowLongA(H, GWL_EXSTYLE) & WS_EX_LAYERED);
    // Layered by someone else: the form leaves that alone.
    SetWindowLongA(H, GWL_EXSTYLE, GetWindowLongA(H, GWL_EXSTYLE) | WS_EX_LAYERED);
    Form->SetAlphaBlend(true);
    Form->SetAlphaBlend(false);
    EXPECT_TRUE(GetWindowLongA(H, GWL_EXSTYLE) & WS_EX_LAYERED);
    SetWindowLongA(H, GWL_EXSTYLE, GetWindowLongA(H, GWL_EXSTYLE) & ~WS_EX_LAYERED);
}

TEST_F(sSkinProviderTest, TheCompositionAttributeIsSetThroughTheLoadedLibrary) {
    BOOL Disable = TRUE;
    EXPECT_NE(CallDwmSetWindowAttribute(Form->Handle(), 3, &Disable, sizeof(Disable)), E_NOTIMPL)
        << "the entry point was found";
}

// Window animations of a skinned form

// Ticks of the hide timer come from its worker through the main thread's synchronisation.
template <class TDone>
void RunUntil(TDone Done) {
    for (int I = 0; I < 3000 && !Done(); ++I) {
        CheckSynchronize(1);
        Pump();
    }
}

TEST_F(sSkinProviderTest, HideAnimationEndsWithTheWindowHiddenAndNoTimerLeft) {
    for (bool Extended : {false, true}) {
        LoadSkin(Extended);
        Attach();
        TacFormHide* Hide = Manager->AnimEffects->FormHide;
        Hide->Active = true;
        Hide->Time = 60;
        Hide->Mode = Extended ? atAero : atFading;
        ASSERT_EQ(Provider->BorderForm != nullptr, Extended);
        Form->Hide();
        TacHideTimer* T = HideAnimationTimer;
        ASSERT_TRUE(T) << "hiding started the fade-out";
        ASSERT_TRUE(T->Form);
        HWND Anim = T->Form->Handle();
        EXPECT_TRUE(GetWindowLongA(Anim, GWL_EXSTYLE) & WS_EX_LAYERED);
        EXPECT_TRUE(IsWindowVisible(Anim)) << "the picture shows while the form is gone";
        EXPECT_FALSE(IsWindowVisible(Form->Handle()));
        EXPECT_FALSE(GetWindowLongA(Form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
        EXPECT_FALSE(AnimationInProgress);
        EXPECT_FALSE(Provider->BorderForm) << "the border window went with the form";
        EXPECT_EQ(T->StepCount, 6);
        RunUntil([&] { return !T->Form; });
        EXPECT_FALSE(T->Form);
        EXPECT_FALSE(IsWindow(Anim));
        EXPECT_FALSE(T->Snapshot);
        EXPECT_FALSE(T->WorkBitmap);
        EXPECT_EQ(T->StepIndex, T->StepCount + 1);
        EXPECT_EQ(T->Blend.SourceConstantAlpha, 0);
        EXPECT_FALSE(T->OnTimer()) << "the timer is idle";
        EXPECT_FALSE(IsWindowVisible(Form->Handle()));
        T->Free();
        EXPECT_EQ(HideAnimationTimer, nullptr);
        FreeAndNil(Provider);
        FreeAndNil(Manager);
        Form->Show();
    }
}

TEST_F(sSkinProviderTest, AHideAnimationOfNoTimeShowsNothing) {
    LoadSkin();
    Attach();
    Manager->AnimEffects->FormHide->Time = 5;
    Form->Hide();
    EXPECT_EQ(HideAnimationTimer, nullptr);
    EXPECT_FALSE(IsWindowVisible(Form->Handle()));
}

TEST_F(sSkinProviderTest, ShowAnimationEndsWithTheFormShownAndItsBorderWindowBelowIt) {
    for (bool Extended : {false, true}) {
        LoadSkin(Extended);
        Attach();
        Form->Hide();
        Pump();
        TacFormShow* Show = Manager->AnimEffects->FormShow;
        Show->Active = true;
        Show->Time = 40;
        Show->Mode = atAero;
        Form->Show();
        EXPECT_TRUE(IsWindowVisible(Form->Handle())) << Extended;
        EXPECT_FALSE(GetWindowLongA(Form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
        EXPECT_FALSE(AnimationInProgress);
        EXPECT_FALSE(Provider->Animating);
        EXPECT_FALSE(Provider->ShowAnimPending);
        EXPECT_EQ(AnimationSnapshot, nullptr);
        EXPECT_EQ(OverlayWindow, nullptr);
        if (Extended) {
            ASSERT_TRUE(Provider->BorderForm);
            EXPECT_TRUE(IsWindowVisible(Provider->BorderForm->Handle()));
            EXPECT_EQ(GetWindow(Form->Handle(), GW_HWNDNEXT), Provider->BorderForm->Handle());
        } else {
            TOwned<TBitmap> B(Print());
            EXPECT_EQ(GetPx(B.get(), Form->Width() / 2, Provider->GetCaptionHeight(false) / 2), PxOf(TitleColor))
                << "the frame is painted after the animation";
        }
        FreeAndNil(Provider);
        FreeAndNil(Manager);
    }
}

TEST_F(sSkinProviderTest, LayeredRedrawFadesToTheGivenOpacity) {
    LoadSkin();
    Attach();
    Form->SetAlphaBlend(true);
    for (TacAnimType Mode : {atFading, atAero}) {
        AnimateFormRedraw(Form, 30, 200, Mode);
        EXPECT_EQ(Form->AlphaBlendValue(), 200);
        EXPECT_EQ(OverlayWindow, nullptr);
        EXPECT_EQ(AnimationSnapshot, nullptr);
        EXPECT_FALSE(AnimationInProgress);
        EXPECT_TRUE(IsWindowVisible(Form->Handle()));
    }
}

TEST_F(sSkinProviderTest, EndingTheSessionDuringAFadeDoesNotHang) {
    LoadSkin();
    Attach();
    TsGeneralData& S = Manager->SectionList[AddSection(Manager, {"SPEEDBUTTON", 0x0000FF})];
    S.FadingEnabled = true;
    S.FadingIterations = 50;
    auto* B = Create<TsSpeedButton>(Form);
    B->SetBounds(10, 10, 40, 24);
    B->SetParent(Form);
    B->SkinData()->SetSkinSection("SPEEDBUTTON");
    ASSERT_TRUE(B->SkinData()->IsSkinned(false));
    const int Before = FadeTimerCount;
    B->Repaint();
    B->PrepareCache();
    B->SkinData()->BackgroundStale = false;
    B->Perform(CM_MOUSEENTER, 0, 0);
    ASSERT_TRUE(B->AnimTimer()) << "a fade runs";
    // A timer that never started cannot end by itself: the wait must end all the same.
    TOwned<TsFadeTimer> Stuck(Create<TsFadeTimer>(nullptr));
    ASSERT_EQ(FadeTimerCount, Before + 2);
    SendMessageA(Form->Handle(), WM_QUERYENDSESSION, 0, 0);
    EXPECT_TRUE(FadingBlocked);
    EXPECT_EQ(B->AnimTimer(), nullptr) << "the running fade ended during the wait";
    EXPECT_EQ(FadeTimerCount, Before + 1);
    SendMessageA(Form->Handle(), WM_ENDSESSION, FALSE, 0);
    EXPECT_FALSE(FadingBlocked) << "the session goes on: fades may run again";
}

// The provider's skin data speaks for the form.
TEST_F(sSkinProviderTest, TheProvidersSkinDataActsOnTheForm) {
    LoadSkin();
    Attach();
    TsCommonData* D = Provider->SkinData();
    // A custom colour is the form's own.
    Form->SetColor(0x123456);
    D->SetCustomColor(true);
    EXPECT_EQ(D->GetBackgroundColor(0, Form->Handle()), TColor(0x123456));
    D->SetCustomColor(false);
    Provider->TitleIndex = 5;
    D->SetSkinSection("DIALOG");
    EXPECT_EQ(Provider->TitleIndex, -1) << "the title image is dropped with the section";
    EXPECT_TRUE(D->BackgroundStale);
    D->SetSkinSection("FORM");
    Refresh();
    D->UpdatePlainFlag(false);
    EXPECT_EQ((D->Flags & PlainBackgroundFlag) != 0, !D->HasComplexBackground());
    D->BackgroundStale = false;
    D->BeginUpdate();
    EXPECT_TRUE(D->IsUpdating());
    EXPECT_TRUE(D->Flags & UpdatingFlag);
    InvalidateRect(Form->Handle(), nullptr, FALSE);
    D->EndUpdate(true);
    EXPECT_FALSE(D->IsUpdating());
    EXPECT_FALSE(D->Flags & UpdatingFlag);
    EXPECT_FALSE(GetUpdateRect(Form->Handle(), nullptr, FALSE)) << "the end of the update repaints at once";
    D->BackgroundStale = false;
    D->Invalidate();
    EXPECT_FALSE(GetUpdateRect(Form->Handle(), nullptr, FALSE)) << "redrawn at once";
    TOwned<TBitmap> B(Print());
    EXPECT_EQ(GetPx(B.get(), Form->Width() / 2, Provider->GetCaptionHeight(false) / 2), PxOf(TitleColor));
}

// A snapshot of the control tree made with the provider is opaque over the client area when a border
// window carries the shadow, and keeps the shadow's transparency elsewhere.
TEST_F(sSkinProviderTest, ProviderStepsOfTheControlTreeRoutines) {
    LoadSkin(true);
    Attach();
    ASSERT_TRUE(Provider->BorderForm);
    Provider->PrepareFormImage();
    TBitmap* Image = Provider->SkinData()->CacheBitmap;
    TOwned<TBitmap> Snap(NewBitmap32(Image->Width(), Image->Height()));
    PaintControlTreeTo(Snap.get(), Form, 0, 0, Provider);
    const int CX = Provider->GetClientOffsetX() + 5, CY = Provider->GetClientOffsetY() + 5;
    EXPECT_EQ(GetPx(Snap.get(), CX, CY).A, 255) << "client area opaque";
    EXPECT_EQ(GetPx(Snap.get(), 0, 0).A, GetPx(Image, 0, 0).A) << "the shadow corner keeps its transparency";
    EXPECT_LT(GetPx(Snap.get(), 0, 0).A, 255);
}


// ---------------------------------------------------------------------------------------------
// Rows of the window procedure

// Sits under the provider (installed before it) and counts what the form's own procedure gets.
struct TBelowProvider : TObject {
    TForm* Target = nullptr;
    TWndMethod Saved;
    std::vector<UINT> Seen;
    void Install(TForm* F) {
        Target = F;
        Saved = F->WindowProc;
        F->WindowProc = TWndMethod::Bind<&TBelowProvider::Proc>(this);
    }
    void Uninstall() { Target->WindowProc = Saved; }
    void Proc(TMessage& M) {
        Seen.push_back(M.Msg);
        Saved(M);
    }
    long Count(UINT Msg) const { return std::count(Seen.begin(), Seen.end(), Msg); }
};

// A pixel of the window as it shows on the screen (frame included).
TColor ScreenPixel(HWND H, int X, int Y) {
    HDC DC = GetWindowDC(H);
    COLORREF C = GetPixel(DC, X, Y);
    ReleaseDC(H, DC);
    return static_cast<TColor>(C);
}

// The client area's top-left corner in window coordinates, as the window has it.
TPoint ClientOrigin(HWND H) {
    RECT W;
    GetWindowRect(H, &W);
    POINT P{0, 0};
    ClientToScreen(H, &P);
    return TPoint{P.x - W.left, P.y - W.top};
}

// An auto-scrolling form with more to show than its window holds gets skinned bars while skinned;
// the hook goes with the skin, with the provider and with the form.
TEST_F(sSkinProviderTest, AScrollingFormsBarsArePaintedFromTheSkinWhileSkinned) {
    acSBUtilsInitialization();
    LoadSkin();
    enum Ending { SkinRemoved, ProviderFreed, FormFreed };
    for (Ending End : {SkinRemoved, ProviderFreed, FormFreed}) {
        if (!Form) {
            Form = TForm::CreateNew(nullptr);
            Form->SetBounds(50, 50, 400, 300);
        }
        Form->Hide();
        const TWndMethod Original = Form->WindowProc;
        Attach();
        SCROLLINFO SI{sizeof(SCROLLINFO), SIF_ALL, 0, 999, 100, 0, 0};
        SetScrollInfo(Form->Handle(), SB_VERT, &SI, FALSE);
        SetScrollInfo(Form->Handle(), SB_HORZ, &SI, FALSE);
        Form->Show();
        Pump();
        ASSERT_TRUE(Form->AutoScroll());
        ASSERT_NE(Provider->ScrollHook, nullptr) << End;
        EXPECT_EQ(GetScrollBarOfWindow(Form->Handle(), 1), Provider->ScrollHook->VertBar);
        const int V = Provider->ScrollBarThickness(true), H = Provider->ScrollBarThickness(false);
        EXPECT_EQ(V, GetSystemMetrics(SM_CXVSCROLL));
        EXPECT_EQ(H, GetSystemMetrics(SM_CYHSCROLL));
        // The client area starts where the provider paints it from, the bars' room not counted as frame.
        const TPoint O = ClientOrigin(Form->Handle());
        EXPECT_EQ(Provider->GetClientOffsetX(), O.X);
        EXPECT_EQ(Provider->GetClientOffsetY(), O.Y);
        EXPECT_EQ(Provider->TitleBarHeight(), O.Y);
        RECT C;
        GetClientRect(Form->Handle(), &C);
        // The tracks show the skin's scroll-bar sections (below the thumb, which stands at the top).
        RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        Pump();
        EXPECT_EQ(ScreenPixel(Form->Handle(), O.X + C.right + V / 2, O.Y + C.bottom - 30), TColor(0x0000FF));
        EXPECT_EQ(ScreenPixel(Form->Handle(), O.X + C.right - 30, O.Y + C.bottom + H / 2), TColor(0xFF0000));
        // The square between the bars sizes the form.
        EXPECT_EQ(HitAt(O.X + C.right + V / 2, O.Y + C.bottom + H / 2), HTBOTTOMRIGHT);

        if (End == SkinRemoved) {
            Manager->SetActive(false);
            Pump();
            EXPECT_EQ(Provider->ScrollHook, nullptr);
            EXPECT_EQ(GetScrollBarOfWindow(Form->Handle(), 1), nullptr);
            EXPECT_EQ(Provider->ScrollBarThickness(true), 0);
            Manager->SetActive(true);
            Pump();
            EXPECT_NE(Provider->ScrollHook, nullptr) << "the skin back, the hook back";
            FreeAndNil(Provider);
        } else if (End == ProviderFreed) {
            FreeAndNil(Provider);
        } else {
            FreeAndNil(Form);  // the provider and its hook with it
            Provider = nullptr;
            continue;
        }
        EXPECT_EQ(GetScrollBarOfWindow(Form->Handle(), 1), nullptr) << End;
        EXPECT_TRUE(Form->WindowProc == Original) << End;
        // The form works on without them.
        Form->SetCaption("still working");
        SetWindowPos(Form->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
        RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        Pump();
        EXPECT_EQ(ReadWindowText(Form->Handle()), "still working");
    }
    acSBUtilsFinalization();
}

// A wheel turn that the form leaves unanswered goes to the scroll box under the mouse, also one
// inside another windowed control; anywhere else the form's own answer stands.
TEST_F(sSkinProviderTest, AWheelOverAScrollBoxScrollsItAndElsewhereKeepsTheFormsAnswer) {
    LoadSkin();
    Attach();
    auto* Edit = Place<TEdit>(10, 10, 100, 24);
    auto* Box = Place<TScrollBox>(10, 50, 120, 100);
    auto* Panel = Place<TPanel>(200, 50, 150, 150);
    auto* Inner = Place<TScrollBox>(10, 10, 50, 50, Panel);
    std::vector<TObject*> Turned;
    bool FormAnswers = false;
    for (TScrollBox* B : {Box, Inner})
        B->OnMouseWheel = TMouseWheelEvent::FromFunction([&](TObject* Sender, TShiftState, int Delta, TPoint, bool& Handled) {
            EXPECT_EQ(Delta, -WHEEL_DELTA);
            Turned.push_back(Sender);
            Handled = true;
        });
    Form->OnMouseWheel = TMouseWheelEvent::FromFunction(
        [&](TObject*, TShiftState, int, TPoint, bool& Handled) { Handled = FormAnswers; });
    Pump();
    struct Case {
        TWinControl* Over;  // the control under the mouse (its centre)
        bool FormAnswers;
        bool Skinned;
        TObject* Target;  // the scroll box that turns, or none
        LRESULT Result;
    };
    const Case Cases[] = {
        {Box, false, true, Box, 1},     {Inner, false, true, Inner, 1},   {Panel, false, true, nullptr, 0},
        {Edit, false, true, nullptr, 0}, {Box, true, true, nullptr, 1},    {Box, false, false, Box, 1},
        {Panel, true, false, nullptr, 1},
    };
    for (const Case& K : Cases) {
        Manager->SetActive(K.Skinned);
        Pump();
        ASSERT_EQ(Provider->IsSkinned(), K.Skinned);
        FormAnswers = K.FormAnswers;
        Turned.clear();
        const TPoint P = K.Over->ClientToScreen(TPoint{K.Over->Width() / 2, K.Over->Height() / 2});
        // The focused edit takes the turn first, as the system gives it.
        LRESULT R = SendMessageA(Edit->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                                 MAKELPARAM(P.X, P.Y));
        EXPECT_EQ(R != 0, K.Result != 0) << K.Over->ClassName() << K.FormAnswers << K.Skinned;
        EXPECT_EQ(Turned, K.Target ? std::vector<TObject*>{K.Target} : std::vector<TObject*>{})
            << K.Over->ClassName() << K.FormAnswers << K.Skinned;
    }
}

// A tab control switching pages and a form that floats give the adapter its chance at controls it
// has not seen; other notifications do not.
TEST_F(sSkinProviderTest, TabChangeAndFloatingWrapControlsNotSeenYet) {
    LoadSkin();
    Manager->ThirdParty->SetString(ctButtons, "TButton");
    Manager->UpdateThirdNames(false);
    Attach();
    ASSERT_TRUE(Provider->Adapter);
    auto* Box = Place<TPanel>(10, 10, 300, 200);
    Box->HandleNeeded();
    int Row = 0;
    auto NewButton = [&] {
        auto* B = Place<TButton>(10, 10 + 26 * Row++, 80, 24, Box);
        B->HandleNeeded();
        return B;
    };
    auto Notify = [&](UINT Code) {
        NMHDR H{Box->Handle(), 0, Code};
        SendMessageA(Form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&H));
    };
    TButton* Other = NewButton();
    Notify(TCN_SELCHANGING);
    EXPECT_FALSE(GetHookOfWindow(Other->Handle())) << "not a page switch";
    TButton* Paged = NewButton();
    Notify(TCN_SELCHANGE);
    EXPECT_TRUE(GetHookOfWindow(Paged->Handle()));
    TButton* Floated = NewButton();
    ASSERT_FALSE(GetHookOfWindow(Floated->Handle()));
    Form->Perform(CM_FLOAT, 0, 0);
    EXPECT_TRUE(GetHookOfWindow(Floated->Handle()));
}

// A windowed control that comes onto the skinned form with its window is wrapped as it arrives.
TEST_F(sSkinProviderTest, AControlMovedOntoTheFormIsWrapped) {
    LoadSkin();
    Manager->ThirdParty->SetString(ctButtons, "TButton");
    Manager->UpdateThirdNames(false);
    Attach();
    TForm* Elsewhere = TForm::CreateNew(nullptr);
    Elsewhere->Show();
    auto* B = Create<TButton>(Elsewhere);
    B->SetParent(Elsewhere);
    B->HandleNeeded();
    ASSERT_FALSE(GetHookOfWindow(B->Handle()));
    B->SetParent(Form);
    B->HandleNeeded();
    EXPECT_TRUE(GetHookOfWindow(B->Handle()));
    FreeAndNil(Elsewhere);
}

// A menu change while the form's skin data updates waits for the end of the update.
TEST_F(sSkinProviderTest, AMenuChangeDuringAnUpdateReachesTheFormWhenItEnds) {
    LoadSkin();
    TBelowProvider Below;
    Below.Install(Form);
    Attach();
    TsCommonData* D = Provider->SkinData();
    D->BeginUpdate();
    Form->Perform(CM_MENUCHANGED, 0, 0);
    EXPECT_EQ(Below.Count(CM_MENUCHANGED), 0);
    EXPECT_TRUE(D->Flags & 0x400);
    D->EndUpdate(false);
    EXPECT_FALSE(D->Flags & 0x400);
    EXPECT_EQ(Below.Count(CM_MENUCHANGED), 1) << "replayed at the end of the update";
    D->BackgroundStale = false;
    Provider->FrameStale = false;
    Form->Perform(CM_MENUCHANGED, 0, 0);
    EXPECT_EQ(Below.Count(CM_MENUCHANGED), 2);
    EXPECT_TRUE(D->BackgroundStale);
    EXPECT_TRUE(Provider->FrameStale);
    FreeAndNil(Provider);
    Below.Uninstall();
}

// Around a scroll of a child the form stops drawing, and then paints everything again at once.
TEST_F(sSkinProviderTest, ScrollCommandsStopAndRestoreTheFormsDrawing) {
    LoadSkin();
    Attach();
    HWND H = Form->Handle();
    const int X = Provider->GetClientOffsetX() + 20, Y = Provider->GetClientOffsetY() + 20;
    ASSERT_EQ(ScreenPixel(H, X, Y), FormSectionColor);
    // Scribbled over; nothing asks for a repaint.
    HDC DC = GetWindowDC(H);
    FillRectSolid(DC, TRect{X - 5, Y - 5, X + 5, Y + 5}, 0x0000FF);
    ReleaseDC(H, DC);
    ValidateRect(H, nullptr);
    ASSERT_EQ(ScreenPixel(H, X, Y), TColor(0x0000FF));
    SendMessageA(H, SM_ALPHACMD, SkinCommandParam(SKIN_BEFORESCROLL), 0);
    EXPECT_FALSE(GetWindowLongA(H, GWL_STYLE) & WS_VISIBLE) << "drawing is off";
    EXPECT_EQ(Provider->CoverLock, 1);
    SendMessageA(H, SM_ALPHACMD, SkinCommandParam(SKIN_AFTERSCROLL), 0);
    EXPECT_TRUE(GetWindowLongA(H, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(Provider->CoverLock, 0);
    EXPECT_EQ(ScreenPixel(H, X, Y), FormSectionColor) << "painted again at once";
}

// A new icon does not bring the system's caption over the skinned one.
TEST_F(sSkinProviderTest, SettingTheIconKeepsTheSkinnedTitle) {
    LoadSkin();
    Attach();
    HWND H = Form->Handle();
    const int X = Form->Width() / 2, Y = 2;
    ASSERT_EQ(ScreenPixel(H, X, Y), TitleColor);
    HICON Icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32516));
    SendMessageA(H, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(Icon));
    EXPECT_EQ(ScreenPixel(H, X, Y), TitleColor);
    EXPECT_TRUE(GetWindowLongA(H, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(Provider->CoverLock, 0);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(H, WM_GETICON, ICON_SMALL, 0)), Icon) << "the icon is set";
}

TEST_F(sSkinProviderTest, RepaintOnMoveMakesTheImageAtOnce) {
    LoadSkin();
    Attach();
    TsCommonData* D = Provider->SkinData();
    D->BackgroundStale = true;
    SendMessageA(Form->Handle(), SM_ALPHACMD, SkinCommandParam(SKIN_SETREPAINTONMOVE, 1), 0);
    EXPECT_TRUE(D->RepaintOnMove);
    EXPECT_FALSE(D->BackgroundStale) << "the image was painted";
    SendMessageA(Form->Handle(), SM_ALPHACMD, SkinCommandParam(SKIN_SETREPAINTONMOVE, 0), 0);
    EXPECT_FALSE(D->RepaintOnMove);
}

// The mouse entering one speed button takes the hot look from the others; moving over the form or
// leaving it clears the manager's hot window.
TEST_F(sSkinProviderTest, MouseEnterAndMovesClearOtherHotLooks) {
    LoadSkin();
    Attach();
    auto* A = Place<TsSpeedButton>(10, 10, 40, 24);
    auto* B = Place<TsSpeedButton>(60, 10, 40, 24);
    A->SkinData()->MouseOver = true;
    B->SkinData()->MouseOver = true;
    Form->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(B));
    EXPECT_FALSE(A->SkinData()->MouseOver);
    EXPECT_TRUE(B->SkinData()->MouseOver) << "the button entered stays hot";
    for (UINT Msg : {UINT(WM_MOUSEMOVE), UINT(WM_MOUSELEAVE)}) {
        Manager->HotWindow = Form->Handle();
        SendMessageA(Form->Handle(), Msg, 0, MAKELPARAM(5, 5));
        EXPECT_EQ(Manager->HotWindow, nullptr) << Msg;
    }
}

// With a border window, the end of a move or size repaints the dialogs the dialog hook skins.
TEST_F(sSkinProviderTest, TheEndOfAMoveRepaintsTheSkinnedDialogs) {
    LoadSkin(true);
    Attach();
    ASSERT_TRUE(Provider->BorderForm);
    TForm* Dialog = TForm::CreateNew(nullptr);
    auto* Panel = Create<TSkinTestPanel>(Dialog);
    Panel->SetParent(Dialog);
    Dialog->Show();
    Panel->Commands.clear();
    TFakeDialogProvider Link;
    Link.Wnd = Panel->Handle();
    std::vector<TacDialogProviderLink*> List{&Link};
    DialogProviders = &List;
    SendMessageA(Form->Handle(), WM_EXITSIZEMOVE, 0, 0);
    Provider->SetAllowExtBorders(false);
    SendMessageA(Form->Handle(), WM_EXITSIZEMOVE, 0, 0);
    DialogProviders = nullptr;
    EXPECT_EQ(Panel->Commands, std::vector<Word>{SKIN_REPAINTNOW}) << "only while there is a border window";
    FreeAndNil(Dialog);
}

// A form shown inside another window loses a plain background it was given.
TEST_F(sSkinProviderTest, AFormShownInsideAWindowTakesTheSkinsBackground) {
    LoadSkin();
    Attach();
    TForm* Inner = TForm::CreateNew(nullptr);
    Inner->SetBorderStyle(bsNone);
    Inner->SetParent(Form);
    Inner->SetBounds(10, 10, 100, 80);
    auto* InnerProvider = Create<TsSkinProvider>(Inner);
    Inner->Show();
    Pump();
    InnerProvider->SkinData()->Flags |= PlainBackgroundFlag;
    Inner->Hide();
    EXPECT_TRUE(InnerProvider->SkinData()->Flags & PlainBackgroundFlag) << "hiding keeps it";
    Inner->Show();
    EXPECT_FALSE(InnerProvider->SkinData()->Flags & PlainBackgroundFlag);
    // A skin refresh does the same.
    InnerProvider->SkinData()->Flags |= PlainBackgroundFlag;
    SendSkinCommand(Inner->Handle(), SKIN_REFRESH, reinterpret_cast<LPARAM>(Manager));
    EXPECT_FALSE(InnerProvider->SkinData()->Flags & PlainBackgroundFlag);
    FreeAndNil(Inner);
}

// ResizeMode rmBorder: the form stays where it is while a frame follows the mouse, and takes the
// frame's place and size when the button is released.
class BorderDragTest : public sSkinProviderTest {
protected:
    void SetUp() override {
        sSkinProviderTest::SetUp();
        LoadSkin();
        Attach();
        Provider->ResizeMode = rmBorder;
        GetWindowRect(Form->Handle(), &Start);
    }
    // Presses at window point (X, Y) with the given hit code and moves by (DX, DY); Release ends it.
    void Press(int Code, int X, int Y) {
        Pressed = POINT{Start.left + X, Start.top + Y};
        SendMessageA(Form->Handle(), WM_NCLBUTTONDOWN, Code, MAKELPARAM(Pressed.x, Pressed.y));
    }
    void MoveBy(int DX, int DY) {
        POINT P{Pressed.x + DX, Pressed.y + DY};
        ScreenToClient(Form->Handle(), &P);
        SendMessageA(Form->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(P.x, P.y));
    }
    void Release() {
        SendMessageA(Form->Handle(), WM_LBUTTONUP, 0, 0);
        Pump();
    }
    RECT Now() {
        RECT R;
        GetWindowRect(Form->Handle(), &R);
        return R;
    }
    RECT Start{};
    POINT Pressed{};
};

TEST_F(BorderDragTest, ACaptionDragMovesTheFormOnlyOnRelease) {
    Press(HTCAPTION, Form->Width() / 2, 8);
    EXPECT_TRUE(DragActive);
    EXPECT_EQ(GetCapture(), Form->Handle());
    MoveBy(10, 5);
    MoveBy(30, 20);
    EXPECT_EQ(Now().left, Start.left) << "only the frame moves meanwhile";
    Release();
    EXPECT_FALSE(DragActive);
    EXPECT_EQ(GetCapture(), nullptr);
    RECT R = Now();
    EXPECT_EQ(R.left, Start.left + 30);
    EXPECT_EQ(R.top, Start.top + 20);
    EXPECT_EQ(R.right - R.left, Start.right - Start.left);
    EXPECT_EQ(R.bottom - R.top, Start.bottom - Start.top);
}

TEST_F(BorderDragTest, EachBorderSizesItsOwnSides) {
    const int W = Start.right - Start.left, H = Start.bottom - Start.top;
    struct Case {
        int Code, DX, DY;
        RECT Expected;  // change of left, top, right, bottom
    };
    for (const Case& C : {Case{HTLEFT, -20, 7, {-20, 0, 0, 0}}, Case{HTRIGHT, 25, 7, {0, 0, 25, 0}},
                          Case{HTTOP, 5, -15, {0, -15, 0, 0}}, Case{HTBOTTOM, 5, 18, {0, 0, 0, 18}},
                          Case{HTTOPLEFT, 10, 12, {10, 12, 0, 0}}, Case{HTBOTTOMRIGHT, -10, -12, {0, 0, -10, -12}}}) {
        GetWindowRect(Form->Handle(), &Start);
        Press(C.Code, W / 2, H / 2);
        MoveBy(C.DX, C.DY);
        Release();
        RECT R = Now();
        EXPECT_EQ(R.left - Start.left, C.Expected.left) << C.Code;
        EXPECT_EQ(R.top - Start.top, C.Expected.top) << C.Code;
        EXPECT_EQ(R.right - Start.right, C.Expected.right) << C.Code;
        EXPECT_EQ(R.bottom - Start.bottom, C.Expected.bottom) << C.Code;
    }
}

TEST_F(BorderDragTest, ASizeNeverGoesBelowTheConstraints) {
    Form->Constraints()->SetMinWidth(200);
    Form->Constraints()->SetMinHeight(150);
    Press(HTBOTTOMRIGHT, 10, 10);
    MoveBy(-1000, -1000);
    Release();
    RECT R = Now();
    EXPECT_EQ(R.right - R.left, 200);
    EXPECT_EQ(R.bottom - R.top, 150);
    EXPECT_EQ(R.left, Start.left);
    GetWindowRect(Form->Handle(), &Start);
    Press(HTLEFT, 0, 10);
    MoveBy(500, 0);
    Release();
    R = Now();
    EXPECT_EQ(R.right - R.left, 200) << "the left border stops the minimum width left of the right one";
    EXPECT_EQ(R.right, Start.right);
}

TEST_F(BorderDragTest, APressOnAPlainBorderOrAMaximisedCaptionStartsNoDrag) {
    Press(HTBORDER, 0, 10);
    EXPECT_FALSE(DragActive);
    EXPECT_NE(GetCapture(), Form->Handle());
    ShowWindow(Form->Handle(), SW_MAXIMIZE);
    GetWindowRect(Form->Handle(), &Start);
    Press(HTCAPTION, 40, 4);
    EXPECT_FALSE(DragActive) << "a maximised form is not dragged";
    ShowWindow(Form->Handle(), SW_RESTORE);
}

// The frame image after many resizes, growing and shrinking, is the image of a form opened at the
// final size: nothing of an earlier size shows through, on the screen or in the image.
// The part of the client area a WM_SIZE leaves to repaint, in client coordinates, for the window's
// real size after LastClientRect says it was Old.
TRect SizeUpdate(TsSkinProvider* P, const TRect& Old) {
    HWND H = P->Form->Handle();
    RECT C;
    GetClientRect(H, &C);
    P->LastClientRect = Old;
    ValidateRect(H, nullptr);
    SendMessageA(H, WM_SIZE, SIZE_RESTORED, MAKELPARAM(C.right, C.bottom));
    HRGN Rgn = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(H, Rgn, FALSE);
    RECT B;
    GetRgnBox(Rgn, &B);
    DeleteObject(Rgn);
    return TRect{B.left, B.top, B.right, B.bottom};
}

TEST_F(sSkinProviderTest, ASizeChangeRepaintsTheGripWhereItWasAndWhereItGoes) {
    LoadSkin();
    const int Grip = Manager->FindMaskIndexBySection("GLOBALINFO", "GRIPIMAGE");
    ASSERT_GE(Grip, 0);
    const int GW = GetMaskImageWidth(Manager->MaskList[Grip]), GH = GetMaskImageHeight(Manager->MaskList[Grip]);
    ASSERT_EQ(GW, 12);
    Attach();
    RECT C;
    GetClientRect(Form->Handle(), &C);
    const TRect Bigger{0, 0, C.right + 20, C.bottom + 10}, Smaller{0, 0, C.right - 20, C.bottom - 10};
    struct Case {
        TsGripMode Mode;
        TRect Old, Repainted;
    } Cases[] = {
        {gmRightBottom, Bigger, {C.right - GW, C.bottom - GH, C.right, C.bottom}},
        {gmRightBottom, Smaller, {Smaller.Right - GW, Smaller.Bottom - GH, Smaller.Right, Smaller.Bottom}},
        {gmRightBottom, TRect{}, TRect{}},
        {gmNone, Bigger, TRect{}},
    };
    for (const Case& K : Cases) {
        Provider->GripMode = K.Mode;
        EXPECT_EQ(SizeUpdate(Provider, K.Old), K.Repainted) << "from " << K.Old.Right << "x" << K.Old.Bottom;
    }
}

TEST_F(sSkinProviderTest, AShrinkingFormRepaintsItsRightCornerImagesWhereTheyWere) {
    // The frame skin with images in the form's right corners.
    testing_support::TempDir Temp;
    const std::string Source = testing_support::SourceDir() + "tests\\skins\\frames\\skin\\FrameTest\\";
    CreateDirectoryA((Temp / "Corners").c_str(), nullptr);
    CopyFileA((Source + "MASTER.BMP").c_str(), (Temp / "Corners\\MASTER.BMP").c_str(), FALSE);
    std::ifstream In(Source + "Options.dat", std::ios::binary);
    std::string Text((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    Text.replace(Text.find("[FORM]\n"), 7, "[FORM]\nIMGTOPRIGHT=@0060 0040 0070 0046 1 0\nIMGBTMRIGHT=@0070 0040 0078 0044 1 0\n");
    std::ofstream((Temp / "Corners\\Options.dat"), std::ios::binary) << Text;
    Folder = Temp.Path();
    LoadSkin(false, "Corners");
    Attach();
    ASSERT_GE(Provider->SkinData()->Section().ImgTR, 0);
    RECT C;
    GetClientRect(Form->Handle(), &C);
    // Both images are placed at the old bottom-right corner, the larger (10 x 6) bounds the repaint,
    // and what still lies in the client area is repainted.
    EXPECT_EQ(SizeUpdate(Provider, TRect{0, 0, C.right + 4, C.bottom + 2}),
              (TRect{C.right - 6, C.bottom - 4, C.right, C.bottom}));
    EXPECT_EQ(SizeUpdate(Provider, TRect{0, 0, C.right - 20, C.bottom - 10}), TRect{}) << "growing repaints nothing";
}

// Which window lies over the form's title bar whenever the form's own procedure gets a caption
// message.
struct TCoverRecorder : TObject {
    TWndMethod Own;
    HWND Form = nullptr;
    std::vector<std::pair<UINT, TRect>> Covers;
    void Proc(TMessage& Message) {
        if (Message.Msg == WM_SETTEXT || Message.Msg == WM_NCACTIVATE) {
            RECT R;
            GetWindowRect(Form, &R);
            HWND Over = WindowFromPoint(POINT{(R.left + R.right) / 2, R.top + 3});
            RECT C{};
            if (Over != Form)
                GetWindowRect(Over, &C);
            Covers.emplace_back(Message.Msg, TRect{C.left, C.top, C.right, C.bottom});
        }
        Own(Message);
    }
};

TEST_F(sSkinProviderTest, TheSystemsCaptionIsDrawnUnderACoverAndTheSkinnedTitleStays) {
    LoadSkin();
    TCoverRecorder Rec;
    Rec.Form = Form->Handle();
    Rec.Own = Form->WindowProc;
    Form->WindowProc = TWndMethod::Bind<&TCoverRecorder::Proc>(&Rec);
    Attach();
    Rec.Covers.clear();
    Form->SetCaption("Renamed");
    SendMessageA(Form->Handle(), WM_NCACTIVATE, FALSE, 0);
    SendMessageA(Form->Handle(), WM_NCACTIVATE, TRUE, 0);
    RECT R;
    GetWindowRect(Form->Handle(), &R);
    const TRect Title{R.left, R.top, R.right, R.top + Provider->TitleBarHeight()};
    using C = std::pair<UINT, TRect>;
    EXPECT_EQ(Rec.Covers, (std::vector<C>{{WM_SETTEXT, Title}, {WM_NCACTIVATE, Title}, {WM_NCACTIVATE, Title}}));
    Pump();
    const POINT P{(R.left + R.right) / 2, R.top + 2};
    EXPECT_EQ(WindowFromPoint(P), Form->Handle()) << "the cover is gone";
    HDC Screen = GetDC(nullptr);
    EXPECT_EQ(GetPixel(Screen, P.x, P.y), COLORREF(TitleColor)) << "the skinned title on screen";
    ReleaseDC(nullptr, Screen);
    FreeAndNil(Provider);
    Form->WindowProc = Rec.Own;
}

TEST_F(sSkinProviderTest, AfterResizesTheImageIsThatOfAFormOpenedAtItsSize) {
    struct TShot {
        std::vector<TPx> Printed, Image;
    };
    auto Shoot = [&] {
        TShot S;
        // Both in the active look.
        SetForegroundWindow(Form->Handle());
        Pump();
        EXPECT_TRUE(Provider->FormActive);
        TOwned<TBitmap> P(Print());
        for (int Y = 0; Y < P->Height(); ++Y)
            for (int X = 0; X < P->Width(); ++X)
                S.Printed.push_back(GetPx(P.get(), X, Y));
        TBitmap* Image = Provider->SkinData()->CacheBitmap;
        for (int Y = 0; Y < Image->Height(); ++Y)
            for (int X = 0; X < Image->Width(); ++X)
                S.Image.push_back(GetPx(Image, X, Y));
        return S;
    };
    for (bool Extended : {false, true}) {
        LoadSkin(Extended);
        Attach();
        for (int I = 0; I < 12; ++I) {
            Form->SetBounds(50, 50, 300 + I % 5 * 37, 220 + I % 4 * 29);
            UpdateWindow(Form->Handle());
            Pump();
        }
        Form->SetBounds(50, 50, 351, 262);
        UpdateWindow(Form->Handle());
        Pump();
        const TShot Resized = Shoot();
        FreeAndNil(Provider);
        FreeAndNil(Form);
        Form = TForm::CreateNew(nullptr);
        Form->SetBounds(50, 50, 351, 262);
        Form->SetCaption("Skinned");
        Form->Show();
        Attach();
        const TShot Fresh = Shoot();
        EXPECT_EQ(Resized.Printed.size(), Fresh.Printed.size());
        EXPECT_TRUE(Resized.Printed == Fresh.Printed) << "printed, extended borders " << Extended;
        EXPECT_EQ(Resized.Image.size(), Fresh.Image.size());
        EXPECT_TRUE(Resized.Image == Fresh.Image) << "image, extended borders " << Extended;
        FreeAndNil(Provider);
        FreeAndNil(Manager);
    }
}

// A double click on the title icon closes the form; only a system menu loop (no skinned popups)
// leaves the form's drawing held meanwhile.
TEST_F(sSkinProviderTest, ADoubleClickOnTheIconClosesTheForm) {
    LoadSkin();
    Attach();
    TOwned<TCloseRecorder> Recorder(new TCloseRecorder);
    Form->OnClose = TCloseEvent::Bind<&TCloseRecorder::FormClose>(Recorder.get());
    for (bool Skinned : {true, false}) {
        Manager->SkinnedPopups = Skinned;
        Provider->SkinData()->InUpdate = false;
        SendMessageA(Form->Handle(), WM_NCLBUTTONDBLCLK, HTSYSMENU, 0);
        EXPECT_EQ(Provider->SkinData()->InUpdate, !Skinned);
    }
    EXPECT_EQ(Recorder->Closes, 2);
    // Without skinned popups a press on the icon waits for a second click before the menu drops;
    // the double click closes the form and no menu shows.
    Provider->SkinData()->InUpdate = false;
    PostMessageA(Form->Handle(), WM_NCLBUTTONDBLCLK, HTSYSMENU, 0);
    SendMessageA(Form->Handle(), WM_NCLBUTTONDOWN, HTSYSMENU, 0);
    EXPECT_EQ(Recorder->Closes, 3);
    EXPECT_TRUE(Provider->SkinData()->InUpdate);
    Provider->SkinData()->InUpdate = false;
    Form->OnClose = TCloseEvent();
}

}  // namespace
