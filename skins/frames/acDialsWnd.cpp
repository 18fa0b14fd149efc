// The window-procedure wrapper of a hooked standard dialog and its skinned system menu.
#include "acDials.h"
#include "acSBAnimation.h"

#include "SysUtils.h"
#include "acBorderForm.h"
#include "acPNG.h"
#include "acntUtils.h"
#include "sConst.h"
#include "sDCUtils.h"
#include "sGraphUtils.h"
#include "sMaskDraw.h"
#include "sMessages.h"
#include "sPaintServices.h"
#include "sSectionPaint.h"
#include "sSkinProvider.h"
#include "sVclUtils.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr const char* GlobalInfo = "GLOBALINFO";
constexpr const char* TitleSection = "FORMTITLE";

bool Inside(const TRect& R, TPoint P) { return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom; }

bool IsButtonCode(int Code) {
    return Code == HTMINBUTTON || Code == HTMAXBUTTON || Code == HTCLOSE || Code == HTHELP ||
           (Code >= HTMDICLOSE && Code <= HTMDIMIN);
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// TacSystemMenu

TacSystemMenu::TacSystemMenu(TacDialogWnd* AOwner) : TsCustomSysMenu(nullptr), FOwner(AOwner) {
    auto Add = [this](const std::string& Caption, const char* Name, WPARAM Command, TNotifyEvent Click) {
        TMenuItem* Item = Create<TMenuItem>(this);
        Item->SetCaption(Caption);
        Item->SetName(Name);
        Item->SetTag(static_cast<LongInt>(Command));
        Item->OnClick = Click;
        Items()->Add(Item);
        return Item;
    };
    miRestore = Add(SRestore, "miRestore", SC_RESTORE, TNotifyEvent::Bind<&TacSystemMenu::RestoreClick>(this));
    miMove = Add(SMove, "miMove", SC_MOVE, TNotifyEvent::Bind<&TacSystemMenu::MoveClick>(this));
    miSize = Add(SSize, "miSize", SC_SIZE, TNotifyEvent::Bind<&TacSystemMenu::SizeClick>(this));
    miMinimize = Add(SMinimize, "miMinimize", SC_MINIMIZE, TNotifyEvent::Bind<&TacSystemMenu::MinimizeClick>(this));
    miMaximize = Add(SMaximize, "miMaximize", SC_MAXIMIZE, TNotifyEvent::Bind<&TacSystemMenu::MaximizeClick>(this));
    TMenuItem* Line = Create<TMenuItem>(this);
    Line->SetCaption("-");
    Items()->Add(Line);
    miClose = Add(SClose, "miClose", SC_CLOSE, TNotifyEvent::Bind<&TacSystemMenu::CloseClick>(this));
    miClose->SetShortCut(0x8073);
}

bool TacSystemMenu::VisibleClose() { return FOwner && FOwner->HasSysMenu(); }

void TacSystemMenu::UpdateItems() {
    if (!FOwner)
        return;
    const Byte K = FOwner->FrameKind;
    HWND H = FOwner->Handle;
    const bool Zoomed = IsZoomed(H), Iconic = IsIconic(H);
    miRestore->SetVisible(K != 0 && K != 2 && K != 4 && K != 5 && FOwner->HasSysMenu());
    miMove->SetVisible(true);
    miSize->SetVisible(!(K == 0 || K == 2 || K == 4));
    miMinimize->SetVisible(FOwner->HasMinBox());
    miMaximize->SetVisible(FOwner->HasMaxBox());
    miClose->SetVisible(FOwner->HasSysMenu());
    miRestore->SetEnabled(FOwner->CanRestore());
    miMove->SetEnabled(!Zoomed);
    miSize->SetEnabled(K != 1 && !Iconic);
    miMinimize->SetEnabled(FOwner->CanMinimize());
    miMaximize->SetEnabled(FOwner->CanMaximize());
    miClose->SetEnabled(true);
}

void TacSystemMenu::Send(WPARAM Command) {
    if (FOwner)
        SendMessageA(FOwner->Handle, WM_SYSCOMMAND, Command, 0);
}

void TacSystemMenu::RestoreClick(TObject*) {
    Send(SC_RESTORE);
    UpdateItems();
}
void TacSystemMenu::MoveClick(TObject*) { Send(SC_MOVE); }
void TacSystemMenu::SizeClick(TObject*) { Send(SC_SIZE); }
void TacSystemMenu::MinimizeClick(TObject*) { Send(SC_MINIMIZE); }
void TacSystemMenu::MaximizeClick(TObject*) {
    Send(SC_MAXIMIZE);
    UpdateItems();
}
void TacSystemMenu::CloseClick(TObject*) { Send(SC_CLOSE); }

// ---------------------------------------------------------------------------------------------
// TacDialogWnd: life

TacDialogWnd::TacDialogWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                           TsCommonData* ASkinData)
    : TacScrollWnd(AHandle, Repaint, SkinSection, Manager, ASkinData) {
    ButtonsBackground = Create<TBitmap>();
    SkipClientPaint = Win32MajorVersion > 5;
    SystemMenu = Create<TacSystemMenu>(this);
    SystemMenu->UpdateItems();
    SkinData->SetInUpdate(true);
    DisableDwmTransitions(Handle, true);
    if (DefaultManager && DefaultManager->SkinnedPopups && DefaultManager->SkinableMenus)
        DefaultManager->SkinableMenus->HookMenu(SystemMenu, true);
}

