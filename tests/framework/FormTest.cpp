// Forms and data modules: reading from form resources, showing, modal loops, closing, styles.
#include "ControlTestSupport.h"
#include "StdCtrls.h"
#include "Timers.h"

#include <gtest/gtest.h>

using namespace controltests;

namespace {

class TCtlPanel : public TWinControl {
    DECLARE_CLASS(TCtlPanel, TWinControl)
public:
    explicit TCtlPanel(TComponent* AOwner) : TWinControl(AOwner) { FControlStyle.Include(csAcceptsControls); }
};

class TCtlShape : public TGraphicControl {
    DECLARE_CLASS(TCtlShape, TGraphicControl)
public:
    using TGraphicControl::TGraphicControl;
};

class TCtlTestForm : public TForm {
    DECLARE_CLASS(TCtlTestForm, TForm)
public:
    using TForm::TForm;
    static void DefineClass(TClassBuilder<TCtlTestForm>& B) {
        B.Field("pnlTop", &TCtlTestForm::pnlTop);
        B.Field("shpMark", &TCtlTestForm::shpMark);
        B.Field("btnOk", &TCtlTestForm::btnOk);
        B.Field("btnCancel", &TCtlTestForm::btnCancel);
        B.Method<&TCtlTestForm::FormCreate>("FormCreate");
        B.Method<&TCtlTestForm::FormDestroy>("FormDestroy");
        B.Method<&TCtlTestForm::btnOkClick>("btnOkClick");
    }
    TCtlPanel* pnlTop = nullptr;
    TCtlShape* shpMark = nullptr;
    TButton* btnOk = nullptr;
    TButton* btnCancel = nullptr;
    int Created = 0;
    int OkClicks = 0;
    void FormCreate(TObject*) { ++Created; }
    void FormDestroy(TObject*) {}
    void btnOkClick(TObject*) { ++OkClicks; }
};

class TCtlTestModule : public TDataModule {
    DECLARE_CLASS(TCtlTestModule, TDataModule)
public:
    using TDataModule::TDataModule;
    static void DefineClass(TClassBuilder<TCtlTestModule>& B) {
        B.Field("tmTick", &TCtlTestModule::tmTick);
        B.Method<&TCtlTestModule::ModuleCreate>("ModuleCreate");
    }
    TTimer* tmTick = nullptr;
    int Created = 0;
    void ModuleCreate(TObject*) { ++Created; }
};

// A form that keeps minimise to itself, as the program's main window does.
class TKeepsMinimize : public TForm {
    DECLARE_CLASS(TKeepsMinimize, TForm)
public:
    using TForm::TForm;
    static void DefineClass(TClassBuilder<TKeepsMinimize>& B) {
        B.Message<&TKeepsMinimize::WMSysCommand>(WM_SYSCOMMAND);
        B.Message<&TKeepsMinimize::WMUserPing>(WM_USER + 7);
    }
    int Minimizes = 0;
    int Pings = 0;
    void WMSysCommand(TMessage& M) {
        if ((M.WParam & 0xFFF0) == SC_MINIMIZE) {
            ++Minimizes;
            return;
        }
        InheritedDispatch(StaticClass(), M);
    }
    void WMUserPing(TMessage& M) {
        ++Pings;
        M.Result = 1;
    }
};

class FormTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        RegisterClasses({TCtlPanel::StaticClass(), TCtlShape::StaticClass()});
    }
    // Posts a key to the form as the keyboard would (the focus is not chosen yet when OnShow runs).
    static void PostKey(TCustomForm* Form, WPARAM Key) { PostMessageA(Form->Handle(), WM_KEYDOWN, Key, 1); }
};

