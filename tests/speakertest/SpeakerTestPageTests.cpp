// The speaker test page in its window, driven as the user and the system would.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "device/DeviceRecords.h"
#include "res/resource.h"
#include "tests/speakertest/SpeakerTestFixture.h"
#include "tests/support/Canvas.h"

namespace {

using speakertest::Speaker;
using testing_support::StoredSetting;
using testing_support::StoreSetting;

constexpr char kTransportError[] = "DATA TRANSPORT ERROR,TRY AGAIN.";
constexpr char kNotLoaded[] =
    "Filter driver was not loaded or failed!\n\nPlease re-plug the device and try again.";
constexpr char kSilence[] = "#9184";

class SpeakerTestPageTest : public testing_support::SpeakerTestWindow {
  public:
    void ExpectTransportBox(std::size_t index = 0) const {
        ASSERT_GT(prompts.shown.size(), index);
        const sim::Prompt& box = prompts.shown[index];
        EXPECT_EQ(box.text, kTransportError);
        EXPECT_EQ(box.caption, "IOCONTROL ERROR");
        EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
        EXPECT_EQ(box.owner, Page().GetSafeHwnd());
    }
    void ClearLogs() {
        world.ClearLogs();
        sound.played.clear();
        prompts.shown.clear();
    }
};

TEST_F(SpeakerTestPageTest, TheTilesAreMovedToTheirLayoutAndShowTheirOwnPictures) {
    RECT group{};
    ::GetWindowRect(PageItem(IDC_TILE_GROUP), &group);
    ::MapWindowPoints(nullptr, Page().GetSafeHwnd(), reinterpret_cast<POINT*>(&group), 2);
    const speakertest::TileLayout expected = speakertest::LayOutTiles(group);
    for (int i = 0; i < speakertest::kSpeakerCount; ++i) {
        const Speaker speaker = speakertest::SpeakerAt(i);
        SCOPED_TRACE(i);
        RECT placed{};
        ::GetWindowRect(PageItem(static_cast<int>(speakertest::Info(speaker).tile)), &placed);
        ::MapWindowPoints(nullptr, Page().GetSafeHwnd(), reinterpret_cast<POINT*>(&placed), 2);
        const RECT& tile = speakertest::TileRect(expected, speaker);
        EXPECT_EQ(placed.left, tile.left);
        EXPECT_EQ(placed.top, tile.top);
        EXPECT_EQ(placed.right - placed.left, 43);
        EXPECT_EQ(placed.bottom - placed.top, speakertest::Info(speaker).height);
        EXPECT_TRUE(::EqualRect(&speakertest::TileRect(Page().Layout(), speaker), &tile));
        EXPECT_NE(Page().TileImage(speaker, false), nullptr);
        EXPECT_NE(Page().TileImage(speaker, true), Page().TileImage(speaker, false));
    }
}

// Each case starts from a fresh show with the adapter's request results given.
TEST_F(SpeakerTestPageTest, TheModeRadiosStoreTheirModeOnlyWhenTheDriverTookTheFilterOff) {
    const struct {
        const char* what;
        int radio;
        bool device;
        bool filterOffFails;
        int filterOffs;
        int boxes;
        std::optional<DWORD> mode;  // stored after the click; nothing: as before (Manual, 2)
        std::optional<DWORD> status;
        bool testEnabled;
    } cases[] = {
        {"Auto", IDC_TEST_AUTO, true, false, 1, 0, 1, 1, true},
        {"Auto, request fails", IDC_TEST_AUTO, true, true, 1, 1, std::nullopt, std::nullopt, true},
        {"Auto, no device", IDC_TEST_AUTO, false, false, 0, 0, std::nullopt, std::nullopt, false},
        {"Manual", IDC_TEST_MANUAL, true, false, 1, 0, 2, 0, false},
        {"Manual, request fails", IDC_TEST_MANUAL, true, true, 1, 1, std::nullopt, std::nullopt,
         false},
        {"Manual, no device", IDC_TEST_MANUAL, false, false, 0, 0, std::nullopt, std::nullopt,
         false},
        {"Surround", IDC_TEST_SURROUND, true, false, 0, 0, 3, 1, true},
        {"Surround, no device", IDC_TEST_SURROUND, false, false, 0, 0, 3, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Hide();
        StoreSetting("TestMode", 2);
        StoreSetting("TestBtnStatus", 0);
        world.FailEveryOpen(!c.device);
        Show();
        ClearLogs();
        world.FailRequest(device::IOCTL_FILTER_OFF, c.filterOffFails);

        Click(c.radio);

        EXPECT_EQ(Requests(device::IOCTL_FILTER_OFF), c.filterOffs);
        ASSERT_EQ(static_cast<int>(prompts.shown.size()), c.boxes);
        if (c.boxes) ExpectTransportBox();
        EXPECT_EQ(StoredSetting("TestMode"), c.mode.value_or(2));
        EXPECT_EQ(StoredSetting("TestBtnStatus"), c.status.value_or(0));
        EXPECT_EQ(Enabled(IDC_TEST_BUTTON), c.testEnabled);
        EXPECT_TRUE(Page().CaptionShowsTest());
        world.FailRequest(device::IOCTL_FILTER_OFF, false);
        world.FailEveryOpen(false);
    }
}

// The stored mode and status decide what Test does, whatever the radios show.
TEST_F(SpeakerTestPageTest, TheTestButtonFollowsTheStoredModeAndStatus) {
    enum class Runs { Nothing, StartAuto, StartSurround, StopAuto, StopSurround };
    const struct {
        DWORD mode;
        DWORD status;
        bool enabled;
        bool captionTest;
        bool radiosEnabled;
        DWORD statusAfter;
        Runs runs;
    } cases[] = {
        {0, 0, false, true, true, 0, Runs::Nothing},
        {0, 1, false, true, true, 0, Runs::Nothing},
        {0, 2, false, true, true, 0, Runs::Nothing},
        {1, 0, false, true, true, 0, Runs::Nothing},
        {1, 1, true, false, false, 2, Runs::StartAuto},
        {1, 2, true, true, true, 1, Runs::StopAuto},
        {2, 0, false, true, true, 0, Runs::Nothing},
        {2, 1, false, true, true, 0, Runs::Nothing},
        {2, 2, false, true, true, 0, Runs::Nothing},
        {3, 0, false, true, true, 0, Runs::Nothing},
        {3, 1, true, false, false, 2, Runs::StartSurround},
        {3, 2, true, true, true, 1, Runs::StopSurround},
        {4, 0, false, true, true, 0, Runs::Nothing},
        {4, 1, true, false, false, 2, Runs::Nothing},
        {4, 2, true, true, true, 1, Runs::Nothing},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + ", status " + std::to_string(c.status));
        Hide();
        StoreSetting("TestMode", c.mode);
        StoreSetting("TestBtnStatus", c.status);
        Show();
        EXPECT_EQ(Enabled(IDC_TEST_BUTTON), c.status != 0) << "as loaded";
        for (int radio : {IDC_TEST_AUTO, IDC_TEST_MANUAL, IDC_TEST_SURROUND}) {
            EXPECT_EQ(::IsDlgButtonChecked(Page().GetSafeHwnd(), radio) == BST_CHECKED,
                      static_cast<DWORD>(radio - 239) == c.mode);
        }
        ClearLogs();

        Click(IDC_TEST_BUTTON);

        EXPECT_EQ(Enabled(IDC_TEST_BUTTON), c.enabled);
        EXPECT_EQ(Page().CaptionShowsTest(), c.captionTest);
        EXPECT_EQ(RadiosEnabled(), c.radiosEnabled);
        EXPECT_EQ(StoredSetting("TestBtnStatus"), c.statusAfter);
        EXPECT_EQ(StoredSetting("TestMode"), c.mode) << "Test never writes the mode";
        EXPECT_EQ(SequenceTimerRunning(), c.runs == Runs::StartAuto);
        EXPECT_EQ(Page().AutoSequence().step, c.runs == Runs::StartAuto ? 1 : 0);
        EXPECT_EQ(Requests(device::IOCTL_SURROUND_START), c.runs == Runs::StartSurround ? 1 : 0);
        EXPECT_EQ(Requests(device::IOCTL_SURROUND_STOP), c.runs == Runs::StopSurround ? 1 : 0);
        const bool stops = c.runs == Runs::StopAuto || c.runs == Runs::StopSurround;
        EXPECT_EQ(!sound.played.empty() && sound.played[0].sound.empty(), stops)
            << "a stop silences the test first";
    }
}

TEST_F(SpeakerTestPageTest, AFailedTestButtonReadUsesTheValuesHeld) {
    StoreSetting("TestMode", 1);
    StoreSetting("TestBtnStatus", 1);
    Show();
    ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, testing_support::kSettingsKeyPath, "TestMode");
    ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, testing_support::kSettingsKeyPath, "TestBtnStatus");
    Click(IDC_TEST_BUTTON);
    EXPECT_EQ(Page().AutoSequence().step, 1) << "Auto, idle, as held: the test starts";
    EXPECT_EQ(StoredSetting("TestBtnStatus"), 2u);
}

