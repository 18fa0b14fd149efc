#include "acShellCtrlsTree.h"

#include "acShellCtrlsCombo.h"
#include "acShellCtrlsList.h"

#include "ComObj.h"
#include "Forms.h"
#include "Menus.h"
#include "sMessages.h"
#include "sVclUtils.h"

#include <windowsx.h>

namespace {
// The screen's cursor for the time of a lengthy step, put back however it ends.
struct TBusyCursor {
    TCursor Saved;
    TBusyCursor() : Saved(Screen ? Screen->Cursor() : crDefault) {
        if (Screen)
            Screen->SetCursor(crHourGlass);
    }
    ~TBusyCursor() {
        if (Screen)
            Screen->SetCursor(Saved);
    }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

// Node and skin-data updates open for the time of a change of many nodes.
struct TNodesUpdate {
    TTreeNodes* Nodes;
    TsCommonData* SkinData;
    TNodesUpdate(TTreeNodes* N, TsCommonData* D) : Nodes(N), SkinData(D) {
        Nodes->BeginUpdate();
        SkinData->BeginUpdate();
    }
    ~TNodesUpdate() {
        SkinData->EndUpdate(false);
        Nodes->EndUpdate();
    }
    TNodesUpdate(const TNodesUpdate&) = delete;
    TNodesUpdate& operator=(const TNodesUpdate&) = delete;
};

struct TFlagScope {
    bool& Flag;
    explicit TFlagScope(bool& F) : Flag(F) { Flag = true; }
    ~TFlagScope() { Flag = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;
};

// An item-ID list freed at the end of its scope.
struct TOwnedIdList {
    PItemIDList List = nullptr;
    explicit TOwnedIdList(PItemIDList L) : List(L) {}
    ~TOwnedIdList() { FreeItemIdList(List); }
    TOwnedIdList(const TOwnedIdList&) = delete;
    TOwnedIdList& operator=(const TOwnedIdList&) = delete;
};

// The last component of a path root: "C:\Data\" reads "Data", "C:\" reads "C:". A double-byte
// character is never split at a trail byte that looks like a backslash.
std::string LastPathComponent(const std::string& Root) {
    std::string S = ExcludeTrailingPathDelimiter(Root);
    std::size_t Start = 0;
    for (std::size_t I = 0; I < S.size(); ++I) {
        if (IsDBCSLeadByte(static_cast<BYTE>(S[I])) && I + 1 < S.size()) {
            ++I;
            continue;
        }
        if (S[I] == '\\')
            Start = I + 1;
    }
    return S.substr(Start);
}

std::string FolderOfPath(const std::string& Path) {
    std::size_t Cut = Path.find_last_of("\\:");
    return Cut == std::string::npos ? std::string() : Path.substr(0, Cut + 1);
}
}  // namespace

TacCustomShellTreeView::TacCustomShellTreeView(TComponent* AOwner) : TsTreeView(AOwner) {
    SetRightClickSelect(true);
    SHFILEINFOA Info{};
    FSystemImages = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &Info, sizeof(Info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    FNotifier = Create<TacShellChangeNotifier>(this);
    FNotifier->SetSubComponent(true);
}

TacCustomShellTreeView::~TacCustomShellTreeView() { FreeAndNil(FRootFolder); }

void TacCustomShellTreeView::BeforeDestruction() {
    // The framework frees nodes without deletion calls once the object is going: the folders go
    // first.
    for (TTreeNode* N = Items()->GetFirstNode(); N; N = N->GetNext()) {
        if (TacShellFolder* F = FolderOf(N)) {
            N->SetData(nullptr);
            F->Free();
        }
    }
    TsTreeView::BeforeDestruction();
}

void TacCustomShellTreeView::DefineClass(TClassBuilder<TacCustomShellTreeView>& B) {
    B.Message<&TacCustomShellTreeView::WMContextMenu>(WM_CONTEXTMENU);
    B.Message<&TacCustomShellTreeView::WMRefresh>(WM_SHELLTREEREFRESH);
}

TacShellFolder* TacCustomShellTreeView::FolderOf(const TTreeNode* Node) {
    return Node ? static_cast<TacShellFolder*>(Node->Data()) : nullptr;
}

// ---------------------------------------------------------------------------------------------
// Path and selection

std::string TacCustomShellTreeView::GetPath() {
    TacShellFolder* F = CurrentFolder();
    return F ? F->PathName() : std::string();
}

void TacCustomShellTreeView::SetPath(const std::string& Path) {
    try {
        std::wstring Wide = AnsiToWide(ExpandFileName(Path));
        PItemIDList ID = nullptr;
        ULONG Eaten = 0;
        OleCheck(GetDesktopShellFolder()->ParseDisplayName(nullptr, nullptr, Wide.data(), &Eaten, &ID, nullptr));
        TOwnedIdList Owned(ID);
        if (!IsUpdating())
            SelectItemId(ID);
    } catch (const EOleSysError&) {
        throw Exception("Error Setting Path");
    }
}

void TacCustomShellTreeView::SelectItemId(PItemIDList ID) {
    if (IsUpdating() || ComponentState().Contains(csLoading) || !Items()->GetFirstNode())
        return;
    if (TacShellFolder* Current = CurrentFolder(); Current && SameItemIdLists(Current->AbsoluteID(), ID))
        return;
    TFlagScope Updating(FUpdating);
    TNodesUpdate Update(Items(), SkinData());
    TTreeNode* Start = Items()->GetFirstNode();
    TList* Ancestors = AncestorIdLists(ID);
    try {
        for (int I = 0; I < Ancestors->Count(); ++I) {
            if (TTreeNode* N = FindNodeById(static_cast<PItemIDList>(Ancestors->Items(I)), Start)) {
                N->Expand(false);
                Start = N;
            }
        }
    } catch (...) {
        FreeIdListList(Ancestors);
        throw;
    }
    FreeIdListList(Ancestors);
    TTreeNode* Found = FindNodeById(ID, Start);
    SetSelected(Found);
    if (Found && FShellListView)
        if (TacShellFolder* F = FolderOf(Found))
            FShellListView->ShowItemId(F->AbsoluteID());
}

TTreeNode* TacCustomShellTreeView::FindNodeById(PItemIDList ID, TTreeNode* Start) {
    if (!Start)
        return nullptr;
    TacShellRef<IShellFolder> Desktop = GetDesktopShellFolder();
    int StartLevel = Start->Level();
    for (TTreeNode* N = Start; N && (N == Start || N->Level() > StartLevel); N = N->GetNext()) {
        TacShellFolder* F = FolderOf(N);
        if (F && Desktop->CompareIDs(0, F->AbsoluteID(), ID) == 0)
            return N;
    }
    return nullptr;
}

TacShellFolder* TacCustomShellTreeView::CurrentFolder() { return FolderOf(Selected()); }

TacShellFolder* TacCustomShellTreeView::NodeFolder(int Index) { return FolderOf(Items()->Item(Index)); }

// ---------------------------------------------------------------------------------------------
// Root

void TacCustomShellTreeView::SetRoot(const TacRoot& Value) {
    if (SameText(Value, FRoot))
        return;
    FOldRoot = FRoot;
    FRoot = Value;
    if (!IsUpdating())
        ApplyRoot();
}

void TacCustomShellTreeView::SetObjectTypes(TacShellObjectTypes Value) {
    FObjectTypes = Value;
    ApplyRoot();
}

void TacCustomShellTreeView::ApplyRoot() {
    if (IsUpdating())
        return;
    TFlagScope Updating(FUpdating);
    BuildRoot();
    if (FShellListView)
        FShellListView->SetRoot(FRoot);
}

void TacCustomShellTreeView::SetShellListView(TacCustomShellListView* Value) {
    if (FShellListView == Value)
        return;
    if (FShellListView) {
        FShellListView->SetShellTreeView(nullptr);
        FShellListView->RemoveFreeNotification(this);
    }
    FShellListView = Value;
    if (Value) {
        Value->SetRoot(FRoot);
        Value->SetShellTreeView(this);
        Value->FreeNotification(this);
    }
}

void TacCustomShellTreeView::Notification(TComponent* AComponent, TOperation Operation) {
    TsTreeView::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FShellListView)
        FShellListView = nullptr;
    if (Operation == opRemove && AComponent == FShellComboBox)
        FShellComboBox = nullptr;
}

void TacCustomShellTreeView::SetShellComboBox(TacCustomShellComboBox* Value) {
    if (FShellComboBox == Value)
        return;
    if (FShellComboBox) {
        FShellComboBox->SetShellTreeView(nullptr);
        FShellComboBox->RemoveFreeNotification(this);
    }
    FShellComboBox = Value;
    if (Value) {
        Value->SetShellTreeView(this);
        Value->FreeNotification(this);
    }
}

void TacCustomShellTreeView::RootChanged() {
    FreeAndNil(FRootFolder);
    DropAllNodes();
}

void TacCustomShellTreeView::BuildRoot() {
    if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDesigning))
        return;
    std::string Kept;
    bool Failed = false;
    try {
        FRootFolder = ResolveRootFolder(FRootFolder, FOldRoot, FRoot);
    } catch (const Exception& E) {
        if (E.ClassType() != Exception::StaticClass())
            throw;
        Kept = E.Message();
        Failed = true;
    }
    if (FRootFolder) {
        TFlagScope Building(FBuildingRoot);
        DropAllNodes();
        auto* Data = Create<TacShellFolder>(nullptr, FRootFolder->AbsoluteID(), FRootFolder->ShellFolder());
        TTreeNode* Top = Items()->AddChildObject(nullptr, "", Data);
        if (RootFolderIndex(FRoot) >= 0)
            Top->SetText(GetItemDisplayName(GetDesktopShellFolder().Get(), Data->AbsoluteID(), SHGDN_NORMAL, FShowExt));
        else
            Top->SetText(LastPathComponent(FRoot));
        if (FUseShellImages && !Images())
            SetShellImages(Top, Data->AbsoluteID());
        Top->SetHasChildren(Data->SubFolders());
        Top->Expand(false);
        Top->SetSelected(true);
        if (FNotifier)
            FNotifier->Change();
    }
    if (Failed)
        throw Exception(Kept);
}

