#include "sPanel.h"

#include "sComponentState.h"
#include "sMessages.h"
#include "sPaintServices.h"
#include "sVclUtils.h"

#include <algorithm>

namespace {

template <class F>
struct TCleanup {
    F Fn;
    ~TCleanup() { Fn(); }
};
template <class F>
TCleanup(F) -> TCleanup<F>;

void RedrawAll(HWND Wnd) { RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW); }

// CM_MOUSEENTER/CM_MOUSELEAVE also reach a parent for its children (LParam = the child).
bool OwnMouseMessage(const TMessage& Message) { return Message.LParam == 0; }
}  // namespace

// ---------------------------------------------------------------------------------------------
// TsPanel

TsPanel::TsPanel(TComponent* AOwner) : TPanel(AOwner) {
    FCommonData = Create<TsCommonData>(this, true);
    FCommonData->ControlKind = 51;
}

TsPanel::~TsPanel() { FreeAndNil(FCommonData); }

void TsPanel::AfterConstruction() {
    TPanel::AfterConstruction();
    FCommonData->AfterOwnerLoaded();
}

void TsPanel::Loaded() {
    TPanel::Loaded();
    FCommonData->AfterOwnerLoaded();
}

void TsPanel::DefineClass(TClassBuilder<TsPanel>& B) {
    B.Property("SkinData", &TsPanel::SkinData, &TsPanel::SetSkinData);
    B.Property("OnPaint", &TsPanel::OnPaint, &TsPanel::OnPaint);
    B.Property("OnMouseEnter", &TsPanel::OnMouseEnter, &TsPanel::OnMouseEnter);
    B.Property("OnMouseLeave", &TsPanel::OnMouseLeave, &TsPanel::OnMouseLeave);
}

void TsPanel::SetSkinData(TsCommonData* Value) {
    if (Value && Value != FCommonData)
        FCommonData->Assign(Value);
}

int TsPanel::BorderInset() const {
    return BevelWidth() * ((BevelInner() != bvNone ? 1 : 0) + (BevelOuter() != bvNone ? 1 : 0)) + BorderWidth();
}

int TsPanel::Transparency() const {
    return FCommonData->IsSkinned(false) ? FCommonData->Section().Transparency : 0;
}

void TsPanel::Paint() {
    TPanel::Paint();
    if (Showing() && OnPaint)
        OnPaint(this, Canvas());
}

void TsPanel::PaintWindow(HDC DC) {
    if (!(ControlState().Contains(csPaintCopy) && FCommonData->IsSkinned(false)))
        TPanel::PaintWindow(DC);
    PaintSkin(DC, true);
}

// ---------------------------------------------------------------------------------------------
// Skinned painting

void TsPanel::PrepareCache() {
    if (!FCommonData->NeedsSkinPaint() && !AnimationInProgress)
        return;
    FCommonData->PrepareCacheBitmap();
    TBitmap* Cache = FCommonData->CacheBitmap;
    PaintControlSkinOnParent(FCommonData, Parent(), true, IsDragBar(), 0, Cache, Point(Left(), Top()),
                             Rect(0, 0, Width(), Height()));
    TRect R = ClientRect();
    int Inset = BorderInset();
    InflateRect(R, -Inset, -Inset);
    WriteText(R, Cache->Canvas(), nullptr);
    if (OnPaint)
        OnPaint(this, Cache->Canvas());
    FCommonData->BackgroundStale = false;
}

void TsPanel::PaintSkin(HDC DC, bool SendEndUpdate) {
    if (!Showing() || !FCommonData->IsSkinned(false))
        return;
    if (!DC)
        DC = Canvas()->Handle();
    TsCommonData& D = *FCommonData;
    if ((D.NeedsSkinPaint() && !D.CustomColor()) || AnimationInProgress)
        PaintCached(DC);
    else
        PaintPlain(DC);
    if (SendEndUpdate && !ControlState().Contains(csPaintCopy))
        SendEndUpdateToChildren(this);
}

