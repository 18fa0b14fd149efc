// The column kinds without a drop-down button (memo, hyperlink, spin, time, currency, wrapper),
// the check and image kinds, and the unit's start-up.
#include "dxDBTLCl.h"

#include "Forms.h"
#include "SysUtils.h"
#include "dxGrDate.h"

#include <cmath>

namespace {
std::string HtmlEscape(const std::string& S) {
    std::string R;
    for (char C : S) {
        switch (C) {
        case '&': R += "&amp;"; break;
        case '<': R += "&lt;"; break;
        case '>': R += "&gt;"; break;
        case '"': R += "&quot;"; break;
        default: R += C;
        }
    }
    return R;
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Memo

TdxDBTreeListMemoColumn::TdxDBTreeListMemoColumn(TComponent* AOwner) : TdxDBTreeListColumn(AOwner) {
    HeaderMaxLineCount = 0;
    DisableFilter = true;
}

void TdxDBTreeListMemoColumn::DefineClass(TClassBuilder<TdxDBTreeListMemoColumn>& B) {
    using C = TdxDBTreeListMemoColumn;
    B.Property("HideScrollBars", &C::HideScrollBars, &C::HideScrollBars).Default(true);
    B.Property("MaxDisplayLength", &C::MaxDisplayLength, &C::MaxDisplayLength).Default(255);
    B.Property("ScrollBars", &C::ScrollBars, &C::ScrollBars).Default(ssNone);
    B.Property("SelectionBar", [](C* X) { return X->SelectionBar; },
               [](C* X, bool V) { X->SelectionBar = V; X->NotifyChange(true); })
        .Default(false);
    B.Property("WantReturns", &C::WantReturns, &C::WantReturns).Default(true);
    B.Property("WantTabs", &C::WantTabs, &C::WantTabs).Default(false);
    B.Property("WordWrap", &C::WordWrap, &C::WordWrap).Default(true);
}

void TdxDBTreeListMemoColumn::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TdxDBTreeListMemoColumn*>(Source);
    if (!S) {
        TdxDBTreeListColumn::Assign(Source);
        return;
    }
    InTreeListUpdate(TreeList(), [&] {
        TdxDBTreeListColumn::Assign(Source);
        MaxDisplayLength = S->MaxDisplayLength;
        ScrollBars = S->ScrollBars;
        WordWrap = S->WordWrap;
    });
}

void TdxDBTreeListMemoColumn::RestoreDefaults() {
    TdxDBTreeListColumn::RestoreDefaults();
    DisableFilter = true;
    MaxDisplayLength = 255;
    ScrollBars = ssNone;
    WordWrap = true;
    HeaderMaxLineCount = 0;
}

void TdxDBTreeListMemoColumn::GetCellText(TdxTreeListNode*, std::string& Text) {
    Text = Field() ? Field()->AsString() : std::string();
    if (MaxDisplayLength >= 0 && static_cast<int>(Text.size()) > MaxDisplayLength)
        Text.resize(static_cast<std::size_t>(MaxDisplayLength));
}

void TdxDBTreeListMemoColumn::PrepareViewData(TdxEditViewData* ViewData, const TdxTreeListCellViewData& Cell) {
    TdxDBTreeListColumn::PrepareViewData(ViewData, Cell);
    if (auto* T = DynCast<TdxTextEditViewData>(ViewData))
        T->SelectionBar = SelectionBar;
}

void TdxDBTreeListMemoColumn::InitEditProperties(TdxInplaceEdit* Editor) {
    TdxDBTreeListColumn::InitEditProperties(Editor);
    if (auto* E = dynamic_cast<TdxInplaceMemoEdit*>(Editor)) {
        E->SetHideScrollBars(HideScrollBars);
        E->SetScrollBars(ScrollBars);
        E->SetSelectionBar(SelectionBar);
        E->WantReturns = WantReturns;
        E->WantTabs = WantTabs;
        E->SetWordWrap(WordWrap);
    }
}

void TdxDBTreeListMemoColumn::InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    auto* E = dynamic_cast<TdxInplaceMemoEdit*>(Editor);
    if (!Field() || !E) {
        TdxDBTreeListColumn::InitEditValue(Node, Editor, Value);
        return;
    }
    E->SetText(Field()->AsString());
    Value = E->Text();
}

void TdxDBTreeListMemoColumn::AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    auto* E = dynamic_cast<TdxInplaceMemoEdit*>(Editor);
    if (!Field() || !E) {
        TdxDBTreeListColumn::AssignEditValue(Node, Editor, Value);
        return;
    }
    Field()->SetAsString(E->Text());
    GetNodeValue(Node, Value);
}

bool TdxDBTreeListMemoColumn::FieldValueEquals(const Variant& Value) {
    return Field() ? VarEqualsSafe(Variant(Field()->AsString()), Value) : TdxDBTreeListColumn::FieldValueEquals(Value);
}

