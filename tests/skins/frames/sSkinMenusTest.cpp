// The skinned menus on real popup windows, with the frame skin of these tests (its "MAINMENU" border
// mask has transparent corners and a border width of 4, "MENUITEM" its own colours): a skinned
// control's context menu measured, painted and shaped from the skin and let go with its window;
// the menu border message reshaping an open popup; the sizes of the item kinds and the extra line;
// the application window's hook; the calendar's year menu and a drop-down button's menu handed to
// the skinned menus; main-menu items given the handlers as the form's provider measures them.
#include "../engine/SkinPixelSupport.h"

#include "TestSupport.h"

#include "acDials.h"
#include "sGraphUtils.h"
#include "sMonthCalendar.h"
#include "sPanel.h"
#include "sSkinMenus.h"
#include "sSkinProvider.h"
#include "sSpeedButton.h"

#include <cmath>
#include <functional>

using namespace skintests;

namespace {

constexpr TColor ItemColor = 0x003060B0;
constexpr COLORREF MaskBorderColor = 0x00505050;

// What a timer inside an open popup saw; Look runs once the popup has been drawn.
struct TPopupVisit {
    std::function<void(HWND Popup)> Look;
    bool Seen = false;
};
TPopupVisit* PopupVisit = nullptr;

VOID CALLBACK LookAtPopup(HWND, UINT, UINT_PTR Id, DWORD) {
    HWND Popup = FindWindowA("#32768", nullptr);
    if (!Popup || !IsWindowVisible(Popup))
        return;
    UpdateWindow(Popup);
    if (MenuBackgrounds.empty())
        return;  // not drawn yet: the timer fires again
    KillTimer(nullptr, Id);
    PopupVisit->Seen = true;
    PopupVisit->Look(Popup);
    PostMessageA(TPopupMenu::PopupListWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
}

// The rectangle of item Index of an open popup, in the popup window's coordinates.
TRect ItemRect(HWND Popup, HMENU Menu, int Index) {
    RECT R{}, W{};
    GetMenuItemRect(nullptr, Menu, static_cast<UINT>(Index), &R);
    GetWindowRect(Popup, &W);
    return TRect{R.left - W.left, R.top - W.top, R.right - W.left, R.bottom - W.top};
}

COLORREF PixelOf(HWND Window, int X, int Y) {
    HDC DC = GetWindowDC(Window);
    COLORREF C = GetPixel(DC, X, Y);
    ReleaseDC(Window, DC);
    return C;
}

// The height a normal item measures to: the menu font's line and a quarter, at least the glyph,
// and the margins.
int NormalItemHeight(int Margin) {
    TOwned<TBitmap> B(NewBitmap24(1, 1));
    AssignMenuFont(B->Canvas()->Font(), nullptr, false);
    return std::max(static_cast<int>(std::nearbyint(B->Canvas()->TextHeight("W") * 1.25)), 16) + 2 * Margin;
}

// Counts the library's repaint commands a window receives.
int RepaintCommands = 0;
WNDPROC CountedProc = nullptr;
LRESULT CALLBACK CountRepaints(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == SM_ALPHACMD && SkinCommandOf(WParam) == SKIN_REPAINTNOW)
        ++RepaintCommands;
    return CallWindowProcA(CountedProc, Wnd, Msg, WParam, LParam);
}

// A glyph that counts its freeing.
int GlyphsFreed = 0;
struct TCountedBitmap : TBitmap {
    ~TCountedBitmap() override { ++GlyphsFreed; }
};

class sSkinMenusTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        sGraphUtilsInitialization();
        sSkinMenusInitialization();
        // The test program does not run the manager's start-up, which finds the platform.
        WasNT = IsNTPlatform;
        IsNTPlatform = true;
        SpeedButtonHintsOff = false;
    }
    void TearDown() override {
        SkinTest::TearDown();
        if (DialogHook)
            acDialsFinalization();
        sSkinMenusFinalization();
        IsNTPlatform = WasNT;
    }
    void LoadSkin() {
        Manager = Create<TsSkinManager>(nullptr);
        Manager->SkinningRules = TacSkinningRules{srStdDialogs};
        Manager->SkinDirectory = testing_support::SourceDir() + "tests\\skins\\frames\\skin";
        Manager->SetSkinName("FrameTest");
        ASSERT_TRUE(Manager->SkinData->SkinActive);
        Menus = SkinableMenusOf(Manager);
        ASSERT_TRUE(Menus);
        EXPECT_TRUE(Menus->Active) << "the menus are skinned with the skin";
    }
    void StartDialogHook() {
        acDialsInitialization();
        DialogHook = true;
    }
    TMenuItem* AddItem(TMenu* Menu, const std::string& Caption, TMenuItem* Parent = nullptr) {
        TMenuItem* Item = Create<TMenuItem>(Menu);
        Item->SetCaption(Caption);
        (Parent ? Parent : Menu->Items())->Add(Item);
        return Item;
    }
    TPopupMenu* MakeMenu(std::initializer_list<const char*> Captions) {
        TPopupMenu* Menu = Create<TPopupMenu>(Form);
        for (const char* C : Captions)
            AddItem(Menu, C);
        return Menu;
    }
    // Open runs the popup's modal loop; Look runs inside it once the popup is drawn.
    void RunPopup(const std::function<void()>& Open, const std::function<void(HWND)>& Look) {
        TPopupVisit V;
        V.Look = Look;
        PopupVisit = &V;
        SetTimer(nullptr, 0, 20, LookAtPopup);
        Open();
        Pump();
        PopupVisit = nullptr;
        ASSERT_TRUE(V.Seen) << "the popup showed and was drawn";
    }
    static void DestroySomeWindow() {
        HWND W = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        DestroyWindow(W);
    }

    TsSkinableMenus* Menus = nullptr;
    bool DialogHook = false;
    bool WasNT = false;
};