void TacCustomShellTreeView::DropAllNodes() {
    TNodesUpdate Update(Items(), SkinData());
    for (TTreeNode* N = Items()->GetFirstNode(); N; N = N->GetNext()) {
        if (TacShellFolder* F = FolderOf(N)) {
            N->SetData(nullptr);
            F->Free();
        }
    }
    Items()->Clear();
}

// ---------------------------------------------------------------------------------------------
// Nodes

void TacCustomShellTreeView::SetShellImages(TTreeNode* Node, PItemIDList AbsoluteID) {
    Node->SetImageIndex(GetShellImageIndex(AbsoluteID, false, false));
    Node->SetSelectedIndex(GetShellImageIndex(AbsoluteID, false, true));
}

void TacCustomShellTreeView::FillNode(TTreeNode* Node) {
    TacShellFolder* Folder = FolderOf(Node);
    if (!Folder || !Folder->ShellFolder())
        return;
    TBusyCursor Busy;
    Items()->BeginUpdate();
    struct TDone {
        TTreeNodes* Nodes;
        ~TDone() { Nodes->EndUpdate(); }
    } Done{Items()};
    TacShellRef<IEnumIDList> Enum;
    HWND Owner = Application ? Application->Handle() : nullptr;
    if (Folder->ShellFolder()->EnumObjects(Owner, ObjectTypesToFlags(FObjectTypes),
                                           reinterpret_cast<IEnumIDList**>(Enum.OutPtr())) != S_OK ||
        !Enum)
        return;
    PITEMID_CHILD ID = nullptr;
    ULONG Fetched = 0;
    while (Enum->Next(1, &ID, &Fetched) == S_OK) {
        TOwnedIdList Owned(const_cast<PItemIDList>(reinterpret_cast<LPCITEMIDLIST>(ID)));
        SetUpNode(Items()->AddChildObject(Node, "", nullptr), Owned.List, Node);
    }
    // The shell's own order of its first column.
    IShellFolder* Parent = Folder->ShellFolder();
    Node->CustomSort([Parent](TTreeNode* A, TTreeNode* B) {
        HRESULT R = Parent->CompareIDs(0, FolderOf(A)->RelativeID(), FolderOf(B)->RelativeID());
        return static_cast<int>(static_cast<SHORT>(HRESULT_CODE(R)));
    });
}

