// The drop-down column base and the date, button, pick, MRU, calc and lookup kinds.
#include "dxDBTLCl.h"

#include "dxGrDate.h"

// ---------------------------------------------------------------------------------------------
// Drop-down base

TdxDBTreeListDropDownColumn::TdxDBTreeListDropDownColumn(TComponent* AOwner) : TdxDBTreeListColumn(AOwner) {}

TdxDBTreeListDropDownColumn::~TdxDBTreeListDropDownColumn() { FreeObject(FButtonGlyph); }

void TdxDBTreeListDropDownColumn::DefineClass(TClassBuilder<TdxDBTreeListDropDownColumn>& B) {
    using C = TdxDBTreeListDropDownColumn;
    B.Property("ShowButtonStyle", &C::ShowButtonStyle, &C::SetShowButtonStyle).Default(sbDefault);
    B.Property("OnEditButtonClick", &C::OnEditButtonClick, &C::OnEditButtonClick);
}

TBitmap* TdxDBTreeListDropDownColumn::ButtonGlyph() {
    if (!FButtonGlyph)
        FButtonGlyph = Create<TBitmap>();
    return FButtonGlyph;
}

void TdxDBTreeListDropDownColumn::SetButtonGlyph(TBitmap* Value) {
    if (!Value || Value->Empty())
        FreeAndNil(FButtonGlyph);
    else
        ButtonGlyph()->Assign(Value);
    NotifyChange(false);
}

void TdxDBTreeListDropDownColumn::SetShowButtonStyle(TdxShowButtonStyle Value) {
    FShowButtonStyle = Value;
    NotifyChange(false);
}

void TdxDBTreeListDropDownColumn::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TdxDBTreeListDropDownColumn*>(Source);
    if (!S) {
        TdxDBTreeListColumn::Assign(Source);
        return;
    }
    InTreeListUpdate(TreeList(), [&] {
        TdxDBTreeListColumn::Assign(Source);
        DropDownRows = S->DropDownRows;
        DropDownWidth = S->DropDownWidth;
        ImmediateDropDown = S->ImmediateDropDown;
        ImmediatePopup = S->ImmediatePopup;
        PopupAlignment = S->PopupAlignment;
        PopupBorder = S->PopupBorder;
        SetShowButtonStyle(S->FShowButtonStyle);
    });
}

void TdxDBTreeListDropDownColumn::RestoreDefaults() {
    TdxDBTreeListColumn::RestoreDefaults();
    DropDownRows = 7;
    DropDownWidth = 0;
    ImmediateDropDown = ImmediatePopup = false;
    PopupAlignment = taLeftJustify;
    PopupBorder = pbDefault;
    FShowButtonStyle = sbDefault;
}

void TdxDBTreeListDropDownColumn::InitEditProperties(TdxInplaceEdit* Editor) {
    TdxDBTreeListColumn::InitEditProperties(Editor);
    if (auto* E = dynamic_cast<TdxInplaceDropDownEdit*>(Editor)) {
        E->SetButtonGlyph(FButtonGlyph);
        E->ImmediateDropDown = ImmediateDropDown;
        E->DropDownRows = DropDownRows;
        E->DropDownWidth = DropDownWidth;
        E->ImmediatePopup = ImmediatePopup;
        E->PopupAlignment = PopupAlignment;
        E->PopupBorder = PopupBorder;
        E->OnCloseUp = TdxEditCloseUpEvent::FromFunction(
            [this](TObject* Sender, std::string& Value, bool& Accept) { DoCloseUp(Sender, Value, Accept); });
        E->OnBeforePopup = TNotifyEvent::FromFunction([this](TObject*) { DoEditButtonClick(); });
    }
}

void TdxDBTreeListDropDownColumn::InitFilterEditor(TdxInplaceEdit* Editor) {
    TdxDBTreeListColumn::InitFilterEditor(Editor);
    if (auto* E = dynamic_cast<TdxInplaceDropDownEdit*>(Editor)) {
        E->OnCloseUp = TdxEditCloseUpEvent();
        E->OnBeforePopup = TNotifyEvent();
    }
}

