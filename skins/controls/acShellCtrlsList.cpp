#include "acShellCtrlsList.h"

#include "Forms.h"
#include "Menus.h"

#include <algorithm>
#include <windowsx.h>

namespace {
struct TFlagScope {
    bool& Flag;
    explicit TFlagScope(bool& F) : Flag(F) { Flag = true; }
    ~TFlagScope() { Flag = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;
};

struct TOwnedIdList {
    PItemIDList List = nullptr;
    explicit TOwnedIdList(PItemIDList L) : List(L) {}
    ~TOwnedIdList() { FreeItemIdList(List); }
    TOwnedIdList(const TOwnedIdList&) = delete;
    TOwnedIdList& operator=(const TOwnedIdList&) = delete;
};

// Items, skin data and the screen's cursor held for the time of a refill, put back however it ends.
struct TRefillScope {
    TListItems* Items;
    TsCommonData* SkinData;
    TCursor Saved;
    TRefillScope(TListItems* I, TsCommonData* D) : Items(I), SkinData(D), Saved(Screen ? Screen->Cursor() : crDefault) {
        SkinData->BeginUpdate();
        Items->BeginUpdate();
        if (Screen)
            Screen->SetCursor(crHourGlass);
    }
    ~TRefillScope() {
        if (Screen)
            Screen->SetCursor(Saved);
        Items->EndUpdate();
        SkinData->EndUpdate(false);
    }
    TRefillScope(const TRefillScope&) = delete;
    TRefillScope& operator=(const TRefillScope&) = delete;
};

unsigned char Fold(char C) { return CaseFoldTable[static_cast<unsigned char>(C)]; }

bool SameChar(char N, char M, char AnyChar) { return M == AnyChar || N == M || Fold(N) == Fold(M); }

// Name[At..] against the whole of Part.
bool MatchesAt(const std::string& Name, std::size_t At, const std::string& Part, char AnyChar) {
    if (At + Part.size() > Name.size())
        return false;
    for (std::size_t I = 0; I < Part.size(); ++I)
        if (!SameChar(Name[At + I], Part[I], AnyChar))
            return false;
    return true;
}

std::string FolderOfPath(const std::string& Path) {
    std::size_t Cut = Path.find_last_of("\\:");
    return Cut == std::string::npos ? std::string() : Path.substr(0, Cut + 1);
}
}  // namespace

namespace {
struct TFoldTable {
    unsigned char T[256];
};
const TFoldTable FoldTable = [] {
    TFoldTable R{};
    for (int I = 0; I < 256; ++I)
        R.T[I] = static_cast<unsigned char>(I);
    for (int I = 'a'; I <= 'z'; ++I)
        R.T[I] = static_cast<unsigned char>(I - 32);
    for (int I = 0xE0; I <= 0xFF; ++I)
        R.T[I] = static_cast<unsigned char>(I - 32);
    // The Cyrillic small letters outside the main block.
    const unsigned char Pairs[][2] = {{0x83, 0x81}, {0x90, 0x80}, {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9D, 0x8D},
                                      {0x9E, 0x8E}, {0x9F, 0x8F}, {0xA2, 0xA1}, {0xB3, 0xB2}, {0xB4, 0xA5},
                                      {0xB8, 0xA8}, {0xBA, 0xAA}, {0xBC, 0xA3}, {0xBE, 0xBD}, {0xBF, 0xAF}};
    for (const auto& P : Pairs)
        R.T[P[0]] = P[1];
    return R;
}();
}  // namespace

const unsigned char (&CaseFoldTable)[256] = FoldTable.T;

bool MatchesMask(const std::string& Name, const std::string& Mask, char AnyChar, char AnyRun) {
    std::size_t First = Mask.find(AnyRun);
    if (First == std::string::npos)
        return !Mask.empty() && Mask.size() == Name.size() && MatchesAt(Name, 0, Mask, AnyChar);
    std::size_t Last = Mask.find_last_not_of(AnyRun);
    std::string Head = Mask.substr(0, First);
    std::string Tail = Last == std::string::npos || Last < First ? std::string() : Mask.substr(Mask.rfind(AnyRun) + 1);
    if (!MatchesAt(Name, 0, Head, AnyChar))
        return false;
    std::size_t Pos = Head.size();
    // The parts between runs, each at its first place in what is left of the name.
    std::size_t Cursor = First;
    std::size_t LastRun = Mask.rfind(AnyRun);
    while (Cursor < LastRun) {
        std::size_t Start = Mask.find_first_not_of(AnyRun, Cursor);
        if (Start == std::string::npos || Start > LastRun)
            break;
        std::size_t End = Mask.find(AnyRun, Start);
        std::string Part = Mask.substr(Start, End - Start);
        bool Found = false;
        for (std::size_t At = Pos; At + Part.size() <= Name.size(); ++At)
            if (MatchesAt(Name, At, Part, AnyChar)) {
                Pos = At + Part.size();
                Found = true;
                break;
            }
        if (!Found)
            return false;
        Cursor = End;
    }
    return Name.size() >= Pos + Tail.size() && MatchesAt(Name, Name.size() - Tail.size(), Tail, AnyChar);
}

// ---------------------------------------------------------------------------------------------

TacCustomShellListView::TacCustomShellListView(TComponent* AOwner) : TsCustomListView(AOwner) {
    SetOwnerData(true);
    SetHideSelection(false);
    SHFILEINFOA Info{};
    LargeImages = reinterpret_cast<HIMAGELIST>(SHGetFileInfoA("C:\\", 0, &Info, sizeof(Info), SHGFI_SYSICONINDEX));
    SmallImages = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &Info, sizeof(Info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
}

void TacCustomShellListView::AfterConstruction() {
    TsCustomListView::AfterConstruction();
    // A virtual item read through Items() is filled from its folder as well.
    OnData = TLVNotifyEvent::Bind<&TacCustomShellListView::FetchItem>(this);
}

TacCustomShellListView::~TacCustomShellListView() {
    FreeAndNil(FNotifier);
    FreeAndNil(FRootFolder);
    ClearFolders();
}

void TacCustomShellListView::DefineClass(TClassBuilder<TacCustomShellListView>& B) {
    B.Message<&TacCustomShellListView::CNNotify>(CN_NOTIFY);
    B.Message<&TacCustomShellListView::WMContextMenu>(WM_CONTEXTMENU);
}

// ---------------------------------------------------------------------------------------------
// Root

void TacCustomShellListView::SetRoot(const TacRoot& Value) {
    if (SameText(Value, FRoot))
        return;
    FOldRoot = FRoot;
    FRoot = Value;
    ResolveRoot();
    FRootChanging = true;
    RootUpdate();
}

void TacCustomShellListView::ResolveRoot() { FRootFolder = ResolveRootFolder(FRootFolder, FOldRoot, FRoot); }

void TacCustomShellListView::SetRootId(PItemIDList ID) {
    if (FUpdating || (FRootFolder && SameItemIdLists(FRootFolder->AbsoluteID(), ID)))
        return;
    // The new folder is made before the old one goes, so a list the old one owns stays readable.
    TacShellFolder* Next = FolderFromAbsoluteId(ID);
    FreeAndNil(FRootFolder);
    FRootChanging = false;
    FRootFolder = Next;
    RootUpdate();
}

void TacCustomShellListView::ShowItemId(PItemIDList ID) {
    if (FUpdating)
        return;
    if (!FRootFolder || !SameItemIdLists(FRootFolder->AbsoluteID(), ID))
        SetRootId(ID);
}

void TacCustomShellListView::RootUpdate() {
    if (FUpdating || ComponentState().Contains(csLoading))
        return;
    TFlagScope Updating(FUpdating);
    bool WasRefreshing = FAutoRefresh;
    SetAutoRefresh(false);
    SyncLinkedViews();
    Populate();
    if (ViewStyle() == vsReport)
        EnumColumns();
    SetAutoRefresh(WasRefreshing);
}

void TacCustomShellListView::SyncLinkedViews() {
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } Done{FRootChanging};
    if (!FShellTreeView)
        return;
    if (FRootChanging)
        FShellTreeView->SetRoot(FRoot);
    else if (FRootFolder)
        FShellTreeView->SelectItemId(FRootFolder->AbsoluteID());
}

void TacCustomShellListView::SetShellTreeView(TacCustomShellTreeView* Value) {
    if (FShellTreeView == Value)
        return;
    if (FShellTreeView)
        FShellTreeView->RemoveFreeNotification(this);
    FShellTreeView = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TacCustomShellListView::Notification(TComponent* AComponent, TOperation Operation) {
    TsCustomListView::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FShellTreeView)
        FShellTreeView = nullptr;
}

void TacCustomShellListView::SetAutoRefresh(bool Value) {
    FAutoRefresh = Value;
    if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDesigning) || !FRootFolder)
        return;
    FreeAndNil(FNotifier);
    if (!Value)
        return;
    FNotifier = Create<TacShellChangeNotifier>(this);
    FNotifier->SetSubComponent(true);
    FNotifier->SetWatchSubTree(false);
    FNotifier->SetRoot(FRootFolder->PathName());
    FNotifier->SetOnChange(TThreadMethod::Bind<&TacCustomShellListView::Refresh>(this));
}

