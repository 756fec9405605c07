#include "platform/Seams.h"
#include "platform/Win32Seams.h"

#include <algorithm>
#include <cstring>

namespace platform {
// The Win32 service each seam uses while no test has installed another (declarations only, for
// the type).
namespace defaults {
Win32DeviceIo DefaultFor(IDeviceIo*);
Win32Mixer DefaultFor(IMixer*);
Win32Sound DefaultFor(ISound*);
Win32Prompts DefaultFor(IPrompts*);
Win32System DefaultFor(ISystem*);
Win32Registry DefaultFor(IRegistry*);
Win32AudioEndpoints DefaultFor(IAudioEndpoints*);
}  // namespace defaults

namespace {

template <class Seam>
Seam*& Slot() {
    static decltype(defaults::DefaultFor(static_cast<Seam*>(nullptr))) win32;
    static Seam* current = &win32;
    return current;
}

}  // namespace

IDeviceIo& DeviceIo() {
    return *Slot<IDeviceIo>();
}
IMixer& Mixer() {
    return *Slot<IMixer>();
}
ISound& Sound() {
    return *Slot<ISound>();
}
IPrompts& Prompts() {
    return *Slot<IPrompts>();
}
ISystem& System() {
    return *Slot<ISystem>();
}
IRegistry& Registry() {
    return *Slot<IRegistry>();
}
IAudioEndpoints& AudioEndpoints() {
    return *Slot<IAudioEndpoints>();
}

bool EndpointNameMatches(const char* friendlyName, const char* mixerName) {
    constexpr std::size_t kMixerNameLength = MAXPNAMELEN - 1;
    if (!friendlyName || !mixerName || !*mixerName) return false;
    const std::size_t length = std::strlen(mixerName);
    const std::size_t friendly = std::strlen(friendlyName);
    return length == std::min(friendly, kMixerNameLength) &&
           std::strncmp(friendlyName, mixerName, length) == 0;
}

template <class Seam>
ScopedSeam<Seam>::ScopedSeam(Seam& replacement) : m_previous(Slot<Seam>()) {
    Slot<Seam>() = &replacement;
}

template <class Seam>
ScopedSeam<Seam>::~ScopedSeam() {
    Slot<Seam>() = m_previous;
}

template class ScopedSeam<IDeviceIo>;
template class ScopedSeam<IMixer>;
template class ScopedSeam<ISound>;
template class ScopedSeam<IPrompts>;
template class ScopedSeam<ISystem>;
template class ScopedSeam<IRegistry>;
template class ScopedSeam<IAudioEndpoints>;

}  // namespace platform
