// The shell namespace as the skinned shell views see it: item-ID lists and the routines over them,
// TacShellFolder (one object per shell item shown, holding its identifier lists and interfaces),
// the special roots and how a root text is resolved, attributes, display names, the shell's
// context menu and column details, and the unit's globals.
//
// Every item-ID list made here lives in the shell allocator's memory and is freed through it
// (FreeItemIdList). Interfaces are held by TacShellRef, which releases them.
//
// The change notifier is in acShellCtrlsNotify.h, the folder tree in acShellCtrlsTree.h.
//
// Start-up: acShellCtrlsInitialization() makes the unit's lock and registers the unit's components
// for form files; the first shell query (StartShellUse) starts OLE and makes DesktopFolder;
// acShellCtrlsFinalization() undoes both.
#pragma once

#include "Classes.h"
#include "Controls.h"
#include "ImgList.h"
#include "Lists.h"
#include "SysUtils.h"
#include "TypInfo.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <utility>

// ---------------------------------------------------------------------------------------------
// Interface references

// Holds one reference of a COM interface and releases it; copies add a reference.
template <class I>
class TacShellRef {
public:
    TacShellRef() = default;
    // Takes over a reference the caller already holds (as the shell's out-parameters give them).
    static TacShellRef Attach(I* P) {
        TacShellRef R;
        R.FPtr = P;
        return R;
    }
    // Adds a reference of its own.
    static TacShellRef Share(I* P) {
        if (P)
            P->AddRef();
        return Attach(P);
    }
    TacShellRef(const TacShellRef& O) : FPtr(O.FPtr) {
        if (FPtr)
            FPtr->AddRef();
    }
    TacShellRef(TacShellRef&& O) noexcept : FPtr(std::exchange(O.FPtr, nullptr)) {}
    TacShellRef& operator=(TacShellRef O) noexcept {
        std::swap(FPtr, O.FPtr);
        return *this;
    }
    ~TacShellRef() { Clear(); }

