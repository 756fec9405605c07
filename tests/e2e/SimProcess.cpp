#include "tests/e2e/SimProcess.h"

#include <shellapi.h>

#include <cstdlib>
#include <cstring>

#include "app/PanelShared.h"
#include "sim/simulator_resource.h"

namespace {

std::string SimulatorPath() {
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.resize(folder.find_last_of('\\') + 1);
    return folder + "..\\..\\sim\\QuorvelDualSim.exe";
}

struct Search {
    DWORD process;
    const char* className;
    const char* title;
    bool messageBox;
    bool visibleOnly;
    HWND found;
    bool countAll = false;  // go on through every window, counting the matches
    int matches = 0;
};

BOOL CALLBACK Match(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<Search*>(lp);
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    if (process != search->process) return TRUE;
    char className[64] = "";
    ::GetClassNameA(hwnd, className, sizeof(className));
    if (std::string(className) != search->className) return TRUE;
    if (search->title) {
        char title[128] = "";
        ::GetWindowTextA(hwnd, title, sizeof(title));
        if (std::string(title) != search->title) return TRUE;
    }
    if (search->visibleOnly && !::IsWindowVisible(hwnd)) return TRUE;
    if (search->messageBox && !::GetDlgItem(hwnd, 0xFFFF)) return TRUE;
    search->found = hwnd;
    ++search->matches;
    return search->countAll;
}

HWND Find(Search search) {
    ::EnumWindows(&Match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

SimProcess::SimProcess(const std::string& options)
    : SimProcess(Program{SimulatorPath()}, options) {}

SimProcess::SimProcess(const Program& program, const std::string& options) {
    std::string commandLine = "\"" + program.path + "\" " + options;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    m_start = std::chrono::steady_clock::now();
    if (::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &info)) {
        ::CloseHandle(info.hThread);
        m_process.Reset(info.hProcess);
        m_id = info.dwProcessId;
    }
}

SimProcess::~SimProcess() {
    Kill();
}

HWND SimProcess::WaitForWindow(const char* title, DWORD timeout, const char* className) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            return (found = Find({m_id, className, title, false, false, nullptr}));
        },
        timeout);
    return found;
}

HWND SimProcess::WaitForMessageBox(const char* caption, DWORD timeout) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            return (found = Find({m_id, "#32770", caption, true, true, nullptr}));
        },
        timeout);
    return found;
}

int SimProcess::MessageBoxes() const {
    Search search{m_id, "#32770", nullptr, true, false, nullptr, true};
    ::EnumWindows(&Match, reinterpret_cast<LPARAM>(&search));
    return search.matches;
}

std::string SimProcess::MessageText(HWND box) {
    char text[1024] = "";
    ::GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
    return text;
}

bool SimProcess::TrayMenuOpens(UINT identifier) const {
    HWND main = MainWindow(0);
    if (!main) return false;
    ::PostMessageA(main, WM_TRAY_CALLBACK, identifier, WM_RBUTTONDOWN);
    HWND menu = nullptr;
    WaitUntil([&] { return (menu = Find({m_id, "#32768", nullptr, false, true, nullptr})); }, 1500);
    if (!menu) return false;
    ::PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 1);
    ::PostMessageA(menu, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    WaitUntil([&] { return !Find({m_id, "#32768", nullptr, false, true, nullptr}); }, 3000);
    return true;
}

int SimProcess::DriverOpens() const {
    char text[1024] = "";
    ::GetDlgItemTextA(Simulator(0), IDC_SIM_STATE, text, sizeof(text));
    const char* line = std::strstr(text, "Driver opens: ");
    return line ? std::atoi(line + std::strlen("Driver opens: ")) : -1;
}

bool SimProcess::WaitForExit(DWORD timeout, DWORD* exitCode) const {
    if (!m_process || ::WaitForSingleObject(m_process.Get(), timeout) != WAIT_OBJECT_0) {
        return false;
    }
    if (exitCode) ::GetExitCodeProcess(m_process.Get(), exitCode);
    return true;
}

void SimProcess::Kill() {
    if (m_process && ::WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(m_process.Get(), 99);
        ::WaitForSingleObject(m_process.Get(), 5000);
    }
}

namespace {

// The harness opens the real registry itself, not through the program's seams.
struct HarnessKeyTraits {
    using pointer = HKEY;
    static pointer Invalid() { return nullptr; }
    static void Close(pointer h) { ::RegCloseKey(h); }
};
using HarnessKey = fw::UniqueHandle<HarnessKeyTraits>;

HarnessKey OpenKey(const char* path, REGSAM access) {
    HKEY key = nullptr;
    ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, access, &key);
    return HarnessKey(key);
}

}  // namespace

DWORD ReadSetting(const char* name, REGSAM view) {
    DWORD value = 0xDEADBEEF;
    DWORD size = sizeof(value);
    if (HarnessKey key = OpenKey(kSettingsKey, KEY_QUERY_VALUE | view)) {
        ::RegQueryValueExA(key.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                           &size);
    }
    return value;
}

void StoreSetting(const char* name, DWORD value, REGSAM view) {
    HKEY created = nullptr;
    ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE | view,
                      nullptr, &created, nullptr);
    if (HarnessKey key{created}) {
        ::RegSetValueExA(key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                         sizeof(value));
    }
}

void DeleteSettings(REGSAM view) {
    if (HarnessKey software = OpenKey("SOFTWARE", KEY_ALL_ACCESS | view)) {
        ::RegDeleteTreeA(software.Get(), "Harlowen");
    }
}

bool IconInTray(HWND owner, UINT identifier) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = owner;
    data.uID = identifier;
    data.uFlags = NIF_TIP;
    std::strcpy(data.szTip, "Quorvel Dual");
    return ::Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}
