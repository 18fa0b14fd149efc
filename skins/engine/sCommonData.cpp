#include "sCommonData.h"
#include "sCommonDataInternal.h"

#include "ExtCtrls.h"
#include "SysUtils.h"
#include "TypInfo.h"
#include "acGlow.h"
#include "sPaintServices.h"
#include "sStyleSimply.h"

#include <algorithm>

TBoundLabelFactory BoundLabelFactory = nullptr;

namespace {

struct TKindSection {
    const char* Section;
    TKindSet Kinds;
};
const TKindSection KindSections[] = {
    {"EDIT", {{2, 8}, {10, 10}, {41, 41}, {76, 76}, {78, 78}, {83, 84}, {96, 97}, {131, 131}, {140, 140}, {227, 227}}},
    {"COMBOBOX", {{11, 18}, {81, 82}}},
    {"BAR", {{19, 19}}},
    {"BARTITLE", {{20, 20}}},
    {"CHECKBOX", {{32, 32}, {152, 152}}},
    {"RADIOBUTTON", {{33, 33}}},
    {"PANEL", {{51, 51}, {59, 59}, {68, 68}, {73, 73}}},
    {"PANEL_LOW", {{52, 52}, {58, 58}}},
    {"TOOLBAR", {{53, 54}, {60, 60}}},
    {"DRAGBAR", {{56, 56}}},
    {"TABSHEET", {{57, 57}}},
    {"GROUPBOX", {{74, 74}, {226, 226}}},
    {"SPLITTER", {{75, 75}}},
    {"SPEEDBUTTON", {{92, 92}, {95, 95}}},
    {"BUTTON", {{93, 94}}},
    {"TOOLBUTTON", {{98, 98}}},
    {"PAGECONTROL", {{141, 141}, {143, 143}}},
    {"STATUSBAR", {{151, 151}}},
    {"GAUGE", {{161, 161}}},
    {"TRACKBAR", {{165, 165}}},
};

}  // namespace

using namespace sCommonDataDetail;

std::string DefaultSectionOfKind(int Kind) {
    for (const TKindSection& K : KindSections)
        if (K.Kinds.Contains(Kind))
            return K.Section;
    return std::string();
}

// ---------------------------------------------------------------------------------------------
// TsCommonData: construction and properties

TsCommonData::TsCommonData(TPersistent* AOwner, bool CreateCacheBitmap)
    : HostControl(DynCast<TControl>(AOwner)), HostObject(AOwner) {
    if (CreateCacheBitmap)
        CacheBitmap = NewBitmap24(0, 0);
}

TsCommonData::~TsCommonData() {
    BorderMaskIndex = SectionIndex = TextureIndex = HotTextureIndex = -1;
    HostControl = nullptr;
    HostObject = nullptr;
    ManagerRef = nullptr;
    FreeAndNil(CacheBitmap);
    RemoveGlow();
}

void TsCommonData::DefineClass(TClassBuilder<TsCommonData>& B) {
    B.Property("SkinSection", &TsCommonData::SkinSection, &TsCommonData::SetSkinSection);
    B.Property("SkinManager", &TsCommonData::GetSkinManager, &TsCommonData::SetSkinManager)
        .Stored(&TsCommonData::ManagerStored);
    B.Property("CustomColor", &TsCommonData::CustomColor, &TsCommonData::SetCustomColor).Default(false);
    B.Property("CustomFont", &TsCommonData::CustomFont, &TsCommonData::SetCustomFont).Default(false);
}

void TsCommonData::AssignTo(TPersistent* Dest) {
    auto* D = DynCast<TsCommonData>(Dest);
    if (!D) {
        TPersistent::AssignTo(Dest);
        return;
    }
    D->SetSkinManager(ManagerRef);
    D->SetSkinSection(FSkinSection);
    D->SetCustomColor(FCustomColor);
    D->SetCustomFont(FCustomFont);
}

TsSkinManager* TsCommonData::GetSkinManager() const { return ManagerRef ? ManagerRef : DefaultManager; }

void TsCommonData::TellHost(TsSkinManager* Manager) {
    bool Usable = Manager && !Manager->SectionList.empty() && Manager->SectionIndexInRange(SectionIndex);
    HostControl->Perform(SM_ALPHACMD, SkinCommandParam(Usable ? SKIN_REFRESH : SKIN_REMOVED),
                         reinterpret_cast<LPARAM>(Manager));
}

