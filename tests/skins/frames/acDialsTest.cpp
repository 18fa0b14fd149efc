// The dialog hook on real windows: system message boxes opened while a default manager with the
// dialog skin of these tests is active, inspected from a timer inside the box's own message loop
// (the skin's mark on the dialog and its buttons, the caption buttons' hit codes, a nested box left
// standard), the providers let go once the boxes are gone, the brush of the dialog background over
// many boxes; the window menu of a box; and which forms the hook gives a provider.
#include "../engine/SkinPixelSupport.h"

#include "TestSupport.h"

#include "acBorderForm.h"
#include "acDials.h"
#include "acSBAnimation.h"
#include "sGlyphUtils.h"
#include "sGraphUtils.h"
#include "sSkinMenus.h"
#include "sSkinProvider.h"

#include <functional>

using namespace skintests;

namespace {

// What a timer inside a message box saw, and the routine that looks.
struct TBoxVisit {
    std::function<void(HWND Box)> Look;
    UINT Type = MB_OK;
    bool ClosesItself = false;  // Look closes the box; the timer's OK only if it did not
    bool Seen = false;
    int Answer = 0;
};
TBoxVisit* Visit = nullptr;
const char* const BoxCaption = "Skinned box";

// Timer messages come only when nothing is posted: a box that closes itself has done so by then.
VOID CALLBACK CloseLeftoverBox(HWND, UINT, UINT_PTR Id, DWORD) {
    KillTimer(nullptr, Id);
    if (HWND Box = FindWindowA("#32770", BoxCaption))
        PostMessageA(Box, WM_COMMAND, IDOK, 0);
}

VOID CALLBACK LookAtBox(HWND, UINT, UINT_PTR Id, DWORD) {
    HWND Box = FindWindowA("#32770", BoxCaption);
    if (!Box || !IsWindowVisible(Box))
        return;  // not up yet: the timer fires again
    KillTimer(nullptr, Id);
    Visit->Seen = true;
    Visit->Look(Box);
    if (Visit->ClosesItself)
        SetTimer(nullptr, 0, 20, CloseLeftoverBox);
    else
        PostMessageA(Box, WM_COMMAND, IDOK, 0);
}

VOID CALLBACK OpenBox(HWND, UINT, UINT_PTR Id, DWORD) {
    KillTimer(nullptr, Id);
    SetTimer(nullptr, 0, 20, LookAtBox);
    Visit->Answer = MessageBoxA(nullptr, "A message", BoxCaption, Visit->Type);
}

class acDialsTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        sGraphUtilsInitialization();
        sGlyphUtilsInitialization();
        acDialsInitialization();
    }
    void TearDown() override {
        SkinTest::TearDown();
        acDialsFinalization();
        sGlyphUtilsFinalization();
    }
    // The frame skin has an extended-border image; ExtendedBorders asks the manager for the border
    // windows.
    void LoadSkin(const char* Name = "DialogTest", bool ExtendedBorders = false) {
        Manager = Create<TsSkinManager>(nullptr);
        Manager->SetExtendedBorders(ExtendedBorders);
        // Forms only where a test asks for them: a provider the hook gave the program's main form
        // (activated when a box closes) would outlive this test's manager.
        Manager->SkinningRules = TacSkinningRules{srStdDialogs};
        Manager->SkinDirectory = testing_support::SourceDir() + "tests\\skins\\frames\\skin";
        Manager->SetSkinName(Name);
        ASSERT_TRUE(Manager->SkinData->SkinActive);
        ASSERT_TRUE(DialogHookHandle) << "the default manager installs the hook with its skin";
    }
    // A message box opened from a timer; Look runs inside its message loop while it shows. A box
    // expected to answer other than OK is to be closed by Look itself.
    void RunBox(const std::function<void(HWND)>& Look, UINT Type = MB_OK, int Expected = IDOK) {
        TBoxVisit V;
        V.Look = Look;
        V.Type = Type;
        V.ClosesItself = Expected != IDOK;
        Visit = &V;
        SetTimer(nullptr, 0, 10, OpenBox);
        for (int I = 0; I < 2000 && V.Answer == 0; ++I) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            Pump();
        }
        Visit = nullptr;
        ASSERT_TRUE(V.Seen) << "the box showed";
        EXPECT_EQ(V.Answer, Expected);
    }
    // A window destroyed: the hook's next chance to free providers whose dialog went.
    static void DestroySomeWindow() {
        HWND W = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        DestroyWindow(W);
    }
    // Providers of dialogs (the test form may hold one of its own).
    static int LiveProviders() {
        int N = 0;
        for (std::size_t I = 0; DialogProviders && I < DialogProviders->size(); ++I)
            if (auto* P = dynamic_cast<TacProvider*>((*DialogProviders)[I]))
                N += P->FormProvider == nullptr;
        return N;
    }
};

