#include "app/MainDlg.h"

#include <dbt.h>

#include "app/PanelShared.h"
#include "device/AdapterDetection.h"
#include "device/DeviceChannel.h"
#include "device/SettingsKey.h"
#include "framework/ResString.h"
#include "mixer/MixerVolumePage.h"
#include "mixer/RecordSourcePage.h"
#include "pages/AboutPage.h"
#include "pages/ChannelLevelPage.h"
#include "pages/FilterPage.h"
#include "platform/Seams.h"
#include "res/resource.h"
#include "speakertest/SpeakerTestDlg.h"

namespace {

template <class Page>
std::unique_ptr<CSkinPage> MakePage() {
    return std::make_unique<Page>();
}

// The settings pages in tab order; all but About connect to the adapter.
constexpr CSkinTabCtrl::TabPage kSettingsPages[] = {
    {"Main Volume", &MakePage<CMixerVolumePage>, true},
    {"Speaker", &MakePage<CChannelLevelPage>, true},
    {"Filter", &MakePage<CFilterPage>, true},
    {"Record", &MakePage<CRecordSourcePage>, true},
    {"About", &MakePage<CAboutPage>, false},
};

}  // namespace

UINT CMainDlg::s_taskbarCreated = 0;

CMainDlg::CMainDlg()
    : CSkinWindow(IDD_MAIN, IDB_SETTINGS_BACKGROUND, IDC_CLOSE),
      m_icon(::LoadIconA(fw::ResourceModule(), MAKEINTRESOURCEA(IDI_MAIN))) {
    // Explorer broadcasts this when it starts again and has lost every tray icon.
    if (!s_taskbarCreated) s_taskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
}

CMainDlg::~CMainDlg() = default;

const fw::MessageMap* CMainDlg::GetMessageMap() const {
    static constexpr fw::MsgRow kRows[] = {
        fw::OnTimer<&CMainDlg::OnTimer>(),
        fw::OnMessage<&CMainDlg::OnDeviceChange>(WM_DEVICECHANGE),
        fw::OnMessage<&CMainDlg::OnTrayCallback>(WM_TRAY_CALLBACK),
        fw::OnRegisteredMessage<&CMainDlg::OnTaskbarCreated>(&s_taskbarCreated),
        fw::OnCommand<&CMainDlg::OnOpenSettings>(ID_OPEN_SETTING),
        fw::OnCommand<&CMainDlg::OnCloseSettings>(ID_CLOSE_SETTING),
        fw::OnCommand<&CMainDlg::OnCloseSettings>(IDOK),
        fw::OnCommand<&CMainDlg::OnCloseSettings>(IDCANCEL),
        fw::OnCommand<&CMainDlg::OnCloseSettings>(IDC_CLOSE),
        fw::OnCommand<&CMainDlg::OnTestSpeaker>(ID_TEST_SPEAKER),
        fw::OnCommand<&CMainDlg::OnExit>(ID_EXIT),
        fw::OnSignal<&CMainDlg::OnExit>(WM_CLOSE),
    };
    static const fw::MessageMap kMap{CSkinWindow::GetMessageMap(), kRows};
    return &kMap;
}

void CMainDlg::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_TAB, m_tabs);
}

BOOL CMainDlg::OnInitDialog() {
    CSkinWindow::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
    m_tabs.CreatePages(kSettingsPages);
    ShowWindow(SW_HIDE);
    SetWindowText(fw::ResString(IDS_APP_NAME));
    HandleFirstLaunch();

    m_speakerTest = std::make_unique<CSpeakerTestDlg>();
    m_speakerTest->Create();
    m_speakerTest->ShowWindow(SW_HIDE);

    InitDeviceState();
    if (!m_hWnd) return FALSE;  // the filter installation failed and the program is ending
    // The pages opened the adapter in their own initialisation: the program starts connected.
    m_connected = true;
    SetTimer(kPollTimer, kPollPeriod);
    return TRUE;
}

// A first start is one where FirstLaunched is missing or its lowest byte is 1; it runs the mixer
// pages' defaults once.
void CMainDlg::HandleFirstLaunch() {
    CSettingsKey key;
    key.Open();
    DWORD value = 0;
    if (key.Query(settings::kFirstLaunched, value) == ERROR_FILE_NOT_FOUND) {
        key.Write(settings::kFirstLaunched, 1);
    }
    if (key.Query(settings::kFirstLaunched, value) == ERROR_SUCCESS) {
        m_firstLaunch = (value & 0xFF) == 1;
        if (m_firstLaunch) key.Write(settings::kFirstLaunched, 0);
    }
    key.Close();
    if (m_firstLaunch) {
        ApplyFirstLaunchDefaults();
        m_firstLaunch = 0;
    }
}

