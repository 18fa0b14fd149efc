#include "sCustomComboEdit.h"

#include "sComponentState.h"
#include "Forms.h"
#include "sMessages.h"
#include "sPaintServices.h"
#include "sVclUtils.h"

#include <algorithm>

namespace {

TsAlphaImageList* ButtonGlyphs = nullptr;

// The built-in glyphs: 48 x 16 PNG strips of three states (normal, hot, pressed) in the program's
// resources, in the order of the glyph numbers.
constexpr const char* DefaultGlyphResources[] = {"SF", "SR", "SD", "SE", "SC"};

void AddDefaultGlyph(const char* Name) {
    TsImgListItem* Item = ButtonGlyphs->Items()->Add();
    Item->SetImageFormat(ifPNG);
    Item->SetPixelFormat(pf32bit);
    HINSTANCE Module = GetModuleHandleA(nullptr);
    if (!FindResourceA(Module, Name, MAKEINTRESOURCEA(10)))
        return;  // a program without the skin library's resources shows empty buttons
    TOwned<TResourceStream> Data(Create<TResourceStream>(Module, Name, MAKEINTRESOURCEA(10)));
    Item->ImageData()->LoadFromStream(Data.get());
}

}  // namespace

TsAlphaImageList* DefaultButtonGlyphs() {
    // Made on first use: decoding the strips is a noticeable part of a program's start, and many
    // programs never show a button without images of their own.
    if (!ButtonGlyphs) {
        ButtonGlyphs = Create<TsAlphaImageList>(nullptr);
        ButtonGlyphs->SetSize(48, 16);
        for (const char* Name : DefaultGlyphResources)
            AddDefaultGlyph(Name);
        ButtonGlyphs->GenerateImages();
    }
    return ButtonGlyphs;
}

// ---------------------------------------------------------------------------------------------
// TsGlyphMode

void TsGlyphMode::DefineClass(TClassBuilder<TsGlyphMode>& B) {
    B.Property("Blend", &TsGlyphMode::Blend, &TsGlyphMode::SetBlend).Stored(false);
    B.Property("Grayed", &TsGlyphMode::Grayed, &TsGlyphMode::SetGrayed).Stored(false);
    B.Property("Hint", &TsGlyphMode::Hint, &TsGlyphMode::SetHint).Stored(false);
    B.Property("Images", &TsGlyphMode::Images, &TsGlyphMode::SetImages);
    B.Property("ImageIndex", &TsGlyphMode::ImageIndex, &TsGlyphMode::SetImageIndex).Default(-1);
    B.Property("ImageIndexHot", &TsGlyphMode::ImageIndexHot, &TsGlyphMode::SetImageIndexHot).Default(-1);
    B.Property("ImageIndexPressed", &TsGlyphMode::ImageIndexPressed, &TsGlyphMode::SetImageIndexPressed)
        .Default(-1);
}

bool TsGlyphMode::ButtonReady() const { return Btn && !Loading(Btn) && !IsDestroying(Btn); }

int TsGlyphMode::Blend() const { return ButtonReady() ? Btn->Blend() : 0; }

void TsGlyphMode::SetBlend(int Value) {
    if (ButtonReady())
        Btn->SetBlend(Value);
}

bool TsGlyphMode::Grayed() const { return ButtonReady() && Btn->Grayed(); }

void TsGlyphMode::SetGrayed(bool Value) {
    if (ButtonReady())
        Btn->SetGrayed(Value);
}

std::string TsGlyphMode::Hint() const {
    auto* Edit = DynCast<TsCustomComboEdit>(Owner);
    if (Edit && Edit->Button())
        return Edit->Button()->Hint();
    return Owner ? Owner->Hint() : std::string();
}

void TsGlyphMode::SetHint(const std::string& Value) {
    if (Btn)
        Btn->SetHint(Value);
}