void TacCustomShellTreeView::SetUpNode(TTreeNode* Node, PItemIDList ID, TTreeNode* ParentNode) {
    TacShellFolder* ParentFolder = FolderOf(ParentNode);
    TacShellRef<IShellFolder> Sub =
        BindItemShellFolder(ParentFolder ? ParentFolder->ShellFolder() : nullptr, ID, nullptr);
    auto* F = Create<TacShellFolder>(ParentFolder, ID, Sub.Get());
    Node->SetData(F);
    Node->SetText(F->DisplayName(FShowExt));
    if (FUseShellImages && !Images()) {
        SetShellImages(Node, F->AbsoluteID());
        if (Node->SelectedIndex() == 0)
            Node->SetSelectedIndex(Node->ImageIndex());
    }
    Node->SetHasChildren(F->SubFolders());
    if (FObjectTypes.Contains(otNonFolders) && F->ShellFolder())
        Node->SetHasChildren(HasChildObjects(F->ShellFolder(), ObjectTypesToFlags(FObjectTypes)));
    bool CanAdd = true;
    if (OnAddFolder)
        OnAddFolder(this, F, CanAdd);
    if (!CanAdd)
        Node->Delete();
}

void TacCustomShellTreeView::RebuildNode(TTreeNode* Node) {
    TacShellFolder* Folder = FolderOf(Node);
    if (!Folder || !Folder->ShellFolder())
        return;
    TTreeNode* TopNode = TopItem();
    TOwnedIdList TopID(FolderOf(TopNode) ? CopyItemIdList(FolderOf(TopNode)->AbsoluteID()) : nullptr);
    TTreeNode* SelNode = Selected();
    TOwnedIdList SelID(FolderOf(SelNode) ? CopyItemIdList(FolderOf(SelNode)->AbsoluteID()) : nullptr);
    TNodesUpdate Update(Items(), SkinData());
    TBusyCursor Busy;

    auto* NewFolder = Create<TacShellFolder>(FolderOf(Node->Parent()), Folder->RelativeID(), Folder->ShellFolder());
    TTreeNode* NewNode = Items()->InsertObject(Node, "", NewFolder);
    FillNode(NewNode);
    SetShellImages(NewNode, NewFolder->AbsoluteID());
    NewNode->SetHasChildren(NewFolder->SubFolders());
    NewNode->SetText(NewFolder->DisplayName(FShowExt));

    // Node's own subtree: the walk ends at the first node after it that is not below it.
    int Level = Node->Level();
    for (TTreeNode* N = Node; N && (N == Node || N->Level() > Level); N = N->GetNext()) {
        if (!N->Expanded())
            continue;
        if (TTreeNode* Counterpart = FindNodeById(FolderOf(N)->AbsoluteID(), NewNode))
            Counterpart->Expand(false);
    }
    Node->Delete();

    if (SelID.List)
        SetSelected(FindNodeById(SelID.List, Items()->GetFirstNode()));
    if (TopID.List)
        SetTopItem(FindNodeById(TopID.List, Items()->GetFirstNode()));
}

