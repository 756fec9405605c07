// The surround sweep on the real Dynamic panel: requests, sound, timer and the marker's pixels.
#include <windows.h>

#include <array>
#include <vector>

#include <gtest/gtest.h>

#include "device/DeviceRecords.h"
#include "framework/Handles.h"
#include "tests/speakertest/SpeakerTestFixture.h"

namespace {

using speakertest::SweepAt;

constexpr COLORREF kRed = RGB(255, 0, 0);

class SurroundSweepTest : public testing_support::SpeakerTestWindow {
  public:
    SurroundSweepTest() {
        testing_support::StoreSetting("TestMode", 3);
        testing_support::StoreSetting("TestBtnStatus", 1);
    }

    HWND Panel() const { return PageItem(IDC_DYNAMIC_PANEL); }
    COLORREF Pixel(POINT at) const {
        fw::WindowDc dc(Panel());
        return ::GetPixel(dc.Get(), at.x, at.y);
    }
    // The nine pixels of a marker centred there.
    std::array<COLORREF, 9> Marker(POINT centre) const {
        std::array<COLORREF, 9> colours{};
        for (std::size_t i = 0; i < colours.size(); ++i) {
            colours[i] = Pixel({centre.x + speakertest::kMarkerOffsets[i].x,
                                centre.y + speakertest::kMarkerOffsets[i].y});
        }
        return colours;
    }
    void Paint(POINT centre, COLORREF colour) const {
        fw::WindowDc dc(Panel());
        for (const POINT& offset : speakertest::kMarkerOffsets)
            ::SetPixel(dc.Get(), centre.x + offset.x, centre.y + offset.y, colour);
    }
    static std::array<COLORREF, 9> All(COLORREF colour) {
        std::array<COLORREF, 9> colours{};
        colours.fill(colour);
        return colours;
    }

    // Test pressed; the test sends the sweep's ticks itself.
    void PressTest() {
        Click(IDC_TEST_BUTTON);
        ::KillTimer(Page().GetSafeHwnd(), CSpeakerTestPage::kSweepTimer);
        m_start = system.now;
    }
    void TickAt(DWORD elapsed) {
        system.now = m_start + elapsed;
        Tick(CSpeakerTestPage::kSweepTimer);
    }

    // Where the marker goes on this panel at a quarter turn: top, right, bottom, left.
    static constexpr POINT kTop{31, 6};
    static constexpr POINT kRight{56, 31};
    static constexpr POINT kBottom{31, 56};
    static constexpr POINT kLeft{6, 31};

