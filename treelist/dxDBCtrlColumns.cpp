// The data-aware column base, the mask column, summary texts and the default column classes.
#include "dxDBCtrl.h"

#include "Canvas.h"
#include "DateUtils.h"
#include "Mask.h"
#include "SysUtils.h"


// ---------------------------------------------------------------------------------------------
// The column base

TdxDBTreeListColumn::TdxDBTreeListColumn(TComponent* AOwner) : TdxTreeListColumn(AOwner) {}

TdxDBTreeListColumn::~TdxDBTreeListColumn() = default;

void TdxDBTreeListColumn::BeforeDestruction() {
    if (TCustomdxDBTreeListControl* T = GetTreeList(); T && !T->IsDestroying()) {
        if (FGroupIndex != -1)
            T->SetColumnGroupIndex(this, -1);
        T->ColumnRenamed(Name(), std::string());
    }
    TdxTreeListColumn::BeforeDestruction();
}

void TdxDBTreeListColumn::DefineClass(TClassBuilder<TdxDBTreeListColumn>& B) {
    B.Property("DisableGrouping", &TdxDBTreeListColumn::DisableGrouping, &TdxDBTreeListColumn::SetDisableGrouping)
        .Default(false);
    B.Property("FieldName", [](TdxDBTreeListColumn* C) { return C->FieldName(); },
               [](TdxDBTreeListColumn* C, const std::string& V) { C->SetFieldName(V); });
    B.Property("OnGetText", &TdxDBTreeListColumn::OnGetText, &TdxDBTreeListColumn::OnGetText);
    B.Property("SummaryFooterType", &TdxDBTreeListColumn::SummaryFooterType,
               &TdxDBTreeListColumn::SetSummaryFooterType)
        .Default(cstNone);
    B.Property("SummaryFooterField", [](TdxDBTreeListColumn* C) { return C->SummaryFooterField; },
               [](TdxDBTreeListColumn* C, const std::string& V) { C->SummaryFooterField = V; });
    B.Property("SummaryFooterFormat", [](TdxDBTreeListColumn* C) { return C->SummaryFooterFormat; },
               [](TdxDBTreeListColumn* C, const std::string& V) { C->SummaryFooterFormat = V; });
    B.Property("OnSummaryFooter", &TdxDBTreeListColumn::OnSummaryFooter, &TdxDBTreeListColumn::OnSummaryFooter);
    B.Property("OnCustomDraw", &TdxDBTreeListColumn::OnCustomDraw, &TdxDBTreeListColumn::OnCustomDraw);
    B.Property("OnCustomDrawHeader", &TdxDBTreeListColumn::OnCustomDrawHeader,
               &TdxDBTreeListColumn::OnCustomDrawHeader);
    B.Property("OnDrawSummaryFooter", &TdxDBTreeListColumn::OnDrawSummaryFooter,
               &TdxDBTreeListColumn::OnDrawSummaryFooter);
}

bool TdxDBTreeListColumn::IsCustomDrawCellAssigned() {
    return TdxTreeListColumn::IsCustomDrawCellAssigned() || OnCustomDraw.Assigned();
}

void TdxDBTreeListColumn::DoCustomDrawCell(TCanvas* Canvas, const TRect& Rect, TdxTreeListNode* Node, bool Selected,
                                           bool Focused, bool NewItemRow, std::string& Text, TColor& Color,
                                           TFont* Font, TAlignment& Alignment, bool& Done) {
    OnCustomDraw(this, Canvas, Rect, Node, this, Text, Font, Color, Selected, Focused, Done);
    if (!Done)
        TdxTreeListColumn::DoCustomDrawCell(Canvas, Rect, Node, Selected, Focused, NewItemRow, Text, Color, Font,
                                            Alignment, Done);
}

TCustomdxDBTreeListControl* TdxDBTreeListColumn::GetTreeList() const {
    return dynamic_cast<TCustomdxDBTreeListControl*>(TreeList());
}

bool TdxDBTreeListColumn::ControlLoading() const {
    TCustomdxDBTreeListControl* T = GetTreeList();
    return T && T->ComponentState().Contains(csLoading);
}

