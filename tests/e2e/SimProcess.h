#pragma once

#include <windows.h>

#include <chrono>

#include "framework/Handles.h"
#include <string>
#include <vector>

// One running copy of the simulator build, or of another build of the program, driven from
// outside as the system and a user would: its windows are found by class, title and process,
// messages are posted to them, and its message boxes are read and answered.
class SimProcess {
  public:
    // Starts QuorvelDualSim.exe (beside this build's sim folder) with simulator options.
    explicit SimProcess(const std::string& options = "");
    // Starts the program at this full path.
    struct Program {
        std::string path;
    };
    explicit SimProcess(const Program& program, const std::string& options = "");
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool Started() const { return static_cast<bool>(m_process); }
    DWORD Id() const { return m_id; }
    HANDLE Handle() const { return m_process.Get(); }
    std::chrono::steady_clock::time_point StartTime() const { return m_start; }

    // The top-level window of this process with the dialog class and the title, waiting up to
    // timeout for it; null if none came.
    HWND WaitForWindow(const char* title, DWORD timeout, const char* className = "#32770") const;
    HWND MainWindow(DWORD timeout = 10000) const { return WaitForWindow("Quorvel Dual", timeout); }
    HWND Simulator(DWORD timeout = 10000) const {
        return WaitForWindow("Adapter simulator", timeout);
    }
    // A message box (a dialog with the static text control 0xFFFF) with this caption.
    HWND WaitForMessageBox(const char* caption, DWORD timeout) const;
    static std::string MessageText(HWND box);
    // How many message boxes of this process exist, shown or hidden.
    int MessageBoxes() const;

    // Posts the tray icon's callback for a button press on the icon with this identifier, and
    // reports whether a menu opened; an open menu is closed again without a choice.
    bool TrayMenuOpens(UINT identifier) const;

    // Attempts to open the driver's path, as the simulator window shows them.
    int DriverOpens() const;

    bool WaitForExit(DWORD timeout, DWORD* exitCode = nullptr) const;
    // Ends the process if it still runs.
    void Kill();

  private:
    fw::KernelHandle m_process;
    DWORD m_id = 0;
    std::chrono::steady_clock::time_point m_start;
};

// The program's settings key as the harness reads it from outside, in a registry view: the
// 32-bit program on 64-bit Windows keeps it in the 32-bit view. By default the view of the
// program this harness is built with.
inline constexpr char kSettingsKey[] = "SOFTWARE\\Harlowen\\Quorvel Dual\\Filter";
inline constexpr REGSAM kProgramView = sizeof(void*) == 4 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
// The value, or 0xDEADBEEF when it or the key is missing.
DWORD ReadSetting(const char* name, REGSAM view = kProgramView);
void StoreSetting(const char* name, DWORD value, REGSAM view = kProgramView);
// Removes the program's settings (the vendor's key with everything under it).
void DeleteSettings(REGSAM view = kProgramView);

// Whether the shell holds this tray icon of the owner window: only an existing one can be
// modified.
bool IconInTray(HWND owner, UINT identifier);

// Polls condition every 20 ms until it holds or timeout passes.
template <class Condition>
bool WaitUntil(Condition condition, DWORD timeout) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount() - start >= timeout) return false;
        ::Sleep(20);
    }
}
