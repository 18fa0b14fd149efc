// Message handling of controls: window procedures into WndProc, handler tables, default handlers,
// object-method window procedures, mouse routing to windowless controls and mouse enter/leave.
#include "ControlTestSupport.h"
#include "Menus.h"
#include "StdCtrls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace controltests;

namespace {

constexpr UINT WM_PROBE = WM_USER + 101;
constexpr UINT WM_PROBE_CHILD_ONLY = WM_USER + 102;

// Every message that reached a handler, by who handled it.
std::vector<std::string>& Trace() {
    static std::vector<std::string> T;
    return T;
}

class TProbeBase : public TWinControl {
    DECLARE_CLASS(TProbeBase, TWinControl)
public:
    using TWinControl::TWinControl;
    static void DefineClass(TClassBuilder<TProbeBase>& B) { B.Message<&TProbeBase::WMProbe>(WM_PROBE); }
    void WMProbe(TMessage& M) {
        Trace().push_back("base");
        M.Result = 7;
    }
};

// Handles the same message, then lets the ancestor's handler run too.
class TProbeChild : public TProbeBase {
    DECLARE_CLASS(TProbeChild, TProbeBase)
public:
    using TProbeBase::TProbeBase;
    static void DefineClass(TClassBuilder<TProbeChild>& B) {
        B.Message<&TProbeChild::WMProbe>(WM_PROBE);
        B.Message<&TProbeChild::WMChildOnly>(WM_PROBE_CHILD_ONLY);
    }
    void WMProbe(TMessage& M) {
        Trace().push_back("child");
        InheritedDispatch(StaticClass(), M);
        M.Result += 100;
    }
    void WMChildOnly(TMessage& M) { M.Result = 42; }
};

// A standard button under its own class name.
class TProbeButton : public TWinControl {
    DECLARE_CLASS(TProbeButton, TWinControl)
public:
    using TWinControl::TWinControl;

protected:
    void CreateParams(TCreateParams& Params) override {
        TWinControl::CreateParams(Params);
        CreateSubClass(Params, "BUTTON");
    }
};

// A windowless control that notes what reaches it.
class TProbeShape : public TGraphicControl {
    DECLARE_CLASS(TProbeShape, TGraphicControl)
public:
    using TGraphicControl::TGraphicControl;
    static void DefineClass(TClassBuilder<TProbeShape>& B) {
        B.Message<&TProbeShape::CMMouseEnter>(CM_MOUSEENTER);
        B.Message<&TProbeShape::CMMouseLeave>(CM_MOUSELEAVE);
    }
    TColor Fill = clRed;
    std::vector<std::string> Seen;
    void CMMouseEnter(TMessage& M) {
        Seen.push_back(M.LParam ? "enter-child" : "enter");
        InheritedDispatch(StaticClass(), M);
    }
    void CMMouseLeave(TMessage& M) {
        Seen.push_back(M.LParam ? "leave-child" : "leave");
        InheritedDispatch(StaticClass(), M);
    }

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(Fill);
        Canvas()->FillRect(TRect{0, 0, Width(), Height()});
    }
};

// A form that notes which of its children the mouse entered or left.
class TProbeForm : public TForm {
    DECLARE_CLASS(TProbeForm, TForm)
public:
    using TForm::TForm;
    static void DefineClass(TClassBuilder<TProbeForm>& B) {
        B.Message<&TProbeForm::CMMouseEnter>(CM_MOUSEENTER);
        B.Message<&TProbeForm::CMMouseLeave>(CM_MOUSELEAVE);
    }
    std::vector<TControl*> Entered, Exited;
    void CMMouseEnter(TMessage& M) {
        if (M.LParam)
            Entered.push_back(reinterpret_cast<TControl*>(M.LParam));
    }
    void CMMouseLeave(TMessage& M) {
        if (M.LParam)
            Exited.push_back(reinterpret_cast<TControl*>(M.LParam));
    }
};

class ControlDispatch : public ControlsTest {
protected:
    TForm* NewForm() {
        auto* F = TForm::CreateNew(nullptr);
        F->SetBounds(100, 100, 300, 200);
        F->SetPosition(poDesigned);
        return F;
    }
};

