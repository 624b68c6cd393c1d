#include "base/test_setting.h"

#include <windows.h>

#include <cwchar>

namespace {
// A path at most: no setting is longer.
constexpr DWORD kLongestSetting = MAX_PATH;
} // namespace

std::wstring testSetting(const wchar_t* name)
{
    wchar_t text[kLongestSetting] = {};
    const DWORD length = GetEnvironmentVariableW(name, text, kLongestSetting);
    return length > 0 && length < kLongestSetting ? std::wstring(text, length) : std::wstring();
}

unsigned long long testSettingNumber(const wchar_t* name)
{
    const std::wstring text = testSetting(name);
    if (text.empty() || text[0] < L'0' || text[0] > L'9') {
        return 0;
    }
    return std::wcstoull(text.c_str(), nullptr, 10);
}
