#include "sSystemMenu.h"

#include "Forms.h"
#include "SysUtils.h"
#include "sCommonData.h"
#include "sConst.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"

namespace {
[[noreturn]] void RaiseAbstract() { throw EAbstractError(SysConsts::SAbstractError); }

bool StandardBorder(TForm* F) { return F->BorderStyle() == bsSingle || F->BorderStyle() == bsSizeable; }
}  // namespace

bool TsCustomSysMenu::VisibleClose() { RaiseAbstract(); }
bool TsCustomSysMenu::VisibleMax() { RaiseAbstract(); }
bool TsCustomSysMenu::VisibleMin() { RaiseAbstract(); }
bool TsCustomSysMenu::EnabledMax() { RaiseAbstract(); }
bool TsCustomSysMenu::EnabledMin() { RaiseAbstract(); }
bool TsCustomSysMenu::EnabledRestore() { RaiseAbstract(); }

TsSystemMenu::TsSystemMenu(TsSkinProvider* AOwner)
    : TsCustomSysMenu(AOwner), Provider(AOwner), Form(AOwner ? DynCast<TForm>(AOwner->Form) : nullptr) {
    SetName("SysMenu");
    MakeItems();
}

bool TsSystemMenu::Iconic() const { return Form && Form->HandleAllocated() && IsIconic(Form->Handle()); }

bool TsSystemMenu::VisibleClose() { return Provider && Provider->HadSysMenu; }

bool TsSystemMenu::VisibleMax() {
    if (!Form || !VisibleClose())
        return false;
    return Iconic() || Form->FormStyle() == fsMDIChild ||
           (StandardBorder(Form) && Form->BorderIcons().Contains(biMaximize));
}

bool TsSystemMenu::VisibleMin() {
    if (!Form || !VisibleClose())
        return false;
    return Iconic() || Form->FormStyle() == fsMDIChild ||
           (StandardBorder(Form) && Form->BorderIcons().Contains(biMinimize));
}

bool TsSystemMenu::VisibleRestore() {
    return Form && VisibleClose() && (Form->FormStyle() == fsMDIChild || StandardBorder(Form));
}

bool TsSystemMenu::VisibleSize() {
    if (!Form)
        return false;
    TFormBorderStyle B = Form->BorderStyle();
    return Form->FormStyle() == fsMDIChild || (B != bsNone && B != bsDialog && B != bsToolWindow);
}

bool TsSystemMenu::EnabledMax() {
    if (!Form)
        return false;
    if (Form->FormStyle() == fsMDIChild)
        return Form->BorderIcons().Contains(biMaximize);
    return Form->WindowState() != wsMaximized && StandardBorder(Form) && Form->BorderIcons().Contains(biMaximize);
}

bool TsSystemMenu::EnabledMin() {
    return Form && Form->BorderIcons().Contains(biMinimize) && Form->WindowState() != wsMinimized;
}

bool TsSystemMenu::EnabledRestore() {
    return Form && ((Form->BorderIcons().Contains(biMaximize) && Form->WindowState() != wsNormal) ||
                    Form->WindowState() == wsMinimized);
}

bool TsSystemMenu::EnabledMove() { return Form && Form->WindowState() != wsMaximized; }

bool TsSystemMenu::EnabledSize() { return Form && Form->BorderStyle() != bsSingle && !Iconic(); }

void TsSystemMenu::MakeItems() {
    Items()->Clear();
    ItemRestore = ItemMove = ItemSize = ItemMinimize = ItemMaximize = ItemClose = nullptr;
    ExtraCount = 0;
    HMENU SysMenu = Form && Form->HandleAllocated() ? GetSystemMenu(Form->Handle(), FALSE) : nullptr;
    if (!SysMenu)
        return;
    // The caption before the tab and the short-cut text after it; the default caption when the
    // window's menu lacks the command.
    auto ReadCommand = [SysMenu](UINT Command, const std::string& Default, std::string& ShortCut) {
        char Buf[256] = {};
        ShortCut.clear();
        if (GetMenuStringA(SysMenu, Command, Buf, sizeof(Buf) - 1, MF_BYCOMMAND) <= 0)
            return Default;
        std::string Text = Buf;
        if (auto Tab = Text.find('\t'); Tab != std::string::npos) {
            ShortCut = Text.substr(Tab + 1);
            Text.erase(Tab);
        }
        return Text;
    };
    auto AddItem = [this](const std::string& Caption, const char* Name, WPARAM Command, TNotifyEvent Click) {
        TMenuItem* Item = Create<TMenuItem>(this);
        Item->SetCaption(Caption);
        Item->SetName(Name);
        Item->OnClick = Click;
        Item->SetTag(static_cast<LongInt>(Command));
        Items()->Add(Item);
        return Item;
    };
    auto AddLine = [this] {
        TMenuItem* Line = Create<TMenuItem>(this);
        Line->SetCaption("-");
        Items()->Add(Line);
    };
    std::string ShortCut;
    ItemRestore = AddItem(ReadCommand(SC_RESTORE, SRestore, ShortCut), "acIR", SC_RESTORE,
                          TNotifyEvent::Bind<&TsSystemMenu::RestoreClick>(this));
    ItemMove = AddItem(ReadCommand(SC_MOVE, SMove, ShortCut), "acIM", SC_MOVE,
                       TNotifyEvent::Bind<&TsSystemMenu::MoveClick>(this));
    ItemSize = AddItem(ReadCommand(SC_SIZE, SSize, ShortCut), "acIS", SC_SIZE,
                       TNotifyEvent::Bind<&TsSystemMenu::SizeClick>(this));
    ItemMinimize = AddItem(ReadCommand(SC_MINIMIZE, SMinimize, ShortCut), "acIN", SC_MINIMIZE,
                           TNotifyEvent::Bind<&TsSystemMenu::MinimizeClick>(this));
    ItemMaximize = AddItem(ReadCommand(SC_MAXIMIZE, SMaximize, ShortCut), "acIX", SC_MAXIMIZE,
                           TNotifyEvent::Bind<&TsSystemMenu::MaximizeClick>(this));
    AddLine();
    for (int I = 0, N = GetMenuItemCount(SysMenu); I < N; ++I) {
        UINT Id = GetMenuItemID(SysMenu, I);
        char Buf[256] = {};
        if (Id >= 0xF000 || GetMenuStringA(SysMenu, I, Buf, sizeof(Buf) - 1, MF_BYPOSITION) <= 0)
            continue;
        std::string Text = Buf;
        TMenuItem* Item = Create<TMenuItem>(this);
        if (auto Tab = Text.find('\t'); Tab != std::string::npos) {
            Item->SetShortCut(TextToShortCut(Text.substr(Tab + 1)));
            Text.erase(Tab);
        }
        Item->SetCaption(Text);
        Item->SetTag(static_cast<LongInt>(Id));
        Item->OnClick = TNotifyEvent::Bind<&TsSystemMenu::ExtraItemClick>(this);
        Items()->Add(Item);
        ++ExtraCount;
    }
    if (ExtraCount > 0)
        AddLine();
    ItemClose = AddItem(ReadCommand(SC_CLOSE, SClose, ShortCut), "acIC", SC_CLOSE,
                        TNotifyEvent::Bind<&TsSystemMenu::CloseClick>(this));
    if (!ShortCut.empty())
        ItemClose->SetShortCut(TextToShortCut(ShortCut));
}

