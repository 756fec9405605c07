#pragma once

#include <windows.h>

#include <string>

namespace fw {

// The module whose resources (templates, strings, bitmaps, sounds) the program uses: its own.
HINSTANCE ResourceModule();

// A string of the string table; empty (never null) when the entry is empty or missing, so that
// a caption from an empty entry reaches MessageBoxA as "" and the box shows an empty title.
std::string ResString(UINT id);

}  // namespace fw
