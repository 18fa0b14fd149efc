// The data grid: columns over fields, rows over the data link's window, drawing, keys, mouse,
// editing and the selected rows.
#include "DBGrids.h"

#include "Dialogs.h"

#include <algorithm>

using namespace DBGridConsts;

// ---------------------------------------------------------------------------------------------
// The grid's data link

class TGridDataLink : public TDataLink {
    DECLARE_CLASS(TGridDataLink, TDataLink)
public:
    explicit TGridDataLink(TCustomDBGrid* Grid) : FGrid(Grid) { VisualControl = true; }
    // A grid in its destructor lets go of its data without hearing of it: its overrides and its
    // in-place editor are gone by then.
    void Detach() {
        FGrid = nullptr;
        SetDataSource(nullptr);
    }

protected:
    void ActiveChanged() override {
        if (FGrid)
            FGrid->LinkActive(Active());
    }
    void DataSetChanged() override {
        if (FGrid)
            FGrid->DataChanged();
    }
    void DataSetScrolled(int Distance) override {
        if (FGrid)
            FGrid->Scroll(Distance);
    }
    void LayoutChanged() override {
        if (FGrid)
            FGrid->LayoutChanged();
    }
    void RecordChanged(TField* Field) override {
        if (FGrid)
            FGrid->RecordChanged(Field);
    }
    void EditingChanged() override {
        if (FGrid)
            FGrid->EditingChanged();
    }
    void UpdateData() override {
        if (FGrid)
            FGrid->UpdateData();
    }

private:
    TCustomDBGrid* FGrid;
};

namespace {
// The width of a text in a font, measured on the screen (columns size themselves before the grid
// has a window).
int TextWidthIn(TFont* Font, const std::string& Text) {
    HDC DC = TextMeasureDC();
    HGDIOBJ Old = SelectObject(DC, Font->Handle());
    SIZE S{0, 0};
    GetTextExtentPoint32A(DC, Text.data(), static_cast<int>(Text.size()), &S);
    SelectObject(DC, Old);
    return S.cx;
}

void WriteText(TCanvas* Canvas, const TRect& R, int DX, int DY, const std::string& Text, TAlignment Alignment) {
    int Left;
    switch (Alignment) {
    case taRightJustify:
        Left = R.Right - Canvas->TextWidth(Text) - 3;
        break;
    case taCenter:
        Left = R.Left + (R.Width() - Canvas->TextWidth(Text)) / 2;
        break;
    default:
        Left = R.Left + DX;
        break;
    }
    Canvas->TextRect(R, Left, R.Top + DY, Text);
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// TCanvasClip

TCanvasClip::TCanvasClip(TCanvas* Canvas, const TRect& R)
    : FDC(Canvas->Handle()), FSaved(CreateRectRgn(0, 0, 0, 0)), FHadRegion(GetClipRgn(FDC, FSaved) == 1) {
    IntersectClipRect(FDC, R.Left, R.Top, R.Right, R.Bottom);
}

TCanvasClip::~TCanvasClip() {
    SelectClipRgn(FDC, FHadRegion ? FSaved : nullptr);
    DeleteObject(FSaved);
}

// ---------------------------------------------------------------------------------------------
// TColumnTitle

TColumnTitle::TColumnTitle(TColumn* Column) : FColumn(Column), FFont(new TFont) {
    FFont->OnChange = TNotifyEvent::Bind<&TColumnTitle::FontChanged>(this);
    RefreshDefaultFont();
}

TColumnTitle::~TColumnTitle() { delete FFont; }

void TColumnTitle::DefineClass(TClassBuilder<TColumnTitle>& B) {
    B.Property("Alignment", &TColumnTitle::Alignment, &TColumnTitle::SetAlignment).Default(taLeftJustify);
    B.Property("Caption", &TColumnTitle::Caption, &TColumnTitle::SetCaption).Stored(&TColumnTitle::IsCaptionStored);
    B.Property("Color", &TColumnTitle::Color, &TColumnTitle::SetColor).TypeName("TColor").Stored(&TColumnTitle::IsColorStored);
    B.Property("Font", &TColumnTitle::Font, &TColumnTitle::SetFont).Stored(&TColumnTitle::IsFontStored);
}

TPersistent* TColumnTitle::GetOwner() { return FColumn; }

void TColumnTitle::Assign(TPersistent* Source) {
    auto* S = DynCast<TColumnTitle>(Source);
    if (!S) {
        TPersistent::Assign(Source);
        return;
    }
    if (S->FCaptionSet)
        SetCaption(S->FCaption);
    if (S->FColorSet)
        SetColor(S->FColor);
    if (S->FFontSet)
        SetFont(S->FFont);
    SetAlignment(S->FAlignment);
}

std::string TColumnTitle::Caption() const {
    if (FCaptionSet)
        return FCaption;
    TField* F = FColumn->Field();
    return F ? F->DisplayLabel() : FColumn->FieldName();
}

void TColumnTitle::SetCaption(const std::string& Value) {
    FCaption = Value;
    FCaptionSet = true;
    FColumn->Changed(false);
}

TColor TColumnTitle::Color() const {
    if (FColorSet)
        return FColor;
    TCustomDBGrid* G = FColumn->Grid();
    return G ? G->FixedColor() : clBtnFace;
}

void TColumnTitle::SetColor(TColor Value) {
    FColor = Value;
    FColorSet = true;
    FColumn->Changed(false);
}

void TColumnTitle::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    FColumn->Changed(false);
}

void TColumnTitle::RefreshDefaultFont() {
    if (FFontSet)
        return;
    TCustomDBGrid* G = FColumn->Grid();
    if (!G)
        return;
    FDefaultingFont = true;
    FFont->Assign(G->TitleFont());
    FDefaultingFont = false;
}

void TColumnTitle::FontChanged(TObject*) {
    if (FDefaultingFont)
        return;
    FFontSet = true;
    FColumn->Changed(false);
}

// ---------------------------------------------------------------------------------------------
// TColumn

TColumn::TColumn(TCollection* ACollection)
    : TCollectionItem(ACollection), FTitle(new TColumnTitle(this)), FFont(new TFont) {
    FFont->OnChange = TNotifyEvent::Bind<&TColumn::FontChanged>(this);
    RefreshDefaultFont();
    FTitle->RefreshDefaultFont();
}

TColumn::~TColumn() {
    delete FTitle;
    delete FFont;
}

void TColumn::DefineClass(TClassBuilder<TColumn>& B) {
    B.Property("Alignment", &TColumn::Alignment, &TColumn::SetAlignment).Stored(&TColumn::IsAlignmentStored);
    B.Property("Color", &TColumn::Color, &TColumn::SetColor).TypeName("TColor").Stored(&TColumn::IsColorStored);
    B.Property("Expanded", &TColumn::Expanded, &TColumn::SetExpanded).Default(false);
    B.Property("FieldName", &TColumn::FieldName, &TColumn::SetFieldName);
    B.Property("Font", &TColumn::Font, &TColumn::SetFont).Stored(&TColumn::IsFontStored);
    B.Property("ReadOnly", &TColumn::ReadOnly, &TColumn::SetReadOnly).Default(false);
    B.Property("Title", &TColumn::Title, &TColumn::SetTitle);
    B.Property("Visible", &TColumn::Visible, &TColumn::SetVisible).Default(true);
    B.Property("Width", &TColumn::Width, &TColumn::SetWidth).Stored(&TColumn::IsWidthStored);
}

void TColumn::Assign(TPersistent* Source) {
    auto* S = DynCast<TColumn>(Source);
    if (!S) {
        TCollectionItem::Assign(Source);
        return;
    }
    if (Collection())
        Collection()->BeginUpdate();
    SetFieldName(S->FFieldName);
    if (S->FWidthSet)
        SetWidth(S->FWidth);
    if (S->FColorSet)
        SetColor(S->FColor);
    if (S->FFontSet)
        SetFont(S->FFont);
    if (S->FAlignmentSet)
        SetAlignment(S->FAlignment);
    SetVisible(S->FVisible);
    SetReadOnly(S->FReadOnly);
    FTitle->Assign(S->FTitle);
    if (Collection())
        Collection()->EndUpdate();
}

std::string TColumn::GetDisplayName() {
    return FFieldName.empty() ? TCollectionItem::GetDisplayName() : FFieldName;
}

TCustomDBGrid* TColumn::Grid() const {
    auto* Cols = DynCast<TDBGridColumns>(Collection());
    return Cols ? Cols->Grid() : nullptr;
}

TField* TColumn::Field() {
    TCustomDBGrid* G = Grid();
    if (!FField && G && !FFieldName.empty() && G->DataLink()->Active())
        FField = G->DataLink()->DataSet()->FindField(FFieldName);
    return FField;
}

void TColumn::SetField(TField* Value) {
    if (Value == FField)
        return;
    FField = Value;
    if (Value)
        FFieldName = Value->FullName();
    Changed(false);
}

void TColumn::SetFieldName(const std::string& Value) {
    FFieldName = Value;
    FField = nullptr;
    Changed(false);
}

int TColumn::DefaultWidth() {
    TCustomDBGrid* G = Grid();
    if (!G)
        return 64;
    TField* F = Field();
    if (!F)
        return G->DefaultColWidth();
    int W = F->DisplayWidth() * TextWidthIn(FFont, "0") + 4;
    if (G->Options().Contains(dgTitles))
        W = std::max(W, TextWidthIn(FTitle->Font(), FTitle->Caption()) + 4);
    return W;
}

int TColumn::Width() { return FWidthSet ? FWidth : DefaultWidth(); }

void TColumn::SetWidth(int Value) {
    if (FWidthSet && Value == FWidth)
        return;
    FWidth = Value;
    FWidthSet = true;
    Changed(false);
}

TColumn* TColumn::ParentColumn() {
    auto* Cols = DynCast<TDBGridColumns>(Collection());
    if (!Cols || FFieldName.find('.') == std::string::npos || !Cols->Grid()->ObjectView())
        return nullptr;
    for (int I = Index() - 1; I >= 0; --I) {
        const std::string& Name = Cols->Items(I)->FFieldName;
        if (!Name.empty() && FFieldName.size() > Name.size() && FFieldName[Name.size()] == '.' &&
            AnsiSameText(FFieldName.substr(0, Name.size()), Name))
            return Cols->Items(I);
    }
    return nullptr;
}

int TColumn::Depth() {
    int Result = 0;
    for (TColumn* P = ParentColumn(); P; P = P->ParentColumn())
        ++Result;
    return Result;
}

bool TColumn::Expandable() {
    TCustomDBGrid* G = Grid();
    auto* Object = DynCast<TObjectField>(Field());
    return G && G->ObjectView() && Object && Object->FieldCount() > 0;
}

void TColumn::SetExpanded(bool Value) {
    if (Value == FExpanded)
        return;
    FExpanded = Value;
    auto* Cols = DynCast<TDBGridColumns>(Collection());
    if (Value && Cols && Expandable() && Cols->State() == csCustomized &&
        (Index() + 1 >= Cols->Count() || Cols->Items(Index() + 1)->ParentColumn() != this)) {
        // Persistent columns get their children's columns on first expansion.
        auto* Object = static_cast<TObjectField*>(Field());
        Cols->BeginUpdate();
        try {
            for (int I = 0; I < Object->FieldCount(); ++I) {
                TColumn* Child = Cols->Add();
                Child->SetFieldName(Object->Fields()->Fields(I)->FullName());
                Child->SetIndex(Index() + 1 + I);
            }
        } catch (...) {
            Cols->EndUpdate();
            throw;
        }
        Cols->EndUpdate();
    }
    Changed(true);
}

bool TColumn::Showing() {
    if (!FVisible || (FExpanded && Expandable()))
        return false;
    for (TColumn* P = ParentColumn(); P; P = P->ParentColumn())
        if (P->Expandable() && (!P->FVisible || !P->FExpanded))
            return false;
    return true;
}

void TColumn::SetVisible(bool Value) {
    if (Value == FVisible)
        return;
    FVisible = Value;
    Changed(true);
}

void TColumn::SetReadOnly(bool Value) {
    FReadOnly = Value;
    Changed(false);
}

TColor TColumn::Color() const {
    if (FColorSet)
        return FColor;
    TCustomDBGrid* G = Grid();
    return G ? G->Color() : clWindow;
}

void TColumn::SetColor(TColor Value) {
    FColor = Value;
    FColorSet = true;
    Changed(false);
}

TAlignment TColumn::Alignment() {
    if (FAlignmentSet)
        return FAlignment;
    TField* F = Field();
    return F ? F->Alignment() : taLeftJustify;
}

void TColumn::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    FAlignmentSet = true;
    Changed(false);
}

