// The tray icon as the main window uses it: the records sent to the shell, the shell's callbacks
// turned into mouse events, the menu and its default item, minimising to the tray through the
// application window, the shell's restart, icon cycling and the balloon.
#include "abfTestSupport.h"

#include <algorithm>
#include <memory>

using namespace abftests;

namespace {

// A menu that records where it would pop up instead of tracking (which waits for the user).
class TRecordingPopupMenu : public TPopupMenu {
    DECLARE_CLASS(TRecordingPopupMenu, TPopupMenu)
public:
    using TPopupMenu::TPopupMenu;
    void Popup(int X, int Y) override {
        Popups.push_back({X, Y});
        Component = PopupComponent();
    }
    std::vector<POINT> Popups;
    TComponent* Component = nullptr;
};

std::string Tip(const NOTIFYICONDATAA& D) { return D.szTip; }

HICON StockIcon() { return CopyIcon(LoadIconA(nullptr, IDI_APPLICATION)); }

// A tray icon on the main window, as the program places it, with every event recorded.
class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = Application->MainForm();
        Form->SetVisible(true);
        Tray = Create<TabfTrayIcon>(Form);
        Tray->SetName("TrayIcon");
        auto Note = [this](const char* What) { return TNotifyEvent::FromFunction([this, What](TObject*) { Events.push_back(What); }); };
        Tray->OnShow = Note("show");
        Tray->OnHide = Note("hide");
        Tray->OnClick = Note("click");
        Tray->OnDblClick = Note("dblclick");
        Tray->OnMinimize = Note("minimize");
        Tray->OnPopupMenu = Note("popupmenu");
        Tray->OnCycleIcons = Note("cycle");
        Tray->OnMouseDown = TMouseEvent::FromFunction([this](TObject*, TMouseButton B, TShiftState S, int, int) {
            Events.push_back(B == mbLeft ? "down left" : B == mbRight ? "down right" : "down middle");
            Shifts.push_back(S);
        });
        Tray->OnMouseUp = TMouseEvent::FromFunction([this](TObject*, TMouseButton B, TShiftState S, int, int) {
            Events.push_back(B == mbLeft ? "up left" : B == mbRight ? "up right" : "up middle");
            Shifts.push_back(S);
        });
        Tray->OnMouseMove = TMouseMoveEvent::FromFunction([this](TObject*, TShiftState, int, int) { Events.push_back("move"); });
    }
    void TearDown() override {
        FreeAndNil(Tray);
        FreeAndNil(Menu);
        IsNewShell = SavedNewShell;
        Form->SetVisible(true);
        ShowApplicationWindow();
    }
    // The shell's callback for a mouse message on the icon.
    void Callback(UINT MouseMessage) { SendMessageA(Tray->WindowHandle(), WM_ABF_TRAYNOTIFY, 0, MouseMessage); }
    // The tray menu with its default item first, as the program's.
    void AddMenu(bool WithDefault) {
        Menu = Create<TRecordingPopupMenu>(nullptr);
        for (const char* Caption : {"Open", "-", "Exit"}) {
            auto* Item = Create<TMenuItem>(Menu);
            Item->SetCaption(Caption);
            Item->OnClick = TNotifyEvent::FromFunction([this, Caption](TObject*) { Events.push_back(std::string("item ") + Caption); });
            Menu->Items()->Add(Item);
        }
        Menu->Items()->Items(0)->SetDefault(WithDefault);
        Tray->SetPopupMenu(Menu);
    }

    TCustomForm* Form = nullptr;
    TabfTrayIcon* Tray = nullptr;
    TRecordingPopupMenu* Menu = nullptr;
    std::vector<std::string> Events;
    std::vector<TShiftState> Shifts;
    bool SavedNewShell = IsNewShell;
};

BOOL CALLBACK CountWindow(HWND, LPARAM Data) {
    ++*reinterpret_cast<int*>(Data);
    return TRUE;
}

int ThreadWindowCount() {
    int Count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&Count));
    return Count;
}

