#include <windows.h>
#include <dbt.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/MainDlg.h"
#include "device/DeviceRecords.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "speakertest/SpeakerTestDlg.h"
#include "tests/support/MainWindowFixture.h"

namespace {

using testing_support::Library;
using testing_support::Recorder;
using testing_support::TimerRunning;

constexpr char kQuestion[] =
    "5.1-channel Audio source is detected.\nAre you sure you want to activate the filter?\n\n"
    "Enabling filter will change the original\n5.1-channel Audio content.\n\n(Recommend: CD "
    "audio -> Click Yes, DVD ->No)";
constexpr char kSilence[] = "#9184";

class MainWindowTest : public testing_support::MainWindowFixture {
  public:
    bool QuitPosted() {
        int code = -1;
        return !app.PumpPending(&code) && code == 0;
    }
    void ExpectTray(UINT icon, UINT menu) const {
        EXPECT_EQ(main->TrayIconId(), icon);
        EXPECT_EQ(main->TrayMenuId(), menu);
        EXPECT_TRUE(main->TrayIcon().IsPresent());
        EXPECT_EQ(main->TrayIcon().Data().uID, menu);
    }
};

TEST_F(MainWindowTest, StartsHiddenWithTheTrayStateOfTheAdapterAndPolls) {
    const struct {
        const char* adapter;
        bool plugged;
        UINT icon;
        UINT menu;
        int installs;
    } cases[] = {
        {"present", true, IDI_TRAY_PRESENT, IDR_TRAY_PRESENT, 1},
        {"absent", false, IDI_TRAY_ABSENT, IDR_TRAY_ABSENT, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.adapter);
        world.SetPlugged(c.plugged);
        world.sibling.installs = 0;
        Start();
        ASSERT_NE(Main(), nullptr);
        EXPECT_FALSE(::IsWindowVisible(Main()));
        char title[32] = "";
        ::GetWindowTextA(Main(), title, sizeof(title));
        EXPECT_STREQ(title, "Quorvel Dual");
        EXPECT_EQ(main->IsDevicePresent(), c.plugged);
        ExpectTray(c.icon, c.menu);
        EXPECT_EQ(world.sibling.installs, c.installs);
        EXPECT_TRUE(Polling());
        EXPECT_TRUE(prompts.shown.empty());
        EXPECT_FALSE(main->SpeakerTest()->IsVisibleFlagSet());
        main.reset();
        app.PumpPending();
    }
}

TEST_F(MainWindowTest, AFailedFilterInstallationAtStartEndsTheProgram) {
    library.Use(Library::WithoutInstall);
    Start();
    EXPECT_EQ(Main(), nullptr) << "the window is gone when creation returns";
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_TRUE(QuitPosted());
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "DLL-driver is not found.\nYou may need re-install it.");
}

