#include "sListView.h"

#include "Forms.h"
#include "ObjectInstances.h"
#include "acSBUtils.h"
#include "sDCUtils.h"
#include "sEditParts.h"
#include "sGraphUtils.h"
#include "sMaskDraw.h"
#include "sMessages.h"
#include "sPaintServices.h"
#include "sSectionPaint.h"
#include "sSkinManager.h"
#include "sVclUtils.h"

#include <algorithm>
#include <commctrl.h>

namespace {
constexpr UINT CM_UIACTIVATE_MSG = 0xB029;
// Room between a header item's edges and its text, glyph and image.
constexpr int HeaderMargin = 6;

void RedrawWholeWindow(HWND Wnd) { RedrawWindow(Wnd, nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_INVALIDATE); }
}  // namespace

TRect HeaderTextRect(TRect R, int Format, int ImageOffset, int TextWidth, int GlyphWidth) {
    const int D = ImageOffset, TW = TextWidth, GW = GlyphWidth;
    const int AW = (R.Right - R.Left) - HeaderMargin;
    TRect T = Rect(4, 1, (R.Right - R.Left) - 4, (R.Bottom - R.Top) - 1);
    const bool Fits = D + TW + GW + HeaderMargin < AW;
    switch (Format & 0xFF) {
    case HDF_RIGHT: {
        const int OldRight = T.Right;
        T.Right -= GW;
        T.Left = Fits ? OldRight - GW - TW : D + HeaderMargin;
        break;
    }
    case HDF_CENTER:
        if (Fits) {
            T.Left = T.Left + D + ((T.Right - T.Left) - (TW + GW + D)) / 2;
            T.Right = T.Left + TW;
        } else {
            T.Left = D + HeaderMargin;
            T.Right -= GW;
        }
        break;
    default:
        T.Left += D;
        T.Right = std::min(AW, static_cast<int>(T.Left) + TW);
        break;
    }
    return T;
}

TsCustomListView::TsCustomListView(TComponent* AOwner) : TCustomListView(AOwner) {
    MakeSkinParts(this, 10, nullptr, FCommonData, FBoundLabel);
    try {
        FHeaderInstance = MakeObjectInstance(TWndMethod::Bind<&TsCustomListView::HeaderWndProc>(this));
    } catch (Exception&) {
        Application->HandleException(this);
    }
}

TsCustomListView::~TsCustomListView() {
    FreeObjectInstance(FHeaderInstance);
    FreeAndNil(FCommonData);
}

void TsCustomListView::AfterConstruction() {
    FNotReady = true;
    TCustomListView::AfterConstruction();
    FNotReady = false;
}

void TsCustomListView::BeforeDestruction() {
    if (FListHook) {
        TacMainWnd* Hook = FListHook;
        FListHook = nullptr;
        FreeAndNil(Hook);
    }
    SetSmallImages(nullptr);
    SetLargeImages(nullptr);
    ReleaseHeader();
    FreeAndNil(FBoundLabel);
    SetCustomDrawHook(false);
    TCustomListView::BeforeDestruction();
}

void TsCustomListView::DefineClass(TClassBuilder<TsCustomListView>& B) {
    B.Property("BoundLabel", &TsCustomListView::BoundLabel, &TsCustomListView::SetBoundLabel);
    B.Property("HighlightHeaders", &TsCustomListView::HighlightHeaders, &TsCustomListView::SetHighlightHeaders)
        .Default(true);
    B.Property("SkinData", &TsCustomListView::SkinData, &TsCustomListView::SetSkinData);
    B.Property("OnMouseEnter", [](TsCustomListView* L) { return L->OnMouseEnter; },
               [](TsCustomListView* L, const TNotifyEvent& E) { L->OnMouseEnter = E; });
    B.Property("OnMouseLeave", [](TsCustomListView* L) { return L->OnMouseLeave; },
               [](TsCustomListView* L, const TNotifyEvent& E) { L->OnMouseLeave = E; });
}

void TsCustomListView::SetSkinData(TsCommonData* Value) {
    if (Value && Value != FCommonData)
        FCommonData->Assign(Value);
}

void TsCustomListView::SetBoundLabel(TsBoundLabel* Value) {
    if (Value && Value != FBoundLabel)
        FBoundLabel->Assign(Value);
}

void TsCustomListView::Loaded() {
    FNotReady = true;
    TCustomListView::Loaded();
    FNotReady = false;
}

