#include "ui/Skin.h"

#include <commctrl.h>

#include <array>

#include "framework/ResString.h"

namespace ui {
namespace {

// Item 0's right edge, then the left and right edges of items 1 to 5.
std::array<int, 11> g_tabEdges{};

constexpr int kKeptTabs = 6;

}  // namespace

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    const COLORREF old = ::SetBkColor(dc, colour);
    ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(dc, old);
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !::GetObjectA(bitmap, sizeof(info), &info)) return {0, 0};
    return {info.bmWidth, info.bmHeight};
}

HBITMAP LoadBitmapResource(UINT id) {
    return static_cast<HBITMAP>(
        ::LoadImageA(fw::ResourceModule(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
}

fw::Region RegionFromBitmap(HBITMAP bitmap) {
    const SIZE size = BitmapSize(bitmap);
    if (size.cx <= 0 || size.cy <= 0) return fw::Region();
    return fw::Region(::CreateRectRgn(0, 0, size.cx, size.cy));
}

bool PaintBitmap(HDC dc, HBITMAP bitmap, int x, int y) {
    const SIZE size = BitmapSize(bitmap);
    if (size.cx <= 0) return false;
    fw::MemoryDc memory(::CreateCompatibleDC(dc));
    if (!memory) return false;
    fw::SelectGuard select(memory.Get(), bitmap);
    ::BitBlt(dc, x, y, size.cx, size.cy, memory.Get(), 0, 0, SRCCOPY);
    return true;
}

void RecordTabEdges(int item, const RECT& rect) {
    if (item == 0) {
        g_tabEdges[0] = rect.right;
    } else if (item > 0 && item < kKeptTabs) {
        g_tabEdges[static_cast<std::size_t>(2 * item - 1)] = rect.left;
        g_tabEdges[static_cast<std::size_t>(2 * item)] = rect.right;
    }
}

TabEdges TabEdgesOf(int item) {
    if (item == 0) return {false, 0, g_tabEdges[0]};
    if (item < 0 || item >= kKeptTabs) return {false, 0, 0};
    return {true, g_tabEdges[static_cast<std::size_t>(2 * item - 1)],
            g_tabEdges[static_cast<std::size_t>(2 * item)]};
}

void ClearTabEdges() {
    g_tabEdges.fill(0);
}

void DrawTabItem(const DRAWITEMSTRUCT& item) {
    const int index = static_cast<int>(item.itemID);
    if (index < 0) return;
    RecordTabEdges(index, item.rcItem);

    char text[64] = "";
    TCITEMA tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = text;
    tab.cchTextMax = 63;
    if (!::SendMessageA(item.hwndItem, TCM_GETITEMA, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(&tab))) {
        return;
    }
    fw::SaveDcGuard saved(item.hDC);
    RECT rect = item.rcItem;
    const int edge = ::GetSystemMetrics(SM_CYEDGE);
    rect.top += edge;
    FillSolid(item.hDC, rect, kGround);
    ::SetBkColor(item.hDC, kGround);
    ::SetTextColor(item.hDC, RGB(0, 0, 0));
    rect.top -= edge;
    ::DrawTextA(item.hDC, text, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void PaintPageGround(HDC dc, const RECT& client, int tabIndex) {
    FillSolid(dc, client, kGround);
    if (tabIndex < 0) return;
    const TabEdges edges = TabEdgesOf(tabIndex);
    const int top = client.top;
    if (edges.hasLeft) FillSolid(dc, {client.left, top, edges.left, top + 1}, kTopRow);
    FillSolid(dc, {edges.right, top, client.right, top + 1}, kTopRow);
}

bool ButtonLooksPressed(const DRAWITEMSTRUCT& item) {
    if (item.itemAction != ODA_SELECT) return false;
    POINT cursor{};
    RECT button{};
    ::GetCursorPos(&cursor);
    ::GetWindowRect(item.hwndItem, &button);
    return ::PtInRect(&button, cursor) != FALSE;
}

void FrameButton(HDC dc, const RECT& rect, bool pressed) {
    const COLORREF white = RGB(255, 255, 255);
    const COLORREF black = RGB(0, 0, 0);
    const COLORREF topLeft = pressed ? black : white;
    const COLORREF bottomRight = pressed ? white : black;
    const int x = rect.left;
    const int y = rect.top;
    const int cx = rect.right - rect.left;
    const int cy = rect.bottom - rect.top;
    FillSolid(dc, {x, y, x + cx - 1, y + 1}, topLeft);
    FillSolid(dc, {x, y, x + 1, y + cy - 1}, topLeft);
    FillSolid(dc, {x + cx - 1, y, x + cx, y + cy}, bottomRight);
    FillSolid(dc, {x, y + cy - 1, x + cx, y + cy}, bottomRight);
}

void DrawCaptionButton(const DRAWITEMSTRUCT& item, const std::string& caption,
                       bool engraveWhenDisabled) {
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    const RECT inner{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    fw::SaveDcGuard saved(dc);
    const int edge = ::GetSystemMetrics(SM_CYEDGE);
    rect.top += edge;
    FillSolid(dc, inner, kButtonFace);
    FrameButton(dc, rect, ButtonLooksPressed(item));
    ::SetBkMode(dc, TRANSPARENT);
    constexpr UINT kCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (engraveWhenDisabled && item.itemState == ODS_DISABLED) {
        ::SetBkColor(dc, kDisabledFace);
        ::SetTextColor(dc, RGB(255, 255, 255));
        ::OffsetRect(&rect, 1, 1);
        ::DrawTextA(dc, caption.c_str(), -1, &rect, kCentred);
        ::OffsetRect(&rect, -1, -1);
        rect.right -= 1;
        rect.bottom -= 1;
        ::SetTextColor(dc, kEngraved);
        ::DrawTextA(dc, caption.c_str(), -1, &rect, kCentred);
    } else {
        ::SetBkColor(dc, kButtonFace);
        ::SetTextColor(dc, RGB(0, 0, 0));
        rect.top -= edge;
        ::DrawTextA(dc, caption.c_str(), -1, &rect, kCentred);
    }
}

}  // namespace ui
