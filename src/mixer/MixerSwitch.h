#pragma once

#include "framework/Handles.h"
#include "framework/Static.h"
#include "mixer/MixerControl.h"

// A bitmap static bound to a switch control of the mixer (a mute): a click flips it, and a change
// made anywhere else shows through the mixer's notification. Images: 137 on (muted), 138 off,
// 180 while it has no binding.
class CMixerSwitch : public CStatic, public CMixerControl {
  public:
    CMixerSwitch();

    bool Bind(DWORD destinationType, DWORD sourceType, DWORD controlType);
    // The user clicked the static.
    void Toggle();
    // Mute on, written to every entry; the caller checks the bound flag first.
    void SwitchOn();

    HBITMAP OnImage() const { return m_onImage.Get(); }
    HBITMAP OffImage() const { return m_offImage.Get(); }
    HBITMAP UnboundImage() const { return m_unboundImage.Get(); }

  protected:
    const fw::MessageMap* GetMessageMap() const override;

  private:
    LRESULT OnMixerChange(WPARAM mixer, LPARAM controlId);
    void OnDestroy();
    void ShowEntry();
    DWORD Entry() const;
    void SetAll(DWORD value);

    DWORD m_entryIndex = 0;  // the entry of the value buffer shown; 0 for a mute
    fw::Bitmap m_onImage;
    fw::Bitmap m_offImage;
    fw::Bitmap m_unboundImage;
};
