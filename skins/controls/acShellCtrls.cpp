#include "acShellCtrls.h"

#include "ComObj.h"
#include "DateUtils.h"
#include "Forms.h"
#include "acShellCtrlsNotify.h"
#include "acShellCtrlsTree.h"
#include "acntUtils.h"

#include <cstring>
#include <utility>
#include <vector>

const int RootCSIDL[23] = {
    CSIDL_DESKTOP,          CSIDL_DRIVES,          CSIDL_NETWORK,           CSIDL_BITBUCKET,
    CSIDL_APPDATA,          CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_STARTMENU,
    CSIDL_COMMON_STARTUP,   CSIDL_CONTROLS,        CSIDL_DESKTOPDIRECTORY,  CSIDL_FAVORITES,
    CSIDL_FONTS,            CSIDL_INTERNET,        CSIDL_PERSONAL,          CSIDL_PRINTERS,
    CSIDL_PRINTHOOD,        CSIDL_PROGRAMS,        CSIDL_RECENT,            CSIDL_SENDTO,
    CSIDL_STARTMENU,        CSIDL_STARTUP,         CSIDL_TEMPLATES};

TacShellFolder* DesktopFolder = nullptr;
IContextMenu2* ShellMenuHandler = nullptr;
TacShellFolder* SortParentFolder = nullptr;
CRITICAL_SECTION ShellCtrlsLock;
TCustomImageList* SharedSystemImages = nullptr;

