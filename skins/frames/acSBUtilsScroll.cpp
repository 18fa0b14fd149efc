// The skinned scroll bars of the scrolling hooks (part of the window-hooks unit, acSBUtils.h): the
// hook takes the bars' room out of the client area itself, paints them from the skin into the
// non-client area, hit-tests them and turns clicks, drags and the auto-repeat into the scroll
// messages the standard bars would send.
#include "acSBUtils.h"

#include "sGraphUtils.h"
#include "sMaskDraw.h"
#include "sMessages.h"
#include "sPaintServices.h"
#include "sSectionPaint.h"
#include "sVclUtils.h"

#include <algorithm>
#include <climits>

TacScrollBarInteraction BarInteraction;

namespace {

constexpr int HorzKind = 0;
constexpr int VertKind = 1;

TsSkinManager* ManagerOf(TacScrollWnd* Owner) {
    if (Owner && Owner->SkinManager)
        return Owner->SkinManager;
    if (Owner && Owner->SkinData && Owner->SkinData->GetSkinManager())
        return Owner->SkinData->GetSkinManager();
    return DefaultManager;
}

TsSkinManager* ManagerOf(TacScrollBar* Bar) { return ManagerOf(Bar ? Bar->Owner : nullptr); }

void ReadScrollInfo(HWND Handle, TacScrollBar* Bar) {
    Bar->ScrollInfo = SCROLLINFO{};
    Bar->ScrollInfo.cbSize = sizeof(SCROLLINFO);
    Bar->ScrollInfo.fMask = SIF_ALL;
    GetScrollInfo(Handle, Bar->Kind == HorzKind ? SB_HORZ : SB_VERT, &Bar->ScrollInfo);
}

// Along the bar's axis: start, end and length of a rectangle, and a coordinate of a point.
int AxisStart(const TacScrollBar* Bar, const TRect& R) { return Bar->Kind == HorzKind ? R.Left : R.Top; }
int AxisEnd(const TacScrollBar* Bar, const TRect& R) { return Bar->Kind == HorzKind ? R.Right : R.Bottom; }
int AxisLength(const TacScrollBar* Bar, const TRect& R) { return AxisEnd(Bar, R) - AxisStart(Bar, R); }
// A rectangle of the bar's cross extent between two axis positions.
TRect AxisSpan(int Kind, const TRect& R, int From, int To) {
    return Kind == HorzKind ? Rect(From, R.Top, To, R.Bottom) : Rect(R.Left, From, R.Right, To);
}

TPoint CursorOfMessage() {
    DWORD P = GetMessagePos();
    return Point(static_cast<short>(LOWORD(P)), static_cast<short>(HIWORD(P)));
}

}  // namespace

void ResetScrollBarInteraction(HWND Handle) {
    TacScrollBarInteraction& S = BarInteraction;
    if (!Handle || S.ActiveBarWindow != Handle)
        return;
    if (IsWindow(Handle)) {
        if (S.HoverTimer)
            KillTimer(Handle, HoverTimerId);
        if (S.RepeatTimer) {
            KillTimer(Handle, RepeatDelayTimerId);
            KillTimer(Handle, RepeatTimerId);
        }
    }
    S = TacScrollBarInteraction{};
}

namespace {

// The names of the skin sections a bar of one kind is painted with.
struct TBarSections {
    const char* TrackBefore;
    const char* TrackAfter;
    const char* FirstButton;
    const char* SecondButton;
    const char* Thumb;
    bool GlyphAtEnd[2];  // per button: its glyph band lies at the far end
};
const TBarSections& SectionsOf(int Kind) {
    static const TBarSections Horz{"SCROLLBAR1H", "SCROLLBAR2H", "SCROLLBTNLEFT", "SCROLLBTNRIGHT", "SCROLLSLIDERH",
                                   {false, true}};
    static const TBarSections Vert{"SCROLLBAR1V", "SCROLLBAR2V", "SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLSLIDERV",
                                   {false, true}};
    return Kind == HorzKind ? Horz : Vert;
}

// A section painted with its border mask, pattern and hot pattern into Rect of Bitmap, over what
// Bitmap already holds there.
void PaintBarSection(const std::string& Name, TRect Rect, int State, TBitmap* Bitmap, TsSkinManager* M) {
    if (!M || !Bitmap || Rect.IsEmpty())
        return;
    int Section = M->FindSectionIndex(Name);
    if (!M->SectionIndexInRange(Section))
        return;
    BackgroundSource Background = MakeBackgroundSource(Bitmap, 0, 0);
    PaintSectionWithMask(Section, M->FindTextureIndex(Section, Name, "HOTPATTERN"),
                         M->FindTextureIndex(Section, Name, "PATTERN"), M, Bitmap, Rect.TopLeft(), Rect, State, true,
                         Background, Name, M->FindMaskIndex(Section, Name, "BORDERSMASK"));
}

// A button or thumb: the section over a copy of what lies behind it, its glyph centred in Band.
void PaintBarPiece(const std::string& Name, TRect Rect, TRect Band, int State, TBitmap* Bitmap, TsSkinManager* M) {
    if (!M || !Bitmap || Rect.IsEmpty())
        return;
    TOwned<TBitmap> Piece(NewBitmap24(Rect.Width(), Rect.Height()));
    BitBlt(Piece->Canvas()->Handle(), 0, 0, Rect.Width(), Rect.Height(), Bitmap->Canvas()->Handle(), Rect.Left,
           Rect.Top, SRCCOPY);
    TRect Local = ::Rect(0, 0, Rect.Width(), Rect.Height());
    PaintBarSection(Name, Local, State, Piece.get(), M);
    int Section = M->FindSectionIndex(Name);
    if (Section >= 0) {
        OffsetRect(Band, -Rect.Left, -Rect.Top);
        PaintScrollArrowGlyph(Piece.get(), M->FindMaskIndex(Section, Name, "GLYPHMASK"), State, Band, M);
    }
    BitBlt(Bitmap->Canvas()->Handle(), Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), Piece->Canvas()->Handle(), 0,
           0, SRCCOPY);
}

// The glyph band of a button: DefaultScrollButtonSize pixels at its outer end.
TRect GlyphBand(const TRect& R, int Kind, bool AtEnd) {
    int Band = std::min<int>(ScrollBarArrowWidth, Kind == HorzKind ? R.Width() : R.Height());
    if (Kind == HorzKind)
        return AtEnd ? Rect(R.Right - Band, R.Top, R.Right, R.Bottom) : Rect(R.Left, R.Top, R.Left + Band, R.Bottom);
    return AtEnd ? Rect(R.Left, R.Bottom - Band, R.Right, R.Bottom) : Rect(R.Left, R.Top, R.Right, R.Top + Band);
}

