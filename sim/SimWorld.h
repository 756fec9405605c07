#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Seams.h"
#include "sim/FilterDriver.h"
#include "sim/SiblingState.h"
#include "sim/SimMixer.h"
#include "sim/UsbTree.h"

namespace sim {

struct OpenCall {
    std::string path;
    DWORD access;
    DWORD share;
    DWORD disposition;
    DWORD flags;
    bool succeeded;
};

struct DriverRequest {
    DWORD code;
    std::vector<std::uint8_t> input;
    bool succeeded;
};

// The simulated outside world behind the device I/O seam: the USB buses with the adapter on one
// of their ports, its filter driver, and what its sibling library answers. It logs every open and
// every driver request, fails on demand and counts the handles it handed out, so tests can prove
// that nothing leaks.
class SimWorld final : public platform::IDeviceIo {
  public:
    // Two host controllers; the adapter plugged into the first root hub's first port, a hub with a
    // keyboard on the second controller.
    SimWorld();

    FilterDriver driver;
    UsbTree bus;
    SiblingState sibling;

    // The system's mixers: the adapter's comes and goes with the adapter from now on.
    void AttachMixer(SimMixer* mixer);

    // Plugging the adapter in puts it on its port and makes the driver's path openable.
    void SetPlugged(bool plugged);
    bool IsPlugged() const { return m_plugged; }
    // The port the adapter is (or will be) plugged into; moves it there if it is plugged in.
    void PlaceAdapter(const std::string& hub, int port);
    const std::string& FirstRootHub() const { return m_firstRoot; }

    // The adapter as its descriptor shows it: the real vendor id and a product id with one of the
    // accepted high bytes.
    static UsbDevice AdapterDevice();

    // Fault injection for the filter driver.
    void FailEveryOpen(bool fail);
    void FailRequest(DWORD code, bool fail = true);
    bool IsRequestFailing(DWORD code) const { return m_failingCodes.count(code) != 0; }
    void FailNextRequests(int count) { m_failNext = count; }
    bool IsFailingOpens() const { return m_failOpens; }

    // The logs keep the most recent entries; a simulator left running drops the oldest half
    // whenever one reaches kLogLimit.
    static constexpr std::size_t kLogLimit = 20000;
    const std::vector<OpenCall>& Opens() const { return m_opens; }
    // Attempts to open the filter driver's path, successful or not.
    int DriverOpenAttempts() const { return m_driverOpenAttempts; }
    const std::vector<DriverRequest>& Requests() const { return m_requests; }
    // The attached mixer's records go too.
    void ClearLogs();

    // Handles handed out and not yet closed, and closes of handles that were not open.
    int OpenHandles() const { return static_cast<int>(m_handles.size()); }
    int BadCloses() const { return m_badCloses; }

    // Called after every change a window showing this world would want to show.
    void SetObserver(std::function<void()> observer) { m_observer = std::move(observer); }
    // Lets the owner of the world report a change it made directly (driver state, faults).
    void Changed() const;

    HANDLE Open(const char* path, DWORD access, DWORD share, DWORD disposition,
                DWORD flags) override;
    BOOL Control(HANDLE device, DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
                 DWORD* returned) override;
    BOOL Close(HANDLE device) override;

  private:
    struct Target {
        enum class Kind { Driver, Controller, Hub };
        Kind kind;
        int controller = 0;
        std::string hub;
    };

    std::optional<Target> Resolve(const std::string& path) const;
    BOOL HandleDriverRequest(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
                             DWORD* returned);

    bool m_plugged = false;
    SimMixer* m_mixer = nullptr;
    std::string m_firstRoot;
    std::string m_adapterHub;
    int m_adapterPort = 1;
    bool m_failOpens = false;
    std::set<DWORD> m_failingCodes;
    int m_failNext = 0;
    std::vector<OpenCall> m_opens;
    std::vector<DriverRequest> m_requests;
    std::map<HANDLE, Target> m_handles;
    std::uintptr_t m_nextHandle = 0x5100;
    int m_badCloses = 0;
    int m_driverOpenAttempts = 0;
    std::function<void()> m_observer;
};

}  // namespace sim