// One cycle is 60 ticks: each speaker in turn for ten ticks, blinking, its tone replacing the
// last; after tick 59 the cycle starts again at front left.
TEST_F(SpeakerTestPageTest, TheAutomaticTestWalksAroundTheSixSpeakersTickByTick) {
    const char* tones[] = {"#9177", "#9181", "#9180", "#9178", "#9182", "#9179"};
    StoreSetting("TestMode", 1);
    StoreSetting("TestBtnStatus", 1);
    Show();
    Click(IDC_TEST_BUTTON);
    ASSERT_TRUE(SequenceTimerRunning());
    ::KillTimer(Page().GetSafeHwnd(), CSpeakerTestPage::kSequenceTimer);  // the test ticks
    for (int t = 0; t <= 61; ++t) {
        SCOPED_TRACE("tick " + std::to_string(t));
        sound.played.clear();
        Tick(CSpeakerTestPage::kSequenceTimer);
        const int tick = t % 60;
        const int current = tick / 10;
        if (tick % 10 == 0) {
            ASSERT_EQ(sound.played.size(), 1u);
            EXPECT_EQ(sound.played[0].sound, tones[current]);
            EXPECT_EQ(sound.played[0].flags,
                      static_cast<DWORD>(SND_RESOURCE | SND_ASYNC | SND_LOOP));
        } else {
            EXPECT_TRUE(sound.played.empty());
        }
        for (int i = 0; i < speakertest::kSpeakerCount; ++i) {
            const Speaker speaker = speakertest::SpeakerAt(i);
            const bool blinkingDown = i == current && tick % 10 != 0 && tick % 2 == 0;
            EXPECT_EQ(TilePressed(speaker), blinkingDown) << "speaker " << i;
        }
        if (tick % 10 == 0 && t > 0) {
            const Speaker previous = speakertest::SpeakerAt((current + 5) % 6);
            EXPECT_EQ(TileShows(previous), Page().TileImage(previous, false));
        }
        if (tick == 59) {
            EXPECT_EQ(TileShows(Speaker::RearLeft), Page().TileImage(Speaker::RearLeft, false));
            EXPECT_EQ(Page().AutoSequence().step, 1);
            EXPECT_EQ(Page().AutoSequence().tick, 0);
        }
    }
    // Stopped at tick 2 of the new cycle with front left down: it comes back up.
    Tick(CSpeakerTestPage::kSequenceTimer);
    ASSERT_TRUE(TilePressed(Speaker::FrontLeft));
    Click(IDC_TEST_BUTTON);
    EXPECT_FALSE(TilePressed(Speaker::FrontLeft));
    EXPECT_EQ(LastSound(), "");
    EXPECT_FALSE(SequenceTimerRunning());
}

