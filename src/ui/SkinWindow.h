#pragma once

#include "framework/Handles.h"
#include "ui/SkinDialog.h"

// A skinned top-level window: shaped and painted by its brushed-metal background bitmap,
// dragged from any point of it, with a bitmap Close button and owner-drawn tab items.
class CSkinWindow : public CSkinDialog {
  protected:
    CSkinWindow(UINT templateId, UINT backgroundBitmap, UINT closeButtonId);

    BOOL OnInitDialog() override;
    const fw::MessageMap* GetMessageMap() const override;

    fw::Bitmap m_background;
    fw::Bitmap m_closeBitmap;
    fw::Region m_region;

  private:
    BOOL OnEraseBkgnd(HDC dc);
    LRESULT OnNcHitTest(POINT point);
    void OnDrawItem(UINT id, DRAWITEMSTRUCT& item);
    void DrawCloseButton(const DRAWITEMSTRUCT& item);

    UINT m_closeButtonId;
};
