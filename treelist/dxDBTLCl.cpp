// The column kinds without a drop-down button (memo, hyperlink, spin, time, currency, wrapper),
// the check and image kinds, and the unit's start-up.
#include "dxDBTLCl.h"

#include "Forms.h"
#include "SysUtils.h"
#include "dxGrDate.h"

#include <cmath>

void InColumnUpdate(TdxTreeListColumn* Column, const std::function<void()>& F) {
    TCustomdxTreeListControl* T = Column->TreeList();
    if (T)
        T->BeginUpdate();
    try {
        F();
    } catch (...) {
        if (T)
            T->EndUpdate();
        throw;
    }
    if (T)
        T->EndUpdate();
}

namespace {
// True when a and b are equal by variant comparison; values that cannot be compared are unequal.
bool SameValue(const Variant& A, const Variant& B) {
    try {
        return A == B;
    } catch (const EVariantError&) {
        return false;
    }
}

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
    InColumnUpdate(this, [&] {
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
    return Field() ? SameValue(Variant(Field()->AsString()), Value) : TdxDBTreeListColumn::FieldValueEquals(Value);
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
    InColumnUpdate(this, [&] {
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
    InColumnUpdate(this, [&] {
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
    return Field() ? SameValue(Field()->AsFloat(), Value) : TdxDBTreeListColumn::FieldValueEquals(Value);
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

bool TdxDBTreeListSpinColumn::ShowEditorOnClick(bool IsFocusedNode) {
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
    return Field() ? SameValue(Variant::FromDateTime(TimeOnly(Field()->AsFloat())), Value)
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
    return Field() ? SameValue(Field()->AsFloat(), Value) : TdxDBTreeListColumn::FieldValueEquals(Value);
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

bool TdxDBTreeListWrapperColumn::FieldValueEquals(const Variant& Value) {
    TdxDBTreeListColumn* R = GetReferenceColumn(nullptr);
    return R ? R->FieldValueEquals(Value) : TdxDBTreeListColumn::FieldValueEquals(Value);
}

// ---------------------------------------------------------------------------------------------
// Check

namespace {
std::string ValueCheckedText, ValueUncheckedText;
}  // namespace

std::string DefaultValueChecked() { return ValueCheckedText; }
std::string DefaultValueUnchecked() { return ValueUncheckedText; }

TdxDBTreeListCheckColumn::TdxDBTreeListCheckColumn(TComponent* AOwner)
    : TdxDBTreeListColumn(AOwner), FValueChecked(DefaultValueChecked()), FValueUnchecked(DefaultValueUnchecked()) {
    SetMinWidth(16);
}

TdxDBTreeListCheckColumn::~TdxDBTreeListCheckColumn() { FreeObject(FGlyph); }

void TdxDBTreeListCheckColumn::DefineClass(TClassBuilder<TdxDBTreeListCheckColumn>& B) {
    using C = TdxDBTreeListCheckColumn;
    B.Property("AllowGrayed", &C::AllowGrayed, &C::AllowGrayed).Default(false);
    B.Property("Border3D", [](C* X) { return X->Border3D; }, [](C* X, bool V) { X->Border3D = V; X->NotifyChange(true); })
        .Default(false);
    B.Property("GlyphCount", &C::GlyphCount, &C::SetGlyphCount).Default(6);
    B.Property("ShowNullFieldStyle", [](C* X) { return X->ShowNullFieldStyle; },
               [](C* X, TdxShowNullFieldStyle V) { X->ShowNullFieldStyle = V; X->NotifyChange(true); })
        .Default(nsUnchecked);
    B.Property("ValueChecked", &C::ValueChecked, &C::SetValueChecked);
    B.Property("ValueGrayed", &C::ValueGrayed, &C::SetValueGrayed);
    B.Property("ValueUnchecked", &C::ValueUnchecked, &C::SetValueUnchecked);
    B.Property("OnToggleClick", &C::OnToggleClick, &C::OnToggleClick);
}

TBitmap* TdxDBTreeListCheckColumn::Glyph() {
    if (!FGlyph)
        FGlyph = Create<TBitmap>();
    return FGlyph;
}

void TdxDBTreeListCheckColumn::SetGlyph(TBitmap* Value) {
    if (!Value)
        FreeAndNil(FGlyph);
    else
        Glyph()->Assign(Value);
    NotifyChange(true);
}

void TdxDBTreeListCheckColumn::SetGlyphCount(int Value) {
    FGlyphCount = Value;
    if (FGlyph)
        NotifyChange(true);
}

void TdxDBTreeListCheckColumn::SetValueChecked(const std::string& Value) {
    if (Value != FValueChecked) {
        FValueChecked = Value;
        NotifyChange(true);
    }
}

void TdxDBTreeListCheckColumn::SetValueGrayed(const std::string& Value) {
    if (Value != FValueGrayed) {
        FValueGrayed = Value;
        NotifyChange(true);
    }
}

void TdxDBTreeListCheckColumn::SetValueUnchecked(const std::string& Value) {
    if (Value != FValueUnchecked) {
        FValueUnchecked = Value;
        NotifyChange(true);
    }
}

void TdxDBTreeListCheckColumn::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TdxDBTreeListCheckColumn*>(Source);
    if (!S) {
        TdxDBTreeListColumn::Assign(Source);
        return;
    }
    InColumnUpdate(this, [&] {
        TdxDBTreeListColumn::Assign(Source);
        AllowGrayed = S->AllowGrayed;
        Border3D = S->Border3D;
        if (S->FGlyph)
            SetGlyph(S->FGlyph);
        SetGlyphCount(S->FGlyphCount);
        ShowNullFieldStyle = S->ShowNullFieldStyle;
        SetValueChecked(S->FValueChecked);
        SetValueGrayed(S->FValueGrayed);
        SetValueUnchecked(S->FValueUnchecked);
    });
}

void TdxDBTreeListCheckColumn::RestoreDefaults() {
    TdxDBTreeListColumn::RestoreDefaults();
    SetMinWidth(16);
    AllowGrayed = Border3D = false;
    FreeAndNil(FGlyph);
    FGlyphCount = 6;
    ShowNullFieldStyle = nsUnchecked;
    FValueChecked = DefaultValueChecked();
    FValueUnchecked = DefaultValueUnchecked();
    FValueGrayed.clear();
}

TdxCheckBoxState TdxDBTreeListCheckColumn::StateOfText(const std::string& Text) const {
    if (AnsiCompareText(Text, FValueChecked) == 0)
        return cbsChecked;
    if (AnsiCompareText(Text, FValueUnchecked) == 0)
        return cbsUnchecked;
    return cbsGrayed;
}

const std::string& TdxDBTreeListCheckColumn::TextOfState(TdxCheckBoxState State) const {
    return State == cbsUnchecked ? FValueUnchecked : State == cbsChecked ? FValueChecked : FValueGrayed;
}

void TdxDBTreeListCheckColumn::CheckEditChanged(TObject* Editor) {
    EditChanged(Editor);
    TCustomdxTreeListControl* T = TreeList();
    if (T && T->InitializingEditor())
        return;
    if (auto* E = dynamic_cast<TdxInplaceCheckEdit*>(Editor); E && OnToggleClick)
        OnToggleClick(this, TextOfState(E->CheckState()), E->CheckState());
}

void TdxDBTreeListCheckColumn::InitEditProperties(TdxInplaceEdit* Editor) {
    TdxTreeListColumn::InitEditProperties(Editor);
    if (auto* E = dynamic_cast<TdxInplaceCheckEdit*>(Editor)) {
        E->SetStoredAlignment(taCenter);
        E->AllowGrayed = AllowGrayed;
        E->SetGlyph(FGlyph);
        E->SetGlyphCount(FGlyphCount);
        E->SetNullLook(ShowNullFieldStyle);
        E->OnChange = TNotifyEvent::FromFunction([this](TObject* S) { CheckEditChanged(S); });
    }
}

void TdxDBTreeListCheckColumn::InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    auto* E = dynamic_cast<TdxInplaceCheckEdit*>(Editor);
    if (!Field() || !E) {
        TdxDBTreeListColumn::InitEditValue(Node, Editor, Value);
        return;
    }
    E->SetCheckState(StateOfText(Field()->EditText()));
    Value = static_cast<int>(E->CheckState());
}

void TdxDBTreeListCheckColumn::AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    auto* E = dynamic_cast<TdxInplaceCheckEdit*>(Editor);
    if (!Field() || !E) {
        TdxDBTreeListColumn::AssignEditValue(Node, Editor, Value);
        return;
    }
    Field()->SetEditText(TextOfState(E->CheckState()));
    GetNodeValue(Node, Value);
}

bool TdxDBTreeListCheckColumn::FieldValueEquals(const Variant& Value) {
    if (Field() && (Value.VType() == varInteger || Value.VType() == varSmallint || Value.VType() == varByte))
        return SameValue(static_cast<int>(StateOfText(Field()->EditText())), Value);
    return TdxDBTreeListColumn::FieldValueEquals(Value);
}

void TdxDBTreeListCheckColumn::InitFilterEditor(TdxInplaceEdit* Editor) {
    TdxDBTreeListColumn::InitFilterEditor(Editor);
    if (auto* E = dynamic_cast<TdxInplaceImageEdit*>(Editor)) {
        TOwned<TStringList> L(Create<TStringList>());
        L->Add(FValueGrayed);
        L->Add(FValueUnchecked);
        L->Add(FValueChecked);
        E->SetValues(L.get());
        E->SetDescriptions(L.get());
        E->SetShowDescription(true);
    }
}

void TdxDBTreeListCheckColumn::GetFilterEditorValue(TdxInplaceEdit* Editor, Variant& Value, std::string& Text) {
    TdxDBTreeListColumn::GetFilterEditorValue(Editor, Value, Text);
    if (VarIsStr(Value)) {
        const std::string S = VarToStr(Value);
        if (Field() && Field()->DataType() == ftBoolean)
            Value = S == FValueChecked ? Variant(true) : S == FValueUnchecked ? Variant(false) : Null();
        else if (S == FValueGrayed)
            Value = Null();
    }
    if (auto* E = dynamic_cast<TdxInplaceImageEdit*>(Editor)) {
        const int I = E->Values()->IndexOf(Text);
        if (I >= 0 && I < E->Descriptions()->Count())
            Text = E->Descriptions()->Strings(I);
    }
}

void TdxDBTreeListCheckColumn::SetFilterEditorValue(TdxInplaceEdit* Editor, const Variant& Value) {
    auto* E = dynamic_cast<TdxInplaceImageEdit*>(Editor);
    if (!E) {
        TdxDBTreeListColumn::SetFilterEditorValue(Editor, Value);
        return;
    }
    if (Value.IsNull())
        E->SetText(FValueGrayed);
    else if (Value.VType() == varBoolean)
        E->SetText(Value.AsBoolean() ? FValueChecked : FValueUnchecked);
    else
        E->SetText(VarToStr(Value));
}

// ---------------------------------------------------------------------------------------------
// Image

TdxDBTreeListImageColumn::TdxDBTreeListImageColumn(TComponent* AOwner)
    : TdxDBTreeListDropDownColumn(AOwner), FDescriptions(Create<TStringList>()), FImageIndexes(Create<TStringList>()),
      FValues(Create<TStringList>()) {
    SetMinWidth(16);
    SetAlignment(taLeftJustify);
}

TdxDBTreeListImageColumn::~TdxDBTreeListImageColumn() {
    FDescriptions->Free();
    FImageIndexes->Free();
    FValues->Free();
}

void TdxDBTreeListImageColumn::DefineClass(TClassBuilder<TdxDBTreeListImageColumn>& B) {
    using C = TdxDBTreeListImageColumn;
    B.Property("DefaultImages", &C::DefaultImages, &C::DefaultImages).Default(true);
    B.Property("Descriptions", [](C* X) { return static_cast<TStrings*>(X->FDescriptions); },
               [](C* X, TStrings* V) { X->FDescriptions->Assign(V); X->NotifyChange(false); });
    B.Property("ImageIndexes", [](C* X) { return static_cast<TStrings*>(X->FImageIndexes); },
               [](C* X, TStrings* V) { X->FImageIndexes->Assign(V); X->NotifyChange(false); });
    B.Property("Images", &C::Images, &C::SetImages);
    B.Property("Incremental", &C::Incremental, &C::Incremental).Default(false);
    B.Property("LargeImages", &C::LargeImages, &C::SetLargeImages);
    B.Property("MultiLineText", &C::MultiLineText, &C::MultiLineText).Default(false);
    B.Property("ShowDescription", &C::ShowDescription, &C::ShowDescription).Default(false);
    B.Property("Values", [](C* X) { return static_cast<TStrings*>(X->FValues); },
               [](C* X, TStrings* V) { X->FValues->Assign(V); X->NotifyChange(false); });
    B.Property("ListWidth", [](C* X) { return X->DropDownWidth; }, [](C* X, int V) { X->DropDownWidth = V; })
        .Default(0);
    B.Property("OnCloseUp", &C::OnCloseUp, &C::OnCloseUp);
}

void TdxDBTreeListImageColumn::SetImages(TCustomImageList* Value) {
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    NotifyChange(true);
}

void TdxDBTreeListImageColumn::SetLargeImages(TCustomImageList* Value) {
    if (FLargeImages)
        FLargeImages->RemoveFreeNotification(this);
    FLargeImages = Value;
    if (Value)
        Value->FreeNotification(this);
    NotifyChange(true);
}

void TdxDBTreeListImageColumn::Notification(TComponent* AComponent, TOperation Operation) {
    TdxDBTreeListDropDownColumn::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FImages)
        SetImages(nullptr);
    if (AComponent == FLargeImages)
        SetLargeImages(nullptr);
}

void TdxDBTreeListImageColumn::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TdxDBTreeListImageColumn*>(Source);
    if (!S) {
        TdxDBTreeListDropDownColumn::Assign(Source);
        return;
    }
    InColumnUpdate(this, [&] {
        TdxDBTreeListDropDownColumn::Assign(Source);
        DefaultImages = S->DefaultImages;
        FDescriptions->Assign(S->FDescriptions);
        SetImages(S->FImages);
        FImageIndexes->Assign(S->FImageIndexes);
        Incremental = S->Incremental;
        SetLargeImages(S->FLargeImages);
        MultiLineText = S->MultiLineText;
        ShowDescription = S->ShowDescription;
        FValues->Assign(S->FValues);
    });
}

void TdxDBTreeListImageColumn::RestoreDefaults() {
    TdxDBTreeListDropDownColumn::RestoreDefaults();
    SetMinWidth(16);
    DefaultImages = true;
    Incremental = MultiLineText = ShowDescription = false;
}

void TdxDBTreeListImageColumn::LookupValue(const std::string& Value, int& ImageIndex, int& DescriptionIndex) {
    const int I = FValues->IndexOf(Value);
    DescriptionIndex = I;
    if (I < 0)
        ImageIndex = -1;
    else if (DefaultImages)
        ImageIndex = I;
    else
        ImageIndex = I < FImageIndexes->Count() ? StrToIntDef(FImageIndexes->Strings(I), -1) : -1;
}

void TdxDBTreeListImageColumn::ValueToDisplayText(const std::string& Data, std::string& Text) {
    int Image = -1, Description = -1;
    LookupValue(Data, Image, Description);
    Text = Description >= 0 && Description < FDescriptions->Count() ? FDescriptions->Strings(Description) : Data;
}

bool TdxDBTreeListImageColumn::GetExportValue(Variant& Value) {
    std::string Text;
    ValueToDisplayText(Value.IsNull() ? std::string() : VarToStr(Value), Text);
    Value = Text;
    return true;
}

void TdxDBTreeListImageColumn::InitEditProperties(TdxInplaceEdit* Editor) {
    TdxDBTreeListDropDownColumn::InitEditProperties(Editor);
    if (auto* E = dynamic_cast<TdxInplaceImageEdit*>(Editor)) {
        E->SetDefaultImages(DefaultImages);
        E->SetDescriptions(FDescriptions);
        E->SetImages(FImages);
        E->SetImageIndexes(FImageIndexes);
        E->Incremental = Incremental;
        E->SetLargeImages(FLargeImages);
        E->SetMultiLineText(MultiLineText);
        E->SetShowDescription(ShowDescription);
        E->SetValues(FValues);
    }
}

void TdxDBTreeListImageColumn::GetFilterEditorValue(TdxInplaceEdit* Editor, Variant& Value, std::string& Text) {
    auto* E = dynamic_cast<TdxInplaceImageEdit*>(Editor);
    if (!E) {
        TdxDBTreeListDropDownColumn::GetFilterEditorValue(Editor, Value, Text);
        return;
    }
    const std::string S = E->GetMaskedValue();
    ValueToDisplayText(S, Text);
    int Image = -1, Description = -1;
    LookupValue(S, Image, Description);
    Value = Image < 0 ? Null() : Variant(S);
}

void TdxDBTreeListImageColumn::SetFilterEditorValue(TdxInplaceEdit* Editor, const Variant& Value) {
    if (auto* E = dynamic_cast<TdxInplaceImageEdit*>(Editor))
        E->SetText(Value.IsNull() ? std::string() : VarToStr(Value));
    else
        TdxDBTreeListDropDownColumn::SetFilterEditorValue(Editor, Value);
}

// ---------------------------------------------------------------------------------------------
// Unit start-up

void ProposeTreeListColumnClass(TFieldType FieldType, TFieldKind FieldKind, TdxColumnClassEntry& Entry) {
    Entry.Priority = 1;
    if (FieldKind == fkLookup) {
        Entry.ColumnClass = TdxDBTreeListLookupColumn::StaticClass();
        return;
    }
    switch (FieldType) {
    case ftBoolean: Entry.ColumnClass = TdxDBTreeListCheckColumn::StaticClass(); break;
    case ftCurrency:
    case ftBCD: Entry.ColumnClass = TdxDBTreeListCurrencyColumn::StaticClass(); break;
    case ftDate:
    case ftDateTime: Entry.ColumnClass = TdxDBTreeListDateColumn::StaticClass(); break;
    case ftTime: Entry.ColumnClass = TdxDBTreeListTimeColumn::StaticClass(); break;
    case ftMemo: Entry.ColumnClass = TdxDBTreeListMemoColumn::StaticClass(); break;
    // The graphic and blob kinds are not in the library yet: their types keep the base column.
    case ftBytes:
    case ftVarBytes:
    case ftBlob:
    case ftGraphic:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary: Entry.ColumnClass = TdxDBTreeListColumn::StaticClass(); break;
    default: Entry.ColumnClass = TdxDBTreeListMaskColumn::StaticClass(); break;
    }
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
                     TdxDBTreeListLookupColumn::StaticClass(), TdxDBTreeListMRUColumn::StaticClass(),
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
