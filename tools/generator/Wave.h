#pragma once

#include <cstdint>
#include <vector>

// The program's WAVE resources, built byte for byte.
namespace gen {

// Six-channel 48 kHz 16-bit WAVE_FORMAT_EXTENSIBLE (channel mask 0x3F) holding frames of
// interleaved samples. wholeSizeInRiff: the RIFF size field holds the whole file size instead of
// the file size minus 8.
std::vector<std::uint8_t> SixChannelWave(const std::vector<std::int16_t>& samples,
                                         bool wholeSizeInRiff);

// Ten frames of six-channel silence: 188 bytes.
std::vector<std::uint8_t> SilenceClip();

}  // namespace gen
