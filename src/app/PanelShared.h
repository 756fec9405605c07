#pragma once

#include <windows.h>

// Values the main window and the filter page share for the whole run, and the private messages
// between the program's windows.
struct PanelShared {
    // The filter page's last apply-filter step switched the filter on.
    int filterEnabled = 0;
    // The 5.1 question may be asked; cleared when it is asked, set again when the filter is
    // switched on or the adapter arrives.
    int fiveOnePrompt = 1;
    // The filter page's window, told when the user declines the filter.
    HWND filterPage = nullptr;
};

inline PanelShared& Panel() {
    static PanelShared shared;
    return shared;
}

// The tray icon's callback to the main window.
inline constexpr UINT WM_TRAY_CALLBACK = WM_USER + 0x191;
// The main window tells the filter page that the user declined the filter.
inline constexpr UINT WM_FILTER_DECLINED = WM_USER + 0x198;