void TsPanel::PaintCached(HDC DC) {
    TsCommonData& D = *FCommonData;
    D.InUpdate = D.IsUpdating();
    if (D.InUpdate)
        return;
    bool Stale = D.PartlyClipped || D.BackgroundStale;
    if (D.MustRepaintOnMove()) {
        RECT Clip{};
        GetClipBox(DC, &Clip);
        D.PartlyClipped = Clip.right - Clip.left != Width() || Clip.bottom - Clip.top != Height();
    } else {
        D.PartlyClipped = false;
    }
    if (Stale && !D.RepaintOnMove)
        PrepareCache();
    CopyCacheClipControls(this, FCommonData, Point(0, 0), 0, 0, false, DC, Rect(0, 0, Width(), Height()));
    PaintGraphicChildren(DC, this, Point(0, 0));
}

void TsPanel::PaintPlain(HDC DC) {
    int Saved = SaveDC(DC);
    bool Painted = PaintPlainImage(DC);
    RestoreDC(DC, Saved);
    if (Painted)
        PaintGraphicChildren(DC, this, Point(0, 0));
}

bool TsPanel::PaintPlainImage(HDC DC) {
    TsCommonData& D = *FCommonData;
    D.SetInUpdate(false);
    int BW = D.GetMaxBorderWidth();
    TRect R = Rect(0, 0, Width(), Height());
    ExcludeGraphicChildren(DC, this, 0, 0);
    // What lies behind comes from the parent even for a custom colour: a partly transparent custom
    // colour is mixed with it.
    ParentBackgroundInfo Info;
    QueryParentBackground(Info, Parent(), false);
    int T = D.Section().Transparency;
    // The border mask goes through the cache; the area inside it is filled there and only the
    // border strips reach the window.
    auto PaintBorder = [&](TColor Fill) {
        if (!D.CacheBitmap)
            D.CacheBitmap = NewBitmap24(Width(), Height());
        HDC CacheDC = D.CacheBitmap->Canvas()->Handle();
        PaintSkinBorder(CacheDC, Rect(0, 0, Width(), Height()), 0, FCommonData, 0, R);
        FillRectSolid(CacheDC, R, Fill);
        CopyBorderStrips(DC, 0, 0, BW, CacheDC, 0, 0, Width(), Height());
    };
    if (T == 100 && Info.Kind == 2) {
        D.InUpdate = D.IsUpdating();
        if (D.InUpdate)
            return false;
        HDC ParentDC = Info.Bmp->Canvas()->Handle();
        if (BW == 0) {
            BitBlt(DC, 0, 0, Width(), Height(), ParentDC, Info.X, Info.Y, SRCCOPY);
        } else {
            PaintBorder(Info.Color);
            BitBlt(DC, BW, BW, Width() - 2 * BW, Height() - 2 * BW, ParentDC, Info.X + BW, Info.Y + BW, SRCCOPY);
        }
    } else {
        TColor Own = D.CustomColor() ? Color() : D.Section().Color;
        TColor Fill = T == 0     ? Own
                      : T == 100 ? Info.Color
                                 : MixColors(ColorToRGB(Info.Color), ColorToRGB(Own), T / 100.0);
        if (BW == 0)
            FillRectSolid(DC, R, Fill);
        else
            PaintBorder(Fill);
    }
    PaintCaptionOn(DC);
    D.BackgroundStale = false;
    return true;
}

void TsPanel::PaintCaptionOn(HDC DC) {
    TRect R = ClientRect();
    int Inset = BorderInset();
    InflateRect(R, -Inset, -Inset);
    TCanvas* C = Canvas();
    TOwned<TCanvas> Temp;
    if (DC) {
        Temp.reset(Create<TCanvas>());
        Temp->SetHandle(DC);
        Temp->SetFont(Font());
        Temp->Brush()->SetStyle(bsClear);
        C = Temp.get();
    }
    WriteText(R, C, nullptr);
    if (OnPaint)
        OnPaint(this, C);
    if (Temp)
        Temp->SetHandle(nullptr);
}

