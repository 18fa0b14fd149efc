#include "sMDIForm.h"

#include "sDCUtils.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"
#include "sSystemMenu.h"
#include "sVclUtils.h"

TsSkinProvider* MDISkinProvider = nullptr;
TsSkinProvider* MDIChildProvider = nullptr;

namespace {
bool HasClientEdge(HWND Wnd) { return GetWindowLongA(Wnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE; }
}  // namespace

// ---------------------------------------------------------------------------------------------
// The client window's hook

TacMDIWnd::~TacMDIWnd() {
    MDIForm = nullptr;
    MDISkinData = nullptr;
}

bool TacMDIWnd::FormSkinned() const { return MDISkinData && MDISkinData->IsSkinned(false); }

bool TacMDIWnd::ActiveChildMaximized() const {
    BOOL Maximized = FALSE;
    HWND Active = reinterpret_cast<HWND>(SendMessageA(Handle, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&Maximized)));
    return Active && Maximized;
}

bool TacMDIWnd::PaintsFromImage() const {
    TsSkinManager* M = MDISkinData ? MDISkinData->GetSkinManager() : nullptr;
    return MDISkinData->NeedsSkinPaint() || (M && M->FindSectionIndex("MDIAREA") >= 0);
}

TRect TacMDIWnd::GetMDIClientRectInForm() {
    RECT W;
    GetWindowRect(Handle, &W);
    MapWindowPoints(nullptr, MDIForm->Handle(), reinterpret_cast<POINT*>(&W), 2);
    const int X = MDIProvider->GetClientOffsetX(), Y = MDIProvider->GetClientOffsetY();
    return TRect{W.left + X, W.top + Y, W.right + X, W.bottom + Y};
}

TRect TacMDIWnd::GetMDIClientRect() {
    RECT C;
    GetClientRect(Handle, &C);
    return TRect{C.left, C.top, C.right, C.bottom};
}

void TacMDIWnd::PaintMDIArea(HDC DC, bool Printing) {
    if (!MDIProvider || MDISkinData->IsUpdating())
        return;
    TRect Area = GetMDIClientRectInForm();
    TRect Target = GetMDIClientRect();
    if (!PaintsFromImage()) {
        FillRectSolid(DC, Target, MDIProvider->FormColor());
        return;
    }
    if (MDISkinData->BackgroundStale || !MDISkinData->CacheBitmap || MDIProvider->ImageSizeDiffers())
        MDIProvider->PrepareFormImage();
    if (!MDISkinData->CacheBitmap)
        return;
    int Inset = !Printing && HasClientEdge(Handle) ? 2 : 0;
    BitBlt(DC, Target.Left, Target.Top, Target.Width(), Target.Height(), MDISkinData->CacheBitmap->Canvas()->Handle(),
           Area.Left + Inset, Area.Top + Inset, SRCCOPY);
}

void TacMDIWnd::PaintMDIBorder(HDC DC) {
    if (!MDISkinData->CacheBitmap || !HasClientEdge(Handle))
        return;
    constexpr int Edge = 2;
    TRect Area = GetMDIClientRectInForm();
    if (PaintsFromImage())
        CopyBorderStrips(DC, 0, 0, Edge, MDISkinData->CacheBitmap->Canvas()->Handle(), Area.Left, Area.Top,
                         Area.Width(), Area.Height());
    else
        FillBorderSolid(DC, TRect{0, 0, Area.Width(), Area.Height()}, Edge, MDIProvider->FormColor(), Edge, Edge, Edge);
}

// The thumb was let go: the children move once, by the units between the position the window had
// and the one the thumb stands for (the client window works out its range anew at the end of the
// scroll).
void TacMDIWnd::ThumbPosition(TMessage& Message) {
    const bool Horz = Message.Msg == WM_HSCROLL;
    SCROLLINFO SI{};
    SI.cbSize = sizeof(SI);
    SI.fMask = SIF_ALL;
    GetScrollInfo(Handle, Horz ? SB_HORZ : SB_VERT, &SI);
    const int Delta = (SI.nPos - BarInteraction.LastTrackPos) * ScrollStep;
    if (Delta)
        ScrollWindow(Handle, Horz ? Delta : 0, Horz ? 0 : Delta, nullptr, nullptr);
    Message.Result = 0;
}

void TacMDIWnd::Arranged(TMessage& Message) {
    PassOn(Message);
    MDISkinData->BackgroundStale = true;
    MDIProvider->TitleIndex = -1;
    HWND Active = reinterpret_cast<HWND>(SendMessageA(Handle, WM_MDIGETACTIVE, 0, 0));
    if (Active && MDIForm && MDIForm->FormStyle() == fsMDIForm && AnswersSkinCommand(Active, SKIN_ISSKINNED))
        SetWindowLongA(Active, GWL_STYLE, GetWindowLongA(Active, GWL_STYLE) & ~WS_SYSMENU);
    MDIProvider->RepaintNonClient();
    InvalidateRect(Handle, nullptr, TRUE);
    RedrawWindow(Handle, nullptr, nullptr, RDW_FRAME | RDW_ALLCHILDREN | RDW_INVALIDATE);
    if (MDIProvider->SystemMenu)
        MDIProvider->SystemMenu->UpdateItems(false);
}

