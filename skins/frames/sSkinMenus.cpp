#include "sSkinMenus.h"

#include "Forms.h"
#include "SysUtils.h"
#include "sDCUtils.h"
#include "sGraphUtils.h"
#include "sMDIForm.h"
#include "sMaskDraw.h"
#include "sMessages.h"
#include "sPaintServices.h"
#include "sSectionPaint.h"
#include "sSkinProvider.h"
#include "sSpeedButton.h"
#include "sVclUtils.h"

#include <algorithm>
#include <cmath>

std::vector<TacMenuInfo> MenuBackgrounds;
std::string ExtraLineSection = "EXTRALINE";
std::string ExtraLineCaption;
TBitmap* ExtraLineGlyph = nullptr;
int GlyphColumnWidth = 0;
TsMenuItemType CurrentItemType = smNormal;

namespace {
constexpr const char* MainMenuSection = "MAINMENU";
constexpr const char* ItemSection = "MENUITEM";
constexpr const char* BordersMask = "BORDERSMASK";
// Where the items start inside a popup's background: the border the system gives a popup window.
constexpr int PopupInset = 3;

bool ExtraLineAsking = false;
bool ExtraLineVisible = false;

int RoundHalfEven(double V) { return static_cast<int>(std::nearbyint(V)); }

bool Destroying(TComponent* C) { return C->ComponentState().Contains(csDestroying); }

TMenuItem* FirstSibling(TMenuItem* Item) {
    TMenuItem* Parent = Item ? Item->Parent() : nullptr;
    return Parent && Parent->Count() > 0 ? Parent->Items(0) : Item;
}

// Items of the first column: none up to and including this one starts a new column.
bool InFirstColumn(TMenuItem* Item) {
    TMenuItem* Parent = Item->Parent();
    if (!Parent)
        return true;
    for (int I = 0; I < Parent->Count(); ++I) {
        if (Parent->Items(I)->Break() != mbNone)
            return false;
        if (Parent->Items(I) == Item)
            return true;
    }
    return true;
}

bool IsTopItem(TMenuItem* Item) {
    TMenu* Menu = Item->GetParentMenu();
    return Menu && Menu->Is<TMainMenu>() && Item->Parent() == Menu->Items();
}

TBitmap* NewBitmap(int W, int H) { return NewBitmap24(std::max(W, 0), std::max(H, 0)); }

void CopyRect(HDC Dst, int X, int Y, int W, int H, TBitmap* Src, int SX, int SY) {
    if (W > 0 && H > 0)
        BitBlt(Dst, X, Y, W, H, Src->Canvas()->Handle(), SX, SY, SRCCOPY);
}

// The popup's extra line as the manager's event gives it; a popup whose first item is the window
// menu's skin chooser never has one.
void AskExtraLine(TsSkinManager* Manager, TMenuItem* Item) {
    if (ExtraLineAsking)
        return;
    TMenuItem* First = FirstSibling(Item);
    ExtraLineVisible = false;
    if (Manager->ComponentState().Contains(csDesigning) || (First && First->Name() == "SkinSelectItem"))
        return;
    ExtraLineSection = "EXTRALINE";
    // A glyph handed over at an earlier question that no background took is the menus' to free.
    FreeAndNil(ExtraLineGlyph);
    ExtraLineCaption = "Use OnGetExtraLineData event";
    bool Visible = true;
    if (Manager->OnGetMenuExtraLineData) {
        ExtraLineAsking = true;
        try {
            Manager->OnGetMenuExtraLineData(First, ExtraLineSection, ExtraLineCaption, ExtraLineGlyph, Visible);
        } catch (...) {
            ExtraLineAsking = false;
            throw;
        }
        ExtraLineAsking = false;
    }
    ExtraLineCaption.erase(std::remove(ExtraLineCaption.begin(), ExtraLineCaption.end(), '&'), ExtraLineCaption.end());
    if (!Visible)
        FreeAndNil(ExtraLineGlyph);
    ExtraLineVisible = Visible;
}

LRESULT CALLBACK PopupWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto Old = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Wnd, GWLP_USERDATA));
    switch (Msg) {
        case WM_ERASEBKGND:
        case WM_NCPAINT:
            // The items paint the whole window, borders included, from the popup's background.
            return 1;
        case WM_DESTROY:
            FreeMenuBackgrounds();
            break;
        default:
            break;
    }
    return Old ? CallWindowProcA(Old, Wnd, Msg, WParam, LParam) : DefWindowProcA(Wnd, Msg, WParam, LParam);
}

int SectionOf(TsSkinManager* M, const std::string& Name) { return M ? M->FindSectionIndex(Name) : -1; }

