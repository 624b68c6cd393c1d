#include "report/manifest.h"

#include <cstdio>

#include <nlohmann/json.hpp>

#include "archive/entry_digest.h"
#include "platform/vosselutils/text.h"

namespace {

std::string utf8(const std::wstring& text)
{
    return vosselutils::toString(text);
}

std::string crcText(std::uint32_t crc)
{
    char text[9] = {};
    std::snprintf(text, sizeof(text), "%08x", crc);
    return text;
}

} // namespace

std::map<std::wstring, std::wstring> manifestOptions(const std::map<std::wstring, std::wstring>& options)
{
    std::map<std::wstring, std::wstring> listed = options;
    for (const wchar_t* own : {L"/summary", L"/comments", L"/contact"}) {
        listed.erase(own);
    }
    return listed;
}

std::string utcTimestamp(const SYSTEMTIME& time)
{
    char text[32] = {};
    std::snprintf(text, sizeof(text), "%04u-%02u-%02uT%02u:%02u:%02uZ", time.wYear, time.wMonth, time.wDay,
        time.wHour, time.wMinute, time.wSecond);
    return text;
}

const char* treatmentText(EntryTreatment treatment)
{
    switch (treatment) {
    case EntryTreatment::Copied: return "copied";
    case EntryTreatment::Scrubbed: return "scrubbed";
    case EntryTreatment::WholeFileHidden: return "whole file hidden";
    case EntryTreatment::Generated: return "generated";
    }
    return "";
}

std::wstring sourceText(const EntryOrigin& origin)
{
    switch (origin.source) {
    case EntrySource::File: return origin.path;
    case EntrySource::Generated: return L"generated";
    case EntrySource::Exported: return L"exported";
    }
    return L"";
}

std::string manifestJson(const ReportContents& contents, const ManifestFacts& facts, bool withHashes)
{
    using nlohmann::ordered_json;
    ordered_json manifest;
    manifest["format"] = kManifestFormat;
    manifest["tool"] = "VosselPRT";
    manifest["toolVersion"] = utf8(facts.toolVersion);
    manifest["clientVersion"] = utf8(facts.clientVersion);
    manifest["report"] = utf8(facts.reportName);
    manifest["started"] = utcTimestamp(facts.startedUtc);
    manifest["ended"] = utcTimestamp(facts.endedUtc);
    ordered_json options = ordered_json::object();
    for (const auto& [name, value] : facts.options) {
        options[utf8(name)] = utf8(value);
    }
    manifest["options"] = options;

    ordered_json entries = ordered_json::array();
    for (const auto& entry : contents.entries) {
        ordered_json item;
        item["name"] = entry.name;
        item["size"] = entry.sizeKnown ? ordered_json(entry.size) : ordered_json(nullptr);
        if (withHashes) {
            item["crc32"] = crcText(entry.crc);
            item["sha256"] = digestHex(entry.sha256);
        }
        item["source"] = utf8(sourceText(entry.origin));
        item["treatment"] = treatmentText(entry.origin.treatment);
        entries.push_back(item);
    }
    manifest["entries"] = entries;

    ordered_json leftOut = ordered_json::array();
    for (const auto& left : contents.leftOut) {
        leftOut.push_back({{"path", utf8(left.path)}, {"reason", utf8(leftOutReasonText(left.reason))}});
    }
    manifest["leftOut"] = leftOut;

    ordered_json stages = ordered_json::array();
    for (const auto& stage : facts.stages) {
        stages.push_back({{"name", utf8(stage.stage)}, {"seconds", stage.seconds}});
    }
    manifest["stages"] = stages;
    // Text that is no valid UTF-8 (a name the system gave in another form) is replaced, never thrown on.
    return manifest.dump(2, ' ', false, ordered_json::error_handler_t::replace) + "\n";
}
