// The skinned labels: windowless labels that are transparent by default, take their font colour
// from the active skin, can paint a skin section behind their text and draw disabled text in a
// colour mixed with what lies behind them. They have no skin data of their own: they ask the
// default skin manager directly. Without one they paint and size as the framework's label.
//
// TsEditLabel is the label control of a bound label (the caption beside a skinned edit).
//
// Start-up: sLabelInitialization() registers the label classes for form files and makes the bound
// labels of skinned edits TsEditLabel controls.
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"

#include <string>

// Set while a label's Paint changes its own font colour: the font change that follows must neither
// resize nor invalidate the label.
extern bool LabelFontUpdating;

class TsCustomLabel : public TCustomLabel {
    DECLARE_CLASS(TsCustomLabel, TCustomLabel)
public:
    explicit TsCustomLabel(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TsCustomLabel>& B);

    const std::string& SkinSection() const { return FSkinSection; }
    void SetSkinSection(const std::string& Value);

    // The label's Font, recoloured from the active skin when the skin gives a colour.
    virtual TFont* GetCurrentFont();

    void WndProc(TMessage& Message) override;

    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnMouseEnter;

protected:
    void Paint() override;
    void DoDrawText(TRect& Rect, UINT Flags) override;
    bool IsDestroying() const { return ComponentState().Contains(csDestroying); }

private:
    // The font colour the skin gives this label, or 0xFF00FF.
    TColor SkinFontColor();

    std::string FSkinSection;
};

class TsLabel : public TsCustomLabel {
    DECLARE_CLASS(TsLabel, TsCustomLabel)
public:
    explicit TsLabel(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TsLabel>& B);

    bool UseSkinColor() const { return FUseSkinColor; }
    void SetUseSkinColor(bool Value) { FUseSkinColor = Value; }

    TFont* GetCurrentFont() override;
    void WndProc(TMessage& Message) override;

private:
    bool FUseSkinColor = true;
};

// The label control a bound label makes beside its host; it tells the bound label when it goes.
class TsEditLabel : public TsLabel {
    DECLARE_CLASS(TsEditLabel, TsLabel)
public:
    TsEditLabel(TComponent* AOwner, TsBoundLabel* BoundLabel);
    void BeforeDestruction() override;

    TsBoundLabel* BoundLabel() const { return FBoundLabel; }

private:
    TsBoundLabel* FBoundLabel;
};

// The skin-aware label's font colour while no skin section gives one: the default manager's main
// font colour (0xFF00FF when the skin has none).
TColor MainFontColorOf(TsSkinManager* Manager);

void sLabelInitialization();
