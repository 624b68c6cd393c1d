#include "app/preview_run.h"

#include <windows.h>

#include "app/cmd_ap_report.h"
#include "app/console/closing_line.h"
#include "app/console/console_output.h"
#include "app/run_outcome.h"
#include "app/working_folder.h"
#include "base/diagnostic_log.h"
#include "base/stage_guard.h"
#include "base/temp_folder.h"
#include "platform/vosselutils/command_line_parser.h"
#include "settings/ap_report_ini.h"

PreviewKind previewRequested()
{
    CWinCommandLineParser parser(nullptr);
    if (!parser.init()) {
        return PreviewKind::None;
    }
    const auto options = parser.getOptions();
    const auto preview = options.find(L"/preview");
    if (preview == options.end()) {
        return PreviewKind::None;
    }
    return preview->second == L"json" ? PreviewKind::Json : PreviewKind::Text;
}

void runPreview(PreviewKind kind)
{
    disableDiagnosticLog();
    // Without a temporary folder there is no report to preview: the run would make none.
    if (!canHoldWorkingFiles(getTempFolder(MAX_PATH))) {
        writeConsoleText(STD_OUTPUT_HANDLE,
            L"No preview: " + reasonText(NoReportReason::NoTemporaryFolder, L"") + L"\r\n");
        return;
    }
    CApReportIni settings;
    runStage(L"settings", [&] { settings.readReportSettings({}, false); });
    CCmdApReport report;
    bool parsed = false;
    runStage(L"command line", [&] { parsed = report.parseCommandLine(); });
    if (!parsed) {
        const RunOutcome outcome = currentRunOutcome();
        writeConsoleText(STD_OUTPUT_HANDLE, L"No preview: " + reasonText(outcome.reason, outcome.outputPath) + L"\r\n");
        return;
    }
    runStage(L"preview", [&] { report.previewReport(kind == PreviewKind::Json); });
}
