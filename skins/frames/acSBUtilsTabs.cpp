#include "acSBUtilsTabs.h"

#include "sDCUtils.h"
#include "sGraphUtils.h"
#include "sMessages.h"
#include "sPaintServices.h"
#include "sSectionPaint.h"
#include "sVclUtils.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

int PositionOfStyle(LONG_PTR Style) {
    if (Style & TCS_VERTICAL)
        return (Style & TCS_RIGHT) ? 3 : 2;
    return (Style & TCS_BOTTOM) ? 1 : 0;
}

const char* const TabSections[4] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};

// A copy of the canvas's font turned for vertical tabs (Escapement in tenths of a degree).
HFONT RotatedFontOf(TCanvas* C, int Escapement) {
    LOGFONTA Lf{};
    GetObjectA(C->Font()->Handle(), sizeof(Lf), &Lf);
    Lf.lfEscapement = Lf.lfOrientation = Escapement;
    Lf.lfWeight = FW_NORMAL;
    Lf.lfWidth = 0;
    Lf.lfOutPrecision = Lf.lfClipPrecision = Lf.lfQuality = 0;
    if (std::strcmp(Lf.lfFaceName, "MS Sans Serif") == 0)
        std::strcpy(Lf.lfFaceName, "Arial");
    return CreateFontIndirectA(&Lf);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Tab controls

TacTabControlWnd::TacTabControlWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                                   TsCommonData* ASkinData)
    : TacMainWnd(AHandle, Repaint, SkinSection.empty() ? std::string("PAGECONTROL") : SkinSection, Manager, ASkinData) {}

TacTabControlWnd::~TacTabControlWnd() {
    DetachFromWindow();
    FreeAndNil(SpinHook);
}

int TacTabControlWnd::TabCount() { return static_cast<int>(SendMessageA(Handle, TCM_GETITEMCOUNT, 0, 0)); }
int TacTabControlWnd::ActiveTab() { return static_cast<int>(SendMessageA(Handle, TCM_GETCURSEL, 0, 0)); }
int TacTabControlWnd::TabPosition() { return PositionOfStyle(WindowStyleOf(Handle)); }

int TacTabControlWnd::TabStyle() {
    LONG_PTR S = WindowStyleOf(Handle);
    return (S & TCS_FLATBUTTONS) ? 2 : (S & TCS_BUTTONS) ? 1 : 0;
}

TRect TacTabControlWnd::GetDisplayRect() {
    RECT R{0, 0, HookWndSize.cx, HookWndSize.cy};
    SendMessageA(Handle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&R));
    R.top += 2;
    return TRect::From(R);
}

TRect TacTabControlWnd::SplitAtTabs(bool TabsSide) {
    TRect R = Rect(0, 0, HookWndSize.cx, HookWndSize.cy);
    if (TabCount() <= 0)
        return R;
    TRect D = GetDisplayRect();
    switch (TabPosition()) {
    case 0: (TabsSide ? R.Bottom : R.Top) = D.Top - 4; break;
    case 1: (TabsSide ? R.Top : R.Bottom) = D.Bottom + 1; break;
    case 2: (TabsSide ? R.Right : R.Left) = D.Left - 1; break;
    default: (TabsSide ? R.Left : R.Right) = D.Right + 1; break;
    }
    return R;
}

TRect TacTabControlWnd::GetItemRect(int Index) {
    RECT R{};
    SendMessageA(Handle, TCM_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&R));
    return TRect::From(R);
}

int TacTabControlWnd::TabRow(int Index) {
    const int Rows = static_cast<int>(SendMessageA(Handle, TCM_GETROWCOUNT, 0, 0));
    if (Rows < 2)
        return 1;
    TRect R = GetItemRect(Index), A = GetTabsArea();
    const int W = std::max<int>(1, R.Width()), H = std::max<int>(1, R.Height());
    switch (TabPosition()) {
    case 0: return (R.Bottom + H / 2) / H;
    case 2: return (R.Right + W / 2) / W;
    case 3: return Rows - (R.Right + W / 2 - A.Left) / W + 1;
    default: return Rows - (R.Bottom + H / 2 - A.Top) / H + 1;
    }
}