void TColumn::RefreshDefaultFont() {
    if (FFontSet)
        return;
    TCustomDBGrid* G = Grid();
    if (!G)
        return;
    FDefaultingFont = true;
    FFont->Assign(G->Font());
    FDefaultingFont = false;
}

void TColumn::FontChanged(TObject*) {
    if (FDefaultingFont)
        return;
    FFontSet = true;
    Changed(false);
}

// ---------------------------------------------------------------------------------------------
// TDBGridColumns

TDBGridColumns::TDBGridColumns(TCustomDBGrid* Grid) : TCollection(TColumn::StaticClass()), FGrid(Grid) {
    SetPropName("Columns");
}

TPersistent* TDBGridColumns::GetOwner() { return FGrid; }

TDBGridColumnsState TDBGridColumns::State() const {
    for (int I = 0; I < Count(); ++I)
        if (!Items(I)->FDefaultColumn)
            return csCustomized;
    return csDefault;
}

void TDBGridColumns::SetState(TDBGridColumnsState Value) {
    if (Value == State())
        return;
    if (Value == csDefault) {
        BeginUpdate();
        Clear();
        EndUpdate();
    } else
        for (int I = 0; I < Count(); ++I)
            Items(I)->FDefaultColumn = false;
}

void TDBGridColumns::Added(TCollectionItem*& Item) {
    TCollection::Added(Item);
    auto* Column = static_cast<TColumn*>(Item);
    Column->FDefaultColumn = FRebuilding;
    if (FRebuilding)
        return;
    for (int I = Count() - 1; I >= 0; --I)
        if (Items(I) != Column && Items(I)->FDefaultColumn)
            delete Items(I);
    Column->RefreshDefaultFont();
    Column->Title()->RefreshDefaultFont();
}

