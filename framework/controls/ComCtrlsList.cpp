#include "ComCtrlsList.h"

#include <algorithm>

namespace {
int AlignmentFormat(TAlignment A) {
    switch (A) {
    case taRightJustify: return LVCFMT_RIGHT;
    case taCenter: return LVCFMT_CENTER;
    default: return LVCFMT_LEFT;
    }
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Columns

TListColumn::TListColumn(TCollection* ACollection) : TCollectionItem(ACollection) {}

void TListColumn::DefineClass(TClassBuilder<TListColumn>& B) {
    B.Property("Alignment", &TListColumn::Alignment, &TListColumn::SetAlignment).Default(taLeftJustify);
    B.Property("Caption", &TListColumn::Caption, &TListColumn::SetCaption).TypeName("TCaption");
    B.Property("ImageIndex", &TListColumn::ImageIndex, &TListColumn::SetImageIndex).TypeName("TImageIndex").Default(-1);
    B.Property("Width", &TListColumn::Width, &TListColumn::SetWidth).Default(50);
}

void TListColumn::Assign(TPersistent* Source) {
    if (auto* C = DynCast<TListColumn>(Source)) {
        FCaption = C->FCaption;
        FWidth = C->FWidth;
        FAlignment = C->FAlignment;
        FImageIndex = C->FImageIndex;
        Changed(false);
        return;
    }
    TCollectionItem::Assign(Source);
}

std::string TListColumn::GetDisplayName() { return FCaption.empty() ? TCollectionItem::GetDisplayName() : FCaption; }

void TListColumn::SetCaption(const std::string& Value) {
    if (Value != FCaption) {
        FCaption = Value;
        Changed(false);
    }
}

void TListColumn::SetWidth(int Value) {
    Value = std::max(Value, 0);
    if (Value != FWidth) {
        FWidth = Value;
        Changed(false);
    }
}

void TListColumn::SetAlignment(TAlignment Value) {
    if (Value != FAlignment) {
        FAlignment = Value;
        Changed(false);
    }
}

void TListColumn::SetImageIndex(int Value) {
    if (Value != FImageIndex) {
        FImageIndex = Value;
        Changed(false);
    }
}

TListColumns::TListColumns(TCustomListView* AOwner) : TCollection(TListColumn::StaticClass()), FOwner(AOwner) {}

TPersistent* TListColumns::GetOwner() { return FOwner; }

void TListColumns::Update(TCollectionItem*) { FOwner->UpdateColumns(); }

// ---------------------------------------------------------------------------------------------
// Items

TListItem::TListItem(TListItems* AOwner) : FOwner(AOwner) {
    FSubItems = Create<TStringList>();
    FSubItems->OnChange = TNotifyEvent::Bind<&TListItem::SubItemsChange>(this);
}

TListItem::~TListItem() { FreeAndNil(FSubItems); }

TCustomListView* TListItem::ListView() const { return FOwner->Owner(); }

int TListItem::Index() const { return FOwner->IndexOf(this); }

void TListItem::SetCaption(const std::string& Value) {
    if (Value != FCaption) {
        FCaption = Value;
        Update();
    }
}

void TListItem::SetImageIndex(int Value) {
    if (Value != FImageIndex) {
        FImageIndex = Value;
        Update();
    }
}

bool TListItem::Selected() const {
    TCustomListView* V = ListView();
    int I = Index();
    if (V->HandleAllocated() && I >= 0)
        return (SendMessageA(V->Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(I), LVIS_SELECTED) & LVIS_SELECTED) != 0;
    return FSelected;
}

void TListItem::SetSelected(bool Value) {
    FSelected = Value;
    TCustomListView* V = ListView();
    int I = Index();
    if (V->HandleAllocated() && I >= 0) {
        LVITEMA Item{};
        Item.stateMask = LVIS_SELECTED;
        Item.state = Value ? LVIS_SELECTED : 0;
        SendMessageA(V->Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&Item));
    }
}

void TListItem::SetChecked(bool Value) {
    FChecked = Value;
    TCustomListView* V = ListView();
    int I = Index();
    if (V->HandleAllocated() && I >= 0 && V->Checkboxes()) {
        LVITEMA Item{};
        Item.stateMask = LVIS_STATEIMAGEMASK;
        Item.state = INDEXTOSTATEIMAGEMASK(Value ? 2 : 1);
        SendMessageA(V->Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&Item));
    }
}

