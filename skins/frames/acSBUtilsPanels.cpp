#include "acSBUtilsPanels.h"

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "sDCUtils.h"
#include "sGraphUtils.h"
#include "sMaskDraw.h"
#include "sMessages.h"
#include "sPaintServices.h"
#include "sSectionPaint.h"
#include "sVclUtils.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace {

void SelectWindowFont(TCanvas* C, TControl* Host, HWND Wnd) {
    if (Host)
        C->Font()->Assign(Host->Font());
    else if (HFONT Font = reinterpret_cast<HFONT>(SendMessageA(Wnd, WM_GETFONT, 0, 0)))
        C->Font()->SetHandle(Font);
}

// The cache's frame strips of width B into DC (the window's own DC when null).
void CopyCacheFrame(HWND Wnd, TBitmap* Cache, int B, HDC DC) {
    if (!Cache || B <= 0)
        return;
    HDC Own = DC ? nullptr : GetWindowDC(Wnd);
    CopyBorderStrips(DC ? DC : Own, 0, 0, B, Cache->Canvas()->Handle(), 0, 0, Cache->Width(), Cache->Height());
    if (Own)
        ReleaseDC(Wnd, Own);
}

// Half the difference between the window's and the client's width: the frame's width.
int FrameWidthOf(HWND Wnd) {
    RECT W{}, C{};
    GetWindowRect(Wnd, &W);
    GetClientRect(Wnd, &C);
    return ((W.right - W.left) - (C.right - C.left)) / 2;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Child dialogs

void TacTransPanelWnd::PaintBackground() {
    GetWindowRect(Handle, HookWndRect);
    HookWndSize = TSize{std::max<LONG>(0, HookWndRect.Width()), std::max<LONG>(0, HookWndRect.Height())};
    PAINTSTRUCT PS;
    BeginPaint(Handle, &PS);
    HDC DC = GetWindowDC(Handle);
    SkinData->BackgroundStale = true;
    SendMessageA(Handle, SM_ALPHACMD, SkinCommandParam(SKIN_PREPARECACHE), 0);
    CopyCacheClipWindows(Handle, SkinData, Point(0, 0), 0, 0, false, DC, Rect(0, 0, HookWndSize.cx, HookWndSize.cy));
    ReleaseDC(Handle, DC);
    EndPaint(Handle, &PS);
}

void TacTransPanelWnd::WndProc(TMessage& Message) {
    if (HookSkinned()) {
        if (Message.Msg == WM_ERASEBKGND) {
            PaintBackground();
            Message.Result = 1;
            return;
        }
        if (Message.Msg == WM_NCPAINT)
            return;
    }
    TacMainWnd::WndProc(Message);
}

// ---------------------------------------------------------------------------------------------
// Group boxes

TacGroupBoxWnd::TacGroupBoxWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                               TsCommonData* ASkinData)
    : TacMainWnd(AHandle, Repaint, SectionOr(SkinSection, "GROUPBOX"), Manager, ASkinData) {}

void TacGroupBoxWnd::SelectFont(TCanvas* Canvas) { SelectWindowFont(Canvas, SkinData->HostControl, Handle); }

TRect TacGroupBoxWnd::CaptionRect() {
    PrepareCacheBitmapFor(SkinData);
    TCanvas* C = SkinData->CacheBitmap->Canvas();
    SelectFont(C);
    RECT T{0, 0, 0, 0};
    std::string Text = ReadWindowText(Handle);
    DrawTextA(C->Handle(), Text.c_str(), static_cast<int>(Text.size()), &T, DT_CALCRECT | DT_CENTER);
    RECT W{};
    GetWindowRect(Handle, &W);
    const int Width = W.right - W.left, TW = T.right - T.left, TH = T.bottom - T.top;
    const int Left = (GetWindowLongPtrA(Handle, GWL_EXSTYLE) & WS_EX_RTLREADING) ? Width - TW - 14 : 6;
    return Rect(Left, 0, std::min(Left + TW + 8, Width - 1), std::max(4, TH) + 2);
}

