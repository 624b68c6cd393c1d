#include "settings/setting_conversions.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
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

std::wstring takeCutLastLine(std::wstring& section)
{
    const size_t lastEnd = section.find_last_of(L'\0');
    const size_t start = lastEnd == std::wstring::npos ? 0 : lastEnd + 1;
    std::wstring cut = section.substr(start);
    section.erase(start);
    return cut;
}

bool isDriveRootPath(const std::wstring& path)
{
    if (path.empty()) {
        return false;
    }
    std::wstring text = path;
    for (auto& c : text) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    // "\\?\C:\" and "\\.\C:\" name the same root as "C:\"; "\\?\UNC\server\share" a share.
    if (text.rfind(L"\\\\?\\", 0) == 0 || text.rfind(L"\\\\.\\", 0) == 0) {
        text.erase(0, 4);
        if (text.size() >= 4 && _wcsnicmp(text.c_str(), L"UNC\\", 4) == 0) {
            text.replace(0, 4, L"\\\\");
        }
    }

    std::vector<std::wstring> components;
    size_t rootComponents = 0;
    size_t position = 0;
    if (text.rfind(L"\\\\", 0) == 0) {
        rootComponents = 2; // server and share
        position = 2;
    } else if (text.size() >= 2 && std::iswalpha(text[0]) && text[1] == L':') {
        position = 2;
    } else if (text[0] != L'\\') {
        return false; // relative to the current folder
    }
    // The components below the root, with "." and ".." taken as the walk would take them.
    while (position <= text.size()) {
        const size_t end = std::min(text.find(L'\\', position), text.size());
        std::wstring component = text.substr(position, end - position);
        position = end + 1;
        if (component == L"..") {
            if (components.size() > rootComponents) {
                components.pop_back();
            }
            continue;
        }
        // The system drops trailing dots and spaces: "C:\..." and "C:\ " are the root too.
        component.erase(component.find_last_not_of(L". ") + 1);
        if (!component.empty()) {
            components.push_back(component);
        }
    }
    return components.size() <= rootComponents;
}
