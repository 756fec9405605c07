// Entry of the program on a machine with the real adapter.
#include <windows.h>
#include <commctrl.h>

#include "app/LibrarySearch.h"
#include "app/PanelApp.h"

CPanelApp theApp;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    app::RestrictLibrarySearch();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    return fw::RunApp(theApp);
}
