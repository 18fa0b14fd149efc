// The application object: its hidden window, exceptions, hooks; the screen's cursors; timers.
#include "ControlTestSupport.h"
#include "Threads.h"
#include "Timers.h"

#include <gtest/gtest.h>

using namespace controltests;

namespace {

class ApplicationTest : public ControlsTest {};

TEST_F(ApplicationTest, TheHiddenWindowIsFoundByClassAndTitle) {
    std::string Old = Application->Title();
    Application->SetTitle("Quarnel test");
    EXPECT_EQ(FindWindowA("TApplication", "Quarnel test"), Application->Handle());
    char Text[64] = {};
    GetWindowTextA(Application->Handle(), Text, sizeof Text);
    EXPECT_STREQ(Text, "Quarnel test");
    Application->SetTitle(Old);
    EXPECT_EQ(GetWindow(Application->MainForm()->Handle(), GW_OWNER), Application->Handle());
}

// Subclasses the application window as the tray icon does: its own procedure, chaining to the saved one.
struct TAppWindowHook : TObject {
    WNDPROC Saved = nullptr;
    WNDPROC Instance = nullptr;
    std::vector<UINT> Seen;
    void Proc(TMessage& M) {
        Seen.push_back(M.Msg);
        M.Result = CallWindowProcA(Saved, Application->Handle(), M.Msg, M.WParam, M.LParam);
    }
    void Install() {
        Saved = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Application->Handle(), GWLP_WNDPROC));
        Instance = MakeObjectInstance(TWndMethod::Bind<&TAppWindowHook::Proc>(this));
        SetWindowLongPtrA(Application->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Instance));
    }
    void Remove() {
        // Only while ours is still the current procedure.
        if (GetWindowLongPtrA(Application->Handle(), GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(Instance))
            SetWindowLongPtrA(Application->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Saved));
        FreeObjectInstance(Instance);
    }
};

TEST_F(ApplicationTest, TheHiddenWindowCanBeSubclassedAndHidden) {
    TAppWindowHook Hook;
    Hook.Install();
    // The application's own handling still runs behind the hook: WM_SETTEXT retitles through it.
    SetWindowTextA(Application->Handle(), "Hooked");
    char Text[32] = {};
    GetWindowTextA(Application->Handle(), Text, sizeof Text);
    EXPECT_STREQ(Text, "Hooked");
    EXPECT_NE(std::find(Hook.Seen.begin(), Hook.Seen.end(), UINT(WM_SETTEXT)), Hook.Seen.end());

    ShowWindow(Application->Handle(), SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(Application->Handle()));
    Hook.Remove();
    Application->SetTitle(Application->Title());
}

TEST_F(ApplicationTest, MinimisingSendsTheWindowASizeMinimised) {
    TAppWindowHook Hook;
    Hook.Install();
    ShowWindow(Application->Handle(), SW_SHOWNOACTIVATE);
    int Minimized = 0;
    Application->OnMinimize = TNotifyEvent::FromFunction([&](TObject*) { ++Minimized; });
    Application->Minimize();
    EXPECT_TRUE(IsIconic(Application->Handle()));
    EXPECT_EQ(Minimized, 1);
    bool SawSize = false;
    for (UINT M : Hook.Seen)
        SawSize |= M == WM_SIZE;
    EXPECT_TRUE(SawSize);
    Application->Restore();
    EXPECT_FALSE(IsIconic(Application->Handle()));
    ShowWindow(Application->Handle(), SW_HIDE);
    Application->OnMinimize = nullptr;
    Hook.Remove();
}

struct TShownCase {
    const char* Message;
    const char* Shown;
};

TEST_F(ApplicationTest, HandleExceptionShowsTheMessageInTheDefaultErrorBox) {
    const TShownCase Cases[] = {
        {"Disk full", "Disk full."},
        {"Done.", "Done."},
        {"Why?", "Why?."},  // "?" sorts above "."
        {"Line (1)", "Line (1)"},  // ")" and "!" sort below "."
        {"Stop!", "Stop!"},
        {"", ""},
    };
    TRecorderScope Rec;
    for (const TShownCase& C : Cases) {
        try {
            throw Exception(C.Message);
        } catch (...) {
            Application->HandleException(Application);
        }
    }
    ASSERT_EQ(Rec.Recorder.Entries.size(), std::size(Cases));
    for (std::size_t I = 0; I < std::size(Cases); ++I) {
        EXPECT_EQ(Rec.Recorder.Entries[I].Text, Cases[I].Shown);
        EXPECT_EQ(Rec.Recorder.Entries[I].Caption, Application->Title());
        EXPECT_EQ(Rec.Recorder.Entries[I].Flags, UINT(MB_OK | MB_ICONSTOP));
    }
}

