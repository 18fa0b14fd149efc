// The skin options text ("Options.dat", the options entry of a packed skin, the common sections of
// a skin manager): the skin-wide values of GLOBALINFO, the per-section keys with their defaults and
// their inheritance through PARENTCLASS, and the grammars of the values that name images.
//
//   ReadSkinGlobalInfo(Ini, Manager->SkinData);
//   TsGeneralData D;  ReadSkinSection(Ini, "EDIT", D);
//   TSkinImageValue V = ParseSkinImageKey("EDIT", "BORDERSMASK", Ini->ReadString("EDIT", "BORDERSMASK", ""));
#pragma once

#include "IniFiles.h"
#include "sSkinManager.h"
#include "sStyleSimply.h"

#include <string>

// The section of the skin-wide values.
inline constexpr const char* SkinGlobalSection = "GLOBALINFO";
// The key of GLOBALINFO that names the master bitmap.
inline constexpr const char* SkinMasterBitmapKey = "MASTERBITMAP";

// ---------------------------------------------------------------------------------------------
// Inherited lookup: the key in Section, else in the section its PARENTCLASS names, and so on up;
// the default only when no section of the chain has it. A string "?" and an integer -1 count as
// absent; a PARENTCLASS naming its own section ends the chain, and no section is visited twice.

std::string ReadSkinString(TCustomIniFile* Ini, const std::string& Section, const std::string& Key,
                           const std::string& Default);
int ReadSkinInteger(TCustomIniFile* Ini, const std::string& Section, const std::string& Key, int Default);
// True only for the text "TRUE" in any case.
bool ReadSkinBool(TCustomIniFile* Ini, const std::string& Section, const std::string& Key, bool Default);

// The GLOBALINFO values into the skin-wide record (MAXHEIGHT 0 stored as TITLEHEIGHT). The shadow
// and glow values are converted strictly: text that is no integer raises EConvertError.
void ReadSkinGlobalInfo(TCustomIniFile* Ini, TsSkinData* Data);
// One section's record: SectionName, ParentClass read plainly, every other key inherited, the
// gradient texts parsed unless they are " ", the image indexes -1. A gradient that is no list of
// integers raises EConvertError.
void ReadSkinSection(TCustomIniFile* Ini, const std::string& Section, TsGeneralData& Data);
// One section of a manager's common sections (split by ParseIniSections): each key present there
// is read (a number that does not convert keeps the inherited value), every missing key comes from
// Parent, the skin section it names, or without one from the defaults above. GLOW, GLOWMARGIN,
// HGSIZE and GSIZE are 0 when missing; only an explicit -1 takes them from Parent. ParentClass is
// left to the caller.
void ReadCommonSection(TStringList* Sections, const std::string& Section, const TsGeneralData* Parent,
                       TsGeneralData& Data);

// ---------------------------------------------------------------------------------------------
// Image values

enum class TSkinImageKind {
    None,          // no image: not an image grammar, or a key of the options themselves
    NoImage,       // "#" alone: the section has no image for the key
    FileImage,     // "!": a ".BMP" or ".PNG" file of its own; FileName set
    BitmapFile,    // a value naming a ".BMP" file, upper-cased into FileName; three states, one mask
    MasterGlyph,   // "@": a glyph in the master bitmap
    MasterBorder,  // "^": a border image in the master bitmap
    MasterTexture, // "~": a texture in the master bitmap
    MasterFree,    // "#(L,T,R,B)(ImageCount,MaskType,BorderWidth,StretchMode)" in the master bitmap
};

// What a value says: the kind, the file to load, and the mask fields it gives (R in the master
// bitmap; counts, kind and border widths as far as the value fixes them).
struct TSkinImageValue {
    TSkinImageKind Kind = TSkinImageKind::None;
    std::string FileName;
    TsMaskData Mask;
};

// Classifies one value by its first character, then by its content. Fixed-column and free-form
// values whose numbers do not convert raise EConvertError. Border widths are derived where the
// grammar asks for it and the rectangle is known ("^", "#"); file images get them from
// DeriveBorderWidths once their bitmap is loaded.
TSkinImageValue ParseSkinImageValue(const std::string& Value);
// The same for a key of a section: None for MASTERBITMAP of GLOBALINFO and for the keys of the
// options themselves (skin-wide keys in GLOBALINFO, per-section keys everywhere), whose texts may
// hold "#" or ".BMP" without naming an image.
TSkinImageValue ParseSkinImageKey(const std::string& Section, const std::string& Key, const std::string& Value);
bool IsSkinOptionKey(const std::string& Section, const std::string& Key);

// When WL + WT + WR + WB is 0: all four BorderWidth when that is given, else WL = WR = width of R
// div (ImageCount x 3) and WT = WB = height of R div ((MaskType + 1) x 3). A zero divisor raises
// EConvertError "Division by zero".
void DeriveBorderWidths(TsMaskData& Mask);

// A value naming a JPEG texture: upper-cased it contains ".JPG" or ".JPEG".
bool IsSkinPatternValue(const std::string& Value);