void TsCustomListView::TakeSkinColors() {
    if (!Skinned())
        return;
    const TsGeneralData& S = FCommonData->Section();
    if (!FCommonData->CustomColor())
        SetColor(S.Color);
    if (!FCommonData->CustomFont())
        Font()->SetColor(S.FontColor[0]);
}

void TsCustomListView::CreateWnd() {
    TCustomListView::CreateWnd();
    try {
        FCommonData->AfterOwnerLoaded();
    } catch (Exception&) {
        Application->HandleException(this);
    }
    TakeSkinColors();
    SetCustomDrawHook(true);
    // A header made with the window, before the window could hear of it, is taken now.
    if (!FHeaderHandle)
        if (HWND Header = HeaderHandle())
            SubclassHeader(Header);
}

void TsCustomListView::SetCustomDrawHook(bool Install) {
    const TLVCustomDrawEvent Own = TLVCustomDrawEvent::Bind<&TsCustomListView::AdvancedCustomDraw>(this);
    if (Install) {
        if (!OnAdvancedCustomDraw)
            FSavedCustomDraw = TLVCustomDrawEvent();
        else if (!FSavedCustomDraw && !(OnAdvancedCustomDraw == Own))
            FSavedCustomDraw = OnAdvancedCustomDraw;
        OnAdvancedCustomDraw = Own;
        return;
    }
    OnAdvancedCustomDraw = FSavedCustomDraw;
    FSavedCustomDraw = TLVCustomDrawEvent();
}

void TsCustomListView::PrepareCache() {
    FCommonData->PrepareCacheBitmap();
    BackgroundSource Background;
    FCommonData->GetParentBackgroundSource(Background);
    PaintControlSkin(FCommonData, Background, true, false, 0, FCommonData->CacheBitmap, Point(Left(), Top()),
                     Rect(0, 0, Width(), Height()), 0, 0);
    FCommonData->BackgroundStale = false;
}

void TsCustomListView::AdvancedCustomDraw(TCustomListView* Sender, const TRect& ARect, TCustomDrawStage Stage,
                                          bool& DefaultDraw) {
    if (!ComponentState().Contains(csDesigning) && FSavedCustomDraw) {
        FSavedCustomDraw(Sender, ARect, Stage, DefaultDraw);
        return;
    }
    DefaultDraw = false;
    if (Stage != cdPrePaint && Stage != cdPreErase)
        return;
    DefaultDraw = true;
    if (Skinned()) {
        FCommonData->SetInUpdate(FCommonData->IsUpdating());
        if (FCommonData->InUpdate)
            return;
        if (FCommonData->BackgroundStale)
            PrepareCache();
        if (!FCommonData->CustomColor())
            SetColor(FCommonData->GetBackgroundColor(0, nullptr));
    }
    if (Stage == cdPreErase)
        DefaultDraw = false;
}

// ---------------------------------------------------------------------------------------------
// Window procedure

