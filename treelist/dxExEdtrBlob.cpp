#include "dxExEdtrBlob.h"

#include "Clipbrd.h"
#include "dxCommon.h"
#include "dxEditor.h"

#include <algorithm>

namespace {
constexpr int ValueIcons[4] = {3, 5, 7, 1};  // by TdxBlobContentKind; the empty icon is one less
constexpr LongInt SeparatorTag = 0x7FFFFFFF;

TSize TextSize(HFONT Font, const std::string& S) {
    HDC DC = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Font);
    SIZE Size{};
    GetTextExtentPoint32A(DC, S.c_str(), static_cast<int>(S.size()), &Size);
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
    return TSize{Size.cx, Size.cy};
}

std::string ButtonCaptionText(int Button) {
    std::string S = PopupButtonCaptions[Button];
    S.erase(std::remove(S.begin(), S.end(), '&'), S.end());
    return S;
}

// The accelerator letter of a caption ("&OK" gives 'O').
char Accelerator(const std::string& Caption) {
    const std::size_t P = Caption.find('&');
    return P == std::string::npos || P + 1 >= Caption.size() ? 0 : static_cast<char>(toupper(Caption[P + 1]));
}
}  // namespace

int BlobIconIndex(TdxBlobContentKind Kind, bool Empty) { return ValueIcons[Kind] - (Empty ? 1 : 0); }

// ---------------------------------------------------------------------------------------------
// Blob popup

TCustomdxBlobPopup::TCustomdxBlobPopup(TComponent* AOwner) : TdxInplacePopupControl(AOwner) {
    PasteFormat = CF_PICTURE;
    SetControlStyle(TControlStyle{csCaptureMouse, csClickEvents});
    SetBounds(0, 0, 185, 89);
    SetTabStop(true);
    SetParentColor(false);
    SetVisible(false);
    PopupMode = true;
    DrawNonClient = false;
}

TCustomdxBlobPopup::~TCustomdxBlobPopup() {
    FreeAndNil(FContextMenu);
    FreeAndNil(FPopupPicture);
    FreeAndNil(FTransparencyBuffer);
}

void TCustomdxBlobPopup::DefineClass(TClassBuilder<TCustomdxBlobPopup>&) {}

TPicture* TCustomdxBlobPopup::PopupPicture() {
    if (!FPopupPicture) {
        FPopupPicture = Create<TPicture>();
        FPopupPicture->OnChange = TNotifyEvent::Bind<&TCustomdxBlobPopup::PictureChanged>(this);
    }
    return FPopupPicture;
}

void TCustomdxBlobPopup::SetContentKind(TdxBlobContentKind Value) {
    if (FContentKind == Value)
        return;
    FContentKind = Value;
    if (HandleAllocated())
        RecreateWnd();
}

void TCustomdxBlobPopup::SetReadOnlyPopup(bool Value) {
    FReadOnlyPopup = Value;
    FPanelButtons = Value ? TdxBlobPopupButtons{pbnClose} : TdxBlobPopupButtons{pbnOK, pbnCancel};
    if (HandleAllocated())
        RecreateWnd();
}

bool TCustomdxBlobPopup::Modified() {
    if (IsMemo() && HandleAllocated())
        return SendMessageA(Handle(), EM_GETMODIFY, 0, 0) != 0;
    return FModified;
}

void TCustomdxBlobPopup::SetModified(bool Value) {
    FModified = Value;
    if (IsMemo() && HandleAllocated())
        SendMessageA(Handle(), EM_SETMODIFY, Value, 0);
    if (FOKEnabled != Value) {
        FOKEnabled = Value;
        if (HandleAllocated())
            PaintPanel();
    }
}

void TCustomdxBlobPopup::TextChanged() {
    if (OnContentChange)
        OnContentChange(this);
    const bool M = Modified();
    if (M != FOKEnabled) {
        FOKEnabled = M;
        if (HandleAllocated())
            PaintPanel();
    }
}

std::string TCustomdxBlobPopup::MemoText() {
    if (!HandleAllocated())
        return FSavedText;
    const int N = GetWindowTextLengthA(Handle());
    std::string S(static_cast<std::size_t>(N) + 1, '\0');
    S.resize(static_cast<std::size_t>(GetWindowTextA(Handle(), S.data(), N + 1)));
    return S;
}

void TCustomdxBlobPopup::SetMemoText(const std::string& S) {
    FSavedText = S;
    if (HandleAllocated() && IsMemo()) {
        FCreatingWindow = true;
        SetWindowTextA(Handle(), S.c_str());
        FCreatingWindow = false;
    }
}

void TCustomdxBlobPopup::CreateParams(TCreateParams& Params) {
    TdxInplacePopupControl::CreateParams(Params);
    if (IsMemo()) {
        LoadRichEditLibrary();
        CreateSubClass(Params, "RichEdit20A");
        Params.Style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL;
        if (FReadOnlyPopup)
            Params.Style |= ES_READONLY;
        if (MemoCharCase == ecUpperCase)
            Params.Style |= ES_UPPERCASE;
        else if (MemoCharCase == ecLowerCase)
            Params.Style |= ES_LOWERCASE;
        if (MemoOEMConvert)
            Params.Style |= ES_OEMCONVERT;
        if (MemoScrollBars == ssHorizontal || MemoScrollBars == ssBoth)
            Params.Style |= WS_HSCROLL;
        if (MemoScrollBars == ssVertical || MemoScrollBars == ssBoth)
            Params.Style |= WS_VSCROLL;
        if (MemoSelectionBar)
            Params.Style |= ES_SELECTIONBAR;
        if (!MemoHideScrollBars)
            Params.Style |= ES_DISABLENOSCROLL;
        if (MemoWordWrap)
            Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
        Params.WinClassName = "TCustomdxBlobPopupMemo";
    } else
        Params.WinClassName = "TCustomdxBlobPopupPict";
    Params.Style &= ~static_cast<DWORD>(WS_CHILD | WS_BORDER);
    Params.Style |= WS_POPUP;
    Params.WindowClass.style = CS_SAVEBITS;
}

