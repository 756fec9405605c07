#include "ui/SkinWindow.h"

#include <commctrl.h>

#include "framework/ResString.h"
#include "res/resource.h"
#include "ui/Skin.h"

namespace {

HBITMAP LoadDibSection(UINT id) {
    return static_cast<HBITMAP>(::LoadImageA(fw::ResourceModule(), MAKEINTRESOURCEA(id),
                                             IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

}  // namespace

CSkinWindow::CSkinWindow(UINT templateId, UINT backgroundBitmap, UINT closeButtonId)
    : CSkinDialog(templateId),
      m_background(LoadDibSection(backgroundBitmap)),
      m_closeBitmap(LoadDibSection(IDB_CLOSE)),
      m_region(ui::RegionFromBitmap(m_background.Get())),
      m_closeButtonId(closeButtonId) {}

const fw::MessageMap* CSkinWindow::GetMessageMap() const {
    static constexpr fw::MsgRow kRows[] = {
        fw::OnEraseBkgnd<&CSkinWindow::OnEraseBkgnd>(),
        fw::OnNcHitTest<&CSkinWindow::OnNcHitTest>(),
        fw::OnDrawItem<&CSkinWindow::OnDrawItem>(),
    };
    static const fw::MessageMap kMap{CSkinDialog::GetMessageMap(), kRows};
    return &kMap;
}

BOOL CSkinWindow::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    // From here on the region belongs to the window.
    if (m_region) ::SetWindowRgn(m_hWnd, m_region.Release(), TRUE);
    return TRUE;
}

BOOL CSkinWindow::OnEraseBkgnd(HDC dc) {
    if (ui::PaintBitmap(dc, m_background.Get())) return TRUE;
    return static_cast<BOOL>(Default());
}

// The whole window answers as its caption, so a drag anywhere on the background moves it.
LRESULT CSkinWindow::OnNcHitTest(POINT) {
    return HTCAPTION;
}

void CSkinWindow::OnDrawItem(UINT id, DRAWITEMSTRUCT& item) {
    if (id == m_closeButtonId) {
        DrawCloseButton(item);
    } else if (item.CtlType == ODT_TAB) {
        ui::DrawTabItem(item);
    }
}

// The button takes the bitmap's size, keeping its top-left corner; the frame is drawn on the
// rectangle of this request.
void CSkinWindow::DrawCloseButton(const DRAWITEMSTRUCT& item) {
    const SIZE size = ui::BitmapSize(m_closeBitmap.Get());
    RECT placed{};
    ::GetWindowRect(item.hwndItem, &placed);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&placed), 2);
    if (size.cx > 0 &&
        (placed.right - placed.left != size.cx || placed.bottom - placed.top != size.cy)) {
        ::MoveWindow(item.hwndItem, placed.left, placed.top, size.cx, size.cy, TRUE);
    }
    ui::PaintBitmap(item.hDC, m_closeBitmap.Get());
    ui::FrameButton(item.hDC, item.rcItem, ui::ButtonLooksPressed(item));
}