namespace {
int InitCount = 0;
bool ShellStarted = false;
// The desktop's folder for items without a parent: held here so that the pointer handed out stays
// valid. Released at the unit's shut-down.
TacShellRef<IShellFolder> HeldDesktop;

IShellFolder* DesktopShellFolder() {
    if (!HeldDesktop)
        HeldDesktop = GetDesktopShellFolder();
    return HeldDesktop.Get();
}

TacShellRef<IMalloc> ShellMalloc() {
    TacShellRef<IMalloc> M;
    OleCheck(SHGetMalloc(reinterpret_cast<IMalloc**>(M.OutPtr())));
    return M;
}

USHORT ItemSize(PItemIDList ID) { return ID->mkid.cb; }

// A shell interface of an item by the three ways the shell offers (binding, a UI object, a view
// object of the parent), else through the desktop.
template <class I>
TacShellRef<I> BindItemInterface(IShellFolder* ParentShellFolder, PItemIDList ID, HWND Handle, REFIID Iid) {
    TacShellRef<I> Result;
    if (ParentShellFolder) {
        if (ParentShellFolder->BindToObject(ID, nullptr, Iid, Result.OutPtr()) != S_OK) {
            PCUITEMID_CHILD Child = ID;
            ParentShellFolder->GetUIObjectOf(Handle, 1, &Child, Iid, nullptr, Result.OutPtr());
            ParentShellFolder->CreateViewObject(Handle, Iid, Result.OutPtr());
        }
    }
    if (!Result)
        GetDesktopShellFolder()->BindToObject(ID, nullptr, Iid, Result.OutPtr());
    return Result;
}

// The folder that holds the last item of ID (a list relative to Folder), with that item. Some shells
// answer attribute and rename calls of a longer list by its first item: such a list is bound down
// to its last item's parent first. Holder is null when that fails.
struct TLastItem {
    TacShellRef<IShellFolder> Holder;
    PItemIDList Item = nullptr;
};

TLastItem LastItemOf(IShellFolder* Folder, PItemIDList ID) {
    TLastItem R;
    if (!Folder || !ID)
        return R;
    R.Item = ID;
    if (CountItemIds(ID) <= 1) {
        R.Holder = TacShellRef<IShellFolder>::Share(Folder);
        return R;
    }
    while (CountItemIds(R.Item) > 1)
        R.Item = NextItemId(R.Item);
    PItemIDList Prefix = CopyItemIdList(ID);
    RemoveLastItemId(Prefix);
    Folder->BindToObject(Prefix, nullptr, IID_IShellFolder, R.Holder.OutPtr());
    FreeItemIdList(Prefix);
    return R;
}

ULONG ItemAttributes(IShellFolder* ParentShellFolder, PItemIDList ID, ULONG InMask) {
    TLastItem L = LastItemOf(ParentShellFolder, ID);
    if (!L.Holder)
        return 0;
    ULONG Attr = InMask;
    PCUITEMID_CHILD Child = L.Item;
    return SUCCEEDED(L.Holder->GetAttributesOf(1, &Child, &Attr)) ? Attr : 0;
}

template <class E>
TSet<E> MapBits(ULONG Attr, std::initializer_list<std::pair<E, ULONG>> Map) {
    TSet<E> Result;
    for (auto [Element, Bit] : Map)
        if (Attr & Bit)
            Result.Include(Element);
    return Result;
}

std::string DisplayNameOnce(IShellFolder* ParentShellFolder, PItemIDList ID, DWORD Flags, TacShowExtension ShowExt) {
    STRRET S;
    std::memset(&S, 0, sizeof(S));
    ParentShellFolder->GetDisplayNameOf(ID, Flags, &S);
    std::string Name = StrRetText(ID, S);
    if (ShowExt == seSystem)
        return Name;
    std::string E1 = ExtractFileExt(Name);
    STRRET P;
    std::memset(&P, 0, sizeof(P));
    ParentShellFolder->GetDisplayNameOf(ID, SHGDN_FORPARSING, &P);
    std::string Parsing = StrRetText(ID, P);
    if (!FileExists(Parsing))
        return Name;
    std::string E2 = ExtractFileExt(Parsing);
    if (ShowExt == seShow && E1 != E2)
        Name += E2;
    else if (ShowExt == seHide && !E1.empty())
        Name.erase(Name.size() - E1.size());
    return Name;
}

bool IsClassIdName(const std::string& Name) { return Name.compare(0, 3, "::{") == 0; }

// The list of a root text: a special folder by its value name, else a parsed path (which gets its
// trailing backslash). Null when the shell gives none.
PItemIDList RootIdList(TacRoot& Root) {
    PItemIDList List = nullptr;
    int Index = RootFolderIndex(Root);
    if (Index >= 0) {
        if (FAILED(SHGetSpecialFolderLocation(nullptr, RootCSIDL[Index], &List)))
            List = nullptr;
        return List;
    }
    if (Root.empty())
        return nullptr;
    Root = WithTrailingBackslash(Root);
    std::wstring Wide = AnsiToWide(ExpandFileName(Root));
    ULONG Eaten = 0;
    if (FAILED(GetDesktopShellFolder()->ParseDisplayName(nullptr, nullptr, Wide.data(), &Eaten, &List, nullptr)))
        List = nullptr;
    return List;
}

TacShellRef<IContextMenu> ItemContextMenu(TacShellFolder* Folder, HWND Owner) {
    TacShellRef<IContextMenu> Menu;
    if (IShellFolder* P = Folder->ParentShellFolder()) {
        PCUITEMID_CHILD Child = Folder->RelativeID();
        P->GetUIObjectOf(Owner, 1, &Child, IID_IContextMenu, nullptr, Menu.OutPtr());
    }
    return Menu;
}

void ReleaseMenuHandler() {
    if (IContextMenu2* H = std::exchange(ShellMenuHandler, nullptr))
        H->Release();
}

void CreateDesktopFolder() {
    PItemIDList List = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, RootCSIDL[rfDesktop], &List)) && List) {
        DesktopFolder = Create<TacShellFolder>(nullptr, List, GetDesktopShellFolder().Get());
        FreeItemIdList(List);
    }
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Item-ID lists

PItemIDList AllocItemIdList(int Size) {
    auto* P = static_cast<PItemIDList>(ShellMalloc()->Alloc(static_cast<SIZE_T>(Size)));
    if (P)
        std::memset(P, 0, static_cast<std::size_t>(Size));
    return P;
}

