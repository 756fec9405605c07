#pragma once

#include "framework/Dialog.h"
#include "framework/Handles.h"

// A dialog in the program's skin: its controls and itself on the grey ground, drawn with its own
// brush; Esc (IDCANCEL) does nothing.
class CSkinDialog : public CDialog {
  public:
    explicit CSkinDialog(UINT templateId, CWnd* parent = nullptr);

  protected:
    void OnCancel() override;
    const fw::MessageMap* GetMessageMap() const override;

    // The default colours are set first, then the ground colour and this window's brush.
    HBRUSH OnCtlColor(HDC dc, HWND control);

    fw::Brush m_brush;
};
