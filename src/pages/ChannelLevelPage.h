#pragma once

#include "ui/SkinPage.h"

// The "Speaker" page: a level from -20 to +20 dB for each of the six output channels.
class CChannelLevelPage : public CSkinPage {
  public:
    CChannelLevelPage();
};