void TdxDBTreeListColumn::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TdxDBTreeListColumn*>(Source);
    if (!S) {
        TdxTreeListColumn::Assign(Source);
        return;
    }
    TCustomdxDBTreeListControl* T = GetTreeList();
    InTreeListUpdate(T, [&] {
        TdxTreeListColumn::Assign(Source);
        FDisableGrouping = S->FDisableGrouping;
        SetFieldName(S->FFieldName);
        SummaryGroupName = S->SummaryGroupName;
    });
}

void TdxDBTreeListColumn::SetFieldName(const std::string& Name) {
    TCustomdxDBTreeListControl* T = GetTreeList();
    const std::string Old = FFieldName;
    TdxDBTreeListDataLink* L = T ? T->GetDataLink() : nullptr;
    TDataSet* D = L ? L->DataSet() : nullptr;
    if (FGroupIndex != -1 && T && L->Active() && D && !ControlLoading()) {
        FField = D->FindField(Name);
        if (!FField)
            T->SetColumnGroupIndex(this, -1);
    }
    const bool CanBind = T && D && !ControlLoading() && !Name.empty() && (D->Active() || !D->DefaultFields());
    FFieldName = Name;
    FField = CanBind ? D->FindField(Name) : nullptr;
    if (T && T->LockCount() == 0)
        NotifyChange(false);
    if (T && !ControlLoading() && Name != Old)
        T->ColumnFieldChanged(this);
}

void TdxDBTreeListColumn::NotifyFieldChange(bool LayoutOnly) {
    TCustomdxDBTreeListControl* T = GetTreeList();
    if (T && !ControlLoading() && T->DataLinkActive())
        T->ColumnFieldChanged(LayoutOnly ? nullptr : this);
}

void TdxDBTreeListColumn::SetDisableGrouping(bool Value) {
    FDisableGrouping = Value;
    if (Value && FGroupIndex != -1 && GetTreeList())
        GetTreeList()->SetColumnGroupIndex(this, -1);
    else
        NotifyChange(true);
}

void TdxDBTreeListColumn::SetGroupIndex(int Value) {
    if (Value < -1)
        return;
    if (ControlLoading() || !GetTreeList())
        FGroupIndex = Value;
    else
        GetTreeList()->SetColumnGroupIndex(this, Value);
}

void TdxDBTreeListColumn::SetSummaryType(TdxSummaryType Value) {
    FSummaryType = Value;
    if (Value == cstNone)
        FSortBySummary = false;
    NotifyChange(false);
}

void TdxDBTreeListColumn::SetSummaryFooterType(TdxSummaryType Value) {
    FSummaryFooterType = Value;
    // The value computed was of the old kind.
    SummaryFooterValueValid = false;
    NotifyChange(false);
}

void TdxDBTreeListColumn::RestoreDefaults() {
    TdxTreeListColumn::RestoreDefaults();
    FDisableGrouping = false;
    SummaryGroupName.clear();
}

TAlignment TdxDBTreeListColumn::GetDefaultAlignment() { return FField ? FField->Alignment() : taLeftJustify; }

std::string TdxDBTreeListColumn::GetDefaultCaption() { return FField ? FField->DisplayName() : FFieldName; }

int TdxDBTreeListColumn::GetDefaultMaxLength() {
    return FField && (FField->DataType() == ftString || FField->DataType() == ftWideString) ? FField->Size() : 0;
}

bool TdxDBTreeListColumn::GetDefaultReadOnly() { return FField && FField->ReadOnly(); }

int TdxDBTreeListColumn::GetDefaultWidth() {
    TCustomdxDBTreeListControl* T = GetTreeList();
    if (!T)
        return 64;
    TWidthKey Key{Caption(), FField, FField ? FField->DisplayWidth() : 0, TFontKey::Of(T->HeaderFont()),
                  TFontKey::Of(T->Font())};
    if (FMeasuredWidth < 0 || !(Key == FMeasuredFrom)) {
        FMeasuredWidth = MeasureDefaultWidth(T, Key.Caption);
        FMeasuredFrom = std::move(Key);
    }
    return FMeasuredWidth;
}

