#include "report/folder_gathering.h"

#include <windows.h>

#include <algorithm>
#include <sstream>
#include <vector>

#include "base/diagnostic_log.h"
#include "base/full_path.h"
#include "base/scoped_find_handle.h"
#include "platform/vosselutils/file_utils.h"
#include "platform/vosselutils/text.h"
#include "report/ap_report.h"
#include "report/config_folder_exclusion.h"
#include "settings/ap_report_ini.h"

namespace {

bool isSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// The folder without what adds nothing to its name at its end: "...\Contacts\", "...\Contacts\."
// and "...\Contacts\sub\.." all name "...\Contacts" on Windows.
std::wstring withoutTrailingSpelling(std::wstring folder)
{
    for (;;) {
        while (!folder.empty() && isSeparator(folder.back())) {
            folder.pop_back();
        }
        const size_t slash = folder.find_last_of(L"\\/");
        const std::wstring last = slash == std::wstring::npos ? folder : folder.substr(slash + 1);
        if (slash == std::wstring::npos || (last != L"." && last != L"..")) {
            return folder;
        }
        folder.erase(slash);
        if (last == L"..") {
            while (!folder.empty() && isSeparator(folder.back())) {
                folder.pop_back();
            }
            const size_t parent = folder.find_last_of(L"\\/");
            if (parent == std::wstring::npos) {
                return folder;
            }
            folder.erase(parent);
        }
    }
}

} // namespace

bool isContactsFolder(const std::wstring& pattern)
{
    const size_t slash = pattern.find_last_of(L"\\/");
    const std::wstring folder =
        withoutTrailingSpelling(slash == std::wstring::npos ? std::wstring() : pattern.substr(0, slash));
    static const std::wstring contacts = L"Contacts";
    return folder.size() > contacts.size()
        && CompareStringOrdinal(folder.c_str() + folder.size() - contacts.size(), static_cast<int>(contacts.size()),
               contacts.c_str(), static_cast<int>(contacts.size()), TRUE)
        == CSTR_EQUAL;
}

namespace {

// The part of file below folder, when file lies below it ("2024\notes.txt"); empty otherwise.
std::wstring pathBelow(std::wstring folder, const std::wstring& file)
{
    while (!folder.empty() && isSeparator(folder.back())) {
        folder.pop_back();
    }
    if (folder.empty() || file.size() <= folder.size() + 1 || !isSeparator(file[folder.size()])) {
        return {};
    }
    std::wstring head = file.substr(0, folder.size());
    for (std::wstring* text : {&head, &folder}) {
        std::replace(text->begin(), text->end(), L'/', L'\\');
    }
    if (CompareStringOrdinal(head.c_str(), static_cast<int>(head.size()), folder.c_str(),
            static_cast<int>(folder.size()), TRUE) != CSTR_EQUAL) {
        return {};
    }
    return file.substr(folder.size() + 1);
}

bool isDriveLetter(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

} // namespace

std::wstring relativeEntryPath(const std::wstring& path)
{
    std::wstring relative;
    wchar_t pendingSeparator = 0;
    size_t position = 0;
    while (position < path.size()) {
        size_t end = position;
        while (end < path.size() && !isSeparator(path[end])) {
            ++end;
        }
        std::wstring component = path.substr(position, end - position);
        const wchar_t separator = end < path.size() ? path[end] : 0;
        position = end + 1;
        // "C:" alone, or "C:" before a name on the same drive's current folder.
        if (relative.empty() && component.size() >= 2 && component[1] == L':' && isDriveLetter(component[0])) {
            component.erase(0, 2);
        }
        if (component.empty() || component == L"." || component == L"..") {
            continue;
        }
        if (pendingSeparator) {
            relative += pendingSeparator;
        }
        relative += component;
        pendingSeparator = separator ? separator : L'\\';
    }
    return relative;
}

std::wstring additionalFolderEntryPrefix(const std::wstring& name, const std::wstring& folder,
    const std::wstring& file)
{
    // Compared as text, with no limit on the length: files deep below the folder keep their
    // sub-folders. A folder written another way than the walk spells it is compared in full.
    std::wstring below = pathBelow(folder, file);
    if (below.empty()) {
        below = pathBelow(fullPathOf(folder), fullPathOf(file));
    }
    const size_t lastSeparator = below.find_last_of(L"\\/");
    const std::wstring subFolders = lastSeparator == std::wstring::npos ? std::wstring() : below.substr(0, lastSeparator);

    // Whatever the settings say, every entry lies inside the archive: no drive, no leading
    // separator, no "." or "..".
    std::wstring prefix = relativeEntryPath(name);
    const std::wstring relativeSubFolders = relativeEntryPath(subFolders);
    if (!prefix.empty() && !relativeSubFolders.empty()) {
        prefix += L'\\';
    }
    prefix += relativeSubFolders;
    if (!prefix.empty()) {
        prefix += L'\\';
    }
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

void CApReport::addAdditionalFolders(IReportSink& sink, bool contactsEnabled)
{
    std::vector<std::wstring> files;
    files.reserve(10);
    CConfigFolderExclusion configFolder(vosselutils::toWideString(vosselutils::FileUtils::getConfigDirectory()));
    for (const auto& [name, folder] : CApReportIni::getAdditionalPrtPaths()) {
        const std::wstring pattern = folder + L"\\*";
        if (isContactsFolder(pattern)) {
            if (contactsEnabled) {
                addContactsExport(sink);
            } else {
                writeLogLine(L"Skipping Contacts folder.");
                sink.leftOut(folder, LeftOutReason::ContactsNotCollected);
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
                sink.leftOut(file, LeftOutReason::BelowConfigFolder);
                continue;
            }
            sink.addFile(file, additionalFolderEntryPrefix(name, folder, file));
        }
        if (leftOut > 0) {
            std::wostringstream message;
            message << L"Skipping " << leftOut << L" files below the client's configuration folder in " << folder;
            writeLogLine(message.str());
        }
    }
}

void CApReport::addLogFiles(IReportSink& sink)
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
            sink.addFile(folder + found.cFileName, L"");
        }
    } while (FindNextFileW(find.get(), &found));
}
