#include "sRichEdit.h"

#include "sEditParts.h"
#include "sMemo.h"
#include "sMessages.h"
#include "sPaintServices.h"
#include "sVclUtils.h"

TsRichEdit::TsRichEdit(TComponent* AOwner) : TRichEdit(AOwner) {
    MakeSkinParts(this, 7, "EDIT", FCommonData, FBoundLabel, false);
    Perform(EM_EXLIMITTEXT, 0, 0x7FFFFFF0);
}

TsRichEdit::~TsRichEdit() { FreeAndNil(FCommonData); }

void TsRichEdit::AfterConstruction() {
    TRichEdit::AfterConstruction();
    FCommonData->ApplyDefaultSection();
}

void TsRichEdit::BeforeDestruction() {
    FreeAndNil(FEditWnd);
    FreeAndNil(FBoundLabel);
    TRichEdit::BeforeDestruction();
}

void TsRichEdit::Loaded() {
    TRichEdit::Loaded();
    FCommonData->AfterOwnerLoaded();
}

void TsRichEdit::DefineClass(TClassBuilder<TsRichEdit>& B) {
    B.Property("BoundLabel", &TsRichEdit::BoundLabel, &TsRichEdit::SetBoundLabel);
    B.Property("SkinData", &TsRichEdit::SkinData, &TsRichEdit::SetSkinData);
    B.Property("DisabledKind", &TsRichEdit::DisabledKind, &TsRichEdit::SetDisabledKind)
        .Default(TsDisabledKind{dkBlended});
}

void TsRichEdit::SetSkinData(TsCommonData* Value) { AssignSkinData(FCommonData, Value); }
void TsRichEdit::SetBoundLabel(TsBoundLabel* Value) { AssignBoundLabel(FBoundLabel, Value); }
void TsRichEdit::SetDisabledKind(TsDisabledKind Value) { ChangeDisabledKind(FDisabledKind, Value, FCommonData); }

bool TsRichEdit::LibraryCommand(TMessage& Message) {
    bool OwnManager = Message.LParam == reinterpret_cast<LPARAM>(FCommonData->GetSkinManager());
    switch (SkinCommandOf(Message.WParam)) {
    case SKIN_LOADED:
        if (!OwnManager)
            return false;
        HandleCommonMessage(Message, FCommonData);
        return true;
    case SKIN_REMOVED:
        if (!OwnManager || ComponentState().Contains(csDestroying))
            return false;
        FreeAndNil(FEditWnd);
        HandleCommonMessage(Message, FCommonData);
        if (!FCommonData->CustomFont())
            DefAttributes()->SetColor(Font()->Color());
        RecreateWnd();
        return true;
    case SKIN_REFRESH:
        if (!OwnManager || !Visible())
            return false;
        HandleCommonMessage(Message, FCommonData);
        if (FCommonData->IsSkinned(false) && !FCommonData->CustomFont() &&
            DefAttributes()->Color() != FCommonData->Section().FontColor[0])
            DefAttributes()->SetColor(FCommonData->Section().FontColor[0]);
        RefreshEditWnd(FCommonData, FEditWnd);
        if (HandleAllocated())
            SendMessageA(Handle(), WM_NCPAINT, 0, 0);
        return true;
    case SKIN_ISSKINNED:
        Message.Result = 1;
        return true;
    case SKIN_GETDISABLEDKIND:
        // The hook's frame painter reads it right after it asks.
        SharedDisabledKind = FDisabledKind;
        return false;
    case SKIN_GETAPPLICATION:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return true;
    default:
        return false;
    }
}

void TsRichEdit::TakeEnabledColors() {
    if (FCommonData->CustomColor())
        return;
    const TsGeneralData& S = FCommonData->Section();
    SetColor(S.Color);
    Font()->SetColor(Enabled() ? S.FontColor[0] : HalfMixColors(ColorToRGB(S.FontColor[0]), ColorToRGB(Color())));
    DefAttributes()->SetColor(Font()->Color());
}

void TsRichEdit::SkinnedMessage(TMessage& Message) {
    if (Message.Msg == SM_ALPHACMD && SkinCommandOf(Message.WParam) == SKIN_ENDUPDATE && FCommonData->IsUpdating()) {
        FCommonData->SetInUpdate(false);
        Perform(WM_NCPAINT, 0, 0);
        return;
    }
    HandleCommonMessage(Message, FCommonData);
    TRichEdit::WndProc(Message);
    switch (Message.Msg) {
    case WM_SIZE:
    case EM_STREAMIN:
        SendMessageA(Handle(), WM_NCPAINT, 0, 0);
        break;
    case WM_PRINT:
        SetControlState(ControlState() + TControlState{csPaintCopy});
        SendMessageA(Handle(), WM_PAINT, Message.WParam, 0);
        SetControlState(ControlState() - TControlState{csPaintCopy});
        break;
    case CM_ENABLEDCHANGED:
        TakeEnabledColors();
        FCommonData->Invalidate();
        break;
    case CM_SHOWINGCHANGED:
        RefreshEditWnd(FCommonData, FEditWnd);
        break;
    default:
        break;
    }
}

void TsRichEdit::WndProc(TMessage& Message) {
    if (!FCommonData) {  // the skin data has gone with the control
        TRichEdit::WndProc(Message);
        return;
    }
    if (Message.Msg == SM_ALPHACMD && LibraryCommand(Message))
        return;
    if (IsControlReady(this) && FCommonData->IsSkinned(false))
        SkinnedMessage(Message);
    else
        TRichEdit::WndProc(Message);
    BoundLabelMessage(FBoundLabel, this, FDisabledKind, Message);
}

void sRichEditInitialization() { RegisterClass(TsRichEdit::StaticClass()); }
