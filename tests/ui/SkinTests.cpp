#include <windows.h>

#include <vector>

#include <gtest/gtest.h>

#include "framework/Handles.h"
#include "tests/support/Canvas.h"
#include "framework/ResString.h"
#include "res/resource.h"
#include "ui/Skin.h"
#include "ui/SkinPage.h"
#include "ui/SkinTabCtrl.h"

namespace {

using testing_support::Canvas;

TEST(SkinArithmetic, PagesFillTheDisplayAreaBelowTheTabs) {
    const struct {
        RECT client;
        RECT firstTab;
        RECT area;
    } cases[] = {
        {{0, 0, 535, 161}, {2, 2, 80, 22}, {1, 20, 533, 160}},
        {{0, 0, 441, 183}, {2, 2, 150, 24}, {1, 22, 439, 182}},
        {{0, 0, 100, 50}, {0, 0, 10, 10}, {-1, 8, 98, 49}},
    };
    for (const auto& c : cases) {
        const RECT area = PageArea(c.client, c.firstTab);
        EXPECT_TRUE(::EqualRect(&area, &c.area))
            << area.left << "," << area.top << "," << area.right << "," << area.bottom;
    }
}

TEST(SkinArithmetic, TheTabEdgeTableKeepsItemZerosRightEdgeAndBothEdgesOfItemsOneToFive) {
    ui::ClearTabEdges();
    for (int item = -1; item <= 6; ++item) {
        ui::RecordTabEdges(item, {item * 100 + 10, 0, item * 100 + 60, 20});
    }
    const ui::TabEdges first = ui::TabEdgesOf(0);
    EXPECT_FALSE(first.hasLeft);
    EXPECT_EQ(first.right, 60);
    for (int item = 1; item <= 5; ++item) {
        const ui::TabEdges edges = ui::TabEdgesOf(item);
        EXPECT_TRUE(edges.hasLeft);
        EXPECT_EQ(edges.left, item * 100 + 10);
        EXPECT_EQ(edges.right, item * 100 + 60);
    }
    EXPECT_EQ(ui::TabEdgesOf(6).right, 0) << "items past 5 are not kept";
    ui::ClearTabEdges();
}

TEST(SkinArithmetic, TheRegionIsTheBitmapsRectangleOrNothing) {
    EXPECT_FALSE(ui::RegionFromBitmap(nullptr));
    fw::Bitmap background(static_cast<HBITMAP>(
        ::LoadImageA(fw::ResourceModule(), MAKEINTRESOURCEA(IDB_SETTINGS_BACKGROUND), IMAGE_BITMAP,
                     0, 0, LR_CREATEDIBSECTION)));
    const fw::Region region = ui::RegionFromBitmap(background.Get());
    ASSERT_TRUE(region);
    RECT box{};
    ::GetRgnBox(region.Get(), &box);
    EXPECT_EQ(box.right - box.left, 587);
    EXPECT_EQ(box.bottom - box.top, 227);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
}

TEST(SkinPainting, APagesTopRowIsBrokenOnlyUnderItsOwnTab) {
    ui::ClearTabEdges();
    ui::RecordTabEdges(0, {2, 2, 80, 20});
    ui::RecordTabEdges(2, {120, 2, 160, 20});
    const struct {
        int tab;
        int gapFrom;
        int gapTo;
    } cases[] = {{0, 0, 80}, {2, 120, 160}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tab);
        Canvas canvas(200, 10);
        ui::PaintPageGround(canvas.Dc(), {0, 0, 200, 10}, c.tab);
        for (int x = 0; x < 200; ++x) {
            const bool inGap = x >= c.gapFrom && x < c.gapTo;
            EXPECT_EQ(canvas.At(x, 0), inGap ? ui::kGround : ui::kTopRow) << x;
            EXPECT_EQ(canvas.At(x, 1), ui::kGround) << x;
        }
    }
    ui::ClearTabEdges();
}

// A button window on the screen for the frame rule, which looks at the cursor.
class ButtonFrame : public testing::Test {
  protected:
    ButtonFrame()
        : m_button(::CreateWindowExA(0, "BUTTON", "b", WS_POPUP | WS_VISIBLE | BS_OWNERDRAW, 100,
                                     100, 40, 20, nullptr, nullptr, nullptr, nullptr)) {}
    ~ButtonFrame() override { ::DestroyWindow(m_button); }

