#include "acSBUtilsToolBar.h"

#include "ImgList.h"
#include "sDCUtils.h"
#include "sGlyphUtils.h"
#include "sGraphUtils.h"
#include "sMaskDraw.h"
#include "sMessages.h"
#include "sPaintServices.h"
#include "sSectionPaint.h"
#include "sVclUtils.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <sstream>
#include <vector>

namespace {

// One cell of a glyph mask: its width and height.
TSize GlyphCell(const TsMaskData& Mask) {
    return TSize{Mask.R.Width() / std::max(1, int(Mask.ImageCount)), Mask.R.Height() / std::max(1, Mask.MaskType + 1)};
}

// A caption's words split into a first line that fits Width and the rest; a single word stays one line.
void SplitCaption(TCanvas* C, const std::string& Text, int Width, std::string& First, std::string& Second) {
    std::istringstream In(Text);
    std::vector<std::string> Words;
    for (std::string W; In >> W;)
        Words.push_back(W);
    First = Text;
    Second.clear();
    if (Words.size() < 2)
        return;
    std::string Line = Words[0];
    std::size_t I = 1;
    for (; I < Words.size(); ++I) {
        std::string Longer = Line + " " + Words[I];
        if (CanvasTextWidth(C, Longer) > Width)
            break;
        Line = Longer;
    }
    if (I == Words.size())
        return;
    First = Line;
    for (; I < Words.size(); ++I)
        Second += (Second.empty() ? "" : " ") + Words[I];
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Plain tool bar windows

bool TacToolBarWnd::Updating() {
    SkinData->InUpdate = AnswersSkinCommand(GetParent(Handle), SKIN_GETSTALE) || SkinData->IsUpdating();
    return SkinData->InUpdate;
}

void TacToolBarWnd::PrepareCache() {
    ReadGeometry();
    if (!SkinData->BackgroundStale)
        return;
    GetClientRect(Handle, HookClientRect);
    PaintBorderCache(SkinData, Handle, false);
    PaintHookCorners(SkinData, 0, this);
    HookBorderWidth = (HookWndSize.cy - HookClientRect.Height()) / 2;
    SkinData->BackgroundStale = false;
}

void TacToolBarWnd::PaintBorder() {
    if (!(GetWindowLongPtrA(Handle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) || Updating())
        return;
    PrepareCache();
    TBitmap* Cache = SkinData->CacheBitmap;
    if (!Cache)
        return;
    HDC DC = GetWindowDC(Handle);
    CopyBorderStrips(DC, 0, 0, (HookWndSize.cx - HookClientRect.Width()) / 2, Cache->Canvas()->Handle(), 0, 0,
                     Cache->Width(), Cache->Height());
    ReleaseDC(Handle, DC);
}

void TacToolBarWnd::WMPaint(TMessage& Message) {
    PAINTSTRUCT PS;
    BeginPaint(Handle, &PS);
    if (!Updating())
        PaintClient(reinterpret_cast<HDC>(Message.WParam));
    EndPaint(Handle, &PS);
}

void TacToolBarWnd::PaintClient(HDC DC) {
    PrepareCache();
    TBitmap* Cache = SkinData->CacheBitmap;
    if (!Cache || Cache->Width() <= 0 || Cache->Height() <= 0)
        return;
    TOwned<TBitmap> T(NewBitmap24(Cache->Width(), Cache->Height()));
    PaintButtons(T.get());
    HDC Own = DC ? nullptr : GetDC(Handle);
    BitBlt(DC ? DC : Own, 0, 0, Cache->Width() - 2 * HookBorderWidth, Cache->Height() - 2 * HookBorderWidth,
           T->Canvas()->Handle(), HookBorderWidth, HookBorderWidth, SRCCOPY);
    if (Own)
        ReleaseDC(Handle, Own);
}

void TacToolBarWnd::PaintButtons(TBitmap* Target) {
    TBitmap* Cache = SkinData->CacheBitmap;
    BitBlt(Target->Canvas()->Handle(), 0, 0, Cache->Width(), Cache->Height(), Cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    const int Count = static_cast<int>(SendMessageA(Handle, TB_BUTTONCOUNT, 0, 0));
    for (int I = 0; I < Count; ++I) {
        RECT R{};
        SendMessageA(Handle, TB_GETITEMRECT, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&R));
        OffsetRect(&R, HookBorderWidth, HookBorderWidth);
        PaintButton(I, TRect::From(R), Target->Canvas()->Handle());
    }
}

void TacToolBarWnd::PaintButton(int Index, const TRect& R, HDC DC) {
    TsSkinManager* M = DefaultManager;
    TBitmap* Cache = SkinData->CacheBitmap;
    TBBUTTON Info{};
    if (!M || R.IsEmpty() || !SendMessageA(Handle, TB_GETBUTTON, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&Info)))
        return;
    TOwned<TBitmap> B(NewBitmap24(R.Width(), R.Height()));
    const TRect Whole = Rect(0, 0, R.Width(), R.Height());
    if (Info.fsStyle == BTNS_SEP) {
        const int Divider = M->FindSectionIndex("DIVIDER");
        if (!M->MaskIndexInRange(M->FindMaskIndex(Divider, "DIVIDER", "BORDERSMASK")))
            return;
        BitBlt(B->Canvas()->Handle(), 0, 0, R.Width(), R.Height(), Cache->Canvas()->Handle(), R.Left, R.Top, SRCCOPY);
        const int X = R.Width() / 2 - 1;
        const TRect D = Rect(X, 2, X + 4, R.Height() - 2);
        PaintSkinItem(Divider, "DIVIDER", MakeBackgroundSource(Cache, 0, 0), -1, -1, M, B.get(),
                      Point(R.Left + D.Left, R.Top + D.Top), D, 0, true);
        BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), B->Canvas()->Handle(), 0, 0, SRCCOPY);
        return;
    }
    int S = 0, P = 0;
    if (!(Info.fsState & TBSTATE_ENABLED)) {
        S = 0;
    } else if (Info.fsState & TBSTATE_PRESSED) {
        S = 2;
        P = 1;
    } else {
        TPoint Cursor;
        TRect Screen = R;
        OffsetRect(Screen, HookWndRect.Left, HookWndRect.Top);
        S = ReadCursorPos(Cursor) && PtInRect(Screen, Cursor) ? 1 : 0;
    }
    const int Button = M->FindSectionIndex("TOOLBUTTON");
    PaintSkinItem(Button, "TOOLBUTTON", MakeBackgroundSource(Cache, 0, 0), -1, -1, M, B.get(), R.TopLeft(), Whole, S, true);
    int IW = 0, IH = 0;
    HIMAGELIST Images = reinterpret_cast<HIMAGELIST>(SendMessageA(Handle, TB_GETIMAGELIST, 0, 0));
    if (Images && Info.iBitmap >= 0 && ImageList_GetIconSize(Images, &IW, &IH)) {
        ImageList_SetBkColor(Images, CLR_NONE);
        int X = P + (R.Width() - IW) / 2;
        if (Info.fsStyle & BTNS_WHOLEDROPDOWN) {
            const int Arrow = M->CommonIndexes.ScrollButtonGlyph[1];
            if (M->MaskIndexInRange(Arrow)) {
                const TSize A = GlyphCell(M->MaskList[Arrow]);
                DrawSkinGlyph(B.get(), Point(B->Width() + P - A.cx - 2, P + (B->Height() - A.cy) / 2), S, 1,
                              M->MaskList[Arrow], MakeBackgroundSource(B.get(), 0, 0));
                X = P + (R.Width() - (IW + A.cx)) / 2;
            }
        }
        ImageList_Draw(Images, Info.iBitmap, B->Canvas()->Handle(), X, P + 4, ILD_NORMAL);
    } else {
        IW = IH = 0;
    }
    char Text[256] = {};
    LRESULT Length = SendMessageA(Handle, TB_GETBUTTONTEXTA, static_cast<WPARAM>(Info.idCommand), 0);
    if (Length > 0 && Length < static_cast<LRESULT>(sizeof(Text)) &&
        SendMessageA(Handle, TB_GETBUTTONTEXTA, static_cast<WPARAM>(Info.idCommand), reinterpret_cast<LPARAM>(Text)) > 0) {
        TCanvas* C = B->Canvas();
        if (HFONT Font = reinterpret_cast<HFONT>(SendMessageA(Handle, WM_GETFONT, 0, 0)))
            C->Font()->SetHandle(Font);
        TEXTMETRICA TM{};
        GetTextMetricsA(C->Handle(), &TM);
        const TRect TR = Rect(P + 2, P + 2 + (IH ? IH + 2 : 0), P + R.Width() - 2, P + R.Height() - 2);
        C->Brush()->SetStyle(bsClear);
        const bool OwnFont = M->SectionIndexInRange(SkinData->SectionIndex) && SkinData->Section().GiveOwnFont;
        auto Write = [&](const std::string& T, const TRect& Where, UINT Flags) {
            if (S != 0 && !OwnFont)
                WriteSectionText(C, T, true, M, true, Button, Flags, Where);
            else
                WriteControlText(C, T, true, S != 0, SkinData, Flags, Where);
        };
        std::string First, Second;
        SplitCaption(C, Text, R.Width(), First, Second);
        if (!Second.empty()) {
            Write(First, Rect(TR.Left, TR.Top, TR.Right, TR.Top + TM.tmHeight), DT_CENTER);
            Write(Second, Rect(TR.Left, TR.Top + TM.tmHeight, TR.Right, TR.Bottom), DT_CENTER | DT_END_ELLIPSIS);
        } else {
            Write(Text, TR, DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_END_ELLIPSIS);
        }
    }
    if (!(Info.fsState & TBSTATE_ENABLED))
        BlendBitmapRect(B.get(), 0, 0, NoKeyColor, 0.4, Rect(R.Left, R.Top, R.Right - 1, R.Bottom - 1), Cache);
    BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), B->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TacToolBarWnd::WndProc(TMessage& Message) {
    if (!HookSkinned()) {
        TacMainWnd::WndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
        SkinData->BackgroundStale = true;
        TacMainWnd::WndProc(Message);
        SendMessageA(Handle, WM_NCPAINT, 0, 0);
        return;
    case WM_PAINT:
        if (!IsWindowVisible(Handle))
            break;
        WMPaint(Message);
        return;
    case WM_ERASEBKGND:
        return;
    case WM_NCPAINT:
        PaintBorder();
        return;
    case WM_PRINT:
        PaintClient(reinterpret_cast<HDC>(Message.WParam));
        return;
    case SM_ALPHACMD:
        if (SkinCommandOf(Message.WParam) == SKIN_ENDUPDATE && SkinData->InUpdate) {
            SkinData->SetInUpdate(false);
            RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
            return;
        }
        break;
    default:
        break;
    }
    TacMainWnd::WndProc(Message);
    if (Message.Msg == WM_MOUSEMOVE && DefaultManager && !DefaultManager->ComponentState().Contains(csDesigning) &&
        IsWindowEnabled(Handle))
        DefaultManager->SetHotWindow(Handle);
}

