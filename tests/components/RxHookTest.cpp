// Window hooks on a real window: the order of the before and after phases with two hooks, a
// handled message that stops the window, WM_DESTROY that always gets through, a recreated window
// that keeps its hooks, and hooks removed in either order giving the window its procedure back.
#include "RxHook.h"

#include "RxTestSupport.h"

#include <string>
#include <vector>

using namespace rx_tests;

namespace {

constexpr UINT ProbeMessage = WM_APP + 17;

WNDPROC ForeignBelow = nullptr;
LRESULT CALLBACK ForeignProc(HWND W, UINT M, WPARAM WP, LPARAM LP) { return CallWindowProcA(ForeignBelow, W, M, WP, LP); }

// A control that notes every probe message its own window procedure sees.
class TProbeControl : public TCustomControl {
    DECLARE_CLASS(TProbeControl, TCustomControl)
public:
    using TCustomControl::TCustomControl;
    std::vector<std::string>* Log = nullptr;
    void WndProc(TMessage& Message) override {
        if (Log && (Message.Msg == ProbeMessage || Message.Msg == WM_DESTROY))
            Log->push_back(Message.Msg == WM_DESTROY ? "window:destroy" : "window");
        TCustomControl::WndProc(Message);
    }
};

class RxHook : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        RxHookInitialization();
        Form = TForm::CreateNew(nullptr);
        Form->SetBounds(0, 0, 200, 100);
        Control = new TProbeControl(Form);
        Control->SetParent(Form);
        Control->SetBounds(0, 0, 50, 50);
        Control->Log = &Log;
        Original = WndProcOf();
    }
    void TearDown() override {
        if (Form)
            Form->Free();
        Pump(20);
        RxHookFinalization();
        WindowTest::TearDown();
    }
    WNDPROC WndProcOf() { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Control->Handle(), GWLP_WNDPROC)); }
    // A hook that notes its phases under Name; Handles says which phases declare the message handled.
    TRxWindowHook* AddHook(const std::string& Name, bool HandleBefore = false, bool HandleAfter = false) {
        auto* Hook = new TRxWindowHook(Form);
        Hook->BeforeMessage = THookMessageEvent::FromFunction([this, Name, HandleBefore](TObject*, TMessage& M, bool& H) {
            if (M.Msg == ProbeMessage || M.Msg == WM_DESTROY) {
                Log.push_back(Name + ":before");
                H = HandleBefore;
            }
        });
        Hook->AfterMessage = THookMessageEvent::FromFunction([this, Name, HandleAfter](TObject*, TMessage& M, bool& H) {
            if (M.Msg == ProbeMessage || M.Msg == WM_DESTROY) {
                Log.push_back(Name + ":after");
                H = HandleAfter;
            }
        });
        Hook->SetWinControl(Control);
        return Hook;
    }
    std::vector<std::string> Probe() {
        Log.clear();
        SendMessageA(Control->Handle(), ProbeMessage, 0, 0);
        return Log;
    }
    using L = std::vector<std::string>;
    TForm* Form = nullptr;
    TProbeControl* Control = nullptr;
    WNDPROC Original = nullptr;
    std::vector<std::string> Log;
};

TEST_F(RxHook, HookAddedLastSeesEachPhaseFirst) {
    AddHook("a");
    AddHook("b");
    EXPECT_EQ(Probe(), (L{"b:before", "a:before", "window", "b:after", "a:after"}));
    EXPECT_EQ(SharedHookList()->Count(), 1) << "one control hook serves both";
}

TEST_F(RxHook, HandledPhasesTable) {
    struct Case {
        const char* Name;
        bool FirstBefore, FirstAfter;  // of hook "b", added last
        L Expected;
    };
    const Case Cases[] = {
        {"nothing handled", false, false, {"b:before", "a:before", "window", "b:after", "a:after"}},
        {"handled before: others and the window skipped", true, false, {"b:before"}},
        {"handled after: the other after handler skipped", false, true, {"b:before", "a:before", "window", "b:after"}},
    };
    AddHook("a");
    for (const Case& C : Cases) {
        TRxWindowHook* B = AddHook("b", C.FirstBefore, C.FirstAfter);
        EXPECT_EQ(Probe(), C.Expected) << C.Name;
        B->Free();
    }
}

TEST_F(RxHook, DestroyAlwaysReachesTheWindowAndTheAfterHandlers) {
    AddHook("a", true);
    Log.clear();
    Control->SetParent(nullptr);  // destroys the window
    ASSERT_FALSE(Control->HandleAllocated());
    EXPECT_EQ(Log, (L{"a:before", "window:destroy", "a:after"}));
}

