// The shell folder tree, part of the shell controls unit (acShellCtrls.h): a skinned tree view of
// the shell namespace below a root, one node per shell item, filled as nodes expand, with the
// shell's icons, its context menu, in-place rename and an optional refresh on directory changes.
// Every node's Data is an owned TacShellFolder.
//
// A folder is chosen from the tree and read with GetPath; SetPath selects a folder or file, opening
// the tree down to it. Nodes made before the window exists are kept when it is made; a window made
// again later is filled from the root again.
#pragma once

#include "acShellCtrls.h"
#include "acShellCtrlsNotify.h"
#include "sTreeView.h"

class TacCustomShellListView;
class TacCustomShellComboBox;

class TacCustomShellTreeView : public TsTreeView, public IShellVerbHandler {
    DECLARE_CLASS(TacCustomShellTreeView, TsTreeView)
public:
    explicit TacCustomShellTreeView(TComponent* AOwner);
    ~TacCustomShellTreeView() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TacCustomShellTreeView>& B);

    // The parsing name of the selected item ("" when nothing is selected).
    std::string GetPath();
    // Selects the item of a path (expanded to a full one); a path the shell cannot parse raises
    // Exception "Error Setting Path". A path below no node leaves the tree without a selection.
    void SetPath(const std::string& Path);
    std::string Path() { return GetPath(); }
    void SelectItemId(PItemIDList ID);
    TTreeNode* FindNodeById(PItemIDList ID, TTreeNode* Start);
    bool IsUpdating() const { return FUpdating; }
    TacShellFolder* CurrentFolder();
    TacShellFolder* NodeFolder(int Index);
    TacShellFolder* RootFolder() const { return FRootFolder; }

    const TacRoot& Root() const { return FRoot; }
    void SetRoot(const TacRoot& Value);
    TacShellObjectTypes ObjectTypes() const { return FObjectTypes; }
    virtual void SetObjectTypes(TacShellObjectTypes Value);
    bool AutoContextMenus() const { return FAutoContextMenus; }
    void SetAutoContextMenus(bool Value) { FAutoContextMenus = Value; }
    bool UseShellImages() const { return FUseShellImages; }
    void SetUseShellImages(bool Value);
    bool AutoRefresh() const { return FAutoRefresh; }
    void SetAutoRefresh(bool Value);
    TacShowExtension ShowExt() const { return FShowExt; }
    void SetShowExt(TacShowExtension Value) { FShowExt = Value; }
    // The owned change notifier (null after AutoRefresh was switched off).
    TacShellChangeNotifier* Notifier() const { return FNotifier; }
    HIMAGELIST SystemImages() const { return FSystemImages; }
    // The linked list view (not owned) shows the folder chosen here and gets the tree's root.
    TacCustomShellListView* ShellListView() const { return FShellListView; }
    void SetShellListView(TacCustomShellListView* Value);
    // The linked combo box (not owned) shows the way to the folder chosen here.
    TacCustomShellComboBox* ShellComboBox() const { return FShellComboBox; }
    void SetShellComboBox(TacCustomShellComboBox* Value);

    TacAddFolderEvent OnAddFolder;

    void ApplyRoot();
    void BuildRoot();
    void DropAllNodes();
    virtual void RootChanged();
    void FillNode(TTreeNode* Node);
    void RebuildNode(TTreeNode* Node);
    void RefreshSelected();
    void PostRefresh();

    void ExecuteVerb(const std::string& Verb, bool& Handled) override;
    void VerbCompleted(const std::string& Verb, bool Succeeded) override;

    bool CanExpand(TTreeNode* Node) override;
    bool CanChange(TTreeNode* Node) override;
    void Delete(TTreeNode* Node) override;
    void WndProc(TMessage& Message) override;

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateComponentWindows() override;
    void DestroyWnd() override;
    // The end of an in-place edit with text: OnEdited, then the item is renamed.
    void Edit(TTreeNode* Node, const std::string& Text) override;
    // The handlers are asked only while the tree shows the program's own images.
    void GetImageIndex(TTreeNode* Node) override;
    void GetSelectedIndex(TTreeNode* Node) override;

private:
    static TacShellFolder* FolderOf(const TTreeNode* Node);
    void SetUpNode(TTreeNode* Node, PItemIDList ID, TTreeNode* ParentNode);
    void SetShellImages(TTreeNode* Node, PItemIDList AbsoluteID);
    void WMContextMenu(TMessage& Message);
    void WMRefresh(TMessage& Message);

    TacRoot FRoot = "rfDesktop";
    TacRoot FOldRoot;
    TacShellFolder* FRootFolder = nullptr;
    TacShellObjectTypes FObjectTypes{otFolders};
    HIMAGELIST FSystemImages = nullptr;
    bool FBuildingRoot = false;
    bool FAutoContextMenus = true;
    bool FUpdating = false;
    bool FAutoRefresh = false;
    bool FSettingImages = false;
    bool FUseShellImages = true;
    TacShellChangeNotifier* FNotifier = nullptr;
    std::string FSavedDirectory;
    TTreeNode* FChangingTo = nullptr;
    TacShowExtension FShowExt = seSystem;
    TacCustomShellListView* FShellListView = nullptr;
    TacCustomShellComboBox* FShellComboBox = nullptr;
};

class TsShellTreeView : public TacCustomShellTreeView {
    DECLARE_CLASS(TsShellTreeView, TacCustomShellTreeView)
public:
    using TacCustomShellTreeView::TacCustomShellTreeView;
    static void DefineClass(TClassBuilder<TsShellTreeView>& B);
};

// The message that the change notifier posts to have the selected node read again.
inline constexpr UINT WM_SHELLTREEREFRESH = WM_USER + 1;
