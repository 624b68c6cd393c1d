#include "app/run_sequence.h"

#include "app/cmd_ap_report.h"
#include "app/preview_run.h"
#include "app/console/console_progress.h"
#include "app/console/usage.h"
#include "app/run_outcome.h"
#include "app/single_instance.h"
#include "app/working_folder.h"
#include "base/diagnostic_log.h"
#include "base/stage_guard.h"
#include "base/stage_timings.h"
#include "base/temp_folder.h"
#include "cleanup/log_deletion.h"
#include "settings/ap_report_ini.h"
#include "sysinfo/system_info_worker.h"

int runReportTool()
{
    // "/?" is answered before anything is touched: no log, no client, no report, no clean-up.
    if (helpRequested()) { printHelp(); return 0; }
    markRunStart();
    if (const PreviewKind preview = previewRequested(); preview != PreviewKind::None) {
        runPreview(preview);
        return 0;
    }
    CClosingLine closingLine;
    // Every working file and the log belong in the temporary folder: without one the run would
    // write, pack and delete files of those names among the user's own, wherever it was started.
    if (!canHoldWorkingFiles(getTempFolder(MAX_PATH))) {
        noteNoReport(NoReportReason::NoTemporaryFolder);
        return 0;
    }
    showRunProgressOnConsole();

    CSingleInstanceGuard guard;
    if (guard.anotherInstanceRuns()) {
        writeLogLine(L"only single instance is allowned.");
        noteNoReport(NoReportReason::AnotherInstance);
        return 0;
    }

    reportStage(RunStage::Settings);
    CApReportIni settings;
    // Only a missing client window ends the run here, before anything was made to clean up.
    bool goOn = true;
    runStage(L"settings", [&] { goOn = settings.readReportSettings(startSystemInfoThread); });
    if (!goOn) {
        noteNoReport(NoReportReason::NoClientWindow);
        return 0;
    }

    CCmdApReport report;
    bool parsed = false;
    runStage(L"command line", [&] { parsed = report.parseCommandLine(); });
    if (parsed) {
        runStage(L"report", [&] { report.generateReport(); });
    }
    // A run that made no report never reached the join: the worker must end before the clean-up
    // deletes its file and before the process exits under it.
    waitForSystemInfoThread();

    reportStage(RunStage::CleanUp);
    runStage(L"clean-up", [&] {
        cleanUpAfterReport(report.temporaryReportPath(), report.reportReachedOutput(), report.outputPath(),
            report.contents());
    });
    return 0;
}
