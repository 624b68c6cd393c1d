#include "program_run.h"

#include <windows.h>
#include <psapi.h>

#include "scratch_folder.h"

namespace {

std::wstring wide(const std::string& utf8)
{
    const int count = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(count), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), count);
    return text;
}

// One argument quoted as the C runtime's parser reads it back.
std::wstring quoted(const std::wstring& argument)
{
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

HANDLE inheritableFile(const std::filesystem::path& path)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
        nullptr);
}

} // namespace

std::filesystem::path companionProgram()
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return std::filesystem::path(self).parent_path() / L"VosselPRTDecrypt.exe";
}

ProgramRun runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
    const std::filesystem::path& scratch)
{
    const std::filesystem::path outPath = scratch / "run-out.txt";
    const std::filesystem::path errPath = scratch / "run-err.txt";
    std::wstring commandLine = quoted(program.wstring());
    for (const std::string& argument : arguments) {
        commandLine += L" " + quoted(wide(argument));
    }
    ProgramRun run;
    HANDLE out = inheritableFile(outPath);
    HANDLE err = inheritableFile(errPath);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
            &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD exitCode = 0;
        if (GetExitCodeProcess(process.hProcess, &exitCode)) {
            run.exitCode = static_cast<int>(exitCode);
        }
        PROCESS_MEMORY_COUNTERS counters = {};
        if (GetProcessMemoryInfo(process.hProcess, &counters, sizeof(counters))) {
            run.peakMemoryBytes = counters.PeakPagefileUsage;
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(out);
    CloseHandle(err);
    run.out = readBytes(outPath);
    run.err = readBytes(errPath);
    for (std::string* text : {&run.out, &run.err}) {
        std::string plain;
        for (const char c : *text) {
            if (c != '\r') {
                plain += c;
            }
        }
        *text = plain;
    }
    DeleteFileW(outPath.c_str());
    DeleteFileW(errPath.c_str());
    return run;
}
