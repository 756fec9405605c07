// Run by the installer before it replaces or removes the program's files: asks every running copy
// of the program to end, as its tray command "Exit" would, and waits until each has ended. The
// program's main window is a hidden dialog titled "Quorvel Dual"; closing it ends the program.
#include <windows.h>

#include <cstring>
#include <vector>

#include "framework/Handles.h"

namespace {

constexpr char kTitle[] = "Quorvel Dual";
constexpr char kProgramFile[] = "\\quorveldual.exe";
constexpr DWORD kWaitMs = 10000;

bool IsProgram(DWORD processId) {
    fw::KernelHandle process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    char path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!process || !::QueryFullProcessImageNameA(process.Get(), 0, path, &size)) return false;
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
        fw::KernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, processId));
        if (process && ::WaitForSingleObject(process.Get(), kWaitMs) != WAIT_OBJECT_0) {
            ++stillRunning;
        }
    }
    return stillRunning;
}
