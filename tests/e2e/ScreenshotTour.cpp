// Starts the simulator build, opens the settings window, visits each tab and saves a screenshot
// of the window on each one as a BMP file in the folder given.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "res/resource.h"
#include "tests/e2e/SimProcess.h"

namespace {

// The part of the screen the window shows: its rectangle cut to its region, if it has one.
RECT VisibleRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    fw::Region region(::CreateRectRgn(0, 0, 0, 0));
    RECT box{};
    if (::GetWindowRgn(window, region.Get()) != ERROR && ::GetRgnBox(region.Get(), &box) != ERROR) {
        ::OffsetRect(&box, rect.left, rect.top);
        ::IntersectRect(&rect, &rect, &box);
    }
    return rect;
}

bool SaveWindow(HWND window, const std::string& path) {
    const RECT rect = VisibleRect(window);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    fw::WindowDc screen(nullptr);
    fw::MemoryDc memory(::CreateCompatibleDC(screen.Get()));
    fw::Bitmap bitmap(::CreateCompatibleBitmap(screen.Get(), width, height));
    {
        fw::SelectGuard select(memory.Get(), bitmap.Get());
        ::BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), rect.left, rect.top, SRCCOPY);
    }

    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    const int row = (width * 3 + 3) / 4 * 4;
    std::vector<BYTE> pixels(static_cast<std::size_t>(row * height));
    ::GetDIBits(memory.Get(), bitmap.Get(), 0, static_cast<UINT>(height), pixels.data(),
                reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    std::fwrite(&file, sizeof(file), 1, out);
    std::fwrite(&header, sizeof(header), 1, out);
    std::fwrite(pixels.data(), 1, pixels.size(), out);
    std::fclose(out);
    return true;
}

// Some channels away from 0 dB, so the level page shows its sliders at work.
void MoveLevels(HWND tabs) {
    const struct {
        int slider;
        int position;
    } moves[] = {{IDC_LEVEL_L, 14}, {IDC_LEVEL_R, 14}, {IDC_LEVEL_LFE, 6}, {IDC_LEVEL_RL, 26}};
    for (HWND page = ::GetWindow(tabs, GW_CHILD); page; page = ::GetWindow(page, GW_HWNDNEXT)) {
        for (const auto& move : moves) {
            HWND slider = ::GetDlgItem(page, move.slider);
            if (!slider) continue;
            ::SendMessageA(slider, TBM_SETPOS, TRUE, move.position);
            ::SendMessageA(page, WM_VSCROLL, MAKEWPARAM(TB_THUMBPOSITION, move.position),
                           reinterpret_cast<LPARAM>(slider));
        }
    }
}

// Whether the tile's picture shows pressed: its top-left edge is dark then, light when raised.
bool TileLooksPressed(HWND tile) {
    RECT rect{};
    ::GetWindowRect(tile, &rect);
    fw::WindowDc screen(nullptr);
    const COLORREF corner = ::GetPixel(screen.Get(), rect.left + 1, rect.top + 1);
    return corner != CLR_INVALID && GetGValue(corner) < 128;
}

// The speaker test during an automatic test, caught with the sounding tile pressed, and during
// a surround sweep with the marker on the Dynamic panel. Returns the screenshots saved.
int SpeakerTestRunning(HWND test, const std::string& folder) {
    HWND page =
        ::FindWindowExA(::GetDlgItem(test, IDC_SPEAKER_TEST_TAB), nullptr, "#32770", nullptr);
    if (!page) return 0;
    auto click = [&](int id) { ::SendMessageA(::GetDlgItem(page, id), BM_CLICK, 0, 0); };
    int saved = 0;
    click(IDC_TEST_AUTO);
    click(IDC_TEST_BUTTON);
    ::Sleep(1200);  // past the first speaker, so a tile of the middle row blinks
    HWND centre = ::GetDlgItem(page, IDC_TILE_CENTRE);
    if (WaitUntil([&] { return TileLooksPressed(centre); }, 2000) &&
        SaveWindow(test, folder + "/speaker-test-auto.bmp")) {
        ++saved;
    }
    click(IDC_TEST_BUTTON);
    click(IDC_TEST_SURROUND);
    click(IDC_TEST_BUTTON);
    ::Sleep(1400);  // the marker a little past the front, on the right
    if (SaveWindow(test, folder + "/speaker-test-surround.bmp")) ++saved;
    click(IDC_TEST_BUTTON);
    return saved;
}