// An item's drawing and measuring events set to the handlers (only where unassigned with
// KeepAssigned), or cleared where they are these handlers.
void GiveHandlers(TMenuItem* Item, const TAdvancedMenuDrawItemEvent& Draw, const TMenuMeasureItemEvent& Measure,
                  bool KeepAssigned) {
    if (!KeepAssigned || !Item->OnAdvancedDrawItem)
        Item->OnAdvancedDrawItem = Draw;
    if (!KeepAssigned || !Item->OnMeasureItem)
        Item->OnMeasureItem = Measure;
}
void TakeHandlers(TMenuItem* Item, const TAdvancedMenuDrawItemEvent& Draw, const TMenuMeasureItemEvent& Measure) {
    if (Item->OnAdvancedDrawItem == Draw)
        Item->OnAdvancedDrawItem = nullptr;
    if (Item->OnMeasureItem == Measure)
        Item->OnMeasureItem = nullptr;
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Free routines

void FreeMenuBackgrounds() {
    std::vector<TacMenuInfo> Old;
    Old.swap(MenuBackgrounds);
    for (TacMenuInfo& I : Old)
        FreeAndNil(I.Background);
}

TsMenuItemType MenuItemType(TMenuItem* Item) {
    const std::string& C = Item->Caption();
    if (C == "-")
        return smDivider;
    if (C.size() >= 2 && C.front() == '-' && C.back() == '-')
        return smCaption;
    return smNormal;
}

TSize MenuItemGlyphSize(TMenuItem* Item) {
    if (!Item->Bitmap()->Empty())
        return TSize{Item->Bitmap()->Width(), Item->Bitmap()->Height()};
    TMenu* Menu = Item->GetParentMenu();
    if (Menu && Menu->Images())
        return TSize{Menu->Images()->Width(), Menu->Images()->Height()};
    return TSize{16, 16};
}

void AssignMenuFont(TFont* Font, TMenuItem* Item, bool Bold) {
    NONCLIENTMETRICSA M{};
    M.cbSize = sizeof(M);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(M), &M, 0)) {
        Font->SetName(M.lfMenuFont.lfFaceName);
        Font->SetHeight(M.lfMenuFont.lfHeight);
        Font->SetCharset(M.lfMenuFont.lfCharSet);
        TFontStyles S;
        if (M.lfMenuFont.lfItalic)
            S.Include(fsItalic);
        if (M.lfMenuFont.lfWeight >= FW_BOLD)
            S.Include(fsBold);
        Font->SetStyle(S);
    }
    if (Item)
        if (TCustomForm* Form = GetOwnerForm(Item->GetParentMenu()))
            Font->SetCharset(Form->Font()->Charset());
    if (Bold) {
        TFontStyles S = Font->Style();
        S.Include(fsBold);
        Font->SetStyle(S);
    }
}

void PrepareMeasuredMenuItem(TCustomForm* Form, TsSkinManager* Manager, const TMessage& Message) {
    auto* Info = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
    TsSkinableMenus* Menus = SkinableMenusOf(Manager);
    TMainMenu* Menu = FindMainMenu(Form);
    if (!Info || Info->CtlType != ODT_MENU || !Menus || !Menu)
        return;
    if (TMenuItem* Item = Menu->FindItem(Info->itemID, fkCommand))
        Menus->SetItemOwnerDraw(Item, true);
}

bool MDIChildIconShown() {
    TsSkinProvider* P = MDISkinProvider;
    if (!P || !P->Form || P->Form->FormStyle() != fsMDIForm)
        return false;
    bool Maximized = false;
    TCustomForm* Child = ActiveMDIChildOf(P->Form, &Maximized);
    return Child && Maximized && IsWindowVisible(Child->Handle()) && Child->BorderIcons().Contains(biSystemMenu);
}

// ---------------------------------------------------------------------------------------------
// TsSkinableMenus

TsSkinableMenus::TsSkinableMenus(TsSkinManager* Manager) : CaptionFont(Create<TFont>()), Owner(Manager) {}

TsSkinableMenus::~TsSkinableMenus() {
    Owner = nullptr;
    FreeAndNil(CaptionFont);
}

void TsSkinableMenus::DefineClass(TClassBuilder<TsSkinableMenus>& B) {
    using S = TsSkinableMenus;
    B.Property("Alignment", &S::Alignment, &S::Alignment).Default(taLeftJustify);
    B.Property("BevelWidth", &S::BevelWidth, &S::BevelWidth).Default(0);
    B.Property("BorderWidth", &S::BorderWidth, &S::BorderWidth).Default(3);
    B.Property("CaptionFont", &S::GetCaptionFont, &S::SetCaptionFont);
    B.Property("SkinBorderWidth", &S::GetSkinBorderWidth, &S::SkinBorderWidth);
    B.Property("Margin", &S::Margin, &S::Margin).Default(2);
    B.Property("Spacing", &S::Spacing, &S::Spacing).Default(6);
    B.Property("OnDrawItem", &S::OnDrawItem, &S::OnDrawItem);
}

void TsSkinableMenus::UpdateActive() { SetActive(Owner && Owner->SkinData && Owner->SkinData->SkinActive); }

void TsSkinableMenus::SetActive(bool Value) {
    if (Value == Active)
        return;
    Active = Value;
    if (Owner && !Owner->ComponentState().Contains(csDesigning) && Application)
        HookComponents(Application, Value);
}

void TsSkinableMenus::HookComponents(TComponent* Parent, bool Value) {
    const bool Popups = Value && Owner->SkinnedPopups;
    for (int I = 0; I < Parent->ComponentCount(); ++I) {
        TComponent* C = Parent->Components(I);
        if (auto* Main = DynCast<TMainMenu>(C)) {
            HookMainMenu(Main, Value);
            for (int J = 0; J < Main->Items()->Count(); ++J)
                HookItems(Main->Items()->Items(J), Popups);
        } else if (auto* Popup = DynCast<TPopupMenu>(C)) {
            HookMenu(Popup, Popups);
        } else if (auto* Item = DynCast<TMenuItem>(C)) {
            TMenu* Menu = Item->GetParentMenu();
            if (!Menu || !Menu->Is<TMainMenu>())
                HookItems(Item, Popups);
        }
        HookComponents(C, Value);
    }
}

void TsSkinableMenus::HookMenu(TPopupMenu* Menu, bool Value) {
    if (!Menu || !Owner)
        return;
    Menu->SetOwnerDraw(Value && Owner->SkinnedPopups);
    TMenuAnimation A = Menu->MenuAnimation();
    if (Value)
        A.Include(maNone);
    else
        A.Exclude(maNone);
    Menu->SetMenuAnimation(A);
    for (int I = 0; I < Menu->Items()->Count(); ++I)
        HookItems(Menu->Items()->Items(I), Value);
}

