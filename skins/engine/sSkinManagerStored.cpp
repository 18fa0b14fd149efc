#include "sSkinManager.h"

#include "sMessages.h"

#include "IniFiles.h"
#include "Jpeg.h"
#include "SysUtils.h"
#include "acPNG.h"
#include "acSkinPack.h"
#include "acntUtils.h"
#include "sGradient.h"
#include "acGlow.h"
#include "sStyleSimply.h"
#include "sVclUtils.h"
#include "sGraphUtils.h"
#include "sSkinOptions.h"

#include <algorithm>
#include <memory>
#include <set>

// ---------------------------------------------------------------------------------------------
// Stored skins

void TsSkinGeneral::DefineClass(TClassBuilder<TsSkinGeneral>& B) {
    using G = TsSkinGeneral;
    B.Property("SectionName", &G::SectionName, &G::SectionName);
    B.Property("ParentClass", &G::ParentClass, &G::ParentClass);
    B.Property("Color", &G::Color, &G::Color).TypeName("TColor");
    B.Property("ReservedBoolean", &G::ReservedBoolean, &G::ReservedBoolean);
    B.Property("FontColor", &G::FontColor, &G::FontColor);
    B.Property("HotFontColor", &G::HotFontColor, &G::HotFontColor);
    B.Property("Transparency", &G::Transparency, &G::Transparency);
    B.Property("GlowCount", &G::GlowCount, &G::GlowCount);
    B.Property("GlowMargin", &G::GlowMargin, &G::GlowMargin);
    B.Property("GradientPercent", &G::GradientPercent, &G::GradientPercent);
    B.Property("GradientData", &G::GradientData, &G::GradientData);
    B.Property("ImagePercent", &G::ImagePercent, &G::ImagePercent);
    B.Property("ShowFocus", &G::ShowFocus, &G::ShowFocus);
    B.Property("FadingEnabled", &G::FadingEnabled, &G::FadingEnabled);
    B.Property("FadingIterations", &G::FadingIterations, &G::FadingIterations);
    B.Property("HotColor", &G::HotColor, &G::HotColor).TypeName("TColor");
    B.Property("HotTransparency", &G::HotTransparency, &G::HotTransparency);
    B.Property("HotGradientPercent", &G::HotGradientPercent, &G::HotGradientPercent);
    B.Property("HotGradientData", &G::HotGradientData, &G::HotGradientData);
    B.Property("HotImagePercent", &G::HotImagePercent, &G::HotImagePercent);
    B.Property("Name", &G::Name, &G::Name);
    B.Property("GiveOwnFont", &G::GiveOwnFont, &G::GiveOwnFont);
    B.Property("HotGlowColor", &G::HotGlowColor, &G::HotGlowColor).TypeName("TColor");
    B.Property("GlowColor", &G::GlowColor, &G::GlowColor).TypeName("TColor");
    B.Property("HotGlowSize", &G::HotGlowSize, &G::HotGlowSize).TypeName("TColor");
    B.Property("GlowSize", &G::GlowSize, &G::GlowSize).TypeName("TColor");
}

TsSkinImage::TsSkinImage(TCollection* ACollection) : TCollectionItem(ACollection) { FImage = Create<TBitmap>(); }
TsSkinImage::~TsSkinImage() { FreeAndNil(FImage); }

void TsSkinImage::DefineClass(TClassBuilder<TsSkinImage>& B) {
    using I = TsSkinImage;
    B.Property("SectionName", &I::SectionName, &I::SectionName);
    B.Property("Image", &I::Image, &I::SetImage);
    B.Property("Name", &I::Name, &I::Name);
    B.Property("PropertyName", &I::PropertyName, &I::PropertyName);
    B.Property("Left", &I::Left, &I::Left);
    B.Property("Top", &I::Top, &I::Top);
    B.Property("Right", &I::Right, &I::Right);
    B.Property("Bottom", &I::Bottom, &I::Bottom);
    B.Property("ImageCount", &I::ImageCount, &I::ImageCount);
    B.Property("MaskType", &I::MaskType, &I::MaskType);
    B.Property("BorderWidth", &I::BorderWidth, &I::BorderWidth);
    B.Property("StretchMode", &I::StretchMode, &I::StretchMode);
    B.Property("ImgType", &I::ImgType, &I::ImgType);
    B.Property("WL", &I::WL, &I::WL);
    B.Property("WR", &I::WR, &I::WR);
    B.Property("WT", &I::WT, &I::WT);
    B.Property("WB", &I::WB, &I::WB);
}

TsSkinPattern::TsSkinPattern(TCollection* ACollection) : TCollectionItem(ACollection) {
    FImage = Create<TJPEGImage>();
}
TsSkinPattern::~TsSkinPattern() { FreeAndNil(FImage); }
void TsSkinPattern::SetImage(TJPEGImage* Value) { FImage->Assign(Value); }

void TsSkinPattern::DefineClass(TClassBuilder<TsSkinPattern>& B) {
    B.Property("SectionName", &TsSkinPattern::SectionName, &TsSkinPattern::SectionName);
    B.Property("Image", &TsSkinPattern::Image, &TsSkinPattern::SetImage);
    B.Property("Name", &TsSkinPattern::Name, &TsSkinPattern::Name);
    B.Property("PropertyName", &TsSkinPattern::PropertyName, &TsSkinPattern::PropertyName);
}

TsStoredSkin::TsStoredSkin(TCollection* ACollection) : TCollectionItem(ACollection) {
    FMasterBitmap = Create<TBitmap>();
    FImages = Create<TsSkinImages>(this);
    FGeneralData = Create<TsSkinGenerals>(this);
    FPatterns = Create<TsSkinPatterns>(this);
    FData = Create<TMemoryStream>();
}

