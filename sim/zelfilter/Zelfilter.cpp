// The adapter's sibling library as the simulator build and the tests have it. It answers from the
// simulated world of the program that loaded it; in any other program it reports an installed
// adapter and a successful installation. Test builds leave out one export or the other.
#include <windows.h>

#include <type_traits>

#include "device/SiblingLibrary.h"
#include "sim/SiblingState.h"

namespace {

sim::SiblingState* State() {
    FARPROC address = ::GetProcAddress(::GetModuleHandleA(nullptr), sim::kSiblingStateExport);
    if (!address) return nullptr;
    auto get = reinterpret_cast<sim::SiblingStateExport>(reinterpret_cast<void (*)()>(address));
    return get();
}

}  // namespace

#ifndef ZELFILTER_WITHOUT_CHECK
extern "C" __declspec(dllexport) int IsDeviceInstalled() {
    sim::SiblingState* state = State();
    if (!state) return 1;
    ++state->checks;
    return state->deviceInstalled;
}
static_assert(std::is_same_v<decltype(&IsDeviceInstalled), device::SiblingFunction>);
#endif

#ifndef ZELFILTER_WITHOUT_INSTALL
extern "C" __declspec(dllexport) int AddUSBAudioFilter() {
    sim::SiblingState* state = State();
    if (!state) return 1;
    ++state->installs;
    if (state->installSucceeds) return 1;
    ::SetLastError(state->failureId);
    return 0;
}
static_assert(std::is_same_v<decltype(&AddUSBAudioFilter), device::SiblingFunction>);
#endif
