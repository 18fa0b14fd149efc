// The bordered scrolling hooks (part of the window-hooks unit, acSBUtils.h): the frame of an
// edit-like window painted from the skin's cache, the control given the section's colours, and the
// skinned bars kept in step with typing, clicks and list changes.
#include "acSBUtils.h"

#include "StdCtrls.h"
#include "acGlow.h"
#include "acntUtils.h"
#include "sDCUtils.h"
#include "sMessages.h"
#include "sVclUtils.h"

namespace {

// A DC whose clip box is empty has nothing to paint.
bool NothingToPaint(HDC DC) {
    RECT R{};
    return DC && DC != AnimationSnapshotDC && GetClipBox(DC, &R) == NULLREGION;
}

bool Skinned(TsCommonData* D) { return D && D->IsSkinned(false); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Bordered scrolling windows

void TacBaseWnd::WndProc(TMessage& Message) {
    if (Unhooked || !Skinned(SkinData)) {
        TacScrollWnd::WndProc(Message);
        return;
    }
    if (Message.Msg == SM_ALPHACMD) {
        Word Command = SkinCommandOf(Message.WParam);
        if (Command == SKIN_REFRESH && Message.LParam == reinterpret_cast<LPARAM>(SkinManager)) {
            TacScrollWnd::WndProc(Message);
            if (IsWindowVisible(Handle))
                SendMessageA(Handle, WM_NCPAINT, 0, 0);
            return;
        }
        if (Command == SKIN_PREPARECACHE)
            PaintBorderCache(SkinData, Handle, false);
    }
    switch (Message.Msg) {
    case WM_SIZE:
        SkinData->BackgroundStale = true;
        break;
    case WM_SETCURSOR:
        PassOn(Message);
        return;
    case 0x2100:
        return;
    default:
        break;
    }
    TacScrollWnd::WndProc(Message);
    switch (Message.Msg) {
    case WM_SIZE:
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (!Busy)
            UpdateScrollInfo(true);
        break;
    case WM_ENABLE:
    case CM_ENABLEDCHANGED:
        if (IsWindowVisible(Handle))
            SendMessageA(Handle, WM_NCPAINT, 0, 0);
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Edit-like windows

TacEditWnd::TacEditWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                       TsCommonData* ASkinData)
    : TacBaseWnd(AHandle, Repaint, SkinSection.empty() ? std::string("EDIT") : SkinSection, Manager, ASkinData) {
    SkinData->SetSkinSection(SkinSection.empty() ? std::string("EDIT") : SkinSection);
    // The base constructor could not reach this class's own colours yet.
    SaveStdParams();
}

// The window gets its own procedure back before the colours and the frame are restored, so that
// the frame is computed without the skinned bars.
TacEditWnd::~TacEditWnd() { DetachFromWindow(); }

void TacEditWnd::SaveStdParams() {
    TControl* Host = SkinData ? SkinData->HostControl : nullptr;
    if (!Host)
        return;
    SavedColor = Host->Color();
    SavedFontColor = Host->Font()->Color();
    if (PropertyExists(Host, "FocusColor"))
        EditFocusColor = static_cast<TColor>(GetOrdPropByName(Host, "FocusColor"));
}

void TacEditWnd::RestoreStdParams() {
    if (IsWindow(Handle) && IsWindowVisible(Handle))
        SetWindowPos(Handle, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
    TControl* Host = SkinData ? SkinData->HostControl : nullptr;
    if (!Host || Host->ComponentState().Contains(csDestroying) || SavedColor == clNone)
        return;
    Host->SetColor(SavedColor);
    Host->Font()->SetColor(SavedFontColor);
    if (PropertyExists(Host, "FocusColor"))
        SetOrdPropByName(Host, "FocusColor", EditFocusColor);
}

void TacEditWnd::SetSkinParams() {
    if (StyleChangeGuard)
        return;
    SkinData->SetInUpdate(true);
    StyleChangeGuard = true;
    SkinParamsApplied = true;
    TControl* Host = SkinData->HostControl;
    if (Host) {
        if (!SkinData->CustomColor()) {
            TColor V = SkinData->GetBackgroundColor(SkinData->IsHotState() ? 1 : 0, nullptr);
            if (Host->Color() != V)
                Host->SetColor(V);
            if (PropertyExists(Host, "FocusColor"))
                SetOrdPropByName(Host, "FocusColor", V);
        }
        if (!SkinData->CustomFont() && Skinned(SkinData) &&
            Host->Font()->Color() != SkinData->Section().HotFontColor[0]) {
            Host->Font()->SetColor(SkinData->Section().HotFontColor[0]);
            if (Unhooked)
                return;
        }
    } else {
        EditColor = InDialog || !Skinned(SkinData) ? clWindow : SkinData->Section().Color;
        EditFrameColor = 0;
    }
    SkinData->BackgroundStale = true;
    StyleChangeGuard = false;
    SkinData->SetInUpdate(false);
}

void TacEditWnd::PrintWindow(HDC DC) {
    TsCommonData& D = *SkinData;
    D.Flags |= PrintingFlag;
    GetWindowGeometry(Handle, HookParent, HookWndRect, 0, HookWndPos, HookWndSize, HookParentRect);
    D.SetInUpdate(false);
    D.BackgroundStale = true;
    if (!SkinParamsApplied)
        SetSkinParams();
    PaintBorderCache(SkinData, Handle, InDialog);
    if (!InDialog)
        PaintHookCorners(SkinData, 0, this);
    TBitmap* Cache = D.CacheBitmap;
    if (Cache && DC) {
        CopyBorderStrips(DC, 0, 0, LeftEdge, Cache->Canvas()->Handle(), 0, 0, Cache->Width(), Cache->Height());
        PaintScrollBars(Handle, 0, DC, -1);
        // The client paints itself at its place inside the frame and never over the bars.
        int SaveIndex = SaveDC(DC);
        OffsetViewportOrgEx(DC, LeftEdge, LeftEdge, nullptr);
        int W = Cache->Width() - 2 * LeftEdge - (VertBar && VertBar->Shown ? GetScrollBarSize(VertBar, 1, false) : 0);
        int H = Cache->Height() - 2 * LeftEdge - (HorzBar && HorzBar->Shown ? GetScrollBarSize(HorzBar, 1, false) : 0);
        IntersectClipRect(DC, 0, 0, W, H);
        WPARAM AsParam = reinterpret_cast<WPARAM>(DC);
        SendMessageA(Handle, WM_ERASEBKGND, AsParam, 0);
        bool EmptyList = DynCast<TCustomListBox>(D.HostControl) && SendMessageA(Handle, LB_GETCOUNT, 0, 0) == 0;
        if (!EmptyList)
            SendMessageA(Handle, WM_PAINT, AsParam, 0);
        SendMessageA(Handle, WM_PRINTCLIENT, AsParam, PRF_CLIENT | PRF_OWNED);
        RestoreDC(DC, SaveIndex);
    }
    D.Flags &= static_cast<Word>(~PrintingFlag);
}

// The painting messages; True when the message is done.
bool TacEditWnd::PaintMessage(TMessage& Message) {
    TsCommonData& D = *SkinData;
    HDC Given = reinterpret_cast<HDC>(Message.WParam);
    switch (Message.Msg) {
    case WM_PAINT:
        if (NothingToPaint(Given))
            return true;
        D.InUpdate = D.IsUpdating();
        if (D.InUpdate || (AnimationInProgress && !AnimationSnapshotDC)) {
            PAINTSTRUCT PS;
            BeginPaint(Handle, &PS);
            EndPaint(Handle, &PS);
            return true;
        }
        Message.Result = PaintScrollBars(Handle, 0, Given, -1);
        if (!SkinParamsApplied)
            SetSkinParams();
        return false;
    case WM_ERASEBKGND:
        if (NothingToPaint(Given) || D.IsUpdating())
            return true;
        if (!SkinParamsApplied)
            SetSkinParams();
        if (LOBYTE(LOWORD(GetVersion())) > 5 && AnimationInProgress && Given != AnimationSnapshotDC) {
            Message.Result = 1;
            return true;
        }
        return false;
    case WM_NCPAINT: {
        if (AnimationInProgress)
            return true;
        HDC DC = GetWindowDC(Handle);
        RECT Clip{};
        if (DC == AnimationSnapshotDC || GetClipBox(DC, &Clip) != NULLREGION) {
            GetWindowGeometry(Handle, HookParent, HookWndRect, 0, HookWndPos, HookWndSize, HookParentRect);
            if (!D.IsUpdating()) {
                if (D.BackgroundStale) {
                    if (!SkinParamsApplied)
                        SetSkinParams();
                    PaintBorderCache(SkinData, Handle, InDialog);
                }
                int SaveIndex = SaveDC(DC);
                if (TBitmap* Cache = D.CacheBitmap)
                    CopyBorderStrips(DC, 0, 0, LeftEdge, Cache->Canvas()->Handle(), 0, 0, Cache->Width(),
                                     Cache->Height());
                PaintScrollBars(Handle, static_cast<int>(Message.WParam), DC, -1);
                RestoreDC(DC, SaveIndex);
            }
        }
        ReleaseDC(Handle, DC);
        return true;
    }
    case WM_PRINT:
        // The whole image goes into the DC here; the control's own printing would draw its
        // standard frame over it.
        PrintWindow(Given);
        Message.Result = 0;
        return true;
    case CM_FONTCHANGED:
        if (!D.IsUpdating())
            RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        return false;
    default:
        return false;
    }
}

void TacEditWnd::AfterMessage(TMessage& Message) {
    TsCommonData& D = *SkinData;
    switch (Message.Msg) {
    case WM_SIZE:
        if (IsWindowVisible(Handle))
            SendMessageA(Handle, WM_NCPAINT, 0, 0);
        break;
    case CN_KEYDOWN:
    case CN_KEYUP:
        if (Busy)
            break;
        [[fallthrough]];
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_LBUTTONDOWN:
    case EM_REPLACESEL:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_SETCURSEL:
    case LB_SETTOPINDEX:
        UpdateScrollInfo(true);
        break;
    case LB_GETTOPINDEX:
        if (Message.Result == 0 && DynCast<TCustomListBox>(D.HostControl) && SendMessageA(Handle, LB_GETCOUNT, 0, 0) == 0)
            Message.Result = -1;
        break;
    case WM_MOUSEMOVE:
        if (DefaultManager && DefaultManager->HotWindow != Handle)
            DefaultManager->SetHotWindow(Handle);
        if (!D.IsUpdating() && GetCapture())
            UpdateScrollInfo(true);
        break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        if (BorderMaskHasStates(SkinData)) {
            bool Enter = Message.Msg == CM_MOUSEENTER;
            D.MouseOver = Enter;
            if (Enter && D.ControlKind == 227)
                D.RefreshGlow(false, nullptr);
            D.BackgroundStale = true;
            if (auto* W = DynCast<TWinControl>(D.HostControl); W && W->HandleAllocated())
                SendMessageA(W->Handle(), WM_NCPAINT, 0, 0);
            if (!Enter)
                ClearGlowEffects();
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (BorderMaskHasStates(SkinData)) {
            auto* W = DynCast<TWinControl>(D.HostControl);
            if (W && W->HandleAllocated() && W->CanFocus()) {
                D.BackgroundStale = true;
                D.HasFocus = Message.Msg == WM_SETFOCUS;
                SendMessageA(W->Handle(), WM_NCPAINT, 0, 0);
            }
        }
        break;
    default:
        break;
    }
}

void TacEditWnd::WndProc(TMessage& Message) {
    if (Unhooked || !Skinned(SkinData)) {
        TacBaseWnd::WndProc(Message);
        return;
    }
    TsCommonData& D = *SkinData;
    if (Message.Msg == SM_ALPHACMD) {
        switch (SkinCommandOf(Message.WParam)) {
        case SKIN_REFRESH:
            if (Message.LParam == reinterpret_cast<LPARAM>(SkinManager)) {
                TacBaseWnd::WndProc(Message);
                SetSkinParams();
                return;
            }
            break;
        case SKIN_ENDUPDATE:
            EndSkinUpdate(D, Handle, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
            break;
        case SKIN_ISSKINNED:
            Message.Result = 1;
            return;
        case SKIN_PREPARECACHE:
            GetWindowGeometry(Handle, HookParent, HookWndRect, 0, HookWndPos, HookWndSize, HookParentRect);
            PaintBorderCache(SkinData, Handle, InDialog);
            PaintHookCorners(SkinData, 0, this);
            return;
        case SKIN_GETSECTIONINDEX:
            if (Message.LParam)
                *reinterpret_cast<int*>(Message.LParam) = D.SectionIndex;
            return;
        case SKIN_GETAPPLICATION:
            Message.Result = reinterpret_cast<LRESULT>(Application);
            return;
        default:
            break;
        }
    } else if (IsWindowVisible(Handle) && !StyleChangeGuard && PaintMessage(Message)) {
        return;
    }
    TacBaseWnd::WndProc(Message);
    if (!Unhooked && SkinData)
        AfterMessage(Message);
}
