#include "sim/SimMixer.h"

#include <algorithm>
#include <cstring>

namespace sim {
namespace {

constexpr std::size_t kNotificationLimit = 4000;

SimMixerControl Volume(DWORD channels, std::vector<DWORD> values) {
    SimMixerControl control;
    control.type = MIXERCONTROL_CONTROLTYPE_VOLUME;
    control.maximum = 0xFFFF;
    control.shortName = "Volume";
    control.name = "Volume";
    control.values = std::move(values);
    control.values.resize(channels, control.values.empty() ? 0 : control.values.back());
    return control;
}

SimMixerControl Mute(DWORD channels) {
    SimMixerControl control;
    control.type = MIXERCONTROL_CONTROLTYPE_MUTE;
    control.maximum = 1;
    control.shortName = "Mute";
    control.name = "Mute";
    control.values.assign(channels, 0);
    return control;
}

SimMixerLine Line(DWORD type, DWORD channels, const char* name) {
    SimMixerLine line;
    line.componentType = type;
    line.channels = channels;
    line.shortName = name;
    line.name = name;
    return line;
}

SimMixerLine PlaybackSource(DWORD type, DWORD channels, const char* name,
                            std::vector<DWORD> values) {
    SimMixerLine line = Line(type, channels, name);
    line.controls = {Volume(channels, std::move(values)), Mute(channels)};
    return line;
}

SimMixerLine RecordingSource(DWORD type, DWORD channels, const char* name,
                             std::vector<DWORD> values) {
    SimMixerLine line = Line(type, channels, name);
    line.controls = {Volume(channels, std::move(values))};
    return line;
}

void CopyName(char* target, std::size_t size, const std::string& name) {
    std::memset(target, 0, size);
    std::memcpy(target, name.data(), std::min(name.size(), size - 1));
}

bool IsSingleSelect(DWORD type) {
    return type == MIXERCONTROL_CONTROLTYPE_MUX || type == MIXERCONTROL_CONTROLTYPE_SINGLESELECT;
}

}  // namespace

SimMixerDevice SimMixer::OnboardMixer() {
    SimMixerDevice device;
    device.product = "Onboard HD Audio";
    SimMixerLine speakers = Line(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, 2, "Master Volume");
    speakers.controls = {Volume(2, {0x8000}), Mute(2)};
    speakers.sources = {PlaybackSource(MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, 2, "Wave", {0x8000})};
    device.destinations = {speakers};
    return device;
}

SimMixerDevice SimMixer::AdapterMixer() {
    SimMixerDevice device;
    device.product = "USB Audio Device";
    device.adapters = true;

    SimMixerLine speakers = Line(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, 2, "Volume Control");
    speakers.controls = {Volume(2, {0xC000}), Mute(2)};
    speakers.sources = {
        PlaybackSource(MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, 2, "Wave", {0xFFFF, 0xC000}),
        PlaybackSource(MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER, 2, "SW Synth", {0x8000}),
        PlaybackSource(MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC, 2, "CD Player", {0x8000}),
        PlaybackSource(MIXERLINE_COMPONENTTYPE_SRC_LINE, 2, "Line In", {0x6000, 0x9000}),
        PlaybackSource(MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE, 1, "Microphone", {0x4000}),
    };

    SimMixerLine recording = Line(MIXERLINE_COMPONENTTYPE_DST_WAVEIN, 2, "Wave In");
    recording.name = "Recording Control";
    recording.sources = {
        RecordingSource(MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC, 2, "CD Player", {0x8000}),
        RecordingSource(MIXERLINE_COMPONENTTYPE_SRC_LINE, 2, "Line In", {0xA000, 0x8000}),
        RecordingSource(MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE, 1, "Microphone", {0x8000}),
        RecordingSource(MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER, 2, "SW Synth", {0x8000}),
    };
    SimMixerControl mux;
    mux.type = MIXERCONTROL_CONTROLTYPE_MUX;
    mux.flags = MIXERCONTROL_CONTROLF_UNIFORM | MIXERCONTROL_CONTROLF_MULTIPLE;
    mux.maximum = 1;
    mux.shortName = "Mux";
    mux.name = "Recording Source";
    // Listed from the last source to the first, with the microphone selected.
    for (auto source = recording.sources.rbegin(); source != recording.sources.rend(); ++source) {
        mux.itemTexts.push_back(source->name);
        mux.values.push_back(source->componentType == MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE);
    }
    mux.items = static_cast<DWORD>(mux.itemTexts.size());
    recording.controls = {mux};

    device.destinations = {speakers, recording};
    return device;
}

SimMixer::SimMixer() {
    endpoints.onChange = [this] { Changed(); };
    UsePerEndpointLayout(false);
}

namespace {

SimMixerDevice EndpointMixer(const char* product, DWORD destinationType, SimMixerLine line) {
    SimMixerDevice device;
    device.product = product;
    const bool render = destinationType == MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    SimMixerLine destination =
        Line(destinationType, line.channels, render ? "Speakers" : line.name.c_str());
    destination.controls = {Volume(destination.channels, {0xFFFF}), Mute(destination.channels)};
    destination.sources = {std::move(line)};
    device.destinations = {std::move(destination)};
    return device;
}

SimEndpoint Endpoint(const char* name, bool capture, std::vector<float> levels) {
    SimEndpoint endpoint;
    endpoint.name = name;
    endpoint.capture = capture;
    endpoint.levels = std::move(levels);
    endpoint.adapters = true;
    return endpoint;
}

}  // namespace

void SimMixer::UsePerEndpointLayout(bool perEndpoint) {
    const bool plugged = devices.size() > kAdapter ? Adapter().present : true;
    // Handles open on the old devices stop working: the new ones are of a later generation.
    int generation = 0;
    for (const SimMixerDevice& device : devices)
        generation = std::max(generation, device.generation + 1);
    std::vector<SimEndpoint> newEndpoints;
    if (!perEndpoint) {
        devices = {OnboardMixer(), AdapterMixer()};
    } else {
        devices = {
            EndpointMixer("Speakers (Onboard HD Audio)", MIXERLINE_COMPONENTTYPE_DST_SPEAKERS,
                          PlaybackSource(MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, 2, "Wave", {0xFFFF})),
            EndpointMixer("Speakers (USB Audio Device)", MIXERLINE_COMPONENTTYPE_DST_SPEAKERS,
                          PlaybackSource(MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, 2, "Wave", {0xFFFF})),
            EndpointMixer(
                "Microphone (USB Audio Device)", MIXERLINE_COMPONENTTYPE_DST_WAVEIN,
                PlaybackSource(MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE, 1, "Microphone", {0xFFFF})),
            EndpointMixer("Line (USB Audio Device)", MIXERLINE_COMPONENTTYPE_DST_WAVEIN,
                          PlaybackSource(MIXERLINE_COMPONENTTYPE_SRC_LINE, 2, "Line", {0xFFFF})),
        };
        newEndpoints = {
            Endpoint("Speakers (USB Audio Device)", false,
                     {0.75f, 0.5f, 0.75f, 0.75f, 0.75f, 0.75f}),
            Endpoint("Microphone (USB Audio Device)", true, {0.5f}),
            Endpoint("Line (USB Audio Device)", true, {0.625f, 0.625f}),
        };
        SimEndpoint onboard = Endpoint("Speakers (Onboard HD Audio)", false, {0.5f, 0.5f});
        onboard.adapters = false;
        newEndpoints.push_back(onboard);
    }
    for (SimMixerDevice& device : devices) {
        device.adapters = &device != &devices[0];  // the onboard device stays
        device.present = !device.adapters || plugged;
        device.generation = generation;
    }
    endpoints.Replace(std::move(newEndpoints));
    endpoints.SetAdapterPresent(plugged);
    Renumber();
    Changed();
}

void SimMixer::Renumber() {
    for (SimMixerDevice& device : devices) {
        DWORD nextControl = 1;
        for (DWORD d = 0; d < device.destinations.size(); ++d) {
            SimMixerLine& destination = device.destinations[d];
            destination.lineId = 0xFFFF0000u | d;
            for (SimMixerControl& control : destination.controls)
                control.id = nextControl++;
            for (DWORD s = 0; s < destination.sources.size(); ++s) {
                SimMixerLine& source = destination.sources[s];
                source.lineId = (d << 16) | s;
                for (SimMixerControl& control : source.controls)
                    control.id = nextControl++;
            }
        }
    }
}

void SimMixer::SetAdapterPresent(bool present) {
    if (Adapter().present == present) return;
    for (SimMixerDevice& device : devices) {
        if (!device.adapters) continue;
        device.present = present;
        if (!present) ++device.generation;
    }
    endpoints.SetAdapterPresent(present);
    Changed();
}

SimMixerLine* SimMixer::FindLine(DWORD destinationType, DWORD sourceType, std::size_t device) {
    for (SimMixerLine& destination : devices[device].destinations) {
        if (destination.componentType != destinationType) continue;
        if (sourceType == 0) return &destination;
        for (SimMixerLine& source : destination.sources) {
            if (source.componentType == sourceType) return &source;
        }
    }
    return nullptr;
}

SimMixerControl* SimMixer::FindControl(SimMixerLine* line, DWORD controlType) {
    if (!line) return nullptr;
    for (SimMixerControl& control : line->controls) {
        if (control.type == controlType) return &control;
    }
    return nullptr;
}

SimMixerControl* SimMixer::ControlById(DWORD id, std::size_t device) {
    return Locate(devices[device], id).control;
}

void SimMixer::SetValues(SimMixerControl& control, std::vector<DWORD> values, std::size_t device) {
    control.values = std::move(values);
    if (devices[device].present) Notify(device, control.id);
    Changed();
}

std::optional<std::size_t> SimMixer::DeviceByNumber(UINT_PTR number) const {
    UINT_PTR seen = 0;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (!devices[i].present) continue;
        if (seen++ == number) return i;
    }
    return std::nullopt;
}