void TsPanel::WriteText(TRect Rect, TCanvas* Canvas, HDC DC) {
    TOwned<TCanvas> Temp;
    if (!Canvas) {
        if (!DC)
            return;
        Temp.reset(Create<TCanvas>());
        Temp->SetHandle(DC);
        Canvas = Temp.get();
    }
    UINT Flags = AlignmentTextFlags(this, Alignment()) | DT_WORDBREAK;
    Canvas->SetFont(Font());
    std::string Text = Caption();
    TRect M = Rect;
    DrawTextOnDC(Canvas->Handle(), Text, M, Flags | DT_CALCRECT);
    int H = std::max<int>(M.Height(), 0);
    Rect.Top = (std::max<int>(Rect.Height(), 0) - H) / 2 + BorderWidth();
    Rect.Bottom = Rect.Top + H;
    WriteControlText(Canvas, Text, Enabled(), false, FCommonData, Flags, Rect);
    if (Temp)
        Temp->SetHandle(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Messages

bool TsPanel::AnswerBackground(TMessage& Message) {
    TsSkinManager* M = FCommonData->GetSkinManager();
    if (!M || !M->SectionIndexInRange(FCommonData->SectionIndex) || !M->MaskIndexInRange(FCommonData->BorderMaskIndex))
        return false;
    TsCommonData& D = *FCommonData;
    if ((D.BackgroundStale || D.PartlyClipped) && !D.IsUpdating() && Transparency() != 100)
        PrepareCache();
    auto& Info = *reinterpret_cast<ParentBackgroundInfo*>(Message.LParam);
    D.FillParentBackgroundInfo(Info, 0, HandleAllocated() ? Handle() : nullptr);
    // A child's offsets are counted from the client area, which the border moves in.
    if (ClientWidth() < Width() && Info.Kind == 2 && !Info.PaintNow) {
        Info.X += BorderInset();
        Info.Y += BorderInset();
    }
    return true;
}

bool TsPanel::LibraryCommand(TMessage& Message) {
    bool OwnManager = Message.LParam == reinterpret_cast<LPARAM>(FCommonData->GetSkinManager());
    switch (SkinCommandOf(Message.WParam)) {
    case SKIN_LOADED:
        SetControlStyle(ControlStyle() - TControlStyle{csOpaque});
        BroadcastToSkinnedChildren(this, Message);
        if (OwnManager)
            HandleCommonMessage(Message, FCommonData);
        return true;
    case SKIN_REMOVED:
        SetControlStyle(ControlStyle() - TControlStyle{csOpaque});
        if (OwnManager) {
            HandleCommonMessage(Message, FCommonData);
            Invalidate();
        }
        BroadcastToSkinnedChildren(this, Message);
        return true;
    case SKIN_REFRESH:
        if (OwnManager) {
            HandleCommonMessage(Message, FCommonData);
            if (HandleAllocated() && !InState(this, csLoading)) {
                InvalidateRect(Handle(), nullptr, TRUE);
                RedrawAll(Handle());
            }
        }
        BroadcastToSkinnedChildren(this, Message);
        return true;
    case SKIN_ISSKINNED:
        Message.Result = 1;
        return true;
    case SKIN_GETBACKGROUND:
        return AnswerBackground(Message);
    case SKIN_GETAPPLICATION:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return true;
    default:
        return false;
    }
}

void TsPanel::CommonHandling(TMessage& Message) {
    if (HandleCommonMessage(Message, FCommonData))
        return;
    TPanel::WndProc(Message);
    if (Message.Msg == WM_SETFONT && !Caption().empty()) {
        FCommonData->BackgroundStale = true;
        Repaint();
    } else if (Message.Msg == CM_ENABLEDCHANGED) {
        FCommonData->Invalidate();
    }
}

void TsPanel::WMPaint(TMessage& Message) {
    TsCommonData& D = *FCommonData;
    PAINTSTRUCT PS;
    HDC PaintDC = BeginPaint(Handle(), &PS);
    TCleanup End{[&] { EndPaint(Handle(), &PS); }};
    D.InUpdate = D.IsUpdating();
    if (D.NeedsSkinPaint() && !D.InUpdate) {
        // The whole window is painted, not only the update region: the cache is copied in one go.
        HDC DC = reinterpret_cast<HDC>(Message.WParam);
        bool Own = DC == nullptr;
        if (Own)
            DC = GetDC(Handle());
        int Saved = SaveDC(DC);
        SetControlState(ControlState() + TControlState{csCustomPaint});
        TCleanup Release{[&] {
            SetControlState(ControlState() - TControlState{csCustomPaint});
            RestoreDC(DC, Saved);
            if (Own)
                ReleaseDC(Handle(), DC);
        }};
        static_cast<TControlCanvas*>(Canvas())->PaintOn(DC, [&] { PaintSkin(DC, true); });
    } else if (!ParentBackground()) {
        PaintSkin(PaintDC, true);
    }
    Message.Result = 0;
}

void TsPanel::WMEraseBkgnd(TMessage& Message) {
    TsCommonData& D = *FCommonData;
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    if (Message.WParam != static_cast<WPARAM>(Message.LParam)) {
        D.InUpdate = D.IsUpdating();
        if (!D.NeedsSkinPaint() && !D.InUpdate)
            PaintSkin(DC, true);
    } else if (DC) {
        // WParam = LParam: the panel's picture is asked for, as painting a copy does.
        if (D.BackgroundStale)
            PrepareCache();
        if (!D.BackgroundStale) {
            if (D.NeedsSkinPaint())
                BitBlt(DC, 0, 0, Width(), Height(), D.CacheBitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
            else
                FillRectSolid(DC, Rect(0, 0, Width(), Height()), GetWindowBgColor(Handle()));
        }
    }
    Message.Result = 1;
}

void TsPanel::SkinnedMessage(TMessage& Message) {
    TsCommonData& D = *FCommonData;
    switch (Message.Msg) {
    case SM_ALPHACMD:
        switch (SkinCommandOf(Message.WParam)) {
        case SKIN_ENDUPDATE:
            if (D.InUpdate) {
                D.InUpdate = false;
                D.InUpdate = D.IsUpdating();
                if (!D.InUpdate)
                    RedrawAll(Handle());
            }
            SendEndUpdateToChildren(this);
            return;
        case SKIN_GETSTALE:
            Message.Result = D.IsUpdating() ? 1 : 0;
            return;
        default:
            HandleSkinCommand(Message, FCommonData);
            return;
        }
    case WM_SIZE:
        D.BackgroundStale = true;
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        TPanel::WndProc(Message);
        return;
    case WM_PAINT:
        if (!Visible() && !InState(this, csDesigning))
            break;
        WMPaint(Message);
        return;
    case WM_ERASEBKGND:
        WMEraseBkgnd(Message);
        return;
    case WM_WINDOWPOSCHANGING:
        if (Transparency() != 0)
            D.BackgroundStale = true;
        break;
    case WM_PRINT:
        D.SetInUpdate(false);
        if (IsControlReady(this)) {
            if (!D.CacheBitmap && !D.NeedsSkinPaint())
                D.CacheBitmap = NewBitmap24(0, 0);
            PrepareCache();
            PaintAllCacheCorners(FCommonData, 0);
            PaintSkin(reinterpret_cast<HDC>(Message.WParam), false);
        }
        return;
    case CM_VISIBLECHANGED:
        D.BackgroundStale = true;
        D.SetInUpdate(false);
        TPanel::WndProc(Message);
        return;
    case CM_COLORCHANGED:
        if (D.CustomColor())
            D.BackgroundStale = true;
        break;
    case CM_TEXTCHANGED:
        if (Parent())
            D.Invalidate();
        return;
    default:
        break;
    }
    CommonHandling(Message);
}

void TsPanel::StandardMessage(TMessage& Message) {
    switch (Message.Msg) {
    case SM_ALPHACMD:
        // The panel says it is skin-aware, so a child asking for its background takes the answer
        // as it comes: without one it would paint black.
        if (SkinCommandOf(Message.WParam) == SKIN_GETBGCOLOR || SkinCommandOf(Message.WParam) == SKIN_GETBACKGROUND) {
            HandleCommonMessage(Message, FCommonData);
            return;
        }
        break;
    case WM_ERASEBKGND:
        if (OnPaint)
            return;  // the handler paints everything
        break;
    case WM_PRINT:
        if (OnPaint) {
            OnPaint(this, Canvas());
            if (Message.WParam)
                BitBlt(reinterpret_cast<HDC>(Message.WParam), 0, 0, Width(), Height(), Canvas()->Handle(), 0, 0,
                       SRCCOPY);
        }
        return;
    default:
        break;
    }
    TPanel::WndProc(Message);
}

void TsPanel::WndProc(TMessage& Message) {
    if (!FCommonData) {  // the skin data has gone with the control
        TPanel::WndProc(Message);
        return;
    }
    if (Message.Msg == SM_ALPHACMD && LibraryCommand(Message))
        return;
    if (IsControlReady(this) && FCommonData->IsSkinned(false))
        SkinnedMessage(Message);
    else
        StandardMessage(Message);
    if (Message.Msg == CM_MOUSEENTER && OwnMouseMessage(Message) && OnMouseEnter)
        OnMouseEnter(this);
    else if (Message.Msg == CM_MOUSELEAVE && OwnMouseMessage(Message) && OnMouseLeave)
        OnMouseLeave(this);
}

// ---------------------------------------------------------------------------------------------
// TsDragBar

TsDragBar::TsDragBar(TComponent* AOwner) : TsPanel(AOwner) {
    SkinData()->ControlKind = 56;
    SetCaption(" ");
    SetAlign(alTop);
    SetHeight(20);
    Font()->SetColor(clCaptionText);
    Font()->SetStyle(TFontStyles{fsBold});
    SetColor(clActiveCaption);
    SetCursor(crHandPoint);
    SetParentBackground(false);
}

void TsDragBar::DefineClass(TClassBuilder<TsDragBar>& B) {
    B.Property("Align", &TControl::Align, &TControl::SetAlign).Default(alTop);
    B.Property("Color", &TControl::Color, &TControl::SetColor).TypeName("TColor").Default(clActiveCaption);
    B.Property("DraggedControl", &TsDragBar::DraggedControl, &TsDragBar::SetDraggedControl);
    B.Message<&TsDragBar::WMActivateApp>(WM_ACTIVATEAPP);
}

void TsDragBar::SetDraggedControl(TControl* Value) {
    if (Value == FDraggedControl)
        return;
    if (FDraggedControl)
        FDraggedControl->RemoveFreeNotification(this);
    FDraggedControl = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TsDragBar::Notification(TComponent* AComponent, TOperation Operation) {
    TsPanel::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDraggedControl)
        FDraggedControl = nullptr;
}

void TsDragBar::ReadState(TReader& Reader) {
    if (auto* P = DynCast<TControl>(Reader.Parent()); P && !FDraggedControl)
        SetDraggedControl(P->GetParentForm());
    TsPanel::ReadState(Reader);
}

void TsDragBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TsPanel::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft && FDraggedControl) {
        // The system moves the window while the button is held, as a press on its caption would.
        ReleaseCapture();
        FDraggedControl->Perform(WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
    }
}

void TsDragBar::WndProc(TMessage& Message) {
    TsPanel::WndProc(Message);
    if (Message.Msg == SM_ALPHACMD && SkinCommandOf(Message.WParam) == SKIN_REMOVED) {
        SetColor(clActiveCaption);
        SetParentBackground(false);
    }
}

void TsDragBar::WMActivateApp(TMessage& Message) {
    // The caption's colour follows the application's activation and stays readable on the bar.
    Font()->SetColor(Message.WParam ? clCaptionText : clInactiveCaptionText);
    InheritedDispatch(StaticClass(), Message);
}

void sPanelInitialization() {
    RegisterClass(TsPanel::StaticClass());
    RegisterClass(TsDragBar::StaticClass());
}
