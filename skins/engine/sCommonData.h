// Per-control skin data: the object every skinned control, form provider, adapter item and window
// hook owns. It binds its host to a skin manager and one skin section, keeps the indexes of the
// section and its images, owns the host's painted image (the cache bitmap) with the flags that say
// whether it is stale, tracks focus and mouse-over, and answers the library command message on the
// host's behalf. Without a skin manager it still exists, still takes its default section from the
// host's control kind and reports "not skinned" from every query.
//
// The bound label is the optional caption label that edit-like hosts carry beside themselves.
//
// Also here: the question a control asks its parent about what lies behind it
// (QueryParentBackground and its relatives) and the conversion of the answer for the painters.
#pragma once

#include "Controls.h"
#include "StdCtrls.h"
#include "sConst.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "sVclUtils.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

// ---------------------------------------------------------------------------------------------
// Control kinds

// A set of control kinds 0..255; a kind above 255 (or below 0) belongs to no set.
class TKindSet {
public:
    constexpr TKindSet(std::initializer_list<std::pair<int, int>> Ranges) {
        for (auto [Low, High] : Ranges)
            for (int K = Low; K <= High; ++K)
                FBits[K / 32] |= std::uint32_t(1) << (K % 32);
    }
    constexpr bool Contains(int Kind) const {
        return Kind >= 0 && Kind <= 255 && (FBits[Kind / 32] & (std::uint32_t(1) << (Kind % 32))) != 0;
    }

private:
    std::uint32_t FBits[8] = {};
};

// Mouse-over gives no hot look (CM_MOUSEENTER/CM_MOUSELEAVE leave MouseOver alone).
inline constexpr TKindSet KindsWithoutHotLook{{19, 19}, {51, 74}, {110, 110}, {141, 161}};
// No glow window on mouse-over.
inline constexpr TKindSet KindsWithoutGlow{{51, 52}, {54, 54}, {56, 60}, {68, 68},   {73, 74},   {110, 110},
                                           {141, 141}, {143, 143}, {151, 151}, {161, 161}, {226, 226}};
// Focus changes and mouse-over repaint the host's frame.
inline constexpr TKindSet EditLikeKinds{{2, 18}, {41, 41}, {76, 84}, {96, 97}, {131, 140}};

// The default section of a control kind; empty for kinds that take their host's class name.
std::string DefaultSectionOfKind(int Kind);

// Bits of TsCommonData::Flags.
inline constexpr Word PlainBackgroundFlag = 0x1;
inline constexpr Word UpdatingFlag = 0x800;

// ---------------------------------------------------------------------------------------------
// Skin data

class TsCommonData : public TPersistent {
    DECLARE_CLASS(TsCommonData, TPersistent)
public:
    // All indexes -1; the host control is AOwner when it is a control; with CreateCacheBitmap the
    // cache starts as a 0 x 0 24-bit bitmap.
    TsCommonData(TPersistent* AOwner, bool CreateCacheBitmap);
    ~TsCommonData() override;
    static void DefineClass(TClassBuilder<TsCommonData>& B);

    // Published: upper case, "UNKNOWN" for an empty name.
    const std::string& SkinSection() const { return FSkinSection; }
    void SetSkinSection(const std::string& Value);
    bool CustomFont() const { return FCustomFont; }
    void SetCustomFont(bool Value);
    bool CustomColor() const { return FCustomColor; }
    void SetCustomColor(bool Value);
    // The own manager, else the default manager; nil means no skinning.
    TsSkinManager* GetSkinManager() const;
    // The default manager is kept as nil.
    void SetSkinManager(TsSkinManager* Value);

    int GlowEffectIndex = -1;
    bool InUpdate = false;
    TsSkinManager* ManagerRef = nullptr;
    int BorderMaskIndex = -1;
    int SectionIndex = -1;
    int TextureIndex = -1;
    int HotTextureIndex = -1;
    bool RepaintOnMove = false;
    bool BackgroundStale = true;
    bool PartlyClipped = true;
    TControl* HostControl = nullptr;
    TPersistent* HostObject = nullptr;
    TBitmap* CacheBitmap = nullptr;  // owned
    int ControlKind = 0;
    bool HasFocus = false;
    bool MouseOver = false;
    Word Flags = 0;

    // Manager, section and indexes
    void RefreshSkinIndexes();
    void ApplyDefaultSection();
    // From the host's Loaded (and the edit's AfterConstruction).
    void AfterOwnerLoaded();

    // Queries
    bool IsSkinned(bool CheckActive) const;
    bool IsHotState() const;
    bool NeedsSkinPaint() const;
    bool IsUpdating() const;
    bool HasTransparency() const;
    bool HasComplexBackground() const;
    void UpdatePlainFlag(bool Recursive);
    bool MustRepaintOnMove() const;
    bool ParentIsNonUniform() const;
    int GetMaxBorderWidth() const;
    // The colour the host shows behind its children (State 0 normal, non-zero hot).
    TColor GetBackgroundColor(int State, HWND Handle) const;
    // Describes the host's background to a child that asks with SKIN_GETBACKGROUND.
    void FillParentBackgroundInfo(ParentBackgroundInfo& Info, int State, HWND Handle);
    // What lies behind the host, for its own painting.
    void GetParentBackgroundSource(BackgroundSource& Source) const;

