// Every call to the outside that can fail, made to fail on the program's own path: a device
// request, a device open, the settings key's create, read and write, the sibling library and its
// exports, each mixer call, and sound. For each the program must report what it is meant to (a
// box, or nothing), keep running, and leave in the settings key the values the adapter last took.
#include <windows.h>
#include <commctrl.h>
#include <dbt.h>

#include <bit>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/MainDlg.h"
#include "device/DeviceRecords.h"
#include "device/SettingsKey.h"
#include "pages/FilterPage.h"
#include "speakertest/SpeakerTestDlg.h"
#include "speakertest/SpeakerTestPage.h"
#include "tests/support/MainWindowFixture.h"

namespace {

using namespace device;
using testing_support::Library;
using testing_support::StoredSetting;
using testing_support::StoreSetting;

constexpr char kTransport[] = "DATA TRANSPORT ERROR,TRY AGAIN.";
constexpr char kNotLoaded[] =
    "Filter driver was not loaded or failed!\n\nPlease re-plug the device and try again.";
constexpr char kNoLibrary[] = "DLL-driver is not found.\nYou may need re-install it.";
constexpr char kNotPlugged[] = "Audio device is not found (Device is not pluged in).";

// The values that mirror what the adapter was told; the speaker test's mode and button state are
// the page's own and may change on a click.
constexpr const char* kAdapterValues[] = {
    settings::kEnableFilter, settings::kOutputMode, settings::kBassOutputMode,
    settings::kVolumeL,      settings::kVolumeR,    settings::kVolumeLFE,
    settings::kVolumeC,      settings::kVolumeRL,   settings::kVolumeRR};

constexpr DWORD kAllRequests[] = {IOCTL_FILTER_ON,    IOCTL_FILTER_OFF,     IOCTL_SPEAKER_51,
                                  IOCTL_SPEAKER_21,   IOCTL_SURROUND_START, IOCTL_SURROUND_STOP,
                                  IOCTL_SET_GAIN_LFE, IOCTL_SET_GAIN_L,     IOCTL_SET_GAIN_R,
                                  IOCTL_SET_GAIN_C,   IOCTL_SET_GAIN_RL,    IOCTL_SET_GAIN_RR,
                                  IOCTL_SET_BASS,     IOCTL_GET_STREAM_KIND};

// The adapter's values as they stand in the key, read beside the program.
std::map<std::string, DWORD> AdapterValues() {
    std::map<std::string, DWORD> values;
    for (const char* name : kAdapterValues) {
        if (const std::optional<DWORD> value = StoredSetting(name)) values[name] = *value;
    }
    return values;
}

class FaultTableTest : public testing_support::MainWindowFixture {
  public:
    // Stored choices that differ from every default, so that a default written over them shows.
    static void StoreChoices() {
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettingsParent);
        StoreSetting(settings::kFirstLaunched, 0);
        StoreSetting(settings::kEnableFilter, 1);
        StoreSetting(settings::kOutputMode, 0);
        StoreSetting(settings::kBassOutputMode, 2);
        StoreSetting(settings::kVolumeL, std::bit_cast<DWORD>(2.0f));
        StoreSetting(settings::kVolumeRR, std::bit_cast<DWORD>(0.5f));
        StoreSetting(settings::kTestMode, CSpeakerTestPage::kModeAuto);
        StoreSetting(settings::kTestBtnStatus, CSpeakerTestPage::kButtonIdle);
    }

    CSkinPage& TabPage(int index) const { return *main->Tabs().Page(index); }
    CSpeakerTestPage& TestPage() const { return *main->SpeakerTest()->Page(); }

