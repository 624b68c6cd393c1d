#include "platform/vosselutils/file_utils.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "base/scoped_find_handle.h"
#include "common/utf8.h"

namespace vosselutils {

namespace {

constexpr char kClientFolder[] = "Ormel\\Merovan\\Vossel\\QSK\\";

std::string knownFolder(REFKNOWNFOLDERID id)
{
    PWSTR path = nullptr;
    std::string result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path) {
        result = clientlibs::wideToUtf8(path);
        if (!result.empty() && result.back() != '\\') {
            result += '\\';
        }
    }
    CoTaskMemFree(path);
    return result;
}

bool hasExtension(const std::wstring& name, const std::wstring& extension)
{
    const size_t dot = name.find_last_of(L'.');
    if (dot == std::wstring::npos) {
        return false;
    }
    const std::wstring own = name.substr(dot + 1);
    return CompareStringOrdinal(own.c_str(), static_cast<int>(own.size()), extension.c_str(),
               static_cast<int>(extension.size()), TRUE) == CSTR_EQUAL;
}

void collectFiles(const std::wstring& folder, const std::wstring& filter, std::vector<std::wstring>& files)
{
    WIN32_FIND_DATAW data = {};
    ScopedFindHandle find(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data,
        FindExSearchNameMatch, nullptr, 0));
    if (!find) {
        return;
    }
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        const std::wstring path = folder + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A junction or link could lead back up the tree.
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                collectFiles(path, filter, files);
            }
        } else if (filter.empty() || hasExtension(name, filter)) {
            files.push_back(path);
        }
    } while (FindNextFileW(find.get(), &data));
}

} // namespace

bool FileUtils::fileExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(clientlibs::utf8ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring FileUtils::getFileName(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

void FileUtils::getFilesFromDirectory(const std::wstring& folder, const std::wstring& filter,
    std::vector<std::wstring>& files)
{
    std::wstring root = folder;
    if (root.size() >= 1 && root.back() == L'*') {
        root.pop_back();
    }
    while (!root.empty() && (root.back() == L'\\' || root.back() == L'/')) {
        root.pop_back();
    }
    if (root.empty()) {
        return;
    }
    collectFiles(root, filter, files);
}

unsigned long FileUtils::wrenameFile(const std::wstring& from, const std::wstring& to)
{
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
        return 0;
    }
    return GetLastError();
}

std::string FileUtils::getUserLocalAppDir()
{
    return knownFolder(FOLDERID_LocalAppData);
}

std::string FileUtils::getUserRoamingDir()
{
    return knownFolder(FOLDERID_RoamingAppData);
}

std::string FileUtils::getLocalAppBaseDirectory()
{
    const std::string local = getUserLocalAppDir();
    return local.empty() ? std::string() : local + kClientFolder;
}

std::string FileUtils::getConfigDirectory()
{
    const std::string roaming = getUserRoamingDir();
    return roaming.empty() ? std::string() : roaming + kClientFolder + "Config";
}

} // namespace vosselutils