void TsCommonData::SetSkinManager(TsSkinManager* Value) {
    if (Value == ManagerRef)
        return;
    ManagerRef = Value == DefaultManager ? nullptr : Value;
    if (!InState(HostObject, csLoading)) {
        if (Value && !Value->SectionList.empty())
            RefreshSkinIndexes();
        else
            SectionIndex = -1;
    }
    if (AsFormProvider(HostObject))
        return;
    if (HostControl && HostControl->Parent() && !Destroying(HostControl))
        TellHost(Value);
}

void TsCommonData::SetSkinSection(const std::string& Value) {
    if (Value == FSkinSection)
        return;
    FSkinSection = Value.empty() ? std::string("UNKNOWN") : UpperCase(Value);
    TsSkinManager* M = GetSkinManager();
    if (!M || M->SectionList.empty())
        SectionIndex = -1;
    else
        RefreshSkinIndexes();
    if (HostControl) {
        TComponentState S = HostControl->ComponentState();
        if (!S.Contains(csLoading) && !S.Contains(csReading) && !S.Contains(csDestroying) && HostControl->Parent())
            TellHost(M);
    } else if (TacFormProvider* P = AsFormProvider(HostObject)) {
        BackgroundStale = true;
        P->FreeTitleImage();
    }
}

void TsCommonData::SetCustomColor(bool Value) {
    if (Value == FCustomColor)
        return;
    FCustomColor = Value;
    if (IsSkinned(false) && DynCast<TCustomEdit>(HostControl) && !InState(HostControl, csLoading)) {
        ApplySectionColors(true);
        Invalidate();
    }
}

void TsCommonData::SetCustomFont(bool Value) {
    if (Value == FCustomFont)
        return;
    FCustomFont = Value;
    Invalidate();
}

const TsGeneralData& TsCommonData::Section() const { return GetSkinManager()->SectionList[SectionIndex]; }

// ---------------------------------------------------------------------------------------------
// Manager, section and indexes

void TsCommonData::RefreshSkinIndexes() {
    BackgroundStale = true;
    TsSkinManager* M = GetSkinManager();
    SectionIndex = M ? M->FindSectionIndex(FSkinSection) : -1;
    Flags = 0;
    if (M && M->SectionIndexInRange(SectionIndex)) {
        BorderMaskIndex = M->SectionList[SectionIndex].BorderIndex;
        TextureIndex = M->FindTextureIndex(SectionIndex, FSkinSection, "PATTERN");
        HotTextureIndex = M->FindTextureIndex(SectionIndex, FSkinSection, "HOTPATTERN");
        UpdatePlainFlag(false);
    } else {
        TextureIndex = -1;
        HotTextureIndex = -1;
    }
}

void TsCommonData::ApplyDefaultSection() {
    if (!FSkinSection.empty()) {
        RefreshSkinIndexes();
        return;
    }
    std::string Section = DefaultSectionOfKind(ControlKind);
    if (Section.empty() && HostObject)
        Section = HostObject->ClassName();
    SetSkinSection(Section);
}

void TsCommonData::ApplySectionColors(bool OnlyWhenDifferent) {
    const TsGeneralData& S = Section();
    if (!FCustomColor && (!OnlyWhenDifferent || HostControl->Color() != S.Color))
        HostControl->SetColor(S.Color);
    if (!FCustomFont && (!OnlyWhenDifferent || HostControl->Font()->Color() != S.FontColor[0]))
        HostControl->Font()->SetColor(S.FontColor[0]);
}

void TsCommonData::AfterOwnerLoaded() {
    ApplyDefaultSection();
    if (!IsSkinned(false) || !HostControl || !HostControl->Parent() || InState(HostControl, csLoading))
        return;
    if (Windowed(HostControl))
        AskFormToAdaptControl(HostControl);
    if (DynCast<TCustomEdit>(HostControl) || ControlKind == 97)
        ApplySectionColors(true);
}

// ---------------------------------------------------------------------------------------------
// Queries

bool TsCommonData::IsSkinned(bool CheckActive) const {
    TsSkinManager* M = GetSkinManager();
    if (!M || M->ComponentState().Contains(csDestroying) || !M->SectionIndexInRange(SectionIndex) ||
        Destroying(HostObject))
        return false;
    return CheckActive ? M->SkinData->SkinActive : true;
}