void PaintButton(int Kind, bool Second, TRect Rect, int State, TBitmap* Bitmap, TsSkinManager* M) {
    const TBarSections& S = SectionsOf(Kind);
    PaintBarPiece(Second ? S.SecondButton : S.FirstButton, Rect, GlyphBand(Rect, Kind, S.GlyphAtEnd[Second]), State,
                  Bitmap, M);
}

// The whole image of a bar of length L in Bitmap: the two track halves split at the thumb's middle,
// the arrows of length B, the thumb (when ThumbLength > 0) at ThumbOffset from the start.
struct TBarLook {
    int ArrowLength = 0;
    int ThumbOffset = 0;
    int ThumbLength = 0;
    int States[6] = {0, 0, 0, 0, 0, 0};  // per part code
};

void DrawBar(int Kind, TBitmap* Bitmap, const TBarLook& Look, TsSkinManager* M) {
    const TBarSections& S = SectionsOf(Kind);
    TRect All = Rect(0, 0, Bitmap->Width(), Bitmap->Height());
    int L = Kind == HorzKind ? All.Right : All.Bottom;
    int B = Look.ArrowLength;
    if (2 * B < L) {
        int Middle = B + Look.ThumbOffset + Look.ThumbLength / 2;
        PaintBarSection(S.TrackBefore, AxisSpan(Kind, All, 0, Middle), Look.States[sbpTrackBefore], Bitmap, M);
        PaintBarSection(S.TrackAfter, AxisSpan(Kind, All, Middle, L), Look.States[sbpTrackAfter], Bitmap, M);
        PaintButton(Kind, false, AxisSpan(Kind, All, 0, B), Look.States[sbpFirstArrow], Bitmap, M);
        PaintButton(Kind, true, AxisSpan(Kind, All, L - B, L), Look.States[sbpSecondArrow], Bitmap, M);
        if (Look.ThumbLength > 0) {
            TRect Thumb = AxisSpan(Kind, All, B + Look.ThumbOffset, B + Look.ThumbOffset + Look.ThumbLength);
            PaintBarPiece(S.Thumb, Thumb, Thumb, Look.States[sbpThumb], Bitmap, M);
        }
        return;
    }
    // Too short for a thumb: each track half and each arrow takes one half.
    int Half = L / 2;
    PaintBarSection(S.TrackBefore, AxisSpan(Kind, All, 0, Half), Look.States[sbpTrackBefore], Bitmap, M);
    PaintBarSection(S.TrackAfter, AxisSpan(Kind, All, Half, L), Look.States[sbpTrackAfter], Bitmap, M);
    PaintButton(Kind, false, AxisSpan(Kind, All, 0, Half), Look.States[sbpFirstArrow], Bitmap, M);
    PaintButton(Kind, true, AxisSpan(Kind, All, Half, L), Look.States[sbpSecondArrow], Bitmap, M);
}

// The window's own background behind Rect (window coordinates) of Handle.
BackgroundSource WindowBackground(HWND Handle, ParentBackgroundInfo& Info) {
    QueryWindowBackground(Info, Handle, false);
    BackgroundSource B;
    ToBackgroundSource(Info, B);
    return B;
}

void FillFromBackground(TBitmap* Bitmap, const BackgroundSource& B, TPoint At) {
    TCanvas* C = Bitmap->Canvas();
    if (B.Bmp) {
        C->Brush()->SetColor(clBlack);
        C->FillRect(Rect(0, 0, Bitmap->Width(), Bitmap->Height()));
        BitBlt(C->Handle(), 0, 0, Bitmap->Width(), Bitmap->Height(), B.Bmp->Canvas()->Handle(), At.X + B.OffsetX,
               At.Y + B.OffsetY, SRCCOPY);
        return;
    }
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(B.Color);
    C->FillRect(Rect(0, 0, Bitmap->Width(), Bitmap->Height()));
}

