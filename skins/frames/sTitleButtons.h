// What a skinned caption shows besides the form's own: extra caption buttons with glyphs, hints and
// mouse events, a replacement title icon, and a second caption text with its own font. The provider
// lays them out and paints them; the record of one caption button is shared with its own buttons.
#pragma once

#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"

class TsSkinProvider;
class TacSBAnimation;

// One caption button: the provider's minimise, maximise, close and help buttons, the buttons of a
// maximised MDI child, and each extra title button.
struct TitleButtonState {
    int State = 0;          // 0 normal, 1 hot, 2 pressed, -1 never drawn
    int ImageIndex = -1;    // mask index of its image
    TRect Rect{};           // window coordinates of the owner window (of its frame image)
    bool BigImage = false;  // one of the large images ("BICONCLOSE" ...)
    int GlowIndex = -1;     // glow window, -1 none
    TacSBAnimation* Animation = nullptr;
    int HitCode = 0;        // 8, 9, 20, 21, 101..103, or 1000 + index of an extra button
};

class TsTitleButton : public TCollectionItem {
    DECLARE_CLASS(TsTitleButton, TCollectionItem)
public:
    explicit TsTitleButton(TCollection* ACollection);
    ~TsTitleButton() override;
    static void DefineClass(TClassBuilder<TsTitleButton>& B);
    std::string GetDisplayName() override { return FName; }

    bool UseSkinData = true;
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value);
    TBitmap* Glyph() const { return FGlyph; }
    void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
    TMouseEvent OnMouseUp;
    TMouseEvent OnMouseDown;
    bool Enabled = true;
    std::string Hint;
    bool Visible() const { return FVisible; }
    // Repaints the provider's frame: an invisible button takes no room.
    void SetVisible(bool Value);

    // The hint window while shown; whoever frees it sets this to nil.
    THintWindow* HintWnd = nullptr;
    TitleButtonState Data;

    void DoMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    void DoMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    TsSkinProvider* Provider() const;

protected:
    // Copies everything but Visible to another title button.
    void AssignTo(TPersistent* Dest) override;


private:
    // A new glyph drops the running glow: the next hot state builds it with the new picture.
    void GlyphChanged(TObject* Sender);

    std::string FName;
    TBitmap* FGlyph = nullptr;
    bool FVisible = true;
};

// The hint of an extra caption button, shown below right of the cursor while the button is hot
// (it fades in where the system fades tool tips), and taken away again.
void ShowTitleButtonHint(TsTitleButton* Item);
void HideTitleButtonHint(TsTitleButton* Item);

class TsTitleButtons : public TCollection {
    DECLARE_CLASS(TsTitleButtons, TCollection)
public:
    explicit TsTitleButtons(TsSkinProvider* AOwner);
    ~TsTitleButtons() override;
    TsTitleButton* Items(int Index) const { return static_cast<TsTitleButton*>(TCollection::Items(Index)); }
    TPersistent* GetOwner() override;

    TsSkinProvider* FOwner = nullptr;
};

class TsTitleIcon : public TPersistent {
    DECLARE_CLASS(TsTitleIcon, TPersistent)
public:
    TsTitleIcon();
    ~TsTitleIcon() override;
    static void DefineClass(TClassBuilder<TsTitleIcon>& B);
    TBitmap* Glyph() const { return FGlyph; }
    void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
    // Stored only: the caption is not repainted by a change.
    int Height = 0;
    int Width = 0;

private:
    TBitmap* FGlyph = nullptr;
};

class TacAddedTitle : public TPersistent {
    DECLARE_CLASS(TacAddedTitle, TPersistent)
public:
    TacAddedTitle();
    ~TacAddedTitle() override;
    static void DefineClass(TClassBuilder<TacAddedTitle>& B);
    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    TFont* Font() const { return FFont; }
    void SetFont(TFont* Value);
    // The provider's frame repainted unless it is loading.
    void Changed();

    TsSkinProvider* FOwner = nullptr;

private:
    std::string FText;
    TFont* FFont = nullptr;
};