  private:
    DWORD m_start = 0;
};

TEST_F(SurroundSweepTest, StartSwitchesTheFilterOnAndLoopsTheSweepSoundFromMemory) {
    Show();
    world.ClearLogs();
    sound.played.clear();
    Click(IDC_TEST_BUTTON);
    std::vector<DWORD> codes;
    for (const sim::DriverRequest& request : world.Requests())
        codes.push_back(request.code);
    EXPECT_EQ(codes, (std::vector<DWORD>{device::IOCTL_FILTER_ON, device::IOCTL_SURROUND_START}));
    EXPECT_TRUE(world.driver.filterOn);
    EXPECT_TRUE(world.driver.surround);
    ASSERT_EQ(sound.played.size(), 1u);
    EXPECT_EQ(sound.played[0].sound, "#9183");
    EXPECT_TRUE(sound.played[0].viaSndPlaySound);
    EXPECT_EQ(sound.played[0].flags,
              static_cast<DWORD>(SND_ASYNC | SND_NODEFAULT | SND_MEMORY | SND_LOOP));
    EXPECT_TRUE(SweepTimerRunning());
    EXPECT_FALSE(Page().CaptionShowsTest());

    world.ClearLogs();
    sound.played.clear();
    Click(IDC_TEST_BUTTON);
    codes.clear();
    for (const sim::DriverRequest& request : world.Requests())
        codes.push_back(request.code);
    EXPECT_EQ(codes, (std::vector<DWORD>{device::IOCTL_FILTER_OFF, device::IOCTL_SURROUND_STOP}));
    ASSERT_EQ(sound.played.size(), 2u);
    EXPECT_EQ(sound.played[0].sound, "");
    EXPECT_EQ(sound.played[0].flags, static_cast<DWORD>(SND_PURGE));
    EXPECT_TRUE(sound.played[1].viaSndPlaySound);
    EXPECT_EQ(sound.played[1].sound, "");
    EXPECT_FALSE(SweepTimerRunning());
}

TEST_F(SurroundSweepTest, TheMarkerCirclesClockwiseFromTheFrontOnThePanel) {
    Show();
    RECT client{};
    ::GetClientRect(Panel(), &client);
    ASSERT_EQ(client.right, 63);
    ASSERT_EQ(client.bottom, 63);
    PressTest();
    const struct {
        double ms;
        POINT centre;
    } quarters[] = {{0, kTop}, {1877.5, kRight}, {3755, kBottom}, {5632.5, kLeft}};
    const std::array<COLORREF, 9> cleanTop = Marker(kTop);
    for (const auto& q : quarters) {
        SCOPED_TRACE(q.ms);
        const speakertest::SweepPoint point = SweepAt(q.ms);
        Page().DrawSweepMarker(point.a, point.b);
        EXPECT_EQ(Marker(q.centre), All(kRed));
    }
    EXPECT_EQ(Marker(kTop), cleanTop) << "each move puts back what the marker covered";
    EXPECT_NE(Marker(kBottom), All(kRed));
}

TEST_F(SurroundSweepTest, TheSweepClockWrapsWithoutHarm) {
    system.now = 0xFFFFFFFFu - 1000;
    Show();
    PressTest();
    TickAt(3755);
    EXPECT_LT(system.now, 3000u) << "the clock wrapped";
    EXPECT_EQ(Marker(kBottom), All(kRed));
}

TEST_F(SurroundSweepTest, TheFirstSweepAfterStartRestoresNothing) {
    speakertest::SweepMarker().x = 20;
    speakertest::SweepMarker().y = 20;
    Show();
    PressTest();
    Paint({20, 20}, RGB(0, 0, 255));
    TickAt(0);
    EXPECT_EQ(Marker({20, 20}), All(RGB(0, 0, 255)));
    EXPECT_EQ(Marker(kTop), All(kRed));
}

// The marker state outlives a stop: the next sweep's first tick puts the saved colours back at
// the old position, onto the fresh panel image.
TEST_F(SurroundSweepTest, TheSavedColoursAreKeptAcrossSweeps) {
    Show();
    const std::array<COLORREF, 9> cleanTop = Marker(kTop);
    PressTest();
    TickAt(0);
    Click(IDC_TEST_BUTTON);
    app.PumpPending();
    EXPECT_EQ(Marker(kTop), cleanTop) << "a fresh image wipes the marker";
    Paint(kTop, RGB(0, 0, 255));

    PressTest();
    TickAt(3755);
    EXPECT_EQ(Marker(kTop), cleanTop);
    EXPECT_EQ(Marker(kBottom), All(kRed));
}

TEST_F(SurroundSweepTest, NothingIsDrawnWhileThePageWaitsForARepaint) {
    Show();
    PressTest();
    TickAt(0);
    ::InvalidateRect(Page().GetSafeHwnd(), nullptr, FALSE);
    const std::array<COLORREF, 9> bottom = Marker(kBottom);
    TickAt(3755);
    EXPECT_EQ(Marker(kBottom), bottom);
    EXPECT_EQ(Marker(kTop), All(kRed));
    EXPECT_EQ(speakertest::SweepMarker().y, kTop.y) << "the marker state is unchanged";

    ::RedrawWindow(Page().GetSafeHwnd(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    TickAt(3755);
    EXPECT_EQ(Marker(kBottom), All(kRed));
}

TEST_F(SurroundSweepTest, TheStartIsSentAgainOnlyWhenATickLandsAtATurnsStart) {
    Show();
    PressTest();
    ASSERT_EQ(Requests(device::IOCTL_SURROUND_START), 1);
    const struct {
        DWORD elapsed;
        int starts;
    } ticks[] = {{0, 2}, {4, 2}, {3755, 2}, {7510, 3}, {7513, 4}, {7514, 4}};
    for (const auto& t : ticks) {
        SCOPED_TRACE(t.elapsed);
        TickAt(t.elapsed);
        EXPECT_EQ(Requests(device::IOCTL_SURROUND_START), t.starts);
    }
    world.FailRequest(device::IOCTL_SURROUND_START);
    TickAt(15020);
    EXPECT_EQ(Requests(device::IOCTL_SURROUND_START), 5);
    EXPECT_TRUE(prompts.shown.empty()) << "a failed repeat is not reported";
    EXPECT_TRUE(Page().SweepRunning());
}

TEST_F(SurroundSweepTest, FailuresAtStartAndStopAreReportedAndDecideWhatRuns) {
    enum class At { Start, Stop };
    const struct {
        const char* what;
        bool device;
        At at;
        DWORD failing;
        int boxes;
        bool sweepSound;  // the sweep sound started by this press
        bool running;     // timer and marker after the press
    } cases[] = {
        {"start, no device", false, At::Start, 0, 0, false, false},
        {"start, filter on fails", true, At::Start, device::IOCTL_FILTER_ON, 1, false, false},
        {"start, sweep start fails", true, At::Start, device::IOCTL_SURROUND_START, 1, true, true},
        {"stop, no device", false, At::Stop, 0, 0, false, false},
        {"stop, filter off fails", true, At::Stop, device::IOCTL_FILTER_OFF, 1, false, true},
        {"stop, sweep stop fails", true, At::Stop, device::IOCTL_SURROUND_STOP, 1, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Hide();
        testing_support::StoreSetting("TestBtnStatus", 1);
        world.FailEveryOpen(!c.device);
        Show();
        if (c.at == At::Stop) PressTest();
        prompts.shown.clear();
        sound.played.clear();
        world.ClearLogs();
        if (c.failing) world.FailRequest(c.failing);

        Click(IDC_TEST_BUTTON);

        EXPECT_EQ(static_cast<int>(prompts.shown.size()), c.boxes);
        if (c.boxes) {
            EXPECT_EQ(prompts.shown[0].text, "DATA TRANSPORT ERROR,TRY AGAIN.");
        }
        EXPECT_EQ(Played("#9183"), c.sweepSound ? 1 : 0);
        EXPECT_EQ(Page().SweepRunning(), c.running);
        EXPECT_EQ(Page().CaptionShowsTest(), c.at == At::Stop) << "the caption changes anyway";
        if (!c.device) {
            EXPECT_TRUE(world.Requests().empty());
        }
        if (c.failing) world.FailRequest(c.failing, false);
        world.FailEveryOpen(false);
    }
}

// A stop loads the clean panel image afresh; the image it replaces goes, so that repeated sweeps
// do not pile up bitmaps.
TEST_F(SurroundSweepTest, EachStopReplacesThePanelImageAndDeletesTheOneBefore) {
    Show();
    auto shown = [&] {
        return reinterpret_cast<HBITMAP>(::SendMessageA(Panel(), STM_GETIMAGE, IMAGE_BITMAP, 0));
    };
    PressTest();
    Click(IDC_TEST_BUTTON);
    const HBITMAP first = shown();
    ASSERT_NE(::GetObjectType(first), 0u);
    PressTest();
    Click(IDC_TEST_BUTTON);
    EXPECT_NE(shown(), first);
    EXPECT_NE(::GetObjectType(shown()), 0u);
    EXPECT_EQ(::GetObjectType(first), 0u);
}

TEST_F(SurroundSweepTest, ASweepLeftRunningByAFailedStopEndsWhenTheWindowHides) {
    Show();
    Click(IDC_TEST_BUTTON);
    world.FailRequest(device::IOCTL_FILTER_OFF);
    Click(IDC_TEST_BUTTON);
    ASSERT_TRUE(SweepTimerRunning());
    world.FailRequest(device::IOCTL_FILTER_OFF, false);
    Hide();
    EXPECT_FALSE(SweepTimerRunning());
    EXPECT_FALSE(Page().SweepRunning());
    EXPECT_EQ(world.OpenHandles(), 0);
}

}  // namespace