TacDialogWnd::~TacDialogWnd() {
    // A dialog that outlives its wrapper (the skin switched off) gets its system frame back.
    if (!Unhooked && IsWindow(Handle)) {
        DetachFromWindow();
        if (SavedStyle & WS_SYSMENU)
            SetWindowLongA(Handle, GWL_STYLE, GetWindowLongA(Handle, GWL_STYLE) | WS_SYSMENU);
        SetWindowRgn(Handle, nullptr, FALSE);
        SetWindowPos(Handle, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    if (Brush)
        DeleteObject(Brush);
    FreeButtonTimers();
    FreeAndNil(BorderForm);
    FreeAndNil(ButtonsBackground);
    FreeAndNil(TitleCache);
    FreeAndNil(SystemMenu);
    FreeAndNil(CaptionFont);
}

bool TacDialogWnd::CanClose() const {
    return HasSysMenu() && !(GetClassLongPtrA(Handle, GCL_STYLE) & CS_NOCLOSE);
}
bool TacDialogWnd::CanMaximize() const {
    return HasMaxBox() && !IsZoomed(Handle) && (FrameKind == 1 || FrameKind == 3 || FrameKind == 5);
}
bool TacDialogWnd::CanMinimize() const { return HasMinBox() && !IsIconic(Handle); }
bool TacDialogWnd::CanRestore() const { return HasMaxBox() && (IsIconic(Handle) || IsZoomed(Handle)); }

void TacDialogWnd::InitFrame() {
    SavedStyle = GetWindowLongA(Handle, GWL_STYLE);
    SavedExStyle = GetWindowLongA(Handle, GWL_EXSTYLE);
    if ((SavedStyle & WS_POPUP) && (SavedStyle & WS_CAPTION) != WS_CAPTION)
        FrameKind = 2;
    else if (!(SavedStyle & WS_THICKFRAME) && (SavedStyle & DS_MODALFRAME))
        FrameKind = 0;
    else
        FrameKind = 3;
    IconHandle = reinterpret_cast<HICON>(SendMessageA(Handle, WM_GETICON, ICON_SMALL, 0));
    if (!IconHandle)
        IconHandle = reinterpret_cast<HICON>(SendMessageA(Handle, WM_GETICON, ICON_BIG, 0));
    LoadButtonImages();
    FreeAndNil(CaptionFont);
    CaptionFont = Create<TFont>();
    if (HFONT F = CreateCaptionFont())
        CaptionFont->SetHandle(F);
    SetWindowLongA(Handle, GWL_STYLE, SavedStyle & ~WS_SYSMENU);
    SystemMenu->UpdateItems();
}

void TacDialogWnd::LoadButtonImages() {
    TsSkinManager* M = SkinData->GetSkinManager();
    if (!M || M->FindSectionIndex(GlobalInfo) < 0)
        return;
    BtnMin.HitCode = HTMINBUTTON;
    BtnMax.HitCode = HTMAXBUTTON;
    BtnClose.HitCode = HTCLOSE;
    auto Set = [](TitleButtonState& B, int Index, bool Big) {
        B.ImageIndex = Index;
        B.BigImage = Big;
    };
    if (FrameKind != 1 && FrameKind != 3 && GlobalMask(M, "SICONCLOSE") >= 0) {
        Set(BtnClose, GlobalMask(M, "SICONCLOSE"), false);
        Set(BtnMin, GlobalMask(M, "SICONMIN"), false);
        Set(BtnMax, GlobalMask(M, "SICONMAX"), false);
        int Help = GlobalMask(M, "SICONHELP");
        Set(BtnHelp, Help >= 0 ? Help : GlobalMask(M, "BICONHELP"), false);
        return;
    }
    int Alone = GlobalMask(M, "BICLOSEALONE");
    Set(BtnClose, !HasMaxBox() && !HasMinBox() && Alone >= 0 ? Alone : GlobalMask(M, "BICONCLOSE"), true);
    Set(BtnMin, GlobalMask(M, "BICONMIN"), true);
    Set(BtnMax, GlobalMask(M, "BICONMAX"), true);
    Set(BtnHelp, GlobalMask(M, "BICONHELP"), true);
}

// ---------------------------------------------------------------------------------------------
// Geometry

void TacDialogWnd::RecordGeometry() {
    RECT R;
    GetWindowRect(Handle, &R);
    WindowRect = TRect{R.left, R.top, R.right, R.bottom};
    WindowSize = TSize{R.right - R.left, R.bottom - R.top};
}

int TacDialogWnd::GetCaptionHeight(bool WithExtended) {
    if ((GetWindowLongA(Handle, GWL_STYLE) & WS_CAPTION) != WS_CAPTION && !IsIconic(Handle))
        return 0;
    if (WithExtended && ExtendedTitleHeight(BorderForm) != 0)
        return ExtendedTitleHeight(BorderForm);
    return GetSystemMetrics(FrameKind == 4 || FrameKind == 5 ? SM_CYSMCAPTION : SM_CYCAPTION);
}

void TacDialogWnd::GetExtBordersRect(TRect& R) {
    TsSkinManager* M = SkinData ? SkinData->GetSkinManager() : nullptr;
    R = BorderForm && M ? M->ExBorderMargins : TRect{};
}

bool TacDialogWnd::CenterMode() {
    TsSkinManager* M = SkinData->GetSkinManager();
    return BorderForm && M && M->SkinData->ExtBorderMode == 1;
}

int TacDialogWnd::TitleBottom() {
    TRect Ext;
    GetExtBordersRect(Ext);
    return InnerFrameWidth(Handle, BorderForm, false) + GetCaptionHeight(true) + Ext.Top;
}

int TacDialogWnd::GetClientOffsetX() {
    RECT W, C;
    GetWindowRect(Handle, &W);
    GetClientRect(Handle, &C);
    TRect Ext;
    GetExtBordersRect(Ext);
    return ((W.right - W.left) - C.right) / 2 + (BorderForm ? ExtendedBorderOffset(BorderForm) + Ext.Left : 0);
}

int TacDialogWnd::GetClientOffsetY() {
    RECT W, C;
    GetWindowRect(Handle, &W);
    GetClientRect(Handle, &C);
    int F = GetCaptionHeight(true) != 0 ? FrameBorderWidth(Handle, BorderForm, false) : 0;
    TRect Ext;
    GetExtBordersRect(Ext);
    return (W.bottom - W.top) - C.bottom - F + (BorderForm ? Ext.Top + ExtendedTitleOffset(BorderForm) : 0);
}

TRect TacDialogWnd::IconRect() {
    TsSkinData* D = SkinData->GetSkinManager()->SkinData;
    TRect Ext;
    GetExtBordersRect(Ext);
    TRect R;
    R.Left = FrameBorderWidth(Handle, BorderForm, true) + D->TitleLeftMargin + Ext.Left;
    R.Right = R.Left + GetSystemMetrics(SM_CXSMICON);
    R.Top = (InnerFrameWidth(Handle, BorderForm, true) + GetCaptionHeight(true) - GetSystemMetrics(SM_CYSMICON)) / 2 +
            Ext.Top;
    if (CenterMode())
        R.Top += D->ExtCenterOffset;
    R.Bottom = R.Top + GetSystemMetrics(SM_CYSMICON);
    return R;
}

int TacDialogWnd::ButtonWidth(const TitleButtonState& Button) {
    TsSkinManager* M = SkinData->GetSkinManager();
    if (!M || !M->MaskIndexInRange(Button.ImageIndex))
        return 21;
    return GetMaskImageWidth(M->MaskList[Button.ImageIndex]);
}

int TacDialogWnd::ButtonHeight() {
    TsSkinManager* M = SkinData->GetSkinManager();
    if (!M || !M->MaskIndexInRange(BtnClose.ImageIndex))
        return 21;
    return GetMaskImageHeight(M->MaskList[BtnClose.ImageIndex]);
}

int TacDialogWnd::TitleButtonsWidth() {
    if (!HasSysMenu())
        return 0;
    return ButtonWidth(BtnClose) + (HasMaxBox() ? ButtonWidth(BtnMax) : 0) + (HasMinBox() ? ButtonWidth(BtnMin) : 0) +
           (HasHelp() ? ButtonWidth(BtnHelp) : 0);
}

TitleButtonState* TacDialogWnd::ButtonByCode(int Code) {
    switch (Code) {
    case HTMINBUTTON: return &BtnMin;
    case HTMAXBUTTON: return &BtnMax;
    case HTCLOSE: return &BtnClose;
    case HTHELP: return &BtnHelp;
    default: return nullptr;
    }
}

// ---------------------------------------------------------------------------------------------
// The frame image

void TacDialogWnd::PrepareFormImage() {
    TsSkinManager* M = SkinData->GetSkinManager();
    if (!M)
        return;
    RecordGeometry();
    const bool Iconic = IsIconic(Handle);
    TRect Ext;
    GetExtBordersRect(Ext);
    const int Bottom = TitleBottom();
    int W = WindowSize.cx, H = WindowSize.cy;
    if (BorderForm) {
        const int EO = ExtendedBorderOffset(BorderForm);
        H += ExtendedTitleOffset(BorderForm) + EO + Ext.Top + Ext.Bottom;
        if (!Iconic)
            W += 2 * EO + Ext.Left + Ext.Right;
    }
    const TRect FrameRect{Ext.Left, Ext.Top, W - Ext.Right, Iconic ? Bottom - Ext.Bottom + 1 : H - Ext.Bottom};
    if (!SkinData->CacheBitmap)
        SkinData->CacheBitmap = BorderForm ? NewBitmap32(W, H) : NewBitmap24(W, H);
    TBitmap* Image = SkinData->CacheBitmap;
    // An image of another size than the window's is stale whether or not its size change was told.
    if (!SkinData->BackgroundStale && Image->Width() == W && Image->Height() == H)
        return;
    RegionChanged = true;
    Image->SetPixelFormat(BorderForm ? pf32bit : pf24bit);
    Image->SetSize(W, H);
    const bool Center = CenterMode();
    if (M->SectionIndexInRange(SkinData->SectionIndex)) {
        if (Center)
            PaintSkinSection(SkinData->SectionIndex, SkinData->SkinSection(), EmptyBackgroundSource, 0xFF00FF, -1, -1,
                             M, Image, TPoint{0, 0}, FrameRect, DialogActive ? 1 : 0);
        else
            PaintControlSkin(SkinData, EmptyBackgroundSource, false, false, DialogActive ? 1 : 0, Image, TPoint{0, 0},
                             FrameRect);
        if (!Center)
            PaintTitle(FrameRect, Bottom);
    }
    if (BorderForm)
        PaintExtendedBorder(FrameRect);
    if (!M->MaskIndexInRange(SkinData->BorderMaskIndex) || M->MaskList[SkinData->BorderMaskIndex].ImageCount <= 1) {
        const int TH = InnerFrameWidth(Handle, BorderForm, true) + GetCaptionHeight(true);
        if (!TitleCache || TitleCache->Width() != W) {
            FreeAndNil(TitleCache);
            TitleCache = NewBitmap24(W, std::max(TH, 1));
            BitBlt(TitleCache->Canvas()->Handle(), 0, 0, W, TH, Image->Canvas()->Handle(), 0, 0, SRCCOPY);
        }
    }
    if (GetCaptionHeight(true) != 0)
        PaintTitleButtons();
    SkinData->BackgroundStale = false;
}

namespace {
void SetOpaque(TBitmap* Image, const TRect& R) {
    for (int Y = std::max<int>(R.Top, 0); Y < std::min<int>(R.Bottom, Image->Height()); ++Y) {
        auto* Row = static_cast<Byte*>(Image->ScanLine(Y));
        for (int X = std::max<int>(R.Left, 0); X < std::min<int>(R.Right, Image->Width()); ++X)
            Row[X * 4 + 3] = 255;
    }
}
}  // namespace

// The key-coloured corners of the frame show the shadow that lies under them: the top corners of the
// title section's border mask, or, when it has none, all four corners of the dialog's own mask (the
// top-left one at most 8 x 8).
void TacDialogWnd::ShadowUnderCorners(TBitmap* Shadow, const TRect& FrameRect) {
    TsSkinManager* M = SkinData->GetSkinManager();
    TBitmap* Image = SkinData->CacheBitmap;
    const int Title = M->FindSectionIndex(TitleSection);
    int Mask = Title >= 0 ? M->FindMaskIndex(Title, TitleSection, "BORDERSMASK") : -1;
    const bool Own = !M->MaskIndexInRange(Mask);
    if (Own)
        Mask = SkinData->BorderMaskIndex;
    if (!M->MaskIndexInRange(Mask))
        return;
    const TsMaskData& Data = M->MaskList[Mask];
    const int IW = Image->Width(), IH = Image->Height(), SW = Shadow->Width(), SH = Shadow->Height();
    auto Take = [&](int X, int Y, int W, int H, int Corner) {
        X = std::max(X, 0);
        Y = std::max(Y, 0);
        // The shadow's corners are copied one to one: a point at the image's right or bottom lies as
        // far from the shadow's.
        const int SX = X < IW / 2 ? X : SW - (IW - X), SY = Y < IH / 2 ? Y : SH - (IH - Y);
        if (W > 0 && H > 0 && SX >= 0 && SY >= 0)
            CopyKeyColoredPixels(Image, Shadow, TRect{X, Y, X + W, Y + H}, TRect{SX, SY, SX + W, SY + H}, Mask, M,
                                 Corner);
    };
    const int LW = Own ? std::min<int>(Data.WL, 8) : Data.WL, LT = Own ? std::min<int>(Data.WT, 8) : Data.WT;
    Take(FrameRect.Left, FrameRect.Top, LW, LT, HTTOPLEFT);
    Take(FrameRect.Right - Data.WR, FrameRect.Top, Data.WR, Data.WT, HTTOPRIGHT);
    if (Own) {
        Take(FrameRect.Left, FrameRect.Bottom - Data.WB, Data.WL, Data.WB, HTBOTTOMLEFT);
        Take(FrameRect.Right - Data.WR, FrameRect.Bottom - Data.WB, Data.WR, Data.WB, HTBOTTOMRIGHT);
    }
}

// The skin's shadow around the frame: the image's margins carry its alpha, the window body is opaque.
void TacDialogWnd::PaintExtendedBorder(const TRect& FrameRect) {
    TsSkinManager* M = SkinData->GetSkinManager();
    TBitmap* Image = SkinData->CacheBitmap;
    TRect Ext;
    GetExtBordersRect(Ext);
    SetOpaque(Image, FrameRect);
    TBitmap* Shadow = DialogActive ? static_cast<TBitmap*>(M->ExBorderActive) : static_cast<TBitmap*>(M->ExBorderInactive);
    BorderForm->ShadowPicture = Shadow;
    if (!Shadow || Shadow->Empty())
        return;
    const TRect Whole{0, 0, Image->Width(), Image->Height()};
    const TRect ShadowRect{0, 0, Shadow->Width(), Shadow->Height()};
    if (!CenterMode()) {
        const int F = M->SkinData->ExtFormOffset;
        CopyFramedImage(Image, Shadow, Whole, false, 0, TRect{1, 1, 1, 1}, Ext,
                        TRect{Ext.Left + F, Ext.Top + F, Ext.Right + F, Ext.Bottom + F}, ShadowRect);
        ShadowUnderCorners(Shadow, FrameRect);
        return;
    }
    // The shadow image carries the whole frame; the title is written over it afterwards, and what
    // the text changed keeps the shadow's alpha.
    TRect Corners{};
    if (M->MaskIndexInRange(M->CommonIndexes.ExBorder)) {
        const TsMaskData& Mask = M->MaskList[M->CommonIndexes.ExBorder];
        Corners = TRect{Mask.WL, Mask.WT, Mask.WR, Mask.WB};
    }
    CopyFramedImage(Image, Shadow, Whole, false, 0, TRect{1, 1, 1, 1}, TRect{255, 255, 255, 255}, Corners, ShadowRect);
    const int Rows = std::min(TitleBottom(), Image->Height());
    if (Rows <= 0)
        return;
    TOwned<TBitmap> Copy(NewBitmap32(Image->Width(), Rows));
    BitBlt(Copy->Canvas()->Handle(), 0, 0, Image->Width(), Rows, Image->Canvas()->Handle(), 0, 0, SRCCOPY);
    PaintTitle(FrameRect, TitleBottom());
    for (int Y = 0; Y < Rows; ++Y) {
        auto* Row = static_cast<Byte*>(Image->ScanLine(Y));
        auto* Old = static_cast<const Byte*>(Copy->ScanLine(Y));
        for (int X = 0; X < Image->Width(); ++X)
            if (std::memcmp(Row + X * 4, Old + X * 4, 3) != 0)
                Row[X * 4 + 3] = Old[X * 4 + 3];
    }
}

void TacDialogWnd::PaintTitle(const TRect& FrameRect, int TitleBottom) {
    if (GetCaptionHeight(true) == 0)
        return;
    TsSkinManager* M = SkinData->GetSkinManager();
    TBitmap* Image = SkinData->CacheBitmap;
    const int W = Image->Width();
    const int Title = M->FindSectionIndex(TitleSection);
    if (Title >= 0 && !CenterMode())
        PaintSkinItem(Title, TitleSection, MakeBackgroundSource(Image, 0, 0), -1, -1, M, Image, TPoint{0, 0},
                      TRect{FrameRect.Left, FrameRect.Top, FrameRect.Right,
                            IsIconic(Handle) ? FrameRect.Bottom : TitleBottom},
                      DialogActive ? 1 : 0, true);
    const int IconW = GetSystemMetrics(SM_CXSMICON), IconH = GetSystemMetrics(SM_CYSMICON);
    if (IconHandle) {
        TRect R = IconRect();
        HICON Copy = static_cast<HICON>(CopyImage(IconHandle, IMAGE_ICON, IconW, IconH, LR_COPYFROMRESOURCE));
        DrawIconEx(Image->Canvas()->Handle(), R.Left, R.Top, Copy ? Copy : LoadIconA(nullptr, MAKEINTRESOURCEA(32512)),
                   IconW, IconH, 0, nullptr, DI_NORMAL);
        if (Copy)
            DestroyIcon(Copy);
    }
    TsSkinData* D = M->SkinData;
    TRect Ext;
    GetExtBordersRect(Ext);
    TRect R{FrameBorderWidth(Handle, BorderForm, true) + (IconHandle ? IconW : 0) + D->TitleLeftMargin + Ext.Left + 4,
            Ext.Top + 2, W - TitleButtonsWidth() - Ext.Right - 6, TitleBottom};
    if (CenterMode()) {
        R.Top += D->ExtCenterOffset;
        R.Bottom += D->ExtCenterOffset;
    }
    if (R.Right <= R.Left || R.Bottom <= R.Top)
        return;
    TCanvas* Canvas = Image->Canvas();
    if (CaptionFont)
        Canvas->Font()->Assign(CaptionFont);
    const std::string Text = ReadWindowText(Handle);
    TSize Size{};
    CanvasTextExtent(Canvas, Text, Size);
    R.Top += (R.Bottom - R.Top - Size.cy) / 2;
    R.Bottom = R.Top + Size.cy;
    CaptionIndex = M->FindSectionIndex("CAPTION");
    int Section = Title;
    if (CaptionIndex >= 0) {
        TRect Back{R.Left - 4, R.Top - 2, std::min<int>(R.Left + Size.cx, R.Right) + 4, R.Bottom + 2};
        PaintSkinItem(CaptionIndex, "CAPTION", MakeBackgroundSource(Image, 0, 0), -1, -1, M, Image,
                      TPoint{Back.Left, Back.Top}, Back, DialogActive ? 1 : 0, true);
        Section = CaptionIndex;
    }
    Canvas->Brush()->SetStyle(bsClear);
    WriteSectionText(Canvas, Text, true, M, DialogActive, Section, DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER,
                     R);
}

void TacDialogWnd::PlaceButton(TitleButtonState& Button, int& X, int Gap, int MaskIndex, bool Enabled, bool Help) {
    TsSkinManager* M = SkinData->GetSkinManager();
    TsSkinData* D = M->SkinData;
    const int BW = ButtonWidth(Button), BH = ButtonHeight();
    TRect Ext;
    GetExtBordersRect(Ext);
    const bool Zoomed = BorderForm && IsZoomed(Handle);
    int Top;
    if (Button.BigImage && D->TitleButtonVAlign == 1 && !Help) {
        Top = Ext.Top + (BorderForm ? D->TitleTopMargin : 0) + (Zoomed ? 3 : 0);
    } else {
        Top = (InnerFrameWidth(Handle, BorderForm, true) + GetCaptionHeight(true) - BH) / 2 + Ext.Top;
        if (Zoomed)
            Top += FrameBorderWidth(Handle, BorderForm, false) / 2;
        if (CenterMode())
            Top += D->ExtCenterOffset;
    }
    Button.Rect = TRect{X - BW, Top, X, Top + BH};
    X = Button.Rect.Left - Gap;
    if (!M->MaskIndexInRange(MaskIndex))
        return;
    TBitmap* Image = SkinData->CacheBitmap;
    DrawSkinGlyph(Image, TPoint{Button.Rect.Left, Button.Rect.Top}, std::max(Button.State, 0),
                  DialogActive && Enabled ? 1 : 2, M->MaskList[MaskIndex], MakeBackgroundSource(Image, 0, 0));
}

void TacDialogWnd::PaintTitleButtons() {
    if (!(SavedStyle & WS_SYSMENU))
        return;
    TsSkinManager* M = SkinData->GetSkinManager();
    TsSkinData* D = M->SkinData;
    TBitmap* Image = SkinData->CacheBitmap;
    // What lies under the buttons, for repainting one button without the whole image.
    TRect Ext;
    GetExtBordersRect(Ext);
    const int Strip = std::min<int>(Image->Height(), InnerFrameWidth(Handle, BorderForm, true) + GetCaptionHeight(true) +
                                                    Ext.Top + FrameBorderWidth(Handle, BorderForm, false));
    const int SaveW = std::min<int>(Image->Width(), TitleButtonsWidth() + D->TitleRightMargin + Ext.Right +
                                                   FrameBorderWidth(Handle, BorderForm, true) + 4 * D->TitleButtonSpacing + 8);
    ButtonsBackground->SetPixelFormat(Image->PixelFormat());
    ButtonsBackground->SetSize(SaveW, Strip);
    BitBlt(ButtonsBackground->Canvas()->Handle(), 0, 0, SaveW, Strip, Image->Canvas()->Handle(), Image->Width() - SaveW,
           0, SRCCOPY);
    int X = Image->Width() - D->TitleRightMargin - Ext.Right - FrameBorderWidth(Handle, BorderForm, true);
    const int Gap = (FrameKind == 1 || FrameKind == 3 || BtnClose.ImageIndex == GlobalMask(M, "BICONCLOSE"))
                        ? D->TitleButtonSpacing
                        : 0;
    PlaceButton(BtnClose, X, Gap, BtnClose.ImageIndex, CanClose(), false);
    if (HasMaxBox()) {
        int Index = BtnMax.ImageIndex;
        if (IsZoomed(Handle)) {
            Index = GlobalMask(M, "BICONNORM");
            if (Index < 0)
                Index = M->FindMaskIndex(SkinData->SectionIndex, SkinData->SkinSection(), "BICONNORM");
        }
        PlaceButton(BtnMax, X, Gap, Index, IsZoomed(Handle) ? CanRestore() : CanMaximize(), false);
    }
    if (HasMinBox())
        PlaceButton(BtnMin, X, Gap, IsIconic(Handle) ? GlobalMask(M, "BICONNORM") : BtnMin.ImageIndex,
                    IsIconic(Handle) ? CanRestore() : CanMinimize(), false);
    if (HasHelp())
        PlaceButton(BtnHelp, X, Gap, BtnHelp.ImageIndex, true, true);
}

void TacDialogWnd::FreeButtonTimers() {
    for (TitleButtonState* B : {&BtnMin, &BtnMax, &BtnClose, &BtnHelp})
        if (B->Animation)
            FreeAndNil(B->Animation);
}

void TacDialogWnd::RepaintButton(int Code) {
    TitleButtonState* B = ButtonByCode(Code);
    TBitmap* Image = SkinData->CacheBitmap;
    TsSkinManager* M = SkinData->GetSkinManager();
    if (B && M && M->GetAllowGlowing()) {
        if (B->State != -1)
            StartButtonAnimation(*B, B->State, B->State == 2 ? 1 : 10, B->State != 0, nullptr, this);
        return;
    }
    if (!B || !Image || !M || B->Rect.Left <= FrameBorderWidth(Handle, BorderForm, true) + GetSystemMetrics(SM_CXSMICON))
        return;
    const TRect& R = B->Rect;
    BitBlt(Image->Canvas()->Handle(), R.Left, R.Top, R.Width(), R.Height(), ButtonsBackground->Canvas()->Handle(),
           ButtonsBackground->Width() + R.Left - Image->Width(), R.Top, SRCCOPY);
    bool Enabled = true;
    int Index = B->ImageIndex;
    if (Code == HTCLOSE)
        Enabled = CanClose();
    else if (Code == HTMAXBUTTON) {
        Enabled = IsZoomed(Handle) ? CanRestore() : CanMaximize();
        if (IsZoomed(Handle))
            Index = GlobalMask(M, "BICONNORM");
    } else if (Code == HTMINBUTTON) {
        Enabled = IsIconic(Handle) ? CanRestore() : CanMinimize();
        if (IsIconic(Handle))
            Index = GlobalMask(M, "BICONNORM");
    }
    if (M->MaskIndexInRange(Index)) {
        int Mode = (!Enabled || (!DialogActive && B->State == 0)) ? 2 : 1;
        DrawSkinGlyph(Image, TPoint{R.Left, R.Top}, std::max(B->State, 0), Mode, M->MaskList[Index],
                      MakeBackgroundSource(Image, 0, 0));
    }
    if (BorderForm) {
        // The caption lies in the border window.
        BorderForm->UpdateBorder(true, 255);
        return;
    }
    HDC DC = GetWindowDC(Handle);
    BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), Image->Canvas()->Handle(), R.Left, R.Top, SRCCOPY);
    ReleaseDC(Handle, DC);
}

