// End-to-end: the mixer pages of the simulator build against its "System mixer" panel, which
// stands for the system's own volume panel.
#include <windows.h>
#include <commctrl.h>
#include <dbt.h>

#include <string>

#include <gtest/gtest.h>

#include "res/resource.h"
#include "sim/sim_mixer_resource.h"
#include "sim/simulator_resource.h"
#include "tests/e2e/SimProcess.h"

namespace {

// Rows of the simulator's mixer panel, and the parts of a row.
constexpr int kMainRow = 0;
constexpr int kWaveRow = 1;
constexpr int kMicRow = 5;
constexpr int kRecordLineRow = 7;
constexpr int kRecordMicRow = 8;
constexpr int kValues = 1;
constexpr int kVolume = 2;
constexpr int kButton = 4;

int RowId(int row, int part) {
    return IDC_SIM_MIXER_ROWS + 10 * row + part;
}

struct Search {
    int id;
    HWND found;
};

BOOL CALLBACK MatchId(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<Search*>(lp);
    if (::GetDlgCtrlID(hwnd) != search->id) return TRUE;
    search->found = hwnd;
    return FALSE;
}

// The first window under root, at any depth, with this control id.
HWND Descendant(HWND root, int id) {
    Search search{id, nullptr};
    ::EnumChildWindows(root, &MatchId, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string Text(HWND window) {
    char text[128] = "";
    ::GetWindowTextA(window, text, sizeof(text));
    return text;
}

bool Checked(HWND button) {
    return ::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// A user drags a trackbar of the program or of the panel to a trackbar position.
void Drag(HWND trackbar, int position) {
    ::SendMessageA(trackbar, TBM_SETPOS, TRUE, position);
    const bool vertical = ::GetWindowLongA(trackbar, GWL_STYLE) & TBS_VERT;
    ::SendMessageA(::GetParent(trackbar), vertical ? WM_VSCROLL : WM_HSCROLL,
                   MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(trackbar));
}

class MixerEndToEnd : public testing::Test {
  protected:
    MixerEndToEnd() { DeleteSettings(); }
    ~MixerEndToEnd() override { DeleteSettings(); }

    bool Start() {
        main = sim.MainWindow();
        simulator = sim.Simulator();
        if (!main || !simulator) return false;
        ::PostMessageA(main, WM_COMMAND, ID_OPEN_SETTING, 0);
        return WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }, 5000);
    }
    HWND Panel(int row, int part) const { return Descendant(simulator, RowId(row, part)); }
    bool PanelShows(int row, const std::string& values) const {
        return WaitUntil([&] { return Text(Panel(row, kValues)) == values; }, 3000);
    }

    SimProcess sim;
    HWND main = nullptr;
    HWND simulator = nullptr;
};

TEST_F(MixerEndToEnd, VolumesFollowThePanelBothWaysAndAcrossAReplug) {
    ASSERT_TRUE(Start());
    // A first start: the microphone's playback muted, the volumes in the middle.
    EXPECT_TRUE(PanelShows(kMainRow, "L 32760  R 32760"));
    EXPECT_TRUE(PanelShows(kWaveRow, "L 32760  R 24570")) << "the balance kept";
    EXPECT_TRUE(Checked(Panel(kMicRow, kButton)));

    HWND wave = Descendant(main, IDC_VOLUME_WAVE);
    ASSERT_NE(wave, nullptr);
    Drag(wave, 18 - 12);
    EXPECT_TRUE(PanelShows(kWaveRow, "L 43680  R 32760"));

    Drag(Panel(kWaveRow, kVolume), 25);
    EXPECT_TRUE(PanelShows(kWaveRow, "L 16383  R 12287"));
    EXPECT_TRUE(WaitUntil([&] { return ::SendMessageA(wave, TBM_GETPOS, 0, 0) == 18 - 4; }, 3000));

    // Pulled out and plugged in: the pages bind again and follow the mixer again.
    ::SendMessageA(::GetDlgItem(simulator, IDC_SIM_PLUG), BM_CLICK, 0, 0);
    ::PostMessageA(main, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowEnabled(Panel(kWaveRow, kVolume)); }, 3000));
    // The removal hides the settings once the program has taken it in.
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(main); }, 3000));
    ::SendMessageA(::GetDlgItem(simulator, IDC_SIM_PLUG), BM_CLICK, 0, 0);
    ::PostMessageA(main, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    ::PostMessageA(main, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    EXPECT_TRUE(
        WaitUntil([&] { return ::IsWindowEnabled(Panel(kWaveRow, kVolume)) != FALSE; }, 3000));
    ::Sleep(500);
    Drag(Panel(kWaveRow, kVolume), 100);
    EXPECT_TRUE(WaitUntil([&] { return ::SendMessageA(wave, TBM_GETPOS, 0, 0) == 0; }, 3000));
}

TEST_F(MixerEndToEnd, TheRecordingSourceFollowsThePanelBothWays) {
    ASSERT_TRUE(Start());
    HWND tabs = ::GetDlgItem(main, IDC_TAB);
    ::SendMessageA(tabs, TCM_SETCURFOCUS, 3, 0);
    HWND micBox = Descendant(main, IDC_RECORD_MIC_SELECT);
    HWND lineBox = Descendant(main, IDC_RECORD_LINE_SELECT);
    ASSERT_TRUE(micBox && lineBox);
    EXPECT_TRUE(WaitUntil([&] { return Checked(micBox); }, 3000)) << "chosen at the first start";

    ::SendMessageA(lineBox, BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return Checked(Panel(kRecordLineRow, kButton)); }, 3000));
    EXPECT_FALSE(Checked(Panel(kRecordMicRow, kButton)));
    EXPECT_TRUE(Checked(lineBox));
    EXPECT_FALSE(Checked(micBox));

    ::SendMessageA(Panel(kRecordMicRow, kButton), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return Checked(micBox) && !Checked(lineBox); }, 3000));
}

// The layout of Windows Vista and later, chosen in the panel with the adapter out: after the
// adapter's return the main column follows the speakers' endpoint both ways.
TEST_F(MixerEndToEnd, OnePerEndpointTheMainColumnFollowsTheEndpoint) {
    ASSERT_TRUE(Start());
    HWND layout = Descendant(simulator, IDC_SIM_MIXER_LAYOUT);
    EXPECT_FALSE(::IsWindowEnabled(layout)) << "not while the adapter is in";
    ::SendMessageA(::GetDlgItem(simulator, IDC_SIM_PLUG), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(layout) != FALSE; }, 3000));
    ::SendMessageA(layout, BM_CLICK, 0, 0);
    ::SendMessageA(::GetDlgItem(simulator, IDC_SIM_PLUG), BM_CLICK, 0, 0);
    EXPECT_TRUE(PanelShows(kMainRow, "L 75%  R 50%"));
    HWND volume = Descendant(main, IDC_VOLUME_MAIN);
    ASSERT_NE(volume, nullptr);
    ::PostMessageA(main, WM_COMMAND, ID_OPEN_SETTING, 0);
    // Bound again: the thumb shows the louder channel, 0.75 of the range (position 13).
    ASSERT_TRUE(
        WaitUntil([&] { return ::SendMessageA(volume, TBM_GETPOS, 0, 0) == 18 - 13; }, 5000));

    Drag(volume, 18 - 4);
    EXPECT_TRUE(PanelShows(kMainRow, "L 22%  R 15%")) << "the balance kept";
    Drag(Panel(kMainRow, kVolume), 100);
    EXPECT_TRUE(WaitUntil([&] { return ::SendMessageA(volume, TBM_GETPOS, 0, 0) == 0; }, 3000));
}

}  // namespace