// ---------------------------------------------------------------------------------------------
// Framework tool bars

void CopyCacheExceptControls(TWinControl* Control, TsCommonData* SkinData, const TRect& C, HDC DC,
                             const TRect& PaintRect) {
    TBitmap* Cache = SkinData ? SkinData->CacheBitmap : nullptr;
    if (!Control || !Cache || !DC)
        return;
    PaintAllCacheCorners(SkinData, 0);
    const int Saved = SaveDC(DC);
    IntersectClipRect(DC, PaintRect.Left, PaintRect.Top, PaintRect.Right, PaintRect.Bottom);
    const bool Designing = Control->ComponentState().Contains(csDesigning);
    for (int I = 0; I < Control->ControlCount(); ++I) {
        TControl* Child = Control->Controls(I);
        if (!Child->Visible() || (Designing && DynCast<TToolButton>(Child)))
            continue;
        TRect B = Bounds(Child->Left(), Child->Top(), Child->Width(), Child->Height());
        TRect Common{};
        if (!IntersectRect(Common, B, PaintRect))
            continue;
        if (Child->ControlStyle().Contains(csOpaque) || DynCast<TGraphicControl>(Child) || Designing)
            ExcludeClipRect(DC, B.Left, B.Top, B.Right, B.Bottom);
    }
    BitBlt(DC, PaintRect.Left, PaintRect.Top, PaintRect.Width(), PaintRect.Height(), Cache->Canvas()->Handle(),
           C.Left + PaintRect.Left, C.Top + PaintRect.Top, SRCCOPY);
    RestoreDC(DC, Saved);
}