void TacCustomShellTreeView::RefreshSelected() {
    if (TTreeNode* N = Selected())
        RebuildNode(N);
}

void TacCustomShellTreeView::PostRefresh() {
    if (HandleAllocated())
        PostMessageA(Handle(), WM_SHELLTREEREFRESH, 0, 0);
}

void TacCustomShellTreeView::WMRefresh(TMessage&) { RefreshSelected(); }

// ---------------------------------------------------------------------------------------------
// Options

void TacCustomShellTreeView::SetUseShellImages(bool Value) {
    FUseShellImages = Value;
    // A window made later takes its image list when it is made.
    if (!HandleAllocated())
        return;
    HIMAGELIST List = Images() ? Images()->Handle() : Value ? FSystemImages : nullptr;
    SendMessageA(Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(List));
}

void TacCustomShellTreeView::SetAutoRefresh(bool Value) {
    FAutoRefresh = Value;
    if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDesigning))
        return;
    FreeAndNil(FNotifier);
    if (!Value)
        return;
    FNotifier = Create<TacShellChangeNotifier>(this);
    FNotifier->SetSubComponent(true);
    FNotifier->SetWatchSubTree(false);
    TacShellFolder* Watched = FChangingTo ? FolderOf(FChangingTo) : FRootFolder;
    FNotifier->SetRoot(Watched ? Watched->PathName() : std::string());
    FNotifier->SetOnChange(TThreadMethod::Bind<&TacCustomShellTreeView::PostRefresh>(this));
}

