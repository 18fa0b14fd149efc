#include "acCtrlAdapter.h"

#include "acSBUtilsButtons.h"
#include "acSBUtilsCombo.h"
#include "acSBUtilsList.h"
#include "acSBUtilsPanels.h"
#include "acSBUtilsTabs.h"
#include "acSBUtilsToolBar.h"
#include "acSBUtilsTree.h"
#include "acntUtils.h"
#include "sLabel.h"
#include "sMessages.h"
#include "sVclUtils.h"

#include <algorithm>

bool AdaptingControls = false;
bool AdapterRemovingItems = false;

namespace {

// The library's own windows carry this tag and are never wrapped.
constexpr LongInt LibraryWindowTag = -98;

bool AnswersSkinned(TWinControl* W) { return W->HandleAllocated() && AnswersSkinCommand(W->Handle(), SKIN_ISSKINNED); }

bool IsFlat(TControl* C) {
    if (auto* B = DynCast<TSpeedButton>(C))
        return B->Flat();
    return PropertyExists(C, "Flat") && GetOrdPropByName(C, "Flat") != 0;
}

TacMainWnd* MakeHook(int ListIndex, TWinControl* W, const std::string& Section, TsSkinManager* M, TsCommonData* D) {
    HWND H = W->Handle();
    switch (ListIndex) {
    case ctEdits: return Create<TacEditWnd>(H, true, Section, M, D);
    case ctButtons: return Create<TacBtnWnd>(H, true, Section, M, D);
    case ctBitBtns: return Create<TacBitBtnWnd>(H, true, Section, M, D);
    case ctCheckBoxes: return Create<TacCheckBoxWnd>(H, true, Section, M, D);
    case ctComboBoxes: return Create<TacComboBoxWnd>(H, true, Section, M, D);
    case ctGrids: return Create<TacGridWnd>(H, true, Section, M, D);
    case ctGroupBoxes: return Create<TacGroupBoxWnd>(H, true, Section, M, D);
    case ctListViews: return Create<TacListViewWnd>(H, true, Section, M, D);
    case ctPanels: return Create<TacPanelWnd>(H, true, Section, M, D);
    case ctTreeViews: return Create<TacTreeViewWnd>(H, true, Section, M, D);
    case ctWWEdits: return TacWWComboBoxWnd::CreateEx(W, true, Section, M, D);
    case ctGridEh: return Create<TacGridEhWnd>(H, true, Section, M, D);
    case ctVirtualTrees: return Create<TacVirtualTreeViewWnd>(H, true, Section, M, D);
    case ctPageControl: return Create<TacPageControlWnd>(H, true, Section, M, D);
    case ctTabControl: return Create<TacTabControlWnd>(H, true, Section, M, D);
    case ctToolBar: return Create<TacToolBarVCLWnd>(H, true, Section, M, D);
    case ctStatusBar: return Create<TacStatusBarWnd>(H, true, Section, M, D);
    default: return nullptr;
    }
}

// A skin data's section as a hook takes it: none when it fell back to "UNKNOWN".
std::string GivenSection(TsCommonData* D) { return D->SkinSection() == "UNKNOWN" ? std::string() : D->SkinSection(); }

}  // namespace

int ThirdPartyListIndexOf(TsSkinManager* Manager, const std::string& ClassName) {
    if (!Manager)
        return -1;
    for (int I = 0; I < ThirdPartyCategoryCount; ++I) {
        TStringList* L = Manager->ThirdLists[static_cast<std::size_t>(I)];
        for (int J = 0; L && J < L->Count(); ++J)
            if (L->Strings(J) == ClassName)
                return I;
    }
    return -1;
}

// ---------------------------------------------------------------------------------------------
// Items

TacAdapterItem::TacAdapterItem(TacCtrlAdapter* AAdapter) : Adapter(AAdapter) {
    SkinData = Create<TsCommonData>(this, true);
    SkinData->ControlKind = 227;
}

TacAdapterItem::~TacAdapterItem() {
    FreeAndNil(ScrollWnd);
    FreeAndNil(SkinData);
}