TEST_F(acDialsTest, ABoxFadesInAndOutWithTheManagersDialogAnimations) {
    LoadSkin();
    Manager->AnimEffects->DialogShow->Time = 40;
    Manager->AnimEffects->DialogShow->Mode = atFading;
    Manager->AnimEffects->DialogHide->Time = 40;
    Manager->AnimEffects->DialogHide->Mode = atAero;
    HideAnimationTimer = nullptr;
    RunBox([&](HWND Box) {
        EXPECT_EQ(LibraryForms(), 0) << "the show's animation window went at its end";
        EXPECT_FALSE(AnimationInProgress);
        EXPECT_TRUE(IsWindowVisible(Box));
        EXPECT_FALSE(GetWindowLongA(Box, GWL_EXSTYLE) & WS_EX_LAYERED);
    });
    TacHideTimer* T = HideAnimationTimer;
    ASSERT_TRUE(T) << "closing the box started its fade-out";
    EXPECT_EQ(T->StepCount, 4);
    for (int I = 0; I < 200 && T->Form; ++I) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        CheckSynchronize(1);
        Pump();
    }
    EXPECT_FALSE(T->Form) << "the last frame freed the animation window";
    EXPECT_FALSE(T->Snapshot);
    EXPECT_EQ(LibraryForms(), 0);
    EXPECT_FALSE(AnimationInProgress);
    T->Free();
}

// With a border window the fade-out plays the whole frame image where the border window was, its
// shadow still translucent.
TEST_F(acDialsTest, ABorderedBoxFadesOutWhereItsBorderWindowWas) {
    LoadSkin("FrameTest", true);
    Manager->AnimEffects->DialogShow->Active = false;
    Manager->AnimEffects->DialogHide->Time = 40;
    Manager->AnimEffects->DialogHide->Mode = atFading;
    HideAnimationTimer = nullptr;
    RECT Border{};
    RunBox([&](HWND Box) {
        TacProvider* P = FindDialogProvider(Box);
        ASSERT_TRUE(P && P->DialogWnd && P->DialogWnd->BorderForm && P->DialogWnd->BorderForm->Handle());
        GetWindowRect(P->DialogWnd->BorderForm->Handle(), &Border);
    });
    TacHideTimer* T = HideAnimationTimer;
    ASSERT_TRUE(T && T->Form && T->Snapshot) << "closing the box started its fade-out";
    RECT A;
    GetWindowRect(T->Form->Handle(), &A);
    EXPECT_EQ(A.left, Border.left);
    EXPECT_EQ(A.top, Border.top);
    EXPECT_EQ(A.right - A.left, Border.right - Border.left);
    auto AlphaAt = [&](int X, int Y) { return int(static_cast<const Byte*>(T->Snapshot->ScanLine(Y))[X * 4 + 3]); };
    EXPECT_LT(AlphaAt(0, 0), 255) << "the shadow's corner";
    EXPECT_EQ(AlphaAt(T->Snapshot->Width() / 2, T->Snapshot->Height() / 2), 255) << "the body";
    for (int I = 0; I < 200 && T->Form; ++I) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        CheckSynchronize(1);
        Pump();
    }
    EXPECT_FALSE(T->Form);
    EXPECT_EQ(LibraryForms(), 0);
    T->Free();
}

