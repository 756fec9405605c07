#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Win32Seams.h"

// The other outside services as tests need them: the real registry with open keys counted and
// failures on demand, message boxes recorded and answered without a modal loop, sounds recorded,
// and a system clock and version that tests set.
namespace sim {

struct CreateKeyCall {
    HKEY parent;
    std::string subKey;
    std::string keyClass;
    DWORD options;
    REGSAM access;
};

class SimRegistry final : public platform::IRegistry {
  public:
    // The key cannot be opened or created, as without the right to write the machine's settings.
    bool failCreate = false;
    // Where not ERROR_SUCCESS, every read or every write fails with this code and leaves the
    // stored value as it is.
    LONG queryError = ERROR_SUCCESS;
    LONG setError = ERROR_SUCCESS;
    std::vector<CreateKeyCall> creates;

    int OpenKeys() const { return static_cast<int>(m_open.size()); }
    // Every call through this seam.
    int Calls() const { return m_calls; }
    int BadCloses() const { return m_badCloses; }

    LONG CreateKey(HKEY parent, const char* subKey, const char* keyClass, DWORD options,
                   REGSAM access, HKEY* result, DWORD* disposition) override;
    LONG QueryValue(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) override;
    LONG SetValue(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) override;
    LONG CloseKey(HKEY key) override;

  private:
    platform::Win32Registry m_real;
    std::set<HKEY> m_open;
    int m_badCloses = 0;
    int m_calls = 0;
};

struct Prompt {
    HWND owner;
    std::string text;
    std::optional<std::string> caption;  // empty optional: the caption pointer was null
    UINT type;
    // Ended unanswered while open, or gone with its owner window: the box returned 0.
    bool ended = false;
};

class SimPrompts final : public platform::IPrompts {
  public:
    std::vector<Prompt> shown;
    // Answers given in turn; when none is queued the box's first button answers.
    std::deque<int> answers;
    // What arrives while the next box is open (its nested message loop): runs once, inside that
    // box, before it is answered. Boxes it opens itself are answered at once.
    std::function<void()> whileOpen;

    int MessageBox(HWND owner, const char* text, const char* caption, UINT type) override;
    void EndBoxes(HWND owner) override;

  private:
    // Indexes into shown of the boxes open now, innermost last.
    std::vector<std::size_t> m_open;
};

struct PlayedSound {
    // "#9184" for a resource id, also for a WAVE image in memory that is one of the program's
    // own resources; "" for none (a stop); "<memory>" for any other image.
    std::string sound;
    HMODULE module;
    DWORD flags;
    bool viaSndPlaySound;
};

class SimSound final : public platform::ISound {
  public:
    // The most recent calls; a simulator left running drops the oldest half whenever the list
    // reaches kLogLimit.
    static constexpr std::size_t kLogLimit = 20000;
    std::vector<PlayedSound> played;
    // Calls made since the start, including the dropped ones.
    std::size_t total = 0;
    // Where set, every call is passed on to it as well: the host's real sound service.
    platform::ISound* passOn = nullptr;
    // Called after every call.
    std::function<void()> onPlayed;
    // Every call is recorded and then fails, as without a sound device.
    bool fail = false;

    BOOL PlaySound(const char* sound, HMODULE module, DWORD flags) override;
    BOOL SndPlaySound(const char* sound, UINT flags) override;

  private:
    void Record(PlayedSound call);
};

class SimSystem final : public platform::ISystem {
  public:
    DWORD version = MakeVersion(5, 1);
    DWORD now = 100000;
    std::vector<DWORD> sleeps;
    // Runs during each Sleep, for a world that changes meanwhile.
    std::function<void(DWORD)> onSleep;

    // GetVersion's layout: major version in the low byte, minor in the next.
    static DWORD MakeVersion(int major, int minor) {
        return static_cast<DWORD>(major) | (static_cast<DWORD>(minor) << 8);
    }

    DWORD GetVersion() override { return version; }
    DWORD TimeGetTime() override { return now; }
    // Returns at once; the clock moves on by the time asked for.
    void Sleep(DWORD milliseconds) override;
};

}  // namespace sim