void CMainDlg::InitDeviceState() {
    if (device::CheckDevicePresent()) {
        if (!device::InstallFilterDriver()) {
            OnExit();
            return;
        }
        m_devicePresent = 1;
        AddTrayIcon(IDI_TRAY_PRESENT, IDR_TRAY_PRESENT);
    } else {
        m_devicePresent = 0;
        AddTrayIcon(IDI_TRAY_ABSENT, IDR_TRAY_ABSENT);
    }
}

void CMainDlg::AddTrayIcon(UINT iconId, UINT menuId) {
    m_trayIconId = iconId;
    m_trayMenuId = menuId;
    fw::Icon icon(static_cast<HICON>(
        ::LoadImageA(fw::ResourceModule(), MAKEINTRESOURCEA(iconId), IMAGE_ICON, 16, 16, 0)));
    m_tray.Create(this, WM_TRAY_CALLBACK, fw::ResString(IDS_APP_NAME).c_str(), std::move(icon),
                  menuId);
}

void CMainDlg::ShowTrayState(UINT iconId, UINT menuId) {
    m_tray.RemoveIcon();
    AddTrayIcon(iconId, menuId);
}

// A page's message box may see the adapter go or the program end while the pages open.
void CMainDlg::ConnectDevice() {
    m_connected = true;
    m_tabs.OpenPages();
    if (m_hWnd && m_connected) SetTimer(kPollTimer, kPollPeriod);
}

void CMainDlg::DisconnectDevice() {
    m_connected = false;
    m_tabs.ClosePages();
    if (m_hWnd) KillTimer(kPollTimer);
}

// Hiding the owned windows would hide an open message box too, whose modal loop would then go on
// unseen with this window disabled: such boxes are ended first, unanswered.
void CMainDlg::HideOwnedWindows() {
    platform::Prompts().EndBoxes(m_hWnd);
    ::ShowOwnedPopups(m_hWnd, FALSE);
}

LRESULT CMainDlg::OnTrayCallback(WPARAM wp, LPARAM lp) {
    return m_tray.OnTrayNotification(wp, lp);
}

LRESULT CMainDlg::OnTaskbarCreated(WPARAM, LPARAM) {
    if (m_trayMenuId) ShowTrayState(m_trayIconId, m_trayMenuId);
    return 0;
}

void CMainDlg::OnOpenSettings() {
    ConnectDevice();
    // A page's message box may have seen the program end, or the adapter go, meanwhile.
    if (!m_hWnd || !m_connected) return;
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    ShowWindow(SW_SHOW);
    m_speakerTest->ShowSpeakerTest(SW_HIDE);
    // Hiding the speaker test can show a box, in which the exit or a removal may arrive.
    if (!m_hWnd || !IsWindowVisible()) return;
    ShowTrayState(IDI_TRAY_PRESENT, IDR_TRAY_SETTINGS);
}

void CMainDlg::OnCloseSettings() {
    DisconnectDevice();
    HideOwnedWindows();
    ShowTrayState(IDI_TRAY_PRESENT, IDR_TRAY_PRESENT);
    ShowWindow(SW_HIDE);
}