int TdxDBTreeListColumn::MeasureDefaultWidth(TCustomdxDBTreeListControl* T, const std::string& C) {
    int Width = 64;
    HDC DC = GetDC(nullptr);
    TOwned<TCanvas> Canvas(Create<TCanvas>());
    Canvas->SetHandle(DC);
    try {
        Canvas->Font()->Assign(T->HeaderFont());
        if (!C.empty())
            Width = Canvas->TextWidth(C) + 6;
        if (FField) {
            Canvas->Font()->Assign(T->Font());
            TEXTMETRICA TM{};
            GetTextMetricsA(Canvas->Handle(), &TM);
            const int W = (Canvas->TextWidth("0") - TM.tmOverhang) * FField->DisplayWidth() + TM.tmOverhang + 4;
            Width = std::max(Width, W);
        }
    } catch (...) {
        Canvas->SetHandle(nullptr);
        ReleaseDC(nullptr, DC);
        throw;
    }
    Canvas->SetHandle(nullptr);
    ReleaseDC(nullptr, DC);
    return Width;
}

void TdxDBTreeListColumn::SetIndex(int Value) {
    TCustomdxDBTreeListControl* T = GetTreeList();
    if (T && FField && T->GetDefaultFields() && T->DataLinkActive()) {
        TdxDBTreeListDataLink* L = T->GetDataLink();
        TField* At = L->GetMappedField(std::min(Value, L->MapCount() - 1));
        if (At)
            FField->SetIndex(At->Index());
    }
    TdxTreeListColumn::SetIndex(Value);
}

void TdxDBTreeListColumn::GetCellText(TdxTreeListNode*, std::string& Text) {
    Text = FField ? FField->DisplayText() : std::string();
}

void TdxDBTreeListColumn::AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    if (!FField) {
        Value = std::string();
        return;
    }
    std::string Text;
    if (auto* E = dynamic_cast<TdxInplaceTextEdit*>(Editor))
        Text = E->Text();
    FField->SetEditText(Text);
    GetNodeValue(Node, Value);
}

void TdxDBTreeListColumn::InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    auto* E = dynamic_cast<TdxInplaceTextEdit*>(Editor);
    if (!FField || !E) {
        TdxTreeListColumn::InitEditValue(Node, Editor, Value);
        return;
    }
    E->SetText(FField->EditText());
    Value = E->Text();
}

namespace {
bool IsValueType(TFieldType T) {
    switch (T) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftBoolean:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftAutoInc:
    case ftTimeStamp:
    case ftFMTBcd: return true;
    default: return false;
    }
}
}  // namespace

void TdxDBTreeListColumn::AssignNodeData(TdxTreeListNode* Node) {
    TCustomdxDBTreeListControl* T = GetTreeList();
    if (!T)
        return;
    const int Index = GetDataIndex();
    std::string Text, Shown;
    GetCellText(Node, Text);
    VariantToText(Text, Shown);
    T->SetNodeString(Node, Index, Shown);
    TStringList* L = static_cast<TdxTreeListTextNode*>(Node)->Texts();
    auto* Data = dynamic_cast<TNodeVariantData*>(L->Objects(Index));
    if (!FField) {
        if (Data)
            *Data = TNodeVariantData();
        return;
    }
    bool KeepValue = IsValueType(FField->DataType());
    if (!KeepValue) {
        auto* S = dynamic_cast<TStringField*>(FField);
        KeepValue = FField->IsNull() || (S && (S->OnGetText || !S->EditMask().empty())) || StoreFieldValue();
    }
    if (!KeepValue && !FField->Lookup()) {
        // A plain text keeps only its text: no record for it.
        if (Data)
            Data->AssignedValues = 0, Data->Value = Unassigned(), Data->LookupValue = Unassigned();
        return;
    }
    if (!Data) {
        Data = Create<TNodeVariantData>();
        L->SetObjects(Index, Data);
    }
    Data->AssignedValues = 0;
    Data->Value = Unassigned();
    Data->LookupValue = Unassigned();
    if (KeepValue) {
        Data->Value = FField->AsVariant();
        Data->AssignedValues |= TNodeVariantData::avValue;
    }
    if (FField->Lookup() && FField->DataSet()) {
        Data->LookupValue = FField->DataSet()->FieldValues(FField->KeyFields());
        Data->AssignedValues |= TNodeVariantData::avLookupValue;
    }
}