SimMixerDevice* SimMixer::Resolve(HMIXEROBJ object, DWORD flags, MMRESULT& error) {
    if (flags & MIXER_OBJECTF_HANDLE) {
        const auto found = m_handles.find(reinterpret_cast<HMIXER>(object));
        if (found == m_handles.end()) {
            error = MMSYSERR_INVALHANDLE;
            return nullptr;
        }
        SimMixerDevice& device = devices[found->second.device];
        if (!device.present || device.generation != found->second.generation) {
            error = MMSYSERR_NODRIVER;
            return nullptr;
        }
        return &device;
    }
    const auto number = DeviceByNumber(reinterpret_cast<UINT_PTR>(object));
    if (!number) {
        error = MMSYSERR_BADDEVICEID;
        return nullptr;
    }
    return &devices[*number];
}

SimMixer::Located SimMixer::Locate(SimMixerDevice& device, DWORD controlId) {
    for (SimMixerLine& destination : device.destinations) {
        for (SimMixerControl& control : destination.controls) {
            if (control.id == controlId) return {&destination, &control};
        }
        for (SimMixerLine& source : destination.sources) {
            for (SimMixerControl& control : source.controls) {
                if (control.id == controlId) return {&source, &control};
            }
        }
    }
    return {};
}

UINT SimMixer::GetNumDevs() {
    return static_cast<UINT>(
        std::count_if(devices.begin(), devices.end(), [](const auto& d) { return d.present; }));
}