bool TsCommonData::IsHotState() const {
    if (!HostControl || Destroying(HostControl) || !HostControl->Enabled() ||
        HostControl->ComponentState().Contains(csDesigning))
        return false;
    if (HasFocus)
        return true;
    auto* W = Windowed(HostControl);
    if (W && W->HandleAllocated() && W->Handle() == GetFocus())
        return true;
    return MouseOver && !KindsWithoutHotLook.Contains(ControlKind);
}

bool TsCommonData::NeedsSkinPaint() const {
    return AnimationInProgress || !(Flags & PlainBackgroundFlag) || IsHotState();
}

bool TsCommonData::IsUpdating() const {
    TsSkinManager* M = GetSkinManager();
    if (!M || M->ComponentState().Contains(csDesigning))
        return false;
    if (!NeedsSkinPaint())
        return InUpdate;
    if (!HostControl || Destroying(HostControl))
        return InUpdate;
    if (InUpdate || !HostControl->Parent())
        return true;
    // A host waits while its parent's image is stale.
    return AskSkinCommand(HostControl->Parent(), SKIN_GETSTALE) != 0;
}

bool TsCommonData::HasTransparency() const {
    TsSkinManager* M = GetSkinManager();
    return M && M->SectionIndexInRange(SectionIndex) && M->SectionList[SectionIndex].Transparency > 0;
}

bool TsCommonData::HasComplexBackground() const {
    TsSkinManager* M = GetSkinManager();
    if (!M || !M->SectionIndexInRange(SectionIndex))
        return false;
    if (M->MaskIndexInRange(BorderMaskIndex)) {
        const TsMaskData& Mask = M->MaskList[BorderMaskIndex];
        if (Mask.WL + Mask.WR > 30 || Mask.WT + Mask.WB > 30)
            return true;
    }
    const TsGeneralData& S = M->SectionList[SectionIndex];
    if (S.Transparency == 100) {
        if (!HostControl || !HostControl->Parent())
            return true;
        // A plain parent makes the host plain too, whatever its own gradient or texture.
        return !(SendSkinCommandTo(HostControl->Parent(), SKIN_FLAGS, 0) & PlainBackgroundFlag);
    }
    if (S.Transparency != 0)
        return true;
    return S.ImagePercent != 0 || S.GradientPercent != 0;
}

void TsCommonData::UpdatePlainFlag(bool Recursive) {
    Flags &= ~PlainBackgroundFlag;
    if (HostControl) {
        // Panels and scrolling containers (forms, scroll boxes, frames) are the containers whose
        // children may take their plain colour.
        if ((DynCast<TPanel>(HostControl) || DynCast<TScrollingWinControl>(HostControl)) && !HasComplexBackground())
            Flags |= PlainBackgroundFlag;
        if (auto* W = Windowed(HostControl); Recursive && W)
            for (int I = 0; I < W->ControlCount(); ++I)
                SendSkinCommandTo(W->Controls(I), SKIN_FLAGS, 1);
    } else if (TCustomForm* Form = ProviderFormOf(HostObject)) {
        if (Form->FormStyle() != fsMDIForm && !HasComplexBackground())
            Flags |= PlainBackgroundFlag;
    }
}

bool TsCommonData::MustRepaintOnMove() const {
    if (RepaintOnMove || !IsSkinned(false) || !HostControl ||
        HostControl->ControlState().Contains(csCreating) || !HostControl->Visible())
        return true;
    TsSkinManager* M = GetSkinManager();
    if (!M->SectionIndexInRange(SectionIndex))
        return false;
    bool N = !HostControl->Enabled() || M->SectionList[SectionIndex].Transparency > 0;
    TWinControl* Parent = HostControl->Parent();
    if (N && Parent && Parent->HandleAllocated())
        return AskSkinCommand(Parent, SKIN_GETNONUNIFORM) != 0;
    return N;
}

bool TsCommonData::ParentIsNonUniform() const {
    TWinControl* Parent = HostControl ? HostControl->Parent() : nullptr;
    return Parent && Parent->HandleAllocated() && AskSkinCommand(Parent, SKIN_GETNONUNIFORM) != 0;
}

