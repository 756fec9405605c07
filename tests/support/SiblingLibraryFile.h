#pragma once

#include <windows.h>

#include <string>

#include "device/AdapterDetection.h"

namespace testing_support {

// OtherArchitecture is the full library built for the architecture this program is not: a 32-bit
// process cannot load a 64-bit DLL, nor the other way round.
enum class Library { None, Full, WithoutCheck, WithoutInstall, OtherArchitecture };

// Puts one build of the simulated sibling library beside the test program as Zelfilter.dll, or
// none; the builds lie in the same folder under their own names.
class SiblingLibraryFile {
  public:
    explicit SiblingLibraryFile(Library library) { Use(library); }
    ~SiblingLibraryFile() { ::DeleteFileA(Target().c_str()); }
    SiblingLibraryFile(const SiblingLibraryFile&) = delete;
    SiblingLibraryFile& operator=(const SiblingLibraryFile&) = delete;

    void Use(Library library) {
        ::DeleteFileA(Target().c_str());
        const char* source = library == Library::Full                ? "ZelfilterFull.dll"
                             : library == Library::WithoutCheck      ? "ZelfilterNoCheck.dll"
                             : library == Library::WithoutInstall    ? "ZelfilterNoInstall.dll"
                             : library == Library::OtherArchitecture ? "ZelfilterOtherArch.dll"
                                                                     : nullptr;
        if (source) ::CopyFileA((Folder() + source).c_str(), Target().c_str(), FALSE);
    }

  private:
    static std::string Target() { return device::SiblingLibraryPath(); }
    static std::string Folder() {
        const std::string path = Target();
        return path.substr(0, path.find_last_of('\\') + 1);
    }
};

}  // namespace testing_support
