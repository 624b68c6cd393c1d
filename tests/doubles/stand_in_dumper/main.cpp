// Test double of the dump program x64\Ravik.exe. It is started by the tool, so the test steers it
// through the environment the tool passes on:
//   PRT_STAND_IN_RECORD   file to which its command line is written, exactly as it received it
//   PRT_STAND_IN_LINES    how many numbered lines it prints on its standard output (default 100,
//                         about 7000 bytes, more than the tool reads at once)
//   PRT_STAND_IN_EXIT     its exit code (default 0)
//   PRT_STAND_IN_SLEEP_MS how long it sleeps after its output, its output still open, before it
//                         writes the dump (default 0): a program that hangs
//   PRT_STAND_IN_ENDLESS  when set, it prints its numbered lines without pause and never ends
// It prints one more line on its standard error and writes a small complete dump, whose one memory
// range holds "stand-in dump", at the dump path (its last argument), so the test sees both streams
// and the file.

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/minidump_bytes.h"

namespace {

std::wstring environmentValue(const wchar_t* name)
{
    wchar_t buffer[1024] = {};
    const DWORD length = GetEnvironmentVariableW(name, buffer, 1024);
    return length > 0 && length < 1024 ? std::wstring(buffer, length) : std::wstring();
}

bool writeFile(const std::wstring& path, const std::string& bytes)
{
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

bool writeUtf8File(const std::wstring& path, const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    return writeFile(path, bytes);
}

} // namespace

int main()
{
    const std::wstring record = environmentValue(L"PRT_STAND_IN_RECORD");
    if (!record.empty() && !writeUtf8File(record, GetCommandLineW())) {
        return 90;
    }
    const std::wstring lines = environmentValue(L"PRT_STAND_IN_LINES");
    const int lineCount = lines.empty() ? 100 : std::wcstol(lines.c_str(), nullptr, 10);
    const bool endless = !environmentValue(L"PRT_STAND_IN_ENDLESS").empty();
    for (int line = 1; endless || line <= lineCount; line = endless ? line % 999 + 1 : line + 1) {
        std::printf("stand-in dump program, line %03d of its output, padded to sixty bytes..\r\n", line);
    }
    std::fflush(stdout);
    std::fputs("stand-in dump program, a line on standard error\r\n", stderr);
    std::fflush(stderr);
    const std::wstring sleep = environmentValue(L"PRT_STAND_IN_SLEEP_MS");
    if (!sleep.empty()) {
        Sleep(static_cast<DWORD>(std::wcstoul(sleep.c_str(), nullptr, 10)));
    }

    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv && argc > 1) {
        writeFile(argv[argc - 1], smallMinidump("stand-in dump"));
    }
    if (argv) {
        LocalFree(argv);
    }
    const std::wstring exitCode = environmentValue(L"PRT_STAND_IN_EXIT");
    return exitCode.empty() ? 0 : std::wcstol(exitCode.c_str(), nullptr, 10);
}
