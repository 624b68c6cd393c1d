#pragma once

// One run of the problem report tool, from the single-instance guard to the clean-up. Returns 0 on
// every path: failures are reported in the diagnostic log, never through the exit status.
int runReportTool();
