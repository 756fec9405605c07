// The installer under the system's own installer service: its tables, a silent install, an
// install over a running copy, and an uninstall that removes what it installed.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>
#include <shellapi.h>
#include <shlobj.h>

#include <set>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "framework/Handles.h"
#include "res/resource.h"

namespace {

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kSettingsKey[] = "SOFTWARE\\Harlowen\\Quorvel Dual\\Filter";
constexpr DWORD kKeyAllAccess = KEY_ALL_ACCESS;

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string Package() {
    return ProgramFolder() + "QuorvelDual.msi";
}

std::string KnownFolder(int csidl) {
    char path[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

// The 32-bit Program Files, where a 32-bit package installs on 64-bit Windows.
std::string InstallFolder() {
    return KnownFolder(CSIDL_PROGRAM_FILESX86) + "\\Harlowen\\Quorvel Dual\\";
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The Start menu entry: in the machine's Programs folder on Windows; Wine's installer service
// resolves ProgramMenuFolder to the user's even for a per-machine package.
bool StartMenuEntryExists() {
    return Exists(KnownFolder(CSIDL_COMMON_PROGRAMS) + "\\Quorvel Dual.lnk") ||
           Exists(KnownFolder(CSIDL_PROGRAMS) + "\\Quorvel Dual.lnk");
}

// Reads a value in the 32-bit registry view, the one the program and the package use; with no
// name, only whether the key exists ("" when it does not).
std::string Read(const char* path, const char* name = nullptr) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &key) !=
        ERROR_SUCCESS)
        return "";
    char value[MAX_PATH] = {};
    DWORD size = sizeof(value) - 1;
    const LONG result = name ? ::RegQueryValueExA(key, name, nullptr, nullptr,
                                                  reinterpret_cast<BYTE*>(value), &size)
                             : ERROR_SUCCESS;
    ::RegCloseKey(key);
    if (result != ERROR_SUCCESS) return "";
    return name ? value : "(key)";
}

fw::KernelHandle StartProcess(std::string command, DWORD* processId = nullptr) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info))
        return fw::KernelHandle();
    ::CloseHandle(info.hThread);
    if (processId) *processId = info.dwProcessId;
    return fw::KernelHandle(info.hProcess);
}

// Runs msiexec with these arguments and gives its exit code.
DWORD Msiexec(const std::string& arguments) {
    fw::KernelHandle process = StartProcess("msiexec.exe " + arguments);
    if (!process) return ::GetLastError();
    if (::WaitForSingleObject(process.Get(), 60000) != WAIT_OBJECT_0) return WAIT_TIMEOUT;
    DWORD code = 0;
    ::GetExitCodeProcess(process.Get(), &code);
    return code;
}

// The installed program, started as the login would start it. The tests' sibling library lies
// beside it so that it starts without a warning, as it would beside the adapter's.
fw::KernelHandle StartInstalledCopy(DWORD* processId) {
    return StartProcess("\"" + InstallFolder() + "QuorvelDual.exe\"", processId);
}

HWND MainWindowOf(DWORD processId) {
    for (HWND window = ::FindWindowExA(nullptr, nullptr, "#32770", "Quorvel Dual"); window;
         window = ::FindWindowExA(nullptr, window, "#32770", "Quorvel Dual")) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == processId) return window;
    }
    return nullptr;
}

// Whether the copy has finished starting: its tray icon, present or absent, is in the shell (only
// an existing icon can be modified). By then it has let go of the sibling library.
bool HasTrayIcon(HWND window) {
    for (UINT id : {IDR_TRAY_PRESENT, IDR_TRAY_ABSENT}) {
        NOTIFYICONDATAA probe{};
        probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
        probe.hWnd = window;
        probe.uID = id;
        if (::Shell_NotifyIconA(NIM_MODIFY, &probe)) return true;
    }
    return false;
}

bool WaitUntilStarted(DWORD processId) {
    for (int i = 0; i < 500; ++i) {
        HWND window = MainWindowOf(processId);
        if (window && HasTrayIcon(window)) return true;
        ::Sleep(20);
    }
    return false;
}

