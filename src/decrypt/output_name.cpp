#include "decrypt/output_name.h"

#include <cwctype>

namespace {

bool isDeviceName(const std::wstring& name)
{
    // "nul.zip" and "COM1 .txt" open the device as well: only the part before the first dot,
    // without trailing spaces, counts.
    std::wstring base = name.substr(0, name.find(L'.'));
    while (!base.empty() && base.back() == L' ') {
        base.pop_back();
    }
    for (auto& c : base) {
        c = static_cast<wchar_t>(std::towupper(c));
    }
    if (base == L"CON" || base == L"PRN" || base == L"AUX" || base == L"NUL" || base == L"CONIN$"
        || base == L"CONOUT$") {
        return true;
    }
    return base.size() == 4 && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0)
        && base[3] >= L'0' && base[3] <= L'9';
}

} // namespace

std::wstring defaultOutputName(const std::wstring& reportName)
{
    const size_t slash = reportName.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? reportName : reportName.substr(slash + 1);
    if (name.empty() || name.back() == L'.' || name.back() == L' ') {
        return {}; // also "." and ".."
    }
    for (const wchar_t c : name) {
        if (c < 0x20 || std::wstring(L"<>:\"/\\|?*").find(c) != std::wstring::npos) {
            return {};
        }
    }
    return isDeviceName(name) ? std::wstring() : name;
}

std::wstring nameWithSuffix(const std::wstring& name, const std::wstring& suffix)
{
    const size_t dot = name.find_last_of(L'.');
    if (dot == std::wstring::npos || dot == 0) {
        return name + suffix;
    }
    return name.substr(0, dot) + suffix + name.substr(dot);
}
