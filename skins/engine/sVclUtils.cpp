#include "sVclUtils.h"

#include "sComponentState.h"
#include "ComCtrls.h"
#include "sCommonData.h"
#include "sMessages.h"
#include "sGraphUtils.h"

#include <algorithm>
#include <cmath>

#include <vector>

bool AnimationInProgress = false;
bool PaintGraphicChildrenBusy = false;
HMODULE UxThemeLibrary = nullptr;
TSetWindowThemeProc SetWindowThemeProc = nullptr;
TSkipBroadcastChild SkipBroadcastChild = nullptr;


// ---------------------------------------------------------------------------------------------
// Command senders

LRESULT SendSkinCommand(HWND Handle, Word Code, LPARAM LParam) {
    return SendMessageA(Handle, SM_ALPHACMD, SkinCommandParam(Code), LParam);
}

LRESULT SendSkinCommandTo(TControl* Control, Word Code, LPARAM LParam) {
    if (auto* W = DynCast<TWinControl>(Control)) {
        if (IsDestroying(W) || !W->HandleAllocated())
            return 0;
        return SendSkinCommand(W->Handle(), Code, LParam);
    }
    return Control->Perform(SM_ALPHACMD, SkinCommandParam(Code), LParam);
}

LRESULT AskSkinCommand(TControl* Control, Word Code) { return SendSkinCommandTo(Control, Code, 0); }

bool AnswersSkinCommand(HWND Handle, Word Code) { return SendSkinCommand(Handle, Code, 0) == 1; }

void AskFormToAdaptControl(TControl* Control) {
    TComponentState S = Control->ComponentState();
    if (S.Contains(csDesigning) || S.Contains(csLoading))
        return;
    if (TCustomForm* Form = Control->GetParentForm())
        SendSkinCommandTo(Form, SKIN_ADAPTCHILDREN, reinterpret_cast<LPARAM>(Control));
}

