#pragma once

#include <windows.h>

#include "framework/Handles.h"
#include "ui/Skin.h"

namespace testing_support {

// A memory DC with a 24-bit bitmap of its own, for painting and reading back pixels.
class Canvas {
  public:
    Canvas(int width, int height)
        : m_width(width),
          m_height(height),
          m_dc(::CreateCompatibleDC(nullptr)),
          m_bitmap(Bitmap(width, height)),
          m_select(m_dc.Get(), m_bitmap.Get()) {
        ui::FillSolid(m_dc.Get(), {0, 0, width, height}, RGB(1, 2, 3));
    }
    HDC Dc() const { return m_dc.Get(); }
    COLORREF At(int x, int y) const { return ::GetPixel(m_dc.Get(), x, y); }

    // A window's client area painted into a new canvas through WM_PRINTCLIENT.
    explicit Canvas(HWND window) : Canvas(ClientSize(window).cx, ClientSize(window).cy) {
        ::SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Dc()),
                       PRF_CLIENT | PRF_ERASEBKGND);
    }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

  private:
    static SIZE ClientSize(HWND window) {
        RECT client{};
        ::GetClientRect(window, &client);
        return {client.right, client.bottom};
    }
    static HBITMAP Bitmap(int width, int height) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    }

    int m_width;
    int m_height;
    fw::MemoryDc m_dc;
    fw::Bitmap m_bitmap;
    fw::SelectGuard m_select;
};

}  // namespace testing_support