TEST_F(ControlDispatch, WindowMessagesReachTheHandlerTablesOfClassAndAncestors) {
    TForm* F = NewForm();
    auto* C = Create<TProbeChild>(F);
    C->SetParent(F);
    C->SetBounds(0, 0, 50, 20);
    F->Show();
    ASSERT_TRUE(C->HandleAllocated());

    Trace().clear();
    EXPECT_EQ(SendMessageA(C->Handle(), WM_PROBE, 0, 0), 107);
    EXPECT_EQ(Trace(), (std::vector<std::string>{"child", "base"}));
    EXPECT_EQ(C->Perform(WM_PROBE_CHILD_ONLY), 42);  // Perform takes the same road without the window

    // A base-class object never sees the descendant's entries.
    auto* B = Create<TProbeBase>(F);
    B->SetParent(F);
    EXPECT_EQ(B->Perform(WM_PROBE_CHILD_ONLY), 0);
}

TEST_F(ControlDispatch, ASwappedTableEntryActsAtOnce) {
    auto* C = Create<TProbeBase>(nullptr);
    TOwned<TProbeBase> Guard(C);
    Word* Table = TProbeBase::StaticClass()->DynamicTable();
    ASSERT_NE(Table, nullptr);
    ASSERT_EQ(Table[0], 1);
    ASSERT_EQ(Table[1], WM_PROBE);
    auto* Handlers = reinterpret_cast<TMessageHandler*>(Table + 1 + Table[0]);
    TMessageHandler Saved = Handlers[0];
    Handlers[0] = [](TObject*, TMessage& M) { M.Result = 99; };
    EXPECT_EQ(C->Perform(WM_PROBE), 99);
    Handlers[0] = Saved;
    EXPECT_EQ(C->Perform(WM_PROBE), 7);
}

TEST_F(ControlDispatch, StandardControlsKeepTheirOwnProcedureAsDefaultHandler) {
    TForm* F = NewForm();
    auto* B = Create<TProbeButton>(F);
    B->SetParent(F);
    B->SetCaption("Press");
    F->Show();
    char Cls[64] = {};
    GetClassNameA(B->Handle(), Cls, sizeof Cls);
    EXPECT_STREQ(Cls, "TProbeButton");
    // The button's own procedure answers what no handler takes.
    EXPECT_EQ(SendMessageA(B->Handle(), BM_SETCHECK, BST_CHECKED, 0), 0);
    EXPECT_NE(SendMessageA(B->Handle(), WM_GETDLGCODE, 0, 0) & (DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON), 0);
    char Text[32] = {};
    GetWindowTextA(B->Handle(), Text, sizeof Text);
    EXPECT_STREQ(Text, "Press");
    // Component messages never reach the system and answer 0.
    EXPECT_EQ(B->Perform(CM_BASE + 0x60, 1, 2), 0);
}

TEST_F(ControlDispatch, TheWindowProcedureIsTheControlsOwnObjectInstance) {
    TForm* F = NewForm();
    auto* A = Create<TProbeBase>(F);
    auto* B = Create<TProbeBase>(F);
    A->SetParent(F);
    B->SetParent(F);
    F->Show();
    auto ProcA = GetWindowLongPtrA(A->Handle(), GWLP_WNDPROC);
    auto ProcB = GetWindowLongPtrA(B->Handle(), GWLP_WNDPROC);
    EXPECT_NE(ProcA, ProcB);
    EXPECT_EQ(FindControl(A->Handle()), A);
    EXPECT_EQ(FindControl(GetDesktopWindow()), nullptr);
}

TEST_F(ControlDispatch, WindowProcCanBeHookedAndGivenBack) {
    auto* C = Create<TProbeChild>(nullptr);
    TOwned<TProbeChild> Guard(C);
    struct THook : TObject {
        TWndMethod Saved;
        int Seen = 0;
        void Proc(TMessage& M) {
            if (M.Msg == WM_PROBE)
                ++Seen;
            Saved(M);
        }
    } Hook;
    Hook.Saved = C->WindowProc;
    C->WindowProc = TWndMethod::Bind<&THook::Proc>(&Hook);
    EXPECT_EQ(C->Perform(WM_PROBE), 107);
    EXPECT_EQ(Hook.Seen, 1);
    EXPECT_TRUE(C->WindowProc == TWndMethod::Bind<&THook::Proc>(&Hook));
    C->WindowProc = Hook.Saved;
    C->Perform(WM_PROBE);
    EXPECT_EQ(Hook.Seen, 1);
}

