// Columns of the column-based tree list and the text nodes that keep the cell strings.
#include "dxTL.h"

#include "Forms.h"

// ---------------------------------------------------------------------------------------------
// Text nodes

TdxTreeListTextNode::TdxTreeListTextNode(TCustomdxTreeList* AOwner)
    : TdxTreeListNode(AOwner), FStrings(Create<TStringList>()) {}

TdxTreeListTextNode::~TdxTreeListTextNode() { FStrings->Free(); }

// ---------------------------------------------------------------------------------------------
// Columns

TdxTreeListColumn::TdxTreeListColumn(TComponent* AOwner) : TComponent(AOwner) {}

TdxTreeListColumn::~TdxTreeListColumn() {
    if (FViewData)
        FViewData->Free();
    if (FFont)
        FFont->Free();
    if (FHeaderGlyph)
        FHeaderGlyph->Free();
}

TColor TdxTreeListColumn::Color() {
    if (FColorAssigned)
        return FColor;
    return FTreeList ? FTreeList->Color() : clWindow;
}

void TdxTreeListColumn::SetColor(TColor Value) {
    FColor = Value;
    FColorAssigned = true;
    NotifyChange(false);
}

bool TdxTreeListColumn::IsColorStored() { return FColorAssigned && FColor != (FTreeList ? FTreeList->Color() : clWindow); }

TFont* TdxTreeListColumn::Font() {
    if (!FFont) {
        FFont = Create<TFont>();
        if (FTreeList)
            FFont->Assign(FTreeList->Font());
        FFont->OnChange = TNotifyEvent::FromFunction([this](TObject* S) { FontChanged(S); });
    } else {
        SyncFont();
    }
    return FFont;
}

void TdxTreeListColumn::SetFont(TFont* Value) {
    Font()->Assign(Value);
    FFontAssigned = true;
    NotifyChange(true);
}

void TdxTreeListColumn::FontChanged(TObject*) {
    FFontAssigned = true;
    NotifyChange(true);
}

void TdxTreeListColumn::SyncFont() {
    if (FFontAssigned || !FFont || !FTreeList || FFont->Handle() == FTreeList->Font()->Handle())
        return;
    const TNotifyEvent Handler = FFont->OnChange;
    FFont->OnChange = nullptr;
    FFont->Assign(FTreeList->Font());
    FFont->OnChange = Handler;
}

TBitmap* TdxTreeListColumn::HeaderGlyph() {
    if (!FHeaderGlyph)
        FHeaderGlyph = Create<TBitmap>();
    return FHeaderGlyph;
}

void TdxTreeListColumn::SetHeaderGlyph(TBitmap* Value) {
    if (!Value) {
        if (FHeaderGlyph)
            FHeaderGlyph->Free();
        FHeaderGlyph = nullptr;
    } else {
        HeaderGlyph()->Assign(Value);
    }
    NotifyChange(true);
}