void TDBGridColumns::RebuildColumns() {
    TDataSet* DS = FGrid->DataLink()->DataSet();
    // Rebuilt columns stay expanded as they were.
    std::vector<std::string> Expanded;
    for (int I = 0; I < Count(); ++I)
        if (Items(I)->FExpanded)
            Expanded.push_back(Items(I)->FFieldName);
    auto AddColumns = [&](auto& Self, TFields* Fields) -> void {
        for (int I = 0; I < Fields->Count(); ++I) {
            TField* F = Fields->Fields(I);
            if (!F->Visible())
                continue;
            TColumn* Column = Add();
            Column->SetField(F);
            auto* Object = DynCast<TObjectField>(F);
            if (Object && DS->ObjectView()) {
                Column->FExpanded = std::find(Expanded.begin(), Expanded.end(), F->FullName()) != Expanded.end();
                Self(Self, Object->Fields());
            }
        }
    };
    BeginUpdate();
    FRebuilding = true;
    try {
        Clear();
        if (DS && FGrid->DataLink()->Active())
            AddColumns(AddColumns, DS->Fields());
    } catch (...) {
        FRebuilding = false;
        EndUpdate();
        throw;
    }
    FRebuilding = false;
    EndUpdate();
}

void TDBGridColumns::RestoreDefaults() {
    BeginUpdate();
    for (int I = 0; I < Count(); ++I) {
        Items(I)->FWidthSet = Items(I)->FColorSet = Items(I)->FAlignmentSet = false;
        Items(I)->FFontSet = false;
        Items(I)->RefreshDefaultFont();
    }
    EndUpdate();
}

void TDBGridColumns::Update(TCollectionItem* Item) {
    (void)Item;
    if (!FGrid->ComponentState().Contains(csLoading))
        FGrid->LayoutChanged();
}

// ---------------------------------------------------------------------------------------------
// TBookmarkList

TDataSet* TBookmarkList::DataSet() const { return FGrid->DataLink()->DataSet(); }

const TBookmark& TBookmarkList::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        RaiseListIndexError(Index);
    return FList[static_cast<std::size_t>(Index)];
}

bool TBookmarkList::Find(const TBookmark& Item, int& Index) const {
    // Binary search in the data set's order of bookmarks.
    TDataSet* DS = DataSet();
    int Low = 0, High = Count() - 1;
    while (Low <= High) {
        int Mid = (Low + High) / 2;
        int C = DS->CompareBookmarks(FList[static_cast<std::size_t>(Mid)], Item);
        if (C == 0) {
            Index = Mid;
            return true;
        }
        if (C < 0)
            Low = Mid + 1;
        else
            High = Mid - 1;
    }
    Index = Low;
    return false;
}

int TBookmarkList::IndexOf(const TBookmark& Item) const {
    int I;
    return DataSet() && Find(Item, I) ? I : -1;
}

bool TBookmarkList::CurrentRowSelected() const {
    TDataSet* DS = DataSet();
    if (!DS || !FGrid->DataLink()->Active() || DS->IsEmpty())
        return false;
    TBookmark B = DS->GetBookmark();
    int I;
    return !B.empty() && Find(B, I);
}

void TBookmarkList::SetCurrentRowSelected(bool Value) {
    TDataSet* DS = DataSet();
    if (!DS || !FGrid->DataLink()->Active() || DS->IsEmpty())
        return;
    TBookmark B = DS->GetBookmark();
    if (B.empty())
        return;
    int I;
    bool Found = Find(B, I);
    if (Found == Value)
        return;
    if (Value)
        FList.insert(FList.begin() + I, B);
    else
        FList.erase(FList.begin() + I);
    FGrid->InvalidateRow(FGrid->Row());
}

void TBookmarkList::Clear() {
    if (FList.empty())
        return;
    FList.clear();
    FGrid->Invalidate();
}

void TBookmarkList::Delete() {
    TDataSet* DS = DataSet();
    DS->DisableControls();
    try {
        for (auto It = FList.rbegin(); It != FList.rend(); ++It)
            if (DS->BookmarkValid(*It)) {
                DS->GotoBookmark(*It);
                DS->Delete();
            }
    } catch (...) {
        FList.clear();
        DS->EnableControls();
        throw;
    }
    FList.clear();
    DS->EnableControls();
}

bool TBookmarkList::Refresh() {
    TDataSet* DS = DataSet();
    std::size_t Before = FList.size();
    if (DS)
        std::erase_if(FList, [&](const TBookmark& B) { return !DS->BookmarkValid(B); });
    if (FList.size() != Before)
        FGrid->Invalidate();
    return FList.size() != Before;
}

// ---------------------------------------------------------------------------------------------
// TCustomDBGrid: construction and properties

TCustomDBGrid::TCustomDBGrid(TComponent* AOwner)
    : TCustomGrid(AOwner), FDataLink(new TGridDataLink(this)), FColumns(new TDBGridColumns(this)),
      FTitleFont(new TFont), FBookmarks(this) {
    FTitleFont->OnChange = TNotifyEvent::Bind<&TCustomDBGrid::TitleFontChanged>(this);
    SetDBGridOptions(FOptions);
    InternalLayout();
}

TCustomDBGrid::~TCustomDBGrid() {
    static_cast<TGridDataLink*>(FDataLink)->Detach();
    delete FDataLink;
    FDataLink = nullptr;
    delete FColumns;
    delete FTitleFont;
}

void TCustomDBGrid::DefineClass(TClassBuilder<TCustomDBGrid>& B) {
    B.Property("Columns", &TCustomDBGrid::Columns, &TCustomDBGrid::SetColumns).Stored(&TCustomDBGrid::IsColumnsStored);
    B.Property("DataSource", &TCustomDBGrid::DataSource, &TCustomDBGrid::SetDataSource);
    B.Property("DefaultDrawing", &TCustomDBGrid::DefaultDrawing, &TCustomDBGrid::SetDefaultDrawing).Default(true);
    B.Property("FixedColor", &TCustomDBGrid::FixedColor, &TCustomDBGrid::SetFixedColor).TypeName("TColor").Default(clBtnFace);
    B.Property("Options", &TCustomDBGrid::Options, &TCustomDBGrid::SetOptions)
        .Default(TDBGridOptions{dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
                                dgConfirmDelete, dgCancelOnExit});
    B.Property("ReadOnly", &TCustomDBGrid::ReadOnly, &TCustomDBGrid::SetReadOnly).Default(false);
    B.Property("TitleFont", &TCustomDBGrid::TitleFont, &TCustomDBGrid::SetTitleFont);
    B.Property("OnCellClick", &TCustomDBGrid::OnCellClick, &TCustomDBGrid::OnCellClick);
    B.Property("OnColEnter", &TCustomDBGrid::OnColEnter, &TCustomDBGrid::OnColEnter);
    B.Property("OnColExit", &TCustomDBGrid::OnColExit, &TCustomDBGrid::OnColExit);
    B.Property("OnColumnMoved", &TCustomDBGrid::OnColumnMoved, &TCustomDBGrid::OnColumnMoved);
    B.Property("OnDrawColumnCell", &TCustomDBGrid::OnDrawColumnCell, &TCustomDBGrid::OnDrawColumnCell);
    B.Property("OnDrawDataCell", &TCustomDBGrid::OnDrawDataCell, &TCustomDBGrid::OnDrawDataCell);
    B.Property("OnTitleClick", &TCustomDBGrid::OnTitleClick, &TCustomDBGrid::OnTitleClick);
    B.Message<&TCustomDBGrid::WMVScroll>(WM_VSCROLL);
    B.Message<&TCustomDBGrid::WMCancelMode>(WM_CANCELMODE);
    B.Message<&TCustomDBGrid::WMRButtonUp>(WM_RBUTTONUP);
}

