#pragma once

#include "framework/Handles.h"
#include "framework/SliderCtrl.h"

// A trackbar that keeps every trackbar behaviour (range, position, keys, mouse, notifications to
// its parent) and only paints itself: a grooved track bitmap and a knob bitmap that follows the
// trackbar's own thumb. Bound to a template's vertical trackbar by subclassing.
class CBitmapSlider : public CSliderCtrl {
  public:
    // The parameters choose the look; 0, 0, 0 is the vertical one the program uses, and the only
    // one built.
    CBitmapSlider(int look = 0, int track = 0, int style = 0);
    ~CBitmapSlider() override;

    // The knob's rectangle in client coordinates, centred on the trackbar's thumb.
    RECT GetThumbRect() const;

    // The painting, also into a DC of the caller's (WM_PRINTCLIENT).
    void Paint(HDC dc) const;

  protected:
    const fw::MessageMap* GetMessageMap() const override;

  private:
    void OnPaint();
    LRESULT OnPrintClient(WPARAM wp, LPARAM lp);
    BOOL OnEraseBkgnd(HDC dc);
    LRESULT OnLButtonDown(WPARAM wp, LPARAM lp);
    LRESULT OnNcLButtonUp(WPARAM wp, LPARAM lp);
    LRESULT OnMouseMove(WPARAM wp, LPARAM lp);
    LRESULT OnCaptureChanged(WPARAM wp, LPARAM lp);
    void Repaint() const;

    fw::Bitmap m_track;
    fw::Bitmap m_knob;
    // Set while the last button press hit the knob (and from construction): mouse moves then
    // repaint, so the knob stays under the mouse while it is dragged.
    int m_thumbFlag = 1;
};

// The knob's place for a trackbar thumb: at a fixed horizontal place (half the knob's width less
// one from the left), centred vertically on the thumb with truncating halves, never above 0.
RECT KnobRect(const RECT& thumb, SIZE knob);
