#include "mixer/MixerControl.h"

#include <cctype>
#include <cstring>
#include <string>

#include "mixer/EndpointVolume.h"
#include "mixer/MixerMath.h"

namespace {

constexpr DWORD kUnitsMask = MIXERCONTROL_CT_UNITS_MASK;

bool Contains(const char* text, const char* part) {
    return std::strstr(text, part) != nullptr;
}

bool IsUsbMixer(const MIXERCAPSA& caps) {
    std::string name(caps.szPname, strnlen(caps.szPname, sizeof(caps.szPname)));
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name.find("USB") != std::string::npos;
}

// The two source types that only count with a telling name: an undefined source is taken for
// the digital input only when it says so, a digital one for CD audio only when it says so.
bool NameQualifies(DWORD componentType, const MIXERLINEA& line) {
    if (componentType == MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED) {
        return Contains(line.szName, "SPDIF");
    }
    if (componentType == MIXERLINE_COMPONENTTYPE_SRC_DIGITAL) {
        return Contains(line.szName, "CD Player");
    }
    return true;
}

bool KnownUnits(DWORD controlType) {
    switch (controlType & kUnitsMask) {
        case MIXERCONTROL_CT_UNITS_BOOLEAN:
        case MIXERCONTROL_CT_UNITS_SIGNED:
        case MIXERCONTROL_CT_UNITS_UNSIGNED:
        case MIXERCONTROL_CT_UNITS_DECIBELS:
        case MIXERCONTROL_CT_UNITS_PERCENT:
            return true;
        default:
            return false;
    }
}

}  // namespace

CMixerControl::CMixerControl() = default;

CMixerControl::~CMixerControl() {
    Close();
}

void CMixerControl::Close() {
    m_endpoint.reset();
    m_role = mixer::EndpointRole::None;
    m_mixer.Reset();
    m_deviceName.clear();
    m_values.clear();
    m_values.shrink_to_fit();
    m_valueBytes = 0;
    m_request.paDetails = nullptr;
    m_bound = 0;
}

bool CMixerControl::Open(DWORD destinationType, DWORD sourceType, DWORD controlType, HWND notify,
                         const char* sourceName) {
    Close();
    UINT next = 0;
    while (OpenUsbDevice(notify, next)) {
        if (BindLines(destinationType, sourceType, controlType, sourceName)) {
            AttachEndpoint(destinationType, sourceType == kDestinationOnly, notify);
            return true;
        }
    }
    Close();
    return false;
}

bool CMixerControl::BindLines(DWORD destinationType, DWORD sourceType, DWORD controlType,
                              const char* sourceName) {
    m_bound = 0;
    m_source = MIXERLINEA{};
    if (!FindDestination(destinationType)) return false;
    if (sourceType == kDestinationOnly) {
        return FindControl(m_destination, controlType) && PrepareValues(m_destination);
    }
    const bool found = FindSource(sourceType) || FindSourceByName(sourceName);
    return found && m_source.cControls > 0 && FindControl(m_source, controlType) &&
           PrepareValues(m_source);
}

bool CMixerControl::OpenUsbDevice(HWND notify, UINT& next) {
    platform::IMixer& mixer = platform::Mixer();
    const UINT count = mixer.GetNumDevs();
    for (UINT device = next; device < count; ++device) {
        Close();
        HMIXER handle = nullptr;
        if (mixer.Open(&handle, device, reinterpret_cast<DWORD_PTR>(notify), 0, CALLBACK_WINDOW) !=
            MMSYSERR_NOERROR) {
            return false;
        }
        m_mixer.Reset(handle);
        MIXERCAPSA caps{};
        if (mixer.GetDevCaps(device, &caps, sizeof(caps)) == MMSYSERR_NOERROR && IsUsbMixer(caps)) {
            m_deviceName.assign(caps.szPname, strnlen(caps.szPname, sizeof(caps.szPname)));
            next = device + 1;
            return true;
        }
    }
    return false;
}

void CMixerControl::AttachEndpoint(DWORD destinationType, bool destinationOnly, HWND notify) {
    const mixer::EndpointRole role =
        mixer::EndpointRoleOf(destinationType, destinationOnly, m_control.dwControlType);
    if (role == mixer::EndpointRole::None) return;
    const bool capture = destinationType == MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
    auto endpoint = platform::AudioEndpoints().Open(capture, m_deviceName.c_str(), notify,
                                                    reinterpret_cast<WPARAM>(m_mixer.Get()),
                                                    static_cast<LPARAM>(m_control.dwControlID));
    if (endpoint && mixer::EndpointUsable(*endpoint, m_request.cChannels)) {
        m_endpoint = std::move(endpoint);
        m_role = role;
    }
}

bool CMixerControl::FindDestination(DWORD destinationType) {
    platform::IMixer& mixer = platform::Mixer();
    MIXERCAPSA caps{};
    if (mixer.GetDevCaps(reinterpret_cast<UINT_PTR>(m_mixer.Get()), &caps, sizeof(caps)) !=
        MMSYSERR_NOERROR) {
        return false;
    }
    if (caps.cDestinations > mixer::kMaxDestinations) return false;
    for (DWORD d = 0; d < caps.cDestinations; ++d) {
        m_destination = MIXERLINEA{};
        m_destination.cbStruct = sizeof(m_destination);
        m_destination.dwDestination = d;
        if (mixer.GetLineInfo(Object(), &m_destination,
                              MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_DESTINATION) !=
            MMSYSERR_NOERROR) {
            return false;
        }
        if (m_destination.dwComponentType == destinationType) return true;
    }
    return false;
}

