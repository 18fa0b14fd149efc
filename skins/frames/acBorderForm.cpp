#include "acBorderForm.h"

#include "acDials.h"
#include "acSBAnimation.h"
#include "sCommonData.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"
#include "sSystemMenu.h"

TacBorderForm::TacBorderForm(TsSkinProvider* AOwner) : FOwner(AOwner) { MakeWindow(); }

TacBorderForm::TacBorderForm(TacDialogWnd* AOwner) : DialogOwner(AOwner) { MakeWindow(); }

void TacBorderForm::MakeWindow() {
    AForm = TForm::CreateNew(nullptr);
    AForm->SetTag(-98);
    AForm->SetBorderStyle(bsNone);
    HWND H = AForm->Handle();
    SetWindowLongA(H, GWL_EXSTYLE, GetWindowLongA(H, GWL_EXSTYLE) | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE);
    OldWndProc = AForm->WindowProc;
    AForm->WindowProc = TWndMethod::Bind<&TacBorderForm::BorderWndProc>(this);
}

TacBorderForm::~TacBorderForm() {
    StopOwnerAnimations();
    if (AForm) {
        AForm->WindowProc = OldWndProc;
        FreeAndNil(AForm);
    }
}

TsSkinManager* TacBorderForm::OwnerManager() const {
    if (FOwner)
        return FOwner->ProviderManager();
    return DialogOwner && DialogOwner->SkinData ? DialogOwner->SkinData->GetSkinManager() : nullptr;
}

void TacBorderForm::SetHotButton(int Code) {
    if (FOwner)
        FOwner->SetHotButton(Code, true);
    else if (DialogOwner)
        DialogOwner->SetHotButton(Code < 0 ? 0 : Code, true);  // a dialog names "none" 0
}

void TacBorderForm::StopOwnerAnimations() {
    if (FOwner)
        FOwner->StopButtonAnimations();
    else if (DialogOwner)
        DialogOwner->FreeButtonTimers();
}

void TacBorderForm::PrepareOwnerImage() {
    if (FOwner)
        FOwner->PrepareFormImage();
    else if (DialogOwner)
        DialogOwner->PrepareFormImage();
}

TRect TacBorderForm::OwnerIconRect() {
    TRect R{};
    if (FOwner)
        FOwner->GetIconRect(R);
    else if (DialogOwner)
        R = DialogOwner->IconRect();
    return R;
}

HWND TacBorderForm::Handle() const { return AForm && AForm->HandleAllocated() ? AForm->Handle() : nullptr; }

HWND TacBorderForm::GetOwnerHandle() const {
    if (DialogOwner)
        return IsWindow(DialogOwner->Handle) ? DialogOwner->Handle : nullptr;
    return FOwner && FOwner->Form && FOwner->Form->HandleAllocated() ? FOwner->Form->Handle() : nullptr;
}

void TacBorderForm::GetSkinMargins(TRect& R) const {
    TsSkinManager* M = OwnerManager();
    R = M ? M->ExBorderMargins : TRect{};
}

int TacBorderForm::CaptionHeight(bool WithExtended) {
    if (FOwner)
        return FOwner->GetCaptionHeight(WithExtended);
    return DialogOwner ? DialogOwner->GetCaptionHeight(WithExtended) : 0;
}

int TacBorderForm::TopOffset() {
    TRect M;
    GetSkinMargins(M);
    int FW = FrameBorderWidth(GetOwnerHandle(), this, false);
    return M.Top + (CaptionHeight(false) != 0 ? ExtendedTitleHeight(this) : 0) - FW - CaptionHeight(false);
}

bool TacBorderForm::MouseInShadow(const TMessage& Message) {
    TsSkinManager* Manager = OwnerManager();
    if (Application->ComponentState().Contains(csDestroying) || !SkinData || !AForm || !Manager ||
        !Manager->SkinData->SkinActive || IsZoomed(GetOwnerHandle()))
        return false;
    int X = static_cast<short>(LOWORD(Message.LParam)), Y = static_cast<short>(HIWORD(Message.LParam));
    if (Message.Msg != WM_MOUSEMOVE) {
        X -= AForm->Left();
        Y -= AForm->Top();
    }
    TRect M;
    GetSkinMargins(M);
    if (M.Left <= X && X <= AForm->Width() - M.Right && M.Top <= Y && Y <= AForm->Height() - M.Bottom)
        return false;
    SetHotButton(-1);
    return true;
}