void TacGroupBoxWnd::PaintCaption(const TRect& R, const ParentBackgroundInfo& Info) {
    TBitmap* Cache = SkinData->CacheBitmap;
    TCanvas* C = Cache->Canvas();
    BackgroundSource Back;
    ToBackgroundSource(Info, Back);
    if (Back.Bmp)
        BitBlt(C->Handle(), R.Left, R.Top, R.Width(), R.Height(), Back.Bmp->Canvas()->Handle(),
               Back.OffsetX + HookWndPos.X + R.Left, Back.OffsetY + HookWndPos.Y + R.Top, SRCCOPY);
    else
        FillRectSolid(C->Handle(), R, ColorToRGB(Back.Color));
    C->Brush()->SetStyle(bsClear);
    SelectFont(C);
    WriteControlText(C, HookWndText, IsWindowEnabled(Handle) != FALSE, false, SkinData,
                     DT_CENTER | DT_VCENTER | DT_SINGLELINE, R);
}

void TacGroupBoxWnd::PrepareCache() {
    TBitmap* Cache = SizedCacheOf(SkinData, HookWndSize);
    const int W = Cache->Width(), H = Cache->Height();
    TRect R = CaptionRect();
    ParentBackgroundInfo Info;
    QueryWindowBackground(Info, HookParent, false);
    BackgroundSource Back;
    ToBackgroundSource(Info, Back);
    if (Back.Bmp)
        BitBlt(Cache->Canvas()->Handle(), 0, 0, W, R.Bottom, Back.Bmp->Canvas()->Handle(), Back.OffsetX + HookWndPos.X,
               Back.OffsetY + HookWndPos.Y, SRCCOPY);
    else
        FillRectSolid(Cache->Canvas()->Handle(), Rect(0, 0, W, R.Bottom), ColorToRGB(Back.Color));
    const int Middle = R.Height() / 2;
    PaintControlSkin(SkinData, Back, true, true, 0, Cache, Point(HookWndPos.X, HookWndPos.Y + Middle),
                     Rect(0, Middle, W, H));
    if (!HookWndText.empty())
        PaintCaption(R, Info);
    SkinData->BackgroundStale = false;
}

void TacGroupBoxWnd::PaintNow(TMessage& Message) {
    ReadGeometry();
    PAINTSTRUCT PS;
    BeginPaint(Handle, &PS);
    TsCommonData& D = *SkinData;
    D.InUpdate = D.IsUpdating();
    if (!D.InUpdate) {
        HDC Given = Message.WParam && Message.LParam == 1 ? reinterpret_cast<HDC>(Message.WParam) : nullptr;
        HDC DC = Given ? Given : GetWindowDC(Handle);
        PrepareCache();
        const int Saved = SaveDC(DC);
        if (InDialog) {
            TsSkinManager* M = D.GetSkinManager();
            const int Mask = D.BorderMaskIndex;
            ExcludeClipRect(DC, M->GetMaskLeftWidth(Mask), CaptionRect().Bottom,
                            HookWndSize.cx - M->GetMaskRightWidth(Mask), HookWndSize.cy - M->GetMaskBottomWidth(Mask));
        }
        CopyCacheClipWindows(Handle, SkinData, Point(0, 0), 0, 0, false, DC, Rect(0, 0, HookWndSize.cx, HookWndSize.cy));
        if (auto* Host = DynCast<TWinControl>(D.HostControl))
            PaintGraphicChildren(DC, Host, Point(0, 0));
        RestoreDC(DC, Saved);
        if (!Given)
            ReleaseDC(Handle, DC);
        SendEndUpdateToChildWindows(Handle);
    }
    EndPaint(Handle, &PS);
}

