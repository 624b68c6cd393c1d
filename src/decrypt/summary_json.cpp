#include <nlohmann/json.hpp>

#include "decrypt/exception_names.h"
#include "decrypt/triage_summary.h"

namespace {

using Json = nlohmann::json;

// Text the report did not record is null rather than an empty string.
Json textOrNull(const std::string& text)
{
    return text.empty() ? Json(nullptr) : Json(text);
}

Json dumpJson(const SummaryDump& dump)
{
    Json item = {{"entry", dump.entry}, {"size", dump.size}, {"readable", dump.facts.readable}};
    if (!dump.facts.readable) {
        item["problem"] = dump.facts.problem;
        return item;
    }
    item["kind"] = minidumpKind(dump.facts);
    item["threads"] = dump.facts.threads;
    item["modules"] = dump.facts.modules.size();
    item["processId"] = dump.facts.processId ? Json(*dump.facts.processId) : Json(nullptr);
    if (const auto& exception = dump.facts.exception) {
        const MinidumpModule* module = moduleAt(dump.facts, exception->address);
        item["exception"] = {{"code", hex32(exception->code)}, {"name", textOrNull(exceptionName(exception->code))},
            {"address", hex64(exception->address)}, {"thread", exception->threadId},
            {"module", module ? Json(moduleFileName(module->name)) : Json(nullptr)},
            {"offset", module ? Json(exception->address - module->base) : Json(nullptr)}};
    } else {
        item["exception"] = nullptr;
    }
    return item;
}

} // namespace

std::string summaryJson(const TriageSummary& s)
{
    Json leftOut = Json::array();
    for (const ManifestLeftOut& item : s.leftOut) {
        leftOut.push_back({{"path", item.path}, {"reason", item.reason}});
    }
    Json dumps = Json::array();
    for (const SummaryDump& dump : s.dumps) {
        dumps.push_back(dumpJson(dump));
    }
    Json gdiTypes = Json::object();
    for (const auto& [type, count] : s.gdiTypes) {
        gdiTypes[type] = count;
    }
    Json processes = Json::array();
    for (const ProcessObjectCounts& process : s.processCounts) {
        processes.push_back({{"processId", process.processId}, {"dumpFile", process.dumpFile},
            {"gdi", process.gdi}, {"user", process.user}, {"handles", process.handles}});
    }
    Json lastErrors = Json::array();
    for (const LogErrorLine& line : s.lastErrors) {
        lastErrors.push_back({{"log", line.log}, {"time", textOrNull(line.time)}, {"text", line.text}});
    }
    Json overTime = Json::array();
    for (const auto& [period, count] : s.errorsOverTime) {
        overTime.push_back({{"period", period}, {"errors", count}});
    }
    const Json page = {
        {"report", {{"name", s.reportName}, {"encrypted", s.encrypted}, {"manifest", s.hasManifest},
                       {"manifestProblem", textOrNull(s.manifestProblem)}, {"tool", textOrNull(s.tool)},
                       {"toolVersion", textOrNull(s.toolVersion)}, {"clientVersion", textOrNull(s.clientVersion)},
                       {"started", textOrNull(s.started)}, {"ended", textOrNull(s.ended)}, {"entries", s.entries},
                       {"contentBytes", s.contentBytes}, {"fileBytes", s.archiveBytes},
                       {"leftOut", s.hasManifest ? leftOut : Json(nullptr)}}},
        {"user", {{"summary", textOrNull(s.userSummary)}, {"comments", textOrNull(s.userComments)},
                     {"contact", textOrNull(s.userContact)}, {"problemArea", textOrNull(s.problemArea)}}},
        {"machine", {{"windows", textOrNull(s.machine.windows.empty() ? s.windowsFromDump : s.machine.windows)},
                        {"memory", textOrNull(s.machine.memory)}, {"processor", textOrNull(s.machine.processor)},
                        {"monitor", textOrNull(s.machine.monitor)}, {"monitors", s.machine.monitors},
                        {"audio", s.machine.audio}, {"video", s.machine.video}}},
        {"dumps", dumps},
        {"crashTrace", s.crashTrace},
        {"gdi", {{"clientObjects", s.gdiObjects}, {"clientByType", gdiTypes}, {"processes", processes}}},
        {"clientLogs", {{"logs", s.clientLogs}, {"errorLines", s.errorLines}, {"lastErrors", lastErrors},
                           {"errorsOverTime", overTime}}},
    };
    // Text from the report that is not UTF-8 is replaced, never a reason to fail.
    return page.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}