void TsGlyphMode::SetImages(TCustomImageList* Value) {
    if (Value == FImages)
        return;
    // The owner hears of the list's end and lets go of it.
    if (FImages && Owner)
        FImages->RemoveFreeNotification(Owner);
    FImages = Value;
    if (Value && Owner)
        Value->FreeNotification(Owner);
    Refresh();
}

void TsGlyphMode::SetIndex(int& Field, int Value) {
    if (Value == Field)
        return;
    Field = Value;
    Refresh();
}

void TsGlyphMode::SetImageIndex(int Value) { SetIndex(FImageIndex, Value); }
void TsGlyphMode::SetImageIndexHot(int Value) { SetIndex(FImageIndexHot, Value); }
void TsGlyphMode::SetImageIndexPressed(int Value) { SetIndex(FImageIndexPressed, Value); }

bool TsGlyphMode::OwnImagesValid() const {
    return FImages && FImageIndex >= 0 && FImageIndex < FImages->Count();
}

TCustomImageList* TsGlyphMode::ChosenList() const { return OwnImagesValid() ? FImages : DefaultButtonGlyphs(); }

int TsGlyphMode::ImageCount() const {
    TCustomImageList* L = ChosenList();
    if (!L || L->Height() <= 0)
        return 1;
    return L->Width() % L->Height() == 0 ? L->Width() / L->Height() : 1;
}

int TsGlyphMode::GlyphWidth() const {
    TCustomImageList* L = ChosenList();
    return L ? L->Width() / ImageCount() : 0;
}

int TsGlyphMode::GlyphHeight() const {
    TCustomImageList* L = ChosenList();
    return L ? L->Height() : 0;
}

void TsGlyphMode::Refresh() {
    if (!DynCast<TsCustomComboEdit>(Owner) || !Btn)
        return;
    Btn->SetWidth(GlyphWidth() + 2);
    Btn->SetNumGlyphs(ImageCount());
    Btn->Invalidate();
}

// ---------------------------------------------------------------------------------------------
// TsEditButton

TsEditButton::TsEditButton(TComponent* AOwner) : TsSpeedButton(AOwner) {
    Owner = DynCast<TsCustomComboEdit>(AOwner);
    SkinData()->SetSkinSection("SPEEDBUTTON_SMALL");
    SetDisabledGlyphKind(TsDisabledGlyphKind{dgBlended});
    SetFlat(true);
    SetCursor(crArrow);
    SetAlign(alRight);
    SetWidth(22);
    SetShowCaption(false);
    SetAnimatEvents(TacAnimatEvents{aeMouseEnter, aeMouseLeave});
}

bool TsEditButton::Busy() {
    return Loading(this) || ControlState().Contains(csCreating) || !Owner || !Owner->GlyphMode();
}

int TsEditButton::GlyphWidth() {
    return Owner && Owner->GlyphMode() ? Owner->GlyphMode()->GlyphWidth() : TsSpeedButton::GlyphWidth();
}

int TsEditButton::GlyphHeight() {
    return Owner && Owner->GlyphMode() ? Owner->GlyphMode()->GlyphHeight() : TsSpeedButton::GlyphHeight();
}

void TsEditButton::UpdateGlyph() {
    if (Busy())
        return;
    TsGlyphMode* M = Owner->GlyphMode();
    SkinData()->Flags |= UpdatingFlag;
    if (M->OwnImagesValid()) {
        SetBlend(M->Blend());
        SetGrayed(M->Grayed());
        SetImages(M->Images());
        int States[] = {M->ImageIndex(), M->ImageIndexHot(), M->ImageIndexPressed()};
        int Index = States[std::clamp(CurrentState(), 0, 2)];
        if (Index < 0 || Index >= M->Images()->Count())
            Index = M->ImageIndex();
        SetImageIndex(Index);
        SetNumGlyphs(1);
    } else {
        SetImages(DefaultButtonGlyphs());
        SetImageIndex(Owner->DefaultGlyphIndex);
        SetNumGlyphs(3);
    }
    SkinData()->Flags &= static_cast<Word>(~UpdatingFlag);
}