TEST_F(ApplicationTest, AbortIsSilentAndOnExceptionTakesTheRest) {
    TRecorderScope Rec;
    try {
        Abort();
    } catch (...) {
        Application->HandleException(Application);
    }
    EXPECT_TRUE(Rec.Recorder.Entries.empty());

    std::vector<std::string> Got;
    Application->OnException =
        TExceptionEvent::FromFunction([&](TObject*, Exception& E) { Got.push_back(E.ClassName() + ": " + E.Message()); });
    try {
        throw EConvertError("x");
    } catch (...) {
        Application->HandleException(Application);
    }
    try {
        throw std::runtime_error("plain");
    } catch (...) {
        Application->HandleException(Application);
    }
    Application->HandleException(Application);  // outside a handler: nothing to handle
    Application->OnException = nullptr;
    EXPECT_EQ(Got, (std::vector<std::string>{"EConvertError: x", "Exception: plain"}));
    EXPECT_TRUE(Rec.Recorder.Entries.empty());
}

TEST_F(ApplicationTest, HooksSeeTheWindowsMessagesFirstAndMayClaimThem) {
    struct THooks : TObject {
        int Seen = 0;
        void Claim(TMessage& M, bool& Handled) {
            if (M.Msg == WM_USER + 50) {
                ++Seen;
                M.Result = 77;
                Handled = true;
            }
        }
    } H;
    auto Hook = TWindowHook::Bind<&THooks::Claim>(&H);
    Application->HookMainWindow(Hook);
    EXPECT_EQ(SendMessageA(Application->Handle(), WM_USER + 50, 0, 0), 77);
    Application->UnhookMainWindow(Hook);
    EXPECT_EQ(SendMessageA(Application->Handle(), WM_USER + 50, 0, 0), 0);
    EXPECT_EQ(H.Seen, 1);
}

TEST_F(ApplicationTest, TheCursorTableTakesNegativeAndNewSlots) {
    HCURSOR Arrow = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    HCURSOR Wait = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT));
    EXPECT_EQ(Screen->Cursors(crHourGlass), Wait);
    EXPECT_EQ(Screen->Cursors(crDefault), Arrow);
    EXPECT_EQ(Screen->Cursors(14000), Arrow);  // an empty slot gives the default

    HCURSOR Mine = CopyCursor(Wait);
    Screen->SetCursors(-1124, Mine);
    EXPECT_EQ(Screen->Cursors(-1124), Mine);
    Screen->SetCursors(crHourGlass, Mine);  // a stock slot can be replaced ...
    EXPECT_EQ(Screen->Cursors(crHourGlass), Mine);
    Screen->SetCursors(crHourGlass, nullptr);  // ... and emptied back to the stock cursor
    EXPECT_EQ(Screen->Cursors(crHourGlass), Wait);
    Screen->SetCursors(-1124, nullptr);

    Screen->SetCursor(crHourGlass);
    EXPECT_EQ(Screen->Cursor(), crHourGlass);
    Screen->SetCursor(crDefault);
}

TEST_F(ApplicationTest, TimerTicksAndEnablingAgainRestartsTheCount) {
    auto* T = Create<TTimer>(nullptr);
    TOwned<TTimer> Guard(T);
    int Ticks = 0;
    T->SetInterval(40);
    T->SetOnTimer(TNotifyEvent::FromFunction([&](TObject*) { ++Ticks; }));
    EXPECT_TRUE(PumpUntil([&] { return Ticks >= 2; }));

    // Restarted well within its interval again and again, a timer never fires.
    T->SetInterval(500);
    Ticks = 0;
    for (int I = 0; I < 12; ++I) {
        T->SetEnabled(false);
        T->SetEnabled(true);
        Pump(50);
    }
    EXPECT_EQ(Ticks, 0);
    T->SetOnTimer(nullptr);  // no handler: no system timer at all
    Pump(100);
    EXPECT_EQ(Ticks, 0);
}

TEST_F(ApplicationTest, ATimerKeepsRunningAfterItsHandlerRaises) {
    TRecorderScope Rec;
    auto* T = Create<TTimer>(nullptr);
    TOwned<TTimer> Guard(T);
    int Ticks = 0;
    T->SetInterval(30);
    T->SetOnTimer(TNotifyEvent::FromFunction([&](TObject*) {
        if (++Ticks == 1)
            throw Exception("Tick failed");
    }));
    EXPECT_TRUE(PumpUntil([&] { return Ticks >= 3; }));
    ASSERT_GE(Rec.Recorder.Entries.size(), 1u);
    EXPECT_EQ(Rec.Recorder.Entries[0].Text, "Tick failed.");
}

}  // namespace

namespace {

class TSyncWorker : public TThread {
    DECLARE_CLASS(TSyncWorker, TThread)
public:
    TSyncWorker() : TThread(false) {}
    DWORD RanOn = 0;

protected:
    void Execute() override {
        Synchronize([this] { RanOn = GetCurrentThreadId(); });
    }
};

TEST_F(ApplicationTest, TheMessageLoopServesCallsThatWorkersSynchronize) {
    auto* W = Create<TSyncWorker>();
    TOwned<TSyncWorker> Guard(W);
    EXPECT_TRUE(PumpUntil([&] { return W->Finished(); }, 5000));
    EXPECT_EQ(W->RanOn, GetCurrentThreadId());
}

}  // namespace