void TacMDIWnd::WndProc(TMessage& Message) {
    if (Unhooked || !MDIProvider) {
        TacBaseWnd::WndProc(Message);
        return;
    }
    const bool Skinned = FormSkinned();
    switch (Message.Msg) {
    case SM_ALPHACMD:
        switch (SkinCommandOf(Message.WParam)) {
        case SKIN_BEFORECHILDPAINT:
            SendSkinCommandTo(MDIForm, SKIN_BEFORECHILDPAINT, 0);
            return;
        case SKIN_BEFORESCROLL: {
            const int Code = LOWORD(Message.LParam);
            Message.Result = Code == SB_THUMBPOSITION || Code == SB_THUMBTRACK ? 1 : 0;
            return;
        }
        case SKIN_AFTERSCROLL:
            UpdateScrollInfo(true);
            return;
        default:
            break;
        }
        break;
    case WM_PAINT:
        if (AnimationInProgress)
            return;
        break;
    case WM_ERASEBKGND:
        if (!Message.WParam || !Skinned)
            break;
        if (!AnimationInProgress && !ActiveChildMaximized()) {
            HDC DC = reinterpret_cast<HDC>(Message.WParam);
            int Saved = SaveDC(DC);
            PaintMDIArea(DC, false);
            RestoreDC(DC, Saved);
        }
        Message.Result = 1;
        return;
    case WM_WINDOWPOSCHANGING:
        MDISkinData->BackgroundStale = true;
        break;
    case WM_STYLECHANGED:
        PassOn(Message);
        return;
    case WM_NCPAINT:
        if (!Skinned)
            break;
        if (!ActiveChildMaximized() && !AnimationInProgress) {
            HDC DC = GetWindowDC(Handle);
            PaintMDIBorder(DC);
            PaintScrollBars(Handle, static_cast<int>(Message.WParam), DC, -1);
            ReleaseDC(Handle, DC);
        }
        Message.Result = 1;
        return;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (LOWORD(Message.WParam) == SB_THUMBTRACK)
            return;
        if (LOWORD(Message.WParam) == SB_THUMBPOSITION) {
            ThumbPosition(Message);
            return;
        }
        // The end of a scroll carries no position; the client window would take one in the high
        // word for a command it does not know and scroll its children back to the start.
        if (LOWORD(Message.WParam) == SB_ENDSCROLL)
            Message.WParam = SB_ENDSCROLL;
        break;
    case WM_MDITILE:
    case WM_MDICASCADE:
        Arranged(Message);
        return;
    case WM_MDISETMENU:
        // The frame's bar changed: its rows are counted again and the line painted anew.
        PassOn(Message);
        MDISkinData->BackgroundStale = true;
        MDIProvider->FrameStale = true;
        MDIProvider->MenuLines = -1;
        return;
    case WM_MDIREFRESHMENU:
        PassOn(Message);
        MDIProvider->RepaintNonClient();
        return;
    case WM_PRINT:
        if (!Message.WParam || !Skinned)
            break;
        Message.Result = 0;
        if (!MDIProvider->BorderForm && !ActiveChildMaximized()) {
            HDC DC = reinterpret_cast<HDC>(Message.WParam);
            int Saved = SaveDC(DC);
            PaintMDIArea(DC, true);
            PaintScrollBars(Handle, static_cast<int>(Message.WParam), DC, -1);
            RestoreDC(DC, Saved);
        }
        return;
    default:
        break;
    }
    TacBaseWnd::WndProc(Message);
    if ((Message.Msg == 0x003F || Message.Msg == WM_PARENTNOTIFY) && !Unhooked) {
        LONG Style = GetWindowLongA(Handle, GWL_STYLE);
        if (VertBar)
            VertBar->Shown = Style & WS_VSCROLL;
        if (HorzBar)
            HorzBar->Shown = Style & WS_HSCROLL;
        UpdateScrollInfo(true);
    }
}

// ---------------------------------------------------------------------------------------------
// The MDI client object

TsMDIForm::TsMDIForm(TsSkinProvider* Provider) : SkinProvider(Provider) {
    Form = Provider->Form;
    if (Form)
        Form->HandleNeeded();
}

TsMDIForm::~TsMDIForm() { ReleaseClientHook(); }

void TsMDIForm::Connect() {
    // A hook whose client window went (the form's window made anew) gives way to one on the new window.
    if (ClientWnd && ClientWnd->Unhooked)
        ReleaseClientHook();
    if (!Form || Form->ComponentState().Contains(csDesigning) || ClientWnd)
        return;
    UpdateClientHook();
}

void TsMDIForm::UpdateClientHook() {
    TsCommonData* D = SkinProvider->SkinData();
    ReleaseClientHook();
    if (!D->IsSkinned(false) || !Form || !Form->HandleAllocated() || !Form->ClientHandle())
        return;
    ClientWnd = Create<TacMDIWnd>(Form->ClientHandle(), true, "CHECKBOX", D->GetSkinManager(), nullptr);
    ClientWnd->MDIForm = DynCast<TForm>(Form);
    ClientWnd->MDISkinData = D;
    ClientWnd->MDIProvider = SkinProvider;
    RedrawWindow(Form->ClientHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The hook owns the skin data it made for itself and frees it with itself.
void TsMDIForm::ReleaseClientHook() { FreeAndNil(ClientWnd); }

void TsMDIForm::RepaintFrame() { SkinProvider->RepaintNonClient(); }
