#pragma once

#include <windows.h>

#include <cstdint>

// The arithmetic of the mixer controls, free of windows and handles: which entry of a list
// control stands for a source line, and how a slider's 19 positions map to a volume control's
// values and back. A mixer's numbers are a driver's answer, so every function here stays defined
// for any input: no division by zero, no overflow, positions always inside 0..18.
namespace mixer {

inline constexpr int kTopPosition = 18;
inline constexpr int kMiddlePosition = 9;

// Counts a driver may report that we are still willing to allocate for.
inline constexpr DWORD kMaxChannels = 32;
inline constexpr DWORD kMaxItems = 256;
inline constexpr DWORD kMaxControls = 256;
inline constexpr DWORD kMaxConnections = 256;
inline constexpr DWORD kMaxDestinations = 256;

// The entry of a list control's values that stands for source `index` of a destination with
// `connections` sources. Windows 95, 98 and 2000 list the items in the order of the sources;
// Windows Me and XP onwards in the reverse order. `version` is GetVersion's answer.
DWORD ItemIndex(DWORD version, DWORD index, DWORD connections);

// A volume control's span (maximum − minimum, 0 when the bounds are reversed) and the value of
// one slider position (span / 18, integer division).
struct Scale {
    std::int64_t range = 0;
    std::int64_t step = 0;
};
Scale ScaleOf(DWORD minimum, DWORD maximum);

// The thumb's value at a position: position × step. A control too fine for 18 steps (step 0)
// maps the positions evenly over its span instead, so the thumb still reaches both ends.
DWORD ThumbValue(int position, const Scale& scale);

// The louder channel: the larger of left and right on a stereo line, else the only channel.
DWORD Louder(DWORD left, DWORD right, bool stereo);

// (right − left) / louder, signed: negative when the left channel is louder. False when the
// louder channel is 0 (the ratio is then kept as it was).
bool BalanceRatio(DWORD left, DWORD right, float& ratio);

// Where the thumbs stand for a reading.
int VolumePosition(DWORD louder, const Scale& scale);
int BalancePosition(float ratio);

// The channel values a volume-mode write sends: the louder channel at value, the other keeping
// the ratio. Mono lines use the left entry only.
struct Channels {
    DWORD left = 0;
    DWORD right = 0;
    bool operator==(const Channels&) const = default;
};
Channels VolumeWrite(DWORD value, float ratio, Channels current, bool stereo);

// A balance-mode write: the louder channel's level kept on the side the thumb points to, the
// other side falling off linearly towards the far end.
Channels BalanceWrite(DWORD value, int position, const Scale& scale, DWORD louder);

// An endpoint's level (a scalar from 0 to 1) as a value of a control with these bounds, rounded,
// and back. NaN and levels outside 0..1 are pinned to the ends; reversed bounds give the minimum
// and 0.
DWORD ScalarToValue(float level, DWORD minimum, DWORD maximum);
float ValueToScalar(DWORD value, DWORD minimum, DWORD maximum);

// Which part of an endpoint's volume a mixer control stands for on a system with one mixer device
// per endpoint: a render endpoint's own volume and mute are its destination line's; a capture
// endpoint has a single input, so its destination and source lines both stand for it.
enum class EndpointRole { None, Volume, Mute };
EndpointRole EndpointRoleOf(DWORD destinationType, bool destinationOnly, DWORD controlType);

// Where a slider draws its knob bitmap (size knob) for the trackbar's own thumb rectangle: centred
// on it along the track, at a fixed place across it.
RECT KnobRect(const RECT& trackbarThumb, bool vertical, SIZE knob);

}  // namespace mixer