    DRAWITEMSTRUCT Item(HDC dc, UINT action, UINT state = 0) const {
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.itemAction = action;
        item.itemState = state;
        item.hwndItem = m_button;
        item.hDC = dc;
        item.rcItem = {0, 0, 40, 20};
        return item;
    }

    HWND m_button;
};

TEST_F(ButtonFrame, LooksPressedOnlyWhileSelectedWithTheCursorInside) {
    const struct {
        const char* what;
        UINT action;
        POINT cursor;
        bool pressed;
    } cases[] = {
        {"select, cursor inside", ODA_SELECT, {110, 110}, true},
        {"select, cursor dragged out", ODA_SELECT, {300, 300}, false},
        {"whole redraw, cursor inside", ODA_DRAWENTIRE, {110, 110}, false},
        {"focus change, cursor inside", ODA_FOCUS, {110, 110}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(::SetCursorPos(c.cursor.x, c.cursor.y));
        Canvas canvas(40, 20);
        const DRAWITEMSTRUCT item = Item(canvas.Dc(), c.action);
        EXPECT_EQ(ui::ButtonLooksPressed(item), c.pressed);
        ui::FrameButton(canvas.Dc(), item.rcItem, ui::ButtonLooksPressed(item));
        const COLORREF topLeft = c.pressed ? RGB(0, 0, 0) : RGB(255, 255, 255);
        const COLORREF bottomRight = c.pressed ? RGB(255, 255, 255) : RGB(0, 0, 0);
        EXPECT_EQ(canvas.At(5, 0), topLeft);
        EXPECT_EQ(canvas.At(0, 5), topLeft);
        EXPECT_EQ(canvas.At(5, 19), bottomRight);
        EXPECT_EQ(canvas.At(39, 5), bottomRight);
    }
}

TEST_F(ButtonFrame, CaptionButtonsHaveTheirFaceAndAnEngravedDisabledCaption) {
    ::SetCursorPos(300, 300);
    const struct {
        const char* what;
        UINT state;
        bool engrave;
        bool black;
        bool engraved;
    } cases[] = {
        {"enabled", 0, true, true, false},
        {"disabled, engraved", ODS_DISABLED, true, false, true},
        {"disabled, plain", ODS_DISABLED, false, true, false},
        {"disabled and focused: not exactly disabled", ODS_DISABLED | ODS_FOCUS, true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Canvas canvas(40, 20);
        ui::DrawCaptionButton(Item(canvas.Dc(), ODA_DRAWENTIRE, c.state), "Reset", c.engrave);
        EXPECT_EQ(canvas.At(2, 10), ui::kButtonFace);
        int black = 0, grey = 0, white = 0;
        for (int y = 3; y < 18; ++y) {
            for (int x = 2; x < 38; ++x) {
                const COLORREF p = canvas.At(x, y);
                black += p == RGB(0, 0, 0);
                grey += p == ui::kEngraved;
                white += p == RGB(255, 255, 255);
            }
        }
        EXPECT_EQ(black > 0, c.black);
        EXPECT_EQ(grey > 0 && white > 0, c.engraved);
    }
}

// Pages that note when they are opened and closed.
std::vector<int> g_log;

class RecordingPage : public CSkinPage {
  public:
    explicit RecordingPage(int index) : CSkinPage(IDD_ABOUT, index), m_index(index) {}
    void OpenPage() override { g_log.push_back(m_index); }
    void ClosePage() override { g_log.push_back(-m_index - 1); }

  private:
    int m_index;
};

TEST(SkinTabStrip, OpensThePagesThatConnectInOrderAndClosesThemInReverse) {
    CSkinTabCtrl strip;
    for (int i = 0; i < 5; ++i)
        strip.AdoptPage(std::make_unique<RecordingPage>(i), i < 4);
    g_log.clear();
    strip.OpenPages();
    EXPECT_EQ(g_log, (std::vector<int>{0, 1, 2, 3}));
    g_log.clear();
    EXPECT_TRUE(strip.ClosePages());
    EXPECT_EQ(g_log, (std::vector<int>{-4, -3, -2, -1}));
}

}  // namespace
