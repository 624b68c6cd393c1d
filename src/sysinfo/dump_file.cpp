#include "sysinfo/dump_file.h"

#include <set>
#include <sstream>

#include "base/diagnostic_log.h"
#include "sysinfo/minidump_check.h"

namespace {

std::set<std::wstring>& leftOutDumps()
{
    static std::set<std::wstring> paths;
    return paths;
}

bool sameStamp(const WIN32_FILE_ATTRIBUTE_DATA& a, const WIN32_FILE_ATTRIBUTE_DATA& b)
{
    return a.nFileSizeHigh == b.nFileSizeHigh && a.nFileSizeLow == b.nFileSizeLow
        && CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime) == 0;
}

} // namespace

ExistingDump examineExistingDump(const std::wstring& path)
{
    ExistingDump found;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &found.stamp)
        || (found.stamp.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return found;
    }
    found.present = true;
    found.complete = isCompleteMinidumpFile(path, false);
    if (!found.complete) {
        writeLogLine(L"dump file exists but is not a complete dump, a new one replaces it: " + path);
    }
    return found;
}

bool publishDump(const std::wstring& partialPath, const std::wstring& path)
{
    if (MoveFileExW(partialPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return true;
    }
    std::wostringstream message;
    message << L"Failed to rename dump file from " << partialPath << L" to " << path << L". Error: " << GetLastError();
    writeLogLine(message.str());
    DeleteFileW(partialPath.c_str());
    return false;
}

void leaveOutIfUnchanged(const std::wstring& path, const ExistingDump& before)
{
    WIN32_FILE_ATTRIBUTE_DATA now = {};
    if (!before.present || before.complete || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &now)
        || !sameStamp(now, before.stamp)) {
        return;
    }
    writeLogLine(L"dump file is not a complete dump and is left out of the report: " + path);
    leftOutDumps().insert(path);
}

std::wstring dumpFileToCollect(const std::wstring& path)
{
    return leftOutDumps().count(path) ? std::wstring() : path;
}