void TacCustomShellListView::Refresh() {
    int Index = ItemIndex();
    SetItemIndex(-1);
    if (!FRootFolder)
        return;
    TOwnedIdList Copy(CopyItemIdList(FRootFolder->AbsoluteID()));
    FreeAndNil(FRootFolder);
    SetRootId(Copy.List);
    // Every item that is still there is selected again, the last one included.
    if (Index >= 0 && Index < Items()->Count())
        SetItemIndex(Index);
}

void TacCustomShellListView::Back() {
    if (!FRootFolder)
        return;
    TOwnedIdList Copy(CopyItemIdList(FRootFolder->AbsoluteID()));
    RemoveLastItemId(Copy.List);
    SetRootId(Copy.List);
}

TacShellFolder* TacCustomShellListView::SelectedFolder() {
    int Index = ItemIndex();
    return Index >= 0 && Index < FolderCount() ? FFolders[static_cast<std::size_t>(Index)] : nullptr;
}

TacShellFolder* TacCustomShellListView::FolderAt(int Index) const {
    return Index >= 0 && Index < FolderCount() ? FFolders[static_cast<std::size_t>(Index)] : nullptr;
}

void TacCustomShellListView::ClearFolders() {
    if (!ComponentState().Contains(csDestroying))
        Items()->SetCount(0);
    for (TacShellFolder* F : FFolders)
        F->Free();
    FFolders.clear();
}