PItemIDList NextItemId(PItemIDList ID) {
    return ID ? reinterpret_cast<PItemIDList>(reinterpret_cast<BYTE*>(ID) + ItemSize(ID)) : nullptr;
}

void RemoveLastItemId(PItemIDList IDList) {
    if (!IDList || ItemSize(IDList) == 0)
        return;
    PItemIDList Last = IDList;
    for (PItemIDList Next = NextItemId(Last); ItemSize(Next) != 0; Next = NextItemId(Next))
        Last = Next;
    Last->mkid.cb = 0;
}

int CountItemIds(PItemIDList IDList) {
    int Count = 0;
    for (PItemIDList P = IDList; P && ItemSize(P) != 0; P = NextItemId(P))
        ++Count;
    return Count;
}

int ItemIdListSize(PItemIDList IDList) {
    if (!IDList)
        return 0;
    int Size = 2;
    for (PItemIDList P = IDList; ItemSize(P) != 0; P = NextItemId(P))
        Size += ItemSize(P);
    return Size;
}

PItemIDList CopyItemIdList(PItemIDList IDList) {
    // No list is copied as none, not as an allocation without a terminator.
    if (!IDList)
        return nullptr;
    int Size = ItemIdListSize(IDList);
    PItemIDList Result = AllocItemIdList(Size);
    if (Result)
        std::memcpy(Result, IDList, static_cast<std::size_t>(Size));
    return Result;
}

PItemIDList JoinItemIdLists(PItemIDList First, PItemIDList Second) {
    int Size1 = First ? ItemIdListSize(First) - 2 : 0;
    // A missing second list counts as the empty one, so that the result keeps its terminator.
    int Size2 = Second ? ItemIdListSize(Second) : 2;
    PItemIDList Result = AllocItemIdList(Size1 + Size2);
    if (!Result)
        return nullptr;
    if (Size1 > 0)
        std::memcpy(Result, First, static_cast<std::size_t>(Size1));
    if (Second)
        std::memcpy(reinterpret_cast<BYTE*>(Result) + Size1, Second, static_cast<std::size_t>(Size2));
    return Result;
}

void FreeItemIdList(PItemIDList IDList) {
    if (IDList)
        ShellMalloc()->Free(IDList);
}

PItemIDList LastItemIdOf(PItemIDList IDList) {
    PItemIDList P = IDList;
    while (CountItemIds(P) > 1)
        P = NextItemId(P);
    return CopyItemIdList(P);
}

TList* AncestorIdLists(PItemIDList IDList) {
    auto* Result = Create<TList>();
    PItemIDList Current = IDList;
    while (Current && ItemSize(Current) != 0) {
        PItemIDList Copy = CopyItemIdList(Current);
        Result->Insert(0, Copy);
        RemoveLastItemId(Copy);
        Current = Copy;
    }
    return Result;
}

void FreeIdListList(TList* List) {
    if (!List)
        return;
    for (int I = 0; I < List->Count(); ++I)
        FreeItemIdList(static_cast<PItemIDList>(List->Items(I)));
    List->Free();
}

bool SameItemIdLists(PItemIDList First, PItemIDList Second) {
    return GetDesktopShellFolder()->CompareIDs(0, First, Second) == 0;
}

PItemIDList DesktopItemIdList() {
    PItemIDList List = nullptr;
    OleCheck(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &List));
    return List;
}

// ---------------------------------------------------------------------------------------------
// Shell queries

TacShellRef<IShellFolder> GetDesktopShellFolder() {
    StartShellUse();
    TacShellRef<IShellFolder> D;
    OleCheck(SHGetDesktopFolder(reinterpret_cast<IShellFolder**>(D.OutPtr())));
    return D;
}

int RootFolderIndex(const std::string& Name) { return GetEnumValue(TypeInfoFor<TacRootFolder>(), Name); }

DWORD ObjectTypesToFlags(TacShellObjectTypes ObjectTypes) { return ObjectTypes.Bits() << 5; }