void CMainDlg::OnTestSpeaker() {
    const RECT rc = GetWindowRect();
    DisconnectDevice();
    m_speakerTest->MoveWindow(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
    ShowWindow(SW_HIDE);
    m_speakerTest->ShowSpeakerTest(SW_SHOW);
    // The exit, a removal or the settings may have come while one of the page's boxes was open.
    if (!m_hWnd || !m_speakerTest || !m_speakerTest->IsVisibleFlagSet()) return;
    ShowTrayState(IDI_TRAY_PRESENT, IDR_TRAY_PRESENT);
}

// Also for WM_CLOSE (Alt+F4) and a failed filter installation: the program ends.
// The speaker test object is kept until this window's object goes: the exit can come while one
// of its handlers waits in a message box, and that handler must return into a live object. A
// second exit arriving inside the release finds the pointer already cleared.
void CMainDlg::OnExit() {
    DisconnectDevice();
    m_tray.RemoveIcon();
    if (CSpeakerTestDlg* test = m_speakerTest.get()) {
        test->ReleaseSpeakerTest();
        test->DestroyWindow();
        if (m_speakerTest) m_closedSpeakerTest = std::move(m_speakerTest);
    }
    DestroyWindow();
}

// The timer is killed first, so no poll starts while this one's question box is open. The box's
// nested loop may see the program end or the adapter disconnect: the poll then stays stopped.
void CMainDlg::OnTimer(UINT_PTR id) {
    KillTimer(kPollTimer);
    if (id == kPollTimer && !(m_speakerTest && m_speakerTest->IsVisibleFlagSet())) Poll();
    if (!m_hWnd) return;
    if (m_connected) SetTimer(kPollTimer, kPollPeriod);
    Default();
}

// Runs five times a second: no allocation and no registry access here. The handle is closed
// before anything is asked, so none is held while the question is open.
void CMainDlg::Poll() {
    device::StreamRecord record{};
    {
        CDeviceChannel adapter;
        if (!adapter.Open() || !adapter.GetStreamKind(record)) return;
    }
    if (record[0]) {
        PlaySilence();
        PanelShared& shared = Panel();
        if (shared.fiveOnePrompt && shared.filterEnabled && !m_questionOpen) {
            shared.fiveOnePrompt = 0;
            AskAboutFiveOneSource();
        }
    } else if (record[1]) {
        PlaySilence();
    }
}

void CMainDlg::PlaySilence() {
    platform::Sound().PlaySound(MAKEINTRESOURCEA(IDW_SILENCE), fw::ResourceModule(),
                                SND_RESOURCE | SND_ASYNC);
}

void CMainDlg::AskAboutFiveOneSource() {
    char text[512] = "";
    char caption[64] = "";  // string 8 is empty: the box has an empty title
    ::LoadStringA(fw::ResourceModule(), IDS_FIVE_ONE_QUESTION, text, sizeof(text));
    ::LoadStringA(fw::ResourceModule(), IDS_EMPTY_CAPTION, caption, sizeof(caption));
    m_questionOpen = true;
    const int answer =
        platform::Prompts().MessageBox(m_hWnd, text, caption, MB_YESNO | MB_ICONEXCLAMATION);
    m_questionOpen = false;
    // The program may have ended meanwhile. A box ended because the adapter went or the
    // settings closed answers 0, which changes nothing.
    if (!m_hWnd) return;
    if (answer == IDNO) {
        Panel().filterEnabled = 0;
        ::SendMessageA(Panel().filterPage, WM_FILTER_DECLINED, 0, 0);
    }
}

LRESULT CMainDlg::OnDeviceChange(WPARAM event, LPARAM) {
    const DWORD version = platform::System().GetVersion();
    const int major = LOBYTE(LOWORD(version));
    const int minor = HIBYTE(LOWORD(version));
    // The sibling library's boxes run nested loops: the exit, or another device change, can come
    // in while one is open, and the check's answer then is no longer what to act on.
    if (event == DBT_DEVNODES_CHANGED) {
        if (!m_devicePresent && device::CheckDevicePresent() && m_hWnd && !m_devicePresent) {
            if (!HandleArrival(major, minor)) return TRUE;
        }
        if (m_devicePresent && !device::CheckDevicePresent() && m_hWnd && m_devicePresent) {
            HandleRemoval();
        }
    }
    return m_hWnd ? Default() : TRUE;
}

// On Windows 2000 and later the system reports a new device twice; the second report acts, after
// a second's wait on Windows 2000 itself.
bool CMainDlg::HandleArrival(int major, int minor) {
    if (major >= 5) {
        if (++m_arrivals < 2) return true;
        if (minor == 0) platform::System().Sleep(1000);
    }
    m_devicePresent = 1;
    const unsigned change = ++m_deviceChanges;
    ShowTrayState(IDI_TRAY_PRESENT, IDR_TRAY_PRESENT);
    if (!device::InstallFilterDriver()) {
        if (m_hWnd) OnExit();
        return false;
    }
    // The installation's box may have seen the program end, or the adapter go (and come back),
    // whose own handling then stands.
    if (!m_hWnd) return false;
    if (m_deviceChanges != change) return true;
    ConnectDevice();
    Panel().fiveOnePrompt = 1;
    return m_hWnd != nullptr;  // a page's message box may have seen the program end
}

// A removal is believed only if the adapter is still gone a moment later.
void CMainDlg::HandleRemoval() {
    platform::System().Sleep(100);
    if (device::CheckDevicePresent() || !m_hWnd) return;
    m_devicePresent = 0;
    ++m_deviceChanges;
    KillTimer(kPollTimer);
    m_arrivals = 0;
    ShowTrayState(IDI_TRAY_ABSENT, IDR_TRAY_ABSENT);
    HideOwnedWindows();
    ShowWindow(SW_HIDE);
    DisconnectDevice();
    // The release can show a box, in which the exit may arrive.
    if (m_speakerTest) m_speakerTest->ReleaseSpeakerTest();
    if (m_speakerTest) m_speakerTest->ShowSpeakerTest(SW_HIDE);
}

// Microphone playback muted, every mixer volume and both recording levels in the middle, the
// microphone selected for recording.
void CMainDlg::ApplyFirstLaunchDefaults() {
    if (auto* volume = dynamic_cast<CMixerVolumePage*>(m_tabs.Page(0))) {
        volume->Bind();
        volume->FirstLaunchDefaults();
    }
    if (auto* record = dynamic_cast<CRecordSourcePage*>(m_tabs.Page(3))) {
        record->CentreLevels();
        record->FirstLaunchSelect();
    }
}
