#include <cstring>
#include <string>

#include "mixer/MixerControl.h"
#include "mixer/MixerMath.h"
#include "tests/mixer/MixerFixture.h"

namespace {

using namespace mixer_tests;
using sim::SimSystem;

class MixerControlTest : public MixerTest {
  public:
    bool Open(CMixerControl& control, DWORD destination, DWORD source, DWORD type = kVolume,
              const char* name = "") {
        return control.Open(destination, source, type, host.GetSafeHwnd(), name);
    }

    // A failed Open leaves nothing open, allocated or bound.
    static void ExpectClosed(const CMixerControl& control) {
        EXPECT_FALSE(control.IsOpen());
        EXPECT_EQ(control.Values(), nullptr);
        EXPECT_EQ(control.ValueBytes(), 0u);
        EXPECT_FALSE(control.IsBound());
    }

    std::string ProductOf(const CMixerControl& control) {
        MIXERCAPSA caps{};
        mixer.GetDevCaps(reinterpret_cast<UINT_PTR>(control.MixerHandle()), &caps, sizeof(caps));
        return caps.szPname;
    }
};

TEST_F(MixerControlTest, BindsTheFirstMixerWithUsbInItsNameInAnyCase) {
    mixer.Adapter().product = "Quorvel usb audio";
    CMixerControl control;
    ASSERT_TRUE(Open(control, kSpeakers, kWave));
    EXPECT_EQ(ProductOf(control), "Quorvel usb audio");
    EXPECT_EQ(mixer.openCalls, (std::vector<UINT>{0, 1}));
    EXPECT_EQ(mixer.OpenHandles(), 1) << "the onboard mixer tried first is closed again";
    EXPECT_TRUE(control.IsBound());
    EXPECT_STREQ(control.SourceLine().szName, "Wave");
    EXPECT_EQ(control.ValueCount(), 2u);
    EXPECT_EQ(control.ValueBytes(), 8u);

    // Another Open closes the first binding before it starts.
    ASSERT_TRUE(Open(control, kWaveIn, kLine));
    EXPECT_EQ(mixer.OpenHandles(), 1);
    control.Close();
    control.Close();
    ExpectClosed(control);
    EXPECT_EQ(mixer.OpenHandles(), 0);
}

TEST_F(MixerControlTest, FailsWithoutAnAdapterMixerAndLeavesNothingOpen) {
    struct Case {
        const char* name;
        void (*arrange)(sim::SimMixer&);
        std::vector<UINT> opened;
    };
    const Case cases[] = {
        {"no mixer at all", [](sim::SimMixer& m) { m.devices.clear(); }, {}},
        {"adapter unplugged", [](sim::SimMixer& m) { m.SetAdapterPresent(false); }, {0}},
        // A mixer that cannot be opened ends the search before the adapter's is tried.
        {"onboard mixer busy", [](sim::SimMixer& m) { m.devices[0].faults.open = true; }, {0}},
        {"adapter's caps fail", [](sim::SimMixer& m) { m.Adapter().faults.caps = true; }, {0, 1}},
        {"line reads fail", [](sim::SimMixer& m) { m.Adapter().faults.lineInfo = true; }, {0, 1}},
        {"control reads fail",
         [](sim::SimMixer& m) { m.Adapter().faults.lineControls = true; },
         {0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mixer.devices = {sim::SimMixer::OnboardMixer(), sim::SimMixer::AdapterMixer()};
        mixer.Renumber();
        mixer.openCalls.clear();
        c.arrange(mixer);
        CMixerControl control;
        EXPECT_FALSE(Open(control, kSpeakers, kWave));
        ExpectClosed(control);
        EXPECT_EQ(mixer.openCalls, c.opened);
        EXPECT_EQ(mixer.OpenHandles(), 0);
    }
}

TEST_F(MixerControlTest, FindsLinesAndControlsByTypeNameAndUnits) {
    sim::SimMixerLine& speakers = Line(kSpeakers, 0);
    auto source = [](DWORD type, const char* shortName, const char* name) {
        sim::SimMixerLine line;
        line.componentType = type;
        line.shortName = shortName;
        line.name = name;
        sim::SimMixerControl volume;
        volume.type = kVolume;
        volume.maximum = 0xFFFF;
        volume.values = {1, 2};
        line.controls = {volume};
        return line;
    };
    speakers.sources = {
        source(MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED, "Aux", "Aux In"),
        source(MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED, "Digital", "SPDIF In"),
        source(MIXERLINE_COMPONENTTYPE_SRC_DIGITAL, "Digital 2", "Digital In"),
        source(MIXERLINE_COMPONENTTYPE_SRC_DIGITAL, "CD Digital", "CD Player Digital"),
        source(MIXERLINE_COMPONENTTYPE_SRC_ANALOG, "Phone", "Phone"),
        source(MIXERLINE_COMPONENTTYPE_SRC_ANALOG, "Wave", "Wave Out"),
        source(MIXERLINE_COMPONENTTYPE_SRC_LINE, "Line", "Line"),
        source(MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY, "Aux 2", "Aux 2"),
    };
    speakers.sources[6].controls[0].flags = MIXERCONTROL_CONTROLF_UNIFORM;
    speakers.sources[6].controls[0].values = {7};
    speakers.sources[7].controls[0].type = 0x50000001;  // a fader in custom units
    mixer.Renumber();

    struct Case {
        DWORD type;
        const char* name;
        DWORD control;
        const char* bound;  // null: Open fails
        DWORD values;
    };
    const Case cases[] = {
        // The undefined and digital types count only with their telling names.
        {MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED, "", kVolume, "SPDIF In", 2},
        {MIXERLINE_COMPONENTTYPE_SRC_DIGITAL, "", kVolume, "CD Player Digital", 2},
        // "Wave" is found by its short name; the line bound is the first of that name's type.
        {kWave, "Wave", kVolume, "Phone", 0},
        {kWave, "", kVolume, nullptr, 0},
        {kWave, "Speaker", kVolume, nullptr, 0},
        {MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY, "", 0x50000001, nullptr, 0},
        {MIXERLINE_COMPONENTTYPE_SRC_ANALOG, "", kMute, nullptr, 0},
        // A uniform control on a stereo line has one value.
        {kLine, "", kVolume, "Line", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.bound ? c.bound : "fails") + " / " + c.name);
        CMixerControl control;
        const bool opened = Open(control, kSpeakers, c.type, c.control, c.name);
        ASSERT_EQ(opened, c.bound != nullptr);
        if (!opened) {
            ExpectClosed(control);
            continue;
        }
        EXPECT_STREQ(control.SourceLine().szName, c.bound);
        if (c.values) {
            EXPECT_EQ(control.ValueCount(), c.values);
        }
    }
    EXPECT_EQ(mixer.OpenHandles(), 0);
}

TEST_F(MixerControlTest, ReadsAndWritesTheControlAndEveryHandleHearsOfIt) {
    CMixerControl first;
    CMixerControl second;
    ASSERT_TRUE(Open(first, kSpeakers, CMixerControl::kDestinationOnly));
    ASSERT_TRUE(Open(second, kSpeakers, CMixerControl::kDestinationOnly));
    EXPECT_FALSE(first.IsBound()) << "only a source line sets the bound flag";
    ASSERT_TRUE(first.ReadValues());
    EXPECT_EQ(first.Values()[0], 0xC000u);

    first.Values()[0] = 0x1234;
    first.Values()[1] = 0x5678;
    ASSERT_TRUE(first.WriteValues());
    EXPECT_EQ(Control(kSpeakers, 0, kVolume).values, (std::vector<DWORD>{0x1234, 0x5678}));
    ASSERT_EQ(mixer.Notifications().size(), 2u);
    for (const sim::SimMixerNotification& n : mixer.Notifications()) {
        EXPECT_EQ(n.window, host.GetSafeHwnd());
        EXPECT_EQ(n.controlId, first.Control().dwControlID);
    }
    ASSERT_TRUE(second.ReadValues());
    EXPECT_EQ(second.Values()[1], 0x5678u);

    // A control that reports items without being a multiple-item control has none.
    CMixerControl wave;
    Control(kSpeakers, kWave, kVolume).items = 5;
    ASSERT_TRUE(Open(wave, kSpeakers, kWave));
    EXPECT_EQ(wave.ValueCount(), 2u);
    EXPECT_TRUE(wave.ReadValues());
    EXPECT_TRUE(wave.WriteValues());

    mixer.Adapter().faults.readDetails = true;
    mixer.Adapter().faults.writeDetails = true;
    EXPECT_FALSE(first.ReadValues());
    EXPECT_FALSE(first.WriteValues());
    EXPECT_TRUE(first.IsOpen());

    first.Close();
    EXPECT_FALSE(first.ReadValues()) << "a closed binding asks the mixer nothing";
    EXPECT_FALSE(first.WriteValues());
}

TEST_F(MixerControlTest, ItemIndexFollowsThePlatformVersion) {
    struct Case {
        int major;
        int minor;
        DWORD index;  // of the microphone, the third of four recording sources
    };
    const Case cases[] = {{4, 10, 2}, {4, 90, 1}, {5, 0, 2}, {5, 1, 1}, {6, 0, 1}, {6, 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.major) + "." + std::to_string(c.minor));
        system.version = SimSystem::MakeVersion(c.major, c.minor);
        CMixerControl control;
        ASSERT_TRUE(Open(control, kWaveIn, kMic));
        EXPECT_EQ(control.ItemIndex(), c.index);
    }
    EXPECT_EQ(mixer::ItemIndex(SimSystem::MakeVersion(5, 1), 7, 4), 7u) << "no wrap-around";
}

TEST_F(MixerControlTest, AbsurdCountsFailTheBindBeforeAnythingIsAllocated) {
    struct Case {
        const char* name;
        void (*arrange)(sim::SimMixer&);
    };
    const Case cases[] = {
        {"channels",
         [](sim::SimMixer& m) { m.FindLine(kSpeakers, kWave)->reportedChannels = 0x40000000; }},
        {"no channels",
         [](sim::SimMixer& m) { m.FindLine(kSpeakers, kWave)->reportedChannels = 0; }},
        {"controls",
         [](sim::SimMixer& m) { m.FindLine(kSpeakers, kWave)->reportedControls = 0x20000000; }},
        {"no controls",
         [](sim::SimMixer& m) { m.FindLine(kSpeakers, kWave)->reportedControls = 0; }},
        {"connections",
         [](sim::SimMixer& m) { m.FindLine(kSpeakers, 0)->reportedConnections = 0xFFFFFFFF; }},
        {"destinations", [](sim::SimMixer& m) { m.Adapter().reportedDestinations = 0x7FFFFFFF; }},
        {"items",
         [](sim::SimMixer& m) {
             sim::SimMixerControl* volume = m.FindControl(m.FindLine(kSpeakers, kWave), kVolume);
             volume->flags = MIXERCONTROL_CONTROLF_MULTIPLE;
             volume->items = 0x10000000;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mixer.devices = {sim::SimMixer::OnboardMixer(), sim::SimMixer::AdapterMixer()};
        mixer.Renumber();
        c.arrange(mixer);
        CMixerControl control;
        EXPECT_FALSE(Open(control, kSpeakers, kWave));
        ExpectClosed(control);
        EXPECT_EQ(mixer.OpenHandles(), 0);
    }
}

}  // namespace
