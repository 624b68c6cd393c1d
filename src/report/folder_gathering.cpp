#include "report/folder_gathering.h"

#include <windows.h>
#include <shlwapi.h>

#include <sstream>
#include <vector>

#include "app/diagnostic_log.h"
#include "base/scoped_find_handle.h"
#include "platform/vosselutils/file_utils.h"
#include "platform/vosselutils/text.h"
#include "report/ap_report.h"
#include "report/config_folder_exclusion.h"
#include "settings/ap_report_ini.h"

bool isContactsFolder(const std::wstring& pattern)
{
    const size_t slash = pattern.find_last_of(L"\\/");
    std::wstring folder = slash == std::wstring::npos ? std::wstring() : pattern.substr(0, slash);
    // "...\contacts" and "...\Contacts\" name the same folder on Windows.
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) {
        folder.pop_back();
    }
    static const std::wstring contacts = L"Contacts";
    return folder.size() > contacts.size()
        && CompareStringOrdinal(folder.c_str() + folder.size() - contacts.size(), static_cast<int>(contacts.size()),
               contacts.c_str(), static_cast<int>(contacts.size()), TRUE)
        == CSTR_EQUAL;
}

std::wstring additionalFolderEntryPrefix(const std::wstring& name, const std::wstring& folder,
    const std::wstring& file)
{
    wchar_t relative[MAX_PATH] = {};
    wchar_t prefix[MAX_PATH] = {};
    // ".\2024\notes.txt" for a file in the sub-folder 2024; the file's folder is then ".\2024",
    // whose first component is dropped.
    PathRelativePathToW(relative, folder.c_str(), FILE_ATTRIBUTE_DIRECTORY, file.c_str(), FILE_ATTRIBUTE_NORMAL);
    PathRemoveFileSpecW(relative);
    PathAppendW(prefix, name.c_str());
    const wchar_t* subFolders = PathFindNextComponentW(relative);
    PathAppendW(prefix, subFolders ? subFolders : L"");
    PathAddBackslashW(prefix);
    return prefix;
}

bool isClientLogFileName(const std::wstring& name)
{
    for (const wchar_t* log : {L"vossel.log", L"vossel_ui.log", L"krb5.log"}) {
        if (name.find(log) != std::wstring::npos) {
            return true;
        }
    }
    return false;
}

void CApReport::addAdditionalFolders(zipFile archive, bool contactsEnabled)
{
    std::vector<std::wstring> files;
    files.reserve(10);
    CConfigFolderExclusion configFolder(vosselutils::toWideString(vosselutils::FileUtils::getConfigDirectory()));
    for (const auto& [name, folder] : CApReportIni::getAdditionalPrtPaths()) {
        const std::wstring pattern = folder + L"\\*";
        if (isContactsFolder(pattern)) {
            if (contactsEnabled) {
                addContactsExport(archive);
            } else {
                writeLogLine(L"Skipping Contacts folder.");
            }
            continue;
        }
        files.clear();
        vosselutils::FileUtils::getFilesFromDirectory(pattern, L"", files);
        configFolder.beginFolder(folder);
        size_t leftOut = 0;
        for (const auto& file : files) {
            if (configFolder.excludes(file)) {
                ++leftOut;
                continue;
            }
            addFileToArchive(archive, file, additionalFolderEntryPrefix(name, folder, file));
        }
        if (leftOut > 0) {
            std::wostringstream message;
            message << L"Skipping " << leftOut << L" files below the client's configuration folder in " << folder;
            writeLogLine(message.str());
        }
    }
}

void CApReport::addLogFiles(zipFile archive)
{
    const std::wstring folder = CApReportIni::getLogDirectory();
    WIN32_FIND_DATAW found = {};
    ScopedFindHandle find(FindFirstFileW((folder + L"*").c_str(), &found));
    if (!find) {
        std::wostringstream message;
        message << L"No files found in log folder. Error: " << GetLastError();
        writeLogLine(message.str());
        return;
    }
    do {
        if (isClientLogFileName(found.cFileName)) {
            addFileToArchive(archive, folder + found.cFileName);
        }
    } while (FindNextFileW(find.get(), &found));
}
