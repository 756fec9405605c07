#include "mixer/MixerVolumePage.h"

#include "framework/ResString.h"
#include "res/resource.h"
#include "ui/Skin.h"

namespace {

struct Column {
    DWORD source;
    const char* name;  // for the search by short name
    UINT volume;
    UINT balance;
    UINT mute;
    UINT reset;
};

constexpr DWORD kPlayback = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
constexpr int kLineColumn = 3;
constexpr int kMicrophoneColumn = 4;

constexpr Column kColumnTable[CMixerVolumePage::kColumns] = {
    {CMixerControl::kDestinationOnly, "Speaker", IDC_VOLUME_MAIN, IDC_BALANCE_MAIN, IDC_MUTE_MAIN,
     IDC_RESET_MAIN},
    {MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, "Wave", IDC_VOLUME_WAVE, IDC_BALANCE_WAVE, IDC_MUTE_WAVE,
     IDC_RESET_WAVE},
    {MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER, "SW", IDC_VOLUME_SYNTH, IDC_BALANCE_SYNTH,
     IDC_MUTE_SYNTH, IDC_RESET_SYNTH},
    {MIXERLINE_COMPONENTTYPE_SRC_LINE, "Line", IDC_VOLUME_LINE, IDC_BALANCE_LINE, IDC_MUTE_LINE,
     IDC_RESET_LINE},
    {MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE, "Microphone", IDC_VOLUME_MIC, IDC_BALANCE_MIC,
     IDC_MUTE_MIC, IDC_RESET_MIC},
};

// The order the template's controls are subclassed in.
constexpr int kSwitchOrder[] = {0, 1, 2, 4, 3};
constexpr int kBalanceOrder[] = {0, 1, 3, 4, 2};

}  // namespace

CMixerVolumePage::CMixerVolumePage() : CSkinPage(IDD_MIXER_VOLUME, 0) {}

const fw::MessageMap* CMixerVolumePage::GetMessageMap() const {
    static constexpr fw::MsgRow kRows[] = {
        fw::OnCommand<&CMixerVolumePage::OnReset<0>>(IDC_RESET_MAIN),
        fw::OnCommand<&CMixerVolumePage::OnReset<1>>(IDC_RESET_WAVE),
        fw::OnCommand<&CMixerVolumePage::OnReset<2>>(IDC_RESET_SYNTH),
        fw::OnCommand<&CMixerVolumePage::OnReset<3>>(IDC_RESET_LINE),
        fw::OnCommand<&CMixerVolumePage::OnReset<4>>(IDC_RESET_MIC),
        fw::OnDrawItem<&CMixerVolumePage::OnDrawItem>(),
    };
    static const fw::MessageMap kMap{CSkinPage::GetMessageMap(), kRows};
    return &kMap;
}

BOOL CMixerVolumePage::OnInitDialog() {
    CSkinPage::OnInitDialog();
    for (int c : kSwitchOrder)
        Switch(c).SubclassDlgItem(kColumnTable[c].mute, this);
    for (int c : kBalanceOrder) {
        Balance(c).SubclassDlgItem(kColumnTable[c].balance, this);
        Balance(c).SetHorizontalLook(true);
    }
    for (int c = 0; c < kColumns; ++c)
        Volume(c).SubclassDlgItem(kColumnTable[c].volume, this);
    Bind();
    return TRUE;
}

void CMixerVolumePage::Bind() {
    for (int c = 0; c < kColumns; ++c) {
        CMixerSwitch& mute = Switch(c);
        mute.Close();
        if (mute.Bind(kPlayback, kColumnTable[c].source, MIXERCONTROL_CONTROLTYPE_MUTE)) {
            ::EnableWindow(GetDlgItem(static_cast<int>(kColumnTable[c].mute)), TRUE);
        }
    }
    for (int c = 0; c < kColumns; ++c) {
        const Column& column = kColumnTable[c];
        CMixerSlider& volume = Volume(c);
        volume.Close();
        if (volume.Bind(kPlayback, column.source, MIXERCONTROL_CONTROLTYPE_VOLUME,
                        CMixerSlider::Mode::Volume, column.name)) {
            volume.EnableWindow(TRUE);
            ::EnableWindow(GetDlgItem(static_cast<int>(column.reset)), TRUE);
            volume.SetBound(true);
        }
        CMixerSlider& balance = Balance(c);
        balance.Close();
        if (balance.Bind(kPlayback, column.source, MIXERCONTROL_CONTROLTYPE_VOLUME,
                         CMixerSlider::Mode::Balance, column.name)) {
            balance.EnableWindow(TRUE);
            balance.SetBound(true);
        }
    }
}

BOOL CMixerVolumePage::Release() {
    for (int c = 0; c < kColumns; ++c) {
        Volume(c).Close();
        Balance(c).Close();
    }
    for (int c = 0; c < kColumns; ++c)
        Switch(c).Close();
    return TRUE;
}

void CMixerVolumePage::FirstLaunchDefaults() {
    CMixerSwitch& microphone = Switch(kMicrophoneColumn);
    if (microphone.IsBound()) microphone.SwitchOn();
    for (int c = 0; c < kColumns; ++c) {
        if (Volume(c).IsBound()) Volume(c).CentreAndApply();
    }
}

void CMixerVolumePage::Reset(int column) {
    Volume(column).SendMessage(WM_MIXSLIDER_CENTRE);
    ::InvalidateRect(GetDlgItem(static_cast<int>(kColumnTable[column].reset)), nullptr, TRUE);
    if (column == kLineColumn) Invalidate(TRUE);
}

void CMixerVolumePage::OnDrawItem(UINT, DRAWITEMSTRUCT& item) {
    if (item.CtlType != ODT_BUTTON) return;
    ui::DrawCaptionButton(item, fw::ResString(IDS_RESET), true);
}
