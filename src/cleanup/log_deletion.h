#pragma once

#include <string>

#include "report/report_contents.h"

// The last stage of every run that got past the settings: deletes the tool's working files and,
// when the settings ask for it, the client's logs (and on a virtual desktop the media engine's).
//
// What the run made decides what may go. temporaryReportPath is the path that saving recorded,
// empty when the run never got that far; reportReachedOutput tells whether this run's report
// arrived at the output path, and contents what it holds and what it left out. When no report
// arrived, the client's and the engine's logs, the dumps and the diagnostic log stay, and a report
// left at the temporary path stays with one log line naming it: they are then the only copy of
// what the report was made for. When one did, a client or engine log, a dump or the diagnostic log
// goes only when that very file is in it; the engine's logs only when the engine collected them in
// this run. A log that stays gets one line naming it and why. Whatever outputPath names is never
// deleted, however it is spelt.
void cleanUpAfterReport(const std::wstring& temporaryReportPath, bool reportReachedOutput,
    const std::wstring& outputPath, const ReportContents& contents);
