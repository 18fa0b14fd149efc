#include "sSkinProvider.h"

#include "SysUtils.h"
#include "acBorderForm.h"
#include "acCtrlAdapter.h"
#include "acSBUtils.h"
#include "acSBAnimation.h"
#include "acntUtils.h"
#include "sGraphUtils.h"
#include "sMDIForm.h"
#include "sMessages.h"
#include "sPaintServices.h"
#include "sSectionPaint.h"
#include "sSkinMenus.h"
#include "sStyleSimply.h"
#include "sSystemMenu.h"

bool ButtonPressed = false;

// ---------------------------------------------------------------------------------------------
// Creation and destruction

namespace {
TCustomForm* RequireForm(TComponent* AOwner) {
    auto* F = DynCast<TCustomForm>(AOwner);
    if (!F)
        throw EAbort("TsSkinProvider component may be used with forms only!");
    return F;
}
}  // namespace

TsSkinProvider::TsSkinProvider(TComponent* AOwner) : TComponent(RequireForm(AOwner)) {
    Form = static_cast<TCustomForm*>(AOwner);
    // A provider the dialog hook made for the form gives way; any other makes this one inert.
    auto* Existing = reinterpret_cast<TObject*>(SendSkinCommandTo(Form, SKIN_GETPROVIDER, 0));
    if (auto* P = DynCast<TsSkinProvider>(Existing); P && P != this) {
        if (P->InitDeferred)
            P->Free();
        else
            Inert = true;
    }
    FSkinData = Create<TsCommonData>(this, false);
    FSkinData->SetSkinSection("FORM");
    FSkinData->ControlKind = 224;
    if (!Form->ControlState().Empty())
        FSkinData->SetInUpdate(true);
    FAddedTitle = Create<TacAddedTitle>();
    FAddedTitle->FOwner = this;
    FTitleIcon = Create<TsTitleIcon>();
    FTitleButtons = Create<TsTitleButtons>(this);
    BtnMin.HitCode = HTMINBUTTON;
    BtnMax.HitCode = HTMAXBUTTON;
    BtnClose.HitCode = HTCLOSE;
    BtnHelp.HitCode = HTHELP;
    if (!Inert) {
        ButtonsWork = Create<TBitmap>();
        ChainWindowProc(Form, TWndMethod::Bind<&TsSkinProvider::NewWndProc>(this), OldWndProc);
        AddHookedForm(Form);
        FormActive = true;
        InitPending = true;
    }
}

TsSkinProvider* TsSkinProvider::CreateRuntime(TCustomForm* AForm) {
    auto* P = Create<TsSkinProvider>(AForm);
    P->InitDeferred = true;
    return P;
}

void TsSkinProvider::BeforeDestruction() {
    // The form gets its procedure back before the owned menu and glow timers go with the component.
    if (FAddedTitle) {
        FreeScrollHook();
        UpdateBorderForm(false);
        FreeAndNil(FAddedTitle);
        StopButtonAnimations();
        if (Form && !Inert) {
            RemoveHookedForm(Form);
            // Taken out of the chain wherever it stands: a later hook then calls what the provider replaced.
            if (!UnchainWindowProc(Form, TWndMethod::Bind<&TsSkinProvider::NewWndProc>(this), OldWndProc))
                UnregisterSavedProc(OldWndProc);
            if (HadSysMenu && Form->HandleAllocated() && !Form->ComponentState().Contains(csDestroying))
                UpdateSysMenuStyle(false);
        }
        FreeAndNil(SystemMenu);
        FreeAndNil(ButtonsWork);
        FreeAndNil(MenuLineBg);
        FreeAndNil(Adapter);
    }
    ForgetMDI();
    TComponent::BeforeDestruction();
}

TsSkinProvider::~TsSkinProvider() {
    UnregisterSavedProc(OldWndProc);
    FreeAndNil(ShadowActive);
    FreeAndNil(ShadowInactive);
    FreeAndNil(FTitleIcon);
    FreeAndNil(FTitleButtons);
    FreeAndNil(FSkinData);
}

