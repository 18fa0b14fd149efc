#include "ExtCtrls.h"

#include <algorithm>

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
    TPen* Pen = Canvas->Pen();
    Pen->SetWidth(1);
    Pen->SetStyle(psSolid);
    --Rect.Bottom;
    --Rect.Right;
    for (int I = 0; I < Width; ++I) {
        Pen->SetColor(TopColor);
        Canvas->Polyline({TPoint{Rect.Left, Rect.Bottom}, TPoint{Rect.Left, Rect.Top}, TPoint{Rect.Right, Rect.Top}});
        Pen->SetColor(BottomColor);
        Canvas->Polyline(
            {TPoint{Rect.Right, Rect.Top}, TPoint{Rect.Right, Rect.Bottom}, TPoint{Rect.Left - 1, Rect.Bottom}});
        ++Rect.Left;
        ++Rect.Top;
        --Rect.Right;
        --Rect.Bottom;
    }
    ++Rect.Bottom;
    ++Rect.Right;
}

namespace {
int BevelSize(TBevelCut Cut, int Width) { return Cut == bvNone ? 0 : Width; }

void BevelColors(TBevelCut Cut, TColor Face, TColor& Top, TColor& Bottom) {
    Top = Cut == bvLowered ? clBtnShadow : Cut == bvRaised ? clBtnHighlight : Face;
    Bottom = Cut == bvLowered ? clBtnHighlight : Cut == bvRaised ? clBtnShadow : Face;
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// TCustomPanel

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                                  csDoubleClicks, csReplicatable, csParentBackground};
    FWidth = 185;
    FHeight = 41;
    FParentColor = false;
    FColor = clBtnFace;
    Brush()->SetColor(clBtnFace);
}

