#pragma once

#include <string>

// The last stage of every run that got past the settings: deletes the tool's working files and,
// when the settings ask for it, the client's logs (and on a virtual desktop the media engine's).
//
// What the run made decides what may go. temporaryReportPath is the path that saving recorded,
// empty when the run never got that far; reportReachedOutput tells whether this run's report
// arrived at the output path. When it did not, the client's and the engine's logs, the dumps and
// the diagnostic log stay, and a report left at the temporary path stays with one log line naming
// it: they are then the only copy of what the report was made for. Whatever outputPath names is
// never deleted, however it is spelt.
void cleanUpAfterReport(const std::wstring& temporaryReportPath, bool reportReachedOutput,
    const std::wstring& outputPath);
