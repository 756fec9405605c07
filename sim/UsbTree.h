#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace sim {

struct UsbDevice {
    std::uint16_t vendorId;
    std::uint16_t productId;
};

struct UsbPort {
    std::optional<UsbDevice> device;
    std::string hub;        // the name of the hub plugged in here, if any
    bool failInfo = false;  // its connection information request fails
};

struct UsbHub {
    std::vector<UsbPort> ports;
    bool failOpen = false;
    bool failNodeInfo = false;
    // What the controller or the parent hub reports as this hub's name length, when set.
    std::optional<ULONG> reportedNameLength;
};

struct HostController {
    std::string rootHub;
    bool failOpen = false;
    bool failRootHubName = false;
};

// The USB buses as the host controllers \\.\HCDn and the hubs answer for them. Hubs are found by
// name, so a port can name any hub, also one above it (a loop).
class UsbTree {
  public:
    std::map<int, HostController> controllers;
    std::map<std::string, UsbHub> hubs;

    // Returns the root hub's name.
    std::string AddController(int number, int ports);
    // An external hub on a port; returns its name (made up unless given).
    std::string AddHub(const std::string& parent, int port, int ports, std::string name = {});
    // 1-based, as USB counts ports.
    UsbPort& Port(const std::string& hub, int port);

    bool ControllerRequest(int number, DWORD code, void* out, DWORD outSize, DWORD* returned) const;
    bool HubRequest(const std::string& hub, DWORD code, const void* in, DWORD inSize, void* out,
                    DWORD outSize, DWORD* returned) const;

  private:
    int m_nextHub = 1;
};

}  // namespace sim
