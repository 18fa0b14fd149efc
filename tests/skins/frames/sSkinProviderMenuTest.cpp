// The menu line of skinned forms on real windows, with the frame skin of these tests (its "MENULINE"
// section a dark green, "MENUITEM" a blue): the line lies between the title and the client area,
// where the system's menu bar is, in as many rows as the bar has; its pixels come from the section
// and its items are drawn by the skinned menus. On an MDI parent whose child is maximised, the
// child's icon starts the line and the child's three buttons end it.
#include "../engine/SkinPixelSupport.h"

#include "FrameSkinSupport.h"
#include "TestSupport.h"

#include "acSBUtils.h"
#include "sGraphUtils.h"
#include "sMDIForm.h"
#include "sSkinMenus.h"
#include "sSkinProvider.h"

using namespace skintests;

namespace {

constexpr TColor MenuLineColour = 0x00306030;
constexpr TColor MenuItemColour = 0x003060B0;

class sSkinProviderMenuTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        sGraphUtilsInitialization();
        acSBUtilsInitialization();
        sSkinMenusInitialization();
        Form->SetCaption("Skinned");
    }
    void TearDown() override {
        FreeAndNil(Child);
        if (Frame) {
            FreeAndNil(Frame);
            Provider = nullptr;  // went with its form
        }
        if (Provider)
            FreeAndNil(Provider);
        SkinTest::TearDown();
        sSkinMenusFinalization();
        acSBUtilsFinalization();
    }
    // The frame tests' skin, with the MDI client's sections beside it.
    void LoadSkin(const std::string& AreaColour = "$00C0A080") {
        Manager = LoadFrameSkinWithMDIArea(Temp, "Menus", AreaColour);
        ASSERT_TRUE(Manager->SkinData->SkinActive);
    }
    // A main menu of Form with items of these captions.
    static TMainMenu* MakeMenu(TCustomForm* Owner, std::initializer_list<const char*> Captions) {
        auto* Menu = Create<TMainMenu>(Owner);
        for (const char* C : Captions) {
            auto* Item = Create<TMenuItem>(Owner);
            Item->SetCaption(C);
            Menu->Items()->Add(Item);
        }
        Owner->SetMenu(Menu);
        return Menu;
    }
    static void Refresh(TCustomForm* F, TsSkinProvider* P) {
        P->SkinData()->BackgroundStale = true;
        SetWindowPos(F->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
        RedrawWindow(F->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump();
    }
    // The client area's top in the window, as the system places it.
    static int ClientTop(TCustomForm* F) {
        RECT W;
        GetWindowRect(F->Handle(), &W);
        POINT P{0, 0};
        ClientToScreen(F->Handle(), &P);
        return P.y - W.top;
    }
    // The client area's top that WM_NCCALCSIZE gives for the window's rectangle.
    static int CalcClientTop(TCustomForm* F) {
        RECT W;
        GetWindowRect(F->Handle(), &W);
        NCCALCSIZE_PARAMS Params{};
        Params.rgrc[0] = W;
        SendMessageA(F->Handle(), WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&Params.rgrc[0]));
        return Params.rgrc[0].top - W.top;
    }
    // The whole window printed, frame included.
    static TBitmap* Print(TCustomForm* F) {
        TBitmap* B = MakeBitmap(F->Width(), F->Height(), pf24bit);
        SendMessageA(F->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(B->Canvas()->Handle()), PRF_NONCLIENT | PRF_CLIENT);
        return B;
    }
    // Item Position of the window's bar, in window coordinates.
    static RECT ItemRect(TCustomForm* F, int Position) {
        RECT R{}, W;
        GetWindowRect(F->Handle(), &W);
        EXPECT_TRUE(GetMenuItemRect(F->Handle(), GetMenu(F->Handle()), Position, &R)) << "item " << Position;
        OffsetRect(&R, -W.left, -W.top);
        return R;
    }
    LRESULT HitAt(TCustomForm* F, int X, int Y) {
        RECT R;
        GetWindowRect(F->Handle(), &R);
        return SendMessageA(F->Handle(), WM_NCHITTEST, 0, MAKELPARAM(R.left + X, R.top + Y));
    }

    testing_support::TempDir Temp;
    TsSkinProvider* Provider = nullptr;  // Form's or Frame's
    TForm* Frame = nullptr;
    TForm* Child = nullptr;
};

