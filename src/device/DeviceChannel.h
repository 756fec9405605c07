#pragma once

#include "device/DeviceRecords.h"
#include "platform/Handles.h"

// One handle on the adapter's filter driver. After a failed open it keeps INVALID_HANDLE_VALUE
// and every request returns false without reaching the driver.
class CDeviceChannel {
  public:
    // Opens the device path (read/write, shared read/write, existing only); false on failure.
    bool Open();
    void Close();
    bool IsOpen() const { return static_cast<bool>(m_handle); }

    // A request without data: the filter, speaker and surround switches.
    bool Send(DWORD code);
    bool SetGain(device::Channel channel, float gain);
    bool SetBass(int choice);
    // Fills record with the driver's four bytes; false when the request failed.
    bool GetStreamKind(device::StreamRecord& record);

  private:
    bool Request(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize);

    platform::DeviceHandle m_handle;
};
