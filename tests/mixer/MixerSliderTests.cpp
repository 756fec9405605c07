#include <cmath>
#include <memory>
#include <string>

#include "mixer/MixerMath.h"
#include "mixer/MixerSlider.h"
#include "tests/mixer/MixerFixture.h"
#include "tests/support/Canvas.h"

namespace mixer {
void PrintTo(const Channels& c, std::ostream* out) {
    *out << "{" << c.left << ", " << c.right << "}";
}
}  // namespace mixer

namespace {

using namespace mixer_tests;
using mixer::Channels;
using Mode = CMixerSlider::Mode;

TEST(MixerMath, TheWorkedExamplesOfAFullRangeControl) {
    const mixer::Scale scale = mixer::ScaleOf(0, 65535);
    EXPECT_EQ(scale.step, 3640);
    EXPECT_EQ(mixer::ThumbValue(18, scale), 65520u) << "just below the maximum";

    // Both channels full: volume at the top, balance centred.
    float ratio = 0.5f;
    ASSERT_TRUE(mixer::BalanceRatio(65535, 65535, ratio));
    EXPECT_EQ(mixer::VolumePosition(65535, scale), 18);
    EXPECT_EQ(mixer::BalancePosition(ratio), 9);

    // Left 65535, right 32767: the ratio is negative (signed), the balance thumb at 4.
    ASSERT_TRUE(mixer::BalanceRatio(65535, 32767, ratio));
    EXPECT_NEAR(ratio, -32768.0 / 65535.0, 1e-6);
    EXPECT_EQ(mixer::BalancePosition(ratio), 4);
    EXPECT_EQ(mixer::VolumeWrite(mixer::ThumbValue(9, scale), ratio, {65535, 32767}, true),
              (Channels{32760, 16379}));
    ASSERT_TRUE(mixer::BalanceRatio(1000, 4000, ratio));
    EXPECT_EQ(mixer::VolumeWrite(3640, ratio, {1000, 4000}, true), (Channels{910, 3640}));
    EXPECT_EQ(mixer::VolumeWrite(3640, ratio, {1000, 4000}, false), (Channels{3640, 4000}));

    // Both channels silent: no ratio, the volume at the bottom.
    EXPECT_FALSE(mixer::BalanceRatio(0, 0, ratio));
    EXPECT_EQ(mixer::VolumePosition(0, scale), 0);

    struct Case {
        int position;
        Channels written;
    };
    const Case balance[] = {
        // (1 − 65520/65535) × 131070 is about 30 and truncates to 29: never 0.
        {18, {29, 65535}},
        {0, {65535, 0}},
        // 32760 is not above half the span, 32767.
        {9, {65535, 65520}},
    };
    for (const Case& c : balance) {
        SCOPED_TRACE(c.position);
        EXPECT_EQ(
            mixer::BalanceWrite(mixer::ThumbValue(c.position, scale), c.position, scale, 65535),
            c.written);
    }
}

TEST(MixerMath, OddBoundsStayDefined) {
    // Fewer than 18 steps: the positions spread over the span instead of all writing 0.
    const mixer::Scale small = mixer::ScaleOf(0, 10);
    EXPECT_EQ(small.step, 0);
    EXPECT_EQ(mixer::ThumbValue(18, small), 10u);
    EXPECT_EQ(mixer::ThumbValue(9, small), 5u);
    EXPECT_EQ(mixer::VolumePosition(10, small), 18);
    EXPECT_EQ(mixer::VolumePosition(5, small), 9);
    EXPECT_EQ(mixer::BalanceWrite(10, 18, small, 10), (Channels{0, 10}));

    // No span at all, or reversed bounds: nothing to divide by.
    for (const mixer::Scale none : {mixer::ScaleOf(7, 7), mixer::ScaleOf(100, 50)}) {
        EXPECT_EQ(none.range, 0);
        EXPECT_EQ(mixer::ThumbValue(18, none), 0u);
        EXPECT_EQ(mixer::VolumePosition(0xFFFFFFFF, none), 0);
        EXPECT_EQ(mixer::BalanceWrite(0, 18, none, 1000), (Channels{0, 1000}));
        EXPECT_EQ(mixer::BalanceWrite(0, 0, none, 1000), (Channels{1000, 0}));
        EXPECT_EQ(mixer::BalanceWrite(0, 9, none, 1000), (Channels{1000, 1000}));
    }

    // A 32-bit span: no overflow on the way, positions inside 0..18.
    const mixer::Scale wide = mixer::ScaleOf(0, 0xFFFFFFFF);
    const DWORD middle = mixer::ThumbValue(9, wide);
    EXPECT_EQ(mixer::BalanceWrite(middle, 9, wide, 0xFFFFFFFF).right, 2 * middle);
    EXPECT_EQ(mixer::VolumePosition(0xFFFFFFFF, wide), 18);
    EXPECT_EQ(mixer::VolumePosition(0xFFFFFFFF, mixer::ScaleOf(0, 18)), 18) << "clamped";
    EXPECT_EQ(mixer::BalancePosition(std::nanf("")), 9);
    EXPECT_EQ(mixer::BalancePosition(3.0f), 18);
}

TEST(MixerMath, KnobSitsOnTheTrackbarsThumb) {
    const SIZE knob{10, 21};
    const RECT vertical = mixer::KnobRect({2, 30, 24, 40}, true, knob);
    EXPECT_TRUE(::EqualRect(&vertical, std::make_unique<RECT>(RECT{4, 25, 14, 46}).get()));
    const RECT top = mixer::KnobRect({2, 0, 24, 6}, true, knob);
    EXPECT_EQ(top.top, 0) << "never above the control";
    const RECT horizontal = mixer::KnobRect({20, 3, 31, 13}, false, knob);
    EXPECT_TRUE(::EqualRect(&horizontal, std::make_unique<RECT>(RECT{20, 0, 30, 21}).get()));
}

class MixerSliderTest : public MixerTest {
  public:
    static bool Enabled(const CMixerSlider& slider) {
        return ::IsWindowEnabled(slider.GetSafeHwnd()) != FALSE;
    }
};

TEST_F(MixerSliderTest, ShowsAndWritesAStereoLineBothWays) {
    auto volume = Bound(Mode::Volume, kSpeakers, kWave);
    auto balance = Bound(Mode::Balance, kSpeakers, kWave);
    EXPECT_TRUE(Enabled(*volume));
    EXPECT_EQ(volume->Position(), 18);
    EXPECT_EQ(volume->GetPos(), 0) << "a vertical trackbar holds 18 − position";
    EXPECT_EQ(balance->Position(), 6) << "right at three quarters of left";

    Move(*volume, 9);
    sim::SimMixerControl& wave = Control(kSpeakers, kWave, kVolume);
    EXPECT_EQ(wave.values, (std::vector<DWORD>{32760, 24570}));
    app.PumpPending();
    EXPECT_EQ(volume->Position(), 9);
    EXPECT_EQ(balance->Position(), 6);

    // The balance keeps the louder channel's level.
    Move(*balance, 18, TB_ENDTRACK);
    EXPECT_EQ(wave.values[1], 32760u);
    EXPECT_LT(wave.values[0], 100u);
    app.PumpPending();
    EXPECT_EQ(volume->Position(), 9);
    EXPECT_EQ(balance->Position(), 17) << "the left channel's 14 of 32760 truncates to 17";

    // A change made elsewhere moves both thumbs.
    mixer.SetValues(wave, {0, 0xFFFF});
    app.PumpPending();
    EXPECT_EQ(volume->Position(), 18);
    EXPECT_EQ(balance->Position(), 18);
    mixer.SetValues(wave, {0, 0});
    app.PumpPending();
    EXPECT_EQ(volume->Position(), 0);
    EXPECT_EQ(balance->Position(), 18) << "silence leaves the balance where it was";
    EXPECT_EQ(balance->Ratio(), 1.0f);
}

TEST_F(MixerSliderTest, TwoSlidersOnOneControlStayInStep) {
    auto first = Bound(Mode::Volume, kSpeakers, CMixerControl::kDestinationOnly);
    auto second = Bound(Mode::Volume, kSpeakers, CMixerControl::kDestinationOnly);
    Move(*first, 3, TB_PAGEDOWN);
    app.PumpPending();
    EXPECT_EQ(second->Position(), 3);
    EXPECT_EQ(Control(kSpeakers, 0, kVolume).values, (std::vector<DWORD>{10920, 10920}));
}

TEST_F(MixerSliderTest, OnlyPagingAndTrackingWrite) {
    auto volume = Bound(Mode::Volume, kSpeakers, kWave);
    auto balance = Bound(Mode::Balance, kSpeakers, kWave);
    for (UINT code = TB_LINEUP; code <= TB_ENDTRACK; ++code) {
        for (CMixerSlider* slider : {volume.get(), balance.get()}) {
            SCOPED_TRACE(std::to_string(code));
            const int before = mixer.Writes();
            Move(*slider, 5, code);
            const bool writes = code == TB_PAGEUP || code == TB_PAGEDOWN || code == TB_THUMBTRACK ||
                                code == TB_ENDTRACK;
            EXPECT_EQ(mixer.Writes() - before, writes ? 1 : 0);
        }
    }
}

TEST_F(MixerSliderTest, TakesOnlyNotificationsForItsOwnHandleAndControl) {
    auto volume = Bound(Mode::Volume, kSpeakers, kWave);
    app.PumpPending();
    sim::SimMixerControl& wave = Control(kSpeakers, kWave, kVolume);
    wave.values = {3640, 3640};  // changed without telling anyone
    const auto handle = reinterpret_cast<WPARAM>(volume->MixerHandle());
    const LPARAM id = volume->Control().dwControlID;
    volume->SendMessage(MM_MIXM_CONTROL_CHANGE, handle + 4, id);
    volume->SendMessage(MM_MIXM_CONTROL_CHANGE, handle, id + 1);
    EXPECT_EQ(volume->Position(), 18);
    volume->SendMessage(MM_MIXM_CONTROL_CHANGE, handle, id);
    EXPECT_EQ(volume->Position(), 1);

    // A notification for a binding just closed, or for a window being destroyed, does nothing.
    volume->Close();
    wave.values = {0xFFFF, 0xFFFF};
    volume->SendMessage(MM_MIXM_CONTROL_CHANGE, handle, id);
    EXPECT_EQ(volume->Position(), 1);
    auto other = Bound(Mode::Volume, kSpeakers, kWave);
    mixer.SetValues(wave, {7280, 7280});
    ::DestroyWindow(other->GetSafeHwnd());
    EXPECT_EQ(mixer.OpenHandles(), 0) << "destroying the window closes its binding";
    app.PumpPending();
}

TEST_F(MixerSliderTest, MonoLinesAndMissingMixersLeaveTheBalanceCentred) {
    auto volume = Bound(Mode::Volume, kSpeakers, kMic);
    auto balance = Slider(Mode::Balance);
    balance->SetPosition(2);
    EXPECT_FALSE(balance->Bind(kSpeakers, kMic, kVolume, Mode::Balance, "Microphone"));
    EXPECT_FALSE(Enabled(*balance));
    EXPECT_EQ(balance->Position(), 9);
    EXPECT_FALSE(balance->IsOpen());
    Move(*volume, 9);
    EXPECT_EQ(Control(kSpeakers, kMic, kVolume).values, (std::vector<DWORD>{32760}));

    // No adapter: both disabled with the thumb in the middle of 0..18; centring only moves it.
    mixer.SetAdapterPresent(false);
    for (Mode mode : {Mode::Volume, Mode::Balance}) {
        auto slider = Slider(mode);
        EXPECT_FALSE(slider->Bind(kSpeakers, kWave, kVolume, mode, "Wave"));
        EXPECT_FALSE(Enabled(*slider));
        EXPECT_EQ(slider->GetRangeMin(), 0);
        EXPECT_EQ(slider->GetRangeMax(), 18);
        EXPECT_EQ(slider->Position(), 9);
        slider->SetPosition(0);
        EXPECT_EQ(slider->SendMessage(WM_MIXSLIDER_CENTRE), 1);
        EXPECT_EQ(slider->Position(), 9);
    }
    EXPECT_EQ(mixer.Writes(), 1);
}

TEST_F(MixerSliderTest, AUniformControlOnAStereoLineActsAsMono) {
    sim::SimMixerControl& line = Control(kSpeakers, kLine, kVolume);
    line.flags = MIXERCONTROL_CONTROLF_UNIFORM;
    line.values = {0x4000};
    auto volume = Bound(Mode::Volume, kSpeakers, kLine);
    EXPECT_EQ(volume->ValueCount(), 1u);
    EXPECT_FALSE(volume->IsStereo());
    EXPECT_EQ(volume->Position(), 4);
    Move(*volume, 9);
    EXPECT_EQ(line.values, (std::vector<DWORD>{32760}));
    auto balance = Slider(Mode::Balance);
    EXPECT_FALSE(balance->Bind(kSpeakers, kLine, kVolume, Mode::Balance, "Line"));
    EXPECT_EQ(balance->Position(), 9);
}

TEST_F(MixerSliderTest, CentringWritesTheMiddleAndKeepsTheBalance) {
    sim::SimMixerControl& wave = Control(kSpeakers, kWave, kVolume);
    auto volume = Bound(Mode::Volume, kSpeakers, kWave);
    volume->CentreAndApply();
    EXPECT_EQ(volume->Position(), 9);
    EXPECT_EQ(wave.values, (std::vector<DWORD>{32760, 24570}));
    Move(*volume, 0);
    EXPECT_EQ(volume->SendMessage(WM_MIXSLIDER_CENTRE), 1);
    EXPECT_EQ(wave.values[0], 32760u);
}

TEST_F(MixerSliderTest, OddRangesKeepThePositionsInside) {
    struct Case {
        DWORD maximum;
        int top;         // where a full channel puts the thumb
        DWORD topValue;  // what the top position writes
    };
    const Case cases[] = {{10, 18, 10}, {0, 0, 0}, {0xFFFFFFFF, 18, 18 * (0xFFFFFFFFu / 18)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.maximum);
        sim::SimMixerControl& wave = Control(kSpeakers, kWave, kVolume);
        wave.maximum = c.maximum;
        wave.values = {c.maximum, c.maximum};
        auto volume = Bound(Mode::Volume, kSpeakers, kWave);
        auto balance = Bound(Mode::Balance, kSpeakers, kWave);
        EXPECT_EQ(volume->Position(), c.top);
        EXPECT_EQ(balance->Position(), 9);
        Move(*volume, 18);
        EXPECT_EQ(wave.values[0], c.topValue);
        Move(*balance, 0);
        Move(*balance, 18);
        app.PumpPending();
        EXPECT_LE(balance->Position(), 18);
    }
}

TEST_F(MixerSliderTest, PaintsItsSkinWithoutErasing) {
    auto volume = Bound(Mode::Volume, kSpeakers, kWave);
    auto balance = Bound(Mode::Balance, kSpeakers, kWave);
    for (CMixerSlider* slider : {volume.get(), balance.get()}) {
        EXPECT_EQ(slider->SendMessage(WM_ERASEBKGND, 0), 0);
    }
    // The horizontal knob: a grey face with a light top-left edge.
    const testing_support::Canvas horizontal(balance->GetSafeHwnd());
    const RECT knob = mixer::KnobRect(balance->GetThumbRect(), false, {10, 21});
    EXPECT_EQ(horizontal.At(knob.left + 4, knob.top + 3), RGB(100, 100, 100));
    EXPECT_EQ(horizontal.At(knob.left + 2, knob.top + 1), RGB(200, 200, 200));

    // The vertical knob: bitmap 142 drawn where the thumb is, over the track bitmap.
    const testing_support::Canvas vertical(volume->GetSafeHwnd());
    const RECT thumb = mixer::KnobRect(volume->GetThumbRect(), true, {10, 21});
    int knobPixels = 0;
    int trackPixels = 0;
    for (int y = 0; y < vertical.Height(); ++y) {
        const COLORREF p = vertical.At(thumb.left + 4, y);
        const bool inKnob = y >= thumb.top && y < thumb.bottom - 1;
        (inKnob ? knobPixels : trackPixels) += p != RGB(1, 2, 3);
    }
    EXPECT_GT(knobPixels, 15);
    EXPECT_GT(trackPixels, 15);
}

TEST_F(MixerSliderTest, LosingTheCaptureWhilePressedReleasesIt) {
    auto volume = Bound(Mode::Volume, kSpeakers, kWave);
    ::SetCapture(host.GetSafeHwnd());
    volume->SendMessage(WM_CAPTURECHANGED, 0, 0);
    EXPECT_EQ(::GetCapture(), nullptr) << "the pressed flag starts set";
    volume->SendMessage(WM_LBUTTONUP, 0, 0);
    ::SetCapture(host.GetSafeHwnd());
    volume->SendMessage(WM_CAPTURECHANGED, 0, 0);
    EXPECT_EQ(::GetCapture(), host.GetSafeHwnd());
    ::ReleaseCapture();
}

}  // namespace