// ---------------------------------------------------------------------------------------------
// Hyperlink

TdxDBTreeListHyperLinkColumn::TdxDBTreeListHyperLinkColumn(TComponent* AOwner)
    : TdxDBTreeListColumn(AOwner), FLinkFont(Create<TFont>()) {
    UpdateLinkFont();
}

TdxDBTreeListHyperLinkColumn::~TdxDBTreeListHyperLinkColumn() { FLinkFont->Free(); }

void TdxDBTreeListHyperLinkColumn::DefineClass(TClassBuilder<TdxDBTreeListHyperLinkColumn>& B) {
    using C = TdxDBTreeListHyperLinkColumn;
    B.Property("EditBackgroundColor", &C::EditBackgroundColor, &C::SetEditBackgroundColor).Default(clWhite);
    B.Property("EditFontColor", &C::EditFontColor, &C::SetEditFontColor).Default(clBlue);
    B.Property("SingleClick", &C::SingleClick, &C::SetSingleClick).Default(false);
    B.Property("StartKey", &C::StartKey, &C::StartKey).Default(Word{16397});
    B.Property("OnStartClick", &C::OnStartClick, &C::OnStartClick);
}

void TdxDBTreeListHyperLinkColumn::UpdateLinkFont() {
    if (TCustomdxTreeListControl* T = TreeList())
        FLinkFont->Assign(T->Font());
    TFontStyles Style = FLinkFont->Style();
    Style.Include(fsUnderline);
    FLinkFont->SetStyle(Style);
    FLinkFont->SetColor(FSingleClick ? FEditFontColor : clDefault);
}

void TdxDBTreeListHyperLinkColumn::SetEditBackgroundColor(TColor Value) {
    FEditBackgroundColor = Value;
    UpdateLinkFont();
    NotifyChange(false);
}

void TdxDBTreeListHyperLinkColumn::SetEditFontColor(TColor Value) {
    FEditFontColor = Value;
    UpdateLinkFont();
    NotifyChange(false);
}

void TdxDBTreeListHyperLinkColumn::SetSingleClick(bool Value) {
    FSingleClick = Value;
    UpdateLinkFont();
    NotifyChange(false);
}

void TdxDBTreeListHyperLinkColumn::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TdxDBTreeListHyperLinkColumn*>(Source);
    if (!S) {
        TdxDBTreeListColumn::Assign(Source);
        return;
    }
    InTreeListUpdate(TreeList(), [&] {
        TdxDBTreeListColumn::Assign(Source);
        SetEditBackgroundColor(S->FEditBackgroundColor);
        SetEditFontColor(S->FEditFontColor);
        SetSingleClick(S->FSingleClick);
        StartKey = S->StartKey;
    });
}

void TdxDBTreeListHyperLinkColumn::RestoreDefaults() {
    TdxDBTreeListColumn::RestoreDefaults();
    FEditBackgroundColor = clWhite;
    FEditFontColor = clBlue;
    FSingleClick = false;
    StartKey = 16397;
    UpdateLinkFont();
}

void TdxDBTreeListHyperLinkColumn::GetHotCursor(TdxTreeListNode* Node, TCursor& Cursor) {
    std::string S;
    if (FSingleClick && Node && TreeList()) {
        TreeList()->GetNodeString(Node, GetDataIndex(), S);
        if (!S.empty())
            Cursor = -1140;
    }
}

void TdxDBTreeListHyperLinkColumn::PrepareViewData(TdxEditViewData* ViewData, const TdxTreeListCellViewData& Cell) {
    TdxDBTreeListColumn::PrepareViewData(ViewData, Cell);
    if (!DynCast<TdxHyperLinkEditViewData>(ViewData))
        return;
    if (!Cell.Selected && FLinkFont->Color() != clDefault)
        ViewData->TextColor = static_cast<COLORREF>(ColorToRGB(FLinkFont->Color()));
    ViewData->Font = FLinkFont->Handle();
}

bool TdxDBTreeListHyperLinkColumn::GetExportValue(Variant& Value, bool Html) {
    if (!Html)
        return false;
    // The value is text of the record: it must not end the attribute or start markup.
    const std::string S = HtmlEscape(Value.IsNull() ? std::string() : VarToStr(Value));
    Value = "<a href=\"" + S + "\">" + S + "</a>";
    return true;
}

void TdxDBTreeListHyperLinkColumn::InitEditProperties(TdxInplaceEdit* Editor) {
    TdxDBTreeListColumn::InitEditProperties(Editor);
    if (auto* E = dynamic_cast<TdxInplaceHyperLinkEdit*>(Editor)) {
        E->SetColor(FEditBackgroundColor);
        E->SetEditFontColor(FEditFontColor);
        E->SingleClick = FSingleClick;
        E->StartKey = StartKey;
        E->OnStartClick =
            OnStartClick ? TNotifyEvent::FromFunction([this](TObject*) { OnStartClick(this); }) : TNotifyEvent();
    }
}