void TsSystemMenu::UpdateItems(bool Rebuild) {
    if (Rebuild || !ItemClose)
        MakeItems();
    if (!Form)
        return;
    auto Apply = [](TMenuItem* Item, bool Visible, bool Enabled) {
        if (Item) {
            Item->SetVisible(Visible);
            Item->SetEnabled(Enabled);
        }
    };
    Apply(ItemRestore, VisibleRestore(), EnabledRestore());
    Apply(ItemMove, true, EnabledMove());
    Apply(ItemSize, VisibleSize(), EnabledSize());
    Apply(ItemMinimize, VisibleMin(), EnabledMin());
    Apply(ItemMaximize, VisibleMax(), EnabledMax());
    Apply(ItemClose, VisibleClose(), true);
}

void TsSystemMenu::AddSkinsItem() {
    TsSkinManager* Manager = Provider && Provider->SkinData() ? Provider->SkinData()->GetSkinManager() : nullptr;
    if (!Manager)
        return;
    TOwned<TStringList> Names(Create<TStringList>());
    std::string First;
    Manager->ListSkins(Names.get(), 2, First);
    if (Names->Count() == 0)
        return;
    TMenuItem* Root = Create<TMenuItem>(this);
    Root->SetCaption(SAvailSkins);
    Root->SetName("SkinSelectItem");
    Items()->Insert(0, Root);
    TMenuItem* Line = Create<TMenuItem>(this);
    Line->SetCaption("-");
    Items()->Insert(1, Line);
    for (int I = 0; I < Names->Count(); ++I) {
        TMenuItem* Item = Create<TMenuItem>(this);
        Item->SetCaption(Names->Strings(I));
        Item->SetName("SkinSelectItem" + std::to_string(I));
        Item->SetRadioItem(true);
        Item->SetChecked(Names->Strings(I) == Manager->GetSkinName());
        if (I > 0 && I % 20 == 0)
            Item->SetBreak(mbBreak);
        Item->OnClick = TNotifyEvent::Bind<&TsSystemMenu::SkinItemClick>(this);
        Root->Add(Item);
    }
}

void TsSystemMenu::SendCommand(WPARAM Command) {
    if (Form && Form->HandleAllocated())
        SendMessageA(Form->Handle(), WM_SYSCOMMAND, Command, 0);
}

void TsSystemMenu::RestoreClick(TObject*) {
    SendCommand(SC_RESTORE);
    UpdateItems(false);
}

void TsSystemMenu::MaximizeClick(TObject*) {
    SendCommand(SC_MAXIMIZE);
    UpdateItems(false);
}

void TsSystemMenu::MinimizeClick(TObject*) {
    if (Provider)
        Provider->MinimizeClosing = true;
    SendCommand(SC_MINIMIZE);
    if (Provider)
        Provider->MinimizeClosing = false;
    UpdateItems(false);
}

void TsSystemMenu::MoveClick(TObject*) { SendCommand(SC_MOVE); }
void TsSystemMenu::SizeClick(TObject*) { SendCommand(SC_SIZE); }
void TsSystemMenu::CloseClick(TObject*) { SendCommand(SC_CLOSE); }

void TsSystemMenu::ExtraItemClick(TObject* Sender) {
    auto* Item = DynCast<TMenuItem>(Sender);
    if (Item && Form && Form->HandleAllocated())
        PostMessageA(Form->Handle(), WM_SYSCOMMAND, static_cast<WPARAM>(static_cast<UINT>(Item->Tag())), 0);
}

void TsSystemMenu::SkinItemClick(TObject* Sender) {
    TsSkinManager* Manager = Provider && Provider->SkinData() ? Provider->SkinData()->GetSkinManager() : nullptr;
    auto* Item = DynCast<TMenuItem>(Sender);
    if (!Manager || !Item)
        return;
    std::string Name;
    for (char C : Item->Caption())
        if (C != '&')
            Name += C;
    if (auto Pos = Name.find(SInternalSkin); Pos != std::string::npos)
        Name.erase(Pos + SInternalSkin.size());
    Manager->SetSkinName(Name);
}
