// The shell combo box, part of the shell controls unit (acShellCtrls.h): an extended combo box
// whose list shows the chain of shell folders from the root down to the current folder, indented by
// depth, with the shell's icons. Linked with a shell tree and a shell list view, each view tells the
// others when its folder or root changes; the updating flags keep a change from echoing back.
// Every item's Data is an owned TacShellFolder.
#pragma once

#include "acShellCtrls.h"
#include "sComboBoxes.h"

class TacCustomShellTreeView;
class TacCustomShellListView;

// (Sender, Index, var ImageIndex): asked for each child item added.
using TacGetImageIndexEvent = TMethodOf<TObject*, int, int&>;
DECLARE_EVENT_NAME(TacGetImageIndexEvent)

class TacCustomShellComboBox : public TsComboBoxEx {
    DECLARE_CLASS(TacCustomShellComboBox, TsComboBoxEx)
public:
    explicit TacCustomShellComboBox(TComponent* AOwner);
    ~TacCustomShellComboBox() override;
    void BeforeDestruction() override;
    void AfterConstruction() override;

    const TacRoot& Root() const { return FRoot; }
    void SetRoot(const TacRoot& Value);
    void RootChanged();
    virtual void SetObjectTypes(TacShellObjectTypes Value);
    TacShellObjectTypes ObjectTypes() const { return FObjectTypes; }
    // Called by a linked tree: the list shows the way to ID and selects it.
    void SelectItemId(PItemIDList ID);
    bool IsUpdating() const { return Updating || Loading; }
    // The folder of item Index; an index past the end stands for the last item.
    TacShellFolder* FolderAt(int Index);
    // The last item whose folder is ID; -1.
    int IndexOfId(PItemIDList ID);
    void SetUseShellImages(bool Value);
    bool UseShellImages() const { return FUseShellImages; }
    void SetShellTreeView(TacCustomShellTreeView* Value);
    void SetShellListView(TacCustomShellListView* Value);
    TacCustomShellTreeView* ShellTreeView() const { return FShellTreeView; }
    TacCustomShellListView* ShellListView() const { return FShellListView; }

    void BuildRoot();
    virtual void Populate();
    void AddFolderItems(int AfterIndex, TacShellFolder* Folder);
    void SelectPathById(PItemIDList ID);
    void DropAllItems();

    HIMAGELIST SystemImages = nullptr;
    int IconHeight = 16;
    int IconWidth = 16;
    TacShellFolder* RootFolder = nullptr;  // owned
    bool Updating = false;
    bool Loading = true;
    TacGetImageIndexEvent OnGetImageIndex;

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Change() override;
    void Click() override;

private:
    int IconIndexOf(TacShellFolder* Folder);
    TacShellFolder* MakeChildFolder(TacShellFolder* Folder, PItemIDList ID);
    void InsertFolderItem(int Index, TacShellFolder* Folder);
    // The root's items and the way down to ID, without choosing it.
    void AddPathItems(PItemIDList ID);
    void ReadIconSize();

    TacRoot FOldRoot;
    TacRoot FRoot = "rfDesktop";
    TacCustomShellTreeView* FShellTreeView = nullptr;
    TacCustomShellListView* FShellListView = nullptr;
    TacShellObjectTypes FObjectTypes{otFolders};
    bool FUseShellImages = true;
};
