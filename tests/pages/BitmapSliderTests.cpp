#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "framework/WinApp.h"
#include "tests/support/Canvas.h"
#include "tests/support/SimEnvironment.h"
#include "ui/BitmapSlider.h"

namespace {

using testing_support::Canvas;

// The knob's dark middle line, one row, ten pixels down from its top.
constexpr COLORREF kKnobLine = RGB(60, 60, 60);

TEST(KnobRect, IsCentredOnTheThumbWithTruncatingHalvesAndNeverAboveTheTop) {
    const SIZE knob{10, 21};
    const struct {
        const char* what;
        RECT thumb;
        RECT knob;
    } cases[] = {
        {"middle", {2, 30, 16, 41}, {4, 25, 14, 46}},
        {"even thumb", {2, 30, 16, 40}, {4, 25, 14, 46}},
        {"top: clamped at 0", {2, 3, 16, 14}, {4, 0, 14, 21}},
        {"bottom: may reach below", {2, 60, 16, 71}, {4, 55, 14, 76}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const RECT r = KnobRect(c.thumb, knob);
        EXPECT_EQ(r.left, c.knob.left);
        EXPECT_EQ(r.top, c.knob.top);
        EXPECT_EQ(r.right, c.knob.right);
        EXPECT_EQ(r.bottom, c.knob.bottom);
    }
    EXPECT_EQ(KnobRect({0, 0, 18, 0}, {11, 20}).left, 4) << "11 / 2 - 1";
}

// Counts its paintings: the trackbar paints at once (UpdateWindow) while it drags.
class CountingSlider : public CBitmapSlider {
  public:
    int paints = 0;

  protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_PAINT) ++paints;
        return CBitmapSlider::WindowProc(msg, wp, lp);
    }
};

class BitmapSliderTest : public testing::Test {
  public:
    BitmapSliderTest() {
        host = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 60, 100, nullptr,
                                 nullptr, nullptr, nullptr);
        HWND bar = ::CreateWindowExA(0, TRACKBAR_CLASSA, "",
                                     WS_CHILD | WS_VISIBLE | TBS_VERT | TBS_BOTH | TBS_NOTICKS, 0,
                                     0, 18, 69, host, nullptr, nullptr, nullptr);
        slider.SubclassWindow(bar);
        slider.SetRange(0, 40, FALSE);
        slider.SetPos(9);
        app.PumpPending();
    }
    ~BitmapSliderTest() override {
        ::DestroyWindow(host);
        app.PumpPending();
    }

    HWND Bar() const { return slider.GetSafeHwnd(); }
    LPARAM At(int x, int y) const { return MAKELPARAM(x, y); }
    // Whether the control was repainted or is waiting for it since the last validation.
    bool Invalidated() const {
        return slider.paints > m_paints || ::GetUpdateRect(Bar(), nullptr, FALSE) != FALSE;
    }
    void Validate() {
        ::ValidateRect(Bar(), nullptr);
        m_paints = slider.paints;
    }
    // The row of the knob's middle line in a painting, or -1.
    int KnobLineRow(const Canvas& canvas) const {
        const RECT knob = slider.GetThumbRect();
        for (int y = 0; y < canvas.Height(); ++y) {
            if (canvas.At(knob.left + 5, y) == kKnobLine) return y;
        }
        return -1;
    }

    CWinApp app;
    HWND host = nullptr;
    int m_paints = 0;
    CountingSlider slider;
};

TEST_F(BitmapSliderTest, TheKnobSitsOnTheTrackbarsThumbFromTopToBottom) {
    const SIZE knobSize{10, 21};
    int lastTop = -1;
    for (const int position : {0, 20, 40}) {
        SCOPED_TRACE(position);
        slider.SetPos(position);
        const RECT thumb = slider.CSliderCtrl::GetThumbRect();
        const RECT knob = slider.GetThumbRect();
        const RECT expected = KnobRect(thumb, knobSize);
        EXPECT_TRUE(::EqualRect(&knob, &expected));
        EXPECT_GE(knob.top, 0);
        EXPECT_GT(knob.top, lastTop);
        lastTop = knob.top;
        if (position == 0) {
            EXPECT_EQ(knob.top, 0);
        }
    }
}

TEST_F(BitmapSliderTest, ThePaintingShowsTheTrackAndTheKnobWhereTheProgramPutIt) {
    for (const int position : {0, 25, 40}) {
        SCOPED_TRACE(position);
        slider.SetPos(position);
        const Canvas canvas(Bar());
        const RECT knob = slider.GetThumbRect();
        EXPECT_EQ(KnobLineRow(canvas), knob.top + 10);
        // The groove of the track shows above or below the knob, the ground at the side.
        const int free = knob.top > 30 ? 10 : 60;
        EXPECT_EQ(canvas.At(8, free), RGB(40, 40, 40));
        EXPECT_EQ(canvas.At(1, 1), RGB(204, 204, 204));
    }
}

TEST_F(BitmapSliderTest, NothingIsErasedBeforePainting) {
    Canvas canvas(18, 69);
    EXPECT_EQ(slider.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc())), 0);
    EXPECT_EQ(canvas.At(8, 30), RGB(1, 2, 3));
}

TEST_F(BitmapSliderTest, DraggingTheKnobRepaintsAtEveryMoveAndTheKnobFollows) {
    slider.SetPos(10);
    const RECT knob = slider.GetThumbRect();
    const int x = knob.left + 5;
    const int y = (knob.top + knob.bottom) / 2;
    slider.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    for (const int dy : {8, 16}) {
        Validate();
        slider.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(x, y + dy));
        EXPECT_TRUE(Invalidated()) << dy;
    }
    slider.SendMessage(WM_LBUTTONUP, 0, At(x, y + 16));
    EXPECT_GT(slider.GetPos(), 10);
    const Canvas canvas(Bar());
    EXPECT_EQ(KnobLineRow(canvas), slider.GetThumbRect().top + 10);
    EXPECT_GT(KnobLineRow(canvas), knob.top + 10);
}

TEST_F(BitmapSliderTest, MouseMovesRepaintOnlyWhileTheLastPressHitTheKnob) {
    Validate();
    slider.SendMessage(WM_MOUSEMOVE, 0, At(9, 60));
    EXPECT_TRUE(Invalidated()) << "until the first press";

    slider.SetPos(0);
    slider.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(9, 60));
    slider.SendMessage(WM_LBUTTONUP, 0, At(9, 60));
    Validate();
    slider.SendMessage(WM_MOUSEMOVE, 0, At(9, 60));
    EXPECT_FALSE(Invalidated()) << "after a press beside the knob";

    const RECT knob = slider.GetThumbRect();
    slider.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(knob.left + 5, knob.top + 10));
    slider.SendMessage(WM_NCLBUTTONUP, HTCLIENT, 0);
    slider.SendMessage(WM_LBUTTONUP, 0, At(knob.left + 5, knob.top + 10));
    Validate();
    slider.SendMessage(WM_MOUSEMOVE, 0, At(9, 60));
    EXPECT_FALSE(Invalidated()) << "a non-client release ends it";
}

}  // namespace
