#include "app/cmd_ap_report.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <cwchar>
#include <set>
#include <sstream>

#include "app/console/console_output.h"
#include "app/console/console_progress.h"
#include "app/console/preview_listing.h"
#include "app/console/usage.h"
#include "app/run_outcome.h"
#include "base/diagnostic_log.h"
#include "base/stage_guard.h"
#include "base/temp_folder.h"
#include "cleanup/output_path_guard.h"
#include "crypto/output_file.h"
#include "report/preview_sink.h"
#include "platform/vosselutils/command_line_parser.h"
#include "settings/ap_report_ini.h"
#include "settings/ap_report_ini_default.h"
#include "settings/report_options.h"
#include "sysinfo/gdi_census.h"
#include "sysinfo/process_dumps.h"
#include "sysinfo/system_info_worker.h"

namespace {

std::wstring defaultOutputPath()
{
    return getTempFolder(512) + L"cmdlinePrt.zip";
}

} // namespace

bool CCmdApReport::parseCommandLine()
{
    writeLogLine(std::wstring(L"cmd line : ") + GetCommandLineW());

    CWinCommandLineParser parser(nullptr);
    if (!parser.init()) {
        noteNoReport(NoReportReason::CommandLineUnreadable);
        printUsage();
        return false;
    }
    options_ = parser.getOptions();
    setRunOptions(options_);
    return applyOptions();
}

bool CCmdApReport::applyOptions()
{
    if (!CApReportIni::iniFileExists()) {
        writeLogLine(L"vossel generated 'VosselPRT.ini' doesn't exist. use default setting by CApReportIniDefault.");
        CApReportIniDefault defaults;
        if (!defaults.generateDefaultSettings()) {
            writeLogLine(L"Fails to generate default vossel prt ini setting. cancel to generate PRT.");
            noteNoReport(NoReportReason::NoSettings);
            return false;
        }
    }
    setReportFilePath(getOptionValue(L"/file", defaultOutputPath()));
    setAttachFilePath(getOptionValue(L"/attach", L""));
    setDntDumpEnabled(getOptionFlag(L"/dntdmp"));
    return true;
}

std::wstring CCmdApReport::getOptionValue(const std::wstring& name, const std::wstring& fallback) const
{
    const auto found = options_.find(name);
    if (found == options_.end() || found->second.empty()) {
        return fallback;
    }
    return found->second;
}

bool CCmdApReport::getOptionFlag(const std::wstring& name) const
{
    const auto found = options_.find(name);
    if (found == options_.end() || found->second.empty()) {
        return true;
    }
    return std::wcstol(found->second.c_str(), nullptr, 10) != 0;
}

void CCmdApReport::previewReport(bool json)
{
    std::set<std::wstring> planned = {CApReportIni::getCommentFilePath(), CApReportIni::getMetadataFilePath(),
        planSystemInfoFile(), getLogFilePath()};
    if (gdiCensusWouldWrite()) {
        planned.insert(CApReportIni::getGdiFilePath());
    }
    for (const auto& dump : planDumpFiles(getOptionFlag(L"/fulldump"))) {
        planned.insert(dump);
    }
    CPreviewSink sink(planned);
    collectInto(sink);
    sink.addGenerated(kManifestEntryName);
    if (json) {
        writeConsoleUtf8(STD_OUTPUT_HANDLE, manifestJson(sink.contents(), manifestFacts(), false));
        return;
    }
    writeConsoleText(STD_OUTPUT_HANDLE, previewListing(sink.contents(), getOptionValue(L"/file", defaultOutputPath())));
}

bool CCmdApReport::generateReport()
{
    const std::wstring outputPath = getOptionValue(L"/file", defaultOutputPath());
    outputPath_ = outputPath;

    // A report that the clean-up of this very run would delete is no report: refused before
    // anything is collected.
    const OutputPathCheck check = checkOutputPath(outputPath);
    if (check.clash != OutputPathClash::None) {
        writeLogLine(L"output file[" + outputPath + L"] would be deleted at the end of the run as " + check.clashesWith
            + L". no report is made.");
        noteNoReport(check.clash == OutputPathClash::WorkingFile ? NoReportReason::OutputIsWorkingFile
                                                                 : NoReportReason::OutputIsDeletedLog, outputPath);
        return false;
    }

    // A file already at the output path stays until a finished report replaces it: a run that
    // makes no report must not cost the user that file (which may even be one to collect).
    if (PathFileExistsW(outputPath.c_str())) {
        if (!getOptionFlag(L"/overwrite") || !mayReplaceOutputFile(outputPath)) {
            std::wostringstream message;
            message << L"output file[" << outputPath << L"] exists, fails to delete. exit application.";
            writeLogLine(message.str());
            noteNoReport(getOptionFlag(L"/overwrite") ? NoReportReason::OutputFileNotReplaceable
                                                      : NoReportReason::OutputFileKept, outputPath);
            return false;
        }
    }

    reportStage(RunStage::Dumps);
    runStage(L"process dumps", [&] { createDumpFiles(getOptionFlag(L"/fulldump")); });
    reportStage(RunStage::MachineDescription);
    // The system-information worker is joined by the collection, just before its file goes in.
    runStage(L"GDI census", [] { collectGdiHandles(); });
    runStage(L"user comment", [&] {
        const std::wstring comment = getOptionValue(L"/summary", L"no summary") + L"\r\n"
            + getOptionValue(L"/comments", L"no comments") + L"\r\n"
            + getOptionValue(L"/contact", L"") + L"\r\n";
        writeUserComment(comment);
        setProblemArea(getOptionValue(L"/ProblemArea", L"other"));
    });

    reportStage(RunStage::Collection);
    runStage(L"collection", [&] {
        const int collected = collectReport();
        noteCollection(collected);
        noteLeftOut(std::count_if(contents().leftOut.begin(), contents().leftOut.end(),
            [](const LeftOutMaterial& material) { return isLostMaterial(material.reason); }));
        if (collected != 0) {
            std::wostringstream message;
            message << L"The report archive could not be begun (" << collected << L"); no report is made.";
            writeLogLine(message.str());
        }
    });
    reportStage(RunStage::Saving);
    runStage(L"saving", [&] { saveReport(); });
    runStage(L"move to output", [&] { moveReportToOutput(outputPath); });
    noteReportMove(*this, outputPath);
    return false;
}
