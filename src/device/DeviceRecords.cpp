#include "device/DeviceRecords.h"

#include <winioctl.h>

#include <bit>

namespace device {

// The filter driver's codes are the platform's CTL_CODE of each function.
static_assert(IOCTL_FILTER_ON ==
              CTL_CODE(FILE_DEVICE_UNKNOWN, 0xC00, METHOD_BUFFERED, FILE_ANY_ACCESS));
static_assert(IOCTL_GET_STREAM_KIND ==
              CTL_CODE(FILE_DEVICE_UNKNOWN, 0xC0D, METHOD_BUFFERED, FILE_ANY_ACCESS));

DWORD GainRequest(Channel channel) {
    switch (channel) {
        case Channel::L:
            return IOCTL_SET_GAIN_L;
        case Channel::R:
            return IOCTL_SET_GAIN_R;
        case Channel::C:
            return IOCTL_SET_GAIN_C;
        case Channel::LFE:
            return IOCTL_SET_GAIN_LFE;
        case Channel::RL:
            return IOCTL_SET_GAIN_RL;
        case Channel::RR:
            return IOCTL_SET_GAIN_RR;
    }
    return 0;
}

GainBytes EncodeGain(float gain) {
    const auto bits = std::bit_cast<std::uint32_t>(gain);
    return {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
            static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
}

BassRecord BassRecordFor(int choice) {
    switch (choice) {
        case 0:
            return {200, 100, 300};
        case 1:
            return {60, 40, 100};
        case 2:
            return {40, 27, 67};
        default:
            return {150, 100, 250};
    }
}

StreamKind DecodeStreamKind(const StreamRecord& record) {
    if (record[0]) return StreamKind::FiveOne;
    if (record[1]) return StreamKind::TwoChannel;
    return StreamKind::None;
}

}  // namespace device
