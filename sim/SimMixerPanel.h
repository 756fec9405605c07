#pragma once

#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "sim/SimMixer.h"
#include "sim/sim_mixer_resource.h"

// The "System mixer" panel of the simulator window: the adapter's mixer as the system's own
// volume panel shows it. Each playback line has a volume, a balance and a mute; each recording
// source a level, a balance and a choice as the recording source. Changes made here reach the
// program through the mixer's notifications, and the panel follows what the program writes.
class CSimMixerPanel : public CDialog {
  public:
    static constexpr int kMaxRows = 10;
    static constexpr int kRowIds = 10;
    // Offsets of a row's controls from its first id.
    static constexpr int kLabel = 0;
    static constexpr int kValues = 1;
    static constexpr int kVolume = 2;
    static constexpr int kBalance = 3;
    static constexpr int kButton = 4;  // Mute, or Record for a recording source
    static constexpr int RowId(int row, int part) {
        return IDC_SIM_MIXER_ROWS + row * kRowIds + part;
    }

    explicit CSimMixerPanel(sim::SimMixer& mixer);
    ~CSimMixerPanel() override;

  protected:
    BOOL OnInitDialog() override;
    const fw::MessageMap* GetMessageMap() const override;

  private:
    struct Row {
        DWORD destination;
        DWORD source;  // 0: the destination line itself
        std::string label;
        bool recording;
    };

    template <int R>
    void OnButton() {
        Toggle(R);
    }
    void OnFail();
    void OnScroll(UINT code, UINT position, HWND bar);
    LRESULT OnRefresh(WPARAM, LPARAM);

    void AddRow(int index, const Row& row, int top);
    HWND Item(int row, int part) const { return GetDlgItem(RowId(row, part)); }
    sim::SimMixerLine* LineOf(const Row& row);
    sim::SimMixerControl* ControlOf(const Row& row, DWORD type);
    void Toggle(int row);
    void ShowRow(int row);

    sim::SimMixer& m_mixer;
    std::vector<Row> m_rows;
    bool m_refreshPosted = false;
};
