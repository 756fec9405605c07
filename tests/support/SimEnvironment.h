#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "app/PanelShared.h"
#include "framework/Wnd.h"
#include "sim/SimServices.h"
#include "sim/SimWorld.h"
#include "tests/support/SiblingLibraryFile.h"

namespace testing_support {

inline constexpr char kSettingsKeyPath[] = "SOFTWARE\\Harlowen\\Quorvel Dual\\Filter";

// The four bytes stored under a value of the settings key, whatever its type, as the program
// reads them; nothing for a missing value or one of another size.
inline std::optional<DWORD> StoredSetting(const char* name) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegGetValueA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, name, RRF_RT_ANY, nullptr, &value,
                       &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

// Writes a value of the settings key beside the program, as a REG_DWORD.
inline void StoreSetting(const char* name, DWORD value) {
    ::RegSetKeyValueA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, name, REG_DWORD, &value, sizeof(value));
}

// Whether a window's timer runs: KillTimer answers that, and the timer is set again at once.
inline bool TimerRunning(HWND window, UINT_PTR id, UINT period) {
    if (!::KillTimer(window, id)) return false;
    ::SetTimer(window, id, period, nullptr);
    return true;
}

// A hidden window that records what the program sends it: commands, menu loops, the filter
// page's message, and tray callbacks it hands to a handler.
class Recorder : public CWnd {
  public:
    Recorder() {
        SubclassWindow(::CreateWindowExA(0, "STATIC", "recorder", WS_POPUP, 0, 0, 10, 10, nullptr,
                                         nullptr, nullptr, nullptr));
    }
    ~Recorder() override {
        if (HWND hwnd = UnsubclassWindow()) ::DestroyWindow(hwnd);
    }

    std::vector<UINT> commands;
    int menuLoops = 0;
    int filterDeclined = 0;
    std::function<LRESULT(WPARAM, LPARAM)> onTrayCallback;
    std::vector<LRESULT> trayResults;

  protected:
    // Every command, whatever its id.
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_COMMAND) commands.push_back(LOWORD(wp));
        return CWnd::WindowProc(msg, wp, lp);
    }

    const fw::MessageMap* GetMessageMap() const override {
        static constexpr fw::MsgRow kRows[] = {
            fw::OnMessage<&Recorder::OnMenuLoop>(WM_ENTERMENULOOP),
            fw::OnMessage<&Recorder::OnFilterDeclined>(WM_FILTER_DECLINED),
            fw::OnMessage<&Recorder::OnTray>(WM_TRAY_CALLBACK),
        };
        static const fw::MessageMap kMap{CWnd::GetMessageMap(), kRows};
        return &kMap;
    }

  private:
    LRESULT OnMenuLoop(WPARAM, LPARAM) {
        ++menuLoops;
        return 0;
    }
    LRESULT OnFilterDeclined(WPARAM, LPARAM) {
        ++filterDeclined;
        return 1;
    }
    LRESULT OnTray(WPARAM wp, LPARAM lp) {
        const LRESULT result = onTrayCallback ? onTrayCallback(wp, lp) : 0;
        trayResults.push_back(result);
        return result;
    }
};

// The simulated outside world for the program's windows: adapter, sibling library, prompts,
// sounds, clock and version, and the real registry with its keys counted. Each test starts
// without the settings key and with the shared panel values as at start-up.
class SimEnvironment : public testing::Test {
  public:
    static constexpr char kSettingsParent[] = "SOFTWARE\\Harlowen";

    SimEnvironment() {
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettingsParent);
        Panel() = {};
        world.AttachMixer(&mixer);
    }
    ~SimEnvironment() override { ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettingsParent); }

    // Nothing the program opened is left open, and nothing was closed twice.
    void ExpectNothingLeaked() const {
        EXPECT_EQ(world.OpenHandles(), 0);
        EXPECT_EQ(world.BadCloses(), 0);
        EXPECT_EQ(registry.OpenKeys(), 0);
        EXPECT_EQ(registry.BadCloses(), 0);
        EXPECT_EQ(mixer.OpenHandles(), 0);
        EXPECT_EQ(mixer.BadCloses(), 0);
    }

    int Played(const char* name) const {
        int count = 0;
        for (const sim::PlayedSound& played : sound.played)
            count += played.sound == name;
        return count;
    }

    int Requests(DWORD code) const {
        int count = 0;
        for (const sim::DriverRequest& request : world.Requests())
            count += request.code == code;
        return count;
    }

    sim::SimMixer mixer;
    sim::SimWorld world;
    sim::SimPrompts prompts;
    sim::SimSound sound;
    sim::SimSystem system;
    sim::SimRegistry registry;
    platform::ScopedSeam<platform::IDeviceIo> deviceSeam{world};
    platform::ScopedSeam<platform::IMixer> mixerSeam{mixer};
    platform::ScopedSeam<platform::IAudioEndpoints> endpointSeam{mixer.endpoints};
    platform::ScopedSeam<platform::IPrompts> promptSeam{prompts};
    platform::ScopedSeam<platform::ISound> soundSeam{sound};
    platform::ScopedSeam<platform::ISystem> systemSeam{system};
    platform::ScopedSeam<platform::IRegistry> registrySeam{registry};
    SiblingLibraryFile library{Library::Full};
};

}  // namespace testing_support