TEST_F(sSkinMenusTest, AContextMenuOfASkinnedControlIsMeasuredDrawnAndShapedFromTheSkin) {
    StartDialogHook();
    LoadSkin();
    if (IsDwmCompositionEnabled())
        GTEST_SKIP() << "with desktop composition popup menus keep the system's look";
    auto* Panel = Place<TsPanel>(20, 20, 200, 100);
    TPopupMenu* Menu = MakeMenu({"One", "-", "Two", "-Group-"});
    Panel->SetPopupMenu(Menu);
    Pump();
    ASSERT_TRUE(Panel->SkinData()->IsSkinned(false));
    EXPECT_FALSE(Menu->OwnerDraw()) << "nothing hooked the menu before it is shown";
    const int Normal = NormalItemHeight(Menus->Margin);
    int Heights[4] = {};
    COLORREF ItemPixel = 0, BorderPixel = 0, DividerTop = 0, DividerBottom = 0, CaptionPixel = 0;
    bool Shaped = false, CornerCut = false, CentreKept = false;
    LRESULT BorderAnswer = -1;
    std::size_t Wrappers = 0, Backgrounds = 0;
    RunPopup(
        [&] {
            POINT P{60, 60};
            ClientToScreen(Panel->Handle(), &P);
            SendMessageA(Panel->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Panel->Handle()), MAKELPARAM(P.x, P.y));
        },
        [&](HWND Popup) {
            for (int I = 0; I < 4; ++I)
                Heights[I] = ItemRect(Popup, Menu->Handle(), I).Height();
            const TRect One = ItemRect(Popup, Menu->Handle(), 0);
            const TRect Divider = ItemRect(Popup, Menu->Handle(), 1);
            DividerTop = PixelOf(Popup, Divider.Left + 30, Divider.Top);
            DividerBottom = PixelOf(Popup, Divider.Left + 30, Divider.Top + 1);
            const TRect Caption = ItemRect(Popup, Menu->Handle(), 3);
            CaptionPixel = PixelOf(Popup, Caption.Left + 3, Caption.Top + 3);
            ItemPixel = PixelOf(Popup, One.Right - 3, (One.Top + One.Bottom) / 2);
            BorderPixel = PixelOf(Popup, 1, (One.Top + One.Bottom) / 2);
            HRGN R = CreateRectRgn(0, 0, 0, 0);
            Shaped = GetWindowRgn(Popup, R) != ERROR;
            RECT W;
            GetWindowRect(Popup, &W);
            CornerCut = !PtInRegion(R, 0, 0);
            CentreKept = PtInRegion(R, (W.right - W.left) / 2, (W.bottom - W.top) / 2);
            DeleteObject(R);
            BorderAnswer = SendMessageA(Popup, SM_ALPHACMD, MAKEWPARAM(0, SKIN_SETUPDATING), 0);
            Wrappers = MenuWrappers.size();
            Backgrounds = MenuBackgrounds.size();
        });
    EXPECT_TRUE(Menu->OwnerDraw()) << "the control's context menu was handed to the skinned menus";
    EXPECT_EQ(Heights[0], Normal);
    EXPECT_EQ(Heights[1], 2) << "a divider";
    EXPECT_EQ(Heights[2], Normal);
    EXPECT_EQ(Heights[3], Normal) << "a caption item";
    EXPECT_EQ(DividerTop, COLORREF(0x808080)) << "without a divider mask: a grey and white bevel line";
    EXPECT_EQ(DividerBottom, COLORREF(0xFFFFFF));
    EXPECT_EQ(CaptionPixel, COLORREF(0xB0B000)) << "a caption item lies on the tool-bar section";
    EXPECT_EQ(ItemPixel, COLORREF(ItemColor)) << "the item is painted from the skin's item section";
    EXPECT_EQ(BorderPixel, MaskBorderColor) << "the popup's border comes from the menu's border mask";
    EXPECT_TRUE(Shaped) << "the popup window got a region";
    EXPECT_TRUE(CornerCut) << "the mask's transparent corner is cut away";
    EXPECT_TRUE(CentreKept);
    EXPECT_EQ(BorderAnswer, 1) << "the popup's wrapper knows its border was drawn by the skinned menus";
    EXPECT_EQ(Wrappers, 1u);
    EXPECT_EQ(Backgrounds, 1u);
    DestroySomeWindow();
    EXPECT_TRUE(MenuWrappers.empty()) << "the closed popup's wrapper is gone";
    EXPECT_TRUE(MenuBackgrounds.empty()) << "the closed popup's background is gone";
}