// An object whose utility window frees itself from its own message.
struct TSelfFreeing : TObject {
    HWND Wnd = nullptr;
    int Messages = 0;
    void Proc(TMessage& M) {
        ++Messages;
        if (M.Msg == WM_PROBE) {
            DeallocateHWnd(Wnd);  // frees the running procedure: it must outlive this call
            Wnd = nullptr;
            M.Result = 5;
            return;
        }
        M.Result = DefWindowProcA(Wnd, M.Msg, M.WParam, M.LParam);
    }
};

TEST_F(ControlDispatch, UtilityWindowsCallTheirMethodAndMayFreeThemselves) {
    TSelfFreeing Obj;
    Obj.Wnd = AllocateHWnd(TWndMethod::Bind<&TSelfFreeing::Proc>(&Obj));
    HWND Wnd = Obj.Wnd;
    ASSERT_TRUE(IsWindow(Wnd));
    WNDPROC Proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Wnd, GWLP_WNDPROC));
    EXPECT_EQ(SendMessageA(Wnd, WM_PROBE, 0, 0), 5);
    EXPECT_FALSE(IsWindow(Wnd));
    // The freed procedure is used again by the next instance.
    WNDPROC Next = MakeObjectInstance(TWndMethod::Bind<&TSelfFreeing::Proc>(&Obj));
    EXPECT_EQ(Next, Proc);
    FreeObjectInstance(Next);
    FreeObjectInstance(Next);  // a second free is harmless
}

TEST_F(ControlDispatch, ExceptionsInMessageHandlersReachTheApplication) {
    TRecorderScope Rec;
    TForm* F = NewForm();
    F->SetCaption("x");
    auto* B = Create<TButton>(F);
    B->SetParent(F);
    B->OnClick = TNotifyEvent::FromFunction([](TObject*) { throw EConvertError("Bad value"); });
    F->Show();
    SendMessageA(B->Handle(), BM_CLICK, 0, 0);
    ASSERT_EQ(Rec.Recorder.Entries.size(), 1u);
    EXPECT_EQ(Rec.Recorder.Entries[0].Text, "Bad value.");
    EXPECT_EQ(Rec.Recorder.Entries[0].Caption, Application->Title());
    EXPECT_EQ(Rec.Recorder.Entries[0].Flags, UINT(MB_OK | MB_ICONSTOP));
    // The program goes on: the button still works.
    int Clicks = 0;
    B->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++Clicks; });
    SendMessageA(B->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(Clicks, 1);
}

// A control whose next Throws paints fail.
class TFailingPaint : public TCustomControl {
    DECLARE_CLASS(TFailingPaint, TCustomControl)
public:
    using TCustomControl::TCustomControl;
    int Throws = 0;
    int Painted = 0;

protected:
    void Paint() override {
        if (Throws > 0) {
            --Throws;
            throw EConvertError("Paint failed");
        }
        ++Painted;
    }
};

TEST_F(ControlDispatch, AFailedPaintIsEndedAndReportedOnceEvenWhenTheReportRepaints) {
    TForm* F = NewForm();
    auto* C = Create<TFailingPaint>(F);
    C->SetParent(F);
    C->SetBounds(0, 0, 100, 80);
    F->Show();
    Pump();
    struct Case {
        int Throws;
        bool ReportRepaints;  // the report paints the control again meanwhile, as a message box does
    };
    for (const Case& K : {Case{1, false}, Case{50, true}}) {
        C->Throws = K.Throws;
        int Reports = 0, PendingAtReport = -1;
        Application->OnException = TExceptionEvent::FromFunction([&](TObject*, Exception& E) {
            ++Reports;
            EXPECT_EQ(E.Message(), "Paint failed");
            RECT U;
            PendingAtReport = GetUpdateRect(C->Handle(), &U, FALSE) ? 1 : 0;
            if (K.ReportRepaints) {
                InvalidateRect(C->Handle(), nullptr, TRUE);
                UpdateWindow(C->Handle());
            }
        });
        InvalidateRect(C->Handle(), nullptr, TRUE);
        UpdateWindow(C->Handle());
        Application->OnException = nullptr;
        EXPECT_EQ(Reports, 1) << K.Throws;
        EXPECT_EQ(PendingAtReport, 0) << "the failed paint was ended before the report";
        // The program goes on: with the fault gone the control paints again.
        C->Throws = 0;
        const int Before = C->Painted;
        InvalidateRect(C->Handle(), nullptr, TRUE);
        UpdateWindow(C->Handle());
        EXPECT_EQ(C->Painted, Before + 1) << K.Throws;
    }
    F->Free();
}

