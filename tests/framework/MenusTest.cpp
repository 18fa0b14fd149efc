// Menus: short-cut texts, menus read from a form resource and their system menus, the popup menu's
// commands and default item, and a main menu's short cuts through the form's key path.
#include "ComCtrlsTestForm.h"

#include <gtest/gtest.h>

using namespace comctltests;
using controltests::Pump;
using controltests::PumpUntil;

namespace {

struct TShortCutCase {
    TShortCut Value;
    const char* Text;
};

TEST(ShortCutText, NamesAndParsesKeys) {
    const TShortCutCase Cases[] = {
        {VK_F1, "F1"},
        {static_cast<TShortCut>(scCtrl | 'Q'), "Ctrl+Q"},
        {static_cast<TShortCut>(scShift | scCtrl | VK_DELETE), "Shift+Ctrl+Del"},
        {static_cast<TShortCut>(scAlt | VK_F4), "Alt+F4"},
        {static_cast<TShortCut>(scCtrl | '5'), "Ctrl+5"},
    };
    for (const auto& C : Cases) {
        EXPECT_EQ(ShortCutToText(C.Value), C.Text);
        EXPECT_EQ(TextToShortCut(C.Text), C.Value) << C.Text;
    }
    EXPECT_EQ(TextToShortCut("ctrl+q"), scCtrl | 'Q');
    for (const char* Bad : {"", "Ctrl+", "Hyper+Q", "F99", "Ctrl+Ctrl"})
        EXPECT_EQ(TextToShortCut(Bad), scNone) << Bad;
    EXPECT_EQ(ShortCutToText(scNone), "");
    EXPECT_EQ(ShortCut(VK_F1, TShiftState{ssCtrl}), scCtrl | VK_F1);
}

// ---------------------------------------------------------------------------------------------

using StreamedMenuTest = ComCtlFormTest;

std::string MenuText(HMENU Menu, int Pos) {
    char Buf[64] = {};
    GetMenuStringA(Menu, static_cast<UINT>(Pos), Buf, sizeof(Buf), MF_BYPOSITION);
    return Buf;
}

TEST_F(StreamedMenuTest, ItemsNestAsTheFormFileDoes) {
    TMenuItem* Root = Form->PopupMenu->Items();
    ASSERT_EQ(Root->Count(), 4);
    EXPECT_EQ(Root->Items(0), Form->pmOpenProgram);
    EXPECT_TRUE(Root->Items(1)->IsLine());
    EXPECT_EQ(Form->pmAutoRun->Parent(), Form->pmSettings);
    EXPECT_EQ(Form->pmAutoRun->GetParentMenu(), Form->PopupMenu);
    EXPECT_EQ(Form->pmClose->ShortCut(), scCtrl | 'Q');
    EXPECT_EQ(Form->PopupMenu->Images(), Form->ilMain);
    EXPECT_EQ(Form->mH->GetParentMenu(), Form->MainMenu1);
    EXPECT_FALSE(Form->mH->Visible());
    EXPECT_EQ(Root->Find("settings"), Form->pmSettings);
}

TEST_F(StreamedMenuTest, SystemMenuShowsItemsAsTheyAre) {
    HMENU Menu = Form->PopupMenu->Handle();
    ASSERT_EQ(GetMenuItemCount(Menu), 4);
    EXPECT_EQ(MenuText(Menu, 0), "Open");
    EXPECT_EQ(GetMenuState(Menu, 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(MenuText(Menu, 3), "Exit\tCtrl+Q");
    EXPECT_EQ(GetMenuDefaultItem(Menu, FALSE, 0), Form->pmOpenProgram->Command());
    EXPECT_EQ(GetSubMenu(Menu, 2), Form->pmSettings->Handle());
    // Changes show at the next use; an invisible item is left out, a disabled one greyed.
    Form->pmSettings->SetVisible(false);
    Form->pmClose->SetEnabled(false);
    Menu = Form->PopupMenu->Handle();
    ASSERT_EQ(GetMenuItemCount(Menu), 3);
    EXPECT_NE(GetMenuState(Menu, 2, MF_BYPOSITION) & MF_GRAYED, 0u);
}

TEST_F(StreamedMenuTest, OneDefaultItemPerSubmenu) {
    Form->pmClose->SetDefault(true);
    EXPECT_FALSE(Form->pmOpenProgram->Default());
    EXPECT_EQ(GetMenuDefaultItem(Form->PopupMenu->Handle(), FALSE, 0), Form->pmClose->Command());
}

TEST_F(StreamedMenuTest, DefaultItemRunsAsTheTrayDoes) {
    // The tray icon's double click: the first top-level item marked Default is clicked.
    TMenuItem* Root = Form->PopupMenu->Items();
    for (int I = 0; I < Root->Count(); ++I)
        if (Root->Items(I)->Default()) {
            Root->Items(I)->Click();
            break;
        }
    EXPECT_EQ(Form->Log, (std::vector<std::string>{"open"}));
}

TEST_F(StreamedMenuTest, PopupRunsOnPopupThenTheChosenItem) {
    Form->Show();
    HWND Owner = TPopupMenu::PopupListWindow();
    // The menu's own loop reads these keys: the first item, then Enter.
    PostMessageA(Owner, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(Owner, WM_KEYDOWN, VK_RETURN, 0);
    Form->PopupMenu->Popup(Form->Left() + 20, Form->Top() + 20);
    ASSERT_TRUE(PumpUntil([&] { return Form->Log.size() >= 2; }));
    EXPECT_EQ(Form->Log, (std::vector<std::string>{"popup", "open"}));
    // OnPopup's new caption was in the menu shown.
    EXPECT_EQ(MenuText(Form->PopupMenu->Handle(), 0), "Hide");
}

TEST_F(StreamedMenuTest, CommandsReachTheirItemsOnly) {
    EXPECT_TRUE(DispatchMenuCommand(Form->pmAutoRun->Command()));
    EXPECT_EQ(Form->Log, (std::vector<std::string>{"autorun"}));
    Word Gone = Form->pmClose->Command();
    Form->pmClose->Free();
    EXPECT_FALSE(DispatchMenuCommand(Gone));
    EXPECT_EQ(Form->PopupMenu->Items()->Count(), 3);
    SendMessageA(TPopupMenu::PopupListWindow(), WM_COMMAND, Form->pmOpenProgram->Command(), 0);
    EXPECT_EQ(Form->Log.back(), "open");
}

TEST_F(StreamedMenuTest, InvisibleItemsShortCutFiresThroughTheForm) {
    // F1 reaches the form as the message loop sends it: CN_KEYDOWN, then the form's short cuts.
    Form->Perform(CN_KEYDOWN, VK_F1, 0);
    EXPECT_EQ(Form->Log, (std::vector<std::string>{"help"}));
    EXPECT_EQ(FindMainMenu(Form), Form->MainMenu1);
}

TEST_F(StreamedMenuTest, TheMainMenuBarComesAndGoesWithItsShownItems) {
    HWND Wnd = Form->Handle();
    const int ClientWithout = Form->ClientHeight();
    Form->SetMenu(Form->MainMenu1);
    EXPECT_EQ(GetMenu(Wnd), nullptr) << "its only item is hidden";
    TMenuItem* Hidden = Create<TMenuItem>(Form);
    Hidden->SetCaption("Hidden");
    Hidden->SetVisible(false);
    Form->MainMenu1->Items()->Add(Hidden);
    EXPECT_EQ(GetMenu(Wnd), nullptr);
    EXPECT_EQ(Form->ClientHeight(), ClientWithout);
    Form->mH->SetVisible(true);
    EXPECT_EQ(GetMenu(Wnd), Form->MainMenu1->Handle());
    EXPECT_LT(Form->ClientHeight(), ClientWithout) << "the bar takes its line";
    Form->mH->SetVisible(false);
    EXPECT_EQ(GetMenu(Wnd), nullptr);
    EXPECT_EQ(Form->ClientHeight(), ClientWithout);
}

TEST_F(StreamedMenuTest, DisabledItemOrParentKeepsItsShortCutQuiet) {
    Form->mH->SetEnabled(false);
    TWMKey Key;
    Key.Msg = CN_KEYDOWN;
    Key.WParam = VK_F1;
    EXPECT_FALSE(Form->MainMenu1->IsShortCut(Key));
    // A popup menu's short cut does nothing while its submenu is disabled.
    auto* Extra = Create<TMenuItem>(Form);
    Extra->SetShortCut(VK_F2);
    Form->pmSettings->Add(Extra);
    Form->pmSettings->SetEnabled(false);
    Key.WParam = VK_F2;
    EXPECT_FALSE(Form->PopupMenu->IsShortCut(Key));
    Form->pmSettings->SetEnabled(true);
    EXPECT_TRUE(Form->PopupMenu->IsShortCut(Key));
    EXPECT_TRUE(Form->Log.empty());
}

TEST_F(StreamedMenuTest, BadTreeOperationsRaiseMenuErrors) {
    TMenuItem* Root = Form->PopupMenu->Items();
    EXPECT_THROW(Root->Items(4), EMenuError);
    EXPECT_THROW(Root->Items(-1), EMenuError);
    EXPECT_THROW(Root->Add(Form->pmAutoRun), EMenuError);        // already has a parent
    EXPECT_THROW(Form->pmAutoRun->Add(Form->pmAutoRun), EMenuError);
    EXPECT_THROW(Root->Insert(9, Create<TMenuItem>(Form)), EMenuError);
    EXPECT_EQ(Root->Count(), 4);
}

TEST_F(StreamedMenuTest, RadioItemsOfAGroupExcludeEachOther) {
    TMenuItem* Root = Form->PopupMenu->Items();
    std::vector<TMenuItem*> Items;
    for (int I = 0; I < 3; ++I) {
        auto* M = Create<TMenuItem>(Form);
        M->SetRadioItem(true);
        M->SetGroupIndex(I < 2 ? 1 : 2);
        M->SetAutoCheck(true);
        Root->Add(M);
        Items.push_back(M);
    }
    Items[0]->SetChecked(true);
    Items[2]->SetChecked(true);
    Items[1]->Click();
    EXPECT_FALSE(Items[0]->Checked());
    EXPECT_TRUE(Items[1]->Checked());
    EXPECT_TRUE(Items[2]->Checked());  // another group
    Items[1]->Click();                   // a checked radio item stays checked
    EXPECT_TRUE(Items[1]->Checked());
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Owner-drawn items: a popup shown by the system asks each item for its size and has it paint
// itself.

struct TOwnerDrawRecorder : TObject {
    std::vector<std::string> Drawn;
    void Measure(TObject* Sender, TCanvas*, int& Width, int& Height) {
        auto* Item = static_cast<TMenuItem*>(Sender);
        Height = Item->IsLine() ? 5 : 31;
        Width = 120;
    }
    void Draw(TObject* Sender, TCanvas* Canvas, TRect R, TOwnerDrawState) {
        Drawn.push_back(static_cast<TMenuItem*>(Sender)->Caption());
        EXPECT_TRUE(Canvas->HandleAllocated());
        EXPECT_GT(R.Height(), 0);
    }
};

struct TShownMenu {
    HMENU Menu = nullptr;
    std::vector<int> Heights;
};
TShownMenu* Shown = nullptr;

VOID CALLBACK MeasureShownMenu(HWND, UINT, UINT_PTR Id, DWORD) {
    if (!FindWindowA("#32768", nullptr))
        return;
    KillTimer(nullptr, Id);
    for (int I = 0; I < GetMenuItemCount(Shown->Menu); ++I) {
        RECT R{};
        if (GetMenuItemRect(nullptr, Shown->Menu, static_cast<UINT>(I), &R))
            Shown->Heights.push_back(R.bottom - R.top);
    }
    PostMessageA(TPopupMenu::PopupListWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
}

TEST(OwnerDrawMenuTest, ItemsMeasureAndPaintThemselvesInTheShownMenu) {
    TOwned<TPopupMenu> Menu(Create<TPopupMenu>(nullptr));
    TOwned<TOwnerDrawRecorder> Rec(Create<TOwnerDrawRecorder>());
    for (const char* Caption : {"First", "-", "Second"}) {
        TMenuItem* Item = Create<TMenuItem>(Menu.get());
        Item->SetCaption(Caption);
        Item->OnMeasureItem = TMenuMeasureItemEvent::Bind<&TOwnerDrawRecorder::Measure>(Rec.get());
        Item->OnAdvancedDrawItem = TAdvancedMenuDrawItemEvent::Bind<&TOwnerDrawRecorder::Draw>(Rec.get());
        Menu->Items()->Add(Item);
    }
    Menu->SetOwnerDraw(true);
    TShownMenu S;
    S.Menu = Menu->Handle();
    Shown = &S;
    SetTimer(nullptr, 0, 20, MeasureShownMenu);
    Menu->Popup(100, 100);
    Pump();
    Shown = nullptr;
    EXPECT_EQ(S.Heights, (std::vector<int>{31, 5, 31}));
    EXPECT_EQ(Rec->Drawn, (std::vector<std::string>{"First", "-", "Second"}));
    MENUITEMINFOA Info{};
    Info.cbSize = sizeof(Info);
    Info.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoA(Menu->Handle(), 0, TRUE, &Info));
    EXPECT_TRUE(Info.fType & MFT_OWNERDRAW);
}

TEST(OwnerDrawMenuTest, WithoutEventsTheStandardSizeApplies) {
    TOwned<TPopupMenu> Menu(Create<TPopupMenu>(nullptr));
    TMenuItem* Item = Create<TMenuItem>(Menu.get());
    Item->SetCaption("Standard");
    Menu->Items()->Add(Item);
    Menu->SetOwnerDraw(true);
    Menu->Handle();
    MEASUREITEMSTRUCT M{};
    M.CtlType = ODT_MENU;
    M.itemID = Item->Command();
    EXPECT_EQ(SendMessageA(TPopupMenu::PopupListWindow(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&M)), TRUE);
    EXPECT_EQ(static_cast<int>(M.itemHeight), std::max(GetSystemMetrics(SM_CYMENU), 8));
    EXPECT_GT(static_cast<int>(M.itemWidth), 2 * GetSystemMetrics(SM_CXMENUCHECK));
}
