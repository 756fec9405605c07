#include "device/DeviceChannel.h"

bool CDeviceChannel::Open() {
    m_handle.Reset(platform::DeviceIo().Open(device::kDevicePath, GENERIC_READ | GENERIC_WRITE,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 0));
    return IsOpen();
}

void CDeviceChannel::Close() {
    m_handle.Reset();
}

bool CDeviceChannel::Request(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize) {
    if (!IsOpen()) return false;
    DWORD returned = 0;
    return platform::DeviceIo().Control(m_handle.Get(), code, in, inSize, out, outSize,
                                        &returned) != FALSE;
}

bool CDeviceChannel::Send(DWORD code) {
    return Request(code, nullptr, 0, nullptr, 0);
}

bool CDeviceChannel::SetGain(device::Channel channel, float gain) {
    const device::GainBytes bytes = device::EncodeGain(gain);
    return Request(device::GainRequest(channel), bytes.data(), sizeof(bytes), nullptr, 0);
}

bool CDeviceChannel::SetBass(int choice) {
    const device::BassRecord record = device::BassRecordFor(choice);
    return Request(device::IOCTL_SET_BASS, &record, sizeof(record), nullptr, 0);
}

bool CDeviceChannel::GetStreamKind(device::StreamRecord& record) {
    return Request(device::IOCTL_GET_STREAM_KIND, nullptr, 0, record.data(), sizeof(record));
}