    // A click on a check box or radio button, which first takes the state the click gives it.
    static void Click(CWnd& page, int id, UINT state = BST_CHECKED) {
        HWND item = ::GetDlgItem(page.GetSafeHwnd(), id);
        ::SendMessageA(item, BM_SETCHECK, state, 0);
        page.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(item));
    }
    void ClickFilter(UINT state) const { Click(TabPage(2), IDC_ENABLE_FILTER, state); }
    void MoveLeftLevel() const {
        HWND slider = ::GetDlgItem(TabPage(1).GetSafeHwnd(), IDC_LEVEL_L);
        ::SendMessageA(slider, TBM_SETPOS, TRUE, 30);
        TabPage(1).SendMessage(WM_VSCROLL, MAKEWPARAM(TB_THUMBTRACK, 30),
                               reinterpret_cast<LPARAM>(slider));
    }
    void Reopen() const {
        Command(ID_CLOSE_SETTING);
        Command(ID_OPEN_SETTING);
    }
    void TestTicks(int ticks) const {
        for (int i = 0; i < ticks; ++i)
            TestPage().SendMessage(WM_TIMER, CSpeakerTestPage::kSequenceTimer);
    }

    // Every fault of every kind taken back, the adapter plugged in.
    void Heal() {
        world.FailEveryOpen(false);
        for (const DWORD code : kAllRequests)
            world.FailRequest(code, false);
        registry.failCreate = false;
        registry.queryError = ERROR_SUCCESS;
        registry.setError = ERROR_SUCCESS;
        mixer.Adapter().faults = {};
        sound.fail = false;
        world.sibling = {};
        library.Use(Library::Full);
        world.SetPlugged(true);
    }

    std::vector<std::string> Boxes() const {
        std::vector<std::string> texts;
        for (const sim::Prompt& prompt : prompts.shown)
            texts.push_back(prompt.text);
        return texts;
    }
};

using Step = std::function<void(FaultTableTest&)>;

struct Fault {
    const char* what;
    Step before;  // what the adapter takes before the fault
    Step arm;
    Step act;  // tries to change what the adapter holds, through the failing call
    std::vector<std::string> boxes;
    bool ends = false;  // the program is meant to end
};

const Step kNothing = [](FaultTableTest&) {};
const Step kCloseSettings = [](FaultTableTest& t) { t.Command(ID_CLOSE_SETTING); };
const Step kOpenSettings = [](FaultTableTest& t) { t.Command(ID_OPEN_SETTING); };
const Step kShowTest = [](FaultTableTest& t) { t.Command(ID_TEST_SPEAKER); };
Step Failing(DWORD code) {
    return [code](FaultTableTest& t) { t.world.FailRequest(code); };
}
const Step kFailOpens = [](FaultTableTest& t) { t.world.FailEveryOpen(true); };
Step MixerFault(bool sim::SimMixerFaults::*call) {
    return [call](FaultTableTest& t) { t.mixer.Adapter().faults.*call = true; };
}

