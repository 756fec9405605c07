#pragma once

#include <windows.h>

#include <array>

#include "device/DeviceRecords.h"

namespace sim {

// The adapter's filter driver as the program sees it: it keeps what it was told and answers the
// stream kind that a test or the simulator window sets.
class FilterDriver {
  public:
    bool filterOn = false;
    bool speakers51 = true;
    std::array<float, 6> gains{1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};  // by device::Channel
    device::BassRecord bass{200, 100, 300};
    bool surround = false;
    int surroundStarts = 0;  // start requests since the sweep was last stopped
    device::StreamRecord stream{};

    void SetStreamKind(device::StreamKind kind);
    float Gain(device::Channel channel) const { return gains[static_cast<int>(channel)]; }

    // One request; false for an unknown code or a buffer too small for it.
    bool Handle(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
                DWORD* returned);
};

// The request's name without its IOCTL_ prefix, or null for an unknown code.
const char* RequestName(DWORD code);

}  // namespace sim
