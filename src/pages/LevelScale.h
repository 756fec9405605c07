#pragma once

// The scale of the channel level sliders: positions 0 (top, +20 dB) to 40 (bottom, -20 dB) in
// steps of 1 dB, position 20 being 0 dB, and the linear gain each stands for.
namespace levels {

inline constexpr int kTop = 0;
inline constexpr int kZeroDb = 20;
inline constexpr int kBottom = 40;

// 10^((20 - position) / 20), worked out in double and kept as the single the driver takes.
float GainForPosition(int position);

// The nearest position, clamped to the scale. A gain of zero or below (or NaN) has no place on
// it and shows at the bottom.
int PositionForGain(float gain);

}  // namespace levels
