#include "mixer/EndpointVolume.h"

#include <algorithm>
#include <cmath>

namespace mixer {
namespace {

bool IsLevel(float level) {
    return level >= 0.0f && level <= 1.0f;
}

// The endpoint's channels that a binding of `count` entries reads and writes one by one: none on
// a mono line or a mono endpoint, where the master level is the whole volume.
UINT SeparateChannels(platform::IEndpointVolume& endpoint, DWORD count, bool& ok) {
    UINT channels = 0;
    ok =
        SUCCEEDED(endpoint.GetChannelCount(&channels)) && channels >= 1 && channels <= kMaxChannels;
    if (!ok || count < 2 || channels < 2) return 0;
    return std::min<UINT>(channels, count);
}

}  // namespace

bool EndpointUsable(platform::IEndpointVolume& endpoint, DWORD channels) {
    bool ok = false;
    const UINT separate = SeparateChannels(endpoint, channels, ok);
    float level = std::nanf("");
    ok = ok && SUCCEEDED(endpoint.GetMasterScalar(&level)) && IsLevel(level);
    for (UINT c = 0; ok && c < separate; ++c) {
        level = std::nanf("");
        ok = SUCCEEDED(endpoint.GetChannelScalar(c, &level)) && IsLevel(level);
    }
    BOOL muted = -1;
    return ok && SUCCEEDED(endpoint.GetMute(&muted)) && (muted == FALSE || muted == TRUE);
}

bool ReadEndpoint(platform::IEndpointVolume& endpoint, EndpointRole role, DWORD minimum,
                  DWORD maximum, DWORD* values, DWORD count) {
    if (!values || count == 0) return false;
    if (role == EndpointRole::Mute) {
        BOOL muted = FALSE;
        if (FAILED(endpoint.GetMute(&muted))) return false;
        std::fill(values, values + count, muted ? 1u : 0u);
        return true;
    }
    bool ok = false;
    const UINT separate = SeparateChannels(endpoint, count, ok);
    float master = 0.0f;
    if (!ok || FAILED(endpoint.GetMasterScalar(&master))) return false;
    for (DWORD c = 0; c < count; ++c) {
        float level = master;
        if (c < separate && FAILED(endpoint.GetChannelScalar(c, &level))) return false;
        values[c] = ScalarToValue(level, minimum, maximum);
    }
    return true;
}

bool WriteEndpoint(platform::IEndpointVolume& endpoint, EndpointRole role, DWORD minimum,
                   DWORD maximum, const DWORD* values, DWORD count) {
    if (!values || count == 0) return false;
    if (role == EndpointRole::Mute) return SUCCEEDED(endpoint.SetMute(values[0] ? TRUE : FALSE));
    bool ok = false;
    const UINT separate = SeparateChannels(endpoint, count, ok);
    const DWORD louder = *std::max_element(values, values + count);
    if (!ok || FAILED(endpoint.SetMasterScalar(ValueToScalar(louder, minimum, maximum)))) {
        return false;
    }
    for (UINT c = 0; c < separate; ++c) {
        if (FAILED(endpoint.SetChannelScalar(c, ValueToScalar(values[c], minimum, maximum)))) {
            return false;
        }
    }
    return true;
}

}  // namespace mixer
