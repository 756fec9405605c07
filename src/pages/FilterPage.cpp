#include "pages/FilterPage.h"

#include "app/PanelShared.h"
#include "framework/ResString.h"
#include "platform/Seams.h"
#include "res/resource.h"

namespace {

// The controls that only mean something while the filter is on.
constexpr int kFilterChoices[] = {IDC_SPEAKER_21, IDC_SPEAKER_51, IDC_BASS_GROUP,
                                  IDC_BASS_120,   IDC_BASS_300,   IDC_BASS_450};

}  // namespace

CFilterPage::CFilterPage() : CSkinPage(IDD_FILTER, 2) {}

CFilterPage::~CFilterPage() {
    if (m_hWnd && Panel().filterPage == m_hWnd) Panel().filterPage = nullptr;
}

const fw::MessageMap* CFilterPage::GetMessageMap() const {
    static constexpr fw::MsgRow kRows[] = {
        fw::OnCommand<&CFilterPage::OnEnableFilter>(IDC_ENABLE_FILTER),
        fw::OnCommand<&CFilterPage::OnSpeaker21>(IDC_SPEAKER_21),
        fw::OnCommand<&CFilterPage::OnSpeaker51>(IDC_SPEAKER_51),
        fw::OnCommand<&CFilterPage::OnBass120>(IDC_BASS_120),
        fw::OnCommand<&CFilterPage::OnBass300>(IDC_BASS_300),
        fw::OnCommand<&CFilterPage::OnBass450>(IDC_BASS_450),
        fw::OnTimer<&CFilterPage::OnTimer>(),
        fw::OnMessage<&CFilterPage::OnFilterDeclined>(WM_FILTER_DECLINED),
        fw::OnSignal<&CFilterPage::OnDestroy>(WM_DESTROY),
    };
    static const fw::MessageMap kMap{CSkinPage::GetMessageMap(), kRows};
    return &kMap;
}

void CFilterPage::DoDataExchange(CDataExchange* dx) {
    DDX_Check(dx, IDC_ENABLE_FILTER, m_filterEnable);
    DDX_Radio(dx, IDC_SPEAKER_21, m_speakerChoice);
    DDX_Radio(dx, IDC_BASS_120, m_bassChoice);
    DDX_Text(dx, IDC_PLAYING_SOURCE, m_playingSource);
}

BOOL CFilterPage::OnInitDialog() {
    CSkinPage::OnInitDialog();
    OpenPage();
    UpdateData(FALSE);
    Panel().filterPage = m_hWnd;
    return TRUE;
}

// The main window must never send its message to a window that is gone.
void CFilterPage::OnDestroy() {
    if (Panel().filterPage == m_hWnd) Panel().filterPage = nullptr;
    Default();
}

bool CFilterPage::StillOpen(unsigned connection) const {
    return m_hWnd && m_connection == connection && m_device.IsOpen();
}

void CFilterPage::OpenPage() {
    const unsigned connection = ++m_connection;
    if (!m_device.Open()) {
        if (m_hWnd) KillTimer(kStreamTimer);
        ++m_failedOpens;
        // The first failure is silent; the message shows only until the settings were applied once.
        if (m_firstOpenState == 1 && m_failedOpens > 1) {
            platform::Prompts().MessageBox(m_hWnd, fw::ResString(IDS_DRIVER_NOT_LOADED).c_str(),
                                           fw::ResString(IDS_ERROR_CAPTION).c_str(), MB_ICONHAND);
        }
        return;
    }
    LoadSettings();
    if (m_firstOpenState == 1) {
        ApplyFilter();
        m_firstOpenState = 3;
        if (!StillOpen(connection)) return;
    }
    SetTimer(kStreamTimer, kStreamPeriod);
}

void CFilterPage::ClosePage() {
    ++m_connection;
    m_device.Close();
    if (m_hWnd) KillTimer(kStreamTimer);
    m_settings.Close();
}

void CFilterPage::LoadSettings() {
    m_settings.Open();
    m_filterEnable = static_cast<int>(m_settings.ReadOrCreate(settings::kEnableFilter, 1));
    m_speakerChoice = static_cast<int>(m_settings.ReadOrCreate(settings::kOutputMode, 1));
    m_bassChoice = static_cast<int>(m_settings.ReadOrCreate(settings::kBassOutputMode, 0));
    UpdateData(FALSE);
}

void CFilterPage::OnEnableFilter() {
    ApplyFilter();
}

// The controls are enabled or disabled before the request and stay so when it fails.
void CFilterPage::ApplyFilter() {
    if (!m_device.IsOpen()) return;
    const unsigned connection = m_connection;
    UpdateData(TRUE);
    PanelShared& shared = Panel();
    shared.filterEnabled = m_filterEnable;
    if (m_filterEnable) {
        shared.fiveOnePrompt = 1;
        EnableChoices(true);
        if (!m_device.Send(device::IOCTL_FILTER_ON)) {
            ShowTransportError();
            return;
        }
        m_settings.Write(settings::kEnableFilter, 1);
        if (m_speakerChoice == 0 || m_speakerChoice == 1) ChooseSpeakers(m_speakerChoice);
        if (m_firstOpenState == 1 && StillOpen(connection)) ChooseBass(m_bassChoice);
    } else {
        EnableChoices(false);
        if (!m_device.Send(device::IOCTL_FILTER_OFF)) {
            ShowTransportError();
            return;
        }
        m_settings.Write(settings::kEnableFilter, 0);
    }
}

void CFilterPage::ChooseSpeakers(int choice) {
    if (!m_device.IsOpen()) return;
    if (!m_device.Send(choice == 1 ? device::IOCTL_SPEAKER_51 : device::IOCTL_SPEAKER_21)) {
        ShowTransportError();
        return;
    }
    UpdateData(TRUE);
    m_settings.Write(settings::kOutputMode, static_cast<DWORD>(m_speakerChoice));
}

// A failed bass request is silent. The click does not read the controls: the stream poll does.
void CFilterPage::ChooseBass(int choice) {
    if (!m_device.IsOpen() || choice < 0 || choice > 2) return;
    if (m_device.SetBass(choice)) {
        m_settings.Write(settings::kBassOutputMode, static_cast<DWORD>(choice));
    }
}

void CFilterPage::OnTimer(UINT_PTR id) {
    if (id != kStreamTimer || !m_device.IsOpen()) return;
    device::StreamRecord record{};
    if (!m_device.GetStreamKind(record)) return;
    UpdateData(TRUE);
    const device::StreamKind kind = device::DecodeStreamKind(record);
    m_playingSource = kind == device::StreamKind::FiveOne ? fw::ResString(IDS_STREAM_FIVE_ONE)
                      : kind == device::StreamKind::TwoChannel
                          ? fw::ResString(IDS_STREAM_TWO_CHANNEL)
                          : std::string();
    UpdateData(FALSE);
}

// The main window has cleared the filter-enabled flag: the check box follows it, and applying
// the filter switches it off.
LRESULT CFilterPage::OnFilterDeclined(WPARAM, LPARAM) {
    m_filterEnable = Panel().filterEnabled;
    UpdateData(FALSE);
    ApplyFilter();
    return 1;
}

void CFilterPage::EnableChoices(bool enable) const {
    for (const int id : kFilterChoices)
        ::EnableWindow(GetDlgItem(id), enable ? TRUE : FALSE);
}

void CFilterPage::ShowTransportError() const {
    platform::Prompts().MessageBox(m_hWnd, fw::ResString(IDS_TRANSPORT_ERROR).c_str(),
                                   fw::ResString(IDS_IOCONTROL_ERROR).c_str(), MB_OK);
}
