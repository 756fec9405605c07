#include "ui/BitmapSlider.h"

#include "framework/ResString.h"
#include "res/resource.h"
#include "ui/Skin.h"

using ui::LoadBitmapResource;

RECT KnobRect(const RECT& thumb, SIZE knob) {
    RECT rect{};
    rect.left = knob.cx / 2 - 1;
    rect.right = rect.left + knob.cx;
    rect.top = thumb.top + ((thumb.bottom - thumb.top) / 2 - knob.cy / 2);
    if (rect.top < 0) rect.top = 0;
    rect.bottom = rect.top + knob.cy;
    return rect;
}

CBitmapSlider::CBitmapSlider(int, int, int)
    : m_track(LoadBitmapResource(IDB_TRACK)), m_knob(LoadBitmapResource(IDB_KNOB)) {}

CBitmapSlider::~CBitmapSlider() = default;

const fw::MessageMap* CBitmapSlider::GetMessageMap() const {
    static constexpr fw::MsgRow kRows[] = {
        fw::OnSignal<&CBitmapSlider::OnPaint>(WM_PAINT),
        fw::OnMessage<&CBitmapSlider::OnPrintClient>(WM_PRINTCLIENT),
        fw::OnEraseBkgnd<&CBitmapSlider::OnEraseBkgnd>(),
        fw::OnMessage<&CBitmapSlider::OnLButtonDown>(WM_LBUTTONDOWN),
        fw::OnMessage<&CBitmapSlider::OnNcLButtonUp>(WM_NCLBUTTONUP),
        fw::OnMessage<&CBitmapSlider::OnMouseMove>(WM_MOUSEMOVE),
        fw::OnMessage<&CBitmapSlider::OnCaptureChanged>(WM_CAPTURECHANGED),
    };
    static const fw::MessageMap kMap{CSliderCtrl::GetMessageMap(), kRows};
    return &kMap;
}

RECT CBitmapSlider::GetThumbRect() const {
    return KnobRect(CSliderCtrl::GetThumbRect(), ui::BitmapSize(m_knob.Get()));
}

void CBitmapSlider::Paint(HDC dc) const {
    fw::MemoryDc memory(::CreateCompatibleDC(dc));
    if (!memory) return;
    const RECT client = GetClientRect();
    {
        fw::SelectGuard track(memory.Get(), m_track.Get());
        ::BitBlt(dc, 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
    }
    const RECT knob = GetThumbRect();
    fw::SelectGuard select(memory.Get(), m_knob.Get());
    ::BitBlt(dc, knob.left, knob.top, knob.right - knob.left, knob.bottom - knob.top, memory.Get(),
             0, 0, SRCCOPY);
}

void CBitmapSlider::OnPaint() {
    fw::PaintDc paint(m_hWnd);
    Paint(paint.Get());
}

LRESULT CBitmapSlider::OnPrintClient(WPARAM wp, LPARAM) {
    Paint(reinterpret_cast<HDC>(wp));
    return 0;
}

// The painting covers the whole control, so nothing is erased: no flicker while dragging.
BOOL CBitmapSlider::OnEraseBkgnd(HDC) {
    return FALSE;
}

void CBitmapSlider::Repaint() const {
    Invalidate(TRUE);
}

LRESULT CBitmapSlider::OnLButtonDown(WPARAM, LPARAM lp) {
    m_thumbFlag = 0;
    const POINT point{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    const RECT knob = GetThumbRect();
    if (::PtInRect(&knob, point)) m_thumbFlag = 1;
    Repaint();
    return Default();
}

LRESULT CBitmapSlider::OnNcLButtonUp(WPARAM, LPARAM) {
    m_thumbFlag = 0;
    Repaint();
    return Default();
}

LRESULT CBitmapSlider::OnMouseMove(WPARAM, LPARAM) {
    if (m_thumbFlag) Repaint();
    return Default();
}

// Only this control's own capture is let go: the capture may already belong to another window
// of the thread (a menu, a message box), which must keep it.
LRESULT CBitmapSlider::OnCaptureChanged(WPARAM, LPARAM) {
    if (m_thumbFlag) {
        if (::GetCapture() == m_hWnd) ::ReleaseCapture();
        Repaint();
    }
    return Default();
}
