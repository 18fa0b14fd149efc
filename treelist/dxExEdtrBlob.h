// Blob editor: a large value in a cell (a memo text, a picture, OLE or other binary data) shown as
// an icon of its kind, or as its text, and edited in a drop-down: a plain-text rich-edit memo or a
// picture viewer, with OK/Cancel (or Close when read-only) buttons and a size grip in the popup's
// frame. OLE and binary values have an ellipsis button and no popup.
#pragma once

#include "dxExEdtrGraphic.h"

#include <string>

DECLARE_ENUM(TdxBlobContentKind, ckMemo, ckPicture, ckOle, ckBinary)
DECLARE_ENUM(TdxBlobPaintStyle, bpsDefault, bpsIcon, bpsText)

// The blob icon (BlobImages) of a kind: the value's image, or the one before it when empty.
int BlobIconIndex(TdxBlobContentKind Kind, bool Empty);

class TdxBlobEditViewData : public TdxDropDownEditViewData {
    DECLARE_CLASS(TdxBlobEditViewData, TdxDropDownEditViewData)
public:
    TdxBlobContentKind ContentKind = ckMemo;
    TdxBlobPaintStyle PaintStyle = bpsIcon;
    TCustomImageList* Images = nullptr;  // not owned
    bool EmptyValue = false;
};

class TdxInplaceBlobEdit;

// Panel buttons of the popup: 0 OK, 1 Cancel, 2 Close.
DECLARE_ENUM(TdxBlobPopupButton, pbnOK, pbnCancel, pbnClose)
DECLARE_SET(TdxBlobPopupButtons, TdxBlobPopupButton)

class TCustomdxBlobPopup : public TdxInplacePopupControl {
    DECLARE_CLASS(TCustomdxBlobPopup, TdxInplacePopupControl)
public:
    explicit TCustomdxBlobPopup(TComponent* AOwner);
    ~TCustomdxBlobPopup() override;
    static void DefineClass(TClassBuilder<TCustomdxBlobPopup>& B);

    void HidePopup() override;
    void ShowPopupWindow() override;
    // 0 OK (saves), 1 Cancel and 2 Close (save nothing).
    virtual void ClosePopupWith(int Reason);
    virtual void TextChanged();
    virtual void SaveText();
    virtual void StoreSize() { OnStoreSize(this); }

    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();
    void DeletePicture();
    void LoadPicture();
    void SavePicture();
    bool CanPaste();

    // Sizes and places the popup under (or above) the editor whose bottom-left is P (screen),
    // with the requested size; GripCorner follows where it went.
    void Place(TPoint P, int EditorWidth, int EditorHeight, int RequestedWidth, int RequestedHeight);
    TSize MinimumSize();
    int BorderWidth() const;
    // The panel buttons right to left in window coordinates; -1 for a button not shown.
    TRect ButtonRect(int Button);

    TPicture* PopupPicture();
    bool Modified();
    void SetModified(bool Value);
    bool OKEnabled() const { return FOKEnabled; }
    TdxBlobContentKind ContentKind() const { return FContentKind; }
    void SetContentKind(TdxBlobContentKind Value);
    bool ReadOnlyPopup() const { return FReadOnlyPopup; }
    void SetReadOnlyPopup(bool Value);
    TdxBlobPopupButtons PanelButtons() const { return FPanelButtons; }
    int PanelHeight() const { return FPanelHeight; }
    int GripCorner() const { return FGripCorner; }
    const std::string& SavedText() const { return FSavedText; }
    // The memo's text (the window's while it exists).
    std::string MemoText();
    void SetMemoText(const std::string& S);

    TdxInplaceBlobEdit* BlobEdit = nullptr;
    TEditCharCase MemoCharCase = ecNormal;
    bool MemoHideScrollBars = true;
    int MemoMaxLength = 0;
    bool MemoOEMConvert = false;
    TScrollStyle MemoScrollBars = ssNone;
    bool MemoSelectionBar = true;
    bool MemoWantReturns = true;
    bool MemoWantTabs = true;
    bool MemoWordWrap = true;
    bool PictureAutoSize = true;
    Word PasteFormat;
    TGraphicClass PictureClass = nullptr;
    TdxGraphicEditTransparency PictureTransparency = gtDefault;
    std::string PictureFilter;
    bool SizingEnabled = true;
    bool AlwaysSaveText = true;
    bool TextSaved = false;
    TNotifyEvent OnContentChange;
    TNotifyEvent OnSaveText;
    TNotifyEvent OnStoreSize;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& Message) override;
    void Paint() override;

public:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