void TacGroupBoxWnd::WndProc(TMessage& Message) {
    if (!HookSkinned()) {
        TacMainWnd::WndProc(Message);
        return;
    }
    TsCommonData& D = *SkinData;
    switch (Message.Msg) {
    case SM_ALPHACMD:
        if (SkinCommandOf(Message.WParam) == SKIN_GETMANAGER) {
            Message.Result = CaptionRect().Height();
            return;
        }
        if (SkinCommandOf(Message.WParam) == SKIN_REMOVED && D.HostControl)
            D.HostControl->SetControlStyle(D.HostControl->ControlStyle() - TControlStyle{csOpaque});
        break;
    case WM_SETTEXT:
        TacMainWnd::WndProc(Message);
        D.BackgroundStale = true;
        RedrawWindow(Handle, nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
        return;
    case WM_PAINT:
        if (InDialog)
            break;
        PaintNow(Message);
        Message.Result = 0;
        return;
    case WM_ERASEBKGND:
        if (InDialog)
            break;
        if (Message.WParam == static_cast<WPARAM>(Message.LParam)) {
            if (D.BackgroundStale) {
                ReadGeometry();
                PrepareCache();
            }
            if (D.NeedsSkinPaint())
                CopyCacheTo(reinterpret_cast<HDC>(Message.WParam));
            else
                FillRectSolid(reinterpret_cast<HDC>(Message.WParam), Rect(0, 0, HookWndSize.cx, HookWndSize.cy),
                              GetWindowBgColor(Handle));
        }
        Message.Result = 1;
        return;
    case WM_NCPAINT:
        if (!InDialog)
            break;
        {
            TMessage Paint{WM_PAINT, 0, 0, 0};
            PaintNow(Paint);
        }
        Message.Result = 1;
        return;
    case WM_PARENTNOTIFY:
        if (LOWORD(Message.WParam) == WM_CREATE || LOWORD(Message.WParam) == WM_DESTROY) {
            TacMainWnd::WndProc(Message);
            if (LOWORD(Message.WParam) == WM_CREATE && D.HostControl)
                AskFormToAdaptControl(D.HostControl);
            return;
        }
        break;
    case WM_PRINT:
        D.BackgroundStale = true;
        Message.LParam = 1;
        PaintNow(Message);
        return;
    default:
        break;
    }
    TacMainWnd::WndProc(Message);
}

// ---------------------------------------------------------------------------------------------
// Panels

TacPanelWnd::TacPanelWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                         TsCommonData* ASkinData)
    : TacMainWnd(AHandle, Repaint, SkinSection, Manager, ASkinData) {
    auto* Panel = DynCast<TCustomPanel>(SkinData->HostControl);
    if (!SkinSection.empty() || !Panel)
        return;
    const char* Section = "CHECKBOX";
    switch (Panel->BevelOuter()) {
    case bvLowered: Section = Panel->BevelInner() == bvRaised ? "GROUPBOX" : "PANEL_LOW"; break;
    case bvRaised: Section = Panel->BevelInner() == bvLowered ? "GROUPBOX" : "PANEL"; break;
    default: Section = Panel->BorderStyle() == bsSingle ? "PANEL_LOW" : "CHECKBOX"; break;
    }
    SkinData->SetSkinSection(Section);
}

bool TacPanelWnd::IsContainer() const {
    TControl* Host = SkinData ? SkinData->HostControl : nullptr;
    return Host && Host->ControlStyle().Contains(csAcceptsControls);
}

void TacPanelWnd::PrepareCache() {
    TControl* Host = SkinData->HostControl;
    SkinData->PrepareCacheBitmap();
    TBitmap* Cache = SkinData->CacheBitmap;
    BackgroundSource Back;
    SkinData->GetParentBackgroundSource(Back);
    PaintControlSkin(SkinData, Back, true, true, 0, Cache, Point(Host->Left(), Host->Top()),
                     Rect(0, 0, Host->Width(), Host->Height()));
    if (auto* Panel = DynCast<TCustomPanel>(Host); Panel && !Panel->Caption().empty()) {
        TRect R = Panel->ClientRect();
        int B = Panel->BorderWidth();
        if (Panel->BevelOuter() != bvNone)
            B += Panel->BevelWidth();
        if (Panel->BevelInner() != bvNone)
            B += Panel->BevelWidth();
        InflateRect(R, -B, -B);
        TCanvas* C = Cache->Canvas();
        C->Font()->Assign(Panel->Font());
        C->Brush()->SetStyle(bsClear);
        WriteControlText(C, Panel->Caption(), Panel->Enabled(), false, SkinData, DT_CENTER | DT_VCENTER | DT_SINGLELINE, R);
    }
    SkinData->BackgroundStale = false;
}

