#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// The error lines of the client's logs: those whose level is ERROR or FATAL, as the client writes
// "2026-12-09 10:10:00,123 [  12] ERROR SipStack - ...". Fed line by line, keeping only the
// newest few and a count per period, so a log of any size takes little memory.
struct LogErrorLine {
    std::string time; // "YYYY-MM-DD hh:mm:ss", or empty when the line has no time
    std::string log;  // the entry it came from
    std::string text;
};

class CClientLogErrors {
public:
    static constexpr std::size_t kKeptLines = 10;

    void addLine(const std::string& log, std::string_view line);

    std::size_t total() const { return total_; }
    // The newest kKeptLines error lines, oldest first.
    std::vector<LogErrorLine> newest() const;
    // Error lines per hour ("YYYY-MM-DD hh"), or per minute when all fall in one hour.
    std::vector<std::pair<std::string, std::size_t>> overTime() const;

private:
    std::size_t total_ = 0;
    std::size_t order_ = 0;
    // Ordered by time, then by arrival.
    std::map<std::pair<std::string, std::size_t>, LogErrorLine> newest_;
    std::map<std::string, std::size_t> perMinute_;
};

// Whether an entry of the report is one of the client's logs (the names the tool collects them by).
bool isClientLogName(const std::string& entryName);