void TdxTreeListColumn::DefineClass(TClassBuilder<TdxTreeListColumn>& B) {
    B.Property("Alignment", &TdxTreeListColumn::Alignment, &TdxTreeListColumn::SetAlignment)
        .Stored(&TdxTreeListColumn::IsAlignmentStored);
    B.Property("Caption", &TdxTreeListColumn::Caption, &TdxTreeListColumn::SetCaption)
        .Stored(&TdxTreeListColumn::IsCaptionStored);
    B.Property("Color", &TdxTreeListColumn::Color, &TdxTreeListColumn::SetColor)
        .TypeName("TColor")
        .Stored(&TdxTreeListColumn::IsColorStored);
    B.Property("Font", &TdxTreeListColumn::Font, &TdxTreeListColumn::SetFont)
        .Stored(&TdxTreeListColumn::IsFontAssigned);
    B.Property("HeaderGlyph", &TdxTreeListColumn::HeaderGlyph, &TdxTreeListColumn::SetHeaderGlyph)
        .Stored(&TdxTreeListColumn::HasHeaderGlyph);
    B.Property("CharCase", [](TdxTreeListColumn* C) { return C->CharCase; },
               [](TdxTreeListColumn* C, TEditCharCase V) { C->CharCase = V; C->NotifyChange(true); })
        .Default(ecNormal);
    B.Property("PasswordChar", [](TdxTreeListColumn* C) { return C->PasswordChar; },
               [](TdxTreeListColumn* C, char V) { C->PasswordChar = V; C->NotifyChange(false); })
        .Default(0);
    B.Property("DisableCaption", [](TdxTreeListColumn* C) { return C->DisableCaption; },
               [](TdxTreeListColumn* C, bool V) { C->DisableCaption = V; C->NotifyChange(true); })
        .Default(false);
    B.Property("DisableCustomizing", [](TdxTreeListColumn* C) { return C->DisableCustomizing; },
               [](TdxTreeListColumn* C, bool V) { C->DisableCustomizing = V; })
        .Default(false);
    B.Property("DisableDragging", [](TdxTreeListColumn* C) { return C->DisableDragging; },
               [](TdxTreeListColumn* C, bool V) { C->DisableDragging = V; })
        .Default(false);
    B.Property("DisableEditor", [](TdxTreeListColumn* C) { return C->DisableEditor; },
               [](TdxTreeListColumn* C, bool V) { C->DisableEditor = V; })
        .Default(false);
    B.Property("HeaderAlignment", [](TdxTreeListColumn* C) { return C->HeaderAlignment; },
               [](TdxTreeListColumn* C, TAlignment V) { C->HeaderAlignment = V; C->NotifyChange(true); })
        .Default(taLeftJustify);
    B.Property("MaxLength", &TdxTreeListColumn::MaxLength, &TdxTreeListColumn::SetMaxLength)
        .Stored(&TdxTreeListColumn::IsMaxLengthStored);
    B.Property("MinWidth", &TdxTreeListColumn::MinWidth, &TdxTreeListColumn::SetMinWidth).Default(20);
    B.Property("OEMConvert", &TdxTreeListColumn::OEMConvert, &TdxTreeListColumn::SetOEMConvert).Default(false);
    // Written only when set, as set (the control's own read-only state is not the column's).
    B.Property("ReadOnly", [](TdxTreeListColumn* C) { return C->FReadOnlyAssigned ? C->FReadOnly : C->GetDefaultReadOnly(); },
               &TdxTreeListColumn::SetReadOnly)
        .Stored(&TdxTreeListColumn::IsReadOnlyStored);
    B.Property("Sizing", &TdxTreeListColumn::Sizing, &TdxTreeListColumn::SetSizing).Default(true);
    B.Property("Sorted", &TdxTreeListColumn::Sorted, &TdxTreeListColumn::SetSorted).Default(csNone);
    B.Property("TabStop", [](TdxTreeListColumn* C) { return C->TabStop; },
               [](TdxTreeListColumn* C, bool V) { C->TabStop = V; })
        .Default(true);
    B.Property("Visible", &TdxTreeListColumn::Visible, &TdxTreeListColumn::SetVisible).Default(true);
    B.Property("Width", &TdxTreeListColumn::Width, &TdxTreeListColumn::SetWidth)
        .Stored(&TdxTreeListColumn::IsWidthAssigned);
    B.Property("BandIndex", &TdxTreeListColumn::BandIndex, &TdxTreeListColumn::SetBandIndex).Default(0);
    B.Property("RowIndex", &TdxTreeListColumn::RowIndex, &TdxTreeListColumn::SetRowIndex).Default(0);
    B.Property("ColIndex", &TdxTreeListColumn::ColIndex, &TdxTreeListColumn::SetColIndex).Stored(false);
    B.Property("HeaderMaxLineCount", [](TdxTreeListColumn* C) { return C->HeaderMaxLineCount; },
               [](TdxTreeListColumn* C, int V) { C->HeaderMaxLineCount = std::max(V, 0); C->NotifyChange(true); })
        .Default(1);
    B.Property("VertAlignment", [](TdxTreeListColumn* C) { return C->VertAlignment; },
               [](TdxTreeListColumn* C, TTextLayout V) { C->VertAlignment = V; C->NotifyChange(false); })
        .Default(tlTop);
    B.Property("OnChange", &TdxTreeListColumn::OnChange, &TdxTreeListColumn::OnChange);
    B.Property("OnValidate", &TdxTreeListColumn::OnValidate, &TdxTreeListColumn::OnValidate);
}

void TdxTreeListColumn::NotifyChange(bool KeepWidth) {
    if (FTreeList)
        FTreeList->ColumnChanged(KeepWidth ? nullptr : this);
}

std::string TdxTreeListColumn::Caption() { return FCaptionAssigned ? FCaption : GetDefaultCaption(); }

void TdxTreeListColumn::SetCaption(const std::string& Value) {
    FCaption = Value;
    FCaptionAssigned = true;
    NotifyChange(false);
}