MMRESULT SimMixer::Open(HMIXER* mixer, UINT number, DWORD_PTR callback, DWORD_PTR, DWORD flags) {
    if (!mixer) return MMSYSERR_INVALPARAM;
    *mixer = nullptr;
    if (openCalls.size() >= kNotificationLimit) {
        openCalls.clear();
        openWindows.clear();
    }
    openCalls.push_back(number);
    openWindows.push_back((flags & CALLBACK_TYPEMASK) == CALLBACK_WINDOW
                              ? reinterpret_cast<HWND>(callback)
                              : nullptr);
    const auto device = DeviceByNumber(number);
    if (!device) return MMSYSERR_BADDEVICEID;
    if (devices[*device].faults.open) return MMSYSERR_ALLOCATED;
    HWND window = nullptr;
    if ((flags & CALLBACK_TYPEMASK) == CALLBACK_WINDOW) window = reinterpret_cast<HWND>(callback);
    const auto handle = reinterpret_cast<HMIXER>(m_nextHandle);
    m_nextHandle += 4;
    m_handles.emplace(handle, Handle{*device, devices[*device].generation, window});
    *mixer = handle;
    Changed();
    return MMSYSERR_NOERROR;
}

MMRESULT SimMixer::Close(HMIXER mixer) {
    if (m_handles.erase(mixer) == 0) {
        ++m_badCloses;
        return MMSYSERR_INVALHANDLE;
    }
    Changed();
    return MMSYSERR_NOERROR;
}

