#pragma once

#include "mixer/MixerControl.h"

// One item of a single-select list control of the mixer, such as the microphone among the
// recording multiplexer's sources. It has no window of its own: the notifications of its handle go
// to the window it was bound with.
class CMixerListItem : public CMixerControl {
  public:
    // The item is found by its source's component type, else by a list text holding name.
    bool Bind(DWORD destinationType, DWORD sourceType, DWORD controlType, DWORD itemType,
              HWND notify, const char* name);
    // Writes value into this item's entry and 0 into every other: with 1 the item becomes the
    // selected one.
    void Select(DWORD value);
    // This item's current entry; state is left alone while the item is unbound.
    void GetState(DWORD& state);

  private:
    // The first of the control's item texts holding name gives the entry, in list order.
    bool FindByText(const char* name);
};

// The control id of the list control bound by the last successful list item bind: the recording
// page tells the multiplexer's notifications from others by it.
DWORD& RecordingMuxId();