int GetShellImageIndex(PItemIDList IDList, bool Large, bool Open) {
    SHFILEINFOA Info;
    std::memset(&Info, 0, sizeof(Info));
    UINT Flags = SHGFI_PIDL | SHGFI_SYSICONINDEX | (Open ? SHGFI_OPENICON : 0) | (Large ? 0 : SHGFI_SMALLICON);
    SHGetFileInfoA(reinterpret_cast<LPCSTR>(IDList), 0, &Info, sizeof(Info), Flags);
    return Info.iIcon;
}

TacFolderAbilities GetFolderAbilities(IShellFolder* ParentShellFolder, PItemIDList ID) {
    ULONG Attr = ItemAttributes(ParentShellFolder, ID, SFGAO_CAPABILITYMASK);
    return MapBits<TacFolderAbility>(Attr, {{faCopy, SFGAO_CANCOPY},
                                            {faDelete, SFGAO_CANDELETE},
                                            {ShellAbilities::faLink, SFGAO_CANLINK},
                                            {faMove, SFGAO_CANMOVE},
                                            {faRename, SFGAO_CANRENAME},
                                            {faDropTarget, SFGAO_DROPTARGET},
                                            {faPropertySheet, SFGAO_HASPROPSHEET}});
}

TacFolderTraits GetFolderTraits(IShellFolder* ParentShellFolder, PItemIDList ID) {
    if (!ParentShellFolder)
        return {};
    ULONG First = ItemAttributes(ParentShellFolder, ID, 0xF0000) & 0xF0000;
    // Asked for by their bits: shells that return only the bits asked for would give none.
    ULONG Second = ItemAttributes(ParentShellFolder, ID,
                                  SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR | SFGAO_REMOVABLE | SFGAO_VALIDATE);
    return MapBits<TacFolderTrait>(First, {{ftGhosted, 0x80000},
                                           {ftLink, SFGAO_LINK},
                                           {ftReadOnly, SFGAO_READONLY},
                                           {ftShared, SFGAO_SHARE}}) +
           MapBits<TacFolderTrait>(Second, {{ftFileSystem, SFGAO_FILESYSTEM},
                                            {ftFileSystemAncestor, SFGAO_FILESYSANCESTOR},
                                            {ftRemovable, SFGAO_REMOVABLE},
                                            {ftValidate, SFGAO_VALIDATE}});
}

bool IsShellFolderItem(IShellFolder* ParentShellFolder, PItemIDList ID) {
    return (ItemAttributes(ParentShellFolder, ID, SFGAO_FOLDER) & SFGAO_FOLDER) != 0;
}

bool HasSubFolderItems(IShellFolder* ParentShellFolder, PItemIDList ID) {
    return (ItemAttributes(ParentShellFolder, ID, SFGAO_HASSUBFOLDER) & SFGAO_HASSUBFOLDER) != 0;
}

bool HasChildObjects(IShellFolder* ShellFolder, DWORD Flags) {
    if (!ShellFolder)
        return false;
    UINT OldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    bool Result = false;
    TacShellRef<IEnumIDList> Enum;
    if (ShellFolder->EnumObjects(nullptr, Flags, reinterpret_cast<IEnumIDList**>(Enum.OutPtr())) == S_OK && Enum) {
        PITEMID_CHILD ID = nullptr;
        ULONG Fetched = 0;
        Result = Enum->Next(1, &ID, &Fetched) == S_OK;
        if (Result)
            CoTaskMemFree(ID);
    }
    SetErrorMode(OldMode);
    return Result;
}

