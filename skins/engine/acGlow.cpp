#include "acGlow.h"

#include "acSavedProcs.h"
#include "sConst.h"
#include "sGraphUtils.h"
#include "sMaskDraw.h"
#include "sSkinManager.h"

#include <algorithm>

TacGlowEffects GlowEffects;
BLENDFUNCTION SharedBlend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};

namespace {

int UnitUsers = 0;

bool ManagerGoing(TsSkinManager* M) { return M && M->ComponentState().Contains(csDestroying); }

}  // namespace

TacGlowEffect::~TacGlowEffect() {
    FreeAndNil(GlowImage);
    if (!GlowForm)
        return;
    // Under a later hook of the window, that one takes what the effect replaced. Under a hook that is
    // none of ours the window goes all the same; it must not call into the freed effect meanwhile.
    if (!UnchainWindowProc(GlowForm, TWndMethod::Bind<&TacGlowEffect::GlowWndProc>(this), SavedWindowProc)) {
        UnregisterSavedProc(SavedWindowProc);
        GlowForm->WindowProc = SavedWindowProc;
    }
    // Released rather than freed: the effect may be removed from inside a message of a window
    // that the glow form's destruction would disturb. A manager being destroyed takes the forms
    // with it at once, as no message may reach them afterwards.
    if (ManagerGoing(Manager))
        delete GlowForm;
    else
        GlowForm->Release();
    GlowForm = nullptr;
}

void TacGlowEffect::GlowWndProc(TMessage& Message) {
    if (Message.Msg == WM_NCHITTEST) {
        Message.Result = HTTRANSPARENT;
        return;
    }
    SavedWindowProc(Message);
}

void TacGlowEffect::PrepareImage(int Width, int Height) {
    FreeAndNil(GlowImage);
    GlowImage = NewBitmap32(Width, Height);
    for (int Y = 0; Y < Height; ++Y)
        std::fill_n(static_cast<BYTE*>(GlowImage->ScanLine(Y)), Width * 4, BYTE(0));
    if (Mask >= 0 && Manager && Mask < static_cast<int>(Manager->MaskList.size()))
        DrawSkinMask(GlowImage, TRect{0, 0, Width, Height}, true, EmptyBackgroundSource, Manager->MaskList[Mask], 0,
                     false);
}