TNodeVariantData TdxDBTreeListColumn::ReadNodeVariantData(TdxTreeListNode* Node) {
    TNodeVariantData R;
    const int Index = GetDataIndex();
    TStringList* L = Node ? static_cast<TdxTreeListTextNode*>(Node)->Texts() : nullptr;
    if (L && Index >= 0 && Index < L->Count())
        if (auto* D = dynamic_cast<TNodeVariantData*>(L->Objects(Index)))
            R = *D;
    return R;
}

void TdxDBTreeListColumn::GetNodeValue(TdxTreeListNode* Node, Variant& Value) {
    if (TCustomdxDBTreeListControl* T = GetTreeList())
        T->GetNodeValue(Node, GetDataIndex(), Value);
    else
        Value = Unassigned();
}

void TdxDBTreeListColumn::GetNodeValueText(TdxTreeListNode* Node, Variant& Value, std::string& Text) {
    GetNodeValue(Node, Value);
    std::string S;
    if (TCustomdxDBTreeListControl* T = GetTreeList())
        T->GetNodeString(Node, GetDataIndex(), S);
    GetFilterText(S, Text);
}

TdxInplaceEdit* TdxDBTreeListColumn::CreateFilterEditor(TComponent* Owner) {
    auto* E = static_cast<TdxInplaceEdit*>(GetFilterEditorClass().Create(Owner));
    InitFilterEditor(E);
    return E;
}

TdxInplaceEditClass TdxDBTreeListColumn::GetFilterEditorClass() { return TCustomdxFilterEdit::StaticClass(); }

void TdxDBTreeListColumn::GetFilterEditorValue(TdxInplaceEdit* Editor, Variant& Value, std::string& Text) {
    auto* E = dynamic_cast<TdxInplaceTextEdit*>(Editor);
    Text = E ? E->Text() : std::string();
    Value = Text;
}

void TdxDBTreeListColumn::SetFilterEditorValue(TdxInplaceEdit* Editor, const Variant& Value) {
    if (auto* E = dynamic_cast<TdxInplaceTextEdit*>(Editor))
        E->SetText(Value.IsNull() ? std::string() : VarToStr(Value));
}

void TdxDBTreeListColumn::InitFilterEditor(TdxInplaceEdit* Editor) {
    InitEditProperties(Editor);
    Editor->SetReadOnly(false);
    if (auto* E = dynamic_cast<TdxInplaceTextEdit*>(Editor)) {
        E->OnChange = TNotifyEvent();
        E->OnValidate = decltype(E->OnValidate)();
    }
}

TVarType TdxDBTreeListColumn::GetFilterVarType() {
    if (!FField)
        return 13;  // varUnknown
    switch (FField->DataType()) {
    case ftSmallint: return varSmallint;
    case ftInteger:
    case ftWord:
    case ftAutoInc: return varInteger;
    case ftFloat:
    case ftFMTBcd: return varDouble;
    case ftCurrency:
    case ftBCD: return varCurrency;
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftTimeStamp: return varDate;
    default: return varString;
    }
}

bool TdxDBTreeListColumn::FieldValueEquals(const Variant& Value) {
    if (!FField || Value.IsEmpty())
        return false;
    try {
        if (!VarIsStr(Value) || CompareAsValue())
            return FField->AsVariant() == Value;
        return Variant(FField->EditText()) == Value;
    } catch (const EVariantError&) {
        return false;
    }
}

namespace {
// The characters a field takes in its edit text: numbers take digits and signs (and, with a
// fraction, the decimal separator and an exponent); other fields any character.
bool FieldAcceptsChar(TField* F, char Key) {
    if (!dynamic_cast<TNumericField*>(F))
        return true;
    if ((Key >= '0' && Key <= '9') || Key == '+' || Key == '-')
        return true;
    const bool Fraction = dynamic_cast<TFloatField*>(F) || dynamic_cast<TBCDField*>(F);
    return Fraction && (Key == FormatSettings.DecimalSeparator || Key == 'E' || Key == 'e');
}
}  // namespace

