#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "app/console/closing_line.h"

class CApReport;

// The small record of how the run ended, kept while it runs and said in the closing line. The run
// sequence notes into it at the few places where a run stops or the report moves on.

// Notes why no report will be made; the first reason noted is the one the closing line gives.
// outputPath, when given, is the path the report was meant for.
void noteNoReport(NoReportReason reason, const std::wstring& outputPath = L"");

// Notes the collection's result: 61001 means the archive could not be begun; otherwise the number
// of entries of the finished archive in the data stream is kept for the closing line.
void noteCollection(int result);

// Notes how much the report was meant to hold and could not: the closing line tells the number.
void noteLeftOut(std::uint64_t count);

// Notes whether the report's move reached outputPath. When it did not and no reason was noted
// yet, the reason is found here: no certificate for the encryption, nothing saved, or the move.
void noteReportMove(const CApReport& report, const std::wstring& outputPath);

// The record as it stands.
RunOutcome currentRunOutcome();

// Writes the closing line to the standard output (nothing when it has no handle).
void printClosingLine();

// Prints the closing line when the run ends, on whichever path it ends. Made first thing in the
// run, it looks at both standard streams before the run opens any handle of its own: a handle
// value that a parent copied without passing the handle on could later name one of the run's own
// files.
class CClosingLine {
public:
    CClosingLine();
    ~CClosingLine() { printClosingLine(); }
    CClosingLine(const CClosingLine&) = delete;
    CClosingLine& operator=(const CClosingLine&) = delete;
};

// The number of entries that a zip archive's end record gives (the zip64 one when the archive has
// it); nothing when data does not end in an end record.
std::optional<std::uint64_t> countArchiveEntries(const unsigned char* data, std::size_t length);