// The shift state of a key message: Shift and Ctrl as the keyboard holds them, Alt from the data.
TEST_F(ControlDispatch, KeyDataShiftStateFollowsTheKeyboardAndTheAltBit) {
    BYTE Saved[256];
    GetKeyboardState(Saved);
    struct Case {
        bool Shift, Ctrl, AltBit;
    };
    for (const Case& K : {Case{false, false, false}, Case{true, false, false}, Case{false, true, false},
                          Case{true, true, true}, Case{false, false, true}}) {
        BYTE State[256];
        std::copy(Saved, Saved + 256, State);
        State[VK_SHIFT] = K.Shift ? 0x81 : 0;
        State[VK_CONTROL] = K.Ctrl ? 0x80 : 0x01;  // the toggle bit alone is no key held down
        State[VK_MENU] = 0x80;                      // Alt is read from the message, not the keyboard
        SetKeyboardState(State);
        TShiftState S = KeyDataToShiftState(K.AltBit ? 0x20000000 : 0);
        EXPECT_EQ(S.Contains(ssShift), K.Shift);
        EXPECT_EQ(S.Contains(ssCtrl), K.Ctrl);
        EXPECT_EQ(S.Contains(ssAlt), K.AltBit);
        TShiftState G = GetShiftState();
        EXPECT_EQ(G.Contains(ssShift), K.Shift);
        EXPECT_EQ(G.Contains(ssCtrl), K.Ctrl);
        EXPECT_TRUE(G.Contains(ssAlt));
    }
    SetKeyboardState(Saved);
}

class ControlMouse : public ControlDispatch {
protected:
    void SetUp() override {
        ControlDispatch::SetUp();
        Form = TForm::CreateNewOf<TProbeForm>(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetPosition(poDesigned);
        Form->SetBounds(200, 200, 200, 120);
        Shape = Create<TProbeShape>(Form);
        Shape->SetParent(Form);
        Shape->SetBounds(10, 10, 60, 40);
        Form->Show();
        Pump();
    }
    void MoveTo(int X, int Y) {
        // The cursor moves, then the form hears of it as it would from the system.
        SetCursorPos(Form->Left() + X, Form->Top() + Y);
        PostMessageA(Form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(X, Y));
        Pump(30);
    }
    TProbeForm* Form = nullptr;
    TProbeShape* Shape = nullptr;
};

TEST_F(ControlMouse, EnterAndLeaveReachAWindowlessControlAndItsParent) {
    MoveTo(150, 100);
    Shape->Seen.clear();
    Form->Entered.clear();
    MoveTo(30, 30);
    EXPECT_EQ(Shape->Seen, (std::vector<std::string>{"enter"}));
    EXPECT_EQ(Form->Entered, (std::vector<TControl*>{Shape}));
    MoveTo(150, 100);
    EXPECT_EQ(Shape->Seen, (std::vector<std::string>{"enter", "leave"}));
    EXPECT_EQ(Form->Exited, (std::vector<TControl*>{Shape}));
}

TEST_F(ControlMouse, ClicksOnTheParentWindowGoToTheWindowlessControlUnderThem) {
    std::vector<std::string> Events;
    Shape->OnClick = TNotifyEvent::FromFunction([&](TObject*) { Events.push_back("click"); });
    Shape->OnMouseDown = TMouseEvent::FromFunction(
        [&](TObject*, TMouseButton, TShiftState, int X, int Y) { Events.push_back("down " + std::to_string(X) + "," + std::to_string(Y)); });
    Form->OnClick = TNotifyEvent::FromFunction([&](TObject*) { Events.push_back("form click"); });
    SendMessageA(Form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 20));
    SendMessageA(Form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(15, 20));
    // Outside the shape the form has the click.
    SendMessageA(Form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 100));
    SendMessageA(Form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(150, 100));
    EXPECT_EQ(Events, (std::vector<std::string>{"down 5,10", "click", "form click"}));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ControlMouse, AnotherProgramsWindowIsNoControlWhateverItCarries) {
    // The desktop window belongs to the desktop's own process; what it carries under the controls'
    // property is an address of that process.
    HWND Desktop = GetDesktopWindow();
    DWORD Process = 0;
    GetWindowThreadProcessId(Desktop, &Process);
    ASSERT_NE(Process, GetCurrentProcessId());
    ATOM Atom = GlobalFindAtomA(ControlAtomName);
    ASSERT_NE(Atom, 0);
    ASSERT_TRUE(SetPropA(Desktop, MAKEINTATOM(Atom), reinterpret_cast<HANDLE>(Form)));
    EXPECT_EQ(FindControl(Desktop), nullptr);
    RemovePropA(Desktop, MAKEINTATOM(Atom));
    EXPECT_EQ(FindControl(Form->Handle()), Form);
}

