#pragma once

#include "platform/Handles.h"

// Names of the values of the settings key; every one is a 4-byte REG_DWORD.
namespace settings {
inline constexpr char kFirstLaunched[] = "FirstLaunched";
inline constexpr char kEnableFilter[] = "EnableFilter";
inline constexpr char kOutputMode[] = "OutputMode";
inline constexpr char kBassOutputMode[] = "BassOutputMode";
inline constexpr char kVolumeL[] = "VolumeL";
inline constexpr char kVolumeR[] = "VolumeR";
inline constexpr char kVolumeLFE[] = "VolumeLFE";
inline constexpr char kVolumeC[] = "VolumeC";
inline constexpr char kVolumeRL[] = "VolumeRL";
inline constexpr char kVolumeRR[] = "VolumeRR";
inline constexpr char kTestMode[] = "TestMode";
inline constexpr char kTestBtnStatus[] = "TestBtnStatus";

// The registry class given to the key when it is created.
inline constexpr char kKeyClass[] = "Tivon";
}  // namespace settings

// The program's one registry key under HKEY_LOCAL_MACHINE, created when missing. When it cannot
// be opened every read gives its default and every write is dropped, without a word: the program
// then runs on defaults.
class CSettingsKey {
  public:
    bool Open();
    void Close();
    bool IsOpen() const { return static_cast<bool>(m_key); }

    // One read into a zero-filled 4-byte buffer; the registry's result (a value longer than four
    // bytes fails with ERROR_MORE_DATA, a shorter one reads zero-extended).
    LONG Query(const char* name, DWORD& value) const;
    // The stored 4 bytes, whatever their registry type. A value that is missing or not exactly
    // four bytes long is replaced by the default, which is written back. A read that fails for
    // another reason gives the default and leaves the stored value as it is.
    DWORD ReadOrCreate(const char* name, DWORD defaultValue) const;
    // A channel gain kept as the raw bits of its IEEE-754 single (1.0 is 0x3F800000). Bits that
    // are NaN or an infinity count as unreadable: the default replaces them and is written back.
    float ReadOrCreateGain(const char* name, float defaultGain) const;

    // Written at once as REG_DWORD; a failure is ignored.
    void Write(const char* name, DWORD value) const;
    void WriteGain(const char* name, float gain) const;

    // Whether a failed read means the value is to be written anew: it is missing, or too long for
    // four bytes. Any other failure (no access, the key deleted meanwhile, no memory) says nothing
    // of the stored value, which still mirrors what the adapter last accepted.
    static bool NeedsDefault(LONG readResult) {
        return readResult == ERROR_FILE_NOT_FOUND || readResult == ERROR_MORE_DATA;
    }

  private:
    LONG Read(const char* name, DWORD& value, DWORD& size) const;

    platform::RegKey m_key;
};
