#pragma once

#include "framework/Handles.h"
#include "platform/Seams.h"

// Owners of the handles that come from a seam: they are released through the same seam, so a
// simulated world sees every close and can count what is still open.
namespace platform {

struct DeviceHandleTraits {
    using pointer = HANDLE;
    static pointer Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(pointer h) { DeviceIo().Close(h); }
};

struct RegKeyTraits {
    using pointer = HKEY;
    static pointer Invalid() { return nullptr; }
    static void Close(pointer h) { Registry().CloseKey(h); }
};

struct MixerHandleTraits {
    using pointer = HMIXER;
    static pointer Invalid() { return nullptr; }
    static void Close(pointer h) { Mixer().Close(h); }
};

using DeviceHandle = fw::UniqueHandle<DeviceHandleTraits>;
using RegKey = fw::UniqueHandle<RegKeyTraits>;
using MixerHandle = fw::UniqueHandle<MixerHandleTraits>;

}  // namespace platform
