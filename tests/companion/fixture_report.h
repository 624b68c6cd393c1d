#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Reports made by the tests themselves, in the forms the tool makes them, so that the companion's
// tests need neither the tool nor Windows: plain archives with or without a manifest, encrypted
// reports for a key of the test's own.

struct FixtureEntry {
    std::string name;
    std::string bytes;
    bool stored = false; // kept uncompressed, so that a test can find and change its bytes
};

// The zip archive of the entries, in order, written with minizip as the tool's readers know it.
bool writeZip(const std::filesystem::path& path, const std::vector<FixtureEntry>& entries);
std::string zipBytes(const std::vector<FixtureEntry>& entries, const std::filesystem::path& scratch);

// manifest.json for the entries as the tool writes it: every entry's size, CRC-32 and SHA-256, and
// one left-out file.
std::string manifestFor(const std::vector<FixtureEntry>& entries, const std::string& reportName);

// The entries of a report like the demo's: the user's comment, metadata, the machine description,
// the client's logs with error lines, a crash trace, the GDI census, a dump with an exception in
// the client's module, and the diagnostic log. Without the manifest.
std::vector<FixtureEntry> demoLikeEntries();
// The same with its manifest as the last entry.
std::vector<FixtureEntry> demoLikeReport(const std::string& reportName);

// UTF-16 little-endian with its byte-order mark, as the tool writes its comment and metadata, or
// without one and ending in a null character, as the client's crash trace comes.
std::string unicodeText(const std::string& ascii, bool marked = true);

// Little-endian numbers, for building and patching binary formats.
void putLittleEndian(std::string& bytes, std::size_t at, std::uint64_t value, int count);
void appendLittleEndian(std::string& bytes, std::uint64_t value, int count);
