// Where the program looks for libraries once it has started.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "app/LibrarySearch.h"

namespace {

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

bool Loads(const std::string& name) {
    HMODULE module = ::LoadLibraryA(name.c_str());
    if (module) ::FreeLibrary(module);
    return module != nullptr;
}

// A library that lies only in the current directory is found before the restriction and not
// after it; libraries named by full path, beside the program and in the system folder still are.
TEST(LibrarySearch, TheCurrentDirectoryIsNoLongerSearched) {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "qd-library-search\\";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::string probe = folder + "QdSearchProbe.dll";
    ASSERT_TRUE(::CopyFileA((ProgramFolder() + "ZelfilterFull.dll").c_str(), probe.c_str(), FALSE));
    char previous[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryA(folder.c_str()));

    EXPECT_TRUE(Loads("QdSearchProbe.dll"));
    app::RestrictLibrarySearch();
    EXPECT_FALSE(Loads("QdSearchProbe.dll"));
    EXPECT_TRUE(Loads(probe));
    EXPECT_TRUE(Loads("ZelfilterFull.dll"));
    EXPECT_TRUE(Loads("version.dll"));

    ::SetCurrentDirectoryA(previous);
    ::DeleteFileA(probe.c_str());
    ::RemoveDirectoryA(folder.c_str());
}

}  // namespace