TEST_F(sSkinMenusTest, TheMenuBorderMessageShapesThePopupOfAnItemAgain) {
    LoadSkin();
    if (IsDwmCompositionEnabled())
        GTEST_SKIP() << "with desktop composition popup menus keep the system's look";
    TPopupMenu* Menu = MakeMenu({"One", "Two", "Three"});
    Menus->HookMenu(Menu, true);
    bool Cleared = false, Reshaped = false, UnknownIgnored = false;
    LRESULT Answer = -1;
    RunPopup([&] { Menu->Popup(100, 100); },
             [&](HWND Popup) {
                 HRGN R = CreateRectRgn(0, 0, 0, 0);
                 SetWindowRgn(Popup, nullptr, TRUE);
                 Cleared = GetWindowRgn(Popup, R) == ERROR;
                 // A command no item has (an item freed before the message arrived) is let be.
                 SendMessageA(Application->Handle(), MenuBorderMsg, 0, 0xEFFE);
                 UnknownIgnored = GetWindowRgn(Popup, R) == ERROR;
                 SendMessageA(Application->Handle(), MenuBorderMsg, 0, Menu->Items()->Items(1)->Command());
                 Reshaped = GetWindowRgn(Popup, R) != ERROR && !PtInRegion(R, 0, 0);
                 DeleteObject(R);
                 Answer = SendMessageA(Popup, SM_ALPHACMD, MAKEWPARAM(0, SKIN_SETUPDATING), 0);
             });
    EXPECT_TRUE(Cleared);
    EXPECT_TRUE(UnknownIgnored);
    EXPECT_TRUE(Reshaped) << "the application window's hook found the popup at the item and shaped it";
    EXPECT_EQ(Answer, 0) << "without the dialog hook no wrapper answers for the popup";
    Menus->HookMenu(Menu, false);
    EXPECT_FALSE(Menu->OwnerDraw());
    EXPECT_FALSE(Menu->Items()->Items(0)->OnMeasureItem) << "the skinned handlers are taken away";
}

