#pragma once

#include <cstdint>
#include <string>

// The one line on the standard output that ends a run: where the report went, or why none was
// made and where the diagnostic log tells more.

// Why a run made no report, in the order the run meets them.
enum class NoReportReason {
    None,
    NoTemporaryFolder,        // none found, or too long a path for the working files' names
    AnotherInstance,
    NoClientWindow,
    CommandLineUnreadable,
    NoSettings,
    OutputIsWorkingFile,      // the output path names a file that the clean-up deletes
    OutputIsDeletedLog,       // with DeleteLogs, a log file that the log deletion takes
    OutputFileKept,           // "/overwrite 0" and a file at the output path
    OutputFileNotReplaceable, // a file (or folder) at the output path that cannot be deleted
    ArchiveCannotBegin,
    NoCertificate,
    NotSaved,
    MoveFailed,
    EndedEarly,               // none of the above was seen, yet no report reached the output path
};

// What the closing line says about the run.
struct RunOutcome {
    bool reportWritten = false;
    NoReportReason reason = NoReportReason::None;
    std::wstring outputPath;
    // The certificate the report is encrypted for; empty for a plain report.
    std::wstring certificateSubject;
    std::uint64_t entries = 0;
    std::uint64_t bytes = 0;
    // Where the report stays when it could not be moved to the output path; empty when none does.
    std::wstring keptReportPath;
    // How much the report was meant to hold and does not; the diagnostic log in it names each.
    std::uint64_t leftOut = 0;
};

// "another instance of VosselPRT is running in this session" and so on.
std::wstring reasonText(NoReportReason reason, const std::wstring& outputPath);

// The size in MB (of 1048576 bytes): two decimals below 10 MB, one above; "less than 0.01 MB"
// rather than a size of nothing.
std::wstring formatReportSize(std::uint64_t bytes);

// "Report written to PATH (N entries, SIZE)", "Report encrypted for SUBJECT and written to PATH
// (N entries, SIZE)" or "No report was made: REASON. See the diagnostic log LOG"; no line end. A run
// without a temporary folder has no log to point to; a report that could not be moved is named
// where it is kept ("REASON; the report is kept at PATH"). A report that left material out says
// so after its details: "; N entries were left out, the diagnostic log PRT.txt in it names them".
std::wstring formatClosingLine(const RunOutcome& outcome, const std::wstring& logPath);