// ---------------------------------------------------------------------------------------------
// Region, frame and client background

void TacDialogWnd::FillRegionRects() {
    RegionRects.clear();
    TsSkinManager* M = SkinData->GetSkinManager();
    if (!M)
        return;
    const int W = WindowSize.cx, H = WindowSize.cy;
    if (M->MaskIndexInRange(SkinData->BorderMaskIndex)) {
        const TsMaskData& Mask = M->MaskList[SkinData->BorderMaskIndex];
        AddCornerHoleRects(RegionRects, W, Mask, false, 0);
        AddCornerHoleRects(RegionRects, W, Mask, true, H - Mask.WB);
    }
    int Title = M->FindSectionIndex(TitleSection);
    int TitleMask = Title >= 0 ? M->FindMaskIndex(Title, TitleSection, "BORDERSMASK") : -1;
    if (M->MaskIndexInRange(TitleMask))
        AddCornerHoleRects(RegionRects, W, M->MaskList[TitleMask], false, 0);
}

namespace {
// One flag for all dialogs: a region being applied makes a frame paint of its own.
bool RegionUpdating = false;
}  // namespace

void TacDialogWnd::UpdateRegion(bool Redraw) {
    if ((!IsIconic(Handle) && FrameKind == 2) || SendMessageA(Handle, 0xBC4D, 0x41A2, 0) == 0x41A2)
        return;
    RegionUpdating = true;
    if (BorderForm) {
        // The frame lies in the border window: the dialog's own window keeps only its body.
        const int F = FrameBorderWidth(Handle, BorderForm, false);
        SetWindowRgn(Handle, CreateRectRgn(F, GetCaptionHeight(false) + F, WindowSize.cx - F, WindowSize.cy - F), Redraw);
        return;
    }
    HRGN Rgn = CreateRectRgn(0, 0, WindowSize.cx, WindowSize.cy);
    for (const TRect& R : RegionRects) {
        HRGN Hole = CreateRectRgn(R.Left, R.Top, R.Right, R.Bottom);
        CombineRgn(Rgn, Rgn, Hole, RGN_DIFF);
        DeleteObject(Hole);
    }
    SetWindowRgn(Handle, Rgn, Redraw);
}