void SendSkinMessageToProvider(TCustomForm* Form, TMessage& Message) {
    for (int I = 0; I < Form->ComponentCount(); ++I) {
        TComponent* C = Form->Components(I);
        if (TacFormProvider* P = AsFormProvider(C); P && !IsDestroying(C)) {
            P->HandleSkinMessage(Message);
            return;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Broadcasts

void BroadcastToSkinnedChildren(TWinControl* Control, TMessage& Message) {
    for (int I = 0; I < Control->ControlCount(); ++I) {
        TControl* Child = Control->Controls(I);
        if (IsDestroying(Child))
            return;
        auto* W = DynCast<TWinControl>(Child);
        if (!W || !W->HandleAllocated())
            Child->Perform(Message.Msg, Message.WParam, Message.LParam);
        else if (AskSkinCommand(W, SKIN_ISSKINNED) != 0)
            SendMessageA(W->Handle(), Message.Msg, Message.WParam, Message.LParam);
        else if (!(SkipBroadcastChild && SkipBroadcastChild(W)))
            BroadcastToSkinnedChildren(W, Message);
    }
}

namespace {
struct TDirectChildParams {
    HWND Parent;
    TMessage* Message;
};
BOOL CALLBACK SendToDirectChildProc(HWND Wnd, LPARAM Data) {
    auto* P = reinterpret_cast<TDirectChildParams*>(Data);
    if (GetParent(Wnd) == P->Parent)
        SendMessageA(Wnd, P->Message->Msg, P->Message->WParam, P->Message->LParam);
    return TRUE;
}
}  // namespace

void SendToDirectChildWindows(HWND Handle, TMessage& Message) {
    TDirectChildParams P{Handle, &Message};
    EnumChildWindows(Handle, &SendToDirectChildProc, reinterpret_cast<LPARAM>(&P));
}

void SendEndUpdateToChildren(TWinControl* Control) {
    if (AnimationInProgress)
        return;
    for (int I = 0; I < Control->ControlCount(); ++I) {
        TControl* Child = Control->Controls(I);
        if (DynCast<TGraphicControl>(Child) || IsDestroying(Child))
            continue;
        auto* W = DynCast<TWinControl>(Child);
        if (W && W->HandleAllocated() && W->Showing())
            SendSkinCommand(W->Handle(), SKIN_ENDUPDATE, 0);
        else
            SendSkinCommandTo(Child, SKIN_ENDUPDATE, 0);
    }
}

void SendEndUpdateToChildWindows(HWND Handle) {
    for (HWND W = GetTopWindow(Handle); W; W = GetWindow(W, GW_HWNDNEXT))
        if (GetWindowLongA(W, GWL_STYLE) & WS_CHILD)
            SendSkinCommand(W, SKIN_ENDUPDATE, 0);
}

// ---------------------------------------------------------------------------------------------
// Colours

TColor GetControlBgColor(TControl* Control) {
    if (!Control)
        return 0xFF00FF;
    if (AskSkinCommand(Control, SKIN_ISSKINNED) == 1)
        return ColorToRGB(
            static_cast<TColor>(Control->Perform(SM_ALPHACMD, SkinCommandParam(SKIN_GETBGCOLOR), 0xFF00FF)));
    return ColorToRGB(Control->Color());
}

TColor GetWindowBgColor(HWND Handle) {
    if (!Handle)
        return 0xFF00FF;
    return ColorToRGB(static_cast<TColor>(SendSkinCommand(Handle, SKIN_GETBGCOLOR, 0xFF00FF)));
}

// ---------------------------------------------------------------------------------------------
// Control tree and geometry

bool IsControlReady(TControl* Control) {
    if (!Control)
        return false;
    if (auto* W = DynCast<TWinControl>(Control); W && !W->HandleAllocated())
        return false;
    TControlState CS = Control->ControlState();
    TComponentState S = Control->ComponentState();
    if (CS.Contains(csCreating) || CS.Contains(csReadingState) || S.Contains(csLoading) || S.Contains(csDestroying))
        return false;
    return Control->Parent() != nullptr;
}

TCustomForm* GetOwnerForm(TComponent* Component) {
    for (TComponent* C = Component; C; C = C->Owner())
        if (auto* F = DynCast<TCustomForm>(C))
            return F;
    return nullptr;
}

TComponent* FindAbsentClassOwner(TComponent*) { return nullptr; }

UINT AlignmentTextFlags(TControl* Control, TAlignment Alignment) {
    static constexpr UINT ByAlignment[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    return Control->DrawTextBiDiModeFlags(ByAlignment[Alignment] | DT_VCENTER | DT_EXPANDTABS);
}

bool IsWholeTextSelected(TCustomEdit* Edit) {
    DWORD Start = 0, End = 0;
    SendMessageA(Edit->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
    DWORD Length = static_cast<DWORD>(GetWindowTextLengthA(Edit->Handle()));
    return End == Length && End - Start == Length;
}

void GetClientRectInWindow(HWND Handle, TRect& Rect) {
    GetClientRect(Handle, reinterpret_cast<RECT*>(&Rect));
    RECT W;
    GetWindowRect(Handle, &W);
    POINT P{W.left, W.top};
    ScreenToClient(Handle, &P);
    Rect.Left -= P.x;
    Rect.Right -= P.x;
    Rect.Top -= P.y;
    Rect.Bottom -= P.y;
}

int SumAlignedChildSizes(TWinControl* Control, TAlign Align, bool WithGraphic) {
    int Sum = 0;
    for (int I = 0; I < Control->ControlCount(); ++I) {
        TControl* C = Control->Controls(I);
        if (!C->Visible() || C->Align() != Align || (!WithGraphic && DynCast<TGraphicControl>(C)))
            continue;
        if (Align == alTop || Align == alBottom)
            Sum += C->Height();
        else if (Align == alLeft || Align == alRight)
            Sum += C->Width();
    }
    return Sum;
}

HWND GetTopLevelWindow(HWND Handle) {
    HWND Last = Handle;
    for (HWND W = GetParent(Handle); W; W = GetParent(W))
        Last = W;
    return Last;
}

BOOL ReadCursorPos(TPoint& Point) { return GetCursorPos(reinterpret_cast<POINT*>(&Point)); }

namespace {
void PaintTree(TBitmap* Bitmap, TControl* Control, int X, int Y, TacFormProvider* Provider, bool AtOrigin) {
    HDC DC = Bitmap->Canvas()->Handle();
    // The control's place: the DC's origin once the caller has moved it there, else (X, Y).
    int PX = AtOrigin ? 0 : X, PY = AtOrigin ? 0 : Y;
    if (!Control->Visible() && Control->Parent() && !Provider) {
        ParentBackgroundInfo Info;
        QueryParentBackground(Info, Control->Parent(), false);
        if (Info.Kind == 2 && Info.Bmp)
            BitBlt(DC, PX, PY, Control->Width(), Control->Height(), Info.Bmp->Canvas()->Handle(),
                   Info.X + Control->Left(), Info.Y + Control->Top(), SRCCOPY);
        else {
            HBRUSH Brush = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Info.Color)));
            RECT R{PX, PY, PX + Control->Width(), PY + Control->Height()};
            FillRect(DC, &R, Brush);
            DeleteObject(Brush);
        }
        return;
    }
    if (!Provider || !Provider->HasBorderForm())
        IntersectClipRect(DC, 0, 0, Control->Width(), Control->Height());
    auto* W = DynCast<TWinControl>(Control);
    if (!W) {
        Control->Perform(WM_PRINT, reinterpret_cast<WPARAM>(DC), 0);
        return;
    }
    if (auto* Form = DynCast<TCustomForm>(W); Form && Form->FormStyle() == fsMDIForm)
        for (int I = 0; I < Screen->FormCount(); ++I) {
            TCustomForm* Child = Screen->Forms(I);
            if (Child->FormStyle() != fsMDIChild || !Child->Visible())
                continue;
            SaveDC(DC);
            MoveWindowOrg(DC, Child->Left(), Child->Top());
            PaintTree(Bitmap, Child, Child->Left(), Child->Top(), nullptr, true);
            RestoreDC(DC, -1);
        }
    if (AskSkinCommand(W, SKIN_ISSKINNED) != 0)
        SendMessageA(W->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(DC), 0);
    else
        W->PaintTo(DC, 0, 0);
    for (int I = 0; I < W->ControlCount(); ++I) {
        auto* Child = DynCast<TWinControl>(W->Controls(I));
        if (!Child || !Child->Visible())
            continue;
        SaveDC(DC);
        bool Moved = !(DynCast<TCustomForm>(Child) && !Child->Parent());
        if (Moved)
            MoveWindowOrg(DC, Child->Left(), Child->Top());
        PaintTree(Bitmap, Child, Child->Left(), Child->Top(), nullptr, Moved);
        RestoreDC(DC, -1);
    }
    if (Provider && Provider->HasBorderForm() && Bitmap->PixelFormat() == pf32bit) {
        TRect R = W->ClientRect();
        int DX = Provider->GetClientOffsetX(), DY = Provider->GetClientOffsetY();
        R.Left += DX, R.Right += DX, R.Top += DY, R.Bottom += DY;
        // The bitmap's last row is never touched.
        int Bottom = std::min<int>(R.Bottom, Bitmap->Height() - 1);
        for (int Row = std::max<int>(R.Top, 0); Row < Bottom; ++Row) {
            auto* P = static_cast<BYTE*>(Bitmap->ScanLine(Row));
            for (int Col = std::max<int>(R.Left, 0); Col < std::min<int>(R.Right, Bitmap->Width()); ++Col)
                P[Col * 4 + 3] = 255;
        }
    }
}

bool IsPaintableGraphicChild(TControl* Child, HDC DC) {
    bool Designing = Child->ComponentState().Contains(csDesigning);
    if (!(Child->Visible() || Designing) || !DynCast<TGraphicControl>(Child) || Child->Width() < 1 ||
        Child->Height() < 1 || Child->ControlStyle().Contains(csNoDesignVisible) || IsDestroying(Child))
        return false;
    if (auto* B = DynCast<TToolButton>(Child)) {
        TToolButtonStyle S = B->Style();
        if (S == tbsButton || S == tbsCheck || S == tbsDropDown)
            return false;
    }
    TRect R = Child->BoundsRect();
    return RectVisible(DC, reinterpret_cast<const RECT*>(&R)) != 0;
}

// Clears the busy flag on every way out.
struct TBusyScope {
    TBusyScope() { PaintGraphicChildrenBusy = true; }
    ~TBusyScope() { PaintGraphicChildrenBusy = false; }
};
}  // namespace

void PaintControlTreeTo(TBitmap* Bitmap, TControl* Control, int X, int Y, TacFormProvider* Provider) {
    PaintTree(Bitmap, Control, X, Y, Provider, false);
}

void PaintGraphicChildren(HDC DC, TWinControl* Parent, TPoint Offset) {
    if (PaintGraphicChildrenBusy)
        return;
    TBusyScope Busy;
    if (!(Parent->Visible() || Parent->ComponentState().Contains(csDesigning)) || Parent->ControlCount() == 0)
        return;
    RECT Clip;
    if (GetClipBox(DC, &Clip) == NULLREGION || Clip.right <= Clip.left || Clip.bottom <= Clip.top) {
        if (Parent->HandleAllocated())
            SendSkinCommand(Parent->Handle(), SKIN_MARKHIDDEN, 0);
        return;
    }
    ParentBackgroundInfo Info;
    QueryParentBackground(Info, Parent, false);

    std::vector<TControl*> Children;
    for (int I = 0; I < Parent->ControlCount(); ++I)
        if (IsPaintableGraphicChild(Parent->Controls(I), DC))
            Children.push_back(Parent->Controls(I));
    if (Children.empty())
        return;

    auto* Form = DynCast<TCustomForm>(Parent);
    bool MDIParent = Form && Form->FormStyle() == fsMDIForm;
    HDC MemDC = nullptr;
    HBITMAP MemBitmap = nullptr, OldBitmap = nullptr;
    for (TControl* Child : Children) {
        if (MDIParent && Child->Align() != alNone)
            Child->Perform(SM_ALPHACMD, SkinCommandParam(SKIN_REPAINTNOW), 0);
        if (!MemDC) {
            HDC ScreenDC = GetDC(nullptr);
            MemDC = CreateCompatibleDC(ScreenDC);
            MemBitmap = CreateCompatibleBitmap(ScreenDC, Parent->Width(), Parent->Height());
            ReleaseDC(nullptr, ScreenDC);
            OldBitmap = static_cast<HBITMAP>(SelectObject(MemDC, MemBitmap));
            // Every child's place gets the background first, so none is drawn over a half-painted one.
            for (TControl* C : Children) {
                RECT R{C->Left(), C->Top(), C->Left() + C->Width(), C->Top() + C->Height()};
                if (C->ControlStyle().Contains(csOpaque) || Info.Kind != 2 || !Info.Bmp) {
                    TColor Color = C->ControlStyle().Contains(csOpaque) ? GetControlBgColor(C) : Info.Color;
                    HBRUSH Brush = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Color)));
                    FillRect(MemDC, &R, Brush);
                    DeleteObject(Brush);
                } else
                    BitBlt(MemDC, R.left, R.top, C->Width(), C->Height(), Info.Bmp->Canvas()->Handle(),
                           C->Left() + Info.X, C->Top() + Info.Y, SRCCOPY);
            }
        }
        SaveDC(MemDC);
        MoveWindowOrg(MemDC, Child->Left(), Child->Top());
        IntersectClipRect(MemDC, 0, 0, Child->Width(), Child->Height());
        bool CopyMode = Parent->ControlState().Contains(csPaintCopy);
        TControlState Old = Child->ControlState();
        if (CopyMode)
            Child->SetControlState(Old + TControlState{csPaintCopy});
        Child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(MemDC), 0);
        if (CopyMode)
            Child->SetControlState(Child->ControlState() - TControlState{csPaintCopy});
        RestoreDC(MemDC, -1);
    }
    if (!MemDC)
        return;
    for (TControl* C : Children) {
        int X = C->Left() + Offset.X, Y = C->Top() + Offset.Y;
        if (GetPixel(MemDC, X, Y) != 0xFF00FF)
            BitBlt(DC, X, Y, C->Width(), C->Height(), MemDC, C->Left(), C->Top(), SRCCOPY);
    }
    SelectObject(MemDC, OldBitmap);
    DeleteObject(MemBitmap);
    DeleteDC(MemDC);
}

