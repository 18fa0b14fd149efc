// The graphic and blob column kinds.
#include "dxDBTLCl.h"

#include "Clipbrd.h"

namespace {
// Writes what an editor gives back to the column's field, then reads the node's value again.
template <class E>
bool WriteEditorValue(TdxDBTreeListColumn* Column, TdxInplaceEdit* Editor) {
    auto* Edit = DynCast<E>(Editor);
    if (!Column->Field() || !Edit)
        return false;
    Variant V;
    Edit->ReadEditValue(V);
    WriteEditValueToField(Column->Field(), V);
    return true;
}

bool Designing(TComponent* C) { return C && C->ComponentState().Contains(csDesigning); }
}  // namespace

// ---------------------------------------------------------------------------------------------
// Graphic column

TdxDBTreeListGraphicColumn::TdxDBTreeListGraphicColumn(TComponent* AOwner) : TdxDBTreeListColumn(AOwner) {
    PictureClipboardFormat = CF_PICTURE;
    HeaderMaxLineCount = 0;
    DisableFilter = true;
    FCellPicture = Create<TPicture>();
    FPopupToolBar = new TdxPopupToolBarWindow();
}

TdxDBTreeListGraphicColumn::~TdxDBTreeListGraphicColumn() {
    delete FPopupToolBar;
    FreeAndNil(FCellPicture);
}

void TdxDBTreeListGraphicColumn::DefineClass(TClassBuilder<TdxDBTreeListGraphicColumn>&) {}

void TdxDBTreeListGraphicColumn::SetLayoutFlag(bool& Field, bool Value) {
    Field = Value;
    NotifyChange(true);
}

void TdxDBTreeListGraphicColumn::SetGraphicTransparency(TdxGraphicEditTransparency Value) {
    FGraphicTransparency = Value;
    NotifyChange(true);
}

void TdxDBTreeListGraphicColumn::SetPopupToolbarPosStored(bool Value) {
    FPopupToolbarPosStored = Value;
    if (!Value)
        ToolbarPos = dxNoToolBarPos;
}

void TdxDBTreeListGraphicColumn::DoAssignPicture(TObject*, TPicture*& Picture) {
    if (OnAssignPicture)
        OnAssignPicture(this, Picture);
}

void TdxDBTreeListGraphicColumn::DoCustomClick(TObject*) {
    if (OnCustomClick)
        OnCustomClick(this);
}

void TdxDBTreeListGraphicColumn::DoGetPictureClass(TObject*, TGraphicClass& GraphicClass) {
    GraphicClass = GetGraphicClass(GetTreeList() ? GetTreeList()->FocusedNode() : nullptr);
}

TGraphicClass TdxDBTreeListGraphicColumn::GetGraphicClass(TdxTreeListNode* Node) {
    TGraphicClass Class = nullptr;
    if (OnGetGraphicClass)
        OnGetGraphicClass(this, Node, Class);
    return Class;
}

void TdxDBTreeListGraphicColumn::RestoreDefaults() {
    TdxDBTreeListColumn::RestoreDefaults();
    HeaderMaxLineCount = 0;
    DisableFilter = true;
    FCenter = true;
    FCustomGraphic = false;
    DblClickActivate = true;
    FGraphicTransparency = gtDefault;
    FPopupToolbarPosStored = true;
    FQuickDraw = false;
    FShadowSelection = true;
    FStretch = true;
}

void TdxDBTreeListGraphicColumn::Assign(TPersistent* Source) {
    auto* S = DynCast<TdxDBTreeListGraphicColumn>(Source);
    TCustomdxDBTreeListControl* T = GetTreeList();
    InTreeListUpdate(T, [&] {
        TdxDBTreeListColumn::Assign(Source);
        if (S) {
            SetCenter(S->FCenter);
            CustomFilter = S->CustomFilter;
            SetCustomGraphic(S->FCustomGraphic);
            DblClickActivate = S->DblClickActivate;
            SetGraphicTransparency(S->FGraphicTransparency);
            SetPopupToolBar(S->FPopupToolBar);
            SetPopupToolbarPosStored(S->FPopupToolbarPosStored);
            SetQuickDraw(S->FQuickDraw);
            SetShadowSelection(S->FShadowSelection);
            SetStretch(S->FStretch);
        }
    });
}

TdxInplaceEditClass TdxDBTreeListGraphicColumn::GetEditorClass() { return TdxInplaceGraphicEdit::StaticClass(); }