TEST_F(SpeakerTestPageTest, TicksThatArriveAfterTheirTestStoppedDoNothing) {
    StoreSetting("TestMode", 1);
    StoreSetting("TestBtnStatus", 1);
    Show();
    Click(IDC_TEST_BUTTON);
    Tick(CSpeakerTestPage::kSequenceTimer);
    Click(IDC_TEST_BUTTON);
    ClearLogs();
    Tick(CSpeakerTestPage::kSequenceTimer);
    Tick(CSpeakerTestPage::kSweepTimer);
    EXPECT_TRUE(sound.played.empty());
    EXPECT_TRUE(world.Requests().empty());
    EXPECT_EQ(Page().AutoSequence().step, 0);
    for (int i = 0; i < speakertest::kSpeakerCount; ++i)
        EXPECT_FALSE(TilePressed(speakertest::SpeakerAt(i)));
}

TEST_F(SpeakerTestPageTest, HoldingATileInManualModeLoopsItsTone) {
    Show();  // Manual, as stored on a first start
    const speakertest::TileLayout& layout = Page().Layout();
    const RECT& centre = speakertest::TileRect(layout, Speaker::Centre);
    const RECT& rearLeft = speakertest::TileRect(layout, Speaker::RearLeft);
    const RECT& frontLeft = speakertest::TileRect(layout, Speaker::FrontLeft);

    Mouse(WM_LBUTTONDOWN, {centre.right, centre.bottom});
    EXPECT_EQ(LastSound(), "#9181");
    EXPECT_EQ(sound.played.back().flags, static_cast<DWORD>(SND_RESOURCE | SND_ASYNC | SND_LOOP));
    EXPECT_TRUE(TilePressed(Speaker::Centre));
    EXPECT_EQ(Page().PressedSpeaker(), 2);
    Mouse(WM_MOUSEMOVE, {centre.left, centre.top});
    EXPECT_EQ(LastSound(), "#9181") << "still on the tile";
    Mouse(WM_LBUTTONUP, {centre.left, centre.top});
    EXPECT_EQ(LastSound(), "");
    EXPECT_FALSE(TilePressed(Speaker::Centre));
    EXPECT_EQ(Page().PressedSpeaker(), 0);

    // A move off the tile ends the tone; a button-up after that changes nothing.
    Mouse(WM_LBUTTONDOWN, {rearLeft.left, rearLeft.top});
    EXPECT_EQ(LastSound(), "#9179");
    Mouse(WM_MOUSEMOVE, {rearLeft.left, rearLeft.bottom + 1});
    EXPECT_EQ(LastSound(), "");
    EXPECT_FALSE(TilePressed(Speaker::RearLeft));
    const std::size_t calls = sound.played.size();
    Mouse(WM_LBUTTONUP, {rearLeft.left, rearLeft.bottom + 1});
    EXPECT_EQ(sound.played.size(), calls);

    // The front left column at rear left height: the rear left tone, ended by the first move.
    Mouse(WM_LBUTTONDOWN, {frontLeft.left, rearLeft.top});
    EXPECT_EQ(LastSound(), "#9179");
    EXPECT_EQ(Page().PressedSpeaker(), 6);
    Mouse(WM_MOUSEMOVE, {frontLeft.left, rearLeft.top});
    EXPECT_EQ(LastSound(), "");

    // In Auto mode clicks on the tiles do nothing.
    Page().SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TEST_AUTO, BN_CLICKED));
    sound.played.clear();
    Mouse(WM_LBUTTONDOWN, {centre.left + 5, centre.top + 5});
    EXPECT_TRUE(sound.played.empty());
    EXPECT_EQ(Page().PressedSpeaker(), 0);
}

