#pragma once

#include <windows.h>

#include <cstddef>

class CWnd;

namespace fw {

// A parent hands WM_COMMAND, WM_NOTIFY, WM_HSCROLL/WM_VSCROLL, WM_DRAWITEM and WM_CTLCOLOR* first
// to the child control they come from; the child finds them in its table under kReflect + the
// original message.
constexpr UINT kReflect = 0xBC00;

// Stands for all seven WM_CTLCOLOR* messages in a table row (the old 16-bit WM_CTLCOLOR value).
constexpr UINT kAnyCtlColor = 0x0019;

// A row for a message whose number is known only at run time (RegisterWindowMessage).
constexpr UINT kRegisteredMessage = 0xFFFFFFFF;

using MsgThunk = LRESULT (*)(CWnd& self, WPARAM wp, LPARAM lp);

// One table row: a message (a command or notification also by code and control id) and the
// thunk that cracks its parameters for one typed member function.
struct MsgRow {
    UINT message;
    UINT code;
    UINT id;
    MsgThunk thunk;
    const UINT* registered = nullptr;  // the registered message's number, for kRegisteredMessage
};

// A class's table and the table of its base class, searched after it.
struct MessageMap {
    template <std::size_t N>
    constexpr MessageMap(const MessageMap* baseMap, const MsgRow (&table)[N])
        : base(baseMap), rows(table), count(N) {}

    const MessageMap* base;
    const MsgRow* rows;
    std::size_t count;
};

// The first row along the chain that takes this message, or null.
const MsgRow* FindRow(const MessageMap* map, UINT message, WPARAM wp, LPARAM lp);

template <class>
struct MemberOf;
template <class T, class R, class... A>
struct MemberOf<R (T::*)(A...)> {
    using Class = T;
};

template <auto H>
typename MemberOf<decltype(H)>::Class& Self(CWnd& w) {
    return static_cast<typename MemberOf<decltype(H)>::Class&>(w);
}

// LRESULT Handler(WPARAM, LPARAM): any message, uncracked.
template <auto H>
constexpr MsgRow OnMessage(UINT message) {
    return {message, 0, 0,
            [](CWnd& w, WPARAM wp, LPARAM lp) -> LRESULT { return (Self<H>(w).*H)(wp, lp); }};
}

// LRESULT Handler(WPARAM, LPARAM): a registered message whose number is stored in *message.
template <auto H>
constexpr MsgRow OnRegisteredMessage(const UINT* message) {
    return {kRegisteredMessage, 0, 0,
            [](CWnd& w, WPARAM wp, LPARAM lp) -> LRESULT { return (Self<H>(w).*H)(wp, lp); },
            message};
}

// void Handler(): a message whose parameters carry nothing (WM_PAINT, WM_CLOSE, WM_DESTROY).
template <auto H>
constexpr MsgRow OnSignal(UINT message) {
    return {message, 0, 0, [](CWnd& w, WPARAM, LPARAM) -> LRESULT {
                (Self<H>(w).*H)();
                return 0;
            }};
}

// void Handler(): WM_COMMAND from a menu item, an accelerator or a control (default BN_CLICKED,
// which is also the code of menu commands).
template <auto H>
constexpr MsgRow OnCommand(UINT id, UINT code = BN_CLICKED) {
    return {WM_COMMAND, code, id, [](CWnd& w, WPARAM, LPARAM) -> LRESULT {
                (Self<H>(w).*H)();
                return 0;
            }};
}

// LRESULT Handler(NMHDR*): WM_NOTIFY from control id with notification code.
template <auto H>
constexpr MsgRow OnNotify(UINT id, UINT code) {
    return {WM_NOTIFY, code, id, [](CWnd& w, WPARAM, LPARAM lp) -> LRESULT {
                return (Self<H>(w).*H)(reinterpret_cast<NMHDR*>(lp));
            }};
}

// void Handler(UINT_PTR timerId)
template <auto H>
constexpr MsgRow OnTimer() {
    return {WM_TIMER, 0, 0, [](CWnd& w, WPARAM wp, LPARAM) -> LRESULT {
                (Self<H>(w).*H)(static_cast<UINT_PTR>(wp));
                return 0;
            }};
}

// BOOL Handler(HDC): nonzero when the background was erased.
template <auto H>
constexpr MsgRow OnEraseBkgnd() {
    return {WM_ERASEBKGND, 0, 0, [](CWnd& w, WPARAM wp, LPARAM) -> LRESULT {
                return (Self<H>(w).*H)(reinterpret_cast<HDC>(wp));
            }};
}

// HBRUSH Handler(HDC, HWND control): every WM_CTLCOLOR* message.
template <auto H>
constexpr MsgRow OnCtlColor() {
    return {kAnyCtlColor, 0, 0, [](CWnd& w, WPARAM wp, LPARAM lp) -> LRESULT {
                return reinterpret_cast<LRESULT>(
                    (Self<H>(w).*H)(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp)));
            }};
}

