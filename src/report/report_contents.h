#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/entry_digest.h"
#include "report/report_sink.h"

// What the report archive came to hold, entry by entry, and what it was meant to hold but does
// not: the clean-up, the closing line and support staff go by it.

struct DeliveredEntry {
    std::string name; // as in the archive, UTF-8
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    Sha256Digest sha256 = {};
    EntryOrigin origin;
};

struct LeftOutMaterial {
    std::wstring path;
    LeftOutReason reason = LeftOutReason::CouldNotBeRead;
};

struct ReportContents {
    std::vector<DeliveredEntry> entries;
    std::vector<LeftOutMaterial> leftOut;
};
