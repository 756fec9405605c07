// Entry of the simulator build: the program with the simulated adapter behind its seams, and the
// "Adapter simulator" window beside it.
//
// Options set the simulated world's state at start:
//   --unplugged            the adapter is not plugged in
//   --stream=none|two|five the kind of stream the driver reports
//   --per-endpoint         the mixer of Windows Vista and later: one device per endpoint
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "app/LibrarySearch.h"
#include "app/PanelApp.h"
#include "platform/Seams.h"
#include "platform/Win32Seams.h"
#include "sim/SimServices.h"
#include "sim/SimMixerPanel.h"
#include "sim/SimWorld.h"
#include "sim/SimulatorDlg.h"

CPanelApp theApp;

namespace {

void ApplyOptions(sim::SimWorld& world, sim::SimMixer& mixer, const char* commandLine) {
    if (std::strstr(commandLine, "--unplugged")) world.SetPlugged(false);
    if (std::strstr(commandLine, "--per-endpoint")) mixer.UsePerEndpointLayout(true);
    if (std::strstr(commandLine, "--stream=two")) {
        world.driver.SetStreamKind(device::StreamKind::TwoChannel);
    }
    if (std::strstr(commandLine, "--stream=five")) {
        world.driver.SetStreamKind(device::StreamKind::FiveOne);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    app::RestrictLibrarySearch();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    sim::SimMixer mixer;
    sim::SimWorld world;
    world.AttachMixer(&mixer);
    ApplyOptions(world, mixer, commandLine ? commandLine : "");
    platform::ScopedSeam<platform::IDeviceIo> deviceIo(world);
    // Every sound call is recorded for the simulator window; where the host has a sound device
    // it is played as well, so the speaker test can be heard.
    sim::SimSound sound;
    platform::Win32Sound hostSound;
    if (::waveOutGetNumDevs() > 0) sound.passOn = &hostSound;
    platform::ScopedSeam<platform::ISound> soundSeam(sound);
    platform::ScopedSeam<platform::IMixer> mixerSeam(mixer);
    platform::ScopedSeam<platform::IAudioEndpoints> endpointSeam(mixer.endpoints);

    if (!theApp.InitInstance()) return theApp.ExitInstance();
    CSimulatorDlg simulator(world);
    simulator.WatchSounds(sound);
    simulator.Create();
    CSimMixerPanel mixerPanel(mixer);
    mixerPanel.Create(0, &simulator);
    simulator.ShowWindow(SW_SHOWNOACTIVATE);
    return theApp.Run();
}
