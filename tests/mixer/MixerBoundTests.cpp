#include <memory>
#include <string>

#include "mixer/MixerListItem.h"
#include "mixer/MixerSwitch.h"
#include "tests/mixer/MixerFixture.h"

namespace {

using namespace mixer_tests;
using sim::SimSystem;

using MixerSwitchTest = MixerTest;

TEST_F(MixerSwitchTest, ClicksFlipEveryChannelAndOutsideChangesShow) {
    auto mute = Switch();
    ASSERT_TRUE(mute->Bind(kSpeakers, kWave, kMute));
    EXPECT_TRUE(::IsWindowEnabled(mute->GetSafeHwnd()));
    EXPECT_EQ(mute->GetBitmap(), mute->OffImage());
    sim::SimMixerControl& wave = Control(kSpeakers, kWave, kMute);

    Click(*mute);
    EXPECT_EQ(wave.values, (std::vector<DWORD>{1, 1}));
    EXPECT_EQ(mute->GetBitmap(), mute->OnImage());
    Click(*mute);
    EXPECT_EQ(wave.values, (std::vector<DWORD>{0, 0}));
    EXPECT_EQ(mute->GetBitmap(), mute->OffImage());

    // Muted in the system's volume panel.
    mixer.SetValues(wave, {1, 1});
    app.PumpPending();
    EXPECT_EQ(mute->GetBitmap(), mute->OnImage());
    // Another control's notification changes nothing.
    mixer.SetValues(Control(kSpeakers, kWave, kVolume), {5, 5});
    wave.values = {0, 0};
    app.PumpPending();
    EXPECT_EQ(mute->GetBitmap(), mute->OnImage());

    wave.values = {0, 0};
    mute->SwitchOn();
    EXPECT_EQ(wave.values, (std::vector<DWORD>{1, 1}));
    ::DestroyWindow(mute->GetSafeHwnd());
    EXPECT_EQ(mixer.OpenHandles(), 0);
}

TEST_F(MixerSwitchTest, WithoutABindingItIsDisabledAndIgnoresClicks) {
    auto mute = Switch();
    EXPECT_FALSE(mute->Bind(kSpeakers, kWave, kVolume)) << "not a switch";
    mixer.SetAdapterPresent(false);
    EXPECT_FALSE(mute->Bind(kSpeakers, kWave, kMute));
    EXPECT_FALSE(::IsWindowEnabled(mute->GetSafeHwnd()));
    EXPECT_EQ(mute->GetBitmap(), mute->UnboundImage());
    Click(*mute);
    EXPECT_EQ(mixer.Writes(), 0);

    // Bound, then closed (the adapter went away): clicks and late notifications do nothing.
    mixer.SetAdapterPresent(true);
    ASSERT_TRUE(mute->Bind(kSpeakers, kWave, kMute));
    mixer.SetValues(Control(kSpeakers, kWave, kMute), {1, 1});
    mute->Close();
    app.PumpPending();
    Click(*mute);
    EXPECT_EQ(mixer.Writes(), 0);
    EXPECT_EQ(mute->GetBitmap(), mute->OffImage());
}

class MixerListItemTest : public MixerTest {
  public:
    bool Bind(CMixerListItem& item, DWORD type, const char* name) {
        return item.Bind(kWaveIn, CMixerControl::kDestinationOnly, kMux, type, host.GetSafeHwnd(),
                         name);
    }
    sim::SimMixerControl& Mux() { return Control(kWaveIn, 0, kMux); }
};

TEST_F(MixerListItemTest, SelectsItsEntryOnTheVersionsListOrder) {
    CMixerListItem microphone;
    CMixerListItem line;
    ASSERT_TRUE(Bind(microphone, kMic, "Mic"));
    ASSERT_TRUE(Bind(line, kLine, "Line In"));
    EXPECT_EQ(RecordingMuxId(), Mux().id);
    EXPECT_EQ(microphone.ItemIndex(), 1u) << "the third of four sources on 5.1";

    line.Select(1);
    EXPECT_EQ(Mux().values, (std::vector<DWORD>{0, 0, 1, 0}));
    DWORD state = 7;
    microphone.GetState(state);
    EXPECT_EQ(state, 0u);
    microphone.Select(1);
    EXPECT_EQ(Mux().values, (std::vector<DWORD>{0, 1, 0, 0}));
    line.GetState(state);
    EXPECT_EQ(state, 0u);

    microphone.Close();
    state = 7;
    microphone.GetState(state);
    EXPECT_EQ(state, 7u) << "an unbound item leaves the state alone";
    const int writes = mixer.Writes();
    microphone.Select(1);
    EXPECT_EQ(mixer.Writes(), writes);
}

TEST_F(MixerListItemTest, FindsItsEntryByTextOrStaysUnbound) {
    // No source of the microphone's type, but an item text holding "Mic".
    Line(kWaveIn, kMic).componentType = MIXERLINE_COMPONENTTYPE_SRC_ANALOG;
    CMixerListItem microphone;
    ASSERT_TRUE(Bind(microphone, kMic, "Mic"));
    EXPECT_EQ(microphone.ItemIndex(), 1u);
    EXPECT_TRUE(microphone.IsBound());
    CMixerListItem other;
    EXPECT_FALSE(Bind(other, kMic, "")) << "no name to look for";
    EXPECT_FALSE(other.IsOpen());
    EXPECT_FALSE(Bind(other, kMic, "Phono"));
    EXPECT_FALSE(other.Bind(kWaveIn, CMixerControl::kDestinationOnly, kVolume, kLine,
                            host.GetSafeHwnd(), ""))
        << "not a switch or list control";
}

TEST_F(MixerListItemTest, AnEntryOutsideTheValuesLeavesTheItemUnbound) {
    // Two items for four sources: on 4.10 the microphone's entry by type would be 2.
    system.version = SimSystem::MakeVersion(4, 10);
    sim::SimMixerControl& mux = Mux();
    mux.items = 2;
    mux.itemTexts = {"CD Player", "Line In"};
    mux.values = {1, 0};
    CMixerListItem microphone;
    EXPECT_FALSE(Bind(microphone, kMic, "Mic"));
    EXPECT_FALSE(microphone.IsOpen());
    microphone.Select(1);
    CMixerListItem line;
    ASSERT_TRUE(Bind(line, kLine, "Line In"));
    EXPECT_EQ(line.ItemIndex(), 1u);
    line.Select(1);
    EXPECT_EQ(mux.values, (std::vector<DWORD>{0, 1}));
}

}  // namespace
