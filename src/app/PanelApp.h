#pragma once

#include <memory>

#include "framework/Handles.h"
#include "framework/WinApp.h"

class CMainDlg;

// The application object: one copy of the program at a time, its hidden main window, and the
// Enter key swallowed everywhere.
class CPanelApp : public CWinApp {
  public:
    // The exit code of a start whose main window could not be created.
    static constexpr int kExitNoMainWindow = 1;

    // mainTemplate: the main window's dialog template (another one only in tests).
    explicit CPanelApp(UINT mainTemplate = 0);
    ~CPanelApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    CMainDlg* MainDialog() const { return m_mainDlg.get(); }

  private:
    UINT m_mainTemplate;
    fw::KernelHandle m_instanceMutex;
    std::unique_ptr<CMainDlg> m_mainDlg;
};
