#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The manifest the tool writes as the last entry of a report, "manifest.json": what every entry is,
// where it came from, what was left out and how long each stage took. Unknown keys are ignored
// (later formats add some); a report without one is an older report.
inline constexpr std::string_view kManifestEntryName = "manifest.json";

struct ManifestEntry {
    std::string name;
    std::optional<std::uint64_t> size;
    std::string crc32;  // 8 lower-case hex digits
    std::string sha256; // 64 lower-case hex digits
    std::string source;
    std::string treatment;
};

struct ManifestLeftOut {
    std::string path;
    std::string reason;
};

struct ManifestStage {
    std::string name;
    double seconds = 0;
};

struct ReportManifest {
    std::int64_t format = 0;
    std::string tool;
    std::string toolVersion;
    std::string clientVersion;
    std::string report;
    std::string started;
    std::string ended;
    std::vector<std::pair<std::string, std::string>> options;
    std::vector<ManifestEntry> entries;
    std::vector<ManifestLeftOut> leftOut;
    std::vector<ManifestStage> stages;
};

// False, with the reason in error, when the text is not JSON or not a manifest of this shape.
bool parseManifest(std::string_view text, ReportManifest& manifest, std::string& error);
