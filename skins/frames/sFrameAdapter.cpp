#include "sFrameAdapter.h"

#include "Menus.h"
#include "acSBUtils.h"
#include "sDCUtils.h"
#include "sMessages.h"
#include "sPaintServices.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"
#include "sVclUtils.h"

namespace {
constexpr int FrameControlKind = 226;

TComponent* RequireFrame(TComponent* AOwner) {
    if (!DynCast<TCustomFrame>(AOwner))
        throw Exception(FrameAdapterConsts::SFrameAdapterOwner);
    return AOwner;
}
}  // namespace

TsFrameAdapter::TsFrameAdapter(TComponent* AOwner) : TComponent(RequireFrame(AOwner)) {
    Frame = DynCast<TCustomFrame>(AOwner);
    SkinData = Create<TsCommonData>(this, true);
    if (SkinData->SkinSection().empty() || SkinData->SkinSection() == "UNKNOWN" || SkinData->SkinSection() == "TSFRAMEADAPTER")
        SkinData->SetSkinSection("GROUPBOX");
    SkinData->ControlKind = FrameControlKind;
    SkinData->HostControl = Frame;
    OldFrameProc = Frame->WindowProc;
    Frame->WindowProc = TWndMethod::Bind<&TsFrameAdapter::FrameWndProc>(this);
}

TsFrameAdapter::~TsFrameAdapter() {
    FreeAndNil(ScrollWnd);
    if (Frame && OldFrameProc)
        Frame->WindowProc = OldFrameProc;
    Frame = nullptr;
    FreeAndNil(SkinData);
}

void TsFrameAdapter::DefineClass(TClassBuilder<TsFrameAdapter>& B) {
    B.Property("SkinData", [](TsFrameAdapter* A) { return A->SkinData; });
}

void TsFrameAdapter::AfterConstruction() {
    TComponent::AfterConstruction();
    if (!Frame->HandleAllocated() || AnswersSkinCommand(Frame->Handle(), SKIN_ISSKINNED))
        SkinData->RefreshSkinIndexes();
}

void TsFrameAdapter::Loaded() {
    TComponent::Loaded();
    TsSkinManager* M = SkinData->GetSkinManager();
    if (!M)
        return;
    SkinData->RefreshSkinIndexes();
    if (!M->SkinData->SkinActive || ComponentState().Contains(csDesigning))
        return;
    HookPopupMenus(M);
    if (Skinned())
        AskFormToAdapt();
}

// The frame's own context menus are drawn by the skinned menus like the form's.
void TsFrameAdapter::HookPopupMenus(TsSkinManager* M) {
    if (!M->SkinnedPopups || !M->SkinableMenus)
        return;
    for (int I = 0; I < Frame->ComponentCount(); ++I)
        if (auto* Menu = DynCast<TPopupMenu>(Frame->Components(I)))
            M->SkinableMenus->HookMenu(Menu, true);
}

bool TsFrameAdapter::Skinned() const {
    TsSkinManager* M = SkinData ? SkinData->GetSkinManager() : nullptr;
    return Frame && !ComponentState().Contains(csDestroying) && !Frame->ComponentState().Contains(csDestroying) && M &&
           M->SkinData->SkinActive && SkinData->IsSkinned(false);
}