TRect TacTabControlWnd::GetTabRect(int Index, bool Active) {
    if (Index < 0 || Index >= TabCount())
        return TRect{};
    TRect R = GetItemRect(Index);
    if (TabStyle() != 0 || R.Left == R.Right)
        return R;
    // Left, top, right, bottom moves by position, for the active and for an inactive tab.
    static const int Moves[4][2][4] = {{{-2, -2, 2, 2}, {0, 0, -1, 4}},
                                       {{-2, -3, 2, 1}, {0, -2, -1, 0}},
                                       {{-1, -2, 3, 1}, {0, -1, 3, 0}},
                                       {{-3, -2, 1, 2}, {-2, -1, -1, 0}}};
    const int* M = Moves[TabPosition()][Active ? 0 : 1];
    return Rect(R.Left + M[0], R.Top + M[1], R.Right + M[2], R.Bottom + M[3]);
}

void TacTabControlWnd::RefreshUpDown() {
    if (!SkinData->IsSkinned(false))
        return;
    FreeAndNil(SpinHook);
    if (HWND Spin = FindWindowExA(Handle, nullptr, "msctls_updown32", nullptr))
        SpinHook = Create<TacSpinWnd>(Spin, false, "UPDOWNBTN", SkinManager, nullptr);
}

void TacTabControlWnd::PaintTab(int Index, int State, TPoint Offset, TBitmap* Target) {
    TsSkinManager* M = SkinData->GetSkinManager();
    if (Index < 0 || !M || !Target)
        return;
    TCanvas* TC = Target->Canvas();
    HFONT Font = reinterpret_cast<HFONT>(SendMessageA(Handle, WM_GETFONT, 0, 0));
    HGDIOBJ OldFont = Font ? SelectObject(TC->Handle(), Font) : nullptr;
    const bool ActiveOne = State == 2 && Index == ActiveTab();
    TRect RT = GetTabRect(Index, ActiveOne);
    char Text[4096] = {};
    TCITEMA Item{};
    Item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_STATE;
    Item.pszText = Text;
    Item.cchTextMax = sizeof(Text);
    SendMessageA(Handle, TCM_GETITEMA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&Item));
    const int Pos = TabPosition();
    int Section = -1, Mask = -1;
    std::string SectionName;
    // The skin's TABTOP section may have any index, 0 included.
    if (M->SectionIndexInRange(M->CommonIndexes.Tab[0])) {
        switch (TabStyle()) {
        case 1: SectionName = "BUTTON"; break;
        case 2: SectionName = "TOOLBUTTON"; break;
        default: SectionName = TabSections[Pos]; break;
        }
        if (TabStyle() == 0) {
            Section = M->CommonIndexes.Tab[Pos];
            Mask = M->CommonIndexes.TabBorder[Pos];
        } else {
            Section = M->FindSectionIndex(SectionName);
            Mask = M->FindMaskIndexBySection(SectionName, "BORDERSMASK");
        }
    }
    TBitmap* Cache = SkinData->CacheBitmap;
    if (M->MaskIndexInRange(Mask) && !RT.IsEmpty()) {
        TOwned<TBitmap> T(NewBitmap24(RT.Width(), RT.Height()));
        if (ActiveOne) {
            BitBlt(T->Canvas()->Handle(), 0, 0, RT.Width(), RT.Height(), Cache->Canvas()->Handle(), RT.Left, RT.Top, SRCCOPY);
            PaintSkinItem(Section, SectionName, MakeBackgroundSource(T.get(), 0, 0), -1, -1, M, T.get(), Point(0, 0),
                          Rect(0, 0, RT.Width(), RT.Height()), 2, true);
        } else {
            PaintSkinItem(Section, SectionName, MakeBackgroundSource(Cache, 0, 0), -1, -1, M, T.get(), RT.TopLeft(),
                          Rect(0, 0, RT.Width(), RT.Height()), State, true);
        }
        const int Saved = SaveDC(TC->Handle());
        if (!ActiveOne && (Pos == 0 || Pos == 2)) {
            TRect P = GetPageRect();
            ExcludeClipRect(TC->Handle(), P.Left + Offset.X, P.Top + Offset.Y, P.Right + Offset.X, P.Bottom + Offset.Y);
        }
        BitBlt(TC->Handle(), RT.Left + Offset.X, RT.Top + Offset.Y, RT.Width(), RT.Height(), T->Canvas()->Handle(), 0, 0,
               SRCCOPY);
        RestoreDC(TC->Handle(), Saved);
    }
    // Caption and icon.
    OffsetRect(RT, Offset.X, Offset.Y);
    HIMAGELIST Images = reinterpret_cast<HIMAGELIST>(SendMessageA(Handle, TCM_GETIMAGELIST, 0, 0));
    if (TControl* Host = SkinData->HostControl)
        TC->Font()->Assign(Host->Font());
    else if (Font)
        TC->Font()->SetHandle(Font);
    int IW = 0, IH = 0;
    const bool Icon = Images && Item.iImage >= 0 && ImageList_GetIconSize(Images, &IW, &IH);
    const std::string Caption = Text;
    const int SectionForText = M->SectionIndexInRange(Section) ? Section : SkinData->SectionIndex;
    if (Pos < 2) {
        if (Icon) {
            const int X = RT.Left + (RT.Width() - (CanvasTextWidth(TC, Caption) + IW + 8)) / 2;
            ImageList_Draw(Images, Item.iImage, TC->Handle(), X, RT.Top + (RT.Height() - IH) / 2, ILD_NORMAL);
            RT.Left += IW;
        }
        TC->Brush()->SetStyle(bsClear);
        WriteSectionText(TC, Caption, true, M, State != 0, SectionForText, DT_CENTER | DT_VCENTER | DT_SINGLELINE, RT);
    } else {
        TC->Brush()->SetStyle(bsClear);
        HFONT Rotated = RotatedFontOf(TC, Pos == 2 ? -2700 : -900);
        HGDIOBJ Prev = SelectObject(TC->Handle(), Rotated);
        if (M->SectionIndexInRange(SectionForText)) {
            const TsGeneralData& S = M->SectionList[SectionForText];
            SetTextColor(TC->Handle(), ColorToRGB(State != 0 ? S.HotFontColor[0] : S.FontColor[0]));
        }
        SetBkMode(TC->Handle(), TRANSPARENT);
        SIZE Ext{};
        GetTextExtentPoint32A(TC->Handle(), Caption.c_str(), static_cast<int>(Caption.size()), &Ext);
        const int TW = Ext.cx, TH = Ext.cy;
        if (Pos == 3)
            OffsetRect(RT, -2, -1);
        int X, Y;
        if (Icon) {
            if (ActiveOne)
                OffsetRect(RT, 2, 0);
            const int IY = Pos == 2 ? RT.Bottom - (RT.Height() - (IH + TW + 4)) / 2 - IH
                                    : RT.Top + (RT.Height() - (IH + TW + 4)) / 2;
            ImageList_Draw(Images, Item.iImage, TC->Handle(), RT.Left + (RT.Width() - IW) / 2, IY, ILD_TRANSPARENT);
            X = RT.Left + (RT.Width() - TH) / 2 + (Pos == 3 ? TH : 0);
            Y = Pos == 2 ? IY - 4 : IY + IH + 4;
        } else {
            X = RT.Left + (RT.Width() - TH) / 2 + (Pos == 3 ? TH : 0);
            Y = Pos == 2 ? RT.Bottom - (RT.Height() - TW) / 2 : RT.Top + (RT.Height() - TW) / 2;
        }
        RECT Clip = RT;
        ExtTextOutA(TC->Handle(), X, Y, ETO_CLIPPED, &Clip, Caption.c_str(), static_cast<UINT>(Caption.size()), nullptr);
        SelectObject(TC->Handle(), Prev);
        DeleteObject(Rotated);
    }
    if (OldFont)
        SelectObject(TC->Handle(), OldFont);
    TC->Refresh();
}

