// The tree view of the ComCtrls unit. The nodes live in the object (TTreeNodes); the window shows
// them and is filled again from them whenever it is made, so nodes survive a re-created window.
#pragma once

#include "ComCtrls.h"

#include <functional>

class TCustomTreeView;
class TTreeNodes;

class TTreeNode : public TPersistent {
    DECLARE_CLASS(TTreeNode, TPersistent)
public:
    explicit TTreeNode(TTreeNodes* AOwner);
    ~TTreeNode() override;

    TTreeNodes* Owner() const { return FOwner; }
    TCustomTreeView* TreeView() const;
    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    void* Data() const { return FData; }
    void SetData(void* Value) { FData = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int SelectedIndex() const { return FSelectedIndex; }
    void SetSelectedIndex(int Value);
    // True also when the node has children.
    bool HasChildren() const { return FHasChildren || !FItems.empty(); }
    void SetHasChildren(bool Value);
    bool Expanded() const { return FExpanded; }
    void SetExpanded(bool Value);
    bool Selected() const;
    void SetSelected(bool Value);
    HTREEITEM ItemId() const { return FItemId; }

    TTreeNode* Parent() const { return FParent; }
    int Level() const;
    int Count() const { return static_cast<int>(FItems.size()); }
    TTreeNode* Item(int Index) const;  // the list-index error outside
    int Index() const;
    int AbsoluteIndex() const;
    TTreeNode* GetFirstChild() const { return FItems.empty() ? nullptr : FItems.front(); }
    TTreeNode* GetLastChild() const { return FItems.empty() ? nullptr : FItems.back(); }
    TTreeNode* GetNextSibling() const;
    TTreeNode* GetPrevSibling() const;
    // The next node in tree order (children first), or null after the last.
    TTreeNode* GetNext() const;
    TTreeNode* GetPrev() const;
    bool HasAsParent(const TTreeNode* Value) const;

    void Expand(bool Recurse);
    void Collapse(bool Recurse);
    void MakeVisible();
    void Delete();
    void DeleteChildren();
    // Sorts the children with Compare (OnCompare or the texts without regard to case when null).
    bool CustomSort(const std::function<int(TTreeNode*, TTreeNode*)>& Compare, bool Recurse = false);
    bool AlphaSort(bool Recurse = false);

private:
    friend class TTreeNodes;
    friend class TCustomTreeView;

    TTreeNodes* FOwner;
    TTreeNode* FParent = nullptr;
    std::vector<TTreeNode*> FItems;
    std::string FText;
    void* FData = nullptr;
    int FImageIndex = -1;
    int FSelectedIndex = -1;
    bool FHasChildren = false;
    bool FExpanded = false;
    bool FDeleting = false;
    HTREEITEM FItemId = nullptr;
};

class TTreeNodes : public TPersistent {
    DECLARE_CLASS(TTreeNodes, TPersistent)
public:
    explicit TTreeNodes(TCustomTreeView* AOwner);
    ~TTreeNodes() override;

    TCustomTreeView* Owner() const { return FOwner; }
    // All nodes, in tree order.
    int Count() const;
    TTreeNode* Item(int Index) const;  // the list-index error outside
    TTreeNode* GetFirstNode() const { return FRoots.empty() ? nullptr : FRoots.front(); }
    TTreeNode* GetNode(HTREEITEM ItemId) const;

    // Adding: a child of Parent (null: a top-level node), first or last; a sibling of Sibling,
    // last or before it (Insert). The result is the new node.
    TTreeNode* AddChild(TTreeNode* Parent, const std::string& S) { return AddChildObject(Parent, S, nullptr); }
    TTreeNode* AddChildObject(TTreeNode* Parent, const std::string& S, void* Ptr);
    TTreeNode* AddChildFirst(TTreeNode* Parent, const std::string& S) { return AddChildObjectFirst(Parent, S, nullptr); }
    TTreeNode* AddChildObjectFirst(TTreeNode* Parent, const std::string& S, void* Ptr);
    TTreeNode* Add(TTreeNode* Sibling, const std::string& S) { return AddObject(Sibling, S, nullptr); }
    TTreeNode* AddObject(TTreeNode* Sibling, const std::string& S, void* Ptr);
    TTreeNode* AddFirst(TTreeNode* Sibling, const std::string& S) { return AddObjectFirst(Sibling, S, nullptr); }
    TTreeNode* AddObjectFirst(TTreeNode* Sibling, const std::string& S, void* Ptr);
    TTreeNode* Insert(TTreeNode* Sibling, const std::string& S) { return InsertObject(Sibling, S, nullptr); }
    TTreeNode* InsertObject(TTreeNode* Sibling, const std::string& S, void* Ptr);
    void Delete(TTreeNode* Node);
    void Clear();
    void BeginUpdate();
    void EndUpdate();
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override;

private:
    friend class TTreeNode;
    friend class TCustomTreeView;
    TTreeNode* InsertAt(TTreeNode* Parent, int Index, const std::string& S, void* Ptr);
    std::vector<TTreeNode*>& SiblingsOf(TTreeNode* Parent) { return Parent ? Parent->FItems : FRoots; }
    const std::vector<TTreeNode*>& SiblingsOf(const TTreeNode* Parent) const { return Parent ? Parent->FItems : FRoots; }

