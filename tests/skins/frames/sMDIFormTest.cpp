// Skinned MDI forms on real windows: the parent's provider hooks the MDI client window, which shows
// the form image behind the children and moves them once, when a dragged thumb is let go; the
// provider of an MDI child keeps the parent informed of its activation and system commands.
#include "../engine/SkinPixelSupport.h"

#include "FrameSkinSupport.h"
#include "TestSupport.h"

#include "acSBUtils.h"
#include "sGraphUtils.h"
#include "sMDIForm.h"
#include "sSkinProvider.h"

using namespace skintests;

namespace {

// What reaches a form's own procedure (the one the provider calls as its old procedure).
struct TProcRecorder : TObject {
    TWndMethod Own;
    std::vector<std::pair<UINT, WPARAM>> Commands;
    void Proc(TMessage& Message) {
        if (Message.Msg == WM_SYSCOMMAND)
            Commands.emplace_back(Message.Msg, Message.WParam & 0xFFF0);
        Own(Message);
    }
};

constexpr TColor FormColour = 0x00C0A080;  // the skin's FORM section

class sMDIFormTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        sGraphUtilsInitialization();
        acSBUtilsInitialization();
    }
    void TearDown() override {
        FreeAndNil(Child);
        FreeAndNil(Frame);
        SkinTest::TearDown();
        acSBUtilsFinalization();
    }
    // The frame tests' skin with the client hook's section and the MDI area beside it.
    void LoadSkin() {
        Manager = LoadFrameSkinWithMDIArea(Temp, "Mdi");
        ASSERT_TRUE(Manager->SkinData->SkinActive);
    }
    // A shown MDI parent with a provider.
    void MakeFrame() {
        Frame = TForm::CreateNew(nullptr);
        Frame->SetFormStyle(fsMDIForm);
        Frame->SetBounds(60, 60, 420, 320);
        Frame->Show();
        Provider = Create<TsSkinProvider>(Frame);
        RedrawWindow(Frame->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump();
    }
    TacMDIWnd* ClientHook() { return Provider && Provider->MDIHelper ? Provider->MDIHelper->ClientWnd : nullptr; }
    TForm* MakeChild(int Left, int Top) {
        auto* C = TForm::CreateNew(nullptr);
        C->SetFormStyle(fsMDIChild);
        C->SetCaption("Child");
        C->SetBounds(Left, Top, 150, 100);
        C->Show();
        Pump();
        return C;
    }
    // The child's top-left in the client window.
    POINT ChildAt(TForm* C) {
        RECT R;
        GetWindowRect(C->Handle(), &R);
        POINT P{R.left, R.top};
        ScreenToClient(Frame->ClientHandle(), &P);
        return P;
    }

    testing_support::TempDir Temp;
    TForm* Frame = nullptr;
    TForm* Child = nullptr;
    TsSkinProvider* Provider = nullptr;  // Frame's
};

TEST_F(sMDIFormTest, TheClientWindowIsHookedWhileSkinnedAndShowsTheFormImage) {
    LoadSkin();
    MakeFrame();
    TacMDIWnd* Hook = ClientHook();
    ASSERT_NE(Hook, nullptr);
    EXPECT_EQ(MDISkinProvider, Provider);
    EXPECT_EQ(Hook->Handle, Frame->ClientHandle());
    EXPECT_EQ(Hook->MDIProvider, Provider);
    EXPECT_EQ(Hook->MDISkinData, Provider->SkinData());
    RECT C;
    GetClientRect(Frame->ClientHandle(), &C);
    TOwned<TBitmap> B(MakeBitmap(C.right + 8, C.bottom + 8, pf24bit));
    SendMessageA(Frame->ClientHandle(), WM_PRINT, reinterpret_cast<WPARAM>(B->Canvas()->Handle()), PRF_CLIENT);
    EXPECT_EQ(GetPx(B.get(), C.right / 2, C.bottom / 2), PxOf(FormColour)) << "the form image behind the children";

    // Without the skin the client window is the system's again.
    Manager->SetActive(false);
    Pump();
    EXPECT_EQ(ClientHook(), nullptr);
    FreeAndNil(Frame);
    EXPECT_EQ(MDISkinProvider, nullptr) << "the provider went with its form";
}

