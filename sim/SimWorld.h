#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Seams.h"
#include "sim/FilterDriver.h"

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

// The simulated outside world behind the device I/O seam: the adapter with its filter driver,
// plugged in or not. It logs every open and request, fails on demand and counts the handles it
// handed out, so tests can prove that nothing leaks.
class SimWorld final : public platform::IDeviceIo {
  public:
    FilterDriver driver;

    void SetPlugged(bool plugged);
    bool IsPlugged() const { return m_plugged; }

    // Fault injection.
    void FailEveryOpen(bool fail);
    void FailRequest(DWORD code, bool fail = true);
    bool IsRequestFailing(DWORD code) const { return m_failingCodes.count(code) != 0; }
    void FailNextRequests(int count) { m_failNext = count; }
    bool IsFailingOpens() const { return m_failOpens; }

    const std::vector<OpenCall>& Opens() const { return m_opens; }
    const std::vector<DriverRequest>& Requests() const { return m_requests; }
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
    enum class Target { Driver };

    bool m_plugged = true;
    bool m_failOpens = false;
    std::set<DWORD> m_failingCodes;
    int m_failNext = 0;
    std::vector<OpenCall> m_opens;
    std::vector<DriverRequest> m_requests;
    std::map<HANDLE, Target> m_handles;
    std::uintptr_t m_nextHandle = 0x5100;
    int m_badCloses = 0;
    std::function<void()> m_observer;
};

}  // namespace sim
