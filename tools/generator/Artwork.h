#pragma once

#include "Image.h"

// The program's pictures, drawn at their fixed sizes.
namespace gen {

// Window icon: 32 x 32.
Image WindowIcon();
// Tray icons, 16 x 16: adapter present (lit) and absent (dark, crossed out).
Image TrayIcon(bool present);

}  // namespace gen
