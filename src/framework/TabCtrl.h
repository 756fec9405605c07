#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/Wnd.h"

class CTabCtrl : public CWnd {
  public:
    int InsertItem(int index, const char* text) const {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(text);
        return static_cast<int>(SendMessage(TCM_INSERTITEMA, static_cast<WPARAM>(index),
                                            reinterpret_cast<LPARAM>(&item)));
    }
    BOOL GetItem(int index, TCITEMA* item) const {
        return static_cast<BOOL>(
            SendMessage(TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item)));
    }
    int GetItemCount() const { return static_cast<int>(SendMessage(TCM_GETITEMCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(TCM_GETCURSEL)); }
    int SetCurSel(int index) const {
        return static_cast<int>(SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(index)));
    }
    int GetCurFocus() const { return static_cast<int>(SendMessage(TCM_GETCURFOCUS)); }
    BOOL GetItemRect(int index, RECT* rc) const {
        return static_cast<BOOL>(
            SendMessage(TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(rc)));
    }
};
