#include "installer/installer_logs_lib.h"

#include <windows.h>

#include <sys/stat.h>

#include <algorithm>
#include <regex>
#include <utility>

#include "base/scoped_find_handle.h"
#include "installer/wide_text_reader.h"

std::vector<std::wstring> InstallerLogsLib::getFilesInFolder(const std::wstring& folder)
{
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW entry = {};
    ScopedFindHandle search(FindFirstFileW((folder + L"*").c_str(), &entry));
    if (!search) {
        return files;
    }
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            files.push_back(folder + entry.cFileName);
        }
    } while (FindNextFileW(search.get(), &entry));
    return files;
}

std::wstring InstallerLogsLib::findProductMsiLog(std::vector<std::wstring>& files)
{
    // Each time is read once before the sort: a file that changes or vanishes while it runs must
    // not make the order inconsistent, which the sort does not allow.
    std::vector<std::pair<std::optional<std::int64_t>, std::wstring>> timed;
    timed.reserve(files.size());
    for (auto& path : files) {
        timed.emplace_back(fileModificationTime(path), std::move(path));
    }
    std::stable_sort(timed.begin(), timed.end(),
        [](const auto& a, const auto& b) { return isNewerTime(a.first, b.first); });
    files.clear();
    for (auto& entry : timed) {
        files.push_back(std::move(entry.second));
    }

    for (const auto& path : files) {
        const size_t slash = path.find_last_of(L'\\');
        const std::wstring name = slash == std::wstring::npos ? std::wstring() : path.substr(slash + 1);
        if (!isInstallerMsiLogName(name)) {
            continue;
        }
        // Read in pieces and only until the code turns up: one unreadable or huge log of another
        // product is just not this one.
        if (fileTextContains(path, kInstallerProductCode)) {
            return path;
        }
    }
    return {};
}

bool isInstallerMsiLogName(const std::wstring& name)
{
    static const std::wregex pattern(L"MSI([^.]+)\\.LOG", std::regex::ECMAScript | std::regex::icase);
    return std::regex_match(name, pattern);
}

std::optional<std::int64_t> fileModificationTime(const std::wstring& path)
{
    struct _stat64 status = {};
    if (_wstat64(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(status.st_mtime);
}

bool isNewerTime(const std::optional<std::int64_t>& a, const std::optional<std::int64_t>& b)
{
    if (!a) {
        return false;
    }
    return !b || *a > *b;
}

bool isNewerFile(const std::wstring& a, const std::wstring& b)
{
    return isNewerTime(fileModificationTime(a), fileModificationTime(b));
}

std::wstring readFileAsWideText(const std::wstring& path)
{
    std::wstring text;
    readWideTextInPieces(path, kWideTextPieceBytes, [&text](std::wstring_view units) {
        text.append(units);
        return true;
    });
    return text;
}
