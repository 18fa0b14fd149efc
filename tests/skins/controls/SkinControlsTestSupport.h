// What the tests of the skinned controls share beyond the skin engine's support: reading a form
// from form text, library commands performed on a control, and pixels read from a control's window.
#pragma once

#include "../engine/SkinTestSupport.h"

#include "Filer.h"
#include "Streams.h"
#include "sPaintServices.h"

#include <string>

namespace skintests {

// Reads form text (as a form file holds it) into an existing component.
inline void ReadFormText(TComponent* Into, const std::string& Text) {
    std::string Binary = ObjectTextToBinary(Text);
    TOwned<TMemoryStream> S(Create<TMemoryStream>());
    S->WriteBuffer(Binary.data(), static_cast<LongInt>(Binary.size()));
    S->SetPosition(0);
    S->ReadComponent(Into);
}

inline LRESULT Command(TControl* C, Word Code, LPARAM LParam = 0) {
    return C->Perform(SM_ALPHACMD, SkinCommandParam(Code), LParam);
}

inline LPARAM ManagerParam(TsSkinManager* M) { return reinterpret_cast<LPARAM>(M); }

// Colours equal but for the rounding of alpha blends (one step per channel).
inline ::testing::AssertionResult NearColor(TColor Actual, TColor Expected) {
    for (int Shift : {0, 8, 16}) {
        int A = (Actual >> Shift) & 0xFF, E = (Expected >> Shift) & 0xFF;
        if (A - E > 1 || E - A > 1)
            return ::testing::AssertionFailure() << std::hex << "0x" << Actual << " is not near 0x" << Expected;
    }
    return ::testing::AssertionSuccess();
}

// A memory bitmap that controls paint into, read back as RGB colours.
class TCapturedImage {
public:
    TCapturedImage(int Width, int Height) {
        FBitmap = Create<TBitmap>();
        FBitmap->SetPixelFormat(pf24bit);
        FBitmap->SetSize(Width, Height);
    }
    ~TCapturedImage() { FreeAndNil(FBitmap); }
    HDC DC() { return FBitmap->Canvas()->Handle(); }
    void Fill(TColor Color) { FillRectSolid(DC(), Rect(0, 0, FBitmap->Width(), FBitmap->Height()), Color); }
    TColor Pixel(int X, int Y) { return static_cast<TColor>(GetPixel(DC(), X, Y)); }

private:
    TBitmap* FBitmap;
};

}  // namespace skintests
