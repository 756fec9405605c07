#pragma once

#include "framework/Dialog.h"
#include "framework/TabCtrl.h"

// The speaker test window: a captionless top-level window that the main window shows in the
// place of the settings window and hides again. Its page holds the tests.
class CSpeakerTestDlg : public CDialog {
  public:
    CSpeakerTestDlg();

    // SW_SHOW or SW_HIDE; any other command does nothing.
    void ShowSpeakerTest(int command);
    // Stops what the page runs and lets go of the adapter and the settings.
    void ReleaseSpeakerTest();
    // While this is set the main window does not poll the adapter.
    bool IsVisibleFlagSet() const { return m_visible != 0; }

  protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnCancel() override;
    const fw::MessageMap* GetMessageMap() const override;

  private:
    void OnClose();

    int m_visible = 0;
    CTabCtrl m_tabs;
};