bool CMixerControl::FindSource(DWORD componentType) {
    if (!m_mixer) return false;
    const DWORD connections = m_destination.cConnections;
    if (connections > mixer::kMaxConnections) return false;
    for (DWORD i = 0; i < connections; ++i) {
        m_source = MIXERLINEA{};
        m_source.cbStruct = sizeof(m_source);
        m_source.dwDestination = m_destination.dwDestination;
        m_source.dwSource = i;
        if (platform::Mixer().GetLineInfo(Object(), &m_source,
                                          MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_SOURCE) !=
            MMSYSERR_NOERROR) {
            return false;
        }
        if (m_source.dwComponentType == componentType && NameQualifies(componentType, m_source)) {
            m_itemIndex = mixer::ItemIndex(platform::System().GetVersion(), i, connections);
            m_bound = 1;
            return true;
        }
    }
    return false;
}

// A source whose short name holds the name gives the component type to search for again; the
// line bound is the first of that type, which need not be the one whose name matched.
bool CMixerControl::FindSourceByName(const char* sourceName) {
    if (!sourceName || !*sourceName) return false;
    const DWORD connections = m_destination.cConnections;
    if (connections > mixer::kMaxConnections) return false;
    for (DWORD i = 0; i < connections; ++i) {
        MIXERLINEA line{};
        line.cbStruct = sizeof(line);
        line.dwDestination = m_destination.dwDestination;
        line.dwSource = i;
        if (platform::Mixer().GetLineInfo(Object(), &line,
                                          MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_SOURCE) !=
            MMSYSERR_NOERROR) {
            continue;
        }
        if (Contains(line.szShortName, sourceName)) return FindSource(line.dwComponentType);
    }
    return false;
}

bool CMixerControl::FindControl(const MIXERLINEA& line, DWORD controlType) {
    if (line.cControls == 0 || line.cControls > mixer::kMaxControls) return false;
    std::vector<MIXERCONTROLA> controls(line.cControls);
    MIXERLINECONTROLSA request{};
    request.cbStruct = sizeof(request);
    request.dwLineID = line.dwLineID;
    request.cControls = line.cControls;
    request.cbmxctrl = sizeof(MIXERCONTROLA);
    request.pamxctrl = controls.data();
    if (platform::Mixer().GetLineControls(Object(), &request,
                                          MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ALL) !=
        MMSYSERR_NOERROR) {
        return false;
    }
    for (const MIXERCONTROLA& control : controls) {
        if (control.dwControlType == controlType) {
            m_control = control;
            return true;
        }
    }
    return false;
}

bool CMixerControl::PrepareValues(const MIXERLINEA& line) {
    if (!KnownUnits(m_control.dwControlType)) return false;
    const bool uniform = (m_control.fdwControl & MIXERCONTROL_CONTROLF_UNIFORM) != 0;
    const bool multiple = (m_control.fdwControl & MIXERCONTROL_CONTROLF_MULTIPLE) != 0;
    const DWORD channels = uniform ? 1 : line.cChannels;
    const DWORD items = multiple ? m_control.cMultipleItems : 1;
    if (channels == 0 || channels > mixer::kMaxChannels || items == 0 || items > mixer::kMaxItems) {
        return false;
    }
    m_values.assign(static_cast<std::size_t>(channels) * items, 0);
    m_valueBytes = static_cast<DWORD>(m_values.size() * sizeof(DWORD));
    m_request = MIXERCONTROLDETAILS{};
    m_request.cbStruct = sizeof(m_request);
    m_request.dwControlID = m_control.dwControlID;
    m_request.cChannels = channels;
    // A control without the multiple-item flag has no items, whatever its count says: a driver
    // that honoured the count would write past the buffer.
    m_request.cMultipleItems = multiple ? items : 0;
    m_request.cbDetails = sizeof(DWORD);
    m_request.paDetails = m_values.data();
    return true;
}

bool CMixerControl::ReadValues() {
    if (!m_mixer || m_values.empty()) return false;
    if (m_endpoint) {
        return mixer::ReadEndpoint(*m_endpoint, m_role, m_control.Bounds.dwMinimum,
                                   m_control.Bounds.dwMaximum, m_values.data(), ValueCount());
    }
    return platform::Mixer().GetControlDetails(
               Object(), &m_request, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) ==
           MMSYSERR_NOERROR;
}

bool CMixerControl::WriteValues() {
    if (!m_mixer || m_values.empty()) return false;
    if (m_endpoint) {
        return mixer::WriteEndpoint(*m_endpoint, m_role, m_control.Bounds.dwMinimum,
                                    m_control.Bounds.dwMaximum, m_values.data(), ValueCount());
    }
    return platform::Mixer().SetControlDetails(
               Object(), &m_request, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE) ==
           MMSYSERR_NOERROR;
}
