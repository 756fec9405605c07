#include "device/SettingsKey.h"

#include <bit>
#include <cmath>

#include "framework/ResString.h"
#include "res/resource.h"

bool CSettingsKey::Open() {
    // The path is used as the string table has it, trailing backslash included.
    const std::string path = fw::ResString(IDS_SETTINGS_KEY);
    HKEY key = nullptr;
    DWORD disposition = 0;
    const LONG result =
        platform::Registry().CreateKey(HKEY_LOCAL_MACHINE, path.c_str(), settings::kKeyClass,
                                       REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, &key, &disposition);
    m_key.Reset(result == ERROR_SUCCESS ? key : nullptr);
    return IsOpen();
}

void CSettingsKey::Close() {
    m_key.Reset();
}

LONG CSettingsKey::Read(const char* name, DWORD& value, DWORD& size) const {
    if (!IsOpen()) return ERROR_INVALID_HANDLE;
    DWORD buffer = 0;
    DWORD type = 0;
    size = sizeof(buffer);
    const LONG result = platform::Registry().QueryValue(m_key.Get(), name, &type,
                                                        reinterpret_cast<BYTE*>(&buffer), &size);
    if (result == ERROR_SUCCESS) value = buffer;
    return result;
}

LONG CSettingsKey::Query(const char* name, DWORD& value) const {
    DWORD size = 0;
    return Read(name, value, size);
}

DWORD CSettingsKey::ReadOrCreate(const char* name, DWORD defaultValue) const {
    DWORD value = 0;
    DWORD size = 0;
    const LONG result = Read(name, value, size);
    if (result == ERROR_SUCCESS && size == sizeof(value)) return value;
    // A value shorter than four bytes reads successfully but is as unusable as a longer one.
    if (result == ERROR_SUCCESS || NeedsDefault(result)) Write(name, defaultValue);
    return defaultValue;
}

float CSettingsKey::ReadOrCreateGain(const char* name, float defaultGain) const {
    const float gain = std::bit_cast<float>(ReadOrCreate(name, std::bit_cast<DWORD>(defaultGain)));
    if (std::isfinite(gain)) return gain;
    // Four bytes that are no number (NaN, an infinity) can be neither shown nor sent.
    WriteGain(name, defaultGain);
    return defaultGain;
}

void CSettingsKey::Write(const char* name, DWORD value) const {
    if (!IsOpen()) return;
    platform::Registry().SetValue(m_key.Get(), name, REG_DWORD,
                                  reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

void CSettingsKey::WriteGain(const char* name, float gain) const {
    Write(name, std::bit_cast<DWORD>(gain));
}