void TacGlowEffect::Show(TRect Rect, TRect VisibleRect, HWND ParentWnd) {
    if (GlowForm || !Manager || !LayeredWindowsAvailable())
        return;
    const int L = Manager->GetMaskLeftWidth(Mask), T = Manager->GetMaskTopWidth(Mask);
    const int R = Manager->GetMaskRightWidth(Mask), B = Manager->GetMaskBottomWidth(Mask);
    const int M = Inset;

    GlowForm = TForm::CreateNew(nullptr);
    GlowForm->SetTag(-98);
    ChainWindowProc(GlowForm, TWndMethod::Bind<&TacGlowEffect::GlowWndProc>(this), SavedWindowProc);
    GlowForm->SetControlStyle(GlowForm->ControlStyle() - TControlStyle{csCaptureMouse});
    GlowForm->SetBorderStyle(bsNone);

    int W = Rect.Width() + L + R - 2 * M;
    int H = Rect.Height() + B + T - 2 * M;
    // A rectangle smaller than twice the inset leaves nothing to glow.
    if (W <= 0 || H <= 0)
        return;
    SharedBlend.SourceConstantAlpha = 255;
    PrepareImage(W, H);

    int X0 = 0, Y0 = 0;
    if (VisibleRect.Width() != Rect.Width() || VisibleRect.Height() != Rect.Height()) {
        const int CW = VisibleRect.Width(), CH = VisibleRect.Height();
        X0 = VisibleRect.Left == 0 ? 0 : L + VisibleRect.Left - M;
        Y0 = VisibleRect.Top == 0 ? 0 : T + VisibleRect.Top - M;
        int X1 = VisibleRect.Right == Rect.Width() ? 0 : (X0 != 0 ? W - X0 - CW : Rect.Width() + R - CW - M);
        int Y1 = VisibleRect.Bottom == Rect.Height() ? 0 : (Y0 != 0 ? H - Y0 - CH : Rect.Height() + B - CH - M);
        // Cuts are kept inside the image: a visible part reaching into the glow's own margin must
        // not ask for pixels before the image's start or beyond its end.
        X0 = std::clamp(X0, 0, W);
        Y0 = std::clamp(Y0, 0, H);
        X1 = std::clamp(X1, 0, W - X0);
        Y1 = std::clamp(Y1, 0, H - Y0);
        W -= X0 + X1;
        H -= Y0 + Y1;
        if (W <= 0 || H <= 0) {
            FreeAndNil(GlowImage);
            return;
        }
        if (X0 != 0 || Y0 != 0) {
            TBitmap* Part = NewBitmap32(W, H);
            BitBlt(Part->Canvas()->Handle(), 0, 0, W, H, GlowImage->Canvas()->Handle(), X0, Y0, SRCCOPY);
            delete GlowImage;
            GlowImage = Part;
        }
    }

    GlowForm->SetBounds(GlowForm->Left(), GlowForm->Top(), W, H);
    if (ParentWnd && (GetWindowLongA(ParentWnd, GWL_EXSTYLE) & WS_EX_TOPMOST))
        GlowForm->SetFormStyle(fsStayOnTop);
    HWND Wnd = GlowForm->Handle();
    SetWindowPos(Wnd, nullptr, Rect.Left + M - L + X0, Rect.Top + M - T + Y0, W, H,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    SetWindowLongA(Wnd, GWL_EXSTYLE, GetWindowLongA(Wnd, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_TOOLWINDOW);
    HDC ScreenDC = GetDC(nullptr);
    SIZE Size{W, H};
    POINT Src{0, 0};
    UpdateLayeredWindowProc(Wnd, ScreenDC, nullptr, &Size, GlowImage->Canvas()->Handle(), &Src, 0, &SharedBlend,
                            ULW_ALPHA);
    ShowWindow(Wnd, SW_SHOWNOACTIVATE);
    ReleaseDC(nullptr, ScreenDC);
    FreeAndNil(GlowImage);
}

int AddGlowEffect(TRect Rect, TRect VisibleRect, const std::string& SectionName, TsSkinManager* Manager,
                  HWND ParentWnd, int, int Inset, const std::string& MaskName) {
    if (!LayeredWindowsAvailable())
        return -1;
    TsSkinManager* M = Manager ? Manager : DefaultManager;
    if (!M)
        return -1;
    const int Mask = M->FindMaskIndexBySection(SectionName, MaskName + "0");
    if (Mask < 0)
        return -1;
    auto* Effect = new TacGlowEffect();
    Effect->Manager = M;
    Effect->Mask = Mask;
    Effect->Inset = Inset;
    GlowEffects.push_back(Effect);
    Effect->Show(Rect, VisibleRect, ParentWnd);
    return static_cast<int>(GlowEffects.size()) - 1;
}

void RemoveGlowEffect(int Index) {
    if (Index < 0 || Index >= static_cast<int>(GlowEffects.size()))
        return;
    // The slot is emptied before the effect goes, so that nothing reached from the destruction
    // finds a half-freed effect.
    TacGlowEffect* Effect = GlowEffects[Index];
    GlowEffects[Index] = nullptr;
    delete Effect;
}

void ClearGlowEffects() {
    TacGlowEffects Effects;
    Effects.swap(GlowEffects);
    for (TacGlowEffect* Effect : Effects)
        delete Effect;
}

void acGlowInitialization() {
    if (UnitUsers++ > 0)
        return;
    SharedBlend = BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
}

void acGlowFinalization() {
    if (UnitUsers == 0 || --UnitUsers > 0)
        return;
    ClearGlowEffects();
}