TEST_F(TrayIconTest, DefaultsAndNothingSentUntilShown) {
    TTrayRecorder Shell;
    const int WindowsBefore = ThreadWindowCount();
    TOwned<TabfTrayIcon> Fresh(Create<TabfTrayIcon>(nullptr));
    // Its window (a hidden top-level one, dear to make) comes with the icon, not with the component.
    EXPECT_EQ(ThreadWindowCount(), WindowsBefore);
    EXPECT_TRUE(Fresh->Enabled());
    EXPECT_FALSE(Fresh->Visible());
    EXPECT_FALSE(Fresh->CycleIcons());
    EXPECT_EQ(Fresh->CycleInterval(), 200u);
    EXPECT_TRUE(Fresh->ShowHint());
    EXPECT_EQ(Fresh->InfoTimeout(), 10000);
    EXPECT_EQ(Fresh->InfoType(), tiiNone);
    EXPECT_EQ(Fresh->IconFlags(), UINT(NIF_MESSAGE | NIF_TIP));
    EXPECT_TRUE(Shell.Requests.empty());
}

// The shell's record sizes, with and without the balloon fields, in 32 and in 64 bits.
constexpr DWORD LongRecord = sizeof(void*) == 8 ? 504 : 488;
constexpr DWORD ShortRecord = sizeof(void*) == 8 ? 104 : 88;

TEST_F(TrayIconTest, ShowingAddsTheIconWithItsRecordAndHidingRemovesIt) {
    TTrayRecorder Shell;
    Tray->SetHint("Quarnel Backup");
    Tray->SetIconID(7);
    Tray->Icon()->SetHandle(StockIcon());
    Tray->SetVisible(true);

    ASSERT_EQ(Shell.Messages().back(), "add");
    const NOTIFYICONDATAA& D = Shell.Requests.back().Data;
    EXPECT_EQ(D.cbSize, LongRecord);
    EXPECT_EQ(D.hWnd, Tray->WindowHandle());
    EXPECT_EQ(D.uID, 7u);
    EXPECT_EQ(D.uFlags, UINT(NIF_MESSAGE | NIF_TIP | NIF_ICON));
    EXPECT_EQ(D.uCallbackMessage, 1235u);
    EXPECT_NE(D.hIcon, nullptr);
    EXPECT_EQ(Tip(D), "Quarnel Backup");
    EXPECT_TRUE(Shell.Requests.back().Result) << "Wine's shell took the icon";
    EXPECT_TRUE(IconInTray(Tray->WindowHandle(), 7));

    Tray->SetVisible(false);
    EXPECT_EQ(Shell.Messages().back(), "delete");
    EXPECT_EQ(Shell.Requests.back().Data.uFlags, UINT(NIF_MESSAGE | NIF_TIP));
    EXPECT_FALSE(IconInTray(Tray->WindowHandle(), 7));
    EXPECT_EQ(Events, (std::vector<std::string>{"show", "hide"}));
}

TEST_F(TrayIconTest, HintIsCutTo63AndTheTipToTheShellsLimit) {
    struct Case {
        bool NewShell;
        bool ShowHint;
        DWORD Size;
        std::size_t TipLength;
    } Cases[] = {{true, true, LongRecord, 63}, {false, true, ShortRecord, 63}, {true, false, LongRecord, 0}};
    std::string Long(100, 'h');
    Tray->SetVisible(true);
    for (const Case& C : Cases) {
        TTrayRecorder Shell;
        IsNewShell = C.NewShell;
        Tray->SetShowHint(C.ShowHint);
        Tray->SetHint(Long + std::to_string(C.Size));
        EXPECT_EQ(Tray->Hint(), std::string(63, 'h'));
        Tray->UpdateIcon();
        ASSERT_FALSE(Shell.Requests.empty());
        EXPECT_EQ(Shell.Requests.back().Data.cbSize, C.Size);
        EXPECT_EQ(Tip(Shell.Requests.back().Data).size(), C.TipLength);
        Tray->SetHint("");
    }
}

TEST_F(TrayIconTest, OnlyAnIconInTheTrayIsUpdated) {
    TTrayRecorder Shell;
    Tray->SetHint("before");
    Tray->SetShowHint(false);
    Tray->UpdateIcon();
    EXPECT_TRUE(Shell.Requests.empty()) << "an icon not in the tray is not asked for";
    Tray->SetVisible(true);
    Tray->SetHint("shown");
    EXPECT_EQ(Shell.Messages(), (std::vector<std::string>{"add", "modify"}));
    Tray->SetVisible(false);
    Tray->SetHint("after");
    EXPECT_EQ(Shell.Messages(), (std::vector<std::string>{"add", "modify", "delete"}));
}

