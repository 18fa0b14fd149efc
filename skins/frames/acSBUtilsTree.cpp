#include "acSBUtilsTree.h"

#include "ComCtrlsTree.h"
#include "sMessages.h"
#include "sVclUtils.h"

#include <commctrl.h>

namespace {
bool HasSection(const TsCommonData* D) { return D && D->IsSkinned(false); }
}  // namespace

void TacTreeViewWnd::RestoreStdParams() {
    TacEditWnd::RestoreStdParams();
    if (IsWindow(Handle))
        TreeView_SetBkColor(Handle, ColorToRGB(clWindow));
}

void TacTreeViewWnd::SetSkinParams() {
    SkinParamsApplied = true;
    if (InDialog) {
        TreeView_SetBkColor(Handle, ColorToRGB(clWindow));
        return;
    }
    TControl* Host = SkinData ? SkinData->HostControl : nullptr;
    if (!Host || !HasSection(SkinData))
        return;
    const TsGeneralData& S = SkinData->Section();
    if (!SkinData->CustomFont())
        Host->Font()->SetColor(S.HotFontColor[0]);
    if (SkinData->CustomColor() || Host->Color() == S.HotColor)
        return;
    TreeView_SetBkColor(Handle, ColorToRGB(S.HotColor));
}

void TacTreeViewWnd::EraseBackground(TMessage& Message) {
    Message.Result = 0;
    if (SkinData->IsUpdating())
        return;
    if (SkinData->BackgroundStale)
        PaintBorderCache(SkinData, Handle, InDialog);
    TColor Fill = InDialog || !HasSection(SkinData) ? clWindow : SkinData->Section().HotColor;
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    bool OwnDC = DC == nullptr;
    if (OwnDC)
        DC = GetWindowDC(Handle);
    RECT R{0, 0, HookWndSize.cx, HookWndSize.cy};
    if (R.right == 0 || R.bottom == 0)
        GetClientRect(Handle, &R);
    HBRUSH Brush = CreateSolidBrush(ColorToRGB(Fill));
    FillRect(DC, &R, Brush);
    DeleteObject(Brush);
    if (OwnDC)
        ReleaseDC(Handle, DC);
}

void TacTreeViewWnd::WndProc(TMessage& Message) {
    if (Message.Msg == WM_ERASEBKGND && !Unhooked && SkinData && SkinData->IsSkinned(true)) {
        EraseBackground(Message);
        return;
    }
    if (Message.Msg == WM_PAINT && !SkinParamsApplied && !Unhooked && HasSection(SkinData))
        SetSkinParams();
    TacEditWnd::WndProc(Message);
    if (Message.Msg == WM_LBUTTONUP)
        ReleaseCapture();
}

void RefreshTreeViewWnd(TsCommonData* SkinData, TacTreeViewWnd*& Wnd) { RefreshHookWnd<TacTreeViewWnd>(SkinData, Wnd); }
