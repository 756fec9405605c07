#include "framework/DataExchange.h"

#include "framework/Wnd.h"

HWND CDataExchange::Control(int id) const {
    return ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (!control.m_hWnd) control.SubclassDlgItem(static_cast<UINT>(id), dx->m_pDlgWnd);
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
    HWND box = dx->Control(id);
    if (!box) return;
    if (dx->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessageA(box, BM_GETCHECK, 0, 0));
    } else {
        if (value < 0 || value > 2) value = 0;
        ::SendMessageA(box, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}

void DDX_Radio(CDataExchange* dx, int id, int& value) {
    HWND button = dx->Control(id);
    if (!button) return;
    if (dx->m_bSaveAndValidate) value = -1;
    int index = 0;
    do {
        if (::SendMessageA(button, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
            if (dx->m_bSaveAndValidate) {
                if (::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
            } else {
                ::SendMessageA(button, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED,
                               0);
            }
            ++index;
        }
        button = ::GetWindow(button, GW_HWNDNEXT);
    } while (button && !(::GetWindowLongA(button, GWL_STYLE) & WS_GROUP));
}

namespace {

std::string WindowText(HWND window) {
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

void DDX_Text(CDataExchange* dx, int id, std::string& value) {
    HWND edit = dx->Control(id);
    if (!edit) return;
    if (dx->m_bSaveAndValidate) {
        value = WindowText(edit);
    } else if (WindowText(edit) != value) {
        // Setting the same text again would only repaint it: a display updated by a timer would
        // redraw and flicker at every tick.
        ::SetWindowTextA(edit, value.c_str());
    }
}
