#include "decrypt/report_manifest.h"

#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::json;

std::string textOf(const Json& object, const char* key)
{
    const auto found = object.find(key);
    return found != object.end() && found->is_string() ? found->get<std::string>() : std::string();
}

// A list under key, or nothing when the key is missing; false when it is there but not a list.
bool listOf(const Json& object, const char* key, const Json*& list)
{
    const auto found = object.find(key);
    list = found == object.end() ? nullptr : &*found;
    return !list || list->is_array();
}

bool readEntries(const Json& list, ReportManifest& manifest, std::string& error)
{
    for (const Json& item : list) {
        if (!item.is_object() || !item.contains("name") || !item["name"].is_string()) {
            error = "an item of its \"entries\" has no name";
            return false;
        }
        ManifestEntry entry;
        entry.name = item["name"].get<std::string>();
        if (item.contains("size") && item["size"].is_number_unsigned()) {
            entry.size = item["size"].get<std::uint64_t>();
        }
        entry.crc32 = textOf(item, "crc32");
        entry.sha256 = textOf(item, "sha256");
        entry.source = textOf(item, "source");
        entry.treatment = textOf(item, "treatment");
        manifest.entries.push_back(std::move(entry));
    }
    return true;
}

} // namespace

bool parseManifest(std::string_view text, ReportManifest& manifest, std::string& error)
{
    const Json root = Json::parse(text.begin(), text.end(), nullptr, false);
    if (root.is_discarded() || !root.is_object()) {
        error = "it is not a JSON object";
        return false;
    }
    manifest = ReportManifest{};
    if (root.contains("format") && root["format"].is_number_integer()) {
        manifest.format = root["format"].get<std::int64_t>();
    }
    manifest.tool = textOf(root, "tool");
    manifest.toolVersion = textOf(root, "toolVersion");
    manifest.clientVersion = textOf(root, "clientVersion");
    manifest.report = textOf(root, "report");
    manifest.started = textOf(root, "started");
    manifest.ended = textOf(root, "ended");
    if (root.contains("options") && root["options"].is_object()) {
        for (const auto& [name, value] : root["options"].items()) {
            manifest.options.emplace_back(name, value.is_string() ? value.get<std::string>() : value.dump());
        }
    }
    const Json* entries = nullptr;
    const Json* leftOut = nullptr;
    const Json* stages = nullptr;
    if (!listOf(root, "entries", entries) || !entries) {
        error = "it has no list of \"entries\"";
        return false;
    }
    if (!listOf(root, "leftOut", leftOut) || !listOf(root, "stages", stages)) {
        error = "its \"leftOut\" or \"stages\" is not a list";
        return false;
    }
    if (!readEntries(*entries, manifest, error)) {
        return false;
    }
    for (const Json& item : leftOut ? *leftOut : Json::array()) {
        if (item.is_object()) {
            manifest.leftOut.push_back({textOf(item, "path"), textOf(item, "reason")});
        }
    }
    for (const Json& item : stages ? *stages : Json::array()) {
        if (item.is_object()) {
            const auto seconds = item.find("seconds");
            manifest.stages.push_back({textOf(item, "name"),
                seconds != item.end() && seconds->is_number() ? seconds->get<double>() : 0.0});
        }
    }
    return true;
}