TEST_F(TrayIconTest, LeftClickGivesDownUpAndClickWithTheButtonInTheShiftState) {
    Callback(WM_LBUTTONDOWN);
    Callback(WM_LBUTTONUP);
    Callback(WM_MOUSEMOVE);
    EXPECT_EQ(Events, (std::vector<std::string>{"down left", "up left", "click", "move"}));
    ASSERT_EQ(Shifts.size(), 2u);
    EXPECT_TRUE(Shifts[0].Contains(ssLeft));
    EXPECT_TRUE(Shifts[1].Contains(ssLeft));
}

TEST_F(TrayIconTest, RightReleaseOpensTheMenuAtTheCursorAfterMouseUp) {
    AddMenu(true);
    SetCursorPos(123, 234);
    Callback(WM_RBUTTONDOWN);
    Callback(WM_RBUTTONUP);
    EXPECT_EQ(Events, (std::vector<std::string>{"down right", "up right", "popupmenu"}));
    EXPECT_TRUE(Shifts.back().Contains(ssRight));
    ASSERT_EQ(Menu->Popups.size(), 1u);
    POINT P{};
    GetCursorPos(&P);
    EXPECT_EQ(Menu->Popups[0].x, P.x);
    EXPECT_EQ(Menu->Popups[0].y, P.y);
    EXPECT_EQ(Menu->Component, Tray);
}

TEST_F(TrayIconTest, NoMenuOrNoAutoPopupOpensNothing) {
    Callback(WM_RBUTTONUP);
    AddMenu(true);
    Menu->SetAutoPopup(false);
    Callback(WM_RBUTTONUP);
    EXPECT_TRUE(Menu->Popups.empty());
    EXPECT_EQ(Events, (std::vector<std::string>{"up right", "up right"}));
}

TEST_F(TrayIconTest, DisabledIconIgnoresTheShellButStays) {
    TTrayRecorder Shell;
    AddMenu(true);
    Tray->SetVisible(true);
    Events.clear();
    Tray->SetEnabled(false);
    for (UINT M : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONUP, WM_MOUSEMOVE})
        Callback(M);
    EXPECT_TRUE(Events.empty());
    EXPECT_TRUE(Menu->Popups.empty());
    EXPECT_TRUE(IconInTray(Tray->WindowHandle(), 0));
}

TEST_F(TrayIconTest, DoubleClickRunsTheMenusDefaultItem) {
    AddMenu(true);
    Callback(WM_LBUTTONDBLCLK);
    EXPECT_EQ(Events, (std::vector<std::string>{"item Open", "dblclick"}));
}

