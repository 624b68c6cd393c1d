#include "support/tool_runner.h"

#include <windows.h>

#include <cwctype>
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
            block.insert(block.end(), text.begin(), text.end());
            block.push_back(L'\0');
        }
    }
    if (current) {
        FreeEnvironmentStringsW(current);
    }
    for (const auto& [key, value] : overrides) {
        const std::wstring text = key + L"=" + value;
        block.insert(block.end(), text.begin(), text.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

} // namespace

std::wstring testBinaryFolder()
{
    std::vector<wchar_t> buffer(32768);
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    std::wstring path(buffer.data(), length);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

std::optional<unsigned long> runProgram(const std::wstring& program, const std::wstring& args,
    const EnvironmentOverrides& overrides, unsigned long timeoutMs)
{
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!args.empty()) {
        commandLine += L" " + args;
    }
    std::vector<wchar_t> mutableCommandLine(commandLine.begin(), commandLine.end());
    mutableCommandLine.push_back(L'\0');
    std::vector<wchar_t> environment = buildEnvironmentBlock(overrides);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(program.c_str(), mutableCommandLine.data(), nullptr, nullptr, FALSE,
            CREATE_UNICODE_ENVIRONMENT, environment.data(), nullptr, &startup, &info)) {
        return std::nullopt;
    }
    ScopedKernelHandle process(info.hProcess);
    ScopedKernelHandle thread(info.hThread);
    if (WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), 5000);
        return std::nullopt;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.get(), &exitCode);
    return exitCode;
}

std::optional<unsigned long> runTool(const std::wstring& args, const std::wstring& tempFolder,
    unsigned long timeoutMs)
{
    return runProgram(testBinaryFolder() + L"VosselPRT.exe", args,
        {{L"TMP", tempFolder}, {L"TEMP", tempFolder}}, timeoutMs);
}