void TListItem::Delete() {
    int I = Index();
    if (I >= 0)
        FOwner->Delete(I);
}

void TListItem::MakeVisible(bool PartialOK) {
    TCustomListView* V = ListView();
    int I = Index();
    if (V->HandleAllocated() && I >= 0)
        SendMessageA(V->Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(I), PartialOK ? 1 : 0);
}

void TListItem::Update() { ListView()->ItemChanged(this); }

void TListItem::Assign(TPersistent* Source) {
    if (auto* S = DynCast<TListItem>(Source)) {
        FCaption = S->FCaption;
        FSubItems->Assign(S->FSubItems);
        FImageIndex = S->FImageIndex;
        FData = S->FData;
        FChecked = S->FChecked;
        Update();
        return;
    }
    TPersistent::Assign(Source);
}

TListItems::TListItems(TCustomListView* AOwner) : FOwner(AOwner) {}

TListItems::~TListItems() {
    for (TListItem* I : FItems)
        I->Free();
    FItems.clear();
    FreeObject(FScratch);
}

TPersistent* TListItems::GetOwner() { return FOwner; }

int TListItems::Count() const { return FOwner->FOwnerData ? FVirtualCount : static_cast<int>(FItems.size()); }

void TListItems::SetCount(int Value) {
    if (!FOwner->FOwnerData)
        return;
    FVirtualCount = std::max(Value, 0);
    if (FOwner->HandleAllocated())
        SendMessageA(FOwner->Handle(), LVM_SETITEMCOUNT, static_cast<WPARAM>(FVirtualCount), 0);
}

TListItem* TListItems::Item(int Index) {
    if (Index < 0 || Index >= Count())
        RaiseListIndexError(Index);
    if (!FOwner->FOwnerData)
        return FItems[static_cast<std::size_t>(Index)];
    // A virtual list asks its owner for the item each time.
    if (!FScratch)
        FScratch = Create<TListItem>(this);
    FScratch->FCaption.clear();
    FScratch->FSubItems->Clear();
    FScratch->FImageIndex = -1;
    FScratch->FData = reinterpret_cast<void*>(static_cast<INT_PTR>(Index));
    FOwner->OnData(FOwner, FScratch);
    return FScratch;
}

TListItem* TListItems::Add() { return AddItem(nullptr, -1); }

TListItem* TListItems::Insert(int Index) { return AddItem(nullptr, Index); }

TListItem* TListItems::AddItem(TListItem* Item, int Index) {
    if (FOwner->FOwnerData)
        return nullptr;
    if (!Item)
        Item = Create<TListItem>(this);
    else
        Item->FOwner = this;
    if (Index < 0 || Index > static_cast<int>(FItems.size()))
        Index = static_cast<int>(FItems.size());
    FItems.insert(FItems.begin() + Index, Item);
    if (FOwner->HandleAllocated()) {
        LVITEMA L{};
        L.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        L.iItem = Index;
        L.pszText = LPSTR_TEXTCALLBACKA;
        L.iImage = I_IMAGECALLBACK;
        L.lParam = reinterpret_cast<LPARAM>(Item);
        SendMessageA(FOwner->Handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&L));
    }
    return Item;
}

void TListItems::Delete(int Index) {
    if (FOwner->FOwnerData) {
        if (Index >= 0 && Index < FVirtualCount)
            SetCount(FVirtualCount - 1);
        return;
    }
    if (Index < 0 || Index >= static_cast<int>(FItems.size()))
        RaiseListIndexError(Index);
    TListItem* Item = FItems[static_cast<std::size_t>(Index)];
    FOwner->Delete(Item);
    FItems.erase(FItems.begin() + Index);
    if (FOwner->HandleAllocated())
        SendMessageA(FOwner->Handle(), LVM_DELETEITEM, static_cast<WPARAM>(Index), 0);
    Item->Free();
}

void TListItems::Clear() {
    BeginUpdate();
    if (FOwner->FOwnerData)
        SetCount(0);
    while (!FItems.empty())
        Delete(static_cast<int>(FItems.size()) - 1);
    EndUpdate();
}

