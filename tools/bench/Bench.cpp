// Runs two tray programs in turn, several times each, and prints for each the median start-up
// time to its tray icon, its working set one second after start, its CPU use while idle and its
// file size, with the ratio of the first to the second.
//   bench.exe RUNS IDLE_SECONDS  EXE TITLE CLASS ICON_ID[,ICON_ID]  EXE TITLE CLASS ICON_ID
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "framework/Handles.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Program {
    std::string exe, title, windowClass;
    std::vector<UINT> iconIds;
    std::vector<double> startMs, workingSetKiB, idleCpuPercent;
};

struct Found {
    DWORD process;
    const char* title;
    const char* windowClass;
    HWND window;
};

BOOL CALLBACK Match(HWND window, LPARAM lp) {
    auto* found = reinterpret_cast<Found*>(lp);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    char title[128] = {}, windowClass[64] = {};
    ::GetWindowTextA(window, title, sizeof(title));
    ::GetClassNameA(window, windowClass, sizeof(windowClass));
    if (process == found->process && std::strcmp(title, found->title) == 0 &&
        std::strcmp(windowClass, found->windowClass) == 0) {
        found->window = window;
        return FALSE;
    }
    return TRUE;
}

// Whether the shell holds an icon of this window: only an existing icon can be modified.
bool HasIcon(HWND window, const std::vector<UINT>& ids) {
    for (UINT id : ids) {
        NOTIFYICONDATAA probe{};
        probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
        probe.hWnd = window;
        probe.uID = id;
        if (::Shell_NotifyIconA(NIM_MODIFY, &probe)) return true;
    }
    return false;
}

double CpuSeconds(HANDLE process) {
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(process, &created, &exited, &kernel, &user);
    const auto ticks = [](FILETIME t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;
}

bool RunOnce(Program& program, int idleSeconds) {
    std::string command = "\"" + program.exe + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    const Clock::time_point start = Clock::now();
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        std::fprintf(stderr, "Cannot start %s\n", program.exe.c_str());
        return false;
    }
    const fw::KernelHandle thread(info.hThread);
    const fw::KernelHandle process(info.hProcess);
    Found found{info.dwProcessId, program.title.c_str(), program.windowClass.c_str(), nullptr};
    bool iconShown = false;
    while (Clock::now() - start < std::chrono::seconds(10)) {
        if (!found.window) ::EnumWindows(&Match, reinterpret_cast<LPARAM>(&found));
        if (found.window && HasIcon(found.window, program.iconIds)) {
            iconShown = true;
            break;
        }
        ::Sleep(1);
    }
    const double startMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (iconShown) {
        ::Sleep(static_cast<DWORD>(std::max(0.0, 1000.0 - startMs)));
        PROCESS_MEMORY_COUNTERS memory{};
        memory.cb = sizeof(memory);
        ::GetProcessMemoryInfo(process.Get(), &memory, sizeof(memory));
        const double cpuBefore = CpuSeconds(process.Get());
        ::Sleep(static_cast<DWORD>(idleSeconds) * 1000);
        const double cpu = CpuSeconds(process.Get()) - cpuBefore;
        program.startMs.push_back(startMs);
        program.workingSetKiB.push_back(static_cast<double>(memory.WorkingSetSize) / 1024.0);
        program.idleCpuPercent.push_back(std::max(0.0, 100.0 * cpu / idleSeconds));
    } else {
        std::fprintf(stderr, "%s showed no tray icon\n", program.exe.c_str());
    }
    if (found.window) ::PostMessageA(found.window, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process.Get(), 5000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.Get(), 1);
    }
    return iconShown;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

double FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0.0;
    return static_cast<double>(data.nFileSizeLow);
}

Program ParseProgram(char** arg) {
    Program program{arg[0], arg[1], arg[2], {}, {}, {}, {}};
    for (char* id = std::strtok(arg[3], ","); id; id = std::strtok(nullptr, ",")) {
        program.iconIds.push_back(static_cast<UINT>(std::atoi(id)));
    }
    return program;
}

void Row(const char* what, double program, double bare, const char* unit, int decimals) {
    std::printf("%-28s %12.*f %12.*f %-4s %8.2fx\n", what, decimals, program, decimals, bare, unit,
                bare > 0.0 ? program / bare : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 11) {
        std::fprintf(stderr, "usage: bench RUNS IDLE_SECONDS (EXE TITLE CLASS IDS) x 2\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    const int idleSeconds = std::atoi(argv[2]);
    Program program = ParseProgram(argv + 3);
    Program bare = ParseProgram(argv + 7);
    for (int run = 0; run < runs; ++run) {
        std::fprintf(stderr, "run %d of %d\n", run + 1, runs);
        RunOnce(bare, idleSeconds);
        RunOnce(program, idleSeconds);
    }
    std::printf("%-28s %12s %12s %-4s %9s\n", "median of runs", "program", "bare tray", "",
                "ratio");
    Row("start to tray icon", Median(program.startMs), Median(bare.startMs), "ms", 0);
    Row("working set after 1 s", Median(program.workingSetKiB), Median(bare.workingSetKiB), "KiB",
        0);
    Row("idle CPU of one core", Median(program.idleCpuPercent), Median(bare.idleCpuPercent), "%",
        3);
    Row("exe size", FileSize(program.exe) / 1024.0, FileSize(bare.exe) / 1024.0, "KiB", 0);
    std::printf("(%d runs each, alternating, idle CPU over %d s)\n",
                static_cast<int>(program.startMs.size()), idleSeconds);
    return program.startMs.size() == static_cast<std::size_t>(runs) ? 0 : 1;
}
