#include "framework/Wnd.h"

#include "framework/Handles.h"
#include "framework/WinApp.h"

namespace {

constexpr char kObjectProperty[] = "fw.CWnd";

bool IsCtlColor(UINT msg) {
    return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC;
}

// The child control a reflectable message comes from, if it has an object of its own.
CWnd* ReflectionTarget(HWND self, UINT msg, WPARAM, LPARAM lp) {
    HWND child = nullptr;
    switch (msg) {
        case WM_COMMAND:
        case WM_HSCROLL:
        case WM_VSCROLL:
            child = reinterpret_cast<HWND>(lp);
            break;
        case WM_NOTIFY:
            child = lp ? reinterpret_cast<NMHDR*>(lp)->hwndFrom : nullptr;
            break;
        case WM_DRAWITEM: {
            auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
            if (dis && dis->CtlType != ODT_MENU) child = dis->hwndItem;
            break;
        }
        default:
            if (IsCtlColor(msg)) child = reinterpret_cast<HWND>(lp);
            break;
    }
    if (!child || child == self) return nullptr;
    return CWnd::FromHandlePermanent(child);
}

}  // namespace

namespace fw {

const MsgRow* FindRow(const MessageMap* map, UINT message, WPARAM wp, LPARAM lp) {
    UINT key = message;
    if (IsCtlColor(message)) key = kAnyCtlColor;
    if (message >= kReflect && IsCtlColor(message - kReflect)) key = kReflect + kAnyCtlColor;

    bool matchCode = false;
    bool matchId = false;
    UINT code = 0;
    UINT id = 0;
    if (key == WM_COMMAND || key == kReflect + WM_COMMAND) {
        code = HIWORD(wp);
        id = LOWORD(wp);
        matchCode = true;
        matchId = key == WM_COMMAND;
    } else if ((key == WM_NOTIFY || key == kReflect + WM_NOTIFY) && lp) {
        const auto* nm = reinterpret_cast<const NMHDR*>(lp);
        code = nm->code;
        id = static_cast<UINT>(nm->idFrom);
        matchCode = true;
        matchId = key == WM_NOTIFY;
    }

    for (; map; map = map->base) {
        for (std::size_t i = 0; i < map->count; ++i) {
            const MsgRow& row = map->rows[i];
            if (row.message == kRegisteredMessage) {
                if (row.registered && *row.registered != 0 && *row.registered == message) {
                    return &row;
                }
                continue;
            }
            if (row.message != key) continue;
            if (matchCode && row.code != code) continue;
            if (matchId && row.id != id) continue;
            return &row;
        }
    }
    return nullptr;
}

void HandleDispatchException() noexcept {
    ::PostQuitMessage(kExitDispatchException);
}

bool DialogReturnsDirectly(UINT msg) {
    return IsCtlColor(msg) || msg == WM_COMPAREITEM || msg == WM_VKEYTOITEM ||
           msg == WM_CHARTOITEM || msg == WM_QUERYDRAGICON || msg == WM_INITDIALOG;
}

}  // namespace fw

CWnd::~CWnd() {
    if (m_oldWndProc) UnsubclassWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    return hwnd ? static_cast<CWnd*>(::GetPropA(hwnd, kObjectProperty)) : nullptr;
}

void CWnd::Attach(HWND hwnd) {
    m_hWnd = hwnd;
    ::SetPropA(hwnd, kObjectProperty, this);
    ++fw::g_liveHandles.windows;
}

bool CWnd::SubclassWindow(HWND hwnd) {
    if (!hwnd || m_hWnd || FromHandlePermanent(hwnd)) return false;
    Attach(hwnd);
    m_oldWndProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
    return true;
}

bool CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    return parent && SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow() {
    HWND hwnd = m_hWnd;
    if (!hwnd || !m_oldWndProc) return nullptr;
    if (::GetWindowLongPtrA(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&SubclassProc)) {
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldWndProc));
    }
    ::RemovePropA(hwnd, kObjectProperty);
    --fw::g_liveHandles.windows;
    m_oldWndProc = nullptr;
    m_hWnd = nullptr;
    return hwnd;
}

