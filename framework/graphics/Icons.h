// TIcon: an icon handle as a graphic, read from and written to ICO data.
#pragma once

#include "Graphic.h"

#include <string>

class TIcon : public TGraphic {
    DECLARE_CLASS(TIcon, TGraphic)
public:
    TIcon();
    ~TIcon() override;

    // An icon copies another icon (nil empties it).
    void Assign(TPersistent* Source) override;
    void Draw(TCanvas* ACanvas, const TRect& R) override;
    bool Empty() override;
    int Width() override;
    int Height() override;
    // Only while empty: the size wanted from the next ICO data read (the system's icon size
    // otherwise). A loaded icon raises EInvalidGraphicOperation "Cannot change the size of an icon".
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;

    // Made from the ICO data on first use. The icon owns it.
    HICON Handle();
    // Adopts an icon handle (0 empties).
    void SetHandle(HICON Value);
    bool HandleAllocated() const { return FHandle != nullptr; }
    // The handle passes to the caller, who destroys it; the icon is empty afterwards.
    HICON ReleaseHandle();

    // ICO data: the entry nearest the wanted size is used; the data is kept and written back as read.
    // Bad or short data raises EInvalidGraphic "Icon image is not valid".
    void LoadFromStream(TStream* Stream) override;
    // The data as read, or the handle's image as a 32-bit icon.
    void SaveToStream(TStream* Stream) override;

private:
    void FreeHandle();
    void ReadSize();
    HICON FHandle = nullptr;
    std::string FData;  // ICO data the icon came from
    int FWidth = 0;
    int FHeight = 0;
    int FRequestedWidth = 0;
    int FRequestedHeight = 0;
};
