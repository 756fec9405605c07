#include "app/TrayIcon.h"

#include <cstddef>
#include <cstring>

#include "framework/ResString.h"
#include "framework/Wnd.h"
#include "platform/Seams.h"

namespace {
constexpr std::size_t kTipCapacity = 64;  // characters, with the terminating zero

// The shell reads the first version of the record, whose size tells it which version it got: in
// a 32-bit process that is 88 bytes (the 64-bit build's handles and padding make it 104), ending
// with the first 64 characters of the tip.
constexpr bool k32Bit = sizeof(void*) == 4;
static_assert(NOTIFYICONDATAA_V1_SIZE == (k32Bit ? 88 : 104));
static_assert(offsetof(NOTIFYICONDATAA, szTip) + kTipCapacity == NOTIFYICONDATAA_V1_SIZE);
static_assert(!k32Bit ||
              (offsetof(NOTIFYICONDATAA, hWnd) == 4 && offsetof(NOTIFYICONDATAA, uID) == 8 &&
               offsetof(NOTIFYICONDATAA, uFlags) == 12 &&
               offsetof(NOTIFYICONDATAA, uCallbackMessage) == 16 &&
               offsetof(NOTIFYICONDATAA, hIcon) == 20));
}  // namespace

CTrayIcon::CTrayIcon() {
    std::memset(&m_data, 0, sizeof(m_data));
}

CTrayIcon::~CTrayIcon() {
    RemoveIcon();
}

BOOL CTrayIcon::Create(CWnd* owner, UINT callbackMessage, const char* tip, fw::Icon icon, UINT id) {
    if (LOBYTE(LOWORD(platform::System().GetVersion())) < 4) return FALSE;
    if (!owner || !::IsWindow(owner->GetSafeHwnd())) return FALSE;
    if (callbackMessage < WM_USER) return FALSE;
    if (!tip || std::strlen(tip) >= kTipCapacity) return FALSE;

    std::memset(&m_data, 0, sizeof(m_data));
    m_data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    m_data.hWnd = owner->GetSafeHwnd();
    m_data.uID = id;
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_data.uCallbackMessage = callbackMessage;
    m_data.hIcon = icon.Get();
    std::strcpy(m_data.szTip, tip);

    fw::Menu menu(::LoadMenuA(fw::ResourceModule(), MAKEINTRESOURCEA(LOWORD(id))));
    HMENU popup = menu ? ::GetSubMenu(menu.Get(), 0) : nullptr;
    if (!popup) {
        m_data.hIcon = nullptr;
        return FALSE;
    }
    m_menu = std::move(menu);
    m_popup = popup;
    m_icon = std::move(icon);
    m_enabled = ::Shell_NotifyIconA(NIM_ADD, &m_data);
    return m_enabled;
}

void CTrayIcon::RemoveIcon() {
    if (!m_enabled) return;
    m_data.uFlags = 0;
    ::Shell_NotifyIconA(NIM_DELETE, &m_data);
    m_data.hIcon = nullptr;
    m_icon.Reset();
    if (m_menuShown) {
        ::EndMenu();
        m_retiredMenu = std::move(m_menu);
    }
    m_menu.Reset();
    m_popup = nullptr;
    m_enabled = 0;
}

LRESULT CTrayIcon::OnTrayNotification(WPARAM wp, LPARAM lp) {
    if (wp != m_data.uID) return 0;
    if (m_menuShown) return 0;
    const UINT mouse = LOWORD(lp);
    if (mouse == WM_RBUTTONDOWN || mouse == WM_LBUTTONDOWN) ShowMenu();
    return 1;
}

void CTrayIcon::ShowMenu() {
    if (!m_popup) return;
    m_menuShown = 1;
    POINT cursor{};
    ::GetCursorPos(&cursor);
    HWND owner = m_data.hWnd;
    // The owner must be in the foreground, and must get a message after the menu, or the menu
    // does not close when the user clicks elsewhere.
    ::SetForegroundWindow(owner);
    ::TrackPopupMenu(m_popup, 0, cursor.x, cursor.y, 0, owner, nullptr);
    ::PostMessageA(owner, WM_NULL, 0, 0);
    m_menuShown = 0;
    m_retiredMenu.Reset();
}
