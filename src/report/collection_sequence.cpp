#include "app/diagnostic_log.h"
#include "app/report_options.h"
#include "installer/installer_logs.h"
#include "platform/vosselutils/text.h"
#include "report/ap_report.h"
#include "report/client_version.h"
#include "settings/ap_report_ini.h"
#include "sysinfo/dump_file.h"
#include "sysinfo/process_dumps.h"
#include "sysinfo/system_info_worker.h"
#include "vdi/virtual_desktop.h"

namespace {
constexpr int kArchiveCannotBegin = 61001;
}

int CApReport::collectReport()
{
    zipFile archive = beginArchive();
    if (!archive) {
        return kArchiveCannotBegin;
    }

    if (IsVirtualisedEnv() && VerifyVersion(vosselutils::toString(getClientVersion()))) {
        collectVirtualDesktopLogs();
    }

    addAdditionalFolders(archive, CApReportIni::isForensicsContactDataEnabled());
    addConfigExport(archive);
    copyConfigDirectory(archive, L"properties");
    // Asked again: the answer is never remembered.
    if (IsVirtualisedEnv()) {
        copyConfigDirectory(archive, L"conf");
    }
    writeMetadata();
    addRawStackTrace(archive);

    addFileToArchive(archive, CApReportIni::getIniFilePath());
    addFileToArchive(archive, dumpFileToCollect(crashDumpFilePath()));
    addFileToArchive(archive, dumpFileToCollect(CApReportIni::getDntDumpFilePath(false)));
    addFileToArchive(archive, dumpFileToCollect(CApReportIni::getDntDumpFilePath(true)));
    addFileToArchive(archive, getSystemInfoFilePath(), L"SystemInfo\\");
    addFileToArchive(archive, CApReportIni::getCommentFilePath());
    addFileToArchive(archive, CApReportIni::getMetadataFilePath());
    addFileToArchive(archive, CApReportIni::getGdiFilePath());
    addFileToArchive(archive, getAttachFilePath());
    for (int screenshot = 1; screenshot <= 3; ++screenshot) {
        addFileToArchive(archive, CApReportIni::getScreenshotFilePath(screenshot));
    }
    addLogFiles(archive);
    addFileToArchive(archive, getInstallerLogPath());
    addFileToArchive(archive, findInstallerMsiLog());
    // The log goes in as it stands now: what the saving and clean-up write later is not in it.
    addFileToArchive(archive, getLogFilePath());

    finishArchive(archive);
    return 0;
}