std::string StrRetText(PItemIDList IDList, STRRET& StrRet) {
    std::string Text;
    switch (StrRet.uType) {
    case STRRET_WSTR:
        if (StrRet.pOleStr) {
            Text = WideToAnsi(StrRet.pOleStr);
            CoTaskMemFree(StrRet.pOleStr);
            StrRet.pOleStr = nullptr;
        }
        break;
    case STRRET_OFFSET:
        if (IDList && StrRet.uOffset < ItemSize(IDList)) {
            const char* Start = reinterpret_cast<const char*>(IDList) + StrRet.uOffset;
            Text.assign(Start, strnlen(Start, ItemSize(IDList) - StrRet.uOffset));
        }
        break;
    case STRRET_CSTR:
        Text.assign(StrRet.cStr, strnlen(StrRet.cStr, sizeof(StrRet.cStr)));
        break;
    default:
        break;
    }
    // A name that the code page could not show begins with "?" before its digit; the marks go.
    if (Text.size() > 1 && Text[0] == '?' && Text[1] >= '0' && Text[1] <= '9')
        std::erase(Text, '?');
    return Text;
}

std::string GetItemDisplayName(IShellFolder* ParentShellFolder, PItemIDList ID, DWORD Flags,
                               TacShowExtension ShowExt) {
    if (!ParentShellFolder)
        return "parentfolder = nil";
    std::string Name = DisplayNameOnce(ParentShellFolder, ID, Flags, ShowExt);
    // A class-identifier path has a readable normal name; asked once, as the normal name can be one
    // too.
    if (IsClassIdName(Name))
        Name = DisplayNameOnce(ParentShellFolder, ID, SHGDN_NORMAL, ShowExt);
    return Name;
}

TacShellRef<IShellFolder> BindItemShellFolder(IShellFolder* ParentShellFolder, PItemIDList ID, HWND Handle) {
    return BindItemInterface<IShellFolder>(ParentShellFolder, ID, Handle, IID_IShellFolder);
}

TacShellRef<IShellDetails> BindItemShellDetails(IShellFolder* ShellFolder, PItemIDList ID, HWND Handle) {
    return BindItemInterface<IShellDetails>(ShellFolder, ID, Handle, IID_IShellDetails);
}

TacShellRef<IShellFolder2> BindItemShellFolder2(IShellFolder* ShellFolder, PItemIDList ID, HWND Handle) {
    TacShellRef<IShellFolder2> Result;
    if (Win32MajorVersion < 5)
        return Result;
    if (GetDesktopShellFolder()->BindToObject(ID, nullptr, IID_IShellFolder2, Result.OutPtr()) == S_OK && Result)
        return Result;
    Result.Clear();
    if (ShellFolder) {
        PCUITEMID_CHILD Child = ID;
        ShellFolder->GetUIObjectOf(Handle, 1, &Child, IID_IShellFolder2, nullptr, Result.OutPtr());
        if (!Result)
            ShellFolder->BindToObject(ID, nullptr, IID_IShellFolder2, Result.OutPtr());
    }
    return Result;
}

TacShellFolder* FolderFromAbsoluteId(PItemIDList IDList) {
    TacShellRef<IShellFolder> Folder = BindItemShellFolder(GetDesktopShellFolder().Get(), IDList, nullptr);
    if (!Folder)
        Folder = GetDesktopShellFolder();
    return Create<TacShellFolder>(DesktopFolder, IDList, Folder.Get());
}

TacShellFolder* ResolveRootFolder(TacShellFolder* OldRootObject, const TacRoot& OldRoot, TacRoot& NewRoot) {
    PItemIDList List = RootIdList(NewRoot);
    if (!List) {
        std::string Message = Format("Error Setting Path : %s", {NewRoot});
        NewRoot = OldRoot;
        List = RootIdList(NewRoot);
        if (!List)
            throw Exception(Message);
        ShowErrorBox(Message);
    }
    TacShellFolder* Result = nullptr;
    try {
        Result = FolderFromAbsoluteId(List);
    } catch (...) {
        FreeItemIdList(List);
        throw;
    }
    FreeItemIdList(List);
    if (OldRootObject)
        OldRootObject->Free();
    return Result;
}