void TsCustomListView::WndProc(TMessage& Message) {
    if (!FCommonData) {
        TCustomListView::WndProc(Message);
        return;
    }
    if ((Message.Msg == CM_MOUSEENTER || Message.Msg == CM_MOUSELEAVE) && Message.LParam == 0) {
        if (Message.Msg == CM_MOUSEENTER)
            OnMouseEnter(this);
        else
            OnMouseLeave(this);
    }
    if (Message.Msg == CM_MOUSELEAVE && Skinned() && ViewStyle() == vsReport && FHotColumn >= 0)
        ClearHotColumn();
    if (Message.Msg == SM_ALPHACMD) {
        const bool OwnManager = Message.LParam == reinterpret_cast<LPARAM>(FCommonData->GetSkinManager());
        switch (SkinCommandOf(Message.WParam)) {
        case SKIN_LOADED:
            if (OwnManager)
                HandleCommonMessage(Message, FCommonData);
            return;
        case SKIN_REMOVED:
            if (!OwnManager)
                return;
            Items()->BeginUpdate();
            HandleCommonMessage(Message, FCommonData);
            if (!FCommonData->CustomColor())
                SetColor(clWindow);
            if (!FCommonData->CustomFont())
                Font()->SetColor(clWindowText);
            if (FListHook) {
                TacMainWnd* Hook = FListHook;
                FListHook = nullptr;
                UnhookMainWnd(Handle(), true, 0, Hook);
            }
            Items()->EndUpdate();
            if (HandleAllocated())
                RedrawWholeWindow(Handle());
            return;
        case SKIN_REFRESH:
            if (!OwnManager)
                return;
            Items()->BeginUpdate();
            HandleCommonMessage(Message, FCommonData);
            if (Skinned() && !FNotReady) {
                TakeSkinColors();
                if (HandleAllocated()) {
                    if (UninitializeFlatSBProc)
                        UninitializeFlatSBProc(Handle());
                    RefreshEditWnd(FCommonData, FListHook);
                    RedrawWholeWindow(Handle());
                }
            }
            Items()->EndUpdate();
            return;
        case SKIN_ENDUPDATE:
            AnimationSnapshotDC = nullptr;
            PaintHeader();
            return;
        case SKIN_ISSKINNED:
        case SKIN_BEFORESCROLL:
            Message.Result = 1;
            return;
        case SKIN_GETSTALE:
            Message.Result = FCommonData->InUpdate ? 1 : 0;
            return;
        case SKIN_GETAPPLICATION:
            Message.Result = reinterpret_cast<LRESULT>(Application);
            return;
        default:
            break;
        }
    }
    if (Message.Msg == WM_PARENTNOTIFY)
        ParentNotify(Message);
    if (Message.Msg == LVM_SETCOLUMNA || Message.Msg == LVM_INSERTCOLUMNA || Message.Msg == LVM_SETCOLUMNW ||
        Message.Msg == LVM_INSERTCOLUMNW) {
        // A column without an image must leave the header no room for one.
        auto* Column = reinterpret_cast<LVCOLUMNA*>(Message.LParam);
        if (Column && (Column->mask & LVCF_IMAGE) && Column->iImage == -1)
            Column->mask &= ~LVCF_IMAGE;
    }
    if (!ControlState().Contains(csCreating) && Skinned() && HandleAllocated())
        SkinnedWndProc(Message);
    else
        TCustomListView::WndProc(Message);
    BoundLabelMessage(Message);
}

void TsCustomListView::TrackThumb(TMessage& Message, int Bar) {
    const int P = Message.LParam != 0 ? static_cast<int>(Message.LParam) : static_cast<short>(HIWORD(Message.WParam));
    if (FTrackBar != Bar) {
        FTrackBar = Bar;
        FLastTrackPos = GetScrollPos(Handle(), Bar);
    }
    if (P == FLastTrackPos)
        return;
    int Delta = P - FLastTrackPos;
    FLastTrackPos = P;
    RECT Item0{};
    Item0.left = LVIR_BOUNDS;
    const bool HaveItem = SendMessageA(Handle(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&Item0)) != 0;
    if (Bar == SB_HORZ) {
        if (ViewStyle() == vsList && HaveItem)
            Delta *= Item0.right - Item0.left;
        SendMessageA(Handle(), LVM_SCROLL, static_cast<WPARAM>(Delta), 0);
        PaintHeader();
    } else {
        if (ViewStyle() == vsReport && HaveItem)
            Delta *= Item0.bottom - Item0.top;
        SendMessageA(Handle(), LVM_SCROLL, 0, Delta);
    }
}