bool TdxDBTreeListDropDownColumn::IsButtonVisible(TdxTreeListNode* Node) {
    TCustomdxTreeListControl* T = TreeList();
    return FShowButtonStyle != sbNone && T && T->EditorOptionFlag() &&
           (FShowButtonStyle == sbAlways || (Node && Node == T->FocusedNode()));
}

void TdxDBTreeListDropDownColumn::PrepareViewData(TdxEditViewData* ViewData, const TdxTreeListCellViewData& Cell) {
    TdxDBTreeListColumn::PrepareViewData(ViewData, Cell);
    if (auto* D = DynCast<TdxDropDownEditViewData>(ViewData)) {
        D->Glyph = FButtonGlyph && !FButtonGlyph->Empty() ? FButtonGlyph : nullptr;
        D->HideButtons = !IsButtonVisible(Cell.Node);
        D->HotButton = D->PushedButton = -1;
    }
}

bool TdxDBTreeListDropDownColumn::ShowEditorOnClick(int, int, bool IsFocusedNode) {
    if (DisableEditor || FShowButtonStyle == sbNone)
        return false;
    return FShowButtonStyle == sbAlways || IsFocusedNode;
}

// ---------------------------------------------------------------------------------------------
// Date

void TdxDBTreeListDateColumn::DefineClass(TClassBuilder<TdxDBTreeListDateColumn>& B) {
    using C = TdxDBTreeListDateColumn;
    B.Property("DateButtons", &C::DateButtons, &C::DateButtons).Default(TDateButtons{btnToday, btnClear});
    B.Property("DateOnError", &C::DateOnError, &C::DateOnError).Default(deToday);
    B.Property("DateValidation", &C::DateValidation, &C::DateValidation).Default(false);
    B.Property("SaveTime", &C::SaveTime, &C::SaveTime).Default(true);
    B.Property("UseEditMask", &C::UseEditMask, &C::UseEditMask).Default(false);
    B.Property("OnDateValidateInput", &C::OnDateValidateInput, &C::OnDateValidateInput);
}

void TdxDBTreeListDateColumn::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TdxDBTreeListDateColumn*>(Source);
    if (!S) {
        TdxDBTreeListDropDownColumn::Assign(Source);
        return;
    }
    InTreeListUpdate(TreeList(), [&] {
        TdxDBTreeListDropDownColumn::Assign(Source);
        DateButtons = S->DateButtons;
        DateOnError = S->DateOnError;
        DateValidation = S->DateValidation;
        SaveTime = S->SaveTime;
        UseEditMask = S->UseEditMask;
    });
}

void TdxDBTreeListDateColumn::RestoreDefaults() {
    TdxDBTreeListDropDownColumn::RestoreDefaults();
    DateButtons = TDateButtons{btnToday, btnClear};
    DateOnError = deToday;
    DateValidation = false;
    SaveTime = true;
    UseEditMask = false;
}

void TdxDBTreeListDateColumn::InitEditProperties(TdxInplaceEdit* Editor) {
    TdxDBTreeListDropDownColumn::InitEditProperties(Editor);
    if (auto* E = dynamic_cast<TdxInplaceDateEdit*>(Editor)) {
        E->DateButtons = DateButtons;
        E->DateOnError = DateOnError;
        E->DateValidation = DateValidation;
        E->SaveTime = SaveTime;
        E->SetUseEditMask(UseEditMask);
        E->OnDateValidateInput = TdxDateValidateInput::FromFunction(
            [this](TObject*, const std::string& Text, TDateTime& Date, std::string& Message, bool& Error) {
                OnDateValidateInput(this, Text, Date, Message, Error);
            });
    }
}

void TdxDBTreeListDateColumn::InitFilterEditor(TdxInplaceEdit* Editor) {
    TdxDBTreeListDropDownColumn::InitFilterEditor(Editor);
    if (auto* E = dynamic_cast<TdxInplaceDateEdit*>(Editor))
        E->OnDateValidateInput = TdxDateValidateInput();
}

