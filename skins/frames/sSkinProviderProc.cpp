// The provider's window procedure: library commands, the unskinned path, and the skinned handling
// of sizing, painting, activation, non-client input and system commands.
#include "sSkinProvider.h"

#include "Messages.h"
#include "acBorderForm.h"
#include "acCtrlAdapter.h"
#include "acSBUtils.h"
#include "acntUtils.h"
#include "sDCUtils.h"
#include "sFade.h"
#include "sMDIForm.h"
#include "sPaintServices.h"
#include "sSkinManager.h"
#include "sSkinMenus.h"
#include "sSpeedButton.h"
#include "sStyleSimply.h"
#include "sSystemMenu.h"

namespace {
// A fade that cannot reach its end (its control disabled or hidden meanwhile) must not keep the
// session from ending: the wait gives up after this long.
constexpr ULONGLONG FadeWaitLimit = 2000;

// Set in the skin data's Flags when the menu changed while the form was updating; the change is
// replayed when the update ends.
constexpr Word MenuChangePendingFlag = 0x400;
// The notification of a tab control that switched pages.
constexpr UINT TabSelChange = static_cast<UINT>(-551);

int SignedLow(LPARAM L) { return static_cast<short>(LOWORD(L)); }
int SignedHigh(LPARAM L) { return static_cast<short>(HIWORD(L)); }

// Set while a press on the frame asks for SC_MOVE or SC_SIZE to start an rmBorder drag: that command
// starts the rubber band instead of the system's own move and size loop.
bool BorderDragPress = false;
}  // namespace

