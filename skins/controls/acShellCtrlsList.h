// The shell list view: a skinned virtual list view that shows the items of one shell folder with
// the shell's icons and detail columns, wildcard masks for files, navigation by double click and
// keys, the shell's context menu, in-place rename and an optional refresh on directory changes.
// A linked shell tree follows the folder it shows. Its options are public and set in code.
#pragma once

#include "acShellCtrlsTree.h"
#include "sListView.h"

#include <vector>

class TacCustomShellListView : public TsCustomListView, public IShellVerbHandler {
    DECLARE_CLASS(TacCustomShellListView, TsCustomListView)
public:
    explicit TacCustomShellListView(TComponent* AOwner);
    ~TacCustomShellListView() override;
    void AfterConstruction() override;
    static void DefineClass(TClassBuilder<TacCustomShellListView>& B);

    const TacRoot& Root() const { return FRoot; }
    void SetRoot(const TacRoot& Value);
    void SetRootId(PItemIDList ID);
    // Called by the linked views: shows the folder of ID unless it is shown already.
    void ShowItemId(PItemIDList ID);
    TacShellFolder* RootFolder() const { return FRootFolder; }
    bool AutoRefresh() const { return FAutoRefresh; }
    void SetAutoRefresh(bool Value);
    TacShellChangeNotifier* Notifier() const { return FNotifier; }
    TacCustomShellTreeView* ShellTreeView() const { return FShellTreeView; }
    void SetShellTreeView(TacCustomShellTreeView* Value);
    bool IsUpdating() const { return FUpdating; }

    void Refresh();
    // Shows the parent of the shown folder.
    void Back();
    TacShellFolder* SelectedFolder();
    TacShellFolder* FolderAt(int Index) const;
    int FolderCount() const { return static_cast<int>(FFolders.size()); }
    void EditSelected();
    virtual void Populate();
    void EnumColumns();

    // Fills a virtual item from the folder at its index.
    virtual bool OwnerDataFetch(TListItem* Item, int Index);
    // The first item from Start whose shown name begins with Text (any case), or -1.
    virtual int OwnerDataFind(const std::string& Text, int Start, bool Wrap);

    void ExecuteVerb(const std::string& Verb, bool& Handled) override;
    void VerbCompleted(const std::string& Verb, bool Succeeded) override;
    void DblClick() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void WndProc(TMessage& Message) override;

    bool AutoContextMenus = true;
    bool AutoNavigate = true;
    bool Sorted = true;
    TacShellObjectTypes ObjectTypes{otFolders, otNonFolders};
    HIMAGELIST LargeImages = nullptr;
    HIMAGELIST SmallImages = nullptr;
    // ";"-separated wildcard masks for the items that are no folders; empty shows them all.
    std::string Mask;
    TacShowExtension ShowExt = seSystem;
    TacAddFolderEvent OnAddFolder;

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateComponentWindows() override;
    void DestroyWnd() override;
    // The end of an in-place edit with text: the item is renamed.
    virtual void Edit(int Index, const std::string& Text);

private:
    void ResolveRoot();
    void RootUpdate();
    void SyncLinkedViews();
    void ClearFolders();
    bool CanAdd(const TacShellFolder* Folder) const;
    bool AddDetailColumn(const SHELLDETAILS& Details, std::vector<std::string>& Used);
    void AddDefaultColumns(int Count);
    void AddColumn(const std::string& Caption, TAlignment Alignment, int Chars);
    void OpenSelected();
    void FetchItem(TObject* Sender, TListItem* Item);
    void CNNotify(TMessage& Message);
    void WMContextMenu(TMessage& Message);

    TacRoot FOldRoot;
    TacRoot FRoot = "rfDesktop";
    TacShellFolder* FRootFolder = nullptr;
    bool FAutoRefresh = false;
    TacCustomShellTreeView* FShellTreeView = nullptr;
    TacShellChangeNotifier* FNotifier = nullptr;
    bool FRootChanging = false;
    std::string FSavedDirectory;
    std::vector<TacShellFolder*> FFolders;
    bool FUpdating = false;
};

// The upper-case mapping of code page 1251 used by the wildcard match.
extern const unsigned char (&CaseFoldTable)[256];
// Name against one wildcard mask: AnyChar stands for one character, AnyRun for any run of them.
bool MatchesMask(const std::string& Name, const std::string& Mask, char AnyChar = '?', char AnyRun = '*');