void TacAdapterItem::DoHook(TWinControl* AControl) {
    if (!AControl || AControl->Tag() == LibraryWindowTag || !AControl->HandleAllocated() || !AControl->Parent() ||
        AnswersSkinned(AControl))
        return;
    Control = AControl;
    SkinData->HostControl = AControl;
    SkinData->HostObject = AControl;
    TsSkinManager* M = SkinData->GetSkinManager();
    if (!M)
        return;
    ScrollWnd = MakeHook(ThirdPartyListIndexOf(M, AControl->ClassName()), AControl, GivenSection(SkinData), M, SkinData);
}

TacGraphItem::TacGraphItem(TacCtrlAdapter* AAdapter) : Adapter(AAdapter) {
    SkinData = Create<TsCommonData>(this, true);
    SkinData->ControlKind = 227;
}

TacGraphItem::~TacGraphItem() {
    FreeAndNil(Handler);
    FreeAndNil(SkinData);
}

void TacGraphItem::DoHook(TControl* AControl) {
    if (!AControl || AControl->Tag() == LibraryWindowTag)
        return;
    Control = AControl;
    SkinData->HostControl = AControl;
    SkinData->HostObject = AControl;
    Handler = Create<TacSpeedButtonHandler>(AControl, true, SkinData->SkinSection(), SkinData->GetSkinManager(), SkinData);
}

// ---------------------------------------------------------------------------------------------
// The adapter

TacCtrlAdapter::TacCtrlAdapter(TacFormProvider* AProvider, const TAddItemEvent* AOnSkinItem)
    : Provider(AProvider), OnSkinItem(AOnSkinItem) {}

TacCtrlAdapter::~TacCtrlAdapter() {
    CleanItems();
    RemoveAllItems();
}

bool TacCtrlAdapter::AskProvider(TComponent* Component, std::string& Section) {
    bool CanBeAdded = true;
    if (OnSkinItem && *OnSkinItem)
        (*OnSkinItem)(Component, CanBeAdded, Section);
    return CanBeAdded;
}

bool TacCtrlAdapter::IsControlSupported(TControl* Control) {
    if (!Control || Control->Tag() == LibraryWindowTag)
        return false;
    if (auto* W = DynCast<TWinControl>(Control))
        return W->HandleAllocated() && !AnswersSkinned(W) && ThirdPartyListIndexOf(DefaultManager, W->ClassName()) >= 0;
    std::string Section;
    if (DynCast<TCustomLabel>(Control))
        return AskProvider(Control, Section);
    if (DynCast<TSpeedButton>(Control))
        return ThirdPartyListIndexOf(DefaultManager, Control->ClassName()) >= 0 && AskProvider(Control, Section);
    return false;
}

TacAdapterItem* TacCtrlAdapter::GetItem(int Index) {
    return Index >= 0 && Index < Count() ? Items[static_cast<std::size_t>(Index)] : nullptr;
}

void TacCtrlAdapter::AdaptControls(TWinControl* Control) {
    TsSkinManager* M = DefaultManager;
    if (AdaptingControls || !M || !M->SkinningRules.Contains(srThirdParty))
        return;
    AdaptingControls = true;
    if (!Control && Provider)
        Control = Provider->ProviderForm();
    if (!Control) {
        AdaptingControls = false;
        return;
    }
    CleanItems();
    auto Recurse = [&](TComponent* C) {
        auto* W = DynCast<TWinControl>(C);
        if (W && W->HandleAllocated() && W->Parent()) {
            AdaptingControls = false;
            AdaptControls(W);
        }
    };
    for (int I = 0; I < Control->ComponentCount(); ++I) {
        TComponent* C = Control->Components(I);
        auto* AsControl = DynCast<TControl>(C);
        if (AsControl && IsControlSupported(AsControl)) {
            if (DynCast<TWinControl>(C)) {
                AddNewItem(C, "");
            } else if (auto* L = DynCast<TCustomLabel>(C); L && !DynCast<TsCustomLabel>(C) && L->Tag() != 98) {
                L->SetTransparent(true);
                L->Font()->SetColor(M->GetMainFontColor());
            }
        }
        Recurse(C);
    }
    for (int I = 0; I < Control->ControlCount(); ++I) {
        TControl* C = Control->Controls(I);
        if (IsControlSupported(C)) {
            if (DynCast<TWinControl>(C)) {
                AddNewItem(C, "");
            } else if (auto* L = DynCast<TLabel>(C)) {
                L->SetTransparent(true);
                L->Font()->SetColor(M->GetMainFontColor());
            } else if (DynCast<TSpeedButton>(C)) {
                AddNewGraphItem(C);
            }
        }
        Recurse(C);
    }
    AdaptingControls = false;
}

