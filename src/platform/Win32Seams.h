#pragma once

#include "platform/Seams.h"

// The real services, used by default.
namespace platform {

class Win32DeviceIo : public IDeviceIo {
  public:
    HANDLE Open(const char* path, DWORD access, DWORD share, DWORD disposition,
                DWORD flags) override;
    BOOL Control(HANDLE device, DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
                 DWORD* returned) override;
    BOOL Close(HANDLE device) override;
};

class Win32Mixer : public IMixer {
  public:
    UINT GetNumDevs() override;
    MMRESULT Open(HMIXER* mixer, UINT device, DWORD_PTR callback, DWORD_PTR instance,
                  DWORD flags) override;
    MMRESULT GetDevCaps(UINT_PTR device, MIXERCAPSA* caps, UINT size) override;
    MMRESULT GetLineInfo(HMIXEROBJ mixer, MIXERLINEA* line, DWORD flags) override;
    MMRESULT GetLineControls(HMIXEROBJ mixer, MIXERLINECONTROLSA* controls, DWORD flags) override;
    MMRESULT GetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) override;
    MMRESULT SetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) override;
    MMRESULT Close(HMIXER mixer) override;
};

class Win32Sound : public ISound {
  public:
    BOOL PlaySound(const char* sound, HMODULE module, DWORD flags) override;
    BOOL SndPlaySound(const char* sound, UINT flags) override;
};

class Win32Prompts : public IPrompts {
  public:
    int MessageBox(HWND owner, const char* text, const char* caption, UINT type) override;
    void EndBoxes(HWND owner) override;
};

class Win32System : public ISystem {
  public:
    DWORD GetVersion() override;
    DWORD TimeGetTime() override;
    void Sleep(DWORD milliseconds) override;
};

class Win32Registry : public IRegistry {
  public:
    LONG CreateKey(HKEY parent, const char* subKey, const char* keyClass, DWORD options,
                   REGSAM access, HKEY* result, DWORD* disposition) override;
    LONG QueryValue(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) override;
    LONG SetValue(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) override;
    LONG CloseKey(HKEY key) override;
};

// Core Audio through ole32, loaded on first use so that a program that never binds an endpoint
// does not load COM at start-up.
class Win32AudioEndpoints : public IAudioEndpoints {
  public:
    std::unique_ptr<IEndpointVolume> Open(bool capture, const char* mixerName, HWND notify,
                                          WPARAM wParam, LPARAM lParam) override;
};

}  // namespace platform
