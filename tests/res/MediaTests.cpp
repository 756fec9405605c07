#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/ResString.h"
#include "res/resource.h"

namespace {

std::vector<std::uint8_t> WaveResource(UINT id) {
    HMODULE module = fw::ResourceModule();
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), "WAVE");
    if (!found) return {};
    const auto* data =
        static_cast<const std::uint8_t*>(::LockResource(::LoadResource(module, found)));
    return {data, data + ::SizeofResource(module, found)};
}

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    std::uint32_t v = 0;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}
std::uint16_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
    std::uint16_t v = 0;
    std::memcpy(&v, b.data() + at, 2);
    return v;
}
std::string Tag(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::string(reinterpret_cast<const char*>(b.data() + at), 4);
}

// The 68-byte six-channel header every sound but the sweep starts with.
void ExpectSixChannelHeader(const std::vector<std::uint8_t>& w, std::uint32_t dataBytes,
                            std::uint32_t riffSize) {
    ASSERT_EQ(w.size(), 68u + dataBytes);
    EXPECT_EQ(Tag(w, 0), "RIFF");
    EXPECT_EQ(U32(w, 4), riffSize);
    EXPECT_EQ(Tag(w, 8), "WAVE");
    EXPECT_EQ(Tag(w, 12), "fmt ");
    EXPECT_EQ(U32(w, 16), 40u);
    EXPECT_EQ(U16(w, 20), 0xFFFE);
    EXPECT_EQ(U16(w, 22), 6);
    EXPECT_EQ(U32(w, 24), 48000u);
    EXPECT_EQ(U32(w, 28), 576000u);
    EXPECT_EQ(U16(w, 32), 12);
    EXPECT_EQ(U16(w, 34), 16);
    EXPECT_EQ(U16(w, 36), 22);
    EXPECT_EQ(U16(w, 38), 16);
    EXPECT_EQ(U32(w, 40), 0x3Fu);
    const std::uint8_t pcm[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                  0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    EXPECT_EQ(std::memcmp(w.data() + 44, pcm, 16), 0) << "KSDATAFORMAT_SUBTYPE_PCM";
    EXPECT_EQ(Tag(w, 60), "data");
    EXPECT_EQ(U32(w, 64), dataBytes);
}

TEST(TestSounds, EachToneIsTwentySawtoothPeriodsInItsOneChannel) {
    const struct {
        UINT id;
        int channel;
        double frequency;
        std::uint32_t frames;
    } tones[] = {
        {9177, 0, 261.63, 3669}, {9181, 2, 293.66, 3269}, {9180, 1, 329.63, 2912},
        {9178, 5, 349.23, 2749}, {9182, 3, 392.00, 2449}, {9179, 4, 440.00, 2182},
    };
    for (const auto& tone : tones) {
        SCOPED_TRACE(tone.id);
        const std::vector<std::uint8_t> w = WaveResource(tone.id);
        const std::uint32_t dataBytes = tone.frames * 12;
        // These six hold the whole resource size in the RIFF size field.
        ExpectSixChannelHeader(w, dataBytes, 68 + dataBytes);
        if (HasFailure()) continue;

        int resets = 0;
        int previous = -1;
        std::int16_t first = 0;
        bool otherChannelsSilent = true;
        for (std::uint32_t n = 0; n < tone.frames; ++n) {
            for (int c = 0; c < 6; ++c) {
                const auto sample = static_cast<std::int16_t>(U16(w, 68 + n * 12 + c * 2));
                if (c != tone.channel) {
                    otherChannelsSilent &= sample == 0;
                    continue;
                }
                ASSERT_GE(sample, 0);
                ASSERT_LE(sample, 32767);
                if (n == 0) first = sample;
                if (previous >= 0 && sample < previous) ++resets;
                previous = sample;
            }
        }
        EXPECT_TRUE(otherChannelsSilent);
        EXPECT_EQ(first, 0) << "a period starts at 0";
        // 20 periods: 19 drops inside the file and the 20th at the loop point.
        EXPECT_EQ(resets, 19);
        EXPECT_GT(previous, 32768 - 2 * 32768 * tone.frequency / 48000) << "no seam at the loop";
    }
}

TEST(TestSounds, TheSweepIsQuietEightBitMonoNoiseWithItsFactChunkAndTrailingLineEnd) {
    const std::vector<std::uint8_t> w = WaveResource(9183);
    ASSERT_EQ(w.size(), 8u + 13378u + 2u);
    EXPECT_EQ(Tag(w, 0), "RIFF");
    EXPECT_EQ(U32(w, 4), 13378u) << "the file size minus 8, without the trailing CR LF";
    EXPECT_EQ(Tag(w, 8), "WAVE");
    EXPECT_EQ(Tag(w, 12), "fmt ");
    EXPECT_EQ(U32(w, 16), 18u);
    EXPECT_EQ(U16(w, 20), 1);
    EXPECT_EQ(U16(w, 22), 1);
    EXPECT_EQ(U32(w, 24), 22050u);
    EXPECT_EQ(U32(w, 28), 22050u);
    EXPECT_EQ(U16(w, 32), 1);
    EXPECT_EQ(U16(w, 34), 8);
    EXPECT_EQ(U16(w, 36), 0);
    EXPECT_EQ(Tag(w, 38), "fact");
    EXPECT_EQ(U32(w, 42), 4u);
    EXPECT_EQ(U32(w, 46), 13328u);
    EXPECT_EQ(Tag(w, 50), "data");
    EXPECT_EQ(U32(w, 54), 13328u);
    int lowest = 255, highest = 0;
    for (std::size_t i = 58; i < 58 + 13328; ++i) {
        lowest = std::min<int>(lowest, w[i]);
        highest = std::max<int>(highest, w[i]);
    }
    EXPECT_GE(lowest, 128 - 24);
    EXPECT_LE(highest, 128 + 24);
    EXPECT_LT(lowest, 128) << "not silence";
    EXPECT_GT(highest, 128);
    EXPECT_EQ(w[w.size() - 2], '\r');
    EXPECT_EQ(w[w.size() - 1], '\n');
}

TEST(TestSounds, TheSilenceClipIsTenFramesOfSixChannelSilence) {
    const std::vector<std::uint8_t> w = WaveResource(9184);
    ExpectSixChannelHeader(w, 120, 180);
    ASSERT_EQ(w.size(), 188u);
    for (std::size_t i = 68; i < w.size(); ++i)
        EXPECT_EQ(w[i], 0) << i;
}

TEST(Artwork, EveryBitmapHasItsSizeAndDepthAndNoKeyColour) {
    const struct {
        UINT id;
        int width;
        int height;
    } bitmaps[] = {
        {129, 577, 113}, {136, 587, 227}, {188, 496, 223}, {152, 53, 16}, {140, 18, 69},
        {142, 10, 21},   {141, 46, 12},   {137, 44, 13},   {138, 44, 13}, {180, 44, 13},
        {160, 43, 43},   {161, 43, 43},   {162, 43, 43},   {163, 43, 43}, {169, 43, 43},
        {170, 43, 43},   {164, 43, 42},   {165, 43, 42},   {166, 43, 42}, {167, 43, 42},
        {171, 43, 42},   {172, 43, 42},   {168, 42, 40},   {159, 65, 65}, {195, 5, 5},
        {196, 8, 6},
    };
    for (const auto& b : bitmaps) {
        SCOPED_TRACE(b.id);
        HBITMAP bitmap = static_cast<HBITMAP>(::LoadImageA(
            fw::ResourceModule(), MAKEINTRESOURCEA(b.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ASSERT_NE(bitmap, nullptr);
        DIBSECTION dib{};
        ASSERT_EQ(::GetObjectA(bitmap, sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
        EXPECT_EQ(dib.dsBm.bmWidth, b.width);
        EXPECT_EQ(dib.dsBm.bmHeight, b.height);
        EXPECT_EQ(dib.dsBm.bmBitsPixel, 24);
        int keyPixels = 0;
        const auto* bits = static_cast<const std::uint8_t*>(dib.dsBm.bmBits);
        for (int y = 0; y < b.height; ++y) {
            const std::uint8_t* row = bits + static_cast<std::size_t>(y) * dib.dsBm.bmWidthBytes;
            for (int x = 0; x < b.width; ++x) {
                keyPixels += row[x * 3] == 0 && row[x * 3 + 1] == 255 && row[x * 3 + 2] == 0;
            }
        }
        EXPECT_EQ(keyPixels, 0) << "the window region's key colour 0x00FF00";
        ::DeleteObject(bitmap);
    }
}

TEST(Artwork, IconsComeInTheirSizes) {
    const struct {
        UINT id;
        int size;
    } icons[] = {{128, 32}, {153, 16}, {154, 16}};
    for (const auto& i : icons) {
        SCOPED_TRACE(i.id);
        HICON icon = static_cast<HICON>(::LoadImageA(fw::ResourceModule(), MAKEINTRESOURCEA(i.id),
                                                     IMAGE_ICON, i.size, i.size, 0));
        ASSERT_NE(icon, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(icon, &info));
        BITMAP mask{};
        ::GetObjectA(info.hbmMask, sizeof(mask), &mask);
        EXPECT_EQ(mask.bmWidth, i.size);
        if (info.hbmColor) ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
        ::DestroyIcon(icon);
    }
}

}  // namespace