TEST_F(RxHook, RecreatedWindowGetsItsHookBack) {
    AddHook("a");
    Control->RecreateWnd();
    HWND Wnd = Control->Handle();
    // The procedure went with the old window and comes back through the list's posted message.
    ASSERT_TRUE(PumpUntil([&] { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Wnd, GWLP_WNDPROC)) != Original &&
                                       ExistingHookList()->ControlHooks(0)->Installed(); }));
    EXPECT_EQ(Probe(), (L{"a:before", "window", "a:after"}));
}

TEST_F(RxHook, InactiveOnlyHookRestoresTheProcedureAndActiveInstallsAgain) {
    TRxWindowHook* A = AddHook("a");
    EXPECT_NE(WndProcOf(), Original);
    A->SetActive(false);
    EXPECT_EQ(WndProcOf(), Original);
    EXPECT_EQ(Probe(), (L{"window"}));
    A->SetActive(true);
    EXPECT_NE(WndProcOf(), Original);
    EXPECT_EQ(Probe(), (L{"a:before", "window", "a:after"}));
}

TEST_F(RxHook, RemovedInEitherOrder) {
    for (bool FirstAddedGoesFirst : {true, false}) {
        TRxWindowHook* A = AddHook("a");
        TRxWindowHook* B = AddHook("b");
        (FirstAddedGoesFirst ? A : B)->Free();
        EXPECT_EQ(Probe(), (FirstAddedGoesFirst ? L{"b:before", "window", "b:after"} : L{"a:before", "window", "a:after"}));
        (FirstAddedGoesFirst ? B : A)->Free();
        EXPECT_EQ(WndProcOf(), Original) << FirstAddedGoesFirst;
        EXPECT_EQ(Probe(), (L{"window"}));
    }
}

TEST_F(RxHook, ProcedureInstalledOnTopIsLeftInPlace) {
    TRxWindowHook* A = AddHook("a");
    // Someone subclasses the window after the hook: removing the hook must not cut them off.
    WNDPROC Hooked = WndProcOf();
    ForeignBelow = Hooked;
    SetWindowLongPtrA(Control->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignProc));
    A->SetActive(false);
    EXPECT_EQ(WndProcOf(), &ForeignProc);
    SetWindowLongPtrA(Control->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Original));
}

TEST_F(RxHook, ControlHookLeftEmptyByAChangeOfControlIsFreedLater) {
    auto* Other = new TProbeControl(Form);
    Other->SetParent(Form);
    TRxWindowHook* A = AddHook("a");
    TControlHook* First = A->ControlHook();
    A->SetWinControl(Other);
    EXPECT_EQ(SharedHookList()->IndexOf(First), 0) << "still listed until its release message is handled";
    EXPECT_EQ(A->WinControl(), Other);
    ASSERT_TRUE(PumpUntil([&] { return SharedHookList()->IndexOf(First) < 0; }));
    EXPECT_EQ(SharedHookList()->Count(), 1);
    EXPECT_EQ(WndProcOf(), Original);
}

TEST_F(RxHook, FreedControlClearsTheHooksControl) {
    TRxWindowHook* A = AddHook("a");
    Control->Free();
    Control = nullptr;
    EXPECT_EQ(A->WinControl(), nullptr);
    EXPECT_EQ(A->ControlHook(), nullptr);
}

TEST_F(RxHook, ExceptionInAHandlerGoesToTheApplicationAndTheWalkGoesOn) {
    AddHook("a");
    auto* Throwing = new TRxWindowHook(Form);
    Throwing->BeforeMessage = THookMessageEvent::FromFunction([](TObject*, TMessage& M, bool&) {
        if (M.Msg == ProbeMessage)
            throw Exception("hook failed");
    });
    Throwing->SetWinControl(Control);
    std::vector<std::string> Shown;
    Application->OnException = TExceptionEvent::FromFunction([&](TObject*, Exception& E) { Shown.push_back(E.Message()); });
    EXPECT_EQ(Probe(), (L{"a:before", "window", "a:after"}));
    Application->OnException = nullptr;
    EXPECT_EQ(Shown, (L{"hook failed"}));
}

TEST_F(RxHook, HookOfItsOwnFormReadFromFormText) {
    RegisterClass(TRxWindowHook::StaticClass());
    TForm* Owner = TForm::CreateNew(nullptr);
    TStringStream Source("object HookForm: TForm\n  object Hook: TRxWindowHook\n    IsForm = True\n  end\nend\n");
    TMemoryStream Binary;
    ObjectTextToBinary(&Source, &Binary);
    Binary.SetPosition(0);
    Binary.ReadComponent(Owner);
    auto* Hook = As<TRxWindowHook>(Owner->FindComponent("Hook"));
    EXPECT_EQ(Hook->WinControl(), Owner);
    EXPECT_TRUE(Hook->Active());
    EXPECT_NE(Hook->ControlHook(), nullptr);
    EXPECT_FALSE(IsStoredProp(Hook, GetPropInfo(Hook, "WinControl"))) << "a form is named through IsForm only";
    Owner->Free();
}

}  // namespace
