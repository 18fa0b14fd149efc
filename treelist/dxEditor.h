// Editor kinds over the in-place editor base: the plain-text editor on the system's rich edit
// ("RichEdit20A" in plain-text mode) with its own context menu, and the mask editor that forces
// input into an edit mask.
//
// Start-up: dxEditorInitialization() loads the context-menu captions; RICHED20.DLL is loaded (file-error
// boxes suppressed) when the first editor window on it is made; dxEditorFinalization() frees the
// library and clears the captions.
#pragma once

#include "Mask.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "dxCntner.h"

#include <richedit.h>
#include <richole.h>

#include <string>

class TdxTextEditViewData : public TdxEditViewData {
    DECLARE_CLASS(TdxTextEditViewData, TdxEditViewData)
public:
    TEditCharCase CharCase = ecNormal;
    bool EllipsisAtEnd = false;
    char PasswordChar = 0;
    bool SelectionBar = false;
};

class TdxInplaceTextEdit : public TdxInplaceEdit {
public:
    struct TMetaClass : TdxInplaceEdit::TMetaClass {
        using TdxInplaceEdit::TMetaClass::TMetaClass;
        bool DrawClient(HDC DC, const TRect& Rect, bool IsEditorPaint, TdxEditViewData* ViewData) const override;
        TdxEditViewDataClass GetViewDataClass() const override;
    };
    DECLARE_CLASS(TdxInplaceTextEdit, TdxInplaceEdit)

public:
    explicit TdxInplaceTextEdit(TComponent* AOwner);
    ~TdxInplaceTextEdit() override;
    static void DefineClass(TClassBuilder<TdxInplaceTextEdit>& B);

    virtual void ApplyCharCase();
    virtual void SetEditLimit(int Value);
    virtual int GetSelLength();
    virtual int GetSelStart();
    virtual void GetSelText(std::string& S);
    virtual bool NeedsOleCallback() { return FDataDefinition != nullptr; }
    virtual void SelectionChange() { OnSelChange(this); }
    virtual void SetMaxLength(int Value);
    virtual void SetSelLength(int Value);
    virtual void SetSelStart(int Value);
    virtual int DefaultMaxLength() { return FDataDefinition ? FDataDefinition->MaxLength() : 0; }
    virtual int GetSelTextBuf(char* Buffer, int BufSize);

    void Clear();
    void ClearSelection() { Perform(WM_CLEAR); }
    void CopyToClipboard() { Perform(WM_COPY); }
    void CutToClipboard() { Perform(WM_CUT); }
    void PasteFromClipboard() { Perform(WM_PASTE); }
    void Undo() { Perform(EM_UNDO); }
    void Redo() { Perform(EM_REDO); }
    void ClearUndo();
    bool CanUndo();
    bool CanRedo();
    bool CanPaste();
    int GetTextLength();
    void GetSelection(int& Start, int& End);
    void SetSelection(int Start, int End);

    void SetEditValue(const Variant& Value) override;
    void RefreshDataProperties() override;
    TdxEditViewData* CreateViewData(bool IsPaintCopy) override;
    bool GetModified() override;
    void SetReadOnly(bool Value) override;
    void SetModified(bool Value) override;
    void GoToTextEnd() override;
    bool HasEditWindow() override { return true; }
    void RestoreDefaults() override;
    void SelectAll() override;

    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    int MaxLength() const { return FMaxLength; }
    void SetStoredMaxLength(int Value);
    bool OEMConvert() const { return FOEMConvert; }
    void SetOEMConvert(bool Value);
    char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char Value);
    bool SelectionBar() const { return FSelectionBar; }
    void SetSelectionBar(bool Value);

    // The context menu, built on first use; its enabled states refreshed before every showing.
    TPopupMenu* EditPopupMenu();
    void UpdateEditPopupMenu();
    TNotifyEvent OnSelChange;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    // Shows the context menu at a screen point.
    virtual void PopupEditMenu(TPoint P);

    void CNCommand(TMessage& Message);
    void CNNotify(TMessage& Message);
    void CMTextChangedText(TMessage& Message);
    void CMColorChangedText(TMessage& Message);
    void CMSysColorChange(TMessage& Message);
    void WMSetFont(TMessage& Message);
    void WMSetText(TMessage& Message);
    void WMSizeText(TMessage& Message);
    void CMEnterText(TMessage& Message);
    void WMRButtonUp(TMessage& Message);
    void WMContextMenu(TMessage& Message);
    void WMChar(TMessage& Message);
    void WMGetDlgCodeText(TMessage& Message);

    bool FAssigningText = false;
    bool FCaseChanging = false;
    bool FCreating = false;

