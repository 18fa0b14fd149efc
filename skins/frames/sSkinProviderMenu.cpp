// The menu line of a skinned form. The form keeps the system's menu bar (so the rows, the places of
// the items and the menu loop are the system's); the form image paints over it the skin's menu-line
// section, the items through the skinned menus' menu-bar handlers and, on an MDI parent whose active
// child is maximised, the child's icon and its three buttons at the right end of the last row.
#include "sSkinProvider.h"

#include "acBorderForm.h"
#include "sDCUtils.h"
#include "sGraphUtils.h"
#include "sMDIForm.h"
#include "sSectionPaint.h"
#include "sSkinMenus.h"
#include "sStyleSimply.h"
#include "sSystemMenu.h"

#include <functional>

namespace {
// A rebuild of a main menu sets its bar again, which asks for the frame again.
bool RebuildingMenu = false;
// The window of the running menu loop that keeps the MDI child's buttons on screen.
TForm* MDIIcons = nullptr;
// The width and the height of the window of the MDI child's buttons.
constexpr int MDIIconsWidth = 60;

bool HasVisibleItem(TMainMenu* Menu) {
    if (!Menu)
        return false;
    for (int I = 0; I < Menu->Items()->Count(); ++I)
        if (Menu->Items()->Items(I)->Visible())
            return true;
    return false;
}

// The top item of Menu (or of the menu merged into it) at Position of its bar; nil for an item the
// system added.
TMenuItem* BarItem(TMainMenu* Menu, HMENU Bar, int Position) {
    MENUITEMINFOA Info{};
    Info.cbSize = sizeof(Info);
    Info.fMask = MIIM_ID | MIIM_SUBMENU;
    if (!GetMenuItemInfoA(Bar, static_cast<UINT>(Position), TRUE, &Info))
        return nullptr;
    TMainMenu* Merged = Menu->Merged();
    TMenuItem* Item = nullptr;
    if (Info.hSubMenu) {
        auto Sub = reinterpret_cast<UINT_PTR>(Info.hSubMenu);
        Item = Menu->FindItem(Sub, fkHandle);
        if (!Item && Merged)
            Item = Merged->FindItem(Sub, fkHandle);
    } else if (Info.wID < 0xF000) {
        Item = FindMenuItemByCommand(static_cast<Word>(Info.wID));
    }
    const bool Top = Item && (Item->Parent() == Menu->Items() || (Merged && Item->Parent() == Merged->Items()));
    return Top ? Item : nullptr;
}

// The icon a maximised child shows on its parent's menu line: its window's, else none.
HICON ChildIcon(TCustomForm* Child) {
    if (!Child || !Child->HandleAllocated())
        return nullptr;
    HWND H = Child->Handle();
    auto Icon = reinterpret_cast<HICON>(SendMessageA(H, WM_GETICON, ICON_SMALL, 0));
    if (!Icon)
        Icon = reinterpret_cast<HICON>(SendMessageA(H, WM_GETICON, ICON_BIG, 0));
    if (!Icon)
        Icon = reinterpret_cast<HICON>(GetClassLongPtrA(H, GCLP_HICONSM));
    if (!Icon)
        Icon = reinterpret_cast<HICON>(GetClassLongPtrA(H, GCLP_HICON));
    return Icon;
}
}  // namespace

HWND ActiveMDIChildWindow(TCustomForm* Parent, bool* Maximized) {
    if (Maximized)
        *Maximized = false;
    if (!Parent || !Parent->HandleAllocated() || !Parent->ClientHandle())
        return nullptr;
    BOOL Zoomed = FALSE;
    auto Active = reinterpret_cast<HWND>(
        SendMessageA(Parent->ClientHandle(), WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&Zoomed)));
    if (Maximized)
        *Maximized = Active && Zoomed;
    return Active;
}

TCustomForm* ActiveMDIChildOf(TCustomForm* Parent, bool* Maximized) {
    bool Zoomed = false;
    HWND Active = ActiveMDIChildWindow(Parent, &Zoomed);
    auto* Child = Active ? DynCast<TCustomForm>(FindControl(Active)) : nullptr;
    if (Maximized)
        *Maximized = Child && Zoomed;
    return Child;
}

// ---------------------------------------------------------------------------------------------
// Rows and heights

bool TsSkinProvider::MenuPresent() const {
    TMainMenu* Menu = Form ? Form->Menu() : nullptr;
    return Menu && !Menu->AutoMerge() && Menu->Items()->Count() > 0 && !IsMDIChild() &&
           Form->BorderStyle() != bsDialog;
}

