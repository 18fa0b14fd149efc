// The skinned tree view: the framework's tree view with its skin data (SkinData) and a caption
// label beside it (BoundLabel). While it is skinned a tree hook (TacTreeViewWnd) on its window
// paints the frame and scroll bars and the view takes the section's colours; the view keeps that
// hook in step with the skin. Without a skin manager it is the framework's tree view that answers
// the library command message and carries its bound label.
//
// Start-up: sTreeViewInitialization() registers TsTreeView for form files.
#pragma once

#include "ComCtrlsTree.h"
#include "acSBUtilsTree.h"
#include "sCommonData.h"

class TsTreeView : public TTreeView {
    DECLARE_CLASS(TsTreeView, TTreeView)
public:
    explicit TsTreeView(TComponent* AOwner);
    ~TsTreeView() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TsTreeView>& B);

    TsCommonData* SkinData() const { return FCommonData; }
    // Takes the published values of another skin data (the object itself stays).
    void SetSkinData(TsCommonData* Value);
    TsBoundLabel* BoundLabel() const { return FBoundLabel; }
    void SetBoundLabel(TsBoundLabel* Value);
    // The tree hook while skinned, else null.
    TacTreeViewWnd* TreeHook() const { return FTreeHook; }

    void WndProc(TMessage& Message) override;

protected:
    void Loaded() override;

private:
    bool LibraryCommand(TMessage& Message);
    // The section's colour and first font colour, each unless custom.
    void TakeSkinColors();

    TsCommonData* FCommonData = nullptr;
    TsBoundLabel* FBoundLabel = nullptr;
    TacTreeViewWnd* FTreeHook = nullptr;
};

void sTreeViewInitialization();
