#include "acSpeedButtonHandler.h"

#include "acPNG.h"
#include "sDCUtils.h"
#include "sGraphUtils.h"
#include "sMaskDraw.h"
#include "sMessages.h"
#include "sPaintServices.h"
#include "sVclUtils.h"

#include <algorithm>

class TControlWatch : public TComponent {
    DECLARE_CLASS(TControlWatch, TComponent)
public:
    explicit TControlWatch(TacSpeedButtonHandler* AHandler) : TComponent(nullptr), Handler(AHandler) {}

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove && AComponent == Handler->Control) {
            Handler->Control = nullptr;
            Handler->Unhooked = true;
        }
    }

private:
    TacSpeedButtonHandler* Handler;
};

TacSpeedButtonHandler::TacSpeedButtonHandler(TControl* AControl, bool, const std::string& Section,
                                             TsSkinManager* Manager, TsCommonData* ASkinData)
    : Control(AControl), SkinData(ASkinData) {
    SkinManager = Manager ? Manager : (SkinData ? SkinData->GetSkinManager() : nullptr);
    Unhooked = false;
    if (SkinData && (SkinData->SkinSection().empty() || SkinData->SkinSection() == "UNKNOWN"))
        SkinData->SetSkinSection(Section);
    ChainWindowProc(Control, TWndMethod::Bind<&TacSpeedButtonHandler::WndProc>(this), ReplacedWindowProc);
    Watch = Create<TControlWatch>(this);
    Control->FreeNotification(Watch);
}

TacSpeedButtonHandler::~TacSpeedButtonHandler() {
    // The procedure goes back whenever the button lives on, also while an adapter frees all its
    // items: a button must not keep calling into a freed handler. Under a later hook, that one takes
    // what this one replaced; a hook that is none of ours on top keeps its own chain.
    if (!Unhooked && Control && !Control->ComponentState().Contains(csDestroying))
        UnchainWindowProc(Control, TWndMethod::Bind<&TacSpeedButtonHandler::WndProc>(this), ReplacedWindowProc);
    UnregisterSavedProc(ReplacedWindowProc);
    Unhooked = true;
    SkinManager = nullptr;
    if (Control)
        Control->RemoveFreeNotification(Watch);
    FreeAndNil(Watch);
}

void TacSpeedButtonHandler::CallPrevWndProc(TMessage& Message) {
    if (!ReplacedWindowProc)
        return;
    TMessage Copy = Message;
    Copy.Result = 0;
    ReplacedWindowProc(Copy);
    Message.Result = Copy.Result;
    Message.LParam = Copy.LParam;
}

int TacSpeedButtonHandler::CurrentState() {
    if (TSpeedButton* B = Button(); B && (B->State() == bsDown || B->State() == bsExclusive))
        return 2;
    return SkinData->IsHotState() ? 1 : 0;
}