HRGN TacBorderForm::CreateBorderRegion() {
    HWND Owner = GetOwnerHandle();
    if ((!FOwner && !DialogOwner) || !Owner || !AForm)
        return nullptr;
    TRect M;
    GetSkinMargins(M);
    const int W = AForm->Width(), H = AForm->Height();
    const int FW = FrameBorderWidth(Owner, this, false), EO = ExtendedBorderOffset(this);
    const bool Zoomed = IsZoomed(Owner);
    HRGN Rgn = Zoomed ? CreateRectRgn(M.Left + FW + EO, M.Top + 4, W - FW - EO - M.Right, H - FW - EO - M.Bottom)
                      : nullptr;
    // A dialog's border window keeps no region of its own but the maximised one.
    if (DialogOwner)
        return Rgn;
    if (!Zoomed)
        Rgn = CreateRectRgn(0, 0, W, H);
    // The form's client area shows through: the border window lies around it, not over it.
    RECT C;
    GetClientRect(Owner, &C);
    const int CX = FOwner->GetClientOffsetX(), CY = FOwner->GetClientOffsetY();
    HRGN Client = CreateRectRgn(CX, CY, CX + C.right, CY + C.bottom);
    CombineRgn(Rgn, Rgn, Client, RGN_XOR);
    DeleteObject(Client);
    return Rgn;
}

int TacBorderForm::ButtonIndexAt(TPoint P) {
    auto Inside = [&P](const TRect& R) { return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom; };
    TsSystemMenu* Menu = FOwner->SystemMenu;
    int N = 0, Found = 0;
    if (Menu && Menu->VisibleClose()) {
        N = 1;
        if (Inside(FOwner->BtnClose.Rect))
            Found = 1;
        if (Menu->VisibleMax() && (++N, !Found && Inside(FOwner->BtnMax.Rect)))
            Found = N;
        if (Menu->VisibleMin() && (++N, !Found && Inside(FOwner->BtnMin.Rect)))
            Found = N;
        if (FOwner->Form->BorderIcons().Contains(biHelp) && (++N, !Found && Inside(FOwner->BtnHelp.Rect)))
            Found = N;
    }
    TsTitleButtons* Buttons = FOwner->TitleButtons();
    for (int I = 0; I < Buttons->Count(); ++I) {
        ++N;
        if (Buttons->Items(I)->Visible() && Inside(Buttons->Items(I)->Data.Rect))
            return N;
    }
    return Found;
}

// The code of the provider's caption button under P, -1 for none.
int TacBorderForm::ProviderButtonCode(TPoint P) {
    TsSystemMenu* Menu = FOwner->SystemMenu;
    // Counted with the same predicates the layout uses (help from the form's border icons).
    const bool Close = Menu && Menu->VisibleClose(), Max = Close && Menu->VisibleMax();
    const bool Min = Close && Menu->VisibleMin(), Help = Close && FOwner->Form->BorderIcons().Contains(biHelp);
    int N = ButtonIndexAt(P);
    if (N <= 0)
        return -1;
    const int Count = Close ? 1 + (Max ? 1 : 0) + (Min ? 1 : 0) + (Help ? 1 : 0) : 0;
    if (N <= Count)
        return FOwner->SystemButtonCode(N, Max, Min, Help);
    TsTitleButtons* Buttons = FOwner->TitleButtons();
    if (N <= Count + Buttons->Count() && Buttons->Items(N - Count - 1)->Enabled)
        return HTUSERBUTTON + N - Count - 1;
    return -1;
}

int TacBorderForm::HitTest(TMessage& Message) {
    if ((!FOwner && !DialogOwner) || !AForm)
        return -1;
    if (FOwner && FOwner->OnExtHitTest) {
        Message.Result = 0;
        FOwner->OnExtHitTest(Message);
        if (Message.Result != 0)
            return static_cast<int>(Message.Result);
    }
    HWND Owner = GetOwnerHandle();
    if (!Owner || !IsWindowEnabled(Owner))
        return -1;
    TPoint P{static_cast<short>(LOWORD(Message.LParam)) - AForm->Left(),
             static_cast<short>(HIWORD(Message.LParam)) - AForm->Top()};
    // A dialog's buttons are found by the rules its own frame was drawn with.
    const int Button = FOwner ? ProviderButtonCode(P) : DialogOwner->TitleButtonAt(P);
    if (Button != -1) {
        SetHotButton(Button);
        return Button;
    }
    TRect M;
    GetSkinMargins(M);
    const int W = AForm->Width(), H = AForm->Height(), FW = FrameBorderWidth(Owner, this, false);
    if (!IsZoomed(Owner) && HasSizingFrame(Owner)) {
        int Code = -1;
        if (M.Top <= P.Y && P.Y <= FW + M.Top)
            Code = HTTOP;
        if (H - FW - M.Bottom <= P.Y && P.Y <= H - M.Bottom)
            Code = HTBOTTOM;
        if (M.Left <= P.X && P.X <= FW + M.Left)
            Code = Code == HTTOP ? HTTOPLEFT : (Code == HTBOTTOM ? HTBOTTOMLEFT : HTLEFT);
        if (W - FW - M.Right <= P.X && P.X <= W - M.Right)
            Code = Code == HTTOP || Code == HTTOPLEFT
                       ? HTTOPRIGHT
                       : (Code == HTBOTTOM || Code == HTBOTTOMLEFT ? HTBOTTOMRIGHT : HTRIGHT);
        if (Code != -1) {
            SetHotButton(-1);
            return Code;
        }
    }
    SetHotButton(-1);
    if (0 <= P.Y && P.Y <= CaptionHeight(true) + M.Top) {
        const TRect Icon = OwnerIconRect();
        bool InIcon = P.X >= Icon.Left && P.X < Icon.Right && P.Y >= Icon.Top && P.Y < Icon.Bottom;
        return InIcon ? HTSYSMENU : HTCAPTION;
    }
    SetHotButton(0);
    return -1;
}

