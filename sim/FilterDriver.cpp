#include "sim/FilterDriver.h"

#include <cstring>

namespace sim {

using namespace device;

namespace {

struct NamedRequest {
    DWORD code;
    const char* name;
};

constexpr NamedRequest kRequests[] = {
    {IOCTL_FILTER_ON, "FILTER_ON"},
    {IOCTL_FILTER_OFF, "FILTER_OFF"},
    {IOCTL_SPEAKER_51, "SPEAKER_51"},
    {IOCTL_SPEAKER_21, "SPEAKER_21"},
    {IOCTL_SURROUND_START, "SURROUND_START"},
    {IOCTL_SURROUND_STOP, "SURROUND_STOP"},
    {IOCTL_SET_GAIN_LFE, "SET_GAIN_LFE"},
    {IOCTL_SET_GAIN_L, "SET_GAIN_L"},
    {IOCTL_SET_GAIN_R, "SET_GAIN_R"},
    {IOCTL_SET_GAIN_C, "SET_GAIN_C"},
    {IOCTL_SET_GAIN_RL, "SET_GAIN_RL"},
    {IOCTL_SET_GAIN_RR, "SET_GAIN_RR"},
    {IOCTL_SET_BASS, "SET_BASS"},
    {IOCTL_GET_STREAM_KIND, "GET_STREAM_KIND"},
};

// The channel a gain request is for, or -1.
int GainChannel(DWORD code) {
    for (Channel channel : kChannelSendOrder) {
        if (GainRequest(channel) == code) return static_cast<int>(channel);
    }
    return -1;
}

}  // namespace

const char* RequestName(DWORD code) {
    for (const NamedRequest& request : kRequests) {
        if (request.code == code) return request.name;
    }
    return nullptr;
}

void FilterDriver::SetStreamKind(StreamKind kind) {
    stream = {static_cast<std::uint8_t>(kind == StreamKind::FiveOne),
              static_cast<std::uint8_t>(kind == StreamKind::TwoChannel), 0, 0};
}

bool FilterDriver::Handle(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
                          DWORD* returned) {
    if (returned) *returned = 0;
    if (const int channel = GainChannel(code); channel >= 0) {
        if (!in || inSize < sizeof(float)) return false;
        std::memcpy(&gains[static_cast<std::size_t>(channel)], in, sizeof(float));
        return true;
    }
    switch (code) {
        case IOCTL_FILTER_ON:
        case IOCTL_FILTER_OFF:
            filterOn = code == IOCTL_FILTER_ON;
            return true;
        case IOCTL_SPEAKER_51:
        case IOCTL_SPEAKER_21:
            speakers51 = code == IOCTL_SPEAKER_51;
            return true;
        case IOCTL_SURROUND_START:
        case IOCTL_SURROUND_STOP:
            surround = code == IOCTL_SURROUND_START;
            surroundStarts = surround ? surroundStarts + 1 : 0;
            return true;
        case IOCTL_SET_BASS:
            if (!in || inSize < sizeof(BassRecord)) return false;
            std::memcpy(&bass, in, sizeof(BassRecord));
            return true;
        case IOCTL_GET_STREAM_KIND:
            if (!out || outSize < stream.size()) return false;
            std::memcpy(out, stream.data(), stream.size());
            if (returned) *returned = static_cast<DWORD>(stream.size());
            return true;
        default:
            return false;
    }
}

}  // namespace sim
