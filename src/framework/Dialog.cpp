#include "framework/Dialog.h"

#include "framework/ResString.h"
#include "framework/WinApp.h"

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_parent(parent) {}

CDialog::~CDialog() {
    if (HWND hwnd = m_hWnd) {
        // The derived parts of this object are gone: let the window go without calling them.
        OnWindowGone();
        ::DestroyWindow(hwnd);
    }
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    if (templateId) m_templateId = templateId;
    if (parent) m_parent = parent;
    HWND owner = m_parent ? m_parent->m_hWnd : DefaultOwner();
    HWND hwnd = ::CreateDialogParamA(fw::ResourceModule(), MAKEINTRESOURCEA(m_templateId), owner,
                                     &DialogProc, reinterpret_cast<LPARAM>(this));
    return hwnd != nullptr;
}

HWND CDialog::DefaultOwner() const {
    CWinApp* app = CWinApp::Current();
    if (app && app->m_pMainWnd && app->m_pMainWnd != this) return app->m_pMainWnd->m_hWnd;
    return nullptr;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    try {
        if (msg == WM_INITDIALOG) {
            auto* dialog = reinterpret_cast<CDialog*>(lp);
            dialog->Attach(hwnd);
            return dialog->HandleInitDialog();
        }
        auto* dialog = static_cast<CDialog*>(FromHandlePermanent(hwnd));
        if (!dialog) return FALSE;
        if (dialog->m_inDefault && dialog->m_defaultMessage == msg) {
            dialog->m_inDefault = false;
            return FALSE;
        }
        return dialog->HandleMessage(msg, wp, lp);
    } catch (...) {
        fw::HandleDispatchException();
        return FALSE;
    }
}

INT_PTR CDialog::HandleInitDialog() {
    const BOOL result = OnInitDialog();
    CenterIfTopLevel();
    return result;
}

INT_PTR CDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    const bool handled = OnWndMsg(msg, wp, lp, result);
    const HWND hwnd = m_hWnd;
    if (msg == WM_NCDESTROY) OnWindowGone();
    if (!handled) return FALSE;
    if (fw::DialogReturnsDirectly(msg)) return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

// A top-level dialog starts centred: on its owner when the owner is visible, else on the work
// area of the screen.
void CDialog::CenterIfTopLevel() const {
    if (!m_hWnd || (::GetWindowLongA(m_hWnd, GWL_STYLE) & WS_CHILD)) return;
    RECT area{};
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &area);
    } else {
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        ::GetMonitorInfoA(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &info);
        area = info.rcWork;
    }
    const RECT rc = GetWindowRect();
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    const int x = area.left + (area.right - area.left - width) / 2;
    const int y = area.top + (area.bottom - area.top - height) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CDialog::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (!m_hWnd) return 0;
    const UINT savedMessage = m_defaultMessage;
    const bool savedInDefault = m_inDefault;
    m_defaultMessage = msg;
    m_inDefault = true;
    const LRESULT result = ::DefDlgProcA(m_hWnd, msg, wp, lp);
    m_defaultMessage = savedMessage;
    m_inDefault = savedInDefault;
    return result;
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
    if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd)) return FALSE;
    return ::IsDialogMessageA(m_hWnd, msg);
}

const fw::MessageMap* CDialog::GetMessageMap() const {
    static constexpr fw::MsgRow kRows[] = {
        fw::OnCommand<&CDialog::OnOK>(IDOK),
        fw::OnCommand<&CDialog::OnCancel>(IDCANCEL),
    };
    static const fw::MessageMap kMap{CWnd::GetMessageMap(), kRows};
    return &kMap;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL save) {
    if (!m_hWnd) return FALSE;
    CDataExchange dx(this, save);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::EndDialog(int result) const {
    ::EndDialog(m_hWnd, result);
}