void TCustomDBGrid::SetDataSource(TDataSource* Value) {
    if (Value == FDataLink->DataSource())
        return;
    if (TDataSource* Old = FDataLink->DataSource())
        Old->RemoveFreeNotification(this);
    FBookmarks.Clear();
    FDataLink->SetDataSource(Value);
    if (Value)
        Value->FreeNotification(this);
    LinkActive(FDataLink->Active());
}

void TCustomDBGrid::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomGrid::Notification(AComponent, Operation);
    if (Operation == opRemove && FDataLink && AComponent == FDataLink->DataSource())
        SetDataSource(nullptr);
}

void TCustomDBGrid::SetReadOnly(bool Value) {
    FReadOnly = Value;
    if (Value)
        SetEditorMode(false);
    Invalidate();
}

void TCustomDBGrid::SetDBGridOptions(TDBGridOptions Value) {
    // Row selection shows no editor.
    if (Value.Contains(dgRowSelect))
        Value -= TDBGridOptions{dgEditing, dgAlwaysShowEditor};
    bool LayoutAffected = (Value.Contains(dgTitles) != FOptions.Contains(dgTitles)) ||
                          (Value.Contains(dgIndicator) != FOptions.Contains(dgIndicator));
    // Only turning multi-selection off forgets the rows: descendants select rows of their own.
    if (FOptions.Contains(dgMultiSelect) && !Value.Contains(dgMultiSelect))
        FBookmarks.Clear();
    FOptions = Value;
    TGridOptions G;
    if (Value.Contains(dgColLines))
        G += TGridOptions{goFixedVertLine, goVertLine};
    if (Value.Contains(dgRowLines))
        G += TGridOptions{goFixedHorzLine, goHorzLine};
    if (Value.Contains(dgColumnResize))
        G += TGridOptions{goColSizing, goColMoving};
    if (Value.Contains(dgTabs))
        G.Include(goTabs);
    if (Value.Contains(dgRowSelect))
        G.Include(goRowSelect);
    else {
        if (Value.Contains(dgEditing))
            G.Include(goEditing);
        if (Value.Contains(dgAlwaysShowEditor))
            G.Include(goAlwaysShowEditor);
    }
    SetGridOptions(G);
    if (LayoutAffected)
        LayoutChanged();
    else
        Invalidate();
}

void TCustomDBGrid::TitleFontChanged(TObject*) {
    for (int I = 0; I < FColumns->Count(); ++I)
        FColumns->Items(I)->Title()->RefreshDefaultFont();
    LayoutChanged();
}

void TCustomDBGrid::FontChanged(TObject* Sender) {
    TCustomGrid::FontChanged(Sender);
    // The titles are texts of the grid's language: they are read in the code page of its font.
    if (FTitleFont->Charset() != Font()->Charset())
        FTitleFont->SetCharset(Font()->Charset());
    if (FColumns) {
        for (int I = 0; I < FColumns->Count(); ++I)
            FColumns->Items(I)->RefreshDefaultFont();
        LayoutChanged();
    }
}

void TCustomDBGrid::SetSelectedIndex(int Value) {
    int C = Value + IndicatorOffset();
    if (C >= IndicatorOffset() && C < ColCount())
        SetCol(C);
}

TField* TCustomDBGrid::SelectedField() {
    TColumn* C = ColumnAt(Col());
    return C ? C->Field() : nullptr;
}

void TCustomDBGrid::SetSelectedField(TField* Value) {
    for (int I = 0; I < FColumns->Count(); ++I)
        if (FColumns->Items(I)->Field() == Value) {
            SetSelectedIndex(I);
            return;
        }
}

TColumn* TCustomDBGrid::ColumnAt(int ACol) const {
    int I = ACol - IndicatorOffset();
    return I >= 0 && I < FColumns->Count() ? FColumns->Items(I) : nullptr;
}

bool TCustomDBGrid::ObjectView() const {
    TDataSet* DS = FDataLink ? FDataLink->DataSet() : nullptr;
    return DS && DS->ObjectView();
}

int TCustomDBGrid::TitleOffset() const {
    if (!FOptions.Contains(dgTitles))
        return 0;
    int Deepest = 0;
    if (FColumns && ObjectView())
        for (int I = 0; I < FColumns->Count(); ++I)
            if (TColumn* C = FColumns->Items(I); C->Showing())
                Deepest = std::max(Deepest, C->Depth());
    return 1 + Deepest;
}

TColumn* TCustomDBGrid::TitleColumn(int ACol, int ARow, TRect& Span) {
    TColumn* Own = ColumnAt(ACol);
    int Titles = TitleOffset();
    if (!Own || ARow < 0 || ARow >= Titles)
        return nullptr;
    TColumn* Title = Own;
    while (Title->Depth() > ARow)
        Title = Title->ParentColumn();
    auto Under = [Title](TColumn* C) {
        for (; C; C = C->ParentColumn())
            if (C == Title)
                return true;
        return false;
    };
    const int VLine = FOptions.Contains(dgColLines) ? GridLineWidth() : 0;
    const int HLine = FOptions.Contains(dgRowLines) ? GridLineWidth() : 0;
    Span = CellRect(ACol, ARow);
    for (int X = ACol - 1; X >= IndicatorOffset() && Under(ColumnAt(X)); --X)
        if (ColWidths(X) > 0)
            Span.Left -= ColWidths(X) + VLine;
    for (int X = ACol + 1; X < ColCount() && Under(ColumnAt(X)); ++X)
        if (ColWidths(X) > 0)
            Span.Right += ColWidths(X) + VLine;
    for (int Y = ARow - 1; Y >= Title->Depth(); --Y)
        Span.Top -= RowHeights(Y) + HLine;
    if (Title == Own)
        for (int Y = ARow + 1; Y < Titles; ++Y)
            Span.Bottom += RowHeights(Y) + HLine;
    return Title;
}

bool TCustomDBGrid::ExpandButtonRect(TColumn* Column, const TRect& Span, TRect& Button) {
    const int Width = GetSystemMetrics(SM_CXHSCROLL);
    if (!Column->Expandable() || Span.Width() <= Width)
        return false;
    Button = Span;
    if (UseRightToLeftAlignment())
        Button.Right = Span.Left + Width;
    else
        Button.Left = Span.Right - Width;
    return true;
}

void TCustomDBGrid::DrawExpandButton(TColumn* Column, TRect& Span) {
    TRect Button;
    if (!ExpandButtonRect(Column, Span, Button))
        return;
    // Collapsed points the way the children would open.
    const bool Right = Column->Expanded() == UseRightToLeftAlignment();
    RECT R{Button.Left, Button.Top, Button.Right, Button.Bottom};
    DrawFrameControl(Canvas()->Handle(), &R, DFC_SCROLL, (Right ? DFCS_SCROLLRIGHT : DFCS_SCROLLLEFT) | DFCS_FLAT);
    if (UseRightToLeftAlignment())
        Span.Left = Button.Right;
    else
        Span.Right = Button.Left;
}

