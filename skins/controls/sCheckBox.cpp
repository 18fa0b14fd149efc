#include "sCheckBox.h"

#include "sComponentState.h"
#include "sMessages.h"
#include "sPaintServices.h"
#include "sVclUtils.h"

#include <algorithm>

namespace {

// Width of one frame of a strip whose frames are as wide as it is high: the whole width when the
// width is no multiple of the height (then it is one frame).
int FrameWidthOf(int Width, int Height) {
    if (Height <= 0 || Width % Height != 0)
        return Width;
    return Width / (Width / Height);
}

int FrameCountOf(int Width, int Height) { return Height > 0 ? Width / Height : 0; }

// A mask's image and state counts; a skin file that gives none counts as one.
int AtLeastOne(int Value) { return Value > 0 ? Value : 1; }

template <class F>
struct TCleanup {
    F Fn;
    ~TCleanup() { Fn(); }
};
template <class F>
TCleanup(F) -> TCleanup<F>;
}  // namespace

TsCheckBox::TsCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {
    FCommonData = Create<TsCommonData>(this, false);
    FCommonData->ControlKind = 32;
    FGlyphChecked = Create<TBitmap>();
    FGlyphUnChecked = Create<TBitmap>();
    SetWordWrap(false);
    Pressed = false;
    SetAutoSize(true);
}

TsCheckBox::~TsCheckBox() {
    StopFadeTimer(FadeTimer, FCommonData);
    FreeAndNil(FCommonData);
    FreeAndNil(FGlyphChecked);
    FreeAndNil(FGlyphUnChecked);
}

void TsCheckBox::AfterConstruction() {
    TCustomCheckBox::AfterConstruction();
    FCommonData->AfterOwnerLoaded();
}

void TsCheckBox::Loaded() {
    TCustomCheckBox::Loaded();
    FCommonData->AfterOwnerLoaded();
    AdjustSize();
}

void TsCheckBox::DefineClass(TClassBuilder<TsCheckBox>& B) {
    B.Property("AutoSize", &TsCheckBox::AutoSize, &TsCheckBox::SetAutoSize).Default(true);
    B.Property("Margin", &TsCheckBox::Margin, &TsCheckBox::SetMargin).Default(2);
    B.Property("AnimatEvents", &TsCheckBox::AnimatEvents, &TsCheckBox::SetAnimatEvents)
        .Default(TacAnimatEvents{aeGlobalDef});
    B.Property("SkinData", &TsCheckBox::SkinData, &TsCheckBox::SetSkinData);
    B.Property("DisabledKind", &TsCheckBox::DisabledKind, &TsCheckBox::SetDisabledKind)
        .Default(TsDisabledKind{dkBlended});
    B.Property("GlyphChecked", &TsCheckBox::GlyphChecked, &TsCheckBox::SetGlyphChecked);
    B.Property("GlyphUnChecked", &TsCheckBox::GlyphUnChecked, &TsCheckBox::SetGlyphUnChecked);
    B.Property("ImgChecked", &TsCheckBox::ImgChecked, &TsCheckBox::SetImgChecked).NoDefault();
    B.Property("ImgUnchecked", &TsCheckBox::ImgUnchecked, &TsCheckBox::SetImgUnchecked).NoDefault();
    B.Property("Images", &TsCheckBox::Images, &TsCheckBox::SetImages);
    B.Property("ReadOnly", &TsCheckBox::ReadOnly, &TsCheckBox::SetReadOnly).Default(false);
    B.Property("ShowFocus", &TsCheckBox::ShowFocus, &TsCheckBox::SetShowFocus).Default(true);
    B.Property("TextIndent", &TsCheckBox::TextIndent, &TsCheckBox::SetTextIndent).Default(0);
}

// ---------------------------------------------------------------------------------------------
// Properties

void TsCheckBox::SetSkinData(TsCommonData* Value) {
    if (Value && Value != FCommonData)
        FCommonData->Assign(Value);
}