TEST_F(sSkinMenusTest, TheExtraLineRunsDownTheFirstColumnOfThePopup) {
    LoadSkin();
    if (IsDwmCompositionEnabled())
        GTEST_SKIP() << "with desktop composition popup menus keep the system's look";
    TPopupMenu* Menu = MakeMenu({"One", "Two"});
    Menus->HookMenu(Menu, true);
    Manager->MenuSupport->UseExtraLine = true;
    TMenuItem* AskedFor = nullptr;
    int Made = 0;
    GlyphsFreed = 0;
    Manager->OnGetMenuExtraLineData = TacGetExtraLineData::FromFunction(
        [&](TMenuItem* First, std::string&, std::string& Caption, TBitmap*& Glyph, bool&) {
            AskedFor = First;
            Caption = "&Side";
            // Each question hands the menus a new glyph, theirs to free.
            Glyph = Create<TCountedBitmap>();
            Glyph->SetSize(8, 8);
            ++Made;
        });
    COLORREF Line = 0, Item = 0;
    bool Shown = false;
    RunPopup([&] { Menu->Popup(100, 100); },
             [&](HWND Popup) {
                 const TRect One = ItemRect(Popup, Menu->Handle(), 0);
                 Line = PixelOf(Popup, One.Left + 3, One.Top + 2);
                 Item = PixelOf(Popup, One.Right - 3, (One.Top + One.Bottom) / 2);
                 Shown = !MenuBackgrounds.empty() && MenuBackgrounds.front().ExtraLineShown;
             });
    EXPECT_EQ(AskedFor, Menu->Items()->Items(0)) << "the program is asked with the popup's first item";
    EXPECT_EQ(ExtraLineCaption, "Side") << "the accelerator mark goes";
    EXPECT_TRUE(Shown);
    EXPECT_EQ(Line, COLORREF(0x405080)) << "the strip is painted from the extra line's section";
    EXPECT_EQ(Item, COLORREF(ItemColor));
    EXPECT_GT(Made, 1) << "asked while measuring and again for the background";
    sSkinMenusFinalization();
    sSkinMenusInitialization();
    EXPECT_EQ(GlyphsFreed, Made) << "no glyph handed over is lost";
}

TEST_F(sSkinMenusTest, ItemKindsMeasureAsTheSkinnedMenusSay) {
    LoadSkin();
    TPopupMenu* Menu = MakeMenu({"One", "-", "-Group-", "Second column"});
    Menu->Items()->Items(3)->SetBreak(mbBreak);
    TOwned<TBitmap> B(NewBitmap24(1, 1));
    TCanvas* C = B->Canvas();
    auto Measure = [&](int Index, int& W, int& H) {
        W = H = 0;
        Menus->MeasureMenuItem(Menu->Items()->Items(Index), C, W, H);
    };
    const int Normal = NormalItemHeight(Menus->Margin);
    int W0, H0, W1, H1, W2, H2, W3, H3;
    Measure(0, W0, H0);
    Measure(1, W1, H1);
    Measure(2, W2, H2);
    EXPECT_EQ(H0, Normal);
    EXPECT_EQ(H1, 2);
    EXPECT_EQ(H2, Normal) << "a caption item is a text line high (the glyph does not count)";
    AssignMenuFont(C->Font(), nullptr, false);
    EXPECT_EQ(W0, 2 * 16 + C->TextWidth("One") + 3 * Menus->Margin + Menus->Spacing);
    EXPECT_EQ(MenuItemType(Menu->Items()->Items(2)), smCaption);

    // The extra line widens the first column only, and never the skin chooser's popup.
    Manager->MenuSupport->UseExtraLine = true;
    int E0, EH, E3;
    Measure(0, E0, EH);
    Measure(3, E3, H3);
    EXPECT_EQ(E0, W0 + Manager->MenuSupport->ExtraLineWidth);
    Manager->MenuSupport->UseExtraLine = false;
    Measure(3, W3, H3);
    EXPECT_EQ(E3, W3) << "an item after a column break has no extra line";
    Manager->MenuSupport->UseExtraLine = true;
    Menu->Items()->Items(0)->SetName("SkinSelectItem");
    Measure(0, E0, EH);
    EXPECT_EQ(E0, W0) << "the skin chooser's popup has no extra line";
    bool Asked = false;
    Manager->OnGetMenuExtraLineData = TacGetExtraLineData::FromFunction(
        [&](TMenuItem*, std::string&, std::string&, TBitmap*&, bool& Visible) {
            Asked = true;
            Visible = false;
        });
    Menu->Items()->Items(0)->SetName("First");
    Measure(0, E0, EH);
    EXPECT_TRUE(Asked);
    EXPECT_EQ(E0, W0) << "the program switched the line off";
}