bool TsSkinProvider::MenuHasVisibleItems() const {
    if (!Form || Form->BorderStyle() == bsDialog || IsMDIChild())
        return false;
    TMainMenu* Menu = Form->Menu();
    if (Menu && !Menu->AutoMerge() && HasVisibleItem(Menu))
        return true;
    if (!IsMDIParent())
        return false;
    TCustomForm* Child = ActiveMDIChildOf(Form, nullptr);
    return Child && HasVisibleItem(Child->Menu());
}

// A menu without a shown item leaves the window without a bar (the framework takes it off), so it
// has no line either.
int TsSkinProvider::MenuLineHeight() const {
    return MenuPresent() && MenuHasVisibleItems() ? GetSystemMetrics(SM_CYMENU) - 1 : 0;
}

int TsSkinProvider::MenuLineCount() {
    if (MenuLines >= 0)
        return MenuLines;
    if (MenuLineHeight() == 0 || !Form->HandleAllocated())
        return 0;
    HWND H = Form->Handle();
    HMENU Bar = GetMenu(H);
    RECT Item;
    if (!Bar || !GetMenuItemRect(H, Bar, 0, &Item))
        return MenuLines = 1;
    RECT W, C;
    GetWindowRect(H, &W);
    GetClientRect(H, &C);
    int ClientTop = W.bottom - C.bottom - TopFrameHeight(false);
    if (GetWindowLongA(H, GWL_STYLE) & WS_HSCROLL)
        ClientTop -= GetSystemMetrics(SM_CYHSCROLL);
    MenuLines = Item.bottom >= ClientTop ? 1 : (ClientTop - Item.bottom) / MenuLineHeight() + 1;
    return MenuLines;
}

void TsSkinProvider::SetMenuLineSkin(const std::string& Value) {
    if (FMenuLineSkin == Value)
        return;
    FMenuLineSkin = Value;
    if (ComponentState().Contains(csDesigning))
        FSkinData->Invalidate();
}

TPoint TsSkinProvider::MenuLineOrigin() {
    TRect Ext;
    GetExtRect(Ext);
    return TPoint{Ext.Left + FrameBorderWidth(Form->Handle(), BorderForm, true), TitleBottom()};
}

// ---------------------------------------------------------------------------------------------
// The menus of the form

bool TsSkinProvider::RebuildMenu() {
    if (RebuildingMenu)
        return false;
    TMainMenu* Menu = Form ? Form->Menu() : nullptr;
    if (!Menu || Menu->Items()->Count() == 0)
        return false;
    RebuildingMenu = true;
    struct Reset {
        ~Reset() { RebuildingMenu = false; }
    } Guard;
    TMenuItem* First = Menu->Items()->Items(0);
    Menu->MenuChanged(First, First, true);
    return true;
}

void TsSkinProvider::SkinMenus(bool Active) {
    TsSkinManager* M = ProviderManager();
    TsSkinableMenus* Menus = SkinableMenusOf(M);
    if (ComponentState().Contains(csDesigning) || !Menus || !M->GetIsDefault() || !Form)
        return;
    const bool Popups = Active && M->SkinnedPopups;
    std::function<void(TComponent*)> Visit = [&](TComponent* Owner) {
        for (int I = 0; I < Owner->ComponentCount(); ++I) {
            TComponent* C = Owner->Components(I);
            if (auto* Main = DynCast<TMainMenu>(C)) {
                Menus->HookMainMenu(Main, Active && FDrawNonClientArea);
                for (int J = 0; J < Main->Items()->Count(); ++J)
                    Menus->HookItems(Main->Items()->Items(J), Popups);
            } else if (auto* Popup = DynCast<TPopupMenu>(C)) {
                Menus->HookMenu(Popup, Popups);
            } else if (auto* Item = DynCast<TMenuItem>(C)) {
                TMenu* Menu = Item->GetParentMenu();
                if (Menu && Menu->Is<TMainMenu>())
                    Visit(Item);
                else
                    Menus->HookItems(Item, Popups);
            }
        }
    };
    Visit(Form);
}

// ---------------------------------------------------------------------------------------------
// The menu line in the form image