void TdxDBTreeListDateColumn::InitEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    auto* E = dynamic_cast<TdxInplaceDateEdit*>(Editor);
    if (!Field() || !E) {
        TdxDBTreeListDropDownColumn::InitEditValue(Node, Editor, Value);
        return;
    }
    E->SetDateRaw(Field()->IsNull() ? NullDate : Field()->AsFloat());
    Value = Variant::FromDateTime(E->DateValue());
}

void TdxDBTreeListDateColumn::AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    auto* E = dynamic_cast<TdxInplaceDateEdit*>(Editor);
    if (!Field() || !E) {
        TdxDBTreeListDropDownColumn::AssignEditValue(Node, Editor, Value);
        return;
    }
    if (E->DateValue() != NullDate)
        Field()->SetAsFloat(E->DateValue());
    else
        Field()->Clear();
    GetNodeValue(Node, Value);
}

bool TdxDBTreeListDateColumn::FieldValueEquals(const Variant& Value) {
    if (!Field())
        return TdxDBTreeListDropDownColumn::FieldValueEquals(Value);
    try {
        const double D = Value.AsDouble();
        if (Field()->IsNull())
            return D == NullDate;
        return D == Field()->AsFloat();
    } catch (const EVariantError&) {
        return false;
    }
}

void TdxDBTreeListDateColumn::GetFilterEditorValue(TdxInplaceEdit* Editor, Variant& Value, std::string& Text) {
    auto* E = dynamic_cast<TdxInplaceDateEdit*>(Editor);
    if (!E) {
        TdxDBTreeListDropDownColumn::GetFilterEditorValue(Editor, Value, Text);
        return;
    }
    Value = E->DateValue() == NullDate ? Null() : Variant::FromDateTime(E->DateValue());
    Text = E->GetMaskedValue();
}

void TdxDBTreeListDateColumn::SetFilterEditorValue(TdxInplaceEdit* Editor, const Variant& Value) {
    if (auto* E = dynamic_cast<TdxInplaceDateEdit*>(Editor))
        E->SetDateRaw(Value.IsNull() ? NullDate : Value.AsDouble());
    else
        TdxDBTreeListDropDownColumn::SetFilterEditorValue(Editor, Value);
}

// ---------------------------------------------------------------------------------------------
// Button

TdxColumnEditButtons::TdxColumnEditButtons(TComponent* AOwner, TCollectionItemClass ItemClass)
    : TdxEditButtons(AOwner, ItemClass) {}

void TdxColumnEditButtons::Update(TCollectionItem* Item) {
    TdxEditButtons::Update(Item);
    if (auto* C = dynamic_cast<TdxDBTreeListButtonColumn*>(FOwner))
        C->NotifyChange(true);
}

TdxDBTreeListButtonColumn::TdxDBTreeListButtonColumn(TComponent* AOwner)
    : TdxDBTreeListDropDownColumn(AOwner), FButtons(Create<TdxColumnEditButtons>(this, TdxEditButton::StaticClass())),
      FGlyph(Create<TBitmap>()) {
    FButtons->Add();
}

TdxDBTreeListButtonColumn::~TdxDBTreeListButtonColumn() {
    FButtons->Free();
    FGlyph->Free();
}

void TdxDBTreeListButtonColumn::DefineClass(TClassBuilder<TdxDBTreeListButtonColumn>& B) {
    using C = TdxDBTreeListButtonColumn;
    B.Property("ButtonOnly", &C::ButtonOnly, &C::SetButtonOnly).Default(false);
    B.Property("Buttons", [](C* X) { return static_cast<TdxEditButtons*>(X->FButtons); }, &C::SetButtons);
    B.Property("EditButtonStyle", &C::EditButtonStyle, &C::SetEditButtonStyle).Default(ebsEllipsis);
    B.Property("ClickKey", &C::ClickKey, &C::ClickKey).Default(Word{16397});
    B.Property("Glyph", &C::Glyph, &C::SetGlyph);
    B.Property("HideEditCursor", &C::HideEditCursor, &C::SetHideEditCursor).Default(false);
    B.Property("OnButtonClick", &C::OnButtonClick, &C::OnButtonClick);
}