MMRESULT SimMixer::GetDevCaps(UINT_PTR id, MIXERCAPSA* caps, UINT size) {
    if (!caps || size < sizeof(MIXERCAPSA)) return MMSYSERR_INVALPARAM;
    MMRESULT error = MMSYSERR_NOERROR;
    const bool isHandle = m_handles.count(reinterpret_cast<HMIXER>(id)) != 0;
    SimMixerDevice* device = Resolve(reinterpret_cast<HMIXEROBJ>(id),
                                     isHandle ? MIXER_OBJECTF_HMIXER : MIXER_OBJECTF_MIXER, error);
    if (!device) return error;
    if (device->faults.caps) return MMSYSERR_ERROR;
    *caps = MIXERCAPSA{};
    caps->wMid = 0xFFFF;
    caps->wPid = 0x0001;
    caps->vDriverVersion = 0x0100;
    CopyName(caps->szPname, sizeof(caps->szPname), device->product);
    caps->cDestinations =
        device->reportedDestinations.value_or(static_cast<DWORD>(device->destinations.size()));
    return MMSYSERR_NOERROR;
}

void SimMixer::FillLine(const SimMixerLine& line, DWORD destination, DWORD source,
                        MIXERLINEA& out) const {
    const bool isSource = (line.lineId & 0xFFFF0000u) != 0xFFFF0000u;
    const DWORD size = out.cbStruct;
    out = MIXERLINEA{};
    out.cbStruct = size;
    out.dwDestination = destination;
    out.dwSource = isSource ? source : 0;
    out.dwLineID = line.lineId;
    out.fdwLine = MIXERLINE_LINEF_ACTIVE | (isSource ? MIXERLINE_LINEF_SOURCE : 0);
    out.dwComponentType = line.componentType;
    out.cChannels = line.reportedChannels.value_or(line.channels);
    out.cConnections =
        isSource ? 0 : line.reportedConnections.value_or(static_cast<DWORD>(line.sources.size()));
    out.cControls = line.reportedControls.value_or(static_cast<DWORD>(line.controls.size()));
    CopyName(out.szShortName, sizeof(out.szShortName), line.shortName);
    CopyName(out.szName, sizeof(out.szName), line.name);
}