TSize TacSpeedButtonHandler::TextSize() {
    const std::string Text = Caption();
    if (Text.empty())
        return TSize{};
    RECT R{0, 0, 255, 0};
    DrawTextA(SkinData->CacheBitmap->Canvas()->Handle(), Text.c_str(), static_cast<int>(Text.size()), &R,
              DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
    return TSize{R.right - R.left, R.bottom - R.top};
}

int TacSpeedButtonHandler::GlyphWidth() {
    TSpeedButton* B = Button();
    return !B || B->Glyph()->Empty() ? 0 : B->Glyph()->Width() / std::max(1, int(B->NumGlyphs()));
}

int TacSpeedButtonHandler::GlyphHeight() {
    TSpeedButton* B = Button();
    return !B || B->Glyph()->Empty() ? 0 : B->Glyph()->Height();
}

TRect TacSpeedButtonHandler::GlyphRect() {
    TSpeedButton* B = Button();
    const int W = Control->Width(), H = Control->Height(), GW = GlyphWidth(), GH = GlyphHeight();
    const TSize T = TextSize();
    const bool HasText = !Caption().empty();
    const int Spacing = B ? B->Spacing() : 4, Margin = B ? B->Margin() : -1;
    const int X = (W - GW - (GW > 0 && HasText ? Spacing : 0) - T.cx) / 2;
    const int Y = (H - GH - (GH > 0 && HasText ? Spacing : 0) - T.cy) / 2;
    int Left = 0, Top = 0;
    switch (B ? B->Layout() : blGlyphLeft) {
    case blGlyphLeft: Left = Margin == -1 ? X : Margin; Top = (H - GH) / 2; break;
    case blGlyphRight: Left = Margin == -1 ? W - X - GW : W - Margin - GW; Top = (H - GH) / 2; break;
    case blGlyphTop: Left = (W - GW) / 2; Top = Margin == -1 ? Y : Margin; break;
    case blGlyphBottom: Left = (W - GW) / 2; Top = Margin == -1 ? H - Y - GH : H - Margin - GH; break;
    }
    const int P = CurrentState() == 2 ? 1 : 0;
    Left += P;
    Top += P;
    return Rect(Left, Top, Left + GW, Top + GH);
}

TRect TacSpeedButtonHandler::CaptionRect() {
    TSpeedButton* B = Button();
    const int W = Control->Width(), H = Control->Height();
    const TSize T = TextSize();
    const int P = CurrentState() == 2 ? 1 : 0;
    const int Spacing = B ? B->Spacing() : 4, Margin = B ? B->Margin() : -1;
    const TButtonLayout Layout = B ? B->Layout() : blGlyphLeft;
    int Left = 0, Top = 0;
    if (GlyphWidth() > 0) {
        const TRect G = GlyphRect();
        switch (Layout) {
        case blGlyphLeft: Left = G.Right + Spacing; Top = P + (H - T.cy) / 2; break;
        case blGlyphRight: Left = G.Left - Spacing - T.cx; Top = P + (H - T.cy) / 2; break;
        case blGlyphTop: Left = P + (W - T.cx) / 2; Top = G.Bottom + Spacing; break;
        case blGlyphBottom: Left = P + (W - T.cx) / 2; Top = G.Top - Spacing - T.cy; break;
        }
    } else if (Margin == -1) {
        Left = P + (W - T.cx) / 2;
        Top = P + (H - T.cy) / 2;
    } else {
        switch (Layout) {
        case blGlyphLeft: Left = Margin; Top = P + (H - T.cy) / 2; break;
        case blGlyphRight: Left = W - Margin - T.cx; Top = P + (H - T.cy) / 2; break;
        case blGlyphTop: Left = P + (W - T.cx) / 2; Top = Margin; break;
        case blGlyphBottom: Left = P + (W - T.cx) / 2; Top = H - Margin - T.cy; break;
        }
    }
    return Rect(Left, Top, Left + T.cx, Top + T.cy);
}

void TacSpeedButtonHandler::WriteCaption(const TRect& R, UINT Flags) {
    Flags = Control->DrawTextBiDiModeFlags(Flags) & ~static_cast<UINT>(DT_SINGLELINE);
    TCanvas* C = SkinData->CacheBitmap->Canvas();
    C->Font()->Assign(Control->Font());
    WriteControlText(C, Caption(), true, CurrentState() != 0, SkinData, Flags, R);
}

void TacSpeedButtonHandler::PaintCaption() {
    if (Caption().empty())
        return;
    TCanvas* C = SkinData->CacheBitmap->Canvas();
    C->Font()->Assign(Control->Font());
    C->Brush()->SetStyle(bsClear);
    WriteCaption(CaptionRect(), AlignmentTextFlags(Control, taLeftJustify) | DT_EXPANDTABS | DT_WORDBREAK);
}

void TacSpeedButtonHandler::PaintGlyph() {
    TSpeedButton* B = Button();
    if (!B || B->Glyph()->Empty())
        return;
    TBitmap* Glyph = B->Glyph();
    if (Glyph->PixelFormat() == pfDevice)
        Glyph->SetHandleType(bmDIB);
    const TRect R = GlyphRect();
    if (B->NumGlyphs() == 1 && Glyph->PixelFormat() == pf32bit) {
        TOwned<TPNGGraphic> Png(Create<TPNGGraphic>());
        Png->SetPixelFormat(pf32bit);
        Png->SetSize(Glyph->Width(), Glyph->Height());
        BitBlt(Png->Canvas()->Handle(), 0, 0, Glyph->Width(), Glyph->Height(), Glyph->Canvas()->Handle(), 0, 0, SRCCOPY);
        SkinData->CacheBitmap->Canvas()->Draw(R.Left, R.Top, Png.get());
        return;
    }
    DrawStateGlyph(Glyph, SkinData->CacheBitmap, R, false, B->Down(), 0, CurrentState(), TsDisabledGlyphKind{dgBlended},
                   B->Enabled(), B->NumGlyphs());
}

void TacSpeedButtonHandler::PrepareCache() {
    SkinData->PrepareCacheBitmap();
    TBitmap* Cache = SkinData->CacheBitmap;
    Cache->Canvas()->Font()->Assign(Control->Font());
    ParentBackgroundInfo Info;
    QueryParentBackground(Info, Control->Parent(), false);
    BackgroundSource Back;
    ToBackgroundSource(Info, Back);
    // A parent whose image is not there yet: the button keeps its previous image.
    if (Back.Bmp && Back.Bmp->Width() == 0)
        return;
    const int S = CurrentState();
    const int P = S == 2 ? 1 : 0;
    PaintControlSkin(SkinData, Back, true, true, S, Cache, Point(Control->Left(), Control->Top()),
                     Rect(0, 0, Control->Width(), Control->Height()), P, P);
    PaintAllCacheCorners(SkinData, S);
    PaintCaption();
    PaintGlyph();
    if (!Control->Enabled()) {
        BackgroundSource Parent;
        SkinData->GetParentBackgroundSource(Parent);
        PaintDisabledLook(Cache, TsDisabledKind{dkBlended}, Control->Parent(), Parent,
                          Point(Control->Left(), Control->Top()));
    }
    SkinData->BackgroundStale = false;
}

void TacSpeedButtonHandler::WMPaint(TMessage& Message) {
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    if (!DC)
        return;
    const int Saved = SaveDC(DC);
    PrepareCache();
    PaintAllCacheCorners(SkinData, 0);
    TBitmap* Cache = SkinData->CacheBitmap;
    BitBlt(DC, 0, 0, Control->Width(), Control->Height(), Cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    RestoreDC(DC, Saved);
}

void TacSpeedButtonHandler::WndProc(TMessage& Message) {
    if (!SkinData || !Control) {
        CallPrevWndProc(Message);
        return;
    }
    const bool Own = Message.LParam == reinterpret_cast<LPARAM>(SkinData->GetSkinManager());
    switch (Message.Msg) {
    case SM_ALPHACMD:
        switch (SkinCommandOf(Message.WParam)) {
        case SKIN_LOADED:
            if (Own) {
                HandleCommonMessage(Message, SkinData);
                return;
            }
            break;
        case SKIN_REMOVED:
            if (Own && !Control->ComponentState().Contains(csDestroying)) {
                HandleCommonMessage(Message, SkinData);
                if (Control->Visible())
                    Control->Repaint();
            }
            break;
        case SKIN_REFRESH:
            if (Own) {
                HandleCommonMessage(Message, SkinData);
                if (Control->Visible())
                    Control->Repaint();
                return;
            }
            break;
        case SKIN_ENDUPDATE:
            if (SkinData->IsUpdating()) {
                SkinData->SetInUpdate(false);
                Control->Repaint();
                return;
            }
            break;
        case SKIN_ISSKINNED:
            Message.Result = 1;
            return;
        case SKIN_REPAINTNOW:
            SkinData->InUpdate = false;
            SkinData->BackgroundStale = true;
            Control->Repaint();
            break;
        case SKIN_GETAPPLICATION:
            Message.Result = reinterpret_cast<LRESULT>(Application);
            return;
        default:
            break;
        }
        break;
    case WM_PAINT:
        if (SkinData->IsSkinned(false)) {
            WMPaint(Message);
            return;
        }
        break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        SkinData->MouseOver = Message.Msg == CM_MOUSEENTER;
        CallPrevWndProc(Message);
        Control->Repaint();
        return;
    default:
        break;
    }
    CallPrevWndProc(Message);
}
