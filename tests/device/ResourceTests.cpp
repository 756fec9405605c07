#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/ResString.h"
#include "res/resource.h"

namespace {

TEST(StringTable, EveryStringReadsBackExactly) {
    const struct {
        UINT id;
        const char* text;
    } strings[] = {
        {1, "SOFTWARE\\Harlowen\\Quorvel Dual\\Filter\\"},
        {2, "DATA TRANSPORT ERROR,TRY AGAIN."},
        {3, "IOCONTROL ERROR"},
        {4, "2-channel data"},
        {5, "5.1-channel data"},
        {6, "Filter driver was not loaded or failed!\n\nPlease re-plug the device and try again."},
        {7, "Quorvel Dual  : ERROR"},
        {8, ""},
        {9, "Quorvel Dual"},
        {30, "Quorvel Dual: WARNING"},
        {9020, "Application is already running!"},
        {65334, "Please re-plug the device or reboot your PC."},
        {65335, "Audio device is not found (Device is not pluged in)."},
        {65336, "Audio device is not installed at all."},
        {65436, "DLL-driver is not found.\nYou may need re-install it."},
        {65438, "Reset"},
        {65439, "Test"},
        {65440, "Stop"},
        {65442,
         "5.1-channel Audio source is detected.\nAre you sure you want to activate the "
         "filter?\n\nEnabling filter will change the original\n5.1-channel Audio "
         "content.\n\n(Recommend: CD audio -> Click Yes, DVD ->No)"},
    };
    for (const auto& s : strings) {
        SCOPED_TRACE(s.id);
        EXPECT_EQ(fw::ResString(s.id), s.text);
        // The plain API agrees, so callers that load strings themselves see the same text.
        char buffer[512] = {};
        const int length = ::LoadStringA(fw::ResourceModule(), s.id, buffer, sizeof(buffer));
        EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(length)), s.text);
    }
    // String 8 is a caption that must reach MessageBoxA as "", never as a null pointer.
    EXPECT_NE(fw::ResString(IDS_EMPTY_CAPTION).c_str(), nullptr);
}

std::string VersionString(const std::vector<char>& block, const char* name) {
    char* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904b0\\") + name;
    if (!::VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) ||
        !value) {
        return {};
    }
    return value;
}

TEST(VersionResource, NamesTheProductAndVersionOnePointOne) {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    const DWORD size = ::GetFileVersionInfoSizeA(path, nullptr);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(::GetFileVersionInfoA(path, 0, size, block.data()));
    EXPECT_EQ(VersionString(block, "ProductName"), "Quorvel Dual");
    EXPECT_EQ(VersionString(block, "ProductVersion"), "1.1");

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(1, 1));
}

}  // namespace