void TacPanelWnd::PaintClient(HDC DC) {
    auto* Host = DynCast<TWinControl>(SkinData->HostControl);
    if (!Host || Host->ComponentState().Contains(csDestroying) ||
        (Host->Parent() && Host->Parent()->ControlState().Contains(csCreating)))
        return;
    HDC Own = DC ? nullptr : GetDC(Handle);
    if (Own)
        DC = Own;
    const int Saved = SaveDC(DC);
    if (!SkinData->IsUpdating()) {
        RECT Clip{};
        GetClipBox(DC, &Clip);
        const bool Rebuild = SkinData->PartlyClipped || SkinData->BackgroundStale;
        SkinData->PartlyClipped = SkinData->MustRepaintOnMove() &&
                                  (Clip.right - Clip.left != Host->Width() || Clip.bottom - Clip.top != Host->Height());
        if (Rebuild)
            PrepareCache();
        const int B = FrameWidthOf(Handle);
        CopyCacheClipControls(Host, SkinData, Point(B, B), 0, 0, true, DC,
                              Rect(0, 0, Host->Width() - 2 * B, Host->Height() - 2 * B));
        PaintGraphicChildren(DC, Host, Point(0, 0));
        SendEndUpdateToChildren(Host);
    }
    RestoreDC(DC, Saved);
    if (Own)
        ReleaseDC(Handle, Own);
}

void TacPanelWnd::PaintBorder(HDC DC) {
    ReadGeometry();
    SendMessageA(Handle, SM_ALPHACMD, SkinCommandParam(SKIN_PREPARECACHE), 0);
    CopyCacheFrame(Handle, SkinData->CacheBitmap, FrameWidthOf(Handle), DC);
}

void TacPanelWnd::WndProc(TMessage& Message) {
    if (Unhooked || !IsContainer()) {
        TacMainWnd::WndProc(Message);
        return;
    }
    TsCommonData& D = *SkinData;
    if (Message.Msg == SM_ALPHACMD) {
        switch (SkinCommandOf(Message.WParam)) {
        case SKIN_LOADED:
        case SKIN_REFRESH:
            TacMainWnd::WndProc(Message);
            PassCommandToChildren(D.HostControl, Handle, Message);
            return;
        case SKIN_REMOVED:
            D.SectionIndex = -1;
            D.HostControl->SetControlStyle(D.HostControl->ControlStyle() - TControlStyle{csOpaque});
            TacMainWnd::WndProc(Message);
            return;
        case SKIN_ENDUPDATE:
            D.SetInUpdate(false);
            RedrawWindow(Handle, nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
            return;
        case SKIN_ISSKINNED:
            Message.Result = 1;
            return;
        case SKIN_PREPARECACHE:
            return;
        case SKIN_GETAPPLICATION:
            Message.Result = reinterpret_cast<LRESULT>(Application);
            return;
        default:
            break;
        }
    } else if (HookSkinned()) {
        switch (Message.Msg) {
        case WM_SETTEXT:
            if (!IsWindowVisible(Handle))
                break;
            BaseWithoutRedraw(Message);
            D.BackgroundStale = true;
            RepaintNow();
            return;
        case WM_PAINT:
            ValidateWindow(true);
            return;
        case WM_ERASEBKGND:
            PaintClient(reinterpret_cast<HDC>(Message.WParam));
            Message.Result = 1;
            return;
        case WM_UPDATEUISTATE:
            Message.Result = 1;
            return;
        case WM_NCPAINT:
            PaintBorder(nullptr);
            Message.Result = 0;
            return;
        case WM_PARENTNOTIFY:
            if (LOWORD(Message.WParam) == WM_CREATE || LOWORD(Message.WParam) == WM_DESTROY) {
                TacMainWnd::WndProc(Message);
                if (LOWORD(Message.WParam) == WM_CREATE)
                    AskFormToAdaptControl(D.HostControl);
                return;
            }
            break;
        case WM_PRINT:
            D.BackgroundStale = true;
            PaintClient(reinterpret_cast<HDC>(Message.WParam));
            PaintBorder(reinterpret_cast<HDC>(Message.WParam));
            return;
        default:
            break;
        }
    }
    TacMainWnd::WndProc(Message);
    if (Message.Msg == WM_WINDOWPOSCHANGING && !Unhooked)
        SendMessageA(Handle, WM_NCPAINT, 0, 0);
}

// ---------------------------------------------------------------------------------------------
// Panels of standard dialogs

TacDlgPanelWnd::TacDlgPanelWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                               TsCommonData* ASkinData)
    : TacMainWnd(AHandle, Repaint, SkinSection, Manager, ASkinData) {
    PanelControl = DynCast<TControl>(FindControlByHandle(Handle, Application));
    const bool Plain = PanelControl && PanelControl->ClassName() == "TPanel";
    if (Plain && SkinManager)
        PanelControl->SetColor(SkinManager->GetMainColor());
    SkinData->SetSkinSection(Plain ? "CHECKBOX" : "GROUPBOX");
}