TEST_F(acDialsTest, AMessageBoxFromATimerIsSkinnedAndLetGoAfterClosing) {
    LoadSkin();
    HWND SeenBox = nullptr;
    RunBox([&](HWND Box) {
        SeenBox = Box;
        EXPECT_TRUE(GetPropA(Box, HookPropName)) << "the dialog carries the skin's mark";
        HWND Button = FindWindowExA(Box, nullptr, "Button", nullptr);
        ASSERT_TRUE(Button);
        EXPECT_TRUE(GetPropA(Button, HookPropName)) << "so does its button";
        EXPECT_EQ(SendMessageA(Box, SM_ALPHACMD, MAKEWPARAM(0, SKIN_ISSKINNED), 0), 1);
        EXPECT_FALSE(GetWindowLongA(Box, GWL_STYLE) & WS_SYSMENU) << "the skin draws the caption buttons";
        TacProvider* P = FindDialogProvider(Box);
        ASSERT_TRUE(P && P->DialogWnd);
        const TRect& Close = P->DialogWnd->BtnClose.Rect;
        ASSERT_GT(Close.Right, Close.Left) << "the close button was laid out";
        RECT W;
        GetWindowRect(Box, &W);
        LPARAM At = MAKELPARAM(W.left + (Close.Left + Close.Right) / 2, W.top + (Close.Top + Close.Bottom) / 2);
        EXPECT_EQ(SendMessageA(Box, WM_NCHITTEST, 0, At), HTCLOSE);
        EXPECT_EQ(SendMessageA(Box, WM_GETDLGCODE, 0, 0), 0);
        // The background brush is made once for the skin's colour, not once per question.
        auto B1 = reinterpret_cast<HBRUSH>(SendMessageA(Box, WM_CTLCOLORDLG, 0, 0));
        auto B2 = reinterpret_cast<HBRUSH>(SendMessageA(Box, WM_CTLCOLORDLG, 0, 0));
        EXPECT_EQ(B1, B2);
        LOGBRUSH LB{};
        ASSERT_EQ(GetObjectA(B1, sizeof(LB), &LB), static_cast<int>(sizeof(LB)));
        EXPECT_EQ(LB.lbColor, static_cast<COLORREF>(Manager->GetMainColor()));
    });
    EXPECT_FALSE(IsWindow(SeenBox));
    DestroySomeWindow();
    EXPECT_FALSE(FindDialogProvider(SeenBox)) << "no provider stays on the dead window";
    EXPECT_EQ(LiveProviders(), 0);
}

std::function<void()> InnerBoxCheck;

void CALLBACK CheckInnerBox(HWND, UINT, UINT_PTR Id, DWORD) {
    KillTimer(nullptr, Id);
    InnerBoxCheck();
}

TEST_F(acDialsTest, ABoxOpenedWhileASkinnedBoxShowsKeepsTheStandardLook) {
    LoadSkin();
    bool InnerSkinned = true, InnerSeen = false;
    RunBox([&](HWND Outer) {
        // The inner box is looked at by a timer inside its own loop.
        InnerBoxCheck = [&] {
            HWND Box = nullptr;
            for (HWND W = FindWindowExA(nullptr, nullptr, "#32770", "Inner box"); W;
                 W = FindWindowExA(nullptr, W, "#32770", "Inner box"))
                Box = W;
            if (!Box)
                return;
            InnerSeen = true;
            InnerSkinned = GetPropA(Box, HookPropName) != nullptr;
            PostMessageA(Box, WM_COMMAND, IDOK, 0);
        };
        SetTimer(nullptr, 0, 20, CheckInnerBox);
        MessageBoxA(Outer, "Nested", "Inner box", MB_OK);
    });
    EXPECT_TRUE(InnerSeen);
    EXPECT_FALSE(InnerSkinned);
}