void TdxDBTreeListButtonColumn::SetButtonOnly(bool Value) {
    FButtonOnly = Value;
    NotifyChange(false);
}

void TdxDBTreeListButtonColumn::SetHideEditCursor(bool Value) {
    FHideEditCursor = Value;
    NotifyChange(false);
}

void TdxDBTreeListButtonColumn::SetGlyph(TBitmap* Value) {
    FGlyph->Assign(Value);
    if (FButtons->Count() > 0)
        FButtons->Items(0)->SetGlyph(Value);
}

void TdxDBTreeListButtonColumn::SetEditButtonStyle(TdxEditButtonStyle Value) {
    if (Value == FEditButtonStyle)
        return;
    FEditButtonStyle = Value;
    if (Value == ebsSimple) {
        FButtons->Clear();
    } else {
        if (FButtons->Count() == 0)
            FButtons->Add();
        FButtons->Items(0)->SetKind(Value == ebsEllipsis ? bkEllipsis : Value == ebsDown ? bkDown : bkGlyph);
    }
    NotifyChange(false);
}

void TdxDBTreeListButtonColumn::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TdxDBTreeListButtonColumn*>(Source);
    if (!S) {
        TdxDBTreeListDropDownColumn::Assign(Source);
        return;
    }
    InTreeListUpdate(TreeList(), [&] {
        TdxDBTreeListDropDownColumn::Assign(Source);
        SetButtonOnly(S->FButtonOnly);
        SetButtons(S->FButtons);
        SetEditButtonStyle(S->FEditButtonStyle);
        ClickKey = S->ClickKey;
        SetGlyph(S->FGlyph);
        SetHideEditCursor(S->FHideEditCursor);
    });
}

void TdxDBTreeListButtonColumn::RestoreDefaults() {
    TdxDBTreeListDropDownColumn::RestoreDefaults();
    FButtonOnly = false;
    FButtons->ResetAllButtons();
    FButtons->Clear();
    FButtons->Add();
    FEditButtonStyle = ebsEllipsis;
    ClickKey = 16397;
    FGlyph->Assign(nullptr);
    FHideEditCursor = false;
}

void TdxDBTreeListButtonColumn::PrepareViewData(TdxEditViewData* ViewData, const TdxTreeListCellViewData& Cell) {
    TdxDBTreeListDropDownColumn::PrepareViewData(ViewData, Cell);
    auto* B = DynCast<TdxButtonEditViewData>(ViewData);
    if (!B)
        return;
    const bool Shown = !B->HideButtons;
    B->ButtonOnly = Shown && FButtonOnly && FButtons->Count() > 0;
    B->ButtonCollection = Shown ? FButtons : nullptr;
    B->HideEditCursor = FHideEditCursor;
}

void TdxDBTreeListButtonColumn::InitEditProperties(TdxInplaceEdit* Editor) {
    TdxDBTreeListDropDownColumn::InitEditProperties(Editor);
    if (auto* E = dynamic_cast<TdxInplaceButtonEdit*>(Editor)) {
        E->SetButtons(FButtons);
        E->ClickKey = ClickKey;
        E->SetEditViewMode(FButtonOnly ? 2 : FHideEditCursor ? 1 : 0);
        E->OnButtonClick = TdxEditButtonClickEvent::FromFunction([this](TObject*, int I) { DoButtonClick(I); });
    }
}

void TdxDBTreeListButtonColumn::InitFilterEditor(TdxInplaceEdit* Editor) {
    TdxDBTreeListDropDownColumn::InitFilterEditor(Editor);
    if (auto* E = dynamic_cast<TdxInplaceButtonEdit*>(Editor))
        E->OnButtonClick = TdxEditButtonClickEvent();
}

// ---------------------------------------------------------------------------------------------
// Pick and MRU

TdxDBTreeListPickColumn::TdxDBTreeListPickColumn(TComponent* AOwner)
    : TdxDBTreeListDropDownColumn(AOwner), FItems(Create<TStringList>()) {
    ImmediateDropDown = true;
}