MMRESULT SimMixer::GetLineInfo(HMIXEROBJ object, MIXERLINEA* line, DWORD flags) {
    if (!line || line->cbStruct < sizeof(MIXERLINEA)) return MMSYSERR_INVALPARAM;
    MMRESULT error = MMSYSERR_NOERROR;
    SimMixerDevice* device = Resolve(object, flags, error);
    if (!device) return error;
    if (device->faults.lineInfo) return MMSYSERR_ERROR;
    auto& destinations = device->destinations;
    switch (flags & MIXER_GETLINEINFOF_QUERYMASK) {
        case MIXER_GETLINEINFOF_DESTINATION: {
            const DWORD d = line->dwDestination;
            if (d >= destinations.size()) return MIXERR_INVALLINE;
            FillLine(destinations[d], d, 0, *line);
            return MMSYSERR_NOERROR;
        }
        case MIXER_GETLINEINFOF_SOURCE: {
            const DWORD d = line->dwDestination;
            const DWORD s = line->dwSource;
            if (d >= destinations.size() || s >= destinations[d].sources.size()) {
                return MIXERR_INVALLINE;
            }
            FillLine(destinations[d].sources[s], d, s, *line);
            return MMSYSERR_NOERROR;
        }
        case MIXER_GETLINEINFOF_LINEID: {
            const DWORD id = line->dwLineID;
            for (DWORD d = 0; d < destinations.size(); ++d) {
                if (destinations[d].lineId == id) {
                    FillLine(destinations[d], d, 0, *line);
                    return MMSYSERR_NOERROR;
                }
                for (DWORD s = 0; s < destinations[d].sources.size(); ++s) {
                    if (destinations[d].sources[s].lineId != id) continue;
                    FillLine(destinations[d].sources[s], d, s, *line);
                    return MMSYSERR_NOERROR;
                }
            }
            return MIXERR_INVALLINE;
        }
        default:
            return MMSYSERR_NOTSUPPORTED;
    }
}

MMRESULT SimMixer::GetLineControls(HMIXEROBJ object, MIXERLINECONTROLSA* request, DWORD flags) {
    if (!request || request->cbStruct < sizeof(MIXERLINECONTROLSA)) return MMSYSERR_INVALPARAM;
    MMRESULT error = MMSYSERR_NOERROR;
    SimMixerDevice* device = Resolve(object, flags, error);
    if (!device) return error;
    if (device->faults.lineControls) return MMSYSERR_ERROR;
    if ((flags & MIXER_GETLINECONTROLSF_QUERYMASK) != MIXER_GETLINECONTROLSF_ALL) {
        return MMSYSERR_NOTSUPPORTED;
    }
    const SimMixerLine* line = nullptr;
    for (const SimMixerLine& destination : device->destinations) {
        if (destination.lineId == request->dwLineID) line = &destination;
        for (const SimMixerLine& source : destination.sources) {
            if (source.lineId == request->dwLineID) line = &source;
        }
    }
    if (!line) return MIXERR_INVALLINE;
    const DWORD reported =
        line->reportedControls.value_or(static_cast<DWORD>(line->controls.size()));
    if (request->cControls != reported || request->cbmxctrl < sizeof(MIXERCONTROLA) ||
        !request->pamxctrl) {
        return MMSYSERR_INVALPARAM;
    }
    const std::size_t count = std::min<std::size_t>(reported, line->controls.size());
    auto* out = reinterpret_cast<BYTE*>(request->pamxctrl);
    for (std::size_t i = 0; i < count; ++i) {
        const SimMixerControl& control = line->controls[i];
        MIXERCONTROLA entry{};
        entry.cbStruct = sizeof(entry);
        entry.dwControlID = control.id;
        entry.dwControlType = control.type;
        entry.fdwControl = control.flags;
        entry.cMultipleItems = control.items;
        CopyName(entry.szShortName, sizeof(entry.szShortName), control.shortName);
        CopyName(entry.szName, sizeof(entry.szName), control.name);
        entry.Bounds.dwMinimum = control.minimum;
        entry.Bounds.dwMaximum = control.maximum;
        entry.Metrics.cSteps = control.maximum - control.minimum;
        std::memcpy(out + i * request->cbmxctrl, &entry, sizeof(entry));
    }
    return MMSYSERR_NOERROR;
}