TEST_F(TrayIconTest, DoubleClickWithoutDefaultItemMinimisesOrShows) {
    AddMenu(false);
    Tray->SetMinimizeToTray(true);
    Callback(WM_LBUTTONDBLCLK);
    EXPECT_FALSE(Form->Visible()) << "a visible owner is minimised to the icon";
    EXPECT_FALSE(IsWindowVisible(Application->Handle()));
    Callback(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(Form->Visible()) << "a hidden one is shown";
    EXPECT_EQ(Events, (std::vector<std::string>{"dblclick", "dblclick"}));
}

TEST_F(TrayIconTest, PopupByLeftOpensTheMenuOnLeftReleaseAndSkipsTheDefaultItem) {
    AddMenu(true);
    Tray->SetPopupByLeft(true);
    Callback(WM_LBUTTONDBLCLK);
    EXPECT_EQ(Events, (std::vector<std::string>{"dblclick"}));
    Callback(WM_LBUTTONDOWN);
    Callback(WM_LBUTTONUP);
    EXPECT_EQ(Menu->Popups.size(), 1u);
}

TEST_F(TrayIconTest, MinimisingTheApplicationWindowHidesToTheTray) {
    TTrayRecorder Shell;
    Tray->SetMinimizeToTray(true);
    ShowApplicationWindow();
    SendMessageA(Application->Handle(), WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_FALSE(IsWindowVisible(Application->Handle()));
    EXPECT_FALSE(Form->Visible());
    EXPECT_TRUE(Tray->Visible());
    EXPECT_EQ(Shell.Messages(), (std::vector<std::string>{"add"}));
    EXPECT_EQ(Events, (std::vector<std::string>{"show", "minimize"}));
}

TEST_F(TrayIconTest, WithoutMinimizeToTrayTheApplicationWindowIsLeftAlone) {
    TTrayRecorder Shell;
    SendMessageA(Application->Handle(), WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_TRUE(Form->Visible());
    EXPECT_TRUE(Shell.Requests.empty());
}

TEST_F(TrayIconTest, ShellRestartAddsAVisibleIconAgainAndKeepsTheWindowHidden) {
    Tray->SetMinimizeToTray(true);
    Tray->SetVisible(true);
    Form->SetVisible(false);
    Events.clear();
    TTrayRecorder Shell;
    SendMessageA(Tray->WindowHandle(), WM_TASKBARCREATED, 0, 0);
    EXPECT_EQ(Shell.Messages(), (std::vector<std::string>{"delete", "add"}));
    EXPECT_TRUE(IconInTray(Tray->WindowHandle(), 0));
    EXPECT_FALSE(Form->Visible()) << "the window the user hid stays hidden";
    EXPECT_TRUE(Events.empty());
}

TEST_F(TrayIconTest, AShownIconHearsTheShellsRestartBroadcast) {
    Tray->SetVisible(true);
    TTrayRecorder Shell;
    DWORD_PTR Answer = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_TASKBARCREATED, 0, 0, SMTO_NORMAL, 5000, &Answer);
    EXPECT_EQ(Shell.Messages(), (std::vector<std::string>{"delete", "add"}));
}

TEST_F(TrayIconTest, ShellRestartLeavesAHiddenIconAway) {
    TTrayRecorder Shell;
    SendMessageA(Tray->WindowHandle(), WM_TASKBARCREATED, 0, 0);
    EXPECT_TRUE(Shell.Requests.empty());
}

TEST_F(TrayIconTest, ChangingIconIdMovesAShownIcon) {
    Tray->SetVisible(true);
    TTrayRecorder Shell;
    Tray->SetIconID(5);
    ASSERT_EQ(Shell.Messages(), (std::vector<std::string>{"delete", "add"}));
    EXPECT_EQ(Shell.Requests[0].Data.uID, 0u);
    EXPECT_EQ(Shell.Requests[1].Data.uID, 5u);
    EXPECT_FALSE(IconInTray(Tray->WindowHandle(), 0));
    EXPECT_TRUE(IconInTray(Tray->WindowHandle(), 5));
}

TEST_F(TrayIconTest, CyclingStepsThroughTheImageListAndWraps) {
    TOwned<TImageList> Images(Create<TImageList>(nullptr));
    TOwned<TIcon> Icon(Create<TIcon>());
    Icon->SetHandle(StockIcon());
    for (int I = 0; I < 3; ++I)
        Images->AddIcon(Icon.get());
    Tray->SetImageList(Images.get());
    Tray->SetImageIndex(2);
    EXPECT_FALSE(Tray->Icon()->Empty());
    SendMessageA(Tray->WindowHandle(), WM_TIMER, 1, 0);
    EXPECT_EQ(Tray->ImageIndex(), 0);
    SendMessageA(Tray->WindowHandle(), WM_TIMER, 1, 0);
    EXPECT_EQ(Tray->ImageIndex(), 1);
    Tray->SetImageList(nullptr);
    SendMessageA(Tray->WindowHandle(), WM_TIMER, 1, 0);
    EXPECT_EQ(Tray->ImageIndex(), 1);
    EXPECT_EQ(Events, (std::vector<std::string>{"cycle", "cycle", "cycle"}));
}

TEST_F(TrayIconTest, AnErrorWhileCyclingGoesToTheApplicationAndTheTimerRuns) {
    std::vector<std::string> Errors;
    TExceptionEvent Saved = Application->OnException;
    Application->OnException =
        TExceptionEvent::FromFunction([&](TObject*, Exception& E) { Errors.push_back(E.Message()); });
    Tray->OnCycleIcons = TNotifyEvent::FromFunction([](TObject*) { throw Exception("cycle failed"); });
    Tray->SetCycleInterval(10);
    Tray->SetCycleIcons(true);
    PumpUntil([&] { return Errors.size() >= 2; });
    Application->OnException = Saved;
    ASSERT_GE(Errors.size(), 2u);
    EXPECT_EQ(Errors[0], "cycle failed");
}

TEST_F(TrayIconTest, BalloonOnTheNewerShellOnly) {
    Tray->SetVisible(true);
    Tray->SetInfoText(std::string(300, 't'));
    Tray->SetInfoTitle(std::string(80, 'T'));
    Tray->SetInfoType(tiiWarning);
    Tray->SetInfoTimeout(5000);
    {
        TTrayRecorder Shell;
        Tray->ShowBalloon();
        ASSERT_EQ(Shell.Messages(), (std::vector<std::string>{"modify"}));
        const NOTIFYICONDATAA& D = Shell.Requests[0].Data;
        EXPECT_EQ(D.uFlags, UINT(NIF_INFO));
        EXPECT_EQ(D.dwInfoFlags, DWORD(NIIF_WARNING));
        EXPECT_EQ(D.uTimeout, 5000u);
        EXPECT_EQ(std::string(D.szInfo).size(), 255u);
        EXPECT_EQ(std::string(D.szInfoTitle).size(), 63u);
        EXPECT_EQ(Tray->IconFlags(), UINT(NIF_MESSAGE | NIF_TIP | NIF_ICON)) << "the kept flags do not change";
    }
    TTrayRecorder Shell;
    IsNewShell = false;
    Tray->ShowBalloon();
    EXPECT_TRUE(Shell.Requests.empty());
}

TEST_F(TrayIconTest, FreeingTheImageListOrTheMenuClearsTheReference) {
    auto* Images = Create<TImageList>(nullptr);
    TOwned<TIcon> Icon(Create<TIcon>());
    Icon->SetHandle(StockIcon());
    Images->AddIcon(Icon.get());
    Tray->SetImageList(Images);
    AddMenu(true);
    Images->Free();
    FreeAndNil(Menu);
    EXPECT_EQ(Tray->ImageList(), nullptr);
    EXPECT_EQ(Tray->PopupMenu(), nullptr);
    EXPECT_FALSE(Tray->Icon()->Empty()) << "the last picture stays";
}

TEST_F(TrayIconTest, ReadFromAFormItShowsItselfAndMinimisesOnStart) {
    TTrayRecorder Shell;
    bool ShowMainForm = Application->ShowMainForm;
    std::string Text = "object TrayIcon: TabfTrayIcon\n"
                       "  MinimizeToTray = True\n"
                       "  MinimizeOnStart = True\n"
                       "  Visible = True\n"
                       "end\n";
    std::string Binary = ObjectTextToBinary(Text);
    TOwned<TMemoryStream> S(Create<TMemoryStream>());
    S->WriteBuffer(Binary.data(), static_cast<LongInt>(Binary.size()));
    S->SetPosition(0);
    S->ReadComponent(Tray);
    EXPECT_FALSE(Application->ShowMainForm);
    Application->ShowMainForm = ShowMainForm;
    EXPECT_TRUE(Tray->Visible());
    EXPECT_FALSE(Form->Visible());
    EXPECT_FALSE(IsWindowVisible(Application->Handle()));
    EXPECT_EQ(Shell.Messages(), (std::vector<std::string>{"add", "add"})) << "added while read, again when loaded";
    EXPECT_EQ(std::count(Events.begin(), Events.end(), "minimize"), 1);
}

TEST_F(TrayIconTest, FreeingRemovesTheIconUnhooksAndShowsNothing) {
    WNDPROC Before = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Application->Handle(), GWLP_WNDPROC));
    TabfTrayIcon* Other = Create<TabfTrayIcon>(Form);
    EXPECT_NE(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Application->Handle(), GWLP_WNDPROC)), Before);
    Other->SetMinimizeToTray(true);
    Other->SetIconID(9);
    Other->SetVisible(true);
    Form->SetVisible(false);
    HWND OtherWindow = Other->WindowHandle();
    TTrayRecorder Shell;
    Other->Free();
    EXPECT_EQ(Shell.Messages(), (std::vector<std::string>{"delete"}));
    EXPECT_FALSE(IconInTray(OtherWindow, 9));
    EXPECT_FALSE(Form->Visible()) << "a program that ends shows no window";
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Application->Handle(), GWLP_WNDPROC)), Before);
}

}  // namespace
