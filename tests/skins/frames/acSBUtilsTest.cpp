// Window hooks: attaching to a plain window and to a framework control, the base answers while a
// skin is active, giving the window back on destruction (also under a later subclasser), keeping a
// control's edit hook in step with its skinning, and the frame painter's disabled-kind question.
#include "../engine/SkinTestSupport.h"

#include "acSBUtils.h"
#include "sMemo.h"
#include "sRichEdit.h"

using namespace skintests;

namespace {

LRESULT CALLBACK Passing(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    return CallWindowProcA(reinterpret_cast<WNDPROC>(GetPropA(Wnd, "TestNext")), Wnd, Msg, WParam, LParam);
}

class acSBUtilsTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        acSBUtilsInitialization();
        Plain = CreateWindowExA(0, "STATIC", "plain", WS_CHILD | WS_VISIBLE, 10, 10, 80, 30, Form->Handle(), nullptr,
                                nullptr, nullptr);
    }
    void TearDown() override {
        if (IsWindow(Plain))
            DestroyWindow(Plain);
        SkinTest::TearDown();
        acSBUtilsFinalization();
    }
    LRESULT Ask(HWND Wnd, Word Code) { return SendMessageA(Wnd, SM_ALPHACMD, SkinCommandParam(Code), 0); }
    HWND Plain = nullptr;
};

TEST_F(acSBUtilsTest, StartUpFindsTheEntryPoints) {
    EXPECT_NE(GetScrollBarInfoProc, nullptr);
    EXPECT_NE(InitializeFlatSBProc, nullptr);
    EXPECT_NE(UninitializeFlatSBProc, nullptr);
}

TEST_F(acSBUtilsTest, PlainWindowHookAnswersWhileASkinIsActiveAndTracksItsText) {
    WNDPROC Original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Plain, GWLP_WNDPROC));
    TacMainWnd* Hook = Create<TacMainWnd>(Plain, false, "PANEL", nullptr, nullptr);
    EXPECT_EQ(GetHookOfWindow(Plain), Hook);
    EXPECT_NE(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Plain, GWLP_WNDPROC)), Original);
    EXPECT_EQ(Hook->HookWndText, "plain");
    EXPECT_EQ(Hook->SkinData->SkinSection(), "PANEL");
    EXPECT_EQ(Ask(Plain, SKIN_ISSKINNED), 0) << "no manager: everything passes on";
    MakeManager({{"PANEL"}});
    Hook->SkinManager = Manager;
    EXPECT_EQ(Ask(Plain, SKIN_ISSKINNED), 1);
    EXPECT_EQ(Ask(Plain, SKIN_GETAPPLICATION), reinterpret_cast<LRESULT>(Application));
    SetWindowTextA(Plain, "renamed");
    EXPECT_EQ(Hook->HookWndText, "renamed");
    FreeAndNil(Hook);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Plain, GWLP_WNDPROC)), Original);
    EXPECT_EQ(GetPropA(Plain, HookPropName), nullptr);
}

TEST_F(acSBUtilsTest, DestroyedWindowGivesBackOnlyWhatIsStillItsOwn) {
    for (bool Chained : {false, true}) {
        HWND Wnd = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, Form->Handle(), nullptr, nullptr, nullptr);
        TacMainWnd* Hook = Create<TacMainWnd>(Wnd, false, "", nullptr, nullptr);
        WNDPROC Later = nullptr;
        if (Chained) {
            SetPropA(Wnd, "TestNext", reinterpret_cast<HANDLE>(GetWindowLongPtrA(Wnd, GWLP_WNDPROC)));
            SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Passing));
            Later = &Passing;
        }
        SendMessageA(Wnd, WM_DESTROY, 0, 0);
        EXPECT_EQ(GetPropA(Wnd, HookPropName), nullptr) << Chained;
        EXPECT_EQ(Hook->Unhooked, !Chained) << "a later subclasser keeps the hook from letting go";
        if (Chained) {
            EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Wnd, GWLP_WNDPROC)), Later);
            SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GetPropA(Wnd, "TestNext")));
        }
        RemovePropA(Wnd, "TestNext");
        FreeAndNil(Hook);
        DestroyWindow(Wnd);
    }
}

