// End-to-end: the simulator build started as a user starts the program, driven from outside.
#include <windows.h>
#include <dbt.h>
#include <shellapi.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <psapi.h>

#include <gtest/gtest.h>

#include "res/resource.h"
#include "sim/simulator_resource.h"
#include "tests/e2e/SimProcess.h"

namespace {

constexpr char kSettingsParent[] = "SOFTWARE\\Harlowen";
constexpr char kSettingsKey[] = "SOFTWARE\\Harlowen\\Quorvel Dual\\Filter";
// The registry view the program of this build writes: a 32-bit program on 64-bit Windows sees
// HKLM\SOFTWARE through the 32-bit view. The harness is built with the program, but names the
// view so that it reads what the program wrote whatever it is built as.
constexpr REGSAM kProgramView = sizeof(void*) == 4 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;

DWORD ReadSetting(const char* name) {
    DWORD value = 0xDEADBEEF;
    DWORD size = sizeof(value);
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_QUERY_VALUE | kProgramView,
                        &key) == ERROR_SUCCESS) {
        ::RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
        ::RegCloseKey(key);
    }
    return value;
}

void DeleteSettings() {
    HKEY software = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_ALL_ACCESS | kProgramView,
                        &software) == ERROR_SUCCESS) {
        ::RegDeleteTreeA(software, kSettingsParent + std::strlen("SOFTWARE\\"));
        ::RegCloseKey(software);
    }
}

// Whether the settings key exists at this path as the 64-bit view shows it.
bool KeyInNativeView(const char* path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) !=
        ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

void Click(HWND dialog, int id) {
    ::SendMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
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

// Whether the poll runs: the driver's path is opened again within a second.
bool Polling(const SimProcess& sim) {
    const int before = sim.DriverOpens();
    return WaitUntil([&] { return sim.DriverOpens() > before; }, 1000);
}

class EndToEnd : public testing::Test {
  protected:
    EndToEnd() { DeleteSettings(); }
    ~EndToEnd() override { DeleteSettings(); }
};

TEST_F(EndToEnd, StartsHiddenInTheTrayWithTheAdapterPresent) {
    SimProcess sim;
    ASSERT_TRUE(sim.Started());
    HWND main = sim.MainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return IconInTray(main, IDR_TRAY_PRESENT); }, 5000));
    const auto startup = std::chrono::steady_clock::now() - sim.StartTime();

    EXPECT_FALSE(::IsWindowVisible(main));
    EXPECT_TRUE(sim.TrayMenuOpens(IDR_TRAY_PRESENT));
    EXPECT_FALSE(sim.TrayMenuOpens(IDR_TRAY_ABSENT));
    EXPECT_EQ(ReadSetting("FirstLaunched"), 0u);
    EXPECT_TRUE(Polling(sim));
    // The 32-bit program's key lies in the 32-bit branch of the 64-bit registry.
    const bool product32 = sizeof(void*) == 4;
    EXPECT_EQ(KeyInNativeView("SOFTWARE\\Wow6432Node\\Harlowen\\Quorvel Dual\\Filter"), product32);
    EXPECT_EQ(KeyInNativeView(kSettingsKey), !product32);

    PROCESS_MEMORY_COUNTERS memory{};
    HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, sim.Id());
    ::GetProcessMemoryInfo(process, &memory, sizeof(memory));
    ::CloseHandle(process);
    std::printf("Start-up to the tray icon: %lld ms; working set: %zu KiB\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(startup).count()),
                static_cast<std::size_t>(memory.WorkingSetSize / 1024));
}

TEST_F(EndToEnd, StartsWithTheAbsentMenuWithoutTheAdapter) {
    SimProcess sim("--unplugged");
    HWND main = sim.MainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return IconInTray(main, IDR_TRAY_ABSENT); }, 5000));
    EXPECT_TRUE(sim.TrayMenuOpens(IDR_TRAY_ABSENT));
    EXPECT_FALSE(sim.TrayMenuOpens(IDR_TRAY_PRESENT));
    EXPECT_TRUE(Polling(sim)) << "the poll keeps trying without a word";
    EXPECT_EQ(sim.WaitForMessageBox(nullptr, 300), nullptr);
}

