#pragma once

#include <windows.h>

#include "mixer/MixerMath.h"
#include "platform/Seams.h"

// A mixer binding's second way to its values: the endpoint volume of the audio endpoint its mixer
// device stands for. The value buffer keeps the mixer's layout (one entry per channel of the line,
// in the control's bounds), so the controls above it work unchanged.
namespace mixer {

// Whether the endpoint answers every call a binding of `channels` entries will make, with levels
// that make sense. An endpoint that answers E_NOTIMPL, or S_OK without a level, is not used.
bool EndpointUsable(platform::IEndpointVolume& endpoint, DWORD channels);

// Fills values[0..count) from the endpoint: a mute control gets the mute in every entry; a volume
// control of one entry the master level, of more the channel levels (the master level for an
// entry the endpoint has no channel for). False when any call fails.
bool ReadEndpoint(platform::IEndpointVolume& endpoint, EndpointRole role, DWORD minimum,
                  DWORD maximum, DWORD* values, DWORD count);

// Sends values[0..count) to the endpoint: the mute from entry 0; the master level from the louder
// entry, which scales every channel of the endpoint alike (the centre, bass and rear channels
// too), then the left and right levels from their entries. False when any call fails.
bool WriteEndpoint(platform::IEndpointVolume& endpoint, EndpointRole role, DWORD minimum,
                   DWORD maximum, const DWORD* values, DWORD count);

}  // namespace mixer