TacToolBarVCLWnd::TacToolBarVCLWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                                   TsCommonData* ASkinData)
    : TacMainWnd(AHandle, Repaint, SkinSection, Manager, ASkinData) {
    HotIndex = -1;
    ToolBar = DynCast<TToolBar>(SkinData->HostControl);
    if (!ToolBar)
        return;
    InstallEvents();
    if (SkinSection.empty())
        SkinData->SetSkinSection("TOOLBAR");
}

TacToolBarVCLWnd::~TacToolBarVCLWnd() {
    if (ToolBar && !ToolBar->ComponentState().Contains(csDestroying))
        RestoreEvents();
}

void TacToolBarVCLWnd::InstallEvents() {
    const auto Own = TTBAdvancedCustomDrawEvent::Bind<&TacToolBarVCLWnd::ToolBarAdvancedCustomDraw>(this);
    const auto OwnButton = TTBAdvancedCustomDrawBtnEvent::Bind<&TacToolBarVCLWnd::ToolBarAdvancedCustomDrawButton>(this);
    // The program's own handlers are kept to be given back.
    if (!(ToolBar->OnAdvancedCustomDraw == Own)) {
        SavedCustomDraw = ToolBar->OnAdvancedCustomDraw;
        ToolBar->OnAdvancedCustomDraw = Own;
    }
    if (!(ToolBar->OnAdvancedCustomDrawButton == OwnButton)) {
        SavedCustomDrawButton = ToolBar->OnAdvancedCustomDrawButton;
        ToolBar->OnAdvancedCustomDrawButton = OwnButton;
    }
}

