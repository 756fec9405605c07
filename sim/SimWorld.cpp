#include "sim/SimWorld.h"

#include <cctype>

#include "device/UsbWalk.h"

// The simulated sibling library asks the program that loaded it for the world's answers.
extern "C" __declspec(dllexport) sim::SiblingState* QdSimSiblingState() {
    auto* world = dynamic_cast<sim::SimWorld*>(&platform::DeviceIo());
    return world ? &world->sibling : nullptr;
}

namespace sim {

namespace {

template <class T>
void Append(std::vector<T>& log, T entry) {
    if (log.size() >= SimWorld::kLogLimit) log.erase(log.begin(), log.begin() + log.size() / 2);
    log.push_back(std::move(entry));
}

}  // namespace

SimWorld::SimWorld() {
    m_firstRoot = bus.AddController(0, 4);
    m_adapterHub = m_firstRoot;
    const std::string second = bus.AddController(1, 2);
    const std::string hub = bus.AddHub(second, 2, 4);
    bus.Port(hub, 3).device = UsbDevice{0x1C4F, 0x0002};
    SetPlugged(true);
}

UsbDevice SimWorld::AdapterDevice() {
    return UsbDevice{static_cast<std::uint16_t>(usb::kMaskedVendorId ^ usb::kVendorMask),
                     static_cast<std::uint16_t>(usb::kProductHighBytes[0] << 8 | 0x01)};
}

void SimWorld::SetPlugged(bool plugged) {
    m_plugged = plugged;
    UsbPort& port = bus.Port(m_adapterHub, m_adapterPort);
    if (plugged) {
        port.device = AdapterDevice();
    } else {
        port.device.reset();
    }
    if (m_mixer) m_mixer->SetAdapterPresent(plugged);
    Changed();
}

void SimWorld::AttachMixer(SimMixer* mixer) {
    m_mixer = mixer;
    if (m_mixer) m_mixer->SetAdapterPresent(m_plugged);
}

void SimWorld::PlaceAdapter(const std::string& hub, int port) {
    const bool plugged = m_plugged;
    if (plugged) bus.Port(m_adapterHub, m_adapterPort).device.reset();
    m_adapterHub = hub;
    m_adapterPort = port;
    if (plugged) SetPlugged(true);
}

void SimWorld::FailEveryOpen(bool fail) {
    m_failOpens = fail;
    Changed();
}

void SimWorld::FailRequest(DWORD code, bool fail) {
    if (fail) {
        m_failingCodes.insert(code);
    } else {
        m_failingCodes.erase(code);
    }
    Changed();
}

void SimWorld::ClearLogs() {
    // Their memory goes too, so that leak tests see only what the program holds.
    std::vector<OpenCall>().swap(m_opens);
    std::vector<DriverRequest>().swap(m_requests);
    if (m_mixer) m_mixer->ClearLogs();
    Changed();
}

void SimWorld::Changed() const {
    if (m_observer) m_observer();
}

std::optional<SimWorld::Target> SimWorld::Resolve(const std::string& path) const {
    if (::lstrcmpiA(path.c_str(), device::kDevicePath) == 0) {
        if (!m_plugged) return std::nullopt;
        return Target{Target::Kind::Driver, 0, {}};
    }
    constexpr char kPrefix[] = "\\\\.\\";
    if (path.rfind(kPrefix, 0) != 0) return std::nullopt;
    const std::string name = path.substr(sizeof(kPrefix) - 1);
    if (name.size() == 4 && name.compare(0, 3, "HCD") == 0 &&
        std::isdigit(static_cast<unsigned char>(name[3]))) {
        const int number = name[3] - '0';
        const auto controller = bus.controllers.find(number);
        if (controller == bus.controllers.end() || controller->second.failOpen) {
            return std::nullopt;
        }
        return Target{Target::Kind::Controller, number, {}};
    }
    const auto hub = bus.hubs.find(name);
    if (hub == bus.hubs.end() || hub->second.failOpen) return std::nullopt;
    return Target{Target::Kind::Hub, 0, name};
}

HANDLE SimWorld::Open(const char* path, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
    const std::string name = path ? path : "";
    if (::lstrcmpiA(name.c_str(), device::kDevicePath) == 0) ++m_driverOpenAttempts;
    const std::optional<Target> target = m_failOpens ? std::nullopt : Resolve(name);
    Append(m_opens, OpenCall{name, access, share, disposition, flags, target.has_value()});
    if (!target) {
        Changed();
        ::SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    auto handle = reinterpret_cast<HANDLE>(m_nextHandle);
    m_nextHandle += 4;
    m_handles.emplace(handle, *target);
    Changed();
    return handle;
}

BOOL SimWorld::Control(HANDLE device, DWORD code, const void* in, DWORD inSize, void* out,
                       DWORD outSize, DWORD* returned) {
    if (returned) *returned = 0;
    const auto found = m_handles.find(device);
    if (found == m_handles.end()) {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const Target& target = found->second;
    bool ok = false;
    switch (target.kind) {
        case Target::Kind::Driver:
            return HandleDriverRequest(code, in, inSize, out, outSize, returned);
        case Target::Kind::Controller:
            ok = bus.ControllerRequest(target.controller, code, out, outSize, returned);
            break;
        case Target::Kind::Hub:
            ok = bus.HubRequest(target.hub, code, in, inSize, out, outSize, returned);
            break;
    }
    if (!ok) ::SetLastError(ERROR_GEN_FAILURE);
    return ok ? TRUE : FALSE;
}

BOOL SimWorld::HandleDriverRequest(DWORD code, const void* in, DWORD inSize, void* out,
                                   DWORD outSize, DWORD* returned) {
    const auto* bytes = static_cast<const std::uint8_t*>(in);
    sim::DriverRequest request{code, {}, false};
    if (bytes) request.input.assign(bytes, bytes + inSize);

    bool injected = m_failingCodes.count(code) != 0;
    if (m_failNext > 0) {
        --m_failNext;
        injected = true;
    }
    request.succeeded =
        !injected && m_plugged && driver.Handle(code, in, inSize, out, outSize, returned);
    const bool succeeded = request.succeeded;
    Append(m_requests, std::move(request));
    Changed();
    if (!succeeded) {
        ::SetLastError(ERROR_GEN_FAILURE);
        return FALSE;
    }
    return TRUE;
}

BOOL SimWorld::Close(HANDLE device) {
    if (m_handles.erase(device) == 0) {
        ++m_badCloses;
        ::SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

}  // namespace sim