MMRESULT SimMixer::GetControlDetails(HMIXEROBJ object, MIXERCONTROLDETAILS* details, DWORD flags) {
    if (!details || details->cbStruct < sizeof(MIXERCONTROLDETAILS)) return MMSYSERR_INVALPARAM;
    MMRESULT error = MMSYSERR_NOERROR;
    SimMixerDevice* device = Resolve(object, flags, error);
    if (!device) return error;
    if (device->faults.readDetails) return MMSYSERR_ERROR;
    const Located found = Locate(*device, details->dwControlID);
    if (!found.control) return MIXERR_INVALCONTROL;
    const SimMixerControl& control = *found.control;
    const bool uniform = control.flags & MIXERCONTROL_CONTROLF_UNIFORM;
    const bool multiple = control.flags & MIXERCONTROL_CONTROLF_MULTIPLE;
    const DWORD channels = details->cChannels;
    if (channels != 1 && channels != found.line->channels) return MMSYSERR_INVALPARAM;
    const DWORD items = multiple ? details->cMultipleItems : 1;
    if ((multiple && items != control.items) || (!multiple && details->cMultipleItems != 0)) {
        return MMSYSERR_INVALPARAM;
    }
    const std::size_t storedChannels = uniform ? 1 : found.line->channels;
    const std::size_t storedItems =
        control.values.size() / std::max<std::size_t>(storedChannels, 1);

    switch (flags & MIXER_GETCONTROLDETAILSF_QUERYMASK) {
        case MIXER_GETCONTROLDETAILSF_VALUE: {
            if (details->cbDetails < sizeof(DWORD) || !details->paDetails) {
                return MMSYSERR_INVALPARAM;
            }
            auto* out = static_cast<BYTE*>(details->paDetails);
            for (DWORD c = 0; c < channels; ++c) {
                for (DWORD i = 0; i < items; ++i) {
                    const std::size_t channel = std::min<std::size_t>(c, storedChannels - 1);
                    const std::size_t index = channel * storedItems + i;
                    const DWORD value = index < control.values.size() ? control.values[index] : 0;
                    std::memcpy(
                        out + (static_cast<std::size_t>(c) * items + i) * details->cbDetails,
                        &value, sizeof(value));
                }
            }
            return MMSYSERR_NOERROR;
        }
        case MIXER_GETCONTROLDETAILSF_LISTTEXT: {
            if (!multiple || details->cbDetails < sizeof(MIXERCONTROLDETAILS_LISTTEXTA) ||
                !details->paDetails) {
                return MMSYSERR_INVALPARAM;
            }
            auto* out = static_cast<BYTE*>(details->paDetails);
            for (DWORD e = 0; e < channels * items; ++e) {
                MIXERCONTROLDETAILS_LISTTEXTA text{};
                const DWORD item = e % items;
                if (item < control.itemTexts.size()) {
                    const std::string& name = control.itemTexts[item];
                    CopyName(text.szName, sizeof(text.szName), name);
                    for (const SimMixerLine& destination : device->destinations) {
                        for (const SimMixerLine& source : destination.sources) {
                            if (source.name != name) continue;
                            text.dwParam1 = source.lineId;
                            text.dwParam2 = source.componentType;
                        }
                    }
                }
                std::memcpy(out + static_cast<std::size_t>(e) * details->cbDetails, &text,
                            sizeof(text));
            }
            return MMSYSERR_NOERROR;
        }
        default:
            return MMSYSERR_NOTSUPPORTED;
    }
}

