#include "support/client_double.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "base/scoped_handle.h"

RunningClientDouble::RunningClientDouble(const std::wstring& args, const EnvironmentOverrides& overrides)
{
    static std::atomic<unsigned> counter{0};
    const std::wstring readyName = L"prt-test-client-ready-" + std::to_wstring(GetCurrentProcessId())
        + L"-" + std::to_wstring(++counter);
    ScopedKernelHandle ready(CreateEventW(nullptr, TRUE, FALSE, readyName.c_str()));
    std::wstring allArgs = L"--ready " + readyName;
    if (!args.empty()) {
        allArgs += L" " + args;
    }
    program_ = startProgram(testBinaryFolder() + L"OrmelVossel.exe", allArgs, overrides);
    if (!ready || !program_.isRunning() || WaitForSingleObject(ready.get(), 30000) != WAIT_OBJECT_0) {
        std::fputs("the client double did not come up\n", stderr);
        std::abort();
    }
}
