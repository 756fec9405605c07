#pragma once

#include <string>

// The adapter's presence and its filter driver's installation, through the sibling library
// "Zelfilter.dll" beside the program. The library is loaded for each call and freed before it
// returns; a missing library or export, or a failed installation, is shown as a warning.
namespace device {

// The running program's folder with "Zelfilter.dll".
std::string SiblingLibraryPath();

// 1 when the library reports the adapter installed and the USB walk finds it plugged in; both
// are always asked.
int CheckDevicePresent();

// 1 when the library's installer was found and called, whatever it answered; 0 when the library
// or its export is missing.
int InstallFilterDriver();

}  // namespace device