void TacDialogWnd::UpdateFrame() {
    if (Provider)
        Provider->AdaptChildren(Handle);
    RecordGeometry();
    if (!RegionUpdating && RegionChanged && (FrameKind != 2 || (GetWindowLongA(Handle, GWL_STYLE) & WS_THICKFRAME))) {
        FillRegionRects();
        RegionChanged = false;
        UpdateRegion(true);
    }
    if (BorderForm) {
        SkinData->SetInUpdate(false);
        RegionUpdating = false;
        return;
    }
    HDC DC = GetWindowDC(Handle);
    int Saved = SaveDC(DC);
    if (SkinData->BackgroundStale || !SkinData->CacheBitmap)
        PrepareFormImage();
    SkinData->BackgroundStale = false;
    SkinData->SetInUpdate(false);
    if (TBitmap* Image = SkinData->CacheBitmap) {
        HDC Src = Image->Canvas()->Handle();
        const int W = WindowSize.cx, H = WindowSize.cy;
        // The strips reach to the client area as the system placed it, so that no system frame shows
        // between the skin's border and the client.
        const int F = std::max(FrameBorderWidth(Handle, BorderForm, false), GetClientOffsetX());
        const int Top = std::max(F + GetCaptionHeight(true), GetClientOffsetY());
        const int Y0 = Top + (IsIconic(Handle) ? 1 : 0);
        BitBlt(DC, 0, 0, W, Top, Src, 0, 0, SRCCOPY);
        BitBlt(DC, 0, Y0, F, H - Y0, Src, 0, Y0, SRCCOPY);
        BitBlt(DC, F, H - F, W - F, F, Src, F, H - F, SRCCOPY);
        BitBlt(DC, W - F, Y0, F, H - Y0, Src, W - F, Y0, SRCCOPY);
    }
    RestoreDC(DC, Saved);
    ReleaseDC(Handle, DC);
    SkinData->SetInUpdate(false);
    RegionUpdating = false;
}