TdxDBTreeListPickColumn::~TdxDBTreeListPickColumn() { FItems->Free(); }

void TdxDBTreeListPickColumn::DefineClass(TClassBuilder<TdxDBTreeListPickColumn>& B) {
    using C = TdxDBTreeListPickColumn;
    B.Property("DropDownListStyle", &C::DropDownListStyle, &C::DropDownListStyle).Default(false);
    B.Property("Items", [](C* X) { return static_cast<TStrings*>(X->FItems); }, &C::SetItems);
    B.Property("ItemsSorted", &C::ItemsSorted, &C::ItemsSorted).Default(false);
    B.Property("CanDeleteText", &C::CanDeleteText, &C::CanDeleteText).Default(false);
    B.Property("Revertable", &C::Revertable, &C::Revertable).Default(false);
    B.Property("ImmediateDropDown", [](C* X) { return X->ImmediateDropDown; },
               [](C* X, bool V) { X->ImmediateDropDown = V; });
    B.Property("OnCloseUp", &C::OnCloseUp, &C::OnCloseUp);
}

void TdxDBTreeListPickColumn::SetItems(TStrings* Value) {
    FItems->Assign(Value);
    NotifyChange(false);
}

void TdxDBTreeListPickColumn::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TdxDBTreeListPickColumn*>(Source);
    if (!S) {
        TdxDBTreeListDropDownColumn::Assign(Source);
        return;
    }
    InTreeListUpdate(TreeList(), [&] {
        TdxDBTreeListDropDownColumn::Assign(Source);
        DropDownListStyle = S->DropDownListStyle;
        SetItems(S->FItems);
        ItemsSorted = S->ItemsSorted;
        CanDeleteText = S->CanDeleteText;
        Revertable = S->Revertable;
    });
}

void TdxDBTreeListPickColumn::RestoreDefaults() {
    TdxDBTreeListDropDownColumn::RestoreDefaults();
    DropDownListStyle = false;
    ImmediateDropDown = true;
    CanDeleteText = Revertable = ItemsSorted = false;
}

void TdxDBTreeListPickColumn::DoCloseUp(TObject*, std::string& Value, bool& Accept) {
    Variant V = Value;
    OnCloseUp(this, V, Accept);
    Value = VarToStr(V);
}

void TdxDBTreeListPickColumn::InitEditProperties(TdxInplaceEdit* Editor) {
    TdxDBTreeListDropDownColumn::InitEditProperties(Editor);
    if (auto* E = dynamic_cast<TdxInplacePickEdit*>(Editor)) {
        E->SetDropDownListStyle(DropDownListStyle);
        E->SetItems(FItems);
        E->CanDeleteText = CanDeleteText;
        E->Revertable = Revertable;
        E->SetItemsSorted(ItemsSorted);
    }
}

void TdxDBTreeListPickColumn::InitFilterEditor(TdxInplaceEdit* Editor) {
    TdxDBTreeListDropDownColumn::InitFilterEditor(Editor);
    if (auto* E = dynamic_cast<TdxInplaceDropDownEdit*>(Editor))
        E->ImmediateDropDown = false;
}

TdxDBTreeListMRUColumn::TdxDBTreeListMRUColumn(TComponent* AOwner) : TdxDBTreeListPickColumn(AOwner) {
    ImmediateDropDown = false;
}

void TdxDBTreeListMRUColumn::DefineClass(TClassBuilder<TdxDBTreeListMRUColumn>& B) {
    using C = TdxDBTreeListMRUColumn;
    B.Property("MaxItemCount", &C::MaxItemCount, &C::MaxItemCount).Default(7);
    B.Property("ShowEllipsis", &C::ShowEllipsis, &C::SetShowEllipsis).Default(true);
    B.Property("OnButtonClick", &C::OnButtonClick, &C::OnButtonClick);
}

void TdxDBTreeListMRUColumn::SetShowEllipsis(bool Value) {
    FShowEllipsis = Value;
    NotifyChange(true);
}

