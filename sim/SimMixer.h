#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Seams.h"
#include "sim/SimEndpoints.h"

// The system's mixer devices as the mixer seam shows them: product names, destination lines with
// their source lines, and controls with their values. Every write through any handle, and every
// change made from outside (the simulator's mixer panel, a test standing in for the system's
// volume panel), posts MM_MIXM_CONTROL_CHANGE to the window of every handle open on that device,
// as the system does. Faults and odd reports come on demand.
namespace sim {

struct SimMixerControl {
    DWORD id = 0;
    DWORD type = 0;
    DWORD flags = 0;  // MIXERCONTROL_CONTROLF_*
    DWORD items = 0;  // reported item count of a multiple-item control
    DWORD minimum = 0;
    DWORD maximum = 0;
    std::string shortName;
    std::string name;
    // One value per channel (one only for a uniform control), times the items of a
    // multiple-item control, item by item within a channel.
    std::vector<DWORD> values;
    std::vector<std::string> itemTexts;  // list controls
};

struct SimMixerLine {
    DWORD componentType = 0;
    DWORD channels = 2;
    std::string shortName;
    std::string name;
    std::vector<SimMixerControl> controls;
    std::vector<SimMixerLine> sources;  // destinations only
    // Odd reports: the counts this line gives instead of the true ones.
    std::optional<DWORD> reportedChannels;
    std::optional<DWORD> reportedControls;
    std::optional<DWORD> reportedConnections;
    DWORD lineId = 0;  // given by the mixer
};

// Which calls fail for one device.
struct SimMixerFaults {
    bool open = false;
    bool caps = false;
    bool lineInfo = false;
    bool lineControls = false;
    bool readDetails = false;
    bool writeDetails = false;
};

struct SimMixerDevice {
    std::string product;
    std::vector<SimMixerLine> destinations;
    SimMixerFaults faults;
    std::optional<DWORD> reportedDestinations;
    bool present = true;
    bool adapters = false;  // comes and goes with the adapter
    int generation = 0;     // a device that leaves and comes back is a new device
};

struct SimMixerNotification {
    HWND window;
    HMIXER mixer;
    DWORD controlId;
};

class SimMixer final : public platform::IMixer {
  public:
    // An onboard mixer without "USB" in its name, then the adapter's.
    SimMixer();

    static constexpr std::size_t kOnboard = 0;
    static constexpr std::size_t kAdapter = 1;

    std::vector<SimMixerDevice> devices;
    // The audio endpoints of Windows Vista and later; none in the layout of older Windows.
    SimEndpoints endpoints;
    // The device numbers mixerOpen was asked for, in order.
    std::vector<UINT> openCalls;
    // The notification window of each of those calls.
    std::vector<HWND> openWindows;

    // The adapter's mixer as it comes with the adapter: playback with wave, SW synth, CD, line
    // and a mono microphone; recording from CD, line, microphone or SW synth through a
    // multiplexer that lists its items in reverse source order, as Windows XP does.
    static SimMixerDevice AdapterMixer();
    static SimMixerDevice OnboardMixer();

    // The layout of Windows Vista and later: one mixer device per audio endpoint, each with one
    // destination, and the endpoints' own volumes beside them. In device order: the onboard
    // speakers, then the adapter's speakers (kAdapter), microphone and line input. The speakers'
    // destination volume acts on the program's session only, as the system's does; the
    // endpoints' volumes are what everyone hears. Or back to the one device with every line of
    // older Windows. Handles open on the devices that go stop working.
    void UsePerEndpointLayout(bool perEndpoint);
    bool PerEndpoint() const { return !endpoints.endpoints.empty(); }
    static constexpr std::size_t kAdapterSpeakers = 0;  // of the endpoints, in that layout
    static constexpr std::size_t kAdapterMicrophone = 1;
    static constexpr std::size_t kAdapterLine = 2;

    // The adapter's mixer devices and endpoints leave with the adapter; handles opened on them
    // stop working.
    void SetAdapterPresent(bool present);
    SimMixerDevice& Adapter() { return devices[kAdapter]; }

    // Gives every line and control of every device its ids again; call after changing the
    // model's structure.
    void Renumber();

    // A line of the adapter: a destination (source < 0) or one of its sources, by type.
    SimMixerLine* FindLine(DWORD destinationType, DWORD sourceType, std::size_t device = kAdapter);
    SimMixerControl* FindControl(SimMixerLine* line, DWORD controlType);
    SimMixerControl* ControlById(DWORD id, std::size_t device = kAdapter);
    // Changes a control's values from outside the program and notifies every handle.
    void SetValues(SimMixerControl& control, std::vector<DWORD> values,
                   std::size_t device = kAdapter);

    int OpenHandles() const { return static_cast<int>(m_handles.size()); }
    int BadCloses() const { return m_badCloses; }
    // Writes that succeeded, for tests that count them.
    int Writes() const { return m_writes; }
    const std::vector<SimMixerNotification>& Notifications() const { return m_notifications; }
    // Empties the records of opens and notifications and gives their memory back.
    void ClearLogs();

    // Called after every change a window showing the mixer would want to show.
    void SetObserver(std::function<void()> observer) { m_observer = std::move(observer); }

    UINT GetNumDevs() override;
    MMRESULT Open(HMIXER* mixer, UINT device, DWORD_PTR callback, DWORD_PTR instance,
                  DWORD flags) override;
    MMRESULT GetDevCaps(UINT_PTR device, MIXERCAPSA* caps, UINT size) override;
    MMRESULT GetLineInfo(HMIXEROBJ mixer, MIXERLINEA* line, DWORD flags) override;
    MMRESULT GetLineControls(HMIXEROBJ mixer, MIXERLINECONTROLSA* controls, DWORD flags) override;
    MMRESULT GetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) override;
    MMRESULT SetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) override;
    MMRESULT Close(HMIXER mixer) override;

  private:
    struct Handle {
        std::size_t device;
        int generation;
        HWND window;  // null without CALLBACK_WINDOW
    };
    struct Located {
        SimMixerLine* line = nullptr;
        SimMixerControl* control = nullptr;
    };

    // The present device behind a device number, or null.
    std::optional<std::size_t> DeviceByNumber(UINT_PTR number) const;
    // The device an object names (a handle or a device number), if it is there and working.
    SimMixerDevice* Resolve(HMIXEROBJ object, DWORD flags, MMRESULT& error);
    Located Locate(SimMixerDevice& device, DWORD controlId);
    void FillLine(const SimMixerLine& line, DWORD destination, DWORD source, MIXERLINEA& out) const;
    void Notify(std::size_t device, DWORD controlId);
    void Changed() const;

    std::map<HMIXER, Handle> m_handles;
    std::uintptr_t m_nextHandle = 0x7100;
    int m_badCloses = 0;
    int m_writes = 0;
    std::vector<SimMixerNotification> m_notifications;
    std::function<void()> m_observer;
};

}  // namespace sim