// The commands answered in every state; True when the message is done.
bool TsFrameAdapter::Command(TMessage& Message) {
    TsSkinManager* M = SkinData->GetSkinManager();
    const bool Own = M && Message.LParam == reinterpret_cast<LPARAM>(M);
    switch (SkinCommandOf(Message.WParam)) {
    case SKIN_LOADED:
        if (!Own)
            return false;
        BroadcastToSkinnedChildren(Frame, Message);
        SkinData->RefreshSkinIndexes();
        SkinData->BackgroundStale = true;
        HookPopupMenus(M);
        return true;
    case SKIN_REMOVED:
        if (!Own)
            return false;
        FreeAndNil(ScrollWnd);
        SkinData->RefreshSkinIndexes();
        BroadcastToSkinnedChildren(Frame, Message);
        if (Frame->HandleAllocated()) {
            SetWindowPos(Frame->Handle(), nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            RedrawWindow(Frame->Handle(), nullptr, nullptr, 0x585);
        }
        return true;
    case SKIN_REFRESH:
        if (!Own)
            return false;
        SkinData->RefreshSkinIndexes();
        SkinData->BackgroundStale = true;
        BroadcastToSkinnedChildren(Frame, Message);
        if (Frame->HandleAllocated())
            RedrawWindow(Frame->Handle(), nullptr, nullptr, 0x585);
        UpdateScrollHook();
        return true;
    case SKIN_ISSKINNED:
        Message.Result = 1;
        return true;
    case SKIN_GETSECTIONINDEX:
        *reinterpret_cast<int*>(Message.LParam) = SkinData->SectionIndex;
        return true;
    case SKIN_GETBACKGROUND:
        SkinData->FillParentBackgroundInfo(*reinterpret_cast<ParentBackgroundInfo*>(Message.LParam), 0,
                                           Frame->HandleAllocated() ? Frame->Handle() : nullptr);
        return true;
    case SKIN_GETAPPLICATION:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return true;
    default:
        return false;
    }
}

void TsFrameAdapter::FrameWndProc(TMessage& Message) {
    if (Message.Msg == SM_ALPHACMD && Command(Message))
        return;
    if (!Skinned()) {
        OldFrameProc(Message);
        return;
    }
    if (Message.Msg == SM_ALPHACMD) {
        if (!HandleCommonMessage(Message, SkinData))
            OldFrameProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_MOVE:
    case WM_SIZE:
        SkinData->BackgroundStale = SkinData->BackgroundStale || Message.Msg == WM_SIZE || SkinData->MustRepaintOnMove();
        if (Message.Msg == WM_SIZE && Frame->HandleAllocated())
            InvalidateRect(Frame->Handle(), nullptr, TRUE);
        OldFrameProc(Message);
        return;
    case WM_PAINT:
        if (!Frame->Parent()) {
            OldFrameProc(Message);
            return;
        }
        PaintWindow(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 0;
        return;
    case WM_ERASEBKGND:
        if (!Frame->Showing()) {
            OldFrameProc(Message);
            return;
        }
        if (!AnimationInProgress)
            PaintBackground(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 1;
        return;
    case WM_NCPAINT:
        SkinData->InUpdate = SkinData->IsUpdating();
        Message.Result = 0;
        return;
    case WM_PRINT: {
        SkinData->SetInUpdate(false);
        HDC DC = reinterpret_cast<HDC>(Message.WParam);
        if (!IsControlReady(Frame)) {
            OldFrameProc(Message);
            return;
        }
        PaintBackground(DC);
        if (ScrollWnd && DC)
            ScrollWnd->PaintScrollBars(Frame->Handle(), 0, DC, -1);
        return;
    }
    case WM_PARENTNOTIFY: {
        const Word Event = LOWORD(Message.WParam);
        if ((Event != WM_CREATE && Event != WM_DESTROY) || ComponentState().Contains(csLoading) ||
            Frame->ControlState().Contains(csCreating)) {
            OldFrameProc(Message);
            return;
        }
        if (Event == WM_CREATE && Frame->HandleAllocated()) {
            SkinData->RefreshSkinIndexes();
            AskFormToAdapt();
        }
        OldFrameProc(Message);
        UpdateScrollHook();
        if (ScrollWnd)
            ScrollWnd->UpdateScrollInfo(true);
        return;
    }
    case CM_SHOWINGCHANGED:
        OldFrameProc(Message);
        UpdateScrollHook();
        AskFormToAdapt();
        return;
    case CM_MOUSEENTER:
        OldFrameProc(Message);
        LeaveOtherSpeedButtons(Frame, reinterpret_cast<TControl*>(Message.LParam));
        if (DefaultManager && Frame->HandleAllocated())
            DefaultManager->SetHotWindow(Frame->Handle());
        return;
    default:
        OldFrameProc(Message);
        return;
    }
}

void TsFrameAdapter::AskFormToAdapt() {
    TsSkinManager* M = SkinData->GetSkinManager();
    if (M && M->SkinningRules.Contains(srThirdParty))
        AskFormToAdaptControl(Frame);
}

void TsFrameAdapter::PaintWindow(HDC GivenDC) {
    PAINTSTRUCT PS;
    HWND H = Frame->Handle();
    BeginPaint(H, &PS);
    HDC DC = GivenDC ? GivenDC : GetDC(H);
    if (SkinData->NeedsSkinPaint()) {
        SkinData->InUpdate = SkinData->IsUpdating();
        if (!SkinData->InUpdate)
            PaintBackground(DC);
    }
    if (!GivenDC)
        ReleaseDC(H, DC);
    EndPaint(H, &PS);
}

void TsFrameAdapter::PrepareCache() {
    SkinData->PrepareCacheBitmap();
    SkinData->CacheBitmap->SetSize(Frame->Width(), Frame->Height());
    BackgroundSource Background = EmptyBackgroundSource;
    SkinData->GetParentBackgroundSource(Background);
    PaintControlSkin(SkinData, Background, true, true, 0, SkinData->CacheBitmap, TPoint{Frame->Left(), Frame->Top()},
                     TRect{0, 0, Frame->Width(), Frame->Height()});
    SkinData->BackgroundStale = false;
}

void TsFrameAdapter::PaintBackground(HDC DC) {
    if (!DC)
        return;
    const TRect R{0, 0, Frame->Width(), Frame->Height()};
    if (SkinData->NeedsSkinPaint()) {
        SkinData->SetInUpdate(SkinData->IsUpdating());
        if (SkinData->InUpdate)
            return;
        if (SkinData->BackgroundStale || !SkinData->CacheBitmap || SkinData->CacheBitmap->Width() != R.Width())
            PrepareCache();
        CopyCacheClipControls(Frame, SkinData, TPoint{0, 0}, 0, 0, false, DC, R);
        return;
    }
    SkinData->SetInUpdate(false);
    FillRectSolid(DC, R, SkinData->GetBackgroundColor(0, Frame->Handle()));
}

void TsFrameAdapter::UpdateScrollHook() {
    if (!Frame || ComponentState().Contains(csDestroying))
        return;
    RefreshScrollWnd(SkinData, ScrollWnd);
}