// ---------------------------------------------------------------------------------------------
// Layout

bool TCustomDBGrid::AcquireLayoutLock() {
    if (FUpdateLock == 0 && FLayoutLock == 0)
        ++FLayoutLock;
    else
        return false;
    return true;
}

void TCustomDBGrid::EndLayoutLock() { --FLayoutLock; }

void TCustomDBGrid::BeginLayout() { ++FLayoutLock; }

void TCustomDBGrid::EndLayout() {
    if (FLayoutLock > 0 && --FLayoutLock == 0)
        LayoutChanged();
}

void TCustomDBGrid::EndUpdate() {
    if (FUpdateLock > 0 && --FUpdateLock == 0)
        Invalidate();
}

void TCustomDBGrid::Loaded() {
    TCustomGrid::Loaded();
    LayoutChanged();
}

void TCustomDBGrid::LayoutChanged() {
    if (FInLayout || FLayoutLock > 0 || ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying))
        return;
    FInLayout = true;
    try {
        InternalLayout();
    } catch (...) {
        FInLayout = false;
        throw;
    }
    FInLayout = false;
}

void TCustomDBGrid::InternalLayout() {
    if (!FColumns)
        return;
    // Default columns follow the data set's fields; persistent ones only find their fields again.
    if (FColumns->State() == csDefault) {
        ++FLayoutLock;  // rebuilding columns must not come back here
        try {
            FColumns->RebuildColumns();
        } catch (...) {
            --FLayoutLock;
            throw;
        }
        --FLayoutLock;
    } else
        for (int I = 0; I < FColumns->Count(); ++I)
            FColumns->Items(I)->FField = nullptr;
    int Indicator = IndicatorOffset();
    int Titles = TitleOffset();
    SetDefaultRowHeight(FontTextHeight(Font()) + 3);
    SetColCount(std::max(FColumns->Count() + Indicator, Indicator + 1));
    SetFixedCols(Indicator);
    UpdateRowCount();
    SetFixedRows(Titles);
    for (int R = 0; R < Titles; ++R)
        SetRowHeights(R, FontTextHeight(FTitleFont) + 4);
    if (Indicator > 0)
        SetColWidths(0, IndicatorWidth);
    SetColumnAttributes();
    // A column that expanded (or whose parent collapsed) has no grid column any more: the cursor
    // goes to the nearest one that shows, rightwards first.
    if (TColumn* Current = ColumnAt(FCurrent.X); Current && !Current->Showing()) {
        auto Shows = [this](int X) { TColumn* C = ColumnAt(X); return C && C->Showing(); };
        int X = FCurrent.X;
        while (X < ColCount() && !Shows(X))
            ++X;
        if (X == ColCount())
            for (X = FCurrent.X; X > Indicator && !Shows(X);)
                --X;
        FCurrent.X = X;
    }
    UpdateActive();
    Invalidate();
}

void TCustomDBGrid::SetColumnAttributes() {
    int Indicator = IndicatorOffset();
    for (int I = 0; I < FColumns->Count(); ++I) {
        TColumn* C = FColumns->Items(I);
        if (I + Indicator >= ColCount())
            break;
        SetColWidths(I + Indicator, C->Showing() ? C->Width() : -1);
        SetTabStops(I + Indicator, C->Showing() && !C->ReadOnly());
    }
    if (FColumns->Count() == 0 && Indicator + 1 <= ColCount() - 1)
        SetColWidths(Indicator, DefaultColWidth());
}

void TCustomDBGrid::UpdateRowCount() {
    // As many data rows as fit, at least one; the data link keeps that many records.
    int Titles = TitleOffset();
    int Line = FOptions.Contains(dgRowLines) ? GridLineWidth() : 0;
    int TitleHeight = 0;
    for (int R = 0; R < Titles; ++R)
        TitleHeight += (R < RowCount() ? RowHeights(R) : DefaultRowHeight()) + Line;
    int Fit = std::max(1, (ClientHeight() - TitleHeight) / (DefaultRowHeight() + Line));
    if (FDataLink->Active()) {
        FDataLink->SetBufferCount(Fit);
        SetRowCount(Titles + std::max(FDataLink->RecordCount(), 1));
    } else
        SetRowCount(Titles + 1);
}

void TCustomDBGrid::UpdateActive() {
    int Titles = TitleOffset();
    int NewRow = Titles + (FDataLink->Active() ? FDataLink->ActiveRecord() : 0);
    NewRow = std::clamp(NewRow, Titles, std::max(RowCount() - 1, Titles));
    if (FCurrent.Y != NewRow) {
        InvalidateRow(FCurrent.Y);
        FCurrent.Y = NewRow;
        InvalidateRow(NewRow);
    }
    FAnchor = FCurrent;
    FTopLeft.Y = Titles;
    if (FCurrent.X < IndicatorOffset())
        FCurrent.X = IndicatorOffset();
    UpdateScrollPos();
    UpdateEdit();
}

void TCustomDBGrid::Resize() {
    TCustomGrid::Resize();
    if (FColumns)
        UpdateRowCount();
    UpdateActive();
}

// ---------------------------------------------------------------------------------------------
// Data link notifications

void TCustomDBGrid::LinkActive(bool Value) {
    if (!Value)
        HideEditor();
    FBookmarks.Clear();
    LayoutChanged();
    UpdateScrollRange();
}

void TCustomDBGrid::DataChanged() {
    if (!HandleAllocated() && ComponentState().Contains(csLoading))
        return;
    UpdateRowCount();
    ScrollBarsChanged();
    UpdateActive();
    if (FEditorMode && FInplaceEdit && !FInplaceEdit->Modified())
        FInplaceEdit->SetEditText(GetEditText(Col(), Row()));
    Invalidate();
}

void TCustomDBGrid::Scroll(int Distance) {
    (void)Distance;
    // Rows under the title and indicator moved: repaint them with the new current row.
    HideEditor();
    UpdateActive();
    Invalidate();
    if (FOptions.Contains(dgAlwaysShowEditor) || FEditorMode)
        ShowEditor();
}

void TCustomDBGrid::RecordChanged(TField* Field) {
    if (!HandleAllocated())
        return;
    InvalidateRow(Row());
    if (FEditorMode && FInplaceEdit && (!Field || Field == SelectedField()) && !FInplaceEdit->Modified())
        FInplaceEdit->SetEditText(GetEditText(Col(), Row()));
}

void TCustomDBGrid::EditingChanged() {
    if (FOptions.Contains(dgIndicator))
        InvalidateCell(0, Row());
}

void TCustomDBGrid::UpdateData() {
    // The record is being written (posted, or left): what the editor holds goes into the field.
    if (FInplaceEdit && FInplaceEdit->Visible() && FInplaceEdit->Modified()) {
        FInplaceEdit->SetModified(false);
        FEditText = FInplaceEdit->EditText();
        FEditModified = true;
    }
    if (!FEditModified)
        return;
    FEditModified = false;
    TField* F = SelectedField();
    if (F)
        F->SetText(FEditText);
}

// ---------------------------------------------------------------------------------------------
// Scroll bar: the data set's position

