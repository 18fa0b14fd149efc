// The hook of windowless speed buttons (part of the window-hooks unit, acSBUtils.h): the button's
// WindowProc is taken over, and every paint its parent asks for builds the whole button (section,
// corners, caption, glyph, disabled look) in the skin data's cache and copies it to the parent's DC.
#pragma once

#include "Buttons.h"
#include "acSBUtils.h"

class TacSpeedButtonHandler : public TObject {
    DECLARE_CLASS(TacSpeedButtonHandler, TObject)
public:
    // SkinData belongs to the caller; its section becomes Section when it has none yet.
    TacSpeedButtonHandler(TControl* AControl, bool Repaint, const std::string& Section, TsSkinManager* Manager,
                          TsCommonData* ASkinData);
    ~TacSpeedButtonHandler() override;
    virtual void WndProc(TMessage& Message);
    void CallPrevWndProc(TMessage& Message);

    // 2 down, 1 hot, else 0.
    int CurrentState();
    void WMPaint(TMessage& Message);
    void PrepareCache();
    TSize TextSize();
    int GlyphWidth();
    int GlyphHeight();
    TRect GlyphRect();
    TRect CaptionRect();
    void PaintCaption();
    void WriteCaption(const TRect& R, UINT Flags);
    void PaintGlyph();

    TControl* Control = nullptr;
    TWndMethod ReplacedWindowProc;
    TsSkinManager* SkinManager = nullptr;
    TsCommonData* SkinData = nullptr;
    bool Unhooked = false;

private:
    // Told when the button is freed before the handler: the handler then forgets it.
    class TControlWatch* Watch = nullptr;
    TSpeedButton* Button() const { return DynCast<TSpeedButton>(Control); }
    std::string Caption() const { return Control->Caption(); }
};