// ---------------------------------------------------------------------------------------------
// Spin

double FieldMinValue(TField* F) {
    if (auto* I = dynamic_cast<TIntegerField*>(F))
        return I->MinValue();
    if (auto* D = dynamic_cast<TFloatField*>(F))
        return StrToFloat(FloatToStrF(D->MinValue(), ffGeneral, D->Precision(), D->Precision()));
    return 0;
}

double FieldMaxValue(TField* F) {
    if (auto* I = dynamic_cast<TIntegerField*>(F))
        return I->MaxValue();
    if (auto* D = dynamic_cast<TFloatField*>(F))
        return StrToFloat(FloatToStrF(D->MaxValue(), ffGeneral, D->Precision(), D->Precision()));
    return 0;
}

namespace {
void SetRangeBound(TdxColumnRange& R, int Bit, double& Stored, double Value, double Current) {
    if (!(R.AssignedValues & Bit) || Value != Current) {
        Stored = Value;
        R.AssignedValues |= Bit;
    }
}
}  // namespace

void TdxDBTreeListSpinColumn::SetMinValue(double Value) { SetRangeBound(FRange, 1, FRange.Min, Value, MinValue()); }
void TdxDBTreeListSpinColumn::SetMaxValue(double Value) { SetRangeBound(FRange, 2, FRange.Max, Value, MaxValue()); }

void TdxDBTreeListSpinColumn::DefineClass(TClassBuilder<TdxDBTreeListSpinColumn>& B) {
    using C = TdxDBTreeListSpinColumn;
    B.Property("EditorEnabled", &C::EditorEnabled, &C::EditorEnabled).Default(true);
    B.Property("Increment", &C::Increment, &C::Increment).Stored(&C::IsIncrementStored);
    B.Property("MinValue", &C::MinValue, &C::SetMinValue).Stored(&C::IsMinValueStored);
    B.Property("MaxValue", &C::MaxValue, &C::SetMaxValue).Stored(&C::IsMaxValueStored);
    B.Property("ShowButtonStyle", &C::ShowButtonStyle, &C::SetShowButtonStyle).Default(sbDefault);
    B.Property("UseCtrlIncrement", &C::UseCtrlIncrement, &C::UseCtrlIncrement).Default(false);
}

void TdxDBTreeListSpinColumn::SetShowButtonStyle(TdxShowButtonStyle Value) {
    FShowButtonStyle = Value;
    NotifyChange(false);
}

void TdxDBTreeListSpinColumn::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TdxDBTreeListSpinColumn*>(Source);
    if (!S) {
        TdxDBTreeListColumn::Assign(Source);
        return;
    }
    InTreeListUpdate(TreeList(), [&] {
        TdxDBTreeListColumn::Assign(Source);
        EditorEnabled = S->EditorEnabled;
        Increment = S->Increment;
        SetMinValue(S->MinValue());
        SetMaxValue(S->MaxValue());
        SetShowButtonStyle(S->FShowButtonStyle);
        UseCtrlIncrement = S->UseCtrlIncrement;
    });
}

void TdxDBTreeListSpinColumn::RestoreDefaults() {
    TdxDBTreeListColumn::RestoreDefaults();
    EditorEnabled = true;
    Increment = 1.0;
    FRange.Min = FRange.Max = 0;
    FShowButtonStyle = sbDefault;
    UseCtrlIncrement = false;
}

bool TdxDBTreeListSpinColumn::IsFloatField() const {
    return dynamic_cast<TFloatField*>(Field()) || dynamic_cast<TBCDField*>(Field());
}

void TdxDBTreeListSpinColumn::InitEditProperties(TdxInplaceEdit* Editor) {
    TdxDBTreeListColumn::InitEditProperties(Editor);
    if (auto* E = dynamic_cast<TdxInplaceSpinEdit*>(Editor)) {
        E->EditorEnabled = EditorEnabled;
        E->Increment = Increment;
        E->SetMinMaxStored(MinValue(), MaxValue());
        E->UseCtrlIncrement = UseCtrlIncrement;
        E->SetNumberKindStored(IsFloatField() ? 1 : 0);
    }
}

void TdxDBTreeListSpinColumn::InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    auto* E = dynamic_cast<TdxInplaceSpinEdit*>(Editor);
    if (!Field() || !E) {
        TdxDBTreeListColumn::InitEditValue(Node, Editor, Value);
        return;
    }
    E->SetValue(Field()->AsFloat());
    Value = E->GetValue();
}

