#include "sMemo.h"

#include "sEditParts.h"
#include "sMessages.h"
#include "sVclUtils.h"

namespace {
void RedrawFrame(HWND Wnd) { RedrawWindow(Wnd, nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE); }
}  // namespace

void BoundLabelMessage(TsBoundLabel* BoundLabel, TControl* Host, TsDisabledKind DisabledKind, const TMessage& Message) {
    if (!BoundLabel || !BoundLabel->TheLabel)
        return;
    TCustomLabel* L = BoundLabel->TheLabel;
    switch (Message.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
    case CM_BIDIMODECHANGED:
        break;
    case CM_VISIBLECHANGED:
        L->SetVisible(Host->Visible());
        break;
    case CM_ENABLEDCHANGED:
        // The label greys out with its host only when the host fades when disabled.
        L->SetEnabled(Host->Enabled() || !DisabledKind.Contains(dkBlended));
        break;
    default:
        return;
    }
    BoundLabel->PlaceLabel();
}

TsMemo::TsMemo(TComponent* AOwner) : TMemo(AOwner) {
    SetControlStyle(ControlStyle() - TControlStyle{csOpaque});
    MakeSkinParts(this, 7, "EDIT", FCommonData, FBoundLabel);
}

TsMemo::~TsMemo() { FreeAndNil(FCommonData); }

void TsMemo::AfterConstruction() {
    TMemo::AfterConstruction();
    FCommonData->AfterOwnerLoaded();
}

void TsMemo::BeforeDestruction() {
    // The hook gives the window procedure back before the window goes; the label control is owned
    // by this memo and goes with the bound label, before the owned components are freed.
    FreeAndNil(FEditWnd);
    FreeAndNil(FBoundLabel);
    TMemo::BeforeDestruction();
}

void TsMemo::Loaded() {
    TMemo::Loaded();
    FCommonData->AfterOwnerLoaded();
    RefreshEditWnd(FCommonData, FEditWnd);
}

void TsMemo::DefineClass(TClassBuilder<TsMemo>& B) {
    B.Property("OnScrollCaret", &TsMemo::OnScrollCaret, &TsMemo::OnScrollCaret);
    B.Property("OnVScroll", &TsMemo::OnVScroll, &TsMemo::OnVScroll);
    B.Property("BoundLabel", &TsMemo::BoundLabel, &TsMemo::SetBoundLabel);
    B.Property("SkinData", &TsMemo::SkinData, &TsMemo::SetSkinData);
    B.Property("DisabledKind", &TsMemo::DisabledKind, &TsMemo::SetDisabledKind).Default(TsDisabledKind{dkBlended});
}

void TsMemo::SetSkinData(TsCommonData* Value) { AssignSkinData(FCommonData, Value); }
void TsMemo::SetBoundLabel(TsBoundLabel* Value) { AssignBoundLabel(FBoundLabel, Value); }
void TsMemo::SetDisabledKind(TsDisabledKind Value) { ChangeDisabledKind(FDisabledKind, Value, FCommonData); }

bool TsMemo::LibraryCommand(TMessage& Message) {
    bool OwnManager = Message.LParam == reinterpret_cast<LPARAM>(FCommonData->GetSkinManager());
    switch (SkinCommandOf(Message.WParam)) {
    case SKIN_LOADED:
        if (!OwnManager)
            return false;
        HandleCommonMessage(Message, FCommonData);
        return true;
    case SKIN_REMOVED:
        if (!OwnManager)
            return false;
        FreeAndNil(FEditWnd);
        HandleCommonMessage(Message, FCommonData);
        RecreateWnd();
        return true;
    case SKIN_REFRESH:
        if (!OwnManager)
            return false;
        HandleCommonMessage(Message, FCommonData);
        RefreshEditWnd(FCommonData, FEditWnd);
        if (HandleAllocated())
            RedrawFrame(Handle());
        return true;
    case SKIN_ISSKINNED:
        Message.Result = 1;
        return true;
    case SKIN_GETAPPLICATION:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return true;
    default:
        return false;
    }
}

void TsMemo::SkinnedMessage(TMessage& Message) {
    if (Message.Msg == WM_PAINT) {
        FCommonData->SetInUpdate(FCommonData->IsUpdating());
        if (FCommonData->InUpdate) {
            PAINTSTRUCT PS;
            BeginPaint(Handle(), &PS);
            EndPaint(Handle(), &PS);
        } else {
            TMemo::WndProc(Message);
        }
        return;
    }
    HandleCommonMessage(Message, FCommonData);
    TMemo::WndProc(Message);
    switch (Message.Msg) {
    case WM_SETFONT:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
        FCommonData->Invalidate();
        break;
    case EM_SCROLLCARET:
        if (OnScrollCaret)
            OnScrollCaret(this);
        break;
    case WM_VSCROLL:
        if (OnVScroll)
            OnVScroll(this);
        break;
    case CM_TEXTCHANGED:
    case CM_CHANGED:
        if (FEditWnd)
            FEditWnd->UpdateScrollInfo(true);
        break;
    case CM_SHOWINGCHANGED:
        RefreshEditWnd(FCommonData, FEditWnd);
        break;
    default:
        break;
    }
}

void TsMemo::WndProc(TMessage& Message) {
    if (!FCommonData) {  // the skin data has gone with the control
        TMemo::WndProc(Message);
        return;
    }
    if (Message.Msg == CM_FONTCHANGED && Showing() && HandleAllocated())
        RedrawFrame(Handle());
    if (Message.Msg == SM_ALPHACMD && LibraryCommand(Message))
        return;
    if (IsControlReady(this) && FCommonData->IsSkinned(false))
        SkinnedMessage(Message);
    else
        TMemo::WndProc(Message);
    BoundLabelMessage(FBoundLabel, this, FDisabledKind, Message);
}

void sMemoInitialization() { RegisterClass(TsMemo::StaticClass()); }
