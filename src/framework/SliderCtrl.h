#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/Wnd.h"

class CSliderCtrl : public CWnd {
  public:
    void SetRange(int minimum, int maximum, BOOL redraw = FALSE) const {
        SendMessage(TBM_SETRANGEMIN, FALSE, minimum);
        SendMessage(TBM_SETRANGEMAX, static_cast<WPARAM>(redraw), maximum);
    }
    int GetRangeMin() const { return static_cast<int>(SendMessage(TBM_GETRANGEMIN)); }
    int GetRangeMax() const { return static_cast<int>(SendMessage(TBM_GETRANGEMAX)); }
    int GetPos() const { return static_cast<int>(SendMessage(TBM_GETPOS)); }
    void SetPos(int position) const { SendMessage(TBM_SETPOS, TRUE, position); }
    RECT GetThumbRect() const {
        RECT rc{};
        SendMessage(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&rc));
        return rc;
    }
};