void TCustomdxBlobPopup::CreateWnd() {
    FCreatingWindow = true;
    const bool WasModified = FModified;
    TdxInplacePopupControl::CreateWnd();
    if (IsMemo()) {
        SetWindowTextA(Handle(), "");
        SendMessageA(Handle(), EM_SETTEXTMODE, TM_PLAINTEXT, 0);
        SetWindowTextA(Handle(), FSavedText.c_str());
        SendMessageA(Handle(), EM_EXLIMITTEXT, 0, MemoMaxLength > 0 ? MemoMaxLength : 0x7FFFFFFE);
        SendMessageA(Handle(), EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_DRAGDROPDONE | ENM_SELCHANGE);
        SendMessageA(Handle(), EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
        RECT R;
        ::GetClientRect(Handle(), &R);
        InflateRect(&R, -1, -1);
        if (MemoSelectionBar)
            R.left += 8;
        SendMessageA(Handle(), EM_SETRECT, 0, reinterpret_cast<LPARAM>(&R));
        ApplyCharCase();
    }
    FCreatingWindow = false;
    SetModified(WasModified);
}

void TCustomdxBlobPopup::DestroyWnd() {
    if (IsMemo() && HandleAllocated()) {
        FModified = SendMessageA(Handle(), EM_GETMODIFY, 0, 0) != 0;
        FSavedText = MemoText();
    }
    TdxInplacePopupControl::DestroyWnd();
}

void TCustomdxBlobPopup::ApplyCharCase() {
    if (MemoCharCase == ecNormal || !HandleAllocated())
        return;
    const std::string S = MemoText();
    const std::string C = MemoCharCase == ecUpperCase ? AnsiUpperCase(S) : AnsiLowerCase(S);
    if (C == S)
        return;
    FConvertingCase = true;
    CHARRANGE Sel{};
    SendMessageA(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&Sel));
    SetWindowTextA(Handle(), C.c_str());
    SendMessageA(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&Sel));
    SendMessageA(Handle(), EM_SCROLLCARET, 0, 0);
    FConvertingCase = false;
}

bool TCustomdxBlobPopup::CanPaste() {
    if (IsMemo())
        return HandleAllocated() && SendMessageA(Handle(), EM_CANPASTE, 0, 0) != 0;
    return Clipboard()->HasFormat(PasteFormat);
}

void TCustomdxBlobPopup::PictureChanged(TObject*) {
    if (!HandleAllocated())
        return;
    if (PictureTransparency != gtDefault && !IsPictureEmpty(FPopupPicture)) {
        const TNotifyEvent Saved = FPopupPicture->OnChange;
        FPopupPicture->OnChange = TNotifyEvent();
        FPopupPicture->Graphic()->SetTransparent(PictureTransparency == gtTransparent);
        FPopupPicture->OnChange = Saved;
    }
    if (!FApplyingTransparency) {
        FModified = true;
        TextChanged();
    }
    Invalidate();
    PaintPanel();
}

// Memo operations go to the rich edit; picture operations need an editor that may change.
void TCustomdxBlobPopup::CopyToClipboard() {
    if (IsMemo())
        SendMessageA(Handle(), WM_COPY, 0, 0);
    else if (PopupPicture()->Graphic())
        Clipboard()->Assign(FPopupPicture);
}

void TCustomdxBlobPopup::CutToClipboard() {
    if (IsMemo()) {
        SendMessageA(Handle(), WM_CUT, 0, 0);
        return;
    }
    CopyToClipboard();
    if (!FReadOnlyPopup && BlobEdit && BlobEdit->CanChangeValue())
        PopupPicture()->SetGraphic(nullptr);
}

void TCustomdxBlobPopup::PasteFromClipboard() {
    if (FReadOnlyPopup)
        return;
    if (IsMemo()) {
        SendMessageA(Handle(), WM_PASTE, 0, 0);
        return;
    }
    if (!Clipboard()->HasFormat(PasteFormat) || !BlobEdit || !BlobEdit->CanChangeValue())
        return;
    try {
        PopupPicture()->Assign(Clipboard());
    } catch (...) {
        HidePopup();
        throw;
    }
}

void TCustomdxBlobPopup::DeletePicture() {
    if (!IsMemo() && !FReadOnlyPopup)
        PopupPicture()->SetGraphic(nullptr);
}

void TCustomdxBlobPopup::LoadPicture() {
    if (IsMemo() || FReadOnlyPopup)
        return;
    try {
        LoadPictureFromDialog(
            PopupPicture(), PictureFilter,
            [](void* Popup) {
                TdxInplaceBlobEdit* E = static_cast<TCustomdxBlobPopup*>(Popup)->BlobEdit;
                return E && E->CanChangeValue();
            },
            this);
    } catch (...) {
        HidePopup();
        throw;
    }
}

void TCustomdxBlobPopup::SavePicture() {
    if (!IsMemo())
        SavePictureToDialog(PopupPicture(), PictureFilter, nullptr);
}