void TacToolBarVCLWnd::RestoreEvents() {
    if (ToolBar->OnAdvancedCustomDraw == TTBAdvancedCustomDrawEvent::Bind<&TacToolBarVCLWnd::ToolBarAdvancedCustomDraw>(this))
        ToolBar->OnAdvancedCustomDraw = SavedCustomDraw;
    if (ToolBar->OnAdvancedCustomDrawButton ==
        TTBAdvancedCustomDrawBtnEvent::Bind<&TacToolBarVCLWnd::ToolBarAdvancedCustomDrawButton>(this))
        ToolBar->OnAdvancedCustomDrawButton = SavedCustomDrawButton;
    SavedCustomDraw = TTBAdvancedCustomDrawEvent();
    SavedCustomDrawButton = TTBAdvancedCustomDrawBtnEvent();
}

int TacToolBarVCLWnd::ButtonAt(TPoint P) {
    if (!ToolBar)
        return -1;
    const int Count = static_cast<int>(SendMessageA(Handle, TB_BUTTONCOUNT, 0, 0));
    for (int I = 0; I < Count; ++I) {
        RECT R{};
        SendMessageA(Handle, TB_GETITEMRECT, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&R));
        if (!PtInRect(&R, POINT{P.X, P.Y}))
            continue;
        TBBUTTON Info{};
        SendMessageA(Handle, TB_GETBUTTON, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&Info));
        auto* B = reinterpret_cast<TToolButton*>(Info.dwData);
        const bool Pushable = B && (B->Style() == tbsButton || B->Style() == tbsCheck || B->Style() == tbsDropDown);
        return Pushable ? B->Index() : -1;
    }
    return -1;
}