bool TdxDBTreeListColumn::IsValidChar(char Key) {
    TCustomdxDBTreeListControl* T = GetTreeList();
    if (!T || !T->DataLinkActive() || !FField)
        return false;
    return FieldAcceptsChar(FField, Key);
}

void TdxDBTreeListColumn::GetSummaryFooterText(std::string& Text) {
    Text.clear();
    if (FSummaryFooterType == cstNone)
        return;
    TFieldType DateKind = ftUnknown;
    if (FSummaryFooterType != cstCount && SummaryFooterFieldObject) {
        const TFieldType D = SummaryFooterFieldObject->DataType();
        if (D == ftDate || D == ftTime || D == ftDateTime)
            DateKind = D;
    }
    Text = FormatSummaryText(FSummaryFooterType, SummaryFooterFormat, DateKind, 1, SummaryFooterValue);
}

// ---------------------------------------------------------------------------------------------
// The mask column

void TdxDBTreeListMaskColumn::DefineClass(TClassBuilder<TdxDBTreeListMaskColumn>& B) {
    B.Property("EditMask", &TdxDBTreeListMaskColumn::EditMask, &TdxDBTreeListMaskColumn::SetEditMask)
        .Stored(&TdxDBTreeListMaskColumn::IsEditMaskStored);
    B.Property("IgnoreMaskBlank", [](TdxDBTreeListMaskColumn* C) { return C->IgnoreMaskBlank; },
               [](TdxDBTreeListMaskColumn* C, bool V) { C->IgnoreMaskBlank = V; })
        .Default(false);
}

std::string TdxDBTreeListMaskColumn::EditMask() const {
    if (FEditMaskAssigned)
        return FEditMask;
    return Field() ? Field()->EditMask() : std::string();
}

void TdxDBTreeListMaskColumn::SetEditMask(const std::string& Value) {
    if (Value == EditMask())
        return;
    FEditMask = Value;
    FEditMaskAssigned = true;
}

bool TdxDBTreeListMaskColumn::IsEditMaskStored() const {
    return FEditMaskAssigned && (!Field() || FEditMask != Field()->EditMask());
}

void TdxDBTreeListMaskColumn::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TdxDBTreeListMaskColumn*>(Source);
    TCustomdxDBTreeListControl* T = GetTreeList();
    InTreeListUpdate(T, [&] {
        TdxDBTreeListColumn::Assign(Source);
        if (S) {
            SetEditMask(S->EditMask());
            IgnoreMaskBlank = S->IgnoreMaskBlank;
        }
    });
}

void TdxDBTreeListMaskColumn::RestoreDefaults() {
    TdxDBTreeListColumn::RestoreDefaults();
    FEditMaskAssigned = false;
    FEditMask = Field() ? Field()->EditMask() : std::string();
    IgnoreMaskBlank = false;
}

void TdxDBTreeListMaskColumn::InitEditProperties(TdxInplaceEdit* Editor) {
    TdxDBTreeListColumn::InitEditProperties(Editor);
    if (auto* E = dynamic_cast<TdxInplaceMaskEdit*>(Editor)) {
        E->SetEditMask(EditMask());
        E->IgnoreMaskBlank = IgnoreMaskBlank;
    }
}

void TdxDBTreeListMaskColumn::AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    auto* E = dynamic_cast<TdxInplaceMaskEdit*>(Editor);
    if (!Field() || !E) {
        TdxDBTreeListColumn::AssignEditValue(Node, Editor, Value);
        return;
    }
    Field()->SetEditText(E->Text());
    Value = Field()->AsVariant();
}

void TdxDBTreeListMaskColumn::InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    auto* E = dynamic_cast<TdxInplaceMaskEdit*>(Editor);
    if (!Field() || !E) {
        TdxDBTreeListColumn::InitEditValue(Node, Editor, Value);
        return;
    }
    E->SetText(Field()->EditText());
    Value = E->Text();
}

