// End-to-end: the speaker test window of the simulator build, opened from the tray and driven by
// clicks, with the sounds and the driver's state read from the simulator window.
#include <windows.h>
#include <dbt.h>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/PanelShared.h"
#include "res/resource.h"
#include "sim/simulator_resource.h"
#include "tests/e2e/SimProcess.h"

namespace {

void Click(HWND dialog, int id) {
    ::SendMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

std::string Text(HWND dialog, int id) {
    char text[1024] = "";
    ::GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

// The sound calls the simulator window lists, one a line, the newest last.
std::vector<std::string> SoundCalls(HWND simulator) {
    std::vector<char> text(64 * 1024);
    ::GetDlgItemTextA(simulator, IDC_SIM_SOUNDS, text.data(), static_cast<int>(text.size()));
    std::vector<std::string> lines;
    const std::string all = text.data();
    for (std::size_t start = 0; start < all.size();) {
        std::size_t end = all.find("\r\n", start);
        if (end == std::string::npos) end = all.size();
        lines.push_back(all.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// The test tones among the sound calls the simulator lists, in the order they were played.
std::vector<std::string> Tones(HWND simulator) {
    std::vector<std::string> tones;
    for (const std::string& line : SoundCalls(simulator)) {
        if (line.find(" tone ") == std::string::npos) continue;
        const auto id = line.find('#');
        tones.push_back(line.substr(id, 5));
    }
    return tones;
}

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

class SpeakerTestEndToEnd : public testing::Test {
  protected:
    SpeakerTestEndToEnd() { DeleteSettings(); }
    ~SpeakerTestEndToEnd() override { DeleteSettings(); }

    // Starts the simulator build and opens the speaker test from the tray menu.
    void OpenSpeakerTest() {
        main = sim.MainWindow();
        simulator = sim.Simulator();
        ASSERT_TRUE(main && simulator);
        ::PostMessageA(main, WM_TRAY_CALLBACK, IDR_TRAY_PRESENT, WM_RBUTTONDOWN);
        ASSERT_TRUE(WaitUntil(
            [&] {
                HWND menu = ::FindWindowA("#32768", nullptr);
                if (menu && ::IsWindowVisible(menu)) {
                    ::PostMessageA(menu, WM_CHAR, 't', 1);
                    return true;
                }
                return false;
            },
            3000));
        ASSERT_TRUE(WaitUntil(
            [&] {
                test = sim.WaitForWindow("", 0);
                return test && ::IsWindowVisible(test);
            },
            5000));
        page =
            ::FindWindowExA(::GetDlgItem(test, IDC_SPEAKER_TEST_TAB), nullptr, "#32770", nullptr);
        ASSERT_NE(page, nullptr);
    }

    SimProcess sim;
    HWND main = nullptr;
    HWND simulator = nullptr;
    HWND test = nullptr;
    HWND page = nullptr;
};

TEST_F(SpeakerTestEndToEnd, TestSpeakerFromTheTrayOpensTheWindowWhereTheSettingsWere) {
    OpenSpeakerTest();
    RECT settings{};
    ::GetWindowRect(main, &settings);
    RECT placed{};
    ::GetWindowRect(test, &placed);
    EXPECT_TRUE(::EqualRect(&placed, &settings))
        << placed.left << "," << placed.top << "," << placed.right << "," << placed.bottom << " vs "
        << settings.left << "," << settings.top << "," << settings.right << "," << settings.bottom;
    EXPECT_FALSE(::IsWindowVisible(main));
    EXPECT_TRUE(
        WaitUntil([&] { return Contains(Text(simulator, IDC_SIM_STATE), "Filter: off"); }, 2000))
        << Text(simulator, IDC_SIM_STATE);
}

TEST_F(SpeakerTestEndToEnd, AutoSoundsTheSixTonesInTurnUntilStopped) {
    OpenSpeakerTest();
    Click(page, IDC_TEST_AUTO);
    Click(page, IDC_TEST_BUTTON);
    const std::vector<std::string> scale{"#9177", "#9181", "#9180", "#9178", "#9182", "#9179"};
    EXPECT_TRUE(WaitUntil([&] { return Tones(simulator).size() >= 6; }, 9000));
    std::vector<std::string> tones = Tones(simulator);
    tones.resize(6);
    EXPECT_EQ(tones, scale) << "a rising scale around the listener";
    Click(page, IDC_TEST_BUTTON);
    EXPECT_TRUE(WaitUntil(
        [&] {
            const auto lines = SoundCalls(simulator);
            return !lines.empty() && Contains(lines.back(), "stop every sound");
        },
        2000));
}

TEST_F(SpeakerTestEndToEnd, SurroundSweepsInTheDriverAndCloseRestoresTheStoredFilter) {
    StoreSetting("EnableFilter", 1);
    OpenSpeakerTest();
    Click(page, IDC_TEST_SURROUND);
    Click(page, IDC_TEST_BUTTON);
    EXPECT_TRUE(WaitUntil(
        [&] {
            const std::string state = Text(simulator, IDC_SIM_STATE);
            return Contains(state, "Filter: on") && Contains(state, "Surround sweep: running");
        },
        3000));
    const auto lines = SoundCalls(simulator);
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(Contains(lines.back(), "#9183 surround sweep, from memory, looped"))
        << lines.back();

    Click(test, IDC_SPEAKER_TEST_CLOSE);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(test); }, 3000));
    EXPECT_TRUE(WaitUntil(
        [&] {
            const std::string state = Text(simulator, IDC_SIM_STATE);
            return Contains(state, "Filter: on") && Contains(state, "Surround sweep: off");
        },
        3000))
        << Text(simulator, IDC_SIM_STATE);
}

TEST_F(SpeakerTestEndToEnd, PullingTheAdapterOutDuringATestStopsItAndHidesTheWindow) {
    OpenSpeakerTest();
    Click(page, IDC_TEST_AUTO);
    Click(page, IDC_TEST_BUTTON);
    ASSERT_TRUE(WaitUntil([&] { return !Tones(simulator).empty(); }, 3000));
    Click(simulator, IDC_SIM_PLUG);
    ::PostMessageA(main, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(test); }, 5000));
    const std::size_t tones = Tones(simulator).size();
    ::Sleep(1500);
    EXPECT_EQ(Tones(simulator).size(), tones) << "no tone after the removal";
}

}  // namespace
