#pragma once

#include <windows.h>

class CWnd;

// The application object: start-up, the message loop and its keyboard routing, clean-up.
// One exists per process; it registers itself on construction.
class CWinApp {
  public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    static CWinApp* Current();

    // TRUE runs the message loop; FALSE ends at once (ExitInstance still runs).
    virtual BOOL InitInstance();
    // Clean-up after the loop; returns the process exit code.
    virtual int ExitInstance();
    // Filters each message before dispatch; the default offers it to the target window and each
    // parent up to the top-level window, so a dialog's keys reach the innermost dialog first.
    virtual BOOL PreTranslateMessage(MSG* msg);

    // The message loop; ends when WM_QUIT arrives and returns ExitInstance's code.
    int Run();
    // Dispatches every queued message; false once WM_QUIT was taken (its code in *quitCode).
    bool PumpPending(int* quitCode = nullptr);

    // Destroying this window ends the message loop.
    CWnd* m_pMainWnd = nullptr;

  protected:
    int m_exitCode = 0;

  private:
    void Dispatch(MSG& msg);
};

namespace fw {
// Offers a message to the windows from its target up to the top-level window.
BOOL WalkPreTranslateTree(MSG* msg);
// The program's entry: InitInstance, then the loop, or ExitInstance when the start is refused.
int RunApp(CWinApp& app);
}  // namespace fw