// ---------------------------------------------------------------------------------------------
// Tree view operations

bool TacCustomShellTreeView::CanExpand(TTreeNode* Node) {
    if (ComponentState().Contains(csDesigning) && Node->Level() > 0)
        return true;
    if (!TsTreeView::CanExpand(Node))
        return false;
    if (TacShellFolder* F = FolderOf(Node)) {
        if (F->IsFolder(std::string(), true)) {
            if (Node->HasChildren() && Node->Count() == 0)
                FillNode(Node);
        } else {
            std::string Path = F->PathName();
            ShellExecuteA(HandleAllocated() ? Handle() : nullptr, nullptr, Path.c_str(), nullptr,
                          FolderOfPath(Path).c_str(), SW_HIDE);
        }
    }
    Node->SetHasChildren(Node->Count() > 0);
    return true;
}

bool TacCustomShellTreeView::CanChange(TTreeNode* Node) {
    if (!TsTreeView::CanChange(Node))
        return false;
    if (IsUpdating() || !Node)
        return true;
    bool WasRefreshing = FAutoRefresh;
    SetAutoRefresh(false);
    if (TacShellFolder* F = FolderOf(Node); F && FShellListView) {
        // A file shows the folder it lies in.
        TacShellFolder* Shown = F->IsFolder() || !F->Parent() ? F : F->Parent();
        TFlagScope Updating(FUpdating);
        FShellListView->ShowItemId(Shown->AbsoluteID());
    }
    if (TacShellFolder* F = FolderOf(Node); F && FShellComboBox) {
        TFlagScope Updating(FUpdating);
        FShellComboBox->SelectItemId(F->AbsoluteID());
    }
    FChangingTo = Node;
    struct TDone {
        TTreeNode*& Field;
        ~TDone() { Field = nullptr; }
    } Done{FChangingTo};
    SetAutoRefresh(WasRefreshing);
    return true;
}

void TacCustomShellTreeView::Delete(TTreeNode* Node) {
    if (TacShellFolder* F = FolderOf(Node)) {
        Node->SetData(nullptr);
        F->Free();
    }
    TsTreeView::Delete(Node);
}

void TacCustomShellTreeView::Edit(TTreeNode* Node, const std::string& Text) {
    std::string Name = Text;
    if (OnEdited)
        OnEdited(this, Node, Name);
    TacShellFolder* F = FolderOf(Node);
    if (!F || !F->Rename(Name))
        return;
    Node->SetText(Name);
    if (Node->Parent())
        RebuildNode(Node->Parent());
}

// Without an image list of the program's the nodes carry the shell's images, which no handler
// should change.
void TacCustomShellTreeView::GetImageIndex(TTreeNode* Node) {
    if (Images())
        TsTreeView::GetImageIndex(Node);
}

void TacCustomShellTreeView::GetSelectedIndex(TTreeNode* Node) {
    if (Images())
        TsTreeView::GetSelectedIndex(Node);
}

void TacCustomShellTreeView::ExecuteVerb(const std::string& Verb, bool& Handled) {
    if (SameText(Verb, "rename")) {
        if (TTreeNode* N = Selected(); N && HandleAllocated()) {
            SetFocus();
            SendMessageA(Handle(), TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(N->ItemId()));
            Handled = true;
        }
    } else if (SameText(Verb, "open")) {
        char Buffer[MAX_PATH + 1] = {};
        GetCurrentDirectoryA(MAX_PATH, Buffer);
        FSavedDirectory = Buffer;
        if (TacShellFolder* F = CurrentFolder())
            SetCurrentDirectoryA(FolderOfPath(F->PathName()).c_str());
    }
}

void TacCustomShellTreeView::VerbCompleted(const std::string& Verb, bool Succeeded) {
    TTreeNode* N = Selected();
    if (!Succeeded || !N)
        return;
    if (SameText(Verb, "delete")) {
        TacShellFolder* F = FolderOf(N);
        if (F && !FileExists(F->PathName())) {
            N->SetData(nullptr);
            N->Delete();
            F->Free();
        }
    } else if (SameText(Verb, "paste")) {
        RebuildNode(N);
    } else if (SameText(Verb, "open")) {
        SetCurrentDirectoryA(FSavedDirectory.c_str());
    }
}