TEST_F(sMDIFormTest, AThumbDragMovesTheChildrenOnlyWhereTheThumbIsLetGo) {
    LoadSkin();
    MakeFrame();
    Child = MakeChild(20, 20);
    HWND Client = Frame->ClientHandle();
    TacMDIWnd* Hook = ClientHook();
    ASSERT_NE(Hook, nullptr);
    struct Case {
        int ToY;  // window row of the client the thumb is dragged to
        int Target;
    } Cases[] = {{5000, 90}, {-5000, 0}};
    for (const Case& K : Cases) {
        SCROLLINFO SI{sizeof(SCROLLINFO), SIF_ALL, 0, 99, 10, 40, 0};
        SetScrollInfo(Client, SB_VERT, &SI, FALSE);
        RefreshWindowFrame(Client, true);
        Hook->UpdateScrollInfo(false);
        ASSERT_TRUE(Hook->VertBar->Shown);
        RECT W;
        GetWindowRect(Client, &W);
        int ThumbSize = 0, ThumbStart = 0;
        CalcThumb(Hook->VertBar, Hook->GetVertBarRect(), ThumbSize, 0, ThumbStart);
        TRect Bar = Hook->GetVertBarRect();
        const POINT Before = ChildAt(Child);
        SendMessageA(Client, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(Bar.Left + 2, ThumbStart + 1));
        ASSERT_TRUE(Hook->ThumbTracking);
        TrackVertThumb(Hook->VertBar, Client, Bar.Left + 2, W.top + K.ToY);
        EXPECT_EQ(ChildAt(Child).y, Before.y) << "nothing moves while the thumb is dragged";
        SendMessageA(Client, WM_LBUTTONUP, 0, 0);
        EXPECT_FALSE(Hook->ThumbTracking);
        EXPECT_EQ(ChildAt(Child).y, Before.y + (40 - K.Target) * TacMDIWnd::ScrollStep) << "to " << K.Target;
        EXPECT_EQ(ChildAt(Child).x, Before.x);
        // The child back where it was for the next case.
        SetWindowPos(Child->Handle(), nullptr, Before.x, Before.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

TEST_F(sMDIFormTest, AChildsSystemCommandsReachItsProcedureAsTheParentsFrameNeeds) {
    LoadSkin();
    MakeFrame();
    Child = MakeChild(10, 10);
    TProcRecorder Rec;
    Rec.Own = Child->WindowProc;
    Child->WindowProc = TWndMethod::Bind<&TProcRecorder::Proc>(&Rec);
    auto* ChildProvider = Create<TsSkinProvider>(Child);
    Pump();
    ASSERT_TRUE(ChildProvider->IsMDIChild());
    MDIChildProvider = nullptr;
    SendMessageA(Child->Handle(), WM_MDIACTIVATE, 0, reinterpret_cast<LPARAM>(Child->Handle()));
    EXPECT_EQ(MDIChildProvider, ChildProvider) << "the last child activated";

    SendMessageA(Child->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 'f');
    EXPECT_TRUE(Rec.Commands.empty()) << "the parent's menu bar takes the key, not the child";
    SendMessageA(Child->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(IsZoomed(Child->Handle()));
    EXPECT_EQ(MDIChildProvider, ChildProvider);
    SendMessageA(Child->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsZoomed(Child->Handle()));
    EXPECT_FALSE(Provider->SkinData()->IsUpdating()) << "the parent's update ends with the command";
    EXPECT_FALSE(GetWindowLongA(Child->Handle(), GWL_STYLE) & WS_SYSMENU) << "the skin draws the child's buttons";
    using C = std::pair<UINT, WPARAM>;
    EXPECT_EQ(Rec.Commands, (std::vector<C>{{WM_SYSCOMMAND, SC_MAXIMIZE}, {WM_SYSCOMMAND, SC_RESTORE}}));
    FreeAndNil(ChildProvider);
    EXPECT_EQ(MDIChildProvider, nullptr);
    Child->WindowProc = Rec.Own;
}

TEST_F(sMDIFormTest, AChildCreatedBesideAMaximisedOneIsMaximisedWhenItFirstPaints) {
    LoadSkin();
    MakeFrame();
    Child = MakeChild(10, 10);
    struct Case {
        bool Show;  // shown (and so painted), or freed unpainted
    } Cases[] = {{true}, {false}};
    for (const Case& K : Cases) {
        auto* Second = TForm::CreateNew(nullptr);
        Second->SetFormStyle(fsMDIChild);
        Second->SetVisible(false);
        Second->SetBounds(30, 30, 150, 100);
        TProcRecorder Rec;
        Rec.Own = Second->WindowProc;
        Second->WindowProc = TWndMethod::Bind<&TProcRecorder::Proc>(&Rec);
        auto* SecondProvider = Create<TsSkinProvider>(Second);
        Second->HandleNeeded();
        EXPECT_FALSE(ChildMaximized) << "no child was maximised";
        // This system restores a maximised child before a new one's WM_CREATE; the message is
        // replayed with the other child maximised, as it arrives elsewhere.
        SendMessageA(Frame->ClientHandle(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(Child->Handle()), 0);
        ASSERT_TRUE(IsZoomed(Child->Handle()));
        CREATESTRUCTA CS{};
        SendMessageA(Second->Handle(), WM_CREATE, 0, reinterpret_cast<LPARAM>(&CS));
        EXPECT_TRUE(ChildMaximized) << "created while the active child was maximised";
        SendMessageA(Second->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
        EXPECT_TRUE(Rec.Commands.empty()) << "no restore before the first paint";
        if (K.Show) {
            Second->Show();
            UpdateWindow(Second->Handle());
            Pump();
            EXPECT_FALSE(ChildMaximized) << "the first paint takes the mark";
            EXPECT_TRUE(IsZoomed(Second->Handle()));
            EXPECT_EQ(MDIChildProvider, SecondProvider);
            SendMessageA(Second->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
            EXPECT_FALSE(IsZoomed(Second->Handle())) << "restores once painted";
        }
        FreeAndNil(Second);
        EXPECT_FALSE(ChildMaximized) << "a child gone unpainted keeps no form waiting";
    }
}

}  // namespace