void TacDlgPanelWnd::SetPanelColor(TColor Value) {
    if (PanelControl && PanelControl->Color() != Value)
        PanelControl->SetColor(Value);
}

void TacDlgPanelWnd::SetSkinParams() {
    TacMainWnd::SetSkinParams();
    if (SkinManager)
        SetPanelColor(SkinManager->GetMainColor());
}

void TacDlgPanelWnd::PrepareCache() {
    ReadGeometry();
    TBitmap* Cache = SizedCacheOf(SkinData, HookWndSize);
    BackgroundSource Back;
    GetWindowParentBackgroundSource(Handle, Back);
    PaintControlSkin(SkinData, Back, true, true, 0, Cache, HookWndPos, Rect(0, 0, Cache->Width(), Cache->Height()));
    SkinData->BackgroundStale = false;
}

void TacDlgPanelWnd::PaintBorder(HDC DC) {
    const int B = FrameWidthOf(Handle);
    if (B < -5)
        return;
    SkinData->BackgroundStale = true;
    PrepareCache();
    CopyCacheFrame(Handle, SkinData->CacheBitmap, B + 6, DC);
}

void TacDlgPanelWnd::PaintClient(HDC DC) {
    if (!HookSkinned() || !DC)
        return;
    const int Saved = SaveDC(DC);
    if (!SkinData->IsUpdating()) {
        PrepareCache();
        const int B = FrameWidthOf(Handle);
        TBitmap* Cache = SkinData->CacheBitmap;
        BitBlt(DC, 0, 0, Cache->Width() - 2 * B, Cache->Height() - 2 * B, Cache->Canvas()->Handle(), B, B, SRCCOPY);
    }
    RestoreDC(DC, Saved);
}

