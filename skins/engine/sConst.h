// The skinning library's shared enumerations, event types, background records, global values,
// captions and the default class lists of foreign controls.
//
// Start-up: sConstInitialization() sets the empty background source, the key colour and the
// scroll-bar arrow width, then loads the captions; sConstFinalization() releases them.
#pragma once

#include "Classes.h"
#include "Graphics.h"
#include "ResStrings.h"
#include "TypInfo.h"

#include <windows.h>

#include <array>
#include <string>
#include <vector>

class TWinControl;
class TsSpeedButton;

// ---------------------------------------------------------------------------------------------
// Enumerations and event types (ordinals in the order given, from 0)

DECLARE_ENUM(TacAnimType, atFading, atAero)
DECLARE_ENUM(TacBtnEvent, beMouseEnter, beMouseLeave, beMouseDown, beMouseUp)
DECLARE_SET(TacBtnEvents, TacBtnEvent)
DECLARE_ENUM(TacAnimatEvent, aeMouseEnter, aeMouseLeave, aeMouseDown, aeMouseUp, aeGlobalDef)
DECLARE_SET(TacAnimatEvents, TacAnimatEvent)
DECLARE_ENUM(TacImgType, itisaBorder, itisaTexture, itisaGlyph, itisaGlow, itisaPngGlyph)
DECLARE_ENUM(TsDisabledGlyphKindItem, dgBlended, dgGrayed)
DECLARE_SET(TsDisabledGlyphKind, TsDisabledGlyphKindItem)
DECLARE_ENUM(TsDisabledKindItem, dkBlended, dkGrayed)
DECLARE_SET(TsDisabledKind, TsDisabledKindItem)
DECLARE_ENUM(TsCaptionLayout, sclLeft, sclTopLeft, sclTopCenter, sclTopRight)
DECLARE_ENUM(TPopupWindowAlign, pwaRight, pwaLeft)

// Lists of rectangles (window regions).
using TAOR = std::vector<TRect>;
// Root of the shell controls: a root-folder name or a path.
using TacRoot = std::string;

class TCanvas;
class TBitmap;
using TPaintEvent = TMethodOf<TObject*, TCanvas*>;
using TBmpPaintEvent = TMethodOf<TObject*, TBitmap*>;
DECLARE_EVENT_NAME(TPaintEvent)
DECLARE_EVENT_NAME(TBmpPaintEvent)

// ---------------------------------------------------------------------------------------------
// What lies behind a control

// The answer a parent gives to SKIN_GETBACKGROUND (LParam points to it). Askers set PaintNow (and,
// for painting, DC, R, X, Y) before asking; the query resets Kind.
struct ParentBackgroundInfo {
    TBitmap* Bmp = nullptr;  // kind 2: the answering control's cache, never freed by the asker
    TColor Color = 0;        // kind 1 (may be a system colour)
    int X = 0;               // kind 2: the asker's top-left corner in Bmp; with PaintNow the copy's source
    int Y = 0;
    TRect R{};  // with PaintNow: the rectangle of DC to fill
    Byte Kind = 0;  // 0 no answer, 1 colour, 2 bitmap
    bool PaintNow = false;
    HDC DC = nullptr;
};

// What painters take as the background of the image they paint.
struct BackgroundSource {
    TBitmap* Bmp = nullptr;
    int OffsetX = 0;  // the position in Bmp of the painted image's origin
    int OffsetY = 0;
    TColor Color = 0;  // RGB; 0xFF00FF when a bitmap is given
    bool HasBitmap = false;
};

// A bitmap source: colour 0xFF00FF, HasBitmap True.
BackgroundSource MakeBackgroundSource(TBitmap* Bmp, int OffsetX, int OffsetY);

// ---------------------------------------------------------------------------------------------
// Shared global values

