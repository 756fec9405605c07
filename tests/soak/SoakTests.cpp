// Soak and leak tests: the program's long-running paths repeated many times, with nothing left
// growing afterwards: device handles, registry keys, the GDI and USER objects and windows the
// framework's owners hold, and heap bytes in use.
#include <windows.h>
#include <dbt.h>

#include <memory>

#include <gtest/gtest.h>

#include "app/MainDlg.h"
#include "framework/Handles.h"
#include "framework/WinApp.h"
#include "pages/FilterPage.h"
#include "res/resource.h"
#include "speakertest/SpeakerTestDlg.h"
#include "speakertest/SpeakerTestPage.h"
#include "tests/support/HeapCount.h"
#include "tests/support/MainWindowFixture.h"

namespace {

struct Snapshot {
    int deviceHandles;
    int mixerHandles;
    int endpointVolumes;
    int endpointCallbacks;
    int registryKeys;
    long gdiObjects;
    long userObjects;
    long kernelObjects;
    long windows;
    long long heapBytes;

    bool operator==(const Snapshot&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Snapshot& s) {
    return out << "device handles " << s.deviceHandles << ", mixer handles " << s.mixerHandles
               << ", endpoint volumes " << s.endpointVolumes << " with " << s.endpointCallbacks
               << " callbacks, registry keys " << s.registryKeys << ", GDI " << s.gdiObjects
               << ", USER " << s.userObjects << ", kernel " << s.kernelObjects << ", windows "
               << s.windows << ", heap bytes " << s.heapBytes;
}

class Soak : public testing_support::MainWindowFixture {
  public:
    void SetUp() override {
        Start();
        ASSERT_NE(Main(), nullptr);
    }

    // What is held now. The doubles' own records of what they saw are emptied first: they grow
    // by design, the program must not.
    Snapshot Take() {
        app.PumpPending();
        world.ClearLogs();
        std::vector<sim::PlayedSound>().swap(sound.played);
        std::vector<sim::Prompt>().swap(prompts.shown);
        std::vector<sim::CreateKeyCall>().swap(registry.creates);
        std::vector<DWORD>().swap(system.sleeps);
        const fw::LiveHandles& live = fw::g_liveHandles;
        return {world.OpenHandles(),
                mixer.OpenHandles(),
                mixer.endpoints.OpenVolumes(),
                mixer.endpoints.Registrations(),
                registry.OpenKeys(),
                live.gdiObjects,
                live.userObjects,
                live.kernelObjects,
                live.windows,
                testing_support::HeapBytesInUse()};
    }

    // Runs a cycle twice to reach the steady state (the first of a kind may differ from the
    // rest: a 5.1 stream asks its question once), then many times: nothing may have grown.
    template <class Cycle>
    void ExpectSteady(int times, Cycle cycle) {
        cycle();
        cycle();
        const Snapshot before = Take();
        for (int i = 0; i < times; ++i)
            cycle();
        EXPECT_EQ(Take(), before);
    }
};

// The main window's poll and the filter page's stream display, which runs beside it.
TEST_F(Soak, TenThousandPolls) {
    Command(ID_OPEN_SETTING);
    CWnd* filterPage = main->Tabs().Page(2);
    for (const device::StreamKind kind :
         {device::StreamKind::None, device::StreamKind::TwoChannel, device::StreamKind::FiveOne}) {
        SCOPED_TRACE(static_cast<int>(kind));
        world.driver.SetStreamKind(kind);
        ExpectSteady(10000 / 3, [&] {
            main->SendMessage(WM_TIMER, CMainDlg::kPollTimer);
            filterPage->SendMessage(WM_TIMER, CFilterPage::kStreamTimer);
        });
    }
}

// On the mixer layout of older Windows, and on one mixer device per endpoint with the endpoints'
// volumes bound. Any growth per cycle shows in the exact counts: the second layout needs fewer.
TEST_F(Soak, SettingsOpenAndCloseCyclesOnEachMixerLayout) {
    for (const bool perEndpoint : {false, true}) {
        SCOPED_TRACE(perEndpoint);
        mixer.UsePerEndpointLayout(perEndpoint);
        ExpectSteady(perEndpoint ? 200 : 1000, [&] {
            Command(ID_OPEN_SETTING);
            Command(ID_CLOSE_SETTING);
        });
    }
    Command(ID_OPEN_SETTING);
    EXPECT_GT(mixer.endpoints.OpenVolumes(), 0) << "the endpoints were in use";
}

TEST_F(Soak, PlugAndPullCyclesOnEachMixerLayout) {
    system.version = sim::SimSystem::MakeVersion(5, 1);
    for (const bool perEndpoint : {false, true}) {
        SCOPED_TRACE(perEndpoint);
        mixer.UsePerEndpointLayout(perEndpoint);
        Command(ID_OPEN_SETTING);
        ExpectSteady(perEndpoint ? 100 : 500, [&] {
            PullOut();
            PlugIn();
        });
        EXPECT_TRUE(main->IsDevicePresent());
        Command(ID_CLOSE_SETTING);
    }
}

// The speaker test shown, an automatic test started and run a few ticks, then the window closed
// with its Close button while the test runs.
TEST_F(Soak, TwoHundredSpeakerTestShowAndHideCyclesWithATestRunning) {
    ExpectSteady(200, [&] {
        Command(ID_TEST_SPEAKER);
        CSpeakerTestDlg* test = main->SpeakerTest();
        CSpeakerTestPage* page = test->Page();
        page->SendMessage(WM_COMMAND, IDC_TEST_AUTO);
        ::SendMessageA(::GetDlgItem(page->GetSafeHwnd(), IDC_TEST_BUTTON), BM_CLICK, 0, 0);
        for (int tick = 0; tick < 3; ++tick)
            page->SendMessage(WM_TIMER, CSpeakerTestPage::kSequenceTimer);
        test->SendMessage(WM_COMMAND, IDC_SPEAKER_TEST_CLOSE);
    });
    EXPECT_FALSE(main->SpeakerTest()->IsVisibleFlagSet());
    EXPECT_GE(sound.total, 600u) << "each cycle's test sounded its speakers";
}

// Changes made elsewhere to a bound volume, each notified to every open handle and followed by
// the pages.
TEST_F(Soak, AThousandMixerNotifications) {
    Command(ID_OPEN_SETTING);
    sim::SimMixerControl* volume = mixer.FindControl(
        mixer.FindLine(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT),
        MIXERCONTROL_CONTROLTYPE_VOLUME);
    ASSERT_NE(volume, nullptr);
    DWORD value = 0;
    ExpectSteady(1000, [&] {
        value = (value + 0x1111) & 0xFFFF;
        mixer.SetValues(*volume, {value, 0xFFFF - value});
        app.PumpPending();
    });
}

// The same for the speakers' endpoint volume, whose notifications come from another thread.
TEST_F(Soak, AThousandEndpointNotifications) {
    mixer.UsePerEndpointLayout(true);
    Command(ID_OPEN_SETTING);
    ASSERT_TRUE(main->Tabs().Page(0) != nullptr);
    float level = 0.0f;
    ExpectSteady(1000, [&] {
        level = level >= 0.9f ? 0.0f : level + 0.1f;
        mixer.endpoints.SetLevels(sim::SimMixer::kAdapterSpeakers, std::vector<float>(6, level));
        app.PumpPending();
    });
}

}  // namespace