// Two hooks on one window, the lower one freed first: the upper one then calls what the lower one
// replaced, and freeing it gives the window its own procedure back. Afterwards the window works on
// without reaching either freed hook, also once the pooled thunks serve new hooks.
TEST_F(acSBUtilsTest, HooksLeaveTheChainInAnyOrder) {
    auto* Panel = Place<TPanel>(10, 50, 100, 40);
    Panel->HandleNeeded();
    const TWndMethod PanelOriginal = Panel->WindowProc;
    const WNDPROC PlainOriginal = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Plain, GWLP_WNDPROC));
    for (bool Control : {false, true})
        for (bool LowerFirst : {true, false}) {
            TsCommonData* Data = nullptr;
            HWND Wnd = Plain;
            if (Control) {
                Data = Create<TsCommonData>(Panel, false);
                Wnd = Panel->Handle();
            }
            TacMainWnd* Lower = Create<TacMainWnd>(Wnd, false, "PANEL", nullptr, Data);
            TacMainWnd* Upper = Create<TacMainWnd>(Wnd, false, "PANEL", nullptr, Data);
            EXPECT_EQ(GetHookOfWindow(Wnd), Upper);
            FreeAndNil(LowerFirst ? Lower : Upper);
            EXPECT_EQ(GetHookOfWindow(Wnd), LowerFirst ? Upper : nullptr) << "the remaining hook keeps its property";
            // New hooks elsewhere take the thunks just freed from the pool.
            HWND Other = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 5, 5, Form->Handle(), nullptr, nullptr, nullptr);
            TacMainWnd* Stranger = Create<TacMainWnd>(Other, false, "", nullptr, nullptr);
            SetWindowTextA(Wnd, "through the chain");
            EXPECT_EQ(ReadWindowText(Wnd), "through the chain") << Control << LowerFirst;
            EXPECT_EQ(ReadWindowText(Other), "") << "nothing reached the other window's hook";
            FreeAndNil(LowerFirst ? Upper : Lower);
            if (Control)
                EXPECT_TRUE(Panel->WindowProc == PanelOriginal) << LowerFirst;
            else
                EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Plain, GWLP_WNDPROC)), PlainOriginal) << LowerFirst;
            SetWindowTextA(Wnd, "plain again");
            EXPECT_EQ(ReadWindowText(Wnd), "plain again");
            FreeAndNil(Stranger);
            DestroyWindow(Other);
            FreeAndNil(Data);
        }
}

TEST_F(acSBUtilsTest, RefreshEditWndFollowsTheSkinning) {
    auto* M = Place<TsMemo>(10, 50, 150, 80);
    M->HandleNeeded();
    TacScrollWnd* Hook = nullptr;
    RefreshEditWnd(M->SkinData(), Hook);
    EXPECT_EQ(Hook, nullptr) << "not skinned: no hook";
    MakeManager({{"EDIT"}});
    M->SkinData()->RefreshSkinIndexes();
    RefreshEditWnd(M->SkinData(), Hook);
    ASSERT_NE(Hook, nullptr);
    EXPECT_TRUE(DynCast<TacEditWnd>(Hook));
    EXPECT_TRUE(M->ControlStyle().Contains(csOpaque));
    TacScrollWnd* First = Hook;
    RefreshEditWnd(M->SkinData(), Hook);
    EXPECT_EQ(Hook, First) << "a live hook is kept";
    UnhookWnd(M->Handle(), false, 0, Hook);
    ASSERT_TRUE(Hook->Unhooked);
    EXPECT_EQ(GetHookOfWindow(M->Handle()), nullptr);
    RefreshEditWnd(M->SkinData(), Hook);
    ASSERT_NE(Hook, nullptr);
    EXPECT_FALSE(Hook->Unhooked) << "an unhooked one is replaced";
    EXPECT_EQ(GetHookOfWindow(M->Handle()), Hook);
    M->Lines()->SetText("through the hook\r\n");
    EXPECT_EQ(M->Lines()->Strings(0), "through the hook");
    FreeAndNil(Manager);
    RefreshEditWnd(M->SkinData(), Hook);
    EXPECT_EQ(Hook, nullptr);
    EXPECT_EQ(GetHookOfWindow(M->Handle()), nullptr);
    M->Lines()->SetText("standard again\r\n");
    EXPECT_EQ(M->Lines()->Strings(0), "standard again");
}

TEST_F(acSBUtilsTest, FramePainterAsksTheWindowForItsDisabledKind) {
    MakeManager({{"EDIT"}});
    auto* R = Place<TsRichEdit>(10, 50, 150, 80);
    R->HandleNeeded();
    R->SetDisabledKind(TsDisabledKind{dkGrayed});
    R->SetEnabled(false);
    R->SkinData()->BackgroundStale = true;
    SharedDisabledKind = TsDisabledKind{dkBlended};
    PaintBorderCache(R->SkinData(), R->Handle(), false);
    EXPECT_EQ(SharedDisabledKind, TsDisabledKind{dkGrayed});
    EXPECT_FALSE(R->SkinData()->BackgroundStale);
    EXPECT_EQ(R->SkinData()->CacheBitmap->Width(), R->Width());

    auto* M = Place<TsMemo>(10, 150, 150, 80);
    M->HandleNeeded();
    M->SetEnabled(false);
    M->SkinData()->BackgroundStale = true;
    PaintBorderCache(M->SkinData(), M->Handle(), false);
    EXPECT_EQ(SharedDisabledKind, TsDisabledKind{dkBlended}) << "a window that does not answer keeps the blend";
}

}  // namespace