void TCustomdxBlobPopup::SaveText() {
    if (!TextSaved && Modified() && OnSaveText)
        OnSaveText(this);
    TextSaved = true;
}

void TCustomdxBlobPopup::HidePopup() {
    if (HandleAllocated()) {
        if (IsMemo())
            FSavedText = MemoText();
        if (IsWindowVisible(Handle()))
            StoreSize();
    }
    TdxInplacePopupControl::HidePopup();
    if (AlwaysSaveText)
        SaveText();
}

void TCustomdxBlobPopup::ShowPopupWindow() {
    TextSaved = false;
    TdxInplacePopupControl::ShowPopupWindow();
}

void TCustomdxBlobPopup::ClosePopupWith(int Reason) {
    if (Reason == pbnCancel || Reason == pbnClose)
        TextSaved = true;
    HidePopup();
    if (Reason == pbnOK)
        SaveText();
}

// ---------------------------------------------------------------------------------------------
// Panel, placement and frame

int TCustomdxBlobPopup::BorderWidth() const {
    switch (PopupBorder()) {
    case pbFrame3D: return 4;
    case pbFlat: return 2;
    default: return 1;
    }
}

void TCustomdxBlobPopup::UpdatePanelMetrics() {
    HFONT F = Font()->Handle();
    const TSize Wg = TextSize(F, "Wg");
    FSpacing = Wg.cy / 3;
    FGap = TextSize(F, "0").cx;
    FButtonHeight = MulDiv(Wg.cy, 20, 13);
    FButtonWidth = 0;
    for (int B = 0; B < 3; ++B)
        if (FPanelButtons.Contains(static_cast<TdxBlobPopupButton>(B)))
            FButtonWidth = std::max(FButtonWidth, static_cast<int>(TextSize(F, ButtonCaptionText(B) + "00").cx));
    const int Edge = PopupBorder() == pbSingle || PopupBorder() == pbFlat ? 2 : 4;
    FPanelHeight = 2 * FSpacing + Edge + FButtonHeight;
}

TSize TCustomdxBlobPopup::MinimumSize() {
    UpdatePanelMetrics();
    const int RightMargin = SizingEnabled ? GetSystemMetrics(SM_CXVSCROLL) : FGap;
    int Shown = 0;
    for (int B = 0; B < 3; ++B)
        Shown += FPanelButtons.Contains(static_cast<TdxBlobPopupButton>(B)) ? 1 : 0;
    return TSize{2 * RightMargin + (FButtonWidth + FGap) * Shown + 2 * BorderWidth() - FGap + 2,
                 3 * GetSystemMetrics(SM_CYHSCROLL) + FPanelHeight};
}

void TCustomdxBlobPopup::Place(TPoint P, int EditorWidth, int EditorHeight, int RequestedWidth, int RequestedHeight) {
    const TSize Min = MinimumSize();
    bool Below = true, LeftAligned = true;
    TRect Work;
    GetWorkArea(P, Work);
    const int Available = std::max(static_cast<int>(Work.Bottom - P.Y), static_cast<int>(P.Y - EditorHeight - Work.Top));
    const int B = BorderWidth();
    int CW = RequestedWidth - 2 * B, CH = RequestedHeight - (FPanelHeight + 2 * B);
    if (!IsMemo() && PictureAutoSize && !IsPictureEmpty(FPopupPicture)) {
        CW = FPopupPicture->Width();
        CH = FPopupPicture->Height();
        if (CW > Work.Width() - 2 * B) {
            CH = CH * (Work.Width() - 2 * B) / std::max(1, CW);
            CW = Work.Width() - 2 * B;
        }
        const int MaxH = Available - FPanelHeight - 2 * B;
        if (CH > MaxH) {
            CW = CW * MaxH / std::max(1, CH);
            CH = MaxH;
        }
    }
    const int W = std::min(std::max(CW + 2 * B, static_cast<int>(Min.cx)), static_cast<int>(Work.Width()));
    const int H = std::min(Available, std::max(CH + FPanelHeight + 2 * B, static_cast<int>(Min.cy)));
    TRect R{P.X, P.Y, P.X + W, P.Y + H};
    if (W > EditorWidth && R.Right > Work.Right &&
        std::abs(Work.Right - P.X) < std::abs(P.X + EditorWidth - Work.Left)) {
        OffsetRect(R, P.X + EditorWidth - R.Right, 0);
        LeftAligned = false;
    }
    if (R.Bottom > Work.Bottom && std::abs(Work.Bottom - P.Y) < std::abs(P.Y - EditorHeight - Work.Top)) {
        OffsetRect(R, 0, P.Y - EditorHeight - H - R.Top);
        Below = false;
    }
    FGripCorner = Below ? (LeftAligned ? 3 : 2) : (LeftAligned ? 1 : 0);
    SetBounds(R.Left, R.Top, R.Width(), R.Height());
    RecreateWnd();
}

TRect TCustomdxBlobPopup::ButtonRect(int Button) {
    if (!FPanelButtons.Contains(static_cast<TdxBlobPopupButton>(Button)) || !HandleAllocated())
        return TRect{0, 0, -1, -1};
    RECT W;
    ::GetWindowRect(Handle(), &W);
    const int Width = W.right - W.left, Height = W.bottom - W.top;
    const int B = BorderWidth();
    const int RightMargin = SizingEnabled ? GetSystemMetrics(SM_CXVSCROLL) : FGap;
    const bool AtBottom = FGripCorner >= 2;
    const int Top = AtBottom ? Height - B - FPanelHeight + FSpacing + 1 : B + FSpacing;
    int Right = Width - B - RightMargin;
    for (int I = 2; I >= 0; --I) {
        if (!FPanelButtons.Contains(static_cast<TdxBlobPopupButton>(I)))
            continue;
        if (I == Button)
            return TRect{Right - FButtonWidth, Top, Right, Top + FButtonHeight};
        Right -= FButtonWidth + FGap;
    }
    return TRect{0, 0, -1, -1};
}

