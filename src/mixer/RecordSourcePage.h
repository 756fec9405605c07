#pragma once

#include "mixer/MixerListItem.h"
#include "mixer/MixerSlider.h"
#include "ui/SkinPage.h"

// The "Record" page: which of the adapter's inputs, microphone or line, the system records from
// (the recording multiplexer, shown as two check boxes that exclude each other), and the
// recording level and balance of each. A selection made elsewhere shows here at once.
class CRecordSourcePage : public CSkinPage {
  public:
    CRecordSourcePage();

    // Binds the six controls; each binding is closed first.
    void Bind();
    // Closes every binding and disables the controls.
    BOOL Release();
    void SelectMicrophone();
    void SelectLineIn();
    // The first start: both recording levels in the middle, then the microphone selected when
    // its level is bound.
    BOOL CentreLevels();
    BOOL FirstLaunchSelect();

    void OpenPage() override { Bind(); }
    void ClosePage() override { Release(); }

    CMixerSlider& MicLevel() { return m_micLevel; }
    CMixerSlider& LineLevel() { return m_lineLevel; }
    CMixerSlider& MicBalance() { return m_micBalance; }
    CMixerSlider& LineBalance() { return m_lineBalance; }
    CMixerListItem& MicItem() { return m_micItem; }
    CMixerListItem& LineItem() { return m_lineItem; }

  protected:
    BOOL OnInitDialog() override;
    const fw::MessageMap* GetMessageMap() const override;

  private:
    LRESULT OnMixerChange(WPARAM mixer, LPARAM controlId);
    void OnDestroy();
    void ShowItem(CMixerListItem& item, UINT checkBox);

    CMixerSlider m_micLevel;
    CMixerSlider m_lineLevel;
    CMixerListItem m_micItem;
    CMixerListItem m_lineItem;
    CMixerSlider m_lineBalance;
    CMixerSlider m_micBalance;
};