void TsSkinProvider::PaintMenuLine() {
    TsSkinManager* M = ProviderManager();
    TBitmap* Image = FSkinData->CacheBitmap;
    TMainMenu* Menu = Form->Menu();
    if (!M || !Image || !Menu)
        return;
    TRect Ext;
    GetExtRect(Ext);
    HWND H = Form->Handle();
    const int Rows = MenuLineCount(), RowH = MenuLineHeight(), Top = TitleBottom();
    const int State = FormActive ? 1 : 0;
    std::string Name = FMenuLineSkin;
    int Section = Name.empty() ? -1 : M->FindSectionIndex(Name);
    if (Section < 0) {
        Name = "MENULINE";
        Section = M->FindSectionIndex(Name);
    }
    if (M->SectionIndexInRange(Section))
        PaintSkinItem(Section, Name, MakeBackgroundSource(Image, GetClientOffsetX(), GetClientOffsetY()), -1, -1, M,
                      Image, TPoint{Ext.Left, Top}, TRect{Ext.Left, Top, Image->Width() - Ext.Right, Top + Rows * RowH},
                      State, true);
    // The line's background without the items, behind an item drawn again (hot in the menu loop).
    if (!MenuLineBg)
        MenuLineBg = NewBitmap24(0, 0);
    const TPoint O = MenuLineOrigin();
    MenuLineBg->SetSize(std::max<int>(0, FormImageWidth() - Ext.Left - Ext.Right), Rows * RowH);
    BitBlt(MenuLineBg->Canvas()->Handle(), 0, 0, MenuLineBg->Width(), MenuLineBg->Height(), Image->Canvas()->Handle(),
           O.X, O.Y, SRCCOPY);

    const bool Icon = this == MDISkinProvider && MDIChildIconShown();
    if (Icon) {
        const int S = RowH - 2;
        int X = FrameBorderWidth(H, BorderForm, true) + 1;
        HICON Handle = ChildIcon(ActiveMDIChildOf(Form, nullptr));
        if (!Handle) {
            Handle = reinterpret_cast<HICON>(SendMessageA(Application->Handle(), WM_GETICON, ICON_SMALL, 0));
            if (!Handle)
                Handle = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
            X += Ext.Left;
        }
        if (Handle && S > 0)
            DrawIconEx(Image->Canvas()->Handle(), X, Top + 1, Handle, S, S, 0, nullptr, DI_NORMAL);
    }
    TsSkinableMenus* Menus = SkinableMenusOf(M);
    if (Menus && IsDwmCompositionEnabled())
        Menus->HookMainMenu(Menu, FDrawNonClientArea);

    // The items where the system's bar has them, moved from the screen into the image. The bar holds
    // this menu's items, an active MDI child's merged among them, and on an MDI form with a maximised
    // child the system's own (the child's icon and buttons, which the line shows itself).
    RECT W;
    GetWindowRect(H, &W);
    const int DX = ExtendedBorderOffset(BorderForm) + Ext.Left - W.left;
    const int DY = ExtendedTitleOffset(BorderForm) + Ext.Top - W.top + (CaptionGrown ? 4 : 0);
    HMENU Bar = GetMenu(H);
    const int Count = Bar ? GetMenuItemCount(Bar) : 0;
    for (int K = 0; K < Count && Bar; ++K) {
        TMenuItem* Item = BarItem(Menu, Bar, K);
        if (!Item)
            continue;
        if ((!Item->OnAdvancedDrawItem || !Item->OnMeasureItem) && Menus) {
            auto* Own = DynCast<TMainMenu>(Item->GetParentMenu());
            const bool WasOwnerDraw = Own && Own->OwnerDraw();
            Menus->HookMainMenu(Own, true);
            if (Own && !WasOwnerDraw && Own->OwnerDraw())
                RebuildMenu();
            Bar = GetMenu(H);
            if (!Bar)
                break;
        }
        RECT R;
        if (!GetMenuItemRect(H, Bar, static_cast<UINT>(K), &R))
            break;
        if (Item->OnAdvancedDrawItem)
            Item->OnAdvancedDrawItem(Item, Image->Canvas(), TRect{R.left + DX, R.top + DY, R.right + DX, R.bottom + DY},
                                     TOwnerDrawState{odNoAccel, odReserved1});
    }
}

// ---------------------------------------------------------------------------------------------
// The buttons of a maximised MDI child

bool TsSkinProvider::MDIButtonsShown() {
    if (!MDIChildProvider || !IsMDIParent() || !Form->Menu() || MenuLineHeight() == 0)
        return false;
    bool Maximized = false;
    TCustomForm* Child = ActiveMDIChildOf(Form, &Maximized);
    return Child && Maximized && IsWindowVisible(Child->Handle()) && Child->BorderIcons().Contains(biSystemMenu);
}

// The size of one state of the MDI close button's image (16 x 16 without one).
int TsSkinProvider::MDIButtonWidth() {
    TsSkinManager* M = ProviderManager();
    if (!M || !M->MaskIndexInRange(BtnMDIClose.ImageIndex))
        return 16;
    const TsMaskData& Mask = M->MaskList[BtnMDIClose.ImageIndex];
    return Mask.Bmp ? Mask.Bmp->Width() / 3 : (Mask.R.Right - Mask.R.Left) / std::max<int>(1, Mask.ImageCount);
}

