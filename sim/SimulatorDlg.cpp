#include "sim/SimulatorDlg.h"

#include <dbt.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <iterator>
#include <string>

#include "framework/WinApp.h"
#include "sim/simulator_resource.h"

namespace {

constexpr UINT kRefreshMessage = WM_APP + 1;

// What the sibling library's installer answers; a failure names its message by string id.
struct InstallResult {
    const char* label;
    DWORD failureId;  // 0: succeeds
};
constexpr InstallResult kInstallResults[] = {
    {"Installation succeeds", 0},
    {"Installation fails: re-plug or reboot", 65334},
    {"Installation fails: not plugged in", 65335},
    {"Installation fails: not installed", 65336},
};

// A gain as a person reads it and as the driver received it: the exact single and its bits.
std::string GainText(float gain) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &gain, sizeof(bits));
    char level[24];
    if (gain > 0.0f && std::isfinite(gain)) {
        std::snprintf(level, sizeof(level), "%+.1f dB", 20.0 * std::log10(gain));
    } else {
        std::snprintf(level, sizeof(level), "no level");
    }
    char text[80];
    std::snprintf(text, sizeof(text), "%s   %.9g  (%08lX)", level, static_cast<double>(gain),
                  static_cast<unsigned long>(bits));
    return text;
}

BOOL CALLBACK PostDeviceChange(HWND window, LPARAM) {
    ::PostMessageA(window, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    return TRUE;
}

bool SameRequest(const sim::DriverRequest& a, const sim::DriverRequest& b) {
    return a.code == b.code && a.input == b.input && a.succeeded == b.succeeded;
}

std::string LogLine(std::size_t number, const sim::DriverRequest& request) {
    const char* name = sim::RequestName(request.code);
    char head[64];
    if (name) {
        std::snprintf(head, sizeof(head), "%zu  %s", number, name);
    } else {
        std::snprintf(head, sizeof(head), "%zu  0x%06lX", number, request.code);
    }
    std::string line = head;
    if (!request.input.empty()) {
        line += "  [";
        for (std::size_t i = 0; i < request.input.size(); ++i) {
            char byte[4];
            std::snprintf(byte, sizeof(byte), i ? " %02X" : "%02X", request.input[i]);
            line += byte;
        }
        line += "]";
    }
    if (!request.succeeded) line += "  FAILED";
    return line;
}

}  // namespace

CSimulatorDlg::CSimulatorDlg(sim::SimWorld& world) : CDialog(IDD_SIMULATOR), m_world(world) {}

CSimulatorDlg::~CSimulatorDlg() {
    m_world.SetObserver(nullptr);
}

const fw::MessageMap* CSimulatorDlg::GetMessageMap() const {
    static constexpr fw::MsgRow kRows[] = {
        fw::OnCommand<&CSimulatorDlg::OnPlug>(IDC_SIM_PLUG),
        fw::OnCommand<&CSimulatorDlg::OnStreamNone>(IDC_SIM_STREAM_NONE),
        fw::OnCommand<&CSimulatorDlg::OnStreamTwo>(IDC_SIM_STREAM_TWO),
        fw::OnCommand<&CSimulatorDlg::OnStreamFive>(IDC_SIM_STREAM_FIVE),
        fw::OnCommand<&CSimulatorDlg::OnInstalled>(IDC_SIM_INSTALLED),
        fw::OnCommand<&CSimulatorDlg::OnInstallResult>(IDC_SIM_INSTALL_RESULT, CBN_SELCHANGE),
        fw::OnCommand<&CSimulatorDlg::OnFailOpens>(IDC_SIM_FAIL_OPENS),
        fw::OnCommand<&CSimulatorDlg::OnFailCodeSelected>(IDC_SIM_FAIL_CODE, CBN_SELCHANGE),
        fw::OnCommand<&CSimulatorDlg::OnFailCode>(IDC_SIM_FAIL_CODE_ON),
        fw::OnCommand<&CSimulatorDlg::OnFailNext>(IDC_SIM_FAIL_NEXT),
        fw::OnCommand<&CSimulatorDlg::OnClear>(IDC_SIM_CLEAR),
        fw::OnMessage<&CSimulatorDlg::OnRefresh>(kRefreshMessage),
    };
    static const fw::MessageMap kMap{CDialog::GetMessageMap(), kRows};
    return &kMap;
}

