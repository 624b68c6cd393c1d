// Test double of a program whose output describes the machine (ipconfig, tasklist, systeminfo):
//   StandInCommand.exe TEXT                 prints TEXT and a line end, and ends
//   StandInCommand.exe TEXT --hold NAME     takes the named mutex NAME and keeps it until it ends,
//                                           then says so by setting the event NAME-held
//   StandInCommand.exe TEXT --after NAME    prints only once the program holding NAME has ended
// so that a test can make one program end after another without a sleep. A wait that lasts a
// minute prints "TEXT (waited in vain)" instead, which no test expects.

#include <windows.h>

#include <string>

#include "base/scoped_handle.h"

namespace {

constexpr DWORD kLongestWaitMs = 60000;

void print(const std::wstring& text)
{
    const std::string bytes(text.begin(), text.end());
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), (bytes + "\r\n").data(), static_cast<DWORD>(bytes.size() + 2), &written,
        nullptr);
}

// Waits until the program holding the mutex name has ended; false when it does not in time.
bool waitForTheEndOf(const std::wstring& name)
{
    ScopedKernelHandle held(CreateEventW(nullptr, TRUE, FALSE, (name + L"-held").c_str()));
    if (!held || WaitForSingleObject(held.get(), kLongestWaitMs) != WAIT_OBJECT_0) {
        return false;
    }
    ScopedKernelHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, name.c_str()));
    if (!mutex) {
        // Made, since the event is set, and gone: its only holder has ended.
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    // The mutex is abandoned when its holder ends.
    const DWORD waited = WaitForSingleObject(mutex.get(), kLongestWaitMs);
    return waited == WAIT_ABANDONED || waited == WAIT_OBJECT_0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        return 2;
    }
    const std::wstring text = argv[1];
    const std::wstring option = argc > 3 ? argv[2] : L"";
    if (option == L"--hold") {
        static ScopedKernelHandle mutex(CreateMutexW(nullptr, TRUE, argv[3]));
        ScopedKernelHandle held(CreateEventW(nullptr, TRUE, FALSE, (std::wstring(argv[3]) + L"-held").c_str()));
        if (!mutex || !held) {
            return 3;
        }
        SetEvent(held.get());
        print(text);
        // Ends holding the mutex: the system abandons it when this thread is gone.
        ExitProcess(0);
    }
    if (option == L"--after" && !waitForTheEndOf(argv[3])) {
        print(text + L" (waited in vain)");
        return 1;
    }
    print(text);
    return 0;
}
