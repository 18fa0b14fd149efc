#include "acShellCtrlsCombo.h"

#include "ComObj.h"
#include "acShellCtrlsList.h"
#include "acShellCtrlsTree.h"
#include "sMessages.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace {

// Sets a flag for a scope and clears it on every way out.
struct TFlagOn {
    bool& Flag;
    explicit TFlagOn(bool& F) : Flag(F) { Flag = true; }
    ~TFlagOn() { Flag = false; }
};

// The items changed in one go: the strings shown are made again at the end.
struct TItemsUpdate {
    TsCustomComboBoxEx* Box;
    explicit TItemsUpdate(TsCustomComboBoxEx* B) : Box(B) { Box->ItemsEx()->BeginUpdate(); }
    ~TItemsUpdate() {
        Box->ItemsEx()->EndUpdate();
        Box->UpdateItems();
    }
};

TacShellFolder* FolderOfItem(TsComboItem* Item) { return Item ? static_cast<TacShellFolder*>(Item->Data) : nullptr; }

}  // namespace

TacCustomShellComboBox::TacCustomShellComboBox(TComponent* AOwner) : TsComboBoxEx(AOwner) {
    Loading = true;
    SHFILEINFOA Info{};
    SystemImages = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &Info, sizeof(Info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    ReadIconSize();
    Updating = false;
}

TacCustomShellComboBox::~TacCustomShellComboBox() {
    for (int I = 0; I < ItemsEx()->Count(); ++I) {
        FreeObject(FolderOfItem(ItemsEx()->Items(I)));
        ItemsEx()->Items(I)->Data = nullptr;
    }
    FreeAndNil(RootFolder);
}

void TacCustomShellComboBox::BeforeDestruction() {
    if (Images() && Images() == SharedSystemImages)
        SetImages(nullptr);
    TsComboBoxEx::BeforeDestruction();
}

void TacCustomShellComboBox::ReadIconSize() {
    IconWidth = IconHeight = 16;
    if (FUseShellImages && SystemImages)
        ImageList_GetIconSize(SystemImages, &IconWidth, &IconHeight);
}

void TacCustomShellComboBox::SetRoot(const TacRoot& Value) {
    if (CompareText(Value, FRoot) == 0)
        return;
    FOldRoot = FRoot;
    FRoot = Value;
    RootChanged();
}

void TacCustomShellComboBox::RootChanged() {
    {
        TFlagOn On(Updating);
        DropAllItems();
        BuildRoot();
    }
    if (FShellTreeView)
        FShellTreeView->SetRoot(FRoot);
    if (FShellListView)
        FShellListView->SetRoot(FRoot);
}

void TacCustomShellComboBox::SetObjectTypes(TacShellObjectTypes Value) {
    FObjectTypes = Value;
    RootChanged();
}

TacShellFolder* TacCustomShellComboBox::FolderAt(int Index) {
    const int Count = ItemsEx()->Count();
    if (Count == 0 || Index < 0)
        return nullptr;
    return FolderOfItem(ItemsEx()->Items(std::min(Index, Count - 1)));
}

int TacCustomShellComboBox::IndexOfId(PItemIDList ID) {
    TacShellRef<IShellFolder> Desktop = GetDesktopShellFolder();
    for (int I = ItemsEx()->Count() - 1; I >= 0; --I)
        if (TacShellFolder* F = FolderAt(I); F && Desktop->CompareIDs(0, F->AbsoluteID(), ID) == 0)
            return I;
    return -1;
}

int TacCustomShellComboBox::IconIndexOf(TacShellFolder* Folder) {
    return Folder ? GetShellImageIndex(Folder->AbsoluteID(), false, false) : -1;
}

TacShellFolder* TacCustomShellComboBox::MakeChildFolder(TacShellFolder* Folder, PItemIDList ID) {
    TacShellRef<IShellFolder> Sub = BindItemShellFolder(Folder->ShellFolder(), ID, nullptr);
    return Create<TacShellFolder>(Folder, ID, Sub.Get());
}

void TacCustomShellComboBox::InsertFolderItem(int Index, TacShellFolder* Folder) {
    auto* Item = static_cast<TsComboItem*>(ItemsEx()->Insert(Index));
    Item->SetCaption(Folder->DisplayName(seSystem));
    Item->Data = Folder;
    Item->SetIndend(Folder->Level());
    Item->SetImageIndex(IconIndexOf(Folder));
    Item->SetSelectedImageIndex(Item->ImageIndex());
}

void TacCustomShellComboBox::SetUseShellImages(bool Value) {
    FUseShellImages = Value;
    if (Value && SystemImages && !ComponentState().Contains(csDesigning) &&
        (!Images() || Images() == SharedSystemImages)) {
        if (!SharedSystemImages) {
            auto* L = Create<TImageList>(nullptr);
            L->SetShareImages(true);
            L->SetHandle(SystemImages);
            SharedSystemImages = L;
        }
        SetImages(SharedSystemImages);
    } else if (!Value && Images() == SharedSystemImages) {
        SetImages(nullptr);
    }
    ReadIconSize();
}

void TacCustomShellComboBox::DropAllItems() {
    TItemsUpdate Update(this);
    for (int I = 0; I < ItemsEx()->Count(); ++I) {
        FreeObject(FolderOfItem(ItemsEx()->Items(I)));
        ItemsEx()->Items(I)->Data = nullptr;
    }
    ItemsEx()->Clear();
}

void TacCustomShellComboBox::BuildRoot() {
    if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDesigning))
        return;
    DropAllItems();
    TacShellFolder* Old = RootFolder;
    RootFolder = nullptr;
    RootFolder = ResolveRootFolder(Old, FOldRoot, FRoot);
    {
        TItemsUpdate Update(this);
        auto* F = Create<TacShellFolder>(nullptr, RootFolder->AbsoluteID(), RootFolder->ShellFolder());
        const int Image = IconIndexOf(F);
        ItemsEx()->AddItem(F->DisplayName(seSystem), Image, Image, -1, 0, F);
        Populate();
    }
    // Without a window the selection is made when the window is (CreateWnd).
    if (HandleAllocated())
        SetItemIndex(0);
    // The list is applied again only when it is not in place: taking it off and on would make the
    // window again, and a window made again drops its items.
    if (FUseShellImages && Images() != SharedSystemImages)
        SetUseShellImages(true);
}