void TsEditButton::ReleaseGlyph() {
    if (Busy())
        return;
    SkinData()->Flags |= UpdatingFlag;
    SetImages(nullptr);
    SkinData()->Flags &= static_cast<Word>(~UpdatingFlag);
}

void TsEditButton::Paint() {
    if (Owner && Owner->SkinData()->IsSkinned(false)) {
        // No window animation takes snapshots here yet, so while one runs the button leaves its
        // picture as it is.
        if (AnimationInProgress)
            return;
        TsSpeedButton::Paint();
        return;
    }
    UpdateGlyph();
    StdPaint(false);
    ReleaseGlyph();
}

void TsEditButton::PrepareCache() {
    UpdateGlyph();
    TsCommonData* D = SkinData();
    D->PrepareCacheBitmap();
    TBitmap* Cache = D->CacheBitmap;
    TBitmap* OwnerCache = Owner ? Owner->SkinData()->CacheBitmap : nullptr;
    if (OwnerCache)
        BitBlt(Cache->Canvas()->Handle(), 0, 0, Width(), Height(), OwnerCache->Canvas()->Handle(), Left() + 2,
               Top() + 2, SRCCOPY);
    PaintGlyph();
    D->BackgroundStale = false;
    ReleaseGlyph();
    if (!Enabled() && OwnerCache)
        PaintDisabledLook(Cache, DisabledKind(), Parent(), MakeBackgroundSource(OwnerCache, 2, 2),
                          Point(Left(), Top()));
}