    TCustomTreeView* FOwner;
    std::vector<TTreeNode*> FRoots;
    int FUpdateCount = 0;
};

using TTVChangingEvent = TMethodOf<TObject*, TTreeNode*, bool&>;
using TTVChangedEvent = TMethodOf<TObject*, TTreeNode*>;
using TTVExpandingEvent = TMethodOf<TObject*, TTreeNode*, bool&>;
using TTVCollapsingEvent = TTVExpandingEvent;
using TTVExpandedEvent = TTVChangedEvent;
using TTVCompareEvent = TMethodOf<TObject*, TTreeNode*, TTreeNode*, int, int&>;
// The text an in-place edit ended with; the handler may change it before the node takes it.
using TTVEditedEvent = TMethodOf<TObject*, TTreeNode*, std::string&>;
DECLARE_EVENT_NAME(TTVChangingEvent)
DECLARE_EVENT_NAME(TTVChangedEvent)
DECLARE_EVENT_NAME(TTVCompareEvent)
DECLARE_EVENT_NAME(TTVEditedEvent)

class TCustomTreeView : public TWinControl {
    DECLARE_CLASS(TCustomTreeView, TWinControl)
public:
    explicit TCustomTreeView(TComponent* AOwner);
    ~TCustomTreeView() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TCustomTreeView>& B);

    TTreeNodes* Items() const { return FTreeNodes; }
    void SetItems(TTreeNodes* Value) { FTreeNodes->Assign(Value); }
    TTreeNode* Selected() const;
    void SetSelected(TTreeNode* Value);
    TTreeNode* TopItem() const;
    void SetTopItem(TTreeNode* Value);
    TTreeNode* GetNodeAt(int X, int Y);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    bool ShowRoot() const { return FShowRoot; }
    void SetShowRoot(bool Value);
    bool ShowButtons() const { return FShowButtons; }
    void SetShowButtons(bool Value);
    bool ShowLines() const { return FShowLines; }
    void SetShowLines(bool Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    bool RightClickSelect() const { return FRightClickSelect; }
    void SetRightClickSelect(bool Value) { FRightClickSelect = Value; }
    bool AutoExpand() const { return FAutoExpand; }
    void SetAutoExpand(bool Value);
    bool AlphaSort(bool Recurse = true);
    bool CustomSort(const std::function<int(TTreeNode*, TTreeNode*)>& Compare, bool Recurse = true);
    void FullExpand();
    void FullCollapse();

    TTVChangedEvent OnChange;
    TTVChangingEvent OnChanging;
    TTVExpandingEvent OnExpanding;
    TTVExpandedEvent OnExpanded;
    TTVCollapsingEvent OnCollapsing;
    TTVExpandedEvent OnCollapsed;
    TTVExpandedEvent OnDeletion;
    TTVCompareEvent OnCompare;
    TTVEditedEvent OnEdited;
    // Asked whenever the window shows a node's image or its selected image, so a handler may set
    // the node's ImageIndex or SelectedIndex then.
    TTVExpandedEvent OnGetImageIndex;
    TTVExpandedEvent OnGetSelectedIndex;

    virtual bool CanExpand(TTreeNode* Node);
    virtual bool CanCollapse(TTreeNode* Node);
    virtual bool CanChange(TTreeNode* Node);
    virtual void Change(TTreeNode* Node);
    virtual void Expand(TTreeNode* Node);
    virtual void Collapse(TTreeNode* Node);
    virtual void Delete(TTreeNode* Node);
    // An in-place edit ended with Text: OnEdited, then the node takes the text.
    virtual void Edit(TTreeNode* Node, const std::string& Text);
    virtual void GetImageIndex(TTreeNode* Node);
    virtual void GetSelectedIndex(TTreeNode* Node);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateComponentWindows() override;
    void DestroyWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CNNotify(TMessage& Message);
    void WMRButtonDown(TMessage& Message);

private:
    friend class TTreeNode;
    friend class TTreeNodes;
    void InsertWindowItem(TTreeNode* Node);
    void InsertWindowTree(TTreeNode* Node);
    void UpdateWindowItem(TTreeNode* Node);
    void ImageListChange(TObject* Sender);

    TTreeNodes* FTreeNodes = nullptr;
    TTreeNode* FSelected = nullptr;  // kept while there is no window
    TCustomImageList* FImages = nullptr;
    TChangeLink* FImageChangeLink = nullptr;
    bool FShowRoot = true;
    bool FShowButtons = true;
    bool FShowLines = true;
    bool FReadOnly = false;
    bool FHideSelection = true;
    bool FRightClickSelect = false;
    bool FAutoExpand = false;
    bool FManualNotify = false;   // the object itself expands or selects: no events from the window
    bool FFilling = false;        // the window is being filled from the nodes
    HWND FEditEnded = nullptr;    // the edit control whose end was handled: the window may repeat it
};

class TTreeView : public TCustomTreeView {
    DECLARE_CLASS(TTreeView, TCustomTreeView)
public:
    using TCustomTreeView::TCustomTreeView;
};