void TacToolBarVCLWnd::RepaintButton(int Index) {
    if (!ToolBar || Index < 0 || Index >= ToolBar->ButtonCount() || !ToolBar->Buttons(Index)->Visible())
        return;
    HDC DC = GetWindowDC(Handle);
    const int Saved = SaveDC(DC);
    TRect C = ClientRectInWindow();
    SetViewportOrgEx(DC, C.Left, C.Top, nullptr);
    ToolBar->Canvas()->SetHandle(DC);
    TTBCustomDrawFlags Flags{tbNoEdges, tbNoEtchedEffect};
    bool Default = false;
    ToolBarAdvancedCustomDrawButton(ToolBar, ToolBar->Buttons(Index), TCustomDrawState(), cdPrePaint, Flags, Default);
    ToolBar->Canvas()->SetHandle(nullptr);
    RestoreDC(DC, Saved);
    ReleaseDC(Handle, DC);
}

void TacToolBarVCLWnd::PrepareCache() {
    ReadGeometry();
    SkinData->PrepareCacheBitmap();
    BackgroundSource Back;
    SkinData->GetParentBackgroundSource(Back);
    TBitmap* Cache = SkinData->CacheBitmap;
    PaintControlSkin(SkinData, Back, false, false, 0, Cache, HookWndPos, Rect(0, 0, Cache->Width(), Cache->Height()));
    SkinData->BackgroundStale = false;
}

TRect TacToolBarVCLWnd::ClientRectInWindow() {
    RECT C{};
    GetClientRect(Handle, &C);
    TRect R = TRect::From(C);
    if (R.Width() != HookWndSize.cx || R.Height() != HookWndSize.cy) {
        RECT W{};
        GetWindowRect(Handle, &W);
        POINT Origin{0, 0};
        ClientToScreen(Handle, &Origin);
        OffsetRect(R, Origin.x - W.left, Origin.y - W.top);
    }
    return R;
}

void TacToolBarVCLWnd::CopyBands(HDC DC, const TRect& C) {
    TBitmap* Cache = SkinData->CacheBitmap;
    const int W = HookWndSize.cx, H = HookWndSize.cy;
    HDC Src = Cache->Canvas()->Handle();
    BitBlt(DC, 0, 0, W, C.Top, Src, 0, 0, SRCCOPY);
    BitBlt(DC, 0, C.Top, C.Left, C.Height(), Src, 0, C.Top, SRCCOPY);
    BitBlt(DC, 0, C.Bottom, W, H - C.Height() - C.Top, Src, 0, C.Bottom, SRCCOPY);
    BitBlt(DC, C.Right, C.Top, W - C.Left - C.Width(), C.Height(), Src, C.Right, C.Top, SRCCOPY);
}

void TacToolBarVCLWnd::PaintBorder(HDC DC) {
    ReadGeometry();
    TRect C = ClientRectInWindow();
    if (C.Left == 0 && C.Top == 0 && C.Width() == HookWndSize.cx && C.Height() == HookWndSize.cy)
        return;
    if (SkinData->BackgroundStale)
        PrepareCache();
    HDC Own = DC ? nullptr : GetWindowDC(Handle);
    HDC Target = DC ? DC : Own;
    const int Saved = SaveDC(Target);
    ExcludeClipRect(Target, C.Left, C.Top, C.Right, C.Bottom);
    CopyBands(Target, C);
    RestoreDC(Target, Saved);
    if (Own)
        ReleaseDC(Handle, Own);
}

