#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "decrypt/client_log_errors.h"
#include "decrypt/diagnostic_log_facts.h"
#include "decrypt/machine_facts.h"
#include "decrypt/minidump_reader.h"
#include "decrypt/report_manifest.h"
#include "decrypt/report_opening.h"

// What support staff look at first in a report, gathered once and then printed as text, JSON or
// an HTML page. Text from the report is kept as UTF-8 and made printable by each page.
struct SummaryDump {
    std::string entry;
    std::uint64_t size = 0;
    MinidumpFacts facts;
};

struct TriageSummary {
    // The report
    std::string reportName;
    bool encrypted = false;
    bool hasManifest = false;
    std::string manifestProblem;
    std::string tool;
    std::string toolVersion;
    std::string clientVersion;
    std::string started;
    std::string ended;
    std::size_t entries = 0;
    std::uint64_t contentBytes = 0;
    std::uint64_t archiveBytes = 0;
    std::vector<ManifestLeftOut> leftOut;
    // The user
    std::string userSummary;
    std::string userComments;
    std::string userContact;
    std::string problemArea;
    // The machine
    MachineFacts machine;
    std::string windowsFromDump; // when the system-information file does not say
    // What crashed
    std::vector<SummaryDump> dumps;
    std::vector<std::string> crashTrace; // its first lines
    // GDI objects: the client's by type, and each dumped process's counts
    std::size_t gdiObjects = 0;
    std::vector<std::pair<std::string, std::size_t>> gdiTypes;
    std::vector<ProcessObjectCounts> processCounts;
    // The client's logs
    std::vector<std::string> clientLogs;
    std::size_t errorLines = 0;
    std::vector<LogErrorLine> lastErrors;
    std::vector<std::pair<std::string, std::size_t>> errorsOverTime;
};

TriageSummary summariseReport(COpenedReport& report);

// The page every form shares: sections of labelled rows (an empty value is "not recorded"), blocks
// of lines (with what to say when there are none) and the chart of error lines.
struct SummaryBlock {
    enum class Kind { row, lines, chart };
    Kind kind = Kind::row;
    std::string label;
    std::string value;
    std::vector<std::string> lines;
};
struct SummarySection {
    std::string title;
    std::vector<SummaryBlock> blocks;
};
std::vector<SummarySection> summarySections(const TriageSummary& summary);

// The three forms. Each names every section, with "not recorded" where the report has nothing.
std::string summaryText(const TriageSummary& summary);
std::string summaryJson(const TriageSummary& summary);
std::string summaryHtml(const TriageSummary& summary);

// Shared by the pages: "12.3 MB", "0x0000000140001234", "C0000005".
std::string sizeForPeople(std::uint64_t bytes);
std::string hex64(std::uint64_t value);
std::string hex32(std::uint32_t value);
// The exception of a dump as one line: code, name, address, thread and module.
std::string exceptionLine(const MinidumpFacts& facts);
