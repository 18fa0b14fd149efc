#include "acSBUtilsList.h"

#include "Grids.h"
#include "ImgList.h"
#include "acntUtils.h"
#include "sDCUtils.h"
#include "sGraphUtils.h"
#include "sMaskDraw.h"
#include "sMessages.h"
#include "sSectionPaint.h"
#include "sVclUtils.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace {

TsSkinManager* ManagerOf(TacMainWnd* W) { return W->SkinManager ? W->SkinManager : DefaultManager; }

// The scroll position a thumb-track message carries: in LParam when the hook's bar sent it, else in
// the high word of WParam.
int TrackPosOf(const TMessage& Message) {
    return Message.LParam ? static_cast<int>(Message.LParam) : static_cast<int>(HIWORD(Message.WParam));
}

// Paint runs on DC with its origin at the window's client area (inside a frame Edge wide) and
// clipped to it.
template <class F>
void InClientArea(HWND Wnd, int Edge, HDC DC, F Paint) {
    RECT Client{};
    GetClientRect(Wnd, &Client);
    const int Saved = SaveDC(DC);
    OffsetViewportOrgEx(DC, Edge, Edge, nullptr);
    IntersectClipRect(DC, 0, 0, Client.right, Client.bottom);
    Paint();
    RestoreDC(DC, Saved);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// List views

TacListViewWnd::TacListViewWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                               TsCommonData* ASkinData)
    : TacEditWnd(AHandle, Repaint, SkinSection, Manager, ASkinData) {
    HotColumn = -1;
    PressedColumn = -1;
    HeaderThunk = MakeObjectInstance(TWndMethod::Bind<&TacListViewWnd::HeaderWndProc>(this));
    if (HWND Header = FindWindowExA(Handle, nullptr, "SysHeader32", nullptr); Header && !HeaderWnd)
        HookHeader(Header);
    SaveStdParams();
}

TacListViewWnd::~TacListViewWnd() {
    DetachFromWindow();
    ReleaseHeader();
    if (HeaderThunk)
        FreeObjectInstance(HeaderThunk);
    HeaderThunk = nullptr;
}

void TacListViewWnd::HookHeader(HWND Header) {
    if (!Header || !HeaderThunk)
        return;
    HeaderWnd = Header;
    HeaderPrevProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(Header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HeaderThunk)));
}

void TacListViewWnd::ReleaseHeader() {
    if (HeaderWnd && IsWindow(HeaderWnd) &&
        GetWindowLongPtrA(HeaderWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(HeaderThunk))
        SetWindowLongPtrA(HeaderWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HeaderPrevProc));
    HeaderWnd = nullptr;
    HeaderPrevProc = nullptr;
}

LRESULT TacListViewWnd::CallHeader(UINT Msg, WPARAM WParam, LPARAM LParam) {
    return HeaderPrevProc ? CallWindowProcA(HeaderPrevProc, HeaderWnd, Msg, WParam, LParam) : 0;
}