void TacCustomShellComboBox::Populate() {
    TItemsUpdate Update(this);
    AddFolderItems(0, RootFolder);
    if (FRoot == "rfDesktop") {
        PItemIDList Drives = nullptr;
        if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &Drives)) && Drives) {
            const int At = IndexOfId(Drives);
            FreeItemIdList(Drives);
            if (At >= 0)
                AddFolderItems(At, FolderAt(At));
        }
    }
}

void TacCustomShellComboBox::AddFolderItems(int AfterIndex, TacShellFolder* Folder) {
    if (!Folder || !Folder->ShellFolder())
        return;
    TacShellRef<IEnumIDList> Enum;
    OleCheck(Folder->ShellFolder()->EnumObjects(nullptr, ObjectTypesToFlags(FObjectTypes),
                                                reinterpret_cast<IEnumIDList**>(Enum.OutPtr())));
    if (!Enum)
        return;
    std::vector<PItemIDList> IDs;
    struct TFreeIds {
        std::vector<PItemIDList>& List;
        ~TFreeIds() {
            for (PItemIDList ID : List)
                FreeItemIdList(ID);
        }
    } FreeIds{IDs};
    PITEMID_CHILD ID = nullptr;
    ULONG Fetched = 0;
    while (Enum->Next(1, &ID, &Fetched) == S_OK)
        IDs.push_back(const_cast<PItemIDList>(reinterpret_cast<LPCITEMIDLIST>(ID)));
    // The shell's own order of its first column.
    SortParentFolder = Folder;
    struct TClearSort {
        ~TClearSort() { SortParentFolder = nullptr; }
    } ClearSort;
    IShellFolder* Parent = Folder->ShellFolder();
    std::stable_sort(IDs.begin(), IDs.end(), [Parent](PItemIDList A, PItemIDList B) {
        return static_cast<SHORT>(HRESULT_CODE(Parent->CompareIDs(0, A, B))) < 0;
    });
    TItemsUpdate Update(this);
    for (std::size_t K = 0; K < IDs.size(); ++K) {
        const int Index = AfterIndex + 1 + static_cast<int>(K);
        InsertFolderItem(Index, MakeChildFolder(Folder, IDs[K]));
        if (OnGetImageIndex && FUseShellImages) {
            TsComboItem* Item = ItemsEx()->Items(Index);
            int Image = Item->ImageIndex();
            OnGetImageIndex(this, Index, Image);
            Item->SetImageIndex(Image);
        }
    }
}

void TacCustomShellComboBox::SelectPathById(PItemIDList ID) {
    {
        TItemsUpdate Update(this);
        AddPathItems(ID);
    }
    // Chosen once the strings shown are made again: making them clears the selection.
    if (HandleAllocated())
        SetItemIndex(IndexOfId(ID));
}