TEST_F(FormTest, AFormReadFromItsResourceHasItsNestedControlsAndShows) {
    auto* F = Create<TCtlTestForm>(nullptr);
    EXPECT_EQ(F->Created, 1);
    ASSERT_NE(F->btnOk, nullptr);
    ASSERT_NE(F->shpMark, nullptr);
    EXPECT_EQ(F->Caption(), "Controls test");
    EXPECT_EQ(F->shpMark->Parent(), F->pnlTop);
    EXPECT_EQ(F->btnOk->Parent(), F->pnlTop);
    EXPECT_EQ(F->btnCancel->Parent(), F);
    EXPECT_EQ(F->btnOk->Font()->Name(), "Verdana");  // ParentFont from the form's file
    EXPECT_EQ(F->ClientWidth(), 320);
    EXPECT_EQ(F->ClientHeight(), 200);
    EXPECT_FALSE(F->Visible());

    F->Show();
    ASSERT_TRUE(F->btnOk->HandleAllocated());
    EXPECT_EQ(GetParent(F->btnOk->Handle()), F->pnlTop->Handle());
    EXPECT_TRUE(IsWindowVisible(F->btnOk->Handle()));
    EXPECT_EQ(F->pnlTop->Width(), F->ClientWidth());  // aligned to the top
    RECT R;
    GetClientRect(F->Handle(), &R);
    EXPECT_EQ(R.right, 320);
    EXPECT_EQ(R.bottom, 200);

    // The button's notification comes back to it through its parent and runs the bound method.
    SendMessageA(F->btnOk->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(F->OkClicks, 1);
    EXPECT_EQ(F->ModalResult(), mrOk);
}

TEST_F(FormTest, AFormClassWithoutAResourceCannotBeCreatedButAnEmptyOneCan) {
    EXPECT_THROW(Create<TKeepsMinimize>(nullptr), EResNotFound);
    auto* F = TForm::CreateNewOf<TKeepsMinimize>(nullptr);
    EXPECT_EQ(F->ControlCount(), 0);
    auto* Plain = Create<TForm>(nullptr);  // the base class has no resource of its own
    EXPECT_EQ(Screen->Forms(Screen->FormCount() - 1), Plain);
}

struct TModalCase {
    WPARAM Key;
    TModalResult Expected;
};

TEST_F(FormTest, ShowModalReturnsTheModalResultThatAButtonSets) {
    const TModalCase Cases[] = {{VK_RETURN, mrOk}, {VK_ESCAPE, mrCancel}};
    for (const TModalCase& C : Cases) {
        auto* F = Create<TCtlTestForm>(nullptr);
        F->OnShow = TNotifyEvent::FromFunction([&](TObject*) { PostKey(F, C.Key); });
        EXPECT_EQ(F->ShowModal(), C.Expected) << C.Key;
        EXPECT_FALSE(F->Visible());
        EXPECT_FALSE(F->FormState().Contains(fsModal));
        F->Free();
    }
    auto* F = Create<TCtlTestForm>(nullptr);
    F->OnShow = TNotifyEvent::FromFunction([&](TObject*) { PostMessageA(F->btnOk->Handle(), BM_CLICK, 0, 0); });
    EXPECT_EQ(F->ShowModal(), mrOk);
    EXPECT_EQ(F->OkClicks, 1);
    F->Show();
    EXPECT_THROW(F->ShowModal(), EInvalidOperation);
}

TEST_F(FormTest, AModalFormThatRefusesToCloseStaysUntilItAgrees) {
    auto* F = Create<TCtlTestForm>(nullptr);
    int Asked = 0;
    F->OnCloseQuery = TCloseQueryEvent::FromFunction([&](TObject*, bool& CanClose) { CanClose = ++Asked > 1; });
    F->OnShow = TNotifyEvent::FromFunction([&](TObject*) {
        PostMessageA(F->btnCancel->Handle(), BM_CLICK, 0, 0);
        PostMessageA(F->btnOk->Handle(), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(F->ShowModal(), mrOk);
    EXPECT_EQ(Asked, 2);
}

struct TCloseCase {
    TCloseAction Action;
    bool Visible;
    TWindowState State;
};

TEST_F(FormTest, CloseDoesWhatOnCloseAsks) {
    const TCloseCase Cases[] = {{caNone, true, wsNormal}, {caHide, false, wsNormal}, {caMinimize, true, wsMinimized}};
    for (const TCloseCase& C : Cases) {
        auto* F = Create<TCtlTestForm>(nullptr);
        F->OnClose = TCloseEvent::FromFunction([&](TObject*, TCloseAction& A) {
            EXPECT_EQ(A, caHide);  // the default
            A = C.Action;
        });
        F->Show();
        F->Close();
        EXPECT_EQ(F->Visible(), C.Visible) << C.Action;
        EXPECT_EQ(F->WindowState(), C.State) << C.Action;
        F->Free();
    }
}

TEST_F(FormTest, CloseWithCaFreeFreesTheFormAndClearsItsGlobal) {
    static TCtlTestForm* Global = nullptr;
    Application->CreateForm(Global);
    ASSERT_NE(Global, nullptr);
    EXPECT_NE(Application->MainForm(), Global);  // the program's main form came first
    TCtlTestForm* F = Global;
    bool Alive = false;
    F->OnClose = TCloseEvent::FromFunction([](TObject*, TCloseAction& A) { A = caFree; });
    F->OnDestroy = TNotifyEvent::FromFunction([&](TObject*) { Alive = F->FindComponent("btnOk") != nullptr; });
    F->Show();
    int Forms = Screen->FormCount();
    PostMessageA(F->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpUntil([] { return Global == nullptr; }));
    EXPECT_EQ(Screen->FormCount(), Forms - 1);
    EXPECT_TRUE(Alive);  // OnDestroy ran before the components went
}

TEST_F(FormTest, CreateFormsReferenceIsEmptiedWhenTheFormGoesOrCannotBeMade) {
    static TCtlTestForm* Global = nullptr;
    Application->CreateForm(Global);
    EXPECT_EQ(Global->Created, 1);
    Global->Free();
    EXPECT_EQ(Global, nullptr);

    // A form whose creation fails is gone and so is the reference.
    static TKeepsMinimize* Broken = nullptr;
    int Forms = Screen->FormCount();
    EXPECT_THROW(Application->CreateForm(Broken), EResNotFound);
    EXPECT_EQ(Broken, nullptr);
    EXPECT_EQ(Screen->FormCount(), Forms);
}

TEST_F(FormTest, MessageMethodsOfAFormTakeSystemCommandsAndUserMessages) {
    auto* F = TForm::CreateNewOf<TKeepsMinimize>(nullptr);
    F->SetPosition(poDesigned);
    F->Show();
    SendMessageA(F->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(F->Minimizes, 1);
    EXPECT_FALSE(IsIconic(F->Handle()));
    EXPECT_EQ(SendMessageA(F->Handle(), WM_USER + 7, 0, 0), 1);
    EXPECT_EQ(F->Pings, 1);
}

TEST_F(FormTest, ScreenCentreIsAppliedAtTheFirstShow) {
    auto* F = TForm::CreateNew(nullptr);
    F->SetBounds(0, 0, 300, 200);
    F->SetPosition(poScreenCenter);
    F->Show();
    EXPECT_EQ(F->Left(), (GetSystemMetrics(SM_CXSCREEN) - 300) / 2);
    EXPECT_EQ(F->Top(), (GetSystemMetrics(SM_CYSCREEN) - 200) / 2);
    F->Hide();
    F->SetLeft(5);
    F->Show();  // only the first show places it
    EXPECT_EQ(F->Left(), 5);
}

struct TStyleCase {
    TFormBorderStyle Border;
    TBorderIcons Icons;
    DWORD StyleOn, StyleOff, ExOn;
};

TEST_F(FormTest, BorderStyleAndIconsGiveTheWindowStyles) {
    const TStyleCase Cases[] = {
        {bsSizeable, {biSystemMenu, biMinimize, biMaximize}, WS_THICKFRAME | WS_SYSMENU | WS_MAXIMIZEBOX, 0, 0},
        {bsDialog, {biSystemMenu}, WS_SYSMENU, WS_THICKFRAME | WS_MINIMIZEBOX, WS_EX_DLGMODALFRAME},
        {bsDialog, {}, WS_CAPTION, WS_SYSMENU, WS_EX_DLGMODALFRAME},
        {bsToolWindow, {biSystemMenu}, WS_CAPTION, WS_THICKFRAME, WS_EX_TOOLWINDOW},
        {bsNone, {biSystemMenu}, WS_POPUP, WS_CAPTION | WS_SYSMENU, 0},
    };
    for (const TStyleCase& C : Cases) {
        auto* F = TForm::CreateNew(nullptr);
        F->SetBorderStyle(C.Border);
        F->SetBorderIcons(C.Icons);
        F->Show();
        DWORD Style = static_cast<DWORD>(GetWindowLongPtrA(F->Handle(), GWL_STYLE));
        DWORD Ex = static_cast<DWORD>(GetWindowLongPtrA(F->Handle(), GWL_EXSTYLE));
        EXPECT_EQ(Style & C.StyleOn, C.StyleOn) << C.Border;
        EXPECT_EQ(Style & C.StyleOff, 0u) << C.Border;
        EXPECT_EQ(Ex & C.ExOn, C.ExOn) << C.Border;
        EXPECT_EQ(GetWindow(F->Handle(), GW_OWNER), Application->Handle());
        F->Free();
    }
}

TEST_F(FormTest, StayOnTopCanBeSwitchedWhileShown) {
    auto* F = TForm::CreateNew(nullptr);
    F->Show();
    F->SetFormStyle(fsStayOnTop);
    EXPECT_NE(GetWindowLongPtrA(F->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    F->SetFormStyle(fsNormal);
    EXPECT_EQ(GetWindowLongPtrA(F->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

TEST_F(FormTest, KeyPreviewLetsTheFormSeeKeysFirst) {
    auto* F = Create<TCtlTestForm>(nullptr);
    F->Show();
    SetForegroundWindow(F->Handle());
    F->btnCancel->SetFocus();
    std::string Seen;
    F->OnKeyDown = TKeyEvent::FromFunction([&](TObject*, Word& Key, TShiftState) {
        Seen += "form ";
        if (Key == 'X')
            Key = 0;  // eaten
    });
    F->btnCancel->OnKeyDown = TKeyEvent::FromFunction([&](TObject*, Word&, TShiftState) { Seen += "button "; });
    F->SetKeyPreview(true);
    PostMessageA(F->btnCancel->Handle(), WM_KEYDOWN, 'A', 1);
    PostMessageA(F->btnCancel->Handle(), WM_KEYDOWN, 'X', 1);
    Pump();
    EXPECT_EQ(Seen, "form button form ");
}

TEST_F(FormTest, DataModulesAreReadFromTheirResourceAndListedByTheScreen) {
    RegisterClass(TTimer::StaticClass());
    auto* M = Create<TCtlTestModule>(nullptr);
    EXPECT_EQ(M->Created, 1);
    ASSERT_NE(M->tmTick, nullptr);
    EXPECT_EQ(M->tmTick->Interval(), 250u);
    EXPECT_FALSE(M->tmTick->Enabled());
    EXPECT_EQ(Screen->DataModules(Screen->DataModuleCount() - 1), M);
    EXPECT_EQ(FindGlobalComponent("CtlTestModule"), M);
    M->Free();
    EXPECT_EQ(FindGlobalComponent("CtlTestModule"), nullptr);
}

}  // namespace

namespace {

using MDIFormTest = ControlsTest;

TEST_F(MDIFormTest, ChildrenLiveInTheFramesClientWindow) {
    TOwned<TForm> Frame(TForm::CreateNew(nullptr));
    Frame->SetFormStyle(fsMDIForm);
    Frame->SetBounds(20, 20, 500, 400);
    Frame->Show();
    HWND Client = Frame->ClientHandle();
    ASSERT_TRUE(Client);
    EXPECT_EQ(GetParent(Client), Frame->Handle());
    char Class[32] = {};
    GetClassNameA(Client, Class, sizeof(Class));
    EXPECT_STREQ(Class, "MDIClient");
    auto Fills = [&] {
        RECT F, C;
        GetClientRect(Frame->Handle(), &F);
        GetWindowRect(Client, &C);
        return C.right - C.left == F.right && C.bottom - C.top == F.bottom;
    };
    EXPECT_TRUE(Fills());
    Frame->SetBounds(20, 20, 600, 450);
    EXPECT_TRUE(Fills()) << "the client window follows the frame's size";

    TOwned<TForm> Child(TForm::CreateNew(nullptr));
    Child->SetFormStyle(fsMDIChild);
    Child->SetCaption("Child");
    Child->Show();
    EXPECT_EQ(GetParent(Child->Handle()), Client);
    EXPECT_TRUE(GetWindowLongA(Child->Handle(), GWL_EXSTYLE) & WS_EX_MDICHILD);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(Client, WM_MDIGETACTIVE, 0, 0)), Child->Handle());
    EXPECT_EQ(Frame->MDIChildCount(), 1);
    EXPECT_EQ(Frame->MDIChildren(0), Child.get());
    SendMessageA(Client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(Child->Handle()), 0);
    EXPECT_TRUE(IsZoomed(Child->Handle())) << "the system's MDI procedures run for the child";
    Child.reset();
    EXPECT_EQ(Frame->MDIChildCount(), 0);
}

TEST_F(MDIFormTest, AnMDIChildWithoutAnMDIFormCannotBeMade) {
    TOwned<TForm> Child(TForm::CreateNew(nullptr));
    Child->SetFormStyle(fsMDIChild);
    EXPECT_THROW(Child->HandleNeeded(), EInvalidOperation);
}

}  // namespace
