#include "platform/vosselutils/text.h"

#include <windows.h>

#include <cerrno>
#include <cwchar>
#include <cwctype>

#include "common/utf8.h"

namespace vosselutils {

std::wstring toWideString(const char* text)
{
    return text ? clientlibs::utf8ToWide(text) : std::wstring();
}

std::wstring toWideString(const std::string& text)
{
    return clientlibs::utf8ToWide(text);
}

std::wstring toWideString(const std::wstring& text)
{
    return text;
}

std::wstring toWideString(std::uint32_t number)
{
    return std::to_wstring(number);
}

std::string toString(const std::wstring& text)
{
    return clientlibs::wideToUtf8(text);
}

std::wstring toLowercase(const std::wstring& text)
{
    std::wstring lower = text;
    // Code unit by code unit, so every position in the copy matches the original.
    if (!lower.empty()) {
        CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
    }
    return lower;
}

bool toBool(const std::wstring& text, bool fallback)
{
    const std::wstring lower = toLowercase(text);
    for (const wchar_t* yes : {L"1", L"true", L"yes", L"on"}) {
        if (lower == yes) {
            return true;
        }
    }
    for (const wchar_t* no : {L"0", L"false", L"no", L"off"}) {
        if (lower == no) {
            return false;
        }
    }
    return fallback;
}

unsigned long toUnsignedLong(const std::wstring& text)
{
    size_t pos = 0;
    while (pos < text.size() && std::iswspace(text[pos])) {
        ++pos;
    }
    const size_t digitsStart = pos;
    unsigned long long value = 0;
    while (pos < text.size() && text[pos] >= L'0' && text[pos] <= L'9') {
        value = value * 10 + static_cast<unsigned>(text[pos] - L'0');
        if (value > 0xFFFFFFFFull) {
            return 0;
        }
        ++pos;
    }
    if (pos == digitsStart) {
        return 0;
    }
    while (pos < text.size() && std::iswspace(text[pos])) {
        ++pos;
    }
    return pos == text.size() ? static_cast<unsigned long>(value) : 0;
}

namespace {

template <typename String>
void replaceEvery(String& text, const String& search, const String& replacement)
{
    if (search.empty()) {
        return;
    }
    for (size_t pos = text.find(search); pos != String::npos;
         pos = text.find(search, pos + replacement.size())) {
        text.replace(pos, search.size(), replacement);
    }
}

} // namespace

void replaceAll(std::wstring& text, std::wstring search, std::wstring replacement)
{
    replaceEvery(text, search, replacement);
}

void replaceAll(std::string& text, std::string search, std::string replacement)
{
    replaceEvery(text, search, replacement);
}

void secureEraseString(std::wstring& text)
{
    if (!text.empty()) {
        SecureZeroMemory(text.data(), text.size() * sizeof(wchar_t));
    }
    text.clear();
}

} // namespace vosselutils