void TacCtrlAdapter::AddNewItem(TComponent* Component, const std::string& Section) {
    auto* W = DynCast<TWinControl>(Component);
    if (!W || W->Tag() == LibraryWindowTag || !W->Parent() || AnswersSkinned(W))
        return;
    std::string S = Section;
    if (!AskProvider(Component, S))
        return;
    auto It = std::find_if(Items.begin(), Items.end(), [&](TacAdapterItem* I) { return I->Control == W; });
    const bool IsNew = It == Items.end();
    TacAdapterItem* Item = IsNew ? nullptr : *It;
    if (IsNew) {
        Item = Create<TacAdapterItem>(this);
        Item->Control = W;
        Items.push_back(Item);
    }
    Item->SkinData->SetSkinSection(S);
    if (!IsNew) {
        if (Item->ScrollWnd && Item->ScrollWnd->Unhooked) {
            FreeAndNil(Item->ScrollWnd);
            if (W->Parent())
                Item->DoHook(W);
        }
        return;
    }
    if (W->Parent())
        Item->DoHook(W);
    if (!Item->ScrollWnd) {
        Items.pop_back();
        FreeAndNil(Item);
    }
}

void TacCtrlAdapter::AddNewGraphItem(TControl* Control) {
    if (!Control || Control->Tag() == LibraryWindowTag || !Control->Parent() ||
        SendSkinCommandTo(Control, SKIN_ISSKINNED, 0) == 1)
        return;
    std::string S = "SPEEDBUTTON";
    if (!AskProvider(Control, S))
        return;
    auto It = std::find_if(GraphItems.begin(), GraphItems.end(), [&](TacGraphItem* I) { return I->Control == Control; });
    const bool IsNew = It == GraphItems.end();
    TacGraphItem* Item = IsNew ? nullptr : *It;
    if (IsNew) {
        Item = Create<TacGraphItem>(this);
        Item->Control = Control;
        GraphItems.push_back(Item);
    }
    // The section follows the button's look, whatever the provider answered.
    Item->SkinData->SetSkinSection(IsFlat(Control) ? "SPEEDBUTTON_SMALL" : "SPEEDBUTTON");
    if (!IsNew) {
        if (Item->Handler && Item->Handler->Unhooked) {
            FreeAndNil(Item->Handler);
            Item->DoHook(Control);
        }
        return;
    }
    if (Control->Parent())
        Item->DoHook(Control);
    if (!Item->Handler) {
        GraphItems.pop_back();
        FreeAndNil(Item);
    }
}

void TacCtrlAdapter::RemoveItem(int Index) {
    if (Index < 0 || Index >= Count())
        return;
    FreeAndNil(Items[static_cast<std::size_t>(Index)]);
    Items[static_cast<std::size_t>(Index)] = Items.back();
    Items.pop_back();
}

void TacCtrlAdapter::SendToItems(TMessage& Message) {
    for (TacAdapterItem* I : Items)
        if (I->ScrollWnd && !I->ScrollWnd->Unhooked && I->Control && I->Control->Parent() && I->Control->HandleAllocated())
            SendMessageA(I->Control->Handle(), Message.Msg, Message.WParam, Message.LParam);
}

void TacCtrlAdapter::CleanItems() {
    auto Dead = [](auto* Hook) { return !Hook || Hook->Unhooked; };
    std::vector<TacAdapterItem*> LiveItems;
    for (TacAdapterItem* I : Items)
        if (Dead(I->ScrollWnd))
            FreeObject(I);
        else
            LiveItems.push_back(I);
    Items.swap(LiveItems);
    std::vector<TacGraphItem*> LiveGraphs;
    for (TacGraphItem* I : GraphItems)
        if (Dead(I->Handler))
            FreeObject(I);
        else
            LiveGraphs.push_back(I);
    GraphItems.swap(LiveGraphs);
}

void TacCtrlAdapter::RemoveAllItems() {
    if (AdapterRemovingItems)
        return;
    AdapterRemovingItems = true;
    while (!Items.empty()) {
        FreeObject(Items.back());
        Items.pop_back();
    }
    while (!GraphItems.empty()) {
        FreeObject(GraphItems.back());
        GraphItems.pop_back();
    }
    AdapterRemovingItems = false;
}
