#include "sTreeView.h"

#include "sEditParts.h"
#include "sMemo.h"
#include "sMessages.h"
#include "sVclUtils.h"

TsTreeView::TsTreeView(TComponent* AOwner) : TTreeView(AOwner) {
    MakeSkinParts(this, 96, "EDIT", FCommonData, FBoundLabel);
}

TsTreeView::~TsTreeView() { FreeAndNil(FCommonData); }

void TsTreeView::AfterConstruction() {
    TTreeView::AfterConstruction();
    FCommonData->AfterOwnerLoaded();
}

void TsTreeView::BeforeDestruction() {
    // The hook gives the window procedure back before the window goes; the label control is owned
    // by this view and goes with the bound label, before the owned components are freed.
    FreeAndNil(FTreeHook);
    FreeAndNil(FBoundLabel);
    TTreeView::BeforeDestruction();
}

void TsTreeView::DefineClass(TClassBuilder<TsTreeView>& B) {
    B.Property("BoundLabel", &TsTreeView::BoundLabel, &TsTreeView::SetBoundLabel);
    B.Property("SkinData", &TsTreeView::SkinData, &TsTreeView::SetSkinData);
}

void TsTreeView::SetSkinData(TsCommonData* Value) {
    if (Value && Value != FCommonData)
        FCommonData->Assign(Value);
}

void TsTreeView::SetBoundLabel(TsBoundLabel* Value) {
    if (Value && Value != FBoundLabel)
        FBoundLabel->Assign(Value);
}

void TsTreeView::TakeSkinColors() {
    const TsGeneralData& S = FCommonData->Section();
    if (!FCommonData->CustomColor())
        SetColor(S.Color);
    if (!FCommonData->CustomFont())
        Font()->SetColor(S.FontColor[0]);
}

void TsTreeView::Loaded() {
    TTreeView::Loaded();
    FCommonData->AfterOwnerLoaded();
    if (FCommonData->IsSkinned(false))
        TakeSkinColors();
    RefreshTreeViewWnd(FCommonData, FTreeHook);
}

bool TsTreeView::LibraryCommand(TMessage& Message) {
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
        FreeAndNil(FTreeHook);
        HandleCommonMessage(Message, FCommonData);
        if (!FCommonData->CustomColor())
            SetColor(clWindow);
        if (!FCommonData->CustomFont())
            Font()->SetColor(clWindowText);
        return true;
    case SKIN_REFRESH:
        if (!OwnManager)
            return false;
        HandleCommonMessage(Message, FCommonData);
        if (FCommonData->IsSkinned(false))
            TakeSkinColors();
        RefreshTreeViewWnd(FCommonData, FTreeHook);
        return true;
    case SKIN_ENDUPDATE:
        if (!FCommonData->IsUpdating())
            return false;
        FCommonData->SetInUpdate(false);
        Perform(WM_NCPAINT, 0, 0);
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

void TsTreeView::WndProc(TMessage& Message) {
    if (!FCommonData) {  // the skin data has gone with the control
        TTreeView::WndProc(Message);
        return;
    }
    if (Message.Msg == SM_ALPHACMD && LibraryCommand(Message))
        return;
    if (IsControlReady(this)) {
        if (FCommonData->IsSkinned(false)) {
            switch (Message.Msg) {
            case WM_MOVE:
            case CM_VISIBLECHANGED:
            case CM_ENABLEDCHANGED:
                FCommonData->BackgroundStale = true;
                break;
            case WM_SETREDRAW:
                FCommonData->SetInUpdate(Message.WParam != 1);
                break;
            default:
                break;
            }
        }
        HandleCommonMessage(Message, FCommonData);
        TTreeView::WndProc(Message);
        if (Message.Msg == CM_SHOWINGCHANGED)
            RefreshTreeViewWnd(FCommonData, FTreeHook);
    } else {
        TTreeView::WndProc(Message);
    }
    if (Message.Msg == CM_BIDIMODECHANGED && FBoundLabel && FBoundLabel->TheLabel)
        FBoundLabel->TheLabel->SetBiDiMode(BiDiMode());
    BoundLabelMessage(FBoundLabel, this, TsDisabledKind{}, Message);
}

void sTreeViewInitialization() { RegisterClass(TsTreeView::StaticClass()); }
