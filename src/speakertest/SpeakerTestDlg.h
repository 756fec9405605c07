#pragma once

#include "ui/SkinTabCtrl.h"
#include "ui/SkinWindow.h"

class CSpeakerTestPage;

// The speaker test window: a captionless top-level window with one tab, shown by the main window
// in the place of the settings window and hidden again. Its page holds the tests; showing and
// hiding the window opens and closes the page.
class CSpeakerTestDlg : public CSkinWindow {
  public:
    CSpeakerTestDlg();

    // SW_SHOW or SW_HIDE; any other command does nothing.
    void ShowSpeakerTest(int command);
    // Stops what the page runs and lets go of the adapter and the settings.
    void ReleaseSpeakerTest();
    // While this is set the main window does not poll the adapter.
    bool IsVisibleFlagSet() const { return m_visible != 0; }
    // The page in the strip's first entry; null before the window is created.
    CSpeakerTestPage* Page() const;

  protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    const fw::MessageMap* GetMessageMap() const override;

  private:
    void OnClose();
    void Show(CSpeakerTestPage& page);

    int m_visible = 0;
    CSkinTabCtrl m_tabs;
    int m_hides = 0;  // counts hide requests, so a show can tell one came while a box was open
};
