#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <memory>
#include <string>
#include <vector>

#include "mixer/MixerMath.h"
#include "platform/Handles.h"

// One control of the adapter's system mixer: the first mixer device with "USB" in its product
// name that has the destination line, the source line and the control asked for, opened with the
// owner's window as the notification window, with the buffer the control's values are read into
// and written from. Every control on screen owns one, so the mixer's change notification for its
// handle reaches exactly that window.
//
// Older Windows has one mixer device holding every line: the first USB device has them all.
// Windows Vista and later make each audio endpoint a mixer device of its own, whose volumes act
// on the calling program's session only. There the speakers' own volume and mute, and a capture
// endpoint's level, are read and written through the endpoint's volume instead, when Core Audio
// has that endpoint and answers for it; otherwise the binding stays on the mixer. Endpoint
// changes arrive as MM_MIXM_CONTROL_CHANGE for this binding's handle and control too.
class CMixerControl {
  public:
    // Binds the destination line itself instead of one of its sources (one above the last
    // source component type).
    static constexpr DWORD kDestinationOnly = MIXERLINE_COMPONENTTYPE_SRC_LAST + 1;

    CMixerControl();
    virtual ~CMixerControl();
    CMixerControl(const CMixerControl&) = delete;
    CMixerControl& operator=(const CMixerControl&) = delete;

    // Every Open starts by closing; on false the object is closed. sourceName (may be empty) is
    // looked for in the sources' short names when no source has the component type.
    bool Open(DWORD destinationType, DWORD sourceType, DWORD controlType, HWND notify,
              const char* sourceName);
    // The first source of the bound destination with this component type: sets the item index
    // and the bound flag.
    bool FindSource(DWORD componentType);
    bool ReadValues();
    bool WriteValues();
    // Safe at any time and more than once.
    void Close();

    HMIXER MixerHandle() const { return m_mixer.Get(); }
    bool IsOpen() const { return static_cast<bool>(m_mixer); }
    const MIXERLINEA& DestinationLine() const { return m_destination; }
    const MIXERLINEA& SourceLine() const { return m_source; }
    const MIXERCONTROLA& Control() const { return m_control; }
    DWORD ItemIndex() const { return m_itemIndex; }
    void SetItemIndex(DWORD index) { m_itemIndex = index; }
    // The value buffer: null while closed.
    DWORD* Values() { return m_values.empty() ? nullptr : m_values.data(); }
    const DWORD* Values() const { return m_values.empty() ? nullptr : m_values.data(); }
    DWORD ValueCount() const { return static_cast<DWORD>(m_values.size()); }
    DWORD ValueBytes() const { return m_valueBytes; }
    bool IsBound() const { return m_bound != 0; }
    void SetBound(bool bound) { m_bound = bound ? 1 : 0; }
    // Whether reads and writes go to the endpoint volume.
    bool OnEndpoint() const { return static_cast<bool>(m_endpoint); }
    // The product name of the mixer device bound; empty while closed.
    const std::string& DeviceName() const { return m_deviceName; }

  private:
    // Opens the next mixer device from `next` on whose product name holds "USB" and moves `next`
    // past it. A device that cannot be opened ends the search.
    bool OpenUsbDevice(HWND notify, UINT& next);
    bool BindLines(DWORD destinationType, DWORD sourceType, DWORD controlType,
                   const char* sourceName);
    void AttachEndpoint(DWORD destinationType, bool destinationOnly, HWND notify);
    bool FindDestination(DWORD destinationType);
    bool FindSourceByName(const char* sourceName);
    bool FindControl(const MIXERLINEA& line, DWORD controlType);
    bool PrepareValues(const MIXERLINEA& line);
    HMIXEROBJ Object() const { return reinterpret_cast<HMIXEROBJ>(m_mixer.Get()); }

    int m_bound = 0;
    MIXERLINEA m_destination{};
    MIXERLINEA m_source{};
    MIXERCONTROLA m_control{};
    MIXERCONTROLDETAILS m_request{};
    platform::MixerHandle m_mixer;
    DWORD m_itemIndex = 0;
    DWORD m_valueBytes = 0;
    std::vector<DWORD> m_values;
    std::string m_deviceName;
    mixer::EndpointRole m_role = mixer::EndpointRole::None;
    std::unique_ptr<platform::IEndpointVolume> m_endpoint;
};
