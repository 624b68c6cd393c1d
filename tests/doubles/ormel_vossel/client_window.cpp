#include "client_window.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr UINT kFlushRequestMessage = WM_USER + 0x199;
constexpr UINT_PTR kAnswerTimer = 1;
constexpr UINT_PTR kExitTimer = 2;

const DoubleOptions* gOptions = nullptr;
HANDLE gFlushEvent = nullptr;

void recordRequest(WPARAM wParam, LPARAM lParam)
{
    if (gOptions->recordPath.empty()) {
        return;
    }
    FILE* file = _wfopen(gOptions->recordPath.c_str(), L"ab");
    if (!file) {
        return;
    }
    std::fprintf(file, "flush-request %llu %lld\r\n", static_cast<unsigned long long>(wParam),
        static_cast<long long>(lParam));
    std::fclose(file);
}

LRESULT CALLBACK clientWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case kFlushRequestMessage:
        recordRequest(wParam, lParam);
        if (gOptions->answer == DoubleOptions::Answer::now) {
            SetEvent(gFlushEvent);
        } else if (gOptions->answer == DoubleOptions::Answer::late) {
            SetTimer(window, kAnswerTimer, gOptions->answerDelayMs, nullptr);
        }
        return 0;
    case WM_TIMER:
        if (wParam == kAnswerTimer) {
            KillTimer(window, kAnswerTimer);
            SetEvent(gFlushEvent);
        } else if (wParam == kExitTimer) {
            DestroyWindow(window);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int runClientWindow(const DoubleOptions& options)
{
    gOptions = &options;
    // The client owns the event from the start, so an answer given before the tool opens it is
    // not lost.
    gFlushEvent = CreateEventW(nullptr, FALSE, FALSE, L"VosselPrtTriggerEvent");
    if (!gFlushEvent) {
        return 2;
    }

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = clientWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ptk_manager1";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"ptk_manager1", L"Ormel Vossel", WS_OVERLAPPEDWINDOW, 0, 0,
        200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window) {
        return 3;
    }
    if (options.exitAfterMs != 0) {
        SetTimer(window, kExitTimer, options.exitAfterMs, nullptr);
    }
    if (!options.readyEvent.empty()) {
        HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, options.readyEvent.c_str());
        if (ready) {
            SetEvent(ready);
            CloseHandle(ready);
        }
    }
    if (!options.readyFile.empty()) {
        if (FILE* file = _wfopen(options.readyFile.c_str(), L"wb")) {
            std::fclose(file);
        }
    }

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    CloseHandle(gFlushEvent);
    return 0;
}
