#include "acSBUtilsCombo.h"

#include "StdCtrls.h"
#include "acntUtils.h"
#include "sDCUtils.h"
#include "sGraphUtils.h"
#include "sMaskDraw.h"
#include "sMessages.h"
#include "sPaintServices.h"
#include "sSectionPaint.h"
#include "sVclUtils.h"

#include <algorithm>
#include <vector>

namespace {

// The frame strips the combo hooks copy from the cache: what the control itself paints lies inside.
constexpr int ComboFrameWidth = 3;
constexpr int ListFrameWidth = 2;

void CopyFrame(HDC DC, TBitmap* Cache, int Width) {
    if (Cache && Cache->Width() > 0 && Cache->Height() > 0)
        CopyBorderStrips(DC, 0, 0, Width, Cache->Canvas()->Handle(), 0, 0, Cache->Width(), Cache->Height());
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The drop-down list

TacComboListWnd::TacComboListWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                                 TsCommonData* ASkinData, bool Simple)
    : TacEditWnd(AHandle, Repaint, SkinSection, Manager, ASkinData), SimpleList(Simple) {
    ListShowing = false;
    GetWindowRect(Handle, HookWndRect);
}

TacComboListWnd* TacComboListWnd::CreateEx(HWND AHandle, bool Simple, bool Repaint, const std::string& SkinSection,
                                           TsSkinManager* Manager, TsCommonData* ASkinData) {
    auto* Hook = Create<TacComboListWnd>(AHandle, Repaint, SkinSection, Manager, ASkinData, Simple);
    if (!Simple)
        SetWindowPos(AHandle, nullptr, 0, 0, Hook->HookWndRect.Width() + 1, Hook->HookWndRect.Height(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOCOPYBITS | SWP_FRAMECHANGED | SWP_NOOWNERZORDER |
                         SWP_NOSENDCHANGING);
    return Hook;
}

void TacComboListWnd::PrepareListCache() {
    ReadGeometry();
    if (SimpleList) {
        SendMessageA(Handle, SM_ALPHACMD, SkinCommandParam(SKIN_PREPARECACHE), 0);
        return;
    }
    SkinData->RefreshSkinIndexes();
    SetSkinParams();
    TBitmap* Cache = SizedCacheOf(SkinData, HookWndSize);
    TCanvas* C = Cache->Canvas();
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(EditColor);
    C->Pen()->SetColor(EditFrameColor);
    C->Rectangle(0, 0, Cache->Width(), Cache->Height());
    SkinData->BackgroundStale = false;
}

void TacComboListWnd::PaintFrame(HDC DC) {
    CopyFrame(DC, SkinData->CacheBitmap, ListFrameWidth);
    PaintScrollBars(Handle, 0, DC, -1);
}

void TacComboListWnd::RefillStripBelow() {
    HWND Box = GetParent(Handle);
    RECT B{}, L{};
    if (!Box || !GetWindowRect(Box, &B) || !GetWindowRect(Handle, &L))
        return;
    const int Top = L.bottom - B.top, Width = B.right - B.left, Height = B.bottom - L.bottom;
    if (Height <= 0 || Width <= 0)
        return;
    BackgroundSource Behind;
    GetWindowParentBackgroundSource(Box, Behind);
    HDC DC = GetWindowDC(Box);
    if (Behind.HasBitmap && Behind.Bmp) {
        BitBlt(DC, 0, Top, Width, Height, Behind.Bmp->Canvas()->Handle(), Behind.OffsetX, Behind.OffsetY + Top, SRCCOPY);
    } else {
        HBRUSH Brush = CreateSolidBrush(ColorToRGB(Behind.Color));
        RECT Strip{0, Top, Width, Top + Height};
        FillRect(DC, &Strip, Brush);
        DeleteObject(Brush);
    }
    ReleaseDC(Box, DC);
}

void TacComboListWnd::WndProc(TMessage& Message) {
    if (!HookSkinned()) {
        TacEditWnd::WndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_ERASEBKGND:
    case WM_HSCROLL:
    case WM_VSCROLL:
        PassOn(Message);
        return;
    case WM_NCCALCSIZE:
        WMNCCalcSize(Message);
        return;
    case WM_NCPAINT: {
        if (Busy)
            break;
        PrepareListCache();
        if (!InDialog)
            PaintHookCorners(SkinData, 0, this);
        HDC DC = GetWindowDC(Handle);
        PaintFrame(DC);
        ReleaseDC(Handle, DC);
        if (SimpleList)
            RefillStripBelow();
        return;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
        TMessage Hit{WM_NCHITTEST, 0, Message.LParam, 0};
        WMNCHitTest(Hit);
        if (Hit.Result == HTHSCROLL || Hit.Result == HTVSCROLL) {
            WMNCLButtonDown(Message);
            return;
        }
        break;
    }
    case 0x01AE:  // the list starts tracking the mouse
        ListShowing = true;
        break;
    case 0x01AF:  // and ends it
        ListShowing = false;
        SkinData->BackgroundStale = true;
        break;
    case WM_PRINT:
    case WM_PRINTCLIENT: {
        HDC DC = reinterpret_cast<HDC>(Message.WParam);
        if (!DC || !IsWindowVisible(Handle))
            break;
        PrepareListCache();
        PassOn(Message);
        if (Message.Msg == WM_PRINT && SendMessageA(Handle, LB_GETCOUNT, 0, 0) > 0) {
            if (BarInteraction.PressedBar < 0 && !ListShowing)
                CopyFrame(DC, SkinData->CacheBitmap, ComboFrameWidth);
            PaintScrollBars(Handle, 0, DC, -1);
        }
        return;
    }
    default:
        break;
    }
    TacEditWnd::WndProc(Message);
    if (Message.Msg == WM_WINDOWPOSCHANGED && !Unhooked)
        UpdateScrollInfo(true);
}

// ---------------------------------------------------------------------------------------------
// The combo box

TacComboBoxWnd::TacComboBoxWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                               TsCommonData* ASkinData)
    : TacEditWnd(AHandle, Repaint, SkinSection, Manager, ASkinData) {
    ButtonSkinData = Create<TsCommonData>(nullptr, false);
    ButtonSkinData->SetSkinManager(SkinManager);
    ButtonSkinData->SetSkinSection("COMBOBTN");
    ButtonSkinData->RefreshSkinIndexes();
}

TacComboBoxWnd::~TacComboBoxWnd() {
    FreeAndNil(ListHook);
    FreeAndNil(ButtonSkinData);
    if (ListBrush)
        DeleteObject(ListBrush);
    ListBrush = nullptr;
}

bool TacComboBoxWnd::IsSimple() const { return (WindowStyleOf(Handle) & 3) == CBS_SIMPLE; }

TRect TacComboBoxWnd::GetButtonRect() {
    RECT W{};
    GetWindowRect(Handle, &W);
    const int Width = W.right - W.left, Height = W.bottom - W.top;
    const int B = (WindowStyleOf(Handle) & 2) ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    const int Left = (GetWindowLongPtrA(Handle, GWL_EXSTYLE) & WS_EX_RTLREADING) ? 2 : Width - B - 2;
    return Rect(Left, 2, Left + B, Height - 2);
}

int TacComboBoxWnd::ButtonState() {
    if (!ListHandle) {
        COMBOBOXINFO Info{};
        Info.cbSize = sizeof(Info);
        if (GetComboBoxInfo(Handle, &Info))
            ListHandle = Info.hwndList;
    }
    if (ListHandle && IsWindowVisible(ListHandle))
        return 2;
    TsSkinManager* M = SkinData->GetSkinManager();
    return SkinData->IsHotState() || (M && M->HotWindow == Handle) ? 1 : 0;
}

int TacComboBoxWnd::ArrowGlyphHeight() {
    TsSkinManager* M = SkinData->GetSkinManager();
    if (!M || !M->MaskIndexInRange(M->CommonIndexes.ComboGlyph))
        return 0;
    const TsMaskData& Mask = M->MaskList[M->CommonIndexes.ComboGlyph];
    return Mask.Bmp ? Mask.Bmp->Height() / 2 : Mask.R.Height() / std::max(1, Mask.MaskType + 1);
}

void TacComboBoxWnd::PaintButton(HDC DC) {
    TRect B = GetButtonRect();
    TBitmap* Cache = SkinData->CacheBitmap;
    TsSkinManager* M = SkinData->GetSkinManager();
    if (B.IsEmpty() || !Cache || !M || !DC)
        return;
    TOwned<TBitmap> Button(NewBitmap24(B.Width(), B.Height()));
    BitBlt(Button->Canvas()->Handle(), 0, 0, B.Width(), B.Height(), Cache->Canvas()->Handle(), B.Left, B.Top, SRCCOPY);
    const int S = ButtonState();
    const TRect Whole = Rect(0, 0, B.Width(), B.Height());
    if (M->SectionIndexInRange(ButtonSkinData->SectionIndex))
        PaintSkinItem(ButtonSkinData->SectionIndex, "COMBOBTN", MakeBackgroundSource(Button.get(), 0, 0),
                      ButtonSkinData->HotTextureIndex, ButtonSkinData->TextureIndex, M, Button.get(), Point(0, 0), Whole,
                      S, true);
    if (M->MaskIndexInRange(M->CommonIndexes.ComboGlyph)) {
        const TsMaskData& Glyph = M->MaskList[M->CommonIndexes.ComboGlyph];
        const int GW = GetMaskImageWidth(Glyph);
        RECT W{};
        GetWindowRect(Handle, &W);
        DrawSkinGlyph(Button.get(), Point((B.Width() - GW) / 2, (W.bottom - W.top - ArrowGlyphHeight()) / 2 - B.Top), S, 1,
                      Glyph, MakeBackgroundSource(Button.get(), 0, 0));
    }
    BitBlt(DC, B.Left, B.Top, B.Width(), B.Height(), Button->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TacComboBoxWnd::PaintButtonNow() {
    if (!IsWindowVisible(Handle) || SkinData->IsUpdating())
        return;
    SkinData->BackgroundStale = true;
    SendMessageA(Handle, SM_ALPHACMD, SkinCommandParam(SKIN_PREPARECACHE), 0);
    HDC DC = GetWindowDC(Handle);
    PaintButton(DC);
    ReleaseDC(Handle, DC);
}

void TacComboBoxWnd::RepaintNow() {
    SkinData->BackgroundStale = true;
    if (IsWindowVisible(Handle))
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
}

void TacComboBoxWnd::PaintText() {
    TBitmap* Cache = SkinData->CacheBitmap;
    if (!Cache || Cache->Width() <= 0)
        return;
    TCanvas* C = Cache->Canvas();
    if (TControl* Host = SkinData->HostControl)
        C->Font()->Assign(Host->Font());
    else if (HFONT Font = reinterpret_cast<HFONT>(SendMessageA(Handle, WM_GETFONT, 0, 0)))
        C->Font()->SetHandle(Font);
    const TRect B = GetButtonRect();
    const int W = Cache->Width(), H = Cache->Height();
    TRect R = (GetWindowLongPtrA(Handle, GWL_EXSTYLE) & WS_EX_RTLREADING) ? Rect(B.Right, 3, W - 3, H - 3)
                                                                           : Rect(3, 3, B.Left, H - 3);
    std::string Text;
    LRESULT Sel = SendMessageA(Handle, CB_GETCURSEL, 0, 0);
    if (Sel >= 0) {
        LRESULT Len = SendMessageA(Handle, CB_GETLBTEXTLEN, static_cast<WPARAM>(Sel), 0);
        if (Len > 0) {
            std::vector<char> Buffer(static_cast<std::size_t>(Len) + 1);
            SendMessageA(Handle, CB_GETLBTEXT, static_cast<WPARAM>(Sel), reinterpret_cast<LPARAM>(Buffer.data()));
            Text = Buffer.data();
        }
    } else {
        Text = ReadWindowText(Handle);
    }
    const bool FocusedList = (WindowStyleOf(Handle) & 3) == CBS_DROPDOWNLIST && GetFocus() == Handle;
    C->Brush()->SetStyle(bsClear);
    if (FocusedList) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(clHighlight);
        C->FillRect(R);
        DrawFocusRect(C->Handle(), R);
        C->Brush()->SetStyle(bsClear);
        C->Font()->SetColor(clHighlightText);
        TRect T = R;
        OffsetRect(T, 1, 0);
        DrawTextOnDC(C->Handle(), Text, T, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        return;
    }
    WriteControlText(C, Text, IsWindowEnabled(Handle) != FALSE, false, SkinData, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX,
                     R);
}

void TacComboBoxWnd::PrepareSimpleCache() {
    ReadGeometry();
    const int H = static_cast<int>(SendMessageA(Handle, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0)) + 8;
    TBitmap* Cache = SizedCacheOf(SkinData, TSize{HookWndSize.cx, H});
    TColor BorderColor = DefaultManager ? DefaultManager->SkinData->BorderColor : TColor(0xFF00FF);
    if (InDialog && BorderColor != TColor(0xFF00FF)) {
        TCanvas* C = Cache->Canvas();
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(clWindow);
        C->FillRect(Rect(0, 0, Cache->Width(), H));
        C->Brush()->SetColor(BorderColor);
        C->FrameRect(Rect(0, 0, Cache->Width(), H));
    } else {
        BackgroundSource Background;
        GetWindowParentBackgroundSource(Handle, Background);
        PaintControlSkin(SkinData, Background, false, true, 1, Cache, HookWndPos, Rect(0, 0, Cache->Width(), H));
    }
    SkinData->BackgroundStale = false;
}

void TacComboBoxWnd::Print(TMessage& Message) {
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    ReadGeometry();
    SkinData->SetInUpdate(true);
    SetSkinParams();
    SkinData->SetInUpdate(false);
    if (Unhooked || !DC)
        return;
    SkinData->BackgroundStale = true;
    if (IsSimple())
        PrepareSimpleCache();
    else
        PaintBorderCache(SkinData, Handle, InDialog);
    PaintText();
    PaintHookCorners(SkinData, 0, this);
    CopyCacheTo(DC);
    PaintButton(DC);
}

void TacComboBoxWnd::WndProc(TMessage& Message) {
    if (!HookSkinned()) {
        EditWndProc(Message);
        return;
    }
    TsCommonData& D = *SkinData;
    const bool DropDown = (WindowStyleOf(Handle) & 2) != 0;
    switch (Message.Msg) {
    case SM_ALPHACMD:
        switch (SkinCommandOf(Message.WParam)) {
        case SKIN_ENDUPDATE:
            RepaintNow();
            RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            break;
        case SKIN_HOTWINDOWSET:
        case SKIN_HOTWINDOWCLEARED:
            EditWndProc(Message);
            PaintButtonNow();
            return;
        default:
            break;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_LBUTTONUP:
        EditWndProc(Message);
        PaintButtonNow();
        return;
    case WM_PAINT: {
        if (!SkinParamsApplied)
            SetSkinParams();
        ReadGeometry();
        HDC Given = reinterpret_cast<HDC>(Message.WParam);
        PassOn(Message);
        if (D.IsUpdating())
            return;
        HDC DC = Given ? Given : GetWindowDC(Handle);
        if (IsSimple()) {
            PrepareSimpleCache();
            CopyFrame(DC, D.CacheBitmap, ComboFrameWidth);
        } else {
            D.BackgroundStale = true;
            SendMessageA(Handle, SM_ALPHACMD, SkinCommandParam(SKIN_PREPARECACHE), 0);
            CopyFrame(DC, D.CacheBitmap, ComboFrameWidth);
            PaintButton(DC);
        }
        if (!Given)
            ReleaseDC(Handle, DC);
        return;
    }
    case WM_ERASEBKGND:
        return;
    case WM_DRAWITEM:
        PassOn(Message);
        // Invalidated only: painting again from inside an item's drawing would draw the item anew.
        D.BackgroundStale = true;
        InvalidateRect(Handle, nullptr, FALSE);
        return;
    case WM_NCCALCSIZE:
        EditWndProc(Message);
        LeftEdge = ComboFrameWidth;
        return;
    case WM_COMMAND:
    case CN_COMMAND:
        if (DropDown && HIWORD(Message.WParam) == CBN_DROPDOWN)
            ComboDroppedDown = true;
        if (DropDown && HIWORD(Message.WParam) == CBN_CLOSEUP) {
            ComboDroppedDown = false;
            if (Message.Msg == CN_COMMAND) {
                D.BackgroundStale = true;
                PaintButtonNow();
            }
        }
        break;
    case WM_CTLCOLORLISTBOX: {
        EditWndProc(Message);
        if (Unhooked)
            return;
        if (!ListHook) {
            ListHandle = reinterpret_cast<HWND>(Message.LParam);
            const bool Saved = CreatingDialogWrappers;
            if (!D.HostControl)
                CreatingDialogWrappers = InDialog;
            ListHook = TacComboListWnd::CreateEx(ListHandle, IsSimple(), SendMessageA(Handle, CB_GETCOUNT, 0, 0) > 0,
                                                 "EDIT", SkinManager, nullptr);
            CreatingDialogWrappers = Saved;
        }
        int Index = -1;
        SendMessageA(ListHandle, SM_ALPHACMD, SkinCommandParam(SKIN_GETSECTIONINDEX), reinterpret_cast<LPARAM>(&Index));
        TsSkinManager* M = D.GetSkinManager();
        if (M && M->SectionIndexInRange(Index) && !InDialog) {
            const TsGeneralData& S = M->SectionList[Index];
            HDC DC = reinterpret_cast<HDC>(Message.WParam);
            if (S.FontColor[0] >= 0)
                SetTextColor(DC, ColorToRGB(S.FontColor[0]));
            SetBkColor(DC, ColorToRGB(S.Color));
            if (!ListBrush || ListBrushColor != S.Color) {
                if (ListBrush)
                    DeleteObject(ListBrush);
                ListBrush = CreateSolidBrush(ColorToRGB(S.Color));
                ListBrushColor = S.Color;
            }
            Message.Result = reinterpret_cast<LRESULT>(ListBrush);
        }
        return;
    }
    case WM_PRINT:
        Print(Message);
        return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        EditWndProc(Message);
        D.MouseOver = Message.Msg == CM_MOUSEENTER;
        RepaintNow();
        return;
    default:
        break;
    }
    EditWndProc(Message);
}

// ---------------------------------------------------------------------------------------------
// Combo boxes with a list-box child control

TacWWComboBoxWnd::~TacWWComboBoxWnd() {
    FreeAndNil(ListBoxHook);
    FreeAndNil(ListBoxSkinData);
}

TacWWComboBoxWnd* TacWWComboBoxWnd::CreateEx(TWinControl* Box, bool Repaint, const std::string& SkinSection,
                                             TsSkinManager* Manager, TsCommonData* ASkinData) {
    return Box && Box->HandleAllocated()
               ? Create<TacWWComboBoxWnd>(Box->Handle(), Repaint, SkinSection, Manager, ASkinData)
               : nullptr;
}

bool TacWWComboBoxWnd::HasButton() {
    TControl* Host = SkinData->HostControl;
    return !Host || !PropertyExists(Host, "ShowButton") || GetOrdPropByName(Host, "ShowButton") != 0;
}

TRect TacWWComboBoxWnd::GetButtonRect() {
    RECT W{};
    GetWindowRect(Handle, &W);
    const int B = HasButton() ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    const int Left = (GetWindowLongPtrA(Handle, GWL_EXSTYLE) & WS_EX_RTLREADING) ? 2 : W.right - W.left - B - 2;
    return Rect(Left, 2, Left + B, W.bottom - W.top - 2);
}

void TacWWComboBoxWnd::WndProc(TMessage& Message) {
    if (Message.Msg == WM_CTLCOLORLISTBOX && HookSkinned()) {
        PassOn(Message);
        return;
    }
    TacComboBoxWnd::WndProc(Message);
    auto* Host = DynCast<TWinControl>(SkinData ? SkinData->HostControl : nullptr);
    if (Unhooked || !Host || Message.Msg != WM_PARENTNOTIFY || LOWORD(Message.WParam) != WM_CREATE)
        return;
    for (int I = 0; I < Host->ControlCount(); ++I) {
        auto* List = DynCast<TCustomListBox>(Host->Controls(I));
        if (!List)
            continue;
        if (List != ListBox) {
            FreeAndNil(ListBoxHook);
            FreeAndNil(ListBoxSkinData);
            ListBox = List;
            ListBoxSkinData = Create<TsCommonData>(List, true);
            ListBoxSkinData->SetSkinSection("EDIT");
        }
        RefreshEditWnd(ListBoxSkinData, ListBoxHook);
    }
}
