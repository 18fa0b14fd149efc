// Window-procedure hooks: the chain of several hooks on one window, switched off in any order,
// handled messages, dragging by the client area and moving to another control.
#include "abfTestSupport.h"

using namespace abftests;

namespace {

// A plain window whose own procedure records the messages that reach it.
std::vector<UINT> WindowSaw;
LRESULT CALLBACK RecordingProc(HWND W, UINT Msg, WPARAM WP, LPARAM LP) {
    if (Msg >= WM_USER)
        WindowSaw.push_back(Msg);
    if (Msg == WM_USER + 1)
        return 42;
    return DefWindowProcA(W, Msg, WP, LP);
}

class abfComponentsHooks : public ::testing::Test {
protected:
    void SetUp() override {
        static bool Registered = false;
        if (!Registered) {
            WNDCLASSA C{};
            C.lpfnWndProc = RecordingProc;
            C.hInstance = GetModuleHandleA(nullptr);
            C.lpszClassName = "abfHookTestWindow";
            RegisterClassA(&C);
            Registered = true;
        }
        Window = CreateWindowExA(0, "abfHookTestWindow", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        WindowSaw.clear();
    }
    void TearDown() override {
        FreeAndNil(B);
        FreeAndNil(A);
        DestroyWindow(Window);
    }
    TabfWndProcHook* NewHook(const char* Name) {
        auto* H = Create<TabfWndProcHook>(nullptr);
        H->OnMessageBefore = TabfMessageEvent::FromFunction([this, Name](TObject*, TMessage& M, bool&) {
            if (M.Msg >= WM_USER)
                Seen.push_back(std::string(Name) + " before");
        });
        H->OnMessageAfter = TabfMessageEvent::FromFunction([this, Name](TObject*, TMessage& M, bool&) {
            if (M.Msg >= WM_USER)
                Seen.push_back(std::string(Name) + " after");
        });
        H->SetHandle(Window);
        return H;
    }
    WNDPROC Current() const { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Window, GWLP_WNDPROC)); }

    HWND Window = nullptr;
    TabfWndProcHook* A = nullptr;
    TabfWndProcHook* B = nullptr;
    std::vector<std::string> Seen;
};

TEST_F(abfComponentsHooks, TheHookCreatedLastSeesMessagesFirst) {
    A = NewHook("A");
    B = NewHook("B");
    B->SetActive(true);  // the order of creation counts, not of activation
    A->SetActive(true);
    EXPECT_EQ(SendMessageA(Window, WM_USER + 1, 0, 0), 42);
    EXPECT_EQ(Seen, (std::vector<std::string>{"B before", "A before", "A after", "B after"}));
    EXPECT_EQ(WindowSaw, (std::vector<UINT>{WM_USER + 1}));
}

TEST_F(abfComponentsHooks, SwitchingOffInAnyOrderKeepsTheChainAndRestoresTheWindowsProcedure) {
    for (bool FirstOffFirst : {true, false}) {
        A = NewHook("A");
        B = NewHook("B");
        A->SetActive(true);
        B->SetActive(true);
        (FirstOffFirst ? A : B)->SetActive(false);
        Seen.clear();
        WindowSaw.clear();
        SendMessageA(Window, WM_USER + 2, 0, 0);
        const char* Left = FirstOffFirst ? "B" : "A";
        EXPECT_EQ(Seen, (std::vector<std::string>{std::string(Left) + " before", std::string(Left) + " after"}));
        EXPECT_EQ(WindowSaw, (std::vector<UINT>{WM_USER + 2})) << "the window's own procedure still answers";
        (FirstOffFirst ? B : A)->SetActive(false);
        EXPECT_EQ(Current(), &RecordingProc);
        FreeAndNil(B);
        FreeAndNil(A);
    }
    EXPECT_EQ(abfWndProcHookList, nullptr) << "freed with the last hook";
}

TEST_F(abfComponentsHooks, AHandledMessageNeverReachesTheWindow) {
    A = NewHook("A");
    A->OnMessageBefore = TabfMessageEvent::FromFunction([](TObject*, TMessage& M, bool& Handled) {
        if (M.Msg == WM_USER + 1) {
            M.Result = 7;
            Handled = true;
        }
    });
    A->SetActive(true);
    EXPECT_EQ(SendMessageA(Window, WM_USER + 1, 0, 0), 7);
    EXPECT_TRUE(WindowSaw.empty());
    EXPECT_EQ(Seen, (std::vector<std::string>{"A after"}));
}

TEST_F(abfComponentsHooks, AutoDragTurnsALeftPressIntoAMoveByTheCaption) {
    A = NewHook("A");
    A->SetAutoDrag(true);
    A->SetActive(true);
    // B sees the window's messages first and stops the move (which would wait for the mouse).
    std::vector<WPARAM> Commands;
    B = NewHook("B");
    B->OnMessageBefore = TabfMessageEvent::FromFunction([&](TObject*, TMessage& M, bool& Handled) {
        if (M.Msg == WM_SYSCOMMAND) {
            Commands.push_back(M.WParam);
            Handled = true;
        }
    });
    B->SetActive(true);
    bool AfterFired = false;
    A->OnMessageAfter = TabfMessageEvent::FromFunction([&](TObject*, TMessage& M, bool&) {
        if (M.Msg == WM_LBUTTONDOWN)
            AfterFired = true;
    });
    SendMessageA(Window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_EQ(Commands, (std::vector<WPARAM>{0xF012}));
    EXPECT_TRUE(AfterFired);
}

TEST_F(abfComponentsHooks, ChangingTheControlMovesTheHook) {
    TForm* F1 = TForm::CreateNew(nullptr);
    TForm* F2 = TForm::CreateNew(nullptr);
    WNDPROC F1Own = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(F1->Handle(), GWLP_WNDPROC));
    WNDPROC F2Own = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(F2->Handle(), GWLP_WNDPROC));
    A = Create<TabfWndProcHook>(F1);
    int Changes = 0;
    A->OnChangeWinControl = TNotifyEvent::FromFunction([&](TObject*) { ++Changes; });
    A->SetActive(true);
    EXPECT_NE(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(F1->Handle(), GWLP_WNDPROC)), F1Own) << "the owner by default";
    A->SetWinControl(F2);
    EXPECT_TRUE(A->Active());
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(F1->Handle(), GWLP_WNDPROC)), F1Own);
    EXPECT_NE(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(F2->Handle(), GWLP_WNDPROC)), F2Own);
    EXPECT_EQ(Changes, 1);
    F2->Free();
    EXPECT_EQ(A->WinControl(), nullptr) << "a freed control is forgotten";
    A = nullptr;
    F1->Free();  // owns the hook
}

}  // namespace
