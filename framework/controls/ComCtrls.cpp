#include "ComCtrls.h"

#include "ComCtrlsList.h"
#include "ComCtrlsTree.h"

#include <algorithm>

namespace {
// The short part of a hint: the text before "|".
std::string ShortHintOf(const std::string& Hint) { return Hint.substr(0, Hint.find('|')); }
}  // namespace

// ---------------------------------------------------------------------------------------------
// TStatusPanel

TStatusPanel::TStatusPanel(TCollection* ACollection) : TCollectionItem(ACollection) {}

void TStatusPanel::DefineClass(TClassBuilder<TStatusPanel>& B) {
    B.Property("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment).Default(taLeftJustify);
    B.Property("Bevel", &TStatusPanel::Bevel, &TStatusPanel::SetBevel).Default(pbLowered);
    B.Property("Style", &TStatusPanel::Style, &TStatusPanel::SetStyle).Default(psText);
    B.Property("Text", &TStatusPanel::Text, &TStatusPanel::SetText);
    B.Property("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth);
}

void TStatusPanel::Assign(TPersistent* Source) {
    if (auto* P = DynCast<TStatusPanel>(Source)) {
        FText = P->FText;
        FWidth = P->FWidth;
        FAlignment = P->FAlignment;
        FBevel = P->FBevel;
        FStyle = P->FStyle;
        Changed(true);
        return;
    }
    TCollectionItem::Assign(Source);
}

std::string TStatusPanel::GetDisplayName() { return FText.empty() ? TCollectionItem::GetDisplayName() : FText; }

void TStatusPanel::SetText(const std::string& Value) {
    if (Value != FText) {
        FText = Value;
        Changed(false);
    }
}

void TStatusPanel::SetWidth(int Value) {
    Value = std::max(Value, 0);
    if (Value != FWidth) {
        FWidth = Value;
        Changed(true);
    }
}

void TStatusPanel::SetAlignment(TAlignment Value) {
    if (Value != FAlignment) {
        FAlignment = Value;
        Changed(false);
    }
}

void TStatusPanel::SetBevel(TStatusPanelBevel Value) {
    if (Value != FBevel) {
        FBevel = Value;
        Changed(false);
    }
}

void TStatusPanel::SetStyle(TStatusPanelStyle Value) {
    if (Value != FStyle) {
        FStyle = Value;
        Changed(false);
    }
}

TStatusPanels::TStatusPanels(TStatusBar* AStatusBar)
    : TCollection(TStatusPanel::StaticClass()), FStatusBar(AStatusBar) {}

TPersistent* TStatusPanels::GetOwner() { return FStatusBar; }

void TStatusPanels::Update(TCollectionItem* Item) {
    if (Item)
        FStatusBar->UpdatePanel(Item->Index());
    else
        FStatusBar->UpdatePanels();
}

// ---------------------------------------------------------------------------------------------
// TStatusBar

TStatusBar::TStatusBar(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
    FColor = clBtnFace;
    FParentColor = false;
    FHeight = 19;
    FWidth = 100;
    FPanels = Create<TStatusPanels>(this);
    FPanels->SetPropName("Panels");
    FCanvas = Create<TCanvas>();
    SetAlign(alBottom);
}

TStatusBar::~TStatusBar() {
    FreeAndNil(FCanvas);
    FreeAndNil(FPanels);
}

void TStatusBar::DefineClass(TClassBuilder<TStatusBar>& B) {
    B.Property("AutoHint", &TStatusBar::AutoHint, &TStatusBar::SetAutoHint).Default(false);
    B.Property("Panels", &TStatusBar::Panels, &TStatusBar::SetPanels);
    B.Property("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel).Default(false);
    B.Property("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
    B.Property("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip).Default(true);
    B.Property("OnDrawPanel", [](TStatusBar* S) { return S->OnDrawPanel; },
               [](TStatusBar* S, const TDrawPanelEvent& E) { S->OnDrawPanel = E; });
    B.Property("OnHint", [](TStatusBar* S) { return S->OnHint; },
               [](TStatusBar* S, const TNotifyEvent& E) { S->OnHint = E; });
    B.Message<&TStatusBar::CNDrawItem>(CN_DRAWITEM);
    B.Message<&TStatusBar::WMSize>(WM_SIZE);
}

void TStatusBar::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, STATUSCLASSNAMEA);
    // The framework places the bar (Align); the window must not move itself to its parent's bottom.
    Params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NOMOVEY;
    if (FSizeGrip)
        Params.Style |= SBARS_SIZEGRIP;
}

void TStatusBar::CreateComponentWindows() {
    TWinControl::CreateComponentWindows();
    UpdatePanels();
}

void TStatusBar::SetSimplePanel(bool Value) {
    if (Value == FSimplePanel)
        return;
    FSimplePanel = Value;
    if (HandleAllocated()) {
        SendMessageA(FHandle, SB_SIMPLE, Value ? 1 : 0, 0);
        UpdatePanels();
    }
}

void TStatusBar::SetSimpleText(const std::string& Value) {
    if (Value == FSimpleText)
        return;
    FSimpleText = Value;
    if (HandleAllocated() && FSimplePanel)
        SetPartText(SB_SIMPLEID, FSimpleText);
}

void TStatusBar::SetSizeGrip(bool Value) { SetStyleFlag(this, FSizeGrip, Value); }

void TStatusBar::UpdatePanels() {
    if (!HandleAllocated())
        return;
    if (FSimplePanel) {
        SendMessageA(FHandle, SB_SIMPLE, 1, 0);
        SetPartText(SB_SIMPLEID, FSimpleText);
        return;
    }
    int N = FPanels->Count();
    // The system keeps at most 256 parts; a bar always has one.
    N = std::min(N, 255);
    std::vector<int> Edges(static_cast<std::size_t>(std::max(N, 1)), -1);
    int Edge = 0;
    for (int I = 0; I < N; ++I) {
        Edge += FPanels->Items(I)->Width();
        Edges[static_cast<std::size_t>(I)] = Edge;
    }
    // The last panel runs to the bar's end.
    Edges.back() = -1;
    SendMessageA(FHandle, SB_SETPARTS, Edges.size(), reinterpret_cast<LPARAM>(Edges.data()));
    if (N == 0)
        SetPartText(0, "");
    for (int I = 0; I < N; ++I)
        UpdatePanel(I);
}

void TStatusBar::UpdatePanel(int Index) {
    if (!HandleAllocated() || FSimplePanel || Index < 0 || Index >= FPanels->Count() || Index > 254)
        return;
    TStatusPanel* P = FPanels->Items(Index);
    WPARAM Flags = static_cast<WPARAM>(Index);
    if (P->Bevel() == pbNone)
        Flags |= SBT_NOBORDERS;
    else if (P->Bevel() == pbRaised)
        Flags |= SBT_POPOUT;
    if (P->Style() == psOwnerDraw) {
        // The panel's data is its index: the draw request names the panel by it.
        SendMessageA(FHandle, SB_SETTEXTA, Flags | SBT_OWNERDRAW, static_cast<LPARAM>(Index));
        return;
    }
    // A tab before the text centres it, two right-align it.
    std::string Text = P->Text();
    if (P->Alignment() == taCenter)
        Text = "\t" + Text;
    else if (P->Alignment() == taRightJustify)
        Text = "\t\t" + Text;
    SetPartText(Flags, Text);
}

void TStatusBar::SetPartText(WPARAM Flags, const std::string& Text) {
    const std::wstring W = AnsiToWide(Text, TextCodePage());
    SendMessageW(FHandle, SB_SETTEXTW, Flags, reinterpret_cast<LPARAM>(W.c_str()));
}

void TStatusBar::DrawPanel(TStatusPanel* Panel, const TRect& Rect) {
    if (OnDrawPanel)
        OnDrawPanel(this, Panel, Rect);
    else
        FCanvas->FillRect(Rect);
}

void TStatusBar::CNDrawItem(TMessage& Message) {
    auto* D = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    int Index = static_cast<int>(D->itemID);
    if (Index < 0 || Index >= FPanels->Count()) {
        Message.Result = 1;
        return;
    }
    int Saved = SaveDC(D->hDC);
    FCanvas->SetHandle(D->hDC);
    try {
        FCanvas->Font()->Assign(Font());
        FCanvas->Brush()->SetColor(clBtnFace);
        FCanvas->Brush()->SetStyle(bsSolid);
        DrawPanel(FPanels->Items(Index), TRect::From(D->rcItem));
    } catch (...) {
        FCanvas->SetHandle(nullptr);
        RestoreDC(D->hDC, Saved);
        throw;
    }
    FCanvas->SetHandle(nullptr);
    RestoreDC(D->hDC, Saved);
    Message.Result = 1;
}

void TStatusBar::WMSize(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    // The last part runs to the new end; the window recomputes it from the parts.
    if (HandleAllocated() && !FSimplePanel)
        InvalidateRect(FHandle, nullptr, TRUE);
}

// ---------------------------------------------------------------------------------------------
// TToolButton

namespace {
int NextToolCommand = 1;
}

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle = TControlStyle{csSetCaption};
    FWidth = 23;
    FHeight = 22;
    FCommandID = NextToolCommand++;
    if (NextToolCommand > 0x7FFF)
        NextToolCommand = 1;
}

void TToolButton::DefineClass(TClassBuilder<TToolButton>& B) {
    B.Property("AllowAllUp", &TToolButton::AllowAllUp, &TToolButton::SetAllowAllUp).Default(false);
    B.Property("Caption", &TToolButton::Caption, &TToolButton::SetCaption).TypeName("TCaption");
    B.Property("Down", &TToolButton::Down, &TToolButton::SetDown).Default(false);
    B.Property("DropdownMenu", &TToolButton::DropdownMenu, &TToolButton::SetDropdownMenu);
    B.Property("Grouped", &TToolButton::Grouped, &TToolButton::SetGrouped).Default(false);
    B.Property("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex).TypeName("TImageIndex").Default(-1);
    B.Property("Indeterminate", &TToolButton::Indeterminate, &TToolButton::SetIndeterminate).Default(false);
    B.Property("Marked", &TToolButton::Marked, &TToolButton::SetMarked).Default(false);
    B.Property("Style", &TToolButton::Style, &TToolButton::SetStyle).Default(tbsButton);
    B.Property("Wrap", &TToolButton::Wrap, &TToolButton::SetWrap).Default(false);
    B.Message<&TToolButton::CMTextChanged>(CM_TEXTCHANGED);
}

TToolBar* TToolButton::ToolBar() const { return DynCast<TToolBar>(FParent); }

int TToolButton::Index() const {
    TToolBar* Bar = ToolBar();
    if (!Bar)
        return -1;
    auto It = std::find(Bar->FButtons.begin(), Bar->FButtons.end(), this);
    return It == Bar->FButtons.end() ? -1 : static_cast<int>(It - Bar->FButtons.begin());
}

void TToolButton::Changed() {
    if (TToolBar* Bar = ToolBar())
        Bar->UpdateButtons();
}

void TToolButton::SetStyle(TToolButtonStyle Value) {
    if (Value != FStyle) {
        FStyle = Value;
        Changed();
    }
}

void TToolButton::SetImageIndex(int Value) {
    if (Value != FImageIndex) {
        FImageIndex = Value;
        Changed();
    }
}

void TToolButton::SetDown(bool Value) {
    if (Value == FDown)
        return;
    FDown = Value;
    // One button of a group is down at a time.
    if (Value && FGrouped)
        if (TToolBar* Bar = ToolBar())
            for (TToolButton* B : Bar->FButtons)
                if (B != this && B->FGrouped && B->FStyle == tbsCheck)
                    B->FDown = false;
    Changed();
}

void TToolButton::SetGrouped(bool Value) {
    if (Value != FGrouped) {
        FGrouped = Value;
        Changed();
    }
}

void TToolButton::SetIndeterminate(bool Value) {
    if (Value != FIndeterminate) {
        FIndeterminate = Value;
        Changed();
    }
}

void TToolButton::SetMarked(bool Value) {
    if (Value != FMarked) {
        FMarked = Value;
        Changed();
    }
}

void TToolButton::SetWrap(bool Value) {
    if (Value != FWrap) {
        FWrap = Value;
        Changed();
    }
}

void TToolButton::SetEnabled(bool Value) {
    bool Was = Enabled();
    TGraphicControl::SetEnabled(Value);
    if (Was != Enabled())
        Changed();
}

void TToolButton::SetVisible(bool Value) {
    bool Was = Visible();
    TGraphicControl::SetVisible(Value);
    if (Was != Visible())
        Changed();
}

void TToolButton::CMTextChanged(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    Changed();
}

void TToolButton::Click() {
    if (FStyle == tbsCheck) {
        // Down toggles; the last one of a group stays down unless AllowAllUp.
        if (!FDown)
            SetDown(true);
        else if (!FGrouped || FAllowAllUp)
            SetDown(false);
    }
    TGraphicControl::Click();
}

// ---------------------------------------------------------------------------------------------
// TToolBar

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner) {
    // The tool bar window presses and releases its buttons itself.
    FControlStyle = TControlStyle{csAcceptsControls, csDoubleClicks, csSetCaption};
    FColor = clBtnFace;
    FParentColor = false;
    FWidth = 150;
    FHeight = 29;
    FImageChangeLink = Create<TChangeLink>();
    FImageChangeLink->OnChange = TNotifyEvent::Bind<&TToolBar::ImageListChange>(this);
    FHotImageChangeLink = Create<TChangeLink>();
    FHotImageChangeLink->OnChange = TNotifyEvent::Bind<&TToolBar::ImageListChange>(this);
    FCanvas = Create<TCanvas>();
    SetAlign(alTop);
}

TToolBar::~TToolBar() {
    FreeAndNil(FImageChangeLink);
    FreeAndNil(FHotImageChangeLink);
    FreeAndNil(FCanvas);
}

void TToolBar::DefineClass(TClassBuilder<TToolBar>& B) {
    B.Property("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight).Default(22);
    B.Property("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth).Default(23);
    B.Property("Caption", &TToolBar::Caption, &TToolBar::SetCaption).TypeName("TCaption");
    B.Property("EdgeBorders", &TToolBar::EdgeBorders, &TToolBar::SetEdgeBorders).Default(TEdgeBorders{ebTop});
    B.Property("Flat", &TToolBar::Flat, &TToolBar::SetFlat).Default(false);
    B.Property("HotImages", &TToolBar::HotImages, &TToolBar::SetHotImages);
    B.Property("Images", &TToolBar::Images, &TToolBar::SetImages);
    B.Property("List", &TToolBar::List, &TToolBar::SetList).Default(false);
    B.Property("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions).Default(false);
    B.Property("Wrapable", &TToolBar::Wrapable, &TToolBar::SetWrapable).Default(true);
    B.Message<&TToolBar::CNCommand>(CN_COMMAND);
    B.Property("OnAdvancedCustomDraw", [](TToolBar* T) { return T->OnAdvancedCustomDraw; },
               [](TToolBar* T, const TTBAdvancedCustomDrawEvent& E) { T->OnAdvancedCustomDraw = E; });
    B.Property("OnAdvancedCustomDrawButton", [](TToolBar* T) { return T->OnAdvancedCustomDrawButton; },
               [](TToolBar* T, const TTBAdvancedCustomDrawBtnEvent& E) { T->OnAdvancedCustomDrawButton = E; });
    B.Message<&TToolBar::WMNotify>(WM_NOTIFY);
    B.Message<&TToolBar::CNNotify>(CN_NOTIFY);
    B.Message<&TToolBar::CMControlChange>(CM_CONTROLCHANGE);
}

TToolButton* TToolBar::Buttons(int Index) const {
    if (Index < 0 || Index >= ButtonCount())
        RaiseListIndexError(Index);
    return FButtons[static_cast<std::size_t>(Index)];
}

void TToolBar::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, TOOLBARCLASSNAMEA);
    Params.Style |= TBSTYLE_TOOLTIPS | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    if (FFlat)
        Params.Style |= TBSTYLE_FLAT | TBSTYLE_TRANSPARENT;
    if (FList)
        Params.Style |= TBSTYLE_LIST;
    if (FWrapable)
        Params.Style |= TBSTYLE_WRAPABLE;
}

void TToolBar::CreateComponentWindows() {
    TWinControl::CreateComponentWindows();
    SendMessageA(FHandle, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    UpdateButtons();
}

void TToolBar::WndProc(TMessage& Message) {
    // Mouse messages are the tool bar window's own: it presses the buttons under them. The tool
    // buttons are only the framework's view of those buttons, so the core must not route the
    // messages to them.
    if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL) {
        TControl::WndProc(Message);
        return;
    }
    TWinControl::WndProc(Message);
}

void TToolBar::CMControlChange(TMessage& Message) {
    auto* C = reinterpret_cast<TControl*>(Message.WParam);
    if (auto* B = DynCast<TToolButton>(C)) {
        auto It = std::find(FButtons.begin(), FButtons.end(), B);
        if (Message.LParam && It == FButtons.end())
            FButtons.push_back(B);
        else if (!Message.LParam && It != FButtons.end())
            FButtons.erase(It);
        UpdateButtons();
    }
    InheritedDispatch(StaticClass(), Message);
}

TToolButton* TToolBar::FindButton(int CommandID) const {
    for (TToolButton* B : FButtons)
        if (B->FCommandID == CommandID)
            return B;
    return nullptr;
}

void TToolBar::UpdateButtons() {
    if (!HandleAllocated() || FUpdating || FComponentState.Contains(csDestroying))
        return;
    FUpdating = true;
    try {
        SendMessageA(FHandle, WM_SETREDRAW, 0, 0);
        while (SendMessageA(FHandle, TB_BUTTONCOUNT, 0, 0) > 0)
            SendMessageA(FHandle, TB_DELETEBUTTON, 0, 0);
        SendMessageA(FHandle, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImages ? FImages->Handle() : nullptr));
        SendMessageA(FHandle, TB_SETHOTIMAGELIST, 0,
                     reinterpret_cast<LPARAM>(FHotImages ? FHotImages->Handle() : nullptr));
        SendMessageA(FHandle, TB_SETBITMAPSIZE, 0,
                     FImages ? MAKELPARAM(FImages->Width(), FImages->Height()) : MAKELPARAM(0, 0));
        std::vector<std::wstring> Captions;
        Captions.reserve(FButtons.size());
        std::vector<TBBUTTON> Native;
        for (TToolButton* B : FButtons) {
            if (!B->Visible())
                continue;
            TBBUTTON N{};
            N.idCommand = B->FCommandID;
            N.dwData = reinterpret_cast<DWORD_PTR>(B);
            N.iString = -1;
            switch (B->FStyle) {
            case tbsButton: N.fsStyle = BTNS_BUTTON; break;
            case tbsCheck: N.fsStyle = BTNS_CHECK | (B->FGrouped ? BTNS_GROUP : 0); break;
            case tbsDropDown: N.fsStyle = BTNS_DROPDOWN; break;
            case tbsSeparator:
            case tbsDivider: N.fsStyle = BTNS_SEP; break;
            }
            N.iBitmap = N.fsStyle == BTNS_SEP ? B->Width() : (B->FImageIndex >= 0 ? B->FImageIndex : I_IMAGENONE);
            N.fsState = static_cast<BYTE>((B->Enabled() ? TBSTATE_ENABLED : 0) | (B->FDown ? TBSTATE_CHECKED : 0) |
                                          (B->FIndeterminate ? TBSTATE_INDETERMINATE : 0) |
                                          (B->FMarked ? TBSTATE_MARKED : 0) | (B->FWrap ? TBSTATE_WRAP : 0));
            if (FShowCaptions && N.fsStyle != BTNS_SEP) {
                Captions.push_back(AnsiToWide(B->Caption(), TextCodePage()));
                Captions.back().push_back(L'\0');  // the system's string lists end with two zeros
                N.iString = static_cast<INT_PTR>(
                    SendMessageW(FHandle, TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(Captions.back().c_str())));
            }
            Native.push_back(N);
        }
        if (!Native.empty())
            SendMessageA(FHandle, TB_ADDBUTTONSA, Native.size(), reinterpret_cast<LPARAM>(Native.data()));
        if (!FShowCaptions)
            SendMessageA(FHandle, TB_SETBUTTONSIZE, 0, MAKELPARAM(FButtonWidth, FButtonHeight));
        SendMessageA(FHandle, WM_SETREDRAW, 1, 0);
        PlaceButtons();
        InvalidateRect(FHandle, nullptr, TRUE);
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
}

void TToolBar::PlaceButtons() {
    // The tool buttons take the places the window gave its buttons (hints, hit tests, skins).
    for (TToolButton* B : FButtons) {
        LRESULT Index = SendMessageA(FHandle, TB_COMMANDTOINDEX, static_cast<WPARAM>(B->FCommandID), 0);
        RECT R{};
        if (Index >= 0 && SendMessageA(FHandle, TB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&R))) {
            B->FLeft = R.left;
            B->FTop = R.top;
            B->FWidth = R.right - R.left;
            B->FHeight = R.bottom - R.top;
        }
    }
}

void TToolBar::CNCommand(TMessage& Message) {
    TToolButton* B = FindButton(LOWORD(Message.WParam));
    if (!B) {
        InheritedDispatch(StaticClass(), Message);
        return;
    }
    Message.Result = 0;
    if (B->FStyle == tbsCheck) {
        // The window has toggled its check already; the button follows and then clicks.
        bool Checked = SendMessageA(FHandle, TB_ISBUTTONCHECKED, static_cast<WPARAM>(B->FCommandID), 0) != 0;
        if (Checked != B->FDown) {
            B->FDown = Checked;
            if (Checked && B->FGrouped)
                for (TToolButton* O : FButtons)
                    if (O != B && O->FGrouped && O->FStyle == tbsCheck)
                        O->FDown = false;
        }
        TGraphicControl* G = B;
        G->TGraphicControl::Click();
        return;
    }
    B->Click();
}

void TToolBar::WMNotify(TMessage& Message) {
    auto* H = reinterpret_cast<NMHDR*>(Message.LParam);
    // The tool tip asks its tool bar for the text: the button's Hint.
    if (H && (H->code == TTN_GETDISPINFOA || H->code == TTN_GETDISPINFOW)) {
        if (TToolButton* B = FindButton(static_cast<int>(H->idFrom)); B && !B->Hint().empty()) {
            FTipText = ShortHintOf(B->Hint());
            if (H->code == TTN_GETDISPINFOA) {
                auto* D = reinterpret_cast<NMTTDISPINFOA*>(Message.LParam);
                D->lpszText = FTipText.data();
                D->hinst = nullptr;
            } else {
                FTipTextW = AnsiToWide(FTipText, CP_ACP);
                auto* D = reinterpret_cast<NMTTDISPINFOW*>(Message.LParam);
                D->lpszText = FTipTextW.data();
                D->hinst = nullptr;
            }
            Message.Result = 0;
            return;
        }
    }
    InheritedDispatch(StaticClass(), Message);
}

namespace {
// The canvas draws on the window's DC only while an event runs.
struct TCanvasOnDC {
    TCanvas* Canvas;
    TCanvasOnDC(TCanvas* C, HDC DC) : Canvas(C) { Canvas->SetHandle(DC); }
    ~TCanvasOnDC() { Canvas->SetHandle(nullptr); }
};

TCustomDrawState DrawStateOf(UINT ItemState) {
    static const std::pair<UINT, TCustomDrawStateItem> Bits[] = {
        {CDIS_SELECTED, cdsSelected}, {CDIS_GRAYED, cdsGrayed},   {CDIS_DISABLED, cdsDisabled},
        {CDIS_CHECKED, cdsChecked},   {CDIS_FOCUS, cdsFocused},   {CDIS_DEFAULT, cdsDefault},
        {CDIS_HOT, cdsHot},           {CDIS_MARKED, cdsMarked},   {CDIS_INDETERMINATE, cdsIndeterminate}};
    TCustomDrawState State;
    for (const auto& [Bit, Item] : Bits)
        if (ItemState & Bit)
            State = State.Include(Item);
    return State;
}
}  // namespace

LRESULT TToolBar::CustomDraw(NMTBCUSTOMDRAW& Draw) {
    switch (Draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT: {
        bool Default = true;
        if (OnAdvancedCustomDraw) {
            TCanvasOnDC On(FCanvas, Draw.nmcd.hdc);
            // The whole bar: the window's own rectangle covers only its buttons.
            OnAdvancedCustomDraw(this, ClientRect(), cdPrePaint, Default);
        }
        LRESULT Result = Default ? CDRF_DODEFAULT : CDRF_SKIPDEFAULT;
        return OnAdvancedCustomDrawButton ? Result | CDRF_NOTIFYITEMDRAW : Result;
    }
    case CDDS_ITEMPREPAINT: {
        TToolButton* Button = FindButton(static_cast<int>(Draw.nmcd.dwItemSpec));
        if (!Button || !OnAdvancedCustomDrawButton)
            return CDRF_DODEFAULT;
        TTBCustomDrawFlags Flags;
        bool Default = true;
        {
            TCanvasOnDC On(FCanvas, Draw.nmcd.hdc);
            OnAdvancedCustomDrawButton(this, Button, DrawStateOf(Draw.nmcd.uItemState), cdPrePaint, Flags, Default);
        }
        if (!Default)
            return CDRF_SKIPDEFAULT;
        LRESULT Result = CDRF_DODEFAULT;
        if (Flags.Contains(tbNoEdges))
            Result |= TBCDRF_NOEDGES;
        if (Flags.Contains(tbHiliteHotTrack))
            Result |= TBCDRF_HILITEHOTTRACK;
        if (Flags.Contains(tbNoOffset))
            Result |= TBCDRF_NOOFFSET;
        if (Flags.Contains(tbNoMark))
            Result |= TBCDRF_NOMARK;
        if (Flags.Contains(tbNoEtchedEffect))
            Result |= TBCDRF_NOETCHEDEFFECT;
        return Result;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

void TToolBar::CNNotify(TMessage& Message) {
    auto* H = reinterpret_cast<NMHDR*>(Message.LParam);
    if (H && H->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
        Message.Result = CustomDraw(*reinterpret_cast<NMTBCUSTOMDRAW*>(Message.LParam));
        return;
    }
    InheritedDispatch(StaticClass(), Message);
}

void TToolBar::SetImages(TCustomImageList* Value) {
    if (!SetImageListOf(this, FImages, Value, FImageChangeLink))
        return;
    // One list can serve as both; letting go of it as one must not end the other's notification.
    if (FHotImages)
        FHotImages->FreeNotification(this);
    UpdateButtons();
}

void TToolBar::SetHotImages(TCustomImageList* Value) {
    if (!SetImageListOf(this, FHotImages, Value, FHotImageChangeLink))
        return;
    if (FImages)
        FImages->FreeNotification(this);
    UpdateButtons();
}

void TToolBar::ImageListChange(TObject*) { UpdateButtons(); }

void TToolBar::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FImages)
        SetImages(nullptr);
    if (AComponent == FHotImages)
        SetHotImages(nullptr);
    for (TToolButton* B : FButtons)
        if (B->FDropdownMenu == AComponent)
            B->FDropdownMenu = nullptr;
}


void TToolBar::SetFlat(bool Value) { SetStyleFlag(this, FFlat, Value); }
void TToolBar::SetList(bool Value) { SetStyleFlag(this, FList, Value); }
void TToolBar::SetWrapable(bool Value) { SetStyleFlag(this, FWrapable, Value); }
void TToolBar::SetShowCaptions(bool Value) { SetStyleFlag(this, FShowCaptions, Value); }

void TToolBar::SetButtonHeight(int Value) {
    Value = std::max(Value, 1);
    if (Value != FButtonHeight) {
        FButtonHeight = Value;
        UpdateButtons();
    }
}

void TToolBar::SetButtonWidth(int Value) {
    Value = std::max(Value, 1);
    if (Value != FButtonWidth) {
        FButtonWidth = Value;
        UpdateButtons();
    }
}

void TToolBar::SetEdgeBorders(TEdgeBorders Value) {
    if (!(Value == FEdgeBorders)) {
        FEdgeBorders = Value;
        Invalidate();
    }
}

// ---------------------------------------------------------------------------------------------
// TTabSheet

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FVisible = false;
    SetAlign(alClient);
}

TTabSheet::~TTabSheet() {
    if (FPageControl)
        FPageControl->RemovePage(this);
}

void TTabSheet::DefineClass(TClassBuilder<TTabSheet>& B) {
    B.Property("Caption", &TTabSheet::Caption, &TTabSheet::SetCaption).TypeName("TCaption");
    B.Property("Highlighted", &TTabSheet::Highlighted, &TTabSheet::SetHighlighted).Default(false);
    B.Property("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex).TypeName("TImageIndex").Default(-1);
    B.Property("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex).Stored(false);
    B.Property("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible).Default(true);
    B.Property("OnShow", [](TTabSheet* T) { return T->OnShow; },
               [](TTabSheet* T, const TNotifyEvent& E) { T->OnShow = E; });
    B.Property("OnHide", [](TTabSheet* T) { return T->OnHide; },
               [](TTabSheet* T, const TNotifyEvent& E) { T->OnHide = E; });
    B.Message<&TTabSheet::CMTextChanged>(CM_TEXTCHANGED);
    B.Message<&TTabSheet::CMShowingChanged>(CM_SHOWINGCHANGED);
}

void TTabSheet::SetPageControl(TPageControl* Value) {
    if (Value == FPageControl)
        return;
    SetParent(Value);  // the control takes the page in through CM_CONTROLCHANGE
}

int TTabSheet::PageIndex() const {
    if (!FPageControl)
        return -1;
    auto& P = FPageControl->FPages;
    return static_cast<int>(std::find(P.begin(), P.end(), this) - P.begin());
}

void TTabSheet::SetPageIndex(int Value) {
    if (!FPageControl)
        return;
    auto& P = FPageControl->FPages;
    int Cur = PageIndex();
    Value = std::clamp(Value, 0, static_cast<int>(P.size()) - 1);
    if (Value == Cur)
        return;
    P.erase(P.begin() + Cur);
    P.insert(P.begin() + Value, this);
    FPageControl->UpdateTabs();
}

int TTabSheet::TabIndex() const {
    if (!FPageControl || !FTabVisible)
        return -1;
    int N = 0;
    for (TTabSheet* S : FPageControl->FPages) {
        if (S == this)
            return N;
        if (S->FTabVisible)
            ++N;
    }
    return -1;
}

void TTabSheet::SetTabVisible(bool Value) {
    if (Value == FTabVisible)
        return;
    FTabVisible = Value;
    if (FPageControl)
        FPageControl->UpdateTabs();
}

void TTabSheet::SetImageIndex(int Value) {
    if (Value == FImageIndex)
        return;
    FImageIndex = Value;
    if (FPageControl)
        FPageControl->UpdateTabs();
}

void TTabSheet::ReadState(TReader& Reader) {
    TWinControl::ReadState(Reader);
    // Pages in a form file are children of their control.
    if (auto* P = DynCast<TPageControl>(Reader.Parent()); P && FPageControl != P)
        SetPageControl(P);
}

void TTabSheet::CMTextChanged(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (FPageControl)
        FPageControl->UpdateTabs();
}

void TTabSheet::CMShowingChanged(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (Showing())
        OnShow(this);
    else
        OnHide(this);
}

// ---------------------------------------------------------------------------------------------
// TPageControl

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle = TControlStyle{csDoubleClicks, csOpaque};
    FWidth = 289;
    FHeight = 193;
    SetTabStop(true);
    FImageChangeLink = Create<TChangeLink>();
    FImageChangeLink->OnChange = TNotifyEvent::Bind<&TPageControl::ImageListChange>(this);
}

TPageControl::~TPageControl() {
    for (TTabSheet* S : FPages)
        S->FPageControl = nullptr;
    FPages.clear();
    FreeAndNil(FImageChangeLink);
}

void TPageControl::DefineClass(TClassBuilder<TPageControl>& B) {
    B.Property("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage);
    B.Property("Images", &TPageControl::Images, &TPageControl::SetImages);
    B.Property("MultiLine", &TPageControl::MultiLine, &TPageControl::SetMultiLine).Default(false);
    B.Property("OnChange", [](TPageControl* P) { return P->OnChange; },
               [](TPageControl* P, const TNotifyEvent& E) { P->OnChange = E; });
    B.Property("OnChanging", [](TPageControl* P) { return P->OnChanging; },
               [](TPageControl* P, const TTabChangingEvent& E) { P->OnChanging = E; });
    B.Message<&TPageControl::CNNotify>(CN_NOTIFY);
    B.Message<&TPageControl::CMControlChange>(CM_CONTROLCHANGE);
}

TTabSheet* TPageControl::Pages(int Index) const {
    if (Index < 0 || Index >= PageCount())
        RaiseListIndexError(Index);
    return FPages[static_cast<std::size_t>(Index)];
}

void TPageControl::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, WC_TABCONTROLA);
    Params.Style |= WS_CLIPCHILDREN;
    if (FMultiLine)
        Params.Style |= TCS_MULTILINE;
}

void TPageControl::CreateComponentWindows() {
    TWinControl::CreateComponentWindows();
    UpdateTabs();
}

void TPageControl::AdjustClientRect(TRect& Rect) {
    TWinControl::AdjustClientRect(Rect);
    // The pages fill the display area inside the tabs.
    if (HandleAllocated())
        SendMessageA(FHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(static_cast<RECT*>(Rect)));
}

void TPageControl::CMControlChange(TMessage& Message) {
    if (auto* S = DynCast<TTabSheet>(reinterpret_cast<TControl*>(Message.WParam))) {
        if (Message.LParam)
            InsertPage(S);
        else
            RemovePage(S);
    }
    InheritedDispatch(StaticClass(), Message);
}

void TPageControl::InsertPage(TTabSheet* Page) {
    if (std::find(FPages.begin(), FPages.end(), Page) != FPages.end())
        return;
    FPages.push_back(Page);
    Page->FPageControl = this;
    UpdateTabs();
}

void TPageControl::RemovePage(TTabSheet* Page) {
    auto It = std::find(FPages.begin(), FPages.end(), Page);
    if (It == FPages.end())
        return;
    TTabSheet* Next = Page == FActivePage ? FindNextPage(Page, true, false) : FActivePage;
    FPages.erase(It);
    Page->FPageControl = nullptr;
    if (Next == Page)
        Next = nullptr;
    if (FActivePage == Page)
        FActivePage = nullptr;
    if (!FComponentState.Contains(csDestroying))
        SetActivePage(Next);
    UpdateTabs();
}

int TPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int Value) {
    SetActivePage(Value >= 0 && Value < PageCount() ? FPages[static_cast<std::size_t>(Value)] : nullptr);
}

int TPageControl::TabIndex() const {
    if (HandleAllocated())
        return static_cast<int>(SendMessageA(FHandle, TCM_GETCURSEL, 0, 0));
    return FActivePage ? FActivePage->TabIndex() : -1;
}

void TPageControl::SetActivePage(TTabSheet* Page) {
    if (Page && Page->FPageControl != this)
        return;
    if (Page == FActivePage)
        return;
    FActivePage = Page;
    ShowActivePage();
}

void TPageControl::ShowActivePage() {
    for (TTabSheet* S : FPages)
        if (S != FActivePage)
            S->SetVisible(false);
    if (FActivePage) {
        FActivePage->SetVisible(true);
        FActivePage->BringToFront();
    }
    if (HandleAllocated())
        SendMessageA(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(FActivePage ? FActivePage->TabIndex() : -1), 0);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const {
    if (FPages.empty())
        return nullptr;
    int N = PageCount();
    auto It = std::find(FPages.begin(), FPages.end(), CurPage);
    int Start = It == FPages.end() ? (GoForward ? N - 1 : 0) : static_cast<int>(It - FPages.begin());
    int I = Start;
    do {
        I = GoForward ? (I + 1) % N : (I + N - 1) % N;
        TTabSheet* S = FPages[static_cast<std::size_t>(I)];
        if (!CheckTabVisible || S->FTabVisible)
            return S;
    } while (I != Start);
    return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible) {
    TTabSheet* Page = FindNextPage(FActivePage, GoForward, CheckTabVisible);
    if (Page && Page != FActivePage && CanChange()) {
        SetActivePage(Page);
        Change();
    }
}

void TPageControl::UpdateTabs() {
    if (!HandleAllocated() || FComponentState.Contains(csDestroying))
        return;
    SendMessageA(FHandle, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImages ? FImages->Handle() : nullptr));
    SendMessageA(FHandle, TCM_DELETEALLITEMS, 0, 0);
    int Tab = 0;
    for (TTabSheet* S : FPages) {
        if (!S->FTabVisible)
            continue;
        std::string Text = S->Caption();
        TCITEMA Item{};
        Item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
        Item.pszText = Text.data();
        Item.iImage = S->FImageIndex;
        Item.lParam = reinterpret_cast<LPARAM>(S);
        SendMessageA(FHandle, TCM_INSERTITEMA, static_cast<WPARAM>(Tab++), reinterpret_cast<LPARAM>(&Item));
    }
    SendMessageA(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(FActivePage ? FActivePage->TabIndex() : -1), 0);
    Realign();
}

bool TPageControl::CanChange() {
    bool Allow = true;
    OnChanging(this, Allow);
    return Allow;
}

void TPageControl::Change() { OnChange(this); }

void TPageControl::CNNotify(TMessage& Message) {
    auto* H = reinterpret_cast<NMHDR*>(Message.LParam);
    switch (H->code) {
    case TCN_SELCHANGING:
        // A non-zero answer keeps the current tab.
        Message.Result = CanChange() ? 0 : 1;
        return;
    case TCN_SELCHANGE: {
        int Tab = static_cast<int>(SendMessageA(FHandle, TCM_GETCURSEL, 0, 0));
        for (TTabSheet* S : FPages)
            if (S->TabIndex() == Tab && Tab >= 0) {
                SetActivePage(S);
                break;
            }
        Change();
        return;
    }
    default: break;
    }
    InheritedDispatch(StaticClass(), Message);
}

void TPageControl::SetImages(TCustomImageList* Value) {
    if (!SetImageListOf(this, FImages, Value, FImageChangeLink))
        return;
    UpdateTabs();
}

void TPageControl::ImageListChange(TObject*) { UpdateTabs(); }

void TPageControl::SetMultiLine(bool Value) { SetStyleFlag(this, FMultiLine, Value); }

void TPageControl::Loaded() {
    TWinControl::Loaded();
    // ActivePage read from the form file before its page existed is fixed up by then; show it.
    ShowActivePage();
}

void TPageControl::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        SetImages(nullptr);
}

void TPageControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    (void)Root;
    for (TTabSheet* S : FPages)
        Proc(S);
}

// ---------------------------------------------------------------------------------------------

void SetStyleFlag(TWinControl* Control, bool& Field, bool Value) {
    if (Field == Value)
        return;
    Field = Value;
    if (Control->HandleAllocated())
        Control->RecreateWnd();
}

void BeginWindowUpdate(TWinControl* Control, int& UpdateCount) {
    if (UpdateCount++ == 0 && Control->HandleAllocated())
        SendMessageA(Control->Handle(), WM_SETREDRAW, 0, 0);
}

void EndWindowUpdate(TWinControl* Control, int& UpdateCount) {
    if (UpdateCount > 0 && --UpdateCount == 0 && Control->HandleAllocated()) {
        SendMessageA(Control->Handle(), WM_SETREDRAW, 1, 0);
        InvalidateRect(Control->Handle(), nullptr, TRUE);
    }
}

void InitComCtrls() {
    INITCOMMONCONTROLSEX Icc{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                                                                  ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&Icc);
    RegisterClasses({TStatusBar::StaticClass(), TToolBar::StaticClass(), TToolButton::StaticClass(),
                     TPageControl::StaticClass(), TTabSheet::StaticClass(), TTreeView::StaticClass(),
                     TListView::StaticClass()});
}
