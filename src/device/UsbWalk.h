#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>

// The search for the adapter on the USB buses: every host controller \\.\HCD0 to \\.\HCD9, its
// root hub and the hubs below it, port by port.
namespace usb {

// The adapter's USB identity. The vendor id is kept only in masked form: a descriptor's vendor id
// XOR kVendorMask must equal kMaskedVendorId. Only the high byte of the product id counts.
inline constexpr std::uint16_t kVendorMask = 0x6D4B;
inline constexpr std::uint16_t kMaskedVendorId = 0x4F61;
inline constexpr std::array<std::uint8_t, 3> kProductHighBytes{0x10, 0x11, 0x20};

// Bounds on what controllers and hubs report, so that a faulty driver can neither make the walk
// allocate without limit nor recurse without end.
inline constexpr DWORD kMaxNameBytes = 64 * 1024;
inline constexpr std::size_t kMaxPathChars = 255;       // "\\.\" and the hub name
inline constexpr std::size_t kMaxExternalHubTiers = 5;  // the most USB allows below a root hub

inline constexpr int kHostControllers = 10;

bool IsAdapter(std::uint16_t vendorId, std::uint16_t productId);

// Whether a name length reported by a controller or hub is usable: it covers the record's header
// and at least the terminating character, and stays within kMaxNameBytes.
bool IsUsableNameLength(DWORD reported, DWORD header);

// True at the first port anywhere that holds the adapter.
bool FindAdapter();

}  // namespace usb
