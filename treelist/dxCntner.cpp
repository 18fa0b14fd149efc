#include "dxCntner.h"

#include <commctrl.h>

TdxEditStyleController* DefaultEditStyleController = nullptr;
HBRUSH ShadowBrush = nullptr;

namespace {
// The flat scroll bar functions of the common controls, looked up once; without them the plain
// scroll bar functions serve.
struct TFlatScrollBars {
    BOOL(WINAPI* Initialize)(HWND) = nullptr;
    BOOL(WINAPI* SetProp)(HWND, UINT, INT_PTR, BOOL) = nullptr;
    BOOL(WINAPI* GetInfo)(HWND, int, LPSCROLLINFO) = nullptr;
    int(WINAPI* SetInfo)(HWND, int, LPSCROLLINFO, BOOL) = nullptr;
    TFlatScrollBars() {
        HMODULE M = GetModuleHandleA("comctl32.dll");
        if (!M)
            M = LoadLibraryA("comctl32.dll");
        if (!M)
            return;
        Bind(Initialize, M, "InitializeFlatSB");
        Bind(SetProp, M, "FlatSB_SetScrollProp");
        Bind(GetInfo, M, "FlatSB_GetScrollInfo");
        Bind(SetInfo, M, "FlatSB_SetScrollInfo");
    }
    template <class F>
    static void Bind(F& Fn, HMODULE M, const char* Name) {
        Fn = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(M, Name)));
    }
};

const TFlatScrollBars& FlatSB() {
    static const TFlatScrollBars Functions;
    return Functions;
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// TCustomdxContainer

TCustomdxContainer::TCustomdxContainer(TComponent* AOwner) : TCustomControl(AOwner) {}

void TCustomdxContainer::DefineClass(TClassBuilder<TCustomdxContainer>& B) {
    B.Message<&TCustomdxContainer::WMMouseWheel>(WM_MOUSEWHEEL);
}

TdxEditStyle* TCustomdxContainer::CreateEditorStyle(TdxInplaceEdit* Edit) { return Create<TdxEditStyle>(Edit); }

void TCustomdxContainer::ScrollByWheel(bool Up, int Lines) {
    for (int I = 0; I < Lines; ++I)
        Perform(WM_VSCROLL, Up ? SB_LINEUP : SB_LINEDOWN, 0);
}

void TCustomdxContainer::EditorKeyDown(Word& Key, TShiftState Shift) { OnKeyDown(this, Key, Shift); }

void TCustomdxContainer::CreateWnd() {
    TCustomControl::CreateWnd();
    if (!GetSystemMetrics(SM_MIDEASTENABLED) && FlatSB().Initialize)
        FlatSB().Initialize(FHandle);
    ApplyScrollBarStyle();
}

void TCustomdxContainer::ApplyScrollBarStyle() {
    if (!HandleAllocated() || !FlatSB().SetProp)
        return;
    static constexpr INT_PTR Styles[3] = {FSB_REGULAR_MODE, FSB_ENCARTA_MODE, FSB_FLAT_MODE};
    FlatSB().SetProp(FHandle, WSB_PROP_HSTYLE, Styles[FScrollBarStyle], TRUE);
    FlatSB().SetProp(FHandle, WSB_PROP_VSTYLE, Styles[FScrollBarStyle], TRUE);
}

void TCustomdxContainer::SetScrollBarStyle(TScrollBarStyle Value) {
    if (FScrollBarStyle == Value)
        return;
    FScrollBarStyle = Value;
    ApplyScrollBarStyle();
}

void TCustomdxContainer::GetFlatScrollInfo(int BarFlag, SCROLLINFO& ScrollInfo) {
    if (FlatSB().GetInfo)
        FlatSB().GetInfo(Handle(), BarFlag, &ScrollInfo);
    else
        GetScrollInfo(Handle(), BarFlag, &ScrollInfo);
}

void TCustomdxContainer::SetFlatScrollInfo(int BarFlag, const SCROLLINFO& ScrollInfo, bool Redraw) {
    SCROLLINFO Info = ScrollInfo;
    if (FlatSB().SetInfo)
        FlatSB().SetInfo(Handle(), BarFlag, &Info, Redraw);
    else
        SetScrollInfo(Handle(), BarFlag, &Info, Redraw);
}

void TCustomdxContainer::WMMouseWheel(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    const auto Delta = static_cast<short>(HIWORD(Message.WParam));
    ScrollByWheel(Delta > 0, Mouse ? Mouse->WheelScrollLines() : 3);
}

// ---------------------------------------------------------------------------------------------
// TdxContainerHintWindow

TdxContainerHintWindow::TdxContainerHintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    SetColor(clInfoBk);
    Canvas()->Brush()->SetStyle(bsClear);
}