private:
    class TOleCallback;
    void MenuItemClick(TObject* Sender);
    char ConvertCase(char Ch) const;

    bool FAutoSelect = true;
    TEditCharCase FCharCase = ecNormal;
    TPopupMenu* FEditPopupMenu = nullptr;
    bool FHideSelection = true;
    int FMaxLength = 0;
    bool FSavedModified = false;
    bool FOEMConvert = false;
    char FPasswordChar = 0;
    int FRefCount = 0;
    bool FSelectionBar = false;
    TOleCallback* FCallback = nullptr;
};

// ---------------------------------------------------------------------------------------------

DECLARE_ENUM(TdxMaskFlag, mfMasked, mfReEntering)
DECLARE_SET(TdxMaskFlags, TdxMaskFlag)

class TdxInplaceMaskEdit : public TdxInplaceTextEdit {
    DECLARE_CLASS(TdxInplaceMaskEdit, TdxInplaceTextEdit)
public:
    explicit TdxInplaceMaskEdit(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TdxInplaceMaskEdit>& B);

    virtual void GetSel(int& SelStart, int& SelEnd);
    virtual void SetEditMask(const std::string& Value);
    virtual void GetDefinitionEditMask(std::string& S) { S = FDataDefinition ? FDataDefinition->EditMask() : ""; }

    void ClearMaskedText() { SetMaskedText(std::string()); }
    void EmptyMaskText(std::string& S) { S = IsMasked() ? FMask.EmptyText() : std::string(); }
    int MaskedValueLength() { return static_cast<int>(GetMaskedValue().size()); }
    void SetSelRange(int Start, int End, bool Reverse);
    std::string GetMaskedValue();
    void SetMaskedText(const std::string& Value);
    // Puts the caret on Pos with the one character there selected (masked).
    void SetCursor(int Pos);
    void CheckCursor();
    void SetStoredEditMask(const std::string& Value);

    void SetEditValue(const Variant& Value) override;
    void RefreshDataProperties() override;
    void ReadEditValue(Variant& Value) override { Value = GetMaskedValue(); }
    bool KeepOpenOnContainerClick() override { return FKeepOpen && GetModified(); }
    void GetEditingText(std::string& S) override;
    void Validate() override;
    bool NeedsOleCallback() override { return TdxInplaceTextEdit::NeedsOleCallback() || IsMasked(); }
    void SetMaxLength(int Value) override;
    int DefaultMaxLength() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void KeyUp(Word& Key, TShiftState Shift) override;

    const std::string& EditMask() const { return FEditMask; }
    bool IsMasked() const { return FMaskFlags.Contains(mfMasked); }
    int MaskLength() const { return FMaskLength; }
    int CaretPosition() const { return FCaretPosition; }
    char BlankChar() const { return FBlankChar; }
    bool SaveLiterals() const { return FSaveLiterals; }
    bool IgnoreMaskBlank = false;
    bool SkipKeyDown = false;

protected:
    int NextEditable(int P) const;
    int PrevEditable(int P) const;
    void CursorInc(int P, int N);
    void CursorDec(int P);
    void DeleteKeys(Word Key);
    void InputChar(char& Key);
    // The first required slot that is blank (unless blanks are allowed) or a space where a space is
    // no character; -1 when the text is complete.
    int FirstInvalidPosition(const std::string& S) const;

