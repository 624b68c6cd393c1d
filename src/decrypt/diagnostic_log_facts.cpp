#include "decrypt/diagnostic_log_facts.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The message of a log line "[YYYY-MM-DD hh:mm:ss,mmm] message".
std::string_view messageOf(std::string_view line)
{
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    const std::size_t end = line.find("] ");
    return line.size() > 26 && line[0] == '[' && end == 24 ? line.substr(26) : line;
}

long long countAfter(std::string_view message, std::string_view prefix)
{
    const std::string digits(message.substr(prefix.size(), 19));
    return std::strtoll(digits.c_str(), nullptr, 10);
}

} // namespace

std::vector<ProcessObjectCounts> readProcessObjectCounts(std::string_view log)
{
    static constexpr std::string_view kCreating = "Creating dump file for processID: ";
    static constexpr std::string_view kHandles = "Handle count: ";
    static constexpr std::string_view kGdi = "GDI handle count: ";
    static constexpr std::string_view kUser = "USER object count: ";
    std::vector<ProcessObjectCounts> processes;
    while (!log.empty()) {
        const std::size_t end = log.find('\n');
        const std::string_view message = messageOf(log.substr(0, end));
        log = end == std::string_view::npos ? std::string_view() : log.substr(end + 1);
        if (message.rfind(kCreating, 0) == 0) {
            const std::string_view rest = message.substr(kCreating.size());
            const std::size_t comma = rest.find(", file:");
            ProcessObjectCounts process;
            process.processId = std::string(rest.substr(0, comma));
            process.dumpFile = comma == std::string_view::npos ? std::string() : std::string(rest.substr(comma + 7));
            processes.push_back(process);
        } else if (!processes.empty() && message.rfind(kHandles, 0) == 0) {
            processes.back().handles = countAfter(message, kHandles);
        } else if (!processes.empty() && message.rfind(kGdi, 0) == 0) {
            processes.back().gdi = countAfter(message, kGdi);
        } else if (!processes.empty() && message.rfind(kUser, 0) == 0) {
            processes.back().user = countAfter(message, kUser);
        }
    }
    std::stable_sort(processes.begin(), processes.end(),
        [](const ProcessObjectCounts& a, const ProcessObjectCounts& b) { return a.gdi > b.gdi; });
    return processes;
}