std::vector<Fault> DeviceFaults() {
    return {
        {"open at a poll", kNothing, kFailOpens, [](FaultTableTest& t) { t.Poll(); }, {}},
        {"stream kind at the polls",
         kNothing,
         Failing(IOCTL_GET_STREAM_KIND),
         [](FaultTableTest& t) {
             t.Poll();
             t.TabPage(2).SendMessage(WM_TIMER, CFilterPage::kStreamTimer);
         },
         {}},
        {"filter off on the filter page",
         kNothing,
         Failing(IOCTL_FILTER_OFF),
         [](FaultTableTest& t) { t.ClickFilter(BST_UNCHECKED); },
         {kTransport}},
        {"filter on on the filter page",
         [](FaultTableTest& t) { t.ClickFilter(BST_UNCHECKED); },
         Failing(IOCTL_FILTER_ON),
         [](FaultTableTest& t) { t.ClickFilter(BST_CHECKED); },
         {kTransport}},
        {"5.1 speakers",
         kNothing,
         Failing(IOCTL_SPEAKER_51),
         [](FaultTableTest& t) { t.Click(t.TabPage(2), IDC_SPEAKER_51); },
         {kTransport}},
        {"bass crossover",
         kNothing,
         Failing(IOCTL_SET_BASS),
         [](FaultTableTest& t) { t.Click(t.TabPage(2), IDC_BASS_120); },
         {}},
        {"channel gain",
         kNothing,
         Failing(IOCTL_SET_GAIN_L),
         [](FaultTableTest& t) { t.MoveLeftLevel(); },
         {kTransport}},
        {"open at the settings' first reopen", kCloseSettings, kFailOpens, kOpenSettings, {}},
        {"open at the settings' second reopen",
         kCloseSettings,
         kFailOpens,
         [](FaultTableTest& t) {
             t.Command(ID_OPEN_SETTING);
             t.Reopen();
         },
         {kNotLoaded}},
        {"open at the speaker test", kNothing, kFailOpens, kShowTest, {kNotLoaded}},
        {"filter off at the speaker test",
         kNothing,
         Failing(IOCTL_FILTER_OFF),
         kShowTest,
         {kTransport}},
        {"surround start",
         [](FaultTableTest& t) {
             t.Command(ID_TEST_SPEAKER);
             t.Click(t.TestPage(), IDC_TEST_SURROUND);
         },
         Failing(IOCTL_SURROUND_START),
         [](FaultTableTest& t) { t.Click(t.TestPage(), IDC_TEST_BUTTON); },
         {kTransport}},
        {"filter on as the speaker test closes",
         kShowTest,
         Failing(IOCTL_FILTER_ON),
         [](FaultTableTest& t) {
             t.main->SpeakerTest()->SendMessage(WM_COMMAND, IDC_SPEAKER_TEST_CLOSE);
         },
         {kTransport}},
    };
}

std::vector<Fault> RegistryFaults() {
    const Step changeEverything = [](FaultTableTest& t) {
        t.Click(t.TabPage(2), IDC_SPEAKER_51);
        t.Click(t.TabPage(2), IDC_BASS_300);
        t.MoveLeftLevel();
        t.Command(ID_TEST_SPEAKER);
        t.Command(ID_OPEN_SETTING);
    };
    return {
        {"key create",
         kCloseSettings,
         [](FaultTableTest& t) { t.registry.failCreate = true; },
         [=](FaultTableTest& t) {
             t.Command(ID_OPEN_SETTING);
             changeEverything(t);
         },
         {}},
        {"value read",
         kCloseSettings,
         [](FaultTableTest& t) { t.registry.queryError = ERROR_ACCESS_DENIED; },
         [](FaultTableTest& t) {
             t.Command(ID_OPEN_SETTING);
             t.Command(ID_TEST_SPEAKER);
             t.Command(ID_OPEN_SETTING);
         },
         {}},
        {"value write",
         kNothing,
         [](FaultTableTest& t) { t.registry.setError = ERROR_ACCESS_DENIED; },
         changeEverything,
         {}},
    };
}

std::vector<Fault> LibraryFaults() {
    const Step pullOut = [](FaultTableTest& t) { t.PullOut(); };
    const Step plugIn = [](FaultTableTest& t) { t.PlugIn(); };
    // A notification runs the device check twice: once for it, once more to confirm the removal
    // it seems to report. Each call shows the library's message.
    return {
        {"library missing",
         kNothing,
         [](FaultTableTest& t) { t.library.Use(Library::None); },
         [](FaultTableTest& t) { t.Notify(1); },
         {kNoLibrary, kNoLibrary}},
        {"device check export missing",
         kNothing,
         [](FaultTableTest& t) { t.library.Use(Library::WithoutCheck); },
         [](FaultTableTest& t) { t.Notify(1); },
         {kNoLibrary, kNoLibrary}},
        {"installation refused",
         pullOut,
         [](FaultTableTest& t) {
             t.world.sibling.installSucceeds = 0;
             t.world.sibling.failureId = 65335;
         },
         plugIn,
         {kNotPlugged}},
        {"installation export missing",
         pullOut,
         [](FaultTableTest& t) { t.library.Use(Library::WithoutInstall); },
         plugIn,
         {kNoLibrary},
         true},
    };
}

