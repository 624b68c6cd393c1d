#include "cleanup/log_deletion.h"

#include <windows.h>

#include <functional>
#include <sstream>

#include "base/diagnostic_log.h"
#include "base/full_path.h"
#include "base/scoped_find_handle.h"
#include "cleanup/delivered_files.h"
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

// Calls remove with every entry name of folder (which ends in a backslash) that selected takes,
// and whether it is a folder. Sub-folders are listed like files and never entered; a folder that
// cannot be searched is skipped.
void forEachSelectedEntry(const std::wstring& folder, const std::function<bool(const std::wstring&)>& selected,
    const std::function<void(const std::wstring&, bool)>& remove)
{
    WIN32_FIND_DATAW entry = {};
    ScopedFindHandle search(FindFirstFileW((folder + L"*").c_str(), &entry));
    if (!search) {
        return;
    }
    do {
        if (selected(entry.cFileName)) {
            remove(entry.cFileName, (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
        }
    } while (FindNextFileW(search.get(), &entry));
}

// A log goes only when the delivered report holds it byte for byte: one left out (unreadable, no
// room), or written to since it was collected, stays with one line saying why. A sub-folder named
// like a log is tried like a file, and fails, as ever.
bool mayDeleteLog(const CDeliveredFiles& delivered, const std::wstring& path, bool isFolder)
{
    if (isKeptOutput(path)) {
        return false;
    }
    if (isFolder) {
        return true;
    }
    const std::wstring why = delivered.whyKept(path, DeliveredMatch::SameBytes);
    if (!why.empty()) {
        writeLogLine(L"Log file kept, " + why + L": " + path);
    }
    return why.empty();
}

void deleteClientLogs(const CDeliveredFiles& delivered)
{
    const std::wstring folder = CApReportIni::getLogDirectory();
    // An empty setting would make the search pattern "*" in whatever the current folder is.
    if (folder.empty()) {
        return;
    }
    forEachSelectedEntry(folder, isClientLogName, [&](const std::wstring& name, bool isFolder) {
        if (!mayDeleteLog(delivered, folder + name, isFolder)) {
            return;
        }
        if (!DeleteFileW((folder + name).c_str())) {
            std::wostringstream message;
            message << L"Failed to delete file. Error: " << GetLastError();
            writeLogLine(message.str());
        }
    });
}

void deleteEngineLogs(const CDeliveredFiles& delivered)
{
    for (const std::wstring& folder : engineLogFolders(CApReportIni::getAdditionalPrtPaths())) {
        forEachSelectedEntry(folder, isEngineLogName, [&](const std::wstring& name, bool isFolder) {
            if (!mayDeleteLog(delivered, folder + name, isFolder)) {
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

// A dump may be one the user made by hand, or a crash-time one that cannot be made again: it goes
// only when the delivered report holds it whole.
void deleteDeliveredDump(const CDeliveredFiles& delivered, bool reportReachedOutput, const std::wstring& path)
{
    if (path.empty() || GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    const std::wstring why = delivered.whyKept(path, DeliveredMatch::SameSize);
    if (why.empty()) {
        deleteIfNamed(path);
    } else if (reportReachedOutput) {
        writeLogLine(L"Dump file kept, " + why + L": " + path);
    }
}

} // namespace

void cleanUpAfterReport(const std::wstring& temporaryReportPath, bool reportReachedOutput,
    const std::wstring& outputPath, const ReportContents& contents)
{
    keptOutputPath() = outputPath;
    const CDeliveredFiles delivered(contents, reportReachedOutput);
    deleteIfNamed(CApReportIni::getCommentFilePath());
    deleteIfNamed(CApReportIni::getMetadataFilePath());
    deleteIfNamed(CApReportIni::getGdiFilePath());
    // The prefix itself, as a file; the numbered screenshots belong to the client.
    deleteIfNamed(CApReportIni::getScreenshotPrefix());
    deleteDeliveredDump(delivered, reportReachedOutput, crashDumpFilePath());
    deleteDeliveredDump(delivered, reportReachedOutput, CApReportIni::getDntDumpFilePath(false));
    deleteDeliveredDump(delivered, reportReachedOutput, CApReportIni::getDntDumpFilePath(true));
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
    // The log grows after it was collected: that the report holds it is enough.
    const std::wstring logKept = delivered.whyKept(getLogFilePath(), DeliveredMatch::Held);
    if (logKept.empty()) {
        deleteIfNamed(getLogFilePath());
    } else {
        writeLogLine(L"The diagnostic log is kept, " + logKept);
    }

    if (!CApReportIni::isDeleteLogsEnabled()) {
        return;
    }
    // The diagnostic log went with the working files: these lines begin a new one.
    writeLogLine(L"Deleting Log files");
    deleteClientLogs(delivered);

    if (!IsVirtualisedEnv()) {
        return;
    }
    // The engine's logs are only the user's to lose when the engine collected them in this run.
    if (!engineLogsCollected()) {
        const std::optional<int> status = engineCollectStatus();
        writeLogLine(status ? L"Pellow HVD Log files kept: collecting them gave status " + std::to_wstring(*status)
                            : std::wstring(L"Pellow HVD Log files kept: they were not collected in this run"));
        return;
    }
    writeLogLine(L"Deleting Pellow HVD Log files");
    deleteVirtualDesktopLogs();
    writeLogLine(L"Deleting Pellow HVD Log files");
    deleteEngineLogs(delivered);
}