void TCustomDBGrid::UpdateScrollRange() {
    if (!HandleAllocated())
        return;
    // Vertical: the record number when the data set numbers its records, else five positions
    // (first, before the middle, middle, after it, last).
    int Min = 0, Max = 0, Page = 0, Pos = 0;
    TDataSet* DS = FDataLink->DataSet();
    if (FDataLink->Active() && DS && !DS->IsEmpty()) {
        if (DS->IsSequenced() && DS->RecordCount() > 0) {
            Min = 1;
            Max = DS->RecordCount();
            Page = 1;
            Pos = std::max(DS->RecNo(), 1);
        } else {
            Max = 4;
            Page = 1;
            Pos = DS->Bof() ? 0 : (DS->Eof() ? 4 : 2);
        }
    }
    if (ScrollBars() == ssVertical || ScrollBars() == ssBoth)
        SetScrollBar(SB_VERT, Min, Max, Page, Pos);
    // Horizontal: the grid's own columns.
    if (ScrollBars() == ssHorizontal || ScrollBars() == ssBoth) {
        TGridCoord Last = CalcMaxTopLeft();
        SetScrollBar(SB_HORZ, FixedCols(), ColCount() - 1, ColCount() - Last.X, LeftCol());
    }
}

void TCustomDBGrid::UpdateScrollPos() { ScrollBarsChanged(); }

void TCustomDBGrid::WMVScroll(TMessage& Message) {
    if (!FDataLink->Active())
        return;
    if (CanFocus() && !Focused())
        SetFocus();
    TDataSet* DS = FDataLink->DataSet();
    switch (LOWORD(Message.WParam)) {
    case SB_LINEUP: FDataLink->MoveBy(-FDataLink->ActiveRecord() - 1); break;
    case SB_LINEDOWN: FDataLink->MoveBy(FDataLink->RecordCount() - FDataLink->ActiveRecord()); break;
    case SB_PAGEUP: FDataLink->MoveBy(-VisibleRowCount()); break;
    case SB_PAGEDOWN: FDataLink->MoveBy(VisibleRowCount()); break;
    case SB_TOP: DS->First(); break;
    case SB_BOTTOM: DS->Last(); break;
    case SB_THUMBPOSITION:
        if (DS->IsSequenced()) {
            SCROLLINFO SI{sizeof(SI), SIF_TRACKPOS, 0, 0, 0, 0, 0};
            GetScrollInfo(Handle(), SB_VERT, &SI);
            if (SI.nTrackPos <= 1)
                DS->First();
            else if (SI.nTrackPos >= DS->RecordCount())
                DS->Last();
            else
                DS->SetRecNo(SI.nTrackPos);
        } else {
            switch (HIWORD(Message.WParam)) {
            case 0: DS->First(); break;
            case 1: FDataLink->MoveBy(-VisibleRowCount()); break;
            case 3: FDataLink->MoveBy(VisibleRowCount()); break;
            case 4: DS->Last(); break;
            default: break;
            }
        }
        break;
    default:
        break;
    }
    UpdateScrollRange();
}

// ---------------------------------------------------------------------------------------------
// Painting

void TCustomDBGrid::Paint() {
    if (FUpdateLock > 0)
        return;
    TCustomGrid::Paint();
}

void TCustomDBGrid::PrepareCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    if (ACol < IndicatorOffset())
        TCustomGrid::PrepareCell(ACol, ARow, ARect, AState);
}

void TCustomDBGrid::DrawIndicator(const TRect& R, bool Current) {
    if (!Current)
        return;
    TCanvas* C = Canvas();
    int CX = R.Left + R.Width() / 2, CY = R.Top + R.Height() / 2;
    C->Brush()->SetColor(clBlack);
    C->Pen()->SetColor(clBlack);
    TDataSetState State = FDataLink->DataSet()->State();
    if (State == dsInsert) {
        // An asterisk-like mark for a new record.
        C->MoveTo(CX - 3, CY);
        C->LineTo(CX + 4, CY);
        C->MoveTo(CX, CY - 3);
        C->LineTo(CX, CY + 4);
        C->MoveTo(CX - 2, CY - 2);
        C->LineTo(CX + 3, CY + 3);
        C->MoveTo(CX + 2, CY - 2);
        C->LineTo(CX - 3, CY + 3);
    } else if (State == dsEdit) {
        // A caret for a record being edited.
        C->MoveTo(CX - 1, CY - 4);
        C->LineTo(CX - 1, CY + 5);
        C->MoveTo(CX - 3, CY - 4);
        C->LineTo(CX + 2, CY - 4);
        C->MoveTo(CX - 3, CY + 4);
        C->LineTo(CX + 2, CY + 4);
    } else
        C->Polygon({Point(CX - 2, CY - 4), Point(CX + 2, CY), Point(CX - 2, CY + 4)});
}

void TCustomDBGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    TCanvas* C = Canvas();
    int Titles = TitleOffset(), Indicator = IndicatorOffset();
    bool Active = FDataLink->Active();
    if (ARow < Titles) {
        TRect Span;
        TColumn* Column = TitleColumn(ACol, ARow, Span);
        if (!Column) {
            C->Brush()->SetColor(FixedColor());
            C->FillRect(ARect);
            return;
        }
        TCanvasClip Clip(C, ARect);
        C->Font()->Assign(Column->Title()->Font());
        C->Brush()->SetColor(Column->Title()->Color());
        C->Brush()->SetStyle(bsSolid);
        C->FillRect(Span);
        DrawExpandButton(Column, Span);
        WriteText(C, Span, 2, 2, Column->Title()->Caption(), Column->Title()->Alignment());
        return;
    }
    int RecordRow = ARow - Titles;
    if (ACol < Indicator) {
        if (Active && RecordRow < FDataLink->RecordCount())
            DrawIndicator(ARect, RecordRow == FDataLink->ActiveRecord());
        return;
    }
    TColumn* Column = ColumnAt(ACol);
    if (!Active || !Column || RecordRow >= FDataLink->RecordCount()) {
        C->Brush()->SetColor(Color());
        C->FillRect(ARect);
        return;
    }
    int OldActive = FDataLink->ActiveRecord();
    FDataLink->SetActiveRecord(RecordRow);
    try {
        bool Highlight = HighlightCell(ACol, ARow, ARect);
        C->Font()->Assign(Column->Font());
        C->Brush()->SetStyle(bsSolid);
        if (Highlight) {
            C->Brush()->SetColor(clHighlight);
            C->Font()->SetColor(clHighlightText);
            AState.Include(gdSelected);
        } else {
            C->Brush()->SetColor(Column->Color());
            AState.Exclude(gdSelected);
        }
        // The editor covers its own cell.
        bool UnderEditor = FEditorMode && FInplaceEdit && FInplaceEdit->Visible() && ACol == Col() && ARow == Row();
        if (DefaultDrawing() && !UnderEditor)
            DefaultDrawColumnCell(ARect, ACol - Indicator, Column, AState);
        if (FColumns->State() == csDefault)
            DrawDataCell(ARect, Column->Field(), AState);
        DrawColumnCell(ARect, ACol - Indicator, Column, AState);
    } catch (...) {
        FDataLink->SetActiveRecord(OldActive);
        throw;
    }
    FDataLink->SetActiveRecord(OldActive);
}

