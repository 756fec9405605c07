#include "app/PanelApp.h"

#include "app/MainDlg.h"
#include "framework/ResString.h"
#include "platform/Seams.h"
#include "res/resource.h"

namespace {
constexpr char kInstanceMutex[] = "Quorvel";
}

CPanelApp::CPanelApp(UINT mainTemplate) : m_mainTemplate(mainTemplate ? mainTemplate : IDD_MAIN) {}
CPanelApp::~CPanelApp() = default;

BOOL CPanelApp::InitInstance() {
    // The mutex only marks that a copy runs; nobody waits on it. Without it the program still
    // starts, unguarded.
    m_instanceMutex.Reset(::CreateMutexA(nullptr, FALSE, kInstanceMutex));
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        platform::Prompts().MessageBox(nullptr, fw::ResString(IDS_APP_RUNNING).c_str(),
                                       fw::ResString(IDS_ERROR_CAPTION).c_str(), MB_ICONERROR);
        return FALSE;
    }
    m_mainDlg = std::make_unique<CMainDlg>();
    m_pMainWnd = m_mainDlg.get();
    if (!m_mainDlg->Create(m_mainTemplate, nullptr) && m_pMainWnd == m_mainDlg.get()) {
        // No window ever existed, so nothing would end the message loop: without a window and
        // a tray icon the program would hold the single-instance mutex unseen, for ever.
        m_pMainWnd = nullptr;
        m_exitCode = kExitNoMainWindow;
        return FALSE;
    }
    // A failed filter installation has already destroyed the window; the loop then ends at once.
    if (m_mainDlg->GetSafeHwnd()) m_mainDlg->ShowWindow(SW_HIDE);
    return TRUE;
}

int CPanelApp::ExitInstance() {
    m_instanceMutex.Reset();
    if (m_pMainWnd == m_mainDlg.get()) m_pMainWnd = nullptr;
    m_mainDlg.reset();
    return CWinApp::ExitInstance();
}

BOOL CPanelApp::PreTranslateMessage(MSG* msg) {
    if ((msg->message == WM_KEYDOWN || msg->message == WM_KEYUP) && msg->wParam == VK_RETURN) {
        return TRUE;
    }
    return CWinApp::PreTranslateMessage(msg);
}
