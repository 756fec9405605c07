#pragma once

#include <array>

#include "device/DeviceChannel.h"
#include "device/SettingsKey.h"
#include "ui/BitmapSlider.h"
#include "ui/SkinPage.h"

// The "Speaker" page: a level from +20 dB to -20 dB in steps of 1 dB for each of the six output
// channels, with a Reset to 0 dB under each. Each change goes to the filter driver at once and is
// stored once the driver accepted it; every open step shows the stored gains and sends all six.
class CChannelLevelPage : public CSkinPage {
  public:
    static constexpr int kChannels = 6;

    CChannelLevelPage();

    void OpenPage() override;
    void ClosePage() override;

    // The page's gain of one channel, in the page's order L, R, LFE, C, RL, RR.
    float Gain(int index) const { return m_gains[static_cast<std::size_t>(index)]; }
    const CBitmapSlider& Slider(int index) const {
        return m_sliders[static_cast<std::size_t>(index)];
    }

  protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    const fw::MessageMap* GetMessageMap() const override;

  private:
    void OnVScroll(UINT code, UINT position, HWND bar);
    template <int Index>
    void OnReset() {
        ResetChannel(Index);
    }
    void OnDrawItem(UINT id, DRAWITEMSTRUCT& item);

    void InitSliders();
    void RestoreGains();
    void SendAllGains() const;
    void ResetChannel(int index);
    int SliderIndex(HWND bar) const;
    void ShowTransportError() const;

    std::array<CBitmapSlider, kChannels> m_sliders;
    std::array<float, kChannels> m_gains{1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
    CDeviceChannel m_device;
    CSettingsKey m_settings;
    int m_failedOpens = 0;
};