// The transparent key of skin images; 0xFF00FF also stands for "no colour".
extern TColor KeyColor;
// Nothing behind: no bitmap, offsets -99, colour 0.
extern BackgroundSource EmptyBackgroundSource;
// A control that also receives every SKIN_REFRESH the manager broadcasts and the fade timers send.
extern TWinControl* RefreshTarget;
// The speed button whose drop-down menu is open.
extern TsSpeedButton* OpenMenuButton;
// Disabled kind handed from a skinned rich edit to the scroll-bar painting hook.
extern TsDisabledKind SharedDisabledKind;
// One paint structure shared by the window hooks' BeginPaint/EndPaint pairs.
extern PAINTSTRUCT SharedPaintStruct;
// Width of a scroll-bar arrow (SM_CXHSCROLL at start-up).
extern int ScrollBarArrowWidth;
// Text form of a Boolean, index False = 0.
extern const std::array<const char*, 2> BoolNames;

// ---------------------------------------------------------------------------------------------
// Library captions: resource strings of the library (a host translating resources translates the
// library), loaded into the strings below at start-up.

namespace sConstRes {
// The default loader takes the literal; a translating loader sees the library's string number too.
constexpr TResStringRec LibraryString(unsigned Id, const char* Text) { return TResStringRec{nullptr, Id, Text}; }
inline constexpr TResStringRec SRestore = LibraryString(58981, "Restore");
inline constexpr TResStringRec SMove = LibraryString(58980, "Move");
inline constexpr TResStringRec SSize = LibraryString(58979, "Size");
inline constexpr TResStringRec SMinimize = LibraryString(58978, "Minimize");
inline constexpr TResStringRec SMaximize = LibraryString(58977, "Maximize");
inline constexpr TResStringRec SClose = LibraryString(58976, "Close");
inline constexpr TResStringRec SAvailSkins = LibraryString(58964, "Available skins");
inline constexpr TResStringRec SInternalSkin = LibraryString(58963, "(internal)");
inline constexpr TResStringRec SFrameAdapterError =
    LibraryString(58950, "TsFrameAdapter adapter must be placed on the handled frame");
inline constexpr TResStringRec SOk = LibraryString(58992, "OK");
inline constexpr TResStringRec SCancel = LibraryString(58991, "Cancel");
inline constexpr TResStringRec SHelp = LibraryString(58990, "&Help");
inline constexpr TResStringRec SFileOpen = LibraryString(58970, "File open");
inline constexpr TResStringRec SSelectDir = LibraryString(58911, "Select directory");
inline constexpr TResStringRec SCreate = LibraryString(58910, "Create");
inline constexpr TResStringRec SErrorSettingCount = LibraryString(58962, "Error setting %s.Count");
inline constexpr TResStringRec SListBoxMustBeVirtual =
    LibraryString(58961, "Listbox (%s) style must be virtual in order to set Count");
}  // namespace sConstRes

extern std::string SRestore, SMove, SSize, SMinimize, SMaximize, SClose, SAvailSkins, SInternalSkin,
    SFrameAdapterError, SOk, SCancel, SHelp, SFileOpen, SSelectDir, SCreate, SErrorSettingCount,
    SListBoxMustBeVirtual;
inline constexpr const char* SRootCaption = "Root :";
// System strings 905 and 900 of User32's string table.
extern std::string User32String905, User32String900;

// ---------------------------------------------------------------------------------------------
// Foreign control classes: 18 categories of class names (one per line) that the skin manager skins
// with hook objects.

inline constexpr int ThirdPartyCategoryCount = 18;
// Caption and default list of each category, by category index.
extern const std::array<const char*, ThirdPartyCategoryCount> ThirdPartyCaptions;
extern const std::array<const char*, ThirdPartyCategoryCount> ThirdPartyDefaults;

class ThirdPartyList : public TPersistent {
    DECLARE_CLASS(ThirdPartyList, TPersistent)
public:
    static void DefineClass(TClassBuilder<ThirdPartyList>& B);

    // The text of a category; an index outside 0..17 reads "" and writes nothing.
    std::string GetString(int Index) const;
    void SetString(int Index, const std::string& Value);

private:
    std::array<std::string, ThirdPartyCategoryCount> FLists;
};

void sConstInitialization();
void sConstFinalization();