TEST_F(SpeakerTestPageTest, ShowingTakesTheFilterOffAndHidingRestoresItAsStored) {
    const struct {
        const char* stored;
        std::optional<DWORD> enableFilter;
        DWORD restore;
    } cases[] = {
        {"missing", std::nullopt, device::IOCTL_FILTER_ON},
        {"0", 0, device::IOCTL_FILTER_OFF},
        {"1", 1, device::IOCTL_FILTER_ON},
        {"7", 7, device::IOCTL_FILTER_ON},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, testing_support::kSettingsKeyPath, "EnableFilter");
        if (c.enableFilter) StoreSetting("EnableFilter", *c.enableFilter);
        ClearLogs();
        Show();
        ASSERT_EQ(world.Requests().size(), 1u);
        EXPECT_EQ(world.Requests()[0].code, device::IOCTL_FILTER_OFF);
        EXPECT_TRUE(::IsWindowVisible(Page().GetSafeHwnd()));
        EXPECT_TRUE(window.IsVisibleFlagSet());
        EXPECT_EQ(world.OpenHandles(), 1);
        EXPECT_EQ(StoredSetting("EnableFilter"), c.enableFilter.value_or(1));

        const int opens = world.DriverOpenAttempts();
        const int registryCalls = registry.Calls();
        Show();
        EXPECT_EQ(world.DriverOpenAttempts(), opens) << "a second show does nothing";
        EXPECT_EQ(registry.Calls(), registryCalls);

        Hide();
        ASSERT_EQ(world.Requests().size(), 2u);
        EXPECT_EQ(world.Requests()[1].code, c.restore);
        EXPECT_EQ(Played(kSilence), 1);
        EXPECT_EQ(sound.played.back().flags, static_cast<DWORD>(SND_RESOURCE | SND_ASYNC));
        EXPECT_EQ(world.OpenHandles(), 0);
        EXPECT_FALSE(::IsWindowVisible(window.GetSafeHwnd()));
        EXPECT_FALSE(window.IsVisibleFlagSet());
        EXPECT_FALSE(Page().IsShown());
        EXPECT_TRUE(prompts.shown.empty());
    }
}

