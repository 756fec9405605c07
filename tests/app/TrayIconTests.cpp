#include <windows.h>
#include <shellapi.h>

#include <string>

#include <gtest/gtest.h>

#include "app/PanelShared.h"
#include "app/TrayIcon.h"
#include "framework/ResString.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "tests/support/SimEnvironment.h"

namespace {

using testing_support::Recorder;

constexpr UINT kMenuWithoutPopup = 700;

fw::Icon LoadTrayIcon() {
    return fw::Icon(static_cast<HICON>(::LoadImageA(
        fw::ResourceModule(), MAKEINTRESOURCEA(IDI_TRAY_PRESENT), IMAGE_ICON, 16, 16, 0)));
}

class TrayIconTest : public testing::Test {
  protected:
    TrayIconTest() {
        owner.onTrayCallback = [this](WPARAM wp, LPARAM lp) {
            return tray.OnTrayNotification(wp, lp);
        };
    }

    BOOL CreateDefault(UINT menu = IDR_TRAY_PRESENT) {
        return tray.Create(&owner, WM_TRAY_CALLBACK, "Quorvel Dual", LoadTrayIcon(), menu);
    }

    // Queues keys for the menu loop that TrackPopupMenu runs, then sends the callback. A letter
    // is typed as a character, the way a menu takes its mnemonics.
    LRESULT ClickWithKeysQueued(UINT id, UINT mouse, std::initializer_list<UINT> keys) {
        for (UINT key : keys) {
            if (key >= 'A' && key <= 'Z') {
                ::PostMessageA(owner.m_hWnd, WM_CHAR, key - 'A' + 'a', 1);
                continue;
            }
            ::PostMessageA(owner.m_hWnd, WM_KEYDOWN, key, 1);
            ::PostMessageA(owner.m_hWnd, WM_KEYUP, key, 0xC0000001);
        }
        const LRESULT result = owner.SendMessage(WM_TRAY_CALLBACK, id, mouse);
        app.PumpPending();
        return result;
    }