// The system here does not count a process's GDI objects (GetGuiResources answers 0), so each box's
// background brush is followed instead: it must be gone with its box.
TEST_F(acDialsTest, TwentyBoxesLeaveNoBrushBehind) {
    LoadSkin();
    std::vector<HBRUSH> Brushes;
    for (int I = 0; I < 20; ++I)
        RunBox([&](HWND Box) {
            Brushes.push_back(reinterpret_cast<HBRUSH>(SendMessageA(Box, WM_CTLCOLORDLG, 0, 0)));
        });
    DestroySomeWindow();
    ASSERT_EQ(Brushes.size(), 20u);
    for (HBRUSH B : Brushes)
        EXPECT_EQ(GetObjectType(B), 0u) << "each box's brush went with its box";
    EXPECT_EQ(LiveProviders(), 0);
}

// The frame of a box under a skin with extended borders lies in a border window around it: there
// while the box shows, answering for the frame (caption, close button, a sizable dialog's edges) and
// letting the shadow through, gone with the box; nothing of it stays after several boxes.
TEST_F(acDialsTest, ABoxsExtendedBorderWindowLivesAndAnswersWhileTheBoxShows) {
    LoadSkin("FrameTest", true);
    const TRect M = Manager->ExBorderMargins;
    ASSERT_GT(M.Left, 0);
    ASSERT_GT(M.Top, 0);
    std::vector<HWND> BorderWindows;
    std::vector<HBITMAP> Images;
    for (int Box = 0; Box < 4; ++Box) {
        // The last box is closed with a click on its close button, which lies in the border window.
        const bool CloseByButton = Box == 3;
        RunBox([&](HWND Box) {
            TacProvider* P = FindDialogProvider(Box);
            ASSERT_TRUE(P && P->DialogWnd);
            TacDialogWnd* D = P->DialogWnd;
            ASSERT_TRUE(D->BorderForm) << "the manager asks for extended borders";
            TacBorderForm* Border = D->BorderForm;
            HWND BH = Border->Handle();
            ASSERT_TRUE(BH);
            EXPECT_TRUE(IsWindowVisible(BH));
            EXPECT_EQ(GetWindowLongA(BH, GWL_EXSTYLE) & WS_EX_LAYERED, WS_EX_LAYERED);
            BorderWindows.push_back(BH);
            TBitmap* Image = D->SkinData->CacheBitmap;
            ASSERT_TRUE(Image);
            Images.push_back(Image->Handle());
            EXPECT_EQ(Image->PixelFormat(), pf32bit);
            EXPECT_EQ(GetPx(Image, Image->Width() / 2, Image->Height() / 2).A, 255) << "the body is opaque";
            EXPECT_LT(GetPx(Image, M.Left, M.Top).A, 255) << "the frame's cut corner shows the shadow under it";
            RECT B, W;
            GetWindowRect(BH, &B);
            GetWindowRect(Box, &W);
            EXPECT_EQ(B.right - B.left, Image->Width());
            EXPECT_LT(B.left, W.left) << "the border window lies around the box";
            EXPECT_GT(B.right, W.right);
            EXPECT_LT(B.top, W.top);
            EXPECT_GT(B.bottom, W.bottom);
            // The box's own window keeps only its body.
            HRGN Rgn = CreateRectRgn(0, 0, 0, 0);
            ASSERT_NE(GetWindowRgn(Box, Rgn), ERROR);
            EXPECT_FALSE(PtInRegion(Rgn, 1, (W.bottom - W.top) / 2));
            EXPECT_FALSE(PtInRegion(Rgn, (W.right - W.left) / 2, 2)) << "nor its caption";
            DeleteObject(Rgn);
            auto Hit = [&](int X, int Y) {
                TMessage Msg{WM_NCHITTEST, 0, MAKELPARAM(B.left + X, B.top + Y), 0};
                return Border->HitTest(Msg);
            };
            const TRect& Close = D->BtnClose.Rect;
            ASSERT_GT(Close.Right, Close.Left) << "the close button was laid out";
            EXPECT_EQ(Hit((Close.Left + Close.Right) / 2, (Close.Top + Close.Bottom) / 2), HTCLOSE);
            const int MidX = (B.right - B.left) / 2, MidY = (B.bottom - B.top) / 2;
            EXPECT_EQ(Hit(MidX, M.Top + 4), HTCAPTION);
            // A sizable dialog's edges are sizing edges of the border window.
            SetWindowLongA(Box, GWL_STYLE, GetWindowLongA(Box, GWL_STYLE) | WS_THICKFRAME);
            EXPECT_EQ(Hit(M.Left + 1, MidY), HTLEFT);
            EXPECT_EQ(Hit((B.right - B.left) - M.Right - 1, (B.bottom - B.top) - M.Bottom - 1), HTBOTTOMRIGHT);
            SetWindowLongA(Box, GWL_STYLE, GetWindowLongA(Box, GWL_STYLE) & ~WS_THICKFRAME);
            // The frame is the border window's, the shadow is passed through.
            EXPECT_EQ(SendMessageA(BH, WM_NCHITTEST, 0, MAKELPARAM(B.left + M.Left + 1, B.top + MidY)), HTOBJECT);
            EXPECT_EQ(SendMessageA(BH, WM_NCHITTEST, 0, MAKELPARAM(B.left + 1, B.top + MidY)), HTTRANSPARENT);
            if (CloseByButton) {
                const LPARAM At = MAKELPARAM(B.left + (Close.Left + Close.Right) / 2, B.top + (Close.Top + Close.Bottom) / 2);
                SendMessageA(BH, WM_NCLBUTTONDOWN, HTOBJECT, At);
                EXPECT_EQ(D->BtnClose.State, 2) << "the click reached the box: its close button is pressed";
                SendMessageA(BH, WM_NCLBUTTONUP, HTOBJECT, At);
            }
        }, CloseByButton ? MB_OKCANCEL : MB_OK, CloseByButton ? IDCANCEL : IDOK);
        ASSERT_EQ(BorderWindows.size(), static_cast<std::size_t>(Box + 1));
        EXPECT_FALSE(IsWindow(BorderWindows.back())) << "the border window went with its box";
    }
    DestroySomeWindow();
    EXPECT_EQ(LiveProviders(), 0);
    EXPECT_EQ(LibraryForms(), 0) << "no border window is left among the forms";
    for (HBITMAP B : Images)
        EXPECT_EQ(GetObjectType(B), 0u) << "each box's frame image went with its box";
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT Msg, WPARAM, LPARAM) { return Msg == WM_INITDIALOG; }