int TListItems::IndexOf(const TListItem* Value) const {
    auto It = std::find(FItems.begin(), FItems.end(), Value);
    return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}

void TListItems::BeginUpdate() { BeginWindowUpdate(FOwner, FUpdateCount); }

void TListItems::EndUpdate() { EndWindowUpdate(FOwner, FUpdateCount); }

void TListItems::Assign(TPersistent* Source) {
    auto* Src = DynCast<TListItems>(Source);
    if (!Src) {
        TPersistent::Assign(Source);
        return;
    }
    if (Src == this)
        return;
    BeginUpdate();
    Clear();
    for (TListItem* I : Src->FItems)
        Add()->Assign(I);
    EndUpdate();
}

// ---------------------------------------------------------------------------------------------
// TCustomListView

TCustomListView::TCustomListView(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks};
    FWidth = 250;
    FHeight = 150;
    FColor = clWindow;
    FParentColor = false;
    SetTabStop(true);
    FColumns = Create<TListColumns>(this);
    FColumns->SetPropName("Columns");
    FListItems = Create<TListItems>(this);
    FCanvas = Create<TCanvas>();
    FImageChangeLink = Create<TChangeLink>();
    FImageChangeLink->OnChange = TNotifyEvent::Bind<&TCustomListView::ImageListChange>(this);
}

TCustomListView::~TCustomListView() {
    FreeAndNil(FListItems);
    FreeAndNil(FColumns);
    FreeAndNil(FCanvas);
    FreeAndNil(FImageChangeLink);
}

void TCustomListView::BeforeDestruction() {
    OnDeletion = nullptr;
    OnData = nullptr;
    TWinControl::BeforeDestruction();
}

void TCustomListView::DefineClass(TClassBuilder<TCustomListView>& B) {
    B.Property("Checkboxes", &TCustomListView::Checkboxes, &TCustomListView::SetCheckboxes).Default(false);
    B.Property("ColumnClick", &TCustomListView::ColumnClick, &TCustomListView::SetColumnClick).Default(true);
    B.Property("Columns", &TCustomListView::Columns, &TCustomListView::SetColumns);
    B.Property("GridLines", &TCustomListView::GridLines, &TCustomListView::SetGridLines).Default(false);
    B.Property("HideSelection", &TCustomListView::HideSelection, &TCustomListView::SetHideSelection).Default(true);
    B.Property("LargeImages", &TCustomListView::LargeImages, &TCustomListView::SetLargeImages);
    B.Property("MultiSelect", &TCustomListView::MultiSelect, &TCustomListView::SetMultiSelect).Default(false);
    B.Property("OwnerData", &TCustomListView::OwnerData, &TCustomListView::SetOwnerData).Default(false);
    B.Property("ReadOnly", &TCustomListView::ReadOnly, &TCustomListView::SetReadOnly).Default(false);
    B.Property("RowSelect", &TCustomListView::RowSelect, &TCustomListView::SetRowSelect).Default(false);
    B.Property("SmallImages", &TCustomListView::SmallImages, &TCustomListView::SetSmallImages);
    B.Property("ViewStyle", &TCustomListView::ViewStyle, &TCustomListView::SetViewStyle).Default(vsIcon);
    B.Property("OnAdvancedCustomDraw", [](TCustomListView* V) { return V->OnAdvancedCustomDraw; },
               [](TCustomListView* V, const TLVCustomDrawEvent& E) { V->OnAdvancedCustomDraw = E; });
    B.Property("OnColumnClick", [](TCustomListView* V) { return V->OnColumnClick; },
               [](TCustomListView* V, const TLVColumnClickEvent& E) { V->OnColumnClick = E; });
    B.Property("OnData", [](TCustomListView* V) { return V->OnData; },
               [](TCustomListView* V, const TLVNotifyEvent& E) { V->OnData = E; });
    B.Property("OnDeletion", [](TCustomListView* V) { return V->OnDeletion; },
               [](TCustomListView* V, const TLVNotifyEvent& E) { V->OnDeletion = E; });
    B.Property("OnSelectItem", [](TCustomListView* V) { return V->OnSelectItem; },
               [](TCustomListView* V, const TLVSelectItemEvent& E) { V->OnSelectItem = E; });
    B.Message<&TCustomListView::CNNotify>(CN_NOTIFY);
}