TEST_F(EndToEnd, ASecondCopySaysSoAndEndsWhileTheFirstRunsOn) {
    SimProcess first;
    HWND main = first.MainWindow();
    ASSERT_NE(main, nullptr);

    SimProcess second;
    HWND box = second.WaitForMessageBox("Quorvel Dual  : ERROR", 10000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(SimProcess::MessageText(box), "Application is already running!");
    EXPECT_EQ(second.MainWindow(0), nullptr);
    EXPECT_EQ(second.Simulator(0), nullptr);
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    DWORD code = 1;
    EXPECT_TRUE(second.WaitForExit(10000, &code));
    EXPECT_EQ(code, 0u);

    EXPECT_EQ(first.MainWindow(0), main);
    EXPECT_TRUE(first.TrayMenuOpens(IDR_TRAY_PRESENT));
}

TEST_F(EndToEnd, A51StreamWithTheFilterOnAsksOnce) {
    SimProcess sim("--stream=five");
    ASSERT_NE(sim.MainWindow(), nullptr);
    HWND simulator = sim.Simulator();
    ASSERT_NE(simulator, nullptr);
    EXPECT_EQ(sim.WaitForMessageBox("", 600), nullptr) << "no question while the filter is off";

    Click(simulator, IDC_SIM_FILTER_FLAG);
    HWND box = sim.WaitForMessageBox("", 5000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(SimProcess::MessageText(box),
              "5.1-channel Audio source is detected.\nAre you sure you want to activate the "
              "filter?\n\nEnabling filter will change the original\n5.1-channel Audio "
              "content.\n\n(Recommend: CD audio -> Click Yes, DVD ->No)");
    ::PostMessageA(box, WM_COMMAND, IDNO, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }, 5000));

    EXPECT_EQ(sim.WaitForMessageBox("", 1200), nullptr) << "asked again";
    EXPECT_TRUE(WaitUntil(
        [&] { return ::IsDlgButtonChecked(simulator, IDC_SIM_FILTER_FLAG) == BST_UNCHECKED; },
        2000))
        << "No clears the filter-enabled flag";
}

TEST_F(EndToEnd, PullingOutAndPluggingInFollowsTheAdapter) {
    SimProcess sim;
    HWND main = sim.MainWindow();
    HWND simulator = sim.Simulator();
    ASSERT_TRUE(main && simulator);
    ASSERT_TRUE(Polling(sim));

    Click(simulator, IDC_SIM_PLUG);  // pull out
    ::PostMessageA(main, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    EXPECT_TRUE(WaitUntil([&] { return IconInTray(main, IDR_TRAY_ABSENT); }, 5000));
    EXPECT_TRUE(sim.TrayMenuOpens(IDR_TRAY_ABSENT));
    EXPECT_FALSE(Polling(sim));

    Click(simulator, IDC_SIM_PLUG);  // plug in: reported twice, as Windows does
    ::PostMessageA(main, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    ::PostMessageA(main, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    EXPECT_TRUE(WaitUntil([&] { return IconInTray(main, IDR_TRAY_PRESENT); }, 5000));
    EXPECT_TRUE(sim.TrayMenuOpens(IDR_TRAY_PRESENT));
    EXPECT_TRUE(Polling(sim));
}

TEST_F(EndToEnd, ExitRemovesTheIconAndEndsTheProcess) {
    SimProcess sim;
    HWND main = sim.MainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return IconInTray(main, IDR_TRAY_PRESENT); }, 5000));

    ::PostMessageA(main, WM_COMMAND, ID_EXIT, 0);
    DWORD code = 1;
    EXPECT_TRUE(sim.WaitForExit(10000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(IconInTray(main, IDR_TRAY_PRESENT));
}

}  // namespace
