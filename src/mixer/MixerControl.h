#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <vector>

#include "platform/Handles.h"

// One control of the adapter's system mixer: the first mixer device with "USB" in its product
// name, opened with the owner's window as the notification window, one destination line, an
// optional source line of it, and one control on that line, with the buffer its values are read
// into and written from. Every control on screen owns one, so the mixer's change notification
// for its handle reaches exactly that window.
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

  private:
    bool OpenUsbDevice(HWND notify);
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
};
