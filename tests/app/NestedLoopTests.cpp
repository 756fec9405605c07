// What arrives while a message box is open: each box runs a nested message loop in which the
// adapter can go and come back, the settings can close and the program can end. The prompts
// double runs those events inside the box.
#include <windows.h>
#include <commctrl.h>
#include <dbt.h>

#include <memory>

#include <gtest/gtest.h>

#include "app/MainDlg.h"
#include "device/DeviceRecords.h"
#include "framework/WinApp.h"
#include "pages/ChannelLevelPage.h"
#include "pages/FilterPage.h"
#include "res/resource.h"
#include "tests/support/MainWindowFixture.h"

namespace {

using device::StreamKind;
using testing_support::TimerRunning;

class NestedLoopTest : public testing_support::MainWindowFixture {
  public:
    CFilterPage& FilterPage() const { return *static_cast<CFilterPage*>(main->Tabs().Page(2)); }
    CChannelLevelPage& LevelPage() const {
        return *static_cast<CChannelLevelPage*>(main->Tabs().Page(1));
    }
    // A 5.1 stream with the filter on, the question not yet asked.
    void StreamFiveOne() {
        world.driver.SetStreamKind(StreamKind::FiveOne);
        Panel().fiveOnePrompt = 1;
        ASSERT_EQ(Panel().filterEnabled, 1);
    }
    int Questions() const {
        int count = 0;
        for (const sim::Prompt& prompt : prompts.shown)
            count += prompt.owner == Main() && (prompt.type & MB_YESNO);
        return count;
    }
};

// The answer No is queued in each case: it must only count when the box really ended by it.
TEST_F(NestedLoopTest, TheQuestionEndsUnansweredWhenTheAdapterGoesOrTheSettingsClose) {
    const struct {
        const char* what;
        UINT command;  // 0: the adapter is pulled out
    } cases[] = {{"adapter pulled out", 0}, {"settings closed", ID_CLOSE_SETTING}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        world.SetPlugged(true);
        Start();
        Command(ID_OPEN_SETTING);
        StreamFiveOne();
        prompts.shown.clear();
        prompts.answers = {IDNO};
        prompts.whileOpen = [&] {
            if (c.command) {
                Command(c.command);
            } else {
                PullOut();
            }
        };
        Poll();
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_TRUE(prompts.shown[0].ended);
        EXPECT_EQ(Panel().filterEnabled, 1) << "the filter is left as it is";
        EXPECT_TRUE(::SendMessageA(::GetDlgItem(FilterPage().GetSafeHwnd(), IDC_ENABLE_FILTER),
                                   BM_GETCHECK, 0, 0));
        EXPECT_FALSE(Polling()) << "the poll stays stopped once disconnected";
        EXPECT_FALSE(::IsWindowVisible(Main()));
        main.reset();
        app.PumpPending();
        prompts.answers.clear();
    }
}

TEST_F(NestedLoopTest, AnAdapterThatGoesAndComesBackInsideTheQuestionGetsNoSecondQuestionOnTop) {
    Start();
    StreamFiveOne();
    prompts.whileOpen = [&] {
        PullOut();
        PlugIn();
        Poll();  // the poll runs again once the adapter is back
        Poll();
    };
    Poll();
    EXPECT_EQ(Questions(), 1);
    EXPECT_TRUE(main->IsDevicePresent());
    EXPECT_TRUE(Polling()) << "connected again: the poll goes on";
    Poll();
    EXPECT_EQ(Questions(), 2) << "the arrival armed the question again, asked once the box closed";
}

TEST_F(NestedLoopTest, ANoAfterThePagesClosedTouchesNoClosedHandle) {
    Start();
    Command(ID_OPEN_SETTING);
    StreamFiveOne();
    prompts.answers = {IDNO};
    prompts.whileOpen = [&] {
        Command(ID_TEST_SPEAKER);
        world.ClearLogs();  // the speaker test page switches the filter off for itself
    };
    Poll();
    EXPECT_FALSE(prompts.shown[0].ended) << "the speaker test leaves the question open";
    EXPECT_EQ(Panel().filterEnabled, 0);
    EXPECT_EQ(Requests(device::IOCTL_FILTER_OFF), 0) << "the filter page is closed";
    EXPECT_EQ(world.BadCloses(), 0);
    EXPECT_FALSE(Polling()) << "no poll while the speaker test is shown";
}

TEST_F(NestedLoopTest, AnExitInsideTheQuestionEndsTheProgramWithoutTouchingItAgain) {
    Start();
    StreamFiveOne();
    HWND filterPage = FilterPage().GetSafeHwnd();
    prompts.answers = {IDNO};
    prompts.whileOpen = [&] { Command(ID_EXIT); };
    Poll();
    EXPECT_EQ(Main(), nullptr);
    EXPECT_FALSE(::IsWindow(filterPage));
    EXPECT_TRUE(prompts.shown[0].ended) << "the box goes with its owner";
    EXPECT_EQ(Panel().filterEnabled, 1);
    EXPECT_EQ(Panel().filterPage, nullptr);
    int code = -1;
    EXPECT_FALSE(app.PumpPending(&code));
    EXPECT_EQ(code, 0);
}

// The filter page applies the stored settings at the adapter's arrival; its request fails and
// its box opens, and meanwhile the adapter goes again or the program ends.
TEST_F(NestedLoopTest, TheFilterPagesBoxSurvivesARemovalOrAnExitInsideIt) {
    const struct {
        const char* what;
        bool exit;
    } cases[] = {{"removal", false}, {"exit", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        world.SetPlugged(false);
        system.version = sim::SimSystem::MakeVersion(4, 0);
        Start();
        HWND filterPage = FilterPage().GetSafeHwnd();
        prompts.shown.clear();
        world.FailRequest(device::IOCTL_FILTER_ON);
        prompts.whileOpen = [&] {
            if (c.exit) {
                Command(ID_EXIT);
            } else {
                PullOut();
            }
        };
        world.SetPlugged(true);
        Notify(1);
        world.FailRequest(device::IOCTL_FILTER_ON, false);

        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(prompts.shown[0].owner, filterPage);
        EXPECT_TRUE(prompts.shown[0].ended);
        EXPECT_FALSE(FilterPage().IsDeviceOpen());
        if (!c.exit) {
            EXPECT_FALSE(TimerRunning(FilterPage().GetSafeHwnd(), CFilterPage::kStreamTimer,
                                      CFilterPage::kStreamPeriod))
                << "the stream poll does not start on a closed page";
            EXPECT_FALSE(Polling());
            EXPECT_FALSE(main->IsDevicePresent());
        } else {
            EXPECT_EQ(Main(), nullptr);
        }
        EXPECT_EQ(world.OpenHandles(), 0);
        main.reset();
        app.PumpPending();
    }
}

TEST_F(NestedLoopTest, TheLevelPagesBoxSurvivesARemovalOrAnExitInsideIt) {
    const struct {
        const char* what;
        bool exit;
    } cases[] = {{"removal", false}, {"exit", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        world.SetPlugged(true);
        Start();
        Command(ID_OPEN_SETTING);
        prompts.shown.clear();
        world.FailRequest(device::IOCTL_SET_GAIN_L);
        prompts.whileOpen = [&] {
            if (c.exit) {
                Command(ID_EXIT);
            } else {
                PullOut();
            }
        };
        HWND page = LevelPage().GetSafeHwnd();
        HWND slider = ::GetDlgItem(page, IDC_LEVEL_L);
        ::SendMessageA(slider, TBM_SETPOS, TRUE, 5);
        ::SendMessageA(page, WM_VSCROLL, MAKEWPARAM(TB_THUMBTRACK, 5),
                       reinterpret_cast<LPARAM>(slider));
        world.FailRequest(device::IOCTL_SET_GAIN_L, false);

        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_TRUE(prompts.shown[0].ended);
        EXPECT_EQ(::IsWindow(page) != FALSE, !c.exit);
        EXPECT_EQ(world.OpenHandles(), 0);
        EXPECT_EQ(world.BadCloses(), 0);
        main.reset();
        app.PumpPending();
    }
}

// The sibling library's boxes have no owner: they stay open through whatever arrives inside them,
// and the device change that showed one must not act on a program that has ended, or connect an
// adapter that went meanwhile.
TEST_F(NestedLoopTest, TheSiblingLibrarysBoxesSurviveARemovalOrAnExitInsideThem) {
    struct Case {
        const char* what;
        bool missingLibrary;  // else the installation is refused
        bool exit;
    };
    const Case cases[] = {{"library missing at a device change, exit", true, true},
                          {"installation refused at an arrival, exit", false, true},
                          {"installation refused at an arrival, removal", false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        world.sibling = {};
        world.SetPlugged(c.missingLibrary);
        system.version = sim::SimSystem::MakeVersion(4, 0);
        Start();
        prompts.shown.clear();
        if (c.missingLibrary) {
            library.Use(testing_support::Library::None);
        } else {
            world.sibling.installSucceeds = 0;
            world.SetPlugged(true);
        }
        prompts.whileOpen = [&] {
            if (c.exit) {
                Command(ID_EXIT);
            } else {
                PullOut();
            }
        };
        Notify(1);
        library.Use(testing_support::Library::Full);

        ASSERT_FALSE(prompts.shown.empty());
        EXPECT_EQ(prompts.shown[0].owner, nullptr);
        if (c.exit) {
            EXPECT_EQ(Main(), nullptr);
            EXPECT_EQ(prompts.shown.size(), 1u) << "no box after the end";
        } else {
            EXPECT_FALSE(main->IsDevicePresent());
            EXPECT_EQ(main->TrayIconId(), static_cast<UINT>(IDI_TRAY_ABSENT));
            EXPECT_FALSE(Polling()) << "the adapter that went is not connected";
        }
        EXPECT_EQ(main->TrayIcon().IsPresent(), !c.exit) << "no icon for a gone window";
        EXPECT_FALSE(FilterPage().IsDeviceOpen());
        EXPECT_EQ(world.OpenHandles(), 0);
        main.reset();
        app.PumpPending();
    }
}

}  // namespace