    void Clear() {
        if (I* P = std::exchange(FPtr, nullptr))
            P->Release();
    }
    I* Get() const { return FPtr; }
    I* operator->() const { return FPtr; }
    explicit operator bool() const { return FPtr != nullptr; }
    // For an out-parameter: the old reference is released first.
    void** OutPtr() {
        Clear();
        return reinterpret_cast<void**>(&FPtr);
    }

private:
    I* FPtr = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Types

// An item-ID list as this unit passes it around: writable, absolute or relative by context.
using PItemIDList = ITEMIDLIST*;

DECLARE_ENUM(TacShellObjectType, otFolders, otNonFolders, otHidden)
DECLARE_SET(TacShellObjectTypes, TacShellObjectType)
DECLARE_ENUM(TacShowExtension, seSystem, seShow, seHide)
// faLink is also a field attribute of the data units; the abilities keep their names in a namespace
// of their own so that both headers can meet in one file (ShellAbilities::faLink names this one).
namespace ShellAbilities {
DECLARE_ENUM(TacFolderAbility, faCopy, faDelete, faLink, faMove, faRename, faDropTarget, faPropertySheet)
}
using ShellAbilities::TacFolderAbility;
using ShellAbilities::faCopy;
using ShellAbilities::faDelete;
using ShellAbilities::faMove;
using ShellAbilities::faRename;
using ShellAbilities::faDropTarget;
using ShellAbilities::faPropertySheet;
DECLARE_SET(TacFolderAbilities, TacFolderAbility)
DECLARE_ENUM(TacFolderTrait, ftGhosted, ftLink, ftReadOnly, ftShared, ftFileSystem, ftFileSystemAncestor,
             ftRemovable, ftValidate)
DECLARE_SET(TacFolderTraits, TacFolderTrait)
DECLARE_ENUM(TacRootFolder, rfDesktop, rfMyComputer, rfNetwork, rfRecycleBin, rfAppData, rfCommonDesktopDirectory,
             rfCommonPrograms, rfCommonStartMenu, rfCommonStartup, rfControlPanel, rfDesktopDirectory, rfFavorites,
             rfFonts, rfInternet, rfPersonal, rfPrinters, rfPrintHood, rfPrograms, rfRecent, rfSendTo, rfStartMenu,
             rfStartup, rfTemplates)

// A root: the name of a TacRootFolder value (any case) or a file-system path.
using TacRoot = std::string;

// The CSIDL number of each root, by the enumeration's value.
extern const int RootCSIDL[23];

class TacShellFolder;

using TacAddFolderEvent = TMethodOf<TObject*, TacShellFolder*, bool&>;
DECLARE_EVENT_NAME(TacAddFolderEvent)

// The details interface chosen for an item (IShellFolder2 or IShellDetails), known by its IUnknown.
using IDetInterface = IUnknown;

// What a shell view does with the verbs its context menu runs. The shell views implement it; the
// context menu asks the control for it.
struct IShellVerbHandler {
    virtual void ExecuteVerb(const std::string& Verb, bool& Handled) = 0;
    virtual void VerbCompleted(const std::string& Verb, bool Succeeded) = 0;

protected:
    ~IShellVerbHandler() = default;
};
inline constexpr GUID IID_IShellVerbHandler = {
    0x7D2A7245, 0x2376, 0x4D33, {0x80, 0x08, 0xA1, 0x30, 0x93, 0x5A, 0x2E, 0x8B}};

inline constexpr const char* PropertiesVerb = "properties";

// ---------------------------------------------------------------------------------------------
// Item-ID lists

PItemIDList AllocItemIdList(int Size);
PItemIDList NextItemId(PItemIDList ID);
void RemoveLastItemId(PItemIDList IDList);
int CountItemIds(PItemIDList IDList);
int ItemIdListSize(PItemIDList IDList);
PItemIDList CopyItemIdList(PItemIDList IDList);
PItemIDList JoinItemIdLists(PItemIDList First, PItemIDList Second);
void FreeItemIdList(PItemIDList IDList);
PItemIDList LastItemIdOf(PItemIDList IDList);
// The ancestors of an item, outermost first: for N items the empty list (the desktop), the first
// item, the first two, ... the first N-1. The caller frees them with FreeIdListList.
TList* AncestorIdLists(PItemIDList IDList);
void FreeIdListList(TList* List);
bool SameItemIdLists(PItemIDList First, PItemIDList Second);
PItemIDList DesktopItemIdList();

// ---------------------------------------------------------------------------------------------
// Shell queries

TacShellRef<IShellFolder> GetDesktopShellFolder();
int RootFolderIndex(const std::string& Name);
DWORD ObjectTypesToFlags(TacShellObjectTypes ObjectTypes);
int GetShellImageIndex(PItemIDList IDList, bool Large, bool Open);
TacFolderAbilities GetFolderAbilities(IShellFolder* ParentShellFolder, PItemIDList ID);
TacFolderTraits GetFolderTraits(IShellFolder* ParentShellFolder, PItemIDList ID);
bool IsShellFolderItem(IShellFolder* ParentShellFolder, PItemIDList ID);
bool HasSubFolderItems(IShellFolder* ParentShellFolder, PItemIDList ID);
// Never shows the system's critical-error boxes (drives without media).
bool HasChildObjects(IShellFolder* ShellFolder, DWORD Flags);
// The text of a STRRET; a wide text the shell allocated is freed.
std::string StrRetText(PItemIDList IDList, STRRET& StrRet);
std::string GetItemDisplayName(IShellFolder* ParentShellFolder, PItemIDList ID, DWORD Flags,
                               TacShowExtension ShowExt);
TacShellRef<IShellFolder> BindItemShellFolder(IShellFolder* ParentShellFolder, PItemIDList ID, HWND Handle);
TacShellRef<IShellDetails> BindItemShellDetails(IShellFolder* ShellFolder, PItemIDList ID, HWND Handle);
TacShellRef<IShellFolder2> BindItemShellFolder2(IShellFolder* ShellFolder, PItemIDList ID, HWND Handle);
// A new item of an absolute list, below DesktopFolder.
TacShellFolder* FolderFromAbsoluteId(PItemIDList IDList);
// The item of a root text (see the unit's notes): NewRoot may change (a path gets its trailing
// backslash; a failed root becomes OldRoot). OldRootObject is freed when given.
TacShellFolder* ResolveRootFolder(TacShellFolder* OldRootObject, const TacRoot& OldRoot, TacRoot& NewRoot);
// The shell's context menu of Folder at client point (X, Y) of Control.
void ShowShellContextMenu(TWinControl* Control, TacShellFolder* Folder, int X, int Y);
void InvokeShellVerb(TacShellFolder* Folder, const std::string& Verb);
[[noreturn]] void RaiseDetailsError(TacShellFolder* Folder, DWORD Code);

// ---------------------------------------------------------------------------------------------
// TacShellFolder

class TacShellFolder : public TObject {
    DECLARE_CLASS(TacShellFolder, TObject)
public:
    // Copies ID; Parent null stands for DesktopFolder.
    TacShellFolder(TacShellFolder* AParent, PItemIDList ID, IShellFolder* AShellFolder);
    ~TacShellFolder() override;