void TsEditButton::PaintTo(HDC DC, TPoint Point) {
    if (!Owner || !Owner->SkinData()->IsSkinned(false)) {
        Paint();
        return;
    }
    PrepareCache();
    TBitmap* Cache = SkinData()->CacheBitmap;
    BitBlt(DC, Point.X, Point.Y, Cache->Width(), Cache->Height(), Cache->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------------------------
// TsCustomComboEdit

TsCustomComboEdit::TsCustomComboEdit(TComponent* AOwner) : TsMaskEdit(AOwner) {
    SkinData()->ControlKind = 138;
    SetDisabledKind(TsDisabledKind{dkBlended});
    SetAutoSize(false);
    FButton = Create<TsEditButton>(this);
    FButton->SetParent(this);
    FButton->SetVisible(true);
    FButton->OnClick = TNotifyEvent::Bind<&TsCustomComboEdit::DoButtonClick>(this);
    FButton->OnMouseDown = TMouseEvent::Bind<&TsCustomComboEdit::ButtonMouseEvent>(this);
    FButton->OnMouseUp = TMouseEvent::Bind<&TsCustomComboEdit::ButtonMouseEvent>(this);
    FGlyphMode = Create<TsGlyphMode>(this);
    FGlyphMode->Btn = FButton;
    SetHeight(21);
}

TsCustomComboEdit::~TsCustomComboEdit() {
    OnKeyDown = TKeyEvent();
    FreeAndNil(FGlyphMode);
    if (FButton) {
        FButton->OnClick = TNotifyEvent();
        // The button outlives this part of the edit while the components go.
        FButton->Owner = nullptr;
    }
}

void TsCustomComboEdit::AfterConstruction() {
    TsMaskEdit::AfterConstruction();
    SkinData()->AfterOwnerLoaded();
}

void TsCustomComboEdit::Loaded() {
    TsMaskEdit::Loaded();
    SkinData()->AfterOwnerLoaded();
    SetEditRect();
}

void TsCustomComboEdit::DefineClass(TClassBuilder<TsCustomComboEdit>& B) {
    B.Property("AutoSize", &TsCustomComboEdit::AutoSize, &TsCustomComboEdit::SetAutoSize).Default(true);
    B.Property("ShowButton", &TsCustomComboEdit::ShowButton, &TsCustomComboEdit::SetShowButton).Default(true);
    B.Property("ClickKey", &TsCustomComboEdit::ClickKey, &TsCustomComboEdit::SetClickKey)
        .TypeName("TShortCut")
        .Default(32808);
    B.Property("DisabledKind", &TsCustomComboEdit::DisabledKind, &TsCustomComboEdit::SetDisabledKind)
        .Default(TsDisabledKind{dkBlended});
    B.Property("GlyphMode", &TsCustomComboEdit::GlyphMode, &TsCustomComboEdit::SetGlyphMode);
    B.Property("DirectInput", &TsCustomComboEdit::DirectInput, &TsCustomComboEdit::SetDirectInput).Default(true);
    B.Property("ReadOnly", &TsCustomComboEdit::ReadOnly, &TsCustomComboEdit::SetReadOnly).Default(false);
    B.Property("OnButtonClick", &TsCustomComboEdit::OnButtonClick, &TsCustomComboEdit::OnButtonClick);
    B.Message<&TsCustomComboEdit::CMCancelMode>(CM_CANCELMODE);
    B.Message<&TsCustomComboEdit::CMFocusChanged>(CM_FOCUSCHANGED);
}

void TsCustomComboEdit::SetGlyphMode(TsGlyphMode* Value) {
    if (!Value || Value == FGlyphMode)
        return;
    FGlyphMode->SetImages(Value->Images());
    FGlyphMode->SetImageIndex(Value->ImageIndex());
    FGlyphMode->SetImageIndexHot(Value->ImageIndexHot());
    FGlyphMode->SetImageIndexPressed(Value->ImageIndexPressed());
}

void TsCustomComboEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TsMaskEdit::Notification(AComponent, Operation);
    if (Operation == opRemove && FGlyphMode && AComponent == FGlyphMode->Images())
        FGlyphMode->SetImages(nullptr);
    // The button is a child control: it goes before this edit's destructor runs.
    if (Operation == opRemove && AComponent == FButton) {
        FButton = nullptr;
        if (FGlyphMode)
            FGlyphMode->Btn = nullptr;
    }
}

void TsCustomComboEdit::CreateParams(TCreateParams& Params) {
    TsMaskEdit::CreateParams(Params);
    static const DWORD AlignStyles[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
    Params.Style |= ES_MULTILINE | WS_CLIPCHILDREN | AlignStyles[FAlignment];
}

void TsCustomComboEdit::CreateWnd() {
    TsMaskEdit::CreateWnd();
    SetEditRect();
}

void TsCustomComboEdit::SetReadOnly(bool Value) {
    if (Value == FReadOnly)
        return;
    FReadOnly = Value;
    TsMaskEdit::SetReadOnly(Value || !FDirectInput);
}

void TsCustomComboEdit::SetDirectInput(bool Value) {
    TsMaskEdit::SetReadOnly(!Value || FReadOnly);
    FDirectInput = Value;
}

void TsCustomComboEdit::SetAlignment(TAlignment Value) {
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    SkinData()->Invalidate();
    // The edit takes its alignment only from the window's style.
    if (HandleAllocated())
        RecreateWnd();
}

void TsCustomComboEdit::SetShowButton(bool Value) {
    if (Value == FShowButton)
        return;
    FShowButton = Value;
    Invalidate();
    SetEditRect();
}

bool TsCustomComboEdit::IsPopupVisible() const { return Popup && Popup->Visible(); }

void TsCustomComboEdit::DoButtonClick(TObject*) {
    if (!FReadOnly)
        ButtonClick();
}

void TsCustomComboEdit::ButtonClick() {
    OnButtonClick(this);
    if (IsPopupVisible())
        PopupCloseUp();
    else
        PopupDropDown();
}

void TsCustomComboEdit::PopupCloseUp() {
    if (!IsPopupVisible())
        return;
    if (auto* F = DynCast<TCustomForm>(Popup))
        F->Close();
    else
        Popup->SetVisible(false);
}

void TsCustomComboEdit::PopupDropDown() {
    if (!Popup || GetReadOnly() || IsPopupVisible() || !Parent())
        return;
    Popup->SetVisible(false);
    Popup->SetWidth(FPopupWidth);
    TPoint P = Parent()->ClientToScreen(TPoint{Left(), Top()});
    int PW = Popup->Width(), PH = Popup->Height();
    // The desktop may start left of or above the primary monitor: compare with its far edges.
    int DeskLeft = Screen->DesktopLeft(), DeskRight = DeskLeft + Screen->DesktopWidth();
    int DeskBottom = Screen->DesktopTop() + Screen->DesktopHeight();
    int Y = P.Y + Height();
    if (DeskBottom < Y + PH)
        Y = P.Y - PH;
    int X;
    if (FPopupAlign == pwaRight) {
        X = P.X + Width() - PW;
        if (X < DeskLeft)
            X = P.X;
    } else {
        X = P.X;
        if (DeskRight < X + PW)
            X = P.X + Width() - PW;
    }
    if (X < DeskLeft)
        X = DeskLeft;
    else if (DeskRight < X + PW)
        X = DeskRight - PW;
    if (TCustomForm* F = ::GetParentForm(this)) {
        auto* PopupForm = DynCast<TCustomForm>(Popup);
        if (PopupForm && F->FormStyle() == fsStayOnTop)
            PopupForm->SetFormStyle(fsStayOnTop);
        TCustomForm* Main = Application->MainForm();
        HWND After = Main && Main->HandleAllocated() ? Main->Handle() : F->Handle();
        // The control keeps its own bounds: they must agree with the window's.
        Popup->SetBounds(X, Y, PW, PH);
        SetWindowPos(Popup->Handle(), After, X, Y, PW, PH, SWP_SHOWWINDOW);
    } else {
        Popup->SetBounds(X, Y, PW, PH);
    }
    Popup->SetVisible(true);
    // A form shown for the first time takes its default place: it goes back where it belongs.
    if (Popup->Left() != X || Popup->Top() != Y)
        Popup->SetBounds(X, Y, PW, PH);
}

void TsCustomComboEdit::SelectAllText() {
    if (!Text().empty() && HandleAllocated())
        SendMessageA(Handle(), EM_SETSEL, 0, -1);
}

bool TsCustomComboEdit::GetHotState() {
    return TsMaskEdit::GetHotState() || FButton->SkinData()->MouseOver || FButton->SkinData()->IsHotState();
}

void TsCustomComboEdit::SetEditRect() {
    if (!Parent() || !HandleAllocated() || !FButton)
        return;
    RECT R;
    SendMessageA(Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
    R = RECT{0, 0, ClientWidth() - (FShowButton ? FButton->Width() : 0), ClientHeight()};
    SendMessageA(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&R));
    SendMessageA(Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
}

void TsCustomComboEdit::Invalidate() {
    TsMaskEdit::Invalidate();
    if (!FButton || !FGlyphMode)
        return;
    if (!SkinBroadcastRunning)
        FButton->SkinData()->BackgroundStale = true;
    if (FShowButton) {
        FButton->SetWidth(FGlyphMode->GlyphWidth());
        if (!FButton->Visible())
            FButton->SetVisible(true);
    } else if (FButton->Visible()) {
        FButton->SetVisible(false);
        FButton->SetWidth(0);
    }
    FGlyphMode->Refresh();
}

// ---------------------------------------------------------------------------------------------
// Keys and mouse

void TsCustomComboEdit::KeyDown(Word& Key, TShiftState Shift) {
    TsMaskEdit::KeyDown(Key, Shift);
    if (Key != 0 && ShortCut(Key, Shift) == FClickKey && FGlyphMode->GlyphWidth() > 0) {
        DoButtonClick(this);
        Key = 0;
    }
    SetEditRect();
}

void TsCustomComboEdit::KeyPress(char& Key) {
    if (Key == '\r' || Key == '\x1b') {
        // Default and cancel buttons of the dialog come first.
        if (TCustomForm* F = ::GetParentForm(this))
            F->Perform(CM_DIALOGKEY, static_cast<unsigned char>(Key), 0);
        if (Key == '\r') {
            // The multi-line window would insert a line break and beep.
            TsMaskEdit::KeyPress(Key);
            Key = 0;
            return;
        }
    }
    TsMaskEdit::KeyPress(Key);
}

void TsCustomComboEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (!SkinBroadcastRunning)
        SkinData()->BackgroundStale = true;
    TsMaskEdit::MouseDown(Button, Shift, X, Y);
    if (IsPopupVisible())
        PopupCloseUp();
    SetEditRect();
}

void TsCustomComboEdit::Change() {
    if (!IsPopupVisible())
        TsMaskEdit::Change();
}

void TsCustomComboEdit::CMCancelMode(TMessage& Message) {
    auto* Sender = reinterpret_cast<TControl*>(Message.LParam);
    bool Ours = Sender == this || Sender == Popup || Sender == FButton;
    if (!Ours && Popup && Sender) {
        for (TControl* C = Sender->Parent(); C && !Ours; C = C->Parent())
            Ours = C == Popup;
    }
    if (!Ours)
        PopupCloseUp();
}

void TsCustomComboEdit::CMFocusChanged(TMessage& Message) {
    if (IsPopupVisible() && reinterpret_cast<TControl*>(Message.LParam) != this)
        PopupCloseUp();
    InheritedDispatch(StaticClass(), Message);
}

// ---------------------------------------------------------------------------------------------
// Painting

void TsCustomComboEdit::PaintText() {
    TsCommonData* D = SkinData();
    TCanvas* C = D->CacheBitmap->Canvas();
    C->SetFont(Font());
    int M = TextMargin();
    TRect R = Rect(M, M, Width() - M - (FShowButton ? FButton->Width() : 0), Height() - M);
    std::string S = EditText();
    if (PasswordChar() != '\0')
        S.assign(S.size(), PasswordChar());
    WriteControlText(C, S, Enabled() || !D->IsSkinned(false), D->IsHotState(), D,
                     AlignmentTextFlags(this, FAlignment) | DT_NOPREFIX, R);
}

void TsCustomComboEdit::PaintClient(HDC DC) {
    TsCommonData& D = *SkinData();
    HWND Wnd = Handle();
    TPoint ButtonAt{FButton->Left() + 2, FButton->Top() + 2};
    if (D.IsSkinned(false)) {
        // The edit's image with the mask edit's rules for a stale or clipped cache; the button
        // is drawn over it unless the standard edit paints (focused or hot).
        TsMaskEdit::PaintClient(DC);
        if (D.InUpdate || !FButton->Visible() || GetHotState())
            return;
        HDC Target = DC ? DC : GetWindowDC(Wnd);
        FButton->PaintTo(Target, ButtonAt);
        if (!DC)
            ReleaseDC(Wnd, Target);
        return;
    }
    HDC Target = DC ? DC : GetWindowDC(Wnd);
    PrepareCache();
    BitBlt(Target, 3, 3, Width() - 6, Height() - 6, D.CacheBitmap->Canvas()->Handle(), 3, 3, SRCCOPY);
    if (!DC)
        ReleaseDC(Wnd, Target);
    if (FButton->Visible())
        FButton->Repaint();
}

void TsCustomComboEdit::PaintBorder(HDC DC) {
    // The edit's frame is the skin's whatever its border style.
    PaintBorderStrips(DC);
    // Hot, the standard edit paints the client area: the button is drawn again over it.
    TWinControl* P = Parent();
    if (!P || !Visible() || !P->Visible() || SkinData()->IsUpdating() || !SkinData()->IsHotState() ||
        !FButton->Visible())
        return;
    HWND Wnd = Handle();
    HDC Target = DC ? DC : GetWindowDC(Wnd);
    FButton->PaintTo(Target, TPoint{FButton->Left() + 2, FButton->Top() + 2});
    if (!DC)
        ReleaseDC(Wnd, Target);
}

bool TsCustomComboEdit::PrintSkinned(TMessage& Message) {
    TsCommonData* D = SkinData();
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    D->SetInUpdate(false);
    if (D->BackgroundStale)
        PrepareCache();
    PaintAllCacheCorners(D, 0);
    bool WasVisible = FButton->Visible();
    FButton->SetVisible(false);
    PaintClient(DC);
    CopyBorderStrips(DC, 0, 0, TextMargin(), D->CacheBitmap->Canvas()->Handle(), 0, 0, Width(), Height());
    if (FShowButton)
        FButton->PaintTo(DC, TPoint{FButton->Left() + 2, FButton->Top() + 2});
    FButton->SetVisible(WasVisible);
    return true;
}

void TsCustomComboEdit::WndProc(TMessage& Message) {
    TsCommonData* D = SkinData();
    if (!D || !FButton) {
        TsMaskEdit::WndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case SM_ALPHACMD:
        if (SkinCommandOf(Message.WParam) == SKIN_GETBACKGROUND) {
            auto& Info = *reinterpret_cast<ParentBackgroundInfo*>(Message.LParam);
            D->FillParentBackgroundInfo(Info, 0, nullptr);
            Info.X = TextMargin();
            Info.Y = TextMargin();
            return;
        }
        break;
    case WM_ERASEBKGND:
        if (D->IsSkinned(false) && HandleAllocated() && IsWindowVisible(Handle())) {
            D->SetInUpdate(D->IsUpdating());
            if (D->InUpdate)
                return;
        }
        break;
    case WM_PRINT:
        if (D->IsSkinned(false) && PrintSkinned(Message))
            return;
        break;
    case WM_PASTE:
    case WM_CUT:
        if (!FDirectInput || GetReadOnly())
            return;
        break;
    default:
        break;
    }
    TsMaskEdit::WndProc(Message);
    switch (Message.Msg) {
    case SM_ALPHACMD:
        switch (SkinCommandOf(Message.WParam)) {
        case SKIN_LOADED:
        case SKIN_REMOVED:
        case SKIN_REFRESH:
            if (Message.LParam == reinterpret_cast<LPARAM>(D->GetSkinManager())) {
                BroadcastToSkinnedChildren(this, Message);
                SetEditRect();
            }
            break;
        case SKIN_GETSTALE:
            Message.Result = 0;
            break;
        default:
            break;
        }
        break;
    case WM_SIZE:
    case CM_FONTCHANGED:
        SetEditRect();
        break;
    case WM_SETFOCUS:
        if (AutoSelect())
            SelectAllText();
        break;
    case CM_ENABLEDCHANGED:
        FButton->SetEnabled(Enabled());
        break;
    case CM_EXIT:
        Repaint();
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// TsComboEdit

TsComboEdit::TsComboEdit(TComponent* AOwner) : TsCustomComboEdit(AOwner) {
    SkinData()->ControlKind = 138;
    DefaultGlyphIndex = EllipsisGlyph;
}

void TsComboEdit::DefineClass(TClassBuilder<TsComboEdit>& B) {
    B.Property("Alignment", &TsComboEdit::Alignment, &TsComboEdit::SetAlignment).Default(taLeftJustify);
}

void sCustomComboEditInitialization() {
    RegisterClass(TsComboEdit::StaticClass());
}

void sCustomComboEditFinalization() { FreeAndNil(ButtonGlyphs); }