void TacCustomShellComboBox::AddPathItems(PItemIDList ID) {
    BuildRoot();
    TList* Ancestors = AncestorIdLists(ID);
    struct TFreeList {
        TList* L;
        ~TFreeList() { FreeIdListList(L); }
    } FreeList{Ancestors};
    int I = -1, Deepest = -1;
    for (int A = Ancestors->Count() - 1; A >= 0 && I < 0; --A)
        if ((I = IndexOfId(static_cast<PItemIDList>(Ancestors->Items(A)))) >= 0)
            Deepest = A;
    if (I < 0)
        return;
    for (int A = Deepest + 1; A < Ancestors->Count(); ++A) {
        InsertFolderItem(I + 1, MakeChildFolder(FolderAt(I), LastItemIdOf(static_cast<PItemIDList>(Ancestors->Items(A)))));
        ++I;
    }
    if (IndexOfId(ID) < 0)
        InsertFolderItem(I + 1, MakeChildFolder(FolderAt(I), LastItemIdOf(ID)));
}

void TacCustomShellComboBox::SelectItemId(PItemIDList ID) {
    if (IsUpdating())
        return;
    if (TacShellFolder* F = GetItemIndex() >= 0 ? FolderAt(GetItemIndex()) : nullptr; F && SameItemIdLists(F->AbsoluteID(), ID))
        return;
    {
        TFlagOn On(Updating);
        SelectPathById(ID);
    }
    OnChange(this);
}

void TacCustomShellComboBox::Click() {
    if (TacShellFolder* F = GetItemIndex() >= 0 ? FolderAt(GetItemIndex()) : nullptr) {
        PItemIDList Chosen = CopyItemIdList(F->AbsoluteID());
        try {
            TFlagOn On(Updating);
            SelectPathById(Chosen);
        } catch (...) {
            FreeItemIdList(Chosen);
            throw;
        }
        FreeItemIdList(Chosen);
    }
    TsComboBoxEx::Click();
}

void TacCustomShellComboBox::Change() {
    if (ItemsEx()->UpdateCount() > 0)
        return;
    TsComboBoxEx::Change();
    TacShellFolder* F = GetItemIndex() >= 0 ? FolderAt(GetItemIndex()) : nullptr;
    if (!F || IsUpdating() || (HandleAllocated() && DroppedDown()))
        return;
    TFlagOn On(Updating);
    if (FShellTreeView)
        FShellTreeView->SelectItemId(F->AbsoluteID());
    if (FShellListView)
        FShellListView->ShowItemId(F->AbsoluteID());
}

void TacCustomShellComboBox::WndProc(TMessage& Message) {
    TsComboBoxEx::WndProc(Message);
    if (!SystemImages)
        return;
    if (Message.Msg == CM_SHOWINGCHANGED)
        ImageList_SetBkColor(SystemImages, ColorToRGB(Color()));
    else if (Message.Msg == SM_ALPHACMD && SkinCommandOf(Message.WParam) == SKIN_REFRESH)
        ImageList_SetBkColor(SystemImages, static_cast<COLORREF>(Color()));
}

void TacCustomShellComboBox::CreateWnd() {
    TsComboBoxEx::CreateWnd();
    SetUseShellImages(FUseShellImages);
    if (ItemsEx()->Count() == 0 && !IsUpdating())
        BuildRoot();
    else if (ItemsEx()->Count() > 0 && GetItemIndex() < 0)
        SetItemIndex(0);
}

void TacCustomShellComboBox::DestroyWnd() {
    DropAllItems();
    TsComboBoxEx::DestroyWnd();
}

void TacCustomShellComboBox::Loaded() {
    TsComboBoxEx::Loaded();
    Loading = false;
}

void TacCustomShellComboBox::AfterConstruction() {
    TsComboBoxEx::AfterConstruction();
    // A combo box made in code is never loaded: it is ready once it exists.
    if (!ComponentState().Contains(csLoading))
        Loading = false;
}

void TacCustomShellComboBox::Notification(TComponent* AComponent, TOperation Operation) {
    TsComboBoxEx::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FShellTreeView)
        FShellTreeView = nullptr;
    if (AComponent == FShellListView)
        FShellListView = nullptr;
}

void TacCustomShellComboBox::SetShellTreeView(TacCustomShellTreeView* Value) {
    if (FShellTreeView == Value)
        return;
    if (FShellTreeView)
        FShellTreeView->RemoveFreeNotification(this);
    FShellTreeView = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TacCustomShellComboBox::SetShellListView(TacCustomShellListView* Value) {
    if (FShellListView == Value)
        return;
    if (FShellListView)
        FShellListView->RemoveFreeNotification(this);
    FShellListView = Value;
    if (Value)
        Value->FreeNotification(this);
}