int TsCommonData::GetMaxBorderWidth() const {
    TsSkinManager* M = GetSkinManager();
    if (!M || !M->MaskIndexInRange(BorderMaskIndex))
        return 0;
    const TsMaskData& Mask = M->MaskList[BorderMaskIndex];
    if (Mask.StretchMode & 2)
        return 0;
    return std::max({Mask.WL, Mask.WT, Mask.WR, Mask.WB});
}

TColor TsCommonData::OwnColor() const {
    if (HostControl)
        return HostControl->Color();
    if (TCustomForm* Form = ProviderFormOf(HostObject))
        return Form->Color();
    return clBtnFace;
}

TColor TsCommonData::GetBackgroundColor(int State, HWND Handle) const {
    if (!IsSkinned(false))
        return OwnColor();
    const TsGeneralData& S = Section();
    int T = State ? S.HotTransparency : S.Transparency;
    TColor C = State ? S.HotColor : S.Color;
    if (T == 0)
        return FCustomColor ? OwnColor() : C;
    if (T == 100) {
        if (HostControl)
            return GetControlBgColor(HostControl->Parent());
        if (Handle)
            return GetWindowBgColor(GetParent(Handle));
        return clBtnFace;
    }
    if (!HostControl)
        return 0;
    return MixColors(GetControlBgColor(HostControl->Parent()), C, T / 100.0);
}

void TsCommonData::FillParentBackgroundInfo(ParentBackgroundInfo& Info, int State, HWND Handle) {
    if (!IsSkinned(false) || FCustomColor) {
        Info.Kind = 1;
        Info.Color = OwnColor();
        return;
    }
    TsSkinManager* M = GetSkinManager();
    const TsGeneralData& S = Section();
    int T = State ? S.HotTransparency : S.Transparency;
    int G = State ? S.HotGradientPercent : S.GradientPercent;
    int I = State ? S.HotImagePercent : S.ImagePercent;

    // The cache bitmap as the answer: copied into the asker's DC now, or handed over with offsets 0, 0.
    auto AnswerWithCache = [&] {
        if (!CacheBitmap) {
            Info.Color = 0xFF00FF;
            Info.Kind = 1;
            return;
        }
        Info.Kind = 2;
        if (Info.PaintNow)
            BitBlt(Info.DC, Info.R.Left, Info.R.Top, Info.R.Width(), Info.R.Height(), CacheBitmap->Canvas()->Handle(),
                   Info.X, Info.Y, SRCCOPY);
        else {
            Info.Bmp = CacheBitmap;
            Info.X = 0;
            Info.Y = 0;
        }
    };

    if (T == 0 && G == 0 && I == 0) {
        Info.Kind = 1;
        Info.Bmp = CacheBitmap;
        Info.Color = GetBackgroundColor(State, nullptr);
        if (Info.PaintNow)
            FillRectSolid(Info.DC, Info.R, Info.Color);
        return;
    }
    if (T == 0) {
        Info.Color = M->GetMainColor();
        AnswerWithCache();
        return;
    }
    if (T != 100) {
        AnswerWithCache();
        return;
    }
    // T = 100: the host shows its parent, unless it paints a thick frame itself.
    if (M->MaskIndexInRange(BorderMaskIndex)) {
        const TsMaskData& Mask = M->MaskList[BorderMaskIndex];
        if (Mask.WL + Mask.WR > 24 || Mask.WT + Mask.WB > 24) {
            if (CacheBitmap)
                AnswerWithCache();
            else {
                Info.Kind = 1;
                Info.Color = HostControl && HostControl->Parent() ? GetControlBgColor(HostControl->Parent())
                                                                  : (DefaultManager ? DefaultManager->GetMainColor()
                                                                                    : ColorToRGB(clBtnFace));
            }
            return;
        }
    }
    TControl* Positioned = HostControl;
    if (!Positioned)
        Positioned = ProviderFormOf(HostObject);
    if (Positioned && Positioned->Parent()) {
        QueryParentBackground(Info, Positioned->Parent(), Info.PaintNow);
        if (Info.Kind == 2) {
            Info.X += Positioned->Left();
            Info.Y += Positioned->Top();
        }
    } else if (Handle) {
        HWND Parent = ParentWindowOf(Handle);
        QueryWindowBackground(Info, Parent, false);
        if (Info.Kind == 2) {
            RECT R;
            GetWindowRect(Handle, &R);
            POINT P{R.left, R.top};
            ScreenToClient(Parent, &P);
            Info.X += P.x;
            Info.Y += P.y;
        }
    } else {
        Info.Kind = 1;
        Info.Color = DefaultManager ? DefaultManager->GetMainColor() : ColorToRGB(clBtnFace);
    }
}

