#include "support/tool_runner.h"

#include <windows.h>

#include <tlhelp32.h>

#include <cwchar>
#include <utility>
#include <vector>

#include "base/scoped_handle.h"

namespace {

bool sameNameIgnoringCase(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
               static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::vector<wchar_t> buildEnvironmentBlock(const EnvironmentOverrides& overrides)
{
    std::vector<wchar_t> block;
    for (const auto& entry : environmentEntries(overrides)) {
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

} // namespace

std::vector<std::wstring> environmentEntries(const EnvironmentOverrides& overrides)
{
    std::vector<std::wstring> entries;
    wchar_t* current = GetEnvironmentStringsW();
    for (const wchar_t* entry = current; entry && *entry; entry += wcslen(entry) + 1) {
        const std::wstring text(entry);
        // Entries such as "=C:=C:\\" start with "=": their name holds the first "=".
        const size_t equals = text.find(L'=', 1);
        const std::wstring name = text.substr(0, equals);
        bool overridden = false;
        for (const auto& [key, value] : overrides) {
            overridden = overridden || sameNameIgnoringCase(name, key);
        }
        if (!overridden) {
            entries.push_back(text);
        }
    }
    if (current) {
        FreeEnvironmentStringsW(current);
    }
    for (const auto& [key, value] : overrides) {
        entries.push_back(key + L"=" + value);
    }
    return entries;
}

std::vector<std::wstring> toolEnvironmentEntries(const std::wstring& tempFolder)
{
    return environmentEntries(toolTempOverrides(tempFolder));
}

EnvironmentOverrides toolTempOverrides(const std::wstring& tempFolder)
{
    return {{L"TMP", tempFolder}, {L"TEMP", tempFolder}};
}

std::wstring testBinaryFolder()
{
    std::vector<wchar_t> buffer(32768);
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    std::wstring path(buffer.data(), length);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

std::vector<unsigned long> childProcesses(unsigned long parent, const wchar_t* name)
{
    std::vector<unsigned long> children;
    ScopedFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (bool more = snapshot && Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ParentProcessID == parent && _wcsicmp(entry.szExeFile, name) == 0) {
            children.push_back(entry.th32ProcessID);
        }
    }
    return children;
}

StartedProgram::StartedProgram(void* process, unsigned long processId)
    : process_(process), processId_(processId)
{
}

StartedProgram::~StartedProgram()
{
    terminate();
}

StartedProgram::StartedProgram(StartedProgram&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)), processId_(other.processId_)
{
}

StartedProgram& StartedProgram::operator=(StartedProgram&& other) noexcept
{
    if (this != &other) {
        terminate();
        process_ = std::exchange(other.process_, nullptr);
        processId_ = other.processId_;
    }
    return *this;
}

bool StartedProgram::isRunning() const
{
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::optional<unsigned long> StartedProgram::wait(unsigned long timeoutMs)
{
    if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process_, &exitCode);
    return exitCode;
}

void StartedProgram::terminate()
{
    if (!process_) {
        return;
    }
    if (isRunning()) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 10000);
    }
    CloseHandle(process_);
    process_ = nullptr;
}

StartedProgram startProgram(const std::wstring& program, const std::wstring& args,
    const EnvironmentOverrides& overrides, const std::wstring& outputPath)
{
    return startProgram(program, args, overrides, ProgramStreams{outputPath, L"", false});
}

StartedProgram startProgram(const std::wstring& program, const std::wstring& args,
    const EnvironmentOverrides& overrides, const ProgramStreams& streams)
{
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!args.empty()) {
        commandLine += L" " + args;
    }
    return startProgramWithCommandLine(program, commandLine, overrides, streams);
}

StartedProgram startProgramWithCommandLine(const std::wstring& program, const std::wstring& commandLine,
    const EnvironmentOverrides& overrides, const std::wstring& outputPath)
{
    return startProgramWithCommandLine(program, commandLine, overrides, ProgramStreams{outputPath, L"", false});
}

StartedProgram startProgramWithCommandLine(const std::wstring& program, const std::wstring& commandLine,
    const EnvironmentOverrides& overrides, const ProgramStreams& streams)
{
    std::vector<wchar_t> mutableCommandLine(commandLine.begin(), commandLine.end());
    mutableCommandLine.push_back(L'\0');
    std::vector<wchar_t> environment = buildEnvironmentBlock(overrides);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    const auto openStream = [&inheritable](const std::wstring& path) {
        return ScopedFileHandle(path.empty() ? INVALID_HANDLE_VALUE
                                             : CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                                   &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    };
    ScopedFileHandle output = openStream(streams.outputPath);
    ScopedFileHandle error = openStream(streams.errorPath);
    const bool passHandles = !streams.detached && output.isValid();
    if (passHandles) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = output.get();
        startup.hStdError = error.isValid() ? error.get() : output.get();
    }
    const DWORD flags = CREATE_UNICODE_ENVIRONMENT | (streams.detached ? DETACHED_PROCESS : 0);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(program.c_str(), mutableCommandLine.data(), nullptr, nullptr, passHandles,
            flags, environment.data(), nullptr, &startup, &info)) {
        return {};
    }
    CloseHandle(info.hThread);
    return StartedProgram(info.hProcess, info.dwProcessId);
}

std::optional<unsigned long> runProgram(const std::wstring& program, const std::wstring& args,
    const EnvironmentOverrides& overrides, unsigned long timeoutMs)
{
    StartedProgram started = startProgram(program, args, overrides);
    return started.wait(timeoutMs);
}

DiagnosticLogHold::DiagnosticLogHold(const std::wstring& folder)
    : file_(CreateFileW((folder + L"PRT.txt").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr))
{
}

DiagnosticLogHold::~DiagnosticLogHold()
{
    if (file_ != INVALID_HANDLE_VALUE) {
        CloseHandle(file_);
    }
}

std::optional<unsigned long> runTool(const std::wstring& args, const std::wstring& tempFolder,
    const std::wstring& outputPath, unsigned long timeoutMs)
{
    DiagnosticLogHold log(tempFolder);
    return runToolAsIs(args, tempFolder, outputPath, timeoutMs);
}

std::optional<unsigned long> runToolAsIs(const std::wstring& args, const std::wstring& tempFolder,
    const std::wstring& outputPath, unsigned long timeoutMs)
{
    StartedProgram tool = startProgram(testBinaryFolder() + L"VosselPRT.exe", args,
        toolTempOverrides(tempFolder), outputPath);
    return tool.wait(timeoutMs);
}

std::optional<unsigned long> runTool(const std::wstring& args, const std::wstring& tempFolder,
    const ProgramStreams& streams, unsigned long timeoutMs)
{
    DiagnosticLogHold log(tempFolder);
    StartedProgram tool = startProgram(testBinaryFolder() + L"VosselPRT.exe", args,
        toolTempOverrides(tempFolder), streams);
    return tool.wait(timeoutMs);
}
