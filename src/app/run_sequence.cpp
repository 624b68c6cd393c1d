#include "app/run_sequence.h"

#include "app/cmd_ap_report.h"
#include "app/diagnostic_log.h"
#include "app/single_instance.h"
#include "cleanup/log_deletion.h"
#include "settings/ap_report_ini.h"

int runReportTool()
{
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

    cleanUpAfterReport(report.temporaryReportPath(), report.reportReachedOutput());
    return 0;
}
