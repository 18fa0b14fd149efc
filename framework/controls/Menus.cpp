#include "Menus.h"

#include <algorithm>
#include <map>

namespace {

using namespace MenusConsts;

// Command numbers in use: unique in the process, below the system commands (0xF000 on).
std::map<Word, TMenuItem*>& Commands() {
    static std::map<Word, TMenuItem*> Map;
    return Map;
}
constexpr Word FirstCommand = 1;
constexpr Word LastCommand = 0xEFFF;
Word NextCommand = FirstCommand;

Word AllocCommand(TMenuItem* Item) {
    auto& Map = Commands();
    if (Map.size() >= static_cast<std::size_t>(LastCommand - FirstCommand + 1))
        throw EMenuError(SNoMoreCommands);
    // Round-robin from the last one handed out, so that a freed number is not reused at once (a
    // command still queued for a freed item then finds nothing instead of its successor).
    while (Map.count(NextCommand))
        NextCommand = NextCommand >= LastCommand ? FirstCommand : static_cast<Word>(NextCommand + 1);
    Word Result = NextCommand;
    NextCommand = NextCommand >= LastCommand ? FirstCommand : static_cast<Word>(NextCommand + 1);
    Map[Result] = Item;
    return Result;
}

void FreeCommand(Word Command) { Commands().erase(Command); }

// Every menu alive, for the popup window's WM_INITMENUPOPUP.
std::vector<TMenu*>& AllMenus() {
    static std::vector<TMenu*> List;
    return List;
}

HWND PopupWindow = nullptr;

void PopupWndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_COMMAND:
        if (HIWORD(Message.WParam) == 0 && Message.LParam == 0 && DispatchMenuCommand(LOWORD(Message.WParam)))
            return;
        break;
    case WM_MEASUREITEM:
        if (DispatchMenuMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam))) {
            Message.Result = TRUE;
            return;
        }
        break;
    case WM_DRAWITEM:
        if (DispatchMenuDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam))) {
            Message.Result = TRUE;
            return;
        }
        break;
    case WM_INITMENUPOPUP: {
        auto Menu = reinterpret_cast<HMENU>(Message.WParam);
        for (TMenu* M : AllMenus())
            if (M->DispatchPopup(Menu))
                return;
        break;
    }
    default: break;
    }
    Message.Result = DefWindowProcA(PopupWindow, Message.Msg, Message.WParam, Message.LParam);
}

struct TKeyName {
    Word Key;
    const char* Name;
};
// The names the platform gives keys in menu texts (the English ones, whatever the language).
constexpr TKeyName KeyNames[] = {
    {VK_BACK, "BkSp"},  {VK_TAB, "Tab"},    {VK_ESCAPE, "Esc"}, {VK_RETURN, "Enter"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},  {VK_END, "End"},    {VK_HOME, "Home"},    {VK_LEFT, "Left"},
    {VK_UP, "Up"},      {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},  {VK_INSERT, "Ins"},   {VK_DELETE, "Del"},
};