BOOL CSimulatorDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    HWND combo = GetDlgItem(IDC_SIM_FAIL_CODE);
    for (DWORD code = device::IOCTL_FILTER_ON; code <= device::IOCTL_GET_STREAM_KIND; code += 4) {
        const auto index = ::SendMessageA(combo, CB_ADDSTRING, 0,
                                          reinterpret_cast<LPARAM>(sim::RequestName(code)));
        ::SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), code);
    }
    ::SendMessageA(combo, CB_SETCURSEL, 0, 0);

    HWND results = GetDlgItem(IDC_SIM_INSTALL_RESULT);
    for (const InstallResult& result : kInstallResults) {
        ::SendMessageA(results, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(result.label));
    }
    ::SendMessageA(results, CB_SETCURSEL, 0, 0);
    // Room for the longest line, a bass record's twelve bytes.
    ::SendMessageA(GetDlgItem(IDC_SIM_LOG), LB_SETHORIZONTALEXTENT, 400, 0);
    ::CheckDlgButton(m_hWnd, IDC_SIM_INSTALLED,
                     m_world.sibling.deviceInstalled ? BST_CHECKED : BST_UNCHECKED);
    ::SetDlgItemInt(m_hWnd, IDC_SIM_FAIL_COUNT, 1, FALSE);
    const device::StreamKind kind = device::DecodeStreamKind(m_world.driver.stream);
    const int radio = kind == device::StreamKind::FiveOne      ? IDC_SIM_STREAM_FIVE
                      : kind == device::StreamKind::TwoChannel ? IDC_SIM_STREAM_TWO
                                                               : IDC_SIM_STREAM_NONE;
    ::CheckRadioButton(m_hWnd, IDC_SIM_STREAM_NONE, IDC_SIM_STREAM_FIVE, radio);
    m_world.SetObserver([this] {
        if (m_hWnd && !m_refreshPosted) m_refreshPosted = PostMessage(kRefreshMessage) != FALSE;
    });
    OnRefresh(0, 0);
    return TRUE;
}

// Closing the simulator ends the program, as the tray's Exit does.
void CSimulatorDlg::OnCancel() {
    CWinApp* app = CWinApp::Current();
    if (app && app->m_pMainWnd) {
        app->m_pMainWnd->PostMessage(WM_CLOSE);
    } else {
        ::PostQuitMessage(0);
    }
}

// The system tells every top-level window of the program when a device comes or goes; Windows
// 2000 and later report a new device twice.
void CSimulatorDlg::OnPlug() {
    const bool arrival = !m_world.IsPlugged();
    m_world.SetPlugged(arrival);
    for (int i = 0; i < (arrival ? 2 : 1); ++i)
        ::EnumThreadWindows(::GetCurrentThreadId(), &PostDeviceChange, 0);
}

void CSimulatorDlg::OnStreamNone() {
    SetStream(device::StreamKind::None);
}
void CSimulatorDlg::OnStreamTwo() {
    SetStream(device::StreamKind::TwoChannel);
}
void CSimulatorDlg::OnStreamFive() {
    SetStream(device::StreamKind::FiveOne);
}

void CSimulatorDlg::SetStream(device::StreamKind kind) {
    m_world.driver.SetStreamKind(kind);
    m_world.Changed();
}

void CSimulatorDlg::OnInstalled() {
    m_world.sibling.deviceInstalled =
        ::IsDlgButtonChecked(m_hWnd, IDC_SIM_INSTALLED) == BST_CHECKED;
}

void CSimulatorDlg::OnInstallResult() {
    const auto index = ::SendMessageA(GetDlgItem(IDC_SIM_INSTALL_RESULT), CB_GETCURSEL, 0, 0);
    if (index < 0 || index >= static_cast<LRESULT>(std::size(kInstallResults))) return;
    const DWORD failureId = kInstallResults[index].failureId;
    m_world.sibling.installSucceeds = failureId == 0;
    if (failureId) m_world.sibling.failureId = failureId;
}