void TsCustomListView::SkinnedWndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        SendMessageA(Handle(), WM_SETREDRAW, 0, 0);
        TCustomListView::WndProc(Message);
        SendMessageA(Handle(), WM_SETREDRAW, 1, 0);
        int Selected = static_cast<int>(SendMessageA(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        if (Selected >= 0)
            SendMessageA(Handle(), LVM_REDRAWITEMS, static_cast<WPARAM>(Selected), Selected);
        return;
    }
    case WM_ERASEBKGND:
        if (AnimationSnapshotDC) {
            Message.WParam = reinterpret_cast<WPARAM>(AnimationSnapshotDC);
            TCustomListView::WndProc(Message);
            return;
        }
        if (FCommonData->IsUpdating())
            return;
        break;
    case WM_HSCROLL:
        switch (LOWORD(Message.WParam)) {
        case SB_LINELEFT:
        case SB_LINERIGHT:
            TCustomListView::WndProc(Message);
            return;
        case SB_THUMBTRACK:
            TrackThumb(Message, SB_HORZ);
            return;
        default:
            FTrackBar = -1;
            break;
        }
        break;
    case WM_VSCROLL:
        if (FListHook)
            FListHook->UpdateScrollInfo(true);
        if (LOWORD(Message.WParam) == SB_THUMBTRACK) {
            TrackThumb(Message, SB_VERT);
            return;
        }
        FTrackBar = -1;
        Message.LParam = 0;
        TCustomListView::WndProc(Message);
        return;
    case WM_PRINT: {
        TCustomListView::WndProc(Message);
        if (ViewStyle() != vsReport || !FListHook)
            return;
        HDC DC = reinterpret_cast<HDC>(Message.WParam);
        const int Edge = FListHook->LeftFrameWidth;
        TBitmap* Cache = FCommonData->CacheBitmap;
        const int VBar = FListHook->VertBar && FListHook->VertBar->Shown ? GetSystemMetrics(SM_CXVSCROLL) : 0;
        const int HBar = FListHook->HorzBar && FListHook->HorzBar->Shown ? GetSystemMetrics(SM_CYHSCROLL) : 0;
        SaveDC(DC);
        MoveWindowOrg(DC, Edge, Edge);
        IntersectClipRect(DC, 0, 0, Cache->Width() - 2 * Edge - VBar, Cache->Height() - 2 * Edge - HBar);
        AnimationSnapshotDC = DC;
        PaintHeader();
        AnimationSnapshotDC = nullptr;
        RestoreDC(DC, -1);
        return;
    }
    case CM_UIACTIVATE_MSG:
        Message.Result = 1;
        return;
    default:
        break;
    }
    if (HandleCommonMessage(Message, FCommonData))
        return;
    TCustomListView::WndProc(Message);
    AfterSkinnedMessage(Message);
}

void TsCustomListView::AfterSkinnedMessage(TMessage& Message) {
    if (!Skinned() || !HandleAllocated())
        return;
    switch (Message.Msg) {
    case WM_MOVE:
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
        if (!ComponentState().Contains(csDestroying))
            Perform(WM_NCPAINT, 0, 0);
        break;
    case WM_STYLECHANGED:
        if (!ControlState().Contains(csReadingState)) {
            SendMessageA(Handle(), LVM_SCROLL, 0, 0);
            if (FListHook)
                FListHook->UpdateScrollInfo(true);
        }
        break;
    case WM_NCPAINT:
        PaintHeader();
        break;
    case LVM_INSERTITEMA:
    case LVM_INSERTITEMW:
    case LVM_DELETEITEM:
    case LVM_REDRAWITEMS:
        if (FListHook && !FCommonData->IsUpdating())
            FListHook->UpdateScrollInfo(true);
        break;
    case CM_SHOWINGCHANGED:
        if (UninitializeFlatSBProc)
            UninitializeFlatSBProc(Handle());
        RefreshEditWnd(FCommonData, FListHook);
        break;
    default:
        break;
    }
}

void TsCustomListView::BoundLabelMessage(TMessage& Message) {
    if (!FBoundLabel || !FBoundLabel->TheLabel)
        return;
    switch (Message.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
    case CM_BIDIMODECHANGED:
        break;
    case CM_VISIBLECHANGED:
        FBoundLabel->TheLabel->SetVisible(Visible());
        break;
    default:
        return;
    }
    FBoundLabel->PlaceLabel();
}

// ---------------------------------------------------------------------------------------------
// Header

void TsCustomListView::ParentNotify(TMessage& Message) {
    try {
        const Word Event = LOWORD(Message.WParam);
        if (Event != WM_CREATE && Event != WM_DESTROY)
            return;
        HWND Child = reinterpret_cast<HWND>(Message.LParam);
        char ClassName[97] = {};
        GetClassNameA(Child, ClassName, 96);
        if (lstrcmpiA(ClassName, "SysHeader32") != 0)
            return;
        if (Event == WM_CREATE)
            SubclassHeader(Child);
        else if (Child == FHeaderHandle)
            ReleaseHeader();
    } catch (Exception&) {
        Application->HandleException(this);
    }
}

void TsCustomListView::SubclassHeader(HWND Header) {
    if (!FHeaderInstance || Header == FHeaderHandle)
        return;
    ReleaseHeader();
    FHeaderHandle = Header;
    FDefHeaderProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Header, GWLP_WNDPROC));
    SetWindowLongPtrA(Header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FHeaderInstance));
}

