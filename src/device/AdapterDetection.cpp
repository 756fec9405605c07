#include "device/AdapterDetection.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "device/SiblingLibrary.h"
#include "device/UsbWalk.h"
#include "framework/Handles.h"
#include "framework/ResString.h"
#include "platform/Seams.h"
#include "res/resource.h"

namespace device {
namespace {

struct SiblingExport {
    fw::Library library;
    SiblingFunction function;
};

void ShowWarning(UINT textId) {
    platform::Prompts().MessageBox(nullptr, fw::ResString(textId).c_str(),
                                   fw::ResString(IDS_WARNING_CAPTION).c_str(), MB_ICONWARNING);
}

// Loads the library and finds one export in it; shows the warning when either is missing.
std::optional<SiblingExport> LoadExport(const char* name) {
    fw::Library library(::LoadLibraryA(SiblingLibraryPath().c_str()));
    if (!library) {
        ShowWarning(IDS_DLL_NOT_FOUND);
        return std::nullopt;
    }
    FARPROC address = ::GetProcAddress(library.Get(), name);
    if (!address) {
        library.Reset();
        ShowWarning(IDS_DLL_NOT_FOUND);
        return std::nullopt;
    }
    // Through void(*)() so the compiler accepts the change of function type.
    auto function = reinterpret_cast<SiblingFunction>(reinterpret_cast<void (*)()>(address));
    return SiblingExport{std::move(library), function};
}

}  // namespace

std::string SiblingLibraryPath() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    std::string folder(path.begin(), path.end());
    folder.resize(folder.find_last_of('\\') + 1);
    return folder + kSiblingLibraryName;
}

int CheckDevicePresent() {
    std::optional<SiblingExport> isInstalled = LoadExport(kIsDeviceInstalled);
    if (!isInstalled) return 0;
    const int installed = isInstalled->function();
    const bool plugged = usb::FindAdapter();
    isInstalled->library.Reset();
    return installed != 0 && plugged ? 1 : 0;
}

int InstallFilterDriver() {
    std::optional<SiblingExport> install = LoadExport(kAddUsbAudioFilter);
    if (!install) return 0;
    if (install->function() == 0) {
        // The library names the message to show through the thread's last error.
        const DWORD error = ::GetLastError();
        ShowWarning(LOWORD(error));
    }
    install->library.Reset();
    return 1;
}

}  // namespace device