void TdxDBTreeListSpinColumn::AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    auto* E = dynamic_cast<TdxInplaceSpinEdit*>(Editor);
    if (!Field() || !E) {
        TdxDBTreeListColumn::AssignEditValue(Node, Editor, Value);
        return;
    }
    Field()->SetAsVariant(E->GetValue());
    GetNodeValue(Node, Value);
}

bool TdxDBTreeListSpinColumn::FieldValueEquals(const Variant& Value) {
    return Field() ? VarEqualsSafe(Field()->AsFloat(), Value) : TdxDBTreeListColumn::FieldValueEquals(Value);
}

void TdxDBTreeListSpinColumn::GetFilterEditorValue(TdxInplaceEdit* Editor, Variant& Value, std::string& Text) {
    auto* E = dynamic_cast<TdxInplaceSpinEdit*>(Editor);
    if (!E) {
        TdxDBTreeListColumn::GetFilterEditorValue(Editor, Value, Text);
        return;
    }
    Value = E->GetValue();
    Text = E->GetMaskedValue();
}

void TdxDBTreeListSpinColumn::SetFilterEditorValue(TdxInplaceEdit* Editor, const Variant& Value) {
    if (auto* E = dynamic_cast<TdxInplaceSpinEdit*>(Editor))
        E->SetValue(Value.IsNull() ? 0.0 : Value.AsDouble());
    else
        TdxDBTreeListColumn::SetFilterEditorValue(Editor, Value);
}

bool TdxDBTreeListSpinColumn::IsButtonVisible(TdxTreeListNode* Node) {
    TCustomdxTreeListControl* T = TreeList();
    return FShowButtonStyle != sbNone && T && T->EditorOptionFlag() &&
           (FShowButtonStyle == sbAlways || (Node && Node == T->FocusedNode()));
}

void TdxDBTreeListSpinColumn::PrepareViewData(TdxEditViewData* ViewData, const TdxTreeListCellViewData& Cell) {
    TdxDBTreeListColumn::PrepareViewData(ViewData, Cell);
    if (auto* S = DynCast<TdxSpinEditViewData>(ViewData))
        S->ShowButtons = IsButtonVisible(Cell.Node);
}

bool TdxDBTreeListSpinColumn::ShowEditorOnClick(int, int, bool IsFocusedNode) {
    if (DisableEditor || FShowButtonStyle == sbNone)
        return false;
    return FShowButtonStyle == sbAlways || IsFocusedNode;
}

// ---------------------------------------------------------------------------------------------
// Time

void TdxDBTreeListTimeColumn::DefineClass(TClassBuilder<TdxDBTreeListTimeColumn>& B) {
    using C = TdxDBTreeListTimeColumn;
    B.Property("TimeEditFormat", &C::TimeEditFormat, &C::TimeEditFormat).Default(tfHourMinSec);
    B.Property("UseCtrlIncrement", &C::UseCtrlIncrement, &C::UseCtrlIncrement).Default(false);
}

void TdxDBTreeListTimeColumn::Assign(TPersistent* Source) {
    TdxDBTreeListColumn::Assign(Source);
    if (auto* S = dynamic_cast<TdxDBTreeListTimeColumn*>(Source)) {
        TimeEditFormat = S->TimeEditFormat;
        UseCtrlIncrement = S->UseCtrlIncrement;
    }
}

void TdxDBTreeListTimeColumn::RestoreDefaults() {
    TdxDBTreeListColumn::RestoreDefaults();
    TimeEditFormat = tfHourMinSec;
    UseCtrlIncrement = false;
}

void TdxDBTreeListTimeColumn::InitEditProperties(TdxInplaceEdit* Editor) {
    TdxDBTreeListColumn::InitEditProperties(Editor);
    if (auto* E = dynamic_cast<TdxInplaceTimeEdit*>(Editor)) {
        E->SetTimeEditFormat(TimeEditFormat);
        E->UseCtrlIncrement = UseCtrlIncrement;
    }
}

void TdxDBTreeListTimeColumn::InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    auto* E = dynamic_cast<TdxInplaceTimeEdit*>(Editor);
    if (!Field() || !E) {
        TdxDBTreeListColumn::InitEditValue(Node, Editor, Value);
        return;
    }
    E->SetTime(TimeOnly(Field()->AsFloat()));
    Value = static_cast<double>(E->GetTime());
}

void TdxDBTreeListTimeColumn::AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    auto* E = dynamic_cast<TdxInplaceTimeEdit*>(Editor);
    if (!Field() || !E) {
        TdxDBTreeListColumn::AssignEditValue(Node, Editor, Value);
        return;
    }
    Field()->SetAsFloat(TruncDate(Field()->AsFloat()) + E->GetTime());
    GetNodeValue(Node, Value);
}