private:
    void PictureChanged(TObject* Sender);
    void UpdatePanelMetrics();
    void PaintPanel();
    int ButtonAt(TPoint ScreenPoint);
    void ApplyCharCase();
    void PopupContextMenu(TPoint P);
    void MenuClick(TObject* Sender);
    bool IsMemo() const { return FContentKind == ckMemo; }

    TdxBlobContentKind FContentKind = ckMemo;
    bool FReadOnlyPopup = false;
    bool FModified = false;
    bool FOKEnabled = false;
    TdxBlobPopupButtons FPanelButtons{pbnOK, pbnCancel};
    int FPanelHeight = 26;
    int FButtonWidth = 0;
    int FButtonHeight = 0;
    int FGap = 0;
    int FSpacing = 0;
    int FGripCorner = 3;
    int FCapturedButton = -1;
    bool FCapturedButtonDown = false;
    bool FCreatingWindow = false;
    bool FConvertingCase = false;
    bool FApplyingTransparency = false;
    std::string FSavedText;
    TPicture* FPopupPicture = nullptr;
    TBitmap* FTransparencyBuffer = nullptr;
    TPopupMenu* FContextMenu = nullptr;
};

class TdxInplaceBlobEdit : public TdxInplaceDropDownEdit {
public:
    struct TMetaClass : TdxInplaceDropDownEdit::TMetaClass {
        using TdxInplaceDropDownEdit::TMetaClass::TMetaClass;
        bool DrawClient(HDC DC, const TRect& Rect, bool IsEditorPaint, TdxEditViewData* ViewData) const override;
        TdxEditViewDataClass GetViewDataClass() const override;
        void InitButtons(TdxDropDownEditViewData* ViewData) const override;
    };
    DECLARE_CLASS(TdxInplaceBlobEdit, TdxInplaceDropDownEdit)

public:
    explicit TdxInplaceBlobEdit(TComponent* AOwner);
    ~TdxInplaceBlobEdit() override;
    static void DefineClass(TClassBuilder<TdxInplaceBlobEdit>& B);

    virtual bool IsEmptyValue(const Variant& Value);
    virtual void DoAssignPicture(TPicture*& Picture) { OnAssignPicture(this, Picture); }
    virtual TGraphicClass GetPictureClass();
    virtual void SetPopupSize(int W, int H);
    // The popup's text or picture becomes the value (once per opening).
    virtual void SavePopupValue(TObject* Sender);

    // Null gives the empty value.
    void SetEditValue(const Variant& Value) override;
    void ReadDisplayValue(Variant& Value, bool FromDefinition) override;
    // Memo and binary kinds: the value as a string, Null when empty. Pictures: the picture value
    // of the decoded picture (Null when empty) after DoAssignPicture.
    void ReadEditValue(Variant& Value) override;
    TdxEditViewData* CreateViewData(bool IsPaintCopy) override;
    bool HasEditWindow() override { return false; }
    void ClosePopup(bool) override {}
    void OpenPopup() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

    void SetBlobValue(const std::string& Value);
    const std::string& BlobValue() const { return FBlobValue; }
    TdxBlobContentKind BlobContentKind() const { return FBlobContentKind; }
    void SetBlobContentKind(TdxBlobContentKind Value);
    TdxBlobPaintStyle BlobPaintStyle() const { return FBlobPaintStyle; }
    void SetBlobPaintStyle(TdxBlobPaintStyle Value);
    void StorePopupSize(TObject* Sender);
    void SetBlobDisplayText(const std::string& Text);
    TCustomdxBlobPopup* BlobPopup() const { return FBlobPopup; }

    int PopupWidth = 200;
    int PopupHeight = 140;
    bool SizeablePopup = true;
    bool AlwaysSaveText = true;
    TEditCharCase MemoCharCase = ecNormal;
    bool MemoHideScrollBars = true;
    int MemoMaxLength = 0;
    bool MemoOEMConvert = false;
    TScrollStyle MemoScrollBars = ssNone;
    bool MemoSelectionBar = true;
    bool MemoWantReturns = true;
    bool MemoWantTabs = true;
    bool MemoWordWrap = true;
    bool PictureAutoSize = true;
    Word PicturePasteFormat;
    TGraphicClass PictureClass = nullptr;
    std::string PictureFilter;
    TdxGraphicEditTransparency PictureTransparency = gtDefault;
    bool ShowExPopupItems = true;
    bool ShowPicturePopup = true;
    TdxGraphicEditAssignPictureEvent OnAssignPicture;
    TdxGraphicEditGetPictureClassEvent OnGetPictureClass;
    TNotifyEvent OnPopupSized;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WMGetDlgCodeBlob(TMessage& Message);

private:
    TCustomdxBlobPopup* FBlobPopup = nullptr;
    std::string FBlobValue;
    TdxBlobContentKind FBlobContentKind = ckMemo;
    TdxBlobPaintStyle FBlobPaintStyle = bpsIcon;
    TPicture* FValuePicture = nullptr;
};
