#include "settings/setting_conversions.h"

#include <cwchar>
#include <vector>

unsigned long parseHexSetting(const std::wstring& text)
{
    return std::wcstoul(text.c_str(), nullptr, 16);
}

void parseAdditionalPrtPaths(const std::wstring& section, std::map<std::wstring, std::wstring>& paths)
{
    const size_t n = section.size();
    if (n == 0) {
        return;
    }
    // The walk cuts names off by writing nulls into the text; the extra null ends the last value
    // even when the section was cut short without one.
    std::vector<wchar_t> text(section.begin(), section.end());
    text.push_back(L'\0');
    size_t lineStart = 0;
    for (size_t i = 0; i + 1 < n; ++i) {
        if (text[i] == L'=') {
            text[i] = L'\0';
            paths[std::wstring(&text[lineStart])] = std::wstring(&text[i + 1]);
        } else if (text[i] == L'\0') {
            lineStart = i + 1;
        }
    }
}
