#include "Graphics.h"

namespace {
bool Started = false;
}  // namespace

void GraphicsInitialization() {
    if (Started)
        return;
    Started = true;
    ScreenLogPixels = GetDeviceCaps(TextMeasureDC(), LOGPIXELSY);
    DefFontData.Height = -MulDiv(8, ScreenLogPixels, 72);
    RegisterGraphicsIdents();
    RegisterClasses({TFont::StaticClass(), TPen::StaticClass(), TBrush::StaticClass(), TBitmap::StaticClass(),
                     TIcon::StaticClass(), TPicture::StaticClass()});
    TPicture::RegisterFileFormat("bmp", "Bitmaps", TBitmap::StaticClass());
    TPicture::RegisterFileFormat("ico", "Icons", TIcon::StaticClass());
    TPicture::RegisterClipboardFormat(CF_BITMAP, TBitmap::StaticClass());
}

void GraphicsFinalization() {
    if (!Started)
        return;
    Started = false;
    TPicture::UnregisterGraphicClass(TBitmap::StaticClass());
    TPicture::UnregisterGraphicClass(TIcon::StaticClass());
    UnRegisterGraphicsIdents();
    FreeThemeServices();
    FreeMemoryContexts();
}