TEST_F(sSkinProviderMenuTest, TheMenuLineLiesBetweenTitleAndClientInTheSkinsSectionWithSkinnedItems) {
    LoadSkin();
    TMainMenu* Menu = MakeMenu(Form, {"&File", "&Edit", "&Help"});
    Provider = Create<TsSkinProvider>(Form);
    Refresh(Form, Provider);
    const int RowH = GetSystemMetrics(SM_CYMENU) - 1;
    EXPECT_TRUE(Provider->MenuPresent());
    EXPECT_EQ(Provider->MenuLineHeight(), RowH);
    EXPECT_EQ(Provider->MenuLineCount(), 1);
    EXPECT_TRUE(Menu->OwnerDraw()) << "the bar's items are drawn by their owner";
    const int Top = Provider->TitleBottom();
    EXPECT_EQ(Provider->GetClientOffsetY(), ClientTop(Form));
    EXPECT_EQ(CalcClientTop(Form), ClientTop(Form));
    EXPECT_EQ(ClientTop(Form), Top + RowH + 1) << "one row and the bar's bottom line";

    TOwned<TBitmap> B(Print(Form));
    const RECT Last = ItemRect(Form, 2);
    EXPECT_GE(Last.top, Top) << "the items lie on the line";
    EXPECT_LE(Last.bottom, Top + RowH + 1);
    EXPECT_EQ(GetPx(B.get(), Form->Width() - 40, Top + RowH / 2), PxOf(MenuLineColour)) << "the line right of the items";
    for (int I = 0; I < 3; ++I) {
        const RECT R = ItemRect(Form, I);
        EXPECT_EQ(GetPx(B.get(), R.left + 1, R.top + 1), PxOf(MenuItemColour)) << "item " << I;
    }
    // The caption's own text has white pixels in the item.
    const RECT First = ItemRect(Form, 0);
    int White = 0;
    for (int Y = First.top; Y < First.bottom; ++Y)
        for (int X = First.left; X < First.right; ++X)
            White += GetPx(B.get(), X, Y) == PxOf(0x00FFFFFF) ? 1 : 0;
    EXPECT_GT(White, 5) << "the caption written in the line's font colour";
    EXPECT_EQ(HitAt(Form, Form->Width() - 40, Top + RowH / 2), HTMENU);
    // The menu loop draws an item hot on the window, over the line's background.
    {
        HDC DC = GetWindowDC(Form->Handle());
        DRAWITEMSTRUCT D{};
        D.CtlType = ODT_MENU;
        D.itemID = Menu->Items()->Items(1)->Command();
        D.itemState = ODS_SELECTED;
        D.hDC = DC;
        D.rcItem = ItemRect(Form, 1);
        EXPECT_TRUE(SendMessageA(Form->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&D)));
        EXPECT_EQ(GetPixel(DC, D.rcItem.left + 1, D.rcItem.top + 1), TColor(0x000000C0)) << "the item's hot colour";
        ReleaseDC(Form->Handle(), DC);
    }
    // Activation, where the system draws its own bar, leaves the skinned line on the window.
    for (WPARAM Active : {0, 1}) {
        SendMessageA(Form->Handle(), WM_NCACTIVATE, Active, 0);
        Pump();
        HDC DC = GetWindowDC(Form->Handle());
        const TColor Line = GetPixel(DC, Form->Width() - 40, Top + RowH / 2);
        const TColor OnItem = GetPixel(DC, First.left + 1, First.top + 1);
        ReleaseDC(Form->Handle(), DC);
        EXPECT_EQ(Line, MenuLineColour) << "active " << Active;
        EXPECT_EQ(OnItem, MenuItemColour) << "active " << Active;
    }
    // Without the skin the bar is the system's again.
    Manager->SetActive(false);
    Pump();
    EXPECT_FALSE(Menu->OwnerDraw());
    EXPECT_NE(GetMenu(Form->Handle()), nullptr);
    EXPECT_EQ(CalcClientTop(Form), ClientTop(Form));
}