TEST_F(MainWindowTest, FirstLaunchedIsClearedOnAFirstStartOnly) {
    struct Case {
        const char* stored;
        std::optional<DWORD> before;
        DWORD after;
    } cases[] = {
        {"missing", std::nullopt, 0},
        {"1", 1, 0},
        {"lowest byte 1", 0x0101, 0},
        {"0", 0, 0},
        {"2", 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettingsParent);
        if (c.before) {
            HKEY key = nullptr;
            ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Harlowen\\Quorvel Dual\\Filter", 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
            ::RegSetValueExA(key, "FirstLaunched", 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(&*c.before), sizeof(DWORD));
            ::RegCloseKey(key);
        }
        Start();
        DWORD value = 0xDEAD;
        DWORD size = sizeof(value);
        EXPECT_EQ(::RegGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Harlowen\\Quorvel Dual\\Filter",
                                 "FirstLaunched", RRF_RT_REG_DWORD, nullptr, &value, &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(value, c.after);
        Command(ID_CLOSE_SETTING);
        EXPECT_EQ(registry.OpenKeys(), 1)
            << "only the connected pages hold the key, and the speaker test page its own";
        main.reset();
        app.PumpPending();
    }
}

TEST_F(MainWindowTest, WithoutTheSettingsKeyTheProgramStartsQuietly) {
    registry.failCreate = true;
    Start();
    ASSERT_NE(Main(), nullptr);
    EXPECT_TRUE(prompts.shown.empty());
    ExpectTray(IDI_TRAY_PRESENT, IDR_TRAY_PRESENT);
}

// Each poll case starts from a present adapter, both flags set and nothing logged.
TEST_F(MainWindowTest, ThePollPlaysTheSilenceClipAndAsksAboutA51StreamOncePerArming) {
    using device::StreamKind;
    struct Case {
        const char* what;
        std::function<void(MainWindowTest&)> arrange;
        int answer;
        int polls;
        int requests;
        int silences;
        int questions;
        int declined;
        int filterAfter;
        int promptAfter;
    } cases[] = {
        {"adapter unplugged", [](auto& t) { t.world.SetPlugged(false); }, 0, 1, 0, 0, 0, 0, 1, 1},
        {"device cannot be opened", [](auto& t) { t.world.FailEveryOpen(true); }, 0, 1, 0, 0, 0, 0,
         1, 1},
        {"stream-kind request fails",
         [](auto& t) { t.world.FailRequest(device::IOCTL_GET_STREAM_KIND); }, 0, 1, 1, 0, 0, 0, 1,
         1},
        {"no stream", [](auto&) {}, 0, 1, 1, 0, 0, 0, 1, 1},
        {"two-channel stream",
         [](auto& t) { t.world.driver.SetStreamKind(StreamKind::TwoChannel); }, 0, 1, 1, 1, 0, 0, 1,
         1},
        {"5.1 stream, answered No",
         [](auto& t) { t.world.driver.SetStreamKind(StreamKind::FiveOne); }, IDNO, 1, 1, 1, 1, 1, 0,
         0},
        {"5.1 stream, answered Yes, asked once in three polls",
         [](auto& t) { t.world.driver.SetStreamKind(StreamKind::FiveOne); }, IDYES, 3, 3, 3, 1, 0,
         1, 0},
        {"both bytes set counts as 5.1",
         [](auto& t) {
             t.world.driver.stream = {1, 1, 0, 0};
         },
         IDYES, 1, 1, 1, 1, 0, 1, 0},
        {"5.1 stream, question already asked",
         [](auto& t) {
             t.world.driver.SetStreamKind(StreamKind::FiveOne);
             Panel().fiveOnePrompt = 0;
         },
         0, 1, 1, 1, 0, 0, 1, 0},
        {"5.1 stream, filter off",
         [](auto& t) {
             t.world.driver.SetStreamKind(StreamKind::FiveOne);
             Panel().filterEnabled = 0;
         },
         0, 1, 1, 1, 0, 0, 0, 1},
        {"speaker test window shown",
         [](auto& t) {
             t.world.driver.SetStreamKind(StreamKind::FiveOne);
             t.main->SpeakerTest()->ShowSpeakerTest(SW_SHOW);
         },
         0, 1, 0, 0, 0, 0, 1, 1},
    };
    Start();
    Recorder filterPage;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The pages keep their handles on the adapter: the world is reset, not replaced.
        world.SetPlugged(true);
        world.FailEveryOpen(false);
        world.FailRequest(device::IOCTL_GET_STREAM_KIND, false);
        world.driver.SetStreamKind(StreamKind::None);
        world.ClearLogs();
        Panel() = {1, 1, filterPage.m_hWnd};
        filterPage.filterDeclined = 0;
        sound.played.clear();
        prompts.shown.clear();
        if (c.answer) prompts.answers = {c.answer};
        main->SpeakerTest()->ShowSpeakerTest(SW_HIDE);
        c.arrange(*this);
        const int registryCalls = registry.Calls();
        const int handles = world.OpenHandles();  // the pages' own

        for (int i = 0; i < c.polls; ++i)
            Poll();

        EXPECT_EQ(Requests(device::IOCTL_GET_STREAM_KIND), c.requests);
        EXPECT_EQ(Played(kSilence), c.silences);
        for (const sim::PlayedSound& played : sound.played) {
            EXPECT_EQ(played.flags, static_cast<DWORD>(SND_RESOURCE | SND_ASYNC));
        }
        ASSERT_EQ(static_cast<int>(prompts.shown.size()), c.questions);
        if (c.questions) {
            EXPECT_EQ(prompts.shown[0].text, kQuestion);
            EXPECT_EQ(prompts.shown[0].caption, "");
            EXPECT_EQ(prompts.shown[0].type, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
            EXPECT_EQ(prompts.shown[0].owner, Main());
        }
        EXPECT_EQ(filterPage.filterDeclined, c.declined);
        EXPECT_EQ(Panel().filterEnabled, c.filterAfter);
        EXPECT_EQ(Panel().fiveOnePrompt, c.promptAfter);
        EXPECT_EQ(world.OpenHandles(), handles) << "each poll closes its handle";
        EXPECT_EQ(registry.Calls(), registryCalls) << "the poll never touches the registry";
        EXPECT_TRUE(Polling()) << "the timer runs again after every poll";
    }
    main->SpeakerTest()->ShowSpeakerTest(SW_HIDE);
}

// Plugging in on each platform version: the start is without the adapter, then it is plugged in
// and the system reports the change some times.
TEST_F(MainWindowTest, ArrivalFollowsThePlatformsWayOfReportingIt) {
    struct Case {
        const char* platform;
        int major;
        int minor;
        int notifications;
        WPARAM event;
        bool acts;
        std::vector<DWORD> sleeps;
    } cases[] = {
        {"4.0, first report", 4, 0, 1, DBT_DEVNODES_CHANGED, true, {}},
        {"5.0, first report", 5, 0, 1, DBT_DEVNODES_CHANGED, false, {}},
        {"5.0, second report", 5, 0, 2, DBT_DEVNODES_CHANGED, true, {1000}},
        {"5.1, first report", 5, 1, 1, DBT_DEVNODES_CHANGED, false, {}},
        {"5.1, second report", 5, 1, 2, DBT_DEVNODES_CHANGED, true, {}},
        {"6.1, second report", 6, 1, 2, DBT_DEVNODES_CHANGED, true, {}},
        {"6.0, second report", 6, 0, 2, DBT_DEVNODES_CHANGED, true, {1000}},
        {"4.0, another event", 4, 0, 2, DBT_DEVICEARRIVAL, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.platform);
        world.SetPlugged(false);
        system.version = sim::SimSystem::MakeVersion(c.major, c.minor);
        Start();
        ::KillTimer(Main(), CMainDlg::kPollTimer);  // so the arrival's connect shows

        Panel().fiveOnePrompt = 0;
        system.sleeps.clear();
        world.sibling.installs = 0;

        world.SetPlugged(true);
        Notify(c.notifications, c.event);

        EXPECT_EQ(main->IsDevicePresent(), c.acts);
        if (c.acts) {
            ExpectTray(IDI_TRAY_PRESENT, IDR_TRAY_PRESENT);
        } else {
            ExpectTray(IDI_TRAY_ABSENT, IDR_TRAY_ABSENT);
        }
        EXPECT_EQ(world.sibling.installs, c.acts ? 1 : 0);
        EXPECT_EQ(Polling(), c.acts) << "an arrival connects and polls";
        EXPECT_EQ(Panel().fiveOnePrompt, c.acts ? 1 : 0);
        EXPECT_EQ(system.sleeps, c.sleeps);
        EXPECT_FALSE(::IsWindowVisible(Main())) << "the settings stay hidden";
        main.reset();
        app.PumpPending();
    }
}

TEST_F(MainWindowTest, RemovalIsBelievedOnlyWhenTheAdapterIsStillGoneAMomentLater) {
    const struct {
        const char* what;
        bool backDuringTheWait;
    } cases[] = {{"removal confirmed", false}, {"adapter back after 100 ms", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        world.SetPlugged(true);
        Start();
        Command(ID_OPEN_SETTING);
        main->SpeakerTest()->ShowSpeakerTest(SW_SHOW);
        system.sleeps.clear();
        system.onSleep = [&](DWORD) {
            if (c.backDuringTheWait) world.SetPlugged(true);
        };

        world.SetPlugged(false);
        Notify(1);

        EXPECT_EQ(system.sleeps, std::vector<DWORD>{100});
        const bool removed = !c.backDuringTheWait;
        EXPECT_EQ(main->IsDevicePresent(), !removed);
        if (removed) {
            ExpectTray(IDI_TRAY_ABSENT, IDR_TRAY_ABSENT);
            EXPECT_FALSE(::IsWindowVisible(Main()));
            EXPECT_FALSE(::IsWindowVisible(main->SpeakerTest()->GetSafeHwnd()));
            EXPECT_FALSE(main->SpeakerTest()->IsVisibleFlagSet());
            EXPECT_FALSE(Polling());
        } else {
            ExpectTray(IDI_TRAY_PRESENT, IDR_TRAY_SETTINGS);
            EXPECT_TRUE(::IsWindowVisible(Main()));
            EXPECT_TRUE(Polling());
        }
        system.onSleep = nullptr;
        main.reset();
        app.PumpPending();
    }
}

TEST_F(MainWindowTest, ArrivalsAreCountedAfreshAfterARemoval) {
    system.version = sim::SimSystem::MakeVersion(5, 1);
    Start();
    world.SetPlugged(false);
    Notify(1);
    ASSERT_FALSE(main->IsDevicePresent());

    world.SetPlugged(true);
    Notify(1);
    EXPECT_FALSE(main->IsDevicePresent()) << "the first report after a removal is ignored";
    Notify(1);
    EXPECT_TRUE(main->IsDevicePresent());
    EXPECT_TRUE(Polling());
}

TEST_F(MainWindowTest, AFailedFilterInstallationOnArrivalEndsTheProgram) {
    world.SetPlugged(false);
    system.version = sim::SimSystem::MakeVersion(4, 0);
    Start();
    library.Use(Library::WithoutInstall);
    world.SetPlugged(true);
    Notify(1);
    EXPECT_EQ(Main(), nullptr);
    EXPECT_FALSE(main->TrayIcon().IsPresent());
    EXPECT_EQ(main->SpeakerTest(), nullptr);
    EXPECT_TRUE(QuitPosted());
}

TEST_F(MainWindowTest, OpeningAndClosingTheSettingsConnectsAndDisconnects) {
    Start();
    Command(ID_CLOSE_SETTING);
    ASSERT_FALSE(Polling());
    for (const UINT close : std::vector<UINT>{ID_CLOSE_SETTING, IDOK, IDCANCEL, IDC_CLOSE}) {
        SCOPED_TRACE(close);
        Command(ID_OPEN_SETTING);
        EXPECT_TRUE(::IsWindowVisible(Main()));
        ExpectTray(IDI_TRAY_PRESENT, IDR_TRAY_SETTINGS);
        EXPECT_TRUE(Polling());

        Command(close);
        EXPECT_FALSE(::IsWindowVisible(Main()));
        ExpectTray(IDI_TRAY_PRESENT, IDR_TRAY_PRESENT);
        EXPECT_FALSE(Polling());
    }
}

TEST_F(MainWindowTest, TestSpeakerShowsTheSpeakerTestWindowWhereTheSettingsWere) {
    Start();
    ::SetWindowPos(Main(), nullptr, 123, 45, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const RECT settings = main->GetWindowRect();
    Command(ID_OPEN_SETTING);
    Command(ID_TEST_SPEAKER);

    CSpeakerTestDlg* test = main->SpeakerTest();
    EXPECT_TRUE(test->IsVisibleFlagSet());
    EXPECT_TRUE(::IsWindowVisible(test->GetSafeHwnd()));
    const RECT placed = test->GetWindowRect();
    EXPECT_TRUE(::EqualRect(&placed, &settings));
    EXPECT_FALSE(::IsWindowVisible(Main()));
    ExpectTray(IDI_TRAY_PRESENT, IDR_TRAY_PRESENT);
    EXPECT_FALSE(Polling());

    // Opening the settings hides it again.
    Command(ID_OPEN_SETTING);
    EXPECT_FALSE(test->IsVisibleFlagSet());
    EXPECT_FALSE(::IsWindowVisible(test->GetSafeHwnd()));
}

TEST_F(MainWindowTest, ExitAndCloseEndTheProgramAndRemoveTheIcon) {
    for (const UINT message : {static_cast<UINT>(WM_COMMAND), static_cast<UINT>(WM_CLOSE)}) {
        SCOPED_TRACE(message);
        Start();
        Command(ID_OPEN_SETTING);
        if (message == WM_COMMAND) {
            Command(ID_EXIT);
        } else {
            main->SendMessage(WM_CLOSE);
        }
        EXPECT_EQ(Main(), nullptr);
        EXPECT_FALSE(main->TrayIcon().IsPresent());
        EXPECT_EQ(main->SpeakerTest(), nullptr);
        EXPECT_TRUE(QuitPosted());
        main.reset();
    }
}

TEST_F(MainWindowTest, TheIconComesBackWhenTheTaskBarIsCreatedAgain) {
    Start();
    Command(ID_OPEN_SETTING);
    // Explorer restarts: its icons are gone.
    NOTIFYICONDATAA data = main->TrayIcon().Data();
    ASSERT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &data));
    data.uFlags = NIF_TIP;
    ASSERT_FALSE(::Shell_NotifyIconA(NIM_MODIFY, &data));

    main->SendMessage(::RegisterWindowMessageA("TaskbarCreated"));

    EXPECT_TRUE(::Shell_NotifyIconA(NIM_MODIFY, &data));
    ExpectTray(IDI_TRAY_PRESENT, IDR_TRAY_SETTINGS);
}

}  // namespace
