// The control adapter of a skinned form: it walks the form's components and controls and gives each
// supported one a hook, so that framework controls and controls of other classes take the skin too.
// Which hook a windowed control gets is decided by its class name, looked up in the skin manager's
// class lists of controls of other classes; speed buttons get the speed-button handler, and plain
// labels are only made transparent in the skin's font colour.
#pragma once

#include "acSBUtils.h"
#include "acSpeedButtonHandler.h"

#include <string>
#include <vector>

class TacCtrlAdapter;

// (Item, var CanBeAdded, var SkinSection): the provider's say on each control before it is wrapped.
using TAddItemEvent = TMethodOf<TComponent*, bool&, std::string&>;
DECLARE_EVENT_NAME(TAddItemEvent)

// The hooks made for each class list, by list index (18 lists).
enum : int {
    ctEdits, ctButtons, ctBitBtns, ctCheckBoxes, ctComboBoxes, ctGrids, ctGroupBoxes, ctListViews, ctPanels,
    ctTreeViews, ctWWEdits, ctGridEh, ctVirtualTrees, ctPageControl, ctTabControl, ctToolBar, ctStatusBar,
    ctSpeedButton
};

// A wrapped windowed control: its skin data and its hook.
class TacAdapterItem : public TPersistent {
    DECLARE_CLASS(TacAdapterItem, TPersistent)
public:
    explicit TacAdapterItem(TacCtrlAdapter* AAdapter);
    ~TacAdapterItem() override;
    // The hook of the control's list; none for a control of no list (or of the speed-button list).
    virtual void DoHook(TWinControl* AControl);

    TWinControl* Control = nullptr;
    TsCommonData* SkinData = nullptr;  // owned
    int Reserved = -1;
    TacCtrlAdapter* Adapter = nullptr;
    TacMainWnd* ScrollWnd = nullptr;  // owned
};

// A wrapped speed button.
class TacGraphItem : public TPersistent {
    DECLARE_CLASS(TacGraphItem, TPersistent)
public:
    explicit TacGraphItem(TacCtrlAdapter* AAdapter);
    ~TacGraphItem() override;
    virtual void DoHook(TControl* AControl);

    TControl* Control = nullptr;
    TsCommonData* SkinData = nullptr;  // owned
    TacCtrlAdapter* Adapter = nullptr;
    TacSpeedButtonHandler* Handler = nullptr;  // owned
};

class TacCtrlAdapter : public TPersistent {
    DECLARE_CLASS(TacCtrlAdapter, TPersistent)
public:
    // OnSkinItem is the provider's event (may be null or empty).
    explicit TacCtrlAdapter(TacFormProvider* AProvider, const TAddItemEvent* AOnSkinItem = nullptr);
    ~TacCtrlAdapter() override;

    // Wraps the supported components and controls of Control (null: the provider's form), down
    // through the windowed ones.
    void AdaptControls(TWinControl* Control);
    virtual bool IsControlSupported(TControl* Control);
    int Count() const { return static_cast<int>(Items.size()); }
    virtual TacAdapterItem* GetItem(int Index);
    virtual TsCommonData* GetCommonData() { return nullptr; }
    virtual void AddNewGraphItem(TControl* Control);
    virtual void AddItem(TWinControl* Control) { AddNewItem(Control, DefaultSection); }
    virtual void AddNewItem(TComponent* Component, const std::string& Section);
    // Frees the item; the last one takes its place.
    virtual void RemoveItem(int Index);
    // The message to every wrapped control whose hook lives and that has a parent.
    virtual void SendToItems(TMessage& Message);
    // Frees the items whose hook (or handler) is gone or gave its window back, keeping the order.
    void CleanItems();
    void RemoveAllItems();

    std::string DefaultSection;
    std::vector<TacAdapterItem*> Items;  // owned
    std::vector<TacGraphItem*> GraphItems;  // owned
    TacFormProvider* Provider = nullptr;

private:
    // The provider's say on a control; False keeps it unwrapped.
    bool AskProvider(TComponent* Component, std::string& Section);
    const TAddItemEvent* OnSkinItem = nullptr;
};

// The index of the first class list that names ClassName exactly; -1 when none (or no manager).
int ThirdPartyListIndexOf(TsSkinManager* Manager, const std::string& ClassName);

// AdaptControls runs (it does not run again inside itself).
extern bool AdaptingControls;
// An adapter frees all its items.
extern bool AdapterRemovingItems;