void TsSkinProvider::DefineClass(TClassBuilder<TsSkinProvider>& B) {
    using P = TsSkinProvider;
    B.Property("AddedTitle", &P::AddedTitle);
    B.Property("AllowExtBorders", &P::AllowExtBorders, &P::SetAllowExtBorders).Default(true);
    B.Property("CaptionAlignment", &P::CaptionAlignment, &P::SetCaptionAlignment).Default(taLeftJustify);
    B.Property("DrawNonClientArea", &P::DrawNonClientArea, &P::SetDrawNonClientArea).Default(true);
    B.Property("SkinData", &P::SkinData);
    B.Property("GripMode", &P::GripMode, &P::GripMode).Default(gmNone);
    B.Property("MakeSkinMenu", &P::MakeSkinMenu, &P::MakeSkinMenu).Default(false);
    B.Property("MenuLineSkin", &P::MenuLineSkin, &P::SetMenuLineSkin);
    B.Property("ResizeMode", &P::ResizeMode, &P::ResizeMode).Default(rmStandard);
    B.Property("ScreenSnap", &P::ScreenSnap, &P::ScreenSnap).Default(false);
    B.Property("SnapBuffer", &P::SnapBuffer, &P::SnapBuffer).Default(10);
    B.Property("ShowAppIcon", &P::ShowAppIcon, &P::SetShowAppIcon).Default(true);
    B.Property("TitleButtons", &P::TitleButtons, &P::SetTitleButtons);
    B.Property("TitleIcon", &P::TitleIcon);
    B.Property("TitleSkin", &P::TitleSkin, &P::SetTitleSkin);
    B.Property("UseGlobalColor", &P::UseGlobalColor, &P::SetUseGlobalColor).Default(true);
    B.Property("OnExtHitTest", &P::OnExtHitTest, &P::OnExtHitTest);
    B.Property("OnSkinItem", &P::OnSkinItem, &P::OnSkinItem);
}

void TsSkinProvider::AfterConstruction() {
    TComponent::AfterConstruction();
    TsSkinManager* M = ProviderManager();
    if (!Inert && !InitDeferred && M && M->SkinData->SkinActive && !ComponentState().Contains(csDesigning))
        PrepareForm();
}

void TsSkinProvider::Loaded() {
    TComponent::Loaded();
    if (!Inert && !InitDeferred && ProviderManager() && FSkinData->IsSkinned(true))
        InitSkinnedForm();
}

void TsSkinProvider::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (auto* M = DynCast<TsSkinManager>(AComponent); M && FSkinData) {
        if (Operation == opInsert && !FSkinData->ManagerRef)
            FSkinData->SetSkinManager(M);
        else if (Operation == opRemove && FSkinData->ManagerRef == M)
            FSkinData->SetSkinManager(nullptr);
    }
}

bool TsSkinProvider::IsSkinned() const { return FSkinData && FSkinData->IsSkinned(true); }
bool TsSkinProvider::IsIconicForm() const { return Form && Form->HandleAllocated() && IsIconic(Form->Handle()); }
bool TsSkinProvider::IsZoomedForm() const { return Form && Form->HandleAllocated() && IsZoomed(Form->Handle()); }
LONG TsSkinProvider::FormStyleBits() const {
    return Form && Form->HandleAllocated() ? GetWindowLongA(Form->Handle(), GWL_STYLE) : 0;
}

void TsSkinProvider::CallOld(TMessage& Message) {
    if (OldWndProc)
        OldWndProc(Message);
}

// ---------------------------------------------------------------------------------------------
// Set-up