void TCustomListView::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, WC_LISTVIEWA);
    static constexpr DWORD ViewStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
    Params.Style |= ViewStyles[FViewStyle] | LVS_SHAREIMAGELISTS | (FOwnerData ? LVS_OWNERDATA : 0) |
                    (FReadOnly ? 0 : LVS_EDITLABELS) | (FMultiSelect ? 0 : LVS_SINGLESEL) |
                    (FHideSelection ? 0 : LVS_SHOWSELALWAYS) | (FColumnClick ? 0 : LVS_NOSORTHEADER);
    Params.ExStyle |= WS_EX_CLIENTEDGE;
}

DWORD TCustomListView::ExtendedStyle() const {
    return (FRowSelect ? LVS_EX_FULLROWSELECT : 0) | (FGridLines ? LVS_EX_GRIDLINES : 0) |
           (FCheckboxes ? LVS_EX_CHECKBOXES : 0);
}

void TCustomListView::CreateComponentWindows() {
    TWinControl::CreateComponentWindows();
    SendMessageA(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(ExtendedStyle()));
    ImageListChange(this);
    UpdateColumns();
    UpdateItems();
}

void TCustomListView::DestroyWnd() {
    // Selection and check marks outlive the window in the items.
    if (!FOwnerData)
        for (TListItem* I : FListItems->FItems) {
            I->FSelected = I->Selected();
            if (FCheckboxes)
                I->FChecked = ((SendMessageA(FHandle, LVM_GETITEMSTATE, static_cast<WPARAM>(I->Index()),
                                             LVIS_STATEIMAGEMASK) >> 12) & 0xF) == 2;
        }
    FFilling = true;
    TWinControl::DestroyWnd();
    FFilling = false;
}

void TCustomListView::UpdateColumns() {
    if (!HandleAllocated())
        return;
    while (SendMessageA(FHandle, LVM_DELETECOLUMN, 0, 0)) {
    }
    for (int I = 0; I < FColumns->Count(); ++I) {
        TListColumn* C = FColumns->Items(I);
        std::string Text = C->Caption();
        LVCOLUMNA Col{};
        Col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        Col.fmt = AlignmentFormat(C->Alignment());
        Col.cx = C->Width();
        Col.pszText = Text.data();
        if (C->ImageIndex() >= 0) {
            Col.mask |= LVCF_IMAGE;
            Col.iImage = C->ImageIndex();
        }
        SendMessageA(FHandle, LVM_INSERTCOLUMNA, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&Col));
    }
}

void TCustomListView::UpdateItems() {
    if (!HandleAllocated())
        return;
    FFilling = true;
    SendMessageA(FHandle, LVM_DELETEALLITEMS, 0, 0);
    if (FOwnerData)
        SendMessageA(FHandle, LVM_SETITEMCOUNT, static_cast<WPARAM>(FListItems->FVirtualCount), 0);
    else
        for (std::size_t N = 0; N < FListItems->FItems.size(); ++N) {
            TListItem* Item = FListItems->FItems[N];
            LVITEMA L{};
            L.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
            L.iItem = static_cast<int>(N);
            L.pszText = LPSTR_TEXTCALLBACKA;
            L.iImage = I_IMAGECALLBACK;
            L.lParam = reinterpret_cast<LPARAM>(Item);
            L.stateMask = LVIS_SELECTED | (FCheckboxes ? LVIS_STATEIMAGEMASK : 0);
            L.state = (Item->FSelected ? LVIS_SELECTED : 0) |
                      (FCheckboxes ? INDEXTOSTATEIMAGEMASK(Item->FChecked ? 2 : 1) : 0);
            SendMessageA(FHandle, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&L));
        }
    FFilling = false;
}

void TCustomListView::ItemChanged(TListItem* Item) {
    int I = Item->Index();
    if (HandleAllocated() && I >= 0)
        SendMessageA(FHandle, LVM_UPDATE, static_cast<WPARAM>(I), 0);
}



void TCustomListView::SetViewStyle(TViewStyle Value) {
    if (Value == FViewStyle)
        return;
    FViewStyle = Value;
    if (HandleAllocated())
        RecreateWnd();
}

