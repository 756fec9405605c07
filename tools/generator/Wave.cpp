#include "Wave.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace gen {
namespace {

// Appends through resize and memcpy: GCC 12 reports a false overflow for insert and push_back
// here.
void Append(std::vector<std::uint8_t>& out, const void* bytes, std::size_t count) {
    const std::size_t old = out.size();
    out.resize(old + count);
    std::memcpy(out.data() + old, bytes, count);
}

void PutTag(std::vector<std::uint8_t>& out, const char* tag) {
    Append(out, tag, 4);
}

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
    const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(value),
                                   static_cast<std::uint8_t>(value >> 8)};
    Append(out, bytes, 2);
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

constexpr unsigned kChannels = 6;
constexpr unsigned kRate = 48000;
constexpr unsigned kBlockAlign = kChannels * 2;

// KSDATAFORMAT_SUBTYPE_PCM {00000001-0000-0010-8000-00AA00389B71}
constexpr std::uint8_t kPcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                            0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

}  // namespace

std::vector<std::uint8_t> SixChannelWave(const std::vector<std::int16_t>& samples,
                                         bool wholeSizeInRiff) {
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    const std::uint32_t fileSize = 12 + 8 + 40 + 8 + dataBytes;
    std::vector<std::uint8_t> out;
    PutTag(out, "RIFF");
    Put32(out, wholeSizeInRiff ? fileSize : fileSize - 8);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 40);
    Put16(out, 0xFFFE);
    Put16(out, kChannels);
    Put32(out, kRate);
    Put32(out, kRate * kBlockAlign);
    Put16(out, kBlockAlign);
    Put16(out, 16);
    Put16(out, 22);
    Put16(out, 16);
    Put32(out, 0x3F);
    Append(out, kPcmSubFormat, sizeof(kPcmSubFormat));
    PutTag(out, "data");
    Put32(out, dataBytes);
    for (std::int16_t sample : samples)
        Put16(out, static_cast<std::uint16_t>(sample));
    return out;
}

int ToneFrames(double frequency) {
    return static_cast<int>(std::lround(20.0 * kRate / frequency));
}

std::vector<std::uint8_t> TestTone(int channel, double frequency) {
    const int frames = ToneFrames(frequency);
    std::vector<std::int16_t> samples(static_cast<std::size_t>(frames) * kChannels, 0);
    for (int n = 0; n < frames; ++n) {
        // The phase of frame n within its period, as a fraction of the 20 periods in the file.
        const long long phase = (static_cast<long long>(n) * 20) % frames;
        samples[static_cast<std::size_t>(n) * kChannels + static_cast<std::size_t>(channel)] =
            static_cast<std::int16_t>(phase * 32768 / frames);
    }
    return SixChannelWave(samples, true);
}

std::vector<std::uint8_t> SweepSound() {
    constexpr std::uint32_t kSamples = 13328;
    constexpr std::uint32_t kRiffSize = 4 + (8 + 18) + (8 + 4) + (8 + kSamples);
    std::vector<std::uint8_t> out;
    PutTag(out, "RIFF");
    Put32(out, kRiffSize);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 18);
    Put16(out, 1);
    Put16(out, 1);
    Put32(out, 22050);
    Put32(out, 22050);
    Put16(out, 1);
    Put16(out, 8);
    Put16(out, 0);
    PutTag(out, "fact");
    Put32(out, 4);
    Put32(out, kSamples);
    PutTag(out, "data");
    Put32(out, kSamples);
    // Smoothed noise: a soft, steady rush.
    std::uint32_t state = 0x9183;
    double level = 0;
    std::vector<std::uint8_t> data(kSamples);
    for (std::uint8_t& sample : data) {
        state = state * 1664525u + 1013904223u;
        const double white = static_cast<double>(state >> 8) / (1u << 24) * 2.0 - 1.0;
        level = level * 0.55 + white * 9.0;
        sample = static_cast<std::uint8_t>(128 + std::lround(std::clamp(level, -20.0, 20.0)));
    }
    Append(out, data.data(), data.size());
    const std::uint8_t lineEnd[2] = {'\r', '\n'};
    Append(out, lineEnd, sizeof(lineEnd));
    return out;
}

std::vector<std::uint8_t> SilenceClip() {
    return SixChannelWave(std::vector<std::int16_t>(10 * kChannels, 0), false);
}

}  // namespace gen
