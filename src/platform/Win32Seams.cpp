#include "platform/Win32Seams.h"

#include "framework/Wnd.h"

namespace platform {

HANDLE Win32DeviceIo::Open(const char* path, DWORD access, DWORD share, DWORD disposition,
                           DWORD flags) {
    return ::CreateFileA(path, access, share, nullptr, disposition, flags, nullptr);
}

BOOL Win32DeviceIo::Control(HANDLE device, DWORD code, const void* in, DWORD inSize, void* out,
                            DWORD outSize, DWORD* returned) {
    // Without an OVERLAPPED the byte count pointer must not be null.
    DWORD count = 0;
    return ::DeviceIoControl(device, code, const_cast<void*>(in), inSize, out, outSize,
                             returned ? returned : &count, nullptr);
}

BOOL Win32DeviceIo::Close(HANDLE device) {
    return ::CloseHandle(device);
}

UINT Win32Mixer::GetNumDevs() {
    return ::mixerGetNumDevs();
}

MMRESULT Win32Mixer::Open(HMIXER* mixer, UINT device, DWORD_PTR callback, DWORD_PTR instance,
                          DWORD flags) {
    return ::mixerOpen(mixer, device, callback, instance, flags);
}

MMRESULT Win32Mixer::GetDevCaps(UINT_PTR device, MIXERCAPSA* caps, UINT size) {
    return ::mixerGetDevCapsA(device, caps, size);
}

MMRESULT Win32Mixer::GetLineInfo(HMIXEROBJ mixer, MIXERLINEA* line, DWORD flags) {
    return ::mixerGetLineInfoA(mixer, line, flags);
}

MMRESULT Win32Mixer::GetLineControls(HMIXEROBJ mixer, MIXERLINECONTROLSA* controls, DWORD flags) {
    return ::mixerGetLineControlsA(mixer, controls, flags);
}

MMRESULT Win32Mixer::GetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) {
    return ::mixerGetControlDetailsA(mixer, details, flags);
}

MMRESULT Win32Mixer::SetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) {
    return ::mixerSetControlDetails(mixer, details, flags);
}

MMRESULT Win32Mixer::Close(HMIXER mixer) {
    return ::mixerClose(mixer);
}

BOOL Win32Sound::PlaySound(const char* sound, HMODULE module, DWORD flags) {
    return ::PlaySoundA(sound, module, flags);
}

BOOL Win32Sound::SndPlaySound(const char* sound, UINT flags) {
    return ::sndPlaySoundA(sound, flags);
}

int Win32Prompts::MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    return ::MessageBoxA(owner, text, caption, type);
}

namespace {

// A message box is a dialog of the system's dialog class whose text is the static control
// 0xFFFF; the program's own dialogs have a C++ object attached.
BOOL CALLBACK EndBoxOf(HWND window, LPARAM owner) {
    char className[16] = "";
    ::GetClassNameA(window, className, sizeof(className));
    if (::GetWindow(window, GW_OWNER) == reinterpret_cast<HWND>(owner) &&
        ::lstrcmpA(className, "#32770") == 0 && ::GetDlgItem(window, 0xFFFF) &&
        !CWnd::FromHandlePermanent(window)) {
        ::EndDialog(window, 0);
    }
    return TRUE;
}

}  // namespace

void Win32Prompts::EndBoxes(HWND owner) {
    if (owner)
        ::EnumThreadWindows(::GetCurrentThreadId(), &EndBoxOf, reinterpret_cast<LPARAM>(owner));
}

DWORD Win32System::GetVersion() {
    return ::GetVersion();
}

DWORD Win32System::TimeGetTime() {
    return ::timeGetTime();
}

void Win32System::Sleep(DWORD milliseconds) {
    ::Sleep(milliseconds);
}

LONG Win32Registry::CreateKey(HKEY parent, const char* subKey, const char* keyClass, DWORD options,
                              REGSAM access, HKEY* result, DWORD* disposition) {
    return ::RegCreateKeyExA(parent, subKey, 0, const_cast<char*>(keyClass), options, access,
                             nullptr, result, disposition);
}

LONG Win32Registry::QueryValue(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) {
    return ::RegQueryValueExA(key, name, nullptr, type, data, size);
}

LONG Win32Registry::SetValue(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) {
    return ::RegSetValueExA(key, name, 0, type, data, size);
}

LONG Win32Registry::CloseKey(HKEY key) {
    return ::RegCloseKey(key);
}

}  // namespace platform