void TsCustomListView::ReleaseHeader() {
    if (FHeaderHandle && FDefHeaderProc && IsWindow(FHeaderHandle))
        SetWindowLongPtrA(FHeaderHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FDefHeaderProc));
    FHeaderHandle = nullptr;
    FDefHeaderProc = nullptr;
}

void TsCustomListView::ClearHotColumn() {
    FHotColumn = -2;
    if (FHeaderHandle)
        PaintHeader();
}

void TsCustomListView::HeaderWndProc(TMessage& Message) {
    try {
        HeaderMessage(Message);
    } catch (Exception&) {
        Application->HandleException(this);
    }
}

void TsCustomListView::HeaderMessage(TMessage& Message) {
    HWND Header = FHeaderHandle;
    WNDPROC Def = FDefHeaderProc;
    auto CallDefault = [&] { Message.Result = CallWindowProcA(Def, Header, Message.Msg, Message.WParam, Message.LParam); };
    if (!Def)
        return;
    if (ViewStyle() != vsReport || !Skinned()) {
        CallDefault();
        return;
    }
    switch (Message.Msg) {
    case WM_PAINT:
        PaintHeader();
        return;
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case WM_NCDESTROY:
        CallDefault();
        FHeaderHandle = nullptr;
        FDefHeaderProc = nullptr;
        return;
    case WM_NCHITTEST:
        if (ColumnClick()) {
            CallDefault();
            if (FHighlightHeaders) {
                POINT P{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
                ::ScreenToClient(Header, &P);
                int Column = HeaderIndexAtPoint(MAKELPARAM(P.x, P.y));
                if (Column != FHotColumn) {
                    FHotColumn = Column;
                    PaintHeader();
                }
            }
            return;
        }
        break;
    case WM_LBUTTONUP:
        if (ColumnClick()) {
            FPressedColumn = -1;
            FHeaderMouseDown = false;
        }
        break;
    case WM_PRINT:
        PaintHeader();
        break;
    default:
        break;
    }
    CallDefault();
    if (Message.Msg == WM_MOUSEMOVE && FHeaderMouseDown && FListHook)
        FListHook->UpdateScrollInfo(true);
    if (Message.Msg == WM_LBUTTONDOWN && ColumnClick()) {
        FHeaderMouseDown = true;
        HDHITTESTINFO Hit{};
        Hit.pt.x = static_cast<short>(LOWORD(Message.LParam));
        Hit.pt.y = static_cast<short>(HIWORD(Message.LParam));
        SendMessageA(Header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&Hit));
        FPressedColumn = (Hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) ? -1 : Hit.iItem;
        RedrawWindow(Header, nullptr, nullptr, RDW_INVALIDATE);
    }
}

int TsCustomListView::HeaderIndexAtPoint(LPARAM LParam) {
    if (!FHeaderHandle)
        return -2;
    POINT P{static_cast<short>(LOWORD(LParam)), static_cast<short>(HIWORD(LParam))};
    if (FListHook && FListHook->HorzBar)
        P.x += FListHook->HorzBar->ScrollInfo.nPos;
    const int Count = static_cast<int>(SendMessageA(FHeaderHandle, HDM_GETITEMCOUNT, 0, 0));
    for (int Position = 0; Position < Count; ++Position) {
        TRect R = GetHeaderItemRect(Position);
        if (PtInRect(reinterpret_cast<RECT*>(&R), P))
            return static_cast<int>(SendMessageA(FHeaderHandle, HDM_ORDERTOINDEX, static_cast<WPARAM>(Position), 0));
    }
    return -2;
}

TRect TsCustomListView::GetHeaderItemRect(int Position) {
    TRect R;
    if (!FHeaderHandle)
        return R;
    int Index = Position;
    if (SendMessageA(Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_HEADERDRAGDROP)
        Index = static_cast<int>(SendMessageA(FHeaderHandle, HDM_ORDERTOINDEX, static_cast<WPARAM>(Position), 0));
    SendMessageA(FHeaderHandle, HDM_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&R));
    return R;
}

