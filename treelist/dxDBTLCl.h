// Data-aware column kinds that show stored content rather than a short text: the graphic column
// (the field's picture in every cell, edited with the graphic editor and its tool window) and the
// blob column (a blob field as an icon, its text or its display text, edited in the blob editor's
// memo or picture popup). Both keep filtering off and compare filter values with the field value.
//
// Start-up: dxDBTLClInitialization() registers the column classes for form streaming.
#pragma once

#include "dxDBCtrl.h"
#include "dxDBEdtr.h"

// (Sender, Node, var GraphicClass)
using TdxGraphicEditGetGraphicClassEvent = TMethodOf<TObject*, TdxTreeListNode*, TGraphicClass&>;
DECLARE_EVENT_NAME(TdxGraphicEditGetGraphicClassEvent)

// What a column needs of the cell it prepares to paint.
struct TdxColumnCellParams {
    TdxTreeListNode* Node = nullptr;
    TColor Color = clWindow;
    HBRUSH Brush = nullptr;
    TColor HighlightColor = clHighlight;
    bool Selected = false;
    // A cell of the new-item row that cannot be edited paints empty.
    bool NewItemRowReadOnly = false;
};

class TdxDBTreeListGraphicColumn : public TdxDBTreeListColumn {
    DECLARE_CLASS(TdxDBTreeListGraphicColumn, TdxDBTreeListColumn)
public:
    explicit TdxDBTreeListGraphicColumn(TComponent* AOwner);
    ~TdxDBTreeListGraphicColumn() override;
    static void DefineClass(TClassBuilder<TdxDBTreeListGraphicColumn>& B);

    virtual void DoAssignPicture(TObject* Sender, TPicture*& Picture);
    virtual void DoCustomClick(TObject* Sender);
    virtual void DoGetPictureClass(TObject* Sender, TGraphicClass& GraphicClass);
    virtual TGraphicClass GetGraphicClass(TdxTreeListNode* Node);

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    bool StoreFieldValue() override { return true; }
    bool CompareAsValue() override { return true; }
    TdxInplaceEditClass GetEditorClass() override;
    void InitEditProperties(TdxInplaceEdit* Editor) override;
    void InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    void AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    // 0 when stretched; else the width of the node's picture (0 when empty).
    int GetBestFitWidth(TdxTreeListNode* Node);
    // Decodes the node's value into CellPicture (empty for a custom graphic while designed, and
    // for a value that is no picture).
    void LoadCellPicture(TdxTreeListNode* Node);
    // Fills a graphic editor's view data for one cell.
    void PrepareViewData(TdxEditViewData* ViewData, const TdxColumnCellParams& Cell);

    TPicture* CellPicture() const { return FCellPicture; }
    TdxPopupToolBarWindow* PopupToolBar() const { return FPopupToolBar; }
    void SetPopupToolBar(TdxPopupToolBarWindow* Value) { FPopupToolBar->Assign(Value); }
    bool Center() const { return FCenter; }
    void SetCenter(bool Value) { SetLayoutFlag(FCenter, Value); }
    bool CustomGraphic() const { return FCustomGraphic; }
    void SetCustomGraphic(bool Value) { SetLayoutFlag(FCustomGraphic, Value); }
    TdxGraphicEditTransparency GraphicTransparency() const { return FGraphicTransparency; }
    void SetGraphicTransparency(TdxGraphicEditTransparency Value);
    bool PopupToolbarPosStored() const { return FPopupToolbarPosStored; }
    void SetPopupToolbarPosStored(bool Value);
    bool QuickDraw() const { return FQuickDraw; }
    void SetQuickDraw(bool Value) { SetLayoutFlag(FQuickDraw, Value); }
    bool ShadowSelection() const { return FShadowSelection; }
    void SetShadowSelection(bool Value) { SetLayoutFlag(FShadowSelection, Value); }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value) { SetLayoutFlag(FStretch, Value); }

    Word PictureClipboardFormat;
    std::string CustomFilter;
    bool DblClickActivate = true;
    TPoint ToolbarPos = dxNoToolBarPos;
    TdxGraphicEditAssignPictureEvent OnAssignPicture;
    TNotifyEvent OnCustomClick;
    TdxGraphicEditGetGraphicClassEvent OnGetGraphicClass;