void TacTabControlWnd::PaintTabNow(int Index, int State, HDC DC) {
    if (Index < 0)
        return;
    TRect R = GetTabRect(Index, State == 2);
    if (R.IsEmpty())
        return;
    TOwned<TBitmap> B(NewBitmap24(R.Width(), R.Height()));
    PaintTab(Index, State, Point(-R.Left, -R.Top), B.get());
    BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), B->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TacTabControlWnd::PaintInactiveTabs(const BackgroundSource& Background) {
    TBitmap* Cache = SkinData->CacheBitmap;
    TRect A = GetTabsArea();
    if (Background.Bmp) {
        const int X = Background.OffsetX + HookWndPos.X + A.Left, Y = Background.OffsetY + HookWndPos.Y + A.Top;
        BitBlt(Cache->Canvas()->Handle(), A.Left, A.Top, std::min<int>(A.Width(), Background.Bmp->Width() - X),
               std::min<int>(A.Height(), Background.Bmp->Height() - Y), Background.Bmp->Canvas()->Handle(), X, Y, SRCCOPY);
    } else {
        FillRectSolid(Cache->Canvas()->Handle(), A, ColorToRGB(Background.Color));
    }
    const int Rows = std::max<int>(1, static_cast<int>(SendMessageA(Handle, TCM_GETROWCOUNT, 0, 0)));
    const int Active = ActiveTab(), Count = TabCount();
    for (int Row = 1; Row <= Rows; ++Row)
        for (int I = 0; I < Count; ++I)
            if (I != Active && TabRow(I) == Row)
                PaintTab(I, 0, Point(0, 0), Cache);
}