TRect ScreenToWindow(HWND Handle, TRect R) {
    RECT W{};
    GetWindowRect(Handle, &W);
    OffsetRect(R, -W.left, -W.top);
    return R;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Sizes, geometry and hit-testing

int GetScrollBarSize(TacScrollBar* Bar, int Which, bool UseSkin) {
    if (!Bar || Bar->Kind > VertKind)
        return 0;
    if (Which != 0)
        return Bar->Thickness >= 0 ? Bar->Thickness
                                   : -Bar->Thickness * GetSystemMetrics(Bar->Kind == HorzKind ? SM_CYHSCROLL : SM_CXVSCROLL);
    if (Bar->ArrowLength >= 0)
        return Bar->ArrowLength;
    int Default = ScrollBarArrowWidth;
    TsSkinManager* M = UseSkin ? ManagerOf(Bar) : nullptr;
    if (M) {
        int Left = M->FindSectionIndex("SCROLLBTNLEFT");
        int LeftMask = M->FindMaskIndex(Left, "SCROLLBTNLEFT", "BORDERSMASK");
        if (M->SectionIndexInRange(Left) && M->SectionList[Left].ReservedBoolean && M->MaskIndexInRange(LeftMask)) {
            if (Bar->Kind == HorzKind)
                return -Bar->ArrowLength * std::max(Default, GetMaskImageWidth(M->MaskList[LeftMask]));
            int Top = M->FindSectionIndex("SCROLLBTNTOP");
            int TopMask = M->FindMaskIndex(Top, "SCROLLBTNTOP", "BORDERSMASK");
            if (M->MaskIndexInRange(TopMask))
                return -Bar->ArrowLength * std::max(Default, GetMaskImageHeight(M->MaskList[TopMask]));
        }
    }
    return -Bar->ArrowLength * Default;
}

TacScrollBar* GetScrollBarOfWindow(HWND Handle, int Kind) {
    auto* Hook = DynCast<TacScrollWnd>(GetHookOfWindow(Handle));
    return Hook ? Hook->BarOfKind(Kind) : nullptr;
}

bool SetMinThumbSize(HWND Handle, int Which, int Size) {
    auto* Hook = DynCast<TacScrollWnd>(GetHookOfWindow(Handle));
    if (!Hook)
        return false;
    if ((Which == 0 || Which == 3) && Hook->HorzBar)
        Hook->HorzBar->MinThumbSize = Size;
    if ((Which == 1 || Which == 3) && Hook->VertBar)
        Hook->VertBar->MinThumbSize = Size;
    return true;
}

void CalcThumb(TacScrollBar* Bar, const TRect& Rect, int& ThumbSize, int, int& ThumbStart) {
    const SCROLLINFO& SI = Bar->ScrollInfo;
    int A = GetScrollBarSize(Bar, 0, false);
    int L = AxisLength(Bar, Rect) - 2 * A;
    unsigned Range = static_cast<unsigned>(SI.nMax) - static_cast<unsigned>(SI.nMin);
    // Wider ranges than a signed MulDiv can take get no thumb at all.
    bool Huge = Range > 0x7FFFFFFEu;
    if (SI.nPage == 0)
        ThumbSize = A;
    else if (!Huge)
        ThumbSize = std::max(MulDiv(static_cast<int>(SI.nPage), L, static_cast<int>(Range) + 1), Bar->MinThumbSize);
    else
        ThumbSize = 0;
    int Offset = 0;
    if (!Huge)
        Offset = MulDiv(SI.nPos - SI.nMin, L - ThumbSize,
                        static_cast<int>(Range) - std::max<int>(1, static_cast<int>(SI.nPage)) + 1);
    Offset = std::max(0, std::min(Offset, L - ThumbSize));
    ThumbStart = AxisStart(Bar, Rect) + A + Offset;
}

namespace {
// The part under Along (a coordinate on the bar's axis) of a bar whose cross extent holds the point.
int PartAlongAxis(TacScrollBar* Bar, const TRect& Rect, int Along) {
    int Start = AxisStart(Bar, Rect), End = AxisEnd(Bar, Rect), Length = End - Start;
    if (Along < Start || Along >= End)
        return sbpNone;
    int A = GetScrollBarSize(Bar, 0, false);
    if (2 * A >= Length)
        A = Length / 2;
    if (Along < Start + A)
        return sbpFirstArrow;
    if (Along >= End - A)
        return sbpSecondArrow;
    int Size = 0, ThumbStart = 0;
    CalcThumb(Bar, Rect, Size, 0, ThumbStart);
    if (Size >= Length - 2 * A)
        return sbpNone;
    if (Along >= ThumbStart && Along < ThumbStart + Size)
        return sbpThumb;
    if (Along < ThumbStart)
        return sbpTrackBefore;
    if (Along >= ThumbStart + Size)
        return sbpTrackAfter;
    return sbpNone;
}
}  // namespace

int HorzBarPartAt(TacScrollBar* Bar, int, const TRect& Rect, int Y, int X) {
    if (!Bar || Y < Rect.Top || Y >= Rect.Bottom)
        return sbpNone;
    return PartAlongAxis(Bar, Rect, X);
}

int VertBarPartAt(TacScrollBar* Bar, int, const TRect& Rect, int Y, int X) {
    if (!Bar || X < Rect.Left || X >= Rect.Right)
        return sbpNone;
    return PartAlongAxis(Bar, Rect, Y);
}

int HitTestHorzBar(TacScrollBar* Bar, HWND, const TRect& Rect, int Y, int X) { return HorzBarPartAt(Bar, 0, Rect, Y, X); }

int HitTestVertBar(TacScrollBar* Bar, HWND, const TRect& Rect, int Y, int X) { return VertBarPartAt(Bar, 0, Rect, Y, X); }

int HitTestScrollBar(TacScrollBar* Bar, HWND Handle, const TRect& Rect, int Y, int X) {
    if (!Bar)
        return sbpNone;
    return Bar->Kind == HorzKind ? HitTestHorzBar(Bar, Handle, Rect, Y, X) : HitTestVertBar(Bar, Handle, Rect, Y, X);
}

void ApplyBarInsets(TacScrollBar* Bar, TRect& Rect) {
    LONG& Start = Bar->Kind == HorzKind ? Rect.Left : Rect.Top;
    LONG& End = Bar->Kind == HorzKind ? Rect.Right : Rect.Bottom;
    if (Bar->UseInsetBefore)
        Start += Bar->InsetBefore;
    if (Bar->UseInsetAfter)
        End -= Bar->InsetAfter;
}

bool ScrollRangeUsable(const SCROLLINFO& Info) {
    return Info.nMax >= static_cast<int>(Info.nPage) && Info.nMin < Info.nMax && Info.nMax != 0;
}

bool IsScrollBarEnabled(TacScrollBar* Bar) {
    if (!Bar || !Bar->Owner)
        return false;
    HWND Handle = Bar->Owner->Handle;
    if (!GetScrollBarInfoProc)
        return (GetWindowLongPtrA(Handle, GWL_STYLE) & (Bar->Kind == HorzKind ? WS_HSCROLL : WS_VSCROLL)) != 0;
    SCROLLBARINFO Info{};
    Info.cbSize = sizeof(SCROLLBARINFO);
    if (!GetScrollBarInfoProc(Handle, Bar->Kind == HorzKind ? OBJID_HSCROLL : OBJID_VSCROLL, &Info))
        return false;
    if ((Bar->Flags & 3) == 3)
        return false;
    if ((Bar->Flags & 4) && !ScrollRangeUsable(Bar->ScrollInfo))
        return false;
    return (Info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0;
}

// ---------------------------------------------------------------------------------------------
// Scroll messages

void SendScrollMessage(HWND Handle, UINT Msg, int Code, int Pos) {
    LPARAM Pair = MAKELONG(Code, Msg);
    LRESULT Self = SendMessageA(Handle, SM_ALPHACMD, SkinCommandParam(SKIN_BEFORESCROLL), Pair);
    LPARAM LParam = 0;
    if (Self != 1) {
        int Which = Msg == WM_HSCROLL ? SB_HORZ : SB_VERT;
        SCROLLINFO SI{};
        SI.cbSize = sizeof(SI);
        SI.fMask = SIF_ALL;
        GetScrollInfo(Handle, Which, &SI);
        if (Code == SB_THUMBTRACK) {
            SI.fMask = SIF_POS;
            SI.nPos = Pos;
            SetScrollInfo(Handle, Which, &SI, FALSE);
        }
    } else {
        LParam = Pos;
    }
    SendMessageA(Handle, Msg, MAKEWPARAM(Code, std::min(Pos, 0xFFFF)), LParam);
    SendMessageA(Handle, SM_ALPHACMD, SkinCommandParam(SKIN_AFTERSCROLL), Pair);
}

// ---------------------------------------------------------------------------------------------
// Painting

void PaintScrollArrowGlyph(TBitmap* Bitmap, int MaskIndex, int State, TRect Rect, TsSkinManager* Manager) {
    TsSkinManager* M = Manager ? Manager : DefaultManager;
    if (!M || !Bitmap || !M->MaskIndexInRange(MaskIndex))
        return;
    const TsMaskData& Mask = M->MaskList[MaskIndex];
    int W = Mask.R.Width() / std::max<int>(1, Mask.ImageCount);
    int H = Mask.R.Height() / std::max<int>(1, Mask.MaskType + 1);
    TPoint At = Point((Rect.Width() - W) / 2 + Rect.Left, (Rect.Height() - H) / 2 + Rect.Top);
    DrawSkinGlyph(Bitmap, At, State, 1, Mask, MakeBackgroundSource(Bitmap, 0, 0));
}

void PaintUpArrowButton(TRect Rect, int State, TBitmap* Bitmap, TsSkinManager* Manager) {
    PaintButton(VertKind, false, Rect, State, Bitmap, Manager);
}
void PaintDownArrowButton(TRect Rect, int State, TBitmap* Bitmap, TsSkinManager* Manager) {
    PaintButton(VertKind, true, Rect, State, Bitmap, Manager);
}
void PaintLeftArrowButton(TRect Rect, int State, TBitmap* Bitmap, TsSkinManager* Manager) {
    PaintButton(HorzKind, false, Rect, State, Bitmap, Manager);
}
void PaintRightArrowButton(TRect Rect, int State, TBitmap* Bitmap, TsSkinManager* Manager) {
    PaintButton(HorzKind, true, Rect, State, Bitmap, Manager);
}
void PaintHorzThumb(TRect Rect, int State, TBitmap* Bitmap, TsSkinManager* Manager) {
    PaintBarPiece(SectionsOf(HorzKind).Thumb, Rect, Rect, State, Bitmap, Manager);
}
void PaintVertThumb(TRect Rect, int State, TBitmap* Bitmap, TsSkinManager* Manager) {
    PaintBarPiece(SectionsOf(VertKind).Thumb, Rect, Rect, State, Bitmap, Manager);
}

int PaintScrollBar(TacScrollBar* Bar, HWND Handle, HDC DC, int ThumbPos, int PressedPart, const TRect& Rect) {
    if (!Bar || !Bar->Owner || Bar->Owner->ThumbTracking || !Bar->Shown)
        return 0;
    if (Bar->Kind == VertKind && Bar->Owner->Unhooked)
        return 0;
    TsSkinManager* M = ManagerOf(Bar);
    if (!M || !M->SectionIndexInRange(M->FindSectionIndex(SectionsOf(Bar->Kind).TrackBefore)) ||
        AxisLength(Bar, Rect) <= 1)
        return 0;
    ReadScrollInfo(Handle, Bar);
    const int B = GetScrollBarSize(Bar, 0, true);
    const int L = AxisLength(Bar, Rect);
    TControl* Host = Bar->Owner->SkinData ? Bar->Owner->SkinData->HostControl : nullptr;
    const bool Enabled = IsScrollBarEnabled(Bar) && (!Host || Host->Enabled());
    const TacScrollBarInteraction& S = BarInteraction;
    const bool Active = Handle == S.ActiveBarWindow;
    if (!Active)
        PressedPart = sbpNone;
    auto Hot = [&](int Part) { return Active && Enabled && S.HoverBar == Bar->Kind && S.HoverPart == Part; };

    int ThumbLength = 0, ThumbStart = 0;
    CalcThumb(Bar, Rect, ThumbLength, 0, ThumbStart);
    if (ThumbPos != -1)
        ThumbStart = ThumbPos;
    TBarLook Look;
    Look.ArrowLength = B;
    Look.ThumbOffset = ThumbStart - AxisStart(Bar, Rect) - B;
    for (int Part : {sbpFirstArrow, sbpSecondArrow})
        Look.States[Part] = PressedPart == Part ? 2 : Hot(Part) ? 1 : 0;
    Look.States[sbpTrackBefore] = PressedPart == sbpTrackBefore ? 2 : 0;
    Look.States[sbpTrackAfter] = PressedPart == sbpTrackAfter ? 2 : 0;
    Look.States[sbpThumb] = PressedPart == sbpThumb ? 2 : Hot(sbpThumb) ? 1 : 0;
    const SCROLLINFO& SI = Bar->ScrollInfo;
    int Track = L - 2 * B;
    int Needed = std::max(Bar->MinThumbSize, MulDiv(static_cast<int>(SI.nPage), Track, SI.nMax - SI.nMin));
    if (Enabled && ThumbLength > 0 && Track >= Needed)
        Look.ThumbLength = ThumbLength;

    TOwned<TBitmap> Image(NewBitmap24(Rect.Width(), Rect.Height()));
    ParentBackgroundInfo Info;
    BackgroundSource Background = WindowBackground(Handle, Info);
    FillFromBackground(Image.get(), Background, Rect.TopLeft());
    DrawBar(Bar->Kind, Image.get(), Look, M);
    if (!Enabled) {
        if (Background.Bmp) {
            BlendBitmapRect(Image.get(), 0, 0, NoKeyColor, 0.4,
                            ::Rect(Rect.Left + Background.OffsetX, Rect.Top + Background.OffsetY,
                                 Rect.Right + Background.OffsetX, Rect.Bottom + Background.OffsetY),
                            Background.Bmp);
        } else {
            PaintSoftShadow(Image.get(), ::Rect(0, 0, Rect.Width(), Rect.Height()), 60, Background.Color, 0, 0);
        }
    }
    BitBlt(DC, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), Image->Canvas()->Handle(), 0, 0, SRCCOPY);
    return 1;
}

int PaintHorzScrollBar(TacScrollBar* Bar, HWND Handle, HDC DC, int ThumbPos, int PressedPart, const TRect& Rect) {
    return PaintScrollBar(Bar, Handle, DC, ThumbPos, PressedPart, Rect);
}

int PaintVertScrollBar(TacScrollBar* Bar, HWND Handle, HDC DC, int ThumbPos, int PressedPart, const TRect& Rect) {
    return PaintScrollBar(Bar, Handle, DC, ThumbPos, PressedPart, Rect);
}

LRESULT TacScrollWnd::PaintScrollBars(HWND AHandle, int, HDC DC, int ThumbPos) {
    if (SkinData) {
        SkinData->InUpdate = SkinData->IsUpdating();
        TControl* Host = SkinData->HostControl;
        if (SkinData->InUpdate || (Host && (Host->ControlState().Contains(csCreating) || !IsWindowVisible(AHandle))))
            return 0;
        if (SkinData->BackgroundStale)
            SendMessageA(AHandle, SM_ALPHACMD, SkinCommandParam(SKIN_PREPARECACHE), 0);
    }
    if (!HorzBar || !VertBar)
        return 0;
    HDC Own = DC ? nullptr : GetWindowDC(AHandle);
    HDC Target = DC ? DC : Own;
    LRESULT Result = 0;
    const TacScrollBarInteraction& S = BarInteraction;
    TRect HR = ScreenToWindow(AHandle, GetHorzBarRect());
    TRect VR = ScreenToWindow(AHandle, GetVertBarRect());
    if (HorzBar->Shown)
        Result |= PaintHorzScrollBar(HorzBar, AHandle, Target, ThumbPos, S.PressedBar == 0 ? S.PressedPartNow : sbpNone,
                                     HR);
    if (VertBar->Shown)
        Result |= PaintVertScrollBar(VertBar, AHandle, Target, ThumbPos, S.PressedBar == 1 ? S.PressedPartNow : sbpNone,
                                     VR);
    if (HorzBar->Shown && VertBar->Shown) {
        TRect Corner = Rect(VR.Left, HR.Top, VR.Right, HR.Bottom);
        TOwned<TBitmap> Square(NewBitmap24(Corner.Width(), Corner.Height()));
        ParentBackgroundInfo Info;
        BackgroundSource Background = WindowBackground(AHandle, Info);
        FillFromBackground(Square.get(), Background, Corner.TopLeft());
        TsSkinManager* M = ManagerOf(this);
        RECT W{};
        GetWindowRect(AHandle, &W);
        TRect ScreenCorner = Corner;
        OffsetRect(ScreenCorner, W.left, W.top);
        if (M && IsGripCorner(AHandle, ScreenCorner)) {
            int Global = M->FindSectionIndex("GLOBALINFO");
            int Grip = M->FindMaskIndex(Global, "GLOBALINFO", "GRIPIMAGE");
            if (M->MaskIndexInRange(Grip)) {
                const TsMaskData& Mask = M->MaskList[Grip];
                TPoint At = Point(Corner.Width() - GetMaskImageWidth(Mask), Corner.Height() - GetMaskImageHeight(Mask));
                DrawSkinGlyph(Square.get(), At, 0, 1, Mask, MakeBackgroundSource(Square.get(), 0, 0));
            }
        }
        BitBlt(Target, Corner.Left, Corner.Top, Corner.Width(), Corner.Height(), Square->Canvas()->Handle(), 0, 0,
               SRCCOPY);
    }
    if (Own)
        ReleaseDC(AHandle, Own);
    return Result;
}

void TacScrollWnd::RepaintBar(TacScrollBar* Bar, int PressedPart) {
    if (!Bar || !Bar->Shown)
        return;
    HDC DC = GetWindowDC(Handle);
    TRect R = ScreenToWindow(Handle, Bar->Kind == HorzKind ? GetHorzBarRect() : GetVertBarRect());
    ApplyBarInsets(Bar, R);
    PaintScrollBar(Bar, Handle, DC, -1, PressedPart, R);
    ReleaseDC(Handle, DC);
}

// ---------------------------------------------------------------------------------------------
// The scrolling hook

TacScrollWnd::TacScrollWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                           TsCommonData* ASkinData)
    : TacMainWnd(TDeferAttach{}, AHandle, SkinSection, Manager, ASkinData) {
    InitScrollBars(this, AHandle, Repaint);
    FinishAttach();
}

