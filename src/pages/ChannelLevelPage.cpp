#include "pages/ChannelLevelPage.h"

#include "framework/ResString.h"
#include "pages/LevelScale.h"
#include "platform/Seams.h"
#include "res/resource.h"
#include "ui/Skin.h"

namespace {

using device::Channel;

struct ChannelControls {
    Channel channel;
    int slider;
    int reset;
    const char* setting;
};

// In the page's order, which is also the order of restoring.
constexpr ChannelControls kControls[CChannelLevelPage::kChannels] = {
    {Channel::L, IDC_LEVEL_L, IDC_RESET_L, settings::kVolumeL},
    {Channel::R, IDC_LEVEL_R, IDC_RESET_R, settings::kVolumeR},
    {Channel::LFE, IDC_LEVEL_LFE, IDC_RESET_LFE, settings::kVolumeLFE},
    {Channel::C, IDC_LEVEL_C, IDC_RESET_C, settings::kVolumeC},
    {Channel::RL, IDC_LEVEL_RL, IDC_RESET_RL, settings::kVolumeRL},
    {Channel::RR, IDC_LEVEL_RR, IDC_RESET_RR, settings::kVolumeRR},
};

// Where a slider starts, before the first open step shows the stored gains.
constexpr int kInitialPosition = 9;

int IndexOf(Channel channel) {
    for (int i = 0; i < CChannelLevelPage::kChannels; ++i) {
        if (kControls[i].channel == channel) return i;
    }
    return 0;
}

}  // namespace

CChannelLevelPage::CChannelLevelPage() : CSkinPage(IDD_CHANNEL_LEVEL, 1) {}

const fw::MessageMap* CChannelLevelPage::GetMessageMap() const {
    static constexpr fw::MsgRow kRows[] = {
        fw::OnScroll<&CChannelLevelPage::OnVScroll>(WM_VSCROLL),
        fw::OnCommand<&CChannelLevelPage::OnReset<0>>(IDC_RESET_L),
        fw::OnCommand<&CChannelLevelPage::OnReset<1>>(IDC_RESET_R),
        fw::OnCommand<&CChannelLevelPage::OnReset<2>>(IDC_RESET_LFE),
        fw::OnCommand<&CChannelLevelPage::OnReset<3>>(IDC_RESET_C),
        fw::OnCommand<&CChannelLevelPage::OnReset<4>>(IDC_RESET_RL),
        fw::OnCommand<&CChannelLevelPage::OnReset<5>>(IDC_RESET_RR),
        fw::OnDrawItem<&CChannelLevelPage::OnDrawItem>(),
    };
    static const fw::MessageMap kMap{CSkinPage::GetMessageMap(), kRows};
    return &kMap;
}

void CChannelLevelPage::DoDataExchange(CDataExchange* dx) {
    for (int i = 0; i < kChannels; ++i)
        DDX_Control(dx, kControls[i].slider, m_sliders[static_cast<std::size_t>(i)]);
}

BOOL CChannelLevelPage::OnInitDialog() {
    CSkinPage::OnInitDialog();
    InitSliders();
    OpenPage();
    return TRUE;
}

void CChannelLevelPage::InitSliders() {
    for (CBitmapSlider& slider : m_sliders) {
        slider.SetRange(levels::kTop, levels::kBottom, FALSE);
        slider.SetPos(kInitialPosition);
    }
}

void CChannelLevelPage::OpenPage() {
    if (!m_device.Open()) {
        // The first failure is silent, every later one is shown.
        if (++m_failedOpens > 1) {
            platform::Prompts().MessageBox(m_hWnd, fw::ResString(IDS_DRIVER_NOT_LOADED).c_str(),
                                           fw::ResString(IDS_ERROR_CAPTION).c_str(), MB_ICONHAND);
        }
        return;
    }
    RestoreGains();
    SendAllGains();
}

void CChannelLevelPage::ClosePage() {
    m_device.Close();
    m_settings.Close();
}

void CChannelLevelPage::RestoreGains() {
    m_settings.Open();
    for (int i = 0; i < kChannels; ++i) {
        const auto index = static_cast<std::size_t>(i);
        m_gains[index] = m_settings.ReadOrCreateGain(kControls[i].setting, 1.0f);
        m_sliders[index].SetPos(levels::PositionForGain(m_gains[index]));
    }
}

// On a handle of its own; the adapter's answers are not looked at.
void CChannelLevelPage::SendAllGains() const {
    CDeviceChannel adapter;
    if (!adapter.Open()) return;
    for (const Channel channel : device::kChannelSendOrder)
        adapter.SetGain(channel, m_gains[static_cast<std::size_t>(IndexOf(channel))]);
}

int CChannelLevelPage::SliderIndex(HWND bar) const {
    for (int i = 0; i < kChannels; ++i) {
        if (bar && m_sliders[static_cast<std::size_t>(i)].GetSafeHwnd() == bar) return i;
    }
    return -1;
}

// Every scroll code, so the level follows the thumb while it is dragged.
void CChannelLevelPage::OnVScroll(UINT, UINT, HWND bar) {
    if (!m_device.IsOpen()) return;
    if (const int i = SliderIndex(bar); i >= 0) {
        const auto index = static_cast<std::size_t>(i);
        const float gain = levels::GainForPosition(m_sliders[index].GetPos());
        m_gains[index] = gain;
        if (m_device.SetGain(kControls[i].channel, gain)) {
            m_settings.WriteGain(kControls[i].setting, gain);
        } else {
            ShowTransportError();
            // The box's nested loop may have seen the program end.
            if (!m_hWnd) return;
        }
    }
    ::InvalidateRect(bar, nullptr, TRUE);
    Default();
}

void CChannelLevelPage::ResetChannel(int i) {
    if (!m_device.IsOpen()) return;
    const auto index = static_cast<std::size_t>(i);
    m_gains[index] = 1.0f;
    if (!m_device.SetGain(kControls[i].channel, 1.0f)) {
        ShowTransportError();
        return;
    }
    m_settings.WriteGain(kControls[i].setting, 1.0f);
    CBitmapSlider& slider = m_sliders[index];
    slider.SetPos(levels::kZeroDb);
    slider.SendMessage(WM_LBUTTONUP, 0, 0);
    slider.Invalidate(TRUE);
    Invalidate(TRUE);
}

void CChannelLevelPage::OnDrawItem(UINT, DRAWITEMSTRUCT& item) {
    if (item.CtlType == ODT_BUTTON) ui::DrawCaptionButton(item, fw::ResString(IDS_RESET), false);
}

void CChannelLevelPage::ShowTransportError() const {
    platform::Prompts().MessageBox(m_hWnd, fw::ResString(IDS_TRANSPORT_ERROR).c_str(),
                                   fw::ResString(IDS_IOCONTROL_ERROR).c_str(), MB_OK);
}
