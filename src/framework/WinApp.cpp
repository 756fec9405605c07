#include "framework/WinApp.h"

#include "framework/Wnd.h"

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp() {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

CWinApp* CWinApp::Current() {
    return g_app;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return m_exitCode;
}

BOOL CWinApp::PreTranslateMessage(MSG* msg) {
    return fw::WalkPreTranslateTree(msg);
}

void CWinApp::Dispatch(MSG& msg) {
    if (PreTranslateMessage(&msg)) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
}

int CWinApp::Run() {
    MSG msg{};
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
        Dispatch(msg);
    m_exitCode = static_cast<int>(msg.wParam);
    return ExitInstance();
}

bool CWinApp::PumpPending(int* quitCode) {
    MSG msg{};
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            if (quitCode) *quitCode = static_cast<int>(msg.wParam);
            return false;
        }
        Dispatch(msg);
    }
    return true;
}

namespace fw {

BOOL WalkPreTranslateTree(MSG* msg) {
    for (HWND hwnd = msg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
        CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
        if (wnd && wnd->PreTranslateMessage(msg)) return TRUE;
        if (!(::GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD)) break;
    }
    return FALSE;
}

int RunApp(CWinApp& app) {
    if (!app.InitInstance()) return app.ExitInstance();
    return app.Run();
}

}  // namespace fw
