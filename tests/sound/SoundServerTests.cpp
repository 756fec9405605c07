// The mixer pages on Wine's own mixer, over a private sound server that scripts/with-pulse.sh
// starts: a six-channel sink and a stereo source whose names hold "USB", each its own mixer
// device with one destination, as on Windows Vista and later. Nothing here is simulated; the
// controls go through the Win32 mixer and Core Audio.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/WinApp.h"
#include "mixer/EndpointVolume.h"
#include "mixer/MixerVolumePage.h"
#include "mixer/RecordSourcePage.h"
#include "platform/Win32Seams.h"
#include "res/resource.h"
#include "tests/support/SimEnvironment.h"

namespace {

constexpr char kRender[] = "Quorvel_USB_Audio";
constexpr char kCapture[] = "Quorvel_USB_Audio_Input";

// What a read leaves in an entry that the mixer did not fill.
constexpr DWORD kUnfilled = 0xDEADBEEF;

// Wine's mixer read through a handle of the test's own: the values of one control on the one
// destination of a device, or on its first source.
std::vector<DWORD> WineValues(const char* device, bool onSource, DWORD controlType) {
    for (UINT d = 0; d < ::mixerGetNumDevs(); ++d) {
        MIXERCAPSA caps{};
        if (::mixerGetDevCapsA(d, &caps, sizeof(caps)) != MMSYSERR_NOERROR ||
            std::string(caps.szPname) != device) {
            continue;
        }
        const auto object = reinterpret_cast<HMIXEROBJ>(static_cast<UINT_PTR>(d));
        MIXERLINEA line{};
        line.cbStruct = sizeof(line);
        const DWORD query = onSource ? MIXER_GETLINEINFOF_SOURCE : MIXER_GETLINEINFOF_DESTINATION;
        if (::mixerGetLineInfoA(object, &line, MIXER_OBJECTF_MIXER | query) != MMSYSERR_NOERROR) {
            return {};
        }
        MIXERCONTROLA control{};
        MIXERLINECONTROLSA controls{sizeof(controls), line.dwLineID, {controlType}, 1,
                                    sizeof(control),  &control};
        if (::mixerGetLineControlsA(object, &controls,
                                    MIXER_OBJECTF_MIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
            MMSYSERR_NOERROR) {
            return {};
        }
        const DWORD channels =
            (control.fdwControl & MIXERCONTROL_CONTROLF_UNIFORM) ? 1 : line.cChannels;
        std::vector<DWORD> values(channels, kUnfilled);
        MIXERCONTROLDETAILS details{sizeof(details), control.dwControlID, channels, {},
                                    sizeof(DWORD),   values.data()};
        if (::mixerGetControlDetailsA(object, &details,
                                      MIXER_OBJECTF_MIXER | MIXER_GETCONTROLDETAILSF_VALUE) !=
            MMSYSERR_NOERROR) {
            return {};
        }
        return values;
    }
    return {};
}

bool HasDevice(const char* name) {
    for (UINT d = 0; d < ::mixerGetNumDevs(); ++d) {
        MIXERCAPSA caps{};
        if (::mixerGetDevCapsA(d, &caps, sizeof(caps)) == MMSYSERR_NOERROR &&
            std::string(caps.szPname) == name) {
            return true;
        }
    }
    return false;
}

// The two mixer pages as children of a plain window, on the real services.
class SoundServerTest : public testing::Test {
  public:
    void SetUp() override {
        ASSERT_TRUE(HasDevice(kRender) && HasDevice(kCapture))
            << "Wine shows no mixer device of the sound server (" << ::mixerGetNumDevs()
            << " devices); is the server running and PULSE_SERVER set (scripts/with-pulse.sh)?";
        ASSERT_TRUE(volume.Create(0, &host));
        ASSERT_TRUE(record.Create(0, &host));
        app.PumpPending();
    }
    void TearDown() override {
        volume.DestroyWindow();
        record.DestroyWindow();
    }

    static bool Enabled(const CWnd& page, int id) {
        return ::IsWindowEnabled(::GetDlgItem(page.GetSafeHwnd(), id)) != FALSE;
    }
    // The user moves a thumb: the trackbar moves and tells its page.
    void Move(CWnd& page, CMixerSlider& slider, int position) {
        slider.SetPosition(position);
        page.SendMessage(WM_VSCROLL, MAKEWPARAM(TB_ENDTRACK, 0),
                         reinterpret_cast<LPARAM>(slider.GetSafeHwnd()));
        app.PumpPending();
    }
    void Rebind() {
        volume.Release();
        record.Release();
        volume.Bind();
        record.Bind();
        app.PumpPending();
    }

    CWinApp app;
    testing_support::Recorder host;
    CMixerVolumePage volume;
    CRecordSourcePage record;
};

TEST_F(SoundServerTest, TheColumnsBindOnTheirEndpointsDevices) {
    struct Column {
        int index;
        const char* device;  // empty: not bound
        bool balance;        // a stereo line
    };
    // Wine gives the speakers' destination two channels and its one source (wave out) one.
    // Its speakers' controls are uniform, so the main column is mono too: no balance.
    const Column columns[] = {
        {0, kRender, false}, {1, kRender, false}, {2, "", false}, {3, "", false}, {4, "", false},
    };
    for (const Column& c : columns) {
        SCOPED_TRACE(c.index);
        const bool bound = *c.device != 0;
        EXPECT_EQ(volume.Volume(c.index).IsOpen(), bound);
        EXPECT_EQ(volume.Volume(c.index).DeviceName(), c.device);
        EXPECT_EQ(volume.Balance(c.index).IsOpen(), c.balance);
        EXPECT_EQ(volume.Switch(c.index).IsOpen(), bound);
        // Wine 8's endpoint volume answers E_NOTIMPL: every binding stays on the mixer.
        EXPECT_FALSE(volume.Volume(c.index).OnEndpoint());
        EXPECT_FALSE(volume.Switch(c.index).OnEndpoint());
    }
    EXPECT_TRUE(record.MicLevel().IsOpen());
    EXPECT_EQ(record.MicLevel().DeviceName(), kCapture);
    EXPECT_FALSE(record.MicLevel().OnEndpoint());
    EXPECT_TRUE(Enabled(record, IDC_RECORD_MIC_LEVEL));
    EXPECT_FALSE(Enabled(record, IDC_RECORD_MIC_BALANCE)) << "Wine's capture source is mono";
    EXPECT_FALSE(Enabled(record, IDC_RECORD_LINE_LEVEL));
    EXPECT_FALSE(Enabled(record, IDC_RECORD_MIC_SELECT)) << "no multiplexer on an endpoint";
    EXPECT_FALSE(Enabled(record, IDC_RECORD_LINE_SELECT));
}

// Core Audio finds each endpoint by the mixer device's name, and Wine 8's endpoint volume does not
// answer for its channels (E_NOTIMPL), so it is not used.
TEST_F(SoundServerTest, CoreAudioFindsTheEndpointsByNameAndWinesAreNotUsable) {
    platform::Win32AudioEndpoints core;
    const HWND notify = host.GetSafeHwnd();
    auto render = core.Open(false, kRender, notify, 0, 0);
    auto capture = core.Open(true, kCapture, notify, 0, 0);
    ASSERT_NE(render, nullptr);
    ASSERT_NE(capture, nullptr);
    EXPECT_EQ(core.Open(true, kRender, notify, 0, 0), nullptr) << "the sink is no capture endpoint";
    UINT channels = 0;
    EXPECT_EQ(render->GetChannelCount(&channels), E_NOTIMPL);
    EXPECT_FALSE(mixer::EndpointUsable(*render, 1));
    EXPECT_FALSE(mixer::EndpointUsable(*capture, 1));
}

TEST_F(SoundServerTest, MovingMutingAndResetReachWinesMixerAndReadBack) {
    Move(volume, volume.Volume(0), 4);
    EXPECT_EQ(WineValues(kRender, false, MIXERCONTROL_CONTROLTYPE_VOLUME),
              (std::vector<DWORD>{14560}));
    volume.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_MUTE_MAIN, STN_CLICKED),
                       reinterpret_cast<LPARAM>(volume.Switch(0).GetSafeHwnd()));
    EXPECT_EQ(WineValues(kRender, false, MIXERCONTROL_CONTROLTYPE_MUTE), (std::vector<DWORD>{1}));
    volume.SendMessage(
        WM_COMMAND, MAKEWPARAM(IDC_RESET_MAIN, BN_CLICKED),
        reinterpret_cast<LPARAM>(::GetDlgItem(volume.GetSafeHwnd(), IDC_RESET_MAIN)));
    app.PumpPending();
    EXPECT_EQ(WineValues(kRender, false, MIXERCONTROL_CONTROLTYPE_VOLUME),
              (std::vector<DWORD>{32760}));

    // Wine 8 answers every read and write of a source line's controls (wave out, the capture
    // device's input) with success and does nothing: the read leaves the buffer as it was.
    Move(volume, volume.Volume(1), 16);
    EXPECT_EQ(volume.Volume(1).Position(), 16) << "the thumb stays where the user put it";
    EXPECT_EQ(WineValues(kRender, true, MIXERCONTROL_CONTROLTYPE_VOLUME),
              (std::vector<DWORD>{kUnfilled}));
    Move(record, record.MicLevel(), 12);
    EXPECT_EQ(WineValues(kCapture, true, MIXERCONTROL_CONTROLTYPE_VOLUME),
              (std::vector<DWORD>{kUnfilled}));

    // Bound again, every control shows what Wine's mixer holds.
    Rebind();
    EXPECT_EQ(volume.Volume(0).Position(), 9);
    EXPECT_EQ(volume.Switch(0).GetBitmap(), volume.Switch(0).OnImage());
    EXPECT_EQ(volume.Volume(1).Position(), 0) << "a fresh buffer that Wine's read left at 0";
    EXPECT_EQ(record.MicLevel().Position(), 0);
}

}  // namespace
