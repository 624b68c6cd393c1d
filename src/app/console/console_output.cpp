#include "app/console/console_output.h"

#include <map>
#include <mutex>

namespace {

std::mutex& consoleMutex()
{
    static std::mutex mutex;
    return mutex;
}

ConsoleStreamKind lookAtStream(DWORD stdHandleId)
{
    const HANDLE handle = GetStdHandle(stdHandleId);
    const bool handleSet = handle != nullptr && handle != INVALID_HANDLE_VALUE;
    DWORD mode = 0;
    return classifyConsoleStream(handleSet, handleSet ? GetFileType(handle) : FILE_TYPE_UNKNOWN,
        handleSet && GetConsoleMode(handle, &mode));
}

} // namespace

ConsoleStreamKind classifyConsoleStream(bool handleSet, DWORD fileType, bool consoleModeRead)
{
    if (!handleSet) {
        return ConsoleStreamKind::None;
    }
    if (consoleModeRead) {
        return ConsoleStreamKind::Console;
    }
    // A handle copied from a parent's console into a process that has none reads as unknown.
    if (fileType == FILE_TYPE_DISK || fileType == FILE_TYPE_PIPE || fileType == FILE_TYPE_CHAR) {
        return ConsoleStreamKind::Redirected;
    }
    return ConsoleStreamKind::None;
}

ConsoleStreamKind consoleStreamKind(DWORD stdHandleId)
{
    std::lock_guard<std::mutex> lock(consoleMutex());
    static std::map<DWORD, ConsoleStreamKind> kinds;
    const auto found = kinds.find(stdHandleId);
    if (found != kinds.end()) {
        return found->second;
    }
    return kinds[stdHandleId] = lookAtStream(stdHandleId);
}

std::string encodeForRedirectedStream(std::wstring_view text, UINT codePage)
{
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return std::string(text.size(), '?');
    }
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

void writeConsoleText(DWORD stdHandleId, std::wstring_view text)
{
    const ConsoleStreamKind kind = consoleStreamKind(stdHandleId);
    if (kind == ConsoleStreamKind::None || text.empty()) {
        return;
    }
    const HANDLE handle = GetStdHandle(stdHandleId);
    std::lock_guard<std::mutex> lock(consoleMutex());
    DWORD written = 0;
    if (kind == ConsoleStreamKind::Console) {
        WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    // Whoever reads the file back at this console ("type", a script) reads it in its code page.
    const UINT consoleCodePage = GetConsoleOutputCP();
    const std::string bytes = encodeForRedirectedStream(text, consoleCodePage ? consoleCodePage : CP_UTF8);
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}
