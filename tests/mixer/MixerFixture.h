#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "framework/WinApp.h"
#include "mixer/MixerSlider.h"
#include "mixer/MixerSwitch.h"
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

    // A slider on a trackbar of the host window, as a page subclasses one from its template.
    std::unique_ptr<CMixerSlider> Slider(CMixerSlider::Mode mode) {
        auto slider = std::make_unique<CMixerSlider>();
        slider->SubclassWindow(Trackbar(mode == CMixerSlider::Mode::Volume));
        slider->SetHorizontalLook(mode == CMixerSlider::Mode::Balance);
        return slider;
    }
    std::unique_ptr<CMixerSlider> Bound(CMixerSlider::Mode mode, DWORD destination, DWORD source,
                                        const char* name = "") {
        auto slider = Slider(mode);
        EXPECT_TRUE(slider->Bind(destination, source, kVolume, mode, name));
        return slider;
    }

    // The user moves the thumb to a position: the trackbar moves and tells its parent.
    void Move(CMixerSlider& slider, int position, UINT code = TB_THUMBTRACK) {
        slider.SetPosition(position);
        const bool vertical = ::GetWindowLongA(slider.GetSafeHwnd(), GWL_STYLE) & TBS_VERT;
        host.SendMessage(vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, 0),
                         reinterpret_cast<LPARAM>(slider.GetSafeHwnd()));
    }

    // A mute switch on a bitmap static of the host window.
    std::unique_ptr<CMixerSwitch> Switch() {
        auto control = std::make_unique<CMixerSwitch>();
        control->SubclassWindow(::CreateWindowExA(0, "STATIC", "", WS_CHILD | SS_BITMAP | SS_NOTIFY,
                                                  0, 0, 44, 13, host.GetSafeHwnd(), nullptr,
                                                  nullptr, nullptr));
        return control;
    }
    // The static tells its parent it was clicked.
    void Click(const CMixerSwitch& control) {
        host.SendMessage(WM_COMMAND, MAKEWPARAM(0, STN_CLICKED),
                         reinterpret_cast<LPARAM>(control.GetSafeHwnd()));
    }

    CWinApp app;
    sim::SimMixer mixer;
    sim::SimSystem system;
    platform::ScopedSeam<platform::IMixer> mixerSeam{mixer};
    platform::ScopedSeam<platform::IAudioEndpoints> endpointSeam{mixer.endpoints};
    platform::ScopedSeam<platform::ISystem> systemSeam{system};
    testing_support::Recorder host;
};

}  // namespace mixer_tests
