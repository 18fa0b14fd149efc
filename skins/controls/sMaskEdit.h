// The skinned mask edit: the standard mask edit with its skin data, a disabled look and a bound
// label. While skinned it paints its frame from its cache bitmap, and while it is neither focused
// nor hot its whole image, the text included; focused or hot, the standard edit paints the text.
// It is the base of the edits with an embedded button and of the date edit, so its painting steps
// are virtual.
//
// Start-up: sMaskEditInitialization() registers TsMaskEdit for form files.
#pragma once

#include "Mask.h"
#include "sCommonData.h"
#include "sConst.h"

class TsMaskEdit : public TMaskEdit {
    DECLARE_CLASS(TsMaskEdit, TMaskEdit)
public:
    explicit TsMaskEdit(TComponent* AOwner);
    ~TsMaskEdit() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TsMaskEdit>& B);

    TsCommonData* SkinData() const { return FCommonData; }
    void SetSkinData(TsCommonData* Value);
    TsBoundLabel* BoundLabel() const { return FBoundLabel; }
    void SetBoundLabel(TsBoundLabel* Value);
    TsDisabledKind DisabledKind() const { return FDisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);

    void WndProc(TMessage& Message) override;

    // Where the text goes inside the frame (descendants make room for their buttons).
    virtual void SetEditRect() {}
    // Copies the frame strips of the cache to DC (0: the window DC); nothing without a border.
    virtual void PaintBorder(HDC DC);
    // The same whatever the border style.
    void PaintBorderStrips(HDC DC);
    // Writes the edit text into the cache bitmap.
    virtual void PaintText();
    // Copies the whole cache, text included, to DC (0: the window DC).
    virtual void PaintClient(HDC DC);
    // Focused or hot; descendants add their own hot parts.
    virtual bool GetHotState();

    // Paints the whole image into the cache bitmap.
    void PrepareCache();
    // The distance of the text from the edge: 3 for a 3-D frame, 2 for a flat one, 0 without.
    int TextMargin();

protected:
    void Loaded() override;
    // Not while the form is being read.
    void Change() override;

private:
    bool LibraryCommand(TMessage& Message);
    void SkinnedMessage(TMessage& Message);
    void RefreshUpdateFlag() { FCommonData->SetInUpdate(FCommonData->IsUpdating()); }

    TsCommonData* FCommonData = nullptr;
    TsDisabledKind FDisabledKind{dkBlended};
    TsBoundLabel* FBoundLabel = nullptr;
};

void sMaskEditInitialization();
