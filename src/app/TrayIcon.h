#pragma once

#include <windows.h>
#include <shellapi.h>

#include "framework/Handles.h"

class CWnd;

// One icon with a tooltip in the notification area. Its identifier is also the resource id of
// the menu a click on it shows, so the owner changes menus by removing the icon and adding it
// again under another identifier.
class CTrayIcon {
  public:
    CTrayIcon();
    virtual ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // Adds the icon; nonzero on success. The icon is the tray icon's to keep or, on failure, to
    // free. Refused on a platform older than version 4, without an owner window, with a callback
    // below WM_USER, a tooltip of 64 characters or more, or without the menu and its first popup.
    BOOL Create(CWnd* owner, UINT callbackMessage, const char* tip, fw::Icon icon, UINT id);
    // Takes the icon out of the notification area and frees the icon and the menu.
    void RemoveIcon();
    // The owner passes its callback message here; 1 when it was for this icon. A left or right
    // button press opens the menu at the cursor.
    virtual LRESULT OnTrayNotification(WPARAM wp, LPARAM lp);

    bool IsPresent() const { return m_enabled != 0; }
    const NOTIFYICONDATAA& Data() const { return m_data; }

  private:
    void ShowMenu();

    int m_enabled = 0;
    NOTIFYICONDATAA m_data;
    int m_menuShown = 0;
    fw::Menu m_menu;
    HMENU m_popup = nullptr;  // the first submenu of m_menu
    fw::Icon m_icon;
    // A menu removed while it was open lives until the menu loop using it has returned.
    fw::Menu m_retiredMenu;
};