std::string KeyText(Word Key) {
    for (const TKeyName& K : KeyNames)
        if (K.Key == Key)
            return K.Name;
    if ((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z'))
        return std::string(1, static_cast<char>(Key));
    if (Key >= VK_F1 && Key <= VK_F24)
        return "F" + std::to_string(Key - VK_F1 + 1);
    if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD9)
        return "Num " + std::to_string(Key - VK_NUMPAD0);
    return "";
}

std::string StripAmpersands(const std::string& S) {
    std::string R;
    for (std::size_t I = 0; I < S.size(); ++I) {
        if (S[I] == '&') {
            if (I + 1 < S.size() && S[I + 1] == '&')
                ++I;
            else
                continue;
        }
        R += S[I];
    }
    return R;
}

bool ChainEnabled(const TMenuItem* Item) {
    for (const TMenuItem* I = Item; I && I->Parent(); I = I->Parent())
        if (!I->Enabled())
            return false;
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Short cuts

TShortCut ShortCut(Word Key, TShiftState Shift) {
    if ((Key & 0xFF00) != 0)
        return scNone;
    TShortCut Result = Key;
    if (Shift.Contains(ssShift))
        Result |= scShift;
    if (Shift.Contains(ssCtrl))
        Result |= scCtrl;
    if (Shift.Contains(ssAlt))
        Result |= scAlt;
    return Result;
}

void ShortCutToKey(TShortCut Value, Word& Key, TShiftState& Shift) {
    Key = Value & 0xFF;
    Shift = TShiftState{};
    if (Value & scShift)
        Shift.Include(ssShift);
    if (Value & scCtrl)
        Shift.Include(ssCtrl);
    if (Value & scAlt)
        Shift.Include(ssAlt);
}

std::string ShortCutToText(TShortCut Value) {
    std::string Name = KeyText(Value & 0xFF);
    if (Name.empty())
        return "";
    std::string Result;
    if (Value & scShift)
        Result += "Shift+";
    if (Value & scCtrl)
        Result += "Ctrl+";
    if (Value & scAlt)
        Result += "Alt+";
    return Result + Name;
}

TShortCut TextToShortCut(const std::string& Text) {
    std::string Rest = Text;
    TShortCut Flags = 0;
    for (;;) {
        auto Take = [&](const char* Prefix, TShortCut Flag) {
            std::size_t N = std::char_traits<char>::length(Prefix);
            if (Rest.size() > N && SystemDetail::SameIdent(Rest.substr(0, N), Prefix)) {
                Rest.erase(0, N);
                Flags |= Flag;
                return true;
            }
            return false;
        };
        if (!Take("Shift+", scShift) && !Take("Ctrl+", scCtrl) && !Take("Alt+", scAlt))
            break;
    }
    if (Rest.empty())
        return scNone;
    for (Word Key = 0x08; Key <= 0xFF; ++Key) {
        std::string Name = KeyText(Key);
        if (!Name.empty() && SystemDetail::SameIdent(Name, Rest))
            return static_cast<TShortCut>(Key | Flags);
    }
    return scNone;
}

// ---------------------------------------------------------------------------------------------
// TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) { FCommand = AllocCommand(this); }

TMenuItem::~TMenuItem() {
    FreeCommand(FCommand);
    FreeImageBitmap();
    delete FBitmap;
}

void TMenuItem::BeforeDestruction() {
    TComponent::BeforeDestruction();
    // Children go with their item, as the menu tree owns them.
    while (!FItems.empty())
        FItems.back()->Free();
    if (FParent)
        FParent->Remove(this);
    FreeCommand(FCommand);
}

void TMenuItem::DefineClass(TClassBuilder<TMenuItem>& B) {
    B.Property("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck).Default(false);
    B.Property("Bitmap", &TMenuItem::Bitmap, &TMenuItem::SetBitmap)
        .Stored(&TMenuItem::BitmapStored);
    B.Property("Break", &TMenuItem::Break, &TMenuItem::SetBreak).Default(mbNone);
    B.Property("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption).TypeName("TCaption");
    B.Property("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).Default(false);
    B.Property("Default", &TMenuItem::Default, &TMenuItem::SetDefault).Default(false);
    B.Property("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(true);
    B.Property("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex).Default(0);
    B.Property("HelpContext", &TMenuItem::HelpContext, &TMenuItem::SetHelpContext).TypeName("THelpContext").Default(0);
    B.Property("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
    B.Property("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex).TypeName("TImageIndex").Default(-1);
    B.Property("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem).Default(false);
    B.Property("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut).TypeName("TShortCut").Default(0);
    B.Property("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(true);
    B.Property("OnClick", [](TMenuItem* I) { return I->OnClick; },
               [](TMenuItem* I, const TNotifyEvent& E) { I->OnClick = E; });
    B.Property("OnMeasureItem", [](TMenuItem* I) { return I->OnMeasureItem; },
               [](TMenuItem* I, const TMenuMeasureItemEvent& E) { I->OnMeasureItem = E; });
    B.Property("OnDrawItem", [](TMenuItem* I) { return I->OnDrawItem; },
               [](TMenuItem* I, const TMenuDrawItemEvent& E) { I->OnDrawItem = E; });
    B.Property("OnAdvancedDrawItem", [](TMenuItem* I) { return I->OnAdvancedDrawItem; },
               [](TMenuItem* I, const TAdvancedMenuDrawItemEvent& E) { I->OnAdvancedDrawItem = E; });
}

TMenuItem* TMenuItem::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EMenuError(SMenuIndexError);
    return FItems[static_cast<std::size_t>(Index)];
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    if (!Item)
        return;
    if (Item->FParent)
        throw EMenuError(SMenuReinserted);
    if (Index < 0 || Index > Count())
        throw EMenuError(SMenuIndexError);
    // An item cannot hold itself or one of its ancestors.
    for (TMenuItem* P = this; P; P = P->FParent)
        if (P == Item)
            throw EMenuError(SMenuReinserted);
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    MenuChanged(true);
}

void TMenuItem::Delete(int Index) {
    TMenuItem* Item = Items(Index);
    FItems.erase(FItems.begin() + Index);
    Item->FParent = nullptr;
    MenuChanged(true);
}

void TMenuItem::Remove(TMenuItem* Item) {
    int I = IndexOf(Item);
    if (I < 0)
        throw EMenuError(SMenuNotFound);
    Delete(I);
}

void TMenuItem::Clear() {
    while (!FItems.empty())
        FItems.back()->Free();
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}

TMenuItem* TMenuItem::Find(const std::string& ACaption) const {
    std::string Wanted = StripAmpersands(ACaption);
    for (TMenuItem* I : FItems)
        if (SystemDetail::SameIdent(StripAmpersands(I->FCaption), Wanted))
            return I;
    return nullptr;
}

int TMenuItem::MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(int Value) {
    if (!FParent)
        return;
    TMenuItem* P = FParent;
    int Cur = MenuIndex();
    Value = std::clamp(Value, 0, P->Count() - 1);
    if (Value == Cur)
        return;
    P->FItems.erase(P->FItems.begin() + Cur);
    P->FItems.insert(P->FItems.begin() + Value, this);
    P->MenuChanged(true);
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* I = this;
    while (I->FParent)
        I = I->FParent;
    return I->FMenu;
}

void TMenuItem::SetCaption(const std::string& Value) {
    if (Value == FCaption)
        return;
    FCaption = Value;
    MenuChanged(true);
}

void TMenuItem::SetChecked(bool Value) {
    if (Value == FChecked)
        return;
    FChecked = Value;
    if (Value && FRadioItem)
        TurnSiblingsOff();
    MenuChanged(false);
}

void TMenuItem::TurnSiblingsOff() {
    if (!FParent)
        return;
    for (TMenuItem* I : FParent->FItems)
        if (I != this && I->FRadioItem && I->FGroupIndex == FGroupIndex && I->FChecked) {
            I->FChecked = false;
            I->MenuChanged(false);
        }
}

void TMenuItem::SetEnabled(bool Value) {
    if (Value != FEnabled) {
        FEnabled = Value;
        MenuChanged(false);
    }
}

void TMenuItem::SetDefault(bool Value) {
    if (Value == FDefault)
        return;
    // One default item per submenu, as the system shows one bold item.
    if (Value && FParent)
        for (TMenuItem* I : FParent->FItems)
            I->FDefault = false;
    FDefault = Value;
    MenuChanged(true);
}

void TMenuItem::SetVisible(bool Value) {
    if (Value != FVisible) {
        FVisible = Value;
        MenuChanged(true);
    }
}

void TMenuItem::SetRadioItem(bool Value) {
    if (Value == FRadioItem)
        return;
    FRadioItem = Value;
    if (FChecked && FRadioItem)
        TurnSiblingsOff();
    MenuChanged(false);
}

void TMenuItem::SetGroupIndex(Byte Value) {
    if (Value == FGroupIndex)
        return;
    FGroupIndex = Value;
    if (FChecked && FRadioItem)
        TurnSiblingsOff();
    MenuChanged(false);
}

void TMenuItem::SetBreak(TMenuBreak Value) {
    if (Value != FBreak) {
        FBreak = Value;
        MenuChanged(true);
    }
}

void TMenuItem::SetShortCut(TShortCut Value) {
    if (Value != FShortCut) {
        FShortCut = Value;
        MenuChanged(true);
    }
}

void TMenuItem::SetImageIndex(int Value) {
    if (Value != FImageIndex) {
        FImageIndex = Value;
        MenuChanged(true);
    }
}

TBitmap* TMenuItem::Bitmap() {
    if (!FBitmap)
        FBitmap = Create<TBitmap>();
    return FBitmap;
}

void TMenuItem::SetBitmap(TBitmap* Value) {
    Bitmap()->Assign(Value);
    MenuChanged(true);
}

HMENU TMenuItem::Handle() {
    if (!FHandle && !FItems.empty()) {
        FHandle = CreatePopupMenu();
        TMenu* Menu = GetParentMenu();
        for (TMenuItem* I : FItems)
            I->AppendTo(FHandle, Menu);
    }
    return FHandle;
}

void TMenuItem::FreeImageBitmap() {
    if (FImageBitmap)
        DeleteObject(FImageBitmap);
    FImageBitmap = nullptr;
}

void TMenuItem::AppendTo(HMENU Menu, TMenu* Owner) {
    if (!FVisible)
        return;
    MENUITEMINFOW Info{};
    Info.cbSize = sizeof(Info);
    Info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID;
    Info.wID = FCommand;
    std::wstring Text;
    if (IsLine())
        Info.fType = MFT_SEPARATOR;
    else {
        Info.fMask |= MIIM_STRING;
        std::string Caption = FCaption;
        if (FShortCut != scNone && !ShortCutToText(FShortCut).empty())
            Caption += "\t" + ShortCutToText(FShortCut);
        // The texts are in the code page of the character set of the form the menu belongs to.
        auto* Form = Owner ? DynCast<TControl>(Owner->Owner()) : nullptr;
        Text = AnsiToWide(Caption, Form ? Form->TextCodePage() : CP_ACP);
        Info.dwTypeData = Text.data();
        Info.cch = static_cast<UINT>(Text.size());
        if (FRadioItem)
            Info.fType |= MFT_RADIOCHECK;
    }
    // Owner-drawn items keep their text, so that the system's searches by mnemonic still work.
    if (Owner && Owner->OwnerDraw())
        Info.fType |= MFT_OWNERDRAW;
    if (FBreak == mbBreak)
        Info.fType |= MFT_MENUBREAK;
    else if (FBreak == mbBarBreak)
        Info.fType |= MFT_MENUBARBREAK;
    Info.fState = (FChecked ? MFS_CHECKED : 0) | (FEnabled ? 0 : MFS_GRAYED) | (FDefault ? MFS_DEFAULT : 0);
    if (!FItems.empty()) {
        Info.fMask |= MIIM_SUBMENU;
        FHandle = nullptr;
        Info.hSubMenu = Handle();
    }
    FreeImageBitmap();
    TCustomImageList* Images = Owner ? Owner->Images() : nullptr;
    bool FromList = Images && FImageIndex >= 0 && FImageIndex < Images->Count();
    if (FromList || (FBitmap && !FBitmap->Empty())) {
        TOwned<TBitmap> Pic(Create<TBitmap>());
        if (FromList) {
            Pic->SetSize(Images->Width(), Images->Height());
            Pic->Canvas()->Brush()->SetColor(clMenu);
            Pic->Canvas()->FillRect(Rect(0, 0, Images->Width(), Images->Height()));
            Images->Draw(Pic->Canvas(), 0, 0, FImageIndex, FEnabled);
        } else
            Pic->Assign(FBitmap);
        FImageBitmap = Pic->ReleaseHandle();
        if (FImageBitmap) {
            Info.fMask |= MIIM_BITMAP;
            Info.hbmpItem = FImageBitmap;
        }
    }
    InsertMenuItemW(Menu, static_cast<UINT>(GetMenuItemCount(Menu)), TRUE, &Info);
}

namespace {
// The caption as the standard look writes it: the short cut after a tab.
std::string ItemText(const TMenuItem* Item) {
    std::string Text = Item->Caption();
    if (Item->ShortCut() != scNone && !ShortCutToText(Item->ShortCut()).empty())
        Text += "\t" + ShortCutToText(Item->ShortCut());
    return Text;
}

HFONT MenuFont(bool Bold) {
    NONCLIENTMETRICSA M{};
    M.cbSize = sizeof(M);
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(M), &M, 0))
        return nullptr;
    if (Bold)
        M.lfMenuFont.lfWeight = FW_BOLD;
    return CreateFontIndirectA(&M.lfMenuFont);
}

bool IsTopLevel(const TMenuItem* Item) {
    TMenu* Menu = Item->GetParentMenu();
    return Menu && Menu->Is<TMainMenu>() && Item->Parent() == Menu->Items();
}
}  // namespace

void TMenuItem::MeasureItem(TCanvas* ACanvas, int& Width, int& Height) {
    if (IsLine()) {
        Width = 0;
        Height = GetSystemMetrics(SM_CYMENU) / 2;
    } else {
        RECT R{0, 0, 0, 0};
        std::string Text = ItemText(this);
        DrawTextA(ACanvas->Handle(), Text.c_str(), -1, &R, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP);
        Width = R.right + (IsTopLevel(this) ? 8 : 2 * GetSystemMetrics(SM_CXMENUCHECK) + 8);
        Height = std::max<int>(GetSystemMetrics(SM_CYMENU), R.bottom + 4);
    }
    OnMeasureItem(this, ACanvas, Width, Height);
}

void TMenuItem::AdvancedDrawItem(TCanvas* ACanvas, TRect ARect, TOwnerDrawState State, bool TopLevel) {
    if (OnAdvancedDrawItem) {
        OnAdvancedDrawItem(this, ACanvas, ARect, State);
        return;
    }
    if (OnDrawItem) {
        OnDrawItem(this, ACanvas, ARect, State.Contains(odSelected));
        return;
    }
    HDC DC = ACanvas->Handle();
    const bool Selected = State.Contains(odSelected) && !TopLevel;
    RECT R{ARect.Left, ARect.Top, ARect.Right, ARect.Bottom};
    FillRect(DC, &R, GetSysColorBrush(Selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    if (IsLine()) {
        RECT Line{R.left, (R.top + R.bottom) / 2 - 1, R.right, (R.top + R.bottom) / 2 + 1};
        DrawEdge(DC, &Line, EDGE_ETCHED, BF_TOP);
        return;
    }
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, GetSysColor(!FEnabled ? COLOR_GRAYTEXT : Selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    R.left += TopLevel ? 4 : GetSystemMetrics(SM_CXMENUCHECK) + 4;
    R.right -= 4;
    std::string Text = ItemText(this);
    UINT Format = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | (State.Contains(odNoAccel) ? DT_HIDEPREFIX : 0);
    DrawTextA(DC, Text.c_str(), -1, &R, Format);
    if (FChecked && !TopLevel) {
        RECT C{ARect.Left + 2, R.top, ARect.Left + GetSystemMetrics(SM_CXMENUCHECK) + 2, R.bottom};
        DrawTextA(DC, FRadioItem ? "\x95" : "\x8f", -1, &C, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    }
}

namespace {
// The item of an owner-drawn menu message, or null.
TMenuItem* OwnerDrawnItem(UINT CtlType, UINT ItemID) {
    if (CtlType != ODT_MENU)
        return nullptr;
    auto It = Commands().find(static_cast<Word>(ItemID));
    return It == Commands().end() ? nullptr : It->second;
}

// Paint with a canvas over DC in the menu font (bold for a default item); DC is left as it was.
template <class F>
void WithMenuCanvas(HDC DC, bool Bold, F Paint) {
    const int Saved = SaveDC(DC);
    HFONT Font = MenuFont(Bold);
    if (Font)
        SelectObject(DC, Font);
    {
        TOwned<TCanvas> Canvas(Create<TCanvas>());
        Canvas->SetHandle(DC);
        Paint(Canvas.get());
        Canvas->SetHandle(nullptr);
    }
    RestoreDC(DC, Saved);
    if (Font)
        DeleteObject(Font);
}
}  // namespace

bool DispatchMenuMeasureItem(MEASUREITEMSTRUCT* Info) {
    TMenuItem* Item = Info ? OwnerDrawnItem(Info->CtlType, Info->itemID) : nullptr;
    if (!Item)
        return false;
    HDC DC = TextMeasureDC();
    WithMenuCanvas(DC, Item->Default(), [&](TCanvas* Canvas) {
        int W = static_cast<int>(Info->itemWidth), H = static_cast<int>(Info->itemHeight);
        Item->MeasureItem(Canvas, W, H);
        Info->itemWidth = static_cast<UINT>(std::max(W, 0));
        Info->itemHeight = static_cast<UINT>(std::max(H, 0));
    });
    return true;
}

bool DispatchMenuDrawItem(DRAWITEMSTRUCT* Info) {
    TMenuItem* Item = Info ? OwnerDrawnItem(Info->CtlType, Info->itemID) : nullptr;
    if (!Item)
        return false;
    WithMenuCanvas(Info->hDC, Item->Default(), [&](TCanvas* Canvas) {
        const RECT& R = Info->rcItem;
        Item->AdvancedDrawItem(Canvas, TRect{R.left, R.top, R.right, R.bottom}, OwnerDrawStateOf(Info->itemState),
                               IsTopLevel(Item));
    });
    return true;
}

void TMenuItem::Click() {
    if (FAutoCheck && !(FRadioItem && FChecked))
        SetChecked(!FChecked);
    OnClick(this);
}

void TMenuItem::MenuChanged(bool Rebuild) {
    if (TMenu* M = GetParentMenu())
        M->MenuChanged(this, this, Rebuild);
}

TComponent* TMenuItem::GetParentComponent() const {
    if (FParent && FParent->FMenu)
        return FParent->FMenu;
    return FParent;
}

void TMenuItem::SetParentComponent(TComponent* Value) {
    if (FParent)
        FParent->Remove(this);
    if (auto* M = DynCast<TMenu>(Value))
        M->Items()->Add(this);
    else if (auto* I = DynCast<TMenuItem>(Value))
        I->Add(this);
}

void TMenuItem::ReadState(TReader& Reader) {
    // Nested in a form file under a menu or another item: that is the item's parent.
    if (TComponent* P = Reader.Parent(); P && P != FParent && (P->Is<TMenu>() || P->Is<TMenuItem>()))
        SetParentComponent(P);
    TComponent::ReadState(Reader);
}

void TMenuItem::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    (void)Root;
    for (TMenuItem* I : FItems)
        Proc(I);
}

void TMenuItem::SetChildOrder(TComponent* Child, int Order) {
    if (auto* I = DynCast<TMenuItem>(Child); I && I->FParent == this)
        I->SetMenuIndex(Order);
}

// ---------------------------------------------------------------------------------------------
// TMenu

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner) {
    FItems = Create<TMenuItem>(nullptr);
    FItems->FMenu = this;
    FImageChangeLink = Create<TChangeLink>();
    FImageChangeLink->OnChange = TNotifyEvent::Bind<&TMenu::ImageListChange>(this);
    AllMenus().push_back(this);
}

TMenu::~TMenu() {
    auto& L = AllMenus();
    L.erase(std::remove(L.begin(), L.end(), this), L.end());
    FreeAndNil(FImageChangeLink);
}

void TMenu::BeforeDestruction() {
    TComponent::BeforeDestruction();
    SetImages(nullptr);
    if (FWindowHandle && IsWindow(FWindowHandle) && ::GetMenu(FWindowHandle) == FHandle && FHandle)
        ::SetMenu(FWindowHandle, nullptr);
    DestroyMenuHandle();
    FItems->FMenu = nullptr;
    FreeAndNil(FItems);
}

void TMenu::DefineClass(TClassBuilder<TMenu>& B) {
    B.Property("Images", &TMenu::Images, &TMenu::SetImages);
    B.Property("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw).Default(false);
}

HMENU TMenu::Handle() {
    if (!FHandle) {
        FHandle = CreateMenuHandle();
        // An item merged from another menu keeps that menu's owner drawing and images.
        for (TMenuItem* I : ShownItems())
            I->AppendTo(FHandle, I->GetParentMenu() ? I->GetParentMenu() : this);
    }
    return FHandle;
}

std::vector<TMenuItem*> TMenu::ShownItems() const {
    std::vector<TMenuItem*> List;
    for (int I = 0; I < FItems->Count(); ++I)
        List.push_back(FItems->Items(I));
    return List;
}

namespace {
// Forgets the submenus and pictures of a tree whose system menu is being destroyed; the pictures
// are collected, to be deleted once no menu shows them.
void ForgetHandles(TMenuItem* Item, std::vector<HBITMAP>& Pictures, HBITMAP (*Take)(TMenuItem*)) {
    for (int I = 0; I < Item->Count(); ++I)
        ForgetHandles(Item->Items(I), Pictures, Take);
    if (HBITMAP B = Take(Item))
        Pictures.push_back(B);
}
}  // namespace

void TMenu::DestroyMenuHandle() {
    std::vector<HBITMAP> Pictures;
    ForgetHandles(FItems, Pictures, [](TMenuItem* I) {
        HBITMAP B = I->FImageBitmap;
        I->FImageBitmap = nullptr;
        I->FHandle = nullptr;
        return B;
    });
    if (FHandle)
        DestroyMenu(FHandle);
    FHandle = nullptr;
    for (HBITMAP B : Pictures)
        DeleteObject(B);
}

void TMenu::SetWindowHandle(HWND Value) { FWindowHandle = Value; }

void TMenu::SetImages(TCustomImageList* Value) {
    if (!SetImageListOf(this, FImages, Value, FImageChangeLink))
        return;
    MenuChanged(this, nullptr, true);
}

void TMenu::SetOwnerDraw(bool Value) {
    if (Value != FOwnerDraw) {
        FOwnerDraw = Value;
        MenuChanged(this, nullptr, true);
    }
}

void TMenu::ImageListChange(TObject*) { MenuChanged(this, nullptr, true); }

void TMenu::MenuChanged(TObject*, TMenuItem*, bool) {
    // States shown on items need the system menu made again as much as structure does; it is
    // cheap, and it happens only on the next use.
    if (FComponentState.Contains(csDestroying))
        return;
    DestroyMenuHandle();
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        SetImages(nullptr);
}

void TMenu::Loaded() {
    TComponent::Loaded();
    MenuChanged(this, nullptr, true);
}

TMenuItem* TMenu::FindItem(UINT_PTR Value, TFindItemKind Kind) const {
    TMenuItem* Found = nullptr;
    std::function<bool(TMenuItem*)> Walk = [&](TMenuItem* Item) {
        for (int I = 0; I < Item->Count(); ++I) {
            TMenuItem* C = Item->Items(I);
            bool Match = false;
            switch (Kind) {
            case fkCommand: Match = C->Command() == Value; break;
            case fkHandle: Match = C->FHandle && reinterpret_cast<UINT_PTR>(C->FHandle) == Value; break;
            case fkShortCut: Match = C->ShortCut() != scNone && C->ShortCut() == Value; break;
            }
            if (Match) {
                Found = C;
                return true;
            }
            if (Walk(C))
                return true;
        }
        return false;
    };
    Walk(FItems);
    return Found;
}

bool TMenu::IsShortCut(TWMKey& Message) {
    TShortCut SC = ::ShortCut(Message.CharCode(), KeyDataToShiftState(Message.KeyData()));
    if (SC == scNone)
        return false;
    // The first enabled item with that short cut, visible or not.
    TMenuItem* Target = nullptr;
    std::function<bool(TMenuItem*)> Walk = [&](TMenuItem* Item) {
        for (int I = 0; I < Item->Count(); ++I) {
            TMenuItem* C = Item->Items(I);
            if (C->ShortCut() == SC && ChainEnabled(C)) {
                Target = C;
                return true;
            }
            if (Walk(C))
                return true;
        }
        return false;
    };
    if (!Walk(FItems))
        return false;
    Target->Click();
    return true;
}

bool TMenu::DispatchCommand(Word ACommand) {
    TMenuItem* Item = FindItem(ACommand, fkCommand);
    if (!Item)
        return false;
    Item->Click();
    return true;
}

bool TMenu::DispatchPopup(HMENU AMenuHandle) {
    TMenuItem* Item = FindItem(reinterpret_cast<UINT_PTR>(AMenuHandle), fkHandle);
    if (!Item)
        return false;
    Item->Click();
    return true;
}

void TMenu::GetChildren(const TGetChildProc& Proc, TComponent* Root) { FItems->GetChildren(Proc, Root); }

void TMenu::SetChildOrder(TComponent* Child, int Order) { FItems->SetChildOrder(Child, Order); }

// ---------------------------------------------------------------------------------------------
// TMainMenu

void TMainMenu::DefineClass(TClassBuilder<TMainMenu>& B) {
    B.Property("AutoMerge", &TMainMenu::AutoMerge, &TMainMenu::SetAutoMerge).Default(false);
}

void TMainMenu::SetWindowHandle(HWND Value) {
    if (WindowHandle() && WindowHandle() != Value && IsWindow(WindowHandle()) && HandleAllocated() &&
        ::GetMenu(WindowHandle()) == Handle())
        ::SetMenu(WindowHandle(), nullptr);
    TMenu::SetWindowHandle(Value);
    UpdateMenuBar();
}

namespace {
// The MDI client window of an MDI form's window, else 0.
HWND MDIClientOf(HWND Wnd) { return FindWindowExA(Wnd, nullptr, "MDICLIENT", nullptr); }
}  // namespace

bool TMainMenu::HoldsOwnItem(HMENU Menu, int Position) const {
    MENUITEMINFOA Info{};
    Info.cbSize = sizeof(Info);
    Info.fMask = MIIM_ID | MIIM_SUBMENU;
    if (!GetMenuItemInfoA(Menu, static_cast<UINT>(Position), TRUE, &Info))
        return false;
    if (Info.hSubMenu) {
        auto Sub = reinterpret_cast<UINT_PTR>(Info.hSubMenu);
        return FindItem(Sub, fkHandle) || (FMerged && FMerged->FindItem(Sub, fkHandle));
    }
    return Info.wID < 0xF000 && FindMenuItemByCommand(static_cast<Word>(Info.wID));
}

void TMainMenu::UpdateMenuBar() {
    HWND Wnd = WindowHandle();
    if (!Wnd || !IsWindow(Wnd))
        return;
    bool AnyVisible = false;
    for (TMenuItem* I : ShownItems())
        AnyVisible = AnyVisible || I->Visible();
    // No bar before and none after: nothing to set or draw (each would change the window's frame).
    if (!AnyVisible && !::GetMenu(Wnd))
        return;
    // A menu with nothing to show leaves the window without a bar (the program's hidden menu). An
    // MDI form's bar is set through its client window, which adds a maximised child's items to it.
    HWND Client = MDIClientOf(Wnd);
    if (Client && AnyVisible)
        SendMessageA(Client, WM_MDISETMENU, reinterpret_cast<WPARAM>(Handle()), 0);
    else
        ::SetMenu(Wnd, AnyVisible ? Handle() : nullptr);
    DrawMenuBar(Wnd);
}

void TMainMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
    HWND Wnd = WindowHandle();
    bool Attached = Wnd && IsWindow(Wnd) && HandleAllocated() && ::GetMenu(Wnd) == Handle();
    if (Attached && MDIClientOf(Wnd)) {
        // The items an MDI client added for a maximised child (its window menu among them) are not
        // this menu's: they are taken off, not destroyed with it.
        for (int P = GetMenuItemCount(Handle()) - 1; P >= 0; --P)
            if (!HoldsOwnItem(Handle(), P))
                RemoveMenu(Handle(), static_cast<UINT>(P), MF_BYPOSITION);
    }
    if (Attached)
        ::SetMenu(Wnd, nullptr);
    // The merged items' submenus go with this menu's system menu.
    if (FMerged && !FComponentState.Contains(csDestroying))
        FMerged->DestroyMenuHandle();
    TMenu::MenuChanged(Sender, Source, Rebuild);
    // A window left without a bar because nothing showed gets it once an item shows.
    bool Bare = !Attached && Wnd && IsWindow(Wnd) && !::GetMenu(Wnd);
    if ((Attached || Bare) && !FComponentState.Contains(csDestroying))
        UpdateMenuBar();
}

void TMainMenu::Merge(TMainMenu* Menu) {
    if (Menu == this || Menu == FMerged)
        return;
    if (FMerged) {
        FMerged->RemoveFreeNotification(this);
        FMerged->DestroyMenuHandle();
    }
    FMerged = Menu;
    if (Menu)
        Menu->FreeNotification(this);
    MenuChanged(this, nullptr, true);
}

std::vector<TMenuItem*> TMainMenu::ShownItems() const {
    std::vector<TMenuItem*> List = TMenu::ShownItems();
    if (!FMerged)
        return List;
    std::vector<TMenuItem*> Child = FMerged->TMenu::ShownItems();
    auto Replaced = [&Child](const TMenuItem* I) {
        return std::any_of(Child.begin(), Child.end(),
                           [I](const TMenuItem* C) { return C->GroupIndex() == I->GroupIndex(); });
    };
    List.erase(std::remove_if(List.begin(), List.end(), Replaced), List.end());
    List.insert(List.end(), Child.begin(), Child.end());
    std::stable_sort(List.begin(), List.end(),
                     [](const TMenuItem* A, const TMenuItem* B) { return A->GroupIndex() < B->GroupIndex(); });
    return List;
}

void TMainMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TMenu::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FMerged) {
        FMerged = nullptr;
        MenuChanged(this, nullptr, true);
    }
}

// ---------------------------------------------------------------------------------------------
// TPopupMenu

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::DefineClass(TClassBuilder<TPopupMenu>& B) {
    B.Property("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment).Default(paLeft);
    B.Property("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup).Default(true);
    B.Property("MenuAnimation", &TPopupMenu::MenuAnimation, &TPopupMenu::SetMenuAnimation).Default(TMenuAnimation{});
    B.Property("TrackButton", &TPopupMenu::TrackButton, &TPopupMenu::SetTrackButton).Default(tbRightButton);
    B.Property("OnPopup", [](TPopupMenu* M) { return M->OnPopup; },
               [](TPopupMenu* M, const TNotifyEvent& E) { M->OnPopup = E; });
}

HWND TPopupMenu::PopupListWindow() {
    if (!PopupWindow)
        PopupWindow = AllocateHWnd(TWndMethod::FromFunction(&PopupWndProc));
    return PopupWindow;
}

void TPopupMenu::Popup(int X, int Y) {
    DoPopup(this);
    UINT Flags = FTrackButton == tbLeftButton ? TPM_LEFTBUTTON : TPM_RIGHTBUTTON;
    switch (FAlignment) {
    case paLeft: Flags |= TPM_LEFTALIGN; break;
    case paRight: Flags |= TPM_RIGHTALIGN; break;
    case paCenter: Flags |= TPM_CENTERALIGN; break;
    }
    if (FMenuAnimation.Contains(maNone))
        Flags |= TPM_NOANIMATION;
    TrackPopupMenu(Handle(), Flags, X, Y, 0, PopupListWindow(), nullptr);
}

// ---------------------------------------------------------------------------------------------

bool DispatchMenuCommand(Word Command) {
    auto& Map = Commands();
    auto It = Map.find(Command);
    if (It == Map.end())
        return false;
    It->second->Click();
    return true;
}

TMenuItem* FindMenuItemByCommand(Word Command) {
    auto It = Commands().find(Command);
    return It == Commands().end() ? nullptr : It->second;
}

TMainMenu* FindMainMenu(TComponent* Form) {
    if (!Form)
        return nullptr;
    for (int I = 0; I < Form->ComponentCount(); ++I)
        if (auto* M = DynCast<TMainMenu>(Form->Components(I)))
            return M;
    return nullptr;
}

bool MenuIsShortCut(TComponent* Form, TWMKey& Message) {
    TMainMenu* Menu = FindMainMenu(Form);
    return Menu && Menu->IsShortCut(Message);
}

void InitMenus() {
    RegisterClasses({TMenuItem::StaticClass(), TMainMenu::StaticClass(), TPopupMenu::StaticClass()});
}

void DoneMenus() {
    if (PopupWindow)
        DeallocateHWnd(PopupWindow);
    PopupWindow = nullptr;
}
