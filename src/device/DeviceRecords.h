#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>

// The requests the adapter's filter driver understands and the records they carry. These codes
// and bytes are the contract with the driver.
namespace device {

inline constexpr char kDevicePath[] = "\\\\.\\Class#A7D2&5B19";

// CTL_CODE(FILE_DEVICE_UNKNOWN, function, METHOD_BUFFERED, FILE_ANY_ACCESS)
constexpr DWORD FilterRequest(DWORD function) {
    return (0x22u << 16) | (function << 2);
}

inline constexpr DWORD IOCTL_FILTER_ON = FilterRequest(0xC00);
inline constexpr DWORD IOCTL_FILTER_OFF = FilterRequest(0xC01);
inline constexpr DWORD IOCTL_SPEAKER_51 = FilterRequest(0xC02);
inline constexpr DWORD IOCTL_SPEAKER_21 = FilterRequest(0xC03);
inline constexpr DWORD IOCTL_SURROUND_START = FilterRequest(0xC04);
inline constexpr DWORD IOCTL_SURROUND_STOP = FilterRequest(0xC05);
inline constexpr DWORD IOCTL_SET_GAIN_LFE = FilterRequest(0xC06);
inline constexpr DWORD IOCTL_SET_GAIN_L = FilterRequest(0xC07);
inline constexpr DWORD IOCTL_SET_GAIN_R = FilterRequest(0xC08);
inline constexpr DWORD IOCTL_SET_GAIN_C = FilterRequest(0xC09);
inline constexpr DWORD IOCTL_SET_GAIN_RL = FilterRequest(0xC0A);
inline constexpr DWORD IOCTL_SET_GAIN_RR = FilterRequest(0xC0B);
inline constexpr DWORD IOCTL_SET_BASS = FilterRequest(0xC0C);
inline constexpr DWORD IOCTL_GET_STREAM_KIND = FilterRequest(0xC0D);

// The six output channels, in the order in which all six gains are sent.
enum class Channel { L, R, C, LFE, RL, RR };
inline constexpr std::array<Channel, 6> kChannelSendOrder{Channel::L,   Channel::R,  Channel::C,
                                                          Channel::LFE, Channel::RL, Channel::RR};

DWORD GainRequest(Channel channel);

// A channel gain travels as the four little-endian bytes of an IEEE-754 single (1.0 = 0 dB).
using GainBytes = std::array<std::uint8_t, 4>;
GainBytes EncodeGain(float gain);
static_assert(sizeof(float) == sizeof(GainBytes) && std::numeric_limits<float>::is_iec559);

// Crossover choice: 0 = 120 Hz, 1 = 300 Hz, 2 = 450 Hz; the third word is the sum of the first two.
struct BassRecord {
    std::uint32_t first;
    std::uint32_t second;
    std::uint32_t sum;
};
static_assert(sizeof(BassRecord) == 12 && offsetof(BassRecord, second) == 4 &&
              offsetof(BassRecord, sum) == 8);
BassRecord BassRecordFor(int choice);

// What IOCTL_GET_STREAM_KIND fills in: byte 0 set for a 5.1-channel stream, else byte 1 set for a
// two-channel stream; bytes 2 and 3 mean nothing.
using StreamRecord = std::array<std::uint8_t, 4>;
enum class StreamKind { None, TwoChannel, FiveOne };
StreamKind DecodeStreamKind(const StreamRecord& record);
static_assert(sizeof(StreamRecord) == 4);

}  // namespace device
