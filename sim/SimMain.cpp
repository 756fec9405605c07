// Entry of the simulator build: the program with the simulated adapter behind its seams.
#include <windows.h>
#include <commctrl.h>

#include "framework/WinApp.h"
#include "platform/Seams.h"
#include "sim/SimWorld.h"
#include "sim/SimulatorDlg.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    sim::SimWorld world;
    platform::ScopedSeam<platform::IDeviceIo> deviceIo(world);

    CWinApp app;
    CSimulatorDlg simulator(world);
    if (!simulator.Create()) return 1;
    app.m_pMainWnd = &simulator;
    simulator.ShowWindow(SW_SHOW);
    return fw::RunApp(app);
}