void TsSkinProvider::PrepareForm() {
    TsSkinManager* M = ProviderManager();
    if (InitDeferred || Inert || !M || !Form || !Form->HandleAllocated())
        return;
    FSkinData->AfterOwnerLoaded();
    FSkinData->RefreshSkinIndexes();
    if (!SystemMenu) {
        SystemMenu = Create<TsSystemMenu>(this);
        SystemMenu->UpdateItems(false);
    }
    // A skin without the form's section leaves the system frame, and with it the system menu.
    UpdateSysMenuStyle(M->SkinData->SkinActive && FSkinData->IsSkinned(false));
    InitPending = false;
    UpdateMDIHelper(true);
    TitleIndex = -1;
    TitleIndex = TitleSkinIndex();
    CaptionIndex = M->FindSectionIndex("CAPTION");
    UpdateButtonImages();
    // A child's menu shows on its parent's line.
    if (IsMDIChild() && MDISkinProvider && !MDISkinProvider->ComponentState().Contains(csDestroying) &&
        FSkinData->IsSkinned(false)) {
        MDISkinProvider->SkinData()->BackgroundStale = true;
        MDISkinProvider->MenuLines = -1;
    }
    if (Form->ControlState().Empty() && !ComponentState().Contains(csLoading))
        ApplyMainColor();
    SkinMenus(FSkinData->IsSkinned(false));
    if (!MenuRebuilt && RebuildMenu())
        MenuRebuilt = true;
    if (!ComponentState().Contains(csLoading) && Form->Showing())
        UpdateBorderForm(M->GetExtendedBorders());
}

void TsSkinProvider::InitSkinnedForm() {
    if (Form && Form->HandleAllocated())
        DisableDwmTransitions(Form->Handle(), true);
    PrepareForm();
    if (!Adapter)
        InitAdapter();
    if (SystemMenu)
        SystemMenu->UpdateItems(false);
    for (int I = 0; I < FTitleButtons->Count(); ++I) {
        TsTitleButton* B = FTitleButtons->Items(I);
        B->Data.ImageIndex = B->UseSkinData ? TitleButtonMask : -1;
    }
}

void TsSkinProvider::InitAdapter() {
    if (ComponentState().Contains(csDesigning) || Inert || !FSkinData->IsSkinned(false))
        return;
    if (!Adapter)
        Adapter = Create<TacCtrlAdapter>(this);
    Adapter->AdaptControls(nullptr);
}

void TsSkinProvider::RemoveAdapter() {
    if (!Adapter)
        return;
    AdapterCommand(TMessage{SM_ALPHACMD, SkinCommandParam(SKIN_REMOVED),
                            reinterpret_cast<LPARAM>(FSkinData->GetSkinManager()), 0});
    FreeAndNil(Adapter);
}

void TsSkinProvider::AdapterCommand(const TMessage& Message) {
    if (!Adapter)
        return;
    TMessage Copy = Message;
    Adapter->SendToItems(Copy);
}

void TsSkinProvider::ApplyMainColor() {
    TsSkinManager* M = ProviderManager();
    if (M && FUseGlobalColor && !FSkinData->CustomColor())
        Form->SetColor(M->GetMainColor());
}

void TsSkinProvider::UpdateSysMenuStyle(bool Skinned) {
    if (!Form || !Form->HandleAllocated())
        return;
    HWND H = Form->Handle();
    LONG Style = GetWindowLongA(H, GWL_STYLE);
    if (Skinned && ((Style & WS_SYSMENU) || HadSysMenu)) {
        LONG NewStyle = FDrawNonClientArea ? (Style & ~WS_SYSMENU) : (Style | WS_SYSMENU);
        if (NewStyle != Style)
            SetWindowLongA(H, GWL_STYLE, NewStyle);
        HadSysMenu = true;
    } else if (!Skinned && HadSysMenu) {
        SetWindowLongA(H, GWL_STYLE, Style | WS_SYSMENU);
        HadSysMenu = false;
    } else if (Skinned) {
        HadSysMenu = false;
    }
}

TColor TsSkinProvider::FormColor() {
    if (IsSkinned() && !FSkinData->CustomColor()) {
        const TsGeneralData& S = FSkinData->Section();
        return FormActive ? S.HotColor : S.Color;
    }
    return ColorToRGB(Form->Color());
}

void TsSkinProvider::LockRedraw() {
    FSkinData->BeginUpdate();
    Form->Perform(WM_SETREDRAW, 0, 0);
}

void TsSkinProvider::UnlockRedraw() {
    FSkinData->EndUpdate(false);
    Form->Perform(WM_SETREDRAW, 1, 0);
}

void TsSkinProvider::RepaintNonClient() {
    FSkinData->BackgroundStale = true;
    FrameStale = true;
    MenuLines = -1;
    if (Form->HandleAllocated())
        SendMessageA(Form->Handle(), WM_NCPAINT, 0, 0);
}