void TacDialogWnd::PaintBackground(HDC GivenDC) {
    HDC DC = GivenDC ? GivenDC : GetDC(Handle);
    SkinData->SetInUpdate(false);
    int Saved = SaveDC(DC);
    for (HWND C = GetTopWindow(Handle); C; C = GetWindow(C, GW_HWNDNEXT)) {
        LONG S = GetWindowLongA(C, GWL_STYLE);
        if (!(S & WS_VISIBLE))
            continue;
        if ((S & 7) == 7 || (GetWindowClassName(C) == "Static" && (S & WS_TABSTOP)))
            continue;
        RECT R;
        GetWindowRect(C, &R);
        MapWindowPoints(nullptr, Handle, reinterpret_cast<POINT*>(&R), 2);
        ExcludeClipRect(DC, R.left, R.top, R.right, R.bottom);
    }
    if (SkinData->BackgroundStale || !SkinData->CacheBitmap)
        PrepareFormImage();
    if (TBitmap* Image = SkinData->CacheBitmap)
        BitBlt(DC, 0, 0, WindowSize.cx, WindowSize.cy, Image->Canvas()->Handle(), GetClientOffsetX(),
               GetClientOffsetY(), SRCCOPY);
    RestoreDC(DC, Saved);
    if (!GivenDC)
        ReleaseDC(Handle, DC);
    SendEndUpdateToChildWindows(Handle);
}

