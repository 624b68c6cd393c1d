#include "sysinfo/process_dumps.h"

#include <string>
#include <vector>

#include "base/diagnostic_log.h"
#include "base/scoped_handle.h"
#include "base/test_setting.h"
#include "base/unique_file.h"
#include "sysinfo/dump_file.h"
#include "sysinfo/minidump_check.h"
#include "platform/vosselutils/environment_utils.h"
#include "sysinfo/dump_output_lines.h"
#include "sysinfo/dump_program.h"
#include "sysinfo/inherited_handle_list.h"

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

unsigned long dumpProgramLimitMs()
{
    // For tests: a limit that a run can wait out.
    const unsigned long long limit = testSettingNumber(L"VOSSEL_PRT_TEST_DUMP_PROGRAM_LIMIT_MS");
    return limit > 0 && limit < INFINITE ? static_cast<unsigned long>(limit) : kDumpProgramTimeoutMs;
}

void createDumpFileFor64BitProcess(unsigned long processId, const std::wstring& filePath)
{
    const ExistingDump existing = examineExistingDump(filePath);
    UniqueFile partial = createFileBeside(filePath, GENERIC_WRITE, 0);
    if (!partial.file) {
        writeLogLine(L"Unable to create a file for the dump beside " + filePath + L", error "
            + std::to_wstring(partial.error));
        leaveOutIfUnchanged(filePath, existing);
        return;
    }
    // The program writes the file itself.
    partial.file.reset();
    const std::optional<unsigned long> exitCode = runDumpProgram(
        buildDumpProgramCommandLine(vosselutils::EnvironmentUtils::getLocationOfExecutable(), processId, partial.path),
        dumpProgramLimitMs());
    if (!exitCode) {
        writeLogLine(L"The dump program did not end in its time; its dump is not used: " + partial.path);
    } else if (*exitCode != 0) {
        writeLogLine(L"The dump program failed with exit code " + std::to_wstring(*exitCode) + L"; no dump is used.");
    } else if (!isCompleteMinidumpFile(partial.path, true)) {
        writeLogLine(L"The dump program's dump is not complete and is not used.");
    } else if (publishDump(partial.path, filePath)) {
        return;
    }
    // A program still running holds its file open; that file is never given the dump's name.
    DeleteFileW(partial.path.c_str());
    leaveOutIfUnchanged(filePath, existing);
}

std::optional<unsigned long> runDumpProgram(const std::wstring& commandLine, unsigned long timeoutMs)
{
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) {
        return std::nullopt;
    }
    ScopedKernelHandle reader(readEnd);
    ScopedKernelHandle writer(writeEnd);
    if (!SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0)) {
        return std::nullopt;
    }

    std::vector<wchar_t> mutableCommandLine(commandLine.begin(), commandLine.end());
    mutableCommandLine.push_back(L'\0');

    // The pipe's write end is the one handle the program inherits: it may be left running past its
    // time, and must not keep the run's working files open meanwhile.
    HANDLE writerHandle = writer.get();
    const CInheritedHandleList inherited(writerHandle);
    STARTUPINFOEXW startup = inherited.startupInfo(true);
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(nullptr, mutableCommandLine.data(), nullptr, nullptr, TRUE,
            CREATE_NO_WINDOW | inherited.creationFlag(), nullptr, nullptr, &startup.StartupInfo, &started)) {
        writeLogLine(L"Unable to create process: " + commandLine);
        return std::nullopt;
    }
    ScopedKernelHandle program(started.hProcess);
    ScopedKernelHandle programThread(started.hThread);
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;

    // Only the program holds the write end now. A blocking read would wait for as long as the pipe
    // stays open, for ever if the program hangs: the pipe is only read when it holds something, and
    // reading ends with the program, with the pipe, or when the time is up, which is looked at on
    // every round, so that a program that never stops printing is left behind as well.
    writer.reset();
    CDumpOutputLines lines;
    char buffer[kReadBufferSize];
    for (;;) {
        // Sampled before looking at the pipe: whatever an ended program wrote is in it by now.
        const bool ended = WaitForSingleObject(program.get(), 0) == WAIT_OBJECT_0;
        if (GetTickCount64() >= deadline) {
            break;
        }
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
        if (ended) {
            break;
        }
        // Ten milliseconds, or less when the program ends meanwhile.
        WaitForSingleObject(program.get(), 10);
    }
    logOutputLines(lines.finish());
    reader.reset();

    const ULONGLONG now = GetTickCount64();
    if (WaitForSingleObject(program.get(), now < deadline ? static_cast<DWORD>(deadline - now) : 0) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(program.get(), &exitCode)) {
        writeLogLine(L"Failed to get exit code. Error code: " + std::to_wstring(GetLastError()));
        return std::nullopt;
    }
    return exitCode;
}