void TsSkinProvider::ResetBorderRegion() {
    if (BorderForm && BorderForm->Handle())
        SetWindowRgn(BorderForm->Handle(), BorderForm->CreateBorderRegion(), FALSE);
}

void TsSkinProvider::RepaintAfterSkinChange() {
    if (!Form->HandleAllocated())
        return;
    FillRegionRects();
    UpdateFormRegion(true);
    RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    if (BorderForm)
        BorderForm->UpdateBorder(true, 255);
}

// ---------------------------------------------------------------------------------------------
// Published setters

void TsSkinProvider::SetAllowExtBorders(bool Value) {
    FAllowExtBorders = Value;
    if (ComponentState().Contains(csLoading))
        return;
    TsSkinManager* M = ProviderManager();
    UpdateBorderForm(M && M->GetExtendedBorders());
    FSkinData->BackgroundStale = true;
    if (Form->HandleAllocated())
        RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TsSkinProvider::SetCaptionAlignment(TAlignment Value) {
    if (FCaptionAlignment == Value)
        return;
    FCaptionAlignment = Value;
    FSkinData->BackgroundStale = true;
    if (Form->Visible() && IsSkinned())
        RepaintFrame();
}

void TsSkinProvider::SetDrawNonClientArea(bool Value) {
    if (FDrawNonClientArea == Value)
        return;
    FDrawNonClientArea = Value;
    if (ComponentState().Contains(csDesigning))
        return;
    TsSkinManager* M = ProviderManager();
    if (Value) {
        UpdateSysMenuStyle(IsSkinned());
        if (Form->Showing() && IsSkinned()) {
            FSkinData->BackgroundStale = true;
            if (TsSkinableMenus* Menus = SkinableMenusOf(M))
                Menus->HookMainMenu(Form->Menu(), true);
            UpdateBorderForm(M && M->GetExtendedBorders());
            RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_INVALIDATE);
            RefreshScrollHook();
        }
    } else {
        UpdateBorderForm(false);
        if (TsSkinableMenus* Menus = SkinableMenusOf(M))
            Menus->HookMainMenu(Form->Menu(), false);
        FreeScrollHook();
        if (HadSysMenu && Form->HandleAllocated())
            SetWindowLongA(Form->Handle(), GWL_STYLE, GetWindowLongA(Form->Handle(), GWL_STYLE) | WS_SYSMENU);
        if (Form->Showing())
            SetWindowRgn(Form->Handle(), nullptr, TRUE);
    }
}

void TsSkinProvider::SetShowAppIcon(bool Value) {
    if (FShowAppIcon == Value)
        return;
    FShowAppIcon = Value;
    FSkinData->BackgroundStale = true;
    if (Form->Visible() && Form->HandleAllocated())
        SendMessageA(Form->Handle(), WM_NCPAINT, 0, 0);
}

void TsSkinProvider::SetTitleSkin(const std::string& Value) {
    if (FTitleSkin == Value)
        return;
    FTitleSkin = Value;
    TitleIndex = -1;
    FSkinData->BackgroundStale = true;
    if (Form->Visible() && Form->HandleAllocated()) {
        if (BorderForm)
            UpdateBorder(true);
        else
            SendMessageA(Form->Handle(), WM_NCPAINT, 0, 0);
    }
}

void TsSkinProvider::SetUseGlobalColor(bool Value) {
    if (FUseGlobalColor == Value)
        return;
    FUseGlobalColor = Value;
    TsSkinManager* M = ProviderManager();
    if (IsSkinned() && Form && Value && !FSkinData->CustomColor())
        Form->SetColor(M->GetMainColor());
    else if (Form)
        Form->SetColor(clBtnFace);
}

void TsSkinProvider::UpdateBorder(bool Repaint) {
    if (BorderForm)
        BorderForm->UpdateBorder(Repaint, 255);
}

// ---------------------------------------------------------------------------------------------
// Frame widths

namespace {
TsSkinData* LoadedSkinData() { return DefaultManager ? DefaultManager->SkinData : nullptr; }
}  // namespace