void TdxDBTreeListGraphicColumn::InitEditProperties(TdxInplaceEdit* Editor) {
    TdxDBTreeListColumn::InitEditProperties(Editor);
    auto* E = DynCast<TdxInplaceGraphicEdit>(Editor);
    if (!E)
        return;
    E->SetCenter(FCenter);
    E->PasteFormat = PictureClipboardFormat;
    E->CustomFilter = CustomFilter;
    E->DblClickActivate = DblClickActivate;
    E->SetGraphicTransparency(FGraphicTransparency);
    E->PopupToolBar()->Assign(FPopupToolBar);
    E->StoredToolBarPos = ToolbarPos;
    E->SetPopupToolbarPosStored(FPopupToolbarPosStored);
    E->QuickDraw = FQuickDraw;
    E->SetStretch(FStretch);
    E->OnAssignPicture = TdxGraphicEditAssignPictureEvent::Bind<&TdxDBTreeListGraphicColumn::DoAssignPicture>(this);
    E->OnCustomClick = TNotifyEvent::Bind<&TdxDBTreeListGraphicColumn::DoCustomClick>(this);
    E->OnGetPictureClass =
        TdxGraphicEditGetPictureClassEvent::Bind<&TdxDBTreeListGraphicColumn::DoGetPictureClass>(this);
}

void TdxDBTreeListGraphicColumn::InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    auto* E = DynCast<TdxInplaceGraphicEdit>(Editor);
    if (!Field() || !E) {
        TdxDBTreeListColumn::InitEditValue(Node, Editor, Value);
        return;
    }
    E->SetTextMargins(TRect{0, 0, 0, 0});
    E->SetText(std::string());
    Value = Field()->AsVariant();
    LoadPictureValue(E->EditPicture(), Value, GetGraphicClass(Node));
}

void TdxDBTreeListGraphicColumn::AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    if (!WriteEditorValue<TdxInplaceGraphicEdit>(this, Editor))
        TdxDBTreeListColumn::AssignEditValue(Node, Editor, Value);
    Value = KeptNodeValue(this, Node);
}

void TdxDBTreeListGraphicColumn::LoadCellPicture(TdxTreeListNode* Node) {
    if (FCustomGraphic && Designing(GetTreeList())) {
        FCellPicture->Assign(nullptr);
        return;
    }
    try {
        LoadPictureValue(FCellPicture, KeptNodeValue(this, Node), GetGraphicClass(Node));
    } catch (const Exception&) {
        // A stored value that is no picture paints as an empty cell.
    }
}

int TdxDBTreeListGraphicColumn::GetBestFitWidth(TdxTreeListNode* Node) {
    if (FStretch)
        return 0;
    LoadCellPicture(Node);
    return IsPictureEmpty(FCellPicture) ? 0 : FCellPicture->Width();
}

void TdxDBTreeListGraphicColumn::PrepareViewData(TdxEditViewData* ViewData, const TdxTreeListCellViewData& Cell) {
    TdxDBTreeListColumn::PrepareViewData(ViewData, Cell);
    auto* VD = DynCast<TdxGraphicEditViewData>(ViewData);
    if (!VD)
        return;
    if (Cell.ReadOnlyNewItemRow)
        FCellPicture->Assign(nullptr);
    else
        LoadCellPicture(Cell.Node);
    if (FGraphicTransparency != gtDefault && !IsPictureEmpty(FCellPicture))
        FCellPicture->Graphic()->SetTransparent(FGraphicTransparency == gtTransparent);
    VD->Picture = FCellPicture;
    VD->Value = std::string();
    VD->BkColor = Cell.BkColor;
    VD->Brush = Cell.Brush;
    VD->Center = FCenter;
    VD->ShadowSelection = Cell.Selected && FShadowSelection;
    VD->QuickDraw = FQuickDraw;
    VD->ShadowColor = static_cast<COLORREF>(ColorToRGB(Cell.HighlightColor));
    VD->Stretch = FStretch;
    VD->TransparencyBuffer = nullptr;
    VD->TextMargins = TRect{0, 0, 0, 0};
}

// ---------------------------------------------------------------------------------------------
// Blob column

TdxDBTreeListBlobColumn::TdxDBTreeListBlobColumn(TComponent* AOwner) : TdxDBTreeListDropDownColumn(AOwner) {
    SetDefaults();
}

void TdxDBTreeListBlobColumn::DefineClass(TClassBuilder<TdxDBTreeListBlobColumn>&) {}