    PItemIDList RelativeID() const { return FRelativeID; }
    PItemIDList AbsoluteID() const { return FAbsoluteID; }
    TacShellFolder* Parent() const { return FParent; }
    IShellFolder* ShellFolder() const { return FShellFolder.Get(); }
    int Level() const { return FLevel; }
    TStringList* DetailTexts() const { return FDetailTexts; }
    HWND ViewHandle = nullptr;

    IShellFolder* ParentShellFolder() const;
    std::string PathName() const;
    std::string DisplayName(TacShowExtension ShowExt) const;
    bool IsFolder(const std::string& Name = std::string(), bool OpenZipFiles = true) const;
    bool SubFolders() const;
    TacFolderTraits Traits() const;
    TacFolderAbilities Abilities() const;
    int ImageIndex(bool Large) const;
    void ExecuteDefault() const;
    bool Rename(const std::string& NewName);
    IDetInterface* DetailInterface();
    IShellDetails* ShellDetails();
    IShellFolder2* ShellFolder2();
    void ReadFindData(WIN32_FIND_DATAA& FindData) const;
    void LoadColumnDetails(TacShellFolder* RootFolder, HWND Handle, int ColumnCount);
    std::string Details(int Index) const;

private:
    PItemIDList FRelativeID = nullptr;
    PItemIDList FAbsoluteID = nullptr;
    TacShellFolder* FParent = nullptr;
    TacShellRef<IShellFolder> FShellFolder;
    TacShellRef<IShellFolder2> FShellFolder2;
    TacShellRef<IShellDetails> FShellDetails;
    IDetInterface* FDetailInterface = nullptr;  // one of the two above, not counted again
    int FLevel = 0;
    TStringList* FDetailTexts = nullptr;
};

// The text of one column of the file-system fallback of LoadColumnDetails: 1 size, 2 extension,
// 3 modification time, 4 attributes.
std::string FindDataColumnText(const WIN32_FIND_DATAA& FindData, int Column);

// ---------------------------------------------------------------------------------------------
// Globals

extern TacShellFolder* DesktopFolder;
extern IContextMenu2* ShellMenuHandler;      // while a shell context menu is tracked
extern TacShellFolder* SortParentFolder;     // while a view sorts its items
extern CRITICAL_SECTION ShellCtrlsLock;
extern TCustomImageList* SharedSystemImages;  // made by the shell combo box

// Starts OLE on the calling (main) thread and makes DesktopFolder, once after the unit's start-up.
void StartShellUse();

void acShellCtrlsInitialization();
void acShellCtrlsFinalization();