MMRESULT SimMixer::SetControlDetails(HMIXEROBJ object, MIXERCONTROLDETAILS* details, DWORD flags) {
    if (!details || details->cbStruct < sizeof(MIXERCONTROLDETAILS)) return MMSYSERR_INVALPARAM;
    MMRESULT error = MMSYSERR_NOERROR;
    SimMixerDevice* device = Resolve(object, flags, error);
    if (!device) return error;
    if (device->faults.writeDetails) return MMSYSERR_ERROR;
    if ((flags & MIXER_SETCONTROLDETAILSF_QUERYMASK) != MIXER_SETCONTROLDETAILSF_VALUE) {
        return MMSYSERR_NOTSUPPORTED;
    }
    const Located found = Locate(*device, details->dwControlID);
    if (!found.control) return MIXERR_INVALCONTROL;
    SimMixerControl& control = *found.control;
    const bool uniform = control.flags & MIXERCONTROL_CONTROLF_UNIFORM;
    const bool multiple = control.flags & MIXERCONTROL_CONTROLF_MULTIPLE;
    const DWORD channels = details->cChannels;
    if (channels != 1 && channels != found.line->channels) return MMSYSERR_INVALPARAM;
    const DWORD items = multiple ? details->cMultipleItems : 1;
    if ((multiple && items != control.items) || (!multiple && details->cMultipleItems != 0) ||
        details->cbDetails < sizeof(DWORD) || !details->paDetails) {
        return MMSYSERR_INVALPARAM;
    }
    const std::size_t storedChannels = uniform ? 1 : found.line->channels;
    const std::size_t storedItems =
        control.values.size() / std::max<std::size_t>(storedChannels, 1);
    const auto* in = static_cast<const BYTE*>(details->paDetails);
    auto given = [&](std::size_t c, std::size_t i) {
        DWORD value = 0;
        std::memcpy(&value, in + (c * items + i) * details->cbDetails, sizeof(value));
        return value;
    };

    std::vector<DWORD> values = control.values;
    for (std::size_t c = 0; c < storedChannels; ++c) {
        for (std::size_t i = 0; i < std::min<std::size_t>(storedItems, items); ++i) {
            DWORD value = given(std::min<std::size_t>(c, channels - 1), i);
            if ((control.type & MIXERCONTROL_CT_CLASS_MASK) == MIXERCONTROL_CT_CLASS_FADER) {
                value =
                    std::clamp(value, control.minimum, std::max(control.minimum, control.maximum));
            } else {
                value = value != 0;
            }
            values[c * storedItems + i] = value;
        }
    }
    if (IsSingleSelect(control.type)) {
        // Exactly one source records: the first one asked for.
        const auto first = std::find(values.begin(), values.end(), 1u);
        if (first == values.end()) return MMSYSERR_INVALPARAM;
        const auto chosen = first - values.begin();
        std::fill(values.begin(), values.end(), 0u);
        values[static_cast<std::size_t>(chosen)] = 1;
    }
    control.values = std::move(values);
    ++m_writes;
    Notify(static_cast<std::size_t>(device - devices.data()), control.id);
    Changed();
    return MMSYSERR_NOERROR;
}

void SimMixer::Notify(std::size_t device, DWORD controlId) {
    for (const auto& [handle, owner] : m_handles) {
        if (owner.device != device || owner.generation != devices[device].generation ||
            !owner.window) {
            continue;
        }
        ::PostMessageA(owner.window, MM_MIXM_CONTROL_CHANGE, reinterpret_cast<WPARAM>(handle),
                       static_cast<LPARAM>(controlId));
        if (m_notifications.size() >= kNotificationLimit) {
            m_notifications.erase(m_notifications.begin(),
                                  m_notifications.begin() + m_notifications.size() / 2);
        }
        m_notifications.push_back({owner.window, handle, controlId});
    }
}

void SimMixer::ClearLogs() {
    std::vector<UINT>().swap(openCalls);
    std::vector<HWND>().swap(openWindows);
    std::vector<SimMixerNotification>().swap(m_notifications);
}

void SimMixer::Changed() const {
    if (m_observer) m_observer();
}

}  // namespace sim