void TCustomPanel::DefineClass(TClassBuilder<TCustomPanel>& B) {
    B.Property("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment).Default(taCenter);
    B.Property("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner)
        .TypeName("TPanelBevel")
        .Default(bvNone);
    B.Property("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter)
        .TypeName("TPanelBevel")
        .Default(bvRaised);
    B.Property("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth).Default(1);
    B.Property("BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle)
        .TypeName("TBorderStyle")
        .Default(bsNone);
    B.Property("Caption", &TCustomPanel::Caption, &TCustomPanel::SetCaption).TypeName("TCaption");
    B.Property("FullRepaint", &TCustomPanel::FullRepaint, &TCustomPanel::SetFullRepaint).Default(true);
    B.Property("ParentBackground", &TCustomPanel::ParentBackground, &TCustomPanel::SetParentBackground)
        .Default(true);
    B.Message<&TCustomPanel::CMTextChanged>(CM_TEXTCHANGED);
    B.Message<&TCustomPanel::WMWindowPosChanged>(WM_WINDOWPOSCHANGED);
}

void TCustomPanel::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (FBorderStyle != bsNone) {
        if (Ctl3D())
            Params.ExStyle |= WS_EX_CLIENTEDGE;
        else
            Params.Style |= WS_BORDER;
    }
    // Only the panel paints its background; a resize repaints all of it (bevels move).
    Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TCustomPanel::SetAlignment(TAlignment Value) {
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut Value) {
    if (FBevelInner == Value)
        return;
    FBevelInner = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut Value) {
    if (FBevelOuter == Value)
        return;
    FBevelOuter = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelWidth(int Value) {
    if (Value < 1 || FBevelWidth == Value)
        return;
    FBevelWidth = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBorderStyle(TFormBorderStyle Value) {
    Value = Value == bsNone ? bsNone : bsSingle;
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomPanel::SetParentBackground(bool Value) {
    if (ParentBackground() == Value)
        return;
    if (Value)
        FControlStyle.Include(csParentBackground);
    else
        FControlStyle.Exclude(csParentBackground);
    Invalidate();
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
    TCustomControl::AdjustClientRect(Rect);
    int Inset = BevelSize(FBevelOuter, FBevelWidth) + BevelSize(FBevelInner, FBevelWidth);
    Rect.Left += Inset;
    Rect.Top += Inset;
    Rect.Right -= Inset;
    Rect.Bottom -= Inset;
}

void TCustomPanel::Paint() {
    TCanvas* C = Canvas();
    TRect R = ClientRect();
    TColor Top, Bottom;
    if (FBevelOuter != bvNone) {
        BevelColors(FBevelOuter, Color(), Top, Bottom);
        Frame3D(C, R, Top, Bottom, FBevelWidth);
    }
    Frame3D(C, R, Color(), Color(), BorderWidth());
    if (FBevelInner != bvNone) {
        BevelColors(FBevelInner, Color(), Top, Bottom);
        Frame3D(C, R, Top, Bottom, FBevelWidth);
    }
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Color());
    C->FillRect(R);
    std::string Text = Caption();
    if (Text.empty())
        return;
    C->SetFont(Font());
    UINT Flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS |
                 (FAlignment == taLeftJustify ? DT_LEFT : FAlignment == taRightJustify ? DT_RIGHT : DT_CENTER);
    HDC DC = C->Handle();
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(Enabled() ? Font()->Color() : clGrayText)));
    RECT TR = R;
    DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), &TR, DrawTextBiDiModeFlags(Flags));
}

void TCustomPanel::CMTextChanged(TMessage&) { Invalidate(); }

void TCustomPanel::WMWindowPosChanged(TMessage& Message) {
    // The bevels and a centred caption move with the size.
    if (FFullRepaint || !Caption().empty())
        Invalidate();
    InheritedDispatch(StaticClass(), Message);
}

// ---------------------------------------------------------------------------------------------
// TPage

TPage::TPage(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle += TControlStyle{csAcceptsControls};
    FVisible = false;
    SetAlign(alClient);
}

void TPage::DefineClass(TClassBuilder<TPage>& B) {
    B.Property("Caption", &TPage::Caption, &TPage::SetCaption).TypeName("TCaption");
}

void TPage::SetParent(TWinControl* AParent) {
    if (AParent == Parent())
        return;
    if (auto* Old = DynCast<TNotebook>(Parent()))
        Old->RemovePage(this);
    TCustomControl::SetParent(AParent);
    if (auto* New = DynCast<TNotebook>(AParent))
        New->AddPage(this);
}

void TPage::Paint() {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->FillRect(ClientRect());
}

// ---------------------------------------------------------------------------------------------
// TPageAccess

std::vector<std::string> TPageAccess::Names() {
    std::vector<std::string> N;
    for (int I = 0; I < FNotebook->PageCount(); ++I)
        N.push_back(FNotebook->Page(I)->Caption());
    return N;
}

std::string TPageAccess::Get(int Index) {
    if (FUpdating) {
        if (Index < 0 || Index >= static_cast<int>(FPending.size()))
            Error(SysConsts::SListIndexError, Index);
        return FPending[static_cast<std::size_t>(Index)];
    }
    if (Index < 0 || Index >= FNotebook->PageCount())
        Error(SysConsts::SListIndexError, Index);
    return FNotebook->Page(Index)->Caption();
}

int TPageAccess::GetCount() { return FUpdating ? static_cast<int>(FPending.size()) : FNotebook->PageCount(); }

TObject* TPageAccess::GetObject(int Index) {
    if (Index < 0 || Index >= FNotebook->PageCount())
        return nullptr;
    return FNotebook->Page(Index);
}

template <class F>
void TPageAccess::Change(F Fn) {
    TUpdateGuard Guard(this);
    Fn(FPending);
}

void TPageAccess::Put(int Index, const std::string& S) {
    Change([&](std::vector<std::string>& N) {
        if (Index < 0 || Index >= static_cast<int>(N.size()))
            Error(SysConsts::SListIndexError, Index);
        N[static_cast<std::size_t>(Index)] = S;
    });
}

void TPageAccess::Insert(int Index, const std::string& S) {
    Change([&](std::vector<std::string>& N) {
        if (Index < 0 || Index > static_cast<int>(N.size()))
            Error(SysConsts::SListIndexError, Index);
        N.insert(N.begin() + Index, S);
    });
}

void TPageAccess::Delete(int Index) {
    Change([&](std::vector<std::string>& N) {
        if (Index < 0 || Index >= static_cast<int>(N.size()))
            Error(SysConsts::SListIndexError, Index);
        N.erase(N.begin() + Index);
    });
}

void TPageAccess::Clear() {
    Change([](std::vector<std::string>& N) { N.clear(); });
}

void TPageAccess::SetUpdateState(bool Updating) {
    if (Updating) {
        FPending = Names();
        FUpdating = true;
        return;
    }
    FUpdating = false;
    // The pages follow the names: same places renamed, new ones added, the rest freed.
    std::vector<std::string> Target;
    Target.swap(FPending);
    for (std::size_t I = 0; I < Target.size(); ++I) {
        if (static_cast<int>(I) < FNotebook->PageCount()) {
            TPage* P = FNotebook->Page(static_cast<int>(I));
            if (P->Caption() != Target[I])
                P->SetCaption(Target[I]);
        } else
            FNotebook->NewPage(Target[I]);
    }
    while (FNotebook->PageCount() > static_cast<int>(Target.size()))
        FNotebook->Page(FNotebook->PageCount() - 1)->Free();
}

// ---------------------------------------------------------------------------------------------
// TNotebook

TNotebook::TNotebook(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = TControlStyle{csAcceptsControls, csClickEvents, csDoubleClicks, csSetCaption};
    FWidth = 150;
    FHeight = 150;
    FAccess = Create<TPageAccess>(this);
    // A new notebook has one page, as one placed on a form has.
    if (!AOwner || !AOwner->ComponentState().Contains(csLoading))
        NewPage("Default");
}

TNotebook::~TNotebook() { FreeObject(FAccess); }

void TNotebook::DefineClass(TClassBuilder<TNotebook>& B) {
    B.Property("ActivePage", &TNotebook::ActivePage, &TNotebook::SetActivePage).Stored(false);
    B.Property("PageIndex", &TNotebook::PageIndex, &TNotebook::SetPageIndex).Default(0);
    B.Property("Pages", &TNotebook::Pages, &TNotebook::SetPages).Stored(false);
    B.Property("OnPageChanged", &TNotebook::OnPageChanged, &TNotebook::OnPageChanged);
}

TPage* TNotebook::Page(int Index) const {
    if (Index < 0 || Index >= PageCount())
        throw EListError(Format(SysConsts::SListIndexError, {Index}));
    return FPageList[static_cast<std::size_t>(Index)];
}

TPage* TNotebook::NewPage(const std::string& Name) {
    // Pages belong to the notebook: freeing it frees them with their controls.
    auto* P = Create<TPage>(this);
    P->SetCaption(Name);
    P->SetParent(this);
    return P;
}

void TNotebook::AddPage(TPage* Page) {
    FPageList.push_back(Page);
    if (FPageIndex < 0 && !FComponentState.Contains(csLoading))
        FPageIndex = 0;
    ShowActivePage();
}

void TNotebook::RemovePage(TPage* Page) {
    auto It = std::find(FPageList.begin(), FPageList.end(), Page);
    if (It == FPageList.end())
        return;
    int Index = static_cast<int>(It - FPageList.begin());
    FPageList.erase(It);
    if (FComponentState.Contains(csDestroying))
        return;
    if (Index < FPageIndex || FPageIndex >= PageCount())
        --FPageIndex;
    if (FPageIndex < 0 && PageCount() > 0)
        FPageIndex = 0;
    ShowActivePage();
}

void TNotebook::ShowActivePage() {
    if (FComponentState.Contains(csLoading))
        return;
    // The new page shows before the old one hides, so the notebook never flashes empty.
    if (FPageIndex >= 0 && FPageIndex < PageCount()) {
        TPage* Active = FPageList[static_cast<std::size_t>(FPageIndex)];
        Active->BringToFront();
        Active->SetVisible(true);
    }
    for (int I = 0; I < PageCount(); ++I)
        if (I != FPageIndex)
            FPageList[static_cast<std::size_t>(I)]->SetVisible(false);
}

std::string TNotebook::ActivePage() const {
    return FPageIndex >= 0 && FPageIndex < PageCount() ? FPageList[static_cast<std::size_t>(FPageIndex)]->Caption()
                                                       : std::string();
}

void TNotebook::SetActivePage(const std::string& Value) {
    for (int I = 0; I < PageCount(); ++I)
        if (SameText(FPageList[static_cast<std::size_t>(I)]->Caption(), Value)) {
            SetPageIndex(I);
            return;
        }
}

void TNotebook::SetPageIndex(int Value) {
    if (FComponentState.Contains(csLoading)) {
        FPageIndex = Value;
        return;
    }
    if (Value == FPageIndex || Value < 0 || Value >= PageCount())
        return;
    FPageIndex = Value;
    ShowActivePage();
    OnPageChanged(this);
}

void TNotebook::Loaded() {
    TCustomControl::Loaded();
    if (FPageIndex < 0 || FPageIndex >= PageCount())
        FPageIndex = PageCount() > 0 ? 0 : -1;
    ShowActivePage();
}

void TNotebook::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    (void)Root;
    // Pages are written as the notebook's children, whoever owns them; their controls with them.
    for (TPage* P : FPageList)
        Proc(P);
}

void ExtCtrlsInitialization() {
    RegisterClasses({TPanel::StaticClass(), TNotebook::StaticClass(), TPage::StaticClass()});
}