bool TdxDBTreeListTimeColumn::FieldValueEquals(const Variant& Value) {
    return Field() ? VarEqualsSafe(Variant::FromDateTime(TimeOnly(Field()->AsFloat())), Value)
                   : TdxDBTreeListColumn::FieldValueEquals(Value);
}

void TdxDBTreeListTimeColumn::GetFilterEditorValue(TdxInplaceEdit* Editor, Variant& Value, std::string& Text) {
    auto* E = dynamic_cast<TdxInplaceTimeEdit*>(Editor);
    if (!E) {
        TdxDBTreeListColumn::GetFilterEditorValue(Editor, Value, Text);
        return;
    }
    Value = Variant::FromDateTime(E->GetTime());
    Text = E->Text();
}

void TdxDBTreeListTimeColumn::SetFilterEditorValue(TdxInplaceEdit* Editor, const Variant& Value) {
    if (auto* E = dynamic_cast<TdxInplaceTimeEdit*>(Editor))
        E->SetTime(Value.IsNull() ? 0.0 : Value.AsDouble());
    else
        TdxDBTreeListColumn::SetFilterEditorValue(Editor, Value);
}

// ---------------------------------------------------------------------------------------------
// Currency

namespace {
std::string LocaleCurrencyFormat() {
    TOwned<TdxInplaceCurrencyEdit> E(Create<TdxInplaceCurrencyEdit>(nullptr));
    return E->DefaultDisplayFormat();
}
}  // namespace

TdxDBTreeListCurrencyColumn::TdxDBTreeListCurrencyColumn(TComponent* AOwner)
    : TdxDBTreeListColumn(AOwner), FDisplayFormat(LocaleCurrencyFormat()) {}

void TdxDBTreeListCurrencyColumn::DefineClass(TClassBuilder<TdxDBTreeListCurrencyColumn>& B) {
    using C = TdxDBTreeListCurrencyColumn;
    B.Message<&C::CMWinIniChange>(CM_WININICHANGE);
    B.Property("DecimalPlaces", &C::DecimalPlaces, &C::DecimalPlaces).Default(2u);
    B.Property("DisplayFormat", &C::DisplayFormat, &C::SetDisplayFormat)
        .Stored(&C::IsDisplayFormatStored);
    B.Property("MinValue", &C::MinValue, &C::SetMinValue).Stored(&C::IsMinValueStored);
    B.Property("MaxValue", &C::MaxValue, &C::SetMaxValue).Stored(&C::IsMaxValueStored);
    B.Property("Nullable", &C::Nullable, &C::SetNullable).Default(false);
    B.Property("NullString", &C::NullString, &C::SetNullString);
    B.Property("UseThousandSeparator", &C::UseThousandSeparator, &C::UseThousandSeparator).Default(false);
}

void TdxDBTreeListCurrencyColumn::SetDisplayFormat(const std::string& Value) {
    if (Value == FDisplayFormat)
        return;
    FDisplayFormat = Value;
    FDisplayFormatAssigned = true;
    NotifyChange(true);
}

void TdxDBTreeListCurrencyColumn::SetMinValue(double Value) { SetRangeBound(FRange, 1, FRange.Min, Value, MinValue()); }
void TdxDBTreeListCurrencyColumn::SetMaxValue(double Value) { SetRangeBound(FRange, 2, FRange.Max, Value, MaxValue()); }

void TdxDBTreeListCurrencyColumn::SetNullable(bool Value) {
    FNullable = Value;
    NotifyChange(false);
}

void TdxDBTreeListCurrencyColumn::SetNullString(const std::string& Value) {
    FNullString = Value;
    NotifyChange(false);
}

void TdxDBTreeListCurrencyColumn::Assign(TPersistent* Source) {
    TdxDBTreeListColumn::Assign(Source);
    if (auto* S = dynamic_cast<TdxDBTreeListCurrencyColumn*>(Source)) {
        DecimalPlaces = S->DecimalPlaces;
        SetDisplayFormat(S->FDisplayFormat);
        SetMinValue(S->MinValue());
        SetMaxValue(S->MaxValue());
        SetNullable(S->FNullable);
        SetNullString(S->FNullString);
        UseThousandSeparator = S->UseThousandSeparator;
    }
}

void TdxDBTreeListCurrencyColumn::RestoreDefaults() {
    TdxDBTreeListColumn::RestoreDefaults();
    DecimalPlaces = 2;
    FDisplayFormat = LocaleCurrencyFormat();
    FDisplayFormatAssigned = false;
    FRange.Min = FRange.Max = 0;
}

void TdxDBTreeListCurrencyColumn::CMWinIniChange(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (FDisplayFormatAssigned)
        return;
    GetFormatSettings();
    FDisplayFormat = LocaleCurrencyFormat();
    NotifyChange(true);
}

