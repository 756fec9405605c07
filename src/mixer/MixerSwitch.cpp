#include "mixer/MixerSwitch.h"

#include "framework/ResString.h"
#include "res/resource.h"
#include "ui/Skin.h"

using ui::LoadBitmapResource;

namespace {

bool IsSwitchClass(DWORD controlType) {
    return (controlType & MIXERCONTROL_CT_CLASS_MASK) == MIXERCONTROL_CT_CLASS_SWITCH;
}

}  // namespace

CMixerSwitch::CMixerSwitch()
    : m_onImage(LoadBitmapResource(IDB_MUTE_ON)),
      m_offImage(LoadBitmapResource(IDB_MUTE_OFF)),
      m_unboundImage(LoadBitmapResource(IDB_MUTE_DISABLED)) {}

const fw::MessageMap* CMixerSwitch::GetMessageMap() const {
    static constexpr fw::MsgRow kRows[] = {
        fw::OnReflectCommand<&CMixerSwitch::Toggle>(STN_CLICKED),
        fw::OnMessage<&CMixerSwitch::OnMixerChange>(MM_MIXM_CONTROL_CHANGE),
        fw::OnSignal<&CMixerSwitch::OnDestroy>(WM_DESTROY),
    };
    static const fw::MessageMap kMap{CStatic::GetMessageMap(), kRows};
    return &kMap;
}

bool CMixerSwitch::Bind(DWORD destinationType, DWORD sourceType, DWORD controlType) {
    if (!m_hWnd) return false;
    EnableWindow(FALSE);
    SetBitmap(m_unboundImage.Get());
    if (!IsSwitchClass(controlType)) return false;
    if (!Open(destinationType, sourceType, controlType, m_hWnd, "")) return false;
    const bool multiple = (Control().fdwControl & MIXERCONTROL_CONTROLF_MULTIPLE) != 0;
    if ((multiple && m_entryIndex >= Control().cMultipleItems) || m_entryIndex >= ValueCount()) {
        Close();
        return false;
    }
    if (ReadValues()) {
        EnableWindow(TRUE);
        ShowEntry();
    }
    return true;
}

DWORD CMixerSwitch::Entry() const {
    const DWORD* values = Values();
    return values && m_entryIndex < ValueCount() ? values[m_entryIndex] : 0;
}

void CMixerSwitch::SetAll(DWORD value) {
    DWORD* values = Values();
    for (DWORD i = 0; values && i < ValueCount(); ++i)
        values[i] = value;
}

void CMixerSwitch::ShowEntry() {
    SetBitmap(Entry() ? m_onImage.Get() : m_offImage.Get());
}

void CMixerSwitch::Toggle() {
    if (!IsOpen() || !Values()) return;
    const DWORD value = Entry() ? 0 : 1;
    SetAll(value);
    ShowEntry();
    WriteValues();
}

void CMixerSwitch::SwitchOn() {
    if (!Values()) return;
    SetAll(1);
    ShowEntry();
    WriteValues();
}

LRESULT CMixerSwitch::OnMixerChange(WPARAM, LPARAM controlId) {
    if (ReadValues() && static_cast<DWORD>(controlId) == Control().dwControlID) ShowEntry();
    return 0;
}

void CMixerSwitch::OnDestroy() {
    Close();
    Default();
}
