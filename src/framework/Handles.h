#pragma once

#include <windows.h>

#include <utility>

namespace fw {

// How many objects of each kind the owning wrappers hold at this moment. The program is single
// threaded; leak tests compare these before and after many cycles.
struct LiveHandles {
    long gdiObjects = 0;     // brushes, bitmaps, regions, fonts, memory DCs
    long userObjects = 0;    // icons, menus
    long kernelObjects = 0;  // kernel handles, libraries
    long windows = 0;        // windows bound to a CWnd object
};
inline LiveHandles g_liveHandles;

// A move-only owner of one handle. Traits give the handle type, its invalid value and how to
// release it, so one template covers GDI objects, kernel objects, registry keys and the rest.
// Traits with a Live() counter have every handle they own counted there.
template <class Traits>
class UniqueHandle {
  public:
    using pointer = typename Traits::pointer;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(pointer handle) noexcept : m_handle(handle) { Count(handle, 1); }
    ~UniqueHandle() { Reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.Release()) { Count(m_handle, 1); }
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    pointer Get() const noexcept { return m_handle; }
    explicit operator bool() const noexcept { return m_handle != Traits::Invalid(); }

    pointer Release() noexcept {
        pointer handle = std::exchange(m_handle, Traits::Invalid());
        Count(handle, -1);
        return handle;
    }

    void Reset(pointer handle = Traits::Invalid()) noexcept {
        pointer old = std::exchange(m_handle, handle);
        Count(handle, 1);
        if (old != Traits::Invalid()) {
            Count(old, -1);
            Traits::Close(old);
        }
    }

  private:
    static void Count(pointer handle, long change) noexcept {
        if constexpr (requires { Traits::Live(); }) {
            if (handle != Traits::Invalid()) Traits::Live() += change;
        }
    }

    pointer m_handle = Traits::Invalid();
};

template <class H>
struct GdiObjectTraits {
    using pointer = H;
    static pointer Invalid() { return nullptr; }
    static void Close(pointer h) { ::DeleteObject(h); }
    static long& Live() { return g_liveHandles.gdiObjects; }
};

struct MemoryDcTraits {
    using pointer = HDC;
    static pointer Invalid() { return nullptr; }
    static void Close(pointer h) { ::DeleteDC(h); }
    static long& Live() { return g_liveHandles.gdiObjects; }
};

struct IconTraits {
    using pointer = HICON;
    static pointer Invalid() { return nullptr; }
    static void Close(pointer h) { ::DestroyIcon(h); }
    static long& Live() { return g_liveHandles.userObjects; }
};

struct MenuTraits {
    using pointer = HMENU;
    static pointer Invalid() { return nullptr; }
    static void Close(pointer h) { ::DestroyMenu(h); }
    static long& Live() { return g_liveHandles.userObjects; }
};

// Kernel objects whose failure value is null (mutexes, events).
struct KernelHandleTraits {
    using pointer = HANDLE;
    static pointer Invalid() { return nullptr; }
    static void Close(pointer h) { ::CloseHandle(h); }
    static long& Live() { return g_liveHandles.kernelObjects; }
};

struct LibraryTraits {
    using pointer = HMODULE;
    static pointer Invalid() { return nullptr; }
    static void Close(pointer h) { ::FreeLibrary(h); }
    static long& Live() { return g_liveHandles.kernelObjects; }
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