// ---------------------------------------------------------------------------------------------
// Start-up

// ---------------------------------------------------------------------------------------------
// Window animations

TBitmap* AnimationSnapshot = nullptr;
HDC AnimationSnapshotDC = nullptr;
TWinControl* OverlayWindow = nullptr;
TBitmap* OverlayImage = nullptr;
TacHideTimer* HideAnimationTimer = nullptr;

TOutputWindow::TOutputWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    SetText("acOutputWindow");
    SetVisible(false);
    SetColor(0x800080);
}

void TOutputWindow::DefineClass(TClassBuilder<TOutputWindow>& B) {
    B.Message<&TOutputWindow::SkipEraseBackground>(WM_ERASEBKGND);
    B.Message<&TOutputWindow::SkipNonClientPaint>(WM_NCPAINT);
}

void TOutputWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (Parent() || ParentWindow())
        return;
    Params.Style = WS_POPUP;
    auto* Owning = DynCast<TWinControl>(Owner());
    if (Owning && Owning->HandleAllocated() && (GetWindowLongA(Owning->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST))
        Params.ExStyle |= WS_EX_TOPMOST;
    Params.WndParent = Application->Handle();
}

void PushLayeredFrame(HWND Wnd, HDC ScreenDC, TBitmap* Bitmap, BLENDFUNCTION Blend) {
    if (!UpdateLayeredWindowProc)
        return;
    SIZE Size{Bitmap->Width(), Bitmap->Height()};
    POINT Origin{0, 0};
    UpdateLayeredWindowProc(Wnd, ScreenDC, nullptr, &Size, Bitmap->Canvas()->Handle(), &Origin, 0x1FFFFFFF, &Blend,
                            ULW_ALPHA);
}