void CWnd::OnWindowGone() {
    if (m_oldWndProc) {
        UnsubclassWindow();
    } else if (m_hWnd) {
        ::RemovePropA(m_hWnd, kObjectProperty);
        --fw::g_liveHandles.windows;
        m_hWnd = nullptr;
    }
    CWinApp* app = CWinApp::Current();
    if (app && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
    PostNcDestroy();
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    CWnd* wnd = FromHandlePermanent(hwnd);
    if (!wnd) return ::DefWindowProcA(hwnd, msg, wp, lp);
    try {
        LRESULT result = wnd->WindowProc(msg, wp, lp);
        if (msg == WM_NCDESTROY) wnd->OnWindowGone();
        return result;
    } catch (...) {
        fw::HandleDispatchException();
        return 0;
    }
}

const fw::MessageMap* CWnd::GetMessageMap() const {
    return nullptr;
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (OnWndMsg(msg, wp, lp, result)) return result;
    return DefWindowProc(msg, wp, lp);
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (m_oldWndProc) return ::CallWindowProcA(m_oldWndProc, m_hWnd, msg, wp, lp);
    return ::DefWindowProcA(m_hWnd, msg, wp, lp);
}

LRESULT CWnd::Default() {
    return DefWindowProc(m_current.msg, m_current.wp, m_current.lp);
}

bool CWnd::OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    const CurrentMessage saved = m_current;
    m_current = {msg, wp, lp};
    bool handled = false;
    if (CWnd* child = ReflectionTarget(m_hWnd, msg, wp, lp)) {
        handled = child->OnChildNotify(msg, wp, lp, result);
    }
    if (!handled) {
        if (const fw::MsgRow* row = fw::FindRow(GetMessageMap(), msg, wp, lp)) {
            result = row->thunk(*this, wp, lp);
            handled = true;
        }
    }
    m_current = saved;
    return handled;
}

bool CWnd::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    const fw::MsgRow* row = fw::FindRow(GetMessageMap(), fw::kReflect + msg, wp, lp);
    if (!row) return false;
    result = row->thunk(*this, wp, lp);
    return true;
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

BOOL CWnd::DestroyWindow() {
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

LRESULT CWnd::SendMessage(UINT msg, WPARAM wp, LPARAM lp) const {
    return ::SendMessageA(m_hWnd, msg, wp, lp);
}

BOOL CWnd::PostMessage(UINT msg, WPARAM wp, LPARAM lp) const {
    return ::PostMessageA(m_hWnd, msg, wp, lp);
}

BOOL CWnd::ShowWindow(int command) const {
    return ::ShowWindow(m_hWnd, command);
}

BOOL CWnd::EnableWindow(BOOL enable) const {
    return ::EnableWindow(m_hWnd, enable);
}

BOOL CWnd::IsWindowVisible() const {
    return ::IsWindowVisible(m_hWnd);
}

HWND CWnd::GetDlgItem(int id) const {
    return ::GetDlgItem(m_hWnd, id);
}

void CWnd::SetWindowText(const std::string& text) const {
    ::SetWindowTextA(m_hWnd, text.c_str());
}

std::string CWnd::GetWindowText() const {
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(m_hWnd)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextA(m_hWnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

void CWnd::Invalidate(BOOL erase) const {
    ::InvalidateRect(m_hWnd, nullptr, erase);
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse) const {
    return ::SetTimer(m_hWnd, id, elapse, nullptr);
}

BOOL CWnd::KillTimer(UINT_PTR id) const {
    return ::KillTimer(m_hWnd, id);
}

RECT CWnd::GetClientRect() const {
    RECT rc{};
    ::GetClientRect(m_hWnd, &rc);
    return rc;
}

RECT CWnd::GetWindowRect() const {
    RECT rc{};
    ::GetWindowRect(m_hWnd, &rc);
    return rc;
}

BOOL CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) const {
    return ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}
