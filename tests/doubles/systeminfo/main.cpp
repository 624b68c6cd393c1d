// Test double of Windows' systeminfo.exe, which can take many seconds on a real machine. A test or
// the benchmark names it to the tool in VOSSEL_PRT_TEST_SYSTEMINFO_PROGRAM and steers it through the
// environment the tool passes on (its command line is the real program's, without arguments):
//   PRT_SYSTEMINFO_EVENT     a named event it waits for (at most two minutes) before it ends
//   PRT_SYSTEMINFO_SLEEP_MS  how long it takes otherwise (default 0)
// It then prints kStandInText on its standard output, which the worker appends to its file.

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// Standard output is in text mode: the line feed goes out as CR LF.
constexpr char kStandInText[] = "Stand-in systeminfo: the machine description\n";
constexpr DWORD kLongestWaitMs = 120000;

std::wstring environmentValue(const wchar_t* name)
{
    wchar_t buffer[512] = {};
    const DWORD length = GetEnvironmentVariableW(name, buffer, 512);
    return length > 0 && length < 512 ? std::wstring(buffer, length) : std::wstring();
}

} // namespace

int main()
{
    const std::wstring eventName = environmentValue(L"PRT_SYSTEMINFO_EVENT");
    if (!eventName.empty()) {
        HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, eventName.c_str());
        if (!event) {
            std::fprintf(stderr, "systeminfo double: no event %ls\n", eventName.c_str());
            return 1;
        }
        WaitForSingleObject(event, kLongestWaitMs);
        CloseHandle(event);
    } else {
        Sleep(static_cast<DWORD>(std::wcstoul(environmentValue(L"PRT_SYSTEMINFO_SLEEP_MS").c_str(), nullptr, 10)));
    }
    std::fputs(kStandInText, stdout);
    return 0;
}