TEST_F(ControlMouse, AFreedControlUnderTheMouseGetsNoLeave) {
    MoveTo(30, 30);
    ASSERT_FALSE(Shape->Seen.empty());
    Shape->Free();
    Shape = nullptr;
    MoveTo(150, 100);  // must not touch the freed control
    EXPECT_TRUE(Form->Exited.empty());
}

// Notes where it would pop up instead of running the system's menu loop.
class TNotedPopup : public TPopupMenu {
    DECLARE_CLASS(TNotedPopup, TPopupMenu)
public:
    using TPopupMenu::TPopupMenu;
    std::vector<std::string> Shown;
    void Popup(int X, int Y) override {
        Shown.push_back(PopupComponent()->Name() + " " + std::to_string(X) + "," + std::to_string(Y));
    }
};

TEST_F(ControlMouse, ARightClickShowsThePopupMenuOfTheControlOrOfAParent) {
    Form->SetName("Form");
    Shape->SetName("Shape");
    auto* Child = Create<TProbeBase>(Form);
    Child->SetName("Child");
    Child->SetParent(Form);
    Child->SetBounds(100, 10, 50, 30);
    auto* FormMenu = Create<TNotedPopup>(Form);
    Form->SetPopupMenu(FormMenu);
    auto At = [&](int X, int Y) { return MAKELPARAM(Form->Left() + X, Form->Top() + Y); };
    SendMessageA(Form->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Form->Handle()), At(20, 20));
    SendMessageA(Child->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Child->Handle()), At(110, 20));
    auto* ShapeMenu = Create<TNotedPopup>(Form);
    Shape->SetPopupMenu(ShapeMenu);
    SendMessageA(Form->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Form->Handle()), At(20, 20));
    EXPECT_EQ(FormMenu->Shown, (std::vector<std::string>{"Form 220,220", "Form 310,220"}));
    EXPECT_EQ(ShapeMenu->Shown, (std::vector<std::string>{"Shape 220,220"}));
    // A menu that goes takes itself off the control; without AutoPopup nothing pops up.
    ShapeMenu->Free();
    EXPECT_EQ(Shape->PopupMenu(), nullptr);
    FormMenu->SetAutoPopup(false);
    SendMessageA(Form->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Form->Handle()), At(20, 20));
    EXPECT_EQ(FormMenu->Shown.size(), 2u);
}

TEST_F(ControlMouse, WindowlessControlsArePaintedByTheirParent) {
    Shape->Fill = clBlue;
    Form->SetColor(clLime);
    HDC Screen = GetDC(nullptr);
    HDC Mem = CreateCompatibleDC(Screen);
    HBITMAP Bmp = CreateCompatibleBitmap(Screen, 200, 120);
    ReleaseDC(nullptr, Screen);
    HGDIOBJ Old = SelectObject(Mem, Bmp);
    Form->PaintTo(Mem, 0, 0);
    EXPECT_EQ(GetPixel(Mem, 20, 20), RGB(0, 0, 255));   // inside the shape
    EXPECT_EQ(GetPixel(Mem, 150, 100), RGB(0, 255, 0));  // the form's background
    EXPECT_EQ(GetPixel(Mem, 70, 20), RGB(0, 255, 0));   // just right of the shape (its right edge is out)
    SelectObject(Mem, Old);
    DeleteObject(Bmp);
    DeleteDC(Mem);
}

}  // namespace