bool TdxDBTreeListMaskColumn::FieldValueEquals(const Variant& Value) {
    if (!Field() || Value.IsEmpty())
        return TdxDBTreeListColumn::FieldValueEquals(Value);
    try {
        if (!VarIsStr(Value) || CompareAsValue())
            return Field()->AsVariant() == Value;
        const std::string Mask = EditMask();
        const std::string Empty = Mask.empty() ? std::string() : FormatMaskText(Mask, std::string());
        const std::string S = VarToStr(Value);
        if (S == Empty && Field()->EditText().empty())
            return true;
        return Field()->EditText() == TrimRight(S);
    } catch (const EVariantError&) {
        return false;
    }
}

// ---------------------------------------------------------------------------------------------
// Summary texts

namespace {
const char* const GroupFormats[] = {"", "(SUM=0.00);(SUM=-0.00)", "(MIN=0.00);(MIN=-0.00)", "(MAX=0.00);(MAX=-0.00)",
                                    "(COUNT=0)", "(AVG=0.00);(AVG=-0.00)"};
const char* const FooterFormats[] = {"", "0.00;-0.00", "MIN=0.00;MIN=-0.00", "MAX=0.00;MAX=-0.00", "0",
                                     "AVG=0.00;AVG=-0.00"};
const char* const GroupPrefixes[] = {"", "(SUM=", "(MIN=", "(MAX=", "(COUNT=0)", "(AVG="};
const char* const FooterPrefixes[] = {"", "", "MIN=", "MAX=", "0", "AVG="};
}  // namespace

std::string FormatSummaryText(TdxSummaryType SummaryType, const std::string& Format, TFieldType DateKind, int Kind,
                              double Value) {
    const int T = static_cast<int>(SummaryType);
    if (SummaryType == cstNone || T < 0 || T > 5)
        return std::string();
    if (SummaryType == cstCount || DateKind == ftUnknown)
        return FormatFloat(Format.empty() ? (Kind == 0 ? GroupFormats[T] : FooterFormats[T]) : Format, Value);
    std::string Prefix = Format, Suffix;
    if (Format.empty()) {
        Prefix = Kind == 0 ? GroupPrefixes[T] : FooterPrefixes[T];
        Suffix = Kind == 0 ? ")" : "";
    }
    const std::string Shown =
        DateKind == ftDate ? DateToStr(Value) : DateKind == ftTime ? TimeToStr(Value) : DateTimeToStr(Value);
    return Prefix + Shown + Suffix;
}

// ---------------------------------------------------------------------------------------------
// Default column classes

void TdxDefaultColumnTable::Reset() {
    for (int I = 0; I < TypeEntries; ++I)
        FTypes[I] = {I == 0 ? TdxTreeListColumnClass() : TdxTreeListColumnClass(FBase()), 0};
    FLookup = {TdxTreeListColumnClass(FBase()), 0};
    FReady = true;
}

void TdxDefaultColumnTable::Register(TdxProposeColumnClass Callback) {
    if (!FReady)
        Reset();
    for (int I = 0; I < TypeEntries; ++I) {
        TdxColumnClassEntry Copy = FTypes[I];
        Callback(static_cast<TFieldType>(I), fkData, Copy);
        if (Copy.Priority > FTypes[I].Priority)
            FTypes[I] = Copy;
    }
    TdxColumnClassEntry Copy = FLookup;
    Callback(ftUnknown, fkLookup, Copy);
    if (Copy.Priority > FLookup.Priority)
        FLookup = Copy;
}

TdxColumnClassEntry TdxDefaultColumnTable::For(TFieldType FieldType, TFieldKind FieldKind) {
    if (!FReady)
        Reset();
    if (FieldKind == fkLookup)
        return FLookup;
    const int T = static_cast<int>(FieldType);
    return T >= 0 && T < TypeEntries ? FTypes[T] : TdxColumnClassEntry{};
}

TdxDefaultColumnTable& DefaultColumnClasses() {
    static TdxDefaultColumnTable Table(&TdxDBTreeListColumn::StaticClass);
    return Table;
}

void RegisterDefaultColumnClasses(TdxProposeColumnClass Callback) { DefaultColumnClasses().Register(Callback); }

void ResetDefaultColumnClasses() { DefaultColumnClasses().Reset(); }