void TacDlgPanelWnd::WndProc(TMessage& Message) {
    if (!HookSkinned()) {
        TacMainWnd::WndProc(Message);
        return;
    }
    TColor Main = SkinManager ? SkinManager->GetMainColor() : clBtnFace;
    switch (Message.Msg) {
    case SM_ALPHACMD:
        if (SkinCommandOf(Message.WParam) == SKIN_LOADED)
            PassCommandToChildren(SkinData->HostControl, Handle, Message);
        break;
    case WM_SETTEXT:
        if (!IsWindowVisible(Handle))
            break;
        SkinData->BackgroundStale = true;
        TacMainWnd::WndProc(Message);
        return;
    case WM_PAINT: {
        SetPanelColor(Main);
        ValidateWindow(false);
        return;
    }
    case WM_ERASEBKGND: {
        HDC DC = reinterpret_cast<HDC>(Message.WParam);
        const int Saved = SaveDC(DC);
        PaintClient(DC);
        IntersectClipRect(DC, 6, 6, HookWndSize.cx - 6, HookWndSize.cy - 6);
        TMessage Paint{WM_PAINT, Message.WParam, 0, 0};
        PassOn(Paint);
        RestoreDC(DC, Saved);
        Message.Result = 1;
        return;
    }
    case WM_NCPAINT:
        PaintBorder(nullptr);
        Message.Result = 1;
        return;
    case WM_UPDATEUISTATE:
        Message.Result = 1;
        return;
    case WM_PARENTNOTIFY:
        if (LOWORD(Message.WParam) == WM_CREATE || LOWORD(Message.WParam) == WM_DESTROY) {
            TacMainWnd::WndProc(Message);
            SetPanelColor(Main);
            if (LOWORD(Message.WParam) == WM_CREATE && PanelControl)
                AskFormToAdaptControl(PanelControl);
            return;
        }
        break;
    case WM_PRINT:
        PaintClient(reinterpret_cast<HDC>(Message.WParam));
        PaintBorder(reinterpret_cast<HDC>(Message.WParam));
        return;
    case WM_THEMECHANGED:
        SetPanelColor(clBtnFace);
        break;
    default:
        break;
    }
    TacMainWnd::WndProc(Message);
}

// ---------------------------------------------------------------------------------------------
// Status bars

TacStatusBarWnd::TacStatusBarWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                                 TsCommonData* ASkinData)
    : TacMainWnd(AHandle, Repaint, SectionOr(SkinSection, "STATUSBAR"), Manager, ASkinData) {
    StatusBarHost = DynCast<TStatusBar>(SkinData->HostControl);
}

std::string TacStatusBarWnd::PanelText(int Index) {
    if (SendMessageA(Handle, SB_GETPARTS, 0, 0) == 0)
        return std::string();
    if (SendMessageA(Handle, SB_ISSIMPLE, 0, 0))
        return ReadWindowText(Handle);
    if (!StatusBarHost)
        return std::string();
    TStatusPanels* Panels = StatusBarHost->Panels();
    if (Panels->Count() == 0)
        return StatusBarHost->SimpleText();
    // Parts beyond the panel list have no text of their own.
    return Index >= 0 && Index < Panels->Count() ? Panels->Items(Index)->Text() : std::string();
}

void TacStatusBarWnd::WriteText(const std::string& Text, const TRect& R, UINT Flags) {
    TCanvas* C = SkinData->CacheBitmap->Canvas();
    SelectWindowFont(C, SkinData->HostControl, Handle);
    C->Brush()->SetStyle(bsClear);
    WriteControlText(C, Text, IsWindowEnabled(Handle) != FALSE, false, SkinData, Flags | DT_VCENTER | DT_SINGLELINE, R);
}

