#include "sim/UsbTree.h"

#include <winioctl.h>
#include <usbioctl.h>

#include <cstring>

namespace sim {
namespace {

constexpr char kHubInterface[] = "{f18a0e88-c30c-11d0-8815-00a0c906bed8}";

// Writes a name record: the reported length at lengthOffset, then as much of the UTF-16 name as
// fits the caller's buffer.
void WriteName(const std::string& name, std::optional<ULONG> reportedLength,
               std::size_t lengthOffset, std::size_t nameOffset, void* out, DWORD outSize,
               DWORD* returned) {
    std::wstring wide(name.begin(), name.end());
    const auto nameBytes = (wide.size() + 1) * sizeof(wchar_t);
    const ULONG length = reportedLength.value_or(static_cast<ULONG>(nameOffset + nameBytes));
    auto* bytes = static_cast<BYTE*>(out);
    std::memcpy(bytes + lengthOffset, &length, sizeof(length));
    if (outSize > nameOffset) {
        std::memcpy(bytes + nameOffset, wide.c_str(),
                    std::min<std::size_t>(nameBytes, outSize - nameOffset));
    }
    if (returned) *returned = std::min<DWORD>(outSize, length);
}

}  // namespace

std::string UsbTree::AddController(int number, int ports) {
    const std::string root =
        "USB#ROOT_HUB20#4&" + std::to_string(0x1A2B00 + number) + "&0#" + kHubInterface;
    controllers[number] = HostController{root};
    hubs[root].ports.resize(static_cast<std::size_t>(ports));
    return root;
}

std::string UsbTree::AddHub(const std::string& parent, int port, int ports, std::string name) {
    if (name.empty()) name = "USB#HUB#5&" + std::to_string(m_nextHub++) + "&0#" + kHubInterface;
    hubs[name].ports.resize(static_cast<std::size_t>(ports));
    Port(parent, port).hub = name;
    return name;
}

UsbPort& UsbTree::Port(const std::string& hub, int port) {
    return hubs.at(hub).ports.at(static_cast<std::size_t>(port - 1));
}

bool UsbTree::ControllerRequest(int number, DWORD code, void* out, DWORD outSize,
                                DWORD* returned) const {
    const auto controller = controllers.find(number);
    if (controller == controllers.end() || controller->second.failRootHubName) return false;
    if (code != IOCTL_USB_GET_ROOT_HUB_NAME || !out || outSize < sizeof(ULONG)) return false;
    const auto hub = hubs.find(controller->second.rootHub);
    const std::optional<ULONG> reported =
        hub != hubs.end() ? hub->second.reportedNameLength : std::nullopt;
    WriteName(controller->second.rootHub, reported, offsetof(USB_ROOT_HUB_NAME, ActualLength),
              offsetof(USB_ROOT_HUB_NAME, RootHubName), out, outSize, returned);
    return true;
}

bool UsbTree::HubRequest(const std::string& name, DWORD code, const void* in, DWORD inSize,
                         void* out, DWORD outSize, DWORD* returned) const {
    const auto found = hubs.find(name);
    if (found == hubs.end() || !out) return false;
    const UsbHub& hub = found->second;
    auto* bytes = static_cast<BYTE*>(out);

    if (code == IOCTL_USB_GET_NODE_INFORMATION) {
        if (hub.failNodeInfo || outSize < sizeof(USB_NODE_INFORMATION)) return false;
        USB_NODE_INFORMATION info{};
        info.NodeType = ::UsbHub;
        info.u.HubInformation.HubDescriptor.bDescriptorLength = 9;
        info.u.HubInformation.HubDescriptor.bDescriptorType = 0x29;
        info.u.HubInformation.HubDescriptor.bNumberOfPorts = static_cast<UCHAR>(hub.ports.size());
        std::memcpy(bytes, &info, sizeof(info));
        if (returned) *returned = sizeof(info);
        return true;
    }

    ULONG index = 0;
    if (!in || inSize < sizeof(index)) return false;
    std::memcpy(&index, in, sizeof(index));
    if (index < 1 || index > hub.ports.size()) return false;
    const UsbPort& port = hub.ports[index - 1];

    if (code == IOCTL_USB_GET_NODE_CONNECTION_INFORMATION) {
        if (port.failInfo || outSize < sizeof(USB_NODE_CONNECTION_INFORMATION)) return false;
        USB_NODE_CONNECTION_INFORMATION info{};
        info.ConnectionIndex = index;
        info.DeviceIsHub = !port.hub.empty();
        if (port.device) {
            info.DeviceDescriptor.bLength = sizeof(USB_DEVICE_DESCRIPTOR);
            info.DeviceDescriptor.idVendor = port.device->vendorId;
            info.DeviceDescriptor.idProduct = port.device->productId;
        }
        info.ConnectionStatus =
            port.device || !port.hub.empty() ? DeviceConnected : NoDeviceConnected;
        std::memcpy(bytes, &info, sizeof(info));
        if (returned) *returned = sizeof(info);
        return true;
    }

    if (code == IOCTL_USB_GET_NODE_CONNECTION_NAME) {
        if (port.hub.empty() || outSize < offsetof(USB_NODE_CONNECTION_NAME, NodeName))
            return false;
        const auto child = hubs.find(port.hub);
        const std::optional<ULONG> reported =
            child != hubs.end() ? child->second.reportedNameLength : std::nullopt;
        WriteName(port.hub, reported, offsetof(USB_NODE_CONNECTION_NAME, ActualLength),
                  offsetof(USB_NODE_CONNECTION_NAME, NodeName), out, outSize, returned);
        return true;
    }
    return false;
}

}  // namespace sim