void TdxContainerHintWindow::DefineClass(TClassBuilder<TdxContainerHintWindow>& B) {
    B.Message<&TdxContainerHintWindow::WMNCHitTest>(WM_NCHITTEST);
}

void TdxContainerHintWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP;
    Params.WindowClass.style |= CS_SAVEBITS;
    Params.ExStyle = WS_EX_TOOLWINDOW;
}

void TdxContainerHintWindow::WMNCHitTest(TMessage& Message) { Message.Result = HTTRANSPARENT; }

void TdxContainerHintWindow::Paint() {
    TRect R = ClientRect();
    HDC DC = Canvas()->Handle();
    DrawEdge(DC, R, BDR_RAISEDOUTER, BF_RECT);
    InflateRect(R, -1, -1);
    R.Left += 2;
    R.Top += 2;
    std::string S = Text();
    SetBkMode(DC, TRANSPARENT);
    DrawTextA(DC, S.c_str(), static_cast<int>(S.size()), R, DT_NOPREFIX | DT_NOCLIP | DT_WORDBREAK);
}

void TdxContainerHintWindow::ShowHintAt(TPoint P, const std::string& AText, TFont* AFont) {
    ActivateHintEx(P, Screen ? Screen->Width() : GetSystemMetrics(SM_CXSCREEN), false, AFont, AText);
}

void TdxContainerHintWindow::ActivateHintEx(TPoint P, int MaxWidth, bool UseFontSize, TFont* AFont,
                                            const std::string& AText) {
    SetText(AText);
    TFont* F = Canvas()->Font();
    // The status-bar font of the system gives the size unless the caller's font is to be used.
    NONCLIENTMETRICSA Metrics{};
    Metrics.cbSize = sizeof(Metrics);
    int StatusHeight = 0;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(Metrics), &Metrics, 0))
        StatusHeight = Metrics.lfStatusFont.lfHeight;
    if (StatusHeight != 0)
        F->SetHeight(StatusHeight);
    else
        F->SetSize(8);
    F->SetColor(clInfoText);
    if (AFont) {
        F->SetName(AFont->Name());
        F->SetCharset(AFont->Charset());
        if (UseFontSize)
            F->SetSize(AFont->Size());
    }
    const int ScreenW = GetSystemMetrics(SM_CXSCREEN), ScreenH = GetSystemMetrics(SM_CYSCREEN);
    if (MaxWidth <= 0)
        MaxWidth = ScreenW;
    TRect R{0, 0, MaxWidth, 0};
    DrawTextA(Canvas()->Handle(), AText.c_str(), static_cast<int>(AText.size()), R,
              DT_NOPREFIX | DT_CALCRECT | DT_WORDBREAK);
    const int W = R.Right + 6, H = R.Bottom + 6;
    int X = P.X, Y = P.Y;
    if (Y + H > ScreenH)
        Y = ScreenH - H;
    if (X + W > ScreenW)
        X = ScreenW - W;
    if (X < 0)
        X = 0;
    if (Y < 0)
        Y = 0;
    SetBounds(X, Y, W, H);
    SetWindowPos(Handle(), HWND_TOPMOST, X, Y, W, H, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Unit start-up and shut-down

void dxCntnerInitialization() {
    if (!ShadowBrush)
        ShadowBrush = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(clBtnShadow)));
    if (!DefaultEditStyleController)
        DefaultEditStyleController = Create<TdxEditStyleController>(nullptr);
}

void dxCntnerFinalization() {
    FreeAndNil(DefaultEditStyleController);
    if (ShadowBrush) {
        DeleteObject(ShadowBrush);
        ShadowBrush = nullptr;
    }
}