TEST_F(sSkinMenusTest, TheBorderWidthComesFromTheMenusBorderMask) {
    LoadSkin();
    EXPECT_EQ(Menus->GetSkinBorderWidth(), 4);
    FreeAndNil(Manager);
    MakeManager({{"MAINMENU"}});
    Menus = SkinableMenusOf(Manager);
    ASSERT_TRUE(Menus);
    EXPECT_EQ(Menus->GetSkinBorderWidth(), 0) << "no border mask";
    int Mask = AddBorderMask(Manager, 0, 2, 2, 2, 2);
    Manager->MaskList[Mask].BorderWidth = 0;
    Menus->ResetSkinBorderWidth();
    EXPECT_EQ(Menus->GetSkinBorderWidth(), 3) << "a mask without a border width";
    Manager->MaskList[Mask].BorderWidth = 5;
    EXPECT_EQ(Menus->GetSkinBorderWidth(), 3) << "cached until the manager loads a skin";
    Manager->SendNewSkin(false);
    EXPECT_EQ(Menus->GetSkinBorderWidth(), 5);
}

TEST_F(sSkinMenusTest, TheApplicationWindowsHook) {
    LoadSkin();
    HWND App = Application->Handle();
    SendMessageA(App, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_EQ(Manager->LastSysCommand, 1);
    SendMessageA(App, WM_SYSCOMMAND, 0xF200, 0);
    EXPECT_EQ(Manager->LastSysCommand, 0);
    // A real minimise would take the test program off the screen: the hook is asked directly.
    TMessage Minimise{WM_SYSCOMMAND, SC_MINIMIZE, 0, 0};
    bool Handled = false;
    Manager->MainWindowHook(Minimise, Handled);
    EXPECT_EQ(Manager->LastSysCommand, 2);
    EXPECT_FALSE(Handled);
    TMessage Theme{WM_THEMECHANGED, 0, 0, 0};
    Manager->MainWindowHook(Theme, Handled);
    EXPECT_TRUE(Handled);

    // Activation of the application repaints every form.
    CountedProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(Form->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountRepaints)));
    RepaintCommands = 0;
    SendMessageA(App, CM_ACTIVATE, 0, 0);
    SetWindowLongPtrA(Form->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountedProc));
    EXPECT_EQ(RepaintCommands, 1);

    // Without skinned popups the hook stays out of the way.
    Manager->SetSkinnedPopups(false);
    SendMessageA(App, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_EQ(Manager->LastSysCommand, 2);

    // Switched on again, the default manager's menus read whether they are skinned.
    Menus->SetActive(false);
    Manager->SetSkinnedPopups(true);
    EXPECT_TRUE(Menus->Active);
}