void TacCustomShellListView::EditSelected() {
    if (HandleAllocated() && ItemIndex() >= 0)
        SendMessageA(Handle(), LVM_EDITLABELA, static_cast<WPARAM>(ItemIndex()), 0);
}

// ---------------------------------------------------------------------------------------------
// Filling

bool TacCustomShellListView::CanAdd(const TacShellFolder* Folder) const {
    if (Folder->IsFolder(std::string(), true) || Mask.empty())
        return true;
    std::string Name = Folder->DisplayName(seShow);
    std::size_t Start = 0;
    while (Start <= Mask.size()) {
        std::size_t End = Mask.find(';', Start);
        if (End == std::string::npos)
            End = Mask.size();
        if (MatchesMask(Name, Trim(Mask.substr(Start, End - Start))))
            return true;
        Start = End + 1;
    }
    return false;
}

void TacCustomShellListView::Populate() {
    if (ComponentState().Contains(csLoading) && !HandleAllocated())
        return;
    TRefillScope Scope(Items(), SkinData());
    ClearFolders();
    if (!FRootFolder || !FRootFolder->ShellFolder())
        return;
    HWND Owner = Application ? Application->Handle() : nullptr;
    TacShellRef<IEnumIDList> Enum;
    if (FRootFolder->ShellFolder()->EnumObjects(Owner, ObjectTypesToFlags(ObjectTypes),
                                                reinterpret_cast<IEnumIDList**>(Enum.OutPtr())) != S_OK ||
        !Enum)
        return;
    PItemIDList ID = nullptr;
    ULONG Fetched = 0;
    while (Enum->Next(1, &ID, &Fetched) == S_OK) {
        TOwnedIdList Owned(ID);
        auto* F = new TacShellFolder(FRootFolder, ID, BindItemShellFolder(FRootFolder->ShellFolder(), ID, nullptr).Get());
        bool Add = CanAdd(F);
        if (OnAddFolder)
            OnAddFolder(this, F, Add);
        if (Add)
            FFolders.push_back(F);
        else
            F->Free();
    }
    if (Sorted) {
        IShellFolder* Parent = FRootFolder->ShellFolder();
        SortParentFolder = FRootFolder;
        std::stable_sort(FFolders.begin(), FFolders.end(), [Parent](TacShellFolder* A, TacShellFolder* B) {
            bool FA = A->IsFolder(), FB = B->IsFolder();
            if (FA != FB)
                return FA;
            HRESULT R = Parent->CompareIDs(0, A->RelativeID(), B->RelativeID());
            return static_cast<short>(R & 0xFFFF) < 0;
        });
        SortParentFolder = nullptr;
    }
    Items()->SetCount(FolderCount());
}

