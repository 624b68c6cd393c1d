#include "app/run_sequence.h"

#include "app/cmd_ap_report.h"
#include "app/console_progress.h"
#include "app/diagnostic_log.h"
#include "app/run_outcome.h"
#include "app/single_instance.h"
#include "app/usage.h"
#include "cleanup/log_deletion.h"
#include "settings/ap_report_ini.h"
#include "sysinfo/system_info_worker.h"

int runReportTool()
{
    // "/?" is answered before anything is touched: no log, no client, no report, no clean-up.
    if (helpRequested()) { printHelp(); return 0; }
    CClosingLine closingLine;

    CSingleInstanceGuard guard;
    if (guard.anotherInstanceRuns()) {
        writeLogLine(L"only single instance is allowned.");
        noteNoReport(NoReportReason::AnotherInstance);
        return 0;
    }

    reportStage(RunStage::Settings);
    CApReportIni settings;
    // Only a missing client window ends the run here, before anything was made to clean up.
    if (!settings.readReportSettings()) {
        noteNoReport(NoReportReason::NoClientWindow);
        return 0;
    }

    CCmdApReport report;
    if (report.parseCommandLine()) {
        report.generateReport();
    }
    // A run that made no report never reached the join: the worker must end before the clean-up
    // deletes its file and before the process exits under it.
    waitForSystemInfoThread();

    reportStage(RunStage::CleanUp);
    cleanUpAfterReport();
    return 0;
}