TBitmap* PlayShowFrames(HWND Wnd, HDC ScreenDC, TBitmap* Snapshot, int Steps, double AlphaStep, Byte Alpha,
                        TacAnimType Mode) {
    const int W = Snapshot->Width(), H = Snapshot->Height();
    TBitmap* Work = NewBitmap32(W, H);
    FillRect32(Work, TRect{0, 0, W, H}, 0);
    SetAlphaInRect(Work, TRect{0, 0, W, H}, 0);
    double Current = 0, StepX = 0, StepY = 0;
    struct {
        double Left = 0, Top = 0, Right = 0, Bottom = 0;
    } R;
    if (Steps > 0 && Mode == atAero) {
        StepX = W / (8.0 * Steps);
        StepY = H / (8.0 * Steps);
        R = {W / 8.0, H / 8.0, W - W / 8.0, H - H / 8.0};
    }
    if (Steps <= 0)
        Current = Alpha;
    BLENDFUNCTION Blend{AC_SRC_OVER, 0, 0, AC_SRC_ALPHA};
    HDC WorkDC = Work->Canvas()->Handle(), Src = Snapshot->Canvas()->Handle();
    for (int I = 0; I <= std::max(Steps, 0); ++I) {
        Current = std::min<double>(Alpha, Current + AlphaStep);
        Blend.SourceConstantAlpha = static_cast<BYTE>(std::nearbyint(Current));
        if (Mode == atAero) {
            if (R.Left >= 0 && R.Top >= 0) {
                int L = int(std::nearbyint(R.Left)), T = int(std::nearbyint(R.Top));
                StretchBlt(WorkDC, L, T, int(std::nearbyint(R.Right)) - L, int(std::nearbyint(R.Bottom)) - T, Src, 0,
                           0, W, H, SRCCOPY);
            } else
                BitBlt(WorkDC, 0, 0, W, H, Src, 0, 0, SRCCOPY);
            R.Left -= StepX, R.Top -= StepY, R.Right += StepX, R.Bottom += StepY;
        } else if (R.Left == 0) {
            BitBlt(WorkDC, 0, 0, W, H, Src, 0, 0, SRCCOPY);
            R.Left = 1.0;
        }
        PushLayeredFrame(Wnd, ScreenDC, Work, Blend);
        if (Steps > 0)
            Sleep(10);
    }
    return Work;
}