void TacCustomShellListView::FetchItem(TObject*, TListItem* Item) {
    OwnerDataFetch(Item, static_cast<int>(reinterpret_cast<INT_PTR>(Item->Data())));
}

bool TacCustomShellListView::OwnerDataFetch(TListItem* Item, int Index) {
    TacShellFolder* F = FolderAt(Index);
    if (!F)
        return false;
    Item->SetCaption(F->DisplayName(ShowExt));
    Item->SetImageIndex(F->ImageIndex(ViewStyle() == vsIcon));
    if (ViewStyle() == vsReport && HandleAllocated()) {
        int Count = Columns()->Count();
        F->LoadColumnDetails(FRootFolder, Handle(), Count);
        for (int I = 1; I < Count; ++I)
            Item->SubItems()->Add(F->Details(I));
    }
    return true;
}

int TacCustomShellListView::OwnerDataFind(const std::string& Text, int Start, bool Wrap) {
    int Count = FolderCount();
    if (Count == 0)
        return -1;
    std::string Wanted = UpperCase(Text);
    int I = Start < 0 || Start >= Count ? 0 : Start;
    int First = I;
    do {
        if (UpperCase(FFolders[static_cast<std::size_t>(I)]->DisplayName(ShowExt)).rfind(Wanted, 0) == 0)
            return I;
        if (++I >= Count) {
            if (!Wrap)
                return -1;
            I = 0;
        }
    } while (I != First);
    return -1;
}

// ---------------------------------------------------------------------------------------------
// Columns

void TacCustomShellListView::AddColumn(const std::string& Caption, TAlignment Alignment, int Chars) {
    int CharWidth = 8;
    if (HandleAllocated()) {
        HDC DC = GetDC(Handle());
        HGDIOBJ Old = SelectObject(DC, Font()->Handle());
        SIZE Size{};
        if (GetTextExtentPoint32A(DC, "X", 1, &Size))
            CharWidth = Size.cx;
        SelectObject(DC, Old);
        ReleaseDC(Handle(), DC);
    }
    TListColumn* C = Columns()->Add();
    C->SetCaption(Caption);
    C->SetAlignment(Alignment);
    C->SetWidth(Chars * CharWidth);
}

bool TacCustomShellListView::AddDetailColumn(const SHELLDETAILS& Details, std::vector<std::string>& Used) {
    STRRET Text = Details.str;
    std::string Caption = StrRetText(nullptr, Text);
    if (Caption.empty())
        return true;
    for (const std::string& U : Used)
        if (SameText(U, Caption))
            return false;
    Used.push_back(Caption);
    TAlignment Alignment = Details.fmt == 1 ? taRightJustify : Details.fmt == 2 ? taCenter : taLeftJustify;
    AddColumn(Caption, Alignment, Details.cxChar);
    return true;
}

void TacCustomShellListView::AddDefaultColumns(int Count) {
    struct TDefault {
        const char* Caption;
        TAlignment Alignment;
        int Chars;
    };
    static const TDefault Defaults[] = {
        {"Name", taLeftJustify, 25}, {"Size", taRightJustify, 10}, {"Type", taLeftJustify, 10},
        {"Modified", taLeftJustify, 14}};
    for (int I = 0; I < Count && I < 4; ++I)
        AddColumn(Defaults[I].Caption, Defaults[I].Alignment, Defaults[I].Chars);
}