void TacToolBarVCLWnd::ToolBarAdvancedCustomDraw(TToolBar* Sender, const TRect& ARect, TCustomDrawStage Stage,
                                                 bool& DefaultDraw) {
    if (!SkinData->IsSkinned(true)) {
        DefaultDraw = true;
        return;
    }
    SkinData->InUpdate = SkinData->IsUpdating();
    if (Stage != cdPrePaint)
        DefaultDraw = false;
    if (SkinData->InUpdate || Stage != cdPrePaint)
        return;
    ReadGeometry();
    PrepareCacheBitmapFor(SkinData);
    SkinData->CacheBitmap->Canvas()->Font()->Assign(Sender->Font());
    if (SkinData->BackgroundStale)
        PrepareCache();
    const TRect C = ClientRectInWindow();
    HDC DC = Sender->Canvas()->Handle();
    CopyCacheExceptControls(Sender, SkinData, C, DC, ARect);
    PaintGraphicChildren(DC, Sender, Point(0, 0));
    SendEndUpdateToChildren(Sender);
    if (C.Left > 0 || C.Top > 0 || C.Right != Sender->Width() || C.Bottom != Sender->Height())
        SendMessageA(Handle, WM_NCPAINT, 0, 0);
}

TRect TacToolBarVCLWnd::CaptionRectOf(TToolButton* Button, TBitmap* B, int State) {
    const int W = Button->Width(), H = Button->Height();
    const int DW = Button->Style() == tbsDropDown ? GetSystemMetrics(SM_CXVSCROLL) - 2 : 0, CW = W - DW;
    TCustomImageList* Images = ToolBar->Images();
    TRect R;
    if (ToolBar->List()) {
        R = Rect(Images && Button->ImageIndex() >= 0 ? Images->Width() + 6 : 1, 2, CW - 2, H - 2);
    } else {
        const int TW = CanvasTextWidth(B->Canvas(), Button->Caption()), TH = CanvasTextHeight(B->Canvas(), "A");
        const int C = Images ? (H - Images->Height() - TH - 3) / 2 : (H - TH) / 2;
        R = Rect((CW - TW) / 2 - 1, Images ? C + Images->Height() + 3 : C, CW - (CW - TW) / 2 + 2, H - C);
    }
    if (State == 2)
        OffsetRect(R, 1, 1);
    return R;
}