void TsSkinableMenus::HookMainMenu(TMainMenu* Menu, bool Value) {
    if (!Menu || !Owner)
        return;
    for (int I = 0; I < Menu->Items()->Count(); ++I) {
        TMenuItem* Item = Menu->Items()->Items(I);
        if (Value) {
            if (!Owner->SkinData->SkinActive)
                continue;
            if (!Owner->SkinnedPopups)
                return;
            GiveHandlers(Item, TopDrawHandler(), TopMeasureHandler(), false);
        } else {
            TakeHandlers(Item, TopDrawHandler(), TopMeasureHandler());
        }
    }
    if (!Destroying(Menu))
        Menu->SetOwnerDraw(Value);
}

void TsSkinableMenus::HookItems(TMenuItem* Item, bool Value) {
    if (!Item)
        return;
    if (!IsTopItem(Item)) {
        if (Value)
            GiveHandlers(Item, DrawHandler(), MeasureHandler(), true);
        else
            TakeHandlers(Item, DrawHandler(), MeasureHandler());
    }
    for (int I = 0; I < Item->Count(); ++I)
        HookItems(Item->Items(I), Value);
}

void TsSkinableMenus::SetItemOwnerDraw(TMenuItem* Item, bool Value) {
    if (!Item || !Owner)
        return;
    if (TMenu* Menu = Item->GetParentMenu())
        Menu->SetOwnerDraw(Value);
    if (!Value)
        TakeHandlers(Item, DrawHandler(), MeasureHandler());
    else if (IsTopItem(Item))
        GiveHandlers(Item, TopDrawHandler(), TopMeasureHandler(), false);
    else if (Owner->SkinnedPopups)
        GiveHandlers(Item, DrawHandler(), MeasureHandler(), true);
}

int TsSkinableMenus::GetSkinBorderWidth() {
    if (SkinBorderWidth < 0) {
        int Mask = Owner ? Owner->FindMaskIndexBySection(MainMenuSection, BordersMask) : -1;
        if (!Owner || !Owner->MaskIndexInRange(Mask))
            SkinBorderWidth = 0;
        else
            SkinBorderWidth = Owner->MaskList[Mask].BorderWidth > 0 ? Owner->MaskList[Mask].BorderWidth : 3;
    }
    return SkinBorderWidth;
}

int TsSkinableMenus::ExtraLineWidthFor(const TacMenuInfo& Info) const {
    return Owner && Owner->MenuSupport->UseExtraLine && Info.ExtraLineShown ? Owner->MenuSupport->ExtraLineWidth : 0;
}

// ---------------------------------------------------------------------------------------------
// Measuring

int TsSkinableMenus::ItemHeight(TMenuItem* Item, TCanvas* Canvas) {
    AssignMenuFont(Canvas->Font(), nullptr, false);
    const int Text = RoundHalfEven(Canvas->TextHeight("W") * 1.25);
    switch (MenuItemType(Item)) {
        case smDivider: return 2;
        case smCaption: return Text + 2 * Margin;
        default: return std::max(Text, static_cast<int>(MenuItemGlyphSize(Item).cy)) + 2 * Margin;
    }
}

void TsSkinableMenus::MeasureMenuItem(TObject* Sender, TCanvas* Canvas, int& Width, int& Height) {
    auto* Item = DynCast<TMenuItem>(Sender);
    if (!Item || Destroying(Item) || !Owner)
        return;
    TacMenuInfo Info;
    bool LineShown;
    if (FindMenuBackground(Item, 0, Info, nullptr, 0))
        LineShown = Info.ExtraLineShown;
    else {
        AskExtraLine(Owner, Item);
        LineShown = ExtraLineVisible;
    }
    AssignMenuFont(Canvas->Font(), Item, Item->Default());
    CurrentItemType = MenuItemType(Item);
    std::string Text;
    if (CurrentItemType == smCaption)
        Text = "-" + Item->Caption() + "-";
    else if (CurrentItemType == smNormal)
        Text = Item->Caption() + ShortCutToText(Item->ShortCut());
    RECT R{0, 0, 0, 0};
    if (!Text.empty())
        DrawTextA(Canvas->Handle(), Text.c_str(), -1, &R, DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_SINGLELINE);
    Width = 2 * MenuItemGlyphSize(Item).cx + R.right + 3 * Margin + Spacing;
    if (Owner->MenuSupport->UseExtraLine && LineShown && InFirstColumn(Item))
        Width += Owner->MenuSupport->ExtraLineWidth;
    Height = ItemHeight(Item, Canvas);
}

namespace {
// The visible items of Item's popup column by column: Next for each item, NewColumn before an item
// that starts a column. False when Item is in no popup.
template <class FItem, class FColumn>
bool WalkColumns(TMenuItem* Item, FItem Next, FColumn NewColumn) {
    TMenuItem* Parent = Item->Parent();
    if (!Parent)
        return false;
    for (int I = 0; I < Parent->Count(); ++I) {
        TMenuItem* C = Parent->Items(I);
        if (!C->Visible())
            continue;
        if (C->Break() != mbNone)
            NewColumn();
        Next(C);
    }
    return true;
}
}  // namespace

int TsSkinableMenus::PopupWidth(TMenuItem* Item, TCanvas* Canvas) {
    int Total = 0, Column = 0;
    const bool Any = WalkColumns(
        Item,
        [&](TMenuItem* C) {
            int W = 0, H = 0;
            MeasureMenuItem(C, Canvas, W, H);
            Column = std::max(Column, W);
        },
        [&] {
            Total += Column + 12 + 4;
            Column = 0;
        });
    return Any ? Total + Column + 12 : 0;
}

int TsSkinableMenus::PopupHeight(TMenuItem* Item, TCanvas* Canvas) {
    int Highest = 0, Column = 0;
    WalkColumns(
        Item, [&](TMenuItem* C) { Column += ItemHeight(C, Canvas); },
        [&] {
            Highest = std::max(Highest, Column);
            Column = 0;
        });
    return std::max(Highest, Column);
}

