#include "sysinfo/run_command_line.h"

#include <windows.h>

#include <vector>

#include "base/diagnostic_log.h"
#include "base/scoped_handle.h"

namespace {
constexpr DWORD kCommandWaitMs = 180000;
}

int runCommandLine(const std::wstring& commandLine)
{
    // CreateProcessW may write into its command line.
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
            nullptr, &startup, &info)) {
        writeLogLine(L"Unable to create process: " + commandLine);
        return -1;
    }
    ScopedKernelHandle process(info.hProcess);
    ScopedKernelHandle thread(info.hThread);
    WaitForSingleObject(process.get(), kCommandWaitMs);
    return 0;
}
