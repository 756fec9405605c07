// A short check of the 32-bit program itself, for a machine that cannot run the 32-bit test
// programs: this 64-bit harness starts the product build twice, once beside a 32-bit sibling
// library and once beside a 64-bit one, and drives it from outside. Each start of a 32-bit
// program may take a minute there (it runs under an emulator), so every wait is long but bounded.
//
// The programs lie beside this harness: own\QuorvelDual.exe with the 32-bit Zelfilter.dll,
// other\QuorvelDual.exe with the 64-bit one.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/e2e/SimProcess.h"

namespace {

constexpr DWORD kStartTimeout = 240000;
constexpr DWORD kEndTimeout = 60000;
constexpr char kNotFound[] = "DLL-driver is not found.\nYou may need re-install it.";

std::string Beside(const char* relative) {
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.resize(folder.find_last_of('\\') + 1);
    return folder + relative;
}

bool Is32BitProcess(const SimProcess& program) {
    BOOL wow64 = FALSE;
    return ::IsWow64Process(program.Handle(), &wow64) && wow64;
}

bool HasEitherTrayIcon(HWND main) {
    return IconInTray(main, IDR_TRAY_PRESENT) || IconInTray(main, IDR_TRAY_ABSENT);
}

long long SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() -
                                                            start)
        .count();
}

// Closes the main window and waits for the end, answering any box the program still shows (an
// unasked device change may bring one); gives the exit code, or -1 if it did not end.
long long CloseAndWait(const SimProcess& program, HWND main) {
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    DWORD code = 0;
    const bool ended = WaitUntil(
        [&] {
            if (HWND box = program.WaitForMessageBox("Quorvel Dual: WARNING", 0)) {
                ::PostMessageA(box, WM_COMMAND, IDOK, 0);
            }
            return program.WaitForExit(0, &code);
        },
        kEndTimeout);
    return ended ? static_cast<long long>(code) : -1;
}

class ProductSmoke : public testing::Test {
  protected:
    ProductSmoke() { DeleteSettings(KEY_WOW64_32KEY); }
    ~ProductSmoke() override { DeleteSettings(KEY_WOW64_32KEY); }
};

// Beside its own architecture's library it starts without a word, puts its icon in the tray,
// keeps its first start in the 32-bit registry view, and ends when asked to.
TEST_F(ProductSmoke, StartsQuietlyInTheTrayAndEndsOnClose) {
    SimProcess program(SimProcess::Program{Beside("own\\QuorvelDual.exe")});
    ASSERT_TRUE(program.Started());
    HWND main = program.MainWindow(kStartTimeout);
    ASSERT_NE(main, nullptr) << "no main window within " << kStartTimeout / 1000 << " s";
    ASSERT_TRUE(WaitUntil([&] { return HasEitherTrayIcon(main); }, kStartTimeout));
    std::printf("Started to its tray icon in %lld s\n", SecondsSince(program.StartTime()));

    EXPECT_TRUE(Is32BitProcess(program)) << "the product runs as a 32-bit process";
    EXPECT_EQ(program.MessageBoxes(), 0);
    EXPECT_FALSE(::IsWindowVisible(main));
    EXPECT_EQ(ReadSetting("FirstLaunched", KEY_WOW64_32KEY), 0u);
    EXPECT_EQ(ReadSetting("FirstLaunched", KEY_WOW64_64KEY), 0xDEADBEEFu)
        << "the 32-bit program keeps its settings in the 32-bit view only";
    EXPECT_EQ(CloseAndWait(program, main), 0);
}

// Beside a 64-bit library, which a 32-bit process cannot load, it says the library is not found
// and goes on with the adapter absent.
TEST_F(ProductSmoke, WarnsThatTheLibraryIsNotFoundBesideA64BitOne) {
    SimProcess program(SimProcess::Program{Beside("other\\QuorvelDual.exe")});
    ASSERT_TRUE(program.Started());
    HWND box = program.WaitForMessageBox("Quorvel Dual: WARNING", kStartTimeout);
    ASSERT_NE(box, nullptr) << "no warning within " << kStartTimeout / 1000 << " s";
    std::printf("Warned in %lld s\n", SecondsSince(program.StartTime()));
    EXPECT_EQ(SimProcess::MessageText(box), kNotFound);
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);

    HWND main = program.MainWindow(kEndTimeout);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return IconInTray(main, IDR_TRAY_ABSENT); }, kEndTimeout));
    EXPECT_EQ(CloseAndWait(program, main), 0);
}

}  // namespace