void TacToolBarVCLWnd::ToolBarAdvancedCustomDrawButton(TToolBar* Sender, TToolButton* Button, TCustomDrawState State,
                                                       TCustomDrawStage Stage, TTBCustomDrawFlags& Flags,
                                                       bool& DefaultDraw) {
    TsSkinManager* M = SkinData->GetSkinManager();
    if (!SkinData->IsSkinned(true) || !M) {
        DefaultDraw = true;
        return;
    }
    DefaultDraw = false;
    if (Stage != cdPrePaint || !Button)
        return;
    const bool Designing = Sender->ComponentState().Contains(csDesigning);
    if (!Sender->Flat() && !Designing && Button->Index() == HotIndex)
        State = State.Include(cdsHot);
    Flags = Flags.Include(tbNoEdges).Include(tbNoEtchedEffect);
    RECT Item{};
    LRESULT At = SendMessageA(Handle, TB_COMMANDTOINDEX, static_cast<WPARAM>(Button->CommandID()), 0);
    SendMessageA(Handle, TB_GETITEMRECT, static_cast<WPARAM>(At), reinterpret_cast<LPARAM>(&Item));
    const int W = Item.right - Item.left, H = Button->Height();
    if (W <= 0 || H <= 0)
        return;
    TOwned<TBitmap> B(NewBitmap24(W, std::max<int>(H, Item.bottom - Item.top)));
    B->Canvas()->Font()->Assign(Sender->Font());
    const bool Marked = Button->Marked() || Button->Indeterminate();
    const bool Plain = State.Empty() || State == TCustomDrawState{cdsDisabled};
    const int S = !Marked && Plain ? 0
                  : State.Contains(cdsSelected) || State.Contains(cdsChecked) || Marked ? 2
                                                                                          : 1;
    if (!SkinData->CacheBitmap || SkinData->BackgroundStale)
        PrepareCache();
    const int E = 0;  // the framework's tool bar draws no edges of its own
    const int X = (Sender->EdgeBorders().Contains(ebLeft) ? E : 0) + 2 * Sender->BorderWidth();
    const int Y = (Sender->EdgeBorders().Contains(ebTop) ? E : 0) + 2 * Sender->BorderWidth();
    const BackgroundSource Back = MakeBackgroundSource(SkinData->CacheBitmap, X, Y);
    const int Section = M->FindSectionIndex("TOOLBUTTON");
    const TRect Whole = Rect(0, 0, W, H);
    const TPoint Pos = Point(Button->Left(), Button->Top());
    PaintSkinSection(Section, "TOOLBUTTON", Back, TColor(0xFF00FF), -1, -1, M, B.get(), Pos, Whole, S);
    const int Border = M->FindMaskIndexBySection("TOOLBUTTON", "BORDERSMASK");
    if (M->MaskIndexInRange(Border))
        DrawSkinMask(B.get(), Whole, true, MakeBackgroundSource(SkinData->CacheBitmap, X + Pos.X, Y + Pos.Y),
                     M->MaskList[Border], S, true);
    if (Sender->ShowCaptions())
        WriteSectionText(B->Canvas(), Button->Caption(), true, DefaultManager, S > 0,
                         FindFontSectionIndex(Button, Section, M), DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                         CaptionRectOf(Button, B.get(), S));
    if (TCustomImageList* Images = Sender->Images();
        Images && Button->ImageIndex() >= 0 && Button->ImageIndex() < Images->Count())
        PaintToolButtonGlyph(Sender, Button, State, false, static_cast<int>(Stage), B.get());
    if (Button->Style() == tbsDropDown) {
        const int DW = GetSystemMetrics(SM_CXVSCROLL) - 2, CW = W - DW;
        const int A = (Button == DroppedButton && Button->DropdownMenu()) || Button->Down() ? 2
                      : State.Contains(cdsHot)                                             ? 1
                                                                                           : 0;
        if (M->MaskIndexInRange(Border))
            DrawSkinMask(B.get(), Rect(CW, 0, W, H), true, MakeBackgroundSource(B.get(), 0, 0), M->MaskList[Border], A,
                         true);
        const int Arrow = M->CommonIndexes.ScrollButtonGlyph[1];
        if (M->MaskIndexInRange(Arrow)) {
            const TSize Cell = GlyphCell(M->MaskList[Arrow]);
            DrawSkinGlyph(B.get(), Point(CW + 2 + (DW - (Cell.cx + 3)) / 2, (Sender->ButtonHeight() - Cell.cy) / 2), A,
                          1, M->MaskList[Arrow], MakeBackgroundSource(B.get(), 0, 0));
        }
    }
    if (!Button->Enabled() || Button->Indeterminate())
        PaintDisabledLook(B.get(), TsDisabledKind{dkBlended}, Sender->Parent(), Back, Point(0, 0));
    BitBlt(Sender->Canvas()->Handle(), Button->Left(), Button->Top(), W, H, B->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TacToolBarVCLWnd::WndProc(TMessage& Message) {
    if (Unhooked || !SkinData) {
        TacMainWnd::WndProc(Message);
        return;
    }
    const bool Own = Message.LParam == reinterpret_cast<LPARAM>(SkinManager);
    if (Message.Msg == SM_ALPHACMD) {
        switch (SkinCommandOf(Message.WParam)) {
        case SKIN_LOADED:
            if (ToolBar)
                InstallEvents();
            break;
        case SKIN_REMOVED:
            if (Own && ToolBar) {
                RestoreEvents();
                DroppedButton = nullptr;
            }
            break;
        case SKIN_REFRESH:
            if (Own)
                DroppedButton = nullptr;
            break;
        case SKIN_GETBACKGROUND: {
            auto& Info = *reinterpret_cast<ParentBackgroundInfo*>(Message.LParam);
            ReadGeometry();
            SkinData->FillParentBackgroundInfo(Info, 0, Handle);
            const TRect C = ClientRectInWindow();
            Info.X += C.Left;
            Info.Y += C.Top;
            return;
        }
        default:
            break;
        }
    } else if (HookSkinned()) {
        switch (Message.Msg) {
        case WM_ERASEBKGND:
            Message.Result = 1;
            return;
        case WM_NCPAINT:
            if (!AnimationInProgress)
                PaintBorder(nullptr);
            return;
        case WM_PRINT: {
            HDC DC = reinterpret_cast<HDC>(Message.WParam);
            if (!DC)
                return;
            ReadGeometry();
            TRect C;
            GetClientRectInWindow(Handle, C);
            if (SkinData->BackgroundStale)
                PrepareCache();
            CopyBands(DC, C);
            const int Saved = SaveDC(DC);
            OffsetViewportOrgEx(DC, C.Left, C.Top, nullptr);
            IntersectClipRect(DC, 0, 0, C.Width(), C.Height());
            SendMessageA(Handle, WM_PAINT, Message.WParam, 0);
            RestoreDC(DC, Saved);
            return;
        }
        case CN_NOTIFY: {
            auto* H = reinterpret_cast<NMHDR*>(Message.LParam);
            if (H && H->code == static_cast<UINT>(TBN_DELETINGBUTTON) && ToolBar && HotIndex >= ToolBar->ButtonCount())
                HotIndex = -1;
            if (H && H->code == static_cast<UINT>(TBN_DROPDOWN)) {
                auto* N = reinterpret_cast<NMTOOLBARA*>(Message.LParam);
                LRESULT At = SendMessageA(Handle, TB_COMMANDTOINDEX, static_cast<WPARAM>(N->iItem), 0);
                TBBUTTON Info{};
                if (SendMessageA(Handle, TB_GETBUTTON, static_cast<WPARAM>(At), reinterpret_cast<LPARAM>(&Info))) {
                    DroppedButton = reinterpret_cast<TToolButton*>(Info.dwData);
                    if (DroppedButton)
                        RepaintButton(DroppedButton->Index());
                }
            }
            break;
        }
        default:
            break;
        }
    }
    if (Message.Msg == WM_DESTROY && ToolBar) {
        // The window goes: a bar that lives on (its window made again) gets its handlers back now,
        // and a bar that goes is not touched again.
        if (!ToolBar->ComponentState().Contains(csDestroying))
            RestoreEvents();
        TacMainWnd::WndProc(Message);
        ToolBar = nullptr;
        return;
    }
    if (HandleCommonMessage(Message, SkinData))
        return;
    TacMainWnd::WndProc(Message);
    if (Unhooked || !HookSkinned() || !ToolBar)
        return;
    const bool Tracks = !ToolBar->Flat() && !ToolBar->ComponentState().Contains(csDesigning);
    switch (Message.Msg) {
    case WM_SIZE:
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE);
        break;
    case WM_MOUSEMOVE: {
        if (!Tracks)
            break;
        const int I = ButtonAt(Point(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)));
        if (I == HotIndex || (I >= 0 && !ToolBar->Buttons(I)->Enabled()))
            break;
        const int Old = HotIndex;
        HotIndex = I;
        for (int B : {Old, I})
            if (B >= 0 && B < ToolBar->ButtonCount() && !ToolBar->Buttons(B)->Down())
                RepaintButton(B);
        break;
    }
    case CN_DROPDOWNCLOSED:
        if (DroppedButton) {
            TToolButton* B = DroppedButton;
            HotIndex = -1;
            DroppedButton = nullptr;
            RepaintButton(B->Index());
        }
        break;
    case CM_MOUSELEAVE:
        if (Tracks) {
            const int Old = HotIndex;
            HotIndex = -1;
            if (Old >= 0 && Old < ToolBar->ButtonCount() && !ToolBar->Buttons(Old)->Down())
                RepaintButton(Old);
        }
        break;
    default:
        break;
    }
}
