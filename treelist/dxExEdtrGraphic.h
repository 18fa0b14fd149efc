// Graphic editor: a picture held in a cell as the graphic's own stream bytes, shown stretched or
// centred, and edited through the clipboard, the picture file dialogs and a command surface that
// is a context menu or a floating tool window (TdxPopupToolBar). The tool window joins the
// clipboard-viewer chain, so that its Paste button follows what the clipboard holds.
//
// The picture value format (shared with the blob editor and the data-aware columns): writing
// gives the empty string for an empty picture, else the bytes of the graphic's SaveToStream;
// reading also accepts and skips the 8-byte header (word 1, word 0x0100, 32-bit length of the
// rest) older stores put in front.
#pragma once

#include "Buttons.h"
#include "Forms.h"
#include "Menus.h"
#include "Picture.h"
#include "dxExEdtr.h"

#include <string>

// A read-only overlay on bytes someone else owns: writes write nothing.
class TMemoryStreamReadOnly : public TCustomMemoryStream {
    DECLARE_CLASS(TMemoryStreamReadOnly, TCustomMemoryStream)
public:
    TMemoryStreamReadOnly() = default;
    using TCustomMemoryStream::SetPointer;
    LongInt Write(const void*, LongInt) override { return 0; }
};

// No graphic, or a graphic that is empty.
bool IsPictureEmpty(TPicture* Picture);
// The picture value of a picture: "" when it is empty.
std::string SavePictureValue(TPicture* Picture);
// Reads a picture value into Picture: anything but a string, and the empty string, clear it. With
// a graphic class a new graphic of it reads the bytes; without one the picture becomes a bitmap
// that reads them. Bytes that are no image of the class raise EInvalidGraphic (or a stream error)
// and leave the picture empty; nothing is read beyond the value.
void LoadPictureValue(TPicture* Picture, const Variant& Value, TGraphicClass GraphicClass);

// The open-picture dialog (Filter when set): the chosen file is loaded into Picture when CanLoad
// answers true. False when the dialog was cancelled.
bool LoadPictureFromDialog(TPicture* Picture, const std::string& Filter, bool (*CanLoad)(void*), void* Context);
// The save-picture dialog for the picture's graphic: Filter, else the formats of its class, with
// the class's extension as default; the chosen file receives the picture. Nothing without a graphic.
void SavePictureToDialog(TPicture* Picture, const std::string& Filter, TComponent* Owner);

DECLARE_ENUM(TdxGraphicEditTransparency, gtDefault, gtOpaque, gtTransparent)
DECLARE_ENUM(TdxPopupToolBarButton, ptbCut, ptbCopy, ptbPaste, ptbDelete, ptbLoad, ptbSave, ptbCustom)
DECLARE_SET(TdxPopupToolBarButtons, TdxPopupToolBarButton)
DECLARE_ENUM(TdxPopupToolBarAlignment, ptaLeft, ptaRight, ptaTop, ptaBottom)

inline constexpr TdxPopupToolBarButtons dxDefaultToolBarButtons{ptbCut, ptbCopy, ptbPaste, ptbDelete, ptbLoad, ptbSave};
// (−10000, −10000): no position.
inline constexpr TPoint dxNoToolBarPos{-10000, -10000};

// (Sender, var Picture)
using TdxGraphicEditAssignPictureEvent = TMethodOf<TObject*, TPicture*&>;
DECLARE_EVENT_NAME(TdxGraphicEditAssignPictureEvent)
// (Sender, var GraphicClass)
using TdxGraphicEditGetPictureClassEvent = TMethodOf<TObject*, TGraphicClass&>;
DECLARE_EVENT_NAME(TdxGraphicEditGetPictureClassEvent)
// (Sender, Index)
using TdxToolButtonClickEvent = TMethodOf<TObject*, int>;

class TdxInplaceGraphicEdit;

// The floating tool window: seven flat buttons in a row or a column, or the same commands as a
// context menu (MenuMode).
class TdxPopupToolBar : public TForm {
    DECLARE_CLASS(TdxPopupToolBar, TForm)
public:
    explicit TdxPopupToolBar(TComponent* AOwner);
    ~TdxPopupToolBar() override;
    static void DefineClass(TClassBuilder<TdxPopupToolBar>& B);