TAlignment TdxTreeListColumn::Alignment() { return FAlignmentAssigned ? FAlignment : GetDefaultAlignment(); }

void TdxTreeListColumn::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    FAlignmentAssigned = true;
    NotifyChange(false);
}

void TdxTreeListColumn::SetWidth(int Value) {
    Value = std::max(Value, FMinWidth);
    // The default width on a column that never had one set stays unassigned.
    if (!FWidthAssigned && Value == GetDefaultWidth())
        return;
    FWidth = Value;
    FWidthAssigned = true;
    NotifyChange(false);
}

void TdxTreeListColumn::SetMinWidth(int Value) {
    FMinWidth = std::max(Value, 0);
    if (FWidth < FMinWidth)
        SetWidth(FWidth);
}

void TdxTreeListColumn::SetVisible(bool Value) {
    if (FVisible == Value)
        return;
    FVisible = Value;
    NotifyChange(false);
}

void TdxTreeListColumn::SetBandIndex(int Value) {
    Value = std::max(Value, -1);
    if (FTreeList && Value >= FTreeList->Bands()->Count())
        Value = FTreeList->Bands()->Count() - 1;
    if (Value == FBandIndex)
        return;
    FBandIndex = Value;
    NotifyChange(false);
}

int TdxTreeListColumn::RowIndex() const {
    if (!FTreeList)
        return FRowIndex;
    return std::min(FStoredRowIndex, FTreeList->HeaderPanelRowCountValue() - 1);
}

void TdxTreeListColumn::SetRowIndex(int Value) {
    Value = std::max(Value, 0);
    if (FTreeList && !FTreeList->ComponentState().Contains(csLoading))
        Value = std::min(Value, FTreeList->HeaderPanelRowCountValue() - 1);
    if (Value == RowIndex() && Value == FStoredRowIndex)
        return;
    FRowIndex = FStoredRowIndex = Value;
    NotifyChange(false);
}

int TdxTreeListColumn::ColIndex() {
    if (!FTreeList)
        return -1;
    int Count = 0;
    for (int I = 0; I < FTreeList->ColumnCount(); ++I) {
        TdxTreeListColumn* C = FTreeList->Columns(I);
        if (C == this)
            return FVisible ? Count : std::max(FTreeList->VisibleBandColumnCount(FBandIndex, RowIndex()) - 1, 0);
        if (C->Visible() && C->BandIndex() == FBandIndex && C->RowIndex() == RowIndex())
            ++Count;
    }
    return -1;
}

void TdxTreeListColumn::SetColIndex(int Value) {
    if (!FTreeList || FBandIndex < 0 || Value == ColIndex())
        return;
    std::vector<TdxTreeListColumn*> Row;
    for (int I = 0; I < FTreeList->ColumnCount(); ++I) {
        TdxTreeListColumn* C = FTreeList->Columns(I);
        if (C->Visible() && C->BandIndex() == FBandIndex && C->RowIndex() == RowIndex())
            Row.push_back(C);
    }
    if (Row.empty())
        return;
    Value = std::clamp(Value, 0, static_cast<int>(Row.size()) - 1);
    TdxTreeListColumn* At = Row[static_cast<size_t>(Value)];
    if (At == this)
        return;
    int Target = FTreeList->IndexOfColumn(At);
    if (Target > Index())
        SetIndex(Value == static_cast<int>(Row.size()) - 1 ? Target : Target - 1);
    else
        SetIndex(Target);
}

int TdxTreeListColumn::Index() { return FTreeList ? FTreeList->IndexOfColumn(this) : -1; }

void TdxTreeListColumn::SetIndex(int Value) {
    if (!FTreeList || GetDataIndex() < 0)
        return;
    Value = std::clamp(Value, 0, FTreeList->ColumnCount() - 1);
    const int Old = Index();
    if (Value == Old)
        return;
    FTreeList->MoveNodeStrings(Old, Value);
    FTreeList->MoveColumnInList(this, Value);
    NotifyChange(true);
}

void TdxTreeListColumn::SetSorted(TdxTreeListColumnSort Value) {
    if (FSorted == Value)
        return;
    if (!FTreeList || FTreeList->ComponentState().Contains(csLoading)) {
        FSorted = Value;
        NotifyChange(false);
        return;
    }
    TCustomdxTreeListControl* T = FTreeList;
    if (Value != csNone) {
        // The end of the update re-sorts the nodes and re-lays out.
        T->BeginUpdate();
        try {
            T->BeforeColumnSort(this);
            FSorted = Value;
            T->SortedColumnChanged(this);
        } catch (...) {
            T->EndUpdate();
            throw;
        }
        T->EndUpdate();
        return;
    }
    T->LockSort();
    FSorted = Value;
    T->RemoveSortedColumn(this);
    T->UnlockSort();
    NotifyChange(false);
}