void TsCommonData::GetParentBackgroundSource(BackgroundSource& Source) const {
    if (IsSkinned(false) && HostControl && HostControl->Parent()) {
        ParentBackgroundInfo Info;
        QueryParentBackground(Info, HostControl->Parent(), false);
        ToBackgroundSource(Info, Source);
        return;
    }
    Source.OffsetX = 0;
    Source.OffsetY = 0;
    Source.Color = GetBackgroundColor(0, nullptr);
    Source.HasBitmap = false;
}

// ---------------------------------------------------------------------------------------------
// Cache bitmap, updates, repaint, glow

void TsCommonData::PrepareCacheBitmap() {
    if (!CacheBitmap) {
        CacheBitmap = Create<TBitmap>();
        CacheBitmap->SetPixelFormat(pf24bit);
    }
    CacheBitmap->SetHandleType(bmDIB);
    if (HostControl) {
        int W = std::max(0, HostControl->Width()), H = std::max(0, HostControl->Height());
        if (CacheBitmap->Width() != W || CacheBitmap->Height() != H)
            CacheBitmap->SetSize(W, H);
    }
}

void PrepareCacheBitmapFor(TsCommonData* SkinData) {
    if (!SkinData)
        return;
    TBitmap*& Cache = SkinData->CacheBitmap;
    if (!Cache)
        Cache = Create<TBitmap>();
    if (Cache->PixelFormat() != pf24bit)
        Cache->SetPixelFormat(pf24bit);
    Cache->SetHandleType(bmDIB);
    if (TControl* Host = SkinData->HostControl) {
        // A negative extent would make the bitmap raise from a painting path: it counts as 0.
        int W = std::max(0, Host->Width()), H = std::max(0, Host->Height());
        if (Cache->Width() != W || Cache->Height() != H)
            Cache->SetSize(W, H);
    }
}

void TsCommonData::BeginUpdate() {
    InUpdate = true;
    Flags |= UpdatingFlag;
    if (HostControl)
        HostControl->Perform(SM_ALPHACMD, SkinCommandParam(SKIN_NOTIFYUPDATEBEGIN), 0);
    else if (TCustomForm* Form = ProviderFormOf(HostObject); Form && Form->HandleAllocated())
        SendMessageA(Form->Handle(), SM_ALPHACMD, SkinCommandParam(SKIN_NOTIFYUPDATEBEGIN), 0);
}

void TsCommonData::EndUpdate(bool Repaint) {
    InUpdate = false;
    Flags &= ~UpdatingFlag;
    if (HostControl)
        HostControl->Perform(SM_ALPHACMD, SkinCommandParam(SKIN_NOTIFYUPDATEEND), 0);
    else if (TCustomForm* Form = ProviderFormOf(HostObject); Form && Form->HandleAllocated())
        SendMessageA(Form->Handle(), SM_ALPHACMD, SkinCommandParam(SKIN_NOTIFYUPDATEEND), 0);
    if (Repaint)
        Invalidate();
}

