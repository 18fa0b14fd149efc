#include "acSBAnimation.h"

#include "acBorderForm.h"
#include "acDials.h"
#include "sCommonData.h"
#include "sGraphUtils.h"
#include "sMaskDraw.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"

namespace {
constexpr const char* GlobalInfo = "GLOBALINFO";

// The skin's glow picture of a button image: its property name followed by "GLOW0".
int GlowMaskOf(TsSkinManager* M, int ImageIndex) {
    if (!M || !M->MaskIndexInRange(ImageIndex))
        return -1;
    return M->FindMaskIndexBySection(GlobalInfo, M->MaskList[ImageIndex].PropertyName + "GLOW0");
}
}  // namespace

TacSBAnimation::TacSBAnimation(TComponent* AOwner) : TTimer(AOwner) {
    SetOnTimer(TNotifyEvent::Bind<&TacSBAnimation::AnimTimer>(this));
}

TacSBAnimation::~TacSBAnimation() {
    SetEnabled(false);
    FreeAndNil(GlowWindow);
    FreeAndNil(Image);
    if (Button && Button->Animation == this)
        Button->Animation = nullptr;
}

void TacSBAnimation::ChangeState(int NewState, bool AUp) {
    if (NewState == State)
        return;
    State = NewState;
    if (NewState != 0) {
        if (NewState == 2) {
            FreeAndNil(GlowWindow);
            FreeAndNil(Image);
        }
        Step = 1;
        Up = AUp;
        ShowGlow(std::min(StepAlpha(), 255));
        Step = 2;
    } else {
        Up = false;
        Step = Step - 1;
        ShowGlow(std::min(StepAlpha(), 255));
    }
    SetEnabled(Steps > 1);
}

void TacSBAnimation::AnimTimer(TObject*) {
    if (!Enabled())
        return;
    if (Up) {
        if (Step >= Steps) {
            CheckMouseLeave();
            if (Steps != -1) {
                Steps = -1;
                ShowGlow(255);
            }
        } else {
            ShowGlow(std::min(StepAlpha() * Step, 255));
            ++Step;
        }
    } else if (Step <= 0) {
        State = -1;
        SetEnabled(false);
        FreeAndNil(Image);
        FreeAndNil(GlowWindow);
        CurrentAlpha = 0;
    } else {
        ShowGlow(std::min(StepAlpha() * Step, 255));
        --Step;
    }
}

int TacSBAnimation::GlowMargin() {
    TsSkinManager* M = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!M || !M->GetAllowGlowing() || State != 1 || !Button)
        return 0;
    switch (Button->HitCode) {
        case HTCLOSE:
            return M->SkinData->CloseButtonGlowMargin;
        case HTMAXBUTTON:
            return M->SkinData->MaxButtonGlowMargin;
        case HTMINBUTTON:
            return M->SkinData->MinButtonGlowMargin;
        default:
            return 0;
    }
}

void TacSBAnimation::GetGlowRect(TRect& R) {
    RECT W{};
    if (BorderForm && BorderForm->Handle())
        GetWindowRect(BorderForm->Handle(), &W);
    else if (OwnerHandle)
        GetWindowRect(OwnerHandle, &W);
    const TRect& B = Button->Rect;
    R = TRect{W.left + B.Left, W.top + B.Top, W.left + B.Left + std::max<int>(0, B.Right - B.Left),
              W.top + B.Top + std::max<int>(0, B.Bottom - B.Top)};
    TsSkinManager* M = SkinData ? SkinData->GetSkinManager() : nullptr;
    int Margin = GlowMargin();
    int Glow = Margin != 0 ? GlowMaskOf(M, Button->ImageIndex) : -1;
    if (Glow >= 0) {
        const TsMaskData& G = M->MaskList[Glow];
        R.Left -= Margin;
        R.Top -= Margin;
        R.Right = R.Left + (G.R.Right - G.R.Left);
        R.Bottom = R.Top + (G.R.Bottom - G.R.Top);
    }
}

void TacSBAnimation::MakeImage() {
    if (State == 0 && Image)
        return;
    TsSkinManager* M = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!M || !Button || !SkinData->CacheBitmap)
        return;
    TRect R;
    GetGlowRect(R);
    bool UseGlow = M->GetAllowGlowing() && State == 1 &&
                   (Button->HitCode == HTMINBUTTON || Button->HitCode == HTMAXBUTTON || Button->HitCode == HTCLOSE);
    int Index = Button->ImageIndex;
    int Glow = UseGlow ? GlowMaskOf(M, Index) : -1;
    UseGlow = Glow >= 0;
    if (!Image)
        Image = NewBitmap32(std::max<int>(0, R.Right - R.Left), std::max<int>(0, R.Bottom - R.Top));
    if (UseGlow) {
        const TsMaskData& G = M->MaskList[Glow];
        TBitmap* Src = G.Bmp ? G.Bmp : M->MasterBitmap;
        BitBlt(Image->Canvas()->Handle(), 0, 0, Image->Width(), Image->Height(), Src->Canvas()->Handle(),
               G.Bmp ? 0 : G.R.Left, G.Bmp ? 0 : G.R.Top, SRCCOPY);
        return;
    }
    BitBlt(Image->Canvas()->Handle(), 0, 0, Image->Width(), Image->Height(), SkinData->CacheBitmap->Canvas()->Handle(),
           Button->Rect.Left, Button->Rect.Top, SRCCOPY);
    if (M->MaskIndexInRange(Index))
        DrawSkinGlyph(Image, TPoint{0, 0}, std::max<int>(0, Button->State), 1, M->MaskList[Index],
                      MakeBackgroundSource(Image, 0, 0));
    if (!BorderForm)
        for (int Y = 0; Y < Image->Height(); ++Y) {
            auto* Row = static_cast<Byte*>(Image->ScanLine(Y));
            for (int X = 0; X < Image->Width(); ++X)
                Row[X * 4 + 3] = 255;
        }
}

