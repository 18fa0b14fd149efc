#include "sMaskData.h"

int GetMaskImageWidth(const TsMaskData& Mask) {
    return Mask.ImageCount == 0 ? 0 : (Mask.R.Right - Mask.R.Left) / Mask.ImageCount;
}

int GetMaskImageHeight(const TsMaskData& Mask) {
    return Mask.MaskType == -1 ? 0 : (Mask.R.Bottom - Mask.R.Top) / (Mask.MaskType + 1);
}