std::vector<Fault> MixerAndSoundFaults() {
    using F = sim::SimMixerFaults;
    return {
        {"mixer open", kCloseSettings, MixerFault(&F::open), kOpenSettings, {}},
        {"mixer capabilities", kCloseSettings, MixerFault(&F::caps), kOpenSettings, {}},
        {"mixer line", kCloseSettings, MixerFault(&F::lineInfo), kOpenSettings, {}},
        {"mixer controls", kCloseSettings, MixerFault(&F::lineControls), kOpenSettings, {}},
        {"mixer read",
         kNothing,
         MixerFault(&F::readDetails),
         [](FaultTableTest& t) {
             sim::SimMixerControl* volume =
                 t.mixer.FindControl(t.mixer.FindLine(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, 0),
                                     MIXERCONTROL_CONTROLTYPE_VOLUME);
             t.mixer.SetValues(*volume, {1000, 2000});
             t.app.PumpPending();
         },
         {}},
        {"mixer write",
         kNothing,
         MixerFault(&F::writeDetails),
         [](FaultTableTest& t) { t.Click(t.TabPage(0), IDC_MUTE_MAIN); },
         {}},
        {"sound",
         kShowTest,
         [](FaultTableTest& t) { t.sound.fail = true; },
         [](FaultTableTest& t) {
             const std::size_t before = t.sound.total;
             t.Click(t.TestPage(), IDC_TEST_BUTTON);
             t.TestTicks(30);
             EXPECT_GT(t.sound.total, before + 2) << "the test goes on from tone to tone";
         },
         {}},
    };
}

void RunFault(FaultTableTest& t, const Fault& fault) {
    SCOPED_TRACE(fault.what);
    t.StoreChoices();
    t.Heal();
    t.Start();
    t.Command(ID_OPEN_SETTING);
    fault.before(t);
    const std::map<std::string, DWORD> accepted = AdapterValues();
    ASSERT_EQ(accepted.size(), std::size(kAdapterValues));
    t.prompts.shown.clear();

    fault.arm(t);
    fault.act(t);
    EXPECT_EQ(t.Boxes(), fault.boxes);
    t.Heal();
    if (fault.ends) {
        EXPECT_EQ(t.Main(), nullptr) << "the program ends";
    } else {
        // Still running: once the fault is gone it answers a device change, opens its settings
        // and polls the adapter again.
        ASSERT_NE(t.Main(), nullptr);
        t.prompts.shown.clear();
        t.PlugIn();
        t.Command(ID_OPEN_SETTING);
        t.Poll();
        EXPECT_TRUE(t.Polling());
        ASSERT_FALSE(t.world.Requests().empty());
        EXPECT_EQ(t.world.Requests().back().code, IOCTL_GET_STREAM_KIND);
        EXPECT_TRUE(t.world.Requests().back().succeeded);
        EXPECT_TRUE(t.prompts.shown.empty());
    }
    EXPECT_EQ(AdapterValues(), accepted);
    t.main.reset();
    t.app.PumpPending();
    t.ExpectNothingLeaked();
}

TEST_F(FaultTableTest, DeviceFaults) {
    for (const Fault& fault : DeviceFaults())
        RunFault(*this, fault);
}

TEST_F(FaultTableTest, SettingsKeyFaults) {
    for (const Fault& fault : RegistryFaults())
        RunFault(*this, fault);
}

TEST_F(FaultTableTest, SiblingLibraryFaults) {
    for (const Fault& fault : LibraryFaults())
        RunFault(*this, fault);
}

TEST_F(FaultTableTest, MixerAndSoundFaults) {
    for (const Fault& fault : MixerAndSoundFaults())
        RunFault(*this, fault);
}

}  // namespace