bool TdxDBTreeListCurrencyColumn::IsValidChar(char Key) {
    TCustomdxDBTreeListControl* T = GetTreeList();
    if (!T || !T->DataLinkActive() || !Field())
        return false;
    return Key == FormatSettings.ThousandSeparator || TdxDBTreeListColumn::IsValidChar(Key);
}

void TdxDBTreeListCurrencyColumn::InitEditProperties(TdxInplaceEdit* Editor) {
    TdxDBTreeListColumn::InitEditProperties(Editor);
    if (auto* E = dynamic_cast<TdxInplaceCurrencyEdit*>(Editor)) {
        E->DecimalPlaces = DecimalPlaces;
        E->SetDisplayFormat(std::string());
        E->SetStoredMinMax(MaxValue(), MinValue());
        E->SetNullable(FNullable);
        E->SetNullString(FNullString);
        E->UseThousandSeparator = UseThousandSeparator;
    }
}

void TdxDBTreeListCurrencyColumn::InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    auto* E = dynamic_cast<TdxInplaceCurrencyEdit*>(Editor);
    if (!Field() || !E) {
        TdxDBTreeListColumn::InitEditValue(Node, Editor, Value);
        return;
    }
    E->SetValue(Field()->AsFloat());
    Value = E->GetValue();
}

void TdxDBTreeListCurrencyColumn::AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    auto* E = dynamic_cast<TdxInplaceCurrencyEdit*>(Editor);
    if (!Field() || !E) {
        TdxDBTreeListColumn::AssignEditValue(Node, Editor, Value);
        return;
    }
    if (FNullable && Trim(E->Text()).empty())
        Field()->Clear();
    else
        Field()->SetAsVariant(E->GetValue());
    GetNodeValue(Node, Value);
}

bool TdxDBTreeListCurrencyColumn::FieldValueEquals(const Variant& Value) {
    return Field() ? VarEqualsSafe(Field()->AsFloat(), Value) : TdxDBTreeListColumn::FieldValueEquals(Value);
}

void TdxDBTreeListCurrencyColumn::GetFilterEditorValue(TdxInplaceEdit* Editor, Variant& Value, std::string& Text) {
    auto* E = dynamic_cast<TdxInplaceCurrencyEdit*>(Editor);
    if (!E) {
        TdxDBTreeListColumn::GetFilterEditorValue(Editor, Value, Text);
        return;
    }
    Value = E->GetValue();
    Text = E->GetMaskedValue();
}

void TdxDBTreeListCurrencyColumn::SetFilterEditorValue(TdxInplaceEdit* Editor, const Variant& Value) {
    if (auto* E = dynamic_cast<TdxInplaceCurrencyEdit*>(Editor))
        E->SetValue(Value.IsNull() ? 0.0 : Value.AsDouble());
    else
        TdxDBTreeListColumn::SetFilterEditorValue(Editor, Value);
}

bool TdxDBTreeListCurrencyColumn::UsesFieldText() const {
    if (!Field())
        return false;
    if (Field()->OnGetText)
        return true;
    auto* C = dynamic_cast<TCurrencyField*>(Field());
    return C && C->Currency();
}

void TdxDBTreeListCurrencyColumn::PrepareViewData(TdxEditViewData* ViewData, const TdxTreeListCellViewData& Cell) {
    TdxDBTreeListColumn::PrepareViewData(ViewData, Cell);
    if (Cell.Node && !Cell.ReadOnlyNewItemRow)
        ViewData->Value = FormatCellText(KeptNodeValue(this, Cell.Node), VarToStr(ViewData->Value));
}

std::string TdxDBTreeListCurrencyColumn::FormatCellText(const Variant& Value, const std::string& FieldText) {
    if (FDisplayFormat.empty() || UsesFieldText())
        return FieldText;
    try {
        if (Value.IsNull() || VarIsStr(Value) || Value.IsEmpty()) {
            std::string S = VarToStr(Value);
            return S.empty() && FNullable ? FNullString : S;
        }
        return FormatFloat(FDisplayFormat, Value.AsDouble());
    } catch (const EConvertError&) {
        return FieldText;
    }
}

// ---------------------------------------------------------------------------------------------
// Wrapper

TdxDBTreeListWrapperColumn::TdxDBTreeListWrapperColumn(TComponent* AOwner) : TdxDBTreeListColumn(AOwner) {
    DisableFilter = true;
}

void TdxDBTreeListWrapperColumn::DefineClass(TClassBuilder<TdxDBTreeListWrapperColumn>& B) {
    B.Property("OnGetReferenceColumn", &TdxDBTreeListWrapperColumn::OnGetReferenceColumn,
               &TdxDBTreeListWrapperColumn::OnGetReferenceColumn);
}

void TdxDBTreeListWrapperColumn::RestoreDefaults() {
    TdxDBTreeListColumn::RestoreDefaults();
    DisableFilter = true;
}

