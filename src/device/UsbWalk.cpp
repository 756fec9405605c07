#include "device/UsbWalk.h"

#include <winioctl.h>
#include <usbioctl.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/Handles.h"

namespace usb {
namespace {

using Chain = std::vector<std::string>;  // the hubs above the one being examined, root first

constexpr DWORD kRootNameProbe = 8;
constexpr DWORD kConnectionNameProbe = 12;
constexpr DWORD kNodeInfoBytes = 80;
constexpr DWORD kConnectionInfoBytes = 40;
static_assert(sizeof(USB_NODE_INFORMATION) <= kNodeInfoBytes);
static_assert(sizeof(USB_NODE_CONNECTION_INFORMATION) <= kConnectionInfoBytes);

// The hub driver's records are byte-packed and the same in a 32-bit and a 64-bit process; these
// are the places the walk reads and writes.
static_assert(offsetof(USB_NODE_INFORMATION, u.HubInformation.HubDescriptor.bNumberOfPorts) == 6);
static_assert(offsetof(USB_NODE_CONNECTION_INFORMATION, ConnectionIndex) == 0);
static_assert(offsetof(USB_NODE_CONNECTION_INFORMATION, DeviceDescriptor.idVendor) == 12);
static_assert(offsetof(USB_NODE_CONNECTION_INFORMATION, DeviceDescriptor.idProduct) == 14);
static_assert(offsetof(USB_NODE_CONNECTION_INFORMATION, DeviceIsHub) == 24);
static_assert(offsetof(USB_ROOT_HUB_NAME, ActualLength) == 0);
static_assert(offsetof(USB_ROOT_HUB_NAME, RootHubName) == 4);
static_assert(offsetof(USB_NODE_CONNECTION_NAME, ConnectionIndex) == 0);
static_assert(offsetof(USB_NODE_CONNECTION_NAME, ActualLength) == 4);
static_assert(offsetof(USB_NODE_CONNECTION_NAME, NodeName) == 8);
static_assert(IOCTL_USB_GET_ROOT_HUB_NAME == 0x220408 &&
              IOCTL_USB_GET_NODE_INFORMATION == 0x220408 &&
              IOCTL_USB_GET_NODE_CONNECTION_INFORMATION == 0x22040C &&
              IOCTL_USB_GET_NODE_CONNECTION_NAME == 0x220414);

constexpr DWORD kRootNameHeader = offsetof(USB_ROOT_HUB_NAME, RootHubName);
constexpr DWORD kConnectionNameHeader = offsetof(USB_NODE_CONNECTION_NAME, NodeName);

platform::DeviceHandle OpenUsb(const std::string& path) {
    return platform::DeviceHandle(
        platform::DeviceIo().Open(path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, OPEN_EXISTING, 0));
}

// The USB requests pass the same buffer in and out.
bool Request(HANDLE handle, DWORD code, std::vector<BYTE>& buffer) {
    DWORD returned = 0;
    const auto size = static_cast<DWORD>(buffer.size());
    return platform::DeviceIo().Control(handle, code, buffer.data(), size, buffer.data(), size,
                                        &returned) != FALSE;
}

template <class T>
T Field(const std::vector<BYTE>& buffer, std::size_t offset) {
    T value{};
    std::memcpy(&value, buffer.data() + offset, sizeof(T));
    return value;
}

template <class T>
void SetField(std::vector<BYTE>& buffer, std::size_t offset, T value) {
    std::memcpy(buffer.data() + offset, &value, sizeof(T));
}

// The UTF-16 name from offset up to its terminator or the end of the buffer, in the ANSI code
// page.
std::string NameAt(const std::vector<BYTE>& buffer, std::size_t offset) {
    std::wstring wide((buffer.size() - offset) / sizeof(wchar_t), L'\0');
    std::memcpy(wide.data(), buffer.data() + offset, wide.size() * sizeof(wchar_t));
    wide.resize(std::wcslen(wide.c_str()));
    if (wide.empty()) return {};
    const int length = static_cast<int>(wide.size());
    const int bytes =
        ::WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string name(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), length, name.data(), bytes, nullptr, nullptr);
    return name;
}

// Asks a controller for its root hub's name: a probe for the length, then the whole record.
std::optional<std::string> RootHubName(HANDLE controller) {
    std::vector<BYTE> probe(kRootNameProbe, 0);
    if (!Request(controller, IOCTL_USB_GET_ROOT_HUB_NAME, probe)) return std::nullopt;
    const auto length = Field<ULONG>(probe, offsetof(USB_ROOT_HUB_NAME, ActualLength));
    if (!IsUsableNameLength(length, kRootNameHeader)) return std::nullopt;
    std::vector<BYTE> record(length, 0);
    if (!Request(controller, IOCTL_USB_GET_ROOT_HUB_NAME, record)) return std::nullopt;
    return NameAt(record, kRootNameHeader);
}

// Asks a hub for the name of the hub on one of its ports.
std::optional<std::string> ConnectionName(HANDLE hub, ULONG port) {
    std::vector<BYTE> record(kConnectionNameProbe, 0);
    SetField(record, offsetof(USB_NODE_CONNECTION_NAME, ConnectionIndex), port);
    if (!Request(hub, IOCTL_USB_GET_NODE_CONNECTION_NAME, record)) return std::nullopt;
    const auto length = Field<ULONG>(record, offsetof(USB_NODE_CONNECTION_NAME, ActualLength));
    if (!IsUsableNameLength(length, kConnectionNameHeader)) return std::nullopt;
    if (length > kConnectionNameProbe) {
        record.assign(length, 0);
        SetField(record, offsetof(USB_NODE_CONNECTION_NAME, ConnectionIndex), port);
        if (!Request(hub, IOCTL_USB_GET_NODE_CONNECTION_NAME, record)) return std::nullopt;
    }
    return NameAt(record, kConnectionNameHeader);
}

bool ExamineHub(const std::string& name, Chain& chain);

bool SearchPorts(HANDLE hub, Chain& chain) {
    std::vector<BYTE> node(kNodeInfoBytes, 0);
    if (!Request(hub, IOCTL_USB_GET_NODE_INFORMATION, node)) return false;
    const auto ports = Field<UCHAR>(
        node, offsetof(USB_NODE_INFORMATION, u.HubInformation.HubDescriptor.bNumberOfPorts));

    for (ULONG port = 1; port <= ports; ++port) {
        std::vector<BYTE> info(kConnectionInfoBytes, 0);
        SetField(info, offsetof(USB_NODE_CONNECTION_INFORMATION, ConnectionIndex), port);
        if (!Request(hub, IOCTL_USB_GET_NODE_CONNECTION_INFORMATION, info)) continue;
        const auto vendor = Field<USHORT>(
            info, offsetof(USB_NODE_CONNECTION_INFORMATION, DeviceDescriptor.idVendor));
        const auto product = Field<USHORT>(
            info, offsetof(USB_NODE_CONNECTION_INFORMATION, DeviceDescriptor.idProduct));
        if (IsAdapter(vendor, product)) return true;
        if (!Field<BOOLEAN>(info, offsetof(USB_NODE_CONNECTION_INFORMATION, DeviceIsHub))) continue;
        const std::optional<std::string> child = ConnectionName(hub, port);
        if (child && ExamineHub(*child, chain)) return true;
    }
    return false;
}

// A hub deeper than USB allows, one already on the way down (a hub that names itself or a loop),
// or a path too long for the name buffer is not examined; the search goes on elsewhere.
bool ExamineHub(const std::string& name, Chain& chain) {
    if (chain.size() > kMaxExternalHubTiers) return false;
    if (std::find(chain.begin(), chain.end(), name) != chain.end()) return false;
    const std::string path = "\\\\.\\" + name;
    if (name.empty() || path.size() > kMaxPathChars) return false;
    platform::DeviceHandle hub = OpenUsb(path);
    if (!hub) return false;
    chain.push_back(name);
    const bool found = SearchPorts(hub.Get(), chain);
    chain.pop_back();
    return found;
}

}  // namespace

bool IsAdapter(std::uint16_t vendorId, std::uint16_t productId) {
    if (static_cast<std::uint16_t>(vendorId ^ kVendorMask) != kMaskedVendorId) return false;
    const auto high = static_cast<std::uint8_t>(productId >> 8);
    return std::find(kProductHighBytes.begin(), kProductHighBytes.end(), high) !=
           kProductHighBytes.end();
}

bool IsUsableNameLength(DWORD reported, DWORD header) {
    return reported >= header + sizeof(wchar_t) && reported <= kMaxNameBytes;
}

bool FindAdapter() {
    for (int number = 0; number < kHostControllers; ++number) {
        char path[16];
        ::wsprintfA(path, "\\\\.\\HCD%d", number);
        platform::DeviceHandle controller = OpenUsb(path);
        if (!controller) continue;
        const std::optional<std::string> root = RootHubName(controller.Get());
        if (!root) continue;
        Chain chain;
        const bool found = ExamineHub(*root, chain);
        controller.Reset();
        if (found) return true;
    }
    return false;
}

}  // namespace usb