// A hidden modeless dialog from an empty template: caption and system menu, no controls.
HWND CreateEmptyDialog() {
    struct alignas(4) {
        DLGTEMPLATE T;
        WORD Menu = 0, Class = 0, Title = 0;
    } Template{{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 20, 20, 160, 80}};
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &Template.T, nullptr, PlainDialogProc, 0);
}

// A modeless dialog that is hidden gives its border window up and gets a new one when it shows again.
TEST_F(acDialsTest, AHiddenDialogShownAgainGetsItsBorderWindowBack) {
    LoadSkin("FrameTest", true);
    HWND Dialog = CreateEmptyDialog();
    ASSERT_TRUE(Dialog);
    TacProvider* P = FindDialogProvider(Dialog);
    ASSERT_TRUE(P && P->DialogWnd);
    auto BorderShows = [&] {
        TacBorderForm* B = P->DialogWnd->BorderForm;
        return B && B->Handle() && IsWindowVisible(B->Handle());
    };
    for (int Round = 0; Round < 2; ++Round) {
        ShowWindow(Dialog, SW_SHOW);
        Pump();
        EXPECT_TRUE(BorderShows()) << "shown, round " << Round;
        ShowWindow(Dialog, SW_HIDE);
        Pump();
        EXPECT_FALSE(P->DialogWnd->BorderForm) << "hidden, round " << Round;
    }
    DestroyWindow(Dialog);
    DestroySomeWindow();
    EXPECT_EQ(LiveProviders(), 0);
    EXPECT_EQ(LibraryForms(), 0);
}

