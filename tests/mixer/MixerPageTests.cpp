#include <memory>
#include <string>
#include <vector>

#include "app/MainDlg.h"
#include "framework/WinApp.h"
#include "mixer/MixerVolumePage.h"
#include "mixer/RecordSourcePage.h"
#include "platform/Win32Seams.h"
#include "res/resource.h"
#include "tests/mixer/MixerFixture.h"
#include "tests/support/MainWindowFixture.h"

namespace {

using namespace mixer_tests;

// The settings window with its pages, on the simulated adapter and its mixer. Not a first start
// unless a test says so.
class MixerPageTest : public testing_support::MainWindowFixture {
  public:
    void Start(bool firstLaunch = false) {
        if (!firstLaunch) testing_support::StoreSetting("FirstLaunched", 0);
        MainWindowFixture::Start();
        app.PumpPending();
    }

    CMixerVolumePage& Volume() { return *dynamic_cast<CMixerVolumePage*>(main->Tabs().Page(0)); }
    CRecordSourcePage& Record() { return *dynamic_cast<CRecordSourcePage*>(main->Tabs().Page(3)); }
    sim::SimMixerControl& Control(DWORD destination, DWORD source, DWORD type) {
        sim::SimMixerControl* control =
            mixer.FindControl(mixer.FindLine(destination, source), type);
        EXPECT_NE(control, nullptr);
        return *control;
    }
    static bool Enabled(HWND page, UINT id) {
        return ::IsWindowEnabled(::GetDlgItem(page, static_cast<int>(id))) != FALSE;
    }
    static bool Checked(HWND page, UINT id) {
        return ::IsDlgButtonChecked(page, id) == BST_CHECKED;
    }
    HWND VolumePage() { return Volume().GetSafeHwnd(); }
    HWND RecordPage() { return Record().GetSafeHwnd(); }