// ---------------------------------------------------------------------------------------------
// Caption buttons

int TacDialogWnd::HitTest(TMessage& Message) {
    RecordGeometry();
    TPoint P{static_cast<short>(LOWORD(Message.LParam)) - WindowRect.Left,
             static_cast<short>(HIWORD(Message.LParam)) - WindowRect.Top};
    const int BH = ButtonHeight();
    const int BandTop = (InnerFrameWidth(Handle, BorderForm, true) + GetCaptionHeight(true) - BH) / 2;
    // With a border window the frame is answered there; the dialog's window holds only its body.
    if (BorderForm)
        return static_cast<int>(Message.Result);
    if (GetCaptionHeight(true) != 0 && P.Y >= BandTop && P.Y < BandTop + BH) {
        const int IconLeft = FrameBorderWidth(Handle, BorderForm, true);
        if (P.X >= IconLeft && P.X < IconLeft + GetSystemMetrics(SM_CXSMICON)) {
            SetHotButton(HTSYSMENU, true);
            return HTSYSMENU;
        }
        const int Code = TitleButtonAt(P);
        if (Code != -1 && Code != HTCAPTION) {
            SetHotButton(Code, true);
            return Code;
        }
        return HTCAPTION;
    }
    if (IsZoomed(Handle) && !Inside(TRect{2, 2, WindowSize.cx - 4, WindowSize.cy - 4}, P)) {
        SetHotButton(0, true);
        return HTTRANSPARENT;
    }
    return static_cast<int>(Message.Result);
}

int TacDialogWnd::TitleButtonAt(TPoint P) {
    // One rule for layout and hit test: a button counts exactly when it was drawn.
    if (!HasSysMenu())
        return -1;
    if (Inside(BtnClose.Rect, P))
        return HTCLOSE;
    if (HasMaxBox() && Inside(BtnMax.Rect, P))
        return CanMaximize() || CanRestore() ? HTMAXBUTTON : HTCAPTION;
    if (HasMinBox() && Inside(BtnMin.Rect, P))
        return CanMinimize() || IsIconic(Handle) ? HTMINBUTTON : HTCAPTION;
    if (HasHelp() && Inside(BtnHelp.Rect, P))
        return HTHELP;
    return -1;
}

void TacDialogWnd::SetHotButton(int Code, bool Repaint) {
    if (Code == HotButton)
        return;
    int Old = HotButton;
    if (TitleButtonState* B = ButtonByCode(Old))
        B->State = 0;
    HotButton = Code;
    if (TitleButtonState* B = ButtonByCode(Code))
        B->State = 1;
    Pressed = false;
    if (Repaint) {
        RepaintButton(Old);
        RepaintButton(Code);
    }
}

void TacDialogWnd::PressButton(int Code) {
    if (HotButton != Code) {
        if (TitleButtonState* B = ButtonByCode(HotButton)) {
            B->State = 0;
            RepaintButton(HotButton);
        }
    }
    HotButton = Code;
    if (TitleButtonState* B = ButtonByCode(Code))
        if (Code != HTMAXBUTTON || CanMaximize() || (IsZoomed(Handle) && CanRestore()))
            B->State = 2;
    Pressed = true;
    RepaintButton(Code);
}

void TacDialogWnd::DropSystemMenu(int X, int Y) {
    SystemMenu->UpdateItems();
    SystemMenu->SetWindowHandle(Handle);
    SystemMenu->Popup(X, Y);
}

void TacDialogWnd::HandleNCLButtonDown(TMessage& Message) {
    if (BorderForm && Message.WParam == HTOBJECT) {
        PassOn(Message);
        return;
    }
    if (BorderForm && Message.WParam == WPARAM(-1))
        Message.WParam = static_cast<WPARAM>(BorderForm->HitTest(Message));
    else if (Message.WParam != HTBOTTOMRIGHT)
        Message.WParam = static_cast<WPARAM>(HitTest(Message));
    const int Code = static_cast<int>(Message.WParam);
    if (Code == HTSYSMENU) {
        SetHotButton(0, true);
        DropSystemMenu(WindowRect.Left + FrameBorderWidth(Handle, BorderForm, true),
                       WindowRect.Top + InnerFrameWidth(Handle, BorderForm, true) + GetSystemMetrics(SM_CYSMICON));
    } else if (IsButtonCode(Code)) {
        PressButton(Code);
    } else if (IsIconic(Handle)) {
        SendSysCommand(SC_MOVE + 2);
    } else {
        SetHotButton(0, true);
        PassOn(Message);
    }
}