void TsCheckBox::SetDisabledKind(TsDisabledKind Value) {
    if (Value == FDisabledKind)
        return;
    FDisabledKind = Value;
    FCommonData->Invalidate();
}

void TsCheckBox::SizeChanged() {
    if (FAutoSize)
        AdjustSize();
}

void TsCheckBox::SetGlyphChecked(TBitmap* Value) {
    FGlyphChecked->Assign(Value);
    SizeChanged();
    FCommonData->Invalidate();
}

void TsCheckBox::SetGlyphUnChecked(TBitmap* Value) {
    FGlyphUnChecked->Assign(Value);
    SizeChanged();
    Invalidate();
}

void TsCheckBox::SetTextIndent(int Value) {
    if (Value == FTextIndent)
        return;
    FTextIndent = Value;
    SizeChanged();
    Invalidate();
}

void TsCheckBox::SetShowFocus(bool Value) {
    if (Value == FShowFocus)
        return;
    FShowFocus = Value;
    Invalidate();
}

void TsCheckBox::SetMargin(int Value) {
    if (Value == FMargin)
        return;
    FMargin = Value;
    SizeChanged();
    Invalidate();
}

void TsCheckBox::SetImages(TCustomImageList* Value) {
    // The list is watched: a freed list is forgotten rather than painted from.
    if (!SetImageListOf(this, FImages, Value, nullptr))
        return;
    SizeChanged();
    FCommonData->Invalidate();
}

void TsCheckBox::SetImgChecked(int Value) {
    if (Value == FImgChecked)
        return;
    FImgChecked = Value;
    SizeChanged();
    if (Checked())
        FCommonData->Invalidate();
}

void TsCheckBox::SetImgUnchecked(int Value) {
    if (Value == FImgUnchecked)
        return;
    FImgUnchecked = Value;
    SizeChanged();
    if (!Checked())
        FCommonData->Invalidate();
}

void TsCheckBox::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomCheckBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) {
        FImages = nullptr;
        SizeChanged();
        if (FCommonData)
            FCommonData->Invalidate();
    }
}

void TsCheckBox::SetChecked(bool Value) {
    if (InState(this, csLoading))
        return;
    if (Value != Checked())
        FCommonData->BackgroundStale = true;
    TCustomCheckBox::SetChecked(Value);
    if (FCommonData->BackgroundStale)
        Repaint();
}

TAlignment TsCheckBox::GetControlsAlignment() const {
    TAlignment A = Alignment();
    if (!UseRightToLeftAlignment())
        return A;
    if (A == taRightJustify)
        return taLeftJustify;
    if (A == taLeftJustify)
        return taRightJustify;
    return A;
}

// ---------------------------------------------------------------------------------------------
// Automatic size

void TsCheckBox::SetAutoSize(bool Value) {
    if (Value == FAutoSize)
        return;
    FAutoSize = Value;
    AdjustSize();
}

void TsCheckBox::AdjustSize() {
    if (FAutoSize && !InState(this, csLoading) && !InState(this, csDestroying))
        SetBounds(Left(), Top(), Width(), Height());
}

void TsCheckBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (FAutoSize && FCommonData && !InState(this, csLoading)) {
        int W = AWidth, H = AHeight;
        if (CanAutoSize(W, H)) {
            AWidth = W;
            AHeight = H;
        }
    }
    TCustomCheckBox::SetBounds(ALeft, ATop, AWidth, AHeight);
}

