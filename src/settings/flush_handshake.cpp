#include "settings/flush_handshake.h"

#include <windows.h>

#include <cwchar>
#include <sstream>

#include "base/diagnostic_log.h"
#include "base/run_progress.h"
#include "base/scoped_handle.h"

namespace {
constexpr wchar_t kFlushedMarker[] = L"/flushed";
constexpr wchar_t kClientWindowClass[] = L"ptk_manager1";
constexpr wchar_t kClientWindowTitle[] = L"Ormel Vossel";
constexpr UINT kFlushRequestMessage = WM_USER + 0x199;
constexpr wchar_t kFlushEventName[] = L"VosselPrtTriggerEvent";
constexpr DWORD kFlushWaitMs = 8000;
} // namespace

bool requestClientFlush()
{
    const wchar_t* commandLine = GetCommandLineW();
    if (commandLine && std::wcsstr(commandLine, kFlushedMarker)) {
        return true;
    }

    reportStage(RunStage::Handshake);
    writeLogLine(L"PRT is not triggered in vossel application, ready to trigger PRT material flush.");
    const HWND client = FindWindowW(kClientWindowClass, kClientWindowTitle);
    if (!client) {
        writeLogLine(L"can't find vossel window handle, exit PRT tool.");
        return false;
    }

    PostMessageW(client, kFlushRequestMessage, 0, 0);

    // Created after the post: a client that made the event itself and signalled it already is
    // still seen, since the tool then opens that same event.
    ScopedKernelHandle flushed(CreateEventW(nullptr, FALSE, FALSE, kFlushEventName));
    if (!flushed) {
        return true;
    }
    const DWORD waited = WaitForSingleObject(flushed.get(), kFlushWaitMs);
    // Read before anything else runs: building the message may change the thread's last error.
    const DWORD error = GetLastError();
    if (waited == WAIT_OBJECT_0) {
        writeLogLine(L"PRT material flush completes.");
    } else {
        std::wostringstream message;
        message << L"exception occrus when PRT material flushs , GetLastError=" << error;
        writeLogLine(message.str());
    }
    return true;
}
