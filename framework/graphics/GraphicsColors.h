// Colours and character sets: TColor with the named and system colours, conversions to RGB and to
// and from identifiers, and the identifier tables that form streaming reads and writes.
#pragma once

#include "System.h"

#include <string>

// 0x00BBGGRR: red in the low byte. A system colour is 0x80000000 | COLOR_x (negative as a TColor)
// and resolves through GetSysColor; clNone and clDefault are markers, not colours.
using TColor = LongInt;

constexpr TColor SystemColor(int Index) { return static_cast<TColor>(0x80000000u | static_cast<unsigned>(Index)); }

constexpr TColor clScrollBar = SystemColor(COLOR_SCROLLBAR);
constexpr TColor clBackground = SystemColor(COLOR_BACKGROUND);
constexpr TColor clActiveCaption = SystemColor(COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = SystemColor(COLOR_INACTIVECAPTION);
constexpr TColor clMenu = SystemColor(COLOR_MENU);
constexpr TColor clWindow = SystemColor(COLOR_WINDOW);
constexpr TColor clWindowFrame = SystemColor(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = SystemColor(COLOR_MENUTEXT);
constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = SystemColor(COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = SystemColor(COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = SystemColor(COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = SystemColor(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = SystemColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SystemColor(COLOR_BTNSHADOW);
constexpr TColor clGrayText = SystemColor(COLOR_GRAYTEXT);
constexpr TColor clBtnText = SystemColor(COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = SystemColor(COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = SystemColor(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = SystemColor(COLOR_3DLIGHT);
constexpr TColor clInfoText = SystemColor(COLOR_INFOTEXT);
constexpr TColor clInfoBk = SystemColor(COLOR_INFOBK);

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// System colours become the current RGB value; every other value comes back unchanged.
TColor ColorToRGB(TColor Color);

// Identifiers of the colours above ("clBtnFace"); case-insensitive on reading.
bool ColorToIdent(LongInt Color, std::string& Ident);
bool IdentToColor(const std::string& Ident, LongInt& Color);
// An identifier or a number ("$00C08040", "255"); EConvertError for anything else.
TColor StringToColor(const std::string& S);
// The identifier, or "$00BBGGRR" for a colour without one.
std::string ColorToString(TColor Color);

// Character sets: the byte of LOGFONT.lfCharSet (DEFAULT_CHARSET 1, RUSSIAN_CHARSET 204 ...).
using TFontCharset = Byte;
bool CharsetToIdent(LongInt Charset, std::string& Ident);
bool IdentToCharset(const std::string& Ident, LongInt& Charset);

// Identifiers of the stock cursors ("crHourGlass" -11) for the controls' TCursor properties.
bool CursorToIdent(LongInt Cursor, std::string& Ident);
bool IdentToCursor(const std::string& Ident, LongInt& Cursor);

// Enters the identifier tables of TColor, TFontCharset and TCursor among the integer constants
// that form streaming consults (part of the graphics start-up).
void RegisterGraphicsIdents();
void UnRegisterGraphicsIdents();
