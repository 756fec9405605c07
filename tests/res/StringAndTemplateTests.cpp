#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <commctrl.h>

#include "framework/ResString.h"
#include "res/resource.h"
#include "tests/support/DialogTemplate.h"

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

using testing_support::DialogItem;
using testing_support::LoadDialogTemplate;

void ExpectItem(const DialogItem& item, DWORD id, const wchar_t* className, const wchar_t* text,
                DWORD style, std::array<int, 4> box) {
    SCOPED_TRACE(id);
    EXPECT_EQ(item.id, id);
    EXPECT_EQ(item.className, className);
    EXPECT_EQ(item.text, text);
    EXPECT_EQ(item.style, style);
    EXPECT_EQ(item.exStyle, 0u);
    EXPECT_EQ((std::array<int, 4>{item.x, item.y, item.cx, item.cy}), box);
}

TEST(DialogTemplates, TheSkinnedTopLevelWindowsHaveTheirExactLayout) {
    const auto main = LoadDialogTemplate(IDD_MAIN);
    ASSERT_TRUE(main);
    EXPECT_EQ(main->style, 0x80000040u) << "WS_POPUP | DS_SETFONT, hidden, captionless";
    EXPECT_EQ(main->exStyle, static_cast<DWORD>(WS_EX_APPWINDOW));
    EXPECT_EQ((std::array<int, 4>{main->x, main->y, main->cx, main->cy}),
              (std::array<int, 4>{0, 0, 343, 152}));
    EXPECT_EQ(main->font, L"Arial");
    EXPECT_EQ(main->pointSize, 9) << "at 10 points the controls fall outside the window's shape";
    ASSERT_EQ(main->items.size(), 2u);
    ExpectItem(main->items[0], IDC_CLOSE, L"BUTTON", L"Button1",
               WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, {291, 9, 30, 8});
    ExpectItem(main->items[1], IDC_TAB, L"SYSTABCONTROL32", L"Tab1",
               WS_CHILD | WS_VISIBLE | TCS_OWNERDRAWFIXED, {16, 8, 306, 92});

    const auto test = LoadDialogTemplate(IDD_SPEAKER_TEST);
    ASSERT_TRUE(test);
    EXPECT_EQ(test->style, 0x80000040u);
    EXPECT_EQ(test->exStyle, 0u);
    EXPECT_EQ((std::array<int, 4>{test->x, test->y, test->cx, test->cy}),
              (std::array<int, 4>{0, 0, 312, 120}));
    EXPECT_EQ(test->font, L"Arial");
    EXPECT_EQ(test->pointSize, 9);
    ASSERT_EQ(test->items.size(), 2u);
    ExpectItem(test->items[0], IDC_SPEAKER_TEST_CLOSE, L"BUTTON", L"Button1",
               WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, {236, 8, 30, 9});
    ExpectItem(test->items[1], IDC_SPEAKER_TEST_TAB, L"SYSTABCONTROL32", L"Tab1",
               WS_CHILD | WS_VISIBLE | TCS_OWNERDRAWFIXED, {15, 7, 252, 98});
}

TEST(TrayMenus, EachMenuHasItsItemsInOneUntitledPopup) {
    struct Item {
        const char* text;  // null: separator
        UINT id;
        bool greyed;
    };
    const struct {
        UINT menu;
        std::vector<Item> items;
    } menus[] = {
        {IDR_TRAY_PRESENT,
         {{"&Open Setting", 32774, false},
          {"&Test Speaker", 32775, false},
          {nullptr, 0, false},
          {"&Exit", 32771, false}}},
        {IDR_TRAY_ABSENT,
         {{"&Open Setting", 32774, true},
          {"&Test Speaker", 32775, true},
          {nullptr, 0, false},
          {"&Exit", 32771, false}}},
        {IDR_TRAY_SETTINGS,
         {{"&Close Setting", 32777, false},
          {"&Test Speaker", 32775, false},
          {nullptr, 0, false},
          {"&Exit", 32771, false}}},
    };
    for (const auto& m : menus) {
        SCOPED_TRACE(m.menu);
        HMENU menu = ::LoadMenuA(fw::ResourceModule(), MAKEINTRESOURCEA(m.menu));
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(::GetMenuItemCount(menu), 1);
        char title[16] = "x";
        ::GetMenuStringA(menu, 0, title, sizeof(title), MF_BYPOSITION);
        EXPECT_STREQ(title, "");
        HMENU popup = ::GetSubMenu(menu, 0);
        ASSERT_EQ(::GetMenuItemCount(popup), static_cast<int>(m.items.size()));
        for (int i = 0; i < static_cast<int>(m.items.size()); ++i) {
            const Item& expected = m.items[static_cast<std::size_t>(i)];
            const UINT state = ::GetMenuState(popup, static_cast<UINT>(i), MF_BYPOSITION);
            if (!expected.text) {
                EXPECT_TRUE(state & MF_SEPARATOR);
                continue;
            }
            char text[64] = "";
            ::GetMenuStringA(popup, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
            EXPECT_STREQ(text, expected.text);
            EXPECT_EQ(::GetMenuItemID(popup, i), expected.id);
            EXPECT_EQ((state & MF_GRAYED) != 0, expected.greyed) << text;
        }
        ::DestroyMenu(menu);
    }
}

}  // namespace