TdxDBTreeListColumn* TdxDBTreeListWrapperColumn::GetReferenceColumn(TdxTreeListNode* Node) {
    // Without a node: the one being painted or edited with this column, else the focused one.
    if (!Node)
        Node = NodeInWork;
    if (!Node && TreeList())
        Node = TreeList()->FocusedNode();
    TdxDBTreeListColumn* Column = nullptr;
    if (Node && OnGetReferenceColumn)
        OnGetReferenceColumn(this, Node, Column);
    return Column == this ? nullptr : Column;
}

namespace {
// Runs F on the reference column reading and writing the node data at the wrapper's position.
template <class F>
void AtWrapperIndex(TdxDBTreeListColumn* Reference, int Index, F Run) {
    Reference->SetDataIndexOverride(Index);
    try {
        Run();
    } catch (...) {
        Reference->SetDataIndexOverride(-1);
        throw;
    }
    Reference->SetDataIndexOverride(-1);
}
}  // namespace

TdxInplaceEditClass TdxDBTreeListWrapperColumn::GetEditorClass() {
    TdxDBTreeListColumn* R = GetReferenceColumn(nullptr);
    return R ? R->GetEditorClass() : TdxDBTreeListColumn::GetEditorClass();
}

void TdxDBTreeListWrapperColumn::InitEditProperties(TdxInplaceEdit* Editor) {
    if (TdxDBTreeListColumn* R = GetReferenceColumn(nullptr))
        R->InitEditProperties(Editor);
    else
        TdxDBTreeListColumn::InitEditProperties(Editor);
}

void TdxDBTreeListWrapperColumn::InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    if (TdxDBTreeListColumn* R = GetReferenceColumn(Node))
        AtWrapperIndex(R, GetDataIndex(), [&] { R->InitEditValue(Node, Editor, Value); });
    else
        TdxDBTreeListColumn::InitEditValue(Node, Editor, Value);
}

void TdxDBTreeListWrapperColumn::AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    if (TdxDBTreeListColumn* R = GetReferenceColumn(Node))
        AtWrapperIndex(R, GetDataIndex(), [&] { R->AssignEditValue(Node, Editor, Value); });
    else
        TdxDBTreeListColumn::AssignEditValue(Node, Editor, Value);
}

void TdxDBTreeListWrapperColumn::AssignNodeData(TdxTreeListNode* Node) {
    if (TdxDBTreeListColumn* R = GetReferenceColumn(Node))
        AtWrapperIndex(R, GetDataIndex(), [&] { R->AssignNodeData(Node); });
    else
        TdxDBTreeListColumn::AssignNodeData(Node);
}

void TdxDBTreeListWrapperColumn::GetCellText(TdxTreeListNode* Node, std::string& Text) {
    if (TdxDBTreeListColumn* R = GetReferenceColumn(Node))
        R->GetCellText(Node, Text);
    else
        TdxDBTreeListColumn::GetCellText(Node, Text);
}

bool TdxDBTreeListWrapperColumn::StoreFieldValue() {
    TdxDBTreeListColumn* R = GetReferenceColumn(nullptr);
    return R ? R->StoreFieldValue() : TdxDBTreeListColumn::StoreFieldValue();
}

void TdxDBTreeListWrapperColumn::VariantToText(const Variant& Value, std::string& Text) {
    if (TdxDBTreeListColumn* R = GetReferenceColumn(nullptr))
        R->VariantToText(Value, Text);
    else
        TdxDBTreeListColumn::VariantToText(Value, Text);
}

bool TdxDBTreeListWrapperColumn::CompareAsValue() {
    TdxDBTreeListColumn* R = GetReferenceColumn(nullptr);
    return R ? R->CompareAsValue() : TdxDBTreeListColumn::CompareAsValue();
}

void TdxDBTreeListWrapperColumn::GetHotCursor(TdxTreeListNode* Node, TCursor& Cursor) {
    if (TdxDBTreeListColumn* R = GetReferenceColumn(Node))
        AtWrapperIndex(R, GetDataIndex(), [&] { R->GetHotCursor(Node, Cursor); });
    else
        TdxDBTreeListColumn::GetHotCursor(Node, Cursor);
}

bool TdxDBTreeListWrapperColumn::ShowEditorOnClick(int X, int Y, bool IsFocusedNode) {
    TdxDBTreeListColumn* R = GetReferenceColumn(nullptr);
    return R ? R->ShowEditorOnClick(X, Y, IsFocusedNode) : TdxDBTreeListColumn::ShowEditorOnClick(X, Y, IsFocusedNode);
}