    // Places the buttons by the settings, sizes the window and updates the enabled states.
    void UpdateLayout();
    // Cut and Delete need a picture and an editable value, Copy and Save a picture, Paste an
    // editable value and PasteFormat on the clipboard, Load an editable value.
    void UpdateEnabledStates();
    // Next to an editor whose window's top-left is P (screen), inside the work area.
    void PlaceNear(TPoint P, int EditorWidth, int EditorHeight);
    void ShowToolBar();
    void HideToolBar();
    bool InViewerChain() const { return FInViewerChain; }
    TSpeedButton* SpeedButtons(int Index) const { return FSpeedButtons[Index]; }
    TPopupMenu* ToolMenu() const { return FToolMenu; }
    // Builds the menu once: Cut, Copy, Paste, Delete, "-", Load, Save, "-", Custom.
    TPopupMenu* NeedToolMenu();

    TdxPopupToolBarButtons ShownButtons = dxDefaultToolBarButtons;
    bool CaptionsShown = true;
    TdxPopupToolBarAlignment BarAlignment = ptaRight;
    Word PasteFormat = 0;
    bool ShowAllowed = false;
    bool ClosedByUser = false;
    bool PictureEmpty = true;
    bool ReadOnlyState = false;
    bool MenuMode = false;
    TdxInplaceGraphicEdit* OwnerEditor = nullptr;
    TdxToolButtonClickEvent OnToolButtonClick;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWindowHandle() override;
    void WndProc(TMessage& Message) override;

private:
    void ButtonClick(TObject* Sender);
    void MenuClick(TObject* Sender);
    void LeaveViewerChain();

    TSpeedButton* FSpeedButtons[7] = {};
    HWND FNextViewer = nullptr;
    bool FInViewerChain = false;
    TPopupMenu* FToolMenu = nullptr;
};

// The look of the tool window, kept by the editor and copied from a column.
class TdxPopupToolBarWindow : public TPersistent {
    DECLARE_CLASS(TdxPopupToolBarWindow, TPersistent)
public:
    explicit TdxPopupToolBarWindow(TdxInplaceGraphicEdit* AOwnerEditor = nullptr) : FOwnerEditor(AOwnerEditor) {}
    ~TdxPopupToolBarWindow() override;
    static void DefineClass(TClassBuilder<TdxPopupToolBarWindow>& B);

    void Assign(TPersistent* Source) override;

    TdxPopupToolBarAlignment Alignment = ptaBottom;
    TdxPopupToolBarButtons Buttons = dxDefaultToolBarButtons;
    std::string CustomButtonCaption;
    // Created on first read.
    virtual TBitmap* CustomButtonGlyph();
    // Nil frees the glyph; a bitmap is copied.
    void SetCustomButtonGlyph(TBitmap* Value);
    bool HasCustomButtonGlyph() const { return FCustomButtonGlyph != nullptr; }
    bool IsPopupMenu() const { return FIsPopupMenu; }
    // Also switches the owner editor's tool window between menu and window.
    void SetIsPopupMenu(bool Value);
    bool ShowCaptions = true;
    bool Visible = true;

private:
    TBitmap* FCustomButtonGlyph = nullptr;
    bool FIsPopupMenu = true;
    TdxInplaceGraphicEdit* FOwnerEditor;
};

class TdxGraphicEditViewData : public TdxEditViewData {
    DECLARE_CLASS(TdxGraphicEditViewData, TdxEditViewData)
public:
    bool Center = true;
    bool ShadowSelection = false;
    TPicture* Picture = nullptr;  // not owned
    bool QuickDraw = false;
    COLORREF ShadowColor = 0;
    bool Stretch = false;
    TBitmap* TransparencyBuffer = nullptr;  // not owned
};

// Where a picture of W x H goes in Content: fitted keeping its aspect ratio at the top-left
// (Stretch), else at its own size, centred when Center (a larger picture overhangs).
TRect PicturePlacement(const TRect& Content, int W, int H, bool Stretch, bool Center);
// The picture fitted into a W x H area keeping its aspect ratio, anchored at (0, 0).
TRect FitPictureRect(int ClientW, int ClientH, int PicW, int PicH);