int ExtendedBorderWidth(TacBorderForm* BorderForm) {
    TsSkinData* D = LoadedSkinData();
    return BorderForm && D ? D->ExtBorderWidth : 0;
}

int ExtendedTitleHeight(TacBorderForm* BorderForm) {
    TsSkinData* D = LoadedSkinData();
    return BorderForm && D ? D->ExtTitleHeight : 0;
}

int FrameBorderWidth(HWND Handle, TacBorderForm* BorderForm, bool UseExtended) {
    if (UseExtended && BorderForm && ExtendedBorderWidth(BorderForm) != 0)
        return ExtendedBorderWidth(BorderForm);
    LONG Style = Handle ? GetWindowLongA(Handle, GWL_STYLE) : 0;
    if (Style & WS_THICKFRAME)
        return GetSystemMetrics(SM_CXFRAME);
    if (Style & WS_BORDER)
        return GetSystemMetrics(SM_CXDLGFRAME);
    return 0;
}

int InnerFrameWidth(HWND Handle, TacBorderForm* BorderForm, bool UseExtended) {
    return BorderForm ? 0 : FrameBorderWidth(Handle, BorderForm, UseExtended);
}

int ExtendedTitleOffset(TacBorderForm* BorderForm) {
    if (!BorderForm)
        return 0;
    return BorderForm->CaptionHeight(true) - BorderForm->CaptionHeight(false) -
           FrameBorderWidth(BorderForm->GetOwnerHandle(), BorderForm, false);
}

int ExtendedBorderOffset(TacBorderForm* BorderForm) {
    if (!BorderForm)
        return 0;
    HWND H = BorderForm->GetOwnerHandle();
    return FrameBorderWidth(H, BorderForm, true) - FrameBorderWidth(H, BorderForm, false);
}

bool HasSizingFrame(HWND Handle) { return (GetWindowLongA(Handle, GWL_STYLE) & WS_THICKFRAME) != 0; }

int IconSizeForHeight(int H) { return H <= 8 ? 1 : (H <= 16 ? 8 : 16); }

void TsSkinProvider::GetExtRect(TRect& R) const {
    TsSkinManager* M = ProviderManager();
    R = BorderForm && M ? M->ExBorderMargins : TRect{};
}

bool TsSkinProvider::CenterMode() const {
    TsSkinManager* M = ProviderManager();
    return BorderForm && M && M->SkinData->ExtBorderMode == 1;
}

bool TsSkinProvider::HasBorder() const {
    auto* F = DynCast<TForm>(Form);
    return Form->BorderStyle() != bsNone || (FormStyleBits() & WS_CHILD) || (F && F->FormStyle() == fsMDIChild);
}

bool TsSkinProvider::HasStandardBorder() const {
    return Form->BorderStyle() == bsSingle || Form->BorderStyle() == bsSizeable;
}

int TsSkinProvider::GetCaptionHeight(bool WithExtended) {
    if (!((HasBorder() && (FormStyleBits() & WS_CAPTION) == WS_CAPTION) || IsIconicForm()))
        return 0;
    TsSkinManager* M = ProviderManager();
    int H = WithExtended && BorderForm && M ? M->SkinData->ExtTitleHeight : 0;
    bool Tool = (Form->BorderStyle() == bsToolWindow || Form->BorderStyle() == bsSizeToolWin) && !IsIconicForm();
    int System = GetSystemMetrics(Tool ? SM_CYSMCAPTION : SM_CYCAPTION);
    if (CaptionGrown)
        return std::max(H, System + 4);
    return H != 0 ? H : System;
}

int TsSkinProvider::TopFrameHeight(bool Ext) {
    return InnerFrameWidth(Form->Handle(), BorderForm, Ext) + Form->BorderWidth();
}

int TsSkinProvider::SideFrameWidth(bool Ext) {
    return FrameBorderWidth(Form->Handle(), BorderForm, Ext) + Form->BorderWidth();
}