void TacCustomShellListView::EnumColumns() {
    if (!FRootFolder || !FRootFolder->ShellFolder())
        return;
    Columns()->BeginUpdate();
    struct TDone {
        TCollection* C;
        ~TDone() { C->EndUpdate(); }
    } Done{Columns()};
    Columns()->Clear();
    FRootFolder->ViewHandle = HandleAllocated() ? Handle() : nullptr;
    std::vector<std::string> Used;
    SHELLDETAILS Details{};
    if (IShellFolder2* F2 = FRootFolder->ShellFolder2()) {
        bool MetDefault = false;
        for (UINT I = 0; F2->GetDetailsOf(nullptr, I, &Details) == S_OK; ++I) {
            SHCOLSTATEF State = 0;
            F2->GetDefaultColumnState(I, &State);
            bool OnByDefault = (State & SHCOLSTATE_ONBYDEFAULT) != 0;
            if (OnByDefault)
                MetDefault = true;
            else if (MetDefault)
                break;
            AddDetailColumn(Details, Used);
        }
    } else if (IShellDetails* D = FRootFolder->ShellDetails()) {
        for (UINT I = 0; D->GetDetailsOf(nullptr, I, &Details) == S_OK; ++I)
            if (!AddDetailColumn(Details, Used))
                break;
    } else {
        AddDefaultColumns(FRootFolder->Traits().Contains(ftFileSystem) ? 4 : 1);
    }
}

// ---------------------------------------------------------------------------------------------
// User actions

void TacCustomShellListView::OpenSelected() {
    TacShellFolder* F = SelectedFolder();
    if (!F)
        return;
    if (F->IsFolder()) {
        TOwnedIdList Copy(CopyItemIdList(F->AbsoluteID()));
        SetRootId(Copy.List);
    } else {
        F->ExecuteDefault();
    }
}

void TacCustomShellListView::DblClick() {
    if (AutoNavigate) {
        if (TacShellFolder* F = SelectedFolder()) {
            if (F->IsFolder()) {
                TOwnedIdList Copy(CopyItemIdList(F->AbsoluteID()));
                SetRootId(Copy.List);
            } else {
                std::string Path = F->PathName();
                ShellExecuteA(HandleAllocated() ? Handle() : nullptr, nullptr, Path.c_str(), nullptr,
                              FolderOfPath(Path).c_str(), SW_SHOW);
            }
        }
    }
    TsCustomListView::DblClick();
}

void TacCustomShellListView::KeyDown(Word& Key, TShiftState Shift) {
    if (AutoNavigate) {
        bool Editing = HandleAllocated() && SendMessageA(Handle(), LVM_GETEDITCONTROL, 0, 0) != 0;
        if (Key == VK_BACK && !Editing) {
            Back();
        } else if (Key == VK_RETURN && Shift.Contains(ssAlt)) {
            if (TacShellFolder* F = SelectedFolder())
                InvokeShellVerb(F, PropertiesVerb);
            Key = 0;
        } else if (Key == VK_RETURN) {
            OpenSelected();
        } else if (Key == VK_F5) {
            Refresh();
        }
    }
    TsCustomListView::KeyDown(Key, Shift);
}

void TacCustomShellListView::Edit(int Index, const std::string& Text) {
    TacShellFolder* F = FolderAt(Index);
    if (!F || Text.empty())
        return;
    F->Rename(Text);
    if (HandleAllocated())
        SendMessageA(Handle(), LVM_REDRAWITEMS, static_cast<WPARAM>(Index), Index);
}

void TacCustomShellListView::ExecuteVerb(const std::string& Verb, bool& Handled) {
    if (SameText(Verb, "rename")) {
        EditSelected();
        Handled = true;
    } else if (SameText(Verb, "open")) {
        char Buffer[MAX_PATH + 1] = {};
        GetCurrentDirectoryA(MAX_PATH, Buffer);
        FSavedDirectory = Buffer;
        if (TacShellFolder* F = SelectedFolder())
            SetCurrentDirectoryA(FolderOfPath(F->PathName()).c_str());
    }
}