void TacDialogWnd::HandleNCButtonUp(TMessage& Message) {
    TranslateBorderCode(Message);
    const bool WasPressed = Pressed;
    switch (Message.WParam) {
    case HTMINBUTTON:
        if (WasPressed) {
            SetHotButton(0, true);
            SendSysCommand(IsIconic(Handle) ? SC_RESTORE : SC_MINIMIZE);
        } else
            SetHotButton(0, true);
        break;
    case HTMAXBUTTON:
        if (IsIconic(Handle) && !CanMaximize())
            break;
        SetHotButton(0, true);
        if (WasPressed) {
            SendSysCommand(IsZoomed(Handle) ? SC_RESTORE : SC_MAXIMIZE);
            SystemMenu->UpdateItems();
        }
        break;
    case HTCLOSE:
        if (WasPressed) {
            BtnClose.State = 0;
            SetHotButton(0, false);
            SendSysCommand(SC_CLOSE);
        }
        break;
    case HTHELP:
        SetHotButton(0, true);
        if (WasPressed) {
            SendSysCommand(SC_CONTEXTHELP);
            SystemMenu->UpdateItems();
            SendMessageA(Handle, WM_NCPAINT, 0, 0);
        }
        break;
    default:
        PassOn(Message);
        break;
    }
    Pressed = false;
    Message.WParam = 0;
}

// A click the border window passed on (WParam -1) is named by the border window's hit test.
void TacDialogWnd::TranslateBorderCode(TMessage& Message) {
    if (BorderForm && Message.WParam == WPARAM(-1))
        Message.WParam = static_cast<WPARAM>(BorderForm->HitTest(Message));
}

void TacDialogWnd::SetExtendedBorders(bool Value) {
    TsSkinManager* M = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (Value && (!M || M->ComponentState().Contains(csDesigning)))
        Value = false;
    if (Value == (BorderForm != nullptr))
        return;
    if (Value) {
        BorderForm = Create<TacBorderForm>(this);
        BorderForm->SkinData = SkinData;
        if (SkinData->CacheBitmap)
            SkinData->CacheBitmap->SetPixelFormat(pf32bit);
    } else {
        FreeAndNil(BorderForm);
        if (SkinData->CacheBitmap)
            SkinData->CacheBitmap->SetPixelFormat(pf24bit);
    }
    SkinData->BackgroundStale = true;
    RegionChanged = true;
    if (IsWindowVisible(Handle)) {
        if (BorderForm)
            BorderForm->UpdateBorder(true, 255);
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
    }
}

void TacDialogWnd::UpdateBorder(bool Repaint) {
    if (BorderForm && BorderForm->Handle() && IsWindowVisible(BorderForm->Handle()))
        BorderForm->UpdateBorder(Repaint, 255);
}

HBRUSH TacDialogWnd::DialogBrush() {
    TColor C = SkinData->GetSkinManager() ? SkinData->GetSkinManager()->GetMainColor() : ColorToRGB(clBtnFace);
    if (!Brush || C != BrushColor) {
        if (Brush)
            DeleteObject(Brush);
        Brush = CreateSolidBrush(C);
        BrushColor = C;
    }
    return Brush;
}

// ---------------------------------------------------------------------------------------------
// The window procedure