TacScrollWnd::~TacScrollWnd() {
    ResetScrollBarInteraction(Handle);
    FreeScrollBars();
}

void TacScrollWnd::FreeScrollBars() {
    FreeAndNil(HorzBar);
    FreeAndNil(VertBar);
}

void InitScrollBars(TacScrollWnd* Wnd, HWND Handle, bool Repaint) {
    Wnd->Busy = false;
    Wnd->Handle = Handle;
    if (!Wnd->HorzBar)
        Wnd->HorzBar = Create<TacScrollBar>(Wnd, Word(HorzKind));
    if (!Wnd->VertBar)
        Wnd->VertBar = Create<TacScrollBar>(Wnd, Word(VertKind));
    ReadScrollInfo(Handle, Wnd->HorzBar);
    ReadScrollInfo(Handle, Wnd->VertBar);
    Wnd->LeftScrollBar = (GetWindowLongPtrA(Handle, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    SetPropA(Handle, HookPropName, reinterpret_cast<HANDLE>(static_cast<TacMainWnd*>(Wnd)));
    LONG_PTR Style = GetWindowLongPtrA(Handle, GWL_STYLE);
    Wnd->HorzBar->Flags = (Style & WS_HSCROLL) ? 8 : 0;
    Wnd->VertBar->Flags = (Style & WS_VSCROLL) ? 8 : 0;
    Wnd->StyleChangeGuard = false;
    // The frame as the window has it now, until the hook's own frame computation runs.
    RECT Window{};
    GetWindowRect(Handle, &Window);
    POINT Origin{0, 0};
    ClientToScreen(Handle, &Origin);
    Wnd->LeftEdge = Wnd->LeftFrameWidth = std::max<int>(0, Origin.x - Window.left);
    Wnd->HookWindow(Handle);
    SetMinThumbSize(Handle, 3, DefaultMinThumbSize);
    if (Repaint)
        RefreshWindowFrame(Handle, true);
}

TRect TacScrollWnd::GetHorzBarRect() {
    RECT W{};
    GetWindowRect(Handle, &W);
    TRect R = TRect{W.left, W.top, W.right, W.bottom};
    int VT = VertBar && VertBar->Shown ? GetScrollBarSize(VertBar, 1, false) : 0;
    R.Left += LeftEdge + (LeftScrollBar ? VT : 0);
    R.Right -= RightEdge + (LeftScrollBar ? 0 : VT);
    R.Bottom = W.bottom - BottomEdge;
    R.Top = R.Bottom - (HorzBar && HorzBar->Shown ? GetScrollBarSize(HorzBar, 1, false) : 0);
    return R;
}

TRect TacScrollWnd::GetVertBarRect() {
    RECT W{};
    GetWindowRect(Handle, &W);
    TRect R = TRect{W.left, W.top, W.right, W.bottom};
    int VT = VertBar && VertBar->Shown ? GetScrollBarSize(VertBar, 1, false) : 0;
    R.Top += TopEdge;
    R.Bottom -= (HorzBar && HorzBar->Shown ? GetScrollBarSize(HorzBar, 1, false) : 0) + BottomEdge;
    if (LeftScrollBar) {
        R.Left += LeftEdge;
        R.Right = R.Left + VT;
    } else {
        R.Right -= RightEdge;
        R.Left = R.Right - VT;
    }
    return R;
}

bool TacScrollWnd::GetBarRect(int Kind, HWND, TRect& R) {
    TacScrollBar* Bar = BarOfKind(Kind);
    if (!Bar)
        return false;
    R = Kind == HorzKind ? GetHorzBarRect() : GetVertBarRect();
    return Bar->Shown;
}

bool TacScrollWnd::IsGripCorner(HWND AHandle, const TRect& R) {
    HWND Parent = GetParent(AHandle);
    if (!Parent)
        return true;
    if (GetWindowLongPtrA(Parent, GWL_STYLE) & WS_CHILD)
        return false;
    RECT C{};
    GetClientRect(Parent, &C);
    MapWindowPoints(Parent, nullptr, reinterpret_cast<POINT*>(&C), 2);
    if (!LeftScrollBar)
        return R.Right + RightEdge == C.right && R.Bottom + BottomEdge == C.bottom;
    return R.Left - LeftEdge == C.left && R.Bottom + BottomEdge == C.bottom;
}

void TacScrollWnd::UpdateScrollInfo(bool Repaint) {
    if (!IsWindowVisible(Handle) || (SkinData && SkinData->InUpdate) || !HorzBar || !VertBar)
        return;
    ReadScrollInfo(Handle, HorzBar);
    ReadScrollInfo(Handle, VertBar);
    if (Repaint && !AnimationInProgress)
        PaintScrollBars(Handle, 0, nullptr, -1);
}

void TacScrollWnd::WMNCCalcSize(TMessage& Message) {
    auto* First = reinterpret_cast<RECT*>(Message.LParam);
    const RECT Window = *First;
    LONG_PTR Style = GetWindowLongPtrA(Handle, GWL_STYLE);
    if (Style & (WS_HSCROLL | WS_VSCROLL)) {
        // The window computes its client area as if it had no standard bars; the hook takes the
        // room for its own.
        StyleChangeGuard = true;
        SetWindowLongPtrA(Handle, GWL_STYLE, Style & ~LONG_PTR(WS_HSCROLL | WS_VSCROLL));
        PassOn(Message);
        SetWindowLongPtrA(Handle, GWL_STYLE, Style);
        StyleChangeGuard = false;
    } else {
        PassOn(Message);
    }
    RECT& Client = *First;
    LeftEdge = LeftFrameWidth = Client.left - Window.left;
    RightEdge = Window.right - Client.right;
    TopEdge = Client.top - Window.top;
    BottomEdge = Window.bottom - Client.bottom;
    if (HorzBar) {
        HorzBar->Flags = (Style & WS_HSCROLL) ? 8 : 0;
        int T = GetScrollBarSize(HorzBar, 1, false);
        HorzBar->Shown = (Style & WS_HSCROLL) && Client.bottom - Client.top >= T;
        if (HorzBar->Shown)
            Client.bottom -= T;
    }
    if (VertBar) {
        VertBar->Flags = (Style & WS_VSCROLL) ? 8 : 0;
        int T = GetScrollBarSize(VertBar, 1, false);
        VertBar->Shown = (Style & WS_VSCROLL) && Client.right - Client.left >= T;
        if (VertBar->Shown) {
            if (LeftScrollBar)
                Client.left += T;
            else
                Client.right -= T;
        }
    }
}

void TacScrollWnd::WMNCHitTest(TMessage& Message) {
    POINT P{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
    TRect HR = GetHorzBarRect(), VR = GetVertBarRect();
    if (HorzBar && HorzBar->Shown && PtInRect(HR, P)) {
        Message.Result = IsScrollBarEnabled(HorzBar) ? HTHSCROLL : HTNOWHERE;
        return;
    }
    if (VertBar && VertBar->Shown && PtInRect(VR, P)) {
        Message.Result = IsScrollBarEnabled(VertBar) ? HTVSCROLL : HTNOWHERE;
        return;
    }
    if (HorzBar && VertBar && HorzBar->Shown && VertBar->Shown) {
        TRect Corner = Rect(VR.Left, HR.Top, VR.Right, HR.Bottom);
        if (PtInRect(Corner, P) && IsGripCorner(Handle, Corner)) {
            Message.Result = HTBOTTOMRIGHT;
            return;
        }
    }
    PassOn(Message);
}

void TacScrollWnd::WMStyleChanged(TMessage& Message) {
    PassOn(Message);
    if (Message.WParam == static_cast<WPARAM>(GWL_EXSTYLE))
        LeftScrollBar = (GetWindowLongPtrA(Handle, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
}

void TacScrollWnd::WMNCMouseMove(TMessage& Message) {
    TacScrollBarInteraction& S = BarInteraction;
    S.ActiveBarWindow = Handle;
    int Kind = Message.WParam == HTHSCROLL ? HorzKind : Message.WParam == HTVSCROLL ? VertKind : -1;
    if (Kind >= 0 && S.HoverBar != Kind) {
        S.LastHoverPart = S.HoverPart = sbpNone;
        S.HoverBarRect = Kind == HorzKind ? GetHorzBarRect() : GetVertBarRect();
        S.HoverBar = Kind;
        S.HoverTimer = SetTimer(Handle, HoverTimerId, 20, nullptr);
        RepaintBar(HorzBar, sbpNone);
        RepaintBar(VertBar, sbpNone);
    }
    PassOn(Message);
}

void TacScrollWnd::StartPartRepeat(TacScrollBar* Bar, const TRect& BarRect, TPoint P) {
    TacScrollBarInteraction& S = BarInteraction;
    if (!IsScrollBarEnabled(Bar))
        return;
    TRect R = BarRect;
    ApplyBarInsets(Bar, R);
    S.PressedPartNow = HitTestScrollBar(Bar, Handle, R, P.Y, P.X);
    RepaintBar(Bar, S.PressedPartNow);
    SendScrollMessage(Handle, S.ScrollMessage, S.PressedPart, 0);
    S.PressedPartNow = S.PressedPart;
    S.RepeatTimer = SetTimer(Handle, RepeatDelayTimerId, 300, nullptr);
}

void TacScrollWnd::WMNCLButtonDown(TMessage& Message) {
    TacScrollBarInteraction& S = BarInteraction;
    S.ActiveBarWindow = Handle;
    bool Horz = Message.WParam == HTHSCROLL;
    TacScrollBar* Bar = Horz ? HorzBar : VertBar;
    S.ScrollMessage = Horz ? WM_HSCROLL : WM_VSCROLL;
    S.PressedBar = Horz ? 0 : 1;
    TRect BarRect = Horz ? GetHorzBarRect() : GetVertBarRect();
    TPoint P = Point(static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam)));
    S.PressedPart = HitTestScrollBar(Bar, Handle, BarRect, P.Y, P.X);
    Message.Result = 0;
    switch (S.PressedPart) {
    case sbpFirstArrow:
    case sbpSecondArrow:
        if (Bar->Flags & (S.PressedPart == sbpFirstArrow ? 1 : 2)) {
            S.PressedPart = sbpNone;
            return;
        }
        StartPartRepeat(Bar, BarRect, P);
        break;
    case sbpTrackBefore:
    case sbpTrackAfter:
        StartPartRepeat(Bar, BarRect, P);
        break;
    case sbpThumb:
        if (IsScrollBarEnabled(Bar)) {
            ApplyBarInsets(Bar, BarRect);
            ReadScrollInfo(Handle, Bar);
            CalcThumb(Bar, BarRect, S.ThumbSize, 0, S.ThumbStart);
            S.TrackRect = BarRect;
            ThumbTracking = true;
            Bar->ScrollInfo.nTrackPos = Bar->ScrollInfo.nPos;
            S.ThumbGrabOffset = (Horz ? P.X : P.Y) - S.ThumbStart;
            S.LastTrackPos = Bar->ScrollInfo.nPos;
            ThumbTracking = false;
            RepaintBar(Bar, sbpThumb);
            ThumbTracking = true;
        }
        break;
    default:
        PassOn(Message);
        break;
    }
    if (S.PressedPart != sbpNone)
        SetCapture(Handle);
}

namespace {
// The drag step shared by both axes.
void TrackThumb(TacScrollBar* Bar, HWND Handle, int Along) {
    TacScrollBarInteraction& S = BarInteraction;
    TacScrollWnd* Owner = Bar ? Bar->Owner : nullptr;
    if (!Owner)
        return;
    int A = GetScrollBarSize(Bar, 0, false);
    int TrackStart = AxisStart(Bar, S.TrackRect) + A;
    int TrackEnd = AxisEnd(Bar, S.TrackRect) - A;
    int Start = std::max(TrackStart, std::min(Along - S.ThumbGrabOffset, TrackEnd - S.ThumbSize));
    int Offset = Start - TrackStart;

    TsSkinManager* M = ManagerOf(Bar);
    TRect Window = ScreenToWindow(Handle, S.TrackRect);
    if (M && !Window.IsEmpty()) {
        TOwned<TBitmap> Image(NewBitmap24(Window.Width(), Window.Height()));
        ParentBackgroundInfo Info;
        FillFromBackground(Image.get(), WindowBackground(Handle, Info), Window.TopLeft());
        TBarLook Look;
        Look.ArrowLength = GetScrollBarSize(Bar, 0, true);
        Look.ThumbOffset = Start - AxisStart(Bar, S.TrackRect) - Look.ArrowLength;
        Look.ThumbLength = S.ThumbSize;
        Look.States[sbpThumb] = 2;
        DrawBar(Bar->Kind, Image.get(), Look, M);
        HDC DC = GetWindowDC(Handle);
        BitBlt(DC, Window.Left, Window.Top, Window.Width(), Window.Height(), Image->Canvas()->Handle(), 0, 0, SRCCOPY);
        ReleaseDC(Handle, DC);
    }

    // The position the thumb stands for, within nMin .. nMax - page + 1 (the last position a page
    // can start at).
    const SCROLLINFO& SI = Bar->ScrollInfo;
    int Range = SI.nMax - SI.nMin;
    int Page = std::max<int>(1, static_cast<int>(SI.nPage));
    int Free = TrackEnd - TrackStart - S.ThumbSize;
    int Pos = SI.nMin;
    if (Range >= 1 && Free > 0)
        Pos = SI.nMin + MulDiv(Offset, Range - Page + 1, Free);
    Pos = std::max(SI.nMin, std::min(Pos, std::max(SI.nMin, SI.nMax - Page + 1)));
    if (Pos != S.LastTrackPos) {
        Bar->ScrollInfo.nTrackPos = Pos;
        Owner->Busy = true;
        SendScrollMessage(Handle, S.ScrollMessage, SB_THUMBTRACK, Pos);
        Owner->Busy = false;
    }
    S.LastTrackPos = Pos;
}
}  // namespace

void TrackHorzThumb(TacScrollBar* Bar, HWND Handle, int X, int) { TrackThumb(Bar, Handle, X); }

void TrackVertThumb(TacScrollBar* Bar, HWND Handle, int, int Y) { TrackThumb(Bar, Handle, Y); }

void TacScrollWnd::WMMouseMove(TMessage& Message) {
    TacScrollBarInteraction& S = BarInteraction;
    TacScrollBar* Bar = BarOfKind(S.PressedBar);
    if (ThumbTracking && Bar) {
        TPoint P = CursorOfMessage();
        if (S.PressedBar == HorzKind)
            TrackHorzThumb(Bar, Handle, P.X, P.Y);
        else
            TrackVertThumb(Bar, Handle, P.X, P.Y);
        return;
    }
    if (S.PressedPart == sbpNone || !Bar || S.ActiveBarWindow != Handle) {
        PassOn(Message);
        return;
    }
    TRect R = Bar->Kind == HorzKind ? GetHorzBarRect() : GetVertBarRect();
    TPoint P = CursorOfMessage();
    int Under = HitTestScrollBar(Bar, Handle, R, P.Y, P.X);
    int Now = Under == S.PressedPart ? Under : sbpNone;
    if (Now != S.PressedPartNow) {
        S.PressedPartNow = Now;
        RepaintBar(Bar, Now);
    }
}

void TacScrollWnd::WMLButtonUp(TMessage& Message) {
    TacScrollBarInteraction& S = BarInteraction;
    if (S.PressedPart == sbpNone || S.ActiveBarWindow != Handle) {
        PassOn(Message);
        return;
    }
    ReleaseCapture();
    int Part = S.PressedPart;
    if ((Part >= sbpFirstArrow && Part <= sbpTrackAfter) || Part == sbpThumb) {
        int Pos = 0;
        if (Part == sbpThumb)
            Pos = S.LastTrackPos;
        else
            KillTimer(Handle, S.RepeatTimer);
        if (ThumbTracking) {
            Busy = true;
            SendScrollMessage(Handle, S.ScrollMessage, SB_THUMBPOSITION, S.LastTrackPos);
            ThumbTracking = false;
        }
        Busy = true;
        SendScrollMessage(Handle, S.ScrollMessage, SB_ENDSCROLL, Pos);
        Busy = false;
        S.PressedPartNow = sbpNone;
        RepaintBar(BarOfKind(S.PressedBar), sbpNone);
    }
    S.PressedPart = S.PressedPartNow = sbpNone;
    S.RepeatTimer = 0;
    S.ScrollMessage = 0;
    S.PressedBar = -1;
    PassOn(Message);
}

LRESULT TacScrollWnd::WMTimer(TMessage& Message) {
    TacScrollBarInteraction& S = BarInteraction;
    if (!S.RepeatTimer && !S.HoverTimer) {
        PassOn(Message);
        return Message.Result;
    }
    switch (Message.WParam) {
    case RepeatDelayTimerId:
        KillTimer(Handle, RepeatDelayTimerId);
        S.RepeatTimer = SetTimer(Handle, RepeatTimerId, 55, nullptr);
        return 0;
    case RepeatTimerId: {
        TMessage Move{WM_MOUSEMOVE, 0, 0, 0};
        WMMouseMove(Move);
        if (S.PressedPartNow != sbpNone) {
            Busy = true;
            SendScrollMessage(Handle, S.ScrollMessage, S.PressedPartNow, 0);
            Busy = false;
        }
        return 0;
    }
    case HoverTimerId: {
        if (ThumbTracking)
            return 0;
        TPoint P = CursorOfMessage();
        TacScrollBar* Bar = BarOfKind(S.HoverBar);
        if (Bar && PtInRect(S.HoverBarRect, POINT{P.X, P.Y})) {
            S.HoverPart = HitTestScrollBar(Bar, Handle, S.HoverBarRect, P.Y, P.X);
            if (S.HoverPart != S.LastHoverPart) {
                S.LastHoverPart = S.HoverPart;
                RepaintBar(Bar, sbpNone);
            }
        } else {
            KillTimer(Handle, HoverTimerId);
            S.HoverTimer = 0;
            S.HoverBar = S.LastHoverPart = S.HoverPart = sbpNone;
            RepaintBar(HorzBar, sbpNone);
            RepaintBar(VertBar, sbpNone);
        }
        return 0;
    }
    default:
        PassOn(Message);
        return Message.Result;
    }
}

void TacScrollWnd::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY:
    {
        ResetScrollBarInteraction(Handle);
        bool Replaced = ReplacedWindowProc || ReplacedWndProc;
        // The procedure the hook replaced still takes the message; the hook lets go afterwards.
        PassOn(Message);
        if (Replaced && !Unhooked) {
            TacMainWnd* Self = this;
            if (SkinData && SkinData->HostControl)
                UnhookWnd(Handle, false, 0, Self);
            else
                ReleaseWindowHook(Handle, false, 0, Self);
        }
        return;
    }
    case WM_UPDATEUISTATE:
        return;
    case CM_RECREATEWND:
        if (!IsWindowVisible(Handle) && SkinData && DynCast<TCustomComboBox>(SkinData->HostControl))
            return;
        break;
    default:
        break;
    }
    if (Unhooked)
        return;
    if (!SkinData || !SkinData->IsSkinned(false)) {
        if (Message.Msg == SM_ALPHACMD && SkinCommandOf(Message.WParam) == SKIN_LOADED && SkinData &&
            Message.LParam == reinterpret_cast<LPARAM>(SkinManager))
            SkinData->RefreshSkinIndexes();
        PassOn(Message);
        return;
    }
    TsCommonData& D = *SkinData;
    if (Message.Msg == SM_ALPHACMD) {
        bool Own = Message.LParam == reinterpret_cast<LPARAM>(SkinManager);
        switch (SkinCommandOf(Message.WParam)) {
        case SKIN_LOADED:
            if (Own) {
                D.RefreshSkinIndexes();
                PassCommandToChildren(D.HostControl, Handle, Message);
            }
            break;
        case SKIN_REMOVED:
            if (Own)
                RestoreStdParams();
            break;
        case SKIN_REFRESH:
            if (Own) {
                D.RefreshSkinIndexes();
                D.BackgroundStale = true;
            }
            break;
        case SKIN_ENDUPDATE:
            EndSkinUpdate(D, Handle, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
            break;
        case SKIN_ISSKINNED:
            Message.Result = 1;
            return;
        case SKIN_SETUPDATING:
            D.SetInUpdate(LOWORD(Message.WParam) == 1);
            break;
        case SKIN_GETBGCOLOR:
            PassOn(Message);
            if (Message.Result == 0)
                Message.Result = D.GetBackgroundColor(0, nullptr);
            return;
        case SKIN_GETBACKGROUND: {
            PassOn(Message);
            auto* Info = reinterpret_cast<ParentBackgroundInfo*>(Message.LParam);
            if (Info && Info->Kind == 0)
                D.FillParentBackgroundInfo(*Info, 0, nullptr);
            return;
        }
        case SKIN_GETAPPLICATION:
            Message.Result = reinterpret_cast<LRESULT>(Application);
            return;
        default:
            break;
        }
    } else {
        const bool OnBar = Message.WParam == HTHSCROLL || Message.WParam == HTVSCROLL;
        switch (Message.Msg) {
        case WM_NOTIFY:
            PassOn(Message);
            return;
        case WM_STYLECHANGED:
            if (StyleChangeGuard)
                Message.Result = 0;
            else
                WMStyleChanged(Message);
            return;
        case WM_NCCALCSIZE:
            WMNCCalcSize(Message);
            return;
        case WM_NCHITTEST:
            WMNCHitTest(Message);
            return;
        case WM_NCPAINT:
            if (IsWindowVisible(Handle)) {
                D.InUpdate = D.IsUpdating();
                if (!D.InUpdate && !Busy) {
                    // The window draws its own frame first; the bars go over the room it left.
                    PassOn(Message);
                    Message.Result = PaintScrollBars(Handle, static_cast<int>(Message.WParam), nullptr, -1);
                    return;
                }
            }
            break;
        case WM_NCMOUSEMOVE:
            WMNCMouseMove(Message);
            return;
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
            if (OnBar) {
                WMNCLButtonDown(Message);
                return;
            }
            break;
        case WM_NCRBUTTONDOWN:
        case WM_NCRBUTTONUP:
        case WM_NCMBUTTONDOWN:
        case WM_NCMBUTTONUP:
            if (OnBar) {
                Message.Result = 0;
                return;
            }
            break;
        case WM_SYSCOMMAND:
            if (Message.WParam == 0xF077)
                return;
            break;
        case WM_TIMER:
            Message.Result = WMTimer(Message);
            if (!Busy && !ThumbTracking)
                UpdateScrollInfo(true);
            return;
        case WM_MOUSEMOVE:
            WMMouseMove(Message);
            return;
        case WM_LBUTTONUP:
            WMLButtonUp(Message);
            return;
        case CM_UIACTIVATE:
            if (HookWndSize.cx != 0 || HookWndSize.cy != 0) {
                PassOn(Message);
                if (Message.Result == 0)
                    SetWindowPos(Handle, nullptr, 0, 0, HookWndSize.cx, HookWndSize.cy,
                                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_NOOWNERZORDER |
                                     SWP_NOSENDCHANGING);
                return;
            }
            break;
        default:
            break;
        }
    }
    PassOn(Message);
    if (((Message.Msg == WM_MOUSEWHEEL || Message.Msg == CM_MOUSEWHEEL) && !Busy) || Message.Msg == CM_FOCUSCHANGED)
        UpdateScrollInfo(true);
}
