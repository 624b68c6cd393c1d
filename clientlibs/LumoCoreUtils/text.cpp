#include "platform/lumocoreutils/text.h"

#include <cerrno>
#include <climits>
#include <cwchar>
#include <cwctype>

#include "common/utf8.h"

namespace LumoCoreUtils {

int toInt(const std::wstring& text, int fallback)
{
    const wchar_t* begin = text.c_str();
    wchar_t* end = nullptr;
    errno = 0;
    const long value = std::wcstol(begin, &end, 10);
    if (end == begin || errno == ERANGE || value < INT_MIN || value > INT_MAX) {
        return fallback;
    }
    while (*end != L'\0' && std::iswspace(*end)) {
        ++end;
    }
    // "12abc" is not a number.
    return *end == L'\0' ? static_cast<int>(value) : fallback;
}

std::wstring toWideString(const std::string& text)
{
    return clientlibs::utf8ToWide(text);
}

std::string toString(const std::wstring& text)
{
    return clientlibs::wideToUtf8(text);
}

} // namespace LumoCoreUtils