    // The windows that opened the mixer, in order, each once however many devices it tried.
    std::vector<HWND> Binders() const {
        std::vector<HWND> windows;
        for (HWND w : mixer.openWindows) {
            if (windows.empty() || windows.back() != w) windows.push_back(w);
        }
        return windows;
    }
};

constexpr UINT kVolumeIds[] = {IDC_VOLUME_MAIN, IDC_VOLUME_WAVE, IDC_VOLUME_SYNTH, IDC_VOLUME_LINE,
                               IDC_VOLUME_MIC};
constexpr UINT kBalanceIds[] = {IDC_BALANCE_MAIN, IDC_BALANCE_WAVE, IDC_BALANCE_SYNTH,
                                IDC_BALANCE_LINE, IDC_BALANCE_MIC};
constexpr UINT kMuteIds[] = {IDC_MUTE_MAIN, IDC_MUTE_WAVE, IDC_MUTE_SYNTH, IDC_MUTE_LINE,
                             IDC_MUTE_MIC};
constexpr UINT kResetIds[] = {IDC_RESET_MAIN, IDC_RESET_WAVE, IDC_RESET_SYNTH, IDC_RESET_LINE,
                              IDC_RESET_MIC};
constexpr UINT kRecordIds[] = {IDC_RECORD_MIC_LEVEL,   IDC_RECORD_LINE_LEVEL,
                               IDC_RECORD_MIC_SELECT,  IDC_RECORD_LINE_SELECT,
                               IDC_RECORD_MIC_BALANCE, IDC_RECORD_LINE_BALANCE};

TEST_F(MixerPageTest, BothPagesBindInTheirOrderAndShowTheMixer) {
    mixer.openWindows.clear();
    Start();
    CMixerVolumePage& volume = Volume();
    CRecordSourcePage& record = Record();
    const std::vector<HWND> expected = {
        volume.Switch(0).GetSafeHwnd(),    volume.Switch(1).GetSafeHwnd(),
        volume.Switch(2).GetSafeHwnd(),    volume.Switch(3).GetSafeHwnd(),
        volume.Switch(4).GetSafeHwnd(),    volume.Volume(0).GetSafeHwnd(),
        volume.Balance(0).GetSafeHwnd(),   volume.Volume(1).GetSafeHwnd(),
        volume.Balance(1).GetSafeHwnd(),   volume.Volume(2).GetSafeHwnd(),
        volume.Balance(2).GetSafeHwnd(),   volume.Volume(3).GetSafeHwnd(),
        volume.Balance(3).GetSafeHwnd(),   volume.Volume(4).GetSafeHwnd(),
        volume.Balance(4).GetSafeHwnd(),   record.MicLevel().GetSafeHwnd(),
        record.LineLevel().GetSafeHwnd(),  RecordPage(),  // both multiplexer items
        record.MicBalance().GetSafeHwnd(), record.LineBalance().GetSafeHwnd(),
    };
    EXPECT_EQ(Binders(), expected);

    for (int c = 0; c < CMixerVolumePage::kColumns; ++c) {
        SCOPED_TRACE(c);
        EXPECT_TRUE(Enabled(VolumePage(), kVolumeIds[c]));
        EXPECT_TRUE(Enabled(VolumePage(), kMuteIds[c]));
        EXPECT_TRUE(Enabled(VolumePage(), kResetIds[c]));
        // The microphone is mono: its balance stays disabled in the middle.
        EXPECT_EQ(Enabled(VolumePage(), kBalanceIds[c]), c != 4);
    }
    EXPECT_EQ(volume.Balance(4).Position(), 9);
    EXPECT_EQ(volume.Volume(1).Position(), 18) << "wave at full on the left";
    EXPECT_EQ(volume.Balance(1).Position(), 6);
    EXPECT_EQ(volume.Switch(1).GetBitmap(), volume.Switch(1).OffImage());

    for (UINT id : kRecordIds)
        EXPECT_EQ(Enabled(RecordPage(), id), id != IDC_RECORD_MIC_BALANCE) << id;
    EXPECT_TRUE(Checked(RecordPage(), IDC_RECORD_MIC_SELECT));
    EXPECT_FALSE(Checked(RecordPage(), IDC_RECORD_LINE_SELECT));
    EXPECT_EQ(record.LineLevel().Position(), 11);
}

TEST_F(MixerPageTest, AMissingLineDisablesOnlyItsOwnControls) {
    sim::SimMixerLine* speakers = mixer.FindLine(kSpeakers, 0);
    std::erase_if(speakers->sources,
                  [](const sim::SimMixerLine& line) { return line.componentType == kSynth; });
    sim::SimMixerLine* recording = mixer.FindLine(kWaveIn, 0);
    std::erase_if(recording->sources,
                  [](const sim::SimMixerLine& line) { return line.componentType == kLine; });
    mixer.Renumber();
    Start();
    for (int c = 0; c < CMixerVolumePage::kColumns; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(Enabled(VolumePage(), kVolumeIds[c]), c != 2);
        EXPECT_EQ(Enabled(VolumePage(), kMuteIds[c]), c != 2);
        EXPECT_EQ(Enabled(VolumePage(), kResetIds[c]), c != 2);
    }
    EXPECT_FALSE(Enabled(RecordPage(), IDC_RECORD_LINE_LEVEL));
    EXPECT_FALSE(Enabled(RecordPage(), IDC_RECORD_LINE_BALANCE));
    EXPECT_TRUE(Enabled(RecordPage(), IDC_RECORD_MIC_LEVEL));
    EXPECT_TRUE(Enabled(RecordPage(), IDC_RECORD_MIC_SELECT));
}

TEST_F(MixerPageTest, ResetCentresTheVolumeAndKeepsTheBalance) {
    Start();
    sim::SimMixerControl& wave = Control(kSpeakers, kWave, kVolume);
    Volume().SendMessage(WM_COMMAND, MAKEWPARAM(IDC_RESET_WAVE, BN_CLICKED),
                         reinterpret_cast<LPARAM>(::GetDlgItem(VolumePage(), IDC_RESET_WAVE)));
    EXPECT_EQ(Volume().Volume(1).Position(), 9);
    EXPECT_EQ(wave.values, (std::vector<DWORD>{32760, 24570}));

    // Released, Reset only moves the thumb and keeps its button as it was.
    main->Tabs().ClosePages();
    const int writes = mixer.Writes();
    Volume().Volume(3).SetPosition(0);
    ::SendMessageA(::GetDlgItem(VolumePage(), IDC_RESET_LINE), BM_CLICK, 0, 0);
    EXPECT_EQ(Volume().Volume(3).Position(), 9);
    EXPECT_EQ(mixer.Writes(), writes);
    EXPECT_TRUE(Enabled(VolumePage(), IDC_RESET_LINE));
}

TEST_F(MixerPageTest, ReleaseClosesEverythingAndTheNextConnectShowsTheMixerAgain) {
    Start();
    const int bound = mixer.OpenHandles();
    EXPECT_EQ(bound, 19) << "one handle per bound control, two for the multiplexer's items";
    for (int i = 0; i < 50; ++i) {
        main->Tabs().ClosePages();
        main->Tabs().OpenPages();
    }
    EXPECT_EQ(mixer.OpenHandles(), bound);
    main->Tabs().ClosePages();
    EXPECT_EQ(mixer.OpenHandles(), 0);
    for (UINT id : kRecordIds)
        EXPECT_FALSE(Enabled(RecordPage(), id)) << id;
    EXPECT_TRUE(Enabled(VolumePage(), IDC_VOLUME_WAVE)) << "the volume page disables nothing";

    // Meanwhile the mixer changes, and notifications posted before the release arrive late.
    mixer.SetValues(Control(kSpeakers, kWave, kVolume), {0x3000, 0x3000});
    mixer.SetValues(Control(kWaveIn, 0, kMux), {0, 0, 1, 0});
    app.PumpPending();
    EXPECT_TRUE(Checked(RecordPage(), IDC_RECORD_MIC_SELECT));

    main->Tabs().OpenPages();
    EXPECT_EQ(Volume().Volume(1).Position(), 3);
    EXPECT_TRUE(Checked(RecordPage(), IDC_RECORD_LINE_SELECT));
    EXPECT_FALSE(Checked(RecordPage(), IDC_RECORD_MIC_SELECT));
    for (UINT id : kRecordIds)
        EXPECT_EQ(Enabled(RecordPage(), id), id != IDC_RECORD_MIC_BALANCE) << id;
}

TEST_F(MixerPageTest, TheCheckBoxesFollowTheMultiplexerBothWays) {
    mixer.FindControl(mixer.FindLine(kWaveIn, 0), kMux)->values = {0, 0, 1, 0};
    Start();
    EXPECT_FALSE(Checked(RecordPage(), IDC_RECORD_MIC_SELECT));
    EXPECT_TRUE(Checked(RecordPage(), IDC_RECORD_LINE_SELECT));
    sim::SimMixerControl& mux = Control(kWaveIn, 0, kMux);

    for (int click = 0; click < 2; ++click) {  // the second click is on the checked box
        ::SendMessageA(::GetDlgItem(RecordPage(), IDC_RECORD_MIC_SELECT), BM_CLICK, 0, 0);
        EXPECT_EQ(mux.values, (std::vector<DWORD>{0, 1, 0, 0}));
        app.PumpPending();
        EXPECT_TRUE(Checked(RecordPage(), IDC_RECORD_MIC_SELECT));
        EXPECT_FALSE(Checked(RecordPage(), IDC_RECORD_LINE_SELECT));
    }

    // CD chosen in the system's recording panel: neither box.
    mixer.SetValues(mux, {0, 0, 0, 1});
    app.PumpPending();
    EXPECT_FALSE(Checked(RecordPage(), IDC_RECORD_MIC_SELECT));
    EXPECT_FALSE(Checked(RecordPage(), IDC_RECORD_LINE_SELECT));
    EXPECT_EQ(Record().SendMessage(MM_MIXM_CONTROL_CHANGE, 0, RecordingMuxId()), 0);
    EXPECT_EQ(Record().SendMessage(MM_MIXM_CONTROL_CHANGE, 0, RecordingMuxId() + 1), 1);
}

TEST_F(MixerPageTest, FirstLaunchMutesTheMicrophoneAndCentresTheLevels) {
    Start(true);
    EXPECT_EQ(Control(kSpeakers, kMic, kMute).values, (std::vector<DWORD>{1}));
    EXPECT_EQ(Volume().Switch(4).GetBitmap(), Volume().Switch(4).OnImage());
    for (int c = 0; c < CMixerVolumePage::kColumns; ++c)
        EXPECT_EQ(Volume().Volume(c).Position(), 9) << c;
    EXPECT_EQ(Control(kSpeakers, 0, kVolume).values, (std::vector<DWORD>{32760, 32760}));
    EXPECT_EQ(Control(kSpeakers, kMic, kVolume).values, (std::vector<DWORD>{32760}));
    EXPECT_EQ(Record().MicLevel().Position(), 9);
    EXPECT_EQ(Record().LineLevel().Position(), 9);
    EXPECT_EQ(Control(kWaveIn, kLine, kVolume).values, (std::vector<DWORD>{32760, 26207}));
    EXPECT_EQ(Control(kWaveIn, 0, kMux).values, (std::vector<DWORD>{0, 1, 0, 0}));
    EXPECT_TRUE(Checked(RecordPage(), IDC_RECORD_MIC_SELECT));
}

TEST_F(MixerPageTest, FirstLaunchWithoutTheAdaptersMixerWritesNothing) {
    world.SetPlugged(false);
    Start(true);
    EXPECT_EQ(mixer.Writes(), 0);
    EXPECT_EQ(Volume().Volume(0).Position(), 9);
    EXPECT_FALSE(Enabled(VolumePage(), IDC_VOLUME_MAIN));
}

TEST_F(MixerPageTest, WithoutAnyMixerThePagesOpenDisabledAndCentred) {
    platform::Win32Mixer winmm;
    platform::ScopedSeam<platform::IMixer> real(winmm);
    ASSERT_EQ(winmm.GetNumDevs(), 0u) << "Wine without a sound driver";
    Start(true);
    for (int c = 0; c < CMixerVolumePage::kColumns; ++c) {
        SCOPED_TRACE(c);
        EXPECT_FALSE(Enabled(VolumePage(), kVolumeIds[c]));
        EXPECT_FALSE(Enabled(VolumePage(), kBalanceIds[c]));
        EXPECT_FALSE(Enabled(VolumePage(), kMuteIds[c]));
        EXPECT_FALSE(Enabled(VolumePage(), kResetIds[c]));
        EXPECT_EQ(Volume().Volume(c).Position(), 9);
        EXPECT_EQ(Volume().Balance(c).Position(), 9);
    }
    for (UINT id : kRecordIds)
        EXPECT_FALSE(Enabled(RecordPage(), id)) << id;
    EXPECT_EQ(Record().MicLevel().Position(), 9);
    main->SendMessage(WM_COMMAND, ID_OPEN_SETTING);
    main->SendMessage(WM_COMMAND, ID_CLOSE_SETTING);
}

// Windows Vista and later: one mixer device per endpoint, the endpoints' own volumes beside them.
TEST_F(MixerPageTest, OnePerEndpointTheMainColumnAndTheLevelsUseTheEndpoints) {
    mixer.UsePerEndpointLayout(true);
    Start(true);
    const bool enabled[CMixerVolumePage::kColumns] = {true, true, false, false, false};
    for (int c = 0; c < CMixerVolumePage::kColumns; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(Enabled(VolumePage(), kVolumeIds[c]), enabled[c]);
        EXPECT_EQ(Enabled(VolumePage(), kBalanceIds[c]), enabled[c]);
        EXPECT_EQ(Enabled(VolumePage(), kMuteIds[c]), enabled[c]);
        EXPECT_EQ(Volume().Volume(c).OnEndpoint(), c == 0);
    }
    EXPECT_TRUE(Record().MicLevel().OnEndpoint());
    EXPECT_TRUE(Record().LineLevel().OnEndpoint());
    EXPECT_TRUE(Enabled(RecordPage(), IDC_RECORD_LINE_BALANCE));
    EXPECT_FALSE(Enabled(RecordPage(), IDC_RECORD_MIC_BALANCE)) << "a mono microphone";
    EXPECT_FALSE(Enabled(RecordPage(), IDC_RECORD_MIC_SELECT)) << "no multiplexer";
    EXPECT_FALSE(Enabled(RecordPage(), IDC_RECORD_LINE_SELECT));

    // The first start put every bound volume in the middle: the speakers', the microphone's and
    // the line input's endpoints, and the wave session.
    const float middle = 32760 / 65535.0f;
    sim::SimEndpoints& endpoints = mixer.endpoints;
    EXPECT_NEAR(endpoints.Master(sim::SimMixer::kAdapterSpeakers), middle, 1e-4);
    EXPECT_NEAR(endpoints.Master(sim::SimMixer::kAdapterMicrophone), middle, 1e-4);
    EXPECT_NEAR(endpoints.Master(sim::SimMixer::kAdapterLine), middle, 1e-4);
    EXPECT_EQ(Control(kSpeakers, kWave, kVolume).values, (std::vector<DWORD>{32760, 32760}));

    endpoints.SetLevels(sim::SimMixer::kAdapterSpeakers, std::vector<float>(6, 1.0f));
    app.PumpPending();
    EXPECT_EQ(Volume().Volume(0).Position(), 18);
    ::SendMessageA(VolumePage(), WM_COMMAND, MAKEWPARAM(IDC_RESET_MAIN, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(VolumePage(), IDC_RESET_MAIN)));
    app.PumpPending();
    EXPECT_EQ(Volume().Volume(0).Position(), 9);
    EXPECT_NEAR(endpoints.Master(sim::SimMixer::kAdapterSpeakers), middle, 1e-4);

    // Closing the settings lets every endpoint go.
    main->SendMessage(WM_COMMAND, ID_CLOSE_SETTING);
    EXPECT_EQ(endpoints.OpenVolumes(), 0);
}

}  // namespace
