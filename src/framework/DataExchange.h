#pragma once

#include <windows.h>

#include <string>

class CWnd;

// One transfer between a dialog's controls and its values: save reads the controls.
class CDataExchange {
  public:
    CDataExchange(CWnd* dialog, BOOL save) : m_pDlgWnd(dialog), m_bSaveAndValidate(save) {}

    HWND Control(int id) const;

    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Binds the template's control to its object (subclassing) the first time.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
// Check box state as 0 or 1 (2 for an indeterminate three-state box).
void DDX_Check(CDataExchange* dx, int id, int& value);
// Radio group starting at id (the button with WS_GROUP) up to the next WS_GROUP: the index of the
// checked button, or -1 when none is checked.
void DDX_Radio(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, std::string& value);
