#include "platform/ptkdll/strings.h"

std::size_t at_str_len(const wchar_t* text, std::size_t maxLength)
{
    if (!text) {
        return 0;
    }
    std::size_t length = 0;
    while (length < maxLength && text[length] != L'\0') {
        ++length;
    }
    return length;
}