// The glow animations the application owns (those of hooked dialogs' caption buttons).
int ApplicationGlows() {
    int N = 0;
    for (int I = 0; I < Application->ComponentCount(); ++I)
        N += dynamic_cast<TacSBAnimation*>(Application->Components(I)) != nullptr;
    return N;
}

// A hot caption button of a hooked dialog fades in above its frame as a form's does, fades out
// when left, and its animation goes with the dialog.
TEST_F(acDialsTest, AHotDialogButtonGlowsAndItsGlowGoesWithTheDialog) {
    LoadSkin("FrameTest");
    ASSERT_TRUE(Manager->GetAllowGlowing());
    HWND Dialog = CreateEmptyDialog();
    ASSERT_TRUE(Dialog);
    ShowWindow(Dialog, SW_SHOW);
    Pump();
    TacProvider* P = FindDialogProvider(Dialog);
    ASSERT_TRUE(P && P->DialogWnd);
    TacDialogWnd* W = P->DialogWnd;
    ASSERT_GT(W->BtnClose.Rect.Width(), 0);
    W->SetHotButton(HTCLOSE, true);
    TacSBAnimation* Glow = W->BtnClose.Animation;
    ASSERT_TRUE(Glow);
    ASSERT_TRUE(Glow->GlowWindow);
    EXPECT_EQ(ApplicationGlows(), 1);
    std::vector<int> Alphas{Glow->CurrentAlpha};
    for (int I = 0; I < 12 && Glow->Steps != -1; ++I) {
        Glow->AnimTimer(Glow);
        Alphas.push_back(Glow->CurrentAlpha);
    }
    EXPECT_EQ(Alphas, (std::vector<int>{25, 50, 75, 100, 125, 150, 175, 200, 225, 255}));
    HWND GlowHandle = Glow->GlowWindow->Handle();
    EXPECT_TRUE(IsWindowVisible(GlowHandle));
    // It lies over the button.
    RECT D, G;
    GetWindowRect(Dialog, &D);
    GetWindowRect(GlowHandle, &G);
    POINT Centre{D.left + (W->BtnClose.Rect.Left + W->BtnClose.Rect.Right) / 2,
                 D.top + (W->BtnClose.Rect.Top + W->BtnClose.Rect.Bottom) / 2};
    EXPECT_TRUE(PtInRect(&G, Centre));
    // Left: it fades out and gives its window up, keeping the timer for the next time.
    W->SetHotButton(0, true);
    for (int I = 0; I < 20 && Glow->State != -1; ++I)
        Glow->AnimTimer(Glow);
    EXPECT_EQ(Glow->State, -1);
    EXPECT_FALSE(Glow->GlowWindow);
    // Pressed: the pressed image at full opacity at once.
    W->PressButton(HTCLOSE);
    EXPECT_EQ(W->BtnClose.Animation, Glow);
    EXPECT_EQ(Glow->CurrentAlpha, 255);
    DestroyWindow(Dialog);
    DestroySomeWindow();
    EXPECT_EQ(LiveProviders(), 0);
    EXPECT_EQ(ApplicationGlows(), 0) << "the dialog's animations go with it";
    EXPECT_EQ(LibraryForms(), 0) << "no glow window is left";
}