int TsSkinProvider::FormImageWidth() {
    TRect Ext;
    GetExtRect(Ext);
    int W;
    if (IsIconicForm()) {
        RECT R;
        GetWindowRect(Form->Handle(), &R);
        W = R.right - R.left;
    } else {
        W = Form->Width() + (BorderForm ? 2 * ExtendedBorderOffset(BorderForm) : 0);
    }
    return W + Ext.Left + Ext.Right;
}

int TsSkinProvider::TitleBottom() {
    TRect Ext;
    GetExtRect(Ext);
    return InnerFrameWidth(Form->Handle(), BorderForm, false) + GetCaptionHeight(true) + Ext.Top;
}

int TsSkinProvider::ImageHeight() {
    TRect Ext;
    GetExtRect(Ext);
    int H = IsIconicForm() ? TitleBottom() - Ext.Top + 2 : Form->Height();
    if (BorderForm)
        H += ExtendedBorderOffset(BorderForm) + ExtendedTitleOffset(BorderForm) + Ext.Top + Ext.Bottom +
             (MenuLineHeight() > 0 ? 1 : 0);
    return H;
}

bool TsSkinProvider::ImageSizeDiffers() {
    TBitmap* B = FSkinData->CacheBitmap;
    return !B || B->Width() != FormImageWidth() || B->Height() != Form->Height();
}

int TsSkinProvider::TitleBarHeight() {
    if (BorderForm)
        return InnerFrameWidth(Form->Handle(), BorderForm, false) + GetCaptionHeight(true);
    RECT R, C;
    GetWindowRect(Form->Handle(), &R);
    GetClientRect(Form->Handle(), &C);
    int H = (R.bottom - R.top) - C.bottom;
    if ((FormStyleBits() & WS_CAPTION) == WS_CAPTION)
        H -= TopFrameHeight(true);
    else if (FormStyleBits() & WS_BORDER)
        H -= TopFrameHeight(true);
    H = std::max(H, 0);
    if (IsIconicForm())
        H += InnerFrameWidth(Form->Handle(), BorderForm, false);
    return H - ScrollBarThickness(false);
}

int TsSkinProvider::GetClientOffsetX() {
    if (!Form->HandleAllocated())
        return 0;
    if (BorderForm) {
        TRect Ext;
        GetExtRect(Ext);
        return SideFrameWidth(true) + Ext.Left;
    }
    RECT R, C;
    GetWindowRect(Form->Handle(), &R);
    GetClientRect(Form->Handle(), &C);
    return ((R.right - R.left) - C.right - ScrollBarThickness(true)) / 2;
}

int TsSkinProvider::GetClientOffsetY() {
    if (!Form->HandleAllocated())
        return 0;
    if (BorderForm) {
        TRect Ext;
        GetExtRect(Ext);
        // The system's bar ends with a line of its own below the rows.
        return GetCaptionHeight(true) + MenuLineCount() * MenuLineHeight() + (MenuLineHeight() > 0 ? 1 : 0) +
               Form->BorderWidth() + Ext.Top;
    }
    RECT R, C;
    GetWindowRect(Form->Handle(), &R);
    GetClientRect(Form->Handle(), &C);
    int Y = (R.bottom - R.top) - C.bottom;
    if (FormStyleBits() & WS_BORDER)
        Y -= SideFrameWidth(true);
    return Y - ScrollBarThickness(false);
}

// ---------------------------------------------------------------------------------------------
// Extended borders and the window region

void TsSkinProvider::UpdateBorderForm(bool Allow) {
    auto* F = DynCast<TForm>(Form);
    bool Want = Allow && Form && HasBorder() && FDrawNonClientArea && !Form->Parent() &&
                !(F && F->FormStyle() == fsMDIChild) && FAllowExtBorders && !Inert && Form->HandleAllocated() &&
                !ComponentState().Contains(csDestroying) && !Form->ComponentState().Contains(csDestroying);
    if (Want && !BorderForm) {
        BorderForm = Create<TacBorderForm>(this);
        BorderForm->SkinData = FSkinData;
        FSkinData->BackgroundStale = true;
        if (FSkinData->CacheBitmap)
            FSkinData->CacheBitmap->SetPixelFormat(pf32bit);
        BorderForm->UpdateBorder(true, 255);
    } else if (!Want && BorderForm) {
        FreeAndNil(BorderForm);
        if (FSkinData && FSkinData->CacheBitmap)
            FSkinData->CacheBitmap->SetPixelFormat(pf24bit);
        if (FSkinData)
            FSkinData->BackgroundStale = true;
    }
}

