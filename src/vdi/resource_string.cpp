#include "vdi/resource_string.h"

#include <algorithm>
#include <cstdarg>
#include <cwchar>
#include <vector>

#include "platform/ptkdll/ptk_app.h"

std::wstring formatResourceString(HMODULE module, unsigned identifier, ...)
{
    constexpr size_t kLargest = 32767;
    const std::wstring format = AT::CPtkApp::GetCurrentSession()->LoadResString(module, identifier);

    va_list arguments;
    va_start(arguments, identifier);
    std::vector<wchar_t> buffer(512);
    int written = -1;
    for (;;) {
        std::fill(buffer.begin(), buffer.end(), L'\0');
        va_list attempt;
        va_copy(attempt, arguments);
        written = std::vswprintf(buffer.data(), buffer.size(), format.c_str(), attempt);
        va_end(attempt);
        // Some runtimes give the length the text needs instead of a negative count.
        if (written >= static_cast<int>(buffer.size())) {
            written = -1;
        }
        if (written >= 0 || buffer.size() >= kLargest) {
            break;
        }
        buffer.resize(std::min(buffer.size() * 2, kLargest));
    }
    va_end(arguments);

    if (written >= 0) {
        return std::wstring(buffer.data(), static_cast<size_t>(written));
    }
    buffer.back() = L'\0';
    return std::wstring(buffer.data());
}
