#pragma once

#include <string>

// The report must never be one of the files that the same run deletes at its end: the closing
// line would say "Report written" over a report that is gone.

enum class OutputPathClash {
    None,
    WorkingFile, // a working file of the tool, its diagnostic log or a dump it deletes
    DeletedLog,  // with DeleteLogs set, a client or media engine log that the log deletion takes
};

struct OutputPathCheck {
    OutputPathClash clash = OutputPathClash::None;
    // The file or log name that outputPath clashes with, for the log line.
    std::wstring clashesWith;
};

// What the clean-up at the end of this run would take if the report were written to outputPath,
// however that path is spelt. Asks for the virtual desktop only when outputPath lies in one of the
// media engine's log folders under a name that the log deletion takes.
OutputPathCheck checkOutputPath(const std::wstring& outputPath);