void TacTabControlWnd::PaintNow(TMessage& Message) {
    ReadGeometry();
    TsCommonData& D = *SkinData;
    D.InUpdate = D.IsUpdating();
    TsSkinManager* M = D.GetSkinManager();
    if (D.InUpdate || !M)
        return;
    HDC Given = Message.LParam == 1 || AnimationInProgress ? reinterpret_cast<HDC>(Message.WParam) : nullptr;
    HDC DC = Given ? Given : GetDC(Handle);
    const int Saved = SaveDC(DC);
    D.BackgroundStale = true;
    const int Tabs = TabCount();
    std::string S = D.SkinSection();
    if (Tabs <= 0)
        S = "CHECKBOX";
    else if (S == "PAGECONTROL")
        S = std::array<const char*, 4>{"PAGECONTROL", "PAGECONTROLBOTTOM", "PAGECONTROLLEFT", "PAGECONTROLRIGHT"}[TabPosition()];
    D.SectionIndex = M->FindSectionIndex(S);
    BackgroundSource Background;
    GetWindowParentBackgroundSource(Handle, Background);
    D.PrepareCacheBitmap();
    TBitmap* Cache = D.CacheBitmap;
    if (Cache->Width() != HookWndSize.cx || Cache->Height() != HookWndSize.cy)
        Cache->SetSize(HookWndSize.cx, HookWndSize.cy);
    if (Tabs > 0)
        PaintInactiveTabs(Background);
    PaintSkinItem(D.SectionIndex, S, Background, -1, -1, M, Cache, HookWndPos, GetPageRect(), 0, true);
    D.BackgroundStale = false;
    const int Active = ActiveTab();
    if (Tabs > 0 && Active >= 0) {
        TRect R = GetTabRect(Active, true);
        ExcludeClipRect(DC, R.Left, R.Top, R.Right, R.Bottom);
        BitBlt(DC, 0, 0, Cache->Width(), Cache->Height(), Cache->Canvas()->Handle(), 0, 0, SRCCOPY);
        SelectClipRgn(DC, nullptr);
        RestoreDC(DC, Saved);
        PaintTabNow(Active, 2, DC);
    } else {
        BitBlt(DC, 0, 0, Cache->Width(), Cache->Height(), Cache->Canvas()->Handle(), 0, 0, SRCCOPY);
        RestoreDC(DC, Saved);
    }
    if (auto* Host = DynCast<TWinControl>(D.HostControl))
        PaintGraphicChildren(DC, Host, Point(0, 0));
    if (!Given)
        ReleaseDC(Handle, DC);
}

