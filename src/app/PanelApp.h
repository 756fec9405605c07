#pragma once

#include <memory>

#include "framework/Handles.h"
#include "framework/WinApp.h"

class CMainDlg;

// The application object: one copy of the program at a time, its hidden main window, and the
// Enter key swallowed everywhere.
class CPanelApp : public CWinApp {
  public:
    CPanelApp();
    ~CPanelApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    CMainDlg* MainDialog() const { return m_mainDlg.get(); }

  private:
    fw::KernelHandle m_instanceMutex;
    std::unique_ptr<CMainDlg> m_mainDlg;
};
