#include "GraphicsColors.h"

#include "Classes.h"
#include "SysUtils.h"

namespace {
const TIdentMapEntry ColorMap[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
};

const TIdentMapEntry CharsetMap[] = {
    {ANSI_CHARSET, "ANSI_CHARSET"},
    {DEFAULT_CHARSET, "DEFAULT_CHARSET"},
    {SYMBOL_CHARSET, "SYMBOL_CHARSET"},
    {MAC_CHARSET, "MAC_CHARSET"},
    {SHIFTJIS_CHARSET, "SHIFTJIS_CHARSET"},
    {HANGEUL_CHARSET, "HANGEUL_CHARSET"},
    {JOHAB_CHARSET, "JOHAB_CHARSET"},
    {GB2312_CHARSET, "GB2312_CHARSET"},
    {CHINESEBIG5_CHARSET, "CHINESEBIG5_CHARSET"},
    {GREEK_CHARSET, "GREEK_CHARSET"},
    {TURKISH_CHARSET, "TURKISH_CHARSET"},
    {VIETNAMESE_CHARSET, "VIETNAMESE_CHARSET"},
    {HEBREW_CHARSET, "HEBREW_CHARSET"},
    {ARABIC_CHARSET, "ARABIC_CHARSET"},
    {BALTIC_CHARSET, "BALTIC_CHARSET"},
    {RUSSIAN_CHARSET, "RUSSIAN_CHARSET"},
    {THAI_CHARSET, "THAI_CHARSET"},
    {EASTEUROPE_CHARSET, "EASTEUROPE_CHARSET"},
    {OEM_CHARSET, "OEM_CHARSET"},
};

const TIdentMapEntry CursorMap[] = {
    {0, "crDefault"},     {-1, "crNone"},       {-2, "crArrow"},     {-3, "crCross"},     {-4, "crIBeam"},
    {-22, "crSizeAll"},   {-6, "crSizeNESW"},   {-7, "crSizeNS"},    {-8, "crSizeNWSE"},  {-9, "crSizeWE"},
    {-10, "crUpArrow"},   {-11, "crHourGlass"}, {-12, "crDrag"},     {-13, "crNoDrop"},   {-14, "crHSplit"},
    {-15, "crVSplit"},    {-16, "crMultiDrag"}, {-17, "crSQLWait"},  {-18, "crNo"},       {-19, "crAppStart"},
    {-20, "crHelp"},      {-21, "crHandPoint"}, {-22, "crSize"},
};

constexpr int Count(const auto& Map) { return static_cast<int>(sizeof Map / sizeof Map[0]); }
}  // namespace

TColor ColorToRGB(TColor Color) {
    if (Color < 0)
        return static_cast<TColor>(GetSysColor(Color & 0xFF));
    return Color;
}

bool ColorToIdent(LongInt Color, std::string& Ident) { return IntToIdentMap(Color, Ident, ColorMap, Count(ColorMap)); }

bool IdentToColor(const std::string& Ident, LongInt& Color) {
    return IdentToIntMap(Ident, Color, ColorMap, Count(ColorMap));
}

TColor StringToColor(const std::string& S) {
    LongInt Color;
    if (IdentToColor(S, Color))
        return Color;
    // "$80000012" names a system colour: hexadecimal numbers are 32-bit patterns.
    Int64 Value;
    if (TryStrToInt64(S, Value) && Value >= INT32_MIN && Value <= Int64(UINT32_MAX))
        return static_cast<TColor>(static_cast<std::uint32_t>(Value));
    return StrToInt(S);
}

std::string ColorToString(TColor Color) {
    std::string Ident;
    if (ColorToIdent(Color, Ident))
        return Ident;
    return "$" + IntToHex(Color, 8);
}

bool CharsetToIdent(LongInt Charset, std::string& Ident) {
    return IntToIdentMap(Charset, Ident, CharsetMap, Count(CharsetMap));
}

bool IdentToCharset(const std::string& Ident, LongInt& Charset) {
    return IdentToIntMap(Ident, Charset, CharsetMap, Count(CharsetMap));
}

bool CursorToIdent(LongInt Cursor, std::string& Ident) {
    return IntToIdentMap(Cursor, Ident, CursorMap, Count(CursorMap));
}

bool IdentToCursor(const std::string& Ident, LongInt& Cursor) {
    return IdentToIntMap(Ident, Cursor, CursorMap, Count(CursorMap));
}

void RegisterGraphicsIdents() {
    RegisterIntegerConsts("TColor", &IdentToColor, &ColorToIdent);
    RegisterIntegerConsts("TFontCharset", &IdentToCharset, &CharsetToIdent);
    RegisterIntegerConsts("TCursor", &IdentToCursor, &CursorToIdent);
}

void UnRegisterGraphicsIdents() {
    UnRegisterIntegerConsts("TColor", &IdentToColor, &ColorToIdent);
    UnRegisterIntegerConsts("TFontCharset", &IdentToCharset, &CharsetToIdent);
    UnRegisterIntegerConsts("TCursor", &IdentToCursor, &CursorToIdent);
}
