#include "dxCntner.h"

int PopupBorderWidth(TdxPopupBorder Border) {
    static constexpr int Widths[4] = {0, 1, 4, 2};
    return Widths[Border];
}

void DrawPopupFrame(HDC DC, TRect& R, TdxPopupBorder Border, bool SizeBox, bool Shadow, int ShadowSize) {
    TRect S;
    if (Shadow) {
        R.Right -= ShadowSize;
        R.Bottom -= ShadowSize;
        S = R;
        OffsetRect(S, ShadowSize, ShadowSize);
    }
    switch (Border) {
    case pbSingle:
        DrawEdge(DC, R, BDR_RAISEDOUTER, BF_RECT | BF_ADJUST | BF_MONO);
        break;
    case pbFrame3D:
        DrawEdge(DC, R, EDGE_RAISED, BF_RECT | BF_ADJUST);
        DrawEdge(DC, R, BDR_SUNKENINNER, BF_RECT | BF_ADJUST | BF_FLAT);
        DrawEdge(DC, R, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        break;
    case pbFlat:
        DrawEdge(DC, R, EDGE_RAISED, BF_RECT | BF_ADJUST);
        break;
    default:
        break;
    }
    if (Shadow)
        FillShadowEdges(DC, S, ShadowSize, ShadowBrush);
    if (SizeBox) {
        TRect C{R.Right - GetSystemMetrics(SM_CXVSCROLL), R.Bottom - GetSystemMetrics(SM_CYHSCROLL), R.Right, R.Bottom};
        if (Shadow)
            OffsetRect(C, -ShadowSize, -ShadowSize);
        FillRect(DC, C, GetSysColorBrush(COLOR_BTNFACE));
    }
}

void PaintPopupNonClient(HWND Handle, TdxPopupBorder Border, bool SizeBox, int ShadowSize, bool Shadow) {
    RECT W;
    GetWindowRect(Handle, &W);
    TRect R{0, 0, W.right - W.left, W.bottom - W.top};
    HDC DC = GetWindowDC(Handle);
    DrawPopupFrame(DC, R, Border, SizeBox, Shadow, ShadowSize);
    ReleaseDC(Handle, DC);
}

void SetPopupShadowRegion(HWND Handle, bool Shadow, int ShadowSize) {
    if (!Shadow) {
        SetWindowRgn(Handle, nullptr, TRUE);
        return;
    }
    RECT W;
    GetWindowRect(Handle, &W);
    TRect R{0, 0, W.right - W.left - ShadowSize, W.bottom - W.top - ShadowSize};
    HRGN Rgn = CreateRectRgnIndirect(R);
    OffsetRect(R, ShadowSize, ShadowSize);
    HRGN Moved = CreateRectRgnIndirect(R);
    CombineRgn(Rgn, Rgn, Moved, RGN_OR);
    DeleteObject(Moved);
    SetWindowRgn(Handle, Rgn, TRUE);
}

// ---------------------------------------------------------------------------------------------

TdxInplacePopupControl::TdxInplacePopupControl(TComponent* AOwner) : TCustomControl(AOwner) {}

void TdxInplacePopupControl::DefineClass(TClassBuilder<TdxInplacePopupControl>& B) {
    B.Message<&TdxInplacePopupControl::WMActivate>(WM_ACTIVATE);
    B.Message<&TdxInplacePopupControl::WMKillFocus>(WM_KILLFOCUS);
    B.Message<&TdxInplacePopupControl::WMMouseActivate>(WM_MOUSEACTIVATE);
    B.Message<&TdxInplacePopupControl::WMNCCalcSize>(WM_NCCALCSIZE);
    B.Message<&TdxInplacePopupControl::WMNCPaint>(WM_NCPAINT);
    B.Message<&TdxInplacePopupControl::WMSize>(WM_SIZE);
}

HWND TdxInplacePopupControl::EditorFormHandle() const {
    TCustomForm* F = OwnerEdit ? OwnerEdit->GetParentForm() : nullptr;
    return F && F->HandleAllocated() ? F->Handle() : nullptr;
}

void TdxInplacePopupControl::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (PopupMode)
        if (HWND Form = EditorFormHandle())
            Params.WndParent = Form;
}

void TdxInplacePopupControl::SetPopupBorder(TdxPopupBorder Value) {
    if (FPopupBorder == Value)
        return;
    FPopupBorder = Value;
    RecreateWnd();
}

void TdxInplacePopupControl::SetShadow(bool Value) {
    if (FShadow == Value)
        return;
    FShadow = Value;
    RecreateWnd();
}

// Shown without activation: the editor keeps the focus and its form keeps the active caption.
void TdxInplacePopupControl::ShowPopupWindow() {
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    if (HWND Form = EditorFormHandle())
        SendMessageA(Form, WM_NCACTIVATE, TRUE, 0);
}

void TdxInplacePopupControl::HidePopup() {
    if (HandleAllocated() && IsWindowVisible(FHandle)) {
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
        if (Application && Application->Active() && OwnerEdit && OwnerEdit->HandleAllocated())
            ::SetFocus(OwnerEdit->Handle());
    }
    // Told every time, also when the window was already hidden: the editor's dropped-down state
    // must never outlive the popup.
    if (OwnerEdit && OwnerEdit->HandleAllocated())
        PostMessageA(OwnerEdit->Handle(), PopupClosedMessage, 0, 0);
}

void TdxInplacePopupControl::WMMouseActivate(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (PopupMode)
        Message.Result = MA_NOACTIVATE;
}

void TdxInplacePopupControl::WMActivate(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (!PopupMode || LOWORD(Message.WParam) != WA_INACTIVE)
        return;
    HWND Form = EditorFormHandle();
    if (Form && reinterpret_cast<HWND>(Message.LParam) != Form)
        SendMessageA(Form, WM_NCACTIVATE, FALSE, 0);
}

void TdxInplacePopupControl::WMKillFocus(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (!PopupMode)
        return;
    HidePopup();
    if (OwnerEdit)
        OwnerEdit->EditorKillFocus(Message);
}

void TdxInplacePopupControl::WMNCCalcSize(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (!PopupMode || !Message.LParam)
        return;
    auto* R = reinterpret_cast<RECT*>(Message.LParam);
    const int B = PopupBorderWidth(FPopupBorder);
    InflateRect(R, -B, -B);
    if (FShadow) {
        R->right -= ShadowSize;
        R->bottom -= ShadowSize;
    }
}

void TdxInplacePopupControl::WMNCPaint(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (!PopupMode || !DrawNonClient)
        return;
    LONG Style = GetWindowLongA(FHandle, GWL_STYLE);
    PaintPopupNonClient(FHandle, FPopupBorder, (Style & WS_VSCROLL) && (Style & WS_HSCROLL), ShadowSize, FShadow);
}

void TdxInplacePopupControl::WMSize(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (PopupMode)
        SetPopupShadowRegion(FHandle, FShadow, ShadowSize);
}
