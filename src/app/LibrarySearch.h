#pragma once

namespace app {

// Limits where libraries are looked for to the system folder and the program's own folder, so
// that a library loaded by full path (the sibling library) cannot pull its own dependencies from
// the current directory or PATH. Does nothing where the system has no such setting.
void RestrictLibrarySearch();

}  // namespace app
