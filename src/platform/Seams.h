#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <memory>

// Everything outside the program that a test must control goes through one of these interfaces.
// The process uses the Win32 implementations unless a ScopedSeam installs another.
namespace platform {

// CreateFileA, DeviceIoControl and CloseHandle for the adapter and the USB host controllers.
class IDeviceIo {
  public:
    virtual ~IDeviceIo() = default;
    virtual HANDLE Open(const char* path, DWORD access, DWORD share, DWORD disposition,
                        DWORD flags) = 0;
    virtual BOOL Control(HANDLE device, DWORD code, const void* in, DWORD inSize, void* out,
                         DWORD outSize, DWORD* returned) = 0;
    virtual BOOL Close(HANDLE device) = 0;
};

// The winmm mixer functions. Change notifications still arrive as MM_MIXM_CONTROL_CHANGE
// messages to the window given to Open.
class IMixer {
  public:
    virtual ~IMixer() = default;
    virtual UINT GetNumDevs() = 0;
    virtual MMRESULT Open(HMIXER* mixer, UINT device, DWORD_PTR callback, DWORD_PTR instance,
                          DWORD flags) = 0;
    virtual MMRESULT GetDevCaps(UINT_PTR device, MIXERCAPSA* caps, UINT size) = 0;
    virtual MMRESULT GetLineInfo(HMIXEROBJ mixer, MIXERLINEA* line, DWORD flags) = 0;
    virtual MMRESULT GetLineControls(HMIXEROBJ mixer, MIXERLINECONTROLSA* controls,
                                     DWORD flags) = 0;
    virtual MMRESULT GetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details,
                                       DWORD flags) = 0;
    virtual MMRESULT SetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details,
                                       DWORD flags) = 0;
    virtual MMRESULT Close(HMIXER mixer) = 0;
};

// PlaySound and sndPlaySound.
class ISound {
  public:
    virtual ~ISound() = default;
    virtual BOOL PlaySound(const char* sound, HMODULE module, DWORD flags) = 0;
    virtual BOOL SndPlaySound(const char* sound, UINT flags) = 0;
};

// MessageBoxA, and ending the boxes still open in a nested message loop.
class IPrompts {
  public:
    virtual ~IPrompts() = default;
    virtual int MessageBox(HWND owner, const char* text, const char* caption, UINT type) = 0;
    // Ends, unanswered, every message box of this thread that the top-level window owner owns
    // (also one opened for one of its child windows): each returns 0.
    virtual void EndBoxes(HWND owner) = 0;
};

// GetVersion, timeGetTime and Sleep.
class ISystem {
  public:
    virtual ~ISystem() = default;
    virtual DWORD GetVersion() = 0;
    virtual DWORD TimeGetTime() = 0;
    virtual void Sleep(DWORD milliseconds) = 0;
};

// RegCreateKeyExA, RegQueryValueExA, RegSetValueExA and RegCloseKey.
class IRegistry {
  public:
    virtual ~IRegistry() = default;
    virtual LONG CreateKey(HKEY parent, const char* subKey, const char* keyClass, DWORD options,
                           REGSAM access, HKEY* result, DWORD* disposition) = 0;
    virtual LONG QueryValue(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) = 0;
    virtual LONG SetValue(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) = 0;
    virtual LONG CloseKey(HKEY key) = 0;
};

// The volume of one audio endpoint, as Core Audio's IAudioEndpointVolume gives it: levels are
// scalars from 0 to 1, the master level is the loudest channel's and setting it scales every
// channel alike. Each call returns the endpoint's HRESULT.
class IEndpointVolume {
  public:
    virtual ~IEndpointVolume() = default;
    virtual HRESULT GetChannelCount(UINT* count) = 0;
    virtual HRESULT GetMasterScalar(float* level) = 0;
    virtual HRESULT SetMasterScalar(float level) = 0;
    virtual HRESULT GetChannelScalar(UINT channel, float* level) = 0;
    virtual HRESULT SetChannelScalar(UINT channel, float level) = 0;
    virtual HRESULT GetMute(BOOL* muted) = 0;
    virtual HRESULT SetMute(BOOL muted) = 0;
};

// Core Audio's device enumerator (Windows Vista and later): finds the active render or capture
// endpoint that a per-endpoint mixer device stands for.
class IAudioEndpoints {
  public:
    virtual ~IAudioEndpoints() = default;
    // The endpoint volume of the active endpoint of that direction whose friendly name the mixer
    // device's product name is (EndpointNameMatches), or null where there is none. Changes from
    // anywhere arrive on another thread; they are posted to notify as MM_MIXM_CONTROL_CHANGE with
    // these parameters until the returned object is destroyed.
    virtual std::unique_ptr<IEndpointVolume> Open(bool capture, const char* mixerName, HWND notify,
                                                  WPARAM wParam, LPARAM lParam) = 0;
};

// A mixer device's product name is its endpoint's friendly name cut to the 31 characters a
// MIXERCAPS holds.
bool EndpointNameMatches(const char* friendlyName, const char* mixerName);

IDeviceIo& DeviceIo();
IMixer& Mixer();
ISound& Sound();
IPrompts& Prompts();
ISystem& System();
IRegistry& Registry();
IAudioEndpoints& AudioEndpoints();

// Installs a replacement seam for the lifetime of this object and puts the previous one back.
template <class Seam>
class ScopedSeam {
  public:
    explicit ScopedSeam(Seam& replacement);
    ~ScopedSeam();
    ScopedSeam(const ScopedSeam&) = delete;
    ScopedSeam& operator=(const ScopedSeam&) = delete;

  private:
    Seam* m_previous;
};

}  // namespace platform