TsStoredSkin::~TsStoredSkin() {
    FreeAndNil(FImages);
    FreeAndNil(FPatterns);
    FreeAndNil(FGeneralData);
    FreeAndNil(FMasterBitmap);
    FreeAndNil(FData);
}

void TsStoredSkin::DefineClass(TClassBuilder<TsStoredSkin>& B) {
    using S = TsStoredSkin;
    B.Property("Name", &S::Name, &S::Name);
    B.Property("GeneralData", &S::GeneralData, &S::SetGeneralData);
    B.Property("Images", &S::Images, &S::SetImages);
    B.Property("Patterns", &S::Patterns, &S::SetPatterns);
    B.Property("MasterBitmap", &S::MasterBitmap, &S::SetMasterBitmap);
    B.Property("Shadow1Color", &S::Shadow1Color, &S::Shadow1Color).TypeName("TColor");
    B.Property("Shadow1Offset", &S::Shadow1Offset, &S::Shadow1Offset);
    B.Property("Shadow1Blur", &S::Shadow1Blur, &S::Shadow1Blur).Default(-1);
    B.Property("Shadow1Transparency", &S::Shadow1Transparency, &S::Shadow1Transparency);
    B.Property("BorderColor", &S::BorderColor, &S::BorderColor).TypeName("TColor").Default(TColor(0xFF00FF));
    B.Property("Version", &S::Version, &S::Version);
    B.Property("Author", &S::Author, &S::Author);
    B.Property("Description", &S::Description, &S::Description);
}

void TsStoredSkin::DefineProperties(TFiler& Filer) {
    TCollectionItem::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "Data",
        [this](TStream& S) {
            FData->Clear();
            if (Int64 Left = S.Size() - S.Position(); Left > 0)
                FData->CopyFrom(&S, Left);
            FData->SetPosition(0);
        },
        [this](TStream& S) { FData->SaveToStream(&S); }, true);
}

void TsStoredSkin::Assign(TPersistent* Source) {
    auto* Src = DynCast<TsStoredSkin>(Source);
    if (!Src) {
        TCollectionItem::Assign(Source);
        return;
    }
    FData->Clear();
    Src->FData->SaveToStream(FData);
    FData->SetPosition(0);
    Name = Src->Name;
    FGeneralData->Assign(Src->FGeneralData);
    FImages->Assign(Src->FImages);
    FPatterns->Assign(Src->FPatterns);
    FMasterBitmap->Assign(Src->FMasterBitmap);
    Shadow1Offset = Src->Shadow1Offset;
    Shadow1Color = Src->Shadow1Color;
    Shadow1Blur = Src->Shadow1Blur;
    Shadow1Transparency = Src->Shadow1Transparency;
    BorderColor = Src->BorderColor;
    Version = Src->Version;
    Author = Src->Author;
    Description = Src->Description;
}

int TsStoredSkins::IndexOf(const std::string& Name) const {
    for (int I = 0; I < Count(); ++I)
        if (Items(I)->Name == Name)
            return I;
    return -1;
}

// ---------------------------------------------------------------------------------------------
// Animation options

void TacBtnEffects::DefineClass(TClassBuilder<TacBtnEffects>& B) {
    B.Property("Events", &TacBtnEffects::Events, &TacBtnEffects::Events)
        .Default(TacBtnEvents{beMouseEnter, beMouseLeave, beMouseDown, beMouseUp});
}

void TacFormAnimation::DefineClass(TClassBuilder<TacFormAnimation>& B) {
    B.Property("Active", &TacFormAnimation::Active, &TacFormAnimation::Active).Default(true);
    B.Property("Time", &TacFormAnimation::Time, &TacFormAnimation::Time).Default(Word(0));
}

void TacFormShow::DefineClass(TClassBuilder<TacFormShow>& B) {
    B.Property("Mode", &TacFormShow::Mode, &TacFormShow::Mode).Default(atAero);
}

void TacFormHide::DefineClass(TClassBuilder<TacFormHide>& B) {
    B.Property("Mode", &TacFormHide::Mode, &TacFormHide::Mode).Default(atAero);
}

void TacDialogShow::DefineClass(TClassBuilder<TacDialogShow>& B) {
    B.Property("Mode", &TacDialogShow::Mode, &TacDialogShow::Mode).Default(atAero);
}

void TacSkinChanging::DefineClass(TClassBuilder<TacSkinChanging>& B) {
    B.Property("Time", &TacSkinChanging::Time, &TacSkinChanging::Time).Default(Word(100));
    B.Property("Mode", &TacSkinChanging::Mode, &TacSkinChanging::Mode).Default(atFading);
}

TacAnimEffects::TacAnimEffects() {
    Buttons = Create<TacBtnEffects>();
    DialogShow = Create<TacDialogShow>();
    FormShow = Create<TacFormShow>();
    FormHide = Create<TacFormHide>();
    SkinChanging = Create<TacSkinChanging>();
    PageChange = Create<TacPageChange>();
    DialogHide = Create<TacFormHide>();
}

TacAnimEffects::~TacAnimEffects() {
    for (TPersistent* P : std::initializer_list<TPersistent*>{Buttons, DialogShow, FormShow, FormHide, SkinChanging,
                                                             PageChange, DialogHide})
        P->Free();
}

void TacAnimEffects::DefineClass(TClassBuilder<TacAnimEffects>& B) {
    using A = TacAnimEffects;
    B.Property("Buttons", &A::Buttons);
    B.Property("DialogShow", &A::DialogShow);
    B.Property("FormShow", &A::FormShow);
    B.Property("FormHide", &A::FormHide);
    B.Property("DialogHide", &A::DialogHide);
    B.Property("PageChange", &A::PageChange);
    B.Property("SkinChanging", &A::SkinChanging);
}