void TacSBAnimation::MakeGlowWindow() {
    if (GlowWindow)
        return;
    GlowWindow = TForm::CreateNew(nullptr);
    GlowWindow->SetTag(-98);
    GlowWindow->SetBorderStyle(bsNone);
    HWND H = GlowWindow->Handle();
    SetWindowLongA(H, GWL_EXSTYLE,
                   GetWindowLongA(H, GWL_EXSTYLE) | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE);
}

void TacSBAnimation::ShowGlow(int Alpha) {
    if (!Image)
        MakeImage();
    MakeGlowWindow();
    if (!Image || !LayeredWindowsAvailable())
        return;
    TRect R;
    GetGlowRect(R);
    if (R.Right - R.Left != Image->Width()) {
        R.Left -= (Image->Width() - (R.Right - R.Left)) / 2;
        R.Top -= (Image->Height() - (R.Bottom - R.Top)) / 2;
    }
    HWND H = GlowWindow->Handle();
    HWND Anchor = BorderForm && BorderForm->Handle() ? BorderForm->Handle() : OwnerHandle;
    SetWindowPos(H, GetWindow(Anchor, GW_HWNDPREV), R.Left, R.Top, Image->Width(), Image->Height(),
                 SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
    SetWindowLongA(H, GWL_EXSTYLE,
                   GetWindowLongA(H, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE);
    BLENDFUNCTION Blend{AC_SRC_OVER, 0, static_cast<Byte>(Alpha), AC_SRC_ALPHA};
    HDC Screen = GetDC(nullptr);
    SIZE Size{Image->Width(), Image->Height()};
    POINT Origin{0, 0};
    UpdateLayeredWindowProc(H, Screen, nullptr, &Size, Image->Canvas()->Handle(), &Origin, 0x1FFFFFFF, &Blend,
                            ULW_ALPHA);
    ReleaseDC(nullptr, Screen);
    ShowWindow(H, SW_SHOWNOACTIVATE);
    CurrentAlpha = Alpha;
}

void TacSBAnimation::CheckMouseLeave() {
    POINT P;
    GetCursorPos(&P);
    RECT W{};
    if (BorderForm && BorderForm->Handle())
        GetWindowRect(BorderForm->Handle(), &W);
    else
        GetWindowRect(OwnerHandle, &W);
    P.x -= W.left;
    P.y -= W.top;
    const TRect& B = Button->Rect;
    if (!(P.x >= B.Left && P.x < B.Right && P.y >= B.Top && P.y < B.Bottom)) {
        SetEnabled(false);
        SendMessageA(OwnerHandle, WM_MOUSELEAVE, 0, 0);
    }
}

void StartButtonAnimation(TitleButtonState& Button, int State, int Steps, bool Fading, TsSkinProvider* Provider,
                          TacDialogWnd* DialogWnd) {
    if (TacSBAnimation* A = Button.Animation) {
        if (Fading)
            A->State = State;
        A->Steps = Steps;
        A->Up = Fading;
        A->SetEnabled(true);
        if (State == 2) {
            A->Step = Steps;
            FreeAndNil(A->Image);
            FreeAndNil(A->GlowWindow);
            A->MakeGlowWindow();
            A->MakeImage();
            A->ShowGlow(255);
        }
        return;
    }
    TacSBAnimation* A = nullptr;
    if (DialogWnd) {
        if (!IsWindow(DialogWnd->Handle))
            return;
        A = Create<TacSBAnimation>(Application);
        A->BorderForm = DialogWnd->BorderForm;
        A->OwnerHandle = DialogWnd->Handle;
        A->SkinData = DialogWnd->SkinData;
    } else {
        if (!Provider || !Provider->Form->HandleAllocated())
            return;
        A = Create<TacSBAnimation>(Provider);
        A->BorderForm = Provider->BorderForm;
        A->OwnerHandle = Provider->Form->Handle();
        A->SkinData = Provider->SkinData();
    }
    A->SetEnabled(false);
    A->Button = &Button;
    Button.Animation = A;
    A->Steps = Steps;
    A->SetInterval(12);
    A->ChangeState(State, true);
}