namespace {
void PushLayered(HWND Wnd, HDC ScreenDC, TBitmap* Bitmap, BLENDFUNCTION Blend) {
    PushLayeredFrame(Wnd, ScreenDC, Bitmap, Blend);
}

void MakeLayered(HWND Wnd) {
    SetWindowLongA(Wnd, GWL_EXSTYLE, GetWindowLongA(Wnd, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_NOACTIVATE);
}
}  // namespace

TacHideTimer::~TacHideTimer() {
    // The worker stops with the base's destructor; the pictures are only freed after that.
    StopThread();
    FreeAndNil(Snapshot);
    FreeAndNil(WorkBitmap);
    FreeAndNil(Form);
    if (HideAnimationTimer == this)
        HideAnimationTimer = nullptr;
}

void TacHideTimer::InitSteps() {
    CurrentAlpha = Alpha / 2;
    AlphaStep = StepCount > 0 ? double(Alpha) / (2.0 * StepCount) : 0;
    if (Mode == atAero && StepCount > 0) {
        ZoomStepX = -double(FrameSize.cx) / (8.0 * StepCount);
        ZoomStepY = -double(FrameSize.cy) / (8.0 * StepCount);
        ZoomRect = {0, 0, double(FrameSize.cx), double(FrameSize.cy)};
    } else {
        ZoomStepX = ZoomStepY = 0;
        ZoomRect = {0, 0, 0, 0};
    }
}

void TacHideTimer::RenderFrame() {
    CurrentAlpha = std::max(0.0, CurrentAlpha - AlphaStep);
    Blend.SourceConstantAlpha = static_cast<BYTE>(std::nearbyint(CurrentAlpha));
    if (!Snapshot || !WorkBitmap)
        return;
    HDC Work = WorkBitmap->Canvas()->Handle(), Src = Snapshot->Canvas()->Handle();
    if (Mode == atAero) {
        if (ZoomRect.Left >= 0 && ZoomRect.Top >= 0) {
            FillRect32(WorkBitmap, TRect{0, 0, WorkBitmap->Width(), WorkBitmap->Height()}, 0);
            SetAlphaInRect(WorkBitmap, TRect{0, 0, WorkBitmap->Width(), WorkBitmap->Height()}, 0);
            int L = int(std::nearbyint(ZoomRect.Left)), T = int(std::nearbyint(ZoomRect.Top));
            int R = int(std::nearbyint(ZoomRect.Right)), B = int(std::nearbyint(ZoomRect.Bottom));
            StretchBlt(Work, L, T, R - L, B - T, Src, 0, 0, Snapshot->Width(), Snapshot->Height(), SRCCOPY);
        } else {
            BitBlt(Work, 0, 0, Snapshot->Width(), Snapshot->Height(), Src, 0, 0, SRCCOPY);
        }
    } else if (ZoomRect.Left == 0) {
        BitBlt(Work, 0, 0, Snapshot->Width(), Snapshot->Height(), Src, 0, 0, SRCCOPY);
        ZoomRect.Left = 1.0;
    }
}

void TacHideTimer::AdvanceZoom() {
    if (Mode != atAero)
        return;
    ZoomRect.Left -= ZoomStepX;
    ZoomRect.Top -= ZoomStepY;
    ZoomRect.Right += ZoomStepX;
    ZoomRect.Bottom += ZoomStepY;
}

void TacHideTimer::HideStep(TObject*) {
    if (StepIndex > StepCount) {
        SetInterval(65535);
        SetOnTimer(TNotifyEvent());
        FreeAndNil(Form);
        FreeAndNil(Snapshot);
        FreeAndNil(WorkBitmap);
        return;
    }
    RenderFrame();
    if (Form && WorkBitmap) {
        ScreenDC = GetDC(nullptr);
        PushLayered(Form->Handle(), ScreenDC, WorkBitmap, Blend);
        ReleaseDC(nullptr, ScreenDC);
        ScreenDC = nullptr;
    }
    AdvanceZoom();
    ++StepIndex;
}

void StartHideAnimation(TForm* Form, TBitmap* Snapshot, int Time, int Alpha, TacAnimType Mode) {
    if (HideAnimationTimer && HideAnimationTimer->Form)
        FreeAndNil(HideAnimationTimer->Form);
    const int Steps = Time / 10;
    if (Steps == 0) {
        // Nothing is shown: the form and the picture handed over go at once.
        if (Form)
            Form->Free();
        if (Snapshot)
            Snapshot->Free();
        if (AnimationSnapshot == Snapshot)
            AnimationSnapshot = nullptr;
        return;
    }
    if (!HideAnimationTimer)
        HideAnimationTimer = Create<TacHideTimer>(Application);
    TacHideTimer* T = HideAnimationTimer;
    FreeAndNil(T->Snapshot);
    FreeAndNil(T->WorkBitmap);
    T->StepIndex = 0;
    T->Snapshot = Snapshot;
    T->Alpha = Alpha;
    T->Form = Form;
    T->Mode = Mode;
    T->SetInterval(10);
    T->StepCount = Steps;
    T->FrameSize = SIZE{Snapshot->Width(), Snapshot->Height()};
    T->SourceOrigin = POINT{0, 0};
    T->Blend = BLENDFUNCTION{AC_SRC_OVER, 0, static_cast<BYTE>(Alpha / 2), AC_SRC_ALPHA};
    T->ScreenDC = GetDC(nullptr);
    MakeLayered(Form->Handle());
    PushLayered(Form->Handle(), T->ScreenDC, Snapshot, T->Blend);
    ShowWindow(Form->Handle(), SW_SHOWNOACTIVATE);
    SetWindowPos(Form->Handle(), HWND_TOPMOST, Form->Left(), Form->Top(), T->FrameSize.cx, T->FrameSize.cy, 0x318);
    T->WorkBitmap = NewBitmap32(T->FrameSize.cx, T->FrameSize.cy);
    ReleaseDC(nullptr, T->ScreenDC);
    T->ScreenDC = nullptr;
    T->InitSteps();
    if (AnimationSnapshot == Snapshot)
        AnimationSnapshot = nullptr;
    if (Application->Terminated()) {
        while (T->StepIndex <= T->StepCount) {
            T->HideStep(T);
            Sleep(10);
        }
        // The step after the last frame is the one that lets the window and the pictures go.
        T->HideStep(T);
        return;
    }
    T->SetOnTimer(TNotifyEvent::Bind<&TacHideTimer::HideStep>(T));
    T->StepIndex = 0;
    T->HideStep(T);
    T->SetEnabled(true);
}

void SetChildOrderAfter(TControl* Control, TControl* Anchor) {
    auto* Window = DynCast<TWinControl>(Control);
    auto* After = DynCast<TWinControl>(Anchor);
    // The window order is what the screen shows: the control's window goes right below the anchor's.
    if (Window && After && Window->HandleAllocated() && After->HandleAllocated())
        SetWindowPos(Window->Handle(), After->Handle(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void ShowScreenOverlay(TWinControl* Control) {
    RECT R;
    GetWindowRect(Control->Handle(), &R);
    if (!OverlayImage)
        OverlayImage = NewBitmap24(Control->Width(), Control->Height());
    HDC Screen = GetDC(nullptr);
    BitBlt(OverlayImage->Canvas()->Handle(), 0, 0, Control->Width(), Control->Height(), Screen, R.left, R.top, SRCCOPY);
    ReleaseDC(nullptr, Screen);
    if (!OverlayWindow)
        OverlayWindow = Create<TOutputWindow>(Control);
    if (Control->Parent()) {
        OverlayWindow->SetParent(Control->Parent());
        SetChildOrderAfter(OverlayWindow, Control);
        OverlayWindow->SetBoundsRect(Control->BoundsRect());
        ShowWindow(OverlayWindow->Handle(), SW_SHOWNA);
    } else {
        OverlayWindow->SetBoundsRect(TRect::From(R));
        SetWindowPos(OverlayWindow->Handle(), GetWindow(Control->Handle(), GW_HWNDPREV), 0, 0, 0, 0, 0x57);
    }
}

void AnimateFormRedraw(TWinControl* Form, Word Time, Byte Alpha, TacAnimType Mode) {
    TacFormProvider* Provider = nullptr;
    if (DynCast<TCustomForm>(Form) && Form->HandleAllocated())
        Provider = AsFormProvider(reinterpret_cast<TObject*>(SendSkinCommand(Form->Handle(), SKIN_GETPROVIDER, 0)));
    // Layered windows show the new look fading in over the old one; the provider plays that, as it
    // knows the form's frame image and its border window.
    if (Provider && LayeredWindowsAvailable() && Provider->PlayLayeredRedraw(Time, Alpha, Mode))
        return;
    AnimationInProgress = true;
    // Otherwise the picture of the form's new look cross-fades over its old one in an overlay window.
    if (!OverlayWindow)
        ShowScreenOverlay(Form);
    AnimationSnapshot = NewBitmap24(Form->Width(), Form->Height());
    AnimationSnapshot->Canvas()->Lock();
    AnimationSnapshotDC = AnimationSnapshot->Canvas()->Handle();
    PaintControlTreeTo(AnimationSnapshot, Form, 0, 0, nullptr);
    AnimationSnapshotDC = nullptr;
    AnimationSnapshot->Canvas()->Unlock();
    TOwned<TBitmap> Mix(NewBitmap32(Form->Width(), Form->Height()));
    const int Steps = Time / 10;
    // The overlay takes the skinned form's shape.
    if (Provider && !Provider->HasBorderForm())
        if (HRGN Shape = Provider->CreateShapeRegion())
            SetWindowRgn(OverlayWindow->Handle(), Shape, FALSE);
    HDC DC = GetWindowDC(OverlayWindow->Handle());
    auto NotifyTarget = [] {
        if (RefreshTarget && RefreshTarget->HandleAllocated())
            SendMessageA(RefreshTarget->Handle(), SM_ALPHACMD, MAKEWPARAM(0, SKIN_REFRESH), 0);
    };
    if (Steps > 0) {
        const int D = 255 / Steps;
        int Weight = 255;
        for (int I = 0; I <= Steps; ++I) {
            MixBitmapsTo32(Mix.get(), OverlayImage, AnimationSnapshot, static_cast<Byte>(std::max(0, Weight)), nullptr);
            BitBlt(DC, 0, 0, Form->Width(), Form->Height(), Mix->Canvas()->Handle(), 0, 0, SRCCOPY);
            NotifyTarget();
            Weight -= D;
            if (I < Steps)
                Sleep(10);
        }
    }
    BitBlt(DC, 0, 0, Form->Width(), Form->Height(), AnimationSnapshot->Canvas()->Handle(), 0, 0, SRCCOPY);
    NotifyTarget();
    AnimationInProgress = false;
    if (Form->Visible()) {
        SendMessageA(Form->Handle(), WM_SETREDRAW, 1, 0);
        RedrawWindow(Form->Handle(), nullptr, nullptr, 0x585);
        if (!(DynCast<TCustomForm>(Form) && (GetWindowLongA(Form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED)))
            SetWindowPos(OverlayWindow->Handle(), nullptr, 0, 0, 0, 0, 0x9C);
    }
    ReleaseDC(OverlayWindow->Handle(), DC);
    FreeAndNil(OverlayWindow);
    FreeAndNil(OverlayImage);
    FreeAndNil(AnimationSnapshot);
    AnimationSnapshotDC = nullptr;
}

void sVclUtilsInitialization() {
    UxThemeLibrary = LoadLibraryA("UXTHEME");
    if (UxThemeLibrary)
        SetWindowThemeProc =
            reinterpret_cast<TSetWindowThemeProc>(reinterpret_cast<void*>(GetProcAddress(UxThemeLibrary, "SetWindowTheme")));
}

void sVclUtilsFinalization() {
    SetWindowThemeProc = nullptr;
    if (UxThemeLibrary) {
        FreeLibrary(UxThemeLibrary);
        UxThemeLibrary = nullptr;
    }
}