// ---------------------------------------------------------------------------------------------
// Popup backgrounds and windows

bool TsSkinableMenus::FindMenuBackground(TMenuItem* Item, int Width, TacMenuInfo& Info, HWND Window, int Height) {
    auto Look = [&]() {
        TMenuItem* First = Item ? FirstSibling(Item) : nullptr;
        for (const TacMenuInfo& I : MenuBackgrounds)
            if ((First && I.FirstItem == First) || (!First && Window && I.Window == Window)) {
                Info = I;
                return true;
            }
        return false;
    };
    if (Look())
        return true;
    if (Width == 0 || Height <= 0)
        return false;
    BuildMenuBackground(Item, Width, Window, Height);
    return Look();
}

TBitmap* TsSkinableMenus::BuildMenuBackground(TMenuItem* Item, int Width, HWND Window, int Height) {
    AskExtraLine(Owner, Item);
    const bool LineShown = ExtraLineVisible;
    TBitmap* Background = NewBitmap(Width, Height);
    GlyphColumnWidth = Margin + (Item ? MenuItemGlyphSize(Item).cx : 16) + Spacing;
    const int Section = SectionOf(Owner, MainMenuSection);
    if (Section >= 0) {
        const int SBW = GetSkinBorderWidth();
        const TRect Whole{0, 0, Width, Height};
        const int ExtraW = Owner->MenuSupport->UseExtraLine && LineShown ? Owner->MenuSupport->ExtraLineWidth : 0;
        BackgroundSource Key = EmptyBackgroundSource;
        Key.Color = 0xFF00FF;
        PaintSkinSection(Section, MainMenuSection, Key, 0xFF00FF, -1, -1, Owner, Background, TPoint{0, 0}, Whole, 0);
        const std::string& IcoLine = Owner->MenuSupport->IcoLineSkin;
        if (int Ico = IcoLine.empty() ? -1 : SectionOf(Owner, IcoLine); Ico >= 0) {
            TOwned<TBitmap> Column(NewBitmap(GlyphColumnWidth, Height - 2 * SBW));
            PaintSkinSection(Ico, IcoLine, MakeBackgroundSource(Background, ExtraW + SBW, SBW), 0xFF00FF, -1, -1,
                             Owner, Column.get(), TPoint{0, 0}, TRect{0, 0, Column->Width(), Column->Height()}, 0);
            CopyRect(Background->Canvas()->Handle(), ExtraW + SBW, SBW, Column->Width(), Column->Height(),
                     Column.get(), 0, 0);
        }
        const int Mask = Owner->FindMaskIndexBySection(MainMenuSection, BordersMask);
        if (Owner->MaskIndexInRange(Mask))
            DrawSkinMask(Background, Whole, false, Key, Owner->MaskList[Mask], 0, false);
        if (Owner->MenuSupport->UseExtraLine && LineShown)
            PaintExtraLine(Background, Height, ExtraLineGlyph != nullptr);
        FreeAndNil(ExtraLineGlyph);
        BorderRects.clear();
        if (Owner->MaskIndexInRange(Mask)) {
            const TsMaskData& M = Owner->MaskList[Mask];
            AddCornerHoleRects(BorderRects, Width, M, false, 0);
            AddCornerHoleRects(BorderRects, Width, M, true, Height - M.WB);
        }
        if (Window)
            HookPopupWindow(Window, Background);
    } else {
        FreeAndNil(ExtraLineGlyph);
    }
    MenuBackgrounds.push_back(TacMenuInfo{FirstSibling(Item), Background, Window, LineShown});
    return Background;
}

void TsSkinableMenus::PaintExtraLine(TBitmap* Background, int Height, bool Glyph) {
    const int Section = SectionOf(Owner, ExtraLineSection);
    if (Section < 0)
        return;
    const int SBW = GetSkinBorderWidth();
    const int W = Owner->MenuSupport->ExtraLineWidth, H = Height - 2 * SBW;
    TOwned<TBitmap> Strip(NewBitmap(W, H));
    PaintSkinSection(Section, ExtraLineSection, MakeBackgroundSource(Background, SBW, SBW), 0xFF00FF, -1, -1, Owner,
                     Strip.get(), TPoint{0, 0}, TRect{0, 0, W, H}, 0);
    int Start = 12;
    if (Glyph) {
        Strip->Canvas()->Draw((W - ExtraLineGlyph->Width()) / 2, H - 12 - ExtraLineGlyph->Height(), ExtraLineGlyph);
        Start = ExtraLineGlyph->Height() + 20;
    }
    if (!ExtraLineCaption.empty()) {
        TFont* Source = Owner->MenuSupport->ExtraLineFont;
        LOGFONTA L{};
        L.lfHeight = Source->Size();
        L.lfWeight = 400;
        L.lfItalic = Source->Style().Contains(fsItalic);
        L.lfUnderline = Source->Style().Contains(fsUnderline);
        L.lfStrikeOut = Source->Style().Contains(fsStrikeOut);
        L.lfCharSet = static_cast<BYTE>(Source->Charset());
        // Turned by 270 degrees: the text runs from the bottom up.
        L.lfEscapement = L.lfOrientation = -2700;
        lstrcpynA(L.lfFaceName, Source->Name().c_str(), LF_FACESIZE);
        TCanvas* C = Strip->Canvas();
        C->Font()->SetHandle(CreateFontIndirectA(&L));
        C->Brush()->SetStyle(bsClear);
        C->Font()->SetColor(Owner->SectionList[Section].FontColor[0]);
        C->TextOut((W - C->TextHeight(ExtraLineCaption)) / 2, H - Start, ExtraLineCaption);
    }
    CopyRect(Background->Canvas()->Handle(), SBW, SBW, W, H, Strip.get(), 0, 0);
}

