#pragma once

// The two exports of the adapter's sibling library as the program calls them: looked up by their
// undecorated names, both taking nothing and returning a 32-bit int with the C calling
// convention. In a 32-bit process the convention is part of the contract (a __stdcall export
// would carry a decorated name and be a different function type); in a 64-bit one there is only
// one.
namespace device {

inline constexpr char kSiblingLibraryName[] = "Zelfilter.dll";
inline constexpr char kIsDeviceInstalled[] = "IsDeviceInstalled";
inline constexpr char kAddUsbAudioFilter[] = "AddUSBAudioFilter";

using SiblingFunction = int(__cdecl*)();
static_assert(sizeof(int) == 4);

}  // namespace device
