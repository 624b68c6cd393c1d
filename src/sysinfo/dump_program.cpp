#include "sysinfo/process_dumps.h"

#include <string>
#include <vector>

#include "app/diagnostic_log.h"
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

    const std::wstring commandLine = buildDumpProgramCommandLine(
        vosselutils::EnvironmentUtils::getLocationOfExecutable(), processId, filePath);
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

    // Only the program holds the write end now, so the reads end when it does.
    writer.reset();
    CDumpOutputLines lines;
    char buffer[kReadBufferSize];
    DWORD bytesRead = 0;
    while (ReadFile(reader.get(), buffer, kReadBufferSize - 1, &bytesRead, nullptr) && bytesRead > 0) {
        logOutputLines(lines.add(buffer, bytesRead));
    }
    logOutputLines(lines.finish());
    reader.reset();

    WaitForSingleObject(program.get(), kDumpProgramTimeoutMs);
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(program.get(), &exitCode)) {
        writeLogLine(L"Failed to get exit code. Error code: " + std::to_wstring(GetLastError()));
    }
}