void TCustomDBGrid::DefaultDrawColumnCell(const TRect& Rect, int DataCol, TColumn* Column, TGridDrawState State) {
    (void)DataCol, (void)State;
    TField* F = Column->Field();
    std::string Text = F ? F->DisplayText() : std::string();
    WriteText(Canvas(), Rect, 2, 2, Text, Column->Alignment());
}

void TCustomDBGrid::DefaultDrawDataCell(const TRect& Rect, TField* Field, TGridDrawState State) {
    (void)State;
    WriteText(Canvas(), Rect, 2, 2, Field ? Field->DisplayText() : std::string(), Field ? Field->Alignment() : taLeftJustify);
}

void TCustomDBGrid::DrawDataCell(const TRect& Rect, TField* Field, TGridDrawState State) {
    OnDrawDataCell(this, Rect, Field, State);
}

void TCustomDBGrid::DrawColumnCell(const TRect& Rect, int DataCol, TColumn* Column, TGridDrawState State) {
    OnDrawColumnCell(this, Rect, DataCol, Column, State);
}

bool TCustomDBGrid::HighlightCell(int ACol, int ARow, const TRect& ARect) {
    (void)ARect;
    if (!FDataLink->Active() || ARow < TitleOffset() || ACol < IndicatorOffset())
        return false;
    if (FOptions.Contains(dgMultiSelect) && FBookmarks.CurrentRowSelected())
        return true;
    bool Shown = Focused() || FOptions.Contains(dgAlwaysShowSelection) ||
                 (FInplaceEdit && FInplaceEdit->HandleAllocated() && GetFocus() == FInplaceEdit->Handle());
    if (!Shown || ARow - TitleOffset() != FDataLink->ActiveRecord())
        return false;
    return FOptions.Contains(dgRowSelect) || ACol == Col();
}

void TCustomDBGrid::TopLeftChanged() {
    TCustomGrid::TopLeftChanged();
    Invalidate();
}

void TCustomDBGrid::ColWidthsChanged() {
    TCustomGrid::ColWidthsChanged();
    if (FInLayout || !FColumns)
        return;
    // A column sized with the mouse keeps its width.
    int Indicator = IndicatorOffset();
    for (int I = 0; I < FColumns->Count() && I + Indicator < ColCount(); ++I) {
        TColumn* C = FColumns->Items(I);
        int W = ColWidths(I + Indicator);
        if (W >= 0 && C->Showing() && W != C->Width()) {
            FInLayout = true;
            C->FWidth = W;
            C->FWidthSet = true;
            FInLayout = false;
        }
    }
}

void TCustomDBGrid::ColumnMoved(int FromIndex, int ToIndex) {
    int Indicator = IndicatorOffset();
    if (FromIndex >= Indicator && ToIndex >= Indicator) {
        TColumn* Moved = FColumns->Items(FromIndex - Indicator);
        TField* Target = FColumns->Items(ToIndex - Indicator)->Field();
        // Default columns are rebuilt from the fields' order: the field moves, the columns follow.
        if (FColumns->State() == csDefault && Moved->Field() && Target)
            Moved->Field()->SetIndex(Target->Index());
        else
            Moved->SetIndex(ToIndex - Indicator);
    }
    // A title dragged elsewhere is no click on the title the pointer is released over.
    FPressed = TGridCoord{-1, -1};
    TCustomGrid::ColumnMoved(FromIndex, ToIndex);
}

// ---------------------------------------------------------------------------------------------
// Editing

bool TCustomDBGrid::FieldEditable(TColumn* Column) {
    if (!Column || Column->ReadOnly())
        return false;
    TField* F = Column->Field();
    return F && F->CanModify() && !F->IsBlob();
}

bool TCustomDBGrid::CanEditShow() {
    if (!FDataLink->Active() || FReadOnly || !FOptions.Contains(dgEditing) || Row() < TitleOffset())
        return false;
    return FieldEditable(ColumnAt(Col())) && TCustomGrid::CanEditShow();
}

bool TCustomDBGrid::CanEditModify() {
    if (FReadOnly || !FDataLink->Active() || !FieldEditable(ColumnAt(Col())))
        return false;
    return FDataLink->Edit();
}

bool TCustomDBGrid::CanEditAcceptKey(char Key) {
    (void)Key;
    return FDataLink->Active() && !FReadOnly && FieldEditable(ColumnAt(Col()));
}

bool TCustomDBGrid::CanGridAcceptKey(Word Key, TShiftState Shift) {
    (void)Shift;
    TDataSet* DS = FDataLink->DataSet();
    if (Key == VK_INSERT)
        return FDataLink->Active() && DS->CanModify() && !FReadOnly && FOptions.Contains(dgEditing);
    return FDataLink->Active();
}

std::string TCustomDBGrid::GetEditText(int ACol, int ARow) {
    (void)ARow;
    TColumn* C = ColumnAt(ACol);
    TField* F = C ? C->Field() : nullptr;
    return F && FDataLink->Active() ? F->Text() : std::string();
}

void TCustomDBGrid::SetEditText(int ACol, int ARow, const std::string& Value) {
    (void)ACol, (void)ARow;
    FEditText = Value;
    FEditModified = true;
    // The text goes into the field now; the record is posted when it is left.
    if (FDataLink->Editing())
        UpdateData();
}

int TCustomDBGrid::GetEditLimit() {
    TField* F = SelectedField();
    return F && F->Is<TStringField>() ? F->Size() : 0;
}

void TCustomDBGrid::InplaceEditChanged() {
    if (!CanEditModify()) {
        // Not editable after all (read-only data): put the field's text back.
        if (FInplaceEdit)
            FInplaceEdit->SetEditText(GetEditText(Col(), Row()));
        return;
    }
    FEditModified = true;
}

TInplaceEdit* TCustomDBGrid::CreateEditor() { return TCustomGrid::CreateEditor(); }

bool TCustomDBGrid::SelectCell(int ACol, int ARow) {
    (void)ARow;
    TColumn* C = ColumnAt(ACol);
    return !C || C->Showing();
}

// ---------------------------------------------------------------------------------------------
// Keys

void TCustomDBGrid::DeleteRecords() {
    TDataSet* DS = FDataLink->DataSet();
    if (FReadOnly || !DS->CanModify() || DS->IsEmpty())
        return;
    bool Several = FOptions.Contains(dgMultiSelect) && FBookmarks.Count() > 1;
    if (FOptions.Contains(dgConfirmDelete) &&
        MessageDlg(Several ? SDeleteMultipleRecordsQuestion : SDeleteRecordQuestion, mtConfirmation,
                   TMsgDlgButtons{mbOK, mbCancel}) != mrOk)
        return;
    if (FOptions.Contains(dgMultiSelect) && FBookmarks.Count() > 0)
        FBookmarks.Delete();
    else
        DS->Delete();
}