TEST_F(sSkinProviderMenuTest, WithAnExtendedBorderTheFormsWindowShowsTheLineAndTheClientWhereTheSystemHasThem) {
    LoadSkin();
    Manager->SetExtendedBorders(true);
    MakeMenu(Form, {"&File", "&Edit"});
    Provider = Create<TsSkinProvider>(Form);
    Refresh(Form, Provider);
    ASSERT_TRUE(Provider->BorderForm);
    TRect Ext;
    Provider->GetExtRect(Ext);
    // The image holds the window at this offset.
    const int DY = ExtendedTitleOffset(Provider->BorderForm) + Ext.Top;
    const int DX = ExtendedBorderOffset(Provider->BorderForm) + Ext.Left;
    EXPECT_EQ(Provider->GetClientOffsetY() - DY, ClientTop(Form)) << "the client where the system puts it";
    EXPECT_EQ(CalcClientTop(Form), ClientTop(Form));
    // The form's own window shows the line between the border window's title and the client.
    const RECT Item = ItemRect(Form, 1);
    const int Y = (Item.top + Item.bottom) / 2;
    HDC DC = GetWindowDC(Form->Handle());
    const TColor Right = GetPixel(DC, Form->Width() - 30, Y), OnItem = GetPixel(DC, Item.left + 1, Item.top + 1);
    ReleaseDC(Form->Handle(), DC);
    EXPECT_EQ(Right, MenuLineColour);
    EXPECT_EQ(OnItem, MenuItemColour);
    TBitmap* Image = Provider->SkinData()->CacheBitmap;
    EXPECT_EQ(GetPx(Image, Item.left + 1 + DX, Item.top + 1 + DY), PxOf(MenuItemColour, 255)) << "the item in the image";
}

TEST_F(sSkinProviderMenuTest, AMenuWithoutAShownItemHasNoLine) {
    LoadSkin();
    TMainMenu* Menu = MakeMenu(Form, {"&File", "&Edit"});
    for (int I = 0; I < Menu->Items()->Count(); ++I)
        Menu->Items()->Items(I)->SetVisible(false);
    Provider = Create<TsSkinProvider>(Form);
    Refresh(Form, Provider);
    EXPECT_FALSE(Provider->MenuHasVisibleItems());
    EXPECT_EQ(Provider->MenuLineHeight(), 0);
    EXPECT_EQ(Provider->MenuLineCount(), 0);
    EXPECT_EQ(GetMenu(Form->Handle()), nullptr);
    EXPECT_EQ(ClientTop(Form), Provider->TitleBottom());
    EXPECT_EQ(Provider->GetClientOffsetY(), ClientTop(Form));
}

