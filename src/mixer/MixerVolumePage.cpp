#include "mixer/MixerVolumePage.h"

#include "res/resource.h"

CMixerVolumePage::CMixerVolumePage() : CSkinPage(IDD_MIXER_VOLUME, 0) {}
