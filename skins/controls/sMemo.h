// The skinned memo: the standard memo with its skin data, a disabled look and a bound label. It
// paints no frame of its own: while it is skinned a window hook (TacEditWnd) on its window paints
// the skinned frame and scroll bars, and the memo keeps that hook in step with its skinning. While
// it is not skinned every window message goes to the standard memo.
//
// Also here: the bound label's share of a skinned edit-like control's messages, which every such
// control handles last.
//
// Start-up: sMemoInitialization() registers TsMemo for form files.
#pragma once

#include "StdCtrls.h"
#include "acSBUtils.h"
#include "sCommonData.h"
#include "sConst.h"

class TsMemo : public TMemo {
    DECLARE_CLASS(TsMemo, TMemo)
public:
    explicit TsMemo(TComponent* AOwner);
    ~TsMemo() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TsMemo>& B);

    TsCommonData* SkinData() const { return FCommonData; }
    void SetSkinData(TsCommonData* Value);
    TsBoundLabel* BoundLabel() const { return FBoundLabel; }
    void SetBoundLabel(TsBoundLabel* Value);
    TsDisabledKind DisabledKind() const { return FDisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);
    // The window hook while skinned, else null.
    TacScrollWnd* EditWnd() const { return FEditWnd; }

    void WndProc(TMessage& Message) override;

    TNotifyEvent OnVScroll;      // after WM_VSCROLL, skinned path only
    TNotifyEvent OnScrollCaret;  // after EM_SCROLLCARET, skinned path only

protected:
    void Loaded() override;

private:
    bool LibraryCommand(TMessage& Message);
    void SkinnedMessage(TMessage& Message);

    TsCommonData* FCommonData = nullptr;
    TsDisabledKind FDisabledKind{dkBlended};
    TsBoundLabel* FBoundLabel = nullptr;
    TacScrollWnd* FEditWnd = nullptr;
};

// The bound label follows its host's visibility, enabled state and placement.
void BoundLabelMessage(TsBoundLabel* BoundLabel, TControl* Host, TsDisabledKind DisabledKind, const TMessage& Message);

void sMemoInitialization();