// The rows of one table of the package, as text columns.
std::set<std::tuple<std::string, std::string, std::string, std::string, std::string>> Rows(
    const char* query, int columns) {
    std::set<std::tuple<std::string, std::string, std::string, std::string, std::string>> rows;
    MSIHANDLE database = 0, view = 0, record = 0;
    if (::MsiOpenDatabaseA(Package().c_str(), MSIDBOPEN_READONLY, &database) != ERROR_SUCCESS)
        return rows;
    if (::MsiDatabaseOpenViewA(database, query, &view) == ERROR_SUCCESS &&
        ::MsiViewExecute(view, 0) == ERROR_SUCCESS) {
        while (::MsiViewFetch(view, &record) == ERROR_SUCCESS) {
            std::string field[5];
            for (int i = 0; i < columns; ++i) {
                char text[300] = {};
                DWORD size = sizeof(text);
                ::MsiRecordGetStringA(record, i + 1, text, &size);
                field[i] = text;
            }
            rows.emplace(field[0], field[1], field[2], field[3], field[4]);
            ::MsiCloseHandle(record);
        }
    }
    if (view) ::MsiCloseHandle(view);
    ::MsiCloseHandle(database);
    return rows;
}

// Whether the installed 32-bit program can start here. The test command says when this kernel
// cannot run 32-bit programs (QD_RUNS_32BIT=no); a 64-bit system without its 32-bit half cannot
// either.
bool CanStart32BitPrograms() {
    char answer[8] = "";
    ::GetEnvironmentVariableA("QD_RUNS_32BIT", answer, sizeof(answer));
    if (std::string(answer) == "no") return false;
    if (sizeof(void*) == 4) return true;
    char folder[MAX_PATH] = "";
    return ::GetSystemWow64DirectoryA(folder, MAX_PATH) &&
           Exists(std::string(folder) + "\\kernel32.dll");
}

class Installer : public testing::Test {
  protected:
    Installer() { Msiexec("/x \"" + Package() + "\" /qn"); }
    // The 64-bit build tests the package the 32-bit build made, copied beside it.
    void SetUp() override { ASSERT_TRUE(Exists(Package())) << Package(); }
    ~Installer() override {
        // A copy the installer failed to end must not outlive the test.
        if (running) ::TerminateProcess(running.Get(), 1);
        ::DeleteFileA((ProgramFolder() + "Zelfilter.dll").c_str());
        Msiexec("/x \"" + Package() + "\" /qn");
        // The uninstall keeps the settings key on purpose; the test leaves the machine as found.
        ::RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, KEY_WOW64_32KEY, 0);
        ::RegDeleteKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Harlowen\\Quorvel Dual", KEY_WOW64_32KEY,
                          0);
        ::RegDeleteKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Harlowen", KEY_WOW64_32KEY, 0);
    }

    // Installs with a sibling library beside the package, as the adapter's driver package has
    // it, and checks that the library was copied beside the program.
    void InstallWithTheSiblingLibrary() {
        const std::string library = ProgramFolder() + "Zelfilter.dll";
        ASSERT_TRUE(
            ::CopyFileA((ProgramFolder() + "ZelfilterFull.dll").c_str(), library.c_str(), FALSE));
        ASSERT_EQ(Msiexec("/i \"" + Package() + "\" /qn"), 0u);
        ::DeleteFileA(library.c_str());
        EXPECT_TRUE(Exists(InstallFolder() + "Zelfilter.dll"));
    }

    fw::KernelHandle running;
};

