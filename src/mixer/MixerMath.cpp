#include "mixer/MixerMath.h"

#include <algorithm>
#include <cmath>

namespace mixer {
namespace {

constexpr double kMaxValue = 4294967295.0;

// Truncates towards zero into a control value; out-of-range and NaN results are pinned.
DWORD ToValue(double x) {
    if (!(x > 0.0)) return 0;
    if (x >= kMaxValue) return 0xFFFFFFFFu;
    return static_cast<DWORD>(x);
}

int ClampPosition(std::int64_t position) {
    return static_cast<int>(std::clamp<std::int64_t>(position, 0, kTopPosition));
}

}  // namespace

DWORD ItemIndex(DWORD version, DWORD index, DWORD connections) {
    const DWORD major = LOBYTE(LOWORD(version));
    const DWORD minor = HIBYTE(LOWORD(version));
    const bool inSourceOrder = (major < 5 && minor <= 10) || (major == 5 && minor == 0);
    if (inSourceOrder || index >= connections) return index;
    return connections - 1 - index;
}

Scale ScaleOf(DWORD minimum, DWORD maximum) {
    Scale scale;
    if (maximum > minimum) scale.range = static_cast<std::int64_t>(maximum) - minimum;
    scale.step = scale.range / kTopPosition;
    return scale;
}

DWORD ThumbValue(int position, const Scale& scale) {
    const std::int64_t p = ClampPosition(position);
    if (scale.step > 0) return static_cast<DWORD>(p * scale.step);
    return static_cast<DWORD>(p * scale.range / kTopPosition);
}

DWORD Louder(DWORD left, DWORD right, bool stereo) {
    return stereo ? std::max(left, right) : left;
}

bool BalanceRatio(DWORD left, DWORD right, float& ratio) {
    const DWORD louder = std::max(left, right);
    if (louder == 0) return false;
    const auto difference = static_cast<std::int64_t>(right) - static_cast<std::int64_t>(left);
    ratio = static_cast<float>(static_cast<double>(difference) / static_cast<double>(louder));
    return true;
}

int VolumePosition(DWORD louder, const Scale& scale) {
    if (scale.step > 0) return ClampPosition(louder / scale.step);
    if (scale.range > 0) return ClampPosition(louder * std::int64_t{kTopPosition} / scale.range);
    return 0;
}

int BalancePosition(float ratio) {
    const float clamped = std::isnan(ratio) ? 0.0f : std::clamp(ratio, -1.0f, 1.0f);
    return ClampPosition(static_cast<std::int64_t>((clamped + 1.0f) * kTopPosition * 0.5f));
}

Channels VolumeWrite(DWORD value, float ratio, Channels current, bool stereo) {
    if (!stereo) return {value, current.right};
    const double r = std::isnan(ratio) ? 0.0 : std::clamp(static_cast<double>(ratio), -1.0, 1.0);
    if (r > 0.0) return {ToValue((1.0 - r) * value), value};
    return {value, ToValue((1.0 + r) * value)};
}

Channels BalanceWrite(DWORD value, int position, const Scale& scale, DWORD louder) {
    // Where the thumb stands between the far left (0) and the far right (1). A control without a
    // span has no value to go by, so its thumb's position says it.
    const double share = scale.range > 0
                             ? static_cast<double>(value) / scale.range
                             : static_cast<double>(ClampPosition(position)) / kTopPosition;
    const bool rightOfHalf =
        scale.range > 0 ? value > scale.range / 2 : ClampPosition(position) > kMiddlePosition;
    if (rightOfHalf) return {ToValue((1.0 - share) * 2.0 * louder), louder};
    if (scale.range > 0) {
        // 2 × value stays within the span here, so the product fits 64 unsigned bits.
        const std::uint64_t right =
            2 * std::uint64_t{value} * louder / static_cast<std::uint64_t>(scale.range);
        return {louder, static_cast<DWORD>(std::min<std::uint64_t>(right, louder))};
    }
    return {louder, ToValue(2.0 * share * louder)};
}

RECT KnobRect(const RECT& thumb, bool vertical, SIZE knob) {
    RECT rect{};
    if (vertical) {
        rect.left = knob.cx / 2 - 1;
        rect.right = rect.left + knob.cx;
        rect.top = std::max(0L, thumb.top + ((thumb.bottom - thumb.top) / 2 - knob.cy / 2));
        rect.bottom = rect.top + knob.cy;
    } else {
        rect.top = 0;
        rect.bottom = knob.cy;
        rect.left = thumb.left + ((thumb.right - thumb.left) / 2 - knob.cx / 2);
        rect.right = rect.left + knob.cx;
    }
    return rect;
}

DWORD ScalarToValue(float level, DWORD minimum, DWORD maximum) {
    if (maximum <= minimum || !(level > 0.0f)) return minimum;
    if (level >= 1.0f) return maximum;
    const double span = static_cast<double>(maximum) - minimum;
    return minimum + static_cast<DWORD>(std::lround(level * span));
}

float ValueToScalar(DWORD value, DWORD minimum, DWORD maximum) {
    if (maximum <= minimum) return 0.0f;
    const DWORD clamped = std::clamp(value, minimum, maximum);
    return static_cast<float>((static_cast<double>(clamped) - minimum) /
                              (static_cast<double>(maximum) - minimum));
}

EndpointRole EndpointRoleOf(DWORD destinationType, bool destinationOnly, DWORD controlType) {
    const bool endpointLine =
        (destinationType == MIXERLINE_COMPONENTTYPE_DST_SPEAKERS && destinationOnly) ||
        destinationType == MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
    if (!endpointLine) return EndpointRole::None;
    if (controlType == MIXERCONTROL_CONTROLTYPE_VOLUME) return EndpointRole::Volume;
    if (controlType == MIXERCONTROL_CONTROLTYPE_MUTE) return EndpointRole::Mute;
    return EndpointRole::None;
}

}  // namespace mixer