// A form of a class the hook is told to leave alone (its name is among SkipFormClasses).
class TfcPopup : public TForm {
    DECLARE_CLASS(TfcPopup, TForm)
public:
    using TForm::TForm;
};

TEST_F(acDialsTest, WhichFormsGetAProvider) {
    LoadSkin();
    struct Case {
        const char* Name;
        LongInt Tag;
        TacSkinningRules Rules;
        bool Attached;
        bool Skipped = false;
    };
    const Case Cases[] = {
        {"a plain form", 0, {srStdForms, srStdDialogs}, true},
        {"tag -98 (the library's own windows)", -98, {srStdForms, srStdDialogs}, false},
        {"tag -1", -1, {srStdForms, srStdDialogs}, false},
        {"forms not among the rules", 0, {srStdDialogs}, false},
        {"a class among SkipFormClasses", 0, {srStdForms, srStdDialogs}, false, true},
    };
    ASSERT_TRUE(SkipFormClasses && SkipFormClasses->IndexOf("TfcPopup") >= 0);
    for (const Case& C : Cases) {
        Manager->SkinningRules = C.Rules;
        TOwned<TForm> F(C.Skipped ? TForm::CreateNewOf<TfcPopup>(nullptr) : TForm::CreateNew(nullptr));
        F->SetTag(C.Tag);
        F->HandleNeeded();
        auto Providers = [&F] {
            int N = 0;
            for (int I = 0; I < F->ComponentCount(); ++I)
                N += DynCast<TsSkinProvider>(F->Components(I)) != nullptr;
            return N;
        };
        // The hook gave it as the window was made.
        EXPECT_EQ(Providers(), C.Attached ? 1 : 0) << C.Name;
        AttachProviderToWindow(F->Handle(), nullptr);
        EXPECT_EQ(Providers(), C.Attached ? 1 : 0) << C.Name << ": never a second one";
    }
}

