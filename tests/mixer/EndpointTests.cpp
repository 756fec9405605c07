#include <cmath>
#include <memory>
#include <string>
#include <thread>

#include "mixer/EndpointVolume.h"
#include "mixer/MixerControl.h"
#include "mixer/MixerMath.h"
#include "tests/mixer/MixerFixture.h"

namespace {

using namespace mixer_tests;
using Mode = CMixerSlider::Mode;
using sim::SimMixer;

constexpr DWORD kMain = CMixerControl::kDestinationOnly;

TEST(EndpointMath, EveryPositionGoesToALevelAndComesBack) {
    const mixer::Scale scale = mixer::ScaleOf(0, 65535);
    for (int position = 0; position <= mixer::kTopPosition; ++position) {
        SCOPED_TRACE(position);
        const DWORD value = mixer::ThumbValue(position, scale);
        const float level = mixer::ValueToScalar(value, 0, 65535);
        EXPECT_NEAR(level, position * 3640 / 65535.0, 1e-6);
        EXPECT_EQ(mixer::ScalarToValue(level, 0, 65535), value);
        EXPECT_EQ(mixer::VolumePosition(mixer::ScalarToValue(level, 0, 65535), scale), position);
    }
    // A level is an endpoint's answer: whatever it is, the value stays inside the bounds.
    EXPECT_EQ(mixer::ScalarToValue(std::nanf(""), 10, 20), 10u);
    EXPECT_EQ(mixer::ScalarToValue(-1.0f, 10, 20), 10u);
    EXPECT_EQ(mixer::ScalarToValue(7.0f, 10, 20), 20u);
    EXPECT_EQ(mixer::ScalarToValue(0.5f, 20, 10), 20u) << "reversed bounds";
    EXPECT_EQ(mixer::ValueToScalar(5, 10, 20), 0.0f);
    EXPECT_EQ(mixer::ValueToScalar(25, 10, 20), 1.0f);
    EXPECT_EQ(mixer::ValueToScalar(15, 20, 20), 0.0f);
}

TEST(EndpointMath, OnlyTheEndpointsOwnLinesUseIt) {
    using mixer::EndpointRole;
    struct Case {
        DWORD destination;
        bool destinationOnly;
        DWORD control;
        EndpointRole role;
    };
    const Case cases[] = {
        {kSpeakers, true, kVolume, EndpointRole::Volume},
        {kSpeakers, true, kMute, EndpointRole::Mute},
        {kSpeakers, false, kVolume, EndpointRole::None},  // wave: the program's own session
        {kWaveIn, false, kVolume, EndpointRole::Volume},
        {kWaveIn, true, kMute, EndpointRole::Mute},
        {kWaveIn, true, kMux, EndpointRole::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(mixer::EndpointRoleOf(c.destination, c.destinationOnly, c.control), c.role)
            << c.destination << " " << c.destinationOnly << " " << c.control;
    }
}

TEST(EndpointMath, FriendlyNamesMatchTheMixersCutName) {
    EXPECT_TRUE(platform::EndpointNameMatches("Speakers (USB Audio Device)",
                                              "Speakers (USB Audio Device)"));
    // MIXERCAPS holds 31 characters of a longer friendly name.
    EXPECT_TRUE(platform::EndpointNameMatches("Speakers (2- Quorvel Dual USB Audio)",
                                              "Speakers (2- Quorvel Dual USB A"));
    EXPECT_FALSE(platform::EndpointNameMatches("Speakers (USB Audio Device)", "Speakers (USB"));
    EXPECT_FALSE(platform::EndpointNameMatches("Speakers", "Speakers (USB Audio Device)"));
    EXPECT_FALSE(platform::EndpointNameMatches("", ""));
}

class EndpointTest : public MixerTest {
  public:
    EndpointTest() { mixer.UsePerEndpointLayout(true); }
    ~EndpointTest() override {
        app.PumpPending();
        EXPECT_EQ(Endpoints().OpenVolumes(), 0);
        EXPECT_EQ(Endpoints().Registrations(), 0);
    }

    sim::SimEndpoints& Endpoints() { return mixer.endpoints; }
    sim::SimEndpoint& Speakers() { return Endpoints().endpoints[SimMixer::kAdapterSpeakers]; }
    bool Open(CMixerControl& control, DWORD destination, DWORD source, DWORD type = kVolume,
              const char* name = "") {
        return control.Open(destination, source, type, host.GetSafeHwnd(), name);
    }
};

// Which device each control binds on, for the layouts of older and current Windows.
TEST_F(EndpointTest, EachControlBindsOnTheFirstUsbDeviceThatHasItsLines) {
    struct Binding {
        DWORD destination;
        DWORD source;
        DWORD control;
        const char* name;
        std::string device;  // empty: no binding
        bool onEndpoint;
    };
    const std::vector<Binding> perEndpoint = {
        {kSpeakers, kMain, kVolume, "", "Speakers (USB Audio Device)", true},
        {kSpeakers, kMain, kMute, "", "Speakers (USB Audio Device)", true},
        {kSpeakers, kWave, kVolume, "Wave", "Speakers (USB Audio Device)", false},
        {kSpeakers, kSynth, kVolume, "SW", "", false},
        {kWaveIn, kMic, kVolume, "Microphone", "Microphone (USB Audio Device)", true},
        {kWaveIn, kLine, kVolume, "Line In", "Line (USB Audio Device)", true},
        {kWaveIn, kMain, kMux, "", "", false},
    };
    struct Layout {
        const char* name;
        void (*arrange)(SimMixer&);
        std::vector<Binding> bindings;
    };
    const Layout layouts[] = {
        {"one device with every line",
         [](SimMixer& m) { m.UsePerEndpointLayout(false); },
         {{kSpeakers, kMain, kVolume, "", "USB Audio Device", false},
          {kSpeakers, kSynth, kVolume, "SW", "USB Audio Device", false},
          {kWaveIn, kMic, kVolume, "Microphone", "USB Audio Device", false},
          {kWaveIn, kMain, kMux, "", "USB Audio Device", false}}},
        {"one device per endpoint", [](SimMixer&) {}, perEndpoint},
        {"capture devices first",
         [](SimMixer& m) {
             std::rotate(m.devices.begin() + 1, m.devices.begin() + 2, m.devices.end());
             m.Renumber();
         },
         perEndpoint},
        {"no USB device",
         [](SimMixer& m) {
             for (sim::SimMixerDevice& device : m.devices)
                 device.product = "HD Audio";
         },
         {{kSpeakers, kMain, kVolume, "", "", false}, {kWaveIn, kMic, kVolume, "", "", false}}},
    };
    for (const Layout& layout : layouts) {
        mixer.UsePerEndpointLayout(true);
        layout.arrange(mixer);
        for (const Binding& b : layout.bindings) {
            SCOPED_TRACE(std::string(layout.name) + ": " + std::to_string(b.destination) + "/" +
                         std::to_string(b.source) + "/" + std::to_string(b.control));
            CMixerControl control;
            EXPECT_EQ(Open(control, b.destination, b.source, b.control, b.name), !b.device.empty());
            EXPECT_EQ(control.DeviceName(), b.device);
            EXPECT_EQ(control.OnEndpoint(), b.onEndpoint);
            if (b.device.empty()) {
                EXPECT_EQ(mixer.OpenHandles(), 0) << "every device tried closed";
            }
        }
    }
}

TEST_F(EndpointTest, TheMainSlidersAndSwitchActOnTheEndpoint) {
    auto volume = Bound(Mode::Volume, kSpeakers, kMain);
    auto balance = Bound(Mode::Balance, kSpeakers, kMain);
    auto mute = Switch();
    ASSERT_TRUE(mute->Bind(kSpeakers, kMain, kMute));
    ASSERT_TRUE(volume->OnEndpoint() && balance->OnEndpoint() && mute->OnEndpoint());
    // Left 0.75, right 0.5 of the endpoint: the louder at 49151, right two thirds of it.
    EXPECT_EQ(volume->Position(), 13);
    EXPECT_EQ(balance->Position(), 6);
    const std::vector<DWORD> session = Control(kSpeakers, 0, kVolume).values;

    Move(*volume, 9);
    app.PumpPending();
    EXPECT_NEAR(Endpoints().Master(0), 32760 / 65535.0, 1e-4);
    EXPECT_NEAR(Speakers().levels[1], 32760 / 65535.0 * 2 / 3, 1e-4) << "the balance kept";
    EXPECT_NEAR(Speakers().levels[2], 32760 / 65535.0, 1e-4) << "the centre follows the master";
    EXPECT_NEAR(Speakers().levels[5], 32760 / 65535.0, 1e-4);
    EXPECT_EQ(balance->Position(), 5) << "right exactly two thirds of left: 5.99999 truncates";

    // The balance both ways, the louder side kept.
    Move(*balance, 18, TB_ENDTRACK);
    app.PumpPending();
    EXPECT_NEAR(Speakers().levels[1], 32760 / 65535.0, 1e-4);
    EXPECT_LT(Speakers().levels[0], 0.01f);
    Move(*balance, 0, TB_ENDTRACK);
    app.PumpPending();
    EXPECT_NEAR(Speakers().levels[0], 32760 / 65535.0, 1e-4);
    EXPECT_EQ(Speakers().levels[1], 0.0f);
    EXPECT_EQ(volume->Position(), 9);

    Click(*mute);
    EXPECT_TRUE(Speakers().muted);
    EXPECT_EQ(mute->GetBitmap(), mute->OnImage());
    EXPECT_EQ(Control(kSpeakers, 0, kVolume).values, session) << "the session volume untouched";
    EXPECT_EQ(Control(kSpeakers, 0, kMute).values, (std::vector<DWORD>{0, 0}));
}

TEST_F(EndpointTest, OutsideChangesArriveFromAnotherThreadAndMoveTheControls) {
    auto volume = Bound(Mode::Volume, kSpeakers, kMain);
    auto balance = Bound(Mode::Balance, kSpeakers, kMain);
    auto mute = Switch();
    ASSERT_TRUE(mute->Bind(kSpeakers, kMain, kMute));
    // The system's volume flyout: every channel at the top, then muted.
    Endpoints().SetLevels(0, std::vector<float>(6, 1.0f));
    Endpoints().SetMuted(0, true);
    app.PumpPending();
    EXPECT_EQ(volume->Position(), 18);
    EXPECT_EQ(balance->Position(), 9);
    EXPECT_EQ(mute->GetBitmap(), mute->OnImage());

    // A notification that comes after the binding closed, or for a window on its way out,
    // does nothing.
    const auto handle = reinterpret_cast<WPARAM>(volume->MixerHandle());
    const LPARAM id = volume->Control().dwControlID;
    HWND window = volume->GetSafeHwnd();
    volume->Close();
    Endpoints().SetLevels(0, std::vector<float>(6, 0.0f));
    std::thread([&] { ::PostMessageA(window, MM_MIXM_CONTROL_CHANGE, handle, id); }).join();
    app.PumpPending();
    EXPECT_EQ(volume->Position(), 18);
    ::DestroyWindow(balance->GetSafeHwnd());
    Endpoints().SetLevels(0, std::vector<float>(6, 0.5f));
    app.PumpPending();
    EXPECT_EQ(Endpoints().Registrations(), 1) << "only the switch still listens";
}

TEST_F(EndpointTest, AnEndpointThatDoesNotAnswerLeavesTheBindingOnTheMixer) {
    using Faults = sim::SimEndpointFaults;
    struct Case {
        const char* name;
        HRESULT Faults::*call;
        bool readAtBind;  // the bind asks for it, so the binding falls back to the mixer
    };
    const Case cases[] = {
        {"channel count", &Faults::channelCount, true}, {"master", &Faults::getMaster, true},
        {"channel level", &Faults::getChannel, true},   {"mute", &Faults::getMute, true},
        {"set master", &Faults::setMaster, false},      {"set channel", &Faults::setChannel, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mixer.UsePerEndpointLayout(true);
        Speakers().faults.*c.call = E_NOTIMPL;
        auto volume = Bound(Mode::Volume, kSpeakers, kMain);
        EXPECT_EQ(volume->OnEndpoint(), !c.readAtBind);
        const std::vector<float> levels = Speakers().levels;
        const int mixerWrites = mixer.Writes();
        Move(*volume, 4);
        app.PumpPending();
        if (c.readAtBind) {
            EXPECT_EQ(Control(kSpeakers, 0, kVolume).values, (std::vector<DWORD>{14560, 14560}));
        } else {
            EXPECT_EQ(mixer.Writes(), mixerWrites) << "a failed write goes nowhere else";
            if (c.call == &Faults::setMaster) {
                EXPECT_EQ(Speakers().levels, levels);
            }
        }
    }

    // As Wine 8 answers: the endpoint is there, its volume calls are not implemented and its
    // mute answers without effect. Every control stays on the mixer.
    mixer.UsePerEndpointLayout(true);
    Speakers().faults = {E_NOTIMPL, E_NOTIMPL, E_NOTIMPL, E_NOTIMPL, E_NOTIMPL, S_OK, S_OK};
    auto volume = Bound(Mode::Volume, kSpeakers, kMain);
    auto mute = Switch();
    ASSERT_TRUE(mute->Bind(kSpeakers, kMain, kMute));
    EXPECT_FALSE(volume->OnEndpoint());
    EXPECT_FALSE(mute->OnEndpoint());
    Click(*mute);
    EXPECT_EQ(Control(kSpeakers, 0, kMute).values, (std::vector<DWORD>{1, 1}));
    EXPECT_FALSE(Speakers().muted);

    // No Core Audio at all, as on Windows XP.
    Endpoints().unavailable = true;
    auto older = Bound(Mode::Volume, kSpeakers, kMain);
    EXPECT_FALSE(older->OnEndpoint());
}

TEST_F(EndpointTest, AnEndpointThatGoesAwayFailsQuietlyAndTheNextBindFindsTheNewState) {
    CMixerControl control;
    ASSERT_TRUE(Open(control, kWaveIn, kMic, kVolume, "Microphone"));
    ASSERT_TRUE(control.OnEndpoint());
    ASSERT_TRUE(control.ReadValues());
    EXPECT_EQ(control.Values()[0], 32768u) << "the mono microphone's master level";
    mixer.SetAdapterPresent(false);
    EXPECT_FALSE(control.ReadValues());
    EXPECT_FALSE(control.WriteValues());
    EXPECT_FALSE(Open(control, kWaveIn, kMic, kVolume, "Microphone"));
    mixer.SetAdapterPresent(true);
    ASSERT_TRUE(Open(control, kWaveIn, kMic, kVolume, "Microphone"));
    EXPECT_TRUE(control.OnEndpoint());
    control.Close();
    EXPECT_EQ(Endpoints().OpenVolumes(), 0);
}

}  // namespace
