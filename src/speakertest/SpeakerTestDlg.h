#pragma once

#include "ui/SkinTabCtrl.h"
#include "ui/SkinWindow.h"

// The speaker test window: a captionless top-level window with one tab, shown by the main window
// in the place of the settings window and hidden again. Its page holds the tests.
class CSpeakerTestDlg : public CSkinWindow {
  public:
    CSpeakerTestDlg();

    // SW_SHOW or SW_HIDE; any other command does nothing.
    void ShowSpeakerTest(int command);
    // Stops what the page runs and lets go of the adapter and the settings.
    void ReleaseSpeakerTest();
    // While this is set the main window does not poll the adapter.
    bool IsVisibleFlagSet() const { return m_visible != 0; }

  protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    const fw::MessageMap* GetMessageMap() const override;

  private:
    void OnClose();

    int m_visible = 0;
    CSkinTabCtrl m_tabs;
};
