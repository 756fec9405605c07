#include "mixer/MixerListItem.h"

#include <cstring>
#include <vector>

#include "mixer/MixerMath.h"

namespace {

bool IsSwitchOrList(DWORD controlType) {
    const DWORD kind = controlType & MIXERCONTROL_CT_CLASS_MASK;
    return kind == MIXERCONTROL_CT_CLASS_SWITCH || kind == MIXERCONTROL_CT_CLASS_LIST;
}

}  // namespace

DWORD& RecordingMuxId() {
    static DWORD id = 0;
    return id;
}

bool CMixerListItem::Bind(DWORD destinationType, DWORD sourceType, DWORD controlType,
                          DWORD itemType, HWND notify, const char* name) {
    if (!IsSwitchOrList(controlType)) return false;
    if (!Open(destinationType, sourceType, controlType, notify, name)) return false;
    // The entry found by type counts the destination's sources, which a list may have fewer
    // items than: an entry outside the values is no entry of this list.
    bool found = FindSource(itemType) && ItemIndex() < ValueCount();
    if (!found && name && *name) found = FindByText(name);
    if (!found) {
        Close();
        return false;
    }
    SetBound(true);
    RecordingMuxId() = Control().dwControlID;
    return true;
}

bool CMixerListItem::FindByText(const char* name) {
    const bool uniform = (Control().fdwControl & MIXERCONTROL_CONTROLF_UNIFORM) != 0;
    const DWORD channels = uniform ? 1 : DestinationLine().cChannels;
    const DWORD items = Control().cMultipleItems;
    if (channels == 0 || channels > mixer::kMaxChannels || items == 0 || items > mixer::kMaxItems) {
        return false;
    }
    std::vector<MIXERCONTROLDETAILS_LISTTEXTA> texts(static_cast<std::size_t>(channels) * items);
    MIXERCONTROLDETAILS request{};
    request.cbStruct = sizeof(request);
    request.dwControlID = Control().dwControlID;
    request.cChannels = channels;
    request.cMultipleItems = items;
    request.cbDetails = sizeof(MIXERCONTROLDETAILS_LISTTEXTA);
    request.paDetails = texts.data();
    if (platform::Mixer().GetControlDetails(
            reinterpret_cast<HMIXEROBJ>(MixerHandle()), &request,
            MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_LISTTEXT) != MMSYSERR_NOERROR) {
        return false;
    }
    for (DWORD i = 0; i < texts.size(); ++i) {
        char text[sizeof(texts[i].szName) + 1] = {};
        std::memcpy(text, texts[i].szName, sizeof(texts[i].szName));
        if (!std::strstr(text, name)) continue;
        if (i >= ValueCount()) return false;
        SetItemIndex(i);
        return true;
    }
    return false;
}

void CMixerListItem::Select(DWORD value) {
    DWORD* values = Values();
    if (!IsBound() || !values || ItemIndex() >= ValueCount()) return;
    for (DWORD i = 0; i < ValueCount(); ++i)
        values[i] = 0;
    values[ItemIndex()] = value;
    WriteValues();
}

void CMixerListItem::GetState(DWORD& state) {
    if (!IsBound() || !Values() || ItemIndex() >= ValueCount()) return;
    ReadValues();
    state = Values()[ItemIndex()];
}
