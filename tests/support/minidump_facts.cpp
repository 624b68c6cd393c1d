#include "support/minidump_facts.h"

#include <windows.h>
#include <dbghelp.h>

#include <cstring>
#include <vector>

#include "support/test_files.h"
#include "sysinfo/minidump_check.h"

namespace {

bool readStream(const std::string& bytes, ULONG type, void*& stream, ULONG& size)
{
    PMINIDUMP_DIRECTORY directory = nullptr;
    // The reader only reads; its interface merely lacks const.
    return MiniDumpReadDumpStream(const_cast<char*>(bytes.data()), type, &directory, &stream, &size)
        && stream && size > 0;
}

} // namespace

MinidumpFacts inspectMinidump(const std::string& bytes)
{
    MinidumpFacts facts;
    if (bytes.size() < sizeof(MINIDUMP_HEADER) || bytes.compare(0, 4, "MDMP") != 0) {
        return facts;
    }
    facts.signature = true;
    facts.complete = isCompleteMinidumpBytes(bytes, true);

    void* stream = nullptr;
    ULONG size = 0;
    if (readStream(bytes, Memory64ListStream, stream, size) && size >= sizeof(MINIDUMP_MEMORY64_LIST)) {
        facts.memoryList = static_cast<const MINIDUMP_MEMORY64_LIST*>(stream)->NumberOfMemoryRanges > 0;
    } else if (readStream(bytes, MemoryListStream, stream, size) && size >= sizeof(MINIDUMP_MEMORY_LIST)) {
        facts.memoryList = static_cast<const MINIDUMP_MEMORY_LIST*>(stream)->NumberOfMemoryRanges > 0;
    }
    facts.exceptionStream = readStream(bytes, ExceptionStream, stream, size);
    if (readStream(bytes, MiscInfoStream, stream, size) && size >= sizeof(MINIDUMP_MISC_INFO)) {
        const auto* misc = static_cast<const MINIDUMP_MISC_INFO*>(stream);
        if (misc->Flags1 & MINIDUMP_MISC1_PROCESS_ID) {
            facts.processId = misc->ProcessId;
        }
    }
    return facts;
}

bool isCompleteMinidumpBytes(const std::string& bytes, bool withMemory)
{
    return isCompleteMinidump(bytes.size(),
        [&](std::uint64_t offset, void* buffer, std::size_t count) {
            if (offset > bytes.size() || count > bytes.size() - offset) {
                return false;
            }
            std::memcpy(buffer, bytes.data() + offset, count);
            return true;
        },
        withMemory);
}

MinidumpFacts inspectMinidumpFile(const std::wstring& path)
{
    const auto bytes = readFileBytes(path);
    return bytes ? inspectMinidump(*bytes) : MinidumpFacts{};
}
