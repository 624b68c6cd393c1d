#include "cleanup/output_path_guard.h"

#include <vector>

#include "base/diagnostic_log.h"
#include "base/full_path.h"
#include "cleanup/log_selection.h"
#include "settings/ap_report_ini.h"
#include "sysinfo/process_dumps.h"
#include "sysinfo/system_info_worker.h"
#include "sysinfo/system_info_writer.h"
#include "vdi/virtual_desktop.h"

OutputPathCheck checkOutputPath(const std::wstring& outputPath)
{
    // Known before the stages that make them: the dump stage and the worker may not have begun.
    std::vector<std::wstring> workingFiles = {CApReportIni::getCommentFilePath(), CApReportIni::getMetadataFilePath(),
        CApReportIni::getGdiFilePath(), CApReportIni::getScreenshotPrefix(), crashDumpFolder() + kClientDumpFileName,
        CApReportIni::getDntDumpFilePath(false), CApReportIni::getDntDumpFilePath(true), plannedSystemInfoFilePath(),
        getLogFilePath()};
    for (const std::wstring& output : commandOutputPaths(plannedSystemInfoFilePath())) {
        workingFiles.push_back(output);
    }
    for (const std::wstring& file : workingFiles) {
        if (isSamePath(outputPath, file)) {
            return {OutputPathClash::WorkingFile, file};
        }
    }
    if (!CApReportIni::isDeleteLogsEnabled()) {
        return {};
    }
    const std::wstring logFolder = CApReportIni::getLogDirectory();
    std::wstring name;
    if (isEntryOfFolder(outputPath, logFolder, name) && isClientLogName(name)) {
        return {OutputPathClash::DeletedLog, logFolder + name};
    }
    for (const std::wstring& folder : engineLogFolders(CApReportIni::getAdditionalPrtPaths())) {
        if (isEntryOfFolder(outputPath, folder, name) && isEngineLogName(name) && IsVirtualisedEnv()) {
            return {OutputPathClash::DeletedLog, folder + name};
        }
    }
    return {};
}