void ShowShellContextMenu(TWinControl* Control, TacShellFolder* Folder, int X, int Y) {
    if (!Folder || !Control)
        return;
    HWND Wnd = Control->Handle();
    TacShellRef<IContextMenu> Menu = ItemContextMenu(Folder, Wnd);
    if (!Menu)
        return;
    POINT P{X, Y};
    ClientToScreen(Wnd, &P);
    HMENU Popup = CreatePopupMenu();
    UINT Command = 0;
    try {
        Menu->QueryContextMenu(Popup, 0, 1, 0x7FFF, CMF_EXPLORE | CMF_CANRENAME);
        Menu->QueryInterface(IID_IContextMenu2, reinterpret_cast<void**>(&ShellMenuHandler));
        try {
            Command = static_cast<UINT>(
                TrackPopupMenu(Popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, P.x, P.y, 0, Wnd, nullptr));
        } catch (...) {
            ReleaseMenuHandler();
            throw;
        }
        ReleaseMenuHandler();
    } catch (...) {
        DestroyMenu(Popup);
        throw;
    }
    DestroyMenu(Popup);
    if (Command == 0)
        return;
    char Verb[256] = {};
    Menu->GetCommandString(Command - 1, GCS_VERBA, nullptr, Verb, sizeof(Verb));
    std::string VerbText = Verb;
    auto* Handler = dynamic_cast<IShellVerbHandler*>(Control);
    bool Handled = false;
    if (Handler)
        Handler->ExecuteVerb(VerbText, Handled);
    bool Succeeded = Handled;
    if (!Handled) {
        CMINVOKECOMMANDINFO Info;
        std::memset(&Info, 0, sizeof(Info));
        Info.cbSize = sizeof(Info);
        Info.hwnd = Wnd;
        Info.lpVerb = MAKEINTRESOURCEA(Command - 1);
        Info.nShow = SW_SHOWNORMAL;
        Succeeded = Menu->InvokeCommand(&Info) == S_OK;
    }
    if (Handler)
        Handler->VerbCompleted(VerbText, Succeeded);
}

void InvokeShellVerb(TacShellFolder* Folder, const std::string& Verb) {
    if (!Folder)
        return;
    TacShellRef<IContextMenu> Menu = ItemContextMenu(Folder, nullptr);
    if (!Menu)
        return;
    CMINVOKECOMMANDINFO Info;
    std::memset(&Info, 0, sizeof(Info));
    Info.cbSize = sizeof(Info);
    Info.fMask = CMIC_MASK_ASYNCOK;
    Info.lpVerb = Verb.c_str();
    Info.nShow = SW_SHOWNORMAL;
    Menu->InvokeCommand(&Info);
}

void RaiseDetailsError(TacShellFolder* Folder, DWORD Code) {
    throw Exception("Unable to retrieve folder details for \"%s\". Error code $%x",
                    {Folder->DisplayName(seSystem), static_cast<LongInt>(Code)});
}