int TCustomdxBlobPopup::ButtonAt(TPoint ScreenPoint) {
    RECT W;
    ::GetWindowRect(Handle(), &W);
    POINT P{ScreenPoint.X - W.left, ScreenPoint.Y - W.top};
    for (int I = 0; I < 3; ++I) {
        const TRect R = ButtonRect(I);
        if (R.Right > R.Left && PtInRect(R, P) && (I != pbnOK || FOKEnabled))
            return I;
    }
    return -1;
}

void TCustomdxBlobPopup::PaintPanel() {
    if (!HandleAllocated())
        return;
    HDC DC = GetWindowDC(Handle());
    RECT W;
    ::GetWindowRect(Handle(), &W);
    const int Width = W.right - W.left, Height = W.bottom - W.top;
    const int B = BorderWidth();
    const bool AtBottom = FGripCorner >= 2;
    TRect Panel{B, AtBottom ? Height - B - FPanelHeight : B, Width - B, AtBottom ? Height - B : B + FPanelHeight};
    FillRect(DC, Panel, GetSysColorBrush(COLOR_BTNFACE));
    RECT Sep{Panel.Left, AtBottom ? Panel.Top : Panel.Bottom - 2, Panel.Right, AtBottom ? Panel.Top + 2 : Panel.Bottom};
    DrawEdge(DC, &Sep, EDGE_ETCHED, BF_TOP);
    HGDIOBJ OldFont = SelectObject(DC, Font()->Handle());
    SetBkMode(DC, TRANSPARENT);
    for (int I = 2; I >= 0; --I) {
        TRect R = ButtonRect(I);
        if (R.Right <= R.Left)
            continue;
        const bool Pressed = FCapturedButton == I && FCapturedButtonDown;
        RECT E = R;
        DrawEdge(DC, &E, Pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
        FillRect(DC, &E, GetSysColorBrush(COLOR_BTNFACE));
        const bool Enabled = I != pbnOK || FOKEnabled;
        SetTextColor(DC, GetSysColor(Enabled ? COLOR_BTNTEXT : COLOR_BTNSHADOW));
        const std::string& C = PopupButtonCaptions[I];
        DrawTextA(DC, C.c_str(), static_cast<int>(C.size()), &E, DT_NOCLIP | DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    }
    SelectObject(DC, OldFont);
    if (SizingEnabled) {
        const int G = GetSystemMetrics(SM_CXVSCROLL);
        TRect Grip{FGripCorner % 2 ? Panel.Right - G : Panel.Left, Panel.Top, FGripCorner % 2 ? Panel.Right : Panel.Left + G,
                   Panel.Bottom};
        DrawGripCorner(DC, Grip, FGripCorner);
    }
    ReleaseDC(Handle(), DC);
}

void TCustomdxBlobPopup::Paint() {
    TCanvas* C = Canvas();
    C->Brush()->SetColor(Color());
    const TRect Client{0, 0, ClientWidth(), ClientHeight()};
    if (IsPictureEmpty(FPopupPicture)) {
        C->FillRect(Client);
        return;
    }
    TGraphic* G = FPopupPicture->Graphic();
    TRect R = PictureAutoSize ? FitPictureRect(Client.Width(), Client.Height(), G->Width(), G->Height())
                              : TRect{0, 0, G->Width(), G->Height()};
    if (G->Transparent()) {
        if (!FTransparencyBuffer)
            FTransparencyBuffer = Create<TBitmap>();
        SetMinBitmapSize(FTransparencyBuffer, Client.Width(), Client.Height());
        FTransparencyBuffer->Canvas()->Brush()->SetColor(Color());
        FTransparencyBuffer->Canvas()->FillRect(Client);
        FTransparencyBuffer->Canvas()->StretchDraw(R, G);
        BitBlt(C->Handle(), 0, 0, Client.Width(), Client.Height(), FTransparencyBuffer->Canvas()->Handle(), 0, 0,
               SRCCOPY);
    } else {
        C->StretchDraw(R, G);
        ExcludeClipRect(C->Handle(), R.Left, R.Top, R.Right, R.Bottom);
        C->FillRect(Client);
        SelectClipRgn(C->Handle(), nullptr);
    }
}

void TCustomdxBlobPopup::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT:
    case WM_ERASEBKGND:
        if (IsMemo()) {
            DefaultHandler(Message);
            return;
        }
        if (Message.Msg == WM_ERASEBKGND) {
            Message.Result = 1;
            return;
        }
        break;
    case WM_NCCALCSIZE: {
        TdxInplacePopupControl::WndProc(Message);
        auto* P = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam);
        const int B = BorderWidth();
        InflateRect(&P->rgrc[0], -B, -B);
        if (FGripCorner >= 2)
            P->rgrc[0].bottom -= FPanelHeight;
        else
            P->rgrc[0].top += FPanelHeight;
        return;
    }
    case WM_NCPAINT: {
        DefaultHandler(Message);
        HDC DC = GetWindowDC(Handle());
        RECT W;
        ::GetWindowRect(Handle(), &W);
        TRect R{0, 0, W.right - W.left, W.bottom - W.top};
        DrawPopupFrame(DC, R, PopupBorder(), false, false, 0);
        ReleaseDC(Handle(), DC);
        PaintPanel();
        return;
    }
    case WM_NCHITTEST: {
        TdxInplacePopupControl::WndProc(Message);
        const TPoint P{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
        if (SizingEnabled && FCapturedButton < 0) {
            RECT W;
            ::GetWindowRect(Handle(), &W);
            const int G = GetSystemMetrics(SM_CXVSCROLL);
            const bool Right = FGripCorner % 2 == 1, Bottom = FGripCorner >= 2;
            const bool InX = Right ? P.X >= W.right - G : P.X < W.left + G;
            const bool InY = Bottom ? P.Y >= W.bottom - G : P.Y < W.top + G;
            if (InX && InY) {
                static const LRESULT Corners[4] = {HTTOPLEFT, HTTOPRIGHT, HTBOTTOMLEFT, HTBOTTOMRIGHT};
                Message.Result = Corners[FGripCorner];
                return;
            }
        }
        if (Message.Result == HTNOWHERE)
            Message.Result = HTBORDER;
        return;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
        const int B = ButtonAt(TPoint{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))});
        if (B >= 0) {
            FCapturedButton = B;
            FCapturedButtonDown = true;
            SetCapture(Handle());
            PaintPanel();
            return;
        }
        break;
    }
    case WM_MOUSEMOVE:
        if (FCapturedButton >= 0) {
            POINT P{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
            ::ClientToScreen(Handle(), &P);
            const bool Down = ButtonAt(TPoint{P.x, P.y}) == FCapturedButton;
            if (Down != FCapturedButtonDown) {
                FCapturedButtonDown = Down;
                PaintPanel();
            }
            return;
        }
        break;
    case WM_LBUTTONUP:
        if (FCapturedButton >= 0) {
            const int B = FCapturedButton;
            const bool Run = FCapturedButtonDown;
            FCapturedButton = -1;
            FCapturedButtonDown = false;
            ReleaseCapture();
            PaintPanel();
            if (Run)
                ClosePopupWith(B);
            return;
        }
        break;
    case WM_GETMINMAXINFO: {
        TdxInplacePopupControl::WndProc(Message);
        const TSize Min = MinimumSize();
        auto* M = reinterpret_cast<MINMAXINFO*>(Message.LParam);
        M->ptMinTrackSize = POINT{Min.cx, Min.cy};
        return;
    }
    case WM_SIZE:
        TdxInplacePopupControl::WndProc(Message);
        Invalidate();
        return;
    case WM_CONTEXTMENU: {
        TdxInplacePopupControl::WndProc(Message);
        if (Message.Result || PopupMenu() || (!IsMemo() && BlobEdit && !BlobEdit->ShowPicturePopup))
            return;
        TPoint P{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
        if (P.X == -1 && P.Y == -1) {
            POINT C{0, 0};
            GetCaretPos(&C);
            C.x = std::min(static_cast<int>(C.x), ClientWidth());
            ::ClientToScreen(Handle(), &C);
            P = TPoint{C.x, C.y};
        }
        PopupContextMenu(P);
        return;
    }
    case CN_COMMAND:
        if (HIWORD(Message.WParam) == EN_CHANGE && !FConvertingCase && !FCreatingWindow) {
            ApplyCharCase();
            TextChanged();
        }
        break;
    case WM_GETDLGCODE:
        DefaultHandler(Message);
        if (MemoWantTabs)
            Message.Result |= DLGC_WANTTAB;
        else
            Message.Result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
        if (!MemoWantReturns)
            Message.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
        return;
    default:
        break;
    }
    TdxInplacePopupControl::WndProc(Message);
}

