// The yardstick of the benchmark: the least a tray program can be. One hidden window, one icon
// in the notification area, a message loop.
#include <windows.h>
#include <shellapi.h>

#include <cstring>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_CLOSE) {
        ::DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "QdBareTray";
    ::RegisterClassA(&windowClass);
    HWND window = ::CreateWindowExA(0, "QdBareTray", "Bare tray", WS_POPUP, 0, 0, 0, 0, nullptr,
                                    nullptr, instance, nullptr);
    NOTIFYICONDATAA icon{};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = window;
    icon.uID = 1;
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon.uCallbackMessage = WM_APP;
    icon.hIcon = ::LoadIconA(nullptr, IDI_APPLICATION);
    std::strcpy(icon.szTip, "Bare tray");
    ::Shell_NotifyIconA(NIM_ADD, &icon);
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    ::Shell_NotifyIconA(NIM_DELETE, &icon);
    return 0;
}