    sim::SimSystem system;
    platform::ScopedSeam<platform::ISystem> systemSeam{system};
    CWinApp app;
    Recorder owner;
    CTrayIcon tray;
};

TEST_F(TrayIconTest, CreateRefusesWhatTheNotificationAreaCannotShow) {
    CWnd deadWindow;
    Recorder gone;
    deadWindow.m_hWnd = gone.UnsubclassWindow();
    ::DestroyWindow(deadWindow.m_hWnd);
    struct Case {
        const char* what;
        DWORD version;
        CWnd* owner;
        UINT callback;
        std::string tip;
        UINT menu;
        BOOL created;
    } cases[] = {
        {"everything right", sim::SimSystem::MakeVersion(5, 1), &owner, WM_TRAY_CALLBACK,
         "Quorvel Dual", IDR_TRAY_PRESENT, TRUE},
        {"platform older than version 4", sim::SimSystem::MakeVersion(3, 51), &owner,
         WM_TRAY_CALLBACK, "Quorvel Dual", IDR_TRAY_PRESENT, FALSE},
        {"no owner", sim::SimSystem::MakeVersion(4, 0), nullptr, WM_TRAY_CALLBACK, "x",
         IDR_TRAY_PRESENT, FALSE},
        {"owner is no longer a window", sim::SimSystem::MakeVersion(4, 0), &deadWindow,
         WM_TRAY_CALLBACK, "x", IDR_TRAY_PRESENT, FALSE},
        {"callback below WM_USER", sim::SimSystem::MakeVersion(4, 0), &owner, WM_USER - 1, "x",
         IDR_TRAY_PRESENT, FALSE},
        {"callback at WM_USER", sim::SimSystem::MakeVersion(4, 0), &owner, WM_USER, "x",
         IDR_TRAY_PRESENT, TRUE},
        {"tooltip of 63 characters", sim::SimSystem::MakeVersion(4, 0), &owner, WM_TRAY_CALLBACK,
         std::string(63, 't'), IDR_TRAY_PRESENT, TRUE},
        {"tooltip of 64 characters", sim::SimSystem::MakeVersion(4, 0), &owner, WM_TRAY_CALLBACK,
         std::string(64, 't'), IDR_TRAY_PRESENT, FALSE},
        {"no such menu", sim::SimSystem::MakeVersion(4, 0), &owner, WM_TRAY_CALLBACK, "x", 9999,
         FALSE},
        {"menu without a popup", sim::SimSystem::MakeVersion(4, 0), &owner, WM_TRAY_CALLBACK, "x",
         kMenuWithoutPopup, FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        system.version = c.version;
        CTrayIcon icon;
        EXPECT_EQ(icon.Create(c.owner, c.callback, c.tip.c_str(), LoadTrayIcon(), c.menu),
                  c.created);
        EXPECT_EQ(icon.IsPresent(), c.created != FALSE);
    }
    deadWindow.m_hWnd = nullptr;
}

TEST_F(TrayIconTest, TheIconDataIsTheVersionOneRecord) {
    ASSERT_TRUE(CreateDefault());
    const NOTIFYICONDATAA& data = tray.Data();
    EXPECT_EQ(data.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE));
    // 88 bytes in the 32-bit product; the 64-bit build's handles and padding make it 104.
    EXPECT_EQ(data.cbSize, sizeof(void*) == 4 ? 88u : 104u);
    EXPECT_EQ(data.hWnd, owner.m_hWnd);
    EXPECT_EQ(data.uID, static_cast<UINT>(IDR_TRAY_PRESENT));
    EXPECT_EQ(data.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(data.uCallbackMessage, WM_TRAY_CALLBACK);
    EXPECT_NE(data.hIcon, nullptr);
    EXPECT_STREQ(data.szTip, "Quorvel Dual");

    // The shell has it: it can be modified, until it is removed.
    NOTIFYICONDATAA probe = data;
    probe.uFlags = NIF_TIP;
    EXPECT_TRUE(::Shell_NotifyIconA(NIM_MODIFY, &probe));
    tray.RemoveIcon();
    EXPECT_FALSE(tray.IsPresent());
    EXPECT_FALSE(::Shell_NotifyIconA(NIM_MODIFY, &probe));
    tray.RemoveIcon();  // a second removal does nothing
}

TEST_F(TrayIconTest, OnlyAButtonPressOnThisIconOpensItsMenu) {
    ASSERT_TRUE(CreateDefault());
    const struct {
        const char* what;
        UINT id;
        UINT mouse;
        LRESULT result;
        int menus;
    } cases[] = {
        {"right button down", IDR_TRAY_PRESENT, WM_RBUTTONDOWN, 1, 1},
        {"left button down", IDR_TRAY_PRESENT, WM_LBUTTONDOWN, 1, 1},
        {"right button up", IDR_TRAY_PRESENT, WM_RBUTTONUP, 1, 0},
        {"left button up", IDR_TRAY_PRESENT, WM_LBUTTONUP, 1, 0},
        {"double click", IDR_TRAY_PRESENT, WM_LBUTTONDBLCLK, 1, 0},
        {"mouse move", IDR_TRAY_PRESENT, WM_MOUSEMOVE, 1, 0},
        {"another icon's identifier", IDR_TRAY_ABSENT, WM_RBUTTONDOWN, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        owner.menuLoops = 0;
        owner.commands.clear();
        EXPECT_EQ(ClickWithKeysQueued(c.id, c.mouse, {VK_ESCAPE}), c.result);
        EXPECT_EQ(owner.menuLoops, c.menus);
        EXPECT_TRUE(owner.commands.empty()) << "Esc closes the menu without a command";
    }
}

TEST_F(TrayIconTest, TheChosenItemReachesTheOwnerAndGreyedItemsCannotBeChosen) {
    ASSERT_TRUE(CreateDefault(IDR_TRAY_PRESENT));
    ClickWithKeysQueued(IDR_TRAY_PRESENT, WM_RBUTTONDOWN, {'E'});
    EXPECT_EQ(owner.commands, std::vector<UINT>{ID_EXIT});

    tray.RemoveIcon();
    ASSERT_TRUE(CreateDefault(IDR_TRAY_ABSENT));
    owner.commands.clear();
    ClickWithKeysQueued(IDR_TRAY_ABSENT, WM_RBUTTONDOWN, {'O', 'T', VK_ESCAPE});
    EXPECT_TRUE(owner.commands.empty());
}

TEST_F(TrayIconTest, ACallbackWhileTheMenuIsOpenOpensNoSecondMenu) {
    ASSERT_TRUE(CreateDefault());
    ::PostMessageA(owner.m_hWnd, WM_TRAY_CALLBACK, IDR_TRAY_PRESENT, WM_RBUTTONDOWN);
    ClickWithKeysQueued(IDR_TRAY_PRESENT, WM_RBUTTONDOWN, {VK_ESCAPE});
    EXPECT_EQ(owner.menuLoops, 1);
    // The queued callback ran inside the menu loop and was refused; the sent one answered 1.
    EXPECT_EQ(owner.trayResults, (std::vector<LRESULT>{0, 1}));
}

}  // namespace