class TdxInplaceGraphicEdit : public TdxInplaceEdit {
public:
    struct TMetaClass : TdxInplaceEdit::TMetaClass {
        using TdxInplaceEdit::TMetaClass::TMetaClass;
        void CalcViewInfo(TdxEditViewData* ViewData, bool AutoSize, ViewInfo& Info) const override;
        bool DrawClient(HDC DC, const TRect& Rect, bool IsEditorPaint, TdxEditViewData* ViewData) const override;
        void GetContentRect(TdxEditViewData* ViewData, TRect& R) const override;
        TdxEditViewDataClass GetViewDataClass() const override;
    };
    DECLARE_CLASS(TdxInplaceGraphicEdit, TdxInplaceEdit)

public:
    explicit TdxInplaceGraphicEdit(TComponent* AOwner);
    ~TdxInplaceGraphicEdit() override;
    static void DefineClass(TClassBuilder<TdxInplaceGraphicEdit>& B);

    virtual void DoCustomClick() { OnCustomClick(this); }
    virtual void DoAssignPicture(TPicture*& Picture) { OnAssignPicture(this, Picture); }
    virtual TGraphicClass GetPictureClass();

    // A string value is decoded into EditPicture (the modified flag is kept); Null and "" clear it.
    void SetEditValue(const Variant& Value) override;
    void ReadDisplayValue(Variant& Value, bool FromDefinition) override;
    // The picture value of EditPicture (Null when it is empty). The graphic itself is EditGraphic.
    void ReadEditValue(Variant& Value) override;
    TdxEditViewData* CreateViewData(bool IsPaintCopy) override;
    void FocusChanged() override;
    void EditorKillFocus(TMessage& Message) override;
    bool IsFocused() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

    // The graphic the editor holds after DoAssignPicture, for writing it to a field as it is.
    TGraphic* EditGraphic();

    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();
    void DeletePicture();
    void LoadPicture();
    void SavePicture();
    // The tool window's and menu's command by TdxPopupToolBarButton index.
    void ToolButtonClick(TObject* Sender, int Index);
    void ShowToolBar();
    void HideToolBar();
    // Copies the settings into the tool window or its menu.
    void SyncToolBar();

    TPicture* EditPicture() const { return FEditPicture; }
    TPicture* DisplayPicture() const { return FDisplayPicture; }
    TdxPopupToolBar* ToolBarForm() const { return FToolBarForm; }
    TdxPopupToolBarWindow* PopupToolBar() const { return FPopupToolBar; }
    bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    TdxGraphicEditTransparency GraphicTransparency() const { return FGraphicTransparency; }
    void SetGraphicTransparency(TdxGraphicEditTransparency Value);
    bool PopupToolbarPosStored() const { return FPopupToolbarPosStored; }
    void SetPopupToolbarPosStored(bool Value);

    Word PasteFormat;
    std::string CustomFilter;
    bool CustomGraphic = false;
    bool DblClickActivate = true;
    bool QuickDraw = false;
    TPoint ShownToolBarPos = dxNoToolBarPos;
    TPoint StoredToolBarPos = dxNoToolBarPos;
    TdxGraphicEditAssignPictureEvent OnAssignPicture;
    TNotifyEvent OnCustomClick;
    TdxGraphicEditGetPictureClassEvent OnGetPictureClass;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // The tool window is a form: whoever frees the program's forms may free it first.
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WMGetDlgCodeGraphic(TMessage& Message);
    void WMContextMenuGraphic(TMessage& Message);

private:
    void PictureChanged(TObject* Sender);
    void ApplyTransparency(TPicture* Picture);

    bool FCenter = true;
    bool FApplyingTransparency = false;
    TPicture* FEditPicture = nullptr;
    TPicture* FDisplayPicture = nullptr;
    TdxPopupToolBar* FToolBarForm = nullptr;
    bool FStretch = false;
    TBitmap* FTransparencyBuffer = nullptr;
    TdxPopupToolBarWindow* FPopupToolBar = nullptr;
    TdxGraphicEditTransparency FGraphicTransparency = gtDefault;
    bool FPopupToolbarPosStored = true;
};