bool TsCheckBox::CanAutoSize(int& NewWidth, int& NewHeight) {
    std::string Text = Caption();
    TSize TextSize{0, 0};
    TextSizeWithFont(Font()->Handle(), Text, TextSize);
    int HasText = Text.empty() ? 0 : 1;
    if (FCommonData->IsSkinned(false)) {
        if (InState(this, csLoading) || !FAutoSize)
            return false;
        TRect R = CheckRect();
        NewWidth = R.Width() + 2 * FMargin + (TextSize.cx + FTextIndent + 8) * HasText;
        NewHeight = std::max<int>(R.Height(), TextSize.cy * HasText + 2 * FMargin) + 2;
        return true;
    }
    if (!FAutoSize)
        return false;
    NewWidth = TextSize.cx + 20;
    NewHeight = std::max<int>(TextSize.cy + 4, 20);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Glyph geometry

TBitmap* TsCheckBox::CurrentGlyph() const {
    TBitmap* G = Checked() ? FGlyphChecked : FGlyphUnChecked;
    return G->Width() > 0 && G->Height() > 0 ? G : nullptr;
}

int TsCheckBox::GlyphWidth() {
    if (ImageListMode())
        return FrameWidthOf(FImages->Width(), FImages->Height());
    if (TBitmap* G = CurrentGlyph())
        return FrameWidthOf(G->Width(), G->Height());
    return 16;
}

int TsCheckBox::GlyphHeight() {
    if (ImageListMode())
        return FImages->Height();
    if (TBitmap* G = CurrentGlyph())
        return G->Height();
    return 16;
}

int TsCheckBox::GlyphMaskIndex(TCheckBoxState AState) {
    TsSkinManager* M = FCommonData->GetSkinManager();
    if (!M)
        return -1;
    static const char* const Names[] = {"BOXUNCHECKED", "BOXCHECKED", "BOXGRAYED"};
    return M->FindMaskIndex(M->FindSectionIndex("GLOBALINFO"), "GLOBALINFO", Names[AState]);
}

int TsCheckBox::SkinGlyphWidth(int Mask) {
    const TsMaskData& M = FCommonData->GetSkinManager()->MaskList[Mask];
    if (M.Bmp)
        return M.Bmp->Width() / 3;
    return M.R.Width() / AtLeastOne(M.ImageCount);
}

int TsCheckBox::SkinGlyphHeight(int Mask) {
    const TsMaskData& M = FCommonData->GetSkinManager()->MaskList[Mask];
    if (M.Bmp)
        return M.Bmp->Height() / 2;
    return M.R.Height() / AtLeastOne(M.MaskType + 1);
}

TRect TsCheckBox::SkinCheckRect(int Mask) {
    int W = SkinGlyphWidth(Mask), H = SkinGlyphHeight(Mask);
    int T = (Height() - H) / 2;
    if (GetControlsAlignment() == taRightJustify)
        return Rect(FMargin, T, FMargin + W, T + H);
    return Rect(Width() - W - FMargin, T, Width() - FMargin, T + H);
}

TRect TsCheckBox::CheckRect() {
    if (ImageListMode() || FGlyphChecked->Width() > 0) {
        int W = GlyphWidth(), H = GlyphHeight();
        int T = (Height() - H) / 2;
        if (GetControlsAlignment() == taRightJustify)
            return Rect(FMargin, T, FMargin + W, T + H);
        return Rect(Width() - W - FMargin, T, Width() - FMargin, T + H);
    }
    int Mask = GlyphMaskIndex(cbChecked);
    TsSkinManager* M = FCommonData->GetSkinManager();
    if (M && M->MaskIndexInRange(Mask))
        return SkinCheckRect(Mask);
    return Rect(0, 0, 16, 16);
}

int TsCheckBox::FrameIndex(int FrameCount) const {
    int Frame = Pressed ? 2 : (FCommonData->IsHotState() && !FReadOnly ? 1 : 0);
    return std::max(0, std::min(Frame, FrameCount - 1));
}

// ---------------------------------------------------------------------------------------------
// Skinned painting

void TsCheckBox::PrepareCache() {
    FCommonData->PrepareCacheBitmap();
    TBitmap* Cache = FCommonData->CacheBitmap;
    TCanvas* C = Cache->Canvas();
    C->SetFont(Font());
    C->Lock();
    TCleanup Unlock{[&] { C->Unlock(); }};
    ParentBackgroundInfo Info;
    Info.DC = C->Handle();
    Info.PaintNow = true;
    Info.X = Left();
    Info.Y = Top();
    Info.R = Rect(0, 0, Width(), Height());
    QueryParentBackground(Info, Parent(), true);
    if (Info.Kind == 0) {  // the parent painted itself straight into the cache
        Info.Bmp = Cache;
        Info.Kind = 2;
    }
    BackgroundSource Background;
    ToBackgroundSource(Info, Background);
    bool Hot = FCommonData->IsHotState() && !FReadOnly;
    PaintControlSkin(FCommonData, Background, true, false, Hot ? 1 : 0, Cache, Point(Left(), Top()),
                     Rect(0, 0, Cache->Width(), Height()));
    PaintCaption();
    PaintGlyph();
    if (!Enabled())
        PaintDisabledLook(Cache, FDisabledKind, Parent(), Background, Point(Left(), Top()));
    FCommonData->BackgroundStale = false;
}

void TsCheckBox::PaintCaption() {
    std::string Text = Caption();
    if (Text.empty())
        return;
    TCanvas* C = FCommonData->CacheBitmap->Canvas();
    TRect R = CheckRect();
    int MaxWidth = Width() - (R.Width() + FTextIndent + 2 * FMargin + 2);
    RECT M{0, 0, MaxWidth, 0};
    DrawTextA(C->Handle(), Text.c_str(), static_cast<int>(Text.size()), &M,
              DT_CALCRECT | (WordWrap() ? DT_WORDBREAK : DT_SINGLELINE));
    int H = M.bottom - M.top, W = M.right - M.left;
    int TextTop = std::max((Height() - H) / 2, FMargin);
    int TextBottom = TextTop + H;
    TRect T;
    if (GetControlsAlignment() == taRightJustify) {
        int L = Width() - MaxWidth - FMargin + 2;
        T = Rect(L, TextTop, L + W, TextBottom);
    } else {
        T = Rect(FMargin, TextTop, MaxWidth + FMargin, TextBottom);
    }
    OffsetRect(T, WordWrap() ? -1 : 0, -1);
    bool Hot = FCommonData->IsHotState() && !FReadOnly;
    WriteControlText(C, Text, true, Hot, FCommonData, WordWrap() ? DT_WORDBREAK | DT_CENTER : DT_SINGLELINE, T);
    C->Pen()->SetStyle(psClear);
    C->Brush()->SetStyle(bsSolid);
    if (Focused() && FShowFocus) {
        if (!WordWrap()) {
            T.Top += 1;
            T.Bottom -= 1;
        }
        InflateRect(T, 1, 1);
        DrawDottedFrame(C, T);
    }
}

void TsCheckBox::PaintGlyph() {
    if (ImageListMode()) {
        int Index = Checked() ? FImgChecked : FImgUnchecked;
        TRect R = CheckRect();
        int W = FImages->Width(), H = FImages->Height();
        int N = FrameCountOf(W, H);
        if (N <= 1 || W % H != 0) {
            FImages->Draw(FCommonData->CacheBitmap->Canvas(), R.Left, R.Top, Index, true);
            return;
        }
        TOwned<TBitmap> Strip(Create<TBitmap>());
        if (FImages->GetBitmap(Index, Strip.get()))
            DrawGlyphFrame(Strip.get(), FrameIndex(N));
        return;
    }
    if (TBitmap* G = CurrentGlyph()) {
        DrawGlyphFrame(G, FrameIndex(FrameCountOf(G->Width(), G->Height())));
        return;
    }
    int Mask = GlyphMaskIndex(State());
    if (FCommonData->GetSkinManager()->MaskIndexInRange(Mask))
        PaintSkinGlyph(Mask);
}

void TsCheckBox::DrawGlyphFrame(TBitmap* Bitmap, int Frame) {
    TBitmap* Cache = FCommonData->CacheBitmap;
    if (Cache->Width() == 0)
        return;
    if (Bitmap->PixelFormat() == pfDevice)
        Bitmap->SetHandleType(bmDIB);
    if (Bitmap->PixelFormat() != pf32bit)
        Bitmap->SetPixelFormat(pf24bit);
    int W = GlyphWidth(), H = GlyphHeight();
    TRect Src = Rect(Frame * W, 0, (Frame + 1) * W, H);
    if (Src.Right > Bitmap->Width() || Src.Bottom > Bitmap->Height())
        return;
    DrawMaskedImage(CheckRect(), Src, Cache, true, EmptyBackgroundSource, Bitmap);
}

void TsCheckBox::PaintSkinGlyph(int Mask) {
    TBitmap* Cache = FCommonData->CacheBitmap;
    if (Cache->Width() < 1)
        return;
    TRect R = SkinCheckRect(Mask);
    int State = Pressed ? 2 : (FCommonData->IsHotState() && !FReadOnly ? 1 : 0);
    DrawSkinGlyph(Cache, Point(R.Left, R.Top), State, 1, FCommonData->GetSkinManager()->MaskList[Mask],
                  MakeBackgroundSource(Cache, 0, 0));
}

void TsCheckBox::PaintToDC(HDC DC) {
    if (FCommonData->IsUpdating() || (FadeTimer && FadeTimer->Enabled()))
        return;
    PrepareCache();
    PaintAllCacheCorners(FCommonData, 0);
    BitBlt(DC, 0, 0, Width(), Height(), FCommonData->CacheBitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsCheckBox::WMPaint(TMessage& Message) {
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    PAINTSTRUCT PS;
    bool Began = DC == nullptr;
    if (Began)
        DC = BeginPaint(Handle(), &PS);
    int Saved = SaveDC(DC);
    TCleanup Done{[&] {
        RestoreDC(DC, Saved);
        if (Began)
            EndPaint(Handle(), &PS);
    }};
    if (FCommonData->IsUpdating())
        FCommonData->SetInUpdate(true);
    else
        PaintToDC(DC);
}

// ---------------------------------------------------------------------------------------------
// Messages

bool TsCheckBox::LibraryCommand(TMessage& Message) {
    Word Code = SkinCommandOf(Message.WParam);
    bool OwnManager = Message.LParam == reinterpret_cast<LPARAM>(FCommonData->GetSkinManager());
    switch (Code) {
    case SKIN_LOADED:
        if (!OwnManager)
            return false;
        StopFadeTimer(FadeTimer, FCommonData);
        HandleCommonMessage(Message, FCommonData);
        return true;
    case SKIN_REMOVED:
        if (!OwnManager)
            return false;
        StopFadeTimer(FadeTimer, FCommonData);
        HandleCommonMessage(Message, FCommonData);
        if (HandleAllocated()) {
            SendMessageA(Handle(), BM_SETCHECK, static_cast<WPARAM>(State()), 0);
            if (!InState(this, csDesigning) && UxThemeLibrary && SetWindowThemeProc)
                SetWindowThemeProc(Handle(), nullptr, nullptr);
        }
        Repaint();
        return true;
    case SKIN_REFRESH:
        if (!OwnManager)
            return false;
        StopFadeTimer(FadeTimer, FCommonData);
        HandleCommonMessage(Message, FCommonData);
        AdjustSize();
        Repaint();
        return true;
    case SKIN_ISSKINNED:
        Message.Result = 1;
        return true;
    case SKIN_ANIMDONE:
        StopFadeTimer(FadeTimer, FCommonData);
        return true;
    case SKIN_PREPARECACHE:
        PrepareCache();
        return false;
    case SKIN_GETAPPLICATION:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return true;
    default:
        return false;
    }
}

bool TsCheckBox::SkinnedFocusAndMouse(TMessage& Message) {
    bool Designing = InState(this, csDesigning);
    switch (Message.Msg) {
    case WM_SETFOCUS:
    case CM_ENTER:
        if (Designing)
            return false;
        if (!Enabled())
            return true;
        TCustomCheckBox::WndProc(Message);
        FCommonData->BackgroundStale = true;
        if (FadeTimer)
            FadeTimer->PaintStep();
        else
            Repaint();
        return true;
    case WM_KILLFOCUS:
    case CM_EXIT:
        if (Designing || !Enabled())
            return false;
        Pressed = false;
        if (FadeTimer)
            StopFadeTimer(FadeTimer, FCommonData);
        SendMessageA(Handle(), WM_SETREDRAW, 0, 0);
        TCustomCheckBox::WndProc(Message);
        SendMessageA(Handle(), WM_SETREDRAW, 1, 0);
        FCommonData->HasFocus = false;
        FCommonData->MouseOver = false;
        FCommonData->Invalidate();
        return true;
    case CM_MOUSEENTER:
        if (Message.LParam == 0 && Enabled() && !Designing && !FCommonData->MouseOver) {
            FCommonData->MouseOver = true;
            FadeToNewState(FadeTimer, FCommonData, false,
                           AnimatEventAllowed(aeMouseEnter, FAnimatEvents, FCommonData->GetSkinManager()), 1);
        }
        return false;
    case CM_MOUSELEAVE:
        if (Message.LParam == 0 && Enabled() && !Designing) {
            FCommonData->MouseOver = false;
            Pressed = false;
            FadeToNewState(FadeTimer, FCommonData, false,
                           AnimatEventAllowed(aeMouseLeave, FAnimatEvents, FCommonData->GetSkinManager()), 1);
        }
        return false;
    default:
        return false;
    }
}

void TsCheckBox::TakeFocus() {
    if (Focused())
        return;
    bool Was = FClicksDisabled;
    FClicksDisabled = true;
    ::SetFocus(Handle());
    FClicksDisabled = Was;
}

void TsCheckBox::SkinnedMessage(TMessage& Message) {
    bool Interactive = Enabled() && !InState(this, csDesigning);
    switch (Message.Msg) {
    case SM_ALPHACMD:
        if (SkinCommandOf(Message.WParam) == SKIN_ENDUPDATE &&
            (FCommonData->IsUpdating() || FCommonData->PartlyClipped)) {
            FCommonData->SetInUpdate(false);
            if (!InState(this, csDesigning))
                Repaint();
        }
        break;
    case WM_NCPAINT:
    case WM_ENABLE:
        return;
    case WM_PAINT:
        WMPaint(Message);
        if (InState(this, csDesigning))
            break;
        return;
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case WM_PRINT:
        // The system check box would paint its own image over the skinned one: it gets no WM_PRINT.
        FCommonData->SetInUpdate(false);
        WMPaint(Message);
        return;
    case BM_SETCHECK:
        if (FadeTimer && FadeTimer->Step < FadeTimer->StepCount)
            StopFadeTimer(FadeTimer, FCommonData);
        return;
    case WM_KEYDOWN: {
        if (!Interactive || Message.WParam != VK_SPACE)
            break;
        if (ReadOnly())
            return;
        Pressed = true;
        TakeFocus();
        Repaint();
        Word Key = static_cast<Word>(Message.WParam);
        if (OnKeyDown)
            OnKeyDown(this, Key, KeyDataToShiftState(Message.LParam));
        return;
    }
    case WM_KEYUP: {
        if (!Interactive)
            break;
        if (ReadOnly())
            return;
        bool WasPressed = Pressed;
        Pressed = false;
        if (WasPressed)
            Toggle();
        Word Key = static_cast<Word>(Message.WParam);
        if (OnKeyUp)
            OnKeyUp(this, Key, KeyDataToShiftState(Message.LParam));
        return;
    }
    case WM_UPDATEUISTATE:
        if (FCommonData->IsSkinned(false) && !InState(this, csDesigning) && UxThemeLibrary && SetWindowThemeProc)
            SetWindowThemeProc(Handle(), L" ", L" ");
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        // (Drag modes are not part of the framework: every control is in manual mode.)
        if (!Interactive)
            break;
        if (ReadOnly())
            return;
        Pressed = true;
        FadeToNewState(FadeTimer, FCommonData, true,
                       AnimatEventAllowed(aeMouseDown, FAnimatEvents, FCommonData->GetSkinManager()), 1);
        TakeFocus();
        TShiftState Shift = KeysToShiftState(Message.WParam);
        int X = static_cast<short>(LOWORD(Message.LParam)), Y = static_cast<short>(HIWORD(Message.LParam));
        if (Message.Msg == WM_LBUTTONDBLCLK) {
            if (OnDblClick)
                OnDblClick(this);
        } else if (OnMouseDown) {
            OnMouseDown(this, mbLeft, Shift, X, Y);
        }
        return;
    }
    case WM_LBUTTONUP: {
        if (!Interactive)
            break;
        if (ReadOnly())
            return;
        bool WasPressed = Pressed;
        Pressed = false;
        if (WasPressed)
            Toggle();
        if (OnMouseUp)
            OnMouseUp(this, mbLeft, KeysToShiftState(Message.WParam), static_cast<short>(LOWORD(Message.LParam)),
                      static_cast<short>(HIWORD(Message.LParam)));
        return;
    }
    case CM_ENABLEDCHANGED:
        TCustomCheckBox::WndProc(Message);
        Repaint();
        return;
    case CM_TEXTCHANGED:
        SizeChanged();
        Repaint();
        return;
    case CM_CHANGED:
        if (InState(this, csDesigning))
            FCommonData->Invalidate();
        else
            FadeToNewState(FadeTimer, FCommonData, true,
                           AnimatEventAllowed(aeMouseUp, FAnimatEvents, FCommonData->GetSkinManager()), 1);
        break;
    default:
        break;
    }
    TCustomCheckBox::WndProc(Message);
}

void TsCheckBox::StandardMessage(TMessage& Message) {
    switch (Message.Msg) {
    case BM_SETCHECK:
    case BM_SETSTATE:
        // The system box highlights itself (BM_SETSTATE) before it reports a click: a read-only box
        // that refuses the highlight is never clicked by the user.
        if (Pressed && !ControlState().Contains(csCreating) && ReadOnly())
            return;
        break;
    case WM_LBUTTONDBLCLK:
        if (ReadOnly())
            return;
        break;
    case WM_LBUTTONDOWN:
    case WM_KEYDOWN:
        Pressed = true;
        break;
    case WM_LBUTTONUP:
    case WM_KEYUP:
    case WM_KILLFOCUS:
    case CM_EXIT:
        // A key pressed here and released elsewhere must not leave the box refusing the program's
        // own changes: leaving the box ends the press.
        Pressed = false;
        break;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
        TCustomCheckBox::WndProc(Message);
        SizeChanged();
        return;
    default:
        break;
    }
    TCustomCheckBox::WndProc(Message);
}

void TsCheckBox::WndProc(TMessage& Message) {
    if (!FCommonData) {  // the skin data has gone with the control
        TCustomCheckBox::WndProc(Message);
        return;
    }
    if (Message.Msg == SM_ALPHACMD && LibraryCommand(Message))
        return;
    if (FCommonData->IsSkinned(true) && SkinnedFocusAndMouse(Message))
        return;
    if (!IsControlReady(this)) {
        TCustomCheckBox::WndProc(Message);
        if (Message.Msg == CM_TEXTCHANGED || Message.Msg == CM_FONTCHANGED)
            SizeChanged();
        return;
    }
    if (HandleCommonMessage(Message, FCommonData))
        return;
    if (FCommonData->IsSkinned(true))
        SkinnedMessage(Message);
    else
        StandardMessage(Message);
}

void sCheckBoxInitialization() { RegisterClass(TsCheckBox::StaticClass()); }
