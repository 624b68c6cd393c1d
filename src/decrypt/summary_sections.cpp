#include <cstdio>
#include <utility>

#include "decrypt/exception_names.h"
#include "decrypt/triage_summary.h"

std::string sizeForPeople(std::uint64_t bytes)
{
    char text[32];
    if (bytes < 1024) {
        std::snprintf(text, sizeof(text), "%llu bytes", static_cast<unsigned long long>(bytes));
    } else if (bytes < 1024 * 1024) {
        std::snprintf(text, sizeof(text), "%.1f KB", static_cast<double>(bytes) / 1024);
    } else {
        std::snprintf(text, sizeof(text), "%.1f MB", static_cast<double>(bytes) / (1024 * 1024));
    }
    return text;
}

std::string hex64(std::uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof(text), "0x%016llX", static_cast<unsigned long long>(value));
    return text;
}

std::string hex32(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

std::string exceptionLine(const MinidumpFacts& facts)
{
    if (!facts.exception) {
        return "no exception recorded";
    }
    const MinidumpException& exception = *facts.exception;
    const std::string name = exceptionName(exception.code);
    std::string line = hex32(exception.code) + (name.empty() ? "" : " " + name) + " at " + hex64(exception.address)
        + ", thread " + std::to_string(exception.threadId);
    if (const MinidumpModule* module = moduleAt(facts, exception.address)) {
        char offset[24];
        std::snprintf(offset, sizeof(offset), "+0x%llX", static_cast<unsigned long long>(exception.address - module->base));
        line += ", in " + moduleFileName(module->name) + offset;
    } else {
        line += ", in no module of the dump";
    }
    return line;
}

namespace {

class CSectionBuilder {
public:
    explicit CSectionBuilder(std::vector<SummarySection>& page) : page_(page) {}
    void section(const std::string& title) { page_.push_back({title, {}}); }
    void row(const std::string& label, const std::string& value)
    {
        page_.back().blocks.push_back({SummaryBlock::Kind::row, label, value, {}});
    }
    // lines, or the one line "none" in its place when there are none.
    void lines(std::vector<std::string> lines, const std::string& none)
    {
        page_.back().blocks.push_back({SummaryBlock::Kind::lines, none, "", std::move(lines)});
    }
    void chart() { page_.back().blocks.push_back({SummaryBlock::Kind::chart, "", "", {}}); }

private:
    std::vector<SummarySection>& page_;
};

std::string joined(const std::vector<std::string>& items, const char* separator = "; ")
{
    std::string text;
    for (const std::string& item : items) {
        text += (text.empty() ? "" : separator) + item;
    }
    return text;
}

void reportSection(const TriageSummary& s, CSectionBuilder& page)
{
    page.section("Report");
    page.row("Name", s.reportName + (s.encrypted ? " (encrypted)" : ""));
    page.row("Tool", s.toolVersion.empty() ? "" : (s.tool.empty() ? "VosselPRT" : s.tool) + " " + s.toolVersion);
    page.row("Client version", s.clientVersion);
    page.row("Time", s.started.empty() ? "" : s.started + " to " + s.ended);
    page.row("Entries", std::to_string(s.entries) + ", " + sizeForPeople(s.contentBytes) + " (report file "
        + sizeForPeople(s.archiveBytes) + ")");
    if (!s.hasManifest) {
        page.row("Manifest", "none: an older report, so what was left out is not recorded");
    } else if (!s.manifestProblem.empty()) {
        page.row("Manifest", s.manifestProblem);
    } else if (s.leftOut.empty()) {
        page.row("Left out", "nothing");
    }
    for (const ManifestLeftOut& item : s.leftOut) {
        page.row("Left out", item.path + " (" + item.reason + ")");
    }
}

void userAndMachineSections(const TriageSummary& s, CSectionBuilder& page)
{
    page.section("User");
    page.row("Summary", s.userSummary);
    page.row("Comments", s.userComments);
    page.row("Contact", s.userContact);
    page.row("Problem area", s.problemArea);

    page.section("Machine");
    page.row("Windows", s.machine.windows.empty() ? s.windowsFromDump : s.machine.windows);
    page.row("Memory", s.machine.memory);
    page.row("Processor", s.machine.processor);
    page.row("Monitor", s.machine.monitor + (s.machine.monitors.empty() ? "" : " (" + joined(s.machine.monitors) + ")"));
    page.row("Audio devices", joined(s.machine.audio));
    page.row("Video devices", joined(s.machine.video));
}

void dumpSection(const TriageSummary& s, CSectionBuilder& page)
{
    page.section("Dumps");
    if (s.dumps.empty()) {
        page.lines({}, "no dump in the report");
    }
    for (const SummaryDump& dump : s.dumps) {
        if (!dump.facts.readable) {
            page.row(dump.entry, sizeForPeople(dump.size) + ", dump could not be read: " + dump.facts.problem);
            continue;
        }
        std::string facts = minidumpKind(dump.facts) + ", " + sizeForPeople(dump.size);
        if (dump.facts.processId) {
            facts += ", process " + std::to_string(*dump.facts.processId);
        }
        const auto counted = [](std::size_t count, const std::string& what) {
            return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
        };
        page.row(dump.entry, facts + ", " + counted(dump.facts.threads, "thread") + ", "
            + counted(dump.facts.modules.size(), "module"));
        page.row(dump.entry + " exception", exceptionLine(dump.facts));
    }
}

void crashAndGdiSections(const TriageSummary& s, CSectionBuilder& page)
{
    page.section("Crash trace");
    page.lines(s.crashTrace, "no crash trace in the report");

    page.section("GDI objects");
    std::vector<std::string> types;
    for (const auto& [type, count] : s.gdiTypes) {
        types.push_back(type + " " + std::to_string(count));
    }
    page.row("The client's", s.gdiObjects == 0 ? "" : std::to_string(s.gdiObjects) + " (" + joined(types, ", ") + ")");
    const auto count = [](long long value) { return value < 0 ? std::string("not logged") : std::to_string(value); };
    for (const ProcessObjectCounts& process : s.processCounts) {
        page.row("Process " + process.processId, "GDI " + count(process.gdi) + ", USER " + count(process.user)
            + ", handles " + count(process.handles) + " (" + process.dumpFile + ")");
    }
}

void logSection(const TriageSummary& s, CSectionBuilder& page)
{
    page.section("Client log errors");
    page.row("Logs", joined(s.clientLogs));
    page.row("Error lines", s.clientLogs.empty() ? "" : std::to_string(s.errorLines));
    page.chart();
    std::vector<std::string> last;
    for (const LogErrorLine& line : s.lastErrors) {
        last.push_back(line.log + ": " + line.text);
    }
    page.lines(last, "no error lines");
}

} // namespace

std::vector<SummarySection> summarySections(const TriageSummary& summary)
{
    std::vector<SummarySection> sections;
    CSectionBuilder page(sections);
    reportSection(summary, page);
    userAndMachineSections(summary, page);
    dumpSection(summary, page);
    crashAndGdiSections(summary, page);
    logSection(summary, page);
    return sections;
}