TEST_F(SpeakerTestPageTest, HidingDuringATestStopsItAndStoresTheIdleButtonFirst) {
    StoreSetting("TestMode", 3);
    StoreSetting("TestBtnStatus", 1);
    StoreSetting("EnableFilter", 1);
    Show();
    Click(IDC_TEST_BUTTON);
    ASSERT_TRUE(SweepTimerRunning());
    ClearLogs();
    Hide();
    std::vector<DWORD> codes;
    for (const sim::DriverRequest& request : world.Requests())
        codes.push_back(request.code);
    EXPECT_EQ(codes, (std::vector<DWORD>{device::IOCTL_FILTER_OFF, device::IOCTL_SURROUND_STOP,
                                         device::IOCTL_FILTER_ON}));
    EXPECT_EQ(StoredSetting("TestBtnStatus"), 1u);
    EXPECT_TRUE(RadiosEnabled());
    EXPECT_FALSE(SweepTimerRunning());
    EXPECT_FALSE(Page().SweepRunning());
}

TEST_F(SpeakerTestPageTest, FailuresAtShowAndHideAreReportedAndTheWindowCarriesOn) {
    // The device cannot be opened: the window shows without a handle, and only Surround stores.
    world.FailEveryOpen(true);
    Show();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, kNotLoaded);
    EXPECT_EQ(prompts.shown[0].caption, "Quorvel Dual  : ERROR");
    EXPECT_EQ(prompts.shown[0].type, static_cast<UINT>(MB_ICONERROR | MB_OK));
    EXPECT_TRUE(::IsWindowVisible(window.GetSafeHwnd()));
    EXPECT_FALSE(Page().HasDevice());
    Hide();
    EXPECT_TRUE(world.Requests().empty());
    EXPECT_EQ(Played(kSilence), 1);
    world.FailEveryOpen(false);

    // Taking the filter off fails: reported, and the page opens all the same.
    ClearLogs();
    world.FailRequest(device::IOCTL_FILTER_OFF);
    Show();
    ExpectTransportBox();
    EXPECT_TRUE(::IsWindowVisible(Page().GetSafeHwnd()));
    EXPECT_EQ(StoredSetting("EnableFilter"), 1u) << "still read, and written when missing";

    // Restoring it fails: reported, and the handle is closed all the same.
    world.FailRequest(device::IOCTL_FILTER_ON);
    Hide();
    ASSERT_EQ(prompts.shown.size(), 2u);
    ExpectTransportBox(1);
    EXPECT_EQ(world.OpenHandles(), 0);
    EXPECT_FALSE(::IsWindowVisible(window.GetSafeHwnd()));
}

