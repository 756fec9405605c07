#pragma once

#include <windows.h>
#include <dbt.h>

#include <memory>

#include "app/MainDlg.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "tests/support/SimEnvironment.h"

namespace testing_support {

// The program's main window on the simulated world, driven as the system drives it: its poll
// timer, device changes and menu commands sent straight to it. Each test ends with the window
// gone and nothing left open.
class MainWindowFixture : public SimEnvironment {
  public:
    void TearDown() override {
        main.reset();
        app.PumpPending();
        ExpectNothingLeaked();
    }

    void Start() {
        main = std::make_unique<CMainDlg>();
        app.m_pMainWnd = main.get();
        main->Create(IDD_MAIN, nullptr);
    }

    HWND Main() const { return main->GetSafeHwnd(); }
    void Poll() const { main->SendMessage(WM_TIMER, CMainDlg::kPollTimer); }
    void Notify(int times, WPARAM event = DBT_DEVNODES_CHANGED) const {
        for (int i = 0; i < times; ++i)
            main->SendMessage(WM_DEVICECHANGE, event);
    }
    void Command(UINT id) const { main->SendMessage(WM_COMMAND, id); }
    // The adapter pulled out; plugged in again, with the two notifications after which the main
    // window takes an arrival as real (Windows 2000 and later).
    void PullOut() {
        world.SetPlugged(false);
        Notify(1);
    }
    void PlugIn() {
        world.SetPlugged(true);
        Notify(2);
    }
    bool Polling() const {
        return Main() && TimerRunning(Main(), CMainDlg::kPollTimer, CMainDlg::kPollPeriod);
    }

    CWinApp app;
    std::unique_ptr<CMainDlg> main;
};

}  // namespace testing_support
