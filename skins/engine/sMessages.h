// The library command message: one window message through which skinned controls, frames, hooks
// and the skin manager talk. WParam: low word a small argument, high word the command code;
// LParam: the command's pointer or value argument; the answer comes back in the message result.
// This is the one place the command codes are numbered.
//
// Start-up: sMessagesInitialization() registers the message name (the number used stays 0xA100).
#pragma once

#include "System.h"

#include <windows.h>

inline constexpr UINT SM_ALPHACMD = 0xA100;

inline constexpr Word SKIN_LOADED = 1;              // LParam = the skin manager
inline constexpr Word SKIN_REMOVED = 2;             // LParam = the skin manager
inline constexpr Word SKIN_REFRESH = 3;             // LParam = the skin manager
inline constexpr Word SKIN_GETPROVIDER = 4;         // result: the form's skin provider
inline constexpr Word SKIN_BEFORECHILDPAINT = 5;    // sent by the window hooks before a child paints
inline constexpr Word SKIN_ENDUPDATE = 6;           // leave the updating state and repaint
inline constexpr Word SKIN_ISSKINNED = 7;           // result 1 from every skin-aware window
inline constexpr Word SKIN_SETUPDATING = 8;         // low word 1 sets, 0 clears
inline constexpr Word SKIN_SETREPAINTONMOVE = 9;    // low word 1 sets, 0 clears
inline constexpr Word SKIN_GETSTALE = 10;           // result 1 when stale or updating
inline constexpr Word SKIN_GETHIDDEN = 11;          // result: the partly-clipped flag
inline constexpr Word SKIN_MARKSTALEIFTRANSPARENT = 12;
inline constexpr Word SKIN_SECTIONCHANGED = 13;
inline constexpr Word SKIN_POPUPSHAPING = 14;
inline constexpr Word SKIN_ANIMDONE = 16;
inline constexpr Word SKIN_MARKSTALE = 17;
inline constexpr Word SKIN_REPAINTNOW = 18;
inline constexpr Word SKIN_GETNONUNIFORM = 19;      // result 1 when the background is not one colour
inline constexpr Word SKIN_PARENTCHANGED = 20;      // low word 1 also redraws
inline constexpr Word SKIN_GETBGCOLOR = 21;         // LParam 0xFF00FF = no answer; result: RGB colour
inline constexpr Word SKIN_MARKHIDDEN = 22;
inline constexpr Word SKIN_PREPARECACHE = 23;
inline constexpr Word SKIN_DRAWIMAGE = 24;          // LParam = a TBitmap with one fade frame
inline constexpr Word SKIN_ADAPTCHILDREN = 25;      // LParam = a control, or 0 for the whole form
inline constexpr Word SKIN_GETSECTIONINDEX = 26;    // LParam = address of an Integer
inline constexpr Word SKIN_GETMANAGER = 27;
inline constexpr Word SKIN_READAPTCHILDREN = 28;
inline constexpr Word SKIN_HOTWINDOWSET = 29;       // LParam = the skin manager
inline constexpr Word SKIN_HOTWINDOWCLEARED = 30;   // LParam = the skin manager
inline constexpr Word SKIN_NOTIFYUPDATEBEGIN = 31;
inline constexpr Word SKIN_NOTIFYUPDATEEND = 32;
inline constexpr Word SKIN_GETBACKGROUND = 34;      // LParam = a ParentBackgroundInfo
inline constexpr Word SKIN_GETDISABLEDKIND = 35;
inline constexpr Word SKIN_FLAGS = 36;              // LParam 1 = recompute the plain flag
inline constexpr Word SKIN_REFRESHBORDER = 37;
inline constexpr Word SKIN_BEFORESCROLL = 51;
inline constexpr Word SKIN_AFTERSCROLL = 52;
inline constexpr Word SKIN_GETAPPLICATION = 60;     // result: the Application object
inline constexpr Word SKIN_GETCLIENTOFFSET = 61;

// The command code of a library command message, and the WParam that carries one.
inline Word SkinCommandOf(WPARAM WParam) { return HIWORD(WParam); }
inline WPARAM SkinCommandParam(Word Code, Word Low = 0) { return MAKEWPARAM(Low, Code); }

void sMessagesInitialization();