void TdxDBTreeListMRUColumn::Assign(TPersistent* Source) {
    TdxDBTreeListPickColumn::Assign(Source);
    if (auto* S = dynamic_cast<TdxDBTreeListMRUColumn*>(Source)) {
        MaxItemCount = S->MaxItemCount;
        SetShowEllipsis(S->FShowEllipsis);
    }
}

void TdxDBTreeListMRUColumn::RestoreDefaults() {
    TdxDBTreeListPickColumn::RestoreDefaults();
    MaxItemCount = 7;
    FShowEllipsis = true;
}

void TdxDBTreeListMRUColumn::PrepareViewData(TdxEditViewData* ViewData, const TdxTreeListCellViewData& Cell) {
    TdxDBTreeListPickColumn::PrepareViewData(ViewData, Cell);
    if (auto* M = DynCast<TdxMRUEditViewData>(ViewData))
        M->ShowEllipsis = FShowEllipsis;
}

void TdxDBTreeListMRUColumn::InitEditProperties(TdxInplaceEdit* Editor) {
    TdxDBTreeListPickColumn::InitEditProperties(Editor);
    if (auto* E = dynamic_cast<TdxInplaceMRUEdit*>(Editor)) {
        E->SetMaxItemCount(MaxItemCount);
        E->SetShowEllipsis(FShowEllipsis);
        E->OnButtonClick = TNotifyEvent::FromFunction([this](TObject*) { DoButtonClick(); });
    }
}

void TdxDBTreeListMRUColumn::AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
    TdxDBTreeListColumn::AssignEditValue(Node, Editor, Value);
    // The list the editor just updated (the value entered on top) serves the next edit.
    if (auto* E = dynamic_cast<TdxInplaceMRUEdit*>(Editor))
        Items()->Assign(E->Items());
}

// ---------------------------------------------------------------------------------------------
// Calc

void TdxDBTreeListCalcColumn::DefineClass(TClassBuilder<TdxDBTreeListCalcColumn>& B) {
    using C = TdxDBTreeListCalcColumn;
    B.Property("BeepOnError", &C::BeepOnError, &C::BeepOnError).Default(true);
    B.Property("ButtonStyle", &C::ButtonStyle, &C::ButtonStyle).Default(bsStandard);
    B.Property("Precision", &C::Precision, &C::Precision).Default(Byte{13});
    B.Property("QuickClose", &C::QuickClose, &C::QuickClose).Default(false);
    B.Property("ShowButtonFrame", &C::ShowButtonFrame, &C::ShowButtonFrame).Default(false);
}

void TdxDBTreeListCalcColumn::Assign(TPersistent* Source) {
    TdxDBTreeListDropDownColumn::Assign(Source);
    if (auto* S = dynamic_cast<TdxDBTreeListCalcColumn*>(Source)) {
        BeepOnError = S->BeepOnError;
        ButtonStyle = S->ButtonStyle;
        Precision = S->Precision;
        QuickClose = S->QuickClose;
        ShowButtonFrame = S->ShowButtonFrame;
    }
}

void TdxDBTreeListCalcColumn::RestoreDefaults() {
    TdxDBTreeListDropDownColumn::RestoreDefaults();
    BeepOnError = true;
    ButtonStyle = bsStandard;
    Precision = 13;
    QuickClose = ShowButtonFrame = false;
}

void TdxDBTreeListCalcColumn::InitEditProperties(TdxInplaceEdit* Editor) {
    TdxDBTreeListDropDownColumn::InitEditProperties(Editor);
    if (auto* E = dynamic_cast<TdxInplaceCalcEdit*>(Editor)) {
        E->BeepOnError = BeepOnError;
        E->ButtonStyle = ButtonStyle;
        E->Precision = Precision;
        E->QuickClose = QuickClose;
        E->ShowButtonFrame = ShowButtonFrame;
    }
}

// ---------------------------------------------------------------------------------------------
// Lookup

