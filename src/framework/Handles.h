#pragma once

#include <windows.h>

#include <utility>

namespace fw {

// A move-only owner of one handle. Traits give the handle type, its invalid value and how to
// release it, so one template covers GDI objects, kernel objects, registry keys and the rest.
template <class Traits>
class UniqueHandle {
  public:
    using pointer = typename Traits::pointer;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(pointer handle) noexcept : m_handle(handle) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    pointer Get() const noexcept { return m_handle; }
    explicit operator bool() const noexcept { return m_handle != Traits::Invalid(); }

    pointer Release() noexcept { return std::exchange(m_handle, Traits::Invalid()); }

    void Reset(pointer handle = Traits::Invalid()) noexcept {
        pointer old = std::exchange(m_handle, handle);
        if (old != Traits::Invalid()) Traits::Close(old);
    }

  private:
    pointer m_handle = Traits::Invalid();
};

template <class H>
struct GdiObjectTraits {
    using pointer = H;
    static pointer Invalid() { return nullptr; }
    static void Close(pointer h) { ::DeleteObject(h); }
};

struct MemoryDcTraits {
    using pointer = HDC;
    static pointer Invalid() { return nullptr; }
    static void Close(pointer h) { ::DeleteDC(h); }
};

struct IconTraits {
    using pointer = HICON;
    static pointer Invalid() { return nullptr; }
    static void Close(pointer h) { ::DestroyIcon(h); }
};

struct MenuTraits {
    using pointer = HMENU;
    static pointer Invalid() { return nullptr; }
    static void Close(pointer h) { ::DestroyMenu(h); }
};

// Kernel objects whose failure value is null (mutexes, events).
struct KernelHandleTraits {
    using pointer = HANDLE;
    static pointer Invalid() { return nullptr; }
    static void Close(pointer h) { ::CloseHandle(h); }
};

struct LibraryTraits {
    using pointer = HMODULE;
    static pointer Invalid() { return nullptr; }
    static void Close(pointer h) { ::FreeLibrary(h); }
};

using Brush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using Bitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using Region = UniqueHandle<GdiObjectTraits<HRGN>>;
using Font = UniqueHandle<GdiObjectTraits<HFONT>>;
using MemoryDc = UniqueHandle<MemoryDcTraits>;
using Icon = UniqueHandle<IconTraits>;
using Menu = UniqueHandle<MenuTraits>;
using KernelHandle = UniqueHandle<KernelHandleTraits>;
using Library = UniqueHandle<LibraryTraits>;

// A window's device context from GetDC, given back with ReleaseDC.
class WindowDc {
  public:
    explicit WindowDc(HWND hwnd) : m_hwnd(hwnd), m_dc(::GetDC(hwnd)) {}
    ~WindowDc() {
        if (m_dc) ::ReleaseDC(m_hwnd, m_dc);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC Get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

  private:
    HWND m_hwnd;
    HDC m_dc;
};

// BeginPaint/EndPaint for one WM_PAINT.
class PaintDc {
  public:
    explicit PaintDc(HWND hwnd) : m_hwnd(hwnd) { m_dc = ::BeginPaint(hwnd, &m_ps); }
    ~PaintDc() { ::EndPaint(m_hwnd, &m_ps); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;

    HDC Get() const { return m_dc; }
    const PAINTSTRUCT& Info() const { return m_ps; }

  private:
    HWND m_hwnd;
    PAINTSTRUCT m_ps{};
    HDC m_dc;
};

// SaveDC on construction, RestoreDC on destruction.
class SaveDcGuard {
  public:
    explicit SaveDcGuard(HDC dc) : m_dc(dc), m_saved(::SaveDC(dc)) {}
    ~SaveDcGuard() {
        if (m_saved) ::RestoreDC(m_dc, m_saved);
    }
    SaveDcGuard(const SaveDcGuard&) = delete;
    SaveDcGuard& operator=(const SaveDcGuard&) = delete;

  private:
    HDC m_dc;
    int m_saved;
};

// Selects a GDI object into a DC and puts the previous one back on destruction.
class SelectGuard {
  public:
    SelectGuard(HDC dc, HGDIOBJ object)
        : m_dc(dc), m_old(object ? ::SelectObject(dc, object) : nullptr) {}
    ~SelectGuard() {
        if (m_old) ::SelectObject(m_dc, m_old);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

  private:
    HDC m_dc;
    HGDIOBJ m_old;
};

}  // namespace fw
