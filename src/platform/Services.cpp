#include "platform/Seams.h"
#include "platform/Win32Seams.h"

namespace platform {
namespace {

template <class Seam>
Seam*& Slot();

template <>
IDeviceIo*& Slot<IDeviceIo>() {
    static Win32DeviceIo win32;
    static IDeviceIo* current = &win32;
    return current;
}

template <>
IMixer*& Slot<IMixer>() {
    static Win32Mixer win32;
    static IMixer* current = &win32;
    return current;
}

template <>
ISound*& Slot<ISound>() {
    static Win32Sound win32;
    static ISound* current = &win32;
    return current;
}

template <>
IPrompts*& Slot<IPrompts>() {
    static Win32Prompts win32;
    static IPrompts* current = &win32;
    return current;
}

template <>
ISystem*& Slot<ISystem>() {
    static Win32System win32;
    static ISystem* current = &win32;
    return current;
}

template <>
IRegistry*& Slot<IRegistry>() {
    static Win32Registry win32;
    static IRegistry* current = &win32;
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

}  // namespace platform
