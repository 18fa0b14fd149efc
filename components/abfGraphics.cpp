#include "abfGraphics.h"

#include "Classes.h"

namespace {
constexpr LongInt Rgb(int R, int G, int B) { return R | (G << 8) | (B << 16); }

// In the order of the set's documentation, read down its three columns.
const TIdentMapEntry ExtraColors[] = {
    {Rgb(144, 48, 0), "clBrown"},        {Rgb(48, 48, 0), "clOliveGreen"},   {Rgb(0, 48, 0), "clDarkGreen"},
    {Rgb(0, 48, 96), "clDarkTeal"},      {Rgb(48, 48, 144), "clIndigo"},     {Rgb(48, 48, 48), "clNight"},
    {Rgb(255, 104, 0), "clOrange"},      {Rgb(96, 96, 144), "clBlueGray"},   {Rgb(255, 152, 0), "clLightOrange"},
    {Rgb(48, 152, 96), "clSeaGreen"},    {Rgb(48, 104, 255), "clLightBlue"}, {Rgb(144, 144, 144), "clMetal"},
    {Rgb(255, 200, 0), "clGold"},        {Rgb(144, 48, 96), "clPlum"},       {Rgb(255, 152, 208), "clRose"},
    {Rgb(255, 200, 160), "clTan"},       {Rgb(255, 255, 144), "clLightYellow"},
    {Rgb(208, 255, 208), "clLightGreen"}, {Rgb(192, 255, 255), "clLightTurquoise"},
    {Rgb(144, 200, 255), "clPaleBlue"},  {Rgb(192, 152, 255), "clLavender"},
};
constexpr int ExtraColorCount = sizeof ExtraColors / sizeof ExtraColors[0];
static_assert(ExtraColorCount == 21);

bool Registered = false;
}  // namespace

bool ColorToIdentEx(LongInt Color, std::string& Ident) {
    return IntToIdentMap(Color, Ident, ExtraColors, ExtraColorCount) || ColorToIdent(Color, Ident);
}

bool IdentToColorEx(const std::string& Ident, LongInt& Color) {
    return IdentToIntMap(Ident, Color, ExtraColors, ExtraColorCount) || IdentToColor(Ident, Color);
}

TColor PixelColorUnderCursor() {
    POINT P{};
    GetCursorPos(&P);
    HWND Desktop = GetDesktopWindow();
    HDC DC = GetDC(Desktop);
    COLORREF C = GetPixel(DC, P.x, P.y);
    ReleaseDC(Desktop, DC);
    return static_cast<TColor>(C);
}

void abfGraphicsInitialization() {
    if (Registered)
        return;
    RegisterIntegerConsts("TColor", IdentToColorEx, ColorToIdentEx);
    Registered = true;
}

void abfGraphicsFinalization() {
    if (!Registered)
        return;
    UnRegisterIntegerConsts("TColor", IdentToColorEx, ColorToIdentEx);
    Registered = false;
}