void TsSkinProvider::FillRegionRects() {
    RgnRects.clear();
    TsSkinManager* M = ProviderManager();
    if (!M)
        return;
    if (M->MaskIndexInRange(FSkinData->BorderMaskIndex)) {
        const TsMaskData& Mask = M->MaskList[FSkinData->BorderMaskIndex];
        AddCornerHoleRects(RgnRects, FormImageWidth(), Mask, false, 0);
        AddCornerHoleRects(RgnRects, FormImageWidth(), Mask, true, Form->Height() - Mask.WB);
    }
    int Title = TitleSkinIndex();
    if (M->SectionIndexInRange(Title)) {
        int TitleMask = M->SectionList[Title].BorderIndex;
        if (M->MaskIndexInRange(TitleMask))
            AddCornerHoleRects(RgnRects, FormImageWidth(), M->MaskList[TitleMask], false, 0);
    }
}

HRGN TsSkinProvider::CreateFormRegion(int X, int Y) {
    HRGN Rgn = CreateRectRgn(X, Y, X + FormImageWidth(), Y + Form->Height());
    for (const TRect& R : RgnRects) {
        HRGN Hole = CreateRectRgn(R.Left + X, R.Top + Y, R.Right + X, R.Bottom + Y);
        CombineRgn(Rgn, Rgn, Hole, RGN_DIFF);
        DeleteObject(Hole);
    }
    return Rgn;
}

void TsSkinProvider::UpdateFormRegion(bool Redraw) {
    if (!FDrawNonClientArea || !Form->HandleAllocated())
        return;
    HWND H = Form->Handle();
    if (!HasBorder() && !IsIconicForm() && !HasSizingFrame(H))
        return;
    if (!ImagePainted && SendMessageA(H, 0xBC4D, 0x41A2, 0) == 0x41A2)
        return;
    InSetRegion = true;
    HRGN Rgn;
    int A = FrameBorderWidth(H, BorderForm, false);
    auto* F = DynCast<TForm>(Form);
    if (BorderForm) {
        int B = A + GetCaptionHeight(false) - (CaptionGrown ? 4 : 0);
        Rgn = CreateRectRgn(A, B, Form->Width() - A, Form->Height() - A);
    } else if (IsZoomedForm() && Form->Constraints()->MaxWidth() == 0 && Form->Constraints()->MaxHeight() == 0 &&
               !(F && F->FormStyle() == fsMDIChild)) {
        int V = InnerFrameWidth(H, BorderForm, false);
        Rgn = CreateRectRgn(A, V, Form->Width() - A, Form->Height() - V);
    } else {
        Rgn = CreateFormRegion(0, 0);
    }
    RegionChanged = true;
    SetWindowRgn(H, Rgn, Redraw);
    InSetRegion = false;
}

void TsSkinProvider::HandleGetMinMaxInfo(TMessage& Message) {
    auto* F = DynCast<TForm>(Form);
    if (FDrawNonClientArea && Form->BorderStyle() != bsNone && !(F && F->FormStyle() == fsMDIChild) &&
        !Form->Parent()) {
        auto* Info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
        HMONITOR Mon = MonitorFromWindow(Form->Handle(), MONITOR_DEFAULTTONEAREST);
        MONITORINFO MI{};
        MI.cbSize = sizeof(MI);
        GetMonitorInfoA(Mon, &MI);
        RECT W = MI.rcWork;
        int A = FrameBorderWidth(Form->Handle(), BorderForm, false);
        int Top = 0, B = 0;
        if (BorderForm) {
            TsSkinData* D = ProviderManager()->SkinData;
            if ((FormStyleBits() & WS_CAPTION) == WS_CAPTION) {
                Top = GetCaptionHeight(true);
                int Rest = Top - (A + GetCaptionHeight(false));
                Top = Rest > 0 ? Rest : A;
            }
            if (D->ExtTitleHeight != D->ExtMaxTitleHeight)
                B = D->ExtTitleHeight + D->ExtCenterOffset - D->ExtMaxTitleHeight;
            if (D->TitleButtonVAlign == 1 && D->TitleTopMargin != 0)
                B += D->TitleTopMargin - A;
        }
        Info->ptMaxPosition = POINT{-A, Top - A - B};
        Info->ptMaxSize = POINT{(W.right - W.left) + 2 * A, (W.bottom - W.top) + 2 * A + B - Top};
        Message.Result = 0;
    }
    CallOld(Message);
}