void EndRunningFades() {
    FadingBlocked = true;
    const ULONGLONG Start = GetTickCount64();
    while (FadeTimerCount > 0 && GetTickCount64() - Start < FadeWaitLimit) {
        Application->ProcessMessages();
        if (FadeTimerCount > 0)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void TsSkinProvider::NewWndProc(TMessage& Message) {
    if (Message.Msg == SM_ALPHACMD && SkinCommand(Message))
        return;
    if (!Form->ComponentState().Contains(csDestroying) && IsSkinned())
        SkinnedProc(Message);
    else
        UnskinnedProc(Message);
}

// Stage A: the commands answered skinned or not; true when the message ends here.
bool TsSkinProvider::SkinCommand(TMessage& Message) {
    const bool Destroying = Form->ComponentState().Contains(csDestroying);
    switch (SkinCommandOf(Message.WParam)) {
        case SKIN_LOADED:
            if (!Destroying && reinterpret_cast<LPARAM>(FSkinData->GetSkinManager()) == Message.LParam &&
                !SystemMenu)
                PrepareForm();
            return false;
        case SKIN_REMOVED:
            RemoveSkin(Message);
            return true;
        case SKIN_ISSKINNED:
            Message.Result = 1;
            return true;
        case SKIN_NOTIFYUPDATEEND:
            if (FSkinData->Flags & MenuChangePendingFlag) {
                FSkinData->Flags &= ~MenuChangePendingFlag;
                Form->Perform(CM_MENUCHANGED, 0, 0);
            }
            return false;
        case SKIN_GETBACKGROUND: {
            auto* Info = reinterpret_cast<ParentBackgroundInfo*>(Message.LParam);
            if (!Info)
                return true;
            Info->X = Info->Y = 0;
            if (FSkinData->BackgroundStale && !FSkinData->IsUpdating() && FSkinData->NeedsSkinPaint())
                PrepareFormImage();
            if (Info->PaintNow) {
                Info->X += GetClientOffsetX();
                Info->Y += GetClientOffsetY();
            }
            FSkinData->FillParentBackgroundInfo(*Info, FormActive ? 1 : 0, nullptr);
            if (Info->Kind == 2 && !Info->PaintNow && !Info->Bmp) {
                PrepareFormImage();
                Info->Bmp = FSkinData->CacheBitmap;
            }
            if (!Form->Parent()) {
                Info->X += GetClientOffsetX();
                Info->Y += GetClientOffsetY();
            }
            return true;
        }
        case SKIN_FLAGS:
            Message.Result = FSkinData->Flags;
            return true;
        case SKIN_GETAPPLICATION:
            Message.Result = reinterpret_cast<LRESULT>(Application);
            return true;
        case SKIN_GETCLIENTOFFSET:
            Message.Result = MAKELONG(GetClientOffsetX(), GetClientOffsetY());
            return true;
        default:
            return false;
    }
}

void TsSkinProvider::RemoveSkin(TMessage& Message) {
    if (Message.LParam != reinterpret_cast<LPARAM>(FSkinData->GetSkinManager())) {
        BroadcastToSkinnedChildren(Form, Message);
        return;
    }
    FreeScrollHook();
    if (Form->HandleAllocated())
        DisableDwmTransitions(Form->Handle(), false);
    RemoveAdapter();
    HandleSkinCommand(Message, FSkinData);
    MenuLines = -1;
    TitleIndex = -1;
    CaptionIndex = -1;
    BroadcastToSkinnedChildren(Form, Message);
    if (Form->ComponentState().Contains(csDestroying))
        return;
    StopButtonAnimations();
    if (FSkinData->GetSkinManager()) {
        FreeMenuBackgrounds();
        SkinMenus(false);
        UpdateSysMenuStyle(false);
        UpdateMDIHelper(false);
        RebuildMenu();
        if (HasBorder() && Form->HandleAllocated())
            SetWindowRgn(Form->Handle(), nullptr, TRUE);
        UpdateBorderForm(false);
    }
    for (int I = 0; I < Form->ControlCount(); ++I)
        if (auto* L = DynCast<TLabel>(Form->Controls(I)))
            L->Font()->SetColor(clWindowText);
    if (FUseGlobalColor && !FSkinData->CustomColor())
        Form->SetColor(clBtnFace);
    FreeAndNil(FSkinData->CacheBitmap);
    if (Form->HandleAllocated())
        RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TsSkinProvider::UnskinnedProc(TMessage& Message) {
    if (Message.Msg == SM_ALPHACMD) {
        Word Code = SkinCommandOf(Message.WParam);
        if (Code == SKIN_LOADED && !Form->ComponentState().Contains(csDestroying)) {
            if (Message.LParam != reinterpret_cast<LPARAM>(FSkinData->GetSkinManager()))
                return;
            FSkinData->RefreshSkinIndexes();
            TitleIndex = -1;
            TitleIndex = TitleSkinIndex();
            TsSkinManager* M = FSkinData->GetSkinManager();
            CaptionIndex = M ? M->FindSectionIndex("CAPTION") : -1;
            if (M) {
                FreeMenuBackgrounds();
                UpdateButtonImages();
                UpdateSysMenuStyle(FSkinData->IsSkinned(false));
                if (!M->ComponentState().Contains(csLoading))
                    SkinMenus(true);
                FSkinData->BackgroundStale = true;
                MenuLines = -1;
                ApplyMainColor();
                if (Form->HandleAllocated())
                    DisableDwmTransitions(Form->Handle(), true);
            }
            InitAdapter();
            return;
        }
        if (Code == SKIN_GETPROVIDER) {
            Message.Result = reinterpret_cast<LRESULT>(static_cast<TObject*>(this));
            return;
        }
    }
    CallOld(Message);
    if (Message.Msg == CM_MOUSEWHEEL)
        HandleMouseWheel(Message);
    if (Message.Msg == WM_NCDESTROY && IsMDIChild())
        MDIChildDestroyed();
    if (Message.Msg == WM_WINDOWPOSCHANGED && (reinterpret_cast<WINDOWPOS*>(Message.LParam)->flags & SWP_HIDEWINDOW) &&
        !Form->ComponentState().Contains(csDestroying) && FormHideAnimated())
        PlayHideAnimation();
}

void TsSkinProvider::SkinnedProc(TMessage& Message) {
    TsSkinManager* M = FSkinData->GetSkinManager();
    const bool Showing = Form->Showing();
    if (Message.Msg == SM_ALPHACMD) {
        const bool Ours = Message.LParam == reinterpret_cast<LPARAM>(M);
        switch (SkinCommandOf(Message.WParam)) {
            case SKIN_LOADED:
                if (!Ours)
                    break;
                FSkinData->RefreshSkinIndexes();
                TitleIndex = -1;
                TitleIndex = TitleSkinIndex();
                CaptionIndex = M->FindSectionIndex("CAPTION");
                FreeMenuBackgrounds();
                UpdateButtonImages();
                UpdateSysMenuStyle(FDrawNonClientArea);
                if (TsSkinableMenus* Menus = SkinableMenusOf(M))
                    Menus->UpdateActive();
                FSkinData->BackgroundStale = true;
                MenuLines = -1;
                if (Form->HandleAllocated())
                    SendMessageA(Form->Handle(), WM_NCPAINT, 0, 0);
                UpdateMDIHelper(true);
                break;
            case SKIN_REFRESH:
                if (!Ours)
                    break;
                InitAdapter();
                if (FDrawNonClientArea)
                    RefreshScrollHook();
                if (Form->Parent() && Form->FormStyle() != fsMDIChild)
                    FSkinData->Flags &= ~PlainBackgroundFlag;
                MenuLines = -1;
                if (!M->ComponentState().Contains(csLoading)) {
                    RebuildMenu();
                    SkinMenus(IsSkinned());
                }
                if (HasBorder())
                    RegionChanged = true;
                if (Form->Visible()) {
                    FSkinData->BackgroundStale = true;
                    UpdateBorderForm(M->GetExtendedBorders());
                }
                if (!AnimationInProgress && Form->HandleAllocated())
                    RedrawWindow(Form->Handle(), nullptr, nullptr, 0x545);
                ApplyMainColor();
                FSkinData->SetInUpdate(false);
                if (SystemMenu)
                    SystemMenu->SkinChanged();
                AdapterCommand(Message);
                UpdateBorder(true);
                UpdateMDIHelper(true);
                break;
            case SKIN_GETPROVIDER:
                Message.Result = reinterpret_cast<LRESULT>(static_cast<TObject*>(this));
                break;
            case SKIN_SETUPDATING:
                FSkinData->SetInUpdate(LOWORD(Message.WParam) == 1);
                if (FSkinData->IsUpdating())
                    FSkinData->BackgroundStale = true;
                break;
            case SKIN_SETREPAINTONMOVE:
                HandleCommonMessage(Message, FSkinData);
                if (FSkinData->RepaintOnMove)
                    PrepareFormImage();
                break;
            case SKIN_BEFORESCROLL:
            case SKIN_AFTERSCROLL:
                HandleScrollCommand(Message);
                break;
            case SKIN_GETSTALE:
                Message.Result =
                    !AnimationInProgress && FSkinData->NeedsSkinPaint() && FSkinData->InUpdate ? 1 : 0;
                break;
            case SKIN_REPAINTNOW:
                if (BorderForm && Form->FormState().Contains(fsModal))
                    UpdateBorder(false);
                break;
            case SKIN_GETNONUNIFORM: {
                const TsGeneralData& S = FSkinData->Section();
                Message.LParam = Message.Result = S.GradientPercent + S.ImagePercent > 0 ? 1 : 0;
                break;
            }
            case SKIN_GETBGCOLOR:
                Message.Result = FormColor();
                break;
            case SKIN_REFRESHBORDER:
                UpdateBorder(false);
                break;
            case SKIN_ADAPTCHILDREN:
                if (Adapter && Form->HandleAllocated() && !Form->ComponentState().Contains(csLoading)) {
                    if (auto* C = reinterpret_cast<TControl*>(Message.LParam)) {
                        if (Adapter->IsControlSupported(C))
                            Adapter->AddNewItem(C, "");
                    } else
                        Adapter->AdaptControls(nullptr);
                }
                break;
            default:
                break;
        }
        return;
    }
    if (MDIMessage(Message))
        return;
    switch (Message.Msg) {
        case WM_CREATE:
            if (IsMDIChild()) {
                MDIChildCreate(Message);
                return;
            }
            CallOld(Message);
            PrepareForm();
            return;
        case WM_NCCREATE:
            CallOld(Message);
            PrepareForm();
            return;
        case WM_MOVE:
            StopButtonAnimations();
            CallOld(Message);
            return;
        case WM_SIZE:
            HandleSize(Message);
            return;
        case WM_SETREDRAW:
            CoverLock = Message.WParam == 1 ? std::max(0, CoverLock - 1) : CoverLock + 1;
            CallOld(Message);
            return;
        case WM_SETTEXT:
            HandleSetText(Message);
            return;
        case WM_ACTIVATE:
            CallOld(Message);
            if (Showing && !ScrollHook && FDrawNonClientArea)
                RefreshScrollHook();
            if (!Showing || Form->ControlState().Contains(csCreating))
                return;
            MenuLines = -1;
            if (LOWORD(Message.WParam) != WA_ACTIVE)
                return;
            if (!M->ComponentState().Contains(csDesigning))
                SkinMenus(IsSkinned());
            if (SystemMenu)
                SystemMenu->UpdateItems(false);
            if (Form->BorderStyle() == bsNone)
                SendEndUpdateToChildren(Form);
            return;
        case WM_PAINT:
            HandlePaint(Message);
            return;
        case WM_SYSCOLORCHANGE:
            CallOld(Message);
            RebuildMenu();
            return;
        case WM_CHILDACTIVATE:
            CallOld(Message);
            RebuildMenu();
            if (MDISkinProvider && MDISkinProvider->MDIButtonsShown())
                MDISkinProvider->RepaintNonClient();
            return;
        case WM_ERASEBKGND:
            HandleEraseBkgnd(Message);
            return;
        case WM_SETTINGCHANGE:
            FSkinData->BackgroundStale = true;
            CallOld(Message);
            return;
        case WM_QUERYENDSESSION:
            EndRunningFades();
            CallOld(Message);
            return;
        case WM_ENDSESSION:
            // The session goes on after all: fades may run again.
            if (!Message.WParam)
                FadingBlocked = false;
            CallOld(Message);
            return;
        case WM_GETMINMAXINFO:
            HandleGetMinMaxInfo(Message);
            return;
        case WM_WINDOWPOSCHANGING:
            if (InSetRegion)
                return;
            if (ScreenSnap && !IsZoomedForm()) {
                auto* Pos = reinterpret_cast<WINDOWPOS*>(Message.LParam);
                if (Pos->x != 0 || Pos->y != 0) {
                    MONITORINFO MI{};
                    MI.cbSize = sizeof(MI);
                    GetMonitorInfoA(MonitorFromWindow(Form->Handle(), MONITOR_DEFAULTTONEAREST), &MI);
                    int O = ExtendedBorderOffset(BorderForm);
                    SnapCoordinate(Pos->x, MI.rcWork.right, SnapBuffer, O + Form->Width());
                    SnapCoordinate(Pos->y, MI.rcWork.bottom, SnapBuffer, O + Form->Height());
                    SnapCoordinate(Pos->x, MI.rcWork.left, SnapBuffer, -O);
                    SnapCoordinate(Pos->y, MI.rcWork.top, SnapBuffer, -ExtendedTitleOffset(BorderForm));
                }
            }
            CallOld(Message);
            return;
        case WM_WINDOWPOSCHANGED: {
            CallOld(Message);
            CaptionGrown = IsZoomedForm() && BorderForm && GetCaptionHeight(true) < GetCaptionHeight(false) + 4;
            auto* Pos = reinterpret_cast<WINDOWPOS*>(Message.LParam);
            if ((Pos->flags & SWP_HIDEWINDOW) && FormHideAnimated() && !MinimizeClosing) {
                if (!Application->Terminated())
                    PlayHideAnimation();
                return;
            }
            if (BorderForm && !(Pos->flags & (SWP_NOREDRAW | SWP_FRAMECHANGED)))
                UpdateBorder(false);
            return;
        }
        case WM_STYLECHANGED: {
            CallOld(Message);
            auto* S = reinterpret_cast<const STYLESTRUCT*>(Message.LParam);
            if (static_cast<int>(Message.WParam) == GWL_EXSTYLE && BorderForm && S &&
                ((S->styleOld ^ S->styleNew) & WS_EX_LAYERED))
                UpdateBorder(true);
            return;
        }
        case WM_NOTIFY:
            HandleTabChange(Message);
            return;
        case WM_SETICON:
            HandleSetIcon(Message);
            return;
        case WM_SHOWWINDOW:
            HandleShowWindow(Message);
            return;
        case WM_PARENTNOTIFY:
            HandleParentNotify(Message);
            return;
        case WM_MOUSEMOVE:
            HandleMouseMove(Message);
            return;
        case WM_EXITSIZEMOVE:
            HandleExitSizeMove(Message);
            return;
        case CM_MENUCHANGED:
            HandleMenuChanged(Message);
            return;
        case CM_CONTROLLISTCHANGE:
            HandleControlListChange(Message);
            return;
        case CM_MOUSEENTER:
            HandleMouseEnter(Message);
            return;
        case CM_MOUSEWHEEL:
            CallOld(Message);
            HandleMouseWheel(Message);
            return;
        case CM_FLOAT:
            CallOld(Message);
            FreeScrollHook();
            if (Form->HandleAllocated())
                SendSkinCommand(Form->Handle(), SKIN_REFRESH, reinterpret_cast<LPARAM>(M));
            return;
        case WM_NCHITTEST: {
            if (InitDeferred) {
                InitDeferred = false;
                InitSkinnedForm();
            }
            if (GetCaptionHeight(true) == 0 || !FDrawNonClientArea) {
                CallOld(Message);
                return;
            }
            int Code = HitTest(Message);
            if (Code < HTSYSMENU || Code == HTMENU) {
                CallOld(Message);
                SetHotButton(0, true);
                return;
            }
            if (ResizeMode == rmBorder && DragHitCode == 0 && Code >= HTLEFT && Code <= HTBOTTOMRIGHT)
                DragHitCode = Code;
            Message.Result = Code;
            return;
        }
        case WM_NCPAINT:
            if (FSkinData->Flags & (UpdatingFlag | 0x400))
                return;
            if (InitDeferred) {
                InitDeferred = false;
                InitSkinnedForm();
            }
            if (!FDrawNonClientArea) {
                CallOld(Message);
                return;
            }
            if (IsIconicForm())
                FSkinData->BackgroundStale = true;
            if (!Showing || ComponentState().Contains(csLoading) ||
                Form->ControlState().Contains(csDestroyingHandle) || !SystemMenu)
                return;
            if (!Adapter)
                InitAdapter();
            if (!FSkinData->CacheBitmap)
                UpdateBorderForm(M->GetExtendedBorders());
            PaintNonClient();
            Message.Result = 0;
            return;
        case WM_NCACTIVATE:
            HandleNCActivate(Message);
            return;
        case WM_NCLBUTTONDOWN:
            HandleNCLButtonDown(Message);
            return;
        case WM_NCLBUTTONUP:
        case WM_LBUTTONUP:
            HandleNCLButtonUp(Message);
            return;
        case WM_NCLBUTTONDBLCLK:
            HandleNCLButtonDblClk(Message);
            return;
        case WM_NCRBUTTONDOWN:
            if (Message.WParam == HTCAPTION || Message.WParam == HTSYSMENU)
                return;
            CallOld(Message);
            return;
        case WM_NCRBUTTONUP: {
            if (!HasBorder()) {
                CallOld(Message);
                return;
            }
            int Code = static_cast<int>(Message.WParam);
            if (BorderForm && Message.WParam == WPARAM(-1))
                Code = BorderForm->HitTest(Message);
            else
                Code = HitTest(Message);
            if (Code != HTCAPTION && Code != HTSYSMENU)
                return;
            SetHotButton(0, true);
            DropSysMenu(SignedLow(Message.LParam), SignedHigh(Message.LParam));
            return;
        }
        case 0x313: {
            POINT P;
            GetCursorPos(&P);
            DropSysMenu(P.x, P.y);
            return;
        }
        case WM_SYSCOMMAND:
            HandleSysCommand(Message);
            return;
        case WM_INITMENUPOPUP:
            if (HIWORD(Message.LParam))
                EnableMenuItem(reinterpret_cast<HMENU>(Message.WParam), SC_SIZE, MF_GRAYED);
            CallOld(Message);
            return;
        case WM_MEASUREITEM:
            PrepareMeasuredMenuItem(Form, M, Message);
            CallOld(Message);
            return;
        case WM_ENTERIDLE:
            Message.Result = 0;
            return;
        case WM_MOUSELEAVE:
        case CM_MOUSELEAVE:
            SetHotButton(0, true);
            if (M->HotWindow)
                M->SetHotWindow(nullptr);
            CallOld(Message);
            return;
        case WM_SIZING:
            CallOld(Message);
            UpdateBorder(false);
            return;
        case WM_PRINT:
            HandlePrint(Message);
            return;
        case WM_PRINTCLIENT:
        case 0x93:
        case CM_INVALIDATE:
        case 0xB04C:
        case 0xBC4D:
            Message.Result = 0;
            return;
        case CM_ACTIVATE:
            CallOld(Message);
            UpdateBorder(false);
            return;
        case CM_VISIBLECHANGED:
            if (InitDeferred && Message.WParam == 1) {
                InitDeferred = false;
                InitSkinnedForm();
                UpdateBorderForm(M->GetExtendedBorders());
            }
            CallOld(Message);
            UpdateBorder(Message.WParam == 1);
            if (Message.WParam == 0) {
                if (FSkinData->CacheBitmap && !Form->ComponentState().Contains(csDestroying))
                    FSkinData->CacheBitmap->SetSize(0, 0);
                StopButtonAnimations();
            } else if (Form->Parent()) {
                SendEndUpdateToChildren(Form);
            }
            return;
        case CM_ENABLEDCHANGED:
            CallOld(Message);
            if (FDrawNonClientArea) {
                FSkinData->BackgroundStale = true;
                if (Form->HandleAllocated())
                    SendMessageA(Form->Handle(), WM_NCPAINT, 0, 0);
            }
            return;
        case CM_SHOWINGCHANGED:
            HandleShowingChanged(Message);
            return;
        default:
            CallOld(Message);
    }
}

void TsSkinProvider::HandleShowingChanged(TMessage& Message) {
    TsSkinManager* M = FSkinData->GetSkinManager();
    if (!FDrawNonClientArea || !Form->Showing()) {
        CallOld(Message);
        return;
    }
    SkinMenus(IsSkinned());
    const TacFormShow* Show = M->AnimEffects->FormShow;
    ShowAnimPending = Form->FormStyle() != fsMDIChild && !Form->Parent() && Show->Active && Show->Time > 0 &&
                      LayeredWindowsAvailable();
    HWND H = Form->Handle();
    bool Layered = false;
    Byte Alpha = 255;
    // The form shows nothing of itself until the animation has played its picture.
    auto SetChildrenRedraw = [this](WPARAM On) {
        for (int I = 0; I < Form->ControlCount(); ++I)
            if (auto* W = DynCast<TWinControl>(Form->Controls(I)); W && W->Visible() && W->HandleAllocated())
                W->Perform(WM_SETREDRAW, On, 0);
    };
    if (ShowAnimPending) {
        FSkinData->SetInUpdate(true);
        Animating = true;
        Layered = SetWindowLayered(H, true);
        if (Layered) {
            UpdateFormRegion(false);
            InSetRegion = false;
        } else {
            Alpha = Form->AlphaBlendValue();
            Form->SetAlphaBlendValue(0);
        }
        SetChildrenRedraw(0);
    } else
        FSkinData->SetInUpdate(false);
    UpdateBorderForm(M->GetExtendedBorders());
    CallOld(Message);
    RefreshScrollHook();
    if (!ShowAnimPending)
        return;
    SetChildrenRedraw(1);
    if (Layered)
        SetWindowLayered(H, false);
    ShowAnimPending = false;
    FSkinData->SetInUpdate(false);
    if (BorderForm)
        AnimateBorderedFormShow(BorderForm, Show->Time, Alpha, Show->Mode);
    else {
        AnimateFormRedraw(Form, Show->Time, Alpha, Show->Mode);
        Animating = false;
        RedrawWindow(H, nullptr, nullptr,
                     FSkinData->NeedsSkinPaint() ? RDW_INVALIDATE | RDW_NOERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME
                                                 : RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    }
    InSetRegion = false;
}

void TsSkinProvider::InvalidateSizeCorners(const TRect& NewClient) {
    TsSkinManager* M = ProviderManager();
    if (!M)
        return;
    const TRect& Old = LastClientRect;
    const bool OldEmpty = Old.Right <= Old.Left || Old.Bottom <= Old.Top;
    const bool Grew = NewClient.Right > Old.Right || NewClient.Bottom > Old.Bottom;
    const bool Shrank = NewClient.Right < Old.Right || NewClient.Bottom < Old.Bottom;
    const BOOL Erase = !FSkinData->NeedsSkinPaint();
    auto InvalidateCorner = [this](const TRect& Client, const TsMaskData& Mask, BOOL Erase) {
        RECT R{Client.Right - GetMaskImageWidth(Mask), Client.Bottom - GetMaskImageHeight(Mask), Client.Right,
               Client.Bottom};
        InvalidateRect(Form->Handle(), &R, Erase);
    };
    if (GripVisible()) {
        const int Grip = M->FindMaskIndexBySection("GLOBALINFO", "GRIPIMAGE");
        if (Grip >= 0) {
            // The grip drawn at the old corner now lies inside the client area.
            if (Grew && Erase && !OldEmpty)
                InvalidateCorner(Old, M->MaskList[Grip], Erase);
            if (Shrank)
                InvalidateCorner(NewClient, M->MaskList[Grip], Erase);
        }
    }
    if ((Shrank || OldEmpty) && FSkinData->SectionIndex >= 0)
        for (int Index : {FSkinData->Section().ImgTR, FSkinData->Section().ImgBR})
            if (Index >= 0)
                InvalidateCorner(Old, M->MaskList[Index], TRUE);
}

void TsSkinProvider::HandleSize(TMessage& Message) {
    RECT C;
    GetClientRect(Form->Handle(), &C);
    InvalidateSizeCorners(TRect{0, 0, C.right, C.bottom});
    LastClientRect = TRect{0, 0, C.right, C.bottom};
    FreeAndNil(ShadowActive);
    FreeAndNil(ShadowInactive);
    MenuLines = -1;
    CallOld(Message);
    if (AnimationInProgress)
        return;
    if (!Form->Showing()) {
        FSkinData->BackgroundStale = true;
        UpdateBorder(true);
        return;
    }
    if (ImageSizeDiffers()) {
        RegionChanged = true;
        FSkinData->BackgroundStale = true;
        if (FDrawNonClientArea) {
            UpdateBorder(true);
            SendMessageA(Form->Handle(), WM_NCPAINT, 0, 0);
            RedrawWindow(Form->Handle(), nullptr, nullptr, 0x821);
        }
        return;
    }
    UpdateBorder(true);
}

void TsSkinProvider::PaintForm(HDC DC) {
    RECT C;
    GetClientRect(Form->Handle(), &C);
    TRect R{0, 0, C.right, C.bottom};
    if (!(FSkinData->Flags & PlainBackgroundFlag)) {
        if (!FSkinData->RepaintOnMove)
            PrepareFormImage();
        CopyCacheClipControls(Form, FSkinData, TPoint{GetClientOffsetX(), GetClientOffsetY()}, 0, 0, false, DC, R);
        PaintGraphicChildren(DC, Form, TPoint{0, 0});
        SendEndUpdateToChildren(Form);
    } else {
        FillRectSolid(DC, R, FormColor());
    }
}

void TsSkinProvider::HandlePaint(TMessage& Message) {
    if (Form->ControlState().Contains(csPaintCopy))
        return;
    if (BorderForm && BorderForm->AForm && !BorderForm->AForm->Visible())
        UpdateBorder(false);
    if (FSkinData->NeedsSkinPaint()) {
        if (!Form->Showing()) {
            if (BorderForm || Form->AlphaBlend())
                CallOld(Message);
            return;
        }
        PAINTSTRUCT PS;
        HDC DC = BeginPaint(Form->Handle(), &PS);
        FSkinData->InUpdate = false;
        if (!HiddenByMaximizedChild())
            PaintForm(DC);
        EndPaint(Form->Handle(), &PS);
        Message.Result = 0;
        ChildMaximizedPainted(true);
    } else if (!Form->Showing()) {
        CallOld(Message);
        return;
    } else {
        if (FSkinData->BackgroundStale)
            InvalidateRect(Form->Handle(), nullptr, TRUE);
        PAINTSTRUCT PS;
        BeginPaint(Form->Handle(), &PS);
        EndPaint(Form->Handle(), &PS);
        Message.Result = 0;
    }
    if (Form->OnPaint)
        Form->OnPaint(Form);
}

void TsSkinProvider::HandleEraseBkgnd(TMessage& Message) {
    if (!Form->Showing()) {
        CallOld(Message);
        return;
    }
    if (FSkinData->Flags & UpdatingFlag)
        return;
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    if (Form->ControlState().Contains(csPaintCopy) || Message.WParam == static_cast<WPARAM>(Message.LParam)) {
        if (DC && FSkinData->BackgroundStale)
            PrepareFormImage();
        if (!FSkinData->BackgroundStale && DC) {
            if (FSkinData->NeedsSkinPaint())
                BitBlt(DC, 0, 0, Form->Width(), Form->Height(), FSkinData->CacheBitmap->Canvas()->Handle(),
                       GetClientOffsetX(), GetClientOffsetY(), SRCCOPY);
            else
                FillRectSolid(DC, TRect{0, 0, Form->Width(), Form->Height()}, GetWindowBgColor(Form->Handle()));
        }
    } else if (!FSkinData->NeedsSkinPaint() && DC) {
        PaintForm(DC);
        ChildMaximizedPainted(false);
    }
    Message.Result = 1;
}

void TsSkinProvider::HandleSetText(TMessage& Message) {
    if (!Form->Showing() || !FDrawNonClientArea || Form->ControlState().Contains(csCreating)) {
        CallOld(Message);
        return;
    }
    FreeAndNil(ShadowActive);
    FreeAndNil(ShadowInactive);
    if (IsMDIChild() && IsZoomedForm() && MDISkinProvider) {
        // A maximised child's caption is shown in the parent's title bar.
        MDISkinProvider->SkinData()->BackgroundStale = true;
        CallOldCovered(Message, MDISkinProvider);
    } else if (!IsDwmCompositionEnabled()) {
        FSkinData->BackgroundStale = true;
        CallOldCovered(Message, this);
        if (Form->AlphaBlend())
            SendMessageA(Form->Handle(), WM_NCPAINT, 0, 0);
    } else {
        CallOld(Message);
        RepaintFrame();
    }
    UpdateBorder(true);
}

void TsSkinProvider::HandleNCActivate(TMessage& Message) {
    if (ComponentState().Contains(csDestroying)) {
        CallOld(Message);
        return;
    }
    FormActive = Message.WParam != 0;
    FSkinData->BackgroundStale = true;
    FSkinData->SetInUpdate(false);
    if (Form->Showing()) {
        // The system draws its own caption here; it must not reach the screen over the skinned one.
        if ((LOWORD(Message.WParam) != 0) != FormActive)
            FSkinData->BackgroundStale = true;
        HWND H = Form->Handle();
        auto Redraw = [H](bool On) { SendMessageA(H, WM_SETREDRAW, On ? 1 : 0, 0); };
        if (IsDwmCompositionEnabled()) {
            const LONG Style = GetWindowLongA(H, GWL_STYLE);
            if (ShowAnimPending)
                Redraw(false);
            SetWindowLongA(H, GWL_STYLE, Style & ~WS_VISIBLE);
            CallOld(Message);
            SetWindowLongA(H, GWL_STYLE, GetWindowLongA(H, GWL_STYLE) | (Style & WS_VISIBLE));
            if (ShowAnimPending)
                Redraw(true);
        } else if (ShowAnimPending || InitDeferred) {
            Redraw(false);
            CallOld(Message);
            Redraw(true);
            if (InitDeferred)
                RedrawWindow(H, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        } else {
            // The system draws its menu bar here too: with a menu the line is covered as well.
            const bool Cover = !BorderForm || MenuPresent();
            if (BorderForm)
                UpdateFormRegion(false);
            if (Cover && !Form->OnPaint)
                ShowCaptionCover(false);
            CallOld(Message);
            if (Cover)
                HideCaptionCover();
        }
    } else {
        CallOld(Message);
    }
    // A child's activity changes the buttons it shows on its parent's menu line.
    if (IsMDIChild() && Form->Showing() && MDISkinProvider && MDISkinProvider != this && MDISkinProvider->MDIHelper &&
        !MDISkinProvider->ComponentState().Contains(csDestroying)) {
        if (!SystemMenu)
            PrepareForm();
        MDISkinProvider->RepaintNonClient();
    }
    if (!Form->ControlState().Contains(csCreating) && HasBorder() && Form->Showing()) {
        if (MDIButtonsShown()) {
            // The parent shows the active look while its maximised child is the active window.
            bool Maximized = false;
            TCustomForm* Child = ActiveMDIChildOf(Form, &Maximized);
            FormActive = Message.WParam != 0 || (Child && Child->Active());
        }
        MenuLines = -1;
        SendMessageA(Form->Handle(), WM_NCPAINT, 0, 0);
        UpdateBorder(true);
        if (TsSkinManager* M = FSkinData->GetSkinManager(); M && !M->ComponentState().Contains(csDesigning))
            SkinMenus(IsSkinned());
        if (!MenuRebuilt && RebuildMenu())
            MenuRebuilt = true;
    }
    Message.Result = 1;
}

void TsSkinProvider::HandlePrint(TMessage& Message) {
    if (ComponentState().Contains(csLoading) || Form->FormState().Contains(fsCreating) ||
        Form->ComponentState().Contains(csDestroying))
        return;
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    if (!DC)
        return;
    if (!MenuRebuilt && RebuildMenu())
        MenuRebuilt = true;
    FSkinData->SetInUpdate(false);
    int Saved = SaveDC(DC);
    if (BorderForm) {
        if (FSkinData->BackgroundStale)
            PrepareFormImage();
        TBitmap* Image = FSkinData->CacheBitmap;
        BitBlt(DC, 0, 0, Image->Width(), Image->Height(), Image->Canvas()->Handle(), 0, 0, SRCCOPY);
        POINT Old;
        OffsetViewportOrgEx(DC, GetClientOffsetX(), GetClientOffsetY(), &Old);
        RECT C;
        GetClientRect(Form->Handle(), &C);
        IntersectClipRect(DC, 0, 0, C.right, C.bottom);
        PaintGraphicChildren(DC, Form, TPoint{0, 0});
    } else {
        if (FDrawNonClientArea)
            PaintFrame(DC);
        POINT Old;
        OffsetViewportOrgEx(DC, GetClientOffsetX(), GetClientOffsetY(), &Old);
        RECT C;
        GetClientRect(Form->Handle(), &C);
        IntersectClipRect(DC, 0, 0, C.right, C.bottom);
        PaintForm(DC);
    }
    RestoreDC(DC, Saved);
    Message.Result = 0;
}

void TsSkinProvider::HandleNCLButtonDown(TMessage& Message) {
    if (!FDrawNonClientArea) {
        CallOld(Message);
        return;
    }
    if (BorderForm && Message.WParam == HTOBJECT) {
        CallOld(Message);
        return;
    }
    if (BorderForm && Message.WParam == WPARAM(-1))
        Message.WParam = static_cast<WPARAM>(BorderForm->HitTest(Message));
    const int Code = static_cast<int>(Message.WParam);
    if (Code == HTSYSMENU) {
        SetHotButton(0, true);
        // The system's menu would take the second click of a double click: it waits for one first.
        if (TsSkinManager* M = FSkinData->GetSkinManager(); M && !M->SkinnedPopups) {
            DelayWithMessages(200);
            Application->ProcessMessages();
            if (FSkinData->InUpdate)
                return;
        }
        TPoint O;
        GetWindowOrigin(O);
        TRect Icon;
        GetIconRect(Icon);
        DropSysMenu(O.X + FrameBorderWidth(Form->Handle(), BorderForm, true),
                    O.Y + TopFrameHeight(true) + (Icon.Bottom - Icon.Top) +
                        InnerFrameWidth(Form->Handle(), BorderForm, false));
        return;
    }
    if (Code == HTMENU) {
        CallOld(Message);
        return;
    }
    if (Code == HTMINBUTTON || Code == HTMAXBUTTON || Code == HTCLOSE || Code == HTHELP ||
        (Code >= HTMDICLOSE && Code <= HTMDIMIN)) {
        if (TsSystemMenu* ChildMenu = MDIChildProvider ? MDIChildProvider->SystemMenu : nullptr)
            if ((Code == HTMDIMIN && !ChildMenu->EnabledMin()) || (Code == HTMDIMAX && !ChildMenu->EnabledRestore()))
                return;
        PressButton(Code);
        return;
    }
    if (Code >= HTUSERBUTTON && Code < HTUSERBUTTON + FTitleButtons->Count()) {
        PressButton(Code);
        FTitleButtons->Items(Code - HTUSERBUTTON)->DoMouseDown(mbLeft, TShiftState{}, SignedLow(Message.LParam),
                                                                SignedHigh(Message.LParam));
        return;
    }
    if (IsIconicForm()) {
        Form->Perform(WM_SYSCOMMAND, 0xF012, 0);
        return;
    }
    SetHotButton(0, true);
    if (IsZoomedForm()) {
        TPoint P;
        ScreenToWindow(SignedLow(Message.LParam), SignedHigh(Message.LParam), P);
        if (P.Y <= InnerFrameWidth(Form->Handle(), BorderForm, true) + GetCaptionHeight(true)) {
            if (!Form->Active())
                Form->SetFocus();
            return;
        }
    }
    if (ResizeMode == rmBorder && !IsDwmCompositionEnabled()) {
        // Only the caption moves and only the sizing borders size; a press on the form's scroll bars
        // or on a plain border keeps its usual meaning. The border pressed is the one that follows
        // the mouse.
        int SizeCode = Code == HTSIZE ? HTBOTTOMRIGHT : Code;
        if (Code == HTCAPTION || (SizeCode >= HTLEFT && SizeCode <= HTBOTTOMRIGHT)) {
            DragIsMove = Code == HTCAPTION;
            BorderDragPress = true;
            SendMessageA(Form->Handle(), WM_SYSCOMMAND, DragIsMove ? SC_MOVE : SC_SIZE, 0);
            BorderDragPress = false;
            if (!DragStarting)
                return;
            if (!DragIsMove)
                DragHitCode = SizeCode;
            POINT P{SignedLow(Message.LParam), SignedHigh(Message.LParam)};
            MapWindowPoints(HWND_DESKTOP, GetAncestor(Form->Handle(), GA_PARENT), &P, 1);
            BeginBorderDrag(P.x, P.y);
            return;
        }
    }
    CallOld(Message);
    if (BorderForm && !Form->Owner())
        UpdateBorder(false);
}

void TsSkinProvider::HandleNCLButtonUp(TMessage& Message) {
    if (!FDrawNonClientArea) {
        CallOld(Message);
        return;
    }
    // The release that ends a rubber-band drag (a WM_LBUTTONUP of the captured mouse, whose WParam
    // holds the keys, not a hit code).
    if ((DragActive || DragStarting) && GetCapture() == Form->Handle() && !IsZoomedForm()) {
        EndBorderDrag();
        return;
    }
    if (BorderForm && Message.WParam == WPARAM(-1))
        Message.WParam = static_cast<WPARAM>(BorderForm->HitTest(Message));
    const int Code = static_cast<int>(Message.WParam);
    const bool WasPressed = ButtonPressed;
    HWND H = Form->Handle();
    switch (Code) {
        case HTMINBUTTON: {
            if (!WasPressed) {
                SetHotButton(0, true);
                CallOld(Message);
                return;
            }
            TPoint P;
            POINT Cursor;
            GetCursorPos(&Cursor);
            ScreenToWindow(Cursor.x, Cursor.y, P);
            if (!PtInRect(reinterpret_cast<const RECT*>(&BtnMin.Rect), POINT{P.X, P.Y})) {
                CallOld(Message);
                return;
            }
            SetHotButton(0, true);
            if (Form == Application->MainForm()) {
                MinimizeClosing = true;
                SendMessageA(H, WM_SYSCOMMAND, SC_MINIMIZE, 0);
                MinimizeClosing = false;
            } else {
                SendMessageA(H, WM_SYSCOMMAND, IsIconic(H) ? SC_RESTORE : SC_MINIMIZE, 0);
            }
            FSkinData->BackgroundStale = true;
            return;
        }
        case HTMAXBUTTON:
            if (!SystemMenu || !(SystemMenu->EnabledMax() || (IsZoomed(H) && SystemMenu->EnabledRestore())))
                return;
            if (!WasPressed) {
                SetHotButton(0, true);
                CallOld(Message);
                return;
            }
            SetHotButton(0, true);
            if (IsZoomed(H)) {
                Form->SetWindowState(wsNormal);
                SendMessageA(H, WM_SYSCOMMAND, SC_RESTORE, 0);
                Form->Repaint();
            } else {
                SendMessageA(H, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
            }
            SystemMenu->UpdateItems(false);
            return;
        case HTCLOSE:
            if (WasPressed) {
                BtnClose.State = 0;
                SendMessageA(H, WM_SYSCOMMAND, SC_CLOSE, 0);
            }
            return;
        case HTHELP:
            if (WasPressed) {
                SendMessageA(H, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
                SetHotButton(0, true);
                if (SystemMenu)
                    SystemMenu->UpdateItems(false);
                Form->Perform(WM_NCPAINT, 0, 0);
            } else {
                SetHotButton(0, true);
            }
            return;
        case HTMDICLOSE:
        case HTMDIMAX:
        case HTMDIMIN: {
            // The buttons of the maximised MDI child on the menu line act on that child.
            TCustomForm* Child = ActiveMDIChildOf(Form, nullptr);
            if (WasPressed && Child && Child->HandleAllocated()) {
                if (Code == HTMDIMIN) {
                    FSkinData->BeginUpdate();
                    SendMessageA(Child->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
                    // The child's command ends its parent's update only when it restores a
                    // maximised child; the parent's own begun here ends in any case.
                    FSkinData->EndUpdate(false);
                } else {
                    SendMessageA(Child->Handle(), WM_SYSCOMMAND, Code == HTMDICLOSE ? SC_CLOSE : SC_RESTORE, 0);
                }
            }
            if (!ComponentState().Contains(csDestroying))
                SetHotButton(0, Code == HTMDIMIN);
            return;
        }
        default:
            break;
    }
    if (Code >= HTUSERBUTTON && Code < HTUSERBUTTON + FTitleButtons->Count()) {
        if (WasPressed)
            FTitleButtons->Items(Code - HTUSERBUTTON)->DoMouseUp(mbLeft, TShiftState{}, SignedLow(Message.LParam),
                                                                  SignedHigh(Message.LParam));
        SetHotButton(0, true);
        return;
    }
    // A release elsewhere ends a pending press without acting.
    if (WasPressed)
        SetHotButton(0, true);
    CallOld(Message);
}

void TsSkinProvider::HandleNCLButtonDblClk(TMessage& Message) {
    HWND H = Form->Handle();
    if (DragActive && GetCapture() == H)
        EndBorderDrag();
    switch (static_cast<int>(Message.WParam)) {
        case HTCAPTION:
            if ((SystemMenu && SystemMenu->VisibleClose() &&
                 (SystemMenu->EnabledMax() || SystemMenu->EnabledRestore())) ||
                (!HasBorder() && IsIconic(H))) {
                SendMessageA(H, WM_SYSCOMMAND, IsZoomed(H) || IsIconic(H) ? SC_RESTORE : SC_MAXIMIZE, 0);
                if (SystemMenu)
                    SystemMenu->UpdateItems(false);
            } else if (IsIconic(H)) {
                SendMessageA(H, WM_SYSCOMMAND, SC_RESTORE, 0);
                if (SystemMenu)
                    SystemMenu->UpdateItems(false);
            }
            Message.WParam = 0;
            return;
        case HTSYSMENU:
            // With skinned popups the window menu that the first click dropped is gone already;
            // without them the system's menu loop still holds the form.
            if (TsSkinManager* M = FSkinData->GetSkinManager(); M && !M->SkinnedPopups)
                FSkinData->InUpdate = true;
            Form->Close();
            return;
        default:
            return;
    }
}

bool TsSkinProvider::StartBorderDragCommand(TMessage& Message) {
    const WPARAM Command = Message.WParam & 0xFFF0;
    if (ResizeMode != rmBorder || DragActive || !BorderDragPress || (Command != SC_MOVE && Command != SC_SIZE))
        return false;
    SetCapture(Form->Handle());
    DragStarting = true;
    DragIsMove = Command == SC_MOVE;
    if (!DragIsMove)
        DragHitCode = 0;
    return true;
}

void TsSkinProvider::HandleSysCommand(TMessage& Message) {
    if (Message.WParam == 0xF012)
        Form->Repaint();
    if (StartBorderDragCommand(Message))
        return;
    CallOld(Message);
    switch (Message.WParam) {
        case SC_MINIMIZE:
            if (FSkinData->CacheBitmap)
                FSkinData->CacheBitmap->SetSize(0, 0);
            break;
        case SC_MAXIMIZE:
        case SC_RESTORE:
            if (SystemMenu && SystemMenu->VisibleMax())
                HotButton = HTMAXBUTTON;
            SetHotButton(0, true);
            if (Message.WParam == SC_RESTORE) {
                FSkinData->BackgroundStale = true;
                if (HasBorder())
                    RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
                else
                    SetWindowRgn(Form->Handle(), nullptr, TRUE);
            }
            break;
        default:
            if ((Message.WParam & 0xFFF0) == SC_KEYMENU && LOWORD(Message.LParam) == ' ' && SystemMenu &&
                SystemMenu->VisibleClose() && HasBorder()) {
                TPoint O;
                GetWindowOrigin(O);
                DropSysMenu(O.X + FrameBorderWidth(Form->Handle(), BorderForm, true), O.Y + TitleBarHeight());
            }
            break;
    }
}

void TsSkinProvider::GetWindowOrigin(TPoint& P) {
    RECT R;
    GetWindowRect(Form->Handle(), &R);
    P = TPoint{R.left, R.top};
}

void TsSkinProvider::ScreenToWindow(int X, int Y, TPoint& P) {
    TPoint O;
    GetWindowOrigin(O);
    P = TPoint{X - O.X, Y - O.Y};
}

void TsSkinProvider::HandleMouseMove(TMessage& Message) {
    CallOld(Message);
    if (DefaultManager && !DefaultManager->ComponentState().Contains(csDesigning))
        DefaultManager->SetHotWindow(nullptr);
    if (ResizeMode == rmBorder && (DragActive || DragStarting) && GetCapture() == Form->Handle()) {
        TPoint P = CursorInParent(Message.LParam);
        TrackBorderDrag(P.X, P.Y);
    }
}

void TsSkinProvider::HandleSetIcon(TMessage& Message) {
    if (ComponentState().Contains(csLoading) || !Message.LParam || AnimationInProgress || !Form->Showing()) {
        CallOld(Message);
        return;
    }
    // The system draws its own caption with the new icon; it must not show over the skinned one.
    const bool Composition = IsDwmCompositionEnabled();
    HWND H = Form->Handle();
    if (!Composition)
        SendMessageA(H, WM_SETREDRAW, 0, 0);
    CallOld(Message);
    if (!Composition)
        SendMessageA(H, WM_SETREDRAW, 1, 0);
    RepaintFrame();
}

void TsSkinProvider::HandleMenuChanged(TMessage& Message) {
    if (!Form->ControlState().Contains(csCreating) && Form->Visible() && !Animating) {
        if (FSkinData->Flags & UpdatingFlag) {
            FSkinData->Flags |= MenuChangePendingFlag;
            return;
        }
        MenuLines = -1;
        FrameStale = true;
        FSkinData->BackgroundStale = true;
    }
    CallOld(Message);
}

void TsSkinProvider::HandleScrollCommand(TMessage& Message) {
    if (!FSkinData->MustRepaintOnMove() || !Form->HandleAllocated())
        return;
    HWND H = Form->Handle();
    if (SkinCommandOf(Message.WParam) == SKIN_BEFORESCROLL) {
        SendMessageA(H, WM_SETREDRAW, 0, 0);
        return;
    }
    SendMessageA(H, WM_SETREDRAW, 1, 0);
    RedrawWindow(H, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
}

void TsSkinProvider::HandleTabChange(TMessage& Message) {
    CallOld(Message);
    // Pages shown for the first time bring controls the adapter has not seen yet.
    auto* Header = reinterpret_cast<const NMHDR*>(Message.LParam);
    if (Adapter && Header && Header->code == TabSelChange)
        Adapter->AdaptControls(nullptr);
}

void TsSkinProvider::HandleShowWindow(TMessage& Message) {
    HWND H = Form->Handle();
    const bool MDIChild = Form->FormStyle() == fsMDIChild;
    if (!MDIChild) {
        if (Message.WParam == 1 && IsDwmCompositionEnabled() && !AnimationInProgress &&
            !(GetWindowLongA(H, GWL_EXSTYLE) & WS_EX_LAYERED))
            RedrawWindow(H, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
        if (Message.LParam == SW_PARENTCLOSING && ShowState != 0)
            ShowState = IsIconic(H) ? 2 : IsZoomed(H) ? 3 : 1;
    }
    CallOld(Message);
    if (Message.WParam != 1)
        return;
    if (Form->Parent() && !MDIChild) {
        FSkinData->Flags &= ~PlainBackgroundFlag;
        FSkinData->BackgroundStale = true;
    }
}

void TsSkinProvider::HandleParentNotify(TMessage& Message) {
    const Word Event = LOWORD(Message.WParam);
    if (ComponentState().Contains(csLoading) || Form->ComponentState().Contains(csLoading) ||
        (Event != WM_CREATE && Event != WM_DESTROY)) {
        CallOld(Message);
        return;
    }
    CallOld(Message);
    if (Event == WM_CREATE && Adapter)
        Adapter->AdaptControls(nullptr);
    TMessage Flags{SM_ALPHACMD, SkinCommandParam(SKIN_FLAGS), 1, 0};
    BroadcastToSkinnedChildren(Form, Flags);
    if (FDrawNonClientArea && ScrollHook)
        ScrollHook->UpdateScrollInfo(true);
}

void TsSkinProvider::HandleControlListChange(TMessage& Message) {
    CallOld(Message);
    // A control leaving the form is not wrapped on its way out.
    auto* W = DynCast<TWinControl>(reinterpret_cast<TControl*>(Message.WParam));
    if (!W || !Message.LParam)
        return;
    if (Adapter && Adapter->IsControlSupported(W))
        Adapter->AddNewItem(W, "");
    TMessage Flags{SM_ALPHACMD, SkinCommandParam(SKIN_FLAGS), 1, 0};
    BroadcastToSkinnedChildren(W, Flags);
    W->Perform(SM_ALPHACMD, SkinCommandParam(SKIN_FLAGS), 1);
}

void LeaveOtherSpeedButtons(TWinControl* Parent, TControl* Entered) {
    // Only one speed button looks hot: the one the mouse entered.
    for (int I = 0; I < Parent->ControlCount(); ++I) {
        auto* B = DynCast<TsSpeedButton>(Parent->Controls(I));
        if (B && B != Entered && B->SkinData() && B->SkinData()->MouseOver)
            B->Perform(CM_MOUSELEAVE, 0, 0);
    }
}

void TsSkinProvider::HandleMouseEnter(TMessage& Message) {
    CallOld(Message);
    LeaveOtherSpeedButtons(Form, reinterpret_cast<TControl*>(Message.LParam));
}

void TsSkinProvider::HandleExitSizeMove(TMessage& Message) {
    CallOld(Message);
    if (!BorderForm)
        return;
    if (DialogProviders)
        for (TacDialogProviderLink* P : *DialogProviders)
            if (HWND W = P->DialogWindow())
                SendSkinCommand(W, SKIN_REPAINTNOW, 0);
    if (Form->FormState().Contains(fsModal))
        UpdateBorder(false);
}
