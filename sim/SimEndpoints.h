#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Seams.h"

// The system's audio endpoints as Core Audio shows them: a friendly name, a direction, a level
// per channel and a mute. The master level is the loudest channel's, and setting it scales every
// channel alike, as the system does. Every change, the program's own included, is posted to every
// endpoint volume opened on that endpoint from another thread, as Core Audio calls its
// notification callbacks. Each call can be made to fail with the HRESULT of one's choosing.
namespace sim {

struct SimEndpointFaults {
    HRESULT channelCount = S_OK;
    HRESULT getMaster = S_OK;
    HRESULT setMaster = S_OK;
    HRESULT getChannel = S_OK;
    HRESULT setChannel = S_OK;
    HRESULT getMute = S_OK;
    HRESULT setMute = S_OK;
};

struct SimEndpoint {
    std::string name;
    bool capture = false;
    std::vector<float> levels{1.0f, 1.0f};
    bool muted = false;
    bool present = true;
    bool adapters = false;  // comes and goes with the adapter
    int generation = 0;     // an endpoint that leaves and comes back is a new endpoint
    SimEndpointFaults faults;
};

class SimEndpoints final : public platform::IAudioEndpoints {
  public:
    SimEndpoints();
    ~SimEndpoints() override;
    SimEndpoints(const SimEndpoints&) = delete;
    SimEndpoints& operator=(const SimEndpoints&) = delete;

    std::vector<SimEndpoint> endpoints;
    // A new set of endpoints: volumes opened on the old ones stop working.
    void Replace(std::vector<SimEndpoint> list);
    // Called after every change, for a window that shows the endpoints.
    std::function<void()> onChange;
    // Core Audio is not there at all (Windows XP): every Open finds nothing.
    bool unavailable = false;

    float Master(std::size_t endpoint) const;
    // Changes from outside the program (the system's volume flyout), notified to every opener.
    void SetLevels(std::size_t endpoint, std::vector<float> levels);
    void SetMuted(std::size_t endpoint, bool muted);
    // The adapter's endpoints leave and come back with it; volumes opened on them stop working.
    void SetAdapterPresent(bool present);

    // Endpoint volumes handed out and not yet destroyed, and the callbacks registered with them.
    int OpenVolumes() const { return m_openVolumes; }
    int Registrations() const { return static_cast<int>(m_registrations.size()); }
    // Successful calls that changed something.
    int Writes() const { return m_writes; }

    std::unique_ptr<platform::IEndpointVolume> Open(bool capture, const char* mixerName,
                                                    HWND notify, WPARAM wParam,
                                                    LPARAM lParam) override;

  private:
    class Volume;
    struct Registration {
        int layout;
        std::size_t endpoint;
        HWND window;
        WPARAM wParam;
        LPARAM lParam;
    };

    void Notify(std::size_t endpoint);

    std::map<int, Registration> m_registrations;
    int m_nextRegistration = 1;
    int m_layout = 0;
    int m_openVolumes = 0;
    int m_writes = 0;
};

}  // namespace sim