void TsSkinableMenus::HookPopupWindow(HWND Window, TBitmap* Background) {
    if (HookingPopup || !Window)
        return;
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Window, GWLP_WNDPROC)) != PopupWindowProc) {
        SetWindowLongPtrA(Window, GWLP_USERDATA, GetWindowLongPtrA(Window, GWLP_WNDPROC));
        SetWindowLongPtrA(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PopupWindowProc));
    }
    if (!IsNTPlatform || !Background || SendSkinCommand(Window, SKIN_SETUPDATING, 0) != 0)
        return;
    SendSkinCommand(Window, SKIN_POPUPSHAPING, 0);
    HookingPopup = true;
    HRGN Region = CreateRectRgn(0, 0, Background->Width(), Background->Height());
    auto Cut = [Region](const TRect& R) {
        HRGN Hole = CreateRectRgn(R.Left, R.Top, R.Right, R.Bottom);
        CombineRgn(Region, Region, Hole, RGN_DIFF);
        DeleteObject(Hole);
    };
    if (BorderRects.empty())
        Cut(TRect{0, 0, 1, 1});
    for (const TRect& R : BorderRects)
        Cut(R);
    SetWindowRgn(Window, Region, TRUE);
    try {
        Application->ProcessMessages();
    } catch (...) {
        HookingPopup = false;
        throw;
    }
    HookingPopup = false;
}

void TsSkinableMenus::HookPopupOfItem(TMenuItem* Item) {
    TMenu* Menu = Item ? Item->GetParentMenu() : nullptr;
    if (!Menu || !Item->Parent())
        return;
    HMENU Handle = Item->Parent() == Menu->Items() ? Menu->Handle() : Item->Parent()->Handle();
    const int Position = Item->Parent()->IndexOf(Item);
    RECT R{};
    if (!GetMenuItemRect(nullptr, Handle, static_cast<UINT>(Position), &R) &&
        !GetMenuItemRect(TPopupMenu::PopupListWindow(), Handle, static_cast<UINT>(Position), &R))
        return;
    HWND Window = WindowFromPoint(POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2});
    if (!Window)
        return;
    RECT W;
    GetWindowRect(Window, &W);
    TacMenuInfo Info;
    if (FindMenuBackground(Item, W.right - W.left, Info, Window, W.bottom - W.top))
        HookPopupWindow(Window, Info.Background);
}

void TsSkinableMenus::HookPopupOfWindow(HWND Window) {
    TacMenuInfo Info;
    if (Window && FindMenuBackground(nullptr, 0, Info, Window, 0))
        HookPopupWindow(Window, Info.Background);
}

// ---------------------------------------------------------------------------------------------
// Drawing popup items

