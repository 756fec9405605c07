#pragma once

#include <windows.h>

#include <string>

#include "framework/MessageMap.h"

// The C++ object of one window. A dialog attaches itself when it is created; a control of a
// dialog template is bound to its object by subclassing. Messages go through the class's message
// map; what no row takes goes to the window's default handling.
class CWnd {
  public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The object attached to a window, or null.
    static CWnd* FromHandlePermanent(HWND hwnd);

    HWND GetSafeHwnd() const { return m_hWnd; }

    // Replaces the window procedure of an existing window; the old one does the default handling
    // and comes back when the window is destroyed or this object is.
    bool SubclassWindow(HWND hwnd);
    bool SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    // Keyboard routing: the app offers each message first to the target window and its parents.
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual BOOL DestroyWindow();

    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;
    BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;
    BOOL ShowWindow(int command) const;
    BOOL EnableWindow(BOOL enable = TRUE) const;
    BOOL IsWindowVisible() const;
    HWND GetDlgItem(int id) const;
    void SetWindowText(const std::string& text) const;
    std::string GetWindowText() const;
    void Invalidate(BOOL erase = TRUE) const;
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) const;
    BOOL KillTimer(UINT_PTR id) const;
    RECT GetClientRect() const;
    RECT GetWindowRect() const;
    BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) const;

    HWND m_hWnd = nullptr;

  protected:
    virtual const fw::MessageMap* GetMessageMap() const;

    // Dispatch through the message map (after offering reflected messages to the child they come
    // from), then the default handling.
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    virtual LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // Finds and runs the handler of a message; false when no row takes it.
    bool OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // A parent offers a control's notification back to it; true when the control handled it.
    virtual bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // Called once the window is gone (after WM_NCDESTROY).
    virtual void PostNcDestroy() {}

    // The default handling of the message being dispatched, for handlers that extend it.
    LRESULT Default();

    void Attach(HWND hwnd);
    // Forgets the window after WM_NCDESTROY; ends the message loop when it was the main window.
    void OnWindowGone();

  private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    struct CurrentMessage {
        UINT msg = 0;
        WPARAM wp = 0;
        LPARAM lp = 0;
    };

    WNDPROC m_oldWndProc = nullptr;
    CurrentMessage m_current;

    friend class CDialog;
};

namespace fw {
// Last guard against a C++ exception leaving a window or dialog procedure: it must never unwind
// through user32. The program ends through its message loop with this exit code.
constexpr int kExitDispatchException = 3;
void HandleDispatchException() noexcept;

// Whether a dialog procedure returns this message's result itself instead of through
// DWLP_MSGRESULT.
bool DialogReturnsDirectly(UINT msg);
}  // namespace fw