void TacTabControlWnd::WndProc(TMessage& Message) {
    if (Unhooked || !SkinData) {
        TacMainWnd::WndProc(Message);
        return;
    }
    TsCommonData& D = *SkinData;
    const bool Skinned = HookSkinned();
    const bool Own = Message.LParam == reinterpret_cast<LPARAM>(SkinManager);
    if (Message.Msg == SM_ALPHACMD) {
        switch (SkinCommandOf(Message.WParam)) {
        case SKIN_LOADED:
            if (Own)
                HandleCommonMessage(Message, SkinData);
            PassCommandToChildren(D.HostControl, Handle, Message);
            return;
        case SKIN_REMOVED:
            if (Own) {
                HandleCommonMessage(Message, SkinData);
                RefreshUpDown();
                PassCommandToChildren(D.HostControl, Handle, Message);
                InvalidateRect(Handle, nullptr, TRUE);
                RedrawWindow(Handle, nullptr, nullptr,
                             RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW |
                                 RDW_ERASENOW | RDW_FRAME);
            } else {
                PassCommandToChildren(D.HostControl, Handle, Message);
            }
            return;
        case SKIN_REFRESH:
            if (Own) {
                HandleCommonMessage(Message, SkinData);
                InvalidateRect(Handle, nullptr, TRUE);
                RefreshUpDown();
            }
            PassCommandToChildren(D.HostControl, Handle, Message);
            return;
        case SKIN_ENDUPDATE:
            if (!Skinned)
                break;
            D.SetInUpdate(false);
            InvalidateRect(Handle, nullptr, TRUE);
            return;
        case SKIN_ISSKINNED:
            Message.Result = 1;
            return;
        case SKIN_GETSTALE:
            if (!Skinned)
                break;
            Message.Result = D.InUpdate ? 1 : 0;
            return;
        case SKIN_GETMANAGER:
            Message.Result = reinterpret_cast<LRESULT>(SkinManager);
            return;
        case SKIN_GETBACKGROUND:
            if (!Skinned)
                break;
            HandleCommonMessage(Message, SkinData);
            return;
        default:
            break;
        }
    } else if (Skinned) {
        switch (Message.Msg) {
        case WM_PAINT:
            ValidateWindow(true);
            return;
        case WM_ERASEBKGND:
            if (!IsWindowVisible(Handle))
                break;
            if (!AnimationInProgress) {
                TMessage Paint{WM_PRINT, Message.WParam, 1, 0};
                PaintNow(Paint);
            }
            if (!SpinHook)
                RefreshUpDown();
            Message.Result = 0;
            return;
        case WM_NCPAINT:
            return;
        case WM_PRINT:
            RefreshUpDown();
            Message.LParam = 1;
            PaintNow(Message);
            return;
        default:
            break;
        }
    }
    const TSize Before = HookWndSize;
    TacMainWnd::WndProc(Message);
    if (Unhooked || !Skinned)
        return;
    switch (Message.Msg) {
    case WM_SIZE: {
        RefreshUpDown();
        RECT W{};
        GetWindowRect(Handle, &W);
        if (W.right - W.left < Before.cx || W.bottom - W.top < Before.cy)
            RedrawWindow(Handle, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_NOINTERNALPAINT | RDW_NOERASE | RDW_NOCHILDREN | RDW_FRAME);
        break;
    }
    case TCM_SETCURSEL:
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
        break;
    case CM_CONTROLLISTCHANGE:
        RefreshUpDown();
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Page controls

namespace {
struct THookPagesArgs {
    HWND PageControl;
};

BOOL CALLBACK HookPageWindow(HWND Wnd, LPARAM LParam) {
    auto* Args = reinterpret_cast<THookPagesArgs*>(LParam);
    if (GetParent(Wnd) != Args->PageControl)
        return TRUE;
    auto* Manager = reinterpret_cast<TsSkinManager*>(
        SendMessageA(Args->PageControl, SM_ALPHACMD, SkinCommandParam(SKIN_GETMANAGER), 0));
    if (!Manager || AnswersSkinCommand(Wnd, SKIN_ISSKINNED))
        return TRUE;
    if (!PageHookList)
        PageHookList = new std::vector<TacMainWnd*>();
    PageHookList->push_back(Create<TacPageWnd>(Wnd, false, "CHECKBOX", Manager, nullptr));
    return TRUE;
}
}  // namespace

TacPageControlWnd::TacPageControlWnd(HWND AHandle, bool Repaint, const std::string& SkinSection,
                                     TsSkinManager* Manager, TsCommonData* ASkinData)
    : TacTabControlWnd(AHandle, Repaint, SkinSection, Manager, ASkinData) {
    HookPages();
}

void TacPageControlWnd::HookPages() {
    THookPagesArgs Args{Handle};
    EnumChildWindows(Handle, &HookPageWindow, reinterpret_cast<LPARAM>(&Args));
}

void TacPageControlWnd::WndProc(TMessage& Message) {
    if (HookSkinned()) {
        switch (Message.Msg) {
        case WM_ERASEBKGND:
            if (!IsWindowVisible(Handle))
                break;
            if (!AnimationInProgress) {
                TMessage Paint{WM_PRINT, Message.WParam, 1, 0};
                PaintNow(Paint);
            }
            Message.Result = 1;
            return;
        case WM_NCPAINT:
            HookPages();
            return;
        case WM_PARENTNOTIFY:
            if (LOWORD(Message.WParam) == WM_CREATE || LOWORD(Message.WParam) == WM_DESTROY)
                HookPages();
            break;
        case TCM_SETCURSEL:
            if (SkinData->HostControl)
                AskFormToAdaptControl(SkinData->HostControl);
            break;
        default:
            break;
        }
    }
    TabWndProc(Message);
}

// ---------------------------------------------------------------------------------------------
// Pages

TacPageWnd::TacPageWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                       TsCommonData* ASkinData)
    : TacMainWnd(AHandle, Repaint, SkinSection, Manager, ASkinData) {
    ReadGeometry();
}

int TacPageWnd::TabPosition() { return PositionOfStyle(WindowStyleOf(GetParent(Handle))); }

void TacPageWnd::PaintBackground(HDC DC) {
    ReadGeometry();
    if (!DC)
        return;
    ParentBackgroundInfo Info;
    QueryWindowBackground(Info, HookParent, false);
    const int W = HookWndSize.cx, H = HookWndSize.cy;
    if (Info.Kind == 2 && Info.Bmp) {
        BitBlt(DC, 0, 0, W, H, Info.Bmp->Canvas()->Handle(), HookWndPos.X + Info.X, HookWndPos.Y + Info.Y, SRCCOPY);
        return;
    }
    FillRectSolid(DC, Rect(0, 0, W, H), ColorToRGB(Info.Color));
    if (!Info.Bmp)
        return;
    HDC Src = Info.Bmp->Canvas()->Handle();
    const int X = HookWndPos.X, Y = HookWndPos.Y;
    switch (TabPosition()) {
    case 0: BitBlt(DC, 0, 0, W, 3, Src, X, Y, SRCCOPY); break;
    case 1: BitBlt(DC, 0, H - 3, W, 3, Src, X, Y + H - 3, SRCCOPY); break;
    case 2: BitBlt(DC, 0, 0, 3, H, Src, X, Y, SRCCOPY); break;
    default: BitBlt(DC, W - 3, 0, 3, H, Src, X + W - 3, Y, SRCCOPY); break;
    }
}

void TacPageWnd::WndProc(TMessage& Message) {
    if (Unhooked || !SkinData) {
        TacMainWnd::WndProc(Message);
        return;
    }
    TsCommonData& D = *SkinData;
    const bool Own = Message.LParam == reinterpret_cast<LPARAM>(SkinManager);
    if (Message.Msg == SM_ALPHACMD) {
        switch (SkinCommandOf(Message.WParam)) {
        case SKIN_LOADED:
            PassCommandToChildren(D.HostControl, Handle, Message);
            if (Own)
                HandleCommonMessage(Message, SkinData);
            return;
        case SKIN_REMOVED:
        case SKIN_REFRESH:
            if (Own) {
                HandleCommonMessage(Message, SkinData);
                InvalidateRect(Handle, nullptr, TRUE);
            }
            PassCommandToChildren(D.HostControl, Handle, Message);
            if (SkinCommandOf(Message.WParam) == SKIN_REMOVED)
                break;
            return;
        case SKIN_ENDUPDATE:
            if (!D.IsUpdating())
                break;
            D.SetInUpdate(false);
            InvalidateRect(Handle, nullptr, TRUE);
            return;
        case SKIN_ISSKINNED:
            Message.Result = 1;
            return;
        case SKIN_GETSTALE:
            Message.Result = D.InUpdate ? 1 : 0;
            return;
        case SKIN_GETBACKGROUND: {
            // The page answers for its page control, at its own place in it.
            auto& Info = *reinterpret_cast<ParentBackgroundInfo*>(Message.LParam);
            ReadGeometry();
            QueryWindowBackground(Info, GetParent(Handle), Info.PaintNow);
            Info.X += HookWndPos.X;
            Info.Y += HookWndPos.Y;
            return;
        }
        default:
            break;
        }
    } else if (HookSkinned()) {
        switch (Message.Msg) {
        case WM_ERASEBKGND:
            if (!IsWindowVisible(Handle))
                break;
            PaintBackground(reinterpret_cast<HDC>(Message.WParam));
            Message.Result = 1;
            return;
        case WM_NCPAINT:
            return;
        case WM_PRINT:
            PaintBackground(reinterpret_cast<HDC>(Message.WParam));
            SendMessageA(Handle, WM_PAINT, Message.WParam, Message.LParam);
            return;
        default:
            break;
        }
    }
    // The base gives the window back at WM_DESTROY already; WM_NCDESTROY no longer reaches the hook.
    const bool Destroyed = Message.Msg == WM_DESTROY || Message.Msg == WM_NCDESTROY;
    TacMainWnd::WndProc(Message);
    if (Message.Msg == WM_PARENTNOTIFY && LOWORD(Message.WParam) == WM_CREATE)
        AskTopWindowToAdapt(Handle);
    if (Destroyed && PageHookList) {
        // A page that goes takes its hook with it: the list holds only hooks of live pages.
        auto It = std::find(PageHookList->begin(), PageHookList->end(), this);
        if (It != PageHookList->end()) {
            PageHookList->erase(It);
            Free();
        }
    }
}
