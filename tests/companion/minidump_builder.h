#pragma once

#include <cstdint>
#include <string>

// A small minidump as the format documents it: header, stream directory, a thread list, a module
// list of two named modules, a system-information stream and, when asked, an exception stream.
struct MinidumpSpec {
    bool exception = false;
    std::uint32_t code = 0xC0000005;
    std::uint32_t thread = 0x24;
    std::uint64_t address = 0x140001234; // inside the first module
};

// Where a test finds the parts it damages.
struct MinidumpLayout {
    std::size_t directory = 0;        // the stream directory's offset
    std::size_t streams = 0;          // how many streams it lists
    std::size_t moduleList = 0;       // the module list stream's offset
    std::size_t exceptionEntry = 0;   // the directory entry of the exception stream (0: none)
};

std::string buildMinidump(const MinidumpSpec& spec, MinidumpLayout* layout = nullptr);
