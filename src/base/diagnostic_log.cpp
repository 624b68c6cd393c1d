#include "base/diagnostic_log.h"

#include <share.h>

#include <atomic>
#include <cwchar>
#include <mutex>

#include "base/scoped_stdio_file.h"
#include "base/temp_folder.h"

namespace {

// One line's open, write and close is one unit for every thread of the process. Never destroyed:
// a thread may still write a line while the process runs its exit.
std::mutex& logFileMutex()
{
    static auto* mutex = new std::mutex;
    return *mutex;
}

char narrowLogChar(wchar_t c)
{
    return c <= 0xFF ? static_cast<char>(static_cast<unsigned char>(c)) : '?';
}

std::atomic<bool> g_logDisabled{false};

// A line end inside a message would start a line of the caller's making, timestamp and all: any
// caller (the command line, an option value) could plant a line that looks like the tool's own.
char narrowMessageChar(wchar_t c)
{
    return c == L'\r' || c == L'\n' ? ' ' : narrowLogChar(c);
}

} // namespace

std::wstring formatLogTimestamp(const SYSTEMTIME& time)
{
    wchar_t buffer[32] = {};
    std::swprintf(buffer, 32, L"%4d-%02d-%02d %02d:%02d:%02d,%03d", time.wYear, time.wMonth,
        time.wDay, time.wHour, time.wMinute, time.wSecond, time.wMilliseconds);
    return buffer;
}

std::wstring formatLogTimestamp()
{
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    return formatLogTimestamp(now);
}

std::string encodeLogLine(std::wstring_view timestamp, std::wstring_view message)
{
    std::string line;
    line.reserve(timestamp.size() + message.size() + 3);
    line += '[';
    for (wchar_t c : timestamp) {
        line += narrowLogChar(c);
    }
    line += "] ";
    for (wchar_t c : message) {
        line += narrowMessageChar(c);
    }
    return line;
}

const std::wstring& getLogFilePath()
{
    // Both threads may ask first; a function-local static is initialised exactly once. Never
    // destroyed, for the same reason as the lock.
    // Without a temporary folder there is no log: a bare "PRT.txt" would be appended to whatever
    // file of that name the current folder holds.
    static const auto* path = [] {
        const std::wstring folder = getTempFolder(MAX_PATH);
        return new std::wstring(folder.empty() ? std::wstring() : folder + L"PRT.txt");
    }();
    return *path;
}

void appendLogLine(const std::wstring& path, std::wstring_view message)
{
    try {
        const std::string line = encodeLogLine(formatLogTimestamp(), message);
        std::lock_guard<std::mutex> lock(logFileMutex());
        // Text mode turns the line end into CR LF; no exclusive access, so readers may look on.
        ScopedStdioFile file(_wfsopen(path.c_str(), L"at", _SH_DENYNO));
        if (!file) {
            return;
        }
        std::fwrite(line.data(), 1, line.size(), file.get());
        std::fputc('\n', file.get());
        std::fflush(file.get());
    } catch (...) {
        // The log is the tool's last resort for reporting; a failure to write it has nowhere to go.
    }
}

void disableDiagnosticLog()
{
    g_logDisabled = true;
}

void writeLogLine(std::wstring_view message)
{
    if (g_logDisabled) {
        return;
    }
    try {
        appendLogLine(getLogFilePath(), message);
    } catch (...) {
    }
}