void TCustomListView::SetOwnerData(bool Value) {
    if (Value == FOwnerData)
        return;
    // Switching kinds empties the list: the items of one kind mean nothing to the other.
    FListItems->Clear();
    FListItems->FVirtualCount = 0;
    SetStyleFlag(this, FOwnerData, Value);
}

void TCustomListView::SetReadOnly(bool Value) { SetStyleFlag(this, FReadOnly, Value); }
void TCustomListView::SetMultiSelect(bool Value) { SetStyleFlag(this, FMultiSelect, Value); }
void TCustomListView::SetHideSelection(bool Value) { SetStyleFlag(this, FHideSelection, Value); }
void TCustomListView::SetColumnClick(bool Value) { SetStyleFlag(this, FColumnClick, Value); }

void TCustomListView::SetRowSelect(bool Value) {
    FRowSelect = Value;
    if (HandleAllocated())
        SendMessageA(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(ExtendedStyle()));
}

void TCustomListView::SetGridLines(bool Value) {
    FGridLines = Value;
    if (HandleAllocated())
        SendMessageA(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(ExtendedStyle()));
}

void TCustomListView::SetCheckboxes(bool Value) { SetStyleFlag(this, FCheckboxes, Value); }


void TCustomListView::SetSmallImages(TCustomImageList* Value) {
    if (Value == FSmallImages)
        return;
    // One change link serves both lists, and a link belongs to one list at a time: the small
    // list's changes are heard, the large one is read whenever the images are set again. The
    // same list may be both, so the other keeps its free notification.
    SetImageListOf(this, FSmallImages, Value, FImageChangeLink);
    if (FLargeImages)
        FLargeImages->FreeNotification(this);
    ImageListChange(this);
}

void TCustomListView::SetLargeImages(TCustomImageList* Value) {
    if (Value == FLargeImages)
        return;
    if (FLargeImages)
        FLargeImages->RemoveFreeNotification(this);
    FLargeImages = Value;
    if (FLargeImages)
        FLargeImages->FreeNotification(this);
    if (FSmallImages)
        FSmallImages->FreeNotification(this);
    ImageListChange(this);
}

void TCustomListView::ImageListChange(TObject*) {
    if (!HandleAllocated())
        return;
    SendMessageA(FHandle, LVM_SETIMAGELIST, LVSIL_SMALL,
                 reinterpret_cast<LPARAM>(FSmallImages ? FSmallImages->Handle() : nullptr));
    SendMessageA(FHandle, LVM_SETIMAGELIST, LVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(FLargeImages ? FLargeImages->Handle() : nullptr));
}

void TCustomListView::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FSmallImages)
        SetSmallImages(nullptr);
    if (AComponent == FLargeImages)
        SetLargeImages(nullptr);
}

TListItem* TCustomListView::Selected() {
    int I = ItemIndex();
    return I >= 0 ? FListItems->Item(I) : nullptr;
}

void TCustomListView::SetSelected(TListItem* Value) {
    if (Value && Value->FOwner != FListItems)
        return;
    if (!FOwnerData)
        for (TListItem* I : FListItems->FItems)
            if (I != Value && I->Selected())
                I->SetSelected(false);
    if (Value)
        Value->SetSelected(true);
}

int TCustomListView::ItemIndex() {
    if (HandleAllocated())
        return static_cast<int>(SendMessageA(FHandle, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (!FOwnerData)
        for (std::size_t N = 0; N < FListItems->FItems.size(); ++N)
            if (FListItems->FItems[N]->FSelected)
                return static_cast<int>(N);
    return -1;
}

void TCustomListView::SetItemIndex(int Value) {
    if (Value < 0 || Value >= FListItems->Count()) {
        SetSelected(nullptr);
        if (HandleAllocated()) {
            LVITEMA Item{};
            Item.stateMask = LVIS_SELECTED;
            SendMessageA(FHandle, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&Item));
        }
        return;
    }
    if (FOwnerData) {
        if (HandleAllocated()) {
            LVITEMA Item{};
            Item.stateMask = LVIS_SELECTED;
            SendMessageA(FHandle, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&Item));
            Item.state = LVIS_SELECTED;
            SendMessageA(FHandle, LVM_SETITEMSTATE, static_cast<WPARAM>(Value), reinterpret_cast<LPARAM>(&Item));
        }
        return;
    }
    SetSelected(FListItems->FItems[static_cast<std::size_t>(Value)]);
}