    void WMClear(TMessage& Message);
    void WMCut(TMessage& Message);
    void WMPaste(TMessage& Message);
    void EMReplaceSel(TMessage& Message);
    void WMLButtonDown(TMessage& Message);
    void WMLButtonUp(TMessage& Message);
    void WMSetFocusMask(TMessage& Message);
    void CMEnterMask(TMessage& Message);
    void CMTextChangedMask(TMessage& Message);
    void CMWantSpecialKey(TMessage& Message);
    void CNCommandMask(TMessage& Message);

    int FButtonDownX = 0;
    int FCaretPosition = 0;
    std::string FEditMask;
    char FBlankChar = MaskConsts::DefaultBlank;
    bool FSaveLiterals = true;
    TdxMaskFlags FMaskFlags;
    int FMaskLength = 0;
    TEditMaskInfo FMask;

private:
    void ArrowKeys(Word Key, TShiftState Shift);
    void HomeEnd(Word Key, TShiftState Shift);
    void ApplyMaskText(const std::string& S);
    // The selection blanked (literals kept): the text to set.
    std::string BlankSelection(const std::string& S, int Start, int End) const;
};

// ---------------------------------------------------------------------------------------------
// Drop-down editor base: edit buttons in the non-client area and the protocol that opens, feeds
// and closes a popup under the editor. The open and close operations belong to the kinds.

DECLARE_ENUM(TdxEditButtonKind, bkEllipsis, bkDown, bkGlyph)

struct TdxEditButtonViewInfo {
    TBitmap* Glyph = nullptr;  // not owned
    int Index = 0;
    TdxEditButtonKind Kind = bkEllipsis;
    bool LeftAlignment = false;
    int Width = 0;
};

inline constexpr int dxMaxEditButtons = 8;

class TdxDropDownEditViewData : public TdxTextEditViewData {
    DECLARE_CLASS(TdxDropDownEditViewData, TdxTextEditViewData)
public:
    int ButtonCount = 0;
    TdxEditButtonViewInfo Buttons[dxMaxEditButtons];
    TBitmap* Glyph = nullptr;  // not owned; null when the editor's glyph is empty
    bool HideButtons = false;
    int HotButton = -1;
    int PushedButton = -1;
};

// The same shape as the validate event (sender, value as text, accept): one event type serves both.
using TdxEditCloseUpEvent = TMethodOf<TObject*, std::string&, bool&>;

class TdxInplaceDropDownEdit : public TdxInplaceMaskEdit {
public:
    struct TMetaClass : TdxInplaceMaskEdit::TMetaClass {
        using TdxInplaceMaskEdit::TMetaClass::TMetaClass;
        void CalcViewInfo(TdxEditViewData* ViewData, bool AutoSize, ViewInfo& Info) const override;
        void DrawBorder(HDC DC, const ViewInfo& Info, TdxEditViewData* ViewData) const override;
        TdxEditViewDataClass GetViewDataClass() const override;
        // Fills the view data's button records.
        virtual void InitButtons(TdxDropDownEditViewData* ViewData) const;
        virtual int ButtonWidth(TdxDropDownEditViewData* ViewData, const TdxEditButtonViewInfo& Button) const;
    };
    DECLARE_CLASS(TdxInplaceDropDownEdit, TdxInplaceMaskEdit)

public:
    explicit TdxInplaceDropDownEdit(TComponent* AOwner);
    ~TdxInplaceDropDownEdit() override;
    static void DefineClass(TClassBuilder<TdxInplaceDropDownEdit>& B);
    const TMetaClass* Meta() const { return static_cast<const TMetaClass*>(ClassType()); }

