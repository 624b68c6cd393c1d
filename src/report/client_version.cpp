#include "report/client_version.h"

#include <windows.h>

#include <cwchar>
#include <sstream>
#include <vector>

#include "platform/ptkdll/strings.h"
#include "platform/vosselutils/text.h"

namespace {

std::wstring runningProgramPath()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

std::optional<unsigned long> readSpecialBuild(const void* block)
{
    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translations = nullptr;
    UINT bytes = 0;
    if (!VerQueryValueW(block, L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &bytes)
        || !translations) {
        return std::nullopt;
    }
    for (UINT i = 0; i < bytes / sizeof(Translation); ++i) {
        wchar_t query[51] = {};
        if (std::swprintf(query, 51, L"\\StringFileInfo\\%04x%04x\\SpecialBuild", translations[i].language,
                translations[i].codePage) < 0) {
            continue;
        }
        wchar_t* text = nullptr;
        UINT chars = 0;
        if (!VerQueryValueW(block, query, reinterpret_cast<void**>(&text), &chars) || !text) {
            continue;
        }
        // Bounded by what the resource says it holds: the text need not be terminated in it.
        const std::wstring special(text, at_str_len(text, chars));
        return vosselutils::toUnsignedLong(special);
    }
    return std::nullopt;
}

} // namespace

std::optional<VersionNumbers> readVersionNumbers(const std::wstring& path)
{
    DWORD ignored = 0;
    // The whole resource is read, however large, rather than a block of a fixed size that a large
    // resource would not fit.
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) {
        return std::nullopt;
    }
    std::vector<unsigned char> block(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) {
        return std::nullopt;
    }
    VersionNumbers version;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedBytes = 0;
    if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedBytes) && fixed
        && fixedBytes >= sizeof(VS_FIXEDFILEINFO)) {
        version.major = HIWORD(fixed->dwProductVersionMS);
        version.minor = LOWORD(fixed->dwProductVersionMS);
        version.build = HIWORD(fixed->dwProductVersionLS);
        version.revision = LOWORD(fixed->dwProductVersionLS);
    }
    version.special = readSpecialBuild(block.data()).value_or(0);
    return version;
}

std::wstring formatClientVersion(const std::optional<VersionNumbers>& version)
{
    if (!version) {
        return L"0";
    }
    std::wostringstream text;
    text << version->major << L"." << version->minor << L"." << version->build << L"." << version->special;
    return text.str();
}

std::wstring formatClientVersionBanner(const std::optional<VersionNumbers>& version)
{
    if (!version) {
        return L"0";
    }
    std::wostringstream text;
    text << L"Vossel Version: " << version->major << L"." << version->minor << L"." << version->build << L"."
         << version->revision << L" (Build " << version->special << L")";
    return text.str();
}

std::wstring getClientVersion()
{
    return formatClientVersion(readVersionNumbers(runningProgramPath()));
}

std::wstring getClientVersionBanner()
{
    return formatClientVersionBanner(readVersionNumbers(runningProgramPath()));
}

std::wstring getToolVersion()
{
    const auto version = readVersionNumbers(runningProgramPath());
    if (!version) {
        return L"0";
    }
    std::wostringstream text;
    text << version->major << L"." << version->minor << L"." << version->build << L"." << version->revision;
    return text.str();
}
