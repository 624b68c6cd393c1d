#include "sysinfo/process_dumps.h"

#include <string>
#include <vector>

#include "base/diagnostic_log.h"
#include "base/scoped_handle.h"
#include "platform/vosselutils/environment_utils.h"
#include "sysinfo/dump_output_lines.h"
#include "sysinfo/dump_program.h"

namespace {

constexpr DWORD kDumpProgramTimeoutMs = 180000;
constexpr DWORD kReadBufferSize = 4096;

void logOutputLines(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines) {
        // One character per byte, so the log writes back exactly the bytes the program printed.
        std::wstring message;
        for (const char byte : line) {
            message.push_back(static_cast<wchar_t>(static_cast<unsigned char>(byte)));
        }
        writeLogLine(message);
    }
}

} // namespace

std::wstring buildDumpProgramCommandLine(const std::wstring& toolFolder, unsigned long processId,
    const std::wstring& filePath)
{
    // Both paths quoted: the tool's folder and the dump's folder may hold spaces.
    return L"\"" + toolFolder + L"\\x64\\Ravik.exe\" " + std::to_wstring(processId) + L" \"" + filePath + L"\"";
}

void createDumpFileFor64BitProcess(unsigned long processId, const std::wstring& filePath)
{
    runDumpProgram(buildDumpProgramCommandLine(vosselutils::EnvironmentUtils::getLocationOfExecutable(), processId,
                       filePath),
        kDumpProgramTimeoutMs);
}

void runDumpProgram(const std::wstring& commandLine, unsigned long timeoutMs)
{
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) {
        return;
    }
    ScopedKernelHandle reader(readEnd);
    ScopedKernelHandle writer(writeEnd);
    if (!SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0)) {
        return;
    }

    std::vector<wchar_t> mutableCommandLine(commandLine.begin(), commandLine.end());
    mutableCommandLine.push_back(L'\0');

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = writer.get();
    startup.hStdError = writer.get();
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(nullptr, mutableCommandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
            nullptr, nullptr, &startup, &started)) {
        writeLogLine(L"Unable to create process: " + commandLine);
        return;
    }
    ScopedKernelHandle program(started.hProcess);
    ScopedKernelHandle programThread(started.hThread);
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;

    // Only the program holds the write end now. A blocking read would wait for as long as the pipe
    // stays open, for ever if the program hangs: the pipe is only read when it holds something, and
    // reading ends with the program, with the pipe, or when the time is up.
    writer.reset();
    CDumpOutputLines lines;
    char buffer[kReadBufferSize];
    for (;;) {
        // Sampled before looking at the pipe: whatever an ended program wrote is in it by now.
        const bool ended = WaitForSingleObject(program.get(), 0) == WAIT_OBJECT_0;
        DWORD available = 0;
        if (!PeekNamedPipe(reader.get(), nullptr, 0, nullptr, &available, nullptr)) {
            break;
        }
        if (available > 0) {
            DWORD bytesRead = 0;
            const DWORD wanted = available < kReadBufferSize - 1 ? available : kReadBufferSize - 1;
            if (!ReadFile(reader.get(), buffer, wanted, &bytesRead, nullptr) || bytesRead == 0) {
                break;
            }
            logOutputLines(lines.add(buffer, bytesRead));
            continue;
        }
        if (ended || GetTickCount64() >= deadline) {
            break;
        }
        // Ten milliseconds, or less when the program ends meanwhile.
        WaitForSingleObject(program.get(), 10);
    }
    logOutputLines(lines.finish());
    reader.reset();

    const ULONGLONG now = GetTickCount64();
    WaitForSingleObject(program.get(), now < deadline ? static_cast<DWORD>(deadline - now) : 0);
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(program.get(), &exitCode)) {
        writeLogLine(L"Failed to get exit code. Error code: " + std::to_wstring(GetLastError()));
    }
}
