#pragma once

#include <optional>
#include <string>

// What a test needs to know of a dump file, read back with the system's own dump reader.
struct MinidumpFacts {
    bool signature = false;        // begins with "MDMP" and the reader accepts it
    bool memoryList = false;       // holds a memory list (full dumps: the 64-bit one) with ranges
    bool exceptionStream = false;  // holds an exception record
    std::optional<unsigned long> processId;  // from the misc-info stream, when the writer set it
    bool complete = false;         // whole by the tool's own check, memory ranges included
};

MinidumpFacts inspectMinidump(const std::string& bytes);
// The same for a file; a file that cannot be read gives no signature.
MinidumpFacts inspectMinidumpFile(const std::wstring& path);

// The tool's own check of a whole dump, on bytes held in memory.
bool isCompleteMinidumpBytes(const std::string& bytes, bool withMemory);