void TsSkinableMenus::DrawMenuItem(TObject* Sender, TCanvas* Canvas, TRect Rect, TOwnerDrawState State) {
    auto* Item = DynCast<TMenuItem>(Sender);
    if (!Active || !Item || !Owner || !Item->Parent())
        return;
    // A drop-down button's menu is up: the hints it switched off come back.
    if (OpenMenuButton) {
        if (SpeedButtonHintsOff && Application) {
            Application->SetShowHint(SpeedButtonSavedShowHint);
            SpeedButtonHintsOff = false;
        }
        OpenMenuButton = nullptr;
    }
    HWND Window = IsNTPlatform ? WindowFromDC(Canvas->Handle()) : nullptr;
    TRect P;
    if (Window) {
        RECT R;
        GetWindowRect(Window, &R);
        P = TRect{0, 0, R.right - R.left, R.bottom - R.top};
    } else {
        TOwned<TBitmap> Scratch(NewBitmap(1, 1));
        P = TRect{0, 0, PopupWidth(Item, Scratch->Canvas()) + 2 * BorderWidth,
                  PopupHeight(Item, Scratch->Canvas()) + 2 * BorderWidth};
    }
    TacMenuInfo Info;
    TBitmap* Background = FindMenuBackground(Item, P.Width(), Info, Window, P.Height()) ? Info.Background : nullptr;
    const int ExtraW = InFirstColumn(Item) ? ExtraLineWidthFor(Info) : 0;
    TMenuItem* Parent = Item->Parent();
    int FirstVisible = -1, LastVisible = -1;
    for (int I = 0; I < Parent->Count(); ++I)
        if (Parent->Items(I)->Visible()) {
            if (FirstVisible < 0)
                FirstVisible = I;
            LastVisible = I;
        }
    const int Index = Parent->IndexOf(Item);
    if (Window && Background) {
        HDC DC = GetWindowDC(Window);
        const int BW = Background->Width(), BH = Background->Height();
        if (Index == FirstVisible)
            CopyRect(DC, 0, 0, BW, BorderWidth, Background, 0, 0);
        if (Index == LastVisible)
            CopyRect(DC, 0, BH - BorderWidth, BW, BorderWidth, Background, 0, BH - BorderWidth);
        const int Left = ExtraW + std::max(GetSkinBorderWidth(), BorderWidth);
        CopyRect(DC, 0, BorderWidth + Rect.Top, Left, Rect.Height(), Background, 0, BorderWidth + Rect.Top);
        CopyRect(DC, BW - BorderWidth, BorderWidth + Rect.Top, BorderWidth, Rect.Height(), Background,
                 BW - BorderWidth, BorderWidth + Rect.Top);
        ReleaseDC(Window, DC);
    } else if (!Window && Application) {
        MSG Queued;
        if (!PeekMessageA(&Queued, Application->Handle(), MenuBorderMsg, MenuBorderItemMsg, PM_NOREMOVE))
            PostMessageA(Application->Handle(), MenuBorderMsg, 0, Item->Command());
    }
    CurrentItemType = MenuItemType(Item);
    if (CurrentItemType == smDivider) {
        DrawDivider(Item, Canvas, Rect, Background, ExtraW);
        return;
    }
    if (CurrentItemType == smCaption) {
        DrawCaptionItem(Item, Canvas, Rect, Background, ExtraW);
        return;
    }
    HDC DC = Canvas->Handle();
    if (Background) {
        const int BH = Background->Height();
        const bool NextBreaks = Index + 1 < Parent->Count() && Parent->Items(Index + 1)->Break() != mbNone;
        if ((NextBreaks || Index == LastVisible) && Rect.Bottom < BH - 6)
            CopyRect(DC, Rect.Left, Rect.Bottom, Rect.Width(), BH - Rect.Bottom - 6, Background, Rect.Left + PopupInset,
                     Rect.Bottom + PopupInset);
        if (Item->Break() != mbNone)
            CopyRect(DC, Rect.Left - 4, Rect.Top, 4, BH - 6, Background, Rect.Left - 1, Rect.Top + PopupInset);
    }
    const bool Enabled = Item->Enabled();
    TOwned<TBitmap> ItemBitmap(NewBitmap(Rect.Width() - ExtraW, Rect.Height()));
    const TRect Whole{0, 0, ItemBitmap->Width(), ItemBitmap->Height()};
    const int Section = SectionOf(Owner, ItemSection);
    if (Section >= 0)
        PaintSkinItemToDC(Section, ItemSection,
                          Background ? MakeBackgroundSource(Background, PopupInset, PopupInset) : EmptyBackgroundSource,
                          Owner, ItemBitmap->Canvas()->Handle(), TPoint{ExtraW + Rect.Left, Rect.Top}, Whole,
                          Enabled && State.Contains(odSelected) ? 1 : 0, true);
    PaintItemGlyph(Item, ItemBitmap.get(), Rect, State);
    TCanvas* C = ItemBitmap->Canvas();
    AssignMenuFont(C->Font(), Item, State.Contains(odDefault));
    const TSize Glyph = MenuItemGlyphSize(Item);
    TRect TextRect{Glyph.cx + 2 * Margin + Spacing, 0, ItemBitmap->Width(), Rect.Height()};
    std::string Text = Item->Caption();
    UINT Format = Alignment == taRightJustify ? DT_RIGHT : Alignment == taCenter ? DT_CENTER : DT_LEFT;
    if (!Text.empty() && Text[0] == '\x08') {
        Text = Text.substr(1) + "      ";
        Format = DT_RIGHT;
    }
    Format |= DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP;
    if (State.Contains(odNoAccel))
        Format |= DT_HIDEPREFIX;
    const bool Hot = Enabled && (State.Contains(odSelected) || State.Contains(odHotLight));
    C->Brush()->SetStyle(bsClear);
    WriteSectionText(C, Text, true, Owner, Hot, Section, Format, TextRect);
    if (const std::string Short = ShortCutToText(Item->ShortCut()); !Short.empty()) {
        RECT S{0, 0, 0, 0};
        DrawTextA(C->Handle(), Short.c_str(), -1, &S, DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE);
        TRect ShortRect{ItemBitmap->Width() - 8 - S.right, 0, ItemBitmap->Width() - 8, Rect.Height()};
        WriteSectionText(C, Short, true, Owner, Hot, Section, DT_VCENTER | DT_SINGLELINE, ShortRect);
    }
    OnDrawItem(Item, C, Whole, State, smNormal);
    if (!Enabled && Background)
        BlendBitmapRect(ItemBitmap.get(), 0, 0, 0xFF00FF, 0.4,
                        TRect{Rect.Left + ExtraW + BorderWidth, Rect.Top + BorderWidth, Rect.Right + ExtraW + BorderWidth,
                              Rect.Bottom + BorderWidth},
                        Background);
    CopyRect(DC, ExtraW + Rect.Left, Rect.Top, ItemBitmap->Width(), ItemBitmap->Height(), ItemBitmap.get(), 0, 0);
    if (Index == 0 && ExtraW > 0 && Background && (!IsNTPlatform || Win32MajorVersion > 5))
        CopyRect(DC, 0, 0, ExtraW, Background->Height(), Background, PopupInset, PopupInset);
    Item->OnDrawItem(Item, Canvas, Rect, State.Contains(odSelected));
}

