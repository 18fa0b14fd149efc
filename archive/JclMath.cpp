#include "JclMath.h"

#include "JclUnitVersioning.h"

namespace {
const TUnitVersionInfo Banner = UnitBanner("JclMath", 3070, "common");
std::string RectangularFormat;
std::string PolarFormat;
}  // namespace

const std::string& JclComplexRectangularFormat() { return RectangularFormat; }
const std::string& JclComplexPolarFormat() { return PolarFormat; }

void JclMathInitialization() {
    RectangularFormat = "%g + %gi";
    PolarFormat = "%g e^%gi";
    RegisterProgramUnitBanner(Banner);
}

void JclMathFinalization() {
    std::string().swap(RectangularFormat);
    std::string().swap(PolarFormat);
    UnregisterProgramUnitBanners();
}