void TacListViewWnd::RepaintHeader() {
    if (HeaderWnd && IsWindowVisible(HeaderWnd))
        RedrawWindow(HeaderWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

TViewStyle TacListViewWnd::ViewStyle() {
    if (auto* L = DynCast<TCustomListView>(SkinData ? SkinData->HostControl : nullptr))
        return L->ViewStyle();
    switch (SendMessageA(Handle, LVM_GETVIEW, 0, 0)) {
    case LV_VIEW_ICON: return vsIcon;
    case LV_VIEW_DETAILS: return vsReport;
    case LV_VIEW_SMALLICON: return vsSmallIcon;
    default: return vsList;
    }
}

std::vector<int> TacListViewWnd::HeaderOrder() {
    int Count = HeaderWnd ? static_cast<int>(SendMessageA(HeaderWnd, HDM_GETITEMCOUNT, 0, 0)) : 0;
    std::vector<int> Order(static_cast<std::size_t>(std::max(Count, 0)));
    for (int I = 0; I < Count; ++I)
        Order[static_cast<std::size_t>(I)] = I;
    if (Count > 0)
        SendMessageA(HeaderWnd, HDM_GETORDERARRAY, static_cast<WPARAM>(Count), reinterpret_cast<LPARAM>(Order.data()));
    return Order;
}

TRect TacListViewWnd::GetHeaderItemRect(int Position) {
    std::vector<int> Order = HeaderOrder();
    RECT R{};
    if (Position >= 0 && Position < static_cast<int>(Order.size()))
        SendMessageA(HeaderWnd, HDM_GETITEMRECT, static_cast<WPARAM>(Order[static_cast<std::size_t>(Position)]),
                     reinterpret_cast<LPARAM>(&R));
    return TRect::From(R);
}

int TacListViewWnd::HeaderColumnAt(TPoint P) {
    if (!HeaderWnd)
        return -2;
    ScreenToClient(HeaderWnd, P);
    const int Count = static_cast<int>(HeaderOrder().size());
    for (int I = 0; I < Count; ++I)
        if (PtInRect(GetHeaderItemRect(I), P))
            return I;
    return -2;
}

void TacListViewWnd::PaintHeaderSection(const TRect& R, int Column, HDC DC) {
    TsSkinManager* M = ManagerOf(this);
    if (!M || R.IsEmpty() || !DC)
        return;
    const int State = Column >= 0 && PressedColumn >= 0 ? (Column == PressedColumn ? 2 : 0)
                      : Column >= 0 && Column == HotColumn ? 1
                                                           : 0;
    const int W = R.Width(), H = R.Height();
    TOwned<TBitmap> B(NewBitmap24(W, H));
    TControl* Host = SkinData->HostControl;
    const int Section = PaintSkinItemByName(B.get(), "COLHEADER", "BUTTON", nullptr, Host ? Host->Color() : clWindow,
                                            Rect(0, 0, W, H), M, State);
    if (Column >= 0) {
        char Text[129] = {};
        HDITEMA Item{};
        Item.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE | HDI_BITMAP;
        Item.pszText = Text;
        Item.cchTextMax = 128;
        SendMessageA(HeaderWnd, HDM_GETITEMA, static_cast<WPARAM>(Column), reinterpret_cast<LPARAM>(&Item));
        TCanvas* C = B->Canvas();
        if (Host)
            C->Font()->Assign(Host->Font());
        else if (HFONT Font = reinterpret_cast<HFONT>(SendMessageA(Handle, WM_GETFONT, 0, 0)))
            C->Font()->SetHandle(Font);
        TRect Inner = Rect(4, 1, W - 4, H - 1);
        auto* List = DynCast<TCustomListView>(Host);
        TCustomImageList* Images = List ? List->SmallImages() : nullptr;
        const int ImageW = (Item.fmt & (HDF_IMAGE | HDF_OWNERDRAW)) && Images ? Images->Width() + 4 : 0;
        const int GlyphIndex = (Item.fmt & HDF_SORTDOWN)  ? M->CommonIndexes.ScrollButtonGlyph[1]
                               : (Item.fmt & HDF_SORTUP) ? M->CommonIndexes.ScrollButtonGlyph[0]
                                                         : -1;
        const bool HasGlyph = M->MaskIndexInRange(GlyphIndex);
        const int GlyphW = HasGlyph ? GetMaskImageWidth(M->MaskList[GlyphIndex]) : 0;
        const int TextW = CanvasTextWidth(C, Text) + 5;
        const int Content = ImageW + TextW + (HasGlyph ? GlyphW + 6 : 0);
        int X = Inner.Left;
        if (Item.fmt & HDF_RIGHT)
            X = Inner.Right - Content;
        else if (Item.fmt & HDF_CENTER)
            X = Inner.Left + (Inner.Width() - Content) / 2;
        X = std::max<int>(X, Inner.Left);
        const int P = State == 2 ? 1 : 0;
        TRect TextRect = Rect(X + ImageW + P, Inner.Top + P, std::min<int>(X + ImageW + TextW, Inner.Right) + P, Inner.Bottom + P);
        C->Brush()->SetStyle(bsClear);
        WriteSectionText(C, Text, true, M, State != 0, Section,
                         DT_END_ELLIPSIS | DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER, TextRect);
        if (HasGlyph) {
            const TsMaskData& Glyph = M->MaskList[GlyphIndex];
            DrawSkinGlyph(B.get(), Point(TextRect.Right - 5 + 6, (H - GetMaskImageHeight(Glyph)) / 2), State, 1, Glyph,
                          MakeBackgroundSource(B.get(), 0, 0));
        }
        if (ImageW > 0 && Item.iImage >= 0)
            Images->Draw(C, X, (H - Images->Height()) / 2 + P, Item.iImage);
    }
    BitBlt(DC, R.Left, R.Top, W, H, B->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TacListViewWnd::PaintHeader(HDC DC) {
    if (!HeaderWnd || ViewStyle() != vsReport)
        return;
    PAINTSTRUCT PS;
    HDC Own = BeginPaint(HeaderWnd, &PS);
    HDC Target = DC ? DC : Own;
    RECT Client{};
    GetClientRect(HeaderWnd, &Client);
    int Right = 0;
    for (int Item : HeaderOrder()) {
        RECT R{};
        SendMessageA(HeaderWnd, HDM_GETITEMRECT, static_cast<WPARAM>(Item), reinterpret_cast<LPARAM>(&R));
        if (R.right <= R.left || R.bottom <= R.top)
            continue;
        PaintHeaderSection(TRect::From(R), Item, Target);
        HeaderHeight = R.bottom - R.top;
        Right = std::max<int>(Right, R.right);
    }
    if (Right < Client.right)
        PaintHeaderSection(Rect(Right, 0, Client.right, Client.bottom), -2, Target);
    EndPaint(HeaderWnd, &PS);
}

void TacListViewWnd::HeaderWndProc(TMessage& Message) {
    try {
        if (!HeaderPrevProc) {
            Message.Result = DefWindowProcA(HeaderWnd, Message.Msg, Message.WParam, Message.LParam);
            return;
        }
        if (Message.Msg == WM_NCDESTROY) {
            // The header goes before the list: it gets its own procedure back on its way out.
            HWND Header = HeaderWnd;
            WNDPROC Prev = HeaderPrevProc;
            SetWindowLongPtrA(Header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Prev));
            HeaderWnd = nullptr;
            HeaderPrevProc = nullptr;
            Message.Result = CallWindowProcA(Prev, Header, Message.Msg, Message.WParam, Message.LParam);
            return;
        }
        if (ViewStyle() != vsReport || !HookSkinned()) {
            Message.Result = CallHeader(Message.Msg, Message.WParam, Message.LParam);
            return;
        }
        switch (Message.Msg) {
        case WM_PAINT:
            PaintHeader(reinterpret_cast<HDC>(Message.WParam));
            Message.Result = 0;
            return;
        case WM_ERASEBKGND:
            Message.Result = 1;
            return;
        case WM_WINDOWPOSCHANGING:
            if (IsWindowVisible(Handle))
                SendMessageA(Handle, WM_NCPAINT, 0, 0);
            break;
        case WM_NCHITTEST: {
            Message.Result = CallHeader(Message.Msg, Message.WParam, Message.LParam);
            const int At = HeaderColumnAt(Point(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)));
            std::vector<int> Order = HeaderOrder();
            const int Item = At >= 0 && At < static_cast<int>(Order.size()) ? Order[static_cast<std::size_t>(At)] : -1;
            if (Item != HotColumn) {
                HotColumn = Item;
                RepaintHeader();
            }
            return;
        }
        case WM_LBUTTONUP:
            PressedColumn = -1;
            break;
        default:
            break;
        }
        Message.Result = CallHeader(Message.Msg, Message.WParam, Message.LParam);
        if (Message.Msg == WM_LBUTTONDOWN && HeaderWnd) {
            HeaderClicked = true;
            HDHITTESTINFO Hit{};
            Hit.pt = POINT{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
            SendMessageA(HeaderWnd, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&Hit));
            PressedColumn = (Hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) ? -1 : Hit.iItem;
            InvalidateRect(HeaderWnd, nullptr, FALSE);
        }
    } catch (...) {
        Application->HandleException(nullptr);
    }
}

void TacListViewWnd::SaveStdParams() {
    TacEditWnd::SaveStdParams();
    SavedColor = static_cast<TColor>(SendMessageA(Handle, LVM_GETBKCOLOR, 0, 0));
    SavedFontColor = static_cast<TColor>(SendMessageA(Handle, LVM_GETTEXTCOLOR, 0, 0));
}

void TacListViewWnd::RestoreStdParams() {
    if (IsWindow(Handle))
        SendMessageA(Handle, LVM_SETTEXTCOLOR, 0, ColorToRGB(clWindowText));
    ReleaseHeader();
    TacEditWnd::RestoreStdParams();
}

void TacListViewWnd::SetSkinParams() {
    TacEditWnd::SetSkinParams();
    if (Unhooked)
        return;
    if (!HeaderWnd)
        HookHeader(FindWindowExA(Handle, nullptr, "SysHeader32", nullptr));
    TColor Back, Text;
    if (InDialog) {
        Back = clWindow;
        Text = clWindowText;
    } else {
        TsSkinManager* M = ManagerOf(this);
        if (!M || !M->SectionIndexInRange(SkinData->SectionIndex))
            return;
        const TsGeneralData& S = M->SectionList[SkinData->SectionIndex];
        Back = S.Color;
        Text = S.FontColor[0];
    }
    SendMessageA(Handle, LVM_SETBKCOLOR, 0, ColorToRGB(Back));
    SendMessageA(Handle, LVM_SETTEXTBKCOLOR, 0, ColorToRGB(Back));
    SendMessageA(Handle, LVM_SETTEXTCOLOR, 0, ColorToRGB(Text));
}

void TacListViewWnd::WndProc(TMessage& Message) {
    if (!HookSkinned()) {
        TacEditWnd::WndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case SM_ALPHACMD:
        switch (SkinCommandOf(Message.WParam)) {
        case SKIN_REFRESH:
            if (Message.LParam == reinterpret_cast<LPARAM>(SkinManager)) {
                TacEditWnd::WndProc(Message);
                RepaintHeader();
                return;
            }
            break;
        case SKIN_GETSECTIONINDEX:
            if (Message.LParam)
                *reinterpret_cast<int*>(Message.LParam) = SkinData->SectionIndex;
            return;
        case SKIN_BEFORESCROLL:
            Message.Result = 1;  // the list scrolls itself by the positions it is sent
            return;
        default:
            break;
        }
        break;
    case WM_NCHITTEST:
        if (HotColumn >= 0 || PressedColumn >= 0) {
            HotColumn = PressedColumn = -1;
            RepaintHeader();
        }
        break;
    case WM_HSCROLL:
        if (LOWORD(Message.WParam) == SB_THUMBTRACK) {
            int Delta = TrackPosOf(Message) - BarInteraction.LastTrackPos;
            if (ViewStyle() == vsList) {
                RECT R{LVIR_BOUNDS, 0, 0, 0};
                // A list without items has no item width: nothing to scroll by.
                Delta *= SendMessageA(Handle, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&R)) ? R.right - R.left : 0;
            }
            SendMessageA(Handle, LVM_SCROLL, static_cast<WPARAM>(Delta), 0);
        } else {
            PassOn(Message);
        }
        return;
    case WM_VSCROLL:
        if (LOWORD(Message.WParam) == SB_THUMBTRACK) {
            const int Pos = TrackPosOf(Message);
            if (Pos == BarInteraction.LastTrackPos)
                return;
            int Delta = Pos - BarInteraction.LastTrackPos;
            if (ViewStyle() == vsReport) {
                RECT R{LVIR_BOUNDS, 0, 0, 0};
                Delta *= SendMessageA(Handle, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&R)) ? R.bottom - R.top : 0;
            }
            SendMessageA(Handle, LVM_SCROLL, 0, Delta);
        } else {
            Message.LParam = 0;
            PassOn(Message);
        }
        return;
    default:
        break;
    }
    TacEditWnd::WndProc(Message);
    if (Unhooked)
        return;
    switch (Message.Msg) {
    case WM_STYLECHANGED:
    case LVM_ARRANGE:
    case LVM_INSERTITEMA:
        if (!SkinData->IsUpdating())
            UpdateScrollInfo(true);
        break;
    case WM_LBUTTONUP:
        ReleaseCapture();
        break;
    case WM_PARENTNOTIFY:
        if (LOWORD(Message.WParam) == WM_CREATE) {
            char Class[32] = {};
            HWND Child = reinterpret_cast<HWND>(Message.LParam);
            GetClassNameA(Child, Class, sizeof(Class));
            if (lstrcmpiA(Class, "SysHeader32") == 0) {
                if (HeaderWnd)
                    ReleaseHeader();
                else
                    HookHeader(Child);
            }
        }
        break;
    case WM_PRINT:
        if (HDC DC = reinterpret_cast<HDC>(Message.WParam); DC && ViewStyle() == vsReport)
            InClientArea(Handle, LeftEdge, DC, [&] { PaintHeader(DC); });
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Grids

namespace {

// The colour properties a grid hook saves and gives back, in their order.
const char* const GridColorProps[] = {"FixedColor",
                                      "TitleFont.Color",
                                      "FixedFont.Color",
                                      "GridFixedLineColor",
                                      "GridLineColor",
                                      "ControlLook.FixedGradientFrom",
                                      "ControlLook.FixedGradientTo",
                                      "ControlLook.FixedGradientMirrorFrom",
                                      "ControlLook.FixedGradientMirrorTo",
                                      "SelectionColor",
                                      "SelectionTextColor",
                                      "FooterColor",
                                      "FooterCellColor",
                                      "TitleColor",
                                      "IndicatorIconColor"};

// The object that holds a property given as "Object.Property", and the property's own name.
TObject* PropOwner(TObject* Obj, const std::string& Path, std::string& Name) {
    std::size_t Dot = Path.find('.');
    if (Dot == std::string::npos) {
        Name = Path;
        return Obj;
    }
    Name = Path.substr(Dot + 1);
    std::string Outer = Path.substr(0, Dot);
    return PropertyExists(Obj, Outer) ? GetObjectPropByName(Obj, Outer) : nullptr;
}

bool HasProp(TObject* Obj, const std::string& Path) {
    std::string Name;
    TObject* O = PropOwner(Obj, Path, Name);
    return O && PropertyExists(O, Name);
}

void SetProp(TObject* Obj, const std::string& Path, Int64 Value) {
    std::string Name;
    if (TObject* O = PropOwner(Obj, Path, Name); O && PropertyExists(O, Name))
        SetOrdPropByName(O, Name, Value);
}

bool HasDataSource(TObject* Obj) { return Obj && PropertyExists(Obj, "DataSource"); }

}  // namespace

TacGridWnd::TacGridWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                       TsCommonData* ASkinData)
    : TacEditWnd(AHandle, Repaint, SkinSection, Manager, ASkinData) {
    SaveStdParams();
}

void TacGridWnd::SaveStdParams() {
    TacEditWnd::SaveStdParams();
    TControl* Host = SkinData ? SkinData->HostControl : nullptr;
    SavedProps.clear();
    if (!Host)
        return;
    for (const char* Path : GridColorProps) {
        std::string Name;
        if (TObject* O = PropOwner(Host, Path, Name); O && PropertyExists(O, Name)) {
            Int64 V = GetOrdPropByName(O, Name);
            // A gradient colour that was never set means "the system's face colour".
            if (std::string(Path).rfind("ControlLook.", 0) == 0 && V == 0x1FFFFFFF)
                V = clBtnFace;
            SavedProps.emplace_back(Path, V);
        }
    }
}

void TacGridWnd::RestoreStdParams() {
    TacEditWnd::RestoreStdParams();
    TControl* Host = SkinData ? SkinData->HostControl : nullptr;
    if (!Host || Host->ComponentState().Contains(csDestroying))
        return;
    for (const auto& [Path, Value] : SavedProps)
        SetProp(Host, Path, Value);
}

void TacGridWnd::SetSkinParams() {
    TacEditWnd::SetSkinParams();
    TControl* Host = SkinData ? SkinData->HostControl : nullptr;
    TsSkinManager* M = ManagerOf(this);
    if (Unhooked || !Host || !M)
        return;
    const TColor A = M->GetMainColor(), Hot = M->GetMainHotColor();
    const TColor Global = M->SectionIndexInRange(M->CommonIndexes.GlobalInfo)
                              ? M->SectionList[M->CommonIndexes.GlobalInfo].Color
                              : A;
    const TColor IndicatorColor = M->SectionIndexInRange(SkinData->SectionIndex)
                                      ? M->SectionList[SkinData->SectionIndex].FontColor[0]
                                      : M->GetMainFontColor();
    const std::pair<const char*, TColor> Values[] = {
        {"FixedColor", A},
        {"TitleFont.Color", M->GetMainFontColor()},
        {"GridFixedLineColor", M->SkinData->BorderColor},
        {"GridLineColor", MixColors(Hot, M->GetEditHotFontColor(), 0.7)},
        {"ControlLook.FixedGradientFrom", MixColors(A, Hot, 0.5)},
        {"ControlLook.FixedGradientTo", A},
        {"ControlLook.FixedGradientMirrorFrom", MixColors(A, clBlack, 0.95)},
        {"ControlLook.FixedGradientMirrorTo", MixColors(A, clWhite, 0.9)},
        {"SelectionColor", M->GetMenuSelectColor()},
        {"SelectionTextColor", M->GetMenuSelectFontColor()},
        {"FooterColor", Global},
        {"FooterCellColor", Global},
        {"TitleColor", Global},
        {"IndicatorIconColor", IndicatorColor}};
    for (const auto& [Path, Value] : Values)
        SetProp(Host, Path, Value);
    if (HasProp(Host, "ControlLook"))
        SetProp(Host, "FixedFont.Color", M->GetMainFontColor());
}

void TacGridWnd::WndProc(TMessage& Message) {
    if (!HookSkinned()) {
        TacEditWnd::WndProc(Message);
        return;
    }
    TControl* Host = SkinData->HostControl;
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        SkinData->SetInUpdate(SkinData->IsUpdating());
        return;
    case WM_VSCROLL:
        if (HasDataSource(Host)) {
            const bool WW = Host->ClassName() == "TwwDBGrid";
            SCROLLINFO SI{};
            SI.cbSize = sizeof(SI);
            SI.fMask = SIF_ALL;
            GetScrollInfo(Handle, SB_VERT, &SI);
            switch (LOWORD(Message.WParam)) {
            case SB_THUMBPOSITION:
                SI.nPos = SI.nTrackPos + (WW ? 0 : 1);
                SI.fMask = SIF_POS;
                SetScrollInfo(Handle, SB_VERT, &SI, FALSE);
                break;
            case SB_THUMBTRACK:
                SI.nPos = SI.nTrackPos;
                SI.fMask = SIF_POS;
                SetScrollInfo(Handle, SB_VERT, &SI, FALSE);
                break;
            case SB_ENDSCROLL:
                if (!WW)
                    SendScrollMessage(Handle, WM_VSCROLL, SB_THUMBPOSITION, SI.nTrackPos);
                break;
            default:
                break;
            }
        }
        break;
    case WM_PRINT: {
        TacEditWnd::WndProc(Message);
        if (HDC DC = reinterpret_cast<HDC>(Message.WParam))
            InClientArea(Handle, LeftEdge, DC, [&] { SendMessageA(Handle, WM_PAINT, Message.WParam, 0); });
        return;
    }
    default:
        break;
    }
    TacEditWnd::WndProc(Message);
    if (Unhooked)
        return;
    switch (Message.Msg) {
    case WM_PAINT:
        UpdateScrollInfo(true);
        break;
    case WM_WINDOWPOSCHANGED:
        if (IsWindowVisible(Handle))
            SendMessageA(Handle, WM_NCPAINT, 0, 0);
        break;
    case SM_ALPHACMD:
        if (SkinCommandOf(Message.WParam) == SKIN_REMOVED && Message.LParam == reinterpret_cast<LPARAM>(SkinManager))
            if (auto* Grid = DynCast<TCustomGrid>(Host)) {
                // The grid makes its standard bars again only when their setting changes.
                TScrollStyle Bars = Grid->ScrollBars();
                Grid->SetScrollBars(ssNone);
                Grid->SetScrollBars(Bars);
            }
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Virtual trees

namespace {
const char* const TreeColorProps[] = {"VETColors.CompressedTextColor", "VETColors.FileTextColor",
                                      "VETColors.FolderTextColor"};

// The names in the text of a set property; an absent property holds none.
std::vector<std::string> SetPropItems(TObject* Obj, const std::string& Path) {
    std::string Name;
    TObject* O = PropOwner(Obj, Path, Name);
    std::vector<std::string> Items;
    if (!O || !PropertyExists(O, Name))
        return Items;
    std::string Text = GetSetProp(O, Name), Item;
    for (char C : Text + ",") {
        if (C == ',') {
            if (!Item.empty())
                Items.push_back(Item);
            Item.clear();
        } else if (C != ' ' && C != '[' && C != ']') {
            Item += C;
        }
    }
    return Items;
}

bool SetPropHas(TObject* Obj, const std::string& Path, const std::string& Item) {
    const auto Items = SetPropItems(Obj, Path);
    return std::find(Items.begin(), Items.end(), Item) != Items.end();
}

void SetPropItem(TObject* Obj, const std::string& Path, const std::string& Item, bool Include) {
    std::string Name;
    TObject* O = PropOwner(Obj, Path, Name);
    if (!O || !PropertyExists(O, Name) || SetPropHas(Obj, Path, Item) == Include)
        return;
    std::string Text;
    for (const std::string& I : SetPropItems(Obj, Path))
        if (I != Item)
            Text += (Text.empty() ? "" : ",") + I;
    if (Include)
        Text += (Text.empty() ? "" : ",") + Item;
    SetSetProp(O, Name, Text);
}

// The control's event of that name when it is of event type M: an event of another type, or none,
// is never touched.
template <class M>
PPropInfo EventOfType(TObject* Obj, const char* Name) {
    PPropInfo P = PropertyExists(Obj, Name) ? GetPropInfo(Obj, Name) : nullptr;
    return P && P->PropType && P->PropType->Name == EventTypeName<M> ? P : nullptr;
}

// The event set to Handler when it is empty; True when it holds Handler afterwards.
template <class M>
void TakeEmptyEvent(TObject* Obj, const char* Name, const M& Handler) {
    if (PPropInfo P = EventOfType<M>(Obj, Name); P && !GetMethodProp(Obj, P).Code)
        SetMethodProp(Obj, P, ToMethod(Handler));
}

// The event emptied while it still holds Handler: a handler the program set meanwhile stays.
template <class M>
void GiveBackEvent(TObject* Obj, const char* Name, const M& Handler) {
    if (PPropInfo P = EventOfType<M>(Obj, Name); P && GetMethodProp(Obj, P) == ToMethod(Handler))
        SetMethodProp(Obj, P, TMethod{});
}
}  // namespace

TacVirtualTreeViewWnd::TacVirtualTreeViewWnd(HWND AHandle, bool Repaint, const std::string& SkinSection,
                                             TsSkinManager* Manager, TsCommonData* ASkinData)
    : TacEditWnd(AHandle, Repaint, SkinSection, Manager, ASkinData) {
    SaveStdParams();
}

void TacVirtualTreeViewWnd::SaveStdParams() {
    TacEditWnd::SaveStdParams();
    TControl* Host = SkinData ? SkinData->HostControl : nullptr;
    if (!Host)
        return;
    TColor* Saved[] = {&SavedCompressedTextColor, &SavedFileTextColor, &SavedFolderTextColor};
    for (int I = 0; I < 3; ++I) {
        std::string Name;
        if (TObject* O = PropOwner(Host, TreeColorProps[I], Name); O && PropertyExists(O, Name))
            *Saved[I] = static_cast<TColor>(GetOrdPropByName(O, Name));
    }
    SavedOwnerDraw = SetPropHas(Host, "Header.Options", "hoOwnerDraw");
}

void TacVirtualTreeViewWnd::SetSkinParams() {
    TacEditWnd::SetSkinParams();
    TControl* Host = SkinData ? SkinData->HostControl : nullptr;
    TsSkinManager* M = ManagerOf(this);
    if (Unhooked || !Host || !M || !M->SectionIndexInRange(SkinData->SectionIndex))
        return;
    for (const char* Path : TreeColorProps)
        SetProp(Host, Path, M->SectionList[SkinData->SectionIndex].HotFontColor[0]);
    TakeEmptyEvent(Host, "OnAdvancedHeaderDraw",
                   TVTAdvancedHeaderPaintEvent::Bind<&TacVirtualTreeViewWnd::AdvancedHeaderDraw>(this));
    TakeEmptyEvent(Host, "OnHeaderDrawQueryElements",
                   TVTHeaderPaintQueryElementsEvent::Bind<&TacVirtualTreeViewWnd::HeaderDrawQueryElements>(this));
    SetPropItem(Host, "Header.Options", "hoOwnerDraw", true);
    if (HasProp(Host, "PaintInfoColumn.Color")) {
        SetProp(Host, "PaintInfoColumn.Color", M->GetMainColor());
        SetProp(Host, "PaintInfoColumn.Style", 1);
        SetProp(Host, "Header.Color", M->GetMainHotColor());
        SetProp(Host, "Header.Font.Color", M->GetMainFontColor());
        RedrawWindow(Handle, nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
        SetProp(Host, "Themed", 0);
    }
}

void TacVirtualTreeViewWnd::RestoreStdParams() {
    TacEditWnd::RestoreStdParams();
    TControl* Host = SkinData ? SkinData->HostControl : nullptr;
    if (!Host || Host->ComponentState().Contains(csDestroying))
        return;
    const TColor Saved[] = {SavedCompressedTextColor, SavedFileTextColor, SavedFolderTextColor};
    for (int I = 0; I < 3; ++I)
        if (Saved[I] != clNone)
            SetProp(Host, TreeColorProps[I], Saved[I]);
    GiveBackEvent(Host, "OnAdvancedHeaderDraw",
                  TVTAdvancedHeaderPaintEvent::Bind<&TacVirtualTreeViewWnd::AdvancedHeaderDraw>(this));
    GiveBackEvent(Host, "OnHeaderDrawQueryElements",
                  TVTHeaderPaintQueryElementsEvent::Bind<&TacVirtualTreeViewWnd::HeaderDrawQueryElements>(this));
    SetPropItem(Host, "Header.Options", "hoOwnerDraw", SavedOwnerDraw);
    if (HasProp(Host, "PaintInfoColumn.Color")) {
        SetProp(Host, "Themed", 1);
        SetProp(Host, "PaintInfoColumn.Color", clBtnFace);
        SetProp(Host, "Header.Color", clBtnFace);
        SetProp(Host, "Header.Font.Color", clBtnText);
    }
}

LRESULT TacVirtualTreeViewWnd::PaintFrame(HDC DC, WPARAM Reserved) {
    PaintHookCorners(SkinData, 0, this);
    if (TBitmap* Cache = SkinData->CacheBitmap)
        CopyBorderStrips(DC, 0, 0, LeftEdge, Cache->Canvas()->Handle(), 0, 0, Cache->Width(), Cache->Height());
    return PaintScrollBars(Handle, static_cast<int>(Reserved), DC, -1);
}

void TacVirtualTreeViewWnd::WndProc(TMessage& Message) {
    if (!HookSkinned()) {
        TacEditWnd::WndProc(Message);
        return;
    }
    TsCommonData& D = *SkinData;
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        return;
    case WM_NCPAINT: {
        if (!IsWindowVisible(Handle))
            break;
        GetWindowGeometry(Handle, HookParent, HookWndRect, 0, HookWndPos, HookWndSize, HookParentRect);
        if (D.IsUpdating())
            return;
        if (D.BackgroundStale) {
            if (!SkinParamsApplied)
                SetSkinParams();
            PaintBorderCache(SkinData, Handle, InDialog);
        }
        HDC DC = GetWindowDC(Handle);
        LPARAM None = 0;
        CallPrevWndProc(Handle, WM_PRINT, None, reinterpret_cast<WPARAM>(DC));
        Message.Result = PaintFrame(DC, Message.WParam);
        ReleaseDC(Handle, DC);
        return;
    }
    case WM_PRINT: {
        HDC DC = reinterpret_cast<HDC>(Message.WParam);
        if (!DC)
            break;
        D.SetInUpdate(false);
        if (D.BackgroundStale) {
            SetSkinParams();
            PaintBorderCache(SkinData, Handle, false);
        }
        // The tree paints its rows below its header, which it paints itself.
        TControl* Host = D.HostControl;
        const int HeaderHeight = Host && SetPropHas(Host, "Header.Options", "hoVisible") && HasProp(Host, "Header.Height")
                                     ? static_cast<int>(GetOrdPropByName(GetObjectPropByName(Host, "Header"), "Height"))
                                     : 0;
        const int Saved = SaveDC(DC);
        OffsetViewportOrgEx(DC, LeftEdge, LeftEdge + HeaderHeight, nullptr);
        LPARAM None = 0;
        CallPrevWndProc(Handle, WM_PRINTCLIENT, None, Message.WParam);
        RestoreDC(DC, Saved);
        CallPrevWndProc(Handle, WM_PRINT, Message.LParam, Message.WParam);
        Message.Result = PaintFrame(DC, 0);
        return;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (LOWORD(Message.WParam) == SB_THUMBTRACK) {
            const int Bar = Message.Msg == WM_HSCROLL ? SB_HORZ : SB_VERT;
            SCROLLINFO SI{};
            SI.cbSize = sizeof(SI);
            SI.fMask = SIF_TRACKPOS;
            GetScrollInfo(Handle, Bar, &SI);
            SI.nPos = SI.nTrackPos;
            SI.fMask = SIF_POS;
            SetScrollInfo(Handle, Bar, &SI, FALSE);
        }
        break;
    default:
        break;
    }
    TacEditWnd::WndProc(Message);
}

void TacVirtualTreeViewWnd::HeaderDrawQueryElements(TObject*, THeaderPaintInfo&, int& Elements) {
    Elements = hpeBackground | hpeText | hpeSortGlyph | hpeCaption;
}

void TacVirtualTreeViewWnd::AdvancedHeaderDraw(TObject*, THeaderPaintInfo& PaintInfo, int Elements) {
    TsSkinManager* M = DefaultManager;
    const TRect R = PaintInfo.PaintRectangle;
    if (Busy || !HookSkinned() || !M || !PaintInfo.TargetCanvas || R.IsEmpty())
        return;
    HDC Target = PaintInfo.TargetCanvas->Handle();
    const int W = R.Width(), H = R.Height();
    TOwned<TBitmap> B(NewBitmap24(W, H));
    TCanvas* C = B->Canvas();
    int Section = M->FindSectionIndex("COLHEADER");
    if (Section < 0)
        Section = M->FindSectionIndex("BUTTON");
    const int State = PaintInfo.IsDownIndex ? 2 : PaintInfo.IsHoverIndex ? 1 : 0;
    TObject* Column = PaintInfo.Column;
    if (!Column) {
        // Right of the last column the header shows the section's plain colour.
        C->Brush()->SetColor(M->SectionIndexInRange(Section) ? M->SectionList[Section].Color : M->GetMainColor());
        C->FillRect(Rect(0, 0, W, H));
    } else if (Elements & hpeBackground) {
        PaintSkinItemByName(B.get(), "COLHEADER", "BUTTON", Target, clBtnFace, R, M, State);
    } else {
        BitBlt(C->Handle(), 0, 0, W, H, Target, R.Left, R.Top, SRCCOPY);
        C->Font()->Assign(PaintInfo.TargetCanvas->Font());
        C->Brush()->SetStyle(bsClear);
        const std::string Text = PropertyExists(Column, "Text") ? GetStrProp(Column, "Text") : std::string();
        if ((Elements & hpeCaption) && !(Elements & hpeText))
            WriteSectionText(C, Text, true, M, State != 0, Section, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                             Rect(0, 0, W, H));
        if ((Elements & hpeSortGlyph) && PaintInfo.ShowSortGlyph) {
            TControl* Host = SkinData->HostControl;
            const bool Top = Host && HasProp(Host, "Header.SortDirection") &&
                             GetOrdPropByName(GetObjectPropByName(Host, "Header"), "SortDirection") != 0;
            const int Glyph = M->CommonIndexes.ScrollButtonGlyph[Top ? 0 : 1];
            if (M->MaskIndexInRange(Glyph)) {
                const TsMaskData& G = M->MaskList[Glyph];
                DrawSkinGlyph(B.get(), Point(PaintInfo.SortGlyphPos.X - R.Left, (H - GetMaskImageHeight(G)) / 2), State,
                              1, G, MakeBackgroundSource(B.get(), 0, 0));
            }
        }
        if (Elements & hpeText) {
            const bool Wrap = SetPropHas(Column, "Options", "coWrapCaption");
            WriteSectionText(C, Text, true, M, State != 0, Section,
                             DT_END_ELLIPSIS | DT_VCENTER | (Wrap ? DT_WORDBREAK : DT_SINGLELINE), Rect(4, 0, W - 4, H));
        }
    }
    BitBlt(Target, R.Left, R.Top, W, H, C->Handle(), 0, 0, SRCCOPY);
}
