#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/MainDlg.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "tests/support/Canvas.h"
#include "tests/support/MainWindowFixture.h"
#include "ui/Skin.h"
#include "ui/SkinPage.h"
#include "ui/SkinTabCtrl.h"

namespace {

using testing_support::Canvas;

class SettingsWindowTest : public testing_support::MainWindowFixture {
  public:
    SettingsWindowTest() {
        ui::ClearTabEdges();
        Start();
        Command(ID_OPEN_SETTING);
        ::SetForegroundWindow(Main());
        ::UpdateWindow(Main());
        app.PumpPending();
    }

    CSkinTabCtrl& Tabs() { return main->Tabs(); }
    HWND PageWindow(int index) { return Tabs().Page(index)->GetSafeHwnd(); }

    void PressKey(HWND target, UINT key) {
        ::PostMessageA(target, WM_KEYDOWN, key, 1);
        ::PostMessageA(target, WM_KEYUP, key, 0xC0000001);
        app.PumpPending();
    }
};

TEST_F(SettingsWindowTest, FiveTabsWithTheirPagesAndOnlyTheFirstShown) {
    const char* texts[] = {"Main Volume", "Speaker", "Filter", "Record", "About"};
    ASSERT_EQ(Tabs().GetItemCount(), 5);
    ASSERT_EQ(Tabs().PageCount(), 5);
    EXPECT_EQ(Tabs().GetCurSel(), 0);
    RECT firstTab{};
    Tabs().GetItemRect(0, &firstTab);
    const RECT area = PageArea(Tabs().GetClientRect(), firstTab);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(texts[i]);
        char text[64] = "";
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        Tabs().GetItem(i, &item);
        EXPECT_STREQ(text, texts[i]);
        HWND page = PageWindow(i);
        EXPECT_EQ(::GetParent(page), Tabs().GetSafeHwnd()) << "pages are children of the strip";
        EXPECT_EQ(::IsWindowVisible(page) != FALSE, i == 0);
        RECT placed{};
        ::GetWindowRect(page, &placed);
        ::MapWindowPoints(nullptr, Tabs().GetSafeHwnd(), reinterpret_cast<POINT*>(&placed), 2);
        EXPECT_TRUE(::EqualRect(&placed, &area));
    }
}

TEST_F(SettingsWindowTest, ChoosingAnotherTabShowsItsPageAndMovesTheFocusIntoIt) {
    HWND close = main->GetDlgItem(IDC_CLOSE);
    ::SetFocus(close);
    // The tab that is already selected: nothing changes.
    NMHDR same{Tabs().GetSafeHwnd(), IDC_TAB, static_cast<UINT>(TCN_SELCHANGE)};
    main->SendMessage(WM_NOTIFY, IDC_TAB, reinterpret_cast<LPARAM>(&same));
    EXPECT_EQ(Tabs().CurrentPage(), 0);
    EXPECT_TRUE(::IsWindowVisible(PageWindow(0)));
    EXPECT_EQ(::GetFocus(), close);

    Tabs().SendMessage(TCM_SETCURFOCUS, 2);
    EXPECT_EQ(Tabs().CurrentPage(), 2);
    EXPECT_FALSE(::IsWindowVisible(PageWindow(0)));
    EXPECT_TRUE(::IsWindowVisible(PageWindow(2)));
    HWND focus = ::GetFocus();
    EXPECT_TRUE(focus == PageWindow(2) || ::IsChild(PageWindow(2), focus));
}

