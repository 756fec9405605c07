#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/MainDlg.h"
#include "device/DeviceRecords.h"
#include "pages/FilterPage.h"
#include "res/resource.h"
#include "tests/pages/PageTest.h"

namespace {

using namespace device;
using testing_support::StoredSetting;
using testing_support::StoreSetting;
using testing_support::TimerRunning;

constexpr int kChoices[] = {IDC_SPEAKER_21, IDC_SPEAKER_51, IDC_BASS_GROUP,
                            IDC_BASS_120,   IDC_BASS_300,   IDC_BASS_450};
constexpr char kTransportError[] = "DATA TRANSPORT ERROR,TRY AGAIN.";

class FilterPageTest : public testing_support::PageTest<CFilterPage> {
  public:
    void Store(DWORD filter, DWORD speakers, DWORD bass) {
        StoreSetting("EnableFilter", filter);
        StoreSetting("OutputMode", speakers);
        StoreSetting("BassOutputMode", bass);
    }
    // Every speaker and bass control in the same state.
    void ExpectChoicesEnabled(bool enabled) const {
        for (const int id : kChoices)
            EXPECT_EQ(Enabled(id), enabled) << id;
    }
    std::string PlayingSource() const {
        char text[64] = "";
        ::GetWindowTextA(Item(IDC_PLAYING_SOURCE), text, sizeof(text));
        return text;
    }
    void StreamPoll() const { page->SendMessage(WM_TIMER, CFilterPage::kStreamTimer); }
};

// Applying the filter at the first open step (from the stored settings) and at a click later.
TEST_F(FilterPageTest, ApplyingTheFilterSendsAndStoresWhatTheDriverAccepts) {
    const BassRecord bass450 = BassRecordFor(2);
    struct Case {
        const char* what;
        bool firstOpen;
        bool on;
        bool fails;
        std::vector<DWORD> requests;
        DWORD storedAfter;
        int boxes;
    } cases[] = {
        {"first open, on",
         true,
         true,
         false,
         {IOCTL_FILTER_ON, IOCTL_SPEAKER_51, IOCTL_SET_BASS},
         1,
         0},
        {"first open, on, refused", true, true, true, {IOCTL_FILTER_ON}, 1, 1},
        {"first open, off", true, false, false, {IOCTL_FILTER_OFF}, 0, 0},
        {"first open, off, refused", true, false, true, {IOCTL_FILTER_OFF}, 0, 1},
        {"click on", false, true, false, {IOCTL_FILTER_ON, IOCTL_SPEAKER_51}, 1, 0},
        {"click on, refused", false, true, true, {IOCTL_FILTER_ON}, 0, 1},
        {"click off", false, false, false, {IOCTL_FILTER_OFF}, 0, 0},
        {"click off, refused", false, false, true, {IOCTL_FILTER_OFF}, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettingsParent);
        prompts.shown.clear();
        world.ClearLogs();
        const DWORD refused = c.on ? IOCTL_FILTER_ON : IOCTL_FILTER_OFF;
        // A click toggles the filter the last open step showed.
        Store(c.firstOpen == c.on ? 1 : 0, 1, 2);
        if (c.firstOpen) world.FailRequest(refused, c.fails);
        Create();
        if (!c.firstOpen) {
            page->ClosePage();
            page->OpenPage();
            world.ClearLogs();
            EXPECT_EQ(Checked(IDC_ENABLE_FILTER), !c.on) << "a later open step shows the store";
            world.FailRequest(refused, c.fails);
            Click(IDC_ENABLE_FILTER);
        }
        world.FailRequest(refused, false);

        EXPECT_EQ(Codes(), c.requests);
        for (std::size_t i = 0; i < world.Requests().size(); ++i)
            EXPECT_EQ(world.Requests()[i].succeeded, !(c.fails && i == 0)) << i;
        if (!c.requests.empty() && c.requests.back() == IOCTL_SET_BASS) {
            const std::vector<std::uint8_t>& sent = world.Requests().back().input;
            ASSERT_EQ(sent.size(), sizeof(BassRecord));
            EXPECT_EQ(std::memcmp(sent.data(), &bass450, sizeof(bass450)), 0);
        }
        EXPECT_EQ(StoredSetting("EnableFilter"), c.storedAfter);
        EXPECT_EQ(StoredSetting("OutputMode"), 1u);
        EXPECT_EQ(StoredSetting("BassOutputMode"), 2u);
        EXPECT_EQ(Checked(IDC_ENABLE_FILTER), c.on);
        ExpectChoicesEnabled(c.on);  // before the request, and so whatever its answer
        EXPECT_EQ(Panel().filterEnabled, c.on ? 1 : 0);
        ASSERT_EQ(static_cast<int>(prompts.shown.size()), c.boxes);
        if (c.boxes) {
            EXPECT_EQ(prompts.shown[0].text, kTransportError);
            EXPECT_EQ(prompts.shown[0].caption, "IOCONTROL ERROR");
            EXPECT_EQ(prompts.shown[0].type, static_cast<UINT>(MB_OK));
            EXPECT_EQ(prompts.shown[0].owner, page->GetSafeHwnd());
        }
        EXPECT_TRUE(TimerRunning(page->GetSafeHwnd(), CFilterPage::kStreamTimer,
                                 CFilterPage::kStreamPeriod));
        Destroy();
    }
}

TEST_F(FilterPageTest, SwitchingTheFilterOnArmsTheQuestionAgain) {
    Store(0, 1, 0);
    Create();
    Panel().fiveOnePrompt = 0;
    Click(IDC_ENABLE_FILTER);
    EXPECT_EQ(Panel().filterEnabled, 1);
    EXPECT_EQ(Panel().fiveOnePrompt, 1);
    Click(IDC_ENABLE_FILTER);
    EXPECT_EQ(Panel().filterEnabled, 0);
    EXPECT_EQ(Panel().fiveOnePrompt, 1) << "switching off leaves it";
}

TEST_F(FilterPageTest, SpeakerAndBassChoicesAreStoredOnceTheDriverAcceptsThem) {
    struct Case {
        const char* what;
        int button;
        DWORD request;
        const char* setting;
        bool fails;
        DWORD storedAfter;
        int boxes;
    } cases[] = {
        {"2.1 speakers", IDC_SPEAKER_21, IOCTL_SPEAKER_21, "OutputMode", false, 0, 0},
        {"2.1 speakers, refused", IDC_SPEAKER_21, IOCTL_SPEAKER_21, "OutputMode", true, 1, 1},
        {"300 Hz", IDC_BASS_300, IOCTL_SET_BASS, "BassOutputMode", false, 1, 0},
        {"450 Hz", IDC_BASS_450, IOCTL_SET_BASS, "BassOutputMode", false, 2, 0},
        {"450 Hz, refused quietly", IDC_BASS_450, IOCTL_SET_BASS, "BassOutputMode", true, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettingsParent);
        Store(1, 1, 0);
        Create();
        world.ClearLogs();
        prompts.shown.clear();
        world.FailRequest(c.request, c.fails);
        Click(c.button);
        world.FailRequest(c.request, false);
        EXPECT_EQ(Codes(), std::vector<DWORD>{c.request});
        EXPECT_EQ(StoredSetting(c.setting), c.storedAfter);
        EXPECT_EQ(static_cast<int>(prompts.shown.size()), c.boxes);
        Destroy();
    }
}

// The stream poll, and the edge of both bytes set.
TEST_F(FilterPageTest, TheStreamPollShowsTheKindOfStreamPlaying) {
    Create();
    const struct {
        const char* what;
        StreamRecord record;
        bool fails;
        const char* shown;
    } cases[] = {
        {"two-channel", {0, 1, 0, 0}, false, "2-channel data"},
        {"request fails: unchanged", {0, 0, 0, 0}, true, "2-channel data"},
        {"5.1", {1, 0, 0, 0}, false, "5.1-channel data"},
        {"both bytes", {1, 1, 0, 0}, false, "5.1-channel data"},
        {"only bytes 2 and 3", {0, 0, 1, 1}, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        world.driver.stream = c.record;
        world.FailRequest(IOCTL_GET_STREAM_KIND, c.fails);
        StreamPoll();
        EXPECT_EQ(PlayingSource(), c.shown);
    }
    world.FailRequest(IOCTL_GET_STREAM_KIND, false);
    page->ClosePage();
    EXPECT_FALSE(
        TimerRunning(page->GetSafeHwnd(), CFilterPage::kStreamTimer, CFilterPage::kStreamPeriod));
}

TEST_F(FilterPageTest, WithoutTheAdapterThePageShowsNoChoiceUntilAnOpenSucceeds) {
    Store(1, 0, 1);
    world.SetPlugged(false);
    Create();
    EXPECT_FALSE(Checked(IDC_ENABLE_FILTER));
    for (const int id : kChoices) {
        EXPECT_FALSE(Checked(id)) << id;
        EXPECT_TRUE(Enabled(id)) << id;
    }
    for (const int id : {IDC_ENABLE_FILTER, IDC_SPEAKER_51, IDC_BASS_300})
        Click(id);
    StreamPoll();
    EXPECT_TRUE(world.Requests().empty());
    EXPECT_EQ(PlayingSource(), "");
    EXPECT_EQ(StoredSetting("EnableFilter"), 1u);
    EXPECT_TRUE(prompts.shown.empty()) << "the first failed open is silent";

    world.SetPlugged(true);
    page->OpenPage();
    EXPECT_EQ(Codes(), (std::vector<DWORD>{IOCTL_FILTER_ON, IOCTL_SPEAKER_21, IOCTL_SET_BASS}));
    EXPECT_TRUE(Checked(IDC_ENABLE_FILTER));
    EXPECT_TRUE(Checked(IDC_SPEAKER_21));
    EXPECT_TRUE(Checked(IDC_BASS_300));
}

TEST_F(FilterPageTest, AFailedOpenIsShownFromTheSecondTimeUntilAnOpenSucceeds) {
    world.SetPlugged(false);
    Create();
    EXPECT_TRUE(prompts.shown.empty());
    page->OpenPage();
    page->OpenPage();
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(
        prompts.shown[0].text,
        "Filter driver was not loaded or failed!\n\nPlease re-plug the device and try again.");
    EXPECT_EQ(prompts.shown[0].caption, "Quorvel Dual  : ERROR");
    EXPECT_EQ(prompts.shown[0].type, static_cast<UINT>(MB_ICONHAND));
    EXPECT_EQ(prompts.shown[0].owner, page->GetSafeHwnd());
    EXPECT_FALSE(
        TimerRunning(page->GetSafeHwnd(), CFilterPage::kStreamTimer, CFilterPage::kStreamPeriod));

    world.SetPlugged(true);
    page->OpenPage();
    world.SetPlugged(false);
    page->OpenPage();
    EXPECT_EQ(prompts.shown.size(), 2u) << "none after the settings were applied once";
    EXPECT_FALSE(
        TimerRunning(page->GetSafeHwnd(), CFilterPage::kStreamTimer, CFilterPage::kStreamPeriod))
        << "a failed reopen stops the stream display";
}

TEST_F(FilterPageTest, ThePagesWindowIsPublishedWhileItExists) {
    Create();
    EXPECT_EQ(Panel().filterPage, page->GetSafeHwnd());
    EXPECT_EQ(page->SendMessage(WM_FILTER_DECLINED), 1);
    ::DestroyWindow(page->GetSafeHwnd());
    EXPECT_EQ(Panel().filterPage, nullptr);
}

// The whole road: the main window's poll finds a 5.1 stream with the filter on, asks, and the
// user declines.
TEST_F(FilterPageTest, DecliningTheFilterForA51StreamSwitchesItOffOnThePage) {
    CMainDlg main;
    app.m_pMainWnd = &main;
    ASSERT_TRUE(main.Create(IDD_MAIN, nullptr));
    auto* filter = static_cast<CFilterPage*>(main.Tabs().Page(2));
    HWND filterPage = filter->GetSafeHwnd();
    ASSERT_EQ(Panel().filterPage, filterPage);
    ASSERT_EQ(Panel().filterEnabled, 1) << "a fresh installation has the filter on";
    world.driver.SetStreamKind(StreamKind::FiveOne);
    world.ClearLogs();
    prompts.answers = {IDNO};

    main.SendMessage(WM_TIMER, CMainDlg::kPollTimer);

    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(::SendDlgItemMessageA(filterPage, IDC_ENABLE_FILTER, BM_GETCHECK, 0, 0), 0);
    for (const int id : kChoices)
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(filterPage, id))) << id;
    EXPECT_EQ(StoredSetting("EnableFilter"), 0u);
    EXPECT_FALSE(world.driver.filterOn);
    EXPECT_EQ(Panel().filterEnabled, 0);
    main.SendMessage(WM_COMMAND, ID_EXIT);
    app.PumpPending();
}

}  // namespace