void TsSkinableMenus::PaintItemGlyph(TMenuItem* Item, TBitmap* ItemBitmap, TRect Rect, TOwnerDrawState State) {
    const bool Enabled = Item->Enabled();
    const int H = Rect.Height();
    TMenu* Menu = Item->GetParentMenu();
    TCustomImageList* Images = Menu ? Menu->Images() : nullptr;
    const bool FromList = Images && Item->ImageIndex() >= 0 && Item->ImageIndex() < Images->Count();
    const bool OwnBitmap = !Item->Bitmap()->Empty();
    auto CheckedFrame = [&](int Left, int Top, int W, int GH) {
        if (!State.Contains(odChecked))
            return;
        int S = SectionOf(Owner, "SPEEDBUTTON_SMALL");
        if (S >= 0)
            PaintSkinItemToDC(S, "SPEEDBUTTON_SMALL", MakeBackgroundSource(ItemBitmap, 0, 0), Owner,
                              ItemBitmap->Canvas()->Handle(), TPoint{Left - 1, Top - 1},
                              TRect{Left - 1, Top - 1, Left + W + 1, Top + GH + 1}, 2, true);
    };
    if (FromList) {
        const int Top = (H - Images->Height()) / 2;
        CheckedFrame(Top, Top, Images->Width(), Images->Height());
        Images->Draw(ItemBitmap->Canvas(), Top, Top, Item->ImageIndex(), Enabled);
        return;
    }
    if (OwnBitmap) {
        TBitmap* B = Item->Bitmap();
        const int Top = (H - B->Height()) / 2;
        CheckedFrame(Top, Top, B->Width(), B->Height());
        if (B->PixelFormat() == pf32bit)
            DrawMaskedImage(TRect{Top, Top, Top + B->Width(), Top + B->Height()}, TRect{0, 0, B->Width(), B->Height()},
                            ItemBitmap, false, EmptyBackgroundSource, B);
        else
            ItemBitmap->Canvas()->Draw(Top, Top, B);
        return;
    }
    if (State.Contains(odChecked)) {
        int Global = SectionOf(Owner, "GLOBALINFO");
        int Mask = Global >= 0 ? Owner->FindMaskIndex(Global, "GLOBALINFO", Item->RadioItem() ? "RADIOCHECKED" : "CHECK")
                               : -1;
        if (!Owner->MaskIndexInRange(Mask) && Global >= 0)
            Mask = Owner->FindMaskIndex(Global, "GLOBALINFO", "BOXCHECKED");
        if (Owner->MaskIndexInRange(Mask)) {
            const TsMaskData& M = Owner->MaskList[Mask];
            DrawSkinGlyph(ItemBitmap, TPoint{Margin, (H - GetMaskImageHeight(M)) / 2},
                          State.Contains(odSelected) && Enabled ? 1 : 0, 1, M, MakeBackgroundSource(ItemBitmap, 0, 0));
        }
    }
    // The window menu's commands get the system's caption-button pictures.
    if (Menu && Menu->Name() == "SysMenu") {
        const char* Mark = nullptr;
        switch (Item->Tag()) {
            case SC_MINIMIZE: Mark = "0"; break;
            case SC_MAXIMIZE: Mark = "1"; break;
            case SC_CLOSE: Mark = "r"; break;
            case SC_RESTORE: Mark = "2"; break;
            default: break;
        }
        if (Mark) {
            TCanvas* C = ItemBitmap->Canvas();
            C->Font()->SetName("Webdings");
            C->Font()->SetSize(10);
            C->Font()->SetStyle(TFontStyles{});
            const int TH = C->TextHeight(Mark);
            const int Top = (H - TH) / 2;
            C->Brush()->SetStyle(bsClear);
            WriteSectionText(C, Mark, Enabled, Owner, Enabled && State.Contains(odSelected),
                             SectionOf(Owner, ItemSection), DT_SINGLELINE, TRect{4, Top, 4 + TH + 10, Top + TH});
        }
    }
}

void TsSkinableMenus::DrawDivider(TMenuItem*, TCanvas* Canvas, TRect Rect, TBitmap* Background, int ExtraW) {
    const int Section = SectionOf(Owner, "DIVIDERV");
    const int Mask = Section >= 0 ? Owner->FindMaskIndex(Section, "DIVIDERV", BordersMask) : -1;
    if (!Owner->MaskIndexInRange(Mask)) {
        TRect R = Rect;
        int Count = 1;
        DrawBevelLines(Canvas->Handle(), R, clGray, Count, clWhite);
        return;
    }
    TOwned<TBitmap> B(NewBitmap(Rect.Width(), Rect.Height()));
    if (Background)
        CopyRect(B->Canvas()->Handle(), 0, 0, B->Width(), B->Height(), Background, Rect.Left + PopupInset,
                 Rect.Top + PopupInset);
    int Left = std::max(ExtraW + Margin + Spacing, ExtraW + GlyphColumnWidth + 2);
    TRect Line{Left, 0, std::max<int>(Left, Rect.Width() - Margin), Rect.Height()};
    DrawSkinMask(B.get(), Line, true, MakeBackgroundSource(B.get(), 0, 0), Owner->MaskList[Mask], 0, true);
    CopyRect(Canvas->Handle(), Rect.Left, Rect.Top, B->Width(), B->Height(), B.get(), 0, 0);
}

void TsSkinableMenus::DrawCaptionItem(TMenuItem* Item, TCanvas* Canvas, TRect Rect, TBitmap* Background, int ExtraW) {
    TOwned<TBitmap> B(NewBitmap(Rect.Width(), Rect.Height()));
    if (Background)
        CopyRect(B->Canvas()->Handle(), 0, 0, B->Width(), B->Height(), Background, Rect.Left + PopupInset,
                 Rect.Top + PopupInset);
    const int Section = SectionOf(Owner, "TOOLBAR");
    if (Section >= 0)
        PaintSkinItemToDC(Section, "TOOLBAR", MakeBackgroundSource(B.get(), 0, 0), Owner, B->Canvas()->Handle(),
                          TPoint{ExtraW + 1, 1}, TRect{ExtraW + 1, 1, B->Width() - 1, B->Height() - 1}, 0, true);
    TCanvas* C = B->Canvas();
    C->Font()->Assign(CaptionFont);
    // The word between the dashes.
    std::string Word = Item->Caption();
    Word.erase(0, Word.find_first_not_of('-'));
    Word = Word.substr(0, Word.find('-'));
    C->Brush()->SetStyle(bsClear);
    WriteSectionText(C, Word, true, Owner, false, Section, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_HIDEPREFIX,
                     TRect{ExtraW, 0, B->Width(), B->Height()});
    CopyRect(Canvas->Handle(), Rect.Left, Rect.Top, B->Width(), B->Height(), B.get(), 0, 0);
}

// ---------------------------------------------------------------------------------------------
// The menu bar

void TsSkinableMenus::MeasureTopLineItem(TObject* Sender, TCanvas* Canvas, int& Width, int& Height) {
    auto* Item = DynCast<TMenuItem>(Sender);
    if (!Item)
        return;
    Height = GetSystemMetrics(SM_CYMENU) - 1;
    AssignMenuFont(Canvas->Font(), Item, false);
    std::string Text = Item->Caption();
    Text.erase(std::remove(Text.begin(), Text.end(), '&'), Text.end());
    Width = Canvas->TextWidth(Text);
    TMenu* Menu = Item->GetParentMenu();
    if (Menu && Menu->Images() && Item->ImageIndex() >= 0)
        Width += Menu->Images()->Width() + 6;
}

