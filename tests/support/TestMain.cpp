// Entry of every test program: a crash or a trap ends the process at once with a line saying
// where, instead of waiting for a debugger.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include <gtest/gtest.h>

namespace {

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
    std::fflush(stdout);
    std::fprintf(stderr, "\nCrashed: exception 0x%08lX at %p\n",
                 info->ExceptionRecord->ExceptionCode, info->ExceptionRecord->ExceptionAddress);
    std::fflush(stderr);
    ::TerminateProcess(::GetCurrentProcess(), 99);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

int main(int argc, char** argv) {
    ::SetUnhandledExceptionFilter(&ReportCrash);
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