void TCustomdxBlobPopup::PopupContextMenu(TPoint P) {
    if (!FContextMenu)
        FContextMenu = Create<TPopupMenu>(nullptr);
    TMenuItem* Items = FContextMenu->Items();
    Items->Clear();
    auto Add = [&](const std::string& Caption, LongInt Tag, bool Enabled, TShortCut Short) {
        auto* I = Create<TMenuItem>(FContextMenu);
        I->SetCaption(Caption);
        I->SetTag(Tag);
        I->SetEnabled(Enabled);
        I->SetShortCut(Short);
        if (Tag != SeparatorTag)
            I->OnClick = TNotifyEvent::Bind<&TCustomdxBlobPopup::MenuClick>(this);
        Items->Add(I);
    };
    if (IsMemo()) {
        CHARRANGE Sel{};
        SendMessageA(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&Sel));
        const int SelLength = Sel.cpMax - Sel.cpMin;
        const int Length = GetWindowTextLengthA(Handle());
        Add(dxEditMenuCaptions[0], -1, SendMessageA(Handle(), EM_CANUNDO, 0, 0) != 0, 0);
        Add(dxEditMenuCaptions[1], -2, SendMessageA(Handle(), EM_CANREDO, 0, 0) != 0, 0);
        Add("-", SeparatorTag, true, 0);
        Add(dxEditMenuCaptions[2], -3, SelLength >= 1 && !FReadOnlyPopup, 0);
        Add(dxEditMenuCaptions[3], -4, SelLength > 0, 0);
        Add(dxEditMenuCaptions[4], -5, !FReadOnlyPopup && CanPaste(), 0);
        Add(dxEditMenuCaptions[5], -6, SelLength >= 1 && !FReadOnlyPopup, 0);
        Add("-", SeparatorTag, true, 0);
        Add(dxEditMenuCaptions[6], -7, SelLength != Length, 0);
        FContextMenu->SetImages(nullptr);
    } else {
        const bool Empty = IsPictureEmpty(FPopupPicture);
        FContextMenu->SetImages(ToolImages);
        Add(ToolCaptions[0], 0, !Empty && !FReadOnlyPopup, ShortCut('X', TShiftState{ssCtrl}));
        Add(ToolCaptions[1], 1, !Empty, ShortCut('C', TShiftState{ssCtrl}));
        Add(ToolCaptions[2], 2, !FReadOnlyPopup && CanPaste(), ShortCut('V', TShiftState{ssCtrl}));
        Add(ToolCaptions[3], 3, !Empty && !FReadOnlyPopup, 0);
        if (BlobEdit && BlobEdit->ShowExPopupItems) {
            Add("-", SeparatorTag, true, 0);
            Add(ToolCaptions[4], 4, !FReadOnlyPopup, 0);
            Add(ToolCaptions[5], 5, !Empty, 0);
        }
        for (int I = 0; I < Items->Count(); ++I)
            if (Items->Items(I)->Tag() >= 0 && Items->Items(I)->Tag() != SeparatorTag)
                Items->Items(I)->SetImageIndex(static_cast<int>(Items->Items(I)->Tag()));
    }
    FContextMenu->Popup(P.X, P.Y);
}

