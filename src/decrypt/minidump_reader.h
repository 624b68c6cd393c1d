#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "decrypt/byte_source.h"

// What a support engineer looks at first in a dump, read from the dump's own streams as the
// minidump format documents them. Nothing in the file is taken on trust: every size, count and
// offset is checked against the file before it is used, and a dump that fails a check is reported
// as unreadable with the reason, never half read.

struct MinidumpModule {
    std::uint64_t base = 0;
    std::uint32_t size = 0;
    std::string name; // UTF-8, as the dump names it (usually a full path)
};

struct MinidumpException {
    std::uint32_t threadId = 0;
    std::uint32_t code = 0;
    std::uint32_t flags = 0;
    std::uint64_t address = 0;
};

struct MinidumpSystem {
    std::uint16_t architecture = 0;
    std::uint8_t processors = 0;
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
};

struct MinidumpFacts {
    bool readable = false;
    std::string problem; // why not, when not readable
    std::uint64_t flags = 0; // the dump type the writer was asked for
    bool memory64 = false;   // holds the whole memory of the process
    std::uint32_t threads = 0;
    std::optional<std::uint32_t> processId;
    std::optional<MinidumpException> exception;
    std::optional<MinidumpSystem> system;
    std::vector<MinidumpModule> modules;
};

MinidumpFacts readMinidump(CByteSource& dump);

// The module whose image holds address, or null.
const MinidumpModule* moduleAt(const MinidumpFacts& facts, std::uint64_t address);
// "full memory" or "minidump", by what the dump holds.
std::string minidumpKind(const MinidumpFacts& facts);
// The last component of a module's path.
std::string moduleFileName(const std::string& path);