void TacDialogWnd::WndProc(TMessage& Message) {
    if (Message.Msg == WM_DESTROY || Message.Msg == WM_NCDESTROY) {
        WNDPROC Old = ReplacedWndProc;
        if (Old) {
            TacMainWnd* Self = this;
            ReleaseWindowHook(Handle, false, 0, Self);
            Message.Result = CallWindowProcA(Old, Handle, Message.Msg, Message.WParam, Message.LParam);
        }
        return;
    }
    TsSkinManager* M = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (Unhooked || !M || !M->SkinData->SkinActive) {
        TacScrollWnd::WndProc(Message);
        return;
    }
    const bool Visible = IsWindowVisible(Handle);
    if (Message.Msg == SM_ALPHACMD) {
        switch (SkinCommandOf(Message.WParam)) {
        case SKIN_LOADED:
            SetExtendedBorders(M->GetExtendedBorders());
            if (Message.LParam == reinterpret_cast<LPARAM>(M)) {
                SkinData->RefreshSkinIndexes();
                CaptionIndex = M->FindSectionIndex("CAPTION");
                LoadButtonImages();
                BroadcastToChildWindows(Handle, Message);
            }
            return;
        case SKIN_REFRESH:
            SkinData->RefreshSkinIndexes();
            SetExtendedBorders(M->GetExtendedBorders());
            SkinData->Invalidate();
            UpdateBorder(true);
            return;
        case SKIN_SETUPDATING:
            SkinData->SetInUpdate(LOWORD(Message.WParam) == 1);
            if (SkinData->IsUpdating())
                SkinData->BackgroundStale = true;
            break;
        case SKIN_REPAINTNOW:
            if (BorderForm)
                BorderForm->UpdateBorder(false, 255);
            break;
        case SKIN_GETSTALE:
            Message.Result = SkinData->BackgroundStale ? 1 : 0;
            return;
        case SKIN_GETNONUNIFORM:
            Message.Result = M->SectionIndexInRange(SkinData->SectionIndex) &&
                                     M->SectionList[SkinData->SectionIndex].GradientPercent +
                                             M->SectionList[SkinData->SectionIndex].ImagePercent >
                                         0
                                 ? 1
                                 : 0;
            return;
        case SKIN_GETBGCOLOR:
            Message.Result = SkinData->GetBackgroundColor(0, nullptr);
            return;
        case SKIN_READAPTCHILDREN:
            if (Provider)
                Provider->AdaptChildren(Handle);
            break;
        case SKIN_GETBACKGROUND: {
            auto& Info = *reinterpret_cast<ParentBackgroundInfo*>(Message.LParam);
            if (SkinData->BackgroundStale || !SkinData->CacheBitmap)
                PrepareFormImage();
            if (Info.PaintNow) {
                Info.X += GetClientOffsetX();
                Info.Y += GetClientOffsetY();
            }
            SkinData->FillParentBackgroundInfo(Info, 0, Handle);
            if (Info.Kind == 2 && !Info.PaintNow) {
                if (!Info.Bmp)
                    Info.Bmp = SkinData->CacheBitmap;
                Info.X = GetClientOffsetX();
                Info.Y = GetClientOffsetY();
            }
            return;
        }
        case SKIN_GETCLIENTOFFSET:
            Message.Result = MAKELONG(GetClientOffsetX(), GetClientOffsetY());
            return;
        default:
            break;
        }
        TacScrollWnd::WndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_SIZE:
        SkinData->BackgroundStale = true;
        RegionChanged = true;
        PassOn(Message);
        if (!AnimationInProgress)
            UpdateBorder(true);
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
        return;
    case WM_SETFOCUS:
        PassOn(Message);
        if (HWND A = GetActiveWindow())
            RedrawWindow(A, nullptr, nullptr, 0x585);
        return;
    case WM_ENABLE:
    case WM_SETTEXT:
        if (!Visible)
            break;
        PassOn(Message);
        SkinData->BackgroundStale = true;
        if (Message.Msg == WM_SETTEXT && BorderForm && IsWindowVisible(BorderForm->Handle()))
            BorderForm->UpdateBorder(false, 255);
        else
            SendMessageA(Handle, WM_NCPAINT, 0, 0);
        return;
    case WM_PAINT:
        if (SkipClientPaint) {
            PAINTSTRUCT PS;
            BeginPaint(Handle, &PS);
            EndPaint(Handle, &PS);
            Message.Result = 0;
            return;
        }
        PassOn(Message);
        return;
    case WM_ERASEBKGND:
        RecordGeometry();
        if (!ChildrenAdapted && Provider) {
            ChildrenAdapted = true;
            Provider->AdaptChildren(Handle);
        }
        PaintBackground(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 1;
        return;
    case WM_SHOWWINDOW: {
        // A dialog hidden before gave its border window up; shown again it gets a new one.
        if (Message.WParam == 1)
            SetExtendedBorders(M->GetExtendedBorders());
        DisableDwmTransitions(Handle, true);
        PassOn(Message);
        TsSkinManager* M = SkinData->GetSkinManager();
        const TacDialogShow* Show = M && M->AnimEffects ? M->AnimEffects->DialogShow : nullptr;
        if (Message.WParam == 1 && Show && Show->Active && Show->Time > 0 && LayeredWindowsAvailable()) {
            HookWndText = ReadWindowText(Handle);
            if (Provider)
                Provider->AdaptChildren(Handle);
            AnimateBorderedDialogShow(this, static_cast<Word>(Show->Time), 255, Show->Mode);
        }
        return;
    }
    case WM_DRAWITEM:
        if (auto* D = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam); D && D->CtlType == ODT_STATIC)
            SetBkMode(D->hDC, TRANSPARENT);
        break;
    case WM_WINDOWPOSCHANGED: {
        SkinData->BackgroundStale = true;
        RegionChanged = true;
        PassOn(Message);
        TsSkinManager* M = SkinData->GetSkinManager();
        const TacFormHide* Hide = M && M->AnimEffects ? M->AnimEffects->DialogHide : nullptr;
        if ((reinterpret_cast<WINDOWPOS*>(Message.LParam)->flags & SWP_HIDEWINDOW) && LayeredWindowsAvailable() &&
            Hide && Hide->Active && Hide->Time > 0) {
            AnimateDialogHide(this);
            SetWindowLayered(Handle, false);
        }
        if (reinterpret_cast<WINDOWPOS*>(Message.LParam)->flags & SWP_HIDEWINDOW)
            SetExtendedBorders(false);
        else
            UpdateBorder(false);
        return;
    }
    case WM_NCHITTEST:
        Message.Result = HitTest(Message);
        if (Message.Result == HTNOWHERE || Message.Result == HTCAPTION) {
            PassOn(Message);
            SetHotButton(0, true);
        }
        return;
    case WM_NCPAINT:
        if (!Visible)
            break;
        RecordGeometry();
        HookWndText = ReadWindowText(Handle);
        if (BorderForm && BorderForm->Handle() && !IsWindowVisible(BorderForm->Handle()) && !AnimationInProgress) {
            if (IsDwmCompositionEnabled()) {
                UpdateRegion(false);
                BorderForm->UpdateBorder(true, 255);
                SetFocus(Handle);
            } else {
                // Shown for the first time: the whole image goes into the window.
                BorderForm->UpdateBorder(true, 255);
            }
        }
        UpdateFrame();
        Message.Result = 1;
        return;
    case WM_NCACTIVATE:
        if (!Visible)
            break;
        SendMessageA(Handle, WM_SETREDRAW, 0, 0);
        PassOn(Message);
        DialogActive = Message.WParam != 0;
        SendMessageA(Handle, WM_SETREDRAW, 1, 0);
        SkinData->BackgroundStale = true;
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
        UpdateBorder(false);
        return;
    case WM_GETDLGCODE:
        Message.Result = 0;
        return;
    case WM_NCLBUTTONDOWN:
        HandleNCLButtonDown(Message);
        return;
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP:
        if (Message.Msg == WM_LBUTTONUP && !Pressed)
            break;
        if (Message.Msg == WM_LBUTTONUP) {
            POINT P{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
            ClientToScreen(Handle, &P);
            Message.LParam = MAKELPARAM(P.x, P.y);
            Message.WParam = HotButton;
        }
        HandleNCButtonUp(Message);
        return;
    case WM_NCLBUTTONDBLCLK:
        if (Message.WParam == HTCAPTION) {
            if (CanMaximize() || CanRestore()) {
                SendSysCommand(IsZoomed(Handle) || IsIconic(Handle) ? SC_RESTORE : SC_MAXIMIZE);
                SystemMenu->UpdateItems();
            }
            Message.WParam = 0;
        } else if (Message.WParam == HTSYSMENU) {
            SendSysCommand(SC_CLOSE);
        }
        return;
    case WM_NCRBUTTONDOWN:
        if (Message.WParam == HTCAPTION || Message.WParam == HTSYSMENU)
            return;
        break;
    case WM_NCRBUTTONUP:
        TranslateBorderCode(Message);
        if (Message.WParam == HTCAPTION || Message.WParam == HTSYSMENU) {
            SetHotButton(0, true);
            DropSystemMenu(static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam)));
        }
        return;
    case WM_CTLCOLORDLG:
        Message.Result = reinterpret_cast<LRESULT>(DialogBrush());
        return;
    case WM_MOUSEMOVE:
        if (IsWindowEnabled(Handle))
            M->SetHotWindow(nullptr);
        break;
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE:
        SetHotButton(0, true);
        break;
    case WM_USER + 1:
        TacScrollWnd::WndProc(Message);
        if (Provider)
            Provider->AdaptChildren(Handle);
        return;
    case 0x052E:
        PassOn(Message);
        if (Provider)
            Provider->AdaptChildren(Handle);
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
        return;
    default:
        break;
    }
    TacScrollWnd::WndProc(Message);
    switch (Message.Msg) {
    case WM_MOVE:
    case WM_SIZING:
        UpdateBorder(false);
        break;
    case WM_WINDOWPOSCHANGING:
        if (!(reinterpret_cast<WINDOWPOS*>(Message.LParam)->flags & SWP_HIDEWINDOW))
            UpdateBorder(false);
        break;
    case WM_SYSCOMMAND:
        if (Message.WParam == SC_MOVE + 2) {
            UpdateWindow(Handle);
            UpdateBorder(false);
        }
        break;
    default:
        break;
    }
    if (Message.Msg == WM_SYSCOMMAND && (Message.WParam == SC_MAXIMIZE || Message.WParam == SC_RESTORE)) {
        if (HasMaxBox())
            HotButton = HTMAXBUTTON;
        SetHotButton(0, true);
    }
}