// ---------------------------------------------------------------------------------------------
// Window

void TacCustomShellTreeView::Loaded() {
    TsTreeView::Loaded();
    BuildRoot();
}

void TacCustomShellTreeView::CreateComponentWindows() {
    // The framework first shows the nodes that exist: those made before this first window (a path
    // set while the form was loading or hidden). A window made again after DestroyWnd has none and
    // starts from the root.
    TsTreeView::CreateComponentWindows();
    if (!Images())
        SetUseShellImages(FUseShellImages);
    if (!FBuildingRoot && !Items()->GetFirstNode())
        BuildRoot();
}

void TacCustomShellTreeView::DestroyWnd() {
    DropAllNodes();
    TsTreeView::DestroyWnd();
}

void TacCustomShellTreeView::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_MEASUREITEM:
    case WM_INITMENUPOPUP:
    case WM_MENUCHAR:
        // The shell's context menu draws and answers its own items while it is tracked.
        if (ShellMenuHandler)
            ShellMenuHandler->HandleMenuMsg(Message.Msg, Message.WParam, Message.LParam);
        Message.Result = 0;
        return;
    case TVM_SETIMAGELIST:
        if (!FSettingImages) {
            TFlagScope Setting(FSettingImages);
            HIMAGELIST List = Images() ? Images()->Handle() : FUseShellImages ? FSystemImages : nullptr;
            Message.WParam = TVSIL_NORMAL;
            Message.LParam = reinterpret_cast<LPARAM>(List);
            TsTreeView::WndProc(Message);
            return;
        }
        break;
    case CM_SHOWINGCHANGED:
        ImageList_SetBkColor(FSystemImages, ColorToRGB(Color()));
        break;
    case WM_NCPAINT:
        if (AnimationInProgress)
            return;
        TsTreeView::WndProc(Message);
        ImageList_SetBkColor(FSystemImages, ColorToRGB(Color()));
        return;
    default:
        break;
    }
    TsTreeView::WndProc(Message);
    if (Message.Msg == SM_ALPHACMD && SkinCommandOf(Message.WParam) == SKIN_REFRESH)
        ImageList_SetBkColor(FSystemImages, static_cast<COLORREF>(Color()));
}

void TacCustomShellTreeView::WMContextMenu(TMessage& Message) {
    TPopupMenu* Menu = PopupMenu();
    if (!FAutoContextMenus || (Menu && Menu->AutoPopup())) {
        InheritedDispatch(StaticClass(), Message);
        return;
    }
    TPoint P{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    // From the keyboard the point is (-1, -1): the menu opens at the control's corner.
    if (P.X != -1 || P.Y != -1)
        P = ScreenToClient(P);
    ShowShellContextMenu(this, CurrentFolder(), P.X, P.Y);
    Message.Result = 1;
}

// ---------------------------------------------------------------------------------------------

void TsShellTreeView::DefineClass(TClassBuilder<TsShellTreeView>& B) {
    B.Property("AutoContextMenus", &TsShellTreeView::AutoContextMenus, &TsShellTreeView::SetAutoContextMenus)
        .Default(true);
    B.Property("ObjectTypes", &TsShellTreeView::ObjectTypes, &TsShellTreeView::SetObjectTypes);
    B.Property("Root", &TsShellTreeView::Root, &TsShellTreeView::SetRoot);
    B.Property("UseShellImages", &TsShellTreeView::UseShellImages, &TsShellTreeView::SetUseShellImages);
    B.Property("AutoRefresh", &TsShellTreeView::AutoRefresh, &TsShellTreeView::SetAutoRefresh);
    B.Property("ShowExt", &TsShellTreeView::ShowExt, &TsShellTreeView::SetShowExt);
    B.Property("RightClickSelect", &TsShellTreeView::RightClickSelect, &TsShellTreeView::SetRightClickSelect)
        .Default(true);
    B.Property("OnAddFolder", [](TsShellTreeView* V) { return V->OnAddFolder; },
               [](TsShellTreeView* V, const TacAddFolderEvent& E) { V->OnAddFolder = E; });
}
