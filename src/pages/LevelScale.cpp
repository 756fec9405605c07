#include "pages/LevelScale.h"

#include <cmath>

namespace levels {

float GainForPosition(int position) {
    return static_cast<float>(std::pow(10.0, (kZeroDb - position) * 0.05));
}

int PositionForGain(float gain) {
    if (!(gain > 0.0f)) return kBottom;
    // Clamped while still a double: the conversion to int is then always in range.
    double position = std::round(kZeroDb - 20.0 * std::log10(static_cast<double>(gain)));
    if (position < kTop) position = kTop;
    if (position > kBottom) position = kBottom;
    return static_cast<int>(position);
}

}  // namespace levels
