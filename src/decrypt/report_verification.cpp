#include "decrypt/report_verification.h"

#include <map>

#include "decrypt/entry_digest.h"
#include "decrypt/report_manifest.h"
#include "decrypt/text_encoding.h"

namespace {

// A manifest larger than this is no manifest the tool writes.
constexpr std::uint64_t kLargestManifest = 256u << 20;

struct ReadEntry {
    bool ok = false;
    std::uint64_t size = 0;
    std::string crc32;
    std::string sha256;
};

std::string quoted(const std::string& name)
{
    return "\"" + printable(name) + "\"";
}

void compareWithManifest(const ReportManifest& manifest, const std::map<std::string, ReadEntry>& read,
    std::vector<std::string>& problems)
{
    std::map<std::string, int> listed;
    for (const ManifestEntry& expected : manifest.entries) {
        ++listed[expected.name];
        const auto found = read.find(expected.name);
        if (found == read.end()) {
            problems.push_back("missing: " + quoted(expected.name) + " is in the manifest but not in the report");
            continue;
        }
        const ReadEntry& entry = found->second;
        if (!entry.ok) {
            continue; // its own line says why it could not be read
        }
        if (!expected.size || *expected.size != entry.size) {
            problems.push_back(quoted(expected.name) + ": the manifest gives "
                + (expected.size ? std::to_string(*expected.size) + " bytes" : std::string("no size")) + ", the entry holds "
                + std::to_string(entry.size));
        }
        if (expected.crc32 != entry.crc32) {
            problems.push_back(quoted(expected.name) + ": the manifest's CRC-32 " + printable(expected.crc32)
                + " differs from the entry's " + entry.crc32);
        }
        if (expected.sha256 != entry.sha256) {
            problems.push_back(quoted(expected.name) + ": its SHA-256 differs from the manifest's");
        }
    }
    for (const auto& [name, count] : listed) {
        if (count > 1) {
            problems.push_back(quoted(name) + " is listed " + std::to_string(count) + " times in the manifest");
        }
    }
    for (const auto& [name, entry] : read) {
        if (name != kManifestEntryName && listed.find(name) == listed.end()) {
            problems.push_back("extra: " + quoted(name) + " is in the report but not in the manifest");
        }
    }
}

} // namespace

ReportVerification verifyReport(CZipReader& archive)
{
    ReportVerification result;
    std::map<std::string, ReadEntry> read;
    std::string manifestText;
    bool manifestRead = false;
    for (std::size_t i = 0; i < archive.entries().size(); ++i) {
        const ZipDirectoryEntry& entry = archive.entries()[i];
        const bool isManifest = entry.name == kManifestEntryName;
        if (read.count(entry.name)) {
            result.problems.push_back(quoted(entry.name) + " is in the report more than once");
        }
        CSha256 sha;
        std::string content;
        const EntryRead outcome = archive.read(i, [&](const char* data, std::size_t count) {
            sha.add(data, count);
            if (isManifest) {
                content.append(data, count);
            }
            return content.size() <= kLargestManifest;
        });
        if (!outcome.ok) {
            result.problems.push_back(quoted(entry.name) + " cannot be read whole: " + outcome.problem);
        }
        read[entry.name] = ReadEntry{outcome.ok, outcome.bytes, crcHex(outcome.crc32), sha.hex()};
        if (isManifest) {
            result.hasManifest = true;
            manifestRead = outcome.ok;
            manifestText = std::move(content);
        } else {
            ++result.entries;
        }
    }
    if (!result.hasManifest || !manifestRead) {
        return result;
    }
    ReportManifest manifest;
    std::string why;
    if (!parseManifest(manifestText, manifest, why)) {
        result.problems.push_back(std::string(kManifestEntryName) + " is not a manifest: " + why);
        return result;
    }
    compareWithManifest(manifest, read, result.problems);
    return result;
}