void TacStatusBarWnd::PaintPanelContent(int Index, TRect R) {
    TsSkinManager* M = SkinData->GetSkinManager();
    TBitmap* Cache = SkinData->CacheBitmap;
    const bool Simple = SendMessageA(Handle, SB_ISSIMPLE, 0, 0) != 0;
    const int Parts = static_cast<int>(SendMessageA(Handle, SB_GETPARTS, 0, 0));
    const int PanelMask = M->FindMaskIndex(SkinData->SectionIndex, SkinData->SkinSection(), "STATUSPANELMASK");
    if (M->MaskIndexInRange(PanelMask)) {
        DrawSkinMask(Cache, Simple ? Rect(0, 0, Cache->Width(), Cache->Height()) : R, true,
                     MakeBackgroundSource(Cache, 0, 0), M->MaskList[PanelMask], 0, true);
    } else if (!Simple && Index < Parts - 1) {
        const int Divider = M->FindSectionIndex("DIVIDER");
        const int DividerMask = M->FindMaskIndex(Divider, "DIVIDER", "BORDERSMASK");
        if (M->SectionIndexInRange(Divider)) {
            TSize Cell{};
            if (M->MaskIndexInRange(DividerMask))
                M->GetMaskCellSize(DividerMask, Cell);
            const int W = std::max<int>(2, Cell.cx - 1), H = std::max(1, Cache->Height() - 2);
            const int X = R.Right - W;
            TOwned<TBitmap> D(NewBitmap24(W, H));
            BitBlt(D->Canvas()->Handle(), 0, 0, W, H, Cache->Canvas()->Handle(), X, 1, SRCCOPY);
            PaintSkinItem(Divider, "DIVIDER", MakeBackgroundSource(D.get(), 0, 0), -1, -1, M, D.get(), Point(0, 0),
                          Rect(0, 0, W, H), 0, true);
            BitBlt(Cache->Canvas()->Handle(), X, 1, W, H, D->Canvas()->Handle(), 0, 0, SRCCOPY);
        }
    }
    InflateRect(R, -1, -1);
    R.Bottom -= 1;
    R.Left += 2;
    R.Right -= 4;
    if (!StatusBarHost || R.IsEmpty())
        return;
    TCanvas* C = Cache->Canvas();
    SelectWindowFont(C, StatusBarHost, Handle);
    std::string Text;
    CutTextToWidth(C, PanelText(Index), R.Width(), Text);
    TStatusPanels* Panels = StatusBarHost->Panels();
    UINT Flags = Simple || Index >= Panels->Count() ? DT_LEFT
                                                    : AlignmentTextFlags(StatusBarHost, Panels->Items(Index)->Alignment());
    WriteText(Text, R, Flags);
}

void TacStatusBarWnd::PaintPanels() {
    if (SendMessageA(Handle, SB_ISSIMPLE, 0, 0)) {
        PaintPanelContent(0, Rect(0, 1, HookWndSize.cx - 1, HookWndSize.cy - 1));
        return;
    }
    const int Parts = static_cast<int>(SendMessageA(Handle, SB_GETPARTS, 0, 0));
    for (int I = 0; I < Parts; ++I) {
        RECT R{};
        SendMessageA(Handle, SB_GETRECT, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&R));
        InflateRect(&R, -1, -1);
        PaintPanelContent(I, TRect::From(R));
    }
}

void TacStatusBarWnd::PrepareCache() {
    TBitmap* Cache = SizedCacheOf(SkinData, HookWndSize);
    BackgroundSource Back;
    GetWindowParentBackgroundSource(Handle, Back);
    PaintControlSkin(SkinData, Back, true, true, 0, Cache, HookWndPos, Rect(0, 0, Cache->Width(), Cache->Height()));
    PaintPanels();
    SkinData->BackgroundStale = false;
}

void TacStatusBarWnd::PaintBorder(HDC DC) {
    if (!StatusBarHost)
        return;
    ReadGeometry();
    if (SkinData->BackgroundStale)
        PrepareCache();
    CopyCacheFrame(Handle, SkinData->CacheBitmap, StatusBarHost->BorderWidth(), DC);
}

void TacStatusBarWnd::PaintNow(HDC DC) {
    ReadGeometry();
    PrepareCache();
    CopyCacheTo(DC);
}

void TacStatusBarWnd::WndProc(TMessage& Message) {
    if (!HookSkinned()) {
        TacMainWnd::WndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_PAINT:
        ValidateWindow(true);
        return;
    case WM_ERASEBKGND:
        PaintNow(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 1;
        return;
    case WM_NCPAINT:
        if (!AnimationInProgress)
            PaintBorder(nullptr);
        return;
    case WM_PRINT:
        PaintNow(reinterpret_cast<HDC>(Message.WParam));
        return;
    default:
        break;
    }
    TacMainWnd::WndProc(Message);
    if (Message.Msg == WM_SIZE && !Unhooked)
        RedrawWindow(Handle, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE);
}