int TCustomListView::SelCount() {
    if (HandleAllocated())
        return static_cast<int>(SendMessageA(FHandle, LVM_GETSELECTEDCOUNT, 0, 0));
    return static_cast<int>(std::count_if(FListItems->FItems.begin(), FListItems->FItems.end(),
                                          [](TListItem* I) { return I->FSelected; }));
}

TListItem* TCustomListView::GetItemAt(int X, int Y) {
    if (!HandleAllocated())
        return nullptr;
    LVHITTESTINFO Hit{};
    Hit.pt = POINT{X, Y};
    int I = static_cast<int>(SendMessageA(FHandle, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&Hit)));
    return I >= 0 && I < FListItems->Count() ? FListItems->Item(I) : nullptr;
}

HWND TCustomListView::HeaderHandle() {
    return HandleAllocated() ? reinterpret_cast<HWND>(SendMessageA(FHandle, LVM_GETHEADER, 0, 0)) : nullptr;
}

bool TCustomListView::CustomDraw(const TRect& ARect, TCustomDrawStage Stage) {
    bool DefaultDraw = true;
    OnAdvancedCustomDraw(this, ARect, Stage, DefaultDraw);
    return DefaultDraw;
}

void TCustomListView::CNNotify(TMessage& Message) {
    auto* H = reinterpret_cast<NMHDR*>(Message.LParam);
    Message.Result = 0;
    switch (H->code) {
    case LVN_GETDISPINFOA: {
        auto* D = reinterpret_cast<NMLVDISPINFOA*>(Message.LParam);
        int Index = D->item.iItem;
        if (Index < 0 || Index >= FListItems->Count())
            return;
        TListItem* Item = FListItems->Item(Index);
        if (D->item.mask & LVIF_TEXT) {
            int Sub = D->item.iSubItem;
            FDispText = Sub == 0 ? Item->FCaption
                                 : (Sub - 1 < Item->FSubItems->Count() ? Item->FSubItems->Strings(Sub - 1) : std::string());
            if (D->item.pszText && D->item.cchTextMax > 0) {
                std::size_t N = std::min(FDispText.size(), static_cast<std::size_t>(D->item.cchTextMax - 1));
                FDispText.copy(D->item.pszText, N);
                D->item.pszText[N] = '\0';
            }
        }
        if (D->item.mask & LVIF_IMAGE)
            D->item.iImage = Item->FImageIndex;
        return;
    }
    case LVN_ITEMCHANGED: {
        if (FFilling || FComponentState.Contains(csDestroying))
            return;
        auto* N = reinterpret_cast<NMLISTVIEW*>(Message.LParam);
        if ((N->uChanged & LVIF_STATE) && ((N->uOldState ^ N->uNewState) & LVIS_SELECTED) && N->iItem >= 0 &&
            N->iItem < FListItems->Count())
            OnSelectItem(this, FListItems->Item(N->iItem), (N->uNewState & LVIS_SELECTED) != 0);
        return;
    }
    case LVN_COLUMNCLICK: {
        auto* N = reinterpret_cast<NMLISTVIEW*>(Message.LParam);
        if (N->iSubItem >= 0 && N->iSubItem < FColumns->Count())
            ColClick(FColumns->Items(N->iSubItem));
        return;
    }
    case LVN_DELETEITEM:
        // The items, not the window, decide what is deleted (see TListItems::Delete).
        return;
    case NM_CUSTOMDRAW: {
        auto* D = reinterpret_cast<NMLVCUSTOMDRAW*>(Message.LParam);
        if (!OnAdvancedCustomDraw || D->nmcd.dwDrawStage != CDDS_PREPAINT) {
            Message.Result = CDRF_DODEFAULT;
            return;
        }
        FCanvas->SetHandle(D->nmcd.hdc);
        bool Default = true;
        try {
            Default = CustomDraw(TRect::From(D->nmcd.rc), cdPrePaint);
        } catch (...) {
            FCanvas->SetHandle(nullptr);
            throw;
        }
        FCanvas->SetHandle(nullptr);
        Message.Result = Default ? CDRF_DODEFAULT : CDRF_SKIPDEFAULT;
        return;
    }
    default: break;
    }
    InheritedDispatch(StaticClass(), Message);
}
