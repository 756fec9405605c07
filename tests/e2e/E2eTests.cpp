// End-to-end: the simulator build started as a user starts the program, driven from outside.
#include <windows.h>
#include <dbt.h>
#include <shellapi.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <psapi.h>

#include <gtest/gtest.h>

#include "res/resource.h"
#include "sim/simulator_resource.h"
#include "tests/e2e/SimProcess.h"

namespace {

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

bool Checked(HWND dialog, int id) {
    return ::SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::string Text(HWND dialog, int id) {
    char text[256] = "";
    ::GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

// The user drags a level slider there: the trackbar moves and tells its page.
void MoveSlider(HWND page, int id, int position) {
    HWND slider = ::GetDlgItem(page, id);
    ::SendMessageA(slider, TBM_SETPOS, TRUE, position);
    ::SendMessageA(page, WM_VSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                   reinterpret_cast<LPARAM>(slider));
    ::SendMessageA(page, WM_VSCROLL, TB_ENDTRACK, reinterpret_cast<LPARAM>(slider));
}

// Opens the settings window and finds the page that holds this control.
HWND OpenSettingsPage(HWND main, int controlId) {
    if (!main) return nullptr;
    ::PostMessageA(main, WM_COMMAND, ID_OPEN_SETTING, 0);
    if (!WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }, 5000)) return nullptr;
    HWND tabs = ::GetDlgItem(main, IDC_TAB);
    for (HWND page = ::GetWindow(tabs, GW_CHILD); page; page = ::GetWindow(page, GW_HWNDNEXT)) {
        if (::GetDlgItem(page, controlId)) return page;
    }
    return nullptr;
}

// Whether the simulator's driver state shows this text within a few seconds.
bool StateShows(const SimProcess& sim, const std::string& text) {
    return WaitUntil(
        [&] { return Text(sim.Simulator(0), IDC_SIM_STATE).find(text) != std::string::npos; },
        3000);
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

TEST_F(EndToEnd, DecliningTheFilterForA51StreamSwitchesItOffOnTheFilterPage) {
    StoreSetting("EnableFilter", 0);
    SimProcess sim("--stream=five");
    HWND main = sim.MainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(sim.WaitForMessageBox("", 600), nullptr) << "no question while the filter is off";

    HWND filter = OpenSettingsPage(main, IDC_ENABLE_FILTER);
    ASSERT_NE(filter, nullptr);
    Click(filter, IDC_ENABLE_FILTER);
    HWND box = sim.WaitForMessageBox("", 5000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(SimProcess::MessageText(box),
              "5.1-channel Audio source is detected.\nAre you sure you want to activate the "
              "filter?\n\nEnabling filter will change the original\n5.1-channel Audio "
              "content.\n\n(Recommend: CD audio -> Click Yes, DVD ->No)");
    ::PostMessageA(box, WM_COMMAND, IDNO, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }, 5000));

    EXPECT_TRUE(WaitUntil([&] { return !Checked(filter, IDC_ENABLE_FILTER); }, 2000));
    for (const int id : {IDC_SPEAKER_21, IDC_SPEAKER_51, IDC_BASS_120, IDC_BASS_450})
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(filter, id))) << id;
    EXPECT_EQ(ReadSetting("EnableFilter"), 0u);
    EXPECT_TRUE(StateShows(sim, "Filter: off"));
    EXPECT_EQ(sim.WaitForMessageBox("", 1200), nullptr) << "asked again";
}

TEST_F(EndToEnd, PullingTheAdapterOutWhileTheQuestionIsOpenEndsItAndNothingStacks) {
    SimProcess sim("--stream=five");
    HWND main = sim.MainWindow();
    HWND simulator = sim.Simulator();
    ASSERT_TRUE(main && simulator);
    HWND box = sim.WaitForMessageBox("", 5000);
    ASSERT_NE(box, nullptr) << "a fresh installation has the filter on";

    Click(simulator, IDC_SIM_PLUG);  // pull out
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box); }, 5000)) << "the question ends";
    EXPECT_TRUE(WaitUntil([&] { return IconInTray(main, IDR_TRAY_ABSENT); }, 5000));
    EXPECT_TRUE(::IsWindowEnabled(main));
    EXPECT_TRUE(StateShows(sim, "Filter: on")) << "the filter is left as it is";

    Click(simulator, IDC_SIM_PLUG);  // plug in: the question comes once more, alone
    EXPECT_TRUE(WaitUntil([&] { return IconInTray(main, IDR_TRAY_PRESENT); }, 5000));
    box = sim.WaitForMessageBox("", 5000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(sim.MessageBoxes(), 1);
    ::PostMessageA(box, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }, 5000));
    ::PostMessageA(main, WM_COMMAND, ID_OPEN_SETTING, 0);
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }, 5000));
    EXPECT_TRUE(::IsWindowEnabled(main)) << "the settings open usable";
}