bool TacBorderForm::UpdateCursor(TMessage& Message) {
    POINT Cursor;
    GetCursorPos(&Cursor);
    TMessage Hit{WM_NCHITTEST, Message.WParam, MAKELPARAM(Cursor.x, Cursor.y), 0};
    int Code = HitTest(Hit);
    Message.LParam = MAKELPARAM(static_cast<WORD>(Code), HIWORD(Message.LParam));
    if (MouseInShadow(Hit))
        return false;
    LPCSTR Id;
    switch (Code) {
        case HTCAPTION:
        case HTMENU:
            Id = IDC_ARROW;
            break;
        case HTLEFT:
        case HTRIGHT:
            Id = IDC_SIZEWE;
            break;
        case HTTOP:
        case HTBOTTOM:
            Id = IDC_SIZENS;
            break;
        case HTTOPLEFT:
        case HTBOTTOMRIGHT:
            Id = IDC_SIZENWSE;
            break;
        case HTTOPRIGHT:
        case HTBOTTOMLEFT:
            Id = IDC_SIZENESW;
            break;
        default:
            return false;
    }
    SetCursor(LoadCursorA(nullptr, Id));
    return true;
}

void TacBorderForm::BorderWndProc(TMessage& Message) {
    const UINT Msg = Message.Msg;
    HWND Owner = GetOwnerHandle();
    if (Msg >= WM_MOUSEMOVE && Msg <= WM_MBUTTONDBLCLK && MouseInShadow(Message)) {
        // Passed through to the window under the point, in that window's own coordinates.
        PassingMouse = true;
        POINT Screen{static_cast<short>(LOWORD(Message.LParam)) + AForm->Left(),
                     static_cast<short>(HIWORD(Message.LParam)) + AForm->Top()};
        HWND Below = WindowFromPoint(Screen);
        if (Below && Below != AForm->Handle() && Below != Owner) {
            POINT Local = Screen;
            ScreenToClient(Below, &Local);
            SendMessageA(Below, Msg, Message.WParam, MAKELPARAM(Local.x, Local.y));
        }
        PassingMouse = false;
        return;
    }
    switch (Msg) {
        case WM_ERASEBKGND:
        case WM_NCPAINT:
            return;
        case WM_SETCURSOR:
            if (!UpdateCursor(Message))
                OldWndProc(Message);
            return;
        case WM_MOUSEACTIVATE:
            Message.Result = MA_NOACTIVATE;
            if (Owner)
                SetForegroundWindow(Owner);
            return;
        case WM_WINDOWPOSCHANGED:
            StopOwnerAnimations();
            OldWndProc(Message);
            if (!PassingMouse)
                UpdateBorder(false, 255);
            return;
        case WM_NCHITTEST:
            if (MouseInShadow(Message)) {
                Message.Result = HTTRANSPARENT;
                OldWndProc(Message);
                Message.Result = HTTRANSPARENT;
            } else {
                Message.Result = HTOBJECT;
            }
            return;
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONUP:
        case WM_NCRBUTTONUP:
            if (!MouseInShadow(Message) && Owner)
                SendMessageA(Owner, Msg, WPARAM(-1), Message.LParam);
            return;
        case WM_NCRBUTTONDOWN:
            if (!MouseInShadow(Message) && Owner)
                SendMessageA(Owner, Msg, static_cast<WPARAM>(HitTest(Message)), Message.LParam);
            return;
        case WM_NCLBUTTONDBLCLK: {
            int Code = HitTest(Message);
            Message.WParam = static_cast<WPARAM>(Code);
            if (Code == HTCAPTION && FOwner && Owner) {
                TsSystemMenu* Menu = FOwner->SystemMenu;
                bool Toggle = (Menu && Menu->VisibleClose() && (Menu->EnabledMax() || Menu->EnabledRestore())) ||
                              (IsIconic(Owner) && !FOwner->HasBorder());
                if (Toggle)
                    SendMessageA(Owner, WM_SYSCOMMAND,
                                 IsZoomed(Owner) || IsIconic(Owner) ? SC_RESTORE : SC_MAXIMIZE, 0);
                else if (IsIconic(Owner))
                    SendMessageA(Owner, WM_SYSCOMMAND, SC_RESTORE, 0);
                if (Menu && (Toggle || IsIconic(Owner)))
                    Menu->UpdateItems(false);
                Message.WParam = 0;
            } else if (Code == HTSYSMENU && Owner) {
                SendMessageA(Owner, WM_SYSCOMMAND, SC_CLOSE, 0);
            }
            return;
        }
        default:
            OldWndProc(Message);
    }
}

