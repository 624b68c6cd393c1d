#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "decrypt/zip_entries.h"

// What verify finds in a report: every entry read once, in pieces, its CRC-32 checked and its
// SHA-256 computed, and the whole compared with the report's manifest.
struct ReportVerification {
    std::vector<std::string> problems; // one line each
    bool hasManifest = false;
    std::size_t entries = 0;           // besides the manifest
};

ReportVerification verifyReport(CZipReader& archive);
