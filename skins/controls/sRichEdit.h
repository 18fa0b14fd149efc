// The skinned rich edit: the standard rich edit with its skin data, a disabled look and a bound
// label, whose text limit is the system's largest. Like the memo it paints no frame of its own:
// while skinned a window hook on its window paints the frame and scroll bars, and the rich edit
// hands that hook its disabled kind when asked (SKIN_GETDISABLEDKIND). It also takes the section's
// colours for its default text while skinned.
//
// Start-up: sRichEditInitialization() registers TsRichEdit for form files.
#pragma once

#include "RichEdit.h"
#include "acSBUtils.h"
#include "sCommonData.h"
#include "sConst.h"

class TsRichEdit : public TRichEdit {
    DECLARE_CLASS(TsRichEdit, TRichEdit)
public:
    explicit TsRichEdit(TComponent* AOwner);
    ~TsRichEdit() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TsRichEdit>& B);

    TsCommonData* SkinData() const { return FCommonData; }
    void SetSkinData(TsCommonData* Value);
    TsBoundLabel* BoundLabel() const { return FBoundLabel; }
    void SetBoundLabel(TsBoundLabel* Value);
    TsDisabledKind DisabledKind() const { return FDisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);
    TacScrollWnd* EditWnd() const { return FEditWnd; }

    void WndProc(TMessage& Message) override;

protected:
    void Loaded() override;

private:
    bool LibraryCommand(TMessage& Message);
    void SkinnedMessage(TMessage& Message);
    // The section's colours for an enabled or disabled rich edit (unless the colour is custom).
    void TakeEnabledColors();

    TsCommonData* FCommonData = nullptr;
    TsDisabledKind FDisabledKind{dkBlended};
    TsBoundLabel* FBoundLabel = nullptr;
    TacScrollWnd* FEditWnd = nullptr;
};

void sRichEditInitialization();
