#pragma once

#include <string>
#include <string_view>
#include <vector>

// The object counts the tool logs for each process it dumps, from its diagnostic log "PRT.txt":
// "Creating dump file for processID: 0x..., file:NAME", then "Handle count: N",
// "GDI handle count: N" and "USER object count: N".
struct ProcessObjectCounts {
    std::string processId; // as logged, "0x..."
    std::string dumpFile;
    long long handles = -1; // -1: not logged
    long long gdi = -1;
    long long user = -1;
};

// The processes, the largest GDI count first.
std::vector<ProcessObjectCounts> readProcessObjectCounts(std::string_view diagnosticLog);