TEST_F(sSkinProviderMenuTest, AMenuTooWideForOneRowHasTwoRows) {
    LoadSkin();
    Form->SetWidth(260);
    MakeMenu(Form, {"First item", "Second item", "Third item", "Fourth item", "Fifth item"});
    Provider = Create<TsSkinProvider>(Form);
    Refresh(Form, Provider);
    const int RowH = Provider->MenuLineHeight();
    ASSERT_GT(RowH, 0);
    const RECT First = ItemRect(Form, 0), Last = ItemRect(Form, 4);
    ASSERT_GT(Last.top, First.top) << "the system wraps the bar";
    EXPECT_EQ(Provider->MenuLineCount(), 2);
    EXPECT_EQ(Provider->GetClientOffsetY(), ClientTop(Form));
    EXPECT_EQ(CalcClientTop(Form), ClientTop(Form));
    TOwned<TBitmap> B(Print(Form));
    const int Top = Provider->TitleBottom();
    EXPECT_EQ(GetPx(B.get(), Form->Width() - 20, Top + RowH + RowH / 2), PxOf(MenuLineColour)) << "the second row";
    EXPECT_EQ(GetPx(B.get(), Last.left + 1, Last.top + 1), PxOf(MenuItemColour)) << "an item of the second row";
    EXPECT_EQ(HitAt(Form, Form->Width() - 20, Top + RowH + RowH / 2), HTMENU);
}