    // Cache bitmap and repaint
    void PrepareCacheBitmap();
    void BeginUpdate();
    void EndUpdate(bool Repaint);
    void SetInUpdate(bool Value) { InUpdate = Value; }
    void Invalidate();
    void RefreshGlow(bool RemoveExisting, HWND Handle);
    // Removes the glow window shown around the host, if any.
    void RemoveGlow();

    // The section record of SectionIndex (valid only when IsSkinned holds).
    const TsGeneralData& Section() const;

protected:
    // Copies the published values (section, manager, custom flags) into another skin data.
    void AssignTo(TPersistent* Dest) override;

private:
    // The host object's colour: the control's, the provider form's, else clBtnFace.
    TColor OwnColor() const;
    // The manager is written to form files only when it is not the default one.
    bool ManagerStored() const { return ManagerRef != nullptr; }
    // Gives a skinned edit-like host the section's colour and first font colour unless custom.
    void ApplySectionColors(bool OnlyWhenDifferent);
    // Sends code 3 (sections and a valid index) or 2 to the host control.
    void TellHost(TsSkinManager* Manager);

    std::string FSkinSection;
    bool FCustomFont = false;
    bool FCustomColor = false;
};

// The skin data's standard answers to the library command message; True when answered.
bool HandleSkinCommand(TMessage& Message, TsCommonData* SkinData);
// The message handling all skinned hosts share; True means answered: the host must not pass it on.
bool HandleCommonMessage(TMessage& Message, TsCommonData* SkinData);

// The section whose font colours a text-drawing control uses: the nearest parent at most 50 %
// transparent when its section hands on its font, else DefaultIndex.
int FindFontSectionIndex(TControl* Control, int DefaultIndex, TsSkinManager* Manager);

// The cache of skin data without a host control (hook objects): made when missing, 24-bit DIB,
// sized to the host control when there is one.
void PrepareCacheBitmapFor(TsCommonData* SkinData);

// ---------------------------------------------------------------------------------------------
// Bound label

class TsBoundLabel : public TPersistent {
    DECLARE_CLASS(TsBoundLabel, TPersistent)
public:
    // The host (AOwner) frees its bound label from its BeforeDestruction, before its owned
    // components (the label control among them) go.
    TsBoundLabel(TControl* AOwner, TsCommonData* SkinData);
    ~TsBoundLabel() override;
    static void DefineClass(TClassBuilder<TsBoundLabel>& B);

    bool Active() const { return FActive; }
    void SetActive(bool Value);
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    int Indent() const { return FIndent; }
    void SetIndent(int Value);
    TFont* Font() const;
    void SetFont(TFont* Value);
    TsCaptionLayout Layout() const { return FLayout; }
    void SetLayout(TsCaptionLayout Value);
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value);
    bool UseSkinColor() const;
    void SetUseSkinColor(bool Value);

    void PlaceLabel();
    void UpdateAlignment();
    // The label control tells its bound label that it goes (its parent may free it before its
    // owner does): the bound label is then inactive and has no label control.
    void LabelDestroyed(TCustomLabel* Label);

    TCustomLabel* TheLabel = nullptr;  // owned by the host control
    TsCommonData* CommonData = nullptr;

protected:
    // Copies the published values into another bound label.
    void AssignTo(TPersistent* Dest) override;

private:
    TControl* Host() const { return CommonData ? CommonData->HostControl : nullptr; }

    int FMaxWidth = 0;
    std::string FCaption;
    TsCaptionLayout FLayout = sclLeft;
    TFont* FFont = nullptr;
    int FIndent = 0;
    bool FActive = false;
};

// Makes the label control of a bound label (owned by Host). The labels unit puts its own label
// class here at start-up (its destruction calls LabelDestroyed); without it a TacBoundLabelControl
// serves.
using TBoundLabelFactory = TCustomLabel* (*)(TControl* Host, TsBoundLabel* BoundLabel);
extern TBoundLabelFactory BoundLabelFactory;

// The plain label control of a bound label.
class TacBoundLabelControl : public TLabel {
    DECLARE_CLASS(TacBoundLabelControl, TLabel)
public:
    TacBoundLabelControl(TComponent* AOwner, TsBoundLabel* BoundLabel) : TLabel(AOwner), FBoundLabel(BoundLabel) {}
    void BeforeDestruction() override;

private:
    TsBoundLabel* FBoundLabel;
};

// ---------------------------------------------------------------------------------------------
// Parent background and colour queries

// Asks Parent for the background at the asker's place; when Parent does not answer, paints it into
// Info.DC (when Info.PaintNow was set on entry) or takes its background colour. True when Parent
// answered the command.
bool QueryParentBackground(ParentBackgroundInfo& Info, TControl* Parent, bool PaintNow);
// The same for a plain window; without an answer the default manager's main colour or clBtnFace.
bool QueryWindowBackground(ParentBackgroundInfo& Info, HWND Wnd, bool PaintNow);
// Kind 2 gives a bitmap source with the answer's offsets, anything else a colour source.
void ToBackgroundSource(const ParentBackgroundInfo& Info, BackgroundSource& Source);
// The parent window's background; EmptyBackgroundSource for a window without a parent.
void GetWindowParentBackgroundSource(HWND Wnd, BackgroundSource& Source);