TEST_F(sSkinMenusTest, AManagerThatIsNoLongerTheDefaultStillTakesItsHookAway) {
    LoadSkin();
    TsSkinManager* Second = Create<TsSkinManager>(nullptr);
    Second->SetIsDefault(true);
    ASSERT_EQ(DefaultManager, Second);
    FreeAndNil(Manager);
    Manager = Second;
    // The first manager's hook would now run on freed memory.
    SendMessageA(Application->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_EQ(Second->LastSysCommand, 0) << "only the first default manager hooks the application window";
}

TEST_F(sSkinMenusTest, TheCalendarsYearMenuIsHandedToTheSkinnedMenus) {
    LoadSkin();
    auto* Calendar = Place<TsMonthCalendar>(10, 10, 220, 180);
    Pump();
    ASSERT_TRUE(Calendar->SkinData()->IsSkinned(false));
    Calendar->BuildYearMonthMenu();
    ASSERT_TRUE(Calendar->YearMonthMenu);
    TMenuItem* Decade = Calendar->YearMonthMenu->Items()->Items(0);
    TMenuItem* Month = Decade->Items(0)->Items(0);
    EXPECT_TRUE(Calendar->YearMonthMenu->OwnerDraw());
    EXPECT_TRUE(Month->OnAdvancedDrawItem) << "items deep in the menu are drawn by the skinned menus";
    const LPARAM M = reinterpret_cast<LPARAM>(Manager);
    Calendar->Perform(SM_ALPHACMD, MAKEWPARAM(0, SKIN_REMOVED), M);
    EXPECT_FALSE(Calendar->YearMonthMenu->OwnerDraw());
    EXPECT_FALSE(Month->OnAdvancedDrawItem);
    Calendar->Perform(SM_ALPHACMD, MAKEWPARAM(0, SKIN_REFRESH), M);
    EXPECT_TRUE(Calendar->YearMonthMenu->OwnerDraw());
    EXPECT_TRUE(Month->OnMeasureItem);
}

TEST_F(sSkinMenusTest, ADropDownButtonsHintsComeBackWhenItsMenuIsDrawn) {
    LoadSkin();
    if (IsDwmCompositionEnabled())
        GTEST_SKIP() << "with desktop composition popup menus keep the system's look";
    auto* Button = Place<TsSpeedButton>(10, 10, 80, 24);
    TPopupMenu* Menu = MakeMenu({"One", "Two"});
    Menus->HookMenu(Menu, true);
    Button->SetButtonStyle(tbsDropDown);
    Button->SetDropdownMenu(Menu);
    Pump();
    Application->SetShowHint(true);
    bool HintsWhileOpen = false;
    TsSpeedButton* OpenButton = Button;
    RunPopup([&] { Button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(Button->Width() - 5, 5)); },
             [&](HWND) {
                 HintsWhileOpen = Application->ShowHint();
                 OpenButton = OpenMenuButton;
             });
    EXPECT_TRUE(HintsWhileOpen) << "the press switched hints off; the drawn menu gave them back";
    EXPECT_EQ(OpenButton, nullptr);
    EXPECT_FALSE(SpeedButtonHintsOff);
}