bool TdxTreeListColumn::ReadOnly() {
    if (FReadOnlyAssigned ? FReadOnly : GetDefaultReadOnly())
        return true;
    return FTreeList && FTreeList->IsEditingReadOnly();
}

void TdxTreeListColumn::SetReadOnly(bool Value) {
    FReadOnly = Value;
    FReadOnlyAssigned = true;
    NotifyChange(false);
}

void TdxTreeListColumn::SetMaxLength(int Value) {
    FMaxLength = Value;
    FMaxLengthAssigned = true;
    NotifyChange(false);
}

void TdxTreeListColumn::SetOEMConvert(bool Value) {
    FOEMConvert = Value;
    NotifyChange(false);
}

void TdxTreeListColumn::ChangeName(const std::string& NewName) {
    TComponent::ChangeName(NewName);
    OnNameChanged(this);
}

void TdxTreeListColumn::SetSizing(bool Value) {
    FSizing = Value;
    NotifyChange(false);
}

int TdxTreeListColumn::GetDataIndex() {
    if (DataIndexOverride != -1)
        return DataIndexOverride;
    return FTreeList ? FTreeList->IndexOfColumn(this) : -1;
}

void TdxTreeListColumn::GetCellText(TdxTreeListNode* Node, std::string& Text) {
    Text.clear();
    if (FTreeList && Node)
        FTreeList->GetNodeString(Node, GetDataIndex(), Text);
}

int TdxTreeListColumn::GetSortIndex() {
    for (int I = 0; FTreeList && I < FTreeList->SortedColumnCount(); ++I)
        if (FTreeList->SortedColumns(I) == this)
            return I;
    return -1;
}

TdxInplaceEditClass TdxTreeListColumn::GetEditorClass() { return TdxInplaceTreeListTextEdit::StaticClass(); }

void TdxTreeListColumn::EditChanged(TObject* Sender) {
    if (FTreeList && FTreeList->InitializingEditor())
        return;
    if (FTreeList)
        FTreeList->DoEditChange(this);
    OnChange(Sender);
}

void TdxTreeListColumn::EditValidate(TObject* Sender, std::string& ErrorText, bool& Accept) {
    if (FTreeList && FTreeList->InitializingEditor())
        return;
    if (FTreeList)
        FTreeList->DoEditValidate(this, ErrorText, Accept);
    OnValidate(Sender, ErrorText, Accept);
}

void TdxTreeListColumn::InitEditProperties(TdxInplaceEdit* Editor) {
    if (!Editor)
        return;
    Editor->SetReadOnly(ReadOnly());
    Editor->OnChange = TNotifyEvent::FromFunction([this](TObject* S) { EditChanged(S); });
    Editor->OnValidate = TdxEditValidateEvent::FromFunction(
        [this](TObject* S, std::string& E, bool& A) { EditValidate(S, E, A); });
    if (auto* T = dynamic_cast<TdxInplaceTextEdit*>(Editor)) {
        T->SetCharCase(CharCase);
        T->SetMaxLength(MaxLength());
        T->SetOEMConvert(FOEMConvert);
        T->SetPasswordChar(PasswordChar);
    }
}

void TdxTreeListColumn::InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    std::string S;
    if (FTreeList)
        FTreeList->GetNodeString(Node, GetDataIndex(), S);
    Editor->SetEditValue(S);
    std::string Back;
    Editor->GetEditingText(Back);
    Value = Back;
}

void TdxTreeListColumn::AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    if (!FTreeList)
        return;
    if (dynamic_cast<TdxInplaceTextEdit*>(Editor)) {
        std::string S;
        Editor->GetEditingText(S);
        FTreeList->SetNodeString(Node, GetDataIndex(), S);
    }
    FTreeList->GetNodeValue(Node, GetDataIndex(), Value);
}

void TdxTreeListColumn::RestoreDefaults() {
    FCaptionAssigned = FAlignmentAssigned = FWidthAssigned = FColorAssigned = FFontAssigned = false;
    FReadOnlyAssigned = FMaxLengthAssigned = false;
    SyncFont();
    FWidth = GetDefaultWidth();
    DisableEditor = DisableCaption = DisableCustomizing = false;
    HeaderAlignment = taLeftJustify;
    FMinWidth = 20;
    FSizing = true;
    FSorted = csNone;
    TabStop = true;
    VertAlignment = tlTop;
}

