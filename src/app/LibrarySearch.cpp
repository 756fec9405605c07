#include "app/LibrarySearch.h"

#include <windows.h>

namespace app {

void RestrictLibrarySearch() {
    // Looked up rather than linked: Windows 7 has it only with an update installed.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    FARPROC address =
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    if (!address) return;
    auto setDirectories =
        reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void (*)()>(address));
    setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_APPLICATION_DIR);
}

}  // namespace app