TEST_F(sSkinMenusTest, AMenuBarItemIsPaintedOverTheFormImage) {
    LoadSkin();
    TMainMenu* Main = Create<TMainMenu>(Form);
    TMenuItem* File = AddItem(Main, "File");
    TMenuItem* Gone = AddItem(Main, "Gone");
    Gone->SetEnabled(false);
    auto* Provider = Create<TsSkinProvider>(Form);
    Main->SetWindowHandle(Form->Handle());
    Provider->SkinData()->BackgroundStale = true;
    RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
    ASSERT_TRUE(Provider->SkinData()->CacheBitmap);
    Menus->HookMainMenu(Main, true);
    EXPECT_TRUE(File->OnAdvancedDrawItem);
    int W = 0, H = 0;
    TOwned<TBitmap> B(NewBitmap24(120, 40));
    File->MeasureItem(B->Canvas(), W, H);
    EXPECT_EQ(H, GetSystemMetrics(SM_CYMENU) - 1);
    struct Case {
        TMenuItem* Item;
        TOwnerDrawState State;
        TColor Expected;
    };
    const Case Cases[] = {
        {File, {}, ItemColor},
        {File, {odSelected}, 0x000000C0},
        {File, {odHotLight}, 0x000000C0},
    };
    for (const Case& C : Cases) {
        B->Canvas()->Brush()->SetColor(clBlack);
        B->Canvas()->FillRect(TRect{0, 0, 120, 40});
        C.Item->AdvancedDrawItem(B->Canvas(), TRect{10, 5, 70, 25}, C.State, true);
        EXPECT_EQ(GetPx(B.get(), 12, 7), PxOf(C.Expected)) << C.Item->Caption();
        EXPECT_EQ(GetPx(B.get(), 5, 7), PxOf(clBlack)) << "only the item's rectangle is painted";
    }
    // A disabled item is mixed with the form image behind it.
    B->Canvas()->Brush()->SetColor(clBlack);
    B->Canvas()->FillRect(TRect{0, 0, 120, 40});
    Gone->AdvancedDrawItem(B->Canvas(), TRect{10, 5, 70, 25}, {}, true);
    EXPECT_NE(GetPx(B.get(), 12, 7), PxOf(ItemColor));
    Menus->HookMainMenu(Main, false);
    EXPECT_FALSE(File->OnAdvancedDrawItem);
    EXPECT_FALSE(Main->OwnerDraw());
    FreeAndNil(Provider);
}

TEST_F(sSkinMenusTest, ASkinnedFormsWindowMenuIsDrawnByTheSkinnedMenus) {
    LoadSkin();
    if (IsDwmCompositionEnabled())
        GTEST_SKIP() << "with desktop composition popup menus keep the system's look";
    auto* Provider = Create<TsSkinProvider>(Form);
    Pump();
    ASSERT_TRUE(Provider->SystemMenu);
    COLORREF Pixel = 0, Disabled = 0;
    RunPopup([&] { Provider->DropSysMenu(120, 120); },
             [&](HWND Popup) {
                 // The last item closes the form, which a plain form always allows.
                 HMENU H = Provider->SystemMenu->Handle();
                 const TRect Close = ItemRect(Popup, H, GetMenuItemCount(H) - 1);
                 Pixel = PixelOf(Popup, Close.Right - 3, (Close.Top + Close.Bottom) / 2);
                 const TRect Restore = ItemRect(Popup, H, 0);
                 Disabled = PixelOf(Popup, Restore.Right - 3, (Restore.Top + Restore.Bottom) / 2);
             });
    EXPECT_TRUE(Provider->SystemMenu->OwnerDraw());
    EXPECT_EQ(Pixel, COLORREF(ItemColor));
    EXPECT_NE(Disabled, COLORREF(ItemColor)) << "restoring a normal form is disabled: mixed with the background";
    FreeAndNil(Provider);
}

TEST_F(sSkinMenusTest, MainMenuItemsGetTheSkinnedHandlersAsTheProviderMeasuresThem) {
    LoadSkin();
    TMainMenu* Main = Create<TMainMenu>(Form);
    TMenuItem* File = AddItem(Main, "File");
    TMenuItem* Open = AddItem(Main, "Open", File);
    auto* Provider = Create<TsSkinProvider>(Form);
    Pump();
    struct Case {
        TMenuItem* Item;
        TMenuMeasureItemEvent Expected;
    };
    const Case Cases[] = {
        {Open, TMenuMeasureItemEvent::Bind<&TsSkinableMenus::MeasureMenuItem>(Menus)},
        {File, TMenuMeasureItemEvent::Bind<&TsSkinableMenus::MeasureTopLineItem>(Menus)},
    };
    for (const Case& C : Cases) {
        MEASUREITEMSTRUCT Info{};
        Info.CtlType = ODT_MENU;
        Info.itemID = C.Item->Command();
        SendMessageA(Form->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&Info));
        EXPECT_TRUE(C.Item->OnMeasureItem == C.Expected) << C.Item->Caption();
    }
    EXPECT_TRUE(Main->OwnerDraw());
    FreeAndNil(Provider);
}

}  // namespace
