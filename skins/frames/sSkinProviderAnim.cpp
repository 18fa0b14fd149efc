// The form side of the window animations: the show animation played in a form's extended-border
// window, the hide animation of a skinned form, the layered fade of a form's new look, and the show
// and hide animations of a hooked dialog (played in an animation window of their own: a dialog has no
// extended-border window). The frames themselves are the engine's (a snapshot pushed into a layered
// window, 10 ms apart).
#include "sSkinProvider.h"

#include "acBorderForm.h"
#include "acDials.h"
#include "acFastPixels.h"
#include "acGlow.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"

#include <cmath>

namespace {
// The flags of every placement of an animation window: no activation, no copied or redrawn bits.
constexpr UINT AnimationPosFlags = SWP_NOOWNERZORDER | SWP_NOCOPYBITS | SWP_NOACTIVATE | SWP_NOREDRAW;

enum class TOffsetRule { ShowOrHide, Redraw };

// How far the snapshot's top-left lies left of and above the window: with an extended-border window
// the frame image carries the shadow margins and a taller title around the window.
TPoint SnapshotOffset(TsSkinProvider* P, TOffsetRule Rule) {
    TacBorderForm* B = P->BorderForm;
    TsSkinManager* M = P->ProviderManager();
    if (!B || !M || !P->Form->HandleAllocated())
        return TPoint{0, 0};
    HWND H = P->Form->Handle();
    TRect E;
    P->GetExtRect(E);
    const int Frame = FrameBorderWidth(H, B, false);
    const bool Zoomed = IsZoomed(H);
    const int DX = ExtendedBorderWidth(B) - Frame + E.Left;
    const int Normal = E.Top + ExtendedTitleHeight(B) - P->GetCaptionHeight(false) - Frame;
    if (Rule == TOffsetRule::ShowOrHide) {
        P->CaptionGrown = Zoomed;
        return TPoint{DX, Zoomed ? Frame + E.Top + ExtendedTitleOffset(B) : Normal};
    }
    const TsSkinData& S = *M->SkinData;
    if (P->CaptionGrown)
        return TPoint{DX, E.Top};
    if (Zoomed && S.ExtMaxTitleHeight != S.ExtTitleHeight)
        return TPoint{DX, Normal + S.ExtTitleHeight - S.ExtMaxTitleHeight};
    return TPoint{DX, Normal};
}

// The form's frame image with its controls painted in, 32-bit; opaque where no border window
// carries a shadow. A form being destroyed gives its frame image alone.
TBitmap* TakeFormSnapshot(TsSkinProvider* P) {
    P->PrepareFormImage();
    TBitmap* Image = P->SkinData()->CacheBitmap;
    const int W = Image ? Image->Width() : P->Form->Width(), H = Image ? Image->Height() : P->Form->Height();
    TBitmap* Snapshot = NewBitmap32(W, H);
    if (P->Form->ComponentState().Contains(csDestroying)) {
        if (Image)
            BitBlt(Snapshot->Canvas()->Handle(), 0, 0, W, H, Image->Canvas()->Handle(), 0, 0, SRCCOPY);
    } else {
        Snapshot->Canvas()->Lock();
        AnimationSnapshotDC = Snapshot->Canvas()->Handle();
        PaintControlTreeTo(Snapshot, P->Form, 0, 0, P);
        AnimationSnapshotDC = nullptr;
        Snapshot->Canvas()->Unlock();
    }
    if (!P->BorderForm)
        SetAlphaInRect(Snapshot, TRect{0, 0, W, H}, 255);
    return Snapshot;
}

// A borderless animation window that the hooks and the adapter leave alone.
TForm* MakeAnimationForm(bool Tool) {
    TForm* F = TForm::CreateNew(nullptr);
    F->SetTag(-98);
    F->SetBorderStyle(bsNone);
    if (Tool) {
        HWND H = F->Handle();
        SetWindowLongA(H, GWL_EXSTYLE, GetWindowLongA(H, GWL_EXSTYLE) | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE);
    }
    return F;
}

void AddLayeredStyle(HWND H) {
    SetWindowLongA(H, GWL_EXSTYLE, GetWindowLongA(H, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_NOACTIVATE);
}

// Where an animation window goes in the window order: topmost with a topmost owner, else right
// above the owner's window.
HWND InsertAfterFor(HWND Owner, TForm* Anim) {
    if (GetWindowLongA(Owner, GWL_EXSTYLE) & WS_EX_TOPMOST) {
        Anim->SetFormStyle(fsStayOnTop);
        return HWND_TOPMOST;
    }
    return GetWindow(Owner, GW_HWNDPREV);
}

// The show frames of AnimationSnapshot in the animation window W, placed (already at its bounds) above
// the owner window: layered, first shown at no opacity (at Alpha when there are no frames). Gives the
// last frame back.
TBitmap* PlayShowInWindow(TForm* W, HWND Owner, HDC Screen, int Steps, double AlphaStep, Byte Alpha, TacAnimType Mode,
                          UINT Flags) {
    HWND InsertAfter = InsertAfterFor(Owner, W);
    AddLayeredStyle(W->Handle());
    PushLayeredFrame(W->Handle(), Screen, AnimationSnapshot,
                     BLENDFUNCTION{AC_SRC_OVER, 0, static_cast<BYTE>(Steps > 0 ? 0 : Alpha), AC_SRC_ALPHA});
    ShowWindow(W->Handle(), SW_SHOWNOACTIVATE);
    SetWindowPos(W->Handle(), InsertAfter, W->Left(), W->Top(), AnimationSnapshot->Width(),
                 AnimationSnapshot->Height(), Flags);
    return PlayShowFrames(W->Handle(), Screen, AnimationSnapshot, Steps, AlphaStep, Alpha, Mode);
}

// The dialog's frame image with its child windows printed in at the client's place, 32-bit. With a
// border window the image is larger than the dialog by the skin's margins and keeps the shadow's
// alpha (only the printed client is made opaque); without one it is opaque. Offset is where the
// dialog's window lies in the image. AnimationSnapshotDC is left on the snapshot's canvas (locked)
// for the caller to clear.
TBitmap* TakeDialogSnapshot(TacDialogWnd* D, TPoint& Offset) {
    D->PrepareFormImage();
    TBitmap* Image = D->SkinData->CacheBitmap;
    const int W = Image ? Image->Width() : 0, H = Image ? Image->Height() : 0;
    TBitmap* Snapshot = NewBitmap32(W, H);
    HDC DC = Snapshot->Canvas()->Handle();
    if (Image)
        BitBlt(DC, 0, 0, W, H, Image->Canvas()->Handle(), 0, 0, SRCCOPY);
    Snapshot->Canvas()->Lock();
    AnimationSnapshotDC = DC;
    const int CX = D->GetClientOffsetX(), CY = D->GetClientOffsetY();
    int Saved = SaveDC(DC);
    POINT Old;
    OffsetViewportOrgEx(DC, CX, CY, &Old);
    RECT C;
    GetClientRect(D->Handle, &C);
    IntersectClipRect(DC, 0, 0, C.right, C.bottom);
    TacProvider::PrintChildWindows(D->Handle, DC);
    RestoreDC(DC, Saved);
    RECT WR;
    GetWindowRect(D->Handle, &WR);
    POINT Client{0, 0};
    ClientToScreen(D->Handle, &Client);
    Offset = TPoint{CX - (Client.x - WR.left), CY - (Client.y - WR.top)};
    if (D->BorderForm)
        SetAlphaInRect(Snapshot, TRect{CX, CY, CX + C.right, CY + C.bottom}, 255);
    else
        SetAlphaInRect(Snapshot, TRect{0, 0, W, H}, 255);
    return Snapshot;
}
}  // namespace

void AnimateBorderedFormShow(TacBorderForm* BorderForm, Word Time, Byte Alpha, TacAnimType Mode) {
    TsSkinProvider* P = BorderForm ? BorderForm->FOwner : nullptr;
    HWND Owner = BorderForm ? BorderForm->GetOwnerHandle() : nullptr;
    if (!P || !Owner || !BorderForm->AForm)
        return;
    AnimationInProgress = true;
    TForm* W = BorderForm->AForm;
    AnimationSnapshot = TakeFormSnapshot(P);
    const int Steps = Time / 10, SW = AnimationSnapshot->Width(), SH = AnimationSnapshot->Height();
    const TPoint D = SnapshotOffset(P, TOffsetRule::ShowOrHide);
    const TRect WR{P->Form->Left(), P->Form->Top(), P->Form->Left() + P->Form->Width(),
                   P->Form->Top() + P->Form->Height()};
    W->SetBounds(WR.Left - D.X, WR.Top - D.Y, SW, SH);
    HDC Screen = GetDC(nullptr);
    TOwned<TBitmap> Work(PlayShowInWindow(W, Owner, Screen, Steps, Steps > 0 ? double(Alpha) / Steps : 0, Alpha, Mode,
                                          AnimationPosFlags));
    SetWindowPos(W->Handle(), nullptr, WR.Left - D.X, WR.Top - D.Y, SW, SH, AnimationPosFlags | SWP_NOZORDER);
    PushLayeredFrame(W->Handle(), Screen, AnimationSnapshot, BLENDFUNCTION{AC_SRC_OVER, 0, Alpha, AC_SRC_ALPHA});
    ReleaseDC(nullptr, Screen);
    P->Animating = false;
    if (P->Form->AlphaBlend())
        P->Form->SetAlphaBlendValue(Alpha);
    SendMessageA(Owner, WM_SETREDRAW, 1, 0);
    UpdateWindow(Owner);
    AnimationInProgress = false;
    RedrawWindow(Owner, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    // The border window, still showing the picture, goes right below the form.
    SetWindowPos(W->Handle(), Owner, WR.Left - D.X, WR.Top - D.Y, SW, SH, AnimationPosFlags);
    FreeAndNil(AnimationSnapshot);
}

void AnimateFormHide(TsSkinProvider* Provider) {
    ClearGlowEffects();
    TCustomForm* F = Provider->Form;
    TsSkinManager* M = Provider->ProviderManager();
    if (!M || F->FormStyle() == fsMDIChild || !F->HandleAllocated())
        return;
    AnimationInProgress = true;
    TForm* Anim = MakeAnimationForm(true);
    AnimationSnapshot = TakeFormSnapshot(Provider);
    TPoint D{0, 0};
    if (Provider->BorderForm) {
        D = SnapshotOffset(Provider, TOffsetRule::ShowOrHide);
        FreeAndNil(Provider->BorderForm);
    }
    Anim->SetBounds(F->Left() - D.X, F->Top() - D.Y, AnimationSnapshot->Width(), AnimationSnapshot->Height());
    const TacFormHide* Options = M->AnimEffects->FormHide;
    // The timer takes the window and the picture (and frees both when it shows nothing).
    StartHideAnimation(Anim, AnimationSnapshot, Options->Time, 255, Options->Mode);
    AnimationSnapshot = nullptr;
    AnimationInProgress = false;
}

bool TsSkinProvider::FormHideAnimated() const {
    TsSkinManager* M = ProviderManager();
    return M && M->AnimEffects && M->AnimEffects->FormHide->Active && M->AnimEffects->FormHide->Time > 0 &&
           LayeredWindowsAvailable() && !IsIconicForm() && FDrawNonClientArea;
}

void TsSkinProvider::PlayHideAnimation() {
    // Every hide gets a timer of its own while an earlier one finishes its run.
    HideAnimationTimer = nullptr;
    // Only the layering added here goes again: a form with a constant opacity keeps its own.
    const bool Added = SetWindowLayered(Form->Handle(), true);
    AnimateFormHide(this);
    if (Added)
        SetWindowLayered(Form->Handle(), false);
}

HRGN TsSkinProvider::CreateShapeRegion() {
    if (!Form->HandleAllocated() || !HasBorder())
        return nullptr;
    FillRegionRects();
    return CreateFormRegion(0, 0);
}

bool TsSkinProvider::PlayLayeredRedraw(Word Time, Byte Alpha, TacAnimType Mode) {
    if (!Form->HandleAllocated() || !IsSkinned())
        return false;
    AnimationInProgress = true;
    HWND H = Form->Handle();
    AnimationSnapshot = TakeFormSnapshot(this);
    const int Steps = Time / 10, SW = AnimationSnapshot->Width(), SH = AnimationSnapshot->Height();
    const UINT Flags = SWP_NOCOPYBITS | SWP_NOACTIVATE | SWP_NOREDRAW;
    const TPoint D = SnapshotOffset(this, TOffsetRule::Redraw);
    RECT WR;
    GetWindowRect(H, &WR);
    TForm* Overlay = MakeAnimationForm(false);
    OverlayWindow = Overlay;
    HWND B = BorderForm ? BorderForm->Handle() : nullptr;
    if (B)
        Overlay->SetBounds(BorderForm->AForm->Left(), BorderForm->AForm->Top(), SW, SH);
    else
        Overlay->SetBounds(Form->Left(), Form->Top(), Form->Width(), Form->Height());
    HWND InsertAfter = InsertAfterFor(H, Overlay);
    SetWindowPos(Overlay->Handle(), InsertAfter, WR.left - D.X, WR.top - D.Y, SW, SH, Flags);
    HDC Screen = GetDC(nullptr);
    AddLayeredStyle(Overlay->Handle());
    if (B)
        AddLayeredStyle(B);
    PushLayeredFrame(Overlay->Handle(), Screen, AnimationSnapshot,
                     BLENDFUNCTION{AC_SRC_OVER, 0, static_cast<BYTE>(Steps > 0 ? 0 : Alpha), AC_SRC_ALPHA});
    ShowWindow(Overlay->Handle(), SW_SHOWNOACTIVATE);
    TOwned<TBitmap> Work(PlayShowFrames(Overlay->Handle(), Screen, AnimationSnapshot, Steps,
                                        Steps > 0 ? double(Alpha) / Steps : 0, Alpha, Mode));
    if (B)
        ShowWindow(B, SW_HIDE);
    ReleaseDC(nullptr, Screen);
    AnimationInProgress = false;
    if (Form->AlphaBlend())
        Form->SetAlphaBlendValue(Alpha);
    SendMessageA(H, WM_SETREDRAW, 1, 0);
    if (B)
        SetWindowRgn(B, BorderForm->CreateBorderRegion(), FALSE);
    RedrawWindow(H, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    if (B) {
        SetWindowPos(B, nullptr, WR.left - D.X, WR.top - D.Y, SW, SH, Flags | SWP_NOZORDER);
        HDC S2 = GetDC(nullptr);
        PushLayeredFrame(B, S2, Work.get(), BLENDFUNCTION{AC_SRC_OVER, 0, Alpha, AC_SRC_ALPHA});
        ReleaseDC(nullptr, S2);
        ShowWindow(B, SW_SHOWNOACTIVATE);
    }
    OverlayWindow = nullptr;
    Overlay->Free();
    AnimationSnapshotDC = nullptr;
    FreeAndNil(AnimationSnapshot);
    return true;
}

void AnimateBorderedDialogShow(TacDialogWnd* DialogWnd, Word Time, Byte Alpha, TacAnimType Mode) {
    if (!DialogWnd || !IsWindow(DialogWnd->Handle))
        return;
    HWND Dialog = DialogWnd->Handle;
    AnimationInProgress = true;
    TForm* W = MakeAnimationForm(true);
    TPoint D{0, 0};
    AnimationSnapshot = TakeDialogSnapshot(DialogWnd, D);
    AnimationSnapshot->Canvas()->Unlock();
    const int Steps = Time / 10, SW = AnimationSnapshot->Width(), SH = AnimationSnapshot->Height();
    const UINT Flags = AnimationPosFlags | SWP_NOSENDCHANGING;
    RECT WR;
    GetWindowRect(Dialog, &WR);
    W->SetBounds(WR.left - D.X, WR.top - D.Y, SW, SH);
    HDC Screen = GetDC(nullptr);
    TOwned<TBitmap> Work(
        PlayShowInWindow(W, Dialog, Screen, Steps, Steps > 0 ? double(Alpha) / (Steps + 1) : 0, Alpha, Mode, Flags));
    SetWindowPos(W->Handle(), nullptr, 0, 0, 0, 0, Flags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER);
    PushLayeredFrame(W->Handle(), Screen, AnimationSnapshot, BLENDFUNCTION{AC_SRC_OVER, 0, Alpha, AC_SRC_ALPHA});
    Work.reset();
    ReleaseDC(nullptr, Screen);
    SendMessageA(Dialog, WM_SETREDRAW, 1, 0);
    AnimationInProgress = false;
    DialogWnd->UpdateRegion(false);
    InvalidateRect(Dialog, nullptr, FALSE);
    UpdateWindow(Dialog);
    RedrawWindow(Dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    SetWindowPos(W->Handle(), Dialog, 0, 0, 0, 0, Flags | SWP_NOSIZE | SWP_NOMOVE);
    AnimationSnapshotDC = nullptr;
    FreeAndNil(AnimationSnapshot);
    W->Free();
}

void AnimateDialogHide(TacDialogWnd* DialogWnd) {
    TsSkinManager* M = DialogWnd ? DialogWnd->SkinData->GetSkinManager() : nullptr;
    if (!M || !IsWindow(DialogWnd->Handle))
        return;
    AnimationInProgress = true;
    TForm* Anim = MakeAnimationForm(true);
    TPoint D{0, 0};
    AnimationSnapshot = TakeDialogSnapshot(DialogWnd, D);
    AnimationSnapshotDC = nullptr;
    AnimationSnapshot->Canvas()->Unlock();
    RECT WR;
    GetWindowRect(DialogWnd->Handle, &WR);
    Anim->SetBounds(WR.left - D.X, WR.top - D.Y, AnimationSnapshot->Width(), AnimationSnapshot->Height());
    SetWindowLayered(DialogWnd->Handle, true);
    const TacFormHide* Options = M->AnimEffects->DialogHide;
    // The timer takes the window and the picture (and frees both when it shows nothing).
    StartHideAnimation(Anim, AnimationSnapshot, Options->Time, 255, Options->Mode);
    AnimationSnapshot = nullptr;
    AnimationInProgress = false;
}