private:
    void SetLayoutFlag(bool& Field, bool Value);

    bool FCenter = true;
    bool FCustomGraphic = false;
    TdxGraphicEditTransparency FGraphicTransparency = gtDefault;
    TPicture* FCellPicture = nullptr;
    TdxPopupToolBarWindow* FPopupToolBar = nullptr;
    bool FPopupToolbarPosStored = true;
    bool FQuickDraw = false;
    bool FShadowSelection = true;
    bool FStretch = true;
};

class TdxDBTreeListBlobColumn : public TdxDBTreeListColumn {
    DECLARE_CLASS(TdxDBTreeListBlobColumn, TdxDBTreeListColumn)
public:
    explicit TdxDBTreeListBlobColumn(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TdxDBTreeListBlobColumn>& B);

    virtual void DoAssignPicture(TObject* Sender, TPicture*& Picture);
    virtual void DoGetPictureClass(TObject* Sender, TGraphicClass& GraphicClass);
    // Keeps the size the user gave the popup for the next editor.
    virtual void StorePopupSize(TObject* Editor);
    virtual TGraphicClass GetGraphicClass(TdxTreeListNode* Node);

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    bool CompareAsValue() override { return true; }
    TdxInplaceEditClass GetEditorClass() override;
    void GetCellText(TdxTreeListNode* Node, std::string& Text) override;
    void InitEditProperties(TdxInplaceEdit* Editor) override;
    void InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    void AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override;
    // Fills a blob editor's view data for one cell.
    void PrepareViewData(TdxEditViewData* ViewData, const TdxColumnCellParams& Cell);

    TdxBlobKind BlobKind() const { return FBlobKind; }
    void SetBlobKind(TdxBlobKind Value);
    TdxBlobPaintStyle BlobPaintStyle() const { return FBlobPaintStyle; }
    void SetBlobPaintStyle(TdxBlobPaintStyle Value);
    TdxBlobContentKind ContentKind() { return BlobContentKindOf(FBlobKind, Field()); }

    bool AlwaysSaveText = false;
    int MaxDisplayLength = 255;
    TEditCharCase MemoCharCase = ecNormal;
    bool MemoHideScrollBars = true;
    int MemoMaxLength = 0;
    bool MemoOEMConvert = false;
    TScrollStyle MemoScrollBars = ssBoth;
    bool MemoSelectionBar = false;
    bool MemoWantReturns = true;
    bool MemoWantTabs = true;
    bool MemoWordWrap = true;
    bool PictureAutoSize = true;
    Word PictureClipboardFormat;
    TGraphicClass PictureGraphicClass = nullptr;
    std::string PictureFilter;
    TdxGraphicEditTransparency PictureTransparency = gtDefault;
    int PopupHeight = 140;
    int PopupWidth = 200;
    bool ShowExPopupItems = false;
    bool ShowPicturePopup = false;
    bool SizeablePopup = true;
    // The drop-down settings the kind publishes (the drop-down column base's).
    bool ImmediatePopup = false;
    TAlignment PopupAlignment = taLeftJustify;
    TdxPopupBorder PopupBorder = pbDefault;
    TdxGraphicEditAssignPictureEvent OnAssignPicture;
    TdxGraphicEditGetGraphicClassEvent OnGetGraphicClass;

private:
    void SetDefaults();
    TdxBlobKind FBlobKind = bkAuto;
    TdxBlobPaintStyle FBlobPaintStyle = bpsIcon;
};

void dxDBTLClInitialization();
void dxDBTLClFinalization();