void TdxDBTreeListWrapperColumn::PrepareViewData(TdxEditViewData* ViewData, const TdxTreeListCellViewData& Cell) {
    if (TdxDBTreeListColumn* R = GetReferenceColumn(Cell.Node))
        AtWrapperIndex(R, GetDataIndex(), [&] { R->PrepareViewData(ViewData, Cell); });
    else
        TdxDBTreeListColumn::PrepareViewData(ViewData, Cell);
}

bool TdxDBTreeListWrapperColumn::FieldValueEquals(const Variant& Value) {
    TdxDBTreeListColumn* R = GetReferenceColumn(nullptr);
    return R ? R->FieldValueEquals(Value) : TdxDBTreeListColumn::FieldValueEquals(Value);
}

Variant KeptNodeValue(TdxDBTreeListColumn* Column, TdxTreeListNode* Node) {
    const int Index = Column->GetDataIndex();
    if (!Node || Index < 0)
        return Variant();
    const TNodeVariantData Data = Column->ReadNodeVariantData(Node);
    if (Data.AssignedValues & TNodeVariantData::avValue)
        return Data.Value;
    return Node->Values(Index);
}

// ---------------------------------------------------------------------------------------------
// Unit start-up

namespace {
std::string ValueCheckedText, ValueUncheckedText;
}  // namespace

std::string DefaultValueChecked() { return ValueCheckedText; }
std::string DefaultValueUnchecked() { return ValueUncheckedText; }

TdxDefaultColumnKind DefaultColumnKindOf(TFieldType FieldType, TFieldKind FieldKind) {
    if (FieldKind == fkLookup)
        return TdxDefaultColumnKind::Lookup;
    switch (FieldType) {
    case ftBoolean: return TdxDefaultColumnKind::Check;
    case ftCurrency:
    case ftBCD: return TdxDefaultColumnKind::Currency;
    case ftDate:
    case ftDateTime: return TdxDefaultColumnKind::Date;
    case ftTime: return TdxDefaultColumnKind::Time;
    case ftMemo: return TdxDefaultColumnKind::Memo;
    case ftGraphic: return TdxDefaultColumnKind::Graphic;
    case ftBytes:
    case ftVarBytes:
    case ftBlob:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary: return TdxDefaultColumnKind::Blob;
    default: return TdxDefaultColumnKind::Mask;
    }
}

void ProposeTreeListColumnClass(TFieldType FieldType, TFieldKind FieldKind, TdxColumnClassEntry& Entry) {
    // In the order of TdxDefaultColumnKind.
    const TClass Classes[] = {TdxDBTreeListMaskColumn::StaticClass(),     TdxDBTreeListCheckColumn::StaticClass(),
                              TdxDBTreeListCurrencyColumn::StaticClass(), TdxDBTreeListDateColumn::StaticClass(),
                              TdxDBTreeListTimeColumn::StaticClass(),     TdxDBTreeListMemoColumn::StaticClass(),
                              TdxDBTreeListGraphicColumn::StaticClass(),  TdxDBTreeListBlobColumn::StaticClass(),
                              TdxDBTreeListLookupColumn::StaticClass()};
    Entry = {Classes[static_cast<int>(DefaultColumnKindOf(FieldType, FieldKind))], 1};
}

namespace {
inline constexpr TResStringRec STrue = ResString("True");
inline constexpr TResStringRec SFalse = ResString("False");
int StartCount = 0;
}  // namespace

void dxDBTLClInitialization() {
    if (StartCount++ > 0)
        return;
    ValueCheckedText = LoadResString(STrue);
    ValueUncheckedText = LoadResString(SFalse);
    RegisterClasses({TdxDBTreeListMemoColumn::StaticClass(), TdxDBTreeListDropDownColumn::StaticClass(),
                     TdxDBTreeListDateColumn::StaticClass(), TdxDBTreeListButtonColumn::StaticClass(),
                     TdxDBTreeListCheckColumn::StaticClass(), TdxDBTreeListImageColumn::StaticClass(),
                     TdxDBTreeListSpinColumn::StaticClass(), TdxDBTreeListPickColumn::StaticClass(),
                     TdxDBTreeListCalcColumn::StaticClass(), TdxDBTreeListHyperLinkColumn::StaticClass(),
                     TdxDBTreeListTimeColumn::StaticClass(), TdxDBTreeListCurrencyColumn::StaticClass(),
                     TdxDBTreeListGraphicColumn::StaticClass(), TdxDBTreeListLookupColumn::StaticClass(),
                     TdxDBTreeListBlobColumn::StaticClass(), TdxDBTreeListMRUColumn::StaticClass(),
                     TdxDBTreeListWrapperColumn::StaticClass()});
    RegisterDefaultColumnClasses(&ProposeTreeListColumnClass);
}

void dxDBTLClFinalization() {
    if (--StartCount > 0)
        return;
    ResetDefaultColumnClasses();
    ValueCheckedText.clear();
    ValueUncheckedText.clear();
}
