#pragma once

#include "ui/SkinDialog.h"

// A page of a skinned tab strip: the grey ground with the light top row, broken under the page's
// own tab. The settings pages take part in connecting and disconnecting the adapter.
class CSkinPage : public CSkinDialog {
  public:
    // tabIndex < 0: the page paints its ground only.
    CSkinPage(UINT templateId, int tabIndex);

    // Runs when the settings connect to the adapter (open the device, bind the mixer) and when
    // they disconnect.
    virtual void OpenPage();
    virtual void ClosePage();

    // The painting, also into a DC of the caller's (WM_PRINTCLIENT).
    virtual void Paint(HDC dc);

  protected:
    const fw::MessageMap* GetMessageMap() const override;

  private:
    void OnPaint();
    LRESULT OnPrintClient(WPARAM wp, LPARAM lp);

    int m_tabIndex;
};