TEST_F(Installer, TheSettingsKeyIsWritableByEveryUserInThe32BitView) {
    const auto permissions = Rows(
        "SELECT `LockObject`, `Table`, `Domain`, `User`, `Permission` FROM `LockPermissions`", 5);
    const std::string all = std::to_string(kKeyAllAccess);
    EXPECT_EQ(permissions,
              (decltype(permissions){{"SettingsKey", "Registry", "", "SYSTEM", all},
                                     {"SettingsKey", "Registry", "", "Administrators", all},
                                     {"SettingsKey", "Registry", "", "Users", all}}));
    const auto key = Rows(
        "SELECT `Root`, `Key`, `Name`, `Component_` FROM `Registry` WHERE `Registry` = "
        "'SettingsKey'",
        4);
    EXPECT_EQ(key, (decltype(key){{"2", kSettingsKey, "+", "SettingsKey", ""}}));
    // No component is marked 64-bit (msidbComponentAttributes64bit), so every file and key goes
    // to the 32-bit places.
    for (const auto& row : Rows("SELECT `Component`, `Attributes` FROM `Component`", 2)) {
        EXPECT_EQ(std::stoi(std::get<1>(row)) & 0x100, 0) << std::get<0>(row);
    }
}

// Installed without the adapter's sibling library beside the package: the program comes without
// it, and the uninstall takes everything away.
TEST_F(Installer, InstallsSilentlyAndUninstallsEverything) {
    ASSERT_EQ(Msiexec("/i \"" + Package() + "\" /qn"), 0u);
    EXPECT_TRUE(Exists(InstallFolder() + "QuorvelDual.exe"));
    EXPECT_FALSE(Exists(InstallFolder() + "Zelfilter.dll"));
    EXPECT_TRUE(StartMenuEntryExists());
    EXPECT_EQ(Read(kRunKey, "Quorvel Dual"), "\"" + InstallFolder() + "QuorvelDual.exe\"");
    EXPECT_EQ(Read(kSettingsKey), "(key)");

    EXPECT_EQ(Msiexec("/x \"" + Package() + "\" /qn"), 0u);
    EXPECT_FALSE(Exists(InstallFolder()));
    EXPECT_FALSE(StartMenuEntryExists());
    EXPECT_EQ(Read(kRunKey, "Quorvel Dual"), "");
    EXPECT_EQ(Read(kSettingsKey), "(key)") << "the user's settings stay for a later install";
}

// The adapter's driver package puts its sibling library beside the installer: it is copied
// beside the program, and the uninstall removes that copy with everything else.
TEST_F(Installer, TakesTheSiblingLibraryAlongAndRemovesItAgain) {
    ASSERT_NO_FATAL_FAILURE(InstallWithTheSiblingLibrary());
    EXPECT_EQ(Msiexec("/x \"" + Package() + "\" /qn"), 0u);
    EXPECT_FALSE(Exists(InstallFolder() + "Zelfilter.dll"));
    EXPECT_FALSE(Exists(InstallFolder()));
}

// A running copy is asked to end before its file is replaced or removed, and nothing waits for a
// reboot. The installed program and the tool that ends it are 32-bit programs.
TEST_F(Installer, EndsARunningCopyBeforeReplacingOrRemovingIt) {
    if (!CanStart32BitPrograms()) {
        GTEST_SKIP() << "this machine cannot start the installed 32-bit program";
    }
    ASSERT_NO_FATAL_FAILURE(InstallWithTheSiblingLibrary());
    DWORD processId = 0;
    running = StartInstalledCopy(&processId);
    ASSERT_TRUE(running);
    ASSERT_TRUE(WaitUntilStarted(processId));
    EXPECT_EQ(Msiexec("/i \"" + Package() + "\" /qn REINSTALL=ALL REINSTALLMODE=vamus"), 0u);
    EXPECT_EQ(::WaitForSingleObject(running.Get(), 0), WAIT_OBJECT_0);
    EXPECT_TRUE(Exists(InstallFolder() + "QuorvelDual.exe"));

    running = StartInstalledCopy(&processId);
    ASSERT_TRUE(WaitUntilStarted(processId));
    EXPECT_EQ(Msiexec("/x \"" + Package() + "\" /qn"), 0u);
    EXPECT_EQ(::WaitForSingleObject(running.Get(), 0), WAIT_OBJECT_0);
    EXPECT_FALSE(Exists(InstallFolder() + "Zelfilter.dll"));
    EXPECT_FALSE(Exists(InstallFolder()));
}

}  // namespace
