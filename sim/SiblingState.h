#pragma once

#include <windows.h>

// What the simulated sibling library answers. The library finds it through a function the host
// program exports, so the simulator build and the tests steer it from their simulated world.
namespace sim {

struct SiblingState {
    int deviceInstalled = 1;  // IsDeviceInstalled
    int installSucceeds = 1;  // AddUSBAudioFilter
    DWORD failureId = 65334;  // the last error a failed installation leaves: a message's string id
    int checks = 0;
    int installs = 0;
};

using SiblingStateExport = SiblingState* (*)();
inline constexpr char kSiblingStateExport[] = "QdSimSiblingState";

}  // namespace sim
