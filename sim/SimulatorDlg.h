#pragma once

#include <cstddef>

#include "framework/Dialog.h"
#include "sim/SimWorld.h"

// The "Adapter simulator" window of the simulator build: plug the adapter in or pull it out,
// choose the stream that plays, make the driver fail, and watch its state and requests.
class CSimulatorDlg : public CDialog {
  public:
    explicit CSimulatorDlg(sim::SimWorld& world);
    ~CSimulatorDlg() override;

  protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    // The simulator stays a window of its own: hiding the settings must not hide it.
    HWND DefaultOwner() const override { return nullptr; }
    const fw::MessageMap* GetMessageMap() const override;

  private:
    void OnPlug();
    void OnStreamNone();
    void OnStreamTwo();
    void OnStreamFive();
    void OnInstalled();
    void OnInstallResult();
    void OnFailOpens();
    void OnFailCodeSelected();
    void OnFailCode();
    void OnFailNext();
    void OnClear();
    LRESULT OnRefresh(WPARAM, LPARAM);

    void SetStream(device::StreamKind kind);
    DWORD SelectedCode() const;
    void ShowState() const;
    void ShowLog();

    sim::SimWorld& m_world;
    bool m_refreshPosted = false;
    std::size_t m_logShown = 0;
    // The last line of the log: the number of its first request and how many it stands for.
    std::size_t m_runStart = 0;
    int m_runLength = 0;
};
