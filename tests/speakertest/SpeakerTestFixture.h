#pragma once

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "framework/WinApp.h"
#include "res/resource.h"
#include "speakertest/SpeakerTestDlg.h"
#include "speakertest/SpeakerTestPage.h"
#include "speakertest/SurroundSweep.h"
#include "tests/support/SimEnvironment.h"

namespace testing_support {

// The speaker test window on its own, created hidden as the main window creates it, with the
// simulated adapter plugged in and the sweep marker as at program start.
class SpeakerTestWindow : public SimEnvironment {
  public:
    SpeakerTestWindow() {
        world.SetPlugged(true);
        speakertest::SweepMarker() = {};
        window.Create();
        window.ShowWindow(SW_HIDE);
    }
    ~SpeakerTestWindow() override {
        window.ReleaseSpeakerTest();
        EXPECT_EQ(world.OpenHandles(), 0) << "released: the adapter's handle is closed";
        EXPECT_EQ(registry.OpenKeys(), 0) << "released: the settings key is closed";
        window.DestroyWindow();
        app.PumpPending();
    }

    CSpeakerTestPage& Page() const { return *window.Page(); }
    HWND PageItem(int id) const { return ::GetDlgItem(Page().GetSafeHwnd(), id); }

    void Show() {
        window.ShowSpeakerTest(SW_SHOW);
        app.PumpPending();
    }
    void Hide() {
        window.ShowSpeakerTest(SW_HIDE);
        app.PumpPending();
    }
    // BN_CLICKED as the control sends it, even to a disabled button.
    void Click(int id) const {
        Page().SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                           reinterpret_cast<LPARAM>(PageItem(id)));
    }
    void Tick(UINT_PTR timer) const { Page().SendMessage(WM_TIMER, timer); }
    void Mouse(UINT message, POINT point) const {
        Page().SendMessage(message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                           MAKELPARAM(point.x, point.y));
    }

    HBITMAP TileShows(speakertest::Speaker speaker) const {
        return reinterpret_cast<HBITMAP>(
            ::SendMessageA(PageItem(static_cast<int>(speakertest::Info(speaker).tile)),
                           STM_GETIMAGE, IMAGE_BITMAP, 0));
    }
    bool TilePressed(speakertest::Speaker speaker) const {
        return TileShows(speaker) == Page().TileImage(speaker, true);
    }
    bool Enabled(int id) const { return ::IsWindowEnabled(PageItem(id)) != FALSE; }
    bool RadiosEnabled() const {
        return Enabled(IDC_TEST_AUTO) && Enabled(IDC_TEST_MANUAL) && Enabled(IDC_TEST_SURROUND);
    }
    bool SweepTimerRunning() const {
        return TimerRunning(Page().GetSafeHwnd(), CSpeakerTestPage::kSweepTimer, 0);
    }
    bool SequenceTimerRunning() const {
        return TimerRunning(Page().GetSafeHwnd(), CSpeakerTestPage::kSequenceTimer,
                            CSpeakerTestPage::kSequencePeriod);
    }
    // The last sound call, "" when there was none or it stopped every sound.
    std::string LastSound() const { return sound.played.empty() ? "" : sound.played.back().sound; }

    CWinApp app;
    CSpeakerTestDlg window;
};

}  // namespace testing_support
