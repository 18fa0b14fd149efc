// The skinned single-line edit: the standard edit with its skin data (SkinData), a disabled look
// (DisabledKind) and a caption label beside it (BoundLabel). While it is skinned its frame comes
// from its cache bitmap and the standard edit paints the text area in the section's colours; while
// it is not, every window message goes to the standard edit unchanged and only the library command
// message and the bound label get extra handling. The model of every edit-like skinned control.
//
// Start-up: sEditInitialization() registers TsEdit for form files.
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"
#include "sConst.h"

class TsEdit : public TEdit {
    DECLARE_CLASS(TsEdit, TEdit)
public:
    explicit TsEdit(TComponent* AOwner);
    ~TsEdit() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TsEdit>& B);

    TsCommonData* SkinData() const { return FCommonData; }
    // Takes the published values of another skin data (the object itself stays).
    void SetSkinData(TsCommonData* Value);
    TsBoundLabel* BoundLabel() const { return FBoundLabel; }
    void SetBoundLabel(TsBoundLabel* Value);
    TsDisabledKind DisabledKind() const { return FDisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);

    void WndProc(TMessage& Message) override;
    // Paints the whole skinned image of the control into the cache bitmap.
    virtual void PrepareCache();
    // Writes the text into the cache bitmap.
    virtual void PaintText();
    // Copies the cache to DC (the window DC, frame included, when DC is 0).
    void PaintClient(HDC DC);
    // Copies the frame strips of the cache to the window DC.
    void PaintBorder();

    // Frame width B: 0, 1 or 2 by BorderStyle and Ctl3D; with WithBevels, a frameless edit counts its
    // inner and outer bevels instead.
    int BorderWidthOf(bool WithBevels);
    // Text inset T of the cache image.
    int TextInset();

protected:
    void Loaded() override;
    void CreateParams(TCreateParams& Params) override;

private:
    void SkinnedWndProc(TMessage& Message);
    void AfterSkinnedMessage(TMessage& Message);
    void BoundLabelMessage(TMessage& Message);
    // Takes the section's hot or normal colours before the standard edit paints.
    void TakeSectionColors();
    void RefreshUpdateFlag();

    TsCommonData* FCommonData = nullptr;
    TsDisabledKind FDisabledKind{dkBlended};
    TsBoundLabel* FBoundLabel = nullptr;
};

void sEditInitialization();
