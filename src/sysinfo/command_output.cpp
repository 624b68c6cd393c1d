#include "sysinfo/command_output.h"

#include <windows.h>

#include <vector>

#include "base/diagnostic_log.h"
#include "sysinfo/inherited_handle_list.h"

ScopedKernelHandle startCommandWithOutput(const std::wstring& application, const std::wstring& commandLine,
    const std::wstring& outputPath)
{
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    ScopedFileHandle output(CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
        &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!output) {
        writeLogLine(L"Unable to open " + outputPath + L" to write the output of " + commandLine);
        return {};
    }
    HANDLE outputHandle = output.get();
    CInheritedHandleList inherited(outputHandle);

    STARTUPINFOEXW startup = inherited.startupInfo(false);
    // A hidden console of its own, not none (DETACHED_PROCESS would spare a console host per
    // program): the programs write in their console's code page, which a detached program does not
    // have, so on a localised system the bytes of the report could change.
    const DWORD flags = CREATE_NO_WINDOW | inherited.creationFlag();

    // CreateProcessW may write into its command line.
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(application.c_str(), buffer.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr,
            &startup.StartupInfo, &started)) {
        writeLogLine(L"Unable to create process: " + commandLine);
        return {};
    }
    CloseHandle(started.hThread);
    return ScopedKernelHandle(started.hProcess);
}