class sSkinProviderMenuMDITest : public sSkinProviderMenuTest {
protected:
    // A shown MDI parent with a menu of these items and a provider.
    TMainMenu* MakeFrame(std::initializer_list<const char*> Captions) {
        Frame = TForm::CreateNew(nullptr);
        Frame->SetFormStyle(fsMDIForm);
        Frame->SetBounds(60, 60, 420, 320);
        TMainMenu* Menu = MakeMenu(Frame, Captions);
        Frame->Show();
        Provider = Create<TsSkinProvider>(Frame);
        Pump();
        return Menu;
    }
    // The frame with a skinned child maximised in it.
    void MakeFrameAndChild() {
        MakeFrame({"&File", "&Window"});
        Child = TForm::CreateNew(nullptr);
        Child->SetFormStyle(fsMDIChild);
        Child->SetCaption("Child");
        Child->SetBounds(10, 10, 150, 100);
        ChildProvider = Create<TsSkinProvider>(Child);
        Child->Show();
        Pump();
        SendMessageA(Child->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        Pump();
        ASSERT_TRUE(IsZoomed(Child->Handle()));
        Refresh(Frame, Provider);
    }
    TsSkinProvider* ChildProvider = nullptr;  // freed with the child
};

TEST_F(sSkinProviderMenuMDITest, AMaximisedChildsIconAndButtonsAreOnTheParentsLine) {
    LoadSkin();
    MakeFrameAndChild();
    ASSERT_TRUE(Provider->MDIButtonsShown());
    EXPECT_TRUE(MDIChildIconShown());
    const int RowH = Provider->MenuLineHeight(), Top = Provider->TitleBottom();
    TOwned<TBitmap> B(Print(Frame));
    struct Case {
        TitleButtonState* Button;
        LRESULT Code;
    } Cases[] = {{&Provider->BtnMDIClose, HTMDICLOSE}, {&Provider->BtnMDIMax, HTMDIMAX}, {&Provider->BtnMDIMin, HTMDIMIN}};
    for (const Case& C : Cases) {
        const TRect& R = C.Button->Rect;
        ASSERT_GT(R.Width(), 0) << C.Code;
        EXPECT_GE(R.Top, Top) << "on the line";
        EXPECT_LE(R.Bottom, Top + RowH);
        EXPECT_GT(R.Left, Frame->Width() / 2) << "at the right end";
        EXPECT_EQ(HitAt(Frame, (R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2), C.Code);
        int Drawn = 0;
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            for (int X = R.Left; X < R.Right; ++X)
                Drawn += GetPx(B.get(), X, Y) != PxOf(MenuLineColour) ? 1 : 0;
        EXPECT_GT(Drawn, R.Width() * R.Height() / 4) << "the button's image, " << C.Code;
    }
    EXPECT_LT(Provider->BtnMDIMin.Rect.Right, Provider->BtnMDIMax.Rect.Left + 1);
    EXPECT_LT(Provider->BtnMDIMax.Rect.Right, Provider->BtnMDIClose.Rect.Left + 1);
    // The child's icon, square, at the start of the line; the parent's items follow it.
    const int IconX = FrameBorderWidth(Frame->Handle(), nullptr, true) + 1, S = RowH - 2;
    int Drawn = 0;
    for (int Y = Top + 1; Y < Top + 1 + S; ++Y)
        for (int X = IconX; X < IconX + S; ++X)
            Drawn += GetPx(B.get(), X, Y) != PxOf(MenuLineColour) && GetPx(B.get(), X, Y) != PxOf(MenuItemColour) ? 1 : 0;
    EXPECT_GT(Drawn, S * S / 8) << "the icon's pixels";
}

TEST_F(sSkinProviderMenuMDITest, TheActiveChildsMenuIsMergedIntoTheParentsLineByGroup) {
    LoadSkin();
    TMainMenu* Own = MakeFrame({"&File", "&View", "&Window"});
    Own->Items()->Items(1)->SetGroupIndex(1);
    Own->Items()->Items(2)->SetGroupIndex(9);
    Child = TForm::CreateNew(nullptr);
    Child->SetFormStyle(fsMDIChild);
    Child->SetBounds(10, 10, 150, 100);
    TMainMenu* ChildMenu = MakeMenu(Child, {"&Edit", "&Tools"});
    ChildMenu->Items()->Items(0)->SetGroupIndex(1);  // takes the place of View
    ChildMenu->Items()->Items(1)->SetGroupIndex(5);
    Create<TsSkinProvider>(Child);
    Child->Show();
    Pump();
    Refresh(Frame, Provider);
    EXPECT_EQ(Own->Merged(), ChildMenu);
    HMENU Bar = GetMenu(Frame->Handle());
    ASSERT_EQ(GetMenuItemCount(Bar), 4);
    const std::vector<TMenuItem*> Expected{Own->Items()->Items(0), ChildMenu->Items()->Items(0),
                                           ChildMenu->Items()->Items(1), Own->Items()->Items(2)};
    TOwned<TBitmap> B(Print(Frame));
    for (int K = 0; K < 4; ++K) {
        MENUITEMINFOA Info{};
        Info.cbSize = sizeof(Info);
        Info.fMask = MIIM_ID;
        ASSERT_TRUE(GetMenuItemInfoA(Bar, K, TRUE, &Info));
        EXPECT_EQ(Info.wID, Expected[K]->Command()) << "position " << K;
        const RECT R = ItemRect(Frame, K);
        EXPECT_EQ(GetPx(B.get(), R.left + 1, R.top + 1), PxOf(MenuItemColour)) << "drawn skinned, position " << K;
    }
    FreeAndNil(Child);
    Pump();
    EXPECT_EQ(Own->Merged(), nullptr);
    EXPECT_EQ(GetMenuItemCount(GetMenu(Frame->Handle())), 3) << "the parent's own items again";
}

TEST_F(sSkinProviderMenuMDITest, TheParentsClientAreaStartsBelowItsMenuLine) {
    LoadSkin("$00A06040");
    MakeFrame({"&File", "&Window"});
    Refresh(Frame, Provider);
    ASSERT_TRUE(Provider->MDIHelper);
    TBitmap* Image = Provider->SkinData()->CacheBitmap;
    ASSERT_TRUE(Image);
    // The client window's place in the image (the window's coordinates: no extended border).
    RECT C, W;
    GetWindowRect(Frame->ClientHandle(), &C);
    GetWindowRect(Frame->Handle(), &W);
    const int X = (C.left + C.right) / 2 - W.left, Top = C.top - W.top;
    EXPECT_EQ(Top, Provider->TitleBottom() + Provider->MenuLineHeight() + 1) << "below the line and its bottom line";
    EXPECT_EQ(GetPx(Image, X, Top), PxOf(0x00A06040)) << "the MDI area from its first row";
    EXPECT_EQ(GetPx(Image, X, (C.top + C.bottom) / 2 - W.top), PxOf(0x00A06040));
    EXPECT_NE(GetPx(Image, X, Top - 1), PxOf(0x00A06040)) << "not over the menu bar";
}

TEST_F(sSkinProviderMenuMDITest, TheCloseButtonOnTheLineClosesTheChild) {
    LoadSkin();
    MakeFrameAndChild();
    ASSERT_TRUE(Provider->MDIButtonsShown());
    const TRect R = Provider->BtnMDIClose.Rect;
    RECT W;
    GetWindowRect(Frame->Handle(), &W);
    const LPARAM At = MAKELPARAM(W.left + (R.Left + R.Right) / 2, W.top + (R.Top + R.Bottom) / 2);
    SendMessageA(Frame->Handle(), WM_NCLBUTTONDOWN, HTMDICLOSE, At);
    EXPECT_EQ(Provider->BtnMDIClose.State, 2) << "pressed";
    EXPECT_TRUE(IsWindowVisible(Child->Handle())) << "nothing happens before the release";
    SendMessageA(Frame->Handle(), WM_NCLBUTTONUP, HTMDICLOSE, At);
    Pump();
    EXPECT_FALSE(IsWindowVisible(Child->Handle())) << "the child closed";
    EXPECT_FALSE(Provider->MDIButtonsShown());
}

TEST_F(sSkinProviderMenuMDITest, SetMenuCountsTheRowsAgainAndTheMenuLoopShowsTheButtonsWindow) {
    LoadSkin();
    MakeFrameAndChild();
    ASSERT_EQ(Provider->MenuLineCount(), 1);
    Provider->MenuLines = 5;  // a count that no longer holds
    SendMessageA(Frame->ClientHandle(), WM_MDISETMENU, reinterpret_cast<WPARAM>(GetMenu(Frame->Handle())), 0);
    EXPECT_EQ(Provider->MenuLineCount(), 1) << "counted again";
    EXPECT_TRUE(Provider->SkinData()->BackgroundStale) << "the line is painted anew";

    ASSERT_EQ(MDIIconsWindow(), nullptr);
    SendMessageA(Frame->Handle(), WM_ENTERMENULOOP, 0, 0);
    TForm* Icons = MDIIconsWindow();
    ASSERT_NE(Icons, nullptr);
    EXPECT_EQ(Icons->Name(), "acMDIIcons");
    EXPECT_TRUE(IsWindowVisible(Icons->Handle()));
    RECT I, W;
    GetWindowRect(Icons->Handle(), &I);
    GetWindowRect(Frame->Handle(), &W);
    EXPECT_EQ(I.right - I.left, 60);
    EXPECT_EQ(I.top - W.top, Provider->TitleBottom()) << "over the menu line";
    // It shows the frame image there: the child's close button.
    InvalidateRect(Icons->Handle(), nullptr, FALSE);
    UpdateWindow(Icons->Handle());
    TOwned<TBitmap> Shot(MakeBitmap(I.right - I.left, I.bottom - I.top, pf24bit));
    HDC DC = GetDC(Icons->Handle());
    BitBlt(Shot->Canvas()->Handle(), 0, 0, Shot->Width(), Shot->Height(), DC, 0, 0, SRCCOPY);
    ReleaseDC(Icons->Handle(), DC);
    const TRect& C = Provider->BtnMDIClose.Rect;
    const int X = (C.Left + C.Right) / 2 - (I.left - W.left), Y = (C.Top + C.Bottom) / 2 - (I.top - W.top);
    EXPECT_EQ(GetPx(Shot.get(), X, Y), GetPx(Provider->SkinData()->CacheBitmap, (C.Left + C.Right) / 2, (C.Top + C.Bottom) / 2));
    SendMessageA(Frame->Handle(), WM_EXITMENULOOP, 0, 0);
    EXPECT_EQ(MDIIconsWindow(), nullptr) << "freed after the loop";
    EXPECT_FALSE(Provider->InMDICommand);
}

}  // namespace