void TCustomdxBlobPopup::MenuClick(TObject* Sender) {
    switch (static_cast<TMenuItem*>(Sender)->Tag()) {
    case 0: CutToClipboard(); break;
    case 1: CopyToClipboard(); break;
    case 2: PasteFromClipboard(); break;
    case 3: DeletePicture(); break;
    case 4: LoadPicture(); ShowPopupWindow(); break;
    case 5: SavePicture(); ShowPopupWindow(); break;
    case -1: SendMessageA(Handle(), EM_UNDO, 0, 0); break;
    case -2: SendMessageA(Handle(), EM_REDO, 0, 0); break;
    case -3: CutToClipboard(); break;
    case -4: CopyToClipboard(); break;
    case -5: PasteFromClipboard(); break;
    case -6: SendMessageA(Handle(), WM_CLEAR, 0, 0); break;
    case -7: SendMessageA(Handle(), EM_SETSEL, 0, -1); break;
    default: break;
    }
}

void TCustomdxBlobPopup::KeyDown(Word& Key, TShiftState Shift) {
    const bool Alt = Shift.Contains(ssAlt);
    if (BlobEdit && BlobEdit->IsInplace() && Key == VK_TAB && !MemoWantTabs) {
        HidePopup();
        BlobEdit->FocusAdjacentCell(Shift.Contains(ssShift));
        Key = 0;
        RemovePendingMessage(Handle(), WM_CHAR);
        return;
    }
    if ((Alt && (Key == VK_UP || Key == VK_DOWN)) || Key == VK_F4) {
        // Closing by the drop-down keys saves by AlwaysSaveText; typed text is not thrown away.
        HidePopup();
        Key = 0;
        return;
    }
    const char Letter = static_cast<char>(Key);
    const bool CancelAccel = Alt && (Letter == Accelerator(PopupButtonCaptions[pbnCancel]) ||
                                     Letter == Accelerator(PopupButtonCaptions[pbnClose]));
    if (Key == VK_ESCAPE || CancelAccel) {
        SetModified(false);
        ClosePopupWith(pbnCancel);
        if (CancelAccel)
            DestroyHandle();
        Key = 0;
        return;
    }
    const bool OKAccel =
        Alt && FPanelButtons.Contains(pbnOK) && Letter == Accelerator(PopupButtonCaptions[pbnOK]);
    if ((Key == VK_RETURN && (Shift.Contains(ssCtrl) || !MemoWantReturns || !IsMemo())) || OKAccel) {
        ClosePopupWith(pbnOK);
        if (OKAccel)
            DestroyHandle();
        Key = 0;
        return;
    }
    TdxInplacePopupControl::KeyDown(Key, Shift);
    if (!IsMemo()) {
        if (Key == VK_INSERT && Shift == TShiftState{ssShift})
            PasteFromClipboard();
        else if (Key == VK_INSERT && Shift == TShiftState{ssCtrl})
            CopyToClipboard();
        else if (Key == VK_DELETE && Shift == TShiftState{ssShift})
            CutToClipboard();
    }
}

void TCustomdxBlobPopup::KeyPress(char& Key) {
    if ((Key == '\n' && FPanelButtons.Contains(pbnOK)) || (Key == '\t' && !MemoWantTabs)) {
        Key = 0;
        return;
    }
    if (IsMemo() && MemoCharCase != ecNormal && Key != 0) {
        const std::string S(1, Key);
        Key = (MemoCharCase == ecUpperCase ? AnsiUpperCase(S) : AnsiLowerCase(S))[0];
    }
    TdxInplacePopupControl::KeyPress(Key);
    if (!IsMemo())
        switch (Key) {
        case 3: CopyToClipboard(); break;
        case 22: PasteFromClipboard(); break;
        case 24: CutToClipboard(); break;
        default: break;
        }
}

// ---------------------------------------------------------------------------------------------
// Blob editor: class level

TdxEditViewDataClass TdxInplaceBlobEdit::TMetaClass::GetViewDataClass() const {
    return TdxEditViewDataClass::Of<TdxBlobEditViewData>();
}

