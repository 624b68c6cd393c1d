#include "base/diagnostic_log.h"
#include "installer/installer_logs.h"
#include "platform/vosselutils/text.h"
#include "report/ap_report.h"
#include "report/archive_sink.h"
#include "report/manifest.h"
#include "report/client_version.h"
#include "settings/ap_report_ini.h"
#include "settings/report_options.h"
#include "sysinfo/dump_file.h"
#include "sysinfo/process_dumps.h"
#include "sysinfo/system_info_worker.h"
#include "vdi/virtual_desktop.h"

#include <chrono>

namespace {
constexpr int kArchiveCannotBegin = 61001;
}

int CApReport::collectReport()
{
    const auto started = std::chrono::steady_clock::now();
    if (!archive_.beginArchive()) {
        return kArchiveCannotBegin;
    }
    CArchiveSink sink(archive_, contents_);
    collectInto(sink);
    // Last, so that it can account for every entry before it.
    ManifestFacts facts = manifestFacts();
    facts.stages.push_back(
        {L"collection", std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count()});
    const std::string manifest = manifestJson(contents_, facts, true);
    archive_.addMemoryToArchive(manifest.data(), static_cast<std::uint32_t>(manifest.size()), kManifestEntryName, L"");
    archive_.finishArchive();
    return 0;
}

ManifestFacts CApReport::manifestFacts()
{
    ManifestFacts facts;
    facts.toolVersion = getToolVersion();
    facts.clientVersion = getClientVersion();
    facts.reportName = getArchiveFileName();
    facts.startedUtc = runStartUtc();
    GetSystemTime(&facts.endedUtc);
    facts.options = manifestOptions(runOptions_);
    facts.stages = stageTimes();
    return facts;
}

void CApReport::collectInto(IReportSink& sink)
{
    const bool makesReport = sink.makesReport();
    if (makesReport && IsVirtualisedEnv() && VerifyVersion(vosselutils::toString(getClientVersion()))) {
        collectVirtualDesktopLogs();
    }

    addAdditionalFolders(sink, CApReportIni::isForensicsContactDataEnabled());
    addConfigExport(sink);
    copyConfigDirectory(sink, L"properties");
    // Asked again: the answer is never remembered.
    if (IsVirtualisedEnv()) {
        copyConfigDirectory(sink, L"conf");
    }
    if (makesReport) {
        writeMetadata();
    }
    addRawStackTrace(sink);

    constexpr EntryTreatment generated = EntryTreatment::Generated;
    sink.addFile(CApReportIni::getIniFilePath(), L"");
    sink.addFile(dumpFileToCollect(crashDumpFilePath()), L"", generated);
    sink.addFile(dumpFileToCollect(CApReportIni::getDntDumpFilePath(false)), L"", generated);
    sink.addFile(dumpFileToCollect(CApReportIni::getDntDumpFilePath(true)), L"", generated);
    // The machine description is joined only here, so that everything before it is compressed
    // while the worker still runs (systeminfo alone can take many seconds); its file is read only
    // after the join.
    waitForSystemInfoThread();
    sink.addFile(getSystemInfoFilePath(), L"SystemInfo\\", generated);
    sink.addFile(CApReportIni::getCommentFilePath(), L"", generated);
    sink.addFile(CApReportIni::getMetadataFilePath(), L"", generated);
    sink.addFile(CApReportIni::getGdiFilePath(), L"", generated);
    sink.addFile(getAttachFilePath(), L"");
    for (int screenshot = 1; screenshot <= 3; ++screenshot) {
        sink.addFile(CApReportIni::getScreenshotFilePath(screenshot), L"");
    }
    addLogFiles(sink);
    sink.addFile(getInstallerLogPath(), L"");
    sink.addFile(findInstallerMsiLog(), L"");
    // The log goes in as it stands now: what the saving and clean-up write later is not in it.
    sink.addFile(getLogFilePath(), L"", generated);
}