void TCustomDBGrid::KeyDown(Word& Key, TShiftState Shift) {
    // The event first; a key it clears goes no further.
    OnKeyDown(this, Key, Shift);
    if (Key == 0 || !FDataLink->Active() || !CanGridAcceptKey(Key, Shift))
        return;
    TDataSet* DS = FDataLink->DataSet();
    bool Ctrl = Shift.Contains(ssCtrl);
    bool Handled = true;
    auto ClearSelection = [&] {
        if (FOptions.Contains(dgMultiSelect) && !Shift.Contains(ssShift))
            FBookmarks.Clear();
    };
    switch (Key) {
    case VK_UP:
        ClearSelection();
        // An untouched new record at the end goes away instead.
        if (DS->State() == dsInsert && !DS->Modified() && !FEditModified && DS->Eof())
            DS->Cancel();
        else
            FDataLink->MoveBy(-1);
        if (FOptions.Contains(dgMultiSelect) && Shift.Contains(ssShift))
            FBookmarks.SetCurrentRowSelected(true);
        break;
    case VK_DOWN:
        ClearSelection();
        if (DS->State() == dsInsert && !DS->Modified() && !FEditModified) {
            if (!DS->Eof())
                DS->Cancel();
        } else {
            FDataLink->MoveBy(1);
            if (DS->Eof() && DS->CanModify() && !FReadOnly && FOptions.Contains(dgEditing))
                DS->Append();
        }
        if (FOptions.Contains(dgMultiSelect) && Shift.Contains(ssShift))
            FBookmarks.SetCurrentRowSelected(true);
        break;
    case VK_PRIOR:
        ClearSelection();
        FDataLink->MoveBy(-VisibleRowCount());
        break;
    case VK_NEXT:
        ClearSelection();
        FDataLink->MoveBy(VisibleRowCount());
        break;
    case VK_HOME:
        if (Ctrl || FOptions.Contains(dgRowSelect)) {
            ClearSelection();
            DS->First();
        } else
            Handled = false;
        break;
    case VK_END:
        if (Ctrl || FOptions.Contains(dgRowSelect)) {
            ClearSelection();
            DS->Last();
        } else
            Handled = false;
        break;
    case VK_INSERT:
        if (!Ctrl) {
            DS->Insert();
        } else
            Handled = false;
        break;
    case VK_DELETE:
        if (Ctrl)
            DeleteRecords();
        else
            Handled = false;
        break;
    case VK_ESCAPE:
        if (FEditorMode && FEditModified) {
            FEditModified = false;
            if (FInplaceEdit)
                FInplaceEdit->SetEditText(GetEditText(Col(), Row()));
        } else
            DS->Cancel();
        if (!FOptions.Contains(dgAlwaysShowEditor))
            SetEditorMode(false);
        break;
    default:
        Handled = false;
        break;
    }
    if (Handled) {
        Key = 0;
        return;
    }
    // Columns (left, right, home, end, tab, F2) are the grid's; the event ran already.
    TKeyEvent Saved = OnKeyDown;
    OnKeyDown = nullptr;
    try {
        TCustomGrid::KeyDown(Key, Shift);
    } catch (...) {
        OnKeyDown = Saved;
        throw;
    }
    OnKeyDown = Saved;
}

void TCustomDBGrid::DoExit() {
    if (FOptions.Contains(dgCancelOnExit) && FDataLink->Active()) {
        TDataSet* DS = FDataLink->DataSet();
        if (DS->State() == dsInsert && !DS->Modified() && !FEditModified)
            DS->Cancel();
    }
    TCustomGrid::DoExit();
}

// ---------------------------------------------------------------------------------------------
// Mouse

void TCustomDBGrid::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs) {
    TCustomGrid::CalcSizingState(X, Y, State, Index, SizingPos, SizingOfs);
    // The indicator column keeps its width.
    if (State == gsColSizing && Index < IndicatorOffset())
        State = gsNormal;
    if (State == gsRowSizing)
        State = gsNormal;
}

void TCustomDBGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (!FDataLink->Active()) {
        TCustomGrid::MouseDown(Button, Shift, X, Y);
        return;
    }
    if (CanFocus() && !Focused() && !(FInplaceEdit && FInplaceEdit->Focused()))
        SetFocus();
    // A double press is the double-click event alone (the control runs it).
    if (Shift.Contains(ssDouble) && Button == mbLeft)
        return;
    TGridCoord Cell = MouseCoord(X, Y);
    FPressed = Cell;
    TGridState Sizing;
    int Index, Pos, Ofs;
    CalcSizingState(X, Y, Sizing, Index, Pos, Ofs);
    if (Sizing == gsNormal && Button == mbLeft && Cell.Y >= 0 && Cell.Y < TitleOffset() && Cell.X >= 0) {
        TRect Span, ExpandButton;
        TColumn* Title = TitleColumn(Cell.X, Cell.Y, Span);
        if (Title && ExpandButtonRect(Title, Span, ExpandButton) && ExpandButton.Contains(TPoint{X, Y})) {
            FPressed = TGridCoord{-1, -1};
            Title->SetExpanded(!Title->Expanded());
            return;
        }
    }
    if (Sizing != gsNormal || Cell.Y < TitleOffset() || Cell.X < 0) {
        // Sizing, titles and space outside the cells are the grid's.
        TCustomGrid::MouseDown(Button, Shift, X, Y);
        return;
    }
    int Titles = TitleOffset();
    int Delta = Cell.Y - Titles - FDataLink->ActiveRecord();
    if (Delta != 0)
        FDataLink->MoveBy(Delta);
    if (Cell.X >= IndicatorOffset() && Cell.X != Col())
        MoveColRow(Cell.X, Row(), true, true);
    else if (Cell.X >= IndicatorOffset() && Delta == 0 && Button == mbLeft && FOptions.Contains(dgEditing))
        ShowEditor();
    if (Button == mbLeft && FOptions.Contains(dgMultiSelect)) {
        if (Shift.Contains(ssCtrl))
            FBookmarks.SetCurrentRowSelected(!FBookmarks.CurrentRowSelected());
        else {
            FBookmarks.Clear();
            FBookmarks.SetCurrentRowSelected(true);
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomDBGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGridState Was = GridState();
    TCustomGrid::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || Was == gsColSizing || !FDataLink->Active())
        return;
    TGridCoord Cell = MouseCoord(X, Y);
    if (!(Cell == FPressed) || Cell.X < IndicatorOffset())
        return;
    TColumn* Column = ColumnAt(Cell.X);
    if (!Column)
        return;
    if (Cell.Y < TitleOffset())
        TitleClick(Column);
    else
        CellClick(Column);
}

bool TCustomDBGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    // The events first; the data grid moves through the data set, not through its grid rows.
    if (TControl::DoMouseWheelDown(Shift, MousePos))
        return true;
    if (FDataLink->Active())
        FDataLink->MoveBy(1);
    return true;
}

bool TCustomDBGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    // The events first; the data grid moves through the data set, not through its grid rows.
    if (TControl::DoMouseWheelUp(Shift, MousePos))
        return true;
    if (FDataLink->Active())
        FDataLink->MoveBy(-1);
    return true;
}

void TCustomDBGrid::WMCancelMode(TMessage& Message) {
    FPressed = TGridCoord{-1, -1};
    InheritedDispatch(StaticClass(), Message);
}

void TCustomDBGrid::WMRButtonUp(TMessage& Message) {
    // A right-button release while columns are moved ends the move as the left one would.
    if (GridState() == gsColMoving)
        Perform(WM_LBUTTONUP, Message.WParam, Message.LParam);
    InheritedDispatch(StaticClass(), Message);
}

// ---------------------------------------------------------------------------------------------
// Unit start-up

void DBGridsInitialization() {
    RegisterClasses({TDrawGrid::StaticClass(), TDBGrid::StaticClass(), TColumn::StaticClass()});
}