void TdxTreeListColumn::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TdxTreeListColumn*>(Source);
    if (!S) {
        TComponent::Assign(Source);
        return;
    }
    if (FTreeList)
        FTreeList->BeginUpdate();
    try {
        RestoreDefaults();
        if (S->FAlignmentAssigned)
            SetAlignment(S->FAlignment);
        if (S->FCaptionAssigned)
            SetCaption(S->FCaption);
        if (S->FReadOnlyAssigned)
            SetReadOnly(S->FReadOnly);
        if (S->FWidthAssigned)
            SetWidth(S->FWidth);
        if (S->FColorAssigned)
            SetColor(S->FColor);
        if (S->FFontAssigned)
            SetFont(S->FFont);
        if (S->FHeaderGlyph)
            SetHeaderGlyph(S->FHeaderGlyph);
        DisableCaption = S->DisableCaption;
        DisableCustomizing = S->DisableCustomizing;
        DisableEditor = S->DisableEditor;
        DisableFilter = S->DisableFilter;
        HeaderAlignment = S->HeaderAlignment;
        SetMinWidth(S->FMinWidth);
        SetSizing(S->FSizing);
        SetSorted(S->FSorted);
        SetVisible(S->FVisible);
        TabStop = S->TabStop;
        SetBandIndex(S->FBandIndex);
        VertAlignment = S->VertAlignment;
        SetRowIndex(S->RowIndex());
        SetColIndex(S->ColIndex());
        HeaderMaxLineCount = S->HeaderMaxLineCount;
    } catch (...) {
        if (FTreeList)
            FTreeList->EndUpdate();
        throw;
    }
    if (FTreeList)
        FTreeList->EndUpdate();
}

void TdxTreeListColumn::SetTreeList(TCustomdxTreeListControl* Value) {
    if (Value == FTreeList)
        return;
    if (FTreeList)
        FTreeList->RemoveColumn(this);
    if (Value)
        Value->AddColumn(this);
}

TComponent* TdxTreeListColumn::GetParentComponent() const { return FTreeList; }

void TdxTreeListColumn::SetParentComponent(TComponent* Value) {
    if (ComponentState().Contains(csLoading))
        return;
    if (auto* T = dynamic_cast<TCustomdxTreeListControl*>(Value))
        SetTreeList(T);
}

void TdxTreeListColumn::DefineProperties(TFiler& Filer) {
    TComponent::DefineProperties(Filer);
    const bool Sorted = FTreeList && FSorted != csNone && FTreeList->IsMultiSortOption() &&
                        FTreeList->SortedColumnCount() > 1;
    const int Order = Sorted ? GetSortIndex() : -1;
    Filer.DefineProperty(
        "SortedOrder", [this](TReader& Reader) { PendingSortOrder = Reader.ReadInteger(); },
        [Order](TWriter& Writer) { Writer.WriteInteger(Order); }, Order >= 0);
    Filer.DefineProperty(
        "StoredRowIndex", [this](TReader& Reader) { FStoredRowIndex = Reader.ReadInteger(); },
        [this](TWriter& Writer) { Writer.WriteInteger(FStoredRowIndex); }, FStoredRowIndex != 0);
}

void TdxTreeListColumn::ReadState(TReader& Reader) {
    if (auto* T = dynamic_cast<TCustomdxTreeListControl*>(Reader.Parent()))
        SetTreeList(T);
    TComponent::ReadState(Reader);
}

bool TdxTreeListColumn::CanShowFilterButton(int, int, int&) {
    return !DisableFilter && !ComponentState().Contains(csDesigning);
}

int TdxTreeListColumn::GetBestFitWidth(TCanvas* Canvas, TdxTreeListNode* Node) {
    std::string S;
    if (FTreeList)
        FTreeList->GetNodeString(Node, GetDataIndex(), S);
    if (CharCase == ecUpperCase)
        S = AnsiUpperCase(S);
    else if (CharCase == ecLowerCase)
        S = AnsiLowerCase(S);
    return Canvas->TextWidth(S);
}

// ---------------------------------------------------------------------------------------------
// Painting

TdxEditViewData* TdxTreeListColumn::ViewData() {
    // A column whose editor class changes from cell to cell (one that shows another column's
    // cells) needs the view data of the editor at hand.
    TClass Wanted = GetEditorClass()->GetViewDataClass();
    if (FViewData && FViewData->ClassType() != Wanted)
        FreeAndNil(FViewData);
    if (!FViewData)
        FViewData = static_cast<TdxEditViewData*>(Wanted->CreateInstance());
    return FViewData;
}