TEST_F(SpeakerTestPageTest, StoredValuesThatCannotBeReadFallBackAndAreWrittenBack) {
    const DWORD eight[2] = {1, 1};
    ::RegSetKeyValueA(HKEY_LOCAL_MACHINE, testing_support::kSettingsKeyPath, "TestMode", REG_BINARY,
                      eight, sizeof(eight));
    ::RegSetKeyValueA(HKEY_LOCAL_MACHINE, testing_support::kSettingsKeyPath, "TestBtnStatus",
                      REG_BINARY, eight, sizeof(eight));
    Show();
    EXPECT_EQ(Page().TestMode(), 2u);
    EXPECT_EQ(Page().ButtonStatus(), 0u);
    EXPECT_EQ(StoredSetting("TestMode"), 2u);
    EXPECT_EQ(StoredSetting("TestBtnStatus"), 0u);
    EXPECT_EQ(::IsDlgButtonChecked(Page().GetSafeHwnd(), IDC_TEST_MANUAL), BST_CHECKED);
    EXPECT_FALSE(Enabled(IDC_TEST_BUTTON));
}

TEST_F(SpeakerTestPageTest, ReleasingAPageThatWasNeverShownOnlyPlaysTheSilenceClip) {
    window.ReleaseSpeakerTest();
    EXPECT_TRUE(world.Requests().empty());
    EXPECT_EQ(Played(kSilence), 1);
    EXPECT_EQ(registry.OpenKeys(), 0);
}

TEST_F(SpeakerTestPageTest, TheTestButtonShowsItsCaptionAndEngravesTestWhenDisabled) {
    HWND button = PageItem(IDC_TEST_BUTTON);
    RECT rect{};
    ::GetClientRect(button, &rect);
    auto draw = [&](UINT state, bool captionTest) {
        auto canvas = std::make_unique<testing_support::Canvas>(rect.right, rect.bottom);
        DRAWITEMSTRUCT item{
            ODT_BUTTON, IDC_TEST_BUTTON, 0, ODA_DRAWENTIRE, state, button, canvas->Dc(), rect, 0};
        speakertest::DrawTestButton(item, captionTest);
        return canvas;
    };
    auto count = [&](const testing_support::Canvas& canvas, COLORREF colour) {
        int n = 0;
        for (int y = 0; y < canvas.Height(); ++y)
            for (int x = 0; x < canvas.Width(); ++x)
                n += canvas.At(x, y) == colour;
        return n;
    };
    const auto test = draw(0, true);
    const auto stop = draw(0, false);
    const auto disabled = draw(ODS_DISABLED, false);
    const int edge = ::GetSystemMetrics(SM_CYEDGE);
    EXPECT_EQ(test->At(2, 5), RGB(180, 180, 180));
    EXPECT_EQ(test->At(0, edge), RGB(255, 255, 255)) << "raised frame";
    EXPECT_EQ(test->At(rect.right - 1, rect.bottom - 1), RGB(0, 0, 0));
    EXPECT_EQ(test->At(2, edge + 1), RGB(1, 2, 3)) << "the face starts four pixels down";
    bool differ = false;
    for (int x = 0; x < rect.right && !differ; ++x)
        for (int y = 0; y < rect.bottom && !differ; ++y)
            differ = test->At(x, y) != stop->At(x, y);
    EXPECT_TRUE(differ) << "\"Test\" and \"Stop\"";
    EXPECT_EQ(disabled->At(2, 5), RGB(192, 192, 192));
    EXPECT_GT(count(*disabled, RGB(128, 128, 128)), 10) << "engraved caption";
    EXPECT_GT(count(*disabled, RGB(255, 255, 255)), count(*test, RGB(255, 255, 255)));
    const auto disabledTest = draw(ODS_DISABLED, true);
    for (int x = 0; x < rect.right; ++x)
        for (int y = 0; y < rect.bottom; ++y)
            ASSERT_EQ(disabled->At(x, y), disabledTest->At(x, y)) << "always \"Test\"";
}

}  // namespace
