#include "app/run_sequence.h"

#include "app/cmd_ap_report.h"
#include "app/diagnostic_log.h"
#include "app/single_instance.h"
#include "app/usage.h"
#include "cleanup/log_deletion.h"
#include "settings/ap_report_ini.h"
#include "sysinfo/system_info_worker.h"

int runReportTool()
{
    // "/?" is answered before anything is touched: no log, no client, no report, no clean-up.
    if (helpRequested()) { printHelp(); return 0; }

    CSingleInstanceGuard guard;
    if (guard.anotherInstanceRuns()) {
        writeLogLine(L"only single instance is allowned.");
        return 0;
    }

    CApReportIni settings;
    // Only a missing client window ends the run here, before anything was made to clean up.
    if (!settings.readReportSettings()) {
        return 0;
    }

    CCmdApReport report;
    if (report.parseCommandLine()) {
        report.generateReport();
    }
    // A run that made no report never reached the join: the worker must end before the clean-up
    // deletes its file and before the process exits under it.
    waitForSystemInfoThread();

    cleanUpAfterReport();
    return 0;
}