void CSimulatorDlg::OnFailOpens() {
    m_world.FailEveryOpen(::IsDlgButtonChecked(m_hWnd, IDC_SIM_FAIL_OPENS) == BST_CHECKED);
}

DWORD CSimulatorDlg::SelectedCode() const {
    HWND combo = GetDlgItem(IDC_SIM_FAIL_CODE);
    const auto index = ::SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (index < 0) return 0;
    return static_cast<DWORD>(::SendMessageA(combo, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

void CSimulatorDlg::OnFailCodeSelected() {
    ::CheckDlgButton(m_hWnd, IDC_SIM_FAIL_CODE_ON,
                     m_world.IsRequestFailing(SelectedCode()) ? BST_CHECKED : BST_UNCHECKED);
}

void CSimulatorDlg::OnFailCode() {
    const DWORD code = SelectedCode();
    if (code) {
        m_world.FailRequest(code,
                            ::IsDlgButtonChecked(m_hWnd, IDC_SIM_FAIL_CODE_ON) == BST_CHECKED);
    }
}

void CSimulatorDlg::OnFailNext() {
    BOOL ok = FALSE;
    const UINT count = ::GetDlgItemInt(m_hWnd, IDC_SIM_FAIL_COUNT, &ok, FALSE);
    if (ok) m_world.FailNextRequests(static_cast<int>(count));
}

void CSimulatorDlg::OnClear() {
    m_world.ClearLogs();
}

LRESULT CSimulatorDlg::OnRefresh(WPARAM, LPARAM) {
    m_refreshPosted = false;
    ::SetDlgItemTextA(m_hWnd, IDC_SIM_PLUG_STATE, m_world.IsPlugged() ? "Plugged in" : "Unplugged");
    ::SetDlgItemTextA(m_hWnd, IDC_SIM_PLUG, m_world.IsPlugged() ? "Pull out" : "Plug in");
    ShowState();
    ShowLog();
    return 0;
}

void CSimulatorDlg::ShowState() const {
    const sim::FilterDriver& d = m_world.driver;
    using device::Channel;
    char text[512];
    std::snprintf(text, sizeof(text),
                  "Filter: %s\nSpeakers: %s\nSurround sweep: %s\nBass: %lu / %lu / %lu\n\n"
                  "L\t%s\nR\t%s\nC\t%s\nLFE\t%s\nRL\t%s\nRR\t%s\n\nOpen handles: %d\n"
                  "Driver opens: %d",
                  d.filterOn ? "on" : "off", d.speakers51 ? "5.1" : "2.1",
                  d.surround ? "running" : "off", static_cast<unsigned long>(d.bass.first),
                  static_cast<unsigned long>(d.bass.second), static_cast<unsigned long>(d.bass.sum),
                  GainText(d.Gain(Channel::L)).c_str(), GainText(d.Gain(Channel::R)).c_str(),
                  GainText(d.Gain(Channel::C)).c_str(), GainText(d.Gain(Channel::LFE)).c_str(),
                  GainText(d.Gain(Channel::RL)).c_str(), GainText(d.Gain(Channel::RR)).c_str(),
                  m_world.OpenHandles(), m_world.DriverOpenAttempts());
    ::SetDlgItemTextA(m_hWnd, IDC_SIM_STATE, text);
}

void CSimulatorDlg::ShowLog() {
    HWND list = GetDlgItem(IDC_SIM_LOG);
    const auto& requests = m_world.Requests();
    if (requests.size() < m_logShown) {
        ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
        m_logShown = 0;
    }
    // A run of the same request (the polls, five times a second) takes one line with a count.
    for (; m_logShown < requests.size(); ++m_logShown) {
        const sim::DriverRequest& request = requests[m_logShown];
        const auto lines = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
        const bool repeat =
            m_logShown > 0 && lines > 0 && SameRequest(request, requests[m_logShown - 1]);
        std::string line;
        if (repeat) {
            ++m_runLength;
            line = LogLine(m_runStart, request) + "  x" + std::to_string(m_runLength);
            ::SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(lines - 1), 0);
        } else {
            m_runStart = m_logShown + 1;
            m_runLength = 1;
            line = LogLine(m_runStart, request);
        }
        ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    const auto count = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    if (count > 0) ::SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(count - 1), 0);
}
