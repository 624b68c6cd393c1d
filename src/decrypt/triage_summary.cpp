#include "decrypt/triage_summary.h"

#include <algorithm>
#include <map>

#include "decrypt/text_encoding.h"
#include "decrypt/zip_entry_source.h"

namespace {

// Text entries larger than this are not read for the summary.
constexpr std::uint64_t kLargestTextEntry = 64u << 20;
constexpr std::size_t kCrashTraceLines = 12;
constexpr std::size_t kLongestLogLine = 4096;

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
        [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The text of an entry by name, empty when it is missing or too large.
std::string entryTextOf(CZipReader& archive, std::string_view name)
{
    const std::size_t index = archive.find(name);
    std::string bytes;
    if (index >= archive.entries().size() || !archive.readWhole(index, bytes, kLargestTextEntry).ok) {
        return {};
    }
    return entryText(bytes);
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

void readReportFacts(COpenedReport& report, TriageSummary& summary)
{
    CZipReader& archive = report.archive();
    summary.reportName = report.name();
    summary.encrypted = report.encrypted();
    summary.archiveBytes = report.fileBytes();
    for (const ZipDirectoryEntry& entry : archive.entries()) {
        if (entry.name != kManifestEntryName) {
            ++summary.entries;
            summary.contentBytes += entry.size;
        }
    }
    const std::size_t manifestIndex = archive.find(kManifestEntryName);
    summary.hasManifest = manifestIndex < archive.entries().size();
    if (!summary.hasManifest) {
        return;
    }
    std::string text;
    ReportManifest manifest;
    const EntryRead read = archive.readWhole(manifestIndex, text, kLargestTextEntry);
    if (!read.ok) {
        summary.manifestProblem = "manifest.json cannot be read: " + read.problem;
    } else if (!parseManifest(text, manifest, summary.manifestProblem)) {
        summary.manifestProblem = "manifest.json is not a manifest: " + summary.manifestProblem;
    } else {
        summary.reportName = manifest.report.empty() ? summary.reportName : manifest.report;
        summary.tool = manifest.tool;
        summary.toolVersion = manifest.toolVersion;
        summary.clientVersion = manifest.clientVersion;
        summary.started = manifest.started;
        summary.ended = manifest.ended;
        summary.leftOut = manifest.leftOut;
        for (const auto& [name, value] : manifest.options) {
            if (name == "/ProblemArea") {
                summary.problemArea = value;
            }
        }
    }
}

void readUserFacts(CZipReader& archive, TriageSummary& summary)
{
    const std::vector<std::string> comment = splitLines(entryTextOf(archive, "user-comment.txt"));
    summary.userSummary = comment.size() > 0 ? comment[0] : "";
    summary.userComments = comment.size() > 1 ? comment[1] : "";
    summary.userContact = comment.size() > 2 ? comment[2] : "";
    // "user,problem area,crash,client version,product mode,profile" and the version banner.
    const std::vector<std::string> metadata = splitLines(entryTextOf(archive, "metadata.txt"));
    if (!metadata.empty()) {
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (std::size_t comma; (comma = metadata[0].find(',', start)) != std::string::npos; start = comma + 1) {
            fields.push_back(metadata[0].substr(start, comma - start));
        }
        fields.push_back(metadata[0].substr(start));
        // The user name may hold commas: the fields are counted from the end.
        if (fields.size() >= 6) {
            const std::size_t problemArea = fields.size() - 5;
            summary.problemArea = summary.problemArea.empty() ? fields[problemArea] : summary.problemArea;
            summary.clientVersion = summary.clientVersion.empty() ? fields[problemArea + 2] : summary.clientVersion;
        }
    }
}

void readDumps(CZipReader& archive, TriageSummary& summary)
{
    for (std::size_t i = 0; i < archive.entries().size(); ++i) {
        const ZipDirectoryEntry& entry = archive.entries()[i];
        if (!endsWith(lowered(entry.name), ".dmp")) {
            continue;
        }
        CZipEntrySource dump(archive, i);
        summary.dumps.push_back(SummaryDump{entry.name, entry.size, readMinidump(dump)});
        const MinidumpFacts& facts = summary.dumps.back().facts;
        if (summary.windowsFromDump.empty() && facts.system) {
            summary.windowsFromDump = "Windows NT " + std::to_string(facts.system->major) + "."
                + std::to_string(facts.system->minor) + " build " + std::to_string(facts.system->build) + " (from "
                + entry.name + ")";
        }
    }
}

void readGdiFacts(CZipReader& archive, TriageSummary& summary)
{
    // "Handle,Type,Kernel address", then one line per object.
    std::map<std::string, std::size_t> types;
    const std::vector<std::string> lines = splitLines(entryTextOf(archive, "gdi.txt"));
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::size_t first = lines[i].find(',');
        const std::size_t second = lines[i].find(',', first == std::string::npos ? first : first + 1);
        if (first != std::string::npos && second != std::string::npos) {
            ++types[lines[i].substr(first + 1, second - first - 1)];
            ++summary.gdiObjects;
        }
    }
    summary.gdiTypes.assign(types.begin(), types.end());
    std::stable_sort(summary.gdiTypes.begin(), summary.gdiTypes.end(),
        [](const auto& a, const auto& b) { return a.second > b.second; });
    summary.processCounts = readProcessObjectCounts(entryTextOf(archive, "PRT.txt"));
}

void readClientLogs(CZipReader& archive, TriageSummary& summary)
{
    CClientLogErrors errors;
    for (std::size_t i = 0; i < archive.entries().size(); ++i) {
        const std::string name = archive.entries()[i].name;
        if (!isClientLogName(name)) {
            continue;
        }
        summary.clientLogs.push_back(name);
        std::string partial;
        archive.read(i, [&](const char* data, std::size_t count) {
            for (std::size_t at = 0; at < count; ++at) {
                if (data[at] == '\n') {
                    errors.addLine(name, partial);
                    partial.clear();
                } else if (partial.size() < kLongestLogLine) {
                    partial += data[at];
                }
            }
            return true;
        });
        errors.addLine(name, partial);
    }
    summary.errorLines = errors.total();
    summary.lastErrors = errors.newest();
    summary.errorsOverTime = errors.overTime();
}

} // namespace

TriageSummary summariseReport(COpenedReport& report)
{
    TriageSummary summary;
    CZipReader& archive = report.archive();
    readReportFacts(report, summary);
    readUserFacts(archive, summary);
    summary.machine = readMachineFacts(entryTextOf(archive, "SystemInfo\\SystemInfo.txt"));
    readDumps(archive, summary);
    const std::vector<std::string> trace = splitLines(entryTextOf(archive, "RawStackTrace.txt"));
    summary.crashTrace.assign(trace.begin(), trace.begin() + static_cast<std::ptrdiff_t>(std::min(trace.size(), kCrashTraceLines)));
    readGdiFacts(archive, summary);
    readClientLogs(archive, summary);
    return summary;
}