void TdxInplaceBlobEdit::TMetaClass::InitButtons(TdxDropDownEditViewData* ViewData) const {
    TdxInplaceDropDownEdit::TMetaClass::InitButtons(ViewData);
    auto* VD = DynCast<TdxBlobEditViewData>(ViewData);
    if (VD && !VD->HideButtons && VD->ButtonCount > 0 && (VD->ContentKind == ckOle || VD->ContentKind == ckBinary))
        VD->Buttons[0].Kind = bkEllipsis;
}

bool TdxInplaceBlobEdit::TMetaClass::DrawClient(HDC DC, const TRect& Rect, bool IsEditorPaint,
                                                TdxEditViewData* ViewData) const {
    auto* VD = DynCast<TdxBlobEditViewData>(ViewData);
    if (!VD)
        return TdxInplaceDropDownEdit::TMetaClass::DrawClient(DC, Rect, IsEditorPaint, ViewData);
    if (VD->PaintStyle != bpsIcon) {
        VD->EllipsisAtEnd = true;
        VD->VertLayout = 3;
        return TdxInplaceTextEdit::TMetaClass::DrawClient(DC, Rect, IsEditorPaint, ViewData);
    }
    const int Index = BlobIconIndex(VD->ContentKind, VD->EmptyValue);
    if (!VD->MeasureOnly) {
        if (!VD->Transparent)
            FillRect(DC, Rect, VD->Brush);
        if (VD->Images && Index >= 0 && Index < VD->Images->Count())
            DrawImageListImage(DC, (Rect.Left + Rect.Right - VD->Images->Width()) / 2,
                               (Rect.Top + Rect.Bottom - VD->Images->Height()) / 2, VD->Images, Index);
    }
    VD->Transparent = true;
    VD->Value = std::string();
    return TdxInplaceTextEdit::TMetaClass::DrawClient(DC, Rect, IsEditorPaint, ViewData);
}

// ---------------------------------------------------------------------------------------------
// Blob editor

TdxInplaceBlobEdit::TdxInplaceBlobEdit(TComponent* AOwner) : TdxInplaceDropDownEdit(AOwner) {
    PicturePasteFormat = CF_PICTURE;
    ForwardKeysToPopup = false;
    PopupOnClick = true;
}

// The popup is owned, and freed with the other owned components before this runs.
TdxInplaceBlobEdit::~TdxInplaceBlobEdit() { FreeAndNil(FValuePicture); }

void TdxInplaceBlobEdit::DefineClass(TClassBuilder<TdxInplaceBlobEdit>& B) {
    B.Message<&TdxInplaceBlobEdit::WMGetDlgCodeBlob>(WM_GETDLGCODE);
}

void TdxInplaceBlobEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TdxInplaceDropDownEdit::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FBlobPopup) {
        FBlobPopup = nullptr;
        ActivePopup = nullptr;
    }
}

bool TdxInplaceBlobEdit::IsEmptyValue(const Variant& Value) {
    return Value.IsNull() || Value.IsEmpty() || (Value.VType() == varString && Value.AsString().empty());
}

TGraphicClass TdxInplaceBlobEdit::GetPictureClass() {
    TGraphicClass Class = PictureClass;
    if (OnGetPictureClass)
        OnGetPictureClass(this, Class);
    return Class;
}

void TdxInplaceBlobEdit::SetPopupSize(int W, int H) {
    PopupWidth = W;
    PopupHeight = H;
    if (OnPopupSized)
        OnPopupSized(this);
}

void TdxInplaceBlobEdit::StorePopupSize(TObject*) {
    if (FBlobPopup)
        SetPopupSize(FBlobPopup->Width(), FBlobPopup->Height());
}

void TdxInplaceBlobEdit::SetBlobValue(const std::string& Value) {
    if (Value == FBlobValue)
        return;
    TCustomdxContainer* C = Container();
    if (C && C->ComponentState().Contains(csLoading))
        FBlobValue = Value;
    else if (CanChangeValue()) {
        FBlobValue = Value;
        Change();
    }
    InvalidateEditor();
}

void TdxInplaceBlobEdit::SetBlobContentKind(TdxBlobContentKind Value) {
    FBlobContentKind = Value;
    StyleChanged();
}

void TdxInplaceBlobEdit::SetBlobPaintStyle(TdxBlobPaintStyle Value) {
    FBlobPaintStyle = Value;
    InvalidateEditor();
}

void TdxInplaceBlobEdit::SetBlobDisplayText(const std::string& Text) {
    const bool Saved = FAssigningText;
    FAssigningText = true;
    SetText(Text);
    FAssigningText = Saved;
}

void TdxInplaceBlobEdit::SetEditValue(const Variant& Value) {
    FBlobValue = Value.IsNull() || Value.IsEmpty() ? std::string() : Value.AsString();
    InvalidateEditor();
}

void TdxInplaceBlobEdit::ReadDisplayValue(Variant& Value, bool FromDefinition) {
    if (FromDefinition && FDataDefinition) {
        Value = FDataDefinition->Value();
        if (Value.IsNull() || Value.IsEmpty())
            Value = std::string();
        return;
    }
    Value = Text();
}

void TdxInplaceBlobEdit::ReadEditValue(Variant& Value) {
    if (FBlobContentKind == ckPicture) {
        if (!FValuePicture)
            FValuePicture = Create<TPicture>();
        LoadPictureValue(FValuePicture, Variant(FBlobValue), PictureClass);
        TPicture* P = FValuePicture;
        DoAssignPicture(P);
        Value = IsPictureEmpty(P) ? Null() : Variant(SavePictureValue(P));
        return;
    }
    Value = FBlobValue.empty() ? Null() : Variant(FBlobValue);
}

