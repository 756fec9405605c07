#pragma once

#include "ui/SkinPage.h"

// The "Main Volume" page: volume, balance and mute of the adapter's playback lines.
class CMixerVolumePage : public CSkinPage {
  public:
    CMixerVolumePage();
};