void TdxDBTreeListLookupColumn::DefineClass(TClassBuilder<TdxDBTreeListLookupColumn>& B) {
    using C = TdxDBTreeListLookupColumn;
    B.Property("ClearKey", &C::ClearKey, &C::ClearKey).Default(Word{0});
    B.Property("ListFieldIndex", &C::ListFieldIndex, &C::ListFieldIndex).Default(0);
    B.Property("ListFieldName", &C::ListFieldName, &C::ListFieldName);
    B.Property("CanDeleteText", &C::CanDeleteText, &C::CanDeleteText).Default(false);
    B.Property("ListWidth", [](C* X) { return X->DropDownWidth; }, [](C* X, int V) { X->DropDownWidth = V; })
        .Default(0);
    B.Property("OnCloseUp", &C::OnCloseUp, &C::OnCloseUp);
}

void TdxDBTreeListLookupColumn::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TdxDBTreeListLookupColumn*>(Source);
    if (!S) {
        TdxDBTreeListDropDownColumn::Assign(Source);
        return;
    }
    InTreeListUpdate(TreeList(), [&] {
        TdxDBTreeListDropDownColumn::Assign(Source);
        ClearKey = S->ClearKey;
        ListFieldName = S->ListFieldName;
        ListFieldIndex = S->ListFieldIndex;
        CanDeleteText = S->CanDeleteText;
    });
}

void TdxDBTreeListLookupColumn::RestoreDefaults() {
    TdxDBTreeListDropDownColumn::RestoreDefaults();
    ClearKey = 0;
    ListFieldName.clear();
    ListFieldIndex = 0;
    CanDeleteText = false;
}

void TdxDBTreeListLookupColumn::InitEditProperties(TdxInplaceEdit* Editor) {
    TdxDBTreeListDropDownColumn::InitEditProperties(Editor);
    auto* E = DynCast<TdxInplaceLookupEdit>(Editor);
    if (!E)
        return;
    E->ClearKey = ClearKey;
    E->SetEditField(Field());
    E->SetListFieldName(ListFieldName);
    E->CanDeleteText = CanDeleteText;
    E->OnCloseUp = TdxPickColumnCloseUp::Bind<&TdxDBTreeListLookupColumn::DoLookupCloseUp>(this);
}

void TdxDBTreeListLookupColumn::InitFilterEditor(TdxInplaceEdit* Editor) {
    TdxDBTreeListDropDownColumn::InitFilterEditor(Editor);
    if (auto* E = DynCast<TdxInplaceLookupEdit>(Editor)) {
        E->CanDeleteText = true;
        E->OwnKeyValue = true;
        E->OnCloseUp = TdxPickColumnCloseUp();
    }
}

void TdxDBTreeListLookupColumn::DoLookupCloseUp(TObject*, Variant& Value, bool& Accept) {
    if (OnCloseUp)
        OnCloseUp(this, Value, Accept);
}

void TdxDBTreeListLookupColumn::GetFilterEditorValue(TdxInplaceEdit* Editor, Variant& Value, std::string& Text) {
    auto* E = DynCast<TdxInplaceLookupEdit>(Editor);
    if (!E) {
        TdxDBTreeListDropDownColumn::GetFilterEditorValue(Editor, Value, Text);
        return;
    }
    Value = E->LookupKeyValue();
    Text = E->GetMaskedValue();
}

void TdxDBTreeListLookupColumn::SetFilterEditorValue(TdxInplaceEdit* Editor, const Variant& Value) {
    if (auto* E = DynCast<TdxInplaceLookupEdit>(Editor))
        E->SetKeyValue(Value);
    else
        TdxDBTreeListDropDownColumn::SetFilterEditorValue(Editor, Value);
}

TDataLink* TdxInplaceDBTreeListLookupEdit::GetEditorDataLink() {
    auto* T = dynamic_cast<TCustomdxDBTreeListControl*>(Container());
    return T ? T->GetDataLink() : nullptr;
}

void TdxDBTreeListLookupColumn::GetNodeValue(TdxTreeListNode* Node, Variant& Value) {
    Value = ReadNodeVariantData(Node).LookupValue;
}
