#include <windows.h>

#include <gtest/gtest.h>

#include "app/MainDlg.h"
#include "app/PanelApp.h"
#include "framework/Handles.h"
#include "res/resource.h"
#include "tests/support/SimEnvironment.h"

namespace {

using testing_support::Library;

class PanelAppTest : public testing_support::SimEnvironment {
  protected:
    void TearDown() override {
        app.ExitInstance();
        app.PumpPending();
        ExpectNothingLeaked();
    }

    void PressKey(HWND target, UINT key) {
        ::PostMessageA(target, WM_KEYDOWN, key, 1);
        ::PostMessageA(target, WM_KEYUP, key, 0xC0000001);
        app.PumpPending();
    }

    CPanelApp app;
};

TEST_F(PanelAppTest, ASecondCopyShowsItsMessageAndEndsWithoutAWindow) {
    fw::KernelHandle firstCopy(::CreateMutexA(nullptr, FALSE, "Quorvel"));
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(app.MainDialog(), nullptr);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].owner, nullptr);
    EXPECT_EQ(prompts.shown[0].text, "Application is already running!");
    EXPECT_EQ(prompts.shown[0].caption, "Quorvel Dual  : ERROR");
    EXPECT_EQ(prompts.shown[0].type, static_cast<UINT>(MB_ICONERROR));
    app.ExitInstance();

    // Once the first copy has ended, a copy starts normally.
    firstCopy.Reset();
    prompts.shown.clear();
    ASSERT_TRUE(app.InitInstance());
    ASSERT_NE(app.MainDialog(), nullptr);
    EXPECT_EQ(app.m_pMainWnd, app.MainDialog());
    EXPECT_NE(app.MainDialog()->GetSafeHwnd(), nullptr);
    EXPECT_FALSE(::IsWindowVisible(app.MainDialog()->GetSafeHwnd()));
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(PanelAppTest, EnterDoesNothingWhileEscOnTheSettingsClosesThem) {
    ASSERT_TRUE(app.InitInstance());
    CMainDlg* main = app.MainDialog();
    main->SendMessage(WM_COMMAND, ID_OPEN_SETTING);
    ::SetForegroundWindow(main->GetSafeHwnd());
    HWND close = main->GetDlgItem(IDC_CLOSE);
    ::SetFocus(close);

    PressKey(close, VK_RETURN);
    EXPECT_TRUE(::IsWindowVisible(main->GetSafeHwnd())) << "Enter reached the dialog";

    PressKey(close, VK_ESCAPE);
    EXPECT_FALSE(::IsWindowVisible(main->GetSafeHwnd()));
}

TEST_F(PanelAppTest, AFailedFilterInstallationAtStartEndsTheProcessCleanly) {
    library.Use(Library::WithoutInstall);
    EXPECT_TRUE(app.InitInstance());
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    ASSERT_NE(app.MainDialog(), nullptr);
    EXPECT_EQ(app.MainDialog()->GetSafeHwnd(), nullptr);
    EXPECT_EQ(app.Run(), 0) << "the message loop ends at once";
    EXPECT_EQ(app.MainDialog(), nullptr);
}

// The main window's template cannot be created: the start fails at once instead of running on
// with no window, no tray icon and the single-instance mutex held.
class BrokenStartTest : public testing_support::SimEnvironment {
  protected:
    CPanelApp app{701};
};

TEST_F(BrokenStartTest, AMainWindowThatCannotBeCreatedEndsTheStartAndFreesTheMutex) {
    EXPECT_EQ(fw::RunApp(app), CPanelApp::kExitNoMainWindow);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(app.MainDialog(), nullptr);
    fw::KernelHandle next(::CreateMutexA(nullptr, FALSE, "Quorvel"));
    EXPECT_NE(::GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS))
        << "a later start is not told a copy runs";
    ExpectNothingLeaked();
}

}  // namespace