void TdxDBTreeListBlobColumn::SetDefaults() {
    PictureClipboardFormat = CF_PICTURE;
    DisableFilter = true;
    AlwaysSaveText = false;
    FBlobKind = bkAuto;
    FBlobPaintStyle = bpsIcon;
    MaxDisplayLength = 255;
    MemoCharCase = ecNormal;
    MemoHideScrollBars = true;
    MemoMaxLength = 0;
    MemoOEMConvert = false;
    MemoScrollBars = ssBoth;
    MemoSelectionBar = false;
    MemoWantReturns = true;
    MemoWantTabs = true;
    MemoWordWrap = true;
    PictureAutoSize = true;
    PictureTransparency = gtDefault;
    PopupHeight = 140;
    PopupWidth = 200;
    ShowExPopupItems = false;
    ShowPicturePopup = false;
    SizeablePopup = true;
    SetMinWidth(20);
}

void TdxDBTreeListBlobColumn::RestoreDefaults() {
    TdxDBTreeListDropDownColumn::RestoreDefaults();
    const Word Format = PictureClipboardFormat;
    SetDefaults();
    PictureClipboardFormat = Format;
}

void TdxDBTreeListBlobColumn::SetBlobKind(TdxBlobKind Value) {
    FBlobKind = Value;
    NotifyChange(true);
}

void TdxDBTreeListBlobColumn::SetBlobPaintStyle(TdxBlobPaintStyle Value) {
    FBlobPaintStyle = Value;
    NotifyChange(true);
    NotifyFieldChange(true);
}

void TdxDBTreeListBlobColumn::Assign(TPersistent* Source) {
    auto* S = DynCast<TdxDBTreeListBlobColumn>(Source);
    TCustomdxDBTreeListControl* T = GetTreeList();
    InTreeListUpdate(T, [&] {
        TdxDBTreeListDropDownColumn::Assign(Source);
        if (S) {
            AlwaysSaveText = S->AlwaysSaveText;
            SetBlobKind(S->FBlobKind);
            SetBlobPaintStyle(S->FBlobPaintStyle);
            MaxDisplayLength = S->MaxDisplayLength;
            MemoMaxLength = S->MemoMaxLength;
            MemoCharCase = S->MemoCharCase;
            MemoHideScrollBars = S->MemoHideScrollBars;
            MemoOEMConvert = S->MemoOEMConvert;
            MemoScrollBars = S->MemoScrollBars;
            MemoSelectionBar = S->MemoSelectionBar;
            MemoWantReturns = S->MemoWantReturns;
            MemoWantTabs = S->MemoWantTabs;
            MemoWordWrap = S->MemoWordWrap;
            PictureAutoSize = S->PictureAutoSize;
            PictureFilter = S->PictureFilter;
            PictureTransparency = S->PictureTransparency;
            PopupHeight = S->PopupHeight;
            PopupWidth = S->PopupWidth;
            ShowExPopupItems = S->ShowExPopupItems;
            ShowPicturePopup = S->ShowPicturePopup;
            SizeablePopup = S->SizeablePopup;
        }
    });
}

void TdxDBTreeListBlobColumn::DoAssignPicture(TObject*, TPicture*& Picture) {
    if (OnAssignPicture)
        OnAssignPicture(this, Picture);
}

void TdxDBTreeListBlobColumn::DoGetPictureClass(TObject*, TGraphicClass& GraphicClass) {
    GraphicClass = GetGraphicClass(GetTreeList() ? GetTreeList()->FocusedNode() : nullptr);
}

void TdxDBTreeListBlobColumn::StorePopupSize(TObject* Editor) {
    if (auto* E = DynCast<TdxInplaceBlobEdit>(Editor)) {
        PopupWidth = E->PopupWidth;
        PopupHeight = E->PopupHeight;
    }
}

TGraphicClass TdxDBTreeListBlobColumn::GetGraphicClass(TdxTreeListNode* Node) {
    TGraphicClass Class = PictureGraphicClass;
    if (OnGetGraphicClass)
        OnGetGraphicClass(this, Node, Class);
    return Class;
}

TdxInplaceEditClass TdxDBTreeListBlobColumn::GetEditorClass() { return TdxInplaceBlobEdit::StaticClass(); }

