#include "cleanup/log_deletion.h"

#include <windows.h>

#include <functional>
#include <sstream>

#include "base/diagnostic_log.h"
#include "base/full_path.h"
#include "base/scoped_find_handle.h"
#include "cleanup/log_selection.h"
#include "settings/ap_report_ini.h"
#include "sysinfo/process_dumps.h"
#include "sysinfo/system_info_worker.h"
#include "sysinfo/system_info_writer.h"
#include "vdi/virtual_desktop.h"

namespace {

// The report's own path, which no deletion of the clean-up may take.
std::wstring& keptOutputPath()
{
    static std::wstring path;
    return path;
}

bool isKeptOutput(const std::wstring& path)
{
    return isSamePath(path, keptOutputPath());
}

void deleteIfNamed(const std::wstring& path)
{
    if (!path.empty() && !isKeptOutput(path)) {
        DeleteFileW(path.c_str());
    }
}

// Calls remove with every entry name of folder (which ends in a backslash) that selected takes.
// Sub-folders are listed like files and never entered; a folder that cannot be searched is skipped.
void forEachSelectedEntry(const std::wstring& folder, const std::function<bool(const std::wstring&)>& selected,
    const std::function<void(const std::wstring&)>& remove)
{
    WIN32_FIND_DATAW entry = {};
    ScopedFindHandle search(FindFirstFileW((folder + L"*").c_str(), &entry));
    if (!search) {
        return;
    }
    do {
        if (selected(entry.cFileName)) {
            remove(entry.cFileName);
        }
    } while (FindNextFileW(search.get(), &entry));
}

void deleteClientLogs()
{
    const std::wstring folder = CApReportIni::getLogDirectory();
    // An empty setting would make the search pattern "*" in whatever the current folder is.
    if (folder.empty()) {
        return;
    }
    forEachSelectedEntry(folder, isClientLogName, [&](const std::wstring& name) {
        if (isKeptOutput(folder + name)) {
            return;
        }
        if (!DeleteFileW((folder + name).c_str())) {
            std::wostringstream message;
            message << L"Failed to delete file. Error: " << GetLastError();
            writeLogLine(message.str());
        }
    });
}

void deleteEngineLogs()
{
    for (const std::wstring& folder : engineLogFolders(CApReportIni::getAdditionalPrtPaths())) {
        forEachSelectedEntry(folder, isEngineLogName, [&](const std::wstring& name) {
            if (isKeptOutput(folder + name)) {
                return;
            }
            if (!DeleteFileW((folder + name).c_str())) {
                std::wostringstream message;
                message << L"Failed to delete file: " << folder << name << L" , Error(fail=0): " << GetLastError();
                writeLogLine(message.str());
            }
        });
    }
}

} // namespace

void cleanUpAfterReport(const std::wstring& temporaryReportPath, bool reportReachedOutput,
    const std::wstring& outputPath)
{
    keptOutputPath() = outputPath;
    deleteIfNamed(CApReportIni::getCommentFilePath());
    deleteIfNamed(CApReportIni::getMetadataFilePath());
    deleteIfNamed(CApReportIni::getGdiFilePath());
    // The prefix itself, as a file; the numbered screenshots belong to the client.
    deleteIfNamed(CApReportIni::getScreenshotPrefix());
    // A dump may be one the user made by hand, or a crash-time one that cannot be made again: it
    // goes only once a report that holds it has been delivered.
    if (reportReachedOutput) {
        deleteIfNamed(crashDumpFilePath());
        deleteIfNamed(CApReportIni::getDntDumpFilePath(false));
        deleteIfNamed(CApReportIni::getDntDumpFilePath(true));
    }
    deleteIfNamed(getSystemInfoFilePath());
    for (const std::wstring& output : commandOutputPaths(getSystemInfoFilePath())) {
        deleteIfNamed(output);
    }

    if (!reportReachedOutput) {
        // Without a report at the output path, the report left in the temporary folder, the
        // diagnostic log that says why, and the client's logs are all the user has.
        if (!temporaryReportPath.empty() && GetFileAttributesW(temporaryReportPath.c_str()) != INVALID_FILE_ATTRIBUTES) {
            writeLogLine(L"The report did not reach the output path and is kept at " + temporaryReportPath);
        }
        if (CApReportIni::isDeleteLogsEnabled()) {
            writeLogLine(L"No report reached the output path: the log files are kept.");
        }
        return;
    }
    deleteIfNamed(temporaryReportPath);
    deleteIfNamed(getLogFilePath());

    if (!CApReportIni::isDeleteLogsEnabled()) {
        return;
    }
    // The diagnostic log went with the working files: these lines begin a new one.
    writeLogLine(L"Deleting Log files");
    deleteClientLogs();

    if (!IsVirtualisedEnv()) {
        return;
    }
    writeLogLine(L"Deleting Pellow HVD Log files");
    deleteVirtualDesktopLogs();
    writeLogLine(L"Deleting Pellow HVD Log files");
    deleteEngineLogs();
}