int TsSkinProvider::MDIButtonHeight() {
    TsSkinManager* M = ProviderManager();
    if (!M || !M->MaskIndexInRange(BtnMDIClose.ImageIndex))
        return 16;
    const TsMaskData& Mask = M->MaskList[BtnMDIClose.ImageIndex];
    return Mask.Bmp ? Mask.Bmp->Height() / 2 : (Mask.R.Bottom - Mask.R.Top) / (Mask.MaskType + 1);
}

void TsSkinProvider::PaintMDIButtons() {
    TsSkinManager* M = ProviderManager();
    TBitmap* Image = FSkinData->CacheBitmap;
    if (!M || !Image || !MDIChildProvider)
        return;
    TRect Ext;
    GetExtRect(Ext);
    HWND H = Form->Handle();
    const int BW = MDIButtonWidth(), BH = MDIButtonHeight();
    const int Y = InnerFrameWidth(H, BorderForm, true) + GetCaptionHeight(true) + Ext.Top +
                  (MenuLineHeight() - BH) / 2 + (MenuLineCount() - 1) * MenuLineHeight();
    const int W = FormImageWidth() - FrameBorderWidth(H, BorderForm, true) - Ext.Right;
    TsSystemMenu* ChildMenu = MDIChildProvider->SystemMenu;
    bool Maximized = false;
    ActiveMDIChildOf(Form, &Maximized);
    int MaxImage = BtnMDIMax.ImageIndex;
    if (Maximized) {
        int Norm = GlobalMask(M, "SICONNORM");
        MaxImage = Norm >= 0 ? Norm : GlobalMask(M, "BICONNORM");
    }
    auto Place = [&](TitleButtonState& B, int X, int Index, bool Enabled) {
        B.Rect = TRect{X, Y, X + BW, Y + BH};
        if (!M->MaskIndexInRange(Index))
            return;
        DrawSkinGlyph(Image, TPoint{X, Y}, std::max<int>(B.State, 0), Enabled ? 1 : 2, M->MaskList[Index],
                      MakeBackgroundSource(Image, 0, 0));
    };
    Place(BtnMDIMin, W - 3 * BW - 3, BtnMDIMin.ImageIndex, FormActive && ChildMenu && ChildMenu->EnabledMin());
    Place(BtnMDIMax, W - 2 * BW - 2, MaxImage, FormActive && ChildMenu && ChildMenu->EnabledRestore());
    Place(BtnMDIClose, W - BW - 1, BtnMDIClose.ImageIndex, FormActive);
}

// ---------------------------------------------------------------------------------------------
// The window of the MDI child's buttons during the parent's menu loop: the system draws its own
// bar while it tracks the menu, and this window keeps the skinned buttons over it.

TForm* MDIIconsWindow() { return MDIIcons; }

void FreeMDIIconsWindow() { FreeAndNil(MDIIcons); }

void TsSkinProvider::ShowMDIIcons() {
    if (!Form->HandleAllocated())
        return;
    if (!MDIIcons) {
        MDIIcons = TForm::CreateNew(Application);
        MDIIcons->SetTag(-98);  // no dialog hook takes it
        MDIIcons->SetVisible(false);
        MDIIcons->SetName("acMDIIcons");
        MDIIcons->SetBorderStyle(bsNone);
    }
    MDIIcons->OnPaint = TNotifyEvent::Bind<&TsSkinProvider::PaintMDIIcons>(this);
    HWND H = Form->Handle();
    RECT B;
    GetWindowRect(H, &B);
    const int F = FrameBorderWidth(H, BorderForm, false);
    SetWindowPos(MDIIcons->Handle(), HWND_TOP, B.right - F - MDIIconsWidth, B.top + F + GetCaptionHeight(false),
                 MDIIconsWidth, GetSystemMetrics(SM_CYMENU) + 3, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOREDRAW);
}

void TsSkinProvider::PaintMDIIcons(TObject*) {
    TBitmap* Image = FSkinData->CacheBitmap;
    if (!MDIIcons || !Image || !Form->HandleAllocated())
        return;
    // The window's place on the form, in the image.
    TRect Ext;
    GetExtRect(Ext);
    RECT Own, B;
    GetWindowRect(MDIIcons->Handle(), &Own);
    GetWindowRect(Form->Handle(), &B);
    const int X = Own.left - B.left + ExtendedBorderOffset(BorderForm) + Ext.Left;
    const int Y = Own.top - B.top + ExtendedTitleOffset(BorderForm) + Ext.Top;
    BitBlt(MDIIcons->Canvas()->Handle(), 0, 0, Own.right - Own.left, Own.bottom - Own.top, Image->Canvas()->Handle(), X,
           Y, SRCCOPY);
}