// The mixer of Windows Vista and later: the Main Volume and Record pages on one mixer device per
// endpoint, and the simulator's mixer panel showing the endpoints.
int PerEndpointTour(const std::string& folder) {
    SimProcess sim("--stream=two --per-endpoint");
    HWND main = sim.MainWindow();
    if (!main) return 0;
    ::PostMessageA(main, WM_COMMAND, ID_OPEN_SETTING, 0);
    if (!WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }, 5000)) return 0;
    HWND tabs = ::GetDlgItem(main, IDC_TAB);
    int saved = 0;
    const struct {
        int tab;
        const char* name;
    } pages[] = {{0, "main-volume"}, {3, "record"}};
    for (const auto& page : pages) {
        ::PostMessageA(tabs, TCM_SETCURFOCUS, static_cast<WPARAM>(page.tab), 0);
        ::Sleep(500);
        if (SaveWindow(main, folder + "/per-endpoint-" + page.name + ".bmp")) ++saved;
    }
    HWND simulator = sim.Simulator(0);
    ::SetWindowPos(simulator, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::Sleep(500);
    if (simulator && SaveWindow(simulator, folder + "/per-endpoint-simulator.bmp")) ++saved;
    ::PostMessageA(main, WM_COMMAND, ID_EXIT, 0);
    sim.WaitForExit(5000);
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: screenshot_tour <folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    // A two-channel stream plays, so the filter page shows it without asking about 5.1.
    SimProcess sim("--stream=two");
    HWND main = sim.MainWindow();
    if (!main) {
        std::fprintf(stderr, "The program's main window did not appear.\n");
        return 1;
    }
    ::PostMessageA(main, WM_COMMAND, ID_OPEN_SETTING, 0);
    if (!WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }, 5000)) return 1;
    HWND tabs = ::GetDlgItem(main, IDC_TAB);
    MoveLevels(tabs);
    const char* names[] = {"main-volume", "speaker", "filter", "record", "about"};
    int saved = 0;
    for (int tab = 0; tab < 5; ++tab) {
        ::PostMessageA(tabs, TCM_SETCURFOCUS, static_cast<WPARAM>(tab), 0);
        ::Sleep(500);
        const std::string path =
            folder + "/settings-" + std::to_string(tab + 1) + "-" + names[tab] + ".bmp";
        if (SaveWindow(main, path)) ++saved;
    }
    // The simulator, showing what reached the adapter.
    HWND simulator = sim.Simulator(0);
    ::SetWindowPos(simulator, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::Sleep(500);
    if (simulator && SaveWindow(simulator, folder + "/simulator-after-tour.bmp")) ++saved;
    ::SetWindowPos(simulator, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // The speaker test window, shown where the settings were.
    ::PostMessageA(main, WM_COMMAND, ID_TEST_SPEAKER, 0);
    HWND test = nullptr;
    WaitUntil(
        [&] {
            test = sim.WaitForWindow("", 0);
            return test && ::IsWindowVisible(test);
        },
        5000);
    ::Sleep(500);
    if (test && SaveWindow(test, folder + "/speaker-test.bmp")) ++saved;
    if (test) saved += SpeakerTestRunning(test, folder);
    // The simulator window with the sound calls of those tests, the speaker test closed.
    if (test) ::SendMessageA(::GetDlgItem(test, IDC_SPEAKER_TEST_CLOSE), BM_CLICK, 0, 0);
    ::Sleep(500);
    if (simulator && SaveWindow(simulator, folder + "/simulator-sounds.bmp")) ++saved;

    ::PostMessageA(main, WM_COMMAND, ID_EXIT, 0);
    sim.WaitForExit(5000);
    saved += PerEndpointTour(folder);
    std::printf("%d screenshots\n", saved);
    return saved == 13 ? 0 : 1;
}
