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
// It also chooses the mixer's layout: one device with every line, as older Windows has, or one
// device per endpoint with the endpoints' own volumes, as Windows Vista and later have. The
// layout changes only while the adapter is pulled out, as the program finds it on arrival.
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
        std::size_t device = sim::SimMixer::kAdapter;
        int endpoint = -1;  // a row for an endpoint's own volume
    };

    template <int R>
    void OnButton() {
        Toggle(R);
    }
    void OnFail();
    void OnLayout();
    void OnScroll(UINT code, UINT position, HWND bar);
    LRESULT OnRefresh(WPARAM, LPARAM);

    void BuildRows();
    void AddHeader(const std::string& text, int& top);
    void AddRow(const Row& row, int& top);
    void ScrollEndpoint(const Row& row, int part, int position);
    void ShowEndpointRow(int index, const sim::SimEndpoint& endpoint);
    HWND Item(int row, int part) const { return GetDlgItem(RowId(row, part)); }
    sim::SimMixerLine* LineOf(const Row& row);
    sim::SimMixerControl* ControlOf(const Row& row, DWORD type);
    void Toggle(int row);
    void ShowRow(int row);

    sim::SimMixer& m_mixer;
    std::vector<Row> m_rows;
    std::vector<HWND> m_headers;
    bool m_refreshPosted = false;
};
