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

// Frames of 20 periods at this frequency: 20 x 48000 / f, rounded.
int ToneFrames(double frequency);
// A test tone: 20 periods of a rising sawtooth (0 up to at most 32767) in one channel of six, the
// others silent, so that it loops without a seam.
std::vector<std::uint8_t> TestTone(int channel, double frequency);

// The surround sweep's sound: 13328 unsigned 8-bit mono samples at 22050 Hz of quiet noise within
// 24 of the midpoint 128, with a "fact" chunk, and CR LF after the RIFF chunk.
std::vector<std::uint8_t> SweepSound();

}  // namespace gen
