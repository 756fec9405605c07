#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "framework/WinApp.h"
#include "tests/support/SimEnvironment.h"

namespace testing_support {

inline DWORD Bits(float gain) {
    DWORD bits = 0;
    std::memcpy(&bits, &gain, sizeof(bits));
    return bits;
}

// A settings page created as the tab strip creates it, under a window of its own, in the
// simulated world.
template <class Page>
class PageTest : public SimEnvironment {
  public:
    void TearDown() override {
        Destroy();
        ExpectNothingLeaked();
    }

    void Create() {
        page = std::make_unique<Page>();
        page->Create(0, &host);
        page->ShowWindow(SW_SHOW);
    }
    // The page's close step, as the window's owner runs it before the window goes.
    void Destroy() {
        if (!page) return;
        page->ClosePage();
        page.reset();
        app.PumpPending();
    }

    HWND Item(int id) const { return page->GetDlgItem(id); }
    bool Checked(int id) const { return ::SendMessageA(Item(id), BM_GETCHECK, 0, 0) != 0; }
    bool Enabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
    void Click(int id) const { ::SendMessageA(Item(id), BM_CLICK, 0, 0); }

    // The codes of the driver requests since the logs were cleared, and whether each succeeded.
    std::vector<DWORD> Codes() const {
        std::vector<DWORD> codes;
        for (const sim::DriverRequest& request : world.Requests())
            codes.push_back(request.code);
        return codes;
    }

    CWinApp app;
    Recorder host;
    std::unique_ptr<Page> page;
};

}  // namespace testing_support
