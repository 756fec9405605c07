// The speaker test's message boxes run nested message loops: the adapter can be pulled out, or
// the program told to exit, while one is open. Driven through the main window, as it happens.
#include <windows.h>
#include <dbt.h>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "app/MainDlg.h"
#include "device/DeviceRecords.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "speakertest/SpeakerTestDlg.h"
#include "speakertest/SpeakerTestPage.h"
#include "tests/speakertest/SpeakerTestFixture.h"
#include "tests/support/MainWindowFixture.h"

namespace {

using testing_support::StoreSetting;

class NestedLoopTest : public testing_support::MainWindowFixture {
  public:
    NestedLoopTest() {
        world.SetPlugged(true);
        Start();
    }

    CSpeakerTestPage& Page() const { return *main->SpeakerTest()->Page(); }
    void ClickOnPage(int id) const {
        Page().SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(Page().GetSafeHwnd(), id)));
    }

    // Whether a looped sound was started after the last call that stopped every sound.
    bool SoundLeftLooping() const {
        bool looping = false;
        for (const sim::PlayedSound& played : sound.played) {
            if (played.sound.empty()) looping = false;
            if (!played.sound.empty() && (played.flags & SND_LOOP)) looping = true;
        }
        return looping;
    }
};

TEST_F(NestedLoopTest, ARemovalOrTheExitDuringABoxOfTheSpeakerTestLeavesNothingBehind) {
    enum class Arrives { Removal, Exit };
    struct Case {
        const char* what;
        DWORD mode;
        std::function<void(NestedLoopTest&)> before;   // up to the step that fails
        DWORD failing;                                 // 0: every open fails
        std::function<void(NestedLoopTest&)> trigger;  // the step whose box opens
        Arrives arrives;
    };
    auto testSpeaker = [](NestedLoopTest& t) { t.main->SendMessage(WM_COMMAND, ID_TEST_SPEAKER); };
    auto pressTest = [](NestedLoopTest& t) { t.ClickOnPage(IDC_TEST_BUTTON); };
    auto close = [](NestedLoopTest& t) {
        t.main->SpeakerTest()->SendMessage(WM_COMMAND, IDC_SPEAKER_TEST_CLOSE);
    };
    auto nothing = [](NestedLoopTest&) {};
    auto startSweep = [=](NestedLoopTest& t) {
        testSpeaker(t);
        pressTest(t);
    };
    const Case cases[] = {
        {"open fails at show", 2, nothing, 0, testSpeaker, Arrives::Removal},
        {"open fails at show", 2, nothing, 0, testSpeaker, Arrives::Exit},
        {"filter off fails at show", 2, nothing, device::IOCTL_FILTER_OFF, testSpeaker,
         Arrives::Removal},
        {"filter off fails at show", 2, nothing, device::IOCTL_FILTER_OFF, testSpeaker,
         Arrives::Exit},
        {"sweep start fails", 3, testSpeaker, device::IOCTL_SURROUND_START, pressTest,
         Arrives::Removal},
        {"sweep start fails", 3, testSpeaker, device::IOCTL_SURROUND_START, pressTest,
         Arrives::Exit},
        {"filter off fails at stop", 3, startSweep, device::IOCTL_FILTER_OFF, pressTest,
         Arrives::Removal},
        {"filter off fails at stop", 3, startSweep, device::IOCTL_FILTER_OFF, pressTest,
         Arrives::Exit},
        {"filter restore fails at close", 2, testSpeaker, device::IOCTL_FILTER_ON, close,
         Arrives::Removal},
        {"filter restore fails at close", 2, testSpeaker, device::IOCTL_FILTER_ON, close,
         Arrives::Exit},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.what) + (c.arrives == Arrives::Exit ? ", exit" : ", removal"));
        if (!main) Start();
        app.PumpPending();
        world.SetPlugged(true);
        StoreSetting("TestMode", c.mode);
        StoreSetting("TestBtnStatus", c.mode == 3 ? 1 : 0);
        StoreSetting("EnableFilter", 1);
        c.before(*this);
        prompts.shown.clear();
        sound.played.clear();
        if (c.failing) {
            world.FailRequest(c.failing);
        } else {
            world.FailEveryOpen(true);
        }
        CSpeakerTestDlg* test = main->SpeakerTest();
        prompts.whileOpen = [&] {
            if (c.arrives == Arrives::Removal) {
                world.SetPlugged(false);
                main->SendMessage(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED);
            } else {
                main->SendMessage(WM_COMMAND, ID_EXIT);
            }
        };

        c.trigger(*this);

        EXPECT_FALSE(prompts.whileOpen) << "a box was shown";
        EXPECT_EQ(world.OpenHandles(), 0) << "the page let go of the adapter";
        EXPECT_FALSE(SoundLeftLooping());
        if (c.arrives == Arrives::Exit) {
            EXPECT_EQ(main->GetSafeHwnd(), nullptr);
            EXPECT_EQ(main->SpeakerTest(), nullptr);
            EXPECT_FALSE(main->TrayIcon().IsPresent()) << "no icon added back for a gone window";
            EXPECT_EQ(test->GetSafeHwnd(), nullptr);
        } else {
            EXPECT_EQ(main->TrayIconId(), static_cast<UINT>(IDI_TRAY_ABSENT));
            EXPECT_EQ(main->TrayMenuId(), static_cast<UINT>(IDR_TRAY_ABSENT));
            EXPECT_FALSE(::IsWindowVisible(test->GetSafeHwnd()));
            EXPECT_FALSE(test->IsVisibleFlagSet());
            EXPECT_FALSE(Page().IsShown());
            EXPECT_FALSE(Page().SweepRunning() &&
                         testing_support::TimerRunning(Page().GetSafeHwnd(),
                                                       CSpeakerTestPage::kSweepTimer, 0));
            EXPECT_EQ(registry.OpenKeys(), 0) << "released: the page's key is closed";
        }
        world.FailEveryOpen(false);
        world.FailRequest(c.failing, false);
        if (main->GetSafeHwnd()) {
            main->SendMessage(WM_COMMAND, ID_EXIT);
            app.PumpPending();
        }
        main.reset();
        app.PumpPending();
        EXPECT_EQ(world.OpenHandles(), 0);
    }
}

// Opening the settings while the speaker test's box is open hides the test window: the show it
// interrupted does not bring it back, and the filter goes back as stored.
TEST_F(NestedLoopTest, AHideDuringTheShowsBoxUndoesTheShow) {
    StoreSetting("EnableFilter", 1);
    world.FailRequest(device::IOCTL_FILTER_OFF);
    prompts.whileOpen = [&] { main->SendMessage(WM_COMMAND, ID_OPEN_SETTING); };
    main->SendMessage(WM_COMMAND, ID_TEST_SPEAKER);
    EXPECT_FALSE(prompts.whileOpen);
    EXPECT_FALSE(::IsWindowVisible(main->SpeakerTest()->GetSafeHwnd()));
    EXPECT_FALSE(main->SpeakerTest()->IsVisibleFlagSet());
    EXPECT_TRUE(::IsWindowVisible(main->GetSafeHwnd()));
    EXPECT_EQ(main->TrayMenuId(), static_cast<UINT>(IDR_TRAY_SETTINGS));
    EXPECT_EQ(world.Requests().back().code, device::IOCTL_FILTER_ON);
    EXPECT_FALSE(Page().HasDevice());
}

}  // namespace