void TdxTreeListColumn::PrepareViewData(TdxEditViewData* V, const TdxTreeListCellViewData& Cell) {
    V->Enabled = true;
    V->Focused = false;
    V->Highlighted = Cell.Hot;
    V->BorderColor = clNone;
    V->BorderStyle = xbsNone;
    V->ButtonStyle = TreeListButtonStyle(FTreeList ? FTreeList->DrawStyle() : 0);
    V->ButtonsTransparent = false;
    V->Edges = dxAllEdges;
    V->Shadow = false;
    V->Transparent = Cell.HighlightPass;
    V->OpaqueText = Cell.HighlightPass;
    V->TextMargins = TRect{1, 0, 0, 0};
    V->Bounds = Cell.Bounds;
    V->VertLayout = Cell.MultiLine ? 3 : static_cast<Byte>(VertAlignment);
    V->Font = Cell.Font;
    V->Brush = Cell.Brush;
    V->BkColor = Cell.BkColor;
    V->TextColor = Cell.TextColor;
    V->Alignment = Cell.Alignment;
    V->EditWindowView = false;
    V->Value = Cell.Text;
    V->ValueLength = Cell.HighlightPass ? Cell.HighlightLength : 0;
    V->MeasureOnly = false;
    if (auto* T = DynCast<TdxTextEditViewData>(V)) {
        T->CharCase = CharCase;
        T->PasswordChar = PasswordChar;
        T->EllipsisAtEnd = Cell.EndEllipsis;
    }
}

void TdxTreeListColumn::DoCustomDrawCell(TCanvas* Canvas, const TRect& Rect, TdxTreeListNode* Node, bool Selected,
                                         bool Focused, bool NewItemRow, std::string& Text, TColor& Color, TFont* Font,
                                         TAlignment& Alignment, bool& Done) {
    OnCustomDrawCell(this, Canvas, Rect, Node, this, Selected, Focused, NewItemRow, Text, Color, Font, Alignment, Done);
}

void TdxTreeListColumn::DrawCellFrame(HDC DC, TRect& Rect, HBRUSH Brush, bool RightEdge, bool LeftEdge) {
    const RECT Top{Rect.Left, Rect.Top, Rect.Right, Rect.Top + 1};
    const RECT Bottom{Rect.Left, Rect.Bottom - 1, Rect.Right, Rect.Bottom};
    FillRect(DC, &Top, Brush);
    FillRect(DC, &Bottom, Brush);
    ++Rect.Top;
    --Rect.Bottom;
    if (LeftEdge) {
        const RECT L{Rect.Left, Rect.Top, Rect.Left + 1, Rect.Bottom};
        FillRect(DC, &L, Brush);
        ++Rect.Left;
    }
    if (RightEdge) {
        const RECT R{Rect.Right - 1, Rect.Top, Rect.Right, Rect.Bottom};
        FillRect(DC, &R, Brush);
        --Rect.Right;
    }
}

// ---------------------------------------------------------------------------------------------
// Mask column

void TdxTreeListMaskColumn::DefineClass(TClassBuilder<TdxTreeListMaskColumn>& B) {
    B.Property("EditMask", [](TdxTreeListMaskColumn* C) { return C->EditMask; },
               [](TdxTreeListMaskColumn* C, const std::string& V) { C->EditMask = V; });
    B.Property("IgnoreMaskBlank", [](TdxTreeListMaskColumn* C) { return C->IgnoreMaskBlank; },
               [](TdxTreeListMaskColumn* C, bool V) { C->IgnoreMaskBlank = V; })
        .Default(false);
}

void TdxTreeListMaskColumn::InitEditProperties(TdxInplaceEdit* Editor) {
    TdxTreeListColumn::InitEditProperties(Editor);
    if (auto* M = dynamic_cast<TdxInplaceMaskEdit*>(Editor))
        M->SetEditMask(EditMask);
}

void TdxTreeListMaskColumn::Assign(TPersistent* Source) {
    TdxTreeListColumn::Assign(Source);
    if (auto* M = dynamic_cast<TdxTreeListMaskColumn*>(Source))
        EditMask = M->EditMask;
}

void TdxTreeListMaskColumn::RestoreDefaults() {
    TdxTreeListColumn::RestoreDefaults();
    EditMask.clear();
}