// ---------------------------------------------------------------------------------------------
// Desktop composition and layered windows

namespace {
HMODULE DwmLibrary = nullptr;
using TDwmSetWindowAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
using TDwmIsCompositionEnabled = HRESULT(WINAPI*)(BOOL*);
TDwmSetWindowAttribute DwmSetWindowAttributeProc = nullptr;
TDwmIsCompositionEnabled DwmIsCompositionEnabledProc = nullptr;
}  // namespace

void LoadDwmLibrary() {
    if (!DwmLibrary)
        DwmLibrary = LoadLibraryA("DWMAPI.DLL");
}

HRESULT CallDwmSetWindowAttribute(HWND Handle, DWORD Attribute, const void* Data, DWORD Size) {
    if (!DwmSetWindowAttributeProc) {
        LoadDwmLibrary();
        if (DwmLibrary)
            DwmSetWindowAttributeProc = LibraryProc<TDwmSetWindowAttribute>(DwmLibrary, "DwmSetWindowAttribute");
    }
    return DwmSetWindowAttributeProc ? DwmSetWindowAttributeProc(Handle, Attribute, Data, Size) : E_NOTIMPL;
}

bool IsDwmCompositionEnabled() {
    OSVERSIONINFOA V{};
    V.dwOSVersionInfoSize = sizeof(V);
    if (!GetVersionExA(&V) || V.dwMajorVersion < 6)
        return false;
    if (!DwmIsCompositionEnabledProc) {
        LoadDwmLibrary();
        if (DwmLibrary)
            DwmIsCompositionEnabledProc =
                LibraryProc<TDwmIsCompositionEnabled>(DwmLibrary, "DwmIsCompositionEnabled");
    }
    BOOL Enabled = FALSE;
    return DwmIsCompositionEnabledProc && SUCCEEDED(DwmIsCompositionEnabledProc(&Enabled)) && Enabled;
}

void DisableDwmTransitions(HWND Handle, bool Disable) {
    if (!IsDwmCompositionEnabled())
        return;
    BOOL Value = Disable ? TRUE : FALSE;
    CallDwmSetWindowAttribute(Handle, 3, &Value, sizeof(Value));
}

bool SetWindowLayered(HWND Handle, bool Layered) {
    LONG Ex = GetWindowLongA(Handle, GWL_EXSTYLE);
    if (Layered && LayeredWindowsAvailable()) {
        if (Ex & WS_EX_LAYERED)
            return false;
        SetWindowLongA(Handle, GWL_EXSTYLE, Ex | WS_EX_LAYERED);
        HDC Screen = GetDC(nullptr);
        TOwned<TBitmap> Empty(Create<TBitmap>());
        SIZE Size{0, 0};
        POINT Origin{0, 0};
        BLENDFUNCTION Blend{AC_SRC_OVER, 0, 10, AC_SRC_ALPHA};
        UpdateLayeredWindowProc(Handle, Screen, nullptr, &Size, Empty->Canvas()->Handle(), &Origin, 0x1FFFFFFF,
                                &Blend, ULW_ALPHA);
        ReleaseDC(nullptr, Screen);
        return true;
    }
    SetWindowLongA(Handle, GWL_STYLE, GetWindowLongA(Handle, GWL_STYLE) & ~WS_VISIBLE);
    SetWindowLongA(Handle, GWL_EXSTYLE, Ex & ~WS_EX_LAYERED);
    return false;
}

void SnapCoordinate(int& Pos, int Edge, int Buffer, int Size) {
    if (std::abs(Size + Pos - Edge) < Buffer)
        Pos = Edge - Size;
}
