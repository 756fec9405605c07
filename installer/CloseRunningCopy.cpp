// Run by the installer before it replaces or removes the program's files: asks every running copy
// of the program to end, as its tray command "Exit" would, and waits until each has ended. The
// program's main window is a hidden dialog titled "Quorvel Dual"; closing it ends the program.
#include <windows.h>

#include <cstring>
#include <vector>

namespace {

constexpr char kTitle[] = "Quorvel Dual";
constexpr char kProgramFile[] = "\\quorveldual.exe";
constexpr DWORD kWaitMs = 10000;

bool IsProgram(DWORD processId) {
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return false;
    char path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    const bool named = ::QueryFullProcessImageNameA(process, 0, path, &size) != FALSE;
    ::CloseHandle(process);
    if (!named) return false;
    const std::size_t length = std::strlen(path), suffix = std::strlen(kProgramFile);
    return length >= suffix && ::lstrcmpiA(path + length - suffix, kProgramFile) == 0;
}

BOOL CALLBACK CollectMainWindow(HWND window, LPARAM windows) {
    char title[64] = {}, className[16] = {};
    ::GetWindowTextA(window, title, sizeof(title));
    ::GetClassNameA(window, className, sizeof(className));
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    if (std::strcmp(title, kTitle) == 0 && std::strcmp(className, "#32770") == 0 &&
        IsProgram(processId)) {
        reinterpret_cast<std::vector<DWORD>*>(windows)->push_back(processId);
        ::PostMessageA(window, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::vector<DWORD> closed;
    ::EnumWindows(&CollectMainWindow, reinterpret_cast<LPARAM>(&closed));
    int stillRunning = 0;
    for (DWORD processId : closed) {
        HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, processId);
        if (!process) continue;
        if (::WaitForSingleObject(process, kWaitMs) != WAIT_OBJECT_0) ++stillRunning;
        ::CloseHandle(process);
    }
    return stillRunning;
}