void TsCommonData::Invalidate() {
    if (HostControl) {
        TComponentState S = HostControl->ComponentState();
        if (S.Contains(csDestroying) || S.Contains(csLoading))
            return;
        BackgroundStale = true;
        if (IsControlReady(HostControl))
            HostControl->Invalidate();
    } else if (TCustomForm* Form = ProviderFormOf(HostObject)) {
        BackgroundStale = true;
        if (Form->HandleAllocated())
            RedrawWindow(Form->Handle(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    }
}

void TsCommonData::RemoveGlow() {
    if (GlowEffectIndex != -1) {
        RemoveGlowEffect(GlowEffectIndex);
        GlowEffectIndex = -1;
    }
}

void TsCommonData::RefreshGlow(bool RemoveExisting, HWND Handle) {
    TsSkinManager* M = GetSkinManager();
    if (!M || !M->GetAllowGlowing() || !M->SectionIndexInRange(SectionIndex) || Section().GlowCount < 1)
        return;
    TRect R{}, Visible{};
    HWND Owner = nullptr;
    if (HostControl) {
        if (!MouseOver || HostControl->ControlState().Contains(csLButtonDown) ||
            (RemoveExisting && GlowEffectIndex != -1)) {
            RemoveGlow();
            return;
        }
        TCustomForm* Form = HostControl->GetParentForm();
        if (!Form)
            return;
        if (Form->Parent())
            Owner = Form->Parent()->Handle();
        else if (Form->FormStyle() == fsMDIChild && Application->MainForm() &&
                 AskSkinCommand(Application->MainForm(), SKIN_GETPROVIDER) != 0)
            Owner = Application->MainForm()->Handle();
        else
            Owner = Form->Handle();
        if (auto* W = Windowed(HostControl)) {
            GetWindowRect(W->Handle(), reinterpret_cast<RECT*>(&R));
            HDC DC = GetWindowDC(W->Handle());
            GetClipBox(DC, reinterpret_cast<RECT*>(&Visible));
            ReleaseDC(W->Handle(), DC);
        } else {
            TPoint P = HostControl->ClientOrigin();
            int Width = HostControl->Width(), Height = HostControl->Height();
            R = Bounds(P.X, P.Y, Width, Height);
            TRect Clip{};
            TWinControl* Parent = HostControl->Parent();
            HDC DC = GetDC(Parent->Handle());
            GetClipBox(DC, reinterpret_cast<RECT*>(&Clip));
            ReleaseDC(Parent->Handle(), DC);
            int L = HostControl->Left(), T = HostControl->Top();
            Visible.Left = L < Clip.Left ? Clip.Left - L : 0;
            Visible.Top = T < Clip.Top ? Clip.Top - T : 0;
            Visible.Right = L + Width > Clip.Right ? Clip.Right - L : Width;
            Visible.Bottom = T + Height > Clip.Bottom ? Clip.Bottom - T : Height;
        }
    } else if (Handle) {
        GetWindowRect(Handle, reinterpret_cast<RECT*>(&R));
        HDC DC = GetWindowDC(Handle);
        GetClipBox(DC, reinterpret_cast<RECT*>(&Visible));
        ReleaseDC(Handle, DC);
        Owner = GetTopLevelWindow(Handle);
    } else
        return;
    GlowEffectIndex = AddGlowEffect(R, Visible, FSkinSection, M, Owner, 255, Section().GlowMargin, "GLOW");
}

// ---------------------------------------------------------------------------------------------
// Font section lookup

int FindFontSectionIndex(TControl* Control, int DefaultIndex, TsSkinManager* Manager) {
    TsSkinManager* M = Manager ? Manager : DefaultManager;
    // Climbs while the answering section lets its parent show through; a control without a parent
    // (a form) ends the climb.
    for (TControl* C = Control; C && C->Parent(); C = C->Parent()) {
        int Index = -1;
        SendOrPerform(C->Parent(), SKIN_GETSECTIONINDEX, 0, reinterpret_cast<LPARAM>(&Index));
        if (Index < 0 || !M || !M->SectionIndexInRange(Index))
            return DefaultIndex;
        const TsGeneralData& S = M->SectionList[Index];
        if (S.Transparency <= 50)
            return S.GiveOwnFont ? Index : DefaultIndex;
    }
    return DefaultIndex;
}

// ---------------------------------------------------------------------------------------------
// TsBoundLabel

TsBoundLabel::TsBoundLabel(TControl*, TsCommonData* SkinData) : CommonData(SkinData) { FFont = Create<TFont>(); }

TsBoundLabel::~TsBoundLabel() {
    FreeAndNil(TheLabel);
    FreeAndNil(FFont);
}

void TsBoundLabel::DefineClass(TClassBuilder<TsBoundLabel>& B) {
    B.Property("Active", &TsBoundLabel::Active, &TsBoundLabel::SetActive).Default(false);
    B.Property("Caption", &TsBoundLabel::Caption, &TsBoundLabel::SetCaption);
    B.Property("Indent", &TsBoundLabel::Indent, &TsBoundLabel::SetIndent).Default(0);
    B.Property("Font", &TsBoundLabel::Font, &TsBoundLabel::SetFont);
    B.Property("Layout", &TsBoundLabel::Layout, &TsBoundLabel::SetLayout).Default(sclLeft);
    B.Property("MaxWidth", &TsBoundLabel::MaxWidth, &TsBoundLabel::SetMaxWidth).Default(0);
    B.Property("UseSkinColor", &TsBoundLabel::UseSkinColor, &TsBoundLabel::SetUseSkinColor).Default(true);
}

void TsBoundLabel::AssignTo(TPersistent* Dest) {
    auto* D = DynCast<TsBoundLabel>(Dest);
    if (!D) {
        TPersistent::AssignTo(Dest);
        return;
    }
    D->SetCaption(FCaption);
    D->SetIndent(FIndent);
    D->SetLayout(FLayout);
    D->SetMaxWidth(FMaxWidth);
    D->SetFont(Font());
    D->SetActive(FActive);
    D->SetUseSkinColor(UseSkinColor());
}

TFont* TsBoundLabel::Font() const { return TheLabel ? TheLabel->Font() : FFont; }

void TsBoundLabel::SetFont(TFont* Value) {
    // Without a label control the font is kept, so that it reads back as set.
    (TheLabel ? TheLabel->Font() : FFont)->Assign(Value);
}

bool TsBoundLabel::UseSkinColor() const {
    if (!TheLabel || !IsPublishedProp(TheLabel, "UseSkinColor"))
        return true;
    return GetOrdProp(TheLabel, "UseSkinColor") != 0;
}

void TsBoundLabel::SetUseSkinColor(bool Value) {
    if (TheLabel && IsPublishedProp(TheLabel, "UseSkinColor"))
        SetOrdProp(TheLabel, "UseSkinColor", Value ? 1 : 0);
}

void TsBoundLabel::SetCaption(const std::string& Value) {
    FCaption = Value;
    if (TheLabel)
        TheLabel->SetCaption(Value);
    if (FActive)
        PlaceLabel();
}

void TsBoundLabel::SetIndent(int Value) {
    FIndent = Value;
    if (FActive)
        PlaceLabel();
}

void TsBoundLabel::SetMaxWidth(int Value) {
    FMaxWidth = Value;
    if (FActive)
        PlaceLabel();
}

void TsBoundLabel::SetLayout(TsCaptionLayout Value) {
    FLayout = Value;
    if (FActive) {
        UpdateAlignment();
        PlaceLabel();
    }
}

void TsBoundLabel::SetActive(bool Value) {
    if (Value == FActive)
        return;
    TControl* H = Host();
    if (!Value) {
        FreeAndNil(TheLabel);
        FActive = false;
        return;
    }
    FActive = true;
    if (!H)
        return;
    if (!TheLabel)
        TheLabel = BoundLabelFactory ? BoundLabelFactory(H, this) : Create<TacBoundLabelControl>(H, this);
    TheLabel->SetVisible(false);
    TheLabel->SetParent(H->Parent());
    TheLabel->SetFocusControl(Windowed(H));
    UpdateAlignment();
    TheLabel->SetName(H->Name() + "Label");
    if (FCaption.empty())
        FCaption = H->Name();
    TheLabel->SetCaption(FCaption);
    TheLabel->SetVisible(H->Visible() || TheLabel->ComponentState().Contains(csDesigning));
    TheLabel->SetEnabled(H->Enabled());
    PlaceLabel();
}

void TsBoundLabel::LabelDestroyed(TCustomLabel* Label) {
    if (Label != TheLabel)
        return;
    TheLabel = nullptr;
    FActive = false;
}

void TacBoundLabelControl::BeforeDestruction() {
    if (FBoundLabel)
        FBoundLabel->LabelDestroyed(this);
    TLabel::BeforeDestruction();
}

void TsBoundLabel::UpdateAlignment() {
    if (!TheLabel)
        return;
    static constexpr TAlignment ByLayout[] = {taRightJustify, taLeftJustify, taCenter, taRightJustify};
    TheLabel->SetAlignment(ByLayout[FLayout]);
}

void TsBoundLabel::PlaceLabel() {
    TCustomLabel* L = TheLabel;
    if (!L || !L->Visible())
        return;
    TControl* H = L->FocusControl() ? static_cast<TControl*>(L->FocusControl()) : Host();
    if (!H)
        return;
    L->SetAutoSize(true);
    switch (FLayout) {
    case sclLeft:
        L->SetLeft(H->Left() - L->Width() - 4 - FIndent);
        L->SetTop(H->Top() + (H->Height() - L->Height()) / 2 - 1);
        break;
    case sclTopLeft:
        L->SetLeft(H->Left());
        break;
    case sclTopCenter:
        L->SetLeft(H->Left() + (H->Width() - L->Width()) / 2);
        break;
    case sclTopRight:
        L->SetLeft(H->Left() + H->Width() - L->Width());
        break;
    }
    if (FLayout != sclLeft)
        L->SetTop(H->Top() - L->Height() - FIndent);
    L->SetParent(H->Parent());
    if (FMaxWidth != 0) {
        L->SetAutoSize(false);
        L->SetWidth(FMaxWidth);
        L->SetWordWrap(true);
        L->SetHeight(std::max(L->Height(), H->Height()));
    }
}

// ---------------------------------------------------------------------------------------------
// Parent background and colour queries

namespace {
// Lets a parent that does not answer paint itself into Info.DC at the asker's place.
template <class F>
void PaintInto(ParentBackgroundInfo& Info, F PaintParent) {
    HDC DC = Info.DC;
    SaveDC(DC);
    POINT Org;
    GetViewportOrgEx(DC, &Org);
    SetViewportOrgEx(DC, Org.x - Info.X, Org.y - Info.Y, nullptr);
    TRect R = Info.R;
    R.Left += Info.X, R.Right += Info.X, R.Top += Info.Y, R.Bottom += Info.Y;
    IntersectClipRect(DC, R.Left, R.Top, R.Right, R.Bottom);
    PaintParent(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC));
    PaintParent(WM_PAINT, reinterpret_cast<WPARAM>(DC));
    RestoreDC(DC, -1);
}
}  // namespace

bool QueryParentBackground(ParentBackgroundInfo& Info, TControl* Parent, bool PaintNow) {
    bool WantedPaint = Info.PaintNow;
    Info.Kind = 0;
    Info.PaintNow = PaintNow;
    if (!Parent) {
        Info.Kind = 1;
        Info.Color = ColorToRGB(clBtnFace);
        return false;
    }
    SendOrPerform(Parent, SKIN_GETBACKGROUND, 0, reinterpret_cast<LPARAM>(&Info));
    if (Info.Kind != 0)
        return true;
    if (WantedPaint) {
        PaintInto(Info, [&](UINT Msg, WPARAM DC) { Parent->Perform(Msg, DC, 0); });
        return false;
    }
    // A black skin-aware parent is taken at its word: only an unaware one gives its own colour.
    Info.Kind = 1;
    Info.Color = GetControlBgColor(Parent);
    if (Info.PaintNow && Info.Bmp)
        FillRectSolid(Info.DC, Info.R, Info.Color);
    return false;
}

bool QueryWindowBackground(ParentBackgroundInfo& Info, HWND Wnd, bool PaintNow) {
    bool WantedPaint = Info.PaintNow;
    Info.Kind = 0;
    Info.PaintNow = PaintNow;
    if (Wnd)
        SendMessageA(Wnd, SM_ALPHACMD, SkinCommandParam(SKIN_GETBACKGROUND), reinterpret_cast<LPARAM>(&Info));
    if (Info.Kind != 0)
        return true;
    if (WantedPaint && Wnd) {
        PaintInto(Info, [&](UINT Msg, WPARAM DC) { SendMessageA(Wnd, Msg, DC, 0); });
        return false;
    }
    Info.Kind = 1;
    Info.Color = DefaultManager ? DefaultManager->GetMainColor() : clBtnFace;
    return false;
}

void ToBackgroundSource(const ParentBackgroundInfo& Info, BackgroundSource& Source) {
    if (Info.Kind == 2) {
        Source = MakeBackgroundSource(Info.Bmp, Info.X, Info.Y);
        return;
    }
    Source.Bmp = nullptr;
    Source.OffsetX = Info.X;
    Source.OffsetY = Info.Y;
    Source.Color = ColorToRGB(Info.Color);
    Source.HasBitmap = false;
}

void GetWindowParentBackgroundSource(HWND Wnd, BackgroundSource& Source) {
    Source.HasBitmap = false;
    HWND Parent = ParentWindowOf(Wnd);
    if (!Parent) {
        Source = EmptyBackgroundSource;
        return;
    }
    ParentBackgroundInfo Info;
    QueryWindowBackground(Info, Parent, false);
    ToBackgroundSource(Info, Source);
}