void TsSkinableMenus::DrawTopLineItem(TObject* Sender, TCanvas* Canvas, TRect Rect, TOwnerDrawState State) {
    auto* Item = DynCast<TMenuItem>(Sender);
    TMenu* Menu = Item ? Item->GetParentMenu() : nullptr;
    if (!Item || !Menu || !Owner || Rect.IsEmpty())
        return;
    HWND Wnd = Menu->WindowHandle();
    if (!Wnd)
        Wnd = WindowFromDC(Canvas->Handle());
    auto* Object = Wnd ? reinterpret_cast<TObject*>(SendSkinCommand(Wnd, SKIN_GETPROVIDER, 0)) : nullptr;
    auto* Provider = DynCast<TsSkinProvider>(Object);
    // An MDI child's items show on its parent's line.
    if ((!Provider || Provider->IsMDIChild()) && MDISkinProvider)
        Provider = MDISkinProvider;
    TBitmap* Image = Provider ? Provider->SkinData()->CacheBitmap : nullptr;
    if (!Provider || !Image || !Provider->Form->HandleAllocated())
        return;
    // The item's place in the form image (the whole window, extended borders included); drawn on the
    // window, the rectangle is in the window's coordinates.
    TacBorderForm* Border = Provider->BorderForm;
    int X = Rect.Left, Y = Rect.Top;
    if (Canvas->Handle() != Image->Canvas()->Handle()) {
        TRect Ext;
        Provider->GetExtRect(Ext);
        X += ExtendedBorderOffset(Border) + Ext.Left;
        Y += ExtendedTitleOffset(Border) + Ext.Top + (Provider->CaptionGrown ? 4 : 0);
    }
    // The background is the menu line as painted before its items (the image has an item there
    // already when the item is drawn again).
    TBitmap* Bg = Image;
    int BgX = X, BgY = Y;
    if (TBitmap* Line = Provider->MenuLineBg; Line && Line->Width() > 0 && Line->Height() > 0) {
        const TPoint O = Provider->MenuLineOrigin();
        Bg = Line;
        BgX = X - O.X;
        BgY = Y - O.Y;
    }
    TOwned<TBitmap> B(NewBitmap(Rect.Width(), Rect.Height()));
    const TRect Whole{0, 0, Rect.Width(), Rect.Height()};
    const bool Enabled = Item->Enabled();
    const bool Hot = (Enabled && State.Contains(odSelected)) || State.Contains(odHotLight);
    CopyRect(B->Canvas()->Handle(), 0, 0, Rect.Width(), Rect.Height(), Bg, BgX, BgY);
    if (int S = SectionOf(Owner, ItemSection); S >= 0)
        PaintSkinItemToDC(S, ItemSection, MakeBackgroundSource(Bg, BgX, BgY), Owner, B->Canvas()->Handle(), TPoint{0, 0},
                          Whole, Hot ? 1 : 0, true);
    int G = 0;
    TCustomImageList* Images = Menu->Images();
    if (!Item->Bitmap()->Empty()) {
        TBitmap* Pic = Item->Bitmap();
        B->Canvas()->Draw(3, Enabled ? (Rect.Height() - Pic->Height()) / 2 : 1, Pic);
        G = Pic->Width() - 1;
    } else if (Images && Item->ImageIndex() >= 0) {
        Images->Draw(B->Canvas(), 3, (Rect.Height() - Images->Height()) / 2, Item->ImageIndex(), true);
        G = Images->Width() + 3;
    }
    TCanvas* C = B->Canvas();
    AssignMenuFont(C->Font(), Item, false);
    C->Font()->SetStyle(State.Contains(odDefault) ? TFontStyles{fsBold} : TFontStyles{});
    TRect TextRect{2 + G, 0, Rect.Width() - 2 * Margin + 2, Rect.Height()};
    // Centred whatever the alignment: a menu-bar item is as wide as its text.
    UINT Format = (Alignment == taRightJustify ? DT_RIGHT : Alignment == taCenter ? DT_CENTER : DT_LEFT) | DT_CENTER |
                  DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP;
    if (State.Contains(odNoAccel))
        Format |= DT_HIDEPREFIX;
    C->Brush()->SetStyle(bsClear);
    DrawSectionText(C, Item->Caption(), true, Owner, Enabled && (State.Contains(odSelected) || State.Contains(odHotLight)),
                    SectionOf(Owner, "MENULINE"), Format, TextRect);
    OnDrawItem(Item, C, Whole, State, smTopLine);
    if (!Enabled)
        BlendRectAt(B.get(), Bg, 102, TPoint{0, 0}, TRect{BgX, BgY, BgX + Rect.Width(), BgY + Rect.Height()});
    CopyRect(Canvas->Handle(), Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), B.get(), 0, 0);
}

// ---------------------------------------------------------------------------------------------
// Start-up

namespace {
int UseCount = 0;
TacSkinableMenusLink* MakeMenus(TsSkinManager* Manager) { return Create<TsSkinableMenus>(Manager); }
}  // namespace

void sSkinMenusInitialization() {
    if (UseCount++ > 0)
        return;
    RegisterClass(TsSkinableMenus::StaticClass());
    TsSkinManager::MakeSkinableMenus = MakeMenus;
    // A manager made before this unit started gets its menus now.
    if (DefaultManager && !DefaultManager->SkinableMenus) {
        DefaultManager->SkinableMenus = MakeMenus(DefaultManager);
        DefaultManager->SkinableMenus->UpdateActive();
    }
}

void sSkinMenusFinalization() {
    if (UseCount <= 0 || --UseCount > 0)
        return;
    TsSkinManager::MakeSkinableMenus = nullptr;
    FreeMenuBackgrounds();
    FreeAndNil(ExtraLineGlyph);
    ExtraLineSection.clear();
    ExtraLineCaption.clear();
}