void TdxDBTreeListBlobColumn::GetCellText(TdxTreeListNode* Node, std::string& Text) {
    TField* F = Field();
    if (!F) {
        TdxDBTreeListDropDownColumn::GetCellText(Node, Text);
        return;
    }
    switch (FBlobPaintStyle) {
    case bpsText:
        Text = F->AsString();
        if (MaxDisplayLength >= 0 && Text.size() > static_cast<std::size_t>(MaxDisplayLength))
            Text.resize(static_cast<std::size_t>(MaxDisplayLength));
        break;
    case bpsIcon:
        if (F->IsNull())
            Text.clear();
        else
            TdxDBTreeListDropDownColumn::GetCellText(Node, Text);
        break;
    default:
        TdxDBTreeListDropDownColumn::GetCellText(Node, Text);
        break;
    }
}

void TdxDBTreeListBlobColumn::InitEditProperties(TdxInplaceEdit* Editor) {
    TdxDBTreeListDropDownColumn::InitEditProperties(Editor);
    auto* E = DynCast<TdxInplaceBlobEdit>(Editor);
    if (!E)
        return;
    E->AlwaysSaveText = AlwaysSaveText;
    E->SetBlobContentKind(ContentKind());
    E->SetBlobPaintStyle(FBlobPaintStyle);
    TdxTreeListNode* Focused = GetTreeList() ? GetTreeList()->FocusedNode() : nullptr;
    E->SetBlobDisplayText(Focused && GetDataIndex() >= 0 ? Focused->Strings(GetDataIndex()) : std::string());
    E->MemoCharCase = MemoCharCase;
    E->MemoHideScrollBars = MemoHideScrollBars;
    E->MemoMaxLength = MemoMaxLength;
    E->MemoOEMConvert = MemoOEMConvert;
    E->MemoScrollBars = MemoScrollBars;
    E->MemoSelectionBar = MemoSelectionBar;
    E->MemoWantReturns = MemoWantReturns;
    E->MemoWantTabs = MemoWantTabs;
    E->MemoWordWrap = MemoWordWrap;
    E->PictureAutoSize = PictureAutoSize;
    E->PicturePasteFormat = PictureClipboardFormat;
    E->PictureFilter = PictureFilter;
    E->PictureClass = PictureGraphicClass;
    E->PictureTransparency = PictureTransparency;
    E->PopupHeight = PopupHeight;
    E->PopupWidth = PopupWidth;
    E->ShowExPopupItems = ShowExPopupItems;
    E->ShowPicturePopup = ShowPicturePopup;
    E->SizeablePopup = SizeablePopup;
    E->OnAssignPicture = TdxGraphicEditAssignPictureEvent::Bind<&TdxDBTreeListBlobColumn::DoAssignPicture>(this);
    E->OnGetPictureClass = TdxGraphicEditGetPictureClassEvent::Bind<&TdxDBTreeListBlobColumn::DoGetPictureClass>(this);
    E->OnPopupSized = TNotifyEvent::Bind<&TdxDBTreeListBlobColumn::StorePopupSize>(this);
}

void TdxDBTreeListBlobColumn::InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    auto* E = DynCast<TdxInplaceBlobEdit>(Editor);
    if (!Field() || !E) {
        TdxDBTreeListDropDownColumn::InitEditValue(Node, Editor, Value);
        return;
    }
    E->SetEditValue(Variant(Field()->AsString()));
    Value = E->BlobValue();
}

void TdxDBTreeListBlobColumn::AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    if (!WriteEditorValue<TdxInplaceBlobEdit>(this, Editor))
        TdxDBTreeListDropDownColumn::AssignEditValue(Node, Editor, Value);
    Value = KeptNodeValue(this, Node);
}

void TdxDBTreeListBlobColumn::PrepareViewData(TdxEditViewData* ViewData, const TdxTreeListCellViewData& Cell) {
    TdxDBTreeListDropDownColumn::PrepareViewData(ViewData, Cell);
    auto* VD = DynCast<TdxBlobEditViewData>(ViewData);
    if (!VD)
        return;
    VD->ContentKind = ContentKind();
    VD->PaintStyle = FBlobPaintStyle;
    VD->Images = BlobImages;
    const int Index = GetDataIndex();
    if (Cell.ReadOnlyNewItemRow)
        VD->Value = std::string();
    else if (FBlobPaintStyle == bpsText)
        VD->Value = VarToStr(KeptNodeValue(this, Cell.Node));
    else
        VD->Value = Cell.Node && Index >= 0 ? Cell.Node->Strings(Index) : std::string();
    VD->EmptyValue = VD->Value.IsNull() || VD->Value.AsString().empty();
}