TEST_F(EndToEnd, ChoicesReachTheAdapterAndComeBackAfterARestart) {
    {
        SimProcess sim;
        HWND main = sim.MainWindow();
        HWND filter = OpenSettingsPage(main, IDC_ENABLE_FILTER);
        HWND levels = OpenSettingsPage(main, IDC_LEVEL_C);
        ASSERT_TRUE(filter && levels);
        Click(filter, IDC_ENABLE_FILTER);  // off
        ASSERT_TRUE(StateShows(sim, "Filter: off"));
        Click(filter, IDC_ENABLE_FILTER);  // on again
        Click(filter, IDC_SPEAKER_21);
        Click(filter, IDC_BASS_300);
        MoveSlider(levels, IDC_LEVEL_C, 14);  // +6 dB
        EXPECT_TRUE(StateShows(sim, "Filter: on"));
        EXPECT_TRUE(StateShows(sim, "Speakers: 2.1"));
        EXPECT_TRUE(StateShows(sim, "Bass: 60 / 40 / 100"));
        EXPECT_TRUE(StateShows(sim, "\nC\t+6.0 dB"));
        ::PostMessageA(main, WM_COMMAND, ID_EXIT, 0);
        ASSERT_TRUE(sim.WaitForExit(10000));
    }
    SimProcess sim("--stream=two");
    HWND main = sim.MainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(StateShows(sim, "Filter: on"));
    EXPECT_TRUE(StateShows(sim, "Speakers: 2.1"));
    EXPECT_TRUE(StateShows(sim, "Bass: 60 / 40 / 100"));
    EXPECT_TRUE(StateShows(sim, "\nC\t+6.0 dB"));
    HWND filter = OpenSettingsPage(main, IDC_ENABLE_FILTER);
    HWND levels = OpenSettingsPage(main, IDC_LEVEL_C);
    ASSERT_TRUE(filter && levels);
    EXPECT_TRUE(Checked(filter, IDC_ENABLE_FILTER));
    EXPECT_TRUE(Checked(filter, IDC_SPEAKER_21));
    EXPECT_TRUE(Checked(filter, IDC_BASS_300));
    EXPECT_EQ(::SendDlgItemMessageA(levels, IDC_LEVEL_C, TBM_GETPOS, 0, 0), 14);

    // The stream playing shows on the filter page at its next poll.
    EXPECT_TRUE(
        WaitUntil([&] { return Text(filter, IDC_PLAYING_SOURCE) == "2-channel data"; }, 2000));
    Click(sim.Simulator(), IDC_SIM_STREAM_FIVE);
    const auto changed = std::chrono::steady_clock::now();
    // A 5.1 stream with the filter on also asks the question; Yes keeps the filter.
    EXPECT_TRUE(WaitUntil(
        [&] {
            if (HWND box = sim.WaitForMessageBox("", 0)) ::PostMessageA(box, WM_COMMAND, IDYES, 0);
            return Text(filter, IDC_PLAYING_SOURCE) == "5.1-channel data";
        },
        2000));
    const auto shown = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - changed);
    std::printf("Stream change to the filter page: %lld ms\n",
                static_cast<long long>(shown.count()));
    // One period of the page's poll is 300 ms; a loaded machine gets some slack.
    EXPECT_LE(shown.count(), 1000);
}

TEST_F(EndToEnd, TheStoredSettingsReachAnAdapterPluggedInAfterTheStart) {
    StoreSetting("EnableFilter", 1);
    StoreSetting("OutputMode", 0);
    StoreSetting("BassOutputMode", 2);
    const float gain = 2.0f;
    DWORD bits = 0;
    std::memcpy(&bits, &gain, sizeof(bits));
    StoreSetting("VolumeRR", bits);
    SimProcess sim("--unplugged");
    HWND main = sim.MainWindow();
    HWND simulator = sim.Simulator();
    ASSERT_TRUE(main && simulator);
    ASSERT_TRUE(WaitUntil([&] { return IconInTray(main, IDR_TRAY_ABSENT); }, 5000));
    EXPECT_TRUE(StateShows(sim, "Filter: off"));

    Click(simulator, IDC_SIM_PLUG);  // plug in
    EXPECT_TRUE(WaitUntil([&] { return IconInTray(main, IDR_TRAY_PRESENT); }, 5000));
    EXPECT_TRUE(StateShows(sim, "Filter: on"));
    EXPECT_TRUE(StateShows(sim, "Speakers: 2.1"));
    EXPECT_TRUE(StateShows(sim, "Bass: 40 / 27 / 67"));
    EXPECT_TRUE(StateShows(sim, "\nRR\t+6.0 dB   2  (40000000)"));
}

TEST_F(EndToEnd, PullingOutAndPluggingInFollowsTheAdapter) {
    SimProcess sim;
    HWND main = sim.MainWindow();
    HWND simulator = sim.Simulator();
    ASSERT_TRUE(main && simulator);
    ASSERT_TRUE(Polling(sim));

    Click(simulator, IDC_SIM_PLUG);  // pull out: the system tells the program
    EXPECT_TRUE(WaitUntil([&] { return IconInTray(main, IDR_TRAY_ABSENT); }, 5000));
    EXPECT_TRUE(sim.TrayMenuOpens(IDR_TRAY_ABSENT));
    EXPECT_FALSE(Polling(sim));

    Click(simulator, IDC_SIM_PLUG);  // plug in: reported twice, as Windows does
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
