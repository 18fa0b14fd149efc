// Edits with an embedded button: TsCustomComboEdit is a skinned mask edit with a small flat button
// inside its right edge and an optional popup window (made by descendants) that the button opens
// under the edit; TsComboEdit publishes it as a general edit whose button click the application
// handles. The button's picture comes from a TsGlyphMode: an image of the application's image list,
// or one of the five built-in three-state glyphs of DefaultButtonGlyphs.
//
// Start-up: sCustomComboEditInitialization() registers TsComboEdit for form files; the built-in
// glyphs are made on first use; sCustomComboEditFinalization() frees them.
#pragma once

#include "ImgList.h"
#include "acAlphaImageList.h"
#include "Menus.h"
#include "sMaskEdit.h"
#include "sSpeedButton.h"

class TsCustomComboEdit;

// Five 48 x 16 strips of three 16 x 16 states (normal, hot, pressed) in this order.
inline constexpr int FolderGlyph = 0;
inline constexpr int RefreshGlyph = 1;
inline constexpr int DateGlyph = 2;
inline constexpr int EllipsisGlyph = 3;
inline constexpr int CalcGlyph = 4;
TsAlphaImageList* DefaultButtonGlyphs();

class TsGlyphMode : public TPersistent {
    DECLARE_CLASS(TsGlyphMode, TPersistent)
public:
    explicit TsGlyphMode(TWinControl* AOwner) : Owner(AOwner) {}
    static void DefineClass(TClassBuilder<TsGlyphMode>& B);

    TWinControl* Owner;
    TsSpeedButton* Btn = nullptr;

    int Blend() const;
    void SetBlend(int Value);
    bool Grayed() const;
    void SetGrayed(bool Value);
    std::string Hint() const;
    void SetHint(const std::string& Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int ImageIndexHot() const { return FImageIndexHot; }
    void SetImageIndexHot(int Value);
    int ImageIndexPressed() const { return FImageIndexPressed; }
    void SetImageIndexPressed(int Value);

    // The application's images are there and ImageIndex is one of them.
    bool OwnImagesValid() const;
    // The list the button shows: the application's when valid, else DefaultButtonGlyphs.
    TCustomImageList* ChosenList() const;
    int ImageCount() const;
    int GlyphWidth() const;
    int GlyphHeight() const;
    void Refresh();
    bool ButtonReady() const;

private:
    void SetIndex(int& Field, int Value);

    TCustomImageList* FImages = nullptr;
    int FImageIndex = -1;
    int FImageIndexHot = -1;
    int FImageIndexPressed = -1;
};

class TsEditButton : public TsSpeedButton {
    DECLARE_CLASS(TsEditButton, TsSpeedButton)
public:
    explicit TsEditButton(TComponent* AOwner);

    TsCustomComboEdit* Owner = nullptr;

    int GlyphWidth() override;
    int GlyphHeight() override;
    void PrepareCache() override;
    // The skinned image (or the standard look) painted into DC at Point.
    void PaintTo(HDC DC, TPoint Point);
    // The glyph's images are taken only for painting and given back afterwards.
    void UpdateGlyph();
    void ReleaseGlyph();

protected:
    void Paint() override;

private:
    bool Busy();
};

class TsCustomComboEdit : public TsMaskEdit {
    DECLARE_CLASS(TsCustomComboEdit, TsMaskEdit)
public:
    explicit TsCustomComboEdit(TComponent* AOwner);
    ~TsCustomComboEdit() override;
    void AfterConstruction() override;
    static void DefineClass(TClassBuilder<TsCustomComboEdit>& B);

    TsEditButton* Button() const { return FButton; }
    TShortCut ClickKey() const { return FClickKey; }
    void SetClickKey(TShortCut Value) { FClickKey = Value; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool DirectInput() const { return FDirectInput; }
    void SetDirectInput(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TPopupWindowAlign PopupAlign() const { return FPopupAlign; }
    void SetPopupAlign(TPopupWindowAlign Value) { FPopupAlign = Value; }
    TsGlyphMode* GlyphMode() const { return FGlyphMode; }
    void SetGlyphMode(TsGlyphMode* Value);
    int PopupWidth() const { return FPopupWidth; }
    void SetPopupWidth(int Value) { FPopupWidth = Value; }
    bool ShowButton() const { return FShowButton; }
    void SetShowButton(bool Value);
    TsDisabledKind DisabledKind() const { return TsMaskEdit::DisabledKind(); }
    void SetDisabledKind(TsDisabledKind Value) { TsMaskEdit::SetDisabledKind(Value); }

    TNotifyEvent OnButtonClick;
    int DefaultGlyphIndex = -1;
    // The popup window, made by descendants (a form in practice).
    TWinControl* Popup = nullptr;

    void WndProc(TMessage& Message) override;
    void Invalidate() override;
    void SetEditRect() override;
    void PaintBorder(HDC DC) override;
    void PaintText() override;
    void PaintClient(HDC DC) override;
    bool GetHotState() override;
    virtual bool GetReadOnly() { return FReadOnly; }
    virtual void PopupDropDown();
    virtual void PopupCloseUp();
    virtual void SelectAllText();
    virtual void ButtonClick();
    void DoButtonClick(TObject* Sender);
    bool IsPopupVisible() const;

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Change() override;

private:
    void CMCancelMode(TMessage& Message);
    void CMFocusChanged(TMessage& Message);
    void ButtonMouseEvent(TObject*, TMouseButton, TShiftState, int, int) {}
    bool PrintSkinned(TMessage& Message);

    TsEditButton* FButton = nullptr;
    TShortCut FClickKey = 32808;
    bool FReadOnly = false;
    bool FDirectInput = true;
    TAlignment FAlignment = taLeftJustify;
    TPopupWindowAlign FPopupAlign = pwaRight;
    TsGlyphMode* FGlyphMode = nullptr;
    int FPopupWidth = 282;
    bool FShowButton = true;
};

class TsComboEdit : public TsCustomComboEdit {
    DECLARE_CLASS(TsComboEdit, TsCustomComboEdit)
public:
    explicit TsComboEdit(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TsComboEdit>& B);
};

void sCustomComboEditInitialization();
void sCustomComboEditFinalization();