void TacCustomShellListView::VerbCompleted(const std::string& Verb, bool Succeeded) {
    if (!Succeeded)
        return;
    if (SameText(Verb, "delete") || SameText(Verb, "paste"))
        Refresh();
    else if (SameText(Verb, "open"))
        SetCurrentDirectoryA(FSavedDirectory.c_str());
}

// ---------------------------------------------------------------------------------------------
// Window

void TacCustomShellListView::Loaded() {
    TsCustomListView::Loaded();
    SetAutoRefresh(FAutoRefresh);
}

void TacCustomShellListView::CreateComponentWindows() {
    TsCustomListView::CreateComponentWindows();
    SendMessageA(Handle(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(SmallImages));
    SendMessageA(Handle(), LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(LargeImages));
    ResolveRoot();
    RootUpdate();
}

void TacCustomShellListView::DestroyWnd() {
    ClearFolders();
    TsCustomListView::DestroyWnd();
}

void TacCustomShellListView::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_INITMENUPOPUP:
    case WM_MENUCHAR:
        if (ShellMenuHandler) {
            ShellMenuHandler->HandleMenuMsg(Message.Msg, Message.WParam, Message.LParam);
            Message.Result = 0;
        }
        if (Message.Msg == WM_DRAWITEM && FUpdating)
            return;
        break;
    default:
        break;
    }
    TsCustomListView::WndProc(Message);
    if (Message.Msg == WM_STYLECHANGED && ViewStyle() == vsReport && !ComponentState().Contains(csLoading) &&
        !ComponentState().Contains(csReading))
        EnumColumns();
}

void TacCustomShellListView::CNNotify(TMessage& Message) {
    auto* Header = reinterpret_cast<NMHDR*>(Message.LParam);
    switch (Header->code) {
    case LVN_GETDISPINFOA: {
        auto* D = reinterpret_cast<NMLVDISPINFOA*>(Message.LParam);
        Message.Result = 0;
        TacShellFolder* F = FolderAt(D->item.iItem);
        if (!F)
            return;
        if (D->item.mask & LVIF_TEXT) {
            std::string Text;
            if (D->item.iSubItem == 0) {
                Text = F->DisplayName(ShowExt);
            } else {
                F->LoadColumnDetails(FRootFolder, Handle(), Columns()->Count());
                Text = F->Details(D->item.iSubItem);
            }
            if (D->item.pszText && D->item.cchTextMax > 0)
                lstrcpynA(D->item.pszText, Text.c_str(), D->item.cchTextMax);
        }
        if (D->item.mask & LVIF_IMAGE)
            D->item.iImage = F->ImageIndex(ViewStyle() == vsIcon);
        return;
    }
    case LVN_ODFINDITEMA: {
        auto* Find = reinterpret_cast<NMLVFINDITEMA*>(Message.LParam);
        Message.Result = -1;
        if ((Find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) && Find->lvfi.psz)
            Message.Result = OwnerDataFind(Find->lvfi.psz, Find->iStart, (Find->lvfi.flags & LVFI_WRAP) != 0);
        return;
    }
    case LVN_ODFINDITEMW: {
        auto* Find = reinterpret_cast<NMLVFINDITEMW*>(Message.LParam);
        Message.Result = -1;
        if ((Find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) && Find->lvfi.psz)
            Message.Result = OwnerDataFind(WideToAnsi(Find->lvfi.psz), Find->iStart, (Find->lvfi.flags & LVFI_WRAP) != 0);
        return;
    }
    case LVN_ENDLABELEDITA: {
        auto* D = reinterpret_cast<NMLVDISPINFOA*>(Message.LParam);
        Message.Result = 0;
        if (D->item.pszText)
            Edit(D->item.iItem, D->item.pszText);
        return;
    }
    default:
        break;
    }
    InheritedDispatch(StaticClass(), Message);
}

void TacCustomShellListView::WMContextMenu(TMessage& Message) {
    TacShellFolder* F = SelectedFolder();
    if (!AutoContextMenus || !F) {
        InheritedDispatch(StaticClass(), Message);
        return;
    }
    TPoint P{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    if (P.X != -1 || P.Y != -1)
        P = ScreenToClient(P);
    ShowShellContextMenu(this, F, P.X, P.Y);
    Message.Result = 1;
}