std::string FindDataColumnText(const WIN32_FIND_DATAA& FindData, int Column) {
    bool Directory = (FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    switch (Column) {
    case 1:
        return IntToStr(Directory ? -1
                                  : static_cast<Int64>(FindData.nFileSizeHigh) * 0x100000000LL +
                                        FindData.nFileSizeLow);
    case 2:
        return ExtractFileExt(FindData.cFileName);
    case 3: {
        TDateTime Modified = -1;
        FILETIME Local;
        WORD DosDate = 0, DosTime = 0;
        if (!Directory && FileTimeToLocalFileTime(&FindData.ftLastWriteTime, &Local) &&
            FileTimeToDosDateTime(&Local, &DosDate, &DosTime))
            Modified = FileDateToDateTime(static_cast<int>((static_cast<DWORD>(DosDate) << 16) | DosTime));
        return DateTimeToStr(Modified);
    }
    case 4:
        return IntToStr(static_cast<Int64>(FindData.dwFileAttributes));
    default:
        return std::string();
    }
}

// ---------------------------------------------------------------------------------------------
// TacShellFolder

TacShellFolder::TacShellFolder(TacShellFolder* AParent, PItemIDList ID, IShellFolder* AShellFolder) {
    FDetailTexts = Create<TStringList>();
    FShellFolder = TacShellRef<IShellFolder>::Share(AShellFolder);
    FParent = AParent;
    FRelativeID = CopyItemIdList(ID);
    if (AParent) {
        FAbsoluteID = JoinItemIdLists(AParent->AbsoluteID(), ID);
    } else {
        PItemIDList Desktop = DesktopItemIdList();
        FAbsoluteID = JoinItemIdLists(Desktop, ID);
        FreeItemIdList(Desktop);
        StartShellUse();
        FParent = DesktopFolder;
    }
    for (TacShellFolder* P = AParent ? AParent->FParent : nullptr; P; P = P->FParent)
        ++FLevel;
}

TacShellFolder::~TacShellFolder() {
    FreeAndNil(FDetailTexts);
    FreeItemIdList(FRelativeID);
    FreeItemIdList(FAbsoluteID);
}

IShellFolder* TacShellFolder::ParentShellFolder() const {
    return FParent ? FParent->ShellFolder() : DesktopShellFolder();
}

std::string TacShellFolder::PathName() const {
    return GetItemDisplayName(GetDesktopShellFolder().Get(), FAbsoluteID, SHGDN_FORPARSING, seSystem);
}

std::string TacShellFolder::DisplayName(TacShowExtension ShowExt) const {
    return GetItemDisplayName(ParentShellFolder(), FRelativeID, SHGDN_INFOLDER, ShowExt);
}

bool TacShellFolder::IsFolder(const std::string& Name, bool OpenZipFiles) const {
    if (!OpenZipFiles && !Name.empty() && AnsiLowerCase(ExtractFileExt(Name)) == ".zip")
        return false;
    return IsShellFolderItem(ParentShellFolder(), FRelativeID);
}

bool TacShellFolder::SubFolders() const { return HasSubFolderItems(ParentShellFolder(), FRelativeID); }

TacFolderTraits TacShellFolder::Traits() const { return GetFolderTraits(ParentShellFolder(), FRelativeID); }

TacFolderAbilities TacShellFolder::Abilities() const { return GetFolderAbilities(ParentShellFolder(), FRelativeID); }

int TacShellFolder::ImageIndex(bool Large) const { return GetShellImageIndex(FAbsoluteID, Large, false); }

void TacShellFolder::ExecuteDefault() const {
    SHELLEXECUTEINFOA Info;
    std::memset(&Info, 0, sizeof(Info));
    Info.cbSize = sizeof(Info);
    Info.hwnd = Application ? Application->Handle() : nullptr;
    Info.fMask = SEE_MASK_INVOKEIDLIST;
    Info.lpIDList = FAbsoluteID;
    Info.nShow = SW_SHOW;
    ShellExecuteExA(&Info);
}

bool TacShellFolder::Rename(const std::string& NewName) {
    if (!Abilities().Contains(faRename))
        return false;
    TLastItem L = LastItemOf(ParentShellFolder(), FRelativeID);
    std::wstring Wide = AnsiToWide(NewName);
    PITEMID_CHILD NewID = nullptr;
    if (!L.Holder || L.Holder->SetNameOf(nullptr, L.Item, Wide.c_str(), SHGDN_NORMAL, &NewID) != S_OK)
        throw Exception("Rename to %s failed", {NewName});
    // The leading items of a longer relative list stay; only its last item is new.
    PItemIDList Leading = CopyItemIdList(FRelativeID);
    RemoveLastItemId(Leading);
    PItemIDList NewRelative = JoinItemIdLists(Leading, NewID);
    FreeItemIdList(Leading);
    FreeItemIdList(NewID);
    FreeItemIdList(FRelativeID);
    FreeItemIdList(FAbsoluteID);
    FRelativeID = NewRelative;
    FAbsoluteID = FParent ? JoinItemIdLists(FParent->AbsoluteID(), FRelativeID) : CopyItemIdList(FRelativeID);
    return true;
}

IDetInterface* TacShellFolder::DetailInterface() {
    if (FDetailInterface || !FShellFolder)
        return FDetailInterface;
    FShellDetails = BindItemShellDetails(FShellFolder.Get(), FAbsoluteID, ViewHandle);
    if (!FShellDetails && Win32MajorVersion > 4) {
        FShellFolder2 = BindItemShellFolder2(FShellFolder.Get(), FAbsoluteID, ViewHandle);
        if (!FShellFolder2)
            FShellFolder->QueryInterface(IID_IShellFolder2, FShellFolder2.OutPtr());
    }
    if (FShellFolder2)
        FDetailInterface = FShellFolder2.Get();
    else
        FDetailInterface = FShellDetails.Get();
    return FDetailInterface;
}

IShellDetails* TacShellFolder::ShellDetails() {
    if (!FDetailInterface)
        DetailInterface();
    return FShellDetails.Get();
}

IShellFolder2* TacShellFolder::ShellFolder2() {
    if (!FDetailInterface)
        DetailInterface();
    return FShellFolder2.Get();
}

void TacShellFolder::ReadFindData(WIN32_FIND_DATAA& FindData) const {
    HANDLE Search = FindFirstFileA(PathName().c_str(), &FindData);
    if (Search == INVALID_HANDLE_VALUE)
        RaiseDetailsError(const_cast<TacShellFolder*>(this), GetLastError());
    FindClose(Search);
}

void TacShellFolder::LoadColumnDetails(TacShellFolder* RootFolder, HWND Handle, int ColumnCount) {
    if (FDetailTexts->Count() >= ColumnCount)
        return;
    FDetailTexts->Clear();
    ViewHandle = Handle;
    if (!RootFolder)
        return;
    auto AddDetail = [&](HRESULT Result, SHELLDETAILS& Details) {
        FDetailTexts->Add(Result == S_OK ? StrRetText(FRelativeID, Details.str) : std::string());
    };
    if (IShellFolder2* F2 = RootFolder->ShellFolder2()) {
        for (int I = 1; I <= ColumnCount; ++I) {
            SHELLDETAILS Details{};
            AddDetail(F2->GetDetailsOf(FRelativeID, static_cast<UINT>(I), &Details), Details);
        }
    } else if (IShellDetails* D = RootFolder->ShellDetails()) {
        for (int I = 1; I <= ColumnCount; ++I) {
            SHELLDETAILS Details{};
            AddDetail(D->GetDetailsOf(FRelativeID, static_cast<UINT>(I), &Details), Details);
        }
    } else if (RootFolder->Traits().Contains(ftFileSystem)) {
        WIN32_FIND_DATAA Data;
        ReadFindData(Data);
        for (int I = 1; I <= ColumnCount; ++I)
            FDetailTexts->Add(FindDataColumnText(Data, I));
    }
}

std::string TacShellFolder::Details(int Index) const {
    if (FDetailTexts->Count() == 0)
        throw Exception("%s: Missing call to LoadColumnDetails", {DisplayName(seSystem)});
    return FDetailTexts->Strings(Index - 1);
}

// ---------------------------------------------------------------------------------------------

void StartShellUse() {
    // On first use, not at start-up: the shell and OLE libraries and OLE's own windows are a
    // noticeable part of a program's start, and most windows never show a shell view.
    if (ShellStarted || InitCount == 0)
        return;
    ShellStarted = true;
    OleInitialize(nullptr);
    CreateDesktopFolder();
}

void acShellCtrlsInitialization() {
    if (InitCount++ > 0)
        return;
    InitializeCriticalSection(&ShellCtrlsLock);
    RegisterClass(TacShellChangeNotifier::StaticClass());
    RegisterClass(TsShellTreeView::StaticClass());
}

void acShellCtrlsFinalization() {
    if (InitCount == 0 || --InitCount > 0)
        return;
    FreeAndNil(DesktopFolder);
    HeldDesktop.Clear();
    DeleteCriticalSection(&ShellCtrlsLock);
    if (std::exchange(ShellStarted, false))
        OleUninitialize();
    FreeAndNil(SharedSystemImages);
    ReleaseMenuHandler();
}