void TsCustomListView::PaintHeader() {
    HWND Header = FHeaderHandle;
    if (!Header || !FCommonData->CacheBitmap || !Skinned())
        return;
    PAINTSTRUCT PS;
    BeginPaint(Header, &PS);
    int RightEdge = 0;
    const int Count = static_cast<int>(SendMessageA(Header, HDM_GETITEMCOUNT, 0, 0));
    for (int Position = 0; Position < Count; ++Position) {
        TRect R = GetHeaderItemRect(Position);
        if (R.Right > R.Left && R.Bottom > R.Top)
            PaintHeaderSection(R, static_cast<int>(SendMessageA(Header, HDM_ORDERTOINDEX, static_cast<WPARAM>(Position), 0)));
        RightEdge = std::max(RightEdge, static_cast<int>(R.Right));
    }
    RECT Client;
    ::GetClientRect(Header, &Client);
    TRect Rest = Rect(RightEdge, 0, Client.right, Client.bottom);
    if (Rest.Right > Rest.Left && Rest.Bottom > Rest.Top)
        PaintHeaderSection(Rest, -1);
    EndPaint(Header, &PS);
}

void TsCustomListView::PaintHeaderSection(TRect R, int Index) {
    try {
        TsSkinManager* M = FCommonData->GetSkinManager();
        const int W = R.Right - R.Left, H = R.Bottom - R.Top;
        TOwned<TBitmap> B(NewBitmap24(W, H));
        const int S = FPressedColumn < 0 ? (Index == FHotColumn ? 1 : 0) : (Index == FPressedColumn ? 2 : 0);
        const int Section = PaintSkinItemByName(B.get(), "COLHEADER", "BUTTON", nullptr, Color(), R, M, S);
        TCanvas* C = B->Canvas();
        C->Font()->Assign(Font());
        C->Brush()->SetStyle(bsClear);
        char Text[129] = {};
        HDITEMA Item{};
        Item.mask = HDI_TEXT | HDI_FORMAT | HDI_BITMAP | HDI_IMAGE;
        Item.pszText = Text;
        Item.cchTextMax = 128;
        if (Index >= 0 && SendMessageA(FHeaderHandle, HDM_GETITEMA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&Item))) {
            const UINT Format = DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_END_ELLIPSIS;
            TCustomImageList* Images = SmallImages();
            const bool HasImage = Images && (Item.fmt & (HDF_IMAGE | HDF_OWNERDRAW));
            const int D = HasImage ? Images->Width() + 4 : 0;
            int Glyph = -1;
            if (M && (Item.fmt & (HDF_SORTDOWN | HDF_SORTUP))) {
                const bool Down = Item.fmt & HDF_SORTDOWN;
                Glyph = M->FindMaskIndex(M->CommonIndexes.ScrollButton[Down ? 1 : 0],
                                         Down ? "SCROLLBTNBOTTOM" : "SCROLLBTNTOP", "GLYPHMASK");
            }
            const bool HasGlyph = M && M->MaskIndexInRange(Glyph);
            const int GW = HasGlyph ? GetMaskImageWidth(M->MaskList[Glyph]) + HeaderMargin : 0;
            const int GH = HasGlyph ? GetMaskImageHeight(M->MaskList[Glyph]) : 0;
            SIZE Extent{};
            GetTextExtentPoint32A(C->Handle(), Text, lstrlenA(Text), &Extent);
            TRect T = HeaderTextRect(R, Item.fmt, D, Extent.cx + HeaderMargin, GW);
            if (HasGlyph)
                DrawSkinGlyph(B.get(), Point(T.Right + HeaderMargin, (T.Bottom - T.Top - GH) / 2), S, 1, M->MaskList[Glyph],
                              MakeBackgroundSource(B.get(), 0, 0));
            if (S == 2)
                OffsetRect(T, 1, 1);
            WriteSectionText(C, Text, true, M, S != 0, Section, Format, T);
            if (HasImage && Item.iImage >= 0)
                Images->Draw(C, T.Left - D, (T.Bottom - T.Top - Images->Height()) / 2 + (S == 2 ? 1 : 0), Item.iImage,
                             Enabled());
        }
        if (AnimationSnapshotDC) {
            BitBlt(AnimationSnapshotDC, R.Left, R.Top, W, H, C->Handle(), 0, 0, SRCCOPY);
        } else {
            HDC DC = GetDC(FHeaderHandle);
            BitBlt(DC, R.Left, R.Top, W, H, C->Handle(), 0, 0, SRCCOPY);
            ReleaseDC(FHeaderHandle, DC);
        }
    } catch (Exception&) {
        Application->HandleException(this);
    }
}

void sListViewInitialization() { RegisterClass(TsCustomListView::StaticClass()); }