// void Handler(UINT controlId, DRAWITEMSTRUCT&)
template <auto H>
constexpr MsgRow OnDrawItem() {
    return {WM_DRAWITEM, 0, 0, [](CWnd& w, WPARAM wp, LPARAM lp) -> LRESULT {
                (Self<H>(w).*H)(static_cast<UINT>(wp), *reinterpret_cast<DRAWITEMSTRUCT*>(lp));
                return TRUE;
            }};
}

// void Handler(UINT code, UINT pos, HWND bar): WM_HSCROLL or WM_VSCROLL.
template <auto H>
constexpr MsgRow OnScroll(UINT message) {
    return {message, 0, 0, [](CWnd& w, WPARAM wp, LPARAM lp) -> LRESULT {
                (Self<H>(w).*H)(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
                return 0;
            }};
}

// LRESULT Handler(POINT screenPoint)
template <auto H>
constexpr MsgRow OnNcHitTest() {
    return {WM_NCHITTEST, 0, 0, [](CWnd& w, WPARAM, LPARAM lp) -> LRESULT {
                POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
                return (Self<H>(w).*H)(pt);
            }};
}

// Reflected to the child control that sent them.

// void Handler(): the control's own WM_COMMAND notification code.
template <auto H>
constexpr MsgRow OnReflectCommand(UINT code) {
    return {kReflect + WM_COMMAND, code, 0, [](CWnd& w, WPARAM, LPARAM) -> LRESULT {
                (Self<H>(w).*H)();
                return 0;
            }};
}

// LRESULT Handler(NMHDR*): the control's own WM_NOTIFY code.
template <auto H>
constexpr MsgRow OnReflectNotify(UINT code) {
    return {kReflect + WM_NOTIFY, code, 0, [](CWnd& w, WPARAM, LPARAM lp) -> LRESULT {
                return (Self<H>(w).*H)(reinterpret_cast<NMHDR*>(lp));
            }};
}

// void Handler(UINT code, UINT pos): WM_HSCROLL or WM_VSCROLL from this control.
template <auto H>
constexpr MsgRow OnReflectScroll(UINT message) {
    return {kReflect + message, 0, 0, [](CWnd& w, WPARAM wp, LPARAM) -> LRESULT {
                (Self<H>(w).*H)(LOWORD(wp), HIWORD(wp));
                return 0;
            }};
}

// void Handler(DRAWITEMSTRUCT&)
template <auto H>
constexpr MsgRow OnReflectDrawItem() {
    return {kReflect + WM_DRAWITEM, 0, 0, [](CWnd& w, WPARAM, LPARAM lp) -> LRESULT {
                (Self<H>(w).*H)(*reinterpret_cast<DRAWITEMSTRUCT*>(lp));
                return TRUE;
            }};
}

// HBRUSH Handler(HDC)
template <auto H>
constexpr MsgRow OnReflectCtlColor() {
    return {kReflect + kAnyCtlColor, 0, 0, [](CWnd& w, WPARAM wp, LPARAM) -> LRESULT {
                return reinterpret_cast<LRESULT>((Self<H>(w).*H)(reinterpret_cast<HDC>(wp)));
            }};
}

}  // namespace fw
