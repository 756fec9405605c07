#pragma once

#include <string>

#include "device/DeviceChannel.h"
#include "device/SettingsKey.h"
#include "ui/SkinPage.h"

// The "Filter" page: the adapter's output filter on or off, 2.1 or 5.1 speakers, the bass
// crossover, and the kind of stream playing. Each choice goes to the filter driver at once and is
// stored once the driver accepted it. The first open step that reaches the adapter tells it the
// stored choices; later ones only show them.
class CFilterPage : public CSkinPage {
  public:
    static constexpr UINT_PTR kStreamTimer = 32784;
    static constexpr UINT kStreamPeriod = 300;

    CFilterPage();
    ~CFilterPage() override;

    void OpenPage() override;
    void ClosePage() override;

    bool IsDeviceOpen() const { return m_device.IsOpen(); }

  protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    const fw::MessageMap* GetMessageMap() const override;

  private:
    void OnEnableFilter();
    void OnSpeaker21() { ChooseSpeakers(0); }
    void OnSpeaker51() { ChooseSpeakers(1); }
    void OnBass120() { ChooseBass(0); }
    void OnBass300() { ChooseBass(1); }
    void OnBass450() { ChooseBass(2); }
    void OnTimer(UINT_PTR id);
    LRESULT OnFilterDeclined(WPARAM wp, LPARAM lp);
    void OnDestroy();

    void LoadSettings();
    void ApplyFilter();
    // 0: 2.1 speakers, 1: 5.1 speakers.
    void ChooseSpeakers(int choice);
    // 0: 120 Hz, 1: 300 Hz, 2: 450 Hz.
    void ChooseBass(int choice);
    void EnableChoices(bool enable) const;
    void ShowTransportError() const;
    // A message box runs a nested message loop in which the adapter may go, the settings close or
    // the program end: whether this page is still open on the connection it had before the box.
    bool StillOpen(unsigned connection) const;

    // Page values, exchanged with the controls.
    int m_filterEnable = 0;
    int m_speakerChoice = -1;
    int m_bassChoice = -1;
    std::string m_playingSource;

    CDeviceChannel m_device;
    CSettingsKey m_settings;
    // 1 until an open step reached the adapter and applied the stored settings, then 3.
    int m_firstOpenState = 1;
    int m_failedOpens = 0;
    // Counts open and close steps.
    unsigned m_connection = 0;
};