TdxEditViewData* TdxInplaceBlobEdit::CreateViewData(bool IsPaintCopy) {
    TdxEditViewData* VD = TdxInplaceDropDownEdit::CreateViewData(IsPaintCopy);
    auto* B = static_cast<TdxBlobEditViewData*>(VD);
    if (IsInplace() || PopupActive())
        B->Focused = false;
    B->ContentKind = FBlobContentKind;
    B->PaintStyle = FBlobPaintStyle;
    if (FBlobPaintStyle == bpsIcon) {
        B->Images = BlobImages;
        B->EmptyValue = IsPaintCopy ? IsEmptyValue(B->Value) : FBlobValue.empty();
    }
    SetBlobDisplayText(Text());
    return VD;
}

void TdxInplaceBlobEdit::OpenPopup() {
    if (FBlobPopup && FBlobPopup->HandleAllocated() && IsWindowVisible(FBlobPopup->Handle()))
        return;
    DoOpenPopup();
    if (FBlobContentKind != ckMemo && FBlobContentKind != ckPicture)
        return;
    if (!FBlobPopup) {
        FBlobPopup = Create<TCustomdxBlobPopup>(this);
        FBlobPopup->OwnerEdit = this;
        FBlobPopup->BlobEdit = this;
    }
    ActivePopup = FBlobPopup;
    TCustomdxBlobPopup* P = FBlobPopup;
    P->SetColor(Color());
    P->Font()->Assign(Font());
    P->TextSaved = false;
    P->SetMemoText(std::string());
    P->SetContentKind(FBlobContentKind);
    P->SetPopupBorder(ResolvedPopupBorder());
    P->SetShadow(FStyle && FStyle->Shadow());
    P->SizingEnabled = SizeablePopup;
    P->AlwaysSaveText = AlwaysSaveText;
    P->MemoCharCase = MemoCharCase;
    P->MemoHideScrollBars = MemoHideScrollBars;
    P->MemoMaxLength = MemoMaxLength;
    P->MemoOEMConvert = MemoOEMConvert;
    P->MemoScrollBars = MemoScrollBars;
    P->MemoSelectionBar = MemoSelectionBar;
    P->MemoWantReturns = MemoWantReturns;
    P->MemoWantTabs = MemoWantTabs;
    P->MemoWordWrap = MemoWordWrap;
    P->PictureAutoSize = PictureAutoSize;
    P->PasteFormat = PicturePasteFormat;
    P->PictureClass = GetPictureClass();
    P->PictureTransparency = PictureTransparency;
    P->PictureFilter = PictureFilter;
    if (FBlobContentKind == ckPicture)
        LoadPictureValue(P->PopupPicture(), Variant(FBlobValue), P->PictureClass);
    else
        P->SetMemoText(FBlobValue);
    P->SetReadOnlyPopup(!IsEditable());
    P->SetModified(false);
    P->OnSaveText = TNotifyEvent::Bind<&TdxInplaceBlobEdit::SavePopupValue>(this);
    P->OnStoreSize = TNotifyEvent::Bind<&TdxInplaceBlobEdit::StorePopupSize>(this);
    POINT Pt{Left(), Top() + Height()};
    if (Parent() && Parent()->HandleAllocated())
        ::ClientToScreen(Parent()->Handle(), &Pt);
    P->Place(TPoint{Pt.x, Pt.y}, Width(), Height(), PopupWidth, PopupHeight);
    P->SetModified(false);
    DroppedDown = true;
    P->ShowPopupWindow();
    ::SetFocus(P->Handle());
}

void TdxInplaceBlobEdit::SavePopupValue(TObject*) {
    if (!FBlobPopup)
        return;
    FBlobPopup->OnSaveText = TNotifyEvent();
    if (!CanChangeValue())
        return;
    if (FBlobContentKind == ckMemo) {
        SetBlobValue(FBlobPopup->SavedText());
        if (FBlobPaintStyle == bpsText)
            SetBlobDisplayText(FBlobValue);
    } else if (FBlobContentKind == ckPicture) {
        TPicture* Pic = FBlobPopup->PopupPicture();
        if (IsPictureEmpty(Pic)) {
            SetBlobValue(std::string());
            PictureClass = nullptr;
        } else {
            PictureClass = TGraphicClass(Pic->Graphic()->ClassType());
            SetBlobValue(SavePictureValue(Pic));
        }
    }
    SetModified(true);
}

void TdxInplaceBlobEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (IsInplace() && (Key == VK_LEFT || Key == VK_RIGHT) && Shift.Empty()) {
        FocusAdjacentCell(Key == VK_LEFT);
        Key = 0;
        return;
    }
    if (Key == VK_DELETE) {
        Key = 0;
        return;
    }
    TdxInplaceDropDownEdit::KeyDown(Key, Shift);
}

void TdxInplaceBlobEdit::KeyPress(char& Key) {
    if (FBlobPopup && FBlobPopup->HandleAllocated() && IsWindowVisible(FBlobPopup->Handle()) &&
        GetFocus() == FBlobPopup->Handle() && FBlobPopup->MemoText().empty())
        PostMessageA(FBlobPopup->Handle(), WM_CHAR, static_cast<unsigned char>(Key), 0);
    Key = 0;
}

void TdxInplaceBlobEdit::WMGetDlgCodeBlob(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    Message.Result |= DLGC_WANTARROWS | DLGC_WANTALLKEYS;
}