TEST_F(SettingsWindowTest, TabItemsAndEachPagesTopRowJoinThePageToItsTab) {
    const Canvas strip(Tabs().GetSafeHwnd());
    const int edge = ::GetSystemMetrics(SM_CYEDGE);
    for (int tab = 0; tab < 5; ++tab) {
        SCOPED_TRACE(tab);
        RECT item{};
        Tabs().GetItemRect(tab, &item);
        // The item is filled with the ground colour and carries its text.
        EXPECT_EQ(strip.At(item.left + 3, item.top + edge + 2), ui::kGround);
        int dark = 0;
        for (int y = item.top + edge; y < item.bottom; ++y) {
            for (int x = item.left; x < item.right; ++x)
                dark += strip.At(x, y) == RGB(0, 0, 0);
        }
        EXPECT_GT(dark, 10);

        // The page's top row is light but for one gap, under this tab as it was drawn.
        const Canvas page(PageWindow(tab));
        std::vector<std::pair<int, int>> gaps;
        for (int x = 0; x < page.Width(); ++x) {
            const COLORREF p = page.At(x, 0);
            ASSERT_TRUE(p == ui::kTopRow || p == ui::kGround) << x;
            if (p != ui::kGround) continue;
            if (gaps.empty() || gaps.back().second != x) {
                gaps.push_back({x, x + 1});
            } else {
                gaps.back().second = x + 1;
            }
        }
        ASSERT_EQ(gaps.size(), 1u);
        const ui::TabEdges drawn = ui::TabEdgesOf(tab);
        EXPECT_EQ(gaps[0].first, tab == 0 ? 0 : drawn.left);
        EXPECT_EQ(gaps[0].second, drawn.right);
        EXPECT_NEAR(drawn.right, item.right, 4) << "the edges come from drawing this item";
        for (int y = 1; y < page.Height(); y += 7) {
            for (int x = 0; x < page.Width(); x += 5)
                ASSERT_EQ(page.At(x, y), ui::kGround);
        }
    }
}

TEST_F(SettingsWindowTest, TheAboutPagesTextsSitOnTheGroundColour) {
    HWND about = PageWindow(4);
    std::vector<std::string> texts;
    for (HWND child = ::GetWindow(about, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        char text[128] = "";
        ::GetWindowTextA(child, text, sizeof(text));
        texts.push_back(text);
        const Canvas label(child);
        EXPECT_EQ(label.At(label.Width() - 1, label.Height() - 1), ui::kGround) << text;
    }
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], "Quorvel Dual");
    EXPECT_EQ(texts[1], "Version1.1 \nSep,2003");
    EXPECT_EQ(texts[2].find("Harlowen") != std::string::npos, true);
}

TEST_F(SettingsWindowTest, TheWindowHasTheBitmapsShapeDragsFromItsBackgroundAndShowsTheClose) {
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(::GetWindowRgn(main->GetSafeHwnd(), region), ERROR);
    RECT box{};
    ::GetRgnBox(region, &box);
    ::DeleteObject(region);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 587);
    EXPECT_EQ(box.bottom, 227);

    const RECT window = main->GetWindowRect();
    EXPECT_EQ(main->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(window.left + 5, window.top + 150)),
              HTCAPTION);

    const RECT close = [&] {
        RECT r{};
        ::GetWindowRect(main->GetDlgItem(IDC_CLOSE), &r);
        return r;
    }();
    EXPECT_EQ(close.right - close.left, 53);
    EXPECT_EQ(close.bottom - close.top, 16);
    EXPECT_LE(close.right - window.left, box.right) << "the Close button lies inside the shape";
    RECT strip = Tabs().GetWindowRect();
    EXPECT_LE(strip.right - window.left, box.right) << "so does the tab strip";
}

TEST_F(SettingsWindowTest, EscOnAPageChangesNothingWhileEscOnTheSettingsClosesThem) {
    HWND page = PageWindow(0);
    ::SetFocus(page);
    PressKey(::GetFocus(), VK_ESCAPE);
    EXPECT_TRUE(::IsWindowVisible(main->GetSafeHwnd()));

    HWND close = main->GetDlgItem(IDC_CLOSE);
    ::SetFocus(close);
    PressKey(close, VK_ESCAPE);
    EXPECT_FALSE(::IsWindowVisible(main->GetSafeHwnd()));
}

}  // namespace