void TacBorderForm::UpdateBorder(bool Repaint, Byte Alpha) {
    HWND Owner = GetOwnerHandle();
    RECT OwnerRect;
    if (!AForm || Application->Terminated() || Updating || !Owner || !GetWindowRect(Owner, &OwnerRect) ||
        AnimationInProgress || (!FOwner && !DialogOwner) || !SkinData)
        return;
    TCustomForm* Form = FOwner ? FOwner->Form : nullptr;
    if (FOwner && (Form->FormState().Contains(fsShowing) || (SkinData->Flags & UpdatingFlag) || FOwner->Animating ||
                   SkinData->InUpdate || !FOwner->DrawNonClientArea()))
        return;
    if (!IsWindowVisible(Owner)) {
        if (FOwner)
            ShowWindow(AForm->Handle(), SW_HIDE);
        return;
    }
    Updating = true;
    if (FOwner || SkinData->BackgroundStale || !SkinData->CacheBitmap) {
        PrepareOwnerImage();
        Repaint = true;
    }
    TBitmap* Image = SkinData->CacheBitmap;
    if (!Image || Image->Width() == 0) {
        Updating = false;
        return;
    }
    TRect M;
    GetSkinMargins(M);
    const int FW = FrameBorderWidth(Owner, this, false);
    const int Top = FOwner && FOwner->CaptionGrown ? FW + M.Top + ExtendedTitleOffset(this) : TopOffset();
    const int Left = ExtendedBorderWidth(this) - FW + M.Left;
    const int Width = Image->Width(), Height = Image->Height();
    HWND After = IsIconic(Owner) ? GetWindow(Owner, GW_HWNDPREV) : Owner;
    HWND H = AForm->Handle();
    if (GetWindowLongA(Owner, GWL_EXSTYLE) & WS_EX_TOPMOST)
        AForm->SetFormStyle(fsStayOnTop);
    else if (DialogOwner && (GetWindowLongA(Owner, GWL_STYLE) & WS_POPUP))
        SetWindowLongA(H, GWL_STYLE, GetWindowLongA(H, GWL_STYLE) | WS_POPUP);
    UINT Flags = SWP_NOOWNERZORDER | SWP_NOACTIVATE | SWP_NOSENDCHANGING;
    const bool SizeChanged = Width != AForm->Width() || Height != AForm->Height();
    AForm->SetBounds(OwnerRect.left - Left, OwnerRect.top - Top, Width, Height);
    if (LayeredWindowsAvailable() && (SizeChanged || Repaint) && !PassingMouse) {
        const bool FormAlpha = Form && Form->AlphaBlend();
        BLENDFUNCTION Blend{AC_SRC_OVER, 0, FormAlpha ? Form->AlphaBlendValue() : Alpha, AC_SRC_ALPHA};
        SetWindowLongA(H, GWL_EXSTYLE, GetWindowLongA(H, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_NOACTIVATE);
        SetWindowPos(H, After, 0, 0, 0, 0, Flags | SWP_NOSIZE | SWP_NOMOVE);
        SetWindowRgn(H, CreateBorderRegion(), FALSE);
        HDC Screen = GetDC(nullptr);
        SIZE Size{Width, Height};
        POINT Origin{0, 0};
        UpdateLayeredWindowProc(H, Screen, nullptr, &Size, Image->Canvas()->Handle(), &Origin, 0x1FFFFFFF, &Blend,
                                ULW_ALPHA);
        ReleaseDC(nullptr, Screen);
        LONG OwnerStyle = GetWindowLongA(Owner, GWL_STYLE);
        if (Alpha == 0)
            SetWindowLongA(Owner, GWL_STYLE, OwnerStyle & ~WS_VISIBLE);
        ShowWindow(H, SW_SHOWNOACTIVATE);
        if (Alpha == 0)
            SetWindowLongA(Owner, GWL_STYLE, OwnerStyle);
    } else {
        SetWindowPos(H, After, 0, 0, 0, 0, Flags | SWP_NOSIZE | SWP_NOMOVE);
    }
    Updating = false;
}
