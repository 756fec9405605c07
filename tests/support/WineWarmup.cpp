// Run once after the wineserver starts, with its output thrown away: the first program that uses
// the window system makes Wine start its desktop and RPC helper processes, which inherit that
// program's standard handles. Started here, they never hold a test's output pipe open.
#include <windows.h>
#include <commctrl.h>

int main() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    HWND window = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                    nullptr, nullptr);
    ::DestroyWindow(window);
    return 0;
}
