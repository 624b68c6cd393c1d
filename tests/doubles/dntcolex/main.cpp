// Test double of the sibling product's companion process: it does nothing until it is ended.
//   --ready NAME        signal the named event once it runs
//   --exit-after MS     end by itself after MS milliseconds (default: run until ended)

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

int main()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring readyEvent;
    DWORD exitAfterMs = INFINITE;
    for (int i = 1; argv && i + 1 < argc; i += 2) {
        const std::wstring name = argv[i];
        if (name == L"--ready") {
            readyEvent = argv[i + 1];
        } else if (name == L"--exit-after") {
            exitAfterMs = static_cast<DWORD>(std::wcstoul(argv[i + 1], nullptr, 10));
        } else {
            std::fputs("dntcolex (test double): unknown arguments\n", stderr);
            return 1;
        }
    }
    if (argv) {
        LocalFree(argv);
    }
    if (!readyEvent.empty()) {
        HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, readyEvent.c_str());
        if (!ready || !SetEvent(ready)) {
            std::fputs("dntcolex (test double): cannot signal ready\n", stderr);
            return 2;
        }
        CloseHandle(ready);
    }
    Sleep(exitAfterMs);
    return 0;
}