    virtual void PositionPopup(TControl* Popup, bool AdjustWidth);
    virtual void ClosePopup(bool) {}
    virtual void PressButton(bool NoCapture, int Index);
    virtual void ButtonClick(int) {}
    virtual void DoCloseUp(std::string& Value, bool& Accept) { OnCloseUp(this, Value, Accept); }
    virtual void PopupKeyDown(Word& Key, TShiftState Shift);
    virtual void StepValue(int, bool) {}
    virtual void OpenPopup() {}
    virtual void DoOpenPopup();
    virtual void PopupSearch(const std::string&) {}

    TdxEditViewData* CreateViewData(bool IsPaintCopy) override;
    bool IsFocused() override;
    bool WantsMouseWheel() override { return true; }
    void InitialShow() override;
    void HideInplace() override;
    void ShowInplace() override;
    void SetHot(bool Value) override;
    void ActivateByMouse(int X, int Y) override;
    void ActivateByClick() override;
    void KeyDown(Word& Key, TShiftState Shift) override;

    TdxPopupBorder ResolvedPopupBorder();
    bool PopupActive();
    void SetHotButton(int Index);
    void ShowPopup(bool Show);
    void ReleaseButton();
    void PopupMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void FocusEditor();
    // The button rectangles in window coordinates (records in their order), for a view.
    int ButtonRects(TdxDropDownEditViewData* ViewData, const ViewInfo& Info, TRect* Rects);

    TBitmap* ButtonGlyph();
    void SetButtonGlyph(TBitmap* Value);
    int HotButton() const { return FHotButton; }
    int PushedButton() const { return FPushedButton; }
    bool DroppedDown = false;
    TWinControl* ActivePopup = nullptr;
    int DropDownRows = 7;
    int DropDownWidth = 0;
    bool ImmediateDropDown = true;
    bool ImmediatePopup = false;
    TAlignment PopupAlignment = taLeftJustify;
    TdxPopupBorder PopupBorder = pbDefault;
    bool ForwardKeysToPopup = true;
    bool SearchInPopup = false;
    TdxEditCloseUpEvent OnCloseUp;
    TNotifyEvent OnPopup;
    TNotifyEvent OnBeforePopup;

protected:
    void WndProc(TMessage& Message) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;

    void WMLButtonDownDrop(TMessage& Message);
    void WMLButtonDblClk(TMessage& Message);
    void WMLButtonUpDrop(TMessage& Message);
    void WMMouseWheel(TMessage& Message);
    void WMNCHitTest(TMessage& Message);
    void WMNCLButtonDown(TMessage& Message);
    void WMNCLButtonDblClk(TMessage& Message);
    void WMCancelModeDrop(TMessage& Message);
    void WMCaptureChanged(TMessage& Message);
    void WMKillFocusDrop(TMessage& Message);
    void WMGetDlgCodeDrop(TMessage& Message);
    void CMCancelMode(TMessage& Message);
    void CMHintShow(TMessage& Message);
    void PopupClosed(TMessage& Message);
    void OpenPopupRequest(TMessage& Message);

    int FHotButton = -1;
    int FPushedButton = -1;

private:
    TBitmap* FButtonGlyph = nullptr;
};

// The frame of an edit button by the view's button style. R becomes the content area (moved when
// pushed) and Fill the brush behind a glyph; the answer is the system colour of the symbol. With
// SkipWhenViewTransparent the face fills are left out also while the view itself is transparent.
int DrawEditButtonFrame(HDC DC, TRect& R, bool Pushed, bool Hot, bool Glyph, bool SkipWhenViewTransparent,
                        TdxEditViewData* VD, HBRUSH& Fill);

// Context-menu captions, loaded at start-up.
extern std::string dxEditMenuCaptions[7];

// Loads RICHED20.DLL once, before a window of its class is made.
void LoadRichEditLibrary();

void dxEditorInitialization();
void dxEditorFinalization();
