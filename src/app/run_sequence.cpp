#include "app/run_sequence.h"

#include "app/cmd_ap_report.h"
#include "app/diagnostic_log.h"
#include "app/single_instance.h"
#include "app/stage_guard.h"
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
    bool goOn = true;
    runStage(L"settings", [&] { goOn = settings.readReportSettings(); });
    if (!goOn) {
        return 0;
    }

    CCmdApReport report;
    bool parsed = false;
    runStage(L"command line", [&] { parsed = report.parseCommandLine(); });
    if (parsed) {
        runStage(L"report", [&] { report.generateReport(); });
    }

    runStage(L"clean-up", [] { cleanUpAfterReport(); });
    return 0;
}
