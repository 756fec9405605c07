#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include <gtest/gtest.h>

#include "framework/WinApp.h"
#include "platform/Seams.h"
#include "sim/SimMixer.h"
#include "sim/SimServices.h"
#include "tests/support/SimEnvironment.h"

namespace mixer_tests {

inline constexpr DWORD kSpeakers = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
inline constexpr DWORD kWaveIn = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
inline constexpr DWORD kWave = MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
inline constexpr DWORD kSynth = MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER;
inline constexpr DWORD kLine = MIXERLINE_COMPONENTTYPE_SRC_LINE;
inline constexpr DWORD kMic = MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
inline constexpr DWORD kCd = MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC;
inline constexpr DWORD kVolume = MIXERCONTROL_CONTROLTYPE_VOLUME;
inline constexpr DWORD kMute = MIXERCONTROL_CONTROLTYPE_MUTE;
inline constexpr DWORD kMux = MIXERCONTROL_CONTROLTYPE_MUX;

// The system's mixers as the simulator gives them, a version that tests set, and a window that
// takes the mixer's notifications and hosts controls (it hands their scroll messages back to
// them, as a dialog does).
class MixerTest : public testing::Test {
  public:
    ~MixerTest() override {
        app.PumpPending();
        EXPECT_EQ(mixer.BadCloses(), 0);
    }

    // A control of the adapter's mixer; source 0 means the destination line itself.
    sim::SimMixerControl& Control(DWORD destination, DWORD source, DWORD type) {
        sim::SimMixerControl* control =
            mixer.FindControl(mixer.FindLine(destination, source), type);
        EXPECT_NE(control, nullptr);
        static sim::SimMixerControl none;
        return control ? *control : none;
    }
    sim::SimMixerLine& Line(DWORD destination, DWORD source) {
        sim::SimMixerLine* line = mixer.FindLine(destination, source);
        EXPECT_NE(line, nullptr);
        static sim::SimMixerLine none;
        return line ? *line : none;
    }

    HWND Trackbar(bool vertical) const {
        const DWORD style =
            WS_CHILD | WS_VISIBLE | TBS_BOTH | TBS_NOTICKS | (vertical ? TBS_VERT : TBS_HORZ);
        return ::CreateWindowExA(0, TRACKBAR_CLASSA, "", style, 0, 0, vertical ? 26 : 40,
                                 vertical ? 60 : 16, host.GetSafeHwnd(), nullptr, nullptr, nullptr);
    }

    CWinApp app;
    sim::SimMixer mixer;
    sim::SimSystem system;
    platform::ScopedSeam<platform::IMixer> mixerSeam{mixer};
    platform::ScopedSeam<platform::ISystem> systemSeam{system};
    testing_support::Recorder host;
};

}  // namespace mixer_tests
