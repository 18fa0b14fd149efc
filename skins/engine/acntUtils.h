// Small routines the skin engine and the skinned controls share: skin settings read from
// initialisation text split into sections, words of a text split by a set of delimiter characters,
// string, number and rectangle helpers, published properties reached by name, paths and system
// queries, and the library's message box.
//
// Start-up: acntUtilsInitialization() decides Wow64NoComposition; acntUtilsFinalization() has
// nothing to release.
#pragma once

#include "Dialogs.h"
#include "Graphics.h"
#include "Icons.h"
#include "Lists.h"
#include "SysUtils.h"
#include "sConst.h"

#include <windows.h>

#include <bitset>
#include <string>
#include <string_view>

// ---------------------------------------------------------------------------------------------
// Initialisation text split into sections

// Sections becomes one string per section name with a TStringList of the section's lines as its
// object. The caller owns those lists; section lists already held by Sections are freed first.
void ParseIniSections(TStrings* Lines, TStringList* Sections);
// Frees the section lists that ParseIniSections put into Sections and empties it.
void FreeIniSections(TStringList* Sections);
// The value after "Ident=" in Section (both found without regard to case), not trimmed; Default
// when the section or the line is missing.
std::string GetSectionText(TStringList* Sections, const std::string& Section, const std::string& Ident,
                           const std::string& Default);
// GetSectionText as an integer; "0x1F" is read as hexadecimal; Default when it is not a number.
int GetSectionInteger(TStringList* Sections, const std::string& Section, int Default, const std::string& Ident);

// ---------------------------------------------------------------------------------------------
// Words: maximal runs of characters outside a delimiter set; positions are 1-based.

using TacCharSet = std::bitset<256>;
TacCharSet MakeCharSet(std::string_view Chars);

bool IsCharInSet(char Ch, const TacCharSet& Set);
// Position of the first character of the N-th word; 0 when S has fewer words.
int FindWordStart(int N, std::string_view S, const TacCharSet& Delims);
int FindWordStartBySet(int N, std::string_view S, const TacCharSet& Delims);
// The N-th word; empty when missing.
std::string GetWordAt(int N, std::string_view S, const TacCharSet& Delims);
int CountWords(std::string_view S, const TacCharSet& Delims);
int CountWordsBySet(std::string_view S, const TacCharSet& Delims);

// ---------------------------------------------------------------------------------------------
// Strings and numbers

// Count copies of Ch; empty for Count <= 0.
std::string MakeCharString(char Ch, int Count);
void FillStringWithChar(std::string& S, int Count, char Ch);
std::string RemoveChar(std::string_view S, char Ch);
// Every occurrence of Old replaced, scanning left to right; replaced text is not scanned again.
std::string ReplaceAll(std::string_view S, std::string_view Old, std::string_view New);
// Every character of S is in Set (True for an empty S).
bool HasOnlyChars(std::string_view S, const TacCharSet& Set);
inline std::string ChooseString(bool Cond, const std::string& A, const std::string& B) { return Cond ? A : B; }
inline int ChooseInteger(bool Cond, int A, int B) { return Cond ? A : B; }
inline int ClampToByte(int X) { return X < 0 ? 0 : (X > 255 ? 255 : X); }
inline bool IsBetween(int X, int Low, int High) { return Low <= X && X <= High; }
inline int LargerOf(int A, int B) { return A > B ? A : B; }
inline int SmallerOf(int A, int B) { return A < B ? A : B; }

// ---------------------------------------------------------------------------------------------
// Rectangles

inline TRect MakeRect(int Left, int Top, int Right, int Bottom) { return TRect{Left, Top, Right, Bottom}; }
inline int RectWidth(const TRect& R, bool NonNegative = false) {
    int W = R.Right - R.Left;
    return NonNegative && W < 0 ? 0 : W;
}
inline int RectHeight(const TRect& R, bool NonNegative = false) {
    int H = R.Bottom - R.Top;
    return NonNegative && H < 0 ? 0 : H;
}
// False when R is empty or lies wholly above, left of, right of or below Clip (touching edges count
// as outside).
bool RectIntersects(const TRect& Clip, const TRect& R);
// Both corners of Inner lie in Outer, Outer's right and bottom edges included.
bool RectContainsRect(const TRect& Outer, const TRect& Inner);

// ---------------------------------------------------------------------------------------------
// Published properties by name

bool PropertyExists(TObject* Obj, const std::string& Name);
// The object held by the property; nil when the property is missing or holds no object.
TObject* GetObjectPropByName(TObject* Obj, const std::string& Name);
// The ordinal value; -1 when the property is missing.
Int64 GetOrdPropByName(TObject* Obj, const std::string& Name);
void SetOrdPropByName(TObject* Obj, const std::string& Name, Int64 Value);
// The set property holds the element whose enumeration name is Element (compared with case).
bool SetPropHasElement(TObject* Obj, const std::string& Name, const std::string& Element);
// Includes or excludes one element of a set property by name; always False.
bool ChangeSetPropElement(TObject* Obj, const std::string& Name, const std::string& Element, bool Include);

// ---------------------------------------------------------------------------------------------
// Paths, files and system

// Empty stays empty; a final "/" becomes "\"; a one-character path (a drive letter) gets ":\".
std::string WithTrailingBackslash(const std::string& Path);
// The program's folder with its trailing backslash.
std::string GetAppFolder();
int SearchFirst(const std::string& Path, int Attr, TSearchRec& Rec);
int SearchNext(TSearchRec& Rec);
void SearchClose(TSearchRec& Rec);
// The shell's icon of an existing file (SHGFI_ICON added to Flags) as a new TIcon; nil when the file
// is missing or the shell gives no icon. The caller owns the icon.
TIcon* GetFileShellIcon(const std::string& FileName, UINT Flags);
bool IsWinXPOrLater();
bool RunsUnderWow64();
// lfHeight of the caption font; 0 when the system does not tell.
int GetCaptionFontHeight();
// A new font handle of the caption font (the caller deletes it); 0 when the system does not tell.
HFONT CreateCaptionFont();
// Serves the application's messages until Ms milliseconds have passed.
void DelayWithMessages(DWORD Ms);

// An entry point of a loaded library as the function type F; null when the library lacks it.
template <class F>
F LibraryProc(HMODULE Library, const char* Name) {
    return Library ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(Library, Name))) : nullptr;
}

// A 32-bit process on 64-bit Windows with desktop composition off: glowing is refused.
extern bool Wow64NoComposition;
// The desktop composes its windows (the platform's composition service answers yes).
bool DesktopCompositionEnabled();

// ---------------------------------------------------------------------------------------------
// Message box

// Where the dialog hook places the next message box; -1 when no position is asked for.
extern int MsgBoxPosX;
extern int MsgBoxPosY;

// DlgType: 0 warning, 1 error, 2 information, 3 confirmation, 4 custom. Gives the button pressed as
// MessageBox does. HelpCtx and HelpFileName are not used.
int SkinMessageBox(const std::string& Caption, const std::string& Text, int DlgType, TMsgDlgButtons Buttons,
                   int HelpCtx, int X, int Y, const std::string& HelpFileName);
int SkinMessageDlg(const std::string& Text, int DlgType, TMsgDlgButtons Buttons, int HelpCtx);
int ShowErrorBox(const std::string& Text);

void acntUtilsInitialization();
void acntUtilsFinalization();
