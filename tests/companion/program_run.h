#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The companion run as support staff run it, one process per run, on either platform.
struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
    std::uint64_t peakMemoryBytes = 0; // the process's peak, as the system counts it
};

// The companion built beside this test program.
std::filesystem::path companionProgram();

// Runs program with the arguments (UTF-8), its streams kept in files of scratch; waits for it.
ProgramRun runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
    const std::filesystem::path& scratch);