// The commands of the open window menu; then the keyboard walks to the command ChosenCommand (at
// most a few steps) and takes it.
std::vector<UINT> WindowMenuCommands;
UINT ChosenCommand = 0;
int MenuSteps = 0;
VOID CALLBACK ChooseMenuCommand(HWND, UINT, UINT_PTR Id, DWORD) {
    HWND Menu = FindWindowA("#32768", nullptr);
    if (!Menu || !IsWindowVisible(Menu))
        return;
    auto Items = reinterpret_cast<HMENU>(SendMessageA(Menu, MN_GETHMENU, 0, 0));
    if (WindowMenuCommands.empty())
        for (int I = 0; Items && I < GetMenuItemCount(Items); ++I)
            WindowMenuCommands.push_back(GetMenuState(Items, static_cast<UINT>(I), MF_BYPOSITION) & MF_SEPARATOR
                                             ? 0
                                             : GetMenuItemID(Items, I));
    int Lit = -1;
    for (int I = 0; Items && I < GetMenuItemCount(Items); ++I)
        if (GetMenuState(Items, static_cast<UINT>(I), MF_BYPOSITION) & MF_HILITE)
            Lit = I;
    if (Lit >= 0 && GetMenuItemID(Items, Lit) == ChosenCommand) {
        KillTimer(nullptr, Id);
        PostMessageA(TPopupMenu::PopupListWindow(), WM_KEYDOWN, VK_RETURN, 0);
    } else if (++MenuSteps > 8) {
        KillTimer(nullptr, Id);
        PostMessageA(TPopupMenu::PopupListWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
    } else {
        PostMessageA(TPopupMenu::PopupListWindow(), WM_KEYDOWN, VK_DOWN, 0);
    }
}

TEST_F(acDialsTest, ABoxsWindowMenuOffersMoveAndCloseAndItsCloseClosesTheBox) {
    sSkinMenusInitialization();
    LoadSkin();
    WindowMenuCommands.clear();
    MenuSteps = 0;
    TacSystemMenu* Menu = nullptr;
    UINT Move = 0, Close = 0;
    bool OwnerDrawn = false;
    HWND SeenBox = nullptr;
    // An OK and Cancel box: the window menu's Close answers Cancel, the timer's own click OK.
    RunBox(
        [&](HWND Box) {
            SeenBox = Box;
            TacProvider* P = FindDialogProvider(Box);
            ASSERT_TRUE(P && P->DialogWnd);
            Menu = P->DialogWnd->SystemMenu;
            Move = Menu->miMove->Command();
            Close = Menu->miClose->Command();
            ChosenCommand = Close;
            OwnerDrawn = Menu->OwnerDraw();
            RECT W;
            GetWindowRect(Box, &W);
            SetTimer(nullptr, 0, 20, ChooseMenuCommand);
            // A right click on the caption opens the skinned window menu there.
            SendMessageA(Box, WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(W.left + 40, W.top + 10));
        },
        MB_OKCANCEL, IDCANCEL);
    EXPECT_TRUE(OwnerDrawn) << "the skinned menus draw the dialog's window menu";
    const std::vector<UINT> Expected{Move, 0, Close};
    EXPECT_EQ(WindowMenuCommands, Expected) << "Move, a line and Close: a dialog frame neither sizes nor maximises";
    EXPECT_FALSE(IsWindow(SeenBox));
    sSkinMenusFinalization();
}

struct TMenuVisit {
    bool Seen = false;
    bool Marked = false;
    LRESULT Before = -1, After = -1;
    std::size_t Wrappers = 0;
};
TMenuVisit* MenuVisit = nullptr;

VOID CALLBACK LookAtMenu(HWND, UINT, UINT_PTR Id, DWORD) {
    HWND Menu = FindWindowA("#32768", nullptr);
    if (!Menu || !IsWindowVisible(Menu))
        return;
    KillTimer(nullptr, Id);
    MenuVisit->Seen = true;
    MenuVisit->Marked = GetPropA(Menu, HookPropName) != nullptr;
    MenuVisit->Wrappers = MenuWrappers.size();
    MenuVisit->Before = SendMessageA(Menu, SM_ALPHACMD, MAKEWPARAM(0, SKIN_SETUPDATING), 0);
    SendMessageA(Menu, SM_ALPHACMD, MAKEWPARAM(0, SKIN_POPUPSHAPING), 0);
    MenuVisit->After = SendMessageA(Menu, SM_ALPHACMD, MAKEWPARAM(0, SKIN_SETUPDATING), 0);
    PostMessageA(TPopupMenu::PopupListWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
}

TEST_F(acDialsTest, APopupMenuWindowIsWrappedAndItsWrapperGoesWithIt) {
    LoadSkin();
    if (IsDwmCompositionEnabled())
        GTEST_SKIP() << "with desktop composition popup menus keep the system's look";
    TOwned<TPopupMenu> Menu(Create<TPopupMenu>(nullptr));
    for (const char* Caption : {"One", "Two"}) {
        TMenuItem* Item = Create<TMenuItem>(Menu.get());
        Item->SetCaption(Caption);
        Menu->Items()->Add(Item);
    }
    TMenuVisit V;
    MenuVisit = &V;
    SetTimer(nullptr, 0, 20, LookAtMenu);
    Menu->Popup(120, 120);
    Pump();
    MenuVisit = nullptr;
    ASSERT_TRUE(V.Seen);
    EXPECT_TRUE(V.Marked);
    EXPECT_EQ(V.Wrappers, 1u);
    EXPECT_EQ(V.Before, 0) << "no border drawn by the skinned menus yet";
    EXPECT_EQ(V.After, 1) << "the window is being shaped: its border counts as drawn";
    DestroySomeWindow();
    EXPECT_TRUE(MenuWrappers.empty()) << "the closed popup's wrapper is gone";
}

}  // namespace
