#include "base/stage_guard.h"

#include <string>

#include "base/diagnostic_log.h"

void logStageStopped(const wchar_t* stage, const char* reason) noexcept
{
    try {
        std::wstring message = std::wstring(L"Stage stopped (") + stage + L"): ";
        for (const char* c = reason; c && *c; ++c) {
            message += static_cast<wchar_t>(static_cast<unsigned char>(*c));
        }
        writeLogLine(message);
    } catch (...) {
        // With no memory left even for the line there is nothing more to do.
    }
}
