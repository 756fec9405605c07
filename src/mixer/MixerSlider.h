#pragma once

#include "framework/Handles.h"
#include "framework/SliderCtrl.h"
#include "mixer/MixerControl.h"
#include "mixer/MixerMath.h"

// Puts a mixer slider's thumb in the middle and writes it (both parameters unused); returns 1.
inline constexpr UINT WM_MIXSLIDER_CENTRE = WM_USER + 0x190;

// A skinned trackbar bound to a volume control of the mixer, in step with it both ways: moving
// the thumb writes the control at once, and a change made anywhere else moves the thumb. In
// volume mode the thumb is the louder channel and the balance is kept; in balance mode the thumb
// is the balance and the louder channel's level is kept. Positions run 0 to 18, the top (or the
// right) loudest.
class CMixerSlider : public CSliderCtrl, public CMixerControl {
  public:
    enum class Mode { Volume, Balance };

    CMixerSlider();

    bool Bind(DWORD destinationType, DWORD sourceType, DWORD controlType, Mode mode,
              const char* sourceName);
    void CentreAndApply();
    // The balance skin; the page sets it after subclassing a balance slider.
    void SetHorizontalLook(bool horizontal) { m_horizontalLook = horizontal ? 1 : 0; }

    // 0..18, the top or the right end being 18, whatever the trackbar's orientation.
    int Position() const;
    void SetPosition(int position) const;
    float Ratio() const { return m_ratio; }
    const mixer::Scale& Scale() const { return m_scale; }
    Mode GetMode() const { return m_mode; }
    // Two channels on the line and two values in the buffer.
    bool IsStereo() const;

    // The painting, also into a DC of the caller's (WM_PRINTCLIENT).
    void Paint(HDC dc) const;

  protected:
    const fw::MessageMap* GetMessageMap() const override;

  private:
    LRESULT OnMixerChange(WPARAM mixer, LPARAM controlId);
    void OnHScroll(UINT code, UINT position);
    void OnVScroll(UINT code, UINT position);
    void OnPaint();
    BOOL OnEraseBkgnd(HDC dc);
    LRESULT OnPrintClient(WPARAM wp, LPARAM lp);
    LRESULT OnLButtonDown(WPARAM wp, LPARAM lp);
    LRESULT OnLButtonUp(WPARAM wp, LPARAM lp);
    LRESULT OnCaptureChanged(WPARAM wp, LPARAM lp);
    void OnDestroy();
    LRESULT OnCentre(WPARAM wp, LPARAM lp);

    bool IsVertical() const;
    bool CanWrite() const { return IsOpen() && Values() != nullptr; }
    void UpdateFromValues();
    void Write();

    int m_destinationOnly = 0;
    mixer::Scale m_scale;
    Mode m_mode = Mode::Volume;
    float m_ratio = 0.0f;
    fw::Bitmap m_track;
    fw::Bitmap m_knob;
    fw::Bitmap m_trackHorizontal;
    int m_pressed = 1;
    int m_horizontalLook = 0;
};
