#pragma once

#include <array>

#include "mixer/MixerSlider.h"
#include "mixer/MixerSwitch.h"
#include "ui/SkinPage.h"

// The "Main Volume" page: volume, balance and mute of five playback lines of the adapter's mixer
// side by side (the main output, wave, SW synth, line and microphone), each with a Reset button
// that puts the volume in the middle. Every control is bound to the mixer on its own; the page
// binds, releases and arranges them.
class CMixerVolumePage : public CSkinPage {
  public:
    static constexpr int kColumns = 5;

    CMixerVolumePage();

    // Binds every control; each binding is closed first.
    void Bind();
    // Closes every binding; the controls stay enabled.
    BOOL Release();
    // The first start: microphone playback muted, every bound volume in the middle.
    void FirstLaunchDefaults();

    void OpenPage() override { Bind(); }
    void ClosePage() override { Release(); }

    CMixerSlider& Volume(int column) { return m_volumes[Index(column)]; }
    CMixerSlider& Balance(int column) { return m_balances[Index(column)]; }
    CMixerSwitch& Switch(int column) { return m_switches[Index(column)]; }

  protected:
    BOOL OnInitDialog() override;
    const fw::MessageMap* GetMessageMap() const override;

  private:
    static std::size_t Index(int column) { return static_cast<std::size_t>(column); }
    template <int Column>
    void OnReset() {
        Reset(Column);
    }
    void Reset(int column);
    void OnDrawItem(UINT id, DRAWITEMSTRUCT& item);

    std::array<CMixerSwitch, kColumns> m_switches;
    std::array<CMixerSlider, kColumns> m_volumes;
    std::array<CMixerSlider, kColumns> m_balances;
};
